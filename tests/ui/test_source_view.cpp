// The source view driven with the mouse: the mask dots, box selection with its size popup and
// auto-scroll, the picture buttons with their placement, tips and commands, crop, the
// 16-operation limit, the whole-mask commands, and activation with its tip.
#include "app/ui/flying_tips.h"
#include "source_program.h"
#include "sources/area_tools.h"
#include "sources/ui/picture_buttons.h"
#include "sources/ui/source_crop.h"

#include <QScrollBar>

using namespace tessary;
using namespace tessary::uitest;

namespace {

struct Window {
    SourceProgram p;
    VAvivedEred* view = nullptr;

    // One w x h source, its window in front.
    Window(int32_t w, int32_t h)
    {
        view = p.addSource(w, h);
        if (view)
            p.frame().activateSourceWindow(1);
    }
    QWidget* viewport() { return view->viewport(); }
    VIrorozIzi& doc() { return *view->document(); }
    uint16_t mask(int32_t x, int32_t displayY)
    {
        return doc().image.maskRow(doc().image.height() - 1 - displayY)[x];
    }
    // Mouse events straight to the view (QTest would take the point (0, 0) for "the centre").
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(
            type, QPointF(at), viewport()->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &event);
    }
    // A drag from `from` to `to` in client coordinates, through a point between them.
    void drag(QPoint from, QPoint to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    SourceWindowFamily& family() { return p.sources.family(); }
    picture_button* button(int k) { return family().buttons[size_t(k)]; }
    int countMask(uint16_t value)
    {
        int n = 0;
        for (uint32_t i = 0; i < doc().image.maskCount; ++i)
            n += doc().image.mask[i] == value;
        return n;
    }
};

QColor pixelOf(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

} // namespace

class SourceViewTest : public QObject {
    Q_OBJECT
private slots:
    void maskIsMarkedWithDotsEveryFifthPixel()
    {
        Window w(40, 30);
        QVERIFY(w.view);
        MaskedDib& image = w.doc().image;
        // Stored row 0 is display line 29.
        image.maskRow(0)[0] = 0; // a dot: black
        image.maskRow(5)[10] = 0x8000; // a dot: grey 128
        image.maskRow(0)[1] = 0; // not on the dot grid: no dot
        w.view->sourceImageChanged(1);
        const QImage shot = w.viewport()->grab().toImage();
        QCOMPARE(pixelOf(shot, 0, 29), QColor(0, 0, 0));
        QCOMPARE(pixelOf(shot, 10, 24), QColor(128, 128, 128));
        // The picture itself shows elsewhere: BGR (200, 220, 240) is red 240, green 220, blue 200.
        QCOMPARE(pixelOf(shot, 1, 29), QColor(240, 220, 200));
        QCOMPARE(pixelOf(shot, 5, 19), QColor(240, 220, 200));
        // Outside the picture the view is white.
        QCOMPARE(pixelOf(shot, 45, 10), QColor(255, 255, 255));
    }

