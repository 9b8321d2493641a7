// The correction commands of a source window: enabled while the source has an image, "Black and
// White" at once, and the correction dialogs worked from their own event loops: Apply from the
// backup, Cancel handing the image from opening back, OK, the window told however the dialog
// ends, and one undo step for a dialog that closes keeping its change.
#include "app/edit_path.h"
#include "app/history.h"
#include "corrections/pincushion.h"
#include "corrections/skew.h"
#include "corrections/ui/distort_dialog.h"
#include "corrections/ui/fishdistort_dialog.h"
#include "corrections/ui/gridlines_dialog.h"
#include "corrections/ui/progress_strip.h"
#include "corrections/ui/skew_dialog.h"
#include "corrections/ui/source_bright_cont.h"
#include "corrections/ui/trapezoid_dialog.h"
#include "merge/ui/scroll_target_arrows.h"
#include "source_program.h"
#include "sources/copy_to_24bit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstring>

using namespace tessary;
using namespace tessary::uitest;

namespace {

BgrColour pattern(int32_t x, int32_t row)
{
    return BgrColour { uint8_t(x * 3), uint8_t(row * 5), uint8_t(x + row) };
}

struct Window {
    SourceProgram p;
    VAvivedEred* view = nullptr;

    Window(int32_t w, int32_t h)
    {
        if (p.openImage(p.writeBmp("s1.bmp", w, h, pattern)) == OpenResult::Created)
            view = p.sources.view(1);
        if (view)
            p.frame().activateSourceWindow(1);
    }
    VIrorozIzi& doc() { return *view->document(); }
    CChildFrame& frame() { return view->frame(); }
    BgrColour pixel(int32_t x, int32_t row)
    {
        const uint8_t* q = doc().image.dib->row(row) + 3 * size_t(x);
        return { q[0], q[1], q[2] };
    }
    CorrectionDialog::SourceWindow sourceWindow(int* changes)
    {
        return { doc(), *p.platform, [this](int dx, int dy) { view->scrollByLines(dx, dy); },
            [changes] { ++*changes; } };
    }
};

// The image as the correction dialogs' backup holds it.
MaskedDib as24(const MaskedDib& image)
{
    MaskedDib copy;
    copyTo24Bit(image, copy, nullptr);
    return copy;
}

bool sameBytes(const MaskedDib& a, const MaskedDib& b)
{
    return a.dib->size() == b.dib->size() && std::memcmp(a.dib->data(), b.dib->data(), a.dib->size()) == 0
        && a.maskCount == b.maskCount
        && std::memcmp(a.mask.get(), b.mask.get(), a.maskCount * sizeof(uint16_t)) == 0;
}

QPushButton* button(QWidget* dialog, const char* name)
{
    return dialog->findChild<QPushButton*>(name);
}

} // namespace

class SourceCorrectionsTest : public QObject {
    Q_OBJECT
private slots:
    void commandsAreEnabledWithAnImage()
    {
        Window w(40, 30);
        QVERIFY(w.view);
        for (QAction* a :
            { w.frame().grayScale(), w.frame().brightnessContrast(), w.frame().trapezoid(), w.frame().skew(),
                w.frame().pincushion(), w.frame().cylindricalProjection(), w.frame().gridLines() })
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(w.frame().reload()->isEnabled());
        QCOMPARE(w.frame().findChild<QAction*>("trapezoid"), w.frame().trapezoid());
    }

    void blackAndWhiteConvertsAtOnceAndMarksTheSourceChanged()
    {
        Window w(20, 10);
        w.doc().changed = false;
        w.frame().grayScale()->trigger();
        QVERIFY(w.doc().changed);
        const BgrColour c = w.pixel(7, 3);
        const BgrColour before = pattern(7, 3);
        const uint8_t gray
            = uint8_t((int(19.2 * before.red) + int(37.76 * before.green) + int(7.04 * before.blue)) / 64);
        QCOMPARE(int(c.red), int(gray));
        QCOMPARE(int(c.green), int(gray));
        QCOMPARE(int(c.blue), int(gray));
    }

