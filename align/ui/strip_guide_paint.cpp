#include "align/ui/strip_guide_paint.h"

#include <QPainter>
#include <QPolygon>

namespace tessary {

namespace {
QPoint qp(ViewPoint p)
{
    return QPoint(p.x, p.y);
}

// 20 pixels beyond `from` on the side away from `to`.
int beyond(int from, int to)
{
    return from < to ? from - 20 : from + 20;
}
}

void paintStripGuide(QPainter& painter, const StripGuide& guide, const Outline& zoneOutline)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 0, 0), 3));
    const Outline& o = zoneOutline;
    painter.drawPolygon(QPolygon({ qp(o[0]), qp(o[1]), qp(o[3]), qp(o[2]) }));

    const QPoint a = qp(guide.a), b = qp(guide.b);
    // The dashed line spans both corners along the edge; the arrow crosses to it.
    QPoint lineFrom, lineTo, arrowEnd, headA, headB;
    if (guide.vertical) {
        lineFrom = QPoint(b.x(), beyond(b.y(), a.y()));
        lineTo = QPoint(b.x(), beyond(a.y(), b.y()));
        arrowEnd = QPoint(b.x(), a.y());
        const int back = b.x() >= a.x() ? -10 : 10;
        headA = arrowEnd + QPoint(back, -5);
        headB = arrowEnd + QPoint(back, 5);
    } else {
        lineFrom = QPoint(beyond(b.x(), a.x()), b.y());
        lineTo = QPoint(beyond(a.x(), b.x()), b.y());
        arrowEnd = QPoint(a.x(), b.y());
        const int back = b.y() >= a.y() ? -10 : 10;
        headA = arrowEnd + QPoint(-5, back);
        headB = arrowEnd + QPoint(5, back);
    }
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.drawLine(lineFrom, lineTo);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(QPen(QColor(0, 0, 255), 2));
    painter.drawLine(a, arrowEnd);
    painter.drawLine(arrowEnd, headA);
    painter.drawLine(arrowEnd, headB);
    painter.restore();
}

} // namespace tessary
