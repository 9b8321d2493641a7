#pragma once
#include <QObject>
#include <array>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace tessary {

// The application's own commands, shared by the menus of every window kind: Open Image,
// New Text, the recent-file entries, Exit, About and the help commands. One QAction each, put
// into every window's menus, so enabling and labels are the same wherever they appear.
class AppActions : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentCount = 16;

    explicit AppActions(QObject* parent = nullptr);

    QAction* openImage = nullptr;
    QAction* newText = nullptr;
    QAction* openArrangement = nullptr;
    QAction* saveArrangement = nullptr;
    QAction* exit = nullptr;
    QAction* about = nullptr;
    QAction* helpTopics = nullptr;
    QAction* specificHelp = nullptr;
    // Edit menu: the history's next step back and forward; their texts name the step.
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    // Shown, disabled, while the list is empty.
    QAction* recentPlaceholder = nullptr;
    std::array<QAction*, kRecentCount> recent {};

    // The entries of the recent-file list as menu entries.
    void setRecentFiles(const std::vector<std::string>& paths);

    // The parts of a window's menus: the head of the File menu (Open Image, New Text), the
    // recent files between separators, the Exit entry, and a complete Help menu.
    void addOpenCommands(QMenu* fileMenu) const;
    void addRecentFiles(QMenu* fileMenu) const;
    void addExit(QMenu* fileMenu) const;
    QMenu* makeHelpMenu(QWidget* parent) const;
    QMenu* makeEditMenu(QWidget* parent) const;
    // "Undo <step>" and "Redo <step>", enabled, or the plain words disabled when `undoName` or
    // `redoName` is empty.
    void showHistory(const std::string& undoName, const std::string& redoName);

signals:
    // Recent-file entry `index` (0-based) was chosen.
    void recentFileChosen(int index);
};

} // namespace tessary
