#include "align/ui/align_collage.h"

#include "align/ui/integer_edit.h"
#include "align/ui/swap_sources.h"
#include "app/platform.h"
#include "app/ui/child_window.h"
#include "app/ui/main_frame.h"
#include "app/workspace.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

namespace {
QLineEdit* numberEdit(QWidget* parent, const char* name, int32_t value)
{
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setObjectName(name);
    edit->setMaximumWidth(70);
    return edit;
}

QPushButton* button(QWidget* parent, const char* text, const char* name)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
}

align_collage::align_collage(MergeWorkspace& workspace, Platform& platform, MainFrame& frame, QWidget* owner)
    : QDialog(owner)
    , workspace_(workspace)
    , platform_(platform)
    , saved_(savePlacements(workspace.alignDoc))
    , edit_(workspace, platform, "Collage")
{
    setObjectName("align_collage");
    setWindowTitle(kCollageCaption);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    const CollageSettings defaults;
    auto* intro = new QLabel(
        "Collage your images here, but they must all be the same size which you can set below.", this);
    intro->setWordWrap(true);
    columns_ = numberEdit(this, "columns", defaults.columns);
    gapX_ = numberEdit(this, "gapX", defaults.gapX);
    gapY_ = numberEdit(this, "gapY", defaults.gapY);
    cellWidth_ = numberEdit(this, "cellWidth", defaults.cellWidth);
    cellHeight_ = numberEdit(this, "cellHeight", defaults.cellHeight);
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("Number of columns", this), 0, 0);
    fields->addWidget(columns_, 0, 1);
    fields->addWidget(new QLabel("Horizontal", this), 1, 1);
    fields->addWidget(new QLabel("Vertical", this), 1, 2);
    fields->addWidget(new QLabel("Gap between images.", this), 2, 0);
    fields->addWidget(gapX_, 2, 1);
    fields->addWidget(gapY_, 2, 2);
    fields->addWidget(new QLabel("Size of each image", this), 3, 0);
    fields->addWidget(cellWidth_, 3, 1);
    fields->addWidget(cellHeight_, 3, 2);
    fields->addWidget(new QLabel("Dimensions are all in pixels.", this), 4, 0, 1, 3);

    swapBox_ = new QLineEdit(this);
    swapBox_->setObjectName("swapBox");
    swapBox_->setReadOnly(true);
    swapBox_->setMaximumWidth(70);
    swap_ = new swap_sources(workspace.sourceCount, this);
    swap_->setFixedSize(136, 96);
    auto* swapRow = new QHBoxLayout;
    swapRow->addWidget(new QLabel("Swap:", this));
    swapRow->addWidget(swapBox_);
    swapRow->addWidget(swap_);
    swapRow->addStretch();
    auto* swapHow = new QLabel("Click in the white squares above to swap any pair as shown below.", this);
    swapHow->setWordWrap(true);

    map_ = new QFrame(this);
    map_->setObjectName("collageMap");
    map_->setFrameShape(QFrame::Box);
    map_->setFixedSize(180, 100);
    for (size_t j = 0; j < mapBoxes_.size(); ++j) {
        auto* box = new QLabel(map_);
        box->setAlignment(Qt::AlignCenter);
        box->setFrameShape(QFrame::Box);
        box->resize(16, 16);
        box->hide();
        mapBoxes_[j] = box;
    }

    ok_ = button(this, "OK", "ok");
    ok_->setDefault(true);
    apply_ = button(this, "Apply", "apply");
    cancel_ = button(this, "Cancel", "cancel");
    resetSwaps_ = button(this, "Reset Swaps", "resetSwaps");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resetSwaps_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(apply_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(fields);
    layout->addLayout(swapRow);
    layout->addWidget(swapHow);
    layout->addWidget(map_, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);

    connect(columns_, &QLineEdit::textEdited, this, &align_collage::columnsEdited);
    connect(swap_, &swap_sources::hovered, swapBox_, &QLineEdit::setText);
    connect(swap_, &swap_sources::swapRequested, this, &align_collage::swap);
    connect(ok_, &QPushButton::clicked, this, &align_collage::okPressed);
    connect(apply_, &QPushButton::clicked, this, &align_collage::apply);
    connect(cancel_, &QPushButton::clicked, this, &align_collage::reject);
    connect(resetSwaps_, &QPushButton::clicked, this, &align_collage::resetSwaps);
    // The Target Window taking over ends the collage as a source window does.
    connect(&frame, &MainFrame::childEntered, this, [this](ChildWindow* child) {
        if (child && child->kind() == ChildWindow::Kind::Target)
            dismiss();
    });
}

