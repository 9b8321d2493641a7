#include "align/source_sizes.h"

#include "placed_sources.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::PlacedSources;

TEST(ScaleForSize, NeverShortOfTheRequest)
{
    struct Case {
        int32_t requested, original;
        double scale;
        int64_t percent;
    };
    const Case cases[] = {
        // trunc(340.992) = 340, and 1000 x 340 < 333 x 1024 adds 1.
        { 333, 1000, 341, 33 },
        { 1000, 1000, 1024, 100 },
        // 800 x 512 = 400 x 1024 exactly: nothing added.
        { 400, 800, 512, 50 },
        { 1, 3, 342, 33 },
        { 30000, 1, 30720000, 3000000 },
        { 30000, 20000, 1536, 150 },
        { 7, 20000, 1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.requested) + " of " + std::to_string(c.original));
        const SizedScale s = scaleForSize(c.requested, c.original);
        EXPECT_EQ(s.scale, c.scale);
        EXPECT_EQ(s.percent, c.percent);
        // The transformed side, trunc(original x scale / 1024), is the request or just above.
        const int64_t side = int64_t(c.original) * int64_t(s.scale) / 1024;
        EXPECT_GE(side, c.requested);
    }
}

TEST(SourceSizeRow, ShowsTheScaledSizeAndPercents)
{
    PlacedSources p;
    p.add(1000, 800);
    p.ws.alignDoc.placement[0].scaleX = 341;
    p.ws.alignDoc.placement[0].scaleY = 2048;
    EXPECT_EQ(sourceSizeRow(p.ws, 1), (SourceSizeRow { 333, 1600, 33, 200 }));
    // A top-down image counts by its rows.
    p.ws.source(1)->imageHeight = -800;
    EXPECT_EQ(sourceSizeRow(p.ws, 1).height, 1600);
    // A place without a source has an empty row.
    EXPECT_EQ(sourceSizeRow(p.ws, 3), SourceSizeRow {});
}

TEST(ApplySourceSizes, ScalesAndTransformsEverySource)
{
    PlacedSources p;
    p.add(1000, 800, 0, 0);
    p.add(400, 300, 1000, 50);
    p.ready(1);
    const SizedSources sized = applySourceSizes(p.ws, p.platform, { { 333, 400 }, { 400, 300 } });
    EXPECT_FALSE(sized.failed);
    EXPECT_EQ(sized.status, 0);
    ASSERT_EQ(sized.rows.size(), 2u);
    EXPECT_EQ(sized.rows[0], (SourceSizeRow { 333, 400, 33, 50 }));
    EXPECT_EQ(sized.rows[1], (SourceSizeRow { 400, 300, 100, 100 }));
    EXPECT_EQ(p.ws.alignDoc.placement[0].scaleX, 341.0);
    EXPECT_EQ(p.ws.alignDoc.placement[0].scaleY, 512.0);
    EXPECT_EQ(p.transformed(1).width(), 333);
    EXPECT_EQ(p.transformed(1).height(), 400);
    // Positions stay, normalised.
    EXPECT_EQ(p.ws.alignDoc.placement[1].posX, 1000);
    EXPECT_EQ(p.ws.alignDoc.placement[1].posY, 50);
    EXPECT_EQ(p.ws.alignDoc.previewValid, 1);
    EXPECT_TRUE(p.targetStale());
}

TEST(ApplySourceSizes, AStoppedTransformationTakesEverySizeBack)
{
    PlacedSources p;
    p.add(100, 80);
    p.add(100, 80, 100, 0);
    p.ready(1);
    // Esc held while source 1 is transformed, and the user quits: neither source changes.
    p.platform.escapeDownPolls = 1;
    p.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    const SizedSources sized = applySourceSizes(p.ws, p.platform, { { 50, 40 }, { 200, 160 } });
    EXPECT_TRUE(sized.failed);
    EXPECT_EQ(sized.status, kTransformAborted);
    EXPECT_EQ(p.ws.alignDoc.placement[0].scaleX, 1024.0);
    EXPECT_EQ(p.ws.alignDoc.placement[1].scaleX, 1024.0);
    EXPECT_EQ(p.transformed(1).width(), 100);
    EXPECT_EQ(p.transformed(2).width(), 100);
    // The rows show the sizes as they are again.
    ASSERT_EQ(sized.rows.size(), 2u);
    EXPECT_EQ(sized.rows[1], (SourceSizeRow { 100, 80, 100, 100 }));
    EXPECT_EQ(p.ws.alignDoc.previewValid, 1);
    EXPECT_FALSE(p.targetStale());
    EXPECT_EQ(p.ws.history.size(), 0u);
}

} // namespace
} // namespace tessary
