// A logo on a transparent background, merged by Average over a picture with tessary-cli merge
// and batch: only the pixels under the logo's opaque part change, unless the layout is of
// version 1 or switches the transparency off (then the whole logo box is averaged, as before).
#include "image/cx_image.h"
#include "merge/merge_fixtures.h"
#include "support/cli_run.h"
#include "support/codec_image_util.h"
#include "support/rgba_png.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tessary {
namespace {

using testing::Rgb;
using testing::runCli;
using testing::ScratchFolder;

constexpr BgrColour kPicture { 40, 80, 120 };

// A 2 x 2 logo, white where opaque (top left and bottom right), black where clear.
std::vector<uint8_t> logo()
{
    return testing::rgbaPng(2, 2, { { 255, 255, 255, 255 }, { 0, 0, 0, 0 }, { 0, 0, 0, 0 }, { 255, 255, 255, 255 } });
}

class TransparentLogo : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(folder.file("in"));
        ASSERT_TRUE(testing::writeSolidImage(folder.file("in/photo.bmp"), 3, 3, kPicture));
        std::ofstream(folder.file("logo.png"), std::ios::binary)
            .write(reinterpret_cast<const char*>(logo().data()), std::streamsize(logo().size()));
    }
    // The saved file's pixel (x, y), y counted from the top.
    static Rgb pixel(const std::string& path, uint32_t x, uint32_t y)
    {
        CxImage saved(path, CXIMAGE_FORMAT_UNKNOWN);
        EXPECT_TRUE(saved.IsValid()) << path;
        return testing::colourAt(saved, x, y);
    }
    // What each of the logo's four places shows: a changed pixel is the average of white and
    // the picture, an unchanged one the picture.
    static void expectLogo(const std::string& path, bool clearPartsShowThePicture)
    {
        const Rgb averaged { (255 + kPicture.red) / 2, (255 + kPicture.green) / 2, (255 + kPicture.blue) / 2 };
        const Rgb picture { kPicture.red, kPicture.green, kPicture.blue };
        const Rgb darkBox { kPicture.red / 2, kPicture.green / 2, kPicture.blue / 2 };
        EXPECT_EQ(pixel(path, 0, 0), averaged) << path;
        EXPECT_EQ(pixel(path, 1, 1), averaged) << path;
        EXPECT_EQ(pixel(path, 1, 0), clearPartsShowThePicture ? picture : darkBox) << path;
        EXPECT_EQ(pixel(path, 0, 1), clearPartsShowThePicture ? picture : darkBox) << path;
        EXPECT_EQ(pixel(path, 2, 2), picture) << path;
    }
    void writeLayout(const std::string& text) { std::ofstream(folder.file("layout.json")) << text; }
    ScratchFolder folder;
};

TEST_F(TransparentLogo, MergeUsesTheLogosTransparencyInAVersion2Layout)
{
    const struct {
        const char* layout;
        bool transparent;
    } cases[] = {
        { R"({"version": 2, "sources": [{"file": "logo.png", "posY": 1}, {"file": "in/photo.bmp"}]})", true },
        { R"({"version": 2, "sources": [{"file": "logo.png", "posY": 1, "fileTransparency": false},
             {"file": "in/photo.bmp"}]})",
            false },
        { R"({"sources": [{"file": "logo.png", "posY": 1}, {"file": "in/photo.bmp"}]})", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        writeLayout(c.layout);
        const std::string out = folder.file("out.bmp");
        const testing::CliOutcome run = runCli("merge '" + folder.file("layout.json") + "' -o '" + out + "'");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        expectLogo(out, c.transparent);
    }
}

TEST_F(TransparentLogo, BatchWatermarksWithTheLogosTransparency)
{
    writeLayout(R"({"version": 2, "sources": [{"file": "logo.png"}]})");
    const testing::CliOutcome run = runCli("batch '" + folder.file("layout.json") + "' '" + folder.file("in")
        + "' -o '" + folder.file("out") + "' --position left,top --quiet");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    expectLogo(folder.file("out/photo.bmp"), true);
}

} // namespace
} // namespace tessary
