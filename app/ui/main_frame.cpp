#include "app/ui/main_frame.h"

#include "app/edit_path.h"
#include "app/notifications.h"
#include "app/platform.h"
#include "app/status_text.h"
#include "app/ui/app_actions.h"
#include "app/ui/app_icon.h"
#include "app/ui/child_window.h"
#include "app/ui/command.h"
#include "app/ui/help_window.h"
#include "app/ui/select_toolbar.h"
#include "app/ui/toolbar_pictures.h"
#include "app/workspace.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <functional>

namespace tessary {

namespace {
// The Undo and Redo commands follow the history.
class HistoryObserver : public WorkspaceObserver {
public:
    explicit HistoryObserver(std::function<void()> changed)
        : changed_(std::move(changed))
    {
    }
    void historyChanged() override { changed_(); }

private:
    std::function<void()> changed_;
};
}

MainFrame::MainFrame(MergeWorkspace& workspace, Platform& platform)
    : workspace_(workspace)
    , platform_(platform)
{
    setWindowTitle("Tessary");
    setObjectName("CMainFrame");
    setWindowIcon(applicationIcon());
    // The toolbars follow the active window; the user does not switch them on and off.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setDockOptions(
        QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks | QMainWindow::AllowNestedDocks);

    actions_ = new AppActions(this);

    mdi_ = new QMdiArea(this);
    mdi_->setViewMode(QMdiArea::TabbedView);
    mdi_->setTabsClosable(false);
    mdi_->setTabsMovable(false);
    mdi_->setDocumentMode(true);
    mdi_->setTabShape(QTabWidget::Triangular);
    mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdi_);
    // Tabs as wide as their titles, as notebook tabs are.
    if (auto* tabs = mdi_->findChild<QTabBar*>())
        tabs->setExpanding(false);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainFrame::childActivated);

    menuBar()->setObjectName("menuBar");
    editMenu_ = actions_->makeEditMenu(this);
    // Their shortcuts work in whichever window is in front.
    addAction(actions_->undo);
    addAction(actions_->redo);
    connect(actions_->undo, &QAction::triggered, this, [this] { undoEdit(workspace_, platform_); });
    connect(actions_->redo, &QAction::triggered, this, [this] { redoEdit(workspace_, platform_); });
    historyObserver_ = std::make_unique<HistoryObserver>([this] { showHistory(); });
    workspace_.addObserver(historyObserver_.get());
    createMainMenu();
    createToolBars();
    createStatusBar();
    createAccelerators();
    setAcceptDrops(true);

    if (auto* qtPlatform = dynamic_cast<QtPlatform*>(&platform)) {
        qtPlatform->setDialogParent(this);
        qtPlatform->setStatusSink(this);
    }

    // The framework's idle time: the moment the event loop has nothing left to do.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &MainFrame::refreshStatusText);
    resize(1280, 800);
}

MainFrame::~MainFrame()
{
    workspace_.removeObserver(historyObserver_.get());
    if (auto* qtPlatform = dynamic_cast<QtPlatform*>(&platform_)) {
        qtPlatform->setDialogParent(nullptr);
        qtPlatform->setStatusSink(nullptr);
    }
    // The children go with the frame; none of them may run activation or closing work on the
    // way out.
    closing_ = 1;
    disconnect(mdi_, nullptr, this, nullptr);
    for (QMdiSubWindow* window : mdi_->subWindowList())
        disconnect(window, nullptr, this, nullptr);
}

void MainFrame::createMainMenu()
{
    // The frame's own menu, in the menu bar while no child window exists.
    auto* file = new QMenu("&File", this);
    file->setObjectName("fileMenu");
    actions_->addOpenCommands(file);
    actions_->addRecentFiles(file);
    actions_->addExit(file);
    mainMenus_ = { file, actions_->makeHelpMenu(this) };
    installMenus(mainMenus_);
}

