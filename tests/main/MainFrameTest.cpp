// The main frame on a started program: its bars and their saved layout, the
// Tools menu, the new-design messages, help topics, dropped files and the
// message pump of long operations.

#include "MainFrameTestSupport.h"

#include "app/main/AppMessages.h"
#include "app/main/DocTemplates.h"
#include "assist/ToolsPage.h"
#include "resources/resource.h"
#include "surface/ToolpadBar.h"
#include "surface/ToolpadWnd.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <utility>

namespace mainframetest {
namespace {

using apptest::ProfileKeyExists;
using apptest::TakePosted;
using apptest::WriteProfileText;

UINT DockedIn(CControlBar* pBar)
{
    return pBar->m_pDockBar != nullptr ? UINT(pBar->m_pDockBar->GetDlgCtrlID()) : 0u;
}

// How many WM_COMMAND nID wait for the main window (taken off the queue).
int PostedCommands(UINT nID)
{
    int nCount = 0;
    for (const MSG& msg : TakePosted(AfxGetMainWnd()->m_hWnd, WM_COMMAND))
        nCount += LOWORD(msg.wParam) == nID ? 1 : 0;
    return nCount;
}

// Every command of a menu and its popups.
void CollectCommands(CMenu* pMenu, std::vector<UINT>& ids, int nDepth = 0)
{
    ASSERT_LT(nDepth, 6);
    for (UINT i = 0; i < pMenu->GetMenuItemCount(); ++i) {
        if (CMenu* pSub = pMenu->GetSubMenu(int(i)))
            CollectCommands(pSub, ids, nDepth + 1);
        else
            ids.push_back(pMenu->GetMenuItemID(int(i)));
    }
}

TEST_F(MainFrameTest, FrameHasFivePanesTwoDockedBarsAndAHiddenToolPad)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CStatusBar& status = pFrame->GetStatusBar();
    const UINT panes[] = {ID_SEPARATOR, 7014, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(status.GetItemID(i), panes[i]) << i;

    ASSERT_NE(pFrame->GetStandardBar(), nullptr);
    ASSERT_NE(pFrame->GetFormattingBar(), nullptr);
    EXPECT_EQ(pFrame->GetStandardBar()->GetDlgCtrlID(), int(AFX_IDW_TOOLBAR));
    EXPECT_EQ(pFrame->GetFormattingBar()->GetDlgCtrlID(), 0xE810);
    EXPECT_EQ(DockedIn(pFrame->GetStandardBar()), UINT(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(DockedIn(pFrame->GetFormattingBar()), UINT(AFX_IDW_DOCKBAR_TOP));
    EXPECT_TRUE(pFrame->GetStandardBar()->IsVisible());
    EXPECT_TRUE(pFrame->GetFormattingBar()->IsVisible());
    ASSERT_NE(pFrame->GetToolpad(), nullptr);
    EXPECT_TRUE(pFrame->GetToolpad()->IsFloating());
    EXPECT_FALSE(pFrame->GetToolpad()->IsVisible());
    EXPECT_FALSE(pFrame->HasActiveDesign());

    pFrame->SetStatusText("Working");
    EXPECT_EQ(status.GetPaneText(0), "Working");
}

TEST_F(MainFrameTest, BarLayoutSurvivesARestartButNotACrashOrAReset)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    // Loaded layouts are removed at once: a crash now starts from defaults.
    EXPECT_FALSE(ProfileKeyExists("1.0-Summary"));
    pFrame->DockControlBar(pFrame->GetFormattingBar(), AFX_IDW_DOCKBAR_LEFT);
    ASSERT_EQ(DockedIn(pFrame->GetFormattingBar()), UINT(AFX_IDW_DOCKBAR_LEFT));

    pFrame = Restart();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(DockedIn(pFrame->GetFormattingBar()), UINT(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_FALSE(ProfileKeyExists("1.0-Summary"));
    EXPECT_FALSE(ProfileKeyExists("1.0-Bar0"));

    // Closed normally, then the saved layout is thrown away.
    ::SendMessage(MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(ProfileKeyExists("1.0-Summary"));
    EXPECT_TRUE(ResetSavedBarLayout());
    EXPECT_FALSE(ProfileKeyExists("1.0-Summary"));
    m_app->ExitInstance();
    m_bStarted = FALSE;
    platform::headless::Reset();
    platform::FrameworkDeleteTempMaps();
    m_app.reset();
    platform::ResetFrameworkWindowState();
    thePrefs.Reset();
    pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(DockedIn(pFrame->GetFormattingBar()), UINT(AFX_IDW_DOCKBAR_TOP));
}

TEST_F(MainFrameTest, FirstStartSeedsTheToolsMenuAndLaterStartsAddOnlyWhatFits)
{
    ASSERT_NE(StartFrame(), nullptr);
    EXPECT_EQ(m_app->GetProfileString("Tools", "ToolsInit"), "yes");
    EXPECT_EQ(CToolsPage::LoadToolEntries().size(), 4u);

    // Eight entries: the menu is full, no add-on is offered.
    for (int i = 0; i < 8; ++i) {
        const std::string key = "Tool" + std::to_string(i);
        const std::string entry = "Mine " + std::to_string(i) + "|C:\\x.exe";
        WriteProfileText("Tools", key.c_str(), entry.c_str());
    }
    for (const char* key : {"Contax_Init", "Scrivane_Init", "Varnette_Init", "OlvCard_Init"})
        m_app->WriteProfileString("Tools", key, NULL);
    ASSERT_NE(Restart(), nullptr);
    EXPECT_EQ(CToolsPage::LoadToolEntries().size(), 8u);
    EXPECT_EQ(m_app->GetProfileString("Tools", "Contax_Init"), "");

    // Seven entries: the first add-on not offered yet fills the last place.
    m_app->WriteProfileString("Tools", "Tool7", NULL);
    m_app->WriteProfileString("Tools", "Contax_Init", "yes");
    ASSERT_NE(Restart(), nullptr);
    std::vector<CString> entries = CToolsPage::LoadToolEntries();
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[7], CToolsPage::AddOnEntry(2));
    EXPECT_EQ(m_app->GetProfileString("Tools", "Scrivane_Init"), "yes");
    EXPECT_EQ(m_app->GetProfileString("Tools", "Varnette_Init"), "");
}

TEST_F(MainFrameTest, ToolsPopupListsTheEntriesOnceAndGreysMissingPrograms)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    const CString program = ProgramFile("tools/paint", "#!/bin/sh\n");
    CToolsPage::SaveToolEntries({"&Paint|" + program, "&Gone|C:\\no\\such\\tool.exe"});

    CMenu design;
    ASSERT_TRUE(design.LoadMenu(IDR_DESIGNTYPE));
    CMenu* pTools = nullptr;
    for (UINT i = 0; i < design.GetMenuItemCount(); ++i) {
        CString text;
        design.GetMenuString(i, text, MF_BYPOSITION);
        if (text == "&Tools")
            pTools = design.GetSubMenu(int(i));
    }
    ASSERT_NE(pTools, nullptr);
    ASSERT_EQ(pTools->GetMenuItemID(0), UINT(ID_TOOLS_SPELL_CHECK));
    const UINT nOwnItems = pTools->GetMenuItemCount();

    for (int nTimes = 0; nTimes < 2; ++nTimes) {
        ::SendMessage(MainWindow(), WM_INITMENUPOPUP, WPARAM(pTools->GetSafeHmenu()), 3);
        ASSERT_EQ(pTools->GetMenuItemCount(), nOwnItems + 3);
        EXPECT_NE(pTools->GetMenuState(nOwnItems, MF_BYPOSITION) & MF_SEPARATOR, 0u);
        EXPECT_EQ(pTools->GetMenuItemID(int(nOwnItems + 1)), UINT(ID_TOOLS_FIRST));
        EXPECT_EQ(pTools->GetMenuState(ID_TOOLS_FIRST, MF_BYCOMMAND) & MF_GRAYED, 0u);
        EXPECT_NE(pTools->GetMenuState(ID_TOOLS_FIRST + 1, MF_BYCOMMAND) & MF_GRAYED, 0u);
        CString label;
        pTools->GetMenuString(ID_TOOLS_FIRST + 1, label, MF_BYCOMMAND);
        EXPECT_EQ(label, "&Gone");
    }

    // With the list emptied, the separator goes too.
    CToolsPage::SaveToolEntries({});
    ::SendMessage(MainWindow(), WM_INITMENUPOPUP, WPARAM(pTools->GetSafeHmenu()), 3);
    EXPECT_EQ(pTools->GetMenuItemCount(), nOwnItems);

    // A popup that does not start with the spelling command is left alone.
    CMenu other;
    other.CreatePopupMenu();
    other.AppendMenu(MF_STRING, ID_FILE_OPEN, "&Open");
    CToolsPage::SaveToolEntries({"&Paint|" + program});
    pFrame->RebuildToolsMenu(&other);
    EXPECT_EQ(other.GetMenuItemCount(), 1u);

    // A missing program is reported, not a crash.
    CToolsPage::SaveToolEntries({"&Gone|C:\\no\\such\\tool.exe"});
    pFrame->RebuildToolsMenu(pTools);
    const size_t nBoxes = platform::headless::MessageBoxes().size();
    ::SendMessage(MainWindow(), WM_COMMAND, ID_TOOLS_FIRST, 0);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text, "Fail to run this application.");
    // A command beyond the entries does nothing.
    ::SendMessage(MainWindow(), WM_COMMAND, ID_TOOLS_LAST, 0);
    EXPECT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
}

TEST_F(MainFrameTest, MenusCarryEveryHowDoICommandAndTheirLayout)
{
    CMenu frameMenu;
    ASSERT_TRUE(frameMenu.LoadMenu(IDR_MAINFRAME));
    ASSERT_GE(frameMenu.GetMenuItemCount(), 5u);
    CString text;
    frameMenu.GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(text, "&File");
    frameMenu.GetMenuString(4, text, MF_BYPOSITION);
    EXPECT_EQ(text, "&Help");

    CMenu design;
    ASSERT_TRUE(design.LoadMenu(IDR_DESIGNTYPE));
    CMenu* pHelp = design.GetSubMenu(int(design.GetMenuItemCount()) - 1);
    ASSERT_NE(pHelp, nullptr);
    CMenu* pHowDoI = pHelp->GetSubMenu(1);
    ASSERT_NE(pHowDoI, nullptr);
    std::vector<UINT> ids;
    CollectCommands(pHowDoI, ids);
    std::set<UINT> howDoI(ids.begin(), ids.end());
    howDoI.erase(0); // separators
    EXPECT_EQ(howDoI.size(), 45u);
    for (UINT nID : howDoI) {
        EXPECT_GE(nID, UINT(ID_HOWTO_GALLERY));
        EXPECT_LE(nID, UINT(ID_HOWTO_EDIT_CELLS));
    }

    CMenu popup;
    ASSERT_TRUE(popup.LoadMenu(IDR_NEW_DESIGN_POPUP));
    ASSERT_NE(popup.GetSubMenu(0), nullptr);
    EXPECT_EQ(popup.GetSubMenu(0)->GetMenuItemCount(), 6u);
    EXPECT_EQ(popup.GetSubMenu(0)->GetMenuItemID(0), UINT(33226));
}

TEST_F(MainFrameTest, HowDoICommandsOpenTheirPageOrSayThereIsNone)
{
    ProgramFile("support/help/Tovellum/map.txt", "85 gallery.html\n");
    ProgramFile("support/help/Tovellum/gallery.html", "<html></html>");
    ASSERT_NE(StartFrame(), nullptr);

    ::SendMessage(MainWindow(), WM_COMMAND, ID_HOWTO_GALLERY, 0);
    ASSERT_EQ(m_openedUrls.size(), 1u);
    EXPECT_NE(m_openedUrls[0].find("gallery.html"), std::string::npos);

    const size_t nBoxes = platform::headless::MessageBoxes().size();
    ::SendMessage(MainWindow(), WM_COMMAND, ID_HOWTO_EDIT_CELLS, 0);
    EXPECT_EQ(m_openedUrls.size(), 1u);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("not available"), std::string::npos);
}

TEST_F(MainFrameTest, CancelledPageSetupReturnsToTheLauncherWithTheGivenKind)
{
    ASSERT_NE(StartFrame(), nullptr);
    Drive({Press(IDCANCEL)});
    ::SendMessage(MainWindow(), WM_TW_NEW_BLANK_DESIGN, 3, 1);
    EXPECT_EQ(PostedCommands(ID_FILE_NEW), 1);
    // The kind and value of the message replace the launcher's request.
    EXPECT_EQ(m_app->GetDesignRequest().nKind, 3);
    EXPECT_EQ(m_app->GetDesignRequest().nOption, 1);

    // 0, 0 keeps the request as it was.
    Drive({Press(IDCANCEL)});
    ::SendMessage(MainWindow(), WM_TW_NEW_BLANK_DESIGN, 0, 0);
    EXPECT_EQ(PostedCommands(ID_FILE_NEW), 1);
    EXPECT_EQ(m_app->GetDesignRequest().nKind, 3);
}

TEST_F(MainFrameTest, PredesignedPathEndsWhenTheCdIsNotInserted)
{
    ASSERT_NE(StartFrame(), nullptr);
    Drive({Press(IDCANCEL)});
    EXPECT_EQ(::SendMessage(MainWindow(), WM_TW_PREDESIGNED_DESIGN, 0, 0), 1);
    EXPECT_TRUE(TakePosted(MainWindow(), WM_TW_NEW_BLANK_DESIGN).empty());
    EXPECT_EQ(g_pCurrentWizardSheet, nullptr);
}

TEST_F(MainFrameTest, PredesignedPathRunsTheWizardAsTheCurrentSheetOnceTheCdIsThere)
{
    const std::string disc = testing_support::MakeTempDir("disc");
    std::filesystem::create_directories(disc + "/Document");
    testing_support::WriteFileBytes(disc + "/Document/tovell.kqa", "kit");
    ASSERT_NE(StartFrame(), nullptr);
    const std::string mounts = "/dev/sda1 / ext4 rw 0 0\n";
    platform::SetDriveTable(platform::DriveTable::Build(mounts, "E=" + disc + ":cdrom:DISC", {}));

    // Straight to the wizard: it is the sheet a second copy would end.
    bool bRegistered = false;
    Drive({
        [&](HWND hActive) {
            bRegistered = g_pCurrentWizardSheet != nullptr && g_pCurrentWizardSheet->m_hWnd == hActive;
            return true;
        },
        Press(IDCANCEL),
    });
    EXPECT_EQ(::SendMessage(MainWindow(), WM_TW_PREDESIGNED_DESIGN, 1, 0), 1);
    EXPECT_TRUE(bRegistered);
    EXPECT_EQ(g_pCurrentWizardSheet, nullptr);

    // With the design index: no design kit can be reached, and the user
    // gives up at the disc prompt.
    Drive({Press(IDCANCEL)});
    EXPECT_EQ(::SendMessage(MainWindow(), WM_TW_PREDESIGNED_DESIGN, 0, 0), 0);
    EXPECT_TRUE(TakePosted(MainWindow(), WM_TW_NEW_BLANK_DESIGN).empty());
}

TEST_F(MainFrameTest, ToolPadCommandTogglesThePadAndRemembersIt)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CToolpadBar* pPad = pFrame->GetToolpad();
    ASSERT_NE(pPad, nullptr);
    thePrefs.AddlFlags &= WORD(~PREF_ADDL_TOOL_PAD);

