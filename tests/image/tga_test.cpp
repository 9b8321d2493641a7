// TGA decoding of every supported image type, writing, and refusal of damaged files.
#include "image/cx_codecs.h"
#include "image/cx_image.h"

#include <gtest/gtest.h>

#include <cstdio>
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

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t mapType = 0;
    uint8_t type = 2;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntry = 0;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
};

void put16(Bytes& b, uint16_t v)
{
    b.push_back(uint8_t(v & 0xFF));
    b.push_back(uint8_t(v >> 8));
}

Bytes headerBytes(const TgaHeader& h)
{
    Bytes b { h.idLength, h.mapType, h.type };
    put16(b, h.mapFirst);
    put16(b, h.mapLength);
    b.push_back(h.mapEntry);
    put16(b, 0); // x origin
    put16(b, 0); // y origin
    put16(b, h.width);
    put16(b, h.height);
    b.push_back(h.depth);
    b.push_back(h.descriptor);
    return b;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Decodes through the image object with the format given, as the program's loads do.
bool decode(CxImage& image, const Bytes& file)
{
    return image.Decode(file.data(), file.size(), CXIMAGE_FORMAT_TGA);
}

std::string error(const Bytes& file)
{
    CxImage image;
    EXPECT_FALSE(decode(image, file));
    EXPECT_FALSE(image.IsValid());
    return image.GetLastErrorText();
}

// The 24-bit pixels of a decoded image, top line first, rows unpadded.
Bytes picture24(CxImage& image)
{
    Bytes out;
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.GetBits(uint32_t(image.GetHeight() - 1 - y));
        out.insert(out.end(), row, row + 3 * image.GetWidth());
    }
    return out;
}

// The bytes of an 8-bit image, top line first.
Bytes picture8(CxImage& image)
{
    Bytes out;
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.GetBits(uint32_t(image.GetHeight() - 1 - y));
        out.insert(out.end(), row, row + image.GetWidth());
    }
    return out;
}

Bytes paletteEntry(CxImage& image, int index)
{
    const uint8_t* p = image.GetPalette() + 4 * index;
    return { p[0], p[1], p[2], p[3] };
}

// A 3 x 2 picture of distinct colours, top line first, blue-green-red.
const Bytes kPicture = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18 };

TEST(TgaDecode, DescriptorBitsSetRowOrderAndMirroring)
{
    for (uint8_t descriptor : { 0x00, 0x20, 0x10, 0x30 }) {
        SCOPED_TRACE(int(descriptor));
        const bool topFirst = descriptor & 0x20, rightToLeft = descriptor & 0x10;
        Bytes file = headerBytes({ .width = 3, .height = 2, .descriptor = descriptor });
        for (int fileRow = 0; fileRow < 2; ++fileRow) {
            const int line = topFirst ? fileRow : 1 - fileRow;
            for (int i = 0; i < 3; ++i) {
                const int x = rightToLeft ? 2 - i : i;
                const uint8_t* px = kPicture.data() + 3 * (3 * line + x);
                file.insert(file.end(), px, px + 3);
            }
        }
        CxImage image;
        ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), 24);
        EXPECT_EQ(image.GetWidth(), 3);
        EXPECT_EQ(image.GetHeight(), 2);
        EXPECT_EQ(picture24(image), kPicture);
        EXPECT_FALSE(image.AlphaIsValid());
    }
}

TEST(TgaDecode, RunLengthPacketsMayRunIntoTheNextRow)
{
    // Bottom row first: a run of 4 pixels (3 of the bottom row, 1 of the top), then 2 raw.
    const Bytes file = headerBytes({ .type = 10, .width = 3, .height = 2 })
        + Bytes { 0x83, 10, 20, 30, 0x01, 1, 2, 3, 4, 5, 6 };
    CxImage image;
    ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
    EXPECT_EQ(picture24(image), (Bytes { 10, 20, 30, 1, 2, 3, 4, 5, 6, 10, 20, 30, 10, 20, 30, 10, 20, 30 }));
}

