// The base mouse tool, the tool list and the state the tools share: every
// press captures the mouse and notes where it happened, every release lets
// it go, turns what the press's rotation handle asked for and may return to
// the selection tool. Snapping of a finished move lives here too.

#include "surface/SurfaceTool.h"

#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "app/main/MainToolBars.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawObjTracking.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "platform/framework/Afx.h"
#include "surface/CropZoomTools.h"
#include "surface/CursorSet.h"
#include "surface/Surface.h"
#include "surface/SurfaceGlobals.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

// ---- Shared drag state -------------------------------------------------------------------------

UINT g_nDownFlags = 0;
CPoint g_downPoint;
CPoint g_lastPoint;
CPoint g_lastLocalPoint;
int g_nDragHandle = 0;
int g_nHitObjectIndex = 0;
CPoint g_handleHitPoint;
CRect g_savedDragRect;
BOOL g_bNewObject = FALSE;
BOOL g_bFinalMove = FALSE;
CPoint g_cropAnchor[2] = {CPoint(-1, -1), CPoint(-1, -1)};

namespace {

// Set by the Edit Text commands: the next band places a new text object.
WORD s_wTextPlacement = 0;

// Each selected object's properties as they were when a press took the
// rotation handle: the drag turns the objects as it goes, so by the release
// the objects no longer know the angle the undo step must return to.
struct TurnStart {
    CDrawObj* pObj;
    std::unique_ptr<CObjectAttributes> pAttrs;
};
std::vector<TurnStart> s_turnStart;

// Bits of the document's snap flags (CDrawDoc::m_wDocFlags).
// A guideline further than this (logical units) does not pull.
constexpr int kGuidelinePull = 25;

} // namespace

// The list must exist before the tools register, so it is defined here,
// ahead of them; the tools' own definitions below fix the order.
std::vector<CSurfaceTool*> g_toolList;
CSelectionTool g_selectionTool;

namespace {

// The drawing tools, in their order of registration. Each is a global that
// lives until exit; the polygon shape (16) borrows the shape-0 tool.
CShapeTool s_shapeTools[] = {
    CShapeTool(0), CShapeTool(1), CShapeTool(2), CShapeTool(4), CShapeTool(3), CShapeTool(13),
    CShapeTool(6), CShapeTool(7), CShapeTool(8), CShapeTool(9), CShapeTool(10), CShapeTool(5),
    CShapeTool(12), CShapeTool(11), CShapeTool(14), CShapeTool(kShapeText),
};

} // namespace

// The tools that make no objects come last.
CCropTool g_cropTool;
CZoomTool g_zoomTool;

void ResetSurfaceTools()
{
    g_nDownFlags = 0;
    g_downPoint = CPoint(0, 0);
    g_lastPoint = CPoint(0, 0);
    g_lastLocalPoint = CPoint(0, 0);
    g_nDragHandle = 0;
    g_nHitObjectIndex = 0;
    g_handleHitPoint = CPoint(0, 0);
    g_savedDragRect.SetRectEmpty();
    g_bNewObject = FALSE;
    g_bFinalMove = FALSE;
    g_cropAnchor[0] = g_cropAnchor[1] = CPoint(-1, -1);
    s_wTextPlacement = 0;
    for (CSurfaceTool* pTool : g_toolList) {
        pTool->m_bPolygon = FALSE;
        pTool->m_nHandleHit = 0;
    }
    g_selectionTool.m_ptMoveStart = CPoint(0, 0);
    g_selectionTool.m_rectDragStart.SetRectEmpty();
    g_selectionTool.m_bDragStartKept = FALSE;
    RecordPendingShape(NULL);
    s_turnStart.clear();
    g_cropTool.Forget();
    g_zoomTool.m_bDragging = FALSE;
}

BOOL IsTextEditMode()
{
    return s_wTextPlacement != 0;
}

void SetTextEditMode(BOOL bOn)
{
    s_wTextPlacement = bOn ? 1 : 0;
}

