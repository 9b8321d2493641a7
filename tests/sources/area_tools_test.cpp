#include "sources/area_tools.h"

#include "image/pixel_access.h"
#include "sources/source_doc.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessary {
namespace {

using testing::GTestPlatform;

// A w x h image of `bits` per pixel whose pixel at column x and stored row r has the colour
// (x, r, x + r) (through the colour table for paletted depths: index (x + 3r) mod entries),
// with mask entries x + 1000 r.
MaskedDib numberedImage(int32_t w, int32_t h, int bits = 24)
{
    MaskedDib image;
    EXPECT_FALSE(allocateMaskedDib(h, w, image, bits));
    access_pixel px(image);
    if (bits <= 8) {
        uint8_t* table = image.dib->data() + 40;
        const int entries = 1 << bits;
        for (int i = 0; i < entries; ++i) {
            table[4 * i] = uint8_t(i);
            table[4 * i + 1] = uint8_t(255 - i);
            table[4 * i + 2] = uint8_t(i * 7);
        }
    }
    for (int32_t r = 0; r < h; ++r)
        for (int32_t x = 0; x < w; ++x) {
            if (bits <= 8)
                px->writePixel(x, r, PixelColour { 0, 0, 0, (x + 3 * r) % (1 << bits) });
            else
                px->writePixel(x, r, PixelColour { uint8_t(x), uint8_t(r), uint8_t(x + r), 0 });
            image.mask[size_t(r) * size_t(w) + size_t(x)] = uint16_t(x + 1000 * r);
        }
    return image;
}

uint16_t maskAtDisplay(const MaskedDib& image, int32_t x, int32_t y)
{
    return image.maskRow(image.height() - 1 - y)[x];
}

// How many mask entries differ between two images of the same size.
int changedEntries(const MaskedDib& before, const MaskedDib& after)
{
    int n = 0;
    for (uint32_t i = 0; i < before.maskCount; ++i)
        n += before.mask[i] != after.mask[i];
    return n;
}

TEST(AreaToolsTest, MakeTransparentAndOpaqueCoverTheBoxWithItsEdges)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(40, 30, image, 24));
    const SourceBox box { 5, 15, 3, 11 };
    applyAreaOperation(image, box, AreaOperation::MakeTransparent);
    int zeros = 0;
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 30; ++x) {
            const bool inside = x >= 5 && x <= 15 && y >= 3 && y <= 11;
            EXPECT_EQ(maskAtDisplay(image, x, y), inside ? 0 : 65535) << x << "," << y;
            zeros += maskAtDisplay(image, x, y) == 0;
        }
    EXPECT_EQ(zeros, 11 * 9);
    // Display line 3 is stored row 36.
    EXPECT_EQ(image.maskRow(36)[5], 0);
    EXPECT_EQ(image.maskRow(37)[5], 65535);

    applyAreaOperation(image, SourceBox { 0, 10, 0, 5 }, AreaOperation::MakeOpaque);
    EXPECT_EQ(maskAtDisplay(image, 10, 5), 65535);
    EXPECT_EQ(maskAtDisplay(image, 11, 5), 0);
    // A box reaching past the image changes what lies on it.
    applyAreaOperation(image, SourceBox { 25, 30, 35, 40 }, AreaOperation::MakeTransparent);
    EXPECT_EQ(maskAtDisplay(image, 29, 39), 0);
    EXPECT_EQ(maskAtDisplay(image, 24, 39), 65535);
}

TEST(AreaToolsTest, SmoothBlendFadesFromTheCentreToTheRim)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(60, 110, image, 24));
    setWholeMask(image, 1234);
    applyAreaOperation(image, SourceBox { 0, 100, 0, 50 }, AreaOperation::SmoothBlend);
    EXPECT_EQ(maskAtDisplay(image, 50, 25), 65535);
    // The rim, where v = 0, keeps its entry; so do pixels outside the ellipse.
    EXPECT_EQ(maskAtDisplay(image, 0, 25), 1234);
    EXPECT_EQ(maskAtDisplay(image, 100, 25), 1234);
    EXPECT_EQ(maskAtDisplay(image, 0, 0), 1234);
    EXPECT_EQ(maskAtDisplay(image, 50, 0), 1234);
    EXPECT_EQ(maskAtDisplay(image, 105, 25), 1234);
    // (70, 25): d = 20 * 0.5 = 10, u = 50 - 20 = 30, v = trunc(30 / 50 * 65535) = 39321.
    EXPECT_EQ(maskAtDisplay(image, 70, 25), 39321);
    // (50, 35): d = 10, the same.
    EXPECT_EQ(maskAtDisplay(image, 50, 35), 39321);
    // (53, 27): d = sqrt(4 + 2.25) = 2.5, u = 45, v = 58981 (58981.5 truncated).
    EXPECT_EQ(maskAtDisplay(image, 53, 27), 58981);
}

