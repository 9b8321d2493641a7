// The main frame with its child windows: menus per window kind, the Align toolbars, the
// workspace status text, the close refusal, accelerators and dropped files.
#include "align/ui/align_child_wnd.h"
#include "app/ui/app_actions.h"
#include "app/ui/select_toolbar.h"
#include "app/ui/tessary_app.h"
#include "image/packed_dib.h"
#include "merge/ui/dest_child.h"
#include "ui_fixtures.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

using namespace tessary;
using namespace tessary::uitest;

namespace {

const QStringList kFileOfAlign
    = { "Open Image...\tCtrl+O", "New Text...\tCtrl+T", "Open Arrangement...", "Save Arrangement...", "Recent File", "E&xit" };
const QStringList kHelp = { "Help Topics", "About Tessary...", "Specific help" };

// The program as started, with a fake platform and the stand-in source layer.
// Runs the event loop until it has nothing left to do and would wait for input: the
// application's idle time.
void goIdle()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Program {
    std::unique_ptr<testing::FakePlatform> platform = makeFakePlatform();
    MergeWorkspace workspace;
    FakeSourceLayer sources { workspace, nullptr, {} };
    CTessaryApp app { *platform, workspace, [this](const std::string& path) { return sources.open(path); } };

    Program()
    {
        app.start({ "tessary" });
        sources.frame = app.mainFrame();
    }
    MainFrame& frame() { return *app.mainFrame(); }
    QString pane(int i) { return frame().pane(i)->text(); }
    QStringList tabTitles()
    {
        QStringList titles;
        for (QMdiSubWindow* w : frame().mdiArea()->subWindowList())
            titles << w->windowTitle();
        return titles;
    }
    void openFiles(int count)
    {
        for (int i = 0; i < count; ++i)
            sources.open("/pictures/" + std::to_string(workspace.sourceCount + 1) + ".bmp");
    }
    CChildFrame* sourceWindow(int number)
    {
        for (QMdiSubWindow* w : frame().mdiArea()->subWindowList())
            if (auto* s = qobject_cast<CChildFrame*>(w); s && s->sourceNumber() == number)
                return s;
        return nullptr;
    }
};

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void startupShowsTheAlignWindowInFrontOfTheTargetWindow()
    {
        Program p;
        QVERIFY(p.frame().isVisible());
        QCOMPARE(p.tabTitles(), QStringList({ "Target Window", "Align Window" }));
        QCOMPARE(p.frame().activeChild(), p.app.alignWindow());
        QCOMPARE(p.frame().mdiArea()->viewMode(), QMdiArea::TabbedView);
        QVERIFY(!p.frame().mdiArea()->tabsClosable());
        QCOMPARE(menuTitles(p.frame().menuBar()), QStringList({ "&File", "&Edit", "&Align", "&Help" }));
        QVERIFY(p.frame().alignToolBar()->isVisible());
        QVERIFY(p.frame().selectToolBar()->isVisible());
        QCOMPARE(p.workspace.alignViewActive, 1);
        QCOMPARE(p.workspace.activeSourceNumber, -1);
        const int widths[4] = { 350, 250, 200, 100 };
        for (int i = 0; i < 4; ++i)
            QCOMPARE(p.frame().pane(i)->width(), widths[i]);
        QCOMPARE(p.pane(1), QString("Awaiting load of at least two sources."));
        QVERIFY(p.platform->messages.empty());
    }

    void statusTextWaitsForTheTargetWindow()
    {
        auto platform = makeFakePlatform();
        MergeWorkspace workspace;
        MainFrame frame(workspace, *platform);
        frame.show();
        goIdle();
        QCOMPARE(frame.pane(1)->text(), QString());
        QCOMPARE(menuTitles(frame.menuBar()), QStringList({ "&File", "&Edit", "&Help" }));
        frame.addChild(new CDestchild(frame));
        QCOMPARE(frame.pane(1)->text(), QString("Awaiting load of at least two sources."));
        workspace.sourceCount = 1;
        goIdle();
        QCOMPARE(frame.pane(1)->text(), QString("Awaiting load of 2nd source."));
    }

