#pragma once
#include "merge/pixel_path.h"

namespace tessary {

class MergeWorkspace;
class Platform;

inline constexpr const char* kPreviewAbortedText
    = "Processing has been terminated and one or more of the source images has not been processed.\n\n"
      "Switch to the source windows in turn and check which must be deleted.";
inline constexpr const char* kPreviewImpossibleText
    = "Tessary cannot generate the preview image for the Align Window ???\n\n"
      "Sorry for the inconvenience - please delete and reload the source image(s).";
inline constexpr const char* kHeightTooSmallText = "Height too small - can't see the image!";

// Rebuilds the align preview and everything derived with it from the current placements and
// transformed sources: the layout extent, the viewing scale and the preview's place, every
// loaded source's outline, the text sources' too-small flags, the preview pixels and
// `noOverlap`. `status` is the result of the source transformation that preceded the call, or 0.
//
// With fewer than two sources nothing is built (`previewValid` keeps its value). A source
// without a transformed image makes the rebuild fail: a message (which depends on whether
// `status` says the user quit with Esc), `previewValid` 0, `previewStatus` = status, layout 0 x 0
// and the target image discarded. A preview that cannot be allocated gives "Not enough memory
// to process the source image." and status 1. Observers hear previewRebuilt whenever the call
// ends, and targetInvalidated when the target was discarded.
void rebuildPreview(
    MergeWorkspace& workspace, Platform& platform, int status, PixelPath path = PixelPath::RowsTwoThreads);

} // namespace tessary
