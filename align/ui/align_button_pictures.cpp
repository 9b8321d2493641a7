#include "align/ui/align_button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tessary {

namespace {

// A framed photograph with hills and a sun, and a green arrow coming in from below.
void drawLoadImage(QPainter& p, QSize size)
{
    const int w = size.width(), h = size.height();
    const QRect frame(4, 3, w - 22, h - 8);
    p.fillRect(frame, QColor(250, 250, 245));
    p.fillRect(frame.adjusted(3, 3, -3, -3), QColor(140, 190, 240));
    QPainterPath hills;
    const QRect inner = frame.adjusted(3, 3, -3, -3);
    hills.moveTo(inner.left(), inner.bottom());
    hills.lineTo(inner.left() + inner.width() / 3, inner.top() + inner.height() / 2);
    hills.lineTo(inner.left() + inner.width() / 2, inner.top() + inner.height() * 2 / 3);
    hills.lineTo(inner.left() + inner.width() * 3 / 4, inner.top() + inner.height() / 3);
    hills.lineTo(inner.right(), inner.bottom());
    hills.closeSubpath();
    p.fillPath(hills, QColor(70, 140, 70));
    p.setBrush(QColor(255, 220, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(inner.left() + 7, inner.top() + 6), 4, 4);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    // The arrow.
    const int ax = w - 10;
    QPainterPath arrow;
    arrow.moveTo(ax - 3, h - 3);
    arrow.lineTo(ax - 3, h / 2);
    arrow.lineTo(ax - 7, h / 2);
    arrow.lineTo(ax, h / 2 - 9);
    arrow.lineTo(ax + 7, h / 2);
    arrow.lineTo(ax + 3, h / 2);
    arrow.lineTo(ax + 3, h - 3);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(40, 160, 60));
    p.setPen(QPen(QColor(20, 90, 30), 1));
    p.drawPath(arrow);
}

// A sheet of paper with a large letter and a few lines of writing.
void drawNewText(QPainter& p, QSize size)
{
    const int w = size.width(), h = size.height();
    const QRect sheet(w / 2 - 16, 3, 32, h - 7);
    p.fillRect(sheet, Qt::white);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawRect(sheet);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(h / 2);
    p.setFont(font);
    p.setPen(QColor(30, 60, 160));
    p.drawText(QRect(sheet.left(), sheet.top() + 1, sheet.width(), h / 2 + 2), Qt::AlignCenter, "T");
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int y = sheet.top() + h / 2 + 4; y < sheet.bottom() - 2; y += 4)
        p.drawLine(sheet.left() + 5, y, sheet.right() - 5, y);
}

void drawArrow(QPainter& p, QSize size, bool pointsRight)
{
    const int w = size.width(), h = size.height();
    QPainterPath arrow;
    const int tip = pointsRight ? w - 5 : 4;
    const int back = pointsRight ? 6 : w - 7;
    arrow.moveTo(back, 2);
    arrow.lineTo(tip, h / 2);
    arrow.lineTo(back, h - 3);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(40, 70, 150));
}

} // namespace

QIcon alignButtonIcon(AlignButtonPicture picture, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        switch (picture) {
        case AlignButtonPicture::LoadImage:
            drawLoadImage(p, size);
            break;
        case AlignButtonPicture::NewText:
            drawNewText(p, size);
            break;
        case AlignButtonPicture::PreviousTip:
            drawArrow(p, size, false);
            break;
        case AlignButtonPicture::NextTip:
            drawArrow(p, size, true);
            break;
        }
    }
    return QIcon(pixmap);
}

} // namespace tessary
