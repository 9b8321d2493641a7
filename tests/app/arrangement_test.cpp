// Writing an arrangement and reading it back, and the files that are refused.
#include "app/arrangement.h"
#include "app/save_arrangement.h"
#include "app/workspace.h"
#include "support/codec_image_util.h"
#include "support/fake_platform.h"

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
        { "file and text", head + R"("sources": [ {"file": "below/a.bmp", "text": {"text": "a"}} ]})",
            "sources[0].text: a source has either a file or a text, not both" },
        { "text without its text", head + R"("sources": [ {"text": {"colour": "#FFFFFF"}} ]})",
            "sources[0].text.text: missing" },
        { "font field out of range",
            head + R"("sources": [ {"text": {"text": "a", "font": {"weight": 1001}}} ]})",
            "sources[0].text.font.weight" },
        { "text too long",
            head + R"("sources": [ {"text": {"text": ")" + std::string(8189, 'a') + R"("}} ]})",
            "sources[0].text.text: must be a text of at most 8188 bytes" },
        { "unknown text field", head + R"("sources": [ {"text": {"text": "a", "size": 3}} ]})",
            "sources[0].text.size: unknown field" },
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

TEST_F(Arrangement, AMissingSourceFileIsLeftToTheCallerWhenAsked)
{
    const std::string path = folder.file("gone.tessary.json");
    writeText(path, R"({"sources": [ {"file": "below/gone.bmp"}, {"file": "below/a.bmp"} ]})");
    std::string error;
    EXPECT_FALSE(readMergeLayout(path, error));
    const auto read = readMergeLayout(path, error, SourceFiles::MayBeMissing);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->sources[0].file, folder.file("below/gone.bmp"));
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

TEST_F(Arrangement, AWorkspaceCapturedSavedAndPlacedAgainKeepsItsPlacementsAndSettings)
{
    MergeWorkspace before;
    for (size_t slot : { size_t(0), size_t(2) }) {
        before.documents[slot] = std::make_unique<VIrorozIzi>();
        before.documents[slot]->slotIndex = int32_t(slot);
        before.documents[slot]->filePath = slot == 0 ? folder.file("below/a.bmp") : outside.file("b.png");
    }
    before.alignDoc.placement[2].posX = 40;
    before.alignDoc.placement[2].posY = -3;
    before.alignDoc.placement[0].rotation = 12.5;
    before.alignDoc.placement[2].scaleX = 2048.0;
    before.alignDoc.placement[2].topLevel = 1;
    before.targetDoc.mirrored[0] = 1;
    before.biasWeight = { 25.0, 0.0, 75.0 };
    before.fadeEdge[2] = 1;
    before.mergeType = 2;
    before.targetDoc.marginX = 9;
    before.targetDoc.targetBrightness = 100;

    MergeLayout layout;
    std::vector<ImageBesideArrangement> beside;
    std::string error;
    const std::string path = folder.file("ws.tessary.json");
    captureArrangement(before, path, layout, beside);
    EXPECT_TRUE(beside.empty());
    ASSERT_TRUE(writeMergeLayout(path, layout, error)) << error;
    const auto read = readMergeLayout(path, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->sources.size(), 2u); // the empty place in between is not kept

    MergeWorkspace after;
    for (size_t i = 0; i < read->sources.size(); ++i)
        placeLayoutSource(after, i, read->sources[i]);
    applyTargetSettings(after, *read);
    EXPECT_EQ(after.alignDoc.placement[0].rotation, 12.5);
    EXPECT_EQ(after.targetDoc.mirrored[0], 1);
    EXPECT_EQ(after.alignDoc.placement[1].posX, 40);
    EXPECT_EQ(after.alignDoc.placement[1].posY, -3);
    EXPECT_EQ(after.alignDoc.placement[1].scaleX, 2048.0);
    EXPECT_EQ(after.alignDoc.placement[1].topLevel, 1);
    EXPECT_EQ(after.fadeEdge[1], 1);
    EXPECT_EQ(read->sources[0].biasWeight, 25.0);
    EXPECT_EQ(read->sources[1].biasWeight, 75.0);
    EXPECT_EQ(read->mergeType, 2);
    EXPECT_EQ(after.targetDoc.marginX, 9);
    EXPECT_EQ(after.targetDoc.targetBrightness, 100);
}

