// The view's object and arrange commands: flipping, Select All, the grid
// and guidelines, a picture's line colour, the stacking order, grouping and
// locking, duplicating, rotating and the availability of each.

#include "surface/Surface.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/RotateDlg.h"
#include "text/TextEditHost.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>
#include <vector>

namespace {

// Sounds of the application's sound table.
constexpr int kSoundRotate = 5;
constexpr int kSoundDuplicate = 17;
constexpr int kSoundGroup = 22;

// The grid a design gets when neither it nor the preferences give one:
// half an inch, in thousandths.
constexpr int kFallbackGridSpacing = 500;

// Edit Cell opens the editor of what the calendar's selected cell holds.
constexpr UINT kOpenFlagCalendarCell = 1;

void MarkModified(CDrawDoc* pDoc)
{
    if (pDoc != NULL)
        pDoc->SetModifiedFlag(TRUE);
}

// How far an object's span must move along one axis to lie inside the work
// area's span, towards the area's centre; 0 when it already does. An object
// larger than the area is centred on it rather than pushed past its centre.
int ShiftIntoSpan(int nObjA, int nObjB, int nAreaA, int nAreaB)
{
    const int nObjHalf = std::abs(nObjB - nObjA) / 2;
    const int nAreaHalf = std::abs(nAreaB - nAreaA) / 2;
    const int nObjCentre = std::min(nObjA, nObjB) + nObjHalf;
    const int nAreaCentre = std::min(nAreaA, nAreaB) + nAreaHalf;
    const int nDistance = std::abs(nObjCentre - nAreaCentre);
    const int nExcess = nObjHalf - nAreaHalf + nDistance;
    if (nExcess <= 0)
        return 0;
    const int nShift = std::min(nExcess, nDistance);
    return nObjCentre > nAreaCentre ? -nShift : nShift;
}

// Moves every selected object (the selection in list order) one place up or
// down the drawing order. An object never passes one this step moved before
// it, so adjacent selected objects move together instead of trading places.
void StepSelection(CObList& objects, CObList& selection, BOOL bUp)
{
    std::unordered_set<CDrawObj*> visited;
    POSITION pos = bUp ? selection.GetTailPosition() : selection.GetHeadPosition();
    while (pos != NULL) {
        CDrawObj* pObj = AsDrawObj(bUp ? selection.GetPrev(pos) : selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        visited.insert(pObj);
        POSITION posObj = objects.Find(pObj);
        if (posObj == NULL)
            continue;
        POSITION posNeighbour = posObj;
        if (bUp)
            objects.GetNext(posNeighbour);
        else
            objects.GetPrev(posNeighbour);
        if (posNeighbour == NULL || visited.count(AsDrawObj(objects.GetAt(posNeighbour))) != 0)
            continue;
        objects.RemoveAt(posObj);
        if (bUp)
            objects.InsertAfter(posNeighbour, pObj);
        else
            objects.InsertBefore(posNeighbour, pObj);
        pObj->Invalidate();
    }
}

} // namespace

// ---- Stacking order -------------------------------------------------------------------------------

void CSurface::OnMoveToFront()
{
    SortInListOrder(m_selection);
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        POSITION posObj = pObj != NULL ? m_objects.Find(pObj) : NULL;
        if (posObj == NULL)
            continue;
        m_objects.RemoveAt(posObj);
        m_objects.AddTail(pObj);
        pObj->Invalidate();
    }
    MarkModified(GetDocument());
}

void CSurface::OnMoveToBottom()
{
    SortInListOrder(m_selection);
    for (POSITION pos = m_selection.GetTailPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetPrev(pos));
        POSITION posObj = pObj != NULL ? m_objects.Find(pObj) : NULL;
        if (posObj == NULL)
            continue;
        m_objects.RemoveAt(posObj);
        m_objects.AddHead(pObj);
        pObj->Invalidate();
    }
    SinkBackLayerObjects();
    MarkModified(GetDocument());
}

void CSurface::OnMoveDown()
{
    SortInListOrder(m_selection);
    StepSelection(m_objects, m_selection, FALSE);
    SinkBackLayerObjects();
    MarkModified(GetDocument());
}

void CSurface::OnMoveUp()
{
    SortInListOrder(m_selection);
    StepSelection(m_objects, m_selection, TRUE);
    MarkModified(GetDocument());
}

