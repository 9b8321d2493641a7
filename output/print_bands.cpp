#include "output/print_bands.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace tessary {

ScaledBands::ScaledBands(const PackedDib& picture, const PageRect& target, const PageRect& clip)
    : picture_(picture)
    , target_(target)
{
    visible_ = PageRect { std::max(target.left, clip.left), std::max(target.top, clip.top),
        std::min(target.right, clip.right), std::min(target.bottom, clip.bottom) };
    if (target.empty() || visible_.empty() || picture.width() <= 0 || picture.height() <= 0
        || picture.bitCount() != 24)
        return;
    try {
        columnBytes_.resize(size_t(visible_.width()));
    } catch (const std::bad_alloc&) {
        failed_ = true;
        return;
    } catch (const std::length_error&) {
        failed_ = true;
        return;
    }
    const int64_t W = picture.width(), width = target.width();
    for (int64_t x = visible_.left; x < visible_.right; ++x)
        columnBytes_[size_t(x - visible_.left)] = uint32_t(3 * ((x - target.left) * W / width));
    ok_ = true;
}

int32_t ScaledBands::bandRows(size_t budgetBytes) const
{
    const size_t rowBytes = size_t(std::max<int64_t>(1, visible_.width())) * 3;
    const size_t rows = std::max<size_t>(1, budgetBytes / rowBytes);
    return int32_t(std::min<size_t>(rows, size_t(std::max<int64_t>(1, visible_.height()))));
}

void ScaledBands::fillBand(int64_t first, int32_t rows, uint8_t* out, size_t outStride) const
{
    if (!ok_)
        return;
    const int64_t H = picture_.height(), height = target_.height();
    const size_t n = columnBytes_.size();
    const uint32_t* columns = columnBytes_.data();
    for (int32_t j = 0; j < rows; ++j) {
        const int64_t displayRow = (first + j - target_.top) * H / height;
        const uint8_t* from = picture_.row(int32_t(H - 1 - displayRow));
        uint8_t* to = out + size_t(j) * outStride;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* p = from + columns[i];
            to[3 * i] = p[2];
            to[3 * i + 1] = p[1];
            to[3 * i + 2] = p[0];
        }
    }
}

} // namespace tessary
