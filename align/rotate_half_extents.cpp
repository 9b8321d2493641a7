#include "align/rotate_half_extents.h"

#include <cmath>
#include <limits>

namespace tessary {

HalfAngleTurn halfAngleTurn(double radians)
{
    const double t = std::sin(radians / 2.0);
    return HalfAngleTurn { 2.0 * t * std::sqrt(1.0 - t * t), 1.0 - 2.0 * t * t };
}

ViewPoint rotateHalfExtents(int32_t h, int32_t w, double angle)
{
    const HalfAngleTurn turn = halfAngleTurn(alignRadians(angle));
    const double f = double(w / 2);
    const double g = double(h / 2);
    return ViewPoint { truncToInt32(f * turn.cos - g * turn.sin), truncToInt32(g * turn.cos + f * turn.sin) };
}

int32_t truncToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = double(std::numeric_limits<int32_t>::min());
    constexpr double hi = double(std::numeric_limits<int32_t>::max());
    if (value <= lo)
        return std::numeric_limits<int32_t>::min();
    if (value >= hi)
        return std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

} // namespace tessary
