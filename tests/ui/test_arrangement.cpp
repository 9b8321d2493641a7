// Open and Save Arrangement in the running program: an arrangement saved, closed and opened again
// generates the same target, and tessary-cli merges the saved file to the same bytes.
#include "align/activate_align_view.h"
#include "align/ui/align_view.h"
#include "app/open_arrangement.h"
#include "merge/generate_target.h"
#include "output/write_image_file.h"
#include "source_program.h"
#include "support/cli_run.h"

#include <QFile>
#include <QTimer>

using namespace tessary;
using namespace tessary::uitest;

namespace {

QByteArray fileBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<uint8_t> blockOf(int32_t w, int32_t h)
{
    MaskedDib image;
    if (allocateMaskedDib(h, w, image, 24))
        return {};
    for (int32_t r = 0; r < h; ++r)
        for (int32_t i = 0; i < 3 * w; ++i)
            image.dib->row(r)[i] = uint8_t(i * 5 + r * 11);
    return std::vector<uint8_t>(image.dib->data(), image.dib->data() + image.dib->size());
}

// The target generated from the sources as they are now, written as a BMP.
QByteArray generatedTarget(SourceProgram& p, const std::string& name)
{
    retransformChangedSources(p.workspace, *p.platform);
    if (!generateTarget(p.workspace, *p.platform) || !p.workspace.targetDoc.targetImage)
        return {};
    const std::string path = p.folder.filePath(QString::fromStdString(name)).toStdString();
    return writeImageFile(*p.workspace.targetDoc.targetImage, path) ? fileBytes(path) : QByteArray();
}

} // namespace

class ArrangementTest : public QObject {
    Q_OBJECT
private slots:
    void aSavedArrangementOpensToTheSameTargetAndTheCliMergesItAlike()
    {
        SourceProgram p;
        const auto pattern = [](int k) {
            return [k](int32_t x, int32_t r) {
                return BgrColour { uint8_t(x * k), uint8_t(r * 3 + k), uint8_t((x + r) * 7) };
            };
        };
        QVERIFY(p.openImage(p.writeBmp("a.bmp", 60, 40, pattern(3))) == OpenResult::Created);
        QVERIFY(p.openImage(p.writeBmp("b.bmp", 50, 50, pattern(5))) == OpenResult::Created);
        QVERIFY(p.openImage(p.writeBmp("c.bmp", 40, 30, pattern(9))) == OpenResult::Created);
        p.platform->clipboard = blockOf(16, 12);
        p.app.alignWindow()->updateActions();
        p.app.alignWindow()->paste()->trigger();
        QCOMPARE(p.workspace.sourceCount, 4);

        MergeWorkspace& ws = p.workspace;
        const int32_t xs[] = { 0, 20, 35, 5 }, ys[] = { 10, 0, 22, 3 };
        for (size_t i = 0; i < 4; ++i) {
            ws.alignDoc.placement[i].posX = xs[i];
            ws.alignDoc.placement[i].posY = ys[i];
        }
        ws.alignDoc.placement[1].rotation = 30.0;
        ws.alignDoc.placement[1].scaleX = 1300.0;
        ws.targetDoc.mirrored[2] = 1;
        ws.alignDoc.placement[3].topLevel = 1;
        ws.alignDoc.placement[0].bottomLevel = 1;
        ws.biasWeight = { 0.0, 70.0, 30.0, 0.0 };
        ws.fadeEdge[2] = 1;
        ws.mergeType = 1;
        ws.targetDoc.marginX = 4;
        ws.targetDoc.marginColour = makeColourRef(10, 200, 30);
        ws.documents[1]->changed = true;
        ws.documents[2]->changed = true;
        const QByteArray before = generatedTarget(p, "before.bmp");
        QVERIFY(!before.isEmpty());

        const std::string arrangement = p.folder.filePath("work").toStdString();
        p.platform->saveAnswers.push_back(FileDialogResult { arrangement, 1 });
        p.app.mainFrame()->actions().saveArrangement->trigger();
        QVERIFY(QFile::exists(QString::fromStdString(arrangement + ".tessary.json")));
        QVERIFY(QFile::exists(QString::fromStdString(arrangement + "-source4.png")));

        p.sources.closeAllSources();
        SourceProgram::settle();
        QCOMPARE(ws.sourceCount, 0);
        p.platform->openAnswers.push_back(FileDialogResult { arrangement + ".tessary.json", 1 });
        p.app.mainFrame()->actions().openArrangement->trigger();
        QCOMPARE(ws.sourceCount, 4);
        QCOMPARE(QString::fromStdString(ws.documents[3]->title), QString("work-source4.png"));
        QCOMPARE(QString::fromStdString(ws.targetDoc.title), QString("Target Window - needs updating"));
        QCOMPARE(ws.alignDoc.previewValid, 1);
        QCOMPARE(generatedTarget(p, "after.bmp"), before);

        const std::string out = p.folder.filePath("cli.bmp").toStdString();
        const auto cli = testing::runCli("merge --quiet '" + arrangement + ".tessary.json' -o '" + out + "'");
        QVERIFY2(cli.exitCode == 0, cli.output.c_str());
        QCOMPARE(fileBytes(out), before);
    }

    void textSourcesComeBackFromTheirFieldsAndTheCliRefusesThem()
    {
        SourceProgram p;
        QVERIFY(p.addSource(40, 30));
        StoredText text;
        text.text = "Tessary\r\n";
        text.font.faceName = "DejaVu Sans";
        text.font.height = -20;
        text.colour = makeColourRef(250, 250, 0);
        text.transparentBack = true;
        p.workspace.app.pendingSourceKind = kSourceText;
        QVERIFY(p.sources.createTextSource(text));
        QCOMPARE(p.workspace.sourceCount, 2);
        p.workspace.alignDoc.placement[1].rotation = 15.0;
        p.workspace.documents[1]->changed = true;
        const QByteArray before = generatedTarget(p, "before.bmp");
        QVERIFY(!before.isEmpty());

        const std::string arrangement = p.folder.filePath("text.tessary.json").toStdString();
        p.platform->saveAnswers.push_back(FileDialogResult { arrangement, 1 });
        p.app.mainFrame()->actions().saveArrangement->trigger();
        // Opening with sources open asks first.
        p.platform->openAnswers.push_back(FileDialogResult { arrangement, 1 });
        p.platform->expectMessage(kCloseSourcesForArrangement, MessageAnswer::Yes);
        p.app.mainFrame()->actions().openArrangement->trigger();
        SourceProgram::settle();
        QCOMPARE(p.workspace.sourceCount, 2);
        QCOMPARE(p.workspace.documents[1]->sourceKind, int32_t(kSourceText));
        QCOMPARE(generatedTarget(p, "after.bmp"), before);

        const auto cli = testing::runCli("merge --quiet '" + arrangement + "' -o '" + arrangement + ".bmp'");
        QCOMPARE(cli.exitCode, 2);
        QVERIFY2(cli.output.find("sources[1].text: text sources are drawn with the desktop's fonts")
                != std::string::npos,
            cli.output.c_str());
    }
};

QTEST_MAIN(ArrangementTest)
#include "test_arrangement.moc"
