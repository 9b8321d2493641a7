#include "align/preview_layout.h"
#include "align/preview_sampling.h"
#include "align/rebuild_preview.h"
#include "align/rotate_half_extents.h"
#include "app/workspace.h"
#include "merge/merge_fixtures.h"
#include "merge/progress_colours.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::pixelAt;
using testing::solidImage24;

constexpr BgrColour kRed { 0, 0, 255 };
constexpr BgrColour kBlue { 255, 0, 0 };
constexpr BgrColour kGreen { 0, 255, 0 };

struct Counter : WorkspaceObserver {
    int rebuilt = 0;
    int invalidated = 0;
    void previewRebuilt() override { ++rebuilt; }
    void targetInvalidated() override { ++invalidated; }
};

class RebuildPreview : public ::testing::Test {
protected:
    MergeWorkspace ws;
    GTestPlatform platform;
    Counter counter;

    void SetUp() override { ws.addObserver(&counter); }
    void TearDown() override { ws.removeObserver(&counter); }

    // A source whose image is w x h and whose transformed image is the same size in one colour.
    VIrorozIzi& add(
        int32_t w, int32_t h, int32_t x, int32_t y, BgrColour colour, int32_t kind = kSourceImageFile)
    {
        const size_t slot = size_t(ws.sourceCount);
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = int32_t(slot);
        doc->sourceKind = kind;
        doc->imageWidth = w;
        doc->imageHeight = h;
        ws.documents[slot] = std::move(doc);
        ws.targetDoc.transformed[slot] = solidImage24(w, h, colour);
        ws.alignDoc.placement[slot].posX = x;
        ws.alignDoc.placement[slot].posY = y;
        ++ws.sourceCount;
        return *ws.documents[slot];
    }

    void view(int32_t w, int32_t h)
    {
        ws.alignDoc.alignViewWidth = w;
        ws.alignDoc.alignViewHeight = h;
    }

    // The preview pixel at column c, row r counted from the bottom.
    BgrColour at(int32_t c, int32_t r) const { return pixelAt(ws.alignDoc.preview, c, r); }
};

TEST_F(RebuildPreview, TwoSourcesSideBySideInAn800By600View)
{
    add(1000, 800, 0, 0, kRed);
    add(1000, 800, 1000, 0, kBlue);
    view(800, 600);
    rebuildPreview(ws, platform, 0);

    const CAlignDoc& d = ws.alignDoc;
    EXPECT_EQ(d.layoutWidth, 2000);
    EXPECT_EQ(d.layoutHeight, 800);
    EXPECT_EQ(d.viewScale, 4.1f); // 4.1675 cut to one decimal
    EXPECT_EQ(d.previewWidth, 487);
    EXPECT_EQ(d.previewHeight, 195);
    EXPECT_EQ(d.previewLeft, 156);
    EXPECT_EQ(d.previewTop, 135);
    EXPECT_EQ(d.previewValid, 1);
    EXPECT_EQ(d.previewStatus, 0);
    ASSERT_FALSE(d.preview.empty());
    EXPECT_EQ(d.preview.width(), 487);
    EXPECT_EQ(d.preview.height(), 195);
    EXPECT_EQ(d.preview.dib->bitCount(), 24);
    EXPECT_EQ(d.noOverlap, 1); // they only touch

    // Column 243 samples layout x 996 (source 1), column 244 samples 1000 (source 2).
    EXPECT_EQ(at(0, 0), kRed);
    EXPECT_EQ(at(243, 194), kRed);
    EXPECT_EQ(at(244, 0), kBlue);
    EXPECT_EQ(at(486, 194), kBlue);

    // On screen each source is 243 x 195; the outlines fill the preview's two halves.
    ASSERT_TRUE(d.outline[0] && d.outline[1]);
    EXPECT_EQ(*d.outline[0], (Outline { { { 156, 135 }, { 398, 135 }, { 156, 329 }, { 398, 329 } } }));
    EXPECT_EQ(*d.outline[1], (Outline { { { 400, 135 }, { 642, 135 }, { 400, 329 }, { 642, 329 } } }));
    EXPECT_FALSE(d.outline[2]);
    EXPECT_EQ(counter.rebuilt, 1);
    EXPECT_EQ(counter.invalidated, 0);
}

