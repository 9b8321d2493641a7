// While a long operation runs, nothing but Esc reaches any window: the real Qt platform under
// the real windows, with input sent while a transformation polls for Esc.
#include "align/outline_hit_test.h"
#include "align/ui/align_view.h"
#include "app/long_operation.h"
#include "app/ui/qt_platform.h"
#include "app/ui/select_toolbar.h"
#include "merge/transform_source.h"
#include "source_program.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

using namespace tessary;
using namespace tessary::uitest;

namespace {

// The program with the Qt platform itself, so that its busy state is the one under test.
struct LiveProgram {
    QtPlatform platform;
    MergeWorkspace workspace;
    SourceWindows sources { workspace, platform };
    CTessaryApp app { platform, workspace,
        [this](const std::string& path) { return sources.openSourceFile(path); } };
    QTemporaryDir folder;

    LiveProgram()
    {
        app.start({ "tessary" });
        sources.attach(*app.mainFrame(), app.alignWindow());
    }
    MainFrame& frame() { return *app.mainFrame(); }
    bool open(int32_t w, int32_t h)
    {
        const std::string name = "s" + std::to_string(workspace.sourceCount + 1) + ".bmp";
        return sources.openSourceFile(writeTestBmp(folder, name, w, h));
    }
    CAlignview* alignView() { return app.alignWindow()->findChild<CAlignview*>(); }
};

// Runs `act` once the platform shows a modal message box, with that box.
void whenMessageBoxShows(const std::function<void(QMessageBox*)>& act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(box);
        }
    });
    poll->start();
}

void sendEscape(QWidget* to, QEvent::Type type, bool autoRepeat = false)
{
    QKeyEvent event(type, Qt::Key_Escape, Qt::NoModifier, QString(), autoRepeat);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(to, &event);
}

} // namespace

class BusyStateTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void inputDuringATransformationIsDiscarded()
    {
        LiveProgram p;
        QVERIFY(p.open(300, 200));
        QVERIFY(p.open(1200, 900));
        p.frame().activateChild(p.app.alignWindow());
        CAlignview* view = p.alignView();
        QVERIFY(view);
        QCOMPARE(p.workspace.alignView.selectedSource, 2);
        const CAlignDoc& doc = p.workspace.alignDoc;
        const auto placementBefore = doc.placement;
        const QString pane0 = p.frame().pane(0)->text(), pane2 = p.frame().pane(2)->text();

        bool ran = false, busy = false, waitCursor = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            busy = p.platform.isBusy();
            waitCursor = QGuiApplication::overrideCursor()
                && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            // A drag of the selected source, a digit that would select source 1, a click on the
            // selection toolbar, and the window system asking source window 1 to close.
            const Outline outline = *doc.outline[1];
            const ViewPoint mid = sideMidpoint(outline[0], outline[3]);
            const QPoint from(mid.x, mid.y);
            QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
            QTest::mouseMove(view, from + QPoint(60, 40));
            QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, from + QPoint(60, 40));
            QTest::keyClick(view, Qt::Key_1);
            QTest::mouseClick(
                p.frame().selectToolBar()->widgetForAction(p.frame().selectToolBar()->button(1)),
                Qt::LeftButton);
            // (sendEvent would mark it as the program's own close.)
            QCloseEvent close;
            QSpontaneKeyEvent::setSpontaneous(&close);
            qApp->notify(p.sources.window(1), &close);
        });
        QCOMPARE(transformSource(p.workspace, p.platform, 2), kTransformDone);
        QVERIFY(ran);
        QVERIFY(busy);
        QVERIFY(waitCursor);

        QVERIFY(!p.platform.isBusy());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(doc.placement == placementBefore);
        QCOMPARE(p.workspace.alignView.selectedSource, 2);
        QCOMPARE(p.workspace.sourceCount, 2);
        QVERIFY(p.sources.window(1));
        QCOMPARE(p.workspace.targetDoc.transformed[1].width(), 1200);
        QCOMPARE(p.workspace.targetDoc.transformed[1].height(), 900);
        // The panes show what they showed before the work.
        QCOMPARE(p.frame().pane(0)->text(), pane0);
        QCOMPARE(p.frame().pane(2)->text(), pane2);

        // The same input once the work is over acts as usual.
        QTest::keyClick(view, Qt::Key_1);
        QCOMPARE(p.workspace.alignView.selectedSource, 1);
    }

    void escapeIsTrackedButDeliveredToNoWindowWhileBusy()
    {
        QtPlatform platform;
        QLineEdit edit;
        edit.show();
        QPushButton button("press");
        button.show();
        int clicks = 0;
        connect(&button, &QPushButton::clicked, [&] { ++clicks; });
        int escapesSeen = 0;
        struct Counter : QObject {
            int& seen;
            explicit Counter(int& s)
                : seen(s)
            {
            }
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
                    ++seen;
                return false;
            }
        } counter(escapesSeen);
        edit.installEventFilter(&counter);

        platform.enterBusy();
        QTest::keyClicks(&edit, "abc");
        QTest::mouseClick(&button, Qt::LeftButton);
        sendEscape(&edit, QEvent::KeyPress);
        QVERIFY(platform.isEscapeDown());
        QCOMPARE(escapesSeen, 0);
        sendEscape(&edit, QEvent::KeyRelease);
        QVERIFY(!platform.isEscapeDown());
        platform.leaveBusy();

        QCOMPARE(edit.text(), QString());
        QCOMPARE(clicks, 0);
        QTest::keyClicks(&edit, "abc");
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(edit.text(), QString("abc"));
        QCOMPARE(clicks, 1);
    }

    // A tap of Esc over before the work looks is not missed: it counts once. A tap before the
    // busy state began does not count.
    void aShortEscapeTapIsSeenAtTheNextPollOnce()
    {
        QtPlatform platform;
        QWidget window;
        window.show();
        sendEscape(&window, QEvent::KeyPress);
        sendEscape(&window, QEvent::KeyRelease);
        platform.enterBusy();
        QVERIFY(!platform.isEscapeDown());
        sendEscape(&window, QEvent::KeyPress);
        sendEscape(&window, QEvent::KeyRelease);
        QVERIFY(platform.isEscapeDown());
        QVERIFY(!platform.isEscapeDown());
        platform.leaveBusy();
    }

    // Holding Esc to abandon work must not answer the question it raises: only a click, Enter,
    // Y or N does.
    void escapeInsideTheQuitQuestionAnswersNothing_data()
    {
        QTest::addColumn<int>("answerKey");
        QTest::addColumn<bool>("abandon");
        QTest::newRow("N") << int(Qt::Key_N) << false;
        QTest::newRow("Y") << int(Qt::Key_Y) << true;
        QTest::newRow("Enter (Yes is the default)") << int(Qt::Key_Return) << true;
    }
    void escapeInsideTheQuitQuestionAnswersNothing()
    {
        QFETCH(int, answerKey);
        QFETCH(bool, abandon);
        QtPlatform platform;
        QWidget window;
        window.show();
        LongOperation operation(platform);
        sendEscape(&window, QEvent::KeyPress);

        QString text;
        bool stillOpenAfterEscapes = false;
        whenMessageBoxShows([&](QMessageBox* box) {
            text = box->text();
            // The held key repeating, then pressed once more and let go.
            sendEscape(box, QEvent::KeyPress, true);
            sendEscape(box, QEvent::KeyPress, true);
            sendEscape(box, QEvent::KeyRelease);
            sendEscape(box, QEvent::KeyPress);
            sendEscape(box, QEvent::KeyRelease);
            QCoreApplication::processEvents();
            stillOpenAfterEscapes = box->isVisible();
            QTest::keyClick(box, Qt::Key(answerKey));
        });
        QCOMPARE(operation.pollEscape(), abandon);
        QCOMPARE(text, QString("Do you really want to quit ?"));
        QVERIFY(stillOpenAfterEscapes);
    }

    void aMessageShownWhileBusyTakesItsClick()
    {
        QtPlatform platform;
        LongOperation operation(platform);
        whenMessageBoxShows(
            [](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton); });
        QCOMPARE(
            platform.messageBox("Go on?", MessageIcon::Question, MessageButtons::YesNo), MessageAnswer::No);
        // The wait cursor is back once the question is answered.
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
};

QTEST_MAIN(BusyStateTest)
#include "test_busy_state.moc"
