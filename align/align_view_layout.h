#pragma once
#include "align/outline_hit_test.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tessary {

// The rectangles and colours the Align view paints, worked out from the client size. B is the
// client area's bottom and R its right edge. Colours are (red, green, blue).
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The loading screens: a band from the top to y = 100 in (192, 208, 240), then a gradient down
// to B in bands of (B - 100) / 128 + 1 pixels, band k in (192 - k, 208 - k, 240 - k), while a
// band's top is above B.
struct GradientBand {
    ViewRect rect;
    Rgb colour;
};
inline constexpr Rgb kPromptBackground { 192, 208, 240 };
int32_t gradientBandHeight(int32_t bottom);
std::vector<GradientBand> loadingBackground(int32_t right, int32_t bottom);

// The four cross-hatched rectangles around the preview (above, left, right, below down to
// B - 30), in (112, 128, 79).
inline constexpr Rgb kHatchColour { 112, 128, 79 };
std::array<ViewRect, 4> hatchedSurround(int32_t previewLeft, int32_t previewTop, int32_t previewWidth,
    int32_t previewHeight, int32_t right, int32_t bottom);

// The information strip: the wide part and the selected-source box.
inline constexpr Rgb kStripColour { 255, 223, 207 };
inline constexpr Rgb kSelectedBoxColour { 255, 204, 136 };
inline constexpr Rgb kTooSmallTextColour { 255, 128, 128 };
inline constexpr Rgb kTooSmallWindowColour { 255, 64, 64 };
inline constexpr Rgb kTipLineColour { 255, 255, 64 };
inline constexpr Rgb kFailureBackground { 224, 160, 160 };
inline constexpr Rgb kHandleLit { 0, 255, 0 };
inline constexpr Rgb kHandleUnlit { 207, 223, 255 };
inline ViewRect stripRect(int32_t right, int32_t bottom)
{
    return ViewRect { 180, bottom - 30, right, bottom };
}
inline ViewRect selectedBoxRect(int32_t bottom)
{
    return ViewRect { 0, bottom - 50, 180, bottom };
}

// The handle circle around a centre: 10 pixels across.
inline ViewRect handleBox(ViewPoint c)
{
    return ViewRect { c.x - 5, c.y - 5, c.x + 5, c.y + 5 };
}

// The Align Window's frame is too small below 600 x 400.
inline bool alignWindowTooSmall(int32_t frameWidth, int32_t frameHeight)
{
    return frameWidth < 600 || frameHeight < 400;
}

// The child buttons: first places, and the places of the load buttons once two sources are in.
inline constexpr ViewRect kLoadImageButton { 100, 90, 180, 138 };
inline constexpr ViewRect kNewTextButton { 200, 90, 280, 138 };
inline constexpr ViewRect kLoadImageButtonMoved { 10, 10, 90, 58 };
inline constexpr ViewRect kNewTextButtonMoved { 100, 10, 180, 58 };
inline constexpr ViewRect kPreviousTipButton { 1030, 160, 1054, 176 };
inline constexpr ViewRect kNextTipButton { 1060, 160, 1084, 176 };
inline constexpr ViewRect kTipPageBox { 1030, 190, 1084, 206 };

} // namespace tessary