void CSurface::SinkBackLayerObjects()
{
    std::vector<CObject*> sunk;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        const POSITION posThis = pos;
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj != NULL && (pObj->m_wFlags & OBJ_FLAG_BACK_LAYER)) {
            m_objects.RemoveAt(posThis);
            sunk.push_back(pObj);
        }
    }
    for (CObject* pObject : sunk)
        m_objects.AddHead(pObject);
}

// ---- Keeping objects inside the work area ---------------------------------------------------------

void CSurface::FitObjectToWorkArea(CDrawObj* pObj)
{
    // A part of another object (a calendar's shapes) is placed by its
    // owner.
    if (pObj == NULL || pObj->m_bDetached)
        return;
    CRect area;
    GetWorkArea(&area);
    const CRect& r = pObj->m_position;
    const CSize shift(ShiftIntoSpan(r.left, r.right, area.left, area.right),
        ShiftIntoSpan(r.top, r.bottom, area.top, area.bottom));
    if (shift == CSize(0, 0))
        return;
    CRect position = pObj->m_position;
    position.OffsetRect(shift);
    pObj->MoveTo(position, this, -1, NULL);
}

// ---- Counting ---------------------------------------------------------------------------------------

int CSurface::CountLockedObjects(const CObList& list)
{
    int nCount = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
        const CDrawObj* pObj = AsDrawObj(list.GetNext(pos));
        if (pObj != NULL && (pObj->m_wFlags & OBJ_FLAG_LOCKED))
            ++nCount;
    }
    return nCount;
}

int CSurface::CountSelectableObjects(const CObList& list)
{
    int nCount = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
        const CDrawObj* pObj = AsDrawObj(list.GetNext(pos));
        if (pObj != NULL && !(pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE))
            ++nCount;
    }
    return nCount;
}

// ---- Flip -----------------------------------------------------------------------------------------

void CSurface::OnFlip(UINT nID)
{
    FlipSelection(nID == ID_ARRANGE_FLIP_HORZ || nID == ID_ARRANGE_FLIP_BOTH,
        nID == ID_ARRANGE_FLIP_VERT || nID == ID_ARRANGE_FLIP_BOTH);
}

void CSurface::FlipSelection(BOOL bHorizontal, BOOL bVertical)
{
    CObList flipped;
    // Undo puts each frame back as it was, not mirrored once more: a
    // cropped picture's whole-picture rectangle does not come back by a
    // second mirror about a centre that rounding has moved.
    std::vector<ObjectFrame> before;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        // Only a turn by a multiple of a right angle mirrors into a
        // rectangle; a locked object keeps its place.
        if (pObj == NULL || !pObj->IsQuarterTurn() || (pObj->m_wFlags & OBJ_FLAG_LOCKED))
            continue;
        before.push_back(GetObjectFrame(pObj));
        pObj->Invalidate();
        pObj->Flip(bHorizontal, bVertical);
        pObj->FreeTextCache();
        pObj->FreeRenderCache();
        pObj->Invalidate();
        flipped.AddTail(pObj);
    }
    if (!flipped.IsEmpty() && !m_bUndoSuspended)
        RecordUndoFlipFrames(GetDocument(), &flipped, before);
}

void CSurface::OnUpdateFlip(CCmdUI* pCmdUI)
{
    CDrawObj* pFirst = GetFirstSelected();
    BOOL bEnable = pFirst != NULL && pFirst->IsQuarterTurn() && !pFirst->IsCalendar();
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && bEnable;) {
        const CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        bEnable = pObj != NULL && !pObj->IsRotated() && !(pObj->m_wFlags & OBJ_FLAG_LOCKED);
    }
    pCmdUI->Enable(bEnable);
}

// ---- Select All -------------------------------------------------------------------------------------

void CSurface::OnEditSelectAll()
{
    if (CDrawObj* pEdited = GetTextEditObject()) {
        if (pEdited->m_pTextEditor != NULL)
            pEdited->m_pTextEditor->SelectAll();
        else
            pEdited->TextSetSel(0, pEdited->GetText().GetLength());
        return;
    }
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;)
        Select(AsDrawObj(m_objects.GetNext(pos)), TRUE);
}