void SetSelectMode(int nMode)
{
    g_nSelectMode = nMode;
}

// ---- The tool list -----------------------------------------------------------------------------

CSurfaceTool::CSurfaceTool(int nShape)
    : m_nShape(nShape)
{
    g_toolList.push_back(this);
}

CSurfaceTool::~CSurfaceTool()
{
    auto it = std::find(g_toolList.begin(), g_toolList.end(), this);
    if (it != g_toolList.end())
        g_toolList.erase(it);
}

CSurfaceTool* FindTool(int nShape)
{
    if (nShape == kShapePolygon) {
        for (CSurfaceTool* pTool : g_toolList) {
            if (pTool->m_nShape == 0) {
                pTool->m_bPolygon = TRUE;
                return pTool;
            }
        }
        return NULL;
    }
    for (CSurfaceTool* pTool : g_toolList) {
        pTool->m_bPolygon = FALSE;
        if (pTool->m_nShape == nShape)
            return pTool;
    }
    return NULL;
}

void EnableFrameMenus(BOOL bEnable)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == NULL || pMain->m_hWnd == NULL)
        return;
    if (HMENU hMenu = ::GetMenu(pMain->m_hWnd)) {
        const int nCount = ::GetMenuItemCount(hMenu);
        // The last item (Help) stays usable in every mode.
        if (nCount != 1) {
            const UINT nEnable = bEnable ? (MF_BYPOSITION | MF_ENABLED) : (MF_BYPOSITION | MF_GRAYED | MF_DISABLED);
            for (int i = 0; i < nCount - 1; ++i)
                ::EnableMenuItem(hMenu, static_cast<UINT>(i), nEnable);
        }
        pMain->DrawMenuBar();
    }
    if (auto* pFrame = dynamic_cast<CMainFrame*>(pMain)) {
        if (CWnd* pBar = pFrame->GetStandardBar(); pBar != NULL && pBar->m_hWnd != NULL)
            pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

namespace {

// The steps of a change of shape; bEndTextEdit FALSE keeps a text edit that
// the text tool's own press has just begun.
void ChangeShape(CSurface* pView, int nShape, BOOL bEndTextEdit)
{
    if (nShape == g_nCurrentShape)
        return;
    if (nShape != kShapeText)
        SetTextEditMode(FALSE);
    if (g_nCurrentShape == kShapeCrop && nShape != kShapeCrop) {
        // Leaving the tool keeps the crop as it stands, undoable as one step.
        if (pView != NULL)
            g_cropTool.KeepCrop(pView);
        EnableFrameMenus(TRUE);
    }
    if (nShape == kShapeCrop) {
        if (pView != NULL) {
            if (CDrawObj* pFirst = pView->GetFirstSelected()) {
                pFirst->Invalidate();
                pFirst->m_bCropMode = TRUE;
            }
        }
        EnableFrameMenus(FALSE);
    }
    if (g_nCurrentShape == kShapeText && pView != NULL && bEndTextEdit) {
        CDrawObj* pSingle = pView->GetSingleSelection();
        if (pSingle != NULL && pSingle->IsTextEditActive())
            pSingle->EndTextEdit();
    }
    g_nCurrentShape = nShape;
}

} // namespace

void SetCurrentShape(CSurface* pView, int nShape)
{
    ChangeShape(pView, nShape, TRUE);
}

// ---- Helpers the tools share -------------------------------------------------------------------

CPoint ToLogical(CSurface* pView, CPoint point)
{
    pView->DPtoLPPoint(&point);
    return point;
}

CRect BandRect(CPoint a, CPoint b)
{
    CRect band(a, b);
    band.NormalizeRect();
    return band;
}

CDrawObj* MakeTextObject(const CRect& rect, const CString& strText, NewTextFont font)
{
    // Preferences' Flags bit: new text objects are block text.
    constexpr WORD kPrefNewTextIsBlock = 0x0001;
    auto* pObj = new CDrawRect(rect);
    const BOOL bBlockText = (thePrefs.Flags & kPrefNewTextIsBlock) != 0;
    pObj->SetText(strText, bBlockText);
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    attrs.m_bBlockText = bBlockText;
    if (thePrefs.AddlFlags & PREF_ADDL_TEXT_FORMAT_FLAG)
        attrs.m_wTextFlags |= OBJ_TEXT_SHADOW;
    else
        attrs.m_wTextFlags &= ~WORD(OBJ_TEXT_SHADOW);
    attrs.m_logfont = thePrefs.DefaultFont;
    switch (font) {
    case NewTextFont::Default:
        break;
    case NewTextFont::Plain:
        attrs.m_logfont.lfWeight = FW_NORMAL;
        attrs.m_logfont.lfItalic = FALSE;
        attrs.m_logfont.lfUnderline = FALSE;
        attrs.m_logfont.lfStrikeOut = FALSE;
        break;
    }
    attrs.m_crText = thePrefs.DefaultTextColor;
    attrs.m_crText2 = thePrefs.DefaultTextColor2;
    attrs.m_bHasText = TRUE;
    pObj->SetAttributes(attrs);
    return pObj;
}

namespace {

void SetToolCursor(HCURSOR hCursor)
{
    // Before the cursor set is loaded (or with a resource missing) the arrow
    // is better than no cursor at all.
    if (hCursor == NULL)
        hCursor = ::LoadCursor(NULL, IDC_ARROW);
    ::SetCursor(hCursor);
}

const TurnStart* TurnStartOf(const CDrawObj* pObj)
{
    for (const TurnStart& start : s_turnStart) {
        if (start.pObj == pObj)
            return &start;
    }
    return NULL;
}

BOOL TurnedSince(CDrawObj* pObj, const CObjectAttributes& before)
{
    CObjectAttributes now;
    pObj->GetAttributes(now);
    return now.m_nRotation != before.m_nRotation
        || now.m_nTextValues[CObjectAttributes::TextRotation] != before.m_nTextValues[CObjectAttributes::TextRotation];
}

// Lays a shape out at the whole-degree angle the drag left it at: its
// bounds become those of its turned frame, an upright one's its frame.
// The drag sets the angle as the hand goes and leaves the bounds alone,
// and turning to an angle the object already has lays nothing out, so
// without this the object would keep its upright bounds while its undo
// step, which lays it out on redo, gives back others.
void SettleTurn(CDrawObj* pObj)
{
    auto* pRect = dynamic_cast<CDrawRect*>(pObj);
    if (pRect == NULL)
        return;
    pRect->Invalidate();
    const int nAngle = pRect->GetRoundedAngle();
    pRect->SetAngle(nAngle);
    pRect->m_position = pRect->m_rectUnrotated;
    if (nAngle != 0)
        pRect->RelayOutline();
}

// Applies the angle the rotation handle was dragged to, as one undo step
// from the angle the press found.
void RotateByHandle(CSurface* pView, CDrawObj* pObj)
{
    CDrawDoc* pDoc = pView->GetDocument();
    const TurnStart* pStart = TurnStartOf(pObj);
    const CObjectAttributes* pBefore = pStart != NULL ? pStart->pAttrs.get() : NULL;
    if (pObj->HasPicture()) {
        // The picture's own step keeps the picture the press found, pixels
        // and all (the drag has turned only its markers so far), and the
        // frame as the press found it, so it is recorded before the turn.
        pObj->RotatePicture(0, PressFrameOf(pObj));
        if (pBefore != NULL && TurnedSince(pObj, *pBefore))
            SettleTurn(pObj);
        pObj->Invalidate();
        return;
    }
    if (pDoc != NULL && pBefore != NULL)
        pDoc->GetUndoList().Enable(FALSE);
    if (pObj->HasText())
        // The text takes the angle the handle was dragged to; given 0 it
        // would be set upright instead.
        pObj->RotateText(pObj->GetRoundedAngle());
    else
        pObj->RotateShape(0);
    // Only a turn this drag made is settled: an object the press found
    // turned is laid out already.
    if (pBefore != NULL && TurnedSince(pObj, *pBefore))
        SettleTurn(pObj);
    if (pDoc != NULL && pBefore != NULL) {
        pDoc->GetUndoList().Enable(TRUE);
        const ObjectFrame* pFrame = PressFrameOf(pObj);
        if (pFrame != NULL && (TurnedSince(pObj, *pBefore) || FrameChanged(pObj, *pFrame)))
            RecordUndoTurn(pDoc, pObj, *pBefore, *pFrame);
        else if (TurnedSince(pObj, *pBefore))
            RecordUndoProperties(pDoc, pObj, pBefore);
    }
    pObj->Invalidate();
}

BOOL CanRotate(CDrawObj* pObj, int nHandle)
{
    return pObj->IsRotateHandle(nHandle) && !(pObj->m_wFlags & OBJ_FLAG_LOCKED) && pObj->GetHandleCount() == 9;
}

} // namespace

void KeepTurnStart(CSurface* pView)
{
    s_turnStart.clear();
    CObList& selection = pView->GetSelection();
    for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
        auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        auto pAttrs = std::make_unique<CObjectAttributes>();
        pObj->GetAttributes(*pAttrs);
        s_turnStart.push_back({pObj, std::move(pAttrs)});
    }
}

