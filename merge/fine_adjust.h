#pragma once
#include "align/placement.h"
#include "app/edit_path.h"
#include "app/places.h"

#include <cstdint>
#include <optional>

namespace tessary {

class MergeWorkspace;
class Platform;

// The state of the "Target - Fine Adjustment" dialog: small steps of one source's position,
// scale and angle relative to the values the Align Window decided (the base values, taken for
// all eight places when the dialog opens). Every step is written into the Align document at once;
// each "Update Target", and the closing, makes what changed since the last one a "Fine Alignment"
// step, its transformations on the edit path (a failed one takes the step back whole).
class FineAdjust {
public:
    static constexpr int32_t kStepLimit = 100; // each arrow runs from -100 to 100

    // The positions of the five adjustment arrows.
    struct Offsets {
        int32_t horizontal = 0; // target pixels
        int32_t vertical = 0;
        int32_t angle = 0; // tenths of a degree
        int32_t scaleX = 0; // 1024ths
        int32_t scaleY = 0;
    };

    // Opening: "Update Target" is enabled, and the adjustment counts as changed, exactly when
    // the target is not generated.
    FineAdjust(MergeWorkspace& workspace, Platform& platform);

    bool updateEnabled() const { return fineAdjustChanged_; }

    // Any step of any arrow, the source selector included: source `number` (1..sourceCount)
    // takes its base values plus `offsets`; positions are normalised, and the base values of
    // every source follow the shift so that the offsets stay relative to the other sources. A
    // scale never goes below 1.
    void step(int32_t number, const Offsets& offsets);

    // "Update Target": the change since the last update becomes a step (every source whose
    // scale or angle changed transformed again, the Align preview rebuilt) and the target is
    // generated. False when a transformation failed or was stopped: every source is then
    // placed as at the last update, and the offsets count from there (the dialog shows 0).
    bool updateTarget();
    // "Ok": "Update Target" first when anything changed.
    void ok();
    // Esc and the close box: the steps stay, as a step of their own; the target is marked
    // stale. Their transformations are made now, so that a failure takes them back at once.
    void escape();

private:
    void begin();

    MergeWorkspace& workspace_;
    Platform& platform_;
    std::optional<ValuesEdit> edit_;
    PerPlace<Placement> base_;
    bool fineAdjustChanged_ = false;
};

} // namespace tessary
