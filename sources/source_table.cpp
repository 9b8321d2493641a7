#include "sources/source_table.h"

#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "align/rebuild_preview.h"
#include "align/select_source.h"
#include "app/places.h"
#include "app/workspace.h"
#include "merge/invalidate_target.h"
#include "merge/transform_geometry.h"
#include "merge/transform_source.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"

#include <memory>

namespace tessary {

VIrorozIzi* constructSource(MergeWorkspace& workspace)
{
    if (workspace.sourceCount < 0 || workspace.sourceCount >= kMaxSources)
        return nullptr;
    auto doc = std::make_unique<VIrorozIzi>();
    doc->slotIndex = workspace.sourceCount;
    doc->loadOptions = workspace.loadOptions;
    VIrorozIzi* raw = doc.get();
    workspace.documents[size_t(workspace.sourceCount)] = std::move(doc);
    ++workspace.sourceCount;
    workspace.notify([](WorkspaceObserver& o) { o.sourcesRenumbered(); });
    return raw;
}

void discardUnmadeSource(MergeWorkspace& workspace, int number)
{
    if (number < 1 || number != workspace.sourceCount)
        return;
    const size_t slot = size_t(number - 1);
    workspace.documents[slot].reset();
    if (--workspace.sourceCount < 2)
        workspace.alignDoc.previewValid = 0;
    workspace.alignDoc.outline[slot].reset();
    workspace.notify([](WorkspaceObserver& o) { o.sourcesRenumbered(); });
}

VIrorozIzi* constructFilledSource(MergeWorkspace& workspace, const std::function<bool(VIrorozIzi&)>& fill)
{
    VIrorozIzi* doc = constructSource(workspace);
    if (!doc)
        return nullptr;
    if (!fill(*doc)) {
        discardUnmadeSource(workspace, doc->number());
        return nullptr;
    }
    return doc;
}

bool loadSourceFile(VIrorozIzi& doc, const std::string& path, Platform& platform)
{
    if (!loadImageFile(doc, path, platform))
        return false;
    doc.title = sourceTitleForPath(path);
    return true;
}

std::string sourceTitleForPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int showNewSource(MergeWorkspace& workspace, Platform& platform, int number, PixelPath path)
{
    workspace.equalBiasWeights();
    workspace.mergeType = kMergeAverage;
    workspace.history.sourceAdded(workspace, number);
    workspace.history.mergeValuesReset(workspace);
    workspace.notify([](WorkspaceObserver& o) { o.historyChanged(); });
    const int result = transformSource(workspace, platform, number, path);
    if (result == kTransformDone)
        selectSource(workspace, number);
    if (workspace.sourceCount >= 2) {
        rebuildPreview(workspace, platform, result, path);
        markTargetStale(workspace);
    }
    return result;
}

void closeSource(MergeWorkspace& workspace, Platform& platform, int number, const SourceClosingHooks& hooks,
    PixelPath path)
{
    if (number < 1 || number > workspace.sourceCount || number > kMaxSources)
        return;
    const int closed = number - 1;
    VIrorozIzi* doc = workspace.documents[size_t(closed)].get();
    if (!doc)
        return;

    // 1.
    doc->changed = false;
    const int count = --workspace.sourceCount;

    // 3. Every per-place table moves down before anything can activate a window: activating
    // the Align Window re-transforms changed sources by place, so a half-moved table would put
    // one source's image into another's place. The document table moves here too; the closed
    // document is held until the preview has been rebuilt without it.
    if (hooks.moveWindows)
        hooks.moveWindows(closed, count);
    CAlignDoc& align = workspace.alignDoc;
    align.compactPlacements(closed, count);
    workspace.targetDoc.compactPlaces(closed, count);
    std::unique_ptr<VIrorozIzi> closedDoc = std::move(workspace.documents[size_t(closed)]);
    for (int i = closed; i < count; ++i) {
        workspace.documents[size_t(i)] = std::move(workspace.documents[size_t(i) + 1]);
        if (workspace.documents[size_t(i)])
            workspace.documents[size_t(i)]->slotIndex = i;
    }
    workspace.documents[size_t(count)].reset();
    workspace.notify([](WorkspaceObserver& o) { o.sourcesRenumbered(); });
    // The freed place has no source any more: its outline and layer levels mean nothing and go
    // back to their construction values with the rest of the place, so that a source loaded
    // into it later does not inherit the closed source's layer.
    align.outline[size_t(count)].reset();
    align.placement[size_t(count)].topLevel = -1;
    align.placement[size_t(count)].bottomLevel = -1;

    // 2.
    // With fewer than two sources the Target Window goes back to its empty state: without
    // anything to merge it shows no "Load Target" button.
    if (count < 2) {
        // Without two sources there is no preview to work on.
        workspace.alignDoc.previewValid = 0;
        if (hooks.fewerThanTwoRemain)
            hooks.fewerThanTwoRemain();
    }
    workspace.targetDoc.title = count < 2 ? kTargetWindowTitle : kTargetStaleTitle;
    discardTargetImage(workspace);

    // 4.
    normalisePositions(align, count);

    // 5.
    for (int i = 0; i < count; ++i) {
        align.placement[size_t(i)].topLevel = -1;
        align.placement[size_t(i)].bottomLevel = -1;
    }
    workspace.equalBiasWeights();
    // The history follows: the closed source's own steps go, the others are renumbered, and
    // the weights and layers just reset can no longer be undone.
    workspace.history.sourceClosed(number, count);
    workspace.history.mergeValuesReset(workspace);
    workspace.notify([](WorkspaceObserver& o) { o.historyChanged(); });

    // 6.
    if (hooks.alignToFront)
        hooks.alignToFront(count >= 2);

    // 7.
    rebuildPreview(workspace, platform, 0, path);
    releaseMaskedDib(closedDoc->image);
    closedDoc.reset();
}

} // namespace tessary
