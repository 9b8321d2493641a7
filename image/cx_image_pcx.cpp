// ZSoft PCX: run-length coded images of 1-bit planes, packed pixels or 8-bit colour planes.
#include "image/byte_block.h"
#include "image/cx_byte_reader.h"
#include "image/cx_codecs.h"
#include "image/cx_image.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tessary {

namespace {
constexpr size_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kRleEncoding = 1;
// The 256-colour palette of an 8-bit image: a marker byte and 256 RGB triples at the end.
constexpr uint8_t kPaletteMarker = 12;
constexpr int64_t kTrailingPaletteBytes = 1 + 256 * 3;
// A count byte carries at most 63 repeats, so two bytes expand to at most 63.
constexpr uint8_t kCountFlag = 0xC0;
constexpr unsigned kMaxRun = 63;

// Header offsets.
constexpr size_t kVersion = 1, kEncoding = 2, kBitsPerPixel = 3, kXMin = 4, kYMin = 6, kXMax = 8, kYMax = 10,
                 kHDpi = 12, kVDpi = 14, kColourMap = 16, kPlanes = 65, kBytesPerLine = 66, kPaletteInfo = 68;

uint16_t le16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

void putLe16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v & 0xFF);
    p[1] = uint8_t((v >> 8) & 0xFF);
}

// The 16 EGA colours, for 16-colour files that leave the header's colour map empty.
constexpr uint8_t kEgaPalette[16][3] = {
    { 0x00, 0x00, 0x00 },
    { 0x00, 0x00, 0xAA },
    { 0x00, 0xAA, 0x00 },
    { 0x00, 0xAA, 0xAA },
    { 0xAA, 0x00, 0x00 },
    { 0xAA, 0x00, 0xAA },
    { 0xAA, 0x55, 0x00 },
    { 0xAA, 0xAA, 0xAA },
    { 0x55, 0x55, 0x55 },
    { 0x55, 0x55, 0xFF },
    { 0x55, 0xFF, 0x55 },
    { 0x55, 0xFF, 0xFF },
    { 0xFF, 0x55, 0x55 },
    { 0xFF, 0x55, 0xFF },
    { 0xFF, 0xFF, 0x55 },
    { 0xFF, 0xFF, 0xFF },
};

// How the bytes of one scan line become pixels.
enum class Layout {
    ColourPlanes, // 8 bits x 3 or 4 planes: red, green, blue (and alpha) plane lines
    Packed, // 1 plane of 1, 2, 4 or 8 bits per pixel
    BitPlanes, // 2 to 4 planes of 1 bit, combined into 4-bit colour indexes
};

// Decodes the run-length stream one scan line at a time. A run may continue into the next
// plane line or scan line, as many writers do, but never past the end of the image.
class RunDecoder {
public:
    RunDecoder(CxByteReader& reader, uint64_t imageBytes)
        : reader_(reader)
        , unclaimed_(imageBytes)
    {
    }

    // Fills `line`; on failure returns the reason.
    const char* fill(uint8_t* line, size_t length)
    {
        size_t i = 0;
        while (i < length) {
            if (runLeft_ == 0) {
                uint8_t c = 0;
                if (!reader_.get(c))
                    return "corrupted PCX";
                if ((c & kCountFlag) == kCountFlag) {
                    runLeft_ = c & kMaxRun;
                    if (!reader_.get(runByte_))
                        return "corrupted PCX";
                    if (runLeft_ > unclaimed_)
                        return "repeat count spans end of image";
                } else {
                    runLeft_ = 1;
                    runByte_ = c;
                }
                unclaimed_ -= runLeft_;
                continue; // a zero count is legal and produces nothing
            }
            const size_t n = std::min<size_t>(runLeft_, length - i);
            std::memset(line + i, runByte_, n);
            i += n;
            runLeft_ -= unsigned(n);
        }
        return nullptr;
    }

private:
    CxByteReader& reader_;
    uint64_t unclaimed_;
    unsigned runLeft_ = 0;
    uint8_t runByte_ = 0;
};

// At most two bytes per byte of a line, and the pad byte.
size_t maxEncodedLine(size_t length)
{
    return 2 * length + 1;
}

// Run-length codes one plane line into `out` (room for maxEncodedLine bytes); `pad` adds the
// zero byte that makes an odd line even. Returns the end of what was written.
uint8_t* encodeLine(const uint8_t* bytes, size_t length, bool pad, uint8_t* out)
{
    uint8_t current = 0;
    unsigned run = 0;
    auto flush = [&] {
        // Nothing is pending before the first byte of a line.
        if (run == 0)
            return;
        if (run == 1 && current < kCountFlag) {
            *out++ = current;
        } else {
            *out++ = uint8_t(kCountFlag | run);
            *out++ = current;
        }
    };
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = bytes[i];
        if (b == current && run < kMaxRun) {
            ++run;
        } else if (b == current) {
            *out++ = uint8_t(kCountFlag | kMaxRun);
            *out++ = b;
            run = 1;
        } else {
            flush();
            current = b;
            run = 1;
        }
    }
    flush();
    if (pad)
        *out++ = 0;
    return out;
}

