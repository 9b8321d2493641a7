#include "corrections/tone.h"

#include "sources/copy_to_24bit.h"
#include "sources/source_doc.h"

#include <algorithm>
#include <cstring>

namespace tessary {

int32_t grayOf(uint8_t red, uint8_t green, uint8_t blue)
{
    const int32_t sum = int32_t(19.2 * red) + int32_t(37.76 * green) + int32_t(7.04 * blue);
    return std::clamp(sum / 64, 0, 255);
}

namespace {
// The three weighted products of each component value, each truncated on its own.
struct GrayTables {
    std::array<int32_t, 256> red, green, blue;
    GrayTables()
    {
        for (int v = 0; v < 256; ++v) {
            red[v] = int32_t(19.2 * v);
            green[v] = int32_t(37.76 * v);
            blue[v] = int32_t(7.04 * v);
        }
    }
};
}

void grayScale24(MaskedDib& image)
{
    static const GrayTables tables;
    const int32_t width = image.width();
    for (int32_t row = 0; row < image.height(); ++row) {
        uint8_t* p = image.dib->row(row);
        for (int32_t x = 0; x < width; ++x, p += 3) {
            const int32_t sum = tables.red[p[2]] + tables.green[p[1]] + tables.blue[p[0]];
            const uint8_t gray = uint8_t(std::min(sum / 64, 255));
            p[0] = p[1] = p[2] = gray;
        }
    }
}

bool grayScaleSource(VIrorozIzi& doc, Platform& platform)
{
    MaskedDib replaced;
    return convertToGrayScale(doc, platform, replaced);
}

bool convertToGrayScale(VIrorozIzi& doc, Platform& platform, MaskedDib& replaced)
{
    MaskedDib copy;
    if (copyTo24Bit(doc.image, copy, &platform)) {
        showOutOfMemory(platform);
        return false;
    }
    grayScale24(copy);
    replaced = std::move(doc.image);
    doc.image = std::move(copy);
    doc.imageWidth = doc.image.width();
    doc.imageHeight = doc.image.height();
    return true;
}

int32_t gammaTerm(int32_t x, int32_t gamma)
{
    return ((((x * (x - 255)) >> 8) * gamma) >> 8) + gamma / 4;
}

int32_t toneOf(int32_t x, const ToneChannel& channel, int32_t gamma)
{
    const int32_t b = channel.brightness;
    const int32_t k = (channel.contrast * channel.contrast) / 256;
    const int32_t s = gammaTerm(x, gamma) + x + b - 255;
    const int32_t y = ((s * k + 2032) >> 4) + b - 128;
    return std::clamp(y, 0, 255);
}

ToneTable toneTable(const ToneChannel& channel, int32_t gamma)
{
    ToneTable table {};
    for (int32_t x = 0; x < 256; ++x)
        table[size_t(x)] = uint8_t(toneOf(x, channel, gamma));
    return table;
}

CorrectionStatus applyTone(
    const MaskedDib& backup, const ToneValues& values, MaskedDib& result, const RowProgress& progress)
{
    const int32_t width = backup.width(), height = backup.height();
    if (allocateMaskedDib(height, width, result, 24))
        return CorrectionStatus::OutOfMemory;
    // Stored pixels are blue, green, red.
    const ToneTable blue = toneTable(values.channels[2], values.gamma);
    const ToneTable green = toneTable(values.channels[1], values.gamma);
    const ToneTable red = toneTable(values.channels[0], values.gamma);
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* in = backup.dib->row(row);
        uint8_t* out = result.dib->row(row);
        for (int32_t x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = blue[in[0]];
            out[1] = green[in[1]];
            out[2] = red[in[2]];
        }
        if (progress)
            progress(row);
    }
    // The mask is carried over as it is (an opaque fact stays one).
    MaskPlane mask = backup.mask.clone();
    if (!mask) {
        releaseMaskedDib(result);
        return CorrectionStatus::OutOfMemory;
    }
    result.mask = std::move(mask);
    return CorrectionStatus::Done;
}

} // namespace tessary
