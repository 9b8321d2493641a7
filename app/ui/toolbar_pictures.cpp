#include "app/ui/toolbar_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace tessary {

namespace {
const QColor kInk(40, 60, 110);
const QColor kSheet(120, 170, 230);
const QColor kArrow(200, 40, 40);

QPixmap blank(int size = kToolbarImageSize)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void arrowHead(QPainter& p, QPoint tip, int dx, int dy)
{
    // A small filled triangle pointing along (dx, dy).
    const QPoint side(dy, -dx);
    QPolygon head;
    head << tip << tip - QPoint(dx, dy) * 3 + side * 2 << tip - QPoint(dx, dy) * 3 - side * 2;
    p.drawPolygon(head);
}

void draw(QPainter& p, Picture picture)
{
    p.setPen(QPen(kInk, 1));
    switch (picture) {
    case Picture::CenterVertically:
        p.fillRect(4, 5, 8, 6, kSheet);
        p.setPen(kArrow);
        p.drawLine(1, 8, 14, 8);
        p.setBrush(kArrow);
        arrowHead(p, QPoint(8, 1), 0, -1);
        arrowHead(p, QPoint(8, 14), 0, 1);
        break;
    case Picture::CenterHorizontally:
        p.fillRect(5, 4, 6, 8, kSheet);
        p.setPen(kArrow);
        p.drawLine(8, 1, 8, 14);
        p.setBrush(kArrow);
        arrowHead(p, QPoint(1, 8), -1, 0);
        arrowHead(p, QPoint(14, 8), 1, 0);
        break;
    case Picture::VerticalStretch:
        p.fillRect(5, 3, 6, 10, kSheet);
        p.setPen(kArrow);
        p.drawLine(8, 1, 8, 14);
        p.setBrush(kArrow);
        arrowHead(p, QPoint(8, 0), 0, -1);
        arrowHead(p, QPoint(8, 15), 0, 1);
        break;
    case Picture::HorizontalStretch:
        p.fillRect(3, 5, 10, 6, kSheet);
        p.setPen(kArrow);
        p.drawLine(1, 8, 14, 8);
        p.setBrush(kArrow);
        arrowHead(p, QPoint(0, 8), -1, 0);
        arrowHead(p, QPoint(15, 8), 1, 0);
        break;
    case Picture::EditText: {
        QFont f = p.font();
        f.setPixelSize(13);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, "T");
        p.setPen(kArrow);
        p.drawLine(11, 14, 15, 10);
        break;
    }
    case Picture::Reload:
        p.setPen(QPen(kInk, 2));
        p.drawArc(QRect(3, 3, 10, 10), 90 * 16, 270 * 16);
        p.setBrush(kInk);
        arrowHead(p, QPoint(11, 3), 1, 0);
        break;
    case Picture::GrayScale:
        for (int i = 0; i < 4; ++i)
            p.fillRect(1 + i * 3, 2, 3, 12, QColor::fromHsv(0, 0, 30 + i * 70));
        p.drawRect(1, 2, 12, 11);
        break;
    case Picture::BrightnessContrast:
        p.setBrush(QColor(250, 210, 60));
        p.drawEllipse(QRect(3, 3, 10, 10));
        p.setBrush(kInk);
        p.drawPie(QRect(3, 3, 10, 10), 90 * 16, 180 * 16);
        break;
    case Picture::CylindricalProjection:
        p.setBrush(kSheet);
        p.drawRect(3, 4, 10, 8);
        p.drawEllipse(QRect(3, 1, 10, 5));
        p.drawArc(QRect(3, 9, 10, 5), 180 * 16, 180 * 16);
        break;
    case Picture::Trapezoid: {
        QPolygon shape;
        shape << QPoint(5, 3) << QPoint(10, 3) << QPoint(14, 13) << QPoint(1, 13);
        p.setBrush(kSheet);
        p.drawPolygon(shape);
        break;
    }
    case Picture::Skew: {
        QPolygon shape;
        shape << QPoint(5, 3) << QPoint(14, 3) << QPoint(10, 13) << QPoint(1, 13);
        p.setBrush(kSheet);
        p.drawPolygon(shape);
        break;
    }
    case Picture::GridLines:
        p.fillRect(1, 1, 14, 14, kSheet);
        for (int i = 1; i < 16; i += 4) {
            p.drawLine(i, 1, i, 14);
            p.drawLine(1, i, 14, i);
        }
        break;
    case Picture::Pincushion: {
        QPainterPath path;
        path.moveTo(2, 2);
        path.quadTo(8, 6, 14, 2);
        path.quadTo(10, 8, 14, 14);
        path.quadTo(8, 10, 2, 14);
        path.quadTo(6, 8, 2, 2);
        p.setBrush(kSheet);
        p.drawPath(path);
        break;
    }
    case Picture::MakeAllTransparent:
        for (int y = 2; y < 14; y += 3)
            for (int x = 2; x < 14; x += 3)
                p.fillRect(x, y, 2, 2, ((x + y) / 3) % 2 ? kSheet : Qt::lightGray);
        p.drawRect(1, 1, 13, 13);
        break;
    case Picture::MakeAllOpaque:
        p.fillRect(2, 2, 12, 12, kSheet.darker(130));
        p.drawRect(1, 1, 13, 13);
        break;
    }
}
}

QIcon pictureIcon(Picture picture)
{
    QPixmap pixmap = blank();
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, false);
        draw(painter, picture);
    }
    return QIcon(pixmap);
}

QIcon sourceButtonIcon(int number)
{
    QPixmap pixmap = blank();
    {
        QPainter painter(&pixmap);
        painter.setPen(kInk);
        painter.setBrush(QColor(235, 240, 250));
        painter.drawRect(0, 0, 15, 15);
        QFont font = painter.font();
        font.setPixelSize(12);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::number(number));
    }
    return QIcon(pixmap);
}

} // namespace tessary
