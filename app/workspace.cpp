#include "app/workspace.h"

#include "align/nudge_factors.h"
#include "app/platform.h"
#include "app/settings.h"

#include <algorithm>

namespace tessary {

MergeWorkspace::MergeWorkspace()
{
    biasWeight.fill(kBiasWeightTotal);
    fadeEdge.fill(0);
}

void MergeWorkspace::readStartupSettings(Platform& platform)
{
    alignView.nudgeX
        = clampNudgeFactor(platform.getSettingInt(settings::kSection, settings::kNudgeFactorX, 1));
    alignView.nudgeY
        = clampNudgeFactor(platform.getSettingInt(settings::kSection, settings::kNudgeFactorY, 1));
    alignView.snapMove = platform.getSettingInt(settings::kSection, settings::kSnapMove, 1);
    app.flyingTipsEnabled = platform.getSettingInt(settings::kSection, settings::kFlyingTips, 0) == 0 ? 1 : 0;
    const int32_t budget = History::kBudgetMegabytes.clamp(
        platform.getSettingInt(settings::kSection, settings::kUndoMemory, History::kBudgetMegabytes.start));
    history.setImageBudget(size_t(budget) << 20);
    loadOptions.fileTransparency = platform.getSettingInt(settings::kSection, settings::kFileTransparency, 1) != 0;
}

void MergeWorkspace::writeExitSettings(Platform& platform) const
{
    platform.setSettingInt(settings::kSection, settings::kFlyingTips, app.flyingTipsEnabled == 1 ? 0 : 1);
}

void MergeWorkspace::addObserver(WorkspaceObserver* observer)
{
    observers_.push_back(observer);
}

void MergeWorkspace::removeObserver(WorkspaceObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void MergeWorkspace::equalBiasWeights()
{
    if (sourceCount <= 0)
        return;
    for (int i = 0; i < sourceCount; ++i)
        biasWeight[size_t(i)] = kBiasWeightTotal / sourceCount;
}

} // namespace tessary
