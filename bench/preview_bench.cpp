// rebuildPreview for eight 4000 x 3000 sources in a 1280 x 800 Align view, by the accessor path
// and the row paths. "stacked" puts all eight on one another (every preview pixel reads eight
// sources); "grid" lays them out four by two with some overlap.
#include "align/rebuild_preview.h"
#include "app/workspace.h"
#include "bench_platform.h"

#include <benchmark/benchmark.h>

namespace tessary {
namespace {

MergeWorkspace& workspace()
{
    static MergeWorkspace* ws = [] {
        auto* w = new MergeWorkspace;
        for (int j = 0; j < 8; ++j) {
            auto doc = std::make_unique<VIrorozIzi>();
            doc->slotIndex = j;
            doc->imageWidth = 4000;
            doc->imageHeight = 3000;
            w->documents[size_t(j)] = std::move(doc);
            w->targetDoc.transformed[size_t(j)] = bench::benchPicture(4000, 3000, uint32_t(j + 1));
        }
        w->sourceCount = 8;
        w->alignDoc.alignViewWidth = 1280;
        w->alignDoc.alignViewHeight = 800;
        return w;
    }();
    return *ws;
}

void rebuild(benchmark::State& state, bool grid, PixelPath path)
{
    MergeWorkspace& ws = workspace();
    for (size_t j = 0; j < 8; ++j) {
        ws.alignDoc.placement[j].posX = grid ? int32_t(j % 4) * 3000 : 0;
        ws.alignDoc.placement[j].posY = grid ? int32_t(j / 4) * 2200 : 0;
    }
    bench::SilentPlatform platform;
    for (auto _ : state) {
        rebuildPreview(ws, platform, 0, path);
        if (ws.alignDoc.previewValid != 1 || ws.alignDoc.preview.empty()) {
            state.SkipWithError("no preview");
            return;
        }
        benchmark::DoNotOptimize(ws.alignDoc.preview.dib->data());
    }
    state.counters["previewW"] = ws.alignDoc.previewWidth;
    state.counters["previewH"] = ws.alignDoc.previewHeight;
}

BENCHMARK_CAPTURE(rebuild, stacked_accessor, false, PixelPath::Accessor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, stacked_rows, false, PixelPath::Rows)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, stacked_rows_2threads, false, PixelPath::RowsTwoThreads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(rebuild, grid_accessor, true, PixelPath::Accessor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, grid_rows, true, PixelPath::Rows)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rebuild, grid_rows_2threads, true, PixelPath::RowsTwoThreads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tessary
