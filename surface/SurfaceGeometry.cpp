// The geometry of a surface view: the page and its mapping to the screen at
// the zoom, the zoom commands, the scrollable extent, the guidelines, the
// work area and the orderings of objects that the editing commands start
// from.
#include "surface/Surface.h"

#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainToolBars.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "platform/base/Arithmetic.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/CustomZoomDlg.h"
#include "surface/KindCast.h"
#include "surface/SurfaceFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The room added round the page in both directions, hundredths of an inch,
// so that the page edge never sits on the window edge.
constexpr int kPlatformMargin = 8;

// How far the scrolled area reaches beyond the page, logical units (1000
// inches).
constexpr LONG kMaxReach = 100000;

// The nearest-guideline search starts here when a direction has guidelines.
constexpr int kNoGuidelineNear = 32767;

// The rectangle with left <= right and top <= bottom (so with y up the
// larger y is the bottom).
CRect Normalized(const CRect& rect)
{
    CRect r = rect;
    r.NormalizeRect();
    return r;
}

BOOL IsAllZero(const CRect& rect)
{
    return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
}

// A guideline position from the profile or a file as a signed value; the
// arrays hold 32-bit values that are never negative in a sound design.
int GuidelineUnits(DWORD dwPosition)
{
    return static_cast<int>(static_cast<LONG>(dwPosition)) / 10;
}

// Device pixels of a logical length at a zoom, with the same scale as the
// view's mapping (OnPrepareDC): n x (ppi x zoom / 100) / 100.
LONG LogicalToDevice(LONG n, int ppi, int nZoom)
{
    const long long scale = ::MulDiv(ppi, nZoom, 100);
    const long long value = static_cast<long long>(n) * scale / 100;
    return static_cast<LONG>(std::clamp<long long>(value, -0x3FFFFFFF, 0x3FFFFFFF));
}

// A coordinate worked out in floating point, kept where int arithmetic on
// it cannot overflow whatever a file put into an object's rectangle.
int ClampCoordinate(double v)
{
    constexpr double kLimit = 0x3FFFFFFF;
    if (!(v > -kLimit))
        return -0x3FFFFFFF;
    if (!(v < kLimit))
        return 0x3FFFFFFF;
    return static_cast<int>(v);
}

// Scales a coordinate about the origin by the ratio of the new to the old
// work-area edge on the same side of the origin; 1 where the old edge is 0.
int ScaleAboutOrigin(int v, int oldLow, int newLow, int oldHigh, int newHigh)
{
    const int oldEdge = v < 0 ? oldLow : oldHigh;
    const int newEdge = v < 0 ? newLow : newHigh;
    if (oldEdge == 0)
        return v;
    return ClampCoordinate(static_cast<double>(v) * newEdge / oldEdge);
}

// Maps v from [oldLow, oldLow + oldSize] to [newLow, newLow + newSize],
// keeping its relative place; truncated.
int MapProportionally(int v, int oldLow, int oldSize, int newLow, int newSize)
{
    const double offset = static_cast<double>(v) - oldLow;
    if (oldSize == 0)
        return ClampCoordinate(offset + newLow);
    return ClampCoordinate(newLow + std::trunc(offset / oldSize * newSize));
}

} // namespace

CRect OrientRectLike(const CRect& r, const CRect& like)
{
    // Compared, not subtracted: a width of rectangles from a file may not
    // fit an int.
    CRect result = r;
    if ((result.right < result.left) != (like.right < like.left))
        std::swap(result.left, result.right);
    if ((result.bottom < result.top) != (like.bottom < like.top))
        std::swap(result.top, result.bottom);
    return result;
}

// ---- Page and zoom -----------------------------------------------------------------------------

CSize CSurface::GetPlatformPageMargin()
{
    return CSize(kPlatformMargin, kPlatformMargin);
}

void CSurface::GetPageRect(LPRECT lpRect) const
{
    if (lpRect == NULL)
        return;
    const int cx = m_sizePage.cx;
    const int cy = m_sizePage.cy;
    lpRect->left = -(cx / 2);
    lpRect->right = cx - cx / 2;
    lpRect->top = cy / 2;
    lpRect->bottom = cy / 2 - cy;
}

CRect CSurface::GetPageRect() const
{
    CRect rect;
    GetPageRect(&rect);
    return rect;
}

