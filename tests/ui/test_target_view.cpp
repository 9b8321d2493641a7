// The Target view on its own window: drawing at the viewing size, the empty window, the Load
// Target button and its tip, the zone drag with its pop-up, snapping, limits and buttons, the
// pointer position, the right click and the auto-scroll timer.
#include "align/mark_target_stale.h"
#include "app/ui/flying_tips.h"
#include "merge/target_view_paint.h"
#include "merge/target_zone.h"
#include "merge/ui/dest_coords.h"
#include "merge/ui/target_buttons.h"
#include "target_fixtures.h"

#include <QLabel>
#include <QScrollBar>

using namespace tessary;
using namespace tessary::uitest;

namespace {

QColor at(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

bool isHatch(const QColor& c)
{
    return c == QColor(71, 128, 207) || c == QColor(Qt::white);
}

// The pixels from `from` to `to` (a row or a column) are a line of black dots on white.
bool dotted(const QImage& image, QPoint from, QPoint to)
{
    const QPoint step((to.x() > from.x()) - (to.x() < from.x()), (to.y() > from.y()) - (to.y() < from.y()));
    int black = 0, white = 0;
    for (QPoint p = from;; p += step) {
        const QColor c = at(image, p.x(), p.y());
        if (c == QColor(Qt::black))
            ++black;
        else if (c == QColor(Qt::white))
            ++white;
        else
            return false;
        if (p == to)
            break;
    }
    return black > 3 && white > 3;
}

} // namespace

class TargetViewTest : public QObject {
    Q_OBJECT
private slots:
    void emptyWindowShowsItsGuidanceAndNoButtonUntilInvalidated()
    {
        TargetWindow t;
        QCOMPARE(t.window->windowTitle(), QString("Target Window"));
        QVERIFY(!t.view().loadTargetButton());
        QImage shot = t.viewport()->grab().toImage();
        QCOMPARE(at(shot, 3, 3), QColor(224, 240, 240));
        const int bottom = shot.height();
        const int band = (bottom - 100) / 128 + 1;
        QCOMPARE(at(shot, 3, 100 + band * 10 + 1), QColor(214, 230, 230));

        t.addSource(120, 90, 0, 0);
        t.addSource(120, 90, 100, 0);
        markTargetStale(t.workspace);
        QCOMPARE(t.window->windowTitle(), QString("Target Window - needs updating"));
        bitmap_target_button* button = t.view().loadTargetButton();
        QVERIFY(button);
        QCOMPARE(button->geometry(), QRect(30, 100, 170, 57));
        QCOMPARE(button->parentWidget(), t.viewport());
        QCOMPARE(button->grab().toImage().size(), QSize(170, 57));
        QVERIFY(!t.command("saveAs")->isEnabled());

        // Invalidating again replaces the button.
        markTargetStale(t.workspace);
        QVERIFY(t.view().loadTargetButton() && t.view().loadTargetButton() != button);
    }

    void loadTargetTipOpensOverTheButtonAndClosesOverTheView()
    {
        TargetWindow t;
        t.workspace.app.flyingTipsEnabled = 1;
        t.twoSourcesSideBySide(200, 100);
        markTargetStale(t.workspace);
        QTest::mouseMove(t.view().loadTargetButton(), QPoint(20, 20));
        QPointer<flying_tips> tip = t.view().openTip();
        QVERIFY(tip);
        QCOMPARE(tip->pos(), QPoint(30, 200));
        QVERIFY(!tip->painted().isNull());
        // A second move over the button keeps the one tip.
        QTest::mouseMove(t.view().loadTargetButton(), QPoint(40, 30));
        QCOMPARE(t.view().openTip(), tip.data());
        QTest::mouseMove(t.viewport(), QPoint(400, 300));
        QVERIFY(tip.isNull());
        // It is the Align Window's open tip: another window's tip there closes the same way.
        QTest::mouseMove(t.view().loadTargetButton(), QPoint(20, 20));
        QCOMPARE(t.frame->sharedWindows().alignTipWindow.data(), t.view().openTip());
        QPointer<flying_tips> other = new flying_tips(t.frame.get(), QRect(0, 0, 10, 10));
        delete t.frame->sharedWindows().alignTipWindow.data();
        t.frame->sharedWindows().alignTipWindow = other;
        QTest::mouseMove(t.viewport(), QPoint(420, 300));
        QVERIFY(other.isNull());

        t.workspace.app.flyingTipsEnabled = 0;
        QTest::mouseMove(t.view().loadTargetButton(), QPoint(20, 20));
        QVERIFY(!t.view().openTip());
    }

    void loadTargetDrawsTheTargetAtHalfSizeWithTheHatchedSurround()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(400, 300);
        t.workspace.targetDoc.viewPercentX = t.workspace.targetDoc.viewPercentY = 50;
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        QCOMPARE(t.workspace.targetDoc.viewWidth, 200);
        QCOMPARE(t.workspace.targetDoc.viewHeight, 150);
        QCOMPARE(t.window->windowTitle(), QString("Target Window"));
        QVERIFY(!t.view().loadTargetButton());
        t.window->updateActions();
        QVERIFY(t.command("saveAs")->isEnabled() && t.command("saveTilesAs")->isEnabled());

