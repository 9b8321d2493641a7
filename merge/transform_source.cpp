#include "merge/transform_source.h"

#include "app/platform.h"
#include "app/workspace.h"
#include "merge/progress_colours.h"
#include "merge/transform_passes.h"

#include <string>

namespace tessary {

int transformImage(const MaskedDib& source, double sx, double sy, double angle, bool mirrored,
    Platform& platform, int32_t& progress, MaskedDib& out, PixelPath path)
{
    out = MaskedDib {};
    if (!source.dib)
        return kTransformNoSource;
    const int format = checkSourceFormat(*source.dib);
    if (format != kTransformDone)
        return format;

    const TransformGeometry g
        = computeTransformGeometry(source.width(), source.height(), sx, sy, angle, mirrored);
    if (!g.valid || allocateMaskedDib(g.newH, g.newW, out, 24) || allocateMask(out, 0)) {
        out = MaskedDib {};
        platform.messageBox(kNotEnoughMemoryText, MessageIcon::Error, MessageButtons::Ok);
        return kTransformOutOfMemory;
    }

    const bool finished = path == PixelPath::Accessor
        ? transformByAccessor(source, g, platform, progress, out)
        : transformByRows(source, g, platform, progress, out, path == PixelPath::RowsTwoThreads);
    if (!finished) {
        out = MaskedDib {};
        return kTransformAborted;
    }
    return kTransformDone;
}

int transformSource(MergeWorkspace& workspace, Platform& platform, int number, PixelPath path)
{
    platform.setStatusPaneText(0, kPressEscText);
    CDestdoc& target = workspace.targetDoc;
    target.generated = 0;
    VIrorozIzi* doc = number >= 1 && number <= workspace.sourceCount && number <= kMaxSources
        ? workspace.source(number)
        : nullptr;
    if (!doc) {
        platform.setStatusPaneText(0, "");
        return kTransformNoSource;
    }

    doc->changed = false;
    const size_t slot = size_t(number - 1);
    const double sx = workspace.alignDoc.scaleX[slot];
    const double sy = workspace.alignDoc.scaleY[slot];
    const double angle = workspace.alignDoc.rotation[slot];
    MaskedDib& out = target.transformed[slot];
    out = MaskedDib {};
    platform.setStatusPaneText(2, "process src: " + std::to_string(number));
    if (doc->image.empty())
        return kTransformNoSource;

    const int result = transformImage(
        doc->image, sx, sy, angle, target.mirrored[slot] != 0, platform, target.progress, out, path);
    switch (result) {
    case kTransformDone:
        platform.setStatusPaneText(2, "");
        platform.setStatusPaneText(0, "");
        platform.setProgress(100, kProgressDone);
        break;
    case kTransformAborted:
        doc->processedOk = false;
        platform.setProgress(100, kProgressDone);
        platform.setStatusPaneText(0, "");
        break;
    case kTransformUnsupported:
    case kTransformRle:
        platform.setStatusPaneText(0, "");
        break;
    default:
        break;
    }
    return result;
}

} // namespace tessary