TEST(TgaDecode, ColourMappedKeepsIndexesAndPlacesTheMapAtItsOrigin)
{
    // A map of 3 entries for indexes 2..4; pixels bottom row first.
    const Bytes map = { 0, 0, 255, 0, 255, 0, 255, 0, 0 };
    const TgaHeader header {
        .mapType = 1, .mapFirst = 2, .mapLength = 3, .mapEntry = 24, .width = 3, .height = 2, .depth = 8
    };
    TgaHeader rleHeader = header;
    rleHeader.type = 9;
    TgaHeader plainHeader = header;
    plainHeader.type = 1;
    const Bytes plain = headerBytes(plainHeader) + map + Bytes { 2, 3, 4, 4, 4, 2 };
    const Bytes rle = headerBytes(rleHeader) + map + Bytes { 0x02, 2, 3, 4, 0x81, 4, 0x00, 2 };
    for (const Bytes& file : { plain, rle }) {
        CxImage image;
        ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), 8);
        EXPECT_EQ(image.GetNumColors(), 256u);
        EXPECT_EQ(picture8(image), (Bytes { 4, 4, 2, 2, 3, 4 }));
        EXPECT_EQ(paletteEntry(image, 1), (Bytes { 0, 0, 0, 0 }));
        EXPECT_EQ(paletteEntry(image, 2), (Bytes { 0, 0, 255, 0 }));
        EXPECT_EQ(paletteEntry(image, 3), (Bytes { 0, 255, 0, 0 }));
        EXPECT_EQ(paletteEntry(image, 4), (Bytes { 255, 0, 0, 0 }));
    }
}

TEST(TgaDecode, MapEntriesOf16And32BitsGiveTheSameColours)
{
    // Entry 0 pure red, entry 1 pure blue, in 5-5-5 and in blue-green-red-alpha.
    const Bytes map16 = { 0x00, 0x7C, 0x1F, 0x00 };
    const Bytes map32 = { 0, 0, 255, 128, 255, 0, 0, 7 };
    for (const auto& [entryBits, map] :
        { std::pair { uint8_t(16), map16 }, std::pair { uint8_t(32), map32 } }) {
        SCOPED_TRACE(int(entryBits));
        const Bytes file
            = headerBytes(
                  { .mapType = 1, .type = 1, .mapLength = 2, .mapEntry = entryBits, .width = 2, .depth = 8 })
            + map + Bytes { 1, 0 };
        CxImage image;
        ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
        EXPECT_EQ(paletteEntry(image, 0), (Bytes { 0, 0, 255, 0 }));
        EXPECT_EQ(paletteEntry(image, 1), (Bytes { 255, 0, 0, 0 }));
        EXPECT_EQ(picture8(image), (Bytes { 1, 0 }));
    }
}

TEST(TgaDecode, GreyTypesGetAGreyRamp)
{
    const Bytes plain = headerBytes({ .type = 3, .width = 4, .depth = 8 }) + Bytes { 0, 7, 128, 255 };
    const Bytes rle = headerBytes({ .type = 11, .width = 4, .depth = 8 }) + Bytes { 0x01, 0, 7, 0x81, 200 };
    for (const auto& [file, pixels] :
        { std::pair { plain, Bytes { 0, 7, 128, 255 } }, std::pair { rle, Bytes { 0, 7, 200, 200 } } }) {
        CxImage image;
        ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), 8);
        EXPECT_EQ(picture8(image), pixels);
        for (int i : { 0, 1, 77, 254, 255 })
            EXPECT_EQ(paletteEntry(image, i), (Bytes { uint8_t(i), uint8_t(i), uint8_t(i), 0 }));
    }
}

TEST(TgaDecode, FifteenAndSixteenBitPixelsBecome24Bit)
{
    // 5-5-5 pixels: white, red, green, blue, (1,1,1); the top bit is an attribute and ignored.
    const Bytes pixels = { 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x83, 0x1F, 0x00, 0x21, 0x04 };
    const Bytes expected = { 255, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 8, 8, 8 };
    for (uint8_t depth : { 15, 16 }) {
        CxImage image;
        ASSERT_TRUE(decode(image, headerBytes({ .width = 5, .depth = depth }) + pixels));
        EXPECT_EQ(image.GetBpp(), 24);
        EXPECT_EQ(picture24(image), expected);
    }
}

