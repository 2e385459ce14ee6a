// The surface view: construction and window set-up, the object list and
// the selection, the document's update hints and object invalidation. The
// geometry (zoom, mapping, extent, guidelines, work area) is in
// SurfaceGeometry.cpp, painting in SurfacePaint.cpp, input in
// SurfaceInput.cpp.
#include "surface/Surface.h"

#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "app/main/MainToolBars.h"
#include "app/main/PrefBackground.h"
#include "app/Paths.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawOleObj.h"
#include "model/SurfaceInfo.h"
#include "platform/base/Arithmetic.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/CropZoomTools.h"
#include "surface/KindCast.h"
#include "surface/SurfaceBackground.h"
#include "surface/SurfaceFrame.h"
#include "surface/SurfaceGlobals.h"
#include "surface/SurfaceTool.h"

#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_DYNCREATE(CSurface, CScrollView)

BEGIN_MESSAGE_MAP(CSurface, CScrollView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_COMMAND(ID_VIEW_ZOOM_FIT, OnZoomFit)
    ON_COMMAND(ID_VIEW_ZOOM_200, OnZoom200)
    ON_COMMAND(ID_VIEW_ZOOM_150, OnZoom150)
    ON_COMMAND(ID_VIEW_ZOOM_100, OnZoom100)
    ON_COMMAND(ID_VIEW_ZOOM_75, OnZoom75)
    ON_COMMAND(ID_VIEW_ZOOM_50, OnZoom50)
    ON_COMMAND(ID_VIEW_ZOOM_25, OnZoom25)
    ON_COMMAND(ID_VIEW_ZOOM_CUSTOM, OnZoomCustom)
    ON_COMMAND(CSurface::kCmdRedrawAll, OnRedrawAll)
    ON_COMMAND(ID_VIEW_REDRAW_ALL, OnRedrawFrame)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_FIT, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_200, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_150, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_100, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_75, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_50, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_25, OnUpdateZoom)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_TW_NEW_CALENDAR_ITEM, OnNewCalendarItem)
#include "surface/SurfaceInputMessages.h"
#include "surface/SurfacePaintMessages.h"
#include "surface/SurfaceClipboardMessages.h"
#include "surface/SurfaceInsertMessages.h"
#include "surface/SurfaceArrangeMessages.h"
#include "surface/SurfaceAlignMessages.h"
#include "surface/SurfaceCropMessages.h"
#include "surface/SurfaceExportMessages.h"
#include "surface/SurfacePropertiesMessages.h"
#include "surface/SurfaceStudioMessages.h"
#include "surface/SurfaceUserItemsMessages.h"
END_MESSAGE_MAP()

namespace {

// Hints past this are not the views' and are ignored.
constexpr LPARAM kLastHint = 16;

// WM_SURFACE_SELCHANGED's wParam when the selection grew by Select.
constexpr WPARAM kSelChangedBySelect = 7;

// The handle markers reach this far round a selected object, in pixels at
// 100 % and below.
constexpr int kHandleSize = 5;

// Preferences' Add2Flags bit: every view is painted afresh when a view
// is first laid out.
constexpr WORD kPrefRefreshAllViews = 0x0001;

// The document's display flag word.

// The list's draw objects, taken before a walk that may change the list.
std::vector<CDrawObj*> ObjectsOf(const CObList& list)
{
    std::vector<CDrawObj*> objects;
    objects.reserve(static_cast<size_t>(list.GetCount()));
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
        if (CDrawObj* pObj = AsDrawObj(list.GetNext(pos)))
            objects.push_back(pObj);
    }
    return objects;
}

// Whether the whole client area already waits to be painted, so that
// invalidating parts of it, object by object, would add nothing.
BOOL IsWholeClientInvalid(CWnd* pWnd)
{
    if (pWnd->m_hWnd == NULL)
        return FALSE;
    CRect update;
    if (!::GetUpdateRect(pWnd->m_hWnd, &update, FALSE))
        return FALSE;
    CRect client;
    pWnd->GetClientRect(&client);
    if (update != client)
        return FALSE;
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    return ::GetUpdateRgn(pWnd->m_hWnd, region, FALSE) == SIMPLEREGION;
}

} // namespace

CDrawObj* AsDrawObj(CObject* pObject)
{
    if (pObject == NULL || !pObject->IsKindOf(RUNTIME_CLASS(CDrawObj)))
        return NULL;
    return static_cast<CDrawObj*>(pObject);
}

