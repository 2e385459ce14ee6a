// Icons and cursors: .ico / .cur files parsed (damaged ones refused),
// drawn with their mask or alpha, scaled, turned into bitmaps and back,
// loaded from resources, and the system icons.

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/IconData.h"
#include "platform/gdi/internal/IconImage.h"
#include "tests/gdi/DrawTestSupport.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <cairo/cairo.h> // the tests get no pkg-config include path
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace {

using gditest::MemoryCanvas;

std::string IcoDir()
{
    return std::string(THREADWICK_TESTDATA_DIR) + "/ico/";
}

const std::set<std::string> kDamaged = {
    "bin-gdk-pixbuf-tests__bad-header.ico",
    "bin-gdk-pixbuf-tests__bug776040.ico",
    "bin-gdk-pixbuf-tests__bug778204.ico",
    "bin-gdk-pixbuf-tests__bug779012.ico",
    "bin-gdk-pixbuf-tests__invalid.1.ico",
    "src-pillow__no_cursors.cur",
};

void Fill(MemoryCanvas& c, COLORREF color)
{
    for (uint32_t& p : platform::LookupBitmap(c.bitmap)->pixels.pixels)
        p = platform::PixelFromColor(color);
}

TEST(IconTest, ExtractsEveryIconOfTheFilesAndRefusesDamagedOnes)
{
    REQUIRE_TESTDATA();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(IcoDir())) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".png")
            continue;
        std::string path = entry.path().string();
        intptr_t count = reinterpret_cast<intptr_t>(ExtractIcon(NULL, path.c_str(), UINT(-1)));
        if (kDamaged.count(name)) {
            // Either no icons at all, or none that can be read.
            HICON first = count > 0 ? ExtractIcon(NULL, path.c_str(), 0) : NULL;
            EXPECT_EQ(nullptr, first) << name;
            continue;
        }
        ++files;
        ASSERT_GT(count, 0) << name;
        for (intptr_t i = 0; i < count; ++i) {
            HICON icon = ExtractIcon(NULL, path.c_str(), UINT(i));
            ASSERT_NE(nullptr, icon) << name << " #" << i;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info)) << name;
            EXPECT_EQ(name.find(".cur") == std::string::npos, info.fIcon != FALSE) << name;
            DeleteObject(info.hbmMask);
            DeleteObject(info.hbmColor);
            EXPECT_TRUE(DestroyIcon(icon));
        }
        EXPECT_EQ(nullptr, ExtractIcon(NULL, path.c_str(), UINT(count)));
    }
    EXPECT_GE(files, 18);
    EXPECT_EQ(nullptr, ExtractIcon(NULL, (IcoDir() + "missing.ico").c_str(), 0));
}

// The reference pictures of two files: the image of the size shown, drawn
// over black, matches wherever the reference is opaque, and the mask makes
// transparent what the reference leaves out.
TEST(IconTest, DrawsLikeTheReferencePictures)
{
    REQUIRE_TESTDATA();
    for (const char* stem : {"bin-gdk-pixbuf-tests__squares.ico", "bin-gdk-pixbuf-tests__bug785447.ico"}) {
        std::string path = IcoDir() + stem;
        std::string bytes = testing_support::ReadFileBytes(path);
        cairo_surface_t* ref = cairo_image_surface_create_from_png((path + ".ref.png").c_str());
        ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(ref));
        int w = cairo_image_surface_get_width(ref);
        int h = cairo_image_surface_get_height(ref);
        // The deepest image of that size.
        bool isIcon;
        std::vector<platform::IconDirEntry> entries;
        ASSERT_TRUE(platform::ReadIconDirectory(bytes.data(), bytes.size(), isIcon, entries));
        int best = -1;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].width == w && entries[i].height == h
                && (best < 0 || entries[i].bitCount >= entries[size_t(best)].bitCount))
                best = int(i);
        ASSERT_GE(best, 0) << stem;
        HICON icon = platform::CreateIconFromFileBytes(bytes.data(), bytes.size(), best);
        ASSERT_NE(nullptr, icon);

        MemoryCanvas canvas(w, h);
        Fill(canvas, RGB(0, 0, 0));
        ASSERT_TRUE(DrawIconEx(canvas.dc, 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL));
        const platform::IconObject* object = platform::LookupIcon(icon);
        const unsigned char* data = cairo_image_surface_get_data(ref);
        int stride = cairo_image_surface_get_stride(ref);
        int bad = 0;
        for (int y = 0; y < h && bad < 3; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < w && bad < 3; ++x) {
                uint32_t r = row[x];
                size_t i = size_t(y) * size_t(w) + size_t(x);
                if ((r >> 24) == 0xFF) {
                    uint32_t ours = platform::PixelFromColor(canvas.At(x, y));
                    if (ours != (r & 0xFFFFFF)) {
                        ++bad;
                        ADD_FAILURE() << stem << " at " << x << "," << y << std::hex << " ours " << ours << " ref " << r;
                    }
                } else if ((r >> 24) == 0 && object->mask[i] == 0) {
                    ++bad;
                    ADD_FAILURE() << stem << " opaque at " << x << "," << y;
                }
            }
        }
        cairo_surface_destroy(ref);
        DestroyIcon(icon);
    }
}

