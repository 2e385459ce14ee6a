// CWnd: attaching objects to windows, subclassing, self-deletion, and the
// dispatch of window messages through message maps.

#include "FrameworkTestSupport.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <string>
#include <vector>

namespace {

using fwtest::FrameworkTest;
using WndTest = FrameworkTest;

CRect Box()
{
    return CRect(10, 10, 210, 160);
}

// Records the messages its map sees.
class CRecorder : public CWnd {
public:
    std::vector<UINT> seen;
    CSize lastSize;
    CPoint lastClick;
    UINT lastRepeat = 0;
    UINT lastKeyFlags = 0;
    UINT_PTR lastTimer = 0;
    WPARAM lastRegisteredW = 0;
    static UINT s_registered;

    afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpcs)
    {
        seen.push_back(WM_NCCREATE);
        return CWnd::OnNcCreate(lpcs);
    }
    afx_msg void OnGetMinMaxInfo(MINMAXINFO*) { seen.push_back(WM_GETMINMAXINFO); }
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        seen.push_back(WM_CREATE);
        return CWnd::OnCreate(lpcs);
    }
    afx_msg void OnSize(UINT, int cx, int cy) { lastSize = CSize(cx, cy); }
    afx_msg void OnLButtonDown(UINT, CPoint point) { lastClick = point; }
    afx_msg void OnKeyDown(UINT, UINT nRepCnt, UINT nFlags)
    {
        lastRepeat = nRepCnt;
        lastKeyFlags = nFlags;
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { lastTimer = nIDEvent; }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM)
    {
        lastRegisteredW = wParam;
        return 77;
    }
    afx_msg LRESULT OnUserMessage(WPARAM wParam, LPARAM lParam) { return LRESULT(wParam + lParam); }

    DECLARE_MESSAGE_MAP()
};

UINT CRecorder::s_registered = ::RegisterWindowMessage("threadwick-test-registered");

BEGIN_MESSAGE_MAP(CRecorder, CWnd)
    ON_WM_NCCREATE()
    ON_WM_GETMINMAXINFO()
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_TIMER()
    ON_REGISTERED_MESSAGE(s_registered, OnRegistered)
    ON_MESSAGE(WM_USER + 5, OnUserMessage)
END_MESSAGE_MAP()

TEST_F(WndTest, CreatedWindowIsAttachedBeforeItsFirstMessage)
{
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Recorder", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL));
    ASSERT_GE(wnd.seen.size(), 3u);
    EXPECT_EQ(wnd.seen[0], UINT(WM_GETMINMAXINFO));
    EXPECT_EQ(wnd.seen[1], UINT(WM_NCCREATE));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(::GetWindowLongPtr(wnd.m_hWnd, GWLP_WNDPROC), LONG_PTR(&AfxWndProc));
    EXPECT_NE(wnd.m_pfnSuper, nullptr);
    // It answers as a window of the framework.
    EXPECT_EQ(::SendMessage(wnd.m_hWnd, WM_QUERYAFXWNDPROC, 0, 0), 1);
}

TEST_F(WndTest, HandlersGetTheDocumentedArguments)
{
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Recorder", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL));
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 45));
    EXPECT_EQ(wnd.lastSize, CSize(123, 45));
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 7));
    EXPECT_EQ(wnd.lastClick, CPoint(-3, 7));
    wnd.SendMessage(WM_KEYDOWN, VK_LEFT, MAKELPARAM(3, 0x4000 | 0x0025));
    EXPECT_EQ(wnd.lastRepeat, 3u);
    EXPECT_EQ(wnd.lastKeyFlags, 0x4025u);
    wnd.SendMessage(WM_TIMER, 42, 0);
    EXPECT_EQ(wnd.lastTimer, 42u);
    EXPECT_EQ(wnd.SendMessage(CRecorder::s_registered, 9, 0), 77);
    EXPECT_EQ(wnd.lastRegisteredW, 9u);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 5, 2, 3), 5);
    // A message without an entry reaches DefWindowProc.
    EXPECT_EQ(wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(-5000, -5000)), HTNOWHERE);
}

// ---- Handle maps --------------------------------------------------------------------------------

