// Which WM_COMMAND is a command and which a control's notification; the
// update handlers' gate on commands; reflection of control messages.

#include "FrameworkTestSupport.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <string>
#include <vector>

namespace {

using fwtest::FrameworkTest;
using RoutingTest = FrameworkTest;

constexpr UINT kEffect = 33065;   // a command that update handlers can disable
constexpr UINT kCollision = 33202; // a command id that a control also has

std::vector<std::string> g_log;

// A command target further along the route (a document, say).
class CRouteTarget : public CCmdTarget {
public:
    BOOL m_bEffectEnabled = TRUE;
    afx_msg void OnEffect() { g_log.push_back("target effect"); }
    afx_msg void OnUpdateEffect(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bEffectEnabled); }
    afx_msg void OnCollision() { g_log.push_back("target collision"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteTarget, CCmdTarget)
    ON_COMMAND(kEffect, OnEffect)
    ON_UPDATE_COMMAND_UI(kEffect, OnUpdateEffect)
    ON_COMMAND(kCollision, OnCollision)
END_MESSAGE_MAP()

// A window that routes commands to its target first, as frames route to
// their views.
class CRoutingWnd : public CWnd {
public:
    CRouteTarget target;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (target.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    afx_msg void OnOk() { g_log.push_back("window ok"); }
    afx_msg void OnPadButton() { g_log.push_back("window pad button"); }
    afx_msg void OnEditChange() { g_log.push_back("window edit change"); }
    afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
    {
        g_log.push_back("window notify " + std::to_string(pNMHDR->idFrom));
        *pResult = 5;
    }
    afx_msg void OnParentDrawItem(int, LPDRAWITEMSTRUCT) { g_log.push_back("window drawitem"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRoutingWnd, CWnd)
    ON_COMMAND(IDOK, OnOk)
    ON_BN_CLICKED(33203, OnPadButton)
    ON_EN_CHANGE(40, OnEditChange)
    ON_NOTIFY(0x100, 41, OnItemChanged)
END_MESSAGE_MAP()

class RoutingFixture : public RoutingTest {
protected:
    void SetUp() override
    {
        RoutingTest::SetUp();
        g_log.clear();
        ASSERT_TRUE(m_wnd.CreateEx(0, nullptr, "router", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
    }
    void TearDown() override
    {
        m_wnd.DestroyWindow();
        RoutingTest::TearDown();
    }
    HWND MakeButton(int id)
    {
        return ::CreateWindowEx(0, "Button", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 20, 20, m_wnd.m_hWnd,
            reinterpret_cast<HMENU>(UINT_PTR(id)), NULL, nullptr);
    }
    CRoutingWnd m_wnd;
};

TEST_F(RoutingFixture, DisabledCommandIsDroppedWhetherSentPostedOrFromAnAccelerator)
{
    m_wnd.target.m_bEffectEnabled = FALSE;
    m_wnd.SendMessage(WM_COMMAND, kEffect, 0);
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kEffect, 1), 0);
    m_wnd.PostMessage(WM_COMMAND, kEffect, 0);
    Pump();
    EXPECT_TRUE(g_log.empty());

    m_wnd.target.m_bEffectEnabled = TRUE;
    m_wnd.PostMessage(WM_COMMAND, kEffect, 0);
    Pump();
    EXPECT_EQ(g_log, (std::vector<std::string>{"target effect"}));
}

TEST_F(RoutingFixture, CommandWithLParamZeroRoutesWhateverItsHighWord)
{
    // A dialog's default-button answer (DC_HASDEFID in the high word) sent
    // on as a command.
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, DC_HASDEFID), 0);
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kCollision, DC_HASDEFID), 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"window ok", "target collision"}));
}

