#include "tests/framework/FrameworkTestSupport.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/MdiFrame.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Mdi.h"

#include <string>
#include <vector>

namespace mditest {

constexpr UINT kMainResource = 7901;
constexpr UINT kPageResource = 7902;  // "Page" documents
constexpr UINT kSheetResource = 7903; // "Sheet" documents

constexpr UINT kMainOnly = 7911;    // main frame
constexpr UINT kPageCommand = 7912; // F8 in a Page window
constexpr UINT kSheetCommand = 7913; // F8 in a Sheet window
constexpr UINT kFrameAndMain = 7914; // child frame and main frame
constexpr UINT kMainAndApp = 7915;  // main frame and application
constexpr UINT kDocAndChild = 7916; // document and child frame

// Commands carried out, in order.
std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

// What the views were told about activation.
std::vector<std::string>& ViewLog()
{
    static std::vector<std::string> log;
    return log;
}

class CMdiTestApp : public CWinApp {
public:
    CMdiTestApp() : CWinApp("MdiTest") {}
    BOOL InitInstance() override { return TRUE; }

protected:
    afx_msg void OnMainAndApp() { Log().push_back("app"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMdiTestApp, CWinApp)
    ON_COMMAND(kMainAndApp, OnMainAndApp)
END_MESSAGE_MAP()

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
protected:
    afx_msg void OnMainOnly() { Log().push_back("main"); }
    afx_msg void OnFrameAndMain() { Log().push_back("main"); }
    afx_msg void OnMainAndApp() { Log().push_back("main"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)
BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_COMMAND(kMainOnly, OnMainOnly)
    ON_COMMAND(kFrameAndMain, OnFrameAndMain)
    ON_COMMAND(kMainAndApp, OnMainAndApp)
END_MESSAGE_MAP()

class CPageDoc : public CDocument {
    DECLARE_DYNCREATE(CPageDoc)
protected:
    afx_msg void OnPageCommand() { Log().push_back("page " + std::string(GetTitle())); }
    afx_msg void OnSheetCommand() { Log().push_back("sheet " + std::string(GetTitle())); }
    afx_msg void OnDocAndChild() { Log().push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CPageDoc, CDocument)
BEGIN_MESSAGE_MAP(CPageDoc, CDocument)
    ON_COMMAND(kPageCommand, OnPageCommand)
    ON_COMMAND(kSheetCommand, OnSheetCommand)
    ON_COMMAND(kDocAndChild, OnDocAndChild)
END_MESSAGE_MAP()

class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame() { ++s_alive; }
    ~CChildFrame() override { --s_alive; }
    static inline int s_alive = 0;

protected:
    afx_msg void OnFrameAndMain() { Log().push_back("child"); }
    afx_msg void OnDocAndChild() { Log().push_back("child"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)
BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
    ON_COMMAND(kFrameAndMain, OnFrameAndMain)
    ON_COMMAND(kDocAndChild, OnDocAndChild)
END_MESSAGE_MAP()

class CPageView : public CView {
    DECLARE_DYNCREATE(CPageView)
public:
    void OnDraw(CDC*) override {}
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override
    {
        ViewLog().push_back(std::string(bActivate ? "activate " : "deactivate ") + std::string(GetDocument()->GetTitle()));
        CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    }
};
IMPLEMENT_DYNCREATE(CPageView, CView)

// A page taller and wider than any window the tests arrange.
class CTallPageView : public CScrollView {
    DECLARE_DYNCREATE(CTallPageView)
public:
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        CScrollView::OnInitialUpdate();
        SetScrollSizes(MM_TEXT, CSize(2000, 2000));
    }
};
IMPLEMENT_DYNCREATE(CTallPageView, CScrollView)

namespace {

const platform::MenuItemTemplate kWindowItems[] = {
    {MF_STRING, 0, ID_WINDOW_NEW, 0, "&New Window", false, nullptr, 0},
    {MF_STRING, 0, ID_WINDOW_CASCADE, 0, "&Cascade", false, nullptr, 0},
    {MF_STRING, 0, ID_WINDOW_TILE_HORZ, 0, "&Tile Horizontally", false, nullptr, 0},
};
const platform::MenuItemTemplate kFileItems[] = {
    {MF_STRING, 0, kMainOnly, 0, "&Main", false, nullptr, 0},
};
const platform::MenuItemTemplate kPageItems[] = {
    {MF_STRING, 0, kPageCommand, 0, "&Page", false, nullptr, 0},
};
const platform::MenuItemTemplate kSheetItems[] = {
    {MF_STRING, 0, kSheetCommand, 0, "&Sheet", false, nullptr, 0},
};
// The main frame's Window popup has no window command: it is found by its
// title.
const platform::MenuItemTemplate kMainWindowItems[] = {
    {MF_STRING, 0, kMainOnly, 0, "&Arrange", false, nullptr, 0},
};
const platform::MenuItemTemplate kMainBar[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, 1},
    {MF_STRING, 0, 0, 0, "&Window", true, kMainWindowItems, 1},
};
const platform::MenuItemTemplate kPageBar[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, 1},
    {MF_STRING, 0, 0, 0, "&Page", true, kPageItems, 1},
    {MF_STRING, 0, 0, 0, "&Window", true, kWindowItems, 3},
};
const platform::MenuItemTemplate kSheetBar[] = {
    {MF_STRING, 0, 0, 0, "&Sheet", true, kSheetItems, 1},
    {MF_STRING, 0, 0, 0, "&Windows", true, kWindowItems, 3},
};
const platform::MenuTemplate kMainMenu = {false, 0, kMainBar, 2};
const platform::MenuTemplate kPageMenu = {false, 0, kPageBar, 3};
const platform::MenuTemplate kSheetMenu = {false, 0, kSheetBar, 2};

const platform::AcceleratorEntry kMainAccelEntries[] = {
    {FVIRTKEY, VK_F9, kMainOnly},
};
const platform::AcceleratorEntry kPageAccelEntries[] = {
    {FVIRTKEY, VK_F8, kPageCommand},
};
const platform::AcceleratorEntry kSheetAccelEntries[] = {
    {FVIRTKEY, VK_F8, kSheetCommand},
};
const platform::AcceleratorTable kMainAccels = {kMainAccelEntries, 1};
const platform::AcceleratorTable kPageAccels = {kPageAccelEntries, 1};
const platform::AcceleratorTable kSheetAccels = {kSheetAccelEntries, 1};

const platform::ResourceEntry kEntries[] = {
    {nullptr, 4 /* RT_MENU */, nullptr, kMainResource, &kMainMenu, sizeof(kMainMenu)},
    {nullptr, 4 /* RT_MENU */, nullptr, kPageResource, &kPageMenu, sizeof(kPageMenu)},
    {nullptr, 4 /* RT_MENU */, nullptr, kSheetResource, &kSheetMenu, sizeof(kSheetMenu)},
    {nullptr, 9 /* RT_ACCELERATOR */, nullptr, kMainResource, &kMainAccels, sizeof(kMainAccels)},
    {nullptr, 9 /* RT_ACCELERATOR */, nullptr, kPageResource, &kPageAccels, sizeof(kPageAccels)},
    {nullptr, 9 /* RT_ACCELERATOR */, nullptr, kSheetResource, &kSheetAccels, sizeof(kSheetAccels)},
};
const char kMainString[] = "Studio";
const char kPageString[] = "\nPage\nPage\nPages (*.pg)\n.pg\nTest.Page\nTest Page";
const char kSheetString[] = "\nSheet\nSheet\nSheets (*.sh)\n.sh\nTest.Sheet\nTest Sheet";
const platform::StringEntry kStrings[] = {
    {kMainResource, sizeof(kMainString) - 1, kMainString},
    {kPageResource, sizeof(kPageString) - 1, kPageString},
    {kSheetResource, sizeof(kSheetString) - 1, kSheetString},
};
const platform::ResourceTable kTable{kEntries, std::size(kEntries), kStrings, std::size(kStrings)};

std::string TextOf(HWND hWnd)
{
    char buffer[256] = {};
    ::GetWindowText(hWnd, buffer, sizeof buffer);
    return buffer;
}

MSG Key(HWND hWnd, UINT vk)
{
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1;
    return msg;
}

class MdiFrameTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        fwtest::FrameworkTest::SetUp();
        Log().clear();
        ViewLog().clear();
        platform::RegisterResourceModule(platform::ResourceModule::Program, kTable);
        CMdiTestApp& app = MakeApp<CMdiTestApp>();
        m_pMain = new CMainFrame;
        ASSERT_TRUE(m_pMain->LoadFrame(kMainResource));
        app.m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        m_pPages = new CMultiDocTemplate(kPageResource, RUNTIME_CLASS(CPageDoc), RUNTIME_CLASS(CChildFrame),
            RUNTIME_CLASS(CPageView));
        m_pSheets = new CMultiDocTemplate(kSheetResource, RUNTIME_CLASS(CPageDoc), RUNTIME_CLASS(CChildFrame),
            RUNTIME_CLASS(CPageView));
        app.AddDocTemplate(m_pPages);
        app.AddDocTemplate(m_pSheets);
    }

    CMDIChildWnd* ChildOf(CDocument* pDoc)
    {
        POSITION pos = pDoc->GetFirstViewPosition();
        CView* pView = pos != NULL ? pDoc->GetNextView(pos) : NULL;
        return pView != NULL ? static_cast<CMDIChildWnd*>(pView->GetParentFrame()) : NULL;
    }

    HMENU WindowPopupShown() { return m_pMain->GetWindowMenuPopup(::GetMenu(m_pMain->m_hWnd)); }

    // Holds Ctrl down for TranslateMDISysAccel.
    void HoldControl(bool down)
    {
        if (down)
            platform::headless::KeyDown(VK_CONTROL);
        else
            platform::headless::KeyUp(VK_CONTROL);
        Pump();
    }

    CMainFrame* m_pMain = nullptr;
    CMultiDocTemplate* m_pPages = nullptr;
    CMultiDocTemplate* m_pSheets = nullptr;
};

TEST_F(MdiFrameTest, ClientChildrenAndWindowMenuPopup)
{
    ASSERT_NE(m_pMain->m_hWndMDIClient, HWND(NULL));
    EXPECT_EQ(::GetDlgCtrlID(m_pMain->m_hWndMDIClient), int(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(m_pMain->GetActiveFrame(), static_cast<CFrameWnd*>(m_pMain));
    // Found by its commands, or by its title when it has none.
    EXPECT_EQ(m_pMain->GetWindowMenuPopup(m_pPages->m_hMenuShared), ::GetSubMenu(m_pPages->m_hMenuShared, 2));
    EXPECT_EQ(m_pMain->GetWindowMenuPopup(m_pSheets->m_hMenuShared), ::GetSubMenu(m_pSheets->m_hMenuShared, 1));
    EXPECT_EQ(m_pMain->GetWindowMenuPopup(m_pMain->m_hMenuDefault), ::GetSubMenu(m_pMain->m_hMenuDefault, 1));

    CDocument* pDoc = m_pPages->OpenDocumentFile(NULL);
    ASSERT_NE(pDoc, nullptr);
    CMDIChildWnd* pChild = ChildOf(pDoc);
    ASSERT_NE(pChild, nullptr);
    EXPECT_EQ(::GetParent(pChild->m_hWnd), m_pMain->m_hWndMDIClient);
    EXPECT_EQ(pChild->GetDlgCtrlID(), int(AFX_IDM_FIRST_MDICHILD));
    EXPECT_EQ(pChild->GetMDIFrame(), m_pMain);
    EXPECT_TRUE(pChild->IsWindowVisible());
    BOOL bMaximized = TRUE;
    EXPECT_EQ(m_pMain->MDIGetActive(&bMaximized), pChild);
    EXPECT_FALSE(bMaximized);
    EXPECT_EQ(m_pMain->GetActiveFrame(), static_cast<CFrameWnd*>(pChild));
}

TEST_F(MdiFrameTest, MenusAndAcceleratorsFollowTheActiveChildAndComeBackWhenTheLastCloses)
{
    CDocument* pPage = m_pPages->OpenDocumentFile(NULL);
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pPages->m_hMenuShared);
    CMDIChildWnd* pPageFrame = ChildOf(pPage);
    EXPECT_EQ(pPageFrame->m_hMenuShared, m_pPages->m_hMenuShared);
    EXPECT_EQ(pPageFrame->m_hAccelTable, m_pPages->m_hAccelTable);

    CDocument* pSheet = m_pSheets->OpenDocumentFile(NULL);
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pSheets->m_hMenuShared);

    // F8 means what the active child's accelerators say.
    MSG msg = Key(m_pMain->m_hWnd, VK_F8);
    EXPECT_TRUE(m_pMain->PreTranslateMessage(&msg));
    Pump();
    m_pMain->MDIActivate(pPageFrame);
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pPages->m_hMenuShared);
    msg = Key(m_pMain->m_hWnd, VK_F8);
    EXPECT_TRUE(m_pMain->PreTranslateMessage(&msg));
    Pump();
    // The frame's own accelerators still work.
    msg = Key(m_pMain->m_hWnd, VK_F9);
    EXPECT_TRUE(m_pMain->PreTranslateMessage(&msg));
    Pump();
    EXPECT_EQ(Log(), (std::vector<std::string>{"sheet Sheet1", "page Page1", "main"}));

