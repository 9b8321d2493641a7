#include "output/number_field.h"
#include "output/print_geometry.h"
#include "output/print_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace tessary {
namespace {

// A 600-dpi printer with a printable area of 8 x 11 inches.
constexpr PrinterMetrics kPrinter600 { 4800, 6600, 600, 600 };

TEST(PrintLayout, OpensAtThePrintableSizeInInchesAndMillimetres)
{
    PrintLayout layout = initialPrintLayout(kPrinter600);
    EXPECT_EQ(layout.printWidth, 8.0);
    EXPECT_EQ(layout.printHeight, 11.0);
    EXPECT_EQ(layout.maxWidth, 8.0);
    EXPECT_EQ(layout.maxHeight, 11.0);
    EXPECT_EQ(layout.edit[PrintLayout::kLeft], 0.0);
    EXPECT_EQ(layout.edit[PrintLayout::kTop], 0.0);
    EXPECT_EQ(layout.edit[PrintLayout::kWidth], 8.0);
    EXPECT_EQ(layout.edit[PrintLayout::kHeight], 11.0);
    EXPECT_TRUE(layout.keepAspect && layout.alignTop && !layout.stretchToPage);
    EXPECT_TRUE(layout.alignEnabled && !layout.editsEnabled && !layout.stretchEnabled);

    millimetresClicked(layout);
    EXPECT_EQ(layout.unitFactor, 25.4);
    EXPECT_EQ(formatNumber(layout.edit[PrintLayout::kWidth]), "203.2");
    EXPECT_EQ(formatNumber(layout.edit[PrintLayout::kHeight]), "279.4");
    EXPECT_EQ(fieldRange(layout, PrintLayout::kLeft).max, 254.0);
    EXPECT_EQ(fieldRange(layout, PrintLayout::kTop).max, 508.0);
    EXPECT_EQ(formatNumber(fieldRange(layout, PrintLayout::kWidth).max), "1270");
    millimetresClicked(layout);
    EXPECT_EQ(layout.unitFactor, 1.0);
    EXPECT_EQ(formatNumber(layout.edit[PrintLayout::kWidth]), "8");
}

TEST(PrintLayout, PrintableSizeIsTruncatedToThousandthsButTheEdgesAreNot)
{
    const PrintLayout layout = initialPrintLayout(PrinterMetrics { 4799, 6601, 600, 600 });
    EXPECT_DOUBLE_EQ(layout.printWidth, 7.998);
    EXPECT_DOUBLE_EQ(layout.printHeight, 11.001);
    EXPECT_DOUBLE_EQ(layout.rightEdge, 4799.0 / 600);
    EXPECT_DOUBLE_EQ(layout.bottomEdge, 6601.0 / 600);
}

TEST(PrintLayout, PrinterMetricsMustAllBePositive)
{
    EXPECT_TRUE(kPrinter600.usable());
    for (const PrinterMetrics& bad :
        { PrinterMetrics { 0, 6600, 600, 600 }, PrinterMetrics { 4800, -1, 600, 600 },
            PrinterMetrics { 4800, 6600, 0, 600 }, PrinterMetrics { 4800, 6600, 600, 0 } })
        EXPECT_FALSE(bad.usable());
}

TEST(PrintLayout, CheckBoxesEnableTheControls)
{
    PrintLayout layout = initialPrintLayout(kPrinter600);
    // "Keep aspect ratio" cleared: the lengths and stretching take over from the alignment.
    layout.keepAspect = 0;
    layout.stretchToPage = 1; // a stale value the click clears
    keepAspectClicked(layout);
    EXPECT_TRUE(layout.editsEnabled && layout.stretchEnabled && !layout.alignEnabled);
    EXPECT_EQ(layout.stretchToPage, 0);
    // Stretching set: nothing to type, and the alignment stays off.
    layout.stretchToPage = 1;
    stretchClicked(layout);
    EXPECT_TRUE(!layout.editsEnabled && !layout.alignEnabled && layout.stretchEnabled);
    // Stretching cleared again.
    layout.stretchToPage = 0;
    stretchClicked(layout);
    EXPECT_TRUE(layout.editsEnabled && !layout.alignEnabled);
    EXPECT_EQ(layout.keepAspect, 0);
    // "Keep aspect ratio" set again: back to the alignment.
    layout.keepAspect = 1;
    keepAspectClicked(layout);
    EXPECT_TRUE(!layout.editsEnabled && !layout.stretchEnabled && layout.alignEnabled);
}

TEST(PrintLayout, ApplyTakesTheTypedLengthsAndCapsTheSize)
{
    PrintLayout layout = initialPrintLayout(kPrinter600);
    layout.edit = { 1.0, 1.5, 3.0, 2.0 };
    applyLayout(layout, kPrinter600);
    EXPECT_EQ(layout.leftMargin, 1.0);
    EXPECT_EQ(layout.topMargin, 1.5);
    EXPECT_EQ(layout.printWidth, 3.0);
    EXPECT_EQ(layout.printHeight, 2.0);
    EXPECT_EQ(layout.rightEdge, 4.0);
    EXPECT_EQ(layout.bottomEdge, 3.5);

    // At or above the printable size, or below 0: the printable size, shown in its field; the
    // edge is then the page's own plus the margin.
    for (double typed : { 8.0, 9.5, -1.0 }) {
        layout.edit = { 0.5, 0.0, typed, 11.0 };
        applyLayout(layout, kPrinter600);
        EXPECT_EQ(layout.printWidth, 8.0) << typed;
        EXPECT_EQ(layout.edit[PrintLayout::kWidth], 8.0) << typed;
        EXPECT_EQ(layout.rightEdge, 8.5) << typed;
        EXPECT_EQ(layout.printHeight, 11.0) << typed;
        EXPECT_EQ(layout.bottomEdge, 11.0) << typed;
    }

    // In millimetres the fields are converted back to inches.
    millimetresClicked(layout);
    layout.edit = { 25.4, 50.8, 76.2, 5000.0 };
    applyLayout(layout, kPrinter600);
    EXPECT_DOUBLE_EQ(layout.leftMargin, 1.0);
    EXPECT_DOUBLE_EQ(layout.topMargin, 2.0);
    EXPECT_DOUBLE_EQ(layout.printWidth, 3.0);
    EXPECT_EQ(layout.printHeight, 11.0);
    EXPECT_DOUBLE_EQ(layout.edit[PrintLayout::kHeight], 11.0 * 25.4);
}

TEST(PrintLayout, PrintKeepsOnlyWhatWasApplied)
{
    PrintLayout layout = initialPrintLayout(kPrinter600);
    layout.keepAspect = 0;
    keepAspectClicked(layout);
    layout.edit = { 1.0, 1.5, 3.0, 2.0 };
    applyLayout(layout, kPrinter600);
    layout.edit[PrintLayout::kWidth] = 5.0; // typed, not applied
    layout.edit[PrintLayout::kLeft] = 2.0;
    layout.alignTop = 0;
    layout.alignMiddle = 1;
    const PrintSettings s = layoutSettings(layout);
    EXPECT_EQ(s.printWidthInches, 3.0);
    EXPECT_EQ(s.printLeftInches, 1.0);
    EXPECT_EQ(s.printHeightInches, 2.0);
    EXPECT_EQ(s.printTopInches, 1.5);
    EXPECT_EQ(s.printKeepAspect, 0);
    EXPECT_EQ(s.printStretch, 0);
    EXPECT_EQ(s.printAlignment, 2);
}

TEST(PrintLayout, TheLastSetAlignmentButtonWins)
{
    struct Case {
        int32_t top, middle, bottom, alignment;
    };
    for (const Case& c : { Case { 1, 0, 0, 1 }, Case { 0, 1, 0, 2 }, Case { 0, 0, 1, 3 }, Case { 1, 1, 0, 2 },
             Case { 1, 0, 1, 3 }, Case { 0, 0, 0, 1 } }) {
        PrintLayout layout;
        layout.alignTop = c.top;
        layout.alignMiddle = c.middle;
        layout.alignBottom = c.bottom;
        EXPECT_EQ(layoutAlignment(layout), c.alignment) << c.top << c.middle << c.bottom;
    }
}

TEST(PrintRectangle, PlacesThePictureOnTheSixHundredDpiPage)
{
    PrintSettings keep;
    struct Case {
        int32_t alignment, W, H;
        PageRect expected;
    };
    for (const Case& c : {
             // Landscape: the page's width, aligned.
             Case { 3, 3000, 1000, { 0, 5000, 4800, 6600 } },
             Case { 2, 3000, 1000, { 0, 2500, 4800, 4100 } },
             Case { 1, 3000, 1000, { 0, 0, 4800, 1600 } },
             // Portrait: the page's height, centred whatever the alignment.
             Case { 1, 1000, 3000, { 1300, 0, 3500, 6600 } },
             Case { 3, 1000, 3000, { 1300, 0, 3500, 6600 } },
             // The page's own proportions fill it exactly.
             Case { 2, 800, 1100, { 0, 0, 4800, 6600 } },
         }) {
        keep.printAlignment = c.alignment;
        EXPECT_EQ(printRectangle(keep, kPrinter600, c.W, c.H), c.expected)
            << c.W << "x" << c.H << " " << c.alignment;
    }

    PrintSettings stretch;
    stretch.printKeepAspect = 0;
    stretch.printStretch = 1;
    EXPECT_EQ(printRectangle(stretch, kPrinter600, 10, 3000), (PageRect { 0, 0, 4800, 6600 }));

    PrintSettings margins;
    margins.printKeepAspect = 0;
    margins.printLeftInches = 1.0;
    margins.printTopInches = 1.5;
    margins.printWidthInches = 3.0;
    margins.printHeightInches = 2.0;
    EXPECT_EQ(printRectangle(margins, kPrinter600, 10, 3000), (PageRect { 600, 900, 2400, 2100 }));
    // Nothing is clipped to the page.
    margins.printLeftInches = 6.0;
    margins.printWidthInches = 7.9;
    EXPECT_EQ(printRectangle(margins, kPrinter600, 10, 3000).right, 3600 + 4740);
}

TEST(PrintRectangle, KeepsThePicturesShapeOnPaperWithUnequalResolutions)
{
    // 8 x 11 inches at 600 dpi across and 300 dpi down: a square picture is 8 inches square.
    const PrinterMetrics printer { 4800, 3300, 600, 300 };
    PrintSettings keep;
    EXPECT_EQ(printRectangle(keep, printer, 500, 500), (PageRect { 0, 0, 4800, 2400 }));
}

TEST(PreviewPage, PageAndPictureInTheDialogsClientArea)
{
    const PageRect client { 0, 0, 600, 700 };
    PrintLayout layout = initialPrintLayout(kPrinter600);
    // pw = 580 - 130 = 450; 450 x 11 / 8 = 618.75.
    const PreviewPage empty = previewPage(layout, kPrinter600, client, 0, 0);
    EXPECT_EQ(empty.page, (PageRect { 130, 20, 580, 638 }));
    EXPECT_FALSE(empty.picture);

    struct Case {
        const char* what;
        int32_t W, H;
        PageRect expected;
    };
    layout.alignTop = 0;
    layout.alignBottom = 1;
    for (const Case& c : { Case { "landscape at the bottom", 3000, 1000, { 130, 488, 580, 638 } },
             // h = 1350 > 618: A = 618 x 450 / 1350 = 206, centred.
             Case { "portrait", 1000, 3000, { 252, 20, 458, 638 } } }) {
        const PreviewPage p = previewPage(layout, kPrinter600, client, c.W, c.H);
        ASSERT_TRUE(p.picture) << c.what;
        EXPECT_EQ(*p.picture, c.expected) << c.what;
    }

    layout.keepAspect = 0;
    layout.stretchToPage = 1;
    EXPECT_EQ(*previewPage(layout, kPrinter600, client, 30, 10).picture, empty.page);

    layout.stretchToPage = 0;
    layout.edit = { 1.0, 1.5, 3.0, 2.0 };
    applyLayout(layout, kPrinter600);
    // 450 x 1/8 = 56.25, 450 x 4/8 = 225, 618 x 1.5/11 = 84.3, 618 x 3.5/11 = 196.6.
    EXPECT_EQ(*previewPage(layout, kPrinter600, client, 30, 10).picture, (PageRect { 186, 104, 355, 216 }));
    // A picture reaching past the page stops at its edge.
    layout.edit = { 6.0, 10.0, 7.0, 5.0 };
    applyLayout(layout, kPrinter600);
    EXPECT_EQ(*previewPage(layout, kPrinter600, client, 30, 10).picture, (PageRect { 467, 581, 580, 638 }));
}

TEST(PreviewPage, PageHasThePapersShapeWithUnequalResolutions)
{
    // 4800 px at 600 dpi across, 3300 px at 300 dpi down: 8 x 11 inches.
    const PrinterMetrics printer { 4800, 3300, 600, 300 };
    PrintLayout layout = initialPrintLayout(printer);
    const PreviewPage p = previewPage(layout, printer, PageRect { 0, 0, 600, 700 }, 500, 500);
    EXPECT_EQ(p.page.height(), 618);
    // A square picture stays square on the preview.
    ASSERT_TRUE(p.picture);
    EXPECT_EQ(p.picture->width(), 450);
    EXPECT_EQ(p.picture->height(), 450);
    EXPECT_EQ(previewClientSize(printer, 450).height, 20 + 618 + 20);
    EXPECT_EQ(previewClientSize(printer, 450).width, 600);
}

TEST(NumberField, ReadsLengthsAndNamesTheRange)
{
    struct Case {
        const char* text;
        double min, max;
        std::optional<double> value;
        const char* message;
    };
    for (const Case& c : {
             Case { "8", 0, 50, 8.0, "" },
             Case { " 2.5 ", 0, 50, 2.5, "" },
             Case { "+3", 0, 50, 3.0, "" },
             Case { "0", 0, 10, 0.0, "" },
             Case { "50", 0, 50, 50.0, "" },
             Case { "1e1", 0, 50, 10.0, "" },
             Case { "50.01", 0, 50, std::nullopt, "Enter a number between 0 and 50." },
             Case { "-1", 0, 10, std::nullopt, "Enter a number between 0 and 10." },
             Case { "600", 0, 20 * 25.4, std::nullopt, "Enter a number between 0 and 508." },
             Case { "", 0, 50, std::nullopt, "Please enter a number." },
             Case { "2,5", 0, 50, std::nullopt, "Please enter a number." },
             Case { "abc", 0, 50, std::nullopt, "Please enter a number." },
             Case { "inf", 0, 50, std::nullopt, "Please enter a number." },
             Case { "nan", 0, 50, std::nullopt, "Please enter a number." },
             Case { "0x10", 0, 50, std::nullopt, "Please enter a number." },
             Case { "3 4", 0, 50, std::nullopt, "Please enter a number." },
         }) {
        const NumberField read = readNumberField(c.text, c.min, c.max);
        EXPECT_EQ(read.value, c.value) << c.text;
        EXPECT_EQ(read.message, c.message) << c.text;
    }
}

} // namespace
} // namespace tessary
