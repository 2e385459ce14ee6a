// Window-system speed on the headless back end: messages per second through
// SendMessage and through PostMessage + GetMessage/DispatchMessage, and the
// time from InvalidateRect to a presented frame of a full-HD window that
// fills itself on WM_PAINT (painting, erasing nothing, and the present).

#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <benchmark/benchmark.h>

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr int kFrameWidth = 1920;
constexpr int kFrameHeight = 1080;

long g_pings = 0;
int g_paints = 0;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case kPing:
        ++g_pings;
        return LRESULT(wParam + 1);
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers everything
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        // A different colour each frame, so nothing can be skipped as unchanged.
        HBRUSH brush = CreateSolidBrush((++g_paints & 1) ? RGB(200, 220, 255) : RGB(255, 240, 200));
        FillRect(dc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

HWND MakeWindow(int width, int height)
{
    platform::headless::Reset();
    platform::headless::SetScreen(2560, 1440);
    WNDCLASS wc{};
    wc.lpfnWndProc = BenchProc;
    wc.lpszClassName = "UiBench";
    RegisterClass(&wc);
    HWND hwnd = CreateWindowEx(0, "UiBench", "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, NULL, NULL, NULL,
        NULL);
    // Settle the first paint and present so the runs start from quiet.
    MSG msg;
    while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
    return hwnd;
}

void BM_SendMessage(benchmark::State& state)
{
    HWND hwnd = MakeWindow(200, 100);
    WPARAM value = 0;
    for (auto _ : state)
        value = WPARAM(SendMessage(hwnd, kPing, value, 0));
    benchmark::DoNotOptimize(value);
    state.SetItemsProcessed(state.iterations());
    platform::headless::Reset();
}
BENCHMARK(BM_SendMessage);

// Each iteration posts a batch (the queue holds up to 10000) and pumps it.
void BM_PostAndDispatch(benchmark::State& state)
{
    const int batch = int(state.range(0));
    HWND hwnd = MakeWindow(200, 100);
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i)
            PostMessage(hwnd, kPing, WPARAM(i), 0);
        g_pings = 0;
        MSG msg;
        while (g_pings < batch && GetMessage(&msg, NULL, 0, 0) > 0)
            DispatchMessage(&msg);
    }
    state.SetItemsProcessed(state.iterations() * batch);
    platform::headless::Reset();
}
BENCHMARK(BM_PostAndDispatch)->Arg(1)->Arg(1000);

void BM_InvalidateToPresentedFrame(benchmark::State& state)
{
    HWND hwnd = MakeWindow(kFrameWidth, kFrameHeight);
    for (auto _ : state) {
        int before = platform::headless::PresentCount();
        InvalidateRect(hwnd, NULL, FALSE);
        MSG msg;
        // The frame is presented when the queue goes idle after the paint.
        int rounds = 0;
        while (platform::headless::PresentCount() == before && ++rounds < 1000) {
            if (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessage(&msg);
        }
        if (platform::headless::PresentCount() == before) {
            state.SkipWithError("no frame was presented");
            break;
        }
    }
    state.counters["frames_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    platform::headless::Reset();
}
BENCHMARK(BM_InvalidateToPresentedFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
