// The mouse on a window's own scroll bars: the requests a press, a hold and
// a drag send, with the repeat timing on a fake clock.

#include "tests/ui/InputTestFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

namespace hl = platform::headless;

struct Request {
    UINT message;
    WORD code;
    WORD pos; // HIWORD(wParam)
    int trackPos; // GetScrollInfo(SIF_TRACKPOS) while it was handled
    DWORD time;
};

// Runs one step each time the tracking loop would wait. A step that answers
// false lets the time pass to the next timer instead.
void Script(std::vector<std::function<bool()>> steps)
{
    auto list = std::make_shared<std::vector<std::function<bool()>>>(std::move(steps));
    auto next = std::make_shared<size_t>(0);
    hl::SetIdleHandler([list, next] {
        if (*next >= list->size())
            return false;
        return (*list)[(*next)++]();
    });
}

std::function<bool()> Wait()
{
    return [] { return false; };
}

std::function<bool()> Move(int x, int y)
{
    return [x, y] {
        hl::MoveMouse(x, y);
        return true;
    };
}

std::function<bool()> Release(int x, int y)
{
    return [x, y] {
        hl::ReleaseMouse(0, x, y);
        return true;
    };
}

// The window sits at (50, 40), 116 x 100, so its vertical bar covers
// x 150..165 and y 40..139: the up arrow ends at 56, the down arrow starts
// at 124, and the 68-pixel track between them holds an 8-pixel thumb with
// 60 pixels to travel over positions 0..90.
class ScrollTrackTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        window = MakeTopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{50, 40, 166, 140});
        SetRange(0, 99, 10);
        Pump();
        Rec().handlers[window] = [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
            if (msg != WM_VSCROLL && msg != WM_HSCROLL)
                return false;
            int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
            SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(hwnd, bar, &si);
            requests.push_back(Request{msg, LOWORD(wParam), HIWORD(wParam), si.nTrackPos, GetTickCount()});
            if (follow)
                Apply(hwnd, bar, LOWORD(wParam), si.nTrackPos);
            if (onRequest)
                onRequest(requests.back());
            return true;
        };
    }

    void SetRange(int min, int max, UINT page, int bar = SB_VERT)
    {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, min, max, page, min, 0};
        SetScrollInfo(window, bar, &si, TRUE);
    }

    // What a program typically does with the requests.
    static void Apply(HWND hwnd, int bar, WORD code, int trackPos)
    {
        int pos = GetScrollPos(hwnd, bar);
        switch (code) {
        case SB_LINEUP:
            pos -= 1;
            break;
        case SB_LINEDOWN:
            pos += 1;
            break;
        case SB_PAGEUP:
            pos -= 10;
            break;
        case SB_PAGEDOWN:
            pos += 10;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = trackPos;
            break;
        default:
            return;
        }
        SetScrollPos(hwnd, bar, pos, TRUE);
    }

    std::vector<WORD> Codes() const
    {
        std::vector<WORD> out;
        for (const Request& r : requests)
            out.push_back(r.code);
        return out;
    }

    HWND window = NULL;
    bool follow = false;
    std::vector<Request> requests;
    std::function<void(const Request&)> onRequest;
};

TEST_F(ScrollTrackTest, DraggedThumbReportsTrackPositionsThenDrops)
{
    // Grabbed 4 pixels into the thumb; 30 pixels down the track is half way.
    Script({Move(158, 90), Move(158, 300), Release(158, 300)});
    hl::PressMouse(0, 158, 60);
    Pump();

    ASSERT_THAT(Codes(), ElementsAre(SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL));
    EXPECT_EQ(requests[0].pos, 45);
    EXPECT_EQ(requests[0].trackPos, 45);
    EXPECT_EQ(requests[1].pos, 90); // past the end the thumb stays at the end
    EXPECT_EQ(requests[2].pos, 90);
    EXPECT_EQ(requests[2].trackPos, 90);
    // The program never moved the position; outside the drag the tracking
    // position is the position again, and the mouse is free.
    SCROLLINFO si{sizeof si, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(window, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 0);
    EXPECT_EQ(si.nTrackPos, 0);
    EXPECT_EQ(GetCapture(), HWND(NULL));
}

TEST_F(ScrollTrackTest, DraggedThumbIsDrawnUnderThePointer)
{
    // The thumb's bottom row is the dark shadow of its raised edge.
    const COLORREF edge = GetSysColor(COLOR_3DDKSHADOW);
    COLORREF during = CLR_INVALID;
    COLORREF homeDuring = CLR_INVALID;
    onRequest = [&](const Request& r) {
        if (r.code == SB_THUMBTRACK) {
            during = hl::WindowPixel(window, 108, 53, true);
            homeDuring = hl::WindowPixel(window, 108, 23, true);
        }
    };
    EXPECT_EQ(hl::WindowPixel(window, 108, 23, true), edge);
    Script({Move(158, 90), Release(158, 90)});
    hl::PressMouse(0, 158, 60);
    Pump();
    EXPECT_EQ(during, edge);
    EXPECT_NE(homeDuring, edge);
    // Let go, the thumb shows the position, which the program kept at 0.
    EXPECT_EQ(hl::WindowPixel(window, 108, 23, true), edge);
}

TEST_F(ScrollTrackTest, ThumbDraggedFarFromTheBarGoesBackToItsStart)
{
    follow = true;
    Script({Move(158, 90), Move(10, 90), Move(158, 90), Move(10, 90), Release(10, 90)});
    hl::PressMouse(0, 158, 60);
    Pump();
    ASSERT_THAT(Codes(), ElementsAre(SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION,
                             SB_ENDSCROLL));
    EXPECT_EQ(requests[0].pos, 45);
    EXPECT_EQ(requests[1].pos, 0);
    EXPECT_EQ(requests[2].pos, 45);
    EXPECT_EQ(requests[4].pos, 0);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);
}

