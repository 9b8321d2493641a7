#include "app/status_text.h"

#include "app/workspace.h"

#include <cstdlib>

namespace tessary {

StatusTextInputs statusTextInputs(const MergeWorkspace& ws)
{
    StatusTextInputs in;
    in.sourceCount = ws.sourceCount;
    in.activeSourceNumber = ws.activeSourceNumber;
    in.alignViewActive = ws.alignViewActive;
    in.layoutWidth = ws.alignDoc.layoutWidth;
    in.layoutHeight = ws.alignDoc.layoutHeight;
    in.generated = ws.targetDoc.generated;
    in.zoneSelected = ws.targetDoc.zoneSelected;
    in.zoneAnchor = ws.targetView.zoneAnchor;
    in.zoneCorner = ws.targetView.zoneCorner;
    in.viewPercentX = ws.targetDoc.viewPercentX;
    in.viewPercentY = ws.targetDoc.viewPercentY;
    if (ws.targetDoc.targetImage) {
        in.hasTargetImage = true;
        in.targetWidth = ws.targetDoc.targetImage->width();
        in.targetHeight = ws.targetDoc.targetImage->height();
    }
    return in;
}

namespace {
// A zone side in target pixels. The viewing size is always a positive percentage; a zero
// or negative one would divide by zero, so it counts as 100 %.
int64_t targetPixels(int64_t viewPixels, int32_t viewPercent)
{
    if (viewPercent <= 0)
        viewPercent = 100;
    return viewPixels * 100 / viewPercent;
}
}

std::optional<std::string> workspaceStatusText(const StatusTextInputs& in)
{
    if (in.sourceCount == 0)
        return "Awaiting load of at least two sources.";
    if (in.sourceCount == 1)
        return "Awaiting load of 2nd source.";
    if (in.activeSourceNumber != -1)
        return "This is source " + std::to_string(in.activeSourceNumber);
    if (in.alignViewActive == 1)
        return "Predicted target size = " + std::to_string(in.layoutWidth) + " X "
            + std::to_string(in.layoutHeight);
    if (!in.generated)
        return "Target needs updating";
    if (in.zoneSelected == 1) {
        if (in.zoneAnchor.x == in.zoneCorner.x && in.zoneAnchor.y == in.zoneCorner.y)
            return std::nullopt;
        const int64_t w = std::abs(int64_t(in.zoneCorner.x) - in.zoneAnchor.x);
        const int64_t h = std::abs(int64_t(in.zoneCorner.y) - in.zoneAnchor.y);
        if (targetPixels(h, in.viewPercentY) < 64 || targetPixels(w, in.viewPercentX) < 64)
            return "Zone too small !";
        return "Print/Save from zone";
    }
    if (in.hasTargetImage)
        return "Actual target size = " + std::to_string(in.targetWidth) + " X "
            + std::to_string(in.targetHeight);
    return std::nullopt;
}

} // namespace tessary
