#include "align/source_sizes.h"

#include "align/placement_commands.h"
#include "app/edit_path.h"
#include "app/workspace.h"
#include "merge/transform_source.h"

#include <algorithm>
#include <cmath>

namespace tessary {

namespace {
// Saturating truncation for values shown in the dialog's fields.
int64_t truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return int64_t(std::clamp(std::trunc(value), -9.0e18, 9.0e18));
}
}

SourceSizeRow sourceSizeRow(const MergeWorkspace& workspace, int32_t number)
{
    const VIrorozIzi* source
        = number >= 1 && number <= kMaxSources ? workspace.documents[size_t(number - 1)].get() : nullptr;
    if (!source)
        return {};
    const OriginalSize original = originalSize(*source);
    const double sx = workspace.alignDoc.placement[size_t(number - 1)].scaleX;
    const double sy = workspace.alignDoc.placement[size_t(number - 1)].scaleY;
    return SourceSizeRow { truncated(sx / 1024 * original.width), truncated(sy / 1024 * original.height),
        truncated(sx / 1024 * 100), truncated(sy / 1024 * 100) };
}

SizedScale scaleForSize(int32_t requested, int32_t original)
{
    if (original <= 0)
        return {};
    const double q = double(requested) / double(original);
    int64_t scale = truncated(1024 * q);
    if (int64_t(original) * scale < int64_t(requested) * 1024)
        ++scale;
    return SizedScale { double(scale), truncated(100 * q) };
}

SizedSources applySourceSizes(
    MergeWorkspace& workspace, Platform& platform, const std::vector<RequestedSize>& sizes)
{
    SizedSources outcome;
    const int32_t count
        = std::min<int32_t>(std::clamp(workspace.sourceCount, 0, kMaxSources), int32_t(sizes.size()));
    WorkspaceValues after = captureValues(workspace);
    for (int32_t number = 1; number <= count; ++number) {
        const VIrorozIzi* source = workspace.source(number);
        if (!source)
            continue;
        const OriginalSize original = originalSize(*source);
        const RequestedSize& wanted = sizes[size_t(number - 1)];
        const SizedScale x = scaleForSize(wanted.width, original.width);
        const SizedScale y = scaleForSize(wanted.height, original.height);
        outcome.rows.push_back(SourceSizeRow { wanted.width, wanted.height, x.percent, y.percent });
        after.placement[size_t(number - 1)].scaleX = x.scale;
        after.placement[size_t(number - 1)].scaleY = y.scale;
    }
    editValues(workspace, platform, "Sizes", after, &outcome.status);
    outcome.failed = outcome.status != kTransformDone;
    if (outcome.failed) {
        // Every size was taken back: the rows show them as they are again.
        outcome.rows.clear();
        for (int32_t number = 1; number <= count; ++number)
            if (workspace.source(number))
                outcome.rows.push_back(sourceSizeRow(workspace, number));
    }
    return outcome;
}

} // namespace tessary
