#include "align/preview_layout.h"

#include "align/rotate_half_extents.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessary {

namespace {
int32_t clampToInt32(int64_t v)
{
    return int32_t(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
}

float previewViewScale(int32_t layoutWidth, int32_t layoutHeight, int32_t viewWidth, int32_t viewHeight)
{
    const float sv = float(layoutHeight) * 1.667f / float(viewHeight);
    const float sh = float(layoutWidth) * 1.667f / float(viewWidth);
    float scale = sv > sh ? sv : sh;
    if (scale > 1.0f)
        scale = std::trunc(scale * 10.0f) / 10.0f;
    return scale;
}

PreviewGeometry previewGeometry(
    int32_t layoutWidth, int32_t layoutHeight, int32_t viewWidth, int32_t viewHeight)
{
    PreviewGeometry g;
    g.viewScale = previewViewScale(layoutWidth, layoutHeight, viewWidth, viewHeight);
    // Only a layout without a positive side anywhere (positions not normalised) gets here with
    // no positive scale; dividing by it would give nonsense sizes.
    if (!(g.viewScale > 0.0f) || !std::isfinite(g.viewScale))
        g.viewScale = 1.0f;
    g.previewWidth = truncToInt32(float(layoutWidth) / g.viewScale);
    g.previewHeight = truncToInt32(float(layoutHeight) / g.viewScale);
    if (g.previewWidth < 0)
        g.previewWidth = 0;
    if (g.previewHeight < 0)
        g.previewHeight = 0;
    g.previewLeft = int32_t((int64_t(viewWidth) - g.previewWidth) / 2);
    g.previewTop = int32_t((int64_t(viewHeight) - g.previewHeight) / 3);
    return g;
}

SourceOutline sourceOutline(const OutlineInput& in, const PreviewGeometry& g)
{
    const float s = g.viewScale;
    SourceOutline o;
    o.screenWidth = truncToInt32(double(in.imageWidth) * in.scaleX * (1.0 / 1024) / double(s));
    o.screenHeight = truncToInt32(double(in.imageHeight) * in.scaleY * (1.0 / 1024) / double(s));
    const int64_t cx
        = int64_t(truncToInt32(float(in.posX) / s + float(in.transformedWidth) / (2.0f * s))) + g.previewLeft;
    const int64_t cy = int64_t(g.previewTop) + g.previewHeight
        + truncToInt32(float(in.transformedHeight) / (2.0f * s)) - truncToInt32(float(in.posY) / s)
        - truncToInt32(float(in.transformedHeight) / s);
    o.centre = ViewPoint { clampToInt32(cx), clampToInt32(cy) };
    const int32_t S = o.screenWidth, U = o.screenHeight;
    const ViewPoint offsets[4] = {
        rotateHalfExtents(-U, -S, in.rotation),
        rotateHalfExtents(-U, S, in.rotation),
        rotateHalfExtents(U, -S, in.rotation),
        rotateHalfExtents(U, S, in.rotation),
    };
    for (size_t k = 0; k < 4; ++k)
        o.corners[k] = ViewPoint { clampToInt32(cx + offsets[k].x), clampToInt32(cy + offsets[k].y) };
    return o;
}

} // namespace tessary
