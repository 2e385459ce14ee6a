// Mapping modes: window and viewport origins and extents, and the
// conversions between logical and device units.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/DeviceContext.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace platform {

namespace {

// num / den rounded to nearest, halves away from zero, clamped to int.
int64_t RoundedDivide(int64_t num, int64_t den)
{
    bool negative = (num < 0) != (den < 0);
    uint64_t a = uint64_t(num < 0 ? -num : num);
    uint64_t b = uint64_t(den < 0 ? -den : den);
    int64_t q = int64_t((2 * a + b) / (2 * b));
    return negative ? -q : q;
}

LONG Clamp(int64_t v)
{
    return LONG(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

LONG ToDevice(LONG v, LONG windowOrg, LONG windowExt, LONG viewportExt, LONG viewportOrg)
{
    // One logical unit to one pixel (MM_TEXT, and most memory DCs) is a
    // plain shift: the divisions below give exactly that, at many times
    // the cost for every point of every figure.
    if (windowExt == viewportExt)
        return Clamp(int64_t(v) - windowOrg + viewportOrg);
    return Clamp(RoundedDivide((int64_t(v) - windowOrg) * viewportExt, windowExt) + viewportOrg);
}

// In MM_ISOTROPIC one logical unit is as long on both axes: the viewport
// extent shrinks on the axis whose scale is larger.
void FixIsotropic(DcState& s)
{
    if (s.mapMode != MM_ISOTROPIC)
        return;
    int64_t vx = s.viewportExt.cx, vy = s.viewportExt.cy;
    int64_t wx = s.windowExt.cx, wy = s.windowExt.cy;
    int64_t ax = std::llabs(vx) * std::llabs(wy);
    int64_t ay = std::llabs(vy) * std::llabs(wx);
    if (ax < ay) {
        int64_t cy = RoundedDivide(std::llabs(wy) * std::llabs(vx), std::llabs(wx));
        s.viewportExt.cy = Clamp(vy < 0 ? -cy : cy);
    } else if (ay < ax) {
        int64_t cx = RoundedDivide(std::llabs(wx) * std::llabs(vy), std::llabs(wy));
        s.viewportExt.cx = Clamp(vx < 0 ? -cx : cx);
    }
}

DcState* StateOf(HDC hdc)
{
    DeviceContext* dc = LookupDc(hdc);
    return dc ? &dc->state : nullptr;
}

} // namespace

POINT LogicalToDevice(const DcState& s, POINT p)
{
    return POINT{ToDevice(p.x, s.windowOrg.x, s.windowExt.cx, s.viewportExt.cx, s.viewportOrg.x),
        ToDevice(p.y, s.windowOrg.y, s.windowExt.cy, s.viewportExt.cy, s.viewportOrg.y)};
}

POINT DeviceToLogical(const DcState& s, POINT p)
{
    return POINT{ToDevice(p.x, s.viewportOrg.x, s.viewportExt.cx, s.windowExt.cx, s.windowOrg.x),
        ToDevice(p.y, s.viewportOrg.y, s.viewportExt.cy, s.windowExt.cy, s.windowOrg.y)};
}

double LogicalToDeviceX(const DcState& s, double x)
{
    return (x - s.windowOrg.x) * s.viewportExt.cx / s.windowExt.cx + s.viewportOrg.x;
}

double LogicalToDeviceY(const DcState& s, double y)
{
    return (y - s.windowOrg.y) * s.viewportExt.cy / s.windowExt.cy + s.viewportOrg.y;
}

int LogicalWidthToDevice(const DcState& s, int width)
{
    int64_t w = RoundedDivide(int64_t(width) * s.viewportExt.cx, s.windowExt.cx);
    return int(std::min<int64_t>(std::llabs(w), INT_MAX));
}

RECT LogicalRectToDevice(const DcState& s, const RECT& r)
{
    POINT a = LogicalToDevice(s, POINT{r.left, r.top});
    POINT b = LogicalToDevice(s, POINT{r.right, r.bottom});
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

} // namespace platform

using namespace platform;

int SetMapMode(HDC hdc, int mode)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DcState& s = dc->state;
    int previous = s.mapMode;
    s.mapMode = mode;
    // Logical units per inch of the fixed modes; MM_ISOTROPIC starts as
    // MM_LOMETRIC does, MM_ANISOTROPIC keeps the extents it had.
    int perInch = 0;
    switch (mode) {
    case MM_TEXT:
        s.windowExt = SIZE{1, 1};
        s.viewportExt = SIZE{1, 1};
        return previous;
    case MM_ANISOTROPIC:
        return previous;
    case MM_LOMETRIC:
    case MM_ISOTROPIC:
        perInch = 254;
        break;
    case MM_HIMETRIC:
        perInch = 2540;
        break;
    case MM_LOENGLISH:
        perInch = 100;
        break;
    case MM_HIENGLISH:
        perInch = 1000;
        break;
    case MM_TWIPS:
        perInch = 1440;
        break;
    }
    s.windowExt = SIZE{perInch, perInch};
    s.viewportExt = SIZE{dc->caps.logPixelsX, -dc->caps.logPixelsY};
    return previous;
}

int GetMapMode(HDC hdc)
{
    DcState* s = StateOf(hdc);
    return s ? s->mapMode : 0;
}

namespace {

BOOL OffsetOrigin(HDC hdc, POINT DcState::*member, int x, int y, LPPOINT lppt)
{
    DcState* s = StateOf(hdc);
    if (!s)
        return FALSE;
    POINT& org = s->*member;
    if (lppt)
        *lppt = org;
    org = POINT{Clamp(int64_t(org.x) + x), Clamp(int64_t(org.y) + y)};
    return TRUE;
}

} // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return ReplaceStateValue(hdc, &DcState::windowOrg, POINT{x, y}, lppt);
}

BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt)
{
    return GetStateValue(hdc, &DcState::windowOrg, lppt);
}

BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return OffsetOrigin(hdc, &DcState::windowOrg, x, y, lppt);
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return ReplaceStateValue(hdc, &DcState::viewportOrg, POINT{x, y}, lppt);
}

BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt)
{
    return GetStateValue(hdc, &DcState::viewportOrg, lppt);
}

BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return OffsetOrigin(hdc, &DcState::viewportOrg, x, y, lppt);
}

namespace {

// Extents change only in the two scalable modes; elsewhere the call
// succeeds and changes nothing.
BOOL SetExtent(HDC hdc, SIZE DcState::*member, int x, int y, LPSIZE lpsz)
{
    DcState* s = StateOf(hdc);
    if (!s)
        return FALSE;
    if (lpsz)
        *lpsz = s->*member;
    if (s->mapMode != MM_ISOTROPIC && s->mapMode != MM_ANISOTROPIC)
        return TRUE;
    if (x == 0 || y == 0)
        return FALSE;
    s->*member = SIZE{x, y};
    FixIsotropic(*s);
    return TRUE;
}

BOOL ScaleExtent(HDC hdc, SIZE DcState::*member, int xn, int xd, int yn, int yd, LPSIZE lpsz)
{
    DcState* s = StateOf(hdc);
    if (!s)
        return FALSE;
    if (lpsz)
        *lpsz = s->*member;
    if (s->mapMode != MM_ISOTROPIC && s->mapMode != MM_ANISOTROPIC)
        return TRUE;
    if (xd == 0 || yd == 0)
        return FALSE;
    SIZE scaled{Clamp(int64_t((s->*member).cx) * xn / xd), Clamp(int64_t((s->*member).cy) * yn / yd)};
    if (scaled.cx == 0 || scaled.cy == 0)
        return FALSE;
    s->*member = scaled;
    FixIsotropic(*s);
    return TRUE;
}

} // namespace

BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE lpsz)
{
    return SetExtent(hdc, &DcState::windowExt, x, y, lpsz);
}

BOOL GetWindowExtEx(HDC hdc, LPSIZE lpsz)
{
    return GetStateValue(hdc, &DcState::windowExt, lpsz);
}

BOOL ScaleWindowExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE lpsz)
{
    return ScaleExtent(hdc, &DcState::windowExt, xn, xd, yn, yd, lpsz);
}

BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE lpsz)
{
    return SetExtent(hdc, &DcState::viewportExt, x, y, lpsz);
}

BOOL GetViewportExtEx(HDC hdc, LPSIZE lpsz)
{
    return GetStateValue(hdc, &DcState::viewportExt, lpsz);
}

BOOL ScaleViewportExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE lpsz)
{
    return ScaleExtent(hdc, &DcState::viewportExt, xn, xd, yn, yd, lpsz);
}

BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c)
{
    DcState* s = StateOf(hdc);
    if (!s || c < 0 || (c > 0 && !lppt))
        return FALSE;
    for (int i = 0; i < c; ++i)
        lppt[i] = LogicalToDevice(*s, lppt[i]);
    return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c)
{
    DcState* s = StateOf(hdc);
    if (!s || c < 0 || (c > 0 && !lppt))
        return FALSE;
    for (int i = 0; i < c; ++i)
        lppt[i] = DeviceToLogical(*s, lppt[i]);
    return TRUE;
}
