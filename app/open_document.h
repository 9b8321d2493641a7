#pragma once
#include "app/open_image.h"
#include "app/source_opening.h"

#include <string>
#include <vector>

namespace tessary {

class MergeWorkspace;
class Platform;
class RecentFileList;

inline const std::string kProblemWithRecentFile
    = "There is a problem with this file???\nDo you wish to delete it from the MRU list ?";

// Opening by path as the recent-file entries and dropped files do: a file that is already
// loaded as a source only has its window brought to the front; any other file becomes a new
// source and enters the recent-file list. A ninth source is refused with
// "No more than 8 images allowed.".
OpenResult openDocumentFile(MergeWorkspace& workspace, Platform& platform, RecentFileList& recentFiles,
    const SourceOpening& opening, const std::string& path);

// Recent-file entry `index` (0-based): opens it by path; when it cannot be opened, asks whether
// to delete it from the list and deletes it on Yes.
OpenResult openRecentFile(MergeWorkspace& workspace, Platform& platform, RecentFileList& recentFiles,
    const SourceOpening& opening, int index);

// Files dropped on the main window, opened one after the other in the order given. Once eight
// sources are loaded the next file is refused and the rest of the drop is left alone, so the
// user sees the refusal once.
std::vector<OpenResult> openDroppedFiles(MergeWorkspace& workspace, Platform& platform,
    RecentFileList& recentFiles, const SourceOpening& opening, const std::vector<std::string>& paths);

} // namespace tessary
