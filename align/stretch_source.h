#pragma once
#include "align/others_extent.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;

// What the stretch iteration starts from.
struct StretchInput {
    Axis axis = Axis::Horizontal;
    // T: the span of the other sources along the axis.
    int64_t othersSize = 0;
    // e: the selected source's transformed size along the axis.
    int64_t extent = 0;
    // The selected source's rotation in degrees, its image size (width, absolute height) and
    // its scales in 1/1024.
    double rotation = 0.0;
    int32_t width = 0;
    int32_t height = 0;
    double scaleX = 1024.0;
    double scaleY = 1024.0;
};

struct StretchResult {
    // Whole 1/1024 units, never below 1.
    double scaleX = 1024.0;
    double scaleY = 1024.0;
    // The rotated bounding box's size along the axis that the last step predicted.
    int64_t extent = 0;
};

// The scales that make the selected source's rotated bounding box as long as the others' span.
// The rotation is folded into 0..90 degrees (a = r, plus 180 when r < 0; 180 - a when above 90),
// c and s are its cosine and sine (0.017453277777777776 radians per degree). Starting with
// f = 1, exactly 100 steps: f = f·T/e, g = f - 1; horizontally SX = (1 + c·g)·sx0,
// SY = (1 + s·g)·sy0 and e = trunc(|c|·(trunc(SX)·w0/1024) + |s|·(trunc(SY)·h0/1024)) with the
// two quotients integer divisions taken in 64 bits; vertically c and s change places.
//
// Unlike a plain reading of that rule, the steps stop early when e or T is not above 0 (there
// is nothing to divide by or stretch to), and SX and SY are kept finite within 1..INT32_MAX.
StretchResult stretchScales(const StretchInput& in);

// "Horizontal Stretch" / "Vertical Stretch": the selected source takes the scales above and
// moves to the others' lowest position along the axis, as one step named after the command.
// Returns the transformation's result (kTransformNoSource, changing nothing, without a selected
// loaded source and another one).
int stretchSelectedSource(MergeWorkspace& workspace, Platform& platform, Axis axis);

} // namespace tessary
