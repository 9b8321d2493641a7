#include "sources/handoff.h"

#include "app/platform.h"
#include "app/workspace.h"
#include "image/cx_image.h"
#include "sources/copy_to_24bit.h"
#include "sources/source_doc.h"

namespace tessary {

bool copyOpaque24(const PackedDib& image, MaskedDib& target, Platform& platform)
{
    MaskedDib copy;
    if (copyTo24Bit(image, copy, &platform)) {
        platform.messageBox(kRunOutOfMemory, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    target = std::move(copy);
    return true;
}

bool prepareHandoff(MergeWorkspace& workspace, const PackedDib& image, Platform& platform)
{
    releaseMaskedDib(workspace.handoffImage);
    return copyOpaque24(image, workspace.handoffImage, platform);
}

bool adoptHandoff(MergeWorkspace& workspace, VIrorozIzi& doc, int32_t kind)
{
    if (workspace.handoffImage.empty())
        return false;
    doc.image = std::move(workspace.handoffImage);
    workspace.handoffImage = MaskedDib();
    doc.imageWidth = doc.image.width();
    doc.imageHeight = doc.image.height();
    doc.title = kind == kSourceTargetCopy ? kTargetToSourceTitle : kPastedImageTitle;
    doc.sourceKind = kind;
    return true;
}

} // namespace tessary
