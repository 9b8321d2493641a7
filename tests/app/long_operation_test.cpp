#include "app/long_operation.h"

#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;

TEST(LongOperation, AsksOnlyWhileEscIsHeldAndReturnsTheAnswer)
{
    GTestPlatform platform;
    LongOperation operation(platform);
    EXPECT_FALSE(operation.pollEscape());
    EXPECT_TRUE(platform.messages.empty());

    platform.escapeDownPolls = 2;
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::No);
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    EXPECT_FALSE(operation.pollEscape());
    EXPECT_TRUE(operation.pollEscape());
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(platform.eventPumps, 3);
    EXPECT_EQ(platform.pollsWhileIdle, 0);
}

TEST(LongOperation, NestedOperationsShareOneBusyStateAndPutThePanesBackAtTheEnd)
{
    GTestPlatform platform;
    platform.setStatusPaneText(2, "x = 10, y = 20");
    {
        LongOperation outer(platform);
        outer.showPaneText(0, "Press Esc to quit.");
        {
            LongOperation inner(platform);
            inner.showPaneText(2, "process src: 3");
            EXPECT_EQ(platform.busyDepth, 2);
        }
        EXPECT_EQ(platform.busyDepth, 1);
        EXPECT_EQ(platform.paneText[2], "process src: 3");
    }
    EXPECT_EQ(platform.busyDepth, 0);
    EXPECT_EQ(platform.busyEntries, 1);
    EXPECT_EQ(platform.paneText[0], "");
    EXPECT_EQ(platform.paneText[2], "x = 10, y = 20");
}

} // namespace
} // namespace tessary
