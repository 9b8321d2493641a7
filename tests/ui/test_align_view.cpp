// The Align view on the real widget: drags, hover texts and flying tips, source selection, the
// startup tip pages and the painted screens, checked on the model and on grabbed pixels.
#include "support/placement_columns.h"
#include "align/drag_geometry.h"
#include "align/rebuild_preview.h"
#include "align/rotate_half_extents.h"
#include "align/tip_banner.h"
#include "align/ui/align_child_wnd.h"
#include "align/ui/align_view.h"
#include "app/edit_path.h"
#include "app/ui/app_actions.h"
#include "app/ui/dib_image.h"
#include "app/ui/flying_tips.h"
#include "app/ui/select_toolbar.h"
#include "app/ui/tessary_app.h"
#include "image/bmp_writer.h"
#include "merge/transform_source.h"
#include "merge/ui/dest_child.h"
#include "mouse_events.h"
#include "sources/load_image_file.h"
#include "sources/source_table.h"
#include "ui_fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

using namespace tessary;
using namespace tessary::uitest;

namespace {

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

QColor pixelAt(const QImage& image, QPoint p)
{
    return QColor(image.pixel(p));
}

QPoint qp(ViewPoint p)
{
    return QPoint(p.x, p.y);
}

Outline shifted(Outline o, int dx, int dy)
{
    for (ViewPoint& p : o) {
        p.x += dx;
        p.y += dy;
    }
    return o;
}

// An Align view of a chosen client size inside a main frame that is not shown, with sources
// made through the core: a one-colour BMP written to disk, loaded, and shown as a new source.
struct AlignFixture {
    std::unique_ptr<testing::FakePlatform> platform = makeFakePlatform();
    MergeWorkspace workspace;
    MainFrame frame { workspace, *platform };
    QTemporaryDir dir;
    CAlignview* view = nullptr;

    explicit AlignFixture(QSize size = QSize(1000, 700))
    {
        view = new CAlignview(frame);
        view->resize(size);
        view->show();
        // Painting at once (repaint) needs a window on screen.
        if (!QTest::qWaitForWindowExposed(view))
            QTest::qFail("the Align view was never exposed", __FILE__, __LINE__);
    }
    ~AlignFixture() { delete view; }

    CAlignDoc& doc() { return workspace.alignDoc; }
    int selected() const { return workspace.alignView.selectedSource; }
    const Outline& outline(int number) { return *doc().outline[size_t(number - 1)]; }

    // `colour` is in the order blue, green, red.
    int addSource(int width, int height, BgrColour colour, const std::string& name)
    {
        MaskedDib picture;
        if (allocateMaskedDib(height, width, picture, 24))
            return -1;
        for (int32_t r = 0; r < height; ++r) {
            uint8_t* row = picture.dib->row(r);
            for (int32_t x = 0; x < width; ++x) {
                row[3 * x] = colour.blue;
                row[3 * x + 1] = colour.green;
                row[3 * x + 2] = colour.red;
            }
        }
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        if (!writeBmpFile(*picture.dib, path))
            return -1;
        VIrorozIzi* source = constructSource(workspace);
        if (!source || !loadImageFile(*source, path, *platform))
            return -1;
        source->title = name;
        showNewSource(workspace, *platform, source->number());
        return source->number();
    }

    // Turns source `number` through the core, as the Rotate dialog would.
    void rotate(int number, double degrees)
    {
        doc().placement[size_t(number - 1)].rotation = degrees;
        const int result = transformSource(workspace, *platform, number);
        rebuildPreview(workspace, *platform, result);
    }

    QImage grab() { return view->grab().toImage(); }

    // How many source transformations have run: each names its source in status pane 2.
    int transformations() const
    {
        return int(
            std::count_if(platform->paneHistory.begin(), platform->paneHistory.end(), [](const auto& entry) {
                return entry.first == 2 && entry.second.rfind("process src: ", 0) == 0;
            }));
    }
};

} // namespace

class AlignViewTest : public QObject {
    Q_OBJECT
private slots:
    // ---- drags

