// The main frame's side of the single-instance protocol and of the
// companion requests: a starting copy's instance messages, the wake-up
// message, and the companion start that reads the request file.

#include "app/main/MainFrame.h"

#include "app/Paths.h"
#include "app/main/AppMessages.h"
#include "app/main/CommandLine.h"
#include "app/main/DesignerApp.h"
#include "app/main/DocTemplates.h"
#include "assist/GetStartedWizard.h"
#include "assist/InsertCDDlg.h"
#include "assist/NewDesignDlg.h"
#include "model/DocKinds.h"
#include "platform/base/Exception.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/ShellOpen.h"
#include "platform/services/FileMapping.h"
#include "resources/resource.h"

namespace {

// The request asks for the Design Wizard with an item, a preset text and
// the text of its second page.
void RunCompanionWizard(const CString& strItem, const CString& strPreset, const CString& strPage2)
{
    // The second page edits this text through a pointer while the sheet runs.
    CString strPageText = strPage2;
    CGetStartedWizard* pWizard = new CGetStartedWizard(IDS_DESIGN_WIZARD_CAPTION, NULL);
    g_pCurrentWizardSheet = pWizard;
    try {
        pWizard->SetStartOptions(0, 0);
        pWizard->m_nSelection1 = 0;
        pWizard->m_nSelection2 = 0;
        if (!strPreset.IsEmpty())
            pWizard->m_strPresetText = strPreset;
        pWizard->m_page2.SetText(&strPageText);
        pWizard->m_page3.AddItem(WORD(1), strItem);
        pWizard->DoModal();
    } catch (...) {
        g_pCurrentWizardSheet = NULL;
        delete pWizard;
        throw;
    }
    g_pCurrentWizardSheet = NULL;
    delete pWizard;
}

void StartCompanionCalendar()
{
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(DOC_KIND_CALENDAR);
    if (!pTemplate)
        return;
    CDocument* pDoc = pTemplate->OpenDocumentFile(NULL, TRUE);
    if (CCalendarDoc* pCalendar = dynamic_cast<CCalendarDoc*>(pDoc))
        pCalendar->AddNewCalendar();
}

} // namespace

LRESULT CMainFrame::OnInstanceMessage(WPARAM, LPARAM lParam)
{
    if (lParam != 0) {
        if (g_hHeldInstanceMapping) {
            CloseHandle(g_hHeldInstanceMapping);
            g_hHeldInstanceMapping = NULL;
        }
        return 1;
    }
    // Held until the starting copy's second message. A starting copy that
    // never sent it leaves one behind; it is reused rather than leaked.
    if (!g_hHeldInstanceMapping)
        g_hHeldInstanceMapping = CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READONLY, 0, 32, GetInstanceName());
    const BOOL bZoomed = IsZoomed();
    // Minimising and restoring brings the frame to the front without showing
    // the intermediate state.
    SetRedraw(FALSE);
    ActivateFrame(SW_SHOWMINIMIZED);
    SetRedraw(TRUE);
    ActivateFrame(bZoomed ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    return 1;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A document handed over by the desktop or by a later copy.
    if (message == WM_DDE_EXECUTE)
        return AfxExecuteShellCommand(lParam);
    const LRESULT result = CMDIFrameWnd::WindowProc(message, wParam, lParam);
    if (g_nWakeUpMessage == 0 || message != g_nWakeUpMessage)
        return result;

    g_bCompanion = HasCompanionMarker();
    if (!g_bCompanion)
        return result;
    // Whatever the user was doing here gives way to the companion's request.
    if (g_pCurrentWizardSheet && ::IsWindow(g_pCurrentWizardSheet->GetSafeHwnd()))
        g_pCurrentWizardSheet->EndDialog(IDCANCEL);
    if (g_pUserSignInDlg && ::IsWindow(g_pUserSignInDlg->GetSafeHwnd()))
        g_pUserSignInDlg->EndDialog(IDCANCEL);
    PostMessage(WM_TW_COMPANION_START, 0, 0);
    return result;
}

LRESULT CMainFrame::OnCompanionStart(WPARAM, LPARAM)
{
    const CString strPath = GetProgramPath(kCompanionRequestFile);
    DWORD nMode = 0;
    CString strItem;
    CString strPreset;
    CString strPage2;
    if (FileExists(strPath) && ReadCompanionRequest(nMode, strPath, strItem, strPreset, strPage2)) {
        try {
            CDesignerApp* pApp = GetDesignerApp();
            BOOL bContent = CheckProgramCD(this);
            if (bContent && pApp && !pApp->GetDesignIndex())
                bContent = OpenDesignIndex();
            if (bContent) {
                if (nMode == kCompanionWizard)
                    RunCompanionWizard(strItem, strPreset, strPage2);
                else if (nMode == kCompanionCalendar)
                    StartCompanionCalendar();
            } else {
                CWaitCursor wait;
                CNewDesignDlg dlg(this);
                if (dlg.DoModal() == IDOK && pApp) {
                    CopyDesignRequest(pApp->GetDesignRequest(), dlg.GetRequest());
                    pApp->SetNoPredesigned(TRUE);
                    PostMessage(WM_TW_NEW_BLANK_DESIGN, 0, 0);
                }
            }
        } catch (CException* e) {
            e->Delete();
            ShowOutOfMemoryMessage();
        }
    }
    g_bCompanion = FALSE;
    return 0;
}