SIZE ScreenPixelsPerInch()
{
    SIZE ppi{96, 96};
    HDC hdc = ::GetDC(NULL);
    if (hdc != NULL) {
        ppi.cx = std::max(1, ::GetDeviceCaps(hdc, LOGPIXELSX));
        ppi.cy = std::max(1, ::GetDeviceCaps(hdc, LOGPIXELSY));
        ::ReleaseDC(NULL, hdc);
    }
    return ppi;
}

// ---- Construction and window set-up ------------------------------------------------------------

CSurface::CSurface()
{
    InitMembers();
}

void CSurface::InitMembers()
{
    m_nLastPaintZoom = kDefaultZoom;
    m_nZoom = kDefaultZoom;
    m_sizePage = CSize(kDefaultPageWidth, kDefaultPageHeight);
    m_ptCentringOffset = CPoint(0, 0);
    m_ptContextMenu = CPoint(0, 0);
    m_flags = SurfaceObjectsInvalidate;
    m_pCurrentObject = NULL;
    m_strTitle.Empty();
    m_bPrevHitSelection = FALSE;
    m_bRotateMode = TRUE;
    m_nClickCount = 0;
    m_bPaintDeferred = FALSE;
    m_pDocOverride = NULL;
    m_bUndoSuspended = FALSE;
    m_bPrintingRecorded = FALSE;
    m_rectCapture.SetRectEmpty();
    m_bCaptureWholePage = FALSE;
    m_bHitSelection = FALSE;
    m_bNewlySelected = FALSE;
    m_workRect.SetRectEmpty();
    m_maxWorkSize = CSize(0, 0);
    m_bButtonDown = FALSE;
    m_bActive = FALSE;
    m_bKeepDeletedRects = FALSE;
    m_nFitReturnZoom = 0;
    m_rectExtent.SetRectEmpty();
    m_ptExtentShift = CPoint(0, 0);
    g_surfaceBackground.SetColor(thePrefs.BkgClr);
    g_surfaceBackground.SetBitmap(NULL);
}

CSurface::~CSurface()
{
    // The view owns the objects still on it; the selection only points
    // into the same list.
    m_selection.RemoveAll();
    while (!m_objects.IsEmpty()) {
        CObject* pObject = m_objects.RemoveHead();
        if (CDrawObj* pObj = AsDrawObj(pObject))
            pObj->m_pSurface = NULL;
        delete pObject;
    }
    while (!m_deletedRects.IsEmpty())
        delete m_deletedRects.RemoveHead();
}

CDrawDoc* CSurface::GetDocument() const
{
    if (m_pDocOverride != NULL)
        return m_pDocOverride;
    CDocument* pDoc = CView::GetDocument();
    if (pDoc == NULL || !pDoc->IsKindOf(RUNTIME_CLASS(CDrawDoc)))
        return NULL;
    return static_cast<CDrawDoc*>(pDoc);
}

CSurfaceInfo* CSurface::FindSurfaceInfo() const
{
    const CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return NULL;
    const int nCount = pDoc->GetSurfaceInfoCount();
    for (int i = 0; i < nCount; ++i) {
        CSurfaceInfo* pInfo = pDoc->GetSurfaceInfo(i);
        if (pInfo != NULL && pInfo->m_pView == this)
            return pInfo;
    }
    return NULL;
}

int CSurface::GetSurfaceIndex() const
{
    const CSurfaceInfo* pInfo = FindSurfaceInfo();
    return pInfo != NULL ? pInfo->m_nNumber : -1;
}

BOOL CSurface::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, NULL, NULL, NULL);
    CWinApp* pApp = AfxGetApp();
    const int nBkgOpt = pApp != NULL ? static_cast<int>(pApp->GetProfileInt("Preferences", "BkgOpt", 1)) : 1;
    if (nBkgOpt != 0) {
        ApplyBackgroundColor(thePrefs.BkgClr);
    } else {
        const CString strImage = pApp != NULL ? pApp->GetProfileString("Preferences", "BkgImg") : CString();
        // A picture that has gone or does not load leaves the colour.
        if (strImage.IsEmpty() || !FileExists(strImage) || !ApplyBackgroundImage(strImage))
            ApplyBackgroundColor(thePrefs.BkgClr);
    }
    return CScrollView::PreCreateWindow(cs);
}

