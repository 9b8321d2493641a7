#pragma once
#include "image/packed_dib.h"
#include "merge/target_zone.h"

#include <memory>

namespace tessary {

class MergeWorkspace;
class Platform;

// The picture a save or print works on, as a new 24-bit image: the selected zone when
// `zoneSelected` is 1 (its corners converted from view pixels to target pixels), otherwise the
// whole target. None when there is no target image, or when memory runs out, after showing
// "Tessary has run out of memory.".
std::unique_ptr<PackedDib> extractTargetImage(const MergeWorkspace& workspace, Platform& platform);

// The rectangle `rect` of the 24-bit `target` (top counted from the top of the picture) as a new
// 24-bit image. Parts of the rectangle outside the target stay black. None, after the memory
// message, when the image cannot be made.
std::unique_ptr<PackedDib> extractTargetRect(
    const PackedDib& target, const ImageRect& rect, Platform& platform);

} // namespace tessary
