#include "platform/ui/internal/CommDlgShared.h"

#include "platform/gdi/Gdi.h"

namespace platform {

void AddDialogItem(std::vector<DialogItemTemplate>& items, DWORD style, short x, short y, short cx, short cy, int id,
    const char* cls, const char* text)
{
    items.push_back(DialogItemTemplate{DWORD(WS_CHILD | WS_VISIBLE | style), 0, 0, x, y, cx, cy, id, cls, text, 0});
}

INT_PTR RunCommonDialog(const char* caption, short cx, short cy, const std::vector<DialogItemTemplate>& items,
    HWND owner, DLGPROC proc, LPARAM param)
{
    DialogTemplate t{};
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_VISIBLE;
    t.cx = cx;
    t.cy = cy;
    t.caption = caption;
    t.menuName = nullptr;
    t.className = "";
    t.pointSize = 8;
    t.weight = FW_NORMAL;
    t.faceName = "MS Sans Serif";
    t.items = items.data();
    t.count = WORD(items.size());
    return DialogBoxIndirectParam(NULL, &t, owner && IsWindow(owner) ? owner : NULL, proc, param);
}

void PostHelpToOwner(HWND owner, HWND hDlg, const void* data)
{
    if (owner)
        PostMessage(owner, RegisterWindowMessage("commdlg_help"), WPARAM(hDlg), LPARAM(data));
}

} // namespace platform
