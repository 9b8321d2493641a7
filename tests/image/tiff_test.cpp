#include "image/cx_codecs.h"
#include "image/cx_image.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <jpeglib.h>
#include <tiffio.h>

namespace tessary {
namespace {

using testing::alphaAt;
using testing::colourAt;
using testing::Rgb;

// ---- fixtures made with libtiff itself

struct TiffLayout {
    uint32_t width = 19, height = 13; // odd sizes: partial bytes, padded DIB rows, partial tiles
    uint16_t samples = 3, bits = 8;
    uint16_t photometric = PHOTOMETRIC_RGB;
    uint16_t compression = COMPRESSION_LZW;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    bool associatedAlpha = false; // the 4th sample is premultiplied alpha
    uint32_t tile = 0; // tile side, 0 for strips
    std::optional<std::pair<float, uint16_t>> resolution; // value, unit
};

Rgb paletteColour(uint32_t i)
{
    return { int(i * 37 % 256), int(i * 91 % 256), int((i * 53 + 17) % 256) };
}

// Sample c of the pixel stored at (x, row) in the file.
uint32_t sampleAt(const TiffLayout& layout, uint32_t x, uint32_t row, int c)
{
    if (layout.bits == 16)
        return (x * 2654 + row * 40503 + uint32_t(c) * 12345 + x * row * 77) & 0xFFFF;
    return (x * 7 + row * 13 + uint32_t(c) * 29 + x * row) % (1u << layout.bits);
}

void putSample(uint8_t* buffer, size_t index, uint16_t bits, uint32_t value)
{
    if (bits == 16) {
        std::memcpy(buffer + 2 * index, &value, 2); // native order, as libtiff expects
    } else if (bits == 8) {
        buffer[index] = uint8_t(value);
    } else {
        const size_t bit = index * bits;
        buffer[bit / 8] |= uint8_t(value << (8 - bits - bit % 8));
    }
}

std::vector<uint8_t> libtiffEncode(const TiffLayout& layout, const testing::ScratchFolder& folder)
{
    const std::string path = folder.file("fixture.tif");
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tif, nullptr);
    if (!tif)
        return {};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, layout.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, layout.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, layout.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, layout.bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, layout.compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, layout.planar);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, layout.orientation);
    if (layout.associatedAlpha) {
        uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (layout.photometric == PHOTOMETRIC_SEPARATED)
        TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
    std::vector<uint16_t> map[3];
    if (layout.photometric == PHOTOMETRIC_PALETTE) {
        for (uint32_t i = 0; i < (1u << layout.bits); ++i) {
            const Rgb c = paletteColour(i);
            map[0].push_back(uint16_t(c.r * 257));
            map[1].push_back(uint16_t(c.g * 257));
            map[2].push_back(uint16_t(c.b * 257));
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
    }
    if (layout.resolution) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, layout.resolution->first);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, layout.resolution->first);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, layout.resolution->second);
    }
    const bool separate = layout.planar == PLANARCONFIG_SEPARATE;
    const int planes = separate ? layout.samples : 1;
    const int perPixel = separate ? 1 : layout.samples;
    if (layout.tile) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, layout.tile);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, layout.tile);
        std::vector<uint8_t> buffer(size_t(TIFFTileSize(tif)));
        for (int plane = 0; plane < planes; ++plane)
            for (uint32_t ty = 0; ty < layout.height; ty += layout.tile)
                for (uint32_t tx = 0; tx < layout.width; tx += layout.tile) {
                    std::fill(buffer.begin(), buffer.end(), 0);
                    for (uint32_t y = 0; y < layout.tile; ++y)
                        for (uint32_t x = 0; x < layout.tile; ++x)
                            for (int c = 0; c < perPixel; ++c)
                                if (tx + x < layout.width && ty + y < layout.height)
                                    putSample(buffer.data(),
                                        (size_t(y) * layout.tile + x) * size_t(perPixel) + size_t(c),
                                        layout.bits, sampleAt(layout, tx + x, ty + y, separate ? plane : c));
                    EXPECT_GE(TIFFWriteTile(tif, buffer.data(), tx, ty, 0, uint16_t(plane)), 0);
                }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 4);
        std::vector<uint8_t> row(size_t(TIFFScanlineSize(tif)));
        for (int plane = 0; plane < planes; ++plane)
            for (uint32_t y = 0; y < layout.height; ++y) {
                std::fill(row.begin(), row.end(), 0);
                for (uint32_t x = 0; x < layout.width; ++x)
                    for (int c = 0; c < perPixel; ++c)
                        putSample(row.data(), size_t(x) * size_t(perPixel) + size_t(c), layout.bits,
                            sampleAt(layout, x, y, separate ? plane : c));
                EXPECT_GE(TIFFWriteScanline(tif, row.data(), y, uint16_t(plane)), 0);
            }
    }
    TIFFClose(tif);
    return testing::ScratchFolder::read(path);
}

