// The source corrections on a 4000 x 3000 24-bit source (the grid includes copying the picture). The rate
// counts result pixels. The accessor variant of the gray conversion reads and writes every pixel through the
// virtual single-pixel accessors, for comparison with the row-pointer forms.
#include "bench_platform.h"
#include "corrections/cylindrical.h"
#include "corrections/grid.h"
#include "corrections/pincushion.h"
#include "corrections/skew.h"
#include "corrections/tone.h"
#include "corrections/trapezoid.h"
#include "image/pixel_access.h"

#include <benchmark/benchmark.h>
#include <functional>

namespace tessary {
namespace {

const MaskedDib& source()
{
    static const MaskedDib picture = bench::benchPicture(4000, 3000, 2);
    return picture;
}

void run(
    benchmark::State& state, const std::function<CorrectionStatus(const MaskedDib&, MaskedDib&)>& correct)
{
    source(); // the picture is made before the clock runs
    int64_t pixels = 0;
    for (auto _ : state) {
        MaskedDib out;
        if (correct(source(), out) != CorrectionStatus::Done) {
            state.SkipWithError("correction failed");
            return;
        }
        pixels += int64_t(out.width()) * out.height();
        benchmark::DoNotOptimize(out.dib->data());
    }
    state.counters["MPix/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

// The gray conversion alone, on a fresh copy made while the clock is stopped.
void gray(benchmark::State& state, const std::function<void(MaskedDib&)>& convert)
{
    source();
    int64_t pixels = 0;
    for (auto _ : state) {
        state.PauseTiming();
        MaskedDib image = source().clone();
        state.ResumeTiming();
        convert(image);
        pixels += int64_t(image.width()) * image.height();
        benchmark::DoNotOptimize(image.dib->data());
    }
    state.counters["MPix/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

void grayRows(benchmark::State& state)
{
    gray(state, grayScale24);
}

void grayAccessor(benchmark::State& state)
{
    gray(state, [](MaskedDib& image) {
        access_pixel pixels(image);
        for (int32_t row = 0; row < image.height(); ++row)
            for (int32_t x = 0; x < image.width(); ++x) {
                pixels->readPixel(x, row);
                const BgrColour c = currentPixel;
                const uint8_t g = uint8_t(grayOf(c.red, c.green, c.blue));
                pixels->writePixel(x, row, PixelColour { g, g, g, 0 });
            }
    });
}

void tone(benchmark::State& state)
{
    ToneValues values;
    values.channels[0] = { 150, 90 };
    values.gamma = 60;
    run(state, [&values](const MaskedDib& in, MaskedDib& out) { return applyTone(in, values, out); });
}

void trapezoidCorrection(benchmark::State& state)
{
    run(state, [](const MaskedDib& in, MaskedDib& out) {
        return applyTrapezoid(in, { 80, 50, false }, out);
    });
}

void skewCorrection(benchmark::State& state)
{
    run(state, [](const MaskedDib& in, MaskedDib& out) { return applySkew(in, 20, out); });
}

void pincushionCorrection(benchmark::State& state)
{
    RadiusTable table;
    if (buildRadiusTable(4000, 3000, 0.2, -0.1, table) != CorrectionStatus::Done) {
        state.SkipWithError("table failed");
        return;
    }
    run(state, [&table](const MaskedDib& in, MaskedDib& out) { return applyPincushion(in, table, out); });
}

void radiusTable(benchmark::State& state)
{
    for (auto _ : state) {
        RadiusTable table;
        benchmark::DoNotOptimize(buildRadiusTable(4000, 3000, 0.2, -0.1, table));
    }
}

void cylindricalCorrection(benchmark::State& state)
{
    run(state, [](const MaskedDib& in, MaskedDib& out) {
        return applyCylindrical(in, { 30, 150, 60 }, out);
    });
}

void gridOverlay(benchmark::State& state)
{
    GridValues values;
    values.solid = values.dotted = true;
    values.thickness = 2;
    run(state, [&values](const MaskedDib& in, MaskedDib& out) {
        out = in.clone();
        drawGrid(out, values);
        return CorrectionStatus::Done;
    });
}

BENCHMARK(grayRows)->Unit(benchmark::kMillisecond);
BENCHMARK(grayAccessor)->Unit(benchmark::kMillisecond);
BENCHMARK(tone)->Unit(benchmark::kMillisecond);
BENCHMARK(trapezoidCorrection)->Unit(benchmark::kMillisecond);
BENCHMARK(skewCorrection)->Unit(benchmark::kMillisecond);
BENCHMARK(pincushionCorrection)->Unit(benchmark::kMillisecond);
BENCHMARK(radiusTable)->Unit(benchmark::kMillisecond);
BENCHMARK(cylindricalCorrection)->Unit(benchmark::kMillisecond);
BENCHMARK(gridOverlay)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tessary
