#pragma once
#include "corrections/cylindrical.h"
#include "corrections/ui/correction_dialog.h"

class QLineEdit;
class QPushButton;
class QSlider;

namespace tessary {

// "Cylindrical Projection": Left, Right and "Elevation %" sliders (Left never right of Right);
// a move enables "Apply", which projects the source from the backup and disables itself;
// "Reset" brings the sliders back and applies; "Ok" applies and closes. Closing otherwise gives
// the backup back exactly.
class fishdistort : public CorrectionDialog {
    Q_OBJECT
public:
    fishdistort(const SourceWindow& window, QWidget* parent = nullptr);

    const CylinderValues& values() const { return values_; }
    QSlider* leftSlider() const { return left_; }
    QSlider* rightSlider() const { return right_; }
    QSlider* elevationSlider() const { return elevation_; }
    QLineEdit* shownValue(int slider) const { return shown_[slider]; }
    QPushButton* applyButton() const { return apply_; }

    void apply();
    void reset();

private:
    void showValues();

    CylinderValues values_;
    QSlider* left_ = nullptr;
    QSlider* right_ = nullptr;
    QSlider* elevation_ = nullptr;
    QLineEdit* shown_[3] {};
    QPushButton* apply_ = nullptr;
};

} // namespace tessary
