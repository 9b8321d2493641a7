#include "align/align_view_layout.h"

namespace tessary {

int32_t gradientBandHeight(int32_t bottom)
{
    return (bottom - 100) / 128 + 1;
}

std::vector<GradientBand> loadingBackground(int32_t right, int32_t bottom)
{
    std::vector<GradientBand> bands;
    bands.push_back(GradientBand { ViewRect { 0, 0, right, 100 }, kPromptBackground });
    const int32_t h = gradientBandHeight(bottom);
    if (h < 1)
        return bands; // a client area that ends above y = 100: only the top band
    for (int32_t k = 0; int64_t(100) + int64_t(k) * h < bottom; ++k) {
        const int32_t top = 100 + k * h;
        bands.push_back(GradientBand { ViewRect { 0, top, right, top + h },
            Rgb { uint8_t(kPromptBackground.red - k), uint8_t(kPromptBackground.green - k),
                uint8_t(kPromptBackground.blue - k) } });
    }
    return bands;
}

std::array<ViewRect, 4> hatchedSurround(int32_t previewLeft, int32_t previewTop, int32_t previewWidth,
    int32_t previewHeight, int32_t right, int32_t bottom)
{
    const int32_t previewBottom = previewTop + previewHeight;
    return { ViewRect { 0, 0, right, previewTop }, ViewRect { 0, previewTop, previewLeft, previewBottom },
        ViewRect { previewLeft + previewWidth, previewTop, right, previewBottom },
        ViewRect { 0, previewBottom, right, bottom - 30 } };
}

} // namespace tessary
