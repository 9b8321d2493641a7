#include "align/placement_commands.h"

#include "align/mark_target_stale.h"
#include "align/rebuild_preview.h"
#include "app/edit_path.h"
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

int editSelected(MergeWorkspace& workspace, Platform& platform, const std::string& name,
    const std::function<bool(WorkspaceValues&, int32_t)>& change)
{
    const int32_t n = selectedLoadedSource(workspace);
    if (n == 0)
        return kTransformNoSource;
    WorkspaceValues after = captureValues(workspace);
    if (!change(after, n))
        return kTransformNoSource;
    int result = kTransformDone;
    editValues(workspace, platform, name, after, &result);
    return result;
}

int mirrorSelectedSource(MergeWorkspace& workspace, Platform& platform)
{
    return editSelected(workspace, platform, "Mirror horizontally", [](WorkspaceValues& v, int32_t n) {
        int32_t& mirrored = v.mirrored[size_t(n - 1)];
        mirrored = mirrored == 0 ? 1 : 0;
        return true;
    });
}

int resetSelectedSourceSize(MergeWorkspace& workspace, Platform& platform)
{
    return editSelected(workspace, platform, "Reset size of selected source", [](WorkspaceValues& v, int32_t n) {
        v.placement[size_t(n - 1)].scaleX = Placement::kUnitScale;
        v.placement[size_t(n - 1)].scaleY = Placement::kUnitScale;
        return true;
    });
}

int rotateSelectedSource(MergeWorkspace& workspace, Platform& platform, int32_t degrees)
{
    return editSelected(workspace, platform, "Rotate",
        [degrees](WorkspaceValues& v, int32_t n) {
        v.placement[size_t(n - 1)].rotation = double(degrees);
        return true;
    });
}

} // namespace tessary
