#include "tests/framework/FrameworkTestSupport.h"

#include "platform/framework/View.h"
#include "platform/gdi/Dc.h"

namespace {

using platform::headless::WindowPixel;

class CPlainView : public CView {
protected:
    void OnDraw(CDC*) override {}
};

// Views in a plain parent, measured and painted without a document.
class ViewEdgeTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        m_parent.CreateEx(0, AfxDefaultWndClass(), "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL);
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        FrameworkTest::TearDown();
    }

    CView* MakeView(DWORD style)
    {
        auto* pView = new CPlainView;
        EXPECT_TRUE(pView->Create(NULL, NULL, style, CRect(10, 10, 110, 90), &m_parent, AFX_IDW_PANE_FIRST, NULL));
        return pView;
    }

    CWnd m_parent;
};

TEST_F(ViewEdgeTest, BorderBecomesASunkenClientEdgeInsideTheViewsRectangle)
{
    CView* pView = MakeView(AFX_WS_DEFAULT_VIEW);
    EXPECT_FALSE(pView->GetStyle() & WS_BORDER);
    EXPECT_TRUE(pView->GetExStyle() & WS_EX_CLIENTEDGE);

    CRect window, client;
    pView->GetWindowRect(&window);
    pView->GetClientRect(&client);
    EXPECT_EQ(window.Width(), 100);
    EXPECT_EQ(client.Width(), 100 - 2 * ::GetSystemMetrics(SM_CXEDGE));
    EXPECT_EQ(client.Height(), 80 - 2 * ::GetSystemMetrics(SM_CYEDGE));
    EXPECT_EQ(::GetSystemMetrics(SM_CXEDGE), 2);

    // Two lines on each side: shadow then dark shadow at the top left,
    // highlight then light at the bottom right.
    ::UpdateWindow(m_parent.m_hWnd);
    ::UpdateWindow(pView->m_hWnd);
    Pump();
    HWND hWnd = pView->m_hWnd;
    EXPECT_EQ(WindowPixel(hWnd, 0, 40, true), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(hWnd, 1, 40, true), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(WindowPixel(hWnd, 50, 0, true), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(hWnd, 50, 1, true), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(WindowPixel(hWnd, 99, 40, true), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(WindowPixel(hWnd, 98, 40, true), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(WindowPixel(hWnd, 50, 79, true), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(WindowPixel(hWnd, 50, 78, true), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(WindowPixel(hWnd, 2, 40, true), ::GetSysColor(COLOR_WINDOW)); // the client begins
}

TEST_F(ViewEdgeTest, ViewWithoutBorderKeepsItsWholeRectangleAsClient)
{
    CView* pView = MakeView(WS_CHILD | WS_VISIBLE);
    EXPECT_FALSE(pView->GetExStyle() & WS_EX_CLIENTEDGE);
    CRect client;
    pView->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(100, 80));
}

} // namespace
