#include "merge/transform_source.h"

#include "app/long_operation.h"
#include "app/workspace.h"
#include "merge/generate_target.h"
#include "merge/progress_colours.h"
#include "merge_fixtures.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::makeImage24;
using testing::maskAt;
using testing::pixelAt;

constexpr PixelPath kPaths[] = { PixelPath::Accessor, PixelPath::Rows, PixelPath::RowsTwoThreads };

struct Transformed {
    int result;
    MaskedDib image;
};

Transformed transform(const MaskedDib& source, double sx, double sy, double angle, bool mirrored,
    PixelPath path = PixelPath::Accessor)
{
    GTestPlatform platform;
    LongOperation operation(platform);
    int32_t progress = 0;
    Transformed t;
    t.result = transformImage(source, sx, sy, angle, mirrored, operation, progress, t.image, path);
    return t;
}

// Colour that tells where a source pixel came from.
BgrColour coordinateColour(int32_t x, int32_t row)
{
    return BgrColour { uint8_t(x), uint8_t(row), 77 };
}

TEST(TransformGeometry, SizesAndFixedPointFactors)
{
    struct Case {
        int32_t w, h;
        double sx, sy, angle;
        bool mirrored;
        int32_t newW, newH, A, B, C, offX, offY;
    };
    const Case cases[] = {
        // 100 %, unrotated: the source's own size.
        { 100, 50, 1024, 1024, 0, false, 100, 50, 0, 0, 1024, 0, 0 },
        { 10, 10, 2048, 2048, 0, false, 20, 20, 0, 0, 1024, 0, 0 },
        { 10, 10, 512, 512, 0, false, 5, 5, 0, 0, 1024, 0, 0 },
        // A scale below 1.0 counts as 1.0: 1024 pixels become 1.
        { 1024, 1024, 0.5, 0.25, 0, false, 1, 1, 0, 0, 1024, 0, 0 },
        // 90 degrees with pi = 3.14159: cos leaves 1.3e-6, so C is 1 and not 0.
        { 100, 50, 1024, 1024, 90, false, 50, 100, 1023, 1023, 1, -25600, 25600 },
        { 100, 50, 1024, 1024, 90, true, 50, 100, 1023, -1023, 1, -25600, 25600 },
        { 4000, 3000, 1536, 1536, 30, false, 7446, 6897, 137, 511, 887, 740352, 1227264 },
        { 200, 100, 1024, 1024, -30, false, 223, 186, 137, -511, 887, 11776, 44032 },
        { 200, 100, 1024, 1024, 45, false, 212, 212, 299, 724, 725, 6144, 57344 },
        { 200, 100, 1024, 1024, 180, false, 200, 100, 2047, 0, -1023, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            ::testing::Message() << c.w << "x" << c.h << " " << c.sx << " " << c.angle << " " << c.mirrored);
        const TransformGeometry g = computeTransformGeometry(c.w, c.h, c.sx, c.sy, c.angle, c.mirrored);
        ASSERT_TRUE(g.valid);
        EXPECT_EQ(g.newW, c.newW);
        EXPECT_EQ(g.newH, c.newH);
        EXPECT_EQ(g.A, c.A);
        EXPECT_EQ(g.B, c.B);
        EXPECT_EQ(g.C, c.C);
        EXPECT_EQ(g.offX, c.offX);
        EXPECT_EQ(g.offY, c.offY);
    }
    // A negative height (top-down header) counts by its absolute value.
    EXPECT_EQ(computeTransformGeometry(30, -20, 1024, 1024, 0, false).newH, 20);
    // Beyond any image size, or not a number: no geometry.
    EXPECT_FALSE(computeTransformGeometry(20000, 100, 2048, 1024, 0, false).valid);
    EXPECT_FALSE(computeTransformGeometry(100, 100, 1024, 1024, std::nan(""), false).valid);
}

TEST(TransformSource, IdentityReproducesTheSource)
{
    const MaskedDib source = makeImage24(7, 5, coordinateColour);
    for (PixelPath path : kPaths) {
        const Transformed t = transform(source, 1024, 1024, 0, false, path);
        ASSERT_EQ(t.result, kTransformDone);
        ASSERT_EQ(t.image.width(), 7);
        ASSERT_EQ(t.image.height(), 5);
        EXPECT_EQ(t.image.dib->bitCount(), 24);
        for (int32_t r = 0; r < 5; ++r)
            for (int32_t c = 0; c < 7; ++c) {
                EXPECT_EQ(pixelAt(t.image, c, r), coordinateColour(c, r)) << c << "," << r;
                EXPECT_EQ(maskAt(t.image, c, r), 65535) << c << "," << r;
            }
    }
}

