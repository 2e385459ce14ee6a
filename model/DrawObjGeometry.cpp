// The geometry of drawing objects: the nine handles and their markers,
// hit and rectangle tests, mirroring, cursors, angles, proportions and the
// growing of text objects to their text.

#include "model/DrawObj.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "model/DrawDoc.h"
#include "pictures/Image.h"
#include "platform/base/Arithmetic.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/User.h"
#include "resources/art.h"
#include "surface/CursorSet.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"
#include "text/TextBlock.h"
#include "text/TextEditHost.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// The system cursors that stand in for the program's own when the
// preferences ask for plain sizing cursors.
constexpr UINT kSysArrow = 32512;
constexpr UINT kSysSizeNWSE = 32642;
constexpr UINT kSysSizeNESW = 32643;
constexpr UINT kSysSizeWE = 32644;
constexpr UINT kSysSizeNS = 32645;

// The rotation handle stands this far beyond the side that shows on the
// right: a quarter of the object's width, within these bounds.
constexpr int kMinRotateOffset = 35;
constexpr int kMaxRotateOffset = 650;

// Half the side of a handle's hit square, in client pixels, and how far
// the hit test grows it, in logical units.
constexpr int kHandleHalfPixels = 3;
constexpr int kHandleSlop = 5;

// The design's inside rule on a rectangle with top >= bottom.
bool PointInside(const CRect& r, CPoint pt)
{
    return r.left <= pt.x && pt.x < r.right && r.bottom < pt.y && pt.y <= r.top;
}

HCURSOR CursorFromId(UINT nId)
{
    if (nId >= kSysArrow)
        return ::LoadCursor(NULL, MAKEINTRESOURCE(nId));
    return theCursorSet.GetResourceCursor(nId);
}

// The size a text object's block text takes on the view, measured on a DC
// prepared as the view prepares its own; FALSE without a DC. Wrapped text
// is not measured: it wraps to whatever box it is given, in the pixels of
// its layout rather than the design's units, so only the margin acts.
BOOL MeasureText(CTextBlock* pBlock, CSurface* pView, CSize& size)
{
    if (pView == nullptr)
        return FALSE;
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return FALSE;
    pView->OnPrepareDC(&dc, nullptr);
    size = CSize(0, 0);
    if (pBlock != nullptr) {
        pBlock->PrepareFont(pView);
        size = pBlock->CalcSize(&dc);
    }
    return TRUE;
}

// A text object holds its text with 8 units to spare and never shrinks.
CSize GrownToText(const CRect& old, CSize text)
{
    return CSize(std::max<int>(text.cx + 8, old.Width()), std::max<int>(text.cy + 8, old.top - old.bottom));
}

} // namespace

// ---- Handles, markers and hit tests -----------------------------------------------------------

int CDrawObj::GetHandleCount()
{
    if (GetCurrentShape() == kShapeCrop || IsTextEditActive())
        return 8;
    if (m_bBlockText) {
        if (const CTextBlock* pBlock = GetTextBlock()) {
            if (pBlock->m_nColumns > 1 || pBlock->IsFixedSize() || pBlock->m_nAngle != 0)
                return 8;
        }
    }
    if (IsCalendar() || IsOleObject() || GetShapeKind() == kLineShapeKind)
        return 8;
    const BOOL bCropped = (m_wFlags & OBJ_FLAG_CROPPED)
        || (m_pPicture != nullptr && (m_pPicture->m_wFlags & IMAGE_FLAG_CROPPED));
    return bCropped ? 8 : 9;
}

BOOL CDrawObj::IsRotateHandle(int nHandle)
{
    return nHandle == kRotateHandle;
}

CPoint CDrawObj::GetHandle(int nHandle, BOOL bUnrotated)
{
    if (!bUnrotated)
        return TurnedHandle(nHandle);
    const CRect& r = m_rectUnrotated;
    const CPoint c = GetRectCenter(r.left, r.top, r.right, r.bottom);
    switch (nHandle) {
    case 2: return CPoint(c.x, r.bottom);
    case 3: return CPoint(r.right, r.bottom);
    case 4: return CPoint(r.right, c.y);
    case 5: return CPoint(r.right, r.top);
    case 6: return CPoint(c.x, r.top);
    case 7: return CPoint(r.left, r.top);
    case 8: return CPoint(r.left, c.y);
    case kRotateHandle: {
        const CPoint p8 = TurnedFrameHandle(8);
        const CPoint p4 = TurnedFrameHandle(4);
        const int d = static_cast<int>(Distance(p8.x, p8.y, p4.x, p4.y) / 4);
        m_nRotateHandleOffset = std::clamp(d, kMinRotateOffset, kMaxRotateOffset);
        return CPoint((IsOrientedX() ? r.right : r.left) + m_nRotateHandleOffset, c.y);
    }
    default: return CPoint(r.left, r.bottom);
    }
}

