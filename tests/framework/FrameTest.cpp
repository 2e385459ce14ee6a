#include "tests/framework/FrameTestSupport.h"

#include "platform/framework/FrameworkStrings.h"

#include <algorithm>
#include <iterator>

namespace frametest {

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

BEGIN_MESSAGE_MAP(CFrameTestApp, CWinApp)
    ON_COMMAND(kAppOnly, OnAppOnly)
    ON_COMMAND(kEverywhere, OnEverywhere)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CTestView, CView)

BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_COMMAND(kViewOnly, OnViewOnly)
    ON_COMMAND(kEverywhere, OnEverywhere)
END_MESSAGE_MAP()

void CTestView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    auto nameOf = [](CView* pView) {
        return pView == nullptr ? std::string("null") : static_cast<CTestView*>(pView)->m_name;
    };
    Log().push_back(m_name + (bActivate ? " activate" : " deactivate") + " new=" + nameOf(pActivateView)
        + " old=" + nameOf(pDeactiveView));
    if (!bActivate && m_pStealOnDeactivate != nullptr) {
        CView* pThief = m_pStealOnDeactivate;
        m_pStealOnDeactivate = nullptr;
        GetParentFrame()->SetActiveView(pThief, FALSE);
    }
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

IMPLEMENT_DYNCREATE(CFailingView, CView)

BEGIN_MESSAGE_MAP(CFailingView, CView)
    ON_WM_CREATE()
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_COMMAND(kRecolor, OnRecolor)
    ON_UPDATE_COMMAND_UI(kRecolor, OnUpdateRecolor)
    ON_COMMAND(kLock, OnLock)
    ON_UPDATE_COMMAND_UI(kLock, OnUpdateLock)
    ON_COMMAND(kEverywhere, OnEverywhere)
    ON_COMMAND_RANGE(ID_FILE_OPEN, ID_FILE_SAVE_AS, OnFileCommand)
    ON_COMMAND(ID_HELP, CFrameWnd::OnHelp)
    ON_COMMAND(ID_CONTEXT_HELP, CFrameWnd::OnContextHelp)
END_MESSAGE_MAP()

namespace {

const platform::MenuItemTemplate kFileItems[] = {
    {MF_STRING, 0, ID_FILE_OPEN, 0, "&Open...", false, nullptr, 0},
    {MF_STRING, 0, kRecolor, 0, "&Recolor\tF5", false, nullptr, 0},
    {MF_STRING, 0, kLock, 0, "&Lock", false, nullptr, 0},
    {MF_STRING, 0, kUnhandled, 0, "&Unhandled\tF6", false, nullptr, 0},
    {MF_SEPARATOR, 0, 0, 0, "", false, nullptr, 0},
    {MF_STRING, 0, kViewOnly, 0, "&View only", false, nullptr, 0},
    {MF_STRING, 0, kAppOnly, 0, "&Application only", false, nullptr, 0},
};
const platform::MenuItemTemplate kBarItems[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, (WORD)std::size(kFileItems)},
};
const platform::MenuTemplate kMenu = {false, 0, kBarItems, (WORD)std::size(kBarItems)};

const platform::AcceleratorEntry kAccelEntries[] = {
    {FVIRTKEY, VK_F5, kRecolor},
    {FVIRTKEY, VK_F6, kUnhandled},
    {FVIRTKEY, VK_F7, kLock},
    {FVIRTKEY, VK_F1, ID_HELP},
    {FVIRTKEY | FSHIFT, VK_F1, ID_CONTEXT_HELP},
};
const platform::AcceleratorTable kAccels = {kAccelEntries, (WORD)std::size(kAccelEntries)};

const platform::ResourceEntry kEntries[] = {
    {nullptr, 4 /* RT_MENU */, nullptr, kFrameResource, &kMenu, sizeof(kMenu)},
    {nullptr, 9 /* RT_ACCELERATOR */, nullptr, kFrameResource, &kAccels, sizeof(kAccels)},
};

const char kFrameString[] = "Sketchpad\nSketch\nSketch Files";
const char kBareString[] = "Bare Frame";
const char kRecolorString[] = "Recolours every shape\nRecolor";
const char kLockString[] = "Locks the design";
const platform::StringEntry kStrings[] = {
    {kFrameResource, sizeof(kFrameString) - 1, kFrameString},
    {kBareResource, sizeof(kBareString) - 1, kBareString},
    {kRecolor, sizeof(kRecolorString) - 1, kRecolorString},
    {kLock, sizeof(kLockString) - 1, kLockString},
};

