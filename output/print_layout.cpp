#include "output/print_layout.h"

#include <cmath>

namespace tessary {

PrintLayout initialPrintLayout(const PrinterMetrics& metrics)
{
    PrintLayout layout;
    layout.printWidth = layout.maxWidth = std::trunc(metrics.pageWidthInches() * 1000) / 1000;
    layout.printHeight = layout.maxHeight = std::trunc(metrics.pageHeightInches() * 1000) / 1000;
    layout.rightEdge = metrics.pageWidthInches();
    layout.bottomEdge = metrics.pageHeightInches();
    showLengths(layout);
    return layout;
}

FieldRange fieldRange(const PrintLayout& layout, PrintLayout::Field field)
{
    static constexpr double kMaxInches[] = { 10.0, 20.0, 50.0, 50.0 };
    return FieldRange { 0.0, kMaxInches[field] * layout.unitFactor };
}

void showLengths(PrintLayout& layout)
{
    layout.edit[PrintLayout::kLeft] = layout.leftMargin * layout.unitFactor;
    layout.edit[PrintLayout::kTop] = layout.topMargin * layout.unitFactor;
    layout.edit[PrintLayout::kWidth] = layout.printWidth * layout.unitFactor;
    layout.edit[PrintLayout::kHeight] = layout.printHeight * layout.unitFactor;
}

void keepAspectClicked(PrintLayout& layout)
{
    const bool set = layout.keepAspect != 0;
    layout.editsEnabled = !set;
    layout.stretchEnabled = !set;
    layout.alignEnabled = set;
    layout.stretchToPage = 0;
}

void stretchClicked(PrintLayout& layout)
{
    if (layout.stretchToPage != 0) {
        layout.editsEnabled = false;
    } else {
        layout.editsEnabled = true;
        layout.alignEnabled = false;
        layout.keepAspect = 0;
    }
}

void millimetresClicked(PrintLayout& layout)
{
    layout.useMillimetres = !layout.useMillimetres;
    layout.unitFactor = layout.useMillimetres ? kMillimetresPerInch : 1.0;
    showLengths(layout);
}

namespace {
// One direction of Apply: the applied length and the far edge of the picture on the page.
void applyLength(double typed, double margin, double maxLength, double pageLength, double unitFactor,
    double& length, double& edge, double& shown)
{
    if (typed >= maxLength || typed < 0) {
        length = maxLength;
        shown = maxLength * unitFactor;
        edge = pageLength + margin;
    } else {
        length = typed;
        edge = typed + margin;
    }
}
}

void applyLayout(PrintLayout& layout, const PrinterMetrics& metrics)
{
    const double uf = layout.unitFactor;
    const double left = layout.edit[PrintLayout::kLeft] / uf;
    const double top = layout.edit[PrintLayout::kTop] / uf;
    applyLength(layout.edit[PrintLayout::kWidth] / uf, left, layout.maxWidth, metrics.pageWidthInches(), uf,
        layout.printWidth, layout.rightEdge, layout.edit[PrintLayout::kWidth]);
    applyLength(layout.edit[PrintLayout::kHeight] / uf, top, layout.maxHeight, metrics.pageHeightInches(), uf,
        layout.printHeight, layout.bottomEdge, layout.edit[PrintLayout::kHeight]);
    layout.leftMargin = left;
    layout.topMargin = top;
}

int32_t layoutAlignment(const PrintLayout& layout)
{
    int32_t alignment = 1;
    if (layout.alignTop)
        alignment = 1;
    if (layout.alignMiddle)
        alignment = 2;
    if (layout.alignBottom)
        alignment = 3;
    return alignment;
}

PrintSettings layoutSettings(const PrintLayout& layout)
{
    PrintSettings s;
    s.printStretch = layout.stretchToPage;
    s.printAlignment = layoutAlignment(layout);
    s.printKeepAspect = layout.keepAspect;
    s.printWidthInches = layout.printWidth;
    s.printHeightInches = layout.printHeight;
    s.printLeftInches = layout.leftMargin;
    s.printTopInches = layout.topMargin;
    return s;
}

} // namespace tessary
