#include "merge/target_zone.h"

#include "merge/target_view_paint.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(TargetZone, SnappingTruncatesTowardZero)
{
    struct Case {
        int32_t v, grid, snapped;
    } cases[] = { { 0, 16, 0 }, { 15, 16, 0 }, { 16, 16, 16 }, { 47, 16, 32 }, { 99, 10, 90 }, { 7, 5, 5 },
        { 123, 1, 123 }, { -7, 5, -5 }, { 9, 0, 9 } };
    for (const Case& c : cases)
        EXPECT_EQ(snapCoordinate(c.v, c.grid), c.snapped) << c.v << " on " << c.grid;
}

TEST(TargetZone, APointIsSnappedThenKeptWithinTheView)
{
    // A 200 x 150 view.
    struct Case {
        ViewPoint in;
        int32_t grid;
        ViewPoint out;
    } cases[] = {
        { { 20, 10 }, 1, { 20, 10 } },
        { { 250, 400 }, 1, { 200, 150 } },
        { { 199, 149 }, 16, { 192, 144 } },
        { { 210, 160 }, 16, { 192, 144 } }, // the snapped size, not the size
        { { -12, -3 }, 5, { 0, 0 } },
        { { 37, 53 }, 10, { 30, 50 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(limitZonePoint(c.in, 200, 150, c.grid), c.out) << c.in.x << "," << c.in.y;
}

TEST(TargetZone, HalfSizeViewZoneCoversTwiceItsViewPixels)
{
    // A 400 x 300 target at 50 %: view x 20 to 100 are target columns 40 to 200.
    const ZoneSize size = zoneSize({ 20, 10 }, { 100, 120 }, 50, 50);
    EXPECT_EQ(size.width, 160);
    EXPECT_EQ(size.height, 220);
    EXPECT_FALSE(size.tooSmall());
    EXPECT_EQ(zoneImageRect({ 100, 120 }, { 20, 10 }, 50, 50), (ImageRect { 40, 20, 160, 220 }));
    EXPECT_EQ(zonePopupText(size), "Zone size X,Y = 160 ,220");
    // 31 view pixels at 50 % are 62 target pixels: too small either way.
    EXPECT_TRUE(zoneSize({ 20, 10 }, { 51, 120 }, 50, 50).tooSmall());
    EXPECT_TRUE(zoneSize({ 20, 10 }, { 100, 41 }, 50, 50).tooSmall());
    EXPECT_EQ(zonePopupText(zoneSize({ 20, 10 }, { 51, 120 }, 50, 50)), "Zone too small");
    EXPECT_FALSE(zoneSize({ 0, 0 }, { 64, 64 }, 100, 100).tooSmall());
    EXPECT_TRUE(zoneSize({ 0, 0 }, { 63, 64 }, 100, 100).tooSmall());
    // At 10 % one view pixel is ten target pixels.
    EXPECT_EQ(zoneSize({ 3, 0 }, { 10, 9 }, 10, 10).width, 70);
}

TEST(TargetZone, ReleaseKeepsABigEnoughZoneAndDropsASmallOne)
{
    // 400 x 300 target at 100 %.
    ZoneRelease kept = releaseZone({ 10, 20 }, { 500, 290 }, 400, 300, 1, 400, 300, 100, 100);
    EXPECT_EQ(kept.anchor, (ViewPoint { 10, 20 }));
    EXPECT_EQ(kept.corner, (ViewPoint { 400, 290 }));
    EXPECT_EQ(kept.zoneSelected, 1);

    ZoneRelease dropped = releaseZone({ 10, 20 }, { 73, 290 }, 400, 300, 1, 400, 300, 100, 100);
    EXPECT_EQ(dropped.anchor, (ViewPoint { 73, 290 }));
    EXPECT_EQ(dropped.corner, (ViewPoint { 73, 290 }));
    EXPECT_EQ(dropped.zoneSelected, 0);

    // Snap 16: the corner lands on the grid.
    ZoneRelease snapped = releaseZone({ 16, 32 }, { 203, 131 }, 400, 300, 16, 400, 300, 100, 100);
    EXPECT_EQ(snapped.corner, (ViewPoint { 192, 128 }));
}

TEST(TargetZone, PointerPositionCountsFromOneAndFromTheBottom)
{
    // 100 %, snap 1, a view 300 high: top-left reads y = 300, bottom-left y = 1.
    EXPECT_EQ(pointerPositionText({ 0, 0 }, 300, 1, 100, 100), "x = 1 y = 300");
    EXPECT_EQ(pointerPositionText({ 0, 299 }, 300, 1, 100, 100), "x = 1 y = 1");
    EXPECT_EQ(pointerPositionText({ 399, 299 }, 300, 1, 100, 100), "x = 400 y = 1");
    // 50 %: target pixels; snap 10 on view pixels first.
    EXPECT_EQ(pointerPositionText({ 0, 0 }, 150, 1, 50, 50), "x = 2 y = 300");
    EXPECT_EQ(pointerPositionText({ 24, 0 }, 150, 10, 50, 50), "x = 40 y = 300");
}

TEST(TargetZone, ZoneButtonsMoveAwayFromTheEdges)
{
    struct Case {
        ViewPoint release;
        ViewRect save, print;
    } cases[] = {
        { { 100, 100 }, { 105, 105, 121, 121 }, { 124, 105, 140, 121 } },
        // Right edge at 500: the print button (needs x + 40) moves first, then the save button.
        { { 470, 100 }, { 475, 105, 491, 121 }, { 414, 105, 430, 121 } },
        { { 490, 100 }, { 415, 105, 431, 121 }, { 434, 105, 450, 121 } },
        // Bottom edge at 400: both go above the point.
        { { 100, 390 }, { 105, 355, 121, 371 }, { 124, 355, 140, 371 } },
        { { 495, 395 }, { 420, 360, 436, 376 }, { 439, 360, 455, 376 } },
    };
    for (const Case& c : cases) {
        const ZoneButtonPlaces places = zoneButtonPlaces(c.release, 500, 400);
        EXPECT_EQ(places.save, c.save) << c.release.x << "," << c.release.y;
        EXPECT_EQ(places.print, c.print) << c.release.x << "," << c.release.y;
    }
    // Exactly at the limit the buttons stay right of the point.
    EXPECT_EQ(zoneButtonPlaces({ 460, 379 }, 500, 400).print, (ViewRect { 484, 384, 500, 400 }));
}

TEST(TargetZone, AutoScrollFollowsTheCornerAndRunsAhead)
{
    // A 1000 x 800 view in a 300 x 200 client, scrolled to (100, 50).
    AutoScroll right = autoScrollStep({ 100, 50 }, 300, 200, 1000, 800, { 420, 100 });
    EXPECT_TRUE(right.scrolled);
    EXPECT_EQ(right.scroll, (ViewPoint { 120, 50 }));
    EXPECT_EQ(right.dragPoint, (ViewPoint { 440, 100 }));

    AutoScroll upLeft = autoScrollStep({ 100, 50 }, 300, 200, 1000, 800, { 90, 20 });
    EXPECT_EQ(upLeft.scroll, (ViewPoint { 90, 20 }));
    EXPECT_EQ(upLeft.dragPoint, (ViewPoint { 80, -10 }));

    AutoScroll down = autoScrollStep({ 0, 0 }, 300, 200, 1000, 800, { 100, 230 });
    EXPECT_EQ(down.scroll, (ViewPoint { 0, 30 }));
    EXPECT_EQ(down.dragPoint, (ViewPoint { 100, 260 }));

    // Inside the client, or at the end of the view: nothing moves.
    AutoScroll still = autoScrollStep({ 100, 50 }, 300, 200, 1000, 800, { 200, 100 });
    EXPECT_FALSE(still.scrolled);
    EXPECT_EQ(still.scroll, (ViewPoint { 100, 50 }));
    EXPECT_EQ(autoScrollStep({ 700, 600 }, 300, 200, 1000, 800, { 1000, 800 }).scrolled, false);
    EXPECT_EQ(autoScrollStep({ 0, 0 }, 300, 200, 1000, 800, { 0, 0 }).scrolled, false);
}

TEST(TargetViewPaint, EmptyWindowTextsForEachCase)
{
    const std::vector<PlacedText> few = emptyTargetTexts(1, 1);
    ASSERT_EQ(few.size(), 2u);
    EXPECT_EQ(few[0], (PlacedText { 30, 20, "This target window is empty !" }));
    EXPECT_EQ(few[1],
        (PlacedText { 30, 50, "Please switch to the Align Window and load at least two source images." }));

    const std::vector<PlacedText> ready = emptyTargetTexts(2, 1);
    ASSERT_EQ(ready.size(), 3u);
    EXPECT_EQ(ready[1], (PlacedText { 30, 50, "Please select an item from the Target menu and apply it." }));
    EXPECT_EQ(ready[2],
        (PlacedText { 30, 70, "Alternatively press the button below and load the Target from defaults" }));

    // No valid preview: a second text over the first line.
    const std::vector<PlacedText> invalid = emptyTargetTexts(3, 0);
    ASSERT_EQ(invalid.size(), 2u);
    EXPECT_EQ(invalid[1],
        (PlacedText { 30, 20, "This target window is empty because the align view is not valid." }));
}

TEST(TargetViewPaint, EmptyWindowGradientAndHatchedSurround)
{
    const std::vector<GradientBand> bands = emptyTargetBackground(640, 484);
    ASSERT_EQ(bands.size(), 129u);
    EXPECT_EQ(bands[0].rect, (ViewRect { 0, 0, 640, 100 }));
    EXPECT_EQ(bands[0].colour, (Rgb { 224, 240, 240 }));
    // (484 - 100) / 128 + 1 = 4 pixels a band.
    EXPECT_EQ(bands[1].rect, (ViewRect { 0, 100, 640, 104 }));
    EXPECT_EQ(bands[128].rect, (ViewRect { 0, 608, 640, 612 }));
    EXPECT_EQ(bands[128].colour, (Rgb { 97, 113, 113 }));

    // A 200 x 150 image scrolled by (0, 0) in a 500 x 400 client; then scrolled by (50, 20).
    auto rects = targetHatchRects(200, 150, { 0, 0 }, 500, 400);
    EXPECT_EQ(rects[0], (ViewRect { 0, 150, 500, 400 }));
    EXPECT_EQ(rects[1], (ViewRect { 200, 0, 500, 150 }));
    rects = targetHatchRects(200, 150, { 50, 20 }, 500, 400);
    EXPECT_EQ(rects[0], (ViewRect { 0, 130, 500, 400 }));
    EXPECT_EQ(rects[1], (ViewRect { 150, 0, 500, 130 }));
}

} // namespace
} // namespace tessary