    ::SendMessage(MainWindow(), WM_COMMAND, ID_VIEW_TOOLPAD, 0);
    EXPECT_TRUE(pPad->IsVisible());
    EXPECT_NE(thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD, 0);
    ::SendMessage(MainWindow(), WM_TW_HIDE_TOOLPAD, 0, 0);
    EXPECT_FALSE(pPad->IsVisible());
    ::SendMessage(MainWindow(), WM_TW_SHOW_TOOLPAD, 0, 0);
    EXPECT_TRUE(pPad->IsVisible());
    ::SendMessage(MainWindow(), WM_COMMAND, ID_VIEW_TOOLPAD, 0);
    EXPECT_FALSE(pPad->IsVisible());
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD, 0);
}

TEST_F(MainFrameTest, HideFromTheToolPadsMenuKeepsItHiddenAtTheNextStart)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    ::SendMessage(MainWindow(), WM_COMMAND, ID_VIEW_TOOLPAD, 0);
    CToolpadBar* pPad = pFrame->GetToolpad();
    ASSERT_TRUE(pPad->IsVisible());
    ASSERT_NE(thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD, 0);

    // A right click on the palette, and "&Hide" from its menu.
    int nStep = 0;
    platform::headless::SetIdleHandler([&nStep]() {
        if (nStep >= 2)
            return false;
        platform::headless::TypeKey(nStep == 0 ? VK_DOWN : VK_RETURN);
        ++nStep;
        return true;
    });
    ::SendMessage(pPad->GetPalette()->m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_FALSE(pPad->IsVisible());
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD, 0);

    pFrame = Restart();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(thePrefs.AddlFlags & PREF_ADDL_TOOL_PAD, 0);
    EXPECT_FALSE(pFrame->GetToolpad()->IsVisible());
}

