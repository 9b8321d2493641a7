#include "app/history.h"

#include <numeric>

namespace tessary {

void History::record(std::unique_ptr<EditStep> step)
{
    if (!step)
        return;
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    keepWithinBudget();
}

std::string History::undoName() const
{
    return canUndo() ? steps_[done_ - 1]->name() : std::string();
}

std::string History::redoName() const
{
    return canRedo() ? steps_[done_]->name() : std::string();
}

bool History::undo(MergeWorkspace& workspace, Platform& platform)
{
    if (!canUndo() || !steps_[done_ - 1]->undo(workspace, platform))
        return false;
    --done_;
    return true;
}

bool History::redo(MergeWorkspace& workspace, Platform& platform)
{
    if (!canRedo() || !steps_[done_]->redo(workspace, platform))
        return false;
    ++done_;
    return true;
}

void History::clear()
{
    steps_.clear();
    done_ = 0;
}

void History::dropIf(bool (*keep)(EditStep&, const void*), const void* argument)
{
    std::vector<std::unique_ptr<EditStep>> kept;
    size_t done = 0;
    for (size_t i = 0; i < steps_.size(); ++i) {
        if (!keep(*steps_[i], argument))
            continue;
        if (i < done_)
            ++done;
        kept.push_back(std::move(steps_[i]));
    }
    steps_ = std::move(kept);
    done_ = done;
}

void History::sourceAdded(const MergeWorkspace& workspace, int number)
{
    for (const std::unique_ptr<EditStep>& step : steps_)
        step->sourceAdded(workspace, number);
}

void History::sourceClosed(int number, int newCount)
{
    const int args[2] = { number, newCount };
    dropIf(
        [](EditStep& s, const void* a) {
            const int* n = static_cast<const int*>(a);
            return s.sourceClosed(n[0], n[1]);
        },
        args);
}

void History::mergeValuesReset(const MergeWorkspace& workspace)
{
    dropIf(
        [](EditStep& s, const void* w) { return s.mergeValuesReset(*static_cast<const MergeWorkspace*>(w)); },
        &workspace);
}

void History::setImageBudget(size_t bytes)
{
    budget_ = bytes;
    keepWithinBudget();
}

size_t History::imageBytes() const
{
    return std::accumulate(steps_.begin(), steps_.end(), size_t(0),
        [](size_t sum, const std::unique_ptr<EditStep>& s) { return sum + s->imageBytes(); });
}

void History::keepWithinBudget()
{
    size_t total = imageBytes();
    // The oldest first: the image steps left are all newer than any dropped, so each one's
    // image still follows from the one before it.
    for (size_t i = 0; i < steps_.size() && total > budget_;) {
        const size_t bytes = steps_[i]->imageBytes();
        if (bytes == 0) {
            ++i;
            continue;
        }
        ++dropped_;
        if (i >= done_) {
            // An undone step: those after it would be made again over an image that never
            // comes back, so they go with it.
            steps_.resize(i);
            return;
        }
        total -= bytes;
        steps_.erase(steps_.begin() + std::ptrdiff_t(i));
        --done_;
    }
}

int History::takeDroppedImageSteps()
{
    const int n = dropped_;
    dropped_ = 0;
    return n;
}

} // namespace tessary