// The interior takes its mask from the lower-right neighbour (P11), and a transparent source
// pixel empties every target pixel whose 2 x 2 neighbourhood touches it; the nearest-neighbour
// last column and row are always fully opaque.
TEST(TransformSource, MaskHolesGrowAndPartialOpacityComesFromTheNeighbour)
{
    MaskedDib source = makeImage24(6, 5, coordinateColour);
    source.mask[2 * 6 + 3] = 0; // (3, 2) transparent
    source.mask[4 * 6 + 1] = 30000; // (1, 4) partly opaque, in the last row
    source.mask[1 * 6 + 5] = 12345; // (5, 1) partly opaque, in the last column
    for (PixelPath path : kPaths) {
        const Transformed t = transform(source, 1024, 1024, 0, false, path);
        ASSERT_EQ(t.result, kTransformDone);
        for (int32_t r = 0; r < 5; ++r)
            for (int32_t c = 0; c < 6; ++c) {
                SCOPED_TRACE(::testing::Message() << c << "," << r);
                const bool hole = (c == 2 || c == 3) && (r == 1 || r == 2);
                uint16_t expected = hole ? 0 : 65535;
                if (c == 0 && r == 3)
                    expected = 30000;
                if (c == 4 && r == 0)
                    expected = 12345;
                EXPECT_EQ(maskAt(t.image, c, r), expected);
                EXPECT_EQ(pixelAt(t.image, c, r), hole ? BgrColour {} : coordinateColour(c, r));
            }
    }
}

TEST(TransformSource, DoubleSizeInterpolatesInHalfSteps)
{
    const MaskedDib source = makeImage24(10, 10, [](int32_t x, int32_t row) {
        return BgrColour { uint8_t(20 * x), uint8_t(20 * row), 9 };
    });
    const Transformed t = transform(source, 2048, 2048, 0, false);
    ASSERT_EQ(t.result, kTransformDone);
    ASSERT_EQ(t.image.width(), 20);
    ASSERT_EQ(t.image.height(), 20);
    // Interior: source point (c / 2, r / 2); odd positions lie halfway between two pixels.
    for (int32_t r = 0; r <= 18; ++r)
        for (int32_t c = 0; c <= 18; ++c) {
            SCOPED_TRACE(::testing::Message() << c << "," << r);
            const int32_t x = c / 2, y = r / 2;
            const int32_t x1 = x == 9 ? 9 : x + 1, y1 = y == 9 ? 9 : y + 1;
            const int32_t blue = c % 2 ? (20 * x + 20 * x1) / 2 : 20 * x;
            const int32_t green = r % 2 ? (20 * y + 20 * y1) / 2 : 20 * y;
            EXPECT_EQ(pixelAt(t.image, c, r), (BgrColour { uint8_t(blue), uint8_t(green), 9 }));
        }
    // Last column and row: nearest neighbour, source column / row 9.
    EXPECT_EQ(pixelAt(t.image, 19, 7), (BgrColour { 180, 60, 9 }));
    EXPECT_EQ(pixelAt(t.image, 7, 19), (BgrColour { 60, 180, 9 }));
    EXPECT_EQ(pixelAt(t.image, 19, 19), (BgrColour { 180, 180, 9 }));
}

TEST(TransformSource, HalfSizeKeepsEvenPixels)
{
    const MaskedDib source = makeImage24(10, 10, coordinateColour);
    const Transformed t = transform(source, 512, 512, 0, false);
    ASSERT_EQ(t.result, kTransformDone);
    ASSERT_EQ(t.image.width(), 5);
    ASSERT_EQ(t.image.height(), 5);
    for (int32_t r = 0; r < 5; ++r)
        for (int32_t c = 0; c < 5; ++c)
            EXPECT_EQ(pixelAt(t.image, c, r), coordinateColour(2 * c, 2 * r)) << c << "," << r;
}

