#pragma once

namespace tessary {

class MergeWorkspace;

// Ends every change a source window makes to its source's pixels, size or mask: the source's
// `changed` flag is set (the Align Window transforms it again when next activated), the target
// no longer matches its sources (with two sources or more the Target Window reads "Target
// Window - needs updating"), and the windows showing the source hear sourceImageChanged.
void sourceEdited(MergeWorkspace& workspace, int number);

} // namespace tessary
