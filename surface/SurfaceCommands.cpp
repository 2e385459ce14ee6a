// The view's commands on the tool and the selection: choosing the drawing
// tool, Clear and the Delete key, Escape, the rubber band's Select and
// Cancel, the keyboard nudges and keyboard sizing.
#include "surface/Surface.h"

#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleDoc.h"
#include "resources/resource.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"
#include "text/TextEditHost.h"

namespace {

// Sounds of the application's sound table.
constexpr int kSoundDelete = 13;
constexpr int kSoundDeleteAlternative = 23;

// Keyboard sizing moves an edge by this many logical units.
constexpr int kKeySizeStep = 10;

// One rectangle of a deleted object, kept while the view asks for them.
class CDeletedRect : public CObject {
public:
    explicit CDeletedRect(const CRect& rect)
        : m_rect(rect)
    {
    }
    CRect m_rect;
};

// The shape a tool command chooses; -1 for another command.
int ShapeForToolCommand(UINT nID)
{
    switch (nID) {
    case ID_ARRANGE_SELECT_TOOL: return kShapeSelect;
    case ID_DRAW_RECT:
    case ID_TOOL_DRAW_RECT: return 0;
    case ID_DRAW_ROUNDRECT:
    case ID_TOOL_DRAW_ROUNDRECT: return 1;
    case ID_DRAW_ELLIPSE:
    case ID_TOOL_DRAW_ELLIPSE: return 2;
    case ID_DRAW_LINE:
    case ID_TOOL_DRAW_LINE: return 3;
    case ID_DRAW_POLYGON_TOOL:
    case ID_DRAW_POLYGON:
    case ID_TOOL_DRAW_POLYGON: return kShapePolygon;
    case ID_DRAW_TEXT_TOOL: return kShapeText;
    default: return -1;
    }
}

// A nudge command's direction (0 left, 1 up, 2 right, 3 down) and whether
// it takes the large step.
struct Nudge {
    int nDirection;
    BOOL bLarge;
};

Nudge NudgeForCommand(UINT nID)
{
    switch (nID) {
    case ID_NUDGE_UP: return {1, FALSE};
    case ID_NUDGE_DOWN: return {3, FALSE};
    case ID_NUDGE_LEFT: return {0, FALSE};
    case ID_NUDGE_RIGHT: return {2, FALSE};
    case ID_NUDGE_UP_BIG: return {1, TRUE};
    case ID_NUDGE_DOWN_BIG: return {3, TRUE};
    case ID_NUDGE_LEFT_BIG: return {0, TRUE};
    case ID_NUDGE_RIGHT_BIG: return {2, TRUE};
    default: return {-1, FALSE};
    }
}

} // namespace

// ---- Tools ----------------------------------------------------------------------------------------

void CSurface::OnToolCommand(UINT nID)
{
    const int nShape = ShapeForToolCommand(nID);
    if (nShape < 0)
        return;
    if (nShape == kShapeText) {
        // The next drag places a new text object; what was being typed
        // into ends first.
        if (CDesignerApp* pApp = GetDesignerApp())
            pApp->EndTextEdit(FALSE);
        SetTextEditMode(TRUE);
        SetSelectMode(SelectModeRubberBand);
    }
    SetCurrentShape(this, nShape);
}

void CSurface::OnUpdateToolCommand(CCmdUI* pCmdUI)
{
    const int nShape = ShapeForToolCommand(pCmdUI->m_nID);
    // Typing into a text object is the selection tool's work.
    const int nInUse = g_nCurrentShape == kShapeText && GetTextEditObject() != NULL ? kShapeSelect : g_nCurrentShape;
    pCmdUI->SetRadio(nShape >= 0 && (nShape == kShapeText ? nInUse : g_nCurrentShape) == nShape);
}

void CSurface::OnEditSelectionText()
{
    if (m_selection.GetCount() != 1)
        return;
    CDrawObj* pObj = AsDrawObj(m_selection.GetHead());
    SetFocus();
    if (pObj == NULL || !pObj->HasText() || pObj->HasPicture() || (pObj->m_wFlags & OBJ_FLAG_LOCKED))
        return;
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    pObj->BeginTextEdit();
}

// ---- Clear and Delete -----------------------------------------------------------------------------

void CSurface::OnEditClear()
{
    DeleteSelection(TRUE);
    NotifyToolpad();
}

void CSurface::OnUpdateEditClear(CCmdUI* pCmdUI)
{
    // The menu item takes one object; the Delete key reaches
    // DeleteSelection itself and takes any number.
    if (CDrawObj* pEdited = GetTextEditObject()) {
        pCmdUI->Enable(pEdited->HasTextSelection());
        return;
    }
    const CDrawObj* pSole = GetSingleSelection();
    pCmdUI->Enable(pSole != NULL && (pSole->m_wFlags & OBJ_FLAG_LOCKED) == 0);
}

