#pragma once
// The corrections written pixel by pixel through the accessors, straight from their formulas:
// the reference the fast row-pointer forms must match byte for byte.
#include "image/pixel_access.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessary::testing {

inline int literalClamp(double v)
{
    return v < 0 ? 0 : v > 255 ? 255 : int(v);
}

struct LiteralImage {
    MaskedDib image;
    std::unique_ptr<access_pixel> pixels;
    LiteralImage(int32_t w, int32_t h, uint8_t maskFill)
        : image(make(w, h, maskFill))
        , pixels(std::make_unique<access_pixel>(image))
    {
    }
    static MaskedDib make(int32_t w, int32_t h, uint8_t maskFill)
    {
        MaskedDib m;
        if (allocateMaskedDib(h, w, m, 24) || allocateMask(m, maskFill))
            throw std::runtime_error("allocation failed");
        return m;
    }
    void write(int32_t x, int32_t row, int b, int g, int r)
    {
        (*pixels)->writePixel(x, row, PixelColour { uint8_t(b), uint8_t(g), uint8_t(r), 0 });
    }
    void setMask(int32_t x, int32_t row, uint16_t v) { image.mask[size_t(row) * image.width() + x] = v; }
    // The accessor clears row padding as it goes.
    MaskedDib take()
    {
        pixels.reset();
        return std::move(image);
    }
};

inline BgrColour literalRead(MaskedDib& image, int32_t x, int32_t row)
{
    access_pixel p(image);
    p->readPixel(x, row);
    return currentPixel;
}

inline uint16_t literalMask(const MaskedDib& image, int32_t x, int32_t row)
{
    return image.mask[size_t(row) * image.width() + x];
}

inline MaskedDib literalGray(MaskedDib& backup)
{
    const int32_t w = backup.width(), h = backup.height();
    LiteralImage out(w, h, 0xFF);
    for (int32_t row = 0; row < h; ++row)
        for (int32_t x = 0; x < w; ++x) {
            const BgrColour c = literalRead(backup, x, row);
            int gray = (int(19.2 * c.red) + int(37.76 * c.green) + int(7.04 * c.blue)) / 64;
            gray = gray < 0 ? 0 : gray > 255 ? 255 : gray;
            out.write(x, row, gray, gray, gray);
            out.setMask(x, row, literalMask(backup, x, row));
        }
    return out.take();
}

// Channel order of b, c: red, green, blue.
inline MaskedDib literalTone(MaskedDib& backup, const int b[3], const int c[3], int m)
{
    const int32_t w = backup.width(), h = backup.height();
    auto one = [m](int x, int bb, int cc) {
        const int k = (cc * cc) / 256;
        const int g = ((((x * (x - 255)) >> 8) * m) >> 8) + (m / 4);
        const int s = g + x + bb - 255;
        const int y = ((s * k + 2032) >> 4) + bb - 128;
        return y < 0 ? 0 : y > 255 ? 255 : y;
    };
    LiteralImage out(w, h, 0xFF);
    for (int32_t row = 0; row < h; ++row)
        for (int32_t x = 0; x < w; ++x) {
            const BgrColour p = literalRead(backup, x, row);
            out.write(x, row, one(p.blue, b[2], c[2]), one(p.green, b[1], c[1]), one(p.red, b[0], c[0]));
            out.setMask(x, row, literalMask(backup, x, row));
        }
    return out.take();
}

inline MaskedDib literalTrapezoid(MaskedDib& backup, int R, int P, bool invert)
{
    const int32_t W = backup.width(), H = backup.height();
    LiteralImage out(W, H, 0);
    const double k = 100 / (R == 0 ? 0.0001 : double(R));
    const double a = P * (k - 1) / 100 * W;
    for (int32_t i = 0; i < H; ++i) {
        double t = double(i) / H;
        if (invert)
            t = 1 - t;
        for (int32_t x = 0; x < W; ++x) {
            const double l = (x * k - t * a) / (t + k * (1 - t));
            if (l < 0)
                continue;
            const int s = int(l);
            if (s + 1 >= W)
                continue;
            const BgrColour p0 = literalRead(backup, s, i);
            const BgrColour p1 = literalRead(backup, s + 1, i);
            const double wt = 1 - (l - s);
            out.write(x, i, literalClamp(wt * p0.blue + (1 - wt) * p1.blue),
                literalClamp(wt * p0.green + (1 - wt) * p1.green),
                literalClamp(wt * p0.red + (1 - wt) * p1.red));
            out.setMask(x, i, literalMask(backup, s, i));
        }
    }
    return out.take();
}

