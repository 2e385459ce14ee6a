#include "platform/framework/Preview.h"

#include "platform/base/Arithmetic.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/Frame.h"
#include "platform/framework/PrintInfo.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PreviewDc.h"
#include "platform/ui/User.h"

#include <algorithm>

namespace {

constexpr int kMargin = 8; // space around and between the pages, in pixels
constexpr int kShadow = 3; // the shadow's offset below and right of a page

} // namespace

CPrintPreviewState::CPrintPreviewState()
    : nIDMainPane(AFX_IDW_PANE_FIRST)
{
}

IMPLEMENT_DYNCREATE(CPreviewView, CScrollView)

BEGIN_MESSAGE_MAP(CPreviewView, CScrollView)
    ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
    ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, OnNumPageChange)
    ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
    ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
    ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrint)
    ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, OnZoomIn)
    ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, OnZoomOut)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NUMPAGE, OnUpdateNumPageChange)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNextPage)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrevPage)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMIN, OnUpdateZoomIn)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMOUT, OnUpdateZoomOut)
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CPreviewView::CPreviewView() = default;

CPreviewView::~CPreviewView()
{
    if (m_pPreviewDC) {
        m_pPreviewDC->ReleaseOutputDC();
        m_pPreviewDC->ReleaseAttribDC();
        delete m_pPreviewDC;
    }
    delete m_pPreviewInfo; // deletes the printer DC
    delete m_pPreviewState;
    // Look the bar up by its window: when the frame is torn down the bar may
    // already have deleted itself.
    if (CWnd* pBar = m_hWndToolBar ? CWnd::FromHandlePermanent(m_hWndToolBar) : nullptr)
        pBar->DestroyWindow(); // the bar deletes itself
}

BOOL CPreviewView::SetPrintView(CView* pPrintView)
{
    if (!pPrintView)
        return FALSE;
    m_pPreviewInfo = new CPrintInfo;
    m_pPreviewInfo->m_bPreview = TRUE;
    if (!pPrintView->OnPreparePrinting(m_pPreviewInfo))
        return FALSE;
    m_hPrinterDC = m_pPreviewInfo->m_pPD->m_pd.hDC;
    if (m_hPrinterDC == NULL)
        return FALSE;

    m_pPreviewDC = new CPreviewDC;
    m_pPreviewDC->SetAttribDC(m_hPrinterDC);
    m_pPreviewDC->m_bPrinting = TRUE;
    m_sizePrinterPPI.cx = ::GetDeviceCaps(m_hPrinterDC, LOGPIXELSX);
    m_sizePrinterPPI.cy = ::GetDeviceCaps(m_hPrinterDC, LOGPIXELSY);
    HDC hScreen = ::GetDC(NULL);
    m_sizeScreenPPI.cx = ::GetDeviceCaps(hScreen, LOGPIXELSX);
    m_sizeScreenPPI.cy = ::GetDeviceCaps(hScreen, LOGPIXELSY);
    ::ReleaseDC(NULL, hScreen);

    // One or two pages side by side: the job's wish, else the application's.
    UINT nPages = m_pPreviewInfo->m_nNumPreviewPages;
    if (nPages == 0 && AfxGetApp())
        nPages = UINT(std::max(AfxGetApp()->m_nNumPreviewPages, 0));
    m_nPages = nPages == 2 ? 2 : 1;
    m_nZoomOutPages = m_nPages;
    m_pPreviewInfo->m_nNumPreviewPages = m_nPages;

    pPrintView->OnBeginPrinting(m_pPreviewDC, m_pPreviewInfo);
    // Only a view that began printing is told to end it.
    m_pPrintView = pPrintView;

    UINT nMin = m_pPreviewInfo->GetMinPage();
    UINT nMax = std::max(m_pPreviewInfo->GetMaxPage(), nMin);
    m_nCurrentPage = std::clamp(m_pPreviewInfo->m_nCurPage, nMin, nMax);
    PositionPages();
    ShowPageDescription();
    return TRUE;
}

CRect CPreviewView::GetPageRect(UINT nIndex) const
{
    if (nIndex >= m_nPages || nIndex >= 2 || m_nCurrentPage + nIndex > GetLastPage())
        return CRect(0, 0, 0, 0);
    CRect rect = m_rectPage[nIndex];
    CPoint scroll = GetDeviceScrollPosition();
    rect.OffsetRect(-scroll.x, -scroll.y);
    return rect;
}

UINT CPreviewView::GetLastPage() const
{
    UINT nLast = m_pPreviewInfo ? m_pPreviewInfo->GetMaxPage() : 1;
    UINT nMin = m_pPreviewInfo ? m_pPreviewInfo->GetMinPage() : 1;
    return std::max(std::min(nLast, m_nLastPageFound), nMin);
}

