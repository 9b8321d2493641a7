#include "image/bmp_writer.h"
#include "image/cx_image.h"
#include "image/masked_dib.h"
#include "image/pixel_access.h"
#include "support/cli_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tessary {
namespace {

namespace fs = std::filesystem;

using testing::runCli;

class CliConvert : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("tessary-cli-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        // A 5 x 3 picture whose pixels tell where they came from.
        ASSERT_FALSE(allocateMaskedDib(3, 5, picture, 24));
        access_pixel owner(picture);
        for (int32_t row = 0; row < 3; ++row)
            for (int32_t x = 0; x < 5; ++x)
                owner->writePixel(x, row, PixelColour { uint8_t(40 * x), uint8_t(80 * row), 200, 0 });
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
    MaskedDib picture;
};

TEST_F(CliConvert, InfoPrintsSizeDepthAndFormat)
{
    ASSERT_TRUE(writeBmpFile(*picture.dib, path("a.bmp")));
    const testing::CliOutcome run = runCli("info " + path("a.bmp"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "width: 5\nheight: 3\nbits per pixel: 24\nformat: BMP\n");
}

// --peak-memory adds one line after the command's own output and keeps its exit code.
TEST_F(CliConvert, PeakMemoryFollowsTheCommand)
{
    ASSERT_TRUE(writeBmpFile(*picture.dib, path("a.bmp")));
    // A command that succeeds and one that fails.
    for (const std::string& arguments : { "info " + path("a.bmp"), "info " + path("none.bmp") }) {
        const testing::CliOutcome plain = runCli(arguments);
        const testing::CliOutcome measured = runCli("--peak-memory " + arguments);
        EXPECT_EQ(measured.exitCode, plain.exitCode) << measured.output;
        ASSERT_EQ(measured.output.compare(0, plain.output.size(), plain.output), 0) << measured.output;
        const std::string tail = measured.output.substr(plain.output.size());
        double megabytes = 0;
        EXPECT_EQ(std::sscanf(tail.c_str(), "tessary-cli: peak memory %lf MB\n", &megabytes), 1) << tail;
        EXPECT_GT(megabytes, 0.5) << tail;
        EXPECT_EQ(tail.back(), '\n');
    }
}

TEST_F(CliConvert, ConvertsThroughEveryLosslessFormatAndBack)
{
    ASSERT_TRUE(writeBmpFile(*picture.dib, path("a.bmp")));
    for (const char* ending : { "png", "tif", "tga", "pcx" }) {
        SCOPED_TRACE(ending);
        const std::string out = path(std::string("b.") + ending);
        const testing::CliOutcome there = runCli("convert " + path("a.bmp") + " " + out);
        ASSERT_EQ(there.exitCode, 0) << there.output;
        if (std::string(ending) == "tif")
            continue; // saved TIFFs are JPEG-compressed: not byte-exact
        const testing::CliOutcome back = runCli("convert " + out + " " + path("c.bmp"));
        ASSERT_EQ(back.exitCode, 0) << back.output;
        CxImage again(path("c.bmp"), CXIMAGE_FORMAT_BMP);
        ASSERT_TRUE(again.IsValid());
        ASSERT_EQ(again.GetWidth(), 5);
        for (int32_t row = 0; row < 3; ++row)
            EXPECT_EQ(0, std::memcmp(again.GetBits(uint32_t(row)), picture.dib->row(row), 15)) << row;
    }
    const testing::CliOutcome info = runCli("info " + path("b.tif"));
    EXPECT_NE(info.output.find("format: TIFF"), std::string::npos) << info.output;
}

TEST_F(CliConvert, FailuresPrintTheProgramsMessagesAndExitNonZero)
{
    std::ofstream(path("notes.tga")) << "just some text, not a picture";
    const testing::CliOutcome text = runCli("convert " + path("notes.tga") + " " + path("x.png"));
    EXPECT_NE(text.exitCode, 0);
    EXPECT_NE(text.output.find("Unable to load this image file"), std::string::npos) << text.output;
    EXPECT_TRUE(text.output.find("TGA") != std::string::npos) << text.output;
    EXPECT_FALSE(fs::exists(path("x.png")));

    // A BMP named .jpeg: the JPEG decoder refuses it, its content decides.
    ASSERT_TRUE(writeBmpFile(*picture.dib, path("a.jpeg")));
    const testing::CliOutcome jpeg = runCli("convert " + path("a.jpeg") + " " + path("x.png"));
    EXPECT_EQ(jpeg.exitCode, 0) << jpeg.output;
    EXPECT_TRUE(fs::exists(path("x.png")));

    const testing::CliOutcome badOut = runCli("convert " + path("a.jpeg") + " " + path("x.gif"));
    EXPECT_EQ(badOut.exitCode, 2);

    // A missing input is named, and an existing output it would have replaced survives.
    std::ofstream(path("kept.png")) << "precious";
    const testing::CliOutcome missing = runCli("convert " + path("nothing.bmp") + " " + path("kept.png"));
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.output.find("cannot open"), std::string::npos);
    std::ifstream kept(path("kept.png"));
    std::string content;
    kept >> content;
    EXPECT_EQ(content, "precious");
}

TEST_F(CliConvert, AFailedSaveSaysSoAndLeavesWhatWasThere)
{
    ASSERT_TRUE(writeBmpFile(*picture.dib, path("a.bmp")));
    // The output name is taken by a folder: the rename cannot replace it, even for root.
    fs::create_directories(dir / "taken.png");
    std::ofstream(path("taken.png/inside.txt")) << "precious";
    const testing::CliOutcome run = runCli("convert " + path("a.bmp") + " " + path("taken.png"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("Failed the file save!"), std::string::npos) << run.output;
    std::ifstream kept(path("taken.png/inside.txt"));
    std::string content;
    kept >> content;
    EXPECT_EQ(content, "precious");
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

} // namespace
} // namespace tessary
