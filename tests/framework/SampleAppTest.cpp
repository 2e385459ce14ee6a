// A small application put together from the class library as a program
// would: an MDI main frame with a toolbar and a dialog bar, two document
// templates whose child frames bring their own menus and accelerators, and
// a scroll view. It is driven on the headless back end.

#include "FrameworkTestSupport.h"

#include "platform/base/ResourceTables.h"

#include <string>
#include <vector>

namespace sampleapp {
namespace {

constexpr UINT kMainRes = 7950;
constexpr UINT kDrawRes = 7951;
constexpr UINT kTextRes = 7952;

constexpr UINT kCmdEffect = 33065;   // the view's; enabled only with a selection
constexpr UINT kCmdGrid = 7961;      // the document's; checked while the grid is on
constexpr UINT kCmdZoom = 7962;      // the child frame's; its label follows the zoom
constexpr UINT kCmdOrphan = 7963;    // nobody handles it
constexpr UINT kCmdRoute = 7964;     // every level handles it and passes it on
constexpr UINT kCmdTextOnly = 7965;  // the text view's
constexpr UINT kCmdPadDisabled = 7966;
constexpr UINT kCmdPadOrphan = 7967;
constexpr UINT kCmdInView = 33202;   // a command of the document; a button in the view has its id

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

// ---- The application's classes --------------------------------------------------------------------

class CSampleApp : public CWinApp {
public:
    CSampleApp()
        : CWinApp("Sample")
    {
    }
    std::vector<LONG> idleCounts;
    BOOL InitInstance() override;
    BOOL OnIdle(LONG lCount) override
    {
        idleCounts.push_back(lCount);
        CWinApp::OnIdle(lCount);
        return lCount < 4;
    }
    CMultiDocTemplate* m_pDrawTemplate = nullptr;
    CMultiDocTemplate* m_pTextTemplate = nullptr;

protected:
    afx_msg BOOL OnRoute(UINT)
    {
        Log().push_back("app");
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSampleApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND_EX(kCmdRoute, OnRoute)
END_MESSAGE_MAP()

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CToolBar m_wndToolBar;
    CDialogBar m_wndPad;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg BOOL OnRoute(UINT)
    {
        Log().push_back("main frame");
        return FALSE;
    }
    afx_msg void OnUpdatePadDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnPadDisabled() { Log().push_back("pad disabled ran"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)
BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND_EX(kCmdRoute, OnRoute)
    ON_COMMAND(kCmdPadDisabled, OnPadDisabled)
    ON_UPDATE_COMMAND_UI(kCmdPadDisabled, OnUpdatePadDisabled)
END_MESSAGE_MAP()

const platform::DialogItemTemplate kPadItems[] = {
    {BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE, 0, 0, 2, 2, 40, 12, int(kCmdEffect), "BUTTON", "Effect", 0},
    {BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE, 0, 0, 44, 2, 40, 12, int(kCmdPadDisabled), "BUTTON", "Off", 0},
    {BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE, 0, 0, 86, 2, 40, 12, int(kCmdPadOrphan), "BUTTON", "None", 0},
};
const platform::DialogTemplate kPadTemplate = {false, WS_CHILD | DS_SETFONT, 0, 0, 0, 0, 200, 16, "", nullptr, 0, "",
    8, 400, 0, 0, "MS Sans Serif", kPadItems, 3};

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CMDIFrameWnd::OnCreate(lpcs) == -1)
        return -1;
    static const UINT buttons[] = {kCmdEffect, kCmdGrid, ID_SEPARATOR, kCmdOrphan};
    if (!m_wndToolBar.Create(this) || !m_wndToolBar.SetButtons(buttons, 4))
        return -1;
    if (!m_wndPad.CreateIndirect(this, &kPadTemplate, CBRS_TOP, AFX_IDW_DIALOGBAR))
        return -1;
    return 0;
}

class CDrawDoc : public CDocument {
    DECLARE_DYNCREATE(CDrawDoc)
public:
    BOOL m_bGrid = FALSE;

protected:
    afx_msg BOOL OnRoute(UINT)
    {
        Log().push_back("document");
        return FALSE;
    }
    afx_msg void OnGrid() { m_bGrid = !m_bGrid; }
    afx_msg void OnUpdateGrid(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bGrid); }
    afx_msg void OnInView() { Log().push_back("document command " + std::to_string(kCmdInView)); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CDrawDoc, CDocument)
BEGIN_MESSAGE_MAP(CDrawDoc, CDocument)
    ON_COMMAND_EX(kCmdRoute, OnRoute)
    ON_COMMAND(kCmdGrid, OnGrid)
    ON_UPDATE_COMMAND_UI(kCmdGrid, OnUpdateGrid)
    ON_COMMAND(kCmdInView, OnInView)
END_MESSAGE_MAP()

class CDrawFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CDrawFrame)
public:
    int m_nZoom = 100;

protected:
    afx_msg BOOL OnRoute(UINT)
    {
        Log().push_back("child frame");
        return FALSE;
    }
    afx_msg void OnZoom() { m_nZoom *= 2; }
    afx_msg void OnUpdateZoom(CCmdUI* pCmdUI)
    {
        pCmdUI->SetText(("&Zoom " + std::to_string(m_nZoom) + "%").c_str());
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CDrawFrame, CMDIChildWnd)
BEGIN_MESSAGE_MAP(CDrawFrame, CMDIChildWnd)
    ON_COMMAND_EX(kCmdRoute, OnRoute)
    ON_COMMAND(kCmdZoom, OnZoom)
    ON_UPDATE_COMMAND_UI(kCmdZoom, OnUpdateZoom)
END_MESSAGE_MAP()

class CDrawView : public CScrollView {
    DECLARE_DYNCREATE(CDrawView)
public:
    BOOL m_bSelection = FALSE;
    int m_nEffects = 0;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        SetScrollSizes(MM_TEXT, CSize(2000, 1500));
        CScrollView::OnInitialUpdate();
    }

protected:
    afx_msg BOOL OnRoute(UINT)
    {
        Log().push_back("view");
        return FALSE;
    }
    afx_msg void OnEffect() { ++m_nEffects; }
    afx_msg void OnUpdateEffect(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bSelection); }
    afx_msg void OnButtonInView() { Log().push_back("view's own button handler"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CDrawView, CScrollView)
BEGIN_MESSAGE_MAP(CDrawView, CScrollView)
    ON_COMMAND_EX(kCmdRoute, OnRoute)
    ON_COMMAND(kCmdEffect, OnEffect)
    ON_UPDATE_COMMAND_UI(kCmdEffect, OnUpdateEffect)
    ON_BN_DOUBLECLICKED(kCmdInView, OnButtonInView)
END_MESSAGE_MAP()

class CTextDoc : public CDocument {
    DECLARE_DYNCREATE(CTextDoc)
};
IMPLEMENT_DYNCREATE(CTextDoc, CDocument)

class CTextView : public CView {
    DECLARE_DYNCREATE(CTextView)
public:
    void OnDraw(CDC*) override {}

protected:
    afx_msg void OnTextOnly() { Log().push_back("text view"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTextView, CView)
BEGIN_MESSAGE_MAP(CTextView, CView)
    ON_COMMAND(kCmdTextOnly, OnTextOnly)
END_MESSAGE_MAP()

// ---- Resources --------------------------------------------------------------------------------------

const platform::MenuItemTemplate kFileItems[] = {
    {MF_STRING, 0, ID_FILE_NEW, 0, "&New", false, nullptr, 0},
    {MF_STRING, 0, ID_APP_EXIT, 0, "E&xit", false, nullptr, 0},
};
const platform::MenuItemTemplate kEditItems[] = {
    {MF_STRING, 0, kCmdEffect, 0, "&Effect\tF8", false, nullptr, 0},
    {MF_STRING, 0, kCmdGrid, 0, "&Grid", false, nullptr, 0},
    {MF_STRING, 0, kCmdZoom, 0, "&Zoom", false, nullptr, 0},
    {MF_SEPARATOR, 0, 0, 0, "", false, nullptr, 0},
    {MF_STRING, 0, kCmdOrphan, 0, "&Orphan", false, nullptr, 0},
};
const platform::MenuItemTemplate kTextItems[] = {
    {MF_STRING, 0, kCmdTextOnly, 0, "&Text\tF8", false, nullptr, 0},
};
const platform::MenuItemTemplate kWindowItems[] = {
    {MF_STRING, 0, ID_WINDOW_CASCADE, 0, "&Cascade", false, nullptr, 0},
};
const platform::MenuItemTemplate kMainBar[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, 2},
    {MF_STRING, 0, 0, 0, "&Window", true, kWindowItems, 1},
};
const platform::MenuItemTemplate kDrawBar[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, 2},
    {MF_STRING, 0, 0, 0, "&Edit", true, kEditItems, 5},
    {MF_STRING, 0, 0, 0, "&Window", true, kWindowItems, 1},
};
const platform::MenuItemTemplate kTextBar[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, 2},
    {MF_STRING, 0, 0, 0, "&Text", true, kTextItems, 1},
    {MF_STRING, 0, 0, 0, "&Window", true, kWindowItems, 1},
};
const platform::MenuTemplate kMainMenu = {false, 0, kMainBar, 2};
const platform::MenuTemplate kDrawMenu = {false, 0, kDrawBar, 3};
const platform::MenuTemplate kTextMenu = {false, 0, kTextBar, 3};

const platform::AcceleratorEntry kDrawAccelEntries[] = {{FVIRTKEY, VK_F8, kCmdEffect}};
const platform::AcceleratorEntry kTextAccelEntries[] = {{FVIRTKEY, VK_F8, kCmdTextOnly}};
const platform::AcceleratorTable kDrawAccels = {kDrawAccelEntries, 1};
const platform::AcceleratorTable kTextAccels = {kTextAccelEntries, 1};

const platform::ResourceEntry kEntries[] = {
    {nullptr, 4 /* RT_MENU */, nullptr, kMainRes, &kMainMenu, sizeof(kMainMenu)},
    {nullptr, 4 /* RT_MENU */, nullptr, kDrawRes, &kDrawMenu, sizeof(kDrawMenu)},
    {nullptr, 4 /* RT_MENU */, nullptr, kTextRes, &kTextMenu, sizeof(kTextMenu)},
    {nullptr, 9 /* RT_ACCELERATOR */, nullptr, kDrawRes, &kDrawAccels, sizeof(kDrawAccels)},
    {nullptr, 9 /* RT_ACCELERATOR */, nullptr, kTextRes, &kTextAccels, sizeof(kTextAccels)},
};
const char kMainString[] = "Sample";
const char kDrawString[] = "\nDrawing\nDrawing\nDrawings (*.drw)\n.drw\nSample.Drawing\nSample Drawing";
const char kTextString[] = "\nText\nText\nTexts (*.txt)\n.txt\nSample.Text\nSample Text";
// Sorted by id.
const platform::StringEntry kStrings[] = {
    {kMainRes, sizeof(kMainString) - 1, kMainString},
    {kDrawRes, sizeof(kDrawString) - 1, kDrawString},
    {kTextRes, sizeof(kTextString) - 1, kTextString},
};
const platform::ResourceTable kTable{kEntries, std::size(kEntries), kStrings, std::size(kStrings)};

BOOL CSampleApp::InitInstance()
{
    m_pDrawTemplate =
        new CMultiDocTemplate(kDrawRes, RUNTIME_CLASS(CDrawDoc), RUNTIME_CLASS(CDrawFrame), RUNTIME_CLASS(CDrawView));
    AddDocTemplate(m_pDrawTemplate);
    m_pTextTemplate =
        new CMultiDocTemplate(kTextRes, RUNTIME_CLASS(CTextDoc), RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CTextView));
    AddDocTemplate(m_pTextTemplate);
    auto* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(kMainRes))
        return FALSE;
    m_pMainWnd = pMainFrame;
    pMainFrame->ShowWindow(SW_SHOW);
    pMainFrame->UpdateWindow();
    return TRUE;
}

