#include "merge/generate_target.h"

#include "app/long_operation.h"
#include "app/workspace.h"
#include "merge/generate_passes.h"
#include "merge/progress_colours.h"
#include "merge/row_transformer.h"
#include "merge/transform_source.h"
#include "merge/unmasked_image.h"
#include "merge_fixtures.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::solidImage24;

constexpr PixelPath kPaths[] = { PixelPath::Accessor, PixelPath::Rows, PixelPath::RowsTwoThreads };
constexpr ColourRef kBackground = makeColourRef(1, 2, 3);

BgrColour targetPixel(const CDestdoc& t, int32_t x, int32_t row)
{
    const uint8_t* p = t.targetImage->row(row) + 3 * size_t(x);
    return BgrColour { p[0], p[1], p[2] };
}

BgrColour grey(uint8_t v)
{
    return BgrColour { v, v, v };
}

struct Observer : WorkspaceObserver {
    int generated = 0;
    int invalidated = 0;
    void targetGenerated() override { ++generated; }
    void targetInvalidated() override { ++invalidated; }
};

// A workspace whose sources are given directly as transformed images.
struct Layout {
    MergeWorkspace ws;
    GTestPlatform platform;
    Observer observer;
    Layout() { ws.addObserver(&observer); }
    ~Layout() { ws.removeObserver(&observer); }
    Layout& add(MaskedDib image, int32_t x, int32_t y, int32_t top = -1, int32_t bottom = -1)
    {
        const size_t s = size_t(ws.sourceCount++);
        ws.targetDoc.transformed[s] = std::move(image);
        ws.alignDoc.placement[s].posX = x;
        ws.alignDoc.placement[s].posY = y;
        ws.alignDoc.placement[s].topLevel = top;
        ws.alignDoc.placement[s].bottomLevel = bottom;
        ws.equalBiasWeights();
        return *this;
    }
    bool generate(PixelPath path = PixelPath::Accessor) { return generateTarget(ws, platform, path); }
    const CDestdoc& target() const { return ws.targetDoc; }
};

TEST(GenerateTarget, TwoOverlappingSourcesAndTheUncoveredBackground)
{
    for (PixelPath path : kPaths) {
        Layout l;
        l.ws.targetDoc.backgroundColour = kBackground;
        l.ws.targetDoc.viewPercentX = l.ws.targetDoc.viewPercentY = 50;
        l.ws.targetDoc.zoneSelected = 1;
        l.add(solidImage24(100, 50, grey(100)), 0, 0).add(solidImage24(100, 50, grey(200)), 80, 20);
        ASSERT_TRUE(l.generate(path));
        const CDestdoc& t = l.target();
        ASSERT_EQ(t.targetImage->width(), 180);
        ASSERT_EQ(t.targetImage->height(), 70);
        EXPECT_EQ(t.targetImage->bitCount(), 24);
        EXPECT_EQ(t.viewWidth, 90);
        EXPECT_EQ(t.viewHeight, 35);
        EXPECT_EQ(t.generated, 1);
        EXPECT_EQ(t.zoneSelected, 0);
        EXPECT_EQ(t.title, "Target Window");
        EXPECT_EQ(l.observer.generated, 1);
        for (int32_t y = 0; y < 70; ++y)
            for (int32_t x = 0; x < 180; ++x) {
                const bool first = x < 100 && y < 50, second = x >= 80 && y >= 20;
                const BgrColour expected = first && second ? grey(150)
                    : first                                ? grey(100)
                    : second                               ? grey(200)
                                                           : toBgr(kBackground);
                ASSERT_EQ(targetPixel(t, x, y), expected) << x << "," << y;
            }
    }
}

// One pixel of a layout of 1 x 1 sources all at (0, 0), in the given layers.
BgrColour onePixel(const std::vector<std::tuple<uint8_t, int32_t, int32_t, uint16_t>>& sources)
{
    Layout l;
    l.ws.targetDoc.backgroundColour = kBackground;
    for (const auto& [value, top, bottom, mask] : sources) {
        MaskedDib image = solidImage24(1, 1, grey(value));
        image.mask[0] = mask;
        l.add(std::move(image), 0, 0, top, bottom);
    }
    EXPECT_TRUE(l.generate());
    return targetPixel(l.target(), 0, 0);
}

