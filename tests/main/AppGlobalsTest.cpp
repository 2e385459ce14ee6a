// The display colour count, the application palette and the sunken frame.

#include "AppTestSupport.h"

#include "app/main/AppGlobals.h"

namespace {

using apptest::AppTest;

TEST_F(AppTest, DisplayColorCountFollowsTheScreenDepth)
{
    platform::headless::SetScreen(1024, 768, 24);
    EXPECT_EQ(GetDisplayColorCount(), 16777216u);
    platform::headless::SetScreen(1024, 768, 32);
    EXPECT_EQ(GetDisplayColorCount(), 0xFFFFFFFFu);
    platform::headless::SetScreen(1024, 768, 8);
    EXPECT_EQ(GetDisplayColorCount(), 256u);
}

TEST_F(AppTest, PaletteExistsOnlyOnPaletteDisplays)
{
    MakeApp();
    platform::headless::SetScreen(1024, 768, 32);
    EXPECT_EQ(m_app->GetAppPalette(), nullptr);
    EXPECT_EQ(m_app->GetPaletteHandle(), HPALETTE(NULL));

    platform::headless::SetScreen(1024, 768, 8);
    CPalette* pPalette = m_app->GetAppPalette();
    ASSERT_NE(pPalette, nullptr);
    EXPECT_GT(pPalette->GetEntryCount(), 0);
    // Made once: later calls answer the same palette.
    EXPECT_EQ(m_app->GetAppPalette(), pPalette);
    EXPECT_EQ(m_app->GetPaletteHandle(), HPALETTE(pPalette->GetSafeHandle()));
}

constexpr COLORREF kGround = RGB(0, 128, 0);

// A 40 x 40 green memory bitmap selected into a memory DC.
class SunkenFrameTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        CClientDC screen(nullptr);
        ASSERT_TRUE(m_dc.CreateCompatibleDC(&screen));
        ASSERT_TRUE(m_bitmap.CreateCompatibleBitmap(&screen, 40, 40));
        m_pOldBitmap = m_dc.SelectObject(&m_bitmap);
        // Green, so the white edges show.
        m_dc.FillSolidRect(0, 0, 40, 40, kGround);
    }
    void TearDown() override
    {
        m_dc.SelectObject(m_pOldBitmap);
        m_dc.DeleteDC();
        m_bitmap.DeleteObject();
        AppTest::TearDown();
    }

    COLORREF Pixel(int x, int y) { return m_dc.GetPixel(x, y); }

    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = nullptr;
};

TEST_F(SunkenFrameTest, BevelLiesOutsideTheRectangleInDevicePixels)
{
    // Logical (0, 0) is device (10, 10): the frame is drawn where the
    // rectangle appears, not at its logical numbers.
    m_dc.SetViewportOrg(10, 10);
    SunkenFrame frame;
    frame.left = 0;
    frame.top = 0;
    frame.right = 20;
    frame.bottom = 15;
    frame.crFill = RGB(0, 0, 255);
    frame.bFill = 0;
    DrawSunkenFrame(&m_dc, frame);

    // The DC's mapping is as before.
    EXPECT_EQ(m_dc.GetViewportOrg(), CPoint(10, 10));
    EXPECT_EQ(m_dc.GetMapMode(), MM_TEXT);
    m_dc.SetViewportOrg(0, 0);

    // Device rectangle l 10, t 10, r 30, b 25.
    EXPECT_EQ(Pixel(8, 8), RGB(0x80, 0x80, 0x80));  // outer top-left: shadow
    EXPECT_EQ(Pixel(9, 9), RGB(0, 0, 0));           // inner top-left: black
    EXPECT_EQ(Pixel(20, 8), RGB(0x80, 0x80, 0x80)); // outer top edge
    EXPECT_EQ(Pixel(20, 9), RGB(0, 0, 0));          // inner top edge
    EXPECT_EQ(Pixel(8, 20), RGB(0x80, 0x80, 0x80)); // outer left edge
    EXPECT_EQ(Pixel(9, 20), RGB(0, 0, 0));          // inner left edge
    EXPECT_EQ(Pixel(20, 26), RGB(255, 255, 255));   // outer bottom edge: white
    EXPECT_EQ(Pixel(20, 25), RGB(0xC0, 0xC0, 0xC0)); // inner bottom edge: light grey
    EXPECT_EQ(Pixel(31, 20), RGB(255, 255, 255));   // outer right edge
    EXPECT_EQ(Pixel(30, 20), RGB(0xC0, 0xC0, 0xC0)); // inner right edge
    // No fill: the inside stays as it was.
    EXPECT_EQ(Pixel(20, 17), kGround);
    EXPECT_EQ(Pixel(32, 20), kGround);
}

TEST_F(SunkenFrameTest, FillFlagPaintsTheInsideOnly)
{
    m_dc.SetMapMode(MM_ANISOTROPIC);
    m_dc.SetWindowExt(100, -100);
    m_dc.SetViewportExt(20, 20);
    m_dc.SetViewportOrg(0, 40);
    // y grows upwards: logical (50, 150)..(100, 75) is device (10, 10)..(20, 25).
    SunkenFrame frame;
    frame.left = 50;
    frame.top = 150;
    frame.right = 100;
    frame.bottom = 75;
    frame.crFill = RGB(0, 0, 255);
    frame.bFill = 1;
    DrawSunkenFrame(&m_dc, frame);

    EXPECT_EQ(m_dc.GetMapMode(), MM_ANISOTROPIC);
    m_dc.SetMapMode(MM_TEXT);
    m_dc.SetViewportOrg(0, 0);
    EXPECT_EQ(Pixel(15, 15), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(9, 9), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(21, 15), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(25, 30), kGround);
}

} // namespace
