// The hover button on the headless back end: loading a strip and showing
// one frame of it, and the half-second looks at a resting cursor that tell
// the parent, on the fake clock.

#include "controls/HoverPicButton.h"

#include "app/main/MainFrame.h"
#include "platform/base/Clock.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/art.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <vector>

namespace {

using platform::headless::MoveMouse;

constexpr int kParentX = 100;
constexpr int kParentY = 100;
constexpr int kButtonX = 10;
constexpr int kButtonY = 20;

// A parent that keeps the commands it gets.
class CCommandParent : public CWnd {
public:
    std::vector<UINT> m_commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_commands.push_back(LOWORD(wParam));
        return CWnd::OnCommand(wParam, lParam);
    }
};

class HoverPicButtonTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        platform::SetClockSource(&m_clock);
        CHoverPicButton::ResetLastHover();
        MakeApp();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxDefaultWndClass(), "", WS_POPUP | WS_VISIBLE, kParentX, kParentY, 400,
            300, NULL, NULL));
        m_parent.SetActiveWindow();
        ASSERT_TRUE(m_button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
            CRect(kButtonX, kButtonY, kButtonX + 63, kButtonY + 28), &m_parent, 33122));
        MoveMouse(5, 5);
        Pump();
    }
    void TearDown() override
    {
        App()->m_pMainWnd = nullptr;
        FrameworkTest::TearDown();
        CHoverPicButton::ResetLastHover();
    }

    // Puts the cursor at (dx, dy) of the button.
    static void PointAt(int dx, int dy)
    {
        MoveMouse(kParentX + kButtonX + dx, kParentY + kButtonY + dy);
        Pump();
    }
    // Lets one hover period pass.
    void Tick()
    {
        m_clock.Advance(CHoverPicButton::kHoverDelay);
        Pump();
    }
    CRect ButtonRect() const
    {
        CRect rect;
        m_button.GetWindowRect(&rect);
        m_parent.ScreenToClient(&rect);
        return rect;
    }

    platform::FakeClock m_clock;
    CCommandParent m_parent;
    CHoverPicButton m_button;
};

} // namespace

TEST_F(HoverPicButtonTest, LoadsAStripAndSizesItselfToOneFrameInPlace)
{
    EXPECT_EQ(CHoverPicButton::kNoStrip, m_button.GetPictureId());
    m_button.SetPicture(IDB_SURFACES_TWO_SIDED);
    EXPECT_EQ(UINT(IDB_SURFACES_TWO_SIDED), m_button.GetPictureId());
    EXPECT_EQ(CSize(48, 96), m_button.GetStripSize());
    EXPECT_EQ(CHoverPicButton::kNoFrame, m_button.GetIndex());
    EXPECT_EQ(WORD(1), m_button.GetFrameCount());
    EXPECT_TRUE(m_button.IsNewStrip());
    // Loading no strip changes nothing until a frame is chosen.
    EXPECT_EQ(CRect(kButtonX, kButtonY, kButtonX + 63, kButtonY + 28), ButtonRect());

    m_button.SetFrameCount(2);
    EXPECT_EQ(CRect(kButtonX, kButtonY, kButtonX + 48, kButtonY + 48), ButtonRect());
    m_button.SetIndex(1);
    EXPECT_FALSE(m_button.IsNewStrip());
    // The same strip again is kept as it is.
    m_button.SetPicture(IDB_SURFACES_TWO_SIDED);
    EXPECT_FALSE(m_button.IsNewStrip());
    EXPECT_EQ(WORD(1), m_button.GetIndex());

    // A count below one is one: the whole strip.
    m_button.SetFrameCount(0);
    EXPECT_EQ(WORD(1), m_button.GetFrameCount());
    EXPECT_EQ(CRect(kButtonX, kButtonY, kButtonX + 48, kButtonY + 96), ButtonRect());

    // A strip that cannot be loaded leaves the button without one: frames
    // are not taken and the size stays.
    m_button.SetPicture(60001);
    EXPECT_EQ(HBITMAP(NULL), m_button.GetStrip());
    m_button.SetFrameCount(2);
    m_button.SetIndex(1);
    EXPECT_EQ(CHoverPicButton::kNoFrame, m_button.GetIndex());
    EXPECT_EQ(CRect(kButtonX, kButtonY, kButtonX + 48, kButtonY + 96), ButtonRect());
}

TEST_F(HoverPicButtonTest, TellsTheParentOnlyWhenTheCursorRestsUnderFourPixels)
{
    struct Case {
        int dx;
        int dy;
        bool rests;
    } cases[] = {{0, 0, true}, {3, 3, true}, {-3, 2, true}, {4, 0, false}, {0, -4, false}, {10, 10, false}};
    for (const Case& c : cases) {
        m_parent.m_commands.clear();
        CHoverPicButton::ResetLastHover();
        PointAt(20, 10);
        ASSERT_TRUE(m_button.IsHoverTimerRunning());
        m_clock.Advance(CHoverPicButton::kHoverDelay - 1);
        Pump();
        EXPECT_EQ(-1, CHoverPicButton::GetLastHover().x) << "no look before half a second";
        m_clock.Advance(1);
        Pump();
        EXPECT_EQ(kParentX + kButtonX + 20, CHoverPicButton::GetLastHover().x);
        EXPECT_TRUE(m_parent.m_commands.empty());

        // Moved by (dx, dy) with the timer running: the next look decides.
        MoveMouse(kParentX + kButtonX + 20 + c.dx, kParentY + kButtonY + 10 + c.dy);
        Pump();
        Tick();
        if (c.rests) {
            EXPECT_EQ(std::vector<UINT>{CHoverPicButton::kRestCommand}, m_parent.m_commands) << c.dx << "," << c.dy;
            EXPECT_FALSE(m_button.IsHoverTimerRunning());
            EXPECT_EQ(-1, CHoverPicButton::GetLastHover().x);
            // Once told, it stays quiet until the cursor moves again.
            Tick();
            EXPECT_EQ(1u, m_parent.m_commands.size());
        } else {
            EXPECT_TRUE(m_parent.m_commands.empty()) << c.dx << "," << c.dy;
            EXPECT_TRUE(m_button.IsHoverTimerRunning());
            EXPECT_EQ(kParentX + kButtonX + 20 + c.dx, CHoverPicButton::GetLastHover().x);
        }
        MoveMouse(5, 5);
        Pump();
        Tick();
        EXPECT_FALSE(m_button.IsHoverTimerRunning()) << "the cursor left: the timer goes";
    }
}

TEST_F(HoverPicButtonTest, StartsNoTimerWhileTheApplicationIsInactive)
{
    auto* pMain = new CMainFrame;
    ASSERT_TRUE(pMain->LoadFrame(IDR_MAINFRAME));
    App()->m_pMainWnd = pMain;
    pMain->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
    Pump();
    PointAt(20, 10);
    EXPECT_FALSE(m_button.IsHoverTimerRunning());

    pMain->SendMessage(WM_ACTIVATEAPP, TRUE, 0);
    Pump();
    PointAt(21, 10);
    EXPECT_TRUE(m_button.IsHoverTimerRunning());

    // The timer goes with the window.
    EXPECT_EQ(LRESULT(157), m_button.SendMessage(WM_HELPHITTEST, 0, 0));
    m_button.DestroyWindow();
    EXPECT_FALSE(m_button.IsHoverTimerRunning());
}
