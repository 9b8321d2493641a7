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

QPixmap zoneSavePicture()
{
    QPixmap pixmap(kZoneButtonSize, kZoneButtonSize);
    pixmap.fill(QColor(230, 230, 230));
    QPainter p(&pixmap);
    // A floppy disk: body, label and shutter.
    p.fillRect(1, 1, 14, 14, QColor(40, 70, 150));
    p.fillRect(3, 1, 10, 6, Qt::white);
    p.fillRect(4, 10, 8, 5, QColor(190, 190, 200));
    p.fillRect(9, 11, 2, 3, QColor(40, 70, 150));
    p.setPen(QColor(20, 30, 60));
    p.drawRect(0, 0, 15, 15);
    return pixmap;
}

QPixmap zonePrintPicture()
{
    QPixmap pixmap(kZoneButtonSize, kZoneButtonSize);
    pixmap.fill(QColor(230, 230, 230));
    QPainter p(&pixmap);
    // A printer: paper above, the body, paper coming out below.
    p.fillRect(4, 1, 8, 5, Qt::white);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(4, 1, 7, 5);
    p.fillRect(1, 6, 14, 6, QColor(110, 110, 120));
    p.fillRect(12, 8, 2, 1, QColor(120, 230, 120));
    p.fillRect(4, 11, 8, 4, Qt::white);
    p.drawRect(4, 11, 7, 4);
    p.drawRect(0, 0, 15, 15);
    return pixmap;
}

} // namespace tessary
