#include "image/bmp_writer.h"
#include "image/cx_image.h"
#include "image/masked_dib.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace tessary {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Bgr = std::array<uint8_t, 3>;

void put16(Bytes& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t get32(const Bytes& in, size_t at)
{
    return uint32_t(in[at]) | uint32_t(in[at + 1]) << 8 | uint32_t(in[at + 2]) << 16
        | uint32_t(in[at + 3]) << 24;
}

// A bitmap file put together field by field, so each test states exactly the bytes it feeds in.
struct Bmp {
    bool fileHeader = true;
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bpp = 24;
    uint32_t compression = 0;
    int32_t xPpm = 2835;
    int32_t yPpm = 2835;
    uint32_t clrUsed = 0;
    std::vector<uint32_t> masks; // after a 40-byte header; inside a larger one
    Bytes palette; // entries as stored (3 bytes each for the core header)
    Bytes pixels; // pixel data as stored
    std::optional<uint32_t> offBits;

    Bytes bytes() const
    {
        Bytes info;
        put32(info, headerSize);
        if (headerSize == 12) {
            put16(info, uint32_t(width));
            put16(info, uint32_t(height));
            put16(info, 1);
            put16(info, bpp);
        } else {
            put32(info, uint32_t(width));
            put32(info, uint32_t(height));
            put16(info, 1);
            put16(info, bpp);
            put32(info, compression);
            put32(info, uint32_t(pixels.size()));
            put32(info, uint32_t(xPpm));
            put32(info, uint32_t(yPpm));
            put32(info, clrUsed);
            put32(info, 0);
            if (headerSize > 40)
                for (size_t i = 0; i < 4; ++i)
                    put32(info, i < masks.size() ? masks[i] : 0);
            info.resize(headerSize, 0);
        }
        Bytes block = info;
        if (headerSize == 40)
            for (uint32_t m : masks)
                put32(block, m);
        const size_t beforePixels = block.size() + palette.size();
        block.insert(block.end(), palette.begin(), palette.end());
        block.insert(block.end(), pixels.begin(), pixels.end());
        if (!fileHeader)
            return block;
        Bytes file { 'B', 'M' };
        put32(file, uint32_t(14 + block.size()));
        put32(file, 0);
        put32(file, offBits.value_or(uint32_t(14 + beforePixels)));
        file.insert(file.end(), block.begin(), block.end());
        return file;
    }
};

// Entry i is blue 10i, green 10i + 1, red 10i + 2 (3 or 4 bytes per entry).
Bytes testPalette(int entries, int entrySize = 4)
{
    Bytes p;
    for (int i = 0; i < entries; ++i) {
        p.push_back(uint8_t(10 * i));
        p.push_back(uint8_t(10 * i + 1));
        p.push_back(uint8_t(10 * i + 2));
        if (entrySize == 4)
            p.push_back(0);
    }
    return p;
}

Bgr entryColour(int i)
{
    return { uint8_t(10 * i), uint8_t(10 * i + 1), uint8_t(10 * i + 2) };
}

uint32_t indexAt(CxImage& image, uint32_t x, uint32_t storedRow)
{
    const uint8_t* row = image.GetBits(storedRow);
    switch (image.GetBpp()) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
    default:
        return row[x];
    }
}

Bgr colourAt(CxImage& image, uint32_t x, uint32_t storedRow)
{
    if (image.GetBpp() == 24) {
        const uint8_t* p = image.GetBits(storedRow) + 3 * x;
        return { p[0], p[1], p[2] };
    }
    const uint8_t* e = image.GetPalette() + 4 * indexAt(image, x, storedRow);
    return { e[0], e[1], e[2] };
}

std::vector<uint32_t> indexRow(CxImage& image, uint32_t storedRow)
{
    std::vector<uint32_t> out;
    for (int32_t x = 0; x < image.GetWidth(); ++x)
        out.push_back(indexAt(image, uint32_t(x), storedRow));
    return out;
}

CxImage decode(const Bytes& bytes)
{
    return CxImage(bytes.data(), bytes.size(), CXIMAGE_FORMAT_BMP);
}

// The invariants every decoded bitmap keeps: the PackedDib layout exactly.
void expectPackedLayout(CxImage& image, int32_t width, int32_t height, int bpp)
{
    ASSERT_TRUE(image.IsValid()) << image.GetLastErrorText();
    BitmapInfoHeader h;
    std::memcpy(&h, image.GetDIB(), sizeof h);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, width);
    EXPECT_EQ(h.biHeight, height);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, bpp);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biClrUsed, bpp <= 8 ? (1u << bpp) : 0u);
    EXPECT_EQ(h.biSizeImage, rowStride(width, bpp) * uint32_t(height));
}

// ---------------------------------------------------------------- decoding of each subset

