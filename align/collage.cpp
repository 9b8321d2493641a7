#include "align/collage.h"

#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "align/placement_commands.h"
#include "align/rebuild_preview.h"
#include "app/edit_path.h"
#include "app/workspace.h"
#include "app/workspace_values.h"
#include "merge/transform_source.h"
#include "sources/source_doc.h"

#include <algorithm>
#include <numeric>

namespace tessary {

CollageOrder identityCollageOrder()
{
    CollageOrder order {};
    std::iota(order.begin(), order.end(), 0);
    return order;
}

void swapCollageSources(CollageOrder& order, int32_t a, int32_t b)
{
    const auto ia = std::find(order.begin(), order.end(), a);
    const auto ib = std::find(order.begin(), order.end(), b);
    if (ia != order.end() && ib != order.end())
        std::iter_swap(ia, ib);
}

double collageScale(int32_t original, int32_t cell)
{
    double scale = CAlignDoc::kUnitScale * cell / original;
    // The transformation works from this double: compare the product exactly as it will be.
    if (static_cast<long double>(original) * static_cast<long double>(scale)
        < static_cast<long double>(cell) * CAlignDoc::kUnitScale)
        scale += 1.0;
    return scale;
}

int32_t collageColumns(int32_t typed, int32_t sourceCount, bool& tooMany)
{
    tooMany = typed > sourceCount;
    if (tooMany)
        typed = sourceCount;
    return std::max(typed, 1);
}

void layOutCollage(
    CAlignDoc& doc, int32_t sourceCount, const CollageOrder& order, const CollageSettings& settings)
{
    const int32_t columns = std::max(settings.columns, 1);
    const int32_t count = std::min(sourceCount, kMaxSources);
    for (int32_t j = 0; j < count; ++j) {
        const int32_t row = j / columns, column = j % columns;
        const int32_t index = order[size_t(j)];
        if (row >= kCollageRowsMax || index < 0 || index >= count)
            continue;
        // posY counts upward: each row lies one cell lower; normalising brings the last to 0.
        doc.placement[size_t(index)].posX = column * (settings.cellWidth + settings.gapX);
        doc.placement[size_t(index)].posY = -row * (settings.cellHeight + settings.gapY);
    }
    normalisePositions(doc, sourceCount);
}

int applyCollage(MergeWorkspace& workspace, Platform& platform, const CollageOrder& order,
    const CollageSettings& settings, const SavedPlacements& saved)
{
    CAlignDoc& doc = workspace.alignDoc;
    for (int32_t n = 1; n <= workspace.sourceCount; ++n) {
        const VIrorozIzi* source = workspace.source(n);
        if (!source)
            continue;
        const OriginalSize size = originalSize(*source);
        if (size.width <= 0 || size.height <= 0)
            continue;
        const auto i = size_t(n - 1);
        const double sx = collageScale(size.width, settings.cellWidth);
        const double sy = collageScale(size.height, settings.cellHeight);
        const bool changed = sx != doc.placement[i].scaleX || sy != doc.placement[i].scaleY
            || workspace.targetDoc.transformed[i].empty();
        doc.placement[i].scaleX = sx;
        doc.placement[i].scaleY = sy;
        if (!changed)
            continue;
        const int result = transformSource(workspace, platform, n);
        if (result != kTransformDone) {
            restorePlacements(workspace, platform, saved);
            showTakenBack(platform, "Collage", result);
            return result;
        }
    }
    layOutCollage(doc, workspace.sourceCount, order, settings);
    rebuildPreview(workspace, platform, 0);
    markTargetStale(workspace);
    return 0;
}

SavedPlacements savePlacements(const CAlignDoc& doc)
{
    return { doc.placement };
}

WorkspaceValues cancelledValues(const WorkspaceValues& now, const SavedPlacements& saved)
{
    WorkspaceValues values = now;
    for (size_t i = 0; i < values.placement.size(); ++i) {
        Placement& p = values.placement[i];
        const Placement& kept = saved.placement[i];
        p.posX = kept.posX;
        p.posY = kept.posY;
        p.scaleX = kept.scaleX;
        p.scaleY = kept.scaleY;
    }
    return values;
}

int restorePlacements(MergeWorkspace& workspace, Platform& platform, const SavedPlacements& saved)
{
    CAlignDoc& doc = workspace.alignDoc;
    int first = 0;
    bool moved = false;
    for (int32_t n = 1; n <= workspace.sourceCount; ++n) {
        const auto i = size_t(n - 1);
        moved = moved || doc.placement[i].posX != saved.placement[i].posX
            || doc.placement[i].posY != saved.placement[i].posY;
        const bool changed = doc.placement[i].scaleX != saved.placement[i].scaleX
            || doc.placement[i].scaleY != saved.placement[i].scaleY
            || workspace.targetDoc.transformed[i].empty();
        doc.placement[i].posX = saved.placement[i].posX;
        doc.placement[i].posY = saved.placement[i].posY;
        doc.placement[i].scaleX = saved.placement[i].scaleX;
        doc.placement[i].scaleY = saved.placement[i].scaleY;
        if (!changed)
            continue;
        moved = true;
        const int result = transformSource(workspace, platform, n);
        if (result != kTransformDone && first == 0)
            first = result;
    }
    rebuildPreview(workspace, platform, first);
    // A Cancel straight after opening changed nothing: the target stays current.
    if (moved)
        markTargetStale(workspace);
    return first;
}

std::optional<SwapPair> swapPairAt(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceCount)
{
    const int32_t w = width - 8, h = height - 12;
    // A control no larger than its margins has no cells.
    if (x < 8 || y < 12 || w <= 0 || h <= 0)
        return std::nullopt;
    const int32_t a = 8 * (x - 8) / w;
    const int32_t b = 7 * (y - 12) / h;
    if (b < sourceCount && a < sourceCount && b < a)
        return SwapPair { b + 1, a + 1 };
    return std::nullopt;
}

ViewPoint collageMapBox(int32_t cell, int32_t columns, int32_t sourceCount, int32_t pw, int32_t ph)
{
    columns = std::max(columns, 1);
    const int32_t x0 = pw / 2 - 9 * columns;
    const int32_t y0 = ph / 2 - 9 * (sourceCount / columns);
    return { x0 + 18 * (cell % columns), y0 + 18 * (cell / columns) };
}

} // namespace tessary
