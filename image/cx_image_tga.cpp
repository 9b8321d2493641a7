// Truevision TGA: uncompressed and run-length colour-mapped, true-colour and grey images.
#include "image/cx_byte_reader.h"
#include "image/cx_codecs.h"
#include "image/cx_image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace tessary {

namespace {
constexpr size_t kHeaderSize = 18;

// Image descriptor bits: pixels run right to left / rows run top to bottom.
constexpr uint8_t kRightToLeft = 0x10;
constexpr uint8_t kTopToBottom = 0x20;

// A run-length packet covers at most 128 pixels.
constexpr uint64_t kMaxPacketPixels = 128;

struct TgaHeader {
    uint8_t idLength;
    uint8_t colourMapType;
    uint8_t imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntrySize;
    uint16_t width;
    uint16_t height;
    uint8_t pixelDepth;
    uint8_t descriptor;
};

uint16_t le16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

void putLe16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v & 0xFF);
    p[1] = uint8_t((v >> 8) & 0xFF);
}

TgaHeader parseHeader(const uint8_t* b)
{
    TgaHeader h;
    h.idLength = b[0];
    h.colourMapType = b[1];
    h.imageType = b[2];
    h.mapFirst = le16(b + 3);
    h.mapLength = le16(b + 5);
    h.mapEntrySize = b[7];
    // b[8..11]: x and y origin of the image on a screen; not used.
    h.width = le16(b + 12);
    h.height = le16(b + 14);
    h.pixelDepth = b[16];
    h.descriptor = b[17];
    return h;
}

// 5-bit channel to 8 bits, so that 31 becomes 255 and 0 stays 0.
uint8_t expand5(unsigned v)
{
    return uint8_t((v << 3) | (v >> 2));
}

// A 16-bit pixel or map entry (A RRRRR GGGGG BBBBB, little-endian) as blue, green, red;
// the attribute bit is ignored.
void unpack555(const uint8_t* p, uint8_t* bgr)
{
    const unsigned v = le16(p);
    bgr[0] = expand5(v & 0x1F);
    bgr[1] = expand5((v >> 5) & 0x1F);
    bgr[2] = expand5((v >> 10) & 0x1F);
}

// Pixels of one file row, carrying the packet state from row to row: writers commonly let
// a packet run on into the next row, so packets are only held to the end of the image.
class PixelReader {
public:
    PixelReader(CxByteReader& reader, unsigned pixelBytes, bool rle, uint64_t pixels)
        : reader_(reader)
        , pixelBytes_(pixelBytes)
        , rle_(rle)
        , pixelsUnclaimed_(pixels)
    {
    }

    bool readRow(uint8_t* row, size_t width)
    {
        if (!rle_)
            return reader_.read(row, width * pixelBytes_);
        size_t x = 0;
        while (x < width) {
            if (packetLeft_ == 0 && !startPacket())
                return false;
            const size_t n = std::min<size_t>(packetLeft_, width - x);
            uint8_t* out = row + x * pixelBytes_;
            if (run_) {
                for (size_t i = 0; i < n; ++i)
                    std::memcpy(out + i * pixelBytes_, runPixel_.data(), pixelBytes_);
            } else if (!reader_.read(out, n * pixelBytes_)) {
                return false;
            }
            x += n;
            packetLeft_ -= uint32_t(n);
        }
        return true;
    }

private:
    bool startPacket()
    {
        uint8_t packet = 0;
        if (!reader_.get(packet))
            return false;
        run_ = (packet & 0x80) != 0;
        packetLeft_ = uint32_t(packet & 0x7F) + 1;
        // A packet reaching past the last pixel means the file is damaged.
        if (packetLeft_ > pixelsUnclaimed_)
            return false;
        pixelsUnclaimed_ -= packetLeft_;
        return !run_ || reader_.read(runPixel_.data(), pixelBytes_);
    }

