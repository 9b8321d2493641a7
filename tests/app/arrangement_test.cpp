// Writing an arrangement and reading it back, and the files that are refused.
#include "app/arrangement.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tessary {
namespace {

using testing::ScratchFolder;

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

class Arrangement : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(folder.file("below"));
        writeText(folder.file("below/a.bmp"), "x");
        writeText(outside.file("b.png"), "x");
    }
    ScratchFolder folder, outside;
};

TEST_F(Arrangement, EveryFieldSurvivesWritingAndReading)
{
    MergeLayout layout;
    LayoutSource a;
    a.file = folder.file("below/a.bmp");
    a.posX = -7;
    a.posY = 12;
    a.scaleX = 1100.5;
    a.scaleY = 987.25;
    a.rotation = 33.3333333333333;
    a.mirrored = true;
    a.topLevel = 2;
    a.biasWeight = 37.5;
    a.fadeEdge = true;
    LayoutSource b;
    b.file = outside.file("b.png");
    b.bottomLevel = 1;
    layout.sources = { a, b };
    layout.mergeType = 3;
    layout.thresholdFuzziness = 55;
    layout.backgroundColour = makeColourRef(1, 2, 3);
    layout.marginColour = makeColourRef(250, 128, 0);
    layout.marginX = 7;
    layout.marginY = 500;
    layout.targetContrast = 0;
    layout.targetBrightness = 255;

    std::string error;
    const std::string path = folder.file("work.tessary.json");
    ASSERT_TRUE(writeMergeLayout(path, layout, error)) << error;
    const std::vector<uint8_t> bytes = ScratchFolder::read(path);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("\"format\": \"tessary-arrangement\""), std::string::npos);
    EXPECT_NE(text.find("\"file\": \"below/a.bmp\""), std::string::npos) << text; // below: relative
    EXPECT_NE(text.find("\"file\": \"" + outside.file("b.png") + "\""), std::string::npos) << text;

    const auto read = readMergeLayout(path, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->sources.size(), 2u);
    const LayoutSource& ra = read->sources[0];
    EXPECT_EQ(
        std::filesystem::path(ra.file).lexically_normal(), std::filesystem::path(a.file).lexically_normal());
    EXPECT_EQ(ra.posX, a.posX);
    EXPECT_EQ(ra.posY, a.posY);
    EXPECT_EQ(ra.scaleX, a.scaleX); // exact: doubles are written with every digit they need
    EXPECT_EQ(ra.scaleY, a.scaleY);
    EXPECT_EQ(ra.rotation, a.rotation);
    EXPECT_TRUE(ra.mirrored);
    EXPECT_EQ(ra.topLevel, 2);
    EXPECT_EQ(ra.bottomLevel, -1);
    EXPECT_EQ(ra.biasWeight, 37.5);
    EXPECT_TRUE(ra.fadeEdge);
    EXPECT_EQ(read->sources[1].file, b.file);
    EXPECT_EQ(read->sources[1].bottomLevel, 1);
    EXPECT_FALSE(read->sources[1].biasWeight);
    EXPECT_EQ(read->mergeType, 3);
    EXPECT_EQ(read->thresholdFuzziness, 55);
    EXPECT_EQ(read->backgroundColour, layout.backgroundColour);
    EXPECT_EQ(read->marginColour, layout.marginColour);
    EXPECT_EQ(read->marginX, 7);
    EXPECT_EQ(read->marginY, 500);
    EXPECT_EQ(read->targetContrast, 0);
    EXPECT_EQ(read->targetBrightness, 255);
}

TEST_F(Arrangement, WritingIntoAMissingFolderFailsAndSaysSo)
{
    MergeLayout layout;
    std::string error;
    EXPECT_FALSE(writeMergeLayout(folder.file("no/such/folder/x.tessary.json"), layout, error));
    EXPECT_NE(error.find("cannot be written"), std::string::npos);
}

TEST_F(Arrangement, BadFilesAreRefusedNamingTheField)
{
    const std::string head = R"({"format": "tessary-arrangement", "version": 1, )";
    const struct {
        const char* name;
        std::string text;
        const char* expected; // in the message
    } cases[] = {
        { "truncated", head + R"("sources": [ {"file": "below/a.bmp"})", "not valid JSON" },
        { "missing source", head + R"("sources": [ {"file": "below/gone.bmp"} ]})", "sources[0].file" },
        { "future version", R"({"format": "tessary-arrangement", "version": 2, "sources": []})",
            "version: 2 is newer" },
        { "version not a number", R"({"version": "1", "sources": [ {"file": "below/a.bmp"} ]})", "version:" },
        { "other format", R"({"format": "something", "sources": [ {"file": "below/a.bmp"} ]})", "format:" },
        { "out of range", head + R"("sources": [ {"file": "below/a.bmp"} ], "targetContrast": 33})",
            "targetContrast: must be a whole number from 0 to 32" },
        { "source field out of range", head + R"("sources": [ {"file": "below/a.bmp", "topLevel": 9} ]})",
            "sources[0].topLevel" },
        { "unknown field", head + R"("sources": [ {"file": "below/a.bmp"} ], "zoom": 2})",
            "zoom: unknown field" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file("bad.tessary.json");
        writeText(path, c.text);
        std::string error;
        EXPECT_FALSE(readMergeLayout(path, error));
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

TEST_F(Arrangement, LayoutsWithoutFormatAndVersionStillRead)
{
    const std::string path = folder.file("old.json");
    writeText(path, R"({"sources": [ {"file": "below/a.bmp", "posX": 3} ]})");
    std::string error;
    const auto read = readMergeLayout(path, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->sources[0].posX, 3);
}

} // namespace
} // namespace tessary
