// Target generation from four overlapping 4000 x 3000 transformed sources (a 6000 x 4500
// target), Average and Brightest, fade edge on source 2. The rate counts target pixels.
#include "app/workspace.h"
#include "bench_platform.h"
#include "merge/generate_target.h"

#include <benchmark/benchmark.h>

namespace tessary {
namespace {

MergeWorkspace& workspace()
{
    static MergeWorkspace* ws = [] {
        auto* w = new MergeWorkspace;
        const int32_t positions[4][2] = { { 0, 0 }, { 2000, 0 }, { 0, 1500 }, { 1000, 700 } };
        for (int i = 0; i < 4; ++i) {
            w->targetDoc.transformed[size_t(i)] = bench::benchPicture(4000, 3000, uint32_t(i + 1));
            w->alignDoc.placement[size_t(i)].posX = positions[i][0];
            w->alignDoc.placement[size_t(i)].posY = positions[i][1];
        }
        w->sourceCount = 4;
        w->equalBiasWeights();
        w->fadeEdge[1] = 1;
        return w;
    }();
    return *ws;
}

void generate(benchmark::State& state, int32_t mergeType, PixelPath path)
{
    MergeWorkspace& ws = workspace();
    ws.mergeType = mergeType;
    bench::SilentPlatform platform;
    int64_t pixels = 0;
    for (auto _ : state) {
        if (!generateTarget(ws, platform, path)) {
            state.SkipWithError("generation failed");
            return;
        }
        pixels += int64_t(ws.targetDoc.targetImage->width()) * ws.targetDoc.targetImage->height();
    }
    state.counters["MPix/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(generate, average_accessor, 0, PixelPath::Accessor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(generate, average_rows, 0, PixelPath::Rows)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(generate, average_rows_2threads, 0, PixelPath::RowsTwoThreads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(generate, brightest_accessor, 1, PixelPath::Accessor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(generate, brightest_rows, 1, PixelPath::Rows)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(generate, brightest_rows_2threads, 1, PixelPath::RowsTwoThreads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tessary
