// The picture of a shaped object drawn through the shape's mask, composed
// off-screen from what lies below, the picture and the mask, and put down
// in one copy.

#include "model/ShapeMaskDraw.h"

#include "app/DcStateSaver.h"
#include "pictures/Image.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <cstdint>

namespace {

// Destination AND NOT source: the picture keeps what lies on the mask's
// black.
constexpr DWORD kRopKeepUnderBlack = 0x00220326;

// A composed area is bounded: a shape larger than this on the device is
// drawn the way the caller can.
constexpr int64_t kMaxPixels = int64_t(8192) * 8192;

} // namespace

BOOL DrawPictureThroughShapeMask(CDC* pDC, CImage& picture, const CRect& rectPicture, const CRect& rectClip,
    CBitmap& mask, CPoint ptMask, BOOL bNoPolygonClip)
{
    if (pDC == nullptr || mask.GetSafeHandle() == NULL || pDC->IsPrinting())
        return FALSE;
    BITMAP info{};
    if (!mask.GetBitmap(&info) || info.bmWidth < 1 || info.bmHeight < 1)
        return FALSE;
    // The mapping the picture is drawn with, taken before the DC is set to
    // device units for the copies.
    const int nMapMode = pDC->GetMapMode();
    const CPoint windowOrg = pDC->GetWindowOrg();
    const CSize windowExt = pDC->GetWindowExt();
    const CPoint viewportOrg = pDC->GetViewportOrg();
    const CSize viewportExt = pDC->GetViewportExt();

    CDCStateSaver saver(pDC);
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    // Only the part of the shape the DC may draw on is composed.
    CRect area(ptMask.x, ptMask.y, ptMask.x + info.bmWidth, ptMask.y + info.bmHeight);
    CRect box;
    if (pDC->GetClipBox(&box) != ERROR && !area.IntersectRect(&area, &box))
        return TRUE;
    if (area.IsRectEmpty())
        return TRUE;
    if (int64_t(area.Width()) * area.Height() > kMaxPixels)
        return FALSE;

    CDC maskDC;
    CDC pictureDC;
    CDC belowDC;
    CBitmap pictureBitmap;
    CBitmap belowBitmap;
    if (!maskDC.CreateCompatibleDC(pDC) || !pictureDC.CreateCompatibleDC(pDC) || !belowDC.CreateCompatibleDC(pDC)
        || !pictureBitmap.CreateCompatibleBitmap(pDC, area.Width(), area.Height())
        || !belowBitmap.CreateCompatibleBitmap(pDC, area.Width(), area.Height()))
        return FALSE;
    CBitmap* pOldMask = maskDC.SelectObject(&mask);
    CBitmap* pOldPicture = pictureDC.SelectObject(&pictureBitmap);
    CBitmap* pOldBelow = belowDC.SelectObject(&belowBitmap);
    const int cx = area.Width();
    const int cy = area.Height();
    const int xMask = area.left - ptMask.x;
    const int yMask = area.top - ptMask.y;

    // The picture over what lies below (so that its clear parts show it),
    // kept only on the mask's black.
    pictureDC.BitBlt(0, 0, cx, cy, pDC, area.left, area.top, SRCCOPY);
    belowDC.BitBlt(0, 0, cx, cy, pDC, area.left, area.top, SRCCOPY);
    {
        CDCStateSaver mapping(&pictureDC);
        pictureDC.SetMapMode(nMapMode);
        pictureDC.SetWindowOrg(windowOrg);
        pictureDC.SetWindowExt(windowExt);
        pictureDC.SetViewportExt(viewportExt);
        pictureDC.SetViewportOrg(viewportOrg.x - area.left, viewportOrg.y - area.top);
        picture.Draw(&pictureDC, rectPicture, rectPicture, rectClip, FALSE, FALSE, bNoPolygonClip);
    }
    pictureDC.BitBlt(0, 0, cx, cy, &maskDC, xMask, yMask, kRopKeepUnderBlack);
    // What lies below, kept only on the mask's white; the two together.
    belowDC.BitBlt(0, 0, cx, cy, &maskDC, xMask, yMask, SRCAND);
    belowDC.BitBlt(0, 0, cx, cy, &pictureDC, 0, 0, SRCPAINT);
    pDC->BitBlt(area.left, area.top, cx, cy, &belowDC, 0, 0, SRCCOPY);

    maskDC.SelectObject(pOldMask);
    pictureDC.SelectObject(pOldPicture);
    belowDC.SelectObject(pOldBelow);
    return TRUE;
}
