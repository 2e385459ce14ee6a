#include "platform/framework/View.h"

#include "platform/gdi/Dc.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

namespace {

// The mapping mode SetScaleToFitSize stands for; never a real GDI mode.
constexpr int kScaleToFit = -1;

// Converts logical sizes and points of a fixed mapping mode with the
// screen's resolution, as the view's own DC will.
class ScreenMapping {
public:
    explicit ScreenMapping(int nMapMode) : m_hdc(::GetDC(NULL))
    {
        if (m_hdc != NULL && nMapMode > 0)
            ::SetMapMode(m_hdc, nMapMode);
    }
    ~ScreenMapping()
    {
        if (m_hdc != NULL)
            ::ReleaseDC(NULL, m_hdc);
    }
    ScreenMapping(const ScreenMapping&) = delete;
    ScreenMapping& operator=(const ScreenMapping&) = delete;

    // A size as positive device pixels.
    CSize ToDevice(SIZE size) const
    {
        POINT pts[2] = {{0, 0}, {size.cx, size.cy}};
        if (m_hdc != NULL)
            ::LPtoDP(m_hdc, pts, 2);
        return CSize(std::abs(pts[1].x - pts[0].x), std::abs(pts[1].y - pts[0].y));
    }
    CPoint ToDevice(POINT pt) const
    {
        if (m_hdc != NULL)
            ::LPtoDP(m_hdc, &pt, 1);
        return CPoint(pt);
    }
    CPoint ToLogical(POINT pt) const
    {
        if (m_hdc != NULL)
            ::DPtoLP(m_hdc, &pt, 1);
        return CPoint(pt);
    }

private:
    HDC m_hdc;
};

} // namespace

CScrollView::CScrollView() = default;

CScrollView::~CScrollView() = default;

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    const int nOldMapMode = m_nMapMode;
    m_nMapMode = nMapMode;
    m_totalLog = CSize(std::max(0L, static_cast<long>(sizeTotal.cx)), std::max(0L, static_cast<long>(sizeTotal.cy)));

    const ScreenMapping mapping(nMapMode);
    m_totalDev = mapping.ToDevice(m_totalLog);
    m_pageDev = mapping.ToDevice(sizePage);
    m_lineDev = mapping.ToDevice(sizeLine);
    // Zero means "the default": a tenth of the whole for a page, a tenth
    // of a page for a line.
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;

    if (m_hWnd != NULL) {
        UpdateBars();
        if (nOldMapMode != m_nMapMode)
            Invalidate(TRUE);
    }
}

