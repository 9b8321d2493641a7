#include "merge/transform_source.h"

#include "app/long_operation.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "image/clear_mask.h"
#include "merge/invalidate_target.h"
#include "merge/progress_colours.h"
#include "merge/transform_passes.h"
#include "merge/unmasked_image.h"

#include <string>

namespace tessary {

int transformImage(const MaskedDib& source, double sx, double sy, double angle, bool mirrored,
    Progress& status, int32_t& progress, MaskedDib& out, PixelPath path)
{
    out = MaskedDib {};
    if (!source.dib)
        return kTransformNoSource;
    const int format = checkSourceFormat(*source.dib);
    if (format != kTransformDone)
        return format;

    const TransformGeometry g
        = computeTransformGeometry(source.width(), source.height(), sx, sy, angle, mirrored);
    // The row passes clear each mask row themselves, on both threads.
    if (!g.valid || allocateUnmaskedImage(g.newH, g.newW, out)
        || allocateClearMask(out, path == PixelPath::Accessor)) {
        out = MaskedDib {};
        return kTransformOutOfMemory;
    }

    const bool finished = path == PixelPath::Accessor
        ? transformByAccessor(source, g, status, progress, out)
        : transformByRows(source, g, status, progress, out, path == PixelPath::RowsTwoThreads);
    if (!finished) {
        out = MaskedDib {};
        return kTransformAborted;
    }
    return kTransformDone;
}

int transformSource(MergeWorkspace& workspace, Platform& platform, int number, PixelPath path)
{
    LongOperation operation(platform);
    operation.showPaneText(0, kPressEscText);
    invalidateTarget(workspace);
    VIrorozIzi* doc = number >= 1 && number <= workspace.sourceCount && number <= kMaxSources
        ? workspace.source(number)
        : nullptr;
    if (!doc)
        return kTransformNoSource;

    doc->changed = false;
    CDestdoc& target = workspace.targetDoc;
    const size_t slot = size_t(number - 1);
    const double sx = workspace.alignDoc.scaleX[slot];
    const double sy = workspace.alignDoc.scaleY[slot];
    const double angle = workspace.alignDoc.rotation[slot];
    MaskedDib& out = target.transformed[slot];
    out = MaskedDib {};
    operation.showPaneText(2, "process src: " + std::to_string(number));
    if (doc->image.empty())
        return kTransformNoSource;

    const int result = transformImage(
        doc->image, sx, sy, angle, target.mirrored[slot] != 0, operation, target.progress, out, path);
    switch (result) {
    case kTransformDone:
        operation.showProgress(100, kProgressDone);
        break;
    case kTransformAborted:
        doc->processedOk = false;
        operation.showProgress(100, kProgressDone);
        break;
    case kTransformOutOfMemory:
        platform.messageBox(kNotEnoughMemoryText, MessageIcon::Error, MessageButtons::Ok);
        break;
    default:
        break;
    }
    // Panes 0 and 2 go back to what they showed when the operation ends.
    return result;
}

} // namespace tessary
