#pragma once
#include "align/others_extent.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;

// Where a source of `size` lies centred on the span low..high: (low + high - size) / 2,
// truncated toward zero (taken in 64 bits and saturated to int32).
int32_t centredPosition(int64_t low, int64_t high, int32_t size);

// "Center Horizontally" / "Center Vertically": the selected source is moved to the middle of
// the other sources' span along `axis`, as one step named after the command (nothing is
// transformed). Does nothing without a selected loaded source and another one.
void centreSelectedSource(MergeWorkspace& workspace, Platform& platform, Axis axis);

} // namespace tessary
