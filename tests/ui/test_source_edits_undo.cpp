// Every change a source window makes to its source's image is one undo step named after its
// command: undo gives the source exactly the pixels and mask it had before, redo those after,
// and closing a source drops its steps while later sources' steps follow the renumbering.
#include "app/edit_path.h"
#include "app/history.h"
#include "app/ui/child_frame.h"
#include "source_program.h"
#include "sources/ui/picture_buttons.h"

#include <QFile>
#include <chrono>
#include <cstring>
#include <functional>

using namespace tessary;
using namespace tessary::uitest;

namespace {

// Pixels and mask compared byte for byte (an opaque fact and 65535s read alike).
bool sameBytes(const MaskedDib& a, const MaskedDib& b)
{
    if (a.empty() || b.empty())
        return a.empty() == b.empty();
    if (a.dib->size() != b.dib->size()
        || std::memcmp(std::as_const(*a.dib).data(), std::as_const(*b.dib).data(), a.dib->size()) != 0)
        return false;
    if (a.maskCount != b.maskCount)
        return false;
    for (int32_t r = 0; r < a.height(); ++r)
        if (std::memcmp(a.maskRow(r), b.maskRow(r), size_t(a.width()) * sizeof(uint16_t)) != 0)
            return false;
    return true;
}

struct Program {
    SourceProgram p;

    VAvivedEred* view(int number) { return p.sources.view(number); }
    const MaskedDib& image(int number) { return p.workspace.source(number)->image; }
    // Drags a box over the middle of source `number`'s window and clicks picture button k.
    void boxCommand(int number, int k)
    {
        VAvivedEred* v = view(number);
        p.frame().activateSourceWindow(number);
        const auto mouse = [v](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), v->viewport()->mapToGlobal(QPointF(at)), button, held,
                Qt::NoModifier);
            QApplication::sendEvent(v->viewport(), &event);
        };
        mouse(QEvent::MouseButtonPress, QPoint(10, 8), Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, QPoint(60, 50), Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, QPoint(90, 80), Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, QPoint(90, 80), Qt::LeftButton, Qt::NoButton);
        p.sources.family().buttons[size_t(k)]->click();
        SourceProgram::settle();
    }
    void trigger(int number, const char* action)
    {
        p.frame().activateSourceWindow(number);
        p.sources.window(number)->findChild<QAction*>(action)->trigger();
    }
    bool undo() { return undoEdit(p.workspace, *p.platform); }
    bool redo() { return redoEdit(p.workspace, *p.platform); }
};

struct Command {
    const char* step;
    std::function<void(Program&)> run;
};

} // namespace

class SourceEditsUndoTest : public QObject {
    Q_OBJECT
private slots:
    void eachCommandIsOneStepThatUndoesAndRedoesExactly()
    {
        const Command commands[] = {
            { "Crop", [](Program& g) { g.boxCommand(1, 0); } },
            { "Smooth blend in ellipse", [](Program& g) { g.boxCommand(1, 1); } },
            { "Smooth unblend in ellipse", [](Program& g) { g.boxCommand(1, 2); } },
            { "Make transparent", [](Program& g) { g.boxCommand(1, 4); } },
            { "Make all transparent", [](Program& g) { g.trigger(1, "makeAllTransparent"); } },
            { "Black and White", [](Program& g) { g.trigger(1, "grayScale"); } },
        };
        for (const Command& c : commands) {
            Program g;
            QVERIFY(g.p.addSource(140, 120));
            g.p.workspace.source(1)->editedInWindow = false;
            const MaskedDib before = g.image(1).clone();
            c.run(g);
            QCOMPARE(int(g.p.workspace.history.size()), 1);
            QCOMPARE(QString::fromStdString(g.p.workspace.history.undoName()), QString(c.step));
            QVERIFY2(g.p.workspace.source(1)->editedInWindow, c.step);
            const MaskedDib after = g.image(1).clone();
            QVERIFY2(!sameBytes(before, after), c.step);

            QVERIFY(g.undo());
            QVERIFY2(sameBytes(g.image(1), before), c.step);
            QVERIFY2(!g.p.workspace.source(1)->editedInWindow, c.step);
            QCOMPARE(g.p.workspace.source(1)->imageWidth, before.width());
            QVERIFY(g.redo());
            QVERIFY2(sameBytes(g.image(1), after), c.step);
            QCOMPARE(g.p.workspace.source(1)->imageHeight, after.height());
        }
    }

