// The view's commands that place the selection against the page, the work
// area or the first selected object: align, centre, same size, maximise,
// and Tab and Shift+Tab through the objects in reading order.
#include "surface/Surface.h"

#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/base/Arithmetic.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSoundMaximize = 18;

// The kinds of AlignObjects.
enum AlignKind : int {
    AlignLeftEdges = 0,
    AlignTopEdges = 1,
    AlignRightEdges = 2,
    AlignBottomEdges = 3,
    AlignCentresAcross = 4,
    AlignCentresDown = 5,
};

// The kinds of MakeSameSize.
enum SameSizeKind : int {
    SameWidth = 0,
    SameHeight = 1,
    SameBoth = 2,
};

BOOL IsLocked(const CDrawObj* pObj)
{
    return (pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0;
}

BOOL FitsInt(long long n)
{
    return n >= INT_MIN && n <= INT_MAX;
}

// The rectangle moved by (dx, dy); FALSE, leaving out untouched, when an
// edge would leave the coordinate range (objects read from a file may lie
// anywhere in it).
BOOL OffsetWithinRange(const CRect& rect, long long dx, long long dy, CRect& out)
{
    const long long l = rect.left + dx;
    const long long r = rect.right + dx;
    const long long t = rect.top + dy;
    const long long b = rect.bottom + dy;
    if (!FitsInt(l) || !FitsInt(r) || !FitsInt(t) || !FitsInt(b))
        return FALSE;
    out = CRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b));
    return TRUE;
}

// Moves an object and its unrotated rectangle together through MoveTo; a
// locked object refuses and keeps both.
void MoveObjectBy(CDrawObj* pObj, CSurface* pView, long long dx, long long dy)
{
    CRect position;
    CRect unrotated;
    if (!OffsetWithinRange(pObj->m_position, dx, dy, position)
        || !OffsetWithinRange(pObj->m_rectUnrotated, dx, dy, unrotated))
        return;
    pObj->MoveTo(position, pView, -1, &unrotated);
}

// How far an alignment moves a rectangle. Halves truncate towards zero, so
// that a reversed rectangle lands where a normal one of the same place does.
CSize AlignmentOffset(int nKind, int nCoord, int nExtent, const CRect& r, BOOL* pValid)
{
    const long long l = r.left;
    const long long t = r.top;
    const long long rr = r.right;
    const long long b = r.bottom;
    const long long c = nCoord;
    long long dx = 0;
    long long dy = 0;
    switch (nKind) {
    case AlignLeftEdges: dx = c - std::min(l, rr); break;
    case AlignTopEdges: dy = c - std::max(t, b); break;
    case AlignRightEdges: dx = c - std::max(l, rr); break;
    case AlignBottomEdges: dy = c - std::min(t, b); break;
    case AlignCentresAcross: dx = nExtent / 2 - (rr - l) / 2 - l + c; break;
    case AlignCentresDown: dy = nExtent / 2 - (b - t) / 2 - t + c; break;
    default: break;
    }
    *pValid = FitsInt(dx) && FitsInt(dy);
    return *pValid ? CSize(static_cast<int>(dx), static_cast<int>(dy)) : CSize(0, 0);
}

// What the edge commands align to: a lone object goes to the work area's
// edge, several go to the first selected object's. FALSE when nothing is
// selected.
BOOL GetEdgeReference(CSurface* pView, CRect& ref)
{
    const CDrawObj* pFirst = pView->GetFirstSelected();
    if (pFirst == NULL)
        return FALSE;
    ref = pFirst->m_position;
    if (pView->GetSelection().GetCount() == 1)
        pView->GetWorkArea(&ref, 0);
    return TRUE;
}

// What the centre commands centre on: a lone object on the work area
// (from its upper left corner over its signed extent), several on the
// first selected object. FALSE when nothing is selected.
BOOL GetCentreReference(CSurface* pView, CRect& ref)
{
    const CDrawObj* pFirst = pView->GetFirstSelected();
    if (pFirst == NULL)
        return FALSE;
    if (pView->GetSelection().GetCount() == 1) {
        pView->GetWorkArea(&ref, 0);
        ref = CDrawObj::NormalizeUp(ref);
    } else {
        ref = pFirst->m_position;
    }
    return TRUE;
}

