// The Align menu and the Align toolbar in the running program: when their commands are enabled,
// each command through its menu entry or toolbar button, and the Rotate, Image Sizes and Nudge
// factor dialogs, checked on the model, the dialogs' fields and the messages shown.
#include "align/drag_geometry.h"
#include "align/rebuild_preview.h"
#include "align/rotate_half_extents.h"
#include "align/ui/align_view.h"
#include "align/ui/nudge_factor_dialog.h"
#include "align/ui/rotate_dialog.h"
#include "align/ui/source_sizes_dialog.h"
#include "app/ui/select_toolbar.h"
#include "merge/transform_source.h"
#include "mouse_events.h"
#include "source_program.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>
#include <cmath>
#include <functional>

using namespace tessary;
using namespace tessary::uitest;

namespace {

const char* const kStaleTitle = "Target Window - needs updating";

struct AlignProgram : SourceProgram {
    CAlignChildWnd* align() { return app.alignWindow(); }
    CAlignview* view() { return align()->view(); }
    CAlignDoc& doc() { return workspace.alignDoc; }
    const MainFrame::AlignToolActions& tools() { return frame().alignToolActions(); }
    QPointer<QWidget>& rotateSlot() { return frame().sharedWindows().rotateDialog; }
    CRotate* rotateDialog() { return qobject_cast<CRotate*>(rotateSlot().data()); }

