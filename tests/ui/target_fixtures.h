#pragma once
// The Target Window in a main frame over a workspace whose sources are loaded through the core:
// small BMP files written by our own writer, loaded into source documents, transformed, placed.
#include "app/ui/main_frame.h"
#include "app/workspace.h"
#include "image/bmp_writer.h"
#include "merge/transform_source.h"
#include "merge/ui/dest_child.h"
#include "merge/ui/dest_view.h"
#include "sources/load_image_file.h"
#include "ui_fixtures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace tessary::uitest {

// Colour of source pixel (x, y from the top) in pattern `n`: different for every source.
inline QColor sourceColour(int n, int x, int y)
{
    return QColor((x * 3 + 40 * n) % 256, (y * 5 + 17 * n) % 256, (60 * n + (x + y) / 4) % 256);
}

struct TargetWindow {
    std::unique_ptr<testing::FakePlatform> platform = makeFakePlatform();
    MergeWorkspace workspace;
    QTemporaryDir folder;
    std::unique_ptr<MainFrame> frame;
    CDestchild* window = nullptr;

    TargetWindow()
    {
        // The Align Window's view has a size in the program; every change of the settings
        // rebuilds its preview.
        workspace.alignDoc.alignViewWidth = 800;
        workspace.alignDoc.alignViewHeight = 600;
        frame = std::make_unique<MainFrame>(workspace, *platform);
        window = new CDestchild(*frame);
        frame->addChild(window);
        frame->resize(1000, 760);
        frame->show();
        window->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    ~TargetWindow()
    {
        // Expectations a failed test left behind are not a second failure.
        platform->takeUnmetExpectations();
    }

    CDestview& view() { return *window->view(); }
    // The text last painted into a status pane through the platform.
    QString paneText(int pane) { return QString::fromStdString(platform->paneText[pane]); }
    QWidget* viewport() { return view().viewport(); }
    QAction* command(const char* name) { return window->findChild<QAction*>(name); }

    // Source n + 1: a w x h BMP in pattern n + 1, loaded and transformed, placed at (x, y).
    void addSource(int w, int h, int32_t x, int32_t y)
    {
        const int n = workspace.sourceCount;
        MaskedDib picture;
        QVERIFY(!allocateMaskedDib(h, w, picture, 24));
        for (int row = 0; row < h; ++row) {
            uint8_t* p = picture.dib->row(h - 1 - row);
            for (int col = 0; col < w; ++col) {
                const QColor c = sourceColour(n + 1, col, row);
                p[3 * col] = uint8_t(c.blue());
                p[3 * col + 1] = uint8_t(c.green());
                p[3 * col + 2] = uint8_t(c.red());
            }
        }
        const std::string path = folder.filePath(QString("source%1.bmp").arg(n + 1)).toStdString();
        QVERIFY(writeBmpFile(*picture.dib, path));
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = n;
        QVERIFY(loadImageFile(*doc, path, *platform));
        workspace.documents[size_t(n)] = std::move(doc);
        workspace.sourceCount = n + 1;
        workspace.alignDoc.placement[size_t(n)].posX = x;
        workspace.alignDoc.placement[size_t(n)].posY = y;
        workspace.equalBiasWeights();
        QCOMPARE(transformSource(workspace, *platform, n + 1), 0);
        workspace.alignDoc.previewValid = 1;
    }

    // Two sources side by side without overlap making a w x h target (w even).
    void twoSourcesSideBySide(int w, int h)
    {
        addSource(w / 2, h, 0, 0);
        addSource(w / 2, h, w / 2, 0);
    }

    // The colour the target shows at (x, y from the top) for twoSourcesSideBySide.
    static QColor targetColour(int w, int x, int y)
    {
        return x < w / 2 ? sourceColour(1, x, y) : sourceColour(2, x - w / 2, y);
    }

    // The view after markTargetStale, then "Load Target" pressed.
    void pressLoadTarget()
    {
        QVERIFY(view().loadTargetButton());
        QTest::mouseClick(view().loadTargetButton(), Qt::LeftButton);
        QCOMPARE(workspace.targetDoc.generated, 1);
        QVERIFY(workspace.targetDoc.targetImage);
    }

    // A move of the pointer without buttons, sent straight to the view (QTest takes the point
    // (0, 0) for "the middle of the widget").
    void hover(QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), viewport()->mapToGlobal(QPointF(at)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &move);
    }

    void drag(QPoint from, QPoint to, const std::function<void()>& during = {})
    {
        QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(viewport(), (from + to) / 2);
        QTest::mouseMove(viewport(), to);
        if (during)
            during();
        QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, to);
    }

    // Runs `work` on the next modal dialog once it is open.
    template <class Dialog> static void whenDialogOpens(std::function<void(Dialog&)> work)
    {
        QTimer::singleShot(0, [work] {
            QPointer<Dialog> dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            QVERIFY2(dialog, "the dialog did not open");
            work(*dialog);
            // A check that failed inside left the dialog open: close it so the test goes on.
            if (dialog && dialog->isVisible())
                dialog->reject();
        });
    }
};

} // namespace tessary::uitest
