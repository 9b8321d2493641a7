#include "align/centre_source.h"

#include "align/placement_commands.h"
#include "app/workspace.h"
#include "app/workspace_values.h"

#include <algorithm>
#include <limits>

namespace tessary {

int32_t centredPosition(int64_t low, int64_t high, int32_t size)
{
    const int64_t at = (low + high - size) / 2;
    return int32_t(
        std::clamp<int64_t>(at, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void centreSelectedSource(MergeWorkspace& workspace, Platform& platform, Axis axis)
{
    editSelected(workspace, platform, axis == Axis::Horizontal ? "Center Horizontally" : "Center Vertically",
        [&workspace, axis](WorkspaceValues& v, int32_t n) {
            const OthersExtent others = othersExtent(workspace, n, axis);
            if (!others.any)
                return false;
            Placement& p = v.placement[size_t(n - 1)];
            (axis == Axis::Horizontal ? p.posX : p.posY)
                = centredPosition(others.low, others.high, transformedSize(workspace, n, axis));
            return true;
        });
}

} // namespace tessary
