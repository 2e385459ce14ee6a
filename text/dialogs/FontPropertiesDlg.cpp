#include "text/dialogs/FontPropertiesDlg.h"

#include "controls/PicButton.h"
#include "resources/resource.h"
#include "surface/Surface.h"

const UINT CFontPropertiesDlg::kFocusRing[12] = {
    CTextFormatPanel::kFontCombo,
    CTextFormatPanel::kSizeCombo,
    CTextFormatPanel::kColorButton,
    CTextFormatPanel::kBold,
    CTextFormatPanel::kItalic,
    CTextFormatPanel::kUnderline,
    CTextFormatPanel::kStrikeout,
    CTextFormatPanel::kAlignLeft,
    CTextFormatPanel::kAlignRight,
    CTextFormatPanel::kAlignCenter,
    CTextFormatPanel::kJustify,
    IDCANCEL,
};

namespace {

constexpr int kRingSize = static_cast<int>(sizeof(CFontPropertiesDlg::kFocusRing) / sizeof(UINT));

// The rectangle of a window in its parent's client coordinates.
CRect RectInParent(CWnd* pWnd)
{
    CRect rect;
    pWnd->GetWindowRect(&rect);
    if (CWnd* pParent = pWnd->GetParent(); pParent != nullptr)
        pParent->ScreenToClient(&rect);
    return rect;
}

void MoveUp(CWnd* pWnd, int nLift)
{
    const CRect rect = RectInParent(pWnd);
    pWnd->SetWindowPos(NULL, rect.left, rect.top - nLift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL IsComboWindow(HWND hWnd)
{
    char name[32] = {};
    return hWnd != NULL && ::GetClassName(hWnd, name, sizeof(name)) > 0 && CString(name).CompareNoCase("ComboBox") == 0;
}

} // namespace

CFontPropertiesDlg::CFontPropertiesDlg(CWnd* pParent)
    : CDialog(IDD_FONT_PROPERTIES, pParent)
{
}

BOOL CFontPropertiesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWnd* pPlaceholder = GetDlgItem(IDC_FONTPROPS_PANEL);
    CRect place(4, 4, 130, 159);
    if (pPlaceholder != nullptr) {
        place = RectInParent(pPlaceholder);
        pPlaceholder->ShowWindow(SW_HIDE);
    }
    // The panel keeps its own pixel layout; the placeholder gives its place.
    const CRect panelRect(place.left, place.top, place.left + 126, place.top + 155);
    if (!m_panel.Create(this, panelRect)) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    m_panel.SetFocusStaysInPanel(TRUE);
    if (CWnd* pTitle = m_panel.GetDlgItem(CTextFormatPanel::kTitle); pTitle != nullptr)
        pTitle->ShowWindow(SW_HIDE);
    if (CWnd* pHowDoI = m_panel.GetHowDoIButton(); pHowDoI != nullptr && pHowDoI->m_hWnd != NULL)
        pHowDoI->ShowWindow(SW_HIDE);

    // The font combo and everything below it, Done too, move up over the
    // hidden title by the distance from the placeholder's top to the
    // combo's, and the dialog loses as much height.
    CRect combo;
    m_panel.m_fontCombo.GetWindowRect(&combo);
    ScreenToClient(&combo);
    m_nLift = combo.top - place.top;
    if (m_nLift > 0) {
        const int nComboTop = RectInParent(&m_panel.m_fontCombo).top;
        for (CWnd* pChild = m_panel.GetWindow(GW_CHILD); pChild != nullptr; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
            if (RectInParent(pChild).top >= nComboTop)
                MoveUp(pChild, m_nLift);
        }
        m_panel.SetWindowPos(NULL, 0, 0, panelRect.Width(), panelRect.Height() - m_nLift,
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (CWnd* pDone = GetDlgItem(IDCANCEL); pDone != nullptr)
            MoveUp(pDone, m_nLift);
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(NULL, 0, 0, window.Width(), window.Height() - m_nLift,
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_panel.ShowWindow(SW_SHOW);
    m_panel.UpdateFromView(GetActiveSurface());
    m_panel.m_fontCombo.SetFocus();
    return FALSE;
}

CWnd* CFontPropertiesDlg::RingControl(int nIndex)
{
    const UINT nID = kFocusRing[nIndex];
    return nID == IDCANCEL ? GetDlgItem(IDCANCEL) : m_panel.GetDlgItem(nID);
}

BOOL CFontPropertiesDlg::MoveFocus(BOOL bBack)
{
    const HWND hFocus = ::GetFocus();
    int nAt = -1;
    for (int i = 0; i < kRingSize && nAt < 0; ++i) {
        CWnd* pControl = RingControl(i);
        if (pControl != nullptr && (pControl->m_hWnd == hFocus || ::IsChild(pControl->m_hWnd, hFocus)))
            nAt = i;
    }
    if (nAt < 0)
        nAt = bBack ? 0 : kRingSize - 1;
    for (int nStep = 1; nStep <= kRingSize; ++nStep) {
        const int nNext = ((nAt + (bBack ? -nStep : nStep)) % kRingSize + kRingSize) % kRingSize;
        CWnd* pControl = RingControl(nNext);
        if (pControl != nullptr && pControl->IsWindowVisible() && pControl->IsWindowEnabled()) {
            pControl->SetFocus();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CFontPropertiesDlg::PreTranslateMessage(MSG* pMsg)
{
    const UINT message = pMsg->message;
    const BOOL bOurs = pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd);
    if (bOurs && (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
        // The selection or its text may have changed since the panel last
        // looked.
        m_panel.UpdateFromView(GetActiveSurface());
    }
    if (bOurs && message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_TAB:
            MoveFocus(::GetKeyState(VK_SHIFT) < 0);
            return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            // Inside a combo box the arrows choose its items.
            const HWND hFocus = ::GetFocus();
            if (IsComboWindow(hFocus) || IsComboWindow(::GetParent(hFocus)))
                break;
            MoveFocus(pMsg->wParam == VK_LEFT || pMsg->wParam == VK_UP);
            return TRUE;
        }
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void RunFontProperties(CWnd* pParent)
{
    CFontPropertiesDlg dlg(pParent);
    dlg.DoModal();
}
