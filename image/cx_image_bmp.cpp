#include "image/bmp_writer.h"
#include "image/byte_block.h"
#include "image/cx_codec_rows.h"
#include "image/cx_codecs.h"
#include "image/cx_image.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tessary {

// Microsoft / OS/2 bitmap files. The 14-byte "BM" file header is optional: without it the block
// is a bare DIB whose pixels follow the colour table directly (how a PackedDib is fed in).
//
// Choices for malformed files:
// - Palette indices past the colour table the file holds are mapped to entry 0.
// - Uncompressed pixel data shorter than the rows need is refused before anything is allocated
//   ("corrupted BMP"); only the padding of the very last row may be missing.
// - RLE runs that reach past the row end are clipped to the row; a delta or end-of-line that
//   leaves the image ends the decoding like an end-of-bitmap mark. A stream that runs out
//   before its end-of-bitmap mark and before the last row is "corrupted BMP".
// - Colour tables longer than 2^bpp entries are skipped past; only 2^bpp entries are used.
// - Zero, non-contiguous or too wide bit-field masks are refused ("Error reading BMP info");
//   masks left out altogether (the pixels start right after the header) take the defaults.

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;

constexpr const char* kNotBmp = "Not a BMP";
constexpr const char* kBadInfo = "Error reading BMP info";
constexpr const char* kNotSupported = "compression type not supported";
constexpr const char* kUnknownCompression = "unknown compression";
constexpr const char* kNoMemory = "can't allocate memory";
constexpr const char* kCorrupted = "corrupted BMP";

uint16_t le16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

bool fail(CxImage& image, const char* text)
{
    image.Destroy();
    image.SetError(text);
    return false;
}

