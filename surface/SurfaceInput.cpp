// The view's mouse and keyboard: each press, move, double click and release
// goes to the current tool; clicks on the selection are counted (two clicks
// on one object switch its handles to rotation); keys move and size the
// selection; the right button and the keyboard bring up the context menus.
// Only the active view takes input: an inactive one ignores every event.
#include "surface/Surface.h"

#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/CropZoomTools.h"
#include "surface/KindCast.h"
#include "surface/ObjectPropsDlg.h"
#include "surface/RulerBar.h"
#include "surface/SurfaceFrame.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"
#include "text/TextBlock.h"

#include <algorithm>

BOOL CSurface::s_bClickHandledElsewhere = FALSE;
BOOL CSurface::s_bForceSecondClick = FALSE;

namespace {

// The corner boxes the diagnostic option adds (client pixels).
constexpr int kDiagnosticWidth = 76;
constexpr int kDiagnosticColumn = 25;
constexpr int kDiagnosticRow = 25;

// The logical square round a right-click point that finds the object under
// it.
constexpr int kContextHitHalf = 5;

// Where a keyboard menu opens from a point of interest, logical units at
// 100 %: left of it and above it, so that the menu does not hide it.
constexpr int kMenuOffsetX = 5000;
constexpr int kMenuOffsetY = 8000;

// The shape number of the line tool, which Enter resets.
constexpr int kShapeLine = 3;

BOOL IsKeyDown(int nVirtKey)
{
    return ::GetKeyState(nVirtKey) < 0;
}

// Which slot of the application's menu bitmaps each context-menu command
// shows (the order of CDesignerApp's bitmap table).
struct MenuBitmapSlot {
    UINT nCommand;
    int nSlot;
};
constexpr MenuBitmapSlot kContextMenuBitmaps[] = {
    {ID_EDIT_CUT, 5},
    {ID_EDIT_COPY, 6},
    {ID_EDIT_DUPLICATE, 10},
    {ID_ARRANGE_GROUP, 14},
    {ID_ARRANGE_UNGROUP, 15},
    {ID_ARRANGE_LOCK, 16},
    {ID_ARRANGE_UNLOCK, 17},
    {ID_ARRANGE_MOVE_FRONT, 18},
    {ID_ARRANGE_MOVE_BOTTOM, 19},
    {ID_FILE_PRINT_PREVIEW, 4},
    {ID_FILE_PRINT, 3},
    {ID_FILE_SAVE, 2},
};

// The letters the menus show as shortcuts of their commands.
struct LetterCommand {
    UINT nKey;
    UINT nCommand;
};
constexpr LetterCommand kLetterCommands[] = {
    {'F', ID_VIEW_ZOOM_FIT},
    {'R', ID_DRAW_RECT},
    {'M', ID_ARRANGE_MAXIMIZE},
    {'C', ID_ARRANGE_CENTER_PAGE},
    {'G', ID_ARRANGE_GROUP},
    {'L', ID_ARRANGE_LOCK},
};

// The keyboard-move commands of the arrow keys: 10 units, or 1 with Ctrl.
UINT NudgeCommandForKey(UINT nChar, BOOL bCtrl)
{
    switch (nChar) {
    case VK_LEFT: return bCtrl ? ID_NUDGE_LEFT : ID_NUDGE_LEFT_BIG;
    case VK_UP: return bCtrl ? ID_NUDGE_UP : ID_NUDGE_UP_BIG;
    case VK_RIGHT: return bCtrl ? ID_NUDGE_RIGHT : ID_NUDGE_RIGHT_BIG;
    case VK_DOWN: return bCtrl ? ID_NUDGE_DOWN : ID_NUDGE_DOWN_BIG;
    default: return 0;
    }
}

// Records whether an update handler enabled the command; nothing else of
// the item matters here.
class CCommandGate : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
    BOOL m_bEnabled = TRUE;
};

// The press point of the current click, to tell a click from a drag.
CPoint s_ptPress;
// The last point the mouse was seen at during a press.
CPoint s_ptLast;
// Set while a drag is being ended from outside the mouse handlers.
BOOL s_bEndingDrag = FALSE;
// The tool that took the press: it sees the whole drag through to the
// release, even when the press ends a text edit or changes the shape.
CSurfaceTool* s_pPressTool = NULL;
// The block text a press landed in while it was edited: the mouse selects
// in that text, not with a tool, until the release.
CDrawObj* s_pTextDrag = NULL;

} // namespace

