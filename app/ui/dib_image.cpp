#include "app/ui/dib_image.h"

#include "image/packed_dib.h"
#include "image/pixel_access.h"

#include <cstdlib>

namespace tessary {

QImage imageFromDib(const PackedDib& dib)
{
    const int32_t width = dib.width();
    const int32_t height = std::abs(dib.height());
    const uint32_t stride = dib.stride();
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide || stride == 0)
        return QImage();
    if (dib.pixelOffset() + size_t(stride) * size_t(height) > dib.size())
        return QImage();
    // A negative height stores the rows top-down.
    const bool topDown = dib.height() < 0;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;

    if (dib.bitCount() == 24 && dib.header().biCompression == 0) {
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* src = dib.row(topDown ? y : height - 1 - y);
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int32_t x = 0; x < width; ++x, src += 3)
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
    for (int32_t y = 0; y < height; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int32_t row = topDown ? y : height - 1 - y;
        for (int32_t x = 0; x < width; ++x) {
            access->readPixel(x, row);
            dst[x] = qRgb(currentPixel.red, currentPixel.green, currentPixel.blue);
        }
    }
    return image;
}

} // namespace tessary
