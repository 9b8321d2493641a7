#pragma once
#include "app/setting_range.h"
#include "image/colour.h"
#include "image/masked_dib.h"

#include <cstdint>

namespace tessary {

struct GridValues {
    // The dialog's fields: the spacings of either grid, each way, and the thickness.
    static constexpr SettingRange kSolidSpacing { 2, 1000, 100 };
    static constexpr SettingRange kDottedSpacing { 2, 1000, 10 };
    static constexpr SettingRange kThickness { 1, 10, 1 };
    bool solid = false;
    int32_t solidX = kSolidSpacing.start; // spacing of the vertical lines
    int32_t solidY = kSolidSpacing.start; // spacing of the horizontal lines
    bool dotted = false;
    int32_t dottedX = kDottedSpacing.start;
    int32_t dottedY = kDottedSpacing.start;
    int32_t thickness = kThickness.start; // t
    ColourRef colour = 0; // black
};

// The colour-table entry nearest to `colour` (smallest squared distance, the first on ties) of
// a 1-, 4- or 8-bit image; 0 for other depths.
int32_t nearestPaletteIndex(const PackedDib& dib, ColourRef colour);

// Draws the enabled grids into `image` at its own depth (the nearest colour-table entry on
// paletted images), leaving the mask alone. Lines and dots start at column 0 and stored row 0;
// a column is drawable when x <= W - t and a row when row <= H - t. Solid: at every drawable
// multiple g of X the drawable columns of g .. g + t - 1 over every row, and at every drawable
// multiple f of Y the drawable rows of f .. f + t - 1 over every column. Dotted: at every
// drawable multiple of (X, Y) the drawable part of a t x t square.
void drawGrid(MaskedDib& image, const GridValues& values);

} // namespace tessary
