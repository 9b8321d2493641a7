// Running out of memory anywhere in the codec layer or in loading a source is a failure with a
// message, never an exception. This program replaces the global operator new so that a test can
// make exactly the n-th allocation from now on fail (the throwing forms throw std::bad_alloc, the
// nothrow forms return null), and walks n over every allocation a decode, a save or a load makes.
// It also counts the bytes asked for, to show what refusing a hostile file costs.
#include "app/arrangement.h"
#include "app/long_operation.h"
#include "app/silent_platform.h"
#include "app/workspace.h"
#include "image/cx_image.h"
#include "image/pixel_access.h"
#include "merge/generate_target.h"
#include "merge/merge_fixtures.h"
#include "merge/row_transformer.h"
#include "merge/transform_source.h"
#include "sources/area_tools.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "support/codec_image_util.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <random>

namespace {

// -1: nothing fails; n >= 0: the allocation after n more fails.
std::atomic<long> gCountdown { -1 };
std::atomic<bool> gFailed { false };
std::atomic<uint64_t> gBytesAsked { 0 };

void* allocate(size_t size, bool nothrow)
{
    gBytesAsked += size;
    long left = gCountdown.load();
    while (left >= 0 && !gCountdown.compare_exchange_weak(left, left - 1)) { }
    if (left == 0) {
        gFailed = true;
        if (nothrow)
            return nullptr;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    if (nothrow)
        return nullptr;
    throw std::bad_alloc();
}

} // namespace

void* operator new(size_t size)
{
    return allocate(size, false);
}
void* operator new[](size_t size)
{
    return allocate(size, false);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size, true);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size, true);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

// Runs `work` once for n = 0, 1, ... until a run needs no more allocations than it was let
// make. `work` receives `armed`, which runs a call with the n-th allocation in it failing and
// turns an exception that leaves the call into a test failure; `check(result, failed)` judges
// each run.
template <class Work, class Check> void failEachAllocationInTurn(Work work, Check check)
{
    for (long n = 0; n < 1000; ++n) {
        SCOPED_TRACE(::testing::Message() << "allocation " << n << " fails");
        auto armed = [n](auto&& call) {
            gFailed = false;
            gCountdown = n;
            bool result = false;
            try {
                result = call();
            } catch (...) {
                ADD_FAILURE() << "an exception left the call";
            }
            gCountdown = -1;
            return result;
        };
        const bool result = work(armed);
        check(result, gFailed.load());
        if (!gFailed)
            return;
    }
    ADD_FAILURE() << "still allocating after 1000 allocations";
}

// The seed files of the fuzz targets: small valid files of every kind the decoders read.
std::vector<fs::path> seedFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(TESSARY_FUZZ_CORPUS)))
        if (entry.is_regular_file() && formatFromFileName(entry.path().string()))
            files.push_back(entry.path());
    return files;
}

uint32_t formatOf(const fs::path& file)
{
    return formatFromFileName(file.string()).value_or(CXIMAGE_FORMAT_UNKNOWN);
}

TEST(AllocationFailure, DecodersReportItWithAnErrorText)
{
    const std::vector<fs::path> files = seedFiles();
    ASSERT_GE(files.size(), 30u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::vector<uint8_t> bytes = ScratchFolder::read(file.string());
        const uint32_t format = formatOf(file);
        CxImage image;
        failEachAllocationInTurn(
            [&](auto armed) {
                return armed([&] { return image.Decode(bytes.data(), bytes.size(), format); });
            },
            [&](bool decoded, bool failed) {
                if (!failed) {
                    EXPECT_TRUE(decoded) << image.GetLastErrorText();
                    return;
                }
                if (decoded) {
                    // Only reading the orientation or profile may fail without failing the
                    // picture: the profile is dropped then.
                    EXPECT_TRUE(image.IsValid());
                    EXPECT_EQ(image.GetIccState(), IccState::Broken);
                    return;
                }
                EXPECT_FALSE(image.IsValid());
                EXPECT_STRNE(image.GetLastErrorText(), "");
            });
    }
}

TEST(AllocationFailure, ASaveThatRunsOutOfMemoryKeepsTheFile)
{
    ScratchFolder folder;
    CxImage image;
    testing::fill24(image, 40, 30, testing::smoothColour);
    const std::vector<uint8_t> previous = { 'k', 'e', 'e', 'p' };
    for (const char* name : { "a.bmp", "a.jpg", "a.png", "a.tif", "a.tga", "a.pcx" }) {
        SCOPED_TRACE(name);
        const std::string path = folder.write(name, previous);
        const uint32_t format = formatOf(name);
        failEachAllocationInTurn([&](auto armed) { return armed([&] { return image.Save(path, format); }); },
            [&](bool saved, bool failed) {
                EXPECT_EQ(saved, !failed);
                if (!saved) {
                    EXPECT_EQ(ScratchFolder::read(path), previous);
                }
            });
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.file("")), fs::directory_iterator {}), 1);
        fs::remove(path);
    }
}