    // The Align menu's entry `label` as the menu bar shows it while the Align Window is active.
    QAction* menuEntry(const char* label)
    {
        frame().activateChild(align());
        QMenu* menu = menuNamed(frame().menuBar(), "&Align");
        return menu ? entry(menu, label) : nullptr;
    }
    void clickTool(QAction* action)
    {
        frame().activateChild(align());
        QWidget* button = frame().alignToolBar()->widgetForAction(action);
        QVERIFY(button && button->isVisible() && button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void selectSource(int number) { frame().selectToolBar()->button(number)->trigger(); }
    // A current target, so that a command has to make it stale itself.
    void targetCurrent()
    {
        workspace.targetDoc.title = "Target Window";
        workspace.targetDoc.generated = 1;
    }
};

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

class AlignCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // ---- enabling

    void commandsFollowTheSourcesAndThePreview()
    {
        AlignProgram p;
        const char* const group[] = { "Sizes...", "Collage...", "Rotate...", "Mirror horizontally",
            "Reset size of selected source" };
        const auto groupState = [&](bool enabled) {
            for (const char* label : group)
                if (p.menuEntry(label)->isEnabled() != enabled)
                    return false;
            const MainFrame::AlignToolActions& t = p.tools();
            for (QAction* a :
                { t.centerHorizontally, t.centerVertically, t.horizontalStretch, t.verticalStretch })
                if (a->isEnabled() != enabled)
                    return false;
            return true;
        };
        // Nothing is polled: every check below follows the change at once.
        QVERIFY(groupState(false));
        QVERIFY(p.menuEntry("nudge factor...")->isEnabled());
        QVERIFY(p.menuEntry("Flying Tips...")->isEnabled());
        QVERIFY(p.menuEntry("Next startup tip")->isEnabled());
        QVERIFY(p.addSource(40, 30));
        QVERIFY(groupState(false));
        QVERIFY(!p.menuEntry("Next startup tip")->isEnabled());
        QVERIFY(!p.frame().selectToolBar()->button(1)->isEnabled());
        QVERIFY(p.addSource(50, 20));
        QVERIFY(groupState(true));
        QVERIFY(p.frame().selectToolBar()->button(2)->isEnabled());
        QVERIFY(p.menuEntry("nudge factor...")->isEnabled());
        // Edit text belongs to the group; Paste follows the clipboard, which holds no image.
        QVERIFY(p.menuEntry("Edit text...")->isEnabled());
        QVERIFY(p.tools().editText->isEnabled());
        QVERIFY(!p.menuEntry("Paste")->isEnabled());

        // A stopped command takes itself back and keeps the preview (and the group) as it was.
        p.platform->escapeDownPolls = 1;
        p.platform->expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
        p.menuEntry("Mirror horizontally")->trigger();
        QCOMPARE(p.doc().previewValid, 1);
        QVERIFY(groupState(true));
        // A preview that fails to build (a source without its transformed image) switches the
        // group off, the next good one on again.
        p.workspace.targetDoc.transformed[1] = MaskedDib {};
        p.platform->expectMessage(kPreviewAbortedText);
        rebuildPreview(p.workspace, *p.platform, kTransformAborted);
        QCOMPARE(p.doc().previewValid, 0);
        QVERIFY(groupState(false));
        rebuildPreview(p.workspace, *p.platform, transformSource(p.workspace, *p.platform, 2));
        QVERIFY(groupState(true));

        // Closing one of the two sources switches them off.
        p.sources.window(1)->close();
        SourceProgram::settle();
        QVERIFY(groupState(false));
    }

    // ---- the commands through the menu and the toolbar

    void commandsRunFromTheirEntries_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("menu: mirror") << "Mirror horizontally";
        QTest::newRow("menu: reset size") << "Reset size of selected source";
        QTest::newRow("toolbar: centre horizontally") << "Center Horizontally";
        QTest::newRow("toolbar: centre vertically") << "Center Vertically";
        QTest::newRow("toolbar: horizontal stretch") << "Horizontal Stretch";
        QTest::newRow("toolbar: vertical stretch") << "Vertical Stretch";
    }
    void commandsRunFromTheirEntries()
    {
        QFETCH(QString, command);
        AlignProgram p;
        // Source 1 spans 0..1000 x 0..1200; source 2, selected, is 400 x 500 at the origin.
        QVERIFY(p.addSource(1000, 1200));
        QVERIFY(p.addSource(400, 500));
        QCOMPARE(p.workspace.alignView.selectedSource, 2);
        p.targetCurrent();
        const MainFrame::AlignToolActions& t = p.tools();
        const CAlignDoc& d = p.doc();
        const MaskedDib& image = p.workspace.targetDoc.transformed[1];

        if (command == "Mirror horizontally") {
            p.menuEntry("Mirror horizontally")->trigger();
            QCOMPARE(p.workspace.targetDoc.mirrored[1], 1);
        } else if (command == "Reset size of selected source") {
            p.doc().placement[1].scaleX = 2048;
            p.doc().placement[1].scaleY = 512;
            p.menuEntry("Reset size of selected source")->trigger();
            QCOMPARE(d.placement[1].scaleX, 1024.0);
            QCOMPARE(d.placement[1].scaleY, 1024.0);
            QCOMPARE(image.width(), 400);
        } else if (command == "Center Horizontally") {
            p.clickTool(t.centerHorizontally);
            QCOMPARE(d.placement[1].posX, 300);
            QCOMPARE(d.placement[1].posY, 0);
        } else if (command == "Center Vertically") {
            p.clickTool(t.centerVertically);
            QCOMPARE(d.placement[1].posY, 350);
            QCOMPARE(d.placement[1].posX, 0);
        } else if (command == "Horizontal Stretch") {
            // 400 wide to 1000: 1024 x 1000/400.
            p.clickTool(t.horizontalStretch);
            QCOMPARE(d.placement[1].scaleX, 2560.0);
            QCOMPARE(d.placement[1].scaleY, 1024.0);
            QCOMPARE(image.width(), 1000);
        } else {
            // 500 high to 1200: 2457 after the first step is 1199 high, 2459 after the second 1200.
            p.clickTool(t.verticalStretch);
            QCOMPARE(d.placement[1].scaleY, 2459.0);
            QCOMPARE(d.placement[1].scaleX, 1024.0);
            QCOMPARE(image.height(), 1200);
        }
        QCOMPARE(p.workspace.targetDoc.title, std::string(kStaleTitle));
        QCOMPARE(p.workspace.targetDoc.generated, 0);
        QCOMPARE(d.previewValid, 1);
        // The view shows the new placement: its working outline is the rebuilt one.
        QCOMPARE(p.view()->workingOutline(), *d.outline[1]);
    }

