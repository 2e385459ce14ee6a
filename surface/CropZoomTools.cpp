// The crop tool and the zoom tool, with the zoom steps of a click and the
// zoom of a dragged band.

#include "surface/CropZoomTools.h"

#include "app/PrefData.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"

#include <algorithm>
#include <cmath>

namespace {

// XORs the focus rectangle of a band on the view's window.
void DrawBand(CSurface* pView, CPoint a, CPoint b)
{
    if (pView->m_hWnd == NULL)
        return;
    CClientDC dc(pView);
    const CRect band = BandRect(a, b);
    dc.DrawFocusRect(&band);
}

// The part two logical rectangles share, oriented like `like`; FALSE when
// they do not meet. (A logical rectangle with y up counts as empty to
// IsRectEmpty, so the answer cannot be the test.)
BOOL MeetLogical(const CRect& a, const CRect& b, const CRect& like, CRect* pMeet)
{
    CRect na = a;
    na.NormalizeRect();
    CRect nb = b;
    nb.NormalizeRect();
    CRect meet;
    if (!meet.IntersectRect(&na, &nb))
        return FALSE;
    if (pMeet != NULL)
        *pMeet = OrientRectLike(meet, like);
    return TRUE;
}

// The selection tool command, as the main window gets it from a menu.
void PostSelectionToolCommand(CSurface* pView)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != NULL && pMain->m_hWnd != NULL)
        pMain->PostMessage(WM_COMMAND, ID_ARRANGE_SELECT_TOOL, 0);
    else if (pView != NULL && pView->m_hWnd != NULL)
        pView->PostMessage(WM_COMMAND, ID_ARRANGE_SELECT_TOOL, 0);
}

HCURSOR ZoomCursor()
{
    static HCURSOR s_hCursor = NULL;
    if (s_hCursor == NULL)
        s_hCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kCursorZoom));
    return s_hCursor;
}

} // namespace

// ---- Zoom steps --------------------------------------------------------------------------------

WORD NextZoomStep(int nZoom, BOOL bIn)
{
    if (nZoom <= 0)
        return bIn ? 50 : 25;
    struct Step {
        int nUpTo;
        WORD nIn;
        WORD nOut;
    };
    static constexpr Step kSteps[] = {
        {24, 25, 25}, {25, 50, 25}, {50, 75, 25}, {75, 100, 50}, {100, 150, 75}, {150, 200, 100}, {200, 500, 150}};
    for (const Step& step : kSteps) {
        if (nZoom <= step.nUpTo)
            return bIn ? step.nIn : step.nOut;
    }
    return bIn ? 500 : 200;
}

WORD ZoomForBand(double bw, double bh, int cw, int ch, int tx, int ty)
{
    bw = std::fabs(bw);
    bh = std::fabs(bh);
    // A band without extent would divide by zero: it is as small as a band
    // can be, so the view zooms as far as it goes.
    if (!(bw > 0.0) || !(bh > 0.0) || cw <= 0 || ch <= 0)
        return CSurface::kMaxZoom;
    const double twipsX = std::max(1, tx);
    const double twipsY = std::max(1, ty);
    const double zx = 7.0 / ((bw / cw) * 100.0 / twipsX) * 100.0;
    const double zy = 7.0 / ((bh / ch) * 100.0 / twipsY) * 100.0;
    const double z = std::min(zx, zy) * 0.95;
    // Clamped in floating point: a huge quotient must not overflow the
    // conversion.
    if (!(z >= 2.0))
        return 1;
    if (z > 499.0)
        return CSurface::kMaxZoom;
    return static_cast<WORD>(z);
}

// ---- Crop fractions ----------------------------------------------------------------------------

void SyncCropFractions(CDrawObj* pObj)
{
    CSurface* pView = pObj != NULL ? pObj->GetSurface() : NULL;
    if (pView == NULL || pView->m_hWnd == NULL)
        return;
    if (!(pObj->m_wFlags & OBJ_FLAG_CROPPED)) {
        pObj->m_dCropLeft = pObj->m_dCropTop = 0.0;
        pObj->m_dCropWidth = pObj->m_dCropHeight = 1.0;
        return;
    }
    CRect full = pObj->m_rectUncropped;
    CRect shown = pObj->m_position;
    pView->LPtoDPRect(&full);
    pView->LPtoDPRect(&shown);
    if (full.Width() <= 0 || full.Height() <= 0)
        return;
    // The same rule as the object's whole-picture rectangle: on an axis
    // where the object shows in its normal order the offset runs from the
    // far side.
    const double fw = double(shown.Width()) / full.Width();
    const double fh = double(shown.Height()) / full.Height();
    double fx = double(shown.left - full.left) / full.Width();
    double fy = double(shown.top - full.top) / full.Height();
    if (pObj->IsOrientedX())
        fx = 1.0 - fx - fw;
    if (pObj->IsOrientedY())
        fy = 1.0 - fy - fh;
    pObj->m_dCropLeft = fx - pObj->m_dBaseLeft;
    pObj->m_dCropTop = fy - pObj->m_dBaseTop;
    pObj->m_dCropWidth = fw - pObj->m_dBaseWidth;
    pObj->m_dCropHeight = fh - pObj->m_dBaseHeight;
}

