#include "align/ui/align_view.h"

#include "align/activate_align_view.h"
#include "align/align_view_layout.h"
#include "align/commit_placement.h"
#include "align/drag_geometry.h"
#include "align/rebuild_preview.h"
#include "align/select_source.h"
#include "align/tip_banner.h"
#include "align/ui/align_button_pictures.h"
#include "align/ui/align_buttons.h"
#include "align/ui/align_view_paint.h"
#include "align/ui/rotate_dialog.h"
#include "align/ui/strip_guide_paint.h"
#include "app/edit_path.h"
#include "app/platform.h"
#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/data_folder.h"
#include "app/ui/dib_image.h"
#include "app/ui/flying_tips.h"
#include "app/ui/main_frame.h"
#include "app/ui/select_toolbar.h"
#include "app/workspace.h"
#include "merge/transform_source.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

namespace tessary {

namespace {
QRect qrect(const ViewRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QPushButton* makeButton(
    QWidget* parent, const char* name, AlignButtonPicture picture, const ViewRect& place, QSize iconSize)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(alignButtonIcon(picture, iconSize));
    button->setIconSize(iconSize);
    button->setGeometry(qrect(place));
    // The digit keys belong to the view: its buttons never take the focus.
    button->setFocusPolicy(Qt::NoFocus);
    button->show();
    return button;
}
}

CAlignview::CAlignview(MainFrame& frame, QWidget* parent)
    : QWidget(parent)
    , frame_(frame)
    , workspace_(frame.workspace())
    , platform_(frame.platform())
{
    setObjectName("CAlignview");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // Every screen covers the whole client area.
    setAttribute(Qt::WA_OpaquePaintEvent);
    bannerFolder_ = dataFolder();
    workspace_.addObserver(this);
    // The view follows the selection made on the source toolbar.
    if (select_toolbar* bar = frame.selectToolBar())
        connect(bar, &select_toolbar::sourceSelected, this, &CAlignview::followSelection);
}

CAlignview::~CAlignview()
{
    workspace_.removeObserver(this);
}

CAlignDoc& CAlignview::doc() const
{
    return workspace_.alignDoc;
}

int32_t CAlignview::selectedSource() const
{
    return workspace_.alignView.selectedSource;
}

double CAlignview::selectedRotation() const
{
    const int32_t n = std::clamp(selectedSource(), 1, kMaxSources);
    return doc().placement[size_t(n - 1)].rotation;
}

const std::optional<Outline>& CAlignview::documentOutline() const
{
    const int32_t n = std::clamp(selectedSource(), 1, kMaxSources);
    return doc().outline[size_t(n - 1)];
}

void CAlignview::copyOutline()
{
    if (const auto& o = documentOutline())
        workingOutline_ = *o;
}

void CAlignview::refreshPreviewImage()
{
    const CAlignDoc& d = doc();
    previewImage_ = d.preview.empty() ? QImage() : imageFromDib(*d.preview.dib);
}

void CAlignview::refreshBannerImage()
{
    const CAlignDoc& d = doc();
    bannerImage_ = d.tipBanner ? imageFromDib(*d.tipBanner) : QImage();
}

// ---- first showing, size and controls

void CAlignview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    setAlignTitle();
    doc().alignViewWidth = width();
    doc().alignViewHeight = height();
    createControls();
    updateWindowTooSmall();
}

void CAlignview::createControls()
{
    if (workspace_.hideLoadButtons == 0)
        createLoadButtons();
    previousTipButton_ = makeButton(
        this, "previousTipButton", AlignButtonPicture::PreviousTip, kPreviousTipButton, QSize(16, 12));
    previousTipButton_->setToolTip("Previous startup tip");
    connect(previousTipButton_, &QPushButton::clicked, this, &CAlignview::previousStartupTip);
    nextTipButton_
        = makeButton(this, "nextTipButton", AlignButtonPicture::NextTip, kNextTipButton, QSize(16, 12));
    nextTipButton_->setToolTip("Next startup tip");
    connect(nextTipButton_, &QPushButton::clicked, this, &CAlignview::nextStartupTip);

    tipPageBox_ = new QLineEdit(this);
    tipPageBox_->setObjectName("tipPageBox");
    tipPageBox_->setReadOnly(true);
    tipPageBox_->setFocusPolicy(Qt::NoFocus);
    tipPageBox_->setFont(alignSmallFont(font()));
    tipPageBox_->setTextMargins(0, 0, 0, 0);
    tipPageBox_->setStyleSheet("QLineEdit { padding: 0px; }");
    tipPageBox_->setGeometry(qrect(kTipPageBox));
    tipPageBox_->setText(QString::fromStdString(tipPageText(tipPage_)));
    tipPageBox_->show();
    layOutLoadButtons();
    updateStartupTipButtons();
}

