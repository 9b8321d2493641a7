// The target passes on rows: the transformed sources, the merge image and the target are all 24
// bits deep, so pixels are read and written in place. The image is walked in blocks of columns,
// row by row inside a block (the rows of a block split over two threads), and the per-column
// progress steps and Esc polls of a block are made afterwards on the calling thread, in the same
// order and number as the column-by-column accessor passes make them. Each thread fills its own
// MergeSample, and the merge operators' kernels are called directly, so every byte is the same.
#include "app/progress.h"
#include "merge/average_runs.h"
#include "merge/generate_passes.h"
#include "merge/progress_colours.h"
#include "merge/row_transformer.h"
#include "merge/split_work.h"
#include "merge/unmasked_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessary {

namespace {
using Kernel = void (*)(const MergeSample&, const MergeContext&, BgrColour&);

// Columns per block: about a million pixels, a few hundredths of a second of merging, so the
// progress bar and the Esc polls keep pace.
int32_t blockColumns(int32_t height)
{
    return std::max<int32_t>(1, (1 << 20) / std::max<int32_t>(1, height));
}

// A source's row at merge row y, or none when the row lies outside it.
struct LayerRow {
    const uint8_t* pixels = nullptr;
    const uint16_t* mask = nullptr;
    double relY = 0.0;
    int32_t v = 0;
};

// Where a single middle source contributes, fully opaque and without fade edge, its weight is
// its bias weight alone, the extreme of a selecting operator is its own key, and every channel
// comes out as (w * c) / w truncated. That depends only on the channel value, so the operator's
// own result for each grey level c, worked out once, serves every such pixel.
struct SingleSourceTable {
    bool usable = false;
    uint8_t channel[256] {};
};
using SingleSourceTables = PerPlace<SingleSourceTable>;

template <Kernel merge>
bool fillSingleSourceTable(const MergeSetup& setup, size_t s, SingleSourceTable& table)
{
    // A weight of 0 (or no number) gives the background colour, which is no function of c.
    const double weight = setup.biasWeight[s];
    if (setup.fadeEdge[s] == 1 || !(weight > 0.0) || !std::isfinite(weight))
        return false;
    MergeSample sample;
    sample.status.fill(-1);
    sample.fadeEdge = setup.fadeEdge;
    sample.biasWeight = setup.biasWeight;
    sample.status[s] = 0;
    sample.blend[s] = 65535;
    for (int c = 0; c < 256; ++c) {
        sample.colour[s] = BgrColour { uint8_t(c), uint8_t(c), uint8_t(c) };
        BgrColour out;
        merge(sample, setup.context, out);
        table.channel[c] = out.blue;
    }
    return true;
}

template <Kernel merge> SingleSourceTables singleSourceTables(const MergeSetup& setup)
{
    SingleSourceTables tables {};
    for (int32_t i = 0; i < setup.count; ++i)
        tables[size_t(i)].usable = fillSingleSourceTable<merge>(setup, size_t(i), tables[size_t(i)]);
    return tables;
}

// The columns [a, b) of a row where the same sources cover every pixel, split at the edges of
// the sources present in the row.
template <typename Visit>
void forEachCoveredRun(const MergeSetup& setup, const PerPlace<LayerRow>& rows, int32_t x0, int32_t x1, Visit&& visit)
{
    int64_t edges[2 * kMaxSources + 2];
    int32_t count = 0;
    edges[count++] = x0;
    edges[count++] = x1;
    for (int32_t i = 0; i < setup.count; ++i) {
        const MergeLayer& layer = setup.layers[size_t(i)];
        if (!rows[size_t(i)].pixels)
            continue;
        for (const int64_t e : { int64_t(layer.posX), int64_t(layer.posX) + layer.width })
            if (e > x0 && e < x1)
                edges[count++] = e;
    }
    std::sort(edges, edges + count);
    for (int32_t k = 0; k + 1 < count; ++k)
        if (edges[k] < edges[k + 1])
            visit(int32_t(edges[k]), int32_t(edges[k + 1]));
}

// Where each layer's mask values are written when its mask is held as row spans: the layers'
// places in a thread's scratch row, and the scratch rows of the two threads.
struct LayerScratch {
    PerPlace<size_t> offset {};
    size_t total = 0;
    TwoThreadScratch rows;

