// PCX decoding of colour planes, palette images, monochrome and 16-colour files, the writer's
// header and run-length coding, and refusal of damaged files.
#include "image/cx_codecs.h"
#include "image/cx_image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tessary {
namespace {

using Bytes = std::vector<uint8_t>;

struct PcxHeader {
    uint8_t manufacturer = 10;
    uint8_t version = 5;
    uint8_t encoding = 1;
    uint8_t bits = 8;
    uint16_t xMin = 0;
    uint16_t yMin = 0;
    uint16_t xMax = 0;
    uint16_t yMax = 0;
    uint16_t hDpi = 96;
    uint16_t vDpi = 96;
    std::array<uint8_t, 48> map {};
    uint8_t planes = 3;
    uint16_t bytesPerLine = 2;
};

void put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v & 0xFF);
    p[1] = uint8_t(v >> 8);
}

Bytes headerBytes(const PcxHeader& h)
{
    Bytes b(128, 0);
    b[0] = h.manufacturer;
    b[1] = h.version;
    b[2] = h.encoding;
    b[3] = h.bits;
    put16(&b[4], h.xMin);
    put16(&b[6], h.yMin);
    put16(&b[8], h.xMax);
    put16(&b[10], h.yMax);
    put16(&b[12], h.hDpi);
    put16(&b[14], h.vDpi);
    std::copy(h.map.begin(), h.map.end(), b.begin() + 16);
    b[65] = h.planes;
    put16(&b[66], h.bytesPerLine);
    put16(&b[68], 1);
    return b;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Every byte as a literal: values with both top bits set need a count of 1 before them.
Bytes literals(const Bytes& decoded)
{
    Bytes out;
    for (uint8_t b : decoded) {
        if (b >= 0xC0)
            out.push_back(0xC1);
        out.push_back(b);
    }
    return out;
}

bool decode(CxImage& image, const Bytes& file)
{
    return image.Decode(file.data(), file.size(), CXIMAGE_FORMAT_PCX);
}

std::string error(const Bytes& file)
{
    CxImage image;
    EXPECT_FALSE(decode(image, file));
    EXPECT_FALSE(image.IsValid());
    return image.GetLastErrorText();
}

Bytes picture24(CxImage& image)
{
    Bytes out;
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.GetBits(uint32_t(image.GetHeight() - 1 - y));
        out.insert(out.end(), row, row + 3 * image.GetWidth());
    }
    return out;
}

Bytes paletteEntry(CxImage& image, int index)
{
    const uint8_t* p = image.GetPalette() + 4 * index;
    return { p[0], p[1], p[2], p[3] };
}

TEST(PcxDecode, ColourPlanesGive24BitTopLineFirst)
{
    // Top scan line: literal plane lines, each with a pad byte; a zero-count run in front.
    // Bottom scan line: a run of 0xC8 in red, then one run of 7 that carries on from the
    // green plane line into the blue one.
    const Bytes data = Bytes { 0xC0, 0x99 } + Bytes { 10, 11, 12, 0, 20, 21, 22, 0, 30, 31, 32, 0 }
        + Bytes { 0xC3, 0xC8, 0x00, 0xC6, 0x07, 0x01, 0x00 };
    const Bytes file
        = headerBytes({ .xMax = 2, .yMax = 1, .hDpi = 300, .vDpi = 150, .planes = 3, .bytesPerLine = 4 })
        + data;
    CxImage image;
    ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(
        picture24(image), (Bytes { 30, 20, 10, 31, 21, 11, 32, 22, 12, 7, 7, 0xC8, 7, 7, 0xC8, 1, 7, 0xC8 }));
    EXPECT_EQ(image.GetXDPI(), 300);
    EXPECT_EQ(image.GetYDPI(), 150);
    EXPECT_FALSE(image.AlphaIsValid());
}