void CScrollView::SetScaleToFitSize(SIZE sizeTotal)
{
    m_nMapMode = kScaleToFit;
    m_totalLog = sizeTotal;
    m_pageDev = m_lineDev = CSize(0, 0);
    if (m_hWnd != NULL) {
        // Both bars go and the position returns to the origin.
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
        ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
        CRect rect;
        GetClientRect(&rect);
        m_totalDev = CSize(rect.Width(), rect.Height());
        Invalidate(TRUE);
    } else {
        m_totalDev = m_totalLog;
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    if (m_hWnd == NULL)
        return CPoint(0, 0);
    return CPoint(::GetScrollPos(m_hWnd, SB_HORZ), ::GetScrollPos(m_hWnd, SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const
{
    if (m_nMapMode == kScaleToFit)
        return CPoint(0, 0);
    const CPoint pt = GetDeviceScrollPosition();
    if (m_nMapMode <= 0 || m_nMapMode == MM_TEXT)
        return pt;
    return ScreenMapping(m_nMapMode).ToLogical(pt);
}

int CScrollView::GetScrollLimitFor(int nBar) const
{
    if (m_hWnd == NULL)
        return 0;
    const DWORD flag = nBar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    if ((GetStyle() & flag) == 0)
        return 0;
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    if (!::GetScrollInfo(m_hWnd, nBar, &info))
        return 0;
    const int page = info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0;
    return std::max(info.nMin, info.nMax - page);
}

void CScrollView::ScrollToPosition(POINT pt)
{
    if (m_nMapMode == kScaleToFit || m_hWnd == NULL)
        return;
    CPoint dev(pt);
    if (m_nMapMode > 0 && m_nMapMode != MM_TEXT)
        dev = ScreenMapping(m_nMapMode).ToDevice(pt);
    const CPoint current = GetDeviceScrollPosition();
    OnScrollBy(CSize(dev.x - current.x, dev.y - current.y), TRUE);
}

void CScrollView::CenterOnPoint(CPoint ptCenter)
{
    CRect rect;
    GetClientRect(&rect);
    const CPoint current = GetDeviceScrollPosition();
    // ptCenter is a point of the content in pixels.
    const int x = ptCenter.x - rect.Width() / 2;
    const int y = ptCenter.y - rect.Height() / 2;
    OnScrollBy(CSize(x - current.x, y - current.y), TRUE);
}

void CScrollView::FillOutsideRect(CDC* pDC, CBrush* pBrush)
{
    // In device units: right of the content from the top, then below it.
    CRect rect;
    GetClientRect(&rect);
    const CPoint scroll = GetDeviceScrollPosition();
    const int right = m_totalDev.cx - scroll.x;
    const int bottom = m_totalDev.cy - scroll.y;

    const int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    pDC->SetWindowOrg(0, 0);
    if (right < rect.right) {
        CRect fill(std::max(right, 0), rect.top, rect.right, rect.bottom);
        pDC->FillRect(&fill, pBrush);
    }
    if (bottom < rect.bottom) {
        CRect fill(rect.left, std::max(bottom, 0), std::min(std::max(right, 0), static_cast<int>(rect.right)),
            rect.bottom);
        if (!fill.IsRectEmpty())
            pDC->FillRect(&fill, pBrush);
    }
    pDC->RestoreDC(nSaved);
}

void CScrollView::GetTrueClientSize(CSize& size, CSize& sizeSb)
{
    CRect rect;
    GetClientRect(&rect);
    size = CSize(rect.Width(), rect.Height());
    sizeSb = CSize(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
    // The room the bars take now would be the view's without them.
    const DWORD style = GetStyle();
    if (style & WS_VSCROLL)
        size.cx += sizeSb.cx;
    if (style & WS_HSCROLL)
        size.cy += sizeSb.cy;
}

void CScrollView::UpdateBars()
{
    if (m_bInsideUpdate || m_hWnd == NULL || m_nMapMode == kScaleToFit)
        return;
    // Showing or hiding a bar resizes the client area, which comes back
    // here through WM_SIZE.
    m_bInsideUpdate = TRUE;

    const CPoint oldPos = GetDeviceScrollPosition();
    CSize client;
    CSize sb;
    GetTrueClientSize(client, sb);

    bool needH = m_totalDev.cx > client.cx;
    bool needV = m_totalDev.cy > client.cy;
    // One bar takes room from the other direction.
    if (needH && !needV)
        needV = m_totalDev.cy > client.cy - sb.cy;
    if (needV && !needH)
        needH = m_totalDev.cx > client.cx - sb.cx;
    const CSize avail(std::max(0L, static_cast<long>(client.cx - (needV ? sb.cx : 0))),
        std::max(0L, static_cast<long>(client.cy - (needH ? sb.cy : 0))));

    // The window system shows a bar whose page is smaller than its range
    // and hides it (position 0) otherwise.
    SCROLLINFO h{sizeof h, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    if (needH) {
        h.nMax = m_totalDev.cx - 1;
        h.nPage = static_cast<UINT>(avail.cx);
    } else {
        h.fMask |= SIF_POS;
    }
    SCROLLINFO v{sizeof v, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    if (needV) {
        v.nMax = m_totalDev.cy - 1;
        v.nPage = static_cast<UINT>(avail.cy);
    } else {
        v.fMask |= SIF_POS;
    }
    ::SetScrollInfo(m_hWnd, SB_HORZ, &h, TRUE);
    ::SetScrollInfo(m_hWnd, SB_VERT, &v, TRUE);

    // A smaller range may have pulled the position back.
    const CPoint newPos = GetDeviceScrollPosition();
    if (newPos != oldPos)
        ::ScrollWindow(m_hWnd, oldPos.x - newPos.x, oldPos.y - newPos.y, NULL, NULL);
    m_bInsideUpdate = FALSE;
}

// The wheel scrolls three lines a notch (the desktop's default), the
// vertical bar when there is one, else the horizontal one, never more than
// a page at once. With Shift or Ctrl held it is left to the view.
BOOL CScrollView::OnMouseWheel(UINT nFlags, short zDelta, CPoint /*pt*/)
{
    if (nFlags & (MK_SHIFT | MK_CONTROL))
        return FALSE;
    const DWORD style = GetStyle();
    const bool vertical = (style & WS_VSCROLL) != 0;
    if (!vertical && (style & WS_HSCROLL) == 0)
        return FALSE;
    constexpr int kLinesPerNotch = 3;
    const int line = vertical ? m_lineDev.cy : m_lineDev.cx;
    const int page = vertical ? m_pageDev.cy : m_pageDev.cx;
    long long displacement = static_cast<long long>(-zDelta) * kLinesPerNotch * line / WHEEL_DELTA;
    if (page > 0)
        displacement = std::clamp<long long>(displacement, -page, page);
    const CSize scroll = vertical ? CSize(0, int(displacement)) : CSize(int(displacement), 0);
    return OnScrollBy(scroll, TRUE);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    if (m_hWnd == NULL)
        return FALSE;
    const DWORD style = GetStyle();
    // No bar, no scrolling that way.
    if ((style & WS_HSCROLL) == 0)
        sizeScroll.cx = 0;
    if ((style & WS_VSCROLL) == 0)
        sizeScroll.cy = 0;

    const CPoint orig = GetDeviceScrollPosition();
    const int x = static_cast<int>(std::clamp<long long>(static_cast<long long>(orig.x) + sizeScroll.cx, 0,
        GetScrollLimitFor(SB_HORZ)));
    const int y = static_cast<int>(std::clamp<long long>(static_cast<long long>(orig.y) + sizeScroll.cy, 0,
        GetScrollLimitFor(SB_VERT)));
    if (x == orig.x && y == orig.y)
        return FALSE;

    if (bDoScroll) {
        // The position first, so that a paint the scroll causes already
        // draws with the new origin.
        if (x != orig.x)
            ::SetScrollPos(m_hWnd, SB_HORZ, x, TRUE);
        if (y != orig.y)
            ::SetScrollPos(m_hWnd, SB_VERT, y, TRUE);
        ::ScrollWindow(m_hWnd, orig.x - x, orig.y - y, NULL, NULL);
    }
    return TRUE;
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
    (void)nPos; // 16 bits only: the 32-bit track position is asked for below
    auto target = [this](int nBar, UINT code, int line, int page) {
        const int pos = ::GetScrollPos(m_hWnd, nBar);
        switch (code) {
        case SB_TOP:
            return 0;
        case SB_BOTTOM:
            return INT_MAX / 2;
        case SB_LINEUP:
            return pos - line;
        case SB_LINEDOWN:
            return pos + line;
        case SB_PAGEUP:
            return pos - page;
        case SB_PAGEDOWN:
            return pos + page;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            return ::GetScrollInfo(m_hWnd, nBar, &info) ? info.nTrackPos : pos;
        }
        default:
            return pos;
        }
    };
    if (m_hWnd == NULL)
        return FALSE;
    const CPoint orig = GetDeviceScrollPosition();
    int x = orig.x;
    int y = orig.y;
    const UINT hCode = LOBYTE(nScrollCode);
    const UINT vCode = HIBYTE(nScrollCode);
    if (hCode != 0xFF)
        x = target(SB_HORZ, hCode, m_lineDev.cx, m_pageDev.cx);
    if (vCode != 0xFF)
        y = target(SB_VERT, vCode, m_lineDev.cy, m_pageDev.cy);

    const BOOL bResult = OnScrollBy(CSize(x - orig.x, y - orig.y), bDoScroll);
    if (bResult && bDoScroll)
        UpdateWindow();
    return bResult;
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar != NULL) {
        CView::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar != NULL) {
        CView::OnVScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_nMapMode == kScaleToFit) {
        m_totalDev = CSize(cx, cy);
        Invalidate(TRUE);
    } else {
        UpdateBars();
    }
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_nMapMode == kScaleToFit) {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(std::max(1L, static_cast<long>(m_totalLog.cx)), std::max(1L, static_cast<long>(m_totalLog.cy)));
        pDC->SetViewportExt(std::max(1L, static_cast<long>(m_totalDev.cx)), std::max(1L, static_cast<long>(m_totalDev.cy)));
    } else if (m_nMapMode > 0) {
        pDC->SetMapMode(m_nMapMode);
    }

    CPoint ptVpOrg(0, 0);
    if (!pDC->IsPrinting()) {
        ptVpOrg = -GetDeviceScrollPosition();
        if (m_bCenter && m_hWnd != NULL) {
            // Content smaller than the window sits in its middle.
            CRect rect;
            GetClientRect(&rect);
            if (m_totalDev.cx < rect.Width())
                ptVpOrg.x = (rect.Width() - m_totalDev.cx) / 2;
            if (m_totalDev.cy < rect.Height())
                ptVpOrg.y = (rect.Height() - m_totalDev.cy) / 2;
        }
    }
    pDC->SetViewportOrg(ptVpOrg);
    CView::OnPrepareDC(pDC, pInfo);
}