TEST_F(Arrangement, TextSourcesKeepTheirFieldsAndPastedImagesGoBesideTheArrangement)
{
    MergeWorkspace before;
    const StoredText stored { "Tessary\r\n\"quoted\" \xC3\xA9\r\n",
        LogFont { -30, 0, 0, 0, 700, 1, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans" }, makeColourRef(255, 0, 0),
        makeColourRef(0, 0, 80), true };
    const int kinds[] = { kSourceText, kSourcePaste, kSourceTargetCopy };
    for (size_t slot = 0; slot < 3; ++slot) {
        before.documents[slot] = std::make_unique<VIrorozIzi>();
        before.documents[slot]->slotIndex = int32_t(slot);
        before.documents[slot]->sourceKind = kinds[slot];
    }
    VIrorozIzi& text = *before.documents[0];
    text.textBuffer = stored.text;
    text.textFont = stored.font;
    text.textColour = stored.colour;
    text.textBackColour = stored.backColour;
    text.textTransparentBack = 1;
    before.alignDoc.placement[0].posX = 31;

    const std::string path = folder.file("mine.tessary.json");
    MergeLayout layout;
    std::vector<ImageBesideArrangement> beside;
    captureArrangement(before, path, layout, beside);
    ASSERT_EQ(beside.size(), 2u);
    EXPECT_EQ(beside[0].slot, 1u);
    EXPECT_EQ(beside[0].path, folder.file("mine-source2.png"));
    EXPECT_EQ(beside[1].path, folder.file("mine-source3.png"));
    for (const auto& image : beside)
        writeText(image.path, "x");

    std::string error;
    ASSERT_TRUE(writeMergeLayout(path, layout, error)) << error;
    const std::vector<uint8_t> bytes = ScratchFolder::read(path);
    const std::string written(bytes.begin(), bytes.end());
    EXPECT_NE(written.find("\"file\": \"mine-source2.png\""), std::string::npos) << written;
    const auto read = readMergeLayout(path, error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->sources.size(), 3u);
    ASSERT_TRUE(read->sources[0].text);
    EXPECT_EQ(*read->sources[0].text, stored);
    EXPECT_TRUE(read->sources[0].file.empty());
    EXPECT_EQ(read->sources[0].posX, 31);
    EXPECT_EQ(read->sources[2].file, folder.file("mine-source3.png"));

    EXPECT_EQ(imageBesideArrangement("/a/b/work.json", 4), "/a/b/work-source4.png");
    EXPECT_EQ(imageBesideArrangement("/a.b/work", 1), "/a.b/work-source1.png");
}

TEST_F(Arrangement, SaveArrangementAsksForAFileAddsTheEndingAndRemembersTheFolder)
{
    MergeWorkspace workspace;
    testing::FakePlatform platform;
    platform.expectMessage("There are no sources to save.");
    EXPECT_FALSE(saveArrangementCommand(workspace, platform));
    EXPECT_TRUE(platform.saveRequests.empty());

    workspace.documents[0] = std::make_unique<VIrorozIzi>();
    workspace.documents[0]->filePath = folder.file("below/a.bmp");
    workspace.sourceCount = 1;
    workspace.alignDoc.placement[0].posX = 5;
    platform.saveAnswers.push_back(FileDialogResult { folder.file("mine"), 1 });
    ASSERT_TRUE(saveArrangementCommand(workspace, platform));
    std::string error;
    const auto read = readMergeLayout(folder.file("mine.tessary.json"), error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->sources[0].posX, 5);

    platform.saveAnswers.push_back(std::nullopt); // cancelled: nothing asked or written
    EXPECT_FALSE(saveArrangementCommand(workspace, platform));
    ASSERT_EQ(platform.saveRequests.size(), 2u);
    EXPECT_EQ(platform.saveRequests[1].initialFolder, folder.file(""));
    EXPECT_EQ(platform.messages.size(), 1u);

    // A source changed in its window is saved as its file, and the user is told so.
    workspace.documents[0]->editedInWindow = true;
    workspace.documents[0]->title = "a.bmp";
    platform.saveAnswers.push_back(FileDialogResult { folder.file("mine"), 1 });
    platform.expectMessage(std::string(kEditsNotKept) + "\nSource 1 (a.bmp)");
    EXPECT_TRUE(saveArrangementCommand(workspace, platform));
}

} // namespace
} // namespace tessary
