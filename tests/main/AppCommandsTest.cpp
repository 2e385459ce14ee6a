// The application's own commands: new designs through the launcher or a
// project kind, the survey entry of the Help menu, the preferences' toolbar
// test, the default users and the menu bitmaps.

#include "AppTestSupport.h"

#include "app/TextTable.h"
#include "app/main/AppMessages.h"
#include "app/main/DocTemplates.h"
#include "assist/LauncherDlg.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "platform/ui/internal/MenuData.h"
#include "resources/resource.h"
#include "surface/Surface.h"

namespace {

using apptest::AppTest;
using apptest::TakePosted;
using apptest::WriteProfileDword;
using apptest::WriteProfileText;

// A plain main window that records the commands sent to it.
class CRecordingMain : public CFrameWnd {
public:
    std::vector<UINT> sentCommands;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        sentCommands.push_back(LOWORD(wParam));
        return CFrameWnd::OnCommand(wParam, lParam);
    }
};

class AppCommandsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeApp();
        m_pMain = new CRecordingMain;
        ASSERT_TRUE(m_pMain->Create(nullptr, "main"));
        m_app->m_pMainWnd = m_pMain;
        UseProgramProfile();
        thePrefs.LoadPreferences();
    }

    // Ends the launcher with `nResult` each time it is up; counts its
    // showings.
    void AnswerLauncherWith(int nResult)
    {
        platform::headless::SetIdleHandler([this, nResult]() {
            HWND hActive = ::GetActiveWindow();
            char szTitle[64] = {};
            ::GetWindowText(hActive, szTitle, sizeof szTitle);
            if (hActive == NULL || std::string(szTitle) != "Start a New Design")
                return false;
            ++m_nLaunchers;
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(nResult, BN_CLICKED), 0);
            return true;
        });
    }

    HWND Main() const { return m_pMain->m_hWnd; }

    CRecordingMain* m_pMain = nullptr;
    int m_nLaunchers = 0;
};

TEST_F(AppCommandsTest, FirstFileNewSignsInAndOpensLauncherOnlyWhenAsked)
{
    thePrefs.SingleUser = 0;
    thePrefs.AddlFlags &= WORD(~PREF_ADDL_SHOW_LAUNCHER);
    AnswerLauncherWith(IDCANCEL);

    m_app->OnFileNew();
    EXPECT_EQ(m_pMain->sentCommands, std::vector<UINT>{ID_HELP_USER_SIGN_IN});
    EXPECT_TRUE(g_bSignedIn);
    EXPECT_EQ(m_nLaunchers, 0);

    // Signed in: the second File New goes straight to the launcher.
    m_app->OnFileNew();
    EXPECT_EQ(m_pMain->sentCommands.size(), 1u);
    EXPECT_EQ(m_nLaunchers, 1);
    EXPECT_TRUE(TakePosted(Main(), WM_TW_NEW_BLANK_DESIGN).empty());
}

TEST_F(AppCommandsTest, SingleUserWithLauncherAfterSignInGoesStraightOn)
{
    thePrefs.SingleUser = 1;
    thePrefs.AddlFlags |= PREF_ADDL_SHOW_LAUNCHER;
    AnswerLauncherWith(IDOK);

    m_app->OnFileNew();
    EXPECT_TRUE(m_pMain->sentCommands.empty());
    EXPECT_EQ(m_nLaunchers, 1);
    // The launcher's own choice (a blank page of the first kind) is asked
    // for through the main window.
    EXPECT_EQ(TakePosted(Main(), WM_TW_NEW_BLANK_DESIGN).size(), 1u);
    EXPECT_TRUE(m_app->GetNoPredesigned());
    EXPECT_EQ(m_app->GetDesignRequest().nKind, 0);
}

TEST_F(AppCommandsTest, FileNewAfterAKindCommandOnlyClearsTheMode)
{
    g_bSignedIn = TRUE;
    g_nNewDesignMode = 1;
    AnswerLauncherWith(IDOK);
    m_app->OnFileNew();
    EXPECT_EQ(g_nNewDesignMode, 0);
    EXPECT_EQ(m_nLaunchers, 0);

    g_bCompanion = TRUE;
    m_app->OnFileNew();
    EXPECT_EQ(m_nLaunchers, 0);
}

