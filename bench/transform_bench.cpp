// Source transformation of a 4000 x 3000 24-bit source, by the accessor path and the row paths.
// The rate counts target pixels produced.
#include "app/long_operation.h"
#include "bench_platform.h"
#include "merge/row_transformer.h"
#include "merge/transform_source.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

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

// The rows alone, one thread, computed band by band into rows that are used again, as the
// command-line merge computes them: the arithmetic without the cost of fresh memory.
void rowsInBands(benchmark::State& state, double scale, double angle)
{
    RowTransformer rows;
    if (rows.prepare(source(), scale, scale, angle, false) != kTransformDone) {
        state.SkipWithError("no transformation");
        return;
    }
    const int32_t w = rows.geometry().newW, h = rows.geometry().newH;
    constexpr int32_t kBand = 32;
    std::vector<uint8_t> pixels(size_t(kBand) * 3 * size_t(w));
    std::vector<uint16_t> masks(size_t(kBand) * size_t(w));
    int64_t count = 0;
    for (auto _ : state) {
        for (int32_t r0 = 0; r0 < h; r0 += kBand) {
            const int32_t r1 = std::min(h, r0 + kBand);
            std::fill(pixels.begin(), pixels.end(), uint8_t(0));
            std::fill(masks.begin(), masks.end(), uint16_t(0));
            rows.rows(r0, r1, pixels.data(), 3 * size_t(w), masks.data());
            benchmark::DoNotOptimize(pixels.data());
        }
        count += int64_t(w) * h;
    }
    state.counters["MPix/s"] = benchmark::Counter(double(count) / 1e6, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(rowsInBands, s150_a30, 1536.0, 30.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rowsInBands, s150_5_a30, 1536.5, 30.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rowsInBands, s150_a0, 1536.0, 0.0)->Unit(benchmark::kMillisecond);
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
