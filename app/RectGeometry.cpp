#include "app/RectGeometry.h"

#include "platform/gdi/Dc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

RECT Normalized(const RECT& r)
{
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

// Whether C lies before (or level with) D, compared with the way A runs.
bool SameOrder(LONG c, LONG d, bool forward)
{
    return (c <= d) == forward;
}

} // namespace

int RoundHalfAwayFromZero(double value)
{
    return int(value >= 0 ? value + 0.5 : value - 0.5);
}

int RoundLog2(double x)
{
    if (!(x > 0))
        return 0;
    return int(std::log2(x) + 0.5);
}

int IntRemainder(int a, int b)
{
    // A zero divisor would trap in div(); every multiple of 0 is 0, so the
    // remainder is a itself.
    if (b == 0)
        return a;
    // INT_MIN / -1 overflows; its remainder is 0.
    if (b == -1)
        return 0;
    return a - b * std::div(a, b).quot;
}

double DegreesToRadians(double degrees)
{
    return std::acos(-1.0) * degrees / 180.0;
}

void CenterRectIn(LPRECT pRect, int left, int top, int right, int bottom, BOOL bHorizontal, BOOL bVertical)
{
    if (bHorizontal) {
        int dx = ((right - left) - (pRect->right - pRect->left)) / 2 + left - pRect->left;
        pRect->left += dx;
        pRect->right += dx;
    }
    if (bVertical) {
        int dy = ((bottom - top) - (pRect->bottom - pRect->top)) / 2 + top - pRect->top;
        pRect->top += dy;
        pRect->bottom += dy;
    }
}

void FlipRect(LPRECT pRect, BOOL bHorizontal, BOOL bVertical)
{
    if (bHorizontal)
        std::swap(pRect->left, pRect->right);
    if (bVertical)
        std::swap(pRect->top, pRect->bottom);
}

BOOL CompareRectOrientation(int left1, int top1, int right1, int bottom1, int left2, int top2, int right2, int bottom2,
    BOOL* pbHorizontal, BOOL* pbVertical)
{
    BOOL horizontal = (right1 >= left1) != (right2 >= left2);
    BOOL vertical = (bottom1 >= top1) != (bottom2 >= top2);
    if (pbHorizontal)
        *pbHorizontal = horizontal;
    if (pbVertical)
        *pbVertical = vertical;
    return horizontal || vertical;
}

BOOL AlignRectOrientation(const RECT* pA, const RECT* pB, LPRECT pC, LPRECT pD, BOOL* pbApply)
{
    bool forwardX = pA->right >= pA->left;
    bool forwardY = pA->bottom >= pA->top;
    BOOL differed = FALSE;
    auto side = [&](LONG RECT::*member, bool forward) {
        if (SameOrder(pC->*member, pD->*member, forward))
            return;
        differed = TRUE;
        if (pbApply) {
            pC->*member = pA->*member;
            pD->*member = pB->*member;
        }
    };
    side(&RECT::left, forwardX);
    side(&RECT::top, forwardY);
    side(&RECT::right, forwardX);
    side(&RECT::bottom, forwardY);
    return differed;
}

void MapRectToFrame(LPRECT pRect, const RECT* pSource, const RECT* pTarget)
{
    bool flipX = pTarget->left > pTarget->right;
    bool flipY = pTarget->top > pTarget->bottom;
    RECT r = Normalized(*pRect);
    RECT s = Normalized(*pSource);
    RECT t = Normalized(*pTarget);
    double sw = double(s.right) - s.left;
    double sh = double(s.bottom) - s.top;
    double scaleX = sw != 0 ? (double(t.right) - t.left) / sw : 1.0;
    double scaleY = sh != 0 ? (double(t.bottom) - t.top) / sh : 1.0;
    int dl = RoundHalfAwayFromZero((double(r.left) - s.left) * scaleX);
    int dr = RoundHalfAwayFromZero((double(r.right) - s.left) * scaleX);
    int dt = RoundHalfAwayFromZero((double(r.top) - s.top) * scaleY);
    int db = RoundHalfAwayFromZero((double(r.bottom) - s.top) * scaleY);
    // A flipped target runs from its right (bottom) edge: the rectangle's
    // place is mirrored in the frame and the rectangle itself turned.
    auto place = [](bool flip, LONG low, LONG high, int offset) { return flip ? high - offset : low + offset; };
    pRect->left = place(flipX, t.left, t.right, dl);
    pRect->right = place(flipX, t.left, t.right, dr);
    pRect->top = place(flipY, t.top, t.bottom, dt);
    pRect->bottom = place(flipY, t.top, t.bottom, db);
}

void SwapSize(LPSIZE pSize)
{
    std::swap(pSize->cx, pSize->cy);
}

void RotatePoints(POINT pivot, LPPOINT pPoints, int nCount, double angle, BOOL bRadians)
{
    if (!bRadians)
        angle = DegreesToRadians(std::trunc(angle));
    if (angle == 0 || !pPoints)
        return;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double px = pivot.x;
    const double py = pivot.y;
    for (int i = 0; i < nCount; ++i) {
        double x = pPoints[i].x;
        double y = pPoints[i].y;
        double nx = c * x - s * y + (s * py + px * (1 - c));
        double ny = c * y + s * x + ((1 - c) * py - s * px);
        pPoints[i].x = RoundHalfAwayFromZero(nx);
        pPoints[i].y = RoundHalfAwayFromZero(ny);
    }
}

void FitAspectRect(LPRECT pOut, CDC* pDC, int nWidth, int nHeight, int left, int top, int right, int bottom)
{
    *pOut = RECT{left, top, right, bottom};
    if (nWidth == 0 || nHeight == 0)
        return;
    RECT device = *pOut;
    pDC->LPtoDP(&device);
    int dpiX = std::max(1, pDC->GetDeviceCaps(LOGPIXELSX));
    int dpiY = std::max(1, pDC->GetDeviceCaps(LOGPIXELSY));
    double w = double(device.right) - device.left;
    double h = double(device.bottom) - device.top;
    // Compare in inches, so that non-square pixels keep the picture's shape.
    double inchesW = std::fabs(w) / dpiX;
    double inchesH = std::fabs(h) / dpiY;
    double ratio = std::fabs(double(nWidth)) / std::fabs(double(nHeight));
    if (inchesW > inchesH * ratio)
        w = std::copysign(inchesH * ratio * dpiX, w);
    else
        h = std::copysign(inchesW / ratio * dpiY, h);
    RECT fitted{device.left, device.top, device.left + int(w), device.top + int(h)};
    pDC->DPtoLP(&fitted);
    CenterRectIn(&fitted, left, top, right, bottom, TRUE, TRUE);
    *pOut = fitted;
}
