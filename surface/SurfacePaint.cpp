// How a surface view paints: one memory bitmap of the clip box per screen
// paint, the passes in a fixed order (background, page shadow and paper,
// grid and page border, printer margins and work area, objects with the
// selection's handles, guidelines) and one copy to the window. On a
// printer only the paper and the objects are drawn.

#include "surface/Surface.h"

#include "app/DcStateSaver.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "app/main/MainFrame.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/SurfaceBackground.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

CSurface* g_pPaintingSurface = NULL;

namespace {

// Bits of the document's display flags that the passes read.
// The preferences' "AddlFlags" bit of the designer's diagnostic corner.
constexpr WORD kAddlDiagnosticCorner = 0x0004;
// The brush origin of the memory bitmap follows the window's 8-pixel
// pattern grid.
constexpr int kBrushGrid = 8;
// The label font of the margin texts, in pixels whatever the zoom: a height
// in logical units would be rounded to whole units and grow and shrink
// with the zoom.
constexpr int kLabelHeight = -11;
// Guidelines and work sizes beyond this many units from the page are off
// any surface (a page is at most LAYOUT_MAX_SIZE units a side).
constexpr int kMaxGuidelineUnits = 10 * LAYOUT_MAX_SIZE;
// The diagnostic corner's boxes, in client pixels.
constexpr int kDiagBoxWidth = 75;
constexpr int kDiagBoxHeight = 25;

BOOL g_bMemoryBitmapFails = FALSE;

// Where the drawing DC's device origin lies in client coordinates while a
// paint runs: the clip box's corner when drawing into the memory bitmap.
CPoint g_paintOffset(0, 0);

// The view whose paint of its own window is running.
const CSurface* g_pWindowPaint = NULL;

// Puts the DC into plain device pixels (the caller guards its state).
void ToDevicePixels(CDC* pDC)
{
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
}

// Fills a logical rectangle through device units, so that its orientation
// under the y-up mapping does not matter.
void FillLogicalRect(CDC* pDC, const CRect& rect, COLORREF cr)
{
    CRect dev = rect;
    pDC->LPtoDP(&dev);
    dev.NormalizeRect();
    CDCStateSaver saver(pDC);
    ToDevicePixels(pDC);
    pDC->FillSolidRect(&dev, cr);
}

// A line between two device points in a one-pixel pen of the style.
void DeviceLine(CDC* pDC, CPoint from, CPoint to)
{
    pDC->MoveTo(from);
    pDC->LineTo(to);
}

// The four sides of a device rectangle (all pixels of its edges).
void DeviceFrame(CDC* pDC, CRect rect)
{
    rect.NormalizeRect();
    const CPoint corners[5] = {CPoint(rect.left, rect.top), CPoint(rect.right, rect.top),
        CPoint(rect.right, rect.bottom), CPoint(rect.left, rect.bottom), CPoint(rect.left, rect.top)};
    pDC->Polyline(corners, 5);
}

// The brush origin in a bitmap whose pixel 0 lies at client coordinate
// nEdge that lines a pattern up with the window's own (origin 0).
int PatternOrigin(int nEdge)
{
    return ((-nEdge) % kBrushGrid + kBrushGrid) % kBrushGrid;
}

// The middle of two device positions, rounded down: the memory bitmap of a
// partial repaint has its origin inside the client, where positions left
// of it are negative, and halving by truncation would move a label by a
// pixel against a full repaint.
int Midpoint(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(sum >= 0 ? sum / 2 : -((-sum + 1) / 2));
}

LOGFONT LabelFont()
{
    LOGFONT lf{};
    lf.lfHeight = kLabelHeight;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    return lf;
}

// Writes a label centred on a device point horizontally and with its
// middle on the point's row, opaque in the paper colour.
void DrawCentredLabel(CDC* pDC, const CString& strText, CPoint anchor, COLORREF crText, COLORREF crPaper)
{
    const LOGFONT lf = LabelFont();
    CFont font;
    if (!font.CreateFontIndirect(&lf))
        return;
    CFont* pOldFont = pDC->SelectObject(&font);
    pDC->SetTextColor(crText);
    pDC->SetBkColor(crPaper);
    pDC->SetBkMode(OPAQUE);
    const CSize size = pDC->GetTextExtent(strText);
    pDC->TextOut(anchor.x - size.cx / 2, anchor.y - std::abs(size.cy) / 2, strText);
    pDC->SelectObject(pOldFont);
}

// The DC's clip region (device units) when it is more than one rectangle,
// as the update region of a partial repaint is; FALSE for none or a plain
// rectangle, which the clip box describes whole.
BOOL GetComplexClip(CDC* pDC, CRgn& region)
{
    if (!region.CreateRectRgn(0, 0, 0, 0))
        return FALSE;
    if (::GetClipRgn(pDC->GetSafeHdc(), static_cast<HRGN>(region.GetSafeHandle())) != 1)
        return FALSE;
    CRect box;
    return region.GetRgnBox(&box) == COMPLEXREGION;
}

// Whether a region leaves most of its box out. Drawing under a region
// costs more per figure than under a rectangle, so a region that fills
// most of its box is painted as the box.
BOOL IsSparse(CRgn& region, const CRect& box)
{
    const DWORD nBytes = ::GetRegionData(region, 0, NULL);
    if (nBytes < sizeof(RGNDATAHEADER))
        return FALSE;
    std::vector<BYTE> buffer(nBytes);
    auto* pData = reinterpret_cast<RGNDATA*>(buffer.data());
    if (::GetRegionData(region, nBytes, pData) == 0)
        return FALSE;
    const auto* pRects = reinterpret_cast<const RECT*>(pData->Buffer);
    double area = 0;
    for (DWORD i = 0; i < pData->rdh.nCount; ++i)
        area += double(pRects[i].right - pRects[i].left) * double(pRects[i].bottom - pRects[i].top);
    return area * 2 < double(box.Width()) * double(box.Height());
}

CString LoadLabel(UINT nID, LPCTSTR lpszDefault)
{
    CString str;
    if (!str.LoadString(nID))
        str = lpszDefault;
    return str;
}

} // namespace

