#include "align/layout_extent.h"
#include "align/normalise_positions.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

MaskedDib image(int32_t w, int32_t h)
{
    MaskedDib m;
    EXPECT_FALSE(allocateMaskedDib(h, w, m, 24));
    return m;
}

TEST(NormalisePositions, SmallestPositionBecomesZeroOverLoadedSourcesOnly)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int32_t, int32_t>> positions; // loaded sources
        std::vector<std::pair<int32_t, int32_t>> expected;
    };
    const Case cases[] = {
        { "negative", { { -30, 5 }, { 10, -7 } }, { { 0, 12 }, { 40, 0 } } },
        { "already normal", { { 0, 0 }, { 80, 20 } }, { { 0, 0 }, { 80, 20 } } },
        { "all positive", { { 5, 9 }, { 15, 19 }, { 25, 29 } }, { { 0, 0 }, { 10, 10 }, { 20, 20 } } },
        // Far from the origin (a centred or stretched source among wide ones gets there).
        { "above 65535", { { 70000, 65536 }, { 70010, 66000 } }, { { 0, 0 }, { 10, 464 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAlignDoc doc;
        doc.placement[7].posX = -500; // an unloaded place neither counts nor moves
        doc.placement[7].posY = -600;
        for (size_t i = 0; i < c.positions.size(); ++i) {
            doc.placement[i].posX = c.positions[i].first;
            doc.placement[i].posY = c.positions[i].second;
        }
        normalisePositions(doc, int32_t(c.positions.size()));
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(doc.placement[i].posX, c.expected[i].first) << i;
            EXPECT_EQ(doc.placement[i].posY, c.expected[i].second) << i;
        }
        EXPECT_EQ(doc.placement[7].posX, -500);
        EXPECT_EQ(doc.placement[7].posY, -600);
    }
    CAlignDoc empty;
    empty.placement[0].posX = 12;
    normalisePositions(empty, 0);
    EXPECT_EQ(empty.placement[0].posX, 12);
}

TEST(LayoutExtent, LargestPositionPlusTransformedSize)
{
    CAlignDoc doc;
    PerPlace<MaskedDib> transformed;
    EXPECT_EQ(layoutExtent(doc, transformed, 0), (LayoutExtent { 0, 0 }));

    // Two 100 x 50 sources at (0, 0) and (80, 20): 180 x 70.
    transformed[0] = image(100, 50);
    transformed[1] = image(100, 50);
    doc.placement[1].posX = 80;
    doc.placement[1].posY = 20;
    EXPECT_EQ(layoutExtent(doc, transformed, 2), (LayoutExtent { 180, 70 }));
    // Only loaded places count; a loaded place without a transformed image counts as 0 x 0.
    transformed[2] = image(500, 500);
    EXPECT_EQ(layoutExtent(doc, transformed, 2), (LayoutExtent { 180, 70 }));
    transformed[2] = MaskedDib {};
    doc.placement[2].posX = 300;
    EXPECT_EQ(layoutExtent(doc, transformed, 3), (LayoutExtent { 300, 70 }));
    // Sums beyond 32 bits are capped, not wrapped.
    doc.placement[2].posX = 2147483647;
    transformed[2] = image(10, 10);
    EXPECT_EQ(layoutExtent(doc, transformed, 3).width, 2147483647);
}

} // namespace
} // namespace tessary
