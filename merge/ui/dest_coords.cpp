#include "merge/ui/dest_coords.h"

namespace tessary {

dest_coords::dest_coords(const QPoint& globalPos, QWidget* parent)
    : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName("dest_coords");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFrameShape(QFrame::Box);
    setMargin(2);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 225));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    move(globalPos);
    resize(60, 20);
    show();
}

void dest_coords::showText(const QString& text)
{
    setText(text);
    adjustSize();
}

} // namespace tessary
