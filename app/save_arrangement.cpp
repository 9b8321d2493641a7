#include "app/save_arrangement.h"

#include "app/arrangement.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/workspace.h"
#include "output/write_image_file.h"
#include "sources/source_doc.h"

namespace tessary {

namespace {
const std::string kLastArrangementDirectory = "Last Arrangement Directory";
}

FileDialogRequest arrangementChooserRequest(Platform& platform, const std::string& title)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = kArrangementFilter;
    request.initialFolder = platform.getSettingText(settings::kSection, kLastArrangementDirectory, "");
    return request;
}

void rememberArrangementFolder(Platform& platform, const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    platform.setSettingText(settings::kSection, kLastArrangementDirectory,
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
}

bool saveArrangementCommand(const MergeWorkspace& workspace, Platform& platform)
{
    if (workspace.sourceCount == 0) {
        platform.messageBox("There are no sources to save.", MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    const auto chosen = platform.chooseSaveFile(arrangementChooserRequest(platform, "Save Arrangement"));
    if (!chosen || chosen->path.empty())
        return false;
    std::string path = chosen->path;
    const bool ending = path.size() > kArrangementEnding.size()
        && path.compare(path.size() - kArrangementEnding.size(), std::string::npos, kArrangementEnding) == 0;
    if (!ending && chosen->filterIndex <= 1)
        path += kArrangementEnding;
    rememberArrangementFolder(platform, path);

    MergeLayout layout;
    std::vector<ImageBesideArrangement> beside;
    captureArrangement(workspace, path, layout, beside);
    // Images without a file of their own go beside the arrangement first, so that the
    // arrangement never names a file that was not written.
    for (const ImageBesideArrangement& image : beside) {
        const VIrorozIzi* doc = workspace.documents[image.slot].get();
        if (!doc || !doc->image.dib || !writeImageFile(*doc->image.dib, image.path)) {
            platform.messageBox("The image of source " + std::to_string(image.slot + 1)
                    + " could not be written to " + image.path + ": the arrangement was not saved.",
                MessageIcon::Error, MessageButtons::Ok);
            return false;
        }
    }
    std::string error;
    if (!writeMergeLayout(path, layout, error)) {
        platform.messageBox(error, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    std::string notKept;
    for (const auto& doc : workspace.documents)
        if (doc && doc->editedInWindow && (doc->sourceKind == kSourceImageFile || doc->sourceKind == kSourceText))
            notKept += "\nSource " + std::to_string(doc->number()) + " (" + doc->title + ")";
    if (!notKept.empty())
        platform.messageBox(kEditsNotKept + notKept, MessageIcon::Information, MessageButtons::Ok);
    return true;
}

} // namespace tessary
