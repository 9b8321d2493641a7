#include "align/drag_geometry.h"
#include "align/rotate_half_extents.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessary {
namespace {

// An unrotated 200 x 100 outline centred on (400, 300).
const Outline kBox { { { 300, 250 }, { 500, 250 }, { 300, 350 }, { 500, 350 } } };

Outline moved(Outline o, std::initializer_list<std::pair<size_t, ViewPoint>> steps)
{
    for (const auto& [k, d] : steps) {
        o[k].x += d.x;
        o[k].y += d.y;
    }
    return o;
}

TEST(SnapDisplacement, CutTowardZeroToTheStep)
{
    struct Case {
        int32_t d, snap, expected;
    };
    const Case cases[] = {
        { 27, 10, 20 },
        { -13, 10, -10 },
        { 9, 10, 0 },
        { -9, 10, 0 },
        { 30, 10, 30 },
        { 27, 1, 27 },
        { 27, 0, 27 }, // a step below 1 counts as 1
        { -13, -5, -13 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(snapDisplacement(c.d, c.snap), c.expected) << c.d << " by " << c.snap;
}

TEST(DragOutline, MoveSnapsAndShiftsEveryCorner)
{
    const Outline w = dragOutline(kBox, kHitInside, 0.0, 27, -13, 10);
    EXPECT_EQ(
        w, moved(kBox, { { 0, { 20, -10 } }, { 1, { 20, -10 } }, { 2, { 20, -10 } }, { 3, { 20, -10 } } }));
    // Rotation does not matter to a move.
    EXPECT_EQ(dragOutline(kBox, kHitInside, 37.0, 27, -13, 10), w);
}

TEST(DragOutline, SidesMoveAlongTheSourcesOwnAxes)
{
    struct Case {
        const char* name;
        HitZone zone;
        double rotation;
        int32_t dx, dy;
        Outline expected;
    };
    const Case cases[] = {
        { "east 50 right", kHitEast, 0, 50, 0, moved(kBox, { { 1, { 50, 0 } }, { 3, { 50, 0 } } }) },
        { "east: the vertical part is dropped", kHitEast, 0, 0, 30, kBox },
        { "west 20 left", kHitWest, 0, -20, 0, moved(kBox, { { 0, { -20, 0 } }, { 2, { -20, 0 } } }) },
        { "north 10 up", kHitNorth, 0, 0, -10, moved(kBox, { { 0, { 0, -10 } }, { 1, { 0, -10 } } }) },
        { "south 10 down", kHitSouth, 0, 0, 10, moved(kBox, { { 2, { 0, 10 } }, { 3, { 0, 10 } } }) },
        { "south: the horizontal part is dropped", kHitSouth, 0, 25, 0, kBox },
        // Turned 90 degrees clockwise the width axis points down the screen; pi as 3.14159 makes
        // the 40-pixel step 39.99999... which truncates to 39.
        { "east of a source turned 90", kHitEast, 90, 0, 40,
            moved(kBox, { { 1, { 0, 39 } }, { 3, { 0, 39 } } }) },
        { "nothing", kHitNothing, 0, 50, 50, kBox },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dragOutline(kBox, c.zone, c.rotation, c.dx, c.dy, 10), c.expected);
    }
}

TEST(DragOutline, CornersMoveWithTheCursorAndTakeTheirNeighboursAlongTheAxes)
{
    struct Corner {
        HitZone zone;
        size_t dragged, heightNeighbour, widthNeighbour, opposite;
        HitZone heightSide, widthSide;
    };
    const Corner corners[] = {
        { kHitNorthWest, 0, 1, 2, 3, kHitNorth, kHitWest },
        { kHitNorthEast, 1, 0, 3, 2, kHitNorth, kHitEast },
        { kHitSouthWest, 2, 3, 0, 1, kHitSouth, kHitWest },
        { kHitSouthEast, 3, 2, 1, 0, kHitSouth, kHitEast },
    };
    for (double rotation : { 0.0, 30.0, -120.0 }) {
        for (const Corner& c : corners) {
            SCOPED_TRACE(std::to_string(rotation) + " zone " + std::to_string(c.zone));
            const int32_t dx = 23, dy = -17;
            const Outline w = dragOutline(kBox, c.zone, rotation, dx, dy, 10);
            EXPECT_EQ(w[c.dragged], (ViewPoint { kBox[c.dragged].x + dx, kBox[c.dragged].y + dy }));
            EXPECT_EQ(w[c.opposite], kBox[c.opposite]);
            EXPECT_EQ(w[c.heightNeighbour],
                dragOutline(kBox, c.heightSide, rotation, dx, dy, 10)[c.heightNeighbour]);
            EXPECT_EQ(
                w[c.widthNeighbour], dragOutline(kBox, c.widthSide, rotation, dx, dy, 10)[c.widthNeighbour]);
        }
    }
}

TEST(RotationDrag, WholeDegreesRoundedHalfUpAndWrapped)
{
    const ViewPoint c = rotationCentre(kBox);
    ASSERT_EQ(c, (ViewPoint { 400, 300 }));
    struct Case {
        const char* name;
        double startAngle;
        int32_t x, y;
        double expected;
    };
    const Case cases[] = {
        { "-12.7 stored as -12", 0.0, 400 + 976, 300 - 220, -12 },
        { "12.7 becomes 13", 0.0, 400 + 976, 300 + 220, 13 },
        { "past +pi wraps round", -3.0, 400 - 990, 300 + 141, -15 }, // 6.0001 - 6.28318 rad
        { "past -pi wraps round", 3.0, 400 - 990, 300 - 141, 16 },
        { "straight down is 90", 0.0, 400, 900, 90 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rotationDrag(kBox, c.startAngle, c.x, c.y).rotation, c.expected);
    }
}

TEST(RotationDrag, OutlineTurnsAboutTheCentreInFixedPoint)
{
    // No turn: the outline comes back unchanged.
    EXPECT_EQ(rotationDrag(kBox, 0.0, 700, 300).outline, kBox);
    // A quarter turn: the 200 x 100 rectangle stands upright about the same centre.
    const Outline q = rotationDrag(kBox, 0.0, 400, 900).outline;
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(q[k].x + q[3 - k].x, 800) << k; // P0/P3 and P1/P2 are opposite
        EXPECT_EQ(q[k].y + q[3 - k].y, 600) << k;
    }
    EXPECT_NEAR(q[0].x, 450, 1);
    EXPECT_NEAR(q[0].y, 200, 1);
    EXPECT_NEAR(q[3].x, 350, 1);
    EXPECT_NEAR(q[3].y, 400, 1);
}

TEST(RotationDrag, StartAngleTakesTheRotationInWholeDegrees)
{
    // The cursor straight right of the centre of a source turned by 30.7 degrees.
    const double a = rotationStartAngle(kBox, 30.7, 700, 300);
    EXPECT_DOUBLE_EQ(a, -30.0 * 3.14159 / 180.0);
    // Dragging back to the same point gives the stored whole angle.
    EXPECT_EQ(rotationDrag(kBox, a, 700, 300).rotation, 30.0);
}

TEST(ResizeRatios, NewOverOldSideLengthsIn1024ths)
{
    EXPECT_EQ(resizeRatios(dragOutline(kBox, kHitInside, 0, 37, 5, 1), kBox, kHitInside),
        (ResizeRatios { 1024, 1024 }));
    // 50 pixels wider: trunc(trunc(250 x 1024) / 200).
    EXPECT_EQ(resizeRatios(dragOutline(kBox, kHitEast, 0, 50, 0, 1), kBox, kHitEast),
        (ResizeRatios { 1280, 1024 }));
    // 33 pixels lower: trunc(133 x 1024 / 100) = 1361.
    EXPECT_EQ(resizeRatios(dragOutline(kBox, kHitSouth, 0, 0, 33, 1), kBox, kHitSouth),
        (ResizeRatios { 1024, 1361 }));
    // Squashed flat: ratio 0; a flat document outline divides by 1, not 0.
    const Outline flat = dragOutline(kBox, kHitSouth, 0, 0, -100, 1);
    EXPECT_EQ(resizeRatios(flat, kBox, kHitSouth).height, 0);
    EXPECT_EQ(resizeRatios(kBox, flat, kHitSouth).height, 102400);
}

// The outline of a source rotated 30 degrees has sides that are not whole numbers of pixels
// (here about 200.6 and 100.4): an unmoved side must still keep its scale exactly.
TEST(ResizeRatios, ASideTheDragDidNotChangeKeepsItsScale)
{
    const Outline tilted { { { 300, 200 }, { 474, 300 }, { 250, 287 }, { 424, 387 } } };
    ASSERT_NE(std::trunc(std::hypot(174.0, 100.0)), std::hypot(174.0, 100.0));
    EXPECT_EQ(resizeRatios(tilted, tilted, kHitSouthEast), (ResizeRatios { 1024, 1024 }));
    // Dragging the east side only: the height keeps 1024, whatever the width becomes.
    const Outline wider = dragOutline(tilted, kHitEast, 30, 40, 23, 1);
    const ResizeRatios east = resizeRatios(wider, tilted, kHitEast);
    EXPECT_GT(east.width, 1024);
    EXPECT_EQ(east.height, 1024);
    // And the north side only: the width keeps 1024.
    const ResizeRatios north
        = resizeRatios(dragOutline(tilted, kHitNorth, 30, -20, -35, 1), tilted, kHitNorth);
    EXPECT_EQ(north.width, 1024);
    EXPECT_GT(north.height, 1024);
}

TEST(BoxDisplacement, MeasuredAtTheLowestLeftCornerForTheRotation)
{
    struct Case {
        double rotation;
        Outline working;
        ViewPoint expected;
    };
    const Outline everyCorner
        = moved(kBox, { { 0, { 7, -5 } }, { 1, { 7, -5 } }, { 2, { 7, -5 } }, { 3, { 7, -5 } } });
    // Only P1 and P3 moved by (-30, 12).
    const Outline eastSide = moved(kBox, { { 1, { -30, 12 } }, { 3, { -30, 12 } } });
    const Case cases[] = {
        { 0, everyCorner, { 7, 5 } }, { 90, everyCorner, { 7, 5 } }, { 135, everyCorner, { 7, 5 } },
        { -45, everyCorner, { 7, 5 } }, { -90, everyCorner, { 7, 5 } }, { -135, everyCorner, { 7, 5 } },
        { 0, eastSide, { 0, -12 } }, // x from P2, y from P3
        { 120, eastSide, { -30, -12 } }, // x from P3, y from P1
        { -30, eastSide, { 0, 0 } }, // x from P0, y from P2
        { -150, eastSide, { -30, 0 } }, // x from P1, y from P0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation);
        EXPECT_EQ(boxDisplacement(c.working, kBox, c.rotation), c.expected);
    }
}

} // namespace
} // namespace tessary