void CSurface::SetPageSize(int cx, int cy)
{
    // A page is at least one unit each way and no larger than the layout
    // allows, so the zoom arithmetic never divides by zero or overflows.
    m_sizePage = CSize(std::clamp(cx, 1, LAYOUT_MAX_SIZE), std::clamp(cy, 1, LAYOUT_MAX_SIZE));
    if (m_hWnd == NULL)
        return;
    m_flags |= SurfaceRecomputeExtent;
    UpdateScrollSizes();
    Invalidate(TRUE);
}

WORD CSurface::CalcFitZoom(CDC* pDC)
{
    // The window's room whether or not scroll bars take part of it: the
    // bars come and go with objects beyond the page, and a fitted page keeps
    // its scale through that; only the window or the page changes it.
    CSize window(0, 0);
    if (m_hWnd != NULL) {
        CSize bars;
        GetTrueClientSize(window, bars);
    }
    const CRect client(CPoint(0, 0), window);
    SIZE ppi;
    if (pDC != NULL && !pDC->IsPrinting()) {
        ppi.cx = std::max(1, pDC->GetDeviceCaps(LOGPIXELSX));
        ppi.cy = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    } else {
        ppi = ScreenPixelsPerInch();
    }
    const CSize margin = GetPlatformPageMargin();
    const long long width = ::MulDiv(std::max(0, client.Width()), 100, ppi.cx);
    const long long height = ::MulDiv(std::max(0, client.Height()), 100, ppi.cy);
    const long long zoomX = width * 100 / (m_sizePage.cx + margin.cx);
    const long long zoomY = height * 100 / (m_sizePage.cy + margin.cy);
    return static_cast<WORD>(std::clamp<long long>(std::min(zoomX, zoomY), 1, kMaxZoom));
}

void CSurface::UpdateZoom(CDC* pDC)
{
    if (pDC != NULL && pDC->IsPrinting())
        return;
    const WORD nOld = m_nZoom;
    if (CDrawDoc* pDoc = GetDocument()) {
        const WORD nZoom = pDoc->GetZoom();
        m_nZoom = nZoom == ZOOM_FIT ? CalcFitZoom(pDC) : std::clamp<WORD>(nZoom, 1, kMaxZoom);
        if (nZoom == ZOOM_FIT) {
            if (CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame()))
                pFrame->UpdateRulers(FALSE);
        }
    }
    if (m_nZoom != nOld && m_bActive)
        ReportZoom();
}

