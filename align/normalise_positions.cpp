#include "align/normalise_positions.h"

#include <limits>

namespace tessary {

namespace {
void shiftToZero(PerPlace<Placement>& placements, int32_t count, int32_t Placement::*position)
{
    // From the largest int32, so that positions all beyond any small bound still reach 0.
    int32_t least = std::numeric_limits<int32_t>::max();
    for (int32_t i = 0; i < count; ++i)
        if (placements[size_t(i)].*position < least)
            least = placements[size_t(i)].*position;
    for (int32_t i = 0; i < count; ++i)
        placements[size_t(i)].*position -= least;
}
}

void normalisePositions(PerPlace<Placement>& placements, int32_t sourceCount)
{
    if (sourceCount <= 0)
        return;
    const int32_t count = sourceCount > kMaxSources ? kMaxSources : sourceCount;
    shiftToZero(placements, count, &Placement::posX);
    shiftToZero(placements, count, &Placement::posY);
}

void normalisePositions(CAlignDoc& alignDoc, int32_t sourceCount)
{
    normalisePositions(alignDoc.placement, sourceCount);
}

} // namespace tessary
