#pragma once
// Whether the captions of a dialog's picture buttons fit: laid out as the
// button lays them out, each caption keeps clear of its icon and of the
// button's bevel. Tests call it on a dialog that is up.

#include "controls/PictureButton.h"
#include "platform/framework/Afx.h"
#include "platform/gdi/Dc.h"

#include <string>

namespace testing_support {

// The bevel takes this many pixels of each edge.
constexpr int kButtonBevel = 3;

// Empty when the caption of button hButton fits, else what is wrong with it.
inline std::string PictureButtonClash(HWND hButton)
{
    auto* pButton = dynamic_cast<C3DPicTrickBtn*>(CWnd::FromHandlePermanent(hButton));
    if (pButton == nullptr || pButton->m_hIcon == NULL)
        return {};
    CString text;
    pButton->GetWindowText(text);
    CRect client;
    pButton->GetClientRect(&client);
    const SIZE cell =
        C3DPicTrickBtn::PictureCell(pButton->m_nPictureWidth, pButton->m_nPictureHeight, ::GetDialogBaseUnits());
    RECT area = client;
    const POINT icon = C3DPicTrickBtn::PlaceIcon(area, cell, pButton->m_wAlignment);

    CClientDC dc(pButton);
    CFont* pFont = pButton->GetFont();
    CFont* pOld = pFont != nullptr ? dc.SelectObject(pFont) : nullptr;
    RECT rText{};
    C3DPicTrickBtn::LayoutCaption(&dc, text, area, rText);
    if (pOld != nullptr)
        dc.SelectObject(pOld);

    const std::string name = "\"" + std::string(text) + "\"";
    if (pButton->m_wAlignment == C3DPicTrickBtn::alignLeft && rText.left < icon.x + C3DPicTrickBtn::kIconSize)
        return name + " runs over its icon";
    if (rText.left < client.left + kButtonBevel || rText.right > client.right - kButtonBevel)
        return name + " touches the button's edge";
    if (rText.top < client.top + kButtonBevel - 1 || rText.bottom > client.bottom - kButtonBevel + 1)
        return name + " is taller than the button";
    return {};
}

// Every picture button of dialog hDlg, checked; empty when all fit.
inline std::string PictureButtonClashes(HWND hDlg)
{
    std::string clashes;
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        std::string clash = PictureButtonClash(hChild);
        if (!clash.empty())
            clashes += (clashes.empty() ? "" : "; ") + clash;
    }
    return clashes;
}

} // namespace testing_support
