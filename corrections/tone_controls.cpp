#include "corrections/tone_controls.h"

namespace tessary {

void ToneControls::propagate()
{
    if (masterBrightness != lastMasterBrightness) {
        for (ToneChannel& c : values.channels)
            c.brightness = masterBrightness;
        lastMasterBrightness = masterBrightness;
    }
    if (masterContrast != lastMasterContrast) {
        for (ToneChannel& c : values.channels)
            c.contrast = masterContrast;
        lastMasterContrast = masterContrast;
    }
}

void ToneControls::reset()
{
    *this = ToneControls {};
}

} // namespace tessary
