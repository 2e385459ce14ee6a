#include "tests/ui/InputTestFixture.h"

#include "platform/gdi/IconData.h"

#include <set>
#include <vector>

using namespace uitest;

namespace {

class CursorTest : public InputTest { };

TEST_F(CursorTest, SystemCursorsAreSharedDistinctPicturesWithHotSpotsOnInk)
{
    const LPCSTR ids[] = {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_CROSS, IDC_SIZENESW, IDC_SIZENWSE, IDC_SIZENS,
        IDC_SIZEWE, IDC_SIZEALL, IDC_NO, IDC_HAND, IDC_APPSTARTING};
    std::set<std::vector<uint32_t>> pictures;
    for (LPCSTR id : ids) {
        HCURSOR c = LoadCursor(NULL, id);
        ASSERT_NE(c, HCURSOR(NULL)) << uintptr_t(id);
        EXPECT_EQ(LoadCursor(NULL, id), c);
        platform::IconPixels px;
        ASSERT_TRUE(platform::GetIconPixels(c, px));
        EXPECT_FALSE(px.isIcon);
        EXPECT_EQ(px.width, 32);
        EXPECT_EQ(px.height, 32);
        // The hot spot is on the picture (or right beside it) so that the
        // point that acts is the point the user sees.
        bool nearInk = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int x = px.hotspot.x + dx;
                int y = px.hotspot.y + dy;
                if (x >= 0 && y >= 0 && x < 32 && y < 32 && (px.argb[size_t(y) * 32 + size_t(x)] >> 24))
                    nearInk = true;
            }
        EXPECT_TRUE(nearInk) << uintptr_t(id);
        pictures.insert(px.argb);
        // Shared: destroying does not free it.
        EXPECT_TRUE(DestroyCursor(c));
        EXPECT_EQ(LoadCursor(NULL, id), c);
    }
    EXPECT_EQ(pictures.size(), std::size(ids));
    EXPECT_EQ(LoadCursor(NULL, MAKEINTRESOURCE(1)), HCURSOR(NULL));
    EXPECT_EQ(LoadCursor(NULL, "arrow"), HCURSOR(NULL));
}

TEST_F(CursorTest, SetCursorReturnsThePreviousAndRefusesBadHandles)
{
    HCURSOR arrow = LoadCursor(NULL, IDC_ARROW);
    HCURSOR wait = LoadCursor(NULL, IDC_WAIT);
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(wait), arrow);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(HCURSOR(uintptr_t(0x12345))), HCURSOR(NULL));
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(NULL), wait);
    EXPECT_EQ(GetCursor(), HCURSOR(NULL));
}

TEST_F(CursorTest, ShowCursorKeepsACount)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
}

TEST_F(CursorTest, PositionIsInjectableAndKeptInsideTheClipRectangle)
{
    platform::headless::SetCursorPosition(40, 50);
    POINT p{};
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 40);
    EXPECT_EQ(p.y, 50);

    RECT clip{100, 100, 200, 150};
    ASSERT_TRUE(ClipCursor(&clip));
    RECT got{};
    GetClipCursor(&got);
    EXPECT_EQ(got.left, 100);
    EXPECT_EQ(got.bottom, 150);
    SetCursorPos(500, 10);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 199);
    EXPECT_EQ(p.y, 100);

    ClipCursor(NULL);
    SetCursorPos(5000, -5);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, GetSystemMetrics(SM_CXSCREEN) - 1);
    EXPECT_EQ(p.y, 0);
}

} // namespace
