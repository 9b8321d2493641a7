#pragma once
#include "merge/pixel_path.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;

// Commits a drag of source `number` (1..8): its position moves by (ddx, ddy) view pixels times
// the viewing scale (y upward), positions are normalised, and its scales are multiplied by
// rw/1024 and rh/1024 (whole 1/1024 units, never below 1). A pure move (both ratios 1024) only
// marks the target stale. Otherwise the source is transformed again: on success the target is
// marked stale; on failure every source's position and scale is put back as it was. Returns 0
// or the transformation's failure code; the caller rebuilds the preview with it.
int commitPlacement(MergeWorkspace& workspace, Platform& platform, int32_t ddx, int32_t ddy, int32_t number,
    int32_t rw, int32_t rh, PixelPath path = PixelPath::RowsTwoThreads);

} // namespace tessary
