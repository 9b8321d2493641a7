#include "corrections/ui/fishdistort_dialog.h"

#include "app/platform.h"
#include "corrections/pincushion.h"
#include "corrections/ui/progress_strip.h"
#include "merge/ui/scroll_target_arrows.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tessary {

namespace {
QSlider* makeSlider(const SettingRange& range, const char* name, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(range.min, range.max);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setMinimumWidth(220);
    return slider;
}

QPushButton* makeButton(const char* text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
}

fishdistort::fishdistort(const SourceWindow& window, QWidget* parent)
    : CorrectionDialog(window, true, parent, kDistortNoMemoryText)
{
    setObjectName("fishdistort");
    setWindowTitle("Cylindrical Projection");

    left_ = makeSlider(CylinderValues::kLeft, "left", this);
    right_ = makeSlider(CylinderValues::kRight, "right", this);
    elevation_ = makeSlider(CylinderValues::kElevation, "elevation", this);
    struct Row {
        const char* label;
        QSlider* slider;
        const char* low;
        const char* high;
    };
    const Row rows[3] = { { "Left", left_, "-180", "0" }, { "Right", right_, "0", "+180" },
        { "Elevation %", elevation_, "0", "100" } };
    auto* grid = new QGridLayout;
    for (int n = 0; n < 3; ++n) {
        shown_[n] = new QLineEdit(this);
        shown_[n]->setReadOnly(true);
        shown_[n]->setMaximumWidth(52);
        shown_[n]->setObjectName(QString(rows[n].slider->objectName()) + "Value");
        grid->addWidget(new QLabel(rows[n].label, this), 2 * n, 1);
        grid->addWidget(new QLabel(rows[n].low, this), 2 * n + 1, 0);
        grid->addWidget(rows[n].slider, 2 * n + 1, 1);
        grid->addWidget(new QLabel(rows[n].high, this), 2 * n + 1, 2);
        grid->addWidget(shown_[n], 2 * n + 1, 3);
    }

    auto* top = new QHBoxLayout;
    top->addLayout(grid);
    top->addWidget(makeScrollArrows("Scroll source"), 0, Qt::AlignVCenter);

    QPushButton* ok = makeButton("Ok", "ok", this);
    ok->setDefault(true);
    apply_ = makeButton("Apply", "apply", this);
    QPushButton* resetButton = makeButton("Reset", "reset", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(apply_);
    buttons->addWidget(resetButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(strip_);
    layout->addLayout(buttons);

    showValues();
    apply_->setEnabled(false);
    connect(left_, &QSlider::valueChanged, this, [this](int v) {
        values_.leftMoved(v);
        showValues();
        apply_->setEnabled(true);
    });
    connect(right_, &QSlider::valueChanged, this, [this](int v) {
        values_.rightMoved(v);
        showValues();
        apply_->setEnabled(true);
    });
    connect(elevation_, &QSlider::valueChanged, this, [this](int v) {
        values_.elevation = v;
        showValues();
        apply_->setEnabled(true);
    });
    connect(apply_, &QPushButton::clicked, this, &fishdistort::apply);
    connect(resetButton, &QPushButton::clicked, this, &fishdistort::reset);
    connect(ok, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
}

void fishdistort::showValues()
{
    const QSignalBlocker l(left_), r(right_), e(elevation_);
    left_->setValue(values_.left);
    right_->setValue(values_.right);
    elevation_->setValue(values_.elevation);
    shown_[0]->setText(QString::number(values_.left - 180));
    shown_[1]->setText(QString::number(values_.right));
    shown_[2]->setText(QString::number(values_.elevation));
}

void fishdistort::apply()
{
    const CylinderValues v = values_;
    const CorrectionStatus status
        = applyCorrection([&v](const MaskedDib& backup, MaskedDib& result, const RowProgress& progress) {
              return applyCylindrical(backup, v, result, progress);
          });
    if (status == CorrectionStatus::Refused)
        window_.platform.messageBox(kCylinderTooNarrowText, MessageIcon::Error, MessageButtons::Ok);
    apply_->setEnabled(false);
}

void fishdistort::reset()
{
    values_ = CylinderValues {};
    showValues();
    apply();
}

} // namespace tessary
