#include "sources/source_edited.h"

#include "align/mark_target_stale.h"
#include "app/workspace.h"
#include "merge/invalidate_target.h"
#include "sources/source_doc.h"

namespace tessary {

void sourceEdited(MergeWorkspace& workspace, int number)
{
    VIrorozIzi* doc = number >= 1 && number <= workspace.sourceCount ? workspace.source(number) : nullptr;
    if (!doc)
        return;
    doc->changed = true;
    if (workspace.sourceCount >= 2)
        markTargetStale(workspace);
    else
        invalidateTarget(workspace);
    workspace.notify([number](WorkspaceObserver& o) { o.sourceImageChanged(number); });
}

} // namespace tessary
