#pragma once
// Mouse events sent straight to a widget, with the buttons held as a real drag holds them.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tessary::uitest {

inline void sendMouse(
    QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
inline void press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonPress, at, button, button);
}
inline void dragTo(QWidget* w, QPoint at)
{
    sendMouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}
inline void hoverAt(QWidget* w, QPoint at)
{
    sendMouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
}
inline void release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

} // namespace tessary::uitest
