#include "platform/base/Exception.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// Paints its update area green through a CPaintDC and notes what it got.
class CPaintingWnd : public CWnd {
public:
    CRect m_rectPaint;
    int m_nPaints = 0;

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        ++m_nPaints;
        m_rectPaint = dc.m_ps.rcPaint;
        dc.FillSolidRect(&dc.m_ps.rcPaint, kGreen);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintingWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class WindowDcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        ASSERT_TRUE(m_wnd.CreateEx(0, AfxDefaultWndClass(), "dc", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200,
            NULL, NULL));
        m_wnd.UpdateWindow();
    }
    void TearDown() override
    {
        if (::IsWindow(m_wnd.GetSafeHwnd()))
            m_wnd.DestroyWindow();
        platform::headless::Reset();
    }
    CPaintingWnd m_wnd;
};

TEST_F(WindowDcTest, ClientAndWindowDcsDrawWhereTheySay)
{
    {
        CClientDC dc(&m_wnd);
        EXPECT_FALSE(dc.IsPrinting());
        dc.FillSolidRect(CRect(0, 0, 10, 10), kRed);
    }
    EXPECT_EQ(kRed, platform::headless::WindowPixel(m_wnd, 5, 5));

    // The window DC's origin is the window's own corner, above the client.
    {
        CWindowDC dc(&m_wnd);
        dc.FillSolidRect(CRect(0, 0, 4, 4), kBlue);
    }
    EXPECT_EQ(kBlue, platform::headless::WindowPixel(m_wnd, 1, 1, true));
    EXPECT_EQ(kRed, platform::headless::WindowPixel(m_wnd, 1, 1));
}

TEST_F(WindowDcTest, PaintDcPaintsTheUpdateAreaAndValidatesIt)
{
    m_wnd.InvalidateRect(CRect(30, 40, 60, 70), FALSE);
    int before = m_wnd.m_nPaints;
    m_wnd.UpdateWindow();
    EXPECT_EQ(before + 1, m_wnd.m_nPaints);
    EXPECT_EQ(CRect(30, 40, 60, 70), m_wnd.m_rectPaint);
    EXPECT_EQ(kGreen, platform::headless::WindowPixel(m_wnd, 45, 55));
    CRect update;
    EXPECT_FALSE(::GetUpdateRect(m_wnd, &update, FALSE));
    m_wnd.UpdateWindow();
    EXPECT_EQ(before + 1, m_wnd.m_nPaints);
}

TEST_F(WindowDcTest, NoWindowMeansTheScreenAndADeadWindowThrows)
{
    {
        CClientDC screen(nullptr);
        ASSERT_NE(HDC(NULL), screen.GetSafeHdc());
        EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), screen.GetDeviceCaps(HORZRES));
        CWindowDC whole(nullptr);
        EXPECT_NE(HDC(NULL), whole.GetSafeHdc());
    }
    CWnd dead;
    ASSERT_TRUE(dead.CreateEx(0, AfxDefaultWndClass(), "gone", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    HWND hDead = dead.m_hWnd;
    dead.DestroyWindow();
    CWnd stale;
    stale.m_hWnd = hDead; // a handle that no longer names a window
    bool thrown = false;
    try {
        CClientDC dc(&stale);
    } catch (CResourceException* e) {
        thrown = true;
        e->Delete();
    }
    stale.m_hWnd = NULL;
    EXPECT_TRUE(thrown);
}

} // namespace
