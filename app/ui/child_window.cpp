#include "app/ui/child_window.h"

#include "app/platform.h"
#include "app/ui/help_window.h"
#include "app/ui/main_frame.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMenu>

namespace tessary {

ChildWindow::ChildWindow(Kind kind, MainFrame& frame)
    : frame_(frame)
    , kind_(kind)
{
    body_ = new QMainWindow(this);
    body_->setWindowFlags(Qt::Widget);
    // Toolbars of a child dock on any edge, but its body has no status bar of its own: prompts
    // travel up to the main frame's pane 0.
    body_->setContextMenuPolicy(Qt::PreventContextMenu);
    setWidget(body_);
    setAttribute(Qt::WA_DeleteOnClose);
    // Specific help on anything inside the window that has none of its own.
    setWhatsThis(windowHelpText(kind));
}

void ChildWindow::setView(QWidget* view)
{
    body_->setCentralWidget(view);
}

QMenu* ChildWindow::addMenu(const QString& title, const char* name)
{
    auto* menu = new QMenu(title, this);
    menu->setObjectName(name);
    menus_.append(menu);
    return menu;
}

void ChildWindow::closeEvent(QCloseEvent* event)
{
    if (kind_ == Kind::Source) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    event->ignore();
    if (!frame_.closing())
        frame_.platform().messageBox(kNotAllowedToClose, MessageIcon::Plain, MessageButtons::Ok);
}

} // namespace tessary
