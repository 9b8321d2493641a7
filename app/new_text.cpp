#include "app/new_text.h"

#include "app/places.h"
#include "app/platform.h"
#include "app/workspace.h"

namespace tessary {

OpenResult newText(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening)
{
    if (workspace.sourceCount >= kMaxSources) {
        platform.messageBox(kNoMoreThan8SourceImages, MessageIcon::Error, MessageButtons::Ok);
        return OpenResult::Refused;
    }
    workspace.app.pendingSourceKind = kSourceText;
    const bool made = opening.createNewSource && opening.createNewSource();
    if (workspace.app.pendingSourceKind == kSourceTextCancelled)
        return OpenResult::Cancelled;
    return made ? OpenResult::Created : OpenResult::NotCreated;
}

} // namespace tessary
