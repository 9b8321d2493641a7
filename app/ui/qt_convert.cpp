#include "app/ui/qt_convert.h"

#include "image/packed_dib.h"

#include <cstring>

namespace tessary {

QStringList nameFiltersFromProgramFilter(const std::string& filter)
{
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList names;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        names << parts[i];
    }
    return names;
}

QFont fontFromLogFont(const LogFont& font)
{
    QFont f(QString::fromStdString(font.faceName));
    // A negative height is the character height in pixels; a positive one the cell height.
    const int pixels = font.height < 0 ? -font.height : (font.height > 0 ? font.height * 3 / 4 : 16);
    f.setPixelSize(pixels > 0 ? pixels : 16);
    f.setWeight(QFont::Weight(qBound(1, font.weight / 10 * 10 == 0 ? 400 : font.weight, 1000)));
    f.setItalic(font.italic != 0);
    f.setUnderline(font.underline != 0);
    f.setStrikeOut(font.strikeOut != 0);
    return f;
}

LogFont logFontFromFont(const QFont& font, const LogFont& base)
{
    LogFont f = base;
    f.faceName = font.family().toStdString();
    if (font.pixelSize() > 0)
        f.height = -font.pixelSize();
    else
        f.height = -int32_t(font.pointSizeF() * 96.0 / 72.0 + 0.5);
    f.weight = font.weight();
    f.italic = font.italic() ? 1 : 0;
    f.underline = font.underline() ? 1 : 0;
    f.strikeOut = font.strikeOut() ? 1 : 0;
    return f;
}

std::vector<uint8_t> dibBlockFromImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int32_t w = rgb.width(), h = rgb.height();
    const uint32_t stride = rowStride(w, 24);
    std::vector<uint8_t> block(40 + size_t(stride) * size_t(h), 0);
    BitmapInfoHeader header;
    header.biWidth = w;
    header.biHeight = h;
    header.biBitCount = 24;
    header.biSizeImage = stride * uint32_t(h);
    std::memcpy(block.data(), &header, sizeof header);
    for (int32_t y = 0; y < h; ++y) {
        const uchar* src = rgb.constScanLine(y);
        uint8_t* dst = block.data() + 40 + size_t(h - 1 - y) * stride;
        for (int32_t x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return block;
}

} // namespace tessary
