// The selection tool: a press selects (Shift adds), starts a move of the
// selection or a drag of a handle, or starts a rubber band; moves follow
// the mouse exactly and the release snaps once, records the undo step and,
// for a band, offers the band's menu. The drawing tools use its press, move
// and release for their dragging.

#include "surface/SurfaceTool.h"

#include "app/FontHelpers.h"
#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawObjTracking.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Sounds of the editing steps.
constexpr int kSoundHandle = 20;
constexpr int kSoundMove = 6;

// A band must be larger than this (pixels) one way to offer its menu.
constexpr int kBandThreshold = 10;

// The edit-text command the view answers by starting to type into the one
// selected text object.
constexpr UINT kEditSelectionText = 33065;

void DrawBand(CSurface* pView, const CRect& band)
{
    CClientDC dc(pView);
    dc.DrawFocusRect(&band);
}

template <typename Fn>
void ForEachSelected(CSurface* pView, Fn&& fn)
{
    CObList& selection = pView->GetSelection();
    for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
        if (auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos)))
            fn(pObj);
    }
}

// Deselects the selected objects one by one from the head.
void DeselectEach(CSurface* pView)
{
    CObList& selection = pView->GetSelection();
    CObList copy;
    copy.AddTail(&selection);
    for (POSITION pos = copy.GetHeadPosition(); pos != NULL;) {
        if (auto* pObj = dynamic_cast<CDrawObj*>(copy.GetNext(pos)))
            pView->Deselect(pObj);
    }
    // Whatever was no drawing object goes as well.
    selection.RemoveAll();
}

BOOL AnyTextEditActive(CSurface* pView)
{
    BOOL bActive = FALSE;
    ForEachSelected(pView, [&](CDrawObj* pObj) { bActive = bActive || pObj->IsTextEditActive(); });
    return bActive;
}

// The band of a text placement grows to hold at least one character of the
// default text font: its average width plus 16 pixels across, its height
// plus 8 down.
void GrowBandForText(CSurface* pView, CRect& band)
{
    int cxMin = 150;
    int cyMin = 32;
    CFont font;
    if (font.CreateFontIndirect(&thePrefs.DefaultFont)) {
        CClientDC dc(pView);
        CFont* pOld = dc.SelectObject(&font);
        TEXTMETRIC tm{};
        if (dc.GetTextMetrics(&tm)) {
            cxMin = tm.tmAveCharWidth + 16;
            cyMin = tm.tmHeight + 8;
        }
        dc.SelectObject(pOld);
    }
    if (band.Width() < cxMin)
        band.right = band.left + cxMin;
    if (band.Height() < cyMin)
        band.bottom = band.top + cyMin;
}

// The frames of the selected objects as the last press on a handle found
// them, before the drag changed anything: the undo steps of a turn or a
// sizing put them back whole.
std::vector<std::pair<const CDrawObj*, ObjectFrame>> s_pressFrames;

void KeepPressFrames(CSurface* pView)
{
    s_pressFrames.clear();
    CObList& selection = pView->GetSelection();
    for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
        if (const auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos)))
            s_pressFrames.emplace_back(pObj, GetObjectFrame(pObj));
    }
}

} // namespace

const ObjectFrame* PressFrameOf(const CDrawObj* pObj)
{
    for (const auto& [pKept, frame] : s_pressFrames) {
        if (pKept == pObj)
            return &frame;
    }
    return NULL;
}

CSelectionTool::CSelectionTool()
    : CSurfaceTool(kShapeSelect)
{
}

// ---- Press -------------------------------------------------------------------------------------

