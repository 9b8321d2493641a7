#include "image/bmp_writer.h"

#include "image/atomic_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tessary {

namespace {
void put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
bool writeAll(CxFile& file, const uint8_t* bytes, size_t count)
{
    return count == 0 || file.Write(bytes, 1, count) == count;
}
}

namespace {
// Where the parts of a block go in its BMP file.
struct BmpLayout {
    uint64_t headerBytes = 0; // the info header and the masks of a bit-field image
    uint64_t blockEntries = 0; // colour entries held in the block
    uint64_t fileEntries = 0; // colour entries the file holds: 2^bpp for 8 bits or less
    uint64_t pixelOffset = 0; // of the rows in the block
    uint32_t imageBytes = 0;
    uint8_t fileHeader[14] {};
};

bool layOut(const uint8_t* dib, size_t size, BmpLayout& l)
{
    if (!dib || size < sizeof(BitmapInfoHeader))
        return false;
    BitmapInfoHeader h;
    std::memcpy(&h, dib, sizeof h);
    if (h.biSize < sizeof(BitmapInfoHeader))
        return false;
    const uint32_t bpp = h.biBitCount;

    // The block's own layout, as PackedDib reads it: header, the masks of a bit-field image,
    // then biClrUsed (or 2^bpp) colour entries for 8 bits or less, then the rows.
    const bool bitFields = h.biCompression == 3 && (bpp == 16 || bpp == 32);
    l.headerBytes = uint64_t(h.biSize) + (bitFields ? 12 : 0);
    l.blockEntries = bpp > 8 ? 0 : (h.biClrUsed != 0 ? h.biClrUsed : (uint64_t(1) << bpp));
    l.pixelOffset = l.headerBytes + 4 * l.blockEntries;
    l.imageBytes = h.biSizeImage;
    if (l.pixelOffset + h.biSizeImage > size)
        return false;
    // The file's colour table always has 2^bpp entries: a shorter table is padded with black.
    l.fileEntries = bpp <= 8 ? (uint64_t(1) << bpp) : 0;
    const uint64_t offBits = 14 + l.headerBytes + 4 * l.fileEntries;
    const uint64_t fileSize = offBits + h.biSizeImage;
    if (fileSize > UINT32_MAX)
        return false;
    l.fileHeader[0] = 'B';
    l.fileHeader[1] = 'M';
    put32(l.fileHeader + 2, uint32_t(fileSize));
    put16(l.fileHeader + 6, 0);
    put16(l.fileHeader + 8, 0);
    put32(l.fileHeader + 10, uint32_t(offBits));
    return true;
}
}

bool writeBmp(CxFile& file, const uint8_t* dib, size_t size)
{
    BmpLayout l;
    if (!layOut(dib, size, l))
        return false;
    std::array<uint8_t, 4 * 256> table {};
    const size_t tableBytes = size_t(4 * l.fileEntries);
    const size_t copied = size_t(4 * std::min(l.fileEntries, l.blockEntries));
    if (copied > 0)
        std::memcpy(table.data(), dib + l.headerBytes, copied);
    return writeAll(file, l.fileHeader, sizeof l.fileHeader) && writeAll(file, dib, size_t(l.headerBytes))
        && writeAll(file, table.data(), tableBytes) && writeAll(file, dib + l.pixelOffset, l.imageBytes);
}

bool bmpFileHeader(const uint8_t* dib, size_t size, uint8_t header[14])
{
    BmpLayout l;
    if (!layOut(dib, size, l) || l.fileEntries != 0 || l.pixelOffset != l.headerBytes
        || l.pixelOffset + l.imageBytes != size)
        return false;
    std::memcpy(header, l.fileHeader, sizeof l.fileHeader);
    return true;
}

bool writeBmpFile(const PackedDib& dib, const std::string& path)
{
    return writeFileAtomically(path, [&](CxFile& file) { return writeBmp(file, dib.data(), dib.size()); });
}

} // namespace tessary
