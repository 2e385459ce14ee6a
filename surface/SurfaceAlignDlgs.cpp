// Arrange > Align > Other and Edit > Scale Selection: the commands that run
// the Align and Scale dialogs.

#include "surface/Surface.h"

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "surface/AlignDlg.h"
#include "surface/ScaleDlg.h"
#include "surface/SurfaceGlobals.h"

#include <climits>
#include <cmath>

namespace {

constexpr int kMinScalePercent = 10;
constexpr int kMaxScalePercent = 400;

BOOL IsLocked(const CDrawObj* pObj)
{
    return (pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0;
}

// Whether the object scaled keeps every edge in the coordinate range
// (objects read from a file may lie anywhere in it). The left and top
// edges stay; the others move.
BOOL ScaledEdgesFit(const CRect& rect, int nPercent, BOOL bHorizontal, BOOL bVertical)
{
    const double factor = nPercent * 0.01;
    const double right = rect.left + (double(rect.right) - double(rect.left)) * factor;
    const double bottom = rect.top + (double(rect.bottom) - double(rect.top)) * factor;
    return (!bHorizontal || std::fabs(right) < double(INT_MAX)) && (!bVertical || std::fabs(bottom) < double(INT_MAX));
}

} // namespace

void CSurface::OnAlignOther()
{
    // The dialog posts the chosen align commands, which come back to this
    // view as the active one.
    RunAlignDialog(this);
}

void CSurface::OnUpdateAlignOther(CCmdUI* pCmdUI)
{
    // Two objects at least, none locked, as for the centring commands the
    // dialog may send.
    OnUpdateAlignCentres(pCmdUI);
}

void CSurface::OnScaleSelection()
{
    CDrawObj* pFirst = GetFirstSelected();
    if (pFirst == NULL)
        return;
    CScaleDlg dlg(kMinScalePercent, kMaxScalePercent, this);
    dlg.SetObject(pFirst);
    if (dlg.DoModal() != IDOK)
        return;
    const int nPercent = dlg.GetPercent(TRUE);
    const int nDirection = dlg.GetDirection(TRUE);
    const BOOL bHorizontal = nDirection != CScaleDlg::DirectionVertical;
    const BOOL bVertical = nDirection != CScaleDlg::DirectionHorizontal;

    CDrawDoc* pDoc = GetDocument();
    if (pDoc != NULL)
        RecordUndoScale(pDoc, &m_selection);
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL || IsLocked(pObj) || pObj->IsRotated()
            || !ScaledEdgesFit(pObj->m_position, nPercent, bHorizontal, bVertical))
            continue;
        // The dialog's percentage is the new size; ShrinkByPercent takes
        // the share to take off, so 250 % is a shrink by -150 %.
        pObj->ShrinkByPercent(100 - nPercent, bHorizontal, bVertical);
        if (pDoc != NULL)
            pDoc->SetModifiedFlag(TRUE);
    }
    InvalidateIfExtentChanged();
}

void CSurface::OnUpdateScaleSelection(CCmdUI* pCmdUI)
{
    BOOL bEnable = !m_selection.IsEmpty();
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && bEnable;) {
        const CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        bEnable = pObj != NULL && !IsLocked(pObj) && !pObj->IsRotated();
    }
    pCmdUI->Enable(bEnable);
}
