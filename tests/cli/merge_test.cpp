// Runs the built tessary-cli on small files written here and checks the pixels it saves.
#include "app/arrangement.h"
#include "image/bmp_writer.h"
#include "image/cx_image.h"
#include "image/masked_dib.h"
#include "support/cli_run.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace tessary {
namespace {

using testing::runCli;
using testing::ScratchFolder;

// A w x h 24-bit BMP whose every pixel is (red, green, blue).
void writeSolidBmp(const std::string& path, int32_t w, int32_t h, uint8_t red, uint8_t green, uint8_t blue)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(h, w, image, 24));
    for (int32_t row = 0; row < h; ++row)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = image.dib->row(row) + 3 * size_t(x);
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
    ASSERT_TRUE(writeBmpFile(*image.dib, path));
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

// Red, green, blue of pixel (x, stored row) of a saved 24-bit file.
testing::Rgb savedPixel(CxImage& image, uint32_t x, uint32_t row)
{
    return testing::colourAt(image, x, uint32_t(image.GetHeight()) - 1 - row);
}

class CliMerge : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeSolidBmp(folder.file("dark.bmp"), 4, 3, 100, 100, 100);
        writeSolidBmp(folder.file("light.bmp"), 4, 3, 200, 60, 0);
    }
    ScratchFolder folder;
};

TEST_F(CliMerge, AverageOfTwoOverlappingSourcesInEveryOutputFormat)
{
    writeText(folder.file("layout.json"), R"({
        "sources": [ {"file": "dark.bmp"}, {"file": "light.bmp", "posX": 2, "posY": 1} ],
        "backgroundColour": "#0A141E"
    })");
    for (const char* ending : { "bmp", "png", "tif", "tga", "pcx" }) {
        SCOPED_TRACE(ending);
        const std::string out = folder.file(std::string("out.") + ending);
        const testing::CliOutcome run = runCli("merge '" + folder.file("layout.json") + "' -o '" + out + "'");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output, ""); // not a terminal: no progress bars
        CxImage saved;
        ASSERT_TRUE(saved.Load(out, *formatFromFileName(out))) << saved.GetLastErrorText();
        ASSERT_EQ(saved.GetWidth(), 6);
        ASSERT_EQ(saved.GetHeight(), 4);
        if (std::string(ending) == "tif")
            continue; // saved with JPEG compression: only the size is exact
        EXPECT_EQ(savedPixel(saved, 0, 0), (testing::Rgb { 100, 100, 100 }));
        EXPECT_EQ(savedPixel(saved, 3, 2), (testing::Rgb { 150, 80, 50 })); // both, 50 % each
        EXPECT_EQ(savedPixel(saved, 5, 3), (testing::Rgb { 200, 60, 0 }));
        EXPECT_EQ(savedPixel(saved, 5, 0), (testing::Rgb { 10, 20, 30 })); // background
        EXPECT_EQ(savedPixel(saved, 0, 3), (testing::Rgb { 10, 20, 30 }));
    }
    // JPEG is lossy: the size, and the colours roughly.
    const std::string jpg = folder.file("out.JPG");
    ASSERT_EQ(runCli("merge '" + folder.file("layout.json") + "' -o '" + jpg + "' --quiet").exitCode, 0);
    CxImage saved;
    ASSERT_TRUE(saved.Load(jpg, CXIMAGE_FORMAT_JPG)) << saved.GetLastErrorText();
    EXPECT_EQ(saved.GetWidth(), 6);
    EXPECT_EQ(saved.GetHeight(), 4);
}

