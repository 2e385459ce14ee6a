#include "tests/framework/ControlBarTestSupport.h"

namespace bartest {
namespace {

constexpr UINT kStandardId = AFX_IDW_TOOLBAR;
constexpr UINT kFormattingId = 0xE810;
constexpr UINT kPadId = 31000;

// The bars of a main frame as the program builds them: a status bar, two
// toolbars docked on the top (one row each) and a pad floating at (60, 120).
struct MainBars {
    CStatusBar status;
    CToolBar standard;
    CToolBar formatting;
    CDialogBar pad;
};

class BarStateTest : public BarFixture {
protected:
    void BuildDefaultLayout()
    {
        CBarFrame* pFrame = MakeFrame();
        m_bars = std::make_unique<MainBars>();
        const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
        ASSERT_TRUE(m_bars->status.Create(pFrame));
        m_bars->status.SetIndicators(indicators, 2);
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        for (CToolBar* pBar : {&m_bars->standard, &m_bars->formatting}) {
            ASSERT_TRUE(pBar->Create(pFrame, 0x50002808, pBar == &m_bars->standard ? kStandardId : kFormattingId));
            ASSERT_TRUE(pBar->LoadToolBar(kToolbarResource));
            pBar->SetBarStyle(pBar->GetBarStyle() | CBRS_FLYBY | CBRS_SIZE_DYNAMIC | CBRS_TOOLTIPS);
            pBar->EnableDocking(CBRS_ALIGN_ANY);
        }
        pFrame->DockControlBar(&m_bars->standard, AFX_IDW_DOCKBAR_TOP);
        pFrame->DockControlBar(&m_bars->formatting, AFX_IDW_DOCKBAR_TOP);
        ASSERT_TRUE(m_bars->pad.Create(pFrame, kDialogResource, 0x40001400, kPadId));
        m_bars->pad.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
        pFrame->FloatControlBar(&m_bars->pad, CPoint(60, 120), CBRS_ALIGN_TOP);
    }

    // Closes the frame, as the next start of the program would find it.
    void CloseFrame()
    {
        m_pFrame->DestroyWindow();
        m_pFrame = nullptr;
        m_view.reset();
        m_bars.reset();
    }

    UINT DockedIn(CControlBar* pBar) const
    {
        return pBar->m_pDockBar != nullptr ? static_cast<UINT>(pBar->m_pDockBar->GetDlgCtrlID()) : 0u;
    }

    CPoint FloatingCorner(CControlBar* pBar) const
    {
        CRect rect;
        pBar->m_pDockBar->GetParent()->GetWindowRect(&rect);
        return rect.TopLeft();
    }

    void ExpectDefaultLayout()
    {
        EXPECT_EQ(DockedIn(&m_bars->standard), AFX_IDW_DOCKBAR_TOP);
        EXPECT_EQ(DockedIn(&m_bars->formatting), AFX_IDW_DOCKBAR_TOP);
        EXPECT_LT(ChildRect(m_bars->standard.m_hWnd).top, ChildRect(m_bars->formatting.m_hWnd).top);
        ASSERT_TRUE(m_bars->pad.IsFloating());
        EXPECT_EQ(FloatingCorner(&m_bars->pad), CPoint(60, 120));
        EXPECT_TRUE(m_bars->status.IsVisible());
    }

    UINT Profile(LPCTSTR section, LPCTSTR entry, int nDefault = -1) const
    {
        return m_app->GetProfileInt(section, entry, nDefault);
    }

    void TearDown() override
    {
        BarFixture::TearDown();
        m_bars.reset();
    }

    std::unique_ptr<MainBars> m_bars;
};

TEST_F(BarStateTest, SavesUnderTheExactSectionNames)
{
    BuildDefaultLayout();
    m_pFrame->SaveBarState("1.0");

    // Status bar, four dock bars, two toolbars and the pad.
    EXPECT_EQ(Profile("1.0-Summary", "Bars"), 8u);
    std::vector<UINT> ids;
    for (int i = 0; i < 8; ++i) {
        CString section;
        section.Format("1.0-Bar%d", i);
        ids.push_back(Profile(section, "BarID"));
    }
    EXPECT_NE(std::find(ids.begin(), ids.end(), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP)), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), kPadId), ids.end());
    EXPECT_EQ(Profile("1.0-Bar8", "BarID"), static_cast<UINT>(-1));

    // The top dock bar lists its rows: each toolbar on a row of its own.
    int top = static_cast<int>(std::find(ids.begin(), ids.end(), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP)) - ids.begin());
    CString topSection;
    topSection.Format("1.0-Bar%d", top);
    EXPECT_EQ(Profile(topSection, "Bars"), 4u);
    EXPECT_EQ(Profile(topSection, "Bar#0"), kStandardId);
    EXPECT_EQ(Profile(topSection, "Bar#1", 0), 0u);
    EXPECT_EQ(Profile(topSection, "Bar#2"), kFormattingId);

    int pad = static_cast<int>(std::find(ids.begin(), ids.end(), kPadId) - ids.begin());
    CString padSection;
    padSection.Format("1.0-Bar%d", pad);
    EXPECT_EQ(Profile(padSection, "Floating"), 1u);
    EXPECT_EQ(Profile(padSection, "XPos"), 60u);
    EXPECT_EQ(Profile(padSection, "YPos"), 120u);
    EXPECT_EQ(Profile(padSection, "Visible", 1), 1u);
    EXPECT_EQ(Profile(padSection, "Horz", 1), 1u);
}