// Gives the other selected objects the first one's width, height or both;
// a lone object has nothing to match.
void MakeSameSizeAsFirst(CSurface* pView, SameSizeKind kind)
{
    const CDrawObj* pFirst = pView->GetFirstSelected();
    if (pFirst != NULL && pView->GetSelection().GetCount() > 1)
        pView->MakeSameSize(kind, pFirst->m_position.Height(), pFirst->m_position.Width());
}

} // namespace

// ---- Align and same size ------------------------------------------------------------------------

void CSurface::AlignObjects(int nMode, int nCoord, int nExtent)
{
    if (CDrawDoc* pDoc = GetDocument())
        RecordUndoAlign(pDoc, &m_selection, nMode, nCoord, nExtent);
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        BOOL bValid = FALSE;
        const CSize offset = AlignmentOffset(nMode, nCoord, nExtent, pObj->m_position, &bValid);
        if (!bValid)
            continue;
        MoveObjectBy(pObj, this, offset.cx, offset.cy);
        if (m_hWnd != NULL)
            InvalidateObjectRect(pObj);
    }
    InvalidateIfExtentChanged();
    if (m_hWnd != NULL)
        SetFocus();
}

void CSurface::MakeSameSize(int nMode, int nRefHeight, int nRefWidth)
{
    if (CDrawDoc* pDoc = GetDocument())
        RecordUndoSameSize(pDoc, &m_selection);
    const long long refWidth = nRefWidth;
    const long long refHeight = nRefHeight;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        const CRect old = pObj->m_position;
        const long long l = old.left;
        const long long t = old.top;
        const long long r = old.right;
        const long long b = old.bottom;
        if (std::llabs(r - l) == std::llabs(refWidth) && std::llabs(b - t) == std::llabs(refHeight))
            continue;
        if (IsLocked(pObj) || pObj->IsRotated() || (pObj->GetHandleCount() < 9 && !pObj->IsCalendar())) {
            pObj->SetRect(old, TRUE);
            pObj->Invalidate();
            continue;
        }
        // Each side moves by half the difference, so the centre stays; the
        // reference may run either way, and the swap below gives the
        // object its own orientation back.
        const long long dx = nMode == SameWidth || nMode == SameBoth ? (l - r + refWidth) / 2 : 0;
        const long long dy = nMode == SameHeight || nMode == SameBoth ? (t - b + refHeight) / 2 : 0;
        long long nl = l - dx;
        long long nt = t - dy;
        long long nr = r + dx;
        long long nb = b + dy;
        if ((nr < nl) != (r < l))
            std::swap(nl, nr);
        if ((nb < nt) != (b < t))
            std::swap(nt, nb);
        if (!FitsInt(nl) || !FitsInt(nt) || !FitsInt(nr) || !FitsInt(nb))
            continue;
        const CRect sized(static_cast<int>(nl), static_cast<int>(nt), static_cast<int>(nr), static_cast<int>(nb));
        pObj->SetRect(sized, TRUE);
        pObj->Invalidate();
    }
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
    InvalidateIfExtentChanged();
    if (m_hWnd != NULL)
        SetFocus();
}

// ---- Centre ---------------------------------------------------------------------------------------

void CSurface::CenterSelection(BOOL bHorizontal, BOOL bVertical)
{
    if (m_selection.IsEmpty()) {
        if (m_hWnd != NULL)
            SetFocus();
        return;
    }
    // The page's centre is the origin. GetObjectsBounds gives the larger y
    // as top.
    const CRect bounds = GetObjectsBounds(NULL);
    const long long minX = bounds.left;
    const long long maxX = bounds.right;
    const long long maxY = bounds.top;
    const long long minY = bounds.bottom;
    long long dx = -minX - (maxX - minX) / 2;
    long long dy = -maxY - (minY - maxY) / 2;
    if (!bHorizontal)
        dx = 0;
    if (!bVertical)
        dy = 0;
    if ((dx == 0 && dy == 0) || !FitsInt(dx) || !FitsInt(dy)) {
        if (m_hWnd != NULL)
            SetFocus();
        return;
    }
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos)))
            MoveObjectBy(pObj, this, dx, dy);
    }
    if (CDrawDoc* pDoc = GetDocument())
        RecordUndoMove(pDoc, &m_selection, static_cast<int>(dx), static_cast<int>(dy));
    InvalidateIfExtentChanged();
    if (m_hWnd != NULL)
        SetFocus();
}

