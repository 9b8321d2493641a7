#include "align/collage.h"

#include "placed_sources.h"

#include "support/placement_columns.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::PlacedSources;

struct GridCase {
    int32_t count, columns;
    std::vector<ViewPoint> places; // of source 1, 2, ... in slot order
};

TEST(CollageGrid, RowsGoDownFromTheTop)
{
    const GridCase cases[] = {
        { 4, 2, { { 0, 500 }, { 650, 500 }, { 0, 0 }, { 650, 0 } } },
        { 3, 3, { { 0, 0 }, { 650, 0 }, { 1300, 0 } } },
        { 5, 2, { { 0, 1000 }, { 650, 1000 }, { 0, 500 }, { 650, 500 }, { 0, 0 } } },
        { 3, 1, { { 0, 1000 }, { 0, 500 }, { 0, 0 } } },
    };
    for (const GridCase& c : cases) {
        CAlignDoc doc;
        for (Placement& place : doc.placement)
            place.posX = 12345;
        layOutCollage(doc, c.count, identityCollageOrder(), { c.columns, 10, 20, 640, 480 });
        for (size_t i = 0; i < c.places.size(); ++i) {
            EXPECT_EQ(doc.placement[i].posX, c.places[i].x) << c.count << " in " << c.columns << ", source " << i + 1;
            EXPECT_EQ(doc.placement[i].posY, c.places[i].y) << c.count << " in " << c.columns << ", source " << i + 1;
        }
    }
}

TEST(CollageGrid, SwapsExchangeCellsAndResetGivesSlotOrder)
{
    CollageOrder order = identityCollageOrder();
    swapCollageSources(order, 0, 2);
    CAlignDoc doc;
    layOutCollage(doc, 4, order, { 2, 10, 20, 640, 480 });
    EXPECT_EQ((ViewPoint { doc.placement[2].posX, doc.placement[2].posY }), (ViewPoint { 0, 500 })); // source 3, first cell
    EXPECT_EQ((ViewPoint { doc.placement[0].posX, doc.placement[0].posY }), (ViewPoint { 0, 0 })); // source 1, third cell
    swapCollageSources(order, 2, 3);
    EXPECT_EQ(order[0], 3);
    EXPECT_EQ(order[3], 2);
    EXPECT_EQ(identityCollageOrder()[5], 5);
}

TEST(CollageScale, FractionAndTheExtraUnit)
{
    EXPECT_DOUBLE_EQ(collageScale(1000, 640), 655.36);
    EXPECT_DOUBLE_EQ(collageScale(1024, 640), 640.0);
    // 1024 * 640 / 502 in double times 502 falls short of 655360 in extended precision.
    EXPECT_DOUBLE_EQ(collageScale(502, 640), 1024.0 * 640 / 502 + 1.0);
    for (int32_t w : { 100, 333, 502, 777, 1000, 4000, 30000 }) {
        const double s = collageScale(w, 640);
        EXPECT_GE(static_cast<long double>(w) * s, 640.0L * 1024) << w;
    }
}

TEST(CollageColumns, BroughtIntoOneToSourceCount)
{
    bool tooMany = false;
    EXPECT_EQ(collageColumns(5, 3, tooMany), 3);
    EXPECT_TRUE(tooMany);
    EXPECT_EQ(collageColumns(0, 3, tooMany), 1);
    EXPECT_FALSE(tooMany);
    EXPECT_EQ(collageColumns(-4, 3, tooMany), 1);
    EXPECT_EQ(collageColumns(2, 3, tooMany), 2);
    EXPECT_FALSE(tooMany);
}