TEST(BmpDecode, OneFourAndEightBitPalettedRows)
{
    Bmp one;
    one.width = 3;
    one.height = 2;
    one.bpp = 1;
    one.palette = testPalette(2);
    one.pixels = { 0xA0, 0, 0, 0, 0x60, 0, 0, 0 }; // 1 0 1 / 0 1 1
    CxImage a = decode(one.bytes());
    expectPackedLayout(a, 3, 2, 1);
    EXPECT_EQ(indexRow(a, 0), (std::vector<uint32_t> { 1, 0, 1 }));
    EXPECT_EQ(indexRow(a, 1), (std::vector<uint32_t> { 0, 1, 1 }));
    EXPECT_EQ(colourAt(a, 0, 0), entryColour(1));
    EXPECT_EQ(colourAt(a, 1, 0), entryColour(0));

    Bmp four = one;
    four.bpp = 4;
    four.palette = testPalette(16);
    four.pixels = { 0x12, 0x30, 0, 0, 0x45, 0x6F, 0, 0 };
    CxImage b = decode(four.bytes());
    expectPackedLayout(b, 3, 2, 4);
    EXPECT_EQ(indexRow(b, 0), (std::vector<uint32_t> { 1, 2, 3 }));
    EXPECT_EQ(indexRow(b, 1), (std::vector<uint32_t> { 4, 5, 6 }));
    EXPECT_EQ(colourAt(b, 2, 1), entryColour(6));

    Bmp eight = one;
    eight.bpp = 8;
    eight.clrUsed = 16; // a shorter table than 256 entries: the rest is black
    eight.palette = testPalette(16);
    eight.pixels = { 1, 2, 3, 0, 7, 8, 15, 0 };
    CxImage c = decode(eight.bytes());
    expectPackedLayout(c, 3, 2, 8);
    EXPECT_EQ(indexRow(c, 0), (std::vector<uint32_t> { 1, 2, 3 }));
    EXPECT_EQ(indexRow(c, 1), (std::vector<uint32_t> { 7, 8, 15 }));
    EXPECT_EQ(colourAt(c, 2, 1), entryColour(15));
    const uint8_t* entry16 = c.GetPalette() + 4 * 16;
    EXPECT_EQ(std::vector<uint8_t>(entry16, entry16 + 4), (std::vector<uint8_t> { 0, 0, 0, 0 }));
}

TEST(BmpDecode, Rle8EncodedAbsoluteDeltaAndEndMarks)
{
    Bmp bmp;
    bmp.width = 4;
    bmp.height = 3;
    bmp.bpp = 8;
    bmp.compression = 1;
    bmp.clrUsed = 16;
    bmp.palette = testPalette(16);
    bmp.pixels = {
        3, 5, 1, 7, 0, 0, // row 0: 5 5 5 7, end of line
        0, 3, 1, 2, 3, 0, 0, 0, // row 1: absolute 1 2 3 (padded to even), end of line
        0, 2, 2, 0, 2, 9, 0, 1, // row 2: skip two pixels, 9 9, end of bitmap
    };
    CxImage image = decode(bmp.bytes());
    expectPackedLayout(image, 4, 3, 8);
    EXPECT_EQ(indexRow(image, 0), (std::vector<uint32_t> { 5, 5, 5, 7 }));
    EXPECT_EQ(indexRow(image, 1), (std::vector<uint32_t> { 1, 2, 3, 0 }));
    EXPECT_EQ(indexRow(image, 2), (std::vector<uint32_t> { 0, 0, 9, 9 }));
}

TEST(BmpDecode, Rle4AlternatesNibbles)
{
    Bmp bmp;
    bmp.width = 5;
    bmp.height = 2;
    bmp.bpp = 4;
    bmp.compression = 2;
    bmp.palette = testPalette(16);
    bmp.pixels = {
        5, 0x12, 0, 0, // row 0: 1 2 1 2 1
        0, 3, 0x34, 0x50, 0, 1, // row 1: absolute 3 4 5, end of bitmap
    };
    CxImage image = decode(bmp.bytes());
    expectPackedLayout(image, 5, 2, 4);
    EXPECT_EQ(indexRow(image, 0), (std::vector<uint32_t> { 1, 2, 1, 2, 1 }));
    EXPECT_EQ(indexRow(image, 1), (std::vector<uint32_t> { 3, 4, 5, 0, 0 }));
}

TEST(BmpDecode, SixteenBitsBecomeTwentyFour)
{
    Bmp rgb555;
    rgb555.width = 2;
    rgb555.height = 2;
    rgb555.bpp = 16;
    rgb555.pixels = { 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42 };
    CxImage a = decode(rgb555.bytes());
    expectPackedLayout(a, 2, 2, 24);
    EXPECT_EQ(colourAt(a, 0, 0), (Bgr { 0, 0, 255 }));
    EXPECT_EQ(colourAt(a, 1, 0), (Bgr { 0, 255, 0 }));
    EXPECT_EQ(colourAt(a, 0, 1), (Bgr { 255, 0, 0 }));
    EXPECT_EQ(colourAt(a, 1, 1), (Bgr { 132, 132, 132 })); // 16 of 31, scaled to 0..255
    EXPECT_FALSE(a.AlphaIsValid());

    Bmp rgb565 = rgb555;
    rgb565.height = 1;
    rgb565.compression = 3;
    rgb565.masks = { 0xF800, 0x07E0, 0x001F };
    rgb565.pixels = { 0x00, 0xF8, 0x00, 0x04 }; // red full; green 32 of 63
    CxImage b = decode(rgb565.bytes());
    expectPackedLayout(b, 2, 1, 24);
    EXPECT_EQ(colourAt(b, 0, 0), (Bgr { 0, 0, 255 }));
    EXPECT_EQ(colourAt(b, 1, 0), (Bgr { 0, 130, 0 }));

    // Some writers leave the masks out and start the pixels right after the header: the
    // default 5-5-5 masks apply.
    Bmp noMasks = rgb555;
    noMasks.compression = 3;
    CxImage c = decode(noMasks.bytes());
    expectPackedLayout(c, 2, 2, 24);
    EXPECT_EQ(colourAt(c, 0, 0), (Bgr { 0, 0, 255 }));
    EXPECT_EQ(colourAt(c, 1, 1), (Bgr { 132, 132, 132 }));
}

