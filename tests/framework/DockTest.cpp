#include "tests/framework/ControlBarTestSupport.h"

namespace bartest {
namespace {

class DockTest : public BarFixture {
protected:
    // A dockable 100 x 30 bar (30 x 100 when docked at a side).
    CBlockBar* AddBar(UINT nID, DWORD dwDockStyle = CBRS_ALIGN_ANY)
    {
        m_bars.push_back(std::make_unique<CBlockBar>(100, 30));
        CBlockBar* pBar = m_bars.back().get();
        EXPECT_TRUE(pBar->Create(m_pFrame, WS_VISIBLE | CBRS_TOP, nID));
        pBar->EnableDocking(dwDockStyle);
        return pBar;
    }

    void TearDown() override
    {
        BarFixture::TearDown();
        m_bars.clear();
    }

    CDockBar* DockBar(UINT nID) const { return static_cast<CDockBar*>(m_pFrame->GetControlBar(nID)); }

    UINT DockedIn(CControlBar* pBar) const
    {
        return pBar->m_pDockBar != nullptr ? static_cast<UINT>(pBar->m_pDockBar->GetDlgCtrlID()) : 0u;
    }

    CRect FloatingFrameRect(CControlBar* pBar) const
    {
        CRect rect;
        if (pBar->m_pDockBar != nullptr && pBar->m_pDockBar->GetParent() != nullptr)
            pBar->m_pDockBar->GetParent()->GetWindowRect(&rect);
        return rect;
    }

    // Presses at `from` (screen), moves and releases at `to`.
    static void Drag(CPoint from, CPoint to)
    {
        platform::headless::PressMouse(0, from.x, from.y);
        platform::headless::MoveMouse((from.x + to.x) / 2, (from.y + to.y) / 2);
        platform::headless::MoveMouse(to.x, to.y);
        platform::headless::ReleaseMouse(0, to.x, to.y);
        Pump();
    }

    static CPoint CenterOf(HWND hWnd)
    {
        CRect rect;
        ::GetWindowRect(hWnd, &rect);
        return rect.CenterPoint();
    }

    // A point of a window's caption (not one of its buttons), screen coordinates.
    static CPoint CaptionPoint(HWND hWnd)
    {
        CRect rect;
        ::GetWindowRect(hWnd, &rect);
        for (int x = rect.left; x < rect.right; ++x) {
            for (int y = rect.top; y < rect.top + 20; ++y) {
                if (::SendMessage(hWnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCAPTION)
                    return CPoint(x + 2, y + 2);
            }
        }
        ADD_FAILURE() << "no caption in " << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom
                      << " visible " << ::IsWindowVisible(hWnd) << " hit " << ::SendMessage(hWnd, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 30, rect.top + 8));
        return rect.TopLeft();
    }

    // A point of the frame's client area, in screen coordinates.
    CPoint ClientPoint(int x, int y) const
    {
        POINT pt{x, y};
        ::ClientToScreen(m_hWndFrame, &pt);
        return CPoint(pt);
    }

    std::vector<std::unique_ptr<CBlockBar>> m_bars;
};

TEST_F(DockTest, EnableDockingMakesFourEmptyEdges)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    m_pFrame->RecalcLayout();
    const UINT ids[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT, AFX_IDW_DOCKBAR_BOTTOM};
    for (UINT nID : ids) {
        CControlBar* pBar = m_pFrame->GetControlBar(nID);
        ASSERT_NE(pBar, nullptr) << std::hex << nID;
        EXPECT_TRUE(pBar->IsDockBar());
        EXPECT_FALSE(pBar->IsFloating());
    }
    EXPECT_EQ(AFX_IDW_DOCKBAR_TOP, 0xE81B);
    EXPECT_EQ(ViewRect(), ClientRect());
    // Enabling again makes no second set.
    size_t count = m_pFrame->m_listControlBars.size();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_EQ(m_pFrame->m_listControlBars.size(), count);
}

TEST_F(DockTest, DocksOnEachOfTheFourSides)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* top = AddBar(0xE880);
    CBlockBar* bottom = AddBar(0xE881);
    CBlockBar* left = AddBar(0xE882);
    CBlockBar* right = AddBar(0xE883);
    m_pFrame->DockControlBar(top, AFX_IDW_DOCKBAR_TOP);
    m_pFrame->DockControlBar(bottom, AFX_IDW_DOCKBAR_BOTTOM);
    m_pFrame->DockControlBar(left, AFX_IDW_DOCKBAR_LEFT);
    m_pFrame->DockControlBar(right, AFX_IDW_DOCKBAR_RIGHT);

