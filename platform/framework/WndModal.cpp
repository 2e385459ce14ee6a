// CWnd's modal loop (dialogs, property sheets and anything else that runs
// its own loop on the one queue) and its data-exchange pass.

#include "platform/framework/Wnd.h"

#include "platform/base/Exception.h"
#include "platform/framework/DataExchange.h"
#include "platform/framework/WinApp.h"

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        // The user was told and the focus is on the field.
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

int CWnd::RunModalLoop(DWORD dwFlags)
{
    // Ended before it began (OnInitDialog closing its dialog): no loop.
    if (m_bModalEndedEarly) {
        m_bModalEndedEarly = FALSE;
        return m_nModalResult;
    }
    HWND hWnd = m_hWnd;
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    BOOL bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(hWnd);
    m_nFlags |= (WF_MODALLOOP | WF_CONTINUEMODAL);
    m_bInModalLoop = TRUE;
    m_nModalResult = -1;
    MSG msg{};
    // Every step below may destroy the window and with it this object: the
    // handle is checked before `this` is used again.
    for (;;) {
        while (bIdle && !::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            if (bShowIdle) {
                ::ShowWindow(hWnd, SW_SHOWNORMAL);
                ::UpdateWindow(hWnd);
                bShowIdle = FALSE;
            }
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent != NULL && lIdleCount == 0)
                ::SendMessage(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, LPARAM(hWnd));
            if ((dwFlags & MLF_NOKICKIDLE) || !::SendMessage(hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++))
                bIdle = FALSE;
            if (!::IsWindow(hWnd))
                return -1;
            if (!ContinueModal())
                goto ExitModal;
        }
        do {
            // WM_QUIT ends the loop and is posted again for the outer one.
            if (!AfxPumpMessage()) {
                if (::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == this) {
                    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                    m_bInModalLoop = FALSE;
                }
                return -1;
            }
            if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
                return -1;
            if (bShowIdle && (msg.message == WM_SYSKEYDOWN || msg.message == WM_KEYDOWN)) {
                ::ShowWindow(hWnd, SW_SHOWNORMAL);
                ::UpdateWindow(hWnd);
                bShowIdle = FALSE;
            }
            if (!ContinueModal())
                goto ExitModal;
            CWinThread* pThread = AfxGetThread();
            MSG current = msg;
            if (pThread != nullptr ? pThread->IsIdleMessage(&current) : TRUE) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE));
    }
ExitModal:
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    m_bInModalLoop = FALSE;
    return m_nModalResult;
}

BOOL CWnd::ContinueModal()
{
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        // Wakes the loop should it be waiting for a message.
        ::PostMessage(m_hWnd, WM_NULL, 0, 0);
    } else if (!(m_nFlags & WF_MODALLOOP)) {
        // The next RunModalLoop ends at once with this result.
        m_bModalEndedEarly = TRUE;
    }
}
