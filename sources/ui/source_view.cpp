#include "sources/ui/source_view.h"

#include "app/edit_path.h"
#include "app/ui/child_frame.h"
#include "app/ui/dib_image.h"
#include "app/ui/flying_tips.h"
#include "app/ui/main_frame.h"
#include "app/ui/select_toolbar.h"
#include "app/workspace.h"
#include "corrections/correction_session.h"
#include "corrections/tone.h"
#include "corrections/ui/distort_dialog.h"
#include "corrections/ui/fishdistort_dialog.h"
#include "corrections/ui/gridlines_dialog.h"
#include "corrections/ui/skew_dialog.h"
#include "corrections/ui/source_bright_cont.h"
#include "corrections/ui/trapezoid_dialog.h"
#include "sources/source_doc.h"
#include "sources/source_table.h"
#include "sources/ui/picture_buttons.h"
#include "sources/ui/source_crop.h"
#include "merge/ui/scroll_target_arrows.h"

#include <QAction>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

namespace tessary {

bool SourceWindowFamily::buttonsShown() const
{
    return std::any_of(buttons.begin(), buttons.end(), [](const auto& b) { return !b.isNull(); });
}

void SourceWindowFamily::removeButtons()
{
    for (QPointer<picture_button>& button : buttons) {
        delete button.data();
        button = nullptr;
    }
}

void SourceWindowFamily::removeSizePopup()
{
    delete sizePopup.data();
    sizePopup = nullptr;
}

namespace {
// Where the activation tip opens in the view.
const QRect kActivationTipRect(20, 20, 1, 1);
// The size popup keeps this far right of and below the pointer.
const QPoint kPopupOffset(10, 10);
}

VAvivedEred::VAvivedEred(MergeWorkspace& workspace, Platform& platform, MainFrame& mainFrame,
    SourceWindowFamily& family, VIrorozIzi& doc, CChildFrame& frame)
    : workspace_(workspace)
    , platform_(platform)
    , mainFrame_(mainFrame)
    , family_(family)
    , doc_(&doc)
    , frame_(frame)
    , number_(doc.number())
{
    setObjectName("VAvivedEred");
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setSingleStep(16);

    scrollTimer_ = new QTimer(this);
    scrollTimer_->setInterval(kAutoScrollMs);
    connect(scrollTimer_, &QTimer::timeout, this, &VAvivedEred::autoScroll);

    connect(frame_.makeAllTransparent(), &QAction::triggered, this, &VAvivedEred::makeAllTransparent);
    connect(frame_.makeAllOpaque(), &QAction::triggered, this, &VAvivedEred::makeAllOpaque);
    connect(frame_.grayScale(), &QAction::triggered, this, &VAvivedEred::grayScale);
    connect(frame_.brightnessContrast(), &QAction::triggered, this, &VAvivedEred::brightnessContrast);
    connect(frame_.trapezoid(), &QAction::triggered, this, &VAvivedEred::trapezoid);
    connect(frame_.skew(), &QAction::triggered, this, &VAvivedEred::skew);
    connect(frame_.pincushion(), &QAction::triggered, this, &VAvivedEred::pincushion);
    connect(frame_.cylindricalProjection(), &QAction::triggered, this, &VAvivedEred::cylindricalProjection);
    connect(frame_.gridLines(), &QAction::triggered, this, &VAvivedEred::gridLines);
    frame_.updateActions();

    connect(&mainFrame_, &MainFrame::childEntered, this, &VAvivedEred::childEntered);
    connect(&mainFrame_, &MainFrame::childLeft, this, &VAvivedEred::childLeft);
    workspace_.addObserver(this);
}

VAvivedEred::~VAvivedEred()
{
    workspace_.removeObserver(this);
    // The buttons and the popup are children of this view and go with it.
}

void VAvivedEred::detachDocument()
{
    doc_ = nullptr;
    dragging_ = false;
    scrollTimer_->stop();
    viewport()->update();
}

int32_t VAvivedEred::imageWidth() const
{
    return doc_ && doc_->image.dib ? doc_->image.width() : 0;
}
int32_t VAvivedEred::imageHeight() const
{
    return doc_ && doc_->image.dib ? doc_->image.height() : 0;
}

QPoint VAvivedEred::scrollPosition() const
{
    return { horizontalScrollBar()->value(), verticalScrollBar()->value() };
}

QPoint VAvivedEred::toImage(const QPointF& client) const
{
    return client.toPoint() + scrollPosition();
}

bool VAvivedEred::autoScrolling() const
{
    return scrollTimer_->isActive();
}

int VAvivedEred::firstShowing()
{
    updateScrollRange();
    if (!doc_)
        return -1;
    return showNewSource(workspace_, platform_, number_);
}

void VAvivedEred::updateScrollRange()
{
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, imageWidth() - client.width()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    verticalScrollBar()->setRange(0, std::max(0, imageHeight() - client.height()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
}

void VAvivedEred::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

// ---- drawing

void VAvivedEred::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    if (!doc_ || !doc_->image.dib)
        return;
    const QPoint scroll = scrollPosition();
    painter.translate(-scroll);
    // Only the part being painted is converted, from the image's own rows: a large source keeps
    // no second, display-sized copy of its pixels.
    const QRect part = event->rect().translated(scroll);
    const QImage piece = imageFromDibPart(*doc_->image.dib, part);
    if (!piece.isNull())
        painter.drawImage(QPoint(std::max(part.left(), 0), std::max(part.top(), 0)), piece);

    if (!doc_->processedOk) {
        const QFontMetrics metrics(painter.font());
        const QString text = kNotProcessedText;
        painter.fillRect(QRect(100, 20, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(100, 20 + metrics.ascent()), text);
    }

    if (dragging_) {
        drawDottedBox(painter, { box_.left, box_.top }, { pointerX_, pointerY_ });
        return;
    }
    drawMaskDots(painter, event->rect().translated(scroll));
    if (boxShown_)
        drawDottedBox(painter, { box_.left, box_.top }, { box_.right, box_.bottom });
}

void VAvivedEred::drawMaskDots(QPainter& painter, const QRect& visible) const
{
    const MaskedDib& image = doc_->image;
    // An opaque fact has no dots to show.
    if (!image.mask || image.maskCount == 0 || image.mask.isOpaqueFact())
        return;
    const int32_t width = image.width();
    const int32_t height = image.height();
    const int32_t firstX = std::max(0, visible.left() / kDotStep * kDotStep);
    const int32_t lastX = std::min(width - 1, visible.right());
    for (int32_t r = 0; r < height; r += kDotStep) {
        const int32_t y = height - 1 - r;
        if (y < visible.top() || y > visible.bottom())
            continue;
        const uint16_t* mask = image.maskRow(r);
        for (int32_t x = firstX; x <= lastX; x += kDotStep) {
            const uint16_t value = mask[x];
            if (value == kOpaque)
                continue;
            const int grey = value / 256;
            painter.setPen(QColor(grey, grey, grey));
            painter.drawPoint(x, y);
        }
    }
}

void VAvivedEred::drawDottedBox(QPainter& painter, const QPoint& from, const QPoint& to) const
{
    // A rectangle's outline covers its left and top edges up to one short of its right and
    // bottom edges.
    const int left = std::min(from.x(), to.x());
    const int right = std::max(from.x(), to.x());
    const int top = std::min(from.y(), to.y());
    const int bottom = std::max(from.y(), to.y());
    painter.save();
    // Dotted as the platform's dotted pen: three pixels on, three off.
    QPen pen(Qt::black, 1, Qt::CustomDashLine, Qt::SquareCap);
    pen.setCosmetic(true);
    pen.setDashPattern({ 3, 3 });
    painter.setPen(pen);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    // Each side once, so no pixel is drawn twice with the dots out of step.
    const int r = std::max(left, right - 1);
    const int b = std::max(top, bottom - 1);
    painter.drawLine(left, top, r, top);
    if (b > top) {
        painter.drawLine(r, top + 1, r, b);
        if (r > left) {
            painter.drawLine(r - 1, b, left, b);
            if (b - 1 > top)
                painter.drawLine(left, b - 1, left, top + 1);
        }
    }
    painter.restore();
}

// ---- box selection

void VAvivedEred::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !doc_) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    removePictureButtons();
    removeTipWindow();
    const QPoint p = toImage(event->position());
    const int32_t x = std::clamp(p.x(), 0, imageWidth());
    const int32_t y = std::clamp(p.y(), 0, imageHeight());
    box_ = SourceBox { x, x, y, y };
    pointerX_ = x;
    pointerY_ = y;
    dragging_ = true;
    // Qt keeps the pointer with this view while the button is held.
    scrollTimer_->start();
    if (!family_.sizePopup) {
        family_.sizePopup = new source_crop(viewport());
        family_.sizePopup->move(event->position().toPoint() + kPopupOffset);
        family_.sizePopup->showSize(0, 0);
    }
    viewport()->update();
}

void VAvivedEred::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_) {
        if (flying_tips* tip = mainFrame_.sharedWindows().alignTipWindow)
            showFlyingTip(tip, kSourceHoverTip, workspace_.app.flyingTipsEnabled);
        return;
    }
    const QPoint p = toImage(event->position());
    pointerX_ = std::clamp(p.x(), 0, imageWidth());
    pointerY_ = std::clamp(p.y(), 0, imageHeight());
    viewport()->update();
    if (family_.sizePopup) {
        family_.sizePopup->move(event->position().toPoint() + kPopupOffset);
        family_.sizePopup->showSize(std::abs(box_.left - pointerX_), std::abs(box_.top - pointerY_));
    }
}

