#pragma once
#include "output/print_layout.h"
#include "output/print_settings.h"

#include <cstdint>
#include <optional>

namespace tessary {

// A rectangle in pixels, right and bottom exclusive.
struct PageRect {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
    int64_t width() const { return right - left; }
    int64_t height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PageRect&, const PageRect&) = default;
};

// Where the printing puts a W x H picture, in device pixels from the printable area's top-left
// corner. With keep aspect the picture fills the page's width (aligned as set) or, when that
// would be too tall, its height (centred); stretched it fills the printable area; otherwise it
// sits at the margins with the applied size, and may reach past the page.
PageRect printRectangle(const PrintSettings& settings, const PrinterMetrics& metrics, int32_t W, int32_t H);

// The layout dialog's preview in the client rectangle `client`: the page, in the printer's
// proportions, 130 pixels from the left and 20 from the top and right; and, when there is a
// W x H picture, where it lies on that page. The page's height follows the printable area in
// inches, so a printer with unequal resolutions still shows the shape of its paper, and the
// picture keeps its own proportions on it.
struct PreviewPage {
    PageRect page;
    std::optional<PageRect> picture;
};
PreviewPage previewPage(
    const PrintLayout& layout, const PrinterMetrics& metrics, const PageRect& client, int32_t W, int32_t H);

// The preview page's height for a page `pw` pixels wide: the printable area's height in inches
// over its width in inches.
int64_t previewPageHeight(const PrinterMetrics& metrics, int64_t pw);

// The smallest client size whose preview shows the whole page of `metrics` (portrait pages are
// taller than wide): the page `pageWidth` pixels wide with 130 pixels to its left, 20 to its
// right and 20 above and below.
struct ClientSize {
    int32_t width;
    int32_t height;
};
ClientSize previewClientSize(const PrinterMetrics& metrics, int32_t pageWidth);

} // namespace tessary
