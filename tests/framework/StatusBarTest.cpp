#include "tests/framework/ControlBarTestSupport.h"

namespace bartest {
namespace {

const UINT kIndicators[] = {ID_SEPARATOR, kPaneOutside, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

class StatusBarTest : public BarFixture {
protected:
    CStatusBar* MakeStatusBar()
    {
        CBarFrame* pFrame = MakeFrame();
        m_status = std::make_unique<CStatusBar>();
        EXPECT_TRUE(m_status->Create(pFrame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR));
        EXPECT_TRUE(m_status->SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators))));
        pFrame->RecalcLayout();
        return m_status.get();
    }

    void TearDown() override
    {
        BarFixture::TearDown();
        m_status.reset();
    }

    // What the control shows in a pane.
    std::string Shown(int nIndex) const
    {
        char text[256] = {};
        m_status->SendMessage(SB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text));
        return text;
    }

    std::unique_ptr<CStatusBar> m_status;
};

TEST_F(StatusBarTest, SitsAtTheBottomAndThePromptPaneStretches)
{
    CStatusBar* pBar = MakeStatusBar();
    CRect client = ClientRect();
    CRect bar = ChildRect(pBar->m_hWnd);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.Width(), client.Width());
    EXPECT_GT(bar.Height(), 10);
    EXPECT_EQ(ViewRect().bottom, bar.top);

    EXPECT_EQ(pBar->GetCount(), 5);
    EXPECT_EQ(pBar->CommandToIndex(ID_INDICATOR_NUM), 3);
    EXPECT_EQ(pBar->GetItemID(1), kPaneOutside);
    UINT nID = 0, nStyle = 0;
    int cx = 0;
    pBar->GetPaneInfo(0, nID, nStyle, cx);
    EXPECT_EQ(nID, 0u);
    EXPECT_TRUE(nStyle & SBPS_STRETCH);

    CRect prompt, outside, caps, num;
    pBar->GetItemRect(0, &prompt);
    pBar->GetItemRect(1, &outside);
    pBar->GetItemRect(2, &caps);
    pBar->GetItemRect(3, &num);
    // Indicator panes are as wide as their text; the prompt takes the rest.
    EXPECT_GT(outside.Width(), caps.Width());
    EXPECT_LT(caps.Width(), num.Width() + 8);
    EXPECT_GT(prompt.Width(), client.Width() / 2);
    EXPECT_LT(prompt.right, outside.left + 1);
}

TEST_F(StatusBarTest, PaneTextAndWindowTextGoToThePromptPane)
{
    CStatusBar* pBar = MakeStatusBar();
    EXPECT_TRUE(pBar->SetPaneText(0, "Rotation: 45"));
    EXPECT_EQ(pBar->GetPaneText(0), CString("Rotation: 45"));
    EXPECT_EQ(Shown(0), "Rotation: 45");
    EXPECT_FALSE(pBar->SetPaneText(9, "nowhere"));

    pBar->SetWindowText("Ready");
    EXPECT_EQ(pBar->GetPaneText(0), CString("Ready"));
    CString text;
    pBar->GetWindowText(text);
    EXPECT_EQ(text, CString("Ready"));

    // The frame's prompts reach it through SetMessageText.
    m_pFrame->SetMessageText("Saving...");
    EXPECT_EQ(pBar->GetPaneText(0), CString("Saving..."));
}

TEST_F(StatusBarTest, IdleUpdateSetsPaneTextAndDisabledPanesShowNothing)
{
    CStatusBar* pBar = MakeStatusBar();
    EXPECT_EQ(Shown(1), "-Outside Center-");
    IdleUpdate();
    EXPECT_TRUE(pBar->GetPaneStyle(1) & SBPS_DISABLED);
    EXPECT_EQ(Shown(1), "");
    EXPECT_EQ(pBar->GetPaneText(1), CString(""));

    // The key indicators follow the toggle state of their keys.
    EXPECT_EQ(Shown(2), "") << "Caps Lock is off";
    platform::headless::TypeKey(VK_CAPITAL);
    Pump();
    IdleUpdate();
    EXPECT_EQ(Shown(2), "CAP");
    platform::headless::TypeKey(VK_CAPITAL);
    Pump();
    IdleUpdate();
    EXPECT_EQ(Shown(2), "");
    EXPECT_EQ(pBar->GetPaneText(2), CString("CAP"));
}

TEST_F(StatusBarTest, PaneInfoChangesStyleAndWidth)
{
    CStatusBar* pBar = MakeStatusBar();
    pBar->SetPaneInfo(3, ID_INDICATOR_NUM, SBPS_POPOUT, 120);
    UINT nID = 0, nStyle = 0;
    int cx = 0;
    pBar->GetPaneInfo(3, nID, nStyle, cx);
    EXPECT_EQ(nStyle, static_cast<UINT>(SBPS_POPOUT));
    EXPECT_EQ(cx, 120);
    CRect rect;
    pBar->GetItemRect(3, &rect);
    EXPECT_GE(rect.Width(), 120);
    EXPECT_FALSE(pBar->SetIndicators(kIndicators, -1));
    EXPECT_FALSE(pBar->SetIndicators(nullptr, 3));
}

} // namespace
} // namespace bartest
