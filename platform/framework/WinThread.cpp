// CWinThread: the message loop, idle processing, and the inner pumps.

#include "platform/framework/WinApp.h"

#include "platform/framework/Menu.h"
#include "platform/framework/Wnd.h"
#include "platform/framework/WndInternal.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <vector>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

CWinThread*& CurrentThread()
{
    static CWinThread* pThread = nullptr;
    return pThread;
}

void UpdateWindowTree(CWnd* pWnd)
{
    HWND hWnd = pWnd->m_hWnd;
    AfxCallWndProc(pWnd, hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    if (::IsWindow(hWnd))
        CWnd::SendMessageToDescendants(hWnd, WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}

struct OwnedSearch {
    HWND hOwner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwned(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    if (::GetWindow(hWnd, GW_OWNER) == search->hOwner)
        search->found.push_back(hWnd);
    return TRUE;
}

} // namespace

namespace platform {

void FrameworkDeleteTempMaps()
{
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
}

void FrameworkWindowGone(CWnd* pWnd)
{
    CWinThread* pThread = CurrentThread();
    if (pThread == nullptr)
        return;
    if (pThread->m_pMainWnd == pWnd) {
        // The main window's end is the program's end.
        pThread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    if (pThread->m_pActiveWnd == pWnd)
        pThread->m_pActiveWnd = nullptr;
}

} // namespace platform

CWinThread::CWinThread()
{
    m_nThreadID = ::GetCurrentThreadId();
    if (CurrentThread() == nullptr)
        CurrentThread() = this;
}

CWinThread::~CWinThread()
{
    if (CurrentThread() == this)
        CurrentThread() = nullptr;
}

CWinThread* AFXAPI AfxGetThread()
{
    return CurrentThread();
}

CWnd* CWinThread::GetMainWnd()
{
    if (m_pActiveWnd != nullptr)
        return m_pActiveWnd;
    return m_pMainWnd;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return int(m_msgCur.wParam);
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        // Idle work with a rising count until it wants no more.
        while (bIdle && !::PeekMessage(&m_msgCur, NULL, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessage(&m_msgCur, NULL, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessage(&m_msgCur, NULL, 0, 0))
        return FALSE;
    if (m_msgCur.message != WM_KICKIDLE && !PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    CWnd* pMainWnd = GetMainWnd();
    HWND hWndMain = platform::HandleOf(pMainWnd);
    if (CWnd::WalkPreTranslateTree(hWndMain, pMsg))
        return TRUE;
    // A modeless window outside the main window's tree still gets the main
    // window's accelerators.
    if (hWndMain != NULL && pMsg->hwnd != NULL && ::IsWindow(hWndMain)) {
        HWND hTop = pMsg->hwnd;
        for (HWND h = hTop; h != NULL; h = ::GetParent(h))
            hTop = h;
        if (hTop != hWndMain && pMainWnd->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // A mouse move that does not move, and paints, do not make the user
    // interface stale.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y && pMsg->message == m_nMsgLast)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd != nullptr && pMainWnd->m_hWnd != NULL && pMainWnd->IsWindowVisible()) {
            HWND hWndMain = pMainWnd->m_hWnd;
            UpdateWindowTree(pMainWnd);
            // Windows the main window owns (floating bars, modeless tools)
            // show commands too.
            if (::IsWindow(hWndMain)) {
                OwnedSearch search{hWndMain, {}};
                ::EnumWindows(&CollectOwned, reinterpret_cast<LPARAM>(&search));
                for (HWND hOwned : search.found) {
                    CWnd* pOwned = CWnd::FromHandlePermanent(hOwned);
                    if (pOwned == nullptr)
                        continue;
                    if (::IsWindowVisible(hOwned)) {
                        UpdateWindowTree(pOwned);
                    } else if (pOwned->IsFrameWnd()) {
                        // A hidden floating frame still lays itself out:
                        // a bar shown again with a delay is what shows it.
                        AfxCallWndProc(pOwned, hOwned, WM_IDLEUPDATECMDUI, TRUE, 0);
                    }
                }
            }
        }
    }
    // Temporary objects go when no handler can hold one.
    if (lCount >= 0 && lCount <= 1 && platform::FrameworkDispatchDepth() == 0)
        platform::FrameworkDeleteTempMaps();
    return lCount < 1;
}

BOOL AFXAPI AfxPumpMessage()
{
    MSG msg{};
    if (!::GetMessage(&msg, NULL, 0, 0)) {
        ::PostQuitMessage(int(msg.wParam));
        return FALSE;
    }
    if (msg.message == WM_KICKIDLE)
        return TRUE;
    // Without an application the windows' own filters (a dialog's keys)
    // still run.
    CWinThread* pThread = AfxGetThread();
    BOOL bTaken = pThread != nullptr ? pThread->PreTranslateMessage(&msg) : CWnd::WalkPreTranslateTree(NULL, &msg);
    if (!bTaken) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    return TRUE;
}

BOOL AFXAPI AfxPumpMessagesUntilIdle()
{
    MSG msg{};
    while (::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        if (!AfxPumpMessage())
            return FALSE;
    }
    return TRUE;
}
