// A window with a child on whatever back end THREADWICK_BACKEND names, for
// the end-to-end test: it logs the messages it gets (one line each) to the
// file named on the command line and paints plain colours a screenshot can
// find. The frame's client area is red; the child is green until it is
// clicked, then blue. Beside the child a push button, below it a strip that
// holds the mouse capture while the pointer is over it (as picture buttons
// that light up under the pointer do), blue while it holds it. When a file
// named as the log with ".pause" added appears, the program takes it away
// and reads no input for half a second, so that what the display sends
// meanwhile comes in one batch. It ends when asked to close, or after 30
// seconds.
//
// Log lines:  ready <child client origin x> <y> <frame client origin x> <y>
//                   <button centre x> <y> <strip centre x> <y>
//             <top|child|hover> <message> <wParam> <x> <y>

#include "platform/base/Clock.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/User.h"

#include <cstdio>
#include <string>

namespace {

constexpr COLORREF kFrameColor = RGB(200, 30, 30);
constexpr COLORREF kChildColor = RGB(0, 160, 0);
constexpr COLORREF kClickedColor = RGB(20, 40, 220);
constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT_PTR kPauseTimer = 2;
constexpr int kButtonId = 101;

FILE* g_log = nullptr;
std::string g_pauseFile;
HWND g_top = NULL;
HWND g_child = NULL;
HWND g_hover = NULL;
bool g_clicked = false;

const char* NameOf(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_QUERYENDSESSION: return "WM_QUERYENDSESSION";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_DESTROY: return "WM_DESTROY";
    default: return nullptr;
    }
}

void Log(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const char* name = NameOf(msg);
    if (!name || !g_log)
        return;
    const char* who = hwnd == g_child ? "child" : hwnd == g_hover ? "hover" : "top";
    std::fprintf(g_log, "%s %s %lu %d %d\n", who, name, (unsigned long)wParam,
        int(short(LOWORD(lParam))), int(short(HIWORD(lParam))));
    std::fflush(g_log);
}

void Paint(HWND hwnd, COLORREF color)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Log(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        g_clicked = true;
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    case WM_PAINT:
        Paint(hwnd, g_clicked ? kClickedColor : kChildColor);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

// Holds the capture while the pointer is over it and lets it go as soon as
// a move leaves it.
LRESULT CALLBACK HoverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Log(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_MOUSEMOVE: {
        RECT r;
        GetClientRect(hwnd, &r);
        POINT p{short(LOWORD(lParam)), short(HIWORD(lParam))};
        bool inside = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
        if (inside && GetCapture() != hwnd) {
            SetCapture(hwnd);
            InvalidateRect(hwnd, NULL, FALSE);
        } else if (!inside && GetCapture() == hwnd) {
            ReleaseCapture();
            InvalidateRect(hwnd, NULL, FALSE);
        }
        return 0;
    }
    case WM_PAINT:
        Paint(hwnd, GetCapture() == hwnd ? kClickedColor : kChildColor);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Log(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        Paint(hwnd, kFrameColor);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_TIMER:
        if (wParam == kGiveUpTimer)
            DestroyWindow(hwnd);
        if (wParam == kPauseTimer && std::remove(g_pauseFile.c_str()) == 0)
            Sleep(500);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

bool Register(const char* name, WNDPROC proc)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    return RegisterClass(&wc) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: e2e_window <log file>\n");
        return 2;
    }
    g_log = std::fopen(argv[1], "w");
    if (!g_log) {
        std::perror(argv[1]);
        return 2;
    }
    if (!Register("E2eFrame", FrameProc) || !Register("E2eChild", ChildProc) || !Register("E2eHover", HoverProc))
        return 1;
    g_top = CreateWindowEx(0, "E2eFrame", "Threadwick E2E", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 60, 50, 420, 320, NULL,
        NULL, NULL, NULL);
    if (!g_top)
        return 1;
    g_child = CreateWindowEx(0, "E2eChild", "", WS_CHILD | WS_VISIBLE, 40, 50, 200, 120, g_top, (HMENU)100, NULL, NULL);
    if (!g_child)
        return 1;
    HWND button = CreateWindowEx(0, "BUTTON", "Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 280, 60, 90, 30, g_top,
        (HMENU)kButtonId, NULL, NULL);
    if (!button)
        return 1;
    g_hover = CreateWindowEx(0, "E2eHover", "", WS_CHILD | WS_VISIBLE, 280, 120, 90, 30, g_top, (HMENU)103, NULL, NULL);
    if (!g_hover)
        return 1;
    ShowWindow(g_top, SW_SHOWNORMAL);
    UpdateWindow(g_top);
    SetTimer(g_top, kGiveUpTimer, 30000, NULL);
    g_pauseFile = std::string(argv[1]) + ".pause";
    SetTimer(g_top, kPauseTimer, 50, NULL);

    // Everything painted and presented before the driver script looks.
    MSG msg;
    while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    POINT child{0, 0};
    POINT frame{0, 0};
    ClientToScreen(g_child, &child);
    ClientToScreen(g_top, &frame);
    RECT pressRect{};
    GetWindowRect(button, &pressRect);
    RECT hoverRect{};
    GetWindowRect(g_hover, &hoverRect);
    std::fprintf(g_log, "ready %d %d %d %d %d %d %d %d\n", int(child.x), int(child.y), int(frame.x), int(frame.y),
        int(pressRect.left + pressRect.right) / 2, int(pressRect.top + pressRect.bottom) / 2,
        int(hoverRect.left + hoverRect.right) / 2, int(hoverRect.top + hoverRect.bottom) / 2);
    std::fflush(g_log);

    while (GetMessage(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    std::fclose(g_log);
    return 0;
}
