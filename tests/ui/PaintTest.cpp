#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        Rec().ignored = {WM_NCHITTEST, WM_SETCURSOR};
    }
    void TearDown() override { platform::headless::Reset(); }

    // Paints the whole client area in `color` on every WM_PAINT and
    // records the paint rectangles.
    void PaintWith(HWND hwnd, const COLORREF* color)
    {
        Rec().handlers[hwnd] = [this, color](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
            if (m != WM_PAINT)
                return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            paints.push_back({h, ps.rcPaint});
            RECT all;
            GetClientRect(h, &all);
            HBRUSH brush = CreateSolidBrush(*color);
            FillRect(dc, &all, brush);
            DeleteObject(brush);
            EndPaint(h, &ps);
            r = 0;
            return true;
        };
    }

    int PaintMessages()
    {
        int n = 0;
        for (const Seen& s : Rec().log)
            n += s.message == WM_PAINT;
        return n;
    }

    std::vector<std::pair<HWND, RECT>> paints;
};

TEST_F(PaintTest, InvalidationsCoalesceIntoOnePaintOfTheirUnion)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
    PaintWith(top, &color);
    Pump();
    paints.clear();
    Rec().Clear();
    RECT a{10, 10, 20, 20};
    RECT b{50, 40, 60, 60};
    InvalidateRect(top, &a, FALSE);
    InvalidateRect(top, &b, FALSE);
    // Posted messages go before WM_PAINT, which is made only when asked for.
    PostMessage(top, WM_USER, 0, 0);
    Pump();
    EXPECT_EQ(Rec().Messages().front(), (UINT)WM_USER);
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].second.left, 10);
    EXPECT_EQ(paints[0].second.top, 10);
    EXPECT_EQ(paints[0].second.right, 60);
    EXPECT_EQ(paints[0].second.bottom, 60);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));
}

TEST_F(PaintTest, UpdateRegionClipsThePainting)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
    PaintWith(top, &color);
    Pump();
    EXPECT_EQ(WindowPixel(top, 150, 80), kBlue);
    color = kRed;
    // Two separate pieces: the gap between them is not in the clip even
    // though it lies inside the bounding box.
    RECT a{10, 10, 20, 20};
    RECT b{40, 10, 50, 20};
    InvalidateRect(top, &a, FALSE);
    InvalidateRect(top, &b, FALSE);
    Pump();
    EXPECT_EQ(WindowPixel(top, 15, 15), kRed);
    EXPECT_EQ(WindowPixel(top, 45, 15), kRed);
    EXPECT_EQ(WindowPixel(top, 30, 15), kBlue);
    EXPECT_EQ(WindowPixel(top, 150, 80), kBlue);
    EXPECT_GT(platform::headless::PresentCount(), 0);
}

TEST_F(PaintTest, UpdateWindowPutsThePaintingOnTheScreenWithoutWaitingForTheLoop)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
    PaintWith(top, &color);
    std::vector<HWND> presented;
    platform::headless::SetPresentHandler([&presented](HWND hwnd) { presented.push_back(hwnd); });
    // A posted message waits in the queue, so only UpdateWindow itself can
    // have presented the frame.
    PostMessage(top, WM_USER, 0, 0);
    UpdateWindow(top);
    platform::headless::SetPresentHandler(nullptr);
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0], top);
    EXPECT_EQ(WindowPixel(top, 150, 80), kBlue);
}

TEST_F(PaintTest, HiddenWindowsAreNeverPainted)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP, RECT{0, 0, 100, 100});
    PaintWith(top, &color);
    InvalidateRect(top, NULL, TRUE);
    UpdateWindow(top);
    Pump();
    EXPECT_EQ(PaintMessages(), 0);
    HWND child = MakeChild(top, 1, RECT{0, 0, 10, 10}, WS_CHILD | WS_VISIBLE);
    PaintWith(child, &color);
    InvalidateRect(child, NULL, TRUE);
    Pump();
    EXPECT_EQ(PaintMessages(), 0);
    ShowWindow(top, SW_SHOWNOACTIVATE);
    Pump();
    // Parent first, then the child.
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].first, top);
    EXPECT_EQ(paints[1].first, child);
}

