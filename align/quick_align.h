#pragma once
#include "align/align_doc.h"
#include "align/outline_hit_test.h"

#include <cstdint>
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;

// The four quick-align strips around the align preview. Each strip is a 16-pixel nudge arrow
// followed by one 8-pixel column per loaded source; a click in source k's column aligns the
// selected source's edge on that side with source k's ("this edge", lower half) or puts it just
// beyond that edge ("opposite edge", upper half).
enum class StripSide { Left, Right, Top, Bottom };

inline constexpr int32_t kStripHeight = 24;
inline constexpr int32_t kStripArrowWidth = 16;
inline constexpr int32_t kStripColumnWidth = 8;

int32_t stripWidth(int32_t sourceCount);

// Where a point in strip coordinates lands: the nudge arrow (zone -1) or a source's column
// (0-based zone), and which half.
struct StripHit {
    int32_t zone = -1;
    bool opposite = false;
    bool nudge() const { return zone < 0; }
};
StripHit stripHitAt(int32_t x, int32_t y);

// The top-left corner of a strip for the preview as placed in the view.
ViewPoint stripPlace(StripSide side, const CAlignDoc& doc);

// Status pane texts and the tip text of a hover; the tip text is empty over the selected
// source's own column (it has nothing to explain).
std::string stripStatusText(const StripHit& hit, int32_t selected);
std::string stripTipText(
    StripSide side, const StripHit& hit, int32_t selected, int32_t nudgeX, int32_t nudgeY);

// Where the hover tip opens for a cursor at (x, y) in view coordinates, inside an Align frame
// `frameWidth` wide whose bottom edge lies at `frameBottom`: below and left of the cursor, kept
// away from the frame's right and bottom edges. The tip sizes itself to its text from the
// top-left corner.
ViewRect stripTipRect(int32_t x, int32_t y, int32_t frameWidth, int32_t frameBottom);

// The click: the selected source moves by a nudge step or to the zone source's edge. Nothing
// happens (false) for the selected source's own column, a zone at or past the source count, or
// no loaded selection. Otherwise the move is one step, "Nudge" or "Quick Align"; nothing is
// transformed again.
bool quickAlign(MergeWorkspace& workspace, Platform& platform, StripSide side, const StripHit& hit);

// The guides shown while hovering a zone: the corner A of the selected source that will move
// and the corner B of the zone source it moves to, in view coordinates. The arrow runs from A
// along the strip's axis to B's coordinate on that axis.
struct StripGuide {
    ViewPoint a {};
    ViewPoint b {};
    bool vertical = false; // the guide line is vertical (left and right strips)
};
StripGuide stripGuide(StripSide side, bool opposite, const Outline& selected, double selectedRotation,
    const Outline& zoneSource);

} // namespace tessary
