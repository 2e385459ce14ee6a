#include "tests/ui/UiTestSupport.h"

#include <algorithm>
#include <string>

namespace uitest {

namespace {

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Recorder& r = Rec();
    if (std::find(r.ignored.begin(), r.ignored.end(), msg) == r.ignored.end())
        r.log.push_back(Seen{hwnd, msg, wParam, lParam});
    auto it = r.handlers.find(hwnd);
    if (it != r.handlers.end()) {
        // Copy: the handler may remove itself.
        auto handler = it->second;
        LRESULT result = 0;
        if (handler(hwnd, msg, wParam, lParam, result))
            return result;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

Recorder& Rec()
{
    static Recorder r;
    return r;
}

std::vector<UINT> Recorder::MessagesOf(HWND hwnd) const
{
    std::vector<UINT> out;
    for (const Seen& s : log)
        if (s.hwnd == hwnd)
            out.push_back(s.message);
    return out;
}

std::vector<UINT> Recorder::Messages() const
{
    std::vector<UINT> out;
    for (const Seen& s : log)
        out.push_back(s.message);
    return out;
}

const char* TestClass(UINT style)
{
    static std::string name;
    name = "UiTestWindow" + std::to_string(style);
    WNDCLASS wc{};
    if (!GetClassInfo(NULL, name.c_str(), &wc)) {
        wc.style = style;
        wc.lpfnWndProc = RecordingProc;
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = name.c_str();
        RegisterClass(&wc);
    }
    return name.c_str();
}

HWND MakeTopLevel(DWORD style, RECT r)
{
    return CreateWindowEx(0, TestClass(), "Top", style, r.left, r.top, r.right - r.left, r.bottom - r.top, NULL, NULL,
        NULL, NULL);
}

HWND MakeChild(HWND parent, int id, RECT r, DWORD style)
{
    return CreateWindowEx(0, TestClass(), "Child", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
        (HMENU)(INT_PTR)id, NULL, NULL);
}

void Pump()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        DispatchMessage(&msg);
    }
}

HWND VisibleComboList()
{
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassName(w, name, sizeof name);
        if (std::string(name) == "ComboLBox" && IsWindowVisible(w))
            return w;
    }
    return NULL;
}

} // namespace uitest
