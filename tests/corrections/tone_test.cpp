#include "corrections/tone.h"
#include "corrections/tone_controls.h"

#include "corrections/literal_corrections.h"
#include "merge/merge_fixtures.h"
#include "sources/copy_to_24bit.h"
#include "sources/source_doc.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::randomImage;
using testing::sameImage;

TEST(GrayScale, WeightsOfThePrimariesAndWhite)
{
    struct Case {
        uint8_t r, g, b;
        int gray;
    };
    const Case cases[] = {
        { 255, 255, 255, 254 },
        { 255, 0, 0, 76 },
        { 0, 255, 0, 150 },
        { 0, 0, 255, 28 },
        { 128, 128, 128, 127 },
        { 0, 0, 0, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(grayOf(c.r, c.g, c.b), c.gray) << int(c.r) << "," << int(c.g) << "," << int(c.b);
}

TEST(GrayScale, SourceOfEveryDepthBecomes24BitGrayWithItsMaskKept)
{
    std::mt19937 rng(7);
    for (int bits : { 1, 4, 8, 24 }) {
        VIrorozIzi doc;
        doc.image = randomImage(37, 11, bits, rng);
        MaskedDib backup;
        ASSERT_FALSE(copyTo24Bit(doc.image, backup, nullptr));
        const MaskedDib expected = testing::literalGray(backup);
        testing::GTestPlatform platform;
        ASSERT_TRUE(grayScaleSource(doc, platform));
        EXPECT_EQ(doc.image.dib->bitCount(), 24);
        EXPECT_EQ(doc.imageWidth, 37);
        EXPECT_EQ(doc.imageHeight, 11);
        EXPECT_TRUE(sameImage(doc.image, expected)) << bits << " bits";
    }
}

TEST(GrayScale, FailedCopyKeepsTheImageAndSaysSo)
{
    VIrorozIzi doc; // no image: the copy fails as it would without memory
    testing::GTestPlatform platform;
    platform.expectMessage(kCopyTo24BitFailedText);
    platform.expectMessage("Tessary has run out of memory.");
    EXPECT_FALSE(grayScaleSource(doc, platform));
    EXPECT_TRUE(doc.image.empty());
}

TEST(Tone, ExamplesOfTheFormula)
{
    const ToneChannel start;
    for (int x = 0; x < 256; ++x)
        ASSERT_EQ(toneOf(x, start, 0), x) << "start values change nothing";
    EXPECT_EQ(gammaTerm(128, 255), -1);
    EXPECT_EQ(gammaTerm(0, -3), 0) << "m / 4 truncates toward zero";
    // One brightness step moves the output by 2.
    EXPECT_EQ(toneOf(100, { 129, 64 }, 0) - toneOf(100, { 128, 64 }, 0), 2);
    // Red brightness 255: x + 254 before limiting, so x = 0 gives 254 and the rest 255.
    EXPECT_EQ(toneOf(0, { 255, 64 }, 0), 254);
    EXPECT_EQ(toneOf(1, { 255, 64 }, 0), 255);
    // Contrast scales the distance from 127 by K / 16; 127 gives K = 63.
    EXPECT_EQ(toneOf(127, { 128, 127 }, 0), 127);
    EXPECT_EQ(toneOf(255, { 128, 127 }, 0), 255);
    EXPECT_EQ(toneOf(131, { 128, 127 }, 0), 127 + (4 * 63 >> 4));
}

TEST(Tone, TablesMatchTheLiteralFormOnEveryDepth)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> bright(0, 255), contrast(0, 127), gamma(-255, 255);
    for (int bits : { 1, 4, 8, 24 })
        for (int round = 0; round < 3; ++round) {
            MaskedDib source = randomImage(23, 9, bits, rng), backup;
            ASSERT_FALSE(copyTo24Bit(source, backup, nullptr));
            ToneValues v;
            int b[3], c[3];
            for (int n = 0; n < 3; ++n) {
                v.channels[n] = { b[n] = bright(rng), c[n] = contrast(rng) };
            }
            v.gamma = gamma(rng);
            MaskedDib result;
            std::vector<int32_t> rows;
            ASSERT_EQ(
                applyTone(backup, v, result, [&](int32_t r) { rows.push_back(r); }), CorrectionStatus::Done);
            EXPECT_TRUE(sameImage(result, testing::literalTone(backup, b, c, v.gamma))) << bits << " bits";
            EXPECT_EQ(rows.size(), 9u);
        }
}

TEST(ToneControls, MastersPropagateOnlyWhenMoved)
{
    ToneControls controls;
    controls.values.channels[0].contrast = 100; // red contrast moved on its own
    controls.propagate();
    EXPECT_EQ(controls.values.channels[0].contrast, 100) << "the master's start value is not a move";

    controls.masterContrast = 127;
    controls.propagate();
    for (const ToneChannel& c : controls.values.channels)
        EXPECT_EQ(c.contrast, 127);
    EXPECT_EQ(controls.values.channels[0].contrast * controls.values.channels[0].contrast / 256, 63);

    controls.masterBrightness = 200;
    controls.values.channels[2].contrast = 10;
    controls.propagate();
    for (const ToneChannel& c : controls.values.channels)
        EXPECT_EQ(c.brightness, 200);
    EXPECT_EQ(controls.values.channels[2].contrast, 10) << "an unmoved master contrast is not copied again";

    controls.reset();
    EXPECT_EQ(controls.lastMasterBrightness, 128);
    EXPECT_EQ(controls.lastMasterContrast, 64);
    EXPECT_EQ(controls.values.channels[1].brightness, 128);
    EXPECT_EQ(controls.values.gamma, 0);
}

} // namespace
} // namespace tessary
