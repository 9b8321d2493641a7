// The Target menu's "Merge Sources" and "Fine Alignment" dialogs on the real Target Window: the
// merge the dialog makes is the one tessary-cli makes from the same layout, byte for byte.
#include "app/edit_path.h"
#include "merge/merge_layers.h"
#include "merge/ui/blend_dialog.h"
#include "merge/ui/fine_adj_dialog.h"
#include "merge/ui/scroll_target_arrows.h"
#include "merge/ui/source_pie.h"
#include "target_fixtures.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

using namespace tessary;
using namespace tessary::uitest;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// The point of the pie at `percent` of the turn, halfway out.
QPoint piePoint(const source_pie& pie, double percent)
{
    const double a = percent / 100.0 * 6.283185307;
    const int cx = pie.width() / 2, cy = pie.height() / 2;
    return QPoint(
        cx + int(std::lround(0.5 * cx * std::sin(a))), cy - int(std::lround(0.5 * cy * std::cos(a))));
}

// Three 60 x 40 sources overlapping in steps of (20, 10).
void threeOverlapping(TargetWindow& t)
{
    t.addSource(60, 40, 0, 0);
    t.addSource(60, 40, 20, 10);
    t.addSource(60, 40, 40, 20);
    t.workspace.alignDoc.noOverlap = 0;
    for (int i = 0; i < 3; ++i)
        t.workspace.alignDoc.placement[size_t(i)].topLevel = t.workspace.alignDoc.placement[size_t(i)].bottomLevel = -1;
}

// The same merge as a layout file for tessary-cli, every weight written to the last bit.
std::string writeLayout(TargetWindow& t)
{
    const MergeWorkspace& ws = t.workspace;
    std::string json = "{\"sources\": [";
    for (int i = 0; i < ws.sourceCount; ++i) {
        const size_t s = size_t(i);
        char entry[512];
        std::snprintf(entry, sizeof entry,
            "%s{\"file\": \"source%d.bmp\", \"posX\": %d, \"posY\": %d, \"topLevel\": %d, \"bottomLevel\": "
            "%d, "
            "\"biasWeight\": %.17g, \"fadeEdge\": %s}",
            i ? ", " : "", i + 1, ws.alignDoc.placement[s].posX, ws.alignDoc.placement[s].posY, ws.alignDoc.placement[s].topLevel,
            ws.alignDoc.placement[s].bottomLevel, ws.biasWeight[s], ws.fadeEdge[s] ? "true" : "false");
        json += entry;
    }
    char tail[256];
    std::snprintf(tail, sizeof tail, "], \"mergeType\": %d, \"thresholdFuzziness\": %d}", ws.mergeType,
        ws.targetDoc.thresholdFuzziness);
    json += tail;
    const std::string path = t.folder.filePath("layout.json").toStdString();
    std::ofstream(path) << json;
    return path;
}

