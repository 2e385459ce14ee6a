#include "app/DeviceColors.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"

#include <algorithm>

int GetDeviceColorClass(CDC* pDC)
{
    int bits = pDC->GetDeviceCaps(BITSPIXEL) * pDC->GetDeviceCaps(PLANES);
    if (bits <= 1)
        return -1;
    if (bits <= 5)
        return 5;
    if (bits <= 8)
        return 4;
    return 0;
}

COLORREF QuantizeColor(int red, int green, int blue, int n)
{
    if (n == -1) {
        int grey = int(0.30 * red + 0.59 * green + 0.11 * blue);
        grey = std::clamp(grey, 0, 255);
        return RGB(grey, grey, grey);
    }
    if (n >= 1) {
        n = std::min(n, 30);
        auto reduce = [n](int c) { return std::min(((c + (1 << (n - 1))) >> n) << n, 255); };
        red = reduce(red);
        green = reduce(green);
        blue = reduce(blue);
    }
    return RGB(BYTE(red), BYTE(green), BYTE(blue));
}

COLORREF GetNearestScreenColor(COLORREF color, CDC* pDC)
{
    HDC screen = ::GetDC(NULL);
    int bits = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    COLORREF result = color;
    if (bits == 8)
        result = pDC ? pDC->GetNearestColor(color) : ::GetNearestColor(screen, color);
    ::ReleaseDC(NULL, screen);
    return result;
}

HCURSOR LoadArrowCursor()
{
    static HCURSOR s_arrow = LoadCursor(NULL, IDC_ARROW);
    return s_arrow;
}
