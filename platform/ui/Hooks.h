#pragma once
// Window hooks: WH_CBT, whose HCBT_CREATEWND call comes before a new
// window's first message (the class library attaches its window objects
// there). Hooks are per thread; there is one thread. The most recently
// installed hook is called first and passes the call on with
// CallNextHookEx; a nonzero answer to HCBT_CREATEWND refuses the window.

#include "platform/base/Types.h"
#include "platform/base/UiRecords.h"

THREADWICK_DECLARE_HANDLE(HHOOK);

typedef LRESULT(CALLBACK* HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);

#define WH_MSGFILTER (-1)
#define WH_CBT 5

#define HC_ACTION 0

#define HCBT_MOVESIZE 0
#define HCBT_MINMAX 1
#define HCBT_QS 2
#define HCBT_CREATEWND 3
#define HCBT_DESTROYWND 4
#define HCBT_ACTIVATE 5
#define HCBT_CLICKSKIPPED 6
#define HCBT_KEYSKIPPED 7
#define HCBT_SYSCOMMAND 8
#define HCBT_SETFOCUS 9

// lParam of HCBT_CREATEWND (wParam is the new window).
struct CBT_CREATEWNDA {
    CREATESTRUCT* lpcs;
    HWND hwndInsertAfter;
};
typedef CBT_CREATEWNDA CBT_CREATEWND;
typedef CBT_CREATEWND* LPCBT_CREATEWND;

// Only WH_CBT is supported; other kinds fail with NULL. hmod and
// dwThreadId are ignored (one thread, one module).
HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId);
BOOL UnhookWindowsHookEx(HHOOK hhk);
LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);

namespace platform {

// What CreateWindowEx calls once the window record exists and before any
// message: nonzero means a hook refused the window.
LRESULT CallCreateWindowHooks(HWND hwnd, CREATESTRUCT* cs);
// Drops every hook (tests).
void ResetHooks();

} // namespace platform
