#pragma once
#include "output/print_settings.h"

#include <array>
#include <cstdint>

namespace tessary {

// What the chosen printer reports: the printable area in device pixels and the device pixels per
// inch each way.
struct PrinterMetrics {
    int32_t horzRes = 0; // HORZRES
    int32_t vertRes = 0; // VERTRES
    int32_t logPixelsX = 0; // LOGPIXELSX
    int32_t logPixelsY = 0; // LOGPIXELSY

    // Every layout divides by all four: a printer reporting zero or less for any is refused.
    bool usable() const { return horzRes > 0 && vertRes > 0 && logPixelsX > 0 && logPixelsY > 0; }
    double pageWidthInches() const { return double(horzRes) / logPixelsX; }
    double pageHeightInches() const { return double(vertRes) / logPixelsY; }
};

inline constexpr const char* kUnusablePrinter
    = "The chosen printer reports no printable area or no resolution. Please choose another printer.";

// The state of the "Configure Print Layout" dialog. Lengths are inches; the edit values are what
// the four fields show, in the unit of the dialog (inches x unitFactor).
struct PrintLayout {
    int32_t alignTop = 1;
    int32_t alignMiddle = 0;
    int32_t alignBottom = 0;
    int32_t keepAspect = 1;
    int32_t stretchToPage = 0;
    bool useMillimetres = false;
    double unitFactor = 1.0;

    // As last applied.
    double printWidth = 0.0;
    double printHeight = 0.0;
    double maxWidth = 0.0;
    double maxHeight = 0.0;
    double leftMargin = 0.0;
    double topMargin = 0.0;
    double rightEdge = 0.0;
    double bottomEdge = 0.0;

    // The fields "Left margin", "Top margin", "Width", "Height", in that order.
    enum Field { kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3 };
    std::array<double, 4> edit {};

    // Which controls take input: the three alignment buttons; the four edits with Apply;
    // "Stretch/compress to fit page". "Keep aspect ratio" always does.
    bool alignEnabled = true;
    bool editsEnabled = false;
    bool stretchEnabled = false;
};

inline constexpr double kMillimetresPerInch = 25.4;

// The layout a dialog opens with for a usable printer: the printable size truncated to
// thousandths of an inch, no margins, keep aspect, aligned to the top.
PrintLayout initialPrintLayout(const PrinterMetrics& metrics);

// The accepted range of each field, in the dialog's unit: margins 0..10 and 0..20 inches,
// width and height 0..50 inches.
struct FieldRange {
    double min;
    double max;
};
FieldRange fieldRange(const PrintLayout& layout, PrintLayout::Field field);

// Puts the four applied lengths into the edit values in the dialog's unit.
void showLengths(PrintLayout& layout);

// The clicks, each after the dialog has read its controls into `layout`.
void keepAspectClicked(PrintLayout& layout);
void stretchClicked(PrintLayout& layout);
// Switches between inches and millimetres; the fields show the applied lengths again.
void millimetresClicked(PrintLayout& layout);

// Apply: the edit values become the applied size and margins. A width or height at or above the
// printable size, or below 0, becomes the printable size (and its field shows it).
void applyLayout(PrintLayout& layout, const PrinterMetrics& metrics);

// The alignment of the radio buttons: 1 top, 2 middle, 3 bottom, the last set one winning.
int32_t layoutAlignment(const PrintLayout& layout);

// What Print keeps for the printing: the applied values only (typed edits without Apply do
// not count).
PrintSettings layoutSettings(const PrintLayout& layout);

} // namespace tessary
