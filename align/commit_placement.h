#pragma once
#include "app/workspace_values.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;

// The values after a drag of source `number` (1..8): its position moves by (ddx, ddy) view
// pixels times the viewing scale (y upward), and its scales are multiplied by rw/1024 and
// rh/1024 (whole 1/1024 units, never below 1); the edit path normalises the positions.
WorkspaceValues draggedValues(
    const MergeWorkspace& workspace, int32_t ddx, int32_t ddy, int32_t number, int32_t rw, int32_t rh);

// Commits such a drag as one step, "Move" when both ratios are 1024 (nothing is transformed),
// otherwise "Resize" (the source is transformed again; a failure takes every placement back).
// Returns kTransformDone or the transformation's failure code (kTransformNoSource for a number
// outside 1..8).
int commitPlacement(
    MergeWorkspace& workspace, Platform& platform, int32_t ddx, int32_t ddy, int32_t number, int32_t rw, int32_t rh);

} // namespace tessary