// Rows count from the bottom, so a positive angle turns the picture clockwise as displayed: the
// source's right column becomes the bottom row and its bottom row the left column.
TEST(TransformSource, QuarterTurnIsClockwise)
{
    const MaskedDib source = makeImage24(100, 50, [](int32_t x, int32_t row) {
        return BgrColour { uint8_t(2 * x), uint8_t(4 * row), 1 };
    });
    const Transformed t = transform(source, 1024, 1024, 90, false);
    ASSERT_EQ(t.result, kTransformDone);
    ASSERT_EQ(t.image.width(), 50);
    ASSERT_EQ(t.image.height(), 100);
    int checked = 0;
    for (int32_t r = 1; r <= 97; ++r)
        for (int32_t c = 0; c <= 48; ++c) {
            if (maskAt(t.image, c, r) == 0)
                continue;
            ++checked;
            const BgrColour p = pixelAt(t.image, c, r);
            EXPECT_NEAR(p.blue / 2.0, 100 - r, 1.0) << c << "," << r;
            EXPECT_NEAR(p.green / 4.0, c, 1.0) << c << "," << r;
        }
    EXPECT_GT(checked, 4500);
}

TEST(TransformSource, MirrorReflectsAboutTheCentre)
{
    for (int32_t w : { 5, 6 }) {
        SCOPED_TRACE(w);
        const MaskedDib source = makeImage24(w, 3, coordinateColour);
        for (PixelPath path : kPaths) {
            const Transformed t = transform(source, 1024, 1024, 0, true, path);
            ASSERT_EQ(t.result, kTransformDone);
            ASSERT_EQ(t.image.width(), w);
            for (int32_t r = 0; r < 3; ++r)
                for (int32_t c = 0; c < w; ++c) {
                    SCOPED_TRACE(::testing::Message() << c << "," << r);
                    // Odd width: column c shows W - 1 - c. Even width: the reflection is about W / 2,
                    // so column c shows W - c and column 0 stays empty.
                    const int32_t from = w % 2 ? w - 1 - c : w - c;
                    if (from >= w) {
                        EXPECT_EQ(maskAt(t.image, c, r), 0);
                        EXPECT_EQ(pixelAt(t.image, c, r), BgrColour {});
                    } else {
                        EXPECT_EQ(maskAt(t.image, c, r), 65535);
                        EXPECT_EQ(pixelAt(t.image, c, r), coordinateColour(from, r));
                    }
                }
        }
    }
}

TEST(TransformSource, RefusedFormats)
{
    struct Case {
        int bits;
        uint32_t compression;
        int expected;
    };
    const Case cases[] = {
        { 4, 2, kTransformRle },
        { 8, 1, kTransformRle },
        { 0, 0, kTransformUnsupported },
        { 16, 1, kTransformUnsupported },
        { 12, 0, kTransformUnsupported },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bits, compression " << c.compression);
        MaskedDib source;
        ASSERT_FALSE(allocateMaskedDib(4, 4, source, 8));
        BitmapInfoHeader h = source.dib->header();
        h.biBitCount = uint16_t(c.bits);
        h.biCompression = c.compression;
        source.dib->setHeader(h);
        MaskedDib out = makeImage24(2, 2, coordinateColour); // a previous result, to be discarded
        GTestPlatform platform;
        LongOperation operation(platform);
        int32_t progress = 0;
        EXPECT_EQ(transformImage(source, 1024, 1024, 0, false, operation, progress, out), c.expected);
        EXPECT_TRUE(out.empty());
        EXPECT_TRUE(platform.progressHistory.empty());
    }
    // A block too short for the rows its header announces is not read.
    MaskedDib shortBlock;
    shortBlock.dib = PackedDib::allocate(40 + 16);
    BitmapInfoHeader h;
    h.biWidth = 100;
    h.biHeight = 100;
    h.biBitCount = 24;
    shortBlock.dib->setHeader(h);
    EXPECT_EQ(transform(shortBlock, 1024, 1024, 0, false).result, kTransformUnsupported);
}