int to8(const TiffLayout& layout, uint32_t sample)
{
    if (layout.bits == 16)
        return int((sample * 255 + 32767) / 65535);
    return int(sample * 255 / ((1u << layout.bits) - 1));
}

// Colour and alpha expected at pixel (x, y from the first stored row): the decoder keeps the
// rows as stored and only reports the orientation (loading turns the picture upright).
Rgb expectedColour(const TiffLayout& layout, uint32_t x, uint32_t y)
{
    auto s = [&](int c) { return sampleAt(layout, x, y, c); };
    switch (layout.photometric) {
    case PHOTOMETRIC_PALETTE:
        return paletteColour(s(0));
    case PHOTOMETRIC_MINISBLACK:
        return { to8(layout, s(0)), to8(layout, s(0)), to8(layout, s(0)) };
    case PHOTOMETRIC_MINISWHITE:
        return { 255 - to8(layout, s(0)), 255 - to8(layout, s(0)), 255 - to8(layout, s(0)) };
    case PHOTOMETRIC_SEPARATED: {
        const int k = 255 - int(s(3));
        return { k * (255 - int(s(0))) / 255, k * (255 - int(s(1))) / 255, k * (255 - int(s(2))) / 255 };
    }
    default:
        return { to8(layout, s(0)), to8(layout, s(1)), to8(layout, s(2)) };
    }
}

std::vector<uint8_t> bytesOfFile(const testing::ScratchFolder& folder, const TiffLayout& layout)
{
    return libtiffEncode(layout, folder);
}

// ---- decoder

