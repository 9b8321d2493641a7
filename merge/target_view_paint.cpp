#include "merge/target_view_paint.h"

namespace tessary {

std::array<ViewRect, 2> targetHatchRects(
    int32_t viewWidth, int32_t viewHeight, ViewPoint scroll, int32_t clientRight, int32_t clientBottom)
{
    const int32_t imageRight = viewWidth - scroll.x;
    const int32_t imageBottom = viewHeight - scroll.y;
    return { ViewRect { 0, imageBottom, clientRight, clientBottom },
        ViewRect { imageRight, 0, clientRight, imageBottom } };
}

std::vector<GradientBand> emptyTargetBackground(int32_t clientRight, int32_t clientBottom)
{
    std::vector<GradientBand> bands;
    bands.push_back(GradientBand { ViewRect { 0, 0, clientRight, 100 }, kEmptyTargetBackground });
    const int32_t h = (clientBottom - 100) / 128 + 1;
    for (int32_t k = 0; k < 128; ++k) {
        const int32_t top = 100 + k * h;
        bands.push_back(GradientBand { ViewRect { 0, top, clientRight, top + h },
            Rgb { uint8_t(kEmptyTargetBackground.red - k), uint8_t(kEmptyTargetBackground.green - k),
                uint8_t(kEmptyTargetBackground.blue - k) } });
    }
    return bands;
}

std::vector<PlacedText> emptyTargetTexts(int32_t sourceCount, int32_t previewValid)
{
    std::vector<PlacedText> texts { { 30, 20, "This target window is empty !" } };
    if (sourceCount < 2) {
        texts.push_back({ 30, 50, "Please switch to the Align Window and load at least two source images." });
    } else if (previewValid != 0) {
        texts.push_back({ 30, 50, "Please select an item from the Target menu and apply it." });
        texts.push_back({ 30, 70, "Alternatively press the button below and load the Target from defaults" });
    } else {
        texts.push_back({ 30, 20, "This target window is empty because the align view is not valid." });
    }
    return texts;
}

} // namespace tessary
