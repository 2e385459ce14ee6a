// Dragging a bar with the mouse: a rectangle follows the pointer (drawn by
// inversion on the screen, so drawing it twice removes it); it takes the
// docked shape over a dock bar the bar may use and the floating shape
// elsewhere. Releasing docks or floats the bar there; Ctrl held keeps it
// from docking; Esc or a lost capture leaves everything as it was.

#include "platform/framework/ControlBar.h"

#include "platform/framework/Frame.h"
#include "platform/framework/MiniDockFrame.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>

namespace {

// The style floating frames are made with, for their outer size.
constexpr DWORD kFloatFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

CSize FloatingSize(CSize inner)
{
    CRect rect(0, 0, inner.cx, inner.cy);
    ::AdjustWindowRectEx(&rect, kFloatFrameStyle, FALSE, 0);
    return rect.Size();
}

// Where the grabbed point sits inside a rectangle of a new size.
CPoint ClampOffset(CPoint offset, CSize size)
{
    return CPoint(std::clamp(static_cast<int>(offset.x), 0, std::max(0, static_cast<int>(size.cx) - 1)),
        std::clamp(static_cast<int>(offset.y), 0, std::max(0, static_cast<int>(size.cy) - 1)));
}

// The rectangle of a size whose grabbed point lies under pt.
CRect RectAt(CPoint pt, CPoint offset, CSize size)
{
    CPoint o = ClampOffset(offset, size);
    CPoint topLeft(pt.x - o.x, pt.y - o.y);
    return CRect(topLeft, size);
}

CPoint ScreenPointOf(const MSG& msg)
{
    POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST && msg.hwnd != NULL)
        ::ClientToScreen(msg.hwnd, &pt);
    else
        pt = msg.pt;
    return CPoint(pt);
}

} // namespace

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar), m_pDockSite(pBar->m_pDockSite)
{
}

CDockBar* CDockContext::TargetFor(CPoint pt, CRect& rect, DWORD& dwFloatStyle)
{
    CPoint offset(m_ptStart.x - m_rectStart.left, m_ptStart.y - m_rectStart.top);
    BOOL bNoDock = ::GetKeyState(VK_CONTROL) < 0;
    if (!bNoDock && m_pDockSite != nullptr) {
        CDockBar* pDockBar = nullptr;
        CRect rectHorz = RectAt(pt, offset, m_sizeHorz);
        if (m_pDockSite->CanDock(rectHorz, m_dwDockStyle & CBRS_ORIENT_HORZ, &pDockBar) && pDockBar != nullptr) {
            rect = rectHorz;
            return pDockBar;
        }
        CRect rectVert = RectAt(pt, offset, m_sizeVert);
        if (m_pDockSite->CanDock(rectVert, m_dwDockStyle & CBRS_ORIENT_VERT, &pDockBar) && pDockBar != nullptr) {
            rect = rectVert;
            return pDockBar;
        }
    }
    // A floating bar keeps its shape; a docked one takes the shape it last
    // floated in, a row unless it floated as a column.
    if (m_pBar->IsFloating())
        dwFloatStyle = (m_pBar->m_dwStyle & CBRS_ORIENT_HORZ) ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT;
    else
        dwFloatStyle = m_dwMRUFloatStyle != 0 ? m_dwMRUFloatStyle : CBRS_ALIGN_TOP;
    CSize size = (dwFloatStyle & CBRS_ORIENT_HORZ) ? m_sizeFloatHorz : m_sizeFloatVert;
    rect = RectAt(pt, offset, size);
    return nullptr;
}

void CDockContext::DrawFeedback(const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    HDC hdc = ::GetDC(NULL);
    if (hdc == NULL)
        return;
    RECT outer = rect;
    RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    ::DrawFocusRect(hdc, &outer);
    if (inner.right > inner.left && inner.bottom > inner.top)
        ::DrawFocusRect(hdc, &inner);
    ::ReleaseDC(NULL, hdc);
}

