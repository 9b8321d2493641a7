#include "app/save_arrangement.h"

#include "app/arrangement.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/workspace.h"
#include "output/write_image_file.h"
#include "sources/source_doc.h"

#include <algorithm>
#include <filesystem>

namespace tessary {

namespace {
namespace fs = std::filesystem;

const std::string kLastArrangementDirectory = "Last Arrangement Directory";

// The same file by name, or through a link (equivalent also catches hard links).
bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ea, eb, ec;
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    if (!ea && !eb && ca == cb)
        return true;
    return fs::equivalent(a, b, ec) && !ec;
}

bool exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// Gives every image kept beside the arrangement a name that is not one of the arrangement's own
// source files, nor taken by an earlier such image: a pasted source must never overwrite a
// picture the arrangement itself loads. A name that must change becomes "<name>-<k>.png" with
// the first k from 2 that names no file at all. The layout's entries follow the new names.
void keepSourceFilesApart(
    const MergeWorkspace& workspace, MergeLayout& layout, std::vector<ImageBesideArrangement>& beside)
{
    std::vector<std::string> sourceFiles;
    for (const auto& doc : workspace.documents)
        if (doc && doc->sourceKind == kSourceImageFile && !doc->filePath.empty())
            sourceFiles.push_back(doc->filePath);
    const auto taken = [&](const std::string& name, size_t before) {
        for (const std::string& file : sourceFiles)
            if (sameFile(name, file))
                return true;
        for (size_t j = 0; j < before; ++j)
            if (sameFile(name, beside[j].path))
                return true;
        return false;
    };
    for (size_t i = 0; i < beside.size(); ++i) {
        const std::string first = beside[i].path;
        if (!taken(first, i))
            continue;
        const std::string stem = first.substr(0, first.size() - 4); // without ".png"
        std::string name;
        for (int k = 2;; ++k) {
            name = stem + "-" + std::to_string(k) + ".png";
            if (!taken(name, i) && !exists(name))
                break;
        }
        // The layout lists the loaded places in order, without the empty ones.
        const size_t entry = size_t(std::count_if(workspace.documents.begin(),
            workspace.documents.begin() + std::ptrdiff_t(beside[i].slot),
            [](const auto& doc) { return doc != nullptr; }));
        if (entry < layout.sources.size())
            layout.sources[entry].file = name;
        beside[i].path = name;
    }
}

// One question before any image beside the arrangement replaces a file that is there already.
bool mayReplaceImagesBeside(const std::vector<ImageBesideArrangement>& beside, Platform& platform)
{
    std::vector<std::string> present;
    for (const ImageBesideArrangement& image : beside)
        if (exists(image.path))
            present.push_back(image.path);
    if (present.empty())
        return true;
    std::string question = present.size() == 1 ? present[0] + " already exists. Do you want to replace it?"
                                               : "These files already exist:";
    if (present.size() > 1) {
        for (const std::string& path : present)
            question += "\n" + path;
        question += "\nDo you want to replace them?";
    }
    return platform.messageBox(question, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
}
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
    keepSourceFilesApart(workspace, layout, beside);
    if (!mayReplaceImagesBeside(beside, platform))
        return false;
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
        if (doc && doc->editedInWindow
            && (doc->sourceKind == kSourceImageFile || doc->sourceKind == kSourceText))
            notKept += "\nSource " + std::to_string(doc->number()) + " (" + doc->title + ")";
    if (!notKept.empty())
        platform.messageBox(kEditsNotKept + notKept, MessageIcon::Information, MessageButtons::Ok);
    return true;
}

} // namespace tessary