void CSurface::UpdateScrollSizes()
{
    constexpr int kMaxDepth = 3;
    if (m_hWnd == NULL || m_nScrollSizesDepth >= kMaxDepth)
        return;
    struct DepthGuard {
        int& n;
        explicit DepthGuard(int& depth) : n(depth) { ++n; }
        ~DepthGuard() { --n; }
    } guard(m_nScrollSizesDepth);
    UpdateZoom(NULL);
    CSize total;
    CRect extent;
    CPoint shift;
    ComputeScrollExtent(&total, &extent, &shift);
    const CPoint oldShift = m_ptExtentShift;
    m_rectExtent = extent;
    m_ptExtentShift = shift;
    // Objects beyond the page's left or upper side move the page right or
    // down inside the scrolled area by the shift.
    m_ptCentringOffset = shift;

    const SIZE ppi = ScreenPixelsPerInch();
    CSize device(LogicalToDevice(total.cx, ppi.cx, m_nZoom), LogicalToDevice(total.cy, ppi.cy, m_nZoom));
    CRect client;
    GetClientRect(&client);
    // An extent no larger than the client area is the client area itself:
    // rounding between units and pixels must not bring up scroll bars,
    // which would shrink the client area and start over.
    CRect logical = client;
    DPtoLPRect(&logical);
    if (total.cx <= std::abs(logical.Width()))
        device.cx = std::min<LONG>(device.cx, client.Width());
    if (total.cy <= std::abs(logical.Height()))
        device.cy = std::min<LONG>(device.cy, client.Height());
    const CSize page(std::max(1, client.Width()), std::max(1, client.Height()));
    const CPoint oldPos = GetDeviceScrollPosition();
    SetScrollSizes(MM_TEXT, device, page, CSize(ppi.cx, ppi.cy));
    if (m_nScrollSizesDepth > 1) {
        // Scroll bars coming or going sent the WM_SIZE that called this: the
        // call that set the sizes places the view once they have settled,
        // from the shift this call leaves.
        if (CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame()))
            pFrame->UpdateRulers(TRUE);
        m_flags &= ~SurfaceRecomputeExtent;
        return;
    }
    // A call made by the bars may have changed the shift.
    shift = m_ptExtentShift;
    const CPoint shiftDev(LogicalToDevice(shift.x, ppi.cx, m_nZoom), LogicalToDevice(shift.y, ppi.cy, m_nZoom));
    // The position is set, not scrolled to: scrolling would move the pixels
    // shown and paint at once, and a view that keeps the page still does
    // not move what it shows. Whatever changed is painted with the next
    // paint, once.
    auto placeAt = [this](CPoint pt) {
        const CPoint current = GetDeviceScrollPosition();
        const DWORD style = GetStyle();
        const int x = (style & WS_HSCROLL) != 0 ? std::clamp<int>(pt.x, 0, GetScrollLimitFor(SB_HORZ)) : current.x;
        const int y = (style & WS_VSCROLL) != 0 ? std::clamp<int>(pt.y, 0, GetScrollLimitFor(SB_VERT)) : current.y;
        if (x != current.x)
            ::SetScrollPos(m_hWnd, SB_HORZ, x, TRUE);
        if (y != current.y)
            ::SetScrollPos(m_hWnd, SB_VERT, y, TRUE);
    };
    if ((m_flags & SurfacePainted) == 0) {
        placeAt(shiftDev);
        Invalidate(FALSE);
    } else if (shift != oldShift) {
        // Once painted the view does not jump: the scroll position follows
        // the page by the change of the shift.
        const CPoint oldShiftDev(
            LogicalToDevice(oldShift.x, ppi.cx, m_nZoom), LogicalToDevice(oldShift.y, ppi.cy, m_nZoom));
        placeAt(oldPos + (shiftDev - oldShiftDev));
        // The page's place in the client area may round to another pixel.
        Invalidate(FALSE);
    }
    // The rulers are painted with the view, not before it.
    if (CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame()))
        pFrame->UpdateRulers(FALSE);
    m_flags &= ~SurfaceRecomputeExtent;
}

void CSurface::SetZoom(WORD nZoom)
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp != NULL)
        pApp->LockMainWindowUpdate();
    // A scroll position kept in pixels would land on an unrelated part of
    // the page at the new scale; start again from its top left corner.
    if (m_hWnd != NULL)
        ScrollToPosition(CPoint(0, 0));
    // The document refreshes its views (hint 10) only when the value
    // changed; this view is brought up to date either way.
    pDoc->SetZoom(nZoom);
    if (m_hWnd != NULL) {
        UpdateScrollSizes();
        Invalidate(TRUE);
    }
    if (pApp != NULL)
        pApp->UnlockMainWindowUpdate();
    ReportZoom();
    if (!m_selection.IsEmpty() && m_hWnd != NULL)
        SetFocus();
}

void CSurface::OnFitInWindow()
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    pDoc->m_nZoomCompanion = pDoc->m_nZoomCompanion != 0 ? 0 : 1;
    WORD nZoom;
    if (pDoc->GetZoom() == ZOOM_FIT) {
        nZoom = m_nFitReturnZoom != 0 ? m_nFitReturnZoom : kDefaultZoom;
    } else {
        nZoom = ZOOM_FIT;
        m_nFitReturnZoom = pDoc->GetZoom();
    }
    SetZoom(nZoom);
}

void CSurface::ReportZoom()
{
    const CDrawDoc* pDoc = GetDocument();
    const BOOL bFit = pDoc != NULL && pDoc->GetZoom() == ZOOM_FIT;
    UpdateZoomCombo(m_nZoom, bFit);
}

void CSurface::OnZoomFit() { OnFitInWindow(); }

namespace {

// The fixed steps end fitting for good: the toggle's flag is cleared.
void ZoomToStep(CSurface* pView, WORD nZoom)
{
    if (CDrawDoc* pDoc = pView->GetDocument())
        pDoc->m_nZoomCompanion = 0;
    pView->SetZoom(nZoom);
}

} // namespace

