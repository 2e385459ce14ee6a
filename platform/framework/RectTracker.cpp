#include "platform/framework/RectTracker.h"

#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kDefaultHandleSize = 4;

// Which coordinates of the rectangle a handle stands on: for x, 0 left,
// 1 right, 2 the middle; the same for y with top and bottom.
struct HandleInfo {
    int xSide;
    int ySide;
};
constexpr HandleInfo kHandles[8] = {
    {0, 0}, // hitTopLeft
    {1, 0}, // hitTopRight
    {1, 1}, // hitBottomRight
    {0, 1}, // hitBottomLeft
    {2, 0}, // hitTop
    {1, 2}, // hitRight
    {2, 1}, // hitBottom
    {0, 2}, // hitLeft
};

// A handle of a rectangle flipped left to right, and top to bottom.
constexpr int kFlipX[9] = {1, 0, 3, 2, 4, 7, 6, 5, 8};
constexpr int kFlipY[9] = {3, 2, 1, 0, 6, 5, 4, 7, 8};

CRect Normalized(const RECT& r)
{
    CRect n(r);
    n.NormalizeRect();
    return n;
}

int SignOf(int v)
{
    return v < 0 ? -1 : 1;
}

} // namespace

CRectTracker::CRectTracker()
{
    Construct();
}

CRectTracker::CRectTracker(LPCRECT lpSrcRect, UINT nStyle)
{
    Construct();
    if (lpSrcRect)
        m_rect.CopyRect(lpSrcRect);
    m_nStyle = nStyle;
}

CRectTracker::~CRectTracker() = default;

void CRectTracker::Construct()
{
    m_rect.SetRectEmpty();
    m_nStyle = 0;
    m_nHandleSize = kDefaultHandleSize;
    m_sizeMin.cx = m_sizeMin.cy = kDefaultHandleSize * 2;
    m_rectLast.SetRectEmpty();
    m_sizeLast.cx = m_sizeLast.cy = 0;
    m_bErase = FALSE;
    m_bFinalErase = FALSE;
    m_bAllowInvert = FALSE;
}

int CRectTracker::GetHandleSize(LPCRECT lpRect) const
{
    CRect rect = Normalized(lpRect ? *lpRect : m_rect);
    int size = m_nHandleSize;
    if (!(m_nStyle & resizeOutside)) {
        // Inside handles must leave room between each other.
        int room = std::min(rect.Width(), rect.Height());
        if (room < size * 2)
            size = room / 2;
    }
    return std::max(size, 0);
}

UINT CRectTracker::GetHandleMask() const
{
    UINT mask = 0x0F; // the corners always
    int size = m_nHandleSize * 3;
    if (std::abs(m_rect.Width()) - size > 4)
        mask |= 0x50; // top and bottom middles
    if (std::abs(m_rect.Height()) - size > 4)
        mask |= 0xA0; // left and right middles
    return mask;
}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const
{
    const HandleInfo& h = kHandles[nHandle];
    int size = GetHandleSize();
    bool outside = (m_nStyle & resizeOutside) != 0;

    // One axis at a time: a box of `size` on the chosen edge, reaching into
    // the rectangle (inside handles) or away from it (outside handles),
    // whichever way the stored rectangle runs.
    auto place = [&](int side, int lo, int hi, int& from, int& to) {
        if (side == 2) {
            int mid = (lo + hi) / 2;
            from = mid - size / 2;
            to = from + size;
            return;
        }
        int edge = side == 0 ? lo : hi;
        int other = side == 0 ? hi : lo;
        int towardCentre = other >= edge ? 1 : -1;
        int dir = outside ? -towardCentre : towardCentre;
        // Outside the rectangle of pixels [lo, hi) the far edge lies one
        // beyond the last pixel, so an outside box starts right there.
        if (dir > 0) {
            from = edge;
            to = edge + size;
        } else {
            from = edge - size;
            to = edge;
        }
    };
    int left, right, top, bottom;
    place(h.xSide, m_rect.left, m_rect.right, left, right);
    place(h.ySide, m_rect.top, m_rect.bottom, top, bottom);
    pHandleRect->SetRect(left, top, right, bottom);
}

void CRectTracker::GetTrueRect(LPRECT lpTrueRect) const
{
    CRect rect = Normalized(m_rect);
    int inflate = 0;
    if (m_nStyle & (resizeOutside | hatchedBorder))
        inflate = std::max(GetHandleSize(), (m_nStyle & hatchedBorder) ? m_nHandleSize : 0);
    rect.InflateRect(inflate, inflate);
    *lpTrueRect = rect;
}

int CRectTracker::HitTestHandles(CPoint point) const
{
    CRect rectTrue;
    GetTrueRect(&rectTrue);
    if (!rectTrue.PtInRect(point))
        return hitNothing;
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect handle;
            GetHandleRect(i, &handle);
            if (handle.PtInRect(point))
                return i;
        }
    }
    // The body counts as the middle; so does a hatched border around it.
    CRect body = Normalized(m_rect);
    if ((m_nStyle & hatchedBorder) || body.PtInRect(point))
        return hitMiddle;
    return hitNothing;
}