    void trapezoidApplyCancelAndPreview()
    {
        Window w(100, 20);
        const MaskedDib loaded = w.doc().image.clone();
        const MaskedDib original = as24(w.doc().image);
        int changes = 0;
        trapezoid dialog(w.sourceWindow(&changes));
        QVERIFY(dialog.opened());
        QCOMPARE(dialog.ratioField()->text(), QString("80"));
        QCOMPARE(dialog.apexSlider()->value(), 50);
        dialog.ratioSlider()->setValue(50);
        dialog.apexSlider()->setValue(20);
        QCOMPARE(dialog.ratioField()->text(), QString("50"));
        QVERIFY2(sameBytes(w.doc().image, loaded), "moving the sliders does not correct");
        button(&dialog, "center")->click();
        QCOMPARE(dialog.apexSlider()->value(), 50);
        dialog.invertBox()->setChecked(true);
        // The preview's apex is the bottom edge now.
        const QPolygon outline = dialog.preview()->outline();
        QVERIFY(outline[2].y() > outline[0].y());

        button(&dialog, "apply")->click();
        QCOMPARE(changes, 1);
        QCOMPARE(w.doc().image.maskRow(0)[10], kTransparent);
        QCOMPARE(w.doc().image.maskRow(0)[50], kOpaque);
        QCOMPARE(dialog.progressStrip()->colour(), kStripIdle);
        button(&dialog, "apply")->click();
        button(&dialog, "cancel")->click();
        QVERIFY(sameBytes(w.doc().image, loaded));
        QCOMPARE(changes, 3);
    }

    void trapezoidFromTheMenuTellsTheWindowAndOkKeepsTheResult()
    {
        Window w(60, 40);
        w.doc().changed = false;
        const MaskedDib original = as24(w.doc().image);
        QVERIFY(withModal<trapezoid>(
            [&] { w.frame().trapezoid()->trigger(); }, [](trapezoid* d) { button(d, "ok")->click(); }));
        QVERIFY(w.doc().changed);
        QVERIFY(!sameBytes(w.doc().image, original));
        QCOMPARE(w.doc().image.maskRow(39)[0], kTransparent); // the top row narrows
        // Closed with Cancel: the image is the one before and the source is not marked changed.
        const MaskedDib corrected = w.doc().image.clone();
        w.doc().changed = false;
        QVERIFY(withModal<trapezoid>([&] { w.frame().trapezoid()->trigger(); },
            [](trapezoid* d) {
                d->ratioSlider()->setValue(10);
                button(d, "apply")->click();
            }));
        QVERIFY(!w.doc().changed);
        QVERIFY(sameBytes(w.doc().image, corrected));
    }

    void scrollSourceArrowsScrollTheSourceWindow()
    {
        Window w(2000, 1500);
        int changes = 0;
        trapezoid dialog(w.sourceWindow(&changes));
        QVERIFY(dialog.scrollArrows());
        const int before = w.view->verticalScrollBar()->value();
        dialog.scrollArrows()->arrow(Qt::UpArrow)->click();
        QCOMPARE(w.view->verticalScrollBar()->value(), before + w.view->verticalScrollBar()->singleStep());
    }

    void skewSizesTheImageAndRefusesBadAngles()
    {
        Window w(200, 100);
        QVERIFY(withModal<skew>([&] { w.frame().skew()->trigger(); },
            [&w](skew* d) {
                d->angleField()->setText("90");
                w.p.platform->expectMessage("Enter an integer between -89 and 89.");
                button(d, "apply")->click();
                QCOMPARE(w.doc().image.width(), 200);
                d->angleField()->setText("30");
                button(d, "ok")->click();
            }));
        QCOMPARE(w.doc().imageWidth, 249);
        QCOMPARE(w.doc().imageHeight, 86);
        QCOMPARE(w.doc().image.width(), 249);
        QCOMPARE(w.view->horizontalScrollBar()->maximum(), std::max(0, 249 - w.view->viewport()->width()));

        // Cancel after Apply gives back the image the dialog opened with.
        QVERIFY(withModal<skew>([&] { w.frame().skew()->trigger(); },
            [](skew* d) {
                d->angleField()->setText("-20");
                button(d, "apply")->click();
                button(d, "cancel")->click();
            }));
        QCOMPARE(w.doc().imageWidth, 249);
        QCOMPARE(w.doc().imageHeight, 86);
    }