void CSurface::OnZoom200() { ZoomToStep(this, 200); }
void CSurface::OnZoom150() { ZoomToStep(this, 150); }
void CSurface::OnZoom100() { ZoomToStep(this, 100); }
void CSurface::OnZoom75() { ZoomToStep(this, 75); }
void CSurface::OnZoom50() { ZoomToStep(this, 50); }
void CSurface::OnZoom25() { ZoomToStep(this, 25); }

void CSurface::OnZoomCustom()
{
    CCustomZoomDlg dlg(this);
    dlg.m_nZoom = m_nZoom;
    if (dlg.DoModal() == IDOK)
        ZoomToStep(this, static_cast<WORD>(std::clamp<int>(dlg.m_nZoom, 1, kMaxZoom)));
}

void CSurface::OnUpdateZoom(CCmdUI* pCmdUI)
{
    const CDrawDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc != NULL);
    if (pDoc == NULL)
        return;
    if (pCmdUI->m_nID == ID_VIEW_ZOOM_FIT) {
        pCmdUI->SetCheck(pDoc->GetZoom() == ZOOM_FIT);
        return;
    }
    WORD nZoom = 0;
    switch (pCmdUI->m_nID) {
    case ID_VIEW_ZOOM_200: nZoom = 200; break;
    case ID_VIEW_ZOOM_150: nZoom = 150; break;
    case ID_VIEW_ZOOM_100: nZoom = 100; break;
    case ID_VIEW_ZOOM_75: nZoom = 75; break;
    case ID_VIEW_ZOOM_50: nZoom = 50; break;
    case ID_VIEW_ZOOM_25: nZoom = 25; break;
    }
    pCmdUI->SetCheck(pDoc->GetZoom() != ZOOM_FIT && m_nZoom == nZoom);
}

// ---- Mapping and conversions -------------------------------------------------------------------

void CSurface::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CScrollView::OnPrepareDC(pDC, pInfo);
    pDC->SetMapMode(MM_ANISOTROPIC);
    const int ppiX = std::max(1, pDC->GetDeviceCaps(LOGPIXELSX));
    const int ppiY = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    pDC->SetWindowExt(100, -100);

    if (pDC->IsPrinting()) {
        pDC->SetViewportExt(ppiX, ppiY);
        pDC->SetWindowOrg(-(m_sizePage.cx / 2), m_sizePage.cy / 2);
        return;
    }

    const CSize margin = GetPlatformPageMargin();
    const CSize extent(m_sizePage.cx + margin.cx, m_sizePage.cy + margin.cy);
    pDC->SetViewportExt(::MulDiv(ppiX, m_nZoom, 100), ::MulDiv(ppiY, m_nZoom, 100));
    // A client area larger than the page shows the page in its middle.
    int xOffset = 0;
    int yOffset = 0;
    if (m_hWnd != NULL) {
        CRect client;
        GetClientRect(&client);
        const int logWidth = ::MulDiv(client.Width(), 100 * 100, ppiX * m_nZoom);
        const int logHeight = ::MulDiv(client.Height(), 100 * 100, ppiY * m_nZoom);
        if (logWidth > extent.cx)
            xOffset = (logWidth - extent.cx) / 2;
        if (logHeight > extent.cy)
            yOffset = (logHeight - extent.cy) / 2;
    }
    xOffset += m_ptCentringOffset.x;
    yOffset += m_ptCentringOffset.y;
    pDC->SetWindowOrg(-(extent.cx / 2 + xOffset), extent.cy / 2 + yOffset);
}

