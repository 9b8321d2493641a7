// The fast transformation: the same arithmetic as the accessor pass, reading 24-bit source rows
// directly (other depths are first expanded to 24 bits through their accessor), stepping the
// fixed-point products by C and B per column instead of multiplying them out, and writing the
// output rows directly. Rows are computed in blocks, each block split over two threads; the polls
// and progress of a block's rows are made on the calling thread before the block is computed,
// in the same order and number as the accessor pass makes them.
#include "app/progress.h"
#include "image/pixel_access.h"
#include "merge/progress_colours.h"
#include "merge/row_transformer.h"
#include "merge/split_work.h"
#include "merge/transform_passes.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace tessary {

namespace {
// The four neighbours' weighted sum in each channel, (256 - tx)(256 - ty) p00 + tx (256 - ty) p10
// + (256 - tx) ty p01 + tx ty p11 in 65536ths, worked as the blend of the top and bottom pairs'
// blends: the same whole number with three multiplications a channel instead of four.
[[gnu::always_inline]] inline void blendFour(uint8_t* q, const uint8_t* p00, const uint8_t* p10,
    const uint8_t* p01, const uint8_t* p11, int32_t tx, int32_t ty)
{
#pragma GCC unroll 3
    for (int k = 0; k < 3; ++k) {
        const int32_t top = 256 * p00[k] + (p10[k] - p00[k]) * tx;
        const int32_t bottom = 256 * p01[k] + (p11[k] - p01[k]) * tx;
        q[k] = uint8_t((256 * top + (bottom - top) * ty) >> 16);
    }
}

// False when one of the four neighbours in mask rows m0 and m1 is transparent; otherwise `m11`
// is the value the output pixel takes (the lower right neighbour's).
[[gnu::always_inline]] inline bool neighboursShow(
    const uint16_t* m0, const uint16_t* m1, int32_t ix, int32_t ix1, uint16_t& m11)
{
    m11 = m1[ix1];
    return !(m0[ix] == 0 || m1[ix] == 0 || m0[ix1] == 0 || m11 == 0);
}

// A scale that is a power of two (100 %, 200 %, 50 % ...) has an exact reciprocal, and then
// X * (1 / s) is exactly X / s: the multiplication replaces the division without changing a bit.
bool exactReciprocal(double s)
{
    int exponent = 0;
    return std::frexp(s, &exponent) == 0.5;
}

// floor(v / divisor) and its remainder for v = v0, v0 + dv, v0 + 2 dv, ... without a division
// per step (divisor >= 1).
struct FloorStepper {
    int64_t quotient, remainder, dq, dr, divisor;
    FloorStepper(int64_t v0, int64_t dv, int64_t d)
        : divisor(d)
    {
        split(v0, quotient, remainder);
        split(dv, dq, dr);
    }
    void split(int64_t v, int64_t& q, int64_t& r) const
    {
        q = v / divisor;
        r = v - q * divisor;
        if (r < 0) {
            --q;
            r += divisor;
        }
    }
    void step()
    {
        // Without a branch: whether the remainder carries follows no pattern a processor
        // could predict.
        remainder += dr;
        const int64_t carry = remainder >= divisor;
        quotient += dq + carry;
        remainder -= carry * divisor;
    }
};

// The source as the bilinear pixel reads it, copied out of the transformer into each row
// function, so that the compiler keeps it in registers across the row's byte stores (which as
// far as it knows may change anything).
struct Bilinear {
    const uint8_t* base;
    size_t stride;
    const uint16_t* mask; // null: opaque
    int32_t W, H;

    // The pixel at (ix, iy) with weights tx, ty in 256ths, unless a neighbour is transparent.
    [[gnu::always_inline]] void pixel(
        uint8_t* outRow, uint16_t* outMask, int32_t col, int32_t ix, int32_t iy, int32_t tx, int32_t ty) const
    {
        const int32_t ix1 = ix == W - 1 ? ix : ix + 1;
        const int32_t iy1 = iy == H - 1 ? iy : iy + 1;
        uint16_t m11 = 65535;
        if (mask && !neighboursShow(mask + size_t(iy) * size_t(W), mask + size_t(iy1) * size_t(W), ix, ix1, m11))
            return;
        const uint8_t* row0 = base + size_t(iy) * stride;
        const uint8_t* row1 = base + size_t(iy1) * stride;
        blendFour(outRow + 3 * size_t(col), row0 + 3 * size_t(ix), row0 + 3 * size_t(ix1), row1 + 3 * size_t(ix),
            row1 + 3 * size_t(ix1), tx, ty);
        outMask[col] = m11;
    }
};

// Whole scales (in 1024ths) that integer arithmetic may take over from the doubles.
bool wholeScale(double s)
{
    return s >= 1.0 && s <= 1048576.0 && s == std::floor(s);
}
}

