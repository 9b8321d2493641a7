#include "merge/target_commands.h"

#include "align/activate_align_view.h"
#include "app/edit_path.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "merge/generate_target.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace tessary {

bool generateTargetCommand(MergeWorkspace& workspace, Platform& platform)
{
    if (workspace.sourceCount < 2)
        return false;
    // A source edited in its window since the Align Window was last active is transformed
    // first: the target shows every edit. One still waiting (its transformation was stopped)
    // would put an old picture into the target, so none is made.
    retransformChangedSources(workspace, platform);
    for (int number = 1; number <= std::min(workspace.sourceCount, kMaxSources); ++number)
        if (const VIrorozIzi* source = workspace.source(number); source && source->changed)
            return false;
    return generateTarget(workspace, platform);
}

bool targetCommandsEnabled(const MergeWorkspace& workspace)
{
    return workspace.sourceCount >= 2 && workspace.alignDoc.previewValid != 0;
}

bool mergeDefaultsEnabled(const MergeWorkspace& workspace)
{
    return workspace.sourceCount >= 2;
}

bool targetSaveEnabled(const MergeWorkspace& workspace)
{
    return workspace.targetDoc.generated == 1;
}

bool mergeSourcesWithoutOverlap(MergeWorkspace& workspace, Platform& platform)
{
    if (workspace.alignDoc.noOverlap != 1)
        return false;
    platform.messageBox(kNoOverlapMessage, MessageIcon::Information, MessageButtons::Ok);
    generateTargetCommand(workspace, platform);
    return true;
}

namespace {
// A change of target settings: one step, then the target generated from it.
bool changeAndGenerate(MergeWorkspace& workspace, Platform& platform, const std::string& name,
    const WorkspaceValues& after)
{
    if (!editValues(workspace, platform, name, after))
        return false;
    generateTargetCommand(workspace, platform);
    return true;
}

bool chooseColour(MergeWorkspace& workspace, Platform& platform, const std::string& name,
    ColourRef WorkspaceValues::*field)
{
    const std::optional<ColourRef> colour = platform.chooseColour(0);
    if (!colour)
        return false;
    WorkspaceValues after = captureValues(workspace);
    after.*field = *colour;
    changeAndGenerate(workspace, platform, name, after);
    return true;
}
}

bool setMergeDefaults(MergeWorkspace& workspace, Platform& platform)
{
    if (platform.messageBox(kMergeDefaultsQuestion, MessageIcon::Question, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return false;
    WorkspaceValues after = captureValues(workspace);
    after.targetBrightness = kTargetBrightness.start;
    after.targetContrast = kTargetContrast.start;
    after.mergeType = kMergeAverage;
    after.thresholdFuzziness = kThresholdFuzziness.start;
    const int32_t count = std::clamp(workspace.sourceCount, 0, kMaxSources);
    for (int32_t i = 0; i < count; ++i) {
        const size_t s = size_t(i);
        after.placement[s].topLevel = -1;
        after.placement[s].bottomLevel = -1;
        // Whole numbers here, unlike the equal shares a new source window gives: 33 each for
        // three sources.
        after.biasWeight[s] = std::trunc(kBiasWeightTotal / count);
        after.fadeEdge[s] = 0;
    }
    // The zone and the snap grid are views of the target, not settings a step takes back.
    workspace.targetDoc.zoneSelected = 0;
    workspace.targetView.snapGrid = 1;
    changeAndGenerate(workspace, platform, "Set merge defaults", after);
    return true;
}

bool chooseBackgroundColour(MergeWorkspace& workspace, Platform& platform)
{
    return chooseColour(workspace, platform, "Background Color", &WorkspaceValues::backgroundColour);
}

bool chooseMarginColour(MergeWorkspace& workspace, Platform& platform)
{
    return chooseColour(workspace, platform, "Set Margin Color", &WorkspaceValues::marginColour);
}

// The viewing size is how the target is shown, not a setting of the merge: no step.
void applyViewingSize(MergeWorkspace& workspace, Platform& platform, int32_t percent)
{
    workspace.targetDoc.viewPercentX = percent;
    workspace.targetDoc.viewPercentY = percent;
    generateTargetCommand(workspace, platform);
}

void applyMargins(MergeWorkspace& workspace, Platform& platform, int32_t marginX, int32_t marginY)
{
    WorkspaceValues after = captureValues(workspace);
    after.marginX = marginX;
    after.marginY = marginY;
    changeAndGenerate(workspace, platform, "Set Margins", after);
}

void setSnapGrid(MergeWorkspace& workspace, int32_t grid)
{
    workspace.targetView.snapGrid = grid;
}

} // namespace tessary
