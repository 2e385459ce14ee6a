#include "platform/gdi/Display.h"

#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/DeviceContext.h"

#include <cmath>

#if __has_include("platform/gdi/internal/PaletteState.h")
#include "platform/gdi/internal/PaletteState.h"
#define TW_HAVE_SCREEN_PALETTE 1
#endif

namespace platform {

namespace {

struct DisplayState {
    int width = 1024;
    int height = 768;
    int logPixels = 96;
    int bitsPixel = 32;
    PixelBuffer desktop;
    WindowSurfaceProvider provider;
    std::function<COLORREF(int)> systemColors;
};

DisplayState& Display()
{
    static DisplayState state;
    return state;
}

} // namespace

void SetWindowSurfaceProvider(WindowSurfaceProvider provider)
{
    Display().provider = std::move(provider);
}

const WindowSurfaceProvider& GetWindowSurfaceProvider()
{
    return Display().provider;
}

void SetScreenSize(int width, int height)
{
    DisplayState& d = Display();
    if (width <= 0 || height <= 0 || width > PixelBuffer::kMaxSide || height > PixelBuffer::kMaxSide)
        return;
    d.width = width;
    d.height = height;
    d.desktop = PixelBuffer();
}

void SetScreenLogPixels(int dpi)
{
    if (dpi > 0 && dpi <= 9600)
        Display().logPixels = dpi;
}

bool SetScreenBitsPixel(int bitsPixel)
{
    switch (bitsPixel) {
    case 0:
        Display().bitsPixel = 32;
        return true;
    case 1:
    case 4:
    case 8:
    case 24:
    case 32:
        Display().bitsPixel = bitsPixel;
        return true;
    default:
        return false;
    }
}

int GetScreenBitsPixel()
{
    return Display().bitsPixel;
}

SIZE GetScreenSize()
{
    return SIZE{Display().width, Display().height};
}

PixelBuffer& GetDesktopBuffer()
{
    DisplayState& d = Display();
    if (d.desktop.width != d.width || d.desktop.height != d.height)
        d.desktop.Allocate(d.width, d.height, 0x00FFFFFF);
    return d.desktop;
}

void SetSystemColorSource(std::function<COLORREF(int index)> source)
{
    Display().systemColors = std::move(source);
}

COLORREF GetGdiSystemColor(int index)
{
    if (Display().systemColors)
        return Display().systemColors(index);
    switch (index) {
    case 5: // COLOR_WINDOW
    case 20: // COLOR_3DHIGHLIGHT
        return RGB(255, 255, 255);
    case 6: // COLOR_WINDOWFRAME
    case 8: // COLOR_WINDOWTEXT
        return RGB(0, 0, 0);
    case 16: // COLOR_3DSHADOW
        return RGB(128, 128, 128);
    case 21: // COLOR_3DDKSHADOW
        return RGB(64, 64, 64);
    case 22: // COLOR_3DLIGHT
        return RGB(223, 223, 223);
    case 15: // COLOR_3DFACE
    default:
        return RGB(192, 192, 192);
    }
}

void ResetDisplayForTesting()
{
    DisplayState& d = Display();
    d.width = 1024;
    d.height = 768;
    d.logPixels = 96;
    d.bitsPixel = 32;
    d.desktop = PixelBuffer();
    d.provider = WindowSurfaceProvider();
    d.systemColors = nullptr;
#ifdef TW_HAVE_SCREEN_PALETTE
    ResetPalettesForTesting();
#endif
}

DeviceCaps ScreenCaps()
{
    const DisplayState& d = Display();
    DeviceCaps caps;
    caps.technology = DT_RASDISPLAY;
    caps.horzRes = d.width;
    caps.vertRes = d.height;
    caps.logPixelsX = d.logPixels;
    caps.logPixelsY = d.logPixels;
    caps.horzSizeMm = int(std::lround(d.width * 25.4 / d.logPixels));
    caps.vertSizeMm = int(std::lround(d.height * 25.4 / d.logPixels));
    caps.bitsPixel = d.bitsPixel;
    caps.planes = 1;
    return caps;
}

} // namespace platform
