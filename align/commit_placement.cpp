#include "align/commit_placement.h"

#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "align/rotate_half_extents.h"
#include "app/workspace.h"
#include "merge/transform_source.h"

#include <algorithm>
#include <cmath>

namespace tessary {

int commitPlacement(MergeWorkspace& workspace, Platform& platform, int32_t ddx, int32_t ddy, int32_t number,
    int32_t rw, int32_t rh, PixelPath path)
{
    if (number < 1 || number > kMaxSources)
        return kTransformNoSource;
    CAlignDoc& doc = workspace.alignDoc;
    const size_t n = size_t(number - 1);
    const PerPlace<Placement> old = doc.placement;

    doc.placement[n].posX
        = truncToInt32(double(doc.placement[n].posX) + double(truncToInt32(float(ddx) * doc.viewScale)));
    doc.placement[n].posY
        = truncToInt32(double(doc.placement[n].posY) + double(truncToInt32(float(ddy) * doc.viewScale)));
    normalisePositions(doc, workspace.sourceCount);

    const double sx = std::max(rw * doc.placement[n].scaleX / 1024.0, 1.0);
    const double sy = std::max(rh * doc.placement[n].scaleY / 1024.0, 1.0);
    doc.placement[n].scaleX = std::trunc(sx);
    doc.placement[n].scaleY = std::trunc(sy);

    if (rw == 1024 && rh == 1024) {
        markTargetStale(workspace);
        return kTransformDone;
    }
    const int result = transformSource(workspace, platform, number, path);
    if (result == kTransformDone) {
        markTargetStale(workspace);
        return kTransformDone;
    }
    doc.placement = old;
    return result;
}

} // namespace tessary