CRect CDrawObj::GetRotateHandleReach() const
{
    // Frames from a file may lie anywhere: the answer stays within reach of
    // the mapping.
    static constexpr long long kLimit = 0x3FFFFFFF;
    auto clamped = [](long long v) { return static_cast<LONG>(std::clamp(v, -kLimit, kLimit)); };
    auto reach = [&](CRect frame) {
        frame.NormalizeRect();
        const long long width = static_cast<long long>(frame.right) - frame.left;
        const long long d = std::clamp<long long>(width / 4, kMinRotateOffset, kMaxRotateOffset);
        const long long cx = (static_cast<long long>(frame.left) + frame.right) / 2;
        const long long cy = (static_cast<long long>(frame.top) + frame.bottom) / 2;
        if (std::fmod(m_dAngle, 360.0) == 0.0) {
            // On the middle row, a quarter width beyond the left or the
            // right side (the one that shows on the right).
            return CRect(clamped(cx - width / 2 + d - 1), clamped(cy - 1), clamped(cx + width / 2 + d + 1),
                clamped(cy + 1));
        }
        // Turned about the middle: somewhere on the circle through both.
        const long long r = width / 2 + d + 1;
        return CRect(clamped(cx - r), clamped(cy - r), clamped(cx + r), clamped(cy + r));
    };
    CRect area = reach(m_rectUnrotated);
    // The handles of a picture are put on its frame as they are drawn.
    if (m_pPicture != nullptr) {
        const CRect frame = reach(m_position);
        area.UnionRect(&area, &frame);
    }
    return area;
}

void CDrawObj::UpdateMarker(int nHandle)
{
    if (nHandle < 1 || nHandle > 9)
        return;
    CRotatedRect& marker = m_handles[nHandle - 1];
    const CPoint place = GetHandle(nHandle, TRUE);
    marker.m_ptPivot = GetRectCenter(m_rectUnrotated.left, m_rectUnrotated.top, m_rectUnrotated.right,
        m_rectUnrotated.bottom);
    marker.SetRect(place.x, place.y, place.x, place.y);
    marker.SetAngle(m_dAngle);
}

CPoint CDrawObj::TurnedHandle(int nHandle)
{
    if (nHandle < 1 || nHandle > 9)
        nHandle = 1;
    UpdateMarker(nHandle);
    return m_handles[nHandle - 1].GetRotatedCenter();
}

CPoint CDrawObj::TurnedFrameHandle(int nHandle)
{
    CRotatedRect marker;
    marker.m_ptPivot = GetRectCenter(m_rectUnrotated.left, m_rectUnrotated.top, m_rectUnrotated.right,
        m_rectUnrotated.bottom);
    const CPoint place = CDrawObj::GetHandle(nHandle, TRUE);
    marker.SetRect(place.x, place.y, place.x, place.y);
    marker.SetAngle(m_dAngle);
    return marker.GetRotatedCenter();
}

HCURSOR CDrawObj::GetHandleCursor(int nHandle)
{
    return CursorFromId(GetHandleCursorId(nHandle));
}

HCURSOR CDrawObj::GetRotateCursor(int nAngle)
{
    return CursorFromId(GetRotateCursorId(nAngle));
}

void CDrawObj::DrawTracker(CDC* pDC, TrackerState state)
{
    if (pDC == nullptr || IsTextEditActive())
        return;
    switch (state) {
    case TrackerSelected:
    case TrackerActive:
        DrawHandles(pDC, TRUE);
        break;
    case TrackerNoRotation:
        DrawHandles(pDC, FALSE);
        break;
    case TrackerNone:
        break;
    }
}

CRect CDrawObj::GetMarkerRect(int x, int y) const
{
    return CRect(x, y, x + m_sizeMarker.cx, y + m_sizeMarker.cy);
}

