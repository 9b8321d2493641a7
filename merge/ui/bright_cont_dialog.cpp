#include "merge/ui/bright_cont_dialog.h"

#include "app/workspace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tessary {

namespace {
QSlider* makeSlider(const SettingRange& range, int id, const char* name, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setProperty("controlId", id);
    slider->setRange(range.min, range.max);
    slider->setMinimumWidth(260);
    return slider;
}
}

CBrightCont::CBrightCont(MergeWorkspace& workspace, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , workspace_(workspace)
    , platform_(platform)
    , values_(workspace.targetDoc)
{
    setObjectName("CBrightCont");
    setWindowTitle("Contrast and Brightness");

    contrast_ = makeSlider(kTargetContrast, kContrastSliderId, "contrast", this);
    brightness_ = makeSlider(kTargetBrightness, kBrightnessSliderId, "brightness", this);
    auto* sliders = new QGridLayout;
    sliders->addWidget(new QLabel("Contrast", this), 0, 0);
    sliders->addWidget(contrast_, 0, 1);
    sliders->addWidget(new QLabel("Brightness", this), 1, 0);
    sliders->addWidget(brightness_, 1, 1);

    apply_ = new QPushButton("Apply", this);
    apply_->setObjectName("apply");
    apply_->setAutoDefault(false);
    defaults_ = new QPushButton("Set Defaults", this);
    defaults_->setObjectName("setDefaults");
    defaults_->setAutoDefault(false);
    ok_ = new QPushButton("Ok", this);
    ok_->setObjectName("ok");
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(defaults_);
    buttons->addStretch();
    buttons->addWidget(apply_);
    buttons->addWidget(ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("The current merge settings will be used.", this));
    layout->addLayout(sliders);
    layout->addLayout(buttons);

    showValues();
    apply_->setEnabled(values_.applyEnabled());
    // Only the user's moves count as changes, not the dialog moving its own sliders.
    connect(contrast_, &QSlider::valueChanged, this, &CBrightCont::slidersMoved);
    connect(brightness_, &QSlider::valueChanged, this, &CBrightCont::slidersMoved);
    connect(defaults_, &QPushButton::clicked, this, &CBrightCont::setDefaults);
    connect(apply_, &QPushButton::clicked, this, &CBrightCont::apply);
    connect(ok_, &QPushButton::clicked, this, &CBrightCont::ok);
}

void CBrightCont::showValues()
{
    const QSignalBlocker c(contrast_), b(brightness_);
    contrast_->setValue(values_.contrast());
    brightness_->setValue(values_.brightness());
}

void CBrightCont::slidersMoved()
{
    values_.slidersMoved(contrast_->value(), brightness_->value());
    apply_->setEnabled(values_.applyEnabled());
}

void CBrightCont::setDefaults()
{
    values_.setDefaults();
    showValues();
    apply_->setEnabled(values_.applyEnabled());
}

void CBrightCont::apply()
{
    values_.apply(workspace_, platform_);
}

void CBrightCont::ok()
{
    values_.ok(workspace_, platform_);
    accept();
}

} // namespace tessary
