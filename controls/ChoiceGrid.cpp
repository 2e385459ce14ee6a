#include "controls/ChoiceGrid.h"

#include "pictures/MetafilePicture.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

IMPLEMENT_DYNAMIC(CChoiceGrid, CWnd)

BEGIN_MESSAGE_MAP(CChoiceGrid, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_WM_GETDLGCODE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {

constexpr UINT kCalcRect = DT_CALCRECT;
constexpr UINT kOneLine = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr int kSmallestFit = 7;
// The cursor over a cell: the first of the program's cursor resources.
constexpr UINT kCellCursor = 264;

} // namespace

// ---- Default controller -------------------------------------------------------------------------

void CChoiceGrid::Controller::OnClick(UINT, int) {}

void CChoiceGrid::Controller::OnDoubleClick(UINT, int) {}

void CChoiceGrid::Controller::OnPostPaint(CDC*) {}

int CChoiceGrid::Controller::OnKey(UINT nChar, UINT, UINT nFlags)
{
    const int nCount = m_pGrid->GetCellCount();
    // Without cells there is nowhere to move; the wrap would divide by zero.
    if (nCount < 1)
        return -1;
    const int nColumns = m_pGrid->GetColumns();
    const int nCurrent = m_pGrid->GetCurrent();
    int nNew;
    switch (nChar) {
    case VK_LEFT:
        nNew = nCurrent - 1;
        break;
    case VK_UP:
        nNew = nCurrent - nColumns;
        break;
    case VK_RIGHT:
        nNew = nCurrent + 1;
        break;
    case VK_DOWN:
        nNew = nCurrent + nColumns;
        break;
    default:
        return -1;
    }
    nNew = ((nNew % nCount) + nCount) % nCount;
    OnClick(nFlags, nNew);
    return nNew;
}

// ---- Construction -------------------------------------------------------------------------------

CChoiceGrid::CChoiceGrid(CWnd* pParent, int nCells, int nNameIndex, int nNumber)
    : m_nNameIndex(nNameIndex)
{
    m_wSelection = kNoneBit;
    SetCellCount(std::max(nCells, 1));
    for (size_t i = 0; i < m_ids.size(); ++i)
        m_ids[i] = UINT(i);
    LPCSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, NULL, NULL);
    if (!CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0,
            pParent != nullptr ? pParent->m_hWnd : NULL, HMENU(INT_PTR(kFirstControlId + UINT(nNumber)))))
        AfxThrowResourceException();
    m_wFlags = kTextBand | kDblClkConfirms;
    m_pController = std::make_unique<Controller>(this);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

CChoiceGrid::~CChoiceGrid()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

void CChoiceGrid::FreePictures()
{
    for (auto& pPicture : m_pictures)
        pPicture.reset();
}

void CChoiceGrid::SetCellCount(int nCells)
{
    const int nWanted = std::max(nCells, 0);
    const size_t nSlots = size_t(std::max(nWanted, 1));
    FreePictures();
    m_pictures.clear();
    m_pictures.resize(nSlots);
    m_rects.assign(nSlots, RECT{0, 0, 0, 0});
    m_ids.resize(nSlots, 0);
    m_captions.assign(size_t(nWanted), CString());
    if (m_wFlags & kMultiple) {
        m_wSelection = kNoneBit;
    } else {
        const int nSel = GetCurSel();
        if (nSel >= nWanted)
            m_wSelection = nWanted > 0 ? WORD(1) : kNoneBit;
    }
    if (m_nCurrent >= nWanted)
        m_nCurrent = -1;
    m_nPressed = -1;
}

void CChoiceGrid::SetCellRect(int nCell, const RECT& rect)
{
    if (nCell < 0 || nCell >= int(m_rects.size()))
        return;
    m_rects[size_t(nCell)] = rect;
    if (CMetafilePicture* pPicture = m_pictures[size_t(nCell)].get()) {
        RECT inner = PictureRect(rect);
        pPicture->SetRect(inner.left, inner.top, inner.right, inner.bottom);
    }
}