void CDrawObj::DrawHandles(CDC* pDC, BOOL bWithRotation)
{
    if (m_pPicture != nullptr && m_pPicture->m_nRotation % 90 == 0)
        FitUnrotatedToPosition();
    int nCount = GetHandleCount();
    if ((m_wFlags & OBJ_FLAG_LOCKED) && !IsTextEditActive())
        nCount = 1;
    // Without rotation the rotation handle is left out; a polygon has
    // none among its point handles.
    if (!bWithRotation && nCount > 0 && IsRotateHandle(nCount))
        --nCount;
    m_rectRotateRef = m_position;
    UpdatePictureCorners();
    CSurface* pView = GetSurface();
    const int k = pView != nullptr ? std::max(1, ::MulDiv(3, pView->GetZoom(), 100)) : 3;
    m_sizeMarker = CSize(2 * k + 1, 2 * k + 1);

    // Markers are squares of whole device pixels whatever the mapping.
    // A polygon has a handle per point, not nine.
    std::vector<CPoint> places(static_cast<size_t>(std::max(nCount, 0)));
    for (int n = 1; n <= nCount; ++n) {
        places[n - 1] = GetHandle(n, FALSE);
        pDC->LPtoDP(&places[n - 1]);
    }
    const int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    for (int n = 1; n <= nCount; ++n) {
        const CRect marker = GetMarkerRect(places[n - 1].x - k, places[n - 1].y - k);
        if (IsRotateHandle(n)) {
            pDC->FillSolidRect(&marker, RGB(0, 160, 0));
        } else {
            pDC->FillSolidRect(&marker, RGB(0, 0, 0));
            CRect inner = marker;
            inner.DeflateRect(1, 1);
            if (!inner.IsRectEmpty())
                pDC->FillSolidRect(&inner, RGB(255, 255, 255));
        }
    }
    pDC->RestoreDC(nSaved);
}

int CDrawObj::HitTest(CPoint point, CSurface* pView, BOOL bSelected)
{
    if (m_wFlags & (OBJ_FLAG_LOCKED | OBJ_FLAG_UNSELECTABLE))
        return 0;
    if (!bSelected)
        return PointInside(GetNormalizedPosition(), point) ? 1 : 0;
    auto handleHit = [&](int n) {
        const CRect square = GetHandleRect(n, pView);
        const CRect grown(square.left - kHandleSlop, square.top + kHandleSlop, square.right + kHandleSlop,
            square.bottom - kHandleSlop);
        return PointInside(grown, point);
    };
    if (GetShapeKind() == kLineShapeKind) {
        CSurface* pOwner = GetSurface();
        if (pOwner == nullptr)
            pOwner = pView;
        if (pOwner != nullptr && pOwner->GetSelection().GetCount() >= 2)
            return 0;
        for (int n : {1, 5}) {
            if (handleHit(n))
                return n;
        }
        return 0;
    }
    const int nCount = GetHandleCount();
    for (int n = 1; n <= nCount; ++n) {
        if (handleHit(n))
            return n;
    }
    return 0;
}

BOOL CDrawObj::Intersects(const CRect& rect)
{
    const CRect a = GetNormalizedPosition();
    const CRect b = NormalizeUp(rect);
    return std::max(a.left, b.left) < std::min(a.right, b.right)
        && std::max(a.bottom, b.bottom) < std::min(a.top, b.top);
}

BOOL CDrawObj::IsInsideRect(const CRect& rect)
{
    // Worked on rectangles ordered low to high on both axes; a line without
    // height or width still needs an area to lie inside anything.
    CRect obj = m_position;
    obj.NormalizeRect();
    if (obj.Width() == 0)
        obj.right = obj.left + 1;
    if (obj.Height() == 0)
        obj.bottom = obj.top + 1;
    CRect other = rect;
    other.NormalizeRect();
    const CRect meet(std::max(obj.left, other.left), std::max(obj.top, other.top), std::min(obj.right, other.right),
        std::min(obj.bottom, other.bottom));
    return meet.left < meet.right && meet.top < meet.bottom && meet == obj;
}

// ---- Geometry ----------------------------------------------------------------------------------

