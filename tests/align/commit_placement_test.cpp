#include "align/commit_placement.h"
#include "app/workspace.h"
#include "merge/merge_fixtures.h"
#include "merge/transform_source.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::solidImage24;

class CommitPlacement : public ::testing::Test {
protected:
    MergeWorkspace ws;
    GTestPlatform platform;

    void SetUp() override
    {
        // Two 100 x 80 sources at (0, 0) and (100, 0), transformed, seen at scale 4.1.
        for (int j = 0; j < 2; ++j) {
            auto doc = std::make_unique<VIrorozIzi>();
            doc->slotIndex = j;
            doc->imageWidth = 100;
            doc->imageHeight = 80;
            doc->image = solidImage24(100, 80, BgrColour { 10, 20, 30 });
            ws.documents[size_t(j)] = std::move(doc);
            ++ws.sourceCount;
            ASSERT_EQ(transformSource(ws, platform, j + 1), kTransformDone);
        }
        ws.alignDoc.placement[1].posX = 100;
        // The edit path rebuilds the preview for a view of this size.
        ws.alignDoc.alignViewWidth = 800;
        ws.alignDoc.alignViewHeight = 600;
        ws.alignDoc.viewScale = 4.1f;
        ws.targetDoc.title = "Target Window";
        ws.targetDoc.generated = 1;
    }
};

TEST_F(CommitPlacement, MoveScalesTheDisplacementAndNeverTransforms)
{
    const PackedDib* before = ws.targetDoc.transformed[1].dib.get();
    // In single precision 10 x 4.1 rounds to 41 and -5 x 4.1 to -20.5, truncated to -20.
    EXPECT_EQ(commitPlacement(ws, platform, 10, -5, 2, 1024, 1024), 0);
    EXPECT_EQ(ws.alignDoc.placement[1].posX, 141);
    // Source 2 went below source 1, so positions are normalised: source 1 rises by 20.
    EXPECT_EQ(ws.alignDoc.placement[1].posY, 0);
    EXPECT_EQ(ws.alignDoc.placement[0].posY, 20);
    EXPECT_EQ(ws.alignDoc.placement[1].scaleX, 1024.0);
    EXPECT_EQ(ws.alignDoc.placement[1].scaleY, 1024.0);
    EXPECT_EQ(ws.targetDoc.transformed[1].dib.get(), before);
    EXPECT_EQ(ws.targetDoc.generated, 0);
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");
}

TEST_F(CommitPlacement, ResizeMultipliesTheScalesAndTransformsAgain)
{
    EXPECT_EQ(commitPlacement(ws, platform, 0, 0, 1, 1280, 1024), 0);
    EXPECT_EQ(ws.alignDoc.placement[0].scaleX, 1280.0);
    EXPECT_EQ(ws.alignDoc.placement[0].scaleY, 1024.0);
    EXPECT_EQ(ws.targetDoc.transformed[0].width(), 125);
    EXPECT_EQ(ws.targetDoc.transformed[0].height(), 80);
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");

    // Whole 1/1024 units, and never below 1.
    ws.alignDoc.placement[0].scaleX = 3000.0;
    EXPECT_EQ(commitPlacement(ws, platform, 0, 0, 1, 1000, 0), 0);
    EXPECT_EQ(ws.alignDoc.placement[0].scaleX, 2929.0); // 2929.6875
    EXPECT_EQ(ws.alignDoc.placement[0].scaleY, 1.0);
}

TEST_F(CommitPlacement, FailedTransformationPutsEveryPlacementBack)
{
    ws.alignDoc.placement[0].posY = 0;
    ws.alignDoc.placement[1].posY = 7;
    platform.escapeDownPolls = 1;
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_EQ(commitPlacement(ws, platform, -50, -30, 2, 2048, 2048), kTransformAborted);
    EXPECT_EQ(ws.alignDoc.placement[0].posX, 0);
    EXPECT_EQ(ws.alignDoc.placement[1].posX, 100);
    EXPECT_EQ(ws.alignDoc.placement[0].posY, 0);
    EXPECT_EQ(ws.alignDoc.placement[1].posY, 7);
    EXPECT_EQ(ws.alignDoc.placement[1].scaleX, 1024.0);
    EXPECT_EQ(ws.alignDoc.placement[1].scaleY, 1024.0);
    EXPECT_EQ(ws.targetDoc.title, "Target Window"); // not marked: nothing changed
}

} // namespace
} // namespace tessary