void CAlignview::createLoadButtons()
{
    if (!loadImageButton_) {
        loadImageButton_ = makeButton(
            this, "loadImageButton", AlignButtonPicture::LoadImage, kLoadImageButton, QSize(70, 40));
        loadImageButton_->setStatusTip(kLoadSourcePrompt);
        loadImageButton_->setToolTip(kLoadSourcePrompt);
        issueThroughAction(loadImageButton_, frame_.actions().openImage);
    }
    if (!newTextButton_) {
        newTextButton_
            = makeButton(this, "newTextButton", AlignButtonPicture::NewText, kNewTextButton, QSize(70, 40));
        newTextButton_->setToolTip("New Text");
        issueThroughAction(newTextButton_, frame_.actions().newText);
    }
}

void CAlignview::layOutLoadButtons()
{
    if (!shown_)
        return;
    const int32_t count = workspace_.sourceCount;
    if (count >= 2) {
        if (loadImageButton_)
            loadImageButton_->setGeometry(qrect(kLoadImageButtonMoved));
        if (newTextButton_)
            newTextButton_->setGeometry(qrect(kNewTextButtonMoved));
        return;
    }
    // Fewer than two: the buttons are made again in their large, centred places. While a batch
    // merge loads its files (hideLoadButtons) no button appears that was not there.
    if (workspace_.hideLoadButtons == 0)
        createLoadButtons();
    if (loadImageButton_)
        loadImageButton_->setGeometry(qrect(kLoadImageButton));
    if (newTextButton_)
        newTextButton_->setGeometry(qrect(kNewTextButton));
}

void CAlignview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The size is kept whatever the state, so that the first preview built after the second
    // source arrives fits the window as it is then.
    doc().alignViewWidth = width();
    doc().alignViewHeight = height();
    if (doc().previewValid == 1 && workspace_.sourceCount >= 2) {
        rebuildPreview(workspace_, platform_, 0);
        copyOutline();
        repaint();
    }
    updateWindowTooSmall();
}

QWidget* CAlignview::alignFrameWindow()
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<QMdiSubWindow*>(w))
            return w;
    return this;
}

void CAlignview::updateWindowTooSmall()
{
    QWidget* frameWindow = alignFrameWindow();
    windowTooSmall_ = alignWindowTooSmall(frameWindow->width(), frameWindow->height());
}

void CAlignview::setAlignTitle()
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<QMdiSubWindow*>(w)) {
            w->setWindowTitle(kAlignWindowTitle);
            return;
        }
}

// ---- painting

void CAlignview::paintEvent(QPaintEvent*)
{
    AlignPaintInput in;
    in.client = size();
    in.sourceCount = workspace_.sourceCount;
    in.doc = &doc();
    in.preview = &previewImage_;
    in.banner = &bannerImage_;
    const int32_t n = selectedSource();
    in.selected = n;
    if (n >= 1 && n <= std::min(workspace_.sourceCount, kMaxSources)) {
        const MaskedDib& transformed = workspace_.targetDoc.transformed[size_t(n - 1)];
        in.hasTransformed = !transformed.empty();
        in.transformedWidth = transformed.width();
        in.transformedHeight = transformed.height();
        if (const VIrorozIzi* source = workspace_.source(n)) {
            in.title = source->title;
            in.sourceKind = source->sourceKind;
            in.textPreviewTiny = source->textPreviewTiny;
        } else {
            in.hasTransformed = false;
        }
    }
    in.workingOutline = workingOutline_;
    in.handlesLit = handlesLit_;
    in.rotatingNow = rotatingNow_;
    in.windowTooSmall = windowTooSmall_;
    in.tipCounter = workspace_.tipCounter;
    in.flyingTipsEnabled = workspace_.app.flyingTipsEnabled != 0;

    QPainter painter(this);
    painter.setFont(font());
    paintAlignView(painter, in);
    if (guide_)
        paintStripGuide(painter, guide_->guide, guide_->zoneOutline);
}

