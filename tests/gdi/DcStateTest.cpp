#include "DrawTestSupport.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/PixelBuffer.h"

#include <gtest/gtest.h>

using gditest::MemoryCanvas;

namespace {

class DcStateTest : public ::testing::Test {
protected:
    void TearDown() override { platform::ResetDisplayForTesting(); }
};

TEST_F(DcStateTest, SaveAndRestoreByLevelAndByCount)
{
    MemoryCanvas canvas(4, 4);
    HDC dc = canvas.dc;
    SetTextColor(dc, RGB(1, 1, 1));
    int first = SaveDC(dc);
    EXPECT_EQ(first, 1);
    SetTextColor(dc, RGB(2, 2, 2));
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportOrgEx(dc, 5, 6, NULL);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, RGB(3, 3, 3));
    EXPECT_EQ(SaveDC(dc), 3);
    SetTextColor(dc, RGB(4, 4, 4));

    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), RGB(3, 3, 3));
    // Restoring level 1 drops level 2 with it.
    EXPECT_TRUE(RestoreDC(dc, first));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    POINT org;
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_FALSE(RestoreDC(dc, 1));
    EXPECT_FALSE(RestoreDC(dc, -1));
    EXPECT_FALSE(RestoreDC(dc, 0));
}

TEST_F(DcStateTest, RestoreBringsBackClipAndObjects)
{
    MemoryCanvas canvas(4, 4);
    HDC dc = canvas.dc;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    int saved = SaveDC(dc);
    HGDIOBJ old = SelectObject(dc, pen);
    EXPECT_EQ(old, GetStockObject(BLACK_PEN));
    IntersectClipRect(dc, 0, 0, 2, 2);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 2);
    RestoreDC(dc, saved);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    GetClipBox(dc, &box);
    EXPECT_EQ(box.right, 4);
    EXPECT_TRUE(DeleteObject(pen));
}

TEST_F(DcStateTest, SelectedObjectsCannotBeDeleted)
{
    MemoryCanvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(canvas.dc, brush);
    EXPECT_FALSE(DeleteObject(brush));
    LOGBRUSH lb{};
    EXPECT_EQ(GetObject(brush, sizeof(lb), &lb), int(sizeof(LOGBRUSH)));
    EXPECT_EQ(lb.lbColor, RGB(0, 0, 255));
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(WHITE_BRUSH)), (HGDIOBJ)brush);
    EXPECT_TRUE(DeleteObject(brush));
    // Stock objects are never deleted.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), DWORD(OBJ_PEN));
}

TEST_F(DcStateTest, StaleAndForgedHandlesFail)
{
    HDC dc = CreateCompatibleDC(NULL);
    ASSERT_NE(dc, (HDC)NULL);
    HPEN pen = CreatePen(PS_DOT, 0, 0);
    ASSERT_TRUE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(dc, pen), (HGDIOBJ)NULL);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetObject(pen, 0, NULL), 0);
    // A new object in the freed slot does not answer to the old handle.
    HPEN again = CreatePen(PS_SOLID, 0, 0);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(again), DWORD(OBJ_PEN));
    DeleteObject(again);

    ASSERT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 1, 1));
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
    HDC forged = (HDC)(uintptr_t)0x44000000000001ull;
    EXPECT_EQ(SaveDC(forged), 0);
    EXPECT_FALSE(LineTo(forged, 1, 1));
}

