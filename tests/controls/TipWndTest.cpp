// The tip window on the headless back end: its size and place near the
// screen's edge, the stay rectangle round the pointer, a key that ends the
// tip and still reaches its window, and messages that keep flowing while
// the tip is up (timers, posted commands, WM_QUIT).

#include "controls/TipWnd.h"

#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <functional>
#include <vector>

namespace {

using platform::headless::MoveMouse;
using platform::headless::SetCursorPosition;

// A top-level window that records the messages it gets.
class CRecorder : public CWnd {
public:
    BOOL Make(int x, int y, int cx, int cy)
    {
        return CreateEx(0, AfxDefaultWndClass(), "", WS_POPUP | WS_VISIBLE, x, y, cx, cy, NULL, NULL);
    }
    int Count(UINT message) const
    {
        int n = 0;
        for (const MSG& m : m_messages)
            n += m.message == message ? 1 : 0;
        return n;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        MSG m{};
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        m_messages.push_back(m);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<MSG> m_messages;
};

class TipWndTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        ReleaseTipResources();
        MakeApp();
        ASSERT_TRUE(m_main.Make(0, 0, 300, 200));
        App()->m_pMainWnd = &m_main;
        ASSERT_TRUE(m_target.Make(400, 300, 300, 200));
        m_target.SetFocus();
        SetCursorPosition(500, 400);
        FrameworkTest::Pump();
        m_target.m_messages.clear();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        App()->m_pMainWnd = nullptr;
        FrameworkTest::TearDown();
        ReleaseTipResources();
    }

    // Runs ShowTip with the steps taken one at a time whenever its loop
    // waits; a step that answers that it did nothing is tried again at the
    // next wait (a hundred times at most). Once every step is done or given
    // up the pointer is moved far away, so that a tip that ignored what the
    // steps did still ends. Returns how many steps were done.
    int RunTip(const std::vector<std::function<bool()>>& steps, const char* text = "Tip")
    {
        size_t next = 0;
        int tries = 0;
        bool movedAway = false;
        platform::headless::SetIdleHandler([&]() {
            if (next < steps.size() && tries < 100) {
                bool did = steps[next]();
                ++tries;
                if (did) {
                    ++next;
                    tries = 0;
                }
                return did;
            }
            if (movedAway)
                return false;
            movedAway = true;
            MoveMouse(5, 5);
            return true;
        });
        m_tip.ShowTip(text);
        platform::headless::SetIdleHandler(nullptr);
        return int(next);
    }
    bool TipUp() const { return ::IsWindow(m_tip.m_hWnd) != FALSE; }
    // Empties the queue (the WM_QUIT a tip passed on, characters).
    static void Drain()
    {
        MSG msg;
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE))
            ;
    }
    CRect TipRect() const
    {
        CRect rc;
        ::GetWindowRect(m_tip.m_hWnd, &rc);
        return rc;
    }

    CRecorder m_main;
    CRecorder m_target;
    CTipWnd m_tip;
};

TEST_F(TipWndTest, SizedToItsTextAndKeptInsideTheScreen)
{
    ASSERT_TRUE(m_tip.Create(nullptr));
    EXPECT_EQ(m_main.m_hWnd, ::GetWindow(m_tip.m_hWnd, GW_OWNER));
    EXPECT_EQ(DWORD(WS_POPUP | WS_BORDER), m_tip.GetStyle() & (WS_POPUP | WS_BORDER | WS_CAPTION));
    ASSERT_NE(nullptr, CTipWnd::GetTipFont());

    const char* text = "Rotates the selected object";
    m_tip.ShowAt(1000, 100, text);
    CSize extent;
    {
        CClientDC dc(&m_tip);
        CFont* old = dc.SelectObject(CTipWnd::GetTipFont());
        extent = dc.GetTextExtent(text, int(strlen(text)));
        dc.SelectObject(old);
    }
    CRect rc = TipRect();
    EXPECT_EQ(extent.cx + 6 * ::GetSystemMetrics(SM_CXBORDER), rc.Width());
    EXPECT_EQ(CTipWnd::GetTipHeight(), rc.Height());
    EXPECT_EQ(1024 - 4, rc.right);
    EXPECT_EQ(100, rc.top);
    EXPECT_TRUE(m_tip.IsWindowVisible());
    EXPECT_NE(m_tip.m_hWnd, ::GetActiveWindow());

    // Longer text makes the window end two pixels inside the screen.
    m_tip.SetWindowText("Rotates the selected object by the angle typed");
    EXPECT_EQ(1024 - 2, TipRect().right);

    // Away from the edge the tip stays where it is put.
    m_tip.ShowAt(200, 150, "Short");
    EXPECT_EQ(CPoint(200, 150), TipRect().TopLeft());
    m_tip.DestroyWindow();
}

TEST_F(TipWndTest, PaintsPaleYellowWithTheTextCentred)
{
    ASSERT_TRUE(m_tip.Create(nullptr));
    m_tip.ShowAt(100, 100, "Fill");
    EXPECT_EQ(0, m_tip.m_bPainted);
    m_tip.UpdateWindow();
    EXPECT_EQ(1, m_tip.m_bPainted);
    CRect client;
    m_tip.GetClientRect(&client);
    EXPECT_EQ(CTipWnd::kBackground, platform::headless::WindowPixel(m_tip.m_hWnd, 0, 0));
    int dark = 0;
    int leftHalf = 0;
    for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x)
            if (platform::headless::WindowPixel(m_tip.m_hWnd, x, y) != CTipWnd::kBackground) {
                ++dark;
                leftHalf += x < client.Width() / 2 ? 1 : 0;
            }
    EXPECT_GT(dark, 0);
    // Centred: neither half holds nearly all of the text.
    EXPECT_GT(leftHalf, dark / 4);
    EXPECT_LT(leftHalf, dark * 3 / 4);
    m_tip.DestroyWindow();
}

