#include "app/open_image.h"

#include "app/places.h"
#include "app/platform.h"
#include "app/recent_files.h"
#include "app/settings.h"
#include "app/workspace.h"

namespace tessary {

std::string openImageTitle(const MergeWorkspace& workspace)
{
    if (workspace.hideLoadButtons == 1)
        return "Select watermarking image file";
    return "Open Source Window " + std::to_string(workspace.sourceCount + 1);
}

FileDialogRequest openImageRequest(Platform& platform, const std::string& title)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = kOpenImageFilter;
    request.initialFolder = platform.getSettingText(settings::kSection, settings::kLastOpenDirectory, "");
    request.filterIndex = platform.getSettingInt(settings::kSection, settings::kLastOpenExtension, 0);
    if (request.filterIndex < 1 || request.filterIndex > kImageFilesFilter)
        request.filterIndex = kImageFilesFilter;
    return request;
}

OpenResult openImage(
    MergeWorkspace& workspace, Platform& platform, RecentFileList& recentFiles, const SourceOpening& opening)
{
    if (workspace.sourceCount >= kMaxSources) {
        platform.messageBox(kNoMoreThan8Images, MessageIcon::Error, MessageButtons::Ok);
        return OpenResult::Refused;
    }

    const auto chosen = platform.chooseOpenFile(openImageRequest(platform, openImageTitle(workspace)));
    if (!chosen || chosen->path.empty())
        return OpenResult::Cancelled;

    platform.setSettingInt(settings::kSection, settings::kLastOpenExtension, chosen->filterIndex);
    const size_t slash = chosen->path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : chosen->path.substr(0, slash + 1);
    platform.setSettingText(settings::kSection, settings::kLastOpenDirectory, folder);

    workspace.app.pendingSourceKind = kSourceImageFile;
    if (!opening.openSourceFile || !opening.openSourceFile(chosen->path))
        return OpenResult::NotCreated;
    recentFiles.add(chosen->path);
    recentFiles.write(platform);
    return OpenResult::Created;
}

} // namespace tessary
