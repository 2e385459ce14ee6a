// System metrics and dialog base units, in the classic style's sizes.

#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/base/GdiRecords.h"
#include "platform/ui/User.h"

int GetSystemMetrics(int nIndex)
{
    SIZE screen = platform::GetScreenSize();
    switch (nIndex) {
    case SM_CXSCREEN:
        return screen.cx;
    case SM_CYSCREEN:
        return screen.cy;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 16;
    case SM_CYCAPTION:
    case SM_CYMENU:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXFULLSCREEN:
        return screen.cx;
    case SM_CYFULLSCREEN:
        return screen.cy - 19;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS:
        return 1;
    case SM_CMOUSEBUTTONS:
        return 3;
    case SM_CXMIN:
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK:
        return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE:
        return 18;
    case SM_CYSMCAPTION:
        return 15;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE:
        return 12;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING:
        return 75;
    case SM_CXMINIMIZED:
        return 160;
    case SM_CYMINIMIZED:
        return 24;
    case SM_CXMAXTRACK:
        return screen.cx + 12;
    case SM_CYMAXTRACK:
        return screen.cy + 12;
    case SM_CXMAXIMIZED:
        return screen.cx + 8;
    case SM_CYMAXIMIZED:
        return screen.cy + 8;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK:
        return 13;
    default:
        return 0;
    }
}

LONG GetDialogBaseUnits()
{
    // The cell of the classic system font, which lays out dialogs that name
    // no font of their own.
    return MAKELONG(8, 16);
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect)
{
    if (!IsWindow(hDlg) || !lpRect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    int baseX = LOWORD(GetDialogBaseUnits());
    int baseY = HIWORD(GetDialogBaseUnits());
    HFONT font = HFONT(SendMessage(hDlg, WM_GETFONT, 0, 0));
    if (font) {
        // The average width of the letters, rounded up to even halves as
        // dialogs have always measured it, and the font's height.
        HDC dc = GetDC(NULL);
        HGDIOBJ old = SelectObject(dc, font);
        static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE extent{0, 0};
        TEXTMETRIC tm{};
        if (GetTextExtentPoint32(dc, kLetters, 52, &extent) && GetTextMetrics(dc, &tm) && extent.cx > 0) {
            baseX = (extent.cx / 26 + 1) / 2;
            baseY = tm.tmHeight;
        }
        SelectObject(dc, old);
        ReleaseDC(NULL, dc);
    }
    auto scale = [](LONG v, int base, int div) { return LONG((int64_t(v) * base + (v >= 0 ? div / 2 : -div / 2)) / div); };
    lpRect->left = scale(lpRect->left, baseX, 4);
    lpRect->right = scale(lpRect->right, baseX, 4);
    lpRect->top = scale(lpRect->top, baseY, 8);
    lpRect->bottom = scale(lpRect->bottom, baseY, 8);
    return TRUE;
}