void CSurface::DPtoLPRect(LPRECT lpRect)
{
    if (lpRect == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.DPtoLP(lpRect);
}

void CSurface::LPtoDPRect(LPRECT lpRect)
{
    if (lpRect == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.LPtoDP(lpRect);
    CRect rect(*lpRect);
    rect.NormalizeRect();
    *lpRect = rect;
}

void CSurface::DPtoLPPoint(LPPOINT lpPoint)
{
    if (lpPoint == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.DPtoLP(lpPoint);
}

void CSurface::LPtoDPPoint(LPPOINT lpPoint)
{
    if (lpPoint == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.LPtoDP(lpPoint);
}

CRect CSurface::GetPageScreenRect()
{
    CRect rect = GetPageRect();
    if (m_hWnd == NULL)
        return rect;
    LPtoDPRect(&rect);
    ClientToScreen(&rect);
    return rect;
}

// ---- Objects as a whole ------------------------------------------------------------------------

CRect CSurface::GetObjectsBounds(const CObList* pList)
{
    const CObList& list = pList != NULL ? *pList : m_selection;
    CRect bounds(0, 0, 0, 0);
    BOOL bFirst = TRUE;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(list.GetNext(pos));
        if (pObj == NULL)
            continue;
        const CRect rect = Normalized(pObj->m_position);
        if (bFirst) {
            bounds = rect;
            bFirst = FALSE;
            continue;
        }
        // A union that keeps points and segments, which have no area.
        bounds.left = std::min(bounds.left, rect.left);
        bounds.top = std::min(bounds.top, rect.top);
        bounds.right = std::max(bounds.right, rect.right);
        bounds.bottom = std::max(bounds.bottom, rect.bottom);
    }
    // y grows upwards: the larger y is the top.
    std::swap(bounds.top, bounds.bottom);
    return bounds;
}

void CSurface::GetCombinedObjectFlags(WORD* pFlags) const
{
    // The information fields that some object of the surface holds.
    if (pFlags == NULL)
        return;
    *pFlags = 0;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL)
            continue;
        // What GetAttributes gives as m_wInfoFields, without copying the
        // whole record (calendar cells included) of every object.
        *pFlags |= pObj->m_wExtraFlags;
    }
}

BOOL CSurface::IsOverEmptyBackground(CDrawObj* pObj)
{
    if (pObj == NULL)
        return TRUE;
    POSITION posObj = m_objects.Find(pObj);
    if (posObj == NULL)
        return TRUE;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != posObj && pos != NULL;) {
        CDrawObj* pOther = AsDrawObj(m_objects.GetNext(pos));
        if (pOther == NULL || pOther == pObj || (pOther->m_wFlags & (OBJ_FLAG_GUIDE | OBJ_FLAG_TILE_HIDDEN)) != 0)
            continue;
        if (pOther->Intersects(pObj->m_position))
            return FALSE;
    }
    return TRUE;
}

void CSurface::SortObjectsByPosition(const CObList& source, CObList& dest)
{
    struct Entry {
        CDrawObj* pObj;
        CRect rect;
    };
    std::vector<Entry> entries;
    for (POSITION pos = source.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(source.GetNext(pos));
        if (pObj == NULL || (pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE) != 0)
            continue;
        CRect rect = pObj->m_position;
        if (m_hWnd != NULL) {
            LPtoDPRect(&rect);
        } else {
            // Without a window, reading order in logical units: y up.
            rect = Normalized(CRect(rect.left, -rect.top, rect.right, -rect.bottom));
        }
        entries.push_back(Entry{pObj, rect});
    }
    // Reading order: upper edge first, then left edge; equal places keep
    // the source's order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.rect.top != b.rect.top)
            return a.rect.top < b.rect.top;
        return a.rect.left < b.rect.left;
    });
    for (const Entry& entry : entries)
        dest.AddTail(entry.pObj);
}

// ---- Guidelines --------------------------------------------------------------------------------

void CSurface::AddGuideline(DWORD dwPosition, BOOL bVertical)
{
    CDWordArray& guidelines = m_guidelines[bVertical ? 1 : 0];
    const INT_PTR nCount = guidelines.GetSize();
    INT_PTR nAt = nCount;
    for (INT_PTR i = 0; i < nCount; ++i) {
        if (guidelines[i] == dwPosition) {
            nAt = -1;
            break;
        }
        if (guidelines[i] > dwPosition) {
            nAt = i;
            break;
        }
    }
    if (nAt >= 0)
        guidelines.InsertAt(nAt, dwPosition);
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
}

void CSurface::RemoveGuideline(DWORD dwPosition, BOOL bVertical, int nTolerance)
{
    CDWordArray& guidelines = m_guidelines[bVertical ? 1 : 0];
    BOOL bRemoved = FALSE;
    for (int t = 0; t <= nTolerance && !bRemoved; ++t) {
        for (INT_PTR i = 0; i < guidelines.GetSize(); ++i) {
            const long long distance = std::llabs(static_cast<long long>(guidelines[i]) - dwPosition);
            if (distance <= t) {
                guidelines.RemoveAt(i);
                bRemoved = TRUE;
                break;
            }
        }
    }
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
}

