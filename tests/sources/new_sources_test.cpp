// Sources made from the clipboard and from the target, and Reload Source of every kind.
#include "align/paste_source.h"
#include "align/placed_sources.h"
#include "app/new_text.h"
#include "app/source_opening.h"
#include "image/bmp_writer.h"
#include "image/pixel_access.h"
#include "merge/send_to_source.h"
#include "sources/dib_block.h"
#include "sources/handoff.h"
#include "sources/load_image_file.h"
#include "sources/new_image_source.h"
#include "sources/reload_source.h"
#include "sources/source_table.h"
#include "sources/text_render.h"
#include "support/codec_image_util.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace tessary::testing {
namespace {

// A clipboard block: header, colour table, rows as the header says.
std::vector<uint8_t> dibBlock(int32_t w, int32_t h, int bits, uint32_t compression = 0, uint32_t clrUsed = 0)
{
    BitmapInfoHeader header;
    header.biWidth = w;
    header.biHeight = h;
    header.biBitCount = uint16_t(bits);
    header.biCompression = compression;
    header.biClrUsed = clrUsed;
    const uint32_t rows = rowStride(w, bits) * uint32_t(h < 0 ? -h : h);
    const uint32_t table = bits <= 8 ? 4 * (clrUsed ? clrUsed : (1u << bits)) : 0;
    const uint32_t masks = compression == 3 ? 12 : 0;
    std::vector<uint8_t> block(40 + masks + table + rows, 0);
    std::memcpy(block.data(), &header, 40);
    return block;
}

TEST(DibFromBlock, RefusesWhatDoesNotFit)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> block;
    };
    std::vector<uint8_t> shortRows = dibBlock(10, 10, 24);
    shortRows.pop_back();
    std::vector<uint8_t> longHeader = dibBlock(4, 4, 24);
    uint32_t size = 5000;
    std::memcpy(longHeader.data(), &size, 4);
    std::vector<uint8_t> bigTable = dibBlock(4, 4, 8, 0, 0);
    uint32_t entries = 257;
    std::memcpy(bigTable.data() + 32, &entries, 4);
    const Case cases[] = {
        { "empty", {} },
        { "header only partly there", std::vector<uint8_t>(20, 0) },
        { "rows past the end", shortRows },
        { "header size past the end", longHeader },
        { "colour table larger than the depth allows", bigTable },
        { "zero width", dibBlock(0, 4, 24) },
        { "zero height", dibBlock(4, 0, 24) },
        { "wider than 20000", dibBlock(20001, 1, 1) },
        { "depth 2", dibBlock(4, 4, 2) },
        { "run-length compressed", dibBlock(4, 4, 8, 1) },
        { "bit fields on 24 bits", dibBlock(4, 4, 24, 3) },
        { "32-bit bit fields in another order", dibBlock(4, 4, 32, 3) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(dibFromBlock(c.block), nullptr) << c.what;
}

// The block with its three bit-field masks (red, green, blue) where they follow the header.
std::vector<uint8_t> withMasks(std::vector<uint8_t> block, uint32_t red, uint32_t green, uint32_t blue)
{
    const uint32_t masks[3] = { red, green, blue };
    std::memcpy(block.data() + 40, masks, 12);
    return block;
}

// Every kind of block the reader takes must be one the pixel accessors read whole, as Paste
// does right after; what they cannot read is refused.
TEST(DibFromBlock, AcceptsExactlyWhatThePixelAccessorsRead)
{
    // A 56-byte header holding its masks, as some programs put 16-bit blocks on the clipboard.
    std::vector<uint8_t> v3 = dibBlock(3, 2, 16, 3);
    v3.insert(v3.begin() + 40, 16, 0);
    const uint32_t v3Size = 56;
    std::memcpy(v3.data(), &v3Size, 4);
    v3 = withMasks(v3, 0xF800, 0x07E0, 0x001F);
    const struct {
        const char* what;
        std::vector<uint8_t> block;
        bool accepted;
    } cases[] = {
        { "1 bit, full table", dibBlock(9, 3, 1), true },
        { "1 bit, two entries", dibBlock(9, 3, 1, 0, 2), true },
        { "1 bit, one entry", dibBlock(9, 3, 1, 0, 1), false },
        { "1 bit, top-down", dibBlock(9, -3, 1, 0, 2), true },
        { "4 bits, one entry", dibBlock(5, 3, 4, 0, 1), true },
        { "4 bits, sixteen entries", dibBlock(5, 3, 4, 0, 16), true },
        { "4 bits, run-length", dibBlock(5, 3, 4, 2), false },
        { "8 bits, one entry", dibBlock(5, 3, 8, 0, 1), true },
        { "8 bits, full table", dibBlock(5, 3, 8), true },
        { "8 bits, run-length", dibBlock(5, 3, 8, 1), false },
        { "16 bits, 5-5-5", dibBlock(3, 2, 16), true },
        { "16 bits, 5-6-5 fields", withMasks(dibBlock(3, 2, 16, 3), 0xF800, 0x07E0, 0x001F), true },
        { "16 bits, fields in a 56-byte header", v3, true },
        { "16 bits, a mask above 16 bits", withMasks(dibBlock(3, 2, 16, 3), 0x1F0000, 0x07E0, 0x001F),
            false },
        { "16 bits, alpha bit fields", dibBlock(3, 2, 16, 6), false },
        { "24 bits", dibBlock(3, 2, 24), true },
        { "24 bits, JPEG", dibBlock(3, 2, 24, 4), false },
        { "32 bits", dibBlock(3, 2, 32), true },
        { "32 bits, the usual fields", withMasks(dibBlock(3, 2, 32, 3), 0xFF0000, 0xFF00, 0xFF), true },
        { "32 bits, PNG", dibBlock(3, 2, 32, 5), false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<PackedDib> dib = dibFromBlock(c.block);
        EXPECT_EQ(dib != nullptr, c.accepted);
        if (!dib)
            continue;
        access_pixel pixels(*dib);
        EXPECT_TRUE(pixels);
        if (!pixels)
            continue;
        for (int32_t row = 0; row < dib->height(); ++row)
            for (int32_t x = 0; x < dib->width(); ++x)
                EXPECT_GE(pixels->readPixel(x, row), 0);
        MaskedDib copy;
        EXPECT_FALSE(copyPixelsTo24Bit(*dib, copy));
    }
}

// The fuzz target starts from these: a seed the reader refuses would teach it nothing.
TEST(DibFromBlock, EveryClipboardSeedOfTheFuzzTargetReads)
{
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TESSARY_FUZZ_CORPUS "/clipboard")) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::unique_ptr<PackedDib> dib = dibFromBlock(ScratchFolder::read(entry.path().string()));
        EXPECT_TRUE(dib && access_pixel(*dib));
        ++seeds;
    }
    EXPECT_GT(seeds, 0);
}