TEST(GenerateTarget, LayerOrder)
{
    struct Case {
        const char* name;
        std::vector<std::tuple<uint8_t, int32_t, int32_t, uint16_t>> sources; // value, top, bottom, mask
        BgrColour expected;
    };
    const Case cases[] = {
        { "middle sources merge", { { 100, -1, -1, 65535 }, { 200, -1, -1, 65535 } }, grey(150) },
        { "top hides the merge", { { 100, -1, -1, 65535 }, { 200, -1, -1, 65535 }, { 30, 1, -1, 65535 } },
            grey(30) },
        { "top placed first still hides", { { 30, 1, -1, 65535 }, { 100, -1, -1, 65535 } }, grey(30) },
        { "empty top lets the merge show",
            { { 100, -1, -1, 65535 }, { 200, -1, -1, 65535 }, { 30, 1, -1, 0 } }, grey(150) },
        { "higher top level wins", { { 10, 1, -1, 65535 }, { 20, 2, -1, 65535 }, { 30, 1, -1, 65535 } },
            grey(20) },
        { "equal top levels: lower slot", { { 10, 2, -1, 65535 }, { 20, 2, -1, 65535 } }, grey(10) },
        { "middle hides the bottom", { { 40, -1, 1, 65535 }, { 100, -1, -1, 65535 } }, grey(100) },
        { "bottom shows without middle", { { 40, -1, 1, 65535 }, { 100, -1, -1, 0 } }, grey(40) },
        { "higher bottom level wins", { { 40, -1, 1, 65535 }, { 50, -1, 3, 65535 }, { 60, -1, 2, 65535 } },
            grey(50) },
        { "equal bottom levels: lower slot", { { 40, -1, 2, 65535 }, { 50, -1, 2, 65535 } }, grey(40) },
        { "top over bottom", { { 40, -1, 1, 65535 }, { 70, 1, -1, 65535 } }, grey(70) },
        { "nothing covers", { { 40, -1, 1, 0 }, { 70, 1, -1, 0 }, { 90, -1, -1, 0 } }, toBgr(kBackground) },
        // A partly opaque middle source is weighed down; alone it still gives its own colour.
        { "partial opacity alone", { { 90, -1, -1, 20000 } }, grey(90) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(onePixel(c.sources), c.expected);
    }
}

TEST(GenerateTarget, MarginBandsSurroundTheMergedImage)
{
    for (PixelPath path : kPaths) {
        Layout l;
        l.ws.targetDoc.marginX = 10;
        l.ws.targetDoc.marginY = 3;
        l.ws.targetDoc.marginColour = makeColourRef(200, 0, 0);
        // Contrast and brightness do not reach the band.
        l.ws.targetDoc.targetBrightness = 0;
        l.add(solidImage24(100, 80, grey(255)), 0, 0);
        ASSERT_TRUE(l.generate(path));
        const CDestdoc& t = l.target();
        ASSERT_EQ(t.targetImage->width(), 120);
        ASSERT_EQ(t.targetImage->height(), 86);
        EXPECT_EQ(t.viewWidth, 120);
        EXPECT_EQ(t.viewHeight, 86);
        for (int32_t y = 0; y < 86; ++y)
            for (int32_t x = 0; x < 120; ++x) {
                const bool band = x < 10 || x >= 110 || y < 3 || y >= 83;
                ASSERT_EQ(targetPixel(t, x, y), band ? (BgrColour { 0, 0, 200 }) : grey(0)) << x << "," << y;
            }
    }
}

TEST(GenerateTarget, ContrastAndBrightness)
{
    struct Case {
        int32_t contrast, brightness, in, out;
    };
    const Case cases[] = {
        { 16, 128, 0, 0 }, { 16, 128, 100, 100 }, { 16, 128, 255, 255 },
        { 32, 128, 100, 73 }, // (-864 + 2032) / 16
        { 32, 128, 200, 255 }, // 127 + 2 x 73, clamped
        { 16, 138, 100, 120 }, { 16, 138, 250, 255 }, // the brightness offset enters twice
        { 16, 0, 255, 0 }, // c - 256
        { 0, 128, 17, 127 }, // flat grey b - 1
        { 3, 100, 10, 71 }, // -28 + 1597 / 16 = -28 + 99
        { 17, 128, 7, 0 }, // -2 / 16 truncates to 0, not -1
    };
    for (const Case& c : cases)
        EXPECT_EQ(adjustChannel(c.in, c.brightness, c.contrast), c.out)
            << "k " << c.contrast << " b " << c.brightness << " c " << c.in;

    Layout l;
    l.ws.targetDoc.targetContrast = 32;
    l.add(solidImage24(3, 2, BgrColour { 100, 127, 10 }), 0, 0);
    ASSERT_TRUE(l.generate(PixelPath::RowsTwoThreads));
    EXPECT_EQ(targetPixel(l.target(), 2, 1), (BgrColour { 73, 127, 0 }));
}

TEST(GenerateTarget, Failures)
{
    {
        SCOPED_TRACE("a source without transformed image");
        Layout l;
        l.add(solidImage24(4, 4, grey(1)), 0, 0).add(MaskedDib {}, 0, 0);
        l.platform.expectMessage("Can't load target image!");
        l.ws.targetDoc.targetImage = PackedDib::allocate(60); // the previous target goes
        EXPECT_FALSE(l.generate());
        EXPECT_EQ(l.target().targetImage, nullptr);
        EXPECT_EQ(l.target().generated, 0);
        EXPECT_EQ(l.platform.messages.at(0).icon, MessageIcon::Error);
        EXPECT_EQ(l.observer.invalidated, 1);
    }
    {
        SCOPED_TRACE("merge image wider than 20000");
        Layout l;
        l.add(solidImage24(4, 4, grey(1)), 0, 0).add(solidImage24(4, 4, grey(1)), 19998, 0);
        l.platform.expectMessage("Not enough memory to process the source image.");
        EXPECT_FALSE(l.generate());
        EXPECT_EQ(l.target().targetImage, nullptr);
        EXPECT_EQ(l.target().viewWidth, 1);
        EXPECT_TRUE(l.platform.progressHistory.empty());
    }
    for (PixelPath path : kPaths) {
        SCOPED_TRACE("every source under one pixel at its scale, margins or not");
        Layout l;
        l.ws.targetDoc.marginX = 5;
        for (double scale : { 1.0, 9.0 }) { // 100 pixels at 1/1024 and 9/1024 of their size
            GTestPlatform quiet;
            LongOperation operation(quiet);
            int32_t progress = 0;
            MaskedDib tiny;
            ASSERT_EQ(transformImage(solidImage24(100, 100, grey(7)), scale, scale, 0, false, operation,
                          progress, tiny, path),
                kTransformDone);
            l.add(std::move(tiny), 0, 0);
        }
        l.platform.expectMessage(kEmptyTargetText);
        l.ws.targetDoc.targetImage = PackedDib::allocate(60);
        EXPECT_FALSE(l.generate(path));
        EXPECT_EQ(l.target().targetImage, nullptr);
        EXPECT_EQ(l.target().generated, 0);
        EXPECT_EQ(l.platform.messages.at(0).icon, MessageIcon::Error);
    }
    for (PixelPath path : kPaths) {
        SCOPED_TRACE("wider than 20000 only with its margins");
        Layout l;
        l.ws.targetDoc.marginX = 10;
        l.add(solidImage24(19990, 1, grey(1)), 0, 0);
        l.platform.expectMessage("Not enough memory to process the source image.");
        EXPECT_FALSE(l.generate(path));
        EXPECT_EQ(l.target().targetImage, nullptr);
        EXPECT_EQ(l.target().generated, 0);
        // The merge pass ran; the preparing pass never started.
        EXPECT_EQ(l.platform.progressHistory.back(), (std::pair<int, ColourRef> { 100, kProgressDone }));
        EXPECT_EQ(l.platform.eventPumps, 0);
    }
}

TEST(GenerateTarget, PanesAndProgressOfASuccessfulRun)
{
    for (PixelPath path : kPaths) {
        Layout l;
        l.add(solidImage24(4, 3, grey(9)), 0, 0).add(solidImage24(2, 3, grey(9)), 2, 0);
        ASSERT_TRUE(l.generate(path));
        const std::vector<std::pair<int, std::string>> panes = { { 0, "Press Esc to quit." },
            { 2, "Merging Source(s)" }, { 2, "" }, { 2, "Preparing Target" }, { 2, "" } };
        EXPECT_EQ(l.platform.paneHistory, panes);
        // Pane 0 goes back to what it showed before: the operation is over.
        EXPECT_EQ(l.platform.paneText[0], "");
        EXPECT_EQ(l.platform.busyDepth, 0);
        const std::vector<std::pair<int, ColourRef>> progress = { { 0, kProgressMerging },
            { 25, kProgressMerging }, { 50, kProgressMerging }, { 75, kProgressMerging },
            { 100, kProgressDone }, { 0, kProgressPreparing }, { 25, kProgressPreparing },
            { 50, kProgressPreparing }, { 75, kProgressPreparing }, { 100, kProgressDone } };
        EXPECT_EQ(l.platform.progressHistory, progress);
        EXPECT_EQ(l.platform.eventPumps, 4); // one poll per column of the preparing pass
        EXPECT_EQ(l.target().progress, 75);
    }
}

// Esc is only looked at by the preparing pass; Yes there abandons the target.
TEST(GenerateTarget, EscAndYesInThePreparingPassAbandonsTheTarget)
{
    for (PixelPath path : kPaths) {
        Layout l;
        l.add(solidImage24(300, 200, grey(9)), 0, 0);
        l.platform.escapeDownPolls = 2;
        l.platform.expectMessage("Do you really want to quit ?", MessageAnswer::No);
        l.platform.expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
        EXPECT_FALSE(l.generate(path));
        const CDestdoc& t = l.target();
        EXPECT_EQ(t.targetImage, nullptr);
        EXPECT_EQ(t.generated, 0);
        EXPECT_EQ(t.viewWidth, 1);
        EXPECT_EQ(t.viewHeight, 1);
        EXPECT_EQ(l.observer.invalidated, 1);
        EXPECT_EQ(l.observer.generated, 0);
        // Every merging column ran; the preparing pass stopped after its second column.
        std::vector<std::pair<int, ColourRef>> progress;
        for (int x = 0; x < 300; ++x)
            progress.push_back({ 100 * x / 300, kProgressMerging });
        progress.push_back({ 100, kProgressDone });
        progress.push_back({ 0, kProgressPreparing });
        progress.push_back({ 0, kProgressPreparing });
        progress.push_back({ 100, kProgressDone });
        EXPECT_EQ(l.platform.progressHistory, progress);
        EXPECT_EQ(l.platform.paneHistory.back(), (std::pair<int, std::string> { 2, "Preparing Target" }));
        // The abandoned operation leaves the panes as it found them.
        EXPECT_EQ(l.platform.paneText[0], "");
        EXPECT_EQ(l.platform.paneText[2], "");
    }
}

// The target's images are laid out as allocateMaskedDib lays them out and refused where it
// refuses, only without a mask.
TEST(GenerateTarget, UnmaskedImagesMatchMaskedOnes)
{
    for (auto [w, h] : { std::pair { 1, 1 }, { 5, 3 }, { 0, 7 }, { 7, 0 }, { 20000, 2 }, { 20001, 1 },
             { 1, -1 }, { 9000, 9000 } }) {
        SCOPED_TRACE(::testing::Message() << w << "x" << h);
        MaskedDib masked, unmasked;
        const bool maskedFailed = allocateMaskedDib(h, w, masked, 24);
        ASSERT_EQ(allocateUnmaskedImage(h, w, unmasked), maskedFailed);
        if (maskedFailed) {
            EXPECT_TRUE(unmasked.empty());
            continue;
        }
        ASSERT_EQ(unmasked.dib->size(), masked.dib->size());
        EXPECT_EQ(std::memcmp(unmasked.dib->data(), masked.dib->data(), masked.dib->size()), 0);
        EXPECT_EQ(unmasked.maskCount, 0u);
    }
}

// ---- the row paths against the accessor path

struct PathRun {
    bool ok = false;
    std::vector<uint8_t> bytes;
    std::vector<std::pair<int, ColourRef>> progress;
    std::vector<std::pair<int, std::string>> panes;
};

TEST(GenerateTarget, RowPathsEqualTheAccessorPathFromSourcesOfEveryDepth)
{
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> side(1, 60), pos(0, 40), level(0, 5), type(0, 4), coin(0, 1),
        count(1, 8);
    std::uniform_int_distribution<int> fuzz(0, 100), contrast(0, 32), brightness(0, 255), margin(0, 4);
    std::uniform_real_distribution<double> scale(400, 2000), angle(-60, 60), bias(0, 40);
    const int depths[] = { 1, 4, 8, 16, 24, 32 };
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE(n);
        // The same random workspace, built once per path.
        const unsigned seed = rng();
        std::vector<PathRun> runs;
        for (PixelPath path : kPaths) {
            std::mt19937 r(seed);
            MergeWorkspace ws;
            GTestPlatform platform;
            const int sources = count(r);
            for (int i = 0; i < sources; ++i) {
                auto doc = std::make_unique<VIrorozIzi>();
                doc->slotIndex = i;
                const int bits = depths[size_t(i + n) % 6];
                doc->image = testing::randomImage(side(r), side(r), bits, r, coin(r));
                ws.documents[size_t(i)] = std::move(doc);
                ws.sourceCount = i + 1;
                ws.alignDoc.placement[size_t(i)].scaleX = scale(r);
                ws.alignDoc.placement[size_t(i)].scaleY = scale(r);
                ws.alignDoc.placement[size_t(i)].rotation = angle(r);
                ws.targetDoc.mirrored[size_t(i)] = coin(r);
                ws.alignDoc.placement[size_t(i)].posX = pos(r);
                ws.alignDoc.placement[size_t(i)].posY = pos(r);
                const int layer = level(r);
                ws.alignDoc.placement[size_t(i)].topLevel = layer == 1 ? 1 + coin(r) : -1;
                ws.alignDoc.placement[size_t(i)].bottomLevel = layer == 2 ? 1 + coin(r) : -1;
                ws.fadeEdge[size_t(i)] = coin(r);
                ws.biasWeight[size_t(i)] = coin(r) ? bias(r) : 100.0 / sources;
            }
            ws.mergeType = type(r);
            ws.targetDoc.thresholdFuzziness = fuzz(r);
            ws.targetDoc.backgroundColour = makeColourRef(uint8_t(r()), uint8_t(r()), uint8_t(r()));
            ws.targetDoc.marginColour = makeColourRef(uint8_t(r()), uint8_t(r()), uint8_t(r()));
            ws.targetDoc.marginX = margin(r);
            ws.targetDoc.marginY = margin(r);
            ws.targetDoc.targetContrast = contrast(r);
            ws.targetDoc.targetBrightness = brightness(r);
            // Without a margin the row pass prepares the merge image in place, and with the
            // neutral settings as well it leaves it as it is.
            if (n % 3 == 0)
                ws.targetDoc.marginX = ws.targetDoc.marginY = 0;
            if (n % 6 == 0) {
                ws.targetDoc.targetContrast = 16;
                ws.targetDoc.targetBrightness = 128;
            }
            for (int i = 1; i <= sources; ++i)
                ASSERT_EQ(transformSource(ws, platform, i, path), kTransformDone);
            PathRun run;
            run.ok = generateTarget(ws, platform, path);
            ASSERT_TRUE(run.ok);
            const PackedDib& image = *ws.targetDoc.targetImage;
            run.bytes.assign(image.data(), image.data() + image.size());
            run.progress = platform.progressHistory;
            run.panes = platform.paneHistory;
            runs.push_back(std::move(run));
        }
        for (size_t p = 1; p < runs.size(); ++p) {
            SCOPED_TRACE(p);
            ASSERT_EQ(runs[p].bytes.size(), runs[0].bytes.size());
            EXPECT_TRUE(runs[p].bytes == runs[0].bytes);
            EXPECT_EQ(runs[p].progress, runs[0].progress);
            EXPECT_EQ(runs[p].panes, runs[0].panes);
        }
    }
}

