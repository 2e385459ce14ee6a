// The colour dialog: 48 basic colours, 16 custom colours, and a panel to mix
// a colour from red, green and blue and add it to the custom colours.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/ResourceTables.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommDlgShared.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

using platform::DialogItemTemplate;
using platform::AddDialogItem;
using platform::PostHelpToOwner;
using platform::RunCommonDialog;

constexpr int kBasicCount = 48;
constexpr int kCustomCount = 16;
constexpr int kColumns = 8;

// Bright, pure, dark and darkest shades plus the greys, row by row.
constexpr std::array<DWORD, kBasicCount> kBasicRgb = {
    0xFF8080, 0xFFFF80, 0x80FF80, 0x00FF80, 0x80FFFF, 0x0080FF, 0xFF80C0, 0xFF80FF,
    0xFF0000, 0xFFFF00, 0x80FF00, 0x00FF40, 0x00FFFF, 0x0080C0, 0x8080C0, 0xFF00FF,
    0x804040, 0xFF8040, 0x00FF00, 0x008080, 0x004080, 0x8080FF, 0x800040, 0xFF0080,
    0x800000, 0xFF8000, 0x008000, 0x008040, 0x0000FF, 0x0000A0, 0x800080, 0x8000FF,
    0x400000, 0x804000, 0x004000, 0x004040, 0x000080, 0x000040, 0x400040, 0x400080,
    0x000000, 0x808000, 0x808040, 0x808080, 0x408080, 0xC0C0C0, 0x404040, 0xFFFFFF,
};