TEST(DibFromBlock, TopDownBlocksAreTurnedOverAndTablesKept)
{
    std::vector<uint8_t> block = dibBlock(2, -3, 8, 0, 2);
    // Entry 1 is pure green; the top line (listed first) uses it.
    block[40 + 4 + 1] = 255;
    block[40 + 8 + 0] = 1;
    const auto dib = dibFromBlock(block);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->height(), 3);
    EXPECT_EQ(dib->colourTableEntries(), 2u);
    EXPECT_EQ(dib->row(2)[0], 1); // stored row 2 is the top line
    EXPECT_EQ(dib->row(0)[0], 0);
    MaskedDib copy;
    ASSERT_FALSE(copyPixelsTo24Bit(*dib, copy));
    EXPECT_EQ(pixelAt(copy, 0, 2), (BgrColour { 0, 255, 0 }));
    EXPECT_EQ(maskAt(copy, 1, 1), kOpaque);
}

TEST(DibFromBlock, SixteenBitFieldsAndThirtyTwoBitsRead)
{
    std::vector<uint8_t> b16 = dibBlock(2, 1, 16, 3);
    const uint32_t masks565[3] = { 0xF800, 0x07E0, 0x001F };
    std::memcpy(b16.data() + 40, masks565, 12);
    b16[52] = 0x00; // pixel 0: 0xF800, pure red
    b16[53] = 0xF8;
    MaskedDib copy;
    auto dib = dibFromBlock(b16);
    ASSERT_TRUE(dib);
    ASSERT_FALSE(copyPixelsTo24Bit(*dib, copy));
    // The reader keeps a channel's bits where its mask puts them: 0xF8 of a five-bit red.
    EXPECT_EQ(pixelAt(copy, 0, 0), (BgrColour { 0, 0, 0xF8 }));

    std::vector<uint8_t> b32 = dibBlock(1, 1, 32, 3);
    const uint32_t bgra[3] = { 0xFF0000, 0xFF00, 0xFF };
    std::memcpy(b32.data() + 40, bgra, 12);
    b32[52] = 7, b32[53] = 8, b32[54] = 9;
    dib = dibFromBlock(b32);
    ASSERT_TRUE(dib);
    ASSERT_FALSE(copyPixelsTo24Bit(*dib, copy));
    EXPECT_EQ(pixelAt(copy, 0, 0), (BgrColour { 7, 8, 9 }));
}