// The bundle keeps the table's address: it must live as long as the program.
const platform::ResourceTable kTable{kEntries, std::size(kEntries), kStrings, std::size(kStrings)};

} // namespace

void RegisterFrameTestResources()
{
    platform::RegisterResourceModule(platform::ResourceModule::Program, kTable);
}

namespace {

class FrameTest : public FrameFixture {
protected:
    static MSG KeyMessage(HWND hWnd, UINT vk)
    {
        MSG msg{};
        msg.hwnd = hWnd;
        msg.message = WM_KEYDOWN;
        msg.wParam = vk;
        msg.lParam = 1;
        return msg;
    }

    static HMENU FilePopup(CFrameWnd* pFrame) { return ::GetSubMenu(::GetMenu(pFrame->m_hWnd), 0); }

    static UINT StateOf(HMENU hMenu, UINT nID) { return ::GetMenuState(hMenu, nID, MF_BYCOMMAND); }

    static std::string MenuText(HMENU hMenu, UINT nID)
    {
        char text[64] = {};
        ::GetMenuString(hMenu, nID, text, sizeof(text), MF_BYCOMMAND);
        return text;
    }

    // A second view of pDoc in pFrame, child id nID.
    static CTestView* AddView(CFrameWnd* pFrame, CDocument* pDoc, UINT nID, const std::string& name)
    {
        CCreateContext context;
        context.m_pCurrentDoc = pDoc;
        context.m_pNewViewClass = RUNTIME_CLASS(CTestView);
        auto* pView = static_cast<CTestView*>(pFrame->CreateView(&context, nID));
        EXPECT_NE(pView, nullptr);
        if (pView != nullptr)
            pView->m_name = name;
        return pView;
    }

    static HWND MakeStatusBar(CFrameWnd* pFrame)
    {
        return ::CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, pFrame->m_hWnd,
            (HMENU)(UINT_PTR)AFX_IDW_STATUS_BAR, NULL, NULL);
    }
};

