#include "image/masked_dib.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(PackedDib, StridePerDepth)
{
    struct Case {
        int bits;
        int32_t width;
        uint32_t stride;
    };
    const Case cases[] = {
        { 1, 1, 4 }, { 1, 32, 4 }, { 1, 33, 8 }, { 4, 8, 4 }, { 4, 9, 8 }, { 8, 5, 8 }, { 8, 4, 4 },
        { 16, 3, 8 }, { 16, 2, 4 }, { 24, 5, 16 }, { 24, 4, 12 }, { 32, 3, 12 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rowStride(c.width, c.bits), c.stride) << c.bits << " bits, width " << c.width;
}

TEST(MaskedDib, AllocateBuildsTheHeaderTableAndAnOpaqueMask)
{
    struct Case {
        int bits;
        uint32_t tableEntries;
    };
    for (Case c : { Case { 1, 2 }, Case { 4, 16 }, Case { 8, 256 }, Case { 24, 0 } }) {
        SCOPED_TRACE(c.bits);
        MaskedDib image;
        ASSERT_FALSE(allocateMaskedDib(3, 5, image, c.bits));
        const BitmapInfoHeader h = image.dib->header();
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 5);
        EXPECT_EQ(h.biHeight, 3);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bits);
        EXPECT_EQ(h.biCompression, 0u);
        EXPECT_EQ(h.biSizeImage, rowStride(5, c.bits) * 3);
        EXPECT_EQ(h.biXPelsPerMeter, 0);
        EXPECT_EQ(h.biClrUsed, c.tableEntries);
        EXPECT_EQ(image.dib->size(), 40 + 4 * c.tableEntries + h.biSizeImage);
        EXPECT_EQ(image.maskCount, 15u);
        EXPECT_TRUE(image.owned);
        for (uint32_t i = 0; i < image.maskCount; ++i)
            EXPECT_EQ(image.mask[i], kOpaque);
    }
}

TEST(MaskedDib, AllocateRefusesSizesOverTheLimits)
{
    struct Case {
        int32_t height;
        int32_t width;
        int bits;
    };
    // 20000 x 20000 at 24 bits is 1.2 GB: over the byte limit though each side is allowed.
    for (Case c : { Case { 1, 20001, 8 }, Case { 20001, 1, 8 }, Case { -1, 5, 24 }, Case { 5, -1, 24 },
                    Case { 20000, 20000, 24 }, Case { 10, 10, 16 } }) {
        MaskedDib image;
        EXPECT_TRUE(allocateMaskedDib(c.height, c.width, image, c.bits)) << c.width << "x" << c.height;
        EXPECT_EQ(image.dib, nullptr);
        EXPECT_EQ(image.mask, nullptr);
    }
    MaskedDib edge;
    EXPECT_FALSE(allocateMaskedDib(1, 20000, edge, 24));
}

TEST(MaskedDib, MaskFillAndRelease)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(2, 2, image, 24));
    ASSERT_FALSE(allocateMask(image, 0));
    EXPECT_EQ(image.mask[3], 0);
    releaseMask(image);
    EXPECT_EQ(image.mask, nullptr);
    EXPECT_EQ(image.maskCount, 0u);
    EXPECT_NE(image.dib, nullptr);
    releaseMaskedDib(image);
    EXPECT_EQ(image.dib, nullptr);
    EXPECT_FALSE(image.owned);
}

TEST(MaskedDib, CloneIsDeep)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(2, 3, image, 24));
    image.dib->row(1)[2] = 77;
    image.mask[4] = 123;
    MaskedDib copy = image.clone();
    image.dib->row(1)[2] = 0;
    image.mask[4] = 0;
    EXPECT_EQ(copy.dib->row(1)[2], 77);
    EXPECT_EQ(copy.mask[4], 123);
}

} // namespace
} // namespace tessary
