#include "image/mask_spans.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tessary {

void MaskSpanRow::expand(int32_t from, int32_t to, uint16_t* values) const
{
    // The five runs of the row, each clipped to [from, to).
    const auto run = [&](int32_t a, int32_t b, auto&& write) {
        a = std::max(a, from);
        b = std::min(b, to);
        if (a < b)
            write(a, b);
    };
    const auto fill = [values](uint16_t v) {
        return [values, v](int32_t a, int32_t b) { std::fill(values + a, values + b, v); };
    };
    const auto copy = [this, values](int32_t start, size_t offset) {
        return [this, values, start, offset](int32_t a, int32_t b) {
            std::memcpy(
                values + a, edges.get() + offset + size_t(a - start), size_t(b - a) * sizeof(uint16_t));
        };
    };
    run(from, x0, fill(0));
    run(x0, x1, copy(x0, 0));
    run(x1, x2, fill(65535));
    run(x2, x3, copy(x2, size_t(x1 - x0)));
    run(x3, to, fill(0));
}

bool MaskSpanRow::store(const uint16_t* values, int32_t width)
{
    int32_t first = 0, end = width;
    while (first < end && values[first] == 0)
        ++first;
    while (end > first && values[end - 1] == 0)
        --end;
    // The longest run of 65535s inside [first, end); none leaves every value an edge value.
    int32_t runBegin = end, runEnd = end;
    for (int32_t x = first; x < end;) {
        if (values[x] != 65535) {
            ++x;
            continue;
        }
        const int32_t start = x;
        while (x < end && values[x] == 65535)
            ++x;
        if (x - start > runEnd - runBegin) {
            runBegin = start;
            runEnd = x;
        }
    }
    const size_t count = size_t(runBegin - first) + size_t(end - runEnd);
    std::unique_ptr<uint16_t[]> kept;
    if (count != 0) {
        kept.reset(new (std::nothrow) uint16_t[count]);
        if (!kept)
            return false;
        std::copy(values + first, values + runBegin, kept.get());
        std::copy(values + runEnd, values + end, kept.get() + (runBegin - first));
    }
    x0 = first;
    x1 = runBegin;
    x2 = runEnd;
    x3 = end;
    edges = std::move(kept);
    return true;
}

std::unique_ptr<MaskSpans> MaskSpans::create(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    std::unique_ptr<MaskSpans> spans(new (std::nothrow) MaskSpans);
    if (!spans)
        return nullptr;
    spans->rows_.reset(new (std::nothrow) MaskSpanRow[size_t(height)]);
    if (!spans->rows_)
        return nullptr;
    spans->width_ = width;
    spans->height_ = height;
    return spans;
}

bool MaskSpans::allOpaque() const
{
    // A row of 65535s only is one run from 0 to the width.
    for (int32_t r = 0; r < height_; ++r) {
        const MaskSpanRow& s = rows_[size_t(r)];
        if (s.x0 != 0 || s.x1 != 0 || s.x2 != width_ || s.x3 != width_)
            return false;
    }
    return true;
}

void MaskSpans::expandAll(uint16_t* values) const
{
    for (int32_t r = 0; r < height_; ++r)
        rows_[size_t(r)].expand(0, width_, values + size_t(r) * size_t(width_));
}

std::unique_ptr<MaskSpans> MaskSpans::clone() const
{
    std::unique_ptr<MaskSpans> copy = create(width_, height_);
    if (!copy)
        return nullptr;
    for (int32_t r = 0; r < height_; ++r) {
        const MaskSpanRow& from = rows_[size_t(r)];
        MaskSpanRow& to = copy->rows_[size_t(r)];
        const size_t count = size_t(from.x1 - from.x0) + size_t(from.x3 - from.x2);
        if (count != 0) {
            to.edges.reset(new (std::nothrow) uint16_t[count]);
            if (!to.edges)
                return nullptr;
            std::copy(from.edges.get(), from.edges.get() + count, to.edges.get());
        }
        to.x0 = from.x0;
        to.x1 = from.x1;
        to.x2 = from.x2;
        to.x3 = from.x3;
    }
    return copy;
}

const uint16_t* MaskSpans::whole() const
{
    std::lock_guard<std::mutex> lock(wholeGuard_);
    if (!whole_) {
        whole_.reset(new (std::nothrow) uint16_t[size_t(width_) * size_t(height_)]);
        if (whole_)
            expandAll(whole_.get());
    }
    return whole_.get();
}

} // namespace tessary
