// Invalidations that reach a window in awkward orders: a parent that paints
// over children it does not clip, activation going back to a frame, windows
// created, hidden and moved before the frame repaints. What each child
// painted must still be on its pixels afterwards.

#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <functional>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255); // the test class's background

class InvalidationOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        Rec().ignored = {WM_NCHITTEST, WM_SETCURSOR};
    }
    void TearDown() override { platform::headless::Reset(); }

    // The window fills what it is asked to paint with red, as a status bar
    // paints its face; it relies on nothing else to cover its pixels.
    void PaintRed(HWND hwnd)
    {
        Rec().handlers[hwnd] = [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
            if (m != WM_PAINT)
                return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            HBRUSH brush = CreateSolidBrush(kRed);
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(h, &ps);
            ++redPaints;
            r = 0;
            return true;
        };
    }

    int redPaints = 0;
};

// A frame (which does not clip its children) with a status bar: a dialog
// owned by the frame closes over the bar, and before the frame repaints the
// layout makes and hides or destroys another child. The bar is still drawn.
TEST_F(InvalidationOrder, ChildStaysDrawnWhenAnOwnedPopupClosesBeforeTheLayoutChanges)
{
    const std::function<void(HWND)> ends[] = {
        [](HWND other) { ShowWindow(other, SW_HIDE); },
        [](HWND other) { DestroyWindow(other); },
    };
    for (const auto& end : ends) {
        platform::headless::Reset();
        HWND frame = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 400, 300});
        HWND bar = MakeChild(frame, 1, RECT{0, 200, 380, 220});
        PaintRed(bar);
        Pump();
        ASSERT_EQ(WindowPixel(bar, 5, 5), kRed);
        HWND popup = CreateWindowEx(
            0, TestClass(), "Popup", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 150, 200, 120, frame, NULL, NULL, NULL);
        Pump();
        ASSERT_EQ(GetActiveWindow(), popup);
        DestroyWindow(popup);
        ASSERT_EQ(GetActiveWindow(), frame);
        HWND other = MakeChild(frame, 2, RECT{0, 0, 380, 30});
        end(other);
        Pump();
        EXPECT_EQ(WindowPixel(bar, 5, 5), kRed);
        EXPECT_EQ(WindowPixel(bar, 370, 15), kRed);
        // Activation redrew the caption, not the client area.
        RECT update{};
        EXPECT_FALSE(GetUpdateRect(frame, &update, FALSE));
    }
}

// Whatever invalidated the parent, and whenever the child painted last, a
// parent that paints over a child it does not clip has the child paint again
// after it.
TEST_F(InvalidationOrder, ParentPaintingOverAnUnclippedChildRepaintsTheChild)
{
    HWND frame = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200});
    HWND child = MakeChild(frame, 1, RECT{20, 20, 120, 80});
    PaintRed(child);
    Pump();
    ASSERT_EQ(WindowPixel(child, 50, 30), kRed);

    // The parent alone, with an erase: its background covers the child.
    RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN);
    Pump();
    EXPECT_EQ(WindowPixel(child, 50, 30), kRed) << "after an invalidation without the children";

    // Both invalidated, but the child painted first.
    RECT part{0, 0, 60, 60};
    InvalidateRect(frame, &part, TRUE);
    UpdateWindow(child);
    Pump();
    EXPECT_EQ(WindowPixel(child, 10, 10), kRed) << "after the child painted before its parent";
    EXPECT_EQ(WindowPixel(frame, 5, 5), kWhite);

    // A parent that clips its children leaves them alone and costs them no
    // paint.
    SetWindowLong(frame, GWL_STYLE, GetWindowLong(frame, GWL_STYLE) | WS_CLIPCHILDREN);
    redPaints = 0;
    RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN);
    Pump();
    EXPECT_EQ(redPaints, 0);
    EXPECT_EQ(WindowPixel(child, 50, 30), kRed);
}

// A relayout moves the bar: it is drawn where it now is and the frame's
// background fills where it was.
TEST_F(InvalidationOrder, RelayoutRepaintsWhatMoved)
{
    HWND frame = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 400, 300});
    HWND bar = MakeChild(frame, 1, RECT{0, 200, 380, 220});
    PaintRed(bar);
    Pump();
    HWND tool = MakeChild(frame, 2, RECT{0, 0, 380, 30});
    ShowWindow(tool, SW_HIDE);
    SetWindowPos(bar, NULL, 0, 230, 380, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(WindowPixel(bar, 5, 5), kRed);
    EXPECT_EQ(WindowPixel(frame, 5, 205), kWhite);
}

} // namespace
