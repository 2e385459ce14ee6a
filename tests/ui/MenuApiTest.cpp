#include "tests/ui/UiTestSupport.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/ui/internal/MenuData.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;

namespace {

const platform::MenuItemTemplate kFileItems[] = {
    {MF_STRING, 0, 100, 0, "&New\tCtrl+N", false, nullptr, 0},
    {MF_SEPARATOR, 0, 0, 0, "", false, nullptr, 0},
    {MF_STRING, MF_GRAYED, 101, 0, "E&xit", false, nullptr, 0},
};
const platform::MenuItemTemplate kZoomItems[] = {
    {MF_STRING, 0, 210, 0, "&100%", false, nullptr, 0},
    {MF_STRING, 0, 211, 0, "&200%", false, nullptr, 0},
};
const platform::MenuItemTemplate kViewItems[] = {
    {MF_STRING, MF_CHECKED, 200, 0, "&Toolbar", false, nullptr, 0},
    {MF_STRING, 0, 201, 0, "Status &Bar", false, nullptr, 0},
    {MF_STRING, 0, 0, 0, "&Zoom", true, kZoomItems, 2},
};
const platform::MenuItemTemplate kHelpItems[] = {
    {MF_STRING, 0, 300, 0, "&About", false, nullptr, 0},
};
const platform::MenuItemTemplate kBarItems[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, 3},
    {MF_STRING, 0, 0, 0, "&View", true, kViewItems, 3},
    {MF_HELP, 0, 0, 0, "&Help", true, kHelpItems, 1},
};
const platform::MenuTemplate kMenu{false, 0, kBarItems, 3};
const platform::ResourceEntry kEntries[] = {
    {nullptr, 4 /* RT_MENU */, nullptr, 7701, &kMenu, sizeof(kMenu)},
};

HINSTANCE Support()
{
    platform::RegisterResourceModule(platform::ResourceModule::Support, platform::ResourceTable{kEntries, 1, nullptr, 0});
    return platform::GetResourceModuleHandle(platform::ResourceModule::Support);
}

std::string MenuText(HMENU menu, UINT which, UINT flags)
{
    char buffer[64];
    int n = GetMenuString(menu, which, buffer, sizeof(buffer), flags);
    return std::string(buffer, size_t(n));
}

// The position of the bar item whose text is `text`, as the program finds
// its Help menu; -1 when missing.
int FindByText(HMENU menu, const std::string& text)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (MenuText(menu, UINT(i), MF_BYPOSITION) == text)
            return i;
    }
    return -1;
}

class MenuApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
    }
    void TearDown() override { platform::headless::Reset(); }
};

