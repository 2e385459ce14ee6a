// The shapes of CDrawRect: their outlines, the region pass that clips the
// banded fill and the picture, the outline and fill pass, the drawing of
// the whole object, and the region test of Intersects.

#include "model/DrawRect.h"

#include "app/DcStateSaver.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "model/ShapeMaskDraw.h"
#include "model/StockShapes.h"
#include "model/TextContentHolder.h"
#include "pictures/Image.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/PreviewDc.h"
#include "surface/Surface.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Side counts come from files: fewer than three divide the circle into
// nothing, and a file stores at most a 16-bit count.
constexpr int kMinSides = 3;
constexpr int kMaxSides = 65535;

void RectCorners(const RECT& r, POINT corners[4])
{
    corners[0] = POINT{r.left, r.top};
    corners[1] = POINT{r.right, r.top};
    corners[2] = POINT{r.right, r.bottom};
    corners[3] = POINT{r.left, r.bottom};
}

POINT RectCentre(const RECT& r)
{
    return POINT{LONG((int64_t(r.left) + r.right) / 2), LONG((int64_t(r.top) + r.bottom) / 2)};
}

// Logical points to the device the DC draws on; a print preview shows the
// printer's device units scaled onto the screen.
void ToDevice(CDC* pDC, POINT* pPoints, int nCount)
{
    pDC->LPtoDP(pPoints, nCount);
    if (pDC->IsKindOf(RUNTIME_CLASS(CPreviewDC))) {
        const auto* pPreview = static_cast<const CPreviewDC*>(pDC);
        for (int i = 0; i < nCount; ++i)
            pPreview->PrinterDPtoScreenDP(&pPoints[i]);
    }
}

} // namespace

// ---- Outlines ----------------------------------------------------------------------------------

namespace {

// The cosines and sines of a regular polygon's corners, in the order the
// corners are computed (the angle advancing by one step each time). An
// ellipse is a polygon of a thousand corners and every drawing of one
// needs them all, so the last few sets are kept; counts beyond a bound
// (side counts come from files) are computed each time.
constexpr int kMaxKeptCorners = 4096;
constexpr size_t kKeptCircles = 8;

struct UnitCircle {
    int nCount = 0;
    double dStartDegrees = 0;
    std::vector<std::pair<double, double>> corners; // cos, sin
};

void FillUnitCircle(UnitCircle& circle, int nCount, double dStartDegrees)
{
    circle.nCount = nCount;
    circle.dStartDegrees = dStartDegrees;
    circle.corners.resize(size_t(nCount));
    double a = dStartDegrees * 0.017453292222222222;
    const double step = 6.2831852 / nCount;
    for (int i = 0; i < nCount; ++i, a += step)
        circle.corners[size_t(i)] = {std::cos(a), std::sin(a)};
}

const UnitCircle& KeptUnitCircle(int nCount, double dStartDegrees, UnitCircle& scratch)
{
    if (nCount > kMaxKeptCorners) {
        FillUnitCircle(scratch, nCount, dStartDegrees);
        return scratch;
    }
    thread_local std::vector<UnitCircle> kept;
    for (const UnitCircle& circle : kept) {
        if (circle.nCount == nCount && circle.dStartDegrees == dStartDegrees)
            return circle;
    }
    if (kept.size() >= kKeptCircles)
        kept.erase(kept.begin());
    kept.emplace_back();
    FillUnitCircle(kept.back(), nCount, dStartDegrees);
    return kept.back();
}

} // namespace

void CDrawRect::ComputeRegularPolygon(const RECT& rect, CPointArray& points, int nCount, double dStartDegrees)
{
    nCount = std::clamp(nCount, kMinSides, kMaxSides);
    points.SetSize(nCount);
    const int rx = static_cast<int>(std::llabs(int64_t(rect.right) - rect.left) / 2);
    const int ry = static_cast<int>(std::llabs(int64_t(rect.bottom) - rect.top) / 2);
    const POINT centre = RectCentre(rect);
    UnitCircle scratch;
    const UnitCircle& circle = KeptUnitCircle(nCount, dStartDegrees, scratch);
    POINT* p = points.GetData();
    for (int i = 0; i < nCount; ++i) {
        const auto [c, s] = circle.corners[size_t(i)];
        p[i].x = static_cast<LONG>(std::trunc(c * rx) + centre.x);
        p[i].y = static_cast<LONG>(std::trunc(s * ry) + centre.y);
    }
}

