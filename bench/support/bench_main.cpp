// The benchmarks' main: Google Benchmark's own run, then the peak resident memory of the whole
// run on stderr, so a change in memory shows next to a change in time.
#include "app/resident_memory.h"

#include <benchmark/benchmark.h>
#include <cstdio>

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::fprintf(stderr, "peak memory: %.1f MB\n", double(tessary::peakResidentBytes()) / 1e6);
    return 0;
}
