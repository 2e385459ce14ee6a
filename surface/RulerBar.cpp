#include "surface/RulerBar.h"

#include "model/DrawDoc.h"
#include "platform/base/Arithmetic.h"
#include "resources/resource.h"
#include "surface/KindCast.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Shared by both rulers of every frame: measured once on the screen.
int s_nThickness = 0;

constexpr const char* kLabelFace = "Arial";
constexpr int kLabelHeight = 12;
constexpr int kMinLabelHeight = 6;
// The corner box takes the press when both coordinates lie within the
// thickness; a guideline dropped back on the ruler goes when one lies
// within this many thousandths of an inch.
constexpr int kRemoveTolerance = 2;
constexpr UINT kRulerHorzStyle = WS_CHILD | CBRS_TOP;  // 0x2800
constexpr UINT kRulerVertStyle = WS_CHILD | CBRS_LEFT; // 0x1400
// Logical units (hundredths of an inch) per unit of the scale.
constexpr double kUnitInch = 100.0;
constexpr double kUnitCentimetre = 39.37007874;
// Tick i of each major interval is thickness >> s: full, quarter, half,
// quarter.
constexpr int kTickShift[4] = {0, 2, 1, 2};

LOGFONT MakeLabelFont(int nHeight)
{
    LOGFONT lf{};
    lf.lfHeight = -nHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    std::strncpy(lf.lfFaceName, kLabelFace, LF_FACESIZE - 1);
    return lf;
}

// The screen pixels per inch and the zoom of the view, never zero.
struct ViewScale {
    int ppi = 96;
    int zoom = 100;
    double PixelsPerUnit() const { return ppi * zoom / 10000.0; }
};

} // namespace

IMPLEMENT_DYNAMIC(CRulerBar, CDialogBar)

BEGIN_MESSAGE_MAP(CRulerBar, CDialogBar)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

CRulerBar::CRulerBar()
{
    m_rectMouseMark.SetRectEmpty();
    m_rectDragLine.SetRectEmpty();
    GetThickness();
}

CRulerBar::~CRulerBar() = default;

int CRulerBar::GetThickness()
{
    if (s_nThickness != 0)
        return s_nThickness;
    CWnd* pMain = AfxGetMainWnd();
    HWND hWnd = pMain != nullptr ? pMain->GetSafeHwnd() : NULL;
    HDC hdc = ::GetDC(hWnd);
    CSize size(0, 0);
    if (hdc != NULL) {
        LOGFONT lf = MakeLabelFont(kLabelHeight);
        HFONT hFont = ::CreateFontIndirect(&lf);
        HGDIOBJ hOld = hFont != NULL ? ::SelectObject(hdc, hFont) : NULL;
        ::GetTextExtentPoint32(hdc, "10", 2, &size);
        if (hOld != NULL)
            ::SelectObject(hdc, hOld);
        if (hFont != NULL)
            ::DeleteObject(hFont);
        ::ReleaseDC(hWnd, hdc);
    }
    // A screen without fonts still gets a usable ruler.
    const int side = std::max<int>({size.cx, size.cy, kLabelHeight});
    s_nThickness = side * 3 / 2;
    return s_nThickness;
}

int CRulerBar::CalcLabelHeight(int nZoom)
{
    const int nMax = std::max(kMinLabelHeight, GetThickness() - 2);
    return std::clamp(::MulDiv(kLabelHeight, std::max(nZoom, 1), 100), kMinLabelHeight, nMax);
}

void CRulerBar::ResetShared()
{
    s_nThickness = 0;
}