// Header sizes in use: OS/2 1.x core, BITMAPINFOHEADER, its V2/V3 extensions with the masks
// inside, OS/2 2.x, V4 and V5. Anything else is not taken for a bitmap.
bool knownHeaderSize(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

// Compression codes that name a real method we do not decode (JPEG, PNG, alpha bit fields,
// the CMYK variants); anything outside these and the supported ones is unknown.
bool knownUnsupportedCompression(uint32_t c)
{
    return (c >= 4 && c <= 6) || (c >= 11 && c <= 13);
}

// One colour channel of a bit-field pixel.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    // False for a zero or non-contiguous mask.
    bool set(uint32_t m)
    {
        if (m == 0)
            return false;
        shift = std::countr_zero(m);
        const uint32_t field = m >> shift;
        if ((field & (field + 1)) != 0)
            return false;
        mask = m;
        bits = std::popcount(field);
        return true;
    }

    // The channel value scaled to 0..255.
    uint8_t extract(uint32_t pixel) const
    {
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return uint8_t(v >> (bits - 8));
        const uint32_t max = (1u << bits) - 1;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

struct BmpInfo {
    bool core = false; // OS/2 1.x header: 3-byte colour entries, no compression
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0; // always positive; see topDown
    bool topDown = false;
    uint32_t bpp = 0;
    uint32_t compression = kBiRgb;
    uint32_t clrUsed = 0;
    int32_t xPpm = 0;
    int32_t yPpm = 0;
    bool masksInHeader = false;
    uint32_t masks[4] {}; // red, green, blue, alpha
};

// Bytes of one stored file row for `width` pixels of `bpp` bits; rows are padded to 4 bytes.
uint64_t fileStride(int64_t width, uint32_t bpp)
{
    return (uint64_t(width) * bpp + 31) / 32 * 4;
}

void setIndex(uint8_t* row, uint32_t x, uint32_t bpp, uint32_t index)
{
    switch (bpp) {
    case 1: {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = uint8_t(index ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (index & 0x0F));
        else
            row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
        break;
    default:
        row[x] = uint8_t(index);
    }
}

// Indices past the entries the file gave point at entry 0 instead. Every byte of the rows goes
// through one table that maps all the pixels it packs.
void remapMissingEntries(CxImage& image, uint32_t bpp, uint32_t entries)
{
    if (entries >= (1u << bpp))
        return;
    uint8_t map[256];
    for (uint32_t b = 0; b < 256; ++b) {
        uint32_t out = 0;
        for (uint32_t shift = 0; shift < 8; shift += bpp) {
            const uint32_t index = (b >> shift) & ((1u << bpp) - 1);
            out |= (index < entries ? index : 0) << shift;
        }
        map[b] = uint8_t(out);
    }
    uint8_t* bits = image.GetBits(0);
    const size_t bytes = size_t(image.GetEffWidth()) * size_t(image.GetHeight());
    for (size_t i = 0; i < bytes; ++i)
        bits[i] = map[bits[i]];
}

// Reads the info header (after the optional file header). Sets the error text on failure.
bool readInfo(CxImage& image, CxFile& file, bool hasFileHeader, BmpInfo& info)
{
    uint8_t h[124] {};
    if (file.Read(h, 1, 4) != 4)
        return fail(image, hasFileHeader ? kBadInfo : kNotBmp);
    info.headerSize = le32(h);
    if (!knownHeaderSize(info.headerSize))
        return fail(image, hasFileHeader ? kBadInfo : kNotBmp);
    if (file.Read(h + 4, 1, info.headerSize - 4) != info.headerSize - 4)
        return fail(image, kBadInfo);

    if (info.headerSize == 12) {
        info.core = true;
        info.width = le16(h + 4);
        info.height = le16(h + 6);
        info.bpp = le16(h + 10);
    } else {
        info.width = int32_t(le32(h + 4));
        const int32_t height = int32_t(le32(h + 8));
        // -2^31 has no positive counterpart.
        if (height == INT32_MIN)
            return fail(image, kBadInfo);
        info.topDown = height < 0;
        info.height = height < 0 ? -int64_t(height) : int64_t(height);
        info.bpp = le16(h + 14);
        info.compression = le32(h + 16);
        info.xPpm = int32_t(le32(h + 24));
        info.yPpm = int32_t(le32(h + 28));
        info.clrUsed = le32(h + 32);
        // The V2..V5 headers carry the masks; the OS/2 2.x header has other fields there.
        if (info.headerSize >= 52 && info.headerSize != 64) {
            info.masksInHeader = true;
            for (int i = 0; i < 3; ++i)
                info.masks[i] = le32(h + 40 + 4 * i);
            if (info.headerSize >= 56)
                info.masks[3] = le32(h + 52);
        }
    }
    if (info.width <= 0 || info.height <= 0)
        return fail(image, kBadInfo);

    const uint32_t c = info.compression;
    if (c != kBiRgb && c != kBiRle8 && c != kBiRle4 && c != kBiBitFields)
        return fail(image, knownUnsupportedCompression(c) ? kNotSupported : kUnknownCompression);
    const uint32_t bpp = info.bpp;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return fail(image, kBadInfo);
    if (info.core && (bpp == 16 || bpp == 32))
        return fail(image, kBadInfo);
    if ((c == kBiRle8 && bpp != 8) || (c == kBiRle4 && bpp != 4)
        || (c == kBiBitFields && bpp != 16 && bpp != 32))
        return fail(image, kNotSupported);
    return true;
}

// `masksMissing`: the file header puts the pixels right after a 40-byte header, leaving no
// room for the masks (some writers do this); the default masks then apply.
bool readMasks(
    CxImage& image, CxFile& file, BmpInfo& info, bool masksMissing, Channel (&channels)[4], bool& hasAlpha)
{
    if (info.compression == kBiBitFields && !masksMissing) {
        if (!info.masksInHeader) {
            uint8_t m[12];
            if (file.Read(m, 1, 12) != 12)
                return fail(image, kBadInfo);
            for (int i = 0; i < 3; ++i)
                info.masks[i] = le32(m + 4 * i);
        }
    } else if (info.bpp == 16) {
        info.masks[0] = 0x7C00;
        info.masks[1] = 0x03E0;
        info.masks[2] = 0x001F;
        info.masks[3] = 0;
    } else {
        info.masks[0] = 0xFF0000;
        info.masks[1] = 0x00FF00;
        info.masks[2] = 0x0000FF;
        info.masks[3] = 0;
    }
    const uint32_t usable = info.bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (int i = 0; i < 3; ++i)
        if ((info.masks[i] & ~usable) != 0 || !channels[i].set(info.masks[i]))
            return fail(image, kBadInfo);
    hasAlpha = false;
    if (info.bpp == 32) {
        // The fourth byte is alpha unless the header names another alpha mask or the colour
        // masks already use it.
        uint32_t alpha = info.masks[3];
        if (alpha == 0 && ((info.masks[0] | info.masks[1] | info.masks[2]) & 0xFF000000u) == 0)
            alpha = 0xFF000000u;
        hasAlpha = channels[3].set(alpha);
    }
    return true;
}

// 1, 4, 8 and 24 bits: file rows have the layout of the bitmap's rows.
bool readRows(CxImage& image, CxFile& file, const BmpInfo& info)
{
    const uint32_t height = uint32_t(info.height);
    const size_t stride = size_t(fileStride(info.width, info.bpp));
    const size_t lastRowBytes = size_t((uint64_t(info.width) * info.bpp + 7) / 8);
    for (uint32_t i = 0; i < height; ++i) {
        uint8_t* row = image.GetBits(info.topDown ? height - 1 - i : i);
        const size_t got = file.Read(row, 1, stride);
        if (got != stride && !(i == height - 1 && got >= lastRowBytes))
            return fail(image, kCorrupted);
    }
    return true;
}

// 16 and 32 bits become 24; a 32-bit alpha that is not zero everywhere is kept.
bool readDeepRows(
    CxImage& image, CxFile& file, const BmpInfo& info, const Channel (&channels)[4], bool alphaPossible)
{
    const uint32_t width = uint32_t(info.width), height = uint32_t(info.height);
    const size_t stride = size_t(fileStride(info.width, info.bpp));
    const size_t lastRowBytes = size_t(uint64_t(info.width) * info.bpp / 8);
    const std::unique_ptr<uint8_t[]> buffer = allocateBytes(stride);
    if (!buffer || (alphaPossible && !image.AlphaCreate()))
        return fail(image, kNoMemory);
    bool anyAlpha = false;
    for (uint32_t i = 0; i < height; ++i) {
        const uint32_t stored = info.topDown ? height - 1 - i : i;
        const size_t got = file.Read(buffer.get(), 1, stride);
        if (got != stride && !(i == height - 1 && got >= lastRowBytes))
            return fail(image, kCorrupted);
        uint8_t* dst = image.GetBits(stored);
        const uint8_t* src = buffer.get();
        for (uint32_t x = 0; x < width; ++x, dst += 3) {
            uint32_t pixel;
            if (info.bpp == 16) {
                pixel = le16(src);
                src += 2;
            } else {
                pixel = le32(src);
                src += 4;
            }
            dst[0] = channels[2].extract(pixel);
            dst[1] = channels[1].extract(pixel);
            dst[2] = channels[0].extract(pixel);
            if (alphaPossible) {
                const uint8_t a = channels[3].extract(pixel);
                anyAlpha = anyAlpha || a != 0;
                image.AlphaSet(x, stored, a);
            }
        }
    }
    if (alphaPossible && !anyAlpha)
        image.AlphaDelete();
    return true;
}

// RLE8 and RLE4 streams. Pixels past the row end are dropped; leaving the image ends the
// decoding; a stream that stops short of the last row is corrupt. Indices past the `entries`
// the table holds are written as 0 here, so the untouched (blank) part of the image is never
// walked.
bool readRle(CxImage& image, CxFile& file, const BmpInfo& info, int64_t streamBytes, uint32_t entries)
{
    const std::unique_ptr<uint8_t[]> data = allocateBytes(size_t(streamBytes));
    if (!data)
        return fail(image, kNoMemory);
    const size_t n = file.Read(data.get(), 1, size_t(streamBytes));
    const bool rle4 = info.compression == kBiRle4;
    const uint32_t bpp = rle4 ? 4 : 8;
    const uint64_t width = uint64_t(info.width), height = uint64_t(info.height);
    uint64_t x = 0, y = 0;
    size_t p = 0;

    auto rowAt = [&](uint64_t fileRow) {
        return image.GetBits(uint32_t(info.topDown ? height - 1 - fileRow : fileRow));
    };

    while (y < height) {
        if (n - p < 2)
            return y + 1 >= height ? true : fail(image, kCorrupted);
        const uint8_t count = data[p], value = data[p + 1];
        p += 2;
        if (count > 0) {
            // An encoded run: `count` pixels; RLE4 alternates the two nibbles of `value`.
            uint8_t* row = rowAt(y);
            const uint64_t inside = x < width ? std::min<uint64_t>(count, width - x) : 0;
            for (uint64_t k = 0; k < inside; ++k) {
                const uint32_t index = rle4 ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value;
                setIndex(row, uint32_t(x + k), bpp, index < entries ? index : 0);
            }
            x += count;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta: move right and up
            if (n - p < 2)
                return y + 1 >= height ? true : fail(image, kCorrupted);
            x += data[p];
            y += data[p + 1];
            p += 2;
            break;
        default: {
            // An absolute run of `value` pixels, padded to an even byte count.
            const size_t bytes = rle4 ? (size_t(value) + 1) / 2 : size_t(value);
            if (n - p < bytes)
                return y + 1 >= height ? true : fail(image, kCorrupted);
            uint8_t* row = rowAt(y);
            const uint64_t inside = x < width ? std::min<uint64_t>(value, width - x) : 0;
            for (uint64_t k = 0; k < inside; ++k) {
                const uint8_t b = data[p + (rle4 ? k / 2 : k)];
                const uint32_t index = rle4 ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b;
                setIndex(row, uint32_t(x + k), bpp, index < entries ? index : 0);
            }
            x += value;
            p += std::min(n - p, bytes + (bytes & 1));
            break;
        }
        }
    }
    return true;
}

} // namespace

bool CxImageBMP::Decode(CxImage& image, CxFile& file)
{
    const int64_t start = file.Tell();
    const int64_t total = file.Size();
    if (start < 0 || total < start)
        return fail(image, kNotBmp);
    const int64_t available = total - start;

    uint8_t fileHeader[14];
    if (file.Read(fileHeader, 1, 2) != 2)
        return fail(image, kNotBmp);
    const bool hasFileHeader = fileHeader[0] == 'B' && fileHeader[1] == 'M';
    int64_t offBits = 0;
    if (hasFileHeader) {
        if (file.Read(fileHeader + 2, 1, 12) != 12)
            return fail(image, kNotBmp);
        offBits = int64_t(le32(fileHeader + 10));
    } else if (!file.Seek(start, SEEK_SET)) {
        return fail(image, kNotBmp);
    }

    BmpInfo info;
    if (!readInfo(image, file, hasFileHeader, info))
        return false;
    Channel channels[4];
    bool alphaPossible = false;
    // Only a header with an alpha mask says the fourth bytes are alpha; in a plain 32-bit
    // bitmap they are often padding.
    const bool alphaDeclared = info.masksInHeader && info.headerSize >= 56 && info.masks[3] != 0;
    const int64_t afterInfo = file.Tell() - start;
    const bool masksMissing
        = hasFileHeader && !info.masksInHeader && offBits >= afterInfo && offBits < afterInfo + 12;
    if ((info.bpp == 16 || info.bpp == 32)
        && !readMasks(image, file, info, masksMissing, channels, alphaPossible))
        return false;
    const int64_t headerEnd = file.Tell() - start;

    // The colour table: 2^bpp entries by default, biClrUsed when given; deeper images may carry
    // an optional table that only has to be skipped.
    const uint32_t entrySize = info.core ? 3 : 4;
    const uint64_t maxEntries = info.bpp <= 8 ? (uint64_t(1) << info.bpp) : 0;
    const uint64_t declared = info.clrUsed != 0 ? info.clrUsed : maxEntries;
    const uint64_t tableBytes = declared * entrySize;
    int64_t pixelOffset = headerEnd + int64_t(tableBytes);
    uint64_t tableRoom = tableBytes;
    if (hasFileHeader && offBits >= headerEnd) {
        // The file says where the pixels are; a shorter table than declared ends there.
        pixelOffset = offBits;
        tableRoom = std::min<uint64_t>(tableBytes, uint64_t(offBits - headerEnd));
    }
    const uint32_t entries
        = uint32_t(std::min<uint64_t>(std::min(declared, maxEntries), tableRoom / entrySize));
    if (headerEnd + int64_t(entries) * entrySize > available)
        return fail(image, kBadInfo);
    if (pixelOffset > available)
        return fail(image, kCorrupted);
    const int64_t pixelBytes = available - pixelOffset;

    // Uncompressed rows must all be in the file before the bitmap is allocated (the padding
    // of the last row may be missing).
    const uint64_t height = uint64_t(info.height);
    if (info.compression == kBiRgb || info.compression == kBiBitFields) {
        const uint64_t stride = fileStride(info.width, info.bpp);
        const uint64_t lastRow = (uint64_t(info.width) * info.bpp + 7) / 8;
        if (lastRow > uint64_t(pixelBytes))
            return fail(image, kCorrupted);
        if (height > 1 && stride > (uint64_t(pixelBytes) - lastRow) / (height - 1))
            return fail(image, kCorrupted);
    }

    std::array<uint8_t, 256 * 4> table {};
    if (entries > 0 && file.Read(table.data(), entrySize, entries) != entries)
        return fail(image, kBadInfo);

    const uint32_t outBpp = info.bpp > 8 ? 24 : info.bpp;
    // Width and height came from 16-bit or signed 32-bit fields, so they fit; Create applies
    // the memory limit and sets its own error text.
    if (!image.Create(uint32_t(info.width), uint32_t(info.height), outBpp, CXIMAGE_FORMAT_BMP))
        return false;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* e = table.data() + size_t(i) * entrySize;
        image.SetPaletteColor(uint8_t(i), e[2], e[1], e[0]);
    }
    image.SetXDPI(pixelsPerMetreToDpi(info.xPpm));
    image.SetYDPI(pixelsPerMetreToDpi(info.yPpm));

    if (!file.Seek(start + pixelOffset, SEEK_SET))
        return fail(image, kCorrupted);
    bool ok;
    if (info.compression == kBiRle8 || info.compression == kBiRle4)
        ok = readRle(image, file, info, pixelBytes, entries);
    else if (info.bpp <= 8 || info.bpp == 24)
        ok = readRows(image, file, info);
    else
        ok = readDeepRows(image, file, info, channels, alphaPossible);
    image.AlphaSetStored(alphaDeclared);
    if (!ok)
        return false;
    if (info.bpp <= 8 && info.compression == kBiRgb)
        remapMissingEntries(image, info.bpp, entries);
    return true;
}

bool CxImageBMP::Encode(CxImage& image, CxFile& file)
{
    if (!writeBmp(file, image.GetDIB(), image.GetSize())) {
        image.SetError("Error writing BMP file");
        return false;
    }
    return true;
}

} // namespace tessary
