// Writing an arrangement and reading it back, and the files that are refused.
#include "app/arrangement.h"
#include "app/save_arrangement.h"
#include "app/workspace.h"
#include "sources/text_buffer.h"
#include "sources/text_render.h"
#include "support/codec_image_util.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

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
    a.loadOptions = LoadOptions { false, true };
    LayoutSource b;
    b.file = outside.file("b.png");
    b.bottomLevel = 1;
    b.loadOptions = LoadOptions { true, false };
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
    EXPECT_EQ(ra.loadOptions, a.loadOptions);
    EXPECT_EQ(read->sources[1].loadOptions, b.loadOptions);
    EXPECT_NE(text.find("\"version\": 2"), std::string::npos) << text;
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
        { "future version", R"({"format": "tessary-arrangement", "version": 3, "sources": []})",
            "version: 3 is newer" },
        { "number out of a double's range",
            head + R"("sources": [ {"file": "below/a.bmp", "rotation": 32E777} ]})",
            "not valid JSON: [json.exception.out_of_range.406] number overflow" },
        { "version not a number", R"({"version": "1", "sources": [ {"file": "below/a.bmp"} ]})", "version:" },
        { "other format", R"({"format": "something", "sources": [ {"file": "below/a.bmp"} ]})", "format:" },
        { "out of range", head + R"("sources": [ {"file": "below/a.bmp"} ], "targetContrast": 33})",
            "targetContrast: must be a whole number from 0 to 32" },
        // Never offered by the Merge Sources dialog, though earlier versions read it.
        { "no fuzziness", head + R"("sources": [ {"file": "below/a.bmp"} ], "thresholdFuzziness": 0})",
            "thresholdFuzziness: must be a whole number from 1 to 100" },
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
            head + R"("sources": [ {"text": {"text": ")" + std::string(kMaxStoredText + 1, 'a') + R"("}} ]})",
            "sources[0].text.text: must be a text of at most 8189 bytes" },
        { "unknown text field", head + R"("sources": [ {"text": {"text": "a", "size": 3}} ]})",
            "sources[0].text.size: unknown field" },
        { "field given twice",
            head + R"("sources": [ {"file": "below/a.bmp"} ], "marginX": 1, "marginX": 2})",
            "\"marginX\" is given twice" },
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

TEST_F(Arrangement, TargetSettingsAreCheckedAgainstTheDialogsRanges)
{
    const struct {
        const char* field;
        SettingRange range;
    } settings[] = {
        { "thresholdFuzziness", kThresholdFuzziness },
        { "marginX", kMargin },
        { "marginY", kMargin },
        { "targetContrast", kTargetContrast },
        { "targetBrightness", kTargetBrightness },
    };
    const std::string path = folder.file("range.tessary.json");
    for (const auto& s : settings) {
        const std::string named = std::string(s.field) + ": must be a whole number from "
            + std::to_string(s.range.min) + " to " + std::to_string(s.range.max);
        for (int64_t value : { int64_t(s.range.min) - 1, int64_t(s.range.min), int64_t(s.range.max),
                 int64_t(s.range.max) + 1 }) {
            SCOPED_TRACE(std::string(s.field) + " " + std::to_string(value));
            writeText(path,
                R"({"sources": [ {"file": "below/a.bmp"} ], ")" + std::string(s.field)
                    + "\": " + std::to_string(value) + "}");
            std::string error;
            const bool inside = value >= s.range.min && value <= s.range.max;
            EXPECT_EQ(readMergeLayout(path, error).has_value(), inside) << error;
            if (!inside) {
                EXPECT_NE(error.find(named), std::string::npos) << error;
            }
        }
    }
}

