#pragma once
#include "app/setting_range.h"
#include "corrections/correction_session.h"

#include <cstdint>

namespace tessary {

struct TrapezoidValues {
    // The dialog's two percent sliders.
    static constexpr SettingRange kRatio { 1, 100, 80 };
    static constexpr SettingRange kApexPosition { 1, 100, 50 };
    int32_t ratio = kRatio.start; // R: the apex's width in percent of the base
    int32_t apexPosition
        = kApexPosition.start; // P: where the apex sits, percent of the free width from the left
    bool inverted = false; // the apex at the bottom
};

// The per-row values of the trapezoid: k = 100 / R (R = 0 reads 0.0001), a = P (k - 1) / 100 W,
// t = i / H (1 - i / H inverted).
struct TrapezoidGeometry {
    double k;
    double a;
    TrapezoidGeometry(const TrapezoidValues& values, int32_t width);
    static double rowT(int32_t row, int32_t height, bool inverted);
};

// A new 24-bit image of the backup's size: column x of stored row i samples the backup at
// l = (x k - t a) / (t + k (1 - t)) between columns s = trunc(l) and s + 1 with weight
// w = 1 - (l - s) on s; pixels with l < 0 or s + 1 outside stay black and transparent. The mask
// entry comes from (s, i).
CorrectionStatus applyTrapezoid(const MaskedDib& backup, const TrapezoidValues& values, MaskedDib& result,
    const RowProgress& progress = {});

// The apex edge of the preview outline between `left` and `right` (D = right - left):
// from left + D P (100 - R) / 10000 to right - D (100 - P) (100 - R) / 10000, truncated.
struct ApexSpan {
    int32_t from;
    int32_t to;
};
ApexSpan trapezoidApex(int32_t left, int32_t right, const TrapezoidValues& values);

} // namespace tessary
