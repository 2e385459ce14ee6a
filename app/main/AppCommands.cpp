// The commands the application object handles itself (new designs, print
// setup, the About box, tips, survey, logos, the Supply Center), and the
// small services other subsystems call on the application: the in-place
// editing test and end, the default users and the menu bitmaps.

#include "app/main/DesignerApp.h"

#include "app/PrefData.h"
#include "app/TextTable.h"
#include "app/main/AboutDlg.h"
#include "app/main/AppMessages.h"
#include "app/main/DocTemplates.h"
#include "app/main/MainFrame.h"
#include "app/main/MainToolBars.h"
#include "app/main/Preferences.h"
#include "assist/ExternalPrograms.h"
#include "assist/HintDlgs.h"
#include "assist/LauncherDlg.h"
#include "assist/LogoDlg.h"
#include "html/SupplyCenterDlg.h"
#include "html/TipOfDayDlg.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "pictures/FileImageDlg.h"
#include "pictures/FindClipartDlg.h"
#include "print/CatalogPrinter.h"
#include "print/PrintSetupDlg.h"
#include "resources/resource.h"
#include "surface/Surface.h"

namespace {

constexpr char kSurveyUrl[] = "https://www.velmora.example/infocentral/surveys/tovell";
constexpr char kHelpMenuText[] = "&Help";

// The picture catalog of Print Selected Pictures: three columns of pictures
// above their names.
constexpr int kCatalogLayoutNamedGrid = 3;

// Hint to every view after the printer changed.
constexpr LPARAM kHintPrinterChanged = 5;

// The menu bitmaps: the support library's resource ids in slot order, and
// the commands that show each. New, Open and the two Help bitmaps also
// serve the main frame's own menu.
constexpr UINT kMenuBitmapIds[CDesignerApp::kMenuBitmapCount] = {
    0x217, 0x218, 0x219, 0x21A, 0x21B, 0x224, 0x21D, 0x21E, 0x220, 0x221, 0x222, 0x22C, 0x233, 0x21C,
    0x223, 0x228, 0x234, 0x229, 0x235, 0x22A, 0x22B, 0x27C, 0x27D, 0x4BB, 0x27E, 0x27F, 0x4A7,
};

struct MenuBitmapUse {
    UINT nCommand;
    UINT nBitmap;
};

constexpr UINT kHelpTopicBitmap = 0x4A7;
constexpr UINT kHelpTopicCommands[] = {0x80D9, 0x80DB, 0x80DD, 0x80DE, 0x81A9, 0x81A6, 0x81A7, 0x81A8};
constexpr MenuBitmapUse kHelpIndexBitmap = {ID_HELP_INDEX, 0x27F};

constexpr MenuBitmapUse kMainFileBitmaps[] = {{ID_FILE_NEW, 0x217}, {ID_FILE_OPEN, 0x218}};

// The design menu's bitmaps follow the slot order.
constexpr MenuBitmapUse kDesignMenuBitmaps[] = {
    {ID_FILE_NEW, 0x217}, {ID_FILE_OPEN, 0x218}, {ID_FILE_SAVE, 0x219}, {ID_FILE_PRINT, 0x21A},
    {ID_FILE_PRINT_PREVIEW, 0x21B}, {ID_EDIT_CUT, 0x224}, {ID_EDIT_COPY, 0x21D}, {ID_EDIT_PASTE, 0x21E},
    {ID_EDIT_UNDO, 0x220}, {ID_EDIT_REDO, 0x221}, {0x8023, 0x222}, {0x80E2, 0x22C}, {0x8044, 0x233},
    {0x8049, 0x21C}, {0x801A, 0x223}, {0x801B, 0x228}, {0x801C, 0x234}, {0x801D, 0x229}, {0x8009, 0x235},
    {0x800A, 0x22A}, {ID_WINDOW_TILE_HORZ, 0x22B}, {ID_WINDOW_TILE_VERT, 0x27C}, {ID_WINDOW_CASCADE, 0x27D},
};

} // namespace

void ShowOutOfMemoryMessage()
{
    AfxMessageBox(IDP_OUT_OF_MEMORY, MB_OK | MB_ICONSTOP);
}

// ---- New designs ------------------------------------------------------------------------------

