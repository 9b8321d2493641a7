#pragma once
#include "corrections/trapezoid.h"
#include "corrections/ui/correction_dialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tessary {

// The trapezoid's preview: the outline of the trapezoid in red on white, the full base at the
// bottom (at the top when inverted) and the apex edge opposite.
class show_trapezoid : public QWidget {
    Q_OBJECT
public:
    explicit show_trapezoid(QWidget* parent = nullptr);
    void setValues(const TrapezoidValues& values);
    // The outline's corners in pane coordinates: base left, base right, apex right, apex left.
    QPolygon outline() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TrapezoidValues values_;
};

// "Trapezoid": ratio and apex position sliders, "Center", "Invert Trapezoid" and the preview
// only show the shape; "Apply" and "OK" correct the source from the backup, "Cancel" gives the
// backup back.
class trapezoid : public CorrectionDialog {
    Q_OBJECT
public:
    trapezoid(const SourceWindow& window, QWidget* parent = nullptr);

    TrapezoidValues values() const;
    QSlider* ratioSlider() const { return ratio_; }
    QSlider* apexSlider() const { return apex_; }
    QLineEdit* ratioField() const { return ratioField_; }
    QCheckBox* invertBox() const { return invert_; }
    show_trapezoid* preview() const { return preview_; }

    void apply();

private:
    void controlsChanged();

    QSlider* ratio_ = nullptr;
    QSlider* apex_ = nullptr;
    QLineEdit* ratioField_ = nullptr;
    QCheckBox* invert_ = nullptr;
    show_trapezoid* preview_ = nullptr;
};

} // namespace tessary