int CSurface::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CScrollView::OnCreate(lpCreateStruct) == -1)
        return -1;
    // Files dropped on the design are taken here; the view hands them on as
    // the main window would (designs open, pictures come in).
    m_dropTarget.Register(this);
    LOGFONT lf{};
    lf.lfHeight = -6;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    m_labelFont.CreateFontIndirect(&lf);
    return 0;
}

void CSurface::OnDestroy()
{
    CScrollView::OnDestroy();
    if (CDrawDoc* pDoc = GetDocument()) {
        if (COleClientItem* pItem = pDoc->GetInPlaceActiveItem(this))
            pItem->Deactivate();
    }
    m_dropTarget.Revoke();
    m_labelFont.DeleteObject();
}

void CSurface::OnInitialUpdate()
{
    if (CDrawDoc* pDoc = GetDocument()) {
        const CSize size = pDoc->m_sizeCachedSurface;
        if (size.cx > 0 && size.cy > 0)
            m_sizePage = CSize(std::min<LONG>(size.cx, LAYOUT_MAX_SIZE), std::min<LONG>(size.cy, LAYOUT_MAX_SIZE));
    }
    UpdateScrollSizes();
    if ((thePrefs.Add2Flags & kPrefRefreshAllViews) != 0) {
        // Every view of every open design is painted afresh.
        if (CWinApp* pApp = AfxGetApp()) {
            for (POSITION posT = pApp->GetFirstDocTemplatePosition(); posT != NULL;) {
                CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posT);
                for (POSITION posD = pTemplate->GetFirstDocPosition(); posD != NULL;) {
                    CDocument* pDoc = pTemplate->GetNextDoc(posD);
                    for (POSITION posV = pDoc->GetFirstViewPosition(); posV != NULL;) {
                        CView* pView = pDoc->GetNextView(posV);
                        if (pView != NULL && pView->m_hWnd != NULL)
                            pView->Invalidate(TRUE);
                    }
                }
            }
        }
    }
    OnUpdate(NULL, HintPaperColor, NULL);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_SURFACE_SELCHANGED, 0, 0);
}

void CSurface::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    const BOOL bNew = bActivate ? TRUE : FALSE;
    if (bNew != m_bActive) {
        // A crop in progress is abandoned when the view loses activation.
        if (!bNew && m_hWnd != NULL)
            PostMessage(WM_COMMAND, ID_EDIT_UNDO_CROP, 0);
        // The handles show only in the active view.
        if (!m_selection.IsEmpty())
            OnUpdate(NULL, HintSelection, NULL);
        m_bActive = bNew;
    }
    if (bNew) {
        UpdateZoom(NULL);
        ReportZoom();
    }
}

void CSurface::OnSetFocus(CWnd* pOldWnd)
{
    CScrollView::OnSetFocus(pOldWnd);
    RealizeAppPalette(this, TRUE);
    OnUpdate(NULL, HintPaperColor, NULL);
    NotifyToolpad();
}

BOOL CSurface::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    const BOOL bScrolled = CScrollView::OnScrollBy(sizeScroll, bDoScroll);
    if (bScrolled && bDoScroll && m_hWnd != NULL) {
        UpdateWindow();
        // Only the ruler along the scroll moves.
        if (CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame()))
            pFrame->ScrollRulers(sizeScroll.cx, sizeScroll.cy);
        // Large zooms draw pictures in pieces: a scroll repaints whole.
        if (m_nZoom >= 150)
            PostMessage(WM_COMMAND, kCmdRedrawAll, 0);
    }
    return bScrolled;
}

void CSurface::OnRedrawAll()
{
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->UpdateAllViews(NULL, HintPaperColor, NULL);
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CSurface::OnRedrawFrame()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->UnlockMainWindowUpdate(TRUE);
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CSurface::NotifyToolpad()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_SURFACE_SELCHANGED, 0, 0);
}

// ---- Objects and selection ---------------------------------------------------------------------