TEST(AreaToolsTest, SmoothUnblendIsTheReverse)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(60, 110, image, 24));
    setWholeMask(image, 1234);
    applyAreaOperation(image, SourceBox { 0, 100, 0, 50 }, AreaOperation::SmoothUnblend);
    // The centre gives v = 0 and keeps its entry; the rim becomes opaque.
    EXPECT_EQ(maskAtDisplay(image, 50, 25), 1234);
    EXPECT_EQ(maskAtDisplay(image, 0, 25), 65535);
    EXPECT_EQ(maskAtDisplay(image, 100, 25), 65535);
    EXPECT_EQ(maskAtDisplay(image, 70, 25), 26214); // trunc((1 - 0.6) * 65535) = 26214
    EXPECT_EQ(maskAtDisplay(image, 0, 0), 1234);
}

TEST(AreaToolsTest, AnOddBoxUsesTheIntegerCentre)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(20, 20, image, 24));
    setWholeMask(image, 7);
    // Centre (5, 4) of the box 0..11 x 0..9: the centre pixel is fully opaque.
    applyAreaOperation(image, SourceBox { 0, 11, 0, 9 }, AreaOperation::SmoothBlend);
    EXPECT_EQ(maskAtDisplay(image, 5, 4), 65535);
    EXPECT_NE(maskAtDisplay(image, 6, 5), 65535);
    // A box without height changes nothing (and does not divide by zero).
    MaskedDib flat;
    ASSERT_FALSE(allocateMaskedDib(20, 20, flat, 24));
    applyAreaOperation(flat, SourceBox { 0, 10, 4, 4 }, AreaOperation::SmoothUnblend);
    applyAreaOperation(flat, SourceBox { 4, 4, 0, 10 }, AreaOperation::SmoothBlend);
    for (uint32_t i = 0; i < flat.maskCount; ++i)
        ASSERT_EQ(flat.mask[i], 65535);
}

TEST(AreaToolsTest, SixteenOperationsThenNothingUntilTheCountIsReset)
{
    GTestPlatform platform;
    VIrorozIzi doc;
    doc.image = numberedImage(30, 20);
    int32_t count = -1;
    const AreaOperation ops[] = { AreaOperation::MakeTransparent, AreaOperation::MakeOpaque,
        AreaOperation::SmoothBlend, AreaOperation::SmoothUnblend };
    for (int i = 0; i < 16; ++i) {
        doc.changed = false;
        EXPECT_TRUE(areaOperationOnSource(doc, SourceBox { 0, 10, 0, 8 }, ops[i % 4], count, platform)) << i;
        EXPECT_TRUE(doc.changed);
        EXPECT_EQ(count, i);
    }
    MaskedDib before = doc.image.clone();
    doc.changed = false;
    EXPECT_FALSE(
        areaOperationOnSource(doc, SourceBox { 0, 29, 0, 19 }, AreaOperation::MakeTransparent, count, platform));
    EXPECT_EQ(count, 15);
    EXPECT_FALSE(doc.changed);
    EXPECT_EQ(changedEntries(before, doc.image), 0);
    EXPECT_FALSE(areaOperationOnSource(doc, SourceBox { 0, 29, 0, 19 }, AreaOperation::MakeOpaque, count, platform));
    EXPECT_EQ(count, 15);
    // A reload sets the count back to -1.
    count = -1;
    EXPECT_TRUE(
        areaOperationOnSource(doc, SourceBox { 0, 29, 0, 19 }, AreaOperation::MakeTransparent, count, platform));
    EXPECT_EQ(changedEntries(before, doc.image), 600 - 1); // entry 0 was already 0
}

TEST(AreaToolsTest, WholeMaskCommandsAreNotCounted)
{
    GTestPlatform platform;
    VIrorozIzi doc;
    doc.image = numberedImage(5, 3);
    wholeMaskOnSource(doc, 0, platform);
    for (uint32_t i = 0; i < doc.image.maskCount; ++i)
        EXPECT_EQ(doc.image.mask[i], 0);
    EXPECT_TRUE(doc.changed);
    wholeMaskOnSource(doc, 65535, platform);
    for (uint32_t i = 0; i < doc.image.maskCount; ++i)
        EXPECT_EQ(doc.image.mask[i], 65535);
}

