#include "merge/generate_target.h"

#include "align/layout_extent.h"
#include "app/long_operation.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "merge/generate_passes.h"
#include "merge/invalidate_target.h"
#include "merge/progress_colours.h"
#include "merge/row_transformer.h"
#include "merge/unmasked_image.h"

#include <algorithm>
#include <new>

namespace tessary {

namespace {
// size x percent / 100 in 64 bits, kept within 32 bits.
int32_t viewSize(int64_t size, int32_t percent)
{
    return int32_t(std::clamp<int64_t>(size * percent / 100, INT32_MIN, INT32_MAX));
}

// A side that may exceed 32 bits, reduced to one that still fails the allocation.
int32_t sideForAllocation(int64_t side)
{
    return int32_t(std::min<int64_t>(side, int64_t(kMaxImageSide) + 1));
}

bool fail(MergeWorkspace& workspace)
{
    workspace.targetDoc.discardTarget();
    invalidateTarget(workspace);
    return false;
}

bool failWithMessage(MergeWorkspace& workspace, Platform& platform, const char* text)
{
    platform.messageBox(text, MessageIcon::Error, MessageButtons::Ok);
    return fail(workspace);
}

bool composeTarget(MergeWorkspace& workspace, Platform& platform, PixelPath path,
    const PerPlace<const RowTransformer*>& transformedInRows, const BlockProvider& targetBlock)
{
    LongOperation operation(platform);
    CDestdoc& target = workspace.targetDoc;
    const CAlignDoc& align = workspace.alignDoc;
    target.targetImage.reset();
    target.viewWidth = 1;
    target.viewHeight = 1;
    target.generated = 1;
    target.zoneSelected = 0;
    target.title = "Target Window";

    const int32_t count = std::clamp(workspace.sourceCount, 0, kMaxSources);
    MergeSetup setup;
    setup.count = count;
    PerPlace<LayoutExtent> sizes {};
    bool inRows = false;
    for (int32_t i = 0; i < count; ++i) {
        const size_t s = size_t(i);
        const RowTransformer* rows = transformedInRows[s];
        const MaskedDib& t = target.transformed[s];
        if (rows && rows->prepared()) {
            sizes[s] = LayoutExtent { rows->geometry().newW, rows->geometry().newH };
            inRows = true;
        } else if (!t.empty()) {
            sizes[s] = LayoutExtent { t.width(), t.height() };
            rows = nullptr;
        } else {
            return failWithMessage(workspace, platform, "Can't load target image!");
        }
        setup.layers[s] = MergeLayer { rows ? nullptr : &t, sizes[s].width, sizes[s].height, align.placement[s].posX,
            align.placement[s].posY, align.placement[s].topLevel, align.placement[s].bottomLevel, rows };
    }

    const LayoutExtent extent = layoutExtent(align, sizes, count);
    const int32_t W = extent.width, H = extent.height;
    // A picture of no pixels is no target: no file format or view could hold it.
    if (W <= 0 || H <= 0)
        return failWithMessage(workspace, platform, kEmptyTargetText);
    target.viewWidth = viewSize(W, target.viewPercentX);
    target.viewHeight = viewSize(H, target.viewPercentY);

    MaskedDib merged;
    // A negative margin is no margin: the band cannot be narrower than nothing.
    PrepareSetup prepare { target.targetContrast, target.targetBrightness, std::max(target.marginX, 0),
        std::max(target.marginY, 0), target.marginColour };
    const int64_t finalW = int64_t(W) + 2 * int64_t(prepare.marginX);
    const int64_t finalH = int64_t(H) + 2 * int64_t(prepare.marginY);
    // Without a margin each target byte depends only on the merged byte at the same place, so
    // the row pass can adjust the merge image where it lies instead of holding a second copy.
    const bool inPlace = path != PixelPath::Accessor && prepare.marginX == 0 && prepare.marginY == 0;
    if (allocateUnmaskedImage(
            sideForAllocation(H), sideForAllocation(W), merged, inPlace ? targetBlock : nullptr))
        return failWithMessage(workspace, platform, kNotEnoughMemoryText);

    operation.showPaneText(0, kPressEscText);
    operation.showPaneText(2, "Merging Source(s)");
    setup.mergeType = workspace.mergeType;
    setup.context
        = MergeContext { workspace.sourceCount, target.thresholdFuzziness, target.backgroundColour };
    setup.fadeEdge = workspace.fadeEdge;
    setup.biasWeight = workspace.biasWeight;
    setup.width = W;
    setup.height = H;
    if (path == PixelPath::Accessor && !inRows)
        mergeByAccessor(setup, merged, operation, target.progress);
    else if (!mergeByRows(setup, merged, operation, target.progress, path != PixelPath::Rows))
        return failWithMessage(workspace, platform, kNotEnoughMemoryText);

    operation.showPaneText(2, "");
    operation.showProgress(100, kProgressDone);
    MaskedDib final;
    if (inPlace)
        final = std::move(merged);
    else if (allocateUnmaskedImage(sideForAllocation(finalH), sideForAllocation(finalW), final, targetBlock))
        return failWithMessage(workspace, platform, kNotEnoughMemoryText);

    operation.showPaneText(2, "Preparing Target");
    const MaskedDib& from = inPlace ? final : merged;
    const bool prepared = path == PixelPath::Accessor
        ? prepareByAccessor(from, final, prepare, operation, target.progress)
        : prepareByRows(from, final, prepare, operation, target.progress, path == PixelPath::RowsTwoThreads);
    merged = MaskedDib {};
    if (!prepared) {
        operation.showProgress(100, kProgressDone);
        return fail(workspace);
    }

    operation.showPaneText(2, "");
    operation.showProgress(100, kProgressDone);
    if (path == PixelPath::Accessor)
        paintMarginsByAccessor(final, prepare);
    else
        paintMarginsByRows(final, prepare);

    target.targetImage = std::move(final.dib);
    ++target.generations;
    target.viewWidth = viewSize(finalW, target.viewPercentX);
    target.viewHeight = viewSize(finalH, target.viewPercentY);
    workspace.notify([](WorkspaceObserver& o) { o.targetGenerated(); });
    return true;
}

}

bool generateTarget(MergeWorkspace& workspace, Platform& platform, PixelPath path,
    const PerPlace<const RowTransformer*>& transformedInRows, const BlockProvider& targetBlock)
{
    try {
        return composeTarget(workspace, platform, path, transformedInRows, targetBlock);
    } catch (const std::bad_alloc&) { // a status text or a message: the images fail without one
        workspace.targetDoc.discardTarget();
    }
    try {
        failWithMessage(workspace, platform, kNotEnoughMemoryText);
    } catch (const std::bad_alloc&) {
        workspace.targetDoc.generated = 0;
    }
    return false;
}

} // namespace tessary