void CSelectionTool::OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point)
{
    ResetHandleDrag();
    const CPoint p = ToLogical(pView, point);
    const BOOL bShift = (nFlags & MK_SHIFT) != 0;
    g_nSelectMode = SelectModeNone;
    const CPoint anchor = g_nCurrentShape == kShapeCrop ? point : CPoint(-1, -1);
    g_cropAnchor[0] = g_cropAnchor[1] = anchor;
    g_nDragHandle = 0;
    m_bDragStartKept = FALSE;
    s_pressFrames.clear();

    CObList& selection = pView->GetSelection();
    const BOOL bPlacingText = IsTextEditMode();
    if (bPlacingText) {
        DeselectEach(pView);
    }

    if (!bPlacingText && !selection.IsEmpty()) {
        ForEachSelected(pView, [](CDrawObj* pObj) { pObj->m_nHitHandle = 0; });
        g_nHitObjectIndex = 0;
        CDrawObj* pHit = NULL;
        for (POSITION pos = selection.GetHeadPosition(); pos != NULL && pHit == NULL;) {
            auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos));
            if (pObj == NULL)
                continue;
            pObj->Invalidate();
            g_nDragHandle = HitTestHandle(pObj, p, pView);
            if (g_nDragHandle > 0) {
                g_handleHitPoint = p;
                pObj->m_nHitHandle = g_nDragHandle;
                pHit = pObj;
            } else {
                ++g_nHitObjectIndex;
            }
        }
        if (pHit != NULL) {
            g_nSelectMode = SelectModeSize;
            if (g_nDragHandle != kRotateHandle) {
                m_rectDragStart = pHit->m_position;
                m_bDragStartKept = TRUE;
                g_savedDragRect = pHit->IsPictureCropped() ? pHit->m_rectUncropped : pHit->m_position;
            }
            KeepPressFrames(pView);
            ForEachSelected(pView, [&](CDrawObj* pObj) {
                // The saved rectangle of a cropped picture is its whole
                // picture's: overwriting it would lose the crop.
                if (!pObj->IsPictureCropped() && !(pObj->m_wFlags & OBJ_FLAG_CROPPED))
                    pObj->m_rectUncropped = pObj->m_position;
                if (g_nDragHandle == kRotateHandle)
                    pObj->m_wFlags |= OBJ_FLAG_DRAGGING;
            });
            if (g_nDragHandle == kRotateHandle)
                KeepTurnStart(pView);
            pView->RequestRedraw();
            PlayToolSound(kSoundHandle);
        }
    }

    if (!bPlacingText && g_nDragHandle == 0) {
        CDrawObj* pObj = pView->HitTestObject(p);
        if (pObj == NULL) {
            ClearCalendarCellHits(pView);
        } else if (pObj->m_wFlags & OBJ_FLAG_LOCKED) {
            // Selected, never dragged: the press ends here.
            pView->m_bHitSelection = TRUE;
            if (!pView->IsSelected(pObj)) {
                pView->m_bNewlySelected = TRUE;
                pView->Select(pObj, bShift && g_nSelectMode != SelectModeText);
            }
            return;
        } else {
            pView->m_bHitSelection = TRUE;
            // The text tool types into text, and into a calendar's cells.
            if (g_nCurrentShape == kShapeText
                && (pObj->HasText() || pObj->HitTestCalendarCell(p, pView, TRUE, FALSE) > 0)) {
                g_nSelectMode = SelectModeText;
            } else {
                PlayToolSound(kSoundMove);
                g_nSelectMode = SelectModeMove;
                m_ptMoveStart = p;
            }
            if (!pView->IsSelected(pObj)) {
                pView->m_bNewlySelected = TRUE;
                pView->Select(pObj, bShift && g_nSelectMode != SelectModeText);
            }
            ClearCalendarCellHits(pView);
            if (pObj->HitTestCalendarCell(p, pView, TRUE, TRUE) > 0)
                pObj->m_bCellHit = TRUE;
            if (g_nSelectMode == SelectModeText) {
                pObj->BeginTextEdit();
                pObj->TextLButtonDown(nFlags, point);
            } else {
                if (nFlags & MK_CONTROL)
                    pView->CloneObjects(NULL);
                ForEachSelected(pView, [](CDrawObj* pEach) { pEach->m_wFlags |= OBJ_FLAG_DRAGGING; });
                pView->RequestRedraw();
            }
        }
    }

    if (g_nSelectMode == SelectModeNone) {
        if (!bShift)
            pView->Select(NULL, FALSE);
        g_nSelectMode = SelectModeRubberBand;
        DrawBand(pView, CRect(point, point));
    }

    if (g_nSelectMode == SelectModeMove) {
        CDrawObj* pSingle = pView->GetSingleSelection();
        if (pSingle != NULL && pSingle->HitTestCalendarCell(p, pView, TRUE, FALSE) > 0)
            SetSurfaceCursor(kCursorArrow);
        else
            SetSurfaceCursor(pSingle != NULL ? kCursorMoving : kCursorArrow);
    }
    g_lastLocalPoint = p;
    CSurfaceTool::OnLButtonDown(pView, nFlags, point);
}

// ---- Move --------------------------------------------------------------------------------------

