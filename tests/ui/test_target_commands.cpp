// The Target menu on the real window: enabling, Merge Sources without overlap, Set merge
// defaults, the contrast and brightness dialog, viewing size, margins, colours, and the saves
// (Save As, Save Tiles As with its dialog, the zone's save button).
#include "align/mark_target_stale.h"
#include "image/cx_image.h"
#include "merge/target_commands.h"
#include "merge/ui/bright_cont_dialog.h"
#include "merge/ui/target_dialogs.h"
#include "output/ui/save_tiles.h"
#include "target_fixtures.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

using namespace tessary;
using namespace tessary::uitest;

namespace {

struct Generations : WorkspaceObserver {
    MergeWorkspace& workspace;
    int count = 0;
    explicit Generations(MergeWorkspace& ws)
        : workspace(ws)
    {
        workspace.addObserver(this);
    }
    ~Generations() override { workspace.removeObserver(this); }
    void targetGenerated() override { ++count; }
};

// The target generated from two sources side by side, w x h.
struct Generated : TargetWindow {
    Generations generations { workspace };
    Generated(int w, int h)
    {
        twoSourcesSideBySide(w, h);
        markTargetStale(workspace);
        pressLoadTarget();
        generations.count = 0;
        window->updateActions();
    }
};

void pressButton(QDialog& dialog, const char* name)
{
    auto* button = dialog.findChild<QPushButton*>(name);
    QVERIFY2(button, name);
    button->click();
}

} // namespace

class TargetCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commandsFollowTheSourcesThePreviewAndTheTarget()
    {
        TargetWindow t;
        auto enabled = [&](const char* name) {
            t.window->updateActions();
            return t.command(name)->isEnabled();
        };
        for (const char* always :
            { "snapTo1", "snapTo16", "viewingSize", "backgroundColor", "setMargins", "setMarginColor" })
            QVERIFY2(enabled(always), always);
        for (const char* later : { "sendToNewSource" })
            QVERIFY2(!enabled(later), later);
        QVERIFY(!enabled("setMergeDefaults") && !enabled("contrastBrightness") && !enabled("saveAs"));
        QVERIFY(!enabled("mergeSources") && !enabled("fineAlignment"));
        t.addSource(100, 80, 0, 0);
        t.addSource(100, 80, 100, 0);
        QVERIFY(enabled("setMergeDefaults") && enabled("contrastBrightness"));
        // Merge Sources generates at once or opens its dialog: overlapping or not, it is there.
        for (int32_t overlap : { 0, 1 }) {
            t.workspace.alignDoc.noOverlap = overlap;
            QVERIFY(enabled("mergeSources") && enabled("fineAlignment"));
        }
        t.workspace.alignDoc.previewValid = 0;
        QVERIFY(!enabled("mergeSources") && !enabled("fineAlignment") && !enabled("contrastBrightness")
            && enabled("setMergeDefaults"));
        // The commands follow the model's notifications on their own.
        t.workspace.alignDoc.previewValid = 1;
        t.workspace.targetDoc.generated = 1;
        t.workspace.notify([](WorkspaceObserver& o) { o.targetGenerated(); });
        QVERIFY(t.command("saveAs")->isEnabled() && t.command("saveTilesAs")->isEnabled());
        t.workspace.alignDoc.previewValid = 0;
        t.workspace.notify([](WorkspaceObserver& o) { o.previewRebuilt(); });
        QVERIFY(!t.command("contrastBrightness")->isEnabled());
    }

    void mergeSourcesWithoutOverlapSaysSoAndGenerates()
    {
        TargetWindow t;
        Generations generations(t.workspace);
        t.twoSourcesSideBySide(200, 100);
        t.workspace.alignDoc.noOverlap = 1;
        markTargetStale(t.workspace);
        t.window->updateActions();
        t.platform->expectMessage("No section of any image is overlaying another.\nTessary will generate the "
                                  "target with these images now.");
        t.command("mergeSources")->trigger();
        QCOMPARE(t.platform->messages.back().icon, MessageIcon::Information);
        QCOMPARE(generations.count, 1);
        QVERIFY(!t.view().loadTargetButton());
        QCOMPARE(t.window->windowTitle(), QString("Target Window"));
    }

    void setMergeDefaultsWithThreeSources()
    {
        TargetWindow t;
        Generations generations(t.workspace);
        t.addSource(80, 80, 0, 0);
        t.addSource(80, 80, 40, 0);
        t.addSource(80, 80, 80, 0);
        t.workspace.alignDoc.placement[1].topLevel = 1;
        t.workspace.targetDoc.targetContrast = 3;
        t.workspace.targetView.snapGrid = 10;
        t.window->updateActions();
        t.platform->expectMessage(kMergeDefaultsQuestion, MessageAnswer::Yes);
        t.command("setMergeDefaults")->trigger();
        QCOMPARE(t.platform->messages.back().icon, MessageIcon::Question);
        QCOMPARE(t.platform->messages.back().buttons, MessageButtons::YesNo);
        for (size_t i = 0; i < 3; ++i)
            QCOMPARE(t.workspace.biasWeight[i], 33.0);
        QCOMPARE(t.workspace.alignDoc.placement[1].topLevel, -1);
        QCOMPARE(t.workspace.targetDoc.targetContrast, 16);
        QCOMPARE(t.workspace.targetView.snapGrid, 1);
        QCOMPARE(generations.count, 1);
        QCOMPARE(t.workspace.targetDoc.targetImage->width(), 160);
    }

    void contrastAndBrightnessDialog()
    {
        Generated t(200, 100);
        t.workspace.targetDoc.targetContrast = 20;
        t.workspace.targetDoc.targetBrightness = 100;
        // Ok at once: the target is generated again with the same values.
        TargetWindow::whenDialogOpens<CBrightCont>([](CBrightCont& d) {
            QCOMPARE(d.windowTitle(), QString("Contrast and Brightness"));
            QCOMPARE(d.contrastSlider()->property("controlId").toInt(), 1073);
            QCOMPARE(d.brightnessSlider()->property("controlId").toInt(), 1074);
            QCOMPARE(d.contrastSlider()->maximum(), 32);
            QCOMPARE(d.brightnessSlider()->maximum(), 255);
            QCOMPARE(d.contrastSlider()->value(), 20);
            QCOMPARE(d.brightnessSlider()->value(), 100);
            QVERIFY(!d.applyButton()->isEnabled());
            d.okButton()->click();
        });
        t.command("contrastBrightness")->trigger();
        QCOMPARE(t.generations.count, 1);

        // A slider moved, Apply, then Ok: one generation, the dialog open in between.
        TargetWindow::whenDialogOpens<CBrightCont>([&t](CBrightCont& d) {
            d.brightnessSlider()->setValue(0);
            d.contrastSlider()->setValue(16);
            QVERIFY(d.applyButton()->isEnabled());
            d.applyButton()->click();
            QVERIFY(d.isVisible());
            QCOMPARE(t.generations.count, 2);
            d.okButton()->click();
        });
        t.command("contrastBrightness")->trigger();
        QCOMPARE(t.generations.count, 2);
        QCOMPARE(t.workspace.targetDoc.targetBrightness, 0);
        // Brightness 0: every channel c - 256, a black target.
        const QImage shot = t.viewport()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(10, 10)), QColor(Qt::black));

        // Set Defaults, then Esc: nothing applied.
        TargetWindow::whenDialogOpens<CBrightCont>([](CBrightCont& d) {
            d.setDefaultsButton()->click();
            QCOMPARE(d.contrastSlider()->value(), 16);
            QCOMPARE(d.brightnessSlider()->value(), 128);
            QVERIFY(d.applyButton()->isEnabled());
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        t.command("contrastBrightness")->trigger();
        QCOMPARE(t.generations.count, 2);
        QCOMPARE(t.workspace.targetDoc.targetBrightness, 0);
        QCOMPARE(t.workspace.targetDoc.targetContrast, 16);
    }

    void viewingSizeOpensAt100AndAppliesOnOk()
    {
        Generated t(400, 300);
        TargetWindow::whenDialogOpens<target_view_size>([](target_view_size& d) {
            QCOMPARE(d.windowTitle(), QString("Target View Size"));
            QVERIFY(d.choice(100)->isChecked());
            QCOMPARE(d.choice(10)->text(), QString("10%"));
            d.choice(25)->setChecked(true);
            pressButton(d, "ok");
        });
        t.command("viewingSize")->trigger();
        QCOMPARE(t.workspace.targetDoc.viewPercentX, 25);
        QCOMPARE(t.workspace.targetDoc.viewPercentY, 25);
        QCOMPARE(t.workspace.targetDoc.viewWidth, 100);
        QCOMPARE(t.workspace.targetDoc.viewHeight, 75);
        QCOMPARE(t.generations.count, 1);

        // Opening again it shows 100 %; closed without OK nothing changes.
        TargetWindow::whenDialogOpens<target_view_size>([](target_view_size& d) {
            QVERIFY(d.choice(100)->isChecked());
            d.choice(50)->setChecked(true);
            pressButton(d, "cancel");
        });
        t.command("viewingSize")->trigger();
        QCOMPARE(t.workspace.targetDoc.viewPercentX, 25);
        QCOMPARE(t.generations.count, 1);
    }

    void marginsAreCheckedThenApplied()
    {
        Generated t(200, 100);
        TargetWindow::whenDialogOpens<set_margin>([&t](set_margin& d) {
            QCOMPARE(d.windowTitle(), QString("Set Margin"));
            QCOMPARE(d.field(0)->text(), QString("0"));
            QCOMPARE(d.field(1)->text(), QString("0"));
            d.field(0)->setText("501");
            t.platform->expectMessage("Enter an integer between 0 and 500.");
            pressButton(d, "ok");
            QVERIFY(d.isVisible());
            QCOMPARE(t.platform->messages.back().icon, MessageIcon::Error);
            d.field(0)->setText("10");
            d.field(1)->setText("5");
            pressButton(d, "ok");
        });
        t.command("setMargins")->trigger();
        QCOMPARE(t.workspace.targetDoc.marginX, 10);
        QCOMPARE(t.workspace.targetDoc.marginY, 5);
        QCOMPARE(t.workspace.targetDoc.targetImage->width(), 220);
        QCOMPARE(t.workspace.targetDoc.targetImage->height(), 110);
        QCOMPARE(t.generations.count, 1);

        // The colours: the chooser's answer, then a generation.
        t.platform->colourAnswers = { makeColourRef(0, 255, 0) };
        t.command("setMarginColor")->trigger();
        QCOMPARE(t.workspace.targetDoc.marginColour, makeColourRef(0, 255, 0));
        QCOMPARE(QColor(t.viewport()->grab().toImage().pixel(2, 50)), QColor(0, 255, 0));
        t.platform->colourAnswers = { std::nullopt };
        t.command("backgroundColor")->trigger();
        QCOMPARE(t.generations.count, 2);
    }

    void saveTilesDialogThenSaveAs()
    {
        Generated t(300, 200);
        const std::string folder = QDir(t.folder.path()).filePath("out").toStdString();
        QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
        // Out of range, then 3 x 2.
        TargetWindow::whenDialogOpens<save_tiles>([&t](save_tiles& d) {
            QCOMPARE(d.windowTitle(), QString("Save Tiles"));
            QCOMPARE(d.field(0)->text(), QString("1"));
            QCOMPARE(d.field(1)->text(), QString("1"));
            d.field(0)->setText("11");
            t.platform->expectMessage("Enter an integer between 1 and 10.");
            pressButton(d, "ok");
            QVERIFY(d.isVisible());
            d.field(0)->setText("3");
            d.field(1)->setText("2");
            pressButton(d, "ok");
        });
        t.platform->saveAnswers.push_back(FileDialogResult { folder + "/photo.JPG", 1 });
        t.command("saveTilesAs")->trigger();
        QCOMPARE(t.platform->saveRequests.back().title, std::string("Save Tiles Target Images"));
        QStringList names = QDir(QString::fromStdString(folder)).entryList(QDir::Files, QDir::Name);
        QCOMPARE(names,
            QStringList({ "photo00.jpg", "photo01.jpg", "photo10.jpg", "photo11.jpg", "photo20.jpg",
                "photo21.jpg" }));
        CxImage tile(folder + "/photo21.jpg", CXIMAGE_FORMAT_JPG);
        QCOMPARE(tile.GetWidth(), 100);
        QCOMPARE(tile.GetHeight(), 100);

        // Cancelled: no file chooser, nothing saved; then Save As saves one ordinary file.
        TargetWindow::whenDialogOpens<save_tiles>([](save_tiles& d) { pressButton(d, "cancel"); });
        t.command("saveTilesAs")->trigger();
        QCOMPARE(t.platform->saveRequests.size(), size_t(1));
        t.platform->saveAnswers.push_back(FileDialogResult { folder + "/whole", 5 });
        t.command("saveAs")->trigger();
        QCOMPARE(t.platform->saveRequests.back().title, std::string("Save Target Image"));
        CxImage whole(folder + "/whole.tga", CXIMAGE_FORMAT_TGA);
        QCOMPARE(whole.GetWidth(), 300);
        QCOMPARE(QDir(QString::fromStdString(folder)).entryList(QDir::Files).size(), 7);
    }

    void theZoneSaveButtonSavesTheZoneAtFullResolution()
    {
        Generated t(400, 300);
        t.workspace.targetDoc.viewPercentX = t.workspace.targetDoc.viewPercentY = 50;
        t.workspace.targetDoc.viewWidth = 200;
        t.workspace.targetDoc.viewHeight = 150;
        t.view().updateScrollRange();
        t.drag(QPoint(20, 30), QPoint(120, 110));
        QVERIFY(t.view().zoneSaveButton());
        const std::string path = QDir(t.folder.path()).filePath("zone.png").toStdString();
        t.platform->saveAnswers.push_back(FileDialogResult { path, 3 });
        QTest::mouseClick(t.view().zoneSaveButton(), Qt::LeftButton);
        QCOMPARE(t.platform->saveRequests.back().title,
            std::string("Save Target Image - Zone area only 200 X 160"));
        CxImage zone(path, CXIMAGE_FORMAT_PNG);
        QCOMPARE(zone.GetWidth(), 200);
        QCOMPARE(zone.GetHeight(), 160);
        // Its top-left pixel is target pixel (40, 60).
        const uint8_t* top = zone.GetBits(159);
        QCOMPARE(QColor(top[2], top[1], top[0]), TargetWindow::targetColour(400, 40, 60));
        QCOMPARE(t.workspace.targetDoc.zoneSelected, 0);
        QCOMPARE(t.workspace.targetView.zoneAnchor, ViewPoint {});
        QTRY_VERIFY(!t.view().zoneSaveButton() && !t.view().zonePrintButton());
        QTRY_VERIFY(t.viewport()->findChildren<picture_button*>().isEmpty());
    }
};

QTEST_MAIN(TargetCommandsTest)
#include "test_target_commands.moc"
