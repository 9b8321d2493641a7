// Source documents with their windows in the running program: opening through Open Image, the
// recent files and drops, load failures, the 8-source limit, closing a source with everything
// that moves, and the workspace text of status pane 1.
#include "align/mark_target_stale.h"
#include "app/open_document.h"
#include "merge/target_commands.h"
#include "merge/ui/dest_view.h"
#include "source_program.h"
#include "sources/load_image_file.h"
#include "sources/source_table.h"
#include "support/rgba_png.h"

#include <QFile>
#include <QToolBar>

using namespace tessary;
using namespace tessary::uitest;

namespace {

// Pixel (x, stored row r) of file n: each file tells itself apart from every other.
BgrColour fileColour(int n, int32_t x, int32_t r)
{
    return BgrColour { uint8_t(40 * n), uint8_t(5 * x), uint8_t(7 * r) };
}

void triggerSourceCommand(SourceProgram& p, int number, const char* name)
{
    QAction* action = p.sources.window(number)->findChild<QAction*>(name);
    QVERIFY(action);
    action->trigger();
}

} // namespace

class SourceWindowsTest : public QObject {
    Q_OBJECT
private slots:
    // A logo with a transparent background merges by Average over a picture without a box
    // around it; with the Align menu's switch off, a logo opened afterwards brings its box.
    void aTransparentLogoChangesOnlyThePixelsUnderItsOpaquePart()
    {
        SourceProgram p;
        const std::vector<uint8_t> png = testing::rgbaPng(
            2, 2, { { 255, 255, 255, 255 }, { 0, 0, 0, 0 }, { 0, 0, 0, 0 }, { 255, 255, 255, 255 } });
        QFile logo(p.folder.filePath("logo.png"));
        QVERIFY(logo.open(QIODevice::WriteOnly));
        logo.write(reinterpret_cast<const char*>(png.data()), qint64(png.size()));
        logo.close();
        QCOMPARE(p.openImage(p.writeBmp("photo.bmp", 2, 2)), OpenResult::Created);
        QCOMPARE(p.openImage(logo.fileName().toStdString()), OpenResult::Created);

        // Both lie at (0, 0); the target's top row is stored row 1.
        const auto target = [&p](int x, int storedRow) {
            if (!generateTargetCommand(p.workspace, *p.platform))
                return std::array<int, 3> { -1, -1, -1 };
            const uint8_t* px = std::as_const(*p.workspace.targetDoc.targetImage).row(storedRow) + 3 * x;
            return std::array<int, 3> { px[0], px[1], px[2] };
        };
        const std::array<int, 3> photo { 200, 220, 240 }, white { 227, 237, 247 }, darkBox { 100, 110, 120 };
        QCOMPARE(target(0, 1), white);
        QCOMPARE(target(1, 1), photo);
        QCOMPARE(target(0, 0), photo);
        QCOMPARE(target(1, 0), white);

        p.app.alignWindow()->fileTransparency()->trigger();
        p.sources.window(2)->close();
        SourceProgram::settle();
        QCOMPARE(p.openImage(logo.fileName().toStdString()), OpenResult::Created);
        QCOMPARE(target(1, 1), darkBox);
    }

