// The caret: one per application, owned by a window, drawn by inverting its
// rectangle (or XOR-ing its bitmap) in the window's client area so that
// drawing it twice leaves the pixels as they were. It blinks on a timer of
// the owner while shown; painting hides it so that the window draws clean
// pixels, and it comes back when painting ends.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/InputState.h"
#include "platform/ui/internal/Window.h"

namespace platform {

namespace {

// A timer id no program uses for its own timers.
constexpr UINT_PTR kBlinkTimer = 0xCA7E;
constexpr UINT kBlinkTime = 530;

struct CaretState {
    HWND owner = NULL;
    HBITMAP bitmap = NULL; // NULL: solid; (HBITMAP)1: grey
    int width = 0;
    int height = 0;
    POINT pos{0, 0};
    int hideCount = 0; // shown when 0
    bool drawn = false; // its pixels are inverted now
    int paintHidden = 0; // open paints of the owner that took it off
};

CaretState& Caret()
{
    static CaretState state;
    return state;
}

void Invert()
{
    CaretState& c = Caret();
    HDC dc = GetDC(c.owner);
    if (!dc)
        return;
    if (c.bitmap && c.bitmap != HBITMAP(1)) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, c.bitmap);
        BitBlt(dc, c.pos.x, c.pos.y, c.width, c.height, mem, 0, 0, SRCINVERT);
        SelectObject(mem, old);
        DeleteDC(mem);
    } else {
        PatBlt(dc, c.pos.x, c.pos.y, c.width, c.height, DSTINVERT);
    }
    ReleaseDC(c.owner, dc);
    c.drawn = !c.drawn;
}

void TakeOff()
{
    if (Caret().drawn)
        Invert();
}

void PutOn()
{
    CaretState& c = Caret();
    if (c.owner && !c.drawn && c.hideCount == 0 && c.paintHidden == 0 && IsWindowVisible(c.owner))
        Invert();
}

void CALLBACK Blink(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    CaretState& c = Caret();
    if (hwnd != c.owner || c.hideCount != 0 || c.paintHidden != 0)
        return;
    if (c.drawn)
        TakeOff();
    else
        PutOn();
}

void RestartBlink()
{
    CaretState& c = Caret();
    if (c.owner)
        SetTimer(c.owner, kBlinkTimer, GetCaretBlinkTime(), Blink);
}

// The caret may be driven by a window other than its owner only with NULL.
bool Addresses(HWND hwnd)
{
    CaretState& c = Caret();
    return c.owner && (!hwnd || hwnd == c.owner);
}

} // namespace

void ForgetCaret(HWND dyingRoot)
{
    CaretState& c = Caret();
    if (dyingRoot && !(c.owner && IsSameOrDescendant(dyingRoot, c.owner)))
        return;
    if (c.owner && dyingRoot)
        KillTimer(c.owner, kBlinkTimer);
    c = CaretState{};
}

void InputBeforePaint(HWND hwnd)
{
    CaretState& c = Caret();
    if (!c.owner || hwnd != c.owner)
        return;
    TakeOff();
    ++c.paintHidden;
}

void InputAfterPaint(HWND hwnd)
{
    CaretState& c = Caret();
    if (!c.owner || hwnd != c.owner || c.paintHidden == 0)
        return;
    if (--c.paintHidden == 0)
        PutOn();
}

} // namespace platform

using namespace platform;

BOOL CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !IsUsable(*w))
        return FALSE;
    DestroyCaret();
    CaretState& c = Caret();
    c.owner = hWnd;
    c.bitmap = hBitmap;
    if (hBitmap && hBitmap != HBITMAP(1)) {
        BITMAP bm{};
        if (!GetObject(hBitmap, sizeof bm, &bm)) {
            c = CaretState{};
            return FALSE;
        }
        nWidth = bm.bmWidth;
        nHeight = bm.bmHeight;
    }
    c.width = nWidth > 0 ? nWidth : GetSystemMetrics(SM_CXBORDER);
    c.height = nHeight > 0 ? nHeight : GetSystemMetrics(SM_CYBORDER);
    // A new caret starts hidden; ShowCaret shows it.
    c.hideCount = 1;
    return TRUE;
}

BOOL DestroyCaret()
{
    CaretState& c = Caret();
    if (!c.owner)
        return FALSE;
    TakeOff();
    KillTimer(c.owner, kBlinkTimer);
    c = CaretState{};
    return TRUE;
}

BOOL ShowCaret(HWND hWnd)
{
    CaretState& c = Caret();
    if (!Addresses(hWnd) || c.hideCount == 0)
        return FALSE;
    if (--c.hideCount == 0) {
        PutOn();
        RestartBlink();
    }
    return TRUE;
}

BOOL HideCaret(HWND hWnd)
{
    CaretState& c = Caret();
    if (!Addresses(hWnd))
        return FALSE;
    if (c.hideCount++ == 0) {
        TakeOff();
        KillTimer(c.owner, kBlinkTimer);
    }
    return TRUE;
}

BOOL SetCaretPos(int X, int Y)
{
    CaretState& c = Caret();
    if (!c.owner)
        return FALSE;
    if (c.pos.x == X && c.pos.y == Y)
        return TRUE;
    bool wasDrawn = c.drawn;
    TakeOff();
    c.pos = POINT{X, Y};
    // A moved caret shows at once rather than waiting for the next blink.
    if (wasDrawn || c.hideCount == 0) {
        PutOn();
        if (c.hideCount == 0)
            RestartBlink();
    }
    return TRUE;
}

BOOL GetCaretPos(LPPOINT lpPoint)
{
    CaretState& c = Caret();
    if (!lpPoint || !c.owner)
        return FALSE;
    *lpPoint = c.pos;
    return TRUE;
}

UINT GetCaretBlinkTime()
{
    return kBlinkTime;
}
