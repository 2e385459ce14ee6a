// CWnd: the window tree, geometry, painting, scrolling, dialog items and
// the other wrappers that need more than a forward.

#include "platform/framework/Wnd.h"

#include "platform/framework/Frame.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

HRGN RegionOfImpl(CRgn* pRgn)
{
    return pRgn != nullptr ? reinterpret_cast<HRGN>(pRgn->m_hObject) : NULL;
}

std::vector<HWND> ChildrenOf(HWND hWnd)
{
    std::vector<HWND> children;
    for (HWND hChild = ::GetTopWindow(hWnd); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        children.push_back(hChild);
    return children;
}

HWND ParentOrOwner(HWND hWnd)
{
    if (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD)
        return ::GetParent(hWnd);
    return ::GetWindow(hWnd, GW_OWNER);
}

} // namespace

BOOL AFXAPI AfxIsKindOfName(const CObject* pObject, LPCSTR lpszClassName)
{
    if (pObject == nullptr || lpszClassName == nullptr)
        return FALSE;
    for (const CRuntimeClass* pClass = pObject->GetRuntimeClass(); pClass != nullptr; pClass = pClass->m_pBaseClass) {
        if (std::strcmp(pClass->m_lpszClassName, lpszClassName) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL CWnd::IsFrameWnd() const
{
    return IsKindOf(RUNTIME_CLASS(CFrameWnd));
}

// ---- Styles -------------------------------------------------------------------------------------

namespace {

BOOL ModifyStyleIndex(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = DWORD(::GetWindowLong(hWnd, nIndex));
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLong(hWnd, nIndex, LONG(dwNewStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

} // namespace

BOOL PASCAL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleIndex(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL PASCAL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleIndex(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

// ---- Messages to descendants -------------------------------------------------------------------

void PASCAL CWnd::SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
    BOOL bOnlyPerm)
{
    // The list is taken first: a handler may create or destroy windows.
    for (HWND hChild : ChildrenOf(hWnd)) {
        if (!::IsWindow(hChild))
            continue;
        if (bOnlyPerm) {
            if (CWnd* pWnd = FromHandlePermanent(hChild))
                AfxCallWndProc(pWnd, hChild, message, wParam, lParam);
        } else {
            ::SendMessage(hChild, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(hChild) && ::GetTopWindow(hChild) != NULL)
            SendMessageToDescendants(hChild, message, wParam, lParam, bDeep, bOnlyPerm);
    }
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    SendMessageToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

// ---- Text and font ------------------------------------------------------------------------------

void CWnd::GetWindowText(CString& rString) const
{
    int nLen = ::GetWindowTextLength(m_hWnd);
    if (nLen <= 0) {
        rString.Empty();
        return;
    }
    char* buffer = rString.GetBuffer(nLen + 1);
    int n = ::GetWindowText(m_hWnd, buffer, nLen + 1);
    rString.ReleaseBuffer(std::max(n, 0));
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (hWnd == NULL)
        return 0;
    FromHandle(hWnd)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessage(m_hWnd, WM_SETFONT, WPARAM(pFont != nullptr ? pFont->m_hObject : NULL), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0)));
}

// ---- Geometry -----------------------------------------------------------------------------------

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    DWORD dwStyle = GetStyle();
    HWND hWndCenter = platform::HandleOf(pAlternateOwner);
    RECT rcArea;
    RECT rcCenter;
    if (dwStyle & WS_CHILD) {
        // Within the parent's client area.
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        rcCenter = rcArea;
        if (hWndCenter != NULL && hWndCenter != hWndParent) {
            ::GetWindowRect(hWndCenter, &rcCenter);
            ::MapWindowPoints(NULL, hWndParent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
        }
    } else {
        if (hWndCenter == NULL)
            hWndCenter = ::GetWindow(m_hWnd, GW_OWNER);
        // An owner that cannot be seen is no place to centre on.
        if (hWndCenter != NULL && (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter)))
            hWndCenter = NULL;
        rcArea = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        if (hWndCenter != NULL)
            ::GetWindowRect(hWndCenter, &rcCenter);
        else
            rcCenter = rcArea;
    }
    RECT rcWnd;
    ::GetWindowRect(m_hWnd, &rcWnd);
    int width = rcWnd.right - rcWnd.left;
    int height = rcWnd.bottom - rcWnd.top;
    int left = (rcCenter.left + rcCenter.right) / 2 - width / 2;
    int top = (rcCenter.top + rcCenter.bottom) / 2 - height / 2;
    // Kept inside the area when it fits.
    if (left + width > rcArea.right)
        left = rcArea.right - width;
    if (left < rcArea.left)
        left = rcArea.left;
    if (top + height > rcArea.bottom)
        top = rcArea.bottom - height;
    if (top < rcArea.top)
        top = rcArea.top;
    ::SetWindowPos(m_hWnd, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Painting -----------------------------------------------------------------------------------

CDC* CWnd::BeginPaint(PAINTSTRUCT* lpPaint)
{
    return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint));
}

void CWnd::EndPaint(PAINTSTRUCT* lpPaint)
{
    ::EndPaint(m_hWnd, lpPaint);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return ::ReleaseDC(m_hWnd, pDC != nullptr ? pDC->m_hDC : NULL);
}

int CWnd::GetUpdateRgn(CRgn* pRgn, BOOL bErase)
{
    return ::GetUpdateRgn(m_hWnd, RegionOfImpl(pRgn), bErase);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase)
{
    ::InvalidateRgn(m_hWnd, RegionOfImpl(pRgn), bErase);
}

void CWnd::ValidateRgn(CRgn* pRgn)
{
    ::ValidateRgn(m_hWnd, RegionOfImpl(pRgn));
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, RegionOfImpl(prgnUpdate), flags);
}

// ---- Scrolling ----------------------------------------------------------------------------------

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

int CWnd::GetScrollLimit(int nBar) const
{
    SCROLLINFO info{};
    if (!GetScrollInfo(nBar, &info, SIF_RANGE | SIF_PAGE))
        return 0;
    int limit = info.nMax;
    if (info.nPage > 1)
        limit -= int(info.nPage) - 1;
    return std::max(limit, info.nMin);
}

void CWnd::EnableScrollBarCtrl(int nBar, BOOL bEnable)
{
    ::ShowScrollBar(m_hWnd, nBar, bEnable);
}

int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate,
    LPRECT lpRectUpdate, UINT flags)
{
    return ::ScrollWindowEx(m_hWnd, dx, dy, lpRectScroll, lpRectClip,
        RegionOfImpl(prgnUpdate), lpRectUpdate, flags);
}

CScrollBar* CWnd::GetScrollBarCtrl(int) const
{
    return nullptr;
}

// ---- Window tree --------------------------------------------------------------------------------

CWnd* CWnd::GetOwner() const
{
    if (m_hWndOwner != NULL && ::IsWindow(m_hWndOwner))
        return FromHandle(m_hWndOwner);
    return GetParent();
}

CWnd* PASCAL CWnd::GetDescendantWindow(HWND hWnd, int nID, BOOL bOnlyPerm)
{
    // Direct children first, then each child's subtree.
    std::vector<HWND> children = ChildrenOf(hWnd);
    for (HWND hChild : children) {
        if (::GetDlgCtrlID(hChild) == nID) {
            if (!bOnlyPerm)
                return FromHandle(hChild);
            if (CWnd* pWnd = FromHandlePermanent(hChild))
                return pWnd;
        }
    }
    for (HWND hChild : children) {
        if (::GetTopWindow(hChild) != NULL) {
            if (CWnd* pWnd = GetDescendantWindow(hChild, nID, bOnlyPerm))
                return pWnd;
        }
    }
    return nullptr;
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const
{
    return GetDescendantWindow(m_hWnd, nID, bOnlyPerm);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (m_hWnd == NULL)
        return nullptr;
    for (HWND hWnd = ::GetParent(m_hWnd); hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->IsFrameWnd())
            return static_cast<CFrameWnd*>(pWnd);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (m_hWnd == NULL)
        return nullptr;
    CFrameWnd* pFrame = IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
    while (pFrame != nullptr) {
        CFrameWnd* pParent = pFrame->GetParentFrame();
        if (pParent == nullptr)
            break;
        pFrame = pParent;
    }
    return pFrame;
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (m_hWnd == NULL)
        return nullptr;
    HWND hWnd = m_hWnd;
    for (HWND hParent = ParentOrOwner(hWnd); hParent != NULL; hParent = ParentOrOwner(hWnd))
        hWnd = hParent;
    return FromHandle(hWnd);
}

CWnd* CWnd::GetTopLevelOwner() const
{
    if (m_hWnd == NULL)
        return nullptr;
    HWND hWnd = m_hWnd;
    while (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD)
        hWnd = ::GetParent(hWnd);
    for (HWND hOwner = ::GetWindow(hWnd, GW_OWNER); hOwner != NULL; hOwner = ::GetWindow(hWnd, GW_OWNER))
        hWnd = hOwner;
    return FromHandle(hWnd);
}

CWnd* CWnd::GetParentOwner() const
{
    if (m_hWnd == NULL)
        return nullptr;
    return FromHandle(ParentOrOwner(m_hWnd));
}

// ---- Dialog items -------------------------------------------------------------------------------

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton)
{
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID) {
        if (::IsDlgButtonChecked(m_hWnd, nID))
            return nID;
    }
    return 0;
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    // Windows nobody attached are reached through one stand-in object, so
    // an idle pass leaves no temporary objects behind.
    CWnd wndTemp;
    for (HWND hChild : ChildrenOf(m_hWnd)) {
        if (!::IsWindow(hChild))
            continue;
        state.m_nID = UINT(::GetDlgCtrlID(hChild));
        if (state.m_nID == 0 || LOWORD(state.m_nID) == 0xFFFF)
            continue;
        CWnd* pChild = FromHandlePermanent(hChild);
        if (pChild == nullptr) {
            wndTemp.m_hWnd = hChild;
            pChild = &wndTemp;
        }
        state.m_pOther = pChild;
        // This window's own handlers come first.
        if (CCmdTarget::OnCmdMsg(state.m_nID, int(CN_UPDATE_COMMAND_UI), &state, nullptr)) {
            wndTemp.m_hWnd = NULL;
            continue;
        }
        // Check boxes and radio buttons that toggle themselves work
        // without a handler: they are never disabled for want of one.
        BOOL bDisable = bDisableIfNoHndler;
        if (bDisable && (::SendMessage(hChild, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
            DWORD type = DWORD(::GetWindowLong(hChild, GWL_STYLE)) & 0x0F;
            if (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON)
                bDisable = FALSE;
        }
        state.DoUpdate(pTarget, bDisable);
        wndTemp.m_hWnd = NULL;
    }
}

// ---- Tool tips ------------------------------------------------------------------------------------

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const
{
    // The child control under the point, with its id; the text is asked
    // of the owner (TTN_NEEDTEXT).
    HWND hChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE);
    if (hChild == NULL || hChild == m_hWnd)
        return -1;
    int nID = ::GetDlgCtrlID(hChild);
    if (nID == 0)
        return -1;
    if (pTI != nullptr) {
        pTI->hwnd = m_hWnd;
        pTI->uId = UINT_PTR(hChild);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return nID;
}

// ---- Miscellany ---------------------------------------------------------------------------------

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (lpszCaption == nullptr)
        lpszCaption = AfxGetAppName();
    return ::MessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL CWnd::FlashWindow(BOOL)
{
    // The desktop has no way to flash a caption here; the answer is the
    // active state it would have shown.
    return ::GetActiveWindow() == m_hWnd;
}

CPoint PASCAL CWnd::GetCaretPos()
{
    POINT pt{0, 0};
    ::GetCaretPos(&pt);
    return CPoint(pt);
}

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(dwData, nCmd);
}
