// Timers: WM_TIMER is made by the queue when a timer is due, one pending per
// timer, so a slow program sees fewer ticks, never a backlog.

#include "platform/base/Clock.h"
#include "platform/ui/internal/Queue.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>

namespace platform {

namespace {

// Windows' limits on the period.
constexpr UINT kMinimumElapse = 10;
constexpr UINT kMaximumElapse = 0x7FFFFFFF;

} // namespace

void KillWindowTimers(HWND hwnd)
{
    auto& timers = Ws().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
        timers.end());
}

DWORD TimeToNextTimer()
{
    const auto& timers = Ws().timers;
    if (timers.empty())
        return INFINITE;
    DWORD now = GetTickCount();
    DWORD best = INFINITE - 1;
    for (const Timer& t : timers) {
        int32_t left = int32_t(t.due - now);
        if (left <= 0)
            return 0;
        best = std::min(best, DWORD(left));
    }
    return best;
}

} // namespace platform

using namespace platform;

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    WindowSystem& ws = Ws();
    if (hWnd && !FindWindowRecord(hWnd))
        return 0;
    uElapse = std::clamp(uElapse, kMinimumElapse, kMaximumElapse);
    DWORD due = GetTickCount() + uElapse;
    for (Timer& t : ws.timers) {
        if (t.hwnd == hWnd && t.id == nIDEvent && (hWnd || nIDEvent)) {
            t.elapse = uElapse;
            t.proc = lpTimerFunc;
            t.due = due;
            return hWnd ? (nIDEvent ? nIDEvent : 1) : nIDEvent;
        }
    }
    if (ws.timers.size() >= 10000) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    Timer t;
    t.hwnd = hWnd;
    t.elapse = uElapse;
    t.proc = lpTimerFunc;
    t.due = due;
    if (hWnd) {
        t.id = nIDEvent;
    } else {
        // Thread timers get ids of their own that no other thread timer has.
        for (;;) {
            UINT_PTR id = ws.nextTimerId++;
            if (ws.nextTimerId > 0x7FFF)
                ws.nextTimerId = 1;
            bool used = std::any_of(ws.timers.begin(), ws.timers.end(),
                [id](const Timer& x) { return !x.hwnd && x.id == id; });
            if (!used) {
                t.id = id;
                break;
            }
        }
    }
    ws.timers.push_back(t);
    return hWnd ? (nIDEvent ? nIDEvent : 1) : t.id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    auto& timers = Ws().timers;
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->hwnd == hWnd && it->id == uIDEvent) {
            timers.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

UINT GetDoubleClickTime()
{
    return 500;
}
