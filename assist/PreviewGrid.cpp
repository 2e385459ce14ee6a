#include "assist/PreviewGrid.h"

#include "app/PrefData.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CPreviewGrid, CWnd)

namespace {

// Posted to the grid itself: make the next missing thumbnail.
constexpr UINT WM_GRID_MAKETHUMBNAILS = WM_USER + 0x1A0;
constexpr int kCellMargin = 6;
constexpr int kNameHeight = 16;
constexpr int kWheelRows = 1;

} // namespace

struct CPreviewGrid::Thumb {
    // Null when the thumbnail could not be made; the cell then keeps its
    // frame and name and is not tried again until the cache drops it.
    std::unique_ptr<CImage> pImage;
};

BEGIN_MESSAGE_MAP(CPreviewGrid, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_WM_GETDLGCODE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEWHEEL()
    ON_MESSAGE(WM_GRID_MAKETHUMBNAILS, OnMakeThumbnails)
END_MESSAGE_MAP()

CPreviewGrid::CPreviewGrid(CDialog* pDialog, CScrollBar* pScrollBar, int nLeafKind)
    : m_pDialog(pDialog)
    , m_pScrollBar(pScrollBar)
    , m_nLeafKind(nLeafKind)
{
    m_bShowImages = CPrefData::GetPreviewImage() != 0;
    m_nPreviewSize = std::clamp(CPrefData::GetMulImgPrevFixedSize(), 16, 512);
}

CPreviewGrid::~CPreviewGrid()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CPreviewGrid::Create(const CRect& rect)
{
    if (m_pDialog == nullptr || m_pDialog->GetSafeHwnd() == NULL)
        return FALSE;
    LPCSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, NULL, NULL);
    if (!CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top, rect.Width(),
            rect.Height(), m_pDialog->m_hWnd, HMENU(INT_PTR(kGridId))))
        return FALSE;
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Layout();
    return TRUE;
}

void CPreviewGrid::Place(const CRect& rect)
{
    if (m_hWnd == NULL)
        return;
    MoveWindow(&rect, TRUE);
    Layout();
    Invalidate(FALSE);
}

// ---- Items, selection and result -------------------------------------------------------------