// The Average over runs of columns covered by the same middle sources: whole weights (exact
// integer sums), weights with fractions, and weights the runs must leave to the general
// operator (fade edge, zero, a top source); masked and opaque sources overlapping at offsets,
// with every depth of source behind the transformed images.
TEST(GenerateTarget, AverageRunsEqualTheAccessorPath)
{
    struct Case {
        const char* name;
        std::vector<double> weights;
        bool masked;
        int fadeEdgeOf; // -1: none
        int topOf; // -1: none
    } cases[] = {
        { "four quarters, opaque", { 25, 25, 25, 25 }, false, -1, -1 },
        { "four quarters, masked", { 25, 25, 25, 25 }, true, -1, -1 },
        { "thirds", { 100.0 / 3, 100.0 / 3, 100.0 / 3 }, true, -1, -1 },
        { "uneven whole", { 1, 99, 7 }, false, -1, -1 },
        { "uneven fractions", { 12.5, 0.3, 40.25, 3.75, 19 }, true, -1, -1 },
        { "one source", { 100 }, true, -1, -1 },
        { "a zero weight", { 0, 50, 50 }, false, -1, -1 },
        { "a fade edge", { 50, 50 }, false, 1, -1 },
        { "a top source", { 30, 30, 40 }, true, -1, 2 },
        { "eight sources", { 12.5, 12.5, 12.5, 12.5, 12.5, 12.5, 12.5, 12.5 }, true, -1, -1 },
    };
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> side(1, 90), pos(0, 30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<MaskedDib> images;
        std::vector<std::pair<int32_t, int32_t>> places;
        for (size_t i = 0; i < c.weights.size(); ++i) {
            MaskedDib image = testing::randomImage(side(rng), side(rng), 24, rng);
            if (!c.masked)
                std::fill(image.mask.get(), image.mask.get() + image.maskCount, uint16_t(65535));
            images.push_back(std::move(image));
            places.emplace_back(pos(rng), pos(rng));
        }
        std::vector<std::vector<uint8_t>> results;
        for (PixelPath path : kPaths) {
            Layout l;
            l.ws.targetDoc.backgroundColour = kBackground;
            for (size_t i = 0; i < images.size(); ++i)
                l.add(images[i].clone(), places[i].first, places[i].second, int(i) == c.topOf ? 1 : -1);
            for (size_t i = 0; i < c.weights.size(); ++i)
                l.ws.biasWeight[i] = c.weights[i];
            if (c.fadeEdgeOf >= 0)
                l.ws.fadeEdge[size_t(c.fadeEdgeOf)] = 1;
            ASSERT_TRUE(l.generate(path));
            const PackedDib& image = *l.target().targetImage;
            results.emplace_back(image.data(), image.data() + image.size());
        }
        EXPECT_TRUE(results[1] == results[0]);
        EXPECT_TRUE(results[2] == results[0]);
    }
}

