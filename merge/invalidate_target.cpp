#include "merge/invalidate_target.h"

#include "app/workspace.h"

namespace tessary {

void invalidateTarget(MergeWorkspace& workspace)
{
    workspace.targetView.zoneAnchor = ViewPoint {};
    workspace.targetView.zoneCorner = ViewPoint {};
    workspace.targetDoc.generated = 0;
    workspace.notify([](WorkspaceObserver& o) { o.targetInvalidated(); });
}

} // namespace tessary
