#pragma once
#include <QList>
#include <QMdiSubWindow>

class QAction;
class QMainWindow;
class QMenu;

namespace tessary {

class MainFrame;

// A child window of the main frame: one tab of the MDI area. Each kind brings its own menu bar
// contents (shown while it is the active child) and may carry its own toolbar on its body.
// The source windows, the Align Window and the Target Window derive from it and are added with
// MainFrame::addChild.
class ChildWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    enum class Kind { Source, Align, Target };

    Kind kind() const { return kind_; }
    // The number (1..8) of the source shown, or -1 for the Align and Target windows.
    virtual int sourceNumber() const { return -1; }
    // The menus of the menu bar while this window is active, in order.
    const QList<QMenu*>& menus() const { return menus_; }
    // The window's inner frame: its view is the central widget, its own toolbar docks here.
    QMainWindow* body() const { return body_; }
    void setView(QWidget* view);

    // Called by the main frame when this window becomes the active child, after the frame has
    // set the toolbars and the workspace's active-window values.
    virtual void activated() { }
    // The window's Print command, which Ctrl+P triggers from anywhere in the frame; none when
    // the window prints nothing.
    virtual QAction* printCommand() const { return nullptr; }

protected:
    ChildWindow(Kind kind, MainFrame& frame);
    QMenu* addMenu(const QString& title, const char* name);
    void appendMenu(QMenu* menu) { menus_.append(menu); }

    // The Align and Target windows live as long as the main frame: a request to close one is
    // refused with a message, silently while the main frame itself is closing.
    void closeEvent(QCloseEvent* event) override;

    MainFrame& frame_;

private:
    Kind kind_;
    QMainWindow* body_ = nullptr;
    QList<QMenu*> menus_;
};

inline const char* const kNotAllowedToClose = "Not allowed to close this window !";

} // namespace tessary
