#include "image/cx_codecs.h"
#include "image/cx_image.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <png.h>
#include <sys/resource.h>
#include <zlib.h>

namespace tessary {
namespace {

using testing::alphaAt;
using testing::colourAt;
using testing::Rgb;

// ---- fixtures made with libpng itself

struct PngLayout {
    uint32_t width = 19, height = 11; // odd sizes: partial bytes and padded DIB rows
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    int paletteSize = 0; // palette entries are paletteColour(i)
    std::vector<uint8_t> transparentIndices; // tRNS of a palette image
    std::optional<png_color_16> transparentColour; // tRNS of a grey or RGB image
    std::optional<std::pair<uint32_t, int>> physical; // pixels per unit, unit
};

Rgb paletteColour(uint32_t i)
{
    return { int(i * 37 % 256), int(i * 91 % 256), int((i * 53 + 17) % 256) };
}

int channelsOf(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

// Sample c of pixel (x, y from the top) at the layout's depth.
uint32_t sampleAt(const PngLayout& layout, uint32_t x, uint32_t y, int c)
{
    if (layout.bitDepth == 16)
        return (x * 2654 + y * 40503 + uint32_t(c) * 12345 + x * y * 77) & 0xFFFF;
    const uint32_t levels = layout.colourType == PNG_COLOR_TYPE_PALETTE ? uint32_t(layout.paletteSize)
                                                                        : (1u << layout.bitDepth);
    return (x * 7 + y * 13 + uint32_t(c) * 29 + x * y) % levels;
}

uint8_t eightBit(const PngLayout& layout, uint32_t sample)
{
    return layout.bitDepth == 16 ? uint8_t(sample >> 8)
                                 : uint8_t(sample * 255 / ((1u << layout.bitDepth) - 1));
}

void appendBytes(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

std::vector<uint8_t> libpngEncode(const PngLayout& layout)
{
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
        layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (int i = 0; i < layout.paletteSize; ++i) {
        const Rgb c = paletteColour(uint32_t(i));
        palette.push_back({ png_byte(c.r), png_byte(c.g), png_byte(c.b) });
    }
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!layout.transparentIndices.empty())
        png_set_tRNS(
            png, info, layout.transparentIndices.data(), int(layout.transparentIndices.size()), nullptr);
    if (layout.transparentColour) {
        png_color_16 colour = *layout.transparentColour;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    if (layout.physical)
        png_set_pHYs(png, info, layout.physical->first, layout.physical->first, layout.physical->second);
    png_write_info(png, info);

    const int channels = channelsOf(layout.colourType);
    const size_t rowBytes = (size_t(layout.width) * size_t(channels) * size_t(layout.bitDepth) + 7) / 8;
    std::vector<std::vector<uint8_t>> rows(layout.height, std::vector<uint8_t>(rowBytes, 0));
    std::vector<png_bytep> pointers;
    for (uint32_t y = 0; y < layout.height; ++y) {
        uint8_t* row = rows[y].data();
        for (uint32_t x = 0; x < layout.width; ++x)
            for (int c = 0; c < channels; ++c) {
                const uint32_t s = sampleAt(layout, x, y, c);
                const size_t index = size_t(x) * size_t(channels) + size_t(c);
                if (layout.bitDepth == 16) {
                    row[2 * index] = uint8_t(s >> 8);
                    row[2 * index + 1] = uint8_t(s);
                } else if (layout.bitDepth == 8) {
                    row[index] = uint8_t(s);
                } else {
                    const size_t bit = index * size_t(layout.bitDepth);
                    row[bit / 8] |= uint8_t(s << (8 - layout.bitDepth - bit % 8));
                }
            }
        pointers.push_back(row);
    }
    png_set_interlace_handling(png);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A PNG assembled chunk by chunk, for headers libpng would refuse to write.
void appendChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    const uint32_t length = uint32_t(data.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        png.push_back(uint8_t(length >> shift));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const uint32_t crc = uint32_t(crc32(0, png.data() + start, uInt(png.size() - start)));
    for (int shift = 24; shift >= 0; shift -= 8)
        png.push_back(uint8_t(crc >> shift));
}

std::vector<uint8_t> handMadePng(
    uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, bool withPalette = false)
{
    std::vector<uint8_t> png = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<uint8_t> ihdr;
    for (uint32_t v : { width, height })
        for (int shift = 24; shift >= 0; shift -= 8)
            ihdr.push_back(uint8_t(v >> shift));
    ihdr.insert(ihdr.end(), { depth, colourType, 0, 0, 0 });
    appendChunk(png, "IHDR", ihdr);
    if (withPalette)
        appendChunk(png, "PLTE", { 0, 0, 0, 255, 255, 255 });
    uint8_t raw[64] = {};
    uLongf packedSize = compressBound(sizeof raw);
    std::vector<uint8_t> packed(packedSize);
    compress(packed.data(), &packedSize, raw, sizeof raw);
    packed.resize(packedSize);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

// The most memory this process has held so far.
long peakMemoryKiB()
{
    struct rusage usage { };
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// ---- decoder

struct DecodeCase {
    const char* name;
    PngLayout layout;
    uint16_t bpp;
};

// The colour and alpha each pixel should have after decoding `layout`.
void expectPixels(CxImage& image, const PngLayout& layout)
{
    const bool alphaExpected = layout.colourType == PNG_COLOR_TYPE_GRAY_ALPHA
        || layout.colourType == PNG_COLOR_TYPE_RGB_ALPHA || !layout.transparentIndices.empty()
        || layout.transparentColour.has_value();
    ASSERT_EQ(image.AlphaIsValid(), alphaExpected);
    for (uint32_t y = 0; y < layout.height; ++y)
        for (uint32_t x = 0; x < layout.width; ++x) {
            SCOPED_TRACE(::testing::Message() << "pixel " << x << ", " << y);
            Rgb want;
            int alpha = 255;
            const uint32_t s0 = sampleAt(layout, x, y, 0);
            switch (layout.colourType) {
            case PNG_COLOR_TYPE_PALETTE:
                want = paletteColour(s0);
                if (s0 < layout.transparentIndices.size())
                    alpha = layout.transparentIndices[s0];
                break;
            case PNG_COLOR_TYPE_GRAY:
            case PNG_COLOR_TYPE_GRAY_ALPHA: {
                const int g = eightBit(layout, s0);
                want = { g, g, g };
                if (layout.colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
                    alpha = eightBit(layout, sampleAt(layout, x, y, 1));
                else if (layout.transparentColour && s0 == layout.transparentColour->gray)
                    alpha = 0;
                break;
            }
            default:
                want = { eightBit(layout, s0), eightBit(layout, sampleAt(layout, x, y, 1)),
                    eightBit(layout, sampleAt(layout, x, y, 2)) };
                if (layout.colourType == PNG_COLOR_TYPE_RGB_ALPHA)
                    alpha = eightBit(layout, sampleAt(layout, x, y, 3));
                else if (layout.transparentColour && s0 == layout.transparentColour->red
                    && sampleAt(layout, x, y, 1) == layout.transparentColour->green
                    && sampleAt(layout, x, y, 2) == layout.transparentColour->blue)
                    alpha = 0;
            }
            ASSERT_EQ(colourAt(image, x, y), want);
            if (alphaExpected) {
                ASSERT_EQ(alphaAt(image, x, y), alpha);
            }
        }
}

TEST(PngCodec, DecodesEveryColourTypeAndDepth)
{
    auto layout = [](int colourType, int depth, bool interlaced = false) {
        PngLayout s;
        s.colourType = colourType;
        s.bitDepth = depth;
        s.interlaced = interlaced;
        if (colourType == PNG_COLOR_TYPE_PALETTE)
            s.paletteSize = 1 << depth;
        return s;
    };
    PngLayout paletteWithAlpha = layout(PNG_COLOR_TYPE_PALETTE, 4);
    paletteWithAlpha.transparentIndices = { 0, 40, 80, 120, 160 };
    PngLayout greyWithKey = layout(PNG_COLOR_TYPE_GRAY, 4);
    greyWithKey.transparentColour = png_color_16 { 0, 0, 0, 0, 3 };
    PngLayout rgbWithKey = layout(PNG_COLOR_TYPE_RGB, 8);
    rgbWithKey.transparentColour = png_color_16 { 0, png_uint_16(sampleAt(rgbWithKey, 2, 1, 0)),
        png_uint_16(sampleAt(rgbWithKey, 2, 1, 1)), png_uint_16(sampleAt(rgbWithKey, 2, 1, 2)), 0 };
    PngLayout shortPalette = layout(PNG_COLOR_TYPE_PALETTE, 8);
    shortPalette.paletteSize = 5;

    const DecodeCase cases[] = {
        { "grey 1 bit", layout(PNG_COLOR_TYPE_GRAY, 1), 1 },
        { "grey 2 bits", layout(PNG_COLOR_TYPE_GRAY, 2), 4 },
        { "grey 4 bits", layout(PNG_COLOR_TYPE_GRAY, 4), 4 },
        { "grey 8 bits", layout(PNG_COLOR_TYPE_GRAY, 8), 8 },
        { "grey 16 bits", layout(PNG_COLOR_TYPE_GRAY, 16), 8 },
        { "palette 1 bit", layout(PNG_COLOR_TYPE_PALETTE, 1), 1 },
        { "palette 2 bits", layout(PNG_COLOR_TYPE_PALETTE, 2), 4 },
        { "palette 4 bits", layout(PNG_COLOR_TYPE_PALETTE, 4), 4 },
        { "palette 8 bits", layout(PNG_COLOR_TYPE_PALETTE, 8), 8 },
        { "palette of 5 entries", shortPalette, 8 },
        { "RGB 8 bits", layout(PNG_COLOR_TYPE_RGB, 8), 24 },
        { "RGB 16 bits", layout(PNG_COLOR_TYPE_RGB, 16), 24 },
        { "RGBA 8 bits", layout(PNG_COLOR_TYPE_RGB_ALPHA, 8), 24 },
        { "RGBA 16 bits", layout(PNG_COLOR_TYPE_RGB_ALPHA, 16), 24 },
        { "grey + alpha 8 bits", layout(PNG_COLOR_TYPE_GRAY_ALPHA, 8), 8 },
        { "grey + alpha 16 bits", layout(PNG_COLOR_TYPE_GRAY_ALPHA, 16), 8 },
        { "palette with tRNS", paletteWithAlpha, 4 },
        { "grey with a transparent level", greyWithKey, 8 },
        { "RGB with a transparent colour", rgbWithKey, 24 },
        { "interlaced RGB", layout(PNG_COLOR_TYPE_RGB, 8, true), 24 },
        { "interlaced grey 2 bits", layout(PNG_COLOR_TYPE_GRAY, 2, true), 4 },
        { "interlaced palette 4 bits", layout(PNG_COLOR_TYPE_PALETTE, 4, true), 4 },
        { "interlaced RGBA 16 bits", layout(PNG_COLOR_TYPE_RGB_ALPHA, 16, true), 24 },
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = libpngEncode(c.layout);
        CxImage image;
        CxMemFile file(bytes.data(), bytes.size());
        ASSERT_TRUE(CxImagePNG::Decode(image, file)) << image.GetLastErrorText();
        ASSERT_EQ(image.GetWidth(), int32_t(c.layout.width));
        ASSERT_EQ(image.GetHeight(), int32_t(c.layout.height));
        ASSERT_EQ(image.GetBpp(), c.bpp);
        expectPixels(image, c.layout);
    }
}

TEST(PngCodec, ResolutionComesFromPhys)
{
    struct Case {
        std::optional<std::pair<uint32_t, int>> physical;
        int32_t dpi;
        int32_t headerPpm; // the bitmap header's pixels per metre
    } cases[] = {
        { std::pair<uint32_t, int>(11811, PNG_RESOLUTION_METER), 300, 11811 },
        { std::nullopt, 96, 3780 },
        { std::pair<uint32_t, int>(3780, PNG_RESOLUTION_METER), 96, 3780 },
        { std::pair<uint32_t, int>(11811, PNG_RESOLUTION_METER), 300, 11811 },
        { std::pair<uint32_t, int>(5000, PNG_RESOLUTION_UNKNOWN), 96, 3780 }, // aspect ratio only
        // The largest the chunk can say: 109 million dpi, more per metre than the header holds.
        { std::pair<uint32_t, int>(0xFFFFFFFFu, PNG_RESOLUTION_METER), 109092169, INT32_MAX },
    };
    // One image for all files: a file without pHYs must not keep the previous one's resolution.
    CxImage image;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        PngLayout layout;
        layout.physical = c.physical;
        const std::vector<uint8_t> bytes = libpngEncode(layout);
        ASSERT_TRUE(image.Decode(bytes.data(), bytes.size(), CXIMAGE_FORMAT_PNG)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetXDPI(), c.dpi);
        EXPECT_EQ(image.GetYDPI(), c.dpi);
        BitmapInfoHeader h;
        std::memcpy(&h, image.GetDIB(), sizeof h);
        EXPECT_EQ(h.biXPelsPerMeter, c.headerPpm);
        EXPECT_EQ(h.biYPelsPerMeter, c.headerPpm);
    }
}

TEST(PngCodec, MalformedFilesGiveAnErrorText)
{
    PngLayout layout;
    layout.width = 64;
    layout.height = 64;
    const std::vector<uint8_t> good = libpngEncode(layout);
    size_t idat = 0;
    for (size_t i = 8; i + 4 < good.size() && !idat; ++i)
        if (std::memcmp(good.data() + i, "IDAT", 4) == 0)
            idat = i;
    ASSERT_GT(idat, 0u);
    std::vector<uint8_t> badCrc = good;
    badCrc[16 + 3] ^= 0x01; // the width inside IHDR, which its CRC no longer matches
    std::vector<uint8_t> noImageData = std::vector<uint8_t>(good.begin(), good.begin() + 33);
    appendChunk(noImageData, "IEND", {});
    // Found by fuzzing: a short file whose text chunk claims 0x4A179900 bytes, which libpng
    // allocated and cleared (1.2 GB, half a minute) before it noticed the file ends.
    std::vector<uint8_t> hugeText = std::vector<uint8_t>(good.begin(), good.begin() + 33);
    hugeText.insert(hugeText.end(), { 0x4A, 0x17, 0x99, 0x00, 't', 'E', 'X', 't', 'R', 'Y', 1, 0 });

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* text; // part of the expected error text, or null for any
    } cases[] = {
        { "empty", {}, nullptr },
        { "not a PNG", { 'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0 }, "Not a PNG file" },
        { "signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8), nullptr },
        { "cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + 20), nullptr },
        { "cut inside the image data", std::vector<uint8_t>(good.begin(), good.begin() + long(idat + 40)),
            nullptr },
        { "header checksum wrong", badCrc, nullptr },
        { "no image data", noImageData, nullptr },
        { "colour type 5", handMadePng(4, 4, 8, 5), nullptr },
        { "palette without PLTE", handMadePng(4, 4, 8, 3), nullptr },
        // Legal PNG sizes over the 20000-pixel limit, refused before libpng sizes anything, with the
        // text every image too large for the program gets.
        { "wider than 20000", handMadePng(20001, 1, 8, 2), "Tessary has run out of memory." },
        { "taller than 20000", handMadePng(1, 30000, 8, 0), "Tessary has run out of memory." },
        // Inside the side limits, but 20000 x 20000 x 24 bits is far above the image memory limit.
        { "20000 x 20000 RGBA", handMadePng(20000, 20000, 8, 6), "CXIMAGE_MAX_MEMORY exceeded" },
        { "text chunk claiming 1.2 GB", hugeText, "truncated" },
    };
    // None of them may make the decoder take much memory before it gives up.
    const long peakBefore = peakMemoryKiB();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage image;
        CxMemFile file(c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(CxImagePNG::Decode(image, file));
        EXPECT_FALSE(image.IsValid());
        EXPECT_STRNE(image.GetLastErrorText(), "");
        if (c.text) {
            EXPECT_NE(std::string(image.GetLastErrorText()).find(c.text), std::string::npos)
                << image.GetLastErrorText();
        }
    }
    EXPECT_LT(peakMemoryKiB() - peakBefore, 64 * 1024);
}

// ---- encoder

TEST(PngCodec, RoundTripIsExact)
{
    CxImage image;
    testing::fill24(image, 19, 11, testing::smoothColour);
    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_PNG);
    CxImage decoded(bytes.data(), bytes.size(), CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(decoded.IsValid()) << decoded.GetLastErrorText();
    ASSERT_EQ(decoded.GetBpp(), 24);
    ASSERT_EQ(decoded.GetWidth(), 19);
    ASSERT_EQ(decoded.GetHeight(), 11);
    EXPECT_FALSE(decoded.AlphaIsValid());
    for (uint32_t row = 0; row < 11; ++row)
        EXPECT_EQ(std::memcmp(decoded.GetBits(row), image.GetBits(row), 19 * 3), 0) << "stored row " << row;
}

TEST(PngCodec, SavedFileHasRgbHeaderWhiteBackgroundAndPhysicalSize)
{
    CxImage image;
    testing::fill24(image, 7, 5, testing::smoothColour);
    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_PNG);

    png_image probe {};
    probe.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&probe, bytes.data(), bytes.size()));
    png_image_free(&probe);

    struct Reader {
        const std::vector<uint8_t>* bytes;
        size_t position;
    } reader { &bytes, 0 };
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep data, size_t length) {
        auto* r = static_cast<Reader*>(png_get_io_ptr(p));
        ASSERT_LE(r->position + length, r->bytes->size());
        std::memcpy(data, r->bytes->data() + r->position, length);
        r->position += length;
    });
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = -1, compression = -1, filter = -1;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, &compression, &filter);
    EXPECT_EQ(width, 7u);
    EXPECT_EQ(height, 5u);
    EXPECT_EQ(depth, 8);
    EXPECT_EQ(colourType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(interlace, PNG_INTERLACE_NONE);
    EXPECT_EQ(compression, 0);
    EXPECT_EQ(filter, 0);

    png_color_16p background = nullptr;
    ASSERT_TRUE(png_get_bKGD(png, info, &background));
    EXPECT_EQ(background->red, 255);
    EXPECT_EQ(background->green, 255);
    EXPECT_EQ(background->blue, 255);

    png_uint_32 xPpm = 0, yPpm = 0;
    int unit = -1;
    ASSERT_TRUE(png_get_pHYs(png, info, &xPpm, &yPpm, &unit));
    EXPECT_EQ(xPpm, 3780u);
    EXPECT_EQ(yPpm, 3780u);
    EXPECT_EQ(unit, PNG_RESOLUTION_METER);

    // The first row in the file is the top of the picture, red first.
    std::vector<uint8_t> row(png_get_rowbytes(png, info));
    png_read_row(png, row.data(), nullptr);
    const Rgb top = testing::smoothColour(3, 0);
    EXPECT_EQ((Rgb { row[9], row[10], row[11] }), top);
    png_destroy_read_struct(&png, &info, nullptr);
}

TEST(PngCodec, IndexedImagesAreWrittenAsRgb)
{
    CxImage image;
    ASSERT_NE(image.Create(5, 3, 4, CXIMAGE_FORMAT_BMP), nullptr);
    image.SetPaletteColor(3, 10, 200, 30);
    image.SetPaletteColor(9, 250, 5, 90);
    for (uint32_t row = 0; row < 3; ++row)
        std::memset(image.GetBits(row), row == 2 ? 0x93 : 0x33, 3);
    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_PNG);
    CxImage decoded(bytes.data(), bytes.size(), CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(decoded.IsValid()) << decoded.GetLastErrorText();
    ASSERT_EQ(decoded.GetBpp(), 24);
    EXPECT_EQ(colourAt(decoded, 0, 0), (Rgb { 250, 5, 90 }));
    EXPECT_EQ(colourAt(decoded, 1, 0), (Rgb { 10, 200, 30 }));
    EXPECT_EQ(colourAt(decoded, 0, 2), (Rgb { 10, 200, 30 }));
}

TEST(PngCodec, EncodingIntoAFullDiskFails)
{
    CxImage image;
    testing::fill24(image, 64, 48, testing::smoothColour);
    const size_t full = testing::encodeToMemory(image, CXIMAGE_FORMAT_PNG).size();
    struct Case {
        size_t capacity;
        const char* text;
    } cases[] = {
        { 0, "Error saving PNG file" }, { 100, "Error saving PNG file" },
        { full - 1, "Error saving PNG file" }, // the last chunk does not fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        testing::FullDiskFile file(c.capacity);
        EXPECT_FALSE(image.Encode(file, CXIMAGE_FORMAT_PNG));
        EXPECT_STREQ(image.GetLastErrorText(), c.text);
    }
}

// ---- through the file layer

TEST(PngFiles, APngNamedBmpLoadsThroughContentDetection)
{
    testing::ScratchFolder folder;
    PngLayout layout;
    const std::string path = folder.write("picture.bmp", libpngEncode(layout));
    const std::optional<uint32_t> format = formatFromFileName(path);
    ASSERT_TRUE(format.has_value());
    ASSERT_EQ(*format, uint32_t(CXIMAGE_FORMAT_BMP));
    CxImage image(path, *format);
    ASSERT_TRUE(image.IsValid()) << image.GetLastErrorText();
    EXPECT_EQ(image.GetType(), uint32_t(CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(image.GetWidth(), int32_t(layout.width));
    expectPixels(image, layout);
}

TEST(PngFiles, SaveWritesAFileThatLoadsBack)
{
    testing::ScratchFolder folder;
    CxImage image;
    testing::fill24(image, 6, 4, testing::smoothColour);
    const std::string path = folder.file("out.png");
    ASSERT_TRUE(image.Save(path, CXIMAGE_FORMAT_PNG)) << image.GetLastErrorText();
    CxImage loaded(path, CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(loaded.IsValid()) << loaded.GetLastErrorText();
    EXPECT_EQ(colourAt(loaded, 5, 3), testing::smoothColour(5, 3));
}

} // namespace
} // namespace tessary
