#include "merge/fine_adjust.h"

#include "align/mark_target_stale.h"
#include "align/normalise_positions.h"
#include "align/rebuild_preview.h"
#include "app/workspace.h"
#include "merge/target_commands.h"
#include "merge/transform_source.h"
#include "sources/source_doc.h"

#include <algorithm>

namespace tessary {

FineAdjust::FineAdjust(MergeWorkspace& workspace)
    : workspace_(workspace)
    , base_(workspace.alignDoc.placement)
    , transformed_(base_)
    , fineAdjustChanged_(workspace.targetDoc.generated == 0)
{
}

void FineAdjust::step(int32_t number, const Offsets& offsets)
{
    const int32_t count = std::clamp(workspace_.sourceCount, 0, kMaxSources);
    if (number < 1 || number > count)
        return;
    CAlignDoc& doc = workspace_.alignDoc;
    const size_t i = size_t(number - 1);
    doc.placement[i].posX = base_[i].posX + offsets.horizontal;
    doc.placement[i].posY = base_[i].posY + offsets.vertical;
    const int32_t x = doc.placement[i].posX, y = doc.placement[i].posY;
    normalisePositions(doc, count);
    // The normalisation moved every source alike; the base values move with them.
    const int32_t shiftX = doc.placement[i].posX - x, shiftY = doc.placement[i].posY - y;
    for (int32_t k = 0; k < count; ++k) {
        base_[size_t(k)].posX += shiftX;
        base_[size_t(k)].posY += shiftY;
    }
    doc.placement[i].scaleX = std::max(base_[i].scaleX + offsets.scaleX, 1.0);
    doc.placement[i].scaleY = std::max(base_[i].scaleY + offsets.scaleY, 1.0);
    doc.placement[i].rotation = base_[i].rotation + offsets.angle / 10.0;
    normalisePositions(doc, count);
    fineAdjustChanged_ = true;
}

bool FineAdjust::needsTransform(int32_t slot) const
{
    const CAlignDoc& doc = workspace_.alignDoc;
    const size_t i = size_t(slot);
    return !doc.placement[i].sameTransformAs(transformed_[i]);
}

void FineAdjust::updateTarget(Platform& platform)
{
    const int32_t count = std::clamp(workspace_.sourceCount, 0, kMaxSources);
    int status = 0;
    for (int32_t k = 0; k < count; ++k) {
        if (!needsTransform(k))
            continue;
        const int result = transformSource(workspace_, platform, k + 1);
        if (result != kTransformDone)
            status = result;
        const size_t i = size_t(k);
        transformed_[i] = workspace_.alignDoc.placement[i];
    }
    rebuildPreview(workspace_, platform, status);
    generateTargetCommand(workspace_, platform);
    fineAdjustChanged_ = false;
}

void FineAdjust::ok(Platform& platform)
{
    if (fineAdjustChanged_)
        updateTarget(platform);
}

void FineAdjust::escape(Platform& platform)
{
    if (!fineAdjustChanged_)
        return;
    const int32_t count = std::clamp(workspace_.sourceCount, 0, kMaxSources);
    for (int32_t k = 0; k < count; ++k)
        if (needsTransform(k))
            if (VIrorozIzi* source = workspace_.source(k + 1))
                source->changed = true;
    rebuildPreview(workspace_, platform, 0);
    markTargetStale(workspace_);
}

} // namespace tessary
