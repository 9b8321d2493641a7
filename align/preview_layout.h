#pragma once
#include "align/align_doc.h"

#include <cstdint>

namespace tessary {

// Where the align preview goes in the view. The arithmetic is single precision, as the scale
// is kept: products and quotients of an integer and the scale are float operations.
struct PreviewGeometry {
    float viewScale = 1.0f;
    int32_t previewWidth = 0;
    int32_t previewHeight = 0;
    int32_t previewLeft = 0;
    int32_t previewTop = 0;
};

// The viewing scale (layout pixels per preview pixel) that lets a layout take at most about 60 %
// of the view's width or height: the larger of layout x 1.667 / view over both directions; a
// scale above 1 is cut to one decimal (2.37 -> 2.3), a smaller one (magnified) stays as it is.
// The view sides must be at least 1.
float previewViewScale(int32_t layoutWidth, int32_t layoutHeight, int32_t viewWidth, int32_t viewHeight);

// The scale and the preview's size and place: centred across, one third of the free height
// above it. A layout with no extent at all (no positive scale) is shown at scale 1.
PreviewGeometry previewGeometry(
    int32_t layoutWidth, int32_t layoutHeight, int32_t viewWidth, int32_t viewHeight);

// What the outline of one source needs.
struct OutlineInput {
    int32_t imageWidth = 0; // the source image's own size
    int32_t imageHeight = 0; // absolute
    double scaleX = 1024.0;
    double scaleY = 1024.0;
    double rotation = 0.0;
    int32_t posX = 0;
    int32_t posY = 0;
    int32_t transformedWidth = 0;
    int32_t transformedHeight = 0;
};

struct SourceOutline {
    Outline corners {};
    ViewPoint centre {};
    // The unrotated size on screen.
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
};

// The source's corners in view coordinates: the unrotated screen size S x U from the image size
// and scales, the centre of the transformed image on screen (the layout's y axis points up,
// the view's down), and the four corners turned about it by rotateHalfExtents.
SourceOutline sourceOutline(const OutlineInput& in, const PreviewGeometry& g);

// A text source is too small to read on screen below 25 x 15 pixels.
inline bool textTooSmall(const SourceOutline& o)
{
    return o.screenWidth < 25 || o.screenHeight < 15;
}

} // namespace tessary
