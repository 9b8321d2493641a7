#include "merge/ui/target_buttons.h"

#include "merge/target_view_paint.h"
#include "merge/ui/target_pictures.h"

#include <QMouseEvent>
#include <QPainter>

namespace tessary {

TargetPictureButton::TargetPictureButton(
    const QPixmap& normal, const QPixmap& pressed, const QRect& rect, QWidget* parent)
    : QAbstractButton(parent)
    , normal_(normal)
    , pressed_(pressed)
{
    setGeometry(rect);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    show();
}

void TargetPictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, isDown() ? pressed_ : normal_);
    if (!isEnabled())
        painter.fillRect(rect(), QColor(255, 255, 255, 110));
}

void TargetPictureButton::mouseMoveEvent(QMouseEvent* event)
{
    emit pointerOver();
    QAbstractButton::mouseMoveEvent(event);
    // A move over the button is the button's: passed on, it would reach the view as a move
    // over the view and close the tip the button has just opened.
    event->accept();
}

void TargetPictureButton::enterEvent(QEnterEvent* event)
{
    emit pointerOver();
    QAbstractButton::enterEvent(event);
}

void TargetPictureButton::leaveEvent(QEvent* event)
{
    emit pointerLeft();
    QAbstractButton::leaveEvent(event);
}

namespace {
QRect qRect(const ViewRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
}

bitmap_target_button::bitmap_target_button(QWidget* parent)
    : TargetPictureButton(loadTargetPicture(false), loadTargetPicture(true), qRect(kLoadTargetButton), parent)
{
    setObjectName("loadTargetButton");
    setAccessibleName("Load Target");
}

} // namespace tessary
