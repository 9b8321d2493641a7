#include "app/settings.h"
#include "app/workspace.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(Workspace, StartupValuesOfEveryPlace)
{
    MergeWorkspace ws;
    EXPECT_EQ(ws.sourceCount, 0);
    for (size_t i = 0; i < size_t(kMaxSources); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ws.documents[i], nullptr);
        EXPECT_EQ(ws.alignDoc.placement[i].posX, 0);
        EXPECT_EQ(ws.alignDoc.placement[i].posY, 0);
        EXPECT_EQ(ws.alignDoc.placement[i].scaleX, 1024.0);
        EXPECT_EQ(ws.alignDoc.placement[i].scaleY, 1024.0);
        EXPECT_EQ(ws.alignDoc.placement[i].rotation, 0.0);
        EXPECT_FALSE(ws.alignDoc.outline[i].has_value());
        EXPECT_EQ(ws.alignDoc.placement[i].topLevel, -1);
        EXPECT_EQ(ws.alignDoc.placement[i].bottomLevel, -1);
        EXPECT_EQ(ws.targetDoc.mirrored[i], 0);
        EXPECT_TRUE(ws.targetDoc.transformed[i].empty());
        EXPECT_EQ(ws.biasWeight[i], 100.0);
        EXPECT_EQ(ws.fadeEdge[i], 0);
    }
}

TEST(Workspace, StartupProgramWideValues)
{
    MergeWorkspace ws;
    EXPECT_EQ(ws.mergeType, kMergeAverage);
    EXPECT_EQ(ws.blendSettingsChanged, 0);
    EXPECT_EQ(ws.middleSourceCount, 0);
    EXPECT_EQ(ws.activeSourceNumber, -1);
    EXPECT_EQ(ws.alignViewActive, 0);
    EXPECT_EQ(ws.tipCounter, 0);
    EXPECT_EQ(ws.hideLoadButtons, 0);
    EXPECT_EQ(ws.alignView.selectedSource, 1);
    EXPECT_EQ(ws.targetView.snapGrid, 1);
    EXPECT_EQ(ws.app.pendingSourceKind, 0);
    EXPECT_TRUE(ws.handoffImage.empty());
    EXPECT_TRUE(ws.batchTargetDirectory.empty());
    EXPECT_EQ(ws.directoryCreated, 0);

    const CDestdoc& t = ws.targetDoc;
    EXPECT_EQ(t.backgroundColour, 0u);
    EXPECT_EQ(t.marginColour, 0u);
    EXPECT_EQ(t.marginX, 0);
    EXPECT_EQ(t.marginY, 0);
    EXPECT_EQ(t.targetContrast, 16);
    EXPECT_EQ(t.targetBrightness, 128);
    EXPECT_EQ(t.thresholdFuzziness, 4);
    EXPECT_EQ(t.viewPercentX, 100);
    EXPECT_EQ(t.viewPercentY, 100);
    EXPECT_EQ(t.viewWidth, 1);
    EXPECT_EQ(t.viewHeight, 1);
    EXPECT_EQ(t.generated, 0);
    EXPECT_EQ(t.zoneSelected, 0);
    EXPECT_EQ(t.bitsPerPixel, 24);
    EXPECT_EQ(t.targetImage, nullptr);
}

TEST(Workspace, FreshSettingsGiveUnitStepsAndFlyingTipsOn)
{
    testing::GTestPlatform platform;
    MergeWorkspace ws;
    ws.readStartupSettings(platform);
    EXPECT_EQ(ws.alignView.nudgeX, 1);
    EXPECT_EQ(ws.alignView.nudgeY, 1);
    EXPECT_EQ(ws.alignView.snapMove, 1);
    EXPECT_EQ(ws.app.flyingTipsEnabled, 1);
}

TEST(Workspace, FlyingTipsAreStoredInvertedAndSurviveARestart)
{
    testing::GTestPlatform platform;
    platform.intSettings["Configure/Nudge Factor X"] = 5;
    platform.intSettings["Configure/Snap move"] = 10;
    MergeWorkspace first;
    first.readStartupSettings(platform);
    EXPECT_EQ(first.alignView.nudgeX, 5);
    EXPECT_EQ(first.alignView.snapMove, 10);

    first.app.flyingTipsEnabled = 0;
    first.writeExitSettings(platform);
    EXPECT_EQ(platform.intSettings["Configure/flying tips"], 1);

    MergeWorkspace second;
    second.readStartupSettings(platform);
    EXPECT_EQ(second.app.flyingTipsEnabled, 0);
    second.app.flyingTipsEnabled = 1;
    second.writeExitSettings(platform);
    EXPECT_EQ(platform.intSettings["Configure/flying tips"], 0);
}

TEST(Workspace, EqualBiasWeightsForThreeSources)
{
    MergeWorkspace ws;
    ws.sourceCount = 3;
    ws.equalBiasWeights();
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(ws.biasWeight[i], 100.0 / 3);
    EXPECT_EQ(ws.biasWeight[3], 100.0);
}

TEST(Workspace, CompactingPlacesMovesLaterSourcesDownAndResetsTheLastPlace)
{
    MergeWorkspace ws;
    for (int i = 0; i < 3; ++i) {
        ws.alignDoc.placement[size_t(i)].posX = 10 * (i + 1);
        ws.alignDoc.placement[size_t(i)].posY = 20 * (i + 1);
        ws.alignDoc.placement[size_t(i)].scaleX = 512.0 * (i + 1);
        ws.alignDoc.placement[size_t(i)].scaleY = 256.0 * (i + 1);
        ws.alignDoc.placement[size_t(i)].rotation = 15.0 * (i + 1);
        ws.targetDoc.mirrored[size_t(i)] = i % 2;
        ASSERT_FALSE(allocateMaskedDib(1, i + 1, ws.targetDoc.transformed[size_t(i)], 24));
    }
    // Close source 1 of 3.
    ws.alignDoc.compactPlacements(0, 2);
    ws.targetDoc.compactPlaces(0, 2);

    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(ws.alignDoc.placement[i].posX, 10 * int(i + 2));
        EXPECT_EQ(ws.alignDoc.placement[i].posY, 20 * int(i + 2));
        EXPECT_EQ(ws.alignDoc.placement[i].scaleX, 512.0 * double(i + 2));
        EXPECT_EQ(ws.alignDoc.placement[i].scaleY, 256.0 * double(i + 2));
        EXPECT_EQ(ws.alignDoc.placement[i].rotation, 15.0 * double(i + 2));
        EXPECT_EQ(ws.targetDoc.mirrored[i], int(i + 1) % 2);
        EXPECT_EQ(ws.targetDoc.transformed[i].width(), int(i + 2));
    }
    EXPECT_EQ(ws.alignDoc.placement[2].posX, 0);
    EXPECT_EQ(ws.alignDoc.placement[2].posY, 0);
    EXPECT_EQ(ws.alignDoc.placement[2].scaleX, 1024.0);
    EXPECT_EQ(ws.alignDoc.placement[2].scaleY, 1024.0);
    EXPECT_EQ(ws.alignDoc.placement[2].rotation, 0.0);
    EXPECT_EQ(ws.targetDoc.mirrored[2], 0);
    EXPECT_TRUE(ws.targetDoc.transformed[2].empty());
}

} // namespace
} // namespace tessary