void CSurface::SetMemoryBitmapFailsForTests(BOOL bFails)
{
    g_bMemoryBitmapFails = bFails;
}

CBitmap* CSurface::GetFrameBitmap(CDC* pDC, int cx, int cy, CBitmap* pScratch)
{
    // A frame larger than this many pixels is made for its paint alone.
    constexpr long long kMaxKeptPixels = 4096LL * 4096LL;
    const int nDepth = pDC->GetDeviceCaps(BITSPIXEL) * pDC->GetDeviceCaps(PLANES);
    if (m_frameBitmap.GetSafeHandle() != NULL && nDepth == m_nFrameBitmapDepth && cx <= m_sizeFrameBitmap.cx
        && cy <= m_sizeFrameBitmap.cy)
        return &m_frameBitmap;
    // Kept at the client's size at least, so that a paint of the whole view
    // after a partial one finds it ready.
    CSize size(cx, cy);
    if (m_hWnd != NULL) {
        CRect client;
        GetClientRect(&client);
        size.cx = std::max<LONG>(size.cx, client.Width());
        size.cy = std::max<LONG>(size.cy, client.Height());
    }
    m_frameBitmap.DeleteObject();
    m_sizeFrameBitmap = CSize(0, 0);
    if (static_cast<long long>(size.cx) * size.cy <= kMaxKeptPixels) {
        if (m_frameBitmap.CreateCompatibleBitmap(pDC, size.cx, size.cy)) {
            m_sizeFrameBitmap = size;
            m_nFrameBitmapDepth = nDepth;
            return &m_frameBitmap;
        }
    }
    return pScratch->CreateCompatibleBitmap(pDC, cx, cy) ? pScratch : NULL;
}

void CSurface::PrepareFrameBitmap()
{
    if (m_hWnd == NULL || g_bMemoryBitmapFails)
        return;
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty() || (client.Width() <= m_sizeFrameBitmap.cx && client.Height() <= m_sizeFrameBitmap.cy))
        return;
    CClientDC dc(this);
    CBitmap scratch;
    if (GetFrameBitmap(&dc, client.Width(), client.Height(), &scratch) != &m_frameBitmap)
        return;
    // Written once now, so that the first paint does not meet fresh memory
    // page by page.
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc))
        return;
    CBitmap* pOld = memDC.SelectObject(&m_frameBitmap);
    memDC.FillSolidRect(0, 0, m_sizeFrameBitmap.cx, m_sizeFrameBitmap.cy, kWorkspaceColor);
    memDC.SelectObject(pOld);
}

