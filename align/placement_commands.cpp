#include "align/placement_commands.h"

#include "align/mark_target_stale.h"
#include "align/rebuild_preview.h"
#include "app/workspace.h"
#include "merge/transform_source.h"

#include <climits>
#include <cstdlib>

namespace tessary {

int32_t selectedLoadedSource(const MergeWorkspace& workspace)
{
    const int32_t n = workspace.alignView.selectedSource;
    if (n < 1 || n > workspace.sourceCount || n > kMaxSources || !workspace.documents[size_t(n - 1)])
        return 0;
    return n;
}

OriginalSize originalSize(const VIrorozIzi& source)
{
    // INT32_MIN has no positive counterpart; it is as tall as any image can claim to be.
    const int32_t h = source.imageHeight == INT32_MIN ? INT32_MAX : std::abs(source.imageHeight);
    return OriginalSize { source.imageWidth, h };
}

int transformAndRebuild(MergeWorkspace& workspace, Platform& platform, int32_t number)
{
    const int result = transformSource(workspace, platform, number);
    rebuildPreview(workspace, platform, result);
    markTargetStale(workspace);
    return result;
}

int mirrorSelectedSource(MergeWorkspace& workspace, Platform& platform)
{
    const int32_t n = selectedLoadedSource(workspace);
    if (n == 0)
        return kTransformNoSource;
    int32_t& mirrored = workspace.targetDoc.mirrored[size_t(n - 1)];
    mirrored = mirrored == 0 ? 1 : 0;
    return transformAndRebuild(workspace, platform, n);
}

int resetSelectedSourceSize(MergeWorkspace& workspace, Platform& platform)
{
    const int32_t n = selectedLoadedSource(workspace);
    if (n == 0)
        return kTransformNoSource;
    workspace.alignDoc.placement[size_t(n - 1)].scaleX = CAlignDoc::kUnitScale;
    workspace.alignDoc.placement[size_t(n - 1)].scaleY = CAlignDoc::kUnitScale;
    return transformAndRebuild(workspace, platform, n);
}

int rotateSelectedSource(MergeWorkspace& workspace, Platform& platform, int32_t degrees)
{
    const int32_t n = selectedLoadedSource(workspace);
    if (n == 0)
        return kTransformNoSource;
    double& rotation = workspace.alignDoc.placement[size_t(n - 1)].rotation;
    int result = kTransformDone;
    if (double(degrees) != rotation) {
        rotation = double(degrees);
        result = transformSource(workspace, platform, n);
    }
    rebuildPreview(workspace, platform, result);
    markTargetStale(workspace);
    return result;
}

} // namespace tessary
