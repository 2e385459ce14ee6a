// Strip buttons on the headless back end, over strips the tests write as
// picture files: frame sizes by kind, the frame a state shows, the
// animation ticks and the parent's rest notices, radio groups, clicks that
// fall through key-coloured pixels to a sibling, captions, and strips that
// cannot be loaded.

#include "controls/BMPButton.h"
#include "controls/TimedEventRegistry.h"

#include "platform/base/Clock.h"
#include "platform/base/ResourceTables.h"
#include "platform/framework/Dialog.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestHome.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using picture_files::Raster;
using platform::headless::MoveMouse;
using platform::headless::WindowPixel;

constexpr int kParentX = 100;
constexpr int kParentY = 100;
constexpr COLORREF kKey = CBMPButton::kKeyColor;

// A colour for each strip row, none of them the key colour or white.
COLORREF RowColour(int row)
{
    return RGB(30 + row * 20, 200 - row * 15, 60 + row * 10);
}

// The strip row of a group's frame for a kind.
int RowOf(int kind, int group, int frame)
{
    int row = frame - 1;
    for (int g = 1; g < group; ++g)
        row += CBMPButton::GroupWeight(kind, g);
    return row;
}

// Rows of `unit` pixels, each its own colour.
Raster Strip(int width, int unit, int rows)
{
    Raster r(width, unit * rows);
    for (int row = 0; row < rows; ++row)
        r.Fill(0, row * unit, width, (row + 1) * unit, RowColour(row));
    return r;
}

// Records what the buttons tell their parent.
class RecordingParent : public CWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> rests;
    std::vector<int> clicks;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_BMPBUTTON_REST) {
            rests.emplace_back(wParam, lParam);
            return 0;
        }
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
            clicks.push_back(LOWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class StripButtonTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        platform::InitFileSystem();
        platform::SetClockSource(&m_clock);
        theTimedEvents.Reset();
        m_folder = testing_support::MakeTempDir("strips");
        MakeApp();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxDefaultWndClass(), "", WS_POPUP | WS_VISIBLE, kParentX, kParentY, 400,
            300, NULL, NULL));
        App()->m_pMainWnd = &m_parent;
        m_parent.SetActiveWindow();
        MoveMouse(kParentX + 390, kParentY + 290);
        Pump();
    }
    void TearDown() override
    {
        m_buttons.clear();
        App()->m_pMainWnd = nullptr;
        FrameworkTest::TearDown();
        theTimedEvents.Reset();
    }

    std::string WritePng(const Raster& strip, const std::string& name)
    {
        return picture_files::WritePng(strip, m_folder + "/" + name);
    }
    std::string WriteBmp(const Raster& strip, const std::string& name)
    {
        return picture_files::WriteBmp(strip, m_folder + "/" + name);
    }

    CBMPButton* MakeButton(UINT nID, int x, int y, DWORD dwExtraStyle = 0)
    {
        auto button = std::make_unique<CBMPButton>();
        EXPECT_TRUE(button->Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW | dwExtraStyle,
            CRect(x, y, x + 10, y + 10), &m_parent, nID));
        m_buttons.push_back(std::move(button));
        return m_buttons.back().get();
    }

    static void Tick(CBMPButton* pButton)
    {
        pButton->SendMessage(WM_TIMEDEVENT_TICK, CBMPButton::kEventId, 0);
        Pump();
    }
    // A click as a user makes it: each step handled before the next comes,
    // and long enough after the one before not to make a double click.
    void ClickAt(CPoint screen)
    {
        m_clock.Advance(1000);
        MoveMouse(screen.x, screen.y);
        Pump();
        platform::headless::PressMouse(0, screen.x, screen.y);
        Pump();
        platform::headless::ReleaseMouse(0, screen.x, screen.y);
        Pump();
    }
    // The screen point of (x, y) in a button.
    static CPoint ScreenPoint(CBMPButton* pButton, int x, int y)
    {
        CPoint pt(x, y);
        pButton->ClientToScreen(&pt);
        return pt;
    }

    platform::FakeClock m_clock;
    RecordingParent m_parent;
    std::string m_folder;
    std::vector<std::unique_ptr<CBMPButton>> m_buttons;
};