void CSurface::Add(CDrawObj* pObj)
{
    // The view keeps each object's owner pointer as it adds, loads, removes
    // and deletes it, so the pointer tells at once whether the object is
    // here already, however long the list.
    if (pObj == NULL || pObj->m_pSurface == this)
        return;
    if (pObj->m_wFlags & OBJ_FLAG_BACK_LAYER)
        m_objects.AddHead(pObj);
    else
        m_objects.AddTail(pObj);
    CDrawDoc* pDoc = GetDocument();
    pObj->m_pDocument = pDoc;
    pObj->m_pSurface = this;
    pObj->m_bDetached = FALSE;
    if (pDoc != NULL)
        pDoc->SetModifiedFlag(TRUE);
    if (m_nAddBatches > 0) {
        // The batch brings the extent up to date and invalidates what its
        // objects cover once, when it ends.
        if (m_hWnd != NULL) {
            const CRect drawn = GetDrawnBounds(pObj);
            if (m_bBatchAdded && !m_rectBatchArea.IsRectNull())
                m_rectBatchArea.UnionRect(&m_rectBatchArea, &drawn);
            else
                m_rectBatchArea = drawn;
        }
        m_bBatchAdded = TRUE;
        return;
    }
    if (m_hWnd != NULL)
        InvalidateObjectRect(pObj);
    // A grown extent takes effect at once, so that the surface flags saved
    // with the design never carry a pending recomputation; an object inside
    // the extent in effect cannot grow it, and costs no walk of the list.
    if (m_hWnd != NULL && (m_flags & SurfaceRecomputeExtent) == 0 && !MayWidenExtent(pObj))
        return;
    CheckObjectExtent(pObj);
    InvalidateIfExtentChanged();
}

CSurface::CAddBatch::CAddBatch(CSurface* pView)
    : m_pView(pView)
{
    if (m_pView != NULL)
        ++m_pView->m_nAddBatches;
}

CSurface::CAddBatch::~CAddBatch()
{
    if (m_pView == NULL || --m_pView->m_nAddBatches > 0 || !m_pView->m_bBatchAdded)
        return;
    m_pView->m_bBatchAdded = FALSE;
    const CRect area = m_pView->m_rectBatchArea;
    m_pView->m_rectBatchArea.SetRectEmpty();
    if (m_pView->m_hWnd != NULL && !area.IsRectNull()) {
        // Handles of objects selected meanwhile lie a little outside.
        CRect rect = area;
        m_pView->LPtoDPRect(&rect);
        const int nHandle = m_pView->m_nZoom > 100 ? ::MulDiv(kHandleSize, m_pView->m_nZoom, 100) : kHandleSize;
        rect.InflateRect(nHandle + 1, nHandle + 1);
        m_pView->InvalidateRect(&rect, FALSE);
    }
    m_pView->CheckObjectExtent(NULL);
    m_pView->InvalidateIfExtentChanged();
}

void CSurface::Remove(CDrawObj* pObj, BOOL bFromSelection)
{
    // Hint 3 reaches every view: an object of another view is left alone.
    if (pObj == NULL)
        return;
    POSITION pos = m_objects.Find(pObj);
    if (pos == NULL)
        return;
    if (bFromSelection) {
        if (POSITION posSel = m_selection.Find(pObj)) {
            if (pObj->IsTextEditActive())
                pObj->EndTextEdit();
            m_selection.RemoveAt(posSel);
        }
    }
    if (m_pCurrentObject == pObj)
        m_pCurrentObject = NULL;
    // Ending the edit may have changed the list.
    pos = m_objects.Find(pObj);
    if (pos != NULL)
        m_objects.RemoveAt(pos);
    if (pObj->m_pSurface == this)
        pObj->m_pSurface = NULL;
    NotifyToolpad();
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
    if (m_nAddBatches > 0) {
        m_bBatchAdded = TRUE;
    } else if ((m_flags & SurfaceObjectsInvalidate) != 0) {
        CheckObjectExtent(NULL);
        InvalidateIfExtentChanged();
    }
}

void CSurface::DeleteFixedObjects()
{
    constexpr WORD kFixed = OBJ_FLAG_BACK_LAYER | OBJ_FLAG_UNSELECTABLE;
    BOOL bDeleted = FALSE;
    POSITION pos = m_objects.GetHeadPosition();
    while (pos != NULL) {
        const POSITION posThis = pos;
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL || (pObj->m_wFlags & kFixed) != kFixed)
            continue;
        if (POSITION posSel = m_selection.Find(pObj))
            m_selection.RemoveAt(posSel);
        if (m_pCurrentObject == pObj)
            m_pCurrentObject = NULL;
        m_objects.RemoveAt(posThis);
        delete pObj;
        bDeleted = TRUE;
    }
    if (bDeleted && m_hWnd != NULL)
        Invalidate(FALSE);
}