    CxByteReader& reader_;
    unsigned pixelBytes_;
    bool rle_;
    uint64_t pixelsUnclaimed_;
    uint32_t packetLeft_ = 0;
    bool run_ = false;
    std::array<uint8_t, 4> runPixel_ {};
};

bool validDepth(uint8_t depth)
{
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

bool validMapEntrySize(uint8_t bits)
{
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}
}

bool CxImageTGA::Decode(CxImage& image, CxFile& file)
{
    auto fail = [&image](const char* text) {
        image.Destroy();
        image.SetError(text);
        return false;
    };

    uint8_t raw[kHeaderSize];
    if (file.Read(raw, 1, kHeaderSize) != kHeaderSize)
        return fail("Not a TGA");
    const TgaHeader h = parseHeader(raw);

    switch (h.imageType) {
    case 1:
    case 2:
    case 3:
    case 9:
    case 10:
    case 11:
        break;
    default:
        return fail("Unknown TGA image type");
    }
    const bool rle = h.imageType >= 9;
    const uint8_t kind = rle ? uint8_t(h.imageType - 8) : h.imageType;
    const bool mapped = kind == 1;
    const bool grey = kind == 3;

    if (h.width == 0 || h.height == 0 || h.pixelDepth == 0 || !validDepth(h.pixelDepth))
        return fail("bad TGA header");
    if (h.colourMapType > 1 || (h.colourMapType == 1 && h.mapLength > 256))
        return fail("bad TGA header");
    if (mapped) {
        // Pixels are 8-bit indexes into a map that must fit the 256-entry palette.
        if (h.colourMapType != 1 || h.mapLength == 0 || h.pixelDepth != 8
            || !validMapEntrySize(h.mapEntrySize) || uint32_t(h.mapFirst) + h.mapLength > 256)
            return fail("bad TGA header");
    } else if (grey) {
        if (h.pixelDepth != 8)
            return fail("bad TGA header");
    } else if (h.pixelDepth == 8) {
        return fail("bad TGA header");
    }

    // Everything the header promises must be in the file before anything is allocated.
    const uint64_t mapEntryBytes = (uint64_t(h.mapEntrySize) + 7) / 8;
    const uint64_t mapBytes = h.colourMapType == 1 ? uint64_t(h.mapLength) * mapEntryBytes : 0;
    const int64_t available = file.Remaining();
    if (uint64_t(available) < h.idLength + mapBytes)
        return fail("corrupted TGA");
    const uint64_t dataBytes = uint64_t(available) - h.idLength - mapBytes;
    const unsigned pixelBytes = (h.pixelDepth + 7u) / 8u;
    const uint64_t pixels = uint64_t(h.width) * h.height;
    const uint64_t minimalData
        = rle ? (pixels + kMaxPacketPixels - 1) / kMaxPacketPixels * (1 + pixelBytes) : pixels * pixelBytes;
    if (minimalData > dataBytes)
        return fail("corrupted TGA");

    // The image ID, and a colour map that a true-colour or grey image does not use.
    if (!file.Seek(int64_t(h.idLength + (mapped ? 0 : mapBytes)), SEEK_CUR))
        return fail("corrupted TGA");
    CxByteReader reader(file, int64_t(dataBytes + (mapped ? mapBytes : 0)));
    if (!reader.valid())
        return fail("TGA Create failed");

    std::array<std::array<uint8_t, 3>, 256> map {};
    if (mapped) {
        uint8_t entry[4];
        for (uint32_t i = 0; i < h.mapLength; ++i) {
            if (!reader.read(entry, size_t(mapEntryBytes)))
                return fail("corrupted TGA");
            if (mapEntryBytes == 2)
                unpack555(entry, map[i].data());
            else
                std::memcpy(map[i].data(), entry, 3); // blue, green, red; a 4th byte is alpha
        }
    }

    if (!image.Create(h.width, h.height, mapped || grey ? 8 : 24, CXIMAGE_FORMAT_TGA))
        return fail("TGA Create failed");
    // The format has no resolution field; an image used before may hold another file's.
    image.SetXDPI(96);
    image.SetYDPI(96);
    if (mapped) {
        for (uint32_t i = 0; i < h.mapLength; ++i)
            image.SetPaletteColor(uint8_t(h.mapFirst + i), map[i][2], map[i][1], map[i][0]);
    } else if (grey) {
        image.SetGrayPalette();
    }
    const size_t width = h.width;
    const std::unique_ptr<uint8_t[]> row = allocateBytes(width * pixelBytes);
    if (!row || (h.pixelDepth == 32 && !image.AlphaCreate()))
        return fail("TGA Create failed");

    // The descriptor's low bits count the alpha bits; 32-bit pixels that count none carry
    // padding in their fourth byte.
    image.AlphaSetStored((h.descriptor & 0x0F) != 0);
    const bool mirror = (h.descriptor & kRightToLeft) != 0;
    const bool topDown = (h.descriptor & kTopToBottom) != 0;
    PixelReader pixelReader(reader, pixelBytes, rle, pixels);

    for (uint32_t fileRow = 0; fileRow < h.height; ++fileRow) {
        if (!pixelReader.readRow(row.get(), width))
            return fail("corrupted TGA");
        const uint32_t storedRow = topDown ? h.height - 1 - fileRow : fileRow;
        uint8_t* out = image.GetBits(storedRow);
        for (size_t x = 0; x < width; ++x) {
            const size_t target = mirror ? width - 1 - x : x;
            const uint8_t* in = row.get() + x * pixelBytes;
            switch (pixelBytes) {
            case 1:
                if (mapped && (in[0] < h.mapFirst || in[0] >= h.mapFirst + h.mapLength))
                    return fail("corrupted TGA");
                out[target] = in[0];
                break;
            case 2:
                unpack555(in, out + 3 * target);
                break;
            case 3:
                std::memcpy(out + 3 * target, in, 3);
                break;
            default:
                std::memcpy(out + 3 * target, in, 3);
                image.AlphaSet(uint32_t(target), storedRow, in[3]);
                break;
            }
        }
    }
    return true;
}