TEST_F(StripButtonTest, KindTwoStripOfHeightHundredHasFiveTwentyPixelFrames)
{
    const std::string path = WriteBmp(Strip(40, 20, 5), "kind2.bmp");
    CBMPButton* pButton = MakeButton(500, 10, 10);
    ASSERT_EQ(1, pButton->LoadFromFile(2, "", path.c_str(), FALSE, 0, 0, 0));
    EXPECT_EQ(20, pButton->m_nFrameHeight);
    CRect client;
    pButton->GetClientRect(&client);
    EXPECT_EQ(CSize(40, 20), client.Size());
    Pump();
    // The normal frame, the strip's second, from its top row to its last.
    EXPECT_EQ(RowColour(1), WindowPixel(pButton->m_hWnd, 0, 0));
    EXPECT_EQ(RowColour(1), WindowPixel(pButton->m_hWnd, 39, 19));

    // Kind 1 has nine frames: a strip of 90 gives frames of 10.
    CBMPButton* pNine = MakeButton(501, 100, 10);
    ASSERT_EQ(1, pNine->LoadFromFile(1, nullptr, WritePng(Strip(30, 10, 9), "kind1.png").c_str(), FALSE, 0, 0, 0));
    EXPECT_EQ(10, pNine->m_nFrameHeight);
    pNine->EnableWindow(FALSE);
    Pump();
    EXPECT_EQ(RowColour(0), WindowPixel(pNine->m_hWnd, 5, 5));
}

TEST_F(StripButtonTest, StripsThatCannotServeAreRefusedAndLeaveTheButtonCleared)
{
    CBMPButton* pButton = MakeButton(502, 10, 10);
    const std::string good = WritePng(Strip(40, 10, 9), "good.png");
    // Eight rows cannot hold the nine frames of kind 1: frames of no height.
    const std::string shortStrip = WritePng(Strip(40, 1, 8), "short.png");
    testing_support::WriteFileBytes(m_folder + "/damaged.png", "\x89PNG\r\n\x1a\n broken");
    const std::string damaged = platform::WindowsPathFor(m_folder + "/damaged.png");
    const std::string missing = platform::WindowsPathFor(m_folder + "/missing.png");
    struct Case {
        const char* what;
        int kind;
        std::string path;
    } cases[] = {
        {"short strip", 1, shortStrip},
        {"damaged file", 2, damaged},
        {"missing file", 2, missing},
        {"kind 0", 0, good},
        {"kind 7", 7, good},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(1, pButton->LoadFromFile(2, "OK", good.c_str(), TRUE, 0, 0, 0));
        EXPECT_EQ(0, pButton->LoadFromFile(c.kind, "OK", c.path.c_str(), TRUE, 0, 0, 0));
        EXPECT_EQ(HBITMAP(NULL), pButton->m_strip.m_hBitmap);
        EXPECT_EQ(HBITMAP(NULL), pButton->m_hMask);
        EXPECT_EQ(NULL, pButton->m_bmpFace.GetSafeHandle());
        EXPECT_EQ(nullptr, theTimedEvents.FindEvent(pButton->m_hWnd, CBMPButton::kEventId));
        EXPECT_EQ(0u, theTimedEvents.GetTimerId());
        // Painting a cleared button draws nothing and does not fail.
        pButton->Invalidate();
        Pump();
    }
    // Nine rows of one pixel are just enough.
    EXPECT_EQ(1, pButton->LoadFromFile(1, "", WritePng(Strip(40, 1, 9), "nine.png").c_str(), FALSE, 0, 0, 0));
    EXPECT_EQ(1, pButton->m_nFrameHeight);
}

