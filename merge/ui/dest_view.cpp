#include "merge/ui/dest_view.h"

#include "app/platform.h"
#include "app/ui/flying_tips.h"
#include "app/workspace.h"
#include "merge/invalidate_target.h"
#include "merge/target_commands.h"
#include "merge/target_view_paint.h"
#include "merge/target_zone.h"
#include "merge/ui/dest_coords.h"
#include "merge/ui/scroll_target_arrows.h"
#include "merge/ui/target_buttons.h"
#include "output/save_target.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tessary {

namespace {
QRect qRect(const ViewRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
QColor qColour(const Rgb& c)
{
    return QColor(c.red, c.green, c.blue);
}
QPoint qPoint(ViewPoint p)
{
    return QPoint(p.x, p.y);
}
}

CDestview::CDestview(
    MergeWorkspace& workspace, Platform& platform, QWidget* parent, QPointer<flying_tips>* tipSlot)
    : QAbstractScrollArea(parent)
    , workspace_(workspace)
    , platform_(platform)
    , tipSlot_(tipSlot ? tipSlot : &ownTip_)
{
    setObjectName("CDestview");
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(palette);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    timer_ = new QTimer(this);
    timer_->setInterval(kTimerIntervalMs);
    connect(timer_, &QTimer::timeout, this, &CDestview::tick);
    workspace_.addObserver(this);
}

CDestview::~CDestview()
{
    workspace_.removeObserver(this);
    closePopup();
}

// ---- the document

void CDestview::targetInvalidated()
{
    removeZoneButtons();
    // Each invalidation puts up a fresh button.
    removeLoadTargetButton();
    showLoadTargetButtonIfNeeded();
    updateScrollRange();
    viewport()->update();
    emit documentChanged();
}

void CDestview::targetGenerated()
{
    // A new target has no zone yet (generation cleared zoneSelected).
    removeZoneButtons();
    showLoadTargetButtonIfNeeded();
    updateScrollRange();
    viewport()->update();
    emit documentChanged();
}

void CDestview::previewRebuilt()
{
    viewport()->update();
}

void CDestview::sourcesRenumbered()
{
    showLoadTargetButtonIfNeeded();
    viewport()->update();
}

void CDestview::updateScrollRange()
{
    const CDestdoc& target = workspace_.targetDoc;
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, target.viewWidth - client.width()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setRange(0, std::max(0, target.viewHeight - client.height()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
    verticalScrollBar()->setSingleStep(16);
}

ViewPoint CDestview::scrollPosition() const
{
    return ViewPoint { horizontalScrollBar()->value(), verticalScrollBar()->value() };
}

ViewPoint CDestview::viewPoint(const QPoint& client) const
{
    const ViewPoint scroll = scrollPosition();
    return ViewPoint { client.x() + scroll.x, client.y() + scroll.y };
}

void CDestview::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    timer_->start();
    updateScrollRange();
    emit documentChanged();
}

void CDestview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void CDestview::scrollByLines(int dx, int dy)
{
    scrollAreaByLines(*this, dx, dy);
}

void CDestview::scrollContentsBy(int, int)
{
    // The zone outline and the hatched surround move with the picture: repaint the whole view.
    viewport()->update();
}

// ---- painting

void CDestview::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    if (workspace_.targetDoc.targetImage)
        paintTarget(painter, event->rect());
    else if (workspace_.hideLoadButtons != 1)
        paintEmpty(painter);
}

void CDestview::paintTarget(QPainter& painter, const QRect& exposed)
{
    const CDestdoc& target = workspace_.targetDoc;
    const PackedDib& image = *target.targetImage;
    const ViewPoint scroll = scrollPosition();
    const int64_t W = image.width(), H = image.height();
    const int32_t viewW = std::max(target.viewWidth, 1), viewH = std::max(target.viewHeight, 1);

    // The picture at the viewing size, pixels dropped or repeated (no smoothing); only the
    // exposed part is sampled.
    const QRect picture = QRect(-scroll.x, -scroll.y, viewW, viewH).intersected(exposed);
    if (!picture.isEmpty() && W > 0 && H > 0 && image.bitCount() == 24) {
        QImage part(picture.size(), QImage::Format_RGB32);
        std::vector<int64_t> columns(size_t(picture.width()));
        for (int i = 0; i < picture.width(); ++i)
            columns[size_t(i)] = std::min<int64_t>(W - 1, int64_t(picture.left() + i + scroll.x) * W / viewW);
        for (int j = 0; j < picture.height(); ++j) {
            const int64_t displayRow
                = std::min<int64_t>(H - 1, int64_t(picture.top() + j + scroll.y) * H / viewH);
            const uint8_t* row = image.row(int32_t(H - 1 - displayRow));
            QRgb* line = reinterpret_cast<QRgb*>(part.scanLine(j));
            for (int i = 0; i < picture.width(); ++i) {
                const uint8_t* p = row + 3 * columns[size_t(i)];
                line[i] = qRgb(p[2], p[1], p[0]);
            }
        }
        painter.drawImage(picture.topLeft(), part);
    }

    const ViewPoint anchor = workspace_.targetView.zoneAnchor, corner = workspace_.targetView.zoneCorner;
    if (target.zoneSelected == 1 && anchor.x != corner.x && anchor.y != corner.y)
        drawDottedRect(painter, anchor, corner);
    if (dragging_ && anchor.x != bandPoint_.x && anchor.y != bandPoint_.y)
        drawDottedRect(painter, anchor, bandPoint_);

    const QSize client = viewport()->size();
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    const QBrush hatch(qColour(kTargetHatchColour), Qt::CrossPattern);
    for (const ViewRect& r : targetHatchRects(viewW, viewH, scroll, client.width(), client.height()))
        if (r.right > r.left && r.bottom > r.top)
            painter.fillRect(qRect(r), hatch);
    painter.setBackgroundMode(Qt::TransparentMode);
}

void CDestview::drawDottedRect(QPainter& painter, ViewPoint a, ViewPoint b)
{
    // The rectangle with a and b as opposite vertices, right and bottom edges exclusive, in a
    // black line of dots on white.
    const ViewPoint scroll = scrollPosition();
    const int left = std::min(a.x, b.x) - scroll.x, top = std::min(a.y, b.y) - scroll.y;
    const int right = std::max(a.x, b.x) - scroll.x, bottom = std::max(a.y, b.y) - scroll.y;
    QPen pen(Qt::black, 1);
    pen.setDashPattern({ 1, 1 });
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    painter.restore();
}

void CDestview::paintEmpty(QPainter& painter)
{
    const QSize client = viewport()->size();
    for (const GradientBand& band : emptyTargetBackground(client.width(), client.height()))
        painter.fillRect(qRect(band.rect), qColour(band.colour));
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(qColour(kEmptyTargetBackground));
    const QFontMetrics metrics(painter.font());
    for (const PlacedText& text : emptyTargetTexts(workspace_.sourceCount, workspace_.alignDoc.previewValid))
        painter.drawText(QPoint(text.x, text.y + metrics.ascent()), QString::fromStdString(text.text));
    painter.setBackgroundMode(Qt::TransparentMode);
}

// ---- the buttons

void CDestview::removeZoneButtons()
{
    // The button that asked for this may be the one going: it is deleted once its click is over.
    for (picture_button* button : { static_cast<picture_button*>(zoneSaveButton_.data()),
             static_cast<picture_button*>(zonePrintButton_.data()) })
        if (button) {
            button->hide();
            button->deleteLater();
        }
    zoneSaveButton_ = nullptr;
    zonePrintButton_ = nullptr;
}

void CDestview::removeLoadTargetButton()
{
    if (loadTargetButton_) {
        loadTargetButton_->hide();
        loadTargetButton_->deleteLater();
    }
    loadTargetButton_ = nullptr;
}

void CDestview::showLoadTargetButtonIfNeeded()
{
    if (loadTargetButtonShown(workspace_)) {
        if (!loadTargetButton_)
            createLoadTargetButton();
    } else {
        removeLoadTargetButton();
    }
}

void CDestview::createLoadTargetButton()
{
    loadTargetButton_ = new bitmap_target_button(viewport());
    connect(loadTargetButton_, &QAbstractButton::clicked, this, &CDestview::generate);
    connect(loadTargetButton_, &TargetPictureButton::pointerOver, this, &CDestview::loadTargetHovered);
}

void CDestview::generate()
{
    // "Generate the Target"
    generateTargetCommand(workspace_, platform_);
}

void CDestview::loadTargetHovered()
{
    QPointer<flying_tips>& tip = *tipSlot_;
    if (workspace_.app.flyingTipsEnabled == 0 || tip)
        return;
    tip = new flying_tips(viewport(), QRect(qPoint(kLoadTargetTipPlace), QSize(100, 20)));
    showFlyingTip(tip, kLoadTargetTip, workspace_.app.flyingTipsEnabled);
}

void CDestview::closeTip()
{
    QPointer<flying_tips>& tip = *tipSlot_;
    delete tip.data();
    tip = nullptr;
}

void CDestview::showZoneButtons(const QPoint& release)
{
    const QSize client = viewport()->size();
    const ZoneButtonPlaces places
        = zoneButtonPlaces(ViewPoint { release.x(), release.y() }, client.width(), client.height());
    zoneSaveButton_ = new prompt(viewport(), workspace_.app.flyingTipsEnabled);
    zoneSaveButton_->setGeometry(qRect(places.save));
    connect(zoneSaveButton_, &QAbstractButton::clicked, this, &CDestview::saveZone);
    zonePrintButton_ = new print_prompt(viewport(), workspace_.app.flyingTipsEnabled);
    zonePrintButton_->setGeometry(qRect(places.print));
    connect(zonePrintButton_, &QAbstractButton::clicked, this, &CDestview::printZoneRequested);
    for (picture_button* button : { static_cast<picture_button*>(zoneSaveButton_.data()),
             static_cast<picture_button*>(zonePrintButton_.data()) }) {
        button->installEventFilter(this);
        button->show();
    }
}

bool CDestview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter)
        if (auto* button = qobject_cast<picture_button*>(watched))
            platform_.setStatusPaneText(2, button->tipText().toStdString());
    return QAbstractScrollArea::eventFilter(watched, event);
}

