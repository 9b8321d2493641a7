// Opening an arrangement into the workspace through the real source-document steps (without
// windows): what is asked, what is refused, what loads and what is reported.
#include "app/arrangement.h"
#include "app/long_operation.h"
#include "app/open_arrangement.h"
#include "app/source_opening.h"
#include "app/workspace.h"
#include "image/bmp_writer.h"
#include "merge/merge_fixtures.h"
#include "merge/transform_source.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "sources/source_table.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tessary {
namespace {

using testing::ScratchFolder;

class OpenArrangement : public ::testing::Test {
protected:
    MergeWorkspace ws;
    testing::GTestPlatform platform;
    ScratchFolder folder;

    // The source-document layer's steps for each kind, without a window.
    SourceOpening opening {
        [this](const std::string& path) {
            VIrorozIzi* doc = constructFilledSource(
                ws, [&](VIrorozIzi& made) { return loadSourceFile(made, path, platform); });
            if (!doc)
                return false;
            showNewSource(ws, platform, doc->number());
            return true;
        },
        {},
        {},
        [this] {
            while (ws.sourceCount > 0)
                closeSource(ws, platform, ws.sourceCount);
        },
        [this](const StoredText& text) {
            VIrorozIzi* doc = constructFilledSource(
                ws, [&](VIrorozIzi& made) { return makeStoredTextSource(made, text, platform); });
            if (!doc)
                return false;
            showNewSource(ws, platform, doc->number());
            return true;
        },
    };

    int32_t progress = 0;

    void SetUp() override
    {
        ws.alignDoc.alignViewWidth = 640;
        ws.alignDoc.alignViewHeight = 480;
    }

    std::string bmp(const std::string& name, int32_t w, int32_t h)
    {
        MaskedDib image;
        EXPECT_FALSE(allocateMaskedDib(h, w, image, 24));
        for (int32_t r = 0; r < h; ++r)
            for (int32_t i = 0; i < 3 * w; ++i)
                image.dib->row(r)[i] = uint8_t(r * 7 + i * 13);
        const std::string path = folder.file(name);
        EXPECT_TRUE(writeBmpFile(*image.dib, path));
        return path;
    }
    std::string arrangement(const std::string& text)
    {
        const std::string path = folder.file("work.tessary.json");
        std::ofstream(path) << text;
        return path;
    }
};

TEST_F(OpenArrangement, ABadFileIsRefusedNamingTheFieldAndNothingChanges)
{
    ASSERT_TRUE(opening.openSourceFile(bmp("a.bmp", 20, 10)));
    ws.alignDoc.placement[0].posX = 5;
    for (const std::string& text : { std::string(R"({"sources": [ {"file": "a.bmp"})"),
             std::string(R"({"version": 3, "sources": [ {"file": "a.bmp"} ]})"),
             std::string(R"({"sources": [ {"file": "a.bmp", "rotation": 400} ]})") }) {
        SCOPED_TRACE(text);
        platform.queueAnswer(MessageAnswer::Ok); // the refusal; no question before it
        EXPECT_FALSE(openArrangement(ws, platform, opening, arrangement(text)));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
        platform.messages.clear();
        EXPECT_EQ(ws.sourceCount, 1);
        EXPECT_EQ(ws.alignDoc.placement[0].posX, 5);
    }
}

TEST_F(OpenArrangement, OpenSourcesAreClosedOnlyWhenTheUserAgrees)
{
    ASSERT_TRUE(opening.openSourceFile(bmp("a.bmp", 20, 10)));
    const std::string path = arrangement(R"({"sources": [ {"file": "b.bmp"}, {"file": "c.bmp"} ]})");
    bmp("b.bmp", 8, 8);
    bmp("c.bmp", 9, 9);
    platform.expectMessage(kCloseSourcesForArrangement, MessageAnswer::No);
    EXPECT_FALSE(openArrangement(ws, platform, opening, path));
    ASSERT_EQ(ws.sourceCount, 1);
    EXPECT_EQ(ws.documents[0]->title, "a.bmp");

    platform.expectMessage(kCloseSourcesForArrangement, MessageAnswer::Yes);
    EXPECT_TRUE(openArrangement(ws, platform, opening, path));
    ASSERT_EQ(ws.sourceCount, 2);
    EXPECT_EQ(ws.documents[0]->title, "b.bmp");
    EXPECT_EQ(ws.documents[1]->title, "c.bmp");
}

TEST_F(OpenArrangement, MissingFilesAreNamedAndTheOthersLoadWithTheirSettings)
{
    bmp("a.bmp", 40, 30);
    bmp("c.bmp", 20, 10);
    const std::string path = arrangement(R"({"sources": [
        {"file": "a.bmp", "posX": 10, "posY": 4, "rotation": 30, "topLevel": 1, "biasWeight": 20},
        {"file": "gone.bmp", "posX": 99},
        {"file": "c.bmp", "posX": 3, "posY": 0, "mirrored": true, "fadeEdge": true, "biasWeight": 80}
      ], "mergeType": "darkest", "marginX": 12, "targetBrightness": 140})");
    platform.expectMessage(std::string(kSourcesLeftOut) + "\n" + folder.file("gone.bmp") + " (not found)");
    ASSERT_TRUE(openArrangement(ws, platform, opening, path));
    ASSERT_EQ(ws.sourceCount, 2);
    EXPECT_EQ(ws.documents[1]->title, "c.bmp");
    // Positions are shifted so that the smallest is 0, as everywhere in the program.
    EXPECT_EQ(ws.alignDoc.placement[0].posX, 7);
    EXPECT_EQ(ws.alignDoc.placement[0].posY, 4);
    EXPECT_EQ(ws.alignDoc.placement[1].posX, 0);
    EXPECT_EQ(ws.alignDoc.placement[0].rotation, 30.0);
    EXPECT_EQ(ws.alignDoc.placement[0].topLevel, 1);
    EXPECT_EQ(ws.targetDoc.mirrored[1], 1);
    EXPECT_EQ(ws.fadeEdge[1], 1);
    EXPECT_EQ(ws.biasWeight[0], 20.0);
    EXPECT_EQ(ws.biasWeight[1], 80.0);
    EXPECT_EQ(ws.mergeType, 2);
    EXPECT_EQ(ws.targetDoc.marginX, 12);
    EXPECT_EQ(ws.targetDoc.targetBrightness, 140);
    // Both are transformed as placed.
    for (size_t slot : { size_t(0), size_t(1) }) {
        SCOPED_TRACE(slot);
        EXPECT_FALSE(ws.documents[slot]->changed);
        MaskedDib expected;
        LongOperation operation(platform);
        ASSERT_EQ(
            transformImage(ws.documents[slot]->image, ws.alignDoc.placement[slot].scaleX, ws.alignDoc.placement[slot].scaleY,
                ws.alignDoc.placement[slot].rotation, ws.targetDoc.mirrored[slot] != 0, operation, progress, expected),
            kTransformDone);
        EXPECT_TRUE(testing::sameImage(ws.targetDoc.transformed[slot], expected));
    }
    EXPECT_GT(ws.targetDoc.transformed[0].width(), 40);
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");
}

