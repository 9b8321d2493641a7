#pragma once
#include <cstdint>
#include <vector>

namespace tessary {

class MergeWorkspace;
class Platform;

// The numbers of the Image Sizes dialog: sizes in pixels before any rotation.

inline constexpr int32_t kSourceSizeMin = 1;
inline constexpr int32_t kSourceSizeMax = 30000;

// One source's row: its placed width and height and both as whole percents of the original.
struct SourceSizeRow {
    int64_t width = 0;
    int64_t height = 0;
    int64_t percentX = 0;
    int64_t percentY = 0;
    friend bool operator==(const SourceSizeRow&, const SourceSizeRow&) = default;
};

// The row of source `number` as the dialog shows it: width = trunc(scaleX/1024 x w0), height
// = trunc(scaleY/1024 x |h0|), percents trunc(scaleX/1024 x 100) and trunc(scaleY/1024 x 100).
SourceSizeRow sourceSizeRow(const MergeWorkspace& workspace, int32_t number);

// The scale that gives `requested` pixels of a side `original` pixels long: q = requested /
// original, scale = trunc(1024·q), plus 1 when original x scale < requested x 1024 (compared in
// 64 bits), so that the transformed side is never short of the request. `percent` is
// trunc(100·q).
struct SizedScale {
    double scale = 1024.0;
    int64_t percent = 100;
};
SizedScale scaleForSize(int32_t requested, int32_t original);

// Apply with one requested (width, height) per loaded source, in source order: every source
// takes its scales, as one step "Sizes". `rows` are what the dialog shows afterwards: the
// requested sizes with their percents. A failed or stopped transformation takes every size back
// (the rows then show the sizes as they are), sets `failed`, which tells the dialog to end, and
// gives its code in `status` (0 when every source was transformed).
struct SizedSources {
    std::vector<SourceSizeRow> rows;
    bool failed = false;
    int status = 0;
};
struct RequestedSize {
    int32_t width = 0;
    int32_t height = 0;
};
SizedSources applySourceSizes(
    MergeWorkspace& workspace, Platform& platform, const std::vector<RequestedSize>& sizes);

} // namespace tessary
