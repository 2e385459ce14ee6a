#include "controls/GridPicker.h"

#include "app/Paths.h"
#include "app/RectGeometry.h"
#include "app/ResourceBitmaps.h"
#include "platform/base/Arithmetic.h"
#include "platform/framework/Afx.h"
#include "platform/framework/Dialog.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"
#include "resources/controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CGridPicker, CWnd)

BEGIN_MESSAGE_MAP(CGridPicker, CWnd)
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
    ON_WM_ENABLE()
END_MESSAGE_MAP()

namespace {

// Monochrome cell pictures put their black pixels in the brush's colour and
// leave the white ones alone.
constexpr DWORD kRopPatternWhereBlack = 0xB8074A;
constexpr int kFaceTolerance = 15;
constexpr int kDpi = 96;

int ScreenDpi(int nIndex)
{
    CClientDC screen(nullptr);
    int dpi = screen.GetDeviceCaps(nIndex);
    return dpi > 0 ? dpi : kDpi;
}

BOOL NearFace(COLORREF cr)
{
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    return std::abs(int(GetRValue(cr)) - int(GetRValue(face))) <= kFaceTolerance
        && std::abs(int(GetGValue(cr)) - int(GetGValue(face))) <= kFaceTolerance
        && std::abs(int(GetBValue(cr)) - int(GetBValue(face))) <= kFaceTolerance;
}

CString LoadText(UINT nID)
{
    CString text;
    text.LoadString(nID);
    return text;
}

} // namespace

CGridPicker::CGridPicker()
{
    Reset();
}

CGridPicker::CGridPicker(BOOL bGradientButton)
    : m_bGradient(bGradientButton)
{
    Reset();
}

CGridPicker::~CGridPicker()
{
    FreeCells();
}

void CGridPicker::PostNcDestroy()
{
    delete this;
}

void CGridPicker::FreeCells()
{
    for (HANDLE h : m_cells) {
        if (h == NULL)
            continue;
        if (m_bBitmaps)
            ::DeleteObject(HGDIOBJ(h));
        else
            ::DestroyIcon(HICON(h));
    }
    m_cells.clear();
    m_values.clear();
    m_colors.clear();
    m_wCheckMask = 0;
}

void CGridPicker::Reset()
{
    FreeCells();
    m_nCells = 0;
    m_nRows = 1;
    m_nColumns = 1;
    m_nCurrent = -1;
    m_nPressed = -1;
    m_bSunkenCells = TRUE;
    m_more = TextButton();
    m_grad = TextButton();
}

BOOL CGridPicker::CreateOverControl(CWnd* pParent, UINT nPlaceholderID, int nID)
{
    if (pParent == nullptr || pParent->m_hWnd == NULL)
        return FALSE;
    HWND hPlaceholder = ::GetDlgItem(pParent->m_hWnd, int(nPlaceholderID));
    if (hPlaceholder == NULL)
        return FALSE;
    CRect rc;
    ::GetWindowRect(hPlaceholder, &rc);
    pParent->ScreenToClient(&rc);
    if (nID == -1) {
        nID = int(nPlaceholderID);
        ::SetWindowLong(hPlaceholder, GWL_ID, -1);
    }
    LPCSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), NULL);
    if (!CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rc.left, rc.top, rc.Width(), rc.Height(),
            pParent->m_hWnd, HMENU(INT_PTR(nID)))) {
        ::SetWindowLong(hPlaceholder, GWL_ID, LONG(nPlaceholderID));
        return FALSE;
    }
    ::SetWindowPos(m_hWnd, hPlaceholder, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    return TRUE;
}

