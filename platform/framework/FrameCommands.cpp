// CFrameWnd: the command route, accelerators, menu updates and the
// status-bar prompts.

#include "platform/framework/Frame.h"

#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"

namespace {

// System-menu commands have prompt strings of their own, one per command,
// starting here (SC_SIZE 0xF000 is the first).
constexpr UINT kSysCommandPromptFirst = 0xEF00;

UINT PromptIdOfSysCommand(UINT nID)
{
    return kSysCommandPromptFirst + (((nID & 0xFFF0) - 0xF000) >> 4);
}

bool IsSysCommandId(UINT nID)
{
    return nID >= 0xF000 && nID < 0xF1F0;
}

} // namespace

// ---- Command route -----------------------------------------------------------------------------

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it the document) first, then the frame,
    // then the application.
    CView* pView = GetActiveView();
    if (pView != NULL && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    if (lParam != 0)
        return CWnd::OnCommand(wParam, lParam);

    // In Shift+F1 mode a command is not carried out: the user asked what it
    // does.
    CFrameWnd* pTop = GetTopLevelFrame();
    if (pTop == NULL)
        pTop = this;
    if (pTop->m_bHelpMode == HELP_ACTIVE && nID != ID_HELP && nID != ID_DEFAULT_HELP && nID != ID_CONTEXT_HELP) {
        pTop->ExitHelpMode();
        if (!SendMessage(WM_COMMANDHELP, 0, HID_BASE_COMMAND + nID))
            SendMessage(WM_COMMAND, ID_DEFAULT_HELP);
        return TRUE;
    }

    // F1 pressed while the command runs (in its dialogs) asks about it.
    HWND hWnd = m_hWnd;
    UINT nSaved = m_nCommandRunning;
    if (nID != ID_HELP && nID != ID_CONTEXT_HELP)
        m_nCommandRunning = nID;
    BOOL bResult = CWnd::OnCommand(wParam, lParam);
    // The command may have closed the frame.
    if (::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == this)
        m_nCommandRunning = nSaved;
    return bResult;
}

// ---- Accelerators ------------------------------------------------------------------------------

HACCEL CFrameWnd::GetDefaultAccelerator()
{
    return m_hAccelTable;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        // The command goes to the frame, whichever of its windows has the
        // focus, and through the frame's gate of update handlers.
        return hAccel != NULL && ::TranslateAccelerator(m_hWnd, hAccel, pMsg);
    }
    return FALSE;
}

// ---- Menus -------------------------------------------------------------------------------------

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    // The system menu keeps the window system's own states.
    if (bSysMenu || pPopupMenu == NULL)
        return;
    AfxUpdatePopupMenu(pPopupMenu, this, m_bAutoMenuEnable);
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    CFrameWnd* pTop = GetTopLevelFrame();
    if (pTop == NULL)
        pTop = this;

    UINT nTracking;
    if (nFlags == 0xFFFF && hSysMenu == NULL) {
        // The menu closed: back to the idle prompt.
        nTracking = AFX_IDS_IDLEMESSAGE;
    } else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP))) {
        nTracking = 0; // nothing to say about a popup or a separator
    } else if (IsSysCommandId(nItemID)) {
        nTracking = PromptIdOfSysCommand(nItemID);
    } else {
        nTracking = nItemID;
    }
    m_nIDTracking = nTracking;
    if (nTracking != m_nIDLastMessage || nTracking == AFX_IDS_IDLEMESSAGE)
        SendMessage(WM_SETMESSAGESTRING, nTracking);
}

void CFrameWnd::OnSysCommand(UINT nID, LPARAM lParam)
{
    CFrameWnd* pTop = GetTopLevelFrame();
    if (pTop == NULL)
        pTop = this;
    UINT nItemID = nID & 0xFFF0;
    // Opening a menu is how the user reaches a command to ask about.
    bool opensMenu = nItemID == SC_MOUSEMENU || nItemID == SC_KEYMENU;
    if (pTop->m_bHelpMode == HELP_ACTIVE && IsSysCommandId(nItemID) && !opensMenu) {
        pTop->ExitHelpMode();
        if (!SendMessage(WM_COMMANDHELP, 0, HID_BASE_COMMAND + PromptIdOfSysCommand(nItemID)))
            SendMessage(WM_COMMAND, ID_DEFAULT_HELP);
        return;
    }
    CWnd::OnSysCommand(nID, lParam);
}

// ---- Prompts -----------------------------------------------------------------------------------

void CFrameWnd::SetMessageText(LPCTSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM)lpszText);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, (WPARAM)nID);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    if (nID == 0)
        return;
    // The program's string wins; the framework knows the idle prompt.
    CString strFull = AfxFrameworkString(nID);
    int newline = strFull.Find('\n');
    rMessage = newline < 0 ? strFull : strFull.Left(newline);
}

CWnd* CFrameWnd::GetMessageBar()
{
    CWnd* pBar = GetDescendantWindow(AFX_IDW_STATUS_BAR, FALSE);
    if (pBar != NULL)
        return pBar;
    // A frame inside another one (an MDI child) uses its parent's bar.
    if (GetStyle() & WS_CHILD) {
        CFrameWnd* pParentFrame = GetParentFrame();
        if (pParentFrame != NULL && pParentFrame != this)
            return pParentFrame->GetMessageBar();
    }
    return NULL;
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    CWnd* pMessageBar = GetMessageBar();
    if (pMessageBar != NULL) {
        CString strMessage;
        LPCTSTR lpsz = "";
        if (lParam != 0) {
            lpsz = (LPCTSTR)lParam;
        } else if (wParam != 0) {
            GetMessageString((UINT)wParam, strMessage);
            lpsz = strMessage;
        }
        pMessageBar->SetWindowText(lpsz);

        // The frame that owns the bar remembers the prompt too, so that F1
        // in a child frame's menu finds it.
        CFrameWnd* pBarFrame = pMessageBar->GetParentFrame();
        if (pBarFrame != NULL && pBarFrame != this) {
            pBarFrame->m_nIDLastMessage = (UINT)wParam;
            pBarFrame->m_nIDTracking = (UINT)wParam;
        }
    }
    m_nIDLastMessage = (UINT)wParam;
    m_nIDTracking = (UINT)wParam;
    return nIDLast;
}