void CSurface::EndAllTextEdits()
{
    for (CDrawObj* pObj : ObjectsOf(m_selection)) {
        if (pObj->IsTextEditActive())
            pObj->EndTextEdit();
    }
    m_selection.RemoveAll();
}

void CSurface::Select(CDrawObj* pObj, BOOL bAdd)
{
    if (!bAdd) {
        if (!m_selection.IsEmpty())
            OnUpdate(NULL, HintSelection, NULL);
        EndAllTextEdits();
    }
    if (pObj == NULL || (pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE) || m_objects.Find(pObj) == NULL)
        return;
    if (m_selection.GetCount() == 1) {
        CDrawObj* pOnly = AsDrawObj(m_selection.GetHead());
        if (pOnly != NULL && pOnly->HasText() && !pOnly->HasPicture() && pOnly->IsTextEditActive())
            pOnly->EndTextEdit();
    }
    if (m_selection.Find(pObj) == NULL) {
        m_selection.AddTail(pObj);
        if (m_hWnd != NULL)
            InvalidateObjectRect(pObj);
    }
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_SURFACE_SELCHANGED, kSelChangedBySelect, 0);
    // A group is selected whole.
    const WORD wGroup = pObj->m_wObjectWord;
    if (wGroup == 0)
        return;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pOther = AsDrawObj(m_objects.GetNext(pos));
        if (pOther == NULL || pOther == pObj || pOther->m_wObjectWord != wGroup
            || (pOther->m_wFlags & OBJ_FLAG_UNSELECTABLE) != 0 || m_selection.Find(pOther) != NULL)
            continue;
        m_selection.AddTail(pOther);
        if (m_hWnd != NULL)
            InvalidateObjectRect(pOther);
    }
}

void CSurface::SelectObjects(const std::vector<CDrawObj*>& objects, BOOL bAdd)
{
    if (!bAdd && !m_selection.IsEmpty()) {
        OnUpdate(NULL, HintSelection, NULL);
        m_selection.RemoveAll();
    }
    // Only what was selected before can be there twice.
    std::vector<const CObject*> selected;
    selected.reserve(static_cast<size_t>(m_selection.GetCount()));
    for (POSITION pos = m_selection.GetHeadPosition(); pos != NULL;)
        selected.push_back(m_selection.GetNext(pos));
    std::sort(selected.begin(), selected.end());
    CSelectionLookup lookup(this);
    const BOOL bInvalidate = m_hWnd != NULL && !IsWholeClientInvalid(this);
    for (CDrawObj* pObj : objects) {
        if (pObj == NULL || (pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE)
            || std::binary_search(selected.begin(), selected.end(), pObj))
            continue;
        m_selection.AddTail(pObj);
        lookup.Add(pObj);
        if (bInvalidate)
            InvalidateObjectRect(pObj);
    }
    NotifyToolpad();
}

void CSurface::Deselect(CDrawObj* pObj)
{
    if (pObj == NULL || m_selection.Find(pObj) == NULL)
        return;
    auto takeOff = [this](CDrawObj* p) {
        POSITION pos = m_selection.Find(p);
        if (pos == NULL)
            return;
        if (m_hWnd != NULL)
            InvalidateObjectRect(p);
        if (p->IsTextEditActive())
            p->EndTextEdit();
        // Ending the edit may have changed the selection.
        pos = m_selection.Find(p);
        if (pos != NULL)
            m_selection.RemoveAt(pos);
    };
    takeOff(pObj);
    const WORD wGroup = pObj->m_wObjectWord;
    if (wGroup == 0)
        return;
    for (CDrawObj* pOther : ObjectsOf(m_selection)) {
        if (pOther != pObj && pOther->m_wObjectWord == wGroup)
            takeOff(pOther);
    }
}

CDrawObj* CSurface::GetFirstSelected() const
{
    CDrawObj* pObj = m_selection.IsEmpty() ? NULL : AsDrawObj(m_selection.GetHead());
    m_pCurrentObject = pObj;
    return pObj;
}

BOOL CSurface::IsSelected(const CObject* pDocItem) const
{
    if (pDocItem == NULL)
        return FALSE;
    // An embedded item stands for the object that holds it.
    if (pDocItem->IsKindOf(RUNTIME_CLASS(CDrawItem)))
        pDocItem = static_cast<const CDrawItem*>(pDocItem)->m_pDrawObj;
    if (pDocItem == NULL)
        return FALSE;
    if (m_pSelectionLookup != NULL)
        return m_pSelectionLookup->Contains(pDocItem);
    return m_selection.Find(const_cast<CObject*>(pDocItem)) != NULL;
}

