// Moving and sizing windows by their caption and frame with the mouse, and
// by the arrow keys after the system menu's Move and Size: the messages the
// window hears, its answers taken, the tracking limits, and Escape.

#include "tests/ui/FrameControlsFixture.h"

namespace frametest {
namespace {

std::vector<UINT> MessagesOf(const std::vector<Seen>& seen)
{
    std::vector<UINT> out;
    for (const Seen& s : seen)
        out.push_back(s.message);
    return out;
}

RECT Offset(RECT r, int dx, int dy)
{
    OffsetRect(&r, dx, dy);
    return r;
}

void ExpectRect(const RECT& actual, const RECT& expected)
{
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

// Alt+minus: the design window's system menu.
std::function<void()> AltMinus()
{
    return [] {
        hl::KeyDown(VK_MENU);
        hl::TypeKey(VK_OEM_MINUS);
        hl::KeyUp(VK_MENU);
    };
}

std::function<void()> Key(UINT vk)
{
    return [vk] { hl::TypeKey(vk); };
}

using SizeMoveTest = FrameControlsTest;

TEST_F(SizeMoveTest, CaptionDragMovesTheWindowWithThePointer)
{
    HWND doc = NewChild("Doc");
    RECT start = ScreenRect(doc);
    RECT startInParent = RectInParent(doc);
    POINT p = CaptionPoint(doc);
    Script({
        [&] { hl::PressMouse(0, p.x, p.y); },
        [&] { hl::MoveMouse(p.x + 30, p.y + 20); },
        [&] { hl::MoveMouse(p.x + 50, p.y + 40); },
        [&] { hl::ReleaseMouse(0, p.x + 50, p.y + 40); },
    });
    RunProgramLoop();
    ExpectRect(RectInParent(doc), Offset(startInParent, 50, 40));
    auto seen = Only(doc, {WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING, WM_EXITSIZEMOVE});
    ASSERT_EQ(MessagesOf(seen),
        (std::vector<UINT>{WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING, WM_MOVING, WM_EXITSIZEMOVE}));
    EXPECT_EQ(seen[0].wParam, WPARAM(SC_MOVE + HTCAPTION));
    // WM_MOVING tells the screen rectangle each step asks for.
    ExpectRect(seen[2].rect, Offset(start, 30, 20));
    ExpectRect(seen[3].rect, Offset(start, 50, 40));
    EXPECT_EQ(GetCapture(), nullptr);

    // The main window moves on the screen the same way.
    RECT main = ScreenRect(frame);
    POINT q{main.left + 200, main.top + GetSystemMetrics(SM_CYFRAME) + 8};
    clock.Advance(2000);
    Script({
        [&] { hl::PressMouse(0, q.x, q.y); },
        [&] { hl::MoveMouse(q.x + 15, q.y + 25); },
        [&] { hl::ReleaseMouse(0, q.x + 15, q.y + 25); },
    });
    RunProgramLoop();
    ExpectRect(ScreenRect(frame), Offset(main, 15, 25));
}

TEST_F(SizeMoveTest, AnswersToMovingAreKeptAndTheCaptionStaysInTheClient)
{
    HWND doc = NewChild("Doc");
    TheLog().snap = 25;
    POINT p = CaptionPoint(doc);
    Script({
        [&] { hl::PressMouse(0, p.x, p.y); },
        [&] { hl::MoveMouse(p.x + 37, p.y + 5); },
        [&] { hl::ReleaseMouse(0, p.x + 37, p.y + 5); },
    });
    RunProgramLoop();
    EXPECT_EQ(ScreenRect(doc).left % 25, 0);

    // Dragged far past the client's corner, the grip stays just inside it.
    TheLog().snap = 0;
    clock.Advance(2000);
    p = CaptionPoint(doc);
    RECT grip = ScreenRect(doc);
    POINT offset{p.x - grip.left, p.y - grip.top};
    Script({
        [&] { hl::PressMouse(0, p.x, p.y); },
        [&] { hl::MoveMouse(p.x + 900, p.y + 900); },
        [&] { hl::ReleaseMouse(0, p.x + 900, p.y + 900); },
    });
    RunProgramLoop();
    RECT area{};
    GetClientRect(client, &area);
    MapWindowPoints(client, NULL, reinterpret_cast<POINT*>(&area), 2);
    RECT now = ScreenRect(doc);
    EXPECT_EQ(now.left + offset.x, area.right - 1);
    EXPECT_EQ(now.top + offset.y, area.bottom - 1);
}

TEST_F(SizeMoveTest, FrameDragSizesWithinTheTrackingLimits)
{
    HWND doc = NewChild("Doc");
    TheLog().minTrack = POINT{200, 150};
    RECT start = ScreenRect(doc);
    POINT corner{start.right - 2, start.bottom - 2};
    ASSERT_EQ(HitAt(doc, corner), HTBOTTOMRIGHT);
    Script({
        [&] { hl::PressMouse(0, corner.x, corner.y); },
        [&] { hl::MoveMouse(corner.x + 40, corner.y + 30); },
        [&] { hl::ReleaseMouse(0, corner.x + 40, corner.y + 30); },
    });
    RunProgramLoop();
    RECT grown = ScreenRect(doc);
    ExpectRect(grown, RECT{start.left, start.top, start.right + 40, start.bottom + 30});
    auto sizing = Only(doc, {WM_SYSCOMMAND, WM_SIZING});
    ASSERT_EQ(sizing.size(), 2u);
    EXPECT_EQ(sizing[0].wParam, WPARAM(SC_SIZE + WMSZ_BOTTOMRIGHT));
    EXPECT_EQ(sizing[1].wParam, WPARAM(WMSZ_BOTTOMRIGHT));
    ExpectRect(sizing[1].rect, grown);

    // The left edge pulled past the least width stops there; the right edge
    // does not move.
    clock.Advance(2000);
    POINT left{grown.left + 1, (grown.top + grown.bottom) / 2};
    ASSERT_EQ(HitAt(doc, left), HTLEFT);
    Script({
        [&] { hl::PressMouse(0, left.x, left.y); },
        [&] { hl::MoveMouse(left.x + 250, left.y + 10); },
        [&] { hl::ReleaseMouse(0, left.x + 250, left.y + 10); },
    });
    RunProgramLoop();
    ExpectRect(ScreenRect(doc), RECT{grown.right - 200, grown.top, grown.right, grown.bottom});
}

TEST_F(SizeMoveTest, ArrowKeysMoveAndSizeAfterTheSystemMenuAndEscapePutsItBack)
{
    HWND doc = NewChild("Doc");
    SetFocus(doc);
    RECT start = RectInParent(doc);
    Script({AltMinus(), Key('M'), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_DOWN), Key(VK_RETURN)});
    RunProgramLoop();
    ExpectRect(RectInParent(doc), Offset(start, 16, 8));
    auto moved = Only(doc, {WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE});
    ASSERT_GE(moved.size(), 4u);
    EXPECT_EQ(moved[1].wParam, WPARAM(SC_MOVE)) << "from the menu: no mouse hold in the low bits";

    // Size: the first arrow picks the edge it points at, the next moves it.
    RECT before = RectInParent(doc);
    Script({AltMinus(), Key('S'), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_DOWN), Key(VK_DOWN), Key(VK_DOWN),
        Key(VK_RETURN)});
    RunProgramLoop();
    RECT sized = RectInParent(doc);
    ExpectRect(sized, RECT{before.left, before.top, before.right + 8, before.bottom + 16});
    auto edges = Only(doc, {WM_SIZING});
    ASSERT_FALSE(edges.empty());
    EXPECT_EQ(edges.back().wParam, WPARAM(WMSZ_BOTTOMRIGHT));

