#include "app/main/MainToolBars.h"

#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"

namespace {

struct ZoomEntry {
    const char* pszText;
    UINT nCommand;
};

const ZoomEntry kZoomEntries[kZoomEntryCount] = {
    {"Fit in Window", ID_VIEW_ZOOM_FIT}, {"200%", ID_VIEW_ZOOM_200}, {"150%", ID_VIEW_ZOOM_150},
    {"100%", ID_VIEW_ZOOM_100}, {"75%", ID_VIEW_ZOOM_75}, {"50%", ID_VIEW_ZOOM_50},
    {"25%", ID_VIEW_ZOOM_25}, {"Custom Zoom", ID_VIEW_ZOOM_CUSTOM},
};

// Where the zoom combo takes the place of the zoom-control button.
constexpr int kZoomComboWidth = 135;
constexpr int kZoomComboDropHeight = 160;
constexpr DWORD kZoomComboStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_HASSTRINGS | CBS_DROPDOWNLIST;

// Menus nest a few levels at most; anything deeper is a damaged resource.
constexpr int kMaxMenuDepth = 8;

// Copies every item of hSource (strings with their commands, separators and
// submenus) to the end of pTarget.
void CopyMenuItems(HMENU hSource, CMenu* pTarget, int nDepth)
{
    CMenu* pSource = CMenu::FromHandle(hSource);
    if (pSource == nullptr || nDepth > kMaxMenuDepth)
        return;
    const UINT nCount = pSource->GetMenuItemCount();
    for (UINT i = 0; i < nCount && i != static_cast<UINT>(-1); ++i) {
        const int nPos = static_cast<int>(i);
        const UINT nState = pSource->GetMenuState(i, MF_BYPOSITION);
        CString text;
        pSource->GetMenuString(i, text, MF_BYPOSITION);
        if (CMenu* pSub = pSource->GetSubMenu(nPos)) {
            CMenu subCopy;
            subCopy.CreatePopupMenu();
            CopyMenuItems(pSub->GetSafeHmenu(), &subCopy, nDepth + 1);
            pTarget->AppendMenu(MF_POPUP | (nState & (MF_GRAYED | MF_DISABLED)),
                reinterpret_cast<UINT_PTR>(subCopy.Detach()), text);
        } else if ((nState & MF_SEPARATOR) != 0) {
            pTarget->AppendMenu(MF_SEPARATOR);
        } else {
            pTarget->AppendMenu(MF_STRING | (nState & (MF_GRAYED | MF_DISABLED | MF_CHECKED)),
                pSource->GetMenuItemID(nPos), text);
        }
    }
}

} // namespace

// ---- CMainToolBar -----------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CMainToolBar, CToolBar)

BEGIN_MESSAGE_MAP(CMainToolBar, CToolBar)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONUP()
    ON_COMMAND(ID_TOOLBAR_HIDE, OnHide)
END_MESSAGE_MAP()

CMainToolBar::CMainToolBar() = default;
CMainToolBar::~CMainToolBar() = default;

void CMainToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    // A click on a bar would end the in-place text editing half-way.
    if (IsSelectionBeingEdited() != 0)
        return;
    CToolBar::OnLButtonDown(nFlags, point);
}

void CMainToolBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (IsSelectionBeingEdited() != 0)
        return;
    CToolBar::OnLButtonDblClk(nFlags, point);
}

void CMainToolBar::OnRButtonUp(UINT nFlags, CPoint point)
{
    CToolBar::OnRButtonUp(nFlags, point);
    ShowPopupMenu(point);
}

CMenu* CMainToolBar::GetPopupMenu()
{
    if (m_menuPopup.GetSafeHmenu() == NULL) {
        CMenu source;
        if (!source.LoadMenu(IDR_TOOLBAR_POPUP))
            return nullptr;
        m_menuPopup.CreatePopupMenu();
        CopyMenuItems(source.GetSafeHmenu(), &m_menuPopup, 0);
    }
    return &m_menuPopup;
}

void CMainToolBar::ShowPopupMenu(CPoint point)
{
    CMenu* pPopup = GetPopupMenu();
    if (pPopup == nullptr)
        return;
    ClientToScreen(&point);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN, point.x, point.y, this);
}

void CMainToolBar::OnHide()
{
    if (CFrameWnd* pFrame = GetDockingFrame(); pFrame != nullptr)
        pFrame->ShowControlBar(this, FALSE, FALSE);
    else
        ShowWindow(SW_HIDE);

    CMainFrame* pMain = GetMainFrame();
    if (pMain == nullptr)
        return;
    CZoomToolBar* pStandard = pMain->GetStandardBar();
    CMainToolBar* pFormatting = pMain->GetFormattingBar();
    if (pStandard != nullptr && !pStandard->IsVisible()) {
        thePrefs.AddlFlags |= PREF_ADDL_STANDARD_BAR_HIDDEN;
        thePrefs.SavePreferences();
    }
    if (pFormatting != nullptr && !pFormatting->IsVisible()) {
        thePrefs.AddlFlags |= PREF_ADDL_FORMAT_BAR_HIDDEN;
        thePrefs.SavePreferences();
    }
}