        const QImage shot = t.viewport()->grab().toImage();
        // View pixel (v) shows target pixel (2v): pixels are dropped, never blended.
        for (QPoint v : { QPoint(0, 0), QPoint(10, 7), QPoint(99, 149), QPoint(100, 0), QPoint(199, 149) })
            QCOMPARE(at(shot, v.x(), v.y()), TargetWindow::targetColour(400, 2 * v.x(), 2 * v.y()));
        // Right of and below the picture: the cross-hatch, with lines in (71, 128, 207).
        bool line = false;
        for (int x = 200; x < 240; ++x)
            for (int y = 0; y < 150; ++y) {
                QVERIFY2(isHatch(at(shot, x, y)), qPrintable(QString("%1,%2").arg(x).arg(y)));
                line = line || at(shot, x, y) == QColor(71, 128, 207);
            }
        QVERIFY(line);
        for (int x = 0; x < 300; x += 7)
            QVERIFY(isHatch(at(shot, x, 160)));
        QCOMPARE(t.view().horizontalScrollBar()->maximum(), 0);
    }

    void aZoneAtHalfSizeCoversTwiceItsViewPixels()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(400, 300);
        t.workspace.targetDoc.viewPercentX = t.workspace.targetDoc.viewPercentY = 50;
        markTargetStale(t.workspace);
        t.pressLoadTarget();

        QString during;
        t.drag(QPoint(20, 10), QPoint(100, 120), [&] {
            QVERIFY(t.view().dragging());
            QCOMPARE(t.workspace.targetDoc.zoneSelected, 1);
            QVERIFY(t.view().coordsPopup());
            during = t.view().coordsPopup()->text();
            // The rubber band: a dotted black on white outline.
            const QImage shot = t.viewport()->grab().toImage();
            QVERIFY(dotted(shot, QPoint(20, 10), QPoint(20, 119)));
            QVERIFY(dotted(shot, QPoint(20, 119), QPoint(99, 119)));
        });
        QCOMPARE(during, QString("Zone size X,Y = 160 ,220"));
        QVERIFY(!t.view().coordsPopup());
        QVERIFY(!t.view().dragging());
        QCOMPARE(t.workspace.targetView.zoneAnchor, (ViewPoint { 20, 10 }));
        QCOMPARE(t.workspace.targetView.zoneCorner, (ViewPoint { 100, 120 }));
        QCOMPARE(t.workspace.targetDoc.zoneSelected, 1);
        QCOMPARE(zoneImageRect(t.workspace.targetView.zoneAnchor, t.workspace.targetView.zoneCorner, 50, 50),
            (ImageRect { 40, 20, 160, 220 }));
        // The zone buttons beside the release point.
        QVERIFY(t.view().zoneSaveButton() && t.view().zonePrintButton());
        QCOMPARE(t.view().zoneSaveButton()->geometry(), QRect(105, 125, 16, 16));
        QCOMPARE(t.view().zonePrintButton()->geometry(), QRect(124, 125, 16, 16));
        // The outline stays.
        const QImage shot = t.viewport()->grab().toImage();
        QVERIFY(dotted(shot, QPoint(20, 10), QPoint(99, 10)));
        QVERIFY(dotted(shot, QPoint(99, 10), QPoint(99, 119)));
        QCOMPARE(at(shot, 100, 60), TargetWindow::targetColour(400, 200, 120));
        QCOMPARE(at(shot, 60, 30), TargetWindow::targetColour(400, 120, 60));
        t.frame->refreshStatusText();
        QCOMPARE(t.frame->pane(1)->text(), QString("Print/Save from zone"));

        // The pointer over a zone button names it in pane 2.
        QTest::mouseMove(t.view().zoneSaveButton(), QPoint(8, 8));
        QCOMPARE(t.paneText(2), QString("save zone to file"));
        QTest::mouseMove(t.view().zonePrintButton(), QPoint(8, 8));
        QCOMPARE(t.paneText(2), QString("print zone"));

        // A right click drops the zone.
        QTest::mouseClick(t.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
        QCOMPARE(t.workspace.targetDoc.zoneSelected, 0);
        QCOMPARE(t.workspace.targetView.zoneAnchor, ViewPoint {});
        QCOMPARE(t.workspace.targetView.zoneCorner, ViewPoint {});
        QVERIFY(!t.view().zoneSaveButton() && !t.view().zonePrintButton());
        t.frame->refreshStatusText();
        QCOMPARE(t.frame->pane(1)->text(), QString("Actual target size = 400 X 300"));
    }

