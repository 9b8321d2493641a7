#include "merge/unmasked_image.h"

namespace tessary {

bool allocateUnmaskedImage(int32_t height, int32_t width, MaskedDib& target)
{
    target = MaskedDib {};
    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide)
        return true;
    const size_t imageBytes = size_t(rowStride(width, 24)) * size_t(height);
    const size_t total = sizeof(BitmapInfoHeader) + imageBytes;
    if (total > kMaxImageBytes)
        return true;
    std::unique_ptr<PackedDib> dib = PackedDib::allocate(total);
    if (!dib)
        return true;
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = 24;
    h.biSizeImage = uint32_t(imageBytes);
    dib->setHeader(h);
    target.dib = std::move(dib);
    target.owned = true;
    return false;
}

} // namespace tessary
