#include "align/ui/align_child_wnd.h"

#include "align/ui/align_view.h"
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
    view_ = new CAlignview(frame, this);
    setView(view_);

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
    QAction* nextTip = makeCommand(this, "nextStartupTip", "Next startup tip");
    QAction* previousTip = makeCommand(this, "previousStartupTip", "Previous startup tip");
    connect(nextTip, &QAction::triggered, view_, &CAlignview::nextStartupTip);
    connect(previousTip, &QAction::triggered, view_, &CAlignview::previousStartupTip);
    align->addAction(nextTip);
    align->addAction(previousTip);
    view_->setStartupTipActions(nextTip, previousTip);

    appendMenu(app.makeHelpMenu(this));

    // The Align document is made with the first tip banner.
    view_->loadBanner();
}

void CAlignChildWnd::activated()
{
    view_->activated();
}

void CAlignChildWnd::askFlyingTips()
{
    const MessageAnswer answer
        = frame_.platform().messageBox(kFlyingTipsQuestion, MessageIcon::Question, MessageButtons::YesNo);
    frame_.workspace().app.flyingTipsEnabled = answer == MessageAnswer::Yes ? 1 : 0;
}

} // namespace tessary
