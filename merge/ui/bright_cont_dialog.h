#pragma once
#include "merge/bright_cont.h"

#include <QDialog>

class QPushButton;
class QSlider;

namespace tessary {

class MergeWorkspace;
class Platform;

// The target's "Contrast and Brightness" dialog (the program's CBrightCont): two sliders, "Apply"
// to see the values on the target while the dialog stays open, "Set Defaults" to bring the
// sliders back to neutral, "Ok" to apply (unless applied already) and close; Esc closes without
// applying.
class CBrightCont : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContrastSliderId = 1073;
    static constexpr int kBrightnessSliderId = 1074;
    static constexpr int kApplyId = 1034;
    static constexpr int kSetDefaultsId = 1019;

    CBrightCont(MergeWorkspace& workspace, Platform& platform, QWidget* parent = nullptr);

    QSlider* contrastSlider() const { return contrast_; }
    QSlider* brightnessSlider() const { return brightness_; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* setDefaultsButton() const { return defaults_; }
    QPushButton* okButton() const { return ok_; }
    const BrightContValues& values() const { return values_; }

private:
    void slidersMoved();
    void setDefaults();
    void apply();
    void ok();
    void showValues();

    MergeWorkspace& workspace_;
    Platform& platform_;
    BrightContValues values_;
    QSlider* contrast_ = nullptr;
    QSlider* brightness_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace tessary
