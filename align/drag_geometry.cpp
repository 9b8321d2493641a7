#include "align/drag_geometry.h"

#include "align/rotate_half_extents.h"

#include <algorithm>
#include <cmath>

namespace tessary {

int32_t snapDisplacement(int32_t d, int32_t snapMove)
{
    if (snapMove < 1)
        snapMove = 1;
    return d - d % snapMove;
}

namespace {
void shift(ViewPoint& p, int32_t dx, int32_t dy)
{
    p.x += dx;
    p.y += dy;
}
}

Outline dragOutline(const Outline& o, HitZone zone, double rotation, int32_t dx, int32_t dy, int32_t snapMove)
{
    Outline w = o;
    if (zone == kHitInside) {
        const int32_t sx = snapDisplacement(dx, snapMove), sy = snapDisplacement(dy, snapMove);
        for (ViewPoint& p : w)
            shift(p, sx, sy);
        return w;
    }
    const double theta = alignRadians(rotation);
    const double dist = std::sqrt(double(dx) * dx + double(dy) * dy);
    const double phi = std::atan2(-double(dy), double(dx));
    // Along the width axis and along the height axis.
    const double h = std::cos(phi + theta) * dist;
    const double v = std::sin(phi + theta) * dist;
    const int32_t wx = int32_t(std::cos(theta) * h), wy = int32_t(std::sin(theta) * h);
    const int32_t hx = int32_t(std::sin(theta) * v), hy = -int32_t(std::cos(theta) * v);
    switch (zone) {
    case kHitEast:
        shift(w[1], wx, wy);
        shift(w[3], wx, wy);
        break;
    case kHitWest:
        shift(w[0], wx, wy);
        shift(w[2], wx, wy);
        break;
    case kHitNorth:
        shift(w[0], hx, hy);
        shift(w[1], hx, hy);
        break;
    case kHitSouth:
        shift(w[2], hx, hy);
        shift(w[3], hx, hy);
        break;
    case kHitNorthWest:
        shift(w[0], dx, dy);
        shift(w[1], hx, hy);
        shift(w[2], wx, wy);
        break;
    case kHitNorthEast:
        shift(w[1], dx, dy);
        shift(w[0], hx, hy);
        shift(w[3], wx, wy);
        break;
    case kHitSouthWest:
        shift(w[2], dx, dy);
        shift(w[3], hx, hy);
        shift(w[0], wx, wy);
        break;
    case kHitSouthEast:
        shift(w[3], dx, dy);
        shift(w[2], hx, hy);
        shift(w[1], wx, wy);
        break;
    default:
        break;
    }
    return w;
}

ViewPoint rotationCentre(const Outline& o)
{
    return sideMidpoint(o[0], o[3]);
}

double rotationStartAngle(const Outline& o, double rotation, int32_t x, int32_t y)
{
    const ViewPoint c = rotationCentre(o);
    return std::atan2(double(y) - c.y, double(x) - c.x) - std::trunc(rotation) * kAlignPi / 180.0;
}

namespace {
double length(ViewPoint a, ViewPoint b)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    return std::sqrt(dx * dx + dy * dy);
}
}

RotationStep rotationDrag(const Outline& o, double startAngle, int32_t x, int32_t y)
{
    const ViewPoint c = rotationCentre(o);
    double u = std::atan2(double(y) - c.y, double(x) - c.x) - startAngle;
    if (u < -kAlignPi)
        u += 6.28318;
    if (u > kAlignPi)
        u -= 6.28318;
    RotationStep step;
    step.rotation = std::trunc(u * 180.0 / kAlignPi + 0.5);

    const int64_t W = int64_t(length(o[0], o[1]));
    const int64_t H = int64_t(length(o[1], o[3]));
    const HalfAngleTurn turn = halfAngleTurn(u);
    const int64_t cosFixed = int64_t(turn.cos * 1024.0), sinFixed = int64_t(turn.sin * 1024.0);
    const int64_t halfW = W / 2, halfH = H / 2;
    const int64_t corners[4][2]
        = { { -halfW, -halfH }, { halfW, -halfH }, { -halfW, halfH }, { halfW, halfH } };
    for (size_t k = 0; k < 4; ++k) {
        const int64_t fx = corners[k][0], fy = corners[k][1];
        step.outline[k] = ViewPoint { int32_t(c.x + (fx * cosFixed - fy * sinFixed) / 1024),
            int32_t(c.y + (fy * cosFixed + fx * sinFixed) / 1024) };
    }
    return step;
}

ResizeRatios resizeRatios(const Outline& working, const Outline& document, HitZone zone)
{
    if (zone == kHitInside)
        return ResizeRatios {};
    auto ratio = [](double now, double before) {
        // A side the drag did not change keeps its scale exactly: its length is seldom whole,
        // and trunc(L * 1024) / L would shrink it by a 1024th.
        if (now == before)
            return int32_t(1024);
        const double scaled = std::trunc(now * 1024.0);
        return truncToInt32(scaled / std::max(before, 1.0));
    };
    return ResizeRatios { ratio(length(working[0], working[1]), length(document[0], document[1])),
        ratio(length(working[0], working[2]), length(document[0], document[2])) };
}

ViewPoint boxDisplacement(const Outline& working, const Outline& document, double rotation)
{
    const double t = rotation;
    size_t xCorner, yCorner;
    if (t >= 0.0 && t <= 90.0) {
        xCorner = 2;
        yCorner = 3;
    } else if (t > 90.0) {
        xCorner = 3;
        yCorner = 1;
    } else if (t >= -90.0) {
        xCorner = 0;
        yCorner = 2;
    } else {
        xCorner = 1;
        yCorner = 0;
    }
    return ViewPoint { working[xCorner].x - document[xCorner].x, document[yCorner].y - working[yCorner].y };
}

} // namespace tessary