CRect CDrawObj::GetHandleRect(int nHandle, CSurface* pView)
{
    CPoint place = GetHandle(nHandle, FALSE);
    if (pView == nullptr || pView->m_hWnd == NULL)
        return CRect(place.x - kHandleHalfPixels, place.y + kHandleHalfPixels, place.x + kHandleHalfPixels,
            place.y - kHandleHalfPixels);
    pView->LPtoDPPoint(&place);
    CRect rect(place.x - kHandleHalfPixels, place.y - kHandleHalfPixels, place.x + kHandleHalfPixels,
        place.y + kHandleHalfPixels);
    pView->DPtoLPRect(&rect);
    return NormalizeUp(rect);
}

BOOL CDrawObj::IsQuarterTurn()
{
    if (IsOleObject())
        return FALSE;
    if (const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr) {
        if (pBlock->m_nColumns > 1)
            return FALSE;
    }
    return GetRoundedAngle() % 90 == 0;
}

void CDrawObj::SetAngle(double dAngle)
{
    if (GetHandleCount() != 9)
        return;
    m_dAngle = dAngle;
    m_nAngle = RoundHalfAwayFromZero(dAngle);
    // What UpdateMarker does for each handle, with the turn's cosine and
    // sine taken once: every marker is one point turned about the same
    // centre by the same angle (RotatePoints' arithmetic, whole degrees).
    // Every object read from a file is laid out here.
    const double dRadians = DegreesToRadians(std::trunc(dAngle));
    const double c = std::cos(dRadians);
    const double s = std::sin(dRadians);
    const CPoint pivot = GetRectCenter(m_rectUnrotated.left, m_rectUnrotated.top, m_rectUnrotated.right,
        m_rectUnrotated.bottom);
    const double px = pivot.x;
    const double py = pivot.y;
    for (int n = 1; n <= 9; ++n) {
        CRotatedRect& marker = m_handles[n - 1];
        const CPoint place = GetHandle(n, TRUE);
        marker.m_ptPivot = pivot;
        marker.SetRect(place.x, place.y, place.x, place.y);
        if (dAngle == 0.0)
            continue;
        marker.m_dAngle = dAngle;
        if (dRadians == 0)
            continue;
        const double x = place.x;
        const double y = place.y;
        const POINT turned{RoundHalfAwayFromZero(c * x - s * y + (s * py + px * (1 - c))),
            RoundHalfAwayFromZero(c * y + s * x + ((1 - c) * py - s * px))};
        for (POINT& corner : marker.m_corners)
            corner = turned;
    }
}

BOOL CDrawObj::UpdateRotateCenter()
{
    const CPoint center = GetRectCenter(m_rectRotateRef.left, m_rectRotateRef.top, m_rectRotateRef.right,
        m_rectRotateRef.bottom);
    if (center == m_ptRotateCenter)
        return FALSE;
    m_ptRotateCenter = center;
    return TRUE;
}

int CDrawObj::MapHandleForMirror(BOOL bMirrorX, BOOL bMirrorY, int nHandle)
{
    if (nHandle == -1)
        return -1;
    if (bMirrorX && nHandle >= 1 && nHandle <= 8) {
        switch (nHandle) {
        case 1: nHandle = 3; break;
        case 3: nHandle = 1; break;
        case 4: nHandle = 8; break;
        case 8: nHandle = 4; break;
        case 5: nHandle = 7; break;
        case 7: nHandle = 5; break;
        default: break;
        }
    }
    if (bMirrorY && nHandle >= 1 && nHandle <= 7) {
        switch (nHandle) {
        case 1: nHandle = 7; break;
        case 7: nHandle = 1; break;
        case 2: nHandle = 6; break;
        case 6: nHandle = 2; break;
        case 3: nHandle = 5; break;
        case 5: nHandle = 3; break;
        default: break;
        }
    }
    return nHandle;
}

int CDrawObj::MapHandleForQuarterTurn(int nHandle) const
{
    if (nHandle % 2 != 0 || nHandle < 2 || nHandle > 8)
        return nHandle;
    // The side handles move on by one side per quarter turn.
    const int nTurns = GetRoundedAngle() % 90 == 0 ? GetRoundedAngle() / 90 : 0;
    const int nSide = (nHandle / 2 - 1 + nTurns) % 4;
    return (nSide + 1) * 2;
}

BOOL CDrawObj::ClientHandle(CSurface* pView, int nHandle, CPoint& point)
{
    if (pView == nullptr || pView->m_hWnd == NULL)
        return FALSE;
    point = TurnedFrameHandle(nHandle);
    pView->LPtoDPPoint(&point);
    return TRUE;
}