// Blue, green and red of pixel x of a stored row at any depth the image may have.
void pixelBgr(CxImage& image, const uint8_t* row, uint32_t x, uint8_t* bgr)
{
    const uint32_t bpp = image.GetBpp();
    if (bpp == 24) {
        std::memcpy(bgr, row + 3 * size_t(x), 3);
        return;
    }
    uint32_t index = 0;
    if (bpp == 8)
        index = row[x];
    else if (bpp == 4)
        index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    else
        index = (row[x / 8] >> (7 - x % 8)) & 1;
    const uint8_t* palette = image.GetPalette();
    if (palette && index < image.GetNumColors())
        std::memcpy(bgr, palette + 4 * size_t(index), 3);
    else
        std::memset(bgr, 0, 3);
}
}

bool CxImagePCX::Decode(CxImage& image, CxFile& file)
{
    auto fail = [&image](const char* text) {
        image.Destroy();
        image.SetError(text);
        return false;
    };

    uint8_t hd[kHeaderSize];
    if (file.Read(hd, 1, kHeaderSize) != kHeaderSize)
        return fail("Can't read PCX image");
    if (hd[0] != kManufacturer)
        return fail("Error: Not a PCX file");
    if (hd[kEncoding] != kRleEncoding)
        return fail("PCX file has unknown encoding scheme");
    const unsigned bits = hd[kBitsPerPixel];
    const unsigned planes = hd[kPlanes];
    if (planes > 4)
        return fail("Can't handle image with more than 4 planes");

    const uint16_t xMin = le16(hd + kXMin), yMin = le16(hd + kYMin);
    const uint16_t xMax = le16(hd + kXMax), yMax = le16(hd + kYMax);
    const uint32_t bytesPerLine = le16(hd + kBytesPerLine);
    if (xMax < xMin || yMax < yMin || planes == 0)
        return fail("corrupted PCX");
    const uint32_t width = uint32_t(xMax - xMin) + 1;
    const uint32_t height = uint32_t(yMax - yMin) + 1;

    const bool packedBits = bits == 1 || bits == 2 || bits == 4 || bits == 8;
    Layout layout;
    if (bits == 8 && planes >= 3)
        layout = Layout::ColourPlanes;
    else if (packedBits && planes == 1)
        layout = Layout::Packed;
    else if (packedBits && bits > 1)
        return fail("PCX_UnpackPixels: Can't handle packed pixels with more than 1 plane");
    else if (bits == 1)
        layout = Layout::BitPlanes;
    else
        return fail("PCX_PlanesToPixels: more than 4 planes or more than 1 bit per pixel");

    // Each plane line must hold the bits of a whole row.
    const uint64_t neededPerPlane = (uint64_t(width) * bits + 7) / 8;
    if (bytesPerLine < neededPerPlane)
        return fail("corrupted PCX");

    const int64_t dataStart = file.Tell();
    int64_t dataBytes = file.Remaining();
    const bool trailingPalette = layout == Layout::Packed && bits == 8;
    uint8_t palette256[256 * 3] {};
    if (trailingPalette) {
        uint8_t marker = 0;
        if (dataBytes < kTrailingPaletteBytes || !file.Seek(-kTrailingPaletteBytes, SEEK_END)
            || file.Read(&marker, 1, 1) != 1 || marker != kPaletteMarker)
            return fail("bad color map signature");
        if (file.Read(palette256, 1, sizeof palette256) != sizeof palette256
            || !file.Seek(dataStart, SEEK_SET))
            return fail("corrupted PCX");
        dataBytes -= kTrailingPaletteBytes;
    }

    // Two encoded bytes give at most 63 image bytes: refuse a header promising more than the
    // file can hold before allocating anything.
    const uint64_t lineBytes = uint64_t(bytesPerLine) * planes;
    const uint64_t imageBytes = lineBytes * height;
    if (uint64_t(dataBytes) < (2 * imageBytes + kMaxRun - 1) / kMaxRun)
        return fail("corrupted PCX");

    uint32_t dibBpp = 24;
    if (layout == Layout::Packed)
        dibBpp = bits;
    else if (layout == Layout::BitPlanes)
        dibBpp = 4;
    if (!image.Create(width, height, dibBpp, CXIMAGE_FORMAT_PCX)) {
        image.Destroy(); // keeps the reason Create gave
        return false;
    }
    image.SetXDPI(le16(hd + kHDpi));
    image.SetYDPI(le16(hd + kVDpi));

    if (trailingPalette) {
        for (unsigned i = 0; i < 256; ++i)
            image.SetPaletteColor(
                uint8_t(i), palette256[3 * i], palette256[3 * i + 1], palette256[3 * i + 2]);
    } else if (layout == Layout::Packed && bits == 1) {
        // Monochrome: 0 is black and 1 white; writers rarely fill the header map for these.
        image.SetPaletteColor(0, 0, 0, 0);
        image.SetPaletteColor(1, 255, 255, 255);
    } else if (layout != Layout::ColourPlanes) {
        const uint8_t* map = hd + kColourMap;
        const bool empty = std::all_of(map, map + 48, [](uint8_t v) { return v == 0; });
        for (unsigned i = 0; i < 16; ++i) {
            const uint8_t* rgb = empty ? kEgaPalette[i] : map + 3 * i;
            image.SetPaletteColor(uint8_t(i), rgb[0], rgb[1], rgb[2]);
        }
    }
    const bool alpha = layout == Layout::ColourPlanes && planes == 4;
    CxByteReader reader(file, dataBytes);
    const std::unique_ptr<uint8_t[]> line = allocateBytes(size_t(lineBytes));
    if (!reader.valid() || !line || (alpha && !image.AlphaCreate()))
        return fail(kCxNoMemory);
    RunDecoder decoder(reader, imageBytes);
    const uint8_t* plane[4] {};
    for (unsigned p = 0; p < planes; ++p)
        plane[p] = line.get() + p * size_t(bytesPerLine);

    // Scan lines run from the top of the picture down.
    for (uint32_t y = 0; y < height; ++y) {
        if (const char* error = decoder.fill(line.get(), size_t(lineBytes)))
            return fail(error);
        const uint32_t storedRow = height - 1 - y;
        uint8_t* out = image.GetBits(storedRow);
        switch (layout) {
        case Layout::ColourPlanes:
            for (uint32_t x = 0; x < width; ++x) {
                out[3 * size_t(x)] = plane[2][x];
                out[3 * size_t(x) + 1] = plane[1][x];
                out[3 * size_t(x) + 2] = plane[0][x];
                if (alpha)
                    image.AlphaSet(x, storedRow, plane[3][x]);
            }
            break;
        case Layout::Packed:
            if (bits == 2) {
                for (uint32_t x = 0; x < width; ++x) {
                    const uint8_t v = (line[x / 4] >> (6 - 2 * (x % 4))) & 3;
                    out[x / 2] |= uint8_t(x % 2 ? v : v << 4);
                }
            } else {
                std::memcpy(out, line.get(), size_t(neededPerPlane));
            }
            break;
        case Layout::BitPlanes:
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t v = 0;
                for (unsigned p = 0; p < planes; ++p)
                    v |= uint8_t(((plane[p][x / 8] >> (7 - x % 8)) & 1) << p);
                out[x / 2] |= uint8_t(x % 2 ? v : v << 4);
            }
            break;
        }
    }
    return true;
}

