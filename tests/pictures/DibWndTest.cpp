// The bitmap button window, driven by real mouse input and focus changes on
// the headless back end: it takes its normal image's size, shows the image
// of its state, tells its parent about clicks and double clicks with its
// control id, and ignores the mouse while neither enabled nor clickable.

#include "pictures/DibWnd.h"

#include "platform/base/Clock.h"
#include "platform/base/Resources.h"
#include "platform/gdi/GdiObject.h"
#include "resources/Resources.h"
#include "resources/art.h"
#include "tests/base/ArchiveTestSupport.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/pictures/PictureFiles.h"

#include <utility>
#include <vector>

namespace {

constexpr COLORREF kNormal = RGB(200, 20, 20);
constexpr COLORREF kPressed = RGB(20, 180, 40);
constexpr COLORREF kFocused = RGB(30, 30, 220);
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kGround = RGB(240, 230, 20);
constexpr UINT kId = 4711;

// The parent's top-left on the screen and the child's place in it.
constexpr int kParentX = 100;
constexpr int kParentY = 50;
constexpr int kChildX = 10;
constexpr int kChildY = 20;
constexpr int kImageW = 30;
constexpr int kImageH = 20;

// Keeps what its bitmap windows posted to it.
class RecordingParent : public CWnd {
public:
    std::vector<std::pair<UINT, WPARAM>> posted;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DIBWND_CLICKED || message == WM_DIBWND_DBLCLK)
            posted.emplace_back(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

void LoadImage(CDib& dib, COLORREF colour, bool keyCorner = false)
{
    picture_files::Raster raster(kImageW, kImageH, colour);
    if (keyCorner)
        raster.Fill(0, kImageH - 5, 8, kImageH, kKey); // bottom-left: the first stored pixel
    const std::string image = picture_files::BmpBytes(raster, 24);
    archive_test::Load(archive_test::U32(DWORD(image.size())) + image, [&](CArchive& ar) { dib.Serialize(ar); });
    ASSERT_TRUE(dib.IsValid());
}

class DibWndTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        platform::SetClockSource(&m_clock);
        m_clock.SetTicks(50000);
        MakeApp();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, NULL, ::CreateSolidBrush(kGround)), "",
            WS_POPUP | WS_VISIBLE, kParentX, kParentY, 200, 150, NULL, NULL));
        LoadImage(m_wnd.GetDib(CDibWnd::stateNormal), kNormal, true);
        LoadImage(m_wnd.GetDib(CDibWnd::statePressed), kPressed);
        LoadImage(m_wnd.GetDib(CDibWnd::stateFocused), kFocused);
        ASSERT_TRUE(m_wnd.Create(CRect(kChildX, kChildY, kChildX + 5, kChildY + 5), &m_parent, kId));
        Pump();
    }
    void TearDown() override
    {
        m_wnd.DestroyWindow();
        m_parent.DestroyWindow();
        FrameworkTest::TearDown();
    }

    // A point of the child in screen coordinates.
    static int ScreenX(int x) { return kParentX + kChildX + x; }
    static int ScreenY(int y) { return kParentY + kChildY + y; }

    COLORREF Shown() { return platform::headless::WindowPixel(m_wnd.m_hWnd, 20, 5); }

    void ClickInside()
    {
        platform::headless::Click(ScreenX(15), ScreenY(5));
        Pump();
    }

    using Posted = std::vector<std::pair<UINT, WPARAM>>;

    platform::FakeClock m_clock;
    RecordingParent m_parent;
    CDibWnd m_wnd;
};

TEST_F(DibWndTest, FirstPaintTakesTheNormalImagesSizeWhereItStands)
{
    CRect rc;
    m_wnd.GetWindowRect(&rc);
    m_parent.ScreenToClient(&rc);
    EXPECT_EQ(CRect(kChildX, kChildY, kChildX + kImageW, kChildY + kImageH), rc);
    EXPECT_EQ(CDibWnd::stateNormal, m_wnd.GetState());
    EXPECT_EQ(kNormal, Shown());
    EXPECT_EQ(kNormal, platform::headless::WindowPixel(m_wnd.m_hWnd, kImageW - 1, kImageH - 6));
}

TEST_F(DibWndTest, PressShowsThePressedImageWhileInsideAndReleaseInsideClicks)
{
    platform::headless::PressMouse(0, ScreenX(5), ScreenY(5));
    Pump();
    EXPECT_EQ(m_wnd.m_hWnd, ::GetCapture());
    EXPECT_EQ(CDibWnd::statePressed, m_wnd.GetState());
    EXPECT_EQ(kPressed, Shown());

    platform::headless::MoveMouse(ScreenX(kImageW + 5), ScreenY(5));
    Pump();
    EXPECT_EQ(CDibWnd::stateNormal, m_wnd.GetState());
    EXPECT_EQ(kNormal, Shown());
    platform::headless::MoveMouse(ScreenX(6), ScreenY(6));
    Pump();
    EXPECT_EQ(CDibWnd::statePressed, m_wnd.GetState());

    platform::headless::ReleaseMouse(0, ScreenX(6), ScreenY(6));
    Pump();
    EXPECT_EQ(HWND(NULL), ::GetCapture());
    EXPECT_EQ(m_wnd.m_hWnd, ::GetFocus());
    EXPECT_EQ(CDibWnd::stateFocused, m_wnd.GetState());
    EXPECT_EQ(kFocused, Shown());
    EXPECT_EQ(Posted({{WM_DIBWND_CLICKED, kId}}), m_parent.posted);
}