    // ---- Rotate

    void rotateDialogAppliesWholeDegrees()
    {
        AlignProgram p;
        QVERIFY(p.addSource(300, 200));
        QVERIFY(p.addSource(200, 100));
        p.menuEntry("Rotate...")->trigger();
        CRotate* dialog = p.rotateDialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QString("Source - Rotate Image"));
        QCOMPARE(dialog->degreesEdit()->text(), QString("0"));
        QCOMPARE(dialog->sourceLine()->text(), QString("Source :  s2.bmp"));
        // One at a time.
        p.menuEntry("Rotate...")->trigger();
        QCOMPARE(p.rotateDialog(), dialog);
        QCOMPARE(p.view()->findChildren<CRotate*>().size(), 1);

        p.targetCurrent();
        typeInto(dialog->degreesEdit(), "-30");
        QVERIFY(dialog->applyButton()->isEnabled());
        QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
        QCOMPARE(p.doc().placement[1].rotation, -30.0);
        QVERIFY(p.workspace.targetDoc.transformed[1].height() > 100);
        QCOMPARE(p.workspace.targetDoc.title, std::string(kStaleTitle));
        QVERIFY(!dialog->applyButton()->isEnabled());
        QVERIFY(dialog->isVisible());

        // Out of range or not a number: the message, nothing applied, the dialog stays.
        for (const auto& [typed, message] : { std::pair { "181", "Enter an integer between -179 and 180." },
                 std::pair { "-180", "Enter an integer between -179 and 180." },
                 std::pair { "x1", "Please enter an integer." } }) {
            typeInto(dialog->degreesEdit(), typed);
            QVERIFY(dialog->applyButton()->isEnabled());
            p.platform->expectMessage(message);
            QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
            QCOMPARE(p.platform->messages.back().icon, MessageIcon::Error);
            QCOMPARE(p.doc().placement[1].rotation, -30.0);
            QVERIFY(dialog->isVisible());
        }

        // The stored angle again: nothing is transformed or recorded, the target stays current.
        typeInto(dialog->degreesEdit(), "-30");
        const PackedDib* image = p.workspace.targetDoc.transformed[1].dib.get();
        const size_t steps = p.workspace.history.size();
        p.targetCurrent();
        QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
        QCOMPARE(p.workspace.targetDoc.transformed[1].dib.get(), image);
        QCOMPARE(p.workspace.targetDoc.title, std::string("Target Window"));
        QCOMPARE(p.workspace.history.size(), steps);

        // Ok applies and closes; the frame no longer holds a dialog.
        typeInto(dialog->degreesEdit(), "180");
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        SourceProgram::settle();
        QCOMPARE(p.doc().placement[1].rotation, 180.0);
        QVERIFY(p.rotateSlot().isNull());
    }

    void rotateDialogFollowsTheSelectionAndDrags()
    {
        AlignProgram p;
        QVERIFY(p.addSource(300, 200));
        QVERIFY(p.addSource(200, 100));
        QVERIFY(p.addSource(100, 80));
        p.doc().placement[0].rotation = 45;
        QCOMPARE(transformSource(p.workspace, *p.platform, 1), 0);
        rebuildPreview(p.workspace, *p.platform, 0);
        p.menuEntry("Rotate...")->trigger();
        CRotate* dialog = p.rotateDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->degreesEdit()->text(), QString("0"));

        // The source toolbar, a digit key and a right click on the view all select.
        p.selectSource(1);
        QCOMPARE(dialog->degreesEdit()->text(), QString("45"));
        QCOMPARE(dialog->sourceLine()->text(), QString("Source :  s1.bmp"));
        p.view()->setFocus();
        QTest::keyClick(p.view(), Qt::Key_2);
        QCOMPARE(dialog->degreesEdit()->text(), QString("0"));
        QCOMPARE(dialog->sourceLine()->text(), QString("Source :  s2.bmp"));
        press(p.view(), QPoint(3, 3), Qt::RightButton);
        release(p.view(), QPoint(3, 3), Qt::RightButton);
        QCOMPARE(p.workspace.alignView.selectedSource, 3);