    void aBoxDragShowsItsSizeAndThenTheButtons()
    {
        Window w(300, 200);
        QVERIFY(w.view);
        QTest::mousePress(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
        QVERIFY(w.view->dragging());
        QVERIFY(w.view->autoScrolling());
        QVERIFY(w.family().sizePopup);
        QCOMPARE(w.family().sizePopup->pos(), QPoint(30, 40));
        QTest::mouseMove(w.viewport(), QPoint(80, 70));
        QCOMPARE(w.family().sizePopup->text(), QString("Size X,Y = 60 ,40"));
        QCOMPARE(w.family().sizePopup->pos(), QPoint(90, 80));
        QCOMPARE(w.view->pointerPosition(), QPoint(80, 70));
        // While dragging the box is outlined to the pointer, dotted black on white, and the
        // mask dots are not drawn.
        const QImage during = w.viewport()->grab().toImage();
        int black = 0;
        for (int x = 20; x < 80; ++x) {
            const QColor c = pixelOf(during, x, 30);
            QVERIFY(c == QColor(0, 0, 0) || c == QColor(255, 255, 255));
            black += c == QColor(0, 0, 0);
        }
        QCOMPARE(black, 30);
        for (int y = 31; y < 69; ++y) {
            QVERIFY(pixelOf(during, 20, y) != QColor(240, 220, 200));
            QVERIFY(pixelOf(during, 79, y) != QColor(240, 220, 200));
        }
        QCOMPARE(pixelOf(during, 80, 50), QColor(240, 220, 200));
        QCOMPARE(pixelOf(during, 50, 50), QColor(240, 220, 200));
        QTest::mouseRelease(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 70));

        QVERIFY(!w.view->dragging());
        QVERIFY(!w.view->autoScrolling());
        QVERIFY(!w.family().sizePopup);
        QCOMPARE(w.view->box(), (SourceBox { 20, 80, 30, 70 }));
        QVERIFY(w.family().buttonsShown());
        const char* names[] = { "crop_prompt", "portion_merge_prompt", "portion_unmerge_prompt",
            "opaque_prompt", "transparent_prompt" };
        const char* tips[]
            = { "crop image", "smooth blend", "smooth unblend", "make opaque", "make transparent" };
        for (int k = 0; k < 5; ++k) {
            picture_button* b = w.button(k);
            QVERIFY(b);
            QCOMPARE(b->objectName(), QString(names[k]));
            QCOMPARE(b->tipText(), QString(tips[k]));
            QVERIFY(b->usesHandCursor());
            QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(b->geometry(), QRect(80 + 5 + 39 * k, 75, 32, 32));
            QCOMPARE(b->parentWidget(), w.viewport());
        }
    }

    void aBoxDraggedBackwardsIsTheSameBox()
    {
        Window w(300, 200);
        w.drag(QPoint(120, 90), QPoint(20, 30));
        QCOMPARE(w.view->box(), (SourceBox { 20, 120, 30, 90 }));
        QVERIFY(w.family().buttonsShown());
        // The buttons sit at the release point.
        QCOMPARE(w.button(0)->geometry().topLeft(), QPoint(25, 35));
        w.button(4)->click();
        QCOMPARE(w.countMask(0), 101 * 61);
        QCOMPARE(w.mask(20, 30), 0);
        QCOMPARE(w.mask(120, 90), 0);
        QCOMPARE(w.mask(121, 90), 65535);

        Window forward(300, 200);
        forward.drag(QPoint(20, 30), QPoint(120, 90));
        forward.button(4)->click();
        QCOMPARE(std::memcmp(forward.doc().image.mask.get(), w.doc().image.mask.get(), 300 * 200 * 2), 0);
    }

    void smallBoxesGetNoButtons_data()
    {
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<bool>("buttons");
        QTest::newRow("9 wide") << QPoint(59, 100) << false;
        QTest::newRow("7 high") << QPoint(100, 57) << false;
        QTest::newRow("10 x 8") << QPoint(60, 58) << true;
        QTest::newRow("a click") << QPoint(50, 50) << false;
    }
    void smallBoxesGetNoButtons()
    {
        QFETCH(QPoint, to);
        QFETCH(bool, buttons);
        Window w(300, 200);
        w.drag(QPoint(50, 50), to);
        QCOMPARE(w.family().buttonsShown(), buttons);
        if (!buttons)
            QCOMPARE(w.view->box(), (SourceBox { to.x(), to.x(), to.y(), to.y() }));
    }

    void theBoxStaysOnThePicture()
    {
        Window w(100, 80);
        w.drag(QPoint(50, 40), QPoint(400, 300));
        QCOMPARE(w.view->box(), (SourceBox { 50, 100, 40, 80 }));
    }

