#include "sources/dib_block.h"

#include <cstring>

namespace tessary {

namespace {
constexpr uint32_t kBitFields = 3;

uint32_t readLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
}

std::unique_ptr<PackedDib> dibFromBlock(const std::vector<uint8_t>& block)
{
    BitmapInfoHeader h;
    if (block.size() < sizeof h)
        return nullptr;
    std::memcpy(&h, block.data(), sizeof h);
    if (h.biSize < sizeof h || h.biSize > block.size())
        return nullptr;
    const int bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return nullptr;
    if (h.biWidth < 1 || h.biWidth > kMaxImageSide || h.biHeight == 0 || h.biHeight < -kMaxImageSide
        || h.biHeight > kMaxImageSide)
        return nullptr;

    // Masks of a bit-field image: after a 40-byte header, or inside a longer one.
    const bool bitFields = h.biCompression == kBitFields;
    if (h.biCompression != 0 && !(bitFields && (bits == 16 || bits == 32)))
        return nullptr;
    size_t offset = h.biSize;
    uint8_t masks[12] = {};
    if (bitFields) {
        const size_t at = h.biSize >= 52 ? 40 : h.biSize;
        if (at + 12 > block.size())
            return nullptr;
        std::memcpy(masks, block.data() + at, 12);
        if (h.biSize < 52)
            offset += 12;
        // The 32-bit reader takes blue, green, red from the first three bytes.
        if (bits == 32
            && (readLe32(masks) != 0xFF0000 || readLe32(masks + 4) != 0xFF00 || readLe32(masks + 8) != 0xFF))
            return nullptr;
        // The 16-bit reader keeps the low half of each mask: a mask reaching above it is not its.
        if (bits == 16 && ((readLe32(masks) | readLe32(masks + 4) | readLe32(masks + 8)) >> 16) != 0)
            return nullptr;
    }

    const uint32_t defaultEntries = bits <= 8 ? (1u << bits) : 0;
    if (bits <= 8 && h.biClrUsed > defaultEntries)
        return nullptr;
    // The 1-bit reader takes its two colours from two entries, whatever the header says.
    if (bits == 1 && h.biClrUsed == 1)
        return nullptr;
    const uint32_t entries = bits <= 8 ? (h.biClrUsed != 0 ? h.biClrUsed : defaultEntries) : 0;
    // Deeper images may carry a colour table for display; it is skipped.
    const uint64_t skipped = bits > 8 ? uint64_t(h.biClrUsed) * 4 : 0;
    const int32_t height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const uint64_t stride = rowStride(h.biWidth, bits);
    const uint64_t rowsBytes = stride * uint64_t(height);
    const uint64_t tableStart = offset;
    const uint64_t rowsStart = tableStart + 4 * uint64_t(entries) + skipped;
    if (rowsStart + rowsBytes > block.size())
        return nullptr;

    const size_t outMasks = bitFields && bits == 16 ? 12 : 0;
    const uint64_t outSize = sizeof h + outMasks + 4 * uint64_t(entries) + rowsBytes;
    if (outSize > kMaxImageBytes)
        return nullptr;
    std::unique_ptr<PackedDib> dib = PackedDib::allocate(size_t(outSize));
    if (!dib)
        return nullptr;

    BitmapInfoHeader out;
    out.biWidth = h.biWidth;
    out.biHeight = height;
    out.biBitCount = uint16_t(bits);
    out.biCompression = outMasks ? kBitFields : 0;
    out.biSizeImage = uint32_t(rowsBytes);
    out.biClrUsed = entries;
    dib->setHeader(out);
    uint8_t* to = dib->data() + sizeof h;
    std::memcpy(to, masks, outMasks);
    to += outMasks;
    std::memcpy(to, block.data() + tableStart, 4 * size_t(entries));
    to += 4 * size_t(entries);
    const uint8_t* rows = block.data() + rowsStart;
    for (int32_t r = 0; r < height; ++r) {
        // A top-down block lists the top line first.
        const int32_t from = h.biHeight < 0 ? height - 1 - r : r;
        std::memcpy(to + size_t(r) * stride, rows + size_t(from) * stride, size_t(stride));
    }
    return dib;
}

} // namespace tessary
