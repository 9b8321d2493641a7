#pragma once
#include "app/edit_path.h"
#include "app/places.h"
#include "merge/bias_pie.h"

#include <cstdint>
#include <optional>

namespace tessary {

class MergeWorkspace;
class Platform;

// The state of the "Target - Merge Sources" dialog. Layer moves and pie weights are written
// into the workspace when the user makes them; the merge type, the fade edges and the
// threshold fuzziness are the dialog's own until "Update Target" (or Ok) takes them over.
// Whatever the dialog changed becomes one "Merge Sources" step when it closes, however it closes.
class MergeSettings {
public:
    // Opening: the workspace's values; "Update Target" is enabled, and the settings count as
    // changed, exactly when the target is not generated.
    MergeSettings(MergeWorkspace& workspace, Platform& platform);

    int32_t mergeType() const { return mergeType_; }
    int32_t fuzziness() const { return fuzziness_; }
    bool fadeEdge(int32_t slot) const { return fadeEdge_[size_t(slot)] != 0; }
    bool updateEnabled() const { return updateEnabled_; }
    // 0 "Move Up", 1 "Move Down".
    int32_t moveDirection = 0;

    // The user's changes of the dialog's own values.
    void setMergeType(int32_t type);
    void setFadeEdge(int32_t slot, bool on);
    // One step of the fuzziness arrows, kept within 1..100.
    void stepFuzziness(int32_t step);

    // Source button of `slot`: one step in `moveDirection`, then the pie is reset.
    void pressSourceButton(int32_t slot);
    // "Blend all to middle layer", then the pie is reset.
    void blendAllToMiddle();
    // "Reset": equal weights for the middle-layer sources.
    void resetPie();
    // A press on the pie at `percent`: the boundary held, if any. Every press counts as a change.
    std::optional<WedgeHold> pressPie(double percent);
    void dragPie(const WedgeHold& hold, double percent);

    // "Update Target": the dialog's values go into the workspace and the target is generated.
    void updateTarget();
    // "Ok" and the close box: "Update Target" first when anything changed, then the step.
    void ok();
    // Esc: the dialog's own values are dropped; layer and pie changes stay and make the step,
    // and the target is marked stale unless it was generated from exactly these values.
    void escape();

private:
    void changed();

    MergeWorkspace& workspace_;
    Platform& platform_;
    ValuesEdit edit_;
    int32_t mergeType_;
    int32_t fuzziness_;
    PerPlace<int32_t> fadeEdge_;
    bool updateEnabled_ = false;
};

} // namespace tessary