void CGridPicker::SetupCells(UINT nFirstID, int nCount, int nRows, int nColumns, BOOL bBitmaps, BOOL bSizeToFit)
{
    Reset();
    m_sizeCell = CSize(32, 32);
    m_ptPictureOffset = CPoint(2, 2);
    m_sizePicture = CSize(m_sizeCell.cx - m_ptPictureOffset.x, m_sizeCell.cy - m_ptPictureOffset.y);
    if (nCount < 1)
        return;
    m_nRows = std::max(1, nRows);
    m_nColumns = std::max(1, nColumns);
    m_bBitmaps = bBitmaps;
    m_nCells = nCount;
    m_cells.assign(size_t(nCount), NULL);

    auto load = [this](UINT nID) -> HANDLE {
        if (m_bBitmaps) {
            CBitmap bitmap;
            if (!LoadBitmapObject(AfxGetResourceHandle(), nID, &bitmap, nullptr))
                return NULL;
            return HANDLE(bitmap.Detach());
        }
        return HANDLE(::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(nID)));
    };
    if (m_bMonthGrid == 1) {
        // Blanks, the days, blanks again; never more cells than were asked
        // for, however many blanks and days the month claims.
        const int nCells = std::min(nCount, kMonthCells);
        const int nBlanks = std::clamp(m_nLeadingBlanks, 0, nCells);
        const int nDays = std::clamp(m_nDayCount, 0, kMonthDays);
        for (int k = 0; k < nCells; ++k) {
            int nDay = k - nBlanks;
            m_cells[size_t(k)] = load(nDay >= 0 && nDay < nDays ? nFirstID + UINT(nDay) : nFirstID - 1);
        }
        if (m_hWnd != NULL)
            Invalidate();
    } else {
        for (int k = 0; k < nCount; ++k)
            m_cells[size_t(k)] = load(nFirstID + UINT(k));
    }

    if (m_hWnd == NULL)
        return;
    if (bSizeToFit) {
        int cx = m_nColumns * m_sizePicture.cx + 2 * m_sizeMargin.cx;
        int cy = m_nRows * m_sizePicture.cy + 2 * m_sizeMargin.cy;
        cx = MulDiv(cx, ScreenDpi(LOGPIXELSX), kDpi);
        cy = MulDiv(cy, ScreenDpi(LOGPIXELSY), kDpi);
        if (m_nColumns == 1)
            cx += m_sizeMargin.cx;
        SetWindowPos(NULL, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
    } else {
        CRect rc;
        GetClientRect(&rc);
        LayOut(rc.Width(), rc.Height());
        Invalidate();
    }
}

void CGridPicker::SetupColorCells(COLORREF crInitial, BOOL bSizeToFit)
{
    const int dpiX = ScreenDpi(LOGPIXELSX);
    const int dpiY = ScreenDpi(LOGPIXELSY);
    m_sizeCell = CSize(MulDiv(28, dpiX, 120), MulDiv(22, dpiY, 120));
    m_ptPictureOffset = CPoint(1, 1);
    m_sizePicture = CSize(m_sizeCell.cx - m_ptPictureOffset.x, m_sizeCell.cy - m_ptPictureOffset.y);
    m_bSunkenCells = FALSE;
    m_colors.assign(kColorEntries, RGB(0, 0, 0));
    m_more.caption = LoadText(IDS_GRID_PICKER_MORE);
    if (m_more.caption.IsEmpty())
        m_more.caption = "More...";
    m_grad.caption = "Grad...";

    CWnd* pParent = GetParent();
    if (m_hWnd != NULL) {
        CClientDC dc(this);
        CFont* pOld = nullptr;
        if (pParent != nullptr) {
            if (HFONT hFont = HFONT(pParent->SendMessage(WM_GETFONT)))
                pOld = dc.SelectObject(CFont::FromHandle(hFont));
        }
        for (TextButton* pButton : {&m_more, &m_grad}) {
            CSize size = dc.GetTextExtent(pButton->caption);
            pButton->cx = MulDiv(size.cx, 9, 7);
            pButton->cy = MulDiv(size.cy, 8, 7);
        }
        if (pOld != nullptr)
            dc.SelectObject(pOld);
    }
    if (!m_bGradient)
        m_grad.cy = 0;
    m_nRows = 4;
    m_nColumns = 4;

    if (m_hWnd != NULL) {
        if (bSizeToFit) {
            int cx = (m_sizeMargin.cx + 2 * m_sizePicture.cx) * 2;
            int cy = m_more.cy + (m_sizeMargin.cy + 2 * m_sizePicture.cy) * 2 + 1;
            SetWindowPos(NULL, 0, 0, MulDiv(cx, dpiX, kDpi), MulDiv(cy, dpiY, kDpi), SWP_NOMOVE | SWP_NOZORDER);
        } else {
            CRect rc;
            GetClientRect(&rc);
            LayOut(rc.Width(), rc.Height());
            Invalidate();
        }
        // The custom colour's swatch sits in the parent, above the picker's
        // top right corner.
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        if (pParent != nullptr)
            pParent->ScreenToClient(&rcWindow);
        m_rcCustom = CRect(rcWindow.right - 4 - m_sizePicture.cx, rcWindow.top - 4 - m_sizePicture.cy,
            rcWindow.right - 4, rcWindow.top - 4);
    }

    // The second list follows the first, however many that held.
    int nFirst = LoadNamedColors(IDS_NAMED_COLORS_1, 0);
    LoadNamedColors(IDS_NAMED_COLORS_2, nFirst);
    SelectColor(crInitial);
}