TEST(BmpDecode, TwentyFourBitRows)
{
    Bmp bmp;
    bmp.width = 2;
    bmp.height = 2;
    bmp.pixels = { 1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0 };
    CxImage image = decode(bmp.bytes());
    expectPackedLayout(image, 2, 2, 24);
    EXPECT_EQ(colourAt(image, 1, 0), (Bgr { 4, 5, 6 }));
    EXPECT_EQ(colourAt(image, 0, 1), (Bgr { 7, 8, 9 }));
}

TEST(BmpDecode, ThirtyTwoBitsGiveAlphaOnlyWhenFourthBytesAreSet)
{
    Bmp opaque;
    opaque.width = 2;
    opaque.bpp = 32;
    opaque.pixels = { 1, 2, 3, 0, 4, 5, 6, 0 };
    CxImage a = decode(opaque.bytes());
    expectPackedLayout(a, 2, 1, 24);
    EXPECT_EQ(colourAt(a, 0, 0), (Bgr { 1, 2, 3 }));
    EXPECT_EQ(colourAt(a, 1, 0), (Bgr { 4, 5, 6 }));
    EXPECT_FALSE(a.AlphaIsValid());

    Bmp withAlpha = opaque;
    withAlpha.pixels = { 1, 2, 3, 0x80, 4, 5, 6, 0 };
    CxImage b = decode(withAlpha.bytes());
    expectPackedLayout(b, 2, 1, 24);
    ASSERT_TRUE(b.AlphaIsValid());
    EXPECT_EQ(b.AlphaGet(0, 0), 0x80);
    EXPECT_EQ(b.AlphaGet(1, 0), 0);
    // A 40-byte header declares no alpha: the fourth bytes may be padding.
    EXPECT_FALSE(b.AlphaIsStored());
}

TEST(BmpDecode, ThirtyTwoBitFieldsInV4HeaderAndAfterInfoHeader)
{
    Bmp v4;
    v4.headerSize = 108;
    v4.bpp = 32;
    v4.compression = 3;
    v4.masks = { 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000 };
    v4.pixels = { 10, 20, 30, 40 };
    CxImage a = decode(v4.bytes());
    expectPackedLayout(a, 1, 1, 24);
    EXPECT_EQ(colourAt(a, 0, 0), (Bgr { 30, 20, 10 }));
    ASSERT_TRUE(a.AlphaIsValid());
    EXPECT_EQ(a.AlphaGet(0, 0), 40);
    EXPECT_TRUE(a.AlphaIsStored()) << "the V4 header names an alpha mask";

    // 10 bits per channel: the top bits of each channel are kept; bits 30-31 carry no alpha.
    Bmp tenBits;
    tenBits.bpp = 32;
    tenBits.compression = 3;
    tenBits.masks = { 0x3FF00000, 0x000FFC00, 0x000003FF };
    tenBits.pixels = { 0x00, 0x00, 0xF8, 0xFF }; // red 1023, green 512, blue 0, top bits set
    CxImage b = decode(tenBits.bytes());
    expectPackedLayout(b, 1, 1, 24);
    EXPECT_EQ(colourAt(b, 0, 0), (Bgr { 0, 128, 255 }));
    EXPECT_FALSE(b.AlphaIsValid());
}

TEST(BmpDecode, Os2CoreHeaderWidensThreeByteEntries)
{
    Bmp four;
    four.headerSize = 12;
    four.width = 2;
    four.bpp = 4;
    four.palette = testPalette(16, 3);
    four.pixels = { 0x1F, 0, 0, 0 };
    CxImage a = decode(four.bytes());
    expectPackedLayout(a, 2, 1, 4);
    EXPECT_EQ(colourAt(a, 0, 0), entryColour(1));
    EXPECT_EQ(colourAt(a, 1, 0), entryColour(15));
    EXPECT_EQ(a.GetPalette()[4 * 15 + 3], 0); // the widened fourth byte

    Bmp deep;
    deep.headerSize = 12;
    deep.pixels = { 7, 8, 9, 0 };
    CxImage b = decode(deep.bytes());
    expectPackedLayout(b, 1, 1, 24);
    EXPECT_EQ(colourAt(b, 0, 0), (Bgr { 7, 8, 9 }));
}