BOOL CDrawObj::IsOrientedX()
{
    CSurface* pView = GetSurface();
    CPoint p8;
    CPoint p4;
    if (!ClientHandle(pView, 8, p8) || !ClientHandle(pView, 4, p4))
        return FALSE;
    const int a = GetRoundedAngle();
    if (a < 90)
        return p8.x < p4.x;
    if (a < 180)
        return p4.y < p8.y;
    if (a < 270)
        return p4.x < p8.x;
    return p8.y < p4.y;
}

BOOL CDrawObj::IsOrientedY()
{
    CSurface* pView = GetSurface();
    CPoint p2;
    CPoint p6;
    if (!ClientHandle(pView, 2, p2) || !ClientHandle(pView, 6, p6))
        return FALSE;
    const int a = GetRecordAngle();
    if (a < 90)
        return p2.y > p6.y;
    if (a < 180)
        return p2.x > p6.x;
    if (a < 270)
        return p2.y < p6.y;
    return p2.x < p6.x;
}

UINT CDrawObj::GetHandleCursorId(int nHandle)
{
    if (nHandle == kRotateHandle)
        return GetRotateCursorId(GetRoundedAngle());
    if (nHandle < 1 || nHandle > 8)
        return kSysArrow;
    nHandle = MapHandleForMirror(IsOrientedX(), IsOrientedY(), nHandle);
    if (GetRoundedAngle() != 0)
        return kSysArrow;
    const BOOL bSystem = (thePrefs.Flags & PREF_FLAG_PLAIN_SIZING_CURSORS) != 0;
    switch (nHandle) {
    case 1:
    case 5: return bSystem ? kSysSizeNESW : IDC_HANDLE_NESW;
    case 3:
    case 7: return bSystem ? kSysSizeNWSE : IDC_HANDLE_NWSE;
    case 2:
    case 6: return bSystem ? kSysSizeNS : IDC_HANDLE_NS;
    default: return bSystem ? kSysSizeWE : IDC_HANDLE_WE;
    }
}

UINT CDrawObj::GetRotateCursorId(int nAngle)
{
    const int a = NormalizeDegrees(nAngle);
    if (thePrefs.Flags & PREF_FLAG_PLAIN_SIZING_CURSORS) {
        // The exact steps fall in the sectors of the same direction.
        if (a >= 23 && a <= 67)
            return kSysSizeNWSE;
        if (a >= 68 && a <= 112)
            return kSysSizeWE;
        if (a >= 113 && a <= 157)
            return kSysSizeNESW;
        if (a >= 158 && a <= 202)
            return kSysSizeNS;
        if (a >= 203 && a <= 247)
            return kSysSizeNWSE;
        if (a >= 248 && a <= 292)
            return kSysSizeWE;
        if (a >= 293 && a <= 337)
            return kSysSizeNESW;
        return kSysSizeNS;
    }
    static const UINT kSteps[24] = {
        IDC_ROTATE_0, IDC_ROTATE_15, IDC_ROTATE_30, IDC_ROTATE_45, IDC_ROTATE_60, IDC_ROTATE_75,
        IDC_ROTATE_90, IDC_ROTATE_105, IDC_ROTATE_120, IDC_ROTATE_135, IDC_ROTATE_150, IDC_ROTATE_165,
        IDC_ROTATE_180, IDC_ROTATE_195, IDC_ROTATE_210, IDC_ROTATE_225, IDC_ROTATE_240, IDC_ROTATE_255,
        IDC_ROTATE_270, IDC_ROTATE_285, IDC_ROTATE_300, IDC_ROTATE_315, IDC_ROTATE_330, IDC_ROTATE_345,
    };
    if (a % 15 == 0)
        return kSteps[a / 15];
    if (a >= 23 && a <= 67)
        return IDC_ROTATE_SECTOR_45;
    if (a >= 68 && a <= 112)
        return IDC_ROTATE_SECTOR_90;
    if (a >= 113 && a <= 157)
        return IDC_ROTATE_SECTOR_135;
    if (a >= 158 && a <= 202)
        return IDC_ROTATE_SECTOR_180;
    if (a >= 203 && a <= 247)
        return IDC_ROTATE_SECTOR_225;
    if (a >= 248 && a <= 292)
        return IDC_ROTATE_SECTOR_270;
    if (a >= 293 && a <= 337)
        return IDC_ROTATE_SECTOR_315;
    return IDC_ROTATE_SECTOR_0;
}

