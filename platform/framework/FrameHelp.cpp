// CFrameWnd's side of help: F1 (WM_COMMANDHELP along the windows that have
// the focus or the capture), Shift+F1 mode (a click asks WM_HELPHITTEST of
// the window under it), and the help commands.
//
// Help contexts: HID_BASE_COMMAND + command id for a command (the one a
// menu is showing, or the one being carried out), HID_BASE_RESOURCE +
// resource id for a frame or dialog, HID_BASE_NCAREAS + hit-test code for
// a window's caption and borders, or whatever a window answers to
// WM_HELPHITTEST.

#include "platform/framework/Frame.h"

#include "platform/framework/WinApp.h"

namespace {

// Sends WM_COMMANDHELP up the parent/owner chain from hWnd; TRUE when a
// window gave help.
bool AskChainForHelp(HWND hWnd)
{
    while (hWnd != NULL) {
        if (::SendMessage(hWnd, WM_COMMANDHELP, 0, 0) != 0)
            return true;
        hWnd = ::GetParent(hWnd); // the owner for a popup
    }
    return false;
}

bool IsMouseDown(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

bool IsOtherMouseMessage(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        || (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

} // namespace

// ---- F1 ----------------------------------------------------------------------------------------

LRESULT CFrameWnd::OnCommandHelp(WPARAM, LPARAM lParam)
{
    if (lParam == 0) {
        bool tracking = m_nIDTracking != 0 && m_nIDTracking != AFX_IDS_IDLEMESSAGE
            && m_nIDTracking != AFX_IDS_HELPMODEMESSAGE;
        if (tracking)
            lParam = HID_BASE_COMMAND + m_nIDTracking;
        else if (m_nCommandRunning != 0)
            lParam = HID_BASE_COMMAND + m_nCommandRunning;
        else if (m_nIDHelp != 0)
            lParam = HID_BASE_RESOURCE + m_nIDHelp;
    }
    if (lParam == 0)
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL)
        pApp->WinHelp((DWORD_PTR)lParam);
    return TRUE;
}

void CFrameWnd::OnHelp()
{
    // Whoever tracks the mouse, then whoever has the focus, then the
    // active window's last popup: the first that answers gives the help.
    if (AskChainForHelp(::GetCapture()))
        return;
    if (AskChainForHelp(::GetFocus()))
        return;
    HWND hWndTop = m_hWnd;
    while (hWndTop != NULL && (::GetWindowLong(hWndTop, GWL_STYLE) & WS_CHILD))
        hWndTop = ::GetParent(hWndTop);
    if (hWndTop != NULL && AskChainForHelp(::GetLastActivePopup(hWndTop)))
        return;
    // No context anywhere: the program's default help.
    SendMessage(WM_COMMAND, ID_DEFAULT_HELP);
}

void CFrameWnd::OnHelpIndex()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(0, HELP_INDEX);
}

void CFrameWnd::OnHelpFinder()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(0, HELP_FINDER);
}

void CFrameWnd::OnHelpUsing()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(0, HELP_HELPONHELP);
}

// ---- Shift+F1 ----------------------------------------------------------------------------------

LRESULT CFrameWnd::OnHelpHitTest(WPARAM, LPARAM)
{
    return m_nIDHelp != 0 ? (LRESULT)(HID_BASE_RESOURCE + m_nIDHelp) : 0;
}

LRESULT CFrameWnd::OnExitHelpModeMessage(WPARAM, LPARAM)
{
    if (m_bHelpMode != HELP_INACTIVE)
        ExitHelpMode();
    return 0;
}

