#pragma once
// A memory DC over a white 32-bit bitmap, with direct access to its pixels,
// for pixel tests of drawing calls.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/GdiObjects.h"

#include <algorithm>
#include <string>

namespace gditest {

class MemoryCanvas {
public:
    MemoryCanvas(int width, int height, int bitsPixel = 32)
    {
        dc = CreateCompatibleDC(NULL);
        bitmap = platform::CreateBitmapObject(width, height, bitsPixel, 0x00FFFFFF);
        previous = SelectObject(dc, bitmap);
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    // The colour at device (x, y).
    COLORREF At(int x, int y) const
    {
        const platform::BitmapObject* b = platform::LookupBitmap(bitmap);
        return platform::ColorFromPixel(b->pixels.Row(y)[x]);
    }
    int Width() const { return platform::LookupBitmap(bitmap)->pixels.width; }
    int Height() const { return platform::LookupBitmap(bitmap)->pixels.height; }

    // How many pixels in the device rectangle have the colour.
    int Count(COLORREF color, RECT r) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == color;
        return n;
    }
    int Count(COLORREF color) const { return Count(color, RECT{0, 0, Width(), Height()}); }

    // The bounding box of the pixels that are not white (empty when none).
    RECT InkBox() const
    {
        RECT box{Width(), Height(), 0, 0};
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (At(x, y) != RGB(255, 255, 255)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box.left < box.right ? box : RECT{0, 0, 0, 0};
    }

    // Rows of '#' (not white) and '.' (white) for failure messages.
    std::string Picture(RECT r) const
    {
        std::string s = "\n";
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x)
                s += At(x, y) == RGB(255, 255, 255) ? '.' : '#';
            s += '\n';
        }
        return s;
    }

    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ previous = NULL;
};

inline bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace gditest