int CGridPicker::SetCellValues(UINT nStringID)
{
    return SetCellValues(LoadText(nStringID));
}

int CGridPicker::SetCellValues(LPCTSTR lpszList)
{
    m_values.clear();
    if (m_nCells < 1 || lpszList == nullptr || lpszList[0] == '\0')
        return 0;
    // Cells whose field is missing keep their index as value.
    m_values.resize(size_t(m_nCells));
    for (int i = 0; i < m_nCells; ++i)
        m_values[size_t(i)] = i;
    const char chSeparator = lpszList[0];
    const char* p = lpszList + 1;
    int nRead = 0;
    while (nRead < m_nCells) {
        const char* pEnd = std::strchr(p, chSeparator);
        if (pEnd == nullptr)
            break;
        m_values[size_t(nRead++)] = std::atoi(std::string(p, size_t(pEnd - p)).c_str());
        p = pEnd + 1;
    }
    return nRead;
}

int CGridPicker::LoadNamedColors(UINT nStringID, int nStart)
{
    return LoadNamedColors(LoadText(nStringID), nStart);
}

int CGridPicker::LoadNamedColors(LPCTSTR lpszList, int nStart)
{
    if (lpszList == nullptr || lpszList[0] == '\0' || nStart < 0)
        return 0;
    // The named colours end where the custom colour begins; a longer list
    // stops there.
    const int nEnd = std::min(int(m_colors.size()), kNamedColors);
    const char chSeparator = lpszList[0];
    const char* p = lpszList + 1;
    int nEntry = nStart;
    int nRead = 0;
    while (nEntry < nEnd) {
        const char* pEnd = std::strchr(p, chSeparator);
        if (pEnd == nullptr)
            break;
        std::string field(p, size_t(pEnd - p));
        p = pEnd + 1;
        int r = 0;
        int g = 0;
        int b = 0;
        if (std::sscanf(field.c_str(), "%d,%d,%d", &r, &g, &b) != 3)
            continue;
        m_colors[size_t(nEntry++)] = RGB(BYTE(r), BYTE(g), BYTE(b));
        ++nRead;
    }
    return nRead;
}

int CGridPicker::GetCellTotal() const
{
    return std::max(m_nCells, int(m_colors.size()) - 1);
}

void CGridPicker::LayOut(int cx, int cy)
{
    const int nUsable = m_more.cy < 1 ? cy : cy - m_more.cy - 1;
    m_sizeCell.cx = std::max(1, (cx - 2 * m_sizeMargin.cx) / m_nColumns);
    m_sizeCell.cy = std::max(1, (nUsable - 2 * m_sizeMargin.cy) / m_nRows);
    m_ptPictureOffset.x = (m_sizeCell.cx - m_sizePicture.cx) / 2;
    m_ptPictureOffset.y = (m_sizeCell.cy - m_sizePicture.cy) / 2;
    m_rcFrame = CRect(0, 0, cx - 1, nUsable - 1);
    m_more.rect = m_more.cy > 0 ? CRect(cx - m_more.cx - 1, nUsable - 1, cx - 2, nUsable + m_more.cy - 1) : CRect();
    m_grad.rect = m_grad.cy > 0 ? CRect(2, nUsable - 1, m_grad.cx + 2, nUsable + m_grad.cy - 1) : CRect();
}

CRect CGridPicker::GetCellRect(int nIndex) const
{
    if (nIndex == kCustomColor)
        return m_colors.empty() ? CRect() : m_more.rect;
    if (nIndex < 0 || nIndex >= GetCellTotal())
        return CRect();
    int nColumn = nIndex % m_nColumns;
    int nRow = nIndex / m_nColumns;
    CRect rc(nColumn * m_sizeCell.cx, nRow * m_sizeCell.cy, (nColumn + 1) * m_sizeCell.cx,
        (nRow + 1) * m_sizeCell.cy);
    rc.OffsetRect(m_sizeMargin.cx, m_sizeMargin.cy);
    return rc;
}

