#include "app/save_arrangement.h"

#include "app/arrangement.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/workspace.h"

namespace tessary {

namespace {
const std::string kLastArrangementDirectory = "Last Arrangement Directory";
}

bool saveArrangementCommand(const MergeWorkspace& workspace, Platform& platform)
{
    MergeLayout layout;
    std::string error;
    if (workspace.sourceCount == 0 || !captureArrangement(workspace, layout, error)) {
        platform.messageBox(workspace.sourceCount == 0 ? "There are no sources to save." : error,
            MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    FileDialogRequest request;
    request.title = "Save Arrangement";
    request.filter = kArrangementFilter;
    request.initialFolder = platform.getSettingText(settings::kSection, kLastArrangementDirectory, "");
    const auto chosen = platform.chooseSaveFile(request);
    if (!chosen || chosen->path.empty())
        return false;
    std::string path = chosen->path;
    const bool ending = path.size() > kArrangementEnding.size()
        && path.compare(path.size() - kArrangementEnding.size(), std::string::npos, kArrangementEnding) == 0;
    if (!ending && chosen->filterIndex <= 1)
        path += kArrangementEnding;
    const size_t slash = path.find_last_of('/');
    platform.setSettingText(settings::kSection, kLastArrangementDirectory,
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
    if (!writeMergeLayout(path, layout, error)) {
        platform.messageBox(error, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    return true;
}

} // namespace tessary
