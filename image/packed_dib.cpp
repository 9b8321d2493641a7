#include "image/packed_dib.h"

#include "image/large_block.h"

#include <cstring>
#include <new>

namespace tessary {

uint32_t rowStride(int32_t width, int bitCount)
{
    if (width < 0)
        return 0;
    const uint64_t w = uint64_t(width);
    switch (bitCount) {
    case 1: return uint32_t(((w + 7) / 8 + 3) / 4 * 4);
    case 4: return uint32_t(((w + 1) / 2 + 3) / 4 * 4);
    case 8: return uint32_t((w + 3) / 4 * 4);
    case 16: return uint32_t(2 * ((w + 1) / 2 * 2));
    case 24: return uint32_t((3 * w + 3) / 4 * 4);
    case 32: return uint32_t(4 * w);
    default: return 0;
    }
}

PackedDib::PackedDib(Block block, size_t size)
    : block_(std::move(block))
    , size_(size)
{
}

std::unique_ptr<PackedDib> PackedDib::allocate(size_t size)
{
    if (size < sizeof(BitmapInfoHeader))
        return nullptr;
    Block block(static_cast<uint8_t*>(allocateLargeBlock(size, true)));
    if (!block)
        return nullptr;
    return std::unique_ptr<PackedDib>(new (std::nothrow) PackedDib(std::move(block), size));
}

std::unique_ptr<PackedDib> PackedDib::copyOf(const uint8_t* bytes, size_t size)
{
    if (size < sizeof(BitmapInfoHeader))
        return nullptr;
    Block block(static_cast<uint8_t*>(allocateLargeBlock(size, false)));
    if (!block)
        return nullptr;
    std::memcpy(block.get(), bytes, size);
    return std::unique_ptr<PackedDib>(new (std::nothrow) PackedDib(std::move(block), size));
}

BitmapInfoHeader PackedDib::header() const
{
    BitmapInfoHeader h;
    std::memcpy(&h, block_.get(), sizeof h);
    return h;
}

void PackedDib::setHeader(const BitmapInfoHeader& header) { std::memcpy(block_.get(), &header, sizeof header); }

uint32_t PackedDib::colourTableEntries() const
{
    const BitmapInfoHeader h = header();
    if (h.biBitCount > 8)
        return 0;
    return h.biClrUsed != 0 ? h.biClrUsed : (1u << h.biBitCount);
}

size_t PackedDib::colourTableOffset() const
{
    const BitmapInfoHeader h = header();
    const bool bitFields = h.biCompression == 3 && (h.biBitCount == 16 || h.biBitCount == 32);
    return h.biSize + (bitFields ? 12 : 0);
}

size_t PackedDib::pixelOffset() const { return colourTableOffset() + 4 * size_t(colourTableEntries()); }

} // namespace tessary
