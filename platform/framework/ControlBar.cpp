// CControlBar: what every bar shares: its place in the frame's layout
// (WM_SIZEPARENT), idle updates against the owner frame, delayed showing,
// fly-by prompts, the start of dragging and the double-click toggle, and
// passing its children's notifications on to the owner frame.

#include "platform/framework/ControlBar.h"

#include "platform/framework/Frame.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>

namespace {
// Checks whether the pointer has left a bar that shows a fly-by prompt.
constexpr UINT_PTR FlyByCheckTimer = 0xE000;
constexpr UINT FlyByCheckInterval = 200;
constexpr int BorderWidth = 2;
constexpr int GripperWidth = 8;
// The bar whose prompt the status bar shows: the pointer is over one bar at
// a time, and a bar it has left must not put "Ready" over the prompt of the
// bar it moved on to.
HWND g_hWndPromptBar = NULL;
} // namespace

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    // The window normally went first (WM_DESTROY took the bar off its dock
    // bar and its dock site's list); a bar deleted while its window lives
    // destroys it here, which does the same.
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
    delete m_pDockContext;
    m_pDockContext = nullptr;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    DWORD dwOld = m_dwStyle;
    m_dwStyle = dwStyle & CBRS_ALL;
    if ((dwOld ^ m_dwStyle) & CBRS_TOOLTIPS)
        UpdateChildTips();
}

CString platform::CommandToolTip(UINT nID)
{
    CString full;
    if (nID == 0 || !full.LoadString(nID))
        return CString();
    int nl = full.Find('\n');
    if (nl < 0)
        return CString();
    CString tip = full.Mid(nl + 1);
    int next = tip.Find('\n');
    return next >= 0 ? tip.Left(next) : tip;
}

void platform::FillToolTip(NMTTDISPINFOA* pInfo, UINT nID, BOOL bOn)
{
    CString tip = bOn ? CommandToolTip(nID) : CString();
    size_t n = std::min(static_cast<size_t>(tip.GetLength()), sizeof pInfo->szText - 1);
    std::memcpy(pInfo->szText, static_cast<LPCTSTR>(tip), n);
    pInfo->szText[n] = '\0';
    pInfo->lpszText = pInfo->szText;
}

void CControlBar::UpdateChildTips()
{
    if (m_hWnd == NULL)
        return;
    if (!(m_dwStyle & CBRS_TOOLTIPS)) {
        if (m_hWndToolTip != NULL)
            ::SendMessage(m_hWndToolTip, TTM_ACTIVATE, FALSE, 0);
        return;
    }
    if (m_hWndToolTip == NULL || !::IsWindow(m_hWndToolTip)) {
        InitCommonControls();
        m_hWndToolTip = ::CreateWindowEx(0, TOOLTIPS_CLASS, NULL, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_hWnd, NULL,
            AfxGetInstanceHandle(), nullptr);
        if (m_hWndToolTip == NULL)
            return;
    }
    // One tool per child control with an id; the text is asked for when shown.
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != NULL; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        int nID = ::GetDlgCtrlID(hWndChild);
        if (nID == 0 || LOWORD(nID) == 0xFFFF)
            continue;
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(hWndChild);
        ti.lpszText = LPSTR_TEXTCALLBACK;
        ::SendMessage(m_hWndToolTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
        ::SendMessage(m_hWndToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    }
    ::SendMessage(m_hWndToolTip, TTM_ACTIVATE, TRUE, 0);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = std::max(cxLeft, 0);
    m_cyTopBorder = std::max(cyTop, 0);
    m_cxRightBorder = std::max(cxRight, 0);
    m_cyBottomBorder = std::max(cyBottom, 0);
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    if (m_dwDockStyle != 0) {
        if (m_pDockContext == nullptr)
            m_pDockContext = new CDockContext(this);
        m_pDockContext->m_dwDockStyle = m_dwDockStyle;
        if (m_hWndOwner == NULL && m_pDockSite != nullptr)
            SetOwner(m_pDockSite);
    } else {
        delete m_pDockContext;
        m_pDockContext = nullptr;
    }
}

BOOL CControlBar::IsFloating() const
{
    if (IsDockBar())
        return static_cast<const CDockBar*>(this)->m_bFloating;
    return m_pDockBar != nullptr && m_pDockBar->m_bFloating;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    if (m_nStateFlags & delayShow)
        return TRUE;
    return m_hWnd != NULL && (GetStyle() & WS_VISIBLE) != 0;
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    CFrameWnd* pFrame = GetParentFrame();
    return pFrame != nullptr ? pFrame : m_pDockSite;
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    if (m_hWnd == NULL)
        return;
    BOOL bVisible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !bVisible)
        m_nStateFlags |= delayShow;
    else if (!bShow && bVisible)
        m_nStateFlags |= delayHide;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD dwStyle = m_hWnd != NULL ? (GetStyle() & WS_VISIBLE) : 0;
    if (m_nStateFlags & (delayHide | delayShow)) {
        UINT swpFlags = (m_nStateFlags & delayShow) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        m_nStateFlags &= ~(delayHide | delayShow);
        if (lpLayout == nullptr || lpLayout->hDWP != NULL) {
            ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
        }
        dwStyle = (swpFlags == SWP_SHOWWINDOW) ? WS_VISIBLE : 0;
    }
    return dwStyle | m_dwStyle;
}