TEST_F(RoutingFixture, ControlNotificationGoesToTheParentOnly)
{
    HWND hCollide = MakeButton(int(kCollision));
    HWND hPad = MakeButton(33203);
    // The button's id is also a command along the route: the click must
    // not run it.
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kCollision, BN_CLICKED), reinterpret_cast<LPARAM>(hCollide));
    EXPECT_TRUE(g_log.empty());
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(33203, BN_CLICKED), reinterpret_cast<LPARAM>(hPad));
    EXPECT_EQ(g_log, (std::vector<std::string>{"window pad button"}));
    // Notifications are not gated by update handlers.
    g_log.clear();
    m_wnd.target.m_bEffectEnabled = FALSE;
    HWND hEdit = ::CreateWindowEx(0, "Edit", "", WS_CHILD, 0, 0, 20, 20, m_wnd.m_hWnd,
        reinterpret_cast<HMENU>(UINT_PTR(40)), NULL, nullptr);
    m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(40, EN_CHANGE), reinterpret_cast<LPARAM>(hEdit));
    EXPECT_EQ(g_log, (std::vector<std::string>{"window edit change"}));
}

TEST_F(RoutingFixture, NotifyReachesTheParentMapWithItsResult)
{
    HWND hCtl = MakeButton(41);
    NMHDR nm{hCtl, 41, 0x100};
    EXPECT_EQ(m_wnd.SendMessage(WM_NOTIFY, 41, reinterpret_cast<LPARAM>(&nm)), 5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"window notify 41"}));
    nm.code = 0x101;
    EXPECT_EQ(m_wnd.SendMessage(WM_NOTIFY, 41, reinterpret_cast<LPARAM>(&nm)), 0);
}

// ---- Reflection ---------------------------------------------------------------------------------

class CReflectingButton : public CWnd {
public:
    BOOL m_bLetParentSee = FALSE;
    HBRUSH m_hBrush = NULL;
    afx_msg void OnClickedEx() { g_log.push_back("button reflected"); }
    afx_msg BOOL OnDoubleClickedEx()
    {
        g_log.push_back("button reflected ex");
        return !m_bLetParentSee;
    }
    afx_msg HBRUSH CtlColor(CDC*, UINT nCtlColor)
    {
        g_log.push_back("button ctlcolor " + std::to_string(nCtlColor));
        return m_hBrush;
    }
    afx_msg void DrawItem(LPDRAWITEMSTRUCT lpDIS) { g_log.push_back("button drawitem " + std::to_string(lpDIS->itemID)); }
    afx_msg void OnNotifyReflect(NMHDR*, LRESULT* pResult)
    {
        g_log.push_back("button notify");
        *pResult = 9;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedEx)
    ON_CONTROL_REFLECT_EX(BN_DOUBLECLICKED, OnDoubleClickedEx)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_DRAWITEM_REFLECT()
    ON_NOTIFY_REFLECT(0x200, OnNotifyReflect)
END_MESSAGE_MAP()

class CParentOfReflecting : public CWnd {
public:
    afx_msg void OnClicked() { g_log.push_back("parent clicked"); }
    afx_msg void OnDoubleClicked() { g_log.push_back("parent double"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentOfReflecting, CWnd)
    ON_BN_CLICKED(50, OnClicked)
    ON_BN_DOUBLECLICKED(50, OnDoubleClicked)
END_MESSAGE_MAP()

class ReflectionFixture : public RoutingTest {
protected:
    void SetUp() override
    {
        RoutingTest::SetUp();
        g_log.clear();
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
        HWND hButton = ::CreateWindowEx(0, "Button", "b", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 20, 20,
            m_parent.m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(50)), NULL, nullptr);
        ASSERT_TRUE(m_button.SubclassWindow(hButton));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        RoutingTest::TearDown();
    }
    LPARAM ButtonParam() const { return reinterpret_cast<LPARAM>(m_button.m_hWnd); }
    CParentOfReflecting m_parent;
    CReflectingButton m_button;
};

TEST_F(ReflectionFixture, ReflectedCommandIsEatenByTheControl)
{
    m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(50, BN_CLICKED), ButtonParam());
    EXPECT_EQ(g_log, (std::vector<std::string>{"button reflected"}));
}

TEST_F(ReflectionFixture, ExtendedReflectionCanLetTheParentSeeItToo)
{
    m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(50, BN_DOUBLECLICKED), ButtonParam());
    m_button.m_bLetParentSee = TRUE;
    m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(50, BN_DOUBLECLICKED), ButtonParam());
    EXPECT_EQ(g_log,
        (std::vector<std::string>{"button reflected ex", "button reflected ex", "parent double"}));
}

