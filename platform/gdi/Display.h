#pragma once
// What the window system and the tests set up for drawing: the screen's size,
// resolution and depth, and where window DCs find their pixels.
//
// GetDC(NULL) draws on a desktop surface of our own of the screen's size.
// GetDC(hwnd) / GetWindowDC(hwnd) ask the installed window-surface provider
// for the window's pixels each time they draw, so a window may resize its
// surface between calls; without a provider, or when it declines, those
// calls fail (NULL). ReleaseDC tells the provider so it can present.

#include "platform/base/Types.h"

#include <functional>

namespace platform {

struct PixelBuffer;
class Region;

// The pixels a window DC draws on. Device (0, 0) of the DC is `origin` in the
// buffer; drawing is limited to `visible` (device units) and, when given,
// further to `visibleRegion` (device units, owned by the provider and valid
// until the next call).
struct WindowSurface {
    PixelBuffer* buffer = nullptr;
    POINT origin{0, 0};
    RECT visible{0, 0, 0, 0};
    const Region* visibleRegion = nullptr;
};

struct WindowSurfaceProvider {
    // wholeWindow: GetWindowDC (frame included) rather than the client area.
    std::function<bool(HWND hwnd, bool wholeWindow, WindowSurface& out)> acquire;
    std::function<void(HWND hwnd, bool wholeWindow)> released;
};

void SetWindowSurfaceProvider(WindowSurfaceProvider provider);

// The screen: size in pixels (default 1024 x 768), LOGPIXELSX/Y (default 96)
// and reported depth. The depth is 32 unless overridden: 1, 4, 8, 24 or 32;
// 0 restores the default. At 8 bpp and below the screen is a palette device
// (RC_PALETTE, SIZEPALETTE) and colours drawn on it are reduced to its
// palette. Changing the size recreates the desktop surface (white).
void SetScreenSize(int width, int height);
void SetScreenLogPixels(int dpi);
bool SetScreenBitsPixel(int bitsPixel);
int GetScreenBitsPixel();
SIZE GetScreenSize();
PixelBuffer& GetDesktopBuffer();

// The colours of the 3-D edges DrawEdge draws (the window system's system
// colours), by the COLOR_* index; the default is the classic grey scheme.
void SetSystemColorSource(std::function<COLORREF(int index)> source);
COLORREF GetGdiSystemColor(int index);

// Back to the defaults above; deletes nothing that is still in use.
void ResetDisplayForTesting();

} // namespace platform
