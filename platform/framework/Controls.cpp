// The control wrappers: each member is its control's message.

#include "platform/framework/Controls.h"

#include "platform/base/Resources.h"
#include "platform/base/String.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

namespace {

LRESULT Send(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return ::SendMessage(hWnd, message, wParam, lParam);
}

void EnsureCommonControls()
{
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

// List and combo boxes both answer an item's length first, then fill a
// buffer of that length plus the terminator; an error or an empty item
// leaves the string empty.
void ReadItemText(HWND hWnd, UINT lenMessage, UINT textMessage, int nIndex, CString& rString)
{
    rString.Empty();
    int len = int(Send(hWnd, lenMessage, WPARAM(nIndex)));
    if (len <= 0)
        return;
    Send(hWnd, textMessage, WPARAM(nIndex), LPARAM(rString.GetBuffer(len + 1)));
    rString.ReleaseBuffer();
}

} // namespace

// ---- CStatic ----------------------------------------------------------------------------

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("Static", lpszText, dwStyle, rect, pParentWnd, nID);
}

HICON CStatic::SetIcon(HICON hIcon)
{
    return HICON(Send(m_hWnd, STM_SETICON, WPARAM(hIcon)));
}

HICON CStatic::GetIcon() const
{
    return HICON(Send(m_hWnd, STM_GETICON));
}

// ---- CButton ----------------------------------------------------------------------------

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("Button", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

UINT CButton::GetState() const
{
    return UINT(Send(m_hWnd, BM_GETSTATE));
}

void CButton::SetState(BOOL bHighlight)
{
    Send(m_hWnd, BM_SETSTATE, WPARAM(bHighlight));
}

int CButton::GetCheck() const
{
    return int(Send(m_hWnd, BM_GETCHECK));
}

void CButton::SetCheck(int nCheck)
{
    Send(m_hWnd, BM_SETCHECK, WPARAM(nCheck));
}

UINT CButton::GetButtonStyle() const
{
    return UINT(::GetWindowLong(m_hWnd, GWL_STYLE)) & 0xFF;
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw)
{
    Send(m_hWnd, BM_SETSTYLE, WPARAM(nStyle), LPARAM(bRedraw));
}

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

// ---- CEdit ------------------------------------------------------------------------------

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("Edit", NULL, dwStyle, rect, pParentWnd, nID);
}

void CEdit::LimitText(int nChars)
{
    Send(m_hWnd, EM_LIMITTEXT, WPARAM(nChars));
}

UINT CEdit::GetLimitText() const
{
    return UINT(Send(m_hWnd, EM_GETLIMITTEXT));
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    Send(m_hWnd, EM_SETSEL, WPARAM(nStartChar), LPARAM(nEndChar));
    if (!bNoScroll)
        Send(m_hWnd, EM_SCROLLCARET);
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SetSel(int(LOWORD(dwSelection)), int(HIWORD(dwSelection)), bNoScroll);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD start = 0;
    DWORD end = 0;
    Send(m_hWnd, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    nStartChar = int(start);
    nEndChar = int(end);
}

DWORD CEdit::GetSel() const
{
    return DWORD(Send(m_hWnd, EM_GETSEL));
}

void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo)
{
    Send(m_hWnd, EM_REPLACESEL, WPARAM(bCanUndo), LPARAM(lpszNewText ? lpszNewText : ""));
}

int CEdit::GetLineCount() const
{
    return int(Send(m_hWnd, EM_GETLINECOUNT));
}

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer) const
{
    // EM_GETLINE reads the buffer size from its first WORD.
    return int(Send(m_hWnd, EM_GETLINE, WPARAM(nIndex), LPARAM(lpszBuffer)));
}