// ---- Fixture ----------------------------------------------------------------------------------------

class SampleAppTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        fwtest::FrameworkTest::SetUp();
        Log().clear();
        platform::RegisterResourceModule(platform::ResourceModule::Program, kTable);
        m_pApp = &MakeApp<CSampleApp>();
        ASSERT_TRUE(m_pApp->InitApplication());
        ASSERT_TRUE(m_pApp->InitInstance());
        m_pMain = static_cast<CMainFrame*>(m_pApp->m_pMainWnd);
    }

    // File New asks which kind when there are two templates; the test opens
    // each kind through its template, as the New dialog's choice does.
    CDrawDoc* NewDrawing() { return static_cast<CDrawDoc*>(m_pApp->m_pDrawTemplate->OpenDocumentFile(nullptr)); }
    CDocument* NewText() { return m_pApp->m_pTextTemplate->OpenDocumentFile(nullptr); }

    static CView* FirstView(CDocument* pDoc)
    {
        POSITION pos = pDoc->GetFirstViewPosition();
        return pos != nullptr ? pDoc->GetNextView(pos) : nullptr;
    }

    void Command(UINT nID) { m_pMain->SendMessage(WM_COMMAND, nID, 0); }

    // The Edit popup of the menu bar shown now, after the frame updated it
    // as when the user opens it.
    HMENU OpenEditPopup()
    {
        HMENU hBar = ::GetMenu(m_pMain->m_hWnd);
        HMENU hEdit = ::GetSubMenu(hBar, 1);
        m_pMain->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hEdit), MAKELPARAM(1, FALSE));
        return hEdit;
    }

    void PressKey(UINT vk)
    {
        HWND hFocus = ::GetFocus() != NULL ? ::GetFocus() : m_pMain->m_hWnd;
        MSG msg{};
        msg.hwnd = hFocus;
        msg.message = WM_KEYDOWN;
        msg.wParam = vk;
        msg.lParam = 1;
        if (!m_pApp->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
        Pump();
    }

    CSampleApp* m_pApp = nullptr;
    CMainFrame* m_pMain = nullptr;
};

