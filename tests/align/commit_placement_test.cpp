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
        ws.alignDoc.posX[1] = 100;
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
    EXPECT_EQ(ws.alignDoc.posX[1], 141);
    // Source 2 went below source 1, so positions are normalised: source 1 rises by 20.
    EXPECT_EQ(ws.alignDoc.posY[1], 0);
    EXPECT_EQ(ws.alignDoc.posY[0], 20);
    EXPECT_EQ(ws.alignDoc.scaleX[1], 1024.0);
    EXPECT_EQ(ws.alignDoc.scaleY[1], 1024.0);
    EXPECT_EQ(ws.targetDoc.transformed[1].dib.get(), before);
    EXPECT_EQ(ws.targetDoc.generated, 0);
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");
}

TEST_F(CommitPlacement, ResizeMultipliesTheScalesAndTransformsAgain)
{
    EXPECT_EQ(commitPlacement(ws, platform, 0, 0, 1, 1280, 1024), 0);
    EXPECT_EQ(ws.alignDoc.scaleX[0], 1280.0);
    EXPECT_EQ(ws.alignDoc.scaleY[0], 1024.0);
    EXPECT_EQ(ws.targetDoc.transformed[0].width(), 125);
    EXPECT_EQ(ws.targetDoc.transformed[0].height(), 80);
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");

    // Whole 1/1024 units, and never below 1.
    ws.alignDoc.scaleX[0] = 3000.0;
    EXPECT_EQ(commitPlacement(ws, platform, 0, 0, 1, 1000, 0), 0);
    EXPECT_EQ(ws.alignDoc.scaleX[0], 2929.0); // 2929.6875
    EXPECT_EQ(ws.alignDoc.scaleY[0], 1.0);
}

TEST_F(CommitPlacement, FailedTransformationPutsEveryPlacementBack)
{
    ws.alignDoc.posY[0] = 0;
    ws.alignDoc.posY[1] = 7;
    platform.escapeDownPolls = 1;
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_EQ(commitPlacement(ws, platform, -50, -30, 2, 2048, 2048), kTransformAborted);
    EXPECT_EQ(ws.alignDoc.posX[0], 0);
    EXPECT_EQ(ws.alignDoc.posX[1], 100);
    EXPECT_EQ(ws.alignDoc.posY[0], 0);
    EXPECT_EQ(ws.alignDoc.posY[1], 7);
    EXPECT_EQ(ws.alignDoc.scaleX[1], 1024.0);
    EXPECT_EQ(ws.alignDoc.scaleY[1], 1024.0);
    EXPECT_EQ(ws.targetDoc.title, "Target Window"); // not marked: nothing changed
}

} // namespace
} // namespace tessary