    bool allocate(const MergeSetup& setup)
    {
        for (int32_t i = 0; i < setup.count; ++i) {
            const MergeLayer& layer = setup.layers[size_t(i)];
            offset[size_t(i)] = total;
            if (layer.image && layer.hasMask() && layer.image->mask.spans())
                total += size_t(std::max<int32_t>(0, layer.width));
        }
        return rows.allocate(total);
    }
};

template <Kernel merge>
void mergeRows(const MergeSetup& setup, const SingleSourceTables& single, const PerPlace<double>& runWeights,
    const LayerScratch& scratch, MaskedDib& merged, int32_t x0, int32_t x1, int32_t y0, int32_t y1)
{
    uint16_t* const scratchRow = scratch.rows.mine();
    MergeSample sample;
    sample.fadeEdge = setup.fadeEdge;
    sample.biasWeight = setup.biasWeight;
    sample.status.fill(-1);
    const BgrColour background = toBgr(setup.context.backgroundColour);
    const int32_t count = setup.count;
    PerPlace<LayerRow> rows {};
    const auto pixel = [&](int32_t x, uint8_t* out) {
        BgrColour colour = background;
        int32_t bestTop = 0, bestBottom = 0;
        bool middleFound = false;
        int32_t contributors = 0;
        size_t lastContributor = 0;
        for (int32_t i = 0; i < count; ++i) {
            const size_t s = size_t(i);
            const MergeLayer& layer = setup.layers[s];
            const LayerRow& row = rows[s];
            const int64_t u = int64_t(x) - layer.posX;
            if (!row.pixels || u < 0 || u >= layer.width) {
                sample.status[s] = -1;
                continue;
            }
            const uint16_t m = row.mask ? row.mask[u] : uint16_t(65535);
            if (m == 0) {
                sample.status[s] = -1;
                continue;
            }
            const uint8_t* p = row.pixels + 3 * size_t(u);
            const BgrColour pixel { p[0], p[1], p[2] };
            if (!joinsMiddle(layer, pixel, bestTop, bestBottom, colour))
                continue;
            sample.status[s] = 0;
            sample.colour[s] = pixel;
            sample.relX[s] = double(u) / layer.width;
            sample.relY[s] = row.relY;
            sample.blend[s] = m;
            middleFound = true;
            ++contributors;
            lastContributor = s;
        }
        if (bestTop == 0 && middleFound) {
            const SingleSourceTable& table = single[lastContributor];
            if (contributors == 1 && table.usable && sample.blend[lastContributor] == 65535) {
                const BgrColour c = sample.colour[lastContributor];
                colour = BgrColour { table.channel[c.blue], table.channel[c.green], table.channel[c.red] };
            } else {
                merge(sample, setup.context, colour);
            }
        }
        out[0] = colour.blue;
        out[1] = colour.green;
        out[2] = colour.red;
    };
    // A run of the Average over sources that all may take part is a fixed weighted mean where
    // every one of them is opaque; the other pixels of the run are then worked out one by one.
    const auto averageOrEach = [&](int32_t a, int32_t b, uint8_t* rowOut) {
        const uint8_t* pixels[kMaxSources];
        const uint16_t* masks[kMaxSources];
        double weights[kMaxSources];
        int32_t n = 0;
        bool fixed = true;
        for (int32_t i = 0; i < count && fixed; ++i) {
            const size_t s = size_t(i);
            const MergeLayer& layer = setup.layers[s];
            const LayerRow& row = rows[s];
            if (!row.pixels || a < layer.posX || int64_t(a) >= int64_t(layer.posX) + layer.width)
                continue;
            const size_t u = size_t(int64_t(a) - layer.posX);
            fixed = runWeights[s] > 0.0;
            pixels[n] = row.pixels + 3 * u;
            masks[n] = row.mask ? row.mask + u : nullptr;
            weights[n++] = runWeights[s];
        }
        if (!fixed || n == 0) {
            for (int32_t x = a; x < b; ++x)
                pixel(x, rowOut + 3 * size_t(x));
            return;
        }
        averageRun(pixels, weights, n, b - a, rowOut + 3 * size_t(a));
        if (std::none_of(masks, masks + n, [](const uint16_t* m) { return m != nullptr; }))
            return;
        // Where a source is not fully opaque the operator decides; where every one is fully
        // clear (outside a turned picture) none takes part, which leaves the background.
        for (int32_t x = a; x < b; ++x) {
            bool partial = false, clear = true;
            for (int32_t k = 0; k < n; ++k) {
                const uint16_t m = masks[k] ? masks[k][x - a] : uint16_t(65535);
                partial = partial || m != 65535;
                clear = clear && m == 0;
            }
            uint8_t* out = rowOut + 3 * size_t(x);
            if (clear) {
                out[0] = background.blue;
                out[1] = background.green;
                out[2] = background.red;
            } else if (partial) {
                pixel(x, out);
            }
        }
    };
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t i = 0; i < count; ++i) {
            const MergeLayer& layer = setup.layers[size_t(i)];
            LayerRow& row = rows[size_t(i)];
            const int64_t v = int64_t(y) - layer.posY;
            row.pixels = nullptr;
            if (v < 0 || v >= layer.height || layer.width <= 0)
                continue;
            row.v = int32_t(v);
            const int32_t held = row.v - layer.firstRow;
            row.pixels = layer.image->dib->row(held);
            // Only the block's columns of the row are read.
            const int32_t from = int32_t(std::clamp<int64_t>(int64_t(x0) - layer.posX, 0, layer.width));
            const int32_t to = int32_t(std::clamp<int64_t>(int64_t(x1) - layer.posX, 0, layer.width));
            row.mask = layer.hasMask()
                ? layer.image->maskValues(held, from, to, scratchRow + scratch.offset[size_t(i)])
                : nullptr;
            row.relY = double(row.v) / layer.height;
        }
        uint8_t* rowOut = merged.dib->row(y);
        // A plain test: the sanitizer build does not take comparisons of function addresses as
        // constant expressions; the optimiser folds it all the same.
        if (merge == merge_kernel::average) {
            forEachCoveredRun(setup, rows, x0, x1, [&](int32_t a, int32_t b) { averageOrEach(a, b, rowOut); });
        } else {
            for (int32_t x = x0; x < x1; ++x)
                pixel(x, rowOut + 3 * size_t(x));
        }
    }
}

