#include "merge/ui/fine_adj_dialog.h"

#include "app/workspace.h"
#include "merge/ui/scroll_target_arrows.h"
#include "sources/source_doc.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace tessary {

namespace {
// An up-down control: the number changes only with its arrows.
QSpinBox* upDown(QWidget* parent, const char* name, int min, int max)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(min, max);
    box->setValue(std::clamp(0, min, max));
    box->setFocusPolicy(Qt::NoFocus);
    box->findChild<QLineEdit*>()->setReadOnly(true);
    box->setMinimumWidth(70);
    return box;
}
}

CFine_adj::CFine_adj(MergeWorkspace& workspace, Platform& platform,
    std::function<void(int, int)> scrollTarget, QWidget* parent)
    : QDialog(parent)
    , workspace_(workspace)
    , platform_(platform)
    , adjust_(workspace, platform)
{
    setObjectName("CFine_adj");
    setWindowTitle("Target - Fine Adjustment");

    auto* text
        = new QLabel("These commands CHANGE the scaling, distance between, or the rotation of the source "
                     "images from values decided at align time.",
            this);
    text->setWordWrap(true);

    selector_ = upDown(this, "selectSource", 1, std::max(1, workspace.sourceCount));
    selector_->setValue(1);
    title_ = new QLineEdit(this);
    title_->setObjectName("sourceTitle");
    title_->setReadOnly(true);
    title_->setFocusPolicy(Qt::NoFocus);
    title_->setAlignment(Qt::AlignCenter);
    auto* source = new QHBoxLayout;
    source->addWidget(new QLabel("Select Source ->", this));
    source->addWidget(selector_);
    source->addWidget(title_, 1);

    const char* names[5] = { "horizontal", "vertical", "rotateAngle", "horizontalScale", "verticalScale" };
    const char* labels[5]
        = { "Horizontal", "Vertical", "Rotate angle   0.1 degrees", "Horizontal Scale", "Vertical Scale" };
    auto* grid = new QGridLayout;
    grid->addWidget(
        new QLabel(
            "Distance in pixels between selected source image above and all other source images", this),
        0, 0, 1, 2);
    for (int k = 0; k < 5; ++k) {
        arrows_[size_t(k)] = upDown(this, names[k], -FineAdjust::kStepLimit, FineAdjust::kStepLimit);
        const int row = k < 2 ? 1 + k : 2 + k;
        if (k == 2)
            grid->addWidget(new QLabel("Source  Geometry", this), 3, 0, 1, 2);
        grid->addWidget(new QLabel(labels[k], this), row, 0);
        grid->addWidget(arrows_[size_t(k)], row, 1);
        connect(arrows_[size_t(k)], &QSpinBox::valueChanged, this, &CFine_adj::stepped);
    }
    connect(selector_, &QSpinBox::valueChanged, this, &CFine_adj::stepped);

    scrollArrows_ = new ScrollTargetArrows(std::move(scrollTarget), this);
    ok_ = new QPushButton("Ok", this);
    ok_->setObjectName("ok");
    ok_->setDefault(true);
    update_ = new QPushButton("Update Target", this);
    update_->setObjectName("updateTarget");
    update_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(scrollArrows_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(update_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(source);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, [this] {
        adjust_.ok();
        accept();
    });
    connect(update_, &QPushButton::clicked, this, [this] {
        if (!adjust_.updateTarget())
            clearOffsets();
        update_->setEnabled(adjust_.updateEnabled());
    });
    update_->setEnabled(adjust_.updateEnabled());
    showTitle();
}

void CFine_adj::stepped()
{
    const FineAdjust::Offsets offsets { arrows_[Horizontal]->value(), arrows_[Vertical]->value(),
        arrows_[Angle]->value(), arrows_[ScaleX]->value(), arrows_[ScaleY]->value() };
    adjust_.step(selector_->value(), offsets);
    showTitle();
    update_->setEnabled(adjust_.updateEnabled());
}

void CFine_adj::clearOffsets()
{
    for (QSpinBox* arrow : arrows_) {
        const QSignalBlocker quiet(arrow);
        arrow->setValue(0);
    }
}

void CFine_adj::showTitle()
{
    const int number = selector_->value();
    const VIrorozIzi* source
        = number >= 1 && number <= workspace_.sourceCount ? workspace_.source(number) : nullptr;
    title_->setText(source ? QString::fromStdString(source->title) : QString());
}

void CFine_adj::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CFine_adj::reject()
{
    // Esc, or the dialog closed from outside: what changed stays, as a step.
    adjust_.escape();
    QDialog::reject();
}

void CFine_adj::closeEvent(QCloseEvent* event)
{
    // The close box leaves the steps as they are, like Esc.
    adjust_.escape();
    event->accept();
    done(QDialog::Rejected);
}

} // namespace tessary
