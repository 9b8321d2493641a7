#include "corrections/pincushion.h"

#include "corrections/resample.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace tessary {

CorrectionStatus buildRadiusTable(int32_t width, int32_t height, double k3, double k5, RadiusTable& table)
{
    table.cx = width / 2;
    table.cy = height / 2;
    const int64_t squares = int64_t(table.cx) * table.cx + int64_t(table.cy) * table.cy;
    const int32_t n = int32_t(8 * std::sqrt(double(squares)));
    try {
        table.radius.assign(size_t(n) + 1, 0.0);
    } catch (const std::bad_alloc&) {
        return CorrectionStatus::OutOfMemory;
    }
    const double n2 = double(n) * n, n4 = n2 * n2;
    auto u = [&](double a) {
        const double a2 = a * a;
        return a * (1 - k3 - k5 + k3 * a2 / n2 + k5 * (a2 * a2) / n4);
    };
    constexpr int kMaxSteps = 1000;
    for (int32_t i = 0; i < n; ++i) {
        double a = i, value = i + 0.015;
        int steps = 0;
        while (!(value > i - 0.01 && value < i + 0.01)) {
            if (steps++ == kMaxSteps)
                return CorrectionStatus::Refused;
            a = std::max(0.0, a + (i - value) * 0.5);
            value = u(a);
        }
        table.radius[size_t(i)] = a;
    }
    return CorrectionStatus::Done;
}

CorrectionStatus applyPincushion(
    const MaskedDib& backup, const RadiusTable& table, MaskedDib& result, const RowProgress& progress)
{
    const int32_t width = backup.width(), height = backup.height();
    if (allocateMaskedDib(height, width, result, 24) || allocateMask(result, 0))
        return CorrectionStatus::OutOfMemory;
    const int32_t cx = table.cx, cy = table.cy;
    const size_t lastEntry = table.radius.size() - 1;
    for (int32_t row = 0; row < height; ++row) {
        const int32_t dy = row - cy;
        const int64_t dy2 = int64_t(dy) * dy;
        const bool topRow = row == height - 1;
        uint8_t* out = result.dib->row(row);
        uint16_t* outMask = result.maskRow(row);
        for (int32_t x = 0; x < width; ++x) {
            const int32_t dx = x - cx;
            const double r8 = 8 * std::sqrt(double(int64_t(dx) * dx + dy2));
            const double a = table.radius[std::min(size_t(r8), lastEntry)];
            double fx = x, fy = row;
            if (a != 0) {
                fx = cx + dx * r8 / a;
                fy = cy + dy * r8 / a;
            }
            // Range-checked in double before truncating.
            if (fx < 0 || fy < 0 || !(fx < width) || !(fy < height))
                continue;
            const int32_t sx = int32_t(fx), sy = int32_t(fy);
            const uint8_t* p = backup.dib->row(sy) + size_t(sx) * 3;
            uint8_t* q = out + size_t(x) * 3;
            if (topRow || x == width - 1) {
                q[0] = p[0], q[1] = p[1], q[2] = p[2];
            } else {
                const int32_t fracY = int32_t(256 * fy) - 256 * sy;
                const uint8_t* above = sy + 1 < height ? backup.dib->row(sy + 1) + size_t(sx) * 3 : p;
                // At the right border the pair is (sx - 1, sx), fracX counted from sx - 1.
                const int32_t left = sx + 1 < width ? sx : sx - 1;
                const int32_t fracX = int32_t(256 * fx) - 256 * left;
                const ptrdiff_t shift = (ptrdiff_t(left) - sx) * 3;
                const uint8_t* p0 = p + shift;
                const uint8_t* a0 = above + shift;
                for (int c = 0; c < 3; ++c)
                    q[c] = bilinear256(fracX, fracY, p0[c], p0[c + 3], a0[c], a0[c + 3]);
            }
            outMask[x] = backup.maskRow(sy)[sx];
        }
        if (progress)
            progress(row);
    }
    return CorrectionStatus::Done;
}

CorrectionStatus applyPincushionTerms(
    const MaskedDib& backup, double k3, double k5, MaskedDib& result, const RowProgress& progress)
{
    RadiusTable table;
    const CorrectionStatus built = buildRadiusTable(backup.width(), backup.height(), k3, k5, table);
    if (built != CorrectionStatus::Done)
        return built;
    return applyPincushion(backup, table, result, progress);
}

} // namespace tessary
