#include "align/outline_hit_test.h"
#include "align/rotate_half_extents.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessary {
namespace {

// An unrotated 200 x 100 outline with its top-left corner at (100, 100).
const Outline kBox { { { 100, 100 }, { 300, 100 }, { 100, 200 }, { 300, 200 } } };

TEST(HitTest, HandlesInOrderWithTheirTipsAndRectangles)
{
    struct Case {
        int32_t x, y;
        HitZone zone;
        const char* tip; // null: no tip
        ViewRect rect;
    };
    const Case cases[] = {
        { 104, 96, kHitNorthWest, "Drag north & west edges of this source.", { 114, 106, 304, 120 } },
        { 300, 100, kHitNorthEast, "Drag north & east edges of this source.", { 100, 110, 300, 124 } },
        { 100, 200, kHitSouthWest, "Drag south and west edges of this source.", { 0, 170, 200, 186 } },
        { 305, 205, kHitSouthEast, "Drag south and east edges of this source.", { 105, 175, 305, 191 } },
        { 100, 150, kHitWest, "Drag west edge of this selected source.", { 110, 130, 310, 146 } },
        { 300, 150, kHitEast, "Drag east edge of this selected source.", { 100, 110, 300, 126 } },
        { 200, 100, kHitNorth, "Drag north edge of this selected source.", { 210, 120, 410, 136 } },
        { 200, 200, kHitSouth, "Drag south edge of this selected source.", { 220, 210, 420, 226 } },
        { 200, 150, kHitInside, nullptr, {} },
        { 106, 106, kHitInside, nullptr, {} }, // 6 away is no longer on the corner
        // Rotation handles 20 pixels out along 45, 135, 225 and 315 degrees: about 14 diagonally.
        { 86, 86, kHitRotateP0, "Rotate this selected source.", { 76, 56, 276, 72 } },
        { 314, 86, kHitRotateP1, "Rotate this selected source.", { 324, 66, 524, 82 } },
        { 314, 214, kHitRotateP3, "Rotate this selected source.", { 324, 234, 524, 250 } },
        { 86, 214, kHitRotateP2, "Rotate this selected source.", { 96, 234, 296, 250 } },
        { 106, 100, kHitNothing, nullptr, {} }, // on the north line: outside
        { 50, 50, kHitNothing, nullptr, {} },
        { 200, 99, kHitNorth, "Drag north edge of this selected source.", { 210, 119, 410, 135 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        const HitResult r = hitTest(kBox, 0.0, c.x, c.y);
        EXPECT_EQ(r.zone, c.zone);
        EXPECT_EQ(r.rotationHandle(), c.zone <= kHitRotateP0);
        ASSERT_EQ(r.tipText.has_value(), c.tip != nullptr);
        if (c.tip) {
            EXPECT_EQ(*r.tipText, c.tip);
            EXPECT_EQ(r.tipRect, c.rect);
        }
    }
}

TEST(HitTest, CornersWinOverMidpointsOnATinyOutline)
{
    const Outline tiny { { { 100, 100 }, { 108, 100 }, { 100, 104 }, { 108, 104 } } };
    EXPECT_EQ(hitTest(tiny, 0.0, 104, 100).zone, kHitNorthWest);
    EXPECT_EQ(hitTest(tiny, 0.0, 104, 104).zone, kHitNorthWest);
    EXPECT_EQ(hitTest(tiny, 0.0, 107, 104).zone, kHitNorthEast);
}

// The outline of a 300 x 160 rectangle centred on (500, 400) and turned by `angle` degrees.
Outline turned(double angle)
{
    const ViewPoint c { 500, 400 };
    const ViewPoint offsets[4] = { rotateHalfExtents(-160, -300, angle), rotateHalfExtents(-160, 300, angle),
        rotateHalfExtents(160, -300, angle), rotateHalfExtents(160, 300, angle) };
    Outline o;
    for (size_t k = 0; k < 4; ++k)
        o[k] = ViewPoint { c.x + offsets[k].x, c.y + offsets[k].y };
    return o;
}

// A point at (along, across) from the centre in the rectangle's own axes.
ViewPoint local(double angle, double along, double across)
{
    const double a = alignRadians(angle);
    return ViewPoint { int32_t(std::lround(500 + along * std::cos(a) - across * std::sin(a))),
        int32_t(std::lround(400 + across * std::cos(a) + along * std::sin(a))) };
}

TEST(InsideOutline, SideRulesHoldAtEveryWholeAngle)
{
    for (int angle = -179; angle <= 180; ++angle) {
        SCOPED_TRACE(angle);
        const Outline o = turned(angle);
        const struct {
            double along, across;
            bool inside;
        } points[] = {
            { 0, 0, true },
            { 140, 70, true },
            { -140, 70, true },
            { 140, -70, true },
            { -140, -70, true },
            { 160, 0, false },
            { -160, 0, false },
            { 0, 90, false },
            { 0, -90, false },
            { 160, 90, false },
            { -200, -100, false },
        };
        for (const auto& p : points) {
            const ViewPoint q = local(angle, p.along, p.across);
            EXPECT_EQ(insideOutline(o, angle, q.x, q.y), p.inside) << p.along << ", " << p.across;
        }
    }
}

TEST(InsideOutline, PointsOnASideAreOutside)
{
    EXPECT_FALSE(insideOutline(kBox, 0.0, 100, 150)); // on the vertical west side
    EXPECT_FALSE(insideOutline(kBox, 0.0, 300, 150));
    EXPECT_FALSE(insideOutline(kBox, 0.0, 200, 200));
    EXPECT_TRUE(insideOutline(kBox, 0.0, 101, 101));
    EXPECT_TRUE(insideOutline(kBox, 0.0, 299, 199));
}

// The hit area is centred on the drawn handle: (86, 86) for P0 of the unrotated box, where the
// untruncated centre would be (85.86, 85.86) and would take in x = 80 as well.
TEST(RotationHandles, HitWhereTheyArePainted)
{
    EXPECT_EQ(hitTest(kBox, 0.0, 81, 86).zone, kHitRotateP0);
    EXPECT_EQ(hitTest(kBox, 0.0, 91, 91).zone, kHitRotateP0);
    EXPECT_NE(hitTest(kBox, 0.0, 80, 86).zone, kHitRotateP0);
    EXPECT_NE(hitTest(kBox, 0.0, 86, 80).zone, kHitRotateP0);
}

TEST(RotationHandles, PaintedFourteenPixelsDiagonallyOutsideAnUnrotatedSource)
{
    EXPECT_EQ(paintedRotationHandleCentre(kBox[0], 0.0, 45.0), (ViewPoint { 86, 86 }));
    EXPECT_EQ(paintedRotationHandleCentre(kBox[1], 0.0, 135.0), (ViewPoint { 314, 86 }));
    EXPECT_EQ(paintedRotationHandleCentre(kBox[3], 0.0, 225.0), (ViewPoint { 314, 214 }));
    EXPECT_EQ(paintedRotationHandleCentre(kBox[2], 0.0, 315.0), (ViewPoint { 86, 214 }));
    // Turned by 45 degrees, P0's handle sits straight above it: 20 sin(a hair under 90) is 19.
    EXPECT_EQ(paintedRotationHandleCentre(kBox[0], 45.0, 45.0), (ViewPoint { 100, 81 }));
}

TEST(SizingHandles, CornersThenTruncatedSideMidpoints)
{
    const Outline o { { { -3, 0 }, { 4, -5 }, { 0, 7 }, { 9, 2 } } };
    const std::array<ViewPoint, 8> expected { { { -3, 0 }, { 4, -5 }, { 9, 2 }, { 0, 7 }, { 0, -2 },
        { 6, -1 }, { 4, 4 }, { -1, 3 } } };
    EXPECT_EQ(sizingHandles(o), expected);
}

TEST(HoverStatus, WordsByZone)
{
    EXPECT_EQ(hoverStatusText(2, kHitInside), "source 2 move");
    EXPECT_EQ(hoverStatusText(2, kHitEast), "source 2 resize width");
    EXPECT_EQ(hoverStatusText(3, kHitWest), "source 3 resize width");
    EXPECT_EQ(hoverStatusText(1, kHitNorth), "source 1 resize height");
    EXPECT_EQ(hoverStatusText(1, kHitSouth), "source 1 resize height");
    for (HitZone z : { kHitNorthEast, kHitSouthEast, kHitSouthWest, kHitNorthWest })
        EXPECT_EQ(hoverStatusText(4, z), "source 4 resize");
    for (HitZone z : { kHitRotateP0, kHitRotateP1, kHitRotateP2, kHitRotateP3 })
        EXPECT_EQ(hoverStatusText(8, z), "source 8 rotate");
    EXPECT_EQ(hoverStatusText(1, kHitNothing), "");
    EXPECT_TRUE(zoneLightsHandles(kHitRotateP1));
    EXPECT_TRUE(zoneLightsHandles(kHitNorthWest));
    EXPECT_FALSE(zoneLightsHandles(kHitInside));
    EXPECT_FALSE(zoneLightsHandles(kHitNothing));
}

TEST(TipLine, ClickArea)
{
    EXPECT_TRUE(onTipLine(301, 5));
    EXPECT_TRUE(onTipLine(599, 19));
    EXPECT_FALSE(onTipLine(300, 10));
    EXPECT_FALSE(onTipLine(600, 10));
    EXPECT_FALSE(onTipLine(400, 4));
    EXPECT_FALSE(onTipLine(400, 20));
}

} // namespace
} // namespace tessary