void CSurface::OnUpdateEditSelectAll(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_objects.IsEmpty());
}

// ---- Grid and guidelines ----------------------------------------------------------------------------

void CSurface::OnGridLines()
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    int nSpacing = pDoc->GetGridSpacing();
    if (nSpacing == 0)
        nSpacing = thePrefs.GridSpacing != 0 ? thePrefs.GridSpacing : kFallbackGridSpacing;
    // The preferences are read from the profile: a negative or absurd
    // spacing must not reach the grid painter as it is.
    pDoc->m_nGridSpacing = nSpacing == INT_MIN ? kFallbackGridSpacing : std::abs(nSpacing);
    pDoc->m_wDocFlags ^= DocShowGrid;
    if (thePrefs.Flags & PREF_FLAG_GRID_LINES)
        pDoc->m_wDocFlags |= DocSnapToGrid;
    else
        pDoc->m_wDocFlags &= WORD(~DocSnapToGrid);
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CSurface::OnUpdateGridLines(CCmdUI* pCmdUI)
{
    const CDrawDoc* pDoc = GetDocument();
    pCmdUI->SetCheck(pDoc != NULL && (pDoc->m_wDocFlags & DocShowGrid) && pDoc->GetGridSpacing() > 0);
}

void CSurface::OnGuidelines()
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    pDoc->m_wDocFlags ^= DocShowGuidelines;
    if (pDoc->m_wDocFlags & DocShowGuidelines)
        pDoc->m_wDocFlags |= DocSnapToGuidelines;
    else
        pDoc->m_wDocFlags &= WORD(~DocSnapToGuidelines);
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CSurface::OnUpdateGuidelines(CCmdUI* pCmdUI)
{
    const CDrawDoc* pDoc = GetDocument();
    pCmdUI->SetCheck(pDoc != NULL && (pDoc->m_wDocFlags & DocShowGuidelines) != 0);
}

// ---- A picture's line colour ------------------------------------------------------------------------

void CSurface::OnLineColor()
{
    CDrawObj* pObj = GetSingleSelection();
    if (pObj == NULL || !pObj->HasPicture())
        return;
    COLORREF crColor = pObj->GetPictureLineColor();
    if (!ChooseColorDlg(GetParentFrame(), crColor, NULL))
        return;
    RecordUndoPictureEffect(GetDocument(), pObj, UndoPictureLineColor);
    pObj->SetPictureLineColor(TRUE, crColor);
}

void CSurface::OnUpdateLineColor(CCmdUI* pCmdUI)
{
    const CDrawObj* pObj = GetSingleSelection();
    pCmdUI->Enable(pObj != NULL && pObj->CanSetPictureLineColor());
}

// ---- Stacking availability --------------------------------------------------------------------------

void CSurface::OnUpdateStacking(CCmdUI* pCmdUI)
{
    const int nSelected = static_cast<int>(m_selection.GetCount());
    pCmdUI->Enable(nSelected >= 1 && nSelected < CountSelectableObjects(m_objects)
        && CountLockedObjects(m_selection) == 0);
}

// ---- Groups -----------------------------------------------------------------------------------------

void CSurface::OnGroupItems()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(kSoundGroup);
    const WORD wGroup = NextFreeGroupNumber(0);
    if (!m_selection.IsEmpty())
        RecordUndoGroup(GetDocument(), &m_selection, wGroup);
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos)))
            pObj->m_wObjectWord = wGroup;
    }
    MarkModified(GetDocument());
    NotifyToolpad();
}

void CSurface::OnUngroupItems()
{
    if (!m_selection.IsEmpty())
        RecordUndoGroup(GetDocument(), &m_selection, 0);
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos)))
            pObj->m_wObjectWord = 0;
    }
    Select(NULL, FALSE);
    MarkModified(GetDocument());
    NotifyToolpad();
}

void CSurface::OnToggleGrouping()
{
    if (m_selection.IsEmpty())
        return;
    std::vector<WORD> groups;
    const BOOL bUngrouped = CollectGroupNumbers(m_selection, groups);
    if (!bUngrouped && groups.size() <= 1)
        OnUngroupItems();
    else
        OnGroupItems();
    NotifyToolpad();
}