// A scaled size below one pixel gives an image without pixels, and nothing is written outside it.
TEST(TransformSource, ZeroSizedResultWritesNothing)
{
    const MaskedDib wide = makeImage24(300, 40, coordinateColour);
    for (PixelPath path : kPaths) {
        // 40 rows at 1/1024: no rows; 300 columns at 100 %: newW 300, newH 0.
        const Transformed noRows = transform(wide, 1024, 1, 0, false, path);
        EXPECT_EQ(noRows.result, kTransformDone);
        EXPECT_EQ(noRows.image.width(), 300);
        EXPECT_EQ(noRows.image.height(), 0);
        // No columns but 40 rows: every row is still polled.
        GTestPlatform platform;
        LongOperation operation(platform);
        int32_t progress = 0;
        MaskedDib out;
        EXPECT_EQ(transformImage(wide, 1, 1024, 0, false, operation, progress, out, path), kTransformDone);
        EXPECT_EQ(out.width(), 0);
        EXPECT_EQ(out.height(), 40);
        EXPECT_EQ(platform.eventPumps, 39);
    }
}

TEST(TransformSource, FastPathsEqualTheAccessorPathOnEveryDepth)
{
    std::mt19937 rng(2024);
    struct Depth {
        int bits;
        bool bitFields;
    };
    const Depth depths[] = { { 1, false }, { 4, false }, { 8, false }, { 16, false }, { 16, true },
        { 24, false }, { 32, false } };
    std::uniform_real_distribution<double> scale(300, 2600), angle(-200, 200);
    std::uniform_int_distribution<int> side(1, 37), coin(0, 1);
    int compared = 0;
    for (const Depth& depth : depths) {
        for (int n = 0; n < 12; ++n) {
            const MaskedDib source
                = testing::randomImage(side(rng), side(rng), depth.bits, rng, depth.bitFields);
            // Power-of-two scales, which the row path multiplies out, and round percentages whose
            // quotients often land exactly on a 256th, where any inexact shortcut would show.
            const double powers[] = { 512.0, 1024.0, 2048.0 }, round[] = { 768.0, 1280.0, 1536.0 };
            const double sx = n % 4 == 1 ? powers[n % 3] : n % 4 == 3 ? round[n % 3] : scale(rng);
            const double sy = n % 4 == 1 ? powers[(n + 1) % 3] : n % 4 == 3 ? round[(n + 1) % 3] : scale(rng);
            const double a = n % 3 == 0 ? 0.0 : angle(rng);
            const bool mirrored = coin(rng);
            SCOPED_TRACE(::testing::Message()
                << depth.bits << " bits " << source.width() << "x" << source.height() << " sx " << sx
                << " sy " << sy << " angle " << a << " mirrored " << mirrored);
            GTestPlatform plainPlatform;
            LongOperation plainOperation(plainPlatform);
            int32_t plainProgress = 0;
            MaskedDib plain;
            const int plainResult = transformImage(
                source, sx, sy, a, mirrored, plainOperation, plainProgress, plain, PixelPath::Accessor);
            ASSERT_EQ(plainResult, kTransformDone);
            for (PixelPath path : { PixelPath::Rows, PixelPath::RowsTwoThreads }) {
                GTestPlatform fastPlatform;
                LongOperation fastOperation(fastPlatform);
                int32_t fastProgress = 0;
                MaskedDib fast;
                ASSERT_EQ(
                    transformImage(source, sx, sy, a, mirrored, fastOperation, fastProgress, fast, path),
                    kTransformDone);
                ASSERT_TRUE(testing::sameImage(plain, fast));
                EXPECT_EQ(fastPlatform.progressHistory, plainPlatform.progressHistory);
                EXPECT_EQ(fastPlatform.eventPumps, plainPlatform.eventPumps);
                EXPECT_EQ(fastProgress, plainProgress);
                ++compared;
            }
        }
    }
    // Large enough for several blocks of rows on both threads and several runs of columns in a
    // row, at whole scales and at scales with fractions of a 1024th.
    const MaskedDib big = testing::randomImage(700, 500, 24, rng);
    for (const auto& [sx, sy] : { std::pair { 1400.0, 1300.0 }, { 1400.5, 1299.25 } }) {
        SCOPED_TRACE(sx);
        const Transformed plain = transform(big, sx, sy, 17, true, PixelPath::Accessor);
        const Transformed fast = transform(big, sx, sy, 17, true, PixelPath::RowsTwoThreads);
        EXPECT_TRUE(testing::sameImage(plain.image, fast.image));
    }
    EXPECT_EQ(compared, 168);
}