// ---- The paint -----------------------------------------------------------------------------------

void CSurface::OnDraw(CDC* pDC)
{
    if (pDC == NULL)
        return;
    const BOOL bPrinting = pDC->IsPrinting();
    // The mark concerns the screen (a painted view is not scrolled by a new
    // extent); a print leaves the surface, which a save stores, untouched.
    if (!bPrinting)
        m_flags |= SurfacePainted;

    // The clip box in the DC's pixels (the client's when the DC is the
    // window's).
    CRect clip;
    {
        CDCStateSaver saver(pDC);
        ToDevicePixels(pDC);
        pDC->GetClipBox(&clip);
    }
    clip.NormalizeRect();
    // What the paint may touch inside the clip box: the update region on a
    // window's paint, or a caller's clip region. A drag's update region is
    // the old and new places of the moved objects, a good deal less than
    // their bounding box; objects outside it are not drawn at all.
    CRgn paintRegion;
    const BOOL bPaintRegion = !bPrinting && GetComplexClip(pDC, paintRegion) && IsSparse(paintRegion, clip);

    // The paint's globals are cleared however the paint ends.
    struct PaintState {
        ~PaintState()
        {
            g_paintOffset = CPoint(0, 0);
            g_pWindowPaint = NULL;
            g_pPaintingSurface = NULL;
        }
    } paintState;
    // The bitmap outlives the DC it is selected into.
    CBitmap scratch;
    CBitmap* pBitmap = NULL;
    CDC memDC;
    CBitmap* pOldBitmap = NULL;
    CDC* pDraw = pDC;
    if (!bPrinting && !clip.IsRectEmpty() && !g_bMemoryBitmapFails && memDC.CreateCompatibleDC(pDC)
        && (pBitmap = GetFrameBitmap(pDC, clip.Width(), clip.Height(), &scratch)) != NULL) {
        pOldBitmap = memDC.SelectObject(pBitmap);
        // The bitmap takes the mapping the DC was prepared with (the view's
        // own for its paint, a caller's for a rendering of its own), moved
        // so that the clip box's corner is the bitmap's.
        memDC.SetMapMode(pDC->GetMapMode());
        memDC.SetWindowOrg(pDC->GetWindowOrg());
        memDC.SetWindowExt(pDC->GetWindowExt());
        memDC.SetViewportExt(pDC->GetViewportExt());
        const CPoint viewportOrg = pDC->GetViewportOrg();
        memDC.SetViewportOrg(viewportOrg.x - clip.left, viewportOrg.y - clip.top);
        // Patterns stay put on the window: the bitmap's pixel 0 is the
        // clip box's edge, so the pattern starts that far back.
        memDC.SetBrushOrg(PatternOrigin(clip.left), PatternOrigin(clip.top));
        // The paint draws into the clip box's corner of the bitmap, clipped
        // in device pixels to the box or to the region inside it. (A clip
        // rectangle in logical units would be rounded at zooms where a
        // unit is not a whole pixel and could leave the box's last column
        // or row unpainted.) Pixels of the bitmap outside the region keep
        // what an earlier paint left; the copy to the DC leaves them out
        // under the same clip.
        if (bPaintRegion) {
            paintRegion.OffsetRgn(-clip.left, -clip.top);
            memDC.SelectClipRgn(&paintRegion);
        } else if (pBitmap != &scratch) {
            CRgn box;
            if (box.CreateRectRgn(0, 0, clip.Width(), clip.Height()))
                memDC.SelectClipRgn(&box);
        }
        pDraw = &memDC;
        g_paintOffset = clip.TopLeft();
    } else {
        // Without a bitmap the same passes draw straight into the window.
        g_paintOffset = CPoint(0, 0);
    }

    const BOOL bWindowPaint = !bPrinting && m_hWnd != NULL && ::WindowFromDC(pDC->GetSafeHdc()) == m_hWnd;
    g_pWindowPaint = bWindowPaint ? this : NULL;

    CDrawDoc* pDoc = GetDocument();
    const COLORREF crPaper = pDoc != NULL ? pDoc->GetPaperColor() : RGB(255, 255, 255);

    if (!bPrinting) {
        g_pPaintingSurface = this;
        // The background fills the clip box; its tiles and patterns line up
        // on the client's corner, so they stay put on the window whatever
        // part is repainted.
        CDCStateSaver saver(pDraw);
        ToDevicePixels(pDraw);
        CRect area = clip;
        area.OffsetRect(-g_paintOffset.x, -g_paintOffset.y);
        const POINT origin{-g_paintOffset.x, -g_paintOffset.y};
        g_surfaceBackground.Paint(pDraw, &origin, &area);
    }

    // On a plain background of the paper's own colour the page needs no
    // fill and shows no shadow.
    const BOOL bPlainPaper = g_surfaceBackground.GetFlags() == CSurfaceBackground::kColorOnly
        && g_surfaceBackground.GetColor() == crPaper;
    // On paper the sheet itself is white: filling it would only wipe out
    // what the document's other surfaces drew on the same sheet before.
    const BOOL bFillPaper = bPrinting ? crPaper != RGB(255, 255, 255) : !bPlainPaper;
    if (bFillPaper) {
        if (!bPrinting)
            DrawPageShadow(pDraw);
        FillLogicalRect(pDraw, GetPageRect(), crPaper);
    }

    if (!bPrinting) {
        DrawGridAndBorder(pDraw);
        DrawWorkArea(pDraw);
    }
    DrawObjects(pDraw);
    if (!bPrinting)
        DrawGuidelines(pDraw);

    if (pDraw == &memDC) {
        CDCStateSaver saver(pDC);
        ToDevicePixels(pDC);
        ToDevicePixels(&memDC);
        pDC->BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &memDC, 0, 0, SRCCOPY);
        memDC.SelectObject(pOldBitmap);
    }
    if (!bPrinting && (thePrefs.AddlFlags & kAddlDiagnosticCorner))
        DrawDiagnosticCorner(pDC);
}

