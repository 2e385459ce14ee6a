#include "surface/Surface.h"

#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainToolBars.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/SurfaceInfo.h"
#include "platform/base/Arithmetic.h"
#include "platform/framework/Afx.h"
#include "resources/resource.h"
#include "surface/CustomZoomDlg.h"
#include "surface/KindCast.h"
#include "surface/SurfaceBackground.h"
#include "surface/SurfaceFrame.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNCREATE(CSurface, CScrollView)

BEGIN_MESSAGE_MAP(CSurface, CScrollView)
    ON_COMMAND(ID_VIEW_ZOOM_FIT, OnZoomFit)
    ON_COMMAND(ID_VIEW_ZOOM_200, OnZoom200)
    ON_COMMAND(ID_VIEW_ZOOM_150, OnZoom150)
    ON_COMMAND(ID_VIEW_ZOOM_100, OnZoom100)
    ON_COMMAND(ID_VIEW_ZOOM_75, OnZoom75)
    ON_COMMAND(ID_VIEW_ZOOM_50, OnZoom50)
    ON_COMMAND(ID_VIEW_ZOOM_25, OnZoom25)
    ON_COMMAND(ID_VIEW_ZOOM_CUSTOM, OnZoomCustom)
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
END_MESSAGE_MAP()

namespace {

// Room around the page inside the scrolled area, hundredths of an inch, so
// that the page edge never sits on the window edge.
constexpr int kPageMargin = 8;

// Hints past this are not the views' and are ignored.
constexpr LPARAM kLastHint = 16;

// Fills a logical rectangle in device units, so that the rectangle's
// orientation under a y-up mapping does not matter.
void FillLogicalRect(CDC* pDC, const CRect& rect, COLORREF cr)
{
    CRect dev = rect;
    pDC->LPtoDP(&dev);
    dev.NormalizeRect();
    const int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    pDC->FillSolidRect(&dev, cr);
    pDC->RestoreDC(nSaved);
}

CDrawObj* AsDrawObj(CObject* pObject)
{
    if (pObject == NULL || !pObject->IsKindOf(RUNTIME_CLASS(CDrawObj)))
        return NULL;
    return static_cast<CDrawObj*>(pObject);
}

} // namespace

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

CSurface::CSurface() = default;

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
}

CDrawDoc* CSurface::GetDocument() const
{
    CDocument* pDoc = CView::GetDocument();
    if (pDoc == NULL || !pDoc->IsKindOf(RUNTIME_CLASS(CDrawDoc)))
        return NULL;
    return static_cast<CDrawDoc*>(pDoc);
}

// ---- Page and zoom -----------------------------------------------------------------------------

void CSurface::GetPageRect(LPRECT lpRect) const
{
    if (lpRect == NULL)
        return;
    const int cx = m_sizePage.cx;
    const int cy = m_sizePage.cy;
    lpRect->left = -cx / 2;
    lpRect->right = lpRect->left + cx;
    lpRect->top = cy / 2;
    lpRect->bottom = lpRect->top - cy;
}

CRect CSurface::GetPageRect() const
{
    CRect rect;
    GetPageRect(&rect);
    return rect;
}

void CSurface::SetPageSize(int cx, int cy)
{
    // A page is at least one unit each way and no larger than the layout
    // allows, so the zoom arithmetic never divides by zero or overflows.
    m_sizePage = CSize(std::clamp(cx, 1, LAYOUT_MAX_SIZE), std::clamp(cy, 1, LAYOUT_MAX_SIZE));
    if (m_hWnd == NULL)
        return;
    UpdateZoom(NULL);
    UpdateScrollSizes();
    Invalidate(TRUE);
}

