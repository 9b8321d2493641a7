#pragma once
#include "align/align_doc.h"
#include "merge/pixel_path.h"
#include "merge/unmasked_image.h"

namespace tessary {

class MergeWorkspace;
class Platform;
class RowTransformer;

inline constexpr const char* kEmptyTargetText
    = "The target would be empty: every source is under one pixel at its scale.";

// Composes the target image from the loaded sources' transformed images: the opaque top layers,
// the middle layer merged by the workspace's merge type, the opaque bottom layers and the
// background colour; then the target's contrast and brightness and the margin band. Reports
// its phases in status panes 0 and 2 and its progress in pane 3 through `platform`, and polls
// Esc once per column of the preparing pass.
//
// True on success: the target document holds the new `targetImage`, `generated` is 1 and the
// observers hear targetGenerated. On failure (a source without transformed image, running out
// of memory anywhere, which shows "Not enough memory to process the source image.", or Esc
// answered with Yes, or a
// target of no pixels, which shows kEmptyTargetText) there is no target image, `generated` is 0 and the
// observers hear targetInvalidated.
//
// A place given a prepared transformer in `transformedInRows` is merged from rows transformed
// as the merge reads them (its `transformed` slot is not read, and the merge pass takes the
// rows path even when `path` is the accessor path): for a caller that needs the target and no
// transformed image, such as the command-line merge. The bytes are those of merging its whole
// transformed image.
//
// With `targetBlock`, the target image's bytes are those it provides (see BlockProvider), for a
// caller that wants them somewhere of its own: the command-line merge has them in the file it
// saves.
bool generateTarget(MergeWorkspace& workspace, Platform& platform, PixelPath path = PixelPath::RowsTwoThreads,
    const PerPlace<const RowTransformer*>& transformedInRows = {},
    const BlockProvider& targetBlock = nullptr);

} // namespace tessary
