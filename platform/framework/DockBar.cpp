// CDockBar: one edge of a frame, or the inside of a floating frame, that
// holds docked bars in rows. The docked bars are its child windows; it is
// as thick as its rows and lays them out whenever the frame is laid out.

#include "platform/framework/ControlBar.h"

#include "platform/base/Resources.h"
#include "platform/framework/Frame.h"
#include "platform/framework/MiniDockFrame.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace platform {
// The window class of bars that are not common controls: double clicks,
// the arrow, the button face behind them.
LPCSTR ControlBarWindowClass()
{
    static const char* const kName = "AfxControlBar";
    WNDCLASS wc{};
    if (!::GetClassInfo(AfxGetInstanceHandle(), kName, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kName;
        ::RegisterClass(&wc);
    }
    return kName;
}
} // namespace platform

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    m_arrBars.push_back(nullptr);
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

CDockBar::~CDockBar()
{
    for (CControlBar* pBar : m_arrBars) {
        if (pBar != nullptr && pBar->m_pDockBar == this)
            pBar->m_pDockBar = nullptr;
    }
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    if (m_bFloating)
        m_dwStyle |= CBRS_FLOATING;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    CRect rect(0, 0, 0, 0);
    if (!CWnd::CreateEx(0, platform::ControlBarWindowClass(), nullptr, dwWndStyle, rect, pParentWnd, nID))
        return FALSE;
    // A floating dock bar belongs to the frame its bars came from; the
    // floating frame sets that itself.
    if (!m_bFloating)
        AttachToDockSite(pParentWnd);
    return TRUE;
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const
{
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        if (static_cast<int>(i) != nPosExclude && m_arrBars[i] == pBar)
            return static_cast<int>(i);
    }
    return -1;
}

int CDockBar::GetDockedCount() const
{
    int n = 0;
    for (CControlBar* pBar : m_arrBars)
        n += pBar != nullptr ? 1 : 0;
    return n;
}

int CDockBar::GetDockedVisibleCount() const
{
    int n = 0;
    for (CControlBar* pBar : m_arrBars)
        n += (pBar != nullptr && pBar->IsVisible()) ? 1 : 0;
    return n;
}

void CDockBar::NormalizeRows(std::vector<CControlBar*>& bars)
{
    std::vector<CControlBar*> out;
    out.reserve(bars.size() + 2);
    out.push_back(nullptr);
    for (CControlBar* pBar : bars) {
        if (pBar == nullptr) {
            if (out.back() != nullptr)
                out.push_back(nullptr);
        } else {
            out.push_back(pBar);
        }
    }
    if (out.back() != nullptr)
        out.push_back(nullptr);
    bars.swap(out);
}

void CDockBar::ForgetBar(CControlBar* pBar)
{
    int nPos = FindBar(pBar);
    if (nPos > 0) {
        m_arrBars.erase(m_arrBars.begin() + nPos);
        NormalizeRows(m_arrBars);
    }
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;
    if (m_bFloating && m_hWnd != NULL && GetDockedCount() == 0) {
        HWND hWndFrame = ::GetParent(m_hWnd);
        if (hWndFrame != NULL) {
            ::ShowWindow(hWndFrame, SW_HIDE);
            ::PostMessage(hWndFrame, WM_CLOSE, 0, 0);
        }
    }
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int)
{
    int nPos = FindBar(pBar, nPosExclude);
    if (nPos < 0)
        return FALSE;
    m_arrBars.erase(m_arrBars.begin() + nPos);
    NormalizeRows(m_arrBars);
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;
    if (m_bFloating && m_hWnd != NULL) {
        // A floating frame lives only while it holds a bar.
        CWnd* pFrame = GetParent();
        if (GetDockedCount() == 0) {
            if (pFrame != nullptr)
                pFrame->DestroyWindow();
            return TRUE;
        }
        if (pFrame != nullptr && pFrame->IsFrameWnd())
            static_cast<CFrameWnd*>(pFrame)->RecalcLayout();
    }
    return TRUE;
}

