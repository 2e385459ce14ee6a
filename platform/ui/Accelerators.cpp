// Accelerator tables and their translation into commands. A table is a copy
// of its entries behind an HACCEL; which table a window uses is the
// caller's business.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/HandleTable.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/MenuData.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace platform {
namespace {

struct AccelTable {
    std::vector<ACCEL> entries;
};

struct AccelState {
    HandleTable<AccelTable> tables{0x41};
    // Loading the same resource again answers the same table, as long as
    // nobody destroyed it.
    std::map<const AcceleratorTable*, HACCEL> loaded;
};

AccelState& State()
{
    static AccelState state;
    return state;
}

AccelTable* FindTable(HACCEL accel)
{
    AccelTable* t = State().tables.Get(reinterpret_cast<uint64_t>(accel));
    if (!t)
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
    return t;
}

HACCEL AddTable(std::vector<ACCEL> entries)
{
    auto table = std::make_unique<AccelTable>();
    table->entries = std::move(entries);
    uint64_t id = State().tables.Add(std::move(table));
    if (!id) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    return reinterpret_cast<HACCEL>(id);
}

bool Down(int vk)
{
    return GetKeyState(vk) < 0;
}

bool Matches(const ACCEL& a, const MSG& msg)
{
    bool keyMessage = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    bool alt = (HIWORD(msg.lParam) & KF_ALTDOWN) != 0 || Down(VK_MENU);
    if (a.fVirt & FVIRTKEY) {
        return keyMessage && a.key == WORD(msg.wParam) && Down(VK_SHIFT) == ((a.fVirt & FSHIFT) != 0)
            && Down(VK_CONTROL) == ((a.fVirt & FCONTROL) != 0) && alt == ((a.fVirt & FALT) != 0);
    }
    // A character entry: the character already says Shift and Control.
    bool charMessage = msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
    return charMessage && a.key == WORD(BYTE(msg.wParam)) && alt == ((a.fVirt & FALT) != 0);
}

// The popups from `root` down to the one holding command `cmd`, each with
// its position in its parent.
bool PathTo(HMENU root, UINT cmd, std::vector<std::pair<HMENU, int>>& path, int depth)
{
    Menu* m = PeekMenuRecord(root);
    if (!m || depth > 16)
        return false;
    for (size_t i = 0; i < m->items.size(); ++i) {
        const MenuItem& item = m->items[i];
        if (item.submenu) {
            path.emplace_back(item.submenu, int(i));
            if (PathTo(item.submenu, cmd, path, depth + 1))
                return true;
            path.pop_back();
        } else if (item.id == cmd && !(item.type & MF_SEPARATOR)) {
            return true;
        }
    }
    return false;
}

} // namespace
} // namespace platform

using namespace platform;

HACCEL LoadAccelerators(HINSTANCE hInstance, LPCSTR lpTableName)
{
    const AcceleratorTable* t = FindAcceleratorTable(hInstance, lpTableName);
    if (!t) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return NULL;
    }
    AccelState& s = State();
    auto found = s.loaded.find(t);
    if (found != s.loaded.end() && s.tables.Get(reinterpret_cast<uint64_t>(found->second)))
        return found->second;
    std::vector<ACCEL> entries;
    entries.reserve(t->count);
    for (WORD i = 0; i < t->count; ++i)
        entries.push_back(ACCEL{t->entries[i].fVirt, t->entries[i].key, t->entries[i].cmd});
    HACCEL accel = AddTable(std::move(entries));
    if (accel)
        s.loaded[t] = accel;
    return accel;
}

HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel)
{
    // A table is a handful of keys; a count beyond this is a wrong argument.
    constexpr int kMaxEntries = 0x8000;
    if (!paccel || cAccel <= 0 || cAccel > kMaxEntries) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return AddTable(std::vector<ACCEL>(paccel, paccel + cAccel));
}

BOOL DestroyAcceleratorTable(HACCEL hAccel)
{
    if (!FindTable(hAccel))
        return FALSE;
    State().tables.Remove(reinterpret_cast<uint64_t>(hAccel));
    return TRUE;
}

int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries)
{
    AccelTable* t = FindTable(hAccelSrc);
    if (!t)
        return 0;
    int count = int(t->entries.size());
    if (!lpAccelDst)
        return count;
    int copied = std::clamp(cAccelEntries, 0, count);
    std::copy_n(t->entries.begin(), copied, lpAccelDst);
    return copied;
}

int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg)
{
    if (!lpMsg)
        return 0;
    Window* w = FindWindowRecord(hWnd);
    AccelTable* table = FindTable(hAccTable);
    if (!w || !table)
        return 0;
    const ACCEL* match = nullptr;
    for (const ACCEL& a : table->entries) {
        if (Matches(a, *lpMsg)) {
            match = &a;
            break;
        }
    }
    if (!match || !IsWindowEnabled(hWnd))
        return 0;
    UINT cmd = match->cmd;

    // A key for a menu item lets the window bring the item up to date first,
    // as if the menu were opening, and a disabled item takes no command.
    HMENU bar = GetMenu(hWnd);
    HMENU root = NULL;
    bool system = false;
    std::vector<std::pair<HMENU, int>> path;
    if (bar && PathTo(bar, cmd, path, 0)) {
        root = bar;
    } else if (HMENU sys = (w->style & WS_CHILD) ? NULL : SystemMenuOf(hWnd)) {
        path.clear();
        if (PathTo(sys, cmd, path, 0)) {
            root = sys;
            system = true;
        }
    }
    if (root) {
        if (IsIconic(hWnd) && !system)
            return 1;
        if (!GetCapture()) {
            SendMessage(hWnd, WM_INITMENU, WPARAM(root), 0);
            // The window menu is itself the popup that would open.
            if (system && IsWindow(hWnd))
                SendMessage(hWnd, WM_INITMENUPOPUP, WPARAM(root), MAKELPARAM(0, 1));
            for (const auto& [popup, index] : path)
                SendMessage(hWnd, WM_INITMENUPOPUP, WPARAM(popup), MAKELPARAM(index, system ? 1 : 0));
        }
        MenuItemRef ref;
        if (!IsWindow(hWnd))
            return 1;
        if (LocateMenuItem(root, cmd, MF_BYCOMMAND, ref) && (ref.item->state & (MF_GRAYED | MF_DISABLED)))
            return 1;
    }
    SendMessage(hWnd, system ? WM_SYSCOMMAND : WM_COMMAND, MAKEWPARAM(cmd, 1), 0);
    return 1;
}