TEST_F(DibWndTest, ReleaseOutsideCountsOnlyForTheFocusedWindow)
{
    auto dragOut = [&] {
        platform::headless::PressMouse(0, ScreenX(5), ScreenY(5));
        Pump();
        platform::headless::MoveMouse(ScreenX(5), ScreenY(kImageH + 10));
        Pump();
        platform::headless::ReleaseMouse(0, ScreenX(5), ScreenY(kImageH + 10));
        Pump();
        m_clock.Advance(5000);
    };
    dragOut();
    EXPECT_EQ(CDibWnd::stateNormal, m_wnd.GetState());
    EXPECT_NE(m_wnd.m_hWnd, ::GetFocus());
    EXPECT_TRUE(m_parent.posted.empty());

    m_wnd.SetFocus();
    Pump();
    EXPECT_EQ(CDibWnd::stateFocused, m_wnd.GetState());
    dragOut();
    EXPECT_EQ(CDibWnd::stateFocused, m_wnd.GetState());
    EXPECT_EQ(Posted({{WM_DIBWND_CLICKED, kId}}), m_parent.posted);
}

TEST_F(DibWndTest, UnclickableWindowClicksOnlyOnceItHasTheFocus)
{
    m_wnd.m_bClickable = FALSE;
    ClickInside();
    EXPECT_EQ(CDibWnd::stateNormal, m_wnd.GetState());
    EXPECT_NE(m_wnd.m_hWnd, ::GetFocus());
    EXPECT_TRUE(m_parent.posted.empty());

    m_wnd.SetFocus();
    m_clock.Advance(5000);
    ClickInside();
    EXPECT_EQ(Posted({{WM_DIBWND_CLICKED, kId}}), m_parent.posted);
}

TEST_F(DibWndTest, DoubleClickTellsTheParent)
{
    ClickInside();
    m_clock.Advance(100);
    ClickInside();
    EXPECT_EQ(Posted({{WM_DIBWND_CLICKED, kId}, {WM_DIBWND_DBLCLK, kId}}), m_parent.posted);
}

TEST_F(DibWndTest, FocusChoosesTheFocusedOrTheNormalImage)
{
    CWnd other;
    ASSERT_TRUE(other.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(100, 100, 120, 120), &m_parent, 9));
    m_wnd.SetFocus();
    Pump();
    EXPECT_EQ(CDibWnd::stateFocused, m_wnd.GetState());
    EXPECT_EQ(kFocused, Shown());
    other.SetFocus();
    Pump();
    EXPECT_EQ(CDibWnd::stateNormal, m_wnd.GetState());
    EXPECT_EQ(kNormal, Shown());
    EXPECT_TRUE(m_parent.posted.empty());
}

TEST_F(DibWndTest, WithoutEnabledOrClickableTheMouseDoesNothingAndTheCursorIsTheArrow)
{
    LPCTSTR lpszHand = MAKEINTRESOURCE(IDC_OBJECT_HAND);
    const HCURSOR hHand = ::LoadCursor(AfxFindResourceHandle(lpszHand, RT_GROUP_CURSOR), lpszHand);
    ASSERT_NE(HCURSOR(NULL), hHand);
    EXPECT_EQ(hHand, m_wnd.GetHandCursor());
    EXPECT_EQ(ULONG_PTR(0), ::GetClassLongPtr(m_wnd.m_hWnd, GCLP_HCURSOR));

    platform::headless::MoveMouse(ScreenX(3), ScreenY(3));
    EXPECT_EQ(hHand, ::GetCursor());

    m_wnd.m_bEnabled = FALSE;
    platform::headless::MoveMouse(ScreenX(4), ScreenY(3));
    EXPECT_EQ(hHand, ::GetCursor()); // still clickable

    m_wnd.m_bClickable = FALSE;
    platform::headless::MoveMouse(ScreenX(5), ScreenY(3));
    EXPECT_EQ(::LoadCursor(NULL, IDC_ARROW), ::GetCursor());
    platform::headless::PressMouse(0, ScreenX(5), ScreenY(3));
    Pump();
    EXPECT_EQ(HWND(NULL), ::GetCapture());
    EXPECT_EQ(CDibWnd::stateNormal, m_wnd.GetState());
    platform::headless::ReleaseMouse(0, ScreenX(5), ScreenY(3));
    m_clock.Advance(100);
    ClickInside();
    EXPECT_TRUE(m_parent.posted.empty());
    EXPECT_EQ(kNormal, Shown());
}

TEST_F(DibWndTest, TransparentWindowShowsItsParentUnderTheKeyColour)
{
    m_wnd.m_bTransparent = TRUE;
    m_parent.Invalidate();
    m_wnd.Invalidate();
    Pump();
    EXPECT_EQ(kGround, platform::headless::WindowPixel(m_wnd.m_hWnd, 2, kImageH - 2));
    EXPECT_EQ(kNormal, platform::headless::WindowPixel(m_wnd.m_hWnd, 12, kImageH - 2));
    EXPECT_EQ(kNormal, Shown());
}

} // namespace