void CDestview::saveZone()
{
    saveZoneToFile(workspace_, platform_);
    removeZoneButtons();
    viewport()->update();
    emit documentChanged();
}

// ---- the zone

void CDestview::mousePressEvent(QMouseEvent* event)
{
    CDestdoc& target = workspace_.targetDoc;
    TargetViewState& zone = workspace_.targetView;
    if (target.generated != 1)
        return;
    if (event->button() == Qt::RightButton) {
        target.zoneSelected = 0;
        removeZoneButtons();
        zone.zoneAnchor = zone.zoneCorner = ViewPoint {};
        viewport()->update();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    removeZoneButtons();
    const ViewPoint p = limitZonePoint(
        viewPoint(event->position().toPoint()), target.viewWidth, target.viewHeight, zone.snapGrid);
    zone.zoneAnchor = zone.zoneCorner = dragPoint_ = bandPoint_ = p;
    dragging_ = autoScroll_ = true;
    target.zoneSelected = 1;
    viewport()->update();
    if (!coordsPopup_)
        coordsPopup_ = new dest_coords(event->globalPosition().toPoint() + QPoint(10, 10));
}

void CDestview::mouseMoveEvent(QMouseEvent* event)
{
    const CDestdoc& target = workspace_.targetDoc;
    const TargetViewState& zone = workspace_.targetView;
    const QPoint client = event->position().toPoint();
    if (dragging_ && event->buttons() == Qt::LeftButton) {
        const ViewPoint p
            = limitZonePoint(viewPoint(client), target.viewWidth, target.viewHeight, zone.snapGrid);
        dragPoint_ = p;
        if (target.targetImage) {
            bandPoint_ = p;
            viewport()->update();
        }
        const ZoneSize size = zoneSize(zone.zoneAnchor, p, target.viewPercentX, target.viewPercentY);
        if (coordsPopup_) {
            if (!size.tooSmall() && p.y > zone.zoneAnchor.y)
                coordsPopup_->move(event->globalPosition().toPoint() + QPoint(10, 10));
            coordsPopup_->showText(QString::fromStdString(zonePopupText(size)));
        }
        return;
    }
    if (dragging_)
        return;
    // The Align Window's tip (the Load Target button's among them) goes with the next move over
    // the view.
    closeTip();
    if (target.generated == 1 && target.targetImage)
        platform_.setStatusPaneText(2,
            pointerPositionText(viewPoint(client), target.viewHeight, zone.snapGrid, target.viewPercentX,
                target.viewPercentY));
}

void CDestview::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    closePopup();
    autoScroll_ = false;
    if (!dragging_)
        return;
    dragging_ = false;
    CDestdoc& target = workspace_.targetDoc;
    TargetViewState& zone = workspace_.targetView;
    const int32_t imageW = target.targetImage ? target.targetImage->width() : 0;
    const int32_t imageH = target.targetImage ? target.targetImage->height() : 0;
    const ZoneRelease release
        = releaseZone(zone.zoneAnchor, viewPoint(event->position().toPoint()), target.viewWidth,
            target.viewHeight, zone.snapGrid, imageW, imageH, target.viewPercentX, target.viewPercentY);
    zone.zoneAnchor = release.anchor;
    zone.zoneCorner = release.corner;
    target.zoneSelected = release.zoneSelected;
    if (release.zoneSelected == 1)
        showZoneButtons(event->position().toPoint());
    viewport()->update();
}

void CDestview::closePopup()
{
    if (coordsPopup_)
        delete coordsPopup_.data();
}

void CDestview::tick()
{
    ++workspace_.tipCounter;
    if (!autoScroll_)
        return;
    const CDestdoc& target = workspace_.targetDoc;
    const QSize client = viewport()->size();
    const AutoScroll step = autoScrollStep(
        scrollPosition(), client.width(), client.height(), target.viewWidth, target.viewHeight, dragPoint_);
    dragPoint_ = step.dragPoint;
    if (step.scrolled) {
        horizontalScrollBar()->setValue(step.scroll.x);
        verticalScrollBar()->setValue(step.scroll.y);
    }
}

} // namespace tessary
