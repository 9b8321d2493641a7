// Printing on the real Target Window into a PDF printer: the whole target and the zone, the
// layout dialog's controls, enabling and validation. The pages are rasterised with pdftocairo and
// the printed picture's position and pixels are checked.
#include "align/mark_target_stale.h"
#include "output/ui/draw_nearest.h"
#include "output/ui/print_layout_dialog.h"
#include "output/ui/print_target.h"
#include "target_fixtures.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

using namespace tessary;
using namespace tessary::uitest;

namespace {

constexpr int kDpi = 100;

// A generated w x h target and a window whose printer is a PDF file of 4 x 5 inches at 100 dpi
// without margins (400 x 500 device pixels), chosen without a dialog.
struct Printing : TargetWindow {
    QString pdf;
    int printerChoices = 0;
    int setups = 0;
    bool chooseAnswer = true;
    QPrinter* chosen = nullptr;

    Printing(int w, int h)
    {
        twoSourcesSideBySide(w, h);
        markTargetStale(workspace);
        pressLoadTarget();
        window->updateActions();
        pdf = folder.filePath("page.pdf");
        QPrinter& printer = window->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(kDpi);
        printer.setPageLayout(QPageLayout(QPageSize(QSizeF(4, 5), QPageSize::Inch), QPageLayout::Portrait,
            QMarginsF(0, 0, 0, 0), QPageLayout::Inch));
        PrinterDialogs dialogs;
        dialogs.choosePrinter = [this](QPrinter& p, QWidget*) {
            ++printerChoices;
            chosen = &p;
            return chooseAnswer;
        };
        dialogs.setupPrinter = [this](QPrinter& p, QWidget*) {
            ++setups;
            chosen = &p;
        };
        window->setPrinterDialogs(dialogs);
    }

    // The printed page at the printer's resolution.
    QImage page()
    {
        if (!QFile::exists(pdf))
            return {};
        const QString prefix = folder.filePath("page");
        QProcess process;
        // Cairo puts each image pixel on one raster pixel; the other poppler renderer resamples
        // images onto one pixel more than they cover.
        process.start("pdftocairo", { "-r", QString::number(kDpi), "-png", "-singlefile", pdf, prefix });
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            qWarning() << "pdftocairo (Debian package poppler-utils) failed:" << process.errorString();
        return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
    }
};

void click(QWidget& dialog, const char* name)
{
    auto* button = dialog.findChild<QAbstractButton*>(name);
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled(), name);
    button->click();
}

QLineEdit* field(QWidget& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(name);
}

