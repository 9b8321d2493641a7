#pragma once
#include "image/masked_dib.h"
#include "merge/transform_geometry.h"

#include <cstdint>

namespace tessary {

class Progress;

// The source's opacity mask as the passes read it: 65535 everywhere when the source carries
// no mask of its full size.
struct SourceMask {
    const uint16_t* values = nullptr;
    int32_t width = 0;
    uint16_t at(int32_t x, int32_t row) const
    {
        return values ? values[size_t(row) * size_t(width) + size_t(x)] : uint16_t(65535);
    }
};
SourceMask sourceMaskOf(const MaskedDib& source, const TransformGeometry& g);

// kTransformDone when the passes can read `source`: kTransformNoSource without an image, the
// codes of checkSourceFormat for a format they cannot read, kTransformOutOfMemory when its mask
// is held as row spans and their whole copy (which the passes read) cannot be made.
int checkTransformSource(const MaskedDib& source);

// The pixel passes of a transformation into `out`, allocated newW x newH at 24 bits with black
// pixels and a mask: of 0 for the accessor pass; of real values or row spans, stored row by row,
// for the row pass. The accessor pass returns false when the user quit with Esc (then `out`
// holds a partial image); the row pass returns kTransformDone, kTransformAborted or
// kTransformOutOfMemory.
bool transformByAccessor(
    const MaskedDib& source, const TransformGeometry& g, Progress& status, int32_t& progress, MaskedDib& out);
int transformByRows(const MaskedDib& source, const TransformGeometry& g, Progress& status, int32_t& progress,
    MaskedDib& out, bool twoThreads);

} // namespace tessary
