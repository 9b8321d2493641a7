#pragma once
#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;

// The step of the nudge arrows in layout pixels, each way.
inline constexpr int32_t kNudgeFactorMin = 1;
inline constexpr int32_t kNudgeFactorMax = 1000;

// A nudge factor read from the settings, brought into 1..1000 (the profile can be edited by
// hand, and a step of 0 or a huge one would make the arrows useless).
int32_t clampNudgeFactor(int32_t value);

// OK of the Nudge factor dialog with both factors already checked to lie in 1..1000: the Align
// view takes them and they are written to "Configure" as "Nudge Factor X" and "Nudge Factor Y".
void storeNudgeFactors(MergeWorkspace& workspace, Platform& platform, int32_t x, int32_t y);

} // namespace tessary
