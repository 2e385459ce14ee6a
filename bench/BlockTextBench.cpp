// Block text: a fitted block of 2,000 characters in three columns, in Arial
// (Liberation Sans here) at 96 pixels an inch.
//
// Counters:
// - "x_drawtext" on BM_FirstDraw: the block's first drawing into a memory
//   DC, fitting its font to the frame included, over one DrawText with
//   DT_WORDBREAK | DT_CALCRECT of the same text in the same font, timed in
//   the same run (target at most 20); "x_drawtext_fit" is the fitting
//   alone over the same DrawText;
// - "x_bitblt" on BM_CachedPaint: a repeated paint at zoom 150 of a block
//   whose rendering is cached (a bitmap, kept off the glyph outlines) over
//   one BitBlt of the frame (target at most 3);
// - "points": the size fitting chose, to show the work was done.

#include "model/TextOwnerServices.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "text/TextBlock.h"
#include "text/TextOwner.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

namespace {

constexpr int kLength = 2000;
constexpr int kColumns = 3;
constexpr int kWidth = 900;
constexpr int kHeight = 600;
constexpr int kZoom = 150;

using Clock = std::chrono::steady_clock;

// Deterministic flyer text with a line break about every 40 characters.
std::string MakeText()
{
    static const char* const words[] = {"block", "text", "fitted", "to", "its", "frame", "in", "three", "columns",
        "a", "sale", "on", "shirts", "and", "mugs", "now", "every", "size", "colour", "the"};
    constexpr unsigned kWords = sizeof(words) / sizeof(words[0]);
    std::string text;
    unsigned seed = 20261207u;
    int nSinceBreak = 0;
    while (int(text.size()) < kLength) {
        seed = seed * 1664525u + 1013904223u;
        const std::string word = words[(seed >> 8) % kWords];
        text += word;
        nSinceBreak += int(word.size());
        if (nSinceBreak > 40) {
            text += ".\n";
            nSinceBreak = 0;
        } else {
            text += ' ';
        }
    }
    text.resize(kLength);
    return text;
}

int BenchZoom(const CDrawObj*)
{
    return kZoom;
}

void SetUpPlatform()
{
    static const bool done = [] {
        platform::headless::Reset();
        RegisterTextOwnerServices();
        return true;
    }();
    (void)done;
}

// A white memory canvas of the frame's size.
class Canvas {
public:
    Canvas(int cx, int cy)
    {
        CDC screen;
        screen.CreateCompatibleDC(nullptr);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateBitmap(cx, cy, 1, 32, nullptr);
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.PatBlt(0, 0, cx, cy, WHITENESS);
    }
    ~Canvas() { m_dc.SelectObject(m_pOld); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    CDC* DC() { return &m_dc; }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

void Prepare(CTextBlock& block, const CString& text)
{
    block.SetFont(-24, "Arial", 0);
    block.m_wFlags = TEXTBLOCK_AUTO_SIZE;
    block.m_crText = RGB(0, 0, 0);
    block.SetColumns(kColumns);
    block.SetText(text);
    block.SetRect(CRect(0, 0, kWidth, kHeight));
}

double DrawTextSeconds(const CString& text)
{
    Canvas canvas(kWidth, kHeight);
    LOGFONT lf{};
    lf.lfHeight = -32; // 24 points at 96 pixels an inch
    std::strcpy(lf.lfFaceName, "Arial");
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* pOld = canvas.DC()->SelectObject(&font);
    const double seconds = bench::BestSeconds([&] {
        CRect rect(0, 0, kWidth, 0);
        return canvas.DC()->DrawText(text, text.GetLength(), &rect, DT_WORDBREAK | DT_CALCRECT);
    });
    canvas.DC()->SelectObject(pOld);
    return seconds;
}

double PerIteration(benchmark::State& state, Clock::time_point start)
{
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

void BM_FirstDraw(benchmark::State& state)
{
    SetUpPlatform();
    const CString text(MakeText().c_str());
    const double baseline = DrawTextSeconds(text);
    Canvas canvas(kWidth, kHeight);
    CTextBlock block(nullptr);
    const auto start = Clock::now();
    for (auto _ : state) {
        // A fresh block each time: nothing fitted or laid before.
        Prepare(block, text);
        block.m_nFittedHeight = -10;
        block.Draw(canvas.DC());
    }
    state.counters["x_drawtext"] = PerIteration(state, start) / baseline;
    state.counters["points"] = -block.m_nFittedHeight;
    // Where the time goes: fitting alone (the rest is text output).
    const double fitting = bench::BestSeconds([&] {
        Prepare(block, text);
        block.m_nFittedHeight = -10;
        return block.FitText(canvas.DC(), CRect(0, 0, kWidth, kHeight)).cx;
    });
    state.counters["x_drawtext_fit"] = fitting / baseline;
}
BENCHMARK(BM_FirstDraw)->Unit(benchmark::kMillisecond);

void BM_CachedPaint(benchmark::State& state)
{
    SetUpPlatform();
    const TextOwnerServices saved = GetTextOwnerServices();
    TextOwnerServices services = saved;
    services.pfnZoom = &BenchZoom;
    SetTextOwnerServices(services);

    const CString text(MakeText().c_str());
    Canvas canvas(kWidth, kHeight);
    CTextBlock block(nullptr);
    Prepare(block, text);
    block.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
    // A flat warp: the block is rendered into a bitmap once.
    block.SetShape(16);
    block.Draw(canvas.DC());

    Canvas source(kWidth, kHeight);
    const double baseline = bench::BestSeconds([&] {
        return canvas.DC()->BitBlt(0, 0, kWidth, kHeight, source.DC(), 0, 0, SRCCOPY);
    });
    const auto start = Clock::now();
    for (auto _ : state)
        block.Draw(canvas.DC());
    state.counters["x_bitblt"] = PerIteration(state, start) / baseline;
    state.counters["cached"] = block.m_pCachedBitmap != nullptr ? 1 : 0;
    SetTextOwnerServices(saved);
}
BENCHMARK(BM_CachedPaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
