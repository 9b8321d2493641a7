#include "app/ui/dib_image.h"

#include "image/packed_dib.h"
#include "image/pixel_access.h"

#include <cstdlib>

namespace tessary {

QImage imageFromDib(const PackedDib& dib) { return imageFromDibPart(dib, QRect(0, 0, dib.width(), std::abs(dib.height()))); }

QImage imageFromDibPart(const PackedDib& dib, const QRect& part)
{
    const int32_t width = dib.width();
    const int32_t height = std::abs(dib.height());
    const uint32_t stride = dib.stride();
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide || stride == 0)
        return QImage();
    if (dib.pixelOffset() + size_t(stride) * size_t(height) > dib.size())
        return QImage();
    const QRect area = part.intersected(QRect(0, 0, width, height));
    if (area.isEmpty())
        return QImage();
    // A negative height stores the rows top-down.
    const bool topDown = dib.height() < 0;
    const int32_t left = area.left(), top = area.top();
    QImage image(area.width(), area.height(), QImage::Format_RGB32);
    if (image.isNull())
        return image;

    if (dib.bitCount() == 24 && dib.header().biCompression == 0) {
        for (int32_t y = 0; y < area.height(); ++y) {
            const int32_t line = top + y;
            const uint8_t* src = dib.row(topDown ? line : height - 1 - line) + 3 * size_t(left);
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int32_t x = 0; x < area.width(); ++x, src += 3)
                dst[x] = qRgb(src[2], src[1], src[0]);
        }
        return image;
    }

    // The accessors read through a writable bitmap; reading changes nothing but their pad
    // clearing, which keepPadding switches off.
    if (topDown)
        return QImage();
    PackedDib& readable = const_cast<PackedDib&>(dib);
    access_pixel access(readable);
    if (!access)
        return QImage();
    access->keepPadding();
    for (int32_t y = 0; y < area.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int32_t row = height - 1 - (top + y);
        for (int32_t x = 0; x < area.width(); ++x) {
            access->readPixel(left + x, row);
            dst[x] = qRgb(currentPixel.red, currentPixel.green, currentPixel.blue);
        }
    }
    return image;
}

} // namespace tessary