TEST(AllocationFailure, LoadingASourceShowsTheReasonThenUnableToLoad)
{
    // The run-length coded 32-bit TGA: its alpha channel is one allocation more.
    const std::string file = TESSARY_FUZZ_CORPUS "/tga/rgba32-rle.tga";
    std::vector<testing::FakePlatform::Message> messages;
    failEachAllocationInTurn(
        [&](auto armed) {
            // Messages are left unchecked here and looked at afterwards.
            testing::FakePlatform platform([](const std::string&) {});
            VIrorozIzi doc;
            const bool loaded = armed([&] { return loadImageFile(doc, file, platform); });
            messages = platform.messages;
            return loaded && doc.image.width() == 16;
        },
        [&](bool loaded, bool failed) {
            // A decoder that ran short is tried again by content, and may then succeed.
            EXPECT_TRUE(loaded || failed);
            if (loaded)
                return;
            ASSERT_EQ(messages.size(), 2u);
            EXPECT_NE(messages[0].text, "");
            EXPECT_EQ(messages[1].text, "Unable to load this image file");
        });
}

TEST(AllocationFailure, TheArrangementReaderSaysSoNamingTheFile)
{
    ScratchFolder folder;
    const std::string text = R"({"format": "tessary-arrangement", "version": 1, "sources": [
        {"file": "a.bmp", "posX": 3, "biasWeight": 40},
        {"text": {"text": "one\ntwo", "font": {"faceName": "DejaVu Sans", "height": -30}, "colour": "#FF0000"}}
        ], "mergeType": "darkest", "thresholdFuzziness": 9, "marginColour": "#102030"})";
    const std::string path = folder.write("a.tessary.json", std::vector<uint8_t>(text.begin(), text.end()));
    std::string error;
    failEachAllocationInTurn(
        [&](auto armed) {
            error.clear();
            return armed([&] { return readMergeLayout(path, error, SourceFiles::MayBeMissing).has_value(); });
        },
        [&](bool read, bool failed) {
            EXPECT_EQ(read, !failed) << error;
            if (!read)
                EXPECT_EQ(error, path + ": not enough memory to read it");
        });
}

// What a refused file costs is bounded by the cap, not by the file: a file over the cap is never
// read, and a deep one is refused where it gets deeper than an arrangement.
TEST(ArrangementReader, RefusingAHostileFileCostsLittleMemory)
{
    ScratchFolder folder;
    const std::string deep = folder.write("deep.json", std::vector<uint8_t>(kMaxLayoutBytes, '['));
    std::string ones = "[1";
    while (ones.size() < 4 * kMaxLayoutBytes)
        ones += ",1";
    ones += "]";
    const std::string large = folder.write("large.json", std::vector<uint8_t>(ones.begin(), ones.end()));
    for (const std::string& path : { deep, large }) {
        SCOPED_TRACE(path);
        std::string error;
        gBytesAsked = 0;
        EXPECT_FALSE(readMergeLayout(path, error));
        EXPECT_LT(gBytesAsked.load(), 2 * kMaxLayoutBytes) << error;
    }
}

TEST(AllocationFailure, MaskToolsWithoutMemoryForTheValuesSaySoAndChangeNothing)
{
    // An opaque mask is held as a fact; any tool that makes a pixel less than opaque needs the
    // values first.
    testing::FakePlatform platform([](const std::string&) {});
    VIrorozIzi doc;
    ASSERT_FALSE(allocateMaskedDib(6, 8, doc.image, 24));
    int32_t count = -1;
    gCountdown = 0;
    EXPECT_FALSE(
        areaOperationOnSource(doc, SourceBox { 1, 5, 1, 4 }, AreaOperation::SmoothBlend, count, platform));
    gCountdown = 0;
    EXPECT_FALSE(wholeMaskOnSource(doc, 0, platform));
    gCountdown = -1;
    EXPECT_EQ(count, -1) << "the failed operation is not counted";
    EXPECT_FALSE(doc.changed);
    EXPECT_TRUE(doc.image.mask.isOpaqueFact());
    ASSERT_EQ(platform.messages.size(), 2u);
    for (const auto& message : platform.messages)
        EXPECT_EQ(message.text, "Tessary has run out of memory.");
    // With memory the same operation is carried out and counted.
    EXPECT_TRUE(areaOperationOnSource(
        doc, SourceBox { 1, 5, 1, 4 }, AreaOperation::MakeTransparent, count, platform));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(doc.image.mask[size_t(6 - 1 - 2) * 8 + 2], 0);
}