TEST(TiffCodec, DecodesLayoutsMadeByLibtiff)
{
    testing::ScratchFolder folder;
    auto layout = [](uint16_t photometric, uint16_t samples, uint16_t bits) {
        TiffLayout s;
        s.photometric = photometric;
        s.samples = samples;
        s.bits = bits;
        return s;
    };
    TiffLayout planar = layout(PHOTOMETRIC_RGB, 3, 8);
    planar.planar = PLANARCONFIG_SEPARATE;
    TiffLayout tiled = layout(PHOTOMETRIC_RGB, 3, 8);
    tiled.tile = 16;
    TiffLayout bottomUp = layout(PHOTOMETRIC_MINISBLACK, 1, 8);
    bottomUp.orientation = ORIENTATION_BOTLEFT;
    TiffLayout rgba = layout(PHOTOMETRIC_RGB, 4, 8);
    rgba.associatedAlpha = true;
    // Read through libtiff's RGBA reader, which would otherwise flip by the orientation itself.
    TiffLayout tiledTurned = tiled;
    tiledTurned.orientation = ORIENTATION_RIGHTBOT;
    TiffLayout rgbTurned = layout(PHOTOMETRIC_RGB, 3, 8);
    rgbTurned.orientation = ORIENTATION_BOTRIGHT;
    TiffLayout bilevel = layout(PHOTOMETRIC_MINISWHITE, 1, 1);
    bilevel.compression = COMPRESSION_CCITTFAX4;
    TiffLayout uncompressed = layout(PHOTOMETRIC_RGB, 3, 8);
    uncompressed.compression = COMPRESSION_NONE;
    TiffLayout deflate16 = layout(PHOTOMETRIC_RGB, 3, 16);
    deflate16.compression = COMPRESSION_ADOBE_DEFLATE;

    struct Case {
        const char* name;
        TiffLayout layout;
        uint16_t bpp;
        bool alpha;
    } cases[] = {
        { "RGB 8 bits LZW", layout(PHOTOMETRIC_RGB, 3, 8), 24, false },
        { "RGB 8 bits uncompressed", uncompressed, 24, false },
        { "RGB 16 bits deflate", deflate16, 24, false },
        { "RGB planes", planar, 24, false },
        { "RGB tiles", tiled, 24, false },
        { "RGB tiles, orientation 7", tiledTurned, 24, false },
        { "RGB rows, orientation 3", rgbTurned, 24, false },
        { "RGBA", rgba, 24, true },
        { "CMYK", layout(PHOTOMETRIC_SEPARATED, 4, 8), 24, false },
        { "grey 8 bits", layout(PHOTOMETRIC_MINISBLACK, 1, 8), 8, false },
        { "grey 8 bits, white is zero", layout(PHOTOMETRIC_MINISWHITE, 1, 8), 8, false },
        { "grey 8 bits stored bottom-up", bottomUp, 8, false },
        { "grey 4 bits", layout(PHOTOMETRIC_MINISBLACK, 1, 4), 4, false },
        { "grey 2 bits", layout(PHOTOMETRIC_MINISBLACK, 1, 2), 4, false },
        { "grey 16 bits", layout(PHOTOMETRIC_MINISBLACK, 1, 16), 24, false },
        { "bilevel G4", bilevel, 1, false },
        { "palette 8 bits", layout(PHOTOMETRIC_PALETTE, 1, 8), 8, false },
        { "palette 4 bits", layout(PHOTOMETRIC_PALETTE, 1, 4), 4, false },
        { "palette 2 bits", layout(PHOTOMETRIC_PALETTE, 1, 2), 4, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = bytesOfFile(folder, c.layout);
        CxImage image;
        CxMemFile file(bytes.data(), bytes.size());
        ASSERT_TRUE(CxImageTIF::Decode(image, file)) << image.GetLastErrorText();
        ASSERT_EQ(image.GetWidth(), int32_t(c.layout.width));
        ASSERT_EQ(image.GetHeight(), int32_t(c.layout.height));
        ASSERT_EQ(image.GetBpp(), c.bpp);
        ASSERT_EQ(image.AlphaIsValid(), c.alpha);
        EXPECT_EQ(image.GetOrientation(), c.layout.orientation);
        // libtiff's own conversions (16 to 8 bits, CMYK) may round differently by one.
        const int tolerance = c.layout.bits == 16 || c.layout.photometric == PHOTOMETRIC_SEPARATED ? 1 : 0;
        for (uint32_t y = 0; y < c.layout.height; ++y)
            for (uint32_t x = 0; x < c.layout.width; ++x) {
                const Rgb want = expectedColour(c.layout, x, y), got = colourAt(image, x, y);
                ASSERT_LE(std::abs(want.r - got.r), tolerance)
                    << x << ", " << y << ": " << got << " not " << want;
                ASSERT_LE(std::abs(want.g - got.g), tolerance)
                    << x << ", " << y << ": " << got << " not " << want;
                ASSERT_LE(std::abs(want.b - got.b), tolerance)
                    << x << ", " << y << ": " << got << " not " << want;
                if (c.alpha) {
                    ASSERT_EQ(alphaAt(image, x, y), sampleAt(c.layout, x, y, 3)) << x << ", " << y;
                }
            }
    }
}

TEST(TiffCodec, ResolutionComesFromTheResolutionTags)
{
    testing::ScratchFolder folder;
    struct Case {
        std::optional<std::pair<float, uint16_t>> resolution;
        int32_t dpi;
    } cases[] = {
        { std::pair<float, uint16_t>(300.0f, RESUNIT_INCH), 300 },
        { std::pair<float, uint16_t>(118.11f, RESUNIT_CENTIMETER), 300 },
        { std::pair<float, uint16_t>(72.0f, RESUNIT_NONE), 96 },
        { std::nullopt, 96 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        TiffLayout layout;
        layout.resolution = c.resolution;
        const std::vector<uint8_t> bytes = bytesOfFile(folder, layout);
        CxImage image(bytes.data(), bytes.size(), CXIMAGE_FORMAT_TIF);
        ASSERT_TRUE(image.IsValid()) << image.GetLastErrorText();
        EXPECT_EQ(image.GetXDPI(), c.dpi);
        EXPECT_EQ(image.GetYDPI(), c.dpi);
    }
}

TEST(TiffCodec, DecodesFromTheStreamsCurrentPosition)
{
    // Offsets inside a TIFF count from its first byte, wherever that is in the stream.
    testing::ScratchFolder folder;
    TiffLayout layout;
    const std::vector<uint8_t> tiff = bytesOfFile(folder, layout);
    std::vector<uint8_t> bytes = { 'j', 'u', 'n', 'k', '!' };
    bytes.insert(bytes.end(), tiff.begin(), tiff.end());
    CxMemFile file(bytes.data(), bytes.size());
    ASSERT_TRUE(file.Seek(5, SEEK_SET));
    CxImage image;
    ASSERT_TRUE(CxImageTIF::Decode(image, file)) << image.GetLastErrorText();
    EXPECT_EQ(colourAt(image, 4, 7), expectedColour(layout, 4, 7));
}

TEST(TiffCodec, EncodesAtTheStreamsCurrentPosition)
{
    CxImage image;
    ASSERT_NE(image.Create(6, 4, 8, CXIMAGE_FORMAT_BMP), nullptr);
    image.SetGrayPalette();
    for (uint32_t row = 0; row < 4; ++row)
        for (uint32_t x = 0; x < 6; ++x)
            image.GetBits(row)[x] = uint8_t(row * 40 + x);
    CxMemFile file;
    ASSERT_EQ(file.Write("head", 1, 4), 4u);
    ASSERT_TRUE(CxImageTIF::Encode(image, file)) << image.GetLastErrorText();
    const std::vector<uint8_t>& bytes = file.Buffer();
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), std::string("headII", 6));

    CxMemFile input(bytes.data(), bytes.size());
    ASSERT_TRUE(input.Seek(4, SEEK_SET));
    CxImage decoded;
    ASSERT_TRUE(CxImageTIF::Decode(decoded, input)) << decoded.GetLastErrorText();
    ASSERT_EQ(decoded.GetBpp(), 8);
    for (uint32_t row = 0; row < 4; ++row)
        EXPECT_EQ(std::memcmp(decoded.GetBits(row), image.GetBits(row), 6), 0) << row;
}