TEST(TgaDecode, ThirtyTwoBitPixelsArriveAs24BitWithAlphaAside)
{
    const Bytes file = headerBytes({ .width = 2, .height = 2, .depth = 32, .descriptor = 0x28 })
        + Bytes { 1, 2, 3, 255, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12, 13, 128 };
    CxImage image;
    ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(image.GetSize(), 40u + 2 * 8);
    EXPECT_EQ(picture24(image), (Bytes { 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13 }));
    ASSERT_TRUE(image.AlphaIsValid());
    // Top-left origin: the first file row is stored row 1.
    EXPECT_EQ(image.AlphaGet(0, 1), 255);
    EXPECT_EQ(image.AlphaGet(1, 1), 0);
    EXPECT_EQ(image.AlphaGet(0, 0), 10);
    EXPECT_EQ(image.AlphaGet(1, 0), 128);
    EXPECT_TRUE(image.AlphaIsStored()) << "the descriptor counts 8 alpha bits";
}

TEST(TgaDecode, SkipsTheImageIdAndAnUnusedColourMap)
{
    const Bytes file
        = headerBytes({ .idLength = 4, .mapType = 1, .mapLength = 2, .mapEntry = 24, .width = 1 })
        + Bytes { 'n', 'a', 'm', 'e' } + Bytes { 9, 9, 9, 8, 8, 8 } + Bytes { 40, 50, 60 };
    CxImage image;
    ASSERT_TRUE(decode(image, file)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(picture24(image), (Bytes { 40, 50, 60 }));
}

// A 24-bit image of random pixels, its row padding left zero as Create leaves it.
CxImage random24(uint32_t width, uint32_t height, unsigned seed)
{
    CxImage image;
    EXPECT_TRUE(image.Create(width, height, 24, CXIMAGE_FORMAT_TGA));
    std::mt19937 random(seed);
    for (uint32_t r = 0; r < height; ++r)
        for (uint32_t i = 0; i < 3 * width; ++i)
            image.GetBits(r)[i] = uint8_t(random());
    return image;
}

Bytes encode(CxImage& image)
{
    CxMemFile file;
    EXPECT_TRUE(CxImageTGA::Encode(image, file)) << image.GetLastErrorText();
    return file.Buffer();
}

TEST(TgaEncode, TwentyFourBitIsUncompressedTrueColourBottomRowFirstUnpadded)
{
    CxImage image = random24(3, 2, 1);
    const Bytes written = encode(image);
    Bytes expected = { 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0 };
    for (uint32_t r = 0; r < 2; ++r)
        expected.insert(expected.end(), image.GetBits(r), image.GetBits(r) + 9);
    EXPECT_EQ(written, expected);
}

TEST(TgaEncode, TwentyFourBitRoundTripsByteExact)
{
    const std::pair<uint32_t, uint32_t> sizes[] = { { 1, 1 }, { 5, 3 }, { 4, 4 }, { 7, 2 }, { 300, 2 } };
    for (auto [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        CxImage original = random24(w, h, w * 31 + h);
        const Bytes file = encode(original);
        EXPECT_EQ(file.size(), 18 + 3 * size_t(w) * h);
        CxImage decoded;
        ASSERT_TRUE(decode(decoded, file)) << decoded.GetLastErrorText();
        ASSERT_EQ(decoded.GetSize(), original.GetSize());
        EXPECT_EQ(std::memcmp(decoded.GetDIB(), original.GetDIB(), original.GetSize()), 0);
    }
}

TEST(TgaEncode, EightBitIsColourMappedWith256Entries)
{
    CxImage image;
    ASSERT_TRUE(image.Create(3, 2, 8, CXIMAGE_FORMAT_TGA));
    for (int i = 0; i < 256; ++i)
        image.SetPaletteColor(uint8_t(i), uint8_t(i), uint8_t(255 - i), uint8_t(i / 2));
    const Bytes indexes = { 0, 17, 255, 128, 3, 9 };
    for (uint32_t r = 0; r < 2; ++r)
        std::memcpy(image.GetBits(r), indexes.data() + 3 * r, 3);
    const Bytes file = encode(image);
    ASSERT_EQ(file.size(), 18 + 768 + 6u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 18),
        (Bytes { 0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0 }));
    // Map entries are blue, green, red.
    EXPECT_EQ(Bytes(file.begin() + 18 + 3 * 17, file.begin() + 18 + 3 * 18), (Bytes { 8, 238, 17 }));
    EXPECT_EQ(Bytes(file.end() - 6, file.end()), indexes);

    CxImage decoded;
    ASSERT_TRUE(decode(decoded, file)) << decoded.GetLastErrorText();
    ASSERT_EQ(decoded.GetSize(), image.GetSize());
    EXPECT_EQ(std::memcmp(decoded.GetDIB(), image.GetDIB(), image.GetSize()), 0);
}

TEST(TgaEncode, OtherDepthsAreRefused)
{
    for (uint32_t bpp : { 1u, 4u }) {
        CxImage image;
        ASSERT_TRUE(image.Create(2, 2, bpp, CXIMAGE_FORMAT_TGA));
        CxMemFile file;
        EXPECT_FALSE(CxImageTGA::Encode(image, file));
        EXPECT_STREQ(image.GetLastErrorText(), "Bit depth must be 8 or 24");
    }
}

// A folder of its own under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessary-tga-XXXXXX").string();
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

TEST(TgaLoad, TextFileNamedTgaShowsTheTgaDecodersReason)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // The third byte is the image type: 'l' is none; a tab makes it 9, but the colour map
    // type (the second byte, a tab too) is then invalid.
    const std::pair<std::string, std::string> cases[] = {
        { "Hello, this is plain text and not a picture at all.\n", "Unknown TGA image type" },
        { "\t\t\tindented text that happens to start with tabs\n", "bad TGA header" },
    };
    for (const auto& [text, message] : cases) {
        const std::string path = dir.file("notes.tga");
        std::ofstream(path, std::ios::binary) << text;
        CxImage image(path, CXIMAGE_FORMAT_TGA);
        EXPECT_FALSE(image.IsValid());
        EXPECT_STREQ(image.GetLastErrorText(), message.c_str());
    }
}

