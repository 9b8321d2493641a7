// Source transformation of a 4000 x 3000 24-bit source, by the accessor path and the row paths.
// The rate counts target pixels produced.
#include "app/long_operation.h"
#include "bench_platform.h"
#include "merge/transform_source.h"

#include <benchmark/benchmark.h>

namespace tessary {
namespace {

const MaskedDib& source()
{
    static const MaskedDib picture = bench::benchPicture(4000, 3000, 1);
    return picture;
}

void transform(benchmark::State& state, double scale, double angle, PixelPath path)
{
    bench::SilentPlatform platform;
    LongOperation operation(platform);
    int32_t progress = 0;
    int64_t pixels = 0;
    for (auto _ : state) {
        MaskedDib out;
        if (transformImage(source(), scale, scale, angle, false, operation, progress, out, path)
            != kTransformDone) {
            state.SkipWithError("transformation failed");
            return;
        }
        pixels += int64_t(out.width()) * out.height();
        benchmark::DoNotOptimize(out.dib->data());
    }
    state.counters["MPix/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(transform, s150_a30_accessor, 1536.0, 30.0, PixelPath::Accessor)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(transform, s150_a30_rows, 1536.0, 30.0, PixelPath::Rows)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(transform, s150_a30_rows_2threads, 1536.0, 30.0, PixelPath::RowsTwoThreads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(transform, s100_a0_accessor, 1024.0, 0.0, PixelPath::Accessor)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(transform, s100_a0_rows, 1024.0, 0.0, PixelPath::Rows)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(transform, s100_a0_rows_2threads, 1024.0, 0.0, PixelPath::RowsTwoThreads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tessary