template <Kernel merge>
void mergeBlocks(const MergeSetup& setup, const LayerScratch& scratch, MaskedDib& merged, Progress& status,
    int32_t& progress, bool twoThreads)
{
    const int32_t W = setup.width, H = setup.height;
    const int32_t block = blockColumns(H);
    const SingleSourceTables single = singleSourceTables<merge>(setup);
    const PerPlace<double> runWeights = averageRunWeights(setup);
    for (int32_t x0 = 0; x0 < W; x0 += block) {
        const int32_t x1 = std::min(W, x0 + block);
        splitInTwo(0, H, 16, twoThreads, [&](int32_t y0, int32_t y1) {
            mergeRows<merge>(setup, single, runWeights, scratch, merged, x0, x1, y0, y1);
        });
        for (int32_t x = x0; x < x1; ++x) {
            progress = 100 * x / W;
            status.showProgress(progress, kProgressMerging);
        }
    }
}

// The rows of the layers transformed during the merge, for one thread: per layer a band of a
// few transformed rows with real mask values, reused band after band.
struct LayerBands {
    PerPlace<MaskedDib> band;

    bool allocate(const MergeSetup& setup, int32_t rows)
    {
        for (int32_t i = 0; i < setup.count; ++i) {
            const MergeLayer& layer = setup.layers[size_t(i)];
            if (layer.transformer && layer.width > 0 && layer.height > 0
                && (allocateUnmaskedImage(rows, layer.width, band[size_t(i)]) || allocateMask(band[size_t(i)], 0)))
                return false;
        }
        return true;
    }