double CDrawObj::AngleBetween(int x0, int y0, int x1, int y1)
{
    const double dx = std::fabs(static_cast<double>(x0) - x1);
    const double dy = std::fabs(static_cast<double>(y0) - y1);
    if (dx == 0 && dy == 0)
        return 0.0;
    // A vertical line is exactly a quarter turn, not the arctangent of a
    // stand-in width.
    const double a = dx == 0 ? 90.0 : std::fabs(std::atan(dy / dx) * 180.0 / M_PI);
    double result;
    if (x1 > x0)
        result = y1 > y0 ? a : 360.0 - a;
    else
        result = y1 > y0 ? 180.0 - a : 180.0 + a;
    return result >= 360.0 ? result - 360.0 : result;
}

double CDrawObj::Distance(int x0, int y0, int x1, int y1)
{
    const double dx = static_cast<double>(x0) - x1;
    const double dy = static_cast<double>(y0) - y1;
    return std::sqrt(dx * dx + dy * dy);
}

CPoint CDrawObj::PointToDeviceWithOrigin(CDC* pDC, CPoint point)
{
    if (pDC == nullptr)
        return point;
    pDC->LPtoDP(&point);
    return point + pDC->GetViewportOrg();
}

void CDrawObj::FitUnrotatedToPosition()
{
    if (m_pPicture == nullptr)
        return;
    const int a = NormalizeDegrees(m_pPicture->m_nRotation);
    const CRect pos = GetNormalizedPosition();
    const CRect unrotated = NormalizeUp(m_rectUnrotated);
    if (a == 180) {
        if (pos.Width() != unrotated.Width() || pos.Height() != unrotated.Height())
            m_rectUnrotated = m_position;
    } else if (a == 90 || a == 270) {
        if (unrotated.Width() != -pos.Height() || -unrotated.Height() != pos.Width()) {
            const CPoint c = GetRectCenter(m_rectUnrotated.left, m_rectUnrotated.top, m_rectUnrotated.right,
                m_rectUnrotated.bottom);
            const int hw = std::abs(pos.Height()) / 2;
            const int hh = std::abs(pos.Width()) / 2;
            m_rectUnrotated = CRect(c.x + hw, c.y - hh, c.x - hw, c.y + hh);
        }
    }
}

void CDrawObj::Flip(BOOL bHorizontal, BOOL bVertical)
{
    if (!bHorizontal && !bVertical)
        return;
    if (bHorizontal)
        m_bFlipX = !m_bFlipX;
    if (bVertical)
        m_bFlipY = !m_bFlipY;
    const CPoint posCenter = GetRectCenter(m_position.left, m_position.top, m_position.right, m_position.bottom);
    FlipRect(&m_position, bHorizontal, bVertical);
    // The handles work from the unrotated rectangle: it shows the mirror too.
    FlipRect(&m_rectUnrotated, bHorizontal, bVertical);
    const CPoint uncroppedCenter = GetRectCenter(m_rectUncropped.left, m_rectUncropped.top, m_rectUncropped.right,
        m_rectUncropped.bottom);
    FlipRect(&m_rectUncropped, bHorizontal, bVertical);
    if (m_wFlags & OBJ_FLAG_CROPPED) {
        // The whole picture mirrors about the visible part's centre, not its
        // own.
        m_rectUncropped.OffsetRect(bHorizontal ? 2 * (posCenter.x - uncroppedCenter.x) : 0,
            bVertical ? 2 * (posCenter.y - uncroppedCenter.y) : 0);
    }
    if (m_pDocument != nullptr)
        m_pDocument->SetModifiedFlag(TRUE);
}