TEST_F(WndTest, TemporaryObjectsLiveUntilIdleAndNeverOwnTheWindow)
{
    MakeApp();
    HWND hWnd = ::CreateWindowEx(0, "Static", "plain", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, nullptr);
    ASSERT_NE(hWnd, HWND(NULL));
    CWnd* pTemp = CWnd::FromHandle(hWnd);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hWnd), pTemp);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_EQ(platform::FrameworkTemporaryWindowCount(), 1u);
    App()->OnIdle(1);
    EXPECT_EQ(platform::FrameworkTemporaryWindowCount(), 0u);
    EXPECT_TRUE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandle(NULL), nullptr);
}

// Holds a temporary object across an idle pass run inside its handler.
class CIdleInHandler : public CWnd {
public:
    size_t tempsDuringHandler = 0;
    afx_msg LRESULT OnRunIdle(WPARAM, LPARAM lParam)
    {
        CWnd::FromHandle(reinterpret_cast<HWND>(lParam));
        AfxGetApp()->OnIdle(1);
        tempsDuringHandler = platform::FrameworkTemporaryWindowCount();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CIdleInHandler, CWnd)
    ON_MESSAGE(WM_APP, OnRunIdle)
END_MESSAGE_MAP()

TEST_F(WndTest, IdleInsideAHandlerKeepsTemporaryObjects)
{
    MakeApp();
    CIdleInHandler wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    HWND hOther = ::CreateWindowEx(0, "Static", "other", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, nullptr);
    wnd.SendMessage(WM_APP, 0, reinterpret_cast<LPARAM>(hOther));
    EXPECT_EQ(wnd.tempsDuringHandler, 1u);
    App()->OnIdle(1);
    EXPECT_EQ(platform::FrameworkTemporaryWindowCount(), 0u);
}

TEST_F(WndTest, AttachAndDetachMakeAndEndThePermanentLink)
{
    HWND hWnd = ::CreateWindowEx(0, "Static", "plain", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, nullptr);
    CWnd* pTemp = CWnd::FromHandle(hWnd);
    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(hWnd));
    // The permanent object answers from now on; the temporary one stays
    // usable by whoever holds it until idle.
    EXPECT_EQ(CWnd::FromHandle(hWnd), &wnd);
    EXPECT_EQ(pTemp->m_hWnd, hWnd);
    CWnd other;
    EXPECT_FALSE(other.Attach(hWnd)); // one object per window
    EXPECT_EQ(wnd.Detach(), hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_TRUE(::IsWindow(hWnd));
}

class CSelfDeleting : public CWnd {
public:
    explicit CSelfDeleting(int* pDeleted)
        : m_pDeleted(pDeleted)
    {
    }
    ~CSelfDeleting() override { ++*m_pDeleted; }

protected:
    void PostNcDestroy() override { delete this; }
    int* m_pDeleted;
};

// Handles WM_NCDESTROY itself without the base handler.
class CSelfDeletingNoBase : public CSelfDeleting {
public:
    using CSelfDeleting::CSelfDeleting;
    afx_msg void OnNcDestroy() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfDeletingNoBase, CSelfDeleting)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

TEST_F(WndTest, PostNcDestroyDeletesTheObjectAfterItsWindow)
{
    int deleted = 0;
    auto* pWnd = new CSelfDeleting(&deleted);
    ASSERT_TRUE(pWnd->CreateEx(0, nullptr, "x", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, NULL, NULL));
    HWND hWnd = pWnd->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);