int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const
{
    if (!lpszBuffer || nMaxLength < 1)
        return 0;
    if (nMaxLength < int(sizeof(WORD))) {
        // Too small to carry the size word: read into a scratch buffer.
        char scratch[sizeof(WORD)] = {};
        *reinterpret_cast<WORD*>(scratch) = WORD(sizeof(WORD));
        int n = int(Send(m_hWnd, EM_GETLINE, WPARAM(nIndex), LPARAM(scratch)));
        n = n < nMaxLength ? n : nMaxLength;
        std::memcpy(lpszBuffer, scratch, size_t(n));
        if (n < nMaxLength)
            lpszBuffer[n] = '\0';
        return n;
    }
    WORD size = WORD(nMaxLength > 0xFFFF ? 0xFFFF : nMaxLength);
    std::memcpy(lpszBuffer, &size, sizeof size);
    int n = int(Send(m_hWnd, EM_GETLINE, WPARAM(nIndex), LPARAM(lpszBuffer)));
    if (n < nMaxLength)
        lpszBuffer[n] = '\0';
    return n;
}

int CEdit::LineIndex(int nLine) const
{
    return int(Send(m_hWnd, EM_LINEINDEX, WPARAM(nLine)));
}

int CEdit::LineLength(int nLine) const
{
    return int(Send(m_hWnd, EM_LINELENGTH, WPARAM(nLine)));
}

int CEdit::LineFromChar(int nIndex) const
{
    return int(Send(m_hWnd, EM_LINEFROMCHAR, WPARAM(nIndex)));
}

int CEdit::GetFirstVisibleLine() const
{
    return int(Send(m_hWnd, EM_GETFIRSTVISIBLELINE));
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly)
{
    return BOOL(Send(m_hWnd, EM_SETREADONLY, WPARAM(bReadOnly)));
}

BOOL CEdit::GetModify() const
{
    return BOOL(Send(m_hWnd, EM_GETMODIFY));
}

void CEdit::SetModify(BOOL bModified)
{
    Send(m_hWnd, EM_SETMODIFY, WPARAM(bModified));
}

BOOL CEdit::CanUndo() const
{
    return BOOL(Send(m_hWnd, EM_CANUNDO));
}

BOOL CEdit::Undo()
{
    return BOOL(Send(m_hWnd, EM_UNDO));
}

void CEdit::EmptyUndoBuffer()
{
    Send(m_hWnd, EM_EMPTYUNDOBUFFER);
}

void CEdit::Cut()
{
    Send(m_hWnd, WM_CUT);
}

void CEdit::Copy()
{
    Send(m_hWnd, WM_COPY);
}

void CEdit::Paste()
{
    Send(m_hWnd, WM_PASTE);
}

void CEdit::Clear()
{
    Send(m_hWnd, WM_CLEAR);
}

void CEdit::SetPasswordChar(TCHAR ch)
{
    Send(m_hWnd, EM_SETPASSWORDCHAR, WPARAM(BYTE(ch)));
}

// ---- Owner-draw reflection shared by list and combo boxes ------------------------------

namespace {

template <typename Box>
BOOL ReflectOwnerDraw(Box* box, UINT message, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_DRAWITEM:
        box->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        box->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    case WM_COMPAREITEM: {
        int r = box->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = r;
        return TRUE;
    }
    case WM_DELETEITEM:
        box->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

// ---- CListBox ---------------------------------------------------------------------------

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("ListBox", NULL, dwStyle, rect, pParentWnd, nID);
}

int CListBox::AddString(LPCTSTR lpszItem)
{
    return int(Send(m_hWnd, LB_ADDSTRING, 0, LPARAM(lpszItem)));
}

int CListBox::InsertString(int nIndex, LPCTSTR lpszItem)
{
    return int(Send(m_hWnd, LB_INSERTSTRING, WPARAM(nIndex), LPARAM(lpszItem)));
}

int CListBox::DeleteString(UINT nIndex)
{
    return int(Send(m_hWnd, LB_DELETESTRING, WPARAM(nIndex)));
}

void CListBox::ResetContent()
{
    Send(m_hWnd, LB_RESETCONTENT);
}

int CListBox::GetCount() const
{
    return int(Send(m_hWnd, LB_GETCOUNT));
}

int CListBox::GetCurSel() const
{
    return int(Send(m_hWnd, LB_GETCURSEL));
}

int CListBox::SetCurSel(int nSelect)
{
    return int(Send(m_hWnd, LB_SETCURSEL, WPARAM(nSelect)));
}

int CListBox::GetSel(int nIndex) const
{
    return int(Send(m_hWnd, LB_GETSEL, WPARAM(nIndex)));
}

int CListBox::SetSel(int nIndex, BOOL bSelect)
{
    return int(Send(m_hWnd, LB_SETSEL, WPARAM(bSelect), LPARAM(nIndex)));
}

int CListBox::GetSelCount() const
{
    return int(Send(m_hWnd, LB_GETSELCOUNT));
}

int CListBox::GetSelItems(int nMaxItems, LPINT rgIndex) const
{
    return int(Send(m_hWnd, LB_GETSELITEMS, WPARAM(nMaxItems), LPARAM(rgIndex)));
}

int CListBox::GetText(int nIndex, LPTSTR lpszBuffer) const
{
    return int(Send(m_hWnd, LB_GETTEXT, WPARAM(nIndex), LPARAM(lpszBuffer)));
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    ReadItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, nIndex, rString);
}