    void buttonsThatWouldNotFitMoveLeftAndUp()
    {
        const QSize client(400, 300);
        QCOMPARE(VAvivedEred::pictureButtonRect(0, QPoint(100, 100), client), QRect(105, 105, 32, 32));
        // Release at x = 250: buttons 3 and 4 end at 404 and 443, past 400.
        QCOMPARE(VAvivedEred::pictureButtonRect(2, QPoint(250, 100), client), QRect(333, 105, 32, 32));
        QCOMPARE(VAvivedEred::pictureButtonRect(3, QPoint(250, 100), client), QRect(372 - 200, 105, 32, 32));
        QCOMPARE(VAvivedEred::pictureButtonRect(4, QPoint(250, 100), client), QRect(411 - 200, 105, 32, 32));
        // Exactly at the edge still fits; one more does not.
        QCOMPARE(VAvivedEred::pictureButtonRect(0, QPoint(363, 263), client), QRect(368, 268, 32, 32));
        QCOMPARE(VAvivedEred::pictureButtonRect(0, QPoint(364, 264), client), QRect(169, 229, 32, 32));

        // In the window: a release near its right edge.
        Window w(3000, 400);
        const int right = w.viewport()->width();
        w.drag(QPoint(right - 150, 20), QPoint(right - 60, 80));
        QVERIFY(w.family().buttonsShown());
        for (int k = 0; k < 5; ++k)
            QCOMPARE(w.button(k)->geometry(),
                VAvivedEred::pictureButtonRect(k, QPoint(right - 60, 80), w.viewport()->size()));
        QCOMPARE(w.button(0)->x(), right - 55);
        QCOMPARE(w.button(1)->x(), right - 55 + 39 - 200);
    }

    void areaToolsChangeTheMaskInTheBox()
    {
        Window w(200, 100);
        // Make transparent on a 10 x 8 box changes 11 x 9 entries.
        w.drag(QPoint(10, 20), QPoint(20, 28));
        QVERIFY(!w.doc().changed);
        QVERIFY(!w.doc().editedInWindow);
        w.button(4)->click();
        QVERIFY(!w.family().buttonsShown());
        QCOMPARE(w.countMask(0), 11 * 9);
        QCOMPARE(w.mask(10, 20), 0);
        QCOMPARE(w.mask(20, 28), 0);
        QVERIFY(w.doc().changed);
        QVERIFY(w.doc().editedInWindow);
        QVERIFY(w.view->areaToolUsed());
        QCOMPARE(w.view->areaOperationCount(), 0);

        // Make opaque on part of it.
        w.drag(QPoint(10, 20), QPoint(20, 28));
        w.button(3)->click();
        QCOMPARE(w.countMask(0), 0);

        // Smooth blend: the centre opaque, the rim where v = 0 untouched.
        w.view->makeAllTransparent();
        QCOMPARE(w.countMask(0), 200 * 100);
        w.drag(QPoint(0, 0), QPoint(100, 50));
        w.button(1)->click();
        QCOMPARE(w.mask(50, 25), 65535);
        QCOMPARE(w.mask(0, 25), 0);
        QCOMPARE(w.mask(100, 25), 0);
        QCOMPARE(w.mask(70, 25), 39321);
        // Smooth unblend over it: the centre keeps its value, the rim turns opaque.
        w.drag(QPoint(0, 0), QPoint(100, 50));
        w.button(2)->click();
        QCOMPARE(w.mask(50, 25), 65535);
        QCOMPARE(w.mask(0, 25), 65535);
        QCOMPARE(w.mask(70, 25), 26214);
        QCOMPARE(w.view->areaOperationCount(), 3);

        // The whole-mask commands sit in the Source menu and on the toolbar, and are not counted.
        QAction* allOpaque = w.view->frame().makeAllOpaque();
        QCOMPARE(w.view->frame().findChild<QAction*>("makeAllOpaque"), allOpaque);
        QVERIFY(allOpaque->isEnabled());
        allOpaque->trigger();
        QCOMPARE(w.countMask(65535), 200 * 100);
        QAction* allTransparent = w.view->frame().makeAllTransparent();
        QCOMPARE(w.view->frame().findChild<QAction*>("makeAllTransparent"), allTransparent);
        QVERIFY(allTransparent->isEnabled());
        allTransparent->trigger();
        QCOMPARE(w.countMask(0), 200 * 100);
        QCOMPARE(w.view->areaOperationCount(), 3);
    }