BOOL CRulerBar::Create(CSurface* pView, UINT nID, BOOL bVertical)
{
    if (pView == nullptr || pView->GetSafeHwnd() == NULL)
        return FALSE;
    CFrameWnd* pFrame = pView->GetParentFrame();
    if (pFrame == nullptr)
        return FALSE;
    m_wFlags = static_cast<WORD>(bVertical ? (m_wFlags | RulerVertical) : (m_wFlags & ~RulerVertical));
    m_pView = pView;
    const UINT nStyle = bVertical ? kRulerVertStyle : kRulerHorzStyle;
    if (!CDialogBar::Create(pFrame, IDD_RULER_BAR, nStyle, nID))
        return FALSE;
    SetBarStyle(nStyle & CBRS_ALL);
    SetBorders(0, 0, 0, 0);

    // The top ruler shows the corner picture (the left ruler's corner is
    // covered by it).
    if (!bVertical) {
        LPCTSTR lpszName = MAKEINTRESOURCE(IDB_RULER_CORNER);
        if (HBITMAP hBitmap = ::LoadBitmap(AfxFindResourceHandle(lpszName, RT_BITMAP), lpszName)) {
            m_bmpCorner.Attach(hBitmap);
            BITMAP bm{};
            m_bmpCorner.GetBitmap(&bm);
            m_sizeCorner = CSize(bm.bmWidth, bm.bmHeight);
        }
    }
    return TRUE;
}

void CRulerBar::SetMetric(BOOL bMetric)
{
    m_wFlags = static_cast<WORD>(bMetric ? (m_wFlags | RulerMetric) : (m_wFlags & ~RulerMetric));
}

CSize CRulerBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    (void)bHorz;
    const int t = GetThickness();
    if (!bStretch)
        return CSize(t, t);
    return IsVertical() ? CSize(t, 32767) : CSize(32767, t);
}

// ---- Mapping ------------------------------------------------------------------------------------

namespace {

ViewScale ScaleOf(CSurface* pView)
{
    ViewScale scale;
    scale.zoom = std::max<int>(1, pView->GetZoom());
    HDC hdc = ::GetDC(NULL);
    if (hdc != NULL) {
        scale.ppi = std::max(1, ::GetDeviceCaps(hdc, LOGPIXELSX));
        ::ReleaseDC(NULL, hdc);
    }
    return scale;
}

} // namespace

int CRulerBar::ViewToRulerPixel(CPoint ptView) const
{
    if (m_pView == nullptr || m_hWnd == NULL)
        return IsVertical() ? ptView.y : ptView.x;
    m_pView->ClientToScreen(&ptView);
    ScreenToClient(&ptView);
    return IsVertical() ? ptView.y : ptView.x;
}

DWORD CRulerBar::ViewPointToGuideline(CPoint ptView) const
{
    if (m_pView == nullptr || m_pView->GetSafeHwnd() == NULL)
        return 0;
    m_pView->DPtoLPPoint(&ptView);
    const CRect page = m_pView->GetPageRect();
    // The view's logical y grows upwards; guidelines count down from the top.
    const long long offset = IsVertical() ? static_cast<long long>(page.top) - ptView.y
                                          : static_cast<long long>(ptView.x) - page.left;
    if (offset <= 0)
        return 0;
    return static_cast<DWORD>(std::min<long long>(offset * 10, 0x7FFFFFFF));
}

// ---- Drawing ------------------------------------------------------------------------------------

BOOL CRulerBar::OnEraseBkgnd(CDC* pDC)
{
    (void)pDC;
    return TRUE; // the paint covers every pixel
}

void CRulerBar::OnPaint()
{
    CPaintDC dc(this);
    DoPaint(&dc);
}

void CRulerBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawRuler(pDC, rect);
}

