#include "align/stretch_source.h"

#include "placed_sources.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::PlacedSources;

TEST(StretchScales, MakesTheRotatedBoxAsLongAsTheOthers)
{
    struct Case {
        const char* name;
        StretchInput in;
        double scaleX, scaleY;
        int64_t extent;
    };
    const Axis H = Axis::Horizontal, V = Axis::Vertical;
    const Case cases[] = {
        // 500 wide next to others spanning 1200: 1024 x 1200/500, whole units.
        { "upright", { H, 1200, 500, 0, 500, 300, 1024, 1024 }, 2459, 1024, 1200 },
        // Turned a quarter, its height lies along the axis: the other scale grows.
        { "quarter turn", { H, 1200, 500, 90, 300, 500, 1024, 1024 }, 1024, 2459, 1200 },
        { "quarter turn back", { H, 1200, 500, -90, 300, 500, 1024, 1024 }, 1024, 2459, 1200 },
        { "half turn", { H, 1200, 500, 180, 500, 300, 1024, 1024 }, 2459, 1024, 1200 },
        { "vertical upright", { V, 1200, 500, 0, 300, 500, 1024, 1024 }, 1024, 2459, 1200 },
        { "vertical quarter turn", { V, 1200, 500, 90, 500, 300, 1024, 1024 }, 2459, 1024, 1200 },
        // Both sides count along a slanted axis; -135 folds onto 45.
        { "45 degrees", { H, 1000, 565, 45, 400, 400, 1024, 1024 }, 1811, 1811, 999 },
        { "-135 degrees", { V, 1000, 565, -135, 400, 400, 1024, 1024 }, 1811, 1811, 999 },
        { "30 degrees, unequal scales", { H, 1000, 566, 30, 400, 200, 1024, 2048 }, 2032, 3212, 1000 },
        // trunc(SX)·w0 = 200000 x 20000 is beyond 32 bits.
        { "large image", { H, 3906250, 20000, 0, 20000, 100, 1024, 1024 }, 200000, 1024, 3906250 },
        // Nothing to divide by or stretch to: the scales stay.
        { "no extent", { H, 1200, 0, 0, 500, 300, 1024, 1024 }, 1024, 1024, 0 },
        { "no span", { H, 0, 500, 0, 500, 300, 1024, 1024 }, 1024, 1024, 500 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StretchResult r = stretchScales(c.in);
        EXPECT_EQ(r.scaleX, c.scaleX);
        EXPECT_EQ(r.scaleY, c.scaleY);
        EXPECT_EQ(r.extent, c.extent);
    }
}

TEST(StretchScales, ScalesStayFiniteAndAtLeastOne)
{
    // A one-pixel-wide source at the smallest scale against a vast span, and a shrink to
    // almost nothing: the scales stay whole numbers within 1..INT32_MAX.
    for (const StretchInput& in : { StretchInput { Axis::Horizontal, 2000000000, 1, 0, 1, 1, 1, 1 },
             StretchInput { Axis::Horizontal, 1, 20000, 0, 20000, 1, 1024, 1024 },
             StretchInput { Axis::Vertical, 2000000000, 1, 45, 1, 1, 1, 1 } }) {
        const StretchResult r = stretchScales(in);
        for (double scale : { r.scaleX, r.scaleY }) {
            EXPECT_TRUE(std::isfinite(scale));
            EXPECT_GE(scale, 1.0);
            EXPECT_LE(scale, 2147483647.0);
            EXPECT_EQ(scale, std::trunc(scale));
        }
    }
}

class StretchSource : public ::testing::TestWithParam<Axis> {
protected:
    PlacedSources p;
};

TEST_P(StretchSource, StretchesMovesToTheOthersAndTransformsAgain)
{
    const Axis axis = GetParam();
    const bool horizontal = axis == Axis::Horizontal;
    // Two 600 x 600 sources side by side (or stacked) spanning 1200 from 40, the selected
    // source 500 along the axis elsewhere.
    p.add(600, 600, horizontal ? 40 : 0, horizontal ? 0 : 40);
    p.add(600, 600, horizontal ? 640 : 700, horizontal ? 700 : 640);
    const int n = p.add(horizontal ? 500 : 300, horizontal ? 300 : 500, 100, 100);
    p.ready(n);

    EXPECT_EQ(stretchSelectedSource(p.ws, p.platform, axis), kTransformDone);
    const CAlignDoc& doc = p.ws.alignDoc;
    EXPECT_EQ(horizontal ? doc.placement[2].scaleX : doc.placement[2].scaleY, 2459.0);
    EXPECT_EQ(horizontal ? doc.placement[2].scaleY : doc.placement[2].scaleX, 1024.0);
    EXPECT_EQ(horizontal ? p.transformed(n).width() : p.transformed(n).height(), 1200);
    // At the others' lowest position, 40 before normalising, and the positions normalised.
    const int32_t along = horizontal ? doc.placement[2].posX : doc.placement[2].posY;
    const int32_t other = horizontal ? doc.placement[0].posX : doc.placement[0].posY;
    EXPECT_EQ(along, other);
    EXPECT_EQ(std::min({ doc.placement[0].posX, doc.placement[1].posX, doc.placement[2].posX }), 0);
    EXPECT_EQ(std::min({ doc.placement[0].posY, doc.placement[1].posY, doc.placement[2].posY }), 0);
    EXPECT_EQ(doc.previewValid, 1);
    EXPECT_TRUE(p.targetStale());
}

TEST_P(StretchSource, ATurnedSourceStretchesItsOtherSide)
{
    const Axis axis = GetParam();
    const bool horizontal = axis == Axis::Horizontal;
    p.add(1200, 1200);
    const int n = p.add(horizontal ? 300 : 500, horizontal ? 500 : 300);
    p.ws.alignDoc.placement[1].rotation = 90;
    ASSERT_EQ(transformSource(p.ws, p.platform, n), kTransformDone);
    p.ready(n);
    EXPECT_EQ(stretchSelectedSource(p.ws, p.platform, axis), kTransformDone);
    EXPECT_EQ(horizontal ? p.ws.alignDoc.placement[1].scaleY : p.ws.alignDoc.placement[1].scaleX, 2459.0);
    EXPECT_EQ(horizontal ? p.ws.alignDoc.placement[1].scaleX : p.ws.alignDoc.placement[1].scaleY, 1024.0);
    const int32_t along = horizontal ? p.transformed(n).width() : p.transformed(n).height();
    EXPECT_NEAR(along, 1200, 2);
}

INSTANTIATE_TEST_SUITE_P(BothAxes, StretchSource, ::testing::Values(Axis::Horizontal, Axis::Vertical),
    [](const auto& info) { return info.param == Axis::Horizontal ? "Horizontal" : "Vertical"; });

} // namespace
} // namespace tessary
