#pragma once
#include "app/setting_range.h"
#include "corrections/correction_session.h"

#include <cstdint>

namespace tessary {

inline constexpr const char* kCylinderTooNarrowText
    = "This source is too narrow for a cylindrical projection: it is left as it is.";

// The cylindrical projection's controls: the Left and Right slider positions 0..180 (Left shows
// position - 180) and the elevation 0..100 percent. dL = left / 180 <= dR = right / 180.
struct CylinderValues {
    static constexpr SettingRange kLeft { 0, 180, 90 };
    static constexpr SettingRange kRight { 0, 180, 90 };
    static constexpr SettingRange kElevation { 0, 100, 50 };
    int32_t left = kLeft.start;
    int32_t right = kRight.start;
    int32_t elevation = kElevation.start;

    // Keeps left <= right: the slider that was not moved follows the one that was.
    void leftMoved(int32_t position);
    void rightMoved(int32_t position);
};

// A new 24-bit image of the backup's size. Column x looks along phi = (x (dR - dL) + W dL -
// W div 2) pi / We (We = W rounded down to even; pixels with cos phi below 0.00001 stay empty) at
// source column fx = W (acos(1 - 2 (dL + x / W (dR - dL))) / pi - aL) / (aR - aL) (x itself when
// dL = dR) and source row fy = (row - K + E0) / cos phi + (K - E0), K = H div 2,
// E0 = (e - 50) / 100 H. Bilinear in 1/256 steps inside, linear along the last column and the
// top row, the top-right corner left empty; samples outside stay black and transparent.
// Images under 2 pixels wide are refused (the angle divides by We).
CorrectionStatus applyCylindrical(const MaskedDib& backup, const CylinderValues& values, MaskedDib& result,
    const RowProgress& progress = {});

} // namespace tessary
