#include "align/edit_selected_text.h"

#include "align/mark_target_stale.h"
#include "align/rebuild_preview.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "merge/transform_source.h"
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
    if (editText(workspace, platform, *doc, 1, dialog, path) == TextEntryResult::Unchanged)
        return;
    const int status = transformSource(workspace, platform, number, path);
    rebuildPreview(workspace, platform, status, path);
    markTargetStale(workspace);
}

} // namespace tessary
