#pragma once
#include "align/align_doc.h"
#include "align/outline_hit_test.h"

#include <cstdint>

namespace tessary {

// A move displacement cut toward zero to a multiple of the snap step (27 with step 10 gives 20,
// -13 gives -10). A step below 1, which only an edited profile can hold, counts as 1.
int32_t snapDisplacement(int32_t d, int32_t snapMove);

// The working outline during a drag that is not a rotation: the document's outline `o` with
// the whole displacement (dx, dy) since the button went down applied for the grabbed zone. A
// move snaps; a side moves along the source's own width or height axis (the rotation in
// degrees, pi as 3.14159); a corner moves with the cursor and takes its two neighbours along
// the axes; any other zone changes nothing.
Outline dragOutline(
    const Outline& o, HitZone zone, double rotation, int32_t dx, int32_t dy, int32_t snapMove);

// The integer midpoint of P0 and P3: the centre a rotation turns about.
ViewPoint rotationCentre(const Outline& o);

// At a button-down on a rotation handle: the cursor's angle about the centre, less the source's
// rotation cut to whole degrees, in radians.
double rotationStartAngle(const Outline& o, double rotation, int32_t x, int32_t y);

struct RotationStep {
    double rotation = 0.0; // whole degrees, -179..180
    Outline outline {}; // the working outline turned to the cursor's angle
};

// A rotation drag step with the cursor at (x, y): the new angle, rounded half up before the
// truncation toward zero (-12.7 gives -12), and the outline of the document's width and height
// turned about its centre in 1/1024 fixed point.
RotationStep rotationDrag(const Outline& o, double startAngle, int32_t x, int32_t y);

// Width and height ratios of a committed drag, in 1/1024: 1024 both for a move; for a resize
// the new over the old side lengths (north side for the width, west side for the height).
struct ResizeRatios {
    int32_t width = 1024;
    int32_t height = 1024;
    friend bool operator==(const ResizeRatios&, const ResizeRatios&) = default;
};
ResizeRatios resizeRatios(const Outline& working, const Outline& document, HitZone zone);

// How far the rotated bounding box moved, in view pixels, y counted upward: measured at the
// corner that is lowest-left for the source's rotation in degrees.
ViewPoint boxDisplacement(const Outline& working, const Outline& document, double rotation);

} // namespace tessary
