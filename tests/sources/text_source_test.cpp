// Text sources: measuring and rendering, the stored and shown forms of the text, and the text
// entry's Ok, Cancel and Try Text on a document.
#include "align/placed_sources.h"
#include "app/edit_path.h"
#include "sources/edit_text.h"
#include "sources/source_doc.h"
#include "sources/text_buffer.h"
#include "sources/text_render.h"

#include <gtest/gtest.h>

namespace tessary::testing {
namespace {

// The fake renderer measures charWidth (8) per character and lineHeight (16) per line, and draws
// each character as a solid cell starting at (1, 1).
VIrorozIzi textDoc(const std::string& text)
{
    VIrorozIzi doc;
    doc.textBuffer = text;
    doc.textColour = 0x00FFFF; // yellow: red 255, green 255
    doc.textBackColour = 0x102030; // red 0x30, green 0x20, blue 0x10
    return doc;
}

TEST(TextLayout, SizesFollowTheMeasuredLines)
{
    GTestPlatform platform;
    struct Case {
        const char* text;
        int lines;
        int64_t width;
        int64_t height;
    };
    const Case cases[] = {
        // One character: W0 = 8, W = (8 + 16) down to 16; H = 16.
        { "A\r\n", 1, 16, 16 },
        // W0 = 24 gives 40 - 8 = 32.
        { "abc\r\nx\r\n", 2, 32, 32 },
        // Text after the last line feed is not measured.
        { "ab\r\nnot measured at all", 1, 32, 16 },
        { "no line end", 0, 16, 0 },
        // An empty line still has its height.
        { "\r\n\r\nabcdefgh\r\n", 3, 80, 48 },
    };
    for (const Case& c : cases) {
        const auto layout = measureTextLayout(c.text, LogFont {}, platform);
        ASSERT_TRUE(layout) << c.text;
        EXPECT_EQ(layout->lines, c.lines) << c.text;
        EXPECT_EQ(layout->width, c.width) << c.text;
        EXPECT_EQ(layout->height, c.height) << c.text;
    }
    // Line heights that do not add up to a multiple of 4 are cut down to one.
    platform.lineHeight = 15;
    EXPECT_EQ(measureTextLayout("a\r\nb\r\nc\r\n", LogFont {}, platform)->height, 44);
}

TEST(TextLayout, AHundredLinesAtMost)
{
    GTestPlatform platform;
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += "line\r\n";
    EXPECT_EQ(measureTextLayout(text, LogFont {}, platform)->lines, 100);
    EXPECT_EQ(measureTextLayout(text, LogFont {}, platform)->height, 1600);
}

TEST(TextLayout, StopsOnceMoreThan8192BytesWereConsumed)
{
    GTestPlatform platform;
    // Lines of 100 bytes (98 + CR LF): after 82 lines 8200 bytes are consumed.
    std::string text;
    for (int i = 0; i < 90; ++i)
        text += std::string(98, 'x') + "\r\n";
    EXPECT_EQ(measureTextLayout(text, LogFont {}, platform)->lines, 82);
}

TEST(RenderText, OneCharacterCentredOnTheBackground)
{
    GTestPlatform platform;
    VIrorozIzi doc = textDoc("A\r\n");
    auto image = renderTextImage(doc, platform);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width(), 16);
    ASSERT_EQ(image->height(), 16);
    EXPECT_EQ(image->dib->bitCount(), 24);
    // W0 = 8, so a = (16 - 8) / 2 = 4: the cell drawn at bitmap columns 1..8 lands on 5..12,
    // bitmap lines 1..15 on display lines 1..15 (stored rows 14..0).
    const BgrColour ink { 0x00, 0xFF, 0xFF }, back { 0x10, 0x20, 0x30 };
    for (int32_t line = 0; line < 16; ++line)
        for (int32_t x = 0; x < 16; ++x) {
            const bool text = line >= 1 && x >= 5 && x <= 12;
            EXPECT_EQ(pixelAt(*image, x, 15 - line), text ? ink : back) << x << "," << line;
            EXPECT_EQ(maskAt(*image, x, 15 - line), kOpaque);
        }
    adoptTextImage(doc, std::move(*image));
    EXPECT_EQ(doc.imageWidth, 16);
    EXPECT_EQ(doc.imageHeight, 16);
    EXPECT_EQ(doc.title, "Text");
    EXPECT_EQ(doc.sourceKind, kSourceText);
}

TEST(RenderText, TransparentBackgroundKeepsTheColourButOnlyTextIsOpaque)
{
    GTestPlatform platform;
    VIrorozIzi doc = textDoc("A\r\n");
    doc.textTransparentBack = 1;
    auto image = renderTextImage(doc, platform);
    ASSERT_TRUE(image);
    EXPECT_EQ(maskAt(*image, 6, 10), kOpaque);
    EXPECT_EQ(pixelAt(*image, 0, 0), (BgrColour { 0x10, 0x20, 0x30 }));
    EXPECT_EQ(maskAt(*image, 0, 0), kTransparent);
    EXPECT_EQ(maskAt(*image, 15, 15), kTransparent);
}

TEST(RenderText, FailuresSayWhyAndGiveNoImage)
{
    struct Case {
        std::string text;
        bool fontFails;
        int32_t lineHeight;
        const char* message;
    };
    const Case cases[] = {
        { "A\r\n", true, 16, kFontProblemText },
        { "no complete line", false, 16, kNoTextEnteredText },
        // Three pixels of height round down to none.
        { "A\r\n", false, 3, kNoTextEnteredText },
        // 4096 wide (511 characters) by 4100 high is over 16,777,216 pixels.
        { std::string(511, 'w') + "\r\n", false, 4100, kTextTooLargeText },
    };
    for (const Case& c : cases) {
        GTestPlatform platform;
        platform.fontFails = c.fontFails;
        platform.lineHeight = c.lineHeight;
        platform.expectMessage(c.message);
        EXPECT_FALSE(renderTextImage(textDoc(c.text), platform)) << c.message;
        EXPECT_EQ(platform.messages.at(0).icon, MessageIcon::Error);
    }
    // The limit itself is allowed: 4096 x 4096.
    GTestPlatform platform;
    platform.lineHeight = 4096;
    EXPECT_TRUE(renderTextImage(textDoc(std::string(511, 'w') + "\r\n"), platform));
}

TEST(TextBuffer, FieldAndStoredForms)
{
    // The closing line end is hidden in the field only; other line ends become line feeds.
    EXPECT_EQ(textForField("one\r\ntwo\r\n"), "one\ntwo");
    EXPECT_EQ(textForField("one\r\ntwo"), "one\ntwo");
    EXPECT_EQ(textForField(textForField("a\r\nb\r\n")), "a\nb");
    EXPECT_EQ(storedTextFromField("one\ntwo"), "one\r\ntwo");
    EXPECT_EQ(storedTextFromField("one\r\ntwo\rthree"), "one\r\ntwo\r\nthree");
    EXPECT_EQ(expandTabs("a\tb\t"), "a    b    ");
}

TEST(TextBuffer, CappingNeverSplitsACharacterOrALineEnd)
{
    EXPECT_EQ(storedTextFromField(std::string(9000, 'x')).size(), kMaxEnteredText);
    // "é" is two bytes: 4093 of them are 8186 bytes, one more would reach 8188.
    std::string accents;
    for (int i = 0; i < 4100; ++i)
        accents += "\xC3\xA9";
    const std::string capped = storedTextFromField(accents);
    EXPECT_EQ(capped.size(), 8186u);
    EXPECT_EQ(capped.substr(8184), "\xC3\xA9");
    // A line end that would straddle the limit is left out whole.
    const std::string lines = std::string(8186, 'x') + "\nmore";
    EXPECT_EQ(storedTextFromField(lines), std::string(8186, 'x'));
    EXPECT_EQ(capText("ab\r\n", 3), "ab");
}

// ---- the text entry on a document

struct TextEntryTest : ::testing::Test {
    PlacedSources s;
    int textSource = 0;