    auto* pNoBase = new CSelfDeletingNoBase(&deleted);
    ASSERT_TRUE(pNoBase->CreateEx(0, nullptr, "y", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, NULL, NULL));
    hWnd = pNoBase->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

// Destroys another window of its own when its window goes.
class CTakesSiblingAlong : public CSelfDeleting {
public:
    CTakesSiblingAlong(int* pDeleted, CWnd* pSibling)
        : CSelfDeleting(pDeleted)
        , m_pSibling(pSibling)
    {
    }
    afx_msg void OnDestroy()
    {
        m_pSibling->DestroyWindow();
        CSelfDeleting::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()

private:
    CWnd* m_pSibling;
};

BEGIN_MESSAGE_MAP(CTakesSiblingAlong, CSelfDeleting)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST_F(WndTest, WindowAlreadyGoingWithItsParentStillDeletesItsObject)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 100, 100, NULL, NULL));
    int deleted = 0;
    auto* pFirst = new CSelfDeleting(&deleted);
    ASSERT_TRUE(pFirst->Create(nullptr, "first", WS_CHILD, CRect(0, 0, 10, 10), &parent, 1));
    HWND hFirst = pFirst->m_hWnd;
    auto* pSecond = new CTakesSiblingAlong(&deleted, pFirst);
    ASSERT_TRUE(pSecond->Create(nullptr, "second", WS_CHILD, CRect(0, 10, 10, 20), &parent, 2));
    // The parent's destruction has already claimed the first child when the
    // second asks for it: the first must still get its WM_NCDESTROY.
    parent.DestroyWindow();
    EXPECT_EQ(deleted, 2);
    EXPECT_FALSE(::IsWindow(hFirst));
    EXPECT_EQ(CWnd::FromHandlePermanent(hFirst), nullptr);
}

TEST_F(WndTest, RefusedPreCreateWindowCleansUpTheObject)
{
    class CRefuses : public CSelfDeleting {
    public:
        using CSelfDeleting::CSelfDeleting;
        BOOL PreCreateWindow(CREATESTRUCT&) override { return FALSE; }
    };
    int deleted = 0;
    auto* pWnd = new CRefuses(&deleted);
    EXPECT_FALSE(pWnd->CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 5, 5, NULL, NULL));
    EXPECT_EQ(deleted, 1);
}

TEST_F(WndTest, ObjectDestroyedFirstTakesItsWindow)
{
    HWND hWnd;
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 5, 5, NULL, NULL));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

// ---- Subclassing -------------------------------------------------------------------------------

int g_originalProcCalls = 0;

LRESULT CALLBACK OriginalProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_USER + 1) {
        ++g_originalProcCalls;
        return 11;
    }
    return ::DefWindowProc(hWnd, msg, wParam, lParam);
}

class CSubclasser : public CWnd {
public:
    int mapCalls = 0;
    afx_msg LRESULT OnUser1(WPARAM, LPARAM)
    {
        ++mapCalls;
        return Default() + 1; // the old procedure's answer, plus one
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclasser, CWnd)
    ON_MESSAGE(WM_USER + 1, OnUser1)
END_MESSAGE_MAP()

TEST_F(WndTest, SubclassedWindowRunsTheMapThenItsOldProcedure)
{
    g_originalProcCalls = 0;
    WNDCLASS wc{};
    wc.lpfnWndProc = &OriginalProc;
    wc.lpszClassName = "FwcoreOriginal";
    ASSERT_NE(::RegisterClass(&wc), 0);
    HWND hParent = ::CreateWindowEx(0, "FwcoreOriginal", "parent", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, nullptr);
    HWND hChild = ::CreateWindowEx(0, "FwcoreOriginal", "child", WS_CHILD, 0, 0, 10, 10, hParent,
        reinterpret_cast<HMENU>(UINT_PTR(31)), NULL, nullptr);
    ASSERT_NE(hChild, HWND(NULL));

    CSubclasser wnd;
    CWnd parent;
    ASSERT_TRUE(parent.Attach(hParent));
    ASSERT_TRUE(wnd.SubclassDlgItem(31, &parent));
    EXPECT_EQ(::SendMessage(hChild, WM_USER + 1, 0, 0), 12);
    EXPECT_EQ(wnd.mapCalls, 1);
    EXPECT_EQ(g_originalProcCalls, 1);

    EXPECT_EQ(wnd.UnsubclassWindow(), hChild);
    EXPECT_EQ(::SendMessage(hChild, WM_USER + 1, 0, 0), 11);
    EXPECT_EQ(wnd.mapCalls, 1);
    EXPECT_FALSE(wnd.SubclassDlgItem(99, &parent));
    parent.Detach();
}

// ---- Tree helpers -------------------------------------------------------------------------------

TEST_F(WndTest, DescendantsAreFoundAndMessagedDepthFirst)
{
    CRecorder top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP, 0, 0, 100, 100, NULL, NULL));
    CWnd middle;
    ASSERT_TRUE(middle.Create(nullptr, "middle", WS_VISIBLE, Box(), &top, 1));
    CRecorder deep;
    ASSERT_TRUE(deep.Create(nullptr, "deep", WS_VISIBLE, Box(), &middle, 2));
    EXPECT_EQ(top.GetDescendantWindow(2, TRUE), &deep);
    EXPECT_EQ(top.GetDescendantWindow(3), nullptr);
    top.SendMessageToDescendants(WM_SIZE, 0, MAKELPARAM(7, 8), TRUE, TRUE);
    EXPECT_EQ(deep.lastSize, CSize(7, 8));
    EXPECT_EQ(deep.GetTopLevelParent(), &top);
    EXPECT_EQ(deep.GetParentOwner(), &middle);
    EXPECT_EQ(deep.GetParentFrame(), nullptr);
    middle.SetOwner(&deep);
    EXPECT_EQ(middle.GetOwner(), &deep);
}

