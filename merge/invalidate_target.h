#pragma once

namespace tessary {

class MergeWorkspace;

// The target no longer matches its sources: the zone corners go back to (0, 0) and the target
// counts as not generated. Observers hear targetInvalidated, on which the Target view removes
// its zone buttons and shows its "Load Target" button again. The title is left as it is
// (markTargetStale also sets "Target Window - needs updating").
void invalidateTarget(MergeWorkspace& workspace);

} // namespace tessary
