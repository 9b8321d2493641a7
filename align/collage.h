#pragma once
#include "align/align_doc.h"
#include "app/workspace_values.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tessary {

class MergeWorkspace;
class Platform;

// The collage: every loaded source resized to one cell size and laid out row by row, first row
// at the top, in a chosen number of columns with gaps between the cells.
inline constexpr int32_t kCollageColumnsMax = 8;
inline constexpr int32_t kCollageGapMax = 1000;
inline constexpr int32_t kCollageCellMin = 100;
inline constexpr int32_t kCollageCellMax = 30000;
inline constexpr int32_t kCollageRowsMax = 20;
inline constexpr const char* kCollageTooManyColumnsText
    = "Number of columns cannot exceed number of source images.";

struct CollageSettings {
    int32_t columns = 1;
    int32_t gapX = 0;
    int32_t gapY = 0;
    int32_t cellWidth = 640;
    int32_t cellHeight = 480;
};

// Cell j of the grid holds source index order[j] (0-based).
using CollageOrder = std::array<int32_t, kMaxSources>;
CollageOrder identityCollageOrder();
// Exchanges the cells holding source indices a and b.
void swapCollageSources(CollageOrder& order, int32_t a, int32_t b);

// The scale (1/1024 units, a fraction) that makes `original` pixels `cell` pixels. When the
// product with the original size falls short of the cell in extended precision, one unit more
// makes sure the transformed image is never a pixel short.
double collageScale(int32_t original, int32_t cell);

// The columns field as typed, brought into 1..sourceCount; `tooMany` says the message is due.
int32_t collageColumns(int32_t typed, int32_t sourceCount, bool& tooMany);

// The positions of the grid (at most 20 rows), normalised.
void layOutCollage(
    CAlignDoc& doc, int32_t sourceCount, const CollageOrder& order, const CollageSettings& settings);

// Every slot's placement as the dialog found it, for Cancel.
struct SavedPlacements {
    // Only positions and scales are given back: a rotation made meanwhile stays.
    PerPlace<Placement> placement {};
};
SavedPlacements savePlacements(const CAlignDoc& doc);

// Apply, provisional while the dialog is open: every source takes the cell's scales and is
// transformed again when they changed (a swap changes none, so it transforms nothing); then the
// grid is laid out, the preview rebuilt and the target marked stale. Returns 0, or the code of
// a failed or stopped transformation: then the whole collage is taken back as Cancel does
// (restorePlacements from `saved`) and the status bar says so.
int applyCollage(MergeWorkspace& workspace, Platform& platform, const CollageOrder& order,
    const CollageSettings& settings, const SavedPlacements& saved);

// The values Cancel would give back from `now`: the saved positions and scales, everything
// else (rotations made meanwhile included) as it is. The collage's step is undone to them.
WorkspaceValues cancelledValues(const WorkspaceValues& now, const SavedPlacements& saved);

// Cancel: every slot gets its saved placement back and every source whose scale changed is
// transformed again, all of them even after a failure, so that no stale image is left behind.
// The preview is rebuilt with the first failure's code, which is returned (0 when none), and
// the target marked stale when anything had changed.
int restorePlacements(MergeWorkspace& workspace, Platform& platform, const SavedPlacements& saved);

// The swap control: the pair of 1-based source numbers (first < second) under (x, y) in a
// control of client size width x height, or none.
struct SwapPair {
    int32_t first = 0;
    int32_t second = 0;
};
std::optional<SwapPair> swapPairAt(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceCount);

// The top-left corner of the collage map's box for cell j inside a panel of pw x ph.
ViewPoint collageMapBox(int32_t cell, int32_t columns, int32_t sourceCount, int32_t pw, int32_t ph);

} // namespace tessary