// ---- model notifications

void CAlignview::previewRebuilt()
{
    refreshPreviewImage();
    if (!dragging_)
        copyOutline();
    layOutLoadButtons();
    updateStrips();
    update();
}

void CAlignview::sourcesRenumbered()
{
    layOutLoadButtons();
    updateStrips();
    updateStartupTipButtons();
    update();
}

void CAlignview::sourceImageChanged(int)
{
    update();
}

void CAlignview::activated()
{
    retransformChangedSources(workspace_, platform_);
    copyOutline();
    updateStartupTipButtons();
    setFocus(Qt::OtherFocusReason);
    update();
}

// ---- startup tips

void CAlignview::loadBanner()
{
    loadTipBanner(doc(), platform_, tipBannerFileName(tipPage_), bannerFolder_.toStdString());
    refreshBannerImage();
}

bool CAlignview::startupTipsEnabled() const
{
    return workspace_.sourceCount == 0;
}

void CAlignview::updateStartupTipButtons()
{
    const bool enabled = startupTipsEnabled();
    for (QPushButton* b : { previousTipButton_, nextTipButton_ })
        if (b)
            b->setEnabled(enabled);
}

void CAlignview::nextStartupTip()
{
    if (!startupTipsEnabled())
        return;
    tipPage_ = nextTipPage(tipPage_);
    doc().tipBanner.reset();
    loadBanner();
    repaint();
    if (tipPageBox_)
        tipPageBox_->setText(QString::fromStdString(tipPageText(tipPage_)));
}

void CAlignview::previousStartupTip()
{
    if (!startupTipsEnabled())
        return;
    tipPage_ = previousTipPage(tipPage_);
    doc().tipBanner.reset();
    loadBanner();
    repaint();
    if (tipPageBox_)
        tipPageBox_->setText(QString::fromStdString(tipPageText(tipPage_)));
}

// ---- selection

void CAlignview::selectSource(int number)
{
    if (number > workspace_.sourceCount)
        return;
    if (!tessary::selectSource(workspace_, number))
        return;
    // The toolbar shows the choice and tells every follower, this view included.
    if (select_toolbar* bar = frame_.selectToolBar())
        bar->selectSource(number);
    else
        followSelection(number);
}

void CAlignview::followSelection(int)
{
    copyOutline();
    updateStrips();
    repaint();
    refreshRotateDialog(frame_.sharedWindows().rotateDialog);
}

void CAlignview::documentUpdate(int hint)
{
    switch (hint) {
    case 1:
        if (select_toolbar* bar = frame_.selectToolBar())
            bar->selectSource(1);
        else
            followSelection(1);
        break;
    case 2:
        update();
        break;
    default:
        if (select_toolbar* bar = frame_.selectToolBar())
            bar->refresh();
        break;
    }
}

