#include "app/platform.h"
#include "support/gtest_platform.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::FakePlatform;
using testing::GTestPlatform;

TEST(FakePlatform, RecordsMessagesAndAnswersFromTheQueue)
{
    GTestPlatform platform;
    platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
    platform.queueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(
        platform.messageBox("Do you really want to quit ?", MessageIcon::Question, MessageButtons::YesNo),
        MessageAnswer::Yes);
    EXPECT_EQ(platform.messageBox("anything", MessageIcon::Error, MessageButtons::Ok), MessageAnswer::Ok);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(platform.messages[1].text, "anything");
    EXPECT_EQ(platform.messages[1].icon, MessageIcon::Error);
}

TEST(FakePlatform, AnUnexpectedMessageFailsTheTestWithItsText)
{
    EXPECT_NONFATAL_FAILURE(
        {
            GTestPlatform platform;
            platform.messageBox("No more than 8 images allowed.", MessageIcon::Error, MessageButtons::Ok);
        },
        "No more than 8 images allowed.");
}

TEST(FakePlatform, AMessageOtherThanTheExpectedOneFailsWithBothTexts)
{
    std::vector<std::string> failures;
    {
        FakePlatform platform([&](const std::string& text) { failures.push_back(text); });
        platform.expectMessage("Unable to load this image file");
        platform.messageBox("Cannot handle this type of image.", MessageIcon::Error, MessageButtons::Ok);
    }
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Cannot handle this type of image."), std::string::npos);
    EXPECT_NE(failures[0].find("Unable to load this image file"), std::string::npos);
}

TEST(FakePlatform, AnExpectedMessageThatNeverCameIsAFailure)
{
    EXPECT_NONFATAL_FAILURE(
        {
            GTestPlatform platform;
            platform.expectMessage("Failed the file save!");
        },
        "Failed the file save!");
}

} // namespace
} // namespace tessary