void CDesignerApp::OnFileNew()
{
    CloseSplash(FALSE);
    // A project-kind command already asked for this design; the launcher
    // command that follows it (from a cancelled page setup) is spent.
    if (g_nNewDesignMode != 0) {
        g_nNewDesignMode = 0;
        return;
    }
    if (g_bCompanion)
        return;
    if (!g_bSignedIn) {
        g_bSignedIn = TRUE;
        if (!thePrefs.SingleUser && m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL)
            m_pMainWnd->SendMessage(WM_COMMAND, ID_HELP_USER_SIGN_IN, 0);
        if ((thePrefs.AddlFlags & PREF_ADDL_SHOW_LAUNCHER) == 0)
            return;
    }
    NewDesign(kNewDesignFromLauncher, kLauncherNoKind);
}

void CDesignerApp::OnNewTShirt() { NewDesign(kNewDesignFromKind, 0); }
void CDesignerApp::OnNewApparel() { NewDesign(kNewDesignFromKind, 1); }
void CDesignerApp::OnNewMousepad() { NewDesign(kNewDesignFromKind, 2); }
void CDesignerApp::OnNewCalendar() { NewDesign(kNewDesignFromKind, 3); }
void CDesignerApp::OnNewLabel() { NewDesign(kNewDesignFromKind, 4); }
void CDesignerApp::OnNewGeneral() { NewDesign(kNewDesignFromKind, 5); }

void CDesignerApp::OnNewDesignMenu()
{
    CMainFrame* pFrame = GetMainFrame();
    if (pFrame == nullptr || pFrame->GetStandardBar() == nullptr || pFrame->GetStandardBar()->m_hWnd == NULL)
        return;
    CZoomToolBar* pBar = pFrame->GetStandardBar();
    int nIndex = pBar->CommandToIndex(ID_FILE_NEW_DESIGN_MENU);
    if (nIndex < 0)
        return;
    CRect rect;
    pBar->GetItemRect(nIndex, &rect);
    pBar->ClientToScreen(&rect);
    CMenu menu;
    if (!menu.LoadMenu(IDR_NEW_DESIGN_POPUP))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (pPopup != nullptr)
        pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rect.left, rect.bottom, pFrame);
}