// A little-endian TIFF with one directory of short/long entries held in the entry itself.
std::vector<uint8_t> handMadeTiff(
    const std::vector<std::tuple<uint16_t, uint16_t, uint32_t>>& entries, size_t pixelBytes = 16)
{
    std::vector<uint8_t> out = { 'I', 'I', 42, 0, 8, 0, 0, 0 };
    auto put16 = [&](uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(uint32_t(entries.size()));
    for (const auto& [tag, type, value] : entries) {
        put16(tag);
        put16(type);
        put32(1);
        if (type == TIFF_SHORT) {
            put16(value);
            put16(0);
        } else {
            put32(value);
        }
    }
    put32(0);
    out.resize(out.size() + pixelBytes, 0x55);
    return out;
}

std::vector<std::tuple<uint16_t, uint16_t, uint32_t>> greyDirectory(
    uint32_t width, uint32_t height, uint32_t stripOffset)
{
    return {
        { TIFFTAG_IMAGEWIDTH, TIFF_LONG, width },
        { TIFFTAG_IMAGELENGTH, TIFF_LONG, height },
        { TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 8 },
        { TIFFTAG_COMPRESSION, TIFF_SHORT, COMPRESSION_NONE },
        { TIFFTAG_PHOTOMETRIC, TIFF_SHORT, PHOTOMETRIC_MINISBLACK },
        { TIFFTAG_STRIPOFFSETS, TIFF_LONG, stripOffset },
        { TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, 1 },
        { TIFFTAG_ROWSPERSTRIP, TIFF_LONG, height },
        { TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, width * height },
    };
}

TEST(TiffCodec, HandMadeDirectoryDecodes)
{
    // 4 x 4 grey, pixels right after the directory (8 + 2 + 9 x 12 + 4 = 122).
    const std::vector<uint8_t> bytes = handMadeTiff(greyDirectory(4, 4, 122));
    CxImage image(bytes.data(), bytes.size(), CXIMAGE_FORMAT_TIF);
    ASSERT_TRUE(image.IsValid()) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 8);
    EXPECT_EQ(colourAt(image, 3, 3), (Rgb { 0x55, 0x55, 0x55 }));
}

