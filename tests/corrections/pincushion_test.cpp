#include "corrections/pincushion.h"
#include "corrections/pincushion_fields.h"
#include "corrections/resample.h"

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

TEST(RadiusTable, WithoutTermsOneStepGivesIMinusAnEighthOfATolerance)
{
    RadiusTable table;
    ASSERT_EQ(buildRadiusTable(40, 30, 0, 0, table), CorrectionStatus::Done);
    EXPECT_EQ(table.cx, 20);
    EXPECT_EQ(table.cy, 15);
    // N = trunc(8 sqrt(400 + 225)) = 200, plus the closing 0.
    ASSERT_EQ(table.radius.size(), 201u);
    EXPECT_EQ(table.radius[0], 0.0);
    for (int i = 1; i < 200; ++i)
        ASSERT_DOUBLE_EQ(table.radius[size_t(i)], i - 0.0075) << i;
    EXPECT_EQ(table.radius[200], 0.0);
}

// Both terms at work, against radii worked out apart from the program (the same halving search
// on u(a) = a (1 - k3 - k5 + k3 a^2 / N^2 + k5 a^4 / N^4), N = 200, run step by step elsewhere).
// A table built with either term wrong, e.g. k5 a^2 / N^2, misses them by far more than a ULP.
TEST(RadiusTable, BothTermsGiveTheRadiiWorkedOutByHand)
{
    struct Case {
        double k3, k5;
        double radius[5]; // at distances 1, 50, 100, 150, 199 (eighths of a pixel)
    };
    const Case cases[] = {
        { 0.2, 0.1,
            { 1.41465843664811, 68.93602926810115, 125.81017407725867, 168.2318685375219,
                199.43806071484164 } },
        { -0.15, 0.25,
            { 1.100262126151641, 56.18643728621855, 113.93339429473953, 164.34072555838947,
                199.4080608297388 } },
    };
    const int distances[] = { 1, 50, 100, 150, 199 };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "k3 " << c.k3 << ", k5 " << c.k5);
        RadiusTable table;
        ASSERT_EQ(buildRadiusTable(40, 30, c.k3, c.k5, table), CorrectionStatus::Done);
        ASSERT_EQ(table.radius.size(), 201u);
        for (size_t j = 0; j < 5; ++j)
            EXPECT_DOUBLE_EQ(table.radius[size_t(distances[j])], c.radius[j]) << distances[j];
    }
}

TEST(RadiusTable, HoldsEveryDistanceOfAWideImage)
{
    RadiusTable table;
    ASSERT_EQ(buildRadiusTable(20000, 3333, 0, 0, table), CorrectionStatus::Done);
    EXPECT_EQ(table.radius.size(), 81102u + 1);
}

TEST(RadiusTable, ValuesThatDoNotConvergeAreRefused)
{
    RadiusTable table;
    // 1 - k3 - k5 + ... near 0 for small a: the halving steps cannot reach i.
    EXPECT_EQ(buildRadiusTable(200, 200, 1, 1, table), CorrectionStatus::Refused);
    EXPECT_EQ(buildRadiusTable(200, 200, 0.3, -0.2, table), CorrectionStatus::Done);
}

TEST(Pincushion, WithoutTermsTheCentreKeepsItsPixelAndTheCornerReadsZero)
{
    std::mt19937 rng(12);
    MaskedDib backup = randomImage(41, 31, 24, rng), result;
    RadiusTable table;
    ASSERT_EQ(buildRadiusTable(41, 31, 0, 0, table), CorrectionStatus::Done);
    ASSERT_EQ(applyPincushion(backup, table, result), CorrectionStatus::Done);
    EXPECT_EQ(pixelAt(result, 20, 15), pixelAt(backup, 20, 15));
    EXPECT_EQ(maskAt(result, 20, 15), maskAt(backup, 20, 15));
    // Every pixel samples within an eighth of a pixel of itself: along the middle row to the
    // right the sample lies just beyond x, so the pixel itself carries the largest weight.
    EXPECT_EQ(maskAt(result, 30, 15), maskAt(backup, 30, 15));
    // The corner (0, 0) is at the table's last distance: a = 0 reads the pixel itself.
    EXPECT_EQ(pixelAt(result, 0, 0), pixelAt(backup, 0, 0));
}

