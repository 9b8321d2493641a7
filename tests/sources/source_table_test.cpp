#include "sources/source_table.h"

#include "align/mark_target_stale.h"
#include "align/rebuild_preview.h"
#include "app/workspace.h"
#include "merge/transform_geometry.h"
#include "sources/source_doc.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessary {
namespace {

using testing::GTestPlatform;

// A w x h 24-bit source whose every pixel has the blue value `tag`, so a transformed image can
// be told apart by its colour as well as its size.
MaskedDib taggedImage(int32_t w, int32_t h, uint8_t tag)
{
    MaskedDib image;
    EXPECT_FALSE(allocateMaskedDib(h, w, image, 24));
    for (int32_t r = 0; r < h; ++r)
        for (int32_t x = 0; x < w; ++x)
            image.dib->row(r)[3 * x] = tag;
    return image;
}

struct Workspace {
    GTestPlatform platform;
    MergeWorkspace ws;

    Workspace()
    {
        ws.alignDoc.alignViewWidth = 800;
        ws.alignDoc.alignViewHeight = 600;
    }

    // Adds a source with a w x h image and shows it as a new window does.
    VIrorozIzi& add(int32_t w, int32_t h, uint8_t tag)
    {
        VIrorozIzi* doc = constructSource(ws);
        EXPECT_NE(doc, nullptr);
        doc->image = taggedImage(w, h, tag);
        doc->imageWidth = w;
        doc->imageHeight = h;
        doc->title = "source " + std::to_string(tag);
        EXPECT_EQ(showNewSource(ws, platform, doc->number(), PixelPath::Rows), kTransformDone);
        return *doc;
    }
};

uint8_t tagOfTransformed(const MaskedDib& image)
{
    return image.dib->row(0)[0];
}

TEST(SourceTableTest, NewSourcesTakeTheNextPlaceUpToEight)
{
    MergeWorkspace ws;
    std::vector<VIrorozIzi*> docs;
    for (int i = 0; i < 8; ++i) {
        VIrorozIzi* doc = constructSource(ws);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->slotIndex, i);
        EXPECT_EQ(doc->number(), i + 1);
        EXPECT_EQ(ws.documents[size_t(i)].get(), doc);
        // The construction defaults.
        EXPECT_EQ(doc->imageWidth, 1);
        EXPECT_EQ(doc->imageHeight, 1);
        EXPECT_TRUE(doc->processedOk);
        EXPECT_FALSE(doc->changed);
        EXPECT_EQ(doc->textColour, 0xFFFFFFu);
        EXPECT_EQ(doc->textFont.faceName, "Times New Roman");
        EXPECT_EQ(doc->textFont.height, -54);
    }
    EXPECT_EQ(ws.sourceCount, 8);
    EXPECT_EQ(constructSource(ws), nullptr);
    EXPECT_EQ(ws.sourceCount, 8);
}

TEST(SourceTableTest, AnUnmadeSourceGivesItsPlaceBackAndNothingElse)
{
    Workspace w;
    w.add(20, 10, 1);
    w.add(30, 10, 2);
    w.ws.alignDoc.placement[0].topLevel = 2;
    w.ws.biasWeight[0] = 70.0;
    w.ws.targetDoc.title = kTargetWindowTitle;
    w.ws.targetDoc.generated = 1;

    VIrorozIzi* doc = constructSource(w.ws);
    ASSERT_NE(doc, nullptr);
    discardUnmadeSource(w.ws, 3);
    EXPECT_EQ(w.ws.sourceCount, 2);
    EXPECT_EQ(w.ws.documents[2], nullptr);
    EXPECT_EQ(w.ws.alignDoc.placement[0].topLevel, 2);
    EXPECT_EQ(w.ws.biasWeight[0], 70.0);
    EXPECT_EQ(w.ws.targetDoc.generated, 1);
    EXPECT_EQ(w.ws.targetDoc.title, kTargetWindowTitle);
    // Only the last source can be unmade.
    discardUnmadeSource(w.ws, 1);
    EXPECT_EQ(w.ws.sourceCount, 2);
}

TEST(SourceTableTest, ShowingNewSourcesSharesTheWeightsAndSelectsTheSource)
{
    Workspace w;
    w.ws.mergeType = kMergeDarkest;
    w.add(20, 10, 1);
    EXPECT_EQ(w.ws.biasWeight[0], 100.0);
    EXPECT_EQ(w.ws.alignView.selectedSource, 1);
    // One source: no preview, the target is not marked.
    EXPECT_EQ(w.ws.targetDoc.title, kTargetWindowTitle);
    EXPECT_EQ(w.ws.mergeType, kMergeAverage);

    w.ws.mergeType = kMergeBrightest;
    w.add(30, 10, 2);
    w.add(40, 10, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(w.ws.biasWeight[size_t(i)], 100.0 / 3);
    EXPECT_EQ(w.ws.biasWeight[3], 100.0);
    EXPECT_EQ(w.ws.mergeType, kMergeAverage);
    EXPECT_EQ(w.ws.alignView.selectedSource, 3);
    EXPECT_EQ(w.ws.targetDoc.title, kTargetStaleTitle);
    EXPECT_EQ(w.ws.alignDoc.previewValid, 1);
    EXPECT_EQ(w.ws.alignDoc.layoutWidth, 40);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tagOfTransformed(w.ws.targetDoc.transformed[size_t(i)]), i + 1);
}