void CPreviewGrid::SetItemCount(int nCount)
{
    m_nItems = std::max(nCount, 0);
    m_nCurSel = -1;
    m_nResult = kResultNone;
    m_nTopRow = 0;
    m_bImagesOnce = FALSE;
    m_lru.clear();
    m_cache.clear();
    ++m_nCacheGeneration;
    Layout();
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CPreviewGrid::SetCurSel(int nItem)
{
    if (nItem < -1 || nItem >= m_nItems)
        nItem = -1;
    if (nItem == m_nCurSel)
        return;
    InvalidateItem(m_nCurSel);
    m_nCurSel = nItem;
    InvalidateItem(m_nCurSel);
    EnsureVisible(m_nCurSel);
    NotifySelChange();
}

CString CPreviewGrid::GetCurrentFile() const
{
    return CString();
}

CString CPreviewGrid::GetItemName(int) const
{
    return CString();
}

std::unique_ptr<CImage> CPreviewGrid::MakeThumbnail(int, int)
{
    return nullptr;
}

void CPreviewGrid::NotifySelChange()
{
    if (m_pDialog != nullptr && m_pDialog->GetSafeHwnd() != NULL && m_hWnd != NULL)
        m_pDialog->SendMessage(WM_COMMAND, MAKEWPARAM(kGridId, kNotifySelChange), LPARAM(m_hWnd));
}

// ---- Pictures -------------------------------------------------------------------------------

void CPreviewGrid::SetShowImages(BOOL bShow)
{
    m_bShowImages = bShow ? TRUE : FALSE;
    m_bImagesOnce = FALSE;
    CPrefData::SetPreviewImage(m_bShowImages);
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CPreviewGrid::RedrawImages()
{
    m_bImagesOnce = TRUE;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CPreviewGrid::UpdatePreviewSize()
{
    m_nPreviewSize = std::clamp(CPrefData::GetMulImgPrevFixedSize(), 16, 512);
    m_lru.clear();
    m_cache.clear();
    ++m_nCacheGeneration;
    Layout();
    EnsureVisible(m_nCurSel);
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

BOOL CPreviewGrid::HasThumbnail(int nItem) const
{
    auto it = m_cache.find(nItem);
    return it != m_cache.end() && it->second->pImage != nullptr;
}

// The thumbnails wait until the frames and names are on the screen: the
// request goes through the queue, so input and painting come first.
void CPreviewGrid::RequestThumbnails()
{
    if (m_bRequestPending || m_bMaking || m_hWnd == NULL || !PicturesWanted() || NextMissingThumbnail() < 0)
        return;
    m_bRequestPending = TRUE;
    PostMessage(WM_GRID_MAKETHUMBNAILS, 0, 0);
}

int CPreviewGrid::NextMissingThumbnail() const
{
    if (m_nItems == 0)
        return -1;
    const int nFirst = m_nTopRow * m_nColumns;
    const int nLast = std::min(m_nItems, (m_nTopRow + GetVisibleRows()) * m_nColumns);
    // The selected cell first: it is the one the user looks at.
    if (m_nCurSel >= nFirst && m_nCurSel < nLast && m_cache.find(m_nCurSel) == m_cache.end())
        return m_nCurSel;
    for (int i = nFirst; i < nLast; ++i)
        if (m_cache.find(i) == m_cache.end())
            return i;
    return -1;
}

LRESULT CPreviewGrid::OnMakeThumbnails(WPARAM, LPARAM)
{
    m_bRequestPending = FALSE;
    // One at a time: a request that a loop inside the making dispatches is
    // renewed when the making ends.
    if (m_bMaking || !PicturesWanted())
        return 0;
    const int nItem = NextMissingThumbnail();
    if (nItem < 0)
        return 0;
    // The cell counts as tried before its file is read, so that it is never
    // read twice whatever happens meanwhile.
    m_cache[nItem] = std::make_unique<Thumb>();
    m_lru.push_front(nItem);
    const unsigned nGeneration = m_nCacheGeneration;
    std::unique_ptr<CImage> pImage;
    m_bMaking = TRUE;
    try {
        pImage = MakeThumbnail(nItem, m_nPreviewSize);
    } catch (CException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    m_bMaking = FALSE;
    ++m_nThumbnailsMade;
    auto it = m_cache.find(nItem);
    if (nGeneration == m_nCacheGeneration && it != m_cache.end())
        it->second->pImage = std::move(pImage);
    TrimCache();
    InvalidateItem(nItem);
    RequestThumbnails();
    return 0;
}

// Keeps what is visible and the most recently made beyond it, so scrolling
// back and forth does not make the same thumbnails again, while a folder of
// thousands never holds more than a few screens of pictures.
void CPreviewGrid::TrimCache()
{
    const size_t nLimit = size_t(GetVisibleRows() * m_nColumns + kCacheSlack);
    const int nFirst = m_nTopRow * m_nColumns;
    const int nLast = (m_nTopRow + GetVisibleRows()) * m_nColumns;
    for (auto it = m_lru.end(); m_cache.size() > nLimit && it != m_lru.begin();) {
        --it;
        if (*it >= nFirst && *it < nLast)
            continue;
        m_cache.erase(*it);
        it = m_lru.erase(it);
    }
}

// ---- Layout and scrolling -------------------------------------------------------------------

CSize CPreviewGrid::GetCellSize() const
{
    return CSize(m_nPreviewSize + 2 * kCellMargin, m_nPreviewSize + 2 * kCellMargin + kNameHeight);
}

int CPreviewGrid::GetVisibleRows() const
{
    if (m_hWnd == NULL)
        return 1;
    CRect client;
    GetClientRect(&client);
    const int cy = GetCellSize().cy;
    return std::max(1, (client.Height() + cy - 1) / cy);
}

void CPreviewGrid::Layout()
{
    if (m_hWnd == NULL)
        return;
    CRect client;
    GetClientRect(&client);
    m_nColumns = std::max(1, client.Width() / GetCellSize().cx);
    UpdateScrollBar();
}

void CPreviewGrid::UpdateScrollBar()
{
    const int nRows = (m_nItems + m_nColumns - 1) / m_nColumns;
    CRect client;
    if (m_hWnd != NULL)
        GetClientRect(&client);
    const int nFullRows = std::max(1, client.Height() / GetCellSize().cy);
    const int nMaxTop = std::max(0, nRows - nFullRows);
    m_nTopRow = std::clamp(m_nTopRow, 0, nMaxTop);
    if (m_pScrollBar == nullptr || m_pScrollBar->GetSafeHwnd() == NULL)
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(0, nRows - 1);
    info.nPage = UINT(nFullRows);
    info.nPos = m_nTopRow;
    m_pScrollBar->SetScrollInfo(&info, TRUE);
}

void CPreviewGrid::ScrollToRow(int nRow)
{
    const int nOld = m_nTopRow;
    m_nTopRow = nRow;
    UpdateScrollBar();
    if (m_nTopRow == nOld)
        return;
    // Preview Now covers the screen it was asked on.
    m_bImagesOnce = FALSE;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CPreviewGrid::EnsureVisible(int nItem)
{
    if (nItem < 0 || m_hWnd == NULL)
        return;
    const int nRow = nItem / m_nColumns;
    CRect client;
    GetClientRect(&client);
    const int nFullRows = std::max(1, client.Height() / GetCellSize().cy);
    if (nRow < m_nTopRow)
        ScrollToRow(nRow);
    else if (nRow >= m_nTopRow + nFullRows)
        ScrollToRow(nRow - nFullRows + 1);
}

void CPreviewGrid::OnScrollBar(UINT nSBCode, UINT nPos)
{
    CRect client;
    if (m_hWnd != NULL)
        GetClientRect(&client);
    const int nPage = std::max(1, client.Height() / GetCellSize().cy);
    switch (nSBCode) {
    case SB_LINEUP:
        ScrollToRow(m_nTopRow - 1);
        break;
    case SB_LINEDOWN:
        ScrollToRow(m_nTopRow + 1);
        break;
    case SB_PAGEUP:
        ScrollToRow(m_nTopRow - nPage);
        break;
    case SB_PAGEDOWN:
        ScrollToRow(m_nTopRow + nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        ScrollToRow(int(nPos));
        break;
    case SB_TOP:
        ScrollToRow(0);
        break;
    case SB_BOTTOM:
        ScrollToRow(m_nItems);
        break;
    default:
        break;
    }
}

CRect CPreviewGrid::GetCellRect(int nItem) const
{
    const CSize cell = GetCellSize();
    const int nRow = nItem / m_nColumns - m_nTopRow;
    const int nCol = nItem % m_nColumns;
    // Spare width is shared between the columns so the grid fills its frame.
    CRect client;
    if (m_hWnd != NULL)
        GetClientRect(&client);
    const int nSpare = std::max(0, client.Width() - m_nColumns * cell.cx) / m_nColumns;
    const int x = nCol * (cell.cx + nSpare) + nSpare / 2;
    return CRect(x, nRow * cell.cy, x + cell.cx, (nRow + 1) * cell.cy);
}

int CPreviewGrid::HitTest(CPoint point) const
{
    const int nFirst = m_nTopRow * m_nColumns;
    const int nLast = std::min(m_nItems, (m_nTopRow + GetVisibleRows()) * m_nColumns);
    for (int i = nFirst; i < nLast; ++i)
        if (GetCellRect(i).PtInRect(point))
            return i;
    return -1;
}

void CPreviewGrid::InvalidateItem(int nItem)
{
    if (nItem < 0 || m_hWnd == NULL)
        return;
    CRect rect = GetCellRect(nItem);
    InvalidateRect(&rect, FALSE);
}

// ---- Painting -------------------------------------------------------------------------------

BOOL CPreviewGrid::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CPreviewGrid::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_WINDOW));
    CFont* pOldFont = dc.SelectObject(CFont::FromHandle(HFONT(::GetStockObject(DEFAULT_GUI_FONT))));
    dc.SetBkMode(TRANSPARENT);
    const int nFirst = m_nTopRow * m_nColumns;
    const int nLast = std::min(m_nItems, (m_nTopRow + GetVisibleRows()) * m_nColumns);
    for (int i = nFirst; i < nLast; ++i) {
        CRect rect = GetCellRect(i);
        if (dc.RectVisible(&rect))
            DrawCell(dc, i, rect);
    }
    dc.SelectObject(pOldFont);
    RequestThumbnails();
}

void CPreviewGrid::DrawCell(CDC& dc, int nItem, const CRect& rect)
{
    const BOOL bSelected = nItem == m_nCurSel;
    CRect box(rect.left + kCellMargin, rect.top + kCellMargin, rect.right - kCellMargin,
        rect.top + kCellMargin + m_nPreviewSize);
    if (PicturesWanted()) {
        auto it = m_cache.find(nItem);
        if (it != m_cache.end() && it->second->pImage != nullptr) {
            CImage& image = *it->second->pImage;
            SIZE size{};
            image.GetSize(size);
            if (size.cx > 0 && size.cy > 0) {
                // Fitted with its proportions; a small picture keeps its size.
                const double scale = std::min(1.0, std::min(double(box.Width()) / size.cx, double(box.Height()) / size.cy));
                const int cx = std::max(1, int(size.cx * scale + 0.5));
                const int cy = std::max(1, int(size.cy * scale + 0.5));
                CRect dest(box.left + (box.Width() - cx) / 2, box.top + (box.Height() - cy) / 2, 0, 0);
                dest.right = dest.left + cx;
                dest.bottom = dest.top + cy;
                image.Draw(&dc, dest, dest, box);
            }
        }
        CPen framePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        CPen* pOldPen = dc.SelectObject(&framePen);
        CGdiObject* pOldBrush = dc.SelectStockObject(NULL_BRUSH);
        CRect frame(box);
        frame.InflateRect(1, 1);
        dc.Rectangle(&frame);
        dc.SelectObject(pOldBrush);
        dc.SelectObject(pOldPen);
    }
    CRect name(rect.left + 2, box.bottom + 2, rect.right - 2, rect.bottom - 1);
    if (bSelected) {
        dc.FillSolidRect(&name, ::GetSysColor(m_bHasFocus ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        dc.SetTextColor(::GetSysColor(m_bHasFocus ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    } else {
        dc.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    }
    CString text = GetItemName(nItem);
    dc.DrawText(text, &name, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (bSelected) {
        CPen markPen(PS_INSIDEFRAME, 2, ::GetSysColor(m_bHasFocus ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
        CPen* pOldPen = dc.SelectObject(&markPen);
        CGdiObject* pOldBrush = dc.SelectStockObject(NULL_BRUSH);
        CRect mark(rect);
        mark.DeflateRect(1, 1);
        dc.Rectangle(&mark);
        dc.SelectObject(pOldBrush);
        dc.SelectObject(pOldPen);
    }
}

void CPreviewGrid::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    Layout();
    EnsureVisible(m_nCurSel);
    Invalidate(FALSE);
}

// ---- Input ----------------------------------------------------------------------------------

void CPreviewGrid::OnLButtonDown(UINT, CPoint point)
{
    SetFocus();
    const int nItem = HitTest(point);
    if (nItem >= 0)
        SetCurSel(nItem);
}

void CPreviewGrid::OnLButtonDblClk(UINT, CPoint point)
{
    const int nItem = HitTest(point);
    if (nItem < 0)
        return;
    SetCurSel(nItem);
    m_nResult = kResultChosen;
    // Through the dialog's own OK handling, which may still check the file.
    if (m_pDialog != nullptr && m_pDialog->GetSafeHwnd() != NULL)
        m_pDialog->PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void CPreviewGrid::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_nItems == 0) {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    CRect client;
    GetClientRect(&client);
    const int nPage = std::max(1, client.Height() / GetCellSize().cy) * m_nColumns;
    const int nCurrent = m_nCurSel;
    int nNew;
    switch (nChar) {
    case VK_LEFT:
        nNew = nCurrent < 0 ? 0 : nCurrent - 1;
        break;
    case VK_RIGHT:
        nNew = nCurrent < 0 ? 0 : nCurrent + 1;
        break;
    case VK_UP:
        nNew = nCurrent < 0 ? 0 : nCurrent - m_nColumns;
        break;
    case VK_DOWN:
        nNew = nCurrent < 0 ? 0 : nCurrent + m_nColumns;
        break;
    case VK_PRIOR:
        nNew = nCurrent - nPage;
        break;
    case VK_NEXT:
        nNew = nCurrent + nPage;
        break;
    case VK_HOME:
        nNew = 0;
        break;
    case VK_END:
        nNew = m_nItems - 1;
        break;
    default:
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    // Moves past either end stop at the first or last item.
    SetCurSel(std::clamp(nNew, 0, m_nItems - 1));
}

UINT CPreviewGrid::OnGetDlgCode()
{
    return DLGC_WANTARROWS;
}

void CPreviewGrid::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    m_bHasFocus = TRUE;
    InvalidateItem(m_nCurSel);
}

void CPreviewGrid::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    m_bHasFocus = FALSE;
    InvalidateItem(m_nCurSel);
}

BOOL CPreviewGrid::OnMouseWheel(UINT, short zDelta, CPoint)
{
    ScrollToRow(m_nTopRow - (zDelta / WHEEL_DELTA) * kWheelRows);
    return TRUE;
}