void align_collage::columnsEdited()
{
    bool ok = false;
    const int32_t typed = columns_->text().toInt(&ok);
    // Text still being typed (empty, a lone sign) is left to Apply's check.
    if (!ok)
        return;
    bool tooMany = false;
    const int32_t columns = collageColumns(typed, workspace_.sourceCount, tooMany);
    if (tooMany)
        platform_.messageBox(kCollageTooManyColumnsText, MessageIcon::Plain, MessageButtons::Ok);
    if (columns != typed)
        columns_->setText(QString::number(columns));
}

bool align_collage::apply()
{
    CollageSettings s;
    const auto columns = checkIntegerEdit(columns_, 1, kCollageColumnsMax, platform_);
    if (!columns)
        return false;
    const auto gapX = checkIntegerEdit(gapX_, 0, kCollageGapMax, platform_);
    if (!gapX)
        return false;
    const auto gapY = checkIntegerEdit(gapY_, 0, kCollageGapMax, platform_);
    if (!gapY)
        return false;
    const auto cellWidth = checkIntegerEdit(cellWidth_, kCollageCellMin, kCollageCellMax, platform_);
    if (!cellWidth)
        return false;
    const auto cellHeight = checkIntegerEdit(cellHeight_, kCollageCellMin, kCollageCellMax, platform_);
    if (!cellHeight)
        return false;
    // Sources may have closed since the field was typed: check the columns against them again.
    bool tooMany = false;
    s.columns = collageColumns(*columns, workspace_.sourceCount, tooMany);
    if (tooMany) {
        platform_.messageBox(kCollageTooManyColumnsText, MessageIcon::Plain, MessageButtons::Ok);
        columns_->setText(QString::number(s.columns));
        return false;
    }
    s.gapX = *gapX;
    s.gapY = *gapY;
    s.cellWidth = *cellWidth;
    s.cellHeight = *cellHeight;
    if (applyCollage(workspace_, platform_, order_, s, saved_) != 0) {
        // The collage was taken back as Cancel takes it back.
        cancelled_ = true;
        dismiss();
        return false;
    }
    showMap(s);
    return true;
}

void align_collage::showMap(const CollageSettings& settings)
{
    for (QLabel* box : mapBoxes_)
        box->hide();
    const int32_t count = std::min(workspace_.sourceCount, kMaxSources);
    for (int32_t j = 0; j < count; ++j) {
        const ViewPoint at = collageMapBox(j, settings.columns, count, map_->width(), map_->height());
        QLabel* box = mapBoxes_[size_t(j)];
        box->setText(QString::number(order_[size_t(j)] + 1));
        box->move(at.x, at.y);
        box->show();
    }
}

void align_collage::okPressed()
{
    if (apply())
        dismiss();
}

void align_collage::resetSwaps()
{
    order_ = identityCollageOrder();
    apply();
}

void align_collage::swap(int first, int second)
{
    swapCollageSources(order_, first - 1, second - 1);
    apply();
}

void align_collage::reject()
{
    // Only positions and scales go back (a rotation made meanwhile stays), so the edit is not
    // abandoned, which would put back every value.
    restorePlacements(workspace_, platform_, saved_);
    cancelled_ = true;
    dismiss();
}

void align_collage::dismiss()
{
    dismissing_ = true;
    close();
}

void align_collage::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous() && !dismissing_) {
        event->ignore();
        reject();
        return;
    }
    // QDialog would reject here; closing by the program keeps the placements.
    if (!cancelled_) {
        cancelled_ = true; // recorded once, however often it is closed
        edit_.recordApplied(cancelledValues(captureValues(workspace_), saved_));
    }
    event->accept();
    QWidget::closeEvent(event);
}

align_collage* openCollageDialog(
    QPointer<QWidget>& slot, MergeWorkspace& workspace, Platform& platform, MainFrame& frame, QWidget* owner)
{
    if (slot)
        return qobject_cast<align_collage*>(slot.data());
    auto* dialog = new align_collage(workspace, platform, frame, owner);
    slot = dialog;
    dialog->show();
    return dialog;
}

} // namespace tessary
