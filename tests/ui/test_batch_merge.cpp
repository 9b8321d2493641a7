// "Batch Merging" on the real Target Window: the command's refusals, the boxes, the folder
// browser's Create Directory, Rotate and Blend, and a run with its controls off while it goes.
#include "align/ui/rotate_dialog.h"
#include "merge/batch_merge.h"
#include "merge/ui/batch_merge.h"
#include "merge/ui/blend_dialog.h"
#include "merge/ui/folder_win.h"
#include "support/read_metadata.h"
#include "target_fixtures.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>

using namespace tessary;
using namespace tessary::uitest;

namespace {

// Runs `act` on the modal dialog of type T as soon as it is shown.
template <typename T> void whenShown(std::function<void(T&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, [act] { whenShown<T>(act); });
            return;
        }
        act(*dialog);
    });
}

struct BatchWindow : TargetWindow {
    BatchWindow()
    {
        addSource(6, 4, 0, 0); // the watermark
        addSource(10, 8, 2, 1);
        workspace.source(1)->title = "source1.bmp";
        workspace.source(2)->filePath = folder.filePath("source2.bmp").toStdString();
        workspace.batchTargetDirectory = folder.filePath("output").toStdString();
    }
    std::string in(const char* name) { return folder.filePath(name).toStdString(); }
};

} // namespace

class BatchMergeTest : public QObject {
    Q_OBJECT
private slots:
    void commandIsRefusedWithoutAnImageFileAsSource2()
    {
        BatchWindow t;
        QAction* command = t.command("batchMerge");
        QVERIFY(command);
        t.window->updateActions();
        QVERIFY(command->isEnabled());
        t.workspace.source(2)->sourceKind = kSourceText;
        t.platform->expectMessage(kBatchNeedsTwoSources);
        command->trigger();
        QVERIFY(t.platform->takeUnmetExpectations().empty());
        t.workspace.sourceCount = 1;
        t.window->updateActions();
        QVERIFY(!command->isEnabled());
        t.workspace.sourceCount = 2;
    }

    void opensOnTheWatermarkAndSource2sFolder()
    {
        BatchWindow t;
        whenShown<batch_merge>([&](batch_merge& d) {
            QCOMPARE(d.windowTitle(), QString("Batch Merging"));
            QCOMPARE(d.watermarkField()->text(), QString("source1.bmp"));
            QCOMPARE(d.targetField()->text(), t.folder.filePath("output"));
            QCOMPARE(d.runButton()->text(), QString("Batch Merge Now !"));
            d.okButton()->click();
        });
        t.command("batchMerge")->trigger();
    }

    void boxesClearTheBoxesTheyExclude()
    {
        BatchWindow t;
        batch_merge d(t.workspace, *t.platform, {});
        QTest::mouseClick(d.optionBox(kCenterHorizontal), Qt::LeftButton);
        QTest::mouseClick(d.optionBox(kPositionTop), Qt::LeftButton);
        QTest::mouseClick(d.optionBox(kPositionLeft), Qt::LeftButton);
        QVERIFY(!d.optionBox(kCenterHorizontal)->isChecked());
        QVERIFY(d.optionBox(kPositionLeft)->isChecked());
        QVERIFY(d.optionBox(kPositionTop)->isChecked());
        QTest::mouseClick(d.optionBox(kStretchToFit), Qt::LeftButton);
        for (int i = 0; i < kBatchOptionCount; ++i)
            QCOMPARE(d.optionBox(BatchOption(i))->isChecked(), i == kStretchToFit);
        QVERIFY(d.options()[kStretchToFit]);
        QVERIFY(!d.options()[kPositionLeft]);
    }

    void runMergesEveryFileWithTheControlsOff()
    {
        BatchWindow t;
        batch_merge d(t.workspace, *t.platform, {});
        d.show();
        QTest::mouseClick(d.optionBox(kPositionRight), Qt::LeftButton);
        QStringList shown;
        bool controlsOn = false;
        t.platform->duringPoll = [&] {
            if (!shown.contains(d.currentFileField()->text()))
                shown << d.currentFileField()->text();
            controlsOn = controlsOn || d.runButton()->isEnabled() || d.okButton()->isEnabled()
                || d.optionBox(kPositionLeft)->isEnabled() || d.keepMetadataBox()->isEnabled();
        };
        t.platform->queueAnswer(MessageAnswer::Ok);
        QTest::mouseClick(d.runButton(), Qt::LeftButton);
        QCOMPARE(shown, (QStringList { "source1.bmp", "source2.bmp" }));
        QVERIFY(!controlsOn);
        QVERIFY(d.runButton()->isEnabled());
        QCOMPARE(d.lastSummary().written.size(), size_t(2));
        const std::string summary = t.platform->messages.back().text;
        QVERIFY2(
            summary.rfind("Batch merging is complete.\n\n2 files of 2 written", 0) == 0, summary.c_str());
        QVERIFY(std::filesystem::exists(t.in("output/source1.bmp")));
        QVERIFY(std::filesystem::exists(t.in("output/source2.bmp")));
        // The user's own sources are where they were.
        QCOMPARE(t.workspace.sourceCount, 2);
        QCOMPARE(t.workspace.alignDoc.placement[1].posX, 2);
        QCOMPARE(t.workspace.hideLoadButtons, 0);
    }

