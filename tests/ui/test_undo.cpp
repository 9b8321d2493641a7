// Undo and redo in the running program: the Edit menu's texts, Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y
// on placement steps made through the Align menu and the Rotate dialog, and on a source
// window's Black and White, whose undone colours reach the merged target.
#include "align/ui/align_view.h"
#include "merge/ui/dest_view.h"
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
    // Load Target in the Target Window; the target's pixel in the middle of source 2.
    BgrColour loadTargetAtSource2()
    {
        frame().activateChild(app.targetWindow());
        CDestview& view = *app.targetWindow()->view();
        if (!view.loadTargetButton())
            return {};
        QTest::mouseClick(view.loadTargetButton(), Qt::LeftButton);
        const PackedDib* target = workspace.targetDoc.targetImage.get();
        if (!target)
            return {};
        const Placement& place = workspace.alignDoc.placement[1];
        const int32_t x = place.posX + workspace.source(2)->imageWidth / 2;
        const int32_t y = place.posY + workspace.source(2)->imageHeight / 2;
        // Rows are stored bottom-up.
        const uint8_t* p = std::as_const(*target).row(target->height() - 1 - y) + 3 * x;
        return BgrColour { p[0], p[1], p[2] };
    }
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

    void blackAndWhiteUndoneWithCtrlZGivesTheTargetItsColours()
    {
        UndoProgram p;
        QVERIFY(p.addSource(120, 90));
        QVERIFY(p.addSource(120, 90));
        p.frame().show();
        p.frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.frame()));
        const BgrColour loaded { 200, 220, 240 };
        QVERIFY(p.loadTargetAtSource2() == loaded);

        p.frame().activateSourceWindow(1);
        p.frame().activateSourceWindow(2);
        QMenu* source = menuNamed(p.frame().menuBar(), "&Source");
        QVERIFY(source);
        entry(source, "Black and White")->trigger();
        QCOMPARE(entryLabels(p.editMenu()).value(0), QString("Undo Black and White"));
        const BgrColour merged = p.loadTargetAtSource2();
        // Both sources lie at the same place and are averaged: grey and colour.
        QVERIFY(!(merged == loaded));

        p.frame().activateSourceWindow(2);
        QTest::keySequence(p.sources.view(2), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(entryLabels(p.editMenu()), QStringList({ "Undo", "Redo Black and White" }));
        QVERIFY(p.loadTargetAtSource2() == loaded);
    }
};

QTEST_MAIN(UndoTest)
#include "test_undo.moc"