// ---- Objects, handles and mirror printing -------------------------------------------------------

void CSurface::DrawObjects(CDC* pDC)
{
    if (pDC == NULL)
        return;
    const BOOL bPrinting = pDC->IsPrinting();

    // A transfer prints mirrored; the objects get their own values back
    // when the job ends (EndPrintJob), or else at the next screen paint.
    if (bPrinting != m_bPrintingRecorded) {
        if (!bPrinting)
            EndMirrorPrinting();
        else if (IsTransferPrint())
            BeginMirrorPrinting();
    }

    // An unfocused view draws its objects one paint late, so that the view
    // the user works in is painted first. Only the window's own paint is
    // put off: a rendering into another DC is drawn whole at once.
    if (!bPrinting && g_pWindowPaint == this) {
        if (!m_bPaintDeferred && ::GetFocus() != m_hWnd) {
            m_bPaintDeferred = TRUE;
            Invalidate(FALSE);
            return;
        }
        m_bPaintDeferred = FALSE;
    }

    if (bPrinting) {
        m_flags |= SurfacePrinting;
    } else if (m_flags & SurfacePrinting) {
        // A print of this surface is running: its objects may be mirrored
        // meanwhile, so they are drawn again when it ends.
        m_flags |= SurfacePrintSkipped;
    }

    CRect clip;
    // A complex clip (the update region of a partial repaint) is tested
    // rectangle by rectangle, in the DC's pixels.
    CRgn clipRegion;
    BOOL bClipRegion = FALSE;
    CRect deviceClip;
    if (!bPrinting) {
        pDC->GetClipBox(&clip);
        clip.NormalizeRect();
        bClipRegion = GetComplexClip(pDC, clipRegion);
        deviceClip = clip;
        pDC->LPtoDP(&deviceClip);
        deviceClip.NormalizeRect();
        deviceClip.InflateRect(1, 1);
    }
    // Whether anything of the device rectangle can show through the clip:
    // objects and handles elsewhere are not drawn at all, so a partial
    // repaint costs what lies in it, not what the selection holds.
    auto meetsClip = [&](CRect rect) {
        if (!CRect().IntersectRect(&rect, &deviceClip))
            return FALSE;
        return BOOL(!bClipRegion || clipRegion.RectInRegion(&rect));
    };

    const BOOL bHandles = !bPrinting && m_bActive;
    if (bHandles) {
        for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
            CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
            if (pObj != NULL && meetsClip(GetObjectPaintRect(pObj, pDC, TRUE)))
                pObj->DrawTracker(pDC, TrackerNoRotation);
        }
    }
    // On paper, guides and objects outside the tile being printed stay off.
    constexpr WORD kNotPrinted = OBJ_FLAG_GUIDE | OBJ_FLAG_TILE_HIDDEN;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL)
            continue;
        if (bPrinting) {
            if (pObj->m_wFlags & kNotPrinted)
                continue;
        } else {
            if ((m_flags & SurfacePrinting) || (pObj->m_wFlags & OBJ_FLAG_TILE_HIDDEN))
                continue;
            CRect bounds = GetDrawnBounds(pObj);
            if (!CRect().IntersectRect(&bounds, &clip))
                continue;
            if (bClipRegion && !meetsClip(GetObjectPaintRect(pObj, pDC, FALSE)))
                continue;
        }
        pObj->Draw(pDC);
    }

    if (bHandles) {
        CString strStatus;
        BOOL bStatus = FALSE;
        for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
            CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
            if (pObj == NULL)
                continue;
            int nAngle = pObj->GetRoundedAngle();
            if (nAngle == 0)
                nAngle = RoundHalfAwayFromZero(pObj->GetContentRotation());
            strStatus.Empty();
            if (nAngle % 360 != 0)
                strStatus.Format("Rotation: %d", nAngle);
            bStatus = TRUE;
            // Rotate mode 0 shows the sizing handles only.
            if (meetsClip(GetObjectPaintRect(pObj, pDC, TRUE)))
                pObj->DrawTracker(pDC, m_bRotateMode ? TrackerSelected : TrackerNoRotation);
        }
        if (bStatus) {
            if (auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
                pFrame->SetStatusText(strStatus);
        }
    }

    m_nLastPaintZoom = m_nZoom;
    if (bPrinting) {
        m_flags &= ~WORD(SurfacePrinting);
        if (m_flags & SurfacePrintSkipped) {
            m_flags &= ~WORD(SurfacePrintSkipped);
            if (m_hWnd != NULL)
                Invalidate(TRUE);
        }
    }
}

