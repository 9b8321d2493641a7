#pragma once
#include "image/packed_dib.h"
#include "output/print_geometry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessary {

// A 24-bit picture scaled into a rectangle by nearest pixel, made a band of rows at a time:
// destination pixel (x, y) shows picture column (x - left) * W / width and display row
// (y - top) * H / height (rows and columns dropped or repeated, never blended). Only the part
// of the rectangle inside `clip` is made, so a page never needs a copy of its whole size, and a
// rectangle reaching past the page costs nothing for the part outside.
class ScaledBands {
public:
    ScaledBands(const PackedDib& picture, const PageRect& target, const PageRect& clip);

    // False when there is nothing to draw (empty rectangle or picture, nothing inside the clip,
    // a picture that is not 24-bit) or the column table could not be allocated.
    bool ok() const { return ok_; }
    // True only when there was something to draw but no memory for the column table.
    bool failed() const { return failed_; }
    // The part of the rectangle that is drawn.
    const PageRect& visible() const { return visible_; }

    // How many rows a band holds so that one band stays within `budgetBytes` (at least one).
    int32_t bandRows(size_t budgetBytes) const;

    // Destination rows first .. first + rows - 1 (absolute, inside visible()) as RGB bytes
    // (red, green, blue), visible().width() pixels per row, rows `outStride` bytes apart.
    void fillBand(int64_t first, int32_t rows, uint8_t* out, size_t outStride) const;

private:
    const PackedDib& picture_;
    PageRect target_;
    PageRect visible_;
    // Byte offset in a stored row of the picture column each visible column shows.
    std::vector<uint32_t> columnBytes_;
    bool ok_ = false;
    bool failed_ = false;
};

inline constexpr size_t kPrintBandBytes = size_t(4) << 20;

} // namespace tessary
