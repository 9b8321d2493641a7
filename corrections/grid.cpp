#include "corrections/grid.h"

#include "image/pixel_access.h"

#include <algorithm>
#include <limits>

namespace tessary {

int32_t nearestPaletteIndex(const PackedDib& dib, ColourRef colour)
{
    if (dib.bitCount() > 8)
        return 0;
    const uint32_t entries = std::min<uint32_t>(dib.colourTableEntries(), 1u << dib.bitCount());
    const uint8_t* table = dib.data() + dib.colourTableOffset();
    int32_t best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* e = table + 4 * size_t(i);
        const int64_t db = int64_t(e[0]) - blueOf(colour), dg = int64_t(e[1]) - greenOf(colour),
                      dr = int64_t(e[2]) - redOf(colour);
        const int64_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int32_t(i);
        }
    }
    return best;
}

void drawGrid(MaskedDib& image, const GridValues& v)
{
    if ((!v.solid && !v.dotted) || image.empty())
        return;
    access_pixel pixels(image);
    if (!pixels)
        return;
    pixels->keepPadding();
    const int32_t w = image.width(), h = image.height(), t = v.thickness;
    const PixelColour colour = pixelColourOf(toBgr(v.colour), nearestPaletteIndex(*image.dib, v.colour));
    // Drawable columns are 0..w - t, drawable rows 0..h - t; a vertical line runs over every
    // row and a horizontal line over every column.
    const int32_t lastX = w - t, lastRow = h - t;
    auto paint = [&](int32_t x0, int32_t x1, int32_t row0, int32_t row1) {
        for (int32_t row = row0; row <= row1; ++row)
            for (int32_t x = x0; x <= x1; ++x)
                pixels->writePixel(x, row, colour);
    };
    if (v.solid) {
        for (int64_t g = 0; g <= lastX; g += v.solidX)
            paint(int32_t(g), std::min(int32_t(g) + t - 1, lastX), 0, h - 1);
        for (int64_t f = 0; f <= lastRow; f += v.solidY)
            paint(0, w - 1, int32_t(f), std::min(int32_t(f) + t - 1, lastRow));
    }
    if (v.dotted)
        for (int64_t f = 0; f <= lastRow; f += v.dottedY)
            for (int64_t g = 0; g <= lastX; g += v.dottedX)
                paint(int32_t(g), std::min(int32_t(g) + t - 1, lastX), int32_t(f),
                    std::min(int32_t(f) + t - 1, lastRow));
}

} // namespace tessary
