#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;
class VIrorozIzi;
struct WorkspaceValues;

// The Align menu's commands that change how the selected source is transformed (mirror, reset
// size, a typed angle), and the tail they share with the other placement commands.
//
// Each works on the Align view's selected source and does nothing, returning
// kTransformNoSource, when no loaded source is selected. Each is one step of the history; a
// failed or stopped transformation takes the change back (see app/edit_path.h) and its code is
// returned.

// The selected source's number when it names a loaded source, otherwise 0.
int32_t selectedLoadedSource(const MergeWorkspace& workspace);

// The source image's width and absolute height (a top-down image counts by its row count).
struct OriginalSize {
    int32_t width = 0;
    int32_t height = 0;
};
OriginalSize originalSize(const VIrorozIzi& source);

// A command on the selected source: `change` writes the new values into a copy of the
// workspace's values (it gets the source's number) and the edit path applies them as one step
// called `name`. `change` returns false when there is nothing to do. Returns the
// transformation's result code, kTransformNoSource when nothing was handed over.
int editSelected(MergeWorkspace& workspace, Platform& platform, const std::string& name,
    const std::function<bool(WorkspaceValues&, int32_t)>& change);

// Source `number` is transformed again, the preview rebuilt with the result and the target
// marked stale. Returns the transformation's result.
int transformAndRebuild(MergeWorkspace& workspace, Platform& platform, int32_t number);

// "Mirror horizontally": the selected source's mirror flag flips, then transformAndRebuild.
int mirrorSelectedSource(MergeWorkspace& workspace, Platform& platform);

// "Reset size of selected source": both scales back to 100 % (1024), then transformAndRebuild.
int resetSelectedSourceSize(MergeWorkspace& workspace, Platform& platform);

// Apply of the Rotate dialog with an angle already checked to lie in -179..180: the source
// takes the angle. An angle equal to the stored one changes nothing and records no step.
int rotateSelectedSource(MergeWorkspace& workspace, Platform& platform, int32_t degrees);

} // namespace tessary