    void keepMetadataIsOnByDefaultRememberedAndObeyed()
    {
        BatchWindow t;
        std::filesystem::copy_file(tessary::testing::metadataFixture("tagged-a.jpg"), t.in("tagged.jpg"));
        const auto run = [&](batch_merge& d) {
            d.show();
            t.platform->queueAnswer(MessageAnswer::Ok);
            QTest::mouseClick(d.runButton(), Qt::LeftButton);
            return tessary::testing::readTags(t.in("output/tagged.jpg"));
        };
        {
            batch_merge d(t.workspace, *t.platform, {});
            QCOMPARE(d.keepMetadataBox()->text(), QString("Keep each picture's metadata"));
            QVERIFY(d.keepMetadataBox()->isChecked());
            const tessary::testing::Tags kept = run(d);
            QVERIFY(kept.at("Exif.Image.Artist") == tessary::testing::readTags(t.in("tagged.jpg")).at("Exif.Image.Artist"));
            QTest::mouseClick(d.keepMetadataBox(), Qt::LeftButton);
        }
        QCOMPARE(t.platform->intSettings["Configure/Batch Keep Metadata"], 0);
        batch_merge d(t.workspace, *t.platform, {});
        QVERIFY(!d.keepMetadataBox()->isChecked());
        QVERIFY(run(d).empty());
    }

    void createDirectoryMakesTheFolderAndReopensTheBrowserOnIt()
    {
        BatchWindow t;
        t.workspace.batchTargetDirectory = t.folder.path().toStdString();
        batch_merge d(t.workspace, *t.platform, {});
        QStringList seen; // title, button state, visibility after a refused name, the reopened selection
        std::function<void(folder_win&)> second = [&](folder_win& browser) {
            seen << browser.selectedPath();
            browser.reject();
        };
        whenShown<folder_win>([&](folder_win& browser) {
            seen << browser.windowTitle() << (browser.createButton()->isEnabled() ? "on" : "off")
                 << browser.selectedPath();
            t.platform->expectMessage(kInvalidNewDirectoryName);
            browser.createNamed("..");
            seen << (browser.isVisible() ? "open" : "closed");
            whenShown<folder_win>(second);
            browser.createNamed("made");
        });
        d.changeTargetDirectory();
        QCOMPARE(seen,
            (QStringList {
                kSelectTargetFolderText, "on", t.folder.path(), "open", t.folder.filePath("made") }));
        QVERIFY(std::filesystem::is_directory(t.in("made")));
        QCOMPARE(d.targetField()->text(), t.folder.filePath("made"));
        QCOMPARE(t.workspace.batchTargetDirectory, t.in("made"));
        QCOMPARE(t.workspace.directoryCreated, 0);
    }

    void rotateAsksTheAngleAndBlendIsUsedOnce()
    {
        BatchWindow t;
        batch_merge d(t.workspace, *t.platform, {});
        t.workspace.alignView.selectedSource = 1;
        t.workspace.alignDoc.alignViewWidth = 400; // the Align Window's client, which this frame lacks
        t.workspace.alignDoc.alignViewHeight = 300;
        whenShown<CRotate>([](CRotate& rotate) {
            rotate.degreesEdit()->setText("90");
            rotate.okButton()->click();
        });
        QTest::mouseClick(d.rotateButton(), Qt::LeftButton);
        QCOMPARE(t.workspace.alignDoc.placement[0].rotation, 90.0);
        QCOMPARE(t.workspace.targetDoc.generated, 1);

        whenShown<CBlend>([](CBlend& blend) {
            blend.mergeTypeButton(kMergeDarkest)->click();
            blend.okButton()->click();
        });
        QTest::mouseClick(d.blendButton(), Qt::LeftButton);
        QCOMPARE(d.batchMergeType(), int32_t(kMergeDarkest));
        QVERIFY(!d.blendButton()->isEnabled());
    }
};

QTEST_MAIN(BatchMergeTest)
#include "test_batch_merge.moc"
