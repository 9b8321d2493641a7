#include "image/cx_codecs.h"
#include "image/cx_image.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include <jpeglib.h>

namespace tessary {
namespace {

using testing::colourAt;
using testing::Rgb;

// ---- fixtures made with libjpeg itself

struct JpegSpec {
    uint32_t width = 16, height = 16;
    int components = 3;
    J_COLOR_SPACE colourSpace = JCS_RGB;
    std::function<void(jpeg_compress_struct&)> setup;
    // Component values of pixel (x, y from the top).
    std::function<void(uint32_t x, uint32_t y, uint8_t* out)> pixel;
};

std::vector<uint8_t> libjpegEncode(const JpegSpec& spec)
{
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr err {};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = spec.width;
    cinfo.image_height = spec.height;
    cinfo.input_components = spec.components;
    cinfo.in_color_space = spec.colourSpace;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (spec.setup)
        spec.setup(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(spec.width) * size_t(spec.components));
    while (cinfo.next_scanline < spec.height) {
        for (uint32_t x = 0; x < spec.width; ++x)
            spec.pixel(x, cinfo.next_scanline, row.data() + size_t(x) * size_t(spec.components));
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes(out, out + outSize);
    std::free(out);
    return bytes;
}

// Top half red, bottom half blue: shows flipped rows and swapped channels.
void redOverBlue(uint32_t, uint32_t y, uint8_t* out, uint32_t height)
{
    out[0] = y < height / 2 ? 255 : 0;
    out[1] = 0;
    out[2] = y < height / 2 ? 0 : 255;
}

bool near(const Rgb& a, const Rgb& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance
        && std::abs(a.b - b.b) <= tolerance;
}

// ---- encoder

TEST(JpegCodec, RoundTripOfA24BitImageStaysCloseToTheOriginal)
{
    // Odd sizes: padded DIB rows and partial 16x16 blocks at the right and bottom edges.
    CxImage image;
    testing::fill24(image, 37, 23, testing::smoothColour);
    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_JPG);

    CxImage decoded(bytes.data(), bytes.size(), CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(decoded.IsValid()) << decoded.GetLastErrorText();
    EXPECT_EQ(decoded.GetType(), uint32_t(CXIMAGE_FORMAT_JPG));
    ASSERT_EQ(decoded.GetWidth(), 37);
    ASSERT_EQ(decoded.GetHeight(), 23);
    ASSERT_EQ(decoded.GetBpp(), 24);
    EXPECT_EQ(decoded.GetXDPI(), 96);
    EXPECT_EQ(decoded.GetYDPI(), 96);
    int worst = 0;
    for (uint32_t y = 0; y < 23; ++y)
        for (uint32_t x = 0; x < 37; ++x) {
            const Rgb want = testing::smoothColour(x, y), got = colourAt(decoded, x, y);
            worst = std::max(
                { worst, std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b) });
        }
    EXPECT_LE(worst, 16);
}

TEST(JpegCodec, SavedFileHasTheFixedCodingParameters)
{
    CxImage image;
    testing::fill24(image, 40, 24, [](uint32_t x, uint32_t y) {
        uint8_t c[3];
        redOverBlue(x, y, c, 24);
        return Rgb { c[0], c[1], c[2] };
    });
    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_JPG);

    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr err {};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);

    EXPECT_TRUE(cinfo.saw_JFIF_marker);
    EXPECT_EQ(cinfo.density_unit, 1);
    EXPECT_EQ(cinfo.X_density, 96);
    EXPECT_EQ(cinfo.Y_density, 96);
    EXPECT_EQ(cinfo.num_components, 3);
    EXPECT_EQ(cinfo.jpeg_color_space, JCS_YCbCr);
    EXPECT_EQ(cinfo.comp_info[0].h_samp_factor, 2);
    EXPECT_EQ(cinfo.comp_info[0].v_samp_factor, 2);
    for (int c = 1; c < 3; ++c) {
        EXPECT_EQ(cinfo.comp_info[c].h_samp_factor, 1);
        EXPECT_EQ(cinfo.comp_info[c].v_samp_factor, 1);
    }
    EXPECT_FALSE(cinfo.progressive_mode);
    EXPECT_FALSE(cinfo.arith_code);
    // Sequential Huffman frame (SOF0).
    bool sof0 = false;
    for (size_t i = 0; i + 1 < bytes.size() && !sof0; ++i)
        sof0 = bytes[i] == 0xFF && bytes[i + 1] == 0xC0;
    EXPECT_TRUE(sof0);

