#pragma once
#include "align/align_doc.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

class MergeWorkspace;

// The bias-weight pie of the merge settings: one wedge per middle-layer source, clockwise from
// 12 o'clock in slot order, each its weight in percent of the full turn.

inline constexpr double kFullTurn = 6.283185307;

// Equal weights 100 / n for the n middle-layer sources (stored as `middleSourceCount`), 0 for
// the others; the settings count as changed.
void resetPie(MergeWorkspace& workspace);

struct PieWedge {
    int32_t slot = 0;
    ViewPoint from {}; // the end point of the previous wedge, relative to the centre
    ViewPoint to {}; // this wedge's end point
    bool fullTurn = false; // from and to lie on one radial: the wedge is the whole ellipse
};
// The wedges of a pie with half axes rx and ry (y grows downward): end points (rx sin phi,
// -ry cos phi) truncated toward zero, starting from (0, -1). A wedge whose end point equals
// the previous one is left out.
std::vector<PieWedge> pieWedges(const MergeWorkspace& workspace, int32_t rx, int32_t ry);

// The pointer at (x, y) relative to the centre (y grows downward) in percent of the turn
// clockwise from 12 o'clock.
double piePercent(int32_t x, int32_t y);

// The middle-layer wedge under `percent`: the first source whose running sum of middle-layer
// weights exceeds it; nothing past the end of the weights.
std::optional<int32_t> wedgeAt(const MergeWorkspace& workspace, double percent);

// A press on the pie takes hold of the boundary at the end of the wedge under the pointer. The
// wedge must have a later middle-layer wedge to share its change with; the last one is not held.
struct WedgeHold {
    int32_t slot = 0; // g, whose wedge ends at the pointer
    double start = 0.0; // s, where g's wedge starts
};
std::optional<WedgeHold> holdWedge(const MergeWorkspace& workspace, double percent);
// g's wedge ends at `percent`; its next middle-layer neighbour takes up the difference, so the
// weights keep adding up to 100 and neither goes below 0.
void dragWedge(MergeWorkspace& workspace, const WedgeHold& hold, double percent);

// The statistics line of a wedge: "Source: 2 >> 33.3%".
std::string pieStatsLine(int32_t number, double weight);

} // namespace tessary