WORD CSurface::CalcFitZoom(CDC* pDC)
{
    CRect client(0, 0, 0, 0);
    if (m_hWnd != NULL)
        GetClientRect(&client);
    SIZE ppi;
    if (pDC != NULL && !pDC->IsPrinting()) {
        ppi.cx = std::max(1, pDC->GetDeviceCaps(LOGPIXELSX));
        ppi.cy = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    } else {
        ppi = ScreenPixelsPerInch();
    }
    const long long width = ::MulDiv(std::max(0, client.Width()), 100, ppi.cx);
    const long long height = ::MulDiv(std::max(0, client.Height()), 100, ppi.cy);
    const long long zoomX = width * 100 / (m_sizePage.cx + kPageMargin);
    const long long zoomY = height * 100 / (m_sizePage.cy + kPageMargin);
    return static_cast<WORD>(std::clamp<long long>(std::min(zoomX, zoomY), 1, kMaxZoom));
}

void CSurface::UpdateZoom(CDC* pDC)
{
    if (pDC != NULL && pDC->IsPrinting())
        return;
    const WORD nOld = m_nZoom;
    if (CDrawDoc* pDoc = GetDocument()) {
        const WORD nZoom = pDoc->GetZoom();
        m_nZoom = nZoom == ZOOM_FIT ? CalcFitZoom(pDC) : std::clamp<WORD>(nZoom, 1, kMaxZoom);
        if (nZoom == ZOOM_FIT) {
            if (CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame()))
                pFrame->UpdateRulers(FALSE);
        }
    }
    if (m_nZoom != nOld && m_bActive)
        ReportZoom();
}

void CSurface::UpdateScrollSizes()
{
    if (m_hWnd == NULL)
        return;
    const SIZE ppi = ScreenPixelsPerInch();
    const CSize total(::MulDiv(m_sizePage.cx + kPageMargin, ppi.cx * m_nZoom, 100 * 100),
        ::MulDiv(m_sizePage.cy + kPageMargin, ppi.cy * m_nZoom, 100 * 100));
    SetScrollSizes(MM_TEXT, total);
}

int CSurface::GetSurfaceIndex() const
{
    const CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return -1;
    const int nCount = pDoc->GetSurfaceInfoCount();
    for (int i = 0; i < nCount; ++i) {
        const CSurfaceInfo* pInfo = pDoc->GetSurfaceInfo(i);
        if (pInfo != NULL && pInfo->m_pView == this)
            return pInfo->m_nNumber;
    }
    return -1;
}

void CSurface::SetZoom(WORD nZoom)
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    pDoc->SetZoom(nZoom);
    // The document refreshes its views only when the value changed; the
    // combo is brought back to this view's zoom either way.
    UpdateZoom(NULL);
    UpdateScrollSizes();
    // A scroll position kept in pixels would land on an unrelated part of
    // the page at the new scale; start again from its top left corner.
    if (m_hWnd != NULL)
        ScrollToPosition(CPoint(0, 0));
    Invalidate(TRUE);
    ReportZoom();
}

void CSurface::ReportZoom()
{
    const CDrawDoc* pDoc = GetDocument();
    const BOOL bFit = pDoc != NULL && pDoc->GetZoom() == ZOOM_FIT;
    UpdateZoomCombo(m_nZoom, bFit);
}

void CSurface::OnZoomFit() { SetZoom(ZOOM_FIT); }
void CSurface::OnZoom200() { SetZoom(200); }
void CSurface::OnZoom150() { SetZoom(150); }
void CSurface::OnZoom100() { SetZoom(100); }
void CSurface::OnZoom75() { SetZoom(75); }
void CSurface::OnZoom50() { SetZoom(50); }
void CSurface::OnZoom25() { SetZoom(25); }

void CSurface::OnZoomCustom()
{
    CCustomZoomDlg dlg(this);
    dlg.m_nZoom = m_nZoom;
    if (dlg.DoModal() == IDOK)
        SetZoom(static_cast<WORD>(dlg.m_nZoom));
}