void CRulerBar::DrawRuler(CDC* pDC, const CRect& rectClient)
{
    const int nThickness = GetThickness();
    const BOOL bVertical = IsVertical();
    pDC->FillSolidRect(rectClient, ::GetSysColor(COLOR_BTNFACE));

    if (m_pView != nullptr && m_pView->GetSafeHwnd() != NULL) {
        const ViewScale scale = ScaleOf(m_pView);
        const double pixelsPerUnit = scale.PixelsPerUnit();
        // Where 0 of the scale lies along the ruler, in ruler pixels.
        CPoint ptEdge = m_pView->GetPageRect().TopLeft();
        m_pView->LPtoDPPoint(&ptEdge);
        const int nOrigin = ViewToRulerPixel(ptEdge);
        const int nEnd = bVertical ? rectClient.bottom : rectClient.right;
        const CSize sizePage = m_pView->GetPageSize();
        const double pageLength = std::abs(static_cast<double>(bVertical ? sizePage.cy : sizePage.cx));

        CFont font;
        const LOGFONT lf = MakeLabelFont(CalcLabelHeight(scale.zoom));
        font.CreateFontIndirect(&lf);
        CFont* pOldFont = pDC->SelectObject(&font);
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        const COLORREF crOldText = pDC->SetTextColor(RGB(0, 0, 0));

        // The major interval is the first whole number of units wider than
        // the widest label we expect, so labels never run into each other.
        const double unit = IsMetric() ? kUnitCentimetre : kUnitInch;
        const CSize sizeLabel = pDC->GetTextExtent("200", 3);
        int nMajor = 1;
        while (nMajor < 10000 && nMajor * unit * pixelsPerUnit <= sizeLabel.cx)
            ++nMajor;
        const double step = nMajor * unit / 4.0;
        const double stepPixels = step * pixelsPerUnit;

        // Start with the first tick that can show (ticks left of the client
        // area are skipped without drawing them one by one).
        long long i = 0;
        if (nOrigin < 0 && stepPixels > 0)
            i = static_cast<long long>(std::floor(-nOrigin / stepPixels));
        const int nLabelOffset = std::max(1, static_cast<int>(std::lround(2 * pixelsPerUnit)));
        const int nLabelOffsetV = std::max(1, static_cast<int>(std::lround(pixelsPerUnit)));
        for (;; ++i) {
            const double at = static_cast<double>(i) * step;
            if (at > pageLength)
                break;
            const int pos = nOrigin + static_cast<int>(std::lround(at * pixelsPerUnit));
            if (pos >= nEnd)
                break;
            const int len = nThickness >> kTickShift[i % 4];
            if (bVertical)
                pDC->FillSolidRect(0, pos, len, 1, RGB(0, 0, 0));
            else
                pDC->FillSolidRect(pos, 0, 1, len, RGB(0, 0, 0));
            if (i % 4 == 0) {
                CString label;
                label.Format("%d", static_cast<int>(i / 4 * nMajor));
                if (bVertical)
                    pDC->TextOut(nLabelOffsetV, pos + nLabelOffsetV, label);
                else
                    pDC->TextOut(pos + nLabelOffset, 0, label);
            }
        }
        pDC->SetTextColor(crOldText);
        pDC->SetBkMode(nOldMode);
        pDC->SelectObject(pOldFont);
    }

    if (!bVertical) {
        const CRect box(0, 0, nThickness, nThickness);
        if (m_bmpCorner.GetSafeHandle() != NULL) {
            CDC dcBitmap;
            dcBitmap.CreateCompatibleDC(pDC);
            CBitmap* pOld = dcBitmap.SelectObject(const_cast<CBitmap*>(&m_bmpCorner));
            pDC->StretchBlt(box.left, box.top, box.Width(), box.Height(), &dcBitmap, 0, 0, m_sizeCorner.cx,
                m_sizeCorner.cy, SRCCOPY);
            dcBitmap.SelectObject(pOld);
        } else {
            pDC->FillSolidRect(box, ::GetSysColor(COLOR_BTNFACE));
        }
    }
    if (!m_rectMouseMark.IsRectEmpty())
        pDC->InvertRect(m_rectMouseMark);
}

// ---- Mouse mark and drag line -------------------------------------------------------------------

void CRulerBar::InvertMouseMark()
{
    if (m_hWnd == NULL || m_rectMouseMark.IsRectEmpty())
        return;
    CClientDC dc(this);
    dc.InvertRect(m_rectMouseMark);
}