    // Escape ends a keyboard move where it began.
    TheLog().seen.clear();
    Script({AltMinus(), Key('M'), Key(VK_LEFT), Key(VK_UP), Key(VK_ESCAPE)});
    RunProgramLoop();
    ExpectRect(RectInParent(doc), sized);
    EXPECT_EQ(Only(doc, {WM_MOVING}).size(), 2u);
    EXPECT_EQ(Only(doc, {WM_EXITSIZEMOVE}).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SizeMoveTest, MaximisedOrMinimisedWindowsAreNotSizedAndMaximisedOnesNotMoved)
{
    HWND doc = NewChild("Doc");
    ShowWindow(doc, SW_MAXIMIZE);
    Drain();
    TheLog().seen.clear();
    SendMessage(doc, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, MAKELPARAM(100, 100));
    SendMessage(doc, WM_SYSCOMMAND, SC_SIZE + WMSZ_RIGHT, MAKELPARAM(100, 100));
    EXPECT_TRUE(Only(doc, {WM_ENTERSIZEMOVE}).empty());
    ShowWindow(doc, SW_MINIMIZE);
    Drain();
    SendMessage(doc, WM_SYSCOMMAND, SC_SIZE + WMSZ_RIGHT, MAKELPARAM(100, 100));
    EXPECT_TRUE(Only(doc, {WM_ENTERSIZEMOVE}).empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

} // namespace
} // namespace frametest