// ---- The tool in use ------------------------------------------------------------------------------

CDrawObj* CSurface::GetTextEditObject() const
{
    if (m_selection.GetCount() != 1)
        return NULL;
    CDrawObj* pObj = AsDrawObj(m_selection.GetHead());
    return pObj != NULL && pObj->IsTextEditActive() ? pObj : NULL;
}

namespace {

// While text is placed or edited the selection tool takes every event,
// whatever shape is current; during a drag, the tool that took its press.
CSurfaceTool* ToolInUse(const CSurface* pView)
{
    if (pView->m_bButtonDown && s_pPressTool != NULL)
        return s_pPressTool;
    const BOOL bText = IsTextEditMode() || pView->GetTextEditObject() != NULL;
    return FindTool(bText ? kShapeSelect : g_nCurrentShape);
}

// The block text being edited in the view when the client point lies on
// its frame, else NULL. Block text has no window of its own: the view hands
// it the presses that land in it.
CDrawObj* EditedBlockAt(CSurface* pView, CPoint point)
{
    CDrawObj* pEdited = pView->GetTextEditObject();
    if (pEdited == NULL || !pEdited->m_bBlockText || pEdited->m_pTextEditor != NULL)
        return NULL;
    CRect frame = pEdited->m_rectUnrotated;
    pView->LPtoDPRect(&frame);
    frame.NormalizeRect();
    return frame.PtInRect(point) ? pEdited : NULL;
}

// The text drag's object while it is still the one edited in the view.
CDrawObj* TextDragOf(CSurface* pView)
{
    if (s_pTextDrag != NULL && s_pTextDrag != pView->GetTextEditObject())
        s_pTextDrag = NULL;
    return s_pTextDrag;
}

void EndTextDrag(CSurface* pView)
{
    if (CDrawObj* pObj = TextDragOf(pView)) {
        if (CTextBlock* pBlock = pObj->GetTextBlock())
            pBlock->EndDrag();
    }
    s_pTextDrag = NULL;
    if (pView->m_hWnd != NULL && ::GetCapture() == pView->m_hWnd)
        ::ReleaseCapture();
}

} // namespace

// ---- Mouse ----------------------------------------------------------------------------------------

void CSurface::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bActive)
        return;
    SetFocus();
    if (OnDiagnosticPress(point))
        return;
    // A press while the last one never saw its release (it went to another
    // window, or a dialog took it) ends that drag first, so that its tool
    // records and tidies what the drag made before the next one starts.
    EndPendingDrag();
    EndTextDrag(this);
    if (CDrawObj* pEdited = EditedBlockAt(this, point)) {
        // A press in the text being edited places the caret there.
        s_pTextDrag = pEdited;
        SetCapture();
        pEdited->TextLButtonDown(nFlags, point);
        return;
    }
    m_bHitSelection = FALSE;
    m_bNewlySelected = FALSE;
    s_bClickHandledElsewhere = FALSE;
    s_ptPress = point;
    s_ptLast = point;
    s_pPressTool = ToolInUse(this);
    if (s_pPressTool != NULL)
        s_pPressTool->OnLButtonDown(this, nFlags, point);
    m_bButtonDown = TRUE;
}

void CSurface::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bActive)
        return;
    if (CDrawObj* pObj = TextDragOf(this)) {
        pObj->TextMouseMove(nFlags, point);
    } else {
        if (m_bButtonDown)
            s_ptLast = point;
        if (CSurfaceTool* pTool = ToolInUse(this))
            pTool->OnMouseMove(this, nFlags, point);
    }
    CRulerBar::ViewMouseMove(this, point.x, point.y, nFlags);
}

void CSurface::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (!m_bActive)
        return;
    EndTextDrag(this);
    if (CDrawObj* pEdited = EditedBlockAt(this, point)) {
        // The word under the pointer; the release that follows is the
        // text's too.
        s_pTextDrag = pEdited;
        SetCapture();
        pEdited->TextLButtonDblClk(nFlags, point);
        return;
    }
    if (CSurfaceTool* pTool = ToolInUse(this))
        pTool->OnLButtonDblClk(this, nFlags, point);
}