TEST_F(TipWndTest, ShownBelowRightOfThePointerAndShiftedAtTheEdge)
{
    CRect shown;
    RunTip({[&] {
        shown = TipRect();
        PostQuitMessage(0);
        return true;
    }});
    EXPECT_EQ(CPoint(500 + ::GetSystemMetrics(SM_CXCURSOR) / 2, 400 + ::GetSystemMetrics(SM_CYCURSOR) / 2),
        shown.TopLeft());
    Drain();

    SetCursorPosition(1015, 300);
    RunTip({[&] {
        shown = TipRect();
        PostQuitMessage(0);
        return true;
    }},
        "A tip near the right edge of the screen");
    EXPECT_EQ(1024 - 4, shown.right);
    EXPECT_GE(shown.left, 0);
}

TEST_F(TipWndTest, StayRectangleHoldsLeftAndUpOnly)
{
    struct Move {
        int dx;
        int dy;
        bool stays;
    };
    const Move moves[] = {
        {-1, 0, true},
        {0, -1, true},
        {-1, -1, true},
        {1, 0, false},
        {0, 1, false},
        {-2, 0, false},
        {0, -2, false},
    };
    for (const Move& m : moves) {
        SetCursorPosition(500, 400);
        bool upAfterMove = false;
        int steps = RunTip({
            [&] {
                MoveMouse(500 + m.dx, 400 + m.dy);
                return true;
            },
            [&] {
                upAfterMove = TipUp();
                PostQuitMessage(0);
                return true;
            },
        });
        EXPECT_EQ(m.stays, upAfterMove) << m.dx << ',' << m.dy;
        EXPECT_EQ(m.stays ? 2 : 1, steps) << m.dx << ',' << m.dy;
        EXPECT_FALSE(TipUp());
        // A move that keeps the tip is dropped, not delivered.
        if (m.stays) {
            EXPECT_EQ(0, m_target.Count(WM_MOUSEMOVE)) << m.dx << ',' << m.dy;
        }
        Drain();
        m_target.m_messages.clear();
    }
}

TEST_F(TipWndTest, KeyEndsTheTipAndStillReachesItsWindow)
{
    bool paintedFirst = false;
    bool upAtKey = false;
    int steps = RunTip({[&] {
        paintedFirst = m_tip.m_bPainted == 1;
        upAtKey = TipUp();
        platform::headless::KeyDown('A');
        return true;
    }});
    EXPECT_EQ(1, steps);
    EXPECT_TRUE(paintedFirst);
    EXPECT_TRUE(upAtKey);
    EXPECT_FALSE(TipUp());
    EXPECT_EQ(1, m_target.Count(WM_KEYDOWN));
    // The key was translated on the way, so its character follows.
    FrameworkTest::Pump();
    EXPECT_EQ(1, m_target.Count(WM_CHAR));
    platform::headless::KeyUp('A');
}

TEST_F(TipWndTest, ButtonPressEndsTheTipAndIsDelivered)
{
    RunTip({[&] {
        platform::headless::PressMouse(0, 500, 400);
        return true;
    }});
    EXPECT_FALSE(TipUp());
    EXPECT_EQ(1, m_target.Count(WM_LBUTTONDOWN));
    platform::headless::ReleaseMouse(0, 500, 400);
}

TEST_F(TipWndTest, KeyWaitingBeforeThePaintIsDeliveredOnce)
{
    platform::headless::KeyDown('B');
    int steps = RunTip({});
    EXPECT_EQ(0, steps);
    EXPECT_FALSE(TipUp());
    EXPECT_EQ(1, m_target.Count(WM_KEYDOWN));
    platform::headless::KeyUp('B');
}

TEST_F(TipWndTest, PostedCommandsAndTimersArriveWhileTheTipIsUp)
{
    constexpr UINT kCommand = 33001;
    ASSERT_NE(0u, m_target.SetTimer(5, 50, nullptr));
    bool upAtQuit = false;
    int commandsWhileUp = 0;
    // Waits (answering that it did nothing, so that time passes) until the
    // timer has come due, then ends the tip with WM_QUIT.
    auto quitAfterTimer = [&] {
        if (m_target.Count(WM_TIMER) == 0)
            return false;
        upAtQuit = TipUp();
        commandsWhileUp = m_target.Count(WM_COMMAND);
        PostQuitMessage(7);
        return true;
    };
    RunTip({
        [&] {
            m_target.PostMessage(WM_COMMAND, kCommand, 0);
            return true;
        },
        quitAfterTimer,
    });
    m_target.KillTimer(5);
    EXPECT_TRUE(upAtQuit);
    EXPECT_EQ(1, commandsWhileUp);
    EXPECT_GE(m_target.Count(WM_TIMER), 1);
    EXPECT_FALSE(TipUp());

    // WM_QUIT ended the tip and is still there for the caller's loop.
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(UINT(WM_QUIT), msg.message);
    EXPECT_EQ(WPARAM(7), msg.wParam);
}

} // namespace