void CDrawRect::NormalizePoints(POINT* pPoints, int nCount, int& nWidth, int& nHeight)
{
    int minX = 32767;
    int minY = 32767;
    int maxX = -32767;
    int maxY = -32767;
    for (int i = 0; i < nCount; ++i) {
        minX = std::min<int>(minX, pPoints[i].x);
        minY = std::min<int>(minY, pPoints[i].y);
        maxX = std::max<int>(maxX, pPoints[i].x);
        maxY = std::max<int>(maxY, pPoints[i].y);
    }
    for (int i = 0; i < nCount; ++i) {
        pPoints[i].x -= minX;
        pPoints[i].y -= minY;
    }
    nWidth = maxX - minX;
    nHeight = maxY - minY;
}

BOOL CDrawRect::CreateShapeMask(CDC* pDC, CBitmap& bitmap, POINT* pPoints, int nCount)
{
    if (pDC == nullptr || pPoints == nullptr || nCount < 3)
        return FALSE;
    int nWidth = 0;
    int nHeight = 0;
    NormalizePoints(pPoints, nCount, nWidth, nHeight);
    if (nWidth <= 0 || nHeight <= 0)
        return FALSE;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, nWidth, nHeight))
        return FALSE;
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    memDC.PatBlt(0, 0, nWidth, nHeight, WHITENESS);
    memDC.SelectStockObject(BLACK_BRUSH);
    memDC.SelectStockObject(BLACK_PEN);
    memDC.Polygon(pPoints, nCount);
    memDC.SelectObject(pOld);
    return TRUE;
}

int CDrawRect::GetDrawnKind() const
{
    if (IsDragFrame() || m_nShape < 0 || m_nShape >= SHAPE_KIND_COUNT)
        return SHAPE_RECTANGLE;
    return m_nShape;
}

BOOL CDrawRect::IsDragFrame() const
{
    return (m_wFlags & OBJ_FLAG_DRAGGING) != 0 && (thePrefs.Flags & PREF_FLAG_MOVE_FILLED) == 0;
}

CRect CDrawRect::GetShapeRect() const
{
    if (!m_bDetached)
        return m_rectUnrotated;
    CRect rect = m_rectDetached;
    if (m_nMirrorX)
        std::swap(rect.left, rect.right);
    if (m_nMirrorY)
        std::swap(rect.top, rect.bottom);
    return rect;
}

int CDrawRect::GetDrawingRotation()
{
    // The view keeps m_pSurface as it adds and removes the object: drawing
    // need not look for it in every view's list.
    if (!m_bDetached && m_pSurface != nullptr)
        m_nRotation = RoundHalfAwayFromZero(m_dAngle);
    return m_nRotation;
}

BOOL CDrawRect::GetOutline(CPointArray& points, BOOL bRegionList)
{
    const CRect rect = GetShapeRect();
    const int nRotation = GetDrawingRotation();
    const int nKind = GetDrawnKind();
    switch (nKind) {
    case SHAPE_RECTANGLE:
        points.SetSize(4);
        RectCorners(rect, points.GetData());
        break;
    case SHAPE_ELLIPSE:
        ComputeRegularPolygon(rect, points, kEllipsePoints, 0);
        break;
    case SHAPE_REGULAR_POLYGON:
        ComputeRegularPolygon(rect, points, m_nSides, 0);
        break;
    case SHAPE_LINE:
        return FALSE;
    default:
        return GetStockOutlinePoints(GetStockOutlineId(nKind), rect, nRotation, bRegionList, points);
    }
    RotatePoints(RectCentre(rect), points.GetData(), points.GetCount(), nRotation, FALSE);
    return TRUE;
}

