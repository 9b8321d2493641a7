#pragma once
#include <cstdint>

namespace tessary {

class CDestdoc;
class MergeWorkspace;
class Platform;

// The state of the target's "Contrast and Brightness" dialog: its own copies of the contrast k
// (0..32, 16 neutral) and the brightness b (0..255, 128 neutral), whether "Apply" is enabled,
// and whether the values shown were applied. The dialog window moves its sliders from here.
class BrightContValues {
public:
    // Opening: the target's current values; nothing applied yet and "Apply" disabled.
    explicit BrightContValues(const CDestdoc& target);

    int32_t contrast() const { return contrast_; }
    int32_t brightness() const { return brightness_; }
    bool applyEnabled() const { return applyEnabled_; }
    bool contrastApplied() const { return contrastApplied_; }

    // The user moved a slider: both values are read back, "Apply" is enabled.
    void slidersMoved(int32_t contrast, int32_t brightness);
    // "Set Defaults": k = 16 and b = 128 shown, "Apply" enabled; nothing is applied yet.
    void setDefaults();
    // "Apply": the target takes both values (one "Contrast Brightness" step when they changed)
    // and is generated again; the dialog stays open.
    void apply(MergeWorkspace& workspace, Platform& platform);
    // "Ok": applies unless the values shown were applied already. The dialog then closes.
    void ok(MergeWorkspace& workspace, Platform& platform);

private:
    int32_t contrast_;
    int32_t brightness_;
    bool applyEnabled_ = false;
    bool contrastApplied_ = false;
};

} // namespace tessary