// Large enough for several column blocks, each split over both threads, with an abort in the
// preparing pass after the first block.
TEST(GenerateTarget, RowPathsEqualTheAccessorPathOverManyBlocks)
{
    std::mt19937 rng(3);
    const MaskedDib first = testing::randomImage(700, 2000, 24, rng);
    const MaskedDib second = testing::randomImage(700, 1990, 24, rng);
    std::vector<std::vector<uint8_t>> images;
    std::vector<std::vector<std::pair<int, ColourRef>>> progress;
    for (PixelPath path : kPaths) {
        for (int32_t type : { 0, 3 }) {
            Layout l;
            l.add(first.clone(), 0, 0).add(second.clone(), 500, 10);
            l.ws.fadeEdge[1] = 1;
            l.ws.mergeType = type;
            l.ws.targetDoc.marginX = 2;
            ASSERT_TRUE(l.generate(path));
            const PackedDib& image = *l.target().targetImage;
            images.emplace_back(image.data(), image.data() + image.size());
            progress.push_back(l.platform.progressHistory);
        }
        Layout aborted;
        aborted.add(first.clone(), 0, 0);
        aborted.platform.escapeDownPolls = 1000;
        for (int i = 0; i < 700; ++i)
            aborted.platform.queueAnswer(i == 600 ? MessageAnswer::Yes : MessageAnswer::No);
        EXPECT_FALSE(aborted.generate(path));
        aborted.platform.takeUnmetExpectations();
        progress.push_back(aborted.platform.progressHistory);
    }
    ASSERT_EQ(images.size(), 6u);
    for (size_t p = 1; p < 3; ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(images[2 * p] == images[0]);
        EXPECT_TRUE(images[2 * p + 1] == images[1]);
        EXPECT_EQ(progress[3 * p], progress[0]);
        EXPECT_EQ(progress[3 * p + 1], progress[1]);
        EXPECT_EQ(progress[3 * p + 2], progress[2]);
    }
    EXPECT_EQ(progress[2].size(), 700u + 1 + 601 + 1);
}

