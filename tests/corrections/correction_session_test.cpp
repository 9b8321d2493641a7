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

TEST(CorrectionSession, CancelAfterSeveralAppliesGivesBackTheVeryImageFromOpening)
{
    std::mt19937 rng(1);
    VIrorozIzi doc;
    doc.image = randomImage(21, 15, 8, rng);
    const MaskedDib before = doc.image.clone();
    const PackedDib* pixels = doc.image.dib.get();
    testing::GTestPlatform platform;
    CorrectionSession session(doc, platform);
    ASSERT_TRUE(session.open("Tessary has run out of memory."));
    EXPECT_FALSE(session.changed());
    for (int angle : { 20, -40, 10 })
        ASSERT_EQ(session.apply([angle](const MaskedDib& b, MaskedDib& r) { return applySkew(b, angle, r); }),
            CorrectionStatus::Done);
    EXPECT_TRUE(session.changed());
    EXPECT_EQ(doc.imageWidth, doc.image.width());
    EXPECT_EQ(doc.imageHeight, doc.image.height());
    session.cancel();
    // Not the 24-bit backup: the 8-bit image itself, moved aside and back without a copy.
    EXPECT_EQ(doc.image.dib.get(), pixels);
    EXPECT_TRUE(sameImage(doc.image, before));
    EXPECT_EQ(doc.imageWidth, 21);
    EXPECT_EQ(doc.imageHeight, 15);
    EXPECT_FALSE(session.changed());
}

TEST(CorrectionSession, CancelWithoutAChangeLeavesTheImageAlone)
{
    std::mt19937 rng(5);
    VIrorozIzi doc;
    doc.image = randomImage(9, 7, 4, rng);
    const PackedDib* pixels = doc.image.dib.get();
    testing::GTestPlatform platform;
    CorrectionSession session(doc, platform);
    ASSERT_TRUE(session.open("Tessary has run out of memory."));
    session.apply([](const MaskedDib&, MaskedDib&) { return CorrectionStatus::Refused; });
    EXPECT_FALSE(session.changed());
    session.cancel();
    EXPECT_EQ(doc.image.dib.get(), pixels);
    EXPECT_TRUE(session.takeOriginal().empty());
}

TEST(CorrectionSession, TakeOriginalHandsOverTheImageFromOpening)
{
    std::mt19937 rng(6);
    VIrorozIzi doc;
    doc.image = randomImage(16, 16, 24, rng);
    const MaskedDib before = doc.image.clone();
    const PackedDib* pixels = doc.image.dib.get();
    testing::GTestPlatform platform;
    CorrectionSession session(doc, platform);
    ASSERT_TRUE(session.open("Tessary has run out of memory."));
    auto skew = [](const MaskedDib& b, MaskedDib& r) { return applySkew(b, 30, r); };
    session.apply(skew);
    session.apply(skew);
    const MaskedDib original = session.takeOriginal();
    EXPECT_EQ(original.dib.get(), pixels);
    EXPECT_TRUE(sameImage(original, before));
    EXPECT_FALSE(session.changed());
    EXPECT_FALSE(sameImage(doc.image, before));
}

TEST(CorrectionSession, DrawingInPlaceKeepsTheOriginalSharedUntilWritten)
{
    std::mt19937 rng(7);
    VIrorozIzi doc;
    doc.image = randomImage(16, 12, 24, rng);
    const MaskedDib before = doc.image.clone();
    testing::GTestPlatform platform;
    CorrectionSession session(doc, platform);
    ASSERT_TRUE(session.open("Tessary has run out of memory."));
    const PackedDib* pixels = doc.image.dib.get();
    MaskedDib* canvas = session.imageToDrawOn();
    ASSERT_EQ(canvas, &doc.image);
    EXPECT_TRUE(doc.image.dib->sharesRows()) << "kept without copying the pixels";
    canvas->dib->row(3)[5] ^= 0xFF;
    EXPECT_EQ(session.imageToDrawOn(), &doc.image) << "the original is kept once";
    canvas->dib->row(4)[5] ^= 0xFF;
    session.cancel();
    EXPECT_EQ(doc.image.dib.get(), pixels);
    EXPECT_TRUE(sameImage(doc.image, before));
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