BOOL CDrawRect::DrawStockOutline(CDC* pDC, UINT nResourceId, CRgn* pRegion, BOOL bPolygonOnly, BOOL bToDevice)
{
    const CRect rect = GetShapeRect();
    const int nRotation = GetDrawingRotation();
    CPointArray points;
    if (!GetStockOutlinePoints(nResourceId, rect, nRotation, !bPolygonOnly, points))
        return FALSE;
    if (bPolygonOnly) {
        if (pDC != nullptr)
            pDC->Polygon(points.GetData(), points.GetCount());
        return TRUE;
    }
    if (bToDevice) {
        if (pDC != nullptr) {
            ToDevice(pDC, points.GetData(), points.GetCount());
        } else if (CSurface* pView = GetSurface(); pView != nullptr && pView->m_hWnd != NULL) {
            CClientDC dc(pView);
            pView->OnPrepareDC(&dc, nullptr);
            dc.LPtoDP(points.GetData(), points.GetCount());
        }
    }
    if (pRegion == nullptr)
        return TRUE;
    pRegion->DeleteObject();
    return pRegion->CreatePolygonRgn(points.GetData(), points.GetCount(), ALTERNATE);
}

void CDrawRect::RelayOutline()
{
    const CRect& r = m_rectUnrotated;
    POINT corners[4];
    RectCorners(r, corners);
    const int nAngle = RoundHalfAwayFromZero(m_dAngle);
    RotatePoints(RectCentre(r), corners, 4, nAngle, FALSE);
    m_corners.SetSize(4);
    std::copy(corners, corners + 4, m_corners.GetData());
    // Turned counter-clockwise by less than a quarter, the top-left corner
    // of an upright rectangle is the leftmost, the top-right the highest,
    // and so on round; each further quarter moves the choice on by one
    // corner. A mirrored rectangle's corners lie the other way round, so
    // the bounds are taken from the corners that are outermost and then
    // run the way the rectangle runs, which keeps it mirrored.
    LONG minX = corners[0].x;
    LONG maxX = corners[0].x;
    LONG minY = corners[0].y;
    LONG maxY = corners[0].y;
    for (const POINT& pt : corners) {
        minX = std::min(minX, pt.x);
        maxX = std::max(maxX, pt.x);
        minY = std::min(minY, pt.y);
        maxY = std::max(maxY, pt.y);
    }
    const BOOL bMirroredX = r.left > r.right;
    const BOOL bUpright = r.top >= r.bottom;
    m_position = CRect(bMirroredX ? maxX : minX, bUpright ? maxY : minY, bMirroredX ? minX : maxX,
        bUpright ? minY : maxY);
}

// ---- Regions and passes ------------------------------------------------------------------------

namespace {

// Where the first pixel of the shape's mask lies on the device: the
// outline's smallest x and y in device units.
CPoint MaskOrigin(CDrawRect& shape, CDC* pDC)
{
    CPointArray outline;
    if (pDC == nullptr || !shape.GetOutline(outline, FALSE) || outline.GetCount() < 1)
        return CPoint(0, 0);
    ToDevice(pDC, outline.GetData(), outline.GetCount());
    CPoint origin = outline.GetData()[0];
    for (int i = 1; i < outline.GetCount(); ++i) {
        origin.x = std::min(origin.x, outline.GetData()[i].x);
        origin.y = std::min(origin.y, outline.GetData()[i].y);
    }
    return origin;
}

} // namespace

