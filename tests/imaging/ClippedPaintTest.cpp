// A stretched or shrunk picture painted through a clip of many rectangles
// (a turned picture's outline, an update region) shows, inside the clip,
// exactly the pixels the same paint gives without a clip, and nothing
// outside it.

#include "platform/gdi/Gdi.h"
#include "platform/imaging/Imaging.h"
#include "tests/gdi/DrawTestSupport.h"
#include "tests/imaging/PictureCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using gditest::MemoryCanvas;

namespace {

constexpr int kCanvas = 90;
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Case {
    const char* name;
    int width, height; // the picture
    int bits;
    RECT to;           // reversed sides mirror
};

std::string Where(const Case& c, int x, int y)
{
    return std::string(c.name) + " at " + std::to_string(x) + "," + std::to_string(y);
}

TEST(ImagingClippedPaint, AClipOfManyPiecesCutsTheUnclippedPaintAndChangesNoPixel)
{
    const Case cases[] = {
        { "grown", 23, 17, 32, { 5, 4, 80, 70 } },
        { "shrunk", 131, 97, 32, { 6, 3, 85, 86 } },
        { "grown and mirrored", 29, 19, 32, { 84, 80, 7, 6 } },
        { "shrunk, 24 bits", 140, 120, 24, { 2, 88, 88, 2 } },
    };
    // A diamond (one piece for each row or two) and two far-apart squares.
    const POINT diamond[] = { { 45, 2 }, { 88, 45 }, { 45, 88 }, { 2, 45 } };
    for (const Case& c : cases) {
        LTBITMAP picture = imaging_test::Pattern(c.width, c.height, c.bits);
        if (c.bits == 32) {
            // Clear, half and solid pixels side by side.
            for (size_t i = 3; i < picture.Pixels.size(); i += 4)
                picture.Pixels[i] = BYTE((i / 4) % 3 == 0 ? 0 : (i / 4) % 3 == 1 ? 128 : 255);
        }
        MemoryCanvas whole(kCanvas, kCanvas);
        ASSERT_EQ(LtPaintDC(whole.dc, &picture, nullptr, nullptr, &c.to, nullptr, SRCCOPY), LT_SUCCESS);

        HRGN shapes[2] = { CreatePolygonRgn(diamond, 4, WINDING), CreateRectRgn(3, 3, 9, 9) };
        HRGN far = CreateRectRgn(80, 78, 86, 85);
        CombineRgn(shapes[1], shapes[1], far, RGN_OR);
        DeleteObject(far);
        for (HRGN shape : shapes) {
            MemoryCanvas clipped(kCanvas, kCanvas);
            SelectClipRgn(clipped.dc, shape);
            ASSERT_EQ(LtPaintDC(clipped.dc, &picture, nullptr, nullptr, &c.to, nullptr, SRCCOPY), LT_SUCCESS);
            int inside = 0;
            for (int y = 0; y < kCanvas; ++y) {
                for (int x = 0; x < kCanvas; ++x) {
                    if (PtInRegion(shape, x, y)) {
                        ++inside;
                        ASSERT_EQ(clipped.At(x, y), whole.At(x, y)) << Where(c, x, y);
                    } else {
                        ASSERT_EQ(clipped.At(x, y), kWhite) << Where(c, x, y);
                    }
                }
            }
            EXPECT_GT(inside, 60) << c.name;
            DeleteObject(shape);
        }
    }
}

} // namespace