TEST(CollageSwapControl, PairsAboveTheDiagonal)
{
    // 88 x 82: usable 80 x 70, cells 10 x 10.
    struct Case {
        int32_t x, y, count, first, second;
    } cases[] = {
        { 8 + 15, 12 + 5, 4, 1, 2 },
        { 8 + 45, 12 + 15, 5, 2, 5 },
        { 8 + 45, 12 + 15, 4, 0, 0 }, // source 5 is not loaded
        { 8 + 15, 12 + 15, 4, 0, 0 }, // on the diagonal
        { 8 + 5, 12 + 25, 4, 0, 0 }, // below it
        { 7, 20, 4, 0, 0 }, // in the margin
        { 20, 11, 4, 0, 0 },
    };
    for (const Case& c : cases) {
        const auto pair = swapPairAt(c.x, c.y, 88, 82, c.count);
        EXPECT_EQ(pair ? pair->first : 0, c.first) << c.x << "," << c.y;
        EXPECT_EQ(pair ? pair->second : 0, c.second) << c.x << "," << c.y;
    }
    // A control no larger than its margins has no cells (and divides by nothing).
    EXPECT_FALSE(swapPairAt(8, 12, 8, 12, 4));
    EXPECT_FALSE(swapPairAt(9, 13, 6, 10, 4));
}

TEST(CollageMap, BoxesCentredOnThePanel)
{
    EXPECT_EQ(collageMapBox(0, 2, 4, 100, 60), (ViewPoint { 32, 12 }));
    EXPECT_EQ(collageMapBox(3, 2, 4, 100, 60), (ViewPoint { 50, 30 }));
    EXPECT_EQ(collageMapBox(4, 2, 5, 100, 60), (ViewPoint { 32, 48 }));
}

class Collage : public ::testing::Test {
protected:
    PlacedSources p;
    CAlignDoc& doc = p.ws.alignDoc;
    void SetUp() override
    {
        p.add(300, 200, 0, 0);
        p.add(120, 160, 50, 400);
        p.add(200, 100, 900, 30);
        p.ready(1);
    }
};

TEST_F(Collage, ApplyResizesEverySourceAndSwapsTransformNothing)
{
    const CollageSettings settings { 2, 10, 20, 640, 480 };
    const SavedPlacements saved = savePlacements(doc);
    const int before = p.transformations();
    EXPECT_EQ(applyCollage(p.ws, p.platform, identityCollageOrder(), settings, saved), 0);
    EXPECT_EQ(p.transformations(), before + 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(p.transformed(n).width(), 640) << n;
        EXPECT_EQ(p.transformed(n).height(), 480) << n;
    }
    EXPECT_EQ((ViewPoint { doc.placement[2].posX, doc.placement[2].posY }), (ViewPoint { 0, 0 }));
    EXPECT_EQ((ViewPoint { doc.placement[1].posX, doc.placement[1].posY }), (ViewPoint { 650, 500 }));
    EXPECT_TRUE(p.targetStale());

    CollageOrder order = identityCollageOrder();
    swapCollageSources(order, 0, 2);
    EXPECT_EQ(applyCollage(p.ws, p.platform, order, settings, saved), 0);
    EXPECT_EQ(p.transformations(), before + 3);
    EXPECT_EQ((ViewPoint { doc.placement[0].posX, doc.placement[0].posY }), (ViewPoint { 0, 0 }));
    EXPECT_EQ((ViewPoint { doc.placement[2].posX, doc.placement[2].posY }), (ViewPoint { 0, 500 }));
}

