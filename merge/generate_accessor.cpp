// The target passes pixel by pixel through the accessors, column by column as the generator
// has always walked the image.
#include "app/progress.h"
#include "image/pixel_access.h"
#include "merge/generate_passes.h"
#include "merge/progress_colours.h"

#include <limits>
#include <memory>

namespace tessary {

namespace {
// Reading never changes a transformed source, so its padding is kept as it is.
std::unique_ptr<access_pixel> readerOf(const MaskedDib& image)
{
    auto owner = std::make_unique<access_pixel>(const_cast<MaskedDib&>(image));
    if (*owner)
        (*owner)->keepPadding();
    return owner;
}

bool fitsInt32(int64_t v)
{
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}
}

void mergeByAccessor(const MergeSetup& setup, MaskedDib& merged, Progress& status, int32_t& progress)
{
    const int32_t W = setup.width, H = setup.height;
    PerPlace<std::unique_ptr<access_pixel>> readers;
    for (int32_t i = 0; i < setup.count; ++i)
        readers[size_t(i)] = readerOf(*setup.layers[size_t(i)].image);
    access_pixel writer(merged);
    if (writer)
        writer->keepPadding();

    const std::unique_ptr<CPixel> op = makeMergeOperator(setup.mergeType, setup.context);
    MergeSample sample;
    sample.fadeEdge = setup.fadeEdge;
    sample.biasWeight = setup.biasWeight;
    sample.status.fill(-1);

    for (int32_t x = 0; x < W; ++x) {
        for (int32_t y = 0; y < H; ++y) {
            BgrColour colour = toBgr(setup.context.backgroundColour);
            int32_t bestTop = 0, bestBottom = 0;
            bool middleFound = false;
            for (int32_t i = 0; i < setup.count; ++i) {
                const size_t s = size_t(i);
                const MergeLayer& layer = setup.layers[s];
                const int64_t u64 = int64_t(x) - layer.posX, v64 = int64_t(y) - layer.posY;
                Crw_pixel* reader = readers[s]->accessor();
                if (!reader || !fitsInt32(u64) || !fitsInt32(v64)
                    || reader->readPixel(int32_t(u64), int32_t(v64)) < 0) {
                    sample.status[s] = -1;
                    continue;
                }
                const int32_t u = int32_t(u64), v = int32_t(v64);
                const BgrColour pixel = currentPixel;
                const uint16_t m = layer.maskAt(u, v);
                if (m == 0) {
                    sample.status[s] = -1;
                    continue;
                }
                if (!joinsMiddle(layer, pixel, bestTop, bestBottom, colour))
                    continue;
                sample.status[s] = 0;
                sample.colour[s] = pixel;
                sample.relX[s] = double(u) / layer.width;
                sample.relY[s] = double(v) / layer.height;
                sample.blend[s] = m;
                middleFound = true;
            }
            if (bestTop == 0 && middleFound)
                op->mergePixel(sample, colour);
            writer->writePixel(x, y, pixelColourOf(colour));
        }
        progress = 100 * x / W;
        status.showProgress(progress, kProgressMerging);
    }
}

bool prepareByAccessor(
    const MaskedDib& merged, MaskedDib& final, const PrepareSetup& setup, Progress& status, int32_t& progress)
{
    const int32_t W = merged.width(), H = merged.height();
    const std::unique_ptr<access_pixel> reader = readerOf(merged);
    access_pixel writer(final);
    if (writer)
        writer->keepPadding();
    const int32_t b = setup.brightness, k = setup.contrast;
    for (int32_t x = 0; x < W; ++x) {
        for (int32_t y = 0; y < H; ++y) {
            (*reader)->readPixel(x, y);
            const BgrColour c = currentPixel;
            const BgrColour out { adjustChannel(c.blue, b, k), adjustChannel(c.green, b, k),
                adjustChannel(c.red, b, k) };
            writer->writePixel(x + setup.marginX, y + setup.marginY, pixelColourOf(out));
        }
        progress = 100 * x / W;
        status.showProgress(progress, kProgressPreparing);
        if (status.pollEscape())
            return false;
    }
    return true;
}

void paintMarginsByAccessor(MaskedDib& final, const PrepareSetup& setup)
{
    access_pixel writer(final);
    if (!writer)
        return;
    writer->keepPadding();
    const int32_t fw = final.width(), fh = final.height();
    const PixelColour colour = pixelColourOf(toBgr(setup.marginColour));
    for (int32_t x = 0; x < fw; ++x) {
        const bool band = x < setup.marginX || x >= fw - setup.marginX;
        for (int32_t y = 0; y < fh; ++y)
            if (band || y < setup.marginY || y >= fh - setup.marginY)
                writer->writePixel(x, y, colour);
    }
}

} // namespace tessary
