#include "align/preview_sampling.h"

#include "align/rotate_half_extents.h"
#include "image/pixel_access.h"
#include "merge/split_work.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

namespace tessary {

namespace {
// Preview pixel value from the sums of `count` covering layers.
inline uint8_t channel(uint32_t sum, uint32_t count, bool pale)
{
    if (count == 0)
        return pale ? 127 : 0;
    const uint32_t mean = sum / count;
    return uint8_t(pale ? mean / 2 + 127 : mean);
}

// Layout coordinate sampled by preview column or row i.
inline int32_t samplePoint(int32_t i, float s)
{
    return truncToInt32(float(i) * s);
}

bool sampleWithAccessors(MaskedDib& preview, float s, std::span<const PreviewLayer> layers, bool pale)
{
    std::vector<std::unique_ptr<access_pixel>> readers;
    for (const PreviewLayer& layer : layers) {
        readers.push_back(std::make_unique<access_pixel>(*layer.image));
        if (*readers.back())
            (*readers.back())->keepPadding(); // reading only: leave the source's bytes alone
    }
    access_pixel writer(preview);
    const int32_t W = preview.width(), H = preview.height();
    bool overlap = false;
    for (int32_t r = 0; r < H; ++r) {
        const int32_t Y0 = samplePoint(r, s);
        for (int32_t c = 0; c < W; ++c) {
            const int32_t X0 = samplePoint(c, s);
            uint32_t blue = 0, green = 0, red = 0, count = 0;
            for (size_t j = 0; j < layers.size(); ++j) {
                if (!*readers[j])
                    continue;
                const int64_t u = int64_t(X0) - layers[j].posX;
                const int64_t v = int64_t(Y0) - layers[j].posY;
                const MaskedDib& image = *layers[j].image;
                if (u < 0 || v < 0 || u >= image.width() || v >= image.height())
                    continue;
                if ((*readers[j])->readPixel(int32_t(u), int32_t(v)) == -1)
                    continue;
                if (image.mask && image.mask[size_t(v) * size_t(image.width()) + size_t(u)] == 0)
                    continue;
                blue += currentPixel.blue;
                green += currentPixel.green;
                red += currentPixel.red;
                ++count;
            }
            if (count > 1)
                overlap = true;
            const PixelColour out { channel(blue, count, pale), channel(green, count, pale),
                channel(red, count, pale), 0 };
            writer->writePixel(c, r, out);
        }
    }
    return overlap;
}

// The columns whose sample point falls inside a layer: sample points never decrease with the
// column, so they form one run [begin, end).
struct ColumnRun {
    int32_t begin = 0;
    int32_t end = 0;
};

bool sampleRows(MaskedDib& preview, std::span<const PreviewLayer> layers, const std::vector<int32_t>& columnX,
    const std::vector<ColumnRun>& runs, float s, bool pale, int32_t rowBegin, int32_t rowEnd)
{
    const int32_t W = preview.width();
    std::vector<uint32_t> sums(static_cast<size_t>(W) * 4);
    // One scratch row for the layer being read, for masks held as row spans.
    int32_t widest = 0;
    for (const PreviewLayer& layer : layers)
        widest = std::max(widest, layer.image->width());
    std::vector<uint16_t> scratch(static_cast<size_t>(widest));
    bool overlap = false;
    for (int32_t r = rowBegin; r < rowEnd; ++r) {
        const int32_t Y0 = samplePoint(r, s);
        std::fill(sums.begin(), sums.end(), 0u);
        for (size_t j = 0; j < layers.size(); ++j) {
            const MaskedDib& image = *layers[j].image;
            const int64_t v = int64_t(Y0) - layers[j].posY;
            if (v < 0 || v >= image.height() || runs[j].begin >= runs[j].end)
                continue;
            const uint8_t* pixels = image.dib->row(int32_t(v));
            const int32_t posX = layers[j].posX;
            const int32_t firstU = int32_t(int64_t(columnX[size_t(runs[j].begin)]) - posX);
            const int32_t endU = int32_t(int64_t(columnX[size_t(runs[j].end - 1)]) - posX) + 1;
            const uint16_t* mask
                = image.mask ? image.maskValues(int32_t(v), firstU, endU, scratch.data()) : nullptr;
            for (int32_t c = runs[j].begin; c < runs[j].end; ++c) {
                const size_t u = size_t(int64_t(columnX[size_t(c)]) - posX);
                if (mask && mask[u] == 0)
                    continue;
                const uint8_t* p = pixels + 3 * u;
                uint32_t* sum = &sums[size_t(c) * 4];
                sum[0] += p[0];
                sum[1] += p[1];
                sum[2] += p[2];
                sum[3] += 1;
            }
        }
        uint8_t* out = preview.dib->row(r);
        for (int32_t c = 0; c < W; ++c, out += 3) {
            const uint32_t* sum = &sums[size_t(c) * 4];
            if (sum[3] > 1)
                overlap = true;
            out[0] = channel(sum[0], sum[3], pale);
            out[1] = channel(sum[1], sum[3], pale);
            out[2] = channel(sum[2], sum[3], pale);
        }
    }
    return overlap;
}
}

bool samplePreview(
    MaskedDib& preview, float viewScale, std::span<const PreviewLayer> layers, bool pale, PixelPath path)
{
    if (preview.empty() || preview.width() <= 0 || preview.height() <= 0)
        return false;
    const bool rowsReadable = preview.dib->bitCount() == 24
        && std::all_of(layers.begin(), layers.end(), [](const PreviewLayer& l) {
               return l.image && !l.image->empty() && l.image->dib->bitCount() == 24;
           });
    if (path == PixelPath::Accessor || !rowsReadable)
        return sampleWithAccessors(preview, viewScale, layers, pale);

    const int32_t W = preview.width();
    std::vector<int32_t> columnX(static_cast<size_t>(W));
    for (int32_t c = 0; c < W; ++c)
        columnX[size_t(c)] = samplePoint(c, viewScale);
    std::vector<ColumnRun> runs;
    for (const PreviewLayer& layer : layers) {
        const int64_t first = layer.posX, last = int64_t(layer.posX) + layer.image->width();
        const auto begin = std::lower_bound(
            columnX.begin(), columnX.end(), first, [](int32_t x, int64_t v) { return int64_t(x) < v; });
        const auto end = std::lower_bound(
            begin, columnX.end(), last, [](int32_t x, int64_t v) { return int64_t(x) < v; });
        runs.push_back(ColumnRun { int32_t(begin - columnX.begin()), int32_t(end - columnX.begin()) });
    }

    std::atomic<bool> overlap { false };
    splitInTwo(0, preview.height(), 32, path == PixelPath::RowsTwoThreads, [&](int32_t begin, int32_t end) {
        if (sampleRows(preview, layers, columnX, runs, viewScale, pale, begin, end))
            overlap = true;
    });
    return overlap;
}

} // namespace tessary
