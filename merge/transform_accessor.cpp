#include "app/progress.h"
#include "image/pixel_access.h"
#include "merge/progress_colours.h"
#include "merge/transform_passes.h"

namespace tessary {

SourceMask sourceMaskOf(const MaskedDib& source, const TransformGeometry& g)
{
    const uint64_t count = uint64_t(uint32_t(g.sourceWidth)) * uint64_t(uint32_t(g.sourceHeight));
    // An opaque fact reads as no mask: 65535 everywhere either way. Row spans are read from
    // their whole copy (made before the passes, see checkTransformSource).
    const uint16_t* values = source.mask.spans() ? source.mask.get() : source.mask.realValues();
    if (values && source.maskCount >= count)
        return SourceMask { values, g.sourceWidth };
    return SourceMask { nullptr, g.sourceWidth };
}

int checkTransformSource(const MaskedDib& source)
{
    if (!source.dib)
        return kTransformNoSource;
    const int format = checkSourceFormat(*source.dib);
    if (format != kTransformDone)
        return format;
    if (source.mask.spans() && !source.mask.get())
        return kTransformOutOfMemory;
    return kTransformDone;
}

namespace {
// Nearest neighbour for the last column and the last row: the pixel at the truncated source
// point, made fully opaque.
void copyNearest(Crw_pixel& from, Crw_pixel& to, const SourceMask& mask, const TransformGeometry& g,
    MaskedDib& out, int32_t col, int32_t r)
{
    const double fx = g.sourceX(col, r) / g.sx;
    const double fy = g.sourceY(col, r) / g.sy;
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    if (ix < 0 || iy < 0 || ix >= g.sourceWidth || iy >= g.sourceHeight)
        return;
    if (from.readPixel(ix, iy) < 0 || mask.at(ix, iy) == 0)
        return;
    to.writePixel(col, r, pixelColourOf(currentPixel));
    out.mask[size_t(r) * size_t(g.newW) + size_t(col)] = 65535;
}
}

bool transformByAccessor(
    const MaskedDib& source, const TransformGeometry& g, Progress& status, int32_t& progress, MaskedDib& out)
{
    // Reading never changes the source, so its row padding is left alone.
    access_pixel fromOwner(const_cast<PackedDib&>(*source.dib));
    fromOwner->keepPadding();
    Crw_pixel& from = *fromOwner.accessor();
    // An image without pixels has no accessor; the row loop below then only polls.
    access_pixel toOwner(out);
    const SourceMask mask = sourceMaskOf(source, g);
    const int32_t W = g.sourceWidth, H = g.sourceHeight;

    for (int32_t r = 0; r <= g.newH - 2; ++r) {
        if (status.pollEscape())
            return false;
        progress = 100 * r / g.newH;
        status.showProgress(progress, kProgressTransform);
        if (!toOwner)
            continue;
        Crw_pixel& to = *toOwner.accessor();
        for (int32_t col = 0; col <= g.newW - 2; ++col) {
            const int32_t X = g.sourceX(col, r);
            const int32_t Y = g.sourceY(col, r);
            if (X < 0 || Y < 0)
                continue;
            const double fx = X / g.sx;
            const double fy = Y / g.sy;
            const int32_t ix = int32_t(fx), iy = int32_t(fy);
            if (!(ix < W && iy < H))
                continue;
            const int32_t ix1 = ix == W - 1 ? ix : ix + 1;
            const int32_t iy1 = iy == H - 1 ? iy : iy + 1;

            if (from.readPixel(ix, iy) < 0 || mask.at(ix, iy) == 0)
                continue;
            const BgrColour p00 = currentPixel;
            if (from.readPixel(ix, iy1) < 0 || mask.at(ix, iy1) == 0)
                continue;
            const BgrColour p01 = currentPixel;
            if (from.readPixel(ix1, iy) < 0 || mask.at(ix1, iy) == 0)
                continue;
            const BgrColour p10 = currentPixel;
            if (from.readPixel(ix1, iy1) < 0 || mask.at(ix1, iy1) == 0)
                continue;
            const BgrColour p11 = currentPixel;

            const int32_t tx = int32_t(256 * fx) - 256 * ix;
            const int32_t ty = int32_t(256 * fy) - 256 * iy;
            const int32_t w00 = (256 - tx) * (256 - ty), w10 = tx * (256 - ty);
            const int32_t w01 = (256 - tx) * ty, w11 = tx * ty;
            const auto mix = [&](uint8_t a00, uint8_t a10, uint8_t a01, uint8_t a11) {
                return uint8_t((a00 * w00 + a10 * w10 + a01 * w01 + a11 * w11) >> 16);
            };
            PixelColour c;
            c.blue = mix(p00.blue, p10.blue, p01.blue, p11.blue);
            c.green = mix(p00.green, p10.green, p01.green, p11.green);
            c.red = mix(p00.red, p10.red, p01.red, p11.red);
            to.writePixel(col, r, c);
            out.mask[size_t(r) * size_t(g.newW) + size_t(col)] = mask.at(ix1, iy1);
        }
        copyNearest(from, to, mask, g, out, g.newW - 1, r);
    }
    if (toOwner) {
        for (int32_t col = 0; col < g.newW; ++col)
            copyNearest(from, *toOwner.accessor(), mask, g, out, col, g.newH - 1);
    }
    return true;
}

} // namespace tessary
