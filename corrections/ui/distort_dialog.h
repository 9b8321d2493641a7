#pragma once
#include "corrections/ui/correction_dialog.h"

class QLineEdit;

namespace tessary {

// The pincushion dialog's curve: the radial deviation q (f(q) - 1) over the distance from the
// centre, red on white with a dotted middle line and nine light grey tenths.
class show_distort : public QWidget {
    Q_OBJECT
public:
    explicit show_distort(QWidget* parent = nullptr);
    void setTerms(double k3, double k5);
    // The curve's points in pane coordinates.
    QPolygon curve() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect plotRect() const;
    double k3_ = 0;
    double k5_ = 0;
};

// "Pincushion Barrel Distortion": the third and fifth terms, the curve, "Apply" and "OK" (which
// stays open when the correction fails), "Cancel" giving the backup back.
class distort : public CorrectionDialog {
    Q_OBJECT
public:
    distort(const SourceWindow& window, QWidget* parent = nullptr);

    QLineEdit* thirdField() const { return third_; }
    QLineEdit* fifthField() const { return fifth_; }
    show_distort* curvePane() const { return curve_; }
    // True when the source was corrected.
    bool apply();

private:
    void fieldEdited(bool third);

    QLineEdit* third_ = nullptr;
    QLineEdit* fifth_ = nullptr;
    show_distort* curve_ = nullptr;
};

} // namespace tessary
