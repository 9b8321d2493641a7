#include "merge/target_zone.h"

#include <algorithm>
#include <cstdlib>

namespace tessary {

int32_t snapCoordinate(int32_t v, int32_t grid)
{
    if (grid < 1)
        grid = 1;
    return (v / grid) * grid;
}

int32_t viewToImage(int64_t v, int32_t percent)
{
    if (percent < 1)
        percent = 100;
    return int32_t(std::clamp<int64_t>(v * 100 / percent, INT32_MIN, INT32_MAX));
}

ViewPoint limitZonePoint(ViewPoint p, int32_t viewWidth, int32_t viewHeight, int32_t grid)
{
    int32_t x = snapCoordinate(p.x, grid);
    int32_t y = snapCoordinate(p.y, grid);
    if (x >= viewWidth)
        x = snapCoordinate(viewWidth, grid);
    if (y >= viewHeight)
        y = snapCoordinate(viewHeight, grid);
    return ViewPoint { std::max(x, 0), std::max(y, 0) };
}

ZoneSize zoneSize(ViewPoint a, ViewPoint b, int32_t viewPercentX, int32_t viewPercentY)
{
    return ZoneSize { viewToImage(std::abs(int64_t(a.x) - b.x), viewPercentX),
        viewToImage(std::abs(int64_t(a.y) - b.y), viewPercentY) };
}

std::string zonePopupText(ZoneSize size)
{
    if (size.tooSmall())
        return "Zone too small";
    return "Zone size X,Y = " + std::to_string(size.width) + " ," + std::to_string(size.height);
}

std::string pointerPositionText(
    ViewPoint p, int32_t viewHeight, int32_t grid, int32_t viewPercentX, int32_t viewPercentY)
{
    const int32_t x = viewToImage(snapCoordinate(p.x + 1, grid), viewPercentX);
    const int32_t y = viewToImage(snapCoordinate(viewHeight - p.y, grid), viewPercentY);
    return "x = " + std::to_string(x) + " y = " + std::to_string(y);
}

ZoneRelease releaseZone(ViewPoint anchor, ViewPoint p, int32_t viewWidth, int32_t viewHeight, int32_t grid,
    int32_t imageWidth, int32_t imageHeight, int32_t viewPercentX, int32_t viewPercentY)
{
    ViewPoint corner = limitZonePoint(p, viewWidth, viewHeight, grid);
    corner.x = std::min(corner.x, imageWidth);
    corner.y = std::min(corner.y, imageHeight);
    if (zoneSize(anchor, corner, viewPercentX, viewPercentY).tooSmall())
        return ZoneRelease { corner, corner, 0 };
    return ZoneRelease { anchor, corner, 1 };
}

ZoneButtonPlaces zoneButtonPlaces(ViewPoint release, int32_t clientRight, int32_t clientBottom)
{
    const int32_t x = release.x, y = release.y;
    ZoneButtonPlaces places { ViewRect { x + 5, y + 5, x + 21, y + 21 },
        ViewRect { x + 24, y + 5, x + 40, y + 21 } };
    if (clientRight < x + 21) {
        places.save.left = x - 75;
        places.save.right = x - 59;
    }
    if (clientRight < x + 40) {
        places.print.left = x - 56;
        places.print.right = x - 40;
    }
    if (clientBottom < y + 21) {
        places.save.top = places.print.top = y - 35;
        places.save.bottom = places.print.bottom = y - 19;
    }
    return places;
}

ImageRect zoneImageRect(ViewPoint anchor, ViewPoint corner, int32_t viewPercentX, int32_t viewPercentY)
{
    const int32_t x1 = viewToImage(anchor.x, viewPercentX), x2 = viewToImage(corner.x, viewPercentX);
    const int32_t y1 = viewToImage(anchor.y, viewPercentY), y2 = viewToImage(corner.y, viewPercentY);
    return ImageRect { std::min(x1, x2), std::min(y1, y2), int32_t(std::abs(int64_t(x2) - x1)),
        int32_t(std::abs(int64_t(y2) - y1)) };
}

AutoScroll autoScrollStep(ViewPoint scroll, int32_t clientWidth, int32_t clientHeight, int32_t viewWidth,
    int32_t viewHeight, ViewPoint dragPoint)
{
    AutoScroll out { scroll, dragPoint, false };
    // One axis: the scroll position s, the client extent c, the view extent v, the corner p.
    auto follow = [&out](int32_t s, int32_t c, int32_t v, int32_t& newScroll, int32_t& p) {
        if (int64_t(s) + c < v && int64_t(p) >= int64_t(s) + c) {
            newScroll = p - c;
            p = int32_t(2 * int64_t(p) - (int64_t(s) + c));
            out.scrolled = true;
        } else if (p < s && s > 0) {
            newScroll = p;
            p = int32_t(int64_t(p) - (int64_t(s) - p));
            out.scrolled = true;
        }
    };
    follow(scroll.x, clientWidth, viewWidth, out.scroll.x, out.dragPoint.x);
    follow(scroll.y, clientHeight, viewHeight, out.scroll.y, out.dragPoint.y);
    return out;
}

} // namespace tessary
