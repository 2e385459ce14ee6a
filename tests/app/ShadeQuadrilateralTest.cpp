#include "app/GeometryHelpers.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A white 32-bit bitmap in a memory DC.
class Canvas {
public:
    Canvas(int width, int height)
    {
        dc.CreateCompatibleDC(nullptr);
        HDC screen = ::GetDC(NULL);
        bitmap.Attach(::CreateCompatibleBitmap(screen, width, height));
        ::ReleaseDC(NULL, screen);
        old = dc.SelectObject(&bitmap);
        dc.PatBlt(0, 0, width, height, WHITENESS);
    }
    ~Canvas() { dc.SelectObject(old); }

    // The colours met along a row, each run once.
    std::vector<COLORREF> Runs(int y, int from, int to)
    {
        std::vector<COLORREF> runs;
        for (int x = from; x < to; ++x) {
            COLORREF c = dc.GetPixel(x, y);
            if (runs.empty() || runs.back() != c)
                runs.push_back(c);
        }
        return runs;
    }

    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

TEST(ShadeQuadrilateral, TwoColoursAndTenStepsPaintTenStrips)
{
    Canvas c(120, 20);
    COLORREF colors[] = {RGB(0, 0, 0), RGB(250, 250, 250)};
    ShadeQuadrilateral(&c.dc, POINT{0, 0}, POINT{100, 0}, POINT{100, 10}, POINT{0, 10}, colors, 2, 0, 10);
    std::vector<COLORREF> runs = c.Runs(5, 0, 100);
    ASSERT_EQ(runs.size(), 10u);
    EXPECT_EQ(runs.front(), RGB(0, 0, 0));
    EXPECT_EQ(runs[1], RGB(25, 25, 25));
    EXPECT_EQ(runs.back(), RGB(225, 225, 225));
    // Each strip is a tenth of the edge; nothing outside is touched, nor is
    // any outline drawn.
    EXPECT_EQ(c.dc.GetPixel(9, 5), RGB(0, 0, 0));
    EXPECT_EQ(c.dc.GetPixel(10, 5), RGB(25, 25, 25));
    EXPECT_EQ(c.dc.GetPixel(105, 5), RGB(255, 255, 255));
    EXPECT_EQ(c.dc.GetPixel(50, 15), RGB(255, 255, 255));
    EXPECT_EQ(c.dc.GetPixel(50, 0), c.dc.GetPixel(50, 9));
}

TEST(ShadeQuadrilateral, TransitionsShareTheStepsFirstOnesFirst)
{
    Canvas c(100, 20);
    COLORREF colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    ShadeQuadrilateral(&c.dc, POINT{0, 0}, POINT{90, 0}, POINT{90, 10}, POINT{0, 10}, colors, 3, 0, 9);
    std::vector<COLORREF> runs = c.Runs(5, 0, 90);
    ASSERT_EQ(runs.size(), 9u);
    // Red to green in 5 steps, green to blue in 4.
    EXPECT_EQ(runs[0], RGB(255, 0, 0));
    EXPECT_EQ(runs[1], RGB(204, 51, 0));
    EXPECT_EQ(runs[4], RGB(51, 204, 0));
    EXPECT_EQ(runs[5], RGB(0, 255, 0));
    EXPECT_EQ(runs[6], RGB(0, 191, 63));
    EXPECT_EQ(runs[8], RGB(0, 63, 191));
}

TEST(ShadeQuadrilateral, DirectionOneStepsDownTheSidesAndStepsAreLimitedByTheEdges)
{
    Canvas c(20, 60);
    COLORREF colors[] = {RGB(0, 0, 0), RGB(200, 200, 200)};
    // Sides of 4 pixels: 50 steps are cut to 4.
    ShadeQuadrilateral(&c.dc, POINT{0, 0}, POINT{10, 0}, POINT{10, 4}, POINT{0, 4}, colors, 2, 1, 50);
    std::vector<COLORREF> column;
    for (int y = 0; y < 4; ++y)
        column.push_back(c.dc.GetPixel(5, y));
    EXPECT_EQ(column, (std::vector<COLORREF>{RGB(0, 0, 0), RGB(50, 50, 50), RGB(100, 100, 100), RGB(150, 150, 150)}));
}

TEST(ShadeQuadrilateral, NothingToStepThroughFillsSolidWithTheFirstColour)
{
    COLORREF two[] = {RGB(10, 20, 30), RGB(200, 200, 200)};
    COLORREF three[] = {RGB(40, 50, 60), RGB(0, 0, 0), RGB(255, 255, 255)};
    struct Case {
        const COLORREF* colors;
        int count;
        int steps;
    } cases[] = {
        {two, 1, 10},  // one colour
        {two, 2, 0},   // no steps
        {two, 2, -3},
        {three, 3, 1}, // fewer steps than transitions
    };
    for (const Case& k : cases) {
        Canvas c(40, 20);
        ShadeQuadrilateral(&c.dc, POINT{0, 0}, POINT{30, 0}, POINT{30, 10}, POINT{0, 10}, k.colors, k.count, 0, k.steps);
        std::vector<COLORREF> runs = c.Runs(5, 0, 30);
        EXPECT_EQ(runs, std::vector<COLORREF>{k.colors[0]}) << k.count << " colours, " << k.steps << " steps";
    }
}

TEST(ShadeQuadrilateral, PaletteScreensGetQuantisedStripsAndTheDcIsLeftAsItWas)
{
    ASSERT_TRUE(platform::SetScreenBitsPixel(4));
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap bitmap;
        bitmap.CreateBitmap(40, 10, 1, 32, nullptr);
        CBitmap* old = dc.SelectObject(&bitmap);
        HGDIOBJ pen = ::GetCurrentObject(dc.m_hDC, OBJ_PEN);
        HGDIOBJ brush = ::GetCurrentObject(dc.m_hDC, OBJ_BRUSH);
        COLORREF colors[] = {RGB(3, 3, 3), RGB(99, 99, 99)};
        ShadeQuadrilateral(&dc, POINT{0, 0}, POINT{40, 0}, POINT{40, 10}, POINT{0, 10}, colors, 2, 0, 4);
        // Colour class 5 rounds every component to a multiple of 32.
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(GetRValue(dc.GetPixel(x, 5)) % 32 == 0 || GetRValue(dc.GetPixel(x, 5)) == 255, true) << x;
        EXPECT_EQ(dc.GetPixel(2, 5), RGB(0, 0, 0));
        EXPECT_EQ(::GetCurrentObject(dc.m_hDC, OBJ_PEN), pen);
        EXPECT_EQ(::GetCurrentObject(dc.m_hDC, OBJ_BRUSH), brush);
        dc.SelectObject(old);
    }
    platform::ResetDisplayForTesting();
}

} // namespace