void CControlBar::AttachToDockSite(CWnd* pParentWnd)
{
    if (pParentWnd != nullptr && m_hWndOwner == NULL)
        SetOwner(pParentWnd);
    if (pParentWnd == nullptr || !pParentWnd->IsFrameWnd())
        return;
    m_pDockSite = static_cast<CFrameWnd*>(pParentWnd);
    m_pDockSite->AddControlBar(this);
}

CWnd* CControlBar::CommandOwner() const
{
    if (m_hWndOwner != NULL && ::IsWindow(m_hWndOwner))
        return CWnd::FromHandle(m_hWndOwner);
    if (m_pDockSite != nullptr && ::IsWindow(m_pDockSite->m_hWnd))
        return m_pDockSite;
    return GetOwner();
}

// ---- Layout -------------------------------------------------------------------------------------

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    DWORD dwStyle = m_dwStyle;
    if (dwStyle & CBRS_BORDER_LEFT)
        rect.left += BorderWidth;
    if (dwStyle & CBRS_BORDER_TOP)
        rect.top += BorderWidth;
    if (dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= BorderWidth;
    if (dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= BorderWidth;
    // The borders run along the bar: left/right in a row, top/bottom in a column.
    if (bHorz) {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
        if ((dwStyle & CBRS_GRIPPER) && !(dwStyle & CBRS_FLOATING))
            rect.left += GripperWidth;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
        if ((dwStyle & CBRS_GRIPPER) && !(dwStyle & CBRS_FLOATING))
            rect.top += GripperWidth;
    }
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size((bStretch && bHorz) ? 32767 : 0, (bStretch && !bHorz) ? 32767 : 0);
    CRect rect(0, 0, 0, 0);
    CalcInsideRect(rect, bHorz);
    // The inside of an empty rectangle is negative by the borders' size.
    size.cx = std::min(32767, static_cast<int>(size.cx - rect.Width()));
    size.cy = std::min(32767, static_cast<int>(size.cy - rect.Height()));
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (lpLayout == nullptr)
        return 0;
    DWORD dwStyle = RecalcDelayShow(lpLayout);
    if (!(dwStyle & WS_VISIBLE) || !(dwStyle & CBRS_ALIGN_ANY))
        return 0;

    CRect rect(lpLayout->rect);
    CSize sizeAvail = rect.Size();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        dwMode |= LM_HORZ | LM_MRUWIDTH;
    else if (dwStyle & CBRS_ORIENT_HORZ)
        dwMode |= LM_HORZ | LM_HORZDOCK;
    else
        dwMode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, dwMode);
    size.cx = std::max(0, std::min(static_cast<int>(size.cx), static_cast<int>(sizeAvail.cx)));
    size.cy = std::max(0, std::min(static_cast<int>(size.cy), static_cast<int>(sizeAvail.cy)));

    if (dwStyle & CBRS_ORIENT_HORZ) {
        lpLayout->sizeTotal.cy += size.cy;
        lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, size.cx);
        if (dwStyle & CBRS_ALIGN_TOP) {
            lpLayout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        lpLayout->sizeTotal.cy = std::max(lpLayout->sizeTotal.cy, size.cy);
        if (dwStyle & CBRS_ALIGN_LEFT) {
            lpLayout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    if (lpLayout->hDWP != NULL)
        ::SetWindowPos(m_hWnd, NULL, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

// ---- Idle updates -------------------------------------------------------------------------------

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // Hidden bars are not updated; they are when they show again.
    if (m_hWnd == NULL || !(GetStyle() & WS_VISIBLE))
        return 0;
    CWnd* pOwner = CommandOwner();
    CFrameWnd* pTarget = nullptr;
    if (pOwner != nullptr && pOwner->IsFrameWnd())
        pTarget = static_cast<CFrameWnd*>(pOwner);
    else
        pTarget = GetParentFrame();
    if (pTarget != nullptr)
        OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    return 0;
}

LRESULT CControlBar::OnHelpHitTest(WPARAM, LPARAM lParam)
{
    int nHit = HitTestCommand(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return nHit > 0 ? static_cast<LRESULT>(HID_BASE_COMMAND + static_cast<UINT>(nHit)) : 0;
}

// ---- Window messages ----------------------------------------------------------------------------

void CControlBar::OnDestroy()
{
    KillTimer(FlyByCheckTimer);
    if (m_hWndToolTip != NULL) {
        HWND hWndTip = m_hWndToolTip;
        m_hWndToolTip = NULL;
        ::DestroyWindow(hWndTip);
    }
    if (m_nStateFlags & statusSet)
        SetStatusText(-1);
    if (m_pDockBar != nullptr) {
        CDockBar* pDockBar = m_pDockBar;
        m_pDockBar = nullptr;
        if (::IsWindow(pDockBar->m_hWnd))
            pDockBar->ForgetBar(this);
    }
    if (m_pDockSite != nullptr) {
        CFrameWnd* pSite = m_pDockSite;
        m_pDockSite = nullptr;
        pSite->RemoveControlBar(this);
    }
    CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

void CControlBar::OnPaint()
{
    PAINTSTRUCT ps{};
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    if (hdc != NULL)
        DoPaint(CDC::FromHandle(hdc));
    ::EndPaint(m_hWnd, &ps);
}

void CControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(pDC, rect);
    DrawGripper(pDC, rect);
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    HDC hdc = pDC->GetSafeHdc();
    if (hdc == NULL)
        return;
    UINT edges = 0;
    if (m_dwStyle & CBRS_BORDER_LEFT)
        edges |= BF_LEFT;
    if (m_dwStyle & CBRS_BORDER_TOP)
        edges |= BF_TOP;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        edges |= BF_RIGHT;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        edges |= BF_BOTTOM;
    if (edges != 0)
        ::DrawEdge(hdc, &rect, EDGE_ETCHED, edges | BF_ADJUST);
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect)
{
    if (!(m_dwStyle & CBRS_GRIPPER) || (m_dwStyle & CBRS_FLOATING))
        return;
    HDC hdc = pDC->GetSafeHdc();
    if (hdc == NULL)
        return;
    // Two raised ridges across the bar at its leading end.
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    for (int i = 0; i < 2; ++i) {
        RECT ridge = bHorz ? RECT{rect.left + 2 + 3 * i, rect.top + 2, rect.left + 5 + 3 * i, rect.bottom - 2}
                           : RECT{rect.left + 2, rect.top + 2 + 3 * i, rect.right - 2, rect.top + 5 + 3 * i};
        ::DrawEdge(hdc, &ridge, BDR_RAISEDINNER, BF_RECT);
    }
}

int CControlBar::HitTestCommand(CPoint point) const
{
    if (m_hWnd == NULL)
        return -1;
    HWND hWndChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE);
    if (hWndChild == NULL || hWndChild == m_hWnd)
        return -1;
    int nID = ::GetDlgCtrlID(hWndChild);
    // Static labels carry no command.
    if (nID == 0 || nID == 0xFFFF || nID == -1)
        return -1;
    return nID;
}

void CControlBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    // A press on a docked or floating bar itself (not on one of its items)
    // picks it up.
    if (m_pDockContext != nullptr && m_pDockBar != nullptr && !HitTestItem(point)) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CControlBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (m_pDockContext != nullptr && m_pDockBar != nullptr && !HitTestItem(point)) {
        m_pDockContext->ToggleDocking();
        return;
    }
    CWnd::OnLButtonDblClk(nFlags, point);
}

void CControlBar::OnMouseMove(UINT nFlags, CPoint point)
{
    TrackFlyBy(point);
    CWnd::OnMouseMove(nFlags, point);
}

void CControlBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != FlyByCheckTimer) {
        CWnd::OnTimer(nIDEvent);
        return;
    }
    POINT pt{};
    ::GetCursorPos(&pt);
    HWND hWndUnder = ::WindowFromPoint(pt);
    if (hWndUnder != m_hWnd && !::IsChild(m_hWnd, hWndUnder)) {
        m_nFlyByLast = -1;
        SetStatusText(-1);
    }
}

