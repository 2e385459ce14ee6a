#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A 64 x 64 memory DC with a white background.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(64, 64, 1, 32, nullptr);
    HGDIOBJ old = nullptr;
    Canvas()
    {
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, 64, 64};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> out;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                out.push_back(GetPixel(dc, x, y));
        return out;
    }
};

void DrawLine(HDC dc, UINT style, POINT a, POINT b)
{
    HPEN pen = CreatePen(int(style), 0, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    SetBkMode(dc, TRANSPARENT);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// A line that runs far outside the bitmap lights exactly the pixels it
// lights when the same stretch is drawn on a bitmap large enough to hold it
// all, dashes in step.
TEST(LineClip, LongLinesLightTheSamePixelsAsWhenDrawnWhole)
{
    for (UINT style : {UINT(PS_SOLID), UINT(PS_DASH), UINT(PS_DOT), UINT(PS_DASHDOTDOT)}) {
        const POINT a{-3000, -1000};
        const POINT b{3000, 1037};
        Canvas clipped;
        DrawLine(clipped.dc, style, a, b);

        // The reference: the same line offset into a big bitmap, read back at
        // the window the small one sees.
        HDC big = CreateCompatibleDC(nullptr);
        HBITMAP bits = CreateBitmap(6100, 2100, 1, 32, nullptr);
        HGDIOBJ old = SelectObject(big, bits);
        RECT all{0, 0, 6100, 2100};
        FillRect(big, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawLine(big, style, POINT{a.x + 3010, a.y + 1010}, POINT{b.x + 3010, b.y + 1010});
        std::vector<COLORREF> reference;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                reference.push_back(GetPixel(big, x + 3010, y + 1010));
        SelectObject(big, old);
        DeleteObject(bits);
        DeleteDC(big);

        EXPECT_EQ(clipped.Pixels(), reference) << "style " << style;
    }
}

// Coordinates from a damaged metafile must not make a line walk billions of
// pixels it can never paint.
TEST(LineClip, HugeLinesFinishAndPaintTheirVisiblePart)
{
    Canvas c;
    DrawLine(c.dc, PS_DOT, POINT{-2000000000, 10}, POINT{2000000000, 10});
    DrawLine(c.dc, PS_SOLID, POINT{20, -2000000000}, POINT{20, 2000000000});
    EXPECT_EQ(GetPixel(c.dc, 20, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(c.dc, 20, 63), RGB(0, 0, 0));
    int lit = 0;
    for (int x = 0; x < 64; ++x)
        lit += GetPixel(c.dc, x, 10) == RGB(0, 0, 0);
    EXPECT_GT(lit, 10);
    EXPECT_LT(lit, 64);
}

} // namespace
