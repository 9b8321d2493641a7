#include "app/edit_steps.h"

#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "app/workspace.h"
#include "merge/transform_geometry.h"
#include "sources/source_doc.h"
#include "sources/source_edited.h"

namespace tessary {

TargetMark TargetMark::of(const MergeWorkspace& workspace)
{
    const CDestdoc& target = workspace.targetDoc;
    return TargetMark { target.generated, target.title, target.generations };
}

void TargetMark::restoreIfUnchanged(MergeWorkspace& workspace) const
{
    CDestdoc& target = workspace.targetDoc;
    if (!generatedBefore || !target.targetImage || target.generations != generations)
        return;
    target.generated = generatedBefore;
    target.title = titleBefore;
    workspace.notify([](WorkspaceObserver& o) { o.targetGenerated(); });
}

namespace {
// Where undo or redo moves the workspace: the step's fields set, positions normalised as after
// any change of placements.
WorkspaceValues stepTo(const WorkspaceValues& now, const WorkspaceValues& from, const WorkspaceValues& to, int count)
{
    WorkspaceValues v = withStepApplied(now, from, to);
    normalisePositions(v.placement, count);
    return v;
}
}

ValuesStep::ValuesStep(std::string name, WorkspaceValues before, WorkspaceValues after, TargetMark mark)
    : name_(std::move(name))
    , before_(std::move(before))
    , after_(std::move(after))
    , mark_(std::move(mark))
{
}

bool ValuesStep::undo(MergeWorkspace& workspace, Platform& platform)
{
    const WorkspaceValues now = captureValues(workspace);
    if (moveToValues(workspace, platform, now, stepTo(now, after_, before_, workspace.sourceCount), "Undo " + name_) != kTransformDone)
        return false;
    mark_.restoreIfUnchanged(workspace);
    return true;
}

bool ValuesStep::redo(MergeWorkspace& workspace, Platform& platform)
{
    const WorkspaceValues now = captureValues(workspace);
    return moveToValues(workspace, platform, now, stepTo(now, before_, after_, workspace.sourceCount), "Redo " + name_) == kTransformDone;
}

void ValuesStep::sourceAdded(const MergeWorkspace& workspace, int number)
{
    const size_t s = size_t(number - 1);
    const WorkspaceValues now = captureValues(workspace);
    for (WorkspaceValues* v : { &before_, &after_ }) {
        v->placement[s] = now.placement[s];
        v->mirrored[s] = now.mirrored[s];
        v->fadeEdge[s] = now.fadeEdge[s];
    }
}

bool ValuesStep::sourceClosed(int number, int newCount)
{
    // The same moves as closing makes in the workspace: placements and mirror flags move down,
    // the freed place takes the construction values, positions are normalised again.
    for (WorkspaceValues* v : { &before_, &after_ }) {
        compactPlaces(v->placement, number - 1, newCount, Placement {});
        compactPlaces(v->mirrored, number - 1, newCount, 0);
        normalisePositions(v->placement, newCount);
    }
    return !(before_ == after_);
}

bool ValuesStep::mergeValuesReset(const MergeWorkspace& workspace)
{
    const WorkspaceValues now = captureValues(workspace);
    for (WorkspaceValues* v : { &before_, &after_ }) {
        v->biasWeight = now.biasWeight;
        v->mergeType = now.mergeType;
        for (size_t s = 0; s < v->placement.size(); ++s) {
            v->placement[s].topLevel = now.placement[s].topLevel;
            v->placement[s].bottomLevel = now.placement[s].bottomLevel;
        }
    }
    return !(before_ == after_);
}

ImageStep::ImageStep(int number, std::string name, SourceImageBefore other, TargetMark mark)
    : number_(number)
    , name_(std::move(name))
    , other_(std::move(other))
    , mark_(std::move(mark))
{
}

bool ImageStep::swap(MergeWorkspace& workspace)
{
    if (number_ < 1 || number_ > workspace.sourceCount)
        return false;
    VIrorozIzi* doc = workspace.source(number_);
    if (!doc)
        return false;
    std::swap(doc->image, other_.image);
    std::swap(doc->editedInWindow, other_.editedInWindow);
    if (doc->image.dib) {
        doc->imageWidth = doc->image.width();
        doc->imageHeight = doc->image.height();
    }
    // Its transformed image no longer matches: it is made again when the Align Window is next
    // activated, as after the change itself.
    sourceEdited(workspace, number_);
    return true;
}

bool ImageStep::undo(MergeWorkspace& workspace, Platform&)
{
    if (!swap(workspace))
        return false;
    mark_.restoreIfUnchanged(workspace);
    return true;
}

bool ImageStep::redo(MergeWorkspace& workspace, Platform&)
{
    return swap(workspace);
}

size_t ImageStep::imageBytes() const
{
    const MaskedDib& image = other_.image;
    size_t bytes = image.dib ? image.dib->size() : 0;
    if (image.mask.realValues())
        bytes += image.mask.size() * sizeof(uint16_t);
    return bytes;
}

bool ImageStep::sourceClosed(int number, int)
{
    if (number == number_)
        return false;
    if (number < number_)
        --number_;
    return true;
}

} // namespace tessary
