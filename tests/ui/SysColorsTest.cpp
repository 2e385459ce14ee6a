#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"

#include <gtest/gtest.h>

namespace {

class SysColorsTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::Reset(); }
    void TearDown() override { platform::headless::Reset(); }

    static COLORREF BrushColor(HBRUSH brush)
    {
        LOGBRUSH log{};
        if (GetObject(brush, sizeof log, &log) != int(sizeof log))
            return CLR_INVALID;
        return log.lbColor;
    }
};

TEST_F(SysColorsTest, SystemBrushIsOneHandleThatDeleteObjectLeavesAlone)
{
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_NE(face, HBRUSH(NULL));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), face);

    DeleteObject(face);
    EXPECT_EQ(GetObjectType(face), DWORD(OBJ_BRUSH));
    EXPECT_EQ(BrushColor(face), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);

    EXPECT_EQ(GetSysColorBrush(-1), HBRUSH(NULL));
    EXPECT_EQ(GetSysColorBrush(COLOR_GRADIENTINACTIVECAPTION + 1), HBRUSH(NULL));
}

TEST_F(SysColorsTest, SystemBrushFollowsItsColourAndResetsWithIt)
{
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    COLORREF classic = GetSysColor(COLOR_WINDOW);
    INT index = COLOR_WINDOW;
    COLORREF pale = RGB(250, 240, 200);
    ASSERT_TRUE(SetSysColors(1, &index, &pale));
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), window);
    EXPECT_EQ(BrushColor(window), pale);

    platform::headless::Reset();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), classic);
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), window);
    EXPECT_EQ(BrushColor(window), classic);
}

} // namespace