bool CxImageTGA::Encode(CxImage& image, CxFile& file)
{
    const uint32_t bpp = image.GetBpp();
    if (bpp != 8 && bpp != 24) {
        image.SetError("Bit depth must be 8 or 24");
        return false;
    }
    const uint32_t width = uint32_t(image.GetWidth());
    const uint32_t height = uint32_t(image.GetHeight());
    // Width and height are 16-bit fields.
    if (width > 0xFFFF || height > 0xFFFF) {
        image.SetError("Image too large for TGA");
        return false;
    }

    uint8_t header[kHeaderSize] {};
    if (bpp == 8) {
        header[1] = 1; // colour map present
        header[2] = 1; // uncompressed colour-mapped
        putLe16(header + 5, 256);
        header[7] = 24;
    } else {
        header[2] = 2; // uncompressed true-colour
    }
    putLe16(header + 12, width);
    putLe16(header + 14, height);
    header[16] = uint8_t(bpp);
    header[17] = 0; // bottom-left origin: rows follow in stored order
    bool ok = file.Write(header, 1, kHeaderSize) == kHeaderSize;

    if (ok && bpp == 8) {
        uint8_t map[256 * 3] {};
        const uint8_t* palette = image.GetPalette();
        const uint32_t entries = std::min<uint32_t>(image.GetNumColors(), 256);
        for (uint32_t i = 0; palette && i < entries; ++i)
            std::memcpy(map + 3 * i, palette + 4 * i, 3);
        ok = file.Write(map, 1, sizeof map) == sizeof map;
    }

    const size_t rowBytes = size_t(width) * (bpp / 8);
    for (uint32_t r = 0; ok && r < height; ++r)
        ok = file.Write(image.GetBits(r), 1, rowBytes) == rowBytes;
    if (!ok) {
        image.SetError("Error writing TGA file");
        return false;
    }
    return true;
}

} // namespace tessary