CRect CGridPicker::GetSwatchRect(int nIndex) const
{
    CRect rcCell = GetCellRect(nIndex);
    if (rcCell.IsRectEmpty() || nIndex < 0)
        return CRect();
    int left = rcCell.left + 4;
    int top = rcCell.top + 4;
    return CRect(left, top, left + m_sizePicture.cx - 9, top + m_sizePicture.cy - 8);
}

int CGridPicker::HitTest(CPoint point) const
{
    CRect rc;
    GetClientRect(&rc);
    rc.DeflateRect(m_sizeMargin.cx, m_sizeMargin.cy);
    if (!rc.PtInRect(point))
        return -1;
    int nColumn = (point.x - m_sizeMargin.cx) / m_sizeCell.cx;
    int nRow = (point.y - m_sizeMargin.cy) / m_sizeCell.cy;
    if (nColumn >= m_nColumns || nRow >= m_nRows)
        return -1;
    int nIndex = nRow * m_nColumns + nColumn;
    return nIndex < GetCellTotal() ? nIndex : -1;
}

void CGridPicker::InvalidateCell(int nIndex)
{
    if (m_hWnd == NULL)
        return;
    CRect rc = GetCellRect(nIndex);
    if (!rc.IsRectEmpty())
        InvalidateRect(&rc, TRUE);
}

void CGridPicker::Notify(UINT nCode, BOOL bPost)
{
    CWnd* pParent = GetParent();
    if (m_hWnd == NULL || pParent == nullptr)
        return;
    WPARAM wParam = MAKEWPARAM(WORD(GetDlgCtrlID()), WORD(nCode));
    if (bPost)
        pParent->PostMessage(WM_COMMAND, wParam, LPARAM(m_hWnd));
    else
        pParent->SendMessage(WM_COMMAND, wParam, LPARAM(m_hWnd));
}

void CGridPicker::SetCurSel(int nIndexOrValue, BOOL bNotify)
{
    const int nOld = m_nCurrent;
    InvalidateCell(nOld);
    int nIndex = nIndexOrValue;
    if (!m_bCheckMode && !m_values.empty() && !bNotify) {
        auto it = std::find(m_values.begin(), m_values.end(), nIndexOrValue);
        nIndex = it != m_values.end() ? int(it - m_values.begin()) : m_nCurrent;
    }
    if (nIndex < -1 || nIndex >= GetCellTotal())
        return;
    m_nCurrent = nIndex;
    if (m_bCheckMode && nIndex >= 0 && nIndex < kCheckableCells)
        m_wCheckMask ^= WORD(1u << nIndex);
    InvalidateCell(m_nCurrent);
    if (!m_colors.empty() && m_nCurrent >= 0 && m_nCurrent < kNamedColors) {
        m_colors.back() = m_colors[size_t(m_nCurrent)];
        PaintCustomSwatch();
    }
    if (m_bCheckMode)
        Notify(kNotifyChecked, FALSE);
    else if (bNotify && m_nCurrent != nOld)
        Notify(kNotifySelected, FALSE);
}

int CGridPicker::GetSelectedValue() const
{
    if (m_nCurrent < 0)
        return -1;
    if (size_t(m_nCurrent) < m_values.size())
        return m_values[size_t(m_nCurrent)];
    return m_nCurrent;
}

BOOL CGridPicker::IsCellChecked(int nIndex) const
{
    if (nIndex < 0 || nIndex >= kCheckableCells)
        return FALSE;
    return (m_wCheckMask & (1u << nIndex)) != 0;
}

void CGridPicker::SetCellCheck(int nIndex, BOOL bOn)
{
    // The mask has a bit for the first sixteen cells only.
    if (nIndex < 0 || nIndex >= kCheckableCells)
        return;
    if (bOn)
        m_wCheckMask |= WORD(1u << nIndex);
    else
        m_wCheckMask &= WORD(~(1u << nIndex));
    if (nIndex < m_nCurrent) {
        InvalidateCell(m_nCurrent);
        m_nCurrent = nIndex;
    }
    InvalidateCell(nIndex);
}

void CGridPicker::SelectColor(COLORREF crColor)
{
    if (m_colors.empty())
        return;
    InvalidateCell(m_nCurrent);
    m_colors.back() = crColor;
    m_nCurrent = kCustomColor;
    for (int i = 0; i < kNamedColors && size_t(i) + 1 < m_colors.size(); ++i) {
        if (m_colors[size_t(i)] == crColor) {
            m_nCurrent = i;
            break;
        }
    }
    InvalidateCell(m_nCurrent);
    PaintCustomSwatch();
}

