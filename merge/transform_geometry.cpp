#include "merge/transform_geometry.h"

#include "image/pixel_access.h"

#include <cmath>
#include <cstdlib>

namespace tessary {

TransformGeometry computeTransformGeometry(
    int32_t width, int32_t height, double sx, double sy, double angle, bool mirrored)
{
    TransformGeometry g;
    if (sx < 1.0)
        sx = 1.0;
    if (sy < 1.0)
        sy = 1.0;
    g.sourceWidth = width;
    g.sourceHeight = height < 0 ? -height : height;
    g.sx = sx;
    g.sy = sy;
    g.mirrored = mirrored;

    const double theta = angle * kDegreesToRadians;
    const double m = g.sourceWidth * sx / 1024;
    const double o = g.sourceHeight * sy / 1024;
    const double wide = m * std::fabs(std::cos(theta)) + o * std::fabs(std::sin(theta));
    const double high = m * std::fabs(std::sin(theta)) + o * std::fabs(std::cos(theta));
    // Anything this large fails the image allocation anyway; stopping here keeps the conversions
    // to integers defined.
    constexpr double limit = double(kMaxImageSide) + 1.0;
    if (!(wide >= 0.0 && wide < limit && high >= 0.0 && high < limit))
        return g;
    g.newW = int32_t(wide);
    g.newH = int32_t(high);
    g.hx = g.newW / 2;
    g.hy = g.newH / 2;
    g.offX = int32_t(1024 * (g.newW - m)) / 2;
    g.offY = int32_t(1024 * (g.newH - o)) / 2;

    double v = 2 * std::sin(theta / 2);
    if (mirrored)
        v = -v;
    g.A = int32_t(1024 * v * v) / 2;
    g.B = int32_t(1024 * v * std::sqrt(4 - v * v)) / 2;
    g.C = 1024 - g.A;
    g.valid = true;
    return g;
}

int checkSourceFormat(const PackedDib& dib)
{
    const BitmapInfoHeader h = dib.header();
    if (h.biBitCount == 0)
        return kTransformUnsupported;
    if (h.biBitCount == 16 && h.biCompression != 0 && h.biCompression != 3)
        return kTransformUnsupported;
    if ((h.biBitCount == 4 && h.biCompression == 2) || (h.biBitCount == 8 && h.biCompression == 1))
        return kTransformRle;
    // Only read what an accessor can be made for: a known depth whose rows all lie in the block.
    access_pixel probe(const_cast<PackedDib&>(dib));
    if (!probe)
        return kTransformUnsupported;
    probe->keepPadding();
    return kTransformDone;
}

} // namespace tessary