TEST(SourceTableTest, ATransformationThatFailsLeavesTheSelectionAndReportsThePreview)
{
    Workspace w;
    w.add(20, 10, 1);
    w.add(20, 10, 2);
    VIrorozIzi* doc = constructSource(w.ws);
    ASSERT_NE(doc, nullptr); // no image: the transformation has nothing to work on
    w.platform.expectMessage(kPreviewImpossibleText);
    EXPECT_EQ(showNewSource(w.ws, w.platform, 3, PixelPath::Rows), kTransformNoSource);
    EXPECT_EQ(w.ws.alignView.selectedSource, 2);
    EXPECT_EQ(w.ws.alignDoc.previewValid, 0);
}

struct Recorded {
    std::vector<std::string> calls;
    SourceClosingHooks hooks()
    {
        SourceClosingHooks h;
        h.fewerThanTwoRemain = [this] { calls.push_back("fewer"); };
        h.moveWindows = [this](int closed, int count) {
            calls.push_back("move " + std::to_string(closed) + " " + std::to_string(count));
        };
        h.alignToFront = [this](bool layOut) { calls.push_back(layOut ? "front+layout" : "front"); };
        return h;
    }
};

TEST(SourceTableTest, ClosingSourceTwoOfFourMovesEveryLaterPlaceDown)
{
    Workspace w;
    // Places 1..4 with sizes 20, 30, 40, 50 wide and their own placements.
    VIrorozIzi* docs[4];
    for (int i = 0; i < 4; ++i)
        docs[i] = &w.add(20 + 10 * i, 10, uint8_t(i + 1));
    CAlignDoc& a = w.ws.alignDoc;
    CDestdoc& t = w.ws.targetDoc;
    const int32_t posX[4] = { 0, 100, 200, 300 };
    const int32_t posY[4] = { 5, 0, 7, 9 };
    for (size_t i = 0; i < 4; ++i) {
        a.placement[i].posX = posX[i];
        a.placement[i].posY = posY[i];
        a.placement[i].scaleX = 1024.0 + double(i);
        a.placement[i].scaleY = 2048.0 + double(i);
        a.placement[i].rotation = 10.0 * double(i);
        t.mirrored[i] = int32_t(i % 2);
        a.placement[i].topLevel = int32_t(i + 1);
        a.placement[i].bottomLevel = int32_t(i + 2);
        w.ws.fadeEdge[i] = int32_t(i == 1 || i == 3);
        w.ws.biasWeight[i] = 10.0 * double(i);
    }
    t.targetImage = PackedDib::allocate(64);
    t.generated = 1;
    docs[1]->changed = true;

    Recorded rec;
    closeSource(w.ws, w.platform, 2, rec.hooks(), PixelPath::Rows);

    EXPECT_EQ(rec.calls, (std::vector<std::string> { "move 1 3", "front+layout" }));
    EXPECT_EQ(w.ws.sourceCount, 3);
    // Former sources 3 and 4 are 2 and 3.
    EXPECT_EQ(w.ws.documents[0].get(), docs[0]);
    EXPECT_EQ(w.ws.documents[1].get(), docs[2]);
    EXPECT_EQ(w.ws.documents[2].get(), docs[3]);
    EXPECT_EQ(w.ws.documents[3], nullptr);
    EXPECT_EQ(docs[2]->slotIndex, 1);
    EXPECT_EQ(docs[3]->slotIndex, 2);
    // Positions move and are normalised: the smallest posY left is 5 (place 1).
    EXPECT_EQ(a.placement[0].posX, 0);
    EXPECT_EQ(a.placement[1].posX, 200);
    EXPECT_EQ(a.placement[2].posX, 300);
    EXPECT_EQ(a.placement[0].posY, 0);
    EXPECT_EQ(a.placement[1].posY, 2);
    EXPECT_EQ(a.placement[2].posY, 4);
    const size_t from[3] = { 0, 2, 3 };
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(a.placement[i].scaleX, 1024.0 + double(from[i]));
        EXPECT_EQ(a.placement[i].scaleY, 2048.0 + double(from[i]));
        EXPECT_EQ(a.placement[i].rotation, 10.0 * double(from[i]));
        EXPECT_EQ(t.mirrored[i], int32_t(from[i] % 2));
        EXPECT_EQ(tagOfTransformed(t.transformed[i]), from[i] + 1);
        // Everyone back in the middle layer with equal weights.
        EXPECT_EQ(a.placement[i].topLevel, -1);
        EXPECT_EQ(a.placement[i].bottomLevel, -1);
        EXPECT_EQ(w.ws.biasWeight[i], 100.0 / 3);
    }
    // The freed place has the construction values.
    EXPECT_EQ(a.placement[3].posX, 0);
    EXPECT_EQ(a.placement[3].posY, 0);
    EXPECT_EQ(a.placement[3].scaleX, 1024.0);
    EXPECT_EQ(a.placement[3].scaleY, 1024.0);
    EXPECT_EQ(a.placement[3].rotation, 0.0);
    EXPECT_EQ(t.mirrored[3], 0);
    EXPECT_TRUE(t.transformed[3].empty());
    EXPECT_EQ(a.placement[3].topLevel, -1);
    EXPECT_EQ(a.placement[3].bottomLevel, -1);
    // Fade-edge flags stay with their place numbers.
    EXPECT_EQ(w.ws.fadeEdge[0], 0);
    EXPECT_EQ(w.ws.fadeEdge[1], 1);
    EXPECT_EQ(w.ws.fadeEdge[2], 0);
    EXPECT_EQ(w.ws.fadeEdge[3], 1);
    // The target is gone and needs updating; the preview is rebuilt from the three left.
    EXPECT_EQ(t.targetImage, nullptr);
    EXPECT_EQ(t.generated, 0);
    EXPECT_EQ(t.title, kTargetStaleTitle);
    EXPECT_EQ(a.previewValid, 1);
    EXPECT_EQ(a.layoutWidth, 300 + 50);
}

