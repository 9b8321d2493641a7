#pragma once
#include "align/align_doc.h"
#include "image/masked_dib.h"

#include <cstdint>

namespace tessary {

struct LayoutExtent {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const LayoutExtent&, const LayoutExtent&) = default;
};

// The size of the future target: the largest `posX` + transformed width and the largest `posY`
// + transformed height over places 0..sourceCount-1, both starting from 0. A place without a
// transformed image counts as 0 x 0 at its position. The sums are taken in 64 bits and capped
// at INT32_MAX, so absurd positions cannot wrap into a small size.
LayoutExtent layoutExtent(
    const CAlignDoc& alignDoc, const PerPlace<MaskedDib>& transformed, int32_t sourceCount);
// The same from the places' transformed sizes.
LayoutExtent layoutExtent(
    const CAlignDoc& alignDoc, const PerPlace<LayoutExtent>& sizes, int32_t sourceCount);

} // namespace tessary
