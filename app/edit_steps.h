#pragma once
#include "app/edit_path.h"
#include "app/history.h"
#include "app/workspace_values.h"

#include <cstdint>
#include <string>

namespace tessary {

// A change of workspace values: both sets are kept whole (a few hundred bytes), so each step
// undoes and redoes on its own, whatever was dropped around it.
class ValuesStep : public EditStep {
public:
    ValuesStep(std::string name, WorkspaceValues before, WorkspaceValues after, TargetMark mark);

    std::string name() const override { return name_; }
    bool undo(MergeWorkspace& workspace, Platform& platform) override;
    bool redo(MergeWorkspace& workspace, Platform& platform) override;
    void sourceAdded(const MergeWorkspace& workspace, int number) override;
    bool sourceClosed(int number, int newCount) override;
    bool mergeValuesReset(const MergeWorkspace& workspace) override;

    const WorkspaceValues& before() const { return before_; }
    const WorkspaceValues& after() const { return after_; }

private:
    std::string name_;
    WorkspaceValues before_;
    WorkspaceValues after_;
    TargetMark mark_;
};

// A source window's change of a source's image: the step keeps the image the source does not
// have now (before the change while it is done, after it while it is undone) and swaps.
class ImageStep : public EditStep {
public:
    ImageStep(int number, std::string name, SourceImageBefore other, TargetMark mark);

    std::string name() const override { return name_; }
    bool undo(MergeWorkspace& workspace, Platform& platform) override;
    bool redo(MergeWorkspace& workspace, Platform& platform) override;
    size_t imageBytes() const override;
    bool sourceClosed(int number, int newCount) override;

private:
    bool swap(MergeWorkspace& workspace);

    int number_;
    std::string name_;
    SourceImageBefore other_;
    TargetMark mark_;
};

} // namespace tessary