// Rotated sources whose masks the row path of the transformation keeps as row spans merge to
// the bytes of the same sources with real masks, on every path: over several column blocks
// (each reading only its columns of the spans), through the Average's runs of opaque pixels and
// the general operators, with an opaque and a masked source overlapping.
TEST(GenerateTarget, RotatedSourcesWithRowSpanMasksMergeLikeRealMasks)
{
    std::mt19937 rng(41);
    MaskedDib opaque = testing::randomImage(120, 1800, 24, rng);
    ASSERT_FALSE(allocateMask(opaque, 0xFF));
    const MaskedDib masked = testing::randomImage(300, 1500, 24, rng);
    struct Placed {
        const MaskedDib* source;
        double angle;
        int32_t x, y;
    };
    const Placed placed[] = { { &opaque, 25, 0, 0 }, { &masked, -40, 300, 40 }, { &opaque, 160, 500, 10 } };
    std::vector<MaskedDib> real, spans;
    for (const Placed& p : placed) {
        GTestPlatform platform;
        LongOperation operation(platform);
        int32_t progress = 0;
        MaskedDib a, b;
        ASSERT_EQ(transformImage(
                      *p.source, 1024, 1100, p.angle, false, operation, progress, a, PixelPath::Accessor),
            kTransformDone);
        ASSERT_EQ(
            transformImage(*p.source, 1024, 1100, p.angle, false, operation, progress, b, PixelPath::Rows),
            kTransformDone);
        ASSERT_NE(b.mask.spans(), nullptr);
        real.push_back(std::move(a));
        spans.push_back(std::move(b));
    }
    for (int32_t type : { 0, 2 }) {
        SCOPED_TRACE(type);
        const auto merge = [&](const std::vector<MaskedDib>& images, PixelPath path) {
            Layout l;
            for (size_t i = 0; i < images.size(); ++i)
                l.add(images[i].clone(), placed[i].x, placed[i].y);
            l.ws.mergeType = type;
            EXPECT_TRUE(l.generate(path));
            const PackedDib& image = *l.target().targetImage;
            return std::vector<uint8_t>(image.data(), image.data() + image.size());
        };
        const std::vector<uint8_t> reference = merge(real, PixelPath::Accessor);
        for (PixelPath path : kPaths)
            EXPECT_TRUE(merge(spans, path) == reference) << int(path);
    }
}