int CListBox::GetTextLen(int nIndex) const
{
    return int(Send(m_hWnd, LB_GETTEXTLEN, WPARAM(nIndex)));
}

DWORD_PTR CListBox::GetItemData(int nIndex) const
{
    return DWORD_PTR(Send(m_hWnd, LB_GETITEMDATA, WPARAM(nIndex)));
}

int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return int(Send(m_hWnd, LB_SETITEMDATA, WPARAM(nIndex), LPARAM(dwItemData)));
}

void* CListBox::GetItemDataPtr(int nIndex) const
{
    return reinterpret_cast<void*>(GetItemData(nIndex));
}

int CListBox::SetItemDataPtr(int nIndex, void* pData)
{
    return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData));
}

int CListBox::FindString(int nStartAfter, LPCTSTR lpszItem) const
{
    return int(Send(m_hWnd, LB_FINDSTRING, WPARAM(nStartAfter), LPARAM(lpszItem)));
}

int CListBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return int(Send(m_hWnd, LB_FINDSTRINGEXACT, WPARAM(nIndexStart), LPARAM(lpszFind)));
}

int CListBox::SelectString(int nStartAfter, LPCTSTR lpszItem)
{
    return int(Send(m_hWnd, LB_SELECTSTRING, WPARAM(nStartAfter), LPARAM(lpszItem)));
}

int CListBox::GetTopIndex() const
{
    return int(Send(m_hWnd, LB_GETTOPINDEX));
}

int CListBox::SetTopIndex(int nIndex)
{
    return int(Send(m_hWnd, LB_SETTOPINDEX, WPARAM(nIndex)));
}

int CListBox::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return int(Send(m_hWnd, LB_GETITEMRECT, WPARAM(nIndex), LPARAM(lpRect)));
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const
{
    // Walks the visible items by their rectangles, so variable-height
    // boxes answer too.
    bOutside = TRUE;
    int count = GetCount();
    if (count <= 0)
        return 0;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    int nearest = GetTopIndex();
    if (nearest < 0)
        nearest = 0;
    for (int i = nearest; i < count; ++i) {
        RECT rc{};
        if (GetItemRect(i, &rc) == LB_ERR)
            break;
        if (rc.top >= client.bottom)
            break;
        nearest = i;
        if (pt.y < rc.bottom) {
            bOutside = !(pt.y >= rc.top && pt.x >= rc.left && pt.x < rc.right);
            return UINT(i);
        }
    }
    return UINT(nearest);
}

int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight)
{
    return int(Send(m_hWnd, LB_SETITEMHEIGHT, WPARAM(nIndex), MAKELPARAM(cyItemHeight, 0)));
}

int CListBox::GetItemHeight(int nIndex) const
{
    return int(Send(m_hWnd, LB_GETITEMHEIGHT, WPARAM(nIndex)));
}

int CListBox::GetCaretIndex() const
{
    return int(Send(m_hWnd, LB_GETCARETINDEX));
}

