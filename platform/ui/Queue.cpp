// The message queue and loop: send, post, peek, get, dispatch, quit.

#include "platform/base/Clock.h"
#include "platform/base/CharClass.h"
#include "platform/ui/IdleWork.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Queue.h"
#include "platform/ui/internal/Window.h"

#include <cstring>
#include <string>
#include <vector>

#define ERROR_NOT_ENOUGH_QUOTA 1816L

namespace platform {

namespace {

// Windows refuses posts beyond this many waiting messages; so do we, so that
// a runaway poster cannot exhaust memory.
constexpr size_t kMaxQueued = 10000;

bool InRange(UINT message, UINT first, UINT last)
{
    if (first == 0 && last == 0)
        return true;
    if (first <= last)
        return message >= first && message <= last;
    // A reversed range selects everything outside it.
    return message >= first || message <= last;
}

bool WindowMatches(HWND msgWindow, HWND filter)
{
    if (!filter)
        return true;
    if (filter == HWND(-1))
        return msgWindow == NULL;
    return msgWindow == filter || IsChild(filter, msgWindow);
}

bool TakeFrom(std::deque<MSG>& list, MSG& out, HWND filter, UINT first, UINT last, bool remove)
{
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (WindowMatches(it->hwnd, filter) && InRange(it->message, first, last)) {
            out = *it;
            if (remove)
                list.erase(it);
            return true;
        }
    }
    return false;
}

bool TimerDue(const Timer& t, DWORD now)
{
    return int32_t(now - t.due) >= 0;
}

MSG Blank()
{
    MSG m{};
    m.time = GetTickCount();
    m.pt = Ws().queue.lastPos;
    return m;
}

bool Retrieve(MSG& out, HWND filter, UINT first, UINT last, bool remove)
{
    WindowSystem& ws = Ws();
    MessageQueue& q = ws.queue;
    if (TakeFrom(q.posted, out, filter, first, last, remove))
        return true;
    if (TakeFrom(q.input, out, filter, first, last, remove)) {
        if (remove)
            q.lastPos = out.pt;
        return true;
    }
    if (q.quitPending) {
        out = Blank();
        out.message = WM_QUIT;
        out.wParam = WPARAM(q.quitCode);
        if (remove)
            q.quitPending = false;
        return true;
    }
    if (InRange(WM_PAINT, first, last)) {
        if (HWND h = FindWindowToPaint(filter == HWND(-1) ? NULL : filter); h && filter != HWND(-1)) {
            out = Blank();
            out.hwnd = h;
            out.message = WM_PAINT;
            return true;
        }
    }
    if (InRange(WM_TIMER, first, last)) {
        DWORD now = GetTickCount();
        for (Timer& t : ws.timers) {
            if (!TimerDue(t, now) || !WindowMatches(t.hwnd, filter))
                continue;
            out = Blank();
            out.hwnd = t.hwnd;
            out.message = WM_TIMER;
            out.wParam = t.id;
            out.lParam = LPARAM(t.proc);
            if (remove)
                t.due = now + t.elapse;
            return true;
        }
    }
    return false;
}

bool Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MessageQueue& q = Ws().queue;
    if (q.posted.size() >= kMaxQueued) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return false;
    }
    MSG m = Blank();
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    q.posted.push_back(m);
    return true;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> list;
    if (Window* desktop = PeekWindowRecord(Ws().desktop))
        list = desktop->children;
    return list;
}

} // namespace

void PostInputMessage(const MSG& msg)
{
    MessageQueue& q = Ws().queue;
    if (q.input.size() >= kMaxQueued)
        return;
    MSG m = msg;
    if (!m.time)
        m.time = GetTickCount();
    q.input.push_back(m);
}

LRESULT SendForeignMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MessageQueue& q = Ws().queue;
    ++q.foreignSends;
    LRESULT result = SendMessage(hwnd, msg, wParam, lParam);
    --Ws().queue.foreignSends;
    return result;
}

bool QueueHasWork()
{
    MSG m;
    return Retrieve(m, NULL, 0, 0, false);
}

bool LeftButtonStillHeld()
{
    if (GetAsyncKeyState(VK_LBUTTON) < 0)
        return true;
    MSG m;
    return PeekMessage(&m, NULL, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)
        || PeekMessage(&m, NULL, WM_NCLBUTTONUP, WM_NCLBUTTONUP, PM_NOREMOVE);
}

void ForgetQueuedMessages(HWND hwnd)
{
    MessageQueue& q = Ws().queue;
    auto drop = [hwnd](std::deque<MSG>& list) {
        for (auto it = list.begin(); it != list.end();)
            it = it->hwnd == hwnd ? list.erase(it) : it + 1;
    };
    drop(q.posted);
    drop(q.input);
}

namespace {

// Function-local so that static initialisers of other files may register
// before anything else of the window system exists.
std::vector<std::string>& RegisteredMessageNames()
{
    static std::vector<std::string> names;
    return names;
}

} // namespace

