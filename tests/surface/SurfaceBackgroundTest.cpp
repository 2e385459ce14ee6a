// A background painter of its own: the picture file it loads at the first
// paint, tile counts that stretch the picture, tiles that follow a window's
// scrolling, bitmaps whose size cannot be read, and saving a new picture
// over its file without ever leaving a damaged one.

#include "tests/surface/SurfaceTestSupport.h"

#include "app/Paths.h"
#include "platform/files/FileApi.h"
#include "platform/files/HostPath.h"
#include "platform/files/SafeReplace.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "surface/SurfaceBackground.h"
#include "tests/support/TestHome.h"
#include "tests/support/MemoryCanvas.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace surfacetest {
namespace {

// Pixel (x, y) of the test bitmaps: the left half of a picture is dark
// red, the right half light blue, with the row in green so that rows can be
// told apart.
COLORREF Colour(int x, int y, int w)
{
    return x < w / 2 ? RGB(120, (y * 7) % 256, 0) : RGB(0, (y * 7) % 256, 220);
}

HBITMAP MakeBitmap(int w, int h)
{
    CClientDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(screen.GetSafeHdc(), w, h);
    HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), hBitmap);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            dc.SetPixel(x, y, Colour(x, y, w));
    }
    ::SelectObject(dc.GetSafeHdc(), hOld);
    return hBitmap;
}

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 12 && std::abs(GetGValue(a) - GetGValue(b)) <= 12
        && std::abs(GetBValue(a) - GetBValue(b)) <= 12;
}

using Canvas = testing_support::MemoryCanvas;

class SurfaceBackgroundTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_dir = testing_support::MakeTempDir("surfacebackground");
        MakeDirectory(GetProgramPath("support"));
    }
    void TearDown() override
    {
        platform::SetReplaceWriteStepForTests(nullptr);
        for (const char* name : {"first.bmp", "saved.bmp"})
            ::DeleteFile(GetProgramPath("support\\", SupportName(name).c_str()));
        SurfaceTest::TearDown();
    }
    CString PathOf(const std::string& name) const
    {
        return CString(platform::WindowsPathFor(m_dir + "/" + name).c_str());
    }
    std::string HostPathOf(const std::string& name) const { return m_dir + "/" + name; }

    // Writes the bitmap as a picture file in the program's support folder
    // through a painter that saves; the file's Windows path.
    CString WriteThrough(const std::string& name, HBITMAP hBitmap)
    {
        const std::string support = SupportName(name);
        CSurfaceBackground painter(RGB(0, 0, 0), support.c_str(), FALSE);
        EXPECT_TRUE(painter.SetBitmap(hBitmap, TRUE));
        return painter.GetPathName();
    }

    // A name under the program's support folder for this test's files; the
    // folder is shared by every test process running at the same time, so
    // the name carries the process.
    std::string SupportName(const std::string& name) const
    {
        return "bkgtest-" + std::to_string(::getpid()) + "-" + name;
    }

    std::string m_dir;
};

TEST_F(SurfaceBackgroundTest, TileCountsStretchThePictureAndCountsBelowOneMeanItsOwnSize)
{
    CSurfaceBackground painter(RGB(9, 9, 9), nullptr, TRUE);
    painter.SetBitmap(MakeBitmap(300, 200));
    ASSERT_EQ(painter.GetFlags(), CSurfaceBackground::kTiled);

    painter.SetTileCounts(4, -1);
    SIZE tile = painter.TileSize(SIZE{1000, 700});
    EXPECT_EQ(tile.cx, 250);
    EXPECT_EQ(tile.cy, 166);
    // Across wins over down.
    painter.SetTileCounts(4, 7);
    tile = painter.TileSize(SIZE{1000, 700});
    EXPECT_EQ(tile.cx, 250);
    painter.SetTileCounts(-1, 2);
    tile = painter.TileSize(SIZE{1000, 700});
    EXPECT_EQ(tile.cx, 525);
    EXPECT_EQ(tile.cy, 350);
    for (int n : {0, -1, -40}) {
        painter.SetTileCounts(n, n);
        tile = painter.TileSize(SIZE{1000, 700});
        EXPECT_EQ(tile.cx, 300) << n;
        EXPECT_EQ(tile.cy, 200) << n;
    }
    // So many tiles that one would be less than a pixel: still a pixel.
    painter.SetTileCounts(5000, -1);
    tile = painter.TileSize(SIZE{1000, 700});
    EXPECT_EQ(tile.cx, 1);
    EXPECT_EQ(tile.cy, 1);

    // Painted: four stretched tiles across, each showing the whole picture.
    painter.SetTileCounts(4, -1);
    Canvas canvas(1000, 400);
    const RECT area{0, 0, 1000, 400};
    painter.Paint(canvas.DC(), nullptr, &area);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(GetRValue(canvas.At(i * 250 + 10, 50)), 120);
        EXPECT_EQ(GetBValue(canvas.At(i * 250 + 240, 50)), 220);
        // The next row of tiles starts 166 pixels down, like the first.
        EXPECT_EQ(canvas.At(i * 250 + 10, 166 + 3), canvas.At(i * 250 + 10, 3));
    }
    // Stretched, not cut: the halves meet in the middle of the tile.
    EXPECT_EQ(GetRValue(canvas.At(120, 50)), 120);
    EXPECT_EQ(GetBValue(canvas.At(130, 50)), 220);
}

