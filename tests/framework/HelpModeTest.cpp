#include "tests/framework/FrameTestSupport.h"

#include <deque>

namespace frametest {
namespace {

// A child window that answers the help messages as told.
struct HelpProbe {
    LRESULT hitTestAnswer = 0;
    LRESULT commandHelpAnswer = 0;
    std::vector<POINT> hitTests;
    int commandHelpAsked = 0;
};
HelpProbe* g_probe = nullptr;

LRESULT CALLBACK ProbeProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_probe != nullptr) {
        if (message == WM_HELPHITTEST) {
            g_probe->hitTests.push_back(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return g_probe->hitTestAnswer;
        }
        if (message == WM_COMMANDHELP) {
            ++g_probe->commandHelpAsked;
            return g_probe->commandHelpAnswer;
        }
    }
    return ::DefWindowProc(hWnd, message, wParam, lParam);
}

class HelpModeTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        g_probe = &m_probe;
        WNDCLASS wc{};
        wc.lpfnWndProc = ProbeProc;
        wc.lpszClassName = "HelpProbe";
        ::RegisterClass(&wc);
        m_frame = MakeFrame();
        m_frame->MoveWindow(100, 100, 400, 300);
        m_frame->ShowWindow(SW_SHOW);
        m_child = ::CreateWindowEx(0, "HelpProbe", "", WS_CHILD | WS_VISIBLE, 50, 40, 100, 80, m_frame->m_hWnd,
            (HMENU)(UINT_PTR)0x77, NULL, NULL);
        Pump();
    }

    void TearDown() override
    {
        if (::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();
        g_probe = nullptr;
        FrameFixture::TearDown();
    }

    // Runs Shift+F1 mode with the steps fed in whenever the loop waits.
    void RunHelpMode(std::deque<std::function<void()>> steps)
    {
        auto pending = std::make_shared<std::deque<std::function<void()>>>(std::move(steps));
        platform::headless::SetIdleHandler([pending] {
            if (pending->empty())
                return false;
            auto step = pending->front();
            pending->pop_front();
            step();
            return true;
        });
        m_frame->SendMessage(WM_COMMAND, ID_CONTEXT_HELP);
        platform::headless::SetIdleHandler(nullptr);
    }

    // A screen point inside the probe child.
    POINT InChild(int x, int y) const
    {
        POINT pt{x, y};
        ::ClientToScreen(m_child, &pt);
        return pt;
    }

    std::vector<DWORD_PTR> Contexts() const
    {
        std::vector<DWORD_PTR> contexts;
        for (const auto& [data, cmd] : m_app->m_help) {
            if (cmd == HELP_CONTEXT)
                contexts.push_back(data);
        }
        return contexts;
    }

    HelpProbe m_probe;
    CTestFrame* m_frame = nullptr;
    HWND m_child = NULL;
};

TEST_F(HelpModeTest, F1GivesTheFrameResourceContextWhenNothingElseIsCurrent)
{
    m_frame->SendMessage(WM_COMMAND, ID_HELP);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{HID_BASE_RESOURCE + kFrameResource}));
}

TEST_F(HelpModeTest, F1InsideACommandGivesThatCommandsContext)
{
    // File Open, Save and Save As as their dialogs would ask: F1 while the
    // command runs.
    m_frame->m_duringCommand = [this] { m_frame->SendMessage(WM_COMMAND, ID_HELP); };
    for (UINT nID : {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        m_frame->SendMessage(WM_COMMAND, nID);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{0x1E101, 0x1E103, 0x1E104}));

    // Afterwards the command no longer counts.
    m_app->m_help.clear();
    m_frame->SendMessage(WM_COMMAND, ID_HELP);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{HID_BASE_RESOURCE + kFrameResource}));
}

TEST_F(HelpModeTest, F1OnAHighlightedMenuItemGivesItsCommandContext)
{
    HMENU hPopup = ::GetSubMenu(::GetMenu(m_frame->m_hWnd), 0);
    m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FILE_SAVE, MF_STRING), (LPARAM)hPopup);
    m_frame->SendMessage(WM_COMMAND, ID_HELP);
    m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    m_frame->SendMessage(WM_COMMAND, ID_HELP);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{0x1E103, HID_BASE_RESOURCE + kFrameResource}));
}