TEST_F(Collage, CancelRestoresEverySlotAndTransformsOnlyWhatChanged)
{
    const SavedPlacements saved = savePlacements(doc);
    // Nothing applied yet: Cancel transforms nothing and leaves the target current.
    const int start = p.transformations();
    EXPECT_EQ(restorePlacements(p.ws, p.platform, saved), 0);
    EXPECT_EQ(p.transformations(), start);
    EXPECT_FALSE(p.targetStale());

    ASSERT_EQ(applyCollage(p.ws, p.platform, identityCollageOrder(), { 3, 0, 0, 300, 200 }, saved), 0);
    // Source 1 was already 300 x 200 at 100 %: only 2 and 3 changed scale.
    EXPECT_EQ(p.transformations(), start + 2);
    ASSERT_EQ(applyCollage(p.ws, p.platform, identityCollageOrder(), { 1, 0, 0, 300, 200 }, saved), 0);
    EXPECT_EQ(restorePlacements(p.ws, p.platform, saved), 0);
    EXPECT_EQ(p.transformations(), start + 4);
    EXPECT_EQ(testing::column(doc.placement, &Placement::posX), testing::column(saved.placement, &Placement::posX));
    EXPECT_EQ(testing::column(doc.placement, &Placement::posY), testing::column(saved.placement, &Placement::posY));
    EXPECT_EQ(testing::column(doc.placement, &Placement::scaleX), testing::column(saved.placement, &Placement::scaleX));
    EXPECT_EQ(p.transformed(2).width(), 120);
    EXPECT_EQ(p.transformed(3).height(), 100);
}

TEST_F(Collage, CancelKeepsGoingAfterAFailureAndReportsTheFirst)
{
    const SavedPlacements saved = savePlacements(doc);
    ASSERT_EQ(applyCollage(p.ws, p.platform, identityCollageOrder(), { 3, 0, 0, 640, 480 }, saved), 0);
    // Esc held through the first transformation, answered "Yes": it is abandoned.
    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    p.platform.expectMessage(kPreviewAbortedText);
    EXPECT_EQ(restorePlacements(p.ws, p.platform, saved), kTransformAborted);
    // The later sources were transformed back all the same.
    EXPECT_EQ(p.transformed(2).width(), 120);
    EXPECT_EQ(p.transformed(3).width(), 200);
    EXPECT_EQ(testing::column(doc.placement, &Placement::scaleX), testing::column(saved.placement, &Placement::scaleX));
}

TEST_F(Collage, AStoppedApplyTakesTheWholeCollageBackAsCancelDoes)
{
    const SavedPlacements saved = savePlacements(doc);
    ASSERT_EQ(applyCollage(p.ws, p.platform, identityCollageOrder(), { 3, 0, 0, 300, 200 }, saved), 0);
    // A rotation made meanwhile stays, as Cancel keeps it.
    doc.placement[0].rotation = 10;
    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_EQ(applyCollage(p.ws, p.platform, identityCollageOrder(), { 3, 0, 0, 640, 480 }, saved), kTransformAborted);
    EXPECT_EQ(testing::column(doc.placement, &Placement::posX), testing::column(saved.placement, &Placement::posX));
    EXPECT_EQ(testing::column(doc.placement, &Placement::posY), testing::column(saved.placement, &Placement::posY));
    EXPECT_EQ(testing::column(doc.placement, &Placement::scaleX), testing::column(saved.placement, &Placement::scaleX));
    EXPECT_EQ(testing::column(doc.placement, &Placement::scaleY), testing::column(saved.placement, &Placement::scaleY));
    EXPECT_EQ(doc.placement[0].rotation, 10.0);
    EXPECT_EQ(p.transformed(2).width(), 120);
    EXPECT_EQ(p.platform.statusMessages,
        std::vector<std::string> { "Collage was stopped: every source is placed as it was before." });
}

TEST(CollageCancelledValues, GiveBackPositionsAndScalesOnly)
{
    WorkspaceValues now;
    now.placement[1] = Placement { 5, 6, 700, 800, 20, 1, -1 };
    now.mirrored[1] = 1;
    SavedPlacements saved;
    saved.placement[1] = Placement { 1, 2, 3, 4, 0, -1, -1 };
    const WorkspaceValues back = cancelledValues(now, saved);
    EXPECT_EQ(back.placement[1], (Placement { 1, 2, 3, 4, 20, 1, -1 }));
    EXPECT_EQ(back.mirrored[1], 1);
}

} // namespace
} // namespace tessary
