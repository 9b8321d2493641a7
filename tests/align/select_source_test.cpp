#include "align/select_source.h"
#include "app/workspace.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(SelectSource, OnlyLoadedSourcesOrSourceOneCanBeSelected)
{
    struct Case {
        int32_t count, number;
        bool accepted;
    };
    const Case cases[] = {
        { 3, 2, true },
        { 3, 3, true },
        { 3, 4, false }, // a digit above the count is ignored
        { 3, 8, false },
        { 8, 8, true },
        { 3, 0, false },
        { 8, 9, false },
        { 0, 1, true }, // the selection returns to 1 when sources close, even the last
        { 1, 2, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + ": " + std::to_string(c.number));
        MergeWorkspace ws;
        ws.sourceCount = c.count;
        ws.alignView.selectedSource = 1;
        if (c.number == 1)
            ws.alignView.selectedSource = 5;
        const int32_t before = ws.alignView.selectedSource;
        EXPECT_EQ(selectSource(ws, c.number), c.accepted);
        EXPECT_EQ(ws.alignView.selectedSource, c.accepted ? c.number : before);
    }
}

TEST(SelectSource, RightClickWrapsAfterTheLastSource)
{
    EXPECT_EQ(nextSourceAfter(1, 3), 2);
    EXPECT_EQ(nextSourceAfter(2, 3), 3);
    EXPECT_EQ(nextSourceAfter(3, 3), 1);
    EXPECT_EQ(nextSourceAfter(8, 8), 1);
    EXPECT_EQ(nextSourceAfter(1, 1), 1);
    EXPECT_EQ(nextSourceAfter(1, 0), 1);
}

TEST(SelectSource, ToolbarButtonsFollowTheSourceCount)
{
    for (int32_t count = 0; count <= 8; ++count) {
        for (int32_t n = 1; n <= 8; ++n) {
            const bool expected = n <= 2 ? count >= 2 : count >= n;
            EXPECT_EQ(sourceButtonEnabled(n, count), expected) << n << " of " << count;
        }
    }
    EXPECT_FALSE(sourceButtonEnabled(0, 8));
    EXPECT_FALSE(sourceButtonEnabled(9, 8));
}

} // namespace
} // namespace tessary
