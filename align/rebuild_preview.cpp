#include "align/rebuild_preview.h"

#include "align/layout_extent.h"
#include "align/preview_layout.h"
#include "align/preview_sampling.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "merge/invalidate_target.h"
#include "merge/progress_colours.h"

#include <algorithm>
#include <cstdlib>

namespace tessary {

namespace {
void announce(MergeWorkspace& workspace)
{
    workspace.notify([](WorkspaceObserver& o) { o.previewRebuilt(); });
}

void failMissingSource(MergeWorkspace& workspace, Platform& platform, int status)
{
    platform.messageBox(status == kPreviewAborted ? kPreviewAbortedText : kPreviewImpossibleText,
        MessageIcon::Error, MessageButtons::Ok);
    CAlignDoc& doc = workspace.alignDoc;
    doc.preview = MaskedDib {};
    doc.previewValid = 0;
    doc.previewStatus = status;
    doc.layoutWidth = 0;
    doc.layoutHeight = 0;
    discardTargetImage(workspace);
    announce(workspace);
}
}

void rebuildPreview(MergeWorkspace& workspace, Platform& platform, int status, PixelPath path)
{
    // The old preview stays on screen until the new one replaces it or a failure is recorded,
    // so that any message shown on the way has the old picture behind it.
    CAlignDoc& doc = workspace.alignDoc;
    doc.noOverlap = 1;
    doc.previewStatus = kPreviewOk;

    const int32_t count = std::clamp(workspace.sourceCount, 0, kMaxSources);
    if (count < 2) {
        doc.preview = MaskedDib {};
        announce(workspace);
        return;
    }

    PerPlace<MaskedDib>& transformed = workspace.targetDoc.transformed;
    for (int32_t j = 0; j < count; ++j) {
        if (!workspace.documents[size_t(j)] || transformed[size_t(j)].empty()) {
            failMissingSource(workspace, platform, status);
            return;
        }
    }

    const LayoutExtent extent = layoutExtent(doc, transformed, count);
    doc.layoutWidth = extent.width;
    doc.layoutHeight = extent.height;

    if (doc.alignViewHeight < 1) {
        platform.messageBox(kHeightTooSmallText, MessageIcon::Plain, MessageButtons::Ok);
        doc.alignViewHeight = 1;
    }
    if (doc.alignViewWidth < 1)
        doc.alignViewWidth = 1;

    const PreviewGeometry g
        = previewGeometry(doc.layoutWidth, doc.layoutHeight, doc.alignViewWidth, doc.alignViewHeight);
    doc.viewScale = g.viewScale;
    doc.previewWidth = g.previewWidth;
    doc.previewHeight = g.previewHeight;
    doc.previewLeft = g.previewLeft;
    doc.previewTop = g.previewTop;

    for (int32_t j = 0; j < count; ++j) {
        const size_t s = size_t(j);
        VIrorozIzi& source = *workspace.documents[s];
        OutlineInput in;
        in.imageWidth = source.imageWidth;
        in.imageHeight = source.imageHeight == INT32_MIN ? INT32_MAX : std::abs(source.imageHeight);
        in.scaleX = doc.placement[s].scaleX;
        in.scaleY = doc.placement[s].scaleY;
        in.rotation = doc.placement[s].rotation;
        in.posX = doc.placement[s].posX;
        in.posY = doc.placement[s].posY;
        in.transformedWidth = transformed[s].width();
        in.transformedHeight = transformed[s].height();
        const SourceOutline o = sourceOutline(in, g);
        doc.outline[s] = o.corners;
        if (source.sourceKind == kSourceText)
            source.textPreviewTiny = textTooSmall(o);
    }

    MaskedDib preview;
    if (allocateMaskedDib(doc.previewHeight, doc.previewWidth, preview, 24)) {
        platform.messageBox(kNotEnoughMemoryText, MessageIcon::Error, MessageButtons::Ok);
        doc.preview = MaskedDib {};
        doc.previewStatus = kPreviewOutOfMemory;
        announce(workspace);
        return;
    }

    PerPlace<PreviewLayer> layers {};
    for (int32_t j = 0; j < count; ++j)
        layers[size_t(j)]
            = PreviewLayer { &transformed[size_t(j)], doc.placement[size_t(j)].posX, doc.placement[size_t(j)].posY };
    const bool overlap = samplePreview(preview, doc.viewScale,
        std::span<const PreviewLayer>(layers.data(), size_t(count)), doc.previewPale == 1, path);
    if (overlap)
        doc.noOverlap = 0;

    doc.preview = std::move(preview);
    doc.previewValid = 1;
    announce(workspace);
}

} // namespace tessary
