// Every Align command that changes where a source lies or how it is turned is one step of the
// history, named after the command, that undo and redo take back and make again exactly.
#include "align/centre_source.h"
#include "align/commit_placement.h"
#include "align/placement_commands.h"
#include "align/quick_align.h"
#include "align/source_sizes.h"
#include "align/stretch_source.h"
#include "app/edit_path.h"
#include "app/workspace_values.h"

#include "placed_sources.h"

#include <cctype>
#include <functional>
#include <vector>
#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::PlacedSources;

struct Command {
    const char* name;
    std::function<int(PlacedSources&)> run;
    bool transforms; // a failed transformation can take it back
};

const Command kCommands[] = {
    { "Mirror horizontally", [](PlacedSources& p) { return mirrorSelectedSource(p.ws, p.platform); }, true },
    { "Reset size of selected source", [](PlacedSources& p) { return resetSelectedSourceSize(p.ws, p.platform); },
        true },
    { "Rotate", [](PlacedSources& p) { return rotateSelectedSource(p.ws, p.platform, 30); }, true },
    { "Sizes",
        [](PlacedSources& p) {
            return applySourceSizes(p.ws, p.platform, { { 200, 100 }, { 90, 20 }, { 80, 50 } }).status;
        },
        true },
    { "Center Horizontally",
        [](PlacedSources& p) {
            centreSelectedSource(p.ws, p.platform, Axis::Horizontal);
            return 0;
        },
        false },
    { "Center Vertically",
        [](PlacedSources& p) {
            centreSelectedSource(p.ws, p.platform, Axis::Vertical);
            return 0;
        },
        false },
    { "Horizontal Stretch", [](PlacedSources& p) { return stretchSelectedSource(p.ws, p.platform, Axis::Horizontal); },
        true },
    { "Vertical Stretch", [](PlacedSources& p) { return stretchSelectedSource(p.ws, p.platform, Axis::Vertical); },
        true },
    { "Nudge",
        [](PlacedSources& p) { return quickAlign(p.ws, p.platform, StripSide::Left, StripHit { -1, false }) ? 0 : -1; },
        false },
    { "Quick Align",
        [](PlacedSources& p) { return quickAlign(p.ws, p.platform, StripSide::Top, StripHit { 2, true }) ? 0 : -1; },
        false },
    { "Move", [](PlacedSources& p) { return commitPlacement(p.ws, p.platform, 7, -3, 2, 1024, 1024); }, false },
    { "Resize", [](PlacedSources& p) { return commitPlacement(p.ws, p.platform, 0, 0, 2, 1280, 900); }, true },
};

class PlacementSteps : public ::testing::TestWithParam<Command> {
protected:
    PlacedSources p;
    void SetUp() override
    {
        p.add(200, 100, 0, 0);
        // Source 2 stretched, so that resetting its size changes it.
        p.ws.alignDoc.placement[1].scaleX = 1500;
        p.add(60, 40, 250, 40);
        p.add(80, 50, 100, 200);
        p.ready(2);
    }
};

TEST_P(PlacementSteps, OneStepThatUndoAndRedoTakeBackAndMakeAgain)
{
    const Command& command = GetParam();
    const WorkspaceValues before = captureValues(p.ws);
    EXPECT_EQ(command.run(p), kTransformDone);
    const WorkspaceValues after = captureValues(p.ws);
    ASSERT_NE(after, before);
    EXPECT_EQ(p.ws.history.size(), 1u);
    EXPECT_EQ(p.ws.history.undoName(), command.name);
    EXPECT_TRUE(p.targetStale());
    const int32_t widthAfter = p.transformed(2).width();

    ASSERT_TRUE(undoEdit(p.ws, p.platform));
    EXPECT_EQ(p.ws.alignDoc.placement, before.placement);
    EXPECT_EQ(p.ws.targetDoc.mirrored, before.mirrored);
    EXPECT_EQ(p.ws.history.redoName(), command.name);

    ASSERT_TRUE(redoEdit(p.ws, p.platform));
    EXPECT_EQ(p.ws.alignDoc.placement, after.placement);
    EXPECT_EQ(p.ws.targetDoc.mirrored, after.mirrored);
    EXPECT_EQ(p.transformed(2).width(), widthAfter);
}

std::vector<Command> transformingCommands()
{
    std::vector<Command> commands;
    for (const Command& command : kCommands)
        if (command.transforms)
            commands.push_back(command);
    return commands;
}

class StoppedPlacementSteps : public PlacementSteps { };

TEST_P(StoppedPlacementSteps, AStoppedTransformationTakesTheChangeBack)
{
    const Command& command = GetParam();
    const WorkspaceValues before = captureValues(p.ws);
    const int32_t width = p.transformed(2).width(), height = p.transformed(2).height();
    // Esc held during the transformation, and the user quits.
    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_EQ(command.run(p), kTransformAborted);
    EXPECT_EQ(captureValues(p.ws), before);
    EXPECT_EQ(p.transformed(2).width(), width);
    EXPECT_EQ(p.transformed(2).height(), height);
    EXPECT_EQ(p.ws.history.size(), 0u);
    EXPECT_EQ(p.ws.alignDoc.previewValid, 1);
    EXPECT_FALSE(p.targetStale());
    ASSERT_EQ(p.platform.statusMessages.size(), 1u);
    EXPECT_EQ(p.platform.statusMessages[0], std::string(command.name) + " was stopped: every source is placed as it was before.");
}

std::string testName(const ::testing::TestParamInfo<Command>& info)
{
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += *c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(AlignCommands, PlacementSteps, ::testing::ValuesIn(kCommands), testName);
INSTANTIATE_TEST_SUITE_P(AlignCommands, StoppedPlacementSteps, ::testing::ValuesIn(transformingCommands()), testName);

TEST(PlacementStepsNone, ACommandThatChangesNothingRecordsNothing)
{
    PlacedSources p;
    p.add(200, 100);
    p.add(60, 40, 250, 0);
    p.ready(2);
    EXPECT_EQ(rotateSelectedSource(p.ws, p.platform, 0), kTransformDone);
    EXPECT_EQ(commitPlacement(p.ws, p.platform, 0, 0, 2, 1024, 1024), kTransformDone);
    EXPECT_EQ(p.ws.history.size(), 0u);
    EXPECT_FALSE(p.targetStale());
}

} // namespace
} // namespace tessary