void VAvivedEred::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging_) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    scrollTimer_->stop();
    family_.removeSizePopup();
    dragging_ = false;
    const QPoint p = toImage(event->position());
    box_.right = std::clamp(p.x(), 0, imageWidth());
    box_.bottom = std::clamp(p.y(), 0, imageHeight());
    box_ = normalisedBox(box_);
    if (box_.right - box_.left < kMinBoxWidth || box_.bottom - box_.top < kMinBoxHeight) {
        // The box collapses to the release point.
        const int32_t x = std::clamp(p.x(), 0, imageWidth());
        const int32_t y = std::clamp(p.y(), 0, imageHeight());
        box_ = SourceBox { x, x, y, y };
        viewport()->update();
        return;
    }
    boxShown_ = true;
    viewport()->update();
    showPictureButtons(event->position().toPoint());
}

void VAvivedEred::autoScroll()
{
    if (!dragging_)
        return;
    const int sx = horizontalScrollBar()->value();
    const int sy = verticalScrollBar()->value();
    const int cw = viewport()->width();
    const int ch = viewport()->height();
    const int32_t w = imageWidth();
    const int32_t h = imageHeight();
    int32_t& px = pointerX_;
    int32_t& py = pointerY_;
    if (sx + cw < w && px >= sx + cw) {
        horizontalScrollBar()->setValue(sx + (px - (sx + cw)));
        px = 2 * px - (sx + cw);
    }
    if (sy + ch < h && py >= sy + ch) {
        verticalScrollBar()->setValue(sy + (py - (sy + ch)));
        py = 2 * py - (sy + ch);
    }
    if (sx - px > 0 && sx > 0) {
        const int d = sx - px;
        horizontalScrollBar()->setValue(sx - d);
        px = px - d;
    }
    if (sy - py > 0 && sy > 0) {
        const int d = sy - py;
        verticalScrollBar()->setValue(sy - d);
        py = py - d;
    }
}

