#include "tests/ui/InputTestFixture.h"

using namespace uitest;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class CaretTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
        Pump();
        ASSERT_EQ(Pixel(5, 5), GetSysColor(COLOR_WINDOW));
    }
    COLORREF Pixel(int x, int y) const { return platform::headless::WindowPixel(top, x, y); }
    HWND top = NULL;
};

TEST_F(CaretTest, ShownCaretInvertsItsRectangleAndHidingNestsAndRestores)
{
    ASSERT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
    ASSERT_TRUE(CreateCaret(top, NULL, 2, 10));
    ASSERT_TRUE(SetCaretPos(5, 5));
    EXPECT_EQ(Pixel(5, 5), kWhite); // created hidden
    ASSERT_TRUE(ShowCaret(top));
    EXPECT_EQ(Pixel(5, 5), kBlack);
    EXPECT_EQ(Pixel(6, 14), kBlack);
    EXPECT_EQ(Pixel(7, 5), kWhite);
    EXPECT_EQ(Pixel(5, 15), kWhite);

    HideCaret(top);
    HideCaret(NULL);
    EXPECT_EQ(Pixel(5, 5), kWhite);
    ShowCaret(top);
    EXPECT_EQ(Pixel(5, 5), kWhite);
    ShowCaret(top);
    EXPECT_EQ(Pixel(5, 5), kBlack);
    // Another window cannot drive it.
    HWND other = MakeChild(top, 1, RECT{50, 50, 60, 60});
    EXPECT_FALSE(HideCaret(other));

    SetCaretPos(20, 30);
    POINT p{};
    ASSERT_TRUE(GetCaretPos(&p));
    EXPECT_EQ(p.x, 20);
    EXPECT_EQ(p.y, 30);
    EXPECT_EQ(Pixel(5, 5), kWhite);
    EXPECT_EQ(Pixel(20, 30), kBlack);

    ASSERT_TRUE(DestroyCaret());
    EXPECT_EQ(Pixel(20, 30), kWhite);
    EXPECT_FALSE(ShowCaret(top));
    EXPECT_FALSE(GetCaretPos(&p));
}

TEST_F(CaretTest, BlinksOnItsTimer)
{
    CreateCaret(top, NULL, 1, 8);
    ShowCaret(top);
    EXPECT_EQ(Pixel(0, 0), kBlack);
    clock.Advance(GetCaretBlinkTime());
    Pump();
    EXPECT_EQ(Pixel(0, 0), kWhite);
    clock.Advance(GetCaretBlinkTime());
    Pump();
    EXPECT_EQ(Pixel(0, 0), kBlack);
}

TEST_F(CaretTest, PaintingHidesItAndPutsItBack)
{
    CreateCaret(top, NULL, 2, 10);
    SetCaretPos(5, 5);
    ShowCaret(top);
    InvalidateRect(top, NULL, TRUE);
    UpdateWindow(top);
    EXPECT_EQ(Pixel(5, 5), kBlack);
    // Had painting drawn over a caret still on screen, hiding it now would
    // leave a black mark.
    HideCaret(top);
    EXPECT_EQ(Pixel(5, 5), kWhite);
}

TEST_F(CaretTest, DestroyingTheOwnerTakesTheCaret)
{
    HWND child = MakeChild(top, 1, RECT{0, 0, 50, 50});
    CreateCaret(child, NULL, 1, 5);
    ShowCaret(child);
    DestroyWindow(child);
    POINT p{};
    EXPECT_FALSE(GetCaretPos(&p));
    EXPECT_FALSE(ShowCaret(NULL));
}

} // namespace
