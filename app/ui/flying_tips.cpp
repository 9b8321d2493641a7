#include "app/ui/flying_tips.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace tessary {

flying_tips::flying_tips(QWidget* parent, const QRect& rect)
    : QWidget(parent)
{
    setObjectName("flying_tips");
    setWindowTitle("tips");
    setGeometry(rect);
    // A tip never takes the pointer's clicks or the focus from the window it explains.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    show();
}

void flying_tips::paintEvent(QPaintEvent*)
{
    if (painted_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, painted_);
}

QFont flyingTipFont()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

void showFlyingTip(flying_tips* tipWindow, const QString& text, int32_t flyingTipsEnabled)
{
    if (!tipWindow || flyingTipsEnabled == 0)
        return;
    const QFont font = flyingTipFont();
    const QFontMetrics metrics(font);
    QStringList lines = text.split('\n');
    if (lines.size() > kFlyingTipMaxLines)
        lines = lines.mid(0, kFlyingTipMaxLines);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int lineHeight = metrics.height();
    const int width = widest + 10;
    const int height = int(lines.size()) * lineHeight + 2;

    tipWindow->setGeometry(tipWindow->x(), tipWindow->y(), width, height);

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kFlyingTipBackground);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.setBackground(kFlyingTipBackground);
        painter.setBackgroundMode(Qt::OpaqueMode);
        for (int k = 0; k < lines.size(); ++k)
            painter.drawText(QPoint(5, 1 + k * lineHeight + metrics.ascent()), lines[k]);
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(QPen(Qt::black, 1));
        const QPoint border[]
            = { { 0, 0 }, { 0, height - 1 }, { width - 1, height - 1 }, { width - 1, 0 }, { 0, 0 } };
        painter.drawPolyline(border, 5);
    }
    tipWindow->painted_ = std::move(image);
    tipWindow->update();
}

} // namespace tessary
