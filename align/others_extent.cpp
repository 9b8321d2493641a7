#include "align/others_extent.h"

#include "app/workspace.h"

#include <algorithm>
#include <limits>

namespace tessary {

int32_t transformedSize(const MergeWorkspace& workspace, int32_t number, Axis axis)
{
    if (number < 1 || number > kMaxSources)
        return 0;
    const MaskedDib& t = workspace.targetDoc.transformed[size_t(number - 1)];
    return axis == Axis::Horizontal ? t.width() : t.height();
}

OthersExtent othersExtent(const MergeWorkspace& workspace, int32_t selected, Axis axis)
{
    const auto position = axis == Axis::Horizontal ? &Placement::posX : &Placement::posY;
    OthersExtent extent;
    extent.low = std::numeric_limits<int32_t>::max();
    const int32_t count = std::clamp(workspace.sourceCount, 0, kMaxSources);
    for (int32_t number = 1; number <= count; ++number) {
        if (number == selected)
            continue;
        const int64_t at = workspace.alignDoc.placement[size_t(number - 1)].*position;
        extent.low = std::min(extent.low, at);
        extent.high = std::max(extent.high, at + transformedSize(workspace, number, axis));
        extent.any = true;
    }
    return extent;
}

} // namespace tessary