void CDrawObj::FitToProportions(int cx, int cy, int nHandle, CRect* pRect)
{
    if ((m_wFlags & OBJ_FLAG_SIZING) || cx < 1 || cy < 1)
        return;
    m_wFlags |= OBJ_FLAG_SIZING;
    CRect* pTarget = pRect != nullptr ? pRect : &m_position;
    if (pRect == nullptr)
        Invalidate();
    CRect& r = *pTarget;
    const int a = GetRoundedAngle();
    if (a == 90 || a == 270)
        nHandle = MapHandleForMirror(r.left < r.right, r.bottom < r.top, nHandle);
    if (nHandle == 0)
        nHandle = 8;
    // Mirrored this way, n names the handle whose sides stay.
    const int nFixed = MapHandleForMirror(IsOrientedX(), IsOrientedY(), nHandle);
    const double s = static_cast<double>(cy) / cx;
    switch (nFixed) {
    case 1:
    case 3:
    case 5:
    case 7: {
        const CPoint f(nFixed == 1 || nFixed == 7 ? r.left : r.right, nFixed == 1 || nFixed == 3 ? r.bottom : r.top);
        const CPoint p(nFixed == 1 || nFixed == 7 ? r.right : r.left, nFixed == 1 || nFixed == 3 ? r.top : r.bottom);
        // The slope follows the dragged corner's diagonal.
        const bool bRising = (p.x - f.x >= 0) == (p.y - f.y >= 0);
        const double slope = bRising ? s : -s;
        const double b = f.y - slope * f.x;
        const double x = (p.x / slope + p.y - b) / (slope + 1 / slope);
        const double y = slope * x + b;
        const int nx = RoundHalfAwayFromZero(x);
        const int ny = RoundHalfAwayFromZero(y);
        if (nFixed == 1 || nFixed == 7)
            r.right = nx;
        else
            r.left = nx;
        if (nFixed == 1 || nFixed == 3)
            r.top = ny;
        else
            r.bottom = ny;
        break;
    }
    case 2:
    case 6: {
        // A side stays: the other axis follows, centred where it was.
        const int nHeight = std::abs(r.top - r.bottom);
        const int nHalf = RoundHalfAwayFromZero(nHeight / s / 2);
        const int nCenter = (r.left + r.right) / 2;
        const int nSign = r.left <= r.right ? 1 : -1;
        r.left = nCenter - nSign * nHalf;
        r.right = nCenter + nSign * nHalf;
        break;
    }
    default: {
        const int nWidth = std::abs(r.right - r.left);
        const int nHalf = RoundHalfAwayFromZero(nWidth * s / 2);
        const int nCenter = (r.top + r.bottom) / 2;
        const int nSign = r.top >= r.bottom ? 1 : -1;
        r.top = nCenter + nSign * nHalf;
        r.bottom = nCenter - nSign * nHalf;
        break;
    }
    }
    if (pRect == nullptr) {
        if (a == 0)
            m_rectUnrotated = m_position;
        Invalidate();
    }
    m_wFlags &= ~WORD(OBJ_FLAG_SIZING);
}

CSurface* CDrawObj::GetSurface()
{
    if (m_bDetached || m_pDocument == nullptr)
        return nullptr;
    // The view that holds the object keeps m_pSurface as it adds, removes,
    // loads and deletes it, so a view of the same document is the answer;
    // only an object no view claimed is looked for in every view's list.
    if (m_pSurface != nullptr && m_pSurface->CView::GetDocument() == m_pDocument)
        return m_pSurface;
    for (POSITION pos = m_pDocument->GetFirstViewPosition(); pos != nullptr;) {
        CView* pView = m_pDocument->GetNextView(pos);
        if (pView == nullptr || !pView->IsKindOf(RUNTIME_CLASS(CSurface)))
            continue;
        auto* pSurface = static_cast<CSurface*>(pView);
        if (pSurface->GetObjects().Find(this) != nullptr) {
            SetSurface(pSurface);
            return pSurface;
        }
    }
    SetSurface(nullptr);
    return nullptr;
}

void CDrawObj::SetSurface(CSurface* pView)
{
    m_pSurface = pView;
    if (m_pPicture != nullptr)
        m_pPicture->m_pView = pView;
}

int CDrawObj::CrossesGuideLine()
{
    CSurface* pView = GetSurface();
    if (pView == nullptr)
        return 0;
    // Guideline positions are thousandths of an inch from the page's upper
    // left corner; the object lives in hundredths from the page's centre,
    // y upwards. A guideline along an edge only touches the object: it
    // crosses when it runs through the inside.
    const CSize page = pView->GetPageSize();
    const long long halfWidth = std::llabs(static_cast<long long>(page.cx)) / 2;
    const long long halfHeight = std::llabs(static_cast<long long>(page.cy)) / 2;
    const CRect rect = GetNormalizedPosition();
    auto units = [](DWORD dwPosition) { return static_cast<long long>(static_cast<LONG>(dwPosition)) / 10; };
    const CDWordArray& horizontal = pView->m_guidelines[0];
    for (INT_PTR i = 0; i < horizontal.GetSize(); ++i) {
        const long long y = halfHeight - units(horizontal[i]);
        if (y > rect.bottom && y < rect.top)
            return 1;
    }
    const CDWordArray& vertical = pView->m_guidelines[1];
    for (INT_PTR i = 0; i < vertical.GetSize(); ++i) {
        const long long x = units(vertical[i]) - halfWidth;
        if (x > rect.left && x < rect.right)
            return 1;
    }
    return 0;
}

