// Presses inside windows that lie in an MDI child: the click activates the
// child through WM_MOUSEACTIVATE even when the frame is already active.

#include "platform/ui/Headless.h"
#include "platform/ui/Mdi.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct State {
    HWND client = NULL;
    std::vector<Seen> seen;
    LRESULT answer = 0;     // what views answer to WM_MOUSEACTIVATE; 0: the default
    bool viewsBubble = true; // whether views pass WM_MOUSEACTIVATE on first
};
State g;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefFrameProc(hwnd, g.client, msg, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_MOUSEACTIVATE || msg == WM_LBUTTONDOWN)
        g.seen.push_back(Seen{hwnd, msg, wParam, lParam});
    if (msg == WM_MOUSEACTIVATE && g.answer != 0) {
        if (g.viewsBubble)
            DefWindowProc(hwnd, msg, wParam, lParam);
        return g.answer;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class MdiMouseActivateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        g = State{};
        WNDCLASS wc{};
        wc.lpfnWndProc = FrameProc;
        wc.lpszClassName = "MouseActivateFrame";
        RegisterClass(&wc);
        wc.lpfnWndProc = ChildProc;
        wc.lpszClassName = "MouseActivateChild";
        RegisterClass(&wc);
        wc.lpfnWndProc = ViewProc;
        wc.lpszClassName = "MouseActivateView";
        RegisterClass(&wc);

        frame = CreateWindowEx(0, "MouseActivateFrame", "App", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
            NULL, NULL, NULL, nullptr);
        CLIENTCREATESTRUCT ccs{NULL, 0xFF00};
        RECT r{};
        GetClientRect(frame, &r);
        g.client = CreateWindowEx(0, "MDIClient", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, r.right,
            r.bottom, frame, HMENU(0xE900), NULL, &ccs);
        ASSERT_TRUE(g.client);
        a = NewChild("A", 0, 0);
        b = NewChild("B", 300, 0);
        viewA = MakeView(a);
        viewB = MakeView(b);
        // A control inside B's view: the MDI child is two levels up.
        inner = CreateWindowEx(0, "MouseActivateView", nullptr, WS_CHILD | WS_VISIBLE, 60, 60, 50, 30, viewB,
            NULL, NULL, nullptr);
        Drain();
        ASSERT_EQ(GetActiveWindow(), frame);
        ASSERT_EQ(Active(), b);
        g.seen.clear();
    }
    void TearDown() override { platform::headless::Reset(); }

    HWND NewChild(const char* title, int x, int y)
    {
        return CreateMDIWindow("MouseActivateChild", title, WS_VISIBLE, x, y, 250, 200, g.client, NULL, 0);
    }

    static HWND MakeView(HWND child)
    {
        RECT r{};
        GetClientRect(child, &r);
        return CreateWindowEx(0, "MouseActivateView", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, r.right, r.bottom,
            child, HMENU(0xE900), NULL, nullptr);
    }

    HWND Active() { return HWND(SendMessage(g.client, WM_MDIGETACTIVE, 0, 0)); }

    static void Drain()
    {
        MSG m{};
        for (int i = 0; i < 1000 && PeekMessage(&m, NULL, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
    }

    // Presses and releases the left button 20 pixels into the window.
    static void ClickIn(HWND hwnd)
    {
        POINT p{20, 20};
        ClientToScreen(hwnd, &p);
        platform::headless::Click(p.x, p.y);
        Drain();
    }

    std::vector<UINT> MessagesOf(HWND hwnd) const
    {
        std::vector<UINT> out;
        for (const Seen& s : g.seen)
            if (s.hwnd == hwnd)
                out.push_back(s.message);
        return out;
    }

    HWND frame = NULL;
    HWND a = NULL;
    HWND b = NULL;
    HWND viewA = NULL;
    HWND viewB = NULL;
    HWND inner = NULL;
};

TEST_F(MdiMouseActivateTest, ClickInAViewOfAnInactiveChildActivatesTheChild)
{
    ClickIn(viewA);
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(GetActiveWindow(), frame);
    ASSERT_EQ(MessagesOf(viewA), (std::vector<UINT>{WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
    EXPECT_EQ(HWND(g.seen[0].wParam), frame);
    EXPECT_EQ(LOWORD(g.seen[0].lParam), HTCLIENT);
    EXPECT_EQ(HIWORD(g.seen[0].lParam), WM_LBUTTONDOWN);

    // Deeper down too: a control inside a view of the other child.
    g.seen.clear();
    ClickIn(inner);
    EXPECT_EQ(Active(), b);
    EXPECT_EQ(MessagesOf(inner), (std::vector<UINT>{WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
    EXPECT_EQ(MessagesOf(viewB), (std::vector<UINT>{WM_MOUSEACTIVATE})); // passed up by DefWindowProc
}

TEST_F(MdiMouseActivateTest, ClickInsideTheActiveChildOfTheActiveFrameAsksNothing)
{
    ClickIn(viewB);
    ClickIn(inner);
    EXPECT_EQ(Active(), b);
    EXPECT_EQ(MessagesOf(viewB), (std::vector<UINT>{WM_LBUTTONDOWN}));
    EXPECT_EQ(MessagesOf(inner), (std::vector<UINT>{WM_LBUTTONDOWN}));
}

TEST_F(MdiMouseActivateTest, AnswersCanEatTheClickOrRefuseActivation)
{
    // Activated, but the press goes no further.
    g.answer = MA_ACTIVATEANDEAT;
    ClickIn(viewA);
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(MessagesOf(viewA), (std::vector<UINT>{WM_MOUSEACTIVATE}));

    // A view that keeps the message to itself stops the child's activation.
    g.seen.clear();
    g.answer = MA_NOACTIVATEANDEAT;
    g.viewsBubble = false;
    ClickIn(viewB);
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(MessagesOf(viewB), (std::vector<UINT>{WM_MOUSEACTIVATE}));

    g.seen.clear();
    g.answer = MA_NOACTIVATE;
    ClickIn(viewB);
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(MessagesOf(viewB), (std::vector<UINT>{WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
}

TEST_F(MdiMouseActivateTest, ClickInAnInactiveFrameActivatesFrameAndChildOnce)
{
    HWND other = CreateWindowEx(0, "MouseActivateView", "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 200,
        150, NULL, NULL, NULL, nullptr);
    Drain();
    ASSERT_EQ(GetActiveWindow(), other);
    g.seen.clear();
    ClickIn(viewA);
    EXPECT_EQ(GetActiveWindow(), frame);
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(MessagesOf(viewA), (std::vector<UINT>{WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
}

} // namespace