    void SetUp() override
    {
        s.add(40, 30);
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = 1;
        doc->textBuffer = "AB\r\n";
        auto image = renderTextImage(*doc, s.platform);
        adoptTextImage(*doc, std::move(*image));
        s.ws.documents[1] = std::move(doc);
        textSource = ++s.ws.sourceCount;
        ASSERT_EQ(transformSource(s.ws, s.platform, textSource), kTransformDone);
        s.ready(textSource);
    }
    VIrorozIzi& doc() { return *s.ws.source(textSource); }
};

TEST_F(TextEntryTest, OkRendersTheNewTextAndTheSourceIsEdited)
{
    const TextEntryDialog dialog = [](VIrorozIzi& d, int mode, const std::function<void()>&) {
        EXPECT_EQ(mode, 1);
        d.textBuffer = "ABCDEFG\r\n";
        return true;
    };
    EXPECT_EQ(editText(s.ws, s.platform, doc(), 1, dialog), TextEntryResult::Rendered);
    EXPECT_EQ(doc().imageWidth, 64); // 56 + 16 down to 16
    EXPECT_TRUE(doc().changed);
    EXPECT_TRUE(s.targetStale());
}

TEST_F(TextEntryTest, OkAfterTryTextsIsOneImageStepThatUndoesToTheImageFromBefore)
{
    const MaskedDib before = doc().image.clone();
    doc().editedInWindow = false;
    const TextEntryDialog dialog = [](VIrorozIzi& d, int, const std::function<void()>& tryText) {
        d.textBuffer = "Tried\r\n";
        tryText();
        d.textBuffer = "Tried again\r\n";
        tryText();
        d.textBuffer = "Kept\r\n";
        return true;
    };
    EXPECT_EQ(editText(s.ws, s.platform, doc(), 1, dialog), TextEntryResult::Rendered);
    ASSERT_EQ(s.ws.history.size(), 1u);
    EXPECT_EQ(s.ws.history.undoName(), "Edit Text");
    EXPECT_TRUE(doc().editedInWindow);
    const MaskedDib after = doc().image.clone();
    ASSERT_TRUE(undoEdit(s.ws, s.platform));
    EXPECT_TRUE(sameImage(doc().image, before));
    EXPECT_EQ(doc().imageWidth, before.width());
    EXPECT_FALSE(doc().editedInWindow);
    ASSERT_TRUE(redoEdit(s.ws, s.platform));
    EXPECT_TRUE(sameImage(doc().image, after));
}

TEST_F(TextEntryTest, CancelGivesBackTheTextAndTheImageFromBeforeTryText)
{
    const MaskedDib before = doc().image.clone();
    doc().textFont.faceName = "Old";
    const TextEntryDialog dialog = [](VIrorozIzi& d, int, const std::function<void()>& tryText) {
        d.textBuffer = "Tried text\r\n";
        d.textFont.faceName = "Chosen";
        tryText();
        // The tried image is in the source and its transformation at once.
        EXPECT_EQ(d.imageWidth, 96);
        d.textBuffer.clear(); // Zap Text, then Cancel
        return false;
    };
    EXPECT_EQ(editText(s.ws, s.platform, doc(), 1, dialog), TextEntryResult::Restored);
    EXPECT_TRUE(sameImage(doc().image, before));
    EXPECT_EQ(doc().imageWidth, 16 + 16);
    EXPECT_EQ(s.ws.history.size(), 0u);
    // The text Try Text stored stays, and so does the font chosen.
    EXPECT_EQ(doc().textBuffer, "Tried text\r\n");
    EXPECT_EQ(doc().textFont.faceName, "Chosen");
    EXPECT_TRUE(s.targetStale());
}

TEST_F(TextEntryTest, CancelWithoutTryTextChangesNothing)
{
    const TextEntryDialog dialog = [](VIrorozIzi& d, int, const std::function<void()>&) {
        d.textBuffer.clear();
        return false;
    };
    s.ws.targetDoc.generated = 1;
    EXPECT_EQ(editText(s.ws, s.platform, doc(), 1, dialog), TextEntryResult::Unchanged);
    EXPECT_EQ(doc().textBuffer, "AB\r\n");
    EXPECT_FALSE(doc().changed);
    EXPECT_EQ(s.ws.targetDoc.generated, 1);
}

TEST_F(TextEntryTest, ATextThatCannotRenderKeepsTheImage)
{
    const MaskedDib before = doc().image.clone();
    const TextEntryDialog dialog = [](VIrorozIzi& d, int, const std::function<void()>&) {
        d.textBuffer = "New\r\n";
        return true;
    };
    s.platform.fontFails = true;
    s.platform.expectMessage(kFontProblemText);
    EXPECT_EQ(editText(s.ws, s.platform, doc(), 1, dialog), TextEntryResult::Unchanged);
    EXPECT_TRUE(sameImage(doc().image, before));
}

TEST_F(TextEntryTest, TryTextRendersTheDocumentBeingEditedNotTheSelectedOne)
{
    s.ws.alignView.selectedSource = 1;
    const MaskedDib first = s.ws.source(1)->image.clone();
    const TextEntryDialog dialog = [](VIrorozIzi& d, int, const std::function<void()>& tryText) {
        d.textBuffer = "XYZ\r\n";
        tryText();
        return true;
    };
    EXPECT_EQ(editText(s.ws, s.platform, doc(), 1, dialog), TextEntryResult::Rendered);
    EXPECT_TRUE(sameImage(s.ws.source(1)->image, first));
    EXPECT_EQ(doc().imageWidth, 32);
}

} // namespace
} // namespace tessary::testing