TEST_F(SampleAppTest, CommandsTravelViewDocumentChildFrameMainFrameApplication)
{
    CDrawDoc* pDoc = NewDrawing();
    ASSERT_NE(pDoc, nullptr);
    Command(kCmdRoute);
    EXPECT_EQ(Log(), (std::vector<std::string>{"view", "document", "child frame", "main frame", "app"}));
    // The view in the active child is a scroll view set up by its initial
    // update.
    auto* pView = static_cast<CDrawView*>(FirstView(pDoc));
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->GetDlgCtrlID(), int(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(pView->GetTotalSize(), CSize(2000, 1500));
    pView->ScrollToPosition(CPoint(0, 300));
    EXPECT_EQ(pView->GetScrollPosition(), CPoint(0, 300));
}

TEST_F(SampleAppTest, EachTemplateBringsItsMenuAndAccelerators)
{
    NewDrawing();
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pApp->m_pDrawTemplate->m_hMenuShared);
    CDocument* pText = NewText();
    ASSERT_NE(pText, nullptr);
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pApp->m_pTextTemplate->m_hMenuShared);
    // F8 is the text view's command in a text window.
    PressKey(VK_F8);
    EXPECT_EQ(Log(), (std::vector<std::string>{"text view"}));
    pText->OnCloseDocument();
    EXPECT_EQ(::GetMenu(m_pMain->m_hWnd), m_pApp->m_pDrawTemplate->m_hMenuShared);
}