void CChoiceGrid::SetCellPicture(int nCell, CMetafilePicture* pPicture)
{
    std::unique_ptr<CMetafilePicture> owned(pPicture);
    if (nCell < 0 || nCell >= int(m_pictures.size()))
        return;
    if (nCell < int(m_captions.size()))
        m_captions[size_t(nCell)] = pPicture != nullptr ? pPicture->GetName() : CString();
    m_pictures[size_t(nCell)] = std::move(owned);
    if (m_pictures[size_t(nCell)] != nullptr) {
        RECT inner = PictureRect(m_rects[size_t(nCell)]);
        m_pictures[size_t(nCell)]->SetRect(inner.left, inner.top, inner.right, inner.bottom);
    }
}

CRect CChoiceGrid::GetCellRect(int nCell) const
{
    if (nCell < 0 || nCell >= int(m_rects.size()))
        return CRect();
    return CRect(m_rects[size_t(nCell)]);
}

CMetafilePicture* CChoiceGrid::GetCellPicture(int nCell) const
{
    if (nCell < 0 || nCell >= int(m_pictures.size()))
        return nullptr;
    return m_pictures[size_t(nCell)].get();
}

UINT CChoiceGrid::GetCellId(int nCell) const
{
    if (nCell < 0 || nCell >= int(m_ids.size()))
        return 0;
    return m_ids[size_t(nCell)];
}

CString CChoiceGrid::GetCellText(int nCell) const
{
    if (nCell < 0 || nCell >= int(m_captions.size()))
        return CString();
    return m_captions[size_t(nCell)];
}

CString CChoiceGrid::GetSelectedText() const
{
    return GetCellText(GetCurSel());
}

int CChoiceGrid::GetColumns() const
{
    const int nRows = std::max(m_nRows, 1);
    return (GetCellCount() + nRows - 1) / nRows;
}

// ---- Selection ----------------------------------------------------------------------------------

int CChoiceGrid::GetCurSel() const
{
    if (m_wFlags & kMultiple)
        return m_nCurrent;
    if ((m_wSelection & kNoneBit) || m_wSelection == 0)
        return -1;
    for (int i = 0; i < kSelectableCells; ++i) {
        if (m_wSelection & (1u << i))
            return i;
    }
    return -1;
}

BOOL CChoiceGrid::IsCellSelected(int nCell) const
{
    if (nCell < 0 || nCell >= kSelectableCells || (m_wSelection & kNoneBit))
        return FALSE;
    return (m_wSelection & (1u << nCell)) != 0;
}

void CChoiceGrid::SetCurSel(int nCell, BOOL bRepaint)
{
    // Bit 15 of the mask means "none", so cell 15 and above have no bit.
    if (nCell < -1 || nCell >= kSelectableCells)
        return;
    if (m_wFlags & kMultiple) {
        if (nCell == -1) {
            m_wSelection = kNoneBit;
            if (bRepaint)
                Invalidate();
            return;
        }
        m_wSelection = WORD((m_wSelection & ~kNoneBit) ^ (1u << nCell));
        if (m_wSelection == 0)
            m_wSelection = kNoneBit;
        if (bRepaint)
            InvalidateCell(nCell, TRUE);
        return;
    }
    const int nOld = GetCurSel();
    if (nCell == nOld)
        return;
    m_wSelection = nCell == -1 ? kNoneBit : WORD(1u << nCell);
    if (bRepaint) {
        InvalidateCell(nOld, TRUE);
        InvalidateCell(nCell, TRUE);
        if (m_wFlags & kTextBand)
            InvalidateBand(TRUE);
    }
}

