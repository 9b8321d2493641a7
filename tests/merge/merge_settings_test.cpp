#include "merge/bias_pie.h"
#include "merge/merge_layers.h"
#include "merge/merge_settings.h"

#include "app/edit_path.h"
#include "app/workspace.h"
#include "align/mark_target_stale.h"
#include "merge/target_commands.h"
#include "merge_fixtures.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;

// n loaded sources, each with a small transformed image, all in the middle layer.
struct Sources {
    MergeWorkspace ws;
    explicit Sources(int32_t n)
    {
        for (int32_t i = 0; i < n; ++i) {
            ws.documents[size_t(i)] = std::make_unique<VIrorozIzi>();
            ws.documents[size_t(i)]->slotIndex = i;
            ws.targetDoc.transformed[size_t(i)]
                = testing::solidImage24(4, 3, BgrColour { uint8_t(50 * i), 0, 0 });
            ws.alignDoc.placement[size_t(i)].topLevel = -1;
            ws.alignDoc.placement[size_t(i)].bottomLevel = -1;
        }
        ws.sourceCount = n;
        ws.equalBiasWeights();
        // Every change rebuilds the Align preview, which needs the view's size.
        ws.alignDoc.alignViewWidth = 800;
        ws.alignDoc.alignViewHeight = 600;
    }
    int32_t& top(size_t slot) { return ws.alignDoc.placement[slot].topLevel; }
    int32_t& bottom(size_t slot) { return ws.alignDoc.placement[slot].bottomLevel; }
    void weights(std::initializer_list<double> w)
    {
        size_t i = 0;
        for (double v : w)
            ws.biasWeight[i++] = v;
    }
};

// ---- layers

TEST(MergeLayers, MovesWithinAndBetweenTheGroups)
{
    Sources s(4);
    // Source 2 of the middle layer moves up: it enters the top group just above the middle.
    moveSourceUp(s.ws.alignDoc, 4, 1);
    EXPECT_EQ(s.top(1), 1);
    // Source 3 up too: it takes level 1 and source 2 goes one up, to 2.
    moveSourceUp(s.ws.alignDoc, 4, 2);
    EXPECT_EQ(s.top(1), 2);
    EXPECT_EQ(s.top(2), 1);
    // Up on level 1 exchanges with level 2; up on the front one changes nothing.
    moveSourceUp(s.ws.alignDoc, 4, 2);
    EXPECT_EQ(s.top(2), 2);
    EXPECT_EQ(s.top(1), 1);
    moveSourceUp(s.ws.alignDoc, 4, 2);
    EXPECT_EQ(s.top(2), 2);
    // Down on level 1 (source 2) sends it back to the middle; source 3 keeps level 2.
    moveSourceDown(s.ws.alignDoc, 4, 1);
    EXPECT_TRUE(isMiddleSource(s.ws.alignDoc, 1));
    EXPECT_EQ(s.top(2), 2);
    // Down on level 2 with nothing at level 1 (a gap): it leaves the group as at its end.
    moveSourceDown(s.ws.alignDoc, 4, 2);
    EXPECT_TRUE(isMiddleSource(s.ws.alignDoc, 2));

    // Into the bottom group: each new one goes below the middle layer, above the others.
    moveSourceDown(s.ws.alignDoc, 4, 0);
    EXPECT_EQ(s.bottom(0), 1);
    moveSourceDown(s.ws.alignDoc, 4, 3);
    EXPECT_EQ(s.bottom(3), 2);
    // Down at the back of the bottom group changes nothing; up at its front leaves it.
    moveSourceDown(s.ws.alignDoc, 4, 0);
    EXPECT_EQ(s.bottom(0), 1);
    moveSourceUp(s.ws.alignDoc, 4, 3);
    EXPECT_TRUE(isMiddleSource(s.ws.alignDoc, 3));
    blendAllToMiddle(s.ws.alignDoc, 4);
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_TRUE(isMiddleSource(s.ws.alignDoc, i));
}

TEST(MergeLayers, ButtonPlacesFrontFirstInEachGroup)
{
    Sources s(5);
    s.top(3) = 2;
    s.top(0) = 1;
    s.bottom(4) = 1;
    s.bottom(1) = 2;
    const auto places = layerButtonPlaces(s.ws.alignDoc, 5, ViewPoint { 100, 300 });
    EXPECT_EQ(places[3], (ViewPoint { 230, 80 }));
    EXPECT_EQ(places[0], (ViewPoint { 230, 100 }));
    EXPECT_EQ(places[2], (ViewPoint { 100, 300 }));
    EXPECT_EQ(places[1], (ViewPoint { 230, 355 }));
    EXPECT_EQ(places[4], (ViewPoint { 230, 375 }));
    EXPECT_FALSE(places[5].has_value());
}