TEST_F(AppCommandsTest, KindCommandAsksAboutPredesignedSelections)
{
    // Cancel: no design, no mode left behind.
    platform::headless::PushMessageBoxAnswer(IDCANCEL);
    m_app->OnNewMousepad();
    EXPECT_EQ(g_nNewDesignMode, 0);
    EXPECT_TRUE(TakePosted(Main(), WM_TW_NEW_BLANK_DESIGN).empty());
    EXPECT_TRUE(TakePosted(Main(), WM_TW_PREDESIGNED_DESIGN).empty());
    EXPECT_EQ(platform::headless::MessageBoxes().back().text, "Would you like to view pre-designed selections?");

    // Yes: pre-designed selections of that kind.
    platform::headless::PushMessageBoxAnswer(IDYES);
    m_app->OnNewCalendar();
    EXPECT_EQ(g_nNewDesignMode, 1);
    std::vector<MSG> predesigned = TakePosted(Main(), WM_TW_PREDESIGNED_DESIGN);
    ASSERT_EQ(predesigned.size(), 1u);
    EXPECT_EQ(predesigned[0].wParam, 0u);
    EXPECT_EQ(m_app->GetDesignRequest().nKind, 3);
    EXPECT_NE(thePrefs.AddlFlags & PREF_ADDL_PREDESIGNED, 0);
    EXPECT_FALSE(m_app->GetNoPredesigned());

    // No: a blank design through page setup.
    platform::headless::PushMessageBoxAnswer(IDNO);
    m_app->OnNewLabel();
    EXPECT_EQ(TakePosted(Main(), WM_TW_NEW_BLANK_DESIGN).size(), 1u);
    EXPECT_EQ(m_app->GetDesignRequest().nKind, 4);
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_PREDESIGNED, 0);
    EXPECT_TRUE(m_app->GetNoPredesigned());
}

TEST_F(AppCommandsTest, LauncherWizardChoiceGoesStraightToTheWizard)
{
    g_bSignedIn = TRUE;
    platform::headless::SetIdleHandler([this]() {
        HWND hActive = ::GetActiveWindow();
        auto* pDlg = dynamic_cast<CLauncherDlg*>(CWnd::FromHandlePermanent(hActive));
        if (pDlg == nullptr)
            return false;
        ++m_nLaunchers;
        ::CheckRadioButton(hActive, IDC_LAUNCH_PREDESIGNED, IDC_LAUNCH_WIZARD, IDC_LAUNCH_WIZARD);
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    });
    m_app->OnFileNew();
    ASSERT_EQ(m_nLaunchers, 1);
    std::vector<MSG> posted = TakePosted(Main(), WM_TW_PREDESIGNED_DESIGN);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, 1u);
    EXPECT_FALSE(m_app->GetNoPredesigned());
}

TEST_F(AppCommandsTest, AboutBoxNamesVersionAndSystem)
{
    std::string strVersion;
    std::string strSystem;
    platform::headless::SetIdleHandler([&]() {
        HWND hActive = ::GetActiveWindow();
        if (hActive == NULL || hActive == Main())
            return false;
        char szText[256] = {};
        ::GetDlgItemText(hActive, IDC_ABOUT_VERSION, szText, sizeof szText);
        strVersion = szText;
        ::GetDlgItemText(hActive, IDC_ABOUT_SYSTEM, szText, sizeof szText);
        strSystem = szText;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    });
    m_app->OnAppAbout();
    EXPECT_EQ(strVersion, "Version 1.0");
    EXPECT_NE(strSystem.find("version"), std::string::npos);
}

TEST_F(AppCommandsTest, PrintSetupThenPrintsWhenAskedTo)
{
    int nDialogs = 0;
    platform::headless::SetIdleHandler([&]() {
        HWND hActive = ::GetActiveWindow();
        if (hActive == NULL || hActive == Main())
            return false;
        ++nDialogs;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    });
    m_app->OnFilePrintSetup();
    EXPECT_EQ(nDialogs, 1);
    EXPECT_TRUE(TakePosted(Main(), WM_COMMAND).empty());

    m_app->SetPrintAfterSetup(TRUE);
    m_app->OnFilePrintSetup();
    EXPECT_EQ(nDialogs, 2);
    EXPECT_FALSE(m_app->GetPrintAfterSetup());
    std::vector<MSG> posted = TakePosted(Main(), WM_COMMAND);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(LOWORD(posted[0].wParam), ID_FILE_PRINT);
}

