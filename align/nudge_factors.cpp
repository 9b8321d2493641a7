#include "align/nudge_factors.h"

#include "app/platform.h"
#include "app/settings.h"
#include "app/workspace.h"

#include <algorithm>

namespace tessary {

int32_t clampNudgeFactor(int32_t value)
{
    return std::clamp(value, kNudgeFactorMin, kNudgeFactorMax);
}

void storeNudgeFactors(MergeWorkspace& workspace, Platform& platform, int32_t x, int32_t y)
{
    workspace.alignView.nudgeX = x;
    workspace.alignView.nudgeY = y;
    platform.setSettingInt(settings::kSection, settings::kNudgeFactorX, x);
    platform.setSettingInt(settings::kSection, settings::kNudgeFactorY, y);
}

} // namespace tessary
