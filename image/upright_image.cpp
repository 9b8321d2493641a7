#include "image/upright_image.h"

#include "image/byte_block.h"
#include "image/cx_image.h"
#include "image/packed_dib.h"

#include <cstring>
#include <utility>

namespace tessary {

namespace {
// The stored pixel (column, row from the top) shown at upright (x, y), for a stored picture
// of w x h.
struct SourceOf {
    int orientation;
    int w, h;
    void operator()(int x, int y, int& col, int& row) const
    {
        switch (orientation) {
        case 2: col = w - 1 - x, row = y; break;
        case 3: col = w - 1 - x, row = h - 1 - y; break;
        case 4: col = x, row = h - 1 - y; break;
        case 5: col = y, row = x; break; // stored rows become the columns, left to right
        case 6: col = y, row = h - 1 - x; break; // the top stored row ends on the right
        case 7: col = w - 1 - y, row = h - 1 - x; break;
        case 8: col = w - 1 - y, row = x; break; // the top stored row ends on the left
        default: col = x, row = y; break;
        }
    }
};

uint32_t pixelAt(const uint8_t* row, int x, int bpp)
{
    switch (bpp) {
    case 24: return uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
    case 8: return row[x];
    case 4: return (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
    default: return (row[x / 8] >> (7 - (x & 7))) & 1;
    }
}

void setPixel(uint8_t* row, int x, int bpp, uint32_t value)
{
    switch (bpp) {
    case 24:
        row[3 * x] = uint8_t(value);
        row[3 * x + 1] = uint8_t(value >> 8);
        row[3 * x + 2] = uint8_t(value >> 16);
        break;
    case 8: row[x] = uint8_t(value); break;
    case 4:
        row[x / 2] = uint8_t((x & 1) ? (row[x / 2] & 0xF0) | value : (row[x / 2] & 0x0F) | (value << 4));
        break;
    default:
        if (value)
            row[x / 8] = uint8_t(row[x / 8] | (0x80 >> (x & 7)));
        break; // the new rows start cleared
    }
}
}

UprightSize uprightSize(int storedWidth, int storedHeight, int orientation)
{
    return orientation >= 5 && orientation <= 8 ? UprightSize { storedHeight, storedWidth }
                                                : UprightSize { storedWidth, storedHeight };
}

bool turnUpright(CxImage& image)
{
    const int orientation = image.GetOrientation();
    if (orientation == 1 || !image.IsValid())
        return true;
    const uint8_t* block = image.GetDIB();
    BitmapInfoHeader header;
    std::memcpy(&header, block, sizeof header);
    const int w = image.GetWidth(), h = image.GetHeight(), bpp = image.GetBpp();
    const UprightSize size = uprightSize(w, h, orientation);
    const size_t tableBytes = 4 * size_t(image.GetNumColors());
    const uint32_t stride = rowStride(size.width, bpp);
    std::unique_ptr<PackedDib> turned
        = PackedDib::allocate(sizeof header + tableBytes + size_t(stride) * size_t(size.height));
    std::unique_ptr<uint8_t[]> alpha;
    if (image.AlphaData())
        alpha = allocateBytes(size_t(w) * size_t(h));
    if (!turned || (image.AlphaData() && !alpha))
        return false;

    BitmapInfoHeader turnedHeader = header;
    turnedHeader.biWidth = size.width;
    turnedHeader.biHeight = size.height;
    turnedHeader.biSizeImage = stride * uint32_t(size.height);
    if (size.width != w)
        std::swap(turnedHeader.biXPelsPerMeter, turnedHeader.biYPelsPerMeter);
    turned->setHeader(turnedHeader);
    uint8_t* out = turned->data();
    std::memcpy(out + sizeof header, block + sizeof header, tableBytes);

    const SourceOf source { orientation, w, h };
    const uint8_t* oldAlpha = image.AlphaData();
    const uint8_t* oldRows = image.GetBits(0);
    const size_t oldStride = image.GetEffWidth();
    for (int y = 0; y < size.height; ++y) {
        const int storedRow = size.height - 1 - y; // rows are stored bottom-up
        uint8_t* row = turned->row(storedRow);
        for (int x = 0; x < size.width; ++x) {
            int col = 0, fromTop = 0;
            source(x, y, col, fromTop);
            const int fromRow = h - 1 - fromTop;
            setPixel(row, x, bpp, pixelAt(oldRows + size_t(fromRow) * oldStride, col, bpp));
            if (alpha)
                alpha[size_t(storedRow) * size_t(size.width) + size_t(x)]
                    = oldAlpha[size_t(fromRow) * size_t(w) + size_t(col)];
        }
    }
    const int32_t xDpi = image.GetXDPI(), yDpi = image.GetYDPI();
    image.ReplacePixels(std::move(turned), std::move(alpha));
    if (size.width != w) {
        image.SetXDPI(yDpi);
        image.SetYDPI(xDpi);
    }
    image.SetOrientation(1);
    return true;
}

} // namespace tessary
