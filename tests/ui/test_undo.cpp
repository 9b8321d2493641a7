// Undo and redo in the running program: the Edit menu's texts, Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y
// on placement steps made through the Align menu and the Rotate dialog.
#include "align/ui/align_view.h"
#include "align/ui/rotate_dialog.h"
#include "app/ui/app_actions.h"
#include "source_program.h"

#include <QLineEdit>
#include <QPushButton>

using namespace tessary;
using namespace tessary::uitest;

namespace {

struct UndoProgram : SourceProgram {
    QAction* alignEntry(const char* label)
    {
        frame().activateChild(app.alignWindow());
        QMenu* menu = menuNamed(frame().menuBar(), "&Align");
        return menu ? entry(menu, label) : nullptr;
    }
    QMenu* editMenu() { return menuNamed(frame().menuBar(), "&Edit"); }
    void keys(QKeySequence sequence) { QTest::keySequence(app.alignWindow()->view(), sequence); }
};

} // namespace

class UndoTest : public QObject {
    Q_OBJECT
private slots:
    void mirrorAndRotateGoBackWithCtrlZAndComeBackWithCtrlShiftZAndCtrlY()
    {
        UndoProgram p;
        QVERIFY(p.addSource(300, 200));
        QVERIFY(p.addSource(200, 100));
        // Shortcuts reach only an active window.
        p.frame().show();
        p.frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.frame()));
        const PerPlace<Placement> start = p.workspace.alignDoc.placement;
        QVERIFY(p.editMenu());
        QCOMPARE(entryLabels(p.editMenu()), QStringList({ "Undo", "Redo" }));
        QVERIFY(!p.frame().actions().undo->isEnabled());

        p.alignEntry("Mirror horizontally")->trigger();
        QCOMPARE(p.workspace.targetDoc.mirrored[1], 1);
        p.alignEntry("Rotate...")->trigger();
        auto* dialog = qobject_cast<CRotate*>(p.frame().sharedWindows().rotateDialog.data());
        QVERIFY(dialog);
        dialog->degreesEdit()->selectAll();
        QTest::keyClicks(dialog->degreesEdit(), "25");
        QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
        dialog->close();
        QCOMPARE(p.workspace.alignDoc.placement[1].rotation, 25.0);
        const PerPlace<Placement> end = p.workspace.alignDoc.placement;
        QCOMPARE(entryLabels(p.editMenu()), QStringList({ "Undo Rotate", "Redo" }));

        p.keys(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(p.workspace.alignDoc.placement[1].rotation, 0.0);
        QCOMPARE(entryLabels(p.editMenu()), QStringList({ "Undo Mirror horizontally", "Redo Rotate" }));
        p.keys(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QVERIFY(p.workspace.alignDoc.placement == start);
        QCOMPARE(p.workspace.targetDoc.mirrored[1], 0);
        QVERIFY(!p.frame().actions().undo->isEnabled());

        p.keys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(p.workspace.targetDoc.mirrored[1], 1);
        p.keys(QKeySequence(Qt::CTRL | Qt::Key_Y));
        QVERIFY(p.workspace.alignDoc.placement == end);
        QCOMPARE(entryLabels(p.editMenu()), QStringList({ "Undo Rotate", "Redo" }));
        QVERIFY(!p.frame().actions().redo->isEnabled());
    }
};

QTEST_MAIN(UndoTest)
#include "test_undo.moc"