void SetSurfaceCursor(UINT nCursor)
{
    switch (nCursor) {
    case kCursorArrow: SetToolCursor(theCursorSet.GetCursor(CCursorSet::kArrowSlot)); break;
    case kCursorIBeam: SetToolCursor(theCursorSet.GetCursor(CCursorSet::kIBeamSlot)); break;
    case kCursorCross: SetToolCursor(::LoadCursor(NULL, IDC_CROSS)); break;
    default: SetToolCursor(theCursorSet.GetResourceCursor(nCursor)); break;
    }
}

void SetSurfaceCursor(HCURSOR hCursor)
{
    SetToolCursor(hCursor);
}

int HitTestHandle(CDrawObj* pObj, CPoint point, CSurface* pView)
{
    const int nHit = pObj->HitTest(point, pView, TRUE);
    // Without the rotate mode the rotation handle is not drawn, so a press
    // there must not turn the object.
    if (nHit == kRotateHandle && pView != NULL && !pView->m_bRotateMode)
        return 0;
    return nHit;
}

void ClearDragMarks(CSurface* pView)
{
    CObList& selection = pView->GetSelection();
    for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
        auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos));
        if (pObj != NULL && (pObj->m_wFlags & OBJ_FLAG_DRAGGING)) {
            pObj->m_wFlags &= ~WORD(OBJ_FLAG_DRAGGING);
            pView->InvalidateObjectRect(pObj);
        }
    }
}