TEST_F(MainFrameTest, AddTextInformationShowsTheHintEvenWhenItIsSwitchedOff)
{
    ASSERT_NE(StartFrame(), nullptr);
    thePrefs.AddlFlags &= WORD(~0x2000);
    bool bShown = false;
    Drive({[&bShown](HWND hActive) {
        if (::GetDlgItem(hActive, IDOK) == NULL || testing_support::WindowTitle(hActive).empty())
            return false;
        bShown = true;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    }});
    ::SendMessage(MainWindow(), WM_COMMAND, ID_INSERT_TEXT_INFO, 0);
    EXPECT_TRUE(bShown);
}

TEST_F(MainFrameTest, PumpDispatchesWaitingMessagesAndLeavesQuitForTheMainLoop)
{
    ASSERT_NE(StartFrame(), nullptr);
    g_bApplicationActive = FALSE;
    ::PostMessage(MainWindow(), WM_COMMAND, ID_APP_ACTIVATED, 0);
    ::PostQuitMessage(7);
    EXPECT_TRUE(PumpWaitingMessages());
    EXPECT_TRUE(g_bApplicationActive);

    MSG msg;
    ASSERT_TRUE(::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(7));
    EXPECT_FALSE(PumpWaitingMessages());
}

// Records the hints its document sends.
class HintSpyView : public CView {
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM lHint, CObject* pHint) override
    {
        hints.push_back(lHint);
        if (lHint == 12 && pHint != nullptr)
            path = static_cast<CDroppedFileHint*>(pHint)->m_strPath;
    }
    std::vector<LPARAM> hints;
    CString path;
};