        // A rotation dragged on the view shows in the dialog once the button is released.
        p.selectSource(1);
        const Outline before = *p.doc().outline[0];
        const QPoint handle = [&] {
            const ViewPoint h = paintedRotationHandleCentre(before[1], 45.0, 135.0);
            return QPoint(h.x, h.y);
        }();
        press(p.view(), handle);
        QVERIFY(p.view()->rotatingNow());
        const ViewPoint c = rotationCentre(before);
        const double a = std::atan2(double(handle.y() - c.y), double(handle.x() - c.x)) + 20 * kAlignPi / 180;
        const QPoint to(
            c.x + int(std::lround(2000 * std::cos(a))), c.y + int(std::lround(2000 * std::sin(a))));
        dragTo(p.view(), to);
        QCOMPARE(dialog->degreesEdit()->text(), QString("45"));
        release(p.view(), to);
        QCOMPARE(p.doc().placement[0].rotation, 65.0);
        QCOMPARE(dialog->degreesEdit()->text(), QString("65"));

        // Esc closes it like the close box.
        QTest::keyClick(dialog, Qt::Key_Escape);
        SourceProgram::settle();
        QVERIFY(p.rotateSlot().isNull());
    }

    void closingASourceDownToOneClosesTheRotateDialog()
    {
        AlignProgram p;
        QVERIFY(p.addSource(30, 20));
        QVERIFY(p.addSource(20, 10));
        p.menuEntry("Rotate...")->trigger();
        QPointer<CRotate> dialog = p.rotateDialog();
        QVERIFY(dialog);
        p.sources.window(2)->close();
        SourceProgram::settle();
        QVERIFY(dialog.isNull());
        QVERIFY(p.rotateSlot().isNull());
    }

    // ---- Image Sizes

    void sizesDialogSetsPixelSizes()
    {
        AlignProgram p;
        QVERIFY(p.addSource(1000, 800));
        QVERIFY(p.addSource(400, 300));
        p.doc().placement[1].posX = 1000;
        p.targetCurrent();
        const bool ran = withModal<source_sizes>([&] { p.menuEntry("Sizes...")->trigger(); },
            [&](source_sizes* d) {
                QCOMPARE(d->windowTitle(), QString("Source -  Image Sizes"));
                QCOMPARE(d->widthEdit(1)->text(), QString("1000"));
                QCOMPARE(d->heightEdit(2)->text(), QString("300"));
                QCOMPARE(d->widthPercent(1)->text(), QString("100"));
                QVERIFY(d->widthPercent(1)->isReadOnly());
                QVERIFY(!d->widthEdit(3));

                // A field out of range: its message, and nothing applied.
                typeInto(d->heightEdit(2), "30001");
                p.platform->expectMessage("Enter an integer between 1 and 30000.");
                QTest::mouseClick(d->findChild<QPushButton*>("apply"), Qt::LeftButton);
                QCOMPARE(p.doc().placement[1].scaleY, 1024.0);
                QVERIFY(d->isVisible());

                typeInto(d->heightEdit(2), "300");
                typeInto(d->widthEdit(1), "333");
                QTest::mouseClick(d->findChild<QPushButton*>("apply"), Qt::LeftButton);
                QCOMPARE(p.doc().placement[0].scaleX, 341.0);
                QCOMPARE(p.workspace.targetDoc.transformed[0].width(), 333);
                QCOMPARE(d->widthPercent(1)->text(), QString("33"));
                QCOMPARE(d->widthEdit(1)->text(), QString("333"));
                QVERIFY(d->isVisible());

                typeInto(d->heightEdit(1), "400");
                QTest::mouseClick(d->findChild<QPushButton*>("ok"), Qt::LeftButton);
                QVERIFY(!d->isVisible());
                QCOMPARE(d->result(), int(QDialog::Accepted));
            });
        QVERIFY(ran);
        QCOMPARE(p.doc().placement[0].scaleY, 512.0);
        QCOMPARE(p.doc().placement[1].posX, 1000);
        QCOMPARE(p.workspace.targetDoc.title, std::string(kStaleTitle));
        QCOMPARE(p.doc().previewValid, 1);
    }

    void sizesDialogIsShorterByARowPerMissingSource()
    {
        AlignProgram p;
        QVERIFY(p.addSource(40, 30));
        QVERIFY(p.addSource(50, 20));
        int heights[2] {}, frames[2] {};
        for (int i = 0; i < 2; ++i) {
            QVERIFY(withModal<source_sizes>([&] { p.menuEntry("Sizes...")->trigger(); },
                [&](source_sizes* d) {
                    heights[i] = d->height();
                    frames[i] = d->percentFrame()->height();
                }));
            if (i == 0)
                QVERIFY(p.addSource(60, 10));
        }
        QCOMPARE(heights[1] - heights[0], source_sizes::kRowHeight);
        QCOMPARE(frames[1] - frames[0], source_sizes::kRowHeight);
    }

    void sizesDialogEndsAndTakesItsSizesBackWhenATransformationFails()
    {
        AlignProgram p;
        QVERIFY(p.addSource(100, 80));
        QVERIFY(p.addSource(100, 80));
        int result = 0;
        QVERIFY(withModal<source_sizes>([&] { p.menuEntry("Sizes...")->trigger(); },
            [&](source_sizes* d) {
                connect(d, &QDialog::finished, d, [&](int r) { result = r; });
                typeInto(d->widthEdit(1), "50");
                typeInto(d->widthEdit(2), "200");
                // Esc held during the first transformation, and the user quits.
                p.platform->escapeDownPolls = 1;
                p.platform->expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
                QTest::mouseClick(d->findChild<QPushButton*>("apply"), Qt::LeftButton);
                QVERIFY(!d->isVisible());
            }));
        QCOMPARE(result, -1);
        // Every size was taken back, the preview with them, and nothing recorded.
        QCOMPARE(p.workspace.targetDoc.transformed[0].width(), 100);
        QCOMPARE(p.workspace.targetDoc.transformed[1].width(), 100);
        QCOMPARE(p.doc().previewValid, 1);
        QCOMPARE(p.workspace.history.size(), size_t(0));
    }

    // ---- Nudge factor

    void nudgeFactorDialogStoresBothSteps()
    {
        AlignProgram p;
        p.workspace.alignView.nudgeX = 4;
        QVERIFY(withModal<nudge_factor>([&] { p.menuEntry("nudge factor...")->trigger(); },
            [&](nudge_factor* d) {
                QCOMPARE(d->windowTitle(), QString("Nudge factor"));
                QCOMPARE(d->field(0)->text(), QString("4"));
                QCOMPARE(d->field(1)->text(), QString("1"));
                typeInto(d->field(0), "25");
                typeInto(d->field(1), "1001");
                p.platform->expectMessage("Enter an integer between 1 and 1000.");
                QTest::mouseClick(d->findChild<QPushButton*>("ok"), Qt::LeftButton);
                QVERIFY(d->isVisible());
                typeInto(d->field(1), "1000");
                QTest::mouseClick(d->findChild<QPushButton*>("ok"), Qt::LeftButton);
            }));
        QCOMPARE(p.workspace.alignView.nudgeX, 25);
        QCOMPARE(p.workspace.alignView.nudgeY, 1000);
        QCOMPARE(p.platform->intSettings["Configure/Nudge Factor X"], 25);
        QCOMPARE(p.platform->intSettings["Configure/Nudge Factor Y"], 1000);

        // Cancel changes nothing.
        QVERIFY(withModal<nudge_factor>([&] { p.menuEntry("nudge factor...")->trigger(); },
            [&](nudge_factor* d) {
                typeInto(d->field(0), "7");
                QTest::mouseClick(d->findChild<QPushButton*>("cancel"), Qt::LeftButton);
            }));
        QCOMPARE(p.workspace.alignView.nudgeX, 25);
        QCOMPARE(p.platform->intSettings["Configure/Nudge Factor X"], 25);
    }
};

QTEST_MAIN(AlignCommandsTest)
#include "test_align_commands.moc"