    // Transforms the rows that merge rows [y0, y1) read of every such layer into its band, and
    // points the layer of `local` (a copy of `setup`) at the band.
    void fill(const MergeSetup& setup, int32_t y0, int32_t y1, MergeSetup& local)
    {
        for (int32_t i = 0; i < setup.count; ++i) {
            const MergeLayer& layer = setup.layers[size_t(i)];
            MaskedDib& b = band[size_t(i)];
            if (!layer.transformer || b.empty())
                continue;
            const int32_t v0 = int32_t(std::clamp<int64_t>(int64_t(y0) - layer.posY, 0, layer.height));
            const int32_t v1 = int32_t(std::clamp<int64_t>(int64_t(y1) - layer.posY, 0, layer.height));
            uint16_t* const masks = b.mask.get(); // real values: no allocation
            for (int32_t v = v0; v < v1; ++v)
                std::memset(b.dib->row(v - v0), 0, 3 * size_t(layer.width));
            std::fill_n(masks, size_t(v1 - v0) * size_t(layer.width), uint16_t(0));
            layer.transformer->rows(v0, v1, b.dib->row(0), b.dib->stride(), masks);
            local.layers[size_t(i)].image = &b;
            local.layers[size_t(i)].firstRow = v0;
        }
    }
};

// The merge with layers transformed as their rows are read: the image is walked in blocks of
// rows, each split over two threads, and each thread transforms, band by band, the layer rows
// its merge rows read, so no transformed image is ever held whole. Every merged pixel is worked
// out as the column blocks work it out, from the same transformed bytes.
template <Kernel merge>
bool mergeBands(const MergeSetup& setup, const LayerScratch& scratch, MaskedDib& merged, Progress& status,
    int32_t& progress, bool twoThreads)
{
    const int32_t W = setup.width, H = setup.height;
    int32_t widest = 1;
    for (int32_t i = 0; i < setup.count; ++i)
        if (setup.layers[size_t(i)].transformer)
            widest = std::max(widest, setup.layers[size_t(i)].width);
    // A band of each layer is about a quarter of a million pixels, so the bands stay in the caches.
    const int32_t bandRows = std::clamp<int32_t>(262144 / widest, 1, 64);
    TwoThreadValues<LayerBands> bands;
    if (!bands.caller.allocate(setup, bandRows) || (twoThreads && !bands.helper.allocate(setup, bandRows)))
        return false;
    const SingleSourceTables single = singleSourceTables<merge>(setup);
    const PerPlace<double> runWeights = averageRunWeights(setup);
    // About four million merged pixels between progress steps.
    const int32_t blockRows = std::max<int32_t>(bandRows, (1 << 22) / std::max<int32_t>(1, W));
    for (int32_t y0 = 0; y0 < H; y0 += blockRows) {
        const int32_t y1 = std::min(H, y0 + blockRows);
        splitInTwo(y0, y1, bandRows, twoThreads, [&](int32_t a, int32_t b) {
            LayerBands& mine = bands.mine();
            MergeSetup local = setup;
            for (int32_t c = a; c < b; c += bandRows) {
                const int32_t d = std::min(b, c + bandRows);
                mine.fill(setup, c, d, local);
                mergeRows<merge>(local, single, runWeights, scratch, merged, 0, W, c, d);
            }
        });
        progress = int32_t(int64_t(100) * y0 / H);
        status.showProgress(progress, kProgressMerging);
    }
    return true;
}

// Rows can be read directly from 24-bit images whose block holds every row they announce.
bool allLayersAre24Bit(const MergeSetup& setup)
{
    for (int32_t i = 0; i < setup.count; ++i) {
        const MergeLayer& layer = setup.layers[size_t(i)];
        if (layer.width <= 0 || layer.height <= 0 || layer.transformer)
            continue;
        const PackedDib& dib = *layer.image->dib;
        if (dib.bitCount() != 24
            || dib.size() < dib.pixelOffset() + uint64_t(dib.stride()) * uint64_t(layer.image->height()))
            return false;
    }
    return true;
}