// A menu bar like the main window's: File, three more, then Help with the
// survey entry after a separator.
HMENU MakeMenuBar()
{
    HMENU hBar = ::CreateMenu();
    HMENU hFile = ::CreatePopupMenu();
    ::AppendMenu(hFile, MF_STRING, ID_FILE_NEW, "&New");
    ::AppendMenu(hFile, MF_STRING, ID_FILE_OPEN, "&Open");
    ::AppendMenu(hFile, MF_STRING, ID_APP_EXIT, "E&xit");
    ::AppendMenu(hBar, MF_POPUP, UINT_PTR(hFile), "&File");
    for (const char* name : {"&Edit", "&View", "&Tools"}) {
        HMENU hPopup = ::CreatePopupMenu();
        ::AppendMenu(hPopup, MF_STRING, ID_EDIT_COPY, "&Copy");
        ::AppendMenu(hBar, MF_POPUP, UINT_PTR(hPopup), name);
    }
    HMENU hHelp = ::CreatePopupMenu();
    ::AppendMenu(hHelp, MF_STRING, 0xE142, "&Index");
    ::AppendMenu(hHelp, MF_STRING, 0x80D9, "How do I...");
    ::AppendMenu(hHelp, MF_SEPARATOR, 0, nullptr);
    ::AppendMenu(hHelp, MF_STRING, ID_HELP_ONLINE_SURVEY, "&Online Survey");
    ::AppendMenu(hHelp, MF_STRING, ID_APP_ABOUT, "&About");
    ::AppendMenu(hBar, MF_POPUP, UINT_PTR(hHelp), "&Help");
    return hBar;
}

HBITMAP UncheckedBitmapOf(HMENU hMenu, UINT nCommand)
{
    platform::MenuItemRef ref;
    if (!platform::LocateMenuItem(hMenu, nCommand, MF_BYCOMMAND, ref))
        return NULL;
    return ref.item->uncheckedBitmap;
}

bool HasCommand(HMENU hMenu, UINT nCommand)
{
    platform::MenuItemRef ref;
    return platform::LocateMenuItem(hMenu, nCommand, MF_BYCOMMAND, ref);
}

TEST_F(AppCommandsTest, SurveyEntryLeavesTheHelpMenuBeforeTheEleventhRun)
{
    ::SetMenu(Main(), MakeMenuBar());
    CCmdUI cmdUI;
    cmdUI.m_nID = ID_HELP_ONLINE_SURVEY;

    WriteProfileDword("Program", "NumTimesRun", 11);
    WriteProfileText("Program", "RunSurveyLater", "No");
    m_app->OnUpdateOnlineSurvey(&cmdUI);
    HMENU hHelp = ::GetSubMenu(::GetMenu(Main()), 4);
    EXPECT_TRUE(HasCommand(hHelp, ID_HELP_ONLINE_SURVEY));
    EXPECT_EQ(::GetMenuItemCount(hHelp), 5);

    WriteProfileDword("Program", "NumTimesRun", 5);
    m_app->OnUpdateOnlineSurvey(&cmdUI);
    EXPECT_FALSE(HasCommand(hHelp, ID_HELP_ONLINE_SURVEY));
    // Its separator went with it; nothing else did.
    ASSERT_EQ(::GetMenuItemCount(hHelp), 3);
    EXPECT_EQ(::GetMenuItemID(hHelp, 1), 0x80D9u);
    EXPECT_EQ(::GetMenuItemID(hHelp, 2), UINT(ID_APP_ABOUT));
}

TEST_F(AppCommandsTest, OnlyButtonLookChangesRebuildTheToolbars)
{
    CPrefData before(thePrefs);
    thePrefs.AddlFlags ^= PREF_ADDL_NO_TOOLTIPS;
    EXPECT_FALSE(m_app->ApplyPreferenceChanges(before));
    thePrefs.Flags ^= PREF_FLAG_SMALL_BUTTONS;
    EXPECT_TRUE(m_app->ApplyPreferenceChanges(before));
    thePrefs.Flags ^= PREF_FLAG_SMALL_BUTTONS | PREF_FLAG_COLOR_BUTTONS;
    EXPECT_TRUE(m_app->ApplyPreferenceChanges(before));
}

std::vector<std::string> UserNames()
{
    std::vector<std::string> names;
    CUserTable users;
    for (int i = 0; i < users.GetRecordCount(); ++i) {
        UserRecord record;
        users.ReadRecord(i, record);
        names.emplace_back(LPCTSTR(record.strUserName));
    }
    return names;
}

TEST_F(AppCommandsTest, DefaultUsersAreAddedOnce)
{
    m_app->EnsureDefaultUsers();
    EXPECT_EQ(UserNames(), (std::vector<std::string>{"Predesigned", "Threadwick User"}));
    EXPECT_EQ(thePrefs.LastUser, "Threadwick User");

    m_app->EnsureDefaultUsers();
    EXPECT_EQ(UserNames().size(), 2u);
}