    // The window list moves with the menu.
    HMENU hWindow = WindowPopupShown();
    int count = ::GetMenuItemCount(hWindow);
    ASSERT_EQ(count, 3 + 3);
    char text[64] = {};
    ::GetMenuString(hWindow, UINT(count - 2), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&1 Page1");
    EXPECT_TRUE(::GetMenuState(hWindow, AFX_IDM_FIRST_MDICHILD, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(m_pSheets->m_hMenuShared, 1)), 3);

    pSheet->OnCloseDocument();
    pPage->OnCloseDocument();
    EXPECT_EQ(CChildFrame::s_alive, 0);
    EXPECT_EQ(m_pMain->MDIGetActive(), nullptr);
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pMain->m_hMenuDefault);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(m_pPages->m_hMenuShared, 2)), 3);
    EXPECT_EQ(TextOf(m_pMain->m_hWnd), "Studio");
}

TEST_F(MdiFrameTest, TitlesFollowActivationAndMaximisedChildren)
{
    CDocument* pFirst = m_pPages->OpenDocumentFile(NULL);
    CMDIChildWnd* pFirstFrame = ChildOf(pFirst);
    EXPECT_EQ(TextOf(pFirstFrame->m_hWnd), "Page1");
    EXPECT_EQ(TextOf(m_pMain->m_hWnd), "Page1 - Studio");

    pFirstFrame->MDIMaximize();
    EXPECT_EQ(TextOf(m_pMain->m_hWnd), "Studio - [Page1]");

    // A new child in a frame with a maximised child opens maximised, and
    // the previous one goes back to its normal size behind it.
    CDocument* pSecond = m_pPages->OpenDocumentFile(NULL);
    CMDIChildWnd* pSecondFrame = ChildOf(pSecond);
    BOOL bMaximized = FALSE;
    EXPECT_EQ(m_pMain->MDIGetActive(&bMaximized), pSecondFrame);
    EXPECT_TRUE(bMaximized);
    EXPECT_FALSE(pFirstFrame->IsZoomed());
    EXPECT_EQ(TextOf(m_pMain->m_hWnd), "Studio - [Page2]");

    // Activation keeps the maximised state.
    m_pMain->MDINext();
    EXPECT_EQ(m_pMain->MDIGetActive(&bMaximized), pFirstFrame);
    EXPECT_TRUE(bMaximized);
    EXPECT_EQ(TextOf(m_pMain->m_hWnd), "Studio - [Page1]");

    pFirstFrame->MDIRestore();
    EXPECT_EQ(TextOf(m_pMain->m_hWnd), "Page1 - Studio");
    m_pMain->MDIActivate(pSecondFrame);
    EXPECT_EQ(TextOf(m_pMain->m_hWnd), "Page2 - Studio");
}

