#include "align/mark_target_stale.h"

#include "app/workspace.h"
#include "merge/invalidate_target.h"

namespace tessary {

void markTargetStale(MergeWorkspace& workspace)
{
    workspace.targetDoc.title = kTargetStaleTitle;
    invalidateTarget(workspace);
}

} // namespace tessary