void CSurface::OnUpdateZoom(CCmdUI* pCmdUI)
{
    const CDrawDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc != NULL);
    if (pDoc == NULL)
        return;
    WORD nZoom = 0xFFFF;
    switch (pCmdUI->m_nID) {
    case ID_VIEW_ZOOM_FIT: nZoom = ZOOM_FIT; break;
    case ID_VIEW_ZOOM_200: nZoom = 200; break;
    case ID_VIEW_ZOOM_150: nZoom = 150; break;
    case ID_VIEW_ZOOM_100: nZoom = 100; break;
    case ID_VIEW_ZOOM_75: nZoom = 75; break;
    case ID_VIEW_ZOOM_50: nZoom = 50; break;
    case ID_VIEW_ZOOM_25: nZoom = 25; break;
    }
    pCmdUI->SetCheck(pDoc->GetZoom() == nZoom);
}

// ---- Objects and selection ---------------------------------------------------------------------

void CSurface::Add(CDrawObj* pObj)
{
    if (pObj == NULL || m_objects.Find(pObj) != NULL)
        return;
    if (pObj->m_wFlags & OBJ_FLAG_BACK_LAYER)
        m_objects.AddHead(pObj);
    else
        m_objects.AddTail(pObj);
    pObj->m_pDocument = GetDocument();
    pObj->m_pSurface = this;
    pObj->m_bDetached = FALSE;
    if (m_hWnd != NULL)
        InvalidateObjectRect(pObj);
}

void CSurface::Remove(CDrawObj* pObj, BOOL bFromSelection)
{
    if (pObj == NULL)
        return;
    if (bFromSelection) {
        if (POSITION pos = m_selection.Find(pObj))
            m_selection.RemoveAt(pos);
    }
    POSITION pos = m_objects.Find(pObj);
    if (pos == NULL)
        return;
    if (m_hWnd != NULL)
        InvalidateObjectRect(pObj);
    m_objects.RemoveAt(pos);
    if (pObj->m_pSurface == this)
        pObj->m_pSurface = NULL;
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->SetModifiedFlag(TRUE);
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
        m_objects.RemoveAt(posThis);
        delete pObj;
        bDeleted = TRUE;
    }
    if (bDeleted && m_hWnd != NULL)
        Invalidate(FALSE);
}

void CSurface::GetCombinedObjectFlags(WORD* pFlags) const
{
    // The flags in question are those of the objects' attribute records.
    if (pFlags == NULL)
        return;
    *pFlags = 0;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL)
            continue;
        CObjectAttributes attrs;
        pObj->GetAttributes(attrs);
        *pFlags |= attrs.m_wFlags;
    }
}

void CSurface::UpdateObjectsByName(const CString& strName, const CString& strValue)
{
    // FIXME: objects have no attribute names until attribute records exist.
    (void)strName;
    (void)strValue;
}

void CSurface::Select(CDrawObj* pObj, BOOL bAdd)
{
    if (!bAdd && !m_selection.IsEmpty()) {
        OnUpdate(NULL, HintSelection, NULL);
        m_selection.RemoveAll();
    }
    if (pObj == NULL || (pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE) || m_objects.Find(pObj) == NULL)
        return;
    if (m_selection.Find(pObj) == NULL)
        m_selection.AddTail(pObj);
    if (m_hWnd != NULL)
        InvalidateObjectRect(pObj);
    NotifyToolpad();
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
    for (CDrawObj* pObj : objects) {
        if (pObj == NULL || (pObj->m_wFlags & OBJ_FLAG_UNSELECTABLE)
            || std::binary_search(selected.begin(), selected.end(), pObj))
            continue;
        m_selection.AddTail(pObj);
        if (m_hWnd != NULL)
            InvalidateObjectRect(pObj);
    }
    NotifyToolpad();
}

void CSurface::Deselect(CDrawObj* pObj)
{
    POSITION pos = m_selection.Find(pObj);
    if (pos == NULL)
        return;
    if (m_hWnd != NULL)
        InvalidateObjectRect(pObj);
    m_selection.RemoveAt(pos);
}

CDrawObj* CSurface::GetFirstSelected() const
{
    return m_selection.IsEmpty() ? NULL : AsDrawObj(m_selection.GetHead());
}

