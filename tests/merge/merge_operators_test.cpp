#include "merge/merge_operators.h"

#include <gtest/gtest.h>

#include <random>

namespace tessary {
namespace {

constexpr ColourRef kBackground = makeColourRef(10, 20, 30); // red 10, green 20, blue 30

BgrColour grey(uint8_t v)
{
    return BgrColour { v, v, v };
}

// A sample with nobody contributing; `add` puts a source in a slot.
struct SampleBuilder {
    MergeSample s;
    SampleBuilder() { s.status.fill(-1); }
    SampleBuilder& add(size_t slot, BgrColour c, double bias, uint16_t blend = 65535, double relX = 0.5,
        double relY = 0.5, int32_t fade = 0)
    {
        s.status[slot] = 0;
        s.colour[slot] = c;
        s.biasWeight[slot] = bias;
        s.blend[slot] = blend;
        s.relX[slot] = relX;
        s.relY[slot] = relY;
        s.fadeEdge[slot] = fade;
        return *this;
    }
};

BgrColour run(int32_t type, const MergeSample& s, int32_t sourceCount = 2, int32_t fuzziness = 4)
{
    const auto op = makeMergeOperator(type, MergeContext { sourceCount, fuzziness, kBackground });
    BgrColour out { 1, 2, 3 };
    op->mergePixel(s, out);
    return out;
}

TEST(MergeOperators, FactoryPicksTheClassOfEachMergeType)
{
    const MergeContext ctx { 2, 4, 0 };
    EXPECT_NE(dynamic_cast<CMergeAverage*>(makeMergeOperator(0, ctx).get()), nullptr);
    EXPECT_NE(dynamic_cast<CMergeGreatest*>(makeMergeOperator(1, ctx).get()), nullptr);
    EXPECT_NE(dynamic_cast<CMergeLeast*>(makeMergeOperator(2, ctx).get()), nullptr);
    EXPECT_NE(dynamic_cast<CMergeSaturated*>(makeMergeOperator(3, ctx).get()), nullptr);
    EXPECT_NE(dynamic_cast<CMergeGrey*>(makeMergeOperator(4, ctx).get()), nullptr);

    SampleBuilder b;
    b.add(0, grey(200), 100);
    BgrColour out { 9, 9, 9 };
    CPixel(ctx).mergePixel(b.s, out);
    EXPECT_EQ(out, BgrColour {});
}

// Every way of ending up with nothing to divide by gives the background colour, for all five
// operators: nobody contributing, all bias weights 0, every point on a fade edge.
TEST(MergeOperators, NothingToWeighGivesTheBackground)
{
    SampleBuilder none;
    // Leftover values in non-contributing slots are never read.
    none.s.colour[3] = grey(77);
    none.s.biasWeight[3] = 50;

    SampleBuilder zeroBias;
    zeroBias.add(0, grey(200), 0).add(5, BgrColour { 255, 0, 0 }, 0);

    SampleBuilder onFadeEdge; // first column of one source, first row of the other
    onFadeEdge.add(1, grey(200), 50, 65535, 0.0, 0.7, 1).add(2, grey(90), 50, 40000, 0.3, 0.0, 1);

    SampleBuilder single; // one contributor, weight 0: the selecting operators must not divide 0 by 0
    single.add(4, BgrColour { 0, 0, 255 }, 0);

    for (int32_t type = 0; type <= 4; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(run(type, none.s), toBgr(kBackground));
        EXPECT_EQ(run(type, zeroBias.s), toBgr(kBackground));
        EXPECT_EQ(run(type, onFadeEdge.s), toBgr(kBackground));
        EXPECT_EQ(run(type, single.s, 1), toBgr(kBackground));
    }
}

TEST(MergeOperators, AverageWeighsByBiasFadeAndOpacity)
{
    struct Case {
        const char* name;
        SampleBuilder sample;
        int32_t sourceCount;
        uint8_t expected;
    };
    std::vector<Case> cases;
    // 127 x 1 + 128 x 99 over 100 = 127.99, truncated.
    cases.push_back({ "truncates", SampleBuilder().add(0, grey(127), 99).add(1, grey(128), 1), 2, 127 });
    cases.push_back(
        { "zero bias adds nothing", SampleBuilder().add(0, grey(200), 50).add(7, grey(0), 0), 2, 200 });
    // Fade factor at (0.5, 0.5) is 1 and in the first column 0.
    cases.push_back({ "fade edge column 0",
        SampleBuilder().add(0, grey(200), 50, 65535, 0.5, 0.5, 1).add(1, grey(100), 50, 65535, 0.0, 0.3, 1),
        2, 200 });
    // relX 0.25: (1 - 4 x 0.0625) = 0.75: (50 x 200 + 37.5 x 100) / 87.5 = 157.14.
    cases.push_back({ "fade edge quarter",
        SampleBuilder().add(0, grey(200), 50).add(1, grey(100), 50, 65535, 0.25, 0.5, 1), 2, 157 });
    // Fade only applies to a flag of exactly 1.
    cases.push_back({ "fade flag 2 ignored",
        SampleBuilder().add(0, grey(200), 50).add(1, grey(100), 50, 65535, 0.0, 0.0, 2), 2, 150 });
    // blend 16384 with N = 2, D = 50: A = (16384 / 65535)^1 = 0.2500038: (10000 + 5000 A) / (50 + 50 A)
    // = 179.9997 (with 65536 in the denominator it would be exactly 180).
    cases.push_back(
        { "opacity", SampleBuilder().add(0, grey(200), 50).add(1, grey(100), 50, 16384), 2, 179 });
    // Same blend with N = 4: A = 0.0625; (10000 + 312.5) / 53.125 = 194.1.
    cases.push_back({ "opacity steeper with more sources",
        SampleBuilder().add(0, grey(200), 50).add(1, grey(100), 50, 16384), 4, 194 });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(0, c.sample.s, c.sourceCount), grey(c.expected));
    }
}