// ---- Fly-by prompts -----------------------------------------------------------------------------

void CControlBar::TrackFlyBy(CPoint clientPoint)
{
    if (!(m_dwStyle & CBRS_FLYBY))
        return;
    int nHit = HitTestCommand(clientPoint);
    if (nHit <= 0)
        nHit = -1;
    if (nHit == m_nFlyByLast)
        return;
    m_nFlyByLast = nHit;
    SetStatusText(nHit);
}

void CControlBar::SetStatusText(int nHit)
{
    CWnd* pOwner = CommandOwner();
    if (nHit < 0) {
        if (!(m_nStateFlags & statusSet))
            return;
        m_nStateFlags &= ~statusSet;
        if (m_hWnd != NULL)
            KillTimer(FlyByCheckTimer);
        const bool bShowsOurs = g_hWndPromptBar == m_hWnd;
        if (bShowsOurs)
            g_hWndPromptBar = NULL;
        if (pOwner != nullptr && bShowsOurs)
            pOwner->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        return;
    }
    m_nStateFlags |= statusSet;
    g_hWndPromptBar = m_hWnd;
    if (pOwner != nullptr)
        pOwner->SendMessage(WM_SETMESSAGESTRING, static_cast<WPARAM>(nHit));
    if (m_hWnd != NULL)
        SetTimer(FlyByCheckTimer, FlyByCheckInterval, nullptr);
}

