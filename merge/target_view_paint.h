#pragma once
#include "align/align_view_layout.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessary {

// What the Target view paints besides the target itself, worked out from the client size and
// the workspace. Rectangles are client coordinates, right and bottom exclusive.

// The surround of the target image: a cross-hatch in (71, 128, 207).
inline constexpr Rgb kTargetHatchColour { 71, 128, 207 };
// The empty window: the top 100 pixels and the cells behind its texts.
inline constexpr Rgb kEmptyTargetBackground { 224, 240, 240 };

// The "Load Target" button and the flying tip it opens.
inline constexpr ViewRect kLoadTargetButton { 30, 100, 200, 157 };
inline constexpr ViewPoint kLoadTargetTipPlace { 30, 200 };
inline constexpr const char* kLoadTargetTip
    = "This button above will merge the source images using the default parameters"
      "\nor the parameters set when you last opened the 'Merge Sources' dialog box."
      "\n\nThe button appears when some change has occurred during aligning or to"
      "\none or more of the source images";

// The parts of the client area below and right of the image, which is viewWidth x viewHeight
// drawn at minus the scroll position: below it across the whole width, and right of it down to
// its bottom. A part the image fills is empty (right <= left or bottom <= top).
std::array<ViewRect, 2> targetHatchRects(
    int32_t viewWidth, int32_t viewHeight, ViewPoint scroll, int32_t clientRight, int32_t clientBottom);

// The empty window's background: the top 100 pixels in (224, 240, 240), then 128 bands of
// (bottom - 100) / 128 + 1 pixels, band k in (224 - k, 240 - k, 240 - k).
std::vector<GradientBand> emptyTargetBackground(int32_t clientRight, int32_t clientBottom);

// The empty window's texts, in painting order, each at (x, y) of its top-left corner.
struct PlacedText {
    int32_t x = 0;
    int32_t y = 0;
    std::string text;
    friend bool operator==(const PlacedText&, const PlacedText&) = default;
};
std::vector<PlacedText> emptyTargetTexts(int32_t sourceCount, int32_t previewValid);

} // namespace tessary
