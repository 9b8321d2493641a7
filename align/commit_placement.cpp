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
    const PerPlace<int32_t> oldX = doc.posX, oldY = doc.posY;
    const PerPlace<double> oldScaleX = doc.scaleX, oldScaleY = doc.scaleY;

    doc.posX[n] = truncToInt32(double(doc.posX[n]) + double(truncToInt32(float(ddx) * doc.viewScale)));
    doc.posY[n] = truncToInt32(double(doc.posY[n]) + double(truncToInt32(float(ddy) * doc.viewScale)));
    normalisePositions(doc, workspace.sourceCount);

    const double sx = std::max(rw * doc.scaleX[n] / 1024.0, 1.0);
    const double sy = std::max(rh * doc.scaleY[n] / 1024.0, 1.0);
    doc.scaleX[n] = std::trunc(sx);
    doc.scaleY[n] = std::trunc(sy);

    if (rw == 1024 && rh == 1024) {
        markTargetStale(workspace);
        return kTransformDone;
    }
    const int result = transformSource(workspace, platform, number, path);
    if (result == kTransformDone) {
        markTargetStale(workspace);
        return kTransformDone;
    }
    doc.posX = oldX;
    doc.posY = oldY;
    doc.scaleX = oldScaleX;
    doc.scaleY = oldScaleY;
    return result;
}

} // namespace tessary