TEST_F(StripButtonTest, ChoosesTheFrameGroupByStateAndItemState)
{
    constexpr int N = CBMPButton::stateNormal;
    constexpr int H = CBMPButton::stateHover;
    constexpr int E = CBMPButton::stateHoverEnding;
    constexpr int D = CBMPButton::stateDown;
    constexpr int R = CBMPButton::stateReleased;
    struct Case {
        int kind;
        int state;
        UINT itemState;
        int groupBefore;
        int frameBefore;
        int group;
        int frame;
    } cases[] = {
        {1, N, 0, 2, 1, 2, 1},
        {1, N, ODS_FOCUS, 2, 1, 3, 1},
        {3, N, ODS_FOCUS, 2, 1, 2, 1}, // radio kinds have no focused frame
        {1, H, ODS_DISABLED, 4, 2, 1, 1},
        {1, D, ODS_DISABLED | ODS_FOCUS, 5, 3, 1, 1},
        {1, H, 0, 2, 1, 4, 1},
        {1, H, 0, 4, 2, 4, 2}, // a group kept keeps its running frame
        {1, D, ODS_FOCUS, 4, 3, 5, 1}, // a new group starts at its first frame
        {1, D, 0, 5, 3, 5, 3},
        {1, R, 0, 5, 3, 5, 3}, // the pressed run plays back while shown
        {1, R, 0, 2, 1, 2, 1}, // ... but is not brought back
        {2, R, 0, 5, 1, 2, 1}, // a single pressed frame is not played back
        {2, R, ODS_FOCUS, 5, 1, 3, 1},
        {1, E, 0, 4, 3, 4, 3},
        {4, E, 0, 4, 1, 2, 1},
        {5, D, ODS_FOCUS, 2, 1, 5, 1},
        {6, R, 0, 5, 1, 2, 1},
    };
    int row = 0;
    for (const Case& c : cases) {
        int group = c.groupBefore;
        int frame = c.frameBefore;
        CBMPButton::ChooseFrame(c.kind, c.state, c.itemState, group, frame);
        EXPECT_EQ(c.group, group) << "row " << row;
        EXPECT_EQ(c.frame, frame) << "row " << row;
        ++row;
    }
}

TEST_F(StripButtonTest, HoverRunPlaysRestsAndEndsWithRestNotices)
{
    constexpr int kind = 1;
    CBMPButton* pButton = MakeButton(503, 10, 10);
    ASSERT_EQ(1, pButton->LoadFromFile(kind, "", WritePng(Strip(40, 10, 9), "hover.png").c_str(), FALSE, 0, 0, 0));
    Pump();
    const CPoint inside = ScreenPoint(pButton, 20, 5);
    MoveMouse(inside.x, inside.y);
    Pump();
    EXPECT_TRUE(pButton->IsHover());
    EXPECT_EQ(pButton->m_hWnd, ::GetCapture());

    struct Step {
        const char* action; // "tick" or "leave"
        int state;
        int group;
        int frame;
        size_t rests;
    } script[] = {
        {"tick", CBMPButton::stateHover, 4, 2, 0},
        {"tick", CBMPButton::stateHover, 4, 3, 0},
        {"tick", CBMPButton::stateHover, 4, 3, 0},
        {"tick", CBMPButton::stateHover, 4, 3, 1}, // the third tick at the last frame
        {"tick", CBMPButton::stateHover, 4, 3, 1}, // told once
        {"leave", CBMPButton::stateHoverEnding, 4, 3, 1},
        {"tick", CBMPButton::stateHoverEnding, 4, 2, 2}, // the run is left
        {"tick", CBMPButton::stateHoverEnding, 4, 1, 2},
        {"tick", CBMPButton::stateNormal, 2, 1, 2},
    };
    int n = 0;
    for (const Step& s : script) {
        SCOPED_TRACE(n++);
        if (std::string(s.action) == "leave") {
            MoveMouse(kParentX + 300, kParentY + 200);
            Pump();
            EXPECT_EQ(HWND(NULL), ::GetCapture());
        } else {
            Tick(pButton);
        }
        EXPECT_EQ(s.state, pButton->m_nState);
        EXPECT_EQ(s.group, pButton->m_nGroup);
        EXPECT_EQ(s.frame, pButton->m_nFrame);
        EXPECT_EQ(RowColour(RowOf(kind, s.group, s.frame)), WindowPixel(pButton->m_hWnd, 30, 5));
        EXPECT_EQ(s.rests, m_parent.rests.size());
    }
    const std::vector<std::pair<WPARAM, LPARAM>> expected{{503, 1}, {503, 0}};
    EXPECT_EQ(expected, m_parent.rests);
}

