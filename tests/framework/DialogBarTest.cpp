#include "tests/framework/ControlBarTestSupport.h"

namespace bartest {
namespace {

class DialogBarTest : public BarFixture {
protected:
    CDialogBar* MakeDialogBar(UINT nStyle = WS_CHILD | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT, UINT nID = 31000)
    {
        CBarFrame* pFrame = MakeFrame();
        m_bar = std::make_unique<CDialogBar>();
        EXPECT_TRUE(m_bar->Create(pFrame, kDialogResource, nStyle, nID));
        pFrame->RecalcLayout();
        return m_bar.get();
    }

    void TearDown() override
    {
        BarFixture::TearDown();
        m_bar.reset();
    }

    BOOL ChildEnabled(UINT nID) const { return ::IsWindowEnabled(::GetDlgItem(m_bar->m_hWnd, static_cast<int>(nID))); }

    std::unique_ptr<CDialogBar> m_bar;
};

TEST_F(DialogBarTest, IsAFramelessChildAsLargeAsItsTemplate)
{
    CDialogBar* pBar = MakeDialogBar(0x40001400);
    EXPECT_EQ(pBar->GetDlgCtrlID(), 31000);
    EXPECT_EQ(pBar->GetBarStyle(), static_cast<DWORD>(CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT));
    DWORD style = pBar->GetStyle();
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_POPUP | WS_CAPTION));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(::GetParent(pBar->m_hWnd), m_hWndFrame);
    EXPECT_GT(pBar->m_sizeDefault.cx, 0);
    EXPECT_GT(pBar->m_sizeDefault.cy, pBar->m_sizeDefault.cx); // 60 x 64 dialog units
    EXPECT_EQ(pBar->CalcFixedLayout(FALSE, FALSE), pBar->m_sizeDefault);
    EXPECT_EQ(pBar->CalcFixedLayout(TRUE, FALSE), CSize(pBar->m_sizeDefault.cx, 32767));
    EXPECT_EQ(pBar->CalcFixedLayout(TRUE, TRUE), CSize(32767, pBar->m_sizeDefault.cy));

    // Aligned left, it takes its width along the whole left edge.
    CRect rect = ChildRect(pBar->m_hWnd);
    EXPECT_EQ(rect, CRect(0, 0, pBar->m_sizeDefault.cx, ClientRect().bottom));
    EXPECT_EQ(ViewRect().left, pBar->m_sizeDefault.cx);
    EXPECT_NE(::GetDlgItem(pBar->m_hWnd, kCmdA), (HWND)NULL);
}

TEST_F(DialogBarTest, MissingTemplateFails)
{
    CBarFrame* pFrame = MakeFrame();
    CDialogBar bar;
    EXPECT_FALSE(bar.Create(pFrame, 7798, CBRS_TOP, 31001));
    EXPECT_EQ(bar.m_hWnd, (HWND)NULL);
    EXPECT_EQ(pFrame->GetControlBar(31001), nullptr);
}

TEST_F(DialogBarTest, IdleUpdateDisablesChildrenWithoutHandlers)
{
    MakeDialogBar();
    IdleUpdate();
    EXPECT_TRUE(ChildEnabled(kCmdA));
    EXPECT_FALSE(ChildEnabled(kCmdC)) << "nobody handles it";
    EXPECT_FALSE(ChildEnabled(kCmdE)) << "its handler disables it";
    m_pFrame->m_aEnabled = FALSE;
    IdleUpdate();
    EXPECT_FALSE(ChildEnabled(kCmdA));
    m_pFrame->m_aEnabled = TRUE;
    IdleUpdate();
    EXPECT_TRUE(ChildEnabled(kCmdA));
}

TEST_F(DialogBarTest, ButtonClicksAreCommandsOfTheFrame)
{
    CDialogBar* pBar = MakeDialogBar();
    HWND hWndButton = ::GetDlgItem(pBar->m_hWnd, kCmdA);
    pBar->SendMessage(WM_COMMAND, MAKEWPARAM(kCmdA, BN_CLICKED), reinterpret_cast<LPARAM>(hWndButton));
    ASSERT_EQ(m_pFrame->m_commands.size(), 1u);
    EXPECT_EQ(m_pFrame->m_commands[0], kCmdA);
    // Gated like any command.
    m_pFrame->m_aEnabled = FALSE;
    pBar->SendMessage(WM_COMMAND, MAKEWPARAM(kCmdA, BN_CLICKED), reinterpret_cast<LPARAM>(hWndButton));
    EXPECT_EQ(m_pFrame->m_commands.size(), 1u);
    // Other notifications are not commands.
    pBar->SendMessage(WM_COMMAND, MAKEWPARAM(kCmdD, BN_SETFOCUS), reinterpret_cast<LPARAM>(hWndButton));
    EXPECT_EQ(m_pFrame->m_commands.size(), 1u);
}

TEST_F(DialogBarTest, ChildTipsComeFromTheirCommandStringsWhenSwitchedOn)
{
    CDialogBar* pBar = MakeDialogBar(WS_CHILD | CBRS_LEFT | CBRS_TOOLTIPS);
    HWND hWndTip = NULL;
    for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        char cls[64] = {};
        ::GetClassName(h, cls, sizeof cls);
        if (std::string(cls) == TOOLTIPS_CLASS)
            hWndTip = h;
    }
    ASSERT_NE(hWndTip, (HWND)NULL);
    EXPECT_EQ(::SendMessage(hWndTip, TTM_GETTOOLCOUNT, 0, 0), 3) << "the label has no id";
    auto ask = [&](UINT nID) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = hWndTip;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(::GetDlgItem(pBar->m_hWnd, static_cast<int>(nID)));
        info.hdr.code = TTN_NEEDTEXT;
        pBar->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText != nullptr ? info.lpszText : "");
    };
    EXPECT_EQ(ask(kCmdA), "Apply");
    EXPECT_EQ(ask(kCmdC), "");
    pBar->SetBarStyle(pBar->GetBarStyle() & ~CBRS_TOOLTIPS);
    EXPECT_EQ(ask(kCmdA), "");
}

TEST_F(DialogBarTest, CreateIndirectTakesATemplateBuiltInCode)
{
    CBarFrame* pFrame = MakeFrame();
    static const platform::DialogItemTemplate items[] = {
        {BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE, 0, 0, 2, 2, 40, 12, kCmdD, "BUTTON", "Next", 0},
    };
    static const platform::DialogTemplate tmpl = {false, WS_CHILD | DS_SETFONT, 0, 0, 0, 0, 200, 16, "", nullptr, 0, "",
        8, 400, 0, 0, "MS Sans Serif", items, 1};
    CDialogBar bar;
    ASSERT_TRUE(bar.CreateIndirect(pFrame, &tmpl, CBRS_TOP, AFX_IDW_DIALOGBAR));
    pFrame->RecalcLayout();
    CRect rect = ChildRect(bar.m_hWnd);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.Width(), ClientRect().Width());
    EXPECT_EQ(rect.Height(), bar.m_sizeDefault.cy);
    EXPECT_EQ(ViewRect().top, rect.bottom);
    IdleUpdate();
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar.m_hWnd, kCmdD)));
    bar.DestroyWindow();
}

} // namespace
} // namespace bartest
