#include "merge/ui/target_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tessary {

QPixmap loadTargetPicture(bool pressed)
{
    QPixmap pixmap(kLoadTargetPictureWidth, kLoadTargetPictureHeight);
    pixmap.fill(QColor(224, 240, 240));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A raised blue key that sinks by two pixels while pressed.
    const int shift = pressed ? 2 : 0;
    const QRectF face(2 + shift, 2 + shift, kLoadTargetPictureWidth - 7, kLoadTargetPictureHeight - 7);
    if (!pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 110, 140));
        p.drawRoundedRect(face.translated(3, 3), 9, 9);
    }
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, pressed ? QColor(60, 110, 190) : QColor(120, 175, 240));
    fill.setColorAt(1, pressed ? QColor(30, 70, 150) : QColor(40, 95, 200));
    p.setBrush(fill);
    p.setPen(QPen(QColor(20, 40, 100), 1.5));
    p.drawRoundedRect(face, 9, 9);

    // A small stack of sheets merging into one, then the label.
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(QColor(255, 255, 255, 90));
    const QPointF sheets(14 + shift, 15 + shift);
    p.drawRect(QRectF(sheets, QSizeF(16, 20)));
    p.drawRect(QRectF(sheets + QPointF(6, 5), QSizeF(16, 20)));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(17);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(44 + shift, 2 + shift, kLoadTargetPictureWidth - 52, kLoadTargetPictureHeight - 7),
        Qt::AlignVCenter | Qt::AlignLeft, "Load Target");
    return pixmap;
}

} // namespace tessary
