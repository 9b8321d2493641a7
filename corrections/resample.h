#pragma once
#include <cstdint>

namespace tessary {

inline uint8_t clampByte(int64_t v)
{
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}
inline uint8_t clampByte(double v)
{
    // Range-checked in double (NaN reads 0): a far extrapolation must not overflow the integer
    // conversion.
    return uint8_t(!(v >= 0.0) ? 0 : v >= 255.0 ? 255 : int32_t(v));
}

// Interpolation between two pixels with weight w on the first: trunc(w*a + (1-w)*b) in 0..255.
inline uint8_t blendTwo(double w, uint8_t a, uint8_t b)
{
    return clampByte(w * a + (1 - w) * b);
}

// Bilinear interpolation in 1/256 steps between p00 = (s, s), p10 = (s + 1, s), p01 = (s, s + 1)
// and p11 = (s + 1, s + 1): the weights (256 - fx)(256 - fy), fx (256 - fy), (256 - fx) fy and
// fx fy, the sum shifted right by 16 (rounding toward minus infinity), limited to 0..255.
inline uint8_t bilinear256(int32_t fx, int32_t fy, uint8_t p00, uint8_t p10, uint8_t p01, uint8_t p11)
{
    const int64_t sum = int64_t(256 - fx) * (256 - fy) * p00 + int64_t(fx) * (256 - fy) * p10
        + int64_t(256 - fx) * fy * p01 + int64_t(fx) * fy * p11;
    return clampByte(sum >> 16);
}

} // namespace tessary
