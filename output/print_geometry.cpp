#include "output/print_geometry.h"

#include <algorithm>
#include <cmath>

namespace tessary {

namespace {
constexpr int32_t kPreviewLeft = 130;
constexpr int32_t kPreviewGap = 20;

// A length on paper times a resolution, truncated; huge values stay far outside any page
// instead of overflowing.
int64_t devicePixels(double pixelsPerInch, double inches)
{
    return int64_t(std::clamp(std::trunc(pixelsPerInch * inches), -1e15, 1e15));
}

// The picture `height` high across the page's whole width, placed by the alignment.
int64_t alignedTop(int32_t alignment, int64_t pageTop, int64_t pageBottom, int64_t height)
{
    if (alignment == 2)
        return pageTop + (pageBottom - pageTop - height) / 2;
    if (alignment == 3)
        return pageBottom - height;
    return pageTop;
}
}

PageRect printRectangle(const PrintSettings& settings, const PrinterMetrics& m, int32_t W, int32_t H)
{
    if (settings.printKeepAspect == 1) {
        const int64_t h = int64_t(m.horzRes) * H * m.logPixelsY / (int64_t(m.logPixelsX) * W);
        if (m.vertRes < h) {
            const int64_t w = int64_t(m.horzRes) * m.vertRes / h;
            const int64_t left = (m.horzRes - w) / 2;
            return PageRect { left, 0, left + w, m.vertRes };
        }
        const int64_t top = alignedTop(settings.printAlignment, 0, m.vertRes, h);
        return PageRect { 0, top, m.horzRes, top + h };
    }
    if (settings.printStretch == 1)
        return PageRect { 0, 0, m.horzRes, m.vertRes };
    const int64_t x0 = devicePixels(m.logPixelsX, settings.printLeftInches);
    const int64_t y0 = devicePixels(m.logPixelsY, settings.printTopInches);
    return PageRect { x0, y0, x0 + devicePixels(m.logPixelsX, settings.printWidthInches),
        y0 + devicePixels(m.logPixelsY, settings.printHeightInches) };
}

PreviewPage previewPage(
    const PrintLayout& layout, const PrinterMetrics& m, const PageRect& client, int32_t W, int32_t H)
{
    PreviewPage preview;
    PageRect& page = preview.page;
    page.left = client.left + kPreviewLeft;
    page.right = client.right - kPreviewGap;
    page.top = client.top + kPreviewGap;
    const int64_t pw = page.right - page.left;
    const int64_t ph = previewPageHeight(m, pw);
    page.bottom = page.top + ph;
    if (W <= 0 || H <= 0 || pw <= 0 || ph <= 0)
        return preview;

    PageRect picture;
    if (layout.keepAspect) {
        const int64_t h = pw * H / W;
        if (h > ph) {
            const double A = double(ph) * double(pw) / double(h);
            picture.left = page.left + int64_t((double(pw) - A) / 2);
            picture.right = picture.left + int64_t(A);
            picture.top = page.top;
            picture.bottom = page.bottom;
        } else {
            picture.left = page.left;
            picture.right = page.right;
            picture.top = alignedTop(layoutAlignment(layout), page.top, page.bottom, h);
            picture.bottom = picture.top + h;
        }
    } else if (layout.stretchToPage) {
        picture = page;
    } else {
        picture.left = page.left + int64_t(double(pw) * layout.leftMargin * m.logPixelsX / m.horzRes);
        picture.right
            = page.left + int64_t(double(pw) * std::min(1.0, layout.rightEdge * m.logPixelsX / m.horzRes));
        picture.top = page.top + int64_t(double(ph) * layout.topMargin * m.logPixelsY / m.vertRes);
        picture.bottom
            = page.top + int64_t(double(ph) * std::min(1.0, layout.bottomEdge * m.logPixelsY / m.vertRes));
    }
    preview.picture = picture;
    return preview;
}

int64_t previewPageHeight(const PrinterMetrics& m, int64_t pw)
{
    // The page's height in inches over its width in inches, at pw pixels across.
    if (pw <= 0)
        return 0;
    return pw * m.vertRes * m.logPixelsX / (int64_t(m.horzRes) * m.logPixelsY);
}

ClientSize previewClientSize(const PrinterMetrics& m, int32_t pageWidth)
{
    return ClientSize { kPreviewLeft + pageWidth + kPreviewGap,
        int32_t(std::min<int64_t>(kPreviewGap + previewPageHeight(m, pageWidth) + kPreviewGap, INT32_MAX)) };
}

} // namespace tessary