TEST_F(WndTest, ModifyStyleReportsWhetherAnythingChanged)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 5, 5, NULL, NULL));
    EXPECT_TRUE(wnd.ModifyStyle(0, WS_BORDER));
    EXPECT_TRUE(wnd.GetStyle() & WS_BORDER);
    EXPECT_FALSE(wnd.ModifyStyle(0, WS_BORDER));
    EXPECT_TRUE(wnd.ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED));
    EXPECT_FALSE(wnd.GetStyle() & WS_BORDER);
}

TEST_F(WndTest, CenterWindowCentresOnTheScreenWithoutOwner)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 200, 100, NULL, NULL));
    wnd.CenterWindow();
    CRect rc;
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, (::GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
    EXPECT_EQ(rc.top, (::GetSystemMetrics(SM_CYSCREEN) - 100) / 2);
}

// Answers the tool tip's question for its child control.
class CTipOwner : public CWnd {
public:
    int asked = 0;
    afx_msg BOOL OnNeedText(UINT, NMHDR* pNMHDR, LRESULT*)
    {
        ++asked;
        reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->lpszText = const_cast<char*>("Child tip");
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTipOwner, CWnd)
    ON_NOTIFY_EX(TTN_NEEDTEXT, 0, OnNeedText)
END_MESSAGE_MAP()

TEST_F(WndTest, ToolTipsFollowTheMouseOverChildControls)
{
    CTipOwner wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "tips", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, NULL, NULL));
    HWND hChild = ::CreateWindowEx(0, "Button", "b", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, wnd.m_hWnd,
        reinterpret_cast<HMENU>(UINT_PTR(77)), NULL, nullptr);
    EXPECT_FALSE(wnd.EnableToolTips(TRUE));
    TOOLINFOA ti{};
    EXPECT_EQ(wnd.OnToolHitTest(CPoint(20, 15), &ti), 77);
    EXPECT_EQ(ti.uId, UINT_PTR(hChild));
    EXPECT_EQ(wnd.OnToolHitTest(CPoint(150, 80), nullptr), -1);

    MSG msg{};
    msg.hwnd = hChild;
    msg.message = WM_MOUSEMOVE;
    msg.pt = POINT{120, 115};
    EXPECT_FALSE(wnd.PreTranslateMessage(&msg));
    HWND hTip = ::FindWindow(TOOLTIPS_CLASS, nullptr);
    ASSERT_NE(hTip, HWND(NULL));
    EXPECT_EQ(::GetWindow(hTip, GW_OWNER), wnd.m_hWnd);
    EXPECT_EQ(::SendMessage(hTip, TTM_GETTOOLCOUNT, 0, 0), 1);
    // Off the control the tool goes away; turning tips off drops the tip.
    msg.hwnd = wnd.m_hWnd;
    msg.pt = POINT{250, 180};
    wnd.PreTranslateMessage(&msg);
    EXPECT_EQ(::SendMessage(hTip, TTM_GETTOOLCOUNT, 0, 0), 0);
    EXPECT_TRUE(wnd.EnableToolTips(FALSE));
    EXPECT_FALSE(::IsWindow(hTip));
}

} // namespace
