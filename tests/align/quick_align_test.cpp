#include "align/quick_align.h"

#include "placed_sources.h"

#include "support/placement_columns.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::PlacedSources;

TEST(QuickAlignStrip, WidthAndZonesForThreeSources)
{
    EXPECT_EQ(stripWidth(3), 40);
    EXPECT_EQ(stripWidth(8), 80);
    struct Case {
        int32_t x, y, zone;
        bool opposite;
    } cases[] = {
        { 0, 0, -1, true },
        { 15, 12, -1, true },
        { 15, 13, -1, false },
        { 16, 23, 0, false },
        { 23, 0, 0, true },
        { 24, 5, 1, true },
        { 31, 20, 1, false },
        { 32, 12, 2, true },
        { 39, 13, 2, false },
    };
    for (const Case& c : cases) {
        const StripHit hit = stripHitAt(c.x, c.y);
        EXPECT_EQ(hit.zone, c.zone) << c.x << "," << c.y;
        EXPECT_EQ(hit.opposite, c.opposite) << c.x << "," << c.y;
    }
}

TEST(QuickAlignStrip, PlacesAroundThePreview)
{
    CAlignDoc doc;
    doc.previewLeft = 156;
    doc.previewTop = 135;
    doc.previewWidth = 487;
    doc.previewHeight = 195;
    EXPECT_EQ(stripPlace(StripSide::Left, doc), (ViewPoint { 56, 232 }));
    EXPECT_EQ(stripPlace(StripSide::Right, doc), (ViewPoint { 693, 232 }));
    EXPECT_EQ(stripPlace(StripSide::Top, doc), (ViewPoint { 399, 95 }));
    EXPECT_EQ(stripPlace(StripSide::Bottom, doc), (ViewPoint { 399, 360 }));
}

TEST(QuickAlignStrip, HoverTexts)
{
    EXPECT_EQ(stripStatusText(stripHitAt(3, 3), 2), "nudge source 2");
    EXPECT_EQ(stripStatusText(stripHitAt(20, 3), 2), "quick align 2");
    EXPECT_EQ(stripTipText(StripSide::Left, stripHitAt(3, 3), 2, 7, 9),
        "Move selected source 2 in this direction by 7 pixels\n"
        "Set amount to move in the Align menu under 'nudge factor'.");
    EXPECT_EQ(stripTipText(StripSide::Bottom, stripHitAt(3, 3), 2, 7, 9).substr(0, 46),
        "Move selected source 2 in this direction by 9 ");
    EXPECT_EQ(stripTipText(StripSide::Top, stripHitAt(20, 3), 2, 7, 9),
        "Align opposite edge of selected source 2 to this edge of source 1");
    // Another zone in the same half names its own source.
    EXPECT_EQ(stripTipText(StripSide::Top, stripHitAt(34, 20), 2, 7, 9),
        "Align this edge of selected source 2 to this edge of source 3");
    EXPECT_EQ(stripTipText(StripSide::Top, stripHitAt(26, 20), 2, 7, 9), "");
}

TEST(QuickAlignStrip, TipRectangleStaysInsideTheFrame)
{
    struct Case {
        int32_t x, y, width, bottom;
        ViewRect r;
    } cases[] = {
        { 500, 100, 1200, 900, { 400, 125, 401, 140 } },
        { 60, 100, 1200, 900, { 20, 125, 21, 140 } }, // would start left of the view
        { 500, 100, 800, 900, { 200, 125, 201, 140 } }, // narrow frame: 200 further left
        { 1100, 100, 1200, 900, { 800, 125, 801, 140 } }, // 400 clear of the right edge
        { 500, 700, 1200, 900, { 400, 625, 401, 640 } }, // near the bottom: 100 up
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stripTipRect(c.x, c.y, c.width, c.bottom), c.r) << c.x << "," << c.y;
    }
}

// Source 1 (200 x 100) at (0, 0), source 2 (500 x 40) at (0, 300), source 3 (60 x 80) selected
// at (1000, 50).
class QuickAlign : public ::testing::Test {
protected:
    PlacedSources p;
    CAlignDoc& doc = p.ws.alignDoc;
    void SetUp() override
    {
        p.add(200, 100, 0, 0);
        p.add(500, 40, 0, 300);
        p.add(60, 80, 1000, 50);
        p.ws.alignView.nudgeX = 7;
        p.ws.alignView.nudgeY = 9;
        p.ready(3);
    }
    bool click(StripSide side, int32_t x, int32_t y)
    {
        return quickAlign(p.ws, p.platform, side, stripHitAt(x, y));
    }
};

TEST_F(QuickAlign, NudgesByTheNudgeFactors)
{
    ASSERT_TRUE(click(StripSide::Left, 12, 20));
    EXPECT_EQ(doc.placement[2].posX, 993);
    ASSERT_TRUE(click(StripSide::Right, 0, 0));
    EXPECT_EQ(doc.placement[2].posX, 1000);
    ASSERT_TRUE(click(StripSide::Top, 0, 0));
    EXPECT_EQ(doc.placement[2].posY, 59);
    ASSERT_TRUE(click(StripSide::Bottom, 0, 0));
    EXPECT_EQ(doc.placement[2].posY, 50);
    EXPECT_TRUE(p.targetStale());
    EXPECT_EQ(doc.previewValid, 1);
}

