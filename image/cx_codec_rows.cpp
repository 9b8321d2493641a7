#include "image/cx_codec_rows.h"

#include "image/cx_image.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace tessary {

void dibRowToRgb(CxImage& image, uint32_t storedRow, uint8_t* rgb)
{
    const uint32_t width = uint32_t(image.GetWidth());
    const uint8_t* row = image.GetBits(storedRow);
    const uint16_t bpp = image.GetBpp();
    if (bpp == 24) {
        for (uint32_t x = 0; x < width; ++x) {
            rgb[3 * x] = row[3 * x + 2];
            rgb[3 * x + 1] = row[3 * x + 1];
            rgb[3 * x + 2] = row[3 * x];
        }
        return;
    }
    const uint8_t* palette = image.GetPalette();
    const uint32_t entries = image.GetNumColors();
    for (uint32_t x = 0; x < width; ++x) {
        uint32_t index = 0;
        if (bpp == 8)
            index = row[x];
        else if (bpp == 4)
            index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
        else
            index = (row[x / 8] >> (7 - (x & 7))) & 1;
        if (palette && index < entries) {
            const uint8_t* entry = palette + 4 * size_t(index);
            rgb[3 * x] = entry[2];
            rgb[3 * x + 1] = entry[1];
            rgb[3 * x + 2] = entry[0];
        } else {
            std::memset(rgb + 3 * size_t(x), 0, 3);
        }
    }
}

int32_t dpiToPixelsPerMetre(int32_t dpi)
{
    // A file may claim any resolution: more than 2^31 - 1 per metre (about 54.5 million dpi)
    // is held at the largest the header field can say.
    const double ppm = double(dpi) * 10000.0 / 254.0 + 0.5;
    return ppm >= double(INT32_MAX) ? INT32_MAX : ppm <= double(INT32_MIN) ? INT32_MIN : int32_t(ppm);
}

int32_t pixelsPerMetreToDpi(int64_t ppm)
{
    // The fields hold at most 2^32 - 1, about 109 million dpi: well inside 32 bits.
    return ppm <= 0 ? 0 : int32_t(std::floor(double(ppm) * 254.0 / 10000.0 + 0.5));
}

} // namespace tessary
