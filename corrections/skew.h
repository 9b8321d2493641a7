#pragma once
#include "app/setting_range.h"
#include "corrections/correction_session.h"

#include <cstdint>

namespace tessary {

// The Skew dialog's angle field, in degrees.
inline constexpr SettingRange kSkewAngle { -89, 89, 0 };
inline constexpr const char* kSkewNoRowsText
    = "At this angle the skewed image would have no rows: the source is left as it is.";

// The skew of a W x H image by A degrees (pi taken as 3.14159): S = H sin, C = cos, T = tan,
// result W' = trunc(W + |S|) by H' = trunc(H C), horizontal origin 0 for A >= 0 and trunc(S)
// below. An angle outside kSkewAngle reads 0.
struct SkewGeometry {
    double s, c, t;
    int64_t width; // W'
    int64_t height; // H'
    int32_t origin;
    SkewGeometry(int32_t angle, int32_t sourceWidth, int32_t sourceHeight);
};

// A new 24-bit image of W' x H': result (x, r) samples the backup at fx = o + x - r T,
// fy = r / C; rows below H' - 1 and columns below W' - 1 bilinear in 1/256 steps over the four
// pixels from (trunc(fx), trunc(fy)), the last column the nearest pixel, the last row
// horizontally only; the top-right corner and every pixel whose samples fall outside stay
// black and transparent. Refused when H' or W' is 0 (nothing written), OutOfMemory when W' x H'
// is over the image limits or memory runs out.
CorrectionStatus applySkew(
    const MaskedDib& backup, int32_t angle, MaskedDib& result, const RowProgress& progress = {});

} // namespace tessary