TEST_F(PaintTest, EraseUsesTheClassBrushAndChildrenPaintIntoTheirTopLevel)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{100, 100, 300, 200});
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "FaceWindow";
    ASSERT_TRUE(RegisterClass(&wc));
    HWND face = CreateWindowEx(0, "FaceWindow", "", WS_CHILD | WS_VISIBLE, 20, 10, 50, 30, top, (HMENU)5, NULL, NULL);
    COLORREF color = kRed;
    PaintWith(top, &color);
    Pump();
    EXPECT_EQ(WindowPixel(face, 0, 0), RGB(192, 192, 192));
    EXPECT_EQ(WindowPixel(top, 20, 10), RGB(192, 192, 192));
    EXPECT_EQ(WindowPixel(top, 19, 10), kRed);
    // The parent clips its children: repainting it leaves the child alone.
    InvalidateRect(top, NULL, FALSE);
    UpdateWindow(top);
    EXPECT_EQ(WindowPixel(face, 5, 5), RGB(192, 192, 192));
}

TEST_F(PaintTest, EraseMessageAndFlagWhenEraseIsAsked)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50});
    Pump();
    BOOL erase = -1;
    Rec().handlers[top] = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m == WM_ERASEBKGND) {
            r = 0; // did not erase
            return true;
        }
        if (m == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            erase = ps.fErase;
            EndPaint(h, &ps);
            return true;
        }
        return false;
    };
    Rec().Clear();
    InvalidateRect(top, NULL, TRUE);
    Pump();
    EXPECT_THAT(Rec().MessagesOf(top), ::testing::ElementsAre(WM_PAINT, WM_ERASEBKGND));
    EXPECT_TRUE(erase);
    Rec().Clear();
    InvalidateRect(top, NULL, FALSE);
    Pump();
    EXPECT_THAT(Rec().MessagesOf(top), ::testing::ElementsAre(WM_PAINT));
    EXPECT_FALSE(erase);
}

TEST_F(PaintTest, LockWindowUpdateAndSetRedrawHoldPaintingBack)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    PaintWith(top, &color);
    Pump();
    paints.clear();

    ASSERT_TRUE(LockWindowUpdate(top));
    EXPECT_FALSE(LockWindowUpdate(MakeTopLevel(WS_POPUP)));
    InvalidateRect(top, NULL, FALSE);
    Pump();
    EXPECT_TRUE(paints.empty());
    // Drawing through a DC of a locked window changes nothing.
    HDC dc = GetDC(top);
    RECT r{0, 0, 10, 10};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &r, red);
    ReleaseDC(top, dc);
    EXPECT_EQ(WindowPixel(top, 5, 5), kBlue);
    LockWindowUpdate(NULL);
    Pump();
    EXPECT_EQ(paints.size(), 1u);

    paints.clear();
    SendMessage(top, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(top, NULL, FALSE);
    Pump();
    EXPECT_TRUE(paints.empty());
    SendMessage(top, WM_SETREDRAW, TRUE, 0);
    Pump();
    EXPECT_EQ(paints.size(), 1u);
    DeleteObject(red);
}

TEST_F(PaintTest, ValidateAndRedrawWindowFlags)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    HWND child = MakeChild(top, 1, RECT{10, 10, 30, 30});
    PaintWith(top, &color);
    PaintWith(child, &color);
    Pump();
    paints.clear();
    InvalidateRect(top, NULL, FALSE);
    ValidateRect(top, NULL);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));
    // Without WS_CLIPCHILDREN the child was invalidated with its parent,
    // and ValidateRect left it so.
    EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));
    EXPECT_EQ(update.right, 20);
    RedrawWindow(top, NULL, NULL, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    ASSERT_FALSE(paints.empty());
    EXPECT_EQ(paints[0].first, top);
    RedrawWindow(top, NULL, NULL, RDW_VALIDATE | RDW_ALLCHILDREN);
    EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
}

