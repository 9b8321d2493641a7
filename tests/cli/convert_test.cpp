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
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    EXPECT_EQ(run.output,
        "width: 5\nheight: 3\nbits per pixel: 24\nformat: BMP\norientation: 1\nupright width: 5\n"
        "upright height: 3\ncolour profile: none\n");
}

std::string fixture(const std::string& name)
{
    return std::string(TESSARY_IMAGE_FIXTURES) + "/" + name;
}

// width and height stay the stored size; a source made from the file has the upright one.
TEST_F(CliConvert, InfoTellsTheOrientationUprightSizeAndProfile)
{
    const testing::CliOutcome turned = runCli("info " + fixture("orient-6.jpg"));
    EXPECT_EQ(turned.exitCode, 0) << turned.output;
    EXPECT_NE(turned.output.find("width: 48\nheight: 32\n"), std::string::npos) << turned.output;
    EXPECT_NE(turned.output.find("orientation: 6\nupright width: 32\nupright height: 48\n"), std::string::npos)
        << turned.output;
    struct Case {
        const char* file;
        const char* profile;
    } cases[] = { { "adobe.jpg", "converted to sRGB" }, { "srgb-unnamed.png", "sRGB (left as it is)" },
        { "untagged.png", "none" } };
    for (const Case& c : cases) {
        const testing::CliOutcome run = runCli("info " + fixture(c.file));
        EXPECT_NE(run.output.find(std::string("colour profile: ") + c.profile + "\n"), std::string::npos)
            << run.output;
    }
}

// The command line loads sources as the windows do: upright, and with a note for a profile it
// cannot use.
TEST_F(CliConvert, ConvertWritesTheUprightPictureAndNotesAnIgnoredProfile)
{
    const testing::CliOutcome run = runCli("convert " + fixture("orient-8.png") + " " + path("up.bmp"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    CxImage up(path("up.bmp"), CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(up.GetWidth(), 2);
    ASSERT_EQ(up.GetHeight(), 3);
    const uint8_t* top = up.GetBits(2); // blue then white
    EXPECT_EQ(std::vector<int>(top, top + 6), (std::vector<int> { 255, 0, 0, 255, 255, 255 }));

    std::ifstream in(fixture("untagged.jpg"), std::ios::binary);
    std::string jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // One piece of a profile said to have two.
    const std::string piece = std::string("\xFF\xE2\x00\x14ICC_PROFILE\0\x01\x02", 18) + "abcd";
    jpeg.insert(2, piece);
    std::ofstream(path("broken.jpg"), std::ios::binary) << jpeg;
    const testing::CliOutcome noted = runCli("convert " + path("broken.jpg") + " " + path("broken.bmp"));
    EXPECT_EQ(noted.exitCode, 0) << noted.output;
    EXPECT_EQ(noted.output, "tessary-cli: broken.jpg: The picture's colour profile is damaged and was ignored.\n");
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
