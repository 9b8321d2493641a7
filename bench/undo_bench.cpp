// What undo and redo cost on a 4000 x 3000 source, next to the work an edit does anyway: a
// placement step undone and redone runs the source's transformation and the preview rebuild
// and nothing else; an image step undone is a swap of the kept image.
#include "align/rebuild_preview.h"
#include "app/edit_path.h"
#include "app/history.h"
#include "app/workspace.h"
#include "bench_platform.h"
#include "merge/transform_source.h"
#include "sources/source_doc.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace tessary {
namespace {

// Two sources, the first the large picture, placed and transformed, the preview built.
struct Workspace {
    MergeWorkspace ws;
    bench::SilentPlatform platform;

    Workspace()
    {
        ws.alignDoc.alignViewWidth = 1200;
        ws.alignDoc.alignViewHeight = 800;
        add(bench::benchPicture(4000, 3000, 1));
        add(bench::benchPicture(400, 300, 2));
        rebuildPreview(ws, platform, 0);
    }
    void add(MaskedDib image)
    {
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = ws.sourceCount;
        doc->imageWidth = image.width();
        doc->imageHeight = image.height();
        doc->image = std::move(image);
        ws.documents[size_t(ws.sourceCount)] = std::move(doc);
        transformSource(ws, platform, ++ws.sourceCount);
    }
};

// The work itself: the large source transformed at 30° and back at 0°, and the preview rebuilt
// after each, as the edit path does.
void transformationsAlone(benchmark::State& state)
{
    Workspace w;
    for (auto _ : state)
        for (double angle : { 30.0, 0.0 }) {
            w.ws.alignDoc.placement[0].rotation = angle;
            transformSource(w.ws, w.platform, 1);
            rebuildPreview(w.ws, w.platform, 0);
        }
}

// The same two transformations by redo and undo of a Rotate step.
void undoAndRedoOfARotation(benchmark::State& state)
{
    Workspace w;
    WorkspaceValues turned = captureValues(w.ws);
    turned.placement[0].rotation = 30.0;
    if (!editValues(w.ws, w.platform, "Rotate", turned) || !undoEdit(w.ws, w.platform)) {
        state.SkipWithError("the step was not made");
        return;
    }
    for (auto _ : state) {
        redoEdit(w.ws, w.platform);
        undoEdit(w.ws, w.platform);
    }
}

// Undo and redo of Black and White: the source's image and the kept one change places.
void undoAndRedoOfAnImageStep(benchmark::State& state)
{
    Workspace w;
    VIrorozIzi& doc = *w.ws.source(1);
    SourceImageBefore before { std::move(doc.image), doc.editedInWindow, {} };
    doc.image = bench::benchPicture(4000, 3000, 3);
    recordImageEdit(w.ws, w.platform, 1, "Black and White", std::move(before));
    for (auto _ : state) {
        undoEdit(w.ws, w.platform);
        redoEdit(w.ws, w.platform);
    }
}

BENCHMARK(transformationsAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(undoAndRedoOfARotation)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(undoAndRedoOfAnImageStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace tessary
