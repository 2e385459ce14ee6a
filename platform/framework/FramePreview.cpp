// How a frame gives itself over to print preview and takes itself back: its
// control bars (the status bar aside, which shows the page numbers), menu,
// accelerators and main pane are put away in the preview state and restored
// from it. Closing the frame meanwhile ends the preview instead.

#include "platform/framework/ControlBar.h"
#include "platform/framework/Frame.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/Preview.h"
#include "platform/ui/User.h"

namespace {

void PreviewCloseProc(CFrameWnd* pFrame)
{
    CWnd* pPane = CWnd::FromHandlePermanent(::GetDlgItem(pFrame->GetSafeHwnd(), AFX_IDW_PANE_FIRST));
    if (pPane && pPane->IsKindOf(RUNTIME_CLASS(CPreviewView)))
        static_cast<CPreviewView*>(pPane)->ClosePreview();
}

} // namespace

void CFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState)
{
    if (!pState)
        return;
    if (bPreview) {
        pState->lpfnCloseProc = m_lpfnCloseProc;
        m_lpfnCloseProc = PreviewCloseProc;

        pState->hiddenBars.clear();
        // Hiding a bar may change the list.
        std::vector<CControlBar*> bars = m_listControlBars;
        for (CControlBar* pBar : bars) {
            if (!pBar || !::IsWindow(pBar->GetSafeHwnd()) || pBar->GetDlgCtrlID() == AFX_IDW_STATUS_BAR)
                continue;
            if (pBar->IsVisible()) {
                pState->hiddenBars.push_back(pBar->GetSafeHwnd());
                ShowControlBar(pBar, FALSE, TRUE);
            }
        }

        pState->hMenu = ::GetMenu(m_hWnd);
        if (pState->hMenu)
            ::SetMenu(m_hWnd, NULL);
        pState->hAccelTable = m_hAccelTable;
        m_hAccelTable = NULL;

        // The preview view takes the main pane's id; the pane waits hidden.
        HWND hPane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
        pState->nIDMainPane = AFX_IDW_PANE_FIRST;
        pState->hWndMainPane = hPane;
        if (hPane) {
            ::ShowWindow(hPane, SW_HIDE);
            ::SetWindowLong(hPane, GWL_ID, AFX_IDW_PANE_SAVE);
        }
        return;
    }

    m_lpfnCloseProc = pState->lpfnCloseProc;
    pState->lpfnCloseProc = nullptr;
    if (HWND hPreview = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST); hPreview && hPreview != pState->hWndMainPane) {
        // The preview view, about to go: it gives the id back.
        ::SetWindowLong(hPreview, GWL_ID, 0);
    }
    HWND hPane = pState->hWndMainPane;
    if (hPane && ::IsWindow(hPane)) {
        ::SetWindowLong(hPane, GWL_ID, LONG(pState->nIDMainPane));
        ::ShowWindow(hPane, SW_SHOW);
    }
    pState->hWndMainPane = NULL;
    if (pState->hMenu) {
        ::SetMenu(m_hWnd, pState->hMenu);
        pState->hMenu = NULL;
    }
    m_hAccelTable = pState->hAccelTable;
    pState->hAccelTable = NULL;
    for (HWND hBar : pState->hiddenBars) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hBar);
        if (pWnd && ::IsWindow(hBar) && pWnd->IsKindOf(RUNTIME_CLASS(CControlBar)))
            ShowControlBar(static_cast<CControlBar*>(pWnd), TRUE, TRUE);
    }
    pState->hiddenBars.clear();
}
