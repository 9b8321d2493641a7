#include "image/masked_dib.h"

#include "image/large_block.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace tessary {

namespace {
std::unique_ptr<uint16_t[]> opaqueBlock(size_t count)
{
    std::unique_ptr<uint16_t[]> block(new (std::nothrow) uint16_t[count]);
    if (block)
        std::fill(block.get(), block.get() + count, kOpaque);
    return block;
}
}

const uint16_t* opaqueValues(size_t count)
{
    // One row of the widest image, made once: every row read of an opaque fact points here.
    static const std::unique_ptr<uint16_t[]> row = opaqueBlock(size_t(kMaxImageSide));
    if (count <= size_t(kMaxImageSide) && row)
        return row.get();
    // A whole plane is asked for only by code reading all values at once; earlier blocks stay,
    // as their readers may still hold them.
    static std::mutex guard;
    static std::vector<std::unique_ptr<uint16_t[]>> blocks;
    static size_t largest = 0;
    std::lock_guard<std::mutex> lock(guard);
    if (count > largest || blocks.empty()) {
        std::unique_ptr<uint16_t[]> block = opaqueBlock(std::max<size_t>(count, 1));
        if (!block)
            return nullptr;
        try {
            blocks.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        largest = std::max<size_t>(count, 1);
    }
    return blocks.back().get();
}

MaskPlane MaskPlane::opaque(size_t count)
{
    MaskPlane plane;
    plane.opaqueCount_ = count;
    return plane;
}

MaskPlane MaskPlane::unwritten(size_t count)
{
    MaskPlane plane;
    if (count == 0)
        return plane;
    plane.values_.reset(new (std::nothrow) uint16_t[count]);
    if (!plane.values_)
        return plane;
    // The advice must come before the first write of the fresh block.
    adviseLargePages(plane.values_.get(), count * sizeof(uint16_t));
    plane.count_ = count;
    return plane;
}

MaskPlane MaskPlane::rowSpans(int32_t width, int32_t height)
{
    MaskPlane plane;
    plane.spans_ = MaskSpans::create(width, height);
    return plane;
}

bool MaskPlane::storeRow(int32_t row, int32_t width, const uint16_t* values)
{
    if (spans_)
        return spans_->storeRow(row, values);
    if (!values_)
        return false;
    std::memcpy(values_.get() + size_t(row) * size_t(width), values, size_t(width) * sizeof(uint16_t));
    return true;
}

MaskPlane MaskPlane::filled(size_t count, uint8_t fill)
{
    MaskPlane plane = unwritten(count);
    if (plane.values_)
        std::memset(plane.values_.get(), fill, count * sizeof(uint16_t));
    return plane;
}

bool MaskPlane::materialise()
{
    if (spans_) {
        MaskPlane real = unwritten(size());
        if (!real.values_)
            return false;
        spans_->expandAll(real.values_.get());
        *this = std::move(real);
        return true;
    }
    if (!isOpaqueFact())
        return true;
    MaskPlane real = filled(opaqueCount_, 0xFF);
    if (!real.values_)
        return false;
    *this = std::move(real);
    return true;
}

void MaskPlane::collapseIfOpaque()
{
    if (spans_) {
        if (spans_->allOpaque())
            *this = opaque(size());
        return;
    }
    if (!values_)
        return;
    if (std::all_of(values_.get(), values_.get() + count_, [](uint16_t v) { return v == kOpaque; }))
        *this = opaque(count_);
}

MaskPlane MaskPlane::clone() const
{
    if (spans_) {
        MaskPlane copy;
        copy.spans_ = spans_->clone();
        return copy;
    }
    if (!values_)
        return opaque(opaqueCount_);
    MaskPlane copy = unwritten(count_);
    if (copy.values_)
        std::memcpy(copy.values_.get(), values_.get(), count_ * sizeof(uint16_t));
    return copy;
}

MaskedDib MaskedDib::clone() const
{
    MaskedDib copy;
    if (!dib)
        return copy;
    copy.dib = dib->clone();
    if (!copy.dib)
        return MaskedDib {};
    if (maskCount != 0 && mask) {
        copy.mask = mask.clone();
        if (!copy.mask)
            return MaskedDib {};
        copy.maskCount = maskCount;
    }
    copy.owned = true;
    return copy;
}

MaskedDib MaskedDib::share() const
{
    MaskedDib kept;
    if (!dib)
        return kept;
    kept.dib = dib->share();
    if (!kept.dib)
        return MaskedDib {};
    if (mask) {
        kept.mask = mask.clone();
        if (!kept.mask)
            return MaskedDib {};
    }
    kept.maskCount = maskCount;
    kept.owned = true;
    return kept;
}

bool allocateMaskedDib(int32_t height, int32_t width, MaskedDib& target, int bitCount)
{
    target.dib.reset();
    const size_t total = programDibBytes(width, height, bitCount);
    if (total == 0)
        return true;
    const size_t tableEntries = bitCount <= 8 ? (size_t(1) << bitCount) : 0;
    const size_t imageBytes = size_t(rowStride(width, bitCount)) * size_t(height);

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

namespace {
enum class MaskStart { Filled, RowSpans };

bool giveMask(MaskedDib& target, MaskStart start, uint8_t fill)
{
    if (!target.dib)
        return true;
    const uint64_t count = uint64_t(uint32_t(target.dib->width())) * uint64_t(uint32_t(target.dib->height()));
    if (count > UINT32_MAX) {
        target.dib.reset();
        return true;
    }
    // Every byte 0xFF is every value 65535: the fact is enough.
    MaskPlane mask = start == MaskStart::RowSpans
        ? MaskPlane::rowSpans(target.dib->width(), target.dib->height())
        : fill == 0xFF ? MaskPlane::opaque(size_t(count))
                       : MaskPlane::filled(size_t(count), fill);
    if (count != 0 && !mask) {
        target.dib.reset();
        return true;
    }
    target.mask = std::move(mask);
    target.maskCount = uint32_t(count);
    target.owned = true;
    return false;
}
}

bool allocateMask(MaskedDib& target, uint8_t fill) { return giveMask(target, MaskStart::Filled, fill); }

bool allocateSpanMask(MaskedDib& target)
{
    return giveMask(target, MaskStart::RowSpans, 0);
}

bool materialiseMask(MaskedDib& record) { return record.mask.materialise(); }

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