COLORREF BasicColor(int index)
{
    DWORD rgb = kBasicRgb[size_t(index)];
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The mixing panel, shown from the start with CC_FULLOPEN or after
// "Define Custom Colors".
const int kPanelIds[] = {COLOR_CURRENT, COLOR_RED, COLOR_GREEN, COLOR_BLUE, COLOR_ADD, 730, 731, 732};

struct ColorState {
    CHOOSECOLOR* cc = nullptr;
    COLORREF current = 0;
    std::array<COLORREF, kCustomCount> custom{};
    int nextCustom = 0;
    bool updatingEdits = false;
};

UINT_PTR CallHook(const ColorState& s, HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if ((s.cc->Flags & CC_ENABLEHOOK) && s.cc->lpfnHook)
        return s.cc->lpfnHook(hDlg, msg, wParam, lParam);
    return 0;
}

void ShowEdits(HWND hDlg, ColorState& s)
{
    s.updatingEdits = true;
    SetDlgItemInt(hDlg, COLOR_RED, GetRValue(s.current), FALSE);
    SetDlgItemInt(hDlg, COLOR_GREEN, GetGValue(s.current), FALSE);
    SetDlgItemInt(hDlg, COLOR_BLUE, GetBValue(s.current), FALSE);
    s.updatingEdits = false;
    InvalidateRect(GetDlgItem(hDlg, COLOR_CURRENT), NULL, TRUE);
}

void ReadEdits(HWND hDlg, ColorState& s)
{
    auto channel = [&](int id) {
        BOOL ok = FALSE;
        UINT value = GetDlgItemInt(hDlg, id, &ok, FALSE);
        return BYTE(ok ? std::min<UINT>(value, 255) : 0);
    };
    s.current = RGB(channel(COLOR_RED), channel(COLOR_GREEN), channel(COLOR_BLUE));
    InvalidateRect(GetDlgItem(hDlg, COLOR_CURRENT), NULL, TRUE);
}

void OpenPanel(HWND hDlg, bool open)
{
    for (int id : kPanelIds)
        ShowWindow(GetDlgItem(hDlg, id), open ? SW_SHOW : SW_HIDE);
    if (HWND mix = GetDlgItem(hDlg, COLOR_MIX); mix && open)
        EnableWindow(mix, FALSE);
}

void DrawSwatch(const DRAWITEMSTRUCT& dis, COLORREF color)
{
    RECT r = dis.rcItem;
    DrawEdge(dis.hDC, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dis.hDC, &r, brush);
    DeleteObject(brush);
    if (dis.itemState & ODS_FOCUS) {
        RECT f = dis.rcItem;
        InflateRect(&f, -1, -1);
        DrawFocusRect(dis.hDC, &f);
    }
}

INT_PTR CALLBACK ColorProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        auto* s = reinterpret_cast<ColorState*>(lParam);
        SetWindowLongPtr(hDlg, DWLP_USER, LONG_PTR(s));
        for (int id : {COLOR_RED, COLOR_GREEN, COLOR_BLUE})
            SendDlgItemMessage(hDlg, id, EM_LIMITTEXT, 3, 0);
        ShowEdits(hDlg, *s);
        OpenPanel(hDlg, (s->cc->Flags & CC_FULLOPEN) && !(s->cc->Flags & CC_PREVENTFULLOPEN));
        if (s->cc->Flags & CC_PREVENTFULLOPEN)
            EnableWindow(GetDlgItem(hDlg, COLOR_MIX), FALSE);
        if ((s->cc->Flags & CC_ENABLEHOOK) && s->cc->lpfnHook)
            return INT_PTR(s->cc->lpfnHook(hDlg, WM_INITDIALOG, wParam, LPARAM(s->cc)));
        return TRUE;
    }
    auto* s = reinterpret_cast<ColorState*>(GetWindowLongPtr(hDlg, DWLP_USER));
    if (!s)
        return FALSE;
    if (UINT_PTR handled = CallHook(*s, hDlg, msg, wParam, lParam))
        return INT_PTR(handled);
    switch (msg) {
    case WM_DRAWITEM: {
        const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        int id = int(dis.CtlID);
        if (id >= COLOR_BASIC_FIRST && id < COLOR_BASIC_FIRST + kBasicCount)
            DrawSwatch(dis, BasicColor(id - COLOR_BASIC_FIRST));
        else if (id >= COLOR_CUSTOM_FIRST && id < COLOR_CUSTOM_FIRST + kCustomCount)
            DrawSwatch(dis, s->custom[size_t(id - COLOR_CUSTOM_FIRST)]);
        else if (id == COLOR_CURRENT)
            DrawSwatch(dis, s->current);
        else
            return FALSE;
        return TRUE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        UINT code = HIWORD(wParam);
        if (id >= COLOR_BASIC_FIRST && id < COLOR_BASIC_FIRST + kBasicCount) {
            s->current = BasicColor(id - COLOR_BASIC_FIRST);
            ShowEdits(hDlg, *s);
            return TRUE;
        }
        if (id >= COLOR_CUSTOM_FIRST && id < COLOR_CUSTOM_FIRST + kCustomCount) {
            // A custom box picked is also where the next added colour goes.
            s->nextCustom = id - COLOR_CUSTOM_FIRST;
            s->current = s->custom[size_t(s->nextCustom)];
            ShowEdits(hDlg, *s);
            return TRUE;
        }
        switch (id) {
        case COLOR_RED:
        case COLOR_GREEN:
        case COLOR_BLUE:
            if (code == EN_CHANGE && !s->updatingEdits)
                ReadEdits(hDlg, *s);
            return TRUE;
        case COLOR_ADD:
            s->custom[size_t(s->nextCustom)] = s->current;
            InvalidateRect(GetDlgItem(hDlg, COLOR_CUSTOM_FIRST + s->nextCustom), NULL, TRUE);
            s->nextCustom = (s->nextCustom + 1) % kCustomCount;
            return TRUE;
        case COLOR_MIX:
            OpenPanel(hDlg, true);
            return TRUE;
        case IDOK:
            EndDialog(hDlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        case PD_ID_HELP:
            PostHelpToOwner(s->cc->hwndOwner, hDlg, s->cc);
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

std::vector<DialogItemTemplate> ColorItems(DWORD flags)
{
    std::vector<DialogItemTemplate> items;
    auto add = [&](DWORD style, short x, short y, short cx, short cy, int id, const char* cls, const char* text) {
        AddDialogItem(items, style, x, y, cx, cy, id, cls, text);
    };
    add(SS_LEFT, 4, 4, 140, 9, -1, "STATIC", "&Basic colors:");
    for (int i = 0; i < kBasicCount; ++i)
        add(BS_OWNERDRAW | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), short(4 + (i % kColumns) * 18),
            short(14 + (i / kColumns) * 14), 14, 11, COLOR_BASIC_FIRST + i, "BUTTON", "");
    add(SS_LEFT, 4, 100, 140, 9, -1, "STATIC", "&Custom colors:");
    for (int i = 0; i < kCustomCount; ++i)
        add(BS_OWNERDRAW | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), short(4 + (i % kColumns) * 18),
            short(110 + (i / kColumns) * 14), 14, 11, COLOR_CUSTOM_FIRST + i, "BUTTON", "");
    add(BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 4, 142, 140, 14, COLOR_MIX, "BUTTON", "&Define Custom Colors >>");
    add(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 4, 162, 44, 14, IDOK, "BUTTON", "OK");
    add(BS_PUSHBUTTON | WS_TABSTOP, 52, 162, 44, 14, IDCANCEL, "BUTTON", "Cancel");
    if (flags & CC_SHOWHELP)
        add(BS_PUSHBUTTON | WS_TABSTOP, 100, 162, 44, 14, PD_ID_HELP, "BUTTON", "&Help");
    add(SS_OWNERDRAW, 156, 14, 70, 40, COLOR_CURRENT, "STATIC", "");
    add(SS_LEFT, 156, 62, 30, 9, 730, "STATIC", "&Red:");
    add(ES_NUMBER | WS_BORDER | WS_TABSTOP | WS_GROUP, 190, 60, 30, 12, COLOR_RED, "EDIT", "");
    add(SS_LEFT, 156, 78, 30, 9, 731, "STATIC", "&Green:");
    add(ES_NUMBER | WS_BORDER | WS_TABSTOP | WS_GROUP, 190, 76, 30, 12, COLOR_GREEN, "EDIT", "");
    add(SS_LEFT, 156, 94, 30, 9, 732, "STATIC", "Bl&ue:");
    add(ES_NUMBER | WS_BORDER | WS_TABSTOP | WS_GROUP, 190, 92, 30, 12, COLOR_BLUE, "EDIT", "");
    add(BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 156, 142, 90, 14, COLOR_ADD, "BUTTON", "&Add to Custom Colors");
    return items;
}

} // namespace

BOOL ChooseColor(LPCHOOSECOLOR lpcc)
{
    if (!lpcc || lpcc->lStructSize != sizeof(CHOOSECOLOR) || !lpcc->lpCustColors) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ColorState state;
    state.cc = lpcc;
    state.current = (lpcc->Flags & CC_RGBINIT) ? (lpcc->rgbResult & 0x00FFFFFF) : RGB(0, 0, 0);
    for (int i = 0; i < kCustomCount; ++i)
        state.custom[size_t(i)] = lpcc->lpCustColors[i] & 0x00FFFFFF;

    std::vector<DialogItemTemplate> items = ColorItems(lpcc->Flags);
    if (RunCommonDialog("Color", 252, 182, items, lpcc->hwndOwner, ColorProc, LPARAM(&state)) != IDOK)
        return FALSE;
    lpcc->rgbResult = state.current;
    for (int i = 0; i < kCustomCount; ++i)
        lpcc->lpCustColors[i] = state.custom[size_t(i)];
    return TRUE;
}