void CDesignerApp::NewDesign(int nMode, int nKind)
{
    if (!CanOpenAnotherDocument(TRUE))
        return;
    g_nNewDesignMode = nMode;
    try {
        CLauncherDlg dlg(m_pMainWnd);
        // The launcher comes back (after a cancelled Page Setup, or the next
        // time) on the kind and the way to start that were chosen last.
        if (m_designRequest.nKind >= 0 && m_designRequest.nKind < kLauncherKindCount) {
            dlg.m_nKind = m_designRequest.nKind;
            if (m_designRequest.nOption >= LAUNCH_PREDESIGNED && m_designRequest.nOption <= LAUNCH_WIZARD)
                dlg.m_nOption = m_designRequest.nOption;
        }
        if (nMode == kNewDesignFromLauncher && dlg.DoModal() != IDOK)
            return;

        if (DesignRequest* pRequest = dlg.GetTemplate(nKind))
            CopyDesignRequest(m_designRequest, *pRequest);

        int nChoice = LAUNCH_BLANK;
        if (nMode == kNewDesignFromLauncher) {
            nChoice = dlg.m_nOption;
        } else {
            switch (AfxMessageBox(IDP_VIEW_PREDESIGNED, MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                nChoice = LAUNCH_PREDESIGNED;
                break;
            case IDNO:
                nChoice = LAUNCH_BLANK;
                break;
            default:
                g_nNewDesignMode = 0;
                return;
            }
        }

        WORD wOld = thePrefs.AddlFlags;
        if (nChoice == LAUNCH_PREDESIGNED)
            thePrefs.AddlFlags |= PREF_ADDL_PREDESIGNED;
        else
            thePrefs.AddlFlags &= WORD(~PREF_ADDL_PREDESIGNED);
        if (thePrefs.AddlFlags != wOld)
            thePrefs.SavePreferences();
        m_bNoPredesigned = nChoice == LAUNCH_BLANK;

        if (m_pMainWnd == nullptr || m_pMainWnd->m_hWnd == NULL)
            return;
        if (nChoice == LAUNCH_BLANK)
            m_pMainWnd->PostMessage(WM_TW_NEW_BLANK_DESIGN, 0, 0);
        else if (nChoice == LAUNCH_PREDESIGNED || nChoice == LAUNCH_WIZARD)
            m_pMainWnd->PostMessage(WM_TW_PREDESIGNED_DESIGN, nChoice == LAUNCH_WIZARD, 0);
    } catch (CException* e) {
        e->Delete();
        ShowOutOfMemoryMessage();
    }
}

// ---- Preferences ------------------------------------------------------------------------------

void CDesignerApp::OnPreferences() { RunPreferences(0); }
void CDesignerApp::OnProgramDefaults() { RunPreferences(1); }
void CDesignerApp::OnFavouriteTools() { RunPreferences(2); }
void CDesignerApp::OnPrintingProblems() { RunPreferences(3); }

void CDesignerApp::OnUpdatePreferences(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CDesignerApp::RunPreferences(int nPage)
{
    try {
        // What the sheet changes is told by comparing with the settings
        // from before it.
        const CPrefData before(thePrefs);
        CPreferences sheet(IDS_PREFERENCES_CAPTION, m_pMainWnd, UINT(nPage));
        if (sheet.DoModal() == IDOK)
            ApplyPreferenceChanges(before);
    } catch (CException* e) {
        e->Delete();
        ShowOutOfMemoryMessage();
    }
}

BOOL CDesignerApp::ApplyPreferenceChanges(const CPrefData& before)
{
    constexpr WORD kButtonLook = PREF_FLAG_SMALL_BUTTONS | PREF_FLAG_COLOR_BUTTONS;
    if (((before.Flags ^ thePrefs.Flags) & kButtonLook) == 0)
        return FALSE;
    if (CMainFrame* pFrame = GetMainFrame())
        pFrame->CreateToolbars();
    return TRUE;
}

// ---- Printing ---------------------------------------------------------------------------------

namespace {

// Tells the object the user works on in the active view that a modal
// dialog opens (bBefore TRUE) or has closed: the item active in place when
// there is one, else the view's document.
void NotifyModalDialog(CWnd* pMainWnd, BOOL bBefore)
{
    auto* pMainFrame = dynamic_cast<CFrameWnd*>(pMainWnd);
    CFrameWnd* pFrame = pMainFrame != nullptr ? pMainFrame->GetActiveFrame() : nullptr;
    CView* pView = pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
    auto* pDoc = pView != nullptr ? dynamic_cast<COleDocument*>(pView->GetDocument()) : nullptr;
    if (pDoc == nullptr)
        return;
    if (COleClientItem* pItem = pDoc->GetInPlaceActiveItem(pView)) {
        if (bBefore)
            pItem->OnBeforeModalDialog();
        else
            pItem->OnAfterModalDialog();
        return;
    }
    if (bBefore)
        pDoc->OnBeforeModalDialog();
    else
        pDoc->OnAfterModalDialog();
}

} // namespace

void CDesignerApp::OnFilePrintSetup()
{
    NotifyModalDialog(m_pMainWnd, TRUE);
    CPrintSetupDlg dlg(m_pMainWnd);
    if (dlg.DoModal() == IDOK)
        UpdateAllDesignViews(kHintPrinterChanged);
    if (m_bPrintAfterSetup) {
        m_bPrintAfterSetup = FALSE;
        if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL)
            m_pMainWnd->PostMessage(WM_COMMAND, ID_FILE_PRINT, 0);
    }
    NotifyModalDialog(m_pMainWnd, FALSE);
}

void CDesignerApp::OnPrintSelectedPictures()
{
    CString strPath = thePrefs.GetPictureFolder();
    CStringArray paths;
    if (ChoosePictureFromFileDialog(m_pMainWnd, strPath, CFileImageDlgNested::modePrintPictures, nullptr, nullptr,
            &paths)
        != 1)
        return;
    CCatalogPrinter printer(m_pMainWnd, paths, kCatalogLayoutNamedGrid);
    printer.Print();
}

void CDesignerApp::OnUpdatePrintSelectedPictures(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void PrintInActiveSurface(CDrawDoc* pDoc, BOOL bFlag)
{
    if (pDoc == nullptr || pDoc->m_storageNumbers.GetSize() > 1)
        return;
    // The view binds itself to the document for the job, so any design view
    // can print any design.
    if (CSurface* pView = GetActiveSurface())
        pView->PrintDocument(pDoc, bFlag);
}

// ---- Other commands ---------------------------------------------------------------------------

void CDesignerApp::OnPictureHints()
{
    EndTextEdit(FALSE);
    CPreviewHintDlg dlg(m_pMainWnd);
    dlg.DoModal();
}

void CDesignerApp::OnAppAbout()
{
    try {
        CAboutDlg dlg(m_pMainWnd);
        dlg.DoModal();
    } catch (CException* e) {
        e->Delete();
        ShowOutOfMemoryMessage();
    }
}

void CDesignerApp::OnFindClipart()
{
    // The dialog inserts the chosen picture into the active design itself.
    CFindClipartDlg dlg(nullptr);
    dlg.DoModal();
}

void CDesignerApp::OnUpdateFindClipart(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CDesignerApp::OnTipOfTheDay()
{
    CTipOfDayDlg dlg(m_pMainWnd);
    dlg.DoModal();
}

void CDesignerApp::OnOnlineSurvey()
{
    if (!OpenURL(kSurveyUrl))
        AfxMessageBox(IDP_SURVEY_OPEN_FAILED, MB_OK | MB_ICONEXCLAMATION);
}

void CDesignerApp::OnUpdateOnlineSurvey(CCmdUI*)
{
    // The entry is offered only once the invitation has been answered for
    // good; until then (or while "Later" stands) it leaves the menu.
    UINT nRuns = GetProfileInt("Program", "NumTimesRun", 0);
    if (nRuns >= 11 && GetProfileString("Program", "RunSurveyLater", "No") != "Yes")
        return;
    RemoveSurveyMenuEntry();
}

// Takes the survey entry (and the separator before it) out of the main
// window's Help menu.
void CDesignerApp::RemoveSurveyMenuEntry()
{
    if (m_pMainWnd == nullptr || m_pMainWnd->m_hWnd == NULL)
        return;
    HMENU hBar = ::GetMenu(m_pMainWnd->m_hWnd);
    if (hBar == NULL)
        return;
    int nMenus = ::GetMenuItemCount(hBar);
    for (int i = 0; i < nMenus; ++i) {
        char szText[64] = {};
        ::GetMenuString(hBar, UINT(i), szText, int(sizeof szText), MF_BYPOSITION);
        if (CString(szText) != kHelpMenuText)
            continue;
        HMENU hHelp = ::GetSubMenu(hBar, i);
        if (hHelp == NULL)
            return;
        int nItems = ::GetMenuItemCount(hHelp);
        for (int n = 0; n < nItems; ++n) {
            if (::GetMenuItemID(hHelp, n) != ID_HELP_ONLINE_SURVEY)
                continue;
            ::DeleteMenu(hHelp, UINT(n), MF_BYPOSITION);
            if (n > 0 && (::GetMenuState(hHelp, UINT(n - 1), MF_BYPOSITION) & MF_SEPARATOR) != 0)
                ::DeleteMenu(hHelp, UINT(n - 1), MF_BYPOSITION);
            return;
        }
        return;
    }
}

void CDesignerApp::OnUpdateAlwaysEnabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(0);
}

void CDesignerApp::OnLogo()
{
    try {
        CLogoDlg dlg(m_pMainWnd);
        dlg.DoModal();
    } catch (CException* e) {
        e->Delete();
        ShowOutOfMemoryMessage();
    }
}

void CDesignerApp::OnUpdateLogo(CCmdUI* pCmdUI)
{
    CSurface* pView = GetActiveSurface();
    CDrawDoc* pDoc = pView != nullptr ? pView->GetDocument() : nullptr;
    pCmdUI->Enable(pDoc == nullptr || !pDoc->IsLogo());
}

void CDesignerApp::OnSupplyCenter()
{
    CSupplyCenterDlg dlg(m_pMainWnd);
    dlg.DoModal();
}

// ---- In-place editing -------------------------------------------------------------------------

int IsSelectionBeingEdited()
{
    CDrawObj* pObj = GetSingleSelection(nullptr);
    if (pObj == nullptr)
        return 0;
    return (pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0 ? 1 : 0;
}

void CDesignerApp::EndTextEdit(BOOL bDeselect)
{
    // While one of the frame's own popups (a dialog) is up over open
    // designs, the editing belongs to it.
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL) {
        HWND hPopup = ::GetLastActivePopup(m_pMainWnd->m_hWnd);
        if (hPopup != NULL && hPopup != m_pMainWnd->m_hWnd && CountOpenDocuments() > 0)
            return;
    }
    CSurface* pView = nullptr;
    CDrawObj* pObj = GetSingleSelection(&pView);
    if (pObj == nullptr)
        return;
    if (pObj->IsTextEditActive()) {
        pObj->EndTextEdit();
    } else if ((pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0) {
        pObj->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);
        pObj->Invalidate();
    }
    if (bDeselect)
        pView->Deselect(pObj);
}

// ---- Default users ----------------------------------------------------------------------------

void CDesignerApp::EnsureDefaultUsers()
{
    CUserTable users;
    BOOL bHasPredesigned = FALSE;
    for (int i = 0; i < users.GetRecordCount() && !bHasPredesigned; ++i) {
        UserRecord record;
        if (users.ReadRecord(i, record) && record.strUserName == "Predesigned")
            bHasPredesigned = TRUE;
    }
    if (!bHasPredesigned) {
        UserRecord predesigned;
        predesigned.nInUse = 0;
        predesigned.strUserName = "Predesigned";
        users.AddRecord(predesigned);
    }
    if (users.GetRecordCount() < 2) {
        UserRecord user;
        user.nInUse = 1;
        user.strUserName = AfxFrameworkString(AFX_IDS_APP_TITLE) + " User";
        if (users.AddRecord(user))
            thePrefs.SetLastUser(user.strUserName);
    }
    users.Close();
}

// ---- Menu bitmaps -----------------------------------------------------------------------------

BOOL CDesignerApp::LoadMenuBitmap(int nSlot, UINT nResourceID)
{
    if (nSlot < 0 || nSlot >= kMenuBitmapCount || m_hSupportLib == NULL)
        return FALSE;
    try {
        delete m_menuBitmaps[nSlot];
        m_menuBitmaps[nSlot] = nullptr;
        HBITMAP hBitmap = ::LoadBitmap(m_hSupportLib, MAKEINTRESOURCE(nResourceID));
        if (hBitmap == NULL)
            return FALSE;
        auto* pBitmap = new CBitmap;
        pBitmap->Attach(hBitmap);
        m_menuBitmaps[nSlot] = pBitmap;
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        ShowOutOfMemoryMessage();
        return FALSE;
    }
}

CBitmap* CDesignerApp::FindMenuBitmap(UINT nResourceID) const
{
    for (int i = 0; i < kMenuBitmapCount; ++i) {
        if (kMenuBitmapIds[i] == nResourceID)
            return m_menuBitmaps[i];
    }
    return nullptr;
}

void CDesignerApp::SetMenuBitmap(HMENU hMenu, UINT nCommand, UINT nResourceID)
{
    CBitmap* pBitmap = FindMenuBitmap(nResourceID);
    if (hMenu == NULL || pBitmap == nullptr || pBitmap->GetSafeHandle() == NULL)
        return;
    ::SetMenuItemBitmaps(hMenu, nCommand, MF_BYCOMMAND, HBITMAP(pBitmap->GetSafeHandle()), NULL);
}

void CDesignerApp::SetHelpMenuBitmaps(HMENU hMenu)
{
    SetMenuBitmap(hMenu, kHelpIndexBitmap.nCommand, kHelpIndexBitmap.nBitmap);
    for (UINT nCommand : kHelpTopicCommands)
        SetMenuBitmap(hMenu, nCommand, kHelpTopicBitmap);
}

void CDesignerApp::SetMenuBitmaps()
{
    for (int i = 0; i < kMenuBitmapCount; ++i) {
        if (!LoadMenuBitmap(i, kMenuBitmapIds[i]))
            return;
    }

    // The main window's own menu, shown while no design is open.
    HMENU hMain = m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != NULL ? ::GetMenu(m_pMainWnd->m_hWnd) : NULL;
    if (hMain != NULL) {
        if (HMENU hFile = ::GetSubMenu(hMain, 0)) {
            for (const MenuBitmapUse& use : kMainFileBitmaps)
                SetMenuBitmap(hFile, use.nCommand, use.nBitmap);
        }
        if (HMENU hHelp = ::GetSubMenu(hMain, 4))
            SetHelpMenuBitmaps(hHelp);
    }

    // The design windows' shared menu; commands are found in any submenu.
    if (m_hDesignMenu != NULL) {
        for (const MenuBitmapUse& use : kDesignMenuBitmaps)
            SetMenuBitmap(m_hDesignMenu, use.nCommand, use.nBitmap);
        SetHelpMenuBitmaps(m_hDesignMenu);
    }
}

void CDesignerApp::FreeMenuBitmaps()
{
    for (CBitmap*& pBitmap : m_menuBitmaps) {
        if (pBitmap == nullptr)
            continue;
        if (pBitmap->GetSafeHandle() != NULL)
            pBitmap->DeleteObject();
        delete pBitmap;
        pBitmap = nullptr;
    }
}