CSurface::CSelectionLookup::CSelectionLookup(CSurface* pView)
    : m_pView(pView)
    , m_pOuter(pView != NULL ? pView->m_pSelectionLookup : NULL)
{
    if (m_pView == NULL)
        return;
    const CObList& selection = m_pView->m_selection;
    m_members.reserve(static_cast<size_t>(selection.GetCount()));
    for (POSITION pos = selection.GetHeadPosition(); pos != NULL;)
        m_members.insert(selection.GetNext(pos));
    m_pView->m_pSelectionLookup = this;
}

CSurface::CSelectionLookup::~CSelectionLookup()
{
    if (m_pView != NULL)
        m_pView->m_pSelectionLookup = m_pOuter;
}

void CSurface::CancelCrop(CDrawObj* pObj)
{
    if (pObj == NULL || !pObj->m_bCropMode)
        return;
    pObj->m_bCropMode = FALSE;
    g_cropTool.Restore(this, pObj);
    FlushRedraw();
    if (m_hWnd != NULL && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    ::SetCurrentShape(this, kShapeSelect);
    pObj->Invalidate();
    if (m_hWnd != NULL)
        SetFocus();
}

CRect CSurface::GetDrawnBounds(const CDrawObj* pObj)
{
    CRect bounds = pObj->GetNormalizedPosition();
    bounds.NormalizeRect();
    // Far-off objects from a file: room for the padding (at most a
    // thousand inches).
    constexpr LONG kLimit = 0x3FFFFFFF;
    bounds = CRect(std::clamp(bounds.left, -kLimit, kLimit), std::clamp(bounds.top, -kLimit, kLimit),
        std::clamp(bounds.right, -kLimit, kLimit), std::clamp(bounds.bottom, -kLimit, kLimit));
    // The object's drawing reaches its line padding beyond its rectangle,
    // and a unit more where its edges are rounded to whole pixels.
    const CSize padding = pObj->GetLinePadding();
    bounds.InflateRect(padding.cx + 1, padding.cy + 1);
    return bounds;
}

CRect CSurface::GetObjectPaintRect(CDrawObj* pObj, CDC* pDC, BOOL bHandles) const
{
    CRect rect = GetDrawnBounds(pObj);
    pDC->LPtoDP(&rect);
    rect.NormalizeRect();
    // A pixel for the rounding of the mapping at zooms where a unit is a
    // fraction of a pixel.
    rect.InflateRect(1, 1);
    if (bHandles) {
        // The markers are squares about the handle points, which lie on the
        // rectangle, and about the rotation handle beside it.
        if (m_bRotateMode && pObj->IsRotateHandle(pObj->GetHandleCount())) {
            CRect reach = pObj->GetRotateHandleReach();
            pDC->LPtoDP(&reach);
            reach.NormalizeRect();
            rect.UnionRect(&rect, &reach);
        }
        const int nHandle = m_nZoom > 100 ? ::MulDiv(kHandleSize, m_nZoom, 100) : kHandleSize;
        rect.InflateRect(nHandle, nHandle);
    }
    return rect;
}

void CSurface::InvalidateObjectRect(CDrawObj* pObj)
{
    if (pObj == NULL || m_hWnd == NULL)
        return;
    // A pending full redraw repaints everything when the drag ends: until
    // then the object's own rectangle is enough, without its handles.
    const BOOL bHandles = (m_flags & SurfaceRedrawPending) == 0 && m_bActive && IsSelected(pObj);
    if (m_pMoveScope != NULL && m_pMoveScope->m_pDC != NULL) {
        // Places outside the client area need no repaint; most of a large
        // design's are there.
        CRect place;
        if (place.IntersectRect(GetObjectPaintRect(pObj, m_pMoveScope->m_pDC.get(), bHandles), m_pMoveScope->m_client))
            m_pMoveScope->m_places.push_back(place);
        return;
    }
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    const CRect rect = GetObjectPaintRect(pObj, &dc, bHandles);
    InvalidateRect(&rect, FALSE);
}

CSurface::CMoveScope::CMoveScope(CSurface* pView)
    : m_pView(pView != NULL && pView->m_hWnd != NULL && pView->m_pMoveScope == NULL ? pView : NULL)
    , m_lookup(m_pView)
{
    if (m_pView == NULL)
        return;
    m_pView->GetClientRect(&m_client);
    m_pDC = std::make_unique<CClientDC>(m_pView);
    m_pView->OnPrepareDC(m_pDC.get(), NULL);
    m_pView->m_pMoveScope = this;
}

CSurface::CMoveScope::~CMoveScope()
{
    if (m_pView == NULL)
        return;
    m_pView->m_pMoveScope = NULL;
    m_pDC.reset();
    if (m_places.empty() || m_pView->m_hWnd == NULL)
        return;
    // Joined in pairs, then pairs of pairs, so that each join works on
    // regions of like size rather than adding to one that keeps growing.
    std::vector<std::unique_ptr<CRgn>> parts;
    parts.reserve(m_places.size());
    for (const CRect& place : m_places) {
        auto pPart = std::make_unique<CRgn>();
        if (pPart->CreateRectRgnIndirect(&place))
            parts.push_back(std::move(pPart));
    }
    while (parts.size() > 1) {
        size_t kept = 0;
        for (size_t i = 0; i < parts.size(); i += 2) {
            if (i + 1 < parts.size())
                parts[i]->CombineRgn(parts[i].get(), parts[i + 1].get(), RGN_OR);
            parts[kept++] = std::move(parts[i]);
        }
        parts.resize(kept);
    }
    if (!parts.empty())
        m_pView->InvalidateRgn(parts.front().get(), FALSE);
}

// ---- Update hints ------------------------------------------------------------------------------

void CSurface::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    (void)pSender;
    if (lHint < 0 || lHint > kLastHint || m_hWnd == NULL)
        return;
    const BOOL bVisible = IsWindowVisible();
    CDrawDoc* pDoc = GetDocument();
    CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame());
    // The per-object step of hints 10 and 11: cached text renderings are
    // stale and calendars lay themselves out again.
    auto refreshObjects = [this]() {
        for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
            CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
            if (pObj == NULL)
                continue;
            pObj->FreeTextCache();
            if (pObj->IsCalendar())
                pObj->FreeRenderCache();
        }
    };
    auto setEmbedFlags = [this]() {
        const BOOL bEmbed = (thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) == 0;
        for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
            if (CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos)))
                pObj->SetEmbedPicture(bEmbed);
        }
    };
    auto takePreferences = [&]() {
        if (pDoc != NULL) {
            WORD wFlags = pDoc->m_wDocFlags & ~(CSurface::DocShowGrid | CSurface::DocSnapToGrid | CSurface::DocMetricRulers);
            if (thePrefs.Flags & PREF_FLAG_DEFAULT_GRID)
                wFlags |= CSurface::DocShowGrid;
            if (thePrefs.Flags & PREF_FLAG_GRID_LINES)
                wFlags |= CSurface::DocSnapToGrid;
            if ((thePrefs.Flags & PREF_FLAG_INCHES) == 0)
                wFlags |= CSurface::DocMetricRulers;
            pDoc->m_wDocFlags = wFlags;
            pDoc->SetGridSpacing(std::abs(thePrefs.GridSpacing));
            pDoc->SetModifiedFlag(TRUE);
        }
        setEmbedFlags();
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        if (pFrame != NULL)
            pFrame->UpdateRulers(TRUE);
    };

    switch (lHint) {
    case HintPaperColor:
        if (bVisible) {
            UpdateZoom(NULL);
            Invalidate(FALSE);
        }
        break;
    case HintObject:
        if (bVisible) {
            if (CDrawObj* pObj = AsDrawObj(pHint))
                InvalidateObjectRect(pObj);
        }
        break;
    case HintSelection:
        if (bVisible) {
            CObList* pList = &m_selection;
            if (pHint != NULL && pHint->IsKindOf(RUNTIME_CLASS(CObList)))
                pList = static_cast<CObList*>(pHint);
            const CSelectionLookup lookup(this);
            if (!IsWholeClientInvalid(this)) {
                for (CDrawObj* pObj : ObjectsOf(*pList))
                    InvalidateObjectRect(pObj);
            }
        }
        break;
    case HintRemove:
        if (bVisible && pHint != &m_selection && pHint != NULL && pHint->IsKindOf(RUNTIME_CLASS(CObList))) {
            m_flags &= ~SurfaceObjectsInvalidate;
            for (CDrawObj* pObj : ObjectsOf(*static_cast<CObList*>(pHint))) {
                if (m_objects.Find(pObj) == NULL)
                    continue;
                InvalidateObjectRect(pObj);
                Remove(pObj, TRUE);
            }
            m_flags |= SurfaceObjectsInvalidate;
            CheckObjectExtent(NULL);
            InvalidateIfExtentChanged();
        }
        break;
    case HintOleItems:
        if (pDoc != NULL) {
            pDoc->ForEachSurfaceView([this](CSurface* pView) {
                if (pView == NULL)
                    return;
                for (CDrawObj* pObj : ObjectsOf(pView->GetObjects())) {
                    if (pObj->IsOleObject())
                        InvalidateObjectRect(pObj);
                }
            });
        }
        break;
    case HintPrinterMetrics:
        if (bVisible) {
            if (pDoc != NULL)
                pDoc->UpdatePrinterMetrics();
            RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        break;
    case HintRulers:
        if (bVisible && pFrame != NULL)
            pFrame->UpdateRulers(TRUE);
        break;
    case HintExtent:
        if (bVisible && (pHint == NULL || pHint == this)) {
            // An undo step moved objects: the extent follows when it changed.
            CheckObjectExtent(NULL);
            InvalidateIfExtentChanged();
        }
        break;
    case HintPalette:
        if (bVisible) {
            BOOL bOwnView = FALSE;
            if (pDoc != NULL && pHint != NULL) {
                for (POSITION pos = pDoc->GetFirstViewPosition(); pos != NULL;)
                    bOwnView = bOwnView || pDoc->GetNextView(pos) == pHint;
            }
            RealizeAppPalette(this, bOwnView);
        }
        break;
    case HintBackground:
        // The background itself changed, and block text without a colour of
        // its own shows it through.
        for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
            CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
            if (pObj != NULL && pObj->IsTextColorNone()) {
                pObj->FreeTextCache();
                InvalidateObjectRect(pObj);
            }
        }
        Invalidate(TRUE);
        break;
    case HintDocSettings:
        if (bVisible) {
            UpdateZoom(NULL);
            UpdateScrollSizes();
            if (pFrame != NULL)
                pFrame->UpdateRulers(FALSE);
            refreshObjects();
            Invalidate(FALSE);
        }
        break;
    case HintObjectLayout:
        if (bVisible) {
            refreshObjects();
            Invalidate(FALSE);
        }
        break;
    case HintDroppedFile:
        // Every view of the design hears of the drop; the one the user
        // works in (the document's current surface) takes the picture in.
        if (const auto* pDropped = dynamic_cast<const CDroppedFileHint*>(pHint)) {
            const CView* pTarget = pDoc != NULL ? pDoc->GetCurrentView() : NULL;
            if (pTarget == NULL && pFrame != NULL)
                pTarget = pFrame->GetActiveView();
            if (pTarget == this && !pDropped->m_strPath.IsEmpty())
                InsertPictureFile(pDropped->m_strPath);
        }
        break;
    case HintPreferences:
        takePreferences();
        break;
    case HintEmbedPictures:
        setEmbedFlags();
        takePreferences();
        break;
    default:
        break;
    }
}

