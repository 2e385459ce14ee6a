#include "platform/base/Geometry.h"

#include <algorithm>
#include <utility>

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (!lprc)
        return FALSE;
    lprc->left = xLeft;
    lprc->top = yTop;
    lprc->right = xRight;
    lprc->bottom = yBottom;
    return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc)
{
    return SetRect(lprc, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc)
{
    if (!lprcDst || !lprcSrc)
        return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* lprc)
{
    return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

BOOL PtInRect(const RECT* lprc, POINT pt)
{
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL EqualRect(const RECT* lprc1, const RECT* lprc2)
{
    return lprc1 && lprc2 && lprc1->left == lprc2->left && lprc1->top == lprc2->top
        && lprc1->right == lprc2->right && lprc1->bottom == lprc2->bottom;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (!lprcDst || !lprcSrc1 || !lprcSrc2)
        return FALSE;
    // Read both sources before writing: the destination may be one of them.
    RECT r;
    r.left = std::max(lprcSrc1->left, lprcSrc2->left);
    r.top = std::max(lprcSrc1->top, lprcSrc2->top);
    r.right = std::min(lprcSrc1->right, lprcSrc2->right);
    r.bottom = std::min(lprcSrc1->bottom, lprcSrc2->bottom);
    if (IsRectEmpty(lprcSrc1) || IsRectEmpty(lprcSrc2) || IsRectEmpty(&r)) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    *lprcDst = r;
    return TRUE;
}

BOOL UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (!lprcDst || !lprcSrc1 || !lprcSrc2)
        return FALSE;
    bool empty1 = IsRectEmpty(lprcSrc1);
    bool empty2 = IsRectEmpty(lprcSrc2);
    if (empty1 && empty2) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    if (empty1) {
        *lprcDst = *lprcSrc2;
        return TRUE;
    }
    if (empty2) {
        *lprcDst = *lprcSrc1;
        return TRUE;
    }
    RECT r;
    r.left = std::min(lprcSrc1->left, lprcSrc2->left);
    r.top = std::min(lprcSrc1->top, lprcSrc2->top);
    r.right = std::max(lprcSrc1->right, lprcSrc2->right);
    r.bottom = std::max(lprcSrc1->bottom, lprcSrc2->bottom);
    *lprcDst = r;
    return TRUE;
}

BOOL SubtractRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (!lprcDst || !lprcSrc1 || !lprcSrc2)
        return FALSE;
    RECT result = *lprcSrc1;
    RECT overlap;
    if (IntersectRect(&overlap, lprcSrc1, lprcSrc2)) {
        if (EqualRect(&overlap, lprcSrc1)) {
            SetRectEmpty(&result);
        } else if (overlap.top == result.top && overlap.bottom == result.bottom) {
            // The overlap runs from top to bottom: cut off a left or right band.
            if (overlap.left == result.left)
                result.left = overlap.right;
            else if (overlap.right == result.right)
                result.right = overlap.left;
        } else if (overlap.left == result.left && overlap.right == result.right) {
            if (overlap.top == result.top)
                result.top = overlap.bottom;
            else if (overlap.bottom == result.bottom)
                result.bottom = overlap.top;
        }
    }
    *lprcDst = result;
    return !IsRectEmpty(&result);
}

CRect CPoint::operator+(const RECT* lpRect) const
{
    CRect r(lpRect);
    r.OffsetRect(x, y);
    return r;
}

CRect CPoint::operator-(const RECT* lpRect) const
{
    CRect r(lpRect);
    r.OffsetRect(-x, -y);
    return r;
}

CRect CSize::operator+(const RECT* lpRect) const
{
    CRect r(lpRect);
    r.OffsetRect(cx, cy);
    return r;
}

CRect CSize::operator-(const RECT* lpRect) const
{
    CRect r(lpRect);
    r.OffsetRect(-cx, -cy);
    return r;
}

void CRect::InflateRect(LPCRECT lpRect)
{
    InflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

void CRect::InflateRect(int l, int t, int r, int b)
{
    left -= l;
    top -= t;
    right += r;
    bottom += b;
}

void CRect::DeflateRect(LPCRECT lpRect)
{
    DeflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

void CRect::DeflateRect(int l, int t, int r, int b)
{
    left += l;
    top += t;
    right -= r;
    bottom -= b;
}

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

CRect CRect::operator+(POINT point) const
{
    CRect r(*this);
    r.OffsetRect(point);
    return r;
}

CRect CRect::operator-(POINT point) const
{
    CRect r(*this);
    r.OffsetRect(-point.x, -point.y);
    return r;
}

CRect CRect::operator+(SIZE size) const
{
    CRect r(*this);
    r.OffsetRect(size);
    return r;
}

CRect CRect::operator-(SIZE size) const
{
    CRect r(*this);
    r.OffsetRect(-size.cx, -size.cy);
    return r;
}

CRect CRect::operator+(LPCRECT lpRect) const
{
    CRect r(*this);
    r.InflateRect(lpRect);
    return r;
}

CRect CRect::operator-(LPCRECT lpRect) const
{
    CRect r(*this);
    r.DeflateRect(lpRect);
    return r;
}

CRect CRect::operator&(const RECT& rect2) const
{
    CRect r;
    ::IntersectRect(&r, this, &rect2);
    return r;
}

CRect CRect::operator|(const RECT& rect2) const
{
    CRect r;
    ::UnionRect(&r, this, &rect2);
    return r;
}