// A 24-bit copy of a masked paletted picture that runs short anywhere leaves no copy, and its
// failure frees nothing an accessor still writes into (the copy's row padding, here 1 byte a
// row, is cleared when its accessor goes; the sanitizer build sees a write after the free).
TEST(AllocationFailure, ACopyTo24BitsThatRunsShortLeavesNoCopy)
{
    std::mt19937 rng(9);
    const MaskedDib source = testing::randomImage(5, 7, 8, rng);
    MaskedDib reference;
    ASSERT_FALSE(copyPixelsTo24Bit(source, reference));
    failEachAllocationInTurn(
        [&](auto armed) {
            MaskedDib copy;
            const bool failed = armed([&] { return copyPixelsTo24Bit(source, copy); });
            if (failed)
                EXPECT_TRUE(copy.empty());
            else
                EXPECT_TRUE(testing::sameImage(copy, reference));
            return failed;
        },
        [](bool, bool) {});
}

// A rotated, scaled transformation of a masked source (its mask kept as row spans, one block
// per row) that runs short anywhere reports it and leaves no image; one that finishes gives
// every byte and mask value of a run with memory enough.
TEST(AllocationFailure, ATransformationThatRunsShortReportsItAndLeavesNoImage)
{
    std::mt19937 rng(4);
    const MaskedDib source = testing::randomImage(40, 30, 24, rng);
    // No one in front: the test double that records progress would itself allocate.
    SilentPlatform platform;
    LongOperation operation(platform);
    int32_t progress = 0;
    MaskedDib reference;
    ASSERT_EQ(transformImage(source, 1536, 1280, 30, false, operation, progress, reference, PixelPath::Rows),
        kTransformDone);
    ASSERT_NE(reference.mask.spans(), nullptr);
    failEachAllocationInTurn(
        [&](auto armed) {
            MaskedDib out;
            int result = -1;
            armed([&] {
                result = transformImage(
                    source, 1536, 1280, 30, false, operation, progress, out, PixelPath::Rows);
                return true;
            });
            if (result == kTransformDone)
                EXPECT_TRUE(testing::sameImage(out, reference));
            else // the format probe cannot tell a failed allocation from an unreadable format
                EXPECT_TRUE(
                    (result == kTransformOutOfMemory || result == kTransformUnsupported) && out.empty())
                    << result;
            return result == kTransformDone;
        },
        [](bool done, bool failed) { EXPECT_TRUE(done || failed); });
}

// The command-line merge's road: an 8-bit source (read through an expanded copy) transformed
// during the merge, with an opaque one shared whole; each allocation failing in turn gives no
// target or the very bytes of the run that had memory.
TEST(AllocationFailure, AMergeTransformingRowsThatRunsShortLeavesNoTarget)
{
    std::mt19937 rng(8);
    SilentPlatform platform;
    MergeWorkspace ws;
    for (int i = 0; i < 2; ++i) {
        auto doc = std::make_unique<VIrorozIzi>();
        doc->image = testing::randomImage(40, 30, i == 0 ? 8 : 24, rng);
        if (i == 1) {
            ASSERT_FALSE(allocateMask(doc->image, 0xFF));
        }
        ws.documents[size_t(i)] = std::move(doc);
        ws.sourceCount = i + 1;
    }
    ws.alignDoc.placement[0].scaleX = ws.alignDoc.placement[0].scaleY = 1536;
    ws.alignDoc.placement[0].rotation = 30;
    ws.alignDoc.placement[1].posX = 20;
    ws.equalBiasWeights();
    PerPlace<RowTransformer> rows;
    PerPlace<const RowTransformer*> given {};
    for (int i = 1; i <= 2; ++i)
        ASSERT_EQ(transformSourceForMerge(ws, platform, i, rows[size_t(i - 1)]), kTransformDone);
    given[0] = &rows[0];
    ASSERT_TRUE(rows[0].prepared() && !rows[1].prepared());
    ASSERT_TRUE(generateTarget(ws, platform, PixelPath::RowsTwoThreads, given));
    const PackedDib& made = *ws.targetDoc.targetImage;
    const std::vector<uint8_t> reference(made.data(), made.data() + made.size());
    failEachAllocationInTurn(
        [&](auto armed) {
            const bool done
                = armed([&] { return generateTarget(ws, platform, PixelPath::RowsTwoThreads, given); });
            const PackedDib* target = ws.targetDoc.targetImage.get();
            if (done)
                EXPECT_TRUE(target
                    && std::vector<uint8_t>(target->data(), target->data() + target->size()) == reference);
            else
                EXPECT_EQ(target, nullptr);
            return done;
        },
        [](bool done, bool failed) { EXPECT_TRUE(done || failed); });
}

} // namespace
} // namespace tessary
