#include "align/mark_target_stale.h"

#include "app/workspace.h"

namespace tessary {

void markTargetStale(MergeWorkspace& workspace)
{
    workspace.targetView.zoneAnchor = ViewPoint {};
    workspace.targetView.zoneCorner = ViewPoint {};
    workspace.targetDoc.generated = 0;
    workspace.targetDoc.title = kTargetStaleTitle;
    workspace.notify([](WorkspaceObserver& o) { o.targetInvalidated(); });
}

} // namespace tessary
