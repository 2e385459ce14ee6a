#include "tests/framework/ControlBarTestSupport.h"

#include "platform/framework/Controls.h"

namespace bartest {
namespace {

class ToolBarTest : public BarFixture {
protected:
    CToolBar* MakeToolBar(DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_HIDE_INPLACE)
    {
        CBarFrame* pFrame = MakeFrame();
        m_toolbar = std::make_unique<CToolBar>();
        EXPECT_TRUE(m_toolbar->Create(pFrame, dwStyle, AFX_IDW_TOOLBAR));
        EXPECT_TRUE(m_toolbar->LoadToolBar(kToolbarResource));
        pFrame->RecalcLayout();
        return m_toolbar.get();
    }

    void TearDown() override
    {
        BarFixture::TearDown();
        m_toolbar.reset();
    }

    std::unique_ptr<CToolBar> m_toolbar;
};

TEST_F(ToolBarTest, CreateKeepsBarStylesOutOfTheWindowStyle)
{
    CToolBar* pBar = MakeToolBar(0x50002808);
    EXPECT_EQ(pBar->GetBarStyle(), static_cast<DWORD>(CBRS_TOP | CBRS_HIDE_INPLACE));
    EXPECT_EQ(pBar->GetDlgCtrlID(), AFX_IDW_TOOLBAR);
    EXPECT_TRUE(pBar->GetStyle() & WS_VISIBLE);
    // CBRS_HIDE_INPLACE shares its bit with a control style the bar must not get.
    EXPECT_TRUE(pBar->GetStyle() & CCS_NORESIZE);
    EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_TOOLBAR), pBar);
}

TEST_F(ToolBarTest, LoadToolBarMakesTheResourceButtons)
{
    CToolBar* pBar = MakeToolBar();
    ASSERT_EQ(pBar->GetCount(), 5);
    EXPECT_EQ(pBar->GetItemID(0), kCmdA);
    EXPECT_EQ(pBar->GetItemID(2), 0u);
    EXPECT_EQ(pBar->GetItemID(4), kCmdD);
    EXPECT_EQ(pBar->CommandToIndex(kCmdC), 3);
    EXPECT_EQ(pBar->CommandToIndex(9999), -1);
    EXPECT_EQ(pBar->GetButtonSize(), CSize(23, 22));
    EXPECT_EQ(pBar->GetImageSize(), CSize(16, 15));

    UINT nID = 0, nStyle = 0;
    int iImage = -1;
    pBar->GetButtonInfo(3, nID, nStyle, iImage);
    EXPECT_EQ(nID, kCmdC);
    EXPECT_EQ(nStyle, static_cast<UINT>(TBBS_BUTTON));
    EXPECT_EQ(iImage, 2); // the separator takes no image
    pBar->GetButtonInfo(2, nID, nStyle, iImage);
    EXPECT_EQ(nStyle, static_cast<UINT>(TBBS_SEPARATOR));

    CRect first, second;
    pBar->GetItemRect(0, &first);
    pBar->GetItemRect(1, &second);
    EXPECT_EQ(first.Size(), CSize(23, 22));
    EXPECT_EQ(second.left, first.right);
}

TEST_F(ToolBarTest, MissingResourceFailsWithoutButtons)
{
    CToolBar* pBar = MakeToolBar();
    EXPECT_FALSE(pBar->LoadToolBar(7799));
    EXPECT_EQ(pBar->GetCount(), 5);
}

TEST_F(ToolBarTest, SeparatorWidenedForAHostedComboGrowsTheBar)
{
    CToolBar* pBar = MakeToolBar();
    CSize before = pBar->CalcFixedLayout(FALSE, TRUE);
    int index = pBar->CommandToIndex(kCmdC);
    pBar->SetButtonInfo(index, kCmdZoom, TBBS_SEPARATOR, 135);
    CRect rect;
    pBar->GetItemRect(index, &rect);
    EXPECT_EQ(rect.Width(), 135);
    EXPECT_EQ(pBar->GetItemID(index), kCmdZoom);
    EXPECT_EQ(pBar->CalcFixedLayout(FALSE, TRUE).cx, before.cx + 135 - 23);
    EXPECT_EQ(pBar->CalcFixedLayout(TRUE, TRUE).cx, 32767);

    // The combo in that place is updated at idle like a dialog control.
    rect.top = 0;
    rect.bottom = 160;
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_HASSTRINGS | CBS_DROPDOWNLIST, rect, pBar, kCmdZoom));
    m_pFrame->m_zoomEnabled = FALSE;
    IdleUpdate();
    EXPECT_FALSE(combo.IsWindowEnabled());
    m_pFrame->m_zoomEnabled = TRUE;
    IdleUpdate();
    EXPECT_TRUE(combo.IsWindowEnabled());
}