void PlayToolSound(int nSound)
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->PlaySound(nSound);
}

void OffsetObjects(CSurface* pView, const CObList& objects, CSize offset)
{
    if (offset == CSize(0, 0))
        return;
    CSurface::CMoveScope scope(pView);
    for (POSITION pos = objects.GetHeadPosition(); pos != NULL;) {
        auto* pObj = dynamic_cast<CDrawObj*>(objects.GetNext(pos));
        if (pObj == NULL)
            continue;
        // MoveTo carries the unrotated rectangle along with a real move and
        // leaves a locked object as it is, so nothing else is offset here.
        CRect rect = pObj->m_position;
        rect.OffsetRect(offset);
        pObj->MoveTo(rect, pView, -1, NULL);
    }
}

void ClearCalendarCellHits(CSurface* pView)
{
    if (pView == NULL)
        return;
    const CObList& objects = pView->GetObjects();
    for (POSITION pos = objects.GetHeadPosition(); pos != NULL;) {
        auto* pObj = dynamic_cast<CDrawObj*>(objects.GetNext(pos));
        if (pObj != NULL && pObj->m_bCellHit) {
            pObj->m_bCellHit = FALSE;
            pObj->m_rectCell.SetRectEmpty();
        }
    }
}

// ---- The base tool -----------------------------------------------------------------------------