// A BMP target is generated straight into its file; the pixels must be those the ordinary
// writers save, with and without margins and contrast (where the target is a second image),
// for a turned source whose rows are transformed during the merge. The file replaced keeps
// its mode and nothing is left beside it.
TEST_F(CliMerge, ABmpWrittenThroughItsFileHasThePixelsTheOtherWritersSave)
{
    MaskedDib picture;
    ASSERT_FALSE(allocateMaskedDib(23, 37, picture, 24));
    for (int32_t row = 0; row < 23; ++row)
        for (int32_t x = 0; x < 37; ++x) {
            uint8_t* p = picture.dib->row(row) + 3 * size_t(x);
            p[0] = uint8_t(7 * x);
            p[1] = uint8_t(11 * row);
            p[2] = uint8_t(x * row);
        }
    ASSERT_TRUE(writeBmpFile(*picture.dib, folder.file("picture.bmp")));
    for (const char* settings : { "", R"(, "marginX": 3, "marginY": 1, "targetContrast": 20)" }) {
        SCOPED_TRACE(settings);
        writeText(folder.file("layout.json"),
            std::string(
                R"({"sources": [{"file": "picture.bmp", "scaleX": 1536, "scaleY": 1300, "rotation": 30},
                {"file": "light.bmp", "posX": 9, "posY": 4}])")
                + settings + "}");
        const std::string bmp = folder.file("out.bmp"), png = folder.file("out.png");
        writeSolidBmp(bmp, 2, 2, 1, 2, 3);
        chmod(bmp.c_str(), 0604);
        for (const std::string& out : { bmp, png })
            ASSERT_EQ(
                runCli("merge '" + folder.file("layout.json") + "' -o '" + out + "' --quiet").exitCode, 0);
        CxImage a, b;
        ASSERT_TRUE(a.Load(bmp, CXIMAGE_FORMAT_BMP)) << a.GetLastErrorText();
        ASSERT_TRUE(b.Load(png, CXIMAGE_FORMAT_PNG)) << b.GetLastErrorText();
        ASSERT_EQ(a.GetWidth(), b.GetWidth());
        ASSERT_EQ(a.GetHeight(), b.GetHeight());
        ASSERT_GT(a.GetWidth(), 37);
        const uint64_t stride = (3 * uint64_t(a.GetWidth()) + 3) / 4 * 4;
        EXPECT_EQ(std::filesystem::file_size(bmp), 54 + stride * uint64_t(a.GetHeight()));
        int differing = 0;
        for (uint32_t y = 0; y < uint32_t(a.GetHeight()); ++y)
            for (uint32_t x = 0; x < uint32_t(a.GetWidth()); ++x)
                differing += testing::colourAt(a, x, y) == testing::colourAt(b, x, y) ? 0 : 1;
        EXPECT_EQ(differing, 0);
        struct stat st { };
        stat(bmp.c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.file("")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names,
            (std::vector<std::string> {
                "dark.bmp", "layout.json", "light.bmp", "out.bmp", "out.png", "picture.bmp" }));
    }
}

TEST_F(CliMerge, SettingsLayersMarginsAndRelativePaths)
{
    std::filesystem::create_directory(folder.file("sub"));
    writeSolidBmp(folder.file("sub/top.bmp"), 2, 2, 0, 0, 255);
    writeSolidBmp(folder.file("black.bmp"), 4, 3, 0, 0, 0);
    // Positions are normalised (the smallest becomes 0); the top layer hides the merge; with a
    // large fuzziness the brighter of the two middle sources takes the pixel whole; a 1-pixel
    // margin band surrounds the 6 x 4 merge.
    writeText(folder.file("sub/layout.json"), R"({
        "sources": [
            {"file": "../black.bmp", "posX": -5, "posY": -5},
            {"file": "../light.bmp", "posX": -3, "posY": -4, "biasWeight": 50, "fadeEdge": false},
            {"file": "top.bmp", "posX": -5, "posY": -5, "topLevel": 1}
        ],
        "mergeType": "brightest", "thresholdFuzziness": 100,
        "marginX": 1, "marginY": 1, "marginColour": "#FF00FF",
        "targetContrast": 16, "targetBrightness": 128
    })");
    // Run from another folder: the source paths are taken relative to the layout file.
    const testing::CliOutcome run = runCli("merge sub/layout.json -o result.png", folder.file(""));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    CxImage saved;
    ASSERT_TRUE(saved.Load(folder.file("result.png"), CXIMAGE_FORMAT_PNG));
    ASSERT_EQ(saved.GetWidth(), 8);
    ASSERT_EQ(saved.GetHeight(), 6);
    EXPECT_EQ(savedPixel(saved, 0, 0), (testing::Rgb { 255, 0, 255 })); // band
    EXPECT_EQ(savedPixel(saved, 7, 3), (testing::Rgb { 255, 0, 255 }));
    EXPECT_EQ(savedPixel(saved, 1, 1), (testing::Rgb { 0, 0, 255 })); // top layer
    EXPECT_EQ(savedPixel(saved, 3, 2), (testing::Rgb { 200, 60, 0 })); // brighter middle source
    EXPECT_EQ(savedPixel(saved, 4, 1), (testing::Rgb { 0, 0, 0 })); // black alone
    EXPECT_EQ(savedPixel(saved, 6, 4), (testing::Rgb { 200, 60, 0 })); // light alone
}