    void menusOfEachWindowKind()
    {
        Program p;
        p.openFiles(1);
        struct Expected {
            ChildWindow* window;
            QStringList titles;
            QList<QStringList> entries;
        };
        // Every window's Edit menu; with nothing done yet both say only what they are.
        const QStringList kEdit = { "Undo", "Redo" };
        const QList<Expected> kinds = {
            { p.app.alignWindow(), { "&File", "&Edit", "&Align", "&Help" },
                { kFileOfAlign, kEdit,
                    { "Sizes...", "Collage...", "Rotate...", "Mirror horizontally", "Edit text...", "Paste",
                        "Reset size of selected source", "nudge factor...", "Flying Tips...",
                        "Use the transparency stored in image files", "Next startup tip", "Previous startup tip" },
                    kHelp } },
            { p.app.targetWindow(), { "&File", "&Edit", "&Target", "&Help" },
                { { "Open Image...\tCtrl+O", "New Text...\tCtrl+T", "Open Arrangement...", "Save Arrangement...", "Recent File",
                      "Save As...", "Save Tiles As...", "&Print...\tCtrl+P", "Print setup...", "E&xit" },
                    kEdit,
                    { "Merge Sources", "Fine Alignment", "Contrast Brightness", "Snap to 1", "Snap to 5",
                        "Snap to 10", "Snap to 16", "Viewing Size...", "Background Color...",
                        "Set Margins...", "Set Margin Color...", "Send to new Source", "Set merge defaults",
                        "Batch Merge..." },
                    kHelp } },
            { p.sourceWindow(1), { "&File", "&Edit", "&Source", "&Help" },
                { { "Open Image...\tCtrl+O", "New Text...\tCtrl+T", "Open Arrangement...", "Save Arrangement...",
                      "Close this Source Image", "Recent File", "E&xit" },
                    kEdit,
                    { "Reload Source", "Black and White", "Brightness and Contrast...",
                        "Cylindrical Projection...", "Trapezoid...", "Skew", "Overlay Grid...",
                        "Pincushion...", "Make all transparent", "Make all opaque" },
                    kHelp } },
        };
        // Working now: the application's own commands (help included), closing a source, the flying tips
        // question, the nudge factor and the Target commands that need no target; every other
        // command arrives with its window's work or its state and is disabled.
        const QStringList working = { "Open Image...\tCtrl+O", "New Text...\tCtrl+T", "Open Arrangement...", "Save Arrangement...",
            "E&xit", "About Tessary...", "Close this Source Image", "Flying Tips...", "nudge factor...",
            "Use the transparency stored in image files",
            "Snap to 1", "Snap to 5", "Snap to 10", "Snap to 16", "Viewing Size...", "Background Color...",
            "Set Margins...", "Set Margin Color...", "Print setup...", "Reload Source", "Help Topics",
            "Specific help" };
        for (const Expected& kind : kinds) {
            QVERIFY(kind.window);
            p.frame().activateChild(kind.window);
            QCOMPARE(menuTitles(p.frame().menuBar()), kind.titles);
            for (int m = 0; m < kind.titles.size(); ++m) {
                const QMenu* menu = menuNamed(p.frame().menuBar(), kind.titles[m]);
                QVERIFY(menu);
                QCOMPARE(entryLabels(menu), kind.entries[m]);
                for (const QAction* action : menu->actions())
                    if (!action->isSeparator() && action->isVisible())
                        QVERIFY2(action->isEnabled() == working.contains(action->text()),
                            qPrintable(action->text()));
            }
        }
    }

