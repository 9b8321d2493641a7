#pragma once
#include "corrections/tone.h"

#include <cstdint>

namespace tessary {

// The controls of "Adjust Brightness & Contrast": a master brightness and contrast, a brightness
// and a contrast per channel (red, green, blue), and the gamma. A master value is copied to the
// three channels when it differs from the value it last propagated, so moving a master control
// sets all channels while a channel moved on its own keeps its value.
struct ToneControls {
    int32_t masterBrightness = kToneBrightness.start;
    int32_t masterContrast = kToneContrast.start;
    ToneValues values {};
    // What the masters last propagated: the masters' own start values, so the first move of a
    // channel does not undo a channel changed before.
    int32_t lastMasterBrightness = kToneBrightness.start;
    int32_t lastMasterContrast = kToneContrast.start;

    void propagate();
    // Every control and the propagated values back to their start values.
    void reset();
};

} // namespace tessary