TEST_F(RebuildPreview, SmallLayoutIsMagnifiedWithoutTruncatingTheScale)
{
    add(150, 200, 0, 0, kRed);
    add(150, 100, 150, 0, kBlue);
    view(1000, 800);
    rebuildPreview(ws, platform, 0);

    const CAlignDoc& d = ws.alignDoc;
    EXPECT_EQ(d.layoutWidth, 300);
    EXPECT_EQ(d.layoutHeight, 200);
    EXPECT_EQ(d.viewScale, 300 * 1.667f / 1000);
    EXPECT_NEAR(d.viewScale, 0.5001, 1e-6);
    EXPECT_EQ(d.previewWidth, 599);
    EXPECT_EQ(d.previewHeight, 399);
    EXPECT_EQ(d.previewLeft, 200);
    EXPECT_EQ(d.previewTop, 133);
    // Each layout pixel covers about two preview pixels; above source 2 the preview is black.
    EXPECT_EQ(at(299, 398), kRed);
    EXPECT_EQ(at(300, 0), kBlue);
    EXPECT_EQ(at(300, 200), BgrColour {});
    EXPECT_EQ(at(598, 199), kBlue);
}

TEST(PreviewViewScale, LargerSideWinsAndIsCutToOneDecimalAboveOne)
{
    struct Case {
        int32_t layoutW, layoutH, viewW, viewH;
        float expected;
    };
    const Case cases[] = {
        { 2000, 800, 800, 600, 4.1f }, // sh 4.1675 wins over sv 2.2227
        { 800, 2000, 600, 800, 4.1f }, // sv 4.1675 wins over sh 2.2227
        { 2844, 100, 2000, 2000, 2.3f }, // 2.3704
        { 1260, 100, 2000, 2000, 1.0f }, // 1.0502
        { 300, 200, 1000, 800, 300 * 1.667f / 1000 }, // 0.5001: magnified, kept as computed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.layoutW) + " x " + std::to_string(c.layoutH));
        EXPECT_EQ(previewViewScale(c.layoutW, c.layoutH, c.viewW, c.viewH), c.expected);
    }
}

TEST_F(RebuildPreview, OverlapsAverageAndPaleModeHalvesOverMidGrey)
{
    // Red 100 x 100 at the origin, blue 100 x 50 at (50, 0): the layout is 150 x 100 and its
    // top-right quarter is uncovered. A 1500 x 1000 view gives the scale 150 x 1.667 / 1500.
    struct Case {
        uint8_t pale;
        BgrColour both, redOnly, blueOnly, none;
    };
    const Case cases[] = {
        { 0, { 127, 0, 127 }, kRed, kBlue, { 0, 0, 0 } },
        { 1, { 190, 127, 190 }, { 127, 127, 254 }, { 254, 127, 127 }, { 127, 127, 127 } },
    };
    add(100, 100, 0, 0, kRed);
    add(100, 50, 50, 0, kBlue);
    view(1500, 1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.pale));
        ws.alignDoc.previewPale = c.pale;
        rebuildPreview(ws, platform, 0);
        const CAlignDoc& d = ws.alignDoc;
        ASSERT_EQ(d.previewValid, 1);
        const float s = d.viewScale;
        auto column = [s](int32_t layoutX) { return int32_t(float(layoutX) / s) + 1; };
        EXPECT_EQ(at(column(60), 0), c.both);
        EXPECT_EQ(at(column(10), 0), c.redOnly);
        EXPECT_EQ(at(column(120), 0), c.blueOnly);
        EXPECT_EQ(at(column(120), d.previewHeight - 1), c.none);
        EXPECT_EQ(at(column(10), d.previewHeight - 1), c.redOnly);
        EXPECT_EQ(d.noOverlap, 0);
    }
}