int CListBox::SetCaretIndex(int nIndex, BOOL bScroll)
{
    return int(Send(m_hWnd, LB_SETCARETINDEX, WPARAM(nIndex), MAKELPARAM(bScroll, 0)));
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

int CListBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CListBox::DeleteItem(LPDELETEITEMSTRUCT)
{
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (ReflectOwnerDraw(this, message, lParam, pResult))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CComboBox --------------------------------------------------------------------------

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("ComboBox", NULL, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::AddString(LPCTSTR lpszString)
{
    return int(Send(m_hWnd, CB_ADDSTRING, 0, LPARAM(lpszString)));
}

int CComboBox::InsertString(int nIndex, LPCTSTR lpszString)
{
    return int(Send(m_hWnd, CB_INSERTSTRING, WPARAM(nIndex), LPARAM(lpszString)));
}

int CComboBox::DeleteString(UINT nIndex)
{
    return int(Send(m_hWnd, CB_DELETESTRING, WPARAM(nIndex)));
}

void CComboBox::ResetContent()
{
    Send(m_hWnd, CB_RESETCONTENT);
}

int CComboBox::GetCount() const
{
    return int(Send(m_hWnd, CB_GETCOUNT));
}

int CComboBox::GetCurSel() const
{
    return int(Send(m_hWnd, CB_GETCURSEL));
}

int CComboBox::SetCurSel(int nSelect)
{
    return int(Send(m_hWnd, CB_SETCURSEL, WPARAM(nSelect)));
}

int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const
{
    return int(Send(m_hWnd, CB_GETLBTEXT, WPARAM(nIndex), LPARAM(lpszText)));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    ReadItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, rString);
}

int CComboBox::GetLBTextLen(int nIndex) const
{
    return int(Send(m_hWnd, CB_GETLBTEXTLEN, WPARAM(nIndex)));
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const
{
    return DWORD_PTR(Send(m_hWnd, CB_GETITEMDATA, WPARAM(nIndex)));
}

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return int(Send(m_hWnd, CB_SETITEMDATA, WPARAM(nIndex), LPARAM(dwItemData)));
}

void* CComboBox::GetItemDataPtr(int nIndex) const
{
    return reinterpret_cast<void*>(GetItemData(nIndex));
}

int CComboBox::SetItemDataPtr(int nIndex, void* pData)
{
    return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData));
}

int CComboBox::FindString(int nStartAfter, LPCTSTR lpszString) const
{
    return int(Send(m_hWnd, CB_FINDSTRING, WPARAM(nStartAfter), LPARAM(lpszString)));
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return int(Send(m_hWnd, CB_FINDSTRINGEXACT, WPARAM(nIndexStart), LPARAM(lpszFind)));
}

int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString)
{
    return int(Send(m_hWnd, CB_SELECTSTRING, WPARAM(nStartAfter), LPARAM(lpszString)));
}

int CComboBox::SetItemHeight(int nIndex, UINT cyItemHeight)
{
    return int(Send(m_hWnd, CB_SETITEMHEIGHT, WPARAM(nIndex), LPARAM(cyItemHeight)));
}

int CComboBox::GetItemHeight(int nIndex) const
{
    return int(Send(m_hWnd, CB_GETITEMHEIGHT, WPARAM(nIndex)));
}

void CComboBox::ShowDropDown(BOOL bShowIt)
{
    Send(m_hWnd, CB_SHOWDROPDOWN, WPARAM(bShowIt));
}

BOOL CComboBox::GetDroppedState() const
{
    return BOOL(Send(m_hWnd, CB_GETDROPPEDSTATE));
}

void CComboBox::GetDroppedControlRect(LPRECT lprect) const
{
    Send(m_hWnd, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(lprect));
}

BOOL CComboBox::LimitText(int nMaxChars)
{
    return BOOL(Send(m_hWnd, CB_LIMITTEXT, WPARAM(nMaxChars)));
}