void MainFrame::createToolBars()
{
    // The Align toolbar: its commands are the Align Window's (centre and stretch against the
    // other sources, edit a text source), which connects and switches them on.
    alignToolBar_ = new QToolBar("Align", this);
    alignToolBar_->setObjectName("alignToolBar");
    alignToolBar_->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    struct Button {
        const char* name;
        const char* tip;
        const char* prompt;
        Picture picture;
        QAction** action;
    };
    const Button buttons[] = {
        { "centerVertically", "Center Vertically",
            "Vertically position selected source to center of the other images.", Picture::CenterVertically,
            &alignTools_.centerVertically },
        { "centerHorizontally", "Center Horizontally",
            "Horizontally position selected source to center of the other images.",
            Picture::CenterHorizontally, &alignTools_.centerHorizontally },
        { "verticalStretch", "Vertical Stretch",
            "Vertically stretch the selected source to the combined height of the other images.",
            Picture::VerticalStretch, &alignTools_.verticalStretch },
        { "horizontalStretch", "Horizontal Stretch",
            "Horizontally stretch selected source to the combined width of the other images.",
            Picture::HorizontalStretch, &alignTools_.horizontalStretch },
        { "editTextButton", "Edit Text", "Edit text of the currently selected source (if already text)",
            Picture::EditText, &alignTools_.editText },
    };
    int imageIndex = 0;
    for (const Button& b : buttons) {
        QAction* action = makePendingCommand(alignToolBar_, b.name, b.tip, b.prompt, b.tip);
        action->setIcon(pictureIcon(b.picture));
        action->setProperty("toolbarImageIndex", imageIndex++);
        alignToolBar_->addAction(action);
        *b.action = action;
    }
    alignToolBar_->addSeparator();
    actions_->undo->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    actions_->redo->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    alignToolBar_->addAction(actions_->undo);
    alignToolBar_->addAction(actions_->redo);
    addToolBar(Qt::TopToolBarArea, alignToolBar_);

    selectToolBar_ = new select_toolbar(workspace_, this);
    addToolBar(Qt::TopToolBarArea, selectToolBar_);
    setAlignToolBarsVisible(false);
}

void MainFrame::createStatusBar()
{
    // Pane 0 is the message pane (menu prompts); pane 1 the workspace status text, always
    // shown; panes 2 and 3 stay empty until an operation paints into them.
    const char* const names[] = { "messagePane", "Zone size", "Process", "Progress Bar" };
    for (size_t i = 0; i < panes_.size(); ++i) {
        panes_[i] = new QLabel(this);
        panes_[i]->setObjectName(names[i]);
        panes_[i]->setFixedWidth(kPaneWidths[i]);
        panes_[i]->setFrameShape(QFrame::Panel);
        panes_[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panes_[i]);
    }
    statusBar()->setWhatsThis(statusBarHelpText());
    progress_ = new QProgressBar(panes_[3]);
    progress_->setGeometry(0, 0, kPaneWidths[3], 16);
    progress_->setTextVisible(false);
    progress_->hide();
}

void MainFrame::createAccelerators()
{
    // The frame's accelerators work whichever child is active.
    struct Accelerator {
        QKeySequence keys;
        std::function<void()> run;
    };
    const Accelerator accelerators[] = {
        { QKeySequence(Qt::CTRL | Qt::Key_O), [this] { actions_->openImage->trigger(); } },
        { QKeySequence(Qt::Key_O), [this] { actions_->openImage->trigger(); } },
        { QKeySequence(Qt::CTRL | Qt::Key_T), [this] { actions_->newText->trigger(); } },
        { QKeySequence(Qt::CTRL | Qt::Key_P), [this] { printFromActiveChild(); } },
        { QKeySequence(Qt::Key_F1), [this] { emit helpRequested(helpPageFor(active_)); } },
        { QKeySequence(Qt::SHIFT | Qt::Key_F1), [this] { actions_->specificHelp->trigger(); } },
    };
    for (const Accelerator& a : accelerators) {
        auto* action = new QAction(this);
        action->setShortcut(a.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, a.run);
        addAction(action);
    }
}

void MainFrame::installMenus(const QList<QMenu*>& menus)
{
    QMenuBar* bar = menuBar();
    for (QAction* action : bar->actions())
        bar->removeAction(action);
    for (QMenu* menu : menus) {
        bar->addAction(menu->menuAction());
        // Every window's second menu is Edit.
        if (menu == menus.front())
            bar->addAction(editMenu_->menuAction());
    }
}

void MainFrame::showHistory()
{
    actions_->showHistory(workspace_.history.undoName(), workspace_.history.redoName());
}

void MainFrame::showPassingMessage(const QString& text)
{
    statusBar()->showMessage(text, kPassingMessageMs);
}

void MainFrame::addChild(ChildWindow* child)
{
    const bool isSource = child->kind() == ChildWindow::Kind::Source;
    const bool isTarget = child->kind() == ChildWindow::Kind::Target;
    connect(child, &QObject::destroyed, this,
        [this, child, isSource, isTarget] { childDestroyed(child, isSource, isTarget); });
    mdi_->addSubWindow(child);
    if (isTarget)
        targetWindowExists_ = true;
    if (isSource && workspace_.hideLoadButtons == 1) {
        QMdiSubWindow* previous = mdi_->activeSubWindow();
        child->setAttribute(Qt::WA_ShowWithoutActivating);
        child->showMinimized();
        if (previous && previous != child)
            mdi_->setActiveSubWindow(previous);
        return;
    }
    child->show();
    activateChild(child);
}

