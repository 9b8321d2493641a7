#pragma once
#include "corrections/ui/correction_dialog.h"

class QLineEdit;

namespace tessary {

// "Skew": the angle from vertical in degrees (-89..89, start 0); "Apply" and "OK" skew the
// source from the backup (a field that is not an integer in range shows the range message and
// nothing is corrected), "Cancel" gives the backup back.
class skew : public CorrectionDialog {
    Q_OBJECT
public:
    skew(const SourceWindow& window, QWidget* parent = nullptr);

    QLineEdit* angleField() const { return angle_; }
    // True when the field held a valid angle (whatever the correction then made of it).
    bool apply();

private:
    QLineEdit* angle_ = nullptr;
};

} // namespace tessary
