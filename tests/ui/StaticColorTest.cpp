// The plain rectangles and frames of the static control follow the system
// colours, so a changed colour scheme changes them too.

#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

class StaticColorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InstallDialogClasses();
        uitest::Rec() = uitest::Recorder();
        parent = uitest::MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300});
    }
    void TearDown() override { platform::headless::Reset(); }

    HWND parent = NULL;
};

TEST_F(StaticColorTest, RectanglesFillAndFramesOutlineInTheirSystemColours)
{
    // Distinct colours, so that a swapped or hard-coded colour shows.
    const INT indexes[] = {COLOR_WINDOWFRAME, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    const COLORREF colours[] = {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90)};
    ASSERT_TRUE(SetSysColors(3, indexes, colours));

    struct Case {
        DWORD style;
        COLORREF colour;
        bool filled;
    };
    const Case cases[] = {
        {SS_BLACKRECT, colours[0], true},
        {SS_GRAYRECT, colours[1], true},
        {SS_WHITERECT, colours[2], true},
        {SS_BLACKFRAME, colours[0], false},
        {SS_GRAYFRAME, colours[1], false},
        {SS_WHITEFRAME, colours[2], false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        HWND s = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | c.style, 10, 10, 100, 30, parent,
            HMENU(INT_PTR(20)), NULL, nullptr);
        ASSERT_TRUE(s);
        uitest::Pump();
        EXPECT_EQ(platform::headless::WindowPixel(s, 0, 0), c.colour);
        EXPECT_EQ(platform::headless::WindowPixel(s, 99, 29), c.colour);
        EXPECT_EQ(platform::headless::WindowPixel(s, 0, 15), c.colour);
        EXPECT_EQ(platform::headless::WindowPixel(s, 50, 29), c.colour);
        if (c.filled)
            EXPECT_EQ(platform::headless::WindowPixel(s, 50, 15), c.colour);
        else {
            EXPECT_NE(platform::headless::WindowPixel(s, 50, 15), c.colour);
            EXPECT_NE(platform::headless::WindowPixel(s, 1, 1), c.colour); // one pixel wide
        }
        DestroyWindow(s);
    }
}

} // namespace
