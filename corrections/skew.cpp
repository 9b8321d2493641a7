#include "corrections/skew.h"

#include "corrections/resample.h"

#include <cmath>

namespace tessary {

SkewGeometry::SkewGeometry(int32_t angle, int32_t sourceWidth, int32_t sourceHeight)
{
    if (!kSkewAngle.contains(angle))
        angle = 0;
    const double theta = angle * 3.14159 / 180;
    s = sourceHeight * std::sin(theta);
    c = std::cos(theta);
    t = std::tan(theta);
    width = int64_t(sourceWidth + std::fabs(s));
    height = int64_t(sourceHeight * c);
    origin = angle >= 0 ? 0 : int32_t(s);
}

namespace {
struct Pixels {
    const MaskedDib& image;
    int32_t width, height;
    bool inside(int32_t x, int32_t row) const { return x >= 0 && x < width && row >= 0 && row < height; }
    const uint8_t* at(int32_t x, int32_t row) const { return image.dib->row(row) + size_t(x) * 3; }
    uint16_t mask(int32_t x, int32_t row) const { return image.maskRow(row)[x]; }
};
}

CorrectionStatus applySkew(
    const MaskedDib& backup, int32_t angle, MaskedDib& result, const RowProgress& progress)
{
    const Pixels in { backup, backup.width(), backup.height() };
    const SkewGeometry g(angle, in.width, in.height);
    if (g.width <= 0 || g.height <= 0)
        return CorrectionStatus::Refused;
    if (g.width > kMaxImageSide || g.height > kMaxImageSide)
        return CorrectionStatus::OutOfMemory;
    const int32_t outWidth = int32_t(g.width), outHeight = int32_t(g.height);
    if (allocateMaskedDib(outHeight, outWidth, result, 24) || allocateMask(result, 0))
        return CorrectionStatus::OutOfMemory;
    for (int32_t r = 0; r < outHeight; ++r) {
        const double rowShift = r * g.t;
        const double fy = r / g.c;
        const int32_t sy = int32_t(fy);
        const int32_t fracY = int32_t(256 * fy) - 256 * sy;
        const bool lastRow = r == outHeight - 1;
        uint8_t* out = result.dib->row(r);
        uint16_t* outMask = result.maskRow(r);
        // sy is never negative; the rows it reads must exist.
        const bool rowInside = sy < in.height;
        const bool pairInside = sy + 1 < in.height;
        for (int32_t x = 0; x < outWidth; ++x) {
            const double fx = (g.origin + x) - rowShift;
            // Range-checked in double before truncating; trunc(fx) in 0..W - 1.
            if (!(fx > -1.0 && fx < in.width) || !rowInside)
                continue;
            const int32_t sx = int32_t(fx);
            const bool lastColumn = x == outWidth - 1;
            uint8_t* q = out + size_t(x) * 3;
            const uint8_t* p = in.at(sx, sy);
            if (lastRow && lastColumn)
                continue;
            if (lastColumn) {
                q[0] = p[0], q[1] = p[1], q[2] = p[2];
            } else if (lastRow) {
                if (sx + 1 >= in.width)
                    continue;
                const double w = 1 - (fx - sx);
                q[0] = blendTwo(w, p[0], p[3]);
                q[1] = blendTwo(w, p[1], p[4]);
                q[2] = blendTwo(w, p[2], p[5]);
            } else {
                if (sx + 1 >= in.width || !pairInside)
                    continue;
                const int32_t fracX = int32_t(256 * fx) - 256 * sx;
                const uint8_t* above = in.at(sx, sy + 1);
                for (int c = 0; c < 3; ++c)
                    q[c] = bilinear256(fracX, fracY, p[c], p[c + 3], above[c], above[c + 3]);
            }
            outMask[x] = in.mask(sx, sy);
        }
        if (progress)
            progress(r);
    }
    return CorrectionStatus::Done;
}

} // namespace tessary