COLORREF CGridPicker::GetCustomColor() const
{
    return m_colors.empty() ? RGB(0, 0, 0) : m_colors.back();
}

COLORREF CGridPicker::GetColorEntry(int nIndex) const
{
    if (nIndex < 0 || size_t(nIndex) >= m_colors.size())
        return RGB(0, 0, 0);
    return m_colors[size_t(nIndex)];
}

BOOL CGridPicker::IsCellMarked(int nIndex) const
{
    if (m_bCheckMode)
        return IsCellChecked(nIndex);
    return nIndex == m_nCurrent;
}

// ---- Painting ------------------------------------------------------------------

BOOL CGridPicker::OnEraseBkgnd(CDC* pDC)
{
    if (pDC == nullptr)
        return TRUE;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    CRect rcClient;
    GetClientRect(&rcClient);
    pDC->FillSolidRect(&rcClient, face);
    pDC->Draw3dRect(&m_rcFrame, light, shadow);
    const BOOL bEnabled = IsWindowEnabled();
    const int nTotal = GetCellTotal();
    for (int i = 0; i < nTotal; ++i) {
        CRect rc = GetCellRect(i);
        BOOL bSunken = m_bSunkenCells;
        if (bEnabled && IsCellMarked(i)) {
            bSunken = !bSunken;
            if (m_colors.empty()) {
                CRect rcInner = rc;
                rcInner.DeflateRect(1, 1);
                pDC->FillSolidRect(&rcInner, light);
            }
        }
        pDC->Draw3dRect(&rc, bSunken ? shadow : light, bSunken ? light : shadow);
    }
    return TRUE;
}

