#include "app/ui/tessary_app.h"

#include "align/ui/align_child_wnd.h"
#include "app/new_text.h"
#include "app/open_arrangement.h"
#include "app/open_document.h"
#include "app/platform.h"
#include "app/save_arrangement.h"
#include "app/ui/about_box.h"
#include "app/ui/app_actions.h"
#include "app/ui/app_icon.h"
#include "app/ui/command_line.h"
#include "app/ui/data_folder.h"
#include "app/ui/help_window.h"
#include "app/ui/main_frame.h"
#include "app/ui/my_tooltip.h"
#include "app/workspace.h"
#include "merge/ui/dest_child.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QPalette>
#include <QScreen>
#include <QWhatsThis>
#include <QWhatsThisClickedEvent>
#include <utility>

namespace tessary {

namespace {
// The frame's silver colour scheme.
QPalette silverPalette()
{
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Window, QColor(221, 225, 231));
    p.setColor(QPalette::Button, QColor(232, 235, 240));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(240, 242, 245));
    p.setColor(QPalette::Highlight, QColor(255, 214, 112));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Dark, QColor(150, 158, 170));
    p.setColor(QPalette::Mid, QColor(185, 191, 200));
    return p;
}
}

CTessaryApp::CTessaryApp(
    Platform& platform, MergeWorkspace& workspace, OpenSourceFile openSourceFile, NewSources newSources)
    : platform_(platform)
    , workspace_(workspace)
    , openSourceFile_(std::move(openSourceFile))
    , newSources_(std::move(newSources))
{
}

CTessaryApp::~CTessaryApp()
{
    frame_.reset();
    workspace_.writeExitSettings(platform_);
}

void CTessaryApp::start(const QStringList& arguments)
{
    // 1. The platform's common controls need no initialising with Qt.
    // 2. The settings live under "Vuzezur Adadarize" / "Tessary"; the recent-file list holds 16.
    QCoreApplication::setOrganizationName("Vuzezur Adadarize");
    QCoreApplication::setApplicationName("Tessary");
    recentFiles_.read(platform_);
    // 3. The program's tooltip look for every window; the program's icon on every window and
    //    dialog.
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        CMyToolTipCtrl::install(*application);
        application->setPalette(silverPalette());
        application->setWindowIcon(applicationIcon());
    }
    // 4. The three document kinds are the child window classes: source windows (CChildFrame,
    //    made by the source-document layer through openSourceFile), the Align Window and the
    //    Target Window.
    // 5. The main frame, accepting dropped files. Making it can only fail by running out of
    //    memory, which ends the program anyway.
    frame_ = std::make_unique<MainFrame>(workspace_, platform_);
    AppActions& actions = frame_->actions();
    frame_->setSourceOpening(sourceOpening());
    connect(actions.openImage, &QAction::triggered, this, [this] { openImageCommand(); });
    connect(actions.newText, &QAction::triggered, this, [this] { newTextCommand(); });
    connect(actions.openArrangement, &QAction::triggered, this, [this] { openArrangementCommand(); });
    connect(actions.saveArrangement, &QAction::triggered, this,
        [this] { saveArrangementCommand(workspace_, platform_); });
    connect(&actions, &AppActions::recentFileChosen, this, [this](int index) { recentFileCommand(index); });
    connect(actions.exit, &QAction::triggered, this, &CTessaryApp::exitCommand);
    connect(actions.about, &QAction::triggered, this, &CTessaryApp::aboutCommand);
    connect(actions.helpTopics, &QAction::triggered, this, [this] { showHelp(HelpWindow::kContentsPage); });
    connect(frame_.get(), &MainFrame::helpRequested, this, &CTessaryApp::showHelp);
    connect(actions.specificHelp, &QAction::triggered, this, [] { QWhatsThis::enterWhatsThisMode(); });
    QCoreApplication::instance()->installEventFilter(this);
    connect(frame_.get(), &MainFrame::filesDropped, this,
        [this](const std::vector<std::string>& paths) { dropFiles(paths); });
    showRecentFiles();
    // 6. Files named on the command line (a launcher's "Open With") are opened later, by
    //    openCommandLineFiles, once the source windows can be made; no empty document is made.
    commandLineFiles_ = commandLineFiles(arguments);
    // 7. Show the frame.
    frame_->show();
    // 8. A display of 256 colours or fewer gets a note.
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->depth() <= 8)
        platform_.messageBox("Please note that this program works best with your display set to true color.",
            MessageIcon::Plain, MessageButtons::Ok);
    // 9. The source tables start empty.
    workspace_.sourceCount = 0;
    // 10. The Target Window.
    targetWindow_ = new CDestchild(*frame_);
    frame_->addChild(targetWindow_);
    // 11. Flying tips (and the other values read once at startup).
    workspace_.readStartupSettings(platform_);
    // 12. The Align Window, 13. in front of the other children.
    alignWindow_ = new CAlignChildWnd(*frame_);
    frame_->addChild(alignWindow_);
    frame_->activateChild(alignWindow_);
}