void MainFrame::activateChild(ChildWindow* child)
{
    mdi_->setActiveSubWindow(child);
    // The MDI area reports activations only while the frame is the active window; the
    // toolbars, the menus and the workspace follow the chosen child in any case.
    childActivated(child);
}

bool MainFrame::activateSourceWindow(int number)
{
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        auto* child = qobject_cast<ChildWindow*>(window);
        if (child && child->kind() == ChildWindow::Kind::Source && child->sourceNumber() == number) {
            if (child->isMinimized())
                child->showNormal();
            activateChild(child);
            return true;
        }
    }
    return false;
}

void MainFrame::childActivated(QMdiSubWindow* window)
{
    // A null window means the frame itself lost the focus: the active child stays what it was.
    auto* child = qobject_cast<ChildWindow*>(window);
    if (!child || child == active_ || closing_)
        return;
    if (active_ && active_->kind() == ChildWindow::Kind::Align)
        workspace_.alignViewActive = 0;
    if (active_)
        emit childLeft(active_);
    active_ = child;
    installMenus(child->menus());
    switch (child->kind()) {
    case ChildWindow::Kind::Align:
        setAlignToolBarsVisible(true);
        workspace_.activeSourceNumber = -1;
        workspace_.alignViewActive = 1;
        break;
    case ChildWindow::Kind::Source:
        setAlignToolBarsVisible(false);
        workspace_.activeSourceNumber = child->sourceNumber();
        break;
    case ChildWindow::Kind::Target:
        setAlignToolBarsVisible(false);
        workspace_.activeSourceNumber = -1;
        break;
    }
    // The child enables its commands (updateActions) as it is activated.
    child->activated();
    emit childEntered(child);
    refreshStatusText();
}

void MainFrame::childDestroyed(ChildWindow* child, bool wasSource, bool wasTarget)
{
    if (closing_)
        return;
    if (active_ == nullptr || active_ == child)
        active_ = nullptr;
    if (wasTarget)
        targetWindowExists_ = false;
    if (!wasSource)
        return;
    // A source window went: the selection starts again at source 1. Closing the source already
    // discarded the target built from the sources as they were.
    selectToolBar_->refresh();
    selectToolBar_->selectSource(1);
    if (mdi_->subWindowList().isEmpty())
        installMenus(mainMenus_);
}

void MainFrame::setAlignToolBarsVisible(bool visible)
{
    alignToolBar_->setVisible(visible);
    selectToolBar_->setVisible(visible);
}

void MainFrame::printFromActiveChild()
{
    if (!active_)
        return;
    if (QAction* print = active_->printCommand())
        print->trigger();
}

void MainFrame::refreshStatusText()
{
    // Nothing is shown before the Target Window exists.
    if (!targetWindowExists_)
        return;
    // Runs each time the event loop goes idle: an unchanged text must not schedule a repaint,
    // which would wake the loop again.
    const auto text = workspaceStatusText(statusTextInputs(workspace_));
    if (text && panes_[1]->text() != QString::fromStdString(*text))
        panes_[1]->setText(QString::fromStdString(*text));
}

bool MainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        panes_[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    closing_ = 1;
    QMainWindow::closeEvent(event);
}

namespace {
std::vector<std::string> droppedPaths(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.push_back(url.toLocalFile().toStdString());
    return paths;
}
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void MainFrame::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = droppedPaths(event->mimeData());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    emit filesDropped(paths);
}

void MainFrame::paintPaneText(int pane, const QString& text)
{
    if (pane < 0 || pane >= int(panes_.size()))
        return;
    panes_[size_t(pane)]->setText(text);
    panes_[size_t(pane)]->repaint();
}

QString MainFrame::paneText(int pane) const
{
    return pane >= 0 && pane < int(panes_.size()) ? panes_[size_t(pane)]->text() : QString();
}

void MainFrame::paintProgress(int percent, ColourRef colour)
{
    progress_->setStyleSheet(QString("QProgressBar::chunk { background: rgb(%1,%2,%3); }")
                                 .arg(redOf(colour))
                                 .arg(greenOf(colour))
                                 .arg(blueOf(colour)));
    progress_->setValue(percent);
    progress_->setVisible(percent > 0 && percent < 100);
    progress_->repaint();
}

} // namespace tessary