void CSurface::OnCenterOnPage()
{
    CenterSelection(TRUE, TRUE);
}

void CSurface::OnCenterHorz()
{
    CenterSelection(TRUE, FALSE);
}

void CSurface::OnCenterVert()
{
    CenterSelection(FALSE, TRUE);
}

void CSurface::OnUpdateCenter(CCmdUI* pCmdUI)
{
    // Something selected and nothing locked, as for the keyboard moves.
    OnUpdateNudge(pCmdUI);
}

// ---- Maximise -------------------------------------------------------------------------------------

void CSurface::OnMaximizeSelection()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(kSoundMaximize);
    CDrawObj* pObj = GetSingleSelection();
    if (pObj == NULL || IsLocked(pObj))
        return;
    const CRect old = pObj->m_position;
    const ObjectFrame frameBefore = GetObjectFrame(pObj);

    const CSize natural = pObj->GetNaturalSize();
    BOOL bKeep = (pObj->m_wFlags & OBJ_FLAG_NATURAL_SIZE) != 0
        || (::GetKeyState(VK_CONTROL) < 0 && (pObj->m_wFlags & OBJ_FLAG_FREE_PROPORTIONS) == 0);
    // Proportions of nothing cannot be kept: the object is stretched.
    if (natural.cx <= 0 || natural.cy <= 0)
        bKeep = FALSE;

    // Neither MoveTo's own fitting to the proportions nor Ctrl may change
    // the target.
    pObj->m_wFlags = WORD((pObj->m_wFlags & ~OBJ_FLAG_NATURAL_SIZE) | OBJ_FLAG_FREE_PROPORTIONS);

    CRect work;
    GetWorkArea(&work, 0);
    work = CDrawObj::NormalizeUp(work); // left <= right, top >= bottom
    CRect target = work;
    if (bKeep) {
        const int nWorkWidth = work.Width();
        const int nWorkHeight = work.top - work.bottom;
        int cx = nWorkWidth;
        int cy = MulDiv(nWorkWidth, natural.cy, natural.cx);
        if (std::abs(cy) > nWorkHeight) {
            cy = nWorkHeight;
            cx = MulDiv(nWorkHeight, natural.cx, natural.cy);
        }
        target = CRect(work.left, work.top, work.left + cx, work.top - cy);
    }
    target.left += 1;
    target.top -= 1;
    target.right -= 1;
    target.bottom += 1;
    target = OrientRectLike(target, old);

    pObj->m_wFlags |= OBJ_FLAG_CROP_MOVE;
    pObj->MoveTo(target, this, -1, NULL);
    pObj->m_wFlags &= WORD(~(OBJ_FLAG_CROP_MOVE | OBJ_FLAG_FREE_PROPORTIONS));
    if (bKeep)
        pObj->m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
    else
        pObj->m_wFlags &= WORD(~OBJ_FLAG_NATURAL_SIZE);

    CDrawDoc* pDoc = GetDocument();
    if (bKeep) {
        // The resize below is the one step: the centring goes with it.
        CUndoSuspension suspended(pDoc != NULL ? &pDoc->GetUndoList() : NULL);
        CenterSelection(TRUE, TRUE);
    } else {
        InvalidateIfExtentChanged();
    }
    if (pDoc != NULL)
        RecordUndoPictureSize(pDoc, pObj, frameBefore);
}

void CSurface::OnUpdateMaximizeSelection(CCmdUI* pCmdUI)
{
    CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->IsFillable() && !IsLocked(pObj) && pObj->GetRoundedAngle() == 0
        && !(pObj->IsCalendar() && pObj->m_bCellHit));
}

// ---- Align commands -------------------------------------------------------------------------------

void CSurface::OnAlignLeft()
{
    CRect ref;
    if (GetEdgeReference(this, ref))
        AlignObjects(AlignLeftEdges, std::min(ref.left, ref.right), 0);
}

void CSurface::OnAlignRight()
{
    CRect ref;
    if (GetEdgeReference(this, ref))
        AlignObjects(AlignRightEdges, std::max(ref.left, ref.right), 0);
}

void CSurface::OnAlignTop()
{
    CRect ref;
    if (GetEdgeReference(this, ref))
        AlignObjects(AlignTopEdges, std::max(ref.top, ref.bottom), 0);
}

