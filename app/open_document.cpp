#include "app/open_document.h"

#include "app/places.h"
#include "app/platform.h"
#include "app/recent_files.h"
#include "app/workspace.h"

namespace tessary {

OpenResult openDocumentFile(MergeWorkspace& workspace, Platform& platform, RecentFileList& recentFiles,
    const SourceOpening& opening, const std::string& path)
{
    if (workspace.sourceCount >= kMaxSources) {
        platform.messageBox(kNoMoreThan8Images, MessageIcon::Error, MessageButtons::Ok);
        return OpenResult::Refused;
    }
    for (int i = 0; i < workspace.sourceCount; ++i) {
        const VIrorozIzi* doc = workspace.documents[size_t(i)].get();
        if (doc && doc->filePath == path) {
            if (opening.activateSource)
                opening.activateSource(i + 1);
            return OpenResult::Activated;
        }
    }
    workspace.app.pendingSourceKind = kSourceImageFile;
    if (!opening.openSourceFile || !opening.openSourceFile(path))
        return OpenResult::NotCreated;
    recentFiles.add(path);
    recentFiles.write(platform);
    return OpenResult::Created;
}

OpenResult openRecentFile(MergeWorkspace& workspace, Platform& platform, RecentFileList& recentFiles,
    const SourceOpening& opening, int index)
{
    if (index < 0 || index >= recentFiles.size())
        return OpenResult::NotCreated;
    // The entry may move or go while it is opened: work on a copy of its path.
    const std::string path = recentFiles.entries()[size_t(index)];
    const OpenResult result = openDocumentFile(workspace, platform, recentFiles, opening, path);
    if (result == OpenResult::NotCreated
        && platform.messageBox(kProblemWithRecentFile, MessageIcon::Question, MessageButtons::YesNo)
            == MessageAnswer::Yes) {
        recentFiles.remove(index);
        recentFiles.write(platform);
    }
    return result;
}

std::vector<OpenResult> openDroppedFiles(MergeWorkspace& workspace, Platform& platform,
    RecentFileList& recentFiles, const SourceOpening& opening, const std::vector<std::string>& paths)
{
    std::vector<OpenResult> results;
    for (const std::string& path : paths) {
        results.push_back(openDocumentFile(workspace, platform, recentFiles, opening, path));
        if (results.back() == OpenResult::Refused)
            break;
    }
    return results;
}

} // namespace tessary
