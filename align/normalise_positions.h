#pragma once
#include "align/align_doc.h"

#include <cstdint>

namespace tessary {

// Shifts the loaded sources' positions so that the smallest `posX` and the smallest `posY` over
// places 0..sourceCount-1 are both 0, wherever they lie (the search for each minimum starts
// from the largest int32). Nothing happens when no source is loaded.
void normalisePositions(CAlignDoc& alignDoc, int32_t sourceCount);
void normalisePositions(PerPlace<Placement>& placements, int32_t sourceCount);

} // namespace tessary