int runCli(const std::string& arguments)
{
    const std::string command = std::string("'") + TESSARY_CLI_PATH + "' " + arguments + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class MergeDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void mergeSourcesOpensTheDialogWithTheWorkspaceValues()
    {
        TargetWindow t;
        threeOverlapping(t);
        t.workspace.mergeType = kMergeDarkest;
        t.workspace.fadeEdge[2] = 1;
        t.workspace.alignDoc.placement[0].topLevel = 1;
        t.window->updateActions();
        QVERIFY(t.command("mergeSources")->isEnabled());
        t.whenDialogOpens<CBlend>([](CBlend& d) {
            QCOMPARE(d.windowTitle(), QString("Target - Merge Sources"));
            QVERIFY(d.mergeTypeButton(kMergeDarkest)->isChecked());
            QCOMPARE(d.fuzziness()->value(), 4);
            // Fade edges and names only for the loaded middle-layer sources.
            QVERIFY(!d.fadeEdgeBox(0)->isVisible());
            QVERIFY(d.fadeEdgeBox(1)->isVisible() && !d.fadeEdgeBox(1)->isChecked());
            QVERIFY(d.fadeEdgeBox(2)->isVisible() && d.fadeEdgeBox(2)->isChecked());
            QVERIFY(!d.fadeEdgeBox(3)->isVisible());
            QCOMPARE(d.nameEdit(1)->text(), QString("2:  "));
            // Buttons of loaded sources only, laid out by layer.
            QVERIFY(d.sourceButton(2)->isVisible() && !d.sourceButton(3)->isVisible());
            const QPoint a = CBlend::kMiddleLayerAnchor;
            QCOMPARE(d.sourceButton(0)->pos(), a + QPoint(130, -220));
            QCOMPARE(d.sourceButton(1)->pos(), a);
            QCOMPARE(d.sourceButton(2)->pos(), a + QPoint(20, 0));
            QCOMPARE(d.palette().color(QPalette::Window), QColor(253, 247, 240));
            // The target is not generated: "Update Target" is on.
            QVERIFY(d.updateButton()->isEnabled());
            d.reject();
        });
        t.command("mergeSources")->trigger();
    }

    // Brightest, source 2 to the top layer, the first wedge dragged, Ok: the target the dialog
    // generates is the one tessary-cli makes from the same layout.
    void theDialogsMergeIsTheCommandLinesMerge()
    {
        TargetWindow t;
        threeOverlapping(t);
        t.pressLoadTarget();
        t.window->updateActions();
        t.whenDialogOpens<CBlend>([&t](CBlend& d) {
            QVERIFY(!d.updateButton()->isEnabled());
            QTest::mouseClick(d.mergeTypeButton(kMergeBrightest), Qt::LeftButton);
            QVERIFY(d.updateButton()->isEnabled());
            QTest::mouseClick(d.sourceButton(1), Qt::LeftButton);
            QCOMPARE(t.workspace.alignDoc.placement[1].topLevel, 1);
            QCOMPARE(d.sourceButton(1)->pos(), CBlend::kMiddleLayerAnchor + QPoint(130, -220));
            QCOMPARE(t.workspace.biasWeight[0], 50.0);
            QCOMPARE(t.workspace.biasWeight[2], 50.0);
            // The boundary between the two middle wedges, from 50 % to about 30 %.
            source_pie& pie = *d.pie();
            sendMouse(&pie, QEvent::MouseButtonPress, piePoint(pie, 20), Qt::LeftButton, Qt::LeftButton);
            sendMouse(&pie, QEvent::MouseMove, piePoint(pie, 30), Qt::NoButton, Qt::LeftButton);
            QVERIFY(pie.stats());
            QCOMPARE(pie.stats()->line().left(12), QString("Source: 3 >>"));
            sendMouse(&pie, QEvent::MouseButtonRelease, piePoint(pie, 30), Qt::LeftButton, Qt::NoButton);
            QVERIFY(!pie.stats());
            const double w1 = t.workspace.biasWeight[0];
            QVERIFY(std::abs(w1 - 30.0) < 2.0);
            QCOMPARE(w1 + t.workspace.biasWeight[2], 100.0);
            QTest::mouseClick(d.fadeEdgeBox(2), Qt::LeftButton);
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        });
        t.command("mergeSources")->trigger();
        const MergeWorkspace& ws = t.workspace;
        QCOMPARE(ws.mergeType, kMergeBrightest);
        QCOMPARE(ws.fadeEdge[2], 1);
        QCOMPARE(ws.targetDoc.generated, 1);
        QVERIFY(ws.targetDoc.targetImage);

        const std::string out = t.folder.filePath("cli.bmp").toStdString();
        QCOMPARE(runCli("merge '" + writeLayout(t) + "' -o '" + out + "' --quiet"), 0);
        VIrorozIzi fromCli;
        QVERIFY(loadImageFile(fromCli, out, *t.platform));
        const PackedDib& mine = *ws.targetDoc.targetImage;
        const PackedDib& theirs = *fromCli.image.dib;
        QCOMPARE(theirs.width(), mine.width());
        QCOMPARE(theirs.height(), mine.height());
        for (int32_t r = 0; r < mine.height(); ++r)
            QVERIFY2(std::memcmp(mine.row(r), theirs.row(r), 3 * size_t(mine.width())) == 0,
                qPrintable(QString("row %1").arg(r)));
    }

    void escapeKeepsTheLayersButNotTheMergeType()
    {
        TargetWindow t;
        threeOverlapping(t);
        t.pressLoadTarget();
        t.window->updateActions();
        t.whenDialogOpens<CBlend>([](CBlend& d) {
            QTest::mouseClick(d.mergeTypeButton(kMergeMostColored), Qt::LeftButton);
            QTest::mouseClick(d.moveDownButton(), Qt::LeftButton);
            QTest::mouseClick(d.sourceButton(0), Qt::LeftButton);
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        t.command("mergeSources")->trigger();
        QCOMPARE(t.workspace.mergeType, kMergeAverage);
        QCOMPARE(t.workspace.alignDoc.placement[0].bottomLevel, 1);
        QCOMPARE(t.workspace.targetDoc.generated, 0);
        QCOMPARE(t.window->windowTitle(), QString("Target Window - needs updating"));
        QVERIFY(t.view().loadTargetButton());
    }

    void theCloseBoxIsOk()
    {
        TargetWindow t;
        threeOverlapping(t);
        t.pressLoadTarget();
        t.window->updateActions();
        t.whenDialogOpens<CBlend>([](CBlend& d) {
            QTest::mouseClick(d.mergeTypeButton(kMergeLeastColored), Qt::LeftButton);
            d.close();
        });
        t.command("mergeSources")->trigger();
        QCOMPARE(t.workspace.mergeType, kMergeLeastColored);
        QCOMPARE(t.workspace.targetDoc.generated, 1);
    }

    // Layer moves and pie drags are written as they are made; however the dialog closes, they
    // and the settings it took over are one "Merge Sources" step.
    void theDialogIsOneStepHoweverItCloses()
    {
        enum Close { OkButton, EscKey, CloseBox, UpdateThenEsc };
        for (Close close : { OkButton, EscKey, CloseBox, UpdateThenEsc }) {
            TargetWindow t;
            threeOverlapping(t);
            t.pressLoadTarget();
            t.window->updateActions();
            const WorkspaceValues before = captureValues(t.workspace);
            t.whenDialogOpens<CBlend>([close](CBlend& d) {
                QTest::mouseClick(d.moveDownButton(), Qt::LeftButton);
                QTest::mouseClick(d.sourceButton(2), Qt::LeftButton); // the pie resets to 50 : 50
                source_pie& pie = *d.pie();
                sendMouse(&pie, QEvent::MouseButtonPress, piePoint(pie, 20), Qt::LeftButton, Qt::LeftButton);
                sendMouse(&pie, QEvent::MouseMove, piePoint(pie, 45), Qt::NoButton, Qt::LeftButton);
                sendMouse(&pie, QEvent::MouseButtonRelease, piePoint(pie, 45), Qt::LeftButton, Qt::NoButton);
                QTest::mouseClick(d.fadeEdgeBox(1), Qt::LeftButton);
                if (close == UpdateThenEsc)
                    QTest::mouseClick(d.updateButton(), Qt::LeftButton);
                if (close == OkButton)
                    QTest::mouseClick(d.okButton(), Qt::LeftButton);
                else if (close == CloseBox)
                    d.close();
                else
                    QTest::keyClick(&d, Qt::Key_Escape);
            });
            t.command("mergeSources")->trigger();
            const WorkspaceValues after = captureValues(t.workspace);
            QCOMPARE(after.placement[2].bottomLevel, 1);
            QVERIFY(std::abs(after.biasWeight[0] - 45.0) < 1.0);
            QCOMPARE(after.fadeEdge[1], close == EscKey ? 0 : 1);
            QCOMPARE(t.workspace.history.size(), size_t(1));
            QCOMPARE(t.workspace.history.undoName(), std::string("Merge Sources"));
            // Esc after the update leaves the target made from these very values.
            QCOMPARE(t.workspace.targetDoc.generated, close == EscKey ? 0 : 1);
            QVERIFY(undoEdit(t.workspace, *t.platform));
            QVERIFY(captureValues(t.workspace) == before);
            // With no target made in the dialog the one from before is shown as current again.
            QCOMPARE(t.workspace.targetDoc.generated, close == EscKey ? 1 : 0);
            QVERIFY(redoEdit(t.workspace, *t.platform));
            QVERIFY(captureValues(t.workspace) == after);
        }
    }

    void aDialogThatChangedNothingIsNoStep()
    {
        TargetWindow t;
        threeOverlapping(t);
        t.pressLoadTarget();
        t.window->updateActions();
        t.whenDialogOpens<CBlend>([](CBlend& d) {
            QTest::mouseClick(d.mergeTypeButton(kMergeBrightest), Qt::LeftButton);
            source_pie& pie = *d.pie();
            // The last wedge has no boundary to hold: the press moves nothing.
            sendMouse(&pie, QEvent::MouseButtonPress, piePoint(pie, 95), Qt::LeftButton, Qt::LeftButton);
            sendMouse(&pie, QEvent::MouseButtonRelease, piePoint(pie, 95), Qt::LeftButton, Qt::NoButton);
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        t.command("mergeSources")->trigger();
        QCOMPARE(t.workspace.history.size(), size_t(0));
        QCOMPARE(t.workspace.targetDoc.generated, 1);
    }

    void hoveringAPieWithoutMiddleSourcesSaysSoOnce()
    {
        TargetWindow t;
        threeOverlapping(t);
        for (int i = 0; i < 3; ++i)
            t.workspace.alignDoc.placement[size_t(i)].topLevel = i + 1;
        t.window->updateActions();
        t.platform->expectMessage(source_pie::kNoMiddleSourceText);
        t.whenDialogOpens<CBlend>([](CBlend& d) {
            source_pie& pie = *d.pie();
            for (double p : { 10.0, 40.0, 70.0 })
                sendMouse(&pie, QEvent::MouseMove, piePoint(pie, p), Qt::NoButton, Qt::NoButton);
            d.reject();
        });
        t.command("mergeSources")->trigger();
        QCOMPARE(t.platform->messages.size(), size_t(1));
        QCOMPARE(t.platform->messages[0].icon, MessageIcon::Information);
    }

    void scrollTargetArrowsMoveThePicture()
    {
        TargetWindow t;
        t.addSource(1500, 1200, 0, 0);
        t.addSource(1500, 1200, 1400, 0);
        t.pressLoadTarget();
        t.window->updateActions();
        QScrollBar* vertical = t.view().verticalScrollBar();
        QScrollBar* horizontal = t.view().horizontalScrollBar();
        vertical->setValue(100);
        horizontal->setValue(100);
        t.whenDialogOpens<CBlend>([](CBlend& d) {
            QTest::mouseClick(d.scrollArrows()->arrow(Qt::UpArrow), Qt::LeftButton);
            QTest::mouseClick(d.scrollArrows()->arrow(Qt::RightArrow), Qt::LeftButton);
            d.reject();
        });
        t.command("mergeSources")->trigger();
        QCOMPARE(vertical->value(), 100 + vertical->singleStep());
        QCOMPARE(horizontal->value(), 100 - horizontal->singleStep());
    }

    void fineAlignmentStepsAndUpdates()
    {
        TargetWindow t;
        threeOverlapping(t);
        t.workspace.alignDoc.alignViewWidth = 800;
        t.workspace.alignDoc.alignViewHeight = 600;
        t.pressLoadTarget();
        t.window->updateActions();
        QVERIFY(t.command("fineAlignment")->isEnabled());
        t.whenDialogOpens<CFine_adj>([&t](CFine_adj& d) {
            QCOMPARE(d.windowTitle(), QString("Target - Fine Adjustment"));
            QCOMPARE(d.sourceSelector()->minimum(), 1);
            QCOMPARE(d.sourceSelector()->maximum(), 3);
            QVERIFY(!d.updateButton()->isEnabled());
            d.sourceSelector()->stepUp();
            QCOMPARE(d.sourceTitle()->text(), QString());
            for (int n = 0; n < 5; ++n)
                d.arrow(CFine_adj::Horizontal)->stepUp();
            for (int n = 0; n < 10; ++n)
                d.arrow(CFine_adj::ScaleX)->stepUp();
            QCOMPARE(t.workspace.alignDoc.placement[1].posX, 25);
            QCOMPARE(t.workspace.alignDoc.placement[1].scaleX, 1034.0);
            QVERIFY(d.updateButton()->isEnabled());
            QTest::mouseClick(d.updateButton(), Qt::LeftButton);
            QVERIFY(!d.updateButton()->isEnabled());
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        });
        t.command("fineAlignment")->trigger();
        QCOMPARE(t.workspace.targetDoc.transformed[1].width(), 60 * 1034 / 1024);
        QCOMPARE(t.workspace.targetDoc.generated, 1);
        QCOMPARE(t.workspace.targetDoc.targetImage->width(), 100);
    }
};

QTEST_MAIN(MergeDialogsTest)
#include "test_merge_dialogs.moc"