// Whole scales (in 1024ths) are worked out in integers by the row path: tiny ones (a source
// pixel spread over many), odd ones whose quotients rarely land on a 256th, and ones near 100 %,
// at every depth, masked or not, mirrored or not.
TEST(TransformSource, WholeScalesEqualTheAccessorPath)
{
    std::mt19937 rng(31);
    const int depths[] = { 1, 4, 8, 24 };
    const double scales[] = { 1, 7, 333, 1000, 1023, 1025, 1536, 2047, 4099 };
    std::uniform_int_distribution<int> side(1, 29), pick(0, 8), coin(0, 1);
    std::uniform_real_distribution<double> angle(-360, 360);
    for (int bits : depths) {
        for (int n = 0; n < 24; ++n) {
            MaskedDib source = testing::randomImage(side(rng), side(rng), bits, rng);
            if (coin(rng))
                releaseMask(source);
            const double sx = scales[pick(rng)], sy = scales[pick(rng)];
            const double a = n % 4 == 0 ? 0.0 : angle(rng);
            const bool mirrored = coin(rng);
            SCOPED_TRACE(::testing::Message() << bits << " bits " << source.width() << "x" << source.height()
                                              << " sx " << sx << " sy " << sy << " angle " << a << " mirrored "
                                              << mirrored << " masked " << bool(source.mask));
            const Transformed plain = transform(source, sx, sy, a, mirrored, PixelPath::Accessor);
            const Transformed fast = transform(source, sx, sy, a, mirrored, PixelPath::RowsTwoThreads);
            ASSERT_EQ(plain.result, kTransformDone);
            ASSERT_EQ(fast.result, kTransformDone);
            ASSERT_TRUE(testing::sameImage(plain.image, fast.image));
        }
    }
}

// At 100 % with an angle whose sine rounds to nothing (0, 180, 360 degrees and tiny angles) every
// column moves by a whole source pixel, which the row path works out in integers. Masked and
// unmasked sources of every depth, odd and even sides (the mirror's first column falls outside
// an even-width source), whole and fractional shifts.
TEST(TransformSource, FullSizeShiftsEqualTheAccessorPath)
{
    std::mt19937 rng(77);
    const int depths[] = { 1, 4, 8, 24 };
    // A long side times a sine below 1/1024 can still grow the other side by a pixel, and then
    // the centring shifts by half a pixel (by a whole one when it grows by two).
    const double angles[] = { 0.0, 180.0, -180.0, 360.0, 0.01, 179.995, 0.05, 179.95 };
    const std::pair<int32_t, int32_t> sizes[] = { { 1, 1 }, { 2, 3 }, { 9, 6 }, { 40, 31 }, { 3, 1500 }, { 1500, 3 }, { 2, 2500 } };
    for (int bits : depths) {
        for (const auto& [w, h] : sizes) {
            for (double a : angles) {
                for (int variant = 0; variant < 4; ++variant) {
                    const bool mirrored = variant & 1, masked = variant & 2;
                    MaskedDib source = testing::randomImage(w, h, bits, rng);
                    if (!masked)
                        releaseMask(source);
                    SCOPED_TRACE(::testing::Message() << bits << " bits " << w << "x" << h << " angle " << a
                                                      << " mirrored " << mirrored << " masked " << masked);
                    const Transformed plain = transform(source, 1024, 1024, a, mirrored, PixelPath::Accessor);
                    ASSERT_EQ(plain.result, kTransformDone);
                    for (PixelPath path : { PixelPath::Rows, PixelPath::RowsTwoThreads }) {
                        const Transformed fast = transform(source, 1024, 1024, a, mirrored, path);
                        ASSERT_EQ(fast.result, kTransformDone);
                        ASSERT_TRUE(testing::sameImage(plain.image, fast.image));
                    }
                }
            }
        }
    }
}

// ---- the workspace road: flags, panes, progress, abort

struct OneSourceWorkspace {
    MergeWorkspace ws;
    GTestPlatform platform;
    OneSourceWorkspace(int32_t w, int32_t h)
    {
        for (int i = 0; i < 2; ++i) {
            auto doc = std::make_unique<VIrorozIzi>();
            doc->slotIndex = i;
            doc->image = makeImage24(w, h, coordinateColour);
            ws.documents[size_t(i)] = std::move(doc);
        }
        ws.sourceCount = 2;
    }
};

