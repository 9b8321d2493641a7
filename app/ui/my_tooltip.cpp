#include "app/ui/my_tooltip.h"

#include "app/ui/toolbar_pictures.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QHelpEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QStyleOption>
#include <QToolButton>
#include <QToolTip>

namespace tessary {

void ToolTipStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    if (element != PE_PanelTipLabel) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QRect r = option->rect;
    // 45 degrees counted up from the horizontal, whatever the tip's proportions: the start
    // colour at the bottom-left corner, the end colour at the top-right one, and equal colours
    // along every line falling at 45 degrees.
    const QPointF start(r.left(), r.bottom() + 1);
    const qreal run = (r.width() + r.height()) / 2.0;
    QLinearGradient gradient(start, start + QPointF(run, -run));
    gradient.setColorAt(0.0, kTipGradientStart);
    gradient.setColorAt(1.0, kTipGradientEnd);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(r, gradient);
    painter->setPen(QPen(kTipBorder, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(r.adjusted(0, 0, -1, -1));
    painter->restore();
}

int ToolTipStyle::styleHint(
    StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const
{
    if (hint == SH_ToolTipLabel_Opacity)
        return 255;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void CMyToolTipCtrl::install(QApplication& application)
{
    if (!qobject_cast<ToolTipStyle*>(application.style()))
        application.setStyle(new ToolTipStyle("Fusion"));
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipText, kTipText);
    palette.setColor(QPalette::WindowText, kTipText);
    palette.setColor(QPalette::ToolTipBase, kTipGradientEnd);
    QToolTip::setPalette(palette);
    if (!application.findChild<CMyToolTipCtrl*>(QString(), Qt::FindDirectChildrenOnly))
        application.installEventFilter(new CMyToolTipCtrl(&application));
}

QString CMyToolTipCtrl::tipText(const QString& text, const QIcon& picture, int imageIndex)
{
    // The first picture of a toolbar (index 0), and a button without one, show no picture.
    if (picture.isNull() || imageIndex == 0 || imageIndex == -1)
        return text;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.pixmap(kToolbarImageSize, kToolbarImageSize).save(&buffer, "PNG");
    // Rich text in a tooltip is word-wrapped unless told otherwise: the picture and the text
    // stay on one line.
    return QString("<p style=\"white-space:pre\"><img src=\"data:image/png;base64,%1\" width=\"%2\" "
                   "height=\"%2\" align=\"middle\"> %3</p>")
        .arg(QString::fromLatin1(png.toBase64()))
        .arg(kToolbarImageSize)
        .arg(text.toHtmlEscaped());
}

bool CMyToolTipCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* button = qobject_cast<QToolButton*>(watched);
    QAction* action = button ? button->defaultAction() : nullptr;
    if (!action || !action->property("toolbarImageIndex").isValid() || action->toolTip().isEmpty())
        return false;
    const QString text
        = tipText(action->toolTip(), action->icon(), action->property("toolbarImageIndex").toInt());
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, button);
    return true;
}

} // namespace tessary
