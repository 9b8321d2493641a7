#pragma once
#include "image/masked_dib.h"
#include "app/setting_range.h"
#include "corrections/correction_session.h"

#include <array>
#include <cstdint>

namespace tessary {

// Gray of one pixel: (trunc(19.2 R) + trunc(37.76 G) + trunc(7.04 B)) div 64, each product a
// double truncated on its own, limited to 0..255 (white gives 254).
int32_t grayOf(uint8_t red, uint8_t green, uint8_t blue);

// "Black and White": the source becomes a 24-bit gray image with its mask kept. The 24-bit copy
// is converted in place and then replaces the image, so running out of memory leaves the source
// as it was. Messages go through `platform`; true when the image was replaced.
bool grayScaleSource(VIrorozIzi& doc, Platform& platform);
// grayScaleSource, handing the image the source had to `replaced` (for the undo step) instead of
// freeing it.
bool convertToGrayScale(VIrorozIzi& doc, Platform& platform, MaskedDib& replaced);
// Converts a 24-bit image to gray in place.
void grayScale24(MaskedDib& image);

// The sliders of "Adjust Brightness & Contrast": each channel's brightness and contrast (the
// masters' too) and the gamma.
inline constexpr SettingRange kToneBrightness { 0, 255, 128 };
inline constexpr SettingRange kToneContrast { 0, 127, 64 };
inline constexpr SettingRange kToneGamma { -255, 255, 0 };

// The values of one channel of the brightness, contrast and gamma correction.
struct ToneChannel {
    int32_t brightness = kToneBrightness.start; // b
    int32_t contrast = kToneContrast.start; // c
};

// y for component x: g = ((((x (x - 255)) >> 8) m) >> 8) + m / 4, s = g + x + b - 255,
// y = ((s K + 2032) >> 4) + b - 128 with K = c c div 256, limited to 0..255. Shifts round toward
// minus infinity, m / 4 truncates toward zero.
int32_t toneOf(int32_t x, const ToneChannel& channel, int32_t gamma);
int32_t gammaTerm(int32_t x, int32_t gamma);

// The 256 outputs of one channel, from toneOf.
using ToneTable = std::array<uint8_t, 256>;
ToneTable toneTable(const ToneChannel& channel, int32_t gamma);

// The correction's seven values: channels in the order red, green, blue, and the shared gamma.
struct ToneValues {
    std::array<ToneChannel, 3> channels {};
    int32_t gamma = kToneGamma.start;
};

// A new 24-bit image from `backup` (24-bit) with every component through its channel's table;
// the mask is copied. OutOfMemory when the image cannot be made.
CorrectionStatus applyTone(
    const MaskedDib& backup, const ToneValues& values, MaskedDib& result, const RowProgress& progress = {});

} // namespace tessary