void CSurface::DeleteSelection(BOOL bRecordUndo)
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        // Block text takes the key itself; wrapped text is edited in its
        // own window, which deletes the selected characters.
        pEdited->TextKeyDown(VK_DELETE, 1, 0);
        if (pEdited->m_pTextEditor != NULL)
            pEdited->m_pTextEditor->DeleteSelection();
        return;
    }
    if (m_selection.IsEmpty())
        return;
    CDrawDoc* pDoc = GetDocument();
    // Other views of the design let go of these objects first; this view's
    // own selection leaves its list below.
    if (pDoc != NULL)
        pDoc->UpdateAllViews(NULL, HintRemove, &m_selection);
    OnUpdate(NULL, HintSelection, NULL);
    m_flags &= WORD(~SurfaceObjectsInvalidate);

    if (bRecordUndo && pDoc != NULL) {
        SortInListOrder(m_selection);
        RecordUndoDelete(pDoc, &m_selection);
    }
    if (m_bKeepDeletedRects) {
        while (!m_deletedRects.IsEmpty())
            delete m_deletedRects.RemoveHead();
    }
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        if (m_bKeepDeletedRects)
            m_deletedRects.AddTail(new CDeletedRect(pObj->m_position));
        if (pObj->IsTextEditActive())
            pObj->EndTextEdit();
        Remove(pObj, FALSE);
        pObj->m_pDocument = NULL;
        delete pObj;
    }
    m_selection.RemoveAll();
    m_flags |= SurfaceObjectsInvalidate;
    InvalidateIfExtentChanged();

    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound((thePrefs.AddlFlags & PREF_ADDL_SWITCH_A) ? kSoundDeleteAlternative : kSoundDelete);
    if (CWnd* pMain = AfxGetMainWnd()) {
        if (pMain->IsKindOf(RUNTIME_CLASS(CMainFrame)))
            static_cast<CMainFrame*>(pMain)->SetStatusText("");
    }
    if (m_hWnd != NULL)
        Invalidate(TRUE);
    NotifyToolpad();
}

// ---- Escape and the rubber band -------------------------------------------------------------------

void CSurface::OnEscape()
{
    if (CDrawDoc* pDoc = GetDocument()) {
        if (COleClientItem* pItem = pDoc->GetInPlaceActiveItem(this))
            pItem->Close();
    }
    if (m_hWnd != NULL && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (CSurfaceTool* pTool = FindTool(g_nCurrentShape))
        pTool->OnCancel(this);
    if (m_selection.GetCount() == 1) {
        if (CDrawObj* pObj = AsDrawObj(m_selection.GetHead())) {
            CancelCrop(pObj);
            Deselect(pObj);
        }
    }
    SetCurrentShape(this, kShapeSelect);
}

void CSurface::OnBandSelect()
{
    CRect band(g_downPoint, g_lastPoint);
    band.NormalizeRect();
    DPtoLPRect(&band);
    SelectObjectsInRect(CDrawObj::NormalizeUp(band));
}

void CSurface::OnBandCancel()
{
    // Only the menu goes: the selection may be the user's own (a band
    // drawn with Shift adds to it), so nothing is deleted.
}

// ---- Keyboard moves and sizes ---------------------------------------------------------------------

void CSurface::OnNudge(UINT nID)
{
    const Nudge nudge = NudgeForCommand(nID);
    if (nudge.nDirection >= 0)
        NudgeSelection(nudge.nDirection, nudge.bLarge);
}

void CSurface::OnUpdateNudge(CCmdUI* pCmdUI)
{
    BOOL bEnable = !m_selection.IsEmpty();
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && bEnable;) {
        const CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        bEnable = pObj != NULL && (pObj->m_wFlags & OBJ_FLAG_LOCKED) == 0;
    }
    pCmdUI->Enable(bEnable);
}

void CSurface::NudgeSelection(int nDirection, BOOL bStep)
{
    const int nStep = bStep ? 10 : 1;
    CSize offset(0, 0);
    switch (nDirection) {
    case 0: offset.cx = -nStep; break;
    case 1: offset.cy = nStep; break;
    case 2: offset.cx = nStep; break;
    case 3: offset.cy = -nStep; break;
    default: return;
    }
    // Both rectangles move together or not at all: a locked object refuses
    // the move and keeps them both.
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        CRect position = pObj->m_position;
        position.OffsetRect(offset);
        CRect unrotated = pObj->m_rectUnrotated;
        unrotated.OffsetRect(offset);
        pObj->MoveTo(position, this, -1, &unrotated);
    }
    InvalidateIfExtentChanged();
}

void CSurface::ResizeSelectionByKey(int nDirection, BOOL bShrink)
{
    if (nDirection < 0 || nDirection > 3)
        return;
    const int s = kKeySizeStep;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL || pObj->GetRoundedAngle() != 0)
            continue;
        CRect rect = pObj->m_position;
        if (thePrefs.Flags & PREF_FLAG_RESIZE_FROM_CENTER) {
            // About the centre: up and right shrink every side, left and
            // down grow it.
            const int d = nDirection == 1 || nDirection == 2 ? s : -s;
            rect.left += d;
            rect.top -= d;
            rect.right -= d;
            rect.bottom += d;
        } else if (!bShrink) {
            switch (nDirection) {
            case 0: rect.left -= s; break;
            case 1: rect.top += s; break;
            case 2: rect.right += s; break;
            default: rect.bottom -= s; break;
            }
        } else {
            switch (nDirection) {
            case 0: rect.right -= s; break;
            case 1: rect.bottom += s; break;
            case 2: rect.left += s; break;
            default: rect.top -= s; break;
            }
        }
        // An unturned object's second rectangle follows its position in
        // MoveTo; a locked one keeps both. Ctrl asks for a shrink here, not
        // for the proportions a drag with Ctrl keeps.
        const WORD wFree = pObj->m_wFlags & OBJ_FLAG_FREE_PROPORTIONS;
        pObj->m_wFlags |= OBJ_FLAG_FREE_PROPORTIONS;
        pObj->MoveTo(rect, this, -1, NULL);
        pObj->m_wFlags = WORD((pObj->m_wFlags & ~OBJ_FLAG_FREE_PROPORTIONS) | wFree);
    }
    if (m_hWnd != NULL)
        Invalidate(TRUE);
}
