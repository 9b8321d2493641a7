#pragma once
#include <array>
#include <cstdint>

namespace tessary {

// How the batch merge scales and places the watermark (source 1) on each file (source 2).

// The dialog's eight boxes, in their order.
enum BatchOption : int {
    kStretchToFit = 0,
    kCenterHorizontal,
    kCenterVertical,
    kPositionLeft,
    kPositionRight,
    kPositionTop,
    kPositionBottom,
    kAsSetInAlignWindow,
    kBatchOptionCount
};
using BatchOptions = std::array<bool, kBatchOptionCount>;

// Checking a box clears the boxes it excludes: one horizontal rule (centre, left, right) and
// one vertical rule (centre, top, bottom) combine; "Stretch to fit image" and "as set in
// Align Window" stand alone. Unchecking clears nothing.
void setBatchOption(BatchOptions& options, BatchOption option, bool checked);

// The watermark's placement in the Align Window when the run starts, with source 2's position.
struct SavedWatermark {
    int32_t posX = 0;
    int32_t posY = 0;
    double scaleX = 1024.0;
    double scaleY = 1024.0;
    int32_t source2PosX = 0;
    int32_t source2PosY = 0;
};

struct Size {
    int32_t width = 0;
    int32_t height = 0;
};

// The watermark's scales for a file whose transformed size is `file`: "Stretch to fit image"
// makes the watermark's unrotated size (`original` pixels) at least the file's (the scale is
// rounded up by one unit where truncation would leave it short); every other rule keeps the
// saved scales, so nothing compounds from file to file.
struct BatchScale {
    double scaleX = 1024.0;
    double scaleY = 1024.0;
};
BatchScale batchWatermarkScale(
    const BatchOptions& options, const SavedWatermark& saved, Size original, Size file);

// The watermark's position for a file at (filePosX, filePosY) of transformed size `file`, the
// watermark's transformed size being `mark` (positions count upward from the bottom edge):
// left: the left edges meet; right: the right edges; centre: the middles (truncated toward
// zero); bottom and top alike. "Stretch to fit image" puts the lower-left corners together. An
// axis without a rule, and "as set in Align Window", keep the offset from source 2 that the
// watermark had in the Align Window. The caller normalises the positions afterwards.
struct BatchPosition {
    int32_t posX = 0;
    int32_t posY = 0;
    friend bool operator==(const BatchPosition&, const BatchPosition&) = default;
};
BatchPosition batchWatermarkPosition(const BatchOptions& options, const SavedWatermark& saved,
    int32_t filePosX, int32_t filePosY, Size file, Size mark);

} // namespace tessary
