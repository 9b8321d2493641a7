// The Collage dialog in the running program: the fields and the columns message, Apply and
// the map, swaps through the swap control, Cancel, and closing it by activating another window.
#include "align/ui/align_collage.h"
#include "align/placement_commands.h"
#include "align/ui/swap_sources.h"
#include "app/edit_path.h"
#include "merge/transform_source.h"
#include "mouse_events.h"
#include "source_program.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tessary;
using namespace tessary::uitest;

namespace {

struct CollageProgram : SourceProgram {
    CAlignDoc& doc() { return workspace.alignDoc; }
    QPointer<QWidget>& slot() { return frame().sharedWindows().collageDialog; }
    align_collage* dialog() { return qobject_cast<align_collage*>(slot().data()); }
    QAction* command()
    {
        frame().activateChild(app.alignWindow());
        return entry(menuNamed(frame().menuBar(), "&Align"), "Collage...");
    }
    ViewPoint place(int n) const
    {
        return { workspace.alignDoc.placement[size_t(n - 1)].posX, workspace.alignDoc.placement[size_t(n - 1)].posY };
    }
    int transformations() const
    {
        return int(std::count_if(platform->paneHistory.begin(), platform->paneHistory.end(),
            [](const auto& e) { return e.first == 2 && e.second.rfind("process src: ", 0) == 0; }));
    }
};

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The centre of the swap control's cell for the pair (first, second).
QPoint swapCell(swap_sources* control, int first, int second)
{
    const double w = control->width() - 8, h = control->height() - 12;
    return QPoint(int(8 + (second - 1 + 0.5) * w / 8), int(12 + (first - 1 + 0.5) * h / 7));
}

} // namespace

class CollageTest : public QObject {
    Q_OBJECT
private slots:
    void applyLaysOutTheGridAndSwapsMoveOnly()
    {
        CollageProgram p;
        QVERIFY(!p.command()->isEnabled());
        for (int i = 0; i < 4; ++i)
            QVERIFY(p.addSource(100 + 20 * i, 80));
        QVERIFY(p.command()->isEnabled());
        p.command()->trigger();
        align_collage* d = p.dialog();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowTitle(), QString("Collage Images"));
        // One at a time.
        p.command()->trigger();
        QCOMPARE(p.dialog(), d);

        typeInto(d->columnsEdit(), "2");
        typeInto(d->gapXEdit(), "10");
        typeInto(d->gapYEdit(), "20");
        const int before = p.transformations();
        d->applyButton()->click();
        QCOMPARE(p.transformations(), before + 4);
        QCOMPARE(p.place(1), (ViewPoint { 0, 500 }));
        QCOMPARE(p.place(2), (ViewPoint { 650, 500 }));
        QCOMPARE(p.place(3), (ViewPoint { 0, 0 }));
        QCOMPARE(p.place(4), (ViewPoint { 650, 0 }));
        QCOMPARE(p.workspace.targetDoc.transformed[1].width(), 640);
        QVERIFY(d->mapBox(3)->isVisible());
        QCOMPARE(d->mapBox(3)->text(), QString("4"));
        QVERIFY(!d->mapBox(4)->isVisible());

        // Hovering names the pair; pressing swaps 1 & 3 and applies without transforming.
        const QPoint cell = swapCell(d->swapControl(), 1, 3);
        hoverAt(d->swapControl(), cell);
        QCOMPARE(d->swapBox()->text(), QString("1 & 3"));
        hoverAt(d->swapControl(), QPoint(2, 2));
        QCOMPARE(d->swapBox()->text(), QString());
        press(d->swapControl(), cell);
        QCOMPARE(p.transformations(), before + 4);
        QCOMPARE(p.place(3), (ViewPoint { 0, 500 }));
        QCOMPARE(p.place(1), (ViewPoint { 0, 0 }));
        QCOMPARE(d->mapBox(0)->text(), QString("3"));