TEST_F(Arrangement, FilesThatAreNoArrangementAreRefusedNamingTheFile)
{
    const std::string valid = R"({"sources": [ {"file": "below/a.bmp"} ]})";
    const std::string deep(kMaxLayoutBytes / 2, '[');
    const struct {
        const char* name;
        std::string content; // written to the file unless it is made below
        const char* expected;
    } cases[] = {
        { "a folder", "", "is a folder" },
        { "a pipe", "", "is not a regular file" },
        { "missing", "", "cannot be read" },
        { "one byte over the cap", valid + std::string(kMaxLayoutBytes + 1 - valid.size(), ' '),
            "is larger" },
        { "nested deeper than an arrangement", deep + std::string(deep.size(), ']'),
            "nested more than 5 levels deep" },
        { "a source nested too deep", R"({"sources": [ {"text": {"font": {"faceName": [1]}}} ]})",
            "nested more than 5 levels deep" },
        { "not JSON", "GIF89a\x01\x02", "not valid JSON" },
        { "empty", "", "not valid JSON" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file(std::string(c.name) + ".tessary.json");
        if (std::string(c.name) == "a folder")
            std::filesystem::create_directory(path);
        else if (std::string(c.name) == "a pipe")
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        else if (std::string(c.name) != "missing")
            writeText(path, c.content);
        std::string error;
        std::optional<MergeLayout> read;
        EXPECT_NO_THROW(read = readMergeLayout(path, error));
        EXPECT_FALSE(read);
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
    // Up to the cap a file is read.
    const std::string path = folder.file("at the cap.tessary.json");
    writeText(path, valid + std::string(kMaxLayoutBytes - valid.size(), ' '));
    std::string error;
    EXPECT_TRUE(readMergeLayout(path, error)) << error;
}

// The largest arrangements the program writes: eight text sources with the longest text and
// font name, or eight files with the longest names, every character one JSON escapes.
TEST_F(Arrangement, TheLargestArrangementsAreWellUnderTheCapAndReadBack)
{
    const char escaped = '\x01'; // written as \u0001
    MergeLayout texts, files;
    for (int n = 0; n < 8; ++n) {
        LayoutSource s;
        StoredText t;
        t.text = storedTextOnOk(std::string(kMaxEnteredText, escaped));
        t.font = LogFont { -16384, 16384, -3600, -3600, 1000, 255, 255, 255, 255, 255, 255, 255, 255,
            std::string(255, escaped) };
        s.text = t;
        s.posX = s.posY = -1000000;
        s.scaleX = s.scaleY = 1.0 / 3.0 + 1;
        s.rotation = -1.0 / 3.0;
        s.topLevel = 8;
        s.biasWeight = 100.0 / 3.0;
        texts.sources.push_back(s);
        // "/" and 254 escaped characters, over and over, down to a name ending in ".bmp".
        std::string name;
        while (name.size() < PATH_MAX - 1)
            name += "/" + std::string(254, escaped);
        name.resize(PATH_MAX - 1 - 4);
        name += ".bmp";
        s.text.reset();
        s.file = name;
        files.sources.push_back(s);
    }
    ASSERT_EQ(texts.sources[0].text->text.size(), kMaxStoredText);
    for (const MergeLayout* layout : { &texts, &files }) {
        const std::string path = folder.file("largest.tessary.json");
        std::string error;
        ASSERT_TRUE(writeMergeLayout(path, *layout, error)) << error;
        const auto size = std::filesystem::file_size(path);
        EXPECT_LT(size, kMaxLayoutBytes / 2);
        const auto read = readMergeLayout(path, error, SourceFiles::MayBeMissing);
        ASSERT_TRUE(read) << error;
        EXPECT_TRUE(*read == *layout);
    }
}

TEST_F(Arrangement, TextLineEndsAreStoredAsTheTextEntryDialogStoresTypedText)
{
    const struct {
        const char* inFile;
        const char* typed; // in the dialog's field
        int32_t lines;
        int32_t widest;
    } cases[] = {
        { "W\n", "W", 1, 1 },
        { "W", "W", 1, 1 },
        { "one\ntwo\n", "one\ntwo", 2, 3 },
        { "one\n\nthree", "one\n\nthree", 3, 5 },
        { "one\rtwo\r", "one\ntwo", 2, 3 },
        { "one\r\ntwo\r\n", "one\ntwo", 2, 3 }, // as the program writes it
        { "Tessary\r\nmixed\nends\r", "Tessary\nmixed\nends", 3, 7 },
    };
    const std::string path = folder.file("text.tessary.json");
    for (const auto& c : cases) {
        const std::string quoted = nlohmann::json(c.inFile).dump();
        SCOPED_TRACE(quoted);
        writeText(path, R"({"sources": [ {"text": {"text": )" + quoted + "}}]}");
        std::string error;
        const auto read = readMergeLayout(path, error);
        ASSERT_TRUE(read) << error;
        ASSERT_TRUE(read->sources[0].text);
        const std::string& text = read->sources[0].text->text;
        EXPECT_EQ(text, storedTextOnOk(c.typed));
        testing::FakePlatform platform;
        const std::optional<TextLayout> measured = measureTextLayout(text, LogFont {}, platform);
        ASSERT_TRUE(measured);
        EXPECT_EQ(measured->lines, c.lines);
        EXPECT_EQ(measured->widestLine, c.widest * platform.charWidth);
    }
}

// The fuzz target starts from these: a seed the reader refuses would teach it nothing.
TEST(ArrangementSeeds, EveryLayoutSeedOfTheFuzzTargetReads)
{
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TESSARY_FUZZ_CORPUS "/layout")) {
        SCOPED_TRACE(entry.path().filename().string());
        std::string error;
        EXPECT_TRUE(readMergeLayout(entry.path().string(), error, SourceFiles::MayBeMissing)) << error;
        ++seeds;
    }
    EXPECT_GT(seeds, 0);
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

// Sources of a layout written before the switches existed load as they always did; a version-2
// layout that leaves them out uses them.
TEST_F(Arrangement, TheVersionDecidesHowSourceFilesAreRead)
{
    const struct {
        const char* json;
        LoadOptions options;
    } cases[] = {
        { R"({"sources": [{"file": "below/a.bmp"}]})", LoadOptions::none() },
        { R"({"version": 1, "sources": [{"file": "below/a.bmp"}]})", LoadOptions::none() },
        { R"({"version": 1, "sources": [{"file": "below/a.bmp", "upright": true}]})", LoadOptions { false, true } },
        { R"({"version": 2, "sources": [{"file": "below/a.bmp"}]})", LoadOptions {} },
        { R"({"version": 2, "sources": [{"file": "below/a.bmp", "fileTransparency": false}]})",
            LoadOptions { false, true } },
    };
    for (const auto& c : cases) {
        const std::string path = folder.file("layout.json");
        writeText(path, c.json);
        std::string error;
        const auto read = readMergeLayout(path, error);
        ASSERT_TRUE(read) << c.json << ": " << error;
        EXPECT_EQ(read->sources[0].loadOptions, c.options) << c.json;
    }
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
