#include "output/extract_target_image.h"

#include "app/platform.h"
#include "app/workspace.h"
#include "merge/unmasked_image.h"
#include "sources/load_image_file.h"

#include <algorithm>
#include <cstring>

namespace tessary {

std::unique_ptr<PackedDib> extractTargetImage(const MergeWorkspace& workspace, Platform& platform)
{
    const CDestdoc& target = workspace.targetDoc;
    if (!target.targetImage)
        return nullptr;
    ImageRect rect { 0, 0, target.targetImage->width(), target.targetImage->height() };
    if (target.zoneSelected == 1)
        rect = zoneImageRect(workspace.targetView.zoneAnchor, workspace.targetView.zoneCorner,
            target.viewPercentX, target.viewPercentY);
    return extractTargetRect(*target.targetImage, rect, platform);
}

std::unique_ptr<PackedDib> extractTargetRect(
    const PackedDib& target, const ImageRect& rect, Platform& platform)
{
    MaskedDib out;
    // The target is always 24 bits per pixel; anything else has nothing this copy could read.
    if (target.bitCount() != 24 || allocateUnmaskedImage(rect.height, rect.width, out)) {
        platform.messageBox(kRunOutOfMemory, MessageIcon::Error, MessageButtons::Ok);
        return nullptr;
    }
    const int64_t W = target.width(), H = target.height();
    // Zone column j is target column left + j; only the columns inside the target are copied.
    const int64_t firstColumn = std::max<int64_t>(0, -int64_t(rect.left));
    const int64_t endColumn = std::min<int64_t>(rect.width, W - rect.left);
    for (int32_t i = 0; i < rect.height && firstColumn < endColumn; ++i) {
        // Stored row i of the zone (counted from its bottom) is stored row H - h - top + i of the
        // target.
        const int64_t sourceRow = H - rect.height - rect.top + i;
        if (sourceRow < 0 || sourceRow >= H)
            continue;
        const uint8_t* from = target.row(int32_t(sourceRow)) + 3 * (rect.left + firstColumn);
        uint8_t* to = out.dib->row(i) + 3 * firstColumn;
        std::memcpy(to, from, size_t(3 * (endColumn - firstColumn)));
    }
    return std::move(out.dib);
}

} // namespace tessary