TEST(IconTest, MaskAndImageCombineWithWhatIsThere)
{
    // 2 x 1: an opaque red pixel, and a transparent one whose image is white
    // (which inverts the screen, as cursors do).
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, "\x40\x00");
    HBITMAP color = CreateBitmap(2, 1, 1, 32, "\x00\x00\xFF\x00\xFF\xFF\xFF\x00");
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, icon);
    MemoryCanvas c(4, 2);
    Fill(c, RGB(0x10, 0x20, 0x30));
    ASSERT_TRUE(DrawIconEx(c.dc, 1, 0, icon, 0, 0, 0, NULL, DI_NORMAL));
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), c.At(0, 0));
    EXPECT_EQ(RGB(255, 0, 0), c.At(1, 0));
    EXPECT_EQ(RGB(0xEF, 0xDF, 0xCF), c.At(2, 0));
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), c.At(3, 0));

    // The mask alone, then the image alone.
    Fill(c, RGB(0x10, 0x20, 0x30));
    ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, NULL, DI_MASK));
    EXPECT_EQ(RGB(0, 0, 0), c.At(0, 0));
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), c.At(1, 0));
    ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, NULL, DI_IMAGE));
    EXPECT_EQ(RGB(255, 255, 255), c.At(1, 0));
    EXPECT_FALSE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, NULL, 0));

    // Scaled to 4 x 2 by nearest pixel, with a flicker-free background.
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 4, 2, 0, blue, DI_NORMAL));
    EXPECT_EQ(RGB(255, 0, 0), c.At(1, 1));
    EXPECT_EQ(RGB(255, 255, 0), c.At(3, 1)); // blue inverted
    DeleteObject(blue);

    // Alpha: a half-transparent pixel blends, a clear one leaves the screen.
    platform::IconObject* object = platform::LookupIcon(icon);
    object->alpha = {128, 0};
    Fill(c, RGB(0, 0, 0));
    ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL));
    EXPECT_EQ(RGB(128, 0, 0), c.At(0, 0));
    EXPECT_EQ(RGB(0, 0, 0), c.At(1, 0));

    // The icon's colour bitmap carries the alpha, as 32-bit DIB bits give
    // it back; an icon without alpha gives zero bytes there.
    for (bool withAlpha : {true, false}) {
        object->alpha = withAlpha ? std::vector<uint8_t>{128, 0} : std::vector<uint8_t>{};
        ICONINFO got{};
        ASSERT_TRUE(GetIconInfo(icon, &got));
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        uint32_t bits[2] = {};
        ASSERT_EQ(1, GetDIBits(c.dc, got.hbmColor, 0, 1, bits, &bi, DIB_RGB_COLORS));
        EXPECT_EQ(withAlpha ? 0x80FF0000u : 0x00FF0000u, bits[0]);
        EXPECT_EQ(0u, bits[1] >> 24);
        DeleteObject(got.hbmColor);
        DeleteObject(got.hbmMask);
    }

    DestroyIcon(icon);
    DeleteObject(mask);
    DeleteObject(color);
}

