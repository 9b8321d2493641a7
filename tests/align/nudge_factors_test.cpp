#include "align/nudge_factors.h"

#include "app/workspace.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(NudgeFactors, SettingsOutsideTheRangeAreBroughtIntoIt)
{
    const std::pair<int, int32_t> cases[]
        = { { 7, 7 }, { 0, 1 }, { -5, 1 }, { 1000, 1000 }, { 1001, 1000 }, { 2147483647, 1000 } };
    for (const auto& [stored, used] : cases) {
        testing::GTestPlatform platform;
        platform.intSettings["Configure/Nudge Factor X"] = stored;
        platform.intSettings["Configure/Nudge Factor Y"] = stored;
        MergeWorkspace ws;
        ws.readStartupSettings(platform);
        EXPECT_EQ(ws.alignView.nudgeX, used) << stored;
        EXPECT_EQ(ws.alignView.nudgeY, used) << stored;
    }
}

TEST(NudgeFactors, StoredInTheViewAndTheProfile)
{
    testing::GTestPlatform platform;
    MergeWorkspace ws;
    storeNudgeFactors(ws, platform, 12, 900);
    EXPECT_EQ(ws.alignView.nudgeX, 12);
    EXPECT_EQ(ws.alignView.nudgeY, 900);
    EXPECT_EQ(platform.intSettings["Configure/Nudge Factor X"], 12);
    EXPECT_EQ(platform.intSettings["Configure/Nudge Factor Y"], 900);
    MergeWorkspace again;
    again.readStartupSettings(platform);
    EXPECT_EQ(again.alignView.nudgeY, 900);
}

} // namespace
} // namespace tessary