TEST(PcxDecode, FourthColourPlaneIsAlpha)
{
    const Bytes file
        = headerBytes({ .xMax = 1, .planes = 4, .bytesPerLine = 2 }) + literals({ 1, 2, 3, 4, 5, 6, 255, 0 });
    CxImage image;
    ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(picture24(image), (Bytes { 5, 3, 1, 6, 4, 2 }));
    ASSERT_TRUE(image.AlphaIsValid());
    EXPECT_EQ(image.AlphaGet(0, 0), 255);
    EXPECT_EQ(image.AlphaGet(1, 0), 0);
}

// A folder of its own under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessary-pcx-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempDir()
    {
        if (!path_.empty())
            std::filesystem::remove_all(path_);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    bool ok() const { return !path_.empty(); }

private:
    std::string path_;
};

TEST(PcxDecode, EightBitImageTakesThePaletteFromTheEndOfTheFile)
{
    Bytes palette = { 12 };
    for (int i = 0; i < 256; ++i)
        palette.insert(palette.end(), { uint8_t(i), uint8_t(255 - i), uint8_t(i / 3) });
    const Bytes file = headerBytes({ .xMax = 2, .yMax = 1, .planes = 1, .bytesPerLine = 4 })
        + Bytes { 0x00, 0xC1, 0xC8, 0xC1, 0xFF, 0x00, 0xC3, 0x07, 0x00 } + palette;

    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.file("palette.pcx");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());

    // From memory and from a file on disk.
    CxImage fromMemory;
    ASSERT_TRUE(decode(fromMemory, file)) << fromMemory.GetLastErrorText();
    CxImage fromDisk(path, CXIMAGE_FORMAT_PCX);
    ASSERT_TRUE(fromDisk.IsValid()) << fromDisk.GetLastErrorText();
    for (CxImage* image : { &fromMemory, &fromDisk }) {
        EXPECT_EQ(image->GetBpp(), 8);
        EXPECT_EQ(image->GetNumColors(), 256u);
        EXPECT_EQ(Bytes(image->GetBits(1), image->GetBits(1) + 3), (Bytes { 0, 200, 255 }));
        EXPECT_EQ(Bytes(image->GetBits(0), image->GetBits(0) + 3), (Bytes { 7, 7, 7 }));
        EXPECT_EQ(paletteEntry(*image, 0), (Bytes { 0, 255, 0, 0 }));
        EXPECT_EQ(paletteEntry(*image, 200), (Bytes { 66, 55, 200, 0 }));
        EXPECT_EQ(paletteEntry(*image, 255), (Bytes { 85, 0, 255, 0 }));
    }
}

TEST(PcxDecode, MonochromeIsBlackAndWhite)
{
    PcxHeader header { .bits = 1, .xMax = 9, .planes = 1, .bytesPerLine = 2 };
    header.map.fill(0x33); // a header map that monochrome files leave undefined
    CxImage image;
    ASSERT_TRUE(decode(image, headerBytes(header) + Bytes { 0xC1, 0xB0, 0x40 })) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 1);
    EXPECT_EQ(image.GetNumColors(), 2u);
    EXPECT_EQ(paletteEntry(image, 0), (Bytes { 0, 0, 0, 0 }));
    EXPECT_EQ(paletteEntry(image, 1), (Bytes { 255, 255, 255, 0 }));
    EXPECT_EQ(image.GetBits(0)[0], 0xB0);
    EXPECT_EQ(image.GetBits(0)[1] & 0xC0, 0x40);
}