TEST_F(OpenArrangement, TextSourcesAreRenderedFromTheirStoredFields)
{
    bmp("a.bmp", 40, 30);
    const std::string path = arrangement(R"({"sources": [ {"file": "a.bmp"},
        {"text": {"text": "ab\r\ncd\r\n", "colour": "#FF0000", "backColour": "#000050",
                  "transparentBackground": true, "font": {"faceName": "DejaVu Sans", "weight": 700}},
         "rotation": 90} ]})");
    ASSERT_TRUE(openArrangement(ws, platform, opening, path));
    ASSERT_EQ(ws.sourceCount, 2);
    const VIrorozIzi& text = *ws.documents[1];
    EXPECT_EQ(text.sourceKind, kSourceText);
    EXPECT_EQ(text.title, "Text");
    EXPECT_EQ(text.textBuffer, "ab\r\ncd\r\n");
    EXPECT_EQ(text.textColour, makeColourRef(255, 0, 0));
    EXPECT_EQ(text.textBackColour, makeColourRef(0, 0, 80));
    EXPECT_EQ(text.textTransparentBack, 1);
    EXPECT_EQ(text.textFont.faceName, "DejaVu Sans");
    EXPECT_EQ(text.textFont.weight, 700);
    ASSERT_FALSE(text.image.empty());
    // Turned a quarter: the transformed text is as tall as the text image is wide.
    EXPECT_EQ(ws.targetDoc.transformed[1].height(), text.image.width());

    platform.fontFails = true; // a text that cannot be rendered is left out and named
    platform.queueAnswer(MessageAnswer::Yes); // close the open sources
    platform.queueAnswer(MessageAnswer::Ok); // the renderer's own message
    platform.expectMessage(
        std::string(kSourcesLeftOut) + "\n" + "the text \"ab\" (it could not be rendered)");
    ASSERT_TRUE(openArrangement(ws, platform, opening, path));
    EXPECT_EQ(ws.sourceCount, 1);
}

} // namespace
} // namespace tessary
