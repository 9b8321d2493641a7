#pragma once
#include "image/colour.h"

namespace tessary {

// Colours of the status bar's progress pane: one per phase, grey when a phase ends.
constexpr ColourRef kProgressTransform = makeColourRef(255, 0, 0);
constexpr ColourRef kProgressMerging = makeColourRef(255, 255, 0);
constexpr ColourRef kProgressPreparing = makeColourRef(0, 255, 0);
constexpr ColourRef kProgressDone = makeColourRef(128, 128, 128);

// The status pane texts of the long operations.
inline constexpr const char* kPressEscText = "Press Esc to quit.";
inline constexpr const char* kNotEnoughMemoryText = "Not enough memory to process the source image.";

} // namespace tessary
