// Runs tessary-cli batch on a folder of small files written here and checks every result's pixels.
#include "support/cli_run.h"
#include "image/cx_image.h"
#include "merge/merge_fixtures.h"
#include "output/write_image_file.h"
#include "support/codec_image_util.h"
#include "support/read_metadata.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;
using testing::Rgb;
using testing::runCli;
using testing::ScratchFolder;

class CliBatch : public ::testing::Test {
protected:
    static constexpr BgrColour kMark { 0, 100, 200 };
    static constexpr BgrColour kP { 200, 100, 0 };
    static constexpr BgrColour kQ { 80, 0, 40 };

    void SetUp() override
    {
        fs::create_directory(folder.file("in"));
        ASSERT_TRUE(testing::writeSolidImage(folder.file("mark.bmp"), 2, 2, kMark));
        ASSERT_TRUE(testing::writeSolidImage(folder.file("in/p.bmp"), 4, 3, kP));
        ASSERT_TRUE(testing::writeSolidImage(folder.file("in/Q.PNG"), 5, 2, kQ));
        std::ofstream(folder.file("in/notes.txt")) << "not an image";
        std::ofstream(folder.file("layout.json")) << R"({"sources": [{"file": "mark.bmp"}]})";
    }

    CliOutcome batch(const std::string& options)
    {
        return runCli("batch '" + folder.file("layout.json") + "' '" + folder.file("in") + "' -o '"
            + folder.file("out") + "' " + options);
    }

    ScratchFolder folder;
};

TEST_F(CliBatch, WatermarksEveryImageOfTheFolderUnderLowerCaseNames)
{
    const CliOutcome run = batch("--position right,top");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Batch merging is complete.\n\n2 files of 2 written"), std::string::npos)
        << run.output;
    struct Expect {
        const char* name;
        int32_t w, h;
        BgrColour colour;
    };
    for (const Expect& e : { Expect { "p.bmp", 4, 3, kP }, Expect { "q.png", 5, 2, kQ } }) {
        SCOPED_TRACE(e.name);
        CxImage saved;
        const std::string path = folder.file(std::string("out/") + e.name);
        ASSERT_TRUE(saved.Load(path, *formatFromFileName(path))) << saved.GetLastErrorText();
        ASSERT_EQ(int32_t(saved.GetWidth()), e.w);
        ASSERT_EQ(int32_t(saved.GetHeight()), e.h);
        for (int32_t y = 0; y < e.h; ++y)
            for (int32_t x = 0; x < e.w; ++x) {
                const bool marked = x >= e.w - 2 && y < 2; // top right corner, 2 x 2
                const Rgb expected = marked ? Rgb { (kMark.red + e.colour.red) / 2,
                    (kMark.green + e.colour.green) / 2, (kMark.blue + e.colour.blue) / 2 }
                                            : Rgb { e.colour.red, e.colour.green, e.colour.blue };
                EXPECT_EQ(testing::colourAt(saved, uint32_t(x), uint32_t(y)), expected) << x << "," << y;
            }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.file("out")), fs::directory_iterator()), 2);
}

TEST_F(CliBatch, ResultsKeepTheirFilesMetadataUnlessStripMetadataIsGiven)
{
    fs::copy_file(testing::metadataFixture("tagged-a.jpg"), folder.file("in/Photo.JPG"));
    const std::string artist = testing::readTags(folder.file("in/Photo.JPG")).at("Exif.Image.Artist");
    CliOutcome run = batch("--quiet");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    testing::Tags result = testing::readTags(folder.file("out/photo.jpg"));
    EXPECT_EQ(result["Exif.Image.Artist"], artist);
    EXPECT_EQ(result["Exif.Image.Orientation"], "1");
    // A BMP result of an untagged file simply has none.
    EXPECT_TRUE(testing::readTags(folder.file("out/p.bmp")).empty());

    run = batch("--quiet --strip-metadata");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(testing::readTags(folder.file("out/photo.jpg")).empty());

    run = runCli("batch --help");
    EXPECT_NE(run.output.find("--strip-metadata"), std::string::npos) << run.output;
}

// Each picture is loaded as the windows load it: upright, and a colour profile that cannot be used
// is noted (the files are loaded ahead on a helper thread, whose notes must still arrive).
TEST_F(CliBatch, PicturesComeUprightAndAnIgnoredProfileIsNoted)
{
    fs::remove(folder.file("in/p.bmp"));
    fs::remove(folder.file("in/Q.PNG"));
    fs::copy_file(std::string(TESSARY_IMAGE_FIXTURES) + "/orient-6.png", folder.file("in/turned.png"));
    std::vector<uint8_t> jpeg = ScratchFolder::read(std::string(TESSARY_IMAGE_FIXTURES) + "/untagged.jpg");
    const std::string piece = std::string("\xFF\xE2\x00\x14ICC_PROFILE\0\x01\x02", 18) + "abcd";
    jpeg.insert(jpeg.begin() + 2, piece.begin(), piece.end());
    folder.write("in/broken.jpg", jpeg);

    const CliOutcome run = batch("--position right,top --quiet");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("tessary-cli: broken.jpg: The picture's colour profile is damaged and was ignored.\n"),
        std::string::npos)
        << run.output;
    CxImage turned;
    ASSERT_TRUE(turned.Load(folder.file("out/turned.png"), CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(turned.GetWidth(), 2);
    EXPECT_EQ(turned.GetHeight(), 3);
    // The 2 x 2 mark covers the top two rows; white and blue end at the bottom.
    EXPECT_EQ(testing::colourAt(turned, 0, 2), (Rgb { 255, 255, 255 }));
    EXPECT_EQ(testing::colourAt(turned, 1, 2), (Rgb { 0, 0, 255 }));
}

TEST_F(CliBatch, FailuresAreReportedAndGiveExitCodes)
{
    std::ofstream(folder.file("in/bad.tga")) << "not a picture";
    CliOutcome run = batch("--quiet");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("2 files of 3 written"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("1 failed:\nbad.tga: "), std::string::npos) << run.output;

    struct Case {
        std::string arguments;
        int exitCode;
        std::string says;
    };
    const std::string layout = "'" + folder.file("layout.json") + "' ";
    const std::string in = "'" + folder.file("in") + "' ";
    const Case cases[] = {
        { "batch " + layout + in + "-o " + in, 1, "is the directory of the images" },
        { "batch " + layout + in + "-o '" + folder.file("o2") + "' --position middle", 2,
            "unknown position rule" },
        { "batch " + layout + in, 2, "no output directory given" },
        { "batch " + layout + "'" + folder.file("nothing") + "' -o '" + folder.file("o3") + "'", 1,
            "Image files not found in this directory." },
    };
    for (const Case& c : cases) {
        run = runCli(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    }
}

} // namespace
} // namespace tessary
