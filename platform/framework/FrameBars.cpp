// The control-bar side of CFrameWnd: the dock bars along its edges, docking
// and floating bars, showing and hiding them, finding them by id, and
// saving and restoring their layout in the application's profile.

#include "platform/framework/ControlBar.h"

#include "platform/framework/Frame.h"
#include "platform/framework/MiniDockFrame.h"

#include <algorithm>
#include <set>

namespace {

struct DockSide {
    DWORD dwAlign;
    UINT nID;
};

// The order the dock bars are made in is their Z order, and so the order in
// which they take their edge from the space the frame has left.
constexpr DockSide kDockSides[] = {
    {CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
    {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
    {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
    {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT},
};

CMiniDockFrameWnd* FloatingFrameOf(CControlBar* pBar)
{
    if (pBar->m_pDockBar == nullptr || !pBar->m_pDockBar->m_bFloating)
        return nullptr;
    CWnd* pParent = pBar->m_pDockBar->GetParent();
    if (pParent == nullptr || !pParent->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
        return nullptr;
    return static_cast<CMiniDockFrameWnd*>(pParent);
}

} // namespace

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    for (const DockSide& side : kDockSides) {
        if (!(dwDockStyle & side.dwAlign) || GetControlBar(side.nID) != nullptr)
            continue;
        auto* pDockBar = new CDockBar;
        pDockBar->m_bAutoDelete = TRUE;
        if (!pDockBar->Create(this, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CHILD | WS_VISIBLE | side.dwAlign, side.nID))
            delete pDockBar;
    }
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (pBar != nullptr && std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
        m_listControlBars.end());
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (nID == 0)
        return nullptr;
    return AfxFindControlBar(m_listControlBars, nID);
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar)
{
    for (const DockSide& side : kDockSides) {
        if (!(dwDockStyle & side.dwAlign))
            continue;
        auto* pDockBar = static_cast<CDockBar*>(GetControlBar(side.nID));
        if (pDockBar == nullptr || !pDockBar->IsDockBar() || pDockBar->m_bFloating)
            continue;
        if (!(pDockBar->GetStyle() & WS_VISIBLE))
            continue;
        CRect rectBar;
        pDockBar->GetWindowRect(&rectBar);
        // An empty edge is a line; it still catches a bar dragged over it.
        if (rectBar.Width() == 0)
            rectBar.right++;
        if (rectBar.Height() == 0)
            rectBar.bottom++;
        CRect rectHit;
        if (rectHit.IntersectRect(&rectBar, &rect)) {
            if (ppDockBar != nullptr)
                *ppDockBar = pDockBar;
            return side.dwAlign;
        }
    }
    return 0;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    CDockBar* pDockBar = nullptr;
    if (nDockBarID != 0) {
        CControlBar* p = GetControlBar(nDockBarID);
        if (p == nullptr || !p->IsDockBar())
            return;
        pDockBar = static_cast<CDockBar*>(p);
    }
    DockControlBar(pBar, pDockBar, lpRect);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (pBar == nullptr || pBar->m_hWnd == NULL)
        return;
    if (pDockBar == nullptr) {
        // The side the bar is aligned to, else the first side it may dock on.
        DWORD dwAllowed = pBar->m_dwDockStyle != 0 ? pBar->m_dwDockStyle : CBRS_ALIGN_ANY;
        for (int pass = 0; pass < 2 && pDockBar == nullptr; ++pass) {
            for (const DockSide& side : kDockSides) {
                if (!(dwAllowed & side.dwAlign))
                    continue;
                if (pass == 0 && !(pBar->m_dwStyle & side.dwAlign))
                    continue;
                CControlBar* p = GetControlBar(side.nID);
                if (p != nullptr && p->IsDockBar()) {
                    pDockBar = static_cast<CDockBar*>(p);
                    break;
                }
            }
        }
        if (pDockBar == nullptr)
            return;
    }
    HWND hWndOldFrame = NULL;
    if (CMiniDockFrameWnd* pOld = FloatingFrameOf(pBar))
        hWndOldFrame = pOld->m_hWnd;
    if (pBar->m_pDockSite == nullptr) {
        pBar->m_pDockSite = this;
        AddControlBar(pBar);
    }
    pDockBar->DockControlBar(pBar, lpRect);
    if (hWndOldFrame != NULL && ::IsWindow(hWndOldFrame)) {
        if (auto* pOld = static_cast<CFrameWnd*>(CWnd::FromHandlePermanent(hWndOldFrame)))
            pOld->RecalcLayout();
    }
    CFrameWnd* pFrame = pDockBar->m_bFloating ? static_cast<CFrameWnd*>(pDockBar->GetParent()) : this;
    if (pFrame != nullptr)
        pFrame->RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (pBar == nullptr || pBar->m_hWnd == NULL)
        return;
    DWORD dwAlign = (dwStyle & CBRS_ALIGN_ANY) != 0 ? (dwStyle & CBRS_ALIGN_ANY) : CBRS_ALIGN_TOP;
    if (pBar->m_pDockSite == nullptr) {
        pBar->m_pDockSite = this;
        AddControlBar(pBar);
    }
    if (pBar->m_pDockContext != nullptr) {
        // Remember where it was docked, for the double-click toggle.
        if (pBar->m_pDockBar != nullptr && !pBar->m_pDockBar->m_bFloating) {
            pBar->m_pDockContext->m_uMRUDockID = static_cast<UINT>(pBar->m_pDockBar->GetDlgCtrlID());
            pBar->GetWindowRect(&pBar->m_pDockContext->m_rectMRUDockPos);
        }
        pBar->m_pDockContext->m_ptMRUFloatPos = point;
        pBar->m_pDockContext->m_dwMRUFloatStyle = dwAlign;
    }

    CMiniDockFrameWnd* pFrame = FloatingFrameOf(pBar);
    if (pFrame != nullptr && pFrame->m_wndDockBar.GetDockedCount() == 1 &&
        (pFrame->m_wndDockBar.m_dwStyle & CBRS_ALIGN_ANY) == dwAlign) {
        // Already alone in a floating frame of that shape: just move it.
        pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        pFrame->RecalcLayout();
        return;
    }
    pFrame = new CMiniDockFrameWnd;
    // A frame that fails to be made deletes itself.
    if (!pFrame->Create(this, dwAlign))
        return;
    pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND hWndFrame = pFrame->m_hWnd;
    DockControlBar(pBar, &pFrame->m_wndDockBar, nullptr);
    if (::IsWindow(hWndFrame))
        pFrame->RecalcLayout();
    // The bar left this frame's layout (docked, or placed in it directly).
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (pBar == nullptr || pBar->m_hWnd == NULL)
        return;
    CFrameWnd* pParentFrame = pBar->GetDockingFrame();
    if (bDelay) {
        pBar->DelayShow(bShow);
        if (pParentFrame != nullptr)
            pParentFrame->DelayRecalcLayout();
        return;
    }
    pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
        SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    pBar->DelayShow(bShow); // clears any pending delayed change
    if (pParentFrame != nullptr)
        pParentFrame->RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (pBar == nullptr)
        return FALSE;
    ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (pBar == nullptr) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck(pBar->IsVisible() ? 1 : 0);
}

// ---- Bar state ----------------------------------------------------------------------------------

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName) const
{
    CDockState state;
    GetDockState(state);
    state.SaveState(lpszProfileName);
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    CDockState state;
    state.LoadState(lpszProfileName);
    SetDockState(state);
}

void CFrameWnd::GetDockState(CDockState& state) const
{
    state.Clear();
    for (CControlBar* pBar : m_listControlBars) {
        if (pBar == nullptr || pBar->m_hWnd == NULL)
            continue;
        UINT nID = static_cast<UINT>(pBar->GetDlgCtrlID());
        // Floating dock bars come and go with their bars; they are not saved.
        if (nID == 0 || nID == AFX_IDW_DOCKBAR_FLOAT)
            continue;
        CControlBarInfo info;
        info.m_nBarID = nID;
        info.m_bVisible = pBar->IsVisible();
        info.m_bDockBar = pBar->IsDockBar();
        if (info.m_bDockBar) {
            const auto* pDockBar = static_cast<const CDockBar*>(pBar);
            for (size_t i = 1; i < pDockBar->m_arrBars.size(); ++i) {
                CControlBar* p = pDockBar->m_arrBars[i];
                info.m_arrBarID.push_back(p != nullptr && p->m_hWnd != NULL ? static_cast<UINT>(p->GetDlgCtrlID()) : 0);
            }
        } else {
            info.m_bFloating = pBar->IsFloating();
            info.m_bHorz = (pBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
            info.m_nMRUWidth = static_cast<UINT>(pBar->m_nMRUWidth);
            if (info.m_bFloating) {
                CRect rect;
                if (CWnd* pFrame = pBar->m_pDockBar->GetParent())
                    pFrame->GetWindowRect(&rect);
                info.m_pointPos = rect.TopLeft();
            } else {
                info.m_pointPos = CPoint(pBar->m_nDockOffset, 0);
            }
            if (const CDockContext* pContext = pBar->m_pDockContext) {
                info.m_bDocking = TRUE;
                info.m_uMRUDockID = pContext->m_uMRUDockID;
                info.m_rectMRUDockPos = pContext->m_rectMRUDockPos;
                info.m_dwMRUFloatStyle = pContext->m_dwMRUFloatStyle;
                info.m_ptMRUFloatPos = pContext->m_ptMRUFloatPos;
            }
        }
        state.m_arrBarInfo.push_back(info);
    }
}

namespace {
// A floating frame's corner read from the profile stays on the screen.
CPoint OnScreen(CPoint pt)
{
    int cx = ::GetSystemMetrics(SM_CXSCREEN);
    int cy = ::GetSystemMetrics(SM_CYSCREEN);
    pt.x = std::clamp(static_cast<int>(pt.x), 0, std::max(0, cx - 16));
    pt.y = std::clamp(static_cast<int>(pt.y), 0, std::max(0, cy - 16));
    return pt;
}
} // namespace

void CFrameWnd::SetDockState(const CDockState& state)
{
    // 1. Visibility and remembered places of the ordinary bars.
    for (const CControlBarInfo& info : state.m_arrBarInfo) {
        CControlBar* pBar = GetControlBar(info.m_nBarID);
        if (pBar == nullptr || pBar->IsDockBar() != info.m_bDockBar)
            continue;
        if (!info.m_bDockBar) {
            if (!info.m_bFloating)
                pBar->m_nDockOffset = std::clamp(static_cast<int>(info.m_pointPos.x), 0, 32767);
            pBar->m_nMRUWidth = static_cast<int>(std::min<UINT>(info.m_nMRUWidth, 32767));
            if (CDockContext* pContext = pBar->m_pDockContext) {
                CControlBar* pMRU = GetControlBar(info.m_uMRUDockID);
                pContext->m_uMRUDockID = (pMRU != nullptr && pMRU->IsDockBar()) ? info.m_uMRUDockID : 0;
                pContext->m_rectMRUDockPos = info.m_rectMRUDockPos;
                pContext->m_dwMRUFloatStyle = info.m_dwMRUFloatStyle & CBRS_ALIGN_ANY;
                pContext->m_ptMRUFloatPos = info.m_ptMRUFloatPos;
            }
        }
        BOOL bVisible = (pBar->GetStyle() & WS_VISIBLE) != 0;
        if (bVisible != info.m_bVisible)
            pBar->ShowWindow(info.m_bVisible ? SW_SHOWNA : SW_HIDE);
        pBar->DelayShow(info.m_bVisible);
    }

    // 2. The rows of each dock bar, in the saved order; bars the profile does
    // not mention keep their place after the saved ones.
    std::set<CControlBar*> placed;
    for (const CControlBarInfo& info : state.m_arrBarInfo) {
        if (!info.m_bDockBar)
            continue;
        CControlBar* p = GetControlBar(info.m_nBarID);
        if (p == nullptr || !p->IsDockBar())
            continue;
        auto* pDockBar = static_cast<CDockBar*>(p);
        std::vector<CControlBar*> rows{nullptr};
        for (UINT nID : info.m_arrBarID) {
            if (nID == 0) {
                rows.push_back(nullptr);
                continue;
            }
            CControlBar* pBar = GetControlBar(nID);
            if (pBar == nullptr || pBar->IsDockBar() || placed.count(pBar) != 0)
                continue;
            placed.insert(pBar);
            if (pBar->m_pDockBar != pDockBar)
                pDockBar->DockControlBar(pBar);
            rows.push_back(pBar);
        }
        rows.push_back(nullptr);
        for (CControlBar* pBar : pDockBar->m_arrBars) {
            if (pBar != nullptr && placed.count(pBar) == 0) {
                rows.push_back(pBar);
                rows.push_back(nullptr);
            }
        }
        CDockBar::NormalizeRows(rows);
        pDockBar->m_arrBars.swap(rows);
    }

    // 3. Floating bars.
    for (const CControlBarInfo& info : state.m_arrBarInfo) {
        if (info.m_bDockBar || !info.m_bFloating)
            continue;
        CControlBar* pBar = GetControlBar(info.m_nBarID);
        if (pBar == nullptr || pBar->IsDockBar())
            continue;
        FloatControlBar(pBar, OnScreen(info.m_pointPos), info.m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
    }
    RecalcLayout();
}
