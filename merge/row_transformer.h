#pragma once
#include "image/masked_dib.h"
#include "merge/transform_geometry.h"
#include "merge/transform_passes.h"

#include <cstdint>
#include <memory>

namespace tessary {

// The row pass of a transformation, one output row at a time. Every row of the transformed
// image is worked out on its own from the source's rows, so a caller may compute only the rows
// it needs, from two threads at once, into rows of its own: the whole transformation writes
// them into its image, a merge that needs no transformed image afterwards into a few rows it
// reuses.
class RowTransformer {
public:
    // Reads `source` (which must outlive this object, unchanged) for the transformation by sx,
    // sy (1024ths), `angle` degrees and `mirrored`: 24-bit rows directly, other depths through
    // an expanded 24-bit copy. Returns kTransformDone, kTransformNoSource for no image,
    // kTransformUnsupported or kTransformRle for a format the passes cannot read, or
    // kTransformOutOfMemory when the scaled size is beyond any image or the copy (or the whole
    // copy of a mask held as row spans) cannot be made.
    int prepare(const MaskedDib& source, double sx, double sy, double angle, bool mirrored);
    // The same for a geometry already worked out from a readable source's size.
    bool prepare(const MaskedDib& source, const TransformGeometry& g);
    bool prepared() const { return base_ != nullptr; }
    const TransformGeometry& geometry() const { return g_; }

    // Columns [from, to) of output row r (0 .. newH - 1): writes the pixels the source reaches
    // into `pixels` (3 bytes a column) and their mask values into `mask` (a value a column), both
    // indexed from column 0. They must hold zeros on entry: pixels no part of the source reaches
    // keep them (black, mask 0). A turned picture reads its source along a slant, so a caller
    // computing many rows keeps the source it reads in the caches by taking a few hundred
    // columns of each row at a time.
    void row(int32_t r, uint8_t* pixels, uint16_t* mask, int32_t from, int32_t to) const;
    // Whole rows [r0, r1) that way: row r's pixels at pixels + (r - r0) x pixelStride and its
    // mask values at masks + (r - r0) x newW, all zeros on entry.
    void rows(int32_t r0, int32_t r1, uint8_t* pixels, size_t pixelStride, uint16_t* masks) const;

private:
    const uint8_t* at(int32_t x, int32_t row) const { return base_ + size_t(row) * stride_ + 3 * size_t(x); }
    struct RowWalk {
        int32_t end; // interior columns [from, end): the last column is worked apart
        int32_t X, Y, stepX, stepY;
    };
    RowWalk walkRow(int32_t r, int32_t from, int32_t to) const;
    void lastColumn(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t to) const;
    void nearest(uint8_t* outRow, uint16_t* outMask, int32_t col, int32_t X, int32_t Y) const;
    void shiftedRow(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t from, int32_t to) const;
    void wholeScaleRow(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t from, int32_t to) const;
    void generalRow(int32_t r, uint8_t* outRow, uint16_t* outMask, int32_t from, int32_t to) const;

    TransformGeometry g_;
    SourceMask mask_;
    // The source's colours as 24-bit rows: the image's own rows when it is 24 bits deep,
    // otherwise `expanded_`, an unpadded copy made through its accessor.
    const uint8_t* base_ = nullptr;
    size_t stride_ = 0;
    std::unique_ptr<uint8_t[]> expanded_;
    bool shifted_ = false; // 100 % at 0 or 180 degrees
    bool wholeScales_ = false;
};

} // namespace tessary