int CDockBar::InsertPosFor(CControlBar* pBar, CRect rect) const
{
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    // Row spans come from where the bars are now (client coordinates).
    int nCenter = bHorz ? rect.CenterPoint().y : rect.CenterPoint().x;
    int nLead = bHorz ? rect.left : rect.top;
    int nRowStart = 1;
    int nFirstRowTop = INT32_MAX;
    for (size_t i = 1; i < m_arrBars.size(); ++i) {
        if (m_arrBars[i] != nullptr)
            continue;
        // Row [nRowStart, i).
        int top = INT32_MAX;
        int bottom = INT32_MIN;
        for (size_t j = static_cast<size_t>(nRowStart); j < i; ++j) {
            CControlBar* p = m_arrBars[j];
            if (p == pBar || p->m_hWnd == NULL || !p->IsVisible())
                continue;
            CRect r;
            p->GetWindowRect(&r);
            ScreenToClient(&r);
            top = std::min(top, static_cast<int>(bHorz ? r.top : r.left));
            bottom = std::max(bottom, static_cast<int>(bHorz ? r.bottom : r.right));
        }
        if (top <= bottom) {
            nFirstRowTop = std::min(nFirstRowTop, top);
            if (nCenter >= top && nCenter < bottom) {
                // Into this row, before the first bar that starts further on.
                size_t k = static_cast<size_t>(nRowStart);
                for (; k < i; ++k) {
                    CControlBar* p = m_arrBars[k];
                    if (p == pBar || p->m_hWnd == NULL)
                        continue;
                    CRect r;
                    p->GetWindowRect(&r);
                    ScreenToClient(&r);
                    if ((bHorz ? r.left : r.top) > nLead)
                        break;
                }
                return static_cast<int>(k);
            }
        }
        nRowStart = static_cast<int>(i) + 1;
    }
    // Above every row: a new first row; otherwise a new last row. A negative
    // answer means "new row at -answer".
    if (nFirstRowTop != INT32_MAX && nCenter < nFirstRowTop)
        return -1;
    return -static_cast<int>(m_arrBars.size());
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    if (pBar == nullptr || pBar->m_hWnd == NULL || m_hWnd == NULL)
        return;
    CDockBar* pOldDockBar = pBar->m_pDockBar;
    if (pOldDockBar == this) {
        int nOld = FindBar(pBar);
        if (nOld > 0) {
            m_arrBars.erase(m_arrBars.begin() + nOld);
            NormalizeRows(m_arrBars);
        }
    }

    // The bar takes this side's orientation.
    DWORD dwOldStyle = pBar->m_dwStyle;
    pBar->m_dwStyle = (pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & CBRS_ALIGN_ANY) |
        (m_bFloating ? CBRS_FLOATING : 0);
    if (!m_bFloating && pBar->m_pDockContext != nullptr)
        pBar->m_pDockContext->m_uMRUDockID = static_cast<UINT>(GetDlgCtrlID());

    if (lpRect != nullptr) {
        CRect rect(*lpRect);
        ScreenToClient(&rect);
        BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
        pBar->m_nDockOffset = std::max(0, static_cast<int>(bHorz ? rect.left : rect.top));
        int nPos = InsertPosFor(pBar, rect);
        if (nPos < 0) {
            // A row of its own at -nPos.
            int at = std::clamp(-nPos, 1, static_cast<int>(m_arrBars.size()));
            m_arrBars.insert(m_arrBars.begin() + at, {pBar, nullptr});
        } else {
            m_arrBars.insert(m_arrBars.begin() + nPos, pBar);
        }
    } else {
        pBar->m_nDockOffset = 0;
        m_arrBars.push_back(pBar);
        m_arrBars.push_back(nullptr);
    }
    NormalizeRows(m_arrBars);

    // Re-parent first: taking the bar out of a floating frame may destroy
    // that frame, and the bar must not go with it.
    if (::GetParent(pBar->m_hWnd) != m_hWnd)
        pBar->SetParent(this);
    if (pOldDockBar != nullptr && pOldDockBar != this)
        pOldDockBar->RemoveControlBar(pBar);
    pBar->m_pDockBar = this;
    if (dwOldStyle != pBar->m_dwStyle)
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

CSize CDockBar::LayoutBars(BOOL bStretch, int nLength, BOOL bApply)
{
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    if (nLength <= 0)
        nLength = 32767;
    DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    if (m_bFloating)
        dwMode = bHorz ? LM_HORZ : 0;
    int nRowStart = 0;
    int nRowThick = 0;
    int nCursor = 0;
    int nMaxLength = 0;
    // Copy: moving a bar may send messages that change the list.
    std::vector<CControlBar*> bars = m_arrBars;
    for (size_t i = 1; i < bars.size(); ++i) {
        CControlBar* pBar = bars[i];
        if (pBar == nullptr) {
            nRowStart += nRowThick;
            nRowThick = 0;
            nCursor = 0;
            continue;
        }
        if (pBar->m_hWnd == NULL)
            continue;
        BOOL bVisible;
        if (bApply)
            bVisible = (pBar->RecalcDelayShow(nullptr) & WS_VISIBLE) != 0;
        else
            bVisible = pBar->IsVisible();
        if (!bVisible)
            continue;
        CSize size = pBar->CalcDynamicLayout(-1, dwMode);
        int nLen = bHorz ? size.cx : size.cy;
        int nThick = bHorz ? size.cy : size.cx;
        int nPos = std::max(nCursor, pBar->m_nDockOffset);
        if (!m_bFloating && nPos + nLen > nLength)
            nPos = std::max(nCursor, nLength - nLen);
        if (bApply) {
            CRect rect = bHorz ? CRect(nPos, nRowStart, nPos + nLen, nRowStart + nThick)
                               : CRect(nRowStart, nPos, nRowStart + nThick, nPos + nLen);
            ::SetWindowPos(pBar->m_hWnd, NULL, rect.left, rect.top, rect.Width(), rect.Height(),
                SWP_NOZORDER | SWP_NOACTIVATE);
        }
        nCursor = nPos + nLen;
        nRowThick = std::max(nRowThick, nThick);
        nMaxLength = std::max(nMaxLength, nCursor);
    }
    nRowStart += nRowThick;
    int nAlong = bStretch ? 32767 : nMaxLength;
    return bHorz ? CSize(nAlong, nRowStart) : CSize(nRowStart, nAlong);
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL)
{
    return LayoutBars(bStretch, m_nLayoutLength, FALSE);
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (lpLayout == nullptr)
        return 0;
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CRect avail(lpLayout->rect);
    m_nLayoutLength = bHorz ? avail.Width() : avail.Height();
    LRESULT lResult = CControlBar::OnSizeParent(wParam, lParam);
    if (lpLayout->hDWP != NULL)
        LayoutBars(FALSE, m_nLayoutLength, TRUE);
    return lResult;
}

LRESULT CDockBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // Floating frames are popups, not descendants of the frame, so the top
    // dock bar passes the idle update on to the floating bars of its site.
    if (m_bFloating || m_pDockSite == nullptr || GetDlgCtrlID() != AFX_IDW_DOCKBAR_TOP)
        return 0;
    // The application's idle pass already reaches the main window's own.
    if (AfxGetMainWnd() == m_pDockSite)
        return 0;
    std::vector<HWND> frames;
    for (CControlBar* pBar : m_pDockSite->m_listControlBars) {
        if (pBar == nullptr || pBar->IsDockBar() || !pBar->IsFloating() || pBar->m_hWnd == NULL)
            continue;
        HWND hWndFrame = ::GetParent(::GetParent(pBar->m_hWnd));
        if (hWndFrame != NULL && std::find(frames.begin(), frames.end(), hWndFrame) == frames.end())
            frames.push_back(hWndFrame);
    }
    for (HWND hWnd : frames) {
        if (!::IsWindow(hWnd))
            continue;
        ::SendMessage(hWnd, WM_IDLEUPDATECMDUI, wParam, 0);
        CWnd::SendMessageToDescendants(hWnd, WM_IDLEUPDATECMDUI, wParam, 0, TRUE, TRUE);
    }
    return 0;
}

void CDockBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    // The docked bars are children of the dock bar and update themselves.
}

void CDockBar::DoPaint(CDC*)
{
    // Nothing of its own to draw: the button face shows between the bars.
}