bool RowTransformer::prepare(const MaskedDib& source, const TransformGeometry& g)
{
    g_ = g;
    mask_ = sourceMaskOf(source, g);
    shifted_ = g.sx == 1024.0 && g.sy == 1024.0 && g.B == 0 && (g.C == 1024 || g.C == -1024);
    wholeScales_ = wholeScale(g.sx) && wholeScale(g.sy);
    expanded_.reset();
    const PackedDib& dib = *source.dib;
    if (dib.bitCount() == 24 && dib.height() > 0) {
        base_ = dib.row(0);
        stride_ = dib.stride();
        return true;
    }
    base_ = nullptr;
    const size_t w = size_t(g.sourceWidth), h = size_t(g.sourceHeight);
    expanded_.reset(new (std::nothrow) uint8_t[std::max<size_t>(1, 3 * w * h)]);
    if (!expanded_)
        return false;
    access_pixel owner(const_cast<PackedDib&>(dib));
    owner->keepPadding();
    Crw_pixel& from = *owner.accessor();
    uint8_t* p = expanded_.get();
    for (int32_t row = 0; row < g.sourceHeight; ++row) {
        for (int32_t x = 0; x < g.sourceWidth; ++x, p += 3) {
            from.readPixel(x, row);
            p[0] = currentPixel.blue;
            p[1] = currentPixel.green;
            p[2] = currentPixel.red;
        }
    }
    base_ = expanded_.get();
    stride_ = 3 * w;
    return true;
}

int RowTransformer::prepare(const MaskedDib& source, double sx, double sy, double angle, bool mirrored)
{
    base_ = nullptr;
    const int readable = checkTransformSource(source);
    if (readable != kTransformDone)
        return readable;
    const TransformGeometry g
        = computeTransformGeometry(source.width(), source.height(), sx, sy, angle, mirrored);
    return g.valid && prepare(source, g) ? kTransformDone : kTransformOutOfMemory;
}

void RowTransformer::nearest(uint8_t* outRow, uint16_t* outMask, int32_t col, int32_t X, int32_t Y) const
{
    const double fx = X / g_.sx;
    const double fy = Y / g_.sy;
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    if (ix < 0 || iy < 0 || ix >= g_.sourceWidth || iy >= g_.sourceHeight || mask_.at(ix, iy) == 0)
        return;
    const uint8_t* p = at(ix, iy);
    uint8_t* q = outRow + 3 * size_t(col);
    q[0] = p[0];
    q[1] = p[1];
    q[2] = p[2];
    outMask[col] = 65535;
}

// The source point of row r's column `from`, X = d*C - e*B + 1024 hx - offX and
// Y = e*C + d*B + 1024 hy - offY, and its steps per column (d moves by one).
RowTransformer::RowWalk RowTransformer::walkRow(int32_t r, int32_t from, int32_t to) const
{
    const TransformGeometry& g = g_;
    const int32_t e = r - g.hy;
    const int32_t step = g.mirrored ? -1 : 1;
    return RowWalk { std::min(to, g.newW - 1), g.d(from) * g.C - e * g.B + 1024 * g.hx - g.offX,
        e * g.C + g.d(from) * g.B + 1024 * g.hy - g.offY, step * g.C, step * g.B };
}

// The last column takes the nearest source pixel, when it is among the columns asked for.
void RowTransformer::lastColumn(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t to) const
{
    const int32_t last = g_.newW - 1;
    if (to == g_.newW)
        nearest(outRow, outMask, last, g_.sourceX(last, r), g_.sourceY(last, r));
}

