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

bool writeBmp(CxFile& file, const uint8_t* dib, size_t size)
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
    const uint64_t headerBytes = uint64_t(h.biSize) + (bitFields ? 12 : 0);
    const uint64_t blockEntries = bpp > 8 ? 0 : (h.biClrUsed != 0 ? h.biClrUsed : (uint64_t(1) << bpp));
    const uint64_t pixelOffset = headerBytes + 4 * blockEntries;
    if (pixelOffset + h.biSizeImage > size)
        return false;

    // The file's colour table always has 2^bpp entries: a shorter table is padded with black.
    const uint64_t fileEntries = bpp <= 8 ? (uint64_t(1) << bpp) : 0;
    std::array<uint8_t, 4 * 256> table {};
    const size_t tableBytes = size_t(4 * fileEntries);
    const size_t copied = size_t(4 * std::min(fileEntries, blockEntries));
    if (copied > 0)
        std::memcpy(table.data(), dib + headerBytes, copied);

    const uint64_t offBits = 14 + headerBytes + tableBytes;
    const uint64_t fileSize = offBits + h.biSizeImage;
    if (fileSize > UINT32_MAX)
        return false;

    uint8_t fileHeader[14];
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    put32(fileHeader + 2, uint32_t(fileSize));
    put16(fileHeader + 6, 0);
    put16(fileHeader + 8, 0);
    put32(fileHeader + 10, uint32_t(offBits));
    return writeAll(file, fileHeader, sizeof fileHeader) && writeAll(file, dib, size_t(headerBytes))
        && writeAll(file, table.data(), tableBytes) && writeAll(file, dib + pixelOffset, h.biSizeImage);
}

bool writeBmpFile(const PackedDib& dib, const std::string& path)
{
    return writeFileAtomically(path, [&](CxFile& file) { return writeBmp(file, dib.data(), dib.size()); });
}

} // namespace tessary