void CSurface::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!m_bActive)
        return;
    if (TextDragOf(this) != NULL) {
        EndTextDrag(this);
        return;
    }
    if (CSurfaceTool* pTool = ToolInUse(this))
        pTool->OnLButtonUp(this, nFlags, point);
    m_bButtonDown = FALSE;
    s_pPressTool = NULL;

    // Clicks on the selection count up; one that misses it, or that newly
    // selects an object after a click on the selection, starts again. A
    // drag is no click.
    const BOOL bMoved = point.x != s_ptPress.x || point.y != s_ptPress.y;
    if (!m_bHitSelection || (m_bPrevHitSelection && m_bNewlySelected))
        m_nClickCount = 0;
    if (s_bClickHandledElsewhere)
        m_bRotateMode = FALSE;
    if (m_bHitSelection || s_bClickHandledElsewhere)
        ++m_nClickCount;
    if (s_bForceSecondClick) {
        s_bForceSecondClick = FALSE;
        m_nClickCount = 2;
    }
    if (bMoved && m_bHitSelection)
        m_nClickCount = 0;

    // The second click switches the handles to rotation, each further one
    // back and forth.
    if (m_bHitSelection && !s_bClickHandledElsewhere && !bMoved && m_nClickCount > 1) {
        m_bRotateMode = m_nClickCount == 2 ? TRUE : !m_bRotateMode;
        if (m_bRotateMode && m_selection.GetCount() == 1)
            m_pCurrentObject = GetFirstSelected();
        if (CDrawObj* pObj = GetFirstSelected())
            InvalidateObjectRect(pObj);
    }

    m_bPrevHitSelection = m_bHitSelection;
    m_bHitSelection = FALSE;
    m_bNewlySelected = FALSE;
    s_bClickHandledElsewhere = FALSE;
    NotifyToolpad();
}

void CSurface::EndPendingDrag()
{
    if (!m_bButtonDown || s_bEndingDrag)
        return;
    s_bEndingDrag = TRUE;
    OnLButtonUp(0, s_ptLast);
    s_bEndingDrag = FALSE;
}

BOOL CSurface::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The objects a drag holds are finished with before a command works on
    // them (Undo, Clear, a tool): the menus cannot be reached with the
    // button held, but the keys can.
    if (nCode == CN_COMMAND && pHandlerInfo == NULL && m_bButtonDown && nID != ID_SURFACE_ESCAPE)
        EndPendingDrag();
    return CScrollView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CSurface::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == m_hWnd && pMsg->message == WM_KEYDOWN && m_bActive) {
        const CDrawObj* pEdited = GetTextEditObject();
        const UINT nVirtKey = UINT(pMsg->wParam);
        const UINT ch = ::MapVirtualKey(nVirtKey, MAPVK_VK_TO_CHAR);
        if (pEdited != NULL && pEdited->m_bBlockText && !IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU) && ch >= 32
            && ch != 127) {
            // Translated first, as the message loop would: a key the
            // block does not take (a dead key) still makes its character,
            // and the block drops the WM_CHAR of a key it took.
            ::TranslateMessage(pMsg);
            SendMessage(WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
    }
    return CScrollView::PreTranslateMessage(pMsg);
}

BOOL CSurface::OnDiagnosticPress(CPoint point)
{
    if ((thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) == 0 || point.x < 0 || point.y < 0)
        return FALSE;
    CDrawDoc* pDoc = GetDocument();
    if (point.x < kDiagnosticWidth && point.y <= kDiagnosticRow) {
        // The first box edits the properties of the one selected object.
        if (m_selection.GetCount() == 1) {
            CDrawObj* pObj = AsDrawObj(m_selection.GetHead());
            if (EditObjectProperties(pObj, this) && pDoc != NULL) {
                pDoc->SetModifiedFlag(TRUE);
                // The corner's text about the object may name its field.
                Invalidate(FALSE);
            }
        }
        return TRUE;
    }
    if (point.x > kDiagnosticColumn || point.y > 4 * kDiagnosticRow)
        return FALSE;
    if (pDoc == NULL)
        return TRUE;
    // The second and third boxes switch the display flags 0x0040 and
    // 0x4000. The latter also makes the document report itself unmodified,
    // so a press could lose unsaved work without a question: the corner
    // only ever clears it.
    if (point.y <= 2 * kDiagnosticRow) {
        pDoc->m_wDocFlags ^= DOC_FLAG_PREDESIGNED;
        pDoc->m_wDocFlags &= WORD(~DOC_FLAG_FOLDING);
    } else if (point.y <= 3 * kDiagnosticRow) {
        if (pDoc->m_wDocFlags & DOC_FLAG_FOLDING)
            pDoc->m_wDocFlags &= WORD(~DOC_FLAG_FOLDING);
        else
            pDoc->m_wDocFlags ^= DOC_FLAG_PREDESIGNED;
    } else {
        pDoc->UpdateAllViews(NULL, HintPaperColor, NULL);
    }
    Invalidate(FALSE);
    return TRUE;
}