TEST_F(AppCommandsTest, ExistingUserKeepsTheTableAsItIs)
{
    {
        CUserTable users;
        UserRecord ann;
        ann.nInUse = 1;
        ann.strUserName = "Ann";
        ASSERT_TRUE(users.AddRecord(ann));
        UserRecord predesigned;
        predesigned.strUserName = "Predesigned";
        ASSERT_TRUE(users.AddRecord(predesigned));
    }
    m_app->EnsureDefaultUsers();
    EXPECT_EQ(UserNames(), (std::vector<std::string>{"Ann", "Predesigned"}));
}

TEST_F(AppCommandsTest, MenuBitmapsGoToBothMenusByCommand)
{
    ::SetMenu(Main(), MakeMenuBar());
    HMENU hDesign = MakeMenuBar();
    m_app->SetDesignMenu(hDesign);
    m_app->LoadSupportLibrary();
    ASSERT_NE(m_app->GetSupportLibrary(), HMODULE(NULL));

    m_app->SetMenuBitmaps();
    for (int i = 0; i < CDesignerApp::kMenuBitmapCount; ++i) {
        ASSERT_NE(m_app->GetMenuBitmap(i), nullptr) << i;
        EXPECT_NE(m_app->GetMenuBitmap(i)->GetSafeHandle(), nullptr) << i;
    }
    HMENU hMain = ::GetMenu(Main());
    HBITMAP hNew = HBITMAP(m_app->GetMenuBitmap(0)->GetSafeHandle());
    HBITMAP hHelpTopic = HBITMAP(m_app->GetMenuBitmap(26)->GetSafeHandle());
    EXPECT_EQ(UncheckedBitmapOf(hMain, ID_FILE_NEW), hNew);
    EXPECT_EQ(UncheckedBitmapOf(hMain, 0x80D9), hHelpTopic);
    EXPECT_EQ(UncheckedBitmapOf(hMain, 0xE142), HBITMAP(m_app->GetMenuBitmap(25)->GetSafeHandle()));
    EXPECT_EQ(UncheckedBitmapOf(hMain, ID_APP_EXIT), HBITMAP(NULL));
    // The design menu: Edit Copy sits in a submenu.
    EXPECT_EQ(UncheckedBitmapOf(hDesign, ID_FILE_NEW), hNew);
    EXPECT_EQ(UncheckedBitmapOf(hDesign, ID_EDIT_COPY), HBITMAP(m_app->GetMenuBitmap(6)->GetSafeHandle()));
    EXPECT_EQ(UncheckedBitmapOf(hDesign, 0x80D9), hHelpTopic);

    m_app->FreeMenuBitmaps();
    for (int i = 0; i < CDesignerApp::kMenuBitmapCount; ++i)
        EXPECT_EQ(m_app->GetMenuBitmap(i), nullptr);
    m_app->SetDesignMenu(NULL);
    ::DestroyMenu(hDesign);
}

TEST_F(AppCommandsTest, MissingSupportLibraryLeavesMenusPlain)
{
    ::SetMenu(Main(), MakeMenuBar());
    m_app->SetMenuBitmaps();
    EXPECT_EQ(m_app->GetMenuBitmap(0), nullptr);
    EXPECT_EQ(UncheckedBitmapOf(::GetMenu(Main()), ID_FILE_NEW), HBITMAP(NULL));
}

TEST_F(AppCommandsTest, FindClipartIsEnabledAndTheOddOneIsAlwaysOn)
{
    for (UINT nID : {UINT(ID_INSERT_FIND_CLIPART)}) {
        struct Probe : CCmdUI {
            int enabled = -1;
            void Enable(BOOL bOn) override
        {
            enabled = bOn;
            m_bEnableChanged = TRUE;
        }
        } probe;
        probe.m_nID = nID;
        probe.DoUpdate(m_app.get(), FALSE);
        EXPECT_EQ(probe.enabled, 1) << nID;
    }
    struct Probe : CCmdUI {
        int enabled = -1;
        int checked = -1;
        void Enable(BOOL bOn) override
        {
            enabled = bOn;
            m_bEnableChanged = TRUE;
        }
        void SetCheck(int nCheck) override { checked = nCheck; }
    } probe;
    probe.m_nID = ID_APP_ALWAYS_ENABLED;
    probe.DoUpdate(m_app.get(), TRUE);
    EXPECT_EQ(probe.enabled, 1);
    EXPECT_EQ(probe.checked, 0);

    // Designs are opened.
    struct OpenProbe : CCmdUI {
        int enabled = -1;
        void Enable(BOOL bOn) override
        {
            enabled = bOn;
            m_bEnableChanged = TRUE;
        }
    } open;
    open.m_nID = ID_FILE_OPEN;
    open.DoUpdate(m_app.get(), TRUE);
    EXPECT_NE(open.enabled, 0);
}