        d->resetSwapsButton()->click();
        QCOMPARE(p.place(1), (ViewPoint { 0, 500 }));
        d->okButton()->click();
        SourceProgram::settle();
        QVERIFY(p.slot().isNull());
    }

    void columnsCannotExceedTheSources()
    {
        CollageProgram p;
        for (int i = 0; i < 3; ++i)
            QVERIFY(p.addSource(60, 40));
        p.command()->trigger();
        align_collage* d = p.dialog();
        p.platform->expectMessage(kCollageTooManyColumnsText);
        typeInto(d->columnsEdit(), "5");
        QCOMPARE(d->columnsEdit()->text(), QString("3"));
        typeInto(d->columnsEdit(), "0");
        QCOMPARE(d->columnsEdit()->text(), QString("1"));
        p.platform->expectMessage("Enter an integer between 100 and 30000.");
        typeInto(d->cellWidthEdit(), "99");
        const ViewPoint before = p.place(2);
        d->applyButton()->click();
        QCOMPARE(p.place(2), before);
    }

    void cancelRestoresAndActivationOnlyCloses()
    {
        CollageProgram p;
        QVERIFY(p.addSource(60, 40));
        QVERIFY(p.addSource(90, 30));
        const ViewPoint first = p.place(2);
        const double scale = p.doc().placement[1].scaleX;
        p.command()->trigger();
        p.dialog()->applyButton()->click();
        p.dialog()->applyButton()->click();
        QVERIFY(p.doc().placement[1].scaleX != scale);
        p.dialog()->cancelButton()->click();
        SourceProgram::settle();
        QVERIFY(p.slot().isNull());
        QCOMPARE(p.place(2), first);
        QCOMPARE(p.doc().placement[1].scaleX, scale);
        QCOMPARE(p.workspace.targetDoc.transformed[1].width(), 90);

        QCOMPARE(p.workspace.history.size(), size_t(0));

        // A source window becoming active closes the dialog and keeps the collage, as one step.
        p.command()->trigger();
        p.dialog()->applyButton()->click();
        const ViewPoint applied = p.place(2);
        p.frame().activateChild(p.sources.window(1));
        SourceProgram::settle();
        QVERIFY(p.slot().isNull());
        QCOMPARE(p.place(2), applied);
        QCOMPARE(p.workspace.history.size(), size_t(1));
        QCOMPARE(p.workspace.history.undoName(), std::string("Collage"));

        // So does the Target Window.
        p.command()->trigger();
        QVERIFY(p.dialog());
        p.frame().activateChild(p.app.targetWindow());
        SourceProgram::settle();
        QVERIFY(p.slot().isNull());
    }

    // Applies and swaps while the dialog is open are one step when it closes keeping them.
    void okRecordsOneStepThatUndoTakesBackWhole()
    {
        CollageProgram p;
        for (int i = 0; i < 3; ++i)
            QVERIFY(p.addSource(100 + 20 * i, 80));
        const PerPlace<Placement> before = p.doc().placement;
        p.command()->trigger();
        align_collage* d = p.dialog();
        typeInto(d->columnsEdit(), "2");
        d->applyButton()->click();
        press(d->swapControl(), swapCell(d->swapControl(), 1, 2));
        QCOMPARE(p.workspace.history.size(), size_t(0));
        d->okButton()->click();
        SourceProgram::settle();
        const PerPlace<Placement> after = p.doc().placement;
        QCOMPARE(p.workspace.history.size(), size_t(1));
        QCOMPARE(p.workspace.history.undoName(), std::string("Collage"));

        QVERIFY(undoEdit(p.workspace, *p.platform));
        QVERIFY(p.doc().placement == before);
        QCOMPARE(p.workspace.targetDoc.transformed[2].width(), 140);
        QVERIFY(redoEdit(p.workspace, *p.platform));
        QVERIFY(p.doc().placement == after);
        QCOMPARE(p.workspace.targetDoc.transformed[2].width(), 640);
    }

    // Cancel gives back positions and scales only: a rotation made meanwhile stays, as its own
    // step, and the collage records none.
    void cancelKeepsARotationMadeMeanwhile()
    {
        CollageProgram p;
        QVERIFY(p.addSource(60, 40));
        QVERIFY(p.addSource(90, 30));
        const PerPlace<Placement> before = p.doc().placement;
        p.command()->trigger();
        p.dialog()->applyButton()->click();
        p.workspace.alignView.selectedSource = 2;
        QCOMPARE(rotateSelectedSource(p.workspace, *p.platform, 30), kTransformDone);
        p.dialog()->cancelButton()->click();
        SourceProgram::settle();
        QCOMPARE(p.doc().placement[1].rotation, 30.0);
        for (size_t i = 0; i < 2; ++i) {
            QCOMPARE(p.doc().placement[i].posX, before[i].posX);
            QCOMPARE(p.doc().placement[i].posY, before[i].posY);
            QCOMPARE(p.doc().placement[i].scaleX, before[i].scaleX);
            QCOMPARE(p.doc().placement[i].scaleY, before[i].scaleY);
        }
        QCOMPARE(p.workspace.history.size(), size_t(1));
        QCOMPARE(p.workspace.history.undoName(), std::string("Rotate"));
        // Its undo turns the source back and leaves the positions Cancel gave back.
        QVERIFY(undoEdit(p.workspace, *p.platform));
        QVERIFY(p.doc().placement == before);
    }

    // Kept with OK, the collage and the rotation made meanwhile are two steps; undone both,
    // every source is back where it was.
    void okAfterARotationMadeMeanwhileUndoesToTheStart()
    {
        CollageProgram p;
        QVERIFY(p.addSource(60, 40));
        QVERIFY(p.addSource(90, 30));
        QVERIFY(p.addSource(50, 50));
        const PerPlace<Placement> before = p.doc().placement;
        p.command()->trigger();
        typeInto(p.dialog()->columnsEdit(), "2");
        p.dialog()->applyButton()->click();
        p.workspace.alignView.selectedSource = 2;
        QCOMPARE(rotateSelectedSource(p.workspace, *p.platform, 30), kTransformDone);
        p.dialog()->okButton()->click();
        SourceProgram::settle();
        QCOMPARE(p.workspace.history.size(), size_t(2));
        QVERIFY(undoEdit(p.workspace, *p.platform));
        QCOMPARE(p.doc().placement[1].rotation, 30.0);
        QVERIFY(undoEdit(p.workspace, *p.platform));
        QVERIFY(p.doc().placement == before);
    }

    // A stopped Apply takes the collage back as Cancel does, closes the dialog, records nothing.
    void aStoppedApplyTakesTheCollageBack()
    {
        CollageProgram p;
        QVERIFY(p.addSource(60, 40));
        QVERIFY(p.addSource(90, 30));
        const PerPlace<Placement> before = p.doc().placement;
        p.command()->trigger();
        p.platform->escapeDownPolls = 1;
        p.platform->expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
        p.dialog()->applyButton()->click();
        SourceProgram::settle();
        QVERIFY(p.slot().isNull());
        QVERIFY(p.doc().placement == before);
        QCOMPARE(p.workspace.targetDoc.transformed[1].width(), 90);
        QCOMPARE(p.doc().previewValid, 1);
        QCOMPARE(p.workspace.history.size(), size_t(0));
    }
};

QTEST_MAIN(CollageTest)
#include "test_collage.moc"