// ---- Right button and context menus -------------------------------------------------------------

void CSurface::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bActive)
        return;
    // The object under the pointer is selected as a left click with the
    // current tool would select it. Not while cropping: a click would
    // complete or undo the crop before its menu could offer either.
    if (g_nCurrentShape != kShapeCrop) {
        OnLButtonDown(nFlags, point);
        OnLButtonUp(nFlags, point);
    }
    CScrollView::OnRButtonDown(nFlags, point);
}

void CSurface::OnRButtonUp(UINT nFlags, CPoint point)
{
    // The menu is built here; the default handling would ask for it a
    // second time through WM_CONTEXTMENU.
    (void)nFlags;
    if (!m_bActive)
        return;
    m_ptContextMenu = point;
    m_flags &= WORD(~SurfaceContextMenu);
    ShowContextMenu();
}

void CSurface::OnContextMenu(CWnd* pWnd, CPoint point)
{
    if (pWnd != this || !m_bActive) {
        CScrollView::OnContextMenu(pWnd, point);
        return;
    }
    // Only the keyboard asks this window: the right button builds its menu
    // itself.
    m_ptContextMenu = CPoint(0, 0);
    m_flags |= SurfaceContextMenu;
    ShowContextMenu();
}

CPoint CSurface::GetInsertPoint(const CRect& rect)
{
    CRect target = rect;
    target.NormalizeRect();
    const int nZoom = std::max<int>(1, m_nZoom);
    auto visiblePart = [this, &target](CRect& part) {
        CRect client;
        GetClientRect(&client);
        DPtoLPRect(&client);
        client.NormalizeRect();
        CRect wide = target;
        // A line has no width or height; it still meets the window.
        wide.InflateRect(target.Width() == 0 ? 1 : 0, target.Height() == 0 ? 1 : 0);
        return part.IntersectRect(&wide, &client) != FALSE;
    };
    CRect part;
    if (m_hWnd != NULL && !visiblePart(part)) {
        // Bring the rectangle's lower left corner into the window.
        CPoint corner(target.left, target.top);
        LPtoDPPoint(&corner);
        CRect client;
        GetClientRect(&client);
        const CPoint scroll = GetScrollPosition();
        ScrollToPosition(CPoint(std::max<LONG>(0, scroll.x + corner.x),
            std::max<LONG>(0, scroll.y + corner.y - client.Height() + 1)));
        if (CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame()))
            pFrame->UpdateRulers(TRUE);
        if (!visiblePart(part))
            part = target;
    } else if (m_hWnd == NULL) {
        part = target;
    }
    return CPoint(part.left + part.Width() / 2 - kMenuOffsetX / nZoom,
        part.top + part.Height() / 2 + kMenuOffsetY / nZoom);
}