CSize CPreviewView::PrinterPageSize() const
{
    if (m_hPrinterDC == NULL)
        return CSize(0, 0);
    CSize size(::GetDeviceCaps(m_hPrinterDC, PHYSICALWIDTH), ::GetDeviceCaps(m_hPrinterDC, PHYSICALHEIGHT));
    if (size.cx <= 0 || size.cy <= 0)
        size = CSize(::GetDeviceCaps(m_hPrinterDC, HORZRES), ::GetDeviceCaps(m_hPrinterDC, VERTRES));
    return size;
}

void CPreviewView::PositionPages()
{
    CSize sheet = PrinterPageSize();
    if (m_bPositioning || m_hWnd == NULL || sheet.cx <= 0 || sheet.cy <= 0)
        return;
    m_bPositioning = TRUE;
    // Showing or hiding the scroll bars changes the client area: lay out
    // again for the area that results (twice at most, the bars settle).
    for (int pass = 0; pass < 3; ++pass) {
        CRect client;
        GetClientRect(&client);
        LayOutPages(client.Size(), sheet);
        CRect after;
        GetClientRect(&after);
        if (after.Size() == client.Size())
            break;
    }
    m_bPositioning = FALSE;
}

void CPreviewView::LayOutPages(CSize client, CSize sheet)
{
    const int nShown = m_nZoomState == ZOOM_OUT ? int(m_nPages) : 1;

    // The width of a page that fits the window, n pages side by side.
    int availW = client.cx - kMargin * (nShown + 1) - kShadow * nShown;
    int availH = client.cy - kMargin * 2 - kShadow;
    int fitW = std::min(availW / nShown, MulDiv(availH, sheet.cx, sheet.cy));
    fitW = std::max(fitW, 1);

    int w = fitW;
    if (m_nZoomState != ZOOM_OUT) {
        // Zoom In shows the sheet at its size on paper; Zoom Middle halfway.
        int actualW = MulDiv(sheet.cx, m_sizeScreenPPI.cx, std::max<int>(m_sizePrinterPPI.cx, 1));
        actualW = std::max(actualW, fitW);
        w = m_nZoomState == ZOOM_IN ? actualW : (fitW + actualW) / 2;
    }
    int h = std::max(MulDiv(w, sheet.cy, sheet.cx), 1);

    CSize used(nShown * w + (nShown - 1) * (kMargin + kShadow), h);
    CSize total(used.cx + 2 * kMargin + kShadow, used.cy + 2 * kMargin + kShadow);
    CSize area(std::max<int>(total.cx, client.cx), std::max<int>(total.cy, client.cy));
    int x0 = (area.cx - used.cx - kShadow) / 2;
    int y0 = (area.cy - used.cy - kShadow) / 2;
    for (int i = 0; i < 2; ++i) {
        if (i < nShown)
            m_rectPage[i].SetRect(x0 + i * (w + kMargin + kShadow), y0, x0 + i * (w + kMargin + kShadow) + w, y0 + h);
        else
            m_rectPage[i].SetRectEmpty();
    }
    // Scroll bars only when the pages are larger than the window.
    if (m_nZoomState == ZOOM_OUT)
        SetScrollSizes(MM_TEXT, CSize(1, 1));
    else
        SetScrollSizes(MM_TEXT, total, CSize(std::max<int>(client.cx - kMargin, 1), std::max<int>(client.cy - kMargin, 1)),
            CSize(16, 16));
}

void CPreviewView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    PositionPages();
    Invalidate(FALSE);
}

BOOL CPreviewView::OnEraseBkgnd(CDC* /*pDC*/)
{
    return TRUE; // OnDraw paints all of the window
}

void CPreviewView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    CPoint scroll = GetDeviceScrollPosition();
    client.OffsetRect(scroll.x, scroll.y); // into content coordinates
    pDC->FillSolidRect(client, ::GetSysColor(COLOR_APPWORKSPACE));
    if (!m_pPrintView || !m_pPreviewDC)
        return;

    UINT nShown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
    for (UINT i = 0; i < nShown; ++i) {
        UINT nPage = m_nCurrentPage + i;
        if (nPage > GetLastPage() || m_rectPage[i].IsRectEmpty())
            break;

        const CRect& rect = m_rectPage[i];
        pDC->FillSolidRect(rect.left + kShadow, rect.top + kShadow, rect.Width(), rect.Height(),
            ::GetSysColor(COLOR_BTNSHADOW));
        pDC->FillSolidRect(rect, RGB(255, 255, 255));
        if (!DrawPage(pDC, i, nPage)) {
            // The document ended before this page; paint again without it.
            Invalidate(FALSE);
            break;
        }
        // The frame goes on last, over anything the page drew at its edge.
        CRect frame = rect;
        frame.InflateRect(1, 1);
        CBrush black(RGB(0, 0, 0));
        pDC->FrameRect(frame, &black);
    }
    if (m_nCurrentPage > GetLastPage()) {
        // The document turned out shorter than the page shown.
        m_nCurrentPage = GetLastPage();
        ShowPageDescription();
        Invalidate(FALSE);
    }
}

