#include "app/TransparentBitmap.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kKey = RGB(255, 0, 255);

// A 32-bit bitmap in a memory DC of its own.
struct Surface {
    Surface(int w, int h, const std::vector<COLORREF>& pixels)
    {
        std::vector<DWORD> bits(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i)
            bits[i] = (GetRValue(pixels[i]) << 16) | (GetGValue(pixels[i]) << 8) | GetBValue(pixels[i]);
        bitmap = CreateBitmap(w, h, 1, 32, bits.data());
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
};

std::vector<COLORREF> Row(HDC dc, int y, int w)
{
    std::vector<COLORREF> row;
    for (int x = 0; x < w; ++x)
        row.push_back(GetPixel(dc, x, y));
    return row;
}

TEST(TransparentBitmapTest, KeyColourLeavesTheTargetShowing)
{
    Surface target(4, 2, std::vector<COLORREF>(8, kGreen));
    Surface picture(2, 1, {kRed, kKey});
    const RECT whole{0, 0, 2, 1};
    ASSERT_TRUE(DrawTransparentBitmap(target.dc, 1, 0, 2, 1, picture.dc, whole, kKey));
    EXPECT_EQ(Row(target.dc, 0, 4), (std::vector<COLORREF>{kGreen, kRed, kGreen, kGreen}));
    EXPECT_EQ(Row(target.dc, 1, 4), std::vector<COLORREF>(4, kGreen));

    // Stretched to twice the size, from the bitmap itself.
    Surface big(4, 2, std::vector<COLORREF>(8, kBlue));
    SelectObject(picture.dc, picture.old);
    ASSERT_TRUE(DrawTransparentBitmap(big.dc, 0, 0, 4, 2, picture.bitmap, whole, kKey));
    picture.old = SelectObject(picture.dc, picture.bitmap);
    for (int y = 0; y < 2; ++y)
        EXPECT_EQ(Row(big.dc, y, 4), (std::vector<COLORREF>{kRed, kRed, kBlue, kBlue}));
}

TEST(TransparentBitmapTest, MaskDecidesWhatIsDrawnAndIsStretched)
{
    Surface target(4, 2, std::vector<COLORREF>(8, kGreen));
    Surface picture(2, 1, {kRed, kBlue});
    // White (1) where the target shows through: the first pixel.
    const BYTE maskBits[2] = {0x80, 0x00};
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskBits);
    const RECT whole{0, 0, 2, 1};
    ASSERT_TRUE(DrawTransparentBitmap(target.dc, 0, 0, 4, 2, picture.dc, whole, mask));
    for (int y = 0; y < 2; ++y)
        EXPECT_EQ(Row(target.dc, y, 4), (std::vector<COLORREF>{kGreen, kGreen, kBlue, kBlue}));
    DeleteObject(mask);
}

TEST(TransparentBitmapTest, EmptySizesDrawNothing)
{
    Surface target(2, 1, {kGreen, kGreen});
    Surface picture(1, 1, {kRed});
    EXPECT_FALSE(DrawTransparentBitmap(target.dc, 0, 0, 0, 1, picture.dc, RECT{0, 0, 1, 1}, kKey));
    EXPECT_FALSE(DrawTransparentBitmap(target.dc, 0, 0, 1, 1, picture.dc, RECT{0, 0, 0, 1}, kKey));
    EXPECT_EQ(Row(target.dc, 0, 2), (std::vector<COLORREF>{kGreen, kGreen}));
}

} // namespace