// ---- The crop tool -----------------------------------------------------------------------------

CCropTool::CCropTool()
    : CSurfaceTool(kShapeCrop)
{
}

void CCropTool::Forget()
{
    m_pView = nullptr;
    m_hView = NULL;
    m_pObj = nullptr;
    m_nSerial = 0;
}

CDrawObj* CCropTool::GetCropObject(CSurface* pView)
{
    if (m_pObj == nullptr)
        return NULL;
    // The view first: only a view that still has its window may be asked
    // about its list.
    if (m_hView == NULL || !::IsWindow(m_hView) || CWnd::FromHandlePermanent(m_hView) != m_pView) {
        Forget();
        return NULL;
    }
    if (m_pView->GetObjects().Find(m_pObj) == NULL || m_pObj->m_nSerial != m_nSerial) {
        Forget();
        return NULL;
    }
    return pView == m_pView ? m_pObj : NULL;
}

void CCropTool::Begin(CSurface* pView, CDrawObj* pObj)
{
    m_pView = pView;
    m_hView = pView->m_hWnd;
    m_pObj = pObj;
    m_nSerial = pObj->m_nSerial;
    m_start = GetPictureCropState(pObj);
    m_rectUncroppedBefore = m_start.uncropped;
    if (!m_start.bCropped)
        m_start.uncropped = m_start.position;
    pObj->SetPictureCropped(TRUE, TRUE);
}

void CCropTool::ApplyCrop(CSurface* pView, CDrawObj* pObj, const CRect& rect)
{
    pView->InvalidateObjectRect(pObj);
    pObj->SetPictureCropped(TRUE, FALSE);
    pObj->m_rectUncropped = m_start.uncropped;
    pObj->m_position = rect;
    pObj->m_rectUnrotated = rect;
    pObj->FreeRenderCache();
    SyncCropFractions(pObj);
    if (pObj->m_pDocument != nullptr)
        pObj->m_pDocument->SetModifiedFlag(TRUE);
    pView->InvalidateObjectRect(pObj);
    if (pView->m_hWnd != NULL)
        pView->SetFocus();
}

void CCropTool::OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point)
{
    CDrawObj* pObj = pView->GetFirstSelected();
    if (pObj == NULL)
        return;
    const CPoint p = ToLogical(pView, point);
    g_nSelectMode = SelectModeNone;
    if (GetCropObject(pView) == NULL)
        Begin(pView, pObj);
    g_nDragHandle = HitTestHandle(pObj, p, pView);
    // The rotation handle turns nothing here: a crop only moves edges.
    if (g_nDragHandle == kRotateHandle)
        g_nDragHandle = 0;
    if (g_nDragHandle > 0) {
        SetSurfaceCursor(kCursorCropHandle);
        g_nSelectMode = SelectModeSize;
        pView->RequestRedraw();
    }
    g_lastLocalPoint = p;
    CSurfaceTool::OnLButtonDown(pView, nFlags, point);
    g_cropAnchor[0] = g_cropAnchor[1] = point;
}

void CCropTool::OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)pView;
    (void)nFlags;
    (void)point;
}

void CCropTool::OnMouseMove(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)nFlags;
    CDrawObj* pObj = pView->GetFirstSelected();
    if (pObj == NULL)
        return;
    if (pView->m_hWnd != NULL && ::GetCapture() == pView->m_hWnd) {
        const CPoint p = ToLogical(pView, point);
        if (g_nDragHandle > 0)
            pObj->MoveHandleTo(g_nDragHandle, p, pView);
        else if (point != g_downPoint && pObj->m_bCropMode) {
            if (g_lastPoint != g_downPoint)
                DrawBand(pView, g_downPoint, g_lastPoint);
            DrawBand(pView, g_downPoint, point);
        }
        g_lastLocalPoint = p;
        g_lastPoint = point;
        return;
    }
    if (g_nCurrentShape == kShapeCrop && pView->GetSingleSelection() != NULL) {
        const int nHandle = HitTestHandle(pObj, ToLogical(pView, point), pView);
        SetSurfaceCursor(nHandle > 0 && nHandle != kRotateHandle ? kCursorCropHandle : kCursorCrop);
    }
}

