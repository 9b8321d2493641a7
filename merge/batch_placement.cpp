#include "merge/batch_placement.h"

#include "align/centre_source.h"
#include "align/source_sizes.h"

#include <algorithm>
#include <limits>

namespace tessary {

namespace {

int32_t saturated(int64_t value)
{
    return int32_t(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The boxes each box clears when it is checked, by box; "Stretch to fit image" and "as set in
// Align Window" clear all the others.
constexpr uint8_t bit(BatchOption option)
{
    return uint8_t(1u << option);
}
constexpr uint8_t kAll = 0xFF;
constexpr uint8_t kExcluded[kBatchOptionCount] = {
    kAll,
    bit(kStretchToFit) | bit(kPositionLeft) | bit(kPositionRight) | bit(kAsSetInAlignWindow),
    bit(kStretchToFit) | bit(kPositionTop) | bit(kPositionBottom) | bit(kAsSetInAlignWindow),
    bit(kStretchToFit) | bit(kCenterHorizontal) | bit(kPositionRight) | bit(kAsSetInAlignWindow),
    bit(kStretchToFit) | bit(kCenterHorizontal) | bit(kPositionLeft) | bit(kAsSetInAlignWindow),
    bit(kStretchToFit) | bit(kCenterVertical) | bit(kPositionBottom) | bit(kAsSetInAlignWindow),
    bit(kStretchToFit) | bit(kCenterVertical) | bit(kPositionTop) | bit(kAsSetInAlignWindow),
    kAll,
};

} // namespace

void setBatchOption(BatchOptions& options, BatchOption option, bool checked)
{
    if (option < 0 || option >= kBatchOptionCount)
        return;
    if (checked)
        for (int other = 0; other < kBatchOptionCount; ++other)
            if (kExcluded[option] & (1u << other))
                options[size_t(other)] = false;
    options[size_t(option)] = checked;
}

BatchScale batchWatermarkScale(
    const BatchOptions& options, const SavedWatermark& saved, Size original, Size file)
{
    if (!options[kStretchToFit] || original.width <= 0 || original.height <= 0)
        return { saved.scaleX, saved.scaleY };
    return { scaleForSize(file.width, original.width).scale,
        scaleForSize(file.height, original.height).scale };
}

BatchPosition batchWatermarkPosition(const BatchOptions& options, const SavedWatermark& saved,
    int32_t filePosX, int32_t filePosY, Size file, Size mark)
{
    if (options[kStretchToFit])
        return { filePosX, filePosY };
    const int64_t x2 = filePosX, y2 = filePosY;
    int64_t x = x2 + int64_t(saved.posX) - saved.source2PosX;
    int64_t y = y2 + int64_t(saved.posY) - saved.source2PosY;
    if (!options[kAsSetInAlignWindow]) {
        if (options[kCenterHorizontal])
            x = centredPosition(x2, x2 + file.width, mark.width);
        else if (options[kPositionLeft])
            x = x2;
        else if (options[kPositionRight])
            x = x2 + file.width - mark.width;
        if (options[kCenterVertical])
            y = centredPosition(y2, y2 + file.height, mark.height);
        else if (options[kPositionBottom])
            y = y2;
        else if (options[kPositionTop])
            y = y2 + file.height - mark.height;
    }
    return { saturated(x), saturated(y) };
}

} // namespace tessary
