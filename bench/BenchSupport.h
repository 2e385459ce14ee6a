#pragma once
// What the benchmarks share: timing a baseline once as the fastest of a few
// runs, so that each ratio counter divides by a steady figure.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace bench {

// Seconds the fastest of nRuns runs of work takes.
template <class Work>
double BestSeconds(Work work, int nRuns = 7)
{
    double best = 1e9;
    for (int i = 0; i < nRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(work());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

} // namespace bench
