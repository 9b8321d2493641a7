#include "merge/fine_adjust.h"

#include "align/normalise_positions.h"
#include "app/workspace.h"
#include "merge/target_commands.h"

#include <algorithm>

namespace tessary {

namespace {
constexpr const char* kStepName = "Fine Alignment";
}

FineAdjust::FineAdjust(MergeWorkspace& workspace, Platform& platform)
    : workspace_(workspace)
    , platform_(platform)
    , base_(workspace.alignDoc.placement)
    , fineAdjustChanged_(workspace.targetDoc.generated == 0)
{
    begin();
}

void FineAdjust::begin()
{
    edit_.reset();
    edit_.emplace(workspace_, platform_, kStepName);
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

bool FineAdjust::updateTarget()
{
    const bool done = edit_->commit();
    if (done)
        generateTargetCommand(workspace_, platform_);
    else
        base_ = workspace_.alignDoc.placement;
    begin();
    // A target that could not be made leaves "Update Target" enabled.
    fineAdjustChanged_ = workspace_.targetDoc.generated == 0;
    return done;
}

void FineAdjust::ok()
{
    if (fineAdjustChanged_)
        updateTarget();
}

void FineAdjust::escape()
{
    if (!edit_->commit())
        base_ = workspace_.alignDoc.placement;
    begin();
}

} // namespace tessary
