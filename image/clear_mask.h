#pragma once
#include "image/masked_dib.h"

namespace tessary {

// Gives `target.dib` a fresh mask of 0 (transparent) on large pages where the system has them.
// Returns true on failure; then `target.dib` is freed as well, as allocateMask does.
bool allocateClearMask(MaskedDib& target);

} // namespace tessary
