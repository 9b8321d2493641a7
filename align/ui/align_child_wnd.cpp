#include "align/ui/align_child_wnd.h"

#include "align/centre_source.h"
#include "align/edit_selected_text.h"
#include "align/nudge_factors.h"
#include "align/paste_source.h"
#include "align/placement_commands.h"
#include "align/stretch_source.h"
#include "align/ui/align_collage.h"
#include "align/ui/align_view.h"
#include "align/ui/nudge_factor_dialog.h"
#include "align/ui/rotate_dialog.h"
#include "align/ui/source_sizes_dialog.h"
#include "app/platform.h"
#include "app/settings.h"
#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/main_frame.h"
#include "app/ui/select_toolbar.h"
#include "app/workspace.h"
#include "sources/ui/text_entry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

namespace tessary {

namespace {
// Rotate, sizes, mirror, reset, centre and stretch work on a valid preview of two sources.
bool placementCommandsEnabled(const MergeWorkspace& workspace)
{
    return workspace.sourceCount >= 2 && workspace.alignDoc.previewValid == 1;
}
}

CAlignChildWnd::CAlignChildWnd(MainFrame& frame)
    : ChildWindow(Kind::Align, frame)
    , workspace_(frame.workspace())
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
    createAlignMenu();
    appendMenu(app.makeHelpMenu(this));
    connectToolBar();

    // The Align document is made with the first tip banner.
    view_->loadBanner();
    workspace_.addObserver(this);
    // Paste follows the clipboard as it changes, not by looking at it again and again.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { updateActions(); });
    updateActions();
}

CAlignChildWnd::~CAlignChildWnd()
{
    workspace_.removeObserver(this);
}

void CAlignChildWnd::createAlignMenu()
{
    QMenu* align = addMenu("&Align", "alignMenu");
    auto add = [this, align](const char* name, const char* label, const char* prompt, auto run) {
        QAction* action = makeCommand(this, name, label, prompt);
        connect(action, &QAction::triggered, this, run);
        align->addAction(action);
        return action;
    };
    sizes_ = add("sizes", "Sizes...", "Set height and width of source images", [this] { openSizes(); });
    collage_ = add("collage", "Collage...", "Arrange all of the source images into a collage",
        [this] { openCollage(); });
    rotate_ = add("rotate", "Rotate...", "Rotate the selected source", [this] { openRotate(); });
    mirror_ = add("mirror", "Mirror horizontally", "Horizontally flip (mirror) the currently selected source",
        [this] { mirrorSelectedSource(workspace_, frame_.platform()); });
    editText_ = add("editText", "Edit text...", "Edit text of the currently selected source (if already text)",
        [this] { editSelectedSourceText(); });
    paste_ = add("paste", "Paste", "Paste a new image source from the clipboard",
        [this] { pasteSource(workspace_, frame_.platform(), frame_.sourceOpening()); });
    resetSize_
        = add("resetSize", "Reset size of selected source", "Reset to original size of the selected source",
            [this] { resetSelectedSourceSize(workspace_, frame_.platform()); });
    nudgeFactor_ = add("nudgeFactor", "nudge factor...",
        "Set # pixels to move source when black arrow clicked", [this] { openNudgeFactor(); });
    flyingTips_
        = add("flyingTips", "Flying Tips...", "Enable/Disable flying tips", [this] { askFlyingTips(); });
    fileTransparency_ = add("fileTransparency", "Use the transparency stored in image files",
        "Pictures opened from now on keep the transparent areas their files store",
        [this](bool on) { useFileTransparency(on); });
    fileTransparency_->setCheckable(true);
    nextTip_ = add("nextStartupTip", "Next startup tip", "", [this] { view_->nextStartupTip(); });
    previousTip_
        = add("previousStartupTip", "Previous startup tip", "", [this] { view_->previousStartupTip(); });
}

void CAlignChildWnd::connectToolBar()
{
    const MainFrame::AlignToolActions& tools = frame_.alignToolActions();
    if (!tools.centerHorizontally)
        return;
    connect(tools.centerHorizontally, &QAction::triggered, this, [this] { centre(Axis::Horizontal); });
    connect(tools.centerVertically, &QAction::triggered, this, [this] { centre(Axis::Vertical); });
    connect(tools.horizontalStretch, &QAction::triggered, this, [this] { stretch(Axis::Horizontal); });
    connect(tools.verticalStretch, &QAction::triggered, this, [this] { stretch(Axis::Vertical); });
    if (tools.editText)
        connect(tools.editText, &QAction::triggered, this, [this] { editSelectedSourceText(); });
}

void CAlignChildWnd::updateActions()
{
    const bool placement = placementCommandsEnabled(workspace_);
    for (QAction* action : { sizes_, collage_, rotate_, mirror_, resetSize_, editText_ })
        action->setEnabled(placement);
    const MainFrame::AlignToolActions& tools = frame_.alignToolActions();
    for (QAction* action : { tools.centerHorizontally, tools.centerVertically, tools.horizontalStretch,
             tools.verticalStretch, tools.editText })
        if (action)
            action->setEnabled(placement);
    paste_->setEnabled(frame_.platform().clipboardHasImage());
    nudgeFactor_->setEnabled(true);
    flyingTips_->setEnabled(true);
    fileTransparency_->setEnabled(true);
    fileTransparency_->setChecked(workspace_.loadOptions.fileTransparency);
    const bool tips = view_->startupTipsEnabled();
    nextTip_->setEnabled(tips);
    previousTip_->setEnabled(tips);
    if (select_toolbar* bar = frame_.selectToolBar())
        bar->refresh();
}

void CAlignChildWnd::activated()
{
    view_->activated();
    updateActions();
}

void CAlignChildWnd::useFileTransparency(bool on)
{
    workspace_.loadOptions.fileTransparency = on;
    frame_.platform().setSettingInt(settings::kSection, settings::kFileTransparency, on ? 1 : 0);
}

void CAlignChildWnd::askFlyingTips()
{
    const MessageAnswer answer
        = frame_.platform().messageBox(kFlyingTipsQuestion, MessageIcon::Question, MessageButtons::YesNo);
    workspace_.app.flyingTipsEnabled = answer == MessageAnswer::Yes ? 1 : 0;
}

void CAlignChildWnd::openCollage()
{
    openCollageDialog(frame_.sharedWindows().collageDialog, workspace_, frame_.platform(), frame_, view_);
}

void CAlignChildWnd::openRotate()
{
    openRotateDialog(frame_.sharedWindows().rotateDialog, workspace_, frame_.platform(), view_);
}

void CAlignChildWnd::openSizes()
{
    source_sizes dialog(workspace_, frame_.platform(), view_);
    dialog.exec();
}

void CAlignChildWnd::openNudgeFactor()
{
    nudge_factor dialog(frame_.platform(), workspace_.alignView.nudgeX, workspace_.alignView.nudgeY, view_);
    if (dialog.exec() == QDialog::Accepted)
        storeNudgeFactors(workspace_, frame_.platform(), dialog.nudgeX(), dialog.nudgeY());
}

void CAlignChildWnd::editSelectedSourceText()
{
    editSelectedText(workspace_, frame_.platform(), textEntryDialog(view_, frame_.platform()));
}

void CAlignChildWnd::centre(Axis axis)
{
    centreSelectedSource(workspace_, frame_.platform(), axis);
}

void CAlignChildWnd::stretch(Axis axis)
{
    stretchSelectedSource(workspace_, frame_.platform(), axis);
}

} // namespace tessary
