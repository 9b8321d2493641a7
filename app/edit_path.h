#pragma once
#include "app/workspace_values.h"
#include "image/masked_dib.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;

// Every change a user makes reaches the workspace here. Views and dialogs work out what the
// user asked for and hand it over; this applies it, runs the one sequence every change ends
// with, and records it in the workspace's history so that it can be undone.
//
// The sequence after a change of values: positions normalised, every loaded source whose scale,
// rotation or mirror flag changed transformed again (its transformed image from before is kept
// until all of them have succeeded), the preview rebuilt, the target marked stale, the
// observers told. A transformation that fails or is stopped with Esc takes the whole change
// back: the values and transformed images from before, the preview rebuilt from them, and a
// line in the status bar saying so. A change that changes nothing records nothing.

// Whether the target was current before a change, and how many targets had been generated
// when the change was made: taking the change back makes the target current again when it was
// and nothing was generated since (the target shown is then the one of the values restored).
struct TargetMark {
    int32_t generatedBefore = 0;
    std::string titleBefore;
    uint64_t generations = 0;

    static TargetMark of(const MergeWorkspace& workspace);
    void restoreIfUnchanged(MergeWorkspace& workspace) const;
};

// A change of workspace values in the making: the values from before are taken when it
// starts; the caller (a dialog that shows its changes as they are made) writes the workspace,
// then commits or abandons.
class ValuesEdit {
public:
    ValuesEdit(MergeWorkspace& workspace, Platform& platform, std::string name);
    ValuesEdit(const ValuesEdit&) = delete;
    ValuesEdit& operator=(const ValuesEdit&) = delete;

    const WorkspaceValues& before() const { return before_; }
    // Runs the sequence from the values before to the workspace's values now and records the
    // step. False when it was taken back (see above).
    bool commit();
    // The same with `after` written first.
    bool commit(const WorkspaceValues& after);
    // The values from before are written back, nothing is recorded.
    void abandon();
    // For a dialog that transformed the sources itself as it went (the collage): records the
    // step from `undoTo`, the values its Cancel would have given back, to the workspace's
    // values now, without transforming anything again. Nothing is recorded when they are equal.
    void recordApplied(const WorkspaceValues& undoTo);
    // The result code of the last commit's transformations (kTransformDone when none failed).
    int result() const { return result_; }
    // The caller generated the target from the workspace's values now, while the edit is open.
    // A commit that finds those same values leaves that target as it is instead of marking it
    // stale; and since the target before the change is gone, undo leaves the target stale.
    void targetGenerated();

private:
    MergeWorkspace& workspace_;
    Platform& platform_;
    std::string name_;
    WorkspaceValues before_;
    TargetMark mark_;
    int result_ = 0;
    // The target the caller generated during the edit: the values it was made from, its title
    // and the generation count it left.
    bool targetMade_ = false;
    WorkspaceValues madeFrom_;
    std::string madeTitle_;
    uint64_t madeGenerations_ = 0;
};

// The one-call form: `after` computed by a command from captureValues(workspace).
// With `result`, the transformation's result code (kTransformDone when nothing failed).
bool editValues(MergeWorkspace& workspace, Platform& platform, const std::string& name,
    const WorkspaceValues& after, int* result = nullptr);

// Moves the workspace from `from` (its values now) to `to` by the sequence above, without
// recording anything; `what` names the change in the status line when it is taken back.
// Returns kTransformDone or the failed transformation's code.
int moveToValues(MergeWorkspace& workspace, Platform& platform, const WorkspaceValues& from,
    const WorkspaceValues& to, const std::string& what);

// The status line of a change `what` taken back because a transformation ended with `result`.
void showTakenBack(Platform& platform, const std::string& what, int result);

// A source window replaced the image of source `number` (a correction, a crop, an area tool):
// `before` is the image it had and its `editedInWindow` flag then. The source is
// marked changed (the Align Window transforms it again when next activated) and the step
// recorded; undo gives the source its image from before without computing anything.
struct SourceImageBefore {
    MaskedDib image;
    bool editedInWindow = false;
    // The target before the edit; none: as it is when the edit is recorded.
    std::optional<TargetMark> target;
};
void recordImageEdit(MergeWorkspace& workspace, Platform& platform, int number, const std::string& name,
    SourceImageBefore before);

// What is kept of a source's image before an edit that changes it in place: the pixel block
// shared (it is copied only if the edit writes pixels), the mask copied. False when memory
// runs out (the caller says so and does not edit).
bool keepSourceImage(const MergeWorkspace& workspace, int number, SourceImageBefore& kept);

// Undo and redo of the history's next step, with the status line on failure.
bool undoEdit(MergeWorkspace& workspace, Platform& platform);
bool redoEdit(MergeWorkspace& workspace, Platform& platform);

} // namespace tessary
