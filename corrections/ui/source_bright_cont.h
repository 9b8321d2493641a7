#pragma once
#include "corrections/tone_controls.h"
#include "corrections/ui/correction_dialog.h"

#include <array>

class QPushButton;
class QSlider;

namespace tessary {

// "Adjust Brightness & Contrast" for a source: master brightness and contrast, a brightness and
// a contrast per channel, the gamma. Moving a slider only copies a moved master to the channels;
// "Apply" and "OK" correct the source from the backup ("OK" then closes), "Reset" brings every
// control back to its start and applies. Closing otherwise keeps what was applied last.
class source_bright_cont : public CorrectionDialog {
    Q_OBJECT
public:
    source_bright_cont(const SourceWindow& window, QWidget* parent = nullptr);

    const ToneControls& controls() const { return controls_; }
    QSlider* masterBrightness() const { return masterBrightness_; }
    QSlider* masterContrast() const { return masterContrast_; }
    // Channel 0 red, 1 green, 2 blue.
    QSlider* brightness(int channel) const { return brightness_[size_t(channel)]; }
    QSlider* contrast(int channel) const { return contrast_[size_t(channel)]; }
    QSlider* gamma() const { return gamma_; }

    void apply();
    void reset();
    void ok();

private:
    void slidersMoved();
    void showControls();

    ToneControls controls_;
    QSlider* masterBrightness_ = nullptr;
    QSlider* masterContrast_ = nullptr;
    std::array<QSlider*, 3> brightness_ {};
    std::array<QSlider*, 3> contrast_ {};
    QSlider* gamma_ = nullptr;
};

} // namespace tessary