void CSurface::OnAlignBottom()
{
    CRect ref;
    if (GetEdgeReference(this, ref))
        AlignObjects(AlignBottomEdges, std::min(ref.top, ref.bottom), 0);
}

void CSurface::OnAlignHorzCenter()
{
    CRect ref;
    if (GetCentreReference(this, ref))
        AlignObjects(AlignCentresAcross, ref.left, ref.right - ref.left);
}

void CSurface::OnAlignVertCenter()
{
    CRect ref;
    if (GetCentreReference(this, ref))
        AlignObjects(AlignCentresDown, ref.top, ref.bottom - ref.top);
}

void CSurface::OnUpdateAlignEdges(CCmdUI* pCmdUI)
{
    OnUpdateNudge(pCmdUI);
}

void CSurface::OnUpdateAlignCentres(CCmdUI* pCmdUI)
{
    BOOL bEnable = m_selection.GetCount() >= 2;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && bEnable;) {
        const CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        bEnable = pObj != NULL && !IsLocked(pObj);
    }
    pCmdUI->Enable(bEnable);
}

// ---- Same size ------------------------------------------------------------------------------------

void CSurface::OnSameWidth()
{
    MakeSameSizeAsFirst(this, SameWidth);
}

void CSurface::OnSameHeight()
{
    MakeSameSizeAsFirst(this, SameHeight);
}

void CSurface::OnSameBoth()
{
    MakeSameSizeAsFirst(this, SameBoth);
}

void CSurface::OnUpdateSameSize(CCmdUI* pCmdUI)
{
    BOOL bEnable = m_selection.GetCount() >= 2;
    BOOL bOtherNotLine = FALSE;
    BOOL bFirst = TRUE;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && bEnable;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL || IsLocked(pObj) || pObj->IsRotated()) {
            bEnable = FALSE;
            break;
        }
        const BOOL bLine = pObj->GetShapeKind() == kLineShapeKind;
        if (bFirst)
            bEnable = pObj->IsQuarterTurn() && !bLine;
        else if (!bLine)
            bOtherNotLine = TRUE;
        bFirst = FALSE;
    }
    pCmdUI->Enable(bEnable && bOtherNotLine);
}

// ---- Tab and Shift+Tab ----------------------------------------------------------------------------

void CSurface::OnSelectNext()
{
    SelectInReadingOrder(TRUE);
}

void CSurface::OnSelectPrev()
{
    SelectInReadingOrder(FALSE);
}

void CSurface::SelectInReadingOrder(BOOL bNext)
{
    if (m_objects.IsEmpty())
        return;
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    if (CDrawObj* pEdited = GetTextEditObject()) {
        pEdited->EndTextEdit();
        SetCurrentShape(this, kShapeSelect);
    }

    // A group is one stop, at its first member in reading order.
    CObList sorted;
    SortObjectsByPosition(m_objects, sorted);
    std::vector<CDrawObj*> order;
    std::vector<WORD> groupsSeen;
    for (POSITION pos = sorted.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(sorted.GetNext(pos));
        if (pObj == NULL)
            continue;
        const WORD wGroup = pObj->m_wObjectWord;
        if (wGroup != 0) {
            if (std::find(groupsSeen.begin(), groupsSeen.end(), wGroup) != groupsSeen.end())
                continue;
            groupsSeen.push_back(wGroup);
        }
        order.push_back(pObj);
    }
    if (order.empty())
        return;
    if (!bNext)
        std::reverse(order.begin(), order.end());

    CDrawObj* pChosen = order.front();
    if (!m_selection.IsEmpty()) {
        CObList selected;
        SortObjectsByPosition(m_selection, selected);
        CDrawObj* pFrom = selected.IsEmpty() ? NULL : AsDrawObj(bNext ? selected.GetHead() : selected.GetTail());
        if (pFrom != NULL) {
            // A member of a group stands for its group's stop.
            auto it = std::find_if(order.begin(), order.end(), [pFrom](const CDrawObj* pObj) {
                return pObj == pFrom || (pFrom->m_wObjectWord != 0 && pObj->m_wObjectWord == pFrom->m_wObjectWord);
            });
            if (it != order.end() && std::next(it) != order.end())
                pChosen = *std::next(it);
        }
    }
    SetCurrentShape(this, kShapeSelect);
    Select(pChosen, FALSE);
}