TEST_F(MdiFrameTest, CommandsGoToTheActiveChildBeforeTheFrameAndTheFrameBeforeTheApplication)
{
    m_pPages->OpenDocumentFile(NULL);
    m_pMain->SendMessage(WM_COMMAND, kFrameAndMain);
    m_pMain->SendMessage(WM_COMMAND, kMainAndApp);
    m_pMain->SendMessage(WM_COMMAND, kDocAndChild);
    EXPECT_EQ(Log(), (std::vector<std::string>{"child", "main", "doc"}));

    // Without children the frame's own map answers.
    Log().clear();
    CMDIChildWnd* pChild = m_pMain->MDIGetActive();
    ASSERT_NE(pChild, nullptr);
    pChild->GetActiveDocument()->OnCloseDocument();
    m_pMain->SendMessage(WM_COMMAND, kFrameAndMain);
    EXPECT_EQ(Log(), (std::vector<std::string>{"main"}));
}

TEST_F(MdiFrameTest, ActivationTellsTheViews)
{
    CDocument* pFirst = m_pPages->OpenDocumentFile(NULL);
    CDocument* pSecond = m_pPages->OpenDocumentFile(NULL);
    ViewLog().clear();
    m_pMain->MDIActivate(ChildOf(pFirst));
    EXPECT_EQ(ViewLog(), (std::vector<std::string>{"deactivate Page2", "activate Page1"}));

    // The main frame losing and regaining activation reaches the active
    // child's view.
    ViewLog().clear();
    m_pMain->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    m_pMain->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(ViewLog(), (std::vector<std::string>{"deactivate Page1", "activate Page1"}));
    (void)pSecond;
}