void CAlignview::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (key >= Qt::Key_1 && key <= Qt::Key_8 && modifiers == Qt::NoModifier) {
        // A digit above the number of loaded sources names an empty place: ignored.
        selectSource(key - Qt::Key_0);
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- the mouse

flying_tips* CAlignview::tipWindow() const
{
    return frame_.sharedWindows().alignTipWindow;
}

void CAlignview::closeTip()
{
    QPointer<flying_tips>& tip = frame_.sharedWindows().alignTipWindow;
    delete tip.data();
    tip = nullptr;
}

HitResult CAlignview::runHitTest(int32_t x, int32_t y)
{
    const HitZone previous = hitZone_;
    HitResult result;
    if (documentOutline())
        result = hitTest(workingOutline_, selectedRotation(), x, y);
    hitZone_ = result.zone;
    QPointer<flying_tips>& tip = frame_.sharedWindows().alignTipWindow;
    if (result.tipText && !tip) {
        tip = new flying_tips(this, qrect(result.tipRect));
        showFlyingTip(tip, QString::fromStdString(*result.tipText), workspace_.app.flyingTipsEnabled);
    }
    if (result.zone == kHitInside || result.zone == kHitNothing) {
        closeTip();
        doc().previewPale = 0;
        // Leaving the outline's zones brings the preview back (a pale one from a tip included).
        if (result.zone == kHitNothing && previous != kHitNothing)
            rebuildPreview(workspace_, platform_, 0);
    }
    return result;
}

void CAlignview::hover(int32_t x, int32_t y)
{
    if (repaintOnReturn_) {
        repaintOnReturn_ = false;
        guide_.reset();
        repaint();
    }
    copyOutline();
    const HitResult result = runHitTest(x, y);
    const std::string status = hoverStatusText(selectedSource(), result.zone);
    if (result.zone == kHitInside) {
        setCursor(Qt::PointingHandCursor);
        if (handlesLit_) {
            handlesLit_ = false;
            repaint();
        }
    } else if (zoneLightsHandles(result.zone)) {
        setCursor(Qt::PointingHandCursor);
        handlesLit_ = true;
        repaint();
    } else {
        if (handlesLit_) {
            handlesLit_ = false;
            repaint();
        }
        unsetCursor();
    }
    platform_.setStatusPaneText(2, status);
}

void CAlignview::leftButtonDown(int32_t x, int32_t y)
{
    handlesLit_ = false;
    for (align_buttons* strip : strips_)
        if (strip)
            strip->hide();
    if (doc().previewValid != 1)
        return;
    dragStart_ = ViewPoint { x, y };
    if (onTipLine(x, y)) {
        // The next tip; the press is no drag of its own.
        workspace_.tipCounter += 256;
    } else {
        copyOutline();
        const HitResult result = runHitTest(x, y);
        rotatingNow_ = result.rotationHandle();
        rotationAtPress_ = selectedRotation();
        if (rotatingNow_) {
            startAngle_ = rotationStartAngle(workingOutline_, selectedRotation(), x, y);
            repaint();
        }
    }
    dragging_ = true;
}

void CAlignview::drag(int32_t x, int32_t y)
{
    const auto& document = documentOutline();
    if (!document)
        return;
    const int32_t n = selectedSource();
    if (rotatingNow_) {
        const RotationStep step = rotationDrag(*document, startAngle_, x, y);
        doc().placement[size_t(n - 1)].rotation = step.rotation;
        workingOutline_ = step.outline;
    } else {
        // Every step applies the whole displacement to the document's outline.
        workingOutline_ = dragOutline(*document, hitZone_, selectedRotation(), x - dragStart_.x,
            y - dragStart_.y, workspace_.alignView.snapMove);
    }
    repaint();
}

void CAlignview::leftButtonUp()
{
    const bool wasDragging = dragging_;
    dragging_ = false;
    if (doc().previewValid == 1) {
        setAlignTitle();
        const int32_t n = selectedSource();
        const auto& document = documentOutline();
        // A press and release that changed nothing commits nothing: no new transformation, and
        // the target stays as it is.
        const bool changed = document
            && (rotatingNow_ ? selectedRotation() != rotationAtPress_ : workingOutline_ != *document);
        if (wasDragging && changed && hitZone_ != kHitNothing && n >= 1 && n <= workspace_.sourceCount) {
            if (rotatingNow_) {
                // The drag showed its angle in the document as it went; the step starts from
                // the angle at the press.
                const WorkspaceValues after = captureValues(workspace_);
                doc().placement[size_t(n - 1)].rotation = rotationAtPress_;
                editValues(workspace_, platform_, "Rotate", after);
            } else {
                const Outline before = *document;
                const ResizeRatios ratios = resizeRatios(workingOutline_, before, hitZone_);
                const ViewPoint moved = boxDisplacement(workingOutline_, before, selectedRotation());
                commitPlacement(workspace_, platform_, moved.x, moved.y, n, ratios.width, ratios.height);
            }
            copyOutline();
            refreshRotateDialog(frame_.sharedWindows().rotateDialog);
        }
    }
    rotatingNow_ = false;
    updateStrips();
    update();
}

// ---- the quick-align strips

void CAlignview::updateStrips()
{
    const int32_t count = workspace_.sourceCount;
    if (count < 2 || doc().previewValid != 1 || doc().previewStatus != kPreviewOk) {
        removeStrips();
        return;
    }
    for (StripSide side : { StripSide::Left, StripSide::Right, StripSide::Top, StripSide::Bottom }) {
        QPointer<align_buttons>& strip = strips_[size_t(side)];
        if (!strip) {
            strip = new align_buttons(side, this);
            connect(strip, &align_buttons::hovered, this, &CAlignview::stripHovered);
            connect(strip, &align_buttons::movedWhilePressed, this, &CAlignview::stripPressedMove);
            connect(strip, &align_buttons::stripClicked, this, &CAlignview::stripClicked);
        }
        strip->setSources(count, selectedSource());
        const ViewPoint at = stripPlace(side, doc());
        strip->move(at.x, at.y);
        if (!dragging_)
            strip->show();
    }
}

void CAlignview::removeStrips()
{
    // A strip can be the sender of the click whose rebuild removes it: delete it later.
    for (QPointer<align_buttons>& strip : strips_) {
        if (strip) {
            strip->hide();
            strip->deleteLater();
        }
        strip = nullptr;
    }
}

void CAlignview::stripHovered(StripSide side, StripHit hit, QPoint at)
{
    align_buttons* strip = strips_[size_t(side)];
    const int32_t s = selectedSource();
    if (!strip || s < 1 || s > workspace_.sourceCount || hit.zone >= workspace_.sourceCount)
        return;
    hitZone_ = kHitQuickAlign;
    platform_.setStatusPaneText(2, stripStatusText(hit, s));
    const std::string text
        = stripTipText(side, hit, s, workspace_.alignView.nudgeX, workspace_.alignView.nudgeY);
    if (text.empty()) {
        // The selected source's own column: nothing to explain and nothing to show.
        closeTip();
        if (guide_) {
            guide_.reset();
            repaint();
        }
        return;
    }
    QPointer<flying_tips>& tip = frame_.sharedWindows().alignTipWindow;
    if (!tip) {
        QWidget* frameWindow = alignFrameWindow();
        const QPoint inView = strip->mapTo(this, at);
        const int32_t frameBottom
            = frameWindow == this ? height() : mapFrom(frameWindow, QPoint(0, frameWindow->height())).y();
        tip = new flying_tips(
            this, qrect(stripTipRect(inView.x(), inView.y(), frameWindow->width(), frameBottom)));
        // The preview turns pale so that the guides stand out.
        doc().previewPale = 1;
        rebuildPreview(workspace_, platform_, 0);
    }
    showFlyingTip(tip, QString::fromStdString(text), workspace_.app.flyingTipsEnabled);
    if (hit.nudge()) {
        strip->setCursor(Qt::PointingHandCursor);
        guide_.reset();
        repaint();
        return;
    }
    strip->unsetCursor();
    const auto& selected = documentOutline();
    const auto& zone = doc().outline[size_t(hit.zone)];
    if (!selected || !zone)
        return;
    const bool changed = strip->hoverChanged(hit) || !guide_;
    guide_ = GuideOverlay { stripGuide(side, hit.opposite, *selected, selectedRotation(), *zone), *zone };
    repaintOnReturn_ = true;
    if (changed)
        repaint();
}

void CAlignview::stripPressedMove()
{
    if (doc().previewPale == 0)
        return;
    doc().previewPale = 0;
    rebuildPreview(workspace_, platform_, 0);
}

void CAlignview::stripClicked(StripSide side, StripHit hit)
{
    quickAlignZone_ = hit.zone;
    quickAlign(workspace_, platform_, side, hit);
    copyOutline();
    setFocus(Qt::OtherFocusReason);
    closeTip();
    guide_.reset();
    repaint();
}

void CAlignview::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        leftButtonDown(at.x(), at.y());
    } else if (event->button() == Qt::RightButton) {
        selectSource(nextSourceAfter(selectedSource(), workspace_.sourceCount));
    }
}

void CAlignview::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        drag(at.x(), at.y());
        return;
    }
    // Moves with only the right button down do nothing.
    if (event->buttons() == Qt::RightButton)
        return;
    if (doc().previewValid == 1 && workspace_.sourceCount >= 2)
        hover(at.x(), at.y());
}

void CAlignview::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftButtonUp();
}

} // namespace tessary
