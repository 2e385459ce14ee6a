// The workspace background: a 128 x 128 picture tiled across a 1920 x 1080
// area by the surface background painter, against Cairo filling the same
// area with a repeating pattern of the same tile.
//
// "x_cairo" is the painter's time for one fill divided by Cairo's (the
// fastest of a few runs, taken once): 1 would be as fast as Cairo.

#include "bench/BenchSupport.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "surface/SurfaceBackground.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

constexpr int kAreaWidth = 1920;
constexpr int kAreaHeight = 1080;
constexpr int kTileSide = 128;

// A tile with some variety in every row, as 32-bit pixels (0x00RRGGBB).
const std::vector<uint32_t>& TilePixels()
{
    static const std::vector<uint32_t> pixels = [] {
        std::vector<uint32_t> p(size_t(kTileSide) * kTileSide);
        for (int y = 0; y < kTileSide; ++y) {
            for (int x = 0; x < kTileSide; ++x) {
                const uint32_t grain = uint32_t((x * 37 + y * 91) % 13);
                p[size_t(y) * kTileSide + size_t(x)] = ((200 + grain) << 16) | ((195 + grain) << 8) | (185 + grain);
            }
        }
        return p;
    }();
    return pixels;
}

// The area the painter fills: a memory DC on a 32-bit bitmap.
class Area {
public:
    Area()
    {
        m_hDC = ::CreateCompatibleDC(NULL);
        m_hBitmap = ::CreateBitmap(kAreaWidth, kAreaHeight, 1, 32, nullptr);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        m_dc.Attach(m_hDC);
    }
    ~Area()
    {
        m_dc.Detach();
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    CDC* DC() { return &m_dc; }

private:
    HDC m_hDC = NULL;
    HBITMAP m_hBitmap = NULL;
    HGDIOBJ m_hOld = NULL;
    CDC m_dc;
};

HBITMAP TileBitmap()
{
    return ::CreateBitmap(kTileSide, kTileSide, 1, 32, TilePixels().data());
}

class CairoArea {
public:
    CairoArea()
    {
        m_target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kAreaWidth, kAreaHeight);
        m_cr = cairo_create(m_target);
        auto* pData = reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(TilePixels().data()));
        m_tile = cairo_image_surface_create_for_data(pData, CAIRO_FORMAT_RGB24, kTileSide, kTileSide, kTileSide * 4);
        m_pattern = cairo_pattern_create_for_surface(m_tile);
        cairo_pattern_set_extend(m_pattern, CAIRO_EXTEND_REPEAT);
    }
    ~CairoArea()
    {
        cairo_pattern_destroy(m_pattern);
        cairo_surface_destroy(m_tile);
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_target);
    }
    bool Fill()
    {
        cairo_set_source(m_cr, m_pattern);
        cairo_rectangle(m_cr, 0, 0, kAreaWidth, kAreaHeight);
        cairo_fill(m_cr);
        cairo_surface_flush(m_target);
        return cairo_image_surface_get_data(m_target)[0] != 0;
    }

private:
    cairo_surface_t* m_target = nullptr;
    cairo_t* m_cr = nullptr;
    cairo_surface_t* m_tile = nullptr;
    cairo_pattern_t* m_pattern = nullptr;
};

double CairoSeconds()
{
    static const double seconds = [] {
        CairoArea area;
        return bench::BestSeconds([&] { return area.Fill(); }, 15);
    }();
    return seconds;
}

void BM_TiledBackground(benchmark::State& state)
{
    const double baseline = CairoSeconds();
    CSurfaceBackground painter(RGB(0, 0, 0), nullptr, TRUE);
    painter.SetBitmap(TileBitmap());
    Area area;
    const RECT rect{0, 0, kAreaWidth, kAreaHeight};
    const POINT origin{17, 5};
    painter.Paint(area.DC(), &origin, &rect); // the tile block is made once
    double best = 1e9;
    const auto begin = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        painter.Paint(area.DC(), &origin, &rect);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    const std::chrono::duration<double> total = std::chrono::steady_clock::now() - begin;
    const double perIteration = total.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    // The mean fill against Cairo's fastest, and the fastest against it.
    state.counters["x_cairo"] = perIteration / baseline;
    state.counters["x_cairo_best"] = best / baseline;
    state.counters["cairo_ms"] = baseline * 1e3;
}
BENCHMARK(BM_TiledBackground)->Unit(benchmark::kMillisecond);

void BM_CairoRepeat(benchmark::State& state)
{
    CairoArea area;
    for (auto _ : state)
        benchmark::DoNotOptimize(area.Fill());
}
BENCHMARK(BM_CairoRepeat)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