void CDockContext::StartDrag(CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == nullptr || m_pBar->m_hWnd == NULL || m_bDragging)
        return;
    HWND hWndBar = m_pBar->m_hWnd;
    m_ptStart = pt;
    CMiniDockFrameWnd* pFloating = nullptr;
    if (m_pBar->IsFloating()) {
        CWnd* pParent = m_pBar->m_pDockBar->GetParent();
        if (pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
            pFloating = static_cast<CMiniDockFrameWnd*>(pParent);
    }
    if (pFloating != nullptr)
        pFloating->GetWindowRect(&m_rectStart);
    else
        m_pBar->GetWindowRect(&m_rectStart);
    m_sizeHorz = m_pBar->CalcFixedLayout(FALSE, TRUE);
    m_sizeVert = m_pBar->CalcFixedLayout(FALSE, FALSE);
    m_sizeFloatHorz = FloatingSize(m_sizeHorz);
    m_sizeFloatVert = FloatingSize(m_sizeVert);

    m_bDragging = TRUE;
    ::SetCapture(hWndBar);
    DWORD dwFloatStyle = 0;
    TargetFor(pt, m_rectLast, dwFloatStyle);
    DrawFeedback(m_rectLast);

    CPoint ptLast = pt;
    // Moves the outline to where the bar would go from the pointer now.
    auto retarget = [&] {
        CRect rect;
        TargetFor(ptLast, rect, dwFloatStyle);
        if (rect != m_rectLast) {
            DrawFeedback(m_rectLast);
            DrawFeedback(rect);
            m_rectLast = rect;
        }
    };
    while (m_bDragging) {
        // A message dispatched below may have destroyed the bar, and this
        // context with it: touch nothing then.
        if (!::IsWindow(hWndBar))
            return;
        if (::GetCapture() != hWndBar) {
            EndDrag(ptLast, TRUE);
            return;
        }
        MSG msg{};
        if (!::GetMessage(&msg, NULL, 0, 0)) {
            // Keep the quit for the loop that owns it.
            EndDrag(ptLast, TRUE);
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
            ptLast = ScreenPointOf(msg);
            retarget();
            break;
        case WM_LBUTTONUP:
            EndDrag(ScreenPointOf(msg), FALSE);
            return;
        case WM_RBUTTONDOWN:
            EndDrag(ptLast, TRUE);
            return;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE) {
                EndDrag(ptLast, TRUE);
                return;
            }
            // Ctrl switches docking off or on where the pointer is now.
            if (msg.wParam == VK_CONTROL)
                retarget();
            break;
        default:
            if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
                break; // other buttons do nothing while dragging
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
            break;
        }
    }
}

void CDockContext::EndDrag(CPoint pt, BOOL bCancel)
{
    DrawFeedback(m_rectLast);
    m_rectLast.SetRectEmpty();
    m_bDragging = FALSE;
    if (::GetCapture() == m_pBar->m_hWnd)
        ::ReleaseCapture();
    // A click without a move is no drag.
    if (bCancel || pt == m_ptStart || m_pDockSite == nullptr || m_pBar->m_hWnd == NULL)
        return;
    CRect rect;
    DWORD dwFloatStyle = 0;
    CDockBar* pDockBar = TargetFor(pt, rect, dwFloatStyle);
    if (pDockBar != nullptr)
        m_pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
    else
        m_pDockSite->FloatControlBar(m_pBar, rect.TopLeft(), dwFloatStyle);
}

void CDockContext::ToggleDocking()
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == nullptr || m_pBar->m_hWnd == NULL)
        return;
    if (m_pBar->IsFloating()) {
        // Back where it was docked last, or on the first side it may use.
        CControlBar* pDock = m_pDockSite->GetControlBar(m_uMRUDockID);
        if (pDock != nullptr && pDock->IsDockBar()) {
            m_pDockSite->DockControlBar(m_pBar, static_cast<CDockBar*>(pDock),
                m_rectMRUDockPos.IsRectEmpty() ? nullptr : &m_rectMRUDockPos);
        } else {
            m_pDockSite->DockControlBar(m_pBar, static_cast<CDockBar*>(nullptr), nullptr);
        }
        return;
    }
    CPoint pt = m_ptMRUFloatPos;
    if (pt.x < 0 || pt.y < 0) {
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        pt = rect.TopLeft() + CSize(16, 16);
    }
    m_pDockSite->FloatControlBar(m_pBar, pt, m_dwMRUFloatStyle != 0 ? m_dwMRUFloatStyle : CBRS_ALIGN_TOP);
}
