#pragma once
#include "align/align_doc.h"

#include <cstdint>

namespace tessary {

// Shifts the loaded sources' positions so that the smallest `posX` and the smallest `posY` over
// places 0..sourceCount-1 are both 0. The search for each minimum starts from 65535, so
// positions that are all above 65535 are only moved down by 65535. Nothing happens when no
// source is loaded.
void normalisePositions(CAlignDoc& alignDoc, int32_t sourceCount);

} // namespace tessary
