// Message maps of command targets: which entry answers, in which order,
// and what CCmdUI does to menu items.

#include "FrameworkTestSupport.h"

#include <string>
#include <vector>

namespace {

using fwtest::FrameworkTest;

class CBaseTarget : public CCmdTarget {
public:
    std::vector<std::string> calls;
    BOOL m_bExAnswer = FALSE;

    afx_msg void OnBaseOnly() { calls.push_back("base-only"); }
    afx_msg void OnShared() { calls.push_back("base-shared"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(100, OnBaseOnly)
    ON_COMMAND(101, OnShared)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
public:
    UINT m_lastRangeId = 0;
    afx_msg void OnShared() { calls.push_back("derived-shared"); }
    afx_msg void OnRange(UINT nID) { m_lastRangeId = nID; }
    afx_msg BOOL OnEx(UINT nID)
    {
        calls.push_back("ex " + std::to_string(nID));
        return m_bExAnswer;
    }
    afx_msg void OnUpdateRange(CCmdUI* pCmdUI) { pCmdUI->Enable(pCmdUI->m_nID % 2 == 0); }
    afx_msg void OnUpdatePassOn(CCmdUI* pCmdUI)
    {
        calls.push_back("update-pass-on");
        pCmdUI->ContinueRouting();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(101, OnShared)
    ON_COMMAND_RANGE(9100, 9107, OnRange)
    ON_COMMAND_EX(102, OnEx)
    ON_UPDATE_COMMAND_UI_RANGE(0xE110, 0xE11F, OnUpdateRange)
    ON_UPDATE_COMMAND_UI(103, OnUpdatePassOn)
END_MESSAGE_MAP()

// Records what a CCmdUI was told.
class CRecordingCmdUI : public CCmdUI {
public:
    int enabled = -1;
    int checked = -1;
    void Enable(BOOL bOn) override
    {
        enabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { checked = nCheck; }
};

using CmdTargetTest = FrameworkTest;

TEST_F(CmdTargetTest, MostDerivedEntryWinsAndBaseEntriesStillAnswer)
{
    CDerivedTarget target;
    EXPECT_TRUE(target.OnCmdMsg(101, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(target.OnCmdMsg(555, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"derived-shared", "base-only"}));
}

TEST_F(CmdTargetTest, RangeHandlersGetTheIdAndEndsAreInclusive)
{
    CDerivedTarget target;
    EXPECT_TRUE(target.OnCmdMsg(9100, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(target.m_lastRangeId, 9100u);
    EXPECT_TRUE(target.OnCmdMsg(9107, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(target.m_lastRangeId, 9107u);
    EXPECT_FALSE(target.OnCmdMsg(9108, CN_COMMAND, nullptr, nullptr));
}

TEST_F(CmdTargetTest, ExtendedHandlerDecidesWhetherTheRouteGoesOn)
{
    CDerivedTarget target;
    target.m_bExAnswer = FALSE;
    EXPECT_FALSE(target.OnCmdMsg(102, CN_COMMAND, nullptr, nullptr));
    target.m_bExAnswer = TRUE;
    EXPECT_TRUE(target.OnCmdMsg(102, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"ex 102", "ex 102"}));
}

TEST_F(CmdTargetTest, HandlerInfoReportsWithoutCalling)
{
    CDerivedTarget target;
    AFX_CMDHANDLERINFO info;
    EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &target);
    ASSERT_NE(info.pEntry, nullptr);
    EXPECT_EQ(info.pEntry->nID, 100u);
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(CmdTargetTest, UpdateHandlersAnswerForTheirRangeOnly)
{
    CDerivedTarget target;
    CRecordingCmdUI even;
    even.m_nID = 0xE110;
    EXPECT_TRUE(even.DoUpdate(&target, FALSE));
    EXPECT_EQ(even.enabled, TRUE);
    CRecordingCmdUI odd;
    odd.m_nID = 0xE111;
    odd.DoUpdate(&target, FALSE);
    EXPECT_EQ(odd.enabled, FALSE);
}

TEST_F(CmdTargetTest, ContinueRoutingMakesTheUpdateUnanswered)
{
    CDerivedTarget target;
    CRecordingCmdUI ui;
    ui.m_nID = 103;
    EXPECT_FALSE(target.OnCmdMsg(103, int(CN_UPDATE_COMMAND_UI), &ui, nullptr));
    EXPECT_EQ(target.calls, (std::vector<std::string>{"update-pass-on"}));
    EXPECT_FALSE(ui.m_bContinueRouting);
}

TEST_F(CmdTargetTest, DisableIfNoHandlerDisablesOnlyCommandsNobodyHandles)
{
    CDerivedTarget target;
    CRecordingCmdUI handled;
    handled.m_nID = 100; // a command handler, no update handler
    handled.DoUpdate(&target, TRUE);
    EXPECT_EQ(handled.enabled, -1);
    CRecordingCmdUI orphan;
    orphan.m_nID = 4242;
    orphan.DoUpdate(&target, TRUE);
    EXPECT_EQ(orphan.enabled, FALSE);
    EXPECT_TRUE(target.calls.empty()); // asking for a handler runs none
}

// ---- Menu items ---------------------------------------------------------------------------------

class CMenuTarget : public CCmdTarget {
public:
    afx_msg void OnEnabledChecked(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetCheck(1);
    }
    afx_msg void OnRelabel(CCmdUI* pCmdUI) { pCmdUI->SetText("&Renamed\tCtrl+R"); }
    afx_msg void OnDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnCommand100() {}
    afx_msg void OnSubFirst(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuTarget, CCmdTarget)
    ON_UPDATE_COMMAND_UI(100, OnEnabledChecked)
    ON_COMMAND(100, OnCommand100)
    ON_UPDATE_COMMAND_UI(102, OnRelabel)
    ON_UPDATE_COMMAND_UI(103, OnDisabled)
    ON_UPDATE_COMMAND_UI(200, OnSubFirst)
END_MESSAGE_MAP()

TEST_F(CmdTargetTest, PopupMenuItemsFollowTheirUpdateHandlers)
{
    CMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, 200, "Sub first");
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 100, "Checked");
    popup.AppendMenu(MF_STRING, 101, "No handler");
    popup.AppendMenu(MF_STRING | MF_GRAYED, 102, "Old label");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING, 103, "Disabled");
    popup.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "Sub");
    popup.AppendMenu(MF_STRING, 0xF060, "System close");

    CMenuTarget target;
    AfxUpdatePopupMenu(&popup, &target, TRUE);

    EXPECT_EQ(popup.GetMenuState(100, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), UINT(MF_CHECKED));
    EXPECT_TRUE(popup.GetMenuState(101, MF_BYCOMMAND) & MF_GRAYED);
    // SetText keeps the item's other state.
    CString label;
    popup.GetMenuString(102, label, MF_BYCOMMAND);
    EXPECT_STREQ(label, "&Renamed\tCtrl+R");
    EXPECT_TRUE(popup.GetMenuState(102, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(popup.GetMenuState(103, MF_BYCOMMAND) & MF_GRAYED);
    // A submenu's title is left alone by its first item's handler; system
    // commands are never disabled for want of a handler.
    EXPECT_FALSE(popup.GetMenuState(5, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(popup.GetMenuState(0xF060, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(CmdTargetTest, WithoutAutoEnableItemsWithoutHandlersStayAsTheyAre)
{
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 101, "No handler");
    CMenuTarget target;
    AfxUpdatePopupMenu(&popup, &target, FALSE);
    EXPECT_FALSE(popup.GetMenuState(101, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(CmdTargetTest, TemporaryMenuWrappersDoNotDestroyTheirMenu)
{
    HMENU hMenu = ::CreatePopupMenu();
    CMenu* pTemp = CMenu::FromHandle(hMenu);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(CMenu::FromHandlePermanent(hMenu), nullptr);
    EXPECT_EQ(CMenu::FromHandle(hMenu), pTemp);
    CMenu::DeleteTempMap();
    EXPECT_TRUE(::IsMenu(hMenu));
    {
        CMenu owner;
        owner.Attach(hMenu);
        EXPECT_EQ(CMenu::FromHandlePermanent(hMenu), &owner);
    }
    EXPECT_FALSE(::IsMenu(hMenu));
}

} // namespace