// ---- CZoomToolBar -----------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CZoomToolBar, CMainToolBar)

BEGIN_MESSAGE_MAP(CZoomToolBar, CMainToolBar)
    ON_CBN_SELCHANGE(ID_VIEW_ZOOM_COMBO, OnZoomSelChange)
    ON_CBN_CLOSEUP(ID_VIEW_ZOOM_COMBO, OnZoomCloseUp)
END_MESSAGE_MAP()

CZoomToolBar::CZoomToolBar() = default;
CZoomToolBar::~CZoomToolBar() = default;

BOOL CZoomToolBar::LoadToolBar(UINT nIDResource)
{
    if (!CToolBar::LoadToolBar(nIDResource))
        return FALSE;

    const int nIndex = CommandToIndex(ID_VIEW_ZOOM_COMBO);
    if (nIndex < 0)
        return TRUE;
    SetButtonInfo(nIndex, ID_VIEW_ZOOM_COMBO, TBBS_SEPARATOR, kZoomComboWidth);
    CRect rect;
    GetItemRect(nIndex, &rect);
    rect.top = 0;
    rect.bottom = kZoomComboDropHeight;

    if (m_wndZoom.m_hWnd == NULL) {
        if (!m_wndZoom.Create(kZoomComboStyle, rect, this, ID_VIEW_ZOOM_COMBO))
            return FALSE;
        m_wndZoom.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        FillZoomCombo();
        m_wndZoom.SetCurSel(kZoomFit);
    } else {
        m_wndZoom.SetWindowPos(NULL, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    return TRUE;
}

void CZoomToolBar::FillZoomCombo()
{
    if (m_wndZoom.m_hWnd == NULL)
        return;
    m_wndZoom.ResetContent();
    for (const ZoomEntry& entry : kZoomEntries)
        m_wndZoom.AddString(entry.pszText);
}

int CZoomToolBar::ZoomEntryFor(int nPercent, BOOL bFit)
{
    if (bFit)
        return kZoomFit;
    switch (nPercent) {
    case 25:
        return kZoom25;
    case 50:
        return kZoom50;
    case 75:
        return kZoom75;
    case 100:
        return kZoom100;
    case 150:
        return kZoom150;
    case 200:
        return kZoom200;
    default:
        return kZoomCustom;
    }
}

UINT CZoomToolBar::ZoomEntryCommand(int nEntry)
{
    if (nEntry < 0 || nEntry >= kZoomEntryCount)
        return 0;
    return kZoomEntries[nEntry].nCommand;
}

void CZoomToolBar::SelectZoom(int nPercent, BOOL bFit)
{
    m_nShownEntry = ZoomEntryFor(nPercent, bFit);
    if (m_wndZoom.m_hWnd != NULL)
        m_wndZoom.SetCurSel(m_nShownEntry);
}

void CZoomToolBar::OnZoomSelChange()
{
    // Only a change is sent: "Fit in Window" again would switch fitting
    // off. The custom entry always opens its dialog.
    const int nEntry = m_wndZoom.GetCurSel();
    if (nEntry == m_nShownEntry && nEntry != kZoomCustom)
        return;
    const UINT nCommand = ZoomEntryCommand(nEntry);
    CWnd* pMain = AfxGetMainWnd();
    if (nCommand != 0 && pMain != nullptr && pMain->m_hWnd != NULL)
        pMain->PostMessage(WM_COMMAND, nCommand, 0);
}

void CZoomToolBar::OnZoomCloseUp()
{
    // Once a zoom is picked from the list, keys and the wheel belong to the
    // design again.
    CMainFrame* pFrame = GetMainFrame();
    if (pFrame == nullptr || ::GetFocus() != m_wndZoom.m_hWnd)
        return;
    CFrameWnd* pChild = pFrame->GetActiveFrame();
    CView* pView = pChild != nullptr ? pChild->GetActiveView() : nullptr;
    if (pView != nullptr && pView->m_hWnd != NULL)
        pView->SetFocus();
}

void UpdateZoomCombo(int nPercent, BOOL bFit)
{
    CMainFrame* pFrame = GetMainFrame();
    if (pFrame != nullptr && pFrame->GetStandardBar() != nullptr)
        pFrame->GetStandardBar()->SelectZoom(nPercent, bFit);
}
