#pragma once
#include <cstdint>

namespace tessary {

class MergeWorkspace;

// Along which axis a centre or stretch command works: horizontally on `posX` and transformed
// widths, vertically on `posY` and transformed heights.
enum class Axis { Horizontal, Vertical };

// Where the loaded sources other than `selected` lie along `axis`: `low` is the smallest
// position, `high` the largest position + transformed size (a source without a transformed
// image counts as size 0). The search for `low` starts from the largest int32, so it is found
// wherever the others lie; `high` starts from 0. `any` is false when there is no other source.
struct OthersExtent {
    int64_t low = 0;
    int64_t high = 0;
    bool any = false;
    int64_t size() const { return high - low; }
};
OthersExtent othersExtent(const MergeWorkspace& workspace, int32_t selected, Axis axis);

// The selected source's transformed size along `axis` (0 without a transformed image).
int32_t transformedSize(const MergeWorkspace& workspace, int32_t number, Axis axis);

} // namespace tessary
