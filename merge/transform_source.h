#pragma once
#include "image/masked_dib.h"
#include "merge/pixel_path.h"
#include "merge/transform_geometry.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;
class Progress;
class RowTransformer;

// Transforms `source` (any depth the accessors read, with its opacity mask; a missing mask
// counts as opaque) into `out`: a newW x newH 24-bit image with a mask, scaled by sx, sy
// (1024ths), mirrored and rotated by `angle` degrees. Pixels no part of the source reaches stay
// black with mask 0. Once per row the Esc key is polled through `status` and the red progress
// bar drawn, `progress` keeping the percentage.
//
// Returns kTransformDone, kTransformOutOfMemory, kTransformUnsupported, kTransformRle or
// kTransformAborted. Whatever the result, `out` held on entry is gone; it holds the image only
// on kTransformDone.
int transformImage(const MaskedDib& source, double sx, double sy, double angle, bool mirrored,
    Progress& status, int32_t& progress, MaskedDib& out, PixelPath path = PixelPath::RowsTwoThreads);

// The transformation of source `number` (1..8) of the workspace into the target document's
// `transformed` slot, as one long operation with its status panes and flags: the target is no
// longer generated, the source's `changed` flag is cleared, and an abort clears its
// `processedOk`. Out of memory shows "Not enough memory to process the source image.". Returns
// the codes above, or kTransformNoSource when there is no such source or it has no image.
int transformSource(
    MergeWorkspace& workspace, Platform& platform, int number, PixelPath path = PixelPath::RowsTwoThreads);

// For a merge that transforms its sources' rows as it reads them (`generateTarget` given row
// transformers): prepares `rows` for source `number` with the same flags and messages as
// transformSource, leaving its `transformed` slot empty; the source must then stay until the
// merge is done. When the transformation only shares the source's rows (it costs no pixels),
// when the whole transformed image is smaller than what the rows would keep (a source scaled
// down), or when the source cannot be read, this is transformSource itself and `rows` stays
// unprepared.
int transformSourceForMerge(MergeWorkspace& workspace, Platform& platform, int number, RowTransformer& rows);

} // namespace tessary
