// What target generation hands the merge operator for each middle-layer source: its bias weight,
// its fade-edge flag with the point's place inside that source, and its opacity at the point.
// Every expected value is worked out by hand from the Average operator's formula
//   w = bias x F x (mask / 65535)^(N x bias x F / 100),   result = sum(w x c) / sum(w) truncated,
// with F = (1 - 4 (u/W - 0.5)^2)(1 - 4 (v/H - 0.5)^2) under fade edge and 1 otherwise.
#include "app/workspace.h"
#include "merge/generate_target.h"
#include "merge_fixtures.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::solidImage24;

constexpr PixelPath kPaths[] = { PixelPath::Accessor, PixelPath::Rows, PixelPath::RowsTwoThreads };

BgrColour grey(uint8_t v)
{
    return BgrColour { v, v, v };
}

struct Source {
    MaskedDib image;
    int32_t x = 0, y = 0;
    double biasWeight = 50.0;
    bool fadeEdge = false;
    uint16_t opacity = 65535;
};

// Generates the target of `sources` (all in the middle layer, averaged) along `path`.
std::unique_ptr<PackedDib> generate(std::vector<Source> sources, PixelPath path)
{
    MergeWorkspace ws;
    GTestPlatform platform;
    for (Source& s : sources) {
        const size_t place = size_t(ws.sourceCount++);
        for (uint32_t i = 0; i < s.image.maskCount; ++i)
            s.image.mask[i] = s.opacity;
        ws.targetDoc.transformed[place] = std::move(s.image);
        ws.alignDoc.placement[place].posX = s.x;
        ws.alignDoc.placement[place].posY = s.y;
        ws.biasWeight[place] = s.biasWeight;
        ws.fadeEdge[place] = s.fadeEdge ? 1 : 0;
    }
    if (!generateTarget(ws, platform, path))
        return nullptr;
    return std::move(ws.targetDoc.targetImage);
}

BgrColour pixel(const PackedDib& target, int32_t x, int32_t row)
{
    const uint8_t* p = target.row(row) + 3 * size_t(x);
    return BgrColour { p[0], p[1], p[2] };
}

TEST(GenerateInputs, UnequalBiasWeights)
{
    // 75 and 25 over the shared column: (75 x 100 + 25 x 200) / 100 = 125, 90, 63.75.
    const BgrColour left { 100, 40, 0 }, right { 200, 240, 255 };
    for (PixelPath path : kPaths) {
        std::vector<Source> sources(2);
        sources[0] = { solidImage24(2, 1, left), 0, 0, 75.0 };
        sources[1] = { solidImage24(2, 1, right), 1, 0, 25.0 };
        const auto target = generate(std::move(sources), path);
        ASSERT_TRUE(target);
        EXPECT_EQ(pixel(*target, 0, 0), left);
        EXPECT_EQ(pixel(*target, 1, 0), (BgrColour { 125, 90, 63 }));
        EXPECT_EQ(pixel(*target, 2, 0), right);
    }
}

TEST(GenerateInputs, FadeEdgeWeighsByThePlaceInsideTheSource)
{
    // A black 4 x 4 source with fade edge, placed at (1, 1) over a 5 x 5 grey 200 one without;
    // equal weights, so a point gives 50 x 200 / (50 F + 50) = 200 / (1 + F). F counts from the
    // faded source's own corner: its first column and row weigh 0, u = v = 2 (its centre) 1,
    // u or v = 1 or 3 give 0.75 per direction.
    const uint8_t expected[5][5] = {
        { 200, 200, 200, 200, 200 }, // row 0: the faded source does not reach it
        { 200, 200, 200, 200, 200 }, // its first row: F = 0
        { 200, 200, 128, 114, 128 }, // F = 0.5625, 0.75, 0.5625
        { 200, 200, 114, 100, 114 }, // F = 0.75, 1, 0.75
        { 200, 200, 128, 114, 128 },
    };
    for (PixelPath path : kPaths) {
        std::vector<Source> sources(2);
        sources[0] = { solidImage24(4, 4, grey(0)), 1, 1, 50.0, true };
        sources[1] = { solidImage24(5, 5, grey(200)), 0, 0, 50.0, false };
        const auto target = generate(std::move(sources), path);
        ASSERT_TRUE(target);
        for (int32_t row = 0; row < 5; ++row)
            for (int32_t x = 0; x < 5; ++x)
                EXPECT_EQ(pixel(*target, x, row), grey(expected[row][x])) << "x " << x << " row " << row;
    }
}

TEST(GenerateInputs, PartialOpacityOfTwoOverlappingSources)
{
    struct Case {
        const char* name;
        BgrColour first, second;
        double firstWeight, secondWeight;
        uint16_t firstOpacity, secondOpacity;
        BgrColour expected;
    } cases[] = {
        // Two sources, equal weights: the power is N x 50 / 100 = 1, so the weights are
        // 50 x 0.2 = 10 and 50 x 0.8 = 40: (10 x c1 + 40 x c2) / 50.
        { "both partly opaque", { 0, 100, 30 }, { 101, 21, 231 }, 50.0, 50.0, 13107, 52428, { 80, 36, 190 } },
        // Weight 75 raises 0.2 to the power 2 x 75 / 100 = 1.5: w1 = 75 x 0.0894 = 6.708, w2 = 25;
        // 25 x 200 / 31.708 = 157.69.
        { "opacity by the weight", grey(0), grey(200), 75.0, 25.0, 13107, 65535, grey(157) },
    };
    for (const Case& c : cases)
        for (PixelPath path : kPaths) {
            std::vector<Source> sources(2);
            sources[0] = { solidImage24(2, 1, c.first), 0, 0, c.firstWeight, false, c.firstOpacity };
            sources[1] = { solidImage24(2, 1, c.second), 1, 0, c.secondWeight, false, c.secondOpacity };
            const auto target = generate(std::move(sources), path);
            ASSERT_TRUE(target) << c.name;
            EXPECT_EQ(pixel(*target, 1, 0), c.expected) << c.name;
        }
}

} // namespace
} // namespace tessary
