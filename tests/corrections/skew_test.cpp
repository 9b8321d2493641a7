#include "corrections/skew.h"

#include "corrections/literal_corrections.h"
#include "merge/merge_fixtures.h"
#include "sources/copy_to_24bit.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::randomImage;
using testing::sameImage;

TEST(Skew, SizesOfTheResult)
{
    const SkewGeometry thirty(30, 200, 100);
    EXPECT_EQ(thirty.width, 249);
    EXPECT_EQ(thirty.height, 86);
    EXPECT_EQ(thirty.origin, 0);
    const SkewGeometry minus(-30, 200, 100);
    EXPECT_EQ(minus.width, 249);
    EXPECT_EQ(minus.origin, -49);
    const SkewGeometry outside(90, 200, 100);
    EXPECT_EQ(outside.width, 200) << "angles outside -89..89 read 0";
    EXPECT_EQ(outside.height, 100);
}

TEST(Skew, ZeroAngleCopiesWithTheTopRightPixelTransparent)
{
    std::mt19937 rng(5);
    MaskedDib source = randomImage(13, 7, 24, rng), result;
    for (uint32_t i = 0; i < source.maskCount; ++i)
        source.mask[i] = uint16_t(1000 + i);
    ASSERT_EQ(applySkew(source, 0, result), CorrectionStatus::Done);
    EXPECT_EQ(testing::copyExceptTopRight(result, source), "");
}

TEST(Skew, FastFormMatchesTheLiteralFormOnEveryDepth)
{
    std::mt19937 rng(9);
    for (int bits : { 1, 4, 8, 24 })
        for (int angle : { 30, -30, 1, -1, 45, -89, 89, 7 }) {
            MaskedDib source = randomImage(29, 19, bits, rng), backup, result;
            ASSERT_FALSE(copyTo24Bit(source, backup, nullptr));
            const CorrectionStatus status = applySkew(backup, angle, result);
            const SkewGeometry g(angle, 29, 19);
            if (g.height == 0) {
                EXPECT_EQ(status, CorrectionStatus::Refused);
                continue;
            }
            ASSERT_EQ(status, CorrectionStatus::Done);
            EXPECT_TRUE(sameImage(result, testing::literalSkew(backup, angle)))
                << bits << " bits, angle " << angle;
        }
}

TEST(Skew, NoRowsIsRefusedAndTooWideRunsOutOfMemory)
{
    MaskedDib flat = testing::solidImage24(50, 20, { 1, 2, 3 }), result;
    EXPECT_EQ(SkewGeometry(89, 50, 20).height, 0);
    EXPECT_EQ(applySkew(flat, 89, result), CorrectionStatus::Refused);
    EXPECT_TRUE(result.empty());

    MaskedDib wide = testing::solidImage24(19990, 20, { 1, 2, 3 });
    EXPECT_EQ(applySkew(wide, 60, result), CorrectionStatus::OutOfMemory);
    EXPECT_TRUE(result.empty());
}

} // namespace
} // namespace tessary