void CSelectionTool::OnMouseMove(CSurface* pView, UINT nFlags, CPoint point)
{
    if (AnyTextEditActive(pView))
        return;
    const CPoint p = ToLogical(pView, point);
    const BOOL bSelectOrText = g_nCurrentShape == kShapeSelect || g_nCurrentShape == kShapeText;

    if (::GetCapture() != pView->m_hWnd) {
        if (!bSelectOrText)
            return;
        CObList& selection = pView->GetSelection();
        CDrawObj* pUnder = selection.IsEmpty() ? NULL : pView->HitTestObject(p);
        for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
            auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos));
            if (pObj == NULL)
                continue;
            const int nHandle = HitTestHandle(pObj, p, pView);
            if (nHandle > 0 && !pObj->m_bCellHit) {
                SetSurfaceCursor(pObj->GetHandleCursor(nHandle));
                return;
            }
            if (pUnder == pObj) {
                const BOOL bEditable = (pObj->HasText() || pObj->HitTestCalendarCell(p, pView, TRUE, FALSE) > 0)
                    && !(pObj->m_wFlags & OBJ_FLAG_LOCKED);
                if (g_nCurrentShape == kShapeText)
                    SetSurfaceCursor(bEditable ? kCursorIBeam : kCursorCross);
                else if (pObj->HitTestCalendarCell(p, pView, TRUE, FALSE) <= 0)
                    SetSurfaceCursor(kCursorMove);
                else
                    SetSurfaceCursor(kCursorArrow);
                return;
            }
            SetSurfaceCursor(kCursorArrow);
        }
        CSurfaceTool::OnMouseMove(pView, nFlags, point);
        return;
    }

    CDrawObj* pSingle = pView->GetSingleSelection();
    switch (g_nSelectMode) {
    case SelectModeRubberBand:
        DrawBand(pView, BandRect(g_downPoint, g_lastPoint));
        DrawBand(pView, BandRect(g_downPoint, point));
        CSurfaceTool::OnMouseMove(pView, nFlags, point);
        break;
    case SelectModeText:
        if (CDrawObj* pFirst = pView->GetFirstSelected())
            pFirst->TextMouseMove(nFlags, point);
        break;
    case SelectModeMove:
        if (pSingle != NULL && (pSingle->m_bCellHit || !pView->m_bButtonDown)
            && pSingle->HitTestCalendarCell(p, pView, TRUE, FALSE) > 0) {
            g_nSelectMode = SelectModeNone;
            break;
        }
        OffsetObjects(pView, pView->GetSelection(), p - g_lastLocalPoint);
        break;
    case SelectModeSize:
        if (g_nDragHandle <= 0)
            break;
        if (pSingle != NULL && pSingle->m_bCellHit) {
            g_nSelectMode = SelectModeNone;
            SetSurfaceCursor(kCursorArrow);
            break;
        }
        {
            // The object whose handle is held leads a drag of several: the
            // others follow the sides it moves.
            CObList& selection = pView->GetSelection();
            CObject* pLead = NULL;
            if (POSITION posLead = selection.FindIndex(g_nHitObjectIndex)) {
                pLead = selection.GetAt(posLead);
                if (auto* pObj = dynamic_cast<CDrawObj*>(pLead))
                    pObj->MoveHandleTo(g_nDragHandle, p, pView);
            }
            for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
                CObject* pEach = selection.GetNext(pos);
                if (pEach == pLead)
                    continue;
                if (auto* pObj = dynamic_cast<CDrawObj*>(pEach))
                    pObj->MoveHandleTo(g_nDragHandle, p, pView);
            }
        }
        break;
    default:
        break;
    }

    g_lastLocalPoint = p;
    g_lastPoint = point;
    if (g_nSelectMode == SelectModeSize && g_nCurrentShape == kShapeSelect) {
        if (CDrawObj* pFirst = pView->GetFirstSelected())
            SetSurfaceCursor(pFirst->GetHandleCursor(g_nDragHandle));
    } else if (g_nCurrentShape == kShapeSelect && g_nSelectMode != SelectModeMove
        && g_nSelectMode != SelectModeRubberBand) {
        CSurfaceTool::OnMouseMove(pView, nFlags, point);
    }
}

// ---- Release -----------------------------------------------------------------------------------

namespace {

// Places a new text object in the band of the Edit Text tool and starts
// typing into it.
void PlaceTextInBand(CSurface* pView)
{
    CRect band = BandRect(g_downPoint, g_lastPoint);
    DrawBand(pView, band);
    SetCurrentShape(pView, kShapeSelect);
    GrowBandForText(pView, band);
    pView->DPtoLPRect(&band);
    band = CDrawObj::NormalizeUp(band);
    pView->Select(NULL, FALSE);

    CDrawObj* pObj = MakeTextObject(band, "New text block.", NewTextFont::Plain);

    CDrawDoc* pDoc = pView->GetDocument();
    pView->Add(pObj);
    CDrawObj* pRecorded = pObj;
    RecordUndoCreate(pDoc, &pRecorded, 0);
    pView->Select(pObj, FALSE);
    if (::GetCapture() == pView->m_hWnd)
        ::ReleaseCapture();
    SetTextEditMode(FALSE);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_SURFACE_SELCHANGED, 0, 0);
    pView->PostMessage(WM_COMMAND, MAKEWPARAM(kEditSelectionText, 0), 0);
}

} // namespace

