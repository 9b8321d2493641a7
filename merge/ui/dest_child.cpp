#include "merge/ui/dest_child.h"

#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/main_frame.h"

#include <QMenu>
#include <QWidget>

namespace tessary {

CDestchild::CDestchild(MainFrame& frame)
    : ChildWindow(Kind::Target, frame)
{
    setObjectName("CDestchild");
    setWindowTitle("Target Window");
    auto* view = new QWidget(this);
    view->setObjectName("targetViewPlaceholder");
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    view->setPalette(palette);
    setView(view);

    AppActions& app = frame.actions();
    QMenu* file = addMenu("&File", "fileMenu");
    app.addOpenCommands(file);
    app.addRecentFiles(file);
    QAction* saveAs
        = makePendingCommand(this, "saveAs", "Save As...", "Save the active document with a new name");
    file->addAction(saveAs);
    file->addAction(makePendingCommand(this, "saveTilesAs", "Save Tiles As...", "Save target as tiles"));
    file->addAction(makePendingCommand(this, "print", "&Print...\tCtrl+P", "Print the active document"));
    file->addAction(
        makePendingCommand(this, "printSetup", "Print setup...", "Change the printer and printing options"));
    file->addSeparator();
    app.addExit(file);

    QMenu* target = addMenu("&Target", "targetMenu");
    target->addAction(makePendingCommand(this, "mergeSources", "Merge Sources", "Merge all of the sources"));
    target->addAction(makePendingCommand(
        this, "fineAlignment", "Fine Alignment", "Make final tweaks to size and postion of any source"));
    target->addAction(makePendingCommand(this, "contrastBrightness", "Contrast Brightness",
        "Setup contrast and brightness of the merged sources"));
    target->addSeparator();
    target->addAction(makePendingCommand(this, "snapTo1", "Snap to 1", "Snap grid to 1"));
    target->addAction(makePendingCommand(this, "snapTo5", "Snap to 5", "Snap grid to 5"));
    target->addAction(makePendingCommand(this, "snapTo10", "Snap to 10", "Snap grid to 10"));
    target->addAction(makePendingCommand(this, "snapTo16", "Snap to 16", "Snap grid to  16"));
    target->addSeparator();
    target->addAction(makePendingCommand(
        this, "viewingSize", "Viewing Size...", "Setup the viewing size of the merged images"));
    target->addAction(
        makePendingCommand(this, "backgroundColor", "Background Color...", "Setup the 'base' color"));
    target->addAction(makePendingCommand(
        this, "setMargins", "Set Margins...", "Setup the margin size surrounding the merged sources"));
    target->addAction(
        makePendingCommand(this, "setMarginColor", "Set Margin Color...", "Setup the margin color"));
    target->addSeparator();
    target->addAction(makePendingCommand(
        this, "sendToNewSource", "Send to new Source", "Send (copy) this target image to a new source."));
    target->addAction(
        makePendingCommand(this, "setMergeDefaults", "Set merge defaults", "Setup default parameters"));

    appendMenu(app.makeHelpMenu(this));

    // S alone saves while this window is active (its tab is hidden otherwise, which switches
    // the key off).
    auto* saveKey = new QAction(this);
    saveKey->setShortcut(QKeySequence(Qt::Key_S));
    saveKey->setShortcutContext(Qt::WindowShortcut);
    connect(saveKey, &QAction::triggered, saveAs, &QAction::trigger);
    addAction(saveKey);
}

} // namespace tessary