namespace {

// What the group commands see in a selection.
struct GroupState {
    int nSelected = 0;
    BOOL bUngrouped = FALSE;
    size_t nGroups = 0;
};

GroupState GroupStateOf(const CObList& selection)
{
    GroupState state;
    state.nSelected = static_cast<int>(selection.GetCount());
    std::vector<WORD> groups;
    state.bUngrouped = CollectGroupNumbers(selection, groups);
    state.nGroups = groups.size();
    return state;
}

} // namespace

void CSurface::OnUpdateGroupItems(CCmdUI* pCmdUI)
{
    const GroupState state = GroupStateOf(m_selection);
    pCmdUI->Enable(state.nSelected >= 2 && (state.bUngrouped || state.nGroups >= 2));
}

void CSurface::OnUpdateUngroupItems(CCmdUI* pCmdUI)
{
    const GroupState state = GroupStateOf(m_selection);
    pCmdUI->Enable(state.nSelected >= 2 && !state.bUngrouped && state.nGroups == 1);
}

void CSurface::OnUpdateToggleGrouping(CCmdUI* pCmdUI)
{
    // The tool pad hears of the change from the command itself: a message
    // posted from here would come back at every idle pass and keep the
    // program busy.
    const GroupState state = GroupStateOf(m_selection);
    pCmdUI->Enable(state.nSelected >= 2);
    pCmdUI->SetCheck(state.nSelected >= 2 && !state.bUngrouped && state.nGroups == 1);
}

// ---- Locks ------------------------------------------------------------------------------------------

void CSurface::SetSelectionLocked(BOOL bLock)
{
    // The undo step turns each lock over, so it lists only the objects
    // whose lock this command changed.
    CObList changed;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL || ((pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0) == (bLock != FALSE))
            continue;
        if (bLock)
            pObj->m_wFlags |= OBJ_FLAG_LOCKED;
        else
            pObj->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);
        pObj->Invalidate();
        changed.AddTail(pObj);
    }
    if (!changed.IsEmpty())
        RecordUndoLock(GetDocument(), &changed);
    NotifyToolpad();
}

void CSurface::OnLockItems()
{
    SetSelectionLocked(TRUE);
}

void CSurface::OnUnlockItems()
{
    SetSelectionLocked(FALSE);
}

void CSurface::OnToggleLocking()
{
    SetSelectionLocked(CountLockedObjects(m_selection) < m_selection.GetCount());
}

void CSurface::OnUpdateLockItems(CCmdUI* pCmdUI)
{
    const CDrawObj* pSole = GetSingleSelection();
    const BOOL bCalendarCell = pSole != NULL && const_cast<CDrawObj*>(pSole)->IsCalendar() && pSole->m_bCellHit;
    pCmdUI->Enable(CountLockedObjects(m_selection) < m_selection.GetCount() && !bCalendarCell);
}

void CSurface::OnUpdateUnlockItems(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_selection.IsEmpty() && CountLockedObjects(m_selection) == m_selection.GetCount());
}

void CSurface::OnUpdateToggleLocking(CCmdUI* pCmdUI)
{
    BOOL bEnable = !m_selection.IsEmpty();
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && bEnable;) {
        const CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        bEnable = pObj != NULL && !pObj->IsTextEditActive();
    }
    pCmdUI->Enable(bEnable);
    pCmdUI->SetCheck(bEnable && CountLockedObjects(m_selection) == m_selection.GetCount());
}

// ---- Duplicate, zoom area, rotate -------------------------------------------------------------------

void CSurface::OnDuplicateSelection()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(kSoundDuplicate);
    CloneObjects(NULL);
}

void CSurface::OnUpdateDuplicateSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_selection.IsEmpty());
}

void CSurface::OnZoomArea()
{
    AfxMessageBox("This function is not yet implemented");
}

void CSurface::OnUpdateZoomArea(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nZoom > 1);
}