TEST_F(MainFrameTest, DroppedFileThatIsNotADesignGoesToTheActiveDesign)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    const std::string text = m_folder + "/notes.txt";
    testing_support::WriteFileBytes(text, "hello");

    // Without a design nothing opens.
    platform::headless::DropFiles(MainWindow(), {text}, 10, 10);
    AfxPumpMessagesUntilIdle();
    EXPECT_EQ(CountOpenDocuments(), 0);

    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(5);
    ASSERT_NE(pTemplate, nullptr);
    CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(pFrame->HasActiveDesign());
    HintSpyView spy;
    pDoc->AddView(&spy);
    platform::headless::DropFiles(MainWindow(), {text, m_folder + "/" + std::string(300, 'x')}, 10, 10);
    AfxPumpMessagesUntilIdle();
    pDoc->RemoveView(&spy);
    EXPECT_EQ(CountOpenDocuments(), 1);
    ASSERT_EQ(spy.hints.size(), 1u);
    EXPECT_EQ(spy.hints[0], 12);
    EXPECT_EQ(spy.path, CString(platform::WindowsPathFor(text).c_str()));
}

// Enabled state of a command of the frame, as its menu would show it.
int EnabledState(CCmdTarget* pTarget, UINT nID)
{
    struct Probe : CCmdUI {
        int enabled = -1;
        void Enable(BOOL bOn) override
        {
            enabled = bOn;
            m_bEnableChanged = TRUE;
        }
    } probe;
    probe.m_nID = nID;
    probe.DoUpdate(pTarget, FALSE);
    return probe.enabled;
}

