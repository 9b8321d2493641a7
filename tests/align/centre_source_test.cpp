#include "support/placement_columns.h"
#include "align/centre_source.h"

#include "placed_sources.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::PlacedSources;

TEST(CentredPosition, HalfwayTruncatedTowardZero)
{
    EXPECT_EQ(centredPosition(0, 1000, 400), 300);
    EXPECT_EQ(centredPosition(0, 1001, 400), 300);
    EXPECT_EQ(centredPosition(-3, 0, 0), -1);
    EXPECT_EQ(centredPosition(0, 100, 1000), -450);
    EXPECT_EQ(centredPosition(2147483000, 2147483647, 0), 2147483323);
}

class CentreSource : public ::testing::TestWithParam<Axis> {
protected:
    PlacedSources p;
};

TEST_P(CentreSource, MovesTheSelectedSourceToTheMiddleOfTheOthers)
{
    const Axis axis = GetParam();
    const bool horizontal = axis == Axis::Horizontal;
    // The others span 0..1000 along the axis, the selected source is 400 long.
    p.add(500, 500, 0, 0);
    p.add(500, 500, 500, 500);
    const int n = p.add(horizontal ? 400 : 100, horizontal ? 100 : 400, 0, 0);
    p.ready(n);
    const int transformations = p.transformations();
    const PackedDib* image = p.transformed(n).dib.get();

    centreSelectedSource(p.ws, p.platform, axis);
    EXPECT_EQ(horizontal ? p.ws.alignDoc.placement[2].posX : p.ws.alignDoc.placement[2].posY, 300);
    // The other axis is left alone, and nothing is transformed.
    EXPECT_EQ(horizontal ? p.ws.alignDoc.placement[2].posY : p.ws.alignDoc.placement[2].posX, 0);
    EXPECT_EQ(p.transformations(), transformations);
    EXPECT_EQ(p.transformed(n).dib.get(), image);
    EXPECT_EQ(p.ws.alignDoc.previewValid, 1);
    EXPECT_TRUE(p.targetStale());
}

TEST_P(CentreSource, OthersFarFromTheOriginAreFound)
{
    // Every other source lies beyond 65535: the span is still theirs, and the positions are
    // normalised to 0 wherever they are.
    const Axis axis = GetParam();
    const bool horizontal = axis == Axis::Horizontal;
    const int n = p.add(10, 10, 0, 0);
    p.add(100, 100, horizontal ? 70000 : 0, horizontal ? 0 : 70000);
    p.add(100, 100, horizontal ? 70100 : 0, horizontal ? 0 : 70100);
    p.ready(n);
    centreSelectedSource(p.ws, p.platform, axis);
    const PerPlace<int32_t> pos = testing::column(p.ws.alignDoc.placement, horizontal ? &Placement::posX : &Placement::posY);
    // (70000 + 70200 - 10) / 2 = 70095, then everything moves down by 70000.
    EXPECT_EQ(pos[0], 95);
    EXPECT_EQ(pos[1], 0);
    EXPECT_EQ(pos[2], 100);
}

INSTANTIATE_TEST_SUITE_P(BothAxes, CentreSource, ::testing::Values(Axis::Horizontal, Axis::Vertical),
    [](const auto& info) { return info.param == Axis::Horizontal ? "Horizontal" : "Vertical"; });

} // namespace
} // namespace tessary
