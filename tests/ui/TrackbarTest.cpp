#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

class TrackbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        InitCommonControls();
        parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 250});
        Rec().handlers[parent] = [this](HWND, UINT m, WPARAM w, LPARAM l, LRESULT&) {
            if (m == WM_HSCROLL && (HWND)l == track)
                events.emplace_back(LOWORD(w), HIWORD(w));
            return false;
        };
    }
    void TearDown() override { platform::headless::Reset(); }

    void Make(DWORD style)
    {
        track = CreateWindowEx(0, TRACKBAR_CLASS, NULL, WS_CHILD | WS_VISIBLE | style, 10, 10, 216, 40, parent,
                               (HMENU)(INT_PTR)5, NULL, NULL);
        ASSERT_NE(track, nullptr);
    }

    POINT Screen(int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(track, &p);
        return p;
    }

    std::vector<int> Codes() const
    {
        std::vector<int> out;
        for (auto& e : events)
            out.push_back(e.first);
        return out;
    }

    HWND parent = NULL, track = NULL;
    std::vector<std::pair<int, int>> events;
};

TEST_F(TrackbarTest, KeepsPositionWithinTheRange)
{
    Make(0);
    SendMessage(track, TBM_SETRANGE, TRUE, MAKELONG(10, 20));
    EXPECT_EQ(SendMessage(track, TBM_GETRANGEMIN, 0, 0), 10);
    EXPECT_EQ(SendMessage(track, TBM_GETRANGEMAX, 0, 0), 20);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 10);
    SendMessage(track, TBM_SETPOS, TRUE, 15);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 15);
    SendMessage(track, TBM_SETPOS, TRUE, 99);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 20);
    SendMessage(track, TBM_SETRANGEMAX, TRUE, 12);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 12);
    EXPECT_TRUE(events.empty()); // programmatic changes are not reported
}

TEST_F(TrackbarTest, DraggingTheThumbTracksThenEnds)
{
    Make(0);
    SendMessage(track, TBM_SETRANGE, FALSE, MAKELONG(0, 10));
    RECT thumb{}, channel{};
    SendMessage(track, TBM_GETTHUMBRECT, 0, (LPARAM)&thumb);
    SendMessage(track, TBM_GETCHANNELRECT, 0, (LPARAM)&channel);
    int y = (thumb.top + thumb.bottom) / 2;
    POINT start = Screen((thumb.left + thumb.right) / 2, y);
    platform::headless::PressMouse(0, start.x, start.y);
    POINT end = Screen(channel.right - 5, y);
    platform::headless::MoveMouse(end.x, end.y);
    platform::headless::ReleaseMouse(0, end.x, end.y);
    Pump();
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 10);
    std::vector<int> codes = Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), TB_THUMBTRACK);
    EXPECT_EQ(events.front().second, 10);
    EXPECT_EQ(codes[codes.size() - 2], TB_THUMBPOSITION);
    EXPECT_EQ(codes.back(), TB_ENDTRACK);
}

TEST_F(TrackbarTest, ChannelClicksAndKeysPageAndStep)
{
    Make(0);
    SendMessage(track, TBM_SETRANGE, FALSE, MAKELONG(0, 100));
    RECT channel{};
    SendMessage(track, TBM_GETCHANNELRECT, 0, (LPARAM)&channel);
    POINT p = Screen(channel.right - 20, (channel.top + channel.bottom) / 2 + 2);
    platform::headless::Click(p.x, p.y);
    Pump();
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 20);
    EXPECT_EQ(Codes(), (std::vector<int>{TB_PAGEDOWN, TB_ENDTRACK}));

    events.clear();
    SendMessage(track, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessage(track, WM_KEYUP, VK_RIGHT, 0);
    SendMessage(track, WM_KEYDOWN, VK_END, 0);
    SendMessage(track, WM_KEYUP, VK_END, 0);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(Codes(), (std::vector<int>{TB_LINEDOWN, TB_ENDTRACK, TB_BOTTOM, TB_ENDTRACK}));
}

TEST_F(TrackbarTest, DrawsTicksUnlessAskedNotTo)
{
    Make(0);
    SendMessage(track, TBM_SETRANGE, TRUE, MAKELONG(0, 4));
    UpdateWindow(parent);
    Pump();
    RECT thumb{}, channel{};
    SendMessage(track, TBM_GETTHUMBRECT, 0, (LPARAM)&thumb);
    SendMessage(track, TBM_GETCHANNELRECT, 0, (LPARAM)&channel);
    auto tickInk = [&]() {
        int ink = 0;
        for (int x = channel.left; x < channel.right; ++x)
            if (WindowPixel(track, x, thumb.bottom + 3) == GetSysColor(COLOR_BTNTEXT))
                ++ink;
        return ink;
    };
    EXPECT_EQ(tickInk(), 5);
    DestroyWindow(track);
    Make(TBS_NOTICKS);
    SendMessage(track, TBM_SETRANGE, TRUE, MAKELONG(0, 4));
    UpdateWindow(parent);
    Pump();
    EXPECT_EQ(tickInk(), 0);
}

} // namespace