TEST_F(MainFrameTest, CommandsThatCannotRunAreGreyedOrSayWhy)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);

    // The maker's programs are not installed: their entries are greyed,
    // and come alive when a copy is put beside the program.
    EXPECT_EQ(EnabledState(pFrame, ID_TOOLS_FONT_SAMPLER), 0);
    EXPECT_EQ(EnabledState(pFrame, ID_TOOLS_ADDRESS_BOOK), 0);
    ProgramFile("FontView.exe", "#!/bin/sh\n");
    ProgramFile("Contax.exe", "#!/bin/sh\n");
    EXPECT_EQ(EnabledState(pFrame, ID_TOOLS_FONT_SAMPLER), 1);
    EXPECT_EQ(EnabledState(pFrame, ID_TOOLS_ADDRESS_BOOK), 1);

    // No browser takes the survey page: the user is told.
    platform::SetUrlOpener([](const std::string&) { return false; });
    size_t nBoxes = platform::headless::MessageBoxes().size();
    ::SendMessage(MainWindow(), WM_COMMAND, ID_HELP_ONLINE_SURVEY, 0);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("web browser"), std::string::npos);

    // The Toolbars dialog's Help asks for its topic, which says there is none.
    nBoxes = platform::headless::MessageBoxes().size();
    Drive({Press(IDC_TOOLBARS_HELP), Press(IDCANCEL)});
    ::SendMessage(MainWindow(), WM_COMMAND, ID_VIEW_TOOLBARS, 0);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("not available"), std::string::npos);

    // Shift+F1 turns the pointer into a question; the next click asks for
    // help on what is under it.
    HACCEL hAccel = pFrame->GetDefaultAccelerator();
    ASSERT_NE(hAccel, HACCEL(NULL));
    nBoxes = platform::headless::MessageBoxes().size();
    CRect client;
    ::GetWindowRect(pFrame->m_hWndMDIClient, &client);
    bool bInHelpMode = false;
    Drive({[&](HWND) {
        bInHelpMode = pFrame->m_bHelpMode == HELP_ACTIVE;
        platform::headless::Click(client.CenterPoint().x, client.CenterPoint().y);
        return true;
    }});
    platform::headless::KeyDown(VK_SHIFT);
    platform::headless::TypeKey(VK_F1);
    platform::headless::KeyUp(VK_SHIFT);
    AfxPumpMessagesUntilIdle();
    EXPECT_TRUE(bInHelpMode);
    EXPECT_EQ(pFrame->m_bHelpMode, HELP_INACTIVE);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_NE(platform::headless::MessageBoxes().back().text.find("not available"), std::string::npos);
}