    // Quality 90 without baseline clamping: the tables libjpeg makes for exactly that.
    jpeg_compress_struct reference {};
    jpeg_error_mgr referenceErr {};
    reference.err = jpeg_std_error(&referenceErr);
    jpeg_create_compress(&reference);
    reference.in_color_space = JCS_RGB;
    reference.input_components = 3;
    jpeg_set_defaults(&reference);
    jpeg_set_quality(&reference, 90, FALSE);
    for (int t = 0; t < 2; ++t) {
        ASSERT_NE(cinfo.quant_tbl_ptrs[t], nullptr);
        for (int i = 0; i < DCTSIZE2; ++i)
            EXPECT_EQ(cinfo.quant_tbl_ptrs[t]->quantval[i], reference.quant_tbl_ptrs[t]->quantval[i])
                << "table " << t << " entry " << i;
    }
    jpeg_destroy_compress(&reference);

    // Standard (not optimised) Huffman tables: all 162 AC luminance symbols are defined, where
    // an optimised table for this picture would hold only the few it uses.
    ASSERT_NE(cinfo.ac_huff_tbl_ptrs[0], nullptr);
    int symbols = 0;
    for (int i = 1; i <= 16; ++i)
        symbols += cinfo.ac_huff_tbl_ptrs[0]->bits[i];
    EXPECT_EQ(symbols, 162);

