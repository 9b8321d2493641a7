#include "sources/reload_source.h"

#include "align/activate_align_view.h"
#include "app/edit_path.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "sources/dib_block.h"
#include "sources/handoff.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "sources/source_edited.h"

namespace tessary {

namespace {
bool takeImage(VIrorozIzi& doc, const PackedDib& image, Platform& platform)
{
    if (!copyOpaque24(image, doc.image, platform))
        return false;
    doc.imageWidth = doc.image.width();
    doc.imageHeight = doc.image.height();
    return true;
}

bool reloadPaste(VIrorozIzi& doc, Platform& platform)
{
    const std::optional<std::vector<uint8_t>> block = platform.clipboardImage();
    const std::unique_ptr<PackedDib> image = block ? dibFromBlock(*block) : nullptr;
    if (!image)
        return false;
    platform.messageBox(kReinstateClipboardText, MessageIcon::Plain, MessageButtons::Ok);
    return takeImage(doc, *image, platform);
}

bool reloadText(MergeWorkspace& workspace, VIrorozIzi& doc, Platform& platform, const TextEntryDialog& dialog,
    PixelPath path)
{
    platform.messageBox(kRevertTextText, MessageIcon::Plain, MessageButtons::Ok);
    const TextEntryResult result = editText(workspace, platform, doc, 1, dialog, path, "Reload Source");
    // A new or restored image marked the source edited already.
    if (result == TextEntryResult::Unchanged)
        sourceEdited(workspace, doc.number());
    retransformChangedSources(workspace, platform, path);
    return result != TextEntryResult::Unchanged;
}

bool reloadTargetCopy(MergeWorkspace& workspace, VIrorozIzi& doc, Platform& platform)
{
    const PackedDib* target = workspace.targetDoc.targetImage.get();
    if (!target) {
        platform.messageBox(kTargetNotPresentQuestionText, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    if (platform.messageBox(kCopyTargetAgainQuestion, MessageIcon::Question, MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return false;
    return takeImage(doc, *target, platform);
}

bool reloadFile(VIrorozIzi& doc, Platform& platform)
{
    // The loader replaces the image only once the file decoded.
    const std::string path = doc.filePath;
    return fileOpensForReading(path, platform) && loadImageFile(doc, path, platform);
}

// A reload that replaces the image: the image from before goes into the undo step (moved aside
// while the new one is made, and back if none is made).
template <class Reload>
bool reloadImage(MergeWorkspace& workspace, Platform& platform, VIrorozIzi& doc, Reload reload)
{
    SourceImageBefore before { std::move(doc.image), doc.editedInWindow };
    if (!reload()) {
        doc.image = std::move(before.image);
        return false;
    }
    recordImageEdit(workspace, platform, doc.number(), "Reload Source", std::move(before));
    return true;
}
}

bool reloadSource(MergeWorkspace& workspace, Platform& platform, VIrorozIzi& doc,
    const TextEntryDialog& dialog, PixelPath path)
{
    bool reloaded = false;
    switch (doc.sourceKind) {
    case kSourcePaste:
        reloaded = reloadImage(workspace, platform, doc, [&] { return reloadPaste(doc, platform); });
        break;
    case kSourceText:
        reloaded = reloadText(workspace, doc, platform, dialog, path);
        break;
    case kSourceTargetCopy:
        reloaded = reloadImage(workspace, platform, doc, [&] { return reloadTargetCopy(workspace, doc, platform); });
        break;
    default:
        reloaded = reloadImage(workspace, platform, doc, [&] { return reloadFile(doc, platform); });
    }
    // The reloaded image is the source as it was made (the step keeps that for its redo).
    if (reloaded)
        doc.editedInWindow = false;
    return reloaded;
}

} // namespace tessary