TEST_F(DcStateTest, BitmapSitsInOneDcAtATime)
{
    MemoryCanvas canvas(4, 4);
    HDC other = CreateCompatibleDC(NULL);
    EXPECT_EQ(SelectObject(other, canvas.bitmap), (HGDIOBJ)NULL);
    EXPECT_FALSE(DeleteObject(canvas.bitmap));
    BITMAP bm{};
    ASSERT_EQ(GetObject(canvas.bitmap, sizeof(bm), &bm), int(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 16);
    // A new memory DC starts with the 1 x 1 monochrome bitmap.
    HGDIOBJ initial = GetCurrentObject(other, OBJ_BITMAP);
    ASSERT_EQ(GetObject(initial, sizeof(bm), &bm), int(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteDC(other);
}

TEST_F(DcStateTest, ScreenCapsFollowTheDepthOverride)
{
    HDC screen = GetDC(NULL);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
    EXPECT_EQ(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
    EXPECT_EQ(GetDeviceCaps(screen, ASPECTX), GetDeviceCaps(screen, ASPECTY));
    EXPECT_EQ(GetDeviceCaps(screen, PHYSICALWIDTH), 0);
    ReleaseDC(NULL, screen);

    ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    EXPECT_FALSE(platform::SetScreenBitsPixel(7));
    screen = GetDC(NULL);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
    EXPECT_NE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
    EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 256);
    // Memory DCs report the device they are compatible with.
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL), 8);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);

    platform::SetScreenBitsPixel(4);
    screen = GetDC(NULL);
    EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), 16);
    // A 4-bpp screen can only show its 16 colours.
    RECT r{0, 0, 1, 1};
    HBRUSH orange = CreateSolidBrush(RGB(250, 130, 10));
    FillRect(screen, &r, orange);
    COLORREF shown = platform::ColorFromPixel(platform::GetDesktopBuffer().Row(0)[0]);
    EXPECT_TRUE(shown == RGB(255, 0, 0) || shown == RGB(128, 128, 0) || shown == RGB(255, 255, 0)) << std::hex << shown;
    DeleteObject(orange);
    ReleaseDC(NULL, screen);
}

TEST_F(DcStateTest, WindowDcsDrawThroughTheProvider)
{
    platform::PixelBuffer surface;
    surface.Allocate(20, 20, 0x00FFFFFF);
    int released = 0;
    HWND window = (HWND)(uintptr_t)0x5000;
    platform::WindowSurfaceProvider provider;
    provider.acquire = [&](HWND hwnd, bool wholeWindow, platform::WindowSurface& out) {
        if (hwnd != window)
            return false;
        out.buffer = &surface;
        // The client area starts at (2, 3) of the window's surface.
        out.origin = wholeWindow ? POINT{0, 0} : POINT{2, 3};
        out.visible = wholeWindow ? RECT{0, 0, 20, 20} : RECT{0, 0, 10, 10};
        return true;
    };
    provider.released = [&](HWND, bool) { ++released; };
    platform::SetWindowSurfaceProvider(provider);

    EXPECT_EQ(GetDC((HWND)(uintptr_t)0x6000), (HDC)NULL);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, (HDC)NULL);
    EXPECT_EQ(WindowFromDC(dc), window);
    RECT all{-5, -5, 50, 50};
    FillRect(dc, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    // Only the visible client area (10 x 10 at (2, 3)) was painted.
    int black = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            black += surface.Row(y)[x] == 0;
    EXPECT_EQ(black, 100);
    EXPECT_EQ(surface.Row(3)[2], 0u);
    EXPECT_EQ(surface.Row(2)[2], 0x00FFFFFFu);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(released, 1);
    EXPECT_EQ(ReleaseDC(window, dc), 0);
}

TEST_F(DcStateTest, CdcSetsBothHandlesAndReadsTheAttributeSide)
{
    MemoryCanvas output(4, 4);
    MemoryCanvas attrib(4, 4);
    CDC dc;
    dc.m_hDC = output.dc;
    dc.m_hAttribDC = attrib.dc;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetViewportExt(300, 300);
    dc.SetWindowExt(100, -100);
    EXPECT_EQ(GetMapMode(output.dc), MM_ANISOTROPIC);
    SIZE ext;
    GetWindowExtEx(output.dc, &ext);
    EXPECT_EQ(ext.cy, -100);
    SetViewportExtEx(attrib.dc, 600, 600, NULL);
    EXPECT_EQ(dc.GetViewportExt().cx, 600);
    CPoint p(10, 10);
    dc.LPtoDP(&p);
    EXPECT_EQ(p.x, 60);
    EXPECT_EQ(p.y, -60);
    dc.m_hDC = dc.m_hAttribDC = NULL;

    CDC wrapped;
    ASSERT_TRUE(wrapped.Attach(output.dc));
    EXPECT_EQ(CDC::FromHandle(output.dc), &wrapped);
    CPen red(PS_SOLID, 0, RGB(255, 0, 0));
    CPen* old = wrapped.SelectObject(&red);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->GetSafeHandle(), GetStockObject(BLACK_PEN));
    EXPECT_EQ(wrapped.SelectObject(old), &red);
    wrapped.Detach();
    CGdiObject::DeleteTempMap();
}

} // namespace
