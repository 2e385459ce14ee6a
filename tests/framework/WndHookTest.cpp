// The window-creation hook under CWnd::CreateEx: the WH_CBT chain of the
// window system.

#include "FrameworkTestSupport.h"

#include <string>
#include <vector>

namespace {

using fwtest::FrameworkTest;
using WndHookTest = FrameworkTest;

std::vector<std::string> g_calls;
HHOOK g_outer = NULL;
HHOOK g_inner = NULL;
BOOL g_refuse = FALSE;
UINT g_firstMessage = 0;

LRESULT CALLBACK OuterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto* cbt = reinterpret_cast<CBT_CREATEWND*>(lParam);
        g_calls.push_back(std::string("outer ") + cbt->lpcs->lpszName);
    }
    return ::CallNextHookEx(g_outer, code, wParam, lParam);
}

LRESULT CALLBACK InnerHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        g_calls.push_back(::IsWindow(reinterpret_cast<HWND>(wParam)) ? "inner sees the window" : "inner: no window");
        if (g_refuse)
            return 1;
    }
    return ::CallNextHookEx(g_inner, code, wParam, lParam);
}

LRESULT CALLBACK FirstMessageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_firstMessage == 0)
        g_firstMessage = msg;
    return ::DefWindowProc(hWnd, msg, wParam, lParam);
}

class HookFixture : public WndHookTest {
protected:
    void SetUp() override
    {
        WndHookTest::SetUp();
        g_calls.clear();
        g_refuse = FALSE;
        g_firstMessage = 0;
    }
};

TEST_F(HookFixture, NewestHookRunsFirstAndPassesTheCallOn)
{
    g_inner = ::SetWindowsHookEx(WH_CBT, &InnerHook, NULL, ::GetCurrentThreadId());
    g_outer = ::SetWindowsHookEx(WH_CBT, &OuterHook, NULL, ::GetCurrentThreadId());
    ASSERT_NE(g_inner, HHOOK(NULL));
    HWND hWnd = ::CreateWindowEx(0, "Static", "first", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, nullptr);
    EXPECT_NE(hWnd, HWND(NULL));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"outer first", "inner sees the window"}));

    EXPECT_TRUE(::UnhookWindowsHookEx(g_outer));
    EXPECT_FALSE(::UnhookWindowsHookEx(g_outer));
    g_calls.clear();
    ::CreateWindowEx(0, "Static", "second", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, nullptr);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"inner sees the window"}));
    ::UnhookWindowsHookEx(g_inner);
    EXPECT_EQ(::SetWindowsHookEx(WH_MSGFILTER, &InnerHook, NULL, 0), HHOOK(NULL));
}

TEST_F(HookFixture, RefusingHookMeansNoWindowAndNoMessages)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = &FirstMessageProc;
    wc.lpszClassName = "FwcoreHookProbe";
    ASSERT_NE(::RegisterClass(&wc), 0);
    g_inner = ::SetWindowsHookEx(WH_CBT, &InnerHook, NULL, ::GetCurrentThreadId());
    g_refuse = TRUE;
    EXPECT_EQ(::CreateWindowEx(0, "FwcoreHookProbe", "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, nullptr),
        HWND(NULL));
    EXPECT_NE(g_firstMessage, UINT(WM_NCCREATE));
    EXPECT_NE(g_firstMessage, UINT(WM_CREATE));
    ::UnhookWindowsHookEx(g_inner);
}

TEST_F(HookFixture, CreateExLeavesNothingArmedForLaterWindows)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 50, 50, NULL, NULL));
    HWND hChild = ::CreateWindowEx(0, "Static", "child", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd, NULL, NULL, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hChild), nullptr);
    EXPECT_EQ(::GetWindowLongPtr(hChild, GWLP_WNDPROC), ::GetClassLongPtr(hChild, GCLP_WNDPROC));
    parent.DestroyWindow();
}

// A parent whose WM_CREATE makes a child that gets its own CWnd.
class CNestingParent : public CWnd {
public:
    CWnd m_child;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (!m_child.Create(nullptr, "inner", WS_VISIBLE, CRect(0, 0, 5, 5), this, 3))
            return -1;
        return CWnd::OnCreate(lpcs);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNestingParent, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(HookFixture, NestedCreationAttachesEachObjectToItsOwnWindow)
{
    CNestingParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "outer", WS_POPUP, 0, 0, 50, 50, NULL, NULL));
    ASSERT_NE(parent.m_child.m_hWnd, HWND(NULL));
    EXPECT_EQ(CWnd::FromHandlePermanent(parent.m_hWnd), &parent);
    EXPECT_EQ(CWnd::FromHandlePermanent(parent.m_child.m_hWnd), &parent.m_child);
    EXPECT_EQ(::GetParent(parent.m_child.m_hWnd), parent.m_hWnd);
    parent.DestroyWindow();
    EXPECT_EQ(parent.m_child.m_hWnd, HWND(NULL));
}

} // namespace
