#include "merge/target_commands.h"

#include "app/platform.h"
#include "app/workspace.h"
#include "merge/generate_target.h"

#include <algorithm>
#include <cmath>

namespace tessary {

bool generateTargetCommand(MergeWorkspace& workspace, Platform& platform)
{
    return workspace.sourceCount >= 2 && generateTarget(workspace, platform);
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

bool setMergeDefaults(MergeWorkspace& workspace, Platform& platform)
{
    if (platform.messageBox(kMergeDefaultsQuestion, MessageIcon::Question, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return false;
    CDestdoc& target = workspace.targetDoc;
    target.targetBrightness = kTargetBrightness.start;
    target.targetContrast = kTargetContrast.start;
    workspace.mergeType = kMergeAverage;
    target.zoneSelected = 0;
    target.thresholdFuzziness = kThresholdFuzziness.start;
    const int32_t count = std::clamp(workspace.sourceCount, 0, kMaxSources);
    for (int32_t i = 0; i < count; ++i) {
        const size_t s = size_t(i);
        workspace.alignDoc.placement[s].topLevel = -1;
        workspace.alignDoc.placement[s].bottomLevel = -1;
        // Whole numbers here, unlike the equal shares a new source window gives: 33 each for
        // three sources.
        workspace.biasWeight[s] = std::trunc(kBiasWeightTotal / count);
        workspace.fadeEdge[s] = 0;
    }
    workspace.targetView.snapGrid = 1;
    generateTargetCommand(workspace, platform);
    return true;
}

bool chooseBackgroundColour(MergeWorkspace& workspace, Platform& platform)
{
    const std::optional<ColourRef> colour = platform.chooseColour(0);
    if (!colour)
        return false;
    workspace.targetDoc.backgroundColour = *colour;
    generateTargetCommand(workspace, platform);
    return true;
}

bool chooseMarginColour(MergeWorkspace& workspace, Platform& platform)
{
    const std::optional<ColourRef> colour = platform.chooseColour(0);
    if (!colour)
        return false;
    workspace.targetDoc.marginColour = *colour;
    generateTargetCommand(workspace, platform);
    return true;
}

void applyViewingSize(MergeWorkspace& workspace, Platform& platform, int32_t percent)
{
    workspace.targetDoc.viewPercentX = percent;
    workspace.targetDoc.viewPercentY = percent;
    generateTargetCommand(workspace, platform);
}

void applyMargins(MergeWorkspace& workspace, Platform& platform, int32_t marginX, int32_t marginY)
{
    workspace.targetDoc.marginX = marginX;
    workspace.targetDoc.marginY = marginY;
    generateTargetCommand(workspace, platform);
}

void setSnapGrid(MergeWorkspace& workspace, int32_t grid)
{
    workspace.targetView.snapGrid = grid;
}

} // namespace tessary