TEST_F(MenuApiTest, LoadsResourceMenuWithItsStructureAndText)
{
    HMENU bar = LoadMenu(Support(), MAKEINTRESOURCE(7701));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(FindByText(bar, "&Help"), 2);
    EXPECT_EQ(FindByText(bar, "&Tools"), -1);

    HMENU file = GetSubMenu(bar, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 0), 100u);
    EXPECT_EQ(GetMenuItemID(file, 1), 0u); // separator
    EXPECT_EQ(GetMenuItemID(bar, 0), UINT(-1)); // popup
    EXPECT_EQ(GetMenuItemID(file, 7), UINT(-1));
    EXPECT_EQ(GetSubMenu(file, 0), nullptr);

    // Commands are found in submenus at any depth.
    EXPECT_EQ(MenuText(bar, 100, MF_BYCOMMAND), "&New\tCtrl+N");
    EXPECT_EQ(MenuText(bar, 211, MF_BYCOMMAND), "&200%");
    EXPECT_EQ(GetMenuState(bar, 101, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION), UINT((3 << 8) | MF_POPUP));
    EXPECT_EQ(GetMenuState(bar, 999, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(LoadMenu(Support(), MAKEINTRESOURCE(7799)), nullptr);
    DestroyMenu(bar);
}

TEST_F(MenuApiTest, GetMenuStringTruncatesAndMeasures)
{
    HMENU bar = LoadMenu(Support(), MAKEINTRESOURCE(7701));
    char small[4] = "xxx";
    EXPECT_EQ(GetMenuString(bar, 100, small, 4, MF_BYCOMMAND), 3);
    EXPECT_STREQ(small, "&Ne");
    EXPECT_EQ(GetMenuString(bar, 100, nullptr, 0, MF_BYCOMMAND), 11);
    char none[8] = "xxx";
    EXPECT_EQ(GetMenuString(GetSubMenu(bar, 0), 1, none, 8, MF_BYPOSITION), 0);
    EXPECT_STREQ(none, "");
    DestroyMenu(bar);
}

TEST_F(MenuApiTest, EnableAndCheckAnswerThePreviousState)
{
    HMENU bar = LoadMenu(Support(), MAKEINTRESOURCE(7701));
    EXPECT_EQ(EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(bar, 100, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(bar, 1, MF_BYPOSITION | MF_GRAYED | MF_DISABLED), MF_ENABLED);
    EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION) & 0xFF, UINT(MF_POPUP | MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(EnableMenuItem(bar, 4242, MF_BYCOMMAND | MF_GRAYED), -1);

    EXPECT_EQ(CheckMenuItem(bar, 200, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(bar, 200, MF_BYCOMMAND | MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(bar, 4242, MF_BYCOMMAND | MF_CHECKED), DWORD(-1));

    HMENU zoom = GetSubMenu(GetSubMenu(bar, 1), 2);
    EXPECT_TRUE(CheckMenuRadioItem(bar, 210, 211, 211, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(zoom, 211, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_TRUE(CheckMenuRadioItem(zoom, 0, 1, 0, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(zoom, 0, MF_BYPOSITION) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuState(zoom, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
    DestroyMenu(bar);
}

TEST_F(MenuApiTest, InsertModifyDeleteAndRemoveItems)
{
    HMENU bar = LoadMenu(Support(), MAKEINTRESOURCE(7701));
    HMENU file = GetSubMenu(bar, 0);
    // By command: before the item, in the submenu that holds it.
    ASSERT_TRUE(InsertMenu(bar, 101, MF_BYCOMMAND | MF_STRING, 150, "&Save"));
    EXPECT_EQ(GetMenuItemID(file, 2), 150u);
    EXPECT_EQ(GetMenuItemID(file, 3), 101u);
    ASSERT_TRUE(InsertMenu(file, 0, MF_BYPOSITION | MF_STRING, 90, "First"));
    ASSERT_TRUE(InsertMenu(file, UINT(-1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
    EXPECT_EQ(GetMenuItemCount(file), 6);
    EXPECT_EQ(GetMenuItemID(file, 0), 90u);
    EXPECT_EQ(GetMenuState(file, 5, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_FALSE(InsertMenu(bar, 4242, MF_BYCOMMAND | MF_STRING, 1, "x"));

    ASSERT_TRUE(ModifyMenu(bar, 150, MF_BYCOMMAND | MF_STRING | MF_GRAYED, 151, "Save &As"));
    EXPECT_EQ(MenuText(bar, 151, MF_BYCOMMAND), "Save &As");
    EXPECT_EQ(GetMenuState(bar, 151, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(bar, 150, MF_BYCOMMAND), UINT(-1));

    // DeleteMenu takes a popup's submenu along; RemoveMenu hands it back.
    HMENU view = GetSubMenu(bar, 1);
    HMENU zoom = GetSubMenu(view, 2);
    ASSERT_TRUE(RemoveMenu(view, 2, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(zoom));
    ASSERT_TRUE(AppendMenu(view, MF_POPUP, UINT_PTR(zoom), "&Zoom"));
    ASSERT_TRUE(DeleteMenu(bar, 1, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(view));
    EXPECT_FALSE(IsMenu(zoom));
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(FindByText(bar, "&Help"), 1);

    // A menu cannot hold itself.
    EXPECT_FALSE(AppendMenu(file, MF_POPUP, UINT_PTR(bar), "Loop"));
    DestroyMenu(bar);
}

TEST_F(MenuApiTest, DestroyedAndForgedHandlesFail)
{
    HMENU bar = LoadMenu(Support(), MAKEINTRESOURCE(7701));
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(file)); // submenus go with their menu

    SetLastError(0);
    EXPECT_EQ(GetMenuItemCount(bar), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
    EXPECT_FALSE(DestroyMenu(bar));
    EXPECT_FALSE(AppendMenu(file, MF_STRING, 1, "x"));
    EXPECT_EQ(GetSubMenu(bar, 0), nullptr);

    // A new menu in the same slot does not answer to the old handle.
    HMENU fresh = CreatePopupMenu();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, bar);
    EXPECT_EQ(GetMenuItemCount(bar), -1);
    EXPECT_EQ(GetMenuItemCount(fresh), 0);

    HWND top = MakeTopLevel();
    EXPECT_EQ(GetMenuItemCount(reinterpret_cast<HMENU>(top)), -1);
    EXPECT_FALSE(SetMenu(top, bar));
    DestroyMenu(fresh);
}

TEST_F(MenuApiTest, SetMenuMakesRoomForTheBarAndTheWindowDestroysIt)
{
    HWND top = MakeTopLevel();
    RECT before{};
    GetClientRect(top, &before);
    HMENU bar = LoadMenu(Support(), MAKEINTRESOURCE(7701));
    ASSERT_TRUE(SetMenu(top, bar));
    EXPECT_EQ(GetMenu(top), bar);
    RECT after{};
    GetClientRect(top, &after);
    EXPECT_EQ(before.bottom - after.bottom, GetSystemMetrics(SM_CYMENU));

    HWND child = MakeChild(top, 5, RECT{0, 0, 10, 10});
    SetLastError(0);
    EXPECT_FALSE(SetMenu(child, bar));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CHILD_WINDOW_MENU));

    // The bar is painted with the menu colour under the caption.
    Pump();
    RECT r = platform::MenuBarRectInWindow(top);
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(platform::headless::WindowPixel(top, r.right - 3, r.top + 3, true), GetSysColor(COLOR_MENU));

    DestroyWindow(top);
    EXPECT_FALSE(IsMenu(bar));
}

TEST_F(MenuApiTest, NarrowWindowsWrapTheBarIntoRows)
{
    HWND top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 600, 300});
    HMENU bar = LoadMenu(Support(), MAKEINTRESOURCE(7701));
    SetMenu(top, bar);
    RECT wide{};
    GetClientRect(top, &wide);
    SetWindowPos(top, NULL, 0, 0, 60, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT narrow{};
    GetClientRect(top, &narrow);
    EXPECT_GT(wide.bottom - narrow.bottom, 0);
    EXPECT_EQ((wide.bottom - narrow.bottom) % (GetSystemMetrics(SM_CYMENU) - 1), 0);
}

TEST_F(MenuApiTest, SystemMenuHoldsTheWindowCommands)
{
    HWND top = MakeTopLevel();
    HMENU sys = GetSystemMenu(top, FALSE);
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(GetSystemMenu(top, FALSE), sys);
    EXPECT_NE(GetMenuState(sys, SC_CLOSE, MF_BYCOMMAND), UINT(-1));
    EXPECT_NE(GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(GetSystemMenu(top, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(sys));
    HWND child = MakeChild(top, 1, RECT{0, 0, 5, 5});
    EXPECT_EQ(GetSystemMenu(child, FALSE), nullptr);
}

} // namespace