TEST_F(QuickAlign, AlignsEachEdgeWithTheZoneSource)
{
    struct Case {
        StripSide side;
        int32_t x, y; // in the strip
        int32_t posX, posY; // of source 3 afterwards, before normalising
    } cases[] = {
        { StripSide::Left, 20, 20, 0, 50 }, // this edge of source 1
        { StripSide::Left, 20, 5, -60, 50 }, // opposite: just left of source 1
        { StripSide::Right, 28, 20, 440, 50 }, // right edges of source 2 and 3 meet
        { StripSide::Right, 28, 5, 500, 50 }, // just right of source 2
        { StripSide::Top, 20, 20, 1000, 20 }, // top edges meet: 100 - 80
        { StripSide::Top, 20, 5, 1000, 100 }, // on top of source 1
        { StripSide::Bottom, 28, 20, 1000, 300 }, // bottom edges meet
        { StripSide::Bottom, 28, 5, 1000, 220 }, // just below source 2
    };
    for (const Case& c : cases) {
        doc.placement[2].posX = 1000;
        doc.placement[2].posY = 50;
        ASSERT_TRUE(click(c.side, c.x, c.y));
        // Normalising moves every source by the same amount: compare against source 1.
        EXPECT_EQ(doc.placement[2].posX - doc.placement[0].posX, c.posX) << int(c.side) << " " << c.y;
        EXPECT_EQ(doc.placement[2].posY - doc.placement[0].posY, c.posY) << int(c.side) << " " << c.y;
        EXPECT_EQ(std::min({ doc.placement[0].posX, doc.placement[1].posX, doc.placement[2].posX }), 0);
        EXPECT_EQ(std::min({ doc.placement[0].posY, doc.placement[1].posY, doc.placement[2].posY }), 0);
    }
    // Positions only: nothing was transformed again.
    EXPECT_EQ(p.transformations(), 3);
}

TEST_F(QuickAlign, OwnColumnAndZonesPastTheSourcesDoNothing)
{
    const auto before = testing::column(doc.placement, &Placement::posX);
    EXPECT_FALSE(click(StripSide::Left, 32, 20)); // source 3's own column
    EXPECT_FALSE(click(StripSide::Right, 40, 20)); // a fourth column that no source fills
    EXPECT_FALSE(click(StripSide::Right, 16 + 8 * 7, 5));
    EXPECT_EQ(testing::column(doc.placement, &Placement::posX), before);
    EXPECT_FALSE(p.targetStale());
}

TEST(QuickAlignRightStrip, OppositeEdgeOfAWideSource)
{
    PlacedSources p;
    p.add(100, 50, 200, 0);
    p.add(500, 50, 0, 0);
    p.ready(1);
    ASSERT_TRUE(quickAlign(p.ws, p.platform, StripSide::Right, stripHitAt(25, 2)));
    EXPECT_EQ(p.ws.alignDoc.placement[0].posX, 500);
    EXPECT_EQ(p.ws.alignDoc.placement[1].posX, 0);
}

TEST(QuickAlignGuide, CornersAndTheShiftOfAnUprightSource)
{
    // View coordinates: P0 top-left, P1 top-right, P2 bottom-left, P3 bottom-right.
    const Outline sel { ViewPoint { 100, 100 }, { 160, 100 }, { 100, 180 }, { 160, 180 } };
    const Outline zone { ViewPoint { 300, 50 }, { 400, 50 }, { 300, 90 }, { 400, 90 } };
    struct Case {
        StripSide side;
        bool opposite;
        ViewPoint a, b;
    } cases[] = {
        { StripSide::Left, false, { 100, 60 }, { 300, 50 } },
        { StripSide::Left, true, { 160, 140 }, { 300, 50 } },
        { StripSide::Right, false, { 160, 140 }, { 400, 50 } },
        { StripSide::Right, true, { 100, 60 }, { 400, 50 } },
        { StripSide::Top, false, { 60, 100 }, { 300, 50 } },
        { StripSide::Top, true, { 140, 180 }, { 300, 50 } },
        { StripSide::Bottom, false, { 140, 180 }, { 300, 90 } },
        { StripSide::Bottom, true, { 60, 100 }, { 300, 90 } },
    };
    for (const Case& c : cases) {
        const StripGuide g = stripGuide(c.side, c.opposite, sel, 0.0, zone);
        EXPECT_EQ(g.a, c.a) << int(c.side) << c.opposite;
        EXPECT_EQ(g.b, c.b) << int(c.side) << c.opposite;
    }
    // A turned source keeps its corner where it is.
    const Outline turned { ViewPoint { 130, 90 }, { 170, 130 }, { 90, 130 }, { 130, 170 } };
    EXPECT_EQ(stripGuide(StripSide::Left, false, turned, 45.0, zone).a, (ViewPoint { 90, 130 }));
    EXPECT_TRUE(stripGuide(StripSide::Right, false, turned, 45.0, zone).vertical);
    EXPECT_FALSE(stripGuide(StripSide::Top, false, turned, 45.0, zone).vertical);
}

} // namespace
} // namespace tessary
