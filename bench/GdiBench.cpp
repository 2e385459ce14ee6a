// Drawing speed: filling and blitting a Letter page at 300 dpi, each set
// against a plain memcpy of the page's bytes (the memory-bandwidth limit),
// and drawing filled, outlined polygons against drawing them with Cairo
// alone.
//
// "x_memcpy" is the time of one operation divided by the time of one memcpy
// of the same 2550 x 3300 x 4 bytes: 1 would be as fast as memory allows.

#include "platform/gdi/Gdi.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kPageWidth = 2550; // 8.5 x 11 in at 300 dpi
constexpr int kPageHeight = 3300;
constexpr size_t kPageBytes = size_t(kPageWidth) * kPageHeight * 4;

// A memory DC holding a 32-bit page.
class Page {
public:
    Page(int width = kPageWidth, int height = kPageHeight)
    {
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateBitmap(width, height, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, width, height, WHITENESS);
    }
    ~Page()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// Seconds one memcpy of a page takes here: the best of a few, taken once.
double MemcpySeconds()
{
    static const double seconds = [] {
        std::vector<char> from(kPageBytes, 1), to(kPageBytes);
        double best = 1e9;
        for (int i = 0; i < 20; ++i) {
            auto start = std::chrono::steady_clock::now();
            std::memcpy(to.data(), from.data(), kPageBytes);
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
            std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            best = std::min(best, elapsed.count());
        }
        return best;
    }();
    return seconds;
}

using Clock = std::chrono::steady_clock;

// Per-iteration time over the memcpy time.
void ReportAgainstMemcpy(benchmark::State& state, Clock::time_point start)
{
    std::chrono::duration<double> elapsed = Clock::now() - start;
    double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_memcpy"] = perIteration / MemcpySeconds();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPageBytes));
}

void BM_MemcpyPage(benchmark::State& state)
{
    std::vector<char> from(kPageBytes, 1), to(kPageBytes);
    MemcpySeconds();
    Clock::time_point start = Clock::now();
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kPageBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    ReportAgainstMemcpy(state, start);
}
BENCHMARK(BM_MemcpyPage)->Unit(benchmark::kMillisecond);

void BM_FillPage(benchmark::State& state)
{
    Page page;
    HBRUSH brush = CreateSolidBrush(RGB(30, 144, 255));
    RECT whole{0, 0, kPageWidth, kPageHeight};
    MemcpySeconds();
    Clock::time_point start = Clock::now();
    for (auto _ : state)
        FillRect(page.dc, &whole, brush);
    ReportAgainstMemcpy(state, start);
    DeleteObject(brush);
}
BENCHMARK(BM_FillPage)->Unit(benchmark::kMillisecond);

void BM_BlitPage(benchmark::State& state)
{
    Page from, to;
    HBRUSH brush = CreateHatchBrush(HS_DIAGCROSS, RGB(200, 0, 0));
    RECT whole{0, 0, kPageWidth, kPageHeight};
    FillRect(from.dc, &whole, brush);
    DeleteObject(brush);
    MemcpySeconds();
    Clock::time_point start = Clock::now();
    for (auto _ : state)
        BitBlt(to.dc, 0, 0, kPageWidth, kPageHeight, from.dc, 0, 0, SRCCOPY);
    ReportAgainstMemcpy(state, start);
}
BENCHMARK(BM_BlitPage)->Unit(benchmark::kMillisecond);

// 1,000 polygons of 3 to 8 corners, each filled with a solid brush and
// outlined with a 1-pixel pen, on a 1024 x 768 bitmap.
constexpr int kPolygonWidth = 1024;
constexpr int kPolygonHeight = 768;

const std::vector<std::vector<POINT>>& Polygons()
{
    static const std::vector<std::vector<POINT>> polygons = [] {
        std::mt19937 random(12345);
        std::uniform_int_distribution<int> corners(3, 8), x(0, kPolygonWidth - 1), y(0, kPolygonHeight - 1),
            size(-60, 60);
        std::vector<std::vector<POINT>> out(1000);
        for (auto& polygon : out) {
            POINT centre{x(random), y(random)};
            int n = corners(random);
            for (int i = 0; i < n; ++i)
                polygon.push_back(POINT{centre.x + size(random), centre.y + size(random)});
        }
        return out;
    }();
    return polygons;
}

// The same polygons filled and stroked straight with Cairo, antialiasing
// off, on a surface of the same size: what drawing them costs without GDI's
// rules.
void DrawPolygonsWithCairo(cairo_t* cr)
{
    for (const auto& polygon : Polygons()) {
        cairo_move_to(cr, polygon[0].x + 0.5, polygon[0].y + 0.5);
        for (size_t i = 1; i < polygon.size(); ++i)
            cairo_line_to(cr, polygon[i].x + 0.5, polygon[i].y + 0.5);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 1, 200 / 255.0, 0);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_stroke(cr);
    }
}

class CairoPage {
public:
    CairoPage()
    {
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPolygonWidth, kPolygonHeight);
        cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(cr, 1);
    }
    ~CairoPage()
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface;
    cairo_t* cr;
};

// Seconds the Cairo polygons take here: the best of a few, taken once.
double CairoPolygonSeconds()
{
    static const double seconds = [] {
        CairoPage page;
        double best = 1e9;
        for (int i = 0; i < 10; ++i) {
            auto start = std::chrono::steady_clock::now();
            DrawPolygonsWithCairo(page.cr);
            cairo_surface_flush(page.surface);
            std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            best = std::min(best, elapsed.count());
        }
        return best;
    }();
    return seconds;
}

// "x_cairo" is the time of one round of the polygons over the time Cairo
// alone takes for them.
void BM_Polygons(benchmark::State& state)
{
    Page page(kPolygonWidth, kPolygonHeight);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(255, 200, 0));
    HGDIOBJ oldPen = SelectObject(page.dc, pen);
    HGDIOBJ oldBrush = SelectObject(page.dc, brush);
    CairoPolygonSeconds();
    Clock::time_point start = Clock::now();
    for (auto _ : state) {
        for (const auto& polygon : Polygons())
            Polygon(page.dc, polygon.data(), int(polygon.size()));
    }
    std::chrono::duration<double> elapsed = Clock::now() - start;
    double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_cairo"] = perIteration / CairoPolygonSeconds();
    SelectObject(page.dc, oldPen);
    SelectObject(page.dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(Polygons().size()));
}
BENCHMARK(BM_Polygons)->Unit(benchmark::kMillisecond);

void BM_PolygonsWithCairo(benchmark::State& state)
{
    CairoPage page;
    for (auto _ : state) {
        DrawPolygonsWithCairo(page.cr);
        cairo_surface_flush(page.surface);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(Polygons().size()));
}
BENCHMARK(BM_PolygonsWithCairo)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