TEST(TgaLoad, FileRoundTripThroughSaveAndLoad)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    CxImage original = random24(9, 5, 7);
    const std::string path = dir.file("picture.tga");
    ASSERT_TRUE(original.Save(path, CXIMAGE_FORMAT_TGA)) << original.GetLastErrorText();
    CxImage loaded(path, CXIMAGE_FORMAT_TGA);
    ASSERT_TRUE(loaded.IsValid()) << loaded.GetLastErrorText();
    ASSERT_EQ(loaded.GetSize(), original.GetSize());
    EXPECT_EQ(std::memcmp(loaded.GetDIB(), original.GetDIB(), original.GetSize()), 0);
}

TEST(TgaDecode, ResolutionIs96DpiWhateverTheImageHeldBefore)
{
    // The format has no resolution: an image that held a 300 dpi picture must not keep it.
    CxImage image;
    ASSERT_NE(image.Create(2, 2, 24, CXIMAGE_FORMAT_BMP), nullptr);
    image.SetXDPI(300);
    image.SetYDPI(150);
    ASSERT_TRUE(decode(image, headerBytes({ .width = 3, .height = 2 }) + kPicture));
    EXPECT_EQ(image.GetXDPI(), 96);
    EXPECT_EQ(image.GetYDPI(), 96);
    BitmapInfoHeader h;
    std::memcpy(&h, image.GetDIB(), sizeof h);
    EXPECT_EQ(h.biXPelsPerMeter, 3780);
    EXPECT_EQ(h.biYPelsPerMeter, 3780);
}

struct Malformed {
    const char* name;
    Bytes file;
    const char* message;
};

