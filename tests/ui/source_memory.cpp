// Not a test: opens eight 4000 x 3000 24-bit sources through the program's own Open Image road
// (each window shown and painted, each source transformed as its first showing does), then
// turns source 1 by 30 degrees at 150 %, loads the target, and prints the resident memory
// after each step. Run it by hand:
//   QT_QPA_PLATFORM=offscreen build/tests/source_memory
#include "app/resident_memory.h"
#include "merge/transform_source.h"
#include "merge/ui/dest_child.h"
#include "merge/ui/dest_view.h"
#include "source_program.h"

#include <QFile>
#include <cstdio>

using namespace tessary;
using namespace tessary::uitest;

namespace {

double residentMegabytes() { return double(residentBytes()) / 1e6; }

void paintEverything(SourceProgram& p)
{
    for (int n = 1; n <= p.workspace.sourceCount; ++n)
        if (VAvivedEred* view = p.sources.view(n))
            view->viewport()->repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const int32_t width = 4000, height = 3000;
    double previous = residentMegabytes();
    std::printf("start: %.0f MB resident\n", previous);
    SourceProgram p;
    // One file with a gradient and a pattern, copied eight times.
    const std::string first = p.writeBmp("s1.bmp", width, height, [](int32_t x, int32_t r) {
        return BgrColour { uint8_t(x), uint8_t(r), uint8_t((x * 7 + r * 13) & 0xFF) };
    });
    if (first.empty())
        return 1;
    paintEverything(p);
    previous = residentMegabytes();
    std::printf("program started: %.0f MB resident\n", previous);
    for (int n = 1; n <= kMaxSources; ++n) {
        std::string path = first;
        if (n > 1) {
            path = p.folder.filePath(QString("s%1.bmp").arg(n)).toStdString();
            QFile::copy(QString::fromStdString(first), QString::fromStdString(path));
        }
        if (p.openImage(path) != OpenResult::Created) {
            std::printf("source %d did not open\n", n);
            return 1;
        }
        paintEverything(p);
        const double now = residentMegabytes();
        std::printf("source %d: %.0f MB resident (+%.0f MB)", n, now, now - previous);
        // How each transformed source holds its pixels and mask.
        for (int k = 1; k <= n; ++k) {
            const MaskedDib& t = p.workspace.targetDoc.transformed[size_t(k - 1)];
            std::printf(" %d:%s%s", k, t.dib && t.dib->sharesRows() ? "shared" : "copied", t.mask.isOpaqueFact() ? "+opaque" : "+mask");
        }
        std::printf("\n");
        previous = now;
    }
    // Source 1 scaled 150 % and turned 30 degrees, transformed again as the Align view does:
    // its transformed image grows to 7446 x 6897 pixels with a mask that is not opaque.
    p.workspace.alignDoc.placement[0].scaleX = p.workspace.alignDoc.placement[0].scaleY = 1536;
    p.workspace.alignDoc.placement[0].rotation = 30;
    if (transformSource(p.workspace, *p.platform, 1) != kTransformDone) {
        std::printf("source 1 was not transformed\n");
        return 1;
    }
    {
        const double now = residentMegabytes();
        const MaskedDib& t = p.workspace.targetDoc.transformed[0];
        std::printf("source 1 at 150 %% and 30 degrees (%d x %d): %.0f MB resident (+%.0f MB), mask %s\n",
            t.width(), t.height(), now, now - previous,
            t.mask.isOpaqueFact()     ? "opaque"
                : t.mask.realValues() ? "real"
                                      : "row spans");
        previous = now;
    }
    CDestchild* targetWindow = p.app.targetWindow();
    p.frame().activateChild(targetWindow);
    CDestview& view = *targetWindow->view();
    if (view.loadTargetButton())
        QTest::mouseClick(view.loadTargetButton(), Qt::LeftButton);
    QApplication::processEvents();
    const double now = residentMegabytes();
    std::printf("target loaded (%d generated): %.0f MB resident (+%.0f MB)\n", p.workspace.targetDoc.generated,
        now, now - previous);
    std::printf("peak: %.0f MB resident\n", double(peakResidentBytes()) / 1e6);
    return 0;
}