QRect VAvivedEred::pictureButtonRect(int k, const QPoint& release, const QSize& client)
{
    QRect r(release.x() + 5 + 39 * k, release.y() + 5, kPictureButtonSide, kPictureButtonSide);
    if (r.x() + r.width() > client.width())
        r.translate(-200, 0);
    if (r.y() + r.height() > client.height())
        r.translate(0, -40);
    return r;
}

void VAvivedEred::showPictureButtons(const QPoint& release)
{
    family_.removeButtons();
    const int32_t& tips = workspace_.app.flyingTipsEnabled;
    QWidget* host = viewport();
    family_.buttons = { new crop_prompt(host, tips), new portion_merge_prompt(host, tips),
        new portion_unmerge_prompt(host, tips), new opaque_prompt(host, tips),
        new transparent_prompt(host, tips) };
    family_.buttons[1]->setStatusTip("Smooth blend in ellipse");
    family_.buttons[2]->setStatusTip("Smooth unblend in ellipse");
    family_.buttons[3]->setStatusTip("Make Opaque");
    family_.buttons[4]->setStatusTip("Make transparent");
    connect(family_.buttons[0], &QAbstractButton::clicked, this, &VAvivedEred::crop);
    connect(family_.buttons[1], &QAbstractButton::clicked, this, &VAvivedEred::smoothBlend);
    connect(family_.buttons[2], &QAbstractButton::clicked, this, &VAvivedEred::smoothUnblend);
    connect(family_.buttons[3], &QAbstractButton::clicked, this, &VAvivedEred::makeOpaque);
    connect(family_.buttons[4], &QAbstractButton::clicked, this, &VAvivedEred::makeTransparent);
    for (int k = 0; k < 5; ++k) {
        family_.buttons[size_t(k)]->setGeometry(pictureButtonRect(k, release, host->size()));
        family_.buttons[size_t(k)]->show();
    }
}

