#pragma once
#include "align/align_doc.h"
#include "align/outline_hit_test.h"

#include <cstdint>
#include <string>

namespace tessary {

// The arithmetic of the Target view's zone: view pixels are target pixels scaled by the viewing
// percentage, zone corners lie on the snap grid, and a zone must be at least 64 target pixels
// each way. All coordinates here are view coordinates (scroll position included) unless a name
// says otherwise; y grows downward.

inline constexpr int32_t kMinZoneSide = 64;

// (v / grid) * grid, truncating toward zero. A grid below 1 counts as 1.
int32_t snapCoordinate(int32_t v, int32_t grid);

// A view coordinate as a target pixel: v * 100 / percent, truncating. A percentage below 1
// counts as 100 (the viewing size is always one of 100, 50, 25 and 10).
int32_t viewToImage(int64_t v, int32_t percent);

// A pointer position made into a zone corner: snapped to the grid, a coordinate at or past the
// view's size replaced by the snapped size, a negative one raised to 0.
ViewPoint limitZonePoint(ViewPoint p, int32_t viewWidth, int32_t viewHeight, int32_t grid);

// The size in target pixels of the zone between two view points.
struct ZoneSize {
    int32_t width = 0;
    int32_t height = 0;
    bool tooSmall() const { return width < kMinZoneSide || height < kMinZoneSide; }
};
ZoneSize zoneSize(ViewPoint a, ViewPoint b, int32_t viewPercentX, int32_t viewPercentY);

// The coordinates pop-up during a drag: "Zone too small", or "Zone size X,Y = 160 ,220".
std::string zonePopupText(ZoneSize size);

// Status pane 2 while the pointer moves over the view without a drag: "x = 1 y = 150", both
// counted from 1 in target pixels, y from the bottom of the picture.
std::string pointerPositionText(
    ViewPoint p, int32_t viewHeight, int32_t grid, int32_t viewPercentX, int32_t viewPercentY);

// The end of a zone drag released at `p`.
struct ZoneRelease {
    ViewPoint anchor;
    ViewPoint corner;
    int32_t zoneSelected = 0;
};
// The corner is `p` limited as during the drag, then lowered to the image's width and height;
// a zone under 64 target pixels either way collapses onto the corner and is not selected.
ZoneRelease releaseZone(ViewPoint anchor, ViewPoint p, int32_t viewWidth, int32_t viewHeight, int32_t grid,
    int32_t imageWidth, int32_t imageHeight, int32_t viewPercentX, int32_t viewPercentY);

// Where the zone's save and print buttons go, from the release point in client coordinates
// (without the scroll position) and the client area's right and bottom edges: right of and
// below the point, moved left of it when they would pass the right edge and above it when they
// would pass the bottom edge.
struct ZoneButtonPlaces {
    ViewRect save;
    ViewRect print;
};
ZoneButtonPlaces zoneButtonPlaces(ViewPoint release, int32_t clientRight, int32_t clientBottom);

// The zone as target pixels: left column, top row counted from the top of the picture, and
// size, each corner converted on its own.
struct ImageRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const ImageRect&, const ImageRect&) = default;
};
ImageRect zoneImageRect(ViewPoint anchor, ViewPoint corner, int32_t viewPercentX, int32_t viewPercentY);

// One tick of the drag's automatic scrolling. When the dragged corner is past an edge of the
// client area and there is more view that way, the view scrolls to bring the corner to that
// edge and the corner runs on by the distance it was outside. `scroll` is the wanted scroll
// position (the caller's scroll bars keep it within their range).
struct AutoScroll {
    ViewPoint scroll;
    ViewPoint dragPoint;
    bool scrolled = false;
};
AutoScroll autoScrollStep(ViewPoint scroll, int32_t clientWidth, int32_t clientHeight, int32_t viewWidth,
    int32_t viewHeight, ViewPoint dragPoint);

} // namespace tessary