// The source-document layer as the commands see it: a new source takes the handed-over image;
// "closing all" closes every source.
struct NewSourceTest : ::testing::Test {
    PlacedSources s;
    SourceOpening opening;
    int closeAllCalls = 0;

    void SetUp() override
    {
        opening.createNewSource = [this] {
            VIrorozIzi* doc = constructSource(s.ws);
            const int32_t kind = s.ws.app.pendingSourceKind;
            bool made = false;
            if (kind == kSourceText) {
                doc->textBuffer = "Hi\r\n";
                if (auto image = renderTextImage(*doc, s.platform)) {
                    adoptTextImage(*doc, std::move(*image));
                    made = true;
                } else
                    s.ws.app.pendingSourceKind = kSourceTextCancelled;
            } else
                made = adoptHandoff(s.ws, *doc, kind);
            if (!made)
                discardUnmadeSource(s.ws, doc->number());
            return made;
        };
        opening.closeAllSources = [this] {
            ++closeAllCalls;
            while (s.ws.sourceCount > 0)
                closeSource(s.ws, s.platform, 1);
        };
    }
    void fill(int count)
    {
        while (s.ws.sourceCount < count)
            s.add(4, 4);
    }
    std::vector<uint8_t> clipboardOf(const MaskedDib& image)
    {
        const PackedDib& dib = *image.dib;
        return std::vector<uint8_t>(dib.data(), dib.data() + dib.size());
    }
};

TEST_F(NewSourceTest, PasteMakesAFullyOpaque24BitSource)
{
    fill(2);
    MaskedDib clip;
    ASSERT_FALSE(allocateMaskedDib(3, 5, clip, 8));
    clip.dib->data()[40 + 4 * 7 + 2] = 200; // entry 7: red 200
    clip.dib->row(1)[4] = 7;
    s.platform.clipboard = clipboardOf(clip);
    ASSERT_TRUE(pasteSource(s.ws, s.platform, opening));
    ASSERT_EQ(s.ws.sourceCount, 3);
    const VIrorozIzi& doc = *s.ws.source(3);
    EXPECT_EQ(doc.title, "Pasted Image");
    EXPECT_EQ(doc.sourceKind, kSourcePaste);
    EXPECT_EQ(doc.image.dib->bitCount(), 24);
    EXPECT_EQ(doc.imageWidth, 5);
    EXPECT_EQ(pixelAt(doc.image, 4, 1), (BgrColour { 0, 0, 200 }));
    EXPECT_EQ(maskAt(doc.image, 0, 0), kOpaque);
    EXPECT_TRUE(s.ws.handoffImage.empty());
}