    void skewWithoutRowsLeavesTheImageAndSaysWhy()
    {
        Window w(100, 20);
        const MaskedDib original = w.doc().image.clone();
        int changes = 0;
        skew dialog(w.sourceWindow(&changes));
        dialog.angleField()->setText("89");
        w.p.platform->expectMessage(kSkewNoRowsText);
        QVERIFY(dialog.apply());
        QVERIFY(sameBytes(w.doc().image, original));
        QCOMPARE(changes, 0);
    }

    void brightnessContrastMastersApplyResetAndClose()
    {
        Window w(30, 20);
        const MaskedDib original = as24(w.doc().image);
        int changes = 0;
        {
            source_bright_cont dialog(w.sourceWindow(&changes));
            QCOMPARE(dialog.masterBrightness()->value(), 128);
            QCOMPARE(dialog.contrast(2)->value(), 64);
            QCOMPARE(dialog.gamma()->minimum(), -255);
            // A channel moved on its own survives the next slider move.
            dialog.contrast(0)->setValue(100);
            dialog.brightness(1)->setValue(129);
            QCOMPARE(dialog.contrast(0)->value(), 100);
            dialog.masterContrast()->setValue(127);
            for (int n = 0; n < 3; ++n)
                QCOMPARE(dialog.contrast(n)->value(), 127);
            button(&dialog, "apply")->click();
            QCOMPARE(changes, 1);
            // K = 63 on every channel.
            const BgrColour before = pattern(13, 7), after = w.pixel(13, 7);
            auto expected = [](int x, int b) {
                return std::clamp(((((x + b - 255) * 63) + 2032) >> 4) + b - 128, 0, 255);
            };
            QCOMPARE(int(after.red), expected(before.red, 128));
            QCOMPARE(int(after.green), expected(before.green, 129));
            button(&dialog, "reset")->click();
            QCOMPARE(dialog.contrast(0)->value(), 64);
            QVERIFY(sameBytes(w.doc().image, original));
            dialog.gamma()->setValue(100);
            button(&dialog, "apply")->click();
            // Closing otherwise keeps what was applied.
            dialog.reject();
        }
        QVERIFY(!sameBytes(w.doc().image, original));
    }

    void pincushionFieldsCurveApplyAndFailure()
    {
        Window w(64, 48);
        const MaskedDib original = w.doc().image.clone();
        int changes = 0;
        distort dialog(w.sourceWindow(&changes));
        QVERIFY(dialog.opened());
        QCOMPARE(dialog.thirdField()->text(), QString("0.0"));
        dialog.thirdField()->clear();
        QTest::keyClicks(dialog.thirdField(), "1.5");
        QCOMPARE(dialog.thirdField()->text(), QString("0.0"));
        dialog.thirdField()->clear();
        QTest::keyClicks(dialog.thirdField(), "0.4");
        QCOMPARE(dialog.thirdField()->text(), QString("0.4"));
        // The curve bends below the middle line between the centre and the corner.
        const QPolygon curve = dialog.curvePane()->curve();
        const int middle = curve.first().y();
        QVERIFY(curve[curve.size() / 2].y() < middle);
        QCOMPARE(curve.last().y(), middle);

        QVERIFY(dialog.apply());
        QCOMPARE(changes, 1);
        QCOMPARE(dialog.fifthField()->text(), QString("0.0"));
        QVERIFY(!sameBytes(w.doc().image, original));

        // Terms the table cannot invert: the message, the image as before the Apply, the dialog open.
        const MaskedDib before = w.doc().image.clone();
        dialog.thirdField()->setText("1");
        dialog.fifthField()->setText("1");
        w.p.platform->expectMessage("One or more entered values are too large");
        button(&dialog, "ok")->click();
        QVERIFY(sameBytes(w.doc().image, before));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        button(&dialog, "cancel")->click();
        QVERIFY(sameBytes(w.doc().image, original));
    }