// Levels only grow when sources pass through the top group again and again; the layout still
// places every button, next to the others.
TEST(MergeLayers, LevelsThatGrewPastTheLayoutStillHaveTheirPlace)
{
    Sources s(2);
    moveSourceUp(s.ws.alignDoc, 2, 0);
    for (int n = 0; n < 300; ++n) {
        moveSourceUp(s.ws.alignDoc, 2, 1);
        moveSourceDown(s.ws.alignDoc, 2, 1);
    }
    EXPECT_GT(s.top(0), 255);
    const auto places = layerButtonPlaces(s.ws.alignDoc, 2, ViewPoint { 0, 300 });
    EXPECT_EQ(places[0], (ViewPoint { 130, 80 }));
    EXPECT_EQ(places[1], (ViewPoint { 0, 300 }));
}

// ---- the pie

TEST(BiasPie, WedgeEndPointsTruncatedTowardZero)
{
    Sources s(3);
    const auto wedges = pieWedges(s.ws, 50, 40);
    ASSERT_EQ(wedges.size(), 3u);
    EXPECT_EQ(wedges[0].from, (ViewPoint { 0, -1 }));
    EXPECT_EQ(wedges[0].to, (ViewPoint { 43, 19 }));
    EXPECT_EQ(wedges[1].to, (ViewPoint { -43, 20 }));
    EXPECT_EQ(wedges[2].to, (ViewPoint { 0, -40 }));
    EXPECT_FALSE(wedges[2].fullTurn);

    s.weights({ 33, 33, 33 });
    EXPECT_EQ(pieWedges(s.ws, 50, 40).back().to, (ViewPoint { -3, -39 }));
}

TEST(BiasPie, OneMiddleSourceAtAHundredIsTheWholeEllipse)
{
    Sources s(3);
    s.top(0) = 1;
    s.bottom(2) = 1;
    resetPie(s.ws);
    EXPECT_EQ(s.ws.middleSourceCount, 1);
    EXPECT_EQ(s.ws.biasWeight[0], 0.0);
    EXPECT_EQ(s.ws.biasWeight[1], 100.0);
    const auto wedges = pieWedges(s.ws, 50, 40);
    ASSERT_EQ(wedges.size(), 1u);
    EXPECT_EQ(wedges[0].slot, 1);
    EXPECT_TRUE(wedges[0].fullTurn);
    // A wedge of weight 0 draws nothing, the first one included (its end point lies on the
    // radial the pie starts from).
    s.weights({ 0, 0, 100 });
    blendAllToMiddle(s.ws.alignDoc, 3);
    ASSERT_EQ(pieWedges(s.ws, 50, 40).size(), 1u);
    EXPECT_EQ(pieWedges(s.ws, 50, 40)[0].slot, 2);
}

TEST(BiasPie, PointerPercentClockwiseFromTwelve)
{
    // The turn is 6.283185307, a little short of 2 pi.
    EXPECT_NEAR(piePercent(10, 0), 25.0, 1e-8);
    EXPECT_NEAR(piePercent(0, 10), 50.0, 1e-8);
    EXPECT_NEAR(piePercent(-10, 0), 75.0, 1e-8);
    EXPECT_EQ(piePercent(0, -10), 0.0);
}

TEST(BiasPie, DraggingABoundaryMovesTheWeightToTheNeighbour)
{
    {
        Sources s(2);
        s.weights({ 50, 50 });
        const auto hold = holdWedge(s.ws, 30);
        ASSERT_TRUE(hold);
        dragWedge(s.ws, *hold, 30);
        EXPECT_DOUBLE_EQ(s.ws.biasWeight[0], 30);
        EXPECT_DOUBLE_EQ(s.ws.biasWeight[1], 70);
    }
    {
        Sources s(3);
        const auto hold = holdWedge(s.ws, 20);
        ASSERT_TRUE(hold);
        EXPECT_EQ(hold->slot, 0);
        dragWedge(s.ws, *hold, 20);
        EXPECT_NEAR(s.ws.biasWeight[0], 20, 1e-9);
        EXPECT_NEAR(s.ws.biasWeight[1], 46.6667, 1e-4);
        EXPECT_NEAR(s.ws.biasWeight[2], 33.3333, 1e-4);
        // Past the end of the second wedge: it drops to 0 and the first takes the rest.
        dragWedge(s.ws, *hold, 80);
        EXPECT_NEAR(s.ws.biasWeight[0], 66.6667, 1e-4);
        EXPECT_EQ(s.ws.biasWeight[1], 0.0);
        EXPECT_NEAR(s.ws.biasWeight[2], 33.3333, 1e-4);
    }
}