uint8_t nibble(CxImage& image, uint32_t x)
{
    return (image.GetBits(0)[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
}

TEST(PcxDecode, BitPlanesAndPackedPixelsGive16ColourImages)
{
    struct Case {
        const char* name;
        uint8_t bits;
        uint8_t planes;
        uint16_t bytesPerLine;
        Bytes line;
        Bytes indexes;
    };
    const Case cases[] = {
        { "1 bit x 4 planes", 1, 4, 1, { 0xAA, 0xCC, 0xF0, 0x0F }, { 7, 6, 5, 4, 11, 10, 9, 8 } },
        { "1 bit x 3 planes", 1, 3, 1, { 0x80, 0x40, 0x20 }, { 1, 2, 4 } },
        { "1 bit x 2 planes, padded", 1, 2, 2, { 0x50, 0x00, 0x30, 0x00 }, { 0, 1, 2, 3 } },
        { "2 bits x 1 plane", 2, 1, 2, { 0x1B, 0xC0 }, { 0, 1, 2, 3, 3 } },
        { "4 bits x 1 plane", 4, 1, 2, { 0x5A, 0xF0 }, { 5, 10, 15 } },
    };
    PcxHeader header;
    for (int i = 0; i < 16; ++i) {
        header.map[3 * i] = uint8_t(16 * i);
        header.map[3 * i + 1] = uint8_t(255 - 16 * i);
        header.map[3 * i + 2] = uint8_t(i);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        header.bits = c.bits;
        header.planes = c.planes;
        header.bytesPerLine = c.bytesPerLine;
        header.xMax = uint16_t(c.indexes.size() - 1);
        CxImage image;
        ASSERT_TRUE(decode(image, headerBytes(header) + literals(c.line))) << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), 4);
        for (uint32_t x = 0; x < c.indexes.size(); ++x)
            EXPECT_EQ(nibble(image, x), c.indexes[x]) << "x " << x;
        EXPECT_EQ(paletteEntry(image, 3), (Bytes { 3, 255 - 48, 48, 0 }));
        EXPECT_EQ(paletteEntry(image, 15), (Bytes { 15, 255 - 240, 240, 0 }));
    }
}

TEST(PcxDecode, SixteenColoursWithAnEmptyHeaderMapUseTheEgaColours)
{
    CxImage image;
    ASSERT_TRUE(
        decode(image, headerBytes({ .bits = 1, .planes = 4, .bytesPerLine = 1 }) + Bytes { 0, 0, 0, 0 }));
    EXPECT_EQ(paletteEntry(image, 0), (Bytes { 0, 0, 0, 0 }));
    EXPECT_EQ(paletteEntry(image, 6), (Bytes { 0x00, 0x55, 0xAA, 0 }));
    EXPECT_EQ(paletteEntry(image, 15), (Bytes { 0xFF, 0xFF, 0xFF, 0 }));
}

Bytes encode(CxImage& image)
{
    CxMemFile file;
    EXPECT_TRUE(CxImagePCX::Encode(image, file)) << image.GetLastErrorText();
    return file.Buffer();
}

// A 24-bit image whose pixels, top line first, are the given blue-green-red bytes.
CxImage image24(uint32_t width, uint32_t height, const Bytes& bgrTopFirst)
{
    CxImage image;
    EXPECT_TRUE(image.Create(width, height, 24, CXIMAGE_FORMAT_PCX));
    for (uint32_t y = 0; y < height; ++y)
        std::memcpy(
            image.GetBits(height - 1 - y), bgrTopFirst.data() + 3 * size_t(width) * y, 3 * size_t(width));
    return image;
}

TEST(PcxEncode, HeaderDescribesThreeEightBitPlanes)
{
    CxImage image = image24(3, 2, Bytes(18, 1));
    const Bytes file = encode(image);
    ASSERT_GE(file.size(), 128u);
    Bytes expected(128, 0);
    expected[0] = 10;
    expected[1] = 5;
    expected[2] = 1;
    expected[3] = 8;
    expected[8] = 2; // xmax
    expected[10] = 1; // ymax
    expected[12] = 96;
    expected[14] = 96;
    expected[65] = 3;
    expected[66] = 4; // bytes per line: 3 rounded up to even
    expected[68] = 1;
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 128), expected);
}

TEST(PcxEncode, ScanLinesTopFirstAsRedGreenBluePlanesPaddedWhenOdd)
{
    // Pixels (blue, green, red), top line first.
    CxImage image = image24(3, 2, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19 });
    const Bytes file = encode(image);
    const Bytes expected
        = { 3, 6, 9, 0, 2, 5, 8, 0, 1, 4, 7, 0, 13, 16, 19, 0, 12, 15, 18, 0, 11, 14, 17, 0 };
    EXPECT_EQ(Bytes(file.begin() + 128, file.end()), expected);
}