TEST(TiffCodec, MalformedFilesGiveAnErrorTextAndNothingOnStderr)
{
    testing::ScratchFolder folder;
    TiffLayout layout;
    layout.compression = COMPRESSION_NONE;
    const std::vector<uint8_t> good = bytesOfFile(folder, layout);
    std::vector<uint8_t> directoryOutside = good;
    directoryOutside[4] = 0xF0; // first directory offset far past the end
    directoryOutside[5] = 0xFF;
    directoryOutside[6] = 0xFF;
    std::vector<uint8_t> rgbHuge = handMadeTiff(greyDirectory(100000, 100000, 122));
    rgbHuge[8 + 2 + 6 * 12 + 8] = 3; // three samples per pixel: read through the RGBA path

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* text; // expected error text, or null for any
    } cases[] = {
        { "empty", {}, nullptr },
        { "not a TIFF", { 'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 }, nullptr },
        { "header only", { 'I', 'I', 42, 0, 8, 0, 0, 0 }, nullptr },
        { "directory outside the file", directoryOutside, nullptr },
        { "cut inside the pixels", std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() / 3)),
            nullptr },
        { "strip outside the file", handMadeTiff(greyDirectory(4, 4, 1000000)), nullptr },
        { "no image size", handMadeTiff({ { TIFFTAG_PHOTOMETRIC, TIFF_SHORT, 1 } }), nullptr },
        { "huge grey image", handMadeTiff(greyDirectory(100000, 100000, 122)),
            "CXIMAGE_MAX_MEMORY exceeded" },
        { "huge RGB image", rgbHuge, "CXIMAGE_MAX_MEMORY exceeded" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage image;
        CxMemFile file(c.bytes.data(), c.bytes.size());
        ::testing::internal::CaptureStderr();
        const bool decoded = CxImageTIF::Decode(image, file);
        const std::string printed = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(decoded);
        EXPECT_FALSE(image.IsValid());
        EXPECT_STRNE(image.GetLastErrorText(), "");
        EXPECT_EQ(printed, "");
        if (c.text) {
            EXPECT_STREQ(image.GetLastErrorText(), c.text);
        }
    }
}

// ---- encoder

struct SavedTiff {
    explicit SavedTiff(const std::vector<uint8_t>& bytes, const testing::ScratchFolder& folder)
    {
        tif = TIFFOpen(folder.write("saved.tif", bytes).c_str(), "r");
    }
    ~SavedTiff()
    {
        if (tif)
            TIFFClose(tif);
    }
    template <class T> T get(ttag_t tag)
    {
        T value {};
        EXPECT_TRUE(TIFFGetField(tif, tag, &value)) << "tag " << tag;
        return value;
    }
    TIFF* tif = nullptr;
};

// Taller than one strip: the JPEG codec would make its own default 80 (a multiple of 16); the
// file keeps libtiff's default, 8192 / 120 = 68 rows, rounded up to 72.
TEST(TiffCodec, RowsPerStripIsLibtiffsDefaultRoundedUpToEight)
{
    testing::ScratchFolder folder;
    CxImage tall;
    testing::fill24(tall, 40, 200, testing::smoothColour);
    SavedTiff saved(testing::encodeToMemory(tall, CXIMAGE_FORMAT_TIF), folder);
    ASSERT_NE(saved.tif, nullptr);
    EXPECT_EQ(saved.get<uint32_t>(TIFFTAG_ROWSPERSTRIP), 72u);
}