TEST_F(StripButtonTest, PushKindPlaysItsPressedRunAndClicks)
{
    constexpr int kind = 1;
    CBMPButton* pButton = MakeButton(504, 10, 10);
    ASSERT_EQ(1, pButton->LoadFromFile(kind, "", WritePng(Strip(40, 10, 9), "push.png").c_str(), FALSE, 0, 0, 0));
    Pump();
    const CPoint inside = ScreenPoint(pButton, 20, 5);
    MoveMouse(inside.x, inside.y);
    platform::headless::PressMouse(0, inside.x, inside.y);
    Pump();
    EXPECT_TRUE(pButton->IsChecked());
    EXPECT_EQ(5, pButton->m_nGroup);
    Tick(pButton);
    Tick(pButton);
    Tick(pButton);
    EXPECT_EQ(3, pButton->m_nFrame);
    // A push button's pressed run is no hover run: nothing to tell.
    EXPECT_TRUE(m_parent.rests.empty());

    platform::headless::ReleaseMouse(0, inside.x, inside.y);
    Pump();
    EXPECT_EQ(std::vector<int>{504}, m_parent.clicks);
    EXPECT_EQ(CBMPButton::stateReleased, pButton->m_nState);
    Tick(pButton);
    EXPECT_EQ(2, pButton->m_nFrame);

    // Enter on a push kind is Space: down presses, up clicks.
    pButton->SetFocus();
    Pump();
    platform::headless::KeyDown(VK_RETURN);
    Pump();
    EXPECT_TRUE(pButton->IsChecked());
    platform::headless::KeyUp(VK_RETURN);
    Pump();
    EXPECT_EQ((std::vector<int>{504, 504}), m_parent.clicks);
    EXPECT_FALSE(pButton->IsChecked());
}

TEST_F(StripButtonTest, CheckingARadioUnchecksItsGroupOnly)
{
    const std::string path = WritePng(Strip(20, 10, 7), "radio.png");
    // Two groups: a, b, c and then d, e.
    CBMPButton* a = MakeButton(510, 10, 10, WS_GROUP);
    CBMPButton* b = MakeButton(511, 10, 30);
    CBMPButton* c = MakeButton(512, 10, 50);
    CBMPButton* d = MakeButton(513, 10, 70, WS_GROUP);
    CBMPButton* e = MakeButton(514, 10, 90);
    for (CBMPButton* p : {a, b, c, d, e})
        ASSERT_EQ(1, p->LoadFromFile(3, "", path.c_str(), FALSE, 0, 0, 0));

    b->SetCheck(TRUE);
    e->SetCheck(TRUE);
    c->SetCheck(TRUE);
    EXPECT_FALSE(b->IsChecked());
    EXPECT_TRUE(c->IsChecked());
    EXPECT_TRUE(e->IsChecked());
    // A group's first button does not reach back into the group before it.
    d->SetCheck(TRUE);
    EXPECT_TRUE(c->IsChecked());
    EXPECT_FALSE(e->IsChecked());
    a->SetCheck(TRUE);
    EXPECT_FALSE(c->IsChecked());
    EXPECT_TRUE(d->IsChecked());

    // A click checks a radio and tells the parent; clicking it again keeps it.
    const CPoint pt = ScreenPoint(b, 5, 5);
    for (int i = 0; i < 2; ++i) {
        ClickAt(pt);
        EXPECT_TRUE(b->IsChecked());
        EXPECT_FALSE(a->IsChecked());
    }
    EXPECT_EQ((std::vector<int>{511, 511}), m_parent.clicks);

    // Toggles flip on each click.
    CBMPButton* t = MakeButton(515, 200, 10, WS_GROUP);
    ASSERT_EQ(1, t->LoadFromFile(6, "", WritePng(Strip(20, 10, 4), "toggle.png").c_str(), FALSE, 0, 0, 0));
    const CPoint tp = ScreenPoint(t, 5, 5);
    ClickAt(tp);
    EXPECT_TRUE(t->IsChecked());
    ClickAt(tp);
    EXPECT_FALSE(t->IsChecked());
}