void VAvivedEred::removePictureButtons()
{
    // A click on a button runs its command, which removes the button: let the click finish
    // before the button goes.
    for (QPointer<picture_button>& button : family_.buttons) {
        if (button) {
            button->hide();
            button->deleteLater();
        }
        button = nullptr;
    }
    if (boxShown_) {
        boxShown_ = false;
        viewport()->update();
    }
}

// ---- commands

void VAvivedEred::areaOperation(AreaOperation operation, const char* name)
{
    removePictureButtons();
    if (!doc_ || doc_->image.empty())
        return;
    areaToolUsed_ = true;
    // Only the mask changes: the step shares the pixels and keeps a copy of the mask.
    SourceImageBefore before;
    if (!keepSourceImage(workspace_, number_, before)) {
        showOutOfMemory(platform_);
        return;
    }
    if (areaOperationOnSource(*doc_, box_, operation, areaOperationCount_, platform_))
        recordMaskEdit(name, std::move(before));
}

void VAvivedEred::recordMaskEdit(const char* name, SourceImageBefore before)
{
    if (sameMaskValues(before.image, doc_->image))
        return;
    recordImageEdit(workspace_, platform_, number_, name, std::move(before));
}

void VAvivedEred::smoothBlend()
{
    areaOperation(AreaOperation::SmoothBlend, "Smooth blend in ellipse");
}
void VAvivedEred::smoothUnblend()
{
    areaOperation(AreaOperation::SmoothUnblend, "Smooth unblend in ellipse");
}
void VAvivedEred::makeOpaque()
{
    areaOperation(AreaOperation::MakeOpaque, "Make Opaque");
}
void VAvivedEred::makeTransparent()
{
    areaOperation(AreaOperation::MakeTransparent, "Make transparent");
}

void VAvivedEred::crop()
{
    removePictureButtons();
    if (!doc_)
        return;
    areaToolUsed_ = true;
    SourceImageBefore before { MaskedDib {}, doc_->editedInWindow };
    if (cropSource(*doc_, box_, platform_, before.image))
        recordImageEdit(workspace_, platform_, number_, "Crop", std::move(before));
}