BOOL CDrawRect::BuildShapeRegion(CDC* pDC, const CRect& rect, CRgn& region, CBitmap* pMask)
{
    region.DeleteObject();
    const int nKind = GetDrawnKind();
    if (pDC != nullptr && GetStockOutlineId(nKind) != 0)
        return DrawStockOutline(pDC, GetStockOutlineId(nKind), &region, FALSE, TRUE);
    CPointArray points;
    if (nKind == SHAPE_LINE) {
        points.SetSize(4);
        RectCorners(rect, points.GetData());
    } else {
        GetOutline(points, TRUE);
    }
    if (pDC != nullptr) {
        ToDevice(pDC, points.GetData(), points.GetCount());
        if (region.CreatePolygonRgn(points.GetData(), points.GetCount(), ALTERNATE))
            return TRUE;
    }
    if (pMask != nullptr && HasPicture() && pDC != nullptr) {
        // The picture is then drawn through a mask of the shape instead, in
        // the device's pixels; its first pixel lies at the outline's
        // smallest x and y there (MaskOrigin).
        CPointArray shape;
        if (nKind == SHAPE_LINE || !GetOutline(shape, FALSE))
            return FALSE;
        ToDevice(pDC, shape.GetData(), shape.GetCount());
        CreateShapeMask(pDC, *pMask, shape.GetData(), shape.GetCount());
    }
    return FALSE;
}

void CDrawRect::DrawShapeFrame(CDC* pDC, const CRect& rect, int nRotation)
{
    if (pDC == nullptr)
        return;
    POINT frame[5];
    RectCorners(rect, frame);
    frame[4] = frame[0];
    RotatePoints(RectCentre(rect), frame, 5, nRotation, FALSE);
    CPen pen;
    LOGPEN logpen = m_logpen;
    const BOOL bPen = m_bOutline && pen.CreatePenIndirect(&logpen);
    const int nSaved = pDC->SaveDC();
    if (bPen)
        pDC->SelectObject(&pen);
    else
        pDC->SelectStockObject(BLACK_PEN);
    pDC->Polyline(frame, 5);
    pDC->RestoreDC(nSaved);
}

BOOL CDrawRect::DrawShape(CDC* pDC, BOOL bOutline, BOOL bFill)
{
    if (pDC == nullptr || HasText())
        return TRUE;
    const BOOL bDrawOutline = bOutline && m_bOutline;
    // The banded fill, drawn by the region pass, stands in for the brush.
    const BOOL bDrawFill = bFill && m_bFill && m_fill.m_nKind == 0 && IsFillable();
    if (!bDrawOutline && !bDrawFill)
        return TRUE;
    CBrush brush;
    CPen pen;
    LOGBRUSH logbrush = m_logbrush;
    LOGPEN logpen = m_logpen;
    if ((bDrawFill && !brush.CreateBrushIndirect(&logbrush)) || (bDrawOutline && !pen.CreatePenIndirect(&logpen)))
        return FALSE;

    const int nSaved = pDC->SaveDC();
    if (m_nContentWord != -1) {
        pDC->SetBkColor(static_cast<COLORREF>(m_nContentWord));
        pDC->SetBkMode(OPAQUE);
    } else {
        pDC->SetBkMode(TRANSPARENT);
    }
    if (bDrawFill) {
        brush.UnrealizeObject();
        pDC->SetBrushOrg(0, 0);
        pDC->SelectObject(&brush);
    } else {
        pDC->SelectStockObject(NULL_BRUSH);
    }
    if (bDrawOutline)
        pDC->SelectObject(&pen);
    else
        pDC->SelectStockObject(NULL_PEN);

    const CRect rect = GetShapeRect();
    const int nRotation = GetDrawingRotation();
    const int nKind = GetDrawnKind();
    if (IsDragFrame()) {
        // A plain frame, never filled.
        POINT frame[5];
        RectCorners(rect, frame);
        frame[4] = frame[0];
        RotatePoints(RectCentre(rect), frame, 5, nRotation, FALSE);
        pDC->Polyline(frame, 5);
    } else if (nKind == SHAPE_LINE) {
        if (m_rectUnrotated != m_position)
            m_rectUnrotated = m_position;
        const CPoint from = GetHandle(1, TRUE);
        const CPoint to = GetHandle(5, TRUE);
        pDC->MoveTo(from.x, from.y);
        pDC->LineTo(to.x, to.y);
    } else if (GetStockOutlineId(nKind) != 0) {
        DrawStockOutline(pDC, GetStockOutlineId(nKind), nullptr, TRUE, FALSE);
    } else {
        CPointArray points;
        if (GetOutline(points, FALSE))
            pDC->Polygon(points.GetData(), points.GetCount());
    }
    pDC->RestoreDC(nSaved);
    return TRUE;
}