TEST_F(ReflectionFixture, ControlColourComesFromTheControlWhenItGivesABrush)
{
    HDC hDC = ::GetDC(m_button.m_hWnd);
    m_button.m_hBrush = ::GetSysColorBrush(COLOR_HIGHLIGHT);
    LRESULT brush = m_parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hDC), ButtonParam());
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), m_button.m_hBrush);
    // No brush from the control: the parent's default answers.
    m_button.m_hBrush = NULL;
    brush = m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), ButtonParam());
    EXPECT_EQ(brush, ::DefWindowProc(m_parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), ButtonParam()));
    ::ReleaseDC(m_button.m_hWnd, hDC);
    EXPECT_EQ(g_log,
        (std::vector<std::string>{"button ctlcolor " + std::to_string(CTLCOLOR_BTN),
            "button ctlcolor " + std::to_string(CTLCOLOR_STATIC)}));
}

TEST_F(ReflectionFixture, DrawItemAndNotifyAreReflected)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 50;
    dis.itemID = 4;
    dis.hwndItem = m_button.m_hWnd;
    EXPECT_EQ(m_parent.SendMessage(WM_DRAWITEM, 50, reinterpret_cast<LPARAM>(&dis)), TRUE);
    NMHDR nm{m_button.m_hWnd, 50, 0x200};
    EXPECT_EQ(m_parent.SendMessage(WM_NOTIFY, 50, reinterpret_cast<LPARAM>(&nm)), 9);
    EXPECT_EQ(g_log, (std::vector<std::string>{"button drawitem 4", "button notify"}));
}

// ---- Dialog-bar style updates ---------------------------------------------------------------------

class CPadTarget : public CCmdTarget {
public:
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateRelabel(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetText("Relabelled");
        pCmdUI->SetCheck(1);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPadTarget, CCmdTarget)
    ON_UPDATE_COMMAND_UI(300, OnUpdateDisabled)
    ON_UPDATE_COMMAND_UI(303, OnUpdateRelabel)
END_MESSAGE_MAP()

TEST_F(RoutingTest, DialogControlsFollowUpdateHandlersAndLackOfThem)
{
    CWnd pad;
    ASSERT_TRUE(pad.CreateEx(0, nullptr, "pad", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
    auto make = [&](int id, DWORD style) {
        return ::CreateWindowEx(0, "Button", "x", WS_CHILD | WS_VISIBLE | style, 0, 0, 20, 20, pad.m_hWnd,
            reinterpret_cast<HMENU>(UINT_PTR(id)), NULL, nullptr);
    };
    HWND hDisabled = make(300, BS_PUSHBUTTON);
    HWND hNoHandler = make(301, BS_PUSHBUTTON);
    HWND hAutoCheck = make(302, BS_AUTOCHECKBOX);
    HWND hRelabel = make(303, BS_CHECKBOX);
    CPadTarget target;
    pad.UpdateDialogControls(&target, TRUE);
    EXPECT_FALSE(::IsWindowEnabled(hDisabled));
    EXPECT_FALSE(::IsWindowEnabled(hNoHandler));
    EXPECT_TRUE(::IsWindowEnabled(hAutoCheck));
    EXPECT_TRUE(::IsWindowEnabled(hRelabel));
    char text[32] = {};
    ::GetWindowText(hRelabel, text, sizeof text);
    EXPECT_STREQ(text, "Relabelled");
    EXPECT_EQ(::SendMessage(hRelabel, BM_GETCHECK, 0, 0), BST_CHECKED);
    // The pass leaves no temporary objects behind.
    EXPECT_EQ(platform::FrameworkTemporaryWindowCount(), 0u);
    pad.DestroyWindow();
}

} // namespace