TEST(BiasPie, TheLastMiddleWedgeAndTheRestAreNotHeld)
{
    Sources s(3);
    EXPECT_FALSE(holdWedge(s.ws, 90)); // the last loaded source
    // The second is the last of the middle layer: no neighbour to take up its change.
    s.top(2) = 1;
    resetPie(s.ws);
    EXPECT_FALSE(holdWedge(s.ws, 70));
    // Weights adding up to less than 100: the rest is no wedge.
    s.weights({ 20, 20, 0 });
    EXPECT_FALSE(wedgeAt(s.ws, 60));
    EXPECT_EQ(wedgeAt(s.ws, 30), 1);
}

TEST(BiasPie, StatisticsLine)
{
    EXPECT_EQ(pieStatsLine(2, 100.0 / 3), "Source: 2 >> 33.3%");
    EXPECT_EQ(pieStatsLine(1, 100.0), "Source: 1 >> 100.0%");
}

// ---- the dialog's state

TEST(MergeSettings, UpdateTakesTheDialogValuesAndGenerates)
{
    Sources s(3);
    GTestPlatform platform;
    s.ws.targetDoc.generated = 1;
    MergeSettings settings(s.ws, platform);
    EXPECT_FALSE(settings.updateEnabled());
    settings.setMergeType(kMergeBrightest);
    settings.setFadeEdge(1, true);
    settings.stepFuzziness(+3);
    EXPECT_TRUE(settings.updateEnabled());
    // Nothing is taken over before the update.
    EXPECT_EQ(s.ws.mergeType, kMergeAverage);
    EXPECT_EQ(s.ws.fadeEdge[1], 0);
    settings.ok();
    EXPECT_EQ(s.ws.mergeType, kMergeBrightest);
    EXPECT_EQ(s.ws.fadeEdge[1], 1);
    EXPECT_EQ(s.ws.targetDoc.thresholdFuzziness, 7);
    EXPECT_EQ(s.ws.targetDoc.generated, 1);
    EXPECT_NE(s.ws.targetDoc.targetImage, nullptr);
    EXPECT_FALSE(settings.updateEnabled());
    EXPECT_EQ(s.ws.blendSettingsChanged, 0);
}

TEST(MergeSettings, FuzzinessStaysWithinItsRange)
{
    Sources s(2);
    GTestPlatform platform;
    s.ws.targetDoc.thresholdFuzziness = 0;
    MergeSettings settings(s.ws, platform);
    EXPECT_EQ(settings.fuzziness(), 1);
    settings.stepFuzziness(-1);
    EXPECT_EQ(settings.fuzziness(), 1);
    settings.stepFuzziness(500);
    EXPECT_EQ(settings.fuzziness(), 100);
}

TEST(MergeSettings, EscKeepsLayerChangesAndMarksTheTargetStale)
{
    Sources s(3);
    GTestPlatform platform;
    s.ws.targetDoc.generated = 1;
    {
        MergeSettings settings(s.ws, platform);
        settings.setMergeType(kMergeDarkest);
        settings.escape();
        EXPECT_EQ(s.ws.mergeType, kMergeAverage);
        EXPECT_EQ(s.ws.targetDoc.generated, 1); // nothing the target was made from changed
    }
    {
        MergeSettings settings(s.ws, platform);
        settings.pressSourceButton(1);
        EXPECT_EQ(s.ws.alignDoc.placement[1].topLevel, 1);
        EXPECT_EQ(s.ws.biasWeight[1], 0.0);
        EXPECT_EQ(s.ws.biasWeight[0], 50.0);
        settings.escape();
        EXPECT_EQ(s.ws.alignDoc.placement[1].topLevel, 1);
        EXPECT_EQ(s.ws.targetDoc.generated, 0);
        EXPECT_EQ(s.ws.targetDoc.title, "Target Window - needs updating");
    }
}

TEST(MergeSettings, EveryPressOnThePieCountsAsAChange)
{
    Sources s(3);
    GTestPlatform platform;
    s.ws.targetDoc.generated = 1;
    MergeSettings settings(s.ws, platform);
    EXPECT_FALSE(settings.pressPie(95)); // the last wedge: held by nobody
    EXPECT_TRUE(settings.updateEnabled());
    EXPECT_EQ(s.ws.blendSettingsChanged, 1);
}

