#include "align/activate_align_view.h"

#include "align/mark_target_stale.h"
#include "align/rebuild_preview.h"
#include "app/long_operation.h"
#include "app/platform.h"
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
    int stopped = 0;
    int stoppedResult = 0;
    for (int number = 1; number <= count; ++number) {
        VIrorozIzi* source = workspace.source(number);
        if (!source || !source->changed)
            continue;
        any = true;
        MaskedDib& transformed = workspace.targetDoc.transformed[size_t(number - 1)];
        MaskedDib before = std::move(transformed);
        const bool processedBefore = source->processedOk;
        const int result = transformSource(workspace, platform, number, path);
        if (result == kTransformDone)
            continue;
        if (before.empty()) {
            // Nothing to show in its place: the preview says the source is missing.
            status = result;
            continue;
        }
        // The picture from before stays in the Align Window; the source is tried again when
        // the window is next activated.
        transformed = std::move(before);
        source->changed = true;
        source->processedOk = processedBefore;
        stopped = number;
        stoppedResult = result;
    }
    if (!any)
        return false;
    rebuildPreview(workspace, platform, status, path);
    markTargetStale(workspace);
    if (stopped)
        platform.showStatusMessage("Transforming source " + std::to_string(stopped)
            + (stoppedResult == kTransformAborted ? " was stopped" : " could not be done")
            + ": the Align Window shows it as it was before its last change.");
    return true;
}

} // namespace tessary