int CRectTracker::HitTest(CPoint point) const
{
    return HitTestHandles(point);
}

int CRectTracker::NormalizeHit(int nHandle) const
{
    if (nHandle < 0 || nHandle > hitMiddle)
        return nHandle;
    if (m_rect.Width() < 0)
        nHandle = kFlipX[nHandle];
    if (m_rect.Height() < 0)
        nHandle = kFlipY[nHandle];
    return nHandle;
}

void CRectTracker::Draw(CDC* pDC) const
{
    if (!pDC || !pDC->GetSafeHdc())
        return;
    // m_rect is in device units whatever the caller's mapping.
    int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    pDC->SetWindowOrg(0, 0);

    CRect rect = Normalized(m_rect);

    if (m_nStyle & (solidLine | dottedLine)) {
        CPen pen;
        pen.CreatePen((m_nStyle & dottedLine) ? PS_DOT : PS_SOLID, 0, RGB(0, 0, 0));
        CPen* pOldPen = pDC->SelectObject(&pen);
        CGdiObject* pOldBrush = pDC->SelectStockObject(NULL_BRUSH);
        pDC->SetROP2(R2_COPYPEN);
        pDC->SetBkMode(OPAQUE);
        pDC->SetBkColor(RGB(255, 255, 255));
        pDC->Rectangle(rect);
        pDC->SelectObject(pOldPen);
        if (pOldBrush)
            pDC->SelectObject(pOldBrush);
    }

    if (m_nStyle & (hatchInside | hatchedBorder)) {
        CBrush hatch;
        hatch.CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0));
        CBrush* pOldBrush = pDC->SelectObject(&hatch);
        // Hatch lines darken what lies below; the gaps leave it alone.
        pDC->SetBkColor(RGB(255, 255, 255));
        pDC->SetTextColor(RGB(0, 0, 0));
        constexpr DWORD kDestAndPattern = 0x00A000C9;
        if (m_nStyle & hatchInside)
            pDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), kDestAndPattern);
        if (m_nStyle & hatchedBorder) {
            int w = m_nHandleSize;
            CRect outer = rect;
            outer.InflateRect(w, w);
            pDC->PatBlt(outer.left, outer.top, outer.Width(), w, kDestAndPattern);
            pDC->PatBlt(outer.left, rect.bottom, outer.Width(), w, kDestAndPattern);
            pDC->PatBlt(outer.left, rect.top, w, rect.Height(), kDestAndPattern);
            pDC->PatBlt(rect.right, rect.top, w, rect.Height(), kDestAndPattern);
        }
        pDC->SelectObject(pOldBrush);
    }

    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect handle;
            GetHandleRect(i, &handle);
            handle.NormalizeRect();
            pDC->FillSolidRect(handle, RGB(0, 0, 0));
        }
    }
    pDC->RestoreDC(saved);
}

BOOL CRectTracker::SetCursor(CWnd* pWnd, UINT nHitTest) const
{
    HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (nHitTest != HTCLIENT || !hWnd)
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    ::ScreenToClient(hWnd, &point);
    int nHandle = NormalizeHit(HitTest(point));
    LPCSTR cursor = nullptr;
    switch (nHandle) {
    case hitTopLeft:
    case hitBottomRight:
        cursor = IDC_SIZENWSE;
        break;
    case hitTopRight:
    case hitBottomLeft:
        cursor = IDC_SIZENESW;
        break;
    case hitTop:
    case hitBottom:
        cursor = IDC_SIZENS;
        break;
    case hitLeft:
    case hitRight:
        cursor = IDC_SIZEWE;
        break;
    case hitMiddle:
        cursor = IDC_SIZEALL;
        break;
    default:
        return FALSE;
    }
    ::SetCursor(::LoadCursor(NULL, cursor));
    return TRUE;
}

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    int nHandle = HitTest(point);
    if (nHandle < 0)
        return FALSE;
    m_bAllowInvert = bAllowInvert;
    return TrackHandle(nHandle, pWnd, point, pWndClipTo);
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert)
{
    m_bAllowInvert = bAllowInvert;
    m_rect.SetRect(point.x, point.y, point.x, point.y);
    BOOL moved = TrackHandle(hitBottomRight, pWnd, point, nullptr);
    m_rect.NormalizeRect();
    return moved && !m_rect.IsRectEmpty();
}

void CRectTracker::GetModifyPointers(int nHandle, int** ppx, int** ppy, int* px, int* py)
{
    if (nHandle == hitMiddle) {
        *ppx = &m_rect.left;
        *ppy = &m_rect.top;
    } else {
        const HandleInfo& h = kHandles[nHandle];
        *ppx = h.xSide == 2 ? nullptr : h.xSide == 0 ? &m_rect.left : &m_rect.right;
        *ppy = h.ySide == 2 ? nullptr : h.ySide == 0 ? &m_rect.top : &m_rect.bottom;
    }
    if (px)
        *px = *ppx ? **ppx : 0;
    if (py)
        *py = *ppy ? **ppy : 0;
}

BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo)
{
    HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (!hWnd || ::GetCapture() != NULL)
        return FALSE;
    // Pending paints would overwrite the XOR feedback and break its undoing.
    ::UpdateWindow(hWnd);

    const CRect rectSave = m_rect;
    m_rectLast = m_rect; // the start, for AdjustRect's minimum size
    int* px = nullptr;
    int* py = nullptr;
    int xStart = 0;
    int yStart = 0;
    GetModifyPointers(nHandle, &px, &py, &xStart, &yStart);
    const int xDiff = point.x - xStart;
    const int yDiff = point.y - yStart;
    const CSize size = m_rect.Size();

    HWND hWndDraw = pWndClipTo ? pWndClipTo->GetSafeHwnd() : hWnd;
    ::SetCapture(hWnd);
    CDC* pDrawDC = CDC::FromHandle(::GetDC(hWndDraw));

    bool shown = false;
    bool moved = false;
    bool cancelled = false;
    CRect rectShown;
    auto erase = [&]() {
        if (shown) {
            DrawTrackerRect(rectShown, pWndClipTo, pDrawDC, pWnd);
            shown = false;
        }
    };

    MSG msg;
    for (;;) {
        BOOL got = ::GetMessage(&msg, NULL, 0, 0);
        if (got <= 0) {
            if (got == 0)
                ::PostQuitMessage(int(msg.wParam)); // for the outer loop
            cancelled = true;
            break;
        }
        if (::GetCapture() != hWnd) {
            cancelled = true;
            ::DispatchMessage(&msg);
            break;
        }
        bool done = false;
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            if (msg.hwnd != hWnd)
                ::MapWindowPoints(msg.hwnd, hWnd, &pt, 1);
            CRect rectOld = m_rect;
            if (px)
                *px = pt.x - xDiff;
            if (py)
                *py = pt.y - yDiff;
            if (nHandle == hitMiddle) {
                m_rect.right = m_rect.left + size.cx;
                m_rect.bottom = m_rect.top + size.cy;
            }
            AdjustRect(nHandle, &m_rect);
            if (m_rect != rectOld) {
                erase();
                OnChangedRect(rectOld);
                moved = true;
            }
            if (msg.message == WM_LBUTTONUP) {
                erase();
                done = true;
            } else if (!shown || rectShown != m_rect) {
                erase();
                DrawTrackerRect(m_rect, pWndClipTo, pDrawDC, pWnd);
                rectShown = m_rect;
                shown = true;
            }
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                cancelled = true;
                done = true;
            }
            break;
        case WM_RBUTTONDOWN:
            cancelled = true;
            done = true;
            break;
        default:
            ::DispatchMessage(&msg);
            break;
        }
        if (done)
            break;
    }

    erase();
    ::ReleaseDC(hWndDraw, pDrawDC->GetSafeHdc());
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (cancelled) {
        m_rect = rectSave;
        return FALSE;
    }
    return moved && m_rect != rectSave;
}

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    CRect rect = Normalized(*lpRect);
    // m_rect is in pWnd's client coordinates; the DC may be another window's.
    if (pWndClipTo && pWnd && pWndClipTo != pWnd)
        ::MapWindowPoints(pWnd->GetSafeHwnd(), pWndClipTo->GetSafeHwnd(), reinterpret_cast<LPPOINT>(&rect), 2);
    if (!rect.IsRectEmpty())
        pDC->DrawFocusRect(rect);
}

void CRectTracker::AdjustRect(int nHandle, LPRECT lpRect)
{
    if (nHandle == hitMiddle || m_bAllowInvert)
        return;
    // Without inverting the rectangle keeps its direction and its minimum
    // size: the dragged edge stops short of the fixed one.
    const HandleInfo& h = kHandles[nHandle];
    int sx = SignOf(m_rectLast.Width());
    int sy = SignOf(m_rectLast.Height());
    if (h.xSide != 2 && (lpRect->right - lpRect->left) * sx < m_sizeMin.cx) {
        if (h.xSide == 0)
            lpRect->left = lpRect->right - sx * m_sizeMin.cx;
        else
            lpRect->right = lpRect->left + sx * m_sizeMin.cx;
    }
    if (h.ySide != 2 && (lpRect->bottom - lpRect->top) * sy < m_sizeMin.cy) {
        if (h.ySide == 0)
            lpRect->top = lpRect->bottom - sy * m_sizeMin.cy;
        else
            lpRect->bottom = lpRect->top + sy * m_sizeMin.cy;
    }
}

void CRectTracker::OnChangedRect(const CRect& /*rectOld*/)
{
}