SourceOpening CTessaryApp::sourceOpening()
{
    SourceOpening opening;
    opening.openSourceFile = openSourceFile_;
    opening.activateSource = [this](int number) {
        if (frame_)
            frame_->activateSourceWindow(number);
    };
    opening.createNewSource = [this] {
        const bool made = newSources_.create && newSources_.create();
        if (made)
            afterSourceCreated();
        return made;
    };
    opening.createTextSource
        = [this](const StoredText& text) { return newSources_.createText && newSources_.createText(text); };
    opening.closeAllSources = [this] {
        if (newSources_.closeAll)
            newSources_.closeAll();
    };
    return opening;
}

void CTessaryApp::afterSourceCreated()
{
    if (frame_ && alignWindow_)
        frame_->activateChild(alignWindow_);
    // The Align Window's load and text buttons and its quick-align buttons follow the number
    // of sources; the Align view arranges them when it is activated with the new count.
}

void CTessaryApp::showRecentFiles()
{
    if (frame_)
        frame_->actions().setRecentFiles(recentFiles_.entries());
}

OpenResult CTessaryApp::openImageCommand()
{
    const OpenResult result = openImage(workspace_, platform_, recentFiles_, sourceOpening());
    if (result == OpenResult::Created)
        afterSourceCreated();
    showRecentFiles();
    return result;
}

bool CTessaryApp::openArrangementCommand()
{
    const bool opened = tessary::openArrangementCommand(workspace_, platform_, sourceOpening());
    if (opened)
        afterSourceCreated();
    return opened;
}

OpenResult CTessaryApp::newTextCommand()
{
    // A made source brings the Align Window to the front as it is made.
    return newText(workspace_, platform_, sourceOpening());
}

OpenResult CTessaryApp::recentFileCommand(int index)
{
    const OpenResult result = openRecentFile(workspace_, platform_, recentFiles_, sourceOpening(), index);
    if (result == OpenResult::Created)
        afterSourceCreated();
    showRecentFiles();
    return result;
}

std::vector<OpenResult> CTessaryApp::dropFiles(const std::vector<std::string>& paths)
{
    const std::vector<OpenResult> results
        = openDroppedFiles(workspace_, platform_, recentFiles_, sourceOpening(), paths);
    // The Align Window comes to the front after a new source, unless a later file of the drop
    // was already loaded and had its own window brought forward.
    for (auto it = results.rbegin(); it != results.rend(); ++it) {
        if (*it == OpenResult::Activated)
            break;
        if (*it == OpenResult::Created) {
            afterSourceCreated();
            break;
        }
    }
    showRecentFiles();
    return results;
}

std::vector<OpenResult> CTessaryApp::openCommandLineFiles()
{
    return dropFiles(std::exchange(commandLineFiles_, {}));
}

void CTessaryApp::exitCommand()
{
    // No document is ever marked modified: the frame closes without a question.
    if (frame_)
        frame_->close();
}

void CTessaryApp::aboutCommand()
{
    AboutBox box(frame_.get());
    box.exec();
}

bool CTessaryApp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WhatsThisClicked) {
        showHelp(static_cast<QWhatsThisClickedEvent*>(event)->href());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

HelpWindow* CTessaryApp::helpWindow() const
{
    return help_;
}

void CTessaryApp::showHelp(const QString& page)
{
    const QString guide = dataFolder() + "/guide";
    if (!help_)
        help_ = new HelpWindow(guide, frame_.get());
    if (!help_->showPage(page) && !help_->showPage(HelpWindow::kContentsPage)) {
        platform_.messageBox(
            missingGuideMessage(guide + "/" + page).toStdString(), MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

} // namespace tessary
