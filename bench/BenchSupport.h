#pragma once
// What the benchmarks share: timing a baseline once as the fastest of a few
// runs, so that each ratio counter divides by a steady figure, and a
// photograph-like picture to work on.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>

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

// Fills 24-bit BGR rows, stride bytes apart, with smooth ramps, fine grain
// and hard-edged patches, so that no filter or codec meets a flat, easy
// picture. The same seed gives the same picture on every run.
inline void FillPhotoPixels(uint8_t* pixels, int width, int height, size_t stride)
{
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = pixels + size_t(y) * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            const bool patch = ((x / 160) + (y / 120)) % 7 == 0;
            int r = x * 255 / width + grain;
            int g = y * 255 / height + grain;
            int b = ((x + y) / 40) % 2 ? 200 : 60;
            if (patch)
                r = g = b = (x / 160) % 2 ? 240 : 20;
            p[0] = uint8_t(std::clamp(b, 0, 255));
            p[1] = uint8_t(std::clamp(g, 0, 255));
            p[2] = uint8_t(std::clamp(r, 0, 255));
        }
    }
}

} // namespace bench
