// The program's pictures as the program meets them: toolbars whose button
// lists fit their strips, menu bitmaps loaded from the support library's
// handle, the cursor set's cursors with their hot spots, and pictures of the
// sizes their users lay out for.

#include "tools/artgen/CursorArt.h"
#include "tools/artgen/Lettering.h"
#include "tools/artgen/MenuBitmaps.h"
#include "tools/artgen/PictureArt.h"
#include "tools/artgen/ToolbarArt.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/gdi/Gdi.h"
#include "platform/services/Modules.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"
#include "resources/resource.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

struct DibSize {
    int width = 0;
    int height = 0;
    int bitCount = 0;
};

int32_t I32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

const uint8_t* ResourceData(HINSTANCE module, int id, LPCSTR type, DWORD* size = nullptr)
{
    HRSRC info = FindResource(module, MAKEINTRESOURCE(id), type);
    if (!info)
        return nullptr;
    if (size)
        *size = SizeofResource(module, info);
    return static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
}

DibSize BitmapResourceSize(HINSTANCE module, int id)
{
    const uint8_t* dib = ResourceData(module, id, RT_BITMAP);
    if (!dib)
        return {};
    return {I32(dib + 4), I32(dib + 8), dib[14] | dib[15] << 8};
}

class ResourceArtTest : public testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        threadwick::RegisterSupportResources();
    }
};

TEST_F(ResourceArtTest, EachToolbarListsTheGeneratorsButtonsAndItsStripHasOneCellPerButton)
{
    HINSTANCE program = AfxGetInstanceHandle();
    std::set<int> ids;
    for (const artgen::ToolbarArt& bar : artgen::MakeToolbars()) {
        for (const artgen::ToolbarLook& look : bar.looks) {
            SCOPED_TRACE(look.file);
            ids.insert(look.resourceId);
            const platform::ToolbarTemplate* toolbar = platform::FindToolbar(program, MAKEINTRESOURCE(look.resourceId));
            ASSERT_NE(toolbar, nullptr);
            EXPECT_EQ(toolbar->width, artgen::ToolbarCellWidth(look.large));
            EXPECT_EQ(toolbar->height, artgen::ToolbarCellHeight(look.large));
            ASSERT_EQ(toolbar->count, bar.buttons.size());
            int buttons = 0;
            for (size_t i = 0; i < bar.buttons.size(); ++i) {
                EXPECT_EQ(int(toolbar->items[i]), bar.buttons[i].command) << "item " << i;
                buttons += bar.buttons[i].command != 0 ? 1 : 0;
            }
            DibSize strip = BitmapResourceSize(program, look.resourceId);
            EXPECT_EQ(strip.width, buttons * int(toolbar->width));
            EXPECT_EQ(strip.height, int(toolbar->height));
            EXPECT_EQ(strip.bitCount, 24) << "opaque, the ground grey standing for transparency";
        }
    }
    // Small plain, small colour, large plain, large colour of both bars.
    EXPECT_EQ(ids, (std::set<int>{2, 334, 333, 335, 163, 337, 336, 338}));
}

TEST_F(ResourceArtTest, StripCellsShowTheirGlyphPlainLooksInGreyColourLooksInColour)
{
    const artgen::Rgb ground = artgen::kStripGround;
    for (const artgen::ToolbarArt& bar : artgen::MakeToolbars()) {
        for (const artgen::ToolbarLook& look : bar.looks) {
            SCOPED_TRACE(look.file);
            artgen::Image strip = artgen::DrawToolbarStrip(bar, look);
            const int cell = artgen::ToolbarCellWidth(look.large);
            std::vector<int> inked(size_t(strip.width / cell), 0);
            bool anyColour = false;
            for (int y = 0; y < strip.height; ++y) {
                for (int x = 0; x < strip.width; ++x) {
                    const uint8_t* px = &strip.rgba[(size_t(y) * size_t(strip.width) + size_t(x)) * 4];
                    ASSERT_EQ(px[3], 255);
                    if (px[0] != px[1] || px[1] != px[2])
                        anyColour = true;
                    if (px[0] != ground.r || px[1] != ground.g || px[2] != ground.b)
                        ++inked[size_t(x / cell)];
                }
            }
            EXPECT_EQ(anyColour, look.colour);
            for (size_t i = 0; i < inked.size(); ++i)
                EXPECT_GT(inked[i], cell * 2) << "cell " << i << " is (nearly) empty";
        }
    }
}

TEST_F(ResourceArtTest, MenuBitmapsLoadThroughTheSupportLibrarysHandleInTheApplicationsOrder)
{
    const std::string program = testing_support::MakeTempDir("menubitmaps");
    platform::SetProgramFolderForTests(program);
    HMODULE library = LoadLibrary((platform::WindowsPathFor(program) + "\\support\\kqawr321.dll").c_str());
    ASSERT_NE(library, nullptr);

    const int order[27] = {0x217, 0x218, 0x219, 0x21A, 0x21B, 0x224, 0x21D, 0x21E, 0x220, 0x221, 0x222, 0x22C, 0x233,
        0x21C, 0x223, 0x228, 0x234, 0x229, 0x235, 0x22A, 0x22B, 0x27C, 0x27D, 0x4BB, 0x27E, 0x27F, 0x4A7};
    std::vector<artgen::MenuBitmapArt> art = artgen::MakeMenuBitmaps();
    ASSERT_EQ(art.size(), 27u);
    for (size_t i = 0; i < 27; ++i) {
        SCOPED_TRACE(order[i]);
        EXPECT_EQ(art[i].id, order[i]);
        HBITMAP bitmap = LoadBitmap(library, MAKEINTRESOURCE(order[i]));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_EQ(GetObject(bitmap, sizeof info, &info), int(sizeof info));
        EXPECT_EQ(info.bmWidth, artgen::kMenuBitmapSize);
        EXPECT_EQ(info.bmHeight, artgen::kMenuBitmapSize);
        DeleteObject(bitmap);
        // They belong to the library, not to the program.
        EXPECT_EQ(FindResource(AfxGetInstanceHandle(), MAKEINTRESOURCE(order[i]), RT_BITMAP), nullptr);
    }
    EXPECT_TRUE(FreeLibrary(library));
    platform::SetProgramFolderForTests(std::string());
}

