#include "corrections/cylindrical.h"

#include "corrections/literal_corrections.h"
#include "merge/merge_fixtures.h"
#include "sources/copy_to_24bit.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::pixelAt;
using testing::randomImage;
using testing::sameImage;

TEST(Cylindrical, StartValuesAreTheIdentityForEvenWidths)
{
    std::mt19937 rng(21);
    MaskedDib backup = randomImage(24, 15, 24, rng), result;
    ASSERT_EQ(applyCylindrical(backup, {}, result), CorrectionStatus::Done);
    EXPECT_EQ(testing::copyExceptTopRight(result, backup), "");
}

TEST(Cylindrical, FastFormMatchesTheLiteralFormOnEveryDepth)
{
    std::mt19937 rng(22);
    struct Case {
        int left, right, e;
    };
    const Case cases[] = { { 90, 90, 50 }, { 0, 180, 50 }, { 30, 150, 20 }, { 60, 61, 100 }, { 10, 100, 0 },
        { 90, 90, 77 } };
    for (int bits : { 1, 4, 8, 24 })
        for (int width : { 30, 31 })
            for (const Case& c : cases) {
                MaskedDib source = randomImage(width, 21, bits, rng), backup, result;
                ASSERT_FALSE(copyTo24Bit(source, backup, nullptr));
                ASSERT_EQ(applyCylindrical(backup, { c.left, c.right, c.e }, result), CorrectionStatus::Done);
                EXPECT_TRUE(sameImage(result, testing::literalCylindrical(backup, c.left, c.right, c.e)))
                    << bits << " bits, width " << width << ", " << c.left << "/" << c.right << "/" << c.e;
            }
}

TEST(Cylindrical, FullAngleTakesTheCentreFromTheCentreAndTheEdgesFromTheEdges)
{
    MaskedDib backup = testing::makeImage24(64, 20,
                  [](int32_t x, int32_t) {
                      return BgrColour { uint8_t(x * 4), 0, 0 };
                  }),
              result;
    ASSERT_EQ(applyCylindrical(backup, { 0, 180, 50 }, result), CorrectionStatus::Done);
    // dL = 0, dR = 1: the middle row at the centre column reads near the centre.
    EXPECT_NEAR(pixelAt(result, 32, 10).blue, 128, 8);
    EXPECT_LT(pixelAt(result, 1, 10).blue, 40);
}

TEST(Cylindrical, NarrowImagesAreRefusedAndSlidersKeepTheirOrder)
{
    MaskedDib narrow = testing::solidImage24(1, 10, { 5, 6, 7 }), result;
    EXPECT_EQ(applyCylindrical(narrow, {}, result), CorrectionStatus::Refused);
    EXPECT_TRUE(result.empty());

    CylinderValues v;
    v.rightMoved(40); // below the left slider: the left one follows
    EXPECT_EQ(v.left, 40);
    EXPECT_EQ(v.right, 40);
    v.leftMoved(120);
    EXPECT_EQ(v.right, 120);
    v.leftMoved(10);
    EXPECT_EQ(v.right, 120);
}

} // namespace
} // namespace tessary