// The row path keeps a result's mask as row spans (the fact when it came out opaque everywhere),
// with the values of the accessor path's real plane. An opaque source turned by an angle keeps
// next to no values: each row is 0s, a run of 65535s and 0s.
TEST(TransformSource, RowPathResultsKeepTheirMaskAsRowSpans)
{
    std::mt19937 rng(8);
    struct Case {
        double sx, sy, angle;
        bool mirrored, masked;
    };
    const Case cases[] = { { 1536, 1536, 30, false, false }, { 1024, 1024, 45, true, false },
        { 700, 1300, -170, true, false }, { 2048, 2048, 90, false, false }, { 1536, 1024, 0, false, false },
        { 1536, 1536, 30, false, true }, { 1024, 1024, 180, false, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sx << " " << c.sy << " angle " << c.angle << " mirrored "
                                          << c.mirrored << " masked " << c.masked);
        MaskedDib source = testing::randomImage(301, 200, 24, rng);
        if (!c.masked) {
            ASSERT_FALSE(allocateMask(source, 0xFF));
        }
        const Transformed plain = transform(source, c.sx, c.sy, c.angle, c.mirrored, PixelPath::Accessor);
        ASSERT_EQ(plain.result, kTransformDone);
        bool opaqueEverywhere = true;
        for (size_t i = 0; i < plain.image.maskCount; ++i)
            opaqueEverywhere = opaqueEverywhere && plain.image.mask[i] == kOpaque;
        for (PixelPath path : { PixelPath::Rows, PixelPath::RowsTwoThreads }) {
            const Transformed fast = transform(source, c.sx, c.sy, c.angle, c.mirrored, path);
            ASSERT_EQ(fast.result, kTransformDone);
            const MaskPlane& mask = fast.image.mask;
            EXPECT_EQ(mask.isOpaqueFact(), opaqueEverywhere);
            ASSERT_EQ(mask.spans() != nullptr, !opaqueEverywhere);
            EXPECT_EQ(mask.realValues(), nullptr) << "no plane of two bytes per pixel";
            ASSERT_TRUE(testing::sameImage(plain.image, fast.image));
            if (opaqueEverywhere || c.masked)
                continue;
            size_t kept = 0;
            for (int32_t r = 0; r < fast.image.height(); ++r) {
                const MaskSpanRow& row = mask.spans()->row(r);
                kept += size_t(row.x1 - row.x0) + size_t(row.x3 - row.x2);
            }
            EXPECT_LE(kept, size_t(2 * fast.image.height()));
        }
    }
}

// The identity (100 % both ways, no turn, no mirror) on an opaque source gives the same bytes,
// mask, progress and polls on every path; on a 24-bit bottom-up source the result shares the
// source's rows instead of copying them.
TEST(TransformSource, IdentityOnAnOpaqueSourceSharesRowsWithTheSameBytes)
{
    std::mt19937 rng(23);
    struct Case {
        int bits;
        bool bitFields;
        int32_t w, h;
        bool realMask; // a real mask of 65535s instead of the opaque fact
        bool dirtyPadding; // random padding bytes, which the passes do not carry over
    };
    const Case cases[] = { { 24, false, 1, 1, false, false }, { 24, false, 1, 9, false, false },
        { 24, false, 9, 1, false, false }, { 24, false, 37, 29, false, false }, { 24, false, 6, 5, true, false },
        { 24, false, 7, 4, false, true }, { 24, false, 4, 3, false, false }, { 1, false, 13, 6, false, false }, { 4, false, 11, 7, false, false },
        { 8, false, 10, 9, false, false }, { 16, true, 9, 8, false, false }, { 32, false, 6, 7, false, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bits " << c.w << "x" << c.h << (c.realMask ? " real mask" : "")
                                          << (c.dirtyPadding ? " dirty padding" : ""));
        MaskedDib source = testing::randomImage(c.w, c.h, c.bits, rng, c.bitFields);
        ASSERT_FALSE(allocateMask(source, 0xFF));
        if (c.realMask) {
            ASSERT_TRUE(materialiseMask(source));
        }
        // randomImage fills the padding as well; decoded files have none.
        if (!c.dirtyPadding && c.bits == 24)
            for (int32_t r = 0; r < c.h; ++r)
                std::fill(source.dib->row(r) + 3 * c.w, source.dib->row(r) + source.dib->stride(), 0);
        const MaskedDib before = source.clone();
        GTestPlatform plainPlatform;
        LongOperation plainOperation(plainPlatform);
        int32_t plainProgress = 0;
        MaskedDib plain;
        ASSERT_EQ(transformImage(source, 1024, 1024, 0, false, plainOperation, plainProgress, plain,
                      PixelPath::Accessor),
            kTransformDone);
        EXPECT_FALSE(plain.dib->sharesRows());
        for (PixelPath path : { PixelPath::Rows, PixelPath::RowsTwoThreads }) {
            GTestPlatform fastPlatform;
            LongOperation fastOperation(fastPlatform);
            int32_t fastProgress = 0;
            MaskedDib fast;
            ASSERT_EQ(transformImage(source, 1024, 1024, 0, false, fastOperation, fastProgress, fast, path),
                kTransformDone);
            const bool shares = c.bits == 24 && !c.realMask && !c.dirtyPadding;
            EXPECT_EQ(fast.dib->sharesRows(), shares);
            EXPECT_TRUE(fast.mask.isOpaqueFact());
            EXPECT_TRUE(plain.mask.isOpaqueFact()) << "an opaque result keeps only the fact";
            EXPECT_TRUE(testing::sameImage(plain, fast));
            EXPECT_EQ(fastPlatform.progressHistory, plainPlatform.progressHistory);
            EXPECT_EQ(fastPlatform.eventPumps, plainPlatform.eventPumps);
            EXPECT_EQ(fastProgress, plainProgress);
        }
        EXPECT_TRUE(testing::sameImage(source, before)) << "the source is left as it was";
    }
}

