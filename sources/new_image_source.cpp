#include "sources/new_image_source.h"

#include "app/places.h"
#include "app/platform.h"
#include "app/source_opening.h"
#include "app/workspace.h"
#include "sources/handoff.h"

namespace tessary {

bool roomForNewSource(MergeWorkspace& workspace, Platform& platform)
{
    return workspace.sourceCount < kMaxSources
        || platform.messageBox(kDestroyAllSourcesQuestion, MessageIcon::Question, MessageButtons::YesNo)
        == MessageAnswer::Yes;
}

bool makeImageSource(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening,
    const PackedDib& image, int32_t kind)
{
    if (!prepareHandoff(workspace, image, platform))
        return false;
    if (workspace.sourceCount >= kMaxSources && opening.closeAllSources)
        opening.closeAllSources();
    bool made = false;
    if (workspace.sourceCount < kMaxSources && opening.createNewSource) {
        workspace.app.pendingSourceKind = kind;
        made = opening.createNewSource();
    }
    releaseMaskedDib(workspace.handoffImage);
    workspace.handoffImage = MaskedDib();
    return made;
}

} // namespace tessary