void CChoiceGrid::SetCurrent(int nCell, BOOL bRepaint)
{
    const int nOld = m_nCurrent;
    m_nCurrent = nCell;
    // The focus mark follows the current cell in either mode; in single
    // choice only while the grid has the focus, as only then is it drawn.
    if (bRepaint && nOld != nCell && ((m_wFlags & kMultiple) || m_bHasFocus)) {
        InvalidateCell(nOld, TRUE);
        InvalidateCell(nCell, TRUE);
    }
}

// ---- Cells and layout ---------------------------------------------------------------------------

void CChoiceGrid::SetMappingObject(CMappingObject* pMapping)
{
    if (pMapping != m_pMapping.get())
        m_pMapping.reset(pMapping);
}

void CChoiceGrid::SetController(Controller* pController)
{
    if (pController == m_pController.get())
        return;
    m_pController.reset(pController != nullptr ? pController : new Controller(this));
}

void CChoiceGrid::LoadCells(
    const UINT* pIds, int nCount, const RECT* pRects, CMappingObject* pMapping, const UINT* pOrder)
{
    try {
        SetCellCount(nCount);
        SetMappingObject(pMapping);
        if (pIds == nullptr || pRects == nullptr)
            return;
        for (int i = 0; i < nCount; ++i) {
            m_ids[size_t(i)] = pOrder != nullptr ? pOrder[i] : UINT(i);
            const RECT& cell = pRects[i];
            RECT inner = PictureRect(cell);
            auto* pPicture = new CMetafilePicture(
                inner.left, inner.top, inner.right, inner.bottom, pIds[i], m_pMapping.get(), m_nNameIndex);
            SetCellRect(i, cell);
            SetCellPicture(i, pPicture);
        }
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Insufficient memory.\nRefer to the troubleshooting addendum.");
        return;
    }
    FitCaptionFont();
    if (m_hWnd != NULL)
        Invalidate();
}