TEST_F(AppCommandsTest, RecentFilesAreListedAndCanBeOpened)
{
    m_app->LoadStdProfileSettings(4);
    std::string path = m_programFolder + "/old.shr";
    testing_support::WriteFileBytes(path, "x");
    m_app->AddToRecentFileList(CString(path.c_str()));

    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
    menu.AppendMenu(MF_STRING, ID_APP_EXIT, "E&xit");
    CCmdUI cmdUI;
    cmdUI.m_pMenu = &menu;
    cmdUI.m_nID = ID_FILE_MRU_FILE1;
    cmdUI.m_nIndex = 0;
    cmdUI.m_nIndexMax = menu.GetMenuItemCount();
    cmdUI.DoUpdate(m_app.get(), TRUE);

    ASSERT_EQ(menu.GetMenuItemID(0), UINT(ID_FILE_MRU_FILE1));
    CString strText;
    menu.GetMenuString(0, strText, MF_BYPOSITION);
    EXPECT_NE(strText.Find("old.shr"), -1);
    EXPECT_EQ(menu.GetMenuState(ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(menu.GetMenuState(ID_APP_EXIT, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

} // namespace

namespace {

// A blank shirt design open in the started program.
class OpenDesignTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        CDesignDocTemplate* pTemplate = FindDocTemplateByKind(0);
        ASSERT_NE(pTemplate, nullptr);
        m_pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(nullptr));
        ASSERT_NE(m_pDoc, nullptr);
        auto* pFrame = static_cast<CMDIFrameWnd*>(m_app->m_pMainWnd);
        CMDIChildWnd* pChild = pFrame->MDIGetActive();
        ASSERT_NE(pChild, nullptr);
        m_pView = dynamic_cast<CSurface*>(pChild->GetActiveView());
        ASSERT_NE(m_pView, nullptr);
        m_pObj = new CDrawObj(CRect(100, 200, 300, 50));
        m_pView->Add(m_pObj);
        m_pView->Select(m_pObj);
    }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    CDrawObj* m_pObj = nullptr;
};

TEST_F(OpenDesignTest, EditedSelectionIsReportedAndEnded)
{
    EXPECT_EQ(IsSelectionBeingEdited(), 0);
    m_pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_EQ(IsSelectionBeingEdited(), 1);

    // Ending without deselecting keeps the selection.
    m_app->EndTextEdit(FALSE);
    EXPECT_EQ(IsSelectionBeingEdited(), 0);
    EXPECT_EQ(m_pView->GetSelection().GetCount(), 1);

    m_pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    m_app->EndTextEdit(TRUE);
    EXPECT_EQ(m_pObj->m_wFlags & OBJ_FLAG_LOCKED, 0);
    EXPECT_TRUE(m_pView->GetSelection().IsEmpty());
}

TEST_F(OpenDesignTest, TwoSelectedObjectsAreNotAnEdit)
{
    auto* pSecond = new CDrawObj(CRect(400, 200, 500, 100));
    m_pView->Add(pSecond);
    m_pView->Select(pSecond, TRUE);
    m_pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_EQ(IsSelectionBeingEdited(), 0);
    m_app->EndTextEdit(TRUE);
    EXPECT_NE(m_pObj->m_wFlags & OBJ_FLAG_LOCKED, 0);
}

TEST_F(OpenDesignTest, LogoCommandIsOffWhileTheDesignIsALogo)
{
    struct Probe : CCmdUI {
        int enabled = -1;
        void Enable(BOOL bOn) override
        {
            enabled = bOn;
            m_bEnableChanged = TRUE;
        }
    } probe;
    probe.m_nID = ID_TOOLS_LOGO;
    m_app->OnUpdateLogo(&probe);
    EXPECT_EQ(probe.enabled, 1);
    m_pDoc->SetTitle("(Logo) Badge");
    m_app->OnUpdateLogo(&probe);
    EXPECT_EQ(probe.enabled, 0);
}

} // namespace
