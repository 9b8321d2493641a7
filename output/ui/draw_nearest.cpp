#include "output/ui/draw_nearest.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

namespace tessary {

PrinterMetrics printerMetrics(const QPaintDevice& device)
{
    return PrinterMetrics { device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY() };
}

bool drawNearest(QPainter& painter, const PackedDib& picture, const PageRect& target, const PageRect& clip,
    size_t bandBytes)
{
    const ScaledBands bands(picture, target, clip);
    if (!bands.ok())
        return !bands.failed();
    const PageRect& v = bands.visible();
    const int32_t step = bands.bandRows(bandBytes);
    QImage band(int(v.width()), step, QImage::Format_RGB888);
    if (band.isNull())
        return false;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // A PDF keeps the picture as it is instead of as a JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    for (int64_t y = v.top; y < v.bottom; y += step) {
        const int32_t rows = int32_t(std::min<int64_t>(step, v.bottom - y));
        bands.fillBand(y, rows, band.bits(), size_t(band.bytesPerLine()));
        painter.drawImage(QPoint(int(v.left), int(y)), band, QRect(0, 0, band.width(), rows));
    }
    painter.restore();
    return true;
}

} // namespace tessary
