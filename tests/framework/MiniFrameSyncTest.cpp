// A floating bar's frame (a mini frame with MFS_SYNCACTIVE) keeps the main
// frame's caption active when the user clicks it, and both go inactive and
// active again together.

#include "tests/framework/ControlBarTestSupport.h"

#include "platform/framework/FrameworkIds.h"

#include <vector>

namespace bartest {
namespace {

// What reached the default handling of WM_NCACTIVATE: the caption state the
// window system drew.
struct NcActivateLog {
    std::vector<WPARAM> shown;
};

class CLoggingFrame : public CBarFrame {
public:
    NcActivateLog* m_pLog = nullptr;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCACTIVATE && m_pLog != nullptr)
            m_pLog->shown.push_back(wParam);
        return CBarFrame::DefWindowProc(message, wParam, lParam);
    }
};

class MiniFrameSyncTest : public BarFixture {
protected:
    void SetUp() override
    {
        BarFixture::SetUp();
        auto* pFrame = new CLoggingFrame;
        pFrame->m_pLog = &m_log;
        m_pFrame = pFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 50, 740, 530)));
        m_hWndFrame = m_pFrame->m_hWnd;
        m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
        m_bar = std::make_unique<CBlockBar>(100, 30);
        ASSERT_TRUE(m_bar->Create(m_pFrame, WS_VISIBLE | CBRS_TOP, 0xE880));
        m_bar->EnableDocking(CBRS_ALIGN_ANY);
        m_pFrame->FloatControlBar(m_bar.get(), CPoint(300, 300), CBRS_ALIGN_TOP);
        ASSERT_TRUE(m_bar->IsFloating());
        m_hWndMini = m_bar->m_pDockBar->GetParent()->m_hWnd;
        ::SetActiveWindow(m_hWndFrame);
        Pump();
    }

    void TearDown() override
    {
        BarFixture::TearDown();
        m_bar.reset();
    }

    // The caption colour of a top-level window, a little right of its icon.
    static COLORREF CaptionPixel(HWND hWnd)
    {
        int frame = ::GetSystemMetrics(SM_CXFRAME);
        return platform::headless::WindowPixel(hWnd, frame + 40, frame + 3, true);
    }

    static void ClickInside(HWND hWnd)
    {
        CRect rect;
        ::GetClientRect(hWnd, &rect);
        CPoint p = rect.CenterPoint();
        ::ClientToScreen(hWnd, &p);
        platform::headless::Click(p.x, p.y);
        Pump();
    }

    NcActivateLog m_log;
    std::unique_ptr<CBlockBar> m_bar;
    HWND m_hWndMini = NULL;
};

TEST_F(MiniFrameSyncTest, ClickingTheFloatingBarKeepsTheMainCaptionActive)
{
    const COLORREF active = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF inactive = ::GetSysColor(COLOR_INACTIVECAPTION);
    ASSERT_EQ(::GetActiveWindow(), m_hWndFrame);
    ASSERT_EQ(CaptionPixel(m_hWndFrame), active);
    EXPECT_EQ(CaptionPixel(m_hWndMini), active) << "the floating frame looks as its owner does";
    m_log.shown.clear();

    ClickInside(m_bar->m_hWnd);
    EXPECT_EQ(::GetActiveWindow(), m_hWndMini);
    EXPECT_EQ(CaptionPixel(m_hWndFrame), active);
    EXPECT_EQ(CaptionPixel(m_hWndMini), active);
    for (WPARAM shown : m_log.shown)
        EXPECT_TRUE(shown) << "the main caption was drawn inactive on the way";

    // Another window of the program takes activation: both look inactive.
    HWND other = ::CreateWindowEx(0, AfxDefaultWndClass(), "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 500, 200,
        150, NULL, NULL, NULL, nullptr);
    ::SetActiveWindow(other);
    Pump();
    EXPECT_EQ(CaptionPixel(m_hWndFrame), inactive);
    EXPECT_EQ(CaptionPixel(m_hWndMini), inactive);

    // The main frame back: both active again; then the floating bar and
    // back to the main frame, the caption never drawn inactive.
    ::SetActiveWindow(m_hWndFrame);
    Pump();
    EXPECT_EQ(CaptionPixel(m_hWndFrame), active);
    EXPECT_EQ(CaptionPixel(m_hWndMini), active);
    m_log.shown.clear();
    ClickInside(m_bar->m_hWnd);
    ::SetActiveWindow(m_hWndFrame);
    Pump();
    EXPECT_EQ(CaptionPixel(m_hWndFrame), active);
    for (WPARAM shown : m_log.shown)
        EXPECT_TRUE(shown);
    ::DestroyWindow(other);
}

TEST_F(MiniFrameSyncTest, WithoutSyncActiveTheMainCaptionGoesInactive)
{
    CMiniFrameWnd* pPlain = new CMiniFrameWnd;
    ASSERT_TRUE(pPlain->CreateEx(0, nullptr, "Plain", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
        CRect(50, 400, 250, 500), m_pFrame));
    HWND hWndPlain = pPlain->m_hWnd;
    EXPECT_EQ(::SendMessage(hWndPlain, WM_FLOATSTATUS, FS_SYNCACTIVE, 0), 0);
    EXPECT_NE(::SendMessage(m_hWndMini, WM_FLOATSTATUS, FS_SYNCACTIVE, 0), 0);
    ::SetActiveWindow(hWndPlain);
    Pump();
    EXPECT_EQ(CaptionPixel(m_hWndFrame), ::GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(hWndPlain), ::GetSysColor(COLOR_ACTIVECAPTION));
    ::DestroyWindow(hWndPlain);
}

} // namespace
} // namespace bartest
