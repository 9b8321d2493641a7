// The road of one merge through the real windows: two files opened with Open Image, the second
// source dragged in the Align view, "Load Target" in the Target Window, a zone selected and
// saved as PNG through its button; the saved pixels are checked against the two files.
#include "align/outline_hit_test.h"
#include "align/ui/align_view.h"
#include "image/cx_image.h"
#include "source_program.h"
#include "target_fixtures.h"

using namespace tessary;
using namespace tessary::uitest;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Source files: pixel (x, stored row r) of source n.
BgrColour fileColour(int n, int32_t x, int32_t r)
{
    return BgrColour { uint8_t(n == 1 ? 40 : 200), uint8_t((x * 2 + n * 30) % 256),
        uint8_t((r * 3 + 7) % 256) };
}

} // namespace

class TargetRoadTest : public QObject {
    Q_OBJECT
private slots:
    void openDragGenerateSelectAndSaveAZone()
    {
        SourceProgram p;
        const int32_t w = 200, h = 150;
        for (int n : { 1, 2 }) {
            const std::string path = p.writeBmp("file" + std::to_string(n) + ".bmp", w, h,
                [n](int32_t x, int32_t r) { return fileColour(n, x, r); });
            QCOMPARE(p.openImage(path), OpenResult::Created);
        }
        QCOMPARE(p.workspace.sourceCount, 2);

        // Drag source 2 (selected after its loading) right and down in the Align view.
        CAlignview* align = p.app.alignWindow()->findChild<CAlignview*>();
        QVERIFY(align);
        p.frame().activateChild(p.app.alignWindow());
        QCOMPARE(p.workspace.alignView.selectedSource, 2);
        const Outline outline = *p.workspace.alignDoc.outline[1];
        const QPoint start(sideMidpoint(outline[0], outline[3]).x, sideMidpoint(outline[0], outline[3]).y);
        sendMouse(align, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        sendMouse(align, QEvent::MouseMove, start + QPoint(120, 80), Qt::NoButton, Qt::LeftButton);
        sendMouse(align, QEvent::MouseMove, start + QPoint(240, 160), Qt::NoButton, Qt::LeftButton);
        sendMouse(align, QEvent::MouseButtonRelease, start + QPoint(240, 160), Qt::LeftButton, Qt::NoButton);
        const CAlignDoc& doc = p.workspace.alignDoc;
        QVERIFY(doc.placement[1].posX > 0);
        QCOMPARE(p.workspace.targetDoc.title, std::string("Target Window - needs updating"));

        // The Target Window: "Load Target".
        CDestchild* targetWindow = p.app.targetWindow();
        p.frame().activateChild(targetWindow);
        CDestview& view = *targetWindow->view();
        QVERIFY(view.loadTargetButton());
        QTest::mouseClick(view.loadTargetButton(), Qt::LeftButton);
        const CDestdoc& target = p.workspace.targetDoc;
        QCOMPARE(target.generated, 1);
        QCOMPARE(targetWindow->windowTitle(), QString("Target Window"));
        // Dragged right and down: source 2's bottom edge sits below source 1's, so source 1
        // is lifted by the same amount in the layout.
        const int32_t W = std::max(doc.placement[0].posX + w, doc.placement[1].posX + w);
        const int32_t H = std::max(doc.placement[0].posY + h, doc.placement[1].posY + h);
        QCOMPARE(target.targetImage->width(), W);
        QCOMPARE(target.targetImage->height(), H);

        // A zone over both sources, saved as PNG through the zone's button.
        const QPoint from(10, 10), to(W - 10, H - 10);
        QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view.viewport(), to);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(target.zoneSelected, 1);
        QVERIFY(view.zoneSaveButton());
        const std::string saved = p.folder.filePath("zone").toStdString();
        p.platform->saveAnswers.push_back(FileDialogResult { saved, 3 });
        QTest::mouseClick(view.zoneSaveButton(), Qt::LeftButton);
        QCOMPARE(target.zoneSelected, 0);

        CxImage zone(saved + ".png", CXIMAGE_FORMAT_PNG);
        QVERIFY(zone.IsValid());
        QCOMPARE(zone.GetWidth(), W - 20);
        QCOMPARE(zone.GetHeight(), H - 20);
        // Every pixel that one source alone covers is that file's pixel; where both cover, the
        // average lies between them; where none does, the black background.
        int alone = 0, both = 0, none = 0;
        for (int32_t y = 0; y < H - 20; ++y) {
            const uint8_t* row = zone.GetBits(uint32_t(H - 20 - 1 - y));
            for (int32_t x = 0; x < W - 20; ++x) {
                const int32_t tx = x + 10, ty = y + 10;
                std::vector<BgrColour> covering;
                for (int n : { 1, 2 }) {
                    const int32_t u = tx - doc.placement[size_t(n - 1)].posX;
                    // Display row within the source, then its stored row.
                    const int32_t v = ty - (H - doc.placement[size_t(n - 1)].posY - h);
                    if (u >= 0 && u < w && v >= 0 && v < h)
                        covering.push_back(fileColour(n, u, h - 1 - v));
                }
                const BgrColour got { row[3 * x], row[3 * x + 1], row[3 * x + 2] };
                if (covering.empty()) {
                    QCOMPARE(got, (BgrColour { 0, 0, 0 }));
                    ++none;
                } else if (covering.size() == 1) {
                    if (got != covering[0])
                        QFAIL(qPrintable(QString("pixel %1,%2 differs from its file").arg(tx).arg(ty)));
                    ++alone;
                } else {
                    QVERIFY(got.blue > 40 && got.blue < 200);
                    ++both;
                }
            }
        }
        QVERIFY(alone > 1000 && both > 1000 && none > 100);
    }
};

QTEST_MAIN(TargetRoadTest)
#include "test_target_road.moc"