TEST_F(RebuildPreview, NoOverlapCountsOnlyCoveredSamplePoints)
{
    struct Case {
        const char* name;
        int32_t secondX;
        int32_t secondWidth; // the layout stays 2000 wide
        uint16_t maskOfFirst; // the first source's opacity everywhere
        uint8_t noOverlap;
    };
    // Scale 4.1: columns 243 and 244 sample layout x 996 and 1000, so a two-pixel overlap at
    // 998..999 falls between sample points.
    const Case cases[] = {
        { "touching", 1000, 1000, kOpaque, 1 },
        { "overlap between sample points", 998, 1002, kOpaque, 1 },
        { "overlap on a sample point", 996, 1004, kOpaque, 0 },
        { "wide overlap", 500, 1500, kOpaque, 0 },
        { "wide overlap under a transparent source", 500, 1500, kTransparent, 1 },
        { "wide overlap under a faint source", 500, 1500, 1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws.sourceCount = 0;
        add(1000, 800, 0, 0, kRed);
        add(c.secondWidth, 800, c.secondX, 0, kBlue);
        MaskedDib& first = ws.targetDoc.transformed[0];
        std::fill(first.mask.get(), first.mask.get() + first.maskCount, c.maskOfFirst);
        view(800, 600);
        rebuildPreview(ws, platform, 0);
        EXPECT_EQ(ws.alignDoc.viewScale, 4.1f);
        EXPECT_EQ(ws.alignDoc.noOverlap, c.noOverlap);
        if (c.maskOfFirst == kTransparent) {
            EXPECT_EQ(at(0, 0), BgrColour {}); // a transparent source shows nothing
        }
    }
}

TEST_F(RebuildPreview, TextSourceTooSmallToReadIsFlaggedAndClearedWhenItGrows)
{
    // A 2000 x 800 image keeps the scale at 4.1 whatever the text source's size.
    add(2000, 800, 0, 0, kGreen);
    VIrorozIzi& text = add(100, 62, 0, 0, kRed, kSourceText);
    VIrorozIzi& picture = add(10, 10, 0, 0, kBlue, kSourceImageFile);
    view(800, 600);
    struct Case {
        double scaleX, scaleY;
        bool tiny;
    };
    // On screen: width trunc(100 x scale / 1024 / 4.1), height trunc(62 x scale / 1024 / 4.1).
    const Case cases[] = {
        { 1024, 1024, true }, // 24 x 15
        { 1056, 1024, false }, // 25 x 15
        { 1056, 1012, true }, // 25 x 14
        { 4096, 4096, false }, // 99 x 60
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scaleX);
        ws.alignDoc.placement[1].scaleX = c.scaleX;
        ws.alignDoc.placement[1].scaleY = c.scaleY;
        rebuildPreview(ws, platform, 0);
        EXPECT_EQ(ws.alignDoc.viewScale, 4.1f);
        EXPECT_EQ(text.textPreviewTiny, c.tiny);
        EXPECT_FALSE(picture.textPreviewTiny); // only text sources carry the flag
    }
}

TEST_F(RebuildPreview, FewerThanTwoSourcesBuildNothing)
{
    add(100, 100, 0, 0, kRed);
    view(800, 600);
    ws.alignDoc.previewValid = 1;
    ASSERT_FALSE(allocateMaskedDib(5, 5, ws.alignDoc.preview, 24));
    ws.alignDoc.noOverlap = 0;
    rebuildPreview(ws, platform, 0);
    EXPECT_TRUE(ws.alignDoc.preview.empty());
    EXPECT_EQ(ws.alignDoc.previewValid, 1); // kept: the view clears it when it paints the prompts
    EXPECT_EQ(ws.alignDoc.noOverlap, 1);
    EXPECT_EQ(counter.rebuilt, 1);
}

TEST_F(RebuildPreview, MissingTransformedSourceFailsWithTheMessageOfTheLastTransformation)
{
    struct Case {
        int status;
        const char* text;
    };
    const Case cases[] = {
        { 4, kPreviewAbortedText },
        { 0, kPreviewImpossibleText },
        { 1, kPreviewImpossibleText },
        { -1, kPreviewImpossibleText },
    };
    add(100, 100, 0, 0, kRed);
    add(100, 100, 100, 0, kBlue);
    view(800, 600);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        ws.targetDoc.transformed[0] = solidImage24(100, 100, kRed);
        rebuildPreview(ws, platform, 0);
        ASSERT_EQ(ws.alignDoc.previewValid, 1);
        ws.targetDoc.targetImage = PackedDib::allocate(64);
        ws.targetDoc.generated = 1;
        const int invalidatedBefore = counter.invalidated;

        ws.targetDoc.transformed[1] = MaskedDib {};
        platform.expectMessage(c.text);
        bool oldPreviewBehind = false;
        platform.duringMessage = [&](const std::string&) {
            oldPreviewBehind = !ws.alignDoc.preview.empty() && ws.alignDoc.previewValid == 1;
        };
        rebuildPreview(ws, platform, c.status);
        platform.duringMessage = nullptr;
        EXPECT_TRUE(oldPreviewBehind);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
        platform.messages.clear();
        const CAlignDoc& d = ws.alignDoc;
        EXPECT_EQ(d.previewValid, 0);
        EXPECT_EQ(d.previewStatus, c.status);
        EXPECT_EQ(d.layoutWidth, 0);
        EXPECT_EQ(d.layoutHeight, 0);
        EXPECT_TRUE(d.preview.empty());
        EXPECT_FALSE(ws.targetDoc.targetImage);
        EXPECT_EQ(ws.targetDoc.generated, 0);
        EXPECT_EQ(counter.invalidated, invalidatedBefore + 1);
        ws.targetDoc.transformed[1] = solidImage24(100, 100, kBlue);
    }
}