TEST_F(StripButtonTest, ClickOnAKeyColouredPixelReachesTheSiblingBelow)
{
    // Two masked buttons on the same place: the left one keys its right
    // half, the right one its left half.
    Raster left = Strip(40, 10, 5);
    left.Fill(20, 0, 40, 50, kKey);
    Raster right = Strip(40, 10, 5);
    right.Fill(0, 0, 20, 50, kKey);
    right.Fill(20, 10, 40, 20, RGB(10, 10, 120)); // its normal frame in its own colour
    CBMPButton* pLeft = MakeButton(520, 50, 50);
    CBMPButton* pRight = MakeButton(521, 50, 50);
    ASSERT_EQ(1, pLeft->LoadFromFile(2, "", WritePng(left, "left.png").c_str(), TRUE, 0, 0, 0));
    ASSERT_EQ(1, pRight->LoadFromFile(2, "", WritePng(right, "right.png").c_str(), TRUE, 0, 0, 0));
    Pump();

    EXPECT_TRUE(pLeft->HitTest(CPoint(5, 5)));
    EXPECT_FALSE(pLeft->HitTest(CPoint(30, 5)));
    EXPECT_TRUE(pRight->HitTest(CPoint(30, 5)));
    EXPECT_FALSE(pRight->HitTest(CPoint(5, 5)));
    // Each shows the other where it is keyed, whichever lies on top.
    for (CBMPButton* p : {pLeft, pRight}) {
        EXPECT_EQ(RowColour(1), WindowPixel(p->m_hWnd, 5, 5));
        EXPECT_EQ(RGB(10, 10, 120), WindowPixel(p->m_hWnd, 30, 5));
    }

    const CPoint onLeft = ScreenPoint(pLeft, 5, 5);
    const CPoint onRight = ScreenPoint(pLeft, 30, 5);
    ClickAt(onRight);
    ClickAt(onLeft);
    EXPECT_EQ((std::vector<int>{521, 520}), m_parent.clicks);

    // A disabled sibling takes nothing: the click ends at the key pixel.
    pRight->EnableWindow(FALSE);
    m_parent.clicks.clear();
    ClickAt(onRight);
    EXPECT_TRUE(m_parent.clicks.empty());
}