BOOL CSurface::IsSelected(const CObject* pDocItem) const
{
    return pDocItem != NULL && m_selection.Find(const_cast<CObject*>(pDocItem)) != NULL;
}

void CSurface::InvalidateObjectRect(CDrawObj* pObj)
{
    if (pObj == NULL || m_hWnd == NULL)
        return;
    CRect rect = pObj->m_position;
    LPtoDPRect(&rect);
    // Room for the line width and the handle markers drawn round a
    // selected object.
    CSize padding = pObj->GetLinePadding();
    const SIZE ppi = ScreenPixelsPerInch();
    const int nHandle = m_nZoom > 100 ? ::MulDiv(5, m_nZoom, 100) : 5;
    rect.InflateRect(::MulDiv(padding.cx, ppi.cx * m_nZoom, 100 * 100) + nHandle + 1,
        ::MulDiv(padding.cy, ppi.cy * m_nZoom, 100 * 100) + nHandle + 1);
    InvalidateRect(&rect, FALSE);
}

// ---- Conversions -------------------------------------------------------------------------------

void CSurface::DPtoLPRect(LPRECT lpRect)
{
    if (lpRect == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.DPtoLP(lpRect);
}

void CSurface::LPtoDPRect(LPRECT lpRect)
{
    if (lpRect == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.LPtoDP(lpRect);
    CRect rect(*lpRect);
    rect.NormalizeRect();
    *lpRect = rect;
}

void CSurface::DPtoLPPoint(LPPOINT lpPoint)
{
    if (lpPoint == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.DPtoLP(lpPoint);
}

void CSurface::LPtoDPPoint(LPPOINT lpPoint)
{
    if (lpPoint == NULL || m_hWnd == NULL)
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc, NULL);
    dc.LPtoDP(lpPoint);
}

// ---- Drawing -----------------------------------------------------------------------------------

void CSurface::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CScrollView::OnPrepareDC(pDC, pInfo);
    pDC->SetMapMode(MM_ANISOTROPIC);
    const int ppiX = std::max(1, pDC->GetDeviceCaps(LOGPIXELSX));
    const int ppiY = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    pDC->SetWindowExt(100, -100);
    const CSize extent(m_sizePage.cx + kPageMargin, m_sizePage.cy + kPageMargin);

    if (pDC->IsPrinting()) {
        pDC->SetViewportExt(ppiX, ppiY);
        pDC->SetWindowOrg(-m_sizePage.cx / 2, m_sizePage.cy / 2);
        return;
    }

    pDC->SetViewportExt(::MulDiv(ppiX, m_nZoom, 100), ::MulDiv(ppiY, m_nZoom, 100));
    // A client area larger than the page shows the page in its middle.
    int xOffset = 0;
    int yOffset = 0;
    if (m_hWnd != NULL) {
        CRect client;
        GetClientRect(&client);
        const int logWidth = ::MulDiv(client.Width(), 100 * 100, ppiX * m_nZoom);
        const int logHeight = ::MulDiv(client.Height(), 100 * 100, ppiY * m_nZoom);
        if (logWidth > extent.cx)
            xOffset = (logWidth - extent.cx) / 2;
        if (logHeight > extent.cy)
            yOffset = (logHeight - extent.cy) / 2;
    }
    pDC->SetWindowOrg(-(extent.cx / 2 + xOffset), extent.cy / 2 + yOffset);
}

void CSurface::OnDraw(CDC* pDC)
{
    const BOOL bPrinting = pDC->IsPrinting();
    if (!bPrinting) {
        // The workspace round the page fills the clip box taken in pixels.
        // Taken in logical units it is rounded to whole units, and when a
        // unit is more than a pixel the column or row lost at an edge
        // would keep whatever was on the screen there before.
        const int nSaved = pDC->SaveDC();
        pDC->SetMapMode(MM_TEXT);
        pDC->SetWindowOrg(0, 0);
        pDC->SetViewportOrg(0, 0);
        CRect clip;
        pDC->GetClipBox(&clip);
        // The shared background (the preferences' colour or picture); its
        // tiles stay put on the window whatever part is repainted.
        const POINT origin{0, 0};
        g_surfaceBackground.Paint(pDC, &origin, &clip);
        pDC->RestoreDC(nSaved);
    }
    DrawPaper(pDC);
    if (!bPrinting)
        DrawPrinterMargins(pDC);
    DrawObjects(pDC);
}

void CSurface::DrawPaper(CDC* pDC)
{
    const CDrawDoc* pDoc = GetDocument();
    FillLogicalRect(pDC, GetPageRect(), pDoc != NULL ? pDoc->GetPaperColor() : RGB(255, 255, 255));
}

void CSurface::DrawPrinterMargins(CDC* pDC)
{
    const CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    const CRect margins = pDoc->m_rectMargins;
    const CRect page = GetPageRect();
    const CRect printable(page.left + margins.left, page.top - margins.top, page.right - margins.right,
        page.bottom + margins.bottom);
    const COLORREF cr = pDoc->m_crMarginLine;

    CPen pen(PS_SOLID, 0, cr);
    CPen* pOldPen = pDC->SelectObject(&pen);
    if (margins.left > 0) {
        pDC->MoveTo(printable.left, printable.top);
        pDC->LineTo(printable.left, printable.bottom);
    }
    if (margins.top > 1) {
        pDC->MoveTo(printable.left, printable.top);
        pDC->LineTo(printable.right, printable.top);
    }
    if (margins.bottom > 0) {
        pDC->MoveTo(printable.left, printable.bottom);
        pDC->LineTo(printable.right, printable.bottom);
    }
    if (margins.right > 0) {
        pDC->MoveTo(printable.right, printable.top);
        pDC->LineTo(printable.right, printable.bottom);
    }
    pDC->SelectObject(pOldPen);

    if (margins.bottom > 0) {
        CString label;
        if (!label.LoadString(IDS_PRINTER_MARGIN))
            label = "Printer Margin";
        // The label is 11 pixels high on the screen whatever the zoom and
        // the page: it is drawn in device units, as a font height in
        // logical units would be rounded to a whole unit and grow or
        // shrink with the zoom. On paper it is 8 points (11 hundredths of
        // an inch).
        CPoint anchor(printable.left + printable.Width() / 2, printable.bottom);
        const int nSaved = pDC->SaveDC();
        if (!pDC->IsPrinting()) {
            pDC->LPtoDP(&anchor);
            pDC->SetMapMode(MM_TEXT);
            pDC->SetWindowOrg(0, 0);
            pDC->SetViewportOrg(0, 0);
        }
        LOGFONT lf{};
        lf.lfHeight = -11;
        lf.lfWeight = FW_NORMAL;
        std::strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
        CFont font;
        font.CreateFontIndirect(&lf);
        CFont* pOldFont = pDC->SelectObject(&font);
        pDC->SetTextColor(cr);
        pDC->SetBkColor(pDoc->GetPaperColor());
        pDC->SetBkMode(OPAQUE);
        const CSize size = pDC->GetTextExtent(label);
        // Centred on the bottom margin line; y grows downwards on the
        // screen and upwards on paper.
        const int nHalf = std::abs(size.cy) / 2;
        pDC->TextOut(anchor.x - size.cx / 2, pDC->IsPrinting() ? anchor.y + nHalf : anchor.y - nHalf, label);
        pDC->SelectObject(pOldFont);
        pDC->RestoreDC(nSaved);
    }
}

void CSurface::DrawObjects(CDC* pDC)
{
    const BOOL bPrinting = pDC->IsPrinting();
    // On paper, guides and objects outside the tile being printed stay off;
    // on the screen only the latter.
    const WORD wSkip = bPrinting ? (OBJ_FLAG_TILE_HIDDEN | OBJ_FLAG_GUIDE) : OBJ_FLAG_TILE_HIDDEN;
    CRect clip;
    pDC->GetClipBox(&clip);
    clip.NormalizeRect();
    POSITION pos = m_objects.GetHeadPosition();
    while (pos != NULL) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL || (pObj->m_wFlags & wSkip) != 0)
            continue;
        if (!bPrinting) {
            CRect bounds = pObj->GetNormalizedPosition();
            bounds.NormalizeRect();
            const CSize padding = pObj->GetLinePadding();
            bounds.InflateRect(padding.cx + 1, padding.cy + 1);
            CRect meet;
            if (!meet.IntersectRect(&bounds, &clip))
                continue;
        }
        pObj->Draw(pDC);
    }
}