TEST_F(RebuildPreview, ZeroViewHeightIsReportedAndCountsAsOne)
{
    add(100, 100, 0, 0, kRed);
    add(100, 100, 100, 0, kBlue);
    view(800, 600);
    rebuildPreview(ws, platform, 0);
    const int32_t oldWidth = ws.alignDoc.preview.width();
    view(0, 0);
    platform.expectMessage(kHeightTooSmallText);
    // The old preview stays on screen behind the message.
    int32_t widthBehind = -1;
    platform.duringMessage = [&](const std::string&) { widthBehind = ws.alignDoc.preview.width(); };
    rebuildPreview(ws, platform, 0);
    EXPECT_EQ(widthBehind, oldWidth);
    ASSERT_EQ(platform.messages.size(), 1u); // the zero width is mended silently
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Plain);
    EXPECT_EQ(ws.alignDoc.alignViewWidth, 1);
    EXPECT_EQ(ws.alignDoc.alignViewHeight, 1);
    // The scale 333.4 leaves a preview of 0 x 0, which is still built.
    EXPECT_EQ(ws.alignDoc.previewValid, 1);
    EXPECT_EQ(ws.alignDoc.previewWidth, 0);
}

TEST_F(RebuildPreview, PreviewThatCannotBeAllocatedGivesStatusOne)
{
    // Source 2 far to the right: a 40001-wide layout in a 60000-wide view needs a 36364-wide
    // preview, over the 20000-pixel limit.
    add(10, 10, 0, 0, kRed);
    add(1, 1, 40000, 0, kBlue);
    view(60000, 600);
    ws.alignDoc.previewValid = 1;
    ws.alignDoc.preview = solidImage24(30, 20, kGreen);
    platform.expectMessage(kNotEnoughMemoryText);
    bool oldPreviewBehind = false;
    platform.duringMessage
        = [&](const std::string&) { oldPreviewBehind = ws.alignDoc.preview.width() == 30; };
    rebuildPreview(ws, platform, 0);
    EXPECT_TRUE(oldPreviewBehind);
    EXPECT_EQ(platform.messages.at(0).icon, MessageIcon::Error);
    EXPECT_EQ(ws.alignDoc.previewStatus, 1);
    EXPECT_EQ(ws.alignDoc.previewValid, 1); // kept
    EXPECT_EQ(ws.alignDoc.previewWidth, 36364);
    EXPECT_TRUE(ws.alignDoc.preview.empty());
    EXPECT_EQ(ws.alignDoc.layoutWidth, 40001);
}

TEST(RotateHalfExtents, HalfAngleFormsWithPiAs314159TruncateTowardZero)
{
    struct Case {
        int32_t h, w;
        double angle;
        ViewPoint expected;
    };
    const Case cases[] = {
        { 100, 200, 0, { 100, 50 } }, { 101, 201, 0, { 100, 50 } }, // halves truncate
        { -101, -201, 0, { -100, -50 } }, // toward zero
        // pi as 3.14159 leaves the angles a hair short, so a coordinate near a whole number can
        // truncate either way: 100 sin + 50 cos = 100.0001, 100 cos - 50 sin = -49.9997.
        { 100, 200, 90, { -49, 100 } }, { 100, 200, -90, { 50, -99 } }, { 100, 200, 180, { -100, -49 } },
        { 0, 200, 30, { 86, 49 } }, // 100 cos 30 = 86.6, 100 sin 30 = 49.99996
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(rotateHalfExtents(c.h, c.w, c.angle), c.expected);
    }
}

TEST_F(RebuildPreview, RotatedOutlineTurnsAboutTheCentre)
{
    add(1000, 800, 0, 0, kRed);
    add(1000, 800, 1000, 0, kBlue);
    ws.alignDoc.placement[0].rotation = 30;
    view(800, 600);
    rebuildPreview(ws, platform, 0);
    const Outline o = *ws.alignDoc.outline[0];
    const ViewPoint centre { 277, 232 };
    // P0 and P3, P1 and P2 are opposite: their offsets from the centre are negatives.
    EXPECT_EQ(o[0].x - centre.x, -(o[3].x - centre.x));
    EXPECT_EQ(o[0].y - centre.y, -(o[3].y - centre.y));
    EXPECT_EQ(o[1].x - centre.x, -(o[2].x - centre.x));
    const ViewPoint p1 = rotateHalfExtents(-195, 243, 30);
    EXPECT_EQ(o[1], (ViewPoint { centre.x + p1.x, centre.y + p1.y }));
    // Clockwise on screen: the top edge now falls to the right.
    EXPECT_GT(o[1].y, o[0].y);
}