    void openingThreeFilesMakesThreeSourceWindows()
    {
        SourceProgram p;
        QCOMPARE(p.pane(1), QString("Awaiting load of at least two sources."));
        const std::string a = p.writeBmp("a.bmp", 40, 30);
        const std::string b = p.writeBmp("b.bmp", 50, 20);
        const std::string c = p.writeBmp("c.bmp", 60, 10);
        QCOMPARE(p.openImage(a), OpenResult::Created);
        QCOMPARE(p.pane(1), QString("Awaiting load of 2nd source."));
        QCOMPARE(p.openImage(b, 3), OpenResult::Created);
        QCOMPARE(p.openImage(c), OpenResult::Created);

        QCOMPARE(p.platform->openRequests.size(), size_t(3));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(
                p.platform->openRequests[size_t(i)].title, "Open Source Window " + std::to_string(i + 1));
        // The third chooser opened in the folder of the second file with its filter.
        QCOMPARE(p.platform->openRequests[2].filterIndex, 3);
        QCOMPARE(p.platform->openRequests[2].initialFolder, p.folder.path().toStdString() + "/");

        QCOMPARE(p.workspace.sourceCount, 3);
        QCOMPARE(p.tabTitles(),
            QStringList({ "Target Window - needs updating", "Align Window", "a.bmp", "b.bmp", "c.bmp" }));
        const int32_t widths[] = { 40, 50, 60 };
        for (int n = 1; n <= 3; ++n) {
            VIrorozIzi* doc = p.workspace.source(n);
            QVERIFY(doc);
            QCOMPARE(doc->slotIndex, n - 1);
            QCOMPARE(doc->sourceKind, int32_t(kSourceImageFile));
            QCOMPARE(doc->imageWidth, widths[n - 1]);
            QCOMPARE(p.sources.view(n)->number(), n);
            QCOMPARE(p.sources.window(n)->sourceNumber(), n);
            QCOMPARE(p.sources.view(n)->document(), doc);
            // Each window's first showing transformed its source.
            QCOMPARE(p.workspace.targetDoc.transformed[size_t(n - 1)].width(), widths[n - 1]);
            QCOMPARE(p.workspace.biasWeight[size_t(n - 1)], 100.0 / 3);
        }
        QCOMPARE(p.workspace.mergeType, int32_t(kMergeAverage));
        QCOMPARE(p.workspace.alignView.selectedSource, 3);
        QCOMPARE(p.workspace.targetDoc.title, std::string(kTargetStaleTitle));
        // The Align Window came back to the front after each source.
        QCOMPARE(p.frame().activeChild(), p.app.alignWindow());
        QCOMPARE(p.pane(1),
            QString("Predicted target size = %1 X %2")
                .arg(p.workspace.alignDoc.layoutWidth)
                .arg(p.workspace.alignDoc.layoutHeight));
        QCOMPARE(p.workspace.alignDoc.layoutWidth, 60);
        QCOMPARE(entryLabels(p.app.alignWindow()->menus().value(0)).mid(4, 3),
            QStringList({ QString::fromStdString("&1 " + c), QString::fromStdString("&2 " + b),
                QString::fromStdString("&3 " + a) }));

        // A source window names its source in pane 1; the Target Window waits for a merge.
        p.frame().activateSourceWindow(2);
        QCOMPARE(p.frame().activeChild(), p.sources.window(2));
        QCOMPARE(p.pane(1), QString("This is source 2"));
        QCOMPARE(p.workspace.alignView.selectedSource, 2);
        QVERIFY(!p.frame().alignToolBar()->isVisible());
        p.frame().activateChild(p.app.targetWindow());
        QCOMPARE(p.pane(1), QString("Target needs updating"));
    }

