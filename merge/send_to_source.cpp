#include "merge/send_to_source.h"

#include "app/platform.h"
#include "app/workspace.h"
#include "sources/new_image_source.h"
#include "sources/source_doc.h"

namespace tessary {

bool sendToNewSource(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening)
{
    if (!roomForNewSource(workspace, platform))
        return false;
    const PackedDib* target = workspace.targetDoc.targetImage.get();
    if (!target) {
        platform.messageBox(kTargetNotPresentText, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    if (workspace.targetDoc.generated == 0) {
        platform.messageBox(kTargetNotUpdatedText, MessageIcon::Plain, MessageButtons::Ok);
        return false;
    }
    return makeImageSource(workspace, platform, opening, *target, kSourceTargetCopy);
}

} // namespace tessary
