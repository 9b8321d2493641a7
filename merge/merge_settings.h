#pragma once
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
class MergeSettings {
public:
    // Opening: the workspace's values; "Update Target" is enabled, and the settings count as
    // changed, exactly when the target is not generated.
    explicit MergeSettings(MergeWorkspace& workspace);

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
    void updateTarget(Platform& platform);
    // "Ok" and the close box: "Update Target" first when anything changed.
    void ok(Platform& platform);
    // Esc: the dialog's own values are dropped; layer and pie changes stay, and when they
    // changed anything since the last update the target no longer matches its settings.
    void escape();

private:
    struct Written {
        PerPlace<int32_t> topLevel {};
        PerPlace<int32_t> bottomLevel {};
        PerPlace<double> biasWeight {};
        friend bool operator==(const Written&, const Written&) = default;
    };
    Written written() const;
    void changed();

    MergeWorkspace& workspace_;
    int32_t mergeType_;
    int32_t fuzziness_;
    PerPlace<int32_t> fadeEdge_;
    bool updateEnabled_ = false;
    Written lastUpdate_;
};

} // namespace tessary
