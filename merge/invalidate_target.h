#pragma once

namespace tessary {

class MergeWorkspace;

// The one rule of a stale target. Every change to the sources, their order or their placement,
// and every failed or abandoned generation, ends here; the views only follow what it leaves.
//
// invalidateTarget: the target no longer matches its sources. The zone corners go back to
// (0, 0), no zone is selected and the target counts as not generated; the title is left as it
// is (markTargetStale also sets "Target Window - needs updating"). Observers hear
// targetInvalidated: the Target view removes its zone buttons and shows "Load Target" when
// `loadTargetButtonShown` says so.
void invalidateTarget(MergeWorkspace& workspace);

// The same, and the target image is discarded (its displayed size becomes 1 x 1).
void discardTargetImage(MergeWorkspace& workspace);

// The "Load Target" button is shown while there is something to merge and no current target:
// two sources or more, and the target not generated.
bool loadTargetButtonShown(const MergeWorkspace& workspace);

} // namespace tessary