// A menu entry's words as a sentence names them: no mnemonic, key or dots.
std::string EntryWords(CString text)
{
    text.Remove('&');
    if (int nTab = text.Find('\t'); nTab >= 0)
        text = text.Left(nTab);
    text.TrimRight('.');
    text.MakeLower();
    return std::string(text);
}

// Every entry and popup of a menu, under the name of its top-level popup.
void CollectEntries(CMenu* pMenu, const std::string& top, std::set<std::pair<std::string, std::string>>& entries,
    int nDepth = 0)
{
    ASSERT_LT(nDepth, 6);
    for (UINT i = 0; i < pMenu->GetMenuItemCount(); ++i) {
        CString text;
        pMenu->GetMenuString(i, text, MF_BYPOSITION);
        const std::string words = EntryWords(text);
        const std::string owner = nDepth == 0 ? words : top;
        if (nDepth > 0)
            entries.insert({owner, words});
        if (CMenu* pSub = pMenu->GetSubMenu(int(i)))
            CollectEntries(pSub, owner, entries, nDepth + 1);
    }
}

TEST_F(MainFrameTest, CommandsTheReadmeCallsGreyedAreGreyedInADesignWindow)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(5);
    ASSERT_NE(pTemplate, nullptr);
    ASSERT_NE(pTemplate->OpenDocumentFile(NULL), nullptr);
    CFrameWnd* pChild = pFrame->GetActiveFrame();
    ASSERT_NE(pChild, pFrame);
    // As the design window's menu asks: a command nobody handles is greyed;
    // the design view prints and previews itself.
    for (UINT nID : {UINT(ID_FILE_PRINT), UINT(ID_FILE_PRINT_PREVIEW)}) {
        struct Probe : CCmdUI {
            int enabled = -1;
            void Enable(BOOL bOn) override
            {
                enabled = bOn;
                m_bEnableChanged = TRUE;
            }
        } probe;
        probe.m_nID = nID;
        probe.DoUpdate(pChild, TRUE);
        EXPECT_NE(probe.enabled, 0) << nID;
    }
    EXPECT_NE(EnabledState(pChild, ID_FILE_PRINT_SETUP), 0) << "Print Setup works";
    EXPECT_NE(EnabledState(pChild, ID_FILE_SAVE), 0) << "designs are saved";
    EXPECT_NE(EnabledState(pChild, ID_FILE_SAVE_AS), 0);
    EXPECT_NE(EnabledState(pChild, ID_FILE_OPEN), 0) << "designs are opened";
    EXPECT_NE(EnabledState(pChild, ID_FILE_PAGE_SETUP), 0);
    EXPECT_NE(EnabledState(pChild, ID_FILE_UPLOAD_DESIGN), 0);
}