// The row paths against the plain accessor path on random images, masks, places and scales;
// every other layer's mask is held as row spans (a transformed image's form) on a second run of
// each path, which must give the same bytes.
TEST(SamplePreview, RowPathsGiveTheAccessorPathsBytes)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> side(1, 90), place(0, 120), count(2, 8), pale(0, 1);
    std::uniform_real_distribution<float> scale(0.2f, 3.0f);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        PerPlace<MaskedDib> images;
        PerPlace<PreviewLayer> layers {};
        const int n = count(rng);
        for (int j = 0; j < n; ++j) {
            images[size_t(j)] = testing::randomImage(side(rng), side(rng), 24, rng);
            layers[size_t(j)] = PreviewLayer { &images[size_t(j)], place(rng), place(rng) };
        }
        const float s = round % 5 == 0 ? std::trunc(scale(rng) * 10) / 10 : scale(rng);
        const int32_t w = std::uniform_int_distribution<int>(1, 150)(rng);
        const int32_t h = std::uniform_int_distribution<int>(1, 150)(rng);
        const bool isPale = pale(rng) == 1;
        std::vector<std::vector<uint8_t>> before;
        for (int j = 0; j < n; ++j)
            before.emplace_back(
                images[size_t(j)].dib->data(), images[size_t(j)].dib->data() + images[size_t(j)].dib->size());

        PerPlace<MaskedDib> spanImages;
        PerPlace<PreviewLayer> spanLayers = layers;
        for (int j = 1; j < n; j += 2) {
            spanImages[size_t(j)] = testing::withRowSpans(images[size_t(j)]);
            spanLayers[size_t(j)].image = &spanImages[size_t(j)];
        }

        MaskedDib results[6];
        bool overlaps[6] {};
        const PixelPath paths[3] = { PixelPath::Accessor, PixelPath::Rows, PixelPath::RowsTwoThreads };
        for (int p = 0; p < 6; ++p) {
            const PerPlace<PreviewLayer>& from = p < 3 ? layers : spanLayers;
            ASSERT_FALSE(allocateMaskedDib(h, w, results[p], 24));
            overlaps[p] = samplePreview(
                results[p], s, std::span<const PreviewLayer>(from.data(), size_t(n)), isPale, paths[p % 3]);
        }
        for (int p = 1; p < 6; ++p) {
            EXPECT_TRUE(testing::sameImage(results[0], results[p])) << p;
            EXPECT_EQ(overlaps[0], overlaps[p]) << p;
        }
        for (int j = 1; j < n; j += 2)
            EXPECT_NE(spanImages[size_t(j)].mask.spans(), nullptr) << "read without being made real";
        // Reading leaves the sources' bytes alone, pad bytes included.
        for (int j = 0; j < n; ++j)
            EXPECT_EQ(0,
                std::memcmp(
                    before[size_t(j)].data(), images[size_t(j)].dib->data(), before[size_t(j)].size()));
    }
}

TEST_F(RebuildPreview, EveryPathBuildsTheSamePreview)
{
    std::mt19937 rng(7);
    for (int j = 0; j < 4; ++j) {
        add(10, 10, 37 * j, 23 * j, kRed);
        ws.targetDoc.transformed[size_t(j)] = testing::randomImage(300 + 40 * j, 200 + 30 * j, 24, rng);
    }
    view(640, 480);
    MaskedDib built[3];
    uint8_t noOverlap[3] {};
    const PixelPath paths[3] = { PixelPath::Accessor, PixelPath::Rows, PixelPath::RowsTwoThreads };
    for (int p = 0; p < 3; ++p) {
        rebuildPreview(ws, platform, 0, paths[p]);
        built[p] = std::move(ws.alignDoc.preview);
        noOverlap[p] = ws.alignDoc.noOverlap;
    }
    EXPECT_TRUE(testing::sameImage(built[0], built[1]));
    EXPECT_TRUE(testing::sameImage(built[0], built[2]));
    EXPECT_EQ(noOverlap[0], 0);
    EXPECT_EQ(noOverlap[1], 0);
    EXPECT_EQ(noOverlap[2], 0);
}

} // namespace
} // namespace tessary