bool CxImagePCX::Encode(CxImage& image, CxFile& file)
{
    const uint32_t width = uint32_t(image.GetWidth());
    const uint32_t height = uint32_t(image.GetHeight());
    const uint32_t bytesPerLine = width + (width & 1);
    // xmax, ymax and the bytes per line are 16-bit fields.
    if (width == 0 || height == 0 || bytesPerLine > 0xFFFF || height > 0x10000) {
        image.SetError("cannot write PCX header");
        return false;
    }

    uint8_t hd[kHeaderSize] {};
    hd[0] = kManufacturer;
    hd[kVersion] = 5;
    hd[kEncoding] = kRleEncoding;
    hd[kBitsPerPixel] = 8;
    putLe16(hd + kXMax, width - 1);
    putLe16(hd + kYMax, height - 1);
    putLe16(hd + kHDpi, 96);
    putLe16(hd + kVDpi, 96);
    hd[kPlanes] = 3;
    putLe16(hd + kBytesPerLine, bytesPerLine);
    putLe16(hd + kPaletteInfo, 1);
    if (file.Write(hd, 1, kHeaderSize) != kHeaderSize) {
        image.SetError("cannot write PCX header");
        return false;
    }

    const bool pad = (width & 1) != 0;
    const std::unique_ptr<uint8_t[]> planes = allocateBytes(3 * size_t(width));
    const std::unique_ptr<uint8_t[]> out = allocateBytes(3 * maxEncodedLine(width));
    if (!planes || !out) {
        image.SetError(kCxNoMemory);
        return false;
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = image.GetBits(height - 1 - y);
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t bgr[3];
            pixelBgr(image, row, x, bgr);
            planes[x] = bgr[2];
            planes[width + x] = bgr[1];
            planes[2 * size_t(width) + x] = bgr[0];
        }
        uint8_t* end = out.get();
        for (size_t p = 0; p < 3; ++p)
            end = encodeLine(planes.get() + p * width, width, pad, end);
        const size_t bytes = size_t(end - out.get());
        if (file.Write(out.get(), 1, bytes) != bytes) {
            image.SetError("cannot write PCX data");
            return false;
        }
    }
    return true;
}

} // namespace tessary
