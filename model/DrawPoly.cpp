#include "model/DrawPoly.h"

#include "model/DrawDoc.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_SERIAL(CDrawPoly, CDrawObj, 1)

CDrawPoly::CDrawPoly() = default;

CDrawPoly::CDrawPoly(const CRect& position) : CDrawObj(position)
{
    m_bFill = FALSE;
    m_bOutline = TRUE;
}

CDrawPoly::~CDrawPoly() = default;

void CDrawPoly::InvalidateThrough(CSurface* pView)
{
    if (pView != nullptr)
        pView->InvalidateObjectRect(this);
    else
        Invalidate();
}

// ---- Points ------------------------------------------------------------------------------------

BOOL CDrawPoly::AddPoint(CPoint point, CSurface* pView)
{
    if (m_nPoints == m_nAllocPoints) {
        if (m_nAllocPoints >= kMaxPoints)
            return FALSE;
        // The capacity is stored in 16 bits as well: the last step is short.
        const int nCapacity = std::min(m_nAllocPoints + kGrowBy, kMaxPoints);
        auto points = std::make_unique<POINT[]>(static_cast<size_t>(nCapacity));
        std::copy_n(m_points.get(), m_nPoints, points.get());
        m_points = std::move(points);
        m_nAllocPoints = nCapacity;
    }
    if (m_nPoints > 0 && CPoint(m_points[m_nPoints - 1]) == point)
        return TRUE;
    m_points[m_nPoints++] = point;
    if (!RecalcBounds(pView))
        InvalidateThrough(pView);
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CDrawPoly::RecalcBounds(CSurface* pView)
{
    if (m_nPoints == 0)
        return FALSE;
    CRect bounds(m_points[0].x, m_points[0].y, m_points[0].x, m_points[0].y);
    for (int i = 1; i < m_nPoints; ++i) {
        const POINT& pt = m_points[i];
        bounds.left = std::min<LONG>(bounds.left, pt.x);
        bounds.right = std::max<LONG>(bounds.right, pt.x);
        bounds.top = std::max<LONG>(bounds.top, pt.y);
        bounds.bottom = std::min<LONG>(bounds.bottom, pt.y);
    }
    if (bounds == m_position)
        return FALSE;
    InvalidateThrough(pView);
    m_position = bounds;
    // A polygon never turns: its unturned rectangle is its rectangle.
    m_rectUnrotated = bounds;
    InvalidateThrough(pView);
    return TRUE;
}

BOOL CDrawPoly::SetPoints(const POINT* pPoints, int nCount, int nCapacity)
{
    if (nCount < 0 || nCount > kMaxPoints || nCapacity > kMaxPoints || (nCount > 0 && pPoints == nullptr))
        return FALSE;
    nCapacity = std::max(nCapacity, nCount);
    std::unique_ptr<POINT[]> points;
    if (nCapacity > 0) {
        points = std::make_unique<POINT[]>(static_cast<size_t>(nCapacity));
        std::copy_n(pPoints, nCount, points.get());
    }
    m_points = std::move(points);
    m_nPoints = nCount;
    m_nAllocPoints = nCapacity;
    RecalcBounds(nullptr);
    return TRUE;
}

// ---- Handles -----------------------------------------------------------------------------------

int CDrawPoly::GetHandleCount()
{
    return m_nPoints;
}

BOOL CDrawPoly::IsRotateHandle(int nHandle)
{
    return nHandle == m_nPoints + 1;
}

CPoint CDrawPoly::GetHandle(int nHandle, BOOL bUnrotated)
{
    (void)bUnrotated;
    if (m_nPoints == 0)
        return CPoint(m_position.left, m_position.bottom);
    if (nHandle < 1 || nHandle > m_nPoints)
        nHandle = 1;
    return m_points[nHandle - 1];
}

HCURSOR CDrawPoly::GetHandleCursor(int nHandle)
{
    (void)nHandle;
    return ::LoadCursor(NULL, IDC_ARROW);
}

void CDrawPoly::MoveHandleTo(int nHandle, CPoint point, CSurface* pView)
{
    if (nHandle < 1 || nHandle > m_nPoints || (m_wFlags & OBJ_FLAG_LOCKED))
        return;
    POINT& vertex = m_points[nHandle - 1];
    if (CPoint(vertex) == point)
        return;
    vertex = point;
    RecalcBounds(pView);
    InvalidateThrough(pView);
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
}

// ---- Moving, drawing and hit tests -------------------------------------------------------------

void CDrawPoly::MoveTo(const CRect& position, CSurface* pView, int nHandle, const CRect* pUnrotated)
{
    (void)nHandle;
    (void)pUnrotated;
    if (position == m_position || (m_wFlags & OBJ_FLAG_LOCKED))
        return;
    InvalidateThrough(pView);
    const LONG dx = position.left - m_position.left;
    const LONG dy = position.top - m_position.top;
    for (int i = 0; i < m_nPoints; ++i) {
        m_points[i].x += dx;
        m_points[i].y += dy;
    }
    m_position = position;
    m_rectUnrotated = position;
    InvalidateThrough(pView);
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
}

void CDrawPoly::Draw(CDC* pDC)
{
    // Polygon needs two points; one point shows only as its handle.
    if (pDC == nullptr || m_nPoints < 2)
        return;
    CBrush brush;
    CPen pen;
    LOGPEN logpen = m_logpen;
    if (!brush.CreateBrushIndirect(&m_logbrush) || !pen.CreatePenIndirect(&logpen))
        return;
    const int nSaved = pDC->SaveDC();
    if (m_bFill) {
        pDC->SelectObject(&brush);
        // A hatch shows the content word between its lines, or what lies
        // underneath when the word is -1.
        if (m_nContentWord != -1) {
            pDC->SetBkColor(static_cast<COLORREF>(m_nContentWord));
            pDC->SetBkMode(OPAQUE);
        } else {
            pDC->SetBkMode(TRANSPARENT);
        }
    } else {
        pDC->SelectStockObject(NULL_BRUSH);
    }
    if (m_bOutline)
        pDC->SelectObject(&pen);
    else
        pDC->SelectStockObject(NULL_PEN);
    // The same rule as the hit test's region.
    pDC->SetPolyFillMode(ALTERNATE);
    pDC->Polygon(m_points.get(), m_nPoints);
    pDC->RestoreDC(nSaved);
}

BOOL CDrawPoly::Intersects(const CRect& rect)
{
    if (m_nPoints < 2)
        return CDrawObj::Intersects(rect);
    CRgn region;
    if (!region.CreatePolygonRgn(m_points.get(), m_nPoints, ALTERNATE))
        return CDrawObj::Intersects(rect);
    const CRect test = NormalizeUp(rect);
    return region.RectInRegion(&test);
}

CSize CDrawPoly::GetLinePadding() const
{
    if (!m_bOutline)
        return CSize(0, 0);
    return PaddingForPen(m_logpen.lopnWidth.x);
}

CDrawObj* CDrawPoly::Clone(CDrawDoc* pDoc, CSurface* pView)
{
    auto* pClone = new CDrawPoly(m_position);
    pClone->m_bOutline = m_bOutline;
    pClone->m_logpen = m_logpen;
    pClone->m_bFill = m_bFill;
    pClone->m_logbrush = m_logbrush;
    pClone->m_nContentWord = m_nContentWord;
    if (m_nAllocPoints > 0) {
        pClone->m_points = std::make_unique<POINT[]>(static_cast<size_t>(m_nAllocPoints));
        std::copy_n(m_points.get(), m_nPoints, pClone->m_points.get());
    }
    pClone->m_nPoints = m_nPoints;
    pClone->m_nAllocPoints = m_nAllocPoints;
    pClone->m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    pClone->Invalidate();
    if (pDoc != nullptr && !pDoc->AddObject(pClone, pView))
        return nullptr; // the document deleted it
    return pClone;
}
