#pragma once
#include "app/places.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tessary {

struct ViewPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

// The outline of a placed source in the Align view: four view points.
using Outline = std::array<ViewPoint, 4>;

// The Align document: the placement of every source and its layer levels. `posX` is the left
// edge and `posY` the bottom edge of the transformed image in target pixels, counted upward;
// scales are in 1/1024 (1024.0 = 100 %); rotation in degrees, clockwise on screen.
class CAlignDoc {
public:
    static constexpr double kUnitScale = 1024.0;

    PerPlace<int32_t> posX {};
    PerPlace<int32_t> posY {};
    PerPlace<double> scaleX {};
    PerPlace<double> scaleY {};
    PerPlace<double> rotation {};
    PerPlace<std::optional<Outline>> outline {};
    PerPlace<int32_t> topLevel {};
    PerPlace<int32_t> bottomLevel {};

    // Extent of the placed sources in target pixels (the predicted target size).
    int32_t layoutWidth = 0;
    int32_t layoutHeight = 0;

    CAlignDoc() { resetAllPlaces(); }

    // Construction values for every place: (0, 0), 100 %, unrotated, middle layer.
    void resetAllPlaces();
    // Close source `closedIndex` (0-based) leaving `newCount` sources: later placements move
    // down and the freed last place takes the construction values.
    void compactPlacements(int closedIndex, int newCount);
};

} // namespace tessary