// A source and its shared identity part as soon as either changes: each keeps what it had.
TEST(TransformSource, SharedIdentityPartsWhenEitherSideChanges)
{
    std::mt19937 rng(7);
    for (bool changeSource : { true, false }) {
        SCOPED_TRACE(changeSource ? "source changed" : "result changed");
        MaskedDib source = testing::randomImage(8, 6, 24, rng);
        ASSERT_FALSE(allocateMask(source, 0xFF));
        const MaskedDib before = source.clone();
        Transformed t = transform(source, 1024, 1024, 0, false, PixelPath::RowsTwoThreads);
        ASSERT_EQ(t.result, kTransformDone);
        MaskedDib& result = t.image;
        ASSERT_TRUE(result.dib->sharesRows());
        MaskedDib& changed = changeSource ? source : result;
        const MaskedDib& other = changeSource ? result : source;
        testing::setPixel(changed, 3, 2, BgrColour { 1, 2, 3 });
        changed.maskRow(4)[5] = 0;
        EXPECT_FALSE(result.dib->sharesRows());
        EXPECT_EQ(testing::pixelAt(changed, 3, 2), (BgrColour { 1, 2, 3 }));
        EXPECT_EQ(changed.mask[4 * 8 + 5], 0);
        // The other side still holds the pixels both had, and its opaque mask.
        for (int32_t r = 0; r < 6; ++r)
            EXPECT_EQ(std::memcmp(other.dib->row(r), before.dib->row(r), before.dib->stride()), 0) << r;
        EXPECT_TRUE(other.mask.isOpaqueFact());
    }
}

TEST(TransformSource, WorkspaceRoadShowsPanesAndProgress)
{
    OneSourceWorkspace f(8, 5);
    f.ws.targetDoc.generated = 1;
    f.ws.source(2)->changed = true;
    f.ws.alignDoc.placement[1].scaleX = 2048;
    f.ws.targetDoc.transformed[1] = makeImage24(3, 3, coordinateColour);
    f.platform.setStatusPaneText(2, "x = 1, y = 2");
    f.platform.paneHistory.clear();
    EXPECT_EQ(transformSource(f.ws, f.platform, 2), kTransformDone);
    EXPECT_EQ(f.ws.targetDoc.generated, 0);
    EXPECT_FALSE(f.ws.source(2)->changed);
    EXPECT_EQ(f.ws.targetDoc.transformed[1].width(), 16);
    EXPECT_EQ(f.ws.targetDoc.transformed[1].height(), 5);
    const std::vector<std::pair<int, std::string>> panes
        = { { 0, "Press Esc to quit." }, { 2, "process src: 2" } };
    EXPECT_EQ(f.platform.paneHistory, panes);
    // The operation over, the panes show what they showed before it.
    EXPECT_EQ(f.platform.paneText[0], "");
    EXPECT_EQ(f.platform.paneText[2], "x = 1, y = 2");
    EXPECT_EQ(f.platform.busyDepth, 0);
    EXPECT_EQ(f.platform.pollsWhileIdle, 0);
    // One poll and one red bar per interior row (0..3 of 5), then the grey bar.
    const std::vector<std::pair<int, ColourRef>> progress
        = { { 0, kProgressTransform }, { 20, kProgressTransform }, { 40, kProgressTransform },
              { 60, kProgressTransform }, { 100, kProgressDone } };
    EXPECT_EQ(f.platform.progressHistory, progress);
    EXPECT_EQ(f.platform.eventPumps, 4);
    EXPECT_EQ(f.ws.targetDoc.progress, 60);
    EXPECT_TRUE(f.ws.source(2)->processedOk);
}

