#include "app/workspace_values.h"

#include "app/workspace.h"

namespace tessary {

WorkspaceValues captureValues(const MergeWorkspace& workspace)
{
    const CDestdoc& target = workspace.targetDoc;
    WorkspaceValues v;
    v.placement = workspace.alignDoc.placement;
    v.mirrored = target.mirrored;
    v.biasWeight = workspace.biasWeight;
    v.fadeEdge = workspace.fadeEdge;
    v.mergeType = workspace.mergeType;
    v.thresholdFuzziness = target.thresholdFuzziness;
    v.backgroundColour = target.backgroundColour;
    v.marginColour = target.marginColour;
    v.marginX = target.marginX;
    v.marginY = target.marginY;
    v.targetContrast = target.targetContrast;
    v.targetBrightness = target.targetBrightness;
    return v;
}

void storeValues(MergeWorkspace& workspace, const WorkspaceValues& v)
{
    CDestdoc& target = workspace.targetDoc;
    workspace.alignDoc.placement = v.placement;
    target.mirrored = v.mirrored;
    workspace.biasWeight = v.biasWeight;
    workspace.fadeEdge = v.fadeEdge;
    workspace.mergeType = v.mergeType;
    target.thresholdFuzziness = v.thresholdFuzziness;
    target.backgroundColour = v.backgroundColour;
    target.marginColour = v.marginColour;
    target.marginX = v.marginX;
    target.marginY = v.marginY;
    target.targetContrast = v.targetContrast;
    target.targetBrightness = v.targetBrightness;
}

bool transformDiffers(const WorkspaceValues& a, const WorkspaceValues& b, size_t place)
{
    return !a.placement[place].sameTransformAs(b.placement[place])
        || (a.mirrored[place] != 0) != (b.mirrored[place] != 0);
}

} // namespace tessary
