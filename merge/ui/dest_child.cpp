#include "merge/ui/dest_child.h"

#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/main_frame.h"
#include "app/workspace.h"
#include "merge/send_to_source.h"
#include "merge/target_commands.h"
#include "merge/ui/batch_merge.h"
#include "merge/ui/blend_dialog.h"
#include "merge/ui/bright_cont_dialog.h"
#include "merge/ui/dest_view.h"
#include "merge/ui/fine_adj_dialog.h"
#include "merge/ui/target_dialogs.h"
#include "output/save_target.h"
#include "output/ui/save_tiles.h"

#include <QMenu>
#include <QPrinter>

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
        updateActions();
    });
    connect(view_, &CDestview::printZoneRequested, this, &CDestchild::print);

    AppActions& app = frame.actions();
    QMenu* file = addMenu("&File", "fileMenu");
    app.addOpenCommands(file);
    app.addRecentFiles(file);
    saveAs_ = makeCommand(this, "saveAs", "Save As...", "Save the active document with a new name");
    connect(saveAs_, &QAction::triggered, this, &CDestchild::saveAs);
    file->addAction(saveAs_);
    saveTilesAs_ = makeCommand(this, "saveTilesAs", "Save Tiles As...", "Save target as tiles");
    connect(saveTilesAs_, &QAction::triggered, this, &CDestchild::saveTilesAs);
    file->addAction(saveTilesAs_);
    print_ = makeCommand(this, "print", "&Print...\tCtrl+P", "Print the active document");
    connect(print_, &QAction::triggered, this, &CDestchild::print);
    file->addAction(print_);
    QAction* printSetup
        = makeCommand(this, "printSetup", "Print setup...", "Change the printer and printing options");
    connect(printSetup, &QAction::triggered, this, [this] { printerDialogs_.setupPrinter(printer(), this); });
    file->addAction(printSetup);
    file->addSeparator();
    app.addExit(file);

    QMenu* target = addMenu("&Target", "targetMenu");
    auto add = [this, target](const char* name, const char* label, const char* prompt, auto run) {
        QAction* action = makeCommand(this, name, label, prompt);
        connect(action, &QAction::triggered, this, run);
        target->addAction(action);
        return action;
    };
    mergeSources_
        = add("mergeSources", "Merge Sources", "Merge all of the sources", [this] { mergeSources(); });
    fineAlignment_ = add("fineAlignment", "Fine Alignment", "Make final tweaks to size and postion of any source",
        [this] { fineAlignment(); });
    contrastBrightness_ = add("contrastBrightness", "Contrast Brightness",
        "Setup contrast and brightness of the merged sources", [this] { contrastBrightness(); });
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
    sendToNewSource_ = add("sendToNewSource", "Send to new Source", "Send (copy) this target image to a new source.",
        [this] { sendToNewSource(workspace_, platform_, frame_.sourceOpening()); });
    setMergeDefaults_ = add("setMergeDefaults", "Set merge defaults", "Setup default parameters",
        [this] { setMergeDefaults(workspace_, platform_); });
    batchMerge_ = add(
        "batchMerge", "Batch Merge...", "Watermark every image of source 2's folder with source 1", [this] {
            openBatchMerge(
                workspace_, platform_, [this](int dx, int dy) { view_->scrollByLines(dx, dy); }, this);
        });

    appendMenu(app.makeHelpMenu(this));

    // S alone saves while this window is active (its tab is hidden otherwise, which switches
    // the key off).
    auto* saveKey = new QAction(this);
    saveKey->setShortcut(QKeySequence(Qt::Key_S));
    saveKey->setShortcutContext(Qt::WindowShortcut);
    connect(saveKey, &QAction::triggered, saveAs_, &QAction::trigger);
    addAction(saveKey);

    workspace_.addObserver(this);
    updateActions();
}

CDestchild::~CDestchild()
{
    workspace_.removeObserver(this);
}

void CDestchild::updateActions()
{
    const bool saving = targetSaveEnabled(workspace_);
    saveAs_->setEnabled(saving);
    saveTilesAs_->setEnabled(saving);
    print_->setEnabled(workspace_.targetDoc.generated == 1);
    const bool targetCommands = targetCommandsEnabled(workspace_);
    contrastBrightness_->setEnabled(targetCommands);
    mergeSources_->setEnabled(targetCommands);
    fineAlignment_->setEnabled(targetCommands);
    sendToNewSource_->setEnabled(targetCommands);
    setMergeDefaults_->setEnabled(mergeDefaultsEnabled(workspace_));
    batchMerge_->setEnabled(mergeDefaultsEnabled(workspace_));
}

void CDestchild::activated()
{
    refreshTitle();
    updateActions();
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

QPrinter& CDestchild::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CDestchild::print()
{
    printTargetCommand(workspace_, platform_, printer(), printerDialogs_, this);
    view_->viewport()->update();
}

void CDestchild::afterZoneChange()
{
    view_->viewport()->update();
    updateActions();
}

} // namespace tessary