void CCropTool::OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)nFlags;
    if (pView->m_hWnd == NULL || ::GetCapture() != pView->m_hWnd)
        return;
    g_cropAnchor[0] = g_cropAnchor[1] = CPoint(-1, -1);
    m_nHandleHit = 0;
    if (CDrawObj* pObj = pView->GetFirstSelected()) {
        pObj->m_bPressed = FALSE;
        BOOL bBand = FALSE;
        if (point != g_downPoint && pObj->m_bCropMode && g_nSelectMode == SelectModeNone) {
            if (g_lastPoint != g_downPoint)
                DrawBand(pView, g_downPoint, g_lastPoint);
            CRect band = BandRect(point, g_downPoint);
            pView->DPtoLPRect(&band);
            bBand = MeetLogical(band, pObj->m_position, pObj->m_position, NULL);
        }
        g_lastPoint = point;
        if (g_nSelectMode == SelectModeNone) {
            if (bBand) {
                Complete(pView);
            } else {
                CDrawObj* pUnder = pView->HitTestObject(ToLogical(pView, point));
                CDrawObj* pCropped = GetCropObject(pView);
                if (pUnder == NULL || pCropped == NULL || pCropped != pView->GetSingleSelection())
                    Undo(pView);
                else
                    Complete(pView);
            }
        }
        if (pView->GetSelection().Find(pObj) != NULL) {
            pObj->m_bCropMode = FALSE;
            pView->InvalidateObjectRect(pObj);
        }
        pView->FlushRedraw();
        if (CDrawDoc* pDoc = pView->GetDocument())
            pDoc->UpdateAllViews(pView, CSurface::HintPaperColor, NULL);
    }
    SetSurfaceCursor(kCursorCrop);
    ::ReleaseCapture();
}

void CCropTool::Complete(CSurface* pView)
{
    CDrawObj* pObj = pView->GetFirstSelected();
    if (pObj != NULL && g_lastPoint != g_downPoint && pObj->m_bCropMode) {
        CRect band = BandRect(g_downPoint, g_lastPoint);
        pView->DPtoLPRect(&band);
        CRect meet;
        if (MeetLogical(band, pObj->m_position, pObj->m_position, &meet)) {
            if (GetCropObject(pView) != pObj)
                Begin(pView, pObj);
            ApplyCrop(pView, pObj, meet);
        }
    }
    // A crop made by the handles alone is kept as it stands; the dialog
    // then shows it too.
    if (pObj != NULL && GetCropObject(pView) == pObj)
        SyncCropFractions(pObj);
    PostSelectionToolCommand(pView);
    KeepCrop(pView);
}

void CCropTool::OnCancel(CSurface* pView)
{
    if (pView != NULL) {
        if (CDrawObj* pObj = GetCropObject(pView))
            Restore(pView, pObj);
    }
    CSurfaceTool::OnCancel(pView);
}

void CCropTool::KeepCrop(CSurface* pView)
{
    if (CDrawObj* pObj = GetCropObject(pView)) {
        PictureCropState before = m_start;
        before.uncropped = m_rectUncroppedBefore;
        // A crop that changed nothing leaves no step, and nothing of its
        // own either (the cropped mark the tool set as it began).
        if (GetPictureCropState(pObj).ShowsSame(before) && Restore(pView, pObj))
            return;
        RecordUndoCropState(pView->GetDocument(), pObj, before);
    }
    Forget();
}

void CCropTool::ApplyBandCrop(CSurface* pView, const CRect& band)
{
    CDrawObj* pObj = pView->GetFirstSelected();
    if (pObj == NULL || !pObj->HasPicture())
        return;
    if (GetCropObject(pView) != pObj)
        Begin(pView, pObj);
    const CRect whole = pObj->IsPictureCropped() ? pObj->m_rectUncropped : pObj->m_position;
    CRect meet;
    if (MeetLogical(band, whole, pObj->m_position, &meet))
        ApplyCrop(pView, pObj, meet);
}

BOOL CCropTool::Restore(CSurface* pView, CDrawObj* pObj)
{
    if (pObj == NULL || GetCropObject(pView) != pObj)
        return FALSE;
    pView->InvalidateObjectRect(pObj);
    pObj->m_position = m_start.position;
    pObj->m_rectUnrotated = m_start.unrotated;
    pObj->m_rectUncropped = m_rectUncroppedBefore;
    pObj->SetPictureCropped(m_start.bCropped, FALSE);
    pObj->m_dCropLeft = m_start.crop[0];
    pObj->m_dCropTop = m_start.crop[1];
    pObj->m_dCropWidth = m_start.crop[2];
    pObj->m_dCropHeight = m_start.crop[3];
    pObj->FreeRenderCache();
    pView->InvalidateObjectRect(pObj);
    Forget();
    return TRUE;
}

