#include "image/upright_image.h"

#include "image/cx_image.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessary {
namespace {

using testing::colourAt;
using testing::Rgb;

// The stored 3 x 2 picture, as letters: a b c over d e f. For each orientation, the upright
// picture read row by row from the top (written out by hand from the EXIF definitions, where
// each value names the corner the first stored row and column start at).
struct Upright {
    int orientation;
    int width, height;
    const char* rows;
};
constexpr Upright kUpright[] = {
    { 1, 3, 2, "abcdef" },
    { 2, 3, 2, "cbafed" }, // mirrored
    { 3, 3, 2, "fedcba" }, // turned 180
    { 4, 3, 2, "defabc" }, // flipped
    { 5, 2, 3, "adbecf" }, // transposed
    { 6, 2, 3, "daebfc" }, // turned 90 clockwise
    { 7, 2, 3, "fcebda" }, // transversed
    { 8, 2, 3, "cfbead" }, // turned 90 anticlockwise
};

// Palette index of each letter: a..f are entries 0..5 (as many as 1 bit holds, for 1 bit).
int letterIndex(char letter, int bpp)
{
    return bpp == 1 ? (letter == 'a' || letter == 'c' || letter == 'e') : letter - 'a';
}

void makeStored(CxImage& image, int bpp)
{
    ASSERT_NE(image.Create(3, 2, uint32_t(bpp), CXIMAGE_FORMAT_BMP), nullptr);
    for (uint32_t i = 0; i < image.GetNumColors(); ++i)
        image.SetPaletteColor(uint8_t(i), uint8_t(10 * i), uint8_t(20 + i), uint8_t(200 - i));
    const char* stored = "abcdef";
    for (int i = 0; i < 6; ++i) {
        const uint32_t x = uint32_t(i % 3), row = uint32_t(1 - i / 3); // bottom-up rows
        const int index = letterIndex(stored[i], bpp);
        uint8_t* bits = image.GetBits(row);
        if (bpp == 24) {
            bits[3 * x] = uint8_t(200 - index);
            bits[3 * x + 1] = uint8_t(20 + index);
            bits[3 * x + 2] = uint8_t(10 * index);
        } else if (bpp == 8) {
            bits[x] = uint8_t(index);
        } else if (bpp == 4) {
            bits[x / 2] = uint8_t(bits[x / 2] | (index << ((x & 1) ? 0 : 4)));
        } else if (index) {
            bits[0] = uint8_t(bits[0] | (0x80 >> x));
        }
    }
}

TEST(TurnUpright, EveryOrientationAtEveryDepthWithItsAlpha)
{
    for (int bpp : { 1, 4, 8, 24 })
        for (const Upright& u : kUpright) {
            SCOPED_TRACE("bpp " + std::to_string(bpp) + ", orientation " + std::to_string(u.orientation));
            CxImage image;
            makeStored(image, bpp);
            image.SetXDPI(300);
            image.SetYDPI(72);
            ASSERT_TRUE(image.AlphaCreate());
            for (int i = 0; i < 6; ++i) // alpha of each letter: 'a' -> 1 ... 'f' -> 6
                image.AlphaSet(uint32_t(i % 3), uint32_t(1 - i / 3), uint8_t(i + 1));
            image.SetOrientation(uint32_t(u.orientation));

            ASSERT_TRUE(turnUpright(image));
            EXPECT_EQ(image.GetOrientation(), 1);
            ASSERT_EQ(image.GetWidth(), u.width);
            ASSERT_EQ(image.GetHeight(), u.height);
            EXPECT_EQ(image.GetBpp(), bpp);
            const bool turned = u.width == 2;
            EXPECT_EQ(image.GetXDPI(), turned ? 72 : 300);
            EXPECT_EQ(image.GetYDPI(), turned ? 300 : 72);
            for (int i = 0; i < 6; ++i) {
                const uint32_t x = uint32_t(i % u.width), y = uint32_t(i / u.width);
                const int index = letterIndex(u.rows[i], bpp);
                EXPECT_EQ(colourAt(image, x, y), (Rgb { 10 * index, 20 + index, 200 - index })) << x << "," << y;
                EXPECT_EQ(testing::alphaAt(image, x, y), u.rows[i] - 'a' + 1) << x << "," << y;
            }
        }
}

TEST(TurnUpright, PaddingBitsOfTurnedRowsStayClear)
{
    CxImage image;
    makeStored(image, 1);
    image.SetOrientation(6);
    ASSERT_TRUE(turnUpright(image));
    for (uint32_t row = 0; row < 3; ++row) // 2 pixels used of the first byte, 3 padding bytes
        EXPECT_EQ(image.GetBits(row)[0] & 0x3F, 0);
}

TEST(UprightSize, SwapsTheSidesForTheTurnsOnly)
{
    for (const Upright& u : kUpright) {
        const UprightSize size = uprightSize(3, 2, u.orientation);
        EXPECT_EQ(size.width, u.width);
        EXPECT_EQ(size.height, u.height);
    }
}

} // namespace
} // namespace tessary