    void theSeventeenthOperationDoesNothing()
    {
        Window w(100, 60);
        for (int i = 0; i < 16; ++i) {
            w.drag(QPoint(i, 0), QPoint(i + 20, 20));
            w.button(i % 2 ? 3 : 4)->click();
        }
        QCOMPARE(w.view->areaOperationCount(), 15);
        w.view->makeAllOpaque();
        w.doc().changed = false;
        w.drag(QPoint(0, 0), QPoint(90, 50));
        w.button(4)->click();
        QCOMPARE(w.countMask(0), 0);
        QVERIFY(!w.doc().changed);
        QCOMPARE(w.view->areaOperationCount(), 15);
        w.drag(QPoint(0, 0), QPoint(90, 50));
        w.button(1)->click();
        QCOMPARE(w.countMask(65535), 100 * 60);
        // Reload Source starts the count again.
        w.view->resetAreaOperationCount();
        w.drag(QPoint(0, 0), QPoint(90, 50));
        w.button(4)->click();
        QCOMPARE(w.countMask(0), 91 * 51);
    }

    void cropMakesTheBoxTheImage()
    {
        Window w(300, 200);
        w.p.platform->expectMessage(kCropAreaTooSmall);
        w.drag(QPoint(10, 10), QPoint(73, 100));
        w.button(0)->click();
        QCOMPARE(w.doc().imageWidth, 300);
        QVERIFY(w.view->areaToolUsed());
        QCOMPARE(w.view->areaOperationCount(), -1);

        w.drag(QPoint(110, 80), QPoint(10, 10));
        w.button(0)->click();
        QCOMPARE(w.doc().imageWidth, 100);
        QCOMPARE(w.doc().imageHeight, 70);
        QCOMPARE(w.doc().image.width(), 100);
        QCOMPARE(w.doc().image.maskCount, 7000u);
        QVERIFY(w.doc().changed);
        // The view shows the new picture with the new scroll range.
        const QImage shot = w.viewport()->grab().toImage();
        QCOMPARE(pixelOf(shot, 99, 69), QColor(240, 220, 200));
        QCOMPARE(pixelOf(shot, 100, 69), QColor(255, 255, 255));
        QCOMPARE(w.view->horizontalScrollBar()->maximum(), 0);
    }

    // One step in each direction, from the middle of the picture: the view scrolls by as far
    // as the pointer is outside it, and the pointer runs ahead by as much again.
    void autoScrollStepsTowardsEachEdge_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::newRow("right") << 1 << 0;
        QTest::newRow("left") << -1 << 0;
        QTest::newRow("down") << 0 << 1;
        QTest::newRow("up") << 0 << -1;
    }
    void autoScrollStepsTowardsEachEdge()
    {
        QFETCH(int, dx);
        QFETCH(int, dy);
        Window w(3000, 2000);
        QScrollBar* h = w.view->horizontalScrollBar();
        QScrollBar* v = w.view->verticalScrollBar();
        h->setValue(500);
        v->setValue(500);
        const int cw = w.viewport()->width(), ch = w.viewport()->height();
        const QPoint middle(cw / 2, ch / 2);
        QTest::mousePress(w.viewport(), Qt::LeftButton, Qt::NoModifier, middle);
        // 13 pixels past the edge the pointer goes to.
        const QPoint outside(dx > 0 ? cw + 13
                : dx < 0            ? -13
                                    : cw / 2,
            dy > 0       ? ch + 13
                : dy < 0 ? -13
                         : ch / 2);
        QTest::mouseMove(w.viewport(), outside);
        const QPoint before = w.view->pointerPosition();
        w.view->autoScroll();
        QCOMPARE(h->value(), 500 + 13 * dx);
        QCOMPARE(v->value(), 500 + 13 * dy);
        QCOMPARE(w.view->pointerPosition(), before + QPoint(13 * dx, 13 * dy));
        QTest::mouseRelease(w.viewport(), Qt::LeftButton, Qt::NoModifier, middle);
    }

