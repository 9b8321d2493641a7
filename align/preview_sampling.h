#pragma once
#include "image/masked_dib.h"
#include "merge/pixel_path.h"

#include <cstdint>
#include <span>

namespace tessary {

// One placed source as the preview samples it: its transformed image and its place in the
// layout (left and bottom edge, layout pixels, y upward).
struct PreviewLayer {
    MaskedDib* image = nullptr;
    int32_t posX = 0;
    int32_t posY = 0;
};

// Fills every pixel of `preview` (24 bits, already allocated) from the layers. Preview pixel
// (c, r), r counted from the bottom, samples layout point (trunc(c x s), trunc(r x s)), s the
// float scale; each layer covering that point with a non-zero opacity adds its colour (a layer
// without a mask is opaque). The pixel is the channel-wise mean, truncated; when `pale` it is
// then halved plus 127. An uncovered pixel is black, or mid-grey 127 when pale.
//
// Returns true when some pixel was covered by two or more layers. `Accessor` reads every point
// through the pixel accessors; `Rows` and `RowsTwoThreads` read 24-bit rows directly (any layer
// of another depth sends the whole pass down the accessor path) and give the same bytes.
bool samplePreview(
    MaskedDib& preview, float viewScale, std::span<const PreviewLayer> layers, bool pale, PixelPath path);

} // namespace tessary