BOOL CComboBox::SetEditSel(int nStartChar, int nEndChar)
{
    return BOOL(Send(m_hWnd, CB_SETEDITSEL, 0, MAKELPARAM(nStartChar, nEndChar)));
}

DWORD CComboBox::GetEditSel() const
{
    return DWORD(Send(m_hWnd, CB_GETEDITSEL));
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CComboBox::DeleteItem(LPDELETEITEMSTRUCT)
{
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (ReflectOwnerDraw(this, message, lParam, pResult))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CScrollBar -------------------------------------------------------------------------

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("ScrollBar", NULL, dwStyle, rect, pParentWnd, nID);
}

int CScrollBar::GetScrollPos() const
{
    return ::GetScrollPos(m_hWnd, SB_CTL);
}

int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw)
{
    return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw);
}

void CScrollBar::GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const
{
    ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
}

void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw)
{
    ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    if (!lpScrollInfo)
        return FALSE;
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
}

BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    if (!lpScrollInfo)
        return FALSE;
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    return TRUE;
}

int CScrollBar::GetScrollLimit()
{
    SCROLLINFO info{};
    if (!GetScrollInfo(&info, SIF_RANGE | SIF_PAGE))
        return 0;
    int page = int(info.nPage) > 0 ? int(info.nPage) - 1 : 0;
    int limit = info.nMax - page;
    return limit > info.nMin ? limit : info.nMin;
}

BOOL CScrollBar::EnableScrollBar(UINT nArrowFlags)
{
    return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags);
}

void CScrollBar::ShowScrollBar(BOOL bShow)
{
    ::ShowScrollBar(m_hWnd, SB_CTL, bShow);
}

// ---- CToolTipCtrl -----------------------------------------------------------------------

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    EnsureCommonControls();
    HWND parent = pParentWnd ? pParentWnd->GetSafeHwnd() : NULL;
    return CWnd::CreateEx(0, TOOLTIPS_CLASS, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, parent, NULL, NULL);
}

