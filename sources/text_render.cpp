#include "sources/text_render.h"

#include "image/cx_image.h"
#include "sources/source_doc.h"

#include <algorithm>
#include <cstring>

namespace tessary {

std::optional<TextLayout> measureTextLayout(const std::string& text, const LogFont& font, Platform& platform)
{
    // The font is made before anything is measured, so an empty text still tells a bad font.
    if (!platform.measureText(font, std::string()))
        return std::nullopt;
    TextLayout layout;
    size_t start = 0;
    while (layout.lines < kMaxTextLines && start <= kMaxMeasuredTextBytes) {
        const size_t lineFeed = text.find('\n', start);
        if (lineFeed == std::string::npos)
            break;
        // The character before the line feed is the line's carriage return.
        const size_t length = lineFeed > start ? lineFeed - start - 1 : 0;
        const std::optional<TextExtent> extent = platform.measureText(font, text.substr(start, length));
        if (!extent)
            return std::nullopt;
        layout.widestLine = std::max(layout.widestLine, extent->width);
        layout.lineHeight = std::max(layout.lineHeight, extent->height);
        ++layout.lines;
        start = lineFeed + 1;
    }
    layout.height = int64_t(layout.lines) * layout.lineHeight / 4 * 4;
    layout.width = (int64_t(layout.widestLine) + 16) / 16 * 16;
    return layout;
}

namespace {
std::nullopt_t fail(Platform& platform, const char* text)
{
    platform.messageBox(text, MessageIcon::Error, MessageButtons::Ok);
    return std::nullopt;
}

bool bitSet(const MonoBitmap& bitmap, int32_t line, int32_t column)
{
    return (bitmap.bits[size_t(line) * size_t(bitmap.bytesPerRow) + size_t(column / 8)]
               & (0x80 >> (column % 8)))
        != 0;
}
}

std::optional<MaskedDib> renderTextImage(const VIrorozIzi& doc, Platform& platform)
{
    const std::optional<TextLayout> layout = measureTextLayout(doc.textBuffer, doc.textFont, platform);
    if (!layout)
        return fail(platform, kFontProblemText);
    if (layout->width * layout->height > kMaxTextPixels)
        return fail(platform, kTextTooLargeText);
    if (layout->height == 0)
        return fail(platform, kNoTextEnteredText);
    const int32_t w = int32_t(layout->width), h = int32_t(layout->height);

    const std::optional<MonoBitmap> bitmap = platform.renderText(doc.textFont, doc.textBuffer, w, h);
    // A renderer that hands back less than it was asked for is treated like a font it could not make.
    if (!bitmap || bitmap->width != w || bitmap->height != h || bitmap->bytesPerRow < (w + 7) / 8
        || bitmap->bits.size() < size_t(bitmap->bytesPerRow) * size_t(h))
        return fail(platform, kFontProblemText);

    MaskedDib image;
    if (allocateMaskedDib(h, w, image, 24))
        return fail(platform, kRunOutOfMemory);
    const bool transparent = doc.textTransparentBack != 0;
    // On an opaque back every value stays 65535, held as the fact.
    if (transparent && allocateMask(image, 0))
        return fail(platform, kRunOutOfMemory);

    const BgrColour back = toBgr(doc.textBackColour), ink = toBgr(doc.textColour);
    const int32_t offset = (w - layout->widestLine) / 2;
    for (int32_t line = 0; line < h; ++line) {
        const int32_t row = h - 1 - line;
        uint8_t* pixel = image.dib->row(row);
        for (int32_t x = 0; x < w; ++x, pixel += 3) {
            pixel[0] = back.blue;
            pixel[1] = back.green;
            pixel[2] = back.red;
        }
        // The last `offset` columns of the bitmap would land past the image.
        pixel = image.dib->row(row);
        uint16_t* mask = transparent ? image.maskRow(row) : nullptr;
        for (int32_t column = 0; column < w - offset; ++column) {
            if (!bitSet(*bitmap, line, column))
                continue;
            uint8_t* p = pixel + 3 * size_t(column + offset);
            p[0] = ink.blue;
            p[1] = ink.green;
            p[2] = ink.red;
            if (mask)
                mask[column + offset] = kOpaque;
        }
    }

    return image;
}

void adoptTextImage(VIrorozIzi& doc, MaskedDib&& image)
{
    doc.image = std::move(image);
    doc.imageWidth = doc.image.width();
    doc.imageHeight = doc.image.height();
    doc.title = "Text";
    doc.sourceKind = kSourceText;
}

} // namespace tessary
