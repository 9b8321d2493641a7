#include "corrections/ui/source_bright_cont.h"

#include "corrections/ui/progress_strip.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tessary {

namespace {
QSlider* makeSlider(const SettingRange& range, int tick, const QString& name, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(range.min, range.max);
    slider->setTickInterval(tick);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setMinimumWidth(200);
    return slider;
}

// The small colour picture that marks a channel's row.
QLabel* channelMarker(const QColor& colour, QWidget* parent)
{
    auto* marker = new QLabel(parent);
    marker->setFixedSize(14, 14);
    marker->setStyleSheet(QString("background-color: %1; border: 1px solid gray;").arg(colour.name()));
    return marker;
}

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
}

source_bright_cont::source_bright_cont(const SourceWindow& window, QWidget* parent)
    : CorrectionDialog(window, false, parent)
{
    setObjectName("source_bright_cont");
    setWindowTitle("Adjust Brightness & Contrast");

    masterBrightness_ = makeSlider(kToneBrightness, 32, "masterBrightness", this);
    masterContrast_ = makeSlider(kToneContrast, 16, "masterContrast", this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Brightness", this), 0, 1);
    grid->addWidget(new QLabel("Contrast", this), 0, 2);
    grid->addWidget(masterBrightness_, 1, 1);
    grid->addWidget(masterContrast_, 1, 2);
    const char* names[3] = { "red", "green", "blue" };
    const QColor colours[3] = { Qt::red, Qt::green, Qt::blue };
    for (int n = 0; n < 3; ++n) {
        brightness_[size_t(n)] = makeSlider(kToneBrightness, 32, QString(names[n]) + "Brightness", this);
        contrast_[size_t(n)] = makeSlider(kToneContrast, 16, QString(names[n]) + "Contrast", this);
        grid->addWidget(channelMarker(colours[n], this), n + 2, 0);
        grid->addWidget(brightness_[size_t(n)], n + 2, 1);
        grid->addWidget(contrast_[size_t(n)], n + 2, 2);
    }
    gamma_ = makeSlider(kToneGamma, 32, "gamma", this);
    grid->addWidget(new QLabel("Gamma Adjustment", this), 5, 1);
    grid->addWidget(gamma_, 6, 1, 1, 2);

    QPushButton* applyButton = makeButton("Apply", "apply", this);
    QPushButton* resetButton = makeButton("Reset", "reset", this);
    QPushButton* okButton = makeButton("OK", "ok", this);
    okButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resetButton);
    buttons->addStretch();
    buttons->addWidget(applyButton);
    buttons->addWidget(okButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(strip_);
    layout->addLayout(buttons);

    showControls();
    for (QSlider* slider : findChildren<QSlider*>())
        connect(slider, &QSlider::valueChanged, this, &source_bright_cont::slidersMoved);
    connect(applyButton, &QPushButton::clicked, this, &source_bright_cont::apply);
    connect(resetButton, &QPushButton::clicked, this, &source_bright_cont::reset);
    connect(okButton, &QPushButton::clicked, this, &source_bright_cont::ok);
}

void source_bright_cont::showControls()
{
    const QList<QSlider*> sliders = findChildren<QSlider*>();
    for (QSlider* slider : sliders)
        slider->blockSignals(true);
    masterBrightness_->setValue(controls_.masterBrightness);
    masterContrast_->setValue(controls_.masterContrast);
    for (size_t n = 0; n < 3; ++n) {
        brightness_[n]->setValue(controls_.values.channels[n].brightness);
        contrast_[n]->setValue(controls_.values.channels[n].contrast);
    }
    gamma_->setValue(controls_.values.gamma);
    for (QSlider* slider : sliders)
        slider->blockSignals(false);
}

void source_bright_cont::slidersMoved()
{
    controls_.masterBrightness = masterBrightness_->value();
    controls_.masterContrast = masterContrast_->value();
    for (size_t n = 0; n < 3; ++n) {
        controls_.values.channels[n].brightness = brightness_[n]->value();
        controls_.values.channels[n].contrast = contrast_[n]->value();
    }
    controls_.values.gamma = gamma_->value();
    controls_.propagate();
    showControls();
}

void source_bright_cont::apply()
{
    slidersMoved();
    const ToneValues values = controls_.values;
    applyCorrection([&values](const MaskedDib& backup, MaskedDib& result, const RowProgress& progress) {
        return applyTone(backup, values, result, progress);
    });
}

void source_bright_cont::reset()
{
    controls_.reset();
    showControls();
    apply();
}

void source_bright_cont::ok()
{
    apply();
    accept();
}

} // namespace tessary