void CToolTipCtrl::FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool) const
{
    std::memset(&ti, 0, sizeof ti);
    ti.cbSize = sizeof(TOOLINFO);
    HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (nIDTool == 0) {
        // The window itself is the tool; its parent hears TTN_NEEDTEXT.
        ti.hwnd = hWnd ? ::GetParent(hWnd) : NULL;
        if (!ti.hwnd)
            ti.hwnd = hWnd;
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(hWnd);
    } else {
        ti.hwnd = hWnd;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return FALSE;
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool)
        ti.rect = *lpRectTool;
    else if (nIDTool != 0)
        ::GetClientRect(pWnd->GetSafeHwnd(), &ti.rect);
    ti.lpszText = const_cast<LPSTR>(lpszText);
    return BOOL(Send(m_hWnd, TTM_ADDTOOL, 0, LPARAM(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!pWnd || !pWnd->GetSafeHwnd() || nIDText == 0)
        return FALSE;
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool)
        ti.rect = *lpRectTool;
    else if (nIDTool != 0)
        ::GetClientRect(pWnd->GetSafeHwnd(), &ti.rect);
    ti.hinst = AfxFindResourceHandle(MAKEINTRESOURCE((nIDText >> 4) + 1), RT_STRING);
    ti.lpszText = MAKEINTRESOURCE(nIDText);
    return BOOL(Send(m_hWnd, TTM_ADDTOOL, 0, LPARAM(&ti)));
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    Send(m_hWnd, TTM_DELTOOL, 0, LPARAM(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = const_cast<LPSTR>(lpszText);
    Send(m_hWnd, TTM_UPDATETIPTEXT, 0, LPARAM(&ti));
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool)
{
    CString text;
    text.LoadString(nIDText);
    UpdateTipText(text, pWnd, nIDTool);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    if (!lpRect)
        return;
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    Send(m_hWnd, TTM_NEWTOOLRECT, 0, LPARAM(&ti));
}

int CToolTipCtrl::GetToolCount() const
{
    return int(Send(m_hWnd, TTM_GETTOOLCOUNT));
}

void CToolTipCtrl::Activate(BOOL bActivate)
{
    Send(m_hWnd, TTM_ACTIVATE, WPARAM(bActivate));
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg)
{
    if (lpMsg && m_hWnd)
        Send(m_hWnd, TTM_RELAYEVENT, 0, LPARAM(lpMsg));
}

void CToolTipCtrl::SetDelayTime(UINT nDelay)
{
    Send(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, LPARAM(nDelay));
}

void CToolTipCtrl::SetDelayTime(DWORD dwDuration, int iTime)
{
    Send(m_hWnd, TTM_SETDELAYTIME, WPARAM(dwDuration), LPARAM(iTime));
}

void CToolTipCtrl::Pop()
{
    Send(m_hWnd, TTM_POP);
}

// ---- CSpinButtonCtrl --------------------------------------------------------------------

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls();
    return CWnd::Create(UPDOWN_CLASS, NULL, dwStyle, rect, pParentWnd, nID);
}

void CSpinButtonCtrl::SetRange(short nLower, short nUpper)
{
    Send(m_hWnd, UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower));
}

void CSpinButtonCtrl::SetRange32(int nLower, int nUpper)
{
    Send(m_hWnd, UDM_SETRANGE32, WPARAM(nLower), LPARAM(nUpper));
}

DWORD CSpinButtonCtrl::GetRange() const
{
    return DWORD(Send(m_hWnd, UDM_GETRANGE));
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const
{
    Send(m_hWnd, UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper));
}

int CSpinButtonCtrl::SetPos(int nPos)
{
    return int(short(LOWORD(Send(m_hWnd, UDM_SETPOS, 0, MAKELPARAM(nPos, 0)))));
}

int CSpinButtonCtrl::GetPos() const
{
    return int(Send(m_hWnd, UDM_GETPOS));
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy)
{
    HWND old = HWND(Send(m_hWnd, UDM_SETBUDDY, WPARAM(pWndBuddy ? pWndBuddy->GetSafeHwnd() : NULL)));
    return old ? CWnd::FromHandle(old) : nullptr;
}

CWnd* CSpinButtonCtrl::GetBuddy() const
{
    HWND buddy = HWND(Send(m_hWnd, UDM_GETBUDDY));
    return buddy ? CWnd::FromHandle(buddy) : nullptr;
}

// ---- CSliderCtrl ------------------------------------------------------------------------

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls();
    return CWnd::Create(TRACKBAR_CLASS, NULL, dwStyle, rect, pParentWnd, nID);
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    SetRangeMin(nMin, FALSE);
    SetRangeMax(nMax, bRedraw);
}

void CSliderCtrl::GetRange(int& nMin, int& nMax) const
{
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}

int CSliderCtrl::GetRangeMin() const
{
    return int(Send(m_hWnd, TBM_GETRANGEMIN));
}

int CSliderCtrl::GetRangeMax() const
{
    return int(Send(m_hWnd, TBM_GETRANGEMAX));
}

void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw)
{
    Send(m_hWnd, TBM_SETRANGEMIN, WPARAM(bRedraw), LPARAM(nMin));
}

void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw)
{
    Send(m_hWnd, TBM_SETRANGEMAX, WPARAM(bRedraw), LPARAM(nMax));
}

void CSliderCtrl::SetPos(int nPos)
{
    Send(m_hWnd, TBM_SETPOS, TRUE, LPARAM(nPos));
}

int CSliderCtrl::GetPos() const
{
    return int(Send(m_hWnd, TBM_GETPOS));
}

void CSliderCtrl::SetTicFreq(int nFreq)
{
    Send(m_hWnd, TBM_SETTICFREQ, WPARAM(nFreq));
}

int CSliderCtrl::SetPageSize(int nSize)
{
    return int(Send(m_hWnd, TBM_SETPAGESIZE, 0, LPARAM(nSize)));
}

int CSliderCtrl::GetPageSize() const
{
    return int(Send(m_hWnd, TBM_GETPAGESIZE));
}

