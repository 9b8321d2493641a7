#include "align/edit_selected_text.h"

#include "align/activate_align_view.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "sources/source_doc.h"

namespace tessary {

void editSelectedText(
    MergeWorkspace& workspace, Platform& platform, const TextEntryDialog& dialog, PixelPath path)
{
    const int number = workspace.alignView.selectedSource;
    VIrorozIzi* doc = number >= 1 && number <= workspace.sourceCount ? workspace.source(number) : nullptr;
    if (!doc)
        return;
    if (doc->sourceKind != kSourceText
        && platform.messageBox(kConvertToTextQuestion, MessageIcon::Question, MessageButtons::YesNo)
            != MessageAnswer::Yes)
        return;
    if (editText(workspace, platform, *doc, 1, dialog, path) != TextEntryResult::Unchanged)
        retransformChangedSources(workspace, platform, path);
}

} // namespace tessary
