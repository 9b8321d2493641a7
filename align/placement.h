#pragma once
#include <cstdint>

namespace tessary {

// Where one source lies in the target and how it is turned: `posX` is the left edge and `posY`
// the bottom edge of the transformed image in target pixels, counted upward; scales in 1/1024
// (1024.0 = 100 %); rotation in degrees, clockwise on screen; the levels place the source in
// the opaque top or bottom layers (-1: not in that group).
struct Placement {
    static constexpr double kUnitScale = 1024.0;

    int32_t posX = 0;
    int32_t posY = 0;
    double scaleX = kUnitScale;
    double scaleY = kUnitScale;
    double rotation = 0.0;
    int32_t topLevel = -1;
    int32_t bottomLevel = -1;

    // Whether both give the transformed image the same pixels (mirroring aside).
    bool sameTransformAs(const Placement& other) const
    {
        return scaleX == other.scaleX && scaleY == other.scaleY && rotation == other.rotation;
    }
    friend bool operator==(const Placement&, const Placement&) = default;
};

} // namespace tessary
