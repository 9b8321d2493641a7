#include "align/align_view_layout.h"
#include "align/align_view_text.h"
#include "sources/source_doc.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(FormatGeneral4, FourSignificantDigitsAndAPointOnWholeNumbers)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        { 4.1f, "4.1" },
        { 2.0, "2." },
        { 1.0, "1." },
        { 16.9f, "16.9" },
        { 1.0 / 0.1667f, "5.999" },
        { 1.0f / 0.5001f, "2." },
        { 333.4f, "333.4" },
        { 2667.0, "2667." },
        { 1234.56, "1235." },
        { 26672.0, "2.667e+04" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatGeneral4(c.value), c.text) << c.value;
}

TEST(AlignViewText, ViewingScaleLine)
{
    EXPECT_EQ(viewingScaleText(4.1f), "Viewing scale =  1/4.1  of actual size.");
    EXPECT_EQ(viewingScaleText(1.0f), "Viewing scale =  1/1.  of actual size.");
    EXPECT_EQ(viewingScaleText(0.5f), "Viewing scale =  2.  * actual size.");
    EXPECT_EQ(viewingScaleText(0.3f), "Viewing scale =  3.333  * actual size.");
}

TEST(AlignViewText, StripLinesTruncate)
{
    EXPECT_EQ(
        scalingText(1024.0, 512.0), "Selected source scaling % (before rotation) width/height = 100,50");
    EXPECT_EQ(scalingText(1023.0, 1.0), "Selected source scaling % (before rotation) width/height = 99,0");
    EXPECT_EQ(
        transformedPixelsText(640, 480), "Selected source pixels (after rotation) width/height = 640,480");
    EXPECT_EQ(rotationText(-12.7), "Rotation angle = -12");
    EXPECT_EQ(rotationText(179.9), "Rotation angle = 179");
    EXPECT_EQ(selectedSourceHeading(3), "Source 3 selected");
}

TEST(AlignViewText, SourceKindLines)
{
    EXPECT_EQ(sourceKindText(kSourceText, false), "text");
    EXPECT_EQ(sourceKindText(kSourceText, true), "Text - too small increase font size.");
    EXPECT_EQ(sourceKindText(kSourceImageFile, true), "image");
    EXPECT_EQ(sourceKindText(kSourceTargetCopy, false), "target_to_src");
    EXPECT_EQ(sourceKindText(kSourcePaste, false), "Paste");
    EXPECT_FALSE(sourceKindText(kSourceTextCancelled, false));
}

TEST(AlignViewText, TipLineFollowsBits8To10)
{
    EXPECT_EQ(tipLineText(0), "Tip:  Click right mouse to select next source.");
    EXPECT_EQ(tipLineText(255), "Tip:  Click right mouse to select next source.");
    EXPECT_EQ(tipLineText(256), "Tip:  Switch to target when done aligning.");
    EXPECT_EQ(tipLineText(0x500), "Remember: position images first then switch to the target window.");
    EXPECT_EQ(
        tipLineText(0x7FF), "Tip:  You have the option of aborting lengthy processing by pressing Esc.");
    EXPECT_EQ(tipLineText(0x800), tipLineText(0)); // wraps after eight
    EXPECT_EQ(tipLineText(-256), tipLineText(0x700)); // a counter that ran past the top still picks a tip
}

TEST(AlignViewText, StatusAndPromptLines)
{
    EXPECT_EQ(
        previewStatusLines(3).at(1), "both source images is RLE bitmap which cannot be handled by Tessary.");
    EXPECT_EQ(previewStatusLines(4).at(0), "Quit preview image generation.");
    EXPECT_EQ(
        previewStatusLines(0), std::vector<std::string> { "The Align preview image is not available." });
    EXPECT_EQ(previewStatusLines(-1).size(), 1u);
    EXPECT_EQ(loadingPromptLines(0).size(), 2u);
    EXPECT_EQ(loadingPromptLines(1).at(0), "Now load the 2nd source image or text.");
}

TEST(AlignViewLayout, GradientBands)
{
    // A client height of 356: bands of 256 / 128 + 1 = 3 pixels.
    EXPECT_EQ(gradientBandHeight(356), 3);
    const std::vector<GradientBand> bands = loadingBackground(800, 356);
    ASSERT_EQ(bands.size(), 1u + 86u); // tops 100, 103, ... 355
    EXPECT_EQ(bands[0].rect, (ViewRect { 0, 0, 800, 100 }));
    EXPECT_EQ(bands[0].colour, (Rgb { 192, 208, 240 }));
    EXPECT_EQ(bands[1].rect, (ViewRect { 0, 100, 800, 103 }));
    EXPECT_EQ(bands[1].colour, (Rgb { 192, 208, 240 }));
    EXPECT_EQ(bands[86].rect.top, 355);
    EXPECT_EQ(bands[86].colour, (Rgb { 107, 123, 155 }));
    // Even a tall view stays within 128 bands, so the colours never run below zero.
    EXPECT_LE(loadingBackground(100, 20000).size(), 129u);
    EXPECT_EQ(loadingBackground(100, 100).size(), 1u);
}

TEST(AlignViewLayout, SurroundStripAndSizes)
{
    const auto hatch = hatchedSurround(156, 135, 487, 195, 800, 600);
    EXPECT_EQ(hatch[0], (ViewRect { 0, 0, 800, 135 }));
    EXPECT_EQ(hatch[1], (ViewRect { 0, 135, 156, 330 }));
    EXPECT_EQ(hatch[2], (ViewRect { 643, 135, 800, 330 }));
    EXPECT_EQ(hatch[3], (ViewRect { 0, 330, 800, 570 }));
    EXPECT_EQ(stripRect(800, 600), (ViewRect { 180, 570, 800, 600 }));
    EXPECT_EQ(selectedBoxRect(600), (ViewRect { 0, 550, 180, 600 }));
    EXPECT_TRUE(alignWindowTooSmall(599, 800));
    EXPECT_TRUE(alignWindowTooSmall(800, 399));
    EXPECT_FALSE(alignWindowTooSmall(600, 400));
}

} // namespace
} // namespace tessary