TEST(MergeOperators, SelectingOperatorsFavourTheExtremeByFuzziness)
{
    SampleBuilder whiteBlack;
    whiteBlack.add(0, grey(255), 50).add(1, grey(0), 50);
    // Brightest, T = 4: black keeps exp(-4) of its weight: 255 x 50 / (50 + 50 e^-4) = 250.41.
    EXPECT_EQ(run(1, whiteBlack.s, 2, 4), grey(250));
    // Darkest, T = 4: 255 x 50 e^-4 / (50 + 50 e^-4) = 4.59.
    EXPECT_EQ(run(2, whiteBlack.s, 2, 4), grey(4));
    // T = 100 with a key 0.102 below the brightest: weight exp(-10.2) = 0.0000373 of its share,
    // enough to pull 255 down to 254.999.
    SampleBuilder close;
    close.add(0, grey(255), 50).add(1, grey(229), 50);
    EXPECT_EQ(run(1, close.s, 2, 100), grey(254));
    EXPECT_EQ(run(2, close.s, 2, 100), grey(229));

    // Two sources share the brightest luminance (blue 236 and green 44 both give 25.96): with a
    // large T they split the pixel by their weights (20 and 80); the black third source vanishes.
    SampleBuilder tie;
    tie.add(0, BgrColour { 236, 0, 0 }, 20).add(1, BgrColour { 0, 44, 0 }, 80).add(2, grey(0), 50);
    EXPECT_EQ(run(1, tie.s, 3, 100), (BgrColour { 47, 35, 0 }));

    // Most and least colored: pure red against grey 128.
    SampleBuilder redGrey;
    redGrey.add(0, BgrColour { 0, 0, 255 }, 50).add(1, grey(128), 50);
    EXPECT_EQ(run(3, redGrey.s, 2, 100), (BgrColour { 0, 0, 255 }));
    EXPECT_EQ(run(4, redGrey.s, 2, 100), grey(128));

    // A zero bias weight still sets the extreme but adds nothing: white with bias 0 makes the grey
    // the only contributor to the sums.
    SampleBuilder zeroBiasExtreme;
    zeroBiasExtreme.add(0, grey(255), 0).add(1, grey(100), 100);
    EXPECT_EQ(run(1, zeroBiasExtreme.s, 2, 4), grey(100));
}

TEST(MergeOperators, ZeroFuzzinessMakesEverySelectingOperatorTheAverage)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255), slot(0, 1), blend(1, 65535);
    std::uniform_real_distribution<double> rel(0.0, 0.999), bias(0.0, 60.0);
    for (int n = 0; n < 500; ++n) {
        SampleBuilder b;
        for (size_t i = 0; i < 8; ++i)
            if (slot(rng))
                b.add(i, BgrColour { uint8_t(byte(rng)), uint8_t(byte(rng)), uint8_t(byte(rng)) }, bias(rng),
                    uint16_t(blend(rng)), rel(rng), rel(rng), slot(rng));
        const BgrColour average = run(0, b.s, 8, 0);
        for (int32_t type = 1; type <= 4; ++type)
            ASSERT_EQ(run(type, b.s, 8, 0), average) << "type " << type << " sample " << n;
    }
}

TEST(MergeOperators, ChromaOfPureColours)
{
    using merge_kernel::chroma;
    for (int v : { 0, 1, 128, 255 })
        EXPECT_EQ(chroma(grey(uint8_t(v))), 0.0) << v;
    EXPECT_EQ(chroma(BgrColour { 0, 0, 255 }), 1.0); // red
    EXPECT_EQ(chroma(BgrColour { 255, 255, 0 }), 1.0); // cyan
    for (BgrColour c : { BgrColour { 0, 255, 0 }, BgrColour { 255, 0, 0 }, BgrColour { 0, 255, 255 },
             BgrColour { 255, 0, 255 } }) {
        EXPECT_NEAR(chroma(c), 0.99998, 0.000005);
        EXPECT_LT(chroma(c), 1.0);
    }
}

} // namespace
} // namespace tessary