void CSelectionTool::OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point)
{
    if (::GetCapture() != pView->m_hWnd) {
        CSurfaceTool::OnLButtonUp(pView, nFlags, point);
        return;
    }
    const CPoint p = ToLogical(pView, point);
    CDrawDoc* pDoc = pView->GetDocument();
    switch (g_nSelectMode) {
    case SelectModeRubberBand:
        if (IsTextEditMode()) {
            PlaceTextInBand(pView);
            break;
        }
        {
            const CRect band = BandRect(g_downPoint, g_lastPoint);
            DrawBand(pView, band);
            SetTextEditMode(FALSE);
            if (band.Width() > 0 && band.Height() > 0
                && (band.Width() > kBandThreshold || band.Height() > kBandThreshold)) {
                // The menu takes the mouse for itself.
                ::ReleaseCapture();
                ShowBandMenu(pView, point);
            }
        }
        break;
    case SelectModeMove: {
        CDrawObj* pSingle = pView->GetSingleSelection();
        // A click on a calendar's cell selects the cell; it moves nothing.
        if (pSingle != NULL && pSingle->m_bCellHit && pSingle->HitTestCalendarCell(p, pView, TRUE, FALSE) > 0)
            break;
        g_bFinalMove = TRUE;
        SetToolTracking(TRUE);
        const CPoint s = SnapDragPoint(pView, p);
        // Offset even when nothing snapped: the release may come where no
        // mouse move went, and the undo step records the whole way.
        OffsetObjects(pView, pView->GetSelection(), s - g_lastLocalPoint);
        g_lastLocalPoint = s;
        pView->CheckObjectExtent(NULL);
        pView->InvalidateIfExtentChanged();
        RecordUndoMove(pDoc, &pView->GetSelection(), s.x - m_ptMoveStart.x, s.y - m_ptMoveStart.y);
        pView->FlushRedraw();
        SetToolTracking(FALSE);
        g_bFinalMove = FALSE;
        if (pDoc != NULL)
            pDoc->UpdateAllViews(pView, 0, NULL);
        SetSurfaceCursor(kCursorMove);
        break;
    }
    case SelectModeSize:
        if (m_bDragStartKept) {
            CObList& selection = pView->GetSelection();
            if (CDrawObj* pSingle = pView->GetSingleSelection()) {
                CDrawObj* pObj = pSingle;
                // The frame comes back whole, as the press found it.
                if (const ObjectFrame* pFrame = PressFrameOf(pObj))
                    RecordUndoPictureSize(pDoc, pObj, *pFrame);
                else
                    RecordUndoResize(pDoc, &pObj, m_rectDragStart, &g_savedDragRect);
            } else if (!selection.IsEmpty()) {
                RecordUndoSizeSelection(pDoc, &selection, m_rectDragStart, PressFrameOf);
            }
            m_rectDragStart.SetRectEmpty();
            m_bDragStartKept = FALSE;
        }
        // A handle dragged past the page grows the scrolled area.
        pView->InvalidateIfExtentChanged();
        pView->FlushRedraw();
        break;
    default:
        if (g_nSelectMode != SelectModeNone) {
            if (pDoc != NULL)
                pDoc->UpdateAllViews(pView, 0, NULL);
        } else {
            pView->FlushRedraw();
        }
        break;
    }
    CSurfaceTool::OnLButtonUp(pView, nFlags, point);
}

// ---- Double click ------------------------------------------------------------------------------

void CSelectionTool::OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point)
{
    const CPoint p = ToLogical(pView, point);
    if (nFlags & MK_SHIFT) {
        if (CDrawObj* pObj = pView->HitTestObject(p))
            pView->Deselect(pObj);
    } else if (CDrawObj* pSingle = pView->GetSingleSelection()) {
        if (!(pSingle->m_wFlags & OBJ_FLAG_LOCKED)) {
            const BOOL bCell = pSingle->HitTestCalendarCell(p, pView, TRUE, FALSE) > 0;
            pSingle->OnOpen(pView, CDrawObj::EditByContent, NULL, NULL, bCell ? 1 : 0);
        }
    }
    // The release that follows comes here. Taken only now: a dialog the
    // object opened must have the mouse while it runs.
    pView->SetCapture();
    CSurfaceTool::OnLButtonDblClk(pView, nFlags, point);
}

// ---- The band's menu ---------------------------------------------------------------------------

void CSelectionTool::ShowBandMenu(CSurface* pView, CPoint point)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_BAND_MENU))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (pPopup == NULL)
        return;
    CRect band = BandRect(g_downPoint, g_lastPoint);
    pView->DPtoLPRect(&band);
    if (pView->CountObjectsInRect(band) == 0) {
        // "&Select" and the separator under it.
        pPopup->RemoveMenu(0, MF_BYPOSITION);
        pPopup->RemoveMenu(0, MF_BYPOSITION);
    }
    CPoint screen = point;
    pView->ClientToScreen(&screen);
    CWnd* pOwner = pView->GetParentFrame();
    if (pOwner == NULL)
        pOwner = pView;
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, pOwner);
}