TEST(Pincushion, FastFormMatchesTheLiteralFormOnEveryDepth)
{
    std::mt19937 rng(13);
    const std::pair<double, double> terms[]
        = { { 0, 0 }, { 0.3, 0 }, { -0.4, 0.2 }, { 0, -0.5 }, { 0.9, -0.9 } };
    for (int bits : { 1, 4, 8, 24 })
        for (auto [k3, k5] : terms) {
            MaskedDib source = randomImage(33, 26, bits, rng), backup, result;
            ASSERT_FALSE(copyTo24Bit(source, backup, nullptr));
            RadiusTable table;
            if (buildRadiusTable(33, 26, k3, k5, table) != CorrectionStatus::Done)
                continue;
            ASSERT_EQ(applyPincushion(backup, table, result), CorrectionStatus::Done);
            EXPECT_TRUE(sameImage(result, testing::literalPincushion(backup, table.radius)))
                << bits << " bits, k3 " << k3 << " k5 " << k5;
        }
}

TEST(DistortFields, EditingRules)
{
    struct Case {
        const char* third;
        const char* fifth;
        bool thirdEdited;
        double k3, k5;
        bool rewriteThird, rewriteFifth;
    };
    const Case cases[] = {
        { "1.5", "0.2", true, 0, 0.2, true, false }, // outside: back to 0.0
        { "0.0", "0.1", false, 0, 0.1, true, false }, // the other field holding 0 is rewritten
        { "abc", "0.3", true, 0, 0.3, false, false }, // not a number reads 0, left as typed
        { "-0.25", "7", true, -0.25, 0, false, true }, // the other field outside
        { "0.5x", "-1", false, 0.5, -1, false, false },
    };
    for (const Case& c : cases) {
        const DistortTerms t = distortFieldsEdited(c.third, c.fifth, c.thirdEdited);
        EXPECT_EQ(t.k3, c.k3) << c.third << " / " << c.fifth;
        EXPECT_EQ(t.k5, c.k5) << c.third << " / " << c.fifth;
        EXPECT_EQ(t.rewriteThird, c.rewriteThird) << c.third << " / " << c.fifth;
        EXPECT_EQ(t.rewriteFifth, c.rewriteFifth) << c.third << " / " << c.fifth;
    }
}

TEST(DistortFields, CurveIsZeroAtBothEndsAndGuardsAOnePixelPane)
{
    EXPECT_EQ(distortCurveOffset(0, 101, 50, 0.5, 0.3), 0);
    EXPECT_EQ(distortCurveOffset(100, 101, 50, 0.5, 0.3), 0);
    // q = 0.5, k3 = 1: 2h q (q^2 - 1) = 100 * 0.5 * -0.75 = -37.5 -> -37.
    EXPECT_EQ(distortCurveOffset(50, 101, 50, 1, 0), -37);
    EXPECT_EQ(distortCurveOffset(0, 1, 50, 1, 1), 0);
}

} // namespace
} // namespace tessary

namespace tessary {
namespace {

TEST(Bilinear, ExtrapolationAtTheBorderIsLimitedInsteadOfWrapping)
{
    // At the right border the pair (sx - 1, sx) is read with fracX up to 511.
    EXPECT_EQ(bilinear256(511, 0, 0, 255, 0, 255), 255);
    EXPECT_EQ(bilinear256(511, 0, 255, 0, 255, 0), 0);
    EXPECT_EQ(bilinear256(384, 128, 100, 200, 100, 200), 250);
    EXPECT_EQ(bilinear256(0, 0, 77, 1, 2, 3), 77);
}

} // namespace
} // namespace tessary