TEST_F(SurfaceBackgroundTest, AnUnreadableBitmapTilesAsTenByTenAndPaintsWithoutHarm)
{
    CSurfaceBackground painter(RGB(9, 9, 9), nullptr, TRUE);
    // A handle that names no bitmap at all.
    painter.SetBitmap(reinterpret_cast<HBITMAP>(static_cast<intptr_t>(0x7ABC0123)));
    EXPECT_EQ(painter.GetFlags(), CSurfaceBackground::kTiled);
    EXPECT_EQ(painter.GetBitmapSize().cx, CSurfaceBackground::kUnknownSide);
    EXPECT_EQ(painter.GetBitmapSize().cy, CSurfaceBackground::kUnknownSide);
    Canvas canvas(40, 30);
    painter.Paint(canvas.DC(), nullptr, nullptr);
    painter.SetTileCounts(3, -1);
    painter.Paint(canvas.DC(), nullptr, nullptr);
    painter.SetBitmap(NULL);
    EXPECT_EQ(painter.GetFlags(), CSurfaceBackground::kColorOnly);
}

TEST_F(SurfaceBackgroundTest, TilesFollowTheScrollPositionOfTheirWindow)
{
    HWND hWnd = ::CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 200, 200,
        m_pMain->GetSafeHwnd(), NULL, NULL, NULL);
    ASSERT_NE(hWnd, nullptr);
    CWnd wnd;
    wnd.Attach(hWnd);
    wnd.SetScrollRange(SB_HORZ, 0, 1000, FALSE);
    wnd.SetScrollRange(SB_VERT, 0, 1000, FALSE);

    CSurfaceBackground painter(RGB(9, 9, 9), nullptr, TRUE);
    painter.SetBitmap(MakeBitmap(30, 20));
    painter.SetScrollWindow(&wnd);
    struct Scroll {
        int x, y;
    };
    for (const Scroll s : {Scroll{0, 0}, Scroll{7, 0}, Scroll{0, 13}, Scroll{45, 61}}) {
        SCOPED_TRACE(::testing::Message() << s.x << ", " << s.y);
        wnd.SetScrollPos(SB_HORZ, s.x, FALSE);
        wnd.SetScrollPos(SB_VERT, s.y, FALSE);
        Canvas canvas(90, 70);
        painter.Paint(canvas.DC(), nullptr, nullptr);
        for (int y = 0; y < 70; y += 3) {
            for (int x = 0; x < 90; x += 2)
                ASSERT_EQ(canvas.At(x, y), Colour((x + s.x) % 30, (y + s.y) % 20, 30)) << x << ", " << y;
        }
        // A given rectangle is in the caller's own place: no scrolling.
        Canvas part(90, 70);
        const RECT area{0, 0, 90, 70};
        painter.Paint(part.DC(), nullptr, &area);
        EXPECT_EQ(part.At(0, 0), Colour(0, 0, 30));
    }
    painter.SetScrollWindow(nullptr);
    wnd.Detach();
    ::DestroyWindow(hWnd);
}

TEST_F(SurfaceBackgroundTest, AFileIsLoadedAtTheFirstPaintAndOnlyOnce)
{
    const CString strFile = WriteThrough("first.bmp", MakeBitmap(12, 6));
    ASSERT_TRUE(FileExists(strFile));
    EXPECT_EQ(strFile, GetProgramPath("support\\", SupportName("first.bmp").c_str()));

    CSurfaceBackground painter(RGB(40, 50, 60), strFile, TRUE);
    EXPECT_EQ(painter.GetFlags(), CSurfaceBackground::kLoadPending | CSurfaceBackground::kColorOnly);
    Canvas canvas(30, 20);
    painter.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(painter.GetFlags(), CSurfaceBackground::kTiled);
    EXPECT_EQ(painter.GetBitmapSize().cx, 12);
    EXPECT_EQ(painter.GetBitmapSize().cy, 6);
    // The file is stored compressed: the colours come back within a few
    // levels.
    EXPECT_TRUE(Near(canvas.At(13, 1), Colour(1, 1, 12)));
    EXPECT_TRUE(Near(canvas.At(20, 8), Colour(8, 2, 12)));
    EXPECT_TRUE(Near(canvas.At(12 + 11, 6 + 5), Colour(11, 5, 12)));

    // The same file again is not read again, even when it has gone.
    ::DeleteFile(strFile);
    EXPECT_TRUE(painter.SetImageFile(strFile));
    EXPECT_EQ(painter.GetBitmapSize().cx, 12);
    painter.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(painter.GetFlags(), CSurfaceBackground::kTiled);

    // A file that is not there paints the colour from the start.
    CSurfaceBackground missing(RGB(40, 50, 60), strFile, TRUE);
    EXPECT_EQ(missing.GetFlags(), CSurfaceBackground::kColorOnly);
    missing.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(canvas.At(5, 5), RGB(40, 50, 60));
    // Nor does one that is not a picture.
    testing_support::WriteFileBytes(HostPathOf("junk.jpg"), "not a picture at all");
    CSurfaceBackground junk(RGB(40, 50, 60), PathOf("junk.jpg"), TRUE);
    EXPECT_NE(junk.GetFlags() & CSurfaceBackground::kLoadPending, 0);
    junk.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(junk.GetFlags(), CSurfaceBackground::kColorOnly);
    EXPECT_EQ(canvas.At(5, 5), RGB(40, 50, 60));
}

