#pragma once
#include "align/placement.h"
#include "app/places.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;

// The state of the "Target - Fine Adjustment" dialog: small steps of one source's position,
// scale and angle relative to the values the Align Window decided (the base values, taken for
// all eight places when the dialog opens). Every step is written into the Align document at once.
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
    explicit FineAdjust(MergeWorkspace& workspace);

    bool updateEnabled() const { return fineAdjustChanged_; }

    // Any step of any arrow, the source selector included: source `number` (1..sourceCount)
    // takes its base values plus `offsets`; positions are normalised, and the base values of
    // every source follow the shift so that the offsets stay relative to the other sources. A
    // scale never goes below 1.
    void step(int32_t number, const Offsets& offsets);

    // "Update Target": every source whose scale or angle changed is transformed again, the
    // Align preview rebuilt and the target generated.
    void updateTarget(Platform& platform);
    // "Ok": "Update Target" first when anything changed.
    void ok(Platform& platform);
    // Esc: the steps stay. When anything changed since the last update, the sources whose scale
    // or angle changed are marked changed (the Align Window transforms them when next
    // activated), the preview is rebuilt and the target marked stale.
    void escape(Platform& platform);

private:
    bool needsTransform(int32_t slot) const;

    MergeWorkspace& workspace_;
    PerPlace<Placement> base_;
    // Each source's transformed image as it stands was made with these scales and angle.
    PerPlace<Placement> transformed_;
    bool fineAdjustChanged_ = false;
};

} // namespace tessary