// ---- Draw --------------------------------------------------------------------------------------

void CDrawRect::Draw(CDC* pDC)
{
    if (pDC == nullptr)
        return;
    m_nDrawing = 0;
    const CRect rectShape = GetShapeRect();
    const BOOL bDrag = IsDragFrame();
    const int nRotation = GetDrawingRotation();
    const BOOL bPicture = HasPicture();
    const BOOL bText = HasText();

    CRgn region;
    BOOL bRegion = FALSE;
    CBitmap mask;
    if (bPicture || bText || m_fill.m_nKind != 0 || IsCalendar()) {
        bRegion = BuildShapeRegion(pDC, rectShape, region, &mask);
        if (m_fill.m_nKind != 0 && bRegion) {
            if (bDrag) {
                DrawShapeFrame(pDC, rectShape, nRotation);
            } else {
                CDCStateSaver saver(pDC);
                pDC->SelectClipRgn(&region, RGN_AND);
                PaintFill(pDC, rectShape, m_fill);
            }
        }
    }

    if (bPicture) {
        m_nDrawing = 1;
        if (bDrag) {
            DrawShapeFrame(pDC, rectShape, nRotation);
        } else {
            // A cropped picture is drawn whole and clipped to its visible
            // part. The shape's region already clips a shaped picture, so
            // the picture adds no corner polygon of its own to it.
            const CRect rectPicture = (m_wFlags & OBJ_FLAG_CROPPED) ? m_rectUncropped : m_position;
            const BOOL bShaped = GetDrawnKind() != SHAPE_RECTANGLE;
            // A turned picture turns with its frame, flipped or not, and
            // keeps to the frame's corners as they are now, whether or not
            // its handles were drawn since it moved.
            m_pPicture->SetFrameMirrored(!m_bFlipX != !m_bFlipY);
            UpdatePictureCorners();
            if (bRegion) {
                CDCStateSaver saver(pDC);
                pDC->SelectClipRgn(&region, RGN_AND);
                m_pPicture->Draw(pDC, rectPicture, rectPicture, m_position, FALSE, FALSE, bShaped);
            } else if (mask.GetSafeHandle() == NULL
                || !DrawPictureThroughShapeMask(pDC, *m_pPicture, rectPicture, m_position, mask, MaskOrigin(*this, pDC),
                    bShaped)) {
                // No region and no mask (or none that can be used here):
                // the picture is drawn unclipped.
                m_pPicture->Draw(pDC, rectPicture, rectPicture, m_position, FALSE, FALSE, bShaped);
            }
        }
    }

    if (bText) {
        CRect device = m_rectUnrotated;
        pDC->LPtoDP(&device);
        device.NormalizeRect();
        if (device.Width() > 3 && device.Height() > 3) {
            m_nDrawing = 1;
            if (bDrag && (nRotation == 0 || nRotation == 360)) {
                DrawShapeFrame(pDC, m_rectUnrotated, 0);
            } else if (!m_bBlockText && m_pWrapText != nullptr) {
                // Wrapped text lays itself out in device pixels; the open
                // editor shows it instead.
                if (m_pTextEditor == nullptr)
                    DrawWrappedText(pDC, device);
            } else if (m_pTextHolder != nullptr) {
                DrawBlockText(pDC);
            }
        }
    }

    const BOOL bShapeDrawn = DrawShape(pDC, TRUE, TRUE);

    if (IsCalendar() && (nRotation == 0 || nRotation == 360)) {
        const int nKind = m_nCalendarWords[1];
        if (nKind == CALENDAR_MONTH || nKind == CALENDAR_WEEK)
            LoadHolidays();
        CRgn* pRegion = bRegion ? &region : nullptr;
        switch (nKind) {
        case CALENDAR_MONTH: DrawMonthCalendar(pDC, rectShape, pRegion); break;
        case CALENDAR_YEAR: DrawYearCalendar(pDC, rectShape, pRegion); break;
        case CALENDAR_DAY:
        case CALENDAR_WEEK: DrawDayWeekCalendar(pDC, rectShape, pRegion); break;
        default: break; // an unknown kind from a file draws no calendar
        }
        // The renderers paint over the frame; on screen it is drawn again so
        // that every calendar shows its outline.
        if (!pDC->IsPrinting())
            DrawShape(pDC, TRUE, FALSE);
    }
    m_nDrawing = 0;
    m_bShapeFailed = !bShapeDrawn;
}