TEST_F(SurfaceBackgroundTest, SavingReplacesTheFileWholeOrNotAtAll)
{
    const CString strFile = WriteThrough("saved.bmp", MakeBitmap(16, 10));
    const std::string hostPath = platform::HostPathForReading(std::string_view(strFile));
    const std::string before = testing_support::ReadFileBytes(hostPath);
    ASSERT_FALSE(before.empty());

    // A disk that fails midway: the old picture stays byte for byte.
    platform::SetReplaceWriteStepForTests([](int, const void*, size_t) {
        errno = ENOSPC;
        return false;
    });
    {
        // The file waiting to be loaded is superseded by the new picture.
        CSurfaceBackground painter(RGB(0, 0, 0), SupportName("saved.bmp").c_str(), FALSE);
        ASSERT_NE(painter.GetFlags() & CSurfaceBackground::kLoadPending, 0);
        EXPECT_FALSE(painter.SetBitmap(MakeBitmap(40, 30), TRUE));
        EXPECT_EQ(painter.GetFlags(), CSurfaceBackground::kTiled);
        Canvas canvas(50, 40);
        painter.Paint(canvas.DC(), nullptr, nullptr);
        EXPECT_EQ(painter.GetBitmapSize().cx, 40);
    }
    platform::SetReplaceWriteStepForTests(nullptr);
    EXPECT_EQ(testing_support::ReadFileBytes(hostPath), before);
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(hostPath).parent_path()))
        EXPECT_NE(entry.path().filename().string().rfind("." + SupportName("saved.bmp"), 0), 0u) << entry.path();

    // A painter that must not save leaves the file alone.
    {
        CSurfaceBackground painter(RGB(0, 0, 0), strFile, TRUE);
        EXPECT_TRUE(painter.SetBitmap(MakeBitmap(40, 30), TRUE));
        EXPECT_TRUE(painter.SetBitmap(NULL, TRUE));
    }
    EXPECT_EQ(testing_support::ReadFileBytes(hostPath), before);

    // A working save: the new picture loads back at its size.
    WriteThrough("saved.bmp", MakeBitmap(40, 30));
    CSurfaceBackground reader(RGB(0, 0, 0), strFile, TRUE);
    Canvas canvas(50, 40);
    reader.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(reader.GetBitmapSize().cx, 40);
    EXPECT_EQ(reader.GetBitmapSize().cy, 30);

    // No picture: the file goes.
    {
        CSurfaceBackground painter(RGB(0, 0, 0), SupportName("saved.bmp").c_str(), FALSE);
        Canvas loaded(50, 40);
        painter.Paint(loaded.DC(), nullptr, nullptr);
        EXPECT_TRUE(painter.SetBitmap(NULL, TRUE));
    }
    EXPECT_FALSE(std::filesystem::exists(hostPath));
}

// The tile shipped in the support folder is what a first run paints.
TEST_F(SurfaceBackgroundTest, TheShippedTileLoadsAsATiledPicture)
{
    const CString strShipped(
        platform::WindowsPathFor(std::string(THREADWICK_SOURCE_DIR) + "/resources/support/bkgimage.jpg").c_str());
    CSurfaceBackground painter(RGB(0, 0, 0), strShipped, TRUE);
    Canvas canvas(300, 200);
    painter.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(painter.GetFlags(), CSurfaceBackground::kTiled);
    EXPECT_EQ(painter.GetBitmapSize().cx, 128);
    EXPECT_EQ(painter.GetBitmapSize().cy, 128);
    // Light and even: no black gaps between the tiles.
    for (int x = 0; x < 300; x += 7) {
        const COLORREF c = canvas.At(x, 130);
        EXPECT_GT(GetRValue(c), 170) << x;
        EXPECT_GT(GetBValue(c), 160) << x;
    }
}

} // namespace
} // namespace surfacetest
