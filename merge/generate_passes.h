#pragma once
#include "image/masked_dib.h"
#include "merge/merge_operators.h"

#include <cstdint>

namespace tessary {

class Progress;

class RowTransformer;

// What the merge pass needs of one loaded source, collected once before the loop.
struct MergeLayer {
    // The transformed source (24 bits), or, while a layer transformed during the merge is
    // merged, the band of its rows being read.
    const MaskedDib* image = nullptr;
    int32_t width = 0; // of the whole transformed source
    int32_t height = 0;
    int32_t posX = 0;
    int32_t posY = 0;
    int32_t topLevel = -1;
    int32_t bottomLevel = -1;
    // Set for a layer whose rows the merge transforms as it reads them (no whole image).
    const RowTransformer* transformer = nullptr;
    int32_t firstRow = 0; // the layer row held in row 0 of `image`
    // Its opacity mask, 65535 everywhere when it carries none of its full size.
    uint16_t maskAt(int32_t u, int32_t v) const
    {
        return hasMask() ? image->mask[size_t(v) * size_t(width) + size_t(u)] : uint16_t(65535);
    }
    bool hasMask() const
    {
        return image->mask && image->maskCount >= uint64_t(image->width()) * uint64_t(image->height());
    }
};

// Where a visible source pixel goes: the highest top layer showing takes the colour; while none
// shows, the highest bottom layer does; a source on neither joins the middle layer (true).
[[gnu::always_inline]] inline bool joinsMiddle(
    const MergeLayer& layer, BgrColour pixel, int32_t& bestTop, int32_t& bestBottom, BgrColour& colour)
{
    const int32_t t = layer.topLevel;
    if (t != -1 && t > bestTop) {
        bestTop = t;
        colour = pixel;
        return false;
    }
    if (bestTop > 0)
        return false;
    const int32_t b = layer.bottomLevel;
    if (b != -1) {
        if (b > bestBottom) {
            bestBottom = b;
            colour = pixel;
        }
        return false;
    }
    return true;
}

struct MergeSetup {
    PerPlace<MergeLayer> layers {};
    int32_t count = 0;
    int32_t mergeType = 0;
    MergeContext context;
    PerPlace<int32_t> fadeEdge {};
    PerPlace<double> biasWeight {};
    int32_t width = 0; // W of the merge image
    int32_t height = 0; // H
};

struct PrepareSetup {
    int32_t contrast = 16;
    int32_t brightness = 128;
    int32_t marginX = 0;
    int32_t marginY = 0;
    ColourRef marginColour = 0;
};

// c' = b - 128 + ((c + b - 255) * k + 2032) / 16, truncated, then clamped to 0..255. Worked in
// 64 bits so settings outside the dialogs' ranges cannot overflow.
inline uint8_t adjustChannel(int32_t c, int32_t brightness, int32_t contrast)
{
    const int64_t b = brightness, k = contrast;
    const int64_t v = b - 128 + ((c + b - 255) * k + 2032) / 16;
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The merge pass into `merged` (W x H, 24 bits): one yellow progress step per column. Layers
// transformed during the merge need the row pass, which then walks the image in blocks of rows
// with a yellow step per block; it returns false only when memory runs out for their rows.
void mergeByAccessor(const MergeSetup& setup, MaskedDib& merged, Progress& status, int32_t& progress);
bool mergeByRows(
    const MergeSetup& setup, MaskedDib& merged, Progress& status, int32_t& progress, bool twoThreads);

// The preparing pass from `merged` into `final` at the margin offset: one green progress step
// and one Esc poll per column. False when the user quit. Without a margin the row pass may be
// given the same image as both, and then adjusts it in place.
bool prepareByAccessor(const MaskedDib& merged, MaskedDib& final, const PrepareSetup& setup, Progress& status,
    int32_t& progress);
bool prepareByRows(const MaskedDib& merged, MaskedDib& final, const PrepareSetup& setup, Progress& status,
    int32_t& progress, bool twoThreads);

// The margin band in the margin colour around `final`.
void paintMarginsByAccessor(MaskedDib& final, const PrepareSetup& setup);
void paintMarginsByRows(MaskedDib& final, const PrepareSetup& setup);

} // namespace tessary
