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

namespace {
// The value a step moving `from` to `to` gives a field that is `now`.
template <class T> T stepped(const T& now, const T& from, const T& to) { return from == to ? now : to; }
}

WorkspaceValues withStepApplied(const WorkspaceValues& now, const WorkspaceValues& from, const WorkspaceValues& to)
{
    WorkspaceValues v;
    for (size_t s = 0; s < v.placement.size(); ++s) {
        const Placement &n = now.placement[s], &f = from.placement[s], &t = to.placement[s];
        v.placement[s] = Placement { stepped(n.posX, f.posX, t.posX), stepped(n.posY, f.posY, t.posY),
            stepped(n.scaleX, f.scaleX, t.scaleX), stepped(n.scaleY, f.scaleY, t.scaleY),
            stepped(n.rotation, f.rotation, t.rotation), stepped(n.topLevel, f.topLevel, t.topLevel),
            stepped(n.bottomLevel, f.bottomLevel, t.bottomLevel) };
        v.mirrored[s] = stepped(now.mirrored[s], from.mirrored[s], to.mirrored[s]);
        v.biasWeight[s] = stepped(now.biasWeight[s], from.biasWeight[s], to.biasWeight[s]);
        v.fadeEdge[s] = stepped(now.fadeEdge[s], from.fadeEdge[s], to.fadeEdge[s]);
    }
    v.mergeType = stepped(now.mergeType, from.mergeType, to.mergeType);
    v.thresholdFuzziness = stepped(now.thresholdFuzziness, from.thresholdFuzziness, to.thresholdFuzziness);
    v.backgroundColour = stepped(now.backgroundColour, from.backgroundColour, to.backgroundColour);
    v.marginColour = stepped(now.marginColour, from.marginColour, to.marginColour);
    v.marginX = stepped(now.marginX, from.marginX, to.marginX);
    v.marginY = stepped(now.marginY, from.marginY, to.marginY);
    v.targetContrast = stepped(now.targetContrast, from.targetContrast, to.targetContrast);
    v.targetBrightness = stepped(now.targetBrightness, from.targetBrightness, to.targetBrightness);
    return v;
}

bool transformDiffers(const WorkspaceValues& a, const WorkspaceValues& b, size_t place)
{
    return !a.placement[place].sameTransformAs(b.placement[place])
        || (a.mirrored[place] != 0) != (b.mirrored[place] != 0);
}

} // namespace tessary
