#pragma once
// How many colours a device shows, and reducing colours to what it shows:
// gradients on palette devices step through colours the device has rather
// than dither.

#include "platform/base/Types.h"

class CDC;

// The system arrow cursor, loaded once and kept for the whole run; callers
// that set the cursor on WM_SETCURSOR use it without loading it each time.
HCURSOR LoadArrowCursor();

// The device's bits per pixel times planes as a class: -1 for monochrome
// (0 or 1), 5 for 2 to 5 bits, 4 for 6 to 8 bits, 0 for more (true colour).
int GetDeviceColorClass(CDC* pDC);

// Reduces a colour by a colour class: n >= 1 rounds each component to a
// multiple of 2^n ((c + 2^(n-1)) >> n << n, at most 255); n = -1 gives the
// grey 0.30 r + 0.59 g + 0.11 b; anything else leaves the colour.
COLORREF QuantizeColor(int red, int green, int blue, int n);

// On an 8-bit screen, the nearest colour the DC (the screen's when NULL)
// can show; elsewhere the colour itself.
COLORREF GetNearestScreenColor(COLORREF color, CDC* pDC);