    void moveSnapsToWholeStepsAndNeverTransformsAgain_data()
    {
        QTest::addColumn<double>("rotation");
        QTest::newRow("upright") << 0.0;
        QTest::newRow("turned") << 30.0;
    }
    void moveSnapsToWholeStepsAndNeverTransformsAgain()
    {
        QFETCH(double, rotation);
        AlignFixture f;
        f.workspace.alignView.snapMove = 10;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        if (rotation != 0.0)
            f.rotate(2, rotation);
        QCOMPARE(f.selected(), 2);
        const Outline before = f.outline(2);
        const int transformations = f.transformations();
        const double scaleX = f.doc().placement[1].scaleX, scaleY = f.doc().placement[1].scaleY;
        const int32_t posX = f.doc().placement[1].posX, posY = f.doc().placement[1].posY;

        const QPoint start = qp(sideMidpoint(before[0], before[3]));
        press(f.view, start);
        QCOMPARE(f.view->hitZone(), kHitInside);
        dragTo(f.view, start + QPoint(27, -13));
        QCOMPARE(f.view->workingOutline(), shifted(before, 20, -10));
        release(f.view, start + QPoint(27, -13));

        // (20, -10) view pixels: right and up in the layout, at the viewing scale.
        const float s = f.doc().viewScale;
        QCOMPARE(f.doc().placement[1].posX, posX + int32_t(20.0f * s));
        QCOMPARE(f.doc().placement[1].posY, posY + int32_t(10.0f * s));
        QCOMPARE(f.doc().placement[0].posX, 0);
        QCOMPARE(f.doc().placement[1].scaleX, scaleX);
        QCOMPARE(f.doc().placement[1].scaleY, scaleY);
        QCOMPARE(f.transformations(), transformations);
        QCOMPARE(f.workspace.targetDoc.title, std::string("Target Window - needs updating"));
        QVERIFY(!f.view->dragging());
    }

    void eastSideDragWidensByTheRatioOfTheWidths()
    {
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        const Outline before = f.outline(2);
        const int transformations = f.transformations();
        const QPoint east = qp(sideMidpoint(before[1], before[3]));
        press(f.view, east);
        QCOMPARE(f.view->hitZone(), kHitEast);
        dragTo(f.view, east + QPoint(50, 0));
        Outline expected = before;
        expected[1].x += 50;
        expected[3].x += 50;
        QCOMPARE(f.view->workingOutline(), expected);
        release(f.view, east + QPoint(50, 0));

        const int32_t w = before[1].x - before[0].x;
        const int32_t rw = int32_t(std::trunc(double(w + 50) * 1024.0) / double(w));
        QCOMPARE(f.doc().placement[1].scaleX, std::trunc(rw * 1024.0 / 1024.0));
        QCOMPARE(f.doc().placement[1].scaleY, 1024.0);
        QCOMPARE(f.transformations(), transformations + 1);
        QVERIFY(f.workspace.targetDoc.transformed[1].width() > 300);
        // The preview shows the new size: the outline is as wide as it was dragged.
        QVERIFY(std::abs((f.outline(2)[1].x - f.outline(2)[0].x) - (w + 50)) <= 2);
    }