UINT FindRegisteredMessage(const std::string& name)
{
    if (name.empty() || name.size() > 255 || name.find('\0') != std::string::npos)
        return 0;
    std::string key = name;
    CharUpperBuff(key.data(), DWORD(key.size()));
    const std::vector<std::string>& names = RegisteredMessageNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == key)
            return UINT(0xC000 + i);
    return 0;
}

} // namespace platform

using namespace platform;

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd == HWND_BROADCAST) {
        for (HWND h : TopLevelWindows())
            if (IsWindow(h))
                CallProcedure(h, Msg, wParam, lParam);
        return 0;
    }
    if (!FindWindowRecord(hWnd))
        return 0;
    return CallProcedure(hWnd, Msg, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd == HWND_BROADCAST) {
        for (HWND h : TopLevelWindows())
            Post(h, Msg, wParam, lParam);
        return TRUE;
    }
    if (hWnd && !FindWindowRecord(hWnd))
        return FALSE;
    return Post(hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL PostThreadMessage(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (idThread != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Post(NULL, Msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    if (!lpMsg)
        return FALSE;
    if (hWnd && hWnd != HWND(-1) && !FindWindowRecord(hWnd))
        return FALSE;
    bool remove = (wRemoveMsg & PM_REMOVE) != 0;
    MSG m;
    if (!Retrieve(m, hWnd, wMsgFilterMin, wMsgFilterMax, remove)) {
        GetDriver().PollEvents();
        if (!Retrieve(m, hWnd, wMsgFilterMin, wMsgFilterMax, remove)) {
            PresentDirtySurfaces();
            return FALSE;
        }
    }
    *lpMsg = m;
    if (remove)
        Ws().queue.lastTime = m.time;
    return TRUE;
}

BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (!lpMsg)
        return -1;
    if (hWnd && hWnd != HWND(-1) && !FindWindowRecord(hWnd))
        return -1;
    Driver& driver = GetDriver();
    for (;;) {
        MSG m;
        if (Retrieve(m, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
            *lpMsg = m;
            Ws().queue.lastTime = m.time;
            return m.message == WM_QUIT ? FALSE : TRUE;
        }
        PresentDirtySurfaces();
        if (driver.PollEvents())
            continue;
        RunIdleWork();
        if (!driver.WaitEvents(TimeToNextTimer())) {
            // Nothing can ever arrive: end the loop rather than hang.
            PostQuitMessage(0);
        }
    }
}

BOOL WaitMessage()
{
    Driver& driver = GetDriver();
    if (QueueHasWork())
        return TRUE;
    PresentDirtySurfaces();
    if (driver.PollEvents() || QueueHasWork())
        return TRUE;
    RunIdleWork();
    if (!driver.WaitEvents(TimeToNextTimer()))
        PostQuitMessage(0);
    return TRUE;
}

DWORD GetQueueStatus(UINT flags)
{
    WindowSystem& ws = Ws();
    DWORD status = 0;
    if (!ws.queue.posted.empty() || ws.queue.quitPending)
        status |= QS_POSTMESSAGE;
    for (const MSG& m : ws.queue.input) {
        if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST)
            status |= QS_KEY;
        else if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE)
            status |= QS_MOUSEMOVE;
        else
            status |= QS_MOUSEBUTTON;
    }
    if (FindWindowToPaint(NULL))
        status |= QS_PAINT;
    if (TimeToNextTimer() == 0)
        status |= QS_TIMER;
    status &= flags;
    return (status << 16) | status;
}

BOOL GetInputState()
{
    return Ws().queue.input.empty() ? FALSE : TRUE;
}

LRESULT DispatchMessage(const MSG* lpMsg)
{
    if (!lpMsg)
        return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        // Only a timer that still exists runs its callback.
        for (const Timer& t : Ws().timers) {
            if (t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam && LPARAM(t.proc) == lpMsg->lParam) {
                TIMERPROC proc = t.proc;
                proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
                return 0;
            }
        }
        return 0;
    }
    if (!lpMsg->hwnd)
        return 0;
    if (!FindWindowRecord(lpMsg->hwnd))
        return 0;
    return CallProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void PostQuitMessage(int nExitCode)
{
    MessageQueue& q = Ws().queue;
    q.quitPending = true;
    q.quitCode = nExitCode;
}

BOOL InSendMessage()
{
    return Ws().queue.foreignSends > 0 ? TRUE : FALSE;
}

BOOL ReplyMessage(LRESULT)
{
    return FALSE;
}

DWORD GetMessagePos()
{
    POINT p = Ws().queue.lastPos;
    return DWORD(MAKELONG(WORD(SHORT(p.x)), WORD(SHORT(p.y))));
}

LONG GetMessageTime()
{
    return LONG(Ws().queue.lastTime);
}

UINT RegisterWindowMessage(LPCSTR lpString)
{
    if (!lpString || !*lpString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = strnlen(lpString, 256);
    if (length > 255) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<std::string>& names = RegisteredMessageNames();
    std::string key(lpString, length);
    if (UINT known = FindRegisteredMessage(key))
        return known;
    if (names.size() >= 0x4000) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    CharUpperBuff(key.data(), DWORD(key.size()));
    names.push_back(key);
    return UINT(0xC000 + names.size() - 1);
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!lpPrevWndFunc)
        return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}