    void filesThatDoNotLoadTakeNoPlace()
    {
        SourceProgram p;
        p.addSource(20, 20);
        const std::string missing = p.folder.filePath("missing.bmp").toStdString();
        p.platform->expectMessage(cannotOpenFileText(missing));
        QCOMPARE(p.openImage(missing), OpenResult::NotCreated);

        // A file no decoder reads, under a name the formats do not know: what it looks like.
        const std::string gif = p.folder.filePath("anim.gif").toStdString();
        QFile gifFile(QString::fromStdString(gif));
        QVERIFY(gifFile.open(QIODevice::WriteOnly));
        gifFile.write("GIF89a\x01\x00\x01\x00");
        gifFile.close();
        p.platform->expectMessage(
            "anim.gif is not a BMP, JPEG, PNG, TIFF, TGA or PCX picture: it looks like a GIF picture.");
        p.platform->expectMessage(kUnableToLoadImageFile);
        QCOMPARE(p.openImage(gif), OpenResult::NotCreated);

        // A file that is not what its name says: the decoder's words, then the refusal.
        const std::string fake = p.folder.filePath("fake.bmp").toStdString();
        QFile file(QString::fromStdString(fake));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a bitmap at all");
        file.close();
        p.platform->queueAnswer(MessageAnswer::Ok);
        p.platform->expectMessage(kUnableToLoadImageFile);
        QCOMPARE(p.openImage(fake), OpenResult::NotCreated);
        QVERIFY(p.platform->messages[p.platform->messages.size() - 2].text != kUnableToLoadImageFile);

        QCOMPARE(p.workspace.sourceCount, 1);
        QCOMPARE(p.workspace.documents[1], nullptr);
        QCOMPARE(p.tabTitles(), QStringList({ "Target Window", "Align Window", "s1.bmp" }));
        // Only sources that were made enter the recent-file list.
        QCOMPARE(entryLabels(p.app.alignWindow()->menus().value(0)).size(), 6);

        // An upper-case ending loads.
        QCOMPARE(p.openImage(p.writeBmp("UPPER.BMP", 12, 12)), OpenResult::Created);
        QCOMPARE(p.workspace.sourceCount, 2);
        // A longer ending loads too, and the content decides: a BMP named .jpeg.
        QCOMPARE(p.openImage(p.writeBmp("photo.jpeg", 10, 10)), OpenResult::Created);
        QCOMPARE(p.workspace.sourceCount, 3);
    }

    void aNinthSourceIsRefusedByEveryCommand()
    {
        SourceProgram p;
        const std::string extra = p.writeBmp("extra.bmp", 8, 8);
        p.platform->textSettings["Recent File List/File1"] = extra;
        p.app.recentFiles().read(*p.platform);
        for (int i = 0; i < 7; ++i)
            QVERIFY(p.addSource(16 + i, 16));
        QCOMPARE(p.platform->openRequests.back().title, std::string("Open Source Window 7"));
        p.platform->openAnswers.push_back(std::nullopt);
        QCOMPARE(p.app.openImageCommand(), OpenResult::Cancelled);
        QCOMPARE(p.platform->openRequests.back().title, std::string("Open Source Window 8"));

        // A drop of two files when seven are loaded: the first is taken, the second refused once.
        const std::string d1 = p.writeBmp("d1.bmp", 9, 9);
        const std::string d2 = p.writeBmp("d2.bmp", 9, 9);
        p.platform->expectMessage(kNoMoreThan8Images);
        p.drop({ d1, d2 });
        QCOMPARE(p.workspace.sourceCount, 8);
        QCOMPARE(p.workspace.source(8)->filePath, d1);
        QCOMPARE(p.platform->messages.back().icon, MessageIcon::Error);

        const size_t requests = p.platform->openRequests.size();
        p.platform->expectMessage(kNoMoreThan8Images);
        QCOMPARE(p.app.openImageCommand(), OpenResult::Refused);
        QCOMPARE(p.platform->openRequests.size(), requests);
        p.platform->expectMessage(kNoMoreThan8Images);
        QCOMPARE(p.app.recentFileCommand(p.app.recentFiles().size() - 1), OpenResult::Refused);
        QCOMPARE(p.workspace.sourceCount, 8);
        QCOMPARE(p.frame().mdiArea()->subWindowList().size(), 10);
    }