void CChoiceGrid::ArrangeCells(UINT nFirst, UINT nLast, int nRows, CMappingObject* pMapping, const UINT* pOrder)
{
    if (nLast < nFirst)
        return;
    const int nCount = int(nLast - nFirst + 1);
    CRect client;
    GetClientRect(&client);
    m_captions.assign(size_t(nCount), CString());
    m_rects.resize(std::max<size_t>(size_t(nCount), m_rects.size()));
    ComputeCellRects(nRows, nCount, client.Width(), client.Height());
    std::vector<RECT> rects(m_rects.begin(), m_rects.begin() + nCount);
    std::vector<UINT> ids(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
        ids[size_t(i)] = nFirst + UINT(i);
    LoadCells(ids.data(), nCount, rects.data(), pMapping, pOrder);
}

void CChoiceGrid::LayoutCells(int cx, int cy)
{
    CRect client;
    if (m_hWnd != NULL)
        GetClientRect(&client);
    ComputeCellRects(m_nRows, GetCellCount(), cx < 0 ? client.Width() : cx, cy < 0 ? client.Height() : cy);
    if (m_hWnd != NULL)
        Invalidate();
}

void CChoiceGrid::ComputeCellRects(int nRows, int nCount, int cx, int cy)
{
    if (nRows < 1)
        return;
    const int nColumns = (nCount + nRows - 1) / nRows;
    if (nColumns < 1)
        return;
    m_nRows = nRows;
    if (int(m_rects.size()) < nCount)
        m_rects.resize(size_t(nCount));

    const int t = TextHeight(m_nCaptionHeight);
    int usable = cy;
    if (m_wFlags & kTextBand)
        usable -= t * 3 / 2;

    const int nColumnUnits = 6 * nColumns + 1;
    const int nRowUnits = 6 * nRows + 1;
    int ux = cx / nColumnUnits;
    int offsetX = (cx % nColumnUnits) / 2;
    int uy = usable / nRowUnits;
    int offsetY = (usable % nRowUnits) / 2;
    if (nRows == 1 && ux != uy) {
        if (ux < uy) {
            uy = ux;
            offsetY = (usable - 5 * ux) / 2 - ux;
        } else {
            // The width the columns give up is split on both sides; it is
            // measured before the units are made equal.
            offsetX += std::abs(ux - uy) * nColumns * 6 / 2;
            ux = uy;
        }
    }

    const int cellWidth = 5 * ux;
    int cellHeight = 5 * uy;
    const int pitch = cellHeight;
    if (m_wFlags & kCaptions) {
        int c = t * 5 / 4;
        c = std::max(c, 2 * t + 2 - nRowUnits);
        m_nCaptionBoxHeight = 2 * t + 2;
        cellHeight -= c;
    } else if (m_wFlags & kTextBand) {
        m_nCaptionBoxHeight = t * 3 / 2;
    } else {
        m_nCaptionBoxHeight = 0;
    }

    int nBottom = 0;
    for (int i = 0; i < nCount; ++i) {
        const int column = i % nColumns;
        const int row = i / nColumns;
        RECT& r = m_rects[size_t(i)];
        r.left = offsetX + column * cellWidth + (column + 1) * ux;
        r.top = offsetY + row * pitch + (row + 1) * uy;
        r.right = r.left + cellWidth;
        r.bottom = r.top + cellHeight;
        nBottom = r.bottom;
        if (CMetafilePicture* pPicture = m_pictures.size() > size_t(i) ? m_pictures[size_t(i)].get() : nullptr) {
            RECT inner = PictureRect(r);
            pPicture->SetRect(inner.left, inner.top, inner.right, inner.bottom);
        }
    }
    if (m_wFlags & kTextBand)
        m_rectBand = CRect(0, nBottom + 3, cx, cy);
    else
        m_rectBand.SetRectEmpty();
    m_nCaptionBoxWidth = cellWidth;
}

RECT CChoiceGrid::PictureRect(const RECT& cell) const
{
    const int height = cell.bottom - cell.top;
    const int dy = height / 5;
    const int dx = m_nRows == 1 ? dy : (cell.right - cell.left) / 5;
    return RECT{cell.left + dx, cell.top + dy, cell.right - dx, cell.bottom - dy};
}

RECT CChoiceGrid::CaptionRect(int nCell) const
{
    const RECT& cell = m_rects[size_t(nCell)];
    return RECT{cell.left, cell.bottom, cell.left + m_nCaptionBoxWidth, cell.bottom + m_nCaptionBoxHeight};
}

int CChoiceGrid::HitTest(CPoint point) const
{
    if (m_hWnd != NULL && m_pMapping != nullptr) {
        CClientDC dc(const_cast<CChoiceGrid*>(this));
        PrepareDC(&dc);
        dc.DPtoLP(&point);
    }
    for (int i = 0; i < GetCellCount(); ++i) {
        if (::PtInRect(&m_rects[size_t(i)], point))
            return i;
    }
    return -1;
}

// ---- Caption font -------------------------------------------------------------------------------

void CChoiceGrid::MakeCaptionFont(CFont& font, int nHeight) const
{
    LOGFONT lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = nHeight;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Arial");
    font.CreateFontIndirect(&lf);
}

int CChoiceGrid::TextHeight(int nFontHeight)
{
    CFont font;
    MakeCaptionFont(font, nFontHeight);
    HDC hScreen = ::GetDC(NULL);
    if (hScreen == NULL)
        return std::abs(nFontHeight);
    CDC dc;
    dc.Attach(hScreen);
    CFont* pOld = dc.SelectObject(&font);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(pOld);
    dc.Detach();
    ::ReleaseDC(NULL, hScreen);
    return tm.tmHeight;
}

int CChoiceGrid::FitCaptionFont()
{
    HDC hScreen = ::GetDC(NULL);
    if (hScreen == NULL)
        return m_nCaptionHeight;
    CDC dc;
    dc.Attach(hScreen);
    // Empty captions fit at any size, so the growth is bounded by the box
    // the captions are drawn in.
    int nKept = 0;
    for (int nPixels = kSmallestFit; nPixels <= m_nCaptionBoxHeight; ++nPixels) {
        CFont font;
        MakeCaptionFont(font, -nPixels);
        CFont* pOld = dc.SelectObject(&font);
        int widest = 0;
        int tallest = 0;
        for (const CString& caption : m_captions) {
            CRect rc(0, 0, m_nCaptionBoxWidth, 0);
            dc.DrawText(caption, &rc, kCalcRect | DT_CENTER);
            widest = std::max(widest, rc.Width());
            tallest = std::max(tallest, rc.Height());
        }
        dc.SelectObject(pOld);
        if (widest > m_nCaptionBoxWidth || tallest > m_nCaptionBoxHeight)
            break;
        nKept = nPixels;
    }
    dc.Detach();
    ::ReleaseDC(NULL, hScreen);
    if (nKept > 0)
        m_nCaptionHeight = -nKept;
    return m_nCaptionHeight;
}

// ---- Painting -----------------------------------------------------------------------------------

void CChoiceGrid::PrepareDC(CDC* pDC) const
{
    if (m_pMapping != nullptr)
        m_pMapping->PrepareDC(pDC);
}

void CChoiceGrid::InvalidateCell(int nCell, BOOL bNow)
{
    if (m_hWnd == NULL || nCell < 0 || nCell >= int(m_rects.size()))
        return;
    CRect rc(m_rects[size_t(nCell)]);
    if (m_wFlags & kCaptions)
        rc.bottom += m_nCaptionBoxHeight;
    if (m_pMapping != nullptr) {
        CClientDC dc(this);
        PrepareDC(&dc);
        dc.LPtoDP(&rc);
        rc.NormalizeRect();
    }
    // The focus and selection marks are drawn on the cell's edge.
    rc.InflateRect(2, 2);
    InvalidateRect(&rc, TRUE);
    if (bNow)
        UpdateWindow();
}

void CChoiceGrid::InvalidateBand(BOOL bNow)
{
    if (m_hWnd == NULL || m_rectBand.IsRectEmpty())
        return;
    CRect rc(m_rectBand);
    if (m_pMapping != nullptr) {
        CClientDC dc(this);
        PrepareDC(&dc);
        dc.LPtoDP(&rc);
        rc.NormalizeRect();
    }
    InvalidateRect(&rc, TRUE);
    if (bNow)
        UpdateWindow();
}

void CChoiceGrid::DrawCaption(CDC& dc, const CString& text, RECT box)
{
    if (text.IsEmpty())
        return;
    if (std::strchr(LPCTSTR(text), '\n') == nullptr) {
        dc.DrawText(text, &box, kOneLine);
        return;
    }
    // Several lines are drawn as given, centred in the box's height.
    CRect measure(box.left, 0, box.right, 0);
    dc.DrawText(text, &measure, kCalcRect | DT_CENTER);
    box.top += std::max(0, (box.bottom - box.top - measure.Height()) / 2);
    dc.DrawText(text, &box, DT_CENTER);
}

void CChoiceGrid::OnPaint()
{
    CPaintDC dc(this);
    if (!IsWindowVisible())
        return;
    PrepareDC(&dc);
    CFont font;
    MakeCaptionFont(font, m_nCaptionHeight);
    CFont* pOldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    CPen markPen(PS_INSIDEFRAME, 2, ::GetSysColor(m_bHasFocus ? COLOR_HIGHLIGHT : COLOR_GRAYTEXT));

    for (int i = 0; i < GetCellCount(); ++i) {
        const RECT& cell = m_rects[size_t(i)];
        CRect area(cell);
        if (m_wFlags & kCaptions)
            area.bottom += m_nCaptionBoxHeight;
        area.InflateRect(2, 2);
        if (!dc.RectVisible(&area))
            continue;
        if (CMetafilePicture* pPicture = m_pictures[size_t(i)].get())
            pPicture->Draw(&dc);
        if (IsCellSelected(i)) {
            CPen* pOldPen = dc.SelectObject(&markPen);
            CGdiObject* pOldBrush = dc.SelectStockObject(NULL_BRUSH);
            dc.Rectangle(&cell);
            dc.SelectObject(pOldBrush);
            dc.SelectObject(pOldPen);
        }
        if (i == m_nCurrent && m_bHasFocus)
            dc.DrawFocusRect(&cell);
        if (m_wFlags & kCaptions)
            DrawCaption(dc, m_captions[size_t(i)], CaptionRect(i));
    }
    if ((m_wFlags & kTextBand) && !m_rectBand.IsRectEmpty())
        DrawCaption(dc, GetSelectedText(), m_rectBand);
    dc.SelectObject(pOldFont);
    m_pController->OnPostPaint(&dc);
}

BOOL CChoiceGrid::OnEraseBkgnd(CDC* pDC)
{
    if (pDC == nullptr)
        return TRUE;
    CRect rc;
    pDC->GetClipBox(&rc);
    CBrush brush(::GetSysColor(COLOR_BTNFACE));
    CBrush* pOld = pDC->SelectObject(&brush);
    pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
    pDC->SelectObject(pOld);
    return TRUE;
}

void CChoiceGrid::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    LayoutCells(cx, cy);
}

