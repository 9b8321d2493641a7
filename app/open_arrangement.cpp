#include "app/open_arrangement.h"

#include "align/activate_align_view.h"
#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "align/rebuild_preview.h"
#include "app/arrangement.h"
#include "app/platform.h"
#include "app/save_arrangement.h"
#include "app/source_opening.h"
#include "app/workspace.h"
#include "sources/source_doc.h"

#include <filesystem>
#include <vector>

namespace tessary {

namespace {
// Whether the source's transformation differs from the one a newly loaded source gets.
bool needsTransformAgain(const LayoutSource& s)
{
    return s.scaleX != 1024.0 || s.scaleY != 1024.0 || s.rotation != 0.0 || s.mirrored;
}

// Loads one source of the arrangement into the next place; what went wrong otherwise.
std::optional<std::string> loadSource(
    MergeWorkspace& workspace, const SourceOpening& opening, const LayoutSource& s)
{
    if (s.text) {
        workspace.app.pendingSourceKind = kSourceText;
        if (opening.createTextSource && opening.createTextSource(*s.text))
            return std::nullopt;
        const std::string firstLine = s.text->text.substr(0, s.text->text.find_first_of("\r\n"));
        return "the text \"" + firstLine + "\" (it could not be rendered)";
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(s.file, ec))
        return s.file + " (not found)";
    workspace.app.pendingSourceKind = kSourceImageFile;
    // The file is read as the arrangement says; pictures opened later as the settings say.
    const LoadOptions current = workspace.loadOptions;
    workspace.loadOptions = s.loadOptions;
    const bool opened = opening.openSourceFile && opening.openSourceFile(s.file);
    workspace.loadOptions = current;
    if (opened)
        return std::nullopt;
    return s.file + " (it could not be read)";
}
}

bool openArrangementCommand(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening)
{
    const auto chosen = platform.chooseOpenFile(arrangementChooserRequest(platform, "Open Arrangement"));
    if (!chosen || chosen->path.empty())
        return false;
    rememberArrangementFolder(platform, chosen->path);
    return openArrangement(workspace, platform, opening, chosen->path);
}

bool openArrangement(
    MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening, const std::string& path)
{
    std::string error;
    const std::optional<MergeLayout> layout = readMergeLayout(path, error, SourceFiles::MayBeMissing);
    if (!layout) {
        platform.messageBox(error, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    if (workspace.sourceCount > 0) {
        if (platform.messageBox(kCloseSourcesForArrangement, MessageIcon::Question, MessageButtons::YesNo)
            != MessageAnswer::Yes)
            return false;
        if (opening.closeAllSources)
            opening.closeAllSources();
        if (workspace.sourceCount > 0)
            return false;
    }

    struct Loaded {
        const LayoutSource* layout;
        size_t slot;
    };
    std::vector<Loaded> loaded;
    std::string leftOut;
    for (const LayoutSource& s : layout->sources) {
        if (const std::optional<std::string> failure = loadSource(workspace, opening, s))
            leftOut += "\n" + *failure;
        else if (workspace.sourceCount > 0)
            loaded.push_back({ &s, size_t(workspace.sourceCount - 1) });
    }

    // Loading gave every source the settings of a new one; the arrangement's replace them.
    workspace.equalBiasWeights();
    for (const Loaded& l : loaded) {
        placeLayoutSource(workspace, l.slot, *l.layout);
        if (l.layout->biasWeight)
            workspace.biasWeight[l.slot] = *l.layout->biasWeight;
        if (VIrorozIzi* doc = workspace.documents[l.slot].get(); doc && needsTransformAgain(*l.layout))
            doc->changed = true;
    }
    workspace.mergeType = layout->mergeType;
    applyTargetSettings(workspace, *layout);
    normalisePositions(workspace.alignDoc, workspace.sourceCount);
    if (!retransformChangedSources(workspace, platform) && workspace.sourceCount >= 2) {
        rebuildPreview(workspace, platform, 0);
        markTargetStale(workspace);
    }
    // A new arrangement starts a new history: no step before it applies to these sources.
    workspace.history.clear();
    workspace.notify([](WorkspaceObserver& o) { o.historyChanged(); });
    if (!leftOut.empty())
        platform.messageBox(kSourcesLeftOut + leftOut, MessageIcon::Warning, MessageButtons::Ok);
    return true;
}

} // namespace tessary