    void recentFilesAndDropsOpenOrActivate()
    {
        SourceProgram p;
        const std::string kept = p.writeBmp("kept.bmp", 30, 20);
        const std::string gone = p.folder.filePath("gone.bmp").toStdString();
        p.platform->textSettings["Recent File List/File1"] = gone;
        p.platform->textSettings["Recent File List/File2"] = kept;
        p.app.recentFiles().read(*p.platform);

        QCOMPARE(p.app.recentFileCommand(1), OpenResult::Created);
        QCOMPARE(p.workspace.source(1)->title, std::string("kept.bmp"));
        // Opening a loaded file again only brings its window forward.
        QCOMPARE(p.app.recentFileCommand(0), OpenResult::Activated);
        QCOMPARE(p.frame().activeChild(), p.sources.window(1));
        QCOMPARE(p.workspace.sourceCount, 1);

        // A file that has gone: the open fails, then the list question; Yes removes it.
        p.platform->expectMessage(cannotOpenFileText(gone));
        p.platform->expectMessage(kProblemWithRecentFile, MessageAnswer::Yes);
        QCOMPARE(p.app.recentFileCommand(1), OpenResult::NotCreated);
        QCOMPARE(p.app.recentFiles().entries(), std::vector<std::string>({ kept }));

        // Dropped files open in the order given; the Align Window comes to the front.
        const std::string d1 = p.writeBmp("d1.bmp", 10, 12);
        const std::string d2 = p.writeBmp("d2.bmp", 14, 16);
        p.drop({ d1, d2 });
        QCOMPARE(p.workspace.sourceCount, 3);
        QCOMPARE(p.workspace.source(2)->filePath, d1);
        QCOMPARE(p.workspace.source(3)->filePath, d2);
        QCOMPARE(p.frame().activeChild(), p.app.alignWindow());
        QCOMPARE(p.tabTitles().mid(2), QStringList({ "kept.bmp", "d1.bmp", "d2.bmp" }));
    }

    void closingSourceTwoOfFourMovesEveryValue()
    {
        SourceProgram p;
        for (int i = 0; i < 4; ++i)
            QVERIFY(p.addSource(20 + 10 * i, 10 + i));
        CAlignDoc& a = p.workspace.alignDoc;
        CDestdoc& t = p.workspace.targetDoc;
        const int32_t posX[4] = { 30, 0, 200, 300 };
        const int32_t posY[4] = { 0, 4, 70, 90 };
        for (size_t i = 0; i < 4; ++i) {
            a.placement[i].posX = posX[i];
            a.placement[i].posY = posY[i];
            a.placement[i].scaleX = 1000.0 + double(i);
            a.placement[i].scaleY = 1100.0 + double(i);
            a.placement[i].rotation = 5.0 * double(i + 1);
            t.mirrored[i] = int32_t(i >= 2);
            a.placement[i].topLevel = int32_t(i);
            a.placement[i].bottomLevel = 3;
            p.workspace.fadeEdge[i] = int32_t(i == 2);
            p.workspace.biasWeight[i] = 1.0;
        }
        t.targetImage = PackedDib::allocate(64);
        t.generated = 1;
        VIrorozIzi* third = p.workspace.source(3);
        VIrorozIzi* fourth = p.workspace.source(4);
        VAvivedEred* thirdView = p.sources.view(3);

        p.frame().activateSourceWindow(2);
        QAction* close = p.sources.window(2)->findChild<QAction*>("closeSource");
        QVERIFY(close);
        close->trigger();
        SourceProgram::settle();

        QCOMPARE(p.workspace.sourceCount, 3);
        QCOMPARE(p.tabTitles(),
            QStringList({ "Target Window - needs updating", "Align Window", "s1.bmp", "s3.bmp", "s4.bmp" }));
        QCOMPARE(p.workspace.source(2), third);
        QCOMPARE(p.workspace.source(3), fourth);
        QCOMPARE(third->slotIndex, 1);
        QCOMPARE(p.sources.view(2), thirdView);
        QCOMPARE(thirdView->number(), 2);
        QCOMPARE(p.sources.window(3)->sourceNumber(), 3);
        QCOMPARE(p.sources.view(4), nullptr);
        // Positions move with their sources and are normalised (smallest x was 30, y 0).
        QCOMPARE(a.placement[0].posX, 0);
        QCOMPARE(a.placement[1].posX, 170);
        QCOMPARE(a.placement[2].posX, 270);
        QCOMPARE(a.placement[0].posY, 0);
        QCOMPARE(a.placement[1].posY, 70);
        QCOMPARE(a.placement[2].posY, 90);
        const size_t from[3] = { 0, 2, 3 };
        for (size_t i = 0; i < 3; ++i) {
            QCOMPARE(a.placement[i].scaleX, 1000.0 + double(from[i]));
            QCOMPARE(a.placement[i].scaleY, 1100.0 + double(from[i]));
            QCOMPARE(a.placement[i].rotation, 5.0 * double(from[i] + 1));
            QCOMPARE(t.mirrored[i], int32_t(from[i] >= 2));
            QCOMPARE(t.transformed[i].width(), int32_t(20 + 10 * from[i]));
            QCOMPARE(t.transformed[i].height(), int32_t(10 + from[i]));
            QCOMPARE(a.placement[i].topLevel, -1);
            QCOMPARE(a.placement[i].bottomLevel, -1);
            QCOMPARE(p.workspace.biasWeight[i], 100.0 / 3);
        }
        QCOMPARE(a.placement[3].posX, 0);
        QCOMPARE(a.placement[3].scaleX, 1024.0);
        QCOMPARE(a.placement[3].rotation, 0.0);
        QCOMPARE(t.mirrored[3], 0);
        QVERIFY(t.transformed[3].empty());
        // Fade-edge flags stay with their places: place 3 keeps its flag though its source moved.
        QCOMPARE(p.workspace.fadeEdge[1], 0);
        QCOMPARE(p.workspace.fadeEdge[2], 1);
        // The target is discarded and needs updating; the Align Window is in front with
        // source 1 selected.
        QCOMPARE(t.targetImage.get(), nullptr);
        QCOMPARE(t.title, std::string(kTargetStaleTitle));
        QCOMPARE(p.frame().activeChild(), p.app.alignWindow());
        QCOMPARE(p.workspace.alignView.selectedSource, 1);
        QCOMPARE(a.previewValid, 1);
        QCOMPARE(
            p.pane(1), QString("Predicted target size = %1 X %2").arg(a.layoutWidth).arg(a.layoutHeight));

        // The moved window answers to its new number.
        p.frame().activateSourceWindow(2);
        QCOMPARE(p.frame().activeChild(), p.sources.window(2));
        QCOMPARE(p.pane(1), QString("This is source 2"));
    }

