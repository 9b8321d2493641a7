// A colour every contributor to a pixel shares comes back exactly from the merge, whatever the
// weights, the fade and the pixel path.
#include "app/workspace.h"
#include "merge/generate_target.h"
#include "merge_fixtures.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

constexpr PixelPath kPaths[] = { PixelPath::Accessor, PixelPath::Rows, PixelPath::RowsTwoThreads };

struct Merge {
    MergeWorkspace ws;
    testing::GTestPlatform platform;
    void add(MaskedDib image, int32_t x, int32_t y)
    {
        const size_t s = size_t(ws.sourceCount++);
        ws.targetDoc.transformed[s] = std::move(image);
        ws.alignDoc.placement[s].posX = x;
        ws.alignDoc.placement[s].posY = y;
        ws.alignDoc.placement[s].topLevel = ws.alignDoc.placement[s].bottomLevel = -1;
        ws.equalBiasWeights();
    }
    BgrColour at(int32_t x, int32_t row) const
    {
        const uint8_t* p = ws.targetDoc.targetImage->row(row) + 3 * size_t(x);
        return BgrColour { p[0], p[1], p[2] };
    }
};

// Three sources loaded, so every weight is 33.333...: each pure colour alone at its pixels.
TEST(SharedColour, ASourceAloneKeepsItsColourWithThreeLoaded)
{
    const BgrColour red { 0, 0, 255 }, green { 0, 255, 0 }, odd { 201, 77, 13 };
    for (int32_t type = kMergeAverage; type <= kMergeLeastColored; ++type)
        for (PixelPath path : kPaths) {
            SCOPED_TRACE(::testing::Message() << "merge type " << type << " path " << int(path));
            Merge m;
            m.add(testing::solidImage24(10, 10, red), 0, 0);
            m.add(testing::solidImage24(10, 10, green), 20, 0);
            m.add(testing::solidImage24(10, 10, odd), 40, 0);
            m.ws.mergeType = type;
            ASSERT_TRUE(generateTarget(m.ws, m.platform, path));
            for (int32_t row = 0; row < 10; ++row)
                for (int32_t x = 0; x < 10; ++x) {
                    ASSERT_EQ(m.at(x, row), red);
                    ASSERT_EQ(m.at(20 + x, row), green);
                    ASSERT_EQ(m.at(40 + x, row), odd);
                }
        }
}

// Fade edge on for a source of one flat colour lying on another of the same colour: the weights
// differ from pixel to pixel, the colour does not. (Where a faded source lies alone, its first
// row and column weigh nothing and show the background.)
TEST(SharedColour, OverlappingSourcesOfOneColourWithFadeEdge)
{
    const BgrColour colour { 201, 77, 13 };
    for (int32_t type = kMergeAverage; type <= kMergeLeastColored; ++type)
        for (PixelPath path : kPaths) {
            SCOPED_TRACE(::testing::Message() << "merge type " << type << " path " << int(path));
            Merge m;
            m.add(testing::solidImage24(60, 45, colour), 0, 0);
            m.add(testing::solidImage24(41, 29, colour), 5, 3);
            m.ws.fadeEdge[1] = 1;
            m.ws.mergeType = type;
            ASSERT_TRUE(generateTarget(m.ws, m.platform, path));
            const PackedDib& t = *m.ws.targetDoc.targetImage;
            for (int32_t row = 0; row < t.height(); ++row)
                for (int32_t x = 0; x < t.width(); ++x)
                    ASSERT_EQ(m.at(x, row), colour) << x << "," << row;
        }
}

} // namespace
} // namespace tessary