// ---- Page shadow, grid, border and guidelines ---------------------------------------------------

int CSurface::GetPageShadowOffset() const
{
    const CRect page = GetPageRect();
    double d = std::min(std::abs(page.Width() / 4) * 0.09, std::abs(page.Height() / 4) * 0.09);
    if (m_nZoom < 100)
        d = d * m_nZoom / 100;
    if (d < 1)
        d = 3;
    return static_cast<int>(d);
}

void CSurface::DrawPageShadow(CDC* pDC)
{
    if (pDC == NULL)
        return;
    CDCStateSaver saver(pDC);
    const int nShift = GetPageShadowOffset();
    CRect shadow = GetPageRect();
    // Right and down: y grows upwards on the surface.
    shadow.OffsetRect(nShift, -nShift);
    FillLogicalRect(pDC, shadow, kShadowColor);
}

void CSurface::DrawGridAndBorder(CDC* pDC)
{
    if (pDC == NULL)
        return;
    const CDrawDoc* pDoc = GetDocument();
    const CRect page = GetPageRect();
    CRect devPage = page;
    pDC->LPtoDP(&devPage);

    CDCStateSaver saver(pDC);
    if (pDoc != NULL)
        pDC->SetBkColor(pDoc->GetPaperColor());
    const int nSpacing = pDoc != NULL && (pDoc->m_wDocFlags & CSurface::DocShowGrid) ? std::abs(pDoc->GetGridSpacing()) : 0;

    // The lines are computed in logical units and drawn in device pixels,
    // one pixel wide at every zoom. Each position is k x s tenths from the
    // page's edge, so rounding never adds up across the page.
    std::vector<int> columns;
    std::vector<int> rows;
    if (nSpacing >= 1) {
        CRect clip;
        {
            CDCStateSaver clipSaver(pDC);
            ToDevicePixels(pDC);
            pDC->GetClipBox(&clip);
        }
        for (long long k = 0;; ++k) {
            const long long x = page.left + k * nSpacing / 10;
            if (x >= page.right)
                break;
            CPoint pt(static_cast<int>(x), page.top);
            pDC->LPtoDP(&pt);
            if (pt.x >= clip.left && pt.x < clip.right && (columns.empty() || columns.back() != pt.x))
                columns.push_back(pt.x);
        }
        for (long long k = 0;; ++k) {
            const long long y = page.top - k * nSpacing / 10;
            if (y <= page.bottom)
                break;
            CPoint pt(page.left, static_cast<int>(y));
            pDC->LPtoDP(&pt);
            if (pt.y >= clip.top && pt.y < clip.bottom && (rows.empty() || rows.back() != pt.y))
                rows.push_back(pt.y);
        }
    }

    ToDevicePixels(pDC);
    devPage.NormalizeRect();
    if (!columns.empty() || !rows.empty()) {
        CPen dotted(PS_DOT, 1, kGridColor);
        CPen* pOld = pDC->SelectObject(&dotted);
        for (int x : columns)
            DeviceLine(pDC, CPoint(x, devPage.top), CPoint(x, devPage.bottom));
        for (int y : rows)
            DeviceLine(pDC, CPoint(devPage.left, y), CPoint(devPage.right, y));
        pDC->SelectObject(pOld);
    }
    CPen solid(PS_SOLID, 1, kGridColor);
    CPen* pOld = pDC->SelectObject(&solid);
    DeviceFrame(pDC, CRect(devPage.left, devPage.top, devPage.right - 1, devPage.bottom - 1));
    pDC->SelectObject(pOld);
}