TEST(BmpDecode, TopDownRowsArriveBottomUp)
{
    Bmp deep;
    deep.height = -2;
    deep.pixels = { 1, 2, 3, 0, 4, 5, 6, 0 }; // top row first
    CxImage a = decode(deep.bytes());
    expectPackedLayout(a, 1, 2, 24);
    EXPECT_EQ(colourAt(a, 0, 0), (Bgr { 4, 5, 6 }));
    EXPECT_EQ(colourAt(a, 0, 1), (Bgr { 1, 2, 3 }));

    Bmp rle;
    rle.width = 2;
    rle.height = -2;
    rle.bpp = 8;
    rle.compression = 1;
    rle.clrUsed = 4;
    rle.palette = testPalette(4);
    rle.pixels = { 2, 1, 0, 0, 2, 3, 0, 1 };
    CxImage b = decode(rle.bytes());
    expectPackedLayout(b, 2, 2, 8);
    EXPECT_EQ(indexRow(b, 1), (std::vector<uint32_t> { 1, 1 }));
    EXPECT_EQ(indexRow(b, 0), (std::vector<uint32_t> { 3, 3 }));
}

TEST(BmpDecode, ResolutionFromPixelsPerMetre)
{
    struct Case {
        int32_t ppm;
        int32_t dpi;
    };
    const Case cases[]
        = { { 0, 96 }, { 3780, 96 }, { 2835, 72 }, { 3937, 100 }, { 11811, 300 }, { -3937, 96 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ppm);
        Bmp bmp;
        bmp.xPpm = c.ppm;
        bmp.yPpm = 2835;
        bmp.pixels = { 0, 0, 0, 0 };
        CxImage image = decode(bmp.bytes());
        ASSERT_TRUE(image.IsValid()) << image.GetLastErrorText();
        EXPECT_EQ(image.GetXDPI(), c.dpi);
        EXPECT_EQ(image.GetYDPI(), 72);
        BitmapInfoHeader h;
        std::memcpy(&h, image.GetDIB(), sizeof h);
        EXPECT_EQ(h.biXPelsPerMeter, int32_t(c.dpi * 10000.0 / 254.0 + 0.5));
    }
}

TEST(BmpDecode, BareDibHasItsPixelsRightAfterTheTable)
{
    Bmp eight;
    eight.fileHeader = false;
    eight.width = 2;
    eight.bpp = 8;
    eight.palette = testPalette(256 / 10 + 1); // 26 entries, then black ones up to 256
    eight.palette.resize(256 * 4, 0);
    eight.pixels = { 3, 25, 0, 0 };
    CxImage a = decode(eight.bytes());
    expectPackedLayout(a, 2, 1, 8);
    EXPECT_EQ(colourAt(a, 0, 0), entryColour(3));
    EXPECT_EQ(colourAt(a, 1, 0), entryColour(25));

    Bmp fields;
    fields.fileHeader = false;
    fields.bpp = 16;
    fields.compression = 3;
    fields.masks = { 0xF800, 0x07E0, 0x001F };
    fields.pixels = { 0x1F, 0x00, 0, 0 };
    CxImage b = decode(fields.bytes());
    expectPackedLayout(b, 1, 1, 24);
    EXPECT_EQ(colourAt(b, 0, 0), (Bgr { 255, 0, 0 }));
}

// The save path hands a PackedDib to the decoder as a bare BMP of biSizeImage + 40 bytes.
TEST(BmpDecode, PackedDibOfTheSavePathDecodesUnchanged)
{
    MaskedDib source;
    ASSERT_FALSE(allocateMaskedDib(3, 5, source, 24));
    const BitmapInfoHeader h = source.dib->header();
    for (uint32_t i = 0; i < h.biSizeImage; ++i)
        source.dib->row(0)[i] = uint8_t(i * 7 + 1);
    CxImage image(source.dib->data(), 40 + h.biSizeImage, CXIMAGE_FORMAT_BMP);
    expectPackedLayout(image, 5, 3, 24);
    EXPECT_EQ(image.GetXDPI(), 96);
    EXPECT_EQ(0, std::memcmp(image.GetBits(0), source.dib->row(0), h.biSizeImage));
}

// ---------------------------------------------------------------- malformed files

Bmp eightBitSample()
{
    Bmp bmp;
    bmp.width = 3;
    bmp.height = 2;
    bmp.bpp = 8;
    bmp.clrUsed = 4;
    bmp.palette = testPalette(4);
    bmp.pixels = { 1, 2, 3, 0, 3, 2, 1, 0 };
    return bmp;
}

Bmp rle8Sample(Bytes stream, int32_t width = 4, int32_t height = 2)
{
    Bmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bpp = 8;
    bmp.compression = 1;
    bmp.clrUsed = 4;
    bmp.palette = testPalette(4);
    bmp.pixels = std::move(stream);
    return bmp;
}

Bytes withByte(Bytes bytes, size_t at, uint8_t value)
{
    bytes.at(at) = value;
    return bytes;
}

