#include "surface/SurfaceFrame.h"

#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "surface/KindCast.h"
#include "surface/Surface.h"

IMPLEMENT_DYNCREATE(CSurfaceFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CSurfaceFrame, CMDIChildWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_MDIACTIVATE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_TW_IDLE_REFRESH, OnIdleRefresh)
    ON_MESSAGE(WM_TW_DOC_SAVE, OnDocSave)
END_MESSAGE_MAP()

CSurfaceFrame::CSurfaceFrame() = default;

CSurfaceFrame::~CSurfaceFrame() = default;

CSurface* CSurfaceFrame::GetActiveSurface() const
{
    CView* pView = GetActiveView();
    return pView != NULL ? KindCast<CSurface>(RUNTIME_CLASS(CSurface), pView) : NULL;
}

void CSurfaceFrame::ActivateView(CView* pView)
{
    if (pView == NULL)
        return;
    SetActiveView(pView);
    SetFocus();
}

void CSurfaceFrame::UpdateRulers(BOOL bNow)
{
    // FIXME: the ruler bars come with the rulers themselves; the frame
    // keeps the state they would show so that they start right.
    (void)bNow;
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != NULL && pDoc->IsKindOf(RUNTIME_CLASS(CDrawDoc)))
        m_bRulersMetric = (static_cast<CDrawDoc*>(pDoc)->m_wDocFlags & DOC_FLAG_RULERS) != 0;
}

void CSurfaceFrame::ShowRulers(BOOL bShow)
{
    m_bRulersShown = bShow ? TRUE : FALSE;
}

int CSurfaceFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIChildWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_bRulersShown = (thePrefs.AddlFlags & PREF_ADDL_RULERS) != 0;
    // The user keeps the tool pad on: a design window brings it back.
    if ((thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD) != 0) {
        if (CWnd* pMain = AfxGetMainWnd())
            pMain->PostMessage(WM_TW_SHOW_TOOLPAD, 0, 0);
    }
    return 0;
}

void CSurfaceFrame::OnDestroy()
{
    // The document of a closing design is still listed while its frame
    // goes, so fewer than two means this was the last design.
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->GetOpenDocumentCount() < 2) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain != NULL && pMain != this)
            pMain->PostMessage(WM_TW_HIDE_TOOLPAD, 0, 0);
    }
    CMDIChildWnd::OnDestroy();
}

void CSurfaceFrame::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd)
{
    CMDIChildWnd::OnMDIActivate(bActivate, pActivateWnd, pDeactivateWnd);
    if (!bActivate)
        return;
    // The rulers follow the user's last choice in whichever design
    // window becomes active.
    const BOOL bWanted = (thePrefs.AddlFlags & PREF_ADDL_RULERS) != 0;
    if (bWanted != m_bRulersShown)
        ShowRulers(bWanted);
    UpdateRulers(FALSE);
}

void CSurfaceFrame::OnClose()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    CMDIChildWnd::OnClose();
}

LRESULT CSurfaceFrame::OnIdleRefresh(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    CSurface* pSurface = GetActiveSurface();
    if (pSurface == NULL || pSurface->m_hWnd == NULL || !pSurface->IsWindowVisible())
        return 0;
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(WM_SURFACE_SELCHANGED, 0, 0);
    return 0;
}

LRESULT CSurfaceFrame::OnDocSave(WPARAM wParam, LPARAM lParam)
{
    // FIXME: the designer's save-and-reload through the frame comes with
    // writing designs; until then there is nothing to save.
    (void)wParam;
    (void)lParam;
    return 0;
}