TEST(IconTest, IconInfoAndCreateIconIndirectRoundTrip)
{
    REQUIRE_TESTDATA();
    std::string bytes = testing_support::ReadFileBytes(IcoDir() + "src-graphicsmagick__input.ico");
    HICON icon = platform::CreateIconFromFileBytes(bytes.data(), bytes.size(), 0);
    ASSERT_NE(nullptr, icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(16u, info.xHotspot);
    BITMAP bm{};
    GetObject(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(1, bm.bmBitsPixel);
    EXPECT_EQ(32, bm.bmHeight);
    HICON again = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, again);
    const platform::IconObject* a = platform::LookupIcon(icon);
    const platform::IconObject* b = platform::LookupIcon(again);
    EXPECT_EQ(a->mask, b->mask);
    EXPECT_EQ(a->color.pixels, b->color.pixels);
    HICON copy = CopyIcon(again);
    EXPECT_EQ(a->color.pixels, platform::LookupIcon(copy)->color.pixels);

    // A monochrome cursor: no colour bitmap, a mask twice as high holding
    // the AND mask above the image; the hot spot from the file.
    std::string cursor = testing_support::ReadFileBytes(IcoDir() + "github-haraldk_TwelveMonkeys__hand.cur");
    HICON hand = platform::CreateIconFromFileBytes(cursor.data(), cursor.size(), 0);
    ICONINFO handInfo{};
    ASSERT_TRUE(GetIconInfo(hand, &handInfo));
    EXPECT_FALSE(handInfo.fIcon);
    EXPECT_EQ(nullptr, handInfo.hbmColor);
    EXPECT_EQ(uint8_t(cursor[10]), handInfo.xHotspot);
    EXPECT_EQ(uint8_t(cursor[12]), handInfo.yHotspot);
    GetObject(handInfo.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(64, bm.bmHeight);
    HICON rebuilt = CreateIconIndirect(&handInfo);
    ASSERT_NE(nullptr, rebuilt);
    EXPECT_EQ(platform::LookupIcon(hand)->mask, platform::LookupIcon(rebuilt)->mask);
    platform::IconPixels pixels;
    ASSERT_TRUE(platform::GetIconPixels(rebuilt, pixels));
    EXPECT_EQ(LONG(handInfo.xHotspot), pixels.hotspot.x);

    for (HBITMAP h : {info.hbmMask, info.hbmColor, handInfo.hbmMask})
        DeleteObject(h);
    for (HICON h : {icon, again, copy, hand, rebuilt})
        EXPECT_TRUE(DestroyIcon(h));
    // Stale handles.
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(GetIconInfo(icon, &info));
    MemoryCanvas c(2, 2);
    EXPECT_FALSE(DrawIcon(c.dc, 0, 0, icon));
    EXPECT_EQ(nullptr, CopyIcon(icon));
    ICONINFO noMask{TRUE, 0, 0, NULL, NULL};
    EXPECT_EQ(nullptr, CreateIconIndirect(&noMask));
}

TEST(IconTest, SystemIconsAreDrawnSharedAndSurviveDestroyIcon)
{
    HICON app = LoadIcon(NULL, IDI_APPLICATION);
    ASSERT_NE(nullptr, app);
    EXPECT_EQ(app, LoadIcon(NULL, IDI_APPLICATION));
    EXPECT_TRUE(DestroyIcon(app));
    EXPECT_NE(nullptr, platform::LookupIcon(app));
    for (LPCSTR id : {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_WINLOGO})
        EXPECT_NE(nullptr, LoadIcon(NULL, id));
    EXPECT_EQ(nullptr, LoadIcon(NULL, MAKEINTRESOURCE(32600)));

    // DrawIcon draws at 32 x 32; DrawIconEx at any size.
    MemoryCanvas c(40, 40);
    ASSERT_TRUE(DrawIcon(c.dc, 4, 4, LoadIcon(NULL, IDI_HAND)));
    RECT ink = c.InkBox();
    EXPECT_GE(ink.left, 4);
    EXPECT_LE(ink.right, 36);
    EXPECT_GT(ink.right - ink.left, 24);
    MemoryCanvas small(20, 20);
    ASSERT_TRUE(DrawIconEx(small.dc, 2, 2, LoadIcon(NULL, IDI_HAND), 16, 16, 0, NULL, DI_NORMAL));
    ink = small.InkBox();
    EXPECT_GE(ink.left, 2);
    EXPECT_LE(ink.right, 18);
    EXPECT_GT(small.Count(RGB(255, 255, 255), RECT{2, 2, 18, 18}), 0);
}

// An ICON resource (a 2 x 2 4-bit image over its mask) and a CURSOR one.
struct IconResource {
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 4, 1, 4, BI_RGB, 0, 0, 0, 16, 0};
    RGBQUAD colors[16] = {{0, 0, 0, 0}, {0, 0, 255, 0}};
    uint8_t image[8] = {0x11, 0, 0, 0, 0x10, 0, 0, 0}; // bottom row red red, top row red black
    uint8_t mask[8] = {0, 0, 0, 0, 0x40, 0, 0, 0};     // top row: the right pixel clear
};
struct CursorResource {
    uint16_t hotspot[2] = {1, 0};
    IconResource icon;
};
const IconResource kIcon;
const CursorResource kCursor;
const platform::ResourceEntry kIconEntries[] = {
    {nullptr, 3, nullptr, 61101, &kIcon, sizeof kIcon},
    {nullptr, 1, "POINTER", 0, &kCursor, sizeof kCursor},
    {nullptr, 3, nullptr, 61102, &kIcon, 30},
};

TEST(IconTest, LoadsIconsAndCursorsFromResources)
{
    platform::RegisterResourceModule(
        platform::ResourceModule::Support, platform::ResourceTable{kIconEntries, 3, nullptr, 0});
    HINSTANCE support = platform::GetResourceModuleHandle(platform::ResourceModule::Support);
    HICON icon = LoadIcon(support, MAKEINTRESOURCE(61101));
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(icon, LoadIcon(support, MAKEINTRESOURCE(61101)));
    MemoryCanvas c(2, 2);
    ASSERT_TRUE(DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL));
    EXPECT_EQ(RGB(255, 0, 0), c.At(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), c.At(1, 0));
    EXPECT_EQ(RGB(255, 0, 0), c.At(1, 1));
    EXPECT_EQ(nullptr, LoadIcon(support, MAKEINTRESOURCE(61102))); // cut short
    EXPECT_EQ(nullptr, LoadIcon(support, MAKEINTRESOURCE(61103)));

    HICON cursor = platform::LoadCursorResource(support, "pointer");
    ASSERT_NE(nullptr, cursor);
    platform::IconPixels pixels;
    ASSERT_TRUE(platform::GetIconPixels(cursor, pixels));
    EXPECT_FALSE(pixels.isIcon);
    EXPECT_EQ(1, pixels.hotspot.x);
    EXPECT_EQ(0xFFFF0000u, pixels.argb[0]);
    EXPECT_EQ(0x00000000u, pixels.argb[1]);
}

} // namespace