// ---- the dialog's step

// However the dialog closes, what it changed in the workspace is one "Merge Sources" step that
// undoes to the values from before the dialog opened and redoes to those after it closed.
TEST(MergeSettings, EveryWayOfClosingMakesOneStep)
{
    enum Close { Ok, Esc, UpdateThenEsc };
    for (Close close : { Ok, Esc, UpdateThenEsc }) {
        SCOPED_TRACE(int(close));
        Sources s(3);
        GTestPlatform platform;
        const WorkspaceValues before = captureValues(s.ws);
        {
            MergeSettings settings(s.ws, platform);
            settings.pressSourceButton(2);
            settings.setMergeType(kMergeDarkest);
            settings.setFadeEdge(0, true);
            if (close == UpdateThenEsc)
                settings.updateTarget();
            if (close == Ok)
                settings.ok();
            else
                settings.escape();
        }
        const WorkspaceValues after = captureValues(s.ws);
        EXPECT_EQ(after.placement[2].topLevel, 1);
        // Esc drops the dialog's own values unless Update Target took them over.
        EXPECT_EQ(after.mergeType, close == Esc ? kMergeAverage : kMergeDarkest);
        EXPECT_EQ(s.ws.history.size(), 1u);
        EXPECT_EQ(s.ws.history.undoName(), "Merge Sources");
        ASSERT_TRUE(undoEdit(s.ws, platform));
        EXPECT_EQ(captureValues(s.ws), before);
        ASSERT_TRUE(redoEdit(s.ws, platform));
        EXPECT_EQ(captureValues(s.ws), after);
    }
}

TEST(MergeSettings, NothingChangedRecordsNothing)
{
    Sources s(3);
    GTestPlatform platform;
    s.ws.targetDoc.generated = 1;
    MergeSettings settings(s.ws, platform);
    // Changes the dialog keeps to itself, and a press on the pie that moves nothing.
    settings.setMergeType(kMergeBrightest);
    settings.pressPie(95);
    settings.escape();
    EXPECT_EQ(s.ws.history.size(), 0u);
    EXPECT_EQ(s.ws.targetDoc.generated, 1);
}

// The target the user sees must say whether it was made from the values shown.
TEST(MergeSettings, TheTargetStaysFreshOnlyWhileItMatchesTheValues)
{
    // Update Target, then Ok: the target was made from the values after, so it stays as it is;
    // undone, those values are gone and the target needs updating.
    {
        Sources s(3);
        GTestPlatform platform;
        generateTargetCommand(s.ws, platform);
        MergeSettings settings(s.ws, platform);
        settings.pressSourceButton(1);
        settings.updateTarget();
        const uint64_t generations = s.ws.targetDoc.generations;
        settings.ok();
        EXPECT_EQ(s.ws.targetDoc.generations, generations); // nothing changed since: no new target
        EXPECT_EQ(s.ws.targetDoc.generated, 1);
        EXPECT_NE(s.ws.targetDoc.title, kTargetStaleTitle);
        ASSERT_TRUE(undoEdit(s.ws, platform));
        EXPECT_EQ(s.ws.targetDoc.generated, 0);
        EXPECT_EQ(s.ws.targetDoc.title, kTargetStaleTitle);
    }
    // A change after Update Target: the target no longer matches when Esc closes.
    {
        Sources s(3);
        GTestPlatform platform;
        generateTargetCommand(s.ws, platform);
        MergeSettings settings(s.ws, platform);
        settings.pressSourceButton(1);
        settings.updateTarget();
        settings.pressSourceButton(2);
        settings.escape();
        EXPECT_EQ(s.ws.targetDoc.generated, 0);
        EXPECT_EQ(s.ws.history.size(), 1u);
    }
    // No target made in the dialog: undo gives back the target from before, fresh again.
    {
        Sources s(3);
        GTestPlatform platform;
        generateTargetCommand(s.ws, platform);
        const std::string title = s.ws.targetDoc.title;
        MergeSettings settings(s.ws, platform);
        settings.pressSourceButton(1);
        settings.escape();
        EXPECT_EQ(s.ws.targetDoc.generated, 0);
        ASSERT_TRUE(undoEdit(s.ws, platform));
        EXPECT_EQ(s.ws.targetDoc.generated, 1);
        EXPECT_EQ(s.ws.targetDoc.title, title);
    }
}

} // namespace
} // namespace tessary
