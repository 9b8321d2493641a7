#pragma once
#include "align/placement.h"
#include "app/places.h"
#include "image/colour.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;

// The values of the workspace a user sets by hand, apart from the sources' images: where every
// source lies, its mirror flag, the merge settings and the target's settings. One step of the
// history keeps them from before and after a change; each value stays with its owner in the
// workspace, only the copy gathers them.
struct WorkspaceValues {
    PerPlace<Placement> placement {};
    PerPlace<int32_t> mirrored {};
    PerPlace<double> biasWeight {};
    PerPlace<int32_t> fadeEdge {};
    int32_t mergeType = 0;
    int32_t thresholdFuzziness = 4;
    ColourRef backgroundColour = 0;
    ColourRef marginColour = 0;
    int32_t marginX = 0;
    int32_t marginY = 0;
    int32_t targetContrast = 16;
    int32_t targetBrightness = 128;

    friend bool operator==(const WorkspaceValues&, const WorkspaceValues&) = default;
};

WorkspaceValues captureValues(const MergeWorkspace& workspace);
void storeValues(MergeWorkspace& workspace, const WorkspaceValues& values);

// The values `now` with every field a step changed (those that differ between `from` and `to`)
// set to its value in `to`. Undo and redo of a step touch only what the step changed: when they
// follow each other in order, `now` equals `from` in those fields and the result is `to`; a
// change made meanwhile by a dialog that went its own way (a rotation while a collage is open)
// is kept.
WorkspaceValues withStepApplied(const WorkspaceValues& now, const WorkspaceValues& from, const WorkspaceValues& to);

// Whether source place `place` has other transformed pixels under `a` than under `b`: another
// scale, rotation or mirror flag.
bool transformDiffers(const WorkspaceValues& a, const WorkspaceValues& b, size_t place);

} // namespace tessary