BOOL CPreviewView::DrawPage(CDC* pDC, UINT nIndex, UINT nPage)
{
    const CRect& rect = m_rectPage[nIndex];
    CSize sheet = PrinterPageSize();
    int savedScreen = ::SaveDC(pDC->m_hDC);
    pDC->IntersectClipRect(rect);
    CPoint topLeft = rect.TopLeft();
    pDC->LPtoDP(&topLeft, 1);

    m_pPreviewDC->SetOutputDC(pDC->m_hDC);
    int savedPreview = m_pPreviewDC->SaveDC();
    // Printer dots to screen pixels, with printer (0, 0) at the printable
    // area's corner, PHYSICALOFFSET inside the sheet.
    m_pPreviewDC->SetScaleRatio(rect.Width(), sheet.cx);
    int offsetX = ::GetDeviceCaps(m_hPrinterDC, PHYSICALOFFSETX);
    int offsetY = ::GetDeviceCaps(m_hPrinterDC, PHYSICALOFFSETY);
    m_pPreviewDC->SetTopLeftOffset(
        CSize(topLeft.x + MulDiv(offsetX, rect.Width(), sheet.cx), topLeft.y + MulDiv(offsetY, rect.Width(), sheet.cx)));

    m_pPreviewInfo->m_nCurPage = nPage;
    m_pPreviewInfo->m_bContinuePrinting = TRUE;
    m_pPrintView->OnPrepareDC(m_pPreviewDC, m_pPreviewInfo);
    BOOL bExists = m_pPreviewInfo->m_bContinuePrinting || nPage <= m_pPreviewInfo->GetMinPage();
    if (m_pPreviewInfo->m_bContinuePrinting) {
        m_pPreviewInfo->m_rectDraw.SetRect(0, 0, ::GetDeviceCaps(m_hPrinterDC, HORZRES),
            ::GetDeviceCaps(m_hPrinterDC, VERTRES));
        m_pPreviewDC->DPtoLP(&m_pPreviewInfo->m_rectDraw);
        m_pPrintView->OnPrint(m_pPreviewDC, m_pPreviewInfo);
    } else if (nPage > m_pPreviewInfo->GetMinPage()) {
        // The document ended before this page: it has one page less.
        m_nLastPageFound = nPage - 1;
    }
    m_pPreviewDC->RestoreDC(savedPreview);
    m_pPreviewDC->ReleaseOutputDC();
    ::RestoreDC(pDC->m_hDC, savedScreen);
    return bExists;
}

void CPreviewView::ShowPageDescription()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (!pFrame || !m_pPreviewInfo)
        return;
    // m_strPageDesc is "one page\nseveral pages\n".
    CString desc = m_pPreviewInfo->m_strPageDesc;
    int nl = desc.Find('\n');
    CString one = nl < 0 ? desc : desc.Left(nl);
    CString rest = nl < 0 ? CString() : desc.Mid(nl + 1);
    int nl2 = rest.Find('\n');
    CString several = nl2 < 0 ? rest : rest.Left(nl2);
    char text[128];
    UINT nShown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
    UINT nLastShown = std::min(m_nCurrentPage + nShown - 1, GetLastPage());
    if (nLastShown > m_nCurrentPage && !several.IsEmpty())
        wsprintf(text, several, m_nCurrentPage, nLastShown);
    else
        wsprintf(text, one, m_nCurrentPage);
    pFrame->SetMessageText(text);
}

void CPreviewView::SetCurrentPage(UINT nPage)
{
    UINT nMin = m_pPreviewInfo ? m_pPreviewInfo->GetMinPage() : 1;
    nPage = std::clamp(nPage, nMin, std::max(GetLastPage(), nMin));
    if (nPage == m_nCurrentPage)
        return;
    m_nCurrentPage = nPage;
    ShowPageDescription();
    Invalidate(FALSE);
}