void CSurface::ShowContextMenu()
{
    const BOOL bKeyboard = (m_flags & SurfaceContextMenu) != 0;
    const int nSelected = static_cast<int>(m_selection.GetCount());
    const int nZoom = std::max<int>(1, m_nZoom);
    CPoint ptLogical = m_ptContextMenu;
    DPtoLPPoint(&ptLogical);

    UINT nMenu = 0;
    CPoint ptScreen = m_ptContextMenu; // client units until the end
    BOOL bLogicalPlace = FALSE;
    CDrawObj* pFound = NULL;
    const CRect bounds = nSelected > 1 ? GetObjectsBounds(NULL) : CRect();
    CRect boundsNormal = bounds;
    boundsNormal.NormalizeRect();
    const BOOL bInBounds = nSelected > 1 && ptLogical.x >= boundsNormal.left && ptLogical.x <= boundsNormal.right
        && ptLogical.y >= boundsNormal.top && ptLogical.y <= boundsNormal.bottom;

    if (nSelected > 1 && (bKeyboard || bInBounds)) {
        nMenu = IDR_POPUP_OBJECTS;
        if (bKeyboard) {
            ptScreen = GetInsertPoint(bounds);
            bLogicalPlace = TRUE;
        }
    } else if (bKeyboard) {
        CDrawObj* pSole = nSelected == 1 ? GetFirstSelected() : NULL;
        if (pSole != NULL) {
            nMenu = g_nCurrentShape == kShapeCrop ? IDR_POPUP_CROP : IDR_POPUP_OBJECT;
            ptScreen = GetInsertPoint(pSole->m_position);
        } else {
            nMenu = IDR_POPUP_SURFACE;
            CRect client;
            GetClientRect(&client);
            ptScreen = client.CenterPoint();
            DPtoLPPoint(&ptScreen);
            ptScreen.Offset(-kMenuOffsetX / nZoom, kMenuOffsetY / nZoom);
        }
        bLogicalPlace = TRUE;
    } else {
        // The topmost selectable object under the point.
        const CRect probe(ptLogical.x - kContextHitHalf, ptLogical.y + kContextHitHalf, ptLogical.x + kContextHitHalf,
            ptLogical.y - kContextHitHalf);
        for (POSITION pos = m_objects.GetTailPosition(); pos != NULL;) {
            CDrawObj* pObj = AsDrawObj(m_objects.GetPrev(pos));
            if (pObj == NULL || (pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE))
                continue;
            if (pObj->Intersects(probe)) {
                pFound = pObj;
                break;
            }
        }
        if (nSelected > 1)
            nMenu = IDR_POPUP_OBJECTS;
        else if (g_nCurrentShape == kShapeCrop)
            nMenu = IDR_POPUP_CROP;
        else
            nMenu = nSelected == 1 ? IDR_POPUP_OBJECT : IDR_POPUP_SURFACE;
        if (g_nCurrentShape != kShapeCrop)
            Select(pFound, FALSE);
    }
    if (bLogicalPlace)
        LPtoDPPoint(&ptScreen);

    CMenu menu;
    if (!menu.LoadMenu(nMenu))
        AfxThrowResourceException();
    CMenu* pPopup = menu.GetSubMenu(0);
    if (pPopup == NULL)
        AfxThrowResourceException();

    CString strItem;
    if (nMenu == IDR_POPUP_SURFACE) {
        strItem.LoadString(IDS_MENU_ADD_CALENDAR);
        pPopup->InsertMenu(2, MF_BYPOSITION | MF_STRING, ID_INSERT_CALENDAR, strItem);
    }
    if (CDesignerApp* pApp = GetDesignerApp()) {
        for (const MenuBitmapSlot& use : kContextMenuBitmaps) {
            CBitmap* pBitmap = pApp->GetMenuBitmap(use.nSlot);
            if (pBitmap != NULL && pBitmap->GetSafeHandle() != NULL)
                pPopup->SetMenuItemBitmaps(use.nCommand, MF_BYCOMMAND, pBitmap, NULL);
        }
    }
    if (pFound != NULL && pFound->HasPicture()) {
        strItem.LoadString(IDS_MENU_PICTURE_STUDIO);
        pPopup->InsertMenu(1, MF_BYPOSITION | MF_STRING, ID_PICTURE_STUDIO_ITEM, strItem);
    } else if (pFound != NULL && pFound->IsKindOf(RUNTIME_CLASS(CDrawRect)) && pFound->IsCalendar()) {
        const int nKind = static_cast<CDrawRect*>(pFound)->m_nCalendarWords[1];
        if (nKind == CALENDAR_WEEK || nKind == CALENDAR_MONTH || nKind == CALENDAR_DAY) {
            strItem.LoadString(nKind == CALENDAR_DAY ? IDS_MENU_EDIT_HOUR : IDS_MENU_EDIT_DAY);
            pPopup->InsertMenu(1, MF_BYPOSITION | MF_STRING, ID_EDIT_CELL, strItem);
        }
    }

    ClientToScreen(&ptScreen);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, GetParentFrame());
    m_flags &= WORD(~SurfaceContextMenu);
    m_ptContextMenu = CPoint(0, 0);
}

