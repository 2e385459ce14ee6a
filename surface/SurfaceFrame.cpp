#include "surface/SurfaceFrame.h"

#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "platform/base/File.h"
#include "platform/files/FileApi.h"
#include "platform/files/SafeReplace.h"
#include "resources/mainframe.h"
#include "resources/rulers.h"
#include "resources/surface.h"
#include "surface/KindCast.h"
#include "surface/RulerBar.h"
#include "surface/RulerSetupSheet.h"
#include "surface/Surface.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A saved design larger than this is not read back for the reload.
constexpr DWORD kMaxReloadBytes = 256u * 1024u * 1024u;

CString g_strReloadFolder; // tests only; empty: the system's folder

CWnd* LiveMainWnd()
{
    CWnd* pMain = AfxGetMainWnd();
    return pMain != NULL && pMain->GetSafeHwnd() != NULL ? pMain : NULL;
}

int OpenDocuments()
{
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL ? pApp->GetOpenDocumentCount() : 0;
}

// The whole of a file into *pBytes; FALSE when it cannot be read or is too
// large to be a design.
BOOL ReadWholeFile(LPCTSTR lpszPath, std::string* pBytes)
{
    CFile file;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyNone))
        return FALSE;
    const DWORD dwLength = file.GetLength();
    if (dwLength > kMaxReloadBytes) {
        file.Close();
        return FALSE;
    }
    pBytes->assign(dwLength, '\0');
    UINT nRead = 0;
    while (nRead < dwLength) {
        const UINT n = file.Read(pBytes->data() + nRead, dwLength - nRead);
        if (n == 0)
            break;
        nRead += n;
    }
    file.Close();
    return nRead == dwLength;
}

} // namespace

IMPLEMENT_DYNCREATE(CSurfaceFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CSurfaceFrame, CMDIChildWnd)
    ON_WM_MDIACTIVATE()
    ON_WM_CLOSE()
    ON_WM_ENABLE()
    ON_WM_SETFOCUS()
    ON_WM_SYSCOMMAND()
    ON_MESSAGE(WM_TW_IDLE_REFRESH, OnIdleRefresh)
    ON_MESSAGE(WM_TW_DOC_SAVE, OnDocSave)
    ON_COMMAND(ID_VIEW_RULERS, OnViewRulers)
    ON_UPDATE_COMMAND_UI(ID_VIEW_RULERS, OnUpdateViewRulers)
    ON_COMMAND(ID_VIEW_RULER_SETUP, OnViewRulerSetup)
    ON_COMMAND(ID_VIEW_GUIDELINE_SETUP, OnViewGuidelineSetup)
    ON_COMMAND(ID_RULER_PROPERTIES, OnRulerProperties)
END_MESSAGE_MAP()

CSurfaceFrame::CSurfaceFrame()
    : m_pRulerHorz(new CRulerBar)
    , m_pRulerVert(new CRulerBar)
{
    // The user keeps the tool pad on: the first design brings it back (the
    // new design is already counted while its frame is made).
    if ((thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD) != 0 && OpenDocuments() == 1) {
        if (CWnd* pMain = LiveMainWnd())
            pMain->SendMessage(WM_TW_SHOW_TOOLPAD, 0, 0);
    }
}

CSurfaceFrame::~CSurfaceFrame()
{
    // The document of a closing design is still listed while its frame
    // goes, so fewer than two means this was the last design.
    if (CWnd* pMain = LiveMainWnd()) {
        if (OpenDocuments() < 2)
            pMain->SendMessage(WM_TW_HIDE_TOOLPAD, 0, 0);
        // The main caption is composed again without this design.
        pMain->SendMessage(WM_SETTEXT, 0, 0);
    }
    delete m_pRulerHorz;
    delete m_pRulerVert;
    if (m_hSecondAccel != NULL)
        ::DestroyAcceleratorTable(m_hSecondAccel);
}

void CSurfaceFrame::SetReloadFolderForTests(LPCSTR lpszFolder)
{
    g_strReloadFolder = lpszFolder != NULL ? lpszFolder : "";
}

BOOL CSurfaceFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!CMDIChildWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    // The loaded table is shared by everyone who loads it; the frame keeps
    // a copy of its own so that freeing it touches nobody else.
    const HACCEL hOwn = m_hAccelTable;
    const HACCEL hLoaded = ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_SURFACE_KEYS));
    if (hLoaded != NULL) {
        const int nEntries = ::CopyAcceleratorTable(hLoaded, NULL, 0);
        if (nEntries > 0) {
            std::vector<ACCEL> entries(static_cast<size_t>(nEntries));
            const int nCopied = ::CopyAcceleratorTable(hLoaded, entries.data(), nEntries);
            m_hSecondAccel = ::CreateAcceleratorTable(entries.data(), nCopied);
        }
    }
    m_hAccelTable = hOwn;
    return TRUE;
}