void CDrawRect::DrawBlockText(CDC* pDC)
{
    // A picture of the surface (the previews a save draws) lays a copy of
    // the block out at the picture's scale: the block's fitting and line
    // breaks, which the design file keeps, stay what the view showed, so
    // that what is saved does not depend on the previews.
    const CSurface* pView = GetSurface();
    if (pView != nullptr && pView->IsRenderingPicture() && m_pTextHolder->GetBlock() != nullptr) {
        CTextContentHolder scratch(this);
        scratch.GetBlock()->CopyFrom(*m_pTextHolder->GetBlock());
        scratch.Draw(pDC, m_rectUnrotated);
        return;
    }
    m_pTextHolder->Draw(pDC, m_rectUnrotated);
}

void CDrawRect::DrawWrappedText(CDC* pDC, const CRect& device)
{
    // The text is mirrored exactly when the object shows mirrored: a
    // flipped object, and every object of a transfer print, whose
    // rectangles the view mirrors for the print. Outside a view the
    // object's own flips say how it shows.
    const BOOL bInView = GetSurface() != nullptr;
    const BOOL bMirrorX = bInView ? IsMirroredX() : m_bFlipX;
    const BOOL bMirrorY = bInView ? IsMirroredY() : m_bFlipY;
    // The text lays itself out in the box of each drawing, on the screen,
    // on paper and in the small previews a save draws; the layout settings
    // the design file keeps stay as they were, so that what is saved does
    // not depend on what was drawn last.
    CWrapData& data = *m_pWrapText->GetData();
    const CRect rectKept = data.m_rectLayout;
    const BOOL bStaleKept = data.m_bLayoutStale;
    {
        CDCStateSaver saver(pDC);
        pDC->SetMapMode(MM_TEXT);
        pDC->SetWindowOrg(0, 0);
        pDC->SetViewportOrg(0, 0);
        m_pWrapText->Draw(pDC, device, GetTextDrawAngle(), bMirrorX, bMirrorY);
    }
    data.m_rectLayout = rectKept;
    data.m_bLayoutStale = bStaleKept;
}

// ---- Intersects --------------------------------------------------------------------------------

BOOL CDrawRect::Intersects(const CRect& rect)
{
    CRect obj = m_position;
    if (m_nShape == SHAPE_LINE) {
        if (obj.left == obj.right)
            obj.right += 1;
        if (obj.top == obj.bottom)
            obj.top += 1;
    }
    const CRect a = NormalizeUp(obj);
    const CRect b = NormalizeUp(rect);
    if (std::max(a.left, b.left) >= std::min(a.right, b.right)
        || std::max(a.bottom, b.bottom) >= std::min(a.top, b.top))
        return FALSE;
    const int nKind = GetDrawnKind();
    if (nKind == SHAPE_RECTANGLE || nKind == SHAPE_LINE)
        return TRUE;
    // The outline in logical units, as the rectangle is given.
    CPointArray points;
    if (!GetOutline(points, TRUE))
        return TRUE;
    CRgn region;
    if (!region.CreatePolygonRgn(points.GetData(), points.GetCount(), ALTERNATE))
        return TRUE;
    CRect test = rect;
    test.NormalizeRect();
    return region.RectInRegion(&test);
}