    void autoScrollFollowsThePointerPastTheEdge()
    {
        Window w(3000, 2000);
        QScrollBar* h = w.view->horizontalScrollBar();
        QVERIFY(h->maximum() > 0);
        const int cw = w.viewport()->width();
        QTest::mousePress(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(cw - 50, 40));
        // The pointer 10 pixels beyond the right edge.
        QTest::mouseMove(w.viewport(), QPoint(cw + 10, 40));
        QCOMPARE(w.view->pointerPosition().x(), cw + 10);
        QTRY_VERIFY_WITH_TIMEOUT(h->value() > 0, 1000);
        // One step: scrolled by 10, and the pointer runs 10 ahead.
        QCOMPARE(h->value() >= 10, true);
        QTest::mouseRelease(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(cw - 20, 90));
        QVERIFY(!w.view->autoScrolling());
        QCOMPARE(w.view->box().right, h->value() + cw - 20);
        QCOMPARE(w.view->box().bottom, 90);
        QCOMPARE(w.view->box().left, cw - 50);
    }

    void activationOpensTheTipUntilAToolIsUsed()
    {
        Window w(200, 150);
        MainFrame& frame = w.p.frame();
        flying_tips* tip = frame.sharedWindows().alignTipWindow;
        QVERIFY(tip);
        QCOMPARE(tip->parentWidget(), w.viewport());
        QVERIFY(!tip->painted().isNull());
        QCOMPARE(w.p.workspace.activeSourceNumber, 1);
        QCOMPARE(w.p.workspace.alignView.selectedSource, 1);

        // Hovering repaints the tip with the view's own text; a press removes it.
        const QSize before = tip->size();
        QTest::mouseMove(w.viewport(), QPoint(100, 100));
        QVERIFY(tip->size() != before);
        QTest::mousePress(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QVERIFY(frame.sharedWindows().alignTipWindow.isNull());
        QTest::mouseRelease(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 80));
        QVERIFY(w.family().buttonsShown());

        // Leaving the window removes the buttons; coming back opens the tip again.
        frame.activateChild(w.p.app.alignWindow());
        QVERIFY(!w.family().buttonsShown());
        QCOMPARE(w.p.workspace.activeSourceNumber, -1);
        frame.activateSourceWindow(1);
        QVERIFY(frame.sharedWindows().alignTipWindow);
        frame.activateChild(w.p.app.targetWindow());
        QVERIFY(frame.sharedWindows().alignTipWindow.isNull());

        // After an area tool the tip is no longer offered.
        frame.activateSourceWindow(1);
        w.drag(QPoint(10, 10), QPoint(80, 80));
        w.button(3)->click();
        frame.activateChild(w.p.app.alignWindow());
        frame.activateSourceWindow(1);
        QVERIFY(frame.sharedWindows().alignTipWindow.isNull());
    }

    void pictureButtonsShowTheirTipWhileHovered()
    {
        Window w(300, 200);
        w.drag(QPoint(20, 20), QPoint(100, 100));
        picture_button* b = w.button(1);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(b, &enter);
        QVERIFY(b->tip());
        QVERIFY(!b->tip()->painted().isNull());
        QCOMPARE(b->tip()->geometry().topLeft(), QPoint(b->x(), b->y() + 34));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b, &leave);
        QVERIFY(!b->tip());

        // The target window's zone buttons have no hand cursor.
        int32_t tipsOn = 1;
        prompt save(nullptr, tipsOn);
        print_prompt print(nullptr, tipsOn);
        QCOMPARE(save.tipText(), QString("save zone to file"));
        QCOMPARE(print.tipText(), QString("print zone"));
        QVERIFY(!save.usesHandCursor());
    }

    void aSourceLeftUnprocessedSaysSo()
    {
        Window w(600, 100);
        delete w.p.frame().sharedWindows().alignTipWindow.data();
        w.doc().processedOk = false;
        w.viewport()->update();
        const QImage shot = w.viewport()->grab().toImage();
        // Black text on a white field from (100, 20).
        bool black = false;
        for (int x = 100; x < 400 && !black; ++x)
            for (int y = 20; y < 40 && !black; ++y)
                black = pixelOf(shot, x, y).lightness() < 100;
        QVERIFY(black);
        QCOMPARE(pixelOf(shot, 99, 25), QColor(240, 220, 200));
    }
};

QTEST_MAIN(SourceViewTest)
#include "test_source_view.moc"
