#include "image/pixel_access.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tessary {
namespace {

MaskedDib makeImage(int32_t w, int32_t h, int bits)
{
    MaskedDib image;
    EXPECT_FALSE(allocateMaskedDib(h, w, image, bits));
    return image;
}

void setTableEntry(PackedDib& dib, int index, uint8_t b, uint8_t g, uint8_t r)
{
    uint8_t* e = dib.data() + 40 + 4 * index;
    e[0] = b;
    e[1] = g;
    e[2] = r;
}

// A bare 16- or 32-bit PackedDib as the clipboard or a target hands them in.
std::unique_ptr<PackedDib> makeDeepDib(int32_t w, int32_t h, int bits, bool bitFields = false)
{
    const size_t masks = bitFields ? 12 : 0;
    auto dib = PackedDib::allocate(40 + masks + size_t(rowStride(w, bits)) * size_t(h));
    BitmapInfoHeader header;
    header.biWidth = w;
    header.biHeight = h;
    header.biBitCount = uint16_t(bits);
    header.biCompression = bitFields ? 3 : 0;
    header.biSizeImage = rowStride(w, bits) * uint32_t(h);
    dib->setHeader(header);
    return dib;
}

TEST(PixelAccess, ReadsOutsideTheImageReturnMinusOneAndKeepTheRegister)
{
    for (int bits : { 1, 4, 8, 24 }) {
        SCOPED_TRACE(bits);
        MaskedDib image = makeImage(6, 3, bits);
        access_pixel owner(image);
        ASSERT_TRUE(owner);
        currentPixel = BgrColour { 1, 2, 3 };
        for (auto [x, row] : { std::pair { 6, 0 }, { 0, 3 }, { -1, 0 }, { 0, -1 } })
            EXPECT_EQ(owner->readPixel(x, row), -1);
        EXPECT_EQ(currentPixel, (BgrColour { 1, 2, 3 }));
    }
    for (int bits : { 16, 32 }) {
        SCOPED_TRACE(bits);
        auto dib = makeDeepDib(6, 3, bits);
        access_pixel owner(*dib);
        currentPixel = BgrColour { 1, 2, 3 };
        EXPECT_EQ(owner->readPixel(6, 0), -1);
        EXPECT_EQ(owner->readPixel(0, 3), -1);
        EXPECT_EQ(currentPixel, (BgrColour { 1, 2, 3 }));
    }
}

TEST(PixelAccess, OneBitPixelEightOfWidthNineIsTheTopBitOfTheSecondByte)
{
    MaskedDib image = makeImage(9, 2, 1);
    EXPECT_EQ(image.dib->stride(), 4u);
    setTableEntry(*image.dib, 1, 10, 20, 30);
    {
        access_pixel owner(image);
        owner->writePixel(8, 0, PixelColour { 0, 0, 0, 1 });
        EXPECT_EQ(owner->readPixel(8, 0), 1);
        EXPECT_EQ(currentPixel, (BgrColour { 10, 20, 30 }));
        EXPECT_EQ(owner->readPixel(7, 0), 0);
        owner->writeBlackOrWhite(0, 1, 0);
    }
    const uint8_t* row0 = image.dib->row(0);
    EXPECT_EQ(row0[0], 0x00);
    EXPECT_EQ(row0[1], 0x80);
    EXPECT_EQ(image.dib->row(1)[0], 0x80);
}

TEST(PixelAccess, FourBitWriteAtAnOddColumnChangesOnlyTheLowNibble)
{
    MaskedDib image = makeImage(4, 1, 4);
    image.dib->row(0)[1] = 0xAB;
    setTableEntry(*image.dib, 5, 50, 60, 70);
    access_pixel owner(image);
    owner->writePixel(3, 0, PixelColour { 0, 0, 0, 5 });
    EXPECT_EQ(image.dib->row(0)[1], 0xA5);
    EXPECT_EQ(owner->readPixel(3, 0), 5);
    EXPECT_EQ(currentPixel, (BgrColour { 50, 60, 70 }));
    EXPECT_EQ(owner->readPixel(2, 0), 0xA);
}

TEST(PixelAccess, EightBitReadsTheTableEntryOfTheByte)
{
    MaskedDib image = makeImage(3, 1, 8);
    setTableEntry(*image.dib, 200, 1, 2, 3);
    access_pixel owner(image);
    owner->writePixel(2, 0, PixelColour { 9, 9, 9, 200 });
    EXPECT_EQ(owner->readPixel(2, 0), 200);
    EXPECT_EQ(currentPixel, (BgrColour { 1, 2, 3 }));
}

TEST(PixelAccess, SixteenBitChannelsAreScaledByShiftingWithTheMask)
{
    auto dib = makeDeepDib(3, 1, 16);
    uint8_t* p = dib->row(0);
    p[0] = 0xFF; // 0x7FFF
    p[1] = 0x7F;
    p[2] = 0x1F; // blue 31 only: 0x001F
    p[3] = 0x00;
    access_pixel owner(*dib);
    EXPECT_EQ(owner->readPixel(0, 0), 0);
    EXPECT_EQ(currentPixel, (BgrColour { 248, 248, 248 }));
    owner->readPixel(1, 0);
    EXPECT_EQ(currentPixel, (BgrColour { 248, 0, 0 }));

    // 5-6-5 bit fields: green has six bits.
    auto fields = makeDeepDib(1, 1, 16, true);
    const uint32_t masks[3] = { 0xF800, 0x07E0, 0x001F };
    std::memcpy(fields->data() + 40, masks, 12);
    fields->row(0)[0] = 0xE0; // 0x07E0: green all ones
    fields->row(0)[1] = 0x07;
    access_pixel withFields(*fields);
    withFields->readPixel(0, 0);
    EXPECT_EQ(currentPixel, (BgrColour { 0, 252, 0 }));
}

TEST(PixelAccess, ThirtyTwoBitWriteKeepsTheFourthByte)
{
    auto dib = makeDeepDib(2, 1, 32);
    dib->row(0)[7] = 0x5A;
    access_pixel owner(*dib);
    owner->writePixel(1, 0, PixelColour { 1, 2, 3, 0 });
    const uint8_t* p = dib->row(0) + 4;
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(p[2], 3);
    EXPECT_EQ(p[3], 0x5A);
    owner->readPixel(1, 0);
    EXPECT_EQ(currentPixel, (BgrColour { 1, 2, 3 }));
}

TEST(PixelAccess, DestructorClearsRowPaddingUnlessKept)
{
    MaskedDib image = makeImage(5, 3, 24);
    ASSERT_EQ(image.dib->stride(), 16u);
    auto dirty = [&] {
        for (int32_t row = 0; row < 3; ++row)
            image.dib->row(row)[15] = 0xEE;
    };
    dirty();
    {
        access_pixel owner(image);
        owner->keepPadding();
    }
    for (int32_t row = 0; row < 3; ++row)
        EXPECT_EQ(image.dib->row(row)[15], 0xEE);
    {
        access_pixel owner(image);
    }
    for (int32_t row = 0; row < 3; ++row)
        EXPECT_EQ(image.dib->row(row)[15], 0x00);
}

TEST(PixelAccess, PaddingClearedForEveryPaletteDepth)
{
    struct Case {
        int bits;
        int32_t width;
        uint32_t firstPadByte;
    };
    for (Case c : { Case { 1, 9, 2 }, Case { 4, 9, 5 }, Case { 8, 5, 5 } }) {
        SCOPED_TRACE(c.bits);
        MaskedDib image = makeImage(c.width, 2, c.bits);
        const uint32_t stride = image.dib->stride();
        std::memset(image.dib->row(0), 0xFF, stride);
        {
            access_pixel owner(image);
        }
        for (uint32_t i = 0; i < stride; ++i)
            EXPECT_EQ(image.dib->row(0)[i], i < c.firstPadByte ? 0xFF : 0x00) << i;
    }
}

// Black or white at x = 1 (flag 0) and x = 2 (flag 1) of a row filled with 0xA5: what each
// depth writes, and that it leaves every other byte alone.
TEST(PixelAccess, BlackOrWhiteWritesPerDepth)
{
    struct Case {
        int bits;
        std::vector<uint8_t> row; // the row's first bytes afterwards
    };
    const Case cases[] = {
        { 1, { 0xC5, 0xA5 } }, // bit 6 set, bit 5 cleared
        { 4, { 0xA0, 0x05, 0xA5 } }, // both nibbles 0, whatever the flag
        { 8, { 0xA5, 0x00, 0x00, 0xA5 } }, { 16, { 0xA5, 0xA5, 0xFF, 0x7F, 0x00, 0x00, 0xA5, 0xA5 } },
        { 24, { 0xA5, 0xA5, 0xA5, 255, 255, 255, 0, 0, 0, 0xA5 } },
        { 32, { 0xA5, 0xA5, 0xA5, 0xA5, 255, 255, 255, 0xA5, 0, 0, 0, 0xA5 } }, // byte 3 kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        std::unique_ptr<PackedDib> deep;
        MaskedDib image;
        PackedDib* dib = nullptr;
        if (c.bits == 16 || c.bits == 32) {
            deep = makeDeepDib(4, 1, c.bits);
            dib = deep.get();
        } else {
            image = makeImage(4, 1, c.bits);
            dib = image.dib.get();
        }
        const BitmapInfoHeader h = dib->header();
        uint8_t* row = dib->data() + dib->size() - h.biSizeImage;
        std::memset(row, 0xA5, h.biSizeImage);
        {
            access_pixel owner(*dib);
            ASSERT_TRUE(owner);
            owner->keepPadding();
            owner->writeBlackOrWhite(1, 0, 0);
            owner->writeBlackOrWhite(2, 0, 1);
        }
        EXPECT_EQ(std::vector<uint8_t>(row, row + c.row.size()), c.row);
    }
}

TEST(PixelAccess, NoAccessorForOtherDepthsOrTruncatedBlocks)
{
    auto odd = makeDeepDib(2, 2, 24);
    BitmapInfoHeader h = odd->header();
    h.biBitCount = 2;
    odd->setHeader(h);
    EXPECT_FALSE(access_pixel(*odd));

    // A header that claims more rows than the block holds gets no accessor.
    auto shortBlock = PackedDib::allocate(40 + 8);
    BitmapInfoHeader tall;
    tall.biWidth = 2;
    tall.biHeight = 100;
    tall.biBitCount = 24;
    shortBlock->setHeader(tall);
    EXPECT_FALSE(access_pixel(*shortBlock));
    MaskedDib empty;
    EXPECT_FALSE(access_pixel(empty));
}

TEST(CopyTo24Bit, CopiesColoursAndMaskFromEveryDepth)
{
    for (int bits : { 1, 4, 8, 24 }) {
        SCOPED_TRACE(bits);
        MaskedDib source = makeImage(7, 3, bits);
        const int colours = bits == 24 ? 0 : (1 << bits);
        for (int i = 0; i < colours; ++i)
            setTableEntry(*source.dib, i, uint8_t(i), uint8_t(2 * i), uint8_t(255 - i));
        {
            access_pixel owner(source);
            for (int32_t row = 0; row < 3; ++row)
                for (int32_t x = 0; x < 7; ++x) {
                    const int v = (x + 3 * row) % (bits == 24 ? 256 : colours);
                    owner->writePixel(x, row, PixelColour { uint8_t(v), uint8_t(v + 1), uint8_t(v + 2), v });
                }
        }
        for (uint32_t i = 0; i < source.maskCount; ++i)
            source.mask[i] = uint16_t(i * 1000);

        MaskedDib copy;
        ASSERT_FALSE(copyPixelsTo24Bit(source, copy));
        ASSERT_EQ(copy.dib->bitCount(), 24);
        access_pixel from(source), to(copy);
        for (int32_t row = 0; row < 3; ++row)
            for (int32_t x = 0; x < 7; ++x) {
                from->readPixel(x, row);
                const BgrColour expected = currentPixel;
                to->readPixel(x, row);
                EXPECT_EQ(currentPixel, expected) << x << "," << row;
                EXPECT_EQ(copy.mask[size_t(row) * 7 + size_t(x)], uint16_t((row * 7 + x) * 1000));
            }
    }
}

} // namespace
} // namespace tessary
