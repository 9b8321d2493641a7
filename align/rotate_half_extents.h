#pragma once
#include "align/align_doc.h"

#include <cstdint>

namespace tessary {

// The geometric code of the Align window takes pi as 3.14159.
constexpr double kAlignPi = 3.14159;

inline double alignRadians(double degrees)
{
    return degrees * kAlignPi / 180.0;
}

// Sine and cosine of an angle in radians, both derived from the sine of the half angle:
// with t = sin(a/2), sin a = 2t·sqrt(1 - t²) and cos a = 1 - 2t².
struct HalfAngleTurn {
    double sin = 0.0;
    double cos = 1.0;
};
HalfAngleTurn halfAngleTurn(double radians);

// The integer point (w/2, h/2) turned by `angle` degrees (positive turns clockwise on screen):
// with f = w/2 and g = h/2 truncated toward zero, x = f·cos - g·sin and y = g·cos + f·sin, each
// truncated toward zero.
ViewPoint rotateHalfExtents(int32_t h, int32_t w, double angle);

// Float-to-int32 truncation toward zero that saturates at the int32 limits (and gives 0 for a
// NaN), for coordinates derived from user-sized layouts.
int32_t truncToInt32(double value);

} // namespace tessary
