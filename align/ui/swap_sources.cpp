#include "align/ui/swap_sources.h"

#include "align/collage.h"

#include <QMouseEvent>
#include <QPainter>

namespace tessary {

swap_sources::swap_sources(int32_t sourceCount, QWidget* parent)
    : QWidget(parent)
    , sourceCount_(sourceCount)
{
    setObjectName("swap_sources");
    setMouseTracking(true);
}

void swap_sources::paintEvent(QPaintEvent*)
{
    // The picture the hit test reads: numbers along the top and left margins, an 8 x 7 grid,
    // white where a pair of loaded sources can be swapped.
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const double w = width() - 8, h = height() - 12;
    if (w <= 0 || h <= 0)
        return;
    QFont small = font();
    small.setPixelSize(8);
    p.setFont(small);
    for (int a = 0; a < 8; ++a)
        p.drawText(QRectF(8 + a * w / 8, 0, w / 8, 12), Qt::AlignCenter, QString::number(a + 1));
    for (int b = 0; b < 7; ++b) {
        p.drawText(QRectF(0, 12 + b * h / 7, 8, h / 7), Qt::AlignCenter, QString::number(b + 1));
        for (int a = b + 1; a < 8; ++a) {
            const QRectF cell(8 + a * w / 8, 12 + b * h / 7, w / 8, h / 7);
            const bool usable = a < sourceCount_ && b < sourceCount_;
            p.fillRect(cell.adjusted(1, 1, -1, -1), usable ? Qt::white : QColor(200, 200, 200));
        }
    }
}

void swap_sources::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const auto pair = swapPairAt(at.x(), at.y(), width(), height(), sourceCount_);
    emit hovered(pair ? QString("%1 & %2").arg(pair->first).arg(pair->second) : QString());
}

void swap_sources::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (const auto pair = swapPairAt(at.x(), at.y(), width(), height(), sourceCount_))
        emit swapRequested(pair->first, pair->second);
}

} // namespace tessary
