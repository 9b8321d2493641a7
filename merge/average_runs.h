#pragma once
#include "merge/generate_passes.h"

#include <cstdint>

namespace tessary {

// The Average where it reduces to a fixed weighted mean: over a run of columns of one merge row
// covered by the same sources, all in the middle layer, without fade edge and with a positive
// finite bias weight, every fully opaque pixel is sum(w_i * c_i) / sum(w_i) with the sources'
// bias weights, the same weights for the three channels. The run is computed a channel byte at
// a time over whole rows, in the operator's own double operations and order, so every byte is
// the same; with whole weights adding up to less than 4096 the sums are exact integers and the
// truncated quotient (tolerance included) is an exact integer division, done as a
// multiplication. Both loops are plain enough for the compiler to vectorize.

// The bias weight of each source that may take part in such a run, 0 for the others.
PerPlace<double> averageRunWeights(const MergeSetup& setup);

// Writes `count` pixels at `out` as if every one of the `n` sources were fully opaque there:
// `pixels[k]` is source k's first pixel of the run (sources in slot order) and `weights[k]`
// its bias weight. The caller computes pixels where some source is not fully opaque the general
// way.
void averageRun(const uint8_t* const* pixels, const double* weights, int32_t n, int32_t count, uint8_t* out);

} // namespace tessary