TEST_F(HelpModeTest, F1AsksTheFocusedWindowFirst)
{
    ::SetFocus(m_child);
    m_probe.commandHelpAnswer = TRUE; // it gave help of its own
    MSG msg{};
    msg.hwnd = m_child;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F1;
    msg.lParam = 1;
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_frame->m_hWnd, &msg)) << "F1 is the frame's accelerator";
    EXPECT_EQ(m_probe.commandHelpAsked, 1);
    EXPECT_TRUE(Contexts().empty());

    // A window that does not answer passes the question to its parent.
    m_probe.commandHelpAnswer = FALSE;
    m_frame->SendMessage(WM_COMMAND, ID_HELP);
    EXPECT_EQ(m_probe.commandHelpAsked, 2);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{HID_BASE_RESOURCE + kFrameResource}));
}

TEST_F(HelpModeTest, ShiftF1ClickAsksTheWindowUnderTheCursor)
{
    m_probe.hitTestAnswer = 0x50123;
    POINT pt = InChild(10, 20);
    RunHelpMode({[pt] { platform::headless::Click(pt.x, pt.y); }});
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{0x50123}));
    ASSERT_EQ(m_probe.hitTests.size(), 1u);
    EXPECT_EQ(m_probe.hitTests[0].x, 10) << "client coordinates of the window clicked";
    EXPECT_EQ(m_probe.hitTests[0].y, 20);
    EXPECT_EQ(m_frame->m_bHelpMode, HELP_INACTIVE);
    EXPECT_FALSE(m_app->m_bHelpMode);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(HelpModeTest, ShiftF1WindowAnsweringZeroLeavesTheQuestionToItsParent)
{
    m_probe.hitTestAnswer = 0;
    POINT pt = InChild(5, 5);
    RunHelpMode({[pt] { platform::headless::Click(pt.x, pt.y); }});
    EXPECT_EQ(m_probe.hitTests.size(), 1u);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{HID_BASE_RESOURCE + kFrameResource}));
}

TEST_F(HelpModeTest, ShiftF1EscapeLeavesWithoutHelp)
{
    bool modeWasOn = false;
    RunHelpMode({[this, &modeWasOn] {
        modeWasOn = m_frame->m_bHelpMode == HELP_ACTIVE && m_app->m_bHelpMode;
        platform::headless::TypeKey(VK_ESCAPE);
    }});
    EXPECT_TRUE(modeWasOn);
    EXPECT_TRUE(m_app->m_help.empty());
    EXPECT_EQ(m_frame->m_bHelpMode, HELP_INACTIVE);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(HelpModeTest, ShiftF1ThenACommandExplainsItInsteadOfRunningIt)
{
    RunHelpMode({[this] { m_frame->PostMessage(WM_COMMAND, kRecolor); }});
    EXPECT_EQ(m_frame->m_recolored, 0);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{HID_BASE_COMMAND + kRecolor}));
    EXPECT_EQ(m_frame->m_bHelpMode, HELP_INACTIVE);

    // Out of the mode the command runs again.
    m_frame->SendMessage(WM_COMMAND, kRecolor);
    EXPECT_EQ(m_frame->m_recolored, 1);
}

TEST_F(HelpModeTest, ShiftF1ThenAMenuChoiceExplainsTheMenuCommand)
{
    bool ran = false;
    m_frame->m_duringCommand = [&ran] { ran = true; };
    CRect window;
    m_frame->GetWindowRect(&window);
    // The menu bar lies under the caption; open File, take its first item.
    int menuY = window.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION)
        + ::GetSystemMetrics(SM_CYMENU) / 2;
    int menuX = window.left + ::GetSystemMetrics(SM_CXFRAME) + 12;
    RunHelpMode({[menuX, menuY] { platform::headless::Click(menuX, menuY); },
        [] { platform::headless::TypeKey(VK_DOWN); }, [] { platform::headless::TypeKey(VK_RETURN); }});
    EXPECT_FALSE(ran);
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{HID_BASE_COMMAND + ID_FILE_OPEN}));
    EXPECT_EQ(m_frame->m_bHelpMode, HELP_INACTIVE);
}

TEST_F(HelpModeTest, ShiftF1OnTheCaptionGivesTheNonClientContext)
{
    CRect window;
    m_frame->GetWindowRect(&window);
    RunHelpMode({[&window] { platform::headless::Click(window.left + 60, window.top + 8); }});
    EXPECT_EQ(Contexts(), (std::vector<DWORD_PTR>{HID_BASE_NCAREAS + HTCAPTION}));
}

TEST_F(HelpModeTest, QuitDuringHelpModeEndsItAndReachesTheOuterLoop)
{
    RunHelpMode({[] { ::PostQuitMessage(3); }});
    EXPECT_EQ(m_frame->m_bHelpMode, HELP_INACTIVE);
    MSG msg;
    ASSERT_TRUE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

} // namespace
} // namespace frametest