TEST(SourceTableTest, ClosingSoThatOneRemainsEmptiesTheTarget)
{
    Workspace w;
    w.add(20, 10, 1);
    w.add(30, 10, 2);
    w.ws.alignDoc.placement[0].posX = 40;
    w.ws.targetDoc.targetImage = PackedDib::allocate(64);
    w.ws.targetDoc.generated = 1;
    w.ws.targetDoc.zoneSelected = 1;
    w.ws.targetView.zoneCorner = ViewPoint { 10, 10 };

    Recorded rec;
    closeSource(w.ws, w.platform, 2, rec.hooks(), PixelPath::Rows);
    // The windows move down before anything (closing the Rotate dialog included) can activate one.
    EXPECT_EQ(rec.calls, (std::vector<std::string> { "move 1 1", "fewer", "front" }));
    EXPECT_EQ(w.ws.sourceCount, 1);
    EXPECT_EQ(w.ws.targetDoc.title, kTargetWindowTitle);
    EXPECT_EQ(w.ws.targetDoc.targetImage, nullptr);
    EXPECT_EQ(w.ws.targetDoc.zoneSelected, 0);
    // With one source left there is no preview to work on, whatever any window paints.
    EXPECT_EQ(w.ws.alignDoc.previewValid, 0);
    EXPECT_EQ(w.ws.targetView.zoneCorner, ViewPoint {});
    EXPECT_EQ(w.ws.alignDoc.placement[0].posX, 0); // normalised
    EXPECT_EQ(w.ws.biasWeight[0], 100.0);
    EXPECT_TRUE(w.ws.targetDoc.transformed[1].empty());

    closeSource(w.ws, w.platform, 1, {}, PixelPath::Rows);
    EXPECT_EQ(w.ws.sourceCount, 0);
    EXPECT_EQ(w.ws.documents[0], nullptr);
    // Nothing left to close.
    closeSource(w.ws, w.platform, 1, {}, PixelPath::Rows);
    EXPECT_EQ(w.ws.sourceCount, 0);
}

TEST(SourceTableTest, ClosingTheLastSourceMovesNothing)
{
    Workspace w;
    w.add(20, 10, 1);
    w.add(30, 10, 2);
    w.add(40, 10, 3);
    w.ws.alignDoc.placement[1].posX = 7;
    closeSource(w.ws, w.platform, 3, {}, PixelPath::Rows);
    EXPECT_EQ(w.ws.sourceCount, 2);
    EXPECT_EQ(w.ws.alignDoc.placement[1].posX, 7);
    EXPECT_EQ(tagOfTransformed(w.ws.targetDoc.transformed[1]), 2);
    EXPECT_EQ(w.ws.biasWeight[0], 50.0);
    EXPECT_EQ(w.ws.biasWeight[1], 50.0);
    EXPECT_EQ(w.ws.targetDoc.title, kTargetStaleTitle);
}

TEST(SourceTableTest, TitlesAreFileNames)
{
    EXPECT_EQ(sourceTitleForPath("/photos/one.jpg"), "one.jpg");
    EXPECT_EQ(sourceTitleForPath("two.bmp"), "two.bmp");
}

} // namespace
} // namespace tessary
