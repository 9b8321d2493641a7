#pragma once
#include <algorithm>
#include <cstdint>

namespace tessary {

// The values a dialog lets the user choose for one setting, and the one it starts at. Each
// setting has one of these beside the value it governs; the dialog, the command line and the
// arrangement reader all take their limits from it, so none can accept what another refuses.
struct SettingRange {
    int32_t min;
    int32_t max;
    int32_t start;

    constexpr bool contains(int64_t value) const { return value >= min && value <= max; }
    constexpr int32_t clamp(int32_t value) const { return std::clamp(value, min, max); }
};

} // namespace tessary