    void aZoneUnder64PixelsIsRefused()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(400, 300);
        t.workspace.targetDoc.viewPercentX = t.workspace.targetDoc.viewPercentY = 50;
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        QString during;
        // 31 view pixels wide: 62 target pixels.
        t.drag(QPoint(20, 10), QPoint(51, 120), [&] { during = t.view().coordsPopup()->text(); });
        QCOMPARE(during, QString("Zone too small"));
        QCOMPARE(t.workspace.targetDoc.zoneSelected, 0);
        QCOMPARE(t.workspace.targetView.zoneAnchor, (ViewPoint { 51, 120 }));
        QCOMPARE(t.workspace.targetView.zoneCorner, (ViewPoint { 51, 120 }));
        QVERIFY(!t.view().zoneSaveButton());
    }

    void snapGrid16PutsTheCornersOnMultiplesOf16()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(400, 300);
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        t.command("snapTo16")->trigger();
        QCOMPARE(t.workspace.targetView.snapGrid, 16);
        t.drag(QPoint(21, 37), QPoint(203, 131));
        QCOMPARE(t.workspace.targetView.zoneAnchor, (ViewPoint { 16, 32 }));
        QCOMPARE(t.workspace.targetView.zoneCorner, (ViewPoint { 192, 128 }));
        // Past the picture the corner stops at the snapped picture size.
        t.drag(QPoint(5, 5), QPoint(700, 500));
        QCOMPARE(t.workspace.targetView.zoneAnchor, (ViewPoint { 0, 0 }));
        QCOMPARE(t.workspace.targetView.zoneCorner, (ViewPoint { 400, 288 }));
        t.command("snapTo5")->trigger();
        QCOMPARE(t.workspace.targetView.snapGrid, 5);
    }

    void zoneButtonsNearTheRightEdgeGoLeftOfThePointer()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(1600, 300);
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        const int right = t.viewport()->width();
        QVERIFY(right < 1600);
        const int x = right - 10;
        t.drag(QPoint(100, 20), QPoint(x, 200));
        QVERIFY(t.view().zoneSaveButton());
        QCOMPARE(t.view().zoneSaveButton()->geometry(), QRect(x - 75, 205, 16, 16));
        QCOMPARE(t.view().zonePrintButton()->geometry(), QRect(x - 56, 205, 16, 16));
        // A new press removes them.
        QTest::mousePress(t.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
        QVERIFY(!t.view().zoneSaveButton() && !t.view().zonePrintButton());
        QTest::mouseRelease(t.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    }

    void pointerPositionCountsFromTheBottomLeft()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(400, 300);
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        t.hover(QPoint(0, 0));
        QCOMPARE(t.paneText(2), QString("x = 1 y = 300"));
        t.hover(QPoint(0, 299));
        QCOMPARE(t.paneText(2), QString("x = 1 y = 1"));
        t.hover(QPoint(399, 0));
        QCOMPARE(t.paneText(2), QString("x = 400 y = 300"));
    }

    void theTimerAdvancesTheTipCounterAndScrollsDuringADrag()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(3000, 2000);
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        const int before = t.workspace.tipCounter;
        QTRY_VERIFY_WITH_TIMEOUT(t.workspace.tipCounter >= before + 3, 2000);

        const QSize client = t.viewport()->size();
        QCOMPARE(t.view().horizontalScrollBar()->maximum(), 3000 - client.width());
        QTest::mousePress(t.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QTest::mouseMove(t.viewport(), QPoint(client.width() + 30, 60));
        QVERIFY(t.view().autoScrolling());
        // The view follows the corner, which runs on ahead.
        QTRY_VERIFY_WITH_TIMEOUT(t.view().horizontalScrollBar()->value() >= 30, 2000);
        QVERIFY(t.view().dragPoint().x > client.width() + 30);
        QCOMPARE(t.view().verticalScrollBar()->value(), 0);
        QTest::mouseRelease(t.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(client.width() - 1, 300));
        QVERIFY(!t.view().autoScrolling());
        const int scrolled = t.view().horizontalScrollBar()->value();
        // The release point counts with the scroll position.
        QCOMPARE(t.workspace.targetView.zoneCorner, (ViewPoint { client.width() - 1 + scrolled, 300 }));
        QTest::qWait(3 * CDestview::kTimerIntervalMs);
        QCOMPARE(t.view().horizontalScrollBar()->value(), scrolled);
    }

    void invalidationRemovesTheZoneAndItsButtons()
    {
        TargetWindow t;
        t.twoSourcesSideBySide(400, 300);
        markTargetStale(t.workspace);
        t.pressLoadTarget();
        t.drag(QPoint(10, 10), QPoint(200, 200));
        QVERIFY(t.view().zoneSaveButton());
        markTargetStale(t.workspace);
        QVERIFY(!t.view().zoneSaveButton() && !t.view().zonePrintButton());
        QCOMPARE(t.workspace.targetView.zoneCorner, ViewPoint {});
        QCOMPARE(t.workspace.targetDoc.generated, 0);
        QVERIFY(t.view().loadTargetButton());
        t.frame->refreshStatusText();
        QCOMPARE(t.frame->pane(1)->text(), QString("Target needs updating"));
        // No zone without a generated target.
        t.drag(QPoint(10, 10), QPoint(200, 200));
        QCOMPARE(t.workspace.targetView.zoneCorner, ViewPoint {});
        QVERIFY(!t.view().coordsPopup());
    }
};

QTEST_MAIN(TargetViewTest)
#include "test_target_view.moc"