    void aMaskCommandThatChangesNothingIsNoStep()
    {
        Program g;
        QVERIFY(g.p.addSource(140, 120));
        // A loaded image is opaque already.
        g.boxCommand(1, 3);
        g.trigger(1, "makeAllOpaque");
        QCOMPARE(int(g.p.workspace.history.size()), 0);
    }

    void maskStepsSharePixelsAndUndoInOrder()
    {
        Program g;
        QVERIFY(g.p.addSource(140, 120));
        const MaskedDib first = g.image(1).clone();
        g.boxCommand(1, 4);
        const MaskedDib second = g.image(1).clone();
        g.trigger(1, "makeAllTransparent");
        QCOMPARE(int(g.p.workspace.history.size()), 2);
        // The mask steps keep the pixels shared with the source, not copied.
        QVERIFY(g.image(1).dib->sharesRows());
        QVERIFY(g.undo());
        QVERIFY(sameBytes(g.image(1), second));
        QVERIFY(g.undo());
        QVERIFY(sameBytes(g.image(1), first));
        QVERIFY(!g.undo());
    }

    void closingASourceDropsItsStepsAndLaterOnesFollowTheRenumbering()
    {
        Program g;
        QVERIFY(g.p.addSource(140, 120));
        QVERIFY(g.p.addSource(150, 130));
        QVERIFY(g.p.addSource(160, 125));
        const MaskedDib thirdBefore = g.image(3).clone();
        g.trigger(1, "grayScale");
        g.trigger(3, "grayScale");
        g.boxCommand(2, 0);
        const MaskedDib thirdAfter = g.image(3).clone();
        QCOMPARE(int(g.p.workspace.history.size()), 3);

        g.p.frame().activateSourceWindow(2);
        g.p.sources.window(2)->findChild<QAction*>("closeSource")->trigger();
        SourceProgram::settle();
        QCOMPARE(g.p.workspace.sourceCount, 2);

        // The crop of the closed source is gone; the third source is now the second.
        QCOMPARE(QString::fromStdString(g.p.workspace.history.undoName()), QString("Black and White"));
        QVERIFY(g.undo());
        QVERIFY(sameBytes(g.image(2), thirdBefore));
        QVERIFY(g.redo());
        QVERIFY(sameBytes(g.image(2), thirdAfter));
    }

    void reloadSourceIsAStepBackToTheEditedImage()
    {
        Program g;
        QVERIFY(g.p.addSource(140, 120));
        const MaskedDib loaded = g.image(1).clone();
        g.trigger(1, "grayScale");
        const MaskedDib edited = g.image(1).clone();
        g.trigger(1, "reload");
        QCOMPARE(int(g.p.workspace.history.size()), 2);
        QCOMPARE(QString::fromStdString(g.p.workspace.history.undoName()), QString("Reload Source"));
        QVERIFY(sameBytes(g.image(1), loaded));
        QVERIFY(!g.p.workspace.source(1)->editedInWindow);
        QVERIFY(g.undo());
        QVERIFY(sameBytes(g.image(1), edited));
        QVERIFY(g.p.workspace.source(1)->editedInWindow);
        QVERIFY(g.redo());
        QVERIFY(sameBytes(g.image(1), loaded));
        QVERIFY(!g.p.workspace.source(1)->editedInWindow);
    }

    void aFailedReloadKeepsTheImageAndRecordsNothing()
    {
        Program g;
        QVERIFY(g.p.addSource(140, 120));
        const MaskedDib loaded = g.image(1).clone();
        QVERIFY(QFile::remove(QString::fromStdString(g.p.workspace.source(1)->filePath)));
        g.p.platform->queueAnswer(MessageAnswer::Ok);
        g.trigger(1, "reload");
        QCOMPARE(int(g.p.workspace.history.size()), 0);
        QVERIFY(sameBytes(g.image(1), loaded));
    }

    void undoOfAnImageStepOnALargeSourceIsASwap()
    {
        Program g;
        QVERIFY(g.p.addSource(4000, 3000));
        g.trigger(1, "grayScale");
        QCOMPARE(int(g.p.workspace.history.size()), 1);
        const auto start = std::chrono::steady_clock::now();
        QVERIFY(g.undo());
        const double ms
            = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        qInfo("undo of Black and White on a 4000 x 3000 source: %.2f ms", ms);
        QVERIFY2(ms < 50.0, qPrintable(QString::number(ms)));
    }
};

QTEST_MAIN(SourceEditsUndoTest)
#include "test_source_edits_undo.moc"
