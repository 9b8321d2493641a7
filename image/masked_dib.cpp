#include "image/masked_dib.h"

#include <cstring>
#include <new>

namespace tessary {

MaskedDib MaskedDib::clone() const
{
    MaskedDib copy;
    if (!dib)
        return copy;
    copy.dib = dib->clone();
    if (!copy.dib)
        return MaskedDib {};
    if (maskCount != 0 && mask) {
        copy.mask.reset(new (std::nothrow) uint16_t[maskCount]);
        if (!copy.mask)
            return MaskedDib {};
        std::memcpy(copy.mask.get(), mask.get(), size_t(maskCount) * sizeof(uint16_t));
        copy.maskCount = maskCount;
    }
    copy.owned = true;
    return copy;
}

bool allocateMaskedDib(int32_t height, int32_t width, MaskedDib& target, int bitCount)
{
    target.dib.reset();
    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide)
        return true;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
        return true;
    const uint32_t stride = rowStride(width, bitCount);
    const size_t tableEntries = bitCount <= 8 ? (size_t(1) << bitCount) : 0;
    const size_t imageBytes = size_t(stride) * size_t(height);
    const size_t total = sizeof(BitmapInfoHeader) + 4 * tableEntries + imageBytes;
    if (total > kMaxImageBytes)
        return true;

    std::unique_ptr<PackedDib> dib = PackedDib::allocate(total);
    if (!dib)
        return true;
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = uint16_t(bitCount);
    h.biSizeImage = uint32_t(imageBytes);
    h.biClrUsed = uint32_t(tableEntries);
    dib->setHeader(h);
    target.dib = std::move(dib);
    return allocateMask(target, 0xFF);
}

bool allocateMask(MaskedDib& target, uint8_t fill)
{
    if (!target.dib)
        return true;
    const uint64_t count = uint64_t(uint32_t(target.dib->width())) * uint64_t(uint32_t(target.dib->height()));
    std::unique_ptr<uint16_t[]> mask;
    if (count != 0 && count <= UINT32_MAX)
        mask.reset(new (std::nothrow) uint16_t[count]);
    if (count > UINT32_MAX || (count != 0 && !mask)) {
        target.dib.reset();
        return true;
    }
    if (count != 0)
        std::memset(mask.get(), fill, size_t(count) * sizeof(uint16_t));
    target.mask = std::move(mask);
    target.maskCount = uint32_t(count);
    target.owned = true;
    return false;
}

void releaseMaskedDib(MaskedDib& record)
{
    if (!record.owned)
        return;
    record.dib.reset();
    record.mask.reset();
    record.maskCount = 0;
    record.owned = false;
}

void releaseMask(MaskedDib& record)
{
    record.mask.reset();
    record.maskCount = 0;
}

} // namespace tessary