void CSurface::OnRotateSelection()
{
    CDrawObj* pFirst = GetFirstSelected();
    if (pFirst == NULL || pFirst->GetTextColumns() > 1 || pFirst->IsCalendar())
        return;
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(kSoundRotate);
    // OK on the first object's own angle still turns the others to it, so
    // the dialog is run without the shortcut that refuses an unchanged
    // angle.
    CRotateDlg dlg(this);
    dlg.m_nAngle = RoundHalfAwayFromZero(pFirst->m_dAngle);
    if (dlg.DoModal() != IDOK)
        return;
    // A turn to 0 is stored as a full turn.
    const int nAngle = dlg.m_nAngle == 0 ? 360 : dlg.m_nAngle;
    CObList turned;
    turned.AddTail(&m_selection);
    // Each object records its own turn; the command is one step.
    CUndoCompound step(GetDocument());
    for (POSITION pos = turned.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(turned.GetNext(pos));
        if (pObj == NULL || (pObj->m_wFlags & OBJ_FLAG_LOCKED) || pObj->GetHandleCount() < 9)
            continue;
        if (pObj->HasPicture()) {
            pObj->RotatePicture(nAngle);
            continue;
        }
        // A shape or text keeps its properties and its whole frame in the
        // step: laid out again from the properties alone, it would come
        // back a unit or two off.
        const ObjectFrame frame = GetObjectFrame(pObj);
        CObjectAttributes attrs;
        pObj->GetAttributes(attrs);
        const int nTextAngle = pObj->GetTextRotation();
        {
            CUndoSuspension quiet(GetDocument() != NULL ? &GetDocument()->GetUndoList() : NULL);
            if (pObj->HasText())
                pObj->RotateText(nAngle);
            else
                pObj->RotateShape(nAngle);
        }
        CObjectAttributes attrsAfter;
        pObj->GetAttributes(attrsAfter);
        if (GetDocument() != NULL
            && (FrameChanged(pObj, frame) || attrsAfter.m_nRotation != attrs.m_nRotation
                || pObj->GetTextRotation() != nTextAngle))
            RecordUndoTurn(GetDocument(), pObj, attrs, frame);
    }
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->UnlockMainWindowUpdate();
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

namespace {

// Whether an object may be one of a selection turned by Rotate Selection.
BOOL IsTurnable(CDrawObj* pObj)
{
    return pObj->GetTextColumns() <= 1 && !pObj->IsCalendar() && !pObj->IsOleObject()
        && !(pObj->m_wFlags & OBJ_FLAG_LOCKED);
}

} // namespace

void CSurface::OnUpdateRotateSelection(CCmdUI* pCmdUI)
{
    BOOL bEnable = !m_selection.IsEmpty();
    BOOL bSomeNotLine = FALSE;
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL && bEnable;) {
        CDrawObj* pObj = AsDrawObj(m_selection.GetNext(pos));
        if (pObj == NULL || !IsTurnable(pObj)) {
            bEnable = FALSE;
            break;
        }
        const BOOL bLine = pObj->GetShapeKind() == kLineShapeKind;
        if (!bLine)
            bSomeNotLine = TRUE;
        // A line turns with the others only; alone it has no rotation
        // handle to turn by.
        const BOOL bAlone = m_selection.GetCount() == 1;
        bEnable = pObj->GetHandleCount() >= 9 || (!bAlone && bLine);
    }
    pCmdUI->Enable(bEnable && bSomeNotLine);
}

// ---- Add Picture, Edit Cell, Custom Zoom ------------------------------------------------------------

void CSurface::OnAddPicture()
{
    // The insertion commands' own route, as their menu items send them.
    const UINT nID = (thePrefs.Flags & PREF_FLAG_INSERT_FROM_GALLERY) ? ID_INSERT_PICTURE_GALLERY
                                                                      : ID_INSERT_PICTURE_OTHER;
    OnCmdMsg(nID, CN_COMMAND, NULL, NULL);
}

void CSurface::OnEditCell()
{
    CDrawObj* pFirst = GetFirstSelected();
    if (pFirst == NULL || (pFirst->m_wFlags & OBJ_FLAG_LOCKED))
        return;
    pFirst->OnOpen(this, CDrawObj::EditByContent, NULL, NULL, kOpenFlagCalendarCell);
}

void CSurface::OnUpdateCustomZoom(CCmdUI* pCmdUI)
{
    const CDrawDoc* pDoc = GetDocument();
    static constexpr WORD kSteps[] = {200, 150, 100, 75, 50, 25};
    const BOOL bStep = std::find(std::begin(kSteps), std::end(kSteps), m_nZoom) != std::end(kSteps);
    pCmdUI->SetCheck(pDoc != NULL && pDoc->GetZoom() != ZOOM_FIT && !bStep);
}
