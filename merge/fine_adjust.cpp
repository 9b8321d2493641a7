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
    , baseX_(workspace.alignDoc.posX)
    , baseY_(workspace.alignDoc.posY)
    , baseScaleX_(workspace.alignDoc.scaleX)
    , baseScaleY_(workspace.alignDoc.scaleY)
    , baseAngle_(workspace.alignDoc.rotation)
    , transformedScaleX_(baseScaleX_)
    , transformedScaleY_(baseScaleY_)
    , transformedAngle_(baseAngle_)
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
    doc.posX[i] = baseX_[i] + offsets.horizontal;
    doc.posY[i] = baseY_[i] + offsets.vertical;
    const int32_t x = doc.posX[i], y = doc.posY[i];
    normalisePositions(doc, count);
    // The normalisation moved every source alike; the base values move with them.
    const int32_t shiftX = doc.posX[i] - x, shiftY = doc.posY[i] - y;
    for (int32_t k = 0; k < count; ++k) {
        baseX_[size_t(k)] += shiftX;
        baseY_[size_t(k)] += shiftY;
    }
    doc.scaleX[i] = std::max(baseScaleX_[i] + offsets.scaleX, 1.0);
    doc.scaleY[i] = std::max(baseScaleY_[i] + offsets.scaleY, 1.0);
    doc.rotation[i] = baseAngle_[i] + offsets.angle / 10.0;
    normalisePositions(doc, count);
    fineAdjustChanged_ = true;
}

bool FineAdjust::needsTransform(int32_t slot) const
{
    const CAlignDoc& doc = workspace_.alignDoc;
    const size_t i = size_t(slot);
    return doc.scaleX[i] != transformedScaleX_[i] || doc.scaleY[i] != transformedScaleY_[i]
        || doc.rotation[i] != transformedAngle_[i];
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
        transformedScaleX_[i] = workspace_.alignDoc.scaleX[i];
        transformedScaleY_[i] = workspace_.alignDoc.scaleY[i];
        transformedAngle_[i] = workspace_.alignDoc.rotation[i];
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