TEST_F(MdiFrameTest, ControlF6ActivatesNextAndControlF4ClosesTheActiveChild)
{
    CDocument* pFirst = m_pPages->OpenDocumentFile(NULL);
    CDocument* pSecond = m_pPages->OpenDocumentFile(NULL);
    CMDIChildWnd* pFirstFrame = ChildOf(pFirst);
    HoldControl(true);
    MSG msg = Key(m_pMain->m_hWnd, VK_F6);
    EXPECT_TRUE(m_pMain->PreTranslateMessage(&msg));
    EXPECT_EQ(m_pMain->MDIGetActive(), pFirstFrame);

    msg = Key(m_pMain->m_hWnd, VK_F4);
    EXPECT_TRUE(m_pMain->PreTranslateMessage(&msg));
    HoldControl(false);
    EXPECT_EQ(CChildFrame::s_alive, 1);
    EXPECT_EQ(m_pMain->MDIGetActive(), ChildOf(pSecond));
}

TEST_F(MdiFrameTest, CreateNewChildTakesTheGivenMenuAndAccelerators)
{
    HMENU hMenu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(kSheetResource));
    HACCEL hAccel = ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(kSheetResource));
    CMDIChildWnd* pChild = m_pMain->CreateNewChild(RUNTIME_CLASS(CChildFrame), kPageResource, hMenu, hAccel);
    ASSERT_NE(pChild, nullptr);
    EXPECT_EQ(m_pMain->MDIGetActive(), pChild);
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), hMenu);
    EXPECT_EQ(pChild->m_hAccelTable, hAccel);
    pChild->MDIDestroy();
    EXPECT_EQ(CChildFrame::s_alive, 0);
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pMain->m_hMenuDefault);
    ::DestroyMenu(hMenu);
}

