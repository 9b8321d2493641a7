#pragma once
#include "image/packed_dib.h"

#include <cstdint>

namespace tessary {

// The result codes of transforming a source.
enum TransformResult : int {
    kTransformDone = 0,
    kTransformOutOfMemory = 1, // "Not enough memory to process the source image." was shown
    kTransformUnsupported = 2, // bit count 0 (or not readable), or 16 bits with an odd compression
    kTransformRle = 3, // RLE4 or RLE8 bitmap
    kTransformAborted = 4, // the user quit with Esc
    kTransformNoSource = -1, // no such source, or it has no image
};

// Degrees to radians with pi taken as 3.14159.
constexpr double kDegreesToRadians = 0.017453277777777776;

// Everything the pixel loops need, worked out once per transformation in 1024ths fixed point.
// The source point of target pixel (col, r), with d = col - hx (hx - col when mirrored) and
// e = r - hy, is X = d*C - e*B + 1024*hx - offX, Y = e*C + d*B + 1024*hy - offY (32-bit
// integers), divided by the scales: fx = X / sx, fy = Y / sy.
struct TransformGeometry {
    bool valid = false; // false: the scaled size is not a number or beyond any image size
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0; // absolute value of the header's height
    double sx = 1024.0;
    double sy = 1024.0;
    bool mirrored = false;
    int32_t newW = 0;
    int32_t newH = 0;
    int32_t hx = 0;
    int32_t hy = 0;
    int32_t offX = 0;
    int32_t offY = 0;
    int32_t A = 0; // 1024 - C
    int32_t B = 0; // about 1024 sin(angle), negated when mirrored
    int32_t C = 1024; // about 1024 cos(angle)

    int32_t d(int32_t col) const { return mirrored ? hx - col : col - hx; }
    int32_t sourceX(int32_t col, int32_t r) const { return d(col) * C - (r - hy) * B + 1024 * hx - offX; }
    int32_t sourceY(int32_t col, int32_t r) const { return (r - hy) * C + d(col) * B + 1024 * hy - offY; }
};

// Works the geometry out for a source of `width` x |height| at scales sx, sy (1024ths; raised
// to at least 1.0) and `angle` degrees.
TransformGeometry computeTransformGeometry(
    int32_t width, int32_t height, double sx, double sy, double angle, bool mirrored);

// 0 when the pixels can be read; kTransformUnsupported for bit count 0, a depth without an
// accessor, a 16-bit image compressed otherwise than none or bit fields, or a block too short
// for its rows; kTransformRle for 4-bit RLE4 or 8-bit RLE8.
int checkSourceFormat(const PackedDib& dib);

} // namespace tessary