BOOL CSurfaceFrame::RulersMade() const
{
    return m_pRulerHorz != NULL && m_pRulerHorz->GetSafeHwnd() != NULL && m_pRulerVert != NULL &&
        m_pRulerVert->GetSafeHwnd() != NULL;
}

CRulerBar* CSurfaceFrame::GetRuler(BOOL bVertical) const
{
    if (!RulersMade())
        return NULL;
    return bVertical ? m_pRulerVert : m_pRulerHorz;
}

void CSurfaceFrame::RecalcLayout(BOOL bNotify)
{
    if (m_bFirstLayout && GetSafeHwnd() != NULL) {
        // The rulers measure the design view; a layout before the view
        // exists leaves them for the next one.
        CSurface* pView = GetActiveSurface();
        if (pView == NULL) {
            CWnd* pPane = GetDlgItem(AFX_IDW_PANE_FIRST);
            pView = pPane != NULL ? KindCast<CSurface>(RUNTIME_CLASS(CSurface), pPane) : NULL;
        }
        if (pView != NULL) {
            m_bFirstLayout = FALSE;
            const BOOL bMade = m_pRulerHorz->Create(pView, ID_RULER_HORZ, FALSE) &&
                m_pRulerVert->Create(pView, ID_RULER_VERT, TRUE);
            if (bMade) {
                const BOOL bMetric = (thePrefs.Flags & PREF_FLAG_INCHES) == 0;
                m_pRulerHorz->SetMetric(bMetric);
                m_pRulerVert->SetMetric(bMetric);
                m_pRulerHorz->Invalidate();
                m_pRulerVert->Invalidate();
            }
            m_bRulersShown = (thePrefs.AddlFlags & PREF_ADDL_RULERS) != 0;
            CDocument* pDoc = GetActiveDocument();
            if (pDoc == NULL)
                pDoc = pView->GetDocument();
            if (pDoc != NULL && pDoc->IsKindOf(RUNTIME_CLASS(CDrawDoc))) {
                auto* pDrawDoc = static_cast<CDrawDoc*>(pDoc);
                CView* pCurrent = pDrawDoc->GetCurrentView();
                if (pCurrent != NULL && pCurrent->GetParentFrame() == this && pCurrent != GetActiveView())
                    SetActiveView(pCurrent);
            }
            ShowRulerBars(m_bRulersShown);
        }
    }
    CMDIChildWnd::RecalcLayout(bNotify);
}

void CSurfaceFrame::ShowRulerBars(BOOL bShow)
{
    if (!RulersMade())
        return;
    m_pRulerHorz->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
    m_pRulerVert->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
}

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
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != NULL && pDoc->IsKindOf(RUNTIME_CLASS(CDrawDoc)))
        m_bRulersMetric = (static_cast<CDrawDoc*>(pDoc)->m_wDocFlags & DOC_FLAG_RULERS) != 0;
    if (!RulersMade())
        return;
    m_pRulerHorz->SetMetric(m_bRulersMetric);
    m_pRulerVert->SetMetric(m_bRulersMetric);
    m_pRulerHorz->Invalidate();
    m_pRulerVert->Invalidate();
    if (m_bRulersShown) {
        const UINT nFlags = RDW_INVALIDATE | RDW_ERASE | (bNow ? RDW_UPDATENOW : 0);
        m_pRulerHorz->RedrawWindow(NULL, NULL, nFlags);
        m_pRulerVert->RedrawWindow(NULL, NULL, nFlags);
    }
    ShowRulerBars(m_bRulersShown);
}

void CSurfaceFrame::ScrollRulers(int dx, int dy)
{
    if (!m_bRulersShown || !RulersMade())
        return;
    const UINT nFlags = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
    if (dx != 0)
        m_pRulerHorz->RedrawWindow(NULL, NULL, nFlags);
    if (dy != 0)
        m_pRulerVert->RedrawWindow(NULL, NULL, nFlags);
}

void CSurfaceFrame::ShowRulers(BOOL bShow)
{
    bShow = bShow ? TRUE : FALSE;
    if (bShow == m_bRulersShown)
        return;
    ShowRulerBars(bShow);
    m_bRulersShown = bShow;
    if (GetSafeHwnd() == NULL)
        return;
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    RecalcLayout();
}

// ---------------------------------------------------------------------------
// Commands

void CSurfaceFrame::OnViewRulers()
{
    ShowRulers(!m_bRulersShown);
    if (m_bRulersShown)
        thePrefs.AddlFlags |= PREF_ADDL_RULERS;
    else
        thePrefs.AddlFlags &= ~WORD(PREF_ADDL_RULERS);
    thePrefs.SavePreferences();
}

void CSurfaceFrame::OnUpdateViewRulers(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bRulersShown ? 1 : 0);
}