// The rows and columns of the page that are not white.
QRect printedBox(const QImage& page)
{
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
private slots:
    void printCommandsAreEnabledAsTheTargetAllows()
    {
        TargetWindow t;
        t.window->updateActions();
        QVERIFY(!t.command("print")->isEnabled());
        QVERIFY(t.command("printSetup")->isEnabled());
        QCOMPARE(t.command("print")->text(), QString("&Print...\tCtrl+P"));
        QCOMPARE(t.command("print")->statusTip(), QString("Print the active document"));
        QCOMPARE(t.command("printSetup")->statusTip(), QString("Change the printer and printing options"));
        t.twoSourcesSideBySide(200, 100);
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        QVERIFY(t.command("print")->isEnabled());
        markTargetStale(t.workspace);
        QVERIFY(!t.command("print")->isEnabled());
    }

    void wholeTargetKeepsItsAspectAtTheBottomOfThePage()
    {
        Printing p(200, 100);
        p.whenDialogOpens<print_layout>([](print_layout& dialog) {
            // The page is 4 x 5 inches: the fields open at it, and the size cannot be typed
            // while the aspect is kept.
            QCOMPARE(field(dialog, "printWidth")->text(), QString("4"));
            QCOMPARE(field(dialog, "printHeight")->text(), QString("5"));
            QCOMPARE(field(dialog, "leftMargin")->text(), QString("0"));
            QVERIFY(!field(dialog, "printWidth")->isEnabled());
            QVERIFY(!dialog.findChild<QPushButton*>("apply")->isEnabled());
            QVERIFY(!dialog.findChild<QPushButton*>("stretchToPage")->isEnabled());
            click(dialog, "alignBottom");
            // The preview: the page outlined in black, the picture by nearest pixel at its bottom.
            const PreviewPage preview = dialog.preview()->page();
            QVERIFY(preview.picture);
            const PageRect picture = *preview.picture;
            QCOMPARE(picture.bottom, preview.page.bottom);
            QCOMPARE(picture.height(), preview.page.width() / 2);
            const QImage shot = dialog.preview()->grab().toImage();
            QCOMPARE(shot.pixelColor(int(preview.page.left), int(preview.page.top + 5)), QColor(Qt::black));
            for (QPoint at : { QPoint(3, 4), QPoint(int(picture.width()) - 2, int(picture.height()) - 3) }) {
                const QColor expected = TargetWindow::targetColour(
                    200, int(at.x() * 200 / picture.width()), int(at.y() * 100 / picture.height()));
                QCOMPARE(shot.pixelColor(int(picture.left) + at.x(), int(picture.top) + at.y()), expected);
            }
            click(dialog, "print");
        });
        const int busyBefore = p.platform->busyEntries;
        p.command("print")->trigger();
        QCOMPARE(p.printerChoices, 1);
        // The page was drawn in the program's busy state.
        QCOMPARE(p.platform->busyEntries, busyBefore + 1);
        QCOMPARE(p.platform->busyDepth, 0);
        QCOMPARE(p.workspace.printSettings.printAlignment, 3);
        QCOMPARE(p.workspace.printSettings.printKeepAspect, 1);

        const QImage page = p.page();
        QCOMPARE(page.size(), QSize(400, 500));
        // 200 x 100 across 400 pixels: 200 high, from y = 300 to the bottom.
        QCOMPARE(printedBox(page), QRect(0, 300, 400, 200));
        // Each target pixel is a block of 2 x 2 device pixels, unblended.
        for (QPoint at :
            { QPoint(1, 301), QPoint(10, 350), QPoint(198, 420), QPoint(201, 420), QPoint(398, 498) }) {
            const QColor expected = TargetWindow::targetColour(200, at.x() / 2, (at.y() - 300) / 2);
            QVERIFY2(page.pixelColor(at) == expected,
                qPrintable(QString("at %1,%2: %3 not %4")
                               .arg(at.x())
                               .arg(at.y())
                               .arg(page.pixelColor(at).name(), expected.name())));
        }
    }

    void zoneIsPrintedAtTheAppliedMarginsAndSize()
    {
        Printing p(200, 100);
        p.drag(QPoint(20, 10), QPoint(120, 80));
        QCOMPARE(p.workspace.targetDoc.zoneSelected, 1);
        QVERIFY(p.view().zonePrintButton() && p.view().zonePrintButton()->isEnabled());
        p.whenDialogOpens<print_layout>([](print_layout& dialog) {
            click(dialog, "keepAspect");
            QVERIFY(field(dialog, "printWidth")->isEnabled());
            QVERIFY(!dialog.findChild<QRadioButton*>("alignTop")->isEnabled());
            field(dialog, "leftMargin")->setText("0.5");
            field(dialog, "topMargin")->setText("1");
            field(dialog, "printWidth")->setText("2");
            field(dialog, "printHeight")->setText("1.4");
            click(dialog, "apply");
            // Typed and not applied: printed at the applied width.
            field(dialog, "printWidth")->setText("3");
            click(dialog, "print");
        });
        QTest::mouseClick(p.view().zonePrintButton(), Qt::LeftButton);
        QCOMPARE(p.workspace.printSettings.printWidthInches, 2.0);
        QCOMPARE(p.workspace.printSettings.printKeepAspect, 0);

        const QImage page = p.page();
        QCOMPARE(page.size(), QSize(400, 500));
        // The 100 x 70 zone from (20, 10) printed 200 x 140 from (50, 100).
        QCOMPARE(printedBox(page), QRect(50, 100, 200, 140));
        for (QPoint at : { QPoint(51, 101), QPoint(120, 170), QPoint(248, 238) }) {
            const QColor expected
                = TargetWindow::targetColour(200, 20 + (at.x() - 50) / 2, 10 + (at.y() - 100) / 2);
            QVERIFY2(page.pixelColor(at) == expected, qPrintable(page.pixelColor(at).name()));
        }
        // Printing leaves the zone as it was.
        QCOMPARE(p.workspace.targetDoc.zoneSelected, 1);
    }

    void aPageDrawnInManyBandsIsThePageDrawnInOne()
    {
        Printing p(200, 100);
        const PackedDib& target = *p.workspace.targetDoc.targetImage;
        // 200 x 100 stretched to 330 x 170 from (13, 7): rows and columns repeated unevenly.
        auto printed = [&](size_t bandBytes) {
            QPainter painter(&p.window->printer());
            const bool drawn = drawNearest(
                painter, target, PageRect { 13, 7, 343, 177 }, PageRect { 0, 0, 400, 500 }, bandBytes);
            painter.end();
            return drawn ? p.page() : QImage();
        };
        const QImage whole = printed(size_t(1) << 20);
        QVERIFY(!whole.isNull());
        QCOMPARE(printedBox(whole), QRect(13, 7, 330, 170));
        QCOMPARE(whole.pixelColor(13 + 329, 7 + 169), TargetWindow::targetColour(200, 199, 99));
        QCOMPARE(whole.pixelColor(13 + 100, 7 + 50),
            TargetWindow::targetColour(200, 100 * 200 / 330, 50 * 100 / 170));
        // Bands of 3 rows, the last one short.
        QCOMPARE(printed(330 * 3 * 3), whole);
    }

    void theChosenPrinterIsTheOneUsedAndSetUp()
    {
        Printing p(200, 100);
        p.command("printSetup")->trigger();
        QCOMPARE(p.setups, 1);
        QCOMPARE(p.chosen, &p.window->printer());
        // Cancelled in the print dialog: no layout dialog, no page.
        p.chooseAnswer = false;
        p.command("print")->trigger();
        QCOMPARE(p.printerChoices, 1);
        QVERIFY(!QFile::exists(p.pdf));
        // Cancelled in the layout dialog: the settings stay, no page.
        p.chooseAnswer = true;
        p.whenDialogOpens<print_layout>([](print_layout& dialog) {
            click(dialog, "alignMiddle");
            click(dialog, "cancel");
        });
        p.command("print")->trigger();
        QCOMPARE(p.printerChoices, 2);
        QCOMPARE(p.chosen, &p.window->printer());
        QCOMPARE(p.workspace.printSettings.printAlignment, 1);
        QVERIFY(!QFile::exists(p.pdf));
    }

    void layoutDialogChecksItsFieldsAndSwitchesUnits()
    {
        Printing p(200, 100);
        p.whenDialogOpens<print_layout>([&p](print_layout& dialog) {
            click(dialog, "keepAspect");
            QVERIFY(dialog.findChild<QPushButton*>("stretchToPage")->isEnabled());
            click(dialog, "useMillimetres");
            QCOMPARE(field(dialog, "printWidth")->text(), QString("101.6"));
            QCOMPARE(field(dialog, "printHeight")->text(), QString("127"));
            // A margin beyond 10 inches (254 mm) is refused, the dialog stays open.
            field(dialog, "leftMargin")->setText("300");
            p.platform->expectMessage("Enter a number between 0 and 254.");
            click(dialog, "apply");
            QCOMPARE(dialog.layout().leftMargin, 0.0);
            p.platform->expectMessage("Enter a number between 0 and 254.");
            click(dialog, "print");
            QVERIFY(dialog.isVisible());
            field(dialog, "leftMargin")->setText("25.4");
            field(dialog, "printWidth")->setText("500");
            click(dialog, "apply");
            // At or above the printable width: the printable width, shown in the field.
            QCOMPARE(field(dialog, "printWidth")->text(), QString("101.6"));
            QCOMPARE(dialog.layout().leftMargin, 1.0);
            // Stretching: the page rectangle itself, nothing to type.
            click(dialog, "stretchToPage");
            QVERIFY(!field(dialog, "printWidth")->isEnabled());
            const PreviewPage preview = dialog.preview()->page();
            QVERIFY(preview.picture);
            QCOMPARE(*preview.picture, preview.page);
            // The whole portrait page shows in the preview.
            QVERIFY(preview.page.height() > preview.page.width());
            QVERIFY(preview.page.bottom <= dialog.preview()->height());
            click(dialog, "print");
        });
        p.command("print")->trigger();
        QCOMPARE(p.workspace.printSettings.printStretch, 1);
        QCOMPARE(printedBox(p.page()), QRect(0, 0, 400, 500));
    }
};

QTEST_MAIN(PrintTest)
#include "test_print.moc"
