#pragma once
#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;
class VIrorozIzi;

// The Align menu's commands that change how the selected source is transformed (mirror, reset
// size, a typed angle), and the tail they share with the other placement commands.
//
// Each works on the Align view's selected source and does nothing, returning
// kTransformNoSource, when no loaded source is selected. A failed transformation still rebuilds
// the preview with its result, so the view says why there is no preview; the changed value
// stays changed.

// The selected source's number when it names a loaded source, otherwise 0.
int32_t selectedLoadedSource(const MergeWorkspace& workspace);

// The source image's width and absolute height (a top-down image counts by its row count).
struct OriginalSize {
    int32_t width = 0;
    int32_t height = 0;
};
OriginalSize originalSize(const VIrorozIzi& source);

// Source `number` is transformed again, the preview rebuilt with the result and the target
// marked stale. Returns the transformation's result.
int transformAndRebuild(MergeWorkspace& workspace, Platform& platform, int32_t number);

// "Mirror horizontally": the selected source's mirror flag flips, then transformAndRebuild.
int mirrorSelectedSource(MergeWorkspace& workspace, Platform& platform);

// "Reset size of selected source": both scales back to 100 % (1024), then transformAndRebuild.
int resetSelectedSourceSize(MergeWorkspace& workspace, Platform& platform);

// Apply of the Rotate dialog with an angle already checked to lie in -179..180: an angle equal
// to the stored one transforms nothing (result 0); any other is stored and the source
// transformed. Either way the preview is rebuilt with the result and the target marked stale.
int rotateSelectedSource(MergeWorkspace& workspace, Platform& platform, int32_t degrees);

} // namespace tessary
