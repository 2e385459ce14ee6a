// The drawing tools: a press puts a new shape of no size at the press point,
// selected and recorded, and the drag sizes it through the selection tool's
// handle drag. A click without a drag takes the new shape away again and
// acts as a selection click. The text tool edits a text object under the
// press instead of drawing over it.

#include "surface/SurfaceTool.h"

#include "app/FontHelpers.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"

#include <cstring>

namespace {

// The handle a new shape is sized by: its first corner, so the corner at
// the press point stays.
constexpr int kNewShapeHandle = 1;
// The font of a new text box: the default face at 12 pixels; the block
// text made first uses the size value -8.
constexpr LONG kTextBoxFontHeight = -12;

// The shape a press made, until its release records it. The creation is
// recorded only once a drag has made it lasting: a click takes the shape
// away again, and the undo list must then be exactly as it was, redo steps
// included.
struct PendingShape {
    CSurface* pView = NULL;
    CDrawObj* pObj = NULL;
    // Whether the design was modified before the shape came.
    BOOL bWasModified = TRUE;
};
PendingShape s_pending;

// The pending shape when it still lies on its view, else NULL.
CDrawObj* TakePendingShape(CSurface* pView)
{
    CDrawObj* pObj = s_pending.pObj;
    const BOOL bSameView = s_pending.pView == pView;
    s_pending = PendingShape();
    if (pObj == NULL || !bSameView || pView->GetObjects().Find(pObj) == NULL)
        return NULL;
    return pObj;
}

} // namespace

void RecordPendingShape(CSurface* pView)
{
    if (pView == NULL) {
        s_pending = PendingShape();
        return;
    }
    if (CDrawObj* pObj = TakePendingShape(pView))
        RecordUndoCreate(pView->GetDocument(), &pObj, 0);
}

int ShapeKindOfTool(int nShape, BOOL bPolygon)
{
    // The tool numbers of the shapes between 5 and 12 follow the order of
    // the tool pad, not that of the kinds.
    switch (nShape) {
    case 0: return bPolygon ? SHAPE_REGULAR_POLYGON : SHAPE_RECTANGLE;
    case 1: return SHAPE_ROUND_RECTANGLE;
    case 2: return SHAPE_ELLIPSE;
    case 3: return SHAPE_LINE;
    case 4: return SHAPE_STAR;
    case 5: return SHAPE_SUN;
    case 6: return SHAPE_HEART;
    case 7: return SHAPE_CLUB;
    case 8: return SHAPE_SPADE;
    case 9: return SHAPE_DIAMOND;
    case 10: return SHAPE_ARROW;
    case 11: return SHAPE_SHIELD;
    case 12: return SHAPE_SIGN;
    case 13: return SHAPE_BUBBLE_RIGHT;
    case 14: return SHAPE_BUBBLE_LEFT;
    case kShapePolygon: return SHAPE_REGULAR_POLYGON;
    default: return -1;
    }
}

CShapeTool::CShapeTool(int nShape)
    : CSurfaceTool(nShape)
{
}

void CShapeTool::OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point)
{
    const CPoint p = ToLogical(pView, point);
    if (!IsTextEditMode() && g_nCurrentShape == kShapeText) {
        CDrawObj* pSingle = pView->GetSingleSelection();
        CDrawObj* pUnder = pView->HitTestObject(p);
        if ((pSingle != NULL && pSingle->HasText() && pSingle->HitTest(p, pView, TRUE) != 0)
            || (pUnder != NULL && pUnder->HasText())) {
            g_selectionTool.OnLButtonDown(pView, nFlags, point);
            return;
        }
    }

    CSurfaceTool::OnLButtonDown(pView, nFlags, point);
    g_bNewObject = TRUE;
    auto* pObj = new CDrawRect(CRect(p, p));
    const int nKind = ShapeKindOfTool(m_nShape, m_bPolygon);
    if (nKind >= 0)
        pObj->m_nShape = nKind;
    if (m_nShape == kShapeText) {
        // An empty text box: the text itself comes when the user types.
        pObj->SetText("", TRUE);
        CObjectAttributes attrs;
        pObj->GetAttributes(attrs, 0);
        attrs.m_bBlockText = FALSE;
        // The box holds wrapped text from the start, empty, so that a click
        // into it edits it and typing goes in with the box's font.
        attrs.m_bHasText = TRUE;
        attrs.m_strWrapText.Empty();
        attrs.m_strWrapFormat.Empty();
        // Without the automatic size the box keeps the size it is dragged to.
        attrs.m_nTextFlag = 0;
        attrs.m_logfont.lfHeight = kTextBoxFontHeight;
        std::strncpy(attrs.m_logfont.lfFaceName, g_defaultFaceName, LF_FACESIZE - 1);
        attrs.m_logfont.lfFaceName[LF_FACESIZE - 1] = '\0';
        pObj->SetAttributes(attrs, FALSE, FALSE, TRUE, FALSE, FALSE);
    }
    // A shape left from a press whose release never came is kept.
    RecordPendingShape(pView);
    CDrawDoc* pDoc = pView->GetDocument();
    const BOOL bWasModified = pDoc == NULL || pDoc->IsModified();
    pView->Add(pObj);
    pView->Select(pObj, FALSE);
    s_pending.pView = pView;
    s_pending.pObj = pObj;
    s_pending.bWasModified = bWasModified;

    g_nSelectMode = SelectModeSize;
    g_nDragHandle = kNewShapeHandle;
    g_lastLocalPoint = p;
    // No rectangle is kept: the new shape's size is part of its creation.
    g_selectionTool.m_bDragStartKept = FALSE;
    g_selectionTool.m_rectDragStart.SetRectEmpty();
}

void CShapeTool::OnMouseMove(CSurface* pView, UINT nFlags, CPoint point)
{
    if (g_nCurrentShape != kShapeText)
        SetSurfaceCursor(kCursorCross);
    g_selectionTool.OnMouseMove(pView, nFlags, point);
}

void CShapeTool::OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point)
{
    if (point == g_downPoint && g_bNewObject) {
        const BOOL bWasModified = s_pending.bWasModified;
        if (CDrawObj* pObj = TakePendingShape(pView)) {
            pView->Remove(pObj, TRUE);
            delete pObj;
            // Nothing was drawn: the design is as it was.
            CDrawDoc* pDoc = pView->GetDocument();
            if (pDoc != NULL && !bWasModified)
                pDoc->SetModifiedFlag(FALSE);
        }
        g_bNewObject = FALSE;
        g_selectionTool.OnLButtonDown(pView, nFlags, point);
        g_selectionTool.OnLButtonUp(pView, nFlags, point);
        return;
    }
    const BOOL bNew = g_bNewObject;
    g_selectionTool.OnLButtonUp(pView, nFlags, point);
    // Recorded as the release left it: the right way round.
    if (bNew)
        RecordPendingShape(pView);
}

void CShapeTool::OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point)
{
    if (!IsTextEditMode() && g_nCurrentShape == kShapeText) {
        if (CDrawObj* pSingle = pView->GetSingleSelection()) {
            if (pSingle->IsTextEditActive())
                pSingle->TextLButtonDblClk(nFlags, point);
            else if (pSingle->HasText() && !(pSingle->m_wFlags & OBJ_FLAG_LOCKED))
                pSingle->OnOpen(pView, CDrawObj::EditByContent, NULL, NULL, 0);
        }
    }
    CSurfaceTool::OnLButtonDblClk(pView, nFlags, point);
}