TEST_F(StripButtonTest, CaptionIsDrawnIntoEveryFrame)
{
    // Push kinds: at the given place, grey in the disabled frame.
    CBMPButton* pPush = MakeButton(530, 10, 10);
    Raster white(120, 150, RGB(255, 255, 255));
    ASSERT_EQ(1, pPush->LoadFromFile(2, "MMMM", WritePng(white, "white.png").c_str(), FALSE, 4, 3, 0));
    EXPECT_EQ(CRect(4, 3, 117, 27), pPush->m_rectCaption);
    Pump();
    auto darkest = [](HWND hWnd, const CRect& rc) {
        int least = 255 * 3;
        for (int y = rc.top; y < rc.bottom; ++y) {
            for (int x = rc.left; x < rc.right; ++x) {
                const COLORREF c = WindowPixel(hWnd, x, y);
                least = std::min(least, GetRValue(c) + GetGValue(c) + GetBValue(c));
            }
        }
        return least;
    };
    EXPECT_LT(darkest(pPush->m_hWnd, pPush->m_rectCaption), 100);
    pPush->EnableWindow(FALSE);
    Pump();
    const int grey = darkest(pPush->m_hWnd, pPush->m_rectCaption);
    EXPECT_GT(grey, 200);
    EXPECT_LT(grey, 3 * 255);

    // Radio kinds: to the right of the picture, in a wider strip whose
    // frames hold both, the picture centred in each.
    CBMPButton* pRadio = MakeButton(531, 10, 100);
    ASSERT_EQ(1, pRadio->LoadFromFile(4, "Choice", WritePng(Strip(16, 6, 4), "small.png").c_str(), TRUE, 0, 0, 0));
    CRect client;
    pRadio->GetClientRect(&client);
    EXPECT_EQ(pRadio->m_rectCaption.right + 4, client.Width());
    EXPECT_EQ(16 + 4, pRadio->m_rectCaption.left);
    EXPECT_EQ(pRadio->m_rectCaption.Height() + 4, client.Height());
    const int top = (client.Height() - 6) / 2;
    Pump();
    EXPECT_EQ(RowColour(1), WindowPixel(pRadio->m_hWnd, 8, top));
    EXPECT_EQ(RowColour(1), WindowPixel(pRadio->m_hWnd, 8, top + 5));
    // The mask follows the picture down; the caption beside it takes no clicks.
    EXPECT_TRUE(pRadio->HitTest(CPoint(8, top)));
    EXPECT_FALSE(pRadio->HitTest(CPoint(8, top - 1)));
    EXPECT_FALSE(pRadio->HitTest(pRadio->m_rectCaption.CenterPoint()));
}

// A dialog with a strip button (700) before its default OK button.
constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
const platform::DialogItemTemplate kStripItems[] = {
    {kVisibleChild | BS_OWNERDRAW, 0, 0, 10, 10, 40, 20, 700, "BUTTON", "", 0},
    {kVisibleChild | BS_DEFPUSHBUTTON, 0, 0, 10, 40, 50, 14, IDOK, "BUTTON", "OK", 0},
};
const platform::DialogTemplate kStripDialog = {false, WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 0,
    120, 80, "Strips", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kStripItems, 2};

class RecordingDialog : public CDialog {
public:
    std::vector<int> commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        commands.push_back(LOWORD(wParam));
        return TRUE;
    }
};

TEST_F(StripButtonTest, EnterPressesTheFocusedStripButtonInADialog)
{
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(&kStripDialog), &m_parent));
    CBMPButton button;
    ASSERT_TRUE(button.SubclassDlgItem(700, &dialog));
    ASSERT_EQ(1, button.LoadFromFile(2, "Go", WritePng(Strip(40, 10, 5), "dialog.png").c_str(), FALSE, 2, 0, 0));
    button.SetFocus();
    Pump();
    platform::headless::KeyDown(VK_RETURN);
    Pump();
    EXPECT_TRUE(button.IsChecked());
    platform::headless::KeyUp(VK_RETURN);
    Pump();
    EXPECT_EQ(std::vector<int>{700}, dialog.commands);

    // A disabled dialog takes no clicks on its buttons.
    EXPECT_TRUE(button.HitTest(CPoint(5, 5)));
    dialog.EnableWindow(FALSE);
    EXPECT_FALSE(button.HitTest(CPoint(5, 5)));
    dialog.EnableWindow(TRUE);

    // Destroyed with its dialog, the button leaves the registry.
    dialog.DestroyWindow();
    EXPECT_EQ(0, theTimedEvents.GetCount());
}

} // namespace