TEST(TransformSource, TooLargeIsOutOfMemory)
{
    OneSourceWorkspace f(200, 10);
    f.ws.alignDoc.placement[0].scaleX = 1024 * 101;
    f.platform.expectMessage("Not enough memory to process the source image.");
    EXPECT_EQ(transformSource(f.ws, f.platform, 1), kTransformOutOfMemory);
    EXPECT_TRUE(f.ws.targetDoc.transformed[0].empty());
    EXPECT_EQ(f.platform.messages.at(0).icon, MessageIcon::Error);
    EXPECT_EQ(f.platform.paneText[0], "");
    EXPECT_EQ(f.platform.paneText[2], "");
}

TEST(TransformSource, MissingSourceOrImage)
{
    OneSourceWorkspace f(4, 4);
    EXPECT_EQ(transformSource(f.ws, f.platform, 3), kTransformNoSource);
    EXPECT_EQ(transformSource(f.ws, f.platform, 0), kTransformNoSource);
    const std::vector<std::pair<int, std::string>> panes
        = { { 0, "Press Esc to quit." }, { 0, "Press Esc to quit." } };
    EXPECT_EQ(f.platform.paneHistory, panes);
    EXPECT_EQ(f.platform.paneText[0], "");

    f.ws.targetDoc.transformed[0] = makeImage24(3, 3, coordinateColour);
    f.ws.source(1)->image = MaskedDib {};
    EXPECT_EQ(transformSource(f.ws, f.platform, 1), kTransformNoSource);
    EXPECT_TRUE(f.ws.targetDoc.transformed[0].empty());
}

TEST(TransformSource, EscAndYesAbortsAndEmptiesTheSlot)
{
    for (PixelPath path : kPaths) {
        OneSourceWorkspace f(30, 20);
        f.ws.targetDoc.transformed[0] = makeImage24(3, 3, coordinateColour);
        // Esc is seen at the fourth row's poll; "No" to the first question, "Yes" to the second.
        f.platform.escapeDownPolls = 0;
        EXPECT_EQ(transformSource(f.ws, f.platform, 1, path), kTransformDone);
        f.platform.progressHistory.clear();
        f.platform.paneHistory.clear();
        f.platform.escapeDownPolls = 2;
        f.platform.expectMessage("Do you really want to quit ?", MessageAnswer::No);
        f.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
        EXPECT_EQ(transformSource(f.ws, f.platform, 1, path), kTransformAborted);
        EXPECT_TRUE(f.ws.targetDoc.transformed[0].empty());
        EXPECT_FALSE(f.ws.source(1)->processedOk);
        const std::vector<std::pair<int, ColourRef>> progress
            = { { 0, kProgressTransform }, { 100, kProgressDone } };
        EXPECT_EQ(f.platform.progressHistory, progress);
        const std::vector<std::pair<int, std::string>> panes
            = { { 0, "Press Esc to quit." }, { 2, "process src: 1" } };
        EXPECT_EQ(f.platform.paneHistory, panes);
        // A failed operation leaves no text behind either.
        EXPECT_EQ(f.platform.paneText[0], "");
        EXPECT_EQ(f.platform.paneText[2], "");
        EXPECT_EQ(f.platform.messages.at(0).buttons, MessageButtons::YesNo);
        // Until the source is transformed again the target cannot be generated.
        ASSERT_EQ(transformSource(f.ws, f.platform, 2, path), kTransformDone);
        f.platform.expectMessage("Can't load target image!");
        EXPECT_FALSE(generateTarget(f.ws, f.platform, path));
    }
}

} // namespace
} // namespace tessary
