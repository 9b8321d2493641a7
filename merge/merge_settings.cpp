#include "merge/merge_settings.h"

#include "app/workspace.h"
#include "merge/merge_layers.h"
#include "merge/target_commands.h"

#include <algorithm>

namespace tessary {

MergeSettings::MergeSettings(MergeWorkspace& workspace, Platform& platform)
    : workspace_(workspace)
    , platform_(platform)
    , edit_(workspace, platform, "Merge Sources")
    , mergeType_(std::clamp(workspace.mergeType, 0, 4))
    , fuzziness_(kThresholdFuzziness.clamp(workspace.targetDoc.thresholdFuzziness))
    , fadeEdge_(workspace.fadeEdge)
{
    updateEnabled_ = workspace.targetDoc.generated == 0;
    workspace.blendSettingsChanged = updateEnabled_ ? 1 : 0;
}

void MergeSettings::changed()
{
    workspace_.blendSettingsChanged = 1;
    updateEnabled_ = true;
}

void MergeSettings::setMergeType(int32_t type)
{
    mergeType_ = std::clamp(type, 0, 4);
    changed();
}

void MergeSettings::setFadeEdge(int32_t slot, bool on)
{
    if (slot < 0 || slot >= kMaxSources)
        return;
    fadeEdge_[size_t(slot)] = on ? 1 : 0;
    changed();
}

void MergeSettings::stepFuzziness(int32_t step)
{
    fuzziness_ = kThresholdFuzziness.clamp(fuzziness_ + step);
    changed();
}

void MergeSettings::pressSourceButton(int32_t slot)
{
    const int32_t count = std::clamp(workspace_.sourceCount, 0, kMaxSources);
    if (moveDirection == 0)
        moveSourceUp(workspace_.alignDoc, count, slot);
    else
        moveSourceDown(workspace_.alignDoc, count, slot);
    resetPie();
}

void MergeSettings::blendAllToMiddle()
{
    tessary::blendAllToMiddle(workspace_.alignDoc, std::clamp(workspace_.sourceCount, 0, kMaxSources));
    resetPie();
}

void MergeSettings::resetPie()
{
    tessary::resetPie(workspace_);
    changed();
}

std::optional<WedgeHold> MergeSettings::pressPie(double percent)
{
    changed();
    const auto hold = holdWedge(workspace_, percent);
    if (hold)
        dragWedge(workspace_, *hold, percent);
    return hold;
}

void MergeSettings::dragPie(const WedgeHold& hold, double percent)
{
    dragWedge(workspace_, hold, percent);
}

void MergeSettings::updateTarget()
{
    WorkspaceValues values = captureValues(workspace_);
    values.fadeEdge = fadeEdge_;
    values.mergeType = mergeType_;
    values.thresholdFuzziness = fuzziness_;
    storeValues(workspace_, values);
    if (generateTargetCommand(workspace_, platform_))
        edit_.targetGenerated();
    updateEnabled_ = false;
    workspace_.blendSettingsChanged = 0;
}

void MergeSettings::ok()
{
    if (workspace_.blendSettingsChanged == 1)
        updateTarget();
    edit_.commit();
}

void MergeSettings::escape()
{
    edit_.commit();
}

} // namespace tessary