CSize CSurface::SnapToGuidelines(int x1, int y1, int x2, int y2)
{
    const int w = std::abs(static_cast<int>(m_sizePage.cx));
    const int h = std::abs(static_cast<int>(m_sizePage.cy));
    auto nearest = [](const CDWordArray& guidelines, int edge1, int edge2, auto place) {
        if (guidelines.GetSize() == 0)
            return 0;
        int best = kNoGuidelineNear;
        for (INT_PTR i = 0; i < guidelines.GetSize(); ++i) {
            const int g = place(guidelines[i]);
            for (int edge : {edge1, edge2}) {
                const long long d = static_cast<long long>(g) - edge;
                if (std::llabs(d) < std::abs(best))
                    best = static_cast<int>(d);
            }
        }
        return best;
    };
    const int dx = nearest(m_guidelines[1], x1, x2, [w](DWORD pos) { return GuidelineUnits(pos) - w / 2; });
    const int dy = nearest(m_guidelines[0], y1, y2, [h](DWORD pos) { return h / 2 - GuidelineUnits(pos); });
    return CSize(dx, dy);
}

// ---- Scroll extent -----------------------------------------------------------------------------

void CSurface::CheckObjectExtent(CDrawObj* pObj)
{
    if ((m_flags & SurfaceRecomputeExtent) != 0)
        return;
    if (pObj != NULL) {
        const CRect rect = Normalized(pObj->m_position);
        if (rect.left == rect.right || rect.top == rect.bottom) {
            // A point or a segment: ComputeScrollExtent's union would not
            // see it, so only whether it lies inside counts.
            const CRect extent = Normalized(m_rectExtent);
            const BOOL bInside = rect.left >= extent.left && rect.right <= extent.right && rect.top >= extent.top
                && rect.bottom <= extent.bottom;
            if (!bInside)
                m_flags |= SurfaceRecomputeExtent;
            return;
        }
    }
    CSize total;
    CRect extent;
    CPoint shift;
    ComputeScrollExtent(&total, &extent, &shift);
    if (extent != m_rectExtent)
        m_flags |= SurfaceRecomputeExtent;
}

BOOL CSurface::MayWidenExtent(const CDrawObj* pObj) const
{
    if (pObj == NULL)
        return FALSE;
    const CRect extent = Normalized(m_rectExtent);
    if (extent.IsRectEmpty())
        return TRUE;
    // The extent reaches each way to the farther of the objects and half
    // the base or client size; on the right and at the lower y it may be a
    // unit beyond that where the size is odd, so an object up to that unit
    // may still widen it.
    const CRect rect = Normalized(pObj->m_position);
    return rect.left < extent.left || rect.right >= extent.right || rect.top <= extent.top
        || rect.bottom > extent.bottom;
}

void CSurface::InvalidateIfExtentChanged()
{
    if ((m_flags & SurfaceObjectsInvalidate) == 0 || m_hWnd == NULL)
        return;
    // Objects reach their places by many roads (a move, a new rectangle, an
    // undo step, a tool), not all of which mark the extent: it is compared
    // here with what the objects call for now, so that whatever moved them
    // the user can scroll to them.
    CheckObjectExtent(NULL);
    if ((m_flags & SurfaceRecomputeExtent) == 0)
        return;
    Invalidate(TRUE);
    UpdateScrollSizes();
}