TEST_F(BarStateTest, LoadRestoresSidesFloatingPlacesRowsAndVisibility)
{
    BuildDefaultLayout();
    // The user moves things about.
    m_pFrame->DockControlBar(&m_bars->standard, AFX_IDW_DOCKBAR_LEFT);
    m_pFrame->FloatControlBar(&m_bars->formatting, CPoint(300, 200), CBRS_ALIGN_TOP);
    m_pFrame->DockControlBar(&m_bars->pad, AFX_IDW_DOCKBAR_RIGHT);
    m_pFrame->ShowControlBar(&m_bars->status, FALSE, FALSE);
    m_pFrame->SaveBarState("1.0");
    CloseFrame();

    BuildDefaultLayout();
    ExpectDefaultLayout();
    m_pFrame->LoadBarState("1.0");
    EXPECT_EQ(DockedIn(&m_bars->standard), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_TRUE(m_bars->standard.GetBarStyle() & CBRS_ALIGN_LEFT);
    ASSERT_TRUE(m_bars->formatting.IsFloating());
    EXPECT_EQ(FloatingCorner(&m_bars->formatting), CPoint(300, 200));
    EXPECT_EQ(DockedIn(&m_bars->pad), AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_FALSE(m_bars->status.IsVisible());
    CRect client = ClientRect();
    EXPECT_EQ(ViewRect().bottom, client.bottom) << "the hidden status bar takes no room";
    EXPECT_EQ(ViewRect().right, client.right - m_bars->pad.m_sizeDefault.cx);
}

TEST_F(BarStateTest, HiddenFloatingBarStaysHiddenAndItsFrameToo)
{
    BuildDefaultLayout();
    m_pFrame->ShowControlBar(&m_bars->pad, FALSE, FALSE);
    m_pFrame->SaveBarState("1.0");
    CloseFrame();

    BuildDefaultLayout();
    m_pFrame->LoadBarState("1.0");
    ASSERT_TRUE(m_bars->pad.IsFloating());
    EXPECT_FALSE(m_bars->pad.IsVisible());
    EXPECT_FALSE(m_bars->pad.m_pDockBar->GetParent()->IsWindowVisible());
    EXPECT_EQ(FloatingCorner(&m_bars->pad), CPoint(60, 120));
}

TEST_F(BarStateTest, DeletingTheSectionsRestoresTheDefaultLayout)
{
    BuildDefaultLayout();
    m_pFrame->DockControlBar(&m_bars->formatting, AFX_IDW_DOCKBAR_BOTTOM);
    m_pFrame->DockControlBar(&m_bars->pad, AFX_IDW_DOCKBAR_LEFT);
    m_pFrame->SaveBarState("1.0");
    CloseFrame();

    // What the program does after loading, so that a crash leaves no layout.
    for (int i = 0; i < 10; ++i) {
        CString section;
        section.Format("%s-Bar%d", "1.0", i);
        m_app->WriteProfileString(section, nullptr, nullptr);
    }
    m_app->WriteProfileString("1.0-Summary", nullptr, nullptr);
    EXPECT_EQ(Profile("1.0-Summary", "Bars"), static_cast<UINT>(-1));

    BuildDefaultLayout();
    m_pFrame->LoadBarState("1.0");
    ExpectDefaultLayout();
}

TEST_F(BarStateTest, DamagedOrStaleProfileValuesAreBoundedAndIgnored)
{
    m_app->WriteProfileInt("1.0-Summary", "Bars", 1000000);
    // A dock bar claiming a huge list, with an id nobody has.
    CString top;
    top.Format("%d", AFX_IDW_DOCKBAR_LEFT);
    m_app->WriteProfileInt("1.0-Bar0", "BarID", AFX_IDW_DOCKBAR_LEFT);
    m_app->WriteProfileInt("1.0-Bar0", "Bars", 2000000000);
    m_app->WriteProfileInt("1.0-Bar0", "Bar#0", 12345);
    m_app->WriteProfileInt("1.0-Bar0", "Bar#1", kStandardId);
    // A floating bar far off the screen.
    m_app->WriteProfileInt("1.0-Bar1", "BarID", kFormattingId);
    m_app->WriteProfileInt("1.0-Bar1", "Floating", 1);
    m_app->WriteProfileInt("1.0-Bar1", "XPos", 99999999);
    m_app->WriteProfileInt("1.0-Bar1", "YPos", -5);
    // A bar that no longer exists.
    m_app->WriteProfileInt("1.0-Bar2", "BarID", 4242);
    m_app->WriteProfileInt("1.0-Bar2", "Floating", 1);

    BuildDefaultLayout();
    m_pFrame->LoadBarState("1.0");
    EXPECT_EQ(DockedIn(&m_bars->standard), AFX_IDW_DOCKBAR_LEFT);
    ASSERT_TRUE(m_bars->formatting.IsFloating());
    CPoint corner = FloatingCorner(&m_bars->formatting);
    EXPECT_GE(corner.x, 0);
    EXPECT_LT(corner.x, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(corner.y, 0);
    EXPECT_EQ(m_pFrame->GetControlBar(4242), nullptr);
    // Bars the profile does not mention keep their default place.
    EXPECT_TRUE(m_bars->pad.IsFloating());
    EXPECT_EQ(FloatingCorner(&m_bars->pad), CPoint(60, 120));
}

} // namespace
} // namespace bartest