TEST_F(SampleAppTest, MenuItemsAreEnabledCheckedAndRelabelledWhenTheMenuOpens)
{
    CDrawDoc* pDoc = NewDrawing();
    auto* pView = static_cast<CDrawView*>(FirstView(pDoc));
    HMENU hEdit = OpenEditPopup();
    EXPECT_TRUE(::GetMenuState(hEdit, kCmdEffect, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(hEdit, kCmdGrid, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(::GetMenuState(hEdit, kCmdOrphan, MF_BYCOMMAND) & MF_GRAYED);
    char label[64] = {};
    ::GetMenuString(hEdit, kCmdZoom, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(label, "&Zoom 100%");

    pView->m_bSelection = TRUE;
    Command(kCmdGrid);
    Command(kCmdZoom);
    hEdit = OpenEditPopup();
    EXPECT_FALSE(::GetMenuState(hEdit, kCmdEffect, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(hEdit, kCmdGrid, MF_BYCOMMAND) & MF_CHECKED);
    ::GetMenuString(hEdit, kCmdZoom, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(label, "&Zoom 200%");
}

TEST_F(SampleAppTest, ToolbarButtonsAndDialogBarChildrenFollowTheirHandlersAtIdle)
{
    CDrawDoc* pDoc = NewDrawing();
    auto* pView = static_cast<CDrawView*>(FirstView(pDoc));
    CToolBar& bar = m_pMain->m_wndToolBar;
    HWND hPad = m_pMain->m_wndPad.m_hWnd;
    m_pApp->OnIdle(0);
    EXPECT_TRUE(bar.GetButtonStyle(bar.CommandToIndex(kCmdEffect)) & TBBS_DISABLED);
    EXPECT_FALSE(bar.GetButtonStyle(bar.CommandToIndex(kCmdGrid)) & TBBS_CHECKED);
    EXPECT_TRUE(bar.GetButtonStyle(bar.CommandToIndex(kCmdOrphan)) & TBBS_DISABLED);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hPad, kCmdEffect)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hPad, kCmdPadDisabled)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hPad, kCmdPadOrphan)));

    pView->m_bSelection = TRUE;
    pDoc->m_bGrid = TRUE;
    m_pApp->OnIdle(0);
    EXPECT_FALSE(bar.GetButtonStyle(bar.CommandToIndex(kCmdEffect)) & TBBS_DISABLED);
    EXPECT_TRUE(bar.GetButtonStyle(bar.CommandToIndex(kCmdGrid)) & TBBS_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hPad, kCmdEffect)));

    // A click on the bar's button runs the view's command.
    ::SendMessage(::GetDlgItem(hPad, kCmdEffect), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(pView->m_nEffects, 1);
}

