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

size_t programDibBytes(int32_t width, int32_t height, int bitCount)
{
    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide)
        return 0;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
        return 0;
    const size_t tableEntries = bitCount <= 8 ? (size_t(1) << bitCount) : 0;
    const size_t total
        = sizeof(BitmapInfoHeader) + 4 * tableEntries + size_t(rowStride(width, bitCount)) * size_t(height);
    return total > kMaxImageBytes ? 0 : total;
}

PackedDib::PackedDib(std::shared_ptr<uint8_t[]> block, size_t size)
    : block_(std::move(block))
    , size_(size)
{
}

PackedDib::~PackedDib() = default;

namespace {
// Blocks come from allocateLargeBlock: zeros without a pass of ours, large pages for large
// images. Shared so that a bitmap can lend its rows to another.
std::shared_ptr<uint8_t[]> newBlock(size_t size, bool zeroed)
{
    auto* bytes = static_cast<uint8_t*>(allocateLargeBlock(size, zeroed));
    if (!bytes)
        return nullptr;
    try {
        // On failure the shared_ptr constructor frees the block through the deleter.
        return std::shared_ptr<uint8_t[]>(bytes, [](uint8_t* p) { std::free(p); });
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
}

std::unique_ptr<PackedDib> PackedDib::allocate(size_t size)
{
    if (size < sizeof(BitmapInfoHeader))
        return nullptr;
    std::shared_ptr<uint8_t[]> block = newBlock(size, true);
    if (!block)
        return nullptr;
    return std::unique_ptr<PackedDib>(new (std::nothrow) PackedDib(std::move(block), size));
}

std::unique_ptr<PackedDib> PackedDib::over(std::shared_ptr<uint8_t[]> block, size_t size)
{
    if (!block || size < sizeof(BitmapInfoHeader))
        return nullptr;
    return std::unique_ptr<PackedDib>(new (std::nothrow) PackedDib(std::move(block), size));
}

std::unique_ptr<PackedDib> PackedDib::copyOf(const uint8_t* bytes, size_t size)
{
    if (size < sizeof(BitmapInfoHeader))
        return nullptr;
    std::shared_ptr<uint8_t[]> block = newBlock(size, false);
    if (!block)
        return nullptr;
    std::memcpy(block.get(), bytes, size);
    return std::unique_ptr<PackedDib>(new (std::nothrow) PackedDib(std::move(block), size));
}

std::unique_ptr<PackedDib> PackedDib::shareRows(const PackedDib& rows, const BitmapInfoHeader& header)
{
    const int32_t height = rows.height();
    if (header.biSize != sizeof(BitmapInfoHeader) || header.biHeight != height || height < 0
        || header.biWidth != rows.width() || header.biBitCount != rows.bitCount() || header.biClrUsed != 0
        || header.biBitCount <= 8 || header.biCompression != 0)
        return nullptr;
    const size_t rowBytes = size_t(rows.stride()) * size_t(height);
    const size_t rowsAt = rows.head_ ? rows.rowsAt_ : rows.pixelOffset();
    if (rows.pixelOffset() + rowBytes > rows.size())
        return nullptr;
    std::unique_ptr<uint8_t[]> head(new (std::nothrow) uint8_t[sizeof header]);
    if (!head)
        return nullptr;
    std::memcpy(head.get(), &header, sizeof header);
    std::unique_ptr<PackedDib> dib(new (std::nothrow) PackedDib(rows.block_, sizeof header + rowBytes));
    if (!dib)
        return nullptr;
    dib->head_ = std::move(head);
    dib->rowsAt_ = rowsAt;
    return dib;
}

bool PackedDib::sharesRows() const { return block_.use_count() > 1; }

std::shared_ptr<uint8_t[]> PackedDib::ownCopy() const
{
    // One contiguous block: the head, then the rows.
    const size_t headSize = head_ ? pixelOffset() : 0;
    std::shared_ptr<uint8_t[]> own = newBlock(size_, false);
    if (!own)
        return nullptr;
    if (head_) {
        std::memcpy(own.get(), head_.get(), headSize);
        std::memcpy(own.get() + headSize, block_.get() + rowsAt_, size_ - headSize);
    } else
        std::memcpy(own.get(), block_.get(), size_);
    return own;
}

bool PackedDib::join() const
{
    std::shared_ptr<uint8_t[]> own = ownCopy();
    if (!own)
        return false;
    block_ = std::move(own);
    head_.reset();
    rowsAt_ = 0;
    return true;
}

bool PackedDib::makeOwn() { return (!head_ && !sharesRows()) || join(); }

uint8_t* PackedDib::data() { return makeOwn() ? block_.get() : nullptr; }

const uint8_t* PackedDib::data() const
{
    // The whole block is asked for only by code reading every byte at once (writers, copies):
    // a bitmap over another's rows makes its own block for it.
    if (head_ && !join())
        return nullptr;
    return block_.get();
}

const uint8_t* PackedDib::rows() const
{
    return head_ ? block_.get() + rowsAt_ : block_.get() + pixelOffset();
}

std::unique_ptr<PackedDib> PackedDib::clone() const
{
    // A copy never changes the original, which may be read on other threads meanwhile.
    std::shared_ptr<uint8_t[]> block = ownCopy();
    if (!block)
        return nullptr;
    return std::unique_ptr<PackedDib>(new (std::nothrow) PackedDib(std::move(block), size_));
}

std::unique_ptr<PackedDib> PackedDib::share() const
{
    if (head_)
        return clone();
    return std::unique_ptr<PackedDib>(new (std::nothrow) PackedDib(block_, size_));
}

BitmapInfoHeader PackedDib::header() const
{
    BitmapInfoHeader h;
    std::memcpy(&h, headBytes(), sizeof h);
    return h;
}

void PackedDib::setHeader(const BitmapInfoHeader& header)
{
    if (makeOwn())
        std::memcpy(block_.get(), &header, sizeof header);
}

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
