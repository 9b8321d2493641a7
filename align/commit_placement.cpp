#include "align/commit_placement.h"

#include "align/rotate_half_extents.h"
#include "app/edit_path.h"
#include "app/workspace.h"
#include "merge/transform_source.h"

#include <algorithm>
#include <cmath>

namespace tessary {

WorkspaceValues draggedValues(
    const MergeWorkspace& workspace, int32_t ddx, int32_t ddy, int32_t number, int32_t rw, int32_t rh)
{
    WorkspaceValues after = captureValues(workspace);
    if (number < 1 || number > kMaxSources)
        return after;
    const float viewScale = workspace.alignDoc.viewScale;
    Placement& p = after.placement[size_t(number - 1)];
    p.posX = truncToInt32(double(p.posX) + double(truncToInt32(float(ddx) * viewScale)));
    p.posY = truncToInt32(double(p.posY) + double(truncToInt32(float(ddy) * viewScale)));
    p.scaleX = std::trunc(std::max(rw * p.scaleX / 1024.0, 1.0));
    p.scaleY = std::trunc(std::max(rh * p.scaleY / 1024.0, 1.0));
    return after;
}

int commitPlacement(
    MergeWorkspace& workspace, Platform& platform, int32_t ddx, int32_t ddy, int32_t number, int32_t rw, int32_t rh)
{
    if (number < 1 || number > kMaxSources)
        return kTransformNoSource;
    int result = kTransformDone;
    editValues(workspace, platform, rw == 1024 && rh == 1024 ? "Move" : "Resize",
        draggedValues(workspace, ddx, ddy, number, rw, rh), &result);
    return result;
}

} // namespace tessary
