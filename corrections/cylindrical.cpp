#include "corrections/cylindrical.h"

#include "corrections/resample.h"

#include <cmath>
#include <new>
#include <vector>

namespace tessary {

void CylinderValues::leftMoved(int32_t position)
{
    left = position;
    if (left > right)
        right = left;
}

void CylinderValues::rightMoved(int32_t position)
{
    right = position;
    if (left > right)
        left = right;
}

namespace {
constexpr double kPi = 3.14159;

// What each column needs, computed once: its source column, its cosine, and whether it is seen.
struct Column {
    double fx;
    double c;
    bool seen;
};

uint8_t linear256(int32_t frac, uint8_t a, uint8_t b)
{
    return clampByte((int64_t(256 - frac) * a + int64_t(frac) * b) >> 8);
}
}

CorrectionStatus applyCylindrical(
    const MaskedDib& backup, const CylinderValues& values, MaskedDib& result, const RowProgress& progress)
{
    const int32_t width = backup.width(), height = backup.height();
    if (width < 2)
        return CorrectionStatus::Refused;
    std::vector<Column> columns;
    try {
        columns.resize(size_t(width));
    } catch (const std::bad_alloc&) {
        return CorrectionStatus::OutOfMemory;
    }
    if (allocateMaskedDib(height, width, result, 24) || allocateMask(result, 0))
        return CorrectionStatus::OutOfMemory;

    const double dL = values.left / 180.0, dR = values.right / 180.0;
    const double e0 = (values.elevation - 50) / 100.0 * height;
    const double aL = std::acos(1 - 2 * dL) / kPi, aR = std::acos(1 - 2 * dR) / kPi;
    const int32_t k = height / 2;
    const int32_t we = width & ~1;
    for (int32_t x = 0; x < width; ++x) {
        Column& col = columns[size_t(x)];
        const double phi = (x * (dR - dL) + width * dL - width / 2) * kPi / we;
        col.c = std::cos(phi);
        col.seen = !(col.c < 0.00001);
        col.fx = dL == dR
            ? x
            : width * (std::acos(1 - 2 * (dL + (double(x) / width) * (dR - dL))) / kPi - aL) / (aR - aL);
    }

    for (int32_t row = 0; row < height; ++row) {
        const bool topRow = row == height - 1;
        const double fromHorizon = row - k + e0;
        const double horizon = k - e0;
        uint8_t* out = result.dib->row(row);
        uint16_t* outMask = result.maskRow(row);
        for (int32_t x = 0; x < width; ++x) {
            const Column& col = columns[size_t(x)];
            const bool lastColumn = x == width - 1;
            if (!col.seen || (topRow && lastColumn))
                continue;
            const double fy = fromHorizon / col.c + horizon;
            const double fx = col.fx;
            // Range-checked in double before truncating: far from the horizon |fy| is huge.
            if (!(fx > -1 && fx < width && fy > -1 && fy < height))
                continue;
            const int32_t sx = int32_t(fx), sy = int32_t(fy);
            const int32_t fracX = int32_t(256 * fx) - 256 * sx;
            const int32_t fracY = int32_t(256 * fy) - 256 * sy;
            const uint8_t* p = backup.dib->row(sy) + size_t(sx) * 3;
            uint8_t* q = out + size_t(x) * 3;
            if (lastColumn) {
                if (sy + 1 >= height)
                    continue;
                const uint8_t* above = backup.dib->row(sy + 1) + size_t(sx) * 3;
                for (int c = 0; c < 3; ++c)
                    q[c] = linear256(fracY, p[c], above[c]);
            } else if (topRow) {
                if (sx + 1 >= width)
                    continue;
                for (int c = 0; c < 3; ++c)
                    q[c] = linear256(fracX, p[c], p[c + 3]);
            } else {
                if (sx + 1 >= width || sy + 1 >= height)
                    continue;
                const uint8_t* above = backup.dib->row(sy + 1) + size_t(sx) * 3;
                for (int c = 0; c < 3; ++c)
                    q[c] = bilinear256(fracX, fracY, p[c], p[c + 3], above[c], above[c + 3]);
            }
            outMask[x] = backup.maskRow(sy)[sx];
        }
        if (progress)
            progress(row);
    }
    return CorrectionStatus::Done;
}

} // namespace tessary
