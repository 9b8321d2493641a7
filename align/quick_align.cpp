#include "align/quick_align.h"

#include "align/placement_commands.h"
#include "app/edit_path.h"
#include "app/workspace.h"

namespace tessary {

int32_t stripWidth(int32_t sourceCount)
{
    return kStripColumnWidth * sourceCount + kStripArrowWidth;
}

StripHit stripHitAt(int32_t x, int32_t y)
{
    StripHit hit;
    hit.opposite = y <= kStripHeight / 2;
    hit.zone = x < kStripArrowWidth ? -1 : (x - kStripArrowWidth) / kStripColumnWidth;
    return hit;
}

ViewPoint stripPlace(StripSide side, const CAlignDoc& doc)
{
    const int32_t l = doc.previewLeft, t = doc.previewTop, w = doc.previewWidth, h = doc.previewHeight;
    const int32_t midY = (2 * t + h) / 2;
    const int32_t midX = (w + 2 * l) / 2;
    switch (side) {
    case StripSide::Left:
        return { l - 100, midY };
    case StripSide::Right:
        return { l + w + 50, midY };
    case StripSide::Top:
        return { midX, t - 40 };
    case StripSide::Bottom:
        return { midX, t + h + 30 };
    }
    return {};
}

std::string stripStatusText(const StripHit& hit, int32_t selected)
{
    return (hit.nudge() ? "nudge source " : "quick align ") + std::to_string(selected);
}

std::string stripTipText(
    StripSide side, const StripHit& hit, int32_t selected, int32_t nudgeX, int32_t nudgeY)
{
    const std::string s = std::to_string(selected);
    if (hit.nudge()) {
        const bool horizontal = side == StripSide::Left || side == StripSide::Right;
        return "Move selected source " + s + " in this direction by "
            + std::to_string(horizontal ? nudgeX : nudgeY)
            + " pixels\nSet amount to move in the Align menu under 'nudge factor'.";
    }
    if (hit.zone == selected - 1)
        return {};
    return std::string(hit.opposite ? "Align opposite edge of selected source "
                                    : "Align this edge of selected source ")
        + s + " to this edge of source " + std::to_string(hit.zone + 1);
}

ViewRect stripTipRect(int32_t x, int32_t y, int32_t frameWidth, int32_t frameBottom)
{
    ViewRect r;
    r.left = x - 100;
    if (r.left < 0)
        r.left = 20;
    r.top = y + 25;
    r.bottom = y + 40;
    if (frameWidth < 850 && r.left > 200)
        r.left -= 200;
    if (frameWidth < r.left + 400)
        r.left = frameWidth - 400;
    r.right = r.left + 1;
    if (frameBottom < r.bottom + 200) {
        r.top -= 100;
        r.bottom -= 100;
    }
    return r;
}

bool quickAlign(MergeWorkspace& workspace, Platform& platform, StripSide side, const StripHit& hit)
{
    const int32_t n = selectedLoadedSource(workspace);
    const int32_t k = hit.zone;
    if (n == 0 || k >= workspace.sourceCount || k == n - 1)
        return false;
    WorkspaceValues after = captureValues(workspace);
    PerPlace<Placement>& placement = after.placement;
    const auto s = size_t(n - 1);
    const auto& transformed = workspace.targetDoc.transformed;
    const int32_t ws = transformed[s].width(), hs = transformed[s].height();
    const int32_t nudgeX = workspace.alignView.nudgeX, nudgeY = workspace.alignView.nudgeY;
    if (hit.nudge()) {
        switch (side) {
        case StripSide::Left:
            placement[s].posX -= nudgeX;
            break;
        case StripSide::Right:
            placement[s].posX += nudgeX;
            break;
        case StripSide::Top: // posY counts upward: the top strip raises the source
            placement[s].posY += nudgeY;
            break;
        case StripSide::Bottom:
            placement[s].posY -= nudgeY;
            break;
        }
    } else {
        const auto z = size_t(k);
        const int32_t wk = transformed[z].width(), hk = transformed[z].height();
        switch (side) {
        case StripSide::Left:
            placement[s].posX = hit.opposite ? placement[z].posX - ws : placement[z].posX;
            break;
        case StripSide::Right:
            placement[s].posX = hit.opposite ? placement[z].posX + wk : placement[z].posX + wk - ws;
            break;
        case StripSide::Top:
            placement[s].posY = hit.opposite ? placement[z].posY + hk : placement[z].posY + hk - hs;
            break;
        case StripSide::Bottom:
            placement[s].posY = hit.opposite ? placement[z].posY - hs : placement[z].posY;
            break;
        }
    }
    editValues(workspace, platform, hit.nudge() ? "Nudge" : "Quick Align", after);
    return true;
}

namespace {
// The corner of `o` furthest along a side; ties keep the first in the order P0, P2, P1, P3.
ViewPoint extremeCorner(const Outline& o, StripSide towards)
{
    const ViewPoint order[4] = { o[0], o[2], o[1], o[3] };
    ViewPoint best = order[0];
    for (const ViewPoint& p : order) {
        const bool further = towards == StripSide::Left ? p.x < best.x
            : towards == StripSide::Right               ? p.x > best.x
            : towards == StripSide::Top                 ? p.y < best.y
                                                        : p.y > best.y;
        if (further)
            best = p;
    }
    return best;
}

StripSide oppositeSide(StripSide side)
{
    switch (side) {
    case StripSide::Left:
        return StripSide::Right;
    case StripSide::Right:
        return StripSide::Left;
    case StripSide::Top:
        return StripSide::Bottom;
    case StripSide::Bottom:
        return StripSide::Top;
    }
    return side;
}
}

StripGuide stripGuide(StripSide side, bool opposite, const Outline& selected, double selectedRotation,
    const Outline& zoneSource)
{
    StripGuide guide;
    guide.vertical = side == StripSide::Left || side == StripSide::Right;
    guide.a = extremeCorner(selected, opposite ? oppositeSide(side) : side);
    guide.b = extremeCorner(zoneSource, side);
    // An upright source has two corners on the edge: the arrow is moved off the corner so that
    // it does not run along the edge line itself.
    const bool upright = selectedRotation == 0.0 || selectedRotation == 90.0 || selectedRotation == -90.0
        || selectedRotation == 180.0;
    if (upright) {
        const bool leftOrTop = side == StripSide::Left || side == StripSide::Top;
        const int32_t shift = (leftOrTop == opposite) ? 40 : -40;
        if (guide.vertical)
            guide.a.y += shift;
        else
            guide.a.x += shift;
    }
    return guide;
}

} // namespace tessary