void CGridPicker::PaintCell(CDC& dc, int nIndex, BOOL bEnabled)
{
    CRect rcCell = GetCellRect(nIndex);
    CRect rcPicture(CPoint(rcCell.left + m_ptPictureOffset.x, rcCell.top + m_ptPictureOffset.y), m_sizePicture);
    if (!m_colors.empty()) {
        CRect rcSwatch = GetSwatchRect(nIndex);
        COLORREF cr = bEnabled ? m_colors[size_t(nIndex)] : ::GetSysColor(COLOR_BTNSHADOW);
        dc.FillSolidRect(&rcSwatch, cr);
        if (bEnabled && NearFace(cr)) {
            CBrush black;
            black.CreateSolidBrush(RGB(0, 0, 0));
            dc.FrameRect(&rcSwatch, &black);
        }
    } else if (size_t(nIndex) < m_cells.size() && m_cells[size_t(nIndex)] != NULL) {
        HANDLE h = m_cells[size_t(nIndex)];
        if (!m_bBitmaps) {
            dc.DrawIcon(rcPicture.left, rcPicture.top, HICON(h));
        } else {
            BITMAP bm{};
            ::GetObject(HGDIOBJ(h), sizeof bm, &bm);
            // The picture stays inside the cell's frame and focus mark: a
            // bitmap that fits there is drawn at its own size, a larger one
            // is shrunk keeping its shape.
            CRect rcInside = rcCell;
            rcInside.DeflateRect(3, 3);
            CRect rcRoom;
            rcRoom.IntersectRect(&rcPicture, &rcInside);
            if (bm.bmWidth > 0 && bm.bmHeight > 0 && !rcRoom.IsRectEmpty()) {
                CRect rcFit;
                if (bm.bmWidth <= rcRoom.Width() && bm.bmHeight <= rcRoom.Height()) {
                    CPoint pt(rcRoom.left + (rcRoom.Width() - bm.bmWidth) / 2,
                        rcRoom.top + (rcRoom.Height() - bm.bmHeight) / 2);
                    rcFit = CRect(pt, CSize(bm.bmWidth, bm.bmHeight));
                } else {
                    FitAspectRect(&rcFit, &dc, bm.bmWidth, bm.bmHeight, rcRoom.left, rcRoom.top, rcRoom.right,
                        rcRoom.bottom);
                }
                CDC memory;
                memory.CreateCompatibleDC(&dc);
                CBitmap* pOldBitmap = memory.SelectObject(CBitmap::FromHandle(HBITMAP(h)));
                CBrush brush;
                brush.CreateSolidBrush(::GetSysColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
                CBrush* pOldBrush = dc.SelectObject(&brush);
                dc.SetStretchBltMode(COLORONCOLOR);
                dc.StretchBlt(rcFit.left, rcFit.top, rcFit.Width(), rcFit.Height(), &memory, 0, 0, bm.bmWidth,
                    bm.bmHeight, kRopPatternWhereBlack);
                dc.SelectObject(pOldBrush);
                memory.SelectObject(pOldBitmap);
            }
        }
    }
    if (m_bHasFocus && nIndex == m_nCurrent) {
        CRect rcMark = rcCell;
        rcMark.DeflateRect(2, 2);
        rcMark.bottom -= 1;
        if (!m_colors.empty()) {
            CBrush black;
            black.CreateSolidBrush(RGB(0, 0, 0));
            dc.FrameRect(&rcMark, &black);
        } else {
            dc.DrawFocusRect(&rcMark);
        }
    }
}

namespace {

struct GrayText {
    const CString* text;
};

BOOL CALLBACK DrawGrayText(HDC hDC, LPARAM lData, int)
{
    const auto* p = reinterpret_cast<const GrayText*>(lData);
    ::TextOut(hDC, 0, 0, LPCTSTR(*p->text), p->text->GetLength());
    return TRUE;
}

} // namespace

void CGridPicker::PaintButton(CDC& dc, const TextButton& button, BOOL bEnabled, BOOL bFocus)
{
    if (button.rect.IsRectEmpty())
        return;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    dc.FillSolidRect(&button.rect, ::GetSysColor(COLOR_BTNFACE));
    const BOOL bSunken = button.bPressed && button.bTracking;
    dc.Draw3dRect(&button.rect, bSunken ? shadow : light, bSunken ? light : shadow);

    CFont* pOldFont = nullptr;
    if (CWnd* pParent = GetParent()) {
        if (HFONT hFont = HFONT(pParent->SendMessage(WM_GETFONT)))
            pOldFont = dc.SelectObject(CFont::FromHandle(hFont));
    }
    CSize size = dc.GetTextExtent(button.caption);
    int x = button.rect.left + (button.rect.Width() - size.cx) / 2;
    int y = button.rect.top + (button.rect.Height() - size.cy) / 2;
    dc.SetBkMode(TRANSPARENT);
    if (bEnabled) {
        dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
        dc.TextOut(x, y, button.caption);
    } else {
        CBrush gray;
        gray.CreateSolidBrush(::GetSysColor(COLOR_GRAYTEXT));
        GrayText data{&button.caption};
        dc.GrayString(&gray, DrawGrayText, LPARAM(&data), button.caption.GetLength(), x, y, size.cx, size.cy);
    }
    if (pOldFont != nullptr)
        dc.SelectObject(pOldFont);
    if (bFocus) {
        CRect rcFocus = button.rect;
        rcFocus.DeflateRect(1, 1);
        dc.DrawFocusRect(&rcFocus);
    }
}

void CGridPicker::OnPaint()
{
    CPaintDC dc(this);
    const BOOL bEnabled = IsWindowEnabled();
    const int nTotal = GetCellTotal();
    for (int i = 0; i < nTotal; ++i)
        PaintCell(dc, i, bEnabled);
    const BOOL bMoreFocus = m_bHasFocus && !m_colors.empty() && m_nCurrent == kCustomColor;
    PaintButton(dc, m_more, bEnabled, bMoreFocus);
    PaintButton(dc, m_grad, bEnabled, FALSE);
    PaintCustomSwatch();
}

void CGridPicker::PaintCustomSwatch()
{
    CWnd* pParent = GetParent();
    if (m_hWnd == NULL || m_colors.empty() || pParent == nullptr || m_rcCustom.IsRectEmpty())
        return;
    CClientDC dc(pParent);
    if (IsWindowEnabled()) {
        dc.FillSolidRect(&m_rcCustom, m_colors.back());
        dc.Draw3dRect(&m_rcCustom, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    } else {
        dc.FillSolidRect(&m_rcCustom, ::GetSysColor(COLOR_BTNFACE));
    }
}

void CGridPicker::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    LayOut(cx, cy);
    Invalidate();
}

// ---- Mouse and keyboard --------------------------------------------------------

void CGridPicker::OnLButtonDown(UINT, CPoint point)
{
    SetFocus();
    SetCapture();
    m_nPressed = HitTest(point);
    if (m_nPressed >= 0)
        return;
    TextButton* pButton = nullptr;
    if (!m_more.rect.IsRectEmpty() && m_more.rect.PtInRect(point))
        pButton = &m_more;
    else if (m_bGradient && !m_grad.rect.IsRectEmpty() && m_grad.rect.PtInRect(point))
        pButton = &m_grad;
    if (pButton != nullptr) {
        pButton->bTracking = TRUE;
        pButton->bPressed = TRUE;
        InvalidateRect(&pButton->rect, FALSE);
    }
}

void CGridPicker::OnMouseMove(UINT, CPoint point)
{
    for (TextButton* pButton : {&m_more, &m_grad}) {
        if (!pButton->bTracking)
            continue;
        BOOL bInside = pButton->rect.PtInRect(point);
        if (bInside != pButton->bPressed) {
            pButton->bPressed = bInside;
            InvalidateRect(&pButton->rect, FALSE);
        }
    }
}

void CGridPicker::OnLButtonUp(UINT, CPoint point)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    const int nPressed = m_nPressed;
    m_nPressed = -1;
    if (nPressed >= 0 && HitTest(point) == nPressed)
        SetCurSel(nPressed, TRUE);

    if (m_more.bTracking) {
        m_more.bTracking = FALSE;
        InvalidateRect(&m_more.rect, FALSE);
        if (m_more.bPressed) {
            m_more.bPressed = FALSE;
            OnMoreReleased();
        }
    }
    if (m_grad.bTracking) {
        m_grad.bTracking = FALSE;
        InvalidateRect(&m_grad.rect, FALSE);
        // What a gradient means is the host's affair: it reads the pressed
        // flag when the popup closes.
        if (m_grad.bPressed && m_bPopup) {
            if (CWnd* pPopup = GetParent())
                pPopup->SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            m_grad.bPressed = FALSE;
        }
    }
    if (m_bPopup)
        CloseParentPopup();
}

