#include "align/outline_hit_test.h"

#include "align/rotate_half_extents.h"

#include <cmath>
#include <limits>

namespace tessary {

ViewPoint sideMidpoint(ViewPoint a, ViewPoint b)
{
    return ViewPoint { int32_t((int64_t(a.x) + b.x) / 2), int32_t((int64_t(a.y) + b.y) / 2) };
}

std::array<ViewPoint, 8> sizingHandles(const Outline& o)
{
    return { o[0], o[1], o[3], o[2], sideMidpoint(o[0], o[1]), sideMidpoint(o[1], o[3]),
        sideMidpoint(o[2], o[3]), sideMidpoint(o[0], o[2]) };
}

ViewPoint paintedRotationHandleCentre(ViewPoint corner, double rotation, double offset)
{
    const double a = alignRadians(rotation + offset);
    return ViewPoint { corner.x - int32_t(20.0 * std::cos(a)), corner.y - int32_t(20.0 * std::sin(a)) };
}

namespace {
// The y of the line through a and b at x. A vertical side gives an infinity of the
// numerator's sign; the cursor on a vertical side (numerator 0) gives NaN, which no
// comparison passes, so the point is outside.
double lineY(ViewPoint a, ViewPoint b, int32_t x)
{
    const double numerator = double(x) * (double(b.y) - a.y) + double(a.y) * b.x - double(b.y) * a.x;
    const double denominator = double(b.x) - a.x;
    if (denominator == 0.0) {
        if (numerator > 0.0)
            return std::numeric_limits<double>::infinity();
        if (numerator < 0.0)
            return -std::numeric_limits<double>::infinity();
        return std::numeric_limits<double>::quiet_NaN();
    }
    return numerator / denominator;
}

bool near(ViewPoint q, int32_t x, int32_t y)
{
    return std::abs(int64_t(x) - q.x) < 6 && std::abs(int64_t(y) - q.y) < 6;
}

ViewRect rect(int32_t x, int32_t y, int32_t l, int32_t t, int32_t r, int32_t b)
{
    return ViewRect { x + l, y + t, x + r, y + b };
}
}

bool insideOutline(const Outline& o, double rotation, int32_t x, int32_t y)
{
    const double t = rotation;
    const double cy = double(y);
    const double north = lineY(o[0], o[1], x);
    const double south = lineY(o[2], o[3], x);
    const double west = lineY(o[0], o[2], x);
    const double east = lineY(o[1], o[3], x);
    const bool upright = t >= -90.0 && t <= 90.0;
    const bool overturned = t > 90.0 || t < -90.0;
    const bool leftTurned = t >= -179.0 && t <= 0.0;
    const bool rightTurned = t > 0.0;
    const bool northInner = (cy > north && upright) || (cy < north && overturned);
    const bool southInner = (cy < south && upright) || (cy > south && overturned);
    const bool westInner = (cy < west && leftTurned) || (cy > west && rightTurned);
    const bool eastInner = (cy < east && rightTurned) || (cy > east && leftTurned);
    return northInner && southInner && westInner && eastInner;
}

HitResult hitTest(const Outline& o, double rotation, int32_t x, int32_t y)
{
    struct Handle {
        ViewPoint at;
        HitZone zone;
        const char* tip;
        int32_t l, t, r, b;
    };
    const Handle handles[8] = {
        { o[0], kHitNorthWest, "Drag north & west edges of this source.", 10, 10, 200, 24 },
        { o[1], kHitNorthEast, "Drag north & east edges of this source.", -200, 10, 0, 24 },
        { o[2], kHitSouthWest, "Drag south and west edges of this source.", -100, -30, 100, -14 },
        { o[3], kHitSouthEast, "Drag south and east edges of this source.", -200, -30, 0, -14 },
        { sideMidpoint(o[0], o[2]), kHitWest, "Drag west edge of this selected source.", 10, -20, 210, -4 },
        { sideMidpoint(o[1], o[3]), kHitEast, "Drag east edge of this selected source.", -200, -40, 0, -24 },
        { sideMidpoint(o[0], o[1]), kHitNorth, "Drag north edge of this selected source.", 10, 20, 210, 36 },
        { sideMidpoint(o[2], o[3]), kHitSouth, "Drag south edge of this selected source.", 20, 10, 220, 26 },
    };
    HitResult result;
    for (const Handle& h : handles) {
        if (near(h.at, x, y)) {
            result.zone = h.zone;
            result.tipText = h.tip;
            result.tipRect = rect(x, y, h.l, h.t, h.r, h.b);
            return result;
        }
    }
    if (insideOutline(o, rotation, x, y)) {
        result.zone = kHitInside;
        return result;
    }
    // The rotation handles' tips, in the order P0, P1, P3, P2.
    const ViewRect rotateTips[4] = {
        rect(x, y, -10, -30, 190, -14),
        rect(x, y, 10, -20, 210, -4),
        rect(x, y, 10, 20, 210, 36),
        rect(x, y, 10, 20, 210, 36),
    };
    for (size_t k = 0; k < 4; ++k) {
        const RotationHandle& h = kRotationHandles[k];
        // The handle is hit where it is drawn.
        if (near(paintedRotationHandleCentre(o[size_t(h.corner)], rotation, h.offset), x, y)) {
            result.zone = h.zone;
            result.tipText = "Rotate this selected source.";
            result.tipRect = rotateTips[k];
            return result;
        }
    }
    return result;
}

std::string hoverStatusText(int32_t selectedSource, HitZone zone)
{
    const char* word = nullptr;
    switch (zone) {
    case kHitInside:
        word = "move";
        break;
    case kHitEast:
    case kHitWest:
        word = "resize width";
        break;
    case kHitNorth:
    case kHitSouth:
        word = "resize height";
        break;
    case kHitNorthEast:
    case kHitSouthEast:
    case kHitSouthWest:
    case kHitNorthWest:
        word = "resize";
        break;
    case kHitRotateP1:
    case kHitRotateP3:
    case kHitRotateP2:
    case kHitRotateP0:
        word = "rotate";
        break;
    default:
        return std::string();
    }
    return "source " + std::to_string(selectedSource) + " " + word;
}

} // namespace tessary
