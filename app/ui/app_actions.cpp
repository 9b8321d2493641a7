#include "app/ui/app_actions.h"

#include "app/recent_files.h"
#include "app/ui/command.h"

#include <QKeySequence>
#include <QMenu>

namespace tessary {

AppActions::AppActions(QObject* parent)
    : QObject(parent)
{
    openImage = makeCommand(this, "openImage", "Open Image...\tCtrl+O", "Open an existing image file");
    newText = makeCommand(this, "newText", "New Text...\tCtrl+T", "Insert text in a new source window.");
    openArrangement = makeCommand(this, "openArrangement", "Open Arrangement...",
        "Close the sources and open the sources, placements and merge settings of an arrangement file");
    saveArrangement = makeCommand(this, "saveArrangement", "Save Arrangement...",
        "Save the sources' files, placements and the merge settings in an arrangement file");
    exit = makeCommand(this, "exit", "E&xit", "Quit Tessary");
    about = makeCommand(
        this, "about", "About Tessary...", "Display program information, version number and copyright");
    helpTopics = makeCommand(this, "helpTopics", "Help Topics", "List Help topics");
    specificHelp = makeCommand(
        this, "specificHelp", "Specific help", "Display help for clicked on buttons, menus and windows");
    undo = makeCommand(this, "undo", "Undo", "Take back the last change");
    undo->setShortcut(QKeySequence::Undo);
    redo = makeCommand(this, "redo", "Redo", "Make the change taken back again");
    redo->setShortcuts(
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    for (QAction* a : { undo, redo })
        a->setShortcutContext(Qt::ApplicationShortcut);
    showHistory({}, {});
    recentPlaceholder
        = makePendingCommand(this, "recentFile", "Recent File", QString::fromStdString(recentFilePrompt(0)));
    for (int i = 0; i < kRecentCount; ++i) {
        const QByteArray name = "recentFile" + QByteArray::number(i + 1);
        recent[size_t(i)]
            = makeCommand(this, name.constData(), {}, QString::fromStdString(recentFilePrompt(i)));
        recent[size_t(i)]->setVisible(false);
        connect(recent[size_t(i)], &QAction::triggered, this, [this, i] { emit recentFileChosen(i); });
    }
}

void AppActions::setRecentFiles(const std::vector<std::string>& paths)
{
    for (int i = 0; i < kRecentCount; ++i) {
        QAction* action = recent[size_t(i)];
        const bool present = i < int(paths.size());
        action->setVisible(present);
        action->setEnabled(present);
        action->setText(
            present ? QString::fromStdString(recentFileMenuLabel(i, paths[size_t(i)])) : QString());
    }
    recentPlaceholder->setVisible(paths.empty());
}

void AppActions::addOpenCommands(QMenu* fileMenu) const
{
    fileMenu->addAction(openImage);
    fileMenu->addAction(newText);
    fileMenu->addAction(openArrangement);
    fileMenu->addAction(saveArrangement);
}

void AppActions::addRecentFiles(QMenu* fileMenu) const
{
    fileMenu->addSeparator();
    fileMenu->addAction(recentPlaceholder);
    for (QAction* action : recent)
        fileMenu->addAction(action);
    fileMenu->addSeparator();
}

void AppActions::addExit(QMenu* fileMenu) const
{
    fileMenu->addAction(exit);
}

QMenu* AppActions::makeEditMenu(QWidget* parent) const
{
    auto* menu = new QMenu("&Edit", parent);
    menu->setObjectName("editMenu");
    menu->addAction(undo);
    menu->addAction(redo);
    return menu;
}

void AppActions::showHistory(const std::string& undoName, const std::string& redoName)
{
    const auto show = [](QAction* action, const QString& word, const std::string& name) {
        action->setText(name.empty() ? word : word + " " + QString::fromStdString(name));
        action->setEnabled(!name.empty());
    };
    show(undo, "Undo", undoName);
    show(redo, "Redo", redoName);
}

QMenu* AppActions::makeHelpMenu(QWidget* parent) const
{
    auto* menu = new QMenu("&Help", parent);
    menu->setObjectName("helpMenu");
    menu->addAction(helpTopics);
    menu->addAction(about);
    menu->addAction(specificHelp);
    return menu;
}

} // namespace tessary
