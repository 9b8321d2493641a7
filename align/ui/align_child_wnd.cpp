#include "align/ui/align_child_wnd.h"

#include "app/platform.h"
#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/main_frame.h"
#include "app/workspace.h"

#include <QMenu>
#include <QWidget>

namespace tessary {

CAlignChildWnd::CAlignChildWnd(MainFrame& frame)
    : ChildWindow(Kind::Align, frame)
{
    setObjectName("CAlignChildWnd");
    setWindowTitle("Align Window");
    auto* view = new QWidget(this);
    view->setObjectName("alignViewPlaceholder");
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, Qt::white);
    view->setPalette(palette);
    setView(view);

    AppActions& app = frame.actions();
    QMenu* file = addMenu("&File", "fileMenu");
    app.addOpenCommands(file);
    app.addRecentFiles(file);
    app.addExit(file);

    QMenu* align = addMenu("&Align", "alignMenu");
    align->addAction(makePendingCommand(this, "sizes", "Sizes...", "Set height and width of source images"));
    align->addAction(
        makePendingCommand(this, "collage", "Collage...", "Arrange all of the source images into a collage"));
    align->addAction(makePendingCommand(this, "rotate", "Rotate...", "Rotate the selected source"));
    align->addAction(makePendingCommand(
        this, "mirror", "Mirror horizontally", "Horizontally flip (mirror) the currently selected source"));
    align->addAction(makePendingCommand(
        this, "editText", "Edit text...", "Edit text of the currently selected source (if already text)"));
    align->addAction(
        makePendingCommand(this, "paste", "Paste", "Paste a new image source from the clipboard"));
    align->addAction(makePendingCommand(
        this, "resetSize", "Reset size of selected source", "Reset to original size of the selected source"));
    align->addAction(makePendingCommand(
        this, "nudgeFactor", "nudge factor...", "Set # pixels to move source when black arrow clicked"));
    QAction* flyingTips = makeCommand(this, "flyingTips", "Flying Tips...", "Enable/Disable flying tips");
    connect(flyingTips, &QAction::triggered, this, &CAlignChildWnd::askFlyingTips);
    align->addAction(flyingTips);
    align->addAction(makePendingCommand(this, "nextStartupTip", "Next startup tip"));
    align->addAction(makePendingCommand(this, "previousStartupTip", "Previous startup tip"));

    appendMenu(app.makeHelpMenu(this));
}

void CAlignChildWnd::askFlyingTips()
{
    const MessageAnswer answer
        = frame_.platform().messageBox(kFlyingTipsQuestion, MessageIcon::Question, MessageButtons::YesNo);
    frame_.workspace().app.flyingTipsEnabled = answer == MessageAnswer::Yes ? 1 : 0;
}

} // namespace tessary
