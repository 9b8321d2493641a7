#include "corrections/ui/trapezoid_dialog.h"

#include "corrections/ui/progress_strip.h"
#include "merge/ui/scroll_target_arrows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tessary {

show_trapezoid::show_trapezoid(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("show_trapezoid");
    setMinimumSize(160, 120);
}

void show_trapezoid::setValues(const TrapezoidValues& values)
{
    values_ = values;
    update();
}

QPolygon show_trapezoid::outline() const
{
    const QRect inner = rect().adjusted(3, 3, -3, -3);
    const int left = inner.left(), right = inner.right();
    const ApexSpan apex = trapezoidApex(left, right, values_);
    const int base = values_.inverted ? inner.top() : inner.bottom();
    const int top = values_.inverted ? inner.bottom() : inner.top();
    return QPolygon(
        { QPoint(left, base), QPoint(right, base), QPoint(apex.to, top), QPoint(apex.from, top) });
}

void show_trapezoid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect().adjusted(2, 2, -2, -2), Qt::white);
    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.drawPolygon(outline());
}

namespace {
QSlider* percentSlider(const SettingRange& range, const char* name, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(range.min, range.max);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setValue(range.start);
    slider->setMinimumWidth(200);
    return slider;
}
}

trapezoid::trapezoid(const SourceWindow& window, QWidget* parent)
    : CorrectionDialog(window, true, parent)
{
    setObjectName("trapezoid");
    setWindowTitle("Trapezoid");
    auto* text = new QLabel(
        "Distort this source image to a trapezoidal shape, either from the top or the bottom.", this);
    text->setWordWrap(true);

    ratio_ = percentSlider(TrapezoidValues::kRatio, "ratio", this);
    ratioField_ = new QLineEdit(this);
    ratioField_->setObjectName("ratioValue");
    ratioField_->setReadOnly(true);
    ratioField_->setMaximumWidth(48);
    apex_ = percentSlider(TrapezoidValues::kApexPosition, "apexPosition", this);
    auto* center = new QPushButton("Center", this);
    center->setObjectName("center");
    center->setAutoDefault(false);
    invert_ = new QCheckBox("Invert Trapezoid", this);
    invert_->setObjectName("invertTrapezoid");
    preview_ = new show_trapezoid(this);

    auto* controls = new QGridLayout;
    controls->addWidget(new QLabel("Ratio of apex to base            %", this), 0, 0, 1, 3);
    controls->addWidget(ratio_, 1, 0, 1, 3);
    controls->addWidget(ratioField_, 1, 3);
    controls->addWidget(new QLabel("Apex position", this), 2, 0, 1, 3);
    controls->addWidget(new QLabel("L", this), 3, 0);
    controls->addWidget(apex_, 3, 1);
    controls->addWidget(new QLabel("R", this), 3, 2);
    controls->addWidget(center, 3, 3);
    controls->addWidget(invert_, 4, 0, 1, 4);

    auto* side = new QVBoxLayout;
    side->addWidget(preview_, 1);
    side->addWidget(makeScrollArrows(), 0, Qt::AlignHCenter);

    auto* top = new QHBoxLayout;
    top->addLayout(controls);
    top->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(top);
    layout->addWidget(strip_);
    layout->addLayout(okApplyCancel([this] {
        apply();
        return true;
    }));

    controlsChanged();
    connect(ratio_, &QSlider::valueChanged, this, &trapezoid::controlsChanged);
    connect(apex_, &QSlider::valueChanged, this, &trapezoid::controlsChanged);
    connect(invert_, &QCheckBox::toggled, this, &trapezoid::controlsChanged);
    connect(center, &QPushButton::clicked, this, [this] { apex_->setValue(50); });
}

TrapezoidValues trapezoid::values() const
{
    return { ratio_->value(), apex_->value(), invert_->isChecked() };
}

void trapezoid::controlsChanged()
{
    ratioField_->setText(QString::number(ratio_->value()));
    preview_->setValues(values());
}

void trapezoid::apply()
{
    const TrapezoidValues v = values();
    applyCorrection([&v](const MaskedDib& backup, MaskedDib& result, const RowProgress& progress) {
        return applyTrapezoid(backup, v, result, progress);
    });
}

} // namespace tessary
