#include "align/mark_target_stale.h"
#include "app/workspace.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

struct Counter : WorkspaceObserver {
    int invalidated = 0;
    void targetInvalidated() override { ++invalidated; }
};

TEST(MarkTargetStale, TitleZoneAndGeneratedFlag)
{
    MergeWorkspace ws;
    Counter counter;
    ws.addObserver(&counter);
    ws.targetDoc.title = "Target Window";
    ws.targetDoc.generated = 1;
    ws.targetView.zoneAnchor = ViewPoint { 10, 20 };
    ws.targetView.zoneCorner = ViewPoint { 30, 40 };
    ws.targetDoc.targetImage = PackedDib::allocate(64);

    markTargetStale(ws);
    EXPECT_EQ(ws.targetDoc.title, "Target Window - needs updating");
    EXPECT_EQ(ws.targetDoc.generated, 0);
    EXPECT_EQ(ws.targetView.zoneAnchor, ViewPoint {});
    EXPECT_EQ(ws.targetView.zoneCorner, ViewPoint {});
    EXPECT_TRUE(ws.targetDoc.targetImage); // the old picture stays until the next generation
    EXPECT_EQ(counter.invalidated, 1);
    ws.removeObserver(&counter);
}

} // namespace
} // namespace tessary
