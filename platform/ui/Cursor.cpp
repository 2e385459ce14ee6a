// Cursors: the system cursors (drawn by us) and CURSOR resources, both held
// in platform/gdi's icon table; the current cursor and its show count, which
// the back end is told about; the pointer position and its clip rectangle.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/IconData.h"
#include "platform/gdi/internal/IconImage.h"
#include "platform/ui/internal/Cursors.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputState.h"
#include "platform/ui/internal/Window.h"

#include <algorithm>
#include <map>

namespace platform {

namespace {

struct CursorState {
    HCURSOR current = NULL;
    int showCount = 0;
    bool clipped = false;
    RECT clip{};
    // What the back end was told last, so that a cursor set on every mouse
    // move is passed on only when it changes.
    HCURSOR shown = NULL;
    bool shownHidden = false;
    bool told = false;
};

CursorState& Cursors()
{
    static CursorState state;
    return state;
}

// System cursors are made once and shared; the handle of each, by id.
std::map<int, HCURSOR>& SystemCursors()
{
    static std::map<int, HCURSOR> cursors;
    return cursors;
}

// Masks of image cursors in the form the back end takes (white where
// transparent), made on first use.
std::map<HCURSOR, PixelBuffer>& Masks()
{
    static std::map<HCURSOR, PixelBuffer> masks;
    return masks;
}

HCURSOR SystemCursor(int id)
{
    auto it = SystemCursors().find(id);
    if (it != SystemCursors().end() && LookupIcon(it->second))
        return it->second;
    auto icon = DrawSystemCursor(id);
    HCURSOR h = icon ? AddIcon(std::move(icon)) : NULL;
    if (h)
        SystemCursors()[id] = h;
    return h;
}

void TellDriver()
{
    CursorState& c = Cursors();
    bool hidden = c.showCount < 0 || !c.current;
    if (c.told && c.shown == c.current && c.shownHidden == hidden)
        return;
    if (!HasDriver())
        return;
    CursorShape shape;
    shape.hidden = hidden;
    if (c.current) {
        if (int id = SystemCursorId(c.current)) {
            shape.systemId = id;
        } else if (IconObject* icon = LookupIcon(c.current)) {
            PixelBuffer& mask = Masks()[c.current];
            if (mask.width != icon->color.width || mask.height != icon->color.height) {
                if (mask.Allocate(icon->color.width, icon->color.height, 0)) {
                    for (int y = 0; y < mask.height; ++y)
                        for (int x = 0; x < mask.width; ++x) {
                            size_t i = size_t(y) * size_t(mask.width) + size_t(x);
                            bool clear = !icon->alpha.empty() ? icon->alpha[i] == 0
                                                              : (i < icon->mask.size() && icon->mask[i]);
                            mask.Row(y)[x] = clear ? 0xFFFFFF : 0;
                        }
                }
            }
            shape.image = &icon->color;
            shape.mask = &mask;
            shape.hotSpot = icon->hotspot;
        }
    }
    GetDriver().SetCursorShape(shape);
    c.shown = c.current;
    c.shownHidden = hidden;
    c.told = true;
}

RECT ScreenRect()
{
    SIZE s = HasDriver() ? GetDriver().ScreenSize() : SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return RECT{0, 0, s.cx, s.cy};
}

} // namespace

int SystemCursorId(HCURSOR cursor)
{
    for (const auto& [id, h] : SystemCursors())
        if (h == cursor)
            return id;
    return 0;
}

void ResetCursorState()
{
    Cursors() = CursorState{};
    Masks().clear();
}

} // namespace platform

using namespace platform;

HCURSOR LoadCursor(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    if (!lpCursorName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (!hInstance) {
        int id = IS_INTRESOURCE(lpCursorName) ? int(uintptr_t(lpCursorName)) : 0;
        if (!IsSystemCursorId(id)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return NULL;
        }
        return SystemCursor(id);
    }
    HCURSOR h = LoadCursorResource(hInstance, lpCursorName);
    if (!h)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return h;
}

HCURSOR SetCursor(HCURSOR hCursor)
{
    CursorState& c = Cursors();
    if (hCursor && !LookupIcon(hCursor)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return NULL;
    }
    HCURSOR previous = c.current;
    c.current = hCursor;
    TellDriver();
    return previous;
}

HCURSOR GetCursor()
{
    return Cursors().current;
}

BOOL DestroyCursor(HCURSOR hCursor)
{
    IconObject* icon = LookupIcon(hCursor);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!icon->shared) {
        Masks().erase(hCursor);
        if (Cursors().current == hCursor)
            Cursors().current = NULL;
        if (Cursors().shown == hCursor)
            Cursors().told = false;
    }
    return DestroyIcon(hCursor);
}

int ShowCursor(BOOL bShow)
{
    CursorState& c = Cursors();
    c.showCount += bShow ? 1 : -1;
    TellDriver();
    return c.showCount;
}

BOOL GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint)
        return FALSE;
    *lpPoint = GetDriver().CursorPos();
    return TRUE;
}

BOOL SetCursorPos(int X, int Y)
{
    CursorState& c = Cursors();
    RECT r = c.clipped ? c.clip : ScreenRect();
    POINT p{std::clamp(X, int(r.left), std::max(int(r.left), int(r.right) - 1)),
        std::clamp(Y, int(r.top), std::max(int(r.top), int(r.bottom) - 1))};
    GetDriver().SetCursorPos(p);
    return TRUE;
}

BOOL ClipCursor(const RECT* lpRect)
{
    CursorState& c = Cursors();
    if (!lpRect) {
        c.clipped = false;
        return TRUE;
    }
    RECT screen = ScreenRect();
    RECT r{std::max(lpRect->left, screen.left), std::max(lpRect->top, screen.top),
        std::min(lpRect->right, screen.right), std::min(lpRect->bottom, screen.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    c.clipped = true;
    c.clip = r;
    return TRUE;
}

BOOL GetClipCursor(LPRECT lpRect)
{
    if (!lpRect)
        return FALSE;
    *lpRect = Cursors().clipped ? Cursors().clip : ScreenRect();
    return TRUE;
}
