#include "align/normalise_positions.h"

#include <limits>

namespace tessary {

namespace {
void shiftToZero(PerPlace<int32_t>& values, int32_t count)
{
    // From the largest int32, so that positions all beyond any small bound still reach 0.
    int32_t least = std::numeric_limits<int32_t>::max();
    for (int32_t i = 0; i < count; ++i)
        if (values[size_t(i)] < least)
            least = values[size_t(i)];
    for (int32_t i = 0; i < count; ++i)
        values[size_t(i)] -= least;
}
}

void normalisePositions(CAlignDoc& alignDoc, int32_t sourceCount)
{
    if (sourceCount <= 0)
        return;
    const int32_t count = sourceCount > kMaxSources ? kMaxSources : sourceCount;
    shiftToZero(alignDoc.posX, count);
    shiftToZero(alignDoc.posY, count);
}

} // namespace tessary
