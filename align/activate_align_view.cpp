#include "align/activate_align_view.h"

#include "align/mark_target_stale.h"
#include "align/rebuild_preview.h"
#include "app/long_operation.h"
#include "app/workspace.h"
#include "merge/transform_source.h"

#include <algorithm>

namespace tessary {

bool retransformChangedSources(MergeWorkspace& workspace, Platform& platform, PixelPath path)
{
    // One busy state for all of them: nothing the user does can come between two sources.
    LongOperation operation(platform);
    const int count = std::clamp(workspace.sourceCount, 0, kMaxSources);
    bool any = false;
    int status = 0;
    for (int number = 1; number <= count; ++number) {
        VIrorozIzi* source = workspace.source(number);
        if (!source || !source->changed)
            continue;
        any = true;
        const int result = transformSource(workspace, platform, number, path);
        if (result != 0)
            status = result;
    }
    if (!any)
        return false;
    rebuildPreview(workspace, platform, status, path);
    markTargetStale(workspace);
    return true;
}

} // namespace tessary
