#pragma once

namespace tessary {

class MergeWorkspace;

inline constexpr const char* kTargetStaleTitle = "Target Window - needs updating";

// Ends every placement change: the target is no longer current. The zone corners go back to
// (0, 0), the target counts as not generated, and the target document takes the title "Target
// Window - needs updating". Observers hear targetInvalidated (the target view puts back its
// Load Target button and removes the zone buttons).
void markTargetStale(MergeWorkspace& workspace);

} // namespace tessary