void CFrameWnd::ExitHelpMode()
{
    if (m_bHelpMode == HELP_INACTIVE)
        return;
    m_bHelpMode = HELP_INACTIVE;
    if (CWinApp* pApp = AfxGetApp())
        pApp->m_bHelpMode = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

DWORD CFrameWnd::MapClientArea(HWND hWnd, CPoint point)
{
    // The window clicked answers first; one that answers 0 passes the
    // question to its parent, up to the top-level window.
    while (hWnd != NULL) {
        DWORD dwContext = (DWORD)::SendMessage(hWnd, WM_HELPHITTEST, 0, MAKELPARAM(point.x, point.y));
        if (dwContext != 0)
            return dwContext;
        if ((::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD) == 0)
            break;
        HWND hWndParent = ::GetParent(hWnd);
        ::MapWindowPoints(hWnd, hWndParent, &point, 1);
        hWnd = hWndParent;
    }
    return 0;
}

DWORD CFrameWnd::HelpContextFromPoint(CPoint ptScreen)
{
    HWND hWndHit = ::WindowFromPoint(ptScreen);
    if (hWndHit == NULL)
        return 0;
    LRESULT nHit = ::SendMessage(hWndHit, WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y));
    if (nHit != HTCLIENT && nHit != HTNOWHERE && nHit != HTERROR && nHit != HTTRANSPARENT)
        return HID_BASE_NCAREAS + (DWORD)nHit;
    CPoint ptClient = ptScreen;
    ::ScreenToClient(hWndHit, &ptClient);
    return MapClientArea(hWndHit, ptClient);
}

void CFrameWnd::OnContextHelp()
{
    // The mode belongs to the top-level frame: its capture and its menu.
    CFrameWnd* pTop = GetTopLevelFrame();
    if (pTop != NULL && pTop != this) {
        pTop->OnContextHelp();
        return;
    }
    if (m_bHelpMode != HELP_INACTIVE || InModalState() || !IsWindowEnabled())
        return;

    CWinApp* pApp = AfxGetApp();
    HWND hWnd = m_hWnd;
    m_bHelpMode = HELP_ACTIVE;
    if (pApp != NULL)
        pApp->m_bHelpMode = TRUE;

    DWORD dwContext = RunHelpModeLoop();

    // The loop dispatches messages: the frame may be gone.
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this) {
        if (pApp != NULL)
            pApp->m_bHelpMode = FALSE;
        return;
    }
    if (m_bHelpMode == HELP_INACTIVE)
        dwContext = 0; // ended elsewhere: help was given or the mode was cancelled
    ExitHelpMode();
    ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
    if (dwContext != 0 && pApp != NULL)
        pApp->WinHelp(dwContext);
}

DWORD CFrameWnd::RunHelpModeLoop()
{
    HWND hWnd = m_hWnd;
    HCURSOR hcurHelp = ::LoadCursor(NULL, IDC_HELP);
    if (hcurHelp == NULL)
        hcurHelp = ::LoadCursor(NULL, IDC_ARROW);
    ::SetCursor(hcurHelp);
    ::SetCapture(hWnd);

    MSG msg;
    for (;;) {
        if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this || m_bHelpMode != HELP_ACTIVE)
            return 0;
        if (::GetCapture() != hWnd)
            ::SetCapture(hWnd);
        if (!::GetMessage(&msg, NULL, 0, 0)) {
            // The outer loop must see the quit too.
            ::PostQuitMessage((int)msg.wParam);
            return 0;
        }

        if (IsMouseDown(msg.message)) {
            CPoint pt = msg.pt;
            LRESULT nHit = ::SendMessage(hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
            if (nHit == HTMENU || nHit == HTSYSMENU) {
                // The menu opens as usual; the command chosen there comes
                // back as WM_COMMAND and is answered with its help.
                ::ReleaseCapture();
                ::SendMessage(hWnd, WM_NCLBUTTONDOWN, (WPARAM)nHit, MAKELPARAM(pt.x, pt.y));
                continue;
            }
            DWORD dwContext = HelpContextFromPoint(pt);
            if (dwContext == 0) {
                // Nothing there knows its help: the program's default help.
                ExitHelpMode();
                SendMessage(WM_COMMAND, ID_DEFAULT_HELP);
                return 0;
            }
            return dwContext;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            ::SetCursor(hcurHelp);
            continue;
        }
        if (IsOtherMouseMessage(msg.message))
            continue; // clicks of the other buttons and releases do nothing here
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            return 0;
        if (msg.message == WM_CANCELMODE || msg.message == WM_EXITHELPMODE)
            return 0;
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            // Accelerators stay live: the command they give is explained.
            if (PreTranslateMessage(&msg))
                continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}
