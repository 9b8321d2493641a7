#pragma once
#include "image/packed_dib.h"

#include <cstdint>
#include <memory>

namespace tessary {

constexpr uint16_t kOpaque = 65535;
constexpr uint16_t kTransparent = 0;

// The image record passed wherever an image is held: the pixels and one opacity value per
// pixel (65535 opaque, 0 transparent), indexed row * width + x in stored-row order.
// Move-only; `clone` makes a deep copy.
struct MaskedDib {
    std::unique_ptr<PackedDib> dib;
    std::unique_ptr<uint16_t[]> mask;
    bool owned = false;
    uint32_t maskCount = 0;

    MaskedDib() = default;
    MaskedDib(MaskedDib&&) noexcept = default;
    MaskedDib& operator=(MaskedDib&&) noexcept = default;
    MaskedDib(const MaskedDib&) = delete;
    MaskedDib& operator=(const MaskedDib&) = delete;

    bool empty() const { return !dib; }
    int32_t width() const { return dib ? dib->width() : 0; }
    int32_t height() const { return dib ? dib->height() : 0; }
    uint16_t* maskRow(int32_t storedRow) { return mask.get() + size_t(storedRow) * size_t(width()); }
    const uint16_t* maskRow(int32_t storedRow) const
    {
        return mask.get() + size_t(storedRow) * size_t(width());
    }
    // A deep copy of pixels and mask; an empty record when memory runs out.
    MaskedDib clone() const;
};

// Builds a zero-filled image of the given size and depth (1, 4, 8 or 24 bits; the colour table
// is left black) with a fully opaque mask. Returns true on failure (size above the limits,
// negative, or out of memory); then `target.dib` is none and nothing stays allocated.
bool allocateMaskedDib(int32_t height, int32_t width, MaskedDib& target, int bitCount);

// Gives `target.dib` a fresh mask whose every byte is `fill` (0xFF: all 65535, 0: all 0).
// Returns true on failure; then `target.dib` is freed as well.
bool allocateMask(MaskedDib& target, uint8_t fill);

void releaseMaskedDib(MaskedDib& record);
void releaseMask(MaskedDib& record);

} // namespace tessary