// ---- Window messages ---------------------------------------------------------------------------

void CSurface::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    // The fit zoom follows the window's size.
    const CDrawDoc* pDoc = GetDocument();
    if (pDoc != NULL && pDoc->GetZoom() == ZOOM_FIT)
        SetPageSize(m_sizePage);
    else
        UpdateScrollSizes();
    // A page smaller than the window sits in its middle, so any new size
    // moves everything drawn: what the old size left must not stay.
    Invalidate(FALSE);
    PrepareFrameBitmap();
}

BOOL CSurface::OnEraseBkgnd(CDC* pDC)
{
    // OnDraw paints every pixel, workspace included.
    (void)pDC;
    return TRUE;
}

LRESULT CSurface::OnNewCalendarItem(WPARAM, LPARAM lParam)
{
    // The message may arrive after the object has gone: only an object this
    // view still holds is touched.
    auto* pItem = reinterpret_cast<CObject*>(lParam);
    if (pItem == NULL || m_objects.Find(pItem) == NULL)
        return 0;
    auto* pObj = static_cast<CDrawObj*>(pItem);
    Select(pObj);
    Invalidate(FALSE);
    // The item is handed over to be edited: its editor opens on what it
    // holds (a new calendar, its set-up).
    pObj->OnOpen(this, CDrawObj::EditByContent, NULL, NULL, 0);
    return 0;
}
