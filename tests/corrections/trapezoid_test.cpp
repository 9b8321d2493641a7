#include "corrections/trapezoid.h"

#include "corrections/literal_corrections.h"
#include "merge/merge_fixtures.h"
#include "sources/copy_to_24bit.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::maskAt;
using testing::pixelAt;
using testing::randomImage;
using testing::sameImage;

MaskedDib gradient(int32_t w, int32_t h)
{
    return testing::makeImage24(w, h, [](int32_t x, int32_t row) {
        return BgrColour { uint8_t(x * 2), uint8_t(row * 3), uint8_t(x + row) };
    });
}

TEST(Trapezoid, FullRatioCopiesAllButTheLastColumn)
{
    MaskedDib backup = gradient(40, 12), result;
    ASSERT_EQ(applyTrapezoid(backup, { 100, 30, false }, result), CorrectionStatus::Done);
    for (int32_t row = 0; row < 12; ++row) {
        for (int32_t x = 0; x < 39; ++x) {
            ASSERT_EQ(pixelAt(result, x, row), pixelAt(backup, x, row)) << x << "," << row;
            ASSERT_EQ(maskAt(result, x, row), kOpaque);
        }
        EXPECT_EQ(maskAt(result, 39, row), kTransparent);
        EXPECT_EQ(pixelAt(result, 39, row), (BgrColour { 0, 0, 0 }));
    }
}

TEST(Trapezoid, InvertedHalfApexWritesTheMiddleOfTheBottomRow)
{
    MaskedDib backup = gradient(100, 10), result;
    ASSERT_EQ(applyTrapezoid(backup, { 50, 50, true }, result), CorrectionStatus::Done);
    for (int32_t x = 0; x < 100; ++x)
        EXPECT_EQ(maskAt(result, x, 0), x >= 25 && x <= 74 ? kOpaque : kTransparent) << x;
    // l = 2x - 50 lands on whole columns: a plain copy of column 2x - 50.
    EXPECT_EQ(pixelAt(result, 30, 0), pixelAt(backup, 10, 0));
    // Not inverted, the bottom row is the base: copied except the last column.
    ASSERT_EQ(applyTrapezoid(backup, { 50, 50, false }, result), CorrectionStatus::Done);
    EXPECT_EQ(maskAt(result, 0, 0), kOpaque);
    EXPECT_EQ(maskAt(result, 99, 0), kTransparent);
}

TEST(Trapezoid, FastFormMatchesTheLiteralFormOnEveryDepth)
{
    std::mt19937 rng(3);
    struct Case {
        int r, p;
        bool invert;
    };
    const Case cases[]
        = { { 80, 50, false }, { 1, 1, true }, { 37, 100, false }, { 63, 12, true }, { 100, 50, true } };
    for (int bits : { 1, 4, 8, 24 })
        for (const Case& c : cases) {
            MaskedDib source = randomImage(31, 17, bits, rng), backup, result;
            ASSERT_FALSE(copyTo24Bit(source, backup, nullptr));
            ASSERT_EQ(applyTrapezoid(backup, { c.r, c.p, c.invert }, result), CorrectionStatus::Done);
            EXPECT_TRUE(sameImage(result, testing::literalTrapezoid(backup, c.r, c.p, c.invert)))
                << bits << " bits, R " << c.r << " P " << c.p << " invert " << c.invert;
        }
}

TEST(Trapezoid, PreviewApexSpan)
{
    // D = 100: R 80, P 50 narrows each side by 10.
    const ApexSpan centred = trapezoidApex(0, 100, { 80, 50, false });
    EXPECT_EQ(centred.from, 10);
    EXPECT_EQ(centred.to, 90);
    const ApexSpan left = trapezoidApex(3, 103, { 50, 1, false });
    EXPECT_EQ(left.from, 3 + 50 / 100);
    EXPECT_EQ(left.to, 103 - 99 * 50 / 100);
}

} // namespace
} // namespace tessary
