#pragma once
#include "image/masked_dib.h"

namespace tessary {

// Gives `target.dib` a fresh mask on large pages where the system has them: all 0 (transparent)
// when `clear`, otherwise left unwritten for a pass that writes every value itself (the pages
// are then first touched by that pass, on its threads). Returns true on failure; then
// `target.dib` is freed as well, as allocateMask does.
bool allocateClearMask(MaskedDib& target, bool clear = true);

} // namespace tessary