// ---- a merge that transforms its sources' rows as it reads them

// The random workspaces of the test above, each merged twice: from whole transformed images,
// and with every source transformed during the merge (sources whose transformation only shares
// their rows are still transformed whole). Small images take one band; the large case runs
// over many bands and blocks on both threads, its sources at offsets and in every layer.
TEST(GenerateTarget, TransformingRowsDuringTheMergeGivesTheWholeImagesBytes)
{
    struct Source {
        MaskedDib image;
        double sx, sy, angle;
        bool mirrored;
        int32_t x, y, top, bottom, fade;
        double bias;
    };
    struct Case {
        std::vector<Source> sources;
        int32_t type = 0, fuzz = 0, marginX = 0, marginY = 0, contrast = 16, brightness = 128;
        ColourRef background = kBackground;
    };
    const auto merge = [](const Case& c, bool inRows, PixelPath path) {
        MergeWorkspace ws;
        GTestPlatform platform;
        for (size_t i = 0; i < c.sources.size(); ++i) {
            const Source& s = c.sources[i];
            auto doc = std::make_unique<VIrorozIzi>();
            doc->slotIndex = int(i);
            doc->image = s.image.clone();
            ws.documents[i] = std::move(doc);
            ws.sourceCount = int(i) + 1;
            ws.alignDoc.placement[i].scaleX = s.sx;
            ws.alignDoc.placement[i].scaleY = s.sy;
            ws.alignDoc.placement[i].rotation = s.angle;
            ws.targetDoc.mirrored[i] = s.mirrored;
            ws.alignDoc.placement[i].posX = s.x;
            ws.alignDoc.placement[i].posY = s.y;
            ws.alignDoc.placement[i].topLevel = s.top;
            ws.alignDoc.placement[i].bottomLevel = s.bottom;
            ws.fadeEdge[i] = s.fade;
            ws.biasWeight[i] = s.bias;
        }
        ws.mergeType = c.type;
        ws.targetDoc.thresholdFuzziness = c.fuzz;
        ws.targetDoc.backgroundColour = c.background;
        ws.targetDoc.marginX = c.marginX;
        ws.targetDoc.marginY = c.marginY;
        ws.targetDoc.targetContrast = c.contrast;
        ws.targetDoc.targetBrightness = c.brightness;
        PerPlace<RowTransformer> rows;
        PerPlace<const RowTransformer*> given {};
        int transformedInRows = 0;
        for (int i = 1; i <= int(c.sources.size()); ++i) {
            const size_t s = size_t(i - 1);
            EXPECT_EQ(inRows ? transformSourceForMerge(ws, platform, i, rows[s])
                             : transformSource(ws, platform, i, PixelPath::RowsTwoThreads),
                kTransformDone);
            given[s] = rows[s].prepared() ? &rows[s] : nullptr;
            transformedInRows += given[s] ? 1 : 0;
            EXPECT_EQ(ws.targetDoc.transformed[s].empty(), given[s] != nullptr);
        }
        EXPECT_TRUE(generateTarget(ws, platform, path, given));
        const PackedDib& image = *ws.targetDoc.targetImage;
        return std::pair { std::vector<uint8_t>(image.data(), image.data() + image.size()),
            transformedInRows };
    };

    std::vector<Case> cases;
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> side(1, 60), pos(0, 40), level(0, 5), type(0, 4), coin(0, 1),
        count(1, 8), fuzz(0, 100), contrast(0, 32), brightness(0, 255), margin(0, 4);
    std::uniform_real_distribution<double> scale(400, 2000), angle(-60, 60), bias(0, 40);
    const int depths[] = { 1, 4, 8, 16, 24, 32 };
    for (int n = 0; n < 30; ++n) {
        Case c;
        const int sources = count(rng);
        for (int i = 0; i < sources; ++i) {
            const int layer = level(rng);
            Source s { testing::randomImage(side(rng), side(rng), depths[size_t(i + n) % 6], rng, coin(rng)),
                scale(rng), scale(rng), angle(rng), coin(rng) == 1, pos(rng), pos(rng),
                layer == 1 ? 1 + coin(rng) : -1, layer == 2 ? 1 + coin(rng) : -1, coin(rng), 0 };
            s.bias = coin(rng) ? bias(rng) : 100.0 / sources;
            // Whole scales, shifts and the shared identity take their own row functions.
            if (i % 4 == 1)
                s.sx = s.sy = 1024.0 * (1 + coin(rng));
            if (i % 4 == 2) {
                s.sx = s.sy = 1024.0;
                s.angle = 180.0 * coin(rng);
            }
            if (i % 4 == 3) {
                s.image = testing::randomImage(side(rng), side(rng), 24, rng);
                ASSERT_FALSE(allocateMask(s.image, 0xFF));
                s.sx = s.sy = 1024.0;
                s.angle = 0;
                s.mirrored = false;
            }
            c.sources.push_back(std::move(s));
        }
        c.type = type(rng);
        c.fuzz = fuzz(rng);
        c.background = makeColourRef(uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
        if (n % 2) {
            c.marginX = margin(rng);
            c.marginY = margin(rng);
            c.contrast = contrast(rng);
            c.brightness = brightness(rng);
        }
        cases.push_back(std::move(c));
    }
    for (int type : { 0, 3 }) {
        Case big;
        big.type = type;
        big.sources.push_back(
            Source { testing::randomImage(1400, 500, 24, rng), 2560, 2560, 10, false, 0, 0, -1, -1, 0, 40 });
        big.sources.push_back(Source {
            testing::randomImage(900, 700, 8, rng), 1500, 1300, -35, true, 700, 300, -1, -1, 1, 30 });
        big.sources.push_back(Source {
            testing::randomImage(500, 400, 24, rng), 1024, 1024, 180, false, 3000, 50, 1, -1, 0, 30 });
        big.sources.push_back(
            Source { testing::randomImage(600, 300, 32, rng), 1024, 1024, 0, false, 100, 1500, -1, 1, 0, 0 });
        cases.push_back(std::move(big));
    }

    int inRowsSeen = 0;
    for (size_t n = 0; n < cases.size(); ++n) {
        SCOPED_TRACE(n);
        const auto whole = merge(cases[n], false, PixelPath::RowsTwoThreads);
        EXPECT_EQ(whole.second, 0);
        for (PixelPath path : { PixelPath::Rows, PixelPath::RowsTwoThreads }) {
            const auto inRows = merge(cases[n], true, path);
            ASSERT_EQ(inRows.first.size(), whole.first.size());
            EXPECT_TRUE(inRows.first == whole.first) << int(path);
            inRowsSeen += inRows.second;
        }
    }
    EXPECT_GT(inRowsSeen, 0);
}

// The command-line route transforms during the merge only where that holds less memory: a
// source scaled up or turned keeps its rows; one scaled down, or an opaque one at 100 %, is
// transformed whole.
TEST(GenerateTarget, SourcesAreTransformedDuringTheMergeOnlyWhereThatHoldsLess)
{
    struct Case {
        double scale, angle;
        bool inRows;
    } cases[] = { { 1536, 0, true }, { 1024, 30, true }, { 1024, 0, false }, { 512, 0, false },
        { 700, 45, false } };
    std::mt19937 rng(23);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.scale << " " << c.angle);
        MergeWorkspace ws;
        GTestPlatform platform;
        auto doc = std::make_unique<VIrorozIzi>();
        doc->image = testing::randomImage(64, 48, 24, rng);
        ASSERT_FALSE(allocateMask(doc->image, 0xFF));
        ws.documents[0] = std::move(doc);
        ws.sourceCount = 1;
        ws.alignDoc.placement[0].scaleX = ws.alignDoc.placement[0].scaleY = c.scale;
        ws.alignDoc.placement[0].rotation = c.angle;
        RowTransformer rows;
        ASSERT_EQ(transformSourceForMerge(ws, platform, 1, rows), kTransformDone);
        EXPECT_EQ(rows.prepared(), c.inRows);
        EXPECT_EQ(ws.targetDoc.transformed[0].empty(), c.inRows);
    }
}

} // namespace
} // namespace tessary
