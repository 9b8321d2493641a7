#pragma once
#include "app/setting_range.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessary {

class MergeWorkspace;
class Platform;

// One change a user made, able to take itself back and to make itself again. Undo and redo
// either succeed or leave the workspace exactly as they found it (then false; the step stays
// where it is in the history).
class EditStep {
public:
    virtual ~EditStep() = default;
    // The menu's word for it: "Rotate", "Black and White".
    virtual std::string name() const = 0;
    virtual bool undo(MergeWorkspace& workspace, Platform& platform) = 0;
    virtual bool redo(MergeWorkspace& workspace, Platform& platform) = 0;
    // Bytes of images the step keeps (the memory budget counts these).
    virtual size_t imageBytes() const { return 0; }

    // Source `number` (1..8) was closed and the later ones moved down. False when the step
    // was about that source only and has nothing left to undo.
    virtual bool sourceClosed(int /*number*/, int /*newCount*/) { return true; }
    // Source `number` (1..8) was added in a place no step has placed; it keeps what it has.
    virtual void sourceAdded(const MergeWorkspace& /*workspace*/, int /*number*/) { }
    // A source was added or closed, which gives every source its equal bias weight and the
    // middle layer, and the merge type Average: earlier changes of those are gone. False when
    // the step changed nothing else.
    virtual bool mergeValuesReset(const MergeWorkspace& /*workspace*/) { return true; }
};

// The steps a user can take back, oldest first, and how many of them are done (the rest can be
// made again). Recording a new step forgets those that were undone. Images kept by the steps
// stay within a budget: over it, the oldest steps that keep images are dropped (their undo is
// gone; the placement and settings steps around them keep working, since each of those keeps
// values of its own).
class History {
public:
    // The budget, in megabytes: 1 GiB unless the user's settings say otherwise.
    static constexpr SettingRange kBudgetMegabytes { 0, 1 << 20, 1024 };
    static constexpr size_t kDefaultImageBudget = size_t(kBudgetMegabytes.start) << 20;

    void record(std::unique_ptr<EditStep> step);
    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // The names of the step an undo or redo would take; empty when there is none.
    std::string undoName() const;
    std::string redoName() const;
    // False (nothing moves) when there is nothing to undo or the step could not be undone.
    bool undo(MergeWorkspace& workspace, Platform& platform);
    bool redo(MergeWorkspace& workspace, Platform& platform);
    void clear();

    void sourceAdded(const MergeWorkspace& workspace, int number);
    void sourceClosed(int number, int newCount);
    void mergeValuesReset(const MergeWorkspace& workspace);

    void setImageBudget(size_t bytes);
    size_t imageBudget() const { return budget_; }
    size_t imageBytes() const;
    size_t size() const { return steps_.size(); }
    // How many image steps went to keep within the budget since this was last asked; the
    // windows say so in the status bar.
    int takeDroppedImageSteps();

private:
    void keepWithinBudget();
    void dropIf(bool (*keep)(EditStep&, const void*), const void* argument);

    std::vector<std::unique_ptr<EditStep>> steps_;
    size_t done_ = 0;
    size_t budget_ = kDefaultImageBudget;
    int dropped_ = 0;
};

} // namespace tessary
