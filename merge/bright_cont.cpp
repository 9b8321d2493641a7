#include "merge/bright_cont.h"

#include "app/edit_path.h"
#include "app/workspace.h"
#include "merge/target_commands.h"

#include <algorithm>

namespace tessary {

BrightContValues::BrightContValues(const CDestdoc& target)
    : contrast_(kTargetContrast.clamp(target.targetContrast))
    , brightness_(kTargetBrightness.clamp(target.targetBrightness))
{
}

void BrightContValues::slidersMoved(int32_t contrast, int32_t brightness)
{
    contrast_ = kTargetContrast.clamp(contrast);
    brightness_ = kTargetBrightness.clamp(brightness);
    applyEnabled_ = true;
    contrastApplied_ = false;
}

void BrightContValues::setDefaults()
{
    contrast_ = kTargetContrast.start;
    brightness_ = kTargetBrightness.start;
    applyEnabled_ = true;
    // The values shown are no longer the ones applied, so "Ok" must apply them.
    contrastApplied_ = false;
}

void BrightContValues::apply(MergeWorkspace& workspace, Platform& platform)
{
    WorkspaceValues after = captureValues(workspace);
    after.targetContrast = contrast_;
    after.targetBrightness = brightness_;
    if (editValues(workspace, platform, "Contrast Brightness", after))
        generateTargetCommand(workspace, platform);
    contrastApplied_ = true;
}

void BrightContValues::ok(MergeWorkspace& workspace, Platform& platform)
{
    if (!contrastApplied_)
        apply(workspace, platform);
}

} // namespace tessary
