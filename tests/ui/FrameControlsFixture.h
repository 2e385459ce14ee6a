#pragma once
// A fixture for the tests of a window's frame controls: an MDI frame
// (640 x 480 at the origin, with a menu bar) holding an MDI client, design
// windows made on demand, a fake clock, a script the nested loops run from
// the idle handler, and a log of the messages the frame and its children
// get that these tests care about.

#include "platform/base/Clock.h"
#include "platform/base/Geometry.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Mdi.h"
#include "platform/ui/User.h"
#include "tests/ui/IdleScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace frametest {

namespace hl = platform::headless;

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    RECT rect; // WM_MOVING / WM_SIZING: the rectangle asked for
};

struct Log {
    HWND client = NULL;
    std::vector<Seen> seen;
    // Answers a child gives: the tracking size it keeps to (0: none), and a
    // grid its moves snap to (0: none).
    POINT minTrack{0, 0};
    int snap = 0;
};

inline Log& TheLog()
{
    static Log log;
    return log;
}

inline bool Logged(UINT msg)
{
    switch (msg) {
    case WM_SYSCOMMAND:
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
    case WM_MOVING:
    case WM_SIZING:
    case WM_INITMENUPOPUP:
    case WM_NCACTIVATE:
    case WM_CAPTURECHANGED:
        return true;
    default:
        return false;
    }
}

inline void Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!Logged(msg))
        return;
    Seen s{hwnd, msg, wParam, lParam, RECT{}};
    if ((msg == WM_MOVING || msg == WM_SIZING) && lParam)
        s.rect = *reinterpret_cast<RECT*>(lParam);
    TheLog().seen.push_back(s);
}

inline LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Record(hwnd, msg, wParam, lParam);
    return DefFrameProc(hwnd, TheLog().client, msg, wParam, lParam);
}

inline LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Record(hwnd, msg, wParam, lParam);
    if (msg == WM_MOVING && TheLog().snap > 0) {
        // A window that keeps its left edge on a grid.
        RECT* r = reinterpret_cast<RECT*>(lParam);
        int grid = TheLog().snap;
        LONG left = r->left - r->left % grid;
        OffsetRect(r, left - r->left, 0);
        return TRUE;
    }
    LRESULT result = DefMDIChildProc(hwnd, msg, wParam, lParam);
    if (msg == WM_GETMINMAXINFO && TheLog().minTrack.x > 0)
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = TheLog().minTrack;
    return result;
}

class FrameControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hl::Reset();
        platform::SetClockSource(&clock);
        clock.SetTicks(10000);
        TheLog() = Log{};
        WNDCLASS wc{};
        wc.lpfnWndProc = FrameProc;
        wc.lpszClassName = "FrameControlsFrame";
        RegisterClass(&wc);
        wc.lpfnWndProc = ChildProc;
        wc.lpszClassName = "FrameControlsChild";
        wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
        RegisterClass(&wc);

        menu = CreateMenu();
        windowMenu = CreatePopupMenu();
        AppendMenu(windowMenu, MF_STRING, 57650, "&Cascade");
        AppendMenu(menu, MF_POPUP, UINT_PTR(windowMenu), "&Window");
        frame = CreateWindowEx(0, "FrameControlsFrame", "App", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, NULL,
            menu, NULL, nullptr);
        CLIENTCREATESTRUCT ccs{windowMenu, 0xFF00};
        RECT r{};
        GetClientRect(frame, &r);
        client = CreateWindowEx(0, "MDIClient", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, r.right,
            r.bottom, frame, HMENU(0xE900), NULL, &ccs);
        TheLog().client = client;
        ASSERT_TRUE(client);
        SetActiveWindow(frame);
    }

    void TearDown() override
    {
        hl::SetIdleHandler(nullptr);
        hl::Reset();
        platform::ResetClock();
    }

    // A design window at (x, y) in the client, 300 x 200.
    HWND NewChild(const char* title, int x = 20, int y = 10)
    {
        HWND h = CreateMDIWindow("FrameControlsChild", title, WS_VISIBLE, x, y, 300, 200, client, NULL, 0);
        Drain();
        TheLog().seen.clear();
        return h;
    }

    // Each step runs when a loop would wait with nothing to do; after the
    // last one a loop that waits gets WM_QUIT.
    static void Script(std::vector<std::function<void()>> steps) { uitest::Script(std::move(steps)); }

    // The program's loop, until the script has run out.
    static void RunProgramLoop() { uitest::RunProgramLoop(); }

    // Pumps what is queued now.
    static void Drain()
    {
        MSG m{};
        for (int i = 0; i < 10000 && PeekMessage(&m, NULL, 0, 0, PM_REMOVE); ++i) {
            if (m.message == WM_QUIT)
                break;
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
    }

    static std::vector<Seen> Only(HWND hwnd, std::initializer_list<UINT> wanted)
    {
        std::vector<Seen> out;
        for (const Seen& s : TheLog().seen)
            if (s.hwnd == hwnd && std::find(wanted.begin(), wanted.end(), s.message) != wanted.end())
                out.push_back(s);
        return out;
    }

    static RECT ScreenRect(HWND hwnd)
    {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return r;
    }

    static RECT RectInParent(HWND hwnd)
    {
        RECT r = ScreenRect(hwnd);
        MapWindowPoints(NULL, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static POINT Center(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    // A point of the caption clear of its icon and boxes (screen).
    static POINT CaptionPoint(HWND hwnd)
    {
        RECT r = ScreenRect(hwnd);
        return POINT{r.left + 60, r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    }

    static LRESULT HitAt(HWND hwnd, POINT p) { return SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); }

    static void ClickAt(POINT p) { hl::Click(p.x, p.y); }

    platform::FakeClock clock;
    HWND frame = NULL;
    HWND client = NULL;
    HMENU menu = NULL;
    HMENU windowMenu = NULL;
};

} // namespace frametest