TEST(TgaDecode, DamagedFilesAreRefusedWithTheirReason)
{
    const Bytes pixel = { 1, 2, 3 };
    const Malformed cases[] = {
        { "shorter than the header", Bytes(10, 0), "Not a TGA" },
        { "image type 0", headerBytes({ .type = 0 }) + pixel, "Unknown TGA image type" },
        { "image type 4", headerBytes({ .type = 4 }) + pixel, "Unknown TGA image type" },
        { "Huffman type 32", headerBytes({ .type = 32 }) + pixel, "Unknown TGA image type" },
        { "zero width", headerBytes({ .width = 0 }) + pixel, "bad TGA header" },
        { "zero height", headerBytes({ .height = 0 }) + pixel, "bad TGA header" },
        { "zero depth", headerBytes({ .depth = 0 }) + pixel, "bad TGA header" },
        { "depth 12", headerBytes({ .depth = 12 }) + pixel, "bad TGA header" },
        { "8-bit true-colour", headerBytes({ .depth = 8 }) + pixel, "bad TGA header" },
        { "16-bit grey", headerBytes({ .type = 3, .depth = 16 }) + pixel, "bad TGA header" },
        { "colour map type 2", headerBytes({ .mapType = 2 }) + pixel, "bad TGA header" },
        { "colour map of 257 entries", headerBytes({ .mapType = 1, .mapLength = 257, .mapEntry = 24 }),
            "bad TGA header" },
        { "colour-mapped without a map", headerBytes({ .type = 1, .depth = 8 }) + pixel, "bad TGA header" },
        { "colour-mapped with an empty map",
            headerBytes({ .mapType = 1, .type = 1, .mapEntry = 24, .depth = 8 }) + pixel, "bad TGA header" },
        { "map entries of 8 bits",
            headerBytes({ .mapType = 1, .type = 1, .mapLength = 1, .mapEntry = 8, .depth = 8 }) + pixel,
            "bad TGA header" },
        { "map beyond 256 indexes",
            headerBytes(
                { .mapType = 1, .type = 1, .mapFirst = 200, .mapLength = 100, .mapEntry = 24, .depth = 8 })
                + Bytes(301, 0),
            "bad TGA header" },
        { "16-bit colour indexes",
            headerBytes({ .mapType = 1, .type = 1, .mapLength = 1, .mapEntry = 24, .depth = 16 })
                + Bytes(5, 0),
            "bad TGA header" },
        { "truncated pixels", headerBytes({ .width = 2, .height = 2 }) + Bytes(11, 0), "corrupted TGA" },
        { "image ID longer than the file", headerBytes({ .idLength = 200 }) + pixel, "corrupted TGA" },
        { "truncated colour map",
            headerBytes({ .mapType = 1, .type = 1, .mapLength = 4, .mapEntry = 24, .depth = 8 })
                + Bytes(8, 0),
            "corrupted TGA" },
        { "huge image in a small file", headerBytes({ .width = 65535, .height = 65535, .depth = 32 }) + pixel,
            "corrupted TGA" },
        { "huge run-length image in a small file",
            headerBytes({ .type = 10, .width = 65535, .height = 65535 }) + Bytes(4000, 0xFF),
            "corrupted TGA" },
        { "run past the last pixel", headerBytes({ .type = 10, .width = 2 }) + Bytes { 0x82, 1, 2, 3 },
            "corrupted TGA" },
        { "raw packet past the last pixel",
            headerBytes({ .type = 10, .width = 2 }) + Bytes { 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9 },
            "corrupted TGA" },
        { "raw packet cut short", headerBytes({ .type = 10, .width = 4 }) + Bytes { 0x03, 1, 2, 3, 4, 5, 6 },
            "corrupted TGA" },
        { "packets end before the image",
            headerBytes({ .type = 10, .width = 2, .height = 2 }) + Bytes { 0x81, 1, 2, 3 }, "corrupted TGA" },
        { "index past the map",
            headerBytes({ .mapType = 1, .type = 1, .mapLength = 2, .mapEntry = 24, .width = 2, .depth = 8 })
                + Bytes(6, 0) + Bytes { 1, 2 },
            "corrupted TGA" },
        { "index below the map's origin",
            headerBytes(
                { .mapType = 1, .type = 9, .mapFirst = 2, .mapLength = 2, .mapEntry = 24, .depth = 8 })
                + Bytes(6, 0) + Bytes { 0x80, 1 },
            "corrupted TGA" },
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(error(c.file), c.message);
    }
}

TEST(TgaDecode, ImageTooLargeToCreateIsRefusedAfterTheSizeChecks)
{
    // 65535 x 1400 at 24 bits is past the pixel memory limit, yet its minimal run-length
    // data (one 4-byte packet per 128 pixels) fits this file.
    const uint64_t pixels = 65535ull * 1400;
    const Bytes file
        = headerBytes({ .type = 10, .width = 65535, .height = 1400 }) + Bytes((pixels + 127) / 128 * 4, 0xFF);
    EXPECT_EQ(error(file), "TGA Create failed");
}

} // namespace
} // namespace tessary