int CSliderCtrl::SetLineSize(int nSize)
{
    return int(Send(m_hWnd, TBM_SETLINESIZE, 0, LPARAM(nSize)));
}

int CSliderCtrl::GetLineSize() const
{
    return int(Send(m_hWnd, TBM_GETLINESIZE));
}

void CSliderCtrl::GetThumbRect(LPRECT lprc) const
{
    Send(m_hWnd, TBM_GETTHUMBRECT, 0, LPARAM(lprc));
}

void CSliderCtrl::GetChannelRect(LPRECT lprc) const
{
    Send(m_hWnd, TBM_GETCHANNELRECT, 0, LPARAM(lprc));
}

// ---- CProgressCtrl ----------------------------------------------------------------------

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls();
    return CWnd::Create(PROGRESS_CLASS, NULL, dwStyle, rect, pParentWnd, nID);
}

void CProgressCtrl::SetRange(short nLower, short nUpper)
{
    Send(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
}

void CProgressCtrl::SetRange32(int nLower, int nUpper)
{
    Send(m_hWnd, PBM_SETRANGE32, WPARAM(nLower), LPARAM(nUpper));
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range{};
    Send(m_hWnd, PBM_GETRANGE, FALSE, LPARAM(&range));
    nLower = range.iLow;
    nUpper = range.iHigh;
}

int CProgressCtrl::SetPos(int nPos)
{
    return int(Send(m_hWnd, PBM_SETPOS, WPARAM(nPos)));
}

int CProgressCtrl::GetPos() const
{
    return int(Send(m_hWnd, PBM_GETPOS));
}

int CProgressCtrl::OffsetPos(int nPos)
{
    return int(Send(m_hWnd, PBM_DELTAPOS, WPARAM(nPos)));
}

int CProgressCtrl::SetStep(int nStep)
{
    return int(Send(m_hWnd, PBM_SETSTEP, WPARAM(nStep)));
}

int CProgressCtrl::StepIt()
{
    return int(Send(m_hWnd, PBM_STEPIT));
}

// ---- CTabCtrl ---------------------------------------------------------------------------

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls();
    return CWnd::Create(WC_TABCONTROL, NULL, dwStyle, rect, pParentWnd, nID);
}

int CTabCtrl::GetItemCount() const
{
    return int(Send(m_hWnd, TCM_GETITEMCOUNT));
}

BOOL CTabCtrl::GetItem(int nItem, TCITEM* pTabCtrlItem) const
{
    return BOOL(Send(m_hWnd, TCM_GETITEM, WPARAM(nItem), LPARAM(pTabCtrlItem)));
}

BOOL CTabCtrl::SetItem(int nItem, TCITEM* pTabCtrlItem)
{
    return BOOL(Send(m_hWnd, TCM_SETITEM, WPARAM(nItem), LPARAM(pTabCtrlItem)));
}

LONG CTabCtrl::InsertItem(int nItem, TCITEM* pTabCtrlItem)
{
    return LONG(Send(m_hWnd, TCM_INSERTITEM, WPARAM(nItem), LPARAM(pTabCtrlItem)));
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszItem ? lpszItem : "");
    return InsertItem(nItem, &item);
}

BOOL CTabCtrl::DeleteItem(int nItem)
{
    return BOOL(Send(m_hWnd, TCM_DELETEITEM, WPARAM(nItem)));
}

BOOL CTabCtrl::DeleteAllItems()
{
    return BOOL(Send(m_hWnd, TCM_DELETEALLITEMS));
}

BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const
{
    return BOOL(Send(m_hWnd, TCM_GETITEMRECT, WPARAM(nItem), LPARAM(lpRect)));
}

int CTabCtrl::GetCurSel() const
{
    return int(Send(m_hWnd, TCM_GETCURSEL));
}

int CTabCtrl::SetCurSel(int nItem)
{
    return int(Send(m_hWnd, TCM_SETCURSEL, WPARAM(nItem)));
}

void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect)
{
    Send(m_hWnd, TCM_ADJUSTRECT, WPARAM(bLarger), LPARAM(lpRect));
}