TEST_F(NewSourceTest, PasteWithoutAReadableImageDoesNothing)
{
    fill(2);
    s.platform.clipboard.reset();
    EXPECT_FALSE(pasteSource(s.ws, s.platform, opening));
    s.platform.clipboard = std::vector<uint8_t>(30, 0xFF);
    EXPECT_FALSE(pasteSource(s.ws, s.platform, opening));
    EXPECT_EQ(s.ws.sourceCount, 2);
}

TEST_F(NewSourceTest, EightSourcesCloseOnlyAfterTheCopyExistsAndWhenTheUserAgrees)
{
    fill(8);
    s.platform.clipboard = clipboardOf(solidImage24(3, 3, BgrColour { 1, 2, 3 }));
    s.platform.expectMessage(kDestroyAllSourcesQuestion, MessageAnswer::No);
    EXPECT_FALSE(pasteSource(s.ws, s.platform, opening));
    EXPECT_EQ(s.ws.sourceCount, 8);

    s.platform.expectMessage(kDestroyAllSourcesQuestion, MessageAnswer::Yes);
    EXPECT_TRUE(pasteSource(s.ws, s.platform, opening));
    EXPECT_EQ(closeAllCalls, 1);
    EXPECT_EQ(s.ws.sourceCount, 1);
    EXPECT_EQ(s.ws.source(1)->title, "Pasted Image");
}

TEST_F(NewSourceTest, SendToNewSourceCopiesTheTargetWhichStaysItsOwn)
{
    fill(8);
    s.ready(1);
    s.ws.targetDoc.targetImage = solidImage24(6, 2, BgrColour { 9, 8, 7 }).dib->clone();
    const PackedDib* target = s.ws.targetDoc.targetImage.get();
    // With eight sources the target goes as the sources close; its copy was made before.
    s.platform.expectMessage(kDestroyAllSourcesQuestion, MessageAnswer::Yes);
    ASSERT_TRUE(sendToNewSource(s.ws, s.platform, opening));
    ASSERT_EQ(s.ws.sourceCount, 1);
    const VIrorozIzi& doc = *s.ws.source(1);
    EXPECT_EQ(doc.title, "Target to Source");
    EXPECT_EQ(doc.sourceKind, kSourceTargetCopy);
    EXPECT_EQ(pixelAt(doc.image, 5, 1), (BgrColour { 9, 8, 7 }));
    EXPECT_NE(static_cast<const void*>(doc.image.dib.get()), static_cast<const void*>(target));
    EXPECT_TRUE(s.ws.handoffImage.empty());
}

TEST_F(NewSourceTest, SendToNewSourceRefusesAMissingOrOutdatedTarget)
{
    fill(2);
    s.platform.expectMessage(kTargetNotPresentText);
    EXPECT_FALSE(sendToNewSource(s.ws, s.platform, opening));
    s.ws.targetDoc.targetImage = solidImage24(2, 2, BgrColour {}).dib->clone();
    s.ws.targetDoc.generated = 0;
    s.platform.expectMessage(kTargetNotUpdatedText);
    EXPECT_FALSE(sendToNewSource(s.ws, s.platform, opening));
    EXPECT_EQ(s.platform.messages.back().icon, MessageIcon::Plain);
    EXPECT_EQ(s.ws.sourceCount, 2);
}

TEST_F(NewSourceTest, NewTextRefusesANinthSourceAndACancelLeavesNone)
{
    fill(8);
    s.platform.expectMessage(kNoMoreThan8SourceImages);
    EXPECT_EQ(newText(s.ws, s.platform, opening), OpenResult::Refused);
    opening.closeAllSources();
    s.platform.expectMessage(kFontProblemText);
    s.platform.fontFails = true;
    EXPECT_EQ(newText(s.ws, s.platform, opening), OpenResult::Cancelled);
    EXPECT_EQ(s.ws.sourceCount, 0);
    s.platform.fontFails = false;
    EXPECT_EQ(newText(s.ws, s.platform, opening), OpenResult::Created);
    EXPECT_EQ(s.ws.source(1)->title, "Text");
}

// ---- Reload Source