void CRulerBar::SetMouseMark(int nAt)
{
    CRect rect;
    rect.SetRectEmpty();
    if (nAt >= 0 && m_hWnd != NULL) {
        CRect client;
        GetClientRect(&client);
        rect = IsVertical() ? CRect(0, nAt, client.right, nAt + 1) : CRect(nAt, 0, nAt + 1, client.bottom);
    }
    if (rect == m_rectMouseMark)
        return;
    InvertMouseMark();
    m_rectMouseMark = rect;
    InvertMouseMark();
}

void CRulerBar::OnViewMouseMove(int x, int y, UINT nFlags)
{
    (void)nFlags;
    if (m_pView == nullptr || m_pView->GetSafeHwnd() == NULL || m_hWnd == NULL)
        return;
    CRect client;
    m_pView->GetClientRect(&client);
    const CPoint point(x, y);
    SetMouseMark(client.PtInRect(point) ? ViewToRulerPixel(point) : -1);
}

void CRulerBar::InvertDragLine()
{
    if (m_pView == nullptr || m_pView->GetSafeHwnd() == NULL || m_rectDragLine.IsRectEmpty())
        return;
    CClientDC dc(m_pView);
    dc.InvertRect(m_rectDragLine);
}

BOOL CRulerBar::InCornerBox(CPoint point) const
{
    const int t = GetThickness();
    return !IsVertical() && point.x >= 0 && point.x < t && point.y >= 0 && point.y < t;
}

namespace {

// A ruler client point in the view's client coordinates.
CPoint RulerToView(const CWnd* pRuler, CSurface* pView, CPoint point)
{
    pRuler->ClientToScreen(&point);
    pView->ScreenToClient(&point);
    return point;
}

} // namespace

void CRulerBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    CDialogBar::OnLButtonDown(nFlags, point);
    SetCapture();
    InvertDragLine();
    m_rectDragLine.SetRectEmpty();
    if (InCornerBox(point)) {
        // Nothing is dragged out of the corner box: it only opens the units.
        m_wFlags |= RulerCornerPress;
        return;
    }
    m_wFlags &= static_cast<WORD>(~RulerCornerPress);
    if (m_pView == nullptr || m_pView->GetSafeHwnd() == NULL)
        return;
    CRect client;
    m_pView->GetClientRect(&client);
    const CPoint ptView = RulerToView(this, m_pView, point);
    m_rectDragLine = IsVertical() ? CRect(0, ptView.y, client.right, ptView.y + 1)
                                  : CRect(ptView.x, 0, ptView.x + 1, client.bottom);
    InvertDragLine();
}

void CRulerBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // A quick second press starts another drag like the first.
    OnLButtonDown(nFlags, point);
}

void CRulerBar::OnMouseMove(UINT nFlags, CPoint point)
{
    CDialogBar::OnMouseMove(nFlags, point);
    const BOOL bCorner = (m_wFlags & RulerCornerPress) != 0;
    if (!bCorner && GetCapture() == this && m_pView != nullptr && m_pView->GetSafeHwnd() != NULL) {
        CRect client;
        m_pView->GetClientRect(&client);
        const CPoint ptView = RulerToView(this, m_pView, point);
        const CRect rect = IsVertical() ? CRect(0, ptView.y, client.right, ptView.y + 1)
                                        : CRect(ptView.x, 0, ptView.x + 1, client.bottom);
        if (rect != m_rectDragLine) {
            InvertDragLine();
            m_rectDragLine = rect;
            InvertDragLine();
        }
    }
    if (InCornerBox(point))
        SetMouseMark(-1);
    else
        SetMouseMark(IsVertical() ? point.y : point.x);
}

void CRulerBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    (void)nFlags;
    // Letting the capture go ends the drag (OnCaptureChanged), so what the
    // press was is read first.
    const BOOL bCaptured = GetCapture() == this;
    const BOOL bCornerClick = (m_wFlags & RulerCornerPress) != 0 && InCornerBox(point);
    if (bCaptured)
        ::ReleaseCapture();
    EndDrag();
    if (!bCaptured)
        return;

    if (bCornerClick) {
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->PostMessage(WM_COMMAND, ID_RULER_PROPERTIES, 0);
        return;
    }
    if (m_pView == nullptr || m_pView->GetSafeHwnd() == NULL)
        return;

    // A horizontal ruler makes vertical guidelines (array 1), and the other
    // way round.
    const BOOL bVerticalGuide = !IsVertical();
    const CPoint ptView = RulerToView(this, m_pView, point);
    CRect viewClient;
    m_pView->GetClientRect(&viewClient);
    CRect rulerClient;
    GetClientRect(&rulerClient);
    const DWORD dwPosition = ViewPointToGuideline(ptView);
    CDrawDoc* pDoc = m_pView->GetDocument();

    if (viewClient.PtInRect(ptView)) {
        m_pView->AddGuideline(dwPosition, bVerticalGuide);
        if (pDoc != nullptr)
            pDoc->m_wDocFlags |= CSurface::DocShowGuidelines;
        m_pView->Invalidate(FALSE);
    } else if (rulerClient.PtInRect(point)) {
        // Only a guideline that is really there changes the document.
        const CDWordArray& guides = m_pView->m_guidelines[bVerticalGuide ? 1 : 0];
        BOOL bNear = FALSE;
        for (INT_PTR i = 0; i < guides.GetSize() && !bNear; ++i)
            bNear = std::llabs(static_cast<long long>(guides[i]) - dwPosition) <= kRemoveTolerance;
        if (bNear) {
            m_pView->RemoveGuideline(dwPosition, bVerticalGuide, kRemoveTolerance);
            m_pView->Invalidate(FALSE);
        }
    }
}

void CRulerBar::EndDrag()
{
    InvertDragLine();
    m_rectDragLine.SetRectEmpty();
    m_wFlags &= static_cast<WORD>(~RulerCornerPress);
}

void CRulerBar::OnCaptureChanged(CWnd* pWnd)
{
    // Another window took the mouse in the middle of a drag: nothing is
    // placed, and no line is left behind in the view.
    if (pWnd != this)
        EndDrag();
    CDialogBar::OnCaptureChanged(pWnd);
}

void CRulerBar::OnRButtonUp(UINT nFlags, CPoint point)
{
    (void)nFlags;
    (void)point;
    CMenu menu;
    if (!menu.LoadMenu(IDR_POPUP_RULER))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    CFrameWnd* pFrame = GetParentFrame();
    if (pPopup == nullptr || pFrame == nullptr)
        return;
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, ptCursor.x, ptCursor.y, pFrame);
}

LRESULT CRulerBar::OnHelpHitTest(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}

// ---- Finding a view's rulers --------------------------------------------------------------------

CRulerBar* CRulerBar::FromView(CSurface* pView, BOOL bVertical)
{
    if (pView == nullptr || pView->GetSafeHwnd() == NULL)
        return nullptr;
    CFrameWnd* pFrame = pView->GetParentFrame();
    if (pFrame == nullptr)
        return nullptr;
    CWnd* pWnd = pFrame->GetDlgItem(static_cast<int>(bVertical ? ID_RULER_VERT : ID_RULER_HORZ));
    CRulerBar* pRuler = KindCast<CRulerBar>(RUNTIME_CLASS(CRulerBar), pWnd);
    return pRuler != nullptr && pRuler->m_pView == pView ? pRuler : nullptr;
}

void CRulerBar::ViewMouseMove(CSurface* pView, int x, int y, UINT nFlags)
{
    // Hidden rulers keep no mark.
    for (BOOL bVertical : {FALSE, TRUE}) {
        CRulerBar* pRuler = FromView(pView, bVertical);
        if (pRuler != nullptr && pRuler->IsWindowVisible())
            pRuler->OnViewMouseMove(x, y, nFlags);
    }
}