void CSurfaceTool::OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point)
{
    if (CDrawDoc* pDoc = pView->GetDocument()) {
        if (COleClientItem* pItem = pDoc->GetInPlaceActiveItem(pView))
            pItem->Close();
    }
    // Every press starts a new drag of handles.
    ResetHandleDrag();
    pView->SetCapture();
    g_nDownFlags = nFlags;
    g_downPoint = point;
    g_lastPoint = point;
    if (IsTextEditMode())
        return;
    const CPoint anchor = g_nCurrentShape == kShapeCrop ? point : CPoint(-1, -1);
    g_cropAnchor[0] = g_cropAnchor[1] = anchor;
    const CPoint p = ToLogical(pView, point);

    if (CDrawObj* pSingle = pView->GetSingleSelection()) {
        pSingle->m_bPressed = TRUE;
        pSingle->Invalidate();
        m_nHandleHit = HitTestHandle(pSingle, p, pView);
        pSingle->m_bRotateDrag = FALSE;
        return;
    }
    if (auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pFrame->SetStatusText("");
    CDrawObj* pLast = NULL;
    CObList& selection = pView->GetSelection();
    for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
        auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos));
        if (pObj == NULL)
            continue;
        pLast = pObj;
        m_nHandleHit = HitTestHandle(pObj, p, pView);
        if (m_nHandleHit == kRotateHandle)
            break;
    }
    if (pLast != NULL)
        pLast->m_bRotateDrag = TRUE;
}

void CSurfaceTool::OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)pView;
    (void)nFlags;
    (void)point;
}

void CSurfaceTool::OnMouseMove(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)nFlags;
    g_lastPoint = point;
    const CPoint p = ToLogical(pView, point);
    CDrawObj* pObj = pView->HitTestObject(p);
    if (g_nCurrentShape == kShapeText) {
        SetSurfaceCursor(!IsTextEditMode() && pObj != NULL && pObj->HasText() ? kCursorIBeam : kCursorCross);
        return;
    }
    if (pView->m_bButtonDown)
        return;
    if (pObj != NULL && !pView->IsSelected(pObj))
        SetSurfaceCursor(kCursorObject);
    else if (pObj != NULL && pObj->HitTestCalendarCell(p, pView, TRUE, FALSE) <= 0)
        SetSurfaceCursor(kCursorMove);
    else
        SetSurfaceCursor(kCursorArrow);
}

void CSurfaceTool::OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point)
{
    (void)nFlags;
    if (::GetCapture() == pView->m_hWnd)
        ::ReleaseCapture();
    CObList& selection = pView->GetSelection();
    CDrawObj* pSingle = pView->GetSingleSelection();
    if (g_bNewObject && pSingle != NULL) {
        // A new shape is kept the right way round whatever way it was
        // dragged; a line keeps its direction.
        if (pSingle->GetShapeKind() != kLineShapeKind) {
            const CRect rect = CDrawObj::NormalizeUp(pSingle->m_position);
            pSingle->m_position = rect;
            pSingle->m_rectUnrotated = rect;
            pSingle->Invalidate();
        }
    } else if (pSingle != NULL) {
        pSingle->m_bRotateDrag = FALSE;
        if (CanRotate(pSingle, m_nHandleHit)) {
            CUndoCompound step(pView->GetDocument());
            RotateByHandle(pView, pSingle);
            RecordUndoTurnFrames(pView->GetDocument(), &selection, PressFrameOf);
        }
    } else {
        // The objects turned together are one step, which puts back the
        // frames the drag changed on objects that did not turn too.
        CUndoCompound step(pView->GetDocument());
        BOOL bTurned = FALSE;
        for (POSITION pos = selection.GetHeadPosition(); pos != NULL;) {
            auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos));
            if (pObj != NULL && CanRotate(pObj, m_nHandleHit)) {
                RotateByHandle(pView, pObj);
                pObj->m_bRotateDrag = FALSE;
                bTurned = TRUE;
            }
        }
        if (bTurned)
            RecordUndoTurnFrames(pView->GetDocument(), &selection, PressFrameOf);
    }
    m_nHandleHit = 0;
    s_turnStart.clear();
    // A moved or sized object draws as a frame only while it is dragged.
    ClearDragMarks(pView);
    // A click with the text tool on a text object has just begun its edit,
    // which the return to the selection tool must not end.
    if (point == g_downPoint || (thePrefs.Flags & PREF_FLAG_RESET_TOOL))
        ChangeShape(pView, kShapeSelect, g_nSelectMode != SelectModeText);
    g_bNewObject = FALSE;
}

