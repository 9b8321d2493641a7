#include "align/centre_source.h"

#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "align/placement_commands.h"
#include "align/rebuild_preview.h"
#include "app/workspace.h"

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
    const int32_t n = selectedLoadedSource(workspace);
    if (n == 0)
        return;
    const OthersExtent others = othersExtent(workspace, n, axis);
    if (!others.any)
        return;
    Placement& p = workspace.alignDoc.placement[size_t(n - 1)];
    (axis == Axis::Horizontal ? p.posX : p.posY) = centredPosition(others.low, others.high, transformedSize(workspace, n, axis));
    normalisePositions(workspace.alignDoc, workspace.sourceCount);
    rebuildPreview(workspace, platform, 0);
    markTargetStale(workspace);
}

} // namespace tessary