    void closingOneOfTwoEmptiesTheTarget()
    {
        SourceProgram p;
        QVERIFY(p.addSource(20, 20));
        QVERIFY(p.addSource(30, 30));
        auto* rotate = new QWidget(&p.frame(), Qt::Dialog);
        rotate->setAttribute(Qt::WA_DeleteOnClose);
        rotate->show();
        p.frame().sharedWindows().rotateDialog = rotate;
        p.sources.window(1)->close();
        SourceProgram::settle();
        QCOMPARE(p.workspace.sourceCount, 1);
        QCOMPARE(p.workspace.source(1)->title, std::string("s2.bmp"));
        QCOMPARE(p.workspace.targetDoc.title, std::string(kTargetWindowTitle));
        QVERIFY(p.frame().sharedWindows().rotateDialog.isNull());
        QCOMPARE(p.pane(1), QString("Awaiting load of 2nd source."));
        p.sources.window(1)->close();
        SourceProgram::settle();
        QCOMPARE(p.workspace.sourceCount, 0);
        QCOMPARE(p.tabTitles(), QStringList({ "Target Window", "Align Window" }));
        QCOMPARE(p.pane(1), QString("Awaiting load of at least two sources."));
        // The places are free again.
        QVERIFY(p.addSource(10, 10));
        QCOMPARE(p.workspace.source(1)->title, std::string("s1.bmp"));
    }

