#include "app/open_image.h"
#include "app/settings.h"
#include "app/ui/main_frame.h"
#include "app/ui/qt_convert.h"
#include "app/ui/qt_platform.h"
#include "app/workspace.h"
#include "sources/dib_block.h"
#include "sources/source_doc.h"
#include "sources/text_render.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tessary;

class QtPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    }

    void settingsLiveInTheConfigureGroupOfTheProgramsKey()
    {
        QtPlatform platform;
        QCOMPARE(platform.getSettingInt(settings::kSection, settings::kSnapMove, 1), 1);
        platform.setSettingInt(settings::kSection, settings::kNudgeFactorX, 7);
        platform.setSettingText(settings::kSection, settings::kLastOpenDirectory, "/tmp/pictures/");
        QSettings raw("Vuzezur Adadarize", "Tessary");
        QCOMPARE(raw.value("Configure/Nudge Factor X").toInt(), 7);
        QCOMPARE(raw.value("Configure/Last Open Directory").toString(), QString("/tmp/pictures/"));
        QCOMPARE(platform.getSettingInt(settings::kSection, settings::kNudgeFactorX, 1), 7);
        QCOMPARE(platform.getSettingText(settings::kSection, settings::kLastOpenDirectory, ""),
            std::string("/tmp/pictures/"));
    }

    void flyingTipsSurviveARestart()
    {
        QtPlatform platform;
        {
            MergeWorkspace ws;
            ws.readStartupSettings(platform);
            QCOMPARE(ws.app.flyingTipsEnabled, 1);
            ws.app.flyingTipsEnabled = 0;
            ws.writeExitSettings(platform);
        }
        QSettings raw("Vuzezur Adadarize", "Tessary");
        QCOMPARE(raw.value("Configure/flying tips").toInt(), 1);
        MergeWorkspace again;
        again.readStartupSettings(platform);
        QCOMPARE(again.app.flyingTipsEnabled, 0);
    }

    void escapeIsTrackedApplicationWide()
    {
        QtPlatform platform;
        QWidget widget;
        widget.show();
        QVERIFY(!platform.isEscapeDown());
        QTest::keyPress(&widget, Qt::Key_Escape);
        QVERIFY(platform.isEscapeDown());
        QTest::keyRelease(&widget, Qt::Key_Escape);
        QVERIFY(!platform.isEscapeDown());
    }

    void programFilterBecomesQtNameFilters()
    {
        const QStringList names = nameFiltersFromProgramFilter(
            "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg|All Files (*.*)|*.*||");
        QCOMPARE(names, QStringList({ "Bitmap Files (*.bmp)", "Jpeg Files (*.jpg)", "All Files (*.*)" }));
    }

    void mainFrameHasFourPanesAndShowsPaneTexts()
    {
        QtPlatform platform;
        MergeWorkspace ws;
        MainFrame frame(ws, platform);
        frame.show();
        QCOMPARE(frame.mdiArea()->viewMode(), QMdiArea::TabbedView);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(frame.pane(i)->width(), MainFrame::kPaneWidths[size_t(i)]);
        platform.setStatusPaneText(0, "Press Esc to quit.");
        QCOMPARE(frame.pane(0)->text(), QString("Press Esc to quit."));
    }

    void renderedTextHasSetBitsWhereTheTextIs()
    {
        QtPlatform platform;
        LogFont font;
        font.height = -20;
        font.faceName = "DejaVu Sans";
        const auto extent = platform.measureText(font, "Hello");
        QVERIFY(extent.has_value());
        QVERIFY(extent->width > 10);
        const auto bitmap = platform.renderText(font, "Hello", extent->width + 2, extent->height + 2);
        QVERIFY(bitmap.has_value());
        QCOMPARE(bitmap->bytesPerRow % 2, 0);
        int set = 0;
        for (uint8_t b : bitmap->bits)
            set += __builtin_popcount(b);
        QVERIFY(set > 20);
    }

    // Ten lines rendered through the text source give ten separate bands of ink, in a font
    // without leading and in one with it (whose own line spacing is taller than its height).
    void everyMeasuredLineIsDrawn()
    {
        QtPlatform platform;
        QStringList faces { "DejaVu Sans" };
        for (const QString& family : QFontDatabase::families()) {
            LogFont probe;
            probe.faceName = family.toStdString();
            probe.height = -20;
            if (QFontMetrics(fontFromLogFont(probe)).leading() > 0) {
                faces << family;
                qInfo("font with leading: %s", qPrintable(family));
                break;
            }
        }
        if (faces.size() < 2)
            qWarning("no font with leading installed: only the font without it is checked");
        for (const QString& face : faces) {
            VIrorozIzi doc;
            doc.textFont.faceName = face.toStdString();
            doc.textFont.height = -20;
            for (int i = 0; i < 10; ++i)
                doc.textBuffer += "HHHH\r\n";
            auto image = renderTextImage(doc, platform);
            QVERIFY2(image.has_value(), qPrintable(face));
            int bands = 0;
            bool inInk = false;
            for (int32_t line = 0; line < image->height(); ++line) {
                const uint8_t* row = image->dib->row(image->height() - 1 - line);
                bool ink = false;
                for (int32_t x = 0; x < image->width() && !ink; ++x)
                    ink = row[3 * x] != 0;
                if (ink && !inInk)
                    ++bands;
                inInk = ink;
            }
            QCOMPARE(bands, 10);
        }
    }

    void clipboardImageIsOfferedAndReadAsABlock()
    {
        QtPlatform platform;
        QGuiApplication::clipboard()->clear();
        QVERIFY(!platform.clipboardHasImage());
        QVERIFY(!platform.clipboardImage().has_value());
        QImage picture(5, 3, QImage::Format_RGB32);
        picture.fill(QColor(10, 20, 30));
        picture.setPixel(4, 0, qRgb(200, 0, 100));
        QGuiApplication::clipboard()->setImage(picture);
        QVERIFY(platform.clipboardHasImage());
        const auto block = platform.clipboardImage();
        QVERIFY(block.has_value());
        const auto dib = dibFromBlock(*block);
        QVERIFY(dib != nullptr);
        QCOMPARE(dib->width(), 5);
        QCOMPARE(dib->height(), 3);
        // The top-right pixel is in the last stored row.
        const uint8_t* topRight = dib->row(2) + 3 * 4;
        QCOMPARE(int(topRight[2]), 200);
        QCOMPARE(int(topRight[0]), 100);
    }

    void openChooserPreselectsTheRememberedFilterAndFolder()
    {
        QtPlatform platform;
        QTemporaryDir folder;
        FileDialogRequest request;
        request.title = "Open Source Window 8";
        request.filter = kOpenImageFilter;
        request.initialFolder = folder.path().toStdString();
        request.filterIndex = 7;
        QString title, filter, directory;
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filter = dialog->selectedNameFilter();
            filters = dialog->nameFilters();
            directory = dialog->directory().absolutePath();
            dialog->reject();
        });
        QVERIFY(!platform.chooseOpenFile(request).has_value());
        QCOMPARE(title, QString("Open Source Window 8"));
        QCOMPARE(filters.size(), 8);
        QVERIFY(filters.last().startsWith("Image Files (*.bmp *.jpg"));
        QCOMPARE(filter, QString("All Files (*.*)"));
        QCOMPARE(directory, QDir(folder.path()).absolutePath());
    }

    void saveChooserShowsTheExtraChoiceAndReturnsTheEntryLeftSelected()
    {
        QtPlatform platform;
        QTemporaryDir folder;
        FileDialogRequest request;
        request.title = "Save Target Image";
        request.filter = "Png Files (*.png)|*.png||";
        request.initialFolder = folder.path().toStdString();
        request.choiceLabel = "Keep metadata from:";
        request.choices = { "none", "1: a.jpg", "3: b.jpg" };
        request.choiceIndex = 2;
        QString label;
        int offered = -1;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* box = dialog->findChild<QComboBox*>("fileDialogChoice");
            QVERIFY(box);
            QVERIFY(box->isVisible());
            offered = box->currentIndex();
            for (const QLabel* l : dialog->findChildren<QLabel*>())
                if (l->buddy() == box)
                    label = l->text();
            QCOMPARE(box->count(), 3);
            box->setCurrentIndex(1);
            dialog->selectFile(folder.filePath("out.png"));
            QMetaObject::invokeMethod(dialog, "accept"); // a slot, protected in QFileDialog
        });
        const std::optional<FileDialogResult> chosen = platform.chooseSaveFile(request);
        QVERIFY(chosen.has_value());
        QCOMPARE(offered, 2);
        QCOMPARE(label, QString("Keep metadata from:"));
        QCOMPARE(chosen->choiceIndex, 1);
        QCOMPARE(QString::fromStdString(chosen->path), folder.filePath("out.png"));

        // Without entries nothing is added.
        request.choices.clear();
        bool added = true;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            added = dialog->findChild<QComboBox*>("fileDialogChoice") != nullptr;
            dialog->reject();
        });
        QVERIFY(!platform.chooseSaveFile(request).has_value());
        QVERIFY(!added);
    }

private:
    QTemporaryDir settingsDir;
};

QTEST_MAIN(QtPlatformTest)
#include "test_qt_platform.moc"
