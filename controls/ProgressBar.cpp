#include "controls/ProgressBar.h"

#include "platform/base/Exception.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <climits>

namespace {

// RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW: the bar is painted before the
// operation takes its next step, since the queue may not be pumped again
// for a while.
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
constexpr COLORREF kBlockColor = RGB(0, 0, 255);

} // namespace

BEGIN_MESSAGE_MAP(CProgressBar, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CProgressBar::CProgressBar(CWnd* pOwner, int left, int top, int right, int bottom) : m_pOwner(pOwner)
{
    Reset(FALSE);
    CRect rect(left, top, right, bottom);
    if (!Create(NULL, "", WS_CHILD | WS_VISIBLE | WS_DISABLED, rect, pOwner, ID_PROGRESS_BAR))
        AfxThrowResourceException();
    CRect client;
    GetClientRect(&client);
    m_rectBlocks = client;
    m_rectBlocks.DeflateRect(0, client.Height() / 4);
    m_rectText = client;
    m_rectText.DeflateRect(0, 2);
}

CProgressBar::~CProgressBar() = default;

void CProgressBar::Reset(BOOL bRepaint)
{
    m_nFullCount = 0;
    m_nPos = 0;
    m_nBlockWidth = 10;
    m_nBlockGap = 1;
    if (bRepaint && m_hWnd != NULL) {
        m_bEraseOnPaint = TRUE;
        RedrawWindow(nullptr, nullptr, kRedrawNow);
        m_bEraseOnPaint = FALSE;
    }
}

void CProgressBar::SetRange(int nCount)
{
    int nLitBefore = GetLitBlocks();
    m_nFullCount = nCount;
    RedrawIfChanged(nLitBefore);
}

void CProgressBar::SetPos(int nPos)
{
    int nLitBefore = GetLitBlocks();
    m_nPos = nPos;
    RedrawIfChanged(nLitBefore);
}

void CProgressBar::RedrawIfChanged(int nLitBefore)
{
    if (GetLitBlocks() != nLitBefore && m_hWnd != NULL)
        RedrawWindow(nullptr, nullptr, kRedrawNow);
}

double CProgressBar::GetFraction() const
{
    if (m_nFullCount == 0)
        return 0.0;
    return double(m_nPos) / double(m_nFullCount);
}

int CProgressBar::GetLitBlocks() const
{
    if (m_nBlockWidth == 0)
        return 0;
    double blocks = GetFraction() * (double(m_rectBlocks.Width()) / double(m_nBlockWidth));
    // A position far beyond the count would not fit an int.
    if (blocks >= double(INT_MAX))
        return INT_MAX;
    if (blocks <= double(INT_MIN))
        return INT_MIN;
    return int(blocks);
}

CString CProgressBar::GetPercentText() const
{
    double percent = GetFraction() * 100.0;
    int p = percent >= 100.0 ? 100 : percent <= 0.0 ? 0 : int(percent);
    CString text;
    text.Format(" %d%% ", p);
    return text;
}

void CProgressBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect inner = client;
    inner.DeflateRect(1, 1);
    if (m_bEraseOnPaint) {
        CBrush face(::GetSysColor(COLOR_BTNFACE));
        CBrush* pOldBrush = dc.SelectObject(&face);
        dc.PatBlt(inner.left, inner.top, inner.Width(), inner.Height(), PATCOPY);
        dc.SelectObject(pOldBrush);
    }

    int nLit = GetLitBlocks();
    if (nLit > 0 && m_nBlockWidth > 0) {
        // Blocks past the right edge are clipped anyway; drawing stops at
        // the first one that cannot show.
        int nVisible = client.Width() / m_nBlockWidth + 1;
        if (nLit > nVisible)
            nLit = nVisible;
        CBrush blue(kBlockColor);
        CGdiObject* pOldPen = dc.SelectStockObject(NULL_PEN);
        CBrush* pOldBrush = dc.SelectObject(&blue);
        for (int i = 0; i < nLit; ++i) {
            int x = m_rectBlocks.left + i * m_nBlockWidth;
            dc.Rectangle(x, m_rectBlocks.top, x + m_nBlockWidth - m_nBlockGap, m_rectBlocks.bottom);
        }
        dc.SelectObject(pOldBrush);
        if (pOldPen != nullptr)
            dc.SelectObject(pOldPen);
    }

    CString text = GetPercentText();
    COLORREF crOldBk = dc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    CRect rectText = m_rectText;
    dc.DrawText(text, &rectText, DT_CENTER);
    dc.SetBkColor(crOldBk);
}