void CGridPicker::OnLButtonDblClk(UINT, CPoint)
{
    if (m_bDblClkCloses)
        CloseParentPopup();
}

void CGridPicker::OnMoreReleased()
{
    CWnd* pParent = GetParent();
    if (m_bPopup && pParent != nullptr)
        pParent->SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    COLORREF cr = GetCustomColor();
    CWnd* pOwner = pParent != nullptr ? pParent->GetParent() : nullptr;
    if (ChooseColorDlg(pOwner, cr, nullptr))
        SelectColor(cr);
}

void CGridPicker::CloseParentPopup()
{
    auto* pDialog = dynamic_cast<CDialog*>(GetParent());
    if (pDialog == nullptr)
        return;
    pDialog->UpdateData(TRUE);
    pDialog->EndDialog(IDOK);
}

void CGridPicker::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar < VK_TAB || nChar > VK_DOWN) {
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    if (nChar == VK_TAB) {
        if (!m_bNoTab && !m_colors.empty())
            OnMoreReleased();
        return;
    }
    if (nChar == VK_SPACE) {
        Notify(kNotifyChecked, TRUE);
        return;
    }
    const int nTotal = GetCellTotal();
    // Nothing to move between: no wrapping to compute.
    if (nTotal < 1)
        return;
    const int nStep = (nTotal + m_nRows - 1) / m_nRows;
    int nIndex = m_nCurrent;
    switch (nChar) {
    case VK_LEFT:
        nIndex -= 1;
        break;
    case VK_UP:
        nIndex -= nStep;
        break;
    case VK_RIGHT:
        nIndex += 1;
        break;
    case VK_DOWN:
        nIndex += nStep;
        break;
    default:
        return;
    }
    nIndex = ((nIndex % nTotal) + nTotal) % nTotal;
    SetCurSel(nIndex, TRUE);
}

UINT CGridPicker::OnGetDlgCode()
{
    UINT nCode = UINT(Default());
    if (m_bCheckMode)
        return nCode;
    if (m_bNoTab)
        return nCode | DLGC_WANTARROWS;
    return DLGC_WANTARROWS | DLGC_WANTTAB;
}

void CGridPicker::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    m_bHasFocus = TRUE;
    InvalidateCell(m_nCurrent);
}

void CGridPicker::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    m_bHasFocus = FALSE;
    InvalidateCell(m_nCurrent);
}

void CGridPicker::OnEnable(BOOL)
{
    Invalidate();
    PaintCustomSwatch();
}