TEST_F(ResourceArtTest, TheCursorSetsCursorsExistWithHotSpotsInside)
{
    // The 41 cursor resources of the cursor set.
    const std::set<int> expected = {264, 337, 335, 336, 334, 424, 425, 428, 427, 519, 599, 614, 616, 596, 620, 600, 601,
        522, 622, 602, 603, 598, 615, 604, 605, 521, 617, 606, 607, 595, 618, 608, 609, 520, 619, 610, 611, 597, 621,
        612, 613};
    ASSERT_EQ(expected.size(), 41u);
    std::set<int> made;
    for (const artgen::CursorArt& cursor : artgen::MakeCursors()) {
        SCOPED_TRACE(cursor.file);
        made.insert(cursor.id);
        DWORD size = 0;
        const uint8_t* data = ResourceData(AfxGetInstanceHandle(), cursor.id, RT_CURSOR, &size);
        ASSERT_NE(data, nullptr);
        ASSERT_GE(size, 4u + 40u);
        EXPECT_EQ(data[0] | data[1] << 8, cursor.hotX) << "art.rc and the generator disagree on the hot spot";
        EXPECT_EQ(data[2] | data[3] << 8, cursor.hotY);
        EXPECT_EQ(I32(data + 4 + 4), artgen::kCursorSize);
        EXPECT_EQ(I32(data + 4 + 8), 2 * artgen::kCursorSize);

        // The hot spot lies on the drawn shape or right beside it.
        artgen::Image image = artgen::DrawCursor(cursor);
        bool near = false;
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                int x = cursor.hotX + dx, y = cursor.hotY + dy;
                if (x >= 0 && y >= 0 && x < image.width && y < image.height
                    && image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4 + 3] != 0)
                    near = true;
            }
        }
        EXPECT_TRUE(near);
    }
    EXPECT_EQ(made, expected);
}

// The rotation cursors lean the way of their angle (counter-clockwise from
// straight up): the middle of what each draws lies in that direction from
// the centre.
TEST_F(ResourceArtTest, RotationCursorsPointTheWayOfTheirAngle)
{
    struct Case {
        int id;
        double degrees;
    };
    const Case cases[] = {{614, 0}, {616, 15}, {620, 30}, {600, 45}, {601, 60}, {622, 75}, {602, 90}, {603, 105},
        {615, 120}, {604, 135}, {605, 150}, {617, 165}, {606, 180}, {607, 195}, {618, 210}, {608, 225}, {609, 240},
        {619, 255}, {610, 270}, {611, 285}, {621, 300}, {612, 315}, {613, 330}, {599, 345}, {519, 0}, {596, 45},
        {522, 90}, {598, 135}, {521, 180}, {595, 225}, {520, 270}, {597, 315}};
    std::vector<artgen::CursorArt> cursors = artgen::MakeCursors();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const artgen::CursorArt* cursor = nullptr;
        for (const artgen::CursorArt& candidate : cursors) {
            if (candidate.id == c.id)
                cursor = &candidate;
        }
        ASSERT_NE(cursor, nullptr);
        artgen::Image image = artgen::DrawCursor(*cursor);
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4 + 3] != 0) {
                    sx += x + 0.5 - 16;
                    sy += y + 0.5 - 16;
                    ++n;
                }
            }
        }
        ASSERT_GT(n, 0);
        // Up is -y on screen; counter-clockwise turns up toward -x.
        double measured = std::atan2(-sx, -sy) * 180 / 3.14159265358979;
        double difference = std::fmod(measured - c.degrees + 540, 360) - 180;
        EXPECT_LT(std::fabs(difference), 10) << "measured " << measured;
    }
}

TEST_F(ResourceArtTest, PicturesHaveTheSizesTheirUsersLayOutFor)
{
    HINSTANCE program = AfxGetInstanceHandle();
    DibSize splash = BitmapResourceSize(program, IDB_SPLASH);
    EXPECT_EQ(splash.width, artgen::kSplashWidth);
    EXPECT_EQ(splash.height, artgen::kSplashHeight);
    for (char c : std::string(artgen::kSplashTitle))
        EXPECT_TRUE(artgen::HasLetter(c)) << "the splash would leave out '" << c << "'";

    // The tool pad cuts a strip into as many equal cells as the kind has
    // surfaces: two for the two-sided kinds, one for the poster family.
    DibSize twoSided = BitmapResourceSize(program, 470);
    EXPECT_EQ(twoSided.height, 2 * twoSided.width);
    DibSize tiled = BitmapResourceSize(program, 471);
    EXPECT_GT(tiled.width, 0);
    EXPECT_EQ(tiled.height, tiled.width);

    for (int id : {IDR_MAINFRAME, IDR_DESIGNTYPE}) {
        SCOPED_TRACE(id);
        const uint8_t* icon = ResourceData(program, id, RT_ICON);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(I32(icon + 4), artgen::kIconSize);
        EXPECT_EQ(I32(icon + 8), 2 * artgen::kIconSize);
    }
}

} // namespace
