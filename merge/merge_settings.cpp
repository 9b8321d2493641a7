#include "merge/merge_settings.h"

#include "align/mark_target_stale.h"
#include "app/workspace.h"
#include "merge/merge_layers.h"
#include "merge/target_commands.h"

#include <algorithm>

namespace tessary {

MergeSettings::MergeSettings(MergeWorkspace& workspace)
    : workspace_(workspace)
    , mergeType_(std::clamp(workspace.mergeType, 0, 4))
    , fuzziness_(kThresholdFuzziness.clamp(workspace.targetDoc.thresholdFuzziness))
    , fadeEdge_(workspace.fadeEdge)
    , lastUpdate_(written())
{
    updateEnabled_ = workspace.targetDoc.generated == 0;
    workspace.blendSettingsChanged = updateEnabled_ ? 1 : 0;
}

MergeSettings::Written MergeSettings::written() const
{
    Written w { {}, {}, workspace_.biasWeight };
    for (size_t s = 0; s < w.topLevel.size(); ++s) {
        w.topLevel[s] = workspace_.alignDoc.placement[s].topLevel;
        w.bottomLevel[s] = workspace_.alignDoc.placement[s].bottomLevel;
    }
    return w;
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

void MergeSettings::updateTarget(Platform& platform)
{
    workspace_.fadeEdge = fadeEdge_;
    workspace_.mergeType = mergeType_;
    workspace_.targetDoc.thresholdFuzziness = fuzziness_;
    generateTargetCommand(workspace_, platform);
    updateEnabled_ = false;
    workspace_.blendSettingsChanged = 0;
    lastUpdate_ = written();
}

void MergeSettings::ok(Platform& platform)
{
    if (workspace_.blendSettingsChanged == 1)
        updateTarget(platform);
}

void MergeSettings::escape()
{
    if (!(written() == lastUpdate_))
        markTargetStale(workspace_);
}

} // namespace tessary