inline MaskedDib literalSkew(MaskedDib& backup, int A)
{
    const int32_t W = backup.width(), H = backup.height();
    const double theta = A * 3.14159 / 180;
    const double S = H * std::sin(theta), C = std::cos(theta), T = std::tan(theta);
    const int32_t W2 = int32_t(W + std::fabs(S)), H2 = int32_t(H * C);
    const int32_t o = A >= 0 ? 0 : int32_t(S);
    LiteralImage out(W2, H2, 0);
    auto inside = [&](int x, int y) { return x >= 0 && x < W && y >= 0 && y < H; };
    for (int32_t r = 0; r < H2; ++r)
        for (int32_t x = 0; x < W2; ++x) {
            const double fx = o + x - r * T, fy = r / C;
            if (fx <= -1 || fx >= W)
                continue;
            const int sx = int(fx), sy = int(fy);
            if (r < H2 - 1 && x < W2 - 1) {
                if (!inside(sx, sy) || !inside(sx + 1, sy + 1))
                    continue;
                const int fracX = int(256 * fx) - 256 * sx, fracY = int(256 * fy) - 256 * sy;
                const BgrColour q[4] = { literalRead(backup, sx, sy), literalRead(backup, sx + 1, sy),
                    literalRead(backup, sx, sy + 1), literalRead(backup, sx + 1, sy + 1) };
                const long wts[4] = { long(256 - fracX) * (256 - fracY), long(fracX) * (256 - fracY),
                    long(256 - fracX) * fracY, long(fracX) * fracY };
                auto mix = [&](auto component) {
                    long sum = 0;
                    for (int n = 0; n < 4; ++n)
                        sum += wts[n] * component(q[n]);
                    sum >>= 16;
                    return int(sum < 0 ? 0 : sum > 255 ? 255 : sum);
                };
                out.write(x, r, mix([](BgrColour c) { return c.blue; }),
                    mix([](BgrColour c) { return c.green; }), mix([](BgrColour c) { return c.red; }));
            } else if (r < H2 - 1) {
                if (!inside(sx, sy))
                    continue;
                const BgrColour p = literalRead(backup, sx, sy);
                out.write(x, r, p.blue, p.green, p.red);
            } else if (x < W2 - 1) {
                if (!inside(sx, sy) || !inside(sx + 1, sy))
                    continue;
                const BgrColour p0 = literalRead(backup, sx, sy), p1 = literalRead(backup, sx + 1, sy);
                const double wt = 1 - (fx - sx);
                out.write(x, r, literalClamp(wt * p0.blue + (1 - wt) * p1.blue),
                    literalClamp(wt * p0.green + (1 - wt) * p1.green),
                    literalClamp(wt * p0.red + (1 - wt) * p1.red));
            } else {
                continue;
            }
            out.setMask(x, r, literalMask(backup, sx, sy));
        }
    return out.take();
}

// The pincushion correction from a radius table (entries past the table read 0).
inline MaskedDib literalPincushion(MaskedDib& backup, const std::vector<double>& table)
{
    const int32_t W = backup.width(), H = backup.height();
    const int32_t cx = W / 2, cy = H / 2;
    LiteralImage out(W, H, 0);
    for (int32_t row = 0; row < H; ++row)
        for (int32_t x = 0; x < W; ++x) {
            const int dx = x - cx, dy = row - cy;
            const double r8 = 8 * std::sqrt(double(dx * dx + dy * dy));
            const size_t index = size_t(r8);
            const double a = index < table.size() ? table[index] : 0;
            double fx = x, fy = row;
            if (a != 0) {
                fx = cx + dx * r8 / a;
                fy = cy + dy * r8 / a;
            }
            if (fx < 0 || fy < 0 || fx >= W || fy >= H)
                continue;
            const int sx = int(fx), sy = int(fy);
            if (row <= H - 2 && x <= W - 2) {
                const int x0 = sx + 1 == W ? sx - 1 : sx;
                const int y1 = sy + 1 == H ? sy : sy + 1;
                const int fracX = int(256 * fx) - 256 * x0, fracY = int(256 * fy) - 256 * sy;
                const BgrColour q[4] = { literalRead(backup, x0, sy), literalRead(backup, x0 + 1, sy),
                    literalRead(backup, x0, y1), literalRead(backup, x0 + 1, y1) };
                const long wts[4] = { long(256 - fracX) * (256 - fracY), long(fracX) * (256 - fracY),
                    long(256 - fracX) * fracY, long(fracX) * fracY };
                int c[3];
                for (int k = 0; k < 3; ++k) {
                    long sum = 0;
                    for (int n = 0; n < 4; ++n)
                        sum += wts[n] * (k == 0 ? q[n].blue : k == 1 ? q[n].green : q[n].red);
                    sum >>= 16;
                    c[k] = int(sum < 0 ? 0 : sum > 255 ? 255 : sum);
                }
                out.write(x, row, c[0], c[1], c[2]);
            } else {
                const BgrColour p = literalRead(backup, sx, sy);
                out.write(x, row, p.blue, p.green, p.red);
            }
            out.setMask(x, row, literalMask(backup, sx, sy));
        }
    return out.take();
}

