#include "merge/transform_source.h"

#include "app/long_operation.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "merge/invalidate_target.h"
#include "merge/progress_colours.h"
#include "merge/row_transformer.h"
#include "merge/transform_passes.h"
#include "merge/unmasked_image.h"

#include <string>

namespace tessary {

namespace {
// Scales of exactly 1024, no turn (A = B = 0) and no mirror put every target pixel on source
// pixel (col, r) with weights 65536, 0, 0, 0: the rows of a 24-bit bottom-up source come out
// unchanged, all but their padding, which the passes leave 0. With no transparent pixel in the
// source the mask comes out 65535 everywhere.
bool paddingIsZero(const PackedDib& dib)
{
    const size_t used = 3 * size_t(dib.width());
    for (int32_t r = 0; r < dib.height(); ++r)
        for (size_t i = used; i < dib.stride(); ++i)
            if (dib.row(r)[i] != 0)
                return false;
    return true;
}

bool isIdentityOnOpaque(const MaskedDib& source, const TransformGeometry& g)
{
    const BitmapInfoHeader h = source.dib->header();
    const uint64_t count = uint64_t(uint32_t(g.sourceWidth)) * uint64_t(uint32_t(g.sourceHeight));
    const bool opaque = (!source.mask.realValues() && !source.mask.spans()) || source.maskCount < count;
    return opaque && h.biBitCount == 24 && h.biCompression == 0 && h.biHeight > 0 && g.sx == 1024.0
        && g.sy == 1024.0 && g.A == 0 && g.B == 0 && g.C == 1024 && !g.mirrored && g.offX == 0 && g.offY == 0
        && g.newW == g.sourceWidth && g.newH == g.sourceHeight && g.newW > 0 && g.newH > 0
        && paddingIsZero(*source.dib);
}

// Rows transformed during a merge keep the source alive for the whole merge (with a 24-bit copy
// of another depth); a whole transformed image lets it go. True when the source is the smaller
// to keep, as for a source scaled up or turned; a source scaled down is transformed whole.
bool smallerToKeepSource(const MaskedDib& source, const TransformGeometry& g)
{
    const uint64_t pixels = uint64_t(uint32_t(g.sourceWidth)) * uint64_t(uint32_t(g.sourceHeight));
    const uint64_t kept = source.dib->size() + (source.dib->bitCount() == 24 ? 0 : 3 * pixels)
        + (source.mask.realValues() ? 2 * pixels : 0);
    const uint64_t whole = uint64_t(rowStride(g.newW, 24)) * uint64_t(uint32_t(g.newH));
    return kept <= whole;
}

// The identity on an opaque source: `out` shares the source's rows (copy-on-write) under the
// header the transformation writes, with the opaque fact for a mask. The rows are polled and
// shown as the pixel passes do. False when the user quit with Esc; `shared` false when the
// rows could not be shared (then nothing was polled).
bool shareIdentity(const MaskedDib& source, const TransformGeometry& g, Progress& status, int32_t& progress,
    MaskedDib& out, bool& shared)
{
    BitmapInfoHeader h;
    h.biWidth = g.newW;
    h.biHeight = g.newH;
    h.biBitCount = 24;
    h.biSizeImage = rowStride(g.newW, 24) * uint32_t(g.newH);
    out.dib = PackedDib::shareRows(*source.dib, h);
    shared = out.dib != nullptr;
    if (!shared || allocateMask(out, 0xFF))
        return shared = false;
    for (int32_t r = 0; r <= g.newH - 2; ++r) {
        if (status.pollEscape())
            return false;
        progress = 100 * r / g.newH;
        status.showProgress(progress, kProgressTransform);
    }
    return true;
}
}

int transformImage(const MaskedDib& source, double sx, double sy, double angle, bool mirrored,
    Progress& status, int32_t& progress, MaskedDib& out, PixelPath path)
{
    out = MaskedDib {};
    // A source whose mask is row spans (a transformed image) is read through the spans' whole
    // copy, made here where running out of memory can be reported.
    const int readable = checkTransformSource(source);
    if (readable != kTransformDone)
        return readable;

    const TransformGeometry g
        = computeTransformGeometry(source.width(), source.height(), sx, sy, angle, mirrored);
    // The accessor path stays the plain reference the shared result is compared with.
    if (g.valid && path != PixelPath::Accessor && isIdentityOnOpaque(source, g)) {
        bool shared = false;
        const bool finished = shareIdentity(source, g, status, progress, out, shared);
        if (shared && !finished) {
            out = MaskedDib {};
            return kTransformAborted;
        }
        if (shared)
            return kTransformDone;
        out = MaskedDib {};
    }
    // The row pass stores each mask row as row spans: a rotated picture is mostly 0 outside
    // and 65535 inside.
    if (!g.valid || allocateUnmaskedImage(g.newH, g.newW, out)
        || (path == PixelPath::Accessor ? allocateMask(out, 0) : allocateSpanMask(out))) {
        out = MaskedDib {};
        return kTransformOutOfMemory;
    }

    const int result = path == PixelPath::Accessor
        ? (transformByAccessor(source, g, status, progress, out) ? kTransformDone : kTransformAborted)
        : transformByRows(source, g, status, progress, out, path == PixelPath::RowsTwoThreads);
    if (result != kTransformDone) {
        out = MaskedDib {};
        return result;
    }
    // A picture that came out opaque everywhere keeps only that fact.
    out.mask.collapseIfOpaque();
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
    const double sx = workspace.alignDoc.placement[slot].scaleX;
    const double sy = workspace.alignDoc.placement[slot].scaleY;
    const double angle = workspace.alignDoc.placement[slot].rotation;
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

int transformSourceForMerge(MergeWorkspace& workspace, Platform& platform, int number, RowTransformer& rows)
{
    VIrorozIzi* doc = number >= 1 && number <= workspace.sourceCount && number <= kMaxSources
        ? workspace.source(number)
        : nullptr;
    if (!doc || checkTransformSource(doc->image) != kTransformDone)
        return transformSource(workspace, platform, number);
    const size_t slot = size_t(number - 1);
    CDestdoc& target = workspace.targetDoc;
    const TransformGeometry g = computeTransformGeometry(doc->image.width(), doc->image.height(),
        workspace.alignDoc.placement[slot].scaleX, workspace.alignDoc.placement[slot].scaleY, workspace.alignDoc.placement[slot].rotation,
        target.mirrored[slot] != 0);
    if (!g.valid || isIdentityOnOpaque(doc->image, g) || !smallerToKeepSource(doc->image, g))
        return transformSource(workspace, platform, number);

    invalidateTarget(workspace);
    doc->changed = false;
    target.transformed[slot] = MaskedDib {};
    if (!rows.prepare(doc->image, g)) {
        platform.messageBox(kNotEnoughMemoryText, MessageIcon::Error, MessageButtons::Ok);
        return kTransformOutOfMemory;
    }
    return kTransformDone;
}

} // namespace tessary
