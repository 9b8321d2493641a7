#pragma once
#include "app/source_opening.h"
#include "app/ui/child_window.h"
#include "app/ui/flying_tips.h"
#include "app/ui/qt_platform.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;

namespace tessary {

class AppActions;
class WorkspaceObserver;
class MergeWorkspace;
class Platform;
class select_toolbar;

// The one top-level window (the program's CMainFrame): the child windows as tabs, the menu bar
// showing the active child's menus, the Align toolbar and the source-selection toolbar (shown
// only while the Align Window is active), and the four-pane status bar.
class MainFrame : public QMainWindow, public QtPlatform::StatusSink {
    Q_OBJECT
public:
    static constexpr std::array<int, 4> kPaneWidths { 350, 250, 200, 100 };

    // Messages go through `platform`; when it is the Qt platform, the frame also becomes the
    // parent of its dialogs and the sink of its pane texts.
    MainFrame(MergeWorkspace& workspace, Platform& platform);
    ~MainFrame() override;

    MergeWorkspace& workspace() const { return workspace_; }
    Platform& platform() const { return platform_; }
    AppActions& actions() const { return *actions_; }

    QMdiArea* mdiArea() const { return mdi_; }
    QLabel* pane(int index) const { return panes_[size_t(index)]; }
    QToolBar* alignToolBar() const { return alignToolBar_; }
    // The Align toolbar's commands. They belong to the Align Window, which connects and enables
    // them; until it does they are disabled.
    struct AlignToolActions {
        QAction* centerVertically = nullptr;
        QAction* centerHorizontally = nullptr;
        QAction* verticalStretch = nullptr;
        QAction* horizontalStretch = nullptr;
        QAction* editText = nullptr;
    };
    const AlignToolActions& alignToolActions() const { return alignTools_; }
    select_toolbar* selectToolBar() const { return selectToolBar_; }
    ChildWindow* activeChild() const { return active_; }
    // How the child windows' own source-making commands (Paste, Send to new Source) reach the
    // source-document layer; the application object sets it.
    void setSourceOpening(SourceOpening opening) { sourceOpening_ = std::move(opening); }
    const SourceOpening& sourceOpening() const { return sourceOpening_; }

    // Adds a child window as a new tab. A new source window is activated, except while the
    // batch merge loads its files (`hideLoadButtons`), when it is shown minimised and inactive.
    void addChild(ChildWindow* child);
    void activateChild(ChildWindow* child);
    // Brings the window of source `number` to the front; false when there is none.
    bool activateSourceWindow(int number);

    // 1 once the frame has started closing: the Align and Target windows then go silently.
    int closing() const { return closing_; }

    // Windows that belong to one child but are opened, refreshed or closed by others: the Align
    // view's flying tip (the source windows open their activation tip in it, the Target view
    // records its button tip as it), and the modeless Rotate and Collage dialogs (closed when a
    // source closes or a source window is activated).
    struct SharedWindows {
        QPointer<flying_tips> alignTipWindow;
        QPointer<QWidget> rotateDialog;
        QPointer<QWidget> collageDialog;
    };
    SharedWindows& sharedWindows() { return shared_; }

    // Pane 1 follows the workspace whenever the application is idle (the event loop is about
    // to wait for input), and at once after every activation. Commands are not enabled here:
    // each child window enables its own in its updateActions.
    void refreshStatusText();

    void paintPaneText(int pane, const QString& text) override;
    QString paneText(int pane) const override;
    void paintProgress(int percent, ColourRef colour) override;
    void showPassingMessage(const QString& text) override;
    // How long a passing line stays in the status bar.
    static constexpr int kPassingMessageMs = 5000;

signals:
    // Local files dropped on the frame, in the order the platform listed them.
    void filesDropped(const std::vector<std::string>& paths);
    // F1: help on the window the user is working in; `page` is its page of the user guide.
    void helpRequested(const QString& page);
    // The active child changes: `previous` is left first (before the new child's toolbars and
    // workspace values are set), then `current` is entered (after them).
    void childLeft(ChildWindow* previous);
    void childEntered(ChildWindow* current);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMainMenu();
    void createToolBars();
    void createStatusBar();
    void createAccelerators();
    void installMenus(const QList<QMenu*>& menus);
    void childActivated(QMdiSubWindow* window);
    void childDestroyed(ChildWindow* child, bool wasSource, bool wasTarget);
    void setAlignToolBarsVisible(bool visible);
    void printFromActiveChild();
    void showHistory();

    MergeWorkspace& workspace_;
    Platform& platform_;
    AppActions* actions_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    QToolBar* alignToolBar_ = nullptr;
    AlignToolActions alignTools_;
    select_toolbar* selectToolBar_ = nullptr;
    std::array<QLabel*, 4> panes_ {};
    QProgressBar* progress_ = nullptr;
    QList<QMenu*> mainMenus_;
    // In every window's menu bar, after its File menu.
    QMenu* editMenu_ = nullptr;
    std::unique_ptr<WorkspaceObserver> historyObserver_;
    QPointer<ChildWindow> active_;
    bool targetWindowExists_ = false;
    int closing_ = 0;
    SharedWindows shared_;
    SourceOpening sourceOpening_;
};

} // namespace tessary