    void cylindricalSlidersApplyResetAndClose()
    {
        Window w(41, 30); // odd width: the start values are not the identity
        const MaskedDib original = w.doc().image.clone();
        int changes = 0;
        {
            fishdistort dialog(w.sourceWindow(&changes));
            QVERIFY(!dialog.applyButton()->isEnabled());
            QCOMPARE(dialog.shownValue(0)->text(), QString("-90"));
            QCOMPARE(dialog.shownValue(1)->text(), QString("90"));
            QCOMPARE(dialog.shownValue(2)->text(), QString("50"));
            dialog.rightSlider()->setValue(40);
            QCOMPARE(dialog.leftSlider()->value(), 40);
            QCOMPARE(dialog.shownValue(0)->text(), QString("-140"));
            QVERIFY(dialog.applyButton()->isEnabled());
            dialog.leftSlider()->setValue(0);
            dialog.rightSlider()->setValue(180);
            dialog.applyButton()->click();
            QVERIFY(!dialog.applyButton()->isEnabled());
            QCOMPARE(changes, 1);
            QVERIFY(!sameBytes(w.doc().image, original));
            button(&dialog, "reset")->click();
            QCOMPARE(dialog.leftSlider()->value(), 90);
            QCOMPARE(dialog.elevationSlider()->value(), 50);
            dialog.reject();
        }
        // Reset and close give back the backup exactly, not the start values' projection.
        QVERIFY(sameBytes(w.doc().image, original));
    }

    void cylindricalFromTheMenuWithOk()
    {
        Window w(40, 30);
        w.doc().changed = false;
        QVERIFY(withModal<fishdistort>([&] { w.frame().cylindricalProjection()->trigger(); },
            [](fishdistort* d) {
                d->elevationSlider()->setValue(80);
                button(d, "ok")->click();
            }));
        QVERIFY(w.doc().changed);
        QCOMPARE(w.doc().image.maskRow(29)[39], kTransparent);
    }

    void gridApplyAddsUpRefusesBadFieldsAndCancelRestores()
    {
        Window w(200, 150);
        const MaskedDib original = w.doc().image.clone();
        int changes = 0;
        gridlines dialog(w.sourceWindow(&changes));
        QVERIFY(dialog.opened());
        QVERIFY(!dialog.applyButton()->isEnabled());
        QVERIFY(!dialog.progressStrip()->isVisibleTo(&dialog));
        dialog.solidEnable()->click();
        QVERIFY(dialog.applyButton()->isEnabled());
        w.p.platform->colourAnswers.push_back(makeColourRef(255, 0, 0));
        dialog.colourButton()->click();
        QCOMPARE(dialog.colour(), makeColourRef(255, 0, 0));
        QVERIFY(dialog.apply());
        QCOMPARE(changes, 1);
        QCOMPARE(w.pixel(100, 7), (BgrColour { 0, 0, 255 }));
        QCOMPARE(w.pixel(7, 100), (BgrColour { 0, 0, 255 }));
        QCOMPARE(w.pixel(7, 7), pattern(7, 7));

        dialog.field(0)->setText("1");
        w.p.platform->expectMessage("Enter an integer between 2 and 1000.");
        QVERIFY(!dialog.apply());
        dialog.field(0)->setText("30");
        w.p.platform->colourAnswers.push_back(makeColourRef(0, 0, 255));
        dialog.colourButton()->click();
        QVERIFY(dialog.apply());
        QCOMPARE(w.pixel(100, 7), (BgrColour { 0, 0, 255 })); // the first grid stays
        QCOMPARE(w.pixel(30, 7), (BgrColour { 255, 0, 0 }));
        button(&dialog, "cancel")->click();
        QVERIFY(sameBytes(w.doc().image, original));
    }