    EXPECT_EQ(DockedIn(top), AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(DockedIn(left), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_TRUE(left->GetBarStyle() & CBRS_ALIGN_LEFT);
    EXPECT_FALSE(left->GetBarStyle() & CBRS_ALIGN_TOP);
    CRect client = ClientRect();
    EXPECT_EQ(ChildRect(top->m_hWnd), CRect(0, 0, 100, 30));
    EXPECT_EQ(ChildRect(bottom->m_hWnd), CRect(0, client.bottom - 30, 100, client.bottom));
    EXPECT_EQ(ChildRect(left->m_hWnd), CRect(0, 30, 30, 130));
    EXPECT_EQ(ChildRect(right->m_hWnd), CRect(client.right - 30, 30, client.right, 130));
    EXPECT_EQ(ViewRect(), CRect(30, 30, client.right - 30, client.bottom - 30));
}

TEST_F(DockTest, EachDockingStartsARowUnlessPlacedBesideAnother)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* first = AddBar(0xE880);
    CBlockBar* second = AddBar(0xE881);
    m_pFrame->DockControlBar(first, AFX_IDW_DOCKBAR_TOP);
    m_pFrame->DockControlBar(second, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(ChildRect(second->m_hWnd), CRect(0, 30, 100, 60));
    EXPECT_EQ(ViewRect().top, 60);
    const std::vector<CControlBar*> rows{nullptr, first, nullptr, second, nullptr};
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, rows);

    // Dropped over the first row, right of the first bar: the same row.
    CBlockBar* third = AddBar(0xE882);
    CRect target(ClientPoint(150, 5), CSize(100, 30));
    m_pFrame->DockControlBar(third, AFX_IDW_DOCKBAR_TOP, &target);
    EXPECT_EQ(ChildRect(third->m_hWnd), CRect(150, 0, 250, 30));
    EXPECT_EQ(ViewRect().top, 60);

    // Dropped below the rows: a new last row.
    CBlockBar* fourth = AddBar(0xE883);
    CRect below(ClientPoint(40, 70), CSize(100, 30));
    m_pFrame->DockControlBar(fourth, AFX_IDW_DOCKBAR_TOP, &below);
    EXPECT_EQ(ChildRect(fourth->m_hWnd), CRect(40, 60, 140, 90));
    const std::vector<CControlBar*> after{nullptr, first, third, nullptr, second, nullptr, fourth, nullptr};
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, after);
    EXPECT_EQ(ViewRect().top, 90);

    // A row whose bars are all hidden takes no room.
    m_pFrame->ShowControlBar(second, FALSE, FALSE);
    EXPECT_EQ(ViewRect().top, 60);
    EXPECT_EQ(ChildRect(fourth->m_hWnd).top, 30);
}