TEST_F(PaintTest, NonClientFrameIsDrawnWithSystemColours)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE | WS_BORDER, RECT{0, 0, 100, 60});
    HWND framed = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 300, 200});
    Pump();
    EXPECT_EQ(WindowPixel(top, 0, 0, true), RGB(0, 0, 0));
    EXPECT_EQ(WindowPixel(top, 50, 30, true), kWhite);
    RECT client;
    GetClientRect(framed, &client);
    EXPECT_EQ(client.right, 300 - 8);
    EXPECT_EQ(client.bottom, 200 - 8 - GetSystemMetrics(SM_CYCAPTION));
    // The caption is one of the caption colours, with a face-coloured line under it.
    COLORREF caption = WindowPixel(framed, 60, 10, true);
    EXPECT_TRUE(caption == GetSysColor(COLOR_ACTIVECAPTION) || caption == GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(WindowPixel(framed, 1, 100, true), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(SendMessage(framed, WM_NCHITTEST, 0, MAKELPARAM(60, 10)), HTCAPTION);
    EXPECT_EQ(SendMessage(framed, WM_NCHITTEST, 0, MAKELPARAM(100, 100)), HTCLIENT);
    EXPECT_EQ(SendMessage(framed, WM_NCHITTEST, 0, MAKELPARAM(299, 100)), HTRIGHT);
}

TEST_F(PaintTest, ScrollBarsAndScrollWindow)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{0, 0, 116, 100});
    RECT client;
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 100);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 95, 0};
    EXPECT_EQ(SetScrollInfo(top, SB_VERT, &si, TRUE), 90); // clamped to max - page + 1
    EXPECT_EQ(GetScrollPos(top, SB_VERT), 90);
    int lo = -1, hi = -1;
    GetScrollRange(top, SB_VERT, &lo, &hi);
    EXPECT_EQ(hi, 99);
    // An empty range hides the bar.
    SetScrollRange(top, SB_VERT, 0, 0, TRUE);
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 116);

    PaintWith(top, &color);
    Pump();
    HDC dc = GetDC(top);
    RECT stripe{0, 0, 116, 10};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &stripe, red);
    ReleaseDC(top, dc);
    paints.clear();
    ScrollWindowEx(top, 0, 20, NULL, NULL, NULL, NULL, SW_INVALIDATE);
    EXPECT_EQ(WindowPixel(top, 5, 25), kRed);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(top, &update, FALSE));
    EXPECT_EQ(update.top, 0);
    EXPECT_EQ(update.bottom, 20);
    DeleteObject(red);
}

TEST_F(PaintTest, ScrollWindowMovesWhatStaysValidAndRepaintsTheRest)
{
    COLORREF color = kBlue;
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    PaintWith(top, &color);
    Pump();
    // A checkerboard of 10 x 10 cells, each its own colour.
    HDC dc = GetDC(top);
    auto cellColour = [](int x, int y) { return RGB(x / 10 * 20, y / 10 * 20, 7); };
    for (int cy = 0; cy < 10; ++cy)
        for (int cx = 0; cx < 10; ++cx) {
            RECT cell{cx * 10, cy * 10, cx * 10 + 10, cy * 10 + 10};
            HBRUSH brush = CreateSolidBrush(cellColour(cell.left, cell.top));
            FillRect(dc, &cell, brush);
            DeleteObject(brush);
        }
    ReleaseDC(top, dc);
    // Part of the window waits to be painted when it scrolls left and down
    // inside a scrolled rectangle.
    RECT pending{0, 0, 30, 30};
    InvalidateRect(top, &pending, FALSE);
    const RECT scrolled{5, 5, 90, 90};
    const int dx = -7;
    const int dy = 13;
    HRGN hrgn = CreateRectRgn(0, 0, 0, 0);
    ScrollWindowEx(top, dx, dy, &scrolled, &scrolled, hrgn, NULL, 0);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(top, update, FALSE);
    for (int y = 0; y < 100; y += 3)
        for (int x = 0; x < 100; x += 3) {
            if (PtInRegion(update, x, y) || PtInRegion(hrgn, x, y))
                continue;
            const bool inside = x >= scrolled.left && x < scrolled.right && y >= scrolled.top && y < scrolled.bottom;
            const COLORREF expected = inside ? cellColour(x - dx, y - dy) : cellColour(x, y);
            ASSERT_EQ(WindowPixel(top, x, y), expected) << x << "," << y;
        }
    // The pending area moved with the contents, clipped to the scrolled
    // rectangle, and is painted whole.
    RECT box;
    GetRgnBox(update, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 30);
    EXPECT_EQ(box.bottom, 30 + dy);
    InvalidateRgn(top, hrgn, FALSE);
    Pump();
    EXPECT_EQ(WindowPixel(top, 2, 20), kBlue);
    EXPECT_EQ(WindowPixel(top, 2, 40), cellColour(2, 40));
    EXPECT_EQ(WindowPixel(top, 20, 40), kBlue);
    EXPECT_EQ(WindowPixel(top, 40, 40), cellColour(47, 27));
    DeleteObject(update);
    DeleteObject(hrgn);
}

} // namespace