TEST_F(ScrollTrackTest, TrackPositionCoversRangesBeyondSixteenBits)
{
    SetRange(0, 1000000, 0);
    Script({Move(158, 300), Release(158, 300)});
    hl::PressMouse(0, 158, 60);
    Pump();
    ASSERT_THAT(Codes(), ElementsAre(SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL));
    EXPECT_EQ(requests[0].pos, WORD(1000000));
    EXPECT_EQ(requests[1].trackPos, 1000000);
}

TEST_F(ScrollTrackTest, HeldArrowRepeatsAfterAPauseWhileThePointerIsOnIt)
{
    const DWORD start = GetTickCount();
    // Two repeats; off the arrow for two ticks; back for one more.
    Script({Wait(), Wait(), Move(158, 100), Wait(), Wait(), Move(158, 130), Wait(), Release(158, 130)});
    hl::PressMouse(0, 158, 130);
    Pump();

    ASSERT_THAT(Codes(), ElementsAre(SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL));
    EXPECT_EQ(requests[0].time - start, 0u);
    EXPECT_EQ(requests[1].time - start, 400u);
    EXPECT_EQ(requests[2].time - start, 450u);
    EXPECT_EQ(requests[3].time - start, 600u);
    EXPECT_EQ(GetCapture(), HWND(NULL));
}

TEST_F(ScrollTrackTest, ClicksSendOneRequestEach)
{
    follow = true;
    SetScrollPos(window, SB_VERT, 50, TRUE);
    hl::Click(158, 45); // up arrow
    Pump();
    hl::Click(158, 60); // track above the thumb
    Pump();
    // A second quick click comes as a double click, and scrolls too.
    clock.Advance(50);
    hl::Click(158, 60);
    Pump();
    EXPECT_THAT(Codes(), ElementsAre(SB_LINEUP, SB_ENDSCROLL, SB_PAGEUP, SB_ENDSCROLL, SB_PAGEUP, SB_ENDSCROLL));
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 29);
}

TEST_F(ScrollTrackTest, HeldPageRepeatsUntilTheThumbReachesThePointer)
{
    follow = true;
    std::vector<std::function<bool()>> steps(12, Wait());
    steps.push_back(Release(158, 110));
    Script(steps);
    hl::PressMouse(0, 158, 110);
    Pump();
    // At 70 the thumb covers y 103..110.
    std::vector<WORD> expected(7, SB_PAGEDOWN);
    expected.push_back(SB_ENDSCROLL);
    EXPECT_EQ(Codes(), expected);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 70);
}

TEST_F(ScrollTrackTest, HorizontalBarSendsHorizontalRequests)
{
    // Below the client area; the right arrow ends at the bar's right edge.
    HWND wide = MakeTopLevel(WS_POPUP | WS_VISIBLE | WS_HSCROLL, RECT{300, 300, 500, 400});
    Rec().handlers[wide] = Rec().handlers[window];
    window = wide;
    SetRange(0, 20, 0, SB_HORZ);
    Pump();
    hl::Click(495, 390);
    Pump();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].message, UINT(WM_HSCROLL));
    EXPECT_EQ(requests[0].code, SB_LINERIGHT);
    EXPECT_EQ(requests[1].code, SB_ENDSCROLL);
}

TEST_F(ScrollTrackTest, LosingTheCaptureEndsTheDragWithoutADrop)
{
    HWND other = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{400, 400, 450, 450});
    Script({Move(158, 90), [other] {
                SetCapture(other);
                return true;
            },
        Move(158, 100), Release(158, 100)});
    hl::PressMouse(0, 158, 60);
    Pump();
    EXPECT_THAT(Codes(), ElementsAre(SB_THUMBTRACK, SB_ENDSCROLL));
    auto cancel = std::find_if(Rec().log.begin(), Rec().log.end(),
        [this](const Seen& s) { return s.hwnd == window && s.message == WM_CANCELMODE; });
    EXPECT_NE(cancel, Rec().log.end());
}

TEST_F(ScrollTrackTest, WindowDestroyedDuringTheDragEndsTheLoopQuietly)
{
    onRequest = [this](const Request&) { DestroyWindow(window); };
    Script({Move(158, 90), Move(158, 100), Release(158, 100)});
    hl::PressMouse(0, 158, 60);
    Pump();
    EXPECT_THAT(Codes(), ElementsAre(SB_THUMBTRACK));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetCapture(), HWND(NULL));
}

TEST_F(ScrollTrackTest, PartsThatCannotScrollIgnoreClicks)
{
    EnableScrollBar(window, SB_VERT, ESB_DISABLE_DOWN);
    hl::Click(158, 130);
    Pump();
    // All of it fits in a page; the bar stays, disabled.
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 5, 10, 0, 0};
    SetScrollInfo(window, SB_VERT, &si, TRUE);
    hl::Click(158, 45);
    Pump();
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(GetCapture(), HWND(NULL));
}

} // namespace
