#include "corrections/grid.h"

#include "image/pixel_access.h"
#include "merge/merge_fixtures.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::pixelAt;

// Whether the grid covers (x, row), decided pixel by pixel.
bool covered(int32_t x, int32_t row, int32_t w, int32_t h, const GridValues& v)
{
    const int32_t t = v.thickness;
    const bool xDrawable = x <= w - t, rowDrawable = row <= h - t;
    auto onLine = [t](int32_t p, int32_t spacing, int32_t last) {
        const int32_t g = p - p % spacing; // the nearest multiple at or below p ...
        for (int32_t start = g; start >= 0 && start > p - t; start -= spacing)
            if (start <= last && p <= start + t - 1)
                return true;
        return false;
    };
    const bool solid = v.solid
        && ((xDrawable && onLine(x, v.solidX, w - t)) || (rowDrawable && onLine(row, v.solidY, h - t)));
    const bool dotted = v.dotted && xDrawable && rowDrawable && onLine(x, v.dottedX, w - t)
        && onLine(row, v.dottedY, h - t);
    return solid || dotted;
}

const BgrColour kRed { 0, 0, 255 };

TEST(Grid, SolidLinesAtTheSpacingFromTheBottomLeft)
{
    MaskedDib image = testing::solidImage24(200, 150, { 9, 9, 9 });
    GridValues v;
    v.solid = true;
    v.colour = makeColourRef(255, 0, 0);
    drawGrid(image, v);
    for (int32_t row = 0; row < 150; ++row)
        for (int32_t x = 0; x < 200; ++x) {
            const bool line = x == 0 || x == 100 || row == 0 || row == 100;
            ASSERT_EQ(pixelAt(image, x, row) == kRed, line) << x << "," << row;
        }
    EXPECT_EQ(image.mask[0], kOpaque) << "the mask stays";
}

TEST(Grid, ThickLinesStopShortOfTheLastColumns)
{
    MaskedDib image = testing::solidImage24(201, 50, { 9, 9, 9 });
    GridValues v;
    v.solid = true;
    v.thickness = 3;
    v.solidY = 1000;
    v.colour = makeColourRef(255, 0, 0);
    drawGrid(image, v);
    for (int32_t x : { 100, 101, 102 })
        EXPECT_EQ(pixelAt(image, x, 20), kRed) << x;
    EXPECT_NE(pixelAt(image, 103, 20), kRed);
    EXPECT_NE(pixelAt(image, 200, 20), kRed) << "200 > 201 - 3";
}

TEST(Grid, EveryPixelAsThePerPixelRuleSays)
{
    struct Case {
        int32_t w, h;
        GridValues v;
    };
    const Case cases[] = {
        { 57, 43, { true, 7, 5, false, 10, 10, 1, 0xFFFFFF } },
        { 57, 43, { true, 9, 11, false, 10, 10, 4, 0xFFFFFF } },
        { 60, 40, { false, 100, 100, true, 6, 4, 2, 0xFFFFFF } },
        { 61, 41, { true, 20, 15, true, 3, 3, 3, 0xFFFFFF } },
        { 10, 10, { true, 2, 2, true, 2, 2, 10, 0xFFFFFF } },
    };
    for (const Case& c : cases) {
        MaskedDib image = testing::solidImage24(c.w, c.h, { 0, 0, 0 });
        drawGrid(image, c.v);
        for (int32_t row = 0; row < c.h; ++row)
            for (int32_t x = 0; x < c.w; ++x)
                ASSERT_EQ(pixelAt(image, x, row).red == 255, covered(x, row, c.w, c.h, c.v))
                    << x << "," << row << " of " << c.w << "x" << c.h << " t " << c.v.thickness;
    }
}

TEST(Grid, PalettedImagesTakeTheNearestEntryAndApplicationsAddUp)
{
    for (int bits : { 1, 4, 8 }) {
        MaskedDib image;
        ASSERT_FALSE(allocateMaskedDib(20, 20, image, bits));
        uint8_t* table = image.dib->data() + image.dib->colourTableOffset();
        const uint32_t entries = 1u << bits;
        for (uint32_t i = 0; i < entries; ++i) // blue, green, red: a ramp of greys
            table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = uint8_t(i * 255 / (entries - 1));
        // A reddish colour nearest to the last entry (white) on 1 bit, to a mid grey otherwise.
        table[4] = 0, table[5] = 10, table[6] = 240; // entry 1: nearly red
        GridValues v;
        v.solid = true;
        v.solidX = v.solidY = 10;
        v.colour = makeColourRef(250, 0, 0);
        EXPECT_EQ(nearestPaletteIndex(*image.dib, v.colour), 1) << bits;
        drawGrid(image, v);
        access_pixel pixels(image);
        EXPECT_EQ(pixels->readPixel(10, 5), 1) << bits;
        EXPECT_EQ(pixels->readPixel(5, 5), 0) << bits;
        // A second grid of another colour: the first stays where they do not cross.
        v.colour = 0xFFFFFF;
        v.solidX = v.solidY = 7;
        drawGrid(image, v);
        EXPECT_EQ(pixels->readPixel(10, 5), 1) << bits;
        EXPECT_EQ(pixels->readPixel(7, 5), int(entries - 1)) << bits;
    }
}

} // namespace
} // namespace tessary