void CSurface::ComputeScrollExtent(CSize* pTotal, CRect* pExtent, CPoint* pShift)
{
    const CSize margin = GetPlatformPageMargin();
    const CSize base(m_sizePage.cx + margin.cx, m_sizePage.cy + margin.cy);
    CRect client(0, 0, 0, 0);
    if (m_hWnd != NULL)
        GetClientRect(&client);

    CSize total = base;
    CPoint shift(0, 0);
    LONG hw = base.cx / 2;
    LONG hh = base.cy / 2;
    if (!client.IsRectEmpty()) {
        DPtoLPRect(&client);
        const LONG wd = std::max<LONG>(base.cx, std::abs(client.Width()));
        const LONG hd = std::max<LONG>(base.cy, std::abs(client.Height()));
        hw = wd / 2;
        hh = hd / 2;
        const CRect b = Normalized(GetObjectsBounds(&m_objects));
        // 64-bit on the way, so that objects from a file at the ends of the
        // int range cannot overflow it; the scrolled area reaches at most
        // kMaxReach beyond the page each way, which keeps every pixel of
        // it within int coordinates at 500 %.
        constexpr long long kLimit = kMaxReach;
        long long shiftX = 0;
        long long shiftY = 0;
        if (-static_cast<long long>(b.left) > hw)
            shiftX = -(static_cast<long long>(b.left) + hw);
        long long extraWidth = shiftX;
        if (b.right > hw)
            extraWidth += static_cast<long long>(b.right) - hw;
        // b.bottom is the larger y: the objects' upper reach.
        if (b.bottom > hh)
            shiftY = static_cast<long long>(b.bottom) - hh;
        long long extraHeight = shiftY;
        if (-static_cast<long long>(b.top) > hh)
            extraHeight += -(static_cast<long long>(b.top) + hh);
        shift.x = static_cast<LONG>(std::min(shiftX, kLimit));
        shift.y = static_cast<LONG>(std::min(shiftY, kLimit));
        const long long cx = std::max<long long>(base.cx, wd + extraWidth);
        const long long cy = std::max<long long>(base.cy, hd + extraHeight);
        total = CSize(
            static_cast<int>(std::min(cx, wd + 2 * kLimit)), static_cast<int>(std::min(cy, hd + 2 * kLimit)));
    }
    CRect extent;
    extent.left = -(shift.x + hw);
    extent.top = shift.y + hh;
    extent.right = static_cast<LONG>(static_cast<long long>(extent.left) + total.cx);
    extent.bottom = static_cast<LONG>(static_cast<long long>(extent.top) - total.cy);
    extent.NormalizeRect();
    if (pTotal != NULL)
        *pTotal = total;
    if (pExtent != NULL)
        *pExtent = extent;
    if (pShift != NULL)
        *pShift = shift;
}

// ---- Deferred redraw ---------------------------------------------------------------------------

void CSurface::RequestRedraw()
{
    if ((thePrefs.Flags & PREF_FLAG_MOVE_FILLED) == 0)
        m_flags |= SurfaceRedrawPending;
    else
        m_flags &= ~SurfaceRedrawPending;
}