TEST_F(MdiFrameTest, WindowCommandsArrangeAndAreDisabledWithoutChildren)
{
    CDocument* pFirst = m_pPages->OpenDocumentFile(NULL);
    CDocument* pSecond = m_pPages->OpenDocumentFile(NULL);
    m_pMain->SendMessage(WM_COMMAND, ID_WINDOW_TILE_VERT);
    CRect client;
    ::GetClientRect(m_pMain->m_hWndMDIClient, &client);
    CRect first, second;
    ChildOf(pFirst)->GetWindowRect(&first);
    ChildOf(pSecond)->GetWindowRect(&second);
    EXPECT_EQ(first.Height(), client.Height());
    EXPECT_EQ(first.Width() + second.Width(), client.Width());

    // ID_WINDOW_NEW opens a second window on the active document.
    m_pMain->SendMessage(WM_COMMAND, ID_WINDOW_NEW);
    EXPECT_EQ(CChildFrame::s_alive, 3);
    CMDIChildWnd* pActive = m_pMain->MDIGetActive();
    ASSERT_NE(pActive, nullptr);
    EXPECT_EQ(pActive->GetActiveDocument(), pSecond);
    EXPECT_EQ(TextOf(pActive->m_hWnd), "Page2:2");

    pFirst->OnCloseDocument();
    pSecond->OnCloseDocument();
    EXPECT_EQ(CChildFrame::s_alive, 0);
    // With nothing to arrange the command is disabled, so it is dropped.
    m_pMain->SendMessage(WM_COMMAND, ID_WINDOW_NEW);
    EXPECT_EQ(CChildFrame::s_alive, 0);
}