    // A source marked changed when an earlier one closes: activating the Align Window
    // re-transforms it, and must find every table already moved down.
    void closingASourceWhileALaterOneIsChangedKeepsEveryImageInItsPlace()
    {
        SourceProgram p;
        const int32_t w = 30, h = 20;
        for (int n = 1; n <= 4; ++n) {
            const std::string path = p.writeBmp("f" + std::to_string(n) + ".bmp", w, h,
                [n](int32_t x, int32_t r) { return fileColour(n, x, r); });
            QCOMPARE(p.openImage(path), OpenResult::Created);
        }
        p.frame().activateSourceWindow(3);
        triggerSourceCommand(p, 3, "makeAllTransparent");
        QVERIFY(p.workspace.source(3)->changed);
        p.frame().activateSourceWindow(2);
        triggerSourceCommand(p, 2, "closeSource");
        SourceProgram::settle();

        QCOMPARE(p.workspace.sourceCount, 3);
        const int files[3] = { 1, 3, 4 };
        for (int slot = 0; slot < 3; ++slot) {
            const int file = files[slot];
            const VIrorozIzi* doc = p.workspace.source(slot + 1);
            QVERIFY(doc->filePath.find("f" + std::to_string(file) + ".bmp") != std::string::npos);
            QVERIFY(!doc->changed);
            const MaskedDib& t = p.workspace.targetDoc.transformed[size_t(slot)];
            QCOMPARE(t.width(), w);
            QCOMPARE(t.height(), h);
            // The transformed image is the place's own file, and only the transparent one is
            // transparent.
            const uint16_t mask = file == 3 ? 0 : 65535;
            for (int32_t r = 0; r < h - 1; ++r)
                for (int32_t x = 0; x < w - 1; ++x) {
                    QCOMPARE(t.mask[size_t(r) * size_t(w) + size_t(x)], mask);
                    if (mask) {
                        const uint8_t* px = t.dib->row(r) + 3 * x;
                        QCOMPARE(BgrColour({ px[0], px[1], px[2] }), fileColour(file, x, r));
                    }
                }
        }
    }

    void theLoadTargetButtonGoesWithTheSecondSource()
    {
        SourceProgram p;
        p.addSource(40, 30);
        p.addSource(40, 30);
        CDestview& view = *p.app.targetWindow()->view();
        QVERIFY(view.loadTargetButton());
        triggerSourceCommand(p, 2, "closeSource");
        SourceProgram::settle();
        QCOMPARE(p.workspace.sourceCount, 1);
        QVERIFY(!view.loadTargetButton());
        QCOMPARE(p.app.targetWindow()->windowTitle(), QString("Target Window"));
        // Any later invalidation leaves the empty window empty, and nothing is generated.
        markTargetStale(p.workspace);
        QVERIFY(!view.loadTargetButton());
        QVERIFY(!generateTargetCommand(p.workspace, *p.platform));
        QCOMPARE(p.workspace.targetDoc.generated, 0);
        QVERIFY(!p.workspace.targetDoc.targetImage);
        triggerSourceCommand(p, 1, "closeSource");
        SourceProgram::settle();
        QVERIFY(!view.loadTargetButton());
    }

    void anEditInASourceWindowMarksTheTargetStale()
    {
        SourceProgram p;
        p.addSource(40, 30);
        p.addSource(40, 30);
        CDestview& view = *p.app.targetWindow()->view();
        QTest::mouseClick(view.loadTargetButton(), Qt::LeftButton);
        QCOMPARE(p.workspace.targetDoc.generated, 1);
        QVERIFY(!view.loadTargetButton());
        QVERIFY(targetSaveEnabled(p.workspace));

        triggerSourceCommand(p, 1, "makeAllTransparent");
        QCOMPARE(p.workspace.targetDoc.generated, 0);
        QCOMPARE(p.app.targetWindow()->windowTitle(), QString("Target Window - needs updating"));
        QVERIFY(view.loadTargetButton());
        QVERIFY(!targetSaveEnabled(p.workspace));
    }
};

QTEST_MAIN(SourceWindowsTest)
#include "test_source_windows.moc"
