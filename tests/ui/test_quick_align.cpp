// The quick-align strips around the Align preview in the running program: when they exist and
// where they sit, hovering (tip, pale preview, guides) and clicking (nudge, align, own column).
#include "align/quick_align.h"
#include "align/rebuild_preview.h"
#include "align/ui/align_buttons.h"
#include "align/ui/align_view.h"
#include "app/ui/flying_tips.h"
#include "mouse_events.h"
#include "source_program.h"

#include <QTest>

using namespace tessary;
using namespace tessary::uitest;

namespace {

constexpr StripSide kSides[] = { StripSide::Left, StripSide::Right, StripSide::Top, StripSide::Bottom };

struct StripProgram : SourceProgram {
    CAlignview* view() { return app.alignWindow()->view(); }
    CAlignDoc& doc() { return workspace.alignDoc; }
    align_buttons* strip(StripSide side) { return view()->strip(side); }
    void click(StripSide side, QPoint at)
    {
        press(strip(side), at);
        release(strip(side), at);
    }
    bool targetStale() const { return workspace.targetDoc.title == "Target Window - needs updating"; }
};

} // namespace

class QuickAlignTest : public QObject {
    Q_OBJECT
private slots:
    void stripsLiveWhileTwoSourcesHaveAPreview()
    {
        StripProgram p;
        QVERIFY(p.addSource(40, 30));
        for (StripSide side : kSides)
            QVERIFY(!p.strip(side));
        QVERIFY(p.addSource(50, 20));
        QVERIFY(p.addSource(60, 20));
        for (StripSide side : kSides) {
            align_buttons* strip = p.strip(side);
            QVERIFY(strip && strip->isVisible());
            const ViewPoint at = stripPlace(side, p.doc());
            QCOMPARE(strip->geometry(), QRect(at.x, at.y, 40, 24));
        }

        // Hidden while the view is pressed, back in place at the release.
        const QPoint inside(p.doc().previewLeft + 2, p.doc().previewTop + 2);
        press(p.view(), inside);
        for (StripSide side : kSides)
            QVERIFY(!p.strip(side)->isVisible());
        release(p.view(), inside);
        for (StripSide side : kSides)
            QVERIFY(p.strip(side)->isVisible());

        // Closing sources narrows them, and below two removes them.
        p.sources.window(3)->close();
        SourceProgram::settle();
        QCOMPARE(p.strip(StripSide::Top)->width(), 32);
        p.sources.window(2)->close();
        SourceProgram::settle();
        for (StripSide side : kSides)
            QVERIFY(!p.strip(side));
    }

    void selectedColumnIsGrey()
    {
        StripProgram p;
        QVERIFY(p.addSource(40, 30));
        QVERIFY(p.addSource(50, 20));
        QVERIFY(p.addSource(60, 20));
        p.view()->selectSource(2);
        const QImage image = p.strip(StripSide::Left)->grab().toImage();
        QCOMPARE(QColor(image.pixel(26, 2)), QColor(128, 128, 128));
        QVERIFY(QColor(image.pixel(18, 2)) != QColor(128, 128, 128));
        QVERIFY(QColor(image.pixel(34, 2)) != QColor(128, 128, 128));
    }

    void clicksNudgeAndAlign()
    {
        StripProgram p;
        QVERIFY(p.addSource(40, 30));
        QVERIFY(p.addSource(50, 20));
        p.workspace.alignView.nudgeX = 7;
        p.doc().placement[0].posX = 0;
        p.doc().placement[1].posX = 100;
        p.click(StripSide::Right, QPoint(0, 20)); // the arrow: places are normalised after it
        QCOMPARE(p.view()->quickAlignZone(), -1);
        QCOMPARE(p.doc().placement[1].posX, 107);
        QVERIFY(p.targetStale());
        QVERIFY(!p.view()->tipWindow());
        const size_t steps = p.workspace.history.size();
        QCOMPARE(p.workspace.history.undoName(), std::string("Nudge"));

        // The own column changes nothing and records nothing.
        p.workspace.targetDoc.title = "Target Window";
        p.click(StripSide::Left, QPoint(26, 20));
        QCOMPARE(p.doc().placement[1].posX, 107);
        QVERIFY(!p.targetStale());
        QCOMPARE(p.workspace.history.size(), steps);

        // Source 1's column, opposite edge: source 2 ends where source 1 begins.
        p.click(StripSide::Left, QPoint(20, 3));
        QCOMPARE(p.view()->quickAlignZone(), 0);
        QCOMPARE(p.doc().placement[1].posX, 0);
        QCOMPARE(p.doc().placement[0].posX, 50);
        QVERIFY(p.targetStale());
        QCOMPARE(p.view()->workingOutline(), *p.doc().outline[1]);
        QCOMPARE(p.workspace.history.size(), steps + 1);
        QCOMPARE(p.workspace.history.undoName(), std::string("Quick Align"));
    }

    void hoverShowsTipPalePreviewAndGuides()
    {
        StripProgram p;
        QVERIFY(p.addSource(200, 100));
        QVERIFY(p.addSource(100, 50));
        p.doc().placement[0].posX = 0;
        p.doc().placement[0].posY = 0;
        p.doc().placement[1].posX = 300;
        p.doc().placement[1].posY = 200;
        rebuildPreview(p.workspace, *p.platform, 0);

        hoverAt(p.strip(StripSide::Top), QPoint(4, 4));
        QVERIFY(p.view()->tipWindow());
        QCOMPARE(p.doc().previewPale, uint8_t(1));
        QCOMPARE(p.platform->paneText[2], std::string("nudge source 2"));
        QVERIFY(!p.view()->guideOverlay());

        // Over source 1's column: the guides are painted over the pale preview in the view.
        hoverAt(p.strip(StripSide::Top), QPoint(20, 20));
        QCOMPARE(p.platform->paneText[2], std::string("quick align 2"));
        QVERIFY(p.view()->guideOverlay());
        QVERIFY(p.view()->repaintOnReturn());
        const Outline zone = *p.doc().outline[0];
        const QImage image = p.view()->grab().toImage();
        // The dashed line runs along the edge itself; the 3-pixel red pen shows just above it.
        const QPoint onEdge((zone[0].x + zone[1].x) / 2, zone[0].y - 1);
        QCOMPARE(QColor(image.pixel(onEdge)), QColor(255, 0, 0));

        // The own column takes the tip away.
        hoverAt(p.strip(StripSide::Top), QPoint(28, 20));
        QVERIFY(!p.view()->tipWindow());
        QVERIFY(!p.view()->guideOverlay());

        // Back over the view, away from the outline: guides gone and the preview no longer pale.
        hoverAt(p.strip(StripSide::Top), QPoint(20, 5));
        QVERIFY(p.view()->guideOverlay());
        hoverAt(p.view(), QPoint(2, p.view()->height() - 2));
        QVERIFY(!p.view()->repaintOnReturn());
        QVERIFY(!p.view()->guideOverlay());
        QCOMPARE(p.doc().previewPale, uint8_t(0));
    }
};

QTEST_MAIN(QuickAlignTest)
#include "test_quick_align.moc"