TEST_F(FrameTest, LoadFrameTakesCaptionMenuAndAcceleratorsOfTheResource)
{
    CTestFrame* pFrame = MakeFrame();
    ASSERT_NE(pFrame->m_hWnd, nullptr);
    EXPECT_EQ(pFrame->GetTitle(), "Sketchpad");
    EXPECT_EQ(TextOf(pFrame->m_hWnd), "Sketchpad");
    EXPECT_EQ(pFrame->m_nIDHelp, kFrameResource);
    EXPECT_NE(pFrame->m_hAccelTable, nullptr);
    HMENU hMenu = ::GetMenu(pFrame->m_hWnd);
    ASSERT_NE(hMenu, nullptr);
    EXPECT_EQ(pFrame->m_hMenuDefault, hMenu);
    EXPECT_EQ(MenuText(FilePopup(pFrame), kRecolor), "&Recolor\tF5");
    // The document's name will go first.
    EXPECT_TRUE(pFrame->GetStyle() & FWS_PREFIXTITLE);
    EXPECT_TRUE(pFrame->IsFrameWnd());

    // A resource with only a caption gives a frame without menu or keys.
    auto* pBare = new CTestFrame;
    ASSERT_TRUE(pBare->LoadFrame(kBareResource, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(TextOf(pBare->m_hWnd), "Bare Frame");
    EXPECT_EQ(::GetMenu(pBare->m_hWnd), nullptr);
    EXPECT_EQ(pBare->m_hAccelTable, nullptr);
    EXPECT_FALSE(pBare->GetStyle() & FWS_PREFIXTITLE);

    pBare->DestroyWindow();
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, FailedCreationLeavesNeitherWindowNorObject)
{
    // The view's window fails: the frame's WM_CREATE fails with it.
    auto* pDoc = new CTestDoc;
    pDoc->m_bAutoDelete = FALSE;
    auto* pFrame = new CTestFrame;
    CCreateContext context;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = RUNTIME_CLASS(CFailingView);
    EXPECT_FALSE(pFrame->LoadFrame(kFrameResource, WS_OVERLAPPEDWINDOW, NULL, &context));
    EXPECT_EQ(CTestFrame::s_alive, 0);
    EXPECT_EQ(::FindWindow(NULL, "Sketchpad"), nullptr);
    delete pDoc;

    // No window at all (an unknown class): the object goes too.
    pFrame = new CTestFrame;
    EXPECT_FALSE(pFrame->Create("NoSuchFrameClass", "x"));
    EXPECT_EQ(CTestFrame::s_alive, 0);
}

TEST_F(FrameTest, AcceleratorCommandsPassTheUpdateHandlerGate)
{
    CTestFrame* pFrame = MakeFrame();
    MSG msg = KeyMessage(pFrame->m_hWnd, VK_F5);
    EXPECT_TRUE(pFrame->PreTranslateMessage(&msg));
    EXPECT_EQ(pFrame->m_recolored, 1);

    // Disabled by its update handler: the key does nothing.
    pFrame->m_recolorEnabled = FALSE;
    msg = KeyMessage(pFrame->m_hWnd, VK_F5);
    pFrame->PreTranslateMessage(&msg);
    EXPECT_EQ(pFrame->m_recolored, 1);

    // A posted command meets the same gate.
    pFrame->PostMessage(WM_COMMAND, kRecolor);
    Pump();
    EXPECT_EQ(pFrame->m_recolored, 1);
    pFrame->m_recolorEnabled = TRUE;
    pFrame->PostMessage(WM_COMMAND, kRecolor);
    Pump();
    EXPECT_EQ(pFrame->m_recolored, 2);

    // A key no table holds is left to the window.
    msg = KeyMessage(pFrame->m_hWnd, 'Q');
    EXPECT_FALSE(pFrame->PreTranslateMessage(&msg));
    // A command nobody handles is harmless.
    msg = KeyMessage(pFrame->m_hWnd, VK_F6);
    pFrame->PreTranslateMessage(&msg);
    EXPECT_EQ(pFrame->m_recolored, 2);
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, CommandsGoToTheActiveViewThenTheFrameThenTheApplication)
{
    auto* pDoc = new CTestDoc;
    CTestFrame* pFrame = MakeFrame(pDoc);
    pFrame->InitialUpdateFrame(pDoc, TRUE);
    ASSERT_NE(pFrame->GetActiveView(), nullptr);
    Log().clear();

    pFrame->SendMessage(WM_COMMAND, kEverywhere);
    pFrame->SendMessage(WM_COMMAND, kViewOnly);
    pFrame->SendMessage(WM_COMMAND, kAppOnly);
    EXPECT_EQ(Log(), (std::vector<std::string>{"view Everywhere", "view ViewOnly", "app AppOnly"}));

    // Without an active view the frame is first.
    Log().clear();
    pFrame->SetActiveView(NULL, FALSE);
    pFrame->SendMessage(WM_COMMAND, kEverywhere);
    pFrame->SendMessage(WM_COMMAND, kViewOnly);
    EXPECT_EQ(Log(), (std::vector<std::string>{"frame Everywhere"}));

    pFrame->DestroyWindow();
    EXPECT_EQ(CTestDoc::s_alive, 0);
}

TEST_F(FrameTest, MenuPopupItemsFollowTheirUpdateHandlers)
{
    auto* pDoc = new CTestDoc;
    CTestFrame* pFrame = MakeFrame(pDoc);
    pFrame->InitialUpdateFrame(pDoc, TRUE);
    HMENU hPopup = FilePopup(pFrame);

    pFrame->m_recolorEnabled = FALSE;
    pFrame->m_locked = TRUE;
    pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hPopup, MAKELPARAM(0, 0));
    EXPECT_TRUE(StateOf(hPopup, kRecolor) & MF_GRAYED);
    EXPECT_TRUE(StateOf(hPopup, kLock) & MF_CHECKED);
    EXPECT_EQ(MenuText(hPopup, kLock), "&Unlock");
    EXPECT_TRUE(StateOf(hPopup, kUnhandled) & MF_GRAYED) << "no handler anywhere";
    EXPECT_FALSE(StateOf(hPopup, kViewOnly) & MF_GRAYED) << "the view handles it";
    EXPECT_FALSE(StateOf(hPopup, kAppOnly) & MF_GRAYED) << "the application handles it";
    EXPECT_FALSE(StateOf(hPopup, ID_FILE_OPEN) & MF_GRAYED);

    pFrame->m_recolorEnabled = TRUE;
    pFrame->m_locked = FALSE;
    pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hPopup, MAKELPARAM(0, 0));
    EXPECT_FALSE(StateOf(hPopup, kRecolor) & MF_GRAYED);
    EXPECT_FALSE(StateOf(hPopup, kLock) & MF_CHECKED);
    EXPECT_EQ(MenuText(hPopup, kLock), "&Lock");

    // Without automatic enabling, items without handlers keep their state.
    pFrame->m_bAutoMenuEnable = FALSE;
    ::EnableMenuItem(hPopup, kUnhandled, MF_BYCOMMAND | MF_ENABLED);
    pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hPopup, MAKELPARAM(0, 0));
    EXPECT_FALSE(StateOf(hPopup, kUnhandled) & MF_GRAYED);

    // The system menu is left alone.
    ::EnableMenuItem(hPopup, kUnhandled, MF_BYCOMMAND | MF_ENABLED);
    pFrame->m_bAutoMenuEnable = TRUE;
    pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)hPopup, MAKELPARAM(0, 1));
    EXPECT_FALSE(StateOf(hPopup, kUnhandled) & MF_GRAYED);
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, SetActiveViewTellsTheOldViewBeforeTheNewOne)
{
    auto* pDoc = new CTestDoc;
    CTestFrame* pFrame = MakeFrame(pDoc);
    auto* pFirst = static_cast<CTestView*>(pFrame->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE));
    ASSERT_NE(pFirst, nullptr);
    pFirst->m_name = "A";
    CTestView* pSecond = AddView(pFrame, pDoc, AFX_IDW_PANE_FIRST + 1, "B");
    pFrame->InitialUpdateFrame(pDoc, TRUE);
    EXPECT_EQ(pFrame->GetActiveView(), pFirst) << "the first pane becomes active";
    Log().clear();

    pFrame->SetActiveView(pSecond);
    EXPECT_EQ(Log(), (std::vector<std::string>{"A deactivate new=B old=A", "B activate new=B old=A"}));
    EXPECT_EQ(pFrame->GetActiveView(), pSecond);
    EXPECT_EQ(::GetFocus(), pSecond->m_hWnd);

    // The same view again changes nothing; without notice nobody hears.
    Log().clear();
    pFrame->SetActiveView(pSecond);
    pFrame->SetActiveView(pFirst, FALSE);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(pFrame->GetActiveView(), pFirst);

    // A view that activates another while it is being deactivated wins.
    pFirst->m_pStealOnDeactivate = pFirst;
    pFrame->SetActiveView(pSecond);
    EXPECT_EQ(pFrame->GetActiveView(), pFirst);
    EXPECT_EQ(Log(), (std::vector<std::string>{"A deactivate new=B old=A"}));

    // A destroyed view stops being the active one.
    pFirst->DestroyWindow();
    EXPECT_EQ(pFrame->GetActiveView(), nullptr);
    EXPECT_EQ(pFrame->GetActiveDocument(), nullptr);
    pFrame->SetActiveView(pSecond, FALSE);
    EXPECT_EQ(pFrame->GetActiveDocument(), pDoc);
    EXPECT_EQ(pFrame->GetActiveFrame(), pFrame);
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, CaptionJoinsTheDocumentTitleWhenAddToTitleIsSet)
{
    auto* pDoc = new CTestDoc;
    pDoc->SetTitle("Poster");
    CTestFrame* pFrame = MakeFrame(pDoc);
    pFrame->InitialUpdateFrame(pDoc, TRUE);
    EXPECT_EQ(TextOf(pFrame->m_hWnd), "Poster - Sketchpad");
    EXPECT_TRUE(::IsWindowVisible(pFrame->m_hWnd));

    // A second frame on the same document: both are numbered.
    CTestFrame* pSecond = MakeFrame(pDoc);
    pSecond->InitialUpdateFrame(pDoc, TRUE);
    EXPECT_EQ(TextOf(pFrame->m_hWnd), "Poster:1 - Sketchpad");
    EXPECT_EQ(TextOf(pSecond->m_hWnd), "Poster:2 - Sketchpad");
    pSecond->DestroyWindow();

    // Without FWS_PREFIXTITLE the application comes first.
    pFrame->ModifyStyle(FWS_PREFIXTITLE, 0);
    pFrame->m_nWindow = 0;
    pFrame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(TextOf(pFrame->m_hWnd), "Sketchpad - Poster");
    pFrame->OnUpdateFrameTitle(FALSE);
    EXPECT_EQ(TextOf(pFrame->m_hWnd), "Sketchpad");
    pFrame->DestroyWindow();

    // Without FWS_ADDTOTITLE the caption is left alone.
    auto* pDoc2 = new CTestDoc;
    pDoc2->SetTitle("Poster");
    CTestFrame* pPlain = MakeFrame(pDoc2, WS_OVERLAPPEDWINDOW);
    pPlain->InitialUpdateFrame(pDoc2, TRUE);
    EXPECT_EQ(TextOf(pPlain->m_hWnd), "Sketchpad");
    pPlain->DestroyWindow();
}