void VAvivedEred::wholeMask(uint16_t value, const char* name)
{
    removePictureButtons();
    if (!doc_ || doc_->image.empty())
        return;
    SourceImageBefore before;
    if (!keepSourceImage(workspace_, number_, before)) {
        showOutOfMemory(platform_);
        return;
    }
    if (wholeMaskOnSource(*doc_, value, platform_))
        recordMaskEdit(name, std::move(before));
}

void VAvivedEred::makeAllTransparent()
{
    wholeMask(kTransparent, "Make all transparent");
}

void VAvivedEred::makeAllOpaque()
{
    wholeMask(kOpaque, "Make all opaque");
}

void VAvivedEred::grayScale()
{
    removePictureButtons();
    if (!doc_)
        return;
    SourceImageBefore before { MaskedDib {}, doc_->editedInWindow };
    if (convertToGrayScale(*doc_, platform_, before.image))
        recordImageEdit(workspace_, platform_, number_, "Black and White", std::move(before));
}

template <class Dialog> void VAvivedEred::runCorrectionDialog(const char* name)
{
    removePictureButtons();
    if (!doc_)
        return;
    // Applies are shown as they are made; the change is recorded, and the source marked
    // edited, once, when the dialog closes keeping it.
    const CorrectionDialog::SourceWindow window { *doc_, platform_,
        [this](int dx, int dy) { scrollByLines(dx, dy); }, [this] { sourceImageChanged(number_); },
        [this, name](MaskedDib image) {
            if (doc_)
                recordImageEdit(workspace_, platform_, number_, name, SourceImageBefore { std::move(image), doc_->editedInWindow });
        } };
    Dialog dialog(window, this);
    if (dialog.opened())
        dialog.exec();
}

void VAvivedEred::brightnessContrast()
{
    runCorrectionDialog<source_bright_cont>("Brightness and Contrast");
}
void VAvivedEred::trapezoid()
{
    runCorrectionDialog<tessary::trapezoid>("Trapezoid");
}
void VAvivedEred::skew()
{
    runCorrectionDialog<tessary::skew>("Skew");
}
void VAvivedEred::pincushion()
{
    runCorrectionDialog<distort>("Pincushion");
}
void VAvivedEred::cylindricalProjection()
{
    runCorrectionDialog<fishdistort>("Cylindrical Projection");
}
void VAvivedEred::gridLines()
{
    runCorrectionDialog<gridlines>("Overlay Grid");
}

void VAvivedEred::scrollByLines(int dx, int dy)
{
    scrollAreaByLines(*this, dx, dy);
}

void VAvivedEred::sourceImageChanged(int number)
{
    if (number != number_ || !doc_)
        return;
    // An image source edited into a text source is named "Text" from then on.
    frame_.setWindowTitle(QString::fromStdString(doc_->title));
    updateScrollRange();
    viewport()->update();
    frame_.updateActions();
}

// ---- activation

void VAvivedEred::childEntered(ChildWindow* child)
{
    if (child != &frame_ || !doc_)
        return;
    workspace_.activeSourceNumber = number_;
    mainFrame_.selectToolBar()->selectSource(number_);
    MainFrame::SharedWindows& shared = mainFrame_.sharedWindows();
    if (shared.collageDialog)
        shared.collageDialog->close();
    if (!shared.alignTipWindow && !areaToolUsed_) {
        shared.alignTipWindow = new flying_tips(viewport(), kActivationTipRect);
        showFlyingTip(shared.alignTipWindow, kSourceActivationTip, workspace_.app.flyingTipsEnabled);
    }
}

void VAvivedEred::childLeft(ChildWindow* child)
{
    if (child != &frame_)
        return;
    removePictureButtons();
    removeTipWindow();
}

void VAvivedEred::removeTipWindow()
{
    MainFrame::SharedWindows& shared = mainFrame_.sharedWindows();
    delete shared.alignTipWindow.data();
    shared.alignTipWindow = nullptr;
}

} // namespace tessary