void CPreviewView::SetZoomState(int nNewState, double fxCentre, double fyCentre)
{
    if (nNewState == m_nZoomState)
        return;
    if (m_nZoomState == ZOOM_OUT)
        m_nZoomOutPages = m_nPages;
    m_nZoomState = nNewState;
    m_nPages = nNewState == ZOOM_OUT ? m_nZoomOutPages : 1;
    PositionPages();
    if (nNewState != ZOOM_OUT) {
        const CRect& rect = m_rectPage[0];
        CenterOnPoint(CPoint(rect.left + int(rect.Width() * fxCentre), rect.top + int(rect.Height() * fyCentre)));
    }
    ShowPageDescription();
    Invalidate(FALSE);
}

// ---- Commands -----------------------------------------------------------------------------------

void CPreviewView::ClosePreview()
{
    if (m_bClosing)
        return;
    m_bClosing = TRUE;
    CView* pView = m_pPrintView ? m_pPrintView : m_pOrigView;
    if (pView) {
        // Deletes this view.
        pView->OnEndPrintPreview(m_pPreviewDC, m_pPreviewInfo, CPoint(0, 0), this);
        return;
    }
    DestroyWindow();
}

void CPreviewView::OnPreviewClose()
{
    ClosePreview();
}

void CPreviewView::OnPreviewPrint()
{
    // Printing runs on the view that was previewed, once it is back.
    CFrameWnd* pFrame = GetParentFrame();
    HWND hFrame = pFrame ? pFrame->GetSafeHwnd() : NULL;
    ClosePreview(); // this object is gone now
    if (hFrame && ::IsWindow(hFrame))
        ::SendMessage(hFrame, WM_COMMAND, ID_FILE_PRINT, 0);
}

void CPreviewView::OnNextPage()
{
    SetCurrentPage(m_nCurrentPage + 1);
}

void CPreviewView::OnPrevPage()
{
    if (m_nCurrentPage > 1)
        SetCurrentPage(m_nCurrentPage - 1);
}

void CPreviewView::OnNumPageChange()
{
    if (m_nZoomState != ZOOM_OUT)
        return;
    m_nPages = m_nPages == 1 ? 2 : 1;
    m_nZoomOutPages = m_nPages;
    if (m_pPreviewInfo)
        m_pPreviewInfo->m_nNumPreviewPages = m_nPages;
    if (AfxGetApp())
        AfxGetApp()->m_nNumPreviewPages = int(m_nPages);
    PositionPages();
    ShowPageDescription();
    Invalidate(FALSE);
}

void CPreviewView::OnZoomIn()
{
    if (m_nZoomState != ZOOM_IN)
        SetZoomState(m_nZoomState + 1, 0.5, 0.5);
}

void CPreviewView::OnZoomOut()
{
    if (m_nZoomState != ZOOM_OUT)
        SetZoomState(m_nZoomState - 1, 0.5, 0.5);
}

void CPreviewView::OnUpdateNextPage(CCmdUI* pCmdUI)
{
    UINT nShown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
    pCmdUI->Enable(m_nCurrentPage + nShown - 1 < GetLastPage());
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pPreviewInfo && m_nCurrentPage > m_pPreviewInfo->GetMinPage());
}

void CPreviewView::OnUpdateNumPageChange(CCmdUI* pCmdUI)
{
    // The button offers the other choice.
    pCmdUI->SetText(AfxFrameworkString(m_nPages == 1 ? AFX_IDS_TWOPAGE : AFX_IDS_ONEPAGE));
    pCmdUI->Enable(m_nZoomState == ZOOM_OUT);
}

void CPreviewView::OnUpdateZoomIn(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nZoomState != ZOOM_IN);
}

void CPreviewView::OnUpdateZoomOut(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nZoomState != ZOOM_OUT);
}

void CPreviewView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_ESCAPE) {
        ClosePreview();
        return;
    }
    CScrollView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CPreviewView::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    // A click zooms in on the point clicked, and out again after the
    // largest zoom.
    CPoint content = point + GetDeviceScrollPosition();
    UINT nShown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
    for (UINT i = 0; i < nShown; ++i) {
        const CRect& rect = m_rectPage[i];
        if (!rect.PtInRect(content) || m_nCurrentPage + i > GetLastPage())
            continue;
        if (m_nZoomState == ZOOM_IN) {
            SetZoomState(ZOOM_OUT, 0.5, 0.5);
            return;
        }
        double fx = double(content.x - rect.left) / std::max<int>(rect.Width(), 1);
        double fy = double(content.y - rect.top) / std::max<int>(rect.Height(), 1);
        if (i > 0)
            SetCurrentPage(m_nCurrentPage + i);
        SetZoomState(m_nZoomState + 1, fx, fy);
        return;
    }
}
