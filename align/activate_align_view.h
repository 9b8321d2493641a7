#pragma once
#include "merge/pixel_path.h"

namespace tessary {

class MergeWorkspace;
class Platform;

// What the Align view does with the model when it becomes active: every loaded source whose
// `changed` flag is set is transformed again; when at least one was, the preview is rebuilt
// with the last non-zero transformation result (or 0) and the target is marked stale. A source
// whose transformation fails or is stopped keeps its transformed picture from before (when it
// has one) and its `changed` flag, so the preview stays whole and the next activation tries
// again; the status bar says so. Returns whether any source was transformed. (Showing the Align
// toolbars is the window's part.)
bool retransformChangedSources(
    MergeWorkspace& workspace, Platform& platform, PixelPath path = PixelPath::RowsTwoThreads);

} // namespace tessary
