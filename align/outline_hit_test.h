#pragma once
#include "align/align_doc.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tessary {

// What the cursor is over on the selected source's outline (`hitZone`).
enum HitZone : int32_t {
    kHitRotateP1 = 0, // rotation handles: at P1 (offset angle 135)
    kHitRotateP3 = 1, // at P3 (225)
    kHitRotateP2 = 2, // at P2 (315)
    kHitRotateP0 = 3, // at P0 (45)
    kHitNorth = 4,
    kHitNorthEast = 5,
    kHitEast = 6,
    kHitSouthEast = 7,
    kHitSouth = 8,
    kHitSouthWest = 9,
    kHitWest = 10,
    kHitNorthWest = 11,
    kHitInside = 12,
    kHitNothing = 13,
    kHitQuickAlign = 14, // written by the quick-align buttons
};

struct ViewRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

// The integer mean of two corners, each coordinate truncated toward zero.
ViewPoint sideMidpoint(ViewPoint a, ViewPoint b);

// The eight sizing handles in painting order: P0, P1, P3, P2, then the midpoints of the north,
// east, south and west sides.
std::array<ViewPoint, 8> sizingHandles(const Outline& o);

// A rotation handle sits 20 pixels out from its corner, along the angle rotation + offset
// degrees (pi as 3.14159): P0 at offset 45, P1 at 135, P3 at 225, P2 at 315.
struct RotationHandle {
    int32_t corner = 0; // index into the outline
    double offset = 0.0;
    HitZone zone = kHitNothing;
};
inline constexpr RotationHandle kRotationHandles[4] = {
    { 0, 45.0, kHitRotateP0 },
    { 1, 135.0, kHitRotateP1 },
    { 3, 225.0, kHitRotateP3 },
    { 2, 315.0, kHitRotateP2 },
};

// The handle's centre as painted, and as the hit test compares it: corner - (trunc(20 cos a),
// trunc(20 sin a)).
ViewPoint paintedRotationHandleCentre(ViewPoint corner, double rotation, double offset);

// Whether (x, y) lies strictly on the inner side of all four side lines of the outline of a
// source rotated by `rotation` degrees. A point on a side line is outside.
bool insideOutline(const Outline& o, double rotation, int32_t x, int32_t y);

// The result of one hit test.
struct HitResult {
    HitZone zone = kHitNothing;
    // The flying tip that names the handle, with its rectangle; none for the inside and for
    // nothing.
    std::optional<std::string> tipText;
    ViewRect tipRect {};
    bool rotationHandle() const { return zone <= kHitRotateP0; }
};

// The hit test of the cursor (x, y) against the selected source's outline, first match wins:
// corners, side midpoints (within 5 pixels each way), the inside, the rotation handles.
HitResult hitTest(const Outline& o, double rotation, int32_t x, int32_t y);

// The status-bar text while hovering: "source N move", "source N resize width", "source N resize
// height", "source N resize" or "source N rotate"; empty over nothing.
std::string hoverStatusText(int32_t selectedSource, HitZone zone);

// Whether a hover over `zone` lights the handles (any handle, not the inside or nothing).
inline bool zoneLightsHandles(HitZone zone)
{
    return zone >= kHitRotateP1 && zone <= kHitNorthWest;
}

// The tip line at the top of the view: a click there shows the next tip.
inline bool onTipLine(int32_t x, int32_t y)
{
    return x >= 301 && x <= 599 && y >= 5 && y <= 19;
}

} // namespace tessary