TEST_F(MdiFrameTest, ArrangedScrollViewsKeepTheirBarsInsideTheirFrames)
{
    auto* pTall = new CMultiDocTemplate(kPageResource, RUNTIME_CLASS(CPageDoc), RUNTIME_CLASS(CChildFrame),
        RUNTIME_CLASS(CTallPageView));
    AfxGetApp()->AddDocTemplate(pTall);
    CDocument* pDoc = pTall->OpenDocumentFile(NULL);
    ASSERT_NE(pDoc, nullptr);
    CMDIChildWnd* pChild = ChildOf(pDoc);
    ASSERT_NE(pChild, nullptr);
    POSITION pos = pDoc->GetFirstViewPosition();
    CView* pView = pDoc->GetNextView(pos);
    Pump();
    // Each arrangement lays the frame out again while the view shows its
    // bars; the view must still fill the frame's client area exactly, or
    // its bars end up outside the frame where nobody sees them.
    for (UINT nArrange : {UINT(ID_WINDOW_TILE_HORZ), UINT(ID_WINDOW_CASCADE), UINT(ID_WINDOW_TILE_VERT)}) {
        SCOPED_TRACE(nArrange);
        m_pMain->SendMessage(WM_COMMAND, nArrange);
        Pump();
        EXPECT_NE(pView->GetStyle() & WS_VSCROLL, 0u);
        EXPECT_NE(pView->GetStyle() & WS_HSCROLL, 0u);
        CRect frameClient, view;
        pChild->GetClientRect(&frameClient);
        pChild->ClientToScreen(&frameClient);
        pView->GetWindowRect(&view);
        EXPECT_TRUE(view == frameClient) << "view " << view.left << "," << view.top << "," << view.right << ","
                                         << view.bottom << " in " << frameClient.left << "," << frameClient.top
                                         << "," << frameClient.right << "," << frameClient.bottom;
    }
}

} // namespace
} // namespace mditest
