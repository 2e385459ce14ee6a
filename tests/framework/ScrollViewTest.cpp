#include "tests/framework/DocumentTestSupport.h"

#include "platform/gdi/Dc.h"

namespace doctest {
namespace {

// A scroll view of 200 x 100 client pixels (no border) in a plain parent.
class ScrollViewTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        m_parent.CreateEx(0, AfxDefaultWndClass(), "parent", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, NULL, NULL);
        m_view = new CTestScrollView;
        ASSERT_TRUE(m_view->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &m_parent,
            AFX_IDW_PANE_FIRST, NULL));
        m_sb = CSize(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        DocTest::TearDown();
    }

    CSize Client() const
    {
        CRect rect;
        m_view->GetClientRect(&rect);
        return CSize(rect.Width(), rect.Height());
    }
    bool HasBar(DWORD flag) const { return (m_view->GetStyle() & flag) != 0; }

    CWnd m_parent;
    CTestScrollView* m_view = nullptr;
    CSize m_sb;
};

TEST_F(ScrollViewTest, BarsAppearOnlyWhereTheContentIsLarger)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(150, 80));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));

    // Taller only: a vertical bar, and the width left still fits.
    m_view->SetScrollSizes(MM_TEXT, CSize(150, 500));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_TRUE(HasBar(WS_VSCROLL));

    // Wider than what the vertical bar leaves: both bars.
    m_view->SetScrollSizes(MM_TEXT, CSize(200 - m_sb.cx + 1, 500));
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    EXPECT_TRUE(HasBar(WS_VSCROLL));

    m_view->SetScrollSizes(MM_TEXT, CSize(100, 50));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_EQ(CSize(200, 100), Client());
}

TEST_F(ScrollViewTest, ScrollPositionsStayWithinTheRange)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(1000, 800), CSize(50, 40), CSize(5, 4));
    const CSize client = Client();

    m_view->ScrollToPosition(CPoint(300, 200));
    EXPECT_EQ(CPoint(300, 200), m_view->GetScrollPosition());
    EXPECT_EQ(CPoint(300, 200), m_view->GetDeviceScrollPosition());

    // Past the end: the last position that still fills the window.
    m_view->ScrollToPosition(CPoint(5000, 5000));
    EXPECT_EQ(CPoint(1000 - client.cx, 800 - client.cy), m_view->GetScrollPosition());
    m_view->ScrollToPosition(CPoint(-20, -20));
    EXPECT_EQ(CPoint(0, 0), m_view->GetScrollPosition());

    EXPECT_FALSE(m_view->OnScrollBy(CSize(-10, 0))); // nothing to scroll
    EXPECT_TRUE(m_view->OnScrollBy(CSize(10, 0), FALSE));
    EXPECT_EQ(CPoint(0, 0), m_view->GetScrollPosition()); // only asked
}

TEST_F(ScrollViewTest, ScrollCodesMoveByLinesAndPages)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(1000, 800), CSize(50, 40), CSize(5, 4));
    m_view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(CPoint(0, 4), m_view->GetScrollPosition());
    m_view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(CPoint(0, 44), m_view->GetScrollPosition());
    m_view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    m_view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINELEFT, 0), 0);
    EXPECT_EQ(CPoint(45, 44), m_view->GetScrollPosition());
    m_view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    m_view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    EXPECT_EQ(CPoint(1000 - Client().cx, 0), m_view->GetScrollPosition());
}

TEST_F(ScrollViewTest, TheWheelScrollsThreeLinesANotchUpToAPage)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(1000, 800), CSize(50, 40), CSize(5, 4));
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-WHEEL_DELTA))), 0);
    EXPECT_EQ(CPoint(0, 12), m_view->GetScrollPosition());
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-10 * WHEEL_DELTA))), 0);
    EXPECT_EQ(CPoint(0, 52), m_view->GetScrollPosition()); // a page at most
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(WHEEL_DELTA))), 0);
    EXPECT_EQ(CPoint(0, 40), m_view->GetScrollPosition());
    // Ctrl+wheel is the view's own (a zoom, say).
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(short(-WHEEL_DELTA))), 0);
    EXPECT_EQ(CPoint(0, 40), m_view->GetScrollPosition());

    // Only a horizontal bar: the wheel moves it.
    m_view->SetScrollSizes(MM_TEXT, CSize(1000, 50), CSize(50, 40), CSize(5, 4));
    m_view->ScrollToPosition(CPoint(0, 0));
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-WHEEL_DELTA))), 0);
    EXPECT_EQ(CPoint(15, 0), m_view->GetScrollPosition());
}

TEST_F(ScrollViewTest, DefaultPageAndLineAreTenthsOfTheWhole)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(1000, 800));
    EXPECT_EQ(CSize(100, 80), m_view->m_pageDev);
    EXPECT_EQ(CSize(10, 8), m_view->m_lineDev);
}

TEST_F(ScrollViewTest, PrepareDCMovesTheOriginByTheScrollPositionExceptWhenPrinting)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(1000, 800));
    m_view->ScrollToPosition(CPoint(120, 30));
    CClientDC dc(m_view);
    m_view->OnPrepareDC(&dc);
    EXPECT_EQ(CPoint(-120, -30), dc.GetViewportOrg());
    CPoint pt(120, 30);
    dc.LPtoDP(&pt);
    EXPECT_EQ(CPoint(0, 0), pt);

    dc.m_bPrinting = TRUE;
    m_view->OnPrepareDC(&dc);
    EXPECT_EQ(CPoint(0, 0), dc.GetViewportOrg());
}

TEST_F(ScrollViewTest, FixedMappingModesScrollInLogicalUnits)
{
    // Hundredths of an inch, y up: one logical unit is 0.96 pixels at 96 dpi.
    m_view->SetScrollSizes(MM_LOENGLISH, CSize(1000, 1000));
    EXPECT_EQ(CSize(960, 960), m_view->m_totalDev);
    m_view->ScrollToPosition(CPoint(100, -200));
    EXPECT_EQ(CPoint(96, 192), m_view->GetDeviceScrollPosition());
    EXPECT_EQ(CPoint(100, -200), m_view->GetScrollPosition());

    CClientDC dc(m_view);
    m_view->OnPrepareDC(&dc);
    EXPECT_EQ(MM_LOENGLISH, dc.GetMapMode());
    CPoint pt(100, -200);
    dc.LPtoDP(&pt);
    EXPECT_EQ(CPoint(0, 0), pt);
}

TEST_F(ScrollViewTest, GrowingTheWindowPullsThePositionBack)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(400, 300));
    m_view->ScrollToPosition(CPoint(1000, 1000));
    EXPECT_GT(m_view->GetScrollPosition().x, 0);

    m_view->MoveWindow(0, 0, 500, 350);
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_EQ(CPoint(0, 0), m_view->GetScrollPosition());

    m_view->MoveWindow(0, 0, 300, 350);
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    m_view->ScrollToPosition(CPoint(1000, 0));
    EXPECT_EQ(400 - Client().cx, m_view->GetScrollPosition().x);
}

TEST_F(ScrollViewTest, ScaleToFitStretchesTheContentIntoTheWindow)
{
    m_view->SetScrollSizes(MM_TEXT, CSize(1000, 1000));
    m_view->SetScaleToFitSize(CSize(400, 50));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    CClientDC dc(m_view);
    m_view->OnPrepareDC(&dc);
    CPoint pt(400, 50);
    dc.LPtoDP(&pt);
    EXPECT_EQ(CPoint(200, 100), pt);
}

} // namespace
} // namespace doctest