    void alignToolbarsAndStatusTextFollowTheActiveWindow()
    {
        Program p;
        p.openFiles(3);
        p.workspace.alignDoc.layoutWidth = 1200;
        p.workspace.alignDoc.layoutHeight = 700;
        MainFrame& f = p.frame();

        f.activateChild(p.app.alignWindow());
        QVERIFY(f.alignToolBar()->isVisible() && f.selectToolBar()->isVisible());
        QCOMPARE(p.pane(1), QString("Predicted target size = 1200 X 700"));

        f.activateChild(p.sourceWindow(2));
        QVERIFY(!f.alignToolBar()->isVisible() && !f.selectToolBar()->isVisible());
        QCOMPARE(p.workspace.activeSourceNumber, 2);
        QCOMPARE(p.workspace.alignViewActive, 0);
        QCOMPARE(p.pane(1), QString("This is source 2"));
        // A source window brings its own toolbar.
        QVERIFY(p.sourceWindow(2)->toolBar()->isVisible());
        QCOMPARE(p.sourceWindow(2)->toolBar()->actions().size(), 10);

        f.activateChild(p.app.targetWindow());
        QVERIFY(!f.alignToolBar()->isVisible() && !f.selectToolBar()->isVisible());
        QCOMPARE(p.workspace.activeSourceNumber, -1);
        QCOMPARE(p.pane(1), QString("Target needs updating"));

        // A finished target: its size, picked up by the idle-time refresh.
        p.workspace.targetDoc.generated = 1;
        p.workspace.targetDoc.targetImage = PackedDib::allocate(40 + 8 * 3);
        BitmapInfoHeader header;
        header.biWidth = 2;
        header.biHeight = 3;
        header.biBitCount = 24;
        p.workspace.targetDoc.targetImage->setHeader(header);
        goIdle();
        QCOMPARE(p.pane(1), QString("Actual target size = 2 X 3"));
    }

    void selectionButtonsFollowTheSourceCount()
    {
        Program p;
        select_toolbar* bar = p.frame().selectToolBar();
        QCOMPARE(bar->actions().size(), 8);
        QCOMPARE(bar->button(5)->toolTip(), QString("Source "));
        QCOMPARE(
            bar->button(5)->statusTip(), QString("This selects source 5 to be sized, moved or rotated."));
        // The buttons follow the model's word that sources came, with no refresh of their own.
        p.openFiles(1);
        QVERIFY(!bar->button(1)->isEnabled());
        p.openFiles(2);
        QVERIFY(bar->button(1)->isEnabled() && bar->button(2)->isEnabled() && bar->button(3)->isEnabled());
        QVERIFY(!bar->button(4)->isEnabled());
        bar->button(3)->trigger();
        QCOMPARE(p.workspace.alignView.selectedSource, 3);
        QVERIFY(bar->button(3)->isChecked() && !bar->button(1)->isChecked());
    }

    void closingASourceWindowRestartsTheSelection()
    {
        Program p;
        p.openFiles(3);
        p.frame().selectToolBar()->button(3)->trigger();
        CChildFrame* second = p.sourceWindow(2);
        p.frame().activateChild(second);
        QVERIFY(menuNamed(p.frame().menuBar(), "&File"));
        QAction* close = entry(menuNamed(p.frame().menuBar(), "&File"), "Close this Source Image");
        QVERIFY(close);
        QPointer<CChildFrame> guard(second);
        close->trigger();
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(p.workspace.alignView.selectedSource, 1);
        QVERIFY(p.frame().selectToolBar()->button(1)->isChecked());
    }

    void alignAndTargetWindowsRefuseToClose()
    {
        Program p;
        for (ChildWindow* window : { static_cast<ChildWindow*>(p.app.targetWindow()),
                 static_cast<ChildWindow*>(p.app.alignWindow()) }) {
            p.platform->expectMessage("Not allowed to close this window !");
            QVERIFY(!window->close());
            QVERIFY(p.frame().mdiArea()->subWindowList().contains(window));
        }
        QCOMPARE(p.frame().mdiArea()->subWindowList().size(), 2);
        for (const auto& m : p.platform->messages) {
            QCOMPARE(m.icon, MessageIcon::Plain);
            QCOMPARE(m.buttons, MessageButtons::Ok);
        }
        // While the frame closes, the refusal is silent.
        p.app.exitCommand();
        QCOMPARE(p.frame().closing(), 1);
        QVERIFY(!p.frame().isVisible());
        QVERIFY(!p.app.alignWindow()->close());
        QCOMPARE(p.platform->messages.size(), size_t(2));
    }

