#include "align/ui/align_buttons.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace tessary {

align_buttons::align_buttons(StripSide side, QWidget* parent)
    : QAbstractButton(parent)
    , side_(side)
{
    setMouseTracking(true);
    // The digit keys belong to the view.
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { emit stripClicked(side_, pressed_); });
}

void align_buttons::setSources(int32_t sourceCount, int32_t selectedSource)
{
    sourceCount_ = sourceCount;
    selected_ = selectedSource;
    resize(stripWidth(sourceCount), kStripHeight);
    update();
}

bool align_buttons::hoverChanged(const StripHit& hit)
{
    const bool changed = hit.zone != lastHover_.zone || hit.opposite != lastHover_.opposite;
    lastHover_ = hit;
    return changed;
}

void align_buttons::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    // The arrow points to the strip's side: the way a nudge moves the source.
    const QPoint tip = side_ == StripSide::Left ? QPoint(2, 12)
        : side_ == StripSide::Right             ? QPoint(14, 12)
        : side_ == StripSide::Top               ? QPoint(8, 3)
                                                : QPoint(8, 21);
    QPolygon arrow;
    if (side_ == StripSide::Left || side_ == StripSide::Right) {
        const int back = side_ == StripSide::Left ? 14 : 2;
        arrow << tip << QPoint(back, 5) << QPoint(back, 19);
    } else {
        const int back = side_ == StripSide::Top ? 21 : 3;
        arrow << tip << QPoint(1, back) << QPoint(15, back);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);

    // The line between the halves says which edge a click aligns.
    QFont small = font();
    small.setPixelSize(9);
    p.setFont(small);
    for (int32_t k = 0; k < sourceCount_; ++k) {
        const QRect column(kStripArrowWidth + kStripColumnWidth * k, 0, kStripColumnWidth, kStripHeight);
        if (k == selected_ - 1)
            p.fillRect(column, QColor(128, 128, 128));
        p.setPen(QColor(96, 96, 96));
        p.drawLine(column.topLeft(), column.bottomLeft());
        p.setPen(Qt::black);
        p.drawText(column, Qt::AlignCenter, QString::number(k + 1));
    }
    p.setPen(QColor(160, 160, 160));
    p.drawLine(kStripArrowWidth, kStripHeight / 2, width(), kStripHeight / 2);
}

void align_buttons::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    pressed_ = stripHitAt(at.x(), at.y());
    QAbstractButton::mousePressEvent(event);
}

void align_buttons::mouseMoveEvent(QMouseEvent* event)
{
    if (isDown() || (event->buttons() & Qt::LeftButton)) {
        emit movedWhilePressed();
        QAbstractButton::mouseMoveEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    emit hovered(side_, stripHitAt(at.x(), at.y()), at);
    // A hover is the strip's own: passed on, the view would take it for leaving the strip.
    event->accept();
}

} // namespace tessary
