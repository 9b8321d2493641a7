#include "merge/ui/dest_child.h"

#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/main_frame.h"
#include "app/workspace.h"
#include "merge/target_commands.h"
#include "merge/ui/blend_dialog.h"
#include "merge/ui/bright_cont_dialog.h"
#include "merge/ui/dest_view.h"
#include "merge/ui/fine_adj_dialog.h"
#include "merge/ui/target_dialogs.h"
#include "output/save_target.h"
#include "output/ui/save_tiles.h"

#include <QMenu>
#include <QTimer>

namespace tessary {

CDestchild::CDestchild(MainFrame& frame)
    : ChildWindow(Kind::Target, frame)
    , workspace_(frame.workspace())
    , platform_(frame.platform())
{
    setObjectName("CDestchild");
    view_ = new CDestview(workspace_, platform_, this, &frame.sharedWindows().alignTipWindow);
    setView(view_);
    refreshTitle();
    connect(view_, &CDestview::documentChanged, this, [this] {
        refreshTitle();
        updateCommands();
    });

    AppActions& app = frame.actions();
    QMenu* file = addMenu("&File", "fileMenu");
    app.addOpenCommands(file);
    app.addRecentFiles(file);
    QAction* saveAs = makeCommand(this, "saveAs", "Save As...", "Save the active document with a new name");
    connect(saveAs, &QAction::triggered, this, &CDestchild::saveAs);
    file->addAction(saveAs);
    QAction* saveTiles = makeCommand(this, "saveTilesAs", "Save Tiles As...", "Save target as tiles");
    connect(saveTiles, &QAction::triggered, this, &CDestchild::saveTilesAs);
    file->addAction(saveTiles);
    file->addAction(makePendingCommand(this, "print", "&Print...\tCtrl+P", "Print the active document"));
    file->addAction(
        makePendingCommand(this, "printSetup", "Print setup...", "Change the printer and printing options"));
    file->addSeparator();
    app.addExit(file);

    QMenu* target = addMenu("&Target", "targetMenu");
    auto add = [this, target](const char* name, const char* label, const char* prompt, auto run) {
        QAction* action = makeCommand(this, name, label, prompt);
        connect(action, &QAction::triggered, this, run);
        target->addAction(action);
    };
    add("mergeSources", "Merge Sources", "Merge all of the sources", [this] { mergeSources(); });
    add("fineAlignment", "Fine Alignment", "Make final tweaks to size and postion of any source",
        [this] { fineAlignment(); });
    add("contrastBrightness", "Contrast Brightness", "Setup contrast and brightness of the merged sources",
        [this] { contrastBrightness(); });
    target->addSeparator();
    add("snapTo1", "Snap to 1", "Snap grid to 1", [this] { setSnapGrid(workspace_, 1); });
    add("snapTo5", "Snap to 5", "Snap grid to 5", [this] { setSnapGrid(workspace_, 5); });
    add("snapTo10", "Snap to 10", "Snap grid to 10", [this] { setSnapGrid(workspace_, 10); });
    add("snapTo16", "Snap to 16", "Snap grid to  16", [this] { setSnapGrid(workspace_, 16); });
    target->addSeparator();
    add("viewingSize", "Viewing Size...", "Setup the viewing size of the merged images",
        [this] { viewingSize(); });
    add("backgroundColor", "Background Color...", "Setup the 'base' color",
        [this] { chooseBackgroundColour(workspace_, platform_); });
    add("setMargins", "Set Margins...", "Setup the margin size surrounding the merged sources",
        [this] { setMargins(); });
    add("setMarginColor", "Set Margin Color...", "Setup the margin color",
        [this] { chooseMarginColour(workspace_, platform_); });
    target->addSeparator();
    target->addAction(makePendingCommand(
        this, "sendToNewSource", "Send to new Source", "Send (copy) this target image to a new source."));
    add("setMergeDefaults", "Set merge defaults", "Setup default parameters",
        [this] { setMergeDefaults(workspace_, platform_); });

    appendMenu(app.makeHelpMenu(this));

    // S alone saves while this window is active (its tab is hidden otherwise, which switches
    // the key off).
    auto* saveKey = new QAction(this);
    saveKey->setShortcut(QKeySequence(Qt::Key_S));
    saveKey->setShortcutContext(Qt::WindowShortcut);
    connect(saveKey, &QAction::triggered, saveAs, &QAction::trigger);
    addAction(saveKey);

    commandTimer_ = new QTimer(this);
    commandTimer_->setInterval(kCommandUpdateMs);
    connect(commandTimer_, &QTimer::timeout, this, &CDestchild::updateCommands);
    commandTimer_->start();
    updateCommands();
}

QAction* CDestchild::command(const char* name) const
{
    return findChild<QAction*>(name);
}

void CDestchild::updateCommands()
{
    const bool saving = targetSaveEnabled(workspace_);
    command("saveAs")->setEnabled(saving);
    command("saveTilesAs")->setEnabled(saving);
    const bool targetCommands = targetCommandsEnabled(workspace_);
    command("contrastBrightness")->setEnabled(targetCommands);
    command("mergeSources")->setEnabled(targetCommands);
    command("fineAlignment")->setEnabled(targetCommands);
    command("setMergeDefaults")->setEnabled(mergeDefaultsEnabled(workspace_));
}

void CDestchild::activated()
{
    refreshTitle();
    updateCommands();
}

void CDestchild::refreshTitle()
{
    setWindowTitle(QString::fromStdString(workspace_.targetDoc.title));
}

void CDestchild::mergeSources()
{
    if (mergeSourcesWithoutOverlap(workspace_, platform_))
        return;
    CBlend dialog(
        workspace_, platform_, [this](int dx, int dy) { view_->scrollByLines(dx, dy); }, this);
    dialog.exec();
}

void CDestchild::fineAlignment()
{
    CFine_adj dialog(
        workspace_, platform_, [this](int dx, int dy) { view_->scrollByLines(dx, dy); }, this);
    dialog.exec();
}

void CDestchild::contrastBrightness()
{
    CBrightCont dialog(workspace_, platform_, this);
    dialog.exec();
}

void CDestchild::viewingSize()
{
    target_view_size dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        applyViewingSize(workspace_, platform_, dialog.percent());
}

void CDestchild::setMargins()
{
    set_margin dialog(platform_, this);
    if (dialog.exec() == QDialog::Accepted)
        applyMargins(workspace_, platform_, dialog.marginX(), dialog.marginY());
}

void CDestchild::saveAs()
{
    saveTargetAs(workspace_, platform_);
    afterZoneChange();
}

void CDestchild::saveTilesAs()
{
    save_tiles dialog(platform_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    tessary::saveTilesAs(workspace_, platform_, dialog.across(), dialog.down());
    afterZoneChange();
}

void CDestchild::afterZoneChange()
{
    view_->viewport()->update();
    updateCommands();
}

} // namespace tessary