TEST_F(DockTest, FloatsAtAPointAndTheDoubleClickTogglesBack)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* bar = AddBar(0xE880, CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    m_pFrame->DockControlBar(bar, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(ViewRect().left, 30);

    m_pFrame->FloatControlBar(bar, CPoint(60, 120), CBRS_ALIGN_TOP);
    ASSERT_TRUE(bar->IsFloating());
    EXPECT_EQ(FloatingFrameRect(bar).TopLeft(), CPoint(60, 120));
    EXPECT_TRUE(bar->GetBarStyle() & CBRS_FLOATING);
    EXPECT_TRUE(bar->GetBarStyle() & CBRS_ALIGN_TOP);
    CWnd* pMini = bar->m_pDockBar->GetParent();
    ASSERT_TRUE(pMini->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
    EXPECT_TRUE(pMini->IsWindowVisible());
    EXPECT_EQ(::GetWindow(pMini->m_hWnd, GW_OWNER), m_hWndFrame);
    // The floating frame fits the bar in its row shape.
    CRect client;
    pMini->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(100, 30));
    EXPECT_EQ(ViewRect().left, 0);
    EXPECT_EQ(bar->GetDockingFrame(), pMini);

    // Floating it again moves the same frame.
    HWND hWndMini = pMini->m_hWnd;
    m_pFrame->FloatControlBar(bar, CPoint(200, 220), CBRS_ALIGN_TOP);
    EXPECT_EQ(bar->m_pDockBar->GetParent()->m_hWnd, hWndMini);
    EXPECT_EQ(FloatingFrameRect(bar).TopLeft(), CPoint(200, 220));

    // A double click on the floating frame's caption docks it where it was.
    ::SendMessage(hWndMini, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(DockedIn(bar), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_FALSE(::IsWindow(hWndMini)) << "an empty floating frame goes away";
    EXPECT_EQ(ViewRect().left, 30);

    // A double click on the docked bar floats it where it floated last.
    bar->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(bar->IsFloating());
    EXPECT_EQ(FloatingFrameRect(bar).TopLeft(), CPoint(200, 220));
}

TEST_F(DockTest, AFloatingFrameFollowsItsBarsVisibility)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* bar = AddBar(0xE880);
    m_pFrame->FloatControlBar(bar, CPoint(60, 120));
    HWND hWndMini = ::GetParent(::GetParent(bar->m_hWnd));
    m_pFrame->ShowControlBar(bar, FALSE, FALSE);
    EXPECT_FALSE(::IsWindowVisible(hWndMini));
    EXPECT_TRUE(::IsWindow(hWndMini));
    m_pFrame->ShowControlBar(bar, TRUE, FALSE);
    EXPECT_TRUE(::IsWindowVisible(hWndMini));

    // Closing the floating frame hides the bar; it stays floating.
    ::SendMessage(hWndMini, WM_CLOSE, 0, 0);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_TRUE(bar->IsFloating());
    EXPECT_FALSE(::IsWindowVisible(hWndMini));
}

TEST_F(DockTest, DeletingAFloatingBarClosesItsEmptyFrame)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    auto toolbar = std::make_unique<CToolBar>();
    ASSERT_TRUE(toolbar->Create(m_pFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR));
    ASSERT_TRUE(toolbar->LoadToolBar(kToolbarResource));
    toolbar->EnableDocking(CBRS_ALIGN_ANY);
    m_pFrame->FloatControlBar(toolbar.get(), CPoint(60, 120));
    HWND hWndMini = ::GetParent(::GetParent(toolbar->m_hWnd));
    // As the program does when it makes its toolbars again.
    toolbar.reset();
    EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_TOOLBAR), nullptr);
    EXPECT_FALSE(::IsWindowVisible(hWndMini));
    Pump();
    EXPECT_FALSE(::IsWindow(hWndMini));
}

TEST_F(DockTest, FloatingBarsGetIdleUpdatesThroughTheirSite)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* bar = AddBar(0xE880);
    m_pFrame->FloatControlBar(bar, CPoint(60, 120));
    int before = bar->m_updates;
    IdleUpdate();
    EXPECT_EQ(bar->m_updates, before + 1);

    // For the main window the application's idle pass does it, once.
    m_app->m_pMainWnd = m_pFrame;
    before = bar->m_updates;
    m_app->OnIdle(0);
    EXPECT_EQ(bar->m_updates, before + 1);
    m_app->m_pMainWnd = nullptr;
}