TEST(TiffCodec, Saved24BitFileIsJpegCompressedRgbWithTheFixedTags)
{
    testing::ScratchFolder folder;
    CxImage image;
    testing::fill24(image, 40, 21, testing::smoothColour);
    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_TIF);
    SavedTiff saved(bytes, folder);
    ASSERT_NE(saved.tif, nullptr);
    EXPECT_EQ(saved.get<uint32_t>(TIFFTAG_IMAGEWIDTH), 40u);
    EXPECT_EQ(saved.get<uint32_t>(TIFFTAG_IMAGELENGTH), 21u);
    EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_SAMPLESPERPIXEL), 3);
    EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_BITSPERSAMPLE), 8);
    EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_PHOTOMETRIC), PHOTOMETRIC_RGB);
    EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_PLANARCONFIG), PLANARCONFIG_CONTIG);
    EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_ORIENTATION), ORIENTATION_TOPLEFT);
    EXPECT_EQ(saved.get<uint32_t>(TIFFTAG_SUBFILETYPE), 0u);
    EXPECT_EQ(saved.get<float>(TIFFTAG_XRESOLUTION), 96.0f);
    EXPECT_EQ(saved.get<float>(TIFFTAG_YRESOLUTION), 96.0f);
    EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_RESOLUTIONUNIT), RESUNIT_INCH);
    EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_COMPRESSION), COMPRESSION_JPEG);
    // libtiff's default strip size for 120-byte lines, 8192 / 120 = 68, up to a multiple of 8.
    EXPECT_EQ(saved.get<uint32_t>(TIFFTAG_ROWSPERSTRIP), 72u);
    EXPECT_EQ(TIFFNumberOfDirectories(saved.tif), 1);

    // Quality 90: the quantisation tables in JPEGTables are the ones libjpeg makes for it.
    uint32_t tableBytes = 0;
    void* tables = nullptr;
    ASSERT_TRUE(TIFFGetField(saved.tif, TIFFTAG_JPEGTABLES, &tableBytes, &tables));
    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr err {};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, static_cast<const unsigned char*>(tables), tableBytes);
    ASSERT_EQ(jpeg_read_header(&cinfo, FALSE), JPEG_HEADER_TABLES_ONLY);
    jpeg_compress_struct reference {};
    jpeg_error_mgr referenceErr {};
    reference.err = jpeg_std_error(&referenceErr);
    jpeg_create_compress(&reference);
    reference.in_color_space = JCS_RGB;
    reference.input_components = 3;
    jpeg_set_defaults(&reference);
    jpeg_set_quality(&reference, 90, FALSE);
    ASSERT_NE(cinfo.quant_tbl_ptrs[0], nullptr);
    for (int i = 0; i < DCTSIZE2; ++i)
        EXPECT_EQ(cinfo.quant_tbl_ptrs[0]->quantval[i], reference.quant_tbl_ptrs[0]->quantval[i]) << i;
    jpeg_destroy_compress(&reference);
    jpeg_destroy_decompress(&cinfo);

    // Rows are stored top row first, red first.
    std::vector<uint8_t> row(size_t(TIFFScanlineSize(saved.tif)));
    ASSERT_GE(TIFFReadScanline(saved.tif, row.data(), 0, 0), 0);
    const Rgb top = testing::smoothColour(7, 0);
    EXPECT_LE(std::abs(row[21] - top.r), 12);
    EXPECT_LE(std::abs(row[22] - top.g), 12);
    EXPECT_LE(std::abs(row[23] - top.b), 12);
}

TEST(TiffCodec, JpegRoundTripStaysCloseToTheOriginal)
{
    CxImage image;
    testing::fill24(image, 37, 23, testing::smoothColour);
    const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_TIF);
    CxImage decoded(bytes.data(), bytes.size(), CXIMAGE_FORMAT_TIF);
    ASSERT_TRUE(decoded.IsValid()) << decoded.GetLastErrorText();
    ASSERT_EQ(decoded.GetBpp(), 24);
    EXPECT_EQ(decoded.GetXDPI(), 96);
    int worst = 0;
    for (uint32_t y = 0; y < 23; ++y)
        for (uint32_t x = 0; x < 37; ++x) {
            const Rgb want = testing::smoothColour(x, y), got = colourAt(decoded, x, y);
            worst = std::max(
                { worst, std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b) });
        }
    EXPECT_LE(worst, 12);
}