void CSurface::DrawGuidelines(CDC* pDC)
{
    if (pDC == NULL)
        return;
    const CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL || !(pDoc->m_wDocFlags & CSurface::DocShowGuidelines))
        return;
    if (m_guidelines[0].GetSize() == 0 && m_guidelines[1].GetSize() == 0)
        return;
    // Positions count in tenths of a unit from the page's upper left corner.
    const CRect page = GetPageRect();
    std::vector<int> rows;
    std::vector<int> columns;
    // A position read from a file may lie anywhere; one beyond any
    // surface's reach is not drawn.
    auto units = [](DWORD dwPosition, int& nUnits) {
        if (dwPosition / 10 > DWORD(kMaxGuidelineUnits))
            return false;
        nUnits = static_cast<int>(dwPosition / 10);
        return true;
    };
    int nUnits = 0;
    for (INT_PTR i = 0; i < m_guidelines[0].GetSize(); ++i) {
        if (!units(m_guidelines[0][i], nUnits))
            continue;
        CPoint pt(page.left, page.top - nUnits);
        pDC->LPtoDP(&pt);
        rows.push_back(pt.y);
    }
    for (INT_PTR i = 0; i < m_guidelines[1].GetSize(); ++i) {
        if (!units(m_guidelines[1][i], nUnits))
            continue;
        CPoint pt(page.left + nUnits, page.top);
        pDC->LPtoDP(&pt);
        columns.push_back(pt.x);
    }

    // Across the whole client area; the dots start at the client's edge so
    // that a partial repaint continues them where they were.
    CRect client(0, 0, 0, 0);
    if (m_hWnd != NULL)
        GetClientRect(&client);
    client.OffsetRect(-g_paintOffset.x, -g_paintOffset.y);
    CDCStateSaver saver(pDC);
    ToDevicePixels(pDC);
    pDC->SetBkColor(pDoc->GetPaperColor());
    CPen dotted(PS_DOT, 1, kGuidelineColor);
    CPen* pOld = pDC->SelectObject(&dotted);
    for (int y : rows)
        DeviceLine(pDC, CPoint(client.left, y), CPoint(client.right, y));
    for (int x : columns)
        DeviceLine(pDC, CPoint(x, client.top), CPoint(x, client.bottom));
    pDC->SelectObject(pOld);
}

// ---- Printer margins, work area and the diagnostic corner ----------------------------------------