// ---- Keys -----------------------------------------------------------------------------------------

BOOL CSurface::SendGatedCommand(UINT nID)
{
    CWnd* pTarget = GetParentFrame();
    if (pTarget == NULL)
        pTarget = this;
    CCommandGate gate;
    gate.m_nID = nID;
    gate.DoUpdate(pTarget, TRUE);
    if (!gate.m_bEnabled)
        return FALSE;
    pTarget->SendMessage(WM_COMMAND, nID, 0);
    return TRUE;
}

void CSurface::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!m_bActive) {
        CScrollView::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    const BOOL bCtrl = IsKeyDown(VK_CONTROL);
    const BOOL bShift = IsKeyDown(VK_SHIFT);
    CDrawObj* pSole = GetSingleSelection();

    if (pSole != NULL && pSole->m_bCropMode) {
        pSole->TextKeyDown(nChar, nRepCnt, nFlags);
        if (nChar == VK_RETURN) {
            // Enter keeps the crop.
            pSole->m_bCropMode = FALSE;
            FlushRedraw();
            Invalidate(TRUE);
            if (::GetCapture() == m_hWnd)
                ::ReleaseCapture();
            SetCurrentShape(this, kShapeSelect);
            SetFocus();
        } else if (nChar == VK_ESCAPE) {
            CancelCrop(pSole);
        } else if (nChar >= VK_LEFT && nChar <= VK_DOWN) {
            // One edge of the visible part moves by 2 units, whichever way
            // round the rectangle lies.
            CRect band = pSole->m_position;
            const int nStepX = band.left <= band.right ? 2 : -2;
            const int nStepY = band.top <= band.bottom ? 2 : -2;
            switch (nChar) {
            case VK_LEFT: band.left += nStepX; break;
            case VK_UP: band.top += nStepY; break;
            case VK_RIGHT: band.right -= nStepX; break;
            default: band.bottom -= nStepY; break;
            }
            g_cropTool.ApplyBandCrop(this, band);
        }
    } else {
        CDrawObj* pEdited = GetTextEditObject();
        const BOOL bTaken = pEdited != NULL && pEdited->TextKeyDown(nChar, nRepCnt, nFlags);
        if (!bTaken) {
            // Keys that move, size or delete the selection finish a drag
            // first.
            if ((nChar >= VK_LEFT && nChar <= VK_DOWN) || nChar == VK_DELETE)
                EndPendingDrag();
            if (nChar >= VK_LEFT && nChar <= VK_DOWN) {
                if (bShift)
                    ResizeSelectionByKey(static_cast<int>(nChar - VK_LEFT), bCtrl);
                else
                    OnNudge(NudgeCommandForKey(nChar, bCtrl));
            } else if (nChar == VK_DELETE) {
                if (!bCtrl)
                    OnEditClear();
            } else if (nChar == VK_TAB && !bCtrl && !IsKeyDown(VK_MENU)) {
                SendGatedCommand(bShift ? ID_ARRANGE_SELECT_PREV : ID_ARRANGE_SELECT_NEXT);
            } else if (!bCtrl && !bShift && !IsKeyDown(VK_MENU) && pEdited == NULL && !IsTextEditMode()) {
                for (const LetterCommand& letter : kLetterCommands) {
                    if (letter.nKey == nChar) {
                        SendGatedCommand(letter.nCommand);
                        break;
                    }
                }
            }
        }
    }

    // Enter finishes a line: the line tool starts afresh.
    if (nChar == VK_RETURN && g_nCurrentShape == kShapeLine) {
        if (CSurfaceTool* pTool = FindTool(kShapeLine))
            pTool->m_nHandleHit = 0;
        SetSelectMode(SelectModeNone);
    }
    CScrollView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CSurface::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Typed characters go to the text being edited; characters no key
    // gives (accented letters) come only this way.
    if (m_bActive) {
        if (CDrawObj* pEdited = GetTextEditObject())
            pEdited->TextChar(nChar, nRepCnt, nFlags);
    }
    CScrollView::OnChar(nChar, nRepCnt, nFlags);
}