// At 100 % and an angle whose B is 0 (0 or 180 degrees, mirrored or not) X/1024 and Y/1024
// are exact, so ix = X >> 10 and tx = (X & 1023) >> 2 (256 * X / 1024 truncated, less
// 256 * ix); Y is the same for the whole row and X moves by a whole source pixel per
// column, so the weights are the row's constants. Unmoved by a fraction (tx = ty = 0) with
// no mask, the bilinear sum is p00 * 65536 >> 16, the source pixel itself.
void RowTransformer::shiftedRow(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t from, int32_t to) const
{
    const RowWalk walk = walkRow(r, from, to); // Y is the same for the whole row
    const int32_t W = g_.sourceWidth, H = g_.sourceHeight, Y = walk.Y, end = walk.end;
    // The last column truncates toward zero, so it may still reach row 0 from Y just below 0.
    lastColumn(r, outRow, outMask, to);
    if (Y < 0 || (Y >> 10) >= H)
        return;
    const int32_t iy = Y >> 10, iy1 = iy == H - 1 ? iy : iy + 1;
    const int32_t ty = (Y & 1023) >> 2;
    const int32_t stepX = walk.stepX; // +-1024
    const int32_t tx = (walk.X & 1023) >> 2; // the same for every column
    const uint16_t* m0 = mask_.values ? mask_.values + size_t(iy) * size_t(W) : nullptr;
    const uint16_t* m1 = mask_.values ? mask_.values + size_t(iy1) * size_t(W) : nullptr;
    const uint8_t* row0 = at(0, iy);
    const uint8_t* row1 = at(0, iy1);
    const bool plainCopy = tx == 0 && ty == 0 && !m0;
    if (plainCopy && stepX == 1024) {
        // Column col reads source pixel ix0 + col: one run of whole rows.
        const int32_t ix0 = (walk.X >> 10) - from;
        const int32_t a = std::max(from, -ix0), b = std::min(end, W - ix0);
        if (b > a) {
            std::memcpy(outRow + 3 * size_t(a), row0 + 3 * size_t(ix0 + a), 3 * size_t(b - a));
            std::fill(outMask + a, outMask + b, uint16_t(65535));
        }
        return;
    }

    int32_t X = walk.X;
    for (int32_t col = from; col < end; ++col, X += stepX) {
        if (X < 0 || (X >> 10) >= W)
            continue;
        const int32_t ix = X >> 10, ix1 = ix == W - 1 ? ix : ix + 1;
        uint8_t* q = outRow + 3 * size_t(col);
        const uint8_t* p00 = row0 + 3 * size_t(ix);
        if (plainCopy) {
            q[0] = p00[0];
            q[1] = p00[1];
            q[2] = p00[2];
            outMask[col] = 65535;
            continue;
        }
        uint16_t m11 = 65535;
        if (m0 && !neighboursShow(m0, m1, ix, ix1, m11))
            continue;
        blendFour(q, p00, row0 + 3 * size_t(ix1), row1 + 3 * size_t(ix), row1 + 3 * size_t(ix1), tx, ty);
        outMask[col] = m11;
    }
}

// For a whole scale s and X >= 0, fx = X / s in doubles truncates to floor(X / s), and
// 256 * fx (256 * X / s rounded, exactly) to floor(256 * X / s): a quotient that is not whole
// lies at least 1/s from the next whole number, far beyond the rounding of a 53-bit
// quotient of numbers below 2^40. So q = floor(256 * X / s), stepped along the row, gives
// ix = q >> 8 and tx = q & 255, the bits the double arithmetic gives.
void RowTransformer::wholeScaleRow(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t from, int32_t to) const
{
    const RowWalk walk = walkRow(r, from, to);
    const int32_t W = g_.sourceWidth, H = g_.sourceHeight;
    FloorStepper qx(256 * int64_t(walk.X), 256 * int64_t(walk.stepX), int64_t(g_.sx));
    FloorStepper qy(256 * int64_t(walk.Y), 256 * int64_t(walk.stepY), int64_t(g_.sy));
    const Bilinear source { base_, stride_, mask_.values, W, H };
    // X < 0 exactly when its quotient is: the scale is positive.
    for (int32_t col = from; col < walk.end; ++col, qx.step(), qy.step()) {
        if ((qx.quotient | qy.quotient) < 0)
            continue;
        const int64_t ix = qx.quotient >> 8, iy = qy.quotient >> 8;
        if (!(ix < W && iy < H))
            continue;
        const int32_t tx = int32_t(qx.quotient & 255), ty = int32_t(qy.quotient & 255);
        source.pixel(outRow, outMask, col, int32_t(ix), int32_t(iy), tx, ty);
    }
    lastColumn(r, outRow, outMask, to);
}

