// Window hooks (WH_CBT). The chain is a list of live hooks, newest first; a
// hook removed while the chain runs is skipped from then on, so a hook proc
// may unhook itself or others.

#include "platform/ui/Hooks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct Hook {
    uintptr_t id;
    int kind;
    HOOKPROC proc;
};

struct HookState {
    std::vector<Hook> chain; // newest first
    uintptr_t nextId = 1;
};

HookState& State()
{
    static HookState state;
    return state;
}

HHOOK ToHandle(uintptr_t id)
{
    return reinterpret_cast<HHOOK>(id);
}

// Calls the hooks of `kind` after `after` (0: from the newest), newest
// first; the first one found answers.
LRESULT CallFrom(int kind, uintptr_t after, int nCode, WPARAM wParam, LPARAM lParam)
{
    HookState& st = State();
    size_t start = 0;
    if (after != 0) {
        auto it = std::find_if(st.chain.begin(), st.chain.end(), [after](const Hook& h) { return h.id == after; });
        if (it == st.chain.end())
            return 0;
        start = size_t(it - st.chain.begin()) + 1;
    }
    for (size_t i = start; i < st.chain.size(); ++i) {
        if (st.chain[i].kind == kind) {
            Hook h = st.chain[i];
            return h.proc(nCode, wParam, lParam);
        }
    }
    return 0;
}

int KindOf(uintptr_t id)
{
    for (const Hook& h : State().chain) {
        if (h.id == id)
            return h.kind;
    }
    return 0;
}

} // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD)
{
    if (idHook != WH_CBT || lpfn == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    HookState& st = State();
    uintptr_t id = st.nextId++;
    st.chain.insert(st.chain.begin(), Hook{id, idHook, lpfn});
    return ToHandle(id);
}

BOOL UnhookWindowsHookEx(HHOOK hhk)
{
    HookState& st = State();
    uintptr_t id = reinterpret_cast<uintptr_t>(hhk);
    auto it = std::find_if(st.chain.begin(), st.chain.end(), [id](const Hook& h) { return h.id == id; });
    if (it == st.chain.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    st.chain.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam)
{
    uintptr_t id = reinterpret_cast<uintptr_t>(hhk);
    int kind = KindOf(id);
    if (kind == 0)
        return 0;
    return CallFrom(kind, id, nCode, wParam, lParam);
}

namespace platform {

LRESULT CallCreateWindowHooks(HWND hwnd, CREATESTRUCT* cs)
{
    if (State().chain.empty())
        return 0;
    CBT_CREATEWND cbt{cs, NULL}; // new windows go on top (HWND_TOP)
    return CallFrom(WH_CBT, 0, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt));
}

void ResetHooks()
{
    State().chain.clear();
}

} // namespace platform