BOOL CControlBar::PreTranslateMessage(MSG* pMsg)
{
    if (m_hWndToolTip != NULL && pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        ::SendMessage(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    // Mouse moves over the bar's child controls reach the children, so the
    // prompt of a dialog bar's control is tracked here.
    if (pMsg->message == WM_MOUSEMOVE && pMsg->hwnd != m_hWnd && (m_dwStyle & CBRS_FLYBY) &&
        ::IsChild(m_hWnd, pMsg->hwnd)) {
        CPoint pt(pMsg->pt);
        ScreenToClient(&pt);
        TrackFlyBy(pt);
    }
    return CWnd::PreTranslateMessage(pMsg);
}

// ---- Notifications go on to the owner -----------------------------------------------------------

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        LRESULT lResult = 0;
        if (OnWndMsg(message, wParam, lParam, &lResult))
            return lResult;
        CWnd* pOwner = CommandOwner();
        if (pOwner == nullptr || pOwner == this)
            return 0;
        // A click of one of the bar's buttons is a command of the owner: it
        // goes up the command route (and through its update handler), not
        // to the owner's own map as a control notification.
        if (lParam != 0 && HIWORD(wParam) == BN_CLICKED)
            return pOwner->SendMessage(WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
        return pOwner->SendMessage(message, wParam, lParam);
    }
    case WM_NOTIFY:
        if (m_hWndToolTip != NULL && lParam != 0 && reinterpret_cast<NMHDR*>(lParam)->hwndFrom == m_hWndToolTip) {
            auto* pInfo = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            if (pInfo->hdr.code == TTN_NEEDTEXT) {
                UINT nID = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(pInfo->hdr.idFrom)));
                platform::FillToolTip(pInfo, nID, (m_dwStyle & CBRS_TOOLTIPS) != 0);
            }
            return 0;
        }
        [[fallthrough]];
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
        LRESULT lResult = 0;
        if (OnWndMsg(message, wParam, lParam, &lResult))
            return lResult;
        CWnd* pOwner = CommandOwner();
        if (pOwner == nullptr || pOwner == this)
            return 0;
        return pOwner->SendMessage(message, wParam, lParam);
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

CControlBar* AfxFindControlBar(const std::vector<CControlBar*>& bars, UINT nID)
{
    for (CControlBar* pBar : bars) {
        if (pBar != nullptr && pBar->m_hWnd != NULL && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    }
    return nullptr;
}
