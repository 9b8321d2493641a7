#include "sources/copy_to_24bit.h"

#include "image/pixel_access.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(CopyTo24Bit, FailureShowsTheMemoryMessageAndLeavesNoImage)
{
    testing::GTestPlatform platform;
    platform.expectMessage("Not enough memory ???");
    MaskedDib empty, target;
    EXPECT_TRUE(copyTo24Bit(empty, target, &platform));
    EXPECT_EQ(platform.messages.at(0).icon, MessageIcon::Error);
    EXPECT_TRUE(target.empty());
}

TEST(CopyTo24Bit, SuccessShowsNothing)
{
    testing::GTestPlatform platform;
    MaskedDib source, target;
    ASSERT_FALSE(allocateMaskedDib(2, 3, source, 8));
    EXPECT_FALSE(copyTo24Bit(source, target, &platform));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(target.dib->bitCount(), 24);
}

} // namespace
} // namespace tessary