// The cylindrical projection with slider positions left, right (0..180) and elevation e.
inline MaskedDib literalCylindrical(MaskedDib& backup, int left, int right, int e)
{
    const int32_t W = backup.width(), H = backup.height();
    const double pi = 3.14159;
    const double dL = left / 180.0, dR = right / 180.0;
    const double E0 = (e - 50) / 100.0 * H;
    const double aL = std::acos(1 - 2 * dL) / pi, aR = std::acos(1 - 2 * dR) / pi;
    const int K = H / 2, We = W - W % 2;
    LiteralImage out(W, H, 0);
    auto inside = [&](int x, int y) { return x >= 0 && x < W && y >= 0 && y < H; };
    auto channel = [](const BgrColour& c, int k) { return k == 0 ? c.blue : k == 1 ? c.green : c.red; };
    for (int32_t row = 0; row < H; ++row)
        for (int32_t x = 0; x < W; ++x) {
            const double phi = (x * (dR - dL) + W * dL - W / 2) * pi / We;
            const double c = std::cos(phi);
            if (c < 0.00001)
                continue;
            const double fy = (row - K + E0) / c + (K - E0);
            const double fx = dL == dR
                ? x
                : W * (std::acos(1 - 2 * (dL + (double(x) / W) * (dR - dL))) / pi - aL) / (aR - aL);
            if (fx <= -1 || fx >= W || fy <= -1 || fy >= H)
                continue;
            const int sx = int(fx), sy = int(fy);
            const int fracX = int(256 * fx) - 256 * sx, fracY = int(256 * fy) - 256 * sy;
            int out3[3];
            if (row <= H - 2 && x <= W - 2) {
                if (!inside(sx, sy) || !inside(sx + 1, sy + 1))
                    continue;
                const BgrColour q[4] = { literalRead(backup, sx, sy), literalRead(backup, sx + 1, sy),
                    literalRead(backup, sx, sy + 1), literalRead(backup, sx + 1, sy + 1) };
                for (int k = 0; k < 3; ++k) {
                    long sum = long(256 - fracX) * (256 - fracY) * channel(q[0], k)
                        + long(fracX) * (256 - fracY) * channel(q[1], k)
                        + long(256 - fracX) * fracY * channel(q[2], k)
                        + long(fracX) * fracY * channel(q[3], k);
                    sum >>= 16;
                    out3[k] = int(sum < 0 ? 0 : sum > 255 ? 255 : sum);
                }
            } else if (row <= H - 2) {
                if (!inside(sx, sy) || !inside(sx, sy + 1))
                    continue;
                const BgrColour p0 = literalRead(backup, sx, sy), p1 = literalRead(backup, sx, sy + 1);
                for (int k = 0; k < 3; ++k) {
                    const long v = (long(256 - fracY) * channel(p0, k) + long(fracY) * channel(p1, k)) >> 8;
                    out3[k] = int(v < 0 ? 0 : v > 255 ? 255 : v);
                }
            } else if (x <= W - 2) {
                if (!inside(sx, sy) || !inside(sx + 1, sy))
                    continue;
                const BgrColour p0 = literalRead(backup, sx, sy), p1 = literalRead(backup, sx + 1, sy);
                for (int k = 0; k < 3; ++k) {
                    const long v = (long(256 - fracX) * channel(p0, k) + long(fracX) * channel(p1, k)) >> 8;
                    out3[k] = int(v < 0 ? 0 : v > 255 ? 255 : v);
                }
            } else {
                continue;
            }
            out.write(x, row, out3[0], out3[1], out3[2]);
            out.setMask(x, row, literalMask(backup, sx, sy));
        }
    return out.take();
}

// Whether `result` is `source` pixel for pixel and mask for mask, except its top-right pixel,
// which must be transparent (the corner the resampling corrections leave unwritten).
inline std::string copyExceptTopRight(const MaskedDib& result, const MaskedDib& source)
{
    const int32_t w = source.width(), h = source.height();
    if (result.width() != w || result.height() != h)
        return "size differs";
    for (int32_t row = 0; row < h; ++row)
        for (int32_t x = 0; x < w; ++x) {
            const uint16_t mask = literalMask(result, x, row);
            const std::string at = std::to_string(x) + "," + std::to_string(row);
            if (row == h - 1 && x == w - 1) {
                if (mask != kTransparent)
                    return "corner not transparent";
                continue;
            }
            if (std::memcmp(result.dib->row(row) + 3 * size_t(x), source.dib->row(row) + 3 * size_t(x), 3)
                != 0)
                return "pixel differs at " + at;
            if (mask != literalMask(source, x, row))
                return "mask differs at " + at;
        }
    return {};
}

} // namespace tessary::testing