void RowTransformer::generalRow(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t from, int32_t to) const
{
    const RowWalk walk = walkRow(r, from, to);
    const int32_t W = g_.sourceWidth, H = g_.sourceHeight;
    const double sx = g_.sx, sy = g_.sy;
    const bool multiplyX = exactReciprocal(sx), multiplyY = exactReciprocal(sy);
    const double inverseX = 1.0 / sx, inverseY = 1.0 / sy;
    const Bilinear source { base_, stride_, mask_.values, W, H };

    int32_t X = walk.X, Y = walk.Y;
    for (int32_t col = from; col < walk.end; ++col, X += walk.stepX, Y += walk.stepY) {
        if (X < 0 || Y < 0)
            continue;
        const double fx = multiplyX ? X * inverseX : X / sx;
        const double fy = multiplyY ? Y * inverseY : Y / sy;
        const int32_t ix = int32_t(fx), iy = int32_t(fy);
        if (!(ix < W && iy < H))
            continue;
        const int32_t tx = int32_t(256 * fx) - 256 * ix;
        const int32_t ty = int32_t(256 * fy) - 256 * iy;
        source.pixel(outRow, outMask, col, ix, iy, tx, ty);
    }
    lastColumn(r, outRow, outMask, to);
}

void RowTransformer::row(int32_t r, uint8_t* pixels, uint16_t* mask, int32_t from, int32_t to) const
{
    from = std::max(from, 0);
    to = std::min(to, g_.newW);
    if (from >= to)
        return;
    // The last row takes the nearest source pixel in every column, as the last column does.
    if (r == g_.newH - 1) {
        for (int32_t col = from; col < to; ++col)
            nearest(pixels, mask, col, g_.sourceX(col, r), g_.sourceY(col, r));
    } else if (shifted_) {
        shiftedRow(r, pixels, mask, from, to);
    } else if (wholeScales_) {
        wholeScaleRow(r, pixels, mask, from, to);
    } else {
        generalRow(r, pixels, mask, from, to);
    }
}

void RowTransformer::rows(int32_t r0, int32_t r1, uint8_t* pixels, size_t pixelStride, uint16_t* masks) const
{
    // A few hundred columns of each row at a time.
    constexpr int32_t kColumns = 256;
    const size_t width = size_t(std::max<int32_t>(0, g_.newW));
    for (int32_t c0 = 0; c0 < g_.newW; c0 += kColumns)
        for (int32_t r = r0; r < r1; ++r)
            row(r, pixels + size_t(r - r0) * pixelStride, masks + size_t(r - r0) * width, c0, c0 + kColumns);
}

int transformByRows(const MaskedDib& source, const TransformGeometry& g, Progress& status, int32_t& progress,
    MaskedDib& out, bool twoThreads)
{
    RowTransformer rows;
    if (!rows.prepare(source, g)) { // no room for the copy
        if (allocateMask(out, 0))
            return kTransformOutOfMemory;
        return transformByAccessor(source, g, status, progress, out) ? kTransformDone : kTransformAborted;
    }
    // About a quarter of a million output pixels per block.
    const int32_t blockRows = std::max<int32_t>(2, 262144 / std::max<int32_t>(1, g.newW));
    // The mask rows of a run are made in its thread's scratch rows and then stored in the
    // output's form.
    const size_t width = size_t(std::max<int32_t>(0, g.newW));
    TwoThreadScratch scratch;
    if (!scratch.allocate(size_t(blockRows) * width))
        return kTransformOutOfMemory;
    std::atomic<bool> stored { true };
    const bool hasPixels = g.newW > 0 && g.newH > 0;
    const auto computeRows = [&](int32_t r0, int32_t r1, uint16_t* masks) {
        std::fill_n(masks, size_t(r1 - r0) * width, uint16_t(0));
        rows.rows(r0, r1, out.dib->row(r0), out.dib->stride(), masks);
        bool ok = true;
        for (int32_t r = r0; r < r1; ++r)
            ok = out.mask.storeRow(r, g.newW, masks + size_t(r - r0) * width) && ok;
        return ok;
    };

    const int32_t interiorRows = g.newH - 1; // rows 0 .. newH - 2
    for (int32_t r0 = 0; r0 < interiorRows; r0 += blockRows) {
        const int32_t r1 = std::min(interiorRows, r0 + blockRows);
        for (int32_t r = r0; r < r1; ++r) {
            if (status.pollEscape())
                return kTransformAborted;
            progress = 100 * r / g.newH;
            status.showProgress(progress, kProgressTransform);
        }
        if (!hasPixels)
            continue;
        splitInTwo(r0, r1, 8, twoThreads, [&](int32_t a, int32_t b) {
            if (!computeRows(a, b, scratch.mine()))
                stored = false;
        });
        if (!stored)
            return kTransformOutOfMemory;
    }
    if (hasPixels && !computeRows(g.newH - 1, g.newH, scratch.mine()))
        return kTransformOutOfMemory;
    return kTransformDone;
}

} // namespace tessary