TEST(TiffCodec, IndexedImagesRoundTripExactlyWithTheCompressionOfTheirDepth)
{
    testing::ScratchFolder folder;
    struct Case {
        uint16_t bpp;
        uint16_t compression;
        uint16_t predictor;
    } cases[] = {
        { 1, COMPRESSION_CCITTFAX4, PREDICTOR_NONE },
        { 4, COMPRESSION_LZW, PREDICTOR_NONE },
        { 8, COMPRESSION_LZW, PREDICTOR_HORIZONTAL },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        const uint32_t width = 21, height = 9;
        CxImage image;
        ASSERT_NE(image.Create(width, height, c.bpp, CXIMAGE_FORMAT_BMP), nullptr);
        if (c.bpp == 1) {
            image.SetPaletteColor(0, 0, 0, 0);
            image.SetPaletteColor(1, 255, 255, 255);
        } else {
            for (uint32_t i = 0; i < image.GetNumColors(); ++i) {
                const Rgb p = paletteColour(i);
                image.SetPaletteColor(uint8_t(i), uint8_t(p.r), uint8_t(p.g), uint8_t(p.b));
            }
        }
        const size_t used = (size_t(width) * c.bpp + 7) / 8;
        for (uint32_t row = 0; row < height; ++row)
            for (size_t i = 0; i < used; ++i)
                image.GetBits(row)[i] = uint8_t(row * 31 + i * 17 + i * i);
        // The pad bits past the last pixel are not pixels: they stay clear.
        const uint32_t padBits = uint32_t(used * 8 - size_t(width) * c.bpp);
        for (uint32_t row = 0; row < height; ++row)
            image.GetBits(row)[used - 1] &= uint8_t(0xFF << padBits);

        const std::vector<uint8_t> bytes = testing::encodeToMemory(image, CXIMAGE_FORMAT_TIF);
        {
            SavedTiff saved(bytes, folder);
            ASSERT_NE(saved.tif, nullptr);
            EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_COMPRESSION), c.compression);
            EXPECT_EQ(saved.get<uint16_t>(TIFFTAG_BITSPERSAMPLE), c.bpp);
            uint16_t predictor = PREDICTOR_NONE;
            TIFFGetField(saved.tif, TIFFTAG_PREDICTOR, &predictor);
            EXPECT_EQ(predictor, c.predictor);
        }
        CxImage decoded(bytes.data(), bytes.size(), CXIMAGE_FORMAT_TIF);
        ASSERT_TRUE(decoded.IsValid()) << decoded.GetLastErrorText();
        ASSERT_EQ(decoded.GetBpp(), c.bpp);
        for (uint32_t row = 0; row < height; ++row)
            for (size_t i = 0; i < used; ++i)
                ASSERT_EQ(decoded.GetBits(row)[i], image.GetBits(row)[i]) << "row " << row << " byte " << i;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                ASSERT_EQ(colourAt(decoded, x, y), colourAt(image, x, y)) << x << ", " << y;
    }
}

TEST(TiffCodec, EncodingIntoAFullDiskFails)
{
    CxImage image;
    // Tall enough for several strips: a strip is written out when the next one begins.
    testing::fill24(image, 64, 200, testing::smoothColour);
    const size_t full = testing::encodeToMemory(image, CXIMAGE_FORMAT_TIF).size();
    struct Case {
        size_t capacity;
        const char* text;
    } cases[] = {
        { 0, "Error saving TIFF file" }, // not even the header
        { 100, "Error saving TIFF file" }, // the first strip does not fit
        { full - 1, "Error saving TIFF directory" }, // only the directory, written last, does not fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        testing::FullDiskFile file(c.capacity);
        EXPECT_FALSE(image.Encode(file, CXIMAGE_FORMAT_TIF));
        EXPECT_STREQ(image.GetLastErrorText(), c.text);
    }
}

// ---- through the file layer

TEST(TiffFiles, SaveWritesAFileThatLoadsBack)
{
    // Save writes through a stream opened for writing only, which libtiff cannot read back.
    testing::ScratchFolder folder;
    CxImage image;
    testing::fill24(image, 30, 17, testing::smoothColour);
    const std::string path = folder.file("out.tif");
    ASSERT_TRUE(image.Save(path, CXIMAGE_FORMAT_TIF)) << image.GetLastErrorText();
    CxImage loaded(path, *formatFromFileName(path));
    ASSERT_TRUE(loaded.IsValid()) << loaded.GetLastErrorText();
    EXPECT_EQ(loaded.GetType(), uint32_t(CXIMAGE_FORMAT_TIF));
    EXPECT_EQ(loaded.GetWidth(), 30);
    const Rgb want = testing::smoothColour(12, 9), got = colourAt(loaded, 12, 9);
    EXPECT_LE(std::abs(want.r - got.r) + std::abs(want.g - got.g) + std::abs(want.b - got.b), 24) << got;
}

} // namespace
} // namespace tessary