void CSurfaceTool::OnCancel(CSurface* pView)
{
    if (pView != NULL) {
        ClearDragMarks(pView);
        RecordPendingShape(pView);
    }
    SetCurrentShape(pView, kShapeSelect);
}

// ---- Snapping ----------------------------------------------------------------------------------

namespace {

// Division rounding towards minus infinity, so that points left of or above
// the grid origin go to the nearer line as those right of it do.
long long FloorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

int GridCornerDistance(int dx, int dy, int nStep)
{
    if (nStep <= 0)
        return 0;
    auto offGrid = [nStep](int d) {
        long long v = std::llabs(static_cast<long long>(d)) % nStep;
        if (v > nStep / 2)
            v = nStep - v;
        return static_cast<double>(v);
    };
    const double x = offGrid(dx);
    const double y = offGrid(dy);
    return static_cast<int>(std::sqrt(x * x + y * y));
}

CPoint FindNearestGridCorner(const CRect& rect, int ox, int oy, int nStep)
{
    const CPoint corners[4] = {
        CPoint(rect.left, rect.top),
        CPoint(rect.right, rect.top),
        CPoint(rect.right, rect.bottom),
        CPoint(rect.left, rect.bottom),
    };
    CPoint best = corners[0];
    int nBest = GridCornerDistance(best.x - ox, oy - best.y, nStep);
    for (int i = 1; i < 4; ++i) {
        const int d = GridCornerDistance(corners[i].x - ox, oy - corners[i].y, nStep);
        if (d < nBest) {
            nBest = d;
            best = corners[i];
        }
    }
    return best;
}

CPoint SnapDragPoint(CSurface* pView, CPoint point)
{
    CRect bounds = pView->GetObjectsBounds();
    if (bounds.IsRectNull())
        return point;
    // The selection lies where the last move left it; snapped is where it
    // will lie at the point, which no move may have reached.
    bounds.OffsetRect(point - g_lastLocalPoint);
    const CDrawDoc* pDoc = pView->GetDocument();
    if (pDoc == NULL)
        return point;
    if (pDoc->m_wDocFlags & CSurface::DocSnapToGuidelines) {
        CSize pull = pView->SnapToGuidelines(bounds.left, bounds.top, bounds.right, bounds.bottom);
        if (std::abs(pull.cx) > kGuidelinePull)
            pull.cx = 0;
        if (std::abs(pull.cy) > kGuidelinePull)
            pull.cy = 0;
        if (pull != CSize(0, 0))
            return point + pull;
    }
    const int nStep = static_cast<int>(std::min<long long>(std::llabs(pDoc->GetGridSpacing()) / 10, INT_MAX / 4));
    if (nStep == 0 || !(pDoc->m_wDocFlags & CSurface::DocSnapToGrid))
        return point;
    const CRect page = pView->GetPageRect();
    const long long ox = page.left;
    const long long oy = page.top;
    const CPoint corner = FindNearestGridCorner(bounds, page.left, page.top, nStep);
    const long long half = nStep / 2;
    const long long gx = FloorDiv(corner.x - ox + half, nStep) * nStep + ox;
    const long long gy = oy - FloorDiv(oy - corner.y + half, nStep) * nStep;
    return CPoint(static_cast<int>(point.x + (gx - corner.x)), static_cast<int>(point.y + (gy - corner.y)));
}