void CCropTool::Undo(CSurface* pView)
{
    CDrawObj* pObj = GetCropObject(pView);
    if (pObj == NULL)
        return;
    pView->InvalidateObjectRect(pObj);
    const CRect cropNow = pObj->IsPictureCropped() ? pObj->m_rectUncropped : pObj->m_position;
    if (pObj->m_position == m_start.position && cropNow == m_start.uncropped) {
        // Nothing was changed; a picture the crop only marked as cropped
        // is marked uncropped again.
        if (pObj->m_rectUncropped == pObj->m_position) {
            pObj->m_wFlags &= ~WORD(OBJ_FLAG_CROPPED);
            pObj->SetPictureCropped(FALSE, FALSE);
        }
        pView->InvalidateObjectRect(pObj);
        Forget();
    } else {
        Restore(pView, pObj);
    }
    PostSelectionToolCommand(pView);
}

// ---- The zoom tool -----------------------------------------------------------------------------

CZoomTool::CZoomTool()
    : CSurfaceTool(kShapeZoom)
{
}

void CZoomTool::OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point)
{
    m_bDragging = TRUE;
    CSurfaceTool::OnLButtonDown(pView, nFlags, point);
}

void CZoomTool::OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)pView;
    (void)nFlags;
    (void)point;
}

void CZoomTool::OnMouseMove(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)nFlags;
    SetSurfaceCursor(ZoomCursor());
    if (m_bDragging) {
        if (g_lastPoint != g_downPoint)
            DrawBand(pView, g_downPoint, g_lastPoint);
        if (point != g_downPoint)
            DrawBand(pView, g_downPoint, point);
    }
    // The base move would put the cursor of the object under the pointer
    // over the zoom cursor; only its record of the point is wanted.
    g_lastPoint = point;
}

void CZoomTool::OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point)
{
    const BOOL bWasDragging = m_bDragging;
    m_bDragging = FALSE;
    if (bWasDragging && g_lastPoint != g_downPoint)
        DrawBand(pView, g_downPoint, g_lastPoint);
    g_lastPoint = point;
    CDrawDoc* pDoc = pView->GetDocument();
    const CRect band = BandRect(g_downPoint, g_lastPoint);
    if (pDoc != NULL && bWasDragging) {
        const WORD nZoom = pView->GetZoom();
        if (band.Width() == 0 && band.Height() == 0) {
            const UINT nKeys = nFlags & (MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
            if (nKeys == MK_SHIFT || nKeys == 0) {
                pDoc->m_nZoomCompanion = 0;
                pView->SetZoom(NextZoomStep(pDoc->GetZoom() == ZOOM_FIT ? 0 : nZoom, nKeys == 0));
                pDoc->UpdateAllViews(NULL, CSurface::HintDocSettings, NULL);
            }
        } else if (pView->m_hWnd != NULL) {
            CRect logical = band;
            pView->DPtoLPRect(&logical);
            CRect client;
            pView->GetClientRect(&client);
            int nPixelsX = 96;
            int nPixelsY = 96;
            {
                CClientDC dc(pView);
                nPixelsX = std::max(1, dc.GetDeviceCaps(LOGPIXELSX));
                nPixelsY = std::max(1, dc.GetDeviceCaps(LOGPIXELSY));
            }
            const WORD nNew = ZoomForBand(logical.Width(), logical.Height(), client.Width(), client.Height(),
                1440 / nPixelsX, 1440 / nPixelsY);
            pDoc->m_nZoomCompanion = 0;
            pView->SetZoom(nNew);
            pDoc->UpdateAllViews(NULL, CSurface::HintDocSettings, NULL);
            // The band's centre comes to the middle of the window.
            pView->SendMessage(WM_SETREDRAW, FALSE, 0);
            CPoint centre((logical.left + logical.right) / 2, (logical.top + logical.bottom) / 2);
            pView->LPtoDPPoint(&centre);
            pView->GetClientRect(&client);
            const CPoint offset(centre.x - client.Width() / 2, centre.y - client.Height() / 2);
            pView->ScrollToPosition(pView->GetScrollPosition() + offset);
            pView->SendMessage(WM_SETREDRAW, TRUE, 0);
            pView->Invalidate(TRUE);
            pDoc->UpdateAllViews(NULL, CSurface::HintDocSettings, NULL);
        }
    }
    CSurfaceTool::OnLButtonUp(pView, nFlags, point);
}
