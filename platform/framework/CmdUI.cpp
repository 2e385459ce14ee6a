// CCmdUI applied to menu items and to plain windows, and the menu pass of
// WM_INITMENUPOPUP.

#include "platform/framework/CmdTarget.h"

#include "platform/framework/Menu.h"
#include "platform/framework/Wnd.h"

#include <vector>

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu != nullptr) {
        // A popup's title is not changed through its first item's handler.
        if (m_pSubMenu != nullptr)
            return;
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != nullptr) {
        HWND hWnd = m_pOther->m_hWnd;
        // A control losing its enabled state while it has the focus would
        // leave the keyboard nowhere: move the focus on first.
        if (!bOn && ::GetFocus() == hWnd) {
            HWND hParent = ::GetParent(hWnd);
            if (hParent != NULL)
                ::SendMessage(hParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        ::EnableWindow(hWnd, bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return; // a popup has no check mark
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther != nullptr) {
        // Only buttons know a check state.
        if (::SendMessage(m_pOther->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            ::SendMessage(m_pOther->m_hWnd, BM_SETCHECK, WPARAM(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_pMenu != nullptr && m_pSubMenu == nullptr) {
        UINT pos = m_nIndex;
        if (bOn)
            m_pMenu->CheckMenuRadioItem(pos, pos, pos, MF_BYPOSITION);
        else
            m_pMenu->CheckMenuItem(pos, MF_BYPOSITION | MF_UNCHECKED);
        return;
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (lpszText == nullptr)
        lpszText = "";
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;
        // ModifyMenu replaces the flags too: keep the item's state.
        UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
        if (state == UINT(-1))
            return;
        state &= (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK | MF_DEFAULT);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther != nullptr) {
        // Only on a change: a window whose text is set again repaints.
        CString current;
        m_pOther->GetWindowText(current);
        if (current != lpszText)
            m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE; // separators and popups without a first item
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, int(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info;
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        if (!bHandler)
            Enable(FALSE);
    }
    return bResult;
}

void AFXAPI AfxUpdatePopupMenu(CMenu* pPopupMenu, CCmdTarget* pTarget, BOOL bAutoMenuEnable)
{
    if (pPopupMenu == nullptr || pTarget == nullptr || pPopupMenu->m_hMenu == NULL)
        return;
    HMENU hPopup = pPopupMenu->m_hMenu;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = pPopupMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        if (!::IsMenu(hPopup))
            return; // an update handler destroyed the menu
        state.m_nID = pPopupMenu->GetMenuItemID(int(state.m_nIndex));
        if (state.m_nID == 0)
            continue; // separator
        state.m_pSubMenu = nullptr;
        if (state.m_nID == UINT(-1)) {
            // A submenu: updated under its first item's id, never disabled
            // merely for want of a handler.
            state.m_pSubMenu = pPopupMenu->GetSubMenu(int(state.m_nIndex));
            if (state.m_pSubMenu == nullptr)
                continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == UINT(-1))
                continue;
            state.DoUpdate(pTarget, FALSE);
        } else {
            // System commands (0xF000 and up) are the system menu's own.
            state.m_pSubMenu = nullptr;
            state.DoUpdate(pTarget, bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // A handler may have added or removed items (the recent-file list
        // does): follow the count it leaves.
        if (!::IsMenu(hPopup))
            return;
        UINT nCount = pPopupMenu->GetMenuItemCount();
        if (nCount < state.m_nIndexMax) {
            UINT removed = state.m_nIndexMax - nCount;
            state.m_nIndex = state.m_nIndex >= removed ? state.m_nIndex - removed : 0;
            while (state.m_nIndex < nCount && pPopupMenu->GetMenuItemID(int(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = nCount;
    }
}