void CSurface::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (CDrawDoc* pDoc = GetDocument())
        pDoc->DrawSurfaceTiles(pDC, pInfo);
}

void CSurface::OnInitialUpdate()
{
    if (CDrawDoc* pDoc = GetDocument()) {
        const CSize size = pDoc->m_sizeCachedSurface;
        if (size.cx > 0 && size.cy > 0)
            m_sizePage = CSize(std::min<LONG>(size.cx, LAYOUT_MAX_SIZE), std::min<LONG>(size.cy, LAYOUT_MAX_SIZE));
    }
    UpdateZoom(NULL);
    UpdateScrollSizes();
    CScrollView::OnInitialUpdate();
    NotifyToolpad();
}

void CSurface::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    (void)pSender;
    if (lHint < 0 || lHint > kLastHint || m_hWnd == NULL)
        return;
    const BOOL bVisible = IsWindowVisible();
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
            else
                Invalidate(FALSE);
        }
        break;
    case HintSelection:
        if (bVisible) {
            CObList* pList = &m_selection;
            if (pHint != NULL && pHint->IsKindOf(RUNTIME_CLASS(CObList)))
                pList = static_cast<CObList*>(pHint);
            for (POSITION pos = pList->GetHeadPosition(); pos != NULL;)
                InvalidateObjectRect(AsDrawObj(pList->GetNext(pos)));
        }
        break;
    case HintPrinterMetrics:
        if (bVisible) {
            if (CDrawDoc* pDoc = GetDocument())
                pDoc->UpdatePrinterMetrics();
            RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        break;
    case HintExtent:
        if (bVisible && (pHint == NULL || pHint == this)) {
            UpdateScrollSizes();
            Invalidate(FALSE);
        }
        break;
    case HintPalette:
        if (bVisible) {
            RealizeAppPalette(this, FALSE);
            Invalidate(FALSE);
        }
        break;
    case HintBackground:
        Invalidate(TRUE);
        break;
    case HintDocSettings:
        if (bVisible) {
            UpdateZoom(NULL);
            UpdateScrollSizes();
            if (CSurfaceFrame* pFrame = KindCast<CSurfaceFrame>(RUNTIME_CLASS(CSurfaceFrame), GetParentFrame()))
                pFrame->UpdateRulers(FALSE);
            Invalidate(FALSE);
        }
        break;
    case HintDroppedFile:
        // FIXME: a dropped picture file is inserted once picture insertion
        // exists; until then the drop is ignored.
        break;
    case HintPreferences:
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        break;
    default:
        break;
    }
}

void CSurface::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    m_bActive = bActivate;
    if (bActivate) {
        UpdateZoom(NULL);
        ReportZoom();
    }
}

void CSurface::NotifyToolpad()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_SURFACE_SELCHANGED, 0, 0);
}

// ---- Window messages ---------------------------------------------------------------------------

void CSurface::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    // The fit zoom follows the window's size.
    const CDrawDoc* pDoc = GetDocument();
    if (pDoc != NULL && pDoc->GetZoom() == ZOOM_FIT) {
        UpdateZoom(NULL);
        UpdateScrollSizes();
    }
    // A page smaller than the window sits in its middle, so any new size
    // moves everything drawn: what the old size left must not stay.
    Invalidate(FALSE);
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
    Select(static_cast<CDrawObj*>(pItem));
    Invalidate(FALSE);
    return 0;
}