TEST_F(MainFrameTest, TipsNameMenuEntriesAsTheMenusCallThem)
{
    std::set<std::pair<std::string, std::string>> entries;
    for (UINT nMenu : {UINT(IDR_MAINFRAME), UINT(IDR_DESIGNTYPE)}) {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(nMenu));
        CollectEntries(&menu, "", entries);
    }
    const std::regex chooseFrom("choose ([A-Z][\\w ]*?) from the (\\w+) menu");
    const std::regex onMenu("([A-Z]\\w*(?: [A-Z]\\w*)*) on the (\\w+) menu");
    int nNamed = 0;
    const std::filesystem::path tips = std::filesystem::path(THREADWICK_SOURCE_DIR) / "resources/support/tips";
    for (const auto& file : std::filesystem::directory_iterator(tips)) {
        const std::string text = testing_support::ReadFileBytes(file.path().string());
        for (const std::regex* pattern : {&chooseFrom, &onMenu}) {
            for (std::sregex_iterator it(text.begin(), text.end(), *pattern), end; it != end; ++it) {
                std::string entry = (*it)[1];
                std::string menu = (*it)[2];
                std::transform(entry.begin(), entry.end(), entry.begin(), ::tolower);
                std::transform(menu.begin(), menu.end(), menu.begin(), ::tolower);
                EXPECT_TRUE(entries.count({menu, entry}) == 1)
                    << file.path().filename() << " names \"" << entry << "\" on the " << menu << " menu";
                ++nNamed;
            }
        }
    }
    EXPECT_GE(nNamed, 5);
}

} // namespace
} // namespace mainframetest