TEST_F(ToolBarTest, IdleUpdateEnablesAndChecksButtons)
{
    CToolBar* pBar = MakeToolBar();
    m_pFrame->m_aEnabled = FALSE;
    m_pFrame->m_bChecked = TRUE;
    IdleUpdate();
    EXPECT_TRUE(pBar->GetButtonStyle(0) & TBBS_DISABLED);
    EXPECT_TRUE(pBar->GetButtonStyle(1) & TBBS_CHECKED);
    EXPECT_TRUE(pBar->GetButtonStyle(3) & TBBS_DISABLED) << "no handler at all";
    EXPECT_FALSE(pBar->GetButtonStyle(4) & TBBS_DISABLED) << "a command handler is enough";

    m_pFrame->m_aEnabled = TRUE;
    m_pFrame->m_bChecked = FALSE;
    IdleUpdate();
    EXPECT_FALSE(pBar->GetButtonStyle(0) & TBBS_DISABLED);
    EXPECT_FALSE(pBar->GetButtonStyle(1) & TBBS_CHECKED);
    // The control agrees.
    EXPECT_TRUE(pBar->SendMessage(TB_ISBUTTONENABLED, kCmdA));
    EXPECT_FALSE(pBar->SendMessage(TB_ISBUTTONENABLED, kCmdC));

    // A hidden bar keeps its state until it shows again.
    m_pFrame->m_aEnabled = FALSE;
    m_pFrame->ShowControlBar(pBar, FALSE, FALSE);
    IdleUpdate();
    EXPECT_FALSE(pBar->GetButtonStyle(0) & TBBS_DISABLED);
}

TEST_F(ToolBarTest, ViewToolbarCommandShowsAndHidesIt)
{
    CToolBar* pBar = MakeToolBar();
    int top = ViewRect().top;
    ASSERT_GT(top, 0);
    m_pFrame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(pBar->IsVisible());
    EXPECT_EQ(ViewRect().top, 0);
    m_pFrame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_TRUE(pBar->IsVisible());
    EXPECT_EQ(ViewRect().top, top);
}

TEST_F(ToolBarTest, ButtonStylesRoundTrip)
{
    CToolBar* pBar = MakeToolBar();
    pBar->SetButtonStyle(1, TBBS_CHECKBOX | TBBS_CHECKED);
    EXPECT_EQ(pBar->GetButtonStyle(1), static_cast<UINT>(TBBS_CHECKBOX | TBBS_CHECKED));
    EXPECT_TRUE(pBar->SendMessage(TB_ISBUTTONCHECKED, kCmdB));
    pBar->SetButtonStyle(1, TBBS_BUTTON | TBBS_DISABLED);
    EXPECT_FALSE(pBar->SendMessage(TB_ISBUTTONENABLED, kCmdB));
    EXPECT_FALSE(pBar->SendMessage(TB_ISBUTTONCHECKED, kCmdB));
}

TEST_F(ToolBarTest, ClickGoesUpTheCommandRoute)
{
    CToolBar* pBar = MakeToolBar();
    Pump();
    CRect rect;
    pBar->GetItemRect(pBar->CommandToIndex(kCmdD), &rect);
    pBar->ClientToScreen(&rect);
    platform::headless::Click(rect.CenterPoint().x, rect.CenterPoint().y);
    Pump();
    ASSERT_EQ(m_pFrame->m_commands.size(), 1u);
    EXPECT_EQ(m_pFrame->m_commands[0], kCmdD);

    // A command sent while its handler disables it is dropped.
    pBar->SendMessage(WM_COMMAND, MAKEWPARAM(kCmdE, BN_CLICKED), reinterpret_cast<LPARAM>(pBar->m_hWnd));
    EXPECT_EQ(m_pFrame->m_commands.size(), 1u);
}

TEST_F(ToolBarTest, TipsComeFromTheSecondPartOfTheStringWhenSwitchedOn)
{
    CToolBar* pBar = MakeToolBar(WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS);
    HWND hWndTip = reinterpret_cast<HWND>(pBar->SendMessage(TB_GETTOOLTIPS));
    ASSERT_NE(hWndTip, (HWND)NULL);
    auto ask = [&](UINT nID) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = hWndTip;
        info.hdr.idFrom = nID;
        info.hdr.code = TTN_NEEDTEXT;
        pBar->SendMessage(WM_NOTIFY, nID, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText != nullptr ? info.lpszText : "");
    };
    EXPECT_EQ(ask(kCmdA), "Apply");
    EXPECT_EQ(ask(kCmdD), "Do");
    EXPECT_EQ(ask(kCmdC), "") << "a string without a tip part";
    pBar->SetBarStyle(pBar->GetBarStyle() & ~CBRS_TOOLTIPS);
    EXPECT_EQ(ask(kCmdA), "");
}

TEST_F(ToolBarTest, PressOffTheButtonsStartsADragNotAClick)
{
    CToolBar* pBar = MakeToolBar();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    m_pFrame->DockControlBar(pBar);
    Pump();
    pBar->SetBarStyle(pBar->GetBarStyle() | CBRS_GRIPPER);
    m_pFrame->RecalcLayout();
    CRect window;
    pBar->GetWindowRect(&window);
    CRect first;
    pBar->GetItemRect(0, &first);
    pBar->ClientToScreen(&first);
    // The gripper before the first button is a handle for dragging.
    CPoint grip(window.left + 3, window.CenterPoint().y);
    ASSERT_LT(grip.x, first.left);
    platform::headless::PressMouse(0, grip.x, grip.y);
    platform::headless::MoveMouse(grip.x + 200, grip.y + 200);
    platform::headless::ReleaseMouse(0, grip.x + 200, grip.y + 200);
    Pump();
    EXPECT_TRUE(pBar->IsFloating());
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

} // namespace
} // namespace bartest