template <Kernel merge>
bool mergeWith(const MergeSetup& setup, const LayerScratch& scratch, bool inRows, MaskedDib& merged,
    Progress& status, int32_t& progress, bool twoThreads)
{
    if (inRows)
        return mergeBands<merge>(setup, scratch, merged, status, progress, twoThreads);
    mergeBlocks<merge>(setup, scratch, merged, status, progress, twoThreads);
    return true;
}
}

bool mergeByRows(
    const MergeSetup& setup, MaskedDib& merged, Progress& status, int32_t& progress, bool twoThreads)
{
    const bool inRows = std::any_of(setup.layers.begin(), setup.layers.begin() + setup.count,
        [](const MergeLayer& layer) { return layer.transformer != nullptr; });
    // Transformed sources are always 24 bits deep and whole; anything else takes the accessors,
    // and so does a merge without room for the scratch rows of masks held as row spans. Layers
    // transformed during the merge have no image the accessors could read.
    LayerScratch scratch;
    if (!allLayersAre24Bit(setup) || !scratch.allocate(setup)) {
        if (inRows)
            return false;
        mergeByAccessor(setup, merged, status, progress);
        return true;
    }
    switch (setup.mergeType) {
    case 1:
        return mergeWith<merge_kernel::greatest>(setup, scratch, inRows, merged, status, progress, twoThreads);
    case 2:
        return mergeWith<merge_kernel::least>(setup, scratch, inRows, merged, status, progress, twoThreads);
    case 3:
        return mergeWith<merge_kernel::saturated>(setup, scratch, inRows, merged, status, progress, twoThreads);
    case 4:
        return mergeWith<merge_kernel::grey>(setup, scratch, inRows, merged, status, progress, twoThreads);
    default:
        return mergeWith<merge_kernel::average>(setup, scratch, inRows, merged, status, progress, twoThreads);
    }
}

bool prepareByRows(const MaskedDib& merged, MaskedDib& final, const PrepareSetup& setup, Progress& status,
    int32_t& progress, bool twoThreads)
{
    const int32_t W = merged.width(), H = merged.height();
    uint8_t table[256];
    for (int32_t c = 0; c < 256; ++c)
        table[c] = adjustChannel(c, setup.brightness, setup.contrast);
    // Adjusting an image where it lies with the neutral settings changes no byte.
    bool unchanged = merged.dib.get() == final.dib.get();
    for (int32_t c = 0; c < 256; ++c)
        unchanged = unchanged && table[c] == c;
    const int32_t block = blockColumns(H);
    for (int32_t x0 = 0; x0 < W; x0 += block) {
        const int32_t x1 = std::min(W, x0 + block);
        splitInTwo(0, unchanged ? 0 : H, 64, twoThreads, [&](int32_t y0, int32_t y1) {
            for (int32_t y = y0; y < y1; ++y) {
                const uint8_t* in = merged.dib->row(y) + 3 * size_t(x0);
                uint8_t* out = final.dib->row(y + setup.marginY) + 3 * size_t(x0 + setup.marginX);
                for (size_t n = 0; n < 3 * size_t(x1 - x0); ++n)
                    out[n] = table[in[n]];
            }
        });
        for (int32_t x = x0; x < x1; ++x) {
            progress = 100 * x / W;
            status.showProgress(progress, kProgressPreparing);
            if (status.pollEscape())
                return false;
        }
    }
    return true;
}

void paintMarginsByRows(MaskedDib& final, const PrepareSetup& setup)
{
    const int32_t fw = final.width(), fh = final.height();
    if (fw <= 0 || fh <= 0)
        return;
    const BgrColour c = toBgr(setup.marginColour);
    const auto fill = [&](int32_t y, int32_t from, int32_t to) {
        uint8_t* p = final.dib->row(y) + 3 * size_t(from);
        for (int32_t x = from; x < to; ++x, p += 3) {
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    };
    const int32_t left = std::min(setup.marginX, fw), right = std::max(left, fw - setup.marginX);
    for (int32_t y = 0; y < fh; ++y) {
        if (y < setup.marginY || y >= fh - setup.marginY) {
            fill(y, 0, fw);
        } else {
            fill(y, 0, left);
            fill(y, right, fw);
        }
    }
}

} // namespace tessary
