#include "image/pixel_access.h"
#include "merge/unmasked_image.h"
#include "output/print_bands.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessary {
namespace {

// A W x H picture in which every pixel differs from its neighbours.
MaskedDib patternPicture(int32_t W, int32_t H)
{
    MaskedDib image;
    EXPECT_FALSE(allocateUnmaskedImage(H, W, image));
    for (int32_t row = 0; row < H; ++row)
        for (int32_t x = 0; x < W; ++x) {
            uint8_t* p = image.dib->row(row) + 3 * x;
            p[0] = uint8_t(x * 7 + row);
            p[1] = uint8_t(row * 13 + 1);
            p[2] = uint8_t(x + row * 31);
        }
    return image;
}

// The visible part drawn band by band, `budget` bytes a band.
std::vector<uint8_t> drawBanded(const ScaledBands& bands, size_t budget)
{
    const PageRect& v = bands.visible();
    const size_t stride = size_t(v.width()) * 3;
    std::vector<uint8_t> out(stride * size_t(v.height()), 0xEE);
    const int32_t step = bands.bandRows(budget);
    for (int64_t y = v.top; y < v.bottom; y += step) {
        const int32_t rows = int32_t(std::min<int64_t>(step, v.bottom - y));
        bands.fillBand(y, rows, out.data() + size_t(y - v.top) * stride, stride);
    }
    return out;
}

// The same through the pixel accessors, one pixel at a time: the nearest picture pixel of each
// device pixel.
std::vector<uint8_t> drawPlain(PackedDib& picture, const PageRect& target, const PageRect& v)
{
    access_pixel pixels(picture);
    const int64_t W = picture.width(), H = picture.height();
    std::vector<uint8_t> out;
    for (int64_t y = v.top; y < v.bottom; ++y)
        for (int64_t x = v.left; x < v.right; ++x) {
            const int64_t column = (x - target.left) * W / target.width();
            const int64_t displayRow = (y - target.top) * H / target.height();
            pixels->readPixel(int32_t(column), int32_t(H - 1 - displayRow));
            out.insert(out.end(), { currentPixel.red, currentPixel.green, currentPixel.blue });
        }
    return out;
}

TEST(ScaledBands, MatchesThePlainNearestPixelForm)
{
    MaskedDib picture = patternPicture(37, 23);
    const PageRect page { 0, 0, 200, 150 };
    struct Case {
        const char* what;
        PageRect target;
        PageRect visible;
    };
    for (const Case& c : {
             Case { "same size", { 10, 20, 47, 43 }, { 10, 20, 47, 43 } },
             Case { "enlarged", { 0, 0, 200, 150 }, { 0, 0, 200, 150 } },
             Case { "shrunk", { 5, 5, 20, 12 }, { 5, 5, 20, 12 } },
             Case { "past the page", { 150, 100, 290, 260 }, { 150, 100, 200, 150 } },
         }) {
        const ScaledBands bands(*picture.dib, c.target, page);
        ASSERT_TRUE(bands.ok()) << c.what;
        EXPECT_EQ(bands.visible(), c.visible) << c.what;
        const std::vector<uint8_t> plain = drawPlain(*picture.dib, c.target, c.visible);
        // One band, bands of a few rows, and bands of one row give the same page.
        for (size_t budget : { size_t(1) << 20, size_t(1000), size_t(1) })
            EXPECT_EQ(drawBanded(bands, budget), plain) << c.what << " budget " << budget;
    }
}

TEST(ScaledBands, SameSizeCopiesThePictureUnchanged)
{
    MaskedDib picture = patternPicture(9, 4);
    const ScaledBands bands(*picture.dib, PageRect { 0, 0, 9, 4 }, PageRect { 0, 0, 100, 100 });
    const std::vector<uint8_t> out = drawBanded(bands, 1);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            const uint8_t* p = picture.dib->row(3 - y) + 3 * x;
            const uint8_t* q = out.data() + (size_t(y) * 9 + size_t(x)) * 3;
            EXPECT_EQ(q[0], p[2]);
            EXPECT_EQ(q[1], p[1]);
            EXPECT_EQ(q[2], p[0]);
        }
}

TEST(ScaledBands, NothingToDrawOutsideThePageOrForAnEmptyRectangle)
{
    MaskedDib picture = patternPicture(9, 4);
    const PageRect page { 0, 0, 100, 100 };
    EXPECT_FALSE(ScaledBands(*picture.dib, PageRect { 100, 0, 150, 50 }, page).ok());
    EXPECT_FALSE(ScaledBands(*picture.dib, PageRect { 10, 10, 10, 50 }, page).ok());
    EXPECT_FALSE(ScaledBands(*picture.dib, PageRect { 10, 10, 50, 10 }, page).ok());
}

TEST(ScaledBands, BandsStayWithinTheirBudget)
{
    MaskedDib picture = patternPicture(9, 4);
    const ScaledBands bands(*picture.dib, PageRect { 0, 0, 1000, 5000 }, PageRect { 0, 0, 1000, 5000 });
    EXPECT_EQ(bands.bandRows(30000), 10);
    EXPECT_EQ(bands.bandRows(1), 1);
    EXPECT_EQ(bands.bandRows(size_t(1) << 30), 5000);
}

} // namespace
} // namespace tessary