void CSurfaceFrame::RunRulerSetupAt(int nPage)
{
    CSurface* pView = GetActiveSurface();
    if (pView == NULL)
        return;
    RunRulerSetup(this, pView, nPage);
    UpdateRulers(TRUE);
}

void CSurfaceFrame::OnViewRulerSetup()
{
    RunRulerSetupAt(CRulerSetupSheet::PageGrid);
}

void CSurfaceFrame::OnViewGuidelineSetup()
{
    RunRulerSetupAt(CRulerSetupSheet::PageGuidelines);
}

void CSurfaceFrame::OnRulerProperties()
{
    RunRulerSetupAt(CRulerSetupSheet::PageUnits);
}

// ---------------------------------------------------------------------------
// Messages

void CSurfaceFrame::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd)
{
    CMDIChildWnd::OnMDIActivate(bActivate, pActivateWnd, pDeactivateWnd);
    const BOOL bOtherDesign = !bActivate && pActivateWnd != NULL && pActivateWnd->IsKindOf(RUNTIME_CLASS(CSurfaceFrame));
    if ((!bActivate && !bOtherDesign) || GetActiveDocument() == NULL)
        return;
    // The rulers follow the user's last choice in whichever design
    // window becomes active.
    const BOOL bWanted = (thePrefs.AddlFlags & PREF_ADDL_RULERS) != 0;
    if (bWanted != m_bRulersShown)
        ShowRulers(bWanted);
    if (bActivate) {
        UpdateRulers(FALSE);
        SetFocus();
    }
}

void CSurfaceFrame::OnEnable(BOOL bEnable)
{
    CMDIChildWnd::OnEnable(bEnable);
    if (bEnable)
        SetFocus();
}

void CSurfaceFrame::OnSetFocus(CWnd* pOldWnd)
{
    if (CWnd* pMain = LiveMainWnd())
        pMain->SendMessage(WM_WININICHANGE, 0, 0);
    CMDIChildWnd::OnSetFocus(pOldWnd);
}

void CSurfaceFrame::OnClose()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    CMDIChildWnd::OnClose();
}

void CSurfaceFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    CMDIChildWnd::OnSysCommand(nID, lParam);
    const UINT nCommand = nID & 0xFFF0;
    if (nCommand == SC_MOVE || nCommand == SC_MAXIMIZE || nCommand == SC_RESTORE) {
        if (CSurface* pView = GetActiveSurface())
            pView->UpdateScrollSizes();
    }
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
    (void)wParam;
    (void)lParam;
    return SaveAndReload() ? 1 : 0;
}

BOOL CSurfaceFrame::SaveAndReload()
{
    CDocument* pDoc = GetActiveDocument();
    if (pDoc == NULL)
        return FALSE;
    const CString strPath = pDoc->GetPathName();
    if (strPath.IsEmpty())
        return FALSE;

    char szFolder[MAX_PATH] = {};
    if (!g_strReloadFolder.IsEmpty()) {
        const int nLength = std::min(g_strReloadFolder.GetLength(), MAX_PATH - 1);
        memcpy(szFolder, static_cast<LPCSTR>(g_strReloadFolder), static_cast<size_t>(nLength));
        szFolder[nLength] = '\0';
    } else if (::GetTempPath(MAX_PATH, szFolder) == 0)
        szFolder[0] = '\0';
    char szTemp[MAX_PATH] = {};
    // Nothing closes until the design is safely in the temporary file: a
    // failure here leaves the open design, changes and all.
    if (szFolder[0] == '\0' || ::GetTempFileName(szFolder, "twd", 0, szTemp) == 0) {
        AfxMessageBox("Unable to save document", MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (!pDoc->OnSaveDocument(szTemp)) {
        ::DeleteFile(szTemp);
        AfxMessageBox("Unable to save document", MB_ICONEXCLAMATION);
        return FALSE;
    }
    std::string bytes;
    if (!ReadWholeFile(szTemp, &bytes)) {
        ::DeleteFile(szTemp);
        AfxMessageBox("Unable to save document", MB_ICONEXCLAMATION);
        return FALSE;
    }

    // Closing the design destroys this frame: only locals from here on.
    CWinApp* pApp = AfxGetApp();
    const CString strTemp = szTemp;
    pDoc->OnCloseDocument();

    // The new bytes replace the file whole or not at all; when they cannot,
    // the saved design stays in the temporary file and the user is told
    // where.
    if (!platform::ReplaceWindowsFileContents(strPath, std::string_view(bytes), platform::KeepBackup::No)) {
        CString strText;
        strText.Format("Unable to save document. Your changes are kept in \"%s\".", static_cast<LPCSTR>(strTemp));
        AfxMessageBox(strText, MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (!::DeleteFile(strTemp))
        AfxMessageBox("Unable to delete temporary document", MB_ICONEXCLAMATION);
    return pApp != NULL && pApp->OpenDocumentFile(strPath) != NULL;
}
