#include "app/edit_path.h"

#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "align/rebuild_preview.h"
#include "app/edit_steps.h"
#include "app/platform.h"
#include "app/workspace.h"
#include "merge/transform_source.h"
#include "sources/source_doc.h"
#include "sources/source_edited.h"

#include <algorithm>

namespace tessary {

namespace {
void historyChanged(MergeWorkspace& workspace, Platform& platform)
{
    if (const int dropped = workspace.history.takeDroppedImageSteps())
        platform.showStatusMessage(std::to_string(dropped)
            + (dropped == 1 ? " old image step" : " old image steps")
            + " can no longer be undone: the history keeps at most "
            + std::to_string(workspace.history.imageBudget() >> 20) + " MB of images.");
    workspace.notify([](WorkspaceObserver& o) { o.historyChanged(); });
}

// What a source's transformation changes besides its transformed image, put back when the
// change is taken back.
struct SourceFlags {
    bool changed = false;
    bool processedOk = true;
};
}

void showTakenBack(Platform& platform, const std::string& what, int result)
{
    platform.showStatusMessage(what + (result == kTransformAborted ? " was stopped" : " could not be done")
        + ": every source is placed as it was before.");
}

int moveToValues(MergeWorkspace& workspace, Platform& platform, const WorkspaceValues& from,
    const WorkspaceValues& to, const std::string& what)
{
    const int count = std::clamp(workspace.sourceCount, 0, kMaxSources);
    // A transformation drops the target's generated mark; taken back, the target matches again.
    const int32_t generated = workspace.targetDoc.generated;
    storeValues(workspace, to);
    PerPlace<MaskedDib> kept;
    PerPlace<SourceFlags> flags {};
    PerPlace<bool> redone {};
    for (int i = 0; i < count; ++i) {
        const size_t s = size_t(i);
        VIrorozIzi* doc = workspace.documents[s].get();
        if (!doc || !transformDiffers(from, to, s))
            continue;
        kept[s] = std::move(workspace.targetDoc.transformed[s]);
        flags[s] = SourceFlags { doc->changed, doc->processedOk };
        redone[s] = true;
        const int result = transformSource(workspace, platform, i + 1);
        if (result == kTransformDone)
            continue;
        storeValues(workspace, from);
        for (int j = 0; j <= i; ++j) {
            const size_t t = size_t(j);
            if (!redone[t])
                continue;
            workspace.targetDoc.transformed[t] = std::move(kept[t]);
            workspace.documents[t]->changed = flags[t].changed;
            workspace.documents[t]->processedOk = flags[t].processedOk;
        }
        rebuildPreview(workspace, platform, 0);
        if (generated && !workspace.targetDoc.generated) {
            workspace.targetDoc.generated = generated;
            workspace.notify([](WorkspaceObserver& o) { o.targetGenerated(); });
        }
        showTakenBack(platform, what, result);
        return result;
    }
    rebuildPreview(workspace, platform, 0);
    markTargetStale(workspace);
    return kTransformDone;
}

ValuesEdit::ValuesEdit(MergeWorkspace& workspace, Platform& platform, std::string name)
    : workspace_(workspace)
    , platform_(platform)
    , name_(std::move(name))
    , before_(captureValues(workspace))
    , mark_(TargetMark::of(workspace))
{
}

void ValuesEdit::targetGenerated()
{
    const CDestdoc& target = workspace_.targetDoc;
    targetMade_ = target.generated == 1;
    madeFrom_ = captureValues(workspace_);
    normalisePositions(madeFrom_.placement, workspace_.sourceCount);
    madeTitle_ = target.title;
    madeGenerations_ = target.generations;
}

bool ValuesEdit::commit()
{
    WorkspaceValues after = captureValues(workspace_);
    normalisePositions(after.placement, workspace_.sourceCount);
    result_ = kTransformDone;
    if (after == before_) {
        storeValues(workspace_, after);
        return true;
    }
    result_ = moveToValues(workspace_, platform_, before_, after, name_);
    if (result_ != kTransformDone)
        return false;
    CDestdoc& target = workspace_.targetDoc;
    // A target generated meanwhile replaced the one from before: undo cannot give that back.
    TargetMark mark = mark_;
    if (target.generations != mark.generations)
        mark.generatedBefore = 0;
    if (targetMade_ && madeFrom_ == after && target.generations == madeGenerations_ && target.targetImage) {
        target.generated = 1;
        target.title = madeTitle_;
        workspace_.notify([](WorkspaceObserver& o) { o.targetGenerated(); });
    }
    // The generations after the change: a target made later is not the one of the values before.
    mark.generations = target.generations;
    workspace_.history.record(std::make_unique<ValuesStep>(name_, before_, after, mark));
    historyChanged(workspace_, platform_);
    return true;
}

bool ValuesEdit::commit(const WorkspaceValues& after)
{
    storeValues(workspace_, after);
    return commit();
}

void ValuesEdit::abandon()
{
    storeValues(workspace_, before_);
}

void ValuesEdit::recordApplied(const WorkspaceValues& undoTo)
{
    const WorkspaceValues after = captureValues(workspace_);
    if (after == undoTo)
        return;
    TargetMark mark = mark_;
    mark.generations = workspace_.targetDoc.generations;
    workspace_.history.record(std::make_unique<ValuesStep>(name_, undoTo, after, mark));
    historyChanged(workspace_, platform_);
}

bool editValues(MergeWorkspace& workspace, Platform& platform, const std::string& name,
    const WorkspaceValues& after, int* result)
{
    ValuesEdit edit(workspace, platform, name);
    const bool done = edit.commit(after);
    if (result)
        *result = edit.result();
    return done;
}

void recordImageEdit(
    MergeWorkspace& workspace, Platform& platform, int number, const std::string& name, SourceImageBefore before)
{
    VIrorozIzi* doc = number >= 1 && number <= workspace.sourceCount ? workspace.source(number) : nullptr;
    if (!doc)
        return;
    TargetMark mark = before.target.value_or(TargetMark::of(workspace));
    mark.generations = workspace.targetDoc.generations;
    doc->editedInWindow = true;
    sourceEdited(workspace, number);
    workspace.history.record(std::make_unique<ImageStep>(number, name, std::move(before), mark));
    historyChanged(workspace, platform);
}

bool keepSourceImage(const MergeWorkspace& workspace, int number, SourceImageBefore& kept)
{
    const VIrorozIzi* doc = number >= 1 && number <= workspace.sourceCount
        ? workspace.documents[size_t(number - 1)].get()
        : nullptr;
    if (!doc || !doc->image.dib)
        return false;
    MaskedDib copy = doc->image.share();
    if (!copy.dib)
        return false;
    kept = SourceImageBefore { std::move(copy), doc->editedInWindow, TargetMark::of(workspace) };
    return true;
}

bool undoEdit(MergeWorkspace& workspace, Platform& platform)
{
    const bool done = workspace.history.undo(workspace, platform);
    historyChanged(workspace, platform);
    return done;
}

bool redoEdit(MergeWorkspace& workspace, Platform& platform)
{
    const bool done = workspace.history.redo(workspace, platform);
    historyChanged(workspace, platform);
    return done;
}

} // namespace tessary