TEST_F(FrameTest, MessageTextAndMenuPromptsReachTheStatusBar)
{
    CTestFrame* pFrame = MakeFrame();
    HWND hBar = MakeStatusBar(pFrame);
    ASSERT_NE(hBar, nullptr);
    EXPECT_EQ(pFrame->GetMessageBar()->m_hWnd, hBar);

    pFrame->SetMessageText("Drawing...");
    EXPECT_EQ(TextOf(hBar), "Drawing...");
    pFrame->SetMessageText(kRecolor);
    EXPECT_EQ(TextOf(hBar), "Recolours every shape") << "only the part before the newline";
    pFrame->SetMessageText(kLock);
    EXPECT_EQ(TextOf(hBar), "Locks the design");
    pFrame->SetMessageText(AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(TextOf(hBar), "Ready");
    pFrame->SetMessageText(kUnhandled);
    EXPECT_EQ(TextOf(hBar), "") << "a command without a string has no prompt";

    // Fly-by prompts while a menu is open, and the idle text when it closes.
    HMENU hPopup = FilePopup(pFrame);
    pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(kRecolor, MF_STRING), (LPARAM)hPopup);
    EXPECT_EQ(TextOf(hBar), "Recolours every shape");
    EXPECT_EQ(pFrame->m_nIDTracking, kRecolor);
    pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), (LPARAM)::GetMenu(pFrame->m_hWnd));
    EXPECT_EQ(TextOf(hBar), "");
    pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(TextOf(hBar), "Ready");

    // A bar's fly-by prompt arrives as WM_SETMESSAGESTRING with the id.
    EXPECT_EQ(pFrame->SendMessage(WM_SETMESSAGESTRING, kLock), (LRESULT)AFX_IDS_IDLEMESSAGE)
        << "answers the previous prompt";
    EXPECT_EQ(TextOf(hBar), "Locks the design");

    // A frame inside this one (a document frame) uses this frame's bar.
    auto* pChild = new CTestFrame;
    ASSERT_TRUE(pChild->Create(NULL, "child", WS_CHILD | WS_VISIBLE, CRect(0, 30, 100, 100), pFrame));
    pChild->SetMessageText(kRecolor);
    EXPECT_EQ(TextOf(hBar), "Recolours every shape");
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, CloseAsksTheDocumentAndKeepsTheFrameWhenRefused)
{
    auto* pDoc = new CTestDoc;
    CTestFrame* pFrame = MakeFrame(pDoc);
    pFrame->InitialUpdateFrame(pDoc, TRUE);
    HWND hWnd = pFrame->m_hWnd;

    pDoc->m_saveAnswer = FALSE;
    ::SendMessage(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(pDoc->m_saveAsked, 1);
    EXPECT_TRUE(::IsWindow(hWnd));

    pDoc->m_saveAnswer = TRUE;
    Log().clear();
    ::SendMessage(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "doc SaveModified"), 1);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CTestDoc::s_alive, 0) << "the last frame closed the document";
}