    // A press and release without a move on any handle of a source turned 30 degrees (whose
    // outline sides are not whole pixels) commits nothing: scales, position and angle stay
    // exactly, nothing is transformed and a generated target stays current.
    void aClickThatDoesNotMoveChangesNothing_data()
    {
        QTest::addColumn<int>("handle");
        QTest::newRow("south-east corner") << int(kHitSouthEast);
        QTest::newRow("east side") << int(kHitEast);
        QTest::newRow("north side") << int(kHitNorth);
        QTest::newRow("inside") << int(kHitInside);
        QTest::newRow("rotation handle") << 1;
    }
    void aClickThatDoesNotMoveChangesNothing()
    {
        QFETCH(int, handle);
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(301, 203, { 0, 0, 255 }, "two.bmp"), 2);
        f.rotate(2, 30);
        f.workspace.targetDoc.generated = 1;
        f.workspace.targetDoc.title = "Target Window";
        const Outline o = f.outline(2);
        const QPoint at = handle == kHitSouthEast ? qp(o[3])
            : handle == kHitEast                  ? qp(sideMidpoint(o[1], o[3]))
            : handle == kHitNorth                 ? qp(sideMidpoint(o[0], o[1]))
            : handle == kHitInside                ? qp(sideMidpoint(o[0], o[3]))
                                                  : qp(paintedRotationHandleCentre(o[3], 30.0, 225.0));
        const PerPlace<Placement> before = f.doc().placement;
        const double scaleX = f.doc().placement[1].scaleX, scaleY = f.doc().placement[1].scaleY;
        const int transformations = f.transformations();
        const size_t steps = f.workspace.history.size();
        press(f.view, at);
        QCOMPARE(f.view->hitZone(), handle);
        release(f.view, at);
        QCOMPARE(f.doc().placement[1].scaleX, scaleX);
        QCOMPARE(f.doc().placement[1].scaleY, scaleY);
        QVERIFY(testing::column(f.doc().placement, &Placement::posX) == testing::column(before, &Placement::posX));
        QVERIFY(testing::column(f.doc().placement, &Placement::posY) == testing::column(before, &Placement::posY));
        QCOMPARE(f.doc().placement[1].rotation, 30.0);
        QCOMPARE(f.transformations(), transformations);
        QCOMPARE(f.workspace.targetDoc.generated, 1);
        QCOMPARE(f.workspace.targetDoc.title, std::string("Target Window"));
        QCOMPARE(f.workspace.history.size(), steps);
    }

    void failedTransformationPutsThePlacementBack()
    {
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        const Outline before = f.outline(2);
        const QPoint corner = qp(before[3]);
        press(f.view, corner);
        QCOMPARE(f.view->hitZone(), kHitSouthEast);
        dragTo(f.view, corner + QPoint(40, 30));
        // Esc is held while the source is transformed again, and the user quits.
        f.platform->escapeDownPolls = 1;
        f.platform->expectMessage("Do you really want to quit ?", MessageAnswer::Yes);
        const PerPlace<Placement> placements = f.doc().placement;
        const size_t steps = f.workspace.history.size();
        release(f.view, corner + QPoint(40, 30));
        QVERIFY(f.doc().placement == placements);
        QCOMPARE(f.workspace.targetDoc.transformed[1].width(), 300);
        // The preview is rebuilt as it was, the outline with it, and the status bar says why.
        QCOMPARE(f.doc().previewValid, 1);
        QVERIFY(f.outline(2) == before);
        QCOMPARE(f.workspace.history.size(), steps);
        QCOMPARE(f.platform->statusMessages,
            std::vector<std::string> { "Resize was stopped: every source is placed as it was before." });
    }

    // A whole drag, however many steps the mouse takes, is one step of the history that undo
    // takes back and redo makes again exactly.
    void aWholeDragIsOneStep_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("move") << "Move";
        QTest::newRow("resize") << "Resize";
        QTest::newRow("rotate") << "Rotate";
    }
    void aWholeDragIsOneStep()
    {
        QFETCH(QString, what);
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        const Outline o = f.outline(2);
        const QPoint at = what == "Move" ? qp(sideMidpoint(o[0], o[3]))
            : what == "Resize"          ? qp(o[3])
                                        : qp(paintedRotationHandleCentre(o[1], 0.0, 135.0));
        const PerPlace<Placement> before = f.doc().placement;
        const size_t steps = f.workspace.history.size();
        press(f.view, at);
        for (int step = 1; step <= 4; ++step)
            dragTo(f.view, at + QPoint(10 * step, 8 * step));
        release(f.view, at + QPoint(40, 32));
        const PerPlace<Placement> after = f.doc().placement;
        QVERIFY(after != before);
        QCOMPARE(f.workspace.history.size(), steps + 1);
        QCOMPARE(QString::fromStdString(f.workspace.history.undoName()), what);

        QVERIFY(undoEdit(f.workspace, *f.platform));
        QVERIFY(f.doc().placement == before);
        QCOMPARE(f.workspace.targetDoc.transformed[1].width(), 300);
        QVERIFY(redoEdit(f.workspace, *f.platform));
        QVERIFY(f.doc().placement == after);
    }

    void rotationDragStoresWholeDegrees_data()
    {
        QTest::addColumn<double>("turn");
        QTest::newRow("30 clockwise") << 30.0;
        QTest::newRow("12.7 anticlockwise") << -12.7;
        QTest::newRow("170 clockwise") << 170.0;
    }
    void rotationDragStoresWholeDegrees()
    {
        QFETCH(double, turn);
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        const Outline before = f.outline(2);
        const QPoint handle = qp(paintedRotationHandleCentre(before[1], 0.0, 135.0));
        press(f.view, handle);
        QCOMPARE(f.view->hitZone(), kHitRotateP1);
        QVERIFY(f.view->rotatingNow());

        // Far out along the handle's direction turned by `turn`, so the cursor's rounding does
        // not matter.
        const ViewPoint c = rotationCentre(before);
        const double start = std::atan2(double(handle.y() - c.y), double(handle.x() - c.x));
        const double a = start + turn * kAlignPi / 180.0;
        const QPoint to(
            c.x + int(std::lround(2000 * std::cos(a))), c.y + int(std::lround(2000 * std::sin(a))));
        dragTo(f.view, to);
        const double stored = f.doc().placement[1].rotation;
        QCOMPARE(stored, std::trunc(turn + 0.5));
        // The working outline is the source's rectangle turned about its centre.
        QCOMPARE(rotationCentre(f.view->workingOutline()), c);
        release(f.view, to);
        QVERIFY(!f.view->rotatingNow());
        QCOMPARE(f.doc().placement[1].rotation, stored);
        // Transformed again: the bounding box of the turned source.
        QVERIFY(f.workspace.targetDoc.transformed[1].height() > 200);
    }

    void tipLineClickShowsTheNextTip()
    {
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        const HitZone zone = f.view->hitZone();
        press(f.view, QPoint(400, 10));
        QCOMPARE(f.workspace.tipCounter, 256);
        QCOMPARE(f.view->hitZone(), zone);
        release(f.view, QPoint(400, 10));
        press(f.view, QPoint(300, 10));
        QCOMPARE(f.workspace.tipCounter, 256);
        release(f.view, QPoint(300, 10));
    }

    // ---- hover

    void hoverNamesTheZoneAndShowsAFlyingTip()
    {
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        const Outline o = f.outline(2);
        const QPoint east = qp(sideMidpoint(o[1], o[3])) + QPoint(2, -3);

        hoverAt(f.view, east);
        QCOMPARE(f.platform->paneText[2], std::string("source 2 resize width"));
        QVERIFY(f.view->handlesLit());
        QVERIFY(f.view->tipWindow());
        QCOMPARE(f.view->tipWindow()->pos(), east + QPoint(-200, -40));
        // Sized to its text by showFlyingTip.
        QCOMPARE(f.view->tipWindow()->height(), QFontMetrics(flyingTipFont()).height() + 2);
        QCOMPARE(f.view->cursor().shape(), Qt::PointingHandCursor);

        // A tip stays while the cursor goes from handle to handle.
        flying_tips* tip = f.view->tipWindow();
        hoverAt(f.view, qp(o[0]));
        QCOMPARE(f.platform->paneText[2], std::string("source 2 resize"));
        QCOMPARE(f.view->tipWindow(), tip);

        hoverAt(f.view, qp(sideMidpoint(o[0], o[3])));
        QCOMPARE(f.platform->paneText[2], std::string("source 2 move"));
        QVERIFY(!f.view->tipWindow());
        QVERIFY(!f.view->handlesLit());

        hoverAt(f.view, qp(sideMidpoint(o[0], o[1])));
        QCOMPARE(f.platform->paneText[2], std::string("source 2 resize height"));
        hoverAt(f.view, qp(sideMidpoint(o[0], o[1])) + QPoint(0, 20));
        hoverAt(f.view, qp(paintedRotationHandleCentre(o[2], 0.0, 315.0)));
        QCOMPARE(f.view->hitZone(), kHitRotateP2);
        QCOMPARE(f.platform->paneText[2], std::string("source 2 rotate"));
        QVERIFY(f.view->tipWindow());

        hoverAt(f.view, QPoint(3, 3));
        QCOMPARE(f.view->hitZone(), kHitNothing);
        QCOMPARE(f.platform->paneText[2], std::string());
        QVERIFY(!f.view->tipWindow());
        QVERIFY(!f.view->handlesLit());
    }

    void flyingTipsSwitchedOffLeaveTheTipUnpainted()
    {
        AlignFixture f;
        f.workspace.app.flyingTipsEnabled = 0;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        const QPoint corner = qp(f.outline(2)[1]);
        hoverAt(f.view, corner);
        QVERIFY(f.view->tipWindow());
        QCOMPARE(f.view->tipWindow()->geometry(), QRect(corner + QPoint(-200, 10), corner + QPoint(-1, 23)));
        QVERIFY(f.view->tipWindow()->painted().isNull());
    }

    // ---- selection

    void rightClickAndDigitsSelectSources()
    {
        AlignFixture f;
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 255, 0 }, "two.bmp"), 2);
        QCOMPARE(f.addSource(200, 100, { 0, 0, 255 }, "three.bmp"), 3);
        QCOMPARE(f.selected(), 3);
        select_toolbar* bar = f.frame.selectToolBar();

        press(f.view, QPoint(5, 5), Qt::RightButton);
        release(f.view, QPoint(5, 5), Qt::RightButton);
        QCOMPARE(f.selected(), 1);
        QVERIFY(bar->button(1)->isChecked());
        QCOMPARE(f.view->workingOutline(), f.outline(1));

        f.view->setFocus();
        QTest::keyClick(f.view, Qt::Key_2);
        QCOMPARE(f.selected(), 2);
        QCOMPARE(f.view->workingOutline(), f.outline(2));
        // A digit above the number of sources names an empty place.
        QTest::keyClick(f.view, Qt::Key_5);
        QCOMPARE(f.selected(), 2);
        QTest::keyClick(f.view, Qt::Key_3, Qt::KeypadModifier);
        QCOMPARE(f.selected(), 3);

        bar->refresh(); // as the Align Window does when sources come
        bar->button(1)->trigger();
        QCOMPARE(f.selected(), 1);
        QCOMPARE(f.view->workingOutline(), f.outline(1));

        f.view->documentUpdate(1);
        QCOMPARE(f.selected(), 1);
        press(f.view, QPoint(5, 5), Qt::RightButton);
        QCOMPARE(f.selected(), 2);
    }

    // ---- painting

    void loadingScreenPaintsTheGradient()
    {
        // A client height of 356: bands of (356 - 100) / 128 + 1 = 3 pixels.
        AlignFixture f(QSize(800, 356));
        const QImage shot = f.grab();
        QCOMPARE(pixelAt(shot, QPoint(50, 99)), rgb(192, 208, 240));
        QCOMPARE(pixelAt(shot, QPoint(50, 100)), rgb(192, 208, 240));
        QCOMPARE(pixelAt(shot, QPoint(50, 102)), rgb(192, 208, 240));
        QCOMPARE(pixelAt(shot, QPoint(50, 103)), rgb(191, 207, 239));
        QCOMPARE(pixelAt(shot, QPoint(790, 106)), rgb(190, 206, 238));
        QCOMPARE(pixelAt(shot, QPoint(50, 355)), rgb(192 - 85, 208 - 85, 240 - 85));
        QCOMPARE(f.view->loadImageButton()->geometry(), QRect(100, 90, 80, 48));
        QCOMPARE(f.view->newTextButton()->geometry(), QRect(200, 90, 80, 48));

        // One source: the same background and its own prompts.
        QCOMPARE(f.addSource(40, 30, { 0, 0, 255 }, "one.bmp"), 1);
        QCOMPARE(pixelAt(f.grab(), QPoint(50, 103)), rgb(191, 207, 239));
        QCOMPARE(f.doc().previewValid, 0);
    }

    void previewScreenPaintsStripHatchAndHandles()
    {
        AlignFixture f(QSize(1000, 700));
        QCOMPARE(f.addSource(400, 300, { 0, 0, 255 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 255, 0, 0 }, "two.bmp"), 2);
        f.rotate(1, 30.0);
        const int B = f.view->height(), R = f.view->width();
        QImage shot = f.grab();

        QCOMPARE(pixelAt(shot, QPoint(R - 3, B - 3)), rgb(255, 223, 207));
        QCOMPARE(pixelAt(shot, QPoint(R - 3, B - 30)), rgb(255, 223, 207));
        QCOMPARE(pixelAt(shot, QPoint(178, B - 3)), rgb(255, 204, 136));
        QCOMPARE(pixelAt(shot, QPoint(178, B - 50)), rgb(255, 204, 136));
        QCOMPARE(pixelAt(shot, QPoint(2, B - 3)), rgb(255, 204, 136));
        // Above the strip, the hatch: only white and the hatch colour, and both.
        QSet<QRgb> hatch;
        for (int y = B - 60; y < B - 52; ++y)
            for (int x = R - 40; x < R - 24; ++x)
                hatch.insert(shot.pixel(x, y) & 0xFFFFFF);
        QCOMPARE(hatch, QSet<QRgb>({ 0xFFFFFF, 0x70804F }));
        // The preview itself: near its bottom-left corner only the blue source (both start at
        // (0, 0) of the layout, but source 1 is turned and leaves its box's corners empty).
        const int left = f.doc().previewLeft, bottom = f.doc().previewTop + f.doc().previewHeight - 1;
        QCOMPARE(pixelAt(shot, QPoint(left + 20, bottom - 20)), rgb(0, 0, 255));

        // The strip's first column ends before its second begins at x = 560, whatever the face.
        for (int y = B - 30; y < B; ++y)
            for (int x = 557; x < 560; ++x)
                QVERIFY2(pixelAt(shot, QPoint(x, y)) == rgb(255, 223, 207),
                    qPrintable(QString("%1,%2").arg(x).arg(y - B)));

        // The top line: the tip chosen by the counter on yellow.
        QCOMPARE(pixelAt(shot, QPoint(300, 4)), rgb(255, 255, 64));

        // Handles of the selected source (2): pale blue, green while the cursor is on one.
        const Outline o = f.outline(2);
        const QPoint handles[] = { qp(o[0]), qp(o[3]), qp(sideMidpoint(o[1], o[3])),
            qp(paintedRotationHandleCentre(o[1], 0.0, 135.0)) };
        for (const QPoint& h : handles)
            QCOMPARE(pixelAt(shot, h), rgb(207, 223, 255));
        hoverAt(f.view, handles[2]);
        shot = f.grab();
        for (const QPoint& h : handles)
            QCOMPARE(pixelAt(shot, h), rgb(0, 255, 0));

        // While a rotation is dragged its handles are not painted.
        hoverAt(f.view, QPoint(3, B - 100));
        press(f.view, handles[3]);
        QVERIFY(f.view->rotatingNow());
        shot = f.grab();
        QVERIFY(pixelAt(shot, handles[3]) != rgb(207, 223, 255));
        QCOMPARE(pixelAt(shot, handles[0]), rgb(207, 223, 255));
        release(f.view, handles[3]);
    }

    void topLineFollowsWindowSizeAndTipSetting()
    {
        AlignFixture f(QSize(800, 600));
        QCOMPARE(f.addSource(400, 300, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.addSource(300, 200, { 0, 0, 255 }, "two.bmp"), 2);
        QCOMPARE(pixelAt(f.grab(), QPoint(300, 4)), rgb(255, 255, 64));
        f.view->resize(599, 800);
        QVERIFY(f.view->windowTooSmall());
        QCOMPARE(pixelAt(f.grab(), QPoint(300, 4)), rgb(255, 64, 64));
        QCOMPARE(f.doc().alignViewWidth, 599);
        f.view->resize(600, 400);
        QVERIFY(!f.view->windowTooSmall());
        QCOMPARE(pixelAt(f.grab(), QPoint(300, 4)), rgb(255, 255, 64));
        f.workspace.app.flyingTipsEnabled = 0;
        const QColor off = pixelAt(f.grab(), QPoint(300, 4));
        QVERIFY(off == rgb(255, 255, 255) || off == rgb(112, 128, 79));
    }

    void loadButtonsMoveWithTheSecondSourceAndBack()
    {
        AlignFixture f;
        QCOMPARE(f.addSource(40, 30, { 255, 0, 0 }, "one.bmp"), 1);
        QCOMPARE(f.view->loadImageButton()->geometry(), QRect(100, 90, 80, 48));
        QCOMPARE(f.addSource(40, 30, { 0, 0, 255 }, "two.bmp"), 2);
        QCOMPARE(f.view->loadImageButton()->geometry(), QRect(10, 10, 80, 48));
        QCOMPARE(f.view->newTextButton()->geometry(), QRect(100, 10, 80, 48));
        QCOMPARE(f.addSource(40, 30, { 0, 255, 0 }, "three.bmp"), 3);
        closeSource(f.workspace, *f.platform, 3);
        QCOMPARE(f.view->loadImageButton()->geometry(), QRect(10, 10, 80, 48));
        closeSource(f.workspace, *f.platform, 1);
        QCOMPARE(f.view->loadImageButton()->geometry(), QRect(100, 90, 80, 48));
        QCOMPARE(f.view->newTextButton()->geometry(), QRect(200, 90, 80, 48));
    }

    // The buttons follow their commands.
    void loadButtonsAreEnabledWithTheirCommands()
    {
        AlignFixture f;
        QCOMPARE(f.addSource(40, 30, { 255, 0, 0 }, "one.bmp"), 1);
        QVERIFY(f.view->loadImageButton()->isEnabled());
        QVERIFY(f.view->newTextButton()->isEnabled());
        f.frame.actions().newText->setEnabled(false);
        QVERIFY(!f.view->newTextButton()->isEnabled());
        f.frame.actions().newText->setEnabled(true);
        QVERIFY(f.view->newTextButton()->isEnabled());
    }

    // ---- startup tips

    void startupTipsPageThroughTheBanners()
    {
        AlignFixture f(QSize(1200, 800));
        // A folder holding every banner but the third, and a current folder without any.
        QTemporaryDir banners, elsewhere;
        const QString shipped = QCoreApplication::applicationDirPath();
        for (int page = 0; page < kTipPages; ++page) {
            const QString name = QString::fromStdString(tipBannerFileName(page));
            if (page != 2)
                QVERIFY(QFile::copy(shipped + "/" + name, banners.filePath(name)));
        }
        const QString current = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        f.view->setBannerFolder(banners.path());

        f.view->loadBanner();
        QVERIFY(f.doc().tipBanner);
        QCOMPARE(f.view->tipPageBox()->text(), QString("page 1"));
        const QImage banner = imageFromDib(*f.doc().tipBanner);
        QImage shot = f.grab();
        QCOMPARE(shot.pixel(100 + 40, 150 + 200), banner.pixel(40, 200));
        QCOMPARE(shot.pixel(100 + 600, 150 + 100), banner.pixel(600, 100));

        // Previous on page 1 stays there.
        QTest::mouseClick(f.view->previousTipButton(), Qt::LeftButton);
        QCOMPARE(f.view->tipPage(), 0);
        QVERIFY(f.doc().tipBanner);

        QTest::mouseClick(f.view->nextTipButton(), Qt::LeftButton);
        QCOMPARE(f.view->tipPageBox()->text(), QString("page 2"));
        f.platform->expectMessage(kTipBannerFailedText);
        QTest::mouseClick(f.view->nextTipButton(), Qt::LeftButton);
        QCOMPARE(f.view->tipPageBox()->text(), QString("page 3"));
        QVERIFY(!f.doc().tipBanner);
        // No picture: the gradient shows where the banner was.
        QCOMPARE(pixelAt(f.grab(), QPoint(140, 360)), pixelAt(f.grab(), QPoint(40, 360)));
        QTest::mouseClick(f.view->nextTipButton(), Qt::LeftButton);
        QCOMPARE(f.view->tipPageBox()->text(), QString("page 4"));
        QVERIFY(f.doc().tipBanner);
        for (int i = 0; i < 4; ++i)
            QTest::mouseClick(f.view->nextTipButton(), Qt::LeftButton);
        QCOMPARE(f.view->tipPage(), 6);
        QCOMPARE(f.view->tipPageBox()->text(), QString("page 7"));

        // Once a source is loaded the pages stand still and no banner is drawn.
        QCOMPARE(f.addSource(40, 30, { 255, 0, 0 }, "one.bmp"), 1);
        QVERIFY(!f.view->nextTipButton()->isEnabled());
        QVERIFY(!f.view->previousTipButton()->isEnabled());
        f.view->previousStartupTip();
        QCOMPARE(f.view->tipPage(), 6);
        shot = f.grab();
        QCOMPARE(pixelAt(shot, QPoint(140, 360)), pixelAt(shot, QPoint(40, 360)));
        QDir::setCurrent(current);
    }

    // ---- inside the program

    void alignWindowOfTheProgram()
    {
        auto platform = makeFakePlatform();
        MergeWorkspace workspace;
        FakeSourceLayer sources { workspace, nullptr, {} };
        CTessaryApp app(*platform, workspace, [&](const std::string& path) { return sources.open(path); });
        app.start({ "tessary" });
        CAlignview* view = app.alignWindow()->view();
        QVERIFY(view);
        // The first banner, from beside the program, was loaded with the Align document.
        QVERIFY(workspace.alignDoc.tipBanner);
        QCOMPARE(view->tipPageBox()->text(), QString("page 1"));
        QCOMPARE(workspace.alignDoc.alignViewWidth, view->width());

        QMenu* align = menuNamed(app.mainFrame()->menuBar(), "&Align");
        QVERIFY(align);
        QAction* next = entry(align, "Next startup tip");
        QVERIFY(next && next->isEnabled());
        QVERIFY(entry(align, "Previous startup tip")->isEnabled());
        next->trigger();
        QCOMPARE(view->tipPageBox()->text(), QString("page 2"));
        for (const char* disabled : { "Sizes...", "Collage...", "Rotate...", "Mirror horizontally",
                 "Edit text...", "Paste", "Reset size of selected source" })
            QVERIFY2(!entry(align, disabled)->isEnabled(), disabled);
        QVERIFY(entry(align, "nudge factor...")->isEnabled());

        // The load button runs the open command of the application.
        platform->openAnswers.push_back(std::nullopt);
        QTest::mouseClick(view->loadImageButton(), Qt::LeftButton);
        QCOMPARE(platform->openRequests.size(), size_t(1));

        VIrorozIzi* source = constructSource(workspace);
        QVERIFY(source);
        QVERIFY(!next->isEnabled());
        QVERIFY(!view->nextTipButton()->isEnabled());
    }

    void activationTransformsChangedSourcesAgain()
    {
        auto platform = makeFakePlatform();
        MergeWorkspace workspace;
        CTessaryApp app(*platform, workspace, [](const std::string&) { return false; });
        app.start({ "tessary" });
        for (int i = 0; i < 2; ++i) {
            VIrorozIzi* source = constructSource(workspace);
            QVERIFY(source && !allocateMaskedDib(60, 80, source->image, 24));
            source->imageWidth = 80;
            source->imageHeight = 60;
            QCOMPARE(showNewSource(workspace, *platform, source->number()), 0);
        }
        QCOMPARE(workspace.alignDoc.previewValid, 1);
        CAlignview* view = app.alignWindow()->view();
        QCOMPARE(view->loadImageButton()->geometry(), QRect(10, 10, 80, 48));

        // Source 1 was edited in its window: back in the Align Window it is transformed again.
        app.mainFrame()->activateChild(app.targetWindow());
        workspace.targetDoc.title = "Target Window";
        workspace.source(1)->changed = true;
        platform->paneHistory.clear();
        app.mainFrame()->activateChild(app.alignWindow());
        const auto transformed = [&](const std::string& text) {
            return std::count(
                platform->paneHistory.begin(), platform->paneHistory.end(), std::make_pair(2, text));
        };
        QCOMPARE(transformed("process src: 1"), 1);
        QCOMPARE(transformed("process src: 2"), 0);
        QVERIFY(!workspace.source(1)->changed);
        QCOMPARE(workspace.targetDoc.title, std::string("Target Window - needs updating"));

        // Nothing changed: nothing is transformed.
        app.mainFrame()->activateChild(app.targetWindow());
        platform->paneHistory.clear();
        app.mainFrame()->activateChild(app.alignWindow());
        QCOMPARE(transformed("process src: 1"), 0);
    }

    // ---- how long a drag step takes (run with TESSARY_ALIGN_TIMING=1)

    void dragStepTiming_data()
    {
        QTest::addColumn<bool>("stacked");
        QTest::newRow("grid of 4 x 2") << false;
        QTest::newRow("stacked") << true;
    }
    void dragStepTiming()
    {
        QFETCH(bool, stacked);
        if (qEnvironmentVariableIsEmpty("TESSARY_ALIGN_TIMING"))
            QSKIP("timing only on request (TESSARY_ALIGN_TIMING=1): eight 4000 x 3000 sources");
        AlignFixture f(QSize(1280, 800));
        for (int i = 0; i < 8; ++i) {
            VIrorozIzi* source = constructSource(f.workspace);
            QVERIFY(source);
            QVERIFY(!allocateMaskedDib(3000, 4000, source->image, 24));
            for (int32_t r = 0; r < 3000; ++r)
                std::fill_n(source->image.dib->row(r), 12000, uint8_t(30 * i + r % 200));
            source->imageWidth = 4000;
            source->imageHeight = 3000;
            source->title = "big" + std::to_string(i + 1);
            f.doc().placement[size_t(i)].posX = stacked ? 0 : (i % 4) * 3000;
            f.doc().placement[size_t(i)].posY = stacked ? 0 : (i / 4) * 2000;
            QCOMPARE(showNewSource(f.workspace, *f.platform, source->number()), 0);
        }
        QElapsedTimer timer;
        timer.start();
        const int rebuilds = 5;
        for (int i = 0; i < rebuilds; ++i)
            rebuildPreview(f.workspace, *f.platform, 0);
        const double rebuildMs = double(timer.nsecsElapsed()) / 1e6 / rebuilds;
        const QString preview = QString("%1 x %2 at scale %3")
                                    .arg(f.doc().previewWidth)
                                    .arg(f.doc().previewHeight)
                                    .arg(double(f.doc().viewScale), 0, 'g', 4);

        const Outline o = f.outline(8);
        const QPoint start = qp(sideMidpoint(o[0], o[3]));
        press(f.view, start);
        QCOMPARE(f.view->hitZone(), kHitInside);
        const int steps = 50;
        timer.restart();
        for (int i = 1; i <= steps; ++i)
            dragTo(f.view, start + QPoint(i, i / 2));
        const double stepMs = double(timer.nsecsElapsed()) / 1e6 / steps;
        release(f.view, start + QPoint(steps, steps / 2));
        qInfo("view %d x %d, preview %s: rebuildPreview %.1f ms, drag-step repaint %.2f ms", f.view->width(),
            f.view->height(), qPrintable(preview), rebuildMs, stepMs);
        QVERIFY(stepMs < 50.0);
    }
};

QTEST_MAIN(AlignViewTest)
#include "test_align_view.moc"