// ---- Input --------------------------------------------------------------------------------------

void CChoiceGrid::PostConfirm()
{
    // The parent window as it is now, not the object given at construction,
    // which its owner may have let go.
    if (HWND hParent = ::GetParent(m_hWnd))
        ::PostMessage(hParent, WM_COMMAND, IDOK, 0);
}

void CChoiceGrid::OnLButtonDown(UINT, CPoint point)
{
    if (GetFocus() != this)
        SetFocus();
    m_nPressed = HitTest(point);
}

void CChoiceGrid::OnLButtonUp(UINT nFlags, CPoint point)
{
    // The button-up that ends a double click has been answered already.
    if (m_wFlags & kSkipButtonUp) {
        m_wFlags &= WORD(~kSkipButtonUp);
        return;
    }
    const int nCell = HitTest(point);
    if (nCell != m_nPressed)
        return;
    m_pController->m_bAllowSelect = TRUE;
    m_pController->OnClick(nFlags, nCell);
    if (m_pController->m_bAllowSelect && nCell != -1) {
        SetCurrent(nCell, TRUE);
        // A single choice is the controller's to make in its click.
        if (m_wFlags & kMultiple)
            SetCurSel(nCell, TRUE);
    }
    if (m_wFlags & kClickConfirms)
        PostConfirm();
}

void CChoiceGrid::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    const int nCell = HitTest(point);
    m_pController->OnDoubleClick(nFlags, nCell);
    if ((m_wFlags & kDblClkConfirms) && nCell != -1)
        PostConfirm();
    m_wFlags |= kSkipButtonUp;
}

void CChoiceGrid::OnMouseMove(UINT, CPoint point)
{
    if (!IsWindowEnabled())
        return;
    HCURSOR hCursor = NULL;
    if (HitTest(point) != -1)
        hCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kCellCursor));
    if (hCursor == NULL)
        hCursor = ::LoadCursor(NULL, IDC_ARROW);
    ::SetCursor(hCursor);
}

void CChoiceGrid::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const int nCell = m_pController->OnKey(nChar, nRepCnt, nFlags);
    if (nCell == -1) {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    SetCurrent(nCell, TRUE);
}

UINT CChoiceGrid::OnGetDlgCode()
{
    // The arrow keys move among the cells rather than to the next control.
    return DLGC_WANTARROWS;
}

void CChoiceGrid::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    m_bHasFocus = TRUE;
    // The selection mark changes colour with the focus.
    Invalidate();
}

void CChoiceGrid::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    m_bHasFocus = FALSE;
    Invalidate();
}