Bytes with32(Bytes bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + size_t(i)) = uint8_t(value >> (8 * i));
    return bytes;
}

Bytes truncated(Bytes bytes, size_t length)
{
    bytes.resize(length);
    return bytes;
}

TEST(BmpMalformed, EachFailsWithItsTextOrDecodesSafely)
{
    // Offsets in a file with a file header: width 18, height 22, bit count 28, compression 30,
    // biClrUsed 46; pixel offset 10.
    const Bytes eight = eightBitSample().bytes();
    Bmp wide;
    wide.width = 30000;
    wide.height = 30000;
    wide.pixels = Bytes(16, 0);
    Bmp fields16;
    fields16.bpp = 16;
    fields16.compression = 3;
    fields16.masks = { 0xF800, 0x07E0, 0x001F };
    fields16.pixels = { 0, 0, 0, 0 };
    auto withMasks = [&](std::vector<uint32_t> masks, uint16_t bpp = 16) {
        Bmp b = fields16;
        b.bpp = bpp;
        b.masks = std::move(masks);
        return b.bytes();
    };
    Bmp bareHugeTable = eightBitSample();
    bareHugeTable.fileHeader = false;
    bareHugeTable.clrUsed = 0xFFFFFFFF;
    Bmp bare = eightBitSample();
    bare.fileHeader = false;
    bare.clrUsed = 0;
    bare.palette.resize(256 * 4, 0);

    struct Case {
        const char* name;
        Bytes bytes;
        const char* error; // null: decodes
    };
    const Case cases[] = {
        { "empty", {}, "Not a BMP" },
        { "one byte", { 'B' }, "Not a BMP" },
        { "file header cut", truncated(eight, 10), "Not a BMP" },
        { "info header cut", truncated(eight, 30), "Error reading BMP info" },
        { "header size 41", with32(eight, 14, 41), "Error reading BMP info" },
        { "header size huge", with32(eight, 14, 0xFFFFFFF0), "Error reading BMP info" },
        { "header size 0", with32(eight, 14, 0), "Error reading BMP info" },
        { "bare, header size 0", with32(bare.bytes(), 0, 0), "Not a BMP" },
        { "bare, header size 39", with32(bare.bytes(), 0, 39), "Not a BMP" },
        { "bare text", { 'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd' }, "Not a BMP" },
        { "zero width", with32(eight, 18, 0), "Error reading BMP info" },
        { "negative width", with32(eight, 18, uint32_t(-3)), "Error reading BMP info" },
        { "zero height", with32(eight, 22, 0), "Error reading BMP info" },
        { "height -2^31", with32(eight, 22, 0x80000000u), "Error reading BMP info" },
        { "2 bits per pixel", withByte(eight, 28, 2), "Error reading BMP info" },
        { "0 bits per pixel", withByte(eight, 28, 0), "Error reading BMP info" },
        { "JPEG inside", with32(eight, 30, 4), "compression type not supported" },
        { "PNG inside", with32(eight, 30, 5), "compression type not supported" },
        { "compression 9", with32(eight, 30, 9), "unknown compression" },
        { "compression 0x12345", with32(eight, 30, 0x12345), "unknown compression" },
        { "RLE4 on 8 bits", with32(eight, 30, 2), "compression type not supported" },
        { "bit fields on 8 bits", with32(eight, 30, 3), "compression type not supported" },
        { "zero red mask", withMasks({ 0, 0x07E0, 0x001F }), "Error reading BMP info" },
        { "zero blue mask", withMasks({ 0xF800, 0x07E0, 0 }), "Error reading BMP info" },
        { "split mask", withMasks({ 0xF801, 0x07E0, 0x001E }), "Error reading BMP info" },
        { "16-bit mask past 16 bits", withMasks({ 0x1F0000, 0x07E0, 0x001F }), "Error reading BMP info" },
        { "zero 32-bit mask", withMasks({ 0xFF0000, 0, 0xFF }, 32), "Error reading BMP info" },
        { "masks cut", truncated(fields16.bytes(), 60), "Error reading BMP info" },
        { "palette cut (bare)", truncated(bare.bytes(), 100), "Error reading BMP info" },
        { "pixels cut (bare)", truncated(bare.bytes(), bare.bytes().size() - 5), "corrupted BMP" },
        { "pixels cut", truncated(eight, eight.size() - 5), "corrupted BMP" },
        { "pixels missing", truncated(eight, eight.size() - 8), "corrupted BMP" },
        { "last row padding missing", truncated(eight, eight.size() - 1), nullptr },
        { "30000 x 30000 with 16 bytes", wide.bytes(), "corrupted BMP" },
        { "pixel offset past the end", with32(eight, 10, 0x7FFFFFFF), "corrupted BMP" },
        { "pixel offset inside the header", with32(eight, 10, 20), nullptr },
        { "table of 2^32-1 entries (bare)", bareHugeTable.bytes(), "Error reading BMP info" },
        { "RLE, 2^31-1 square", with32(with32(rle8Sample({ 0, 1 }).bytes(), 18, 0x7FFFFFFF), 22, 0x7FFFFFFF),
            "CXIMAGE_MAX_MEMORY exceeded" },
        { "RLE stream empty", rle8Sample({}).bytes(), "corrupted BMP" },
        { "RLE stream stops in row 0", rle8Sample({ 2, 1, 0 }).bytes(), "corrupted BMP" },
        { "RLE absolute run past the data", rle8Sample({ 0, 200, 1, 2 }).bytes(), "corrupted BMP" },
        { "RLE delta cut", rle8Sample({ 0, 2, 1 }).bytes(), "corrupted BMP" },
        { "RLE stream stops in the last row", rle8Sample({ 0, 0, 2, 1 }).bytes(), nullptr },
        { "RLE run past the row end", rle8Sample({ 255, 1, 0, 0, 255, 2, 0, 1 }).bytes(), nullptr },
        { "RLE absolute run past the row end", rle8Sample({ 0, 5, 1, 2, 3, 1, 2, 0, 0, 1 }).bytes(),
            nullptr },
        { "RLE delta past the image end", rle8Sample({ 1, 1, 0, 2, 255, 255, 1, 1, 0, 1 }).bytes(), nullptr },
        { "RLE lines past the image end", rle8Sample({ 0, 0, 0, 0, 0, 0, 0, 0, 2, 2 }).bytes(), nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage image = decode(c.bytes);
        if (c.error) {
            EXPECT_FALSE(image.IsValid());
            EXPECT_STREQ(image.GetLastErrorText(), c.error);
        } else {
            EXPECT_TRUE(image.IsValid()) << image.GetLastErrorText();
        }
    }
}

TEST(BmpMalformed, RleRunsAreClippedToTheirRow)
{
    // 255 pixels of 1 on a 3-pixel row, then an absolute run of 6 bytes: only the row is
    // written, its padding byte stays clear and the next row is untouched.
    CxImage image = decode(rle8Sample({ 255, 1, 0, 0, 0, 6, 2, 3, 2, 3, 2, 3, 0, 1 }, 3, 3).bytes());
    expectPackedLayout(image, 3, 3, 8);
    EXPECT_EQ(indexRow(image, 0), (std::vector<uint32_t> { 1, 1, 1 }));
    EXPECT_EQ(indexRow(image, 1), (std::vector<uint32_t> { 2, 3, 2 }));
    EXPECT_EQ(indexRow(image, 2), (std::vector<uint32_t> { 0, 0, 0 }));
    EXPECT_EQ(image.GetBits(0)[3], 0);
    EXPECT_EQ(image.GetBits(1)[3], 0);

    // RLE4: a run of 255 nibbles on a 5-pixel row.
    Bmp rle4 = rle8Sample({ 255, 0x12, 0, 1 }, 5, 1);
    rle4.bpp = 4;
    rle4.compression = 2;
    CxImage four = decode(rle4.bytes());
    expectPackedLayout(four, 5, 1, 4);
    EXPECT_EQ(indexRow(four, 0), (std::vector<uint32_t> { 1, 2, 1, 2, 1 }));
    EXPECT_EQ(four.GetBits(0)[2] & 0x0F, 0);
}

TEST(BmpMalformed, ColourTableLongerThan256IsSkipped)
{
    for (bool fileHeader : { true, false }) {
        SCOPED_TRACE(fileHeader);
        Bmp bmp = eightBitSample();
        bmp.fileHeader = fileHeader;
        bmp.clrUsed = 300;
        bmp.palette = testPalette(25);
        bmp.palette.resize(300 * 4, 0xEE);
        bmp.pixels = { 24, 1, 2, 0, 3, 2, 255, 0 };
        CxImage image = decode(bmp.bytes());
        expectPackedLayout(image, 3, 2, 8);
        EXPECT_EQ(indexRow(image, 0), (std::vector<uint32_t> { 24, 1, 2 }));
        EXPECT_EQ(indexRow(image, 1), (std::vector<uint32_t> { 3, 2, 255 }));
        EXPECT_EQ(colourAt(image, 0, 0), entryColour(24));
        EXPECT_EQ(colourAt(image, 2, 1), (Bgr { 0xEE, 0xEE, 0xEE }));
    }
}

TEST(BmpMalformed, IndicesPastTheTableUseEntryZero)
{
    Bmp eight = eightBitSample(); // 4 entries
    eight.pixels = { 2, 200, 4, 0, 3, 255, 0, 0 };
    CxImage a = decode(eight.bytes());
    expectPackedLayout(a, 3, 2, 8);
    EXPECT_EQ(indexRow(a, 0), (std::vector<uint32_t> { 2, 0, 0 }));
    EXPECT_EQ(indexRow(a, 1), (std::vector<uint32_t> { 3, 0, 0 }));

    // The file header says the pixels start after 2 of the 16 declared entries.
    Bmp four;
    four.width = 4;
    four.bpp = 4;
    four.palette = testPalette(2);
    four.offBits = 14 + 40 + 8;
    four.pixels = { 0x1F, 0x10, 0, 0 };
    CxImage b = decode(four.bytes());
    expectPackedLayout(b, 4, 1, 4);
    EXPECT_EQ(indexRow(b, 0), (std::vector<uint32_t> { 1, 0, 1, 0 }));
    EXPECT_EQ(colourAt(b, 0, 0), entryColour(1));
    EXPECT_EQ(colourAt(b, 1, 0), entryColour(0));

    // The same in RLE8 runs, encoded and absolute.
    CxImage d = decode(rle8Sample({ 2, 9, 0, 0, 0, 3, 1, 7, 3, 0, 0, 1 }, 3, 2).bytes());
    expectPackedLayout(d, 3, 2, 8);
    EXPECT_EQ(indexRow(d, 0), (std::vector<uint32_t> { 0, 0, 0 }));
    EXPECT_EQ(indexRow(d, 1), (std::vector<uint32_t> { 1, 0, 3 }));

    Bmp one;
    one.width = 8;
    one.bpp = 1;
    one.clrUsed = 1;
    one.palette = testPalette(1);
    one.pixels = { 0xFF, 0, 0, 0 };
    CxImage c = decode(one.bytes());
    expectPackedLayout(c, 8, 1, 1);
    EXPECT_EQ(indexRow(c, 0), std::vector<uint32_t>(8, 0));
}

// Every prefix and many single-byte changes of a file of each kind: an error text or a bitmap,
// never a crash (the sanitizer build checks the memory accesses).
TEST(BmpMalformed, TruncationsAndByteChangesNeverCrash)
{
    Bmp v4 = {};
    v4.headerSize = 124;
    v4.width = 3;
    v4.height = -2;
    v4.bpp = 32;
    v4.compression = 3;
    v4.masks = { 0xFF0000, 0xFF00, 0xFF, 0xFF000000 };
    v4.pixels = Bytes(24, 0x55);
    Bmp core;
    core.headerSize = 12;
    core.width = 3;
    core.bpp = 8;
    core.palette = testPalette(256 / 10 + 1, 3);
    core.palette.resize(256 * 3, 0);
    core.pixels = { 1, 2, 3, 0 };
    Bmp rle4 = rle8Sample({ 3, 0x12, 0, 3, 0x45, 0x60, 0, 0, 2, 0x33, 0, 1 }, 5, 2);
    rle4.bpp = 4;
    rle4.compression = 2;
    const std::vector<Bytes> samples = {
        eightBitSample().bytes(),
        rle8Sample({ 3, 1, 0, 2, 1, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1 }).bytes(),
        rle4.bytes(),
        v4.bytes(),
        core.bytes(),
    };
    for (size_t s = 0; s < samples.size(); ++s) {
        SCOPED_TRACE(s);
        const Bytes& sample = samples[s];
        ASSERT_TRUE(decode(sample).IsValid()) << decode(sample).GetLastErrorText();
        for (size_t length = 0; length < sample.size(); ++length) {
            CxImage image(sample.data(), length, CXIMAGE_FORMAT_BMP);
            if (!image.IsValid()) {
                EXPECT_STRNE(image.GetLastErrorText(), "") << "length " << length;
            }
        }
        for (size_t at = 0; at < std::min<size_t>(sample.size(), 200); ++at)
            for (uint8_t value : { uint8_t(0), uint8_t(0x7F), uint8_t(0x80), uint8_t(0xFF) }) {
                CxImage image = decode(withByte(sample, at, value));
                if (!image.IsValid()) {
                    EXPECT_STRNE(image.GetLastErrorText(), "") << "byte " << at;
                }
            }
    }
}

// ---------------------------------------------------------------- writing

class BmpFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::path(::testing::TempDir())
            / ("tessary_bmp_" + std::to_string(getpid()) + "_"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static Bytes readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void writeFile(const std::string& path, const Bytes& bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    size_t filesInDir() const { return size_t(std::distance(fs::directory_iterator(dir_), {})); }

    // An image of the program's own layout filled with a pattern (padding included) and, for
    // palette depths, a table of distinct entries.
    static MaskedDib patterned(int32_t width, int32_t height, int bpp)
    {
        MaskedDib image;
        EXPECT_FALSE(allocateMaskedDib(height, width, image, bpp));
        uint8_t* block = image.dib->data();
        for (size_t i = 40; i < image.dib->size(); ++i)
            block[i] = uint8_t(i * 13 + 5);
        for (uint32_t e = 0; e < image.dib->colourTableEntries(); ++e)
            block[40 + 4 * e + 3] = 0;
        return image;
    }

    fs::path dir_;
};

TEST_F(BmpFiles, WriterLayoutAndRoundTripAreByteExact)
{
    for (int bpp : { 24, 8, 4, 1 }) {
        SCOPED_TRACE(bpp);
        MaskedDib source = patterned(7, 3, bpp);
        const PackedDib& dib = *source.dib;
        const BitmapInfoHeader h = dib.header();
        const std::string file = path("round" + std::to_string(bpp) + ".bmp");
        ASSERT_TRUE(writeBmpFile(dib, file));

        const Bytes bytes = readFile(file);
        const uint32_t table = bpp < 24 ? (1u << bpp) * 4 : 0;
        ASSERT_EQ(bytes.size(), 54 + table + h.biSizeImage);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(get32(bytes, 2), 54 + table + h.biSizeImage);
        EXPECT_EQ(get32(bytes, 6), 0u);
        EXPECT_EQ(get32(bytes, 10), 54 + table);
        // Header, table and rows exactly as held in memory.
        EXPECT_TRUE(std::equal(bytes.begin() + 14, bytes.end(), dib.data()));
        EXPECT_EQ(get32(bytes, 14 + 24), 0u); // 0 pixels per metre

        CxImage back(file, CXIMAGE_FORMAT_BMP);
        expectPackedLayout(back, 7, 3, bpp);
        ASSERT_EQ(back.GetSize(), dib.size());
        EXPECT_EQ(0, std::memcmp(back.GetDIB() + 40, dib.data() + 40, dib.size() - 40));
        BitmapInfoHeader hb;
        std::memcpy(&hb, back.GetDIB(), 40);
        EXPECT_EQ(hb.biXPelsPerMeter, 3780); // 0 in the file reads as 96 dpi
        hb.biXPelsPerMeter = hb.biYPelsPerMeter = 0;
        EXPECT_EQ(0, std::memcmp(&hb, dib.data(), 40));
    }
}

TEST_F(BmpFiles, EncoderWritesAPlainBmpOfTheImage)
{
    Bmp eight = eightBitSample();
    eight.pixels = { 1, 2, 3, 0x11, 3, 2, 1, 0x22 };
    CxImage image = decode(eight.bytes());
    ASSERT_TRUE(image.IsValid());
    CxMemFile out;
    ASSERT_TRUE(image.Encode(out, CXIMAGE_FORMAT_BMP));
    const Bytes& bytes = out.Buffer();
    ASSERT_EQ(bytes.size(), 14 + image.GetSize());
    EXPECT_EQ(get32(bytes, 2), bytes.size());
    EXPECT_EQ(get32(bytes, 10), 54u + 256 * 4);
    EXPECT_TRUE(std::equal(bytes.begin() + 14, bytes.end(), image.GetDIB()));

    CxImage again = decode(bytes);
    ASSERT_TRUE(again.IsValid());
    ASSERT_EQ(again.GetSize(), image.GetSize());
    EXPECT_EQ(0, std::memcmp(again.GetDIB(), image.GetDIB(), image.GetSize()));

    ASSERT_TRUE(image.Save(path("saved.bmp"), CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(readFile(path("saved.bmp")), bytes);
}

TEST_F(BmpFiles, WriterReportsAFileThatCannotBeCreated)
{
    MaskedDib source = patterned(4, 4, 24);
    EXPECT_FALSE(writeBmpFile(*source.dib, path("no such folder/out.bmp")));
    EXPECT_FALSE(fs::exists(path("no such folder")));
    EXPECT_FALSE(writeBmpFile(*source.dib, ""));
}

TEST_F(BmpFiles, FailedWriteLeavesTheExistingFileIntact)
{
    const Bytes previous = { 'k', 'e', 'e', 'p', ' ', 'm', 'e' };
    const std::string file = path("existing.bmp");
    writeFile(file, previous);

    // A short write: the file size limit stops the writer after 4 KiB of a 120 KiB image.
    MaskedDib big = patterned(200, 200, 24);
    struct rlimit old { };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeBmpFile(*big.dib, file);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(file), previous);
    EXPECT_EQ(filesInDir(), 1u); // no temporary file left behind

    // A block whose header promises more rows than it holds is refused before writing.
    BitmapInfoHeader h = big.dib->header();
    h.biSizeImage += 1;
    big.dib->setHeader(h);
    EXPECT_FALSE(writeBmpFile(*big.dib, file));
    EXPECT_EQ(readFile(file), previous);
    EXPECT_EQ(filesInDir(), 1u);
}

// ---------------------------------------------------------------- load order

TEST_F(BmpFiles, BmpNamedTgaLoadsThroughContentDetection)
{
    Bmp bmp;
    bmp.width = 2;
    bmp.pixels = { 1, 2, 3, 4, 5, 6, 0, 0 };
    const std::string file = path("picture.tga");
    writeFile(file, bmp.bytes());
    CxImage image(file, CXIMAGE_FORMAT_TGA);
    expectPackedLayout(image, 2, 1, 24);
    EXPECT_EQ(image.GetType(), uint32_t(CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(colourAt(image, 1, 0), (Bgr { 4, 5, 6 }));
}

TEST_F(BmpFiles, TextNamedBmpShowsTheBmpDecodersReason)
{
    const std::string file = path("notes.bmp");
    writeFile(file, Bytes { 'j', 'u', 's', 't', ' ', 's', 'o', 'm', 'e', ' ', 't', 'e', 'x', 't', '\n' });
    CxImage image(file, CXIMAGE_FORMAT_BMP);
    EXPECT_FALSE(image.IsValid());
    EXPECT_STREQ(image.GetLastErrorText(), "Not a BMP");
}

} // namespace
} // namespace tessary