TEST_F(CliMerge, BadLayoutsAreRefusedBeforeAnyWork)
{
    struct Case {
        const char* json;
        const char* named; // what the message must name
    };
    const Case cases[] = {
        { R"({"sources": [{"file": "dark.bmp"}], "colour": 1})", "colour: unknown field" },
        { R"({"sources": [{"file": "dark.bmp", "posx": 1}]})", "sources[0].posx: unknown field" },
        { R"({"sources": [{"file": "dark.bmp", "posX": "1"}]})", "sources[0].posX" },
        { R"({"sources": [{"file": "dark.bmp", "posX": 1.5}]})", "sources[0].posX" },
        { R"({"sources": [{"file": "dark.bmp", "mirrored": 1}]})", "sources[0].mirrored" },
        { R"({"sources": [{"file": "dark.bmp", "biasWeight": 101}]})", "sources[0].biasWeight" },
        { R"({"sources": [{"file": "dark.bmp", "topLevel": 0}]})", "sources[0].topLevel" },
        { R"({"sources": [{"file": "dark.bmp", "scaleX": 0.5}]})", "sources[0].scaleX" },
        { R"({"sources": [{"file": "dark.bmp"}, {"file": "nowhere.bmp"}]})", "sources[1].file" },
        { R"({"sources": [{"posX": 3}]})", "sources[0].file: missing" },
        { R"({"sources": []})", "sources" },
        { R"({"mergeType": 1})", "sources: missing" },
        { R"({"sources": [{"file": "dark.bmp"}], "mergeType": "lightest"})", "mergeType" },
        { R"({"sources": [{"file": "dark.bmp"}], "mergeType": 5})", "mergeType" },
        { R"({"sources": [{"file": "dark.bmp"}], "backgroundColour": "#12345"})", "backgroundColour" },
        { R"({"sources": [{"file": "dark.bmp"}], "marginX": 501})", "marginX" },
        { R"({"sources": [{"file": "dark.bmp"}], "targetContrast": 33})", "targetContrast" },
        { R"({"sources": [{"file": "dark.bmp"}], "thresholdFuzziness": -1})", "thresholdFuzziness" },
        { R"({"sources": [{"file": "dark.bmp"})", "not valid JSON" },
        { R"([1, 2])", "layout: must be a JSON object" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        writeText(folder.file("layout.json"), c.json);
        const std::string out = folder.file("refused.bmp");
        const testing::CliOutcome run = runCli("merge '" + folder.file("layout.json") + "' -o '" + out + "'");
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.output.find(c.named), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    // Nine sources.
    std::string nine = R"({"sources": [)";
    for (int i = 0; i < 9; ++i)
        nine += std::string(i ? "," : "") + R"({"file": "dark.bmp"})";
    writeText(folder.file("layout.json"), nine + "]}");
    const testing::CliOutcome run
        = runCli("merge '" + folder.file("layout.json") + "' -o '" + folder.file("x.bmp") + "'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("1 to 8 sources"), std::string::npos) << run.output;

    // A source whose name says nothing is read by its content: one that is no picture fails
    // when it is loaded, saying what it looks like.
    writeText(folder.file("layout.json"), R"({"sources": [{"file": "dark.bmp"}, {"file": "layout.json"}]})");
    const testing::CliOutcome notAPicture
        = runCli("merge '" + folder.file("layout.json") + "' -o '" + folder.file("x.bmp") + "'");
    EXPECT_EQ(notAPicture.exitCode, 1);
    EXPECT_NE(notAPicture.output.find("layout.json is not a BMP, JPEG, PNG, TIFF, TGA or PCX picture: it looks "
                                      "like a text file."),
        std::string::npos)
        << notAPicture.output;
    EXPECT_FALSE(std::filesystem::exists(folder.file("x.bmp")));
}

TEST_F(CliMerge, CommandLineAndRunFailures)
{
    writeText(folder.file("layout.json"), R"({"sources": [{"file": "dark.bmp"}]})");
    const std::string layout = "'" + folder.file("layout.json") + "'";
    EXPECT_EQ(runCli("merge " + layout).exitCode, 2); // no -o
    EXPECT_EQ(runCli("merge -o x.bmp").exitCode, 2); // no layout
    EXPECT_EQ(runCli("merge " + layout + " -o out.gif").exitCode, 2); // unknown format
    EXPECT_EQ(runCli("merge " + layout + " -o a.bmp --fast").exitCode, 2); // unknown option
    EXPECT_EQ(runCli("merge --help").exitCode, 0);

    // A source that exists but does not decode: the decoder's text, then the program's own.
    writeText(folder.file("broken.png"), "no picture in here");
    writeText(folder.file("broken.json"), R"({"sources": [{"file": "broken.png"}]})");
    const testing::CliOutcome broken
        = runCli("merge '" + folder.file("broken.json") + "' -o '" + folder.file("b.bmp") + "'");
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.output.find("Unable to load this image file"), std::string::npos) << broken.output;
    EXPECT_NE(broken.output.find("broken.png"), std::string::npos) << broken.output;
    // The same in the middle of a layout, decoded while the source before it is transformed:
    // its messages still come, once, and name that source.
    writeText(folder.file("middle.json"),
        R"({"sources": [{"file": "dark.bmp"}, {"file": "broken.png"}, {"file": "light.bmp"}]})");
    const testing::CliOutcome middle
        = runCli("merge '" + folder.file("middle.json") + "' -o '" + folder.file("m.bmp") + "'");
    EXPECT_EQ(middle.exitCode, 1);
    const size_t unable = middle.output.find("Unable to load this image file");
    ASSERT_NE(unable, std::string::npos) << middle.output;
    EXPECT_EQ(middle.output.find("Unable to load this image file", unable + 1), std::string::npos)
        << middle.output;
    EXPECT_NE(middle.output.find("cannot load source 2, \""), std::string::npos) << middle.output;
    EXPECT_FALSE(std::filesystem::exists(folder.file("m.bmp")));

    // A target wider than 20000 pixels.
    writeText(folder.file("wide.json"),
        R"({"sources": [{"file": "dark.bmp"}, {"file": "light.bmp", "posX": 19998}]})");
    const testing::CliOutcome wide
        = runCli("merge '" + folder.file("wide.json") + "' -o '" + folder.file("w.bmp") + "'");
    EXPECT_EQ(wide.exitCode, 1);
    EXPECT_NE(wide.output.find("Not enough memory to process the source image."), std::string::npos)
        << wide.output;
    EXPECT_FALSE(std::filesystem::exists(folder.file("w.bmp")));

    // Every source under one pixel at its scale: no target, in no format, and nothing written.
    writeText(folder.file("tiny.json"),
        R"({"sources": [{"file": "dark.bmp", "scaleX": 200, "scaleY": 300}, {"file": "light.bmp", "scaleX": 9, "scaleY": 100}]})");
    for (const char* name : { "t.bmp", "t.png" }) {
        const testing::CliOutcome tiny
            = runCli("merge '" + folder.file("tiny.json") + "' -o '" + folder.file(name) + "'");
        EXPECT_EQ(tiny.exitCode, 1) << name;
        EXPECT_NE(
            tiny.output.find("The target would be empty: every source is under one pixel at its scale."),
            std::string::npos)
            << tiny.output;
        EXPECT_FALSE(std::filesystem::exists(folder.file(name)));
    }

    // An output folder that does not exist.
    const testing::CliOutcome unsaved
        = runCli("merge " + layout + " -o '" + folder.file("none/out.png") + "'");
    EXPECT_EQ(unsaved.exitCode, 1);
    EXPECT_NE(unsaved.output.find("Failed the file save!"), std::string::npos) << unsaved.output;
}

TEST_F(CliMerge, ASavedArrangementMergesToTheSameBytesAsTheLayoutItWasMadeFrom)
{
    writeSolidBmp(folder.file("blue.bmp"), 5, 4, 10, 40, 220);
    writeText(folder.file("layout.json"), R"({
        "sources": [
            {"file": "dark.bmp", "rotation": 30, "biasWeight": 20, "bottomLevel": 1},
            {"file": "light.bmp", "posX": 2, "posY": 1, "mirrored": true, "biasWeight": 70},
            {"file": "blue.bmp", "posX": 1, "posY": 2, "topLevel": 1, "scaleX": 1500}
        ],
        "mergeType": "darkest", "marginX": 2, "marginColour": "#102030", "targetBrightness": 140
    })");
    std::string error;
    const auto layout = readMergeLayout(folder.file("layout.json"), error);
    ASSERT_TRUE(layout) << error;
    ASSERT_TRUE(writeMergeLayout(folder.file("saved.tessary.json"), *layout, error)) << error;

    const testing::CliOutcome before
        = runCli("merge '" + folder.file("layout.json") + "' -o '" + folder.file("a.bmp") + "'");
    ASSERT_EQ(before.exitCode, 0) << before.output;
    const testing::CliOutcome after
        = runCli("merge '" + folder.file("saved.tessary.json") + "' -o '" + folder.file("b.bmp") + "'");
    ASSERT_EQ(after.exitCode, 0) << after.output;
    const auto a = ScratchFolder::read(folder.file("a.bmp"));
    EXPECT_GT(a.size(), 54u);
    EXPECT_EQ(a, ScratchFolder::read(folder.file("b.bmp")));

    writeText(folder.file("future.tessary.json"),
        R"({"format": "tessary-arrangement", "version": 3, "sources": [ {"file": "dark.bmp"} ]})");
    const testing::CliOutcome refused
        = runCli("merge '" + folder.file("future.tessary.json") + "' -o '" + folder.file("c.bmp") + "'");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.output.find("version: 3 is newer"), std::string::npos) << refused.output;
}

} // namespace
} // namespace tessary