TEST_F(SampleAppTest, DisabledCommandIsDroppedFromMenuAcceleratorPostOrSend)
{
    CDrawDoc* pDoc = NewDrawing();
    auto* pView = static_cast<CDrawView*>(FirstView(pDoc));
    pView->SetFocus();
    PressKey(VK_F8);
    m_pMain->PostMessage(WM_COMMAND, kCmdEffect, 0);
    Pump();
    Command(kCmdEffect);
    EXPECT_EQ(pView->m_nEffects, 0);
    // The same command from the dialog bar's (disabled) command path.
    m_pMain->SendMessage(WM_COMMAND, kCmdPadDisabled, 0);
    EXPECT_TRUE(Log().empty());

    pView->m_bSelection = TRUE;
    PressKey(VK_F8);
    m_pMain->PostMessage(WM_COMMAND, kCmdEffect, 0);
    Pump();
    Command(kCmdEffect);
    EXPECT_EQ(pView->m_nEffects, 3);
}

TEST_F(SampleAppTest, ControlNotificationStaysWithItsParent)
{
    CDrawDoc* pDoc = NewDrawing();
    CView* pView = FirstView(pDoc);
    HWND hButton = ::CreateWindowEx(0, "Button", "in view", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 40, 20,
        pView->m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(kCmdInView)), NULL, nullptr);
    // A click notifies the view; the document's command of the same id
    // does not run.
    ::SendMessage(hButton, BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(Log().empty());
    pView->SendMessage(WM_COMMAND, MAKEWPARAM(kCmdInView, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(hButton));
    EXPECT_EQ(Log(), (std::vector<std::string>{"view's own button handler"}));
    // As a command it goes along the route to the document.
    Log().clear();
    Command(kCmdInView);
    EXPECT_EQ(Log(), (std::vector<std::string>{"document command " + std::to_string(kCmdInView)}));
}

TEST_F(SampleAppTest, RunCallsIdleWithARisingCountUntilItAnswersFalse)
{
    NewDrawing();
    m_pApp->idleCounts.clear();
    m_pApp->Run();
    ASSERT_GE(m_pApp->idleCounts.size(), 5u);
    EXPECT_EQ(std::vector<LONG>(m_pApp->idleCounts.end() - 5, m_pApp->idleCounts.end()),
        (std::vector<LONG>{0, 1, 2, 3, 4}));
    for (size_t i = 0; i < m_pApp->idleCounts.size(); ++i) {
        LONG count = m_pApp->idleCounts[i];
        EXPECT_TRUE(count == 0 || count == m_pApp->idleCounts[i - 1] + 1) << "at " << i;
    }
}

} // namespace
} // namespace sampleapp
