#pragma once
// Small measures of a surface view for the geometry tests.

#include "surface/Surface.h"

namespace surfacetest {

// The screen's pixels per inch along nIndex (LOGPIXELSX or LOGPIXELSY).
inline int ScreenPpi(int nIndex)
{
    HDC hdc = ::GetDC(NULL);
    const int ppi = ::GetDeviceCaps(hdc, nIndex);
    ::ReleaseDC(NULL, hdc);
    return ppi;
}

// Where the view shows the design point (x, y), in client pixels.
inline CPoint ToClient(CSurface* pView, int x, int y)
{
    CPoint pt(x, y);
    pView->LPtoDPPoint(&pt);
    return pt;
}

} // namespace surfacetest
