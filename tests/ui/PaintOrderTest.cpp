// Which window is painted next, and what a window DC may draw on, as the
// window tree changes between paints.

#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

class PaintOrderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        Rec().ignored = {WM_NCHITTEST, WM_SETCURSOR};
    }
    void TearDown() override { platform::headless::Reset(); }

    // Records the order of WM_PAINT for the windows and validates them.
    void Record(const std::vector<HWND>& windows)
    {
        for (HWND hwnd : windows) {
            Rec().handlers[hwnd] = [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
                if (m == WM_ERASEBKGND) {
                    r = 1;
                    return true;
                }
                if (m != WM_PAINT)
                    return false;
                PAINTSTRUCT ps;
                BeginPaint(h, &ps);
                EndPaint(h, &ps);
                order.push_back(h);
                r = 0;
                return true;
            };
        }
    }

    // Fills the client area of hwnd through a window DC.
    static void FillThroughDc(HWND hwnd, COLORREF color)
    {
        HDC dc = GetDC(hwnd);
        RECT all;
        GetClientRect(hwnd, &all);
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(hwnd, dc);
    }

    std::vector<HWND> order;
};

TEST_F(PaintOrderTest, ParentsComeBeforeChildrenAndSiblingsInZOrderWhateverTheInvalidationOrder)
{
    HWND back = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
    HWND front = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{300, 0, 400, 100});
    HWND panel = MakeChild(back, 1, RECT{0, 0, 150, 150});
    HWND first = MakeChild(panel, 2, RECT{0, 0, 20, 20});
    HWND second = MakeChild(panel, 3, RECT{30, 0, 50, 20});
    HWND grandchild = MakeChild(first, 4, RECT{0, 0, 5, 5});
    Pump();
    Record({back, front, panel, first, second, grandchild});
    std::vector<HWND> windows{grandchild, second, front, first, panel, back};
    for (HWND h : windows)
        RedrawWindow(h, NULL, NULL, RDW_INVALIDATE | RDW_NOCHILDREN);
    Pump();
    // Search order: top-level windows in Z order, each tree parents first.
    std::vector<HWND> expected;
    std::function<void(HWND)> walk = [&](HWND h) {
        if (std::find(windows.begin(), windows.end(), h) != windows.end())
            expected.push_back(h);
        for (HWND c = GetWindow(h, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
            walk(c);
    };
    for (HWND t = GetTopWindow(NULL); t != NULL; t = GetWindow(t, GW_HWNDNEXT))
        walk(t);
    ASSERT_EQ(expected.size(), windows.size());
    EXPECT_EQ(order, expected);
}

TEST_F(PaintOrderTest, ADialogFullOfControlsIsPaintedInTheSameOrder)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200});
    std::vector<HWND> controls;
    for (int i = 0; i < 20; ++i)
        controls.push_back(MakeChild(top, 100 + i, RECT{i * 20, 0, i * 20 + 15, 15}));
    Pump();
    Record(controls);
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        InvalidateRect(*it, NULL, FALSE);
    Pump();
    std::vector<HWND> expected;
    for (HWND c = GetWindow(top, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT))
        expected.push_back(c);
    EXPECT_EQ(order, expected);
}

TEST_F(PaintOrderTest, APaintHeldBackByAHiddenOrRedrawOffParentComesWhenItIsLifted)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200});
    HWND panel = MakeChild(top, 1, RECT{0, 0, 150, 150});
    HWND button = MakeChild(panel, 2, RECT{0, 0, 20, 20});
    Pump();
    Record({top, panel, button});

    // Invalidated while shown, then hidden before the loop came to it.
    InvalidateRect(button, NULL, FALSE);
    ShowWindow(panel, SW_HIDE);
    Pump();
    order.clear();
    ShowWindow(panel, SW_SHOWNA);
    Pump();
    EXPECT_NE(std::find(order.begin(), order.end(), button), order.end());

    order.clear();
    SendMessage(panel, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(button, NULL, FALSE);
    Pump();
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(GetUpdateRect(button, nullptr, FALSE), TRUE);
    SendMessage(panel, WM_SETREDRAW, TRUE, 0);
    Pump();
    EXPECT_EQ(order, std::vector<HWND>{button});
    EXPECT_EQ(GetUpdateRect(button, nullptr, FALSE), FALSE);
}

TEST_F(PaintOrderTest, WindowDcFollowsChildrenThatMoveShowAndHide)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 100, 100});
    HWND child = MakeChild(top, 1, RECT{10, 10, 30, 30});
    Pump();
    Rec().handlers[child] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        // The child keeps whatever it had; the test looks at the parent's
        // drawing only.
        if (m != WM_PAINT && m != WM_ERASEBKGND)
            return false;
        r = 1;
        return true;
    };
    Pump();
    auto childLeft = [&]() { return WindowPixel(child, 5, 5); };

    FillThroughDc(top, kRed);
    EXPECT_EQ(WindowPixel(top, 5, 5), kRed);
    EXPECT_NE(childLeft(), kRed) << "the parent drew over its child";

    // Moved: its old place is the parent's, its new one is not.
    SetWindowPos(child, NULL, 50, 50, 20, 20, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    FillThroughDc(top, RGB(0, 128, 0));
    EXPECT_EQ(WindowPixel(top, 15, 15), RGB(0, 128, 0));
    EXPECT_NE(WindowPixel(top, 55, 55), RGB(0, 128, 0));

    // Hidden: the parent draws everywhere; shown again: not there.
    ShowWindow(child, SW_HIDE);
    FillThroughDc(top, RGB(0, 0, 128));
    EXPECT_EQ(WindowPixel(top, 55, 55), RGB(0, 0, 128));
    ShowWindow(child, SW_SHOWNA);
    Pump();
    FillThroughDc(top, kRed);
    EXPECT_EQ(WindowPixel(top, 15, 15), kRed);
    EXPECT_NE(WindowPixel(top, 55, 55), kRed);

    // A sibling clipped by its elder: its own DC stops at the elder's edge.
    HWND elder = MakeChild(top, 2, RECT{0, 0, 40, 40}, WS_CHILD | WS_VISIBLE);
    HWND younger = MakeChild(top, 3, RECT{20, 0, 100, 40}, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    SetWindowPos(elder, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    Pump();
    FillThroughDc(younger, RGB(1, 2, 3));
    EXPECT_EQ(WindowPixel(top, 50, 10), RGB(1, 2, 3));
    EXPECT_NE(WindowPixel(top, 25, 10), RGB(1, 2, 3));
    SetWindowPos(elder, NULL, 0, 0, 10, 40, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    FillThroughDc(younger, RGB(4, 5, 6));
    EXPECT_EQ(WindowPixel(top, 25, 10), RGB(4, 5, 6));
}

} // namespace