void CDrawObj::SizeToText(CSurface* pView)
{
    if (!HasText() || HasPicture() || pView == nullptr)
        return;
    CSize size;
    if (!MeasureText(m_bBlockText ? GetTextBlock() : nullptr, pView, size))
        return;
    const CRect old = GetNormalizedPosition();
    const CSize grown = GrownToText(old, size);
    pView->InvalidateObjectRect(this);
    // The text grows to the right and upwards from the bottom-left corner,
    // which stays where it was.
    m_position = CRect(old.left, old.bottom + grown.cy, old.left + grown.cx, old.bottom);
    if (GetRoundedAngle() == 0)
        m_rectUnrotated = m_position;
    pView->InvalidateObjectRect(this);
}

void CDrawObj::AutoSizeToText()
{
    if (!HasText() || HasPicture())
        return;
    if (const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr) {
        if (pBlock->IsFixedSize() || pBlock->m_nAngle != 0)
            return;
    }
    CSurface* pView = GetSurface();
    if (pView == nullptr)
        return;
    CSize size;
    if (!MeasureText(m_bBlockText ? GetTextBlock() : nullptr, pView, size))
        return;
    const CRect old = GetNormalizedPosition();
    const CSize grown = GrownToText(old, size);
    // From the top-left corner, then oriented like the old rectangle.
    CRect rect(old.left, old.top, old.left + grown.cx, old.top - grown.cy);
    if ((m_position.left > m_position.right) != (rect.left > rect.right))
        std::swap(rect.left, rect.right);
    if ((m_position.top < m_position.bottom) != (rect.top < rect.bottom))
        std::swap(rect.top, rect.bottom);
    m_position = rect;
    if (GetRoundedAngle() == 0)
        m_rectUnrotated = m_position;
}

BOOL CDrawObj::GetBlockTextSize(CSize& size) const
{
    CTextBlock* pBlock = m_bBlockText && HasText() ? GetTextBlock() : nullptr;
    if (pBlock == nullptr)
        return FALSE;
    if (pBlock->m_nColumns > 1) {
        // Columns fill whatever frame they are given: the frame is their
        // size.
        const CRect frame = NormalizeUp(m_rectUnrotated);
        size = CSize(frame.Width(), frame.top - frame.bottom);
        return TRUE;
    }
    CSurface* pView = const_cast<CDrawObj*>(this)->GetSurface();
    return MeasureText(pBlock, pView, size) && size.cx > 0 && size.cy > 0;
}

void CDrawObj::SetBlockTextColor(COLORREF crColor)
{
    if (CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr) {
        pBlock->m_crText = crColor;
        // The cached rendering holds the old colour.
        pBlock->FreeCache();
        Invalidate();
    }
    if (m_pTextEditor != nullptr)
        m_pTextEditor->SetSelColor(crColor);
}

void CDrawObj::InsertBlockText(int nPosition, const CString& strText)
{
    if (CTextBlock* pBlock = GetTextBlock()) {
        pBlock->InsertText(nPosition, strText);
        Invalidate();
    }
}

BOOL CDrawObj::IsBlockTextFixed() const
{
    const CTextBlock* pBlock = m_bBlockText ? GetTextBlock() : nullptr;
    return pBlock != nullptr && pBlock->IsFixedSize();
}

void CDrawObj::UpdatePictureCorners()
{
    if (m_pPicture == nullptr)
        return;
    POINT corners[4];
    const int kCorners[4] = {7, 5, 3, 1};
    for (int i = 0; i < 4; ++i)
        corners[i] = GetHandle(MapHandleForMirror(m_bFlipX, m_bFlipY, kCorners[i]), FALSE);
    m_pPicture->SetCorners(corners);
}