    void hiddenLoadingAddsASourceWindowWithoutActivatingIt()
    {
        Program p;
        p.workspace.hideLoadButtons = 1;
        p.openFiles(1);
        QVERIFY(p.sourceWindow(1));
        QVERIFY(p.sourceWindow(1)->isMinimized());
        QCOMPARE(p.frame().activeChild(), p.app.alignWindow());
        QCOMPARE(p.workspace.activeSourceNumber, -1);
    }

    void promptsGoToPaneZero()
    {
        Program p;
        p.frame().actions().openImage->showStatusText(p.frame().menuBar());
        QCOMPARE(p.pane(0), QString("Open an existing image file"));
        QAction* stretch = p.frame().alignToolBar()->findChild<QAction*>("horizontalStretch");
        QVERIFY(stretch);
        stretch->showStatusText(p.frame().alignToolBar());
        QCOMPARE(p.pane(0),
            QString("Horizontally stretch selected source to the combined width of the other images."));
        // A source window's toolbar sits in the window's own frame; its prompts still reach pane 0.
        p.openFiles(1);
        QAction* gray = p.sourceWindow(1)->findChild<QAction*>("grayScale");
        gray->showStatusText(p.sourceWindow(1)->toolBar());
        QCOMPARE(p.pane(0), QString("Convert this source to gray scale"));
    }

    void acceleratorsOfTheFrameAndOfTheTargetWindow()
    {
        Program p;
        p.frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.frame()));
        QTest::keyClick(&p.frame(), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(&p.frame(), Qt::Key_O);
        QCOMPARE(p.platform->openRequests.size(), size_t(2));
        QCOMPARE(p.platform->openRequests[1].title, std::string("Open Source Window 1"));

        // S saves and Ctrl+P prints from the Target Window only (a generated target switches
        // both on; the print dialog is answered with Cancel).
        QAction* saveAs = p.app.targetWindow()->findChild<QAction*>("saveAs");
        QAction* print = p.app.targetWindow()->findChild<QAction*>("print");
        p.app.targetWindow()->setPrinterDialogs(
            PrinterDialogs { [](QPrinter&, QWidget*) { return false; }, [](QPrinter&, QWidget*) {} });
        p.workspace.targetDoc.generated = 1;
        p.app.targetWindow()->updateActions();
        QSignalSpy saves(saveAs, &QAction::triggered);
        QSignalSpy prints(print, &QAction::triggered);
        QTest::keyClick(&p.frame(), Qt::Key_S);
        QTest::keyClick(&p.frame(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(saves.size(), 0);
        QCOMPARE(prints.size(), 0);
        p.frame().activateChild(p.app.targetWindow());
        QTest::keyClick(&p.frame(), Qt::Key_S);
        QTest::keyClick(&p.frame(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(saves.size(), 1);
        QCOMPARE(prints.size(), 1);
    }

    void droppedFilesOpenAsSourcesAndANinthIsRefused()
    {
        Program p;
        p.openFiles(6);
        auto drop = [&](const QStringList& paths) {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString& path : paths)
                urls << QUrl::fromLocalFile(path);
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&p.frame(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&p.frame(), &dropped);
        };
        drop({ "/drop/a.png", "/drop/b.png" });
        QCOMPARE(p.workspace.sourceCount, 8);
        QCOMPARE(p.workspace.documents[7]->filePath, std::string("/drop/b.png"));
        QCOMPARE(p.frame().activeChild(), p.app.alignWindow());
        QCOMPARE(entryLabels(menuNamed(p.frame().menuBar(), "&File")).mid(4, 2),
            QStringList({ "&1 /drop/b.png", "&2 /drop/a.png" }));

        p.platform->expectMessage("No more than 8 images allowed.");
        drop({ "/drop/c.png", "/drop/d.png" });
        QCOMPARE(p.workspace.sourceCount, 8);
        QCOMPARE(p.platform->messages.size(), size_t(1));
        QCOMPARE(p.platform->messages[0].icon, MessageIcon::Error);
    }
};

QTEST_MAIN(MainFrameTest)
#include "test_main_frame.moc"