TEST(AreaToolsTest, CropKeepsTheBoxsDisplayLinesAndColumns)
{
    for (int bits : { 1, 4, 8, 24 }) {
        SCOPED_TRACE(bits);
        MaskedDib source = numberedImage(150, 90, bits);
        MaskedDib copy = source.clone();
        const SourceBox box { 20, 120, 5, 75 };
        MaskedDib out;
        ASSERT_EQ(cropImage(source, box, out), CropResult::Done);
        ASSERT_EQ(out.width(), 100);
        ASSERT_EQ(out.height(), 70);
        EXPECT_EQ(out.dib->bitCount(), 24);
        access_pixel in(copy);
        for (int32_t r = 0; r < 70; ++r)
            for (int32_t x = 0; x < 100; ++x) {
                // New stored row r is source stored row 90 - 75 + r.
                in->readPixel(20 + x, 15 + r);
                const BgrColour expected = currentPixel;
                const uint8_t* p = out.dib->row(r) + 3 * x;
                ASSERT_EQ(p[0], expected.blue) << x << "," << r;
                ASSERT_EQ(p[1], expected.green);
                ASSERT_EQ(p[2], expected.red);
                ASSERT_EQ(out.maskRow(r)[x], uint16_t(20 + x + 1000 * (15 + r)));
            }
        // Display line 5 (top of the box) is the new top line; line 74 the new bottom line.
        EXPECT_EQ(out.maskRow(69)[0], copy.maskRow(90 - 1 - 5)[20]);
        EXPECT_EQ(out.maskRow(0)[0], copy.maskRow(90 - 1 - 74)[20]);
    }
}

TEST(AreaToolsTest, CropNeedsSixtyFourBySixtyFour)
{
    struct Case {
        SourceBox box;
        CropResult result;
    } const cases[] = {
        { { 0, 63, 0, 100 }, CropResult::TooSmall },
        { { 0, 100, 0, 63 }, CropResult::TooSmall },
        { { 0, 64, 0, 64 }, CropResult::Done },
        // Drawn from bottom right to top left: the same box.
        { { 64, 0, 64, 0 }, CropResult::Done },
        // A box reaching past the image is cut to it first.
        { { 100, 200, 0, 100 }, CropResult::TooSmall },
    };
    for (const Case& c : cases) {
        MaskedDib source = numberedImage(150, 100);
        MaskedDib out;
        EXPECT_EQ(cropImage(source, c.box, out), c.result);
        EXPECT_EQ(out.empty(), c.result != CropResult::Done);
        if (c.result == CropResult::Done) {
            EXPECT_EQ(out.width(), 64);
            EXPECT_EQ(out.height(), 64);
        }
    }
}

TEST(AreaToolsTest, CropOnTheDocumentReportsASmallBox)
{
    GTestPlatform platform;
    VIrorozIzi doc;
    doc.image = numberedImage(150, 100);
    doc.imageWidth = 150;
    doc.imageHeight = 100;
    platform.expectMessage(kCropAreaTooSmall);
    MaskedDib replaced;
    EXPECT_FALSE(cropSource(doc, SourceBox { 10, 70, 10, 90 }, platform, replaced));
    EXPECT_TRUE(replaced.empty());
    EXPECT_EQ(platform.messages.back().icon, MessageIcon::Error);
    EXPECT_EQ(doc.imageWidth, 150);
    EXPECT_FALSE(doc.changed);

    const PackedDib* pixels = doc.image.dib.get();
    EXPECT_TRUE(cropSource(doc, SourceBox { 10, 110, 20, 90 }, platform, replaced));
    EXPECT_EQ(replaced.dib.get(), pixels) << "the uncropped image is handed over, not freed";
    EXPECT_EQ(doc.imageWidth, 100);
    EXPECT_EQ(doc.imageHeight, 70);
    EXPECT_EQ(doc.image.width(), 100);
    EXPECT_EQ(doc.image.maskCount, 7000u);
    EXPECT_TRUE(doc.changed);
}

TEST(AreaToolsTest, BoxesAreNormalised)
{
    EXPECT_EQ(normalisedBox(SourceBox { 30, 10, 40, 5 }), (SourceBox { 10, 30, 5, 40 }));
    EXPECT_EQ(normalisedBox(SourceBox { 1, 2, 3, 4 }), (SourceBox { 1, 2, 3, 4 }));
}

} // namespace
} // namespace tessary
