#include "sources/ui/source_crop.h"

namespace tessary {

source_crop::source_crop(QWidget* parent)
    : QLabel(parent)
{
    setObjectName("source_crop");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    setFrameShape(QFrame::NoFrame);
    setContentsMargins(2, 1, 2, 1);
}

QString source_crop::sizeText(int width, int height)
{
    return QString("Size X,Y = %1 ,%2").arg(width).arg(height);
}

void source_crop::showSize(int width, int height)
{
    setText(sizeText(width, height));
    adjustSize();
    raise();
    show();
}

} // namespace tessary