    // The first scan line of the file is the top row, in red-green-blue order.
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<uint8_t> row(size_t(cinfo.output_width) * 3);
    JSAMPROW r = row.data();
    jpeg_read_scanlines(&cinfo, &r, 1);
    EXPECT_GT(row[3 * 5], 200);
    EXPECT_LT(row[3 * 5 + 2], 60);
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

TEST(JpegCodec, IndexedImagesAreWrittenThroughTheirColourTable)
{
    CxImage image;
    ASSERT_NE(image.Create(16, 16, 8, CXIMAGE_FORMAT_BMP), nullptr);
    image.SetPaletteColor(1, 250, 10, 10);
    image.SetPaletteColor(2, 10, 10, 250);
    for (uint32_t row = 0; row < 16; ++row)
        std::memset(image.GetBits(row), row < 8 ? 2 : 1, 16); // red on top, blue below

    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_JPG);
    CxImage decoded(bytes.data(), bytes.size(), CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(decoded.IsValid()) << decoded.GetLastErrorText();
    EXPECT_TRUE(near(colourAt(decoded, 3, 2), { 250, 10, 10 }, 24));
    EXPECT_TRUE(near(colourAt(decoded, 3, 13), { 10, 10, 250 }, 24));
}

TEST(JpegCodec, EncodingIntoAFullDiskFails)
{
    CxImage image;
    testing::fill24(image, 64, 48, testing::smoothColour);
    const size_t full = testing::encodeToMemory(image, CXIMAGE_FORMAT_JPG).size();
    struct Case {
        size_t capacity;
        const char* text;
    } cases[] = {
        { 0, "Output file write error --- out of disk space?" },
        { 100, "Output file write error --- out of disk space?" },
        { full - 1, "Output file write error --- out of disk space?" }, // the end marker does not fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        testing::FullDiskFile file(c.capacity);
        EXPECT_FALSE(image.Encode(file, CXIMAGE_FORMAT_JPG));
        EXPECT_STREQ(image.GetLastErrorText(), c.text);
    }
}

// ---- decoder

TEST(JpegCodec, DecodesColourGreyAndCmykFilesMadeByLibjpeg)
{
    const uint32_t h = 16;
    struct Case {
        const char* name;
        JpegSpec spec;
        uint16_t bpp;
    } cases[] = {
        { "YCbCr colour",
            { 24, h, 3, JCS_RGB, nullptr,
                [](uint32_t x, uint32_t y, uint8_t* o) { redOverBlue(x, y, o, h); } },
            24 },
        { "grey",
            { 24, h, 1, JCS_GRAYSCALE, nullptr,
                [](uint32_t, uint32_t y, uint8_t* o) { o[0] = y < h / 2 ? 230 : 20; } },
            8 },
        { "progressive colour",
            { 24, h, 3, JCS_RGB, [](jpeg_compress_struct& c) { jpeg_simple_progression(&c); },
                [](uint32_t x, uint32_t y, uint8_t* o) { redOverBlue(x, y, o, h); } },
            24 },
        // Adobe CMYK is stored inverted (255 = no ink): red is no cyan, full magenta and yellow.
        { "Adobe CMYK",
            { 24, h, 4, JCS_CMYK, nullptr,
                [](uint32_t, uint32_t y, uint8_t* o) {
                    const bool top = y < h / 2;
                    o[0] = top ? 255 : 0; // cyan
                    o[1] = 0; // magenta
                    o[2] = top ? 0 : 255; // yellow
                    o[3] = 255; // black
                } },
            24 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = libjpegEncode(c.spec);
        CxImage image;
        CxMemFile file(bytes.data(), bytes.size());
        ASSERT_TRUE(CxImageJPG::Decode(image, file)) << image.GetLastErrorText();
        ASSERT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetWidth(), 24);
        EXPECT_EQ(image.GetHeight(), int32_t(h));
        if (c.bpp == 8) {
            EXPECT_EQ(image.GetNumColors(), 256u);
            EXPECT_EQ(colourAt(image, 0, 0).r, colourAt(image, 0, 0).b);
            EXPECT_TRUE(near(colourAt(image, 5, 2), { 230, 230, 230 }, 6)) << colourAt(image, 5, 2);
            EXPECT_TRUE(near(colourAt(image, 5, 13), { 20, 20, 20 }, 6)) << colourAt(image, 5, 13);
        } else {
            EXPECT_TRUE(near(colourAt(image, 5, 2), { 255, 0, 0 }, 30)) << colourAt(image, 5, 2);
            EXPECT_TRUE(near(colourAt(image, 5, 13), { 0, 0, 255 }, 30)) << colourAt(image, 5, 13);
        }
    }
}

TEST(JpegCodec, ResolutionComesFromTheJfifDensity)
{
    struct Case {
        int unit;
        int x, y;
        int32_t dpiX, dpiY;
    } cases[] = {
        { 1, 300, 150, 300, 150 }, // dots per inch
        { -1, 300, 300, 96, 96 }, // no JFIF header
        { 2, 100, 118, 254, 300 }, // dots per centimetre: 100 x 2.54, 118 x 2.54 = 299.7
        { 0, 1, 2, 96, 96 }, // aspect ratio only
    };
    // One image for all files: a file without a density must not keep the previous one's.
    CxImage image;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        JpegSpec spec;
        spec.pixel = [](uint32_t, uint32_t, uint8_t* o) { o[0] = o[1] = o[2] = 128; };
        spec.setup = [&](jpeg_compress_struct& cinfo) {
            cinfo.write_JFIF_header = c.unit >= 0;
            cinfo.density_unit = UINT8(c.unit);
            cinfo.X_density = UINT16(c.x);
            cinfo.Y_density = UINT16(c.y);
        };
        const std::vector<uint8_t> bytes = libjpegEncode(spec);
        ASSERT_TRUE(image.Decode(bytes.data(), bytes.size(), CXIMAGE_FORMAT_JPG)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetXDPI(), c.dpiX);
        EXPECT_EQ(image.GetYDPI(), c.dpiY);
    }
}

std::vector<uint8_t> sampleJpeg()
{
    JpegSpec spec;
    spec.width = 64;
    spec.height = 64;
    spec.pixel = [](uint32_t x, uint32_t y, uint8_t* o) {
        o[0] = uint8_t(x * 4);
        o[1] = uint8_t(y * 4);
        o[2] = uint8_t((x * y) & 0xFF);
    };
    return libjpegEncode(spec);
}

