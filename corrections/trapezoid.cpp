#include "corrections/trapezoid.h"

#include "corrections/resample.h"

#include <vector>

namespace tessary {

TrapezoidGeometry::TrapezoidGeometry(const TrapezoidValues& values, int32_t width)
{
    const double ratio = values.ratio == 0 ? 0.0001 : double(values.ratio);
    k = 100 / ratio;
    a = values.apexPosition * (k - 1) / 100 * width;
}

double TrapezoidGeometry::rowT(int32_t row, int32_t height, bool inverted)
{
    const double t = double(row) / height;
    return inverted ? 1 - t : t;
}

CorrectionStatus applyTrapezoid(
    const MaskedDib& backup, const TrapezoidValues& values, MaskedDib& result, const RowProgress& progress)
{
    const int32_t width = backup.width(), height = backup.height();
    if (allocateMaskedDib(height, width, result, 24) || allocateMask(result, 0))
        return CorrectionStatus::OutOfMemory;
    const TrapezoidGeometry g(values, width);
    std::vector<double> xk;
    try {
        xk.resize(size_t(width));
    } catch (const std::bad_alloc&) {
        releaseMaskedDib(result);
        return CorrectionStatus::OutOfMemory;
    }
    for (int32_t x = 0; x < width; ++x)
        xk[size_t(x)] = x * g.k;
    const double lastStart = width - 1;
    for (int32_t row = 0; row < height; ++row) {
        const double t = TrapezoidGeometry::rowT(row, height, values.inverted);
        const double ta = t * g.a;
        const double denominator = t + g.k * (1 - t);
        const uint8_t* in = backup.dib->row(row);
        const uint16_t* inMask = backup.maskRow(row);
        uint8_t* out = result.dib->row(row);
        uint16_t* outMask = result.maskRow(row);
        for (int32_t x = 0; x < width; ++x) {
            const double l = (xk[size_t(x)] - ta) / denominator;
            // s + 1 must lie inside: l below width - 1 (checked in double, before truncating).
            if (l < 0 || !(l < lastStart))
                continue;
            const int32_t s = int32_t(l);
            const double w = 1 - (l - s);
            const uint8_t* p = in + size_t(s) * 3;
            uint8_t* q = out + size_t(x) * 3;
            q[0] = blendTwo(w, p[0], p[3]);
            q[1] = blendTwo(w, p[1], p[4]);
            q[2] = blendTwo(w, p[2], p[5]);
            outMask[x] = inMask[s];
        }
        if (progress)
            progress(row);
    }
    return CorrectionStatus::Done;
}

ApexSpan trapezoidApex(int32_t left, int32_t right, const TrapezoidValues& values)
{
    const int64_t d = right - left;
    const int64_t r = values.ratio, p = values.apexPosition;
    return { int32_t(left + d * p * (100 - r) / 10000), int32_t(right - d * (100 - p) * (100 - r) / 10000) };
}

} // namespace tessary