void CSurface::FlushRedraw()
{
    if ((m_flags & SurfaceRedrawPending) == 0)
        return;
    m_flags &= ~SurfaceRedrawPending;
    if (m_hWnd != NULL)
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// ---- Work area ---------------------------------------------------------------------------------

void CSurface::GetWorkArea(LPRECT lpRect, int nMarginSet)
{
    if (lpRect == NULL)
        return;
    const CRect page = GetPageRect();
    CRect margins(0, 0, 0, 0);
    if (CDrawDoc* pDoc = GetDocument()) {
        margins = nMarginSet == 0 ? pDoc->m_rectMargins : pDoc->m_rectSavedMargins;
        // The kind adjusts the margins for this surface (centred cards,
        // label sheets).
        PagePrintInfo info;
        pDoc->PreparePrintPage(std::max(0, GetSurfaceIndex()), info, margins);
    }
    lpRect->left = page.left + margins.left + 1;
    lpRect->top = page.top - margins.top - 1;
    lpRect->right = page.right - margins.right;
    lpRect->bottom = page.bottom + margins.bottom;
}

void CSurface::RescaleObjectsToWorkArea(const CRect* pNewRect)
{
    CRect computed;
    GetWorkArea(&computed, 0);
    if (IsAllZero(computed))
        return;
    CRect oldArea;
    CRect newArea;
    if (pNewRect != NULL) {
        oldArea = computed;
        newArea = *pNewRect;
    } else {
        if (IsAllZero(m_workRect)) {
            m_workRect = computed;
            return;
        }
        oldArea = m_workRect;
        newArea = computed;
    }
    // Normalised with y up: top is the larger y.
    oldArea = CDrawObj::NormalizeUp(oldArea);
    newArea = CDrawObj::NormalizeUp(newArea);
    if (oldArea == newArea)
        return;

    const BOOL bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL)
            continue;
        const BOOL bKeep = (pObj->m_wFlags & OBJ_FLAG_NATURAL_SIZE) != 0
            || (bCtrl && (pObj->m_wFlags & OBJ_FLAG_FREE_PROPORTIONS) == 0);
        const BOOL bLocked = (pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0;
        pObj->m_wFlags &= ~OBJ_FLAG_LOCKED;

        const CRect old = pObj->m_position;
        CRect rect;
        if (pObj->IsCalendar() || pNewRect != NULL) {
            const int oldWidth = oldArea.Width();
            const int newWidth = newArea.Width();
            const int oldHeight = oldArea.top - oldArea.bottom;
            const int newHeight = newArea.top - newArea.bottom;
            rect.left = MapProportionally(old.left, oldArea.left, oldWidth, newArea.left, newWidth);
            rect.right = MapProportionally(old.right, oldArea.left, oldWidth, newArea.left, newWidth);
            // Measured from the upper edge downwards.
            rect.top = newArea.top - MapProportionally(oldArea.top - old.top, 0, oldHeight, 0, newHeight);
            rect.bottom = newArea.top - MapProportionally(oldArea.top - old.bottom, 0, oldHeight, 0, newHeight);
        } else {
            // Each edge scales with the work-area edge on its own side of
            // the origin, so an object stays inside a shrunken area also
            // when the margins differ left and right.
            rect.left = ScaleAboutOrigin(old.left, oldArea.left, newArea.left, oldArea.right, newArea.right);
            rect.right = ScaleAboutOrigin(old.right, oldArea.left, newArea.left, oldArea.right, newArea.right);
            rect.top = ScaleAboutOrigin(old.top, oldArea.bottom, newArea.bottom, oldArea.top, newArea.top);
            rect.bottom = ScaleAboutOrigin(old.bottom, oldArea.bottom, newArea.bottom, oldArea.top, newArea.top);
        }
        rect = OrientRectLike(rect, old);

        if (bKeep) {
            pObj->m_wFlags |= OBJ_FLAG_FREE_PROPORTIONS;
            pObj->m_wFlags &= ~OBJ_FLAG_NATURAL_SIZE;
            const CSize natural = pObj->GetNaturalSize();
            // Without a natural size there are no proportions to keep: the
            // rectangle stays as mapped.
            if (natural.cx > 0 && natural.cy > 0) {
                const int width = std::abs(rect.Width());
                const int height = std::abs(rect.Height());
                int newWidth = width;
                int newHeight = ::MulDiv(width, natural.cy, natural.cx);
                if (newHeight > height) {
                    newHeight = height;
                    newWidth = ::MulDiv(height, natural.cx, natural.cy);
                }
                rect.right = rect.left + (rect.Width() < 0 ? -newWidth : newWidth);
                rect.bottom = rect.top + (rect.Height() < 0 ? -newHeight : newHeight);
            }
            pObj->m_wFlags |= OBJ_FLAG_CROP_MOVE;
            pObj->MoveTo(rect, this);
            pObj->m_wFlags &= ~(OBJ_FLAG_CROP_MOVE | OBJ_FLAG_FREE_PROPORTIONS);
            pObj->m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
        } else {
            pObj->MoveTo(rect, this);
        }
        if (!pObj->IsRotated())
            pObj->m_rectUnrotated = pObj->m_position;
        if (bLocked)
            pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    }
    if (pNewRect == NULL)
        m_workRect = newArea;
}

void CSurface::SetWorkAreaLimit(int cx, int cy, BOOL bClamp)
{
    m_maxWorkSize = CSize(std::max(0, cx), std::max(0, cy));
    if (!bClamp)
        return;
    CRect area;
    GetWorkArea(&area, 0);
    if (cx > 0 && area.Width() > cx)
        area.right = area.left + cx;
    if (cy > 0 && area.top - area.bottom > cy)
        area.bottom = area.top - cy;
    RescaleObjectsToWorkArea(&area);
}

void CSurface::GetDefaultRect(LPRECT lpRect, BOOL bCentred)
{
    if (lpRect == NULL)
        return;
    const CRect page = GetPageRect();
    const int qx = page.Width() / 4;
    const int qy = (page.top - page.bottom) / 4;
    CRect rect(page.left + qx, page.top - qy, page.right - qx, page.bottom + qy);
    if (bCentred) {
        std::swap(rect.top, rect.bottom);
        std::swap(rect.left, rect.right);
    }
    *lpRect = rect;
}