TEST_F(NewSourceTest, ReloadAPasteTakesTheClipboardAgain)
{
    fill(1);
    VIrorozIzi& doc = *s.ws.source(1);
    doc.sourceKind = kSourcePaste;
    doc.editedInWindow = true;
    s.platform.clipboard.reset();
    EXPECT_FALSE(reloadSource(s.ws, s.platform, doc, {}));
    EXPECT_TRUE(doc.editedInWindow); // nothing was reloaded

    s.platform.clipboard = clipboardOf(solidImage24(7, 2, BgrColour { 50, 60, 70 }));
    s.platform.expectMessage(kReinstateClipboardText);
    EXPECT_TRUE(reloadSource(s.ws, s.platform, doc, {}));
    EXPECT_EQ(doc.imageWidth, 7);
    EXPECT_EQ(pixelAt(doc.image, 6, 1), (BgrColour { 50, 60, 70 }));
    EXPECT_TRUE(doc.changed);
    EXPECT_FALSE(doc.editedInWindow); // the window's changes are gone with the old image
}

TEST_F(NewSourceTest, ReloadATargetCopyAsksAndNoLeavesItAlone)
{
    fill(2);
    VIrorozIzi& doc = *s.ws.source(2);
    doc.sourceKind = kSourceTargetCopy;
    s.platform.expectMessage(kTargetNotPresentQuestionText);
    EXPECT_FALSE(reloadSource(s.ws, s.platform, doc, {}));

    s.ws.targetDoc.targetImage = solidImage24(9, 9, BgrColour { 1, 1, 1 }).dib->clone();
    s.platform.expectMessage(kCopyTargetAgainQuestion, MessageAnswer::No);
    EXPECT_FALSE(reloadSource(s.ws, s.platform, doc, {}));
    EXPECT_EQ(doc.imageWidth, 4);
    s.platform.expectMessage(kCopyTargetAgainQuestion, MessageAnswer::Yes);
    EXPECT_TRUE(reloadSource(s.ws, s.platform, doc, {}));
    EXPECT_EQ(doc.imageWidth, 9);
    EXPECT_EQ(doc.image.dib->bitCount(), 24);
}

TEST_F(NewSourceTest, ReloadATextSourceOpensTheEntryOnItsCurrentText)
{
    fill(2);
    VIrorozIzi& doc = *s.ws.source(2);
    doc.sourceKind = kSourceText;
    doc.textBuffer = "Current\r\n";
    std::string shown;
    const TextEntryDialog dialog = [&shown](VIrorozIzi& d, int mode, const std::function<void()>&) {
        EXPECT_EQ(mode, 1);
        shown = d.textBuffer;
        return true;
    };
    s.ready(1);
    s.platform.expectMessage(kRevertTextText);
    EXPECT_TRUE(reloadSource(s.ws, s.platform, doc, dialog));
    EXPECT_EQ(shown, "Current\r\n");
    EXPECT_EQ(doc.imageWidth, 64);
    // Transformed again, and the target is stale.
    EXPECT_EQ(s.transformed(2).width(), 64);
    EXPECT_TRUE(s.targetStale());
}

TEST_F(NewSourceTest, ReloadAFileLoadsItAgainAndAFileGoneKeepsTheImage)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "tessary_reload_test.bmp";
    ASSERT_TRUE(writeBmpFile(*solidImage24(5, 5, BgrColour { 3, 4, 5 }).dib, path.string()));
    fill(1);
    VIrorozIzi& doc = *s.ws.source(1);
    doc.sourceKind = kSourceImageFile;
    doc.filePath = path.string();
    EXPECT_TRUE(reloadSource(s.ws, s.platform, doc, {}));
    EXPECT_EQ(pixelAt(doc.image, 4, 4), (BgrColour { 3, 4, 5 }));

    std::filesystem::remove(path);
    s.platform.expectMessage(cannotOpenFileText(path.string()));
    EXPECT_FALSE(reloadSource(s.ws, s.platform, doc, {}));
    EXPECT_EQ(doc.imageWidth, 5);
    EXPECT_FALSE(doc.image.empty());
}

} // namespace
} // namespace tessary::testing
