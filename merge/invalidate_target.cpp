#include "merge/invalidate_target.h"

#include "app/workspace.h"

namespace tessary {

void invalidateTarget(MergeWorkspace& workspace)
{
    workspace.targetView.zoneAnchor = ViewPoint {};
    workspace.targetView.zoneCorner = ViewPoint {};
    workspace.targetDoc.zoneSelected = 0;
    workspace.targetDoc.generated = 0;
    workspace.notify([](WorkspaceObserver& o) { o.targetInvalidated(); });
}

void discardTargetImage(MergeWorkspace& workspace)
{
    workspace.targetDoc.discardTarget();
    invalidateTarget(workspace);
}

bool loadTargetButtonShown(const MergeWorkspace& workspace)
{
    return workspace.sourceCount >= 2 && workspace.targetDoc.generated == 0;
}

} // namespace tessary