TEST(PcxEncode, PlaneLinesAreRunLengthCoded)
{
    struct Case {
        const char* name;
        Bytes line;
        Bytes coded;
    };
    Bytes run63 = Bytes(63, 0x11);
    run63.push_back(0x12);
    const Case cases[] = {
        { "64 x 0x20", Bytes(64, 0x20), { 0xFF, 0x20, 0x20 } },
        { "64 x 0xD0", Bytes(64, 0xD0), { 0xFF, 0xD0, 0xC1, 0xD0 } },
        { "126 x 0x11", Bytes(126, 0x11), { 0xFF, 0x11, 0xFF, 0x11 } },
        { "63 equal then another", run63, { 0xFF, 0x11, 0x12 } },
        { "single high byte", { 0xC5, 0x01 }, { 0xC1, 0xC5, 0x01 } },
        { "leading zeros", { 0, 0, 0, 7 }, { 0xC3, 0x00, 0x07 } },
        { "pair", { 5, 5 }, { 0xC2, 0x05 } },
        { "odd width gets a pad byte", { 1, 2, 3 }, { 1, 2, 3, 0 } },
        { "odd run of 0xC0", { 0xC0, 0xC0, 0xC0 }, { 0xC3, 0xC0, 0x00 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Grey pixels make the red, green and blue plane lines equal.
        Bytes pixels;
        for (uint8_t v : c.line)
            pixels.insert(pixels.end(), { v, v, v });
        CxImage image = image24(uint32_t(c.line.size()), 1, pixels);
        const Bytes file = encode(image);
        EXPECT_EQ(Bytes(file.begin() + 128, file.end()), c.coded + c.coded + c.coded);
    }
}

TEST(PcxEncode, RoundTripsByteExact)
{
    struct Size {
        uint32_t width, height;
    };
    const Size sizes[] = { { 1, 1 }, { 2, 3 }, { 5, 4 }, { 64, 2 }, { 131, 3 } };
    for (bool fewValues : { false, true }) {
        for (const Size& s : sizes) {
            SCOPED_TRACE(
                std::to_string(s.width) + "x" + std::to_string(s.height) + (fewValues ? " runs" : ""));
            // Few distinct values give long runs, high bytes and runs across the 63 limit.
            std::mt19937 random(s.width * 7 + s.height);
            const uint8_t values[] = { 0x20, 0xD0, 0xFF };
            Bytes pixels(3 * size_t(s.width) * s.height);
            for (uint8_t& b : pixels)
                b = fewValues ? values[random() % 97 == 0 ? random() % 3 : 1] : uint8_t(random());
            CxImage original = image24(s.width, s.height, pixels);
            const Bytes file = encode(original);
            CxImage decoded;
            ASSERT_TRUE(decode(decoded, file)) << decoded.GetLastErrorText();
            ASSERT_EQ(decoded.GetSize(), original.GetSize());
            EXPECT_EQ(std::memcmp(decoded.GetDIB(), original.GetDIB(), original.GetSize()), 0);
        }
    }
}

TEST(PcxEncode, PaletteImagesAreWrittenInTheirColours)
{
    CxImage image;
    ASSERT_TRUE(image.Create(2, 1, 8, CXIMAGE_FORMAT_PCX));
    image.SetPaletteColor(4, 200, 100, 50);
    image.SetPaletteColor(9, 1, 2, 3);
    image.GetBits(0)[0] = 9;
    image.GetBits(0)[1] = 4;
    CxImage decoded;
    ASSERT_TRUE(decode(decoded, encode(image))) << decoded.GetLastErrorText();
    EXPECT_EQ(decoded.GetBpp(), 24);
    EXPECT_EQ(picture24(decoded), (Bytes { 3, 2, 1, 50, 100, 200 }));
}

TEST(PcxEncode, WidthBeyondTheHeaderFieldsIsRefused)
{
    CxImage image;
    ASSERT_TRUE(image.Create(65535, 1, 24, CXIMAGE_FORMAT_PCX));
    CxMemFile file;
    EXPECT_FALSE(CxImagePCX::Encode(image, file));
    EXPECT_STREQ(image.GetLastErrorText(), "cannot write PCX header");
}

struct Malformed {
    const char* name;
    Bytes file;
    const char* message;
};

TEST(PcxDecode, DamagedFilesAreRefusedWithTheirReason)
{
    const Bytes someData(16, 0);
    Bytes badMarker = headerBytes({ .planes = 1, .bytesPerLine = 2 }) + Bytes { 0, 0 } + Bytes(769, 0);
    badMarker[128 + 2] = 13;
    const Malformed cases[] = {
        { "shorter than the header", Bytes(100, 10), "Can't read PCX image" },
        { "manufacturer 11", headerBytes({ .manufacturer = 11 }) + someData, "Error: Not a PCX file" },
        { "encoding 0", headerBytes({ .encoding = 0 }) + someData, "PCX file has unknown encoding scheme" },
        { "encoding 2", headerBytes({ .encoding = 2 }) + someData, "PCX file has unknown encoding scheme" },
        { "5 planes", headerBytes({ .planes = 5 }) + someData, "Can't handle image with more than 4 planes" },
        { "palette marker missing", badMarker, "bad color map signature" },
        { "file too short for the palette",
            headerBytes({ .planes = 1, .bytesPerLine = 2 }) + Bytes { 0, 0, 12 } + Bytes(500, 0),
            "bad color map signature" },
        { "xmax below xmin", headerBytes({ .xMin = 5, .xMax = 4 }) + someData, "corrupted PCX" },
        { "ymax below ymin", headerBytes({ .yMin = 1, .yMax = 0 }) + someData, "corrupted PCX" },
        { "no planes", headerBytes({ .planes = 0 }) + someData, "corrupted PCX" },
        { "bytes per line too small", headerBytes({ .xMax = 4, .bytesPerLine = 4 }) + someData,
            "corrupted PCX" },
        { "bytes per line too small for 1-bit",
            headerBytes({ .bits = 1, .xMax = 16, .planes = 1, .bytesPerLine = 2 }) + someData,
            "corrupted PCX" },
        { "zero bytes per line", headerBytes({ .bytesPerLine = 0 }) + someData, "corrupted PCX" },
        { "data ends early", headerBytes({ .xMax = 2, .bytesPerLine = 4 }) + Bytes { 1, 2, 3, 4, 5 },
            "corrupted PCX" },
        { "count without its byte", headerBytes({ .xMax = 1, .planes = 3 }) + Bytes { 1, 2, 3, 0xC2 },
            "corrupted PCX" },
        { "run past the end of the image",
            headerBytes({ .bits = 1, .planes = 1, .bytesPerLine = 2 }) + Bytes { 0xC3, 0x00 },
            "repeat count spans end of image" },
        { "huge image in a small file",
            headerBytes({ .xMax = 65534, .yMax = 65534, .bytesPerLine = 65535 }) + Bytes(64, 0xFF),
            "corrupted PCX" },
        { "2 bits x 2 planes", headerBytes({ .bits = 2, .planes = 2 }) + someData,
            "PCX_UnpackPixels: Can't handle packed pixels with more than 1 plane" },
        { "8 bits x 2 planes", headerBytes({ .bits = 8, .planes = 2 }) + someData,
            "PCX_UnpackPixels: Can't handle packed pixels with more than 1 plane" },
        { "16 bits x 1 plane", headerBytes({ .bits = 16, .planes = 1 }) + someData,
            "PCX_PlanesToPixels: more than 4 planes or more than 1 bit per pixel" },
        { "3 bits x 1 plane", headerBytes({ .bits = 3, .planes = 1 }) + someData,
            "PCX_PlanesToPixels: more than 4 planes or more than 1 bit per pixel" },
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(error(c.file), c.message);
    }
}

} // namespace
} // namespace tessary