void CSurface::DrawWorkArea(CDC* pDC)
{
    const CDrawDoc* pDoc = GetDocument();
    if (pDC == NULL || pDoc == NULL)
        return;
    const CRect margins = pDoc->m_rectMargins;
    const CRect page = GetPageRect();
    const CRect printable(page.left + margins.left, page.top - margins.top, page.right - margins.right,
        page.bottom + margins.bottom);
    const COLORREF crMargin = pDoc->m_crMarginLine;
    const COLORREF crPaper = pDoc->GetPaperColor();

    CPoint corners[2] = {printable.TopLeft(), printable.BottomRight()};
    pDC->LPtoDP(corners, 2);
    const CRect dev(corners[0], corners[1]);

    CPoint suggested[2];
    const BOOL bSuggested = m_maxWorkSize.cx != 0 && m_maxWorkSize.cy != 0;
    if (bSuggested) {
        const int cx = std::clamp<int>(m_maxWorkSize.cx, -kMaxGuidelineUnits, kMaxGuidelineUnits);
        const int cy = std::clamp<int>(m_maxWorkSize.cy, -kMaxGuidelineUnits, kMaxGuidelineUnits);
        suggested[0] = printable.TopLeft();
        suggested[1] = CPoint(printable.left + cx, printable.top - cy);
        pDC->LPtoDP(suggested, 2);
    }

    CDCStateSaver saver(pDC);
    ToDevicePixels(pDC);
    CPen pen(PS_SOLID, 1, crMargin);
    CPen* pOldPen = pDC->SelectObject(&pen);
    // The last pixel of a line is left out: each side runs one pixel on.
    if (margins.left > 0)
        DeviceLine(pDC, CPoint(dev.left, dev.top), CPoint(dev.left, dev.bottom + 1));
    if (margins.top > 1)
        DeviceLine(pDC, CPoint(dev.left, dev.top), CPoint(dev.right + 1, dev.top));
    if (margins.bottom > 0)
        DeviceLine(pDC, CPoint(dev.left, dev.bottom), CPoint(dev.right + 1, dev.bottom));
    if (margins.right > 0)
        DeviceLine(pDC, CPoint(dev.right, dev.top), CPoint(dev.right, dev.bottom + 1));
    pDC->SelectObject(pOldPen);

    if (margins.bottom > 0) {
        DrawCentredLabel(pDC, LoadLabel(IDS_PRINTER_MARGIN, "Printer Margin"),
            CPoint(Midpoint(dev.left, dev.right), dev.bottom), crMargin, crPaper);
    }

    if (bSuggested) {
        CRect area(suggested[0], suggested[1]);
        area.NormalizeRect();
        CPen dotted(PS_DOT, 0, kSuggestedAreaColor);
        pOldPen = pDC->SelectObject(&dotted);
        pDC->SetBkColor(crPaper);
        DeviceFrame(pDC, area);
        pDC->SelectObject(pOldPen);
        DrawCentredLabel(pDC, "Suggested Work Area", CPoint(Midpoint(area.left, area.right), area.bottom),
            kSuggestedAreaColor, crPaper);
    }
}

void CSurface::DrawDiagnosticCorner(CDC* pDC)
{
    if (pDC == NULL)
        return;
    CDCStateSaver saver(pDC);
    ToDevicePixels(pDC);
    pDC->FillSolidRect(0, 0, kDiagBoxWidth, kDiagBoxHeight, RGB(255, 0, 0));
    if (m_selection.GetCount() == 1) {
        if (CDrawObj* pObj = AsDrawObj(m_selection.GetHead())) {
            // The class and the rectangle of the one selected object.
            const CRect& r = pObj->m_position;
            CString strText;
            strText.Format("%s (%d, %d, %d, %d)", pObj->GetRuntimeClass()->m_lpszClassName, int(r.left),
                int(r.top), int(r.right), int(r.bottom));
            const LOGFONT lf = LabelFont();
            CFont font;
            if (font.CreateFontIndirect(&lf)) {
                CFont* pOldFont = pDC->SelectObject(&font);
                pDC->SetTextColor(RGB(255, 255, 255));
                pDC->SetBkMode(TRANSPARENT);
                pDC->TextOut(2, 2, strText);
                pDC->SelectObject(pOldFont);
            }
        }
    }
    const COLORREF boxes[3] = {RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 0, 0)};
    for (int i = 0; i < 3; ++i)
        pDC->FillSolidRect(0, kDiagBoxHeight * (i + 1), kDiagBoxWidth, kDiagBoxHeight, boxes[i]);
}