TEST(JpegCodec, MalformedFilesGiveAnErrorText)
{
    const std::vector<uint8_t> good = sampleJpeg();
    // Offset of the start-of-scan marker: everything before it is header.
    size_t sos = 0;
    for (size_t i = 0; i + 1 < good.size() && !sos; ++i)
        if (good[i] == 0xFF && good[i + 1] == 0xDA)
            sos = i;
    ASSERT_GT(sos, 0u);

    std::vector<uint8_t> garbledSof = good;
    for (size_t i = 0; i + 1 < garbledSof.size(); ++i)
        if (garbledSof[i] == 0xFF && garbledSof[i + 1] == 0xC0) {
            garbledSof[i + 9] = 7; // seven components
            break;
        }
    const std::vector<uint8_t> text = { 'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd' };

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        { "empty", {} },
        { "not a JPEG", text },
        { "start marker only", { 0xFF, 0xD8 } },
        { "cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + long(sos / 2)) },
        { "cut before the scan", std::vector<uint8_t>(good.begin(), good.begin() + long(sos)) },
        { "cut inside the scan",
            std::vector<uint8_t>(good.begin(), good.begin() + long(sos + (good.size() - sos) / 3)) },
        { "bad frame header", garbledSof },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage image;
        CxMemFile file(c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(CxImageJPG::Decode(image, file));
        EXPECT_FALSE(image.IsValid());
        EXPECT_STRNE(image.GetLastErrorText(), "");
    }
}

TEST(JpegCodec, AFileMissingOnlyItsEndMarkerStillLoads)
{
    std::vector<uint8_t> bytes = sampleJpeg();
    ASSERT_EQ(bytes[bytes.size() - 2], 0xFF);
    ASSERT_EQ(bytes[bytes.size() - 1], 0xD9);
    bytes.pop_back();
    bytes.pop_back();
    CxImage image(bytes.data(), bytes.size(), CXIMAGE_FORMAT_JPG);
    EXPECT_TRUE(image.IsValid()) << image.GetLastErrorText();
}

TEST(JpegCodec, AHugeFrameSizeIsRefusedBeforeAnythingIsAllocated)
{
    std::vector<uint8_t> bytes = sampleJpeg();
    bool patched = false;
    for (size_t i = 0; i + 8 < bytes.size() && !patched; ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            // 60000 x 60000: about 10 GB as a 24-bit image.
            bytes[i + 5] = 0xEA;
            bytes[i + 6] = 0x60;
            bytes[i + 7] = 0xEA;
            bytes[i + 8] = 0x60;
            patched = true;
        }
    ASSERT_TRUE(patched);
    CxImage image(bytes.data(), bytes.size(), CXIMAGE_FORMAT_JPG);
    EXPECT_FALSE(image.IsValid());
    EXPECT_STREQ(image.GetLastErrorText(), "CXIMAGE_MAX_MEMORY exceeded");
}

// ---- through the file layer

TEST(JpegFiles, UpperCaseExtensionLoadsAsJpeg)
{
    testing::ScratchFolder folder;
    const std::string path = folder.write("PHOTO.JPG", sampleJpeg());
    const std::optional<uint32_t> format = formatFromFileName(path);
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(*format, uint32_t(CXIMAGE_FORMAT_JPG));
    CxImage image(path, *format);
    ASSERT_TRUE(image.IsValid()) << image.GetLastErrorText();
    EXPECT_EQ(image.GetType(), uint32_t(CXIMAGE_FORMAT_JPG));
    EXPECT_EQ(image.GetWidth(), 64);
}

TEST(JpegFiles, SaveWritesAFileThatLoadsBack)
{
    testing::ScratchFolder folder;
    CxImage image;
    testing::fill24(image, 20, 10, testing::smoothColour);
    const std::string path = folder.file("out.jpg");
    ASSERT_TRUE(image.Save(path, CXIMAGE_FORMAT_JPG)) << image.GetLastErrorText();
    const std::vector<uint8_t> bytes = testing::ScratchFolder::read(path);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    CxImage loaded(path, CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(loaded.IsValid()) << loaded.GetLastErrorText();
    EXPECT_TRUE(near(colourAt(loaded, 10, 5), testing::smoothColour(10, 5), 16));
}

} // namespace
} // namespace tessary
