#include "sources/ui/dib_image.h"

#include "image/packed_dib.h"
#include "image/pixel_access.h"

namespace tessary {

QImage imageFromDib(const PackedDib& dib)
{
    const int32_t width = dib.width();
    const int32_t height = dib.height();
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        return {};

    if (dib.bitCount() == 24 && dib.header().biCompression == 0
        && dib.pixelOffset() + size_t(dib.stride()) * size_t(height) <= dib.size()) {
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* source = dib.row(height - 1 - y);
            uint8_t* line = image.scanLine(y);
            for (int32_t x = 0; x < width; ++x) {
                line[3 * x] = source[3 * x + 2];
                line[3 * x + 1] = source[3 * x + 1];
                line[3 * x + 2] = source[3 * x];
            }
        }
        return image;
    }

    // The accessors take a writable bitmap because they can also write; this one only reads,
    // and keepPadding stops it clearing the row padding when it goes.
    access_pixel reader(const_cast<PackedDib&>(dib));
    if (!reader)
        return {};
    reader->keepPadding();
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* line = image.scanLine(y);
        const int32_t row = height - 1 - y;
        for (int32_t x = 0; x < width; ++x) {
            reader->readPixel(x, row);
            line[3 * x] = currentPixel.red;
            line[3 * x + 1] = currentPixel.green;
            line[3 * x + 2] = currentPixel.blue;
        }
    }
    return image;
}

} // namespace tessary
