#include "corrections/correction_session.h"

#include "corrections/skew.h"
#include "corrections/trapezoid.h"
#include "merge/merge_fixtures.h"
#include "sources/copy_to_24bit.h"
#include "sources/source_doc.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::randomImage;
using testing::sameImage;

TEST(CorrectionSession, CancelAfterSeveralAppliesRestoresTheOriginalAs24Bit)
{
    std::mt19937 rng(1);
    VIrorozIzi doc;
    doc.image = randomImage(21, 15, 8, rng);
    MaskedDib original;
    ASSERT_FALSE(copyTo24Bit(doc.image, original, nullptr));
    testing::GTestPlatform platform;
    CorrectionSession session(doc, platform);
    ASSERT_TRUE(session.open("Tessary has run out of memory."));
    for (int angle : { 20, -40, 10 })
        ASSERT_EQ(session.apply([angle](const MaskedDib& b, MaskedDib& r) { return applySkew(b, angle, r); }),
            CorrectionStatus::Done);
    EXPECT_EQ(doc.imageWidth, doc.image.width());
    EXPECT_EQ(doc.imageHeight, doc.image.height());
    session.cancel();
    EXPECT_TRUE(sameImage(doc.image, original));
    EXPECT_EQ(doc.imageWidth, 21);
    EXPECT_EQ(doc.imageHeight, 15);
    EXPECT_FALSE(session.opened());
}

TEST(CorrectionSession, AppliesDoNotAccumulate)
{
    std::mt19937 rng(2);
    VIrorozIzi doc;
    doc.image = randomImage(30, 10, 24, rng);
    testing::GTestPlatform platform;
    CorrectionSession session(doc, platform);
    ASSERT_TRUE(session.open("Tessary has run out of memory."));
    auto trapezoid = [](const MaskedDib& b, MaskedDib& r) { return applyTrapezoid(b, { 60, 40, false }, r); };
    session.apply(trapezoid);
    const MaskedDib once = doc.image.clone();
    session.apply(trapezoid);
    EXPECT_TRUE(sameImage(doc.image, once));
}

TEST(CorrectionSession, OutOfMemoryKeepsTheImageAndRefusalSaysNothing)
{
    std::mt19937 rng(4);
    VIrorozIzi doc;
    doc.image = randomImage(12, 12, 4, rng);
    const MaskedDib before = doc.image.clone();
    testing::GTestPlatform platform;
    CorrectionSession session(doc, platform);
    ASSERT_TRUE(session.open("Tessary has run out of memory."));
    platform.expectMessage("Tessary has run out of memory.");
    EXPECT_EQ(session.apply([](const MaskedDib&, MaskedDib&) { return CorrectionStatus::OutOfMemory; }),
        CorrectionStatus::OutOfMemory);
    EXPECT_TRUE(sameImage(doc.image, before)) << "not a 10 x 10 black image";
    EXPECT_EQ(session.apply([](const MaskedDib&, MaskedDib&) { return CorrectionStatus::Refused; }),
        CorrectionStatus::Refused);
    EXPECT_TRUE(sameImage(doc.image, before));
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST(CorrectionSession, FailedBackupShowsBothMessagesAndDoesNotOpen)
{
    VIrorozIzi doc;
    testing::GTestPlatform platform;
    platform.expectMessage(kCopyTo24BitFailedText);
    platform.expectMessage("Tessary has run out of memory.");
    CorrectionSession session(doc, platform);
    EXPECT_FALSE(session.open("Tessary has run out of memory."));
    EXPECT_FALSE(session.opened());
    session.cancel();
    EXPECT_TRUE(doc.image.empty());
}

TEST(CorrectionSession, ProgressStripFill)
{
    EXPECT_EQ(progressStripFill(0, 204, 100), 0);
    EXPECT_EQ(progressStripFill(50, 204, 100), 100);
    EXPECT_EQ(progressStripFill(99, 204, 100), 198);
    EXPECT_EQ(progressStripFill(19999, 20000, 20000), 19995) << "no overflow on big images";
}

} // namespace
} // namespace tessary