TEST_F(DockTest, DraggingToAnEdgeDocksAndElsewhereFloats)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* bar = AddBar(0xE880);
    m_pFrame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    Pump();

    // Onto the left edge: docked there, in its column shape.
    CRect client = ClientRect();
    Drag(CenterOf(bar->m_hWnd), ClientPoint(2, client.bottom / 2));
    EXPECT_EQ(DockedIn(bar), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(ChildRect(bar->m_hWnd).Size(), CSize(30, 100));
    EXPECT_EQ(ViewRect().left, 30);
    EXPECT_EQ(ViewRect().top, 0);

    // Into the middle of the frame: floating.
    Drag(CenterOf(bar->m_hWnd), ClientPoint(client.right / 2, client.bottom / 2));
    EXPECT_TRUE(bar->IsFloating());
    EXPECT_EQ(ViewRect(), client);

    // Back onto the bottom edge from the floating frame's caption.
    HWND hWndMini = ::GetParent(::GetParent(bar->m_hWnd));
    CPoint caption = CaptionPoint(hWndMini);
    Drag(caption, ClientPoint(client.right / 2, client.bottom - 2));
    EXPECT_EQ(DockedIn(bar), AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_FALSE(::IsWindow(hWndMini));
}

TEST_F(DockTest, CtrlKeepsADraggedBarFromDocking)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* bar = AddBar(0xE880);
    m_pFrame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    Pump();
    platform::headless::KeyDown(VK_CONTROL);
    Drag(CenterOf(bar->m_hWnd), ClientPoint(2, ClientRect().bottom / 2));
    platform::headless::KeyUp(VK_CONTROL);
    Pump();
    EXPECT_TRUE(bar->IsFloating());
}

TEST_F(DockTest, EscapeCancelsADrag)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* bar = AddBar(0xE880);
    m_pFrame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    Pump();
    CPoint from = CenterOf(bar->m_hWnd);
    platform::headless::PressMouse(0, from.x, from.y);
    platform::headless::MoveMouse(from.x + 200, from.y + 200);
    platform::headless::KeyDown(VK_ESCAPE);
    platform::headless::KeyUp(VK_ESCAPE);
    platform::headless::ReleaseMouse(0, from.x + 200, from.y + 200);
    Pump();
    EXPECT_EQ(DockedIn(bar), AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(::GetCapture(), (HWND)NULL);
}

TEST_F(DockTest, PressesHandedOnByAChildPickUpADialogBar)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CDialogBar pad;
    ASSERT_TRUE(pad.Create(m_pFrame, kDialogResource, WS_CHILD | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT, 31000));
    pad.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    m_pFrame->DockControlBar(&pad, AFX_IDW_DOCKBAR_LEFT);
    Pump();
    // A panel covering the bar passes its presses on in the bar's coordinates.
    CRect button;
    ::GetWindowRect(::GetDlgItem(pad.m_hWnd, kCmdA), &button);
    CPoint at = button.CenterPoint();
    pad.ScreenToClient(&at);
    pad.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    CPoint to = ClientPoint(ClientRect().right - 2, ClientRect().bottom / 2);
    platform::headless::MoveMouse(to.x, to.y);
    platform::headless::PressMouse(0, to.x, to.y);
    platform::headless::ReleaseMouse(0, to.x, to.y);
    Pump();
    EXPECT_EQ(DockedIn(&pad), AFX_IDW_DOCKBAR_RIGHT);
    pad.DestroyWindow();
}

TEST_F(DockTest, BarsOnlyDockWhereTheyMay)
{
    MakeFrame();
    m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
    CBlockBar* bar = AddBar(0xE880, CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    m_pFrame->FloatControlBar(bar, CPoint(300, 300));
    Pump();
    HWND hWndMini = ::GetParent(::GetParent(bar->m_hWnd));
    // The top edge does not take it.
    Drag(CaptionPoint(hWndMini), ClientPoint(ClientRect().right / 2, 2));
    EXPECT_TRUE(bar->IsFloating());
    // Without a rectangle it goes to the first side it may use.
    m_pFrame->DockControlBar(bar);
    EXPECT_EQ(DockedIn(bar), AFX_IDW_DOCKBAR_LEFT);
}

} // namespace
} // namespace bartest
