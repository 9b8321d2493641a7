#include "merge/unmasked_image.h"

namespace tessary {

bool allocateUnmaskedImage(int32_t height, int32_t width, MaskedDib& target, const BlockProvider& block)
{
    target = MaskedDib {};
    const size_t total = programDibBytes(width, height, 24);
    if (total == 0)
        return true;
    const size_t imageBytes = total - sizeof(BitmapInfoHeader);
    std::shared_ptr<uint8_t[]> provided = block ? block(total) : nullptr;
    std::unique_ptr<PackedDib> dib = provided ? PackedDib::over(std::move(provided), total) : PackedDib::allocate(total);
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
