#include "sources/edit_text.h"

#include "align/activate_align_view.h"
#include "app/edit_path.h"
#include "app/workspace.h"
#include "sources/source_doc.h"
#include "sources/source_edited.h"
#include "sources/text_render.h"

#include <optional>
#include <string>

namespace tessary {

namespace {
// What a source looked like before a Try Text replaced its image.
struct SourceBefore {
    MaskedDib image;
    int32_t width = 1;
    int32_t height = 1;
    std::string title;
    int32_t kind = kSourceText;
};

void restore(VIrorozIzi& doc, SourceBefore& before)
{
    doc.image = std::move(before.image);
    doc.imageWidth = before.width;
    doc.imageHeight = before.height;
    doc.title = before.title;
    doc.sourceKind = before.kind;
}
}

TextEntryResult editText(MergeWorkspace& workspace, Platform& platform, VIrorozIzi& doc, int mode,
    const TextEntryDialog& dialog, PixelPath path, const std::string& stepName)
{
    std::string committedText = doc.textBuffer;
    std::optional<SourceBefore> before;

    // Renders the stored text; the image it replaces is kept once, for Cancel.
    auto renderAndAdopt = [&]() {
        std::optional<MaskedDib> image = renderTextImage(doc, platform);
        if (!image)
            return false;
        if (mode == 1 && !before)
            before = SourceBefore { std::move(doc.image), doc.imageWidth, doc.imageHeight, doc.title,
                doc.sourceKind };
        adoptTextImage(doc, std::move(*image));
        return true;
    };
    auto tryText = [&]() {
        committedText = doc.textBuffer;
        if (!renderAndAdopt())
            return;
        sourceEdited(workspace, doc.number());
        retransformChangedSources(workspace, platform, path);
    };

    const bool ok
        = dialog && dialog(doc, mode, mode == 1 ? std::function<void()>(tryText) : std::function<void()>());
    if (ok && renderAndAdopt()) {
        // Editing a source's text again is one undo step of its image, however many Try Texts
        // came first (Cancel would have taken those back).
        if (mode == 1 && before)
            recordImageEdit(workspace, platform, doc.number(), stepName,
                SourceImageBefore { std::move(before->image), doc.editedInWindow });
        return TextEntryResult::Rendered;
    }
    if (!ok)
        doc.textBuffer = committedText;
    if (!before)
        return TextEntryResult::Unchanged;
    restore(doc, *before);
    sourceEdited(workspace, doc.number());
    return TextEntryResult::Restored;
}

} // namespace tessary