    // Each dialog from the menu: Apply, Apply, OK is one step named after the command, whose
    // undo gives the source exactly its bytes from before and redo those after; Apply, Apply and
    // Cancel is no step and leaves the source byte-identical, not even marked changed (except in
    // Brightness and Contrast, whose Cancel keeps what was applied: then that is the one step).
    void eachDialogRecordsOneStepWhenItKeepsItsChange()
    {
        struct Case {
            const char* step;
            std::function<bool(Window&, bool ok)> run;
            bool cancelRestores = true;
        };
        // Opens the dialog from its menu command, makes a change, applies twice, closes.
        const auto use = []<class D>(QAction* command, std::function<void(D*)> change, bool ok) {
            return withModal<D>([command] { command->trigger(); }, [change, ok](D* d) {
                change(d);
                button(d, "apply")->click();
                button(d, "apply")->click();
                if (ok)
                    button(d, "ok")->click();
            });
        };
        const Case cases[] = {
            { "Brightness and Contrast", [&](Window& w, bool ok) {
                 return use(w.frame().brightnessContrast(),
                     std::function<void(source_bright_cont*)>([](source_bright_cont* d) {
                         d->masterBrightness()->setValue(160);
                     }),
                     ok);
             },
                false },
            { "Trapezoid", [&](Window& w, bool ok) {
                 return use(w.frame().trapezoid(),
                     std::function<void(trapezoid*)>([](trapezoid* d) { d->ratioSlider()->setValue(50); }), ok);
             } },
            { "Skew", [&](Window& w, bool ok) {
                 return use(w.frame().skew(), std::function<void(tessary::skew*)>([](tessary::skew* d) {
                     d->findChild<QLineEdit*>("skewAngle")->setText("20");
                 }),
                     ok);
             } },
            { "Pincushion", [&](Window& w, bool ok) {
                 return use(w.frame().pincushion(),
                     std::function<void(distort*)>([](distort* d) { d->thirdField()->setText("0.4"); }), ok);
             } },
            { "Cylindrical Projection", [&](Window& w, bool ok) {
                 return use(w.frame().cylindricalProjection(),
                     std::function<void(fishdistort*)>([](fishdistort* d) { d->elevationSlider()->setValue(80); }),
                     ok);
             } },
            { "Overlay Grid", [&](Window& w, bool ok) {
                 return use(w.frame().gridLines(),
                     std::function<void(gridlines*)>([](gridlines* d) { d->solidEnable()->click(); }), ok);
             } },
        };
        for (const Case& c : cases) {
            Window w(64, 48);
            QVERIFY(w.view);
            w.doc().changed = false;
            w.doc().editedInWindow = false;
            const MaskedDib before = w.doc().image.clone();
            const PackedDib* pixels = w.doc().image.dib.get();
            History& history = w.p.workspace.history;

            QVERIFY2(c.run(w, false), c.step);
            if (c.cancelRestores) {
                QCOMPARE(int(history.size()), 0);
                QVERIFY2(sameBytes(w.doc().image, before), c.step);
                QVERIFY2(w.doc().image.dib.get() == pixels, c.step);
                QVERIFY2(!w.doc().changed && !w.doc().editedInWindow, c.step);
            } else {
                QCOMPARE(int(history.size()), 1);
                QVERIFY2(!sameBytes(w.doc().image, before), c.step);
                QVERIFY(undoEdit(w.p.workspace, *w.p.platform));
                QVERIFY2(sameBytes(w.doc().image, before), c.step);
            }

            QVERIFY2(c.run(w, true), c.step);
            QCOMPARE(int(history.size()), 1);
            QCOMPARE(QString::fromStdString(history.undoName()), QString(c.step));
            QVERIFY2(w.doc().changed && w.doc().editedInWindow, c.step);
            const MaskedDib after = w.doc().image.clone();
            QVERIFY2(!sameBytes(after, before), c.step);
            QVERIFY(undoEdit(w.p.workspace, *w.p.platform));
            QVERIFY2(sameBytes(w.doc().image, before), c.step);
            QVERIFY2(!w.doc().editedInWindow, c.step);
            QVERIFY(redoEdit(w.p.workspace, *w.p.platform));
            QVERIFY2(sameBytes(w.doc().image, after), c.step);
        }
    }
};

QTEST_MAIN(SourceCorrectionsTest)
#include "test_source_corrections.moc"