TEST_F(FrameTest, MainFrameCloseAsksForEveryDocumentFirst)
{
    CTestFrame* pFrame = MakeFrame();
    m_app->m_pMainWnd = pFrame;
    HWND hWnd = pFrame->m_hWnd;

    m_app->m_saveAllAnswer = FALSE;
    ::SendMessage(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(m_app->m_saveAllAsked, 1);
    EXPECT_TRUE(::IsWindow(hWnd));
    EXPECT_FALSE(::SendMessage(hWnd, WM_QUERYENDSESSION, 0, 0)) << "ending the session asks the same";

    m_app->m_saveAllAnswer = TRUE;
    ::SendMessage(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(FrameTest, CloseProcReplacesClosing)
{
    CTestFrame* pFrame = MakeFrame();
    static int s_calls;
    s_calls = 0;
    pFrame->m_lpfnCloseProc = [](CFrameWnd*) { ++s_calls; };
    pFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(s_calls, 1);
    EXPECT_TRUE(::IsWindow(pFrame->m_hWnd));
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, LayoutGivesTheViewTheClientAreaLeftByTheBars)
{
    auto* pDoc = new CTestDoc;
    CTestFrame* pFrame = MakeFrame(pDoc);
    pFrame->InitialUpdateFrame(pDoc, TRUE);
    HWND hView = pFrame->GetActiveView()->m_hWnd;
    // The view covers the frame's client area (its own border may lie
    // just outside it).
    auto coversClient = [pFrame, hView] {
        CRect client, view, both;
        pFrame->GetClientRect(&client);
        ::GetWindowRect(hView, &view);
        pFrame->ScreenToClient(&view);
        both.IntersectRect(&view, &client);
        return both == client && view.Width() <= client.Width() + 2;
    };
    pFrame->MoveWindow(10, 10, 400, 300);
    EXPECT_TRUE(coversClient());

    // A delayed layout waits for the idle update.
    ::MoveWindow(hView, 0, 0, 10, 10, TRUE);
    pFrame->DelayRecalcLayout();
    EXPECT_FALSE(coversClient());
    pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(coversClient());
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, ModalStateDisablesTheFrameAndItsPopupsUntilItEnds)
{
    CTestFrame* pFrame = MakeFrame();
    HWND hOwned = ::CreateWindowEx(0, "Static", "owned", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, pFrame->m_hWnd, NULL,
        NULL, NULL);
    HWND hDisabled = ::CreateWindowEx(0, "Static", "off", WS_POPUP | WS_DISABLED, 0, 0, 50, 50, pFrame->m_hWnd,
        NULL, NULL, NULL);

    pFrame->BeginModalState();
    pFrame->BeginModalState();
    EXPECT_TRUE(pFrame->InModalState());
    EXPECT_FALSE(::IsWindowEnabled(pFrame->m_hWnd));
    EXPECT_FALSE(::IsWindowEnabled(hOwned));

    pFrame->EndModalState();
    EXPECT_FALSE(::IsWindowEnabled(pFrame->m_hWnd)) << "nested states end with the outer one";
    pFrame->EndModalState();
    EXPECT_FALSE(pFrame->InModalState());
    EXPECT_TRUE(::IsWindowEnabled(pFrame->m_hWnd));
    EXPECT_TRUE(::IsWindowEnabled(hOwned));
    EXPECT_FALSE(::IsWindowEnabled(hDisabled)) << "what was disabled before stays so";
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, DroppedFilesAreOpenedThroughTheApplication)
{
    CTestFrame* pFrame = MakeFrame();
    pFrame->ShowWindow(SW_SHOW);
    pFrame->DragAcceptFiles(TRUE);
    CRect rect;
    pFrame->GetWindowRect(&rect);
    platform::headless::DropFiles(pFrame->m_hWnd, {"/tmp/one.txt", "/tmp/two.txt"}, rect.left + 20, rect.top + 40);
    Pump();
    ASSERT_EQ(m_app->m_opened.size(), 2u);
    EXPECT_NE(m_app->m_opened[0].find("one.txt"), std::string::npos);
    EXPECT_NE(m_app->m_opened[1].find("two.txt"), std::string::npos);
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, MiniFrameHasASmallCaptionAndNoMenu)
{
    auto* pMini = new CMiniFrameWnd;
    ASSERT_TRUE(pMini->Create(NULL, "Tools", WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_THICKFRAME | MFS_BLOCKSYSMENU,
        CRect(60, 120, 260, 220)));
    EXPECT_TRUE(pMini->IsFrameWnd());
    EXPECT_TRUE(pMini->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(pMini->GetStyle() & WS_THICKFRAME);
    EXPECT_FALSE(pMini->GetStyle() & WS_MAXIMIZEBOX) << "the mini-frame bit must not become a window style";
    EXPECT_EQ(::GetMenu(pMini->m_hWnd), nullptr);
    EXPECT_EQ(TextOf(pMini->m_hWnd), "Tools");
    CRect window, client;
    pMini->GetWindowRect(&window);
    EXPECT_EQ(window, CRect(60, 120, 260, 220));
    pMini->GetClientRect(&client);
    pMini->ClientToScreen(&client);
    int captionHeight = client.top - window.top;
    EXPECT_LT(captionHeight, ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYFRAME));

    // A closed mini frame is gone, and its object with it.
    HWND hWnd = pMini->m_hWnd;
    ::SendMessage(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hWnd));
}

} // namespace

} // namespace frametest
