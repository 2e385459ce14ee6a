#include "tests/ui/IdleScript.h"
#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/internal/MenuData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

namespace hl = platform::headless;

// The open popup menu windows, outermost first.
std::vector<HWND> OpenPopups()
{
    std::vector<HWND> out;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassName(w, name, sizeof(name));
        if (std::strcmp(name, "#32768") == 0 && IsWindowVisible(w))
            out.push_back(w);
    }
    std::reverse(out.begin(), out.end());
    return out;
}

RECT ScreenRect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

struct MenuEvent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const MenuEvent& o) const
    {
        return message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

std::vector<MenuEvent> MenuEvents(HWND hwnd)
{
    std::vector<MenuEvent> out;
    for (const Seen& s : Rec().log) {
        if (s.hwnd != hwnd)
            continue;
        switch (s.message) {
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
        case WM_INITMENU:
        case WM_INITMENUPOPUP:
        case WM_MENUSELECT:
        case WM_COMMAND:
        case WM_SYSCOMMAND:
            out.push_back(MenuEvent{s.message, s.wParam, s.lParam});
            break;
        default:
            break;
        }
    }
    return out;
}

std::vector<UINT> Commands(HWND hwnd)
{
    std::vector<UINT> out;
    for (const MenuEvent& e : MenuEvents(hwnd))
        if (e.message == WM_COMMAND)
            out.push_back(UINT(e.wParam));
    return out;
}

class MenuTrackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hl::Reset();
        Rec() = Recorder();
        frame = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
        bar = CreateMenu();
        file = CreatePopupMenu();
        AppendMenu(file, MF_STRING, 100, "&New\tCtrl+N");
        AppendMenu(file, MF_SEPARATOR, 0, nullptr);
        AppendMenu(file, MF_STRING, 101, "E&xit");
        view = CreatePopupMenu();
        AppendMenu(view, MF_STRING, 200, "&Toolbar");
        AppendMenu(view, MF_STRING, 201, "Status &Bar");
        zoom = CreatePopupMenu();
        AppendMenu(zoom, MF_STRING, 210, "&1 100%");
        AppendMenu(zoom, MF_STRING, 211, "&2 200%");
        AppendMenu(view, MF_POPUP, UINT_PTR(zoom), "&Zoom");
        AppendMenu(bar, MF_POPUP, UINT_PTR(file), "&File");
        AppendMenu(bar, MF_POPUP, UINT_PTR(view), "&View");
        SetMenu(frame, bar);
        SetFocus(frame);
        Pump();
        Rec().Clear();
    }
    void TearDown() override
    {
        hl::SetIdleHandler(nullptr);
        hl::Reset();
    }

    POINT BarPoint(int item)
    {
        RECT r = platform::MenuBarRectInWindow(frame);
        RECT w = ScreenRect(frame);
        RECT itemRect = platform::PeekMenuRecord(bar)->items[size_t(item)].rect;
        return POINT{w.left + r.left + itemRect.left + 5, w.top + r.top + itemRect.top + 5};
    }
    // A point on item `index` of an open popup.
    static POINT PopupPoint(HWND popup, int index)
    {
        RECT r = ScreenRect(popup);
        return POINT{r.left + 30, r.top + 3 + 9 + index * (GetSystemMetrics(SM_CYMENU) - 1)};
    }

    HWND frame = NULL;
    HMENU bar = NULL;
    HMENU file = NULL;
    HMENU view = NULL;
    HMENU zoom = NULL;
};

TEST_F(MenuTrackTest, AltAloneSelectsTheBarAndArrowsOpenAPopup)
{
    std::vector<HWND> shown;
    COLORREF selectedPixel = 0;
    Script({
        [] {
            hl::KeyDown(VK_MENU);
            hl::KeyUp(VK_MENU);
        },
        [&] {
            EXPECT_EQ(platform::TrackedBarItem(frame), 0);
            EXPECT_TRUE(OpenPopups().empty());
            hl::TypeKey(VK_RIGHT);
            hl::TypeKey(VK_DOWN);
        },
        [&] {
            shown = OpenPopups();
            if (!shown.empty())
                selectedPixel = hl::WindowPixel(shown[0], 10, 3 + 9);
            hl::TypeKey(VK_RETURN);
        },
    });
    RunProgramLoop();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(selectedPixel, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_FALSE(IsWindow(shown[0]));
    EXPECT_EQ(platform::TrackedBarItem(frame), -1);
    EXPECT_THAT(MenuEvents(frame),
        ElementsAre(MenuEvent{WM_SYSCOMMAND, SC_KEYMENU, 0}, MenuEvent{WM_ENTERMENULOOP, FALSE, 0}, MenuEvent{WM_INITMENU, WPARAM(bar), 0},
            MenuEvent{WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_HILITE), LPARAM(bar)},
            MenuEvent{WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP | MF_HILITE), LPARAM(bar)},
            MenuEvent{WM_INITMENUPOPUP, WPARAM(view), MAKELPARAM(1, 0)},
            MenuEvent{WM_MENUSELECT, MAKEWPARAM(200, MF_HILITE), LPARAM(view)},
            MenuEvent{WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0}, MenuEvent{WM_EXITMENULOOP, FALSE, 0},
            MenuEvent{WM_COMMAND, MAKEWPARAM(200, 0), 0}));
}

TEST_F(MenuTrackTest, AltWithMnemonicsOpensPopupsAndChooses)
{
    Script({
        [] {
            hl::KeyDown(VK_MENU);
            hl::TypeKey('V');
            hl::KeyUp(VK_MENU);
        },
        [] { hl::TypeKey('Z'); }, // a submenu opens with its first item selected
        [&] {
            EXPECT_EQ(OpenPopups().size(), 2u);
            hl::TypeKey('2');
        },
        [] {
            // Alt+letter that no bar item has leaves the bar closed.
            hl::KeyDown(VK_MENU);
            hl::TypeKey('Q');
            hl::KeyUp(VK_MENU);
        },
    });
    RunProgramLoop();
    EXPECT_THAT(Commands(frame), ElementsAre(211u));
    std::vector<MenuEvent> events = MenuEvents(frame);
    auto view = std::find(events.begin(), events.end(), MenuEvent{WM_INITMENUPOPUP, WPARAM(this->view), MAKELPARAM(1, 0)});
    auto zoom = std::find(events.begin(), events.end(), MenuEvent{WM_INITMENUPOPUP, WPARAM(this->zoom), MAKELPARAM(2, 0)});
    EXPECT_NE(view, events.end());
    EXPECT_NE(zoom, events.end());
    EXPECT_LT(view, zoom);
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const MenuEvent& e) { return e.message == WM_ENTERMENULOOP; }), 1);
}

TEST_F(MenuTrackTest, AltHeldWhileTheMenuOpensKeepsItOpenWhenReleased)
{
    Script({
        [] {
            hl::KeyDown(VK_MENU);
            hl::TypeKey('F');
            // The held key repeats once the popup is up, then is let go.
            hl::KeyDown(VK_MENU);
        },
        [] { hl::KeyUp(VK_MENU); },
        [&] {
            EXPECT_EQ(OpenPopups().size(), 1u);
            hl::TypeKey(VK_ESCAPE);
        },
        [] { hl::TypeKey(VK_ESCAPE); },
    });
    RunProgramLoop();
    EXPECT_TRUE(Commands(frame).empty());
}

TEST_F(MenuTrackTest, EscapeStepsBackAndAltAgainCloses)
{
    Script({
        [] {
            hl::KeyDown(VK_MENU);
            hl::TypeKey('F');
            hl::KeyUp(VK_MENU);
        },
        [&] {
            EXPECT_EQ(OpenPopups().size(), 1u);
            hl::TypeKey(VK_ESCAPE); // back to the bar
        },
        [&] {
            EXPECT_TRUE(OpenPopups().empty());
            EXPECT_EQ(platform::TrackedBarItem(frame), 0);
            hl::TypeKey(VK_MENU); // and out
        },
        [&] { EXPECT_EQ(platform::TrackedBarItem(frame), -1); },
    });
    RunProgramLoop();
    EXPECT_TRUE(Commands(frame).empty());
    std::vector<MenuEvent> events = MenuEvents(frame);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().message, UINT(WM_EXITMENULOOP));
}

TEST_F(MenuTrackTest, MouseOpensFromTheBarChoosesAndClickingOutsideCancels)
{
    HWND popup = NULL;
    Script({
        [&] { hl::Click(BarPoint(0).x, BarPoint(0).y); },
        [&] {
            std::vector<HWND> open = OpenPopups();
            ASSERT_EQ(open.size(), 1u);
            popup = open[0];
            // The popup hangs under its bar item.
            RECT r = ScreenRect(popup);
            EXPECT_NEAR(r.top, ScreenRect(frame).top + platform::MenuBarRectInWindow(frame).bottom, 1);
            EXPECT_EQ(r.left, BarPoint(0).x - 5);
            POINT p = PopupPoint(popup, 0);
            hl::Click(p.x, p.y);
        },
        [&] { hl::Click(BarPoint(1).x, BarPoint(1).y); },
        [&] {
            EXPECT_EQ(OpenPopups().size(), 1u);
            hl::Click(5, 700); // outside every menu
        },
        [&] { EXPECT_TRUE(OpenPopups().empty()); },
    });
    RunProgramLoop();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_THAT(Commands(frame), ElementsAre(100u));
    std::vector<MenuEvent> events = MenuEvents(frame);
    EXPECT_NE(std::find(events.begin(), events.end(), MenuEvent{WM_INITMENUPOPUP, WPARAM(file), MAKELPARAM(0, 0)}),
        events.end());
    EXPECT_NE(std::find(events.begin(), events.end(),
                  MenuEvent{WM_MENUSELECT, MAKEWPARAM(100, MF_HILITE | MF_MOUSESELECT), LPARAM(file)}),
        events.end());
}

TEST_F(MenuTrackTest, TrackPopupMenuSendsTheChoiceToItsOwner)
{
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 39, "&Hide");
    AppendMenu(popup, MF_STRING | MF_GRAYED, 40, "&Gone");
    // The owner may rebuild the menu just before it shows.
    Rec().handlers[frame] = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_INITMENUPOPUP && HMENU(w) == popup && GetMenuItemCount(popup) == 2)
            AppendMenu(popup, MF_STRING, 9100, "Tool");
        return false;
    };
    RECT placed{};
    Script({
        [&] {
            ASSERT_EQ(OpenPopups().size(), 1u);
            placed = ScreenRect(OpenPopups()[0]);
            hl::TypeKey(VK_UP); // from nothing to the last item
            hl::TypeKey(VK_RETURN);
        },
    });
    EXPECT_TRUE(TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, 300, 200, 0, frame, nullptr));
    EXPECT_EQ(placed.right, 300);
    EXPECT_EQ(placed.top, 200);
    // Posted: it arrives through the owner's loop after the call returns.
    EXPECT_TRUE(Commands(frame).empty());
    Pump();
    EXPECT_THAT(Commands(frame), ElementsAre(9100u));
    std::vector<MenuEvent> events = MenuEvents(frame);
    EXPECT_NE(std::find(events.begin(), events.end(), MenuEvent{WM_INITMENUPOPUP, WPARAM(popup), MAKELPARAM(0, 0)}),
        events.end());
    DestroyMenu(popup);
}

TEST_F(MenuTrackTest, ReturnCommandAnswersTheIdInsteadOfPosting)
{
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 39, "&Hide");
    AppendMenu(popup, MF_STRING, 41, "&Show");
    Script({
        [&] {
            ASSERT_EQ(OpenPopups().size(), 1u);
            POINT p = PopupPoint(OpenPopups()[0], 1);
            hl::PressMouse(1, p.x, p.y);
            hl::ReleaseMouse(1, p.x, p.y);
        },
    });
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, 50, 60, 0, frame, nullptr), 41);
    Pump();
    EXPECT_TRUE(MenuEvents(frame).empty());

    // Escape, or a grayed item, chooses nothing.
    EnableMenuItem(popup, 0, MF_BYPOSITION | MF_GRAYED);
    Script({[] {
        hl::TypeKey('H');
        hl::TypeKey(VK_ESCAPE);
    }});
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 50, 60, 0, frame, nullptr), 0);
    DestroyMenu(popup);
}

TEST_F(MenuTrackTest, EndMenuAndQuitEndTheLoopAndOnlyOneMenuRuns)
{
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 39, "&Hide");
    Script({[&] {
        SetLastError(0);
        EXPECT_FALSE(TrackPopupMenu(popup, 0, 0, 0, 0, frame, nullptr));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_POPUP_ALREADY_ACTIVE));
        EndMenu();
    }});
    EXPECT_FALSE(TrackPopupMenu(popup, 0, 10, 10, 0, frame, nullptr));
    EXPECT_TRUE(OpenPopups().empty());

    // With nothing left to do the headless loop gets WM_QUIT, which ends the
    // menu and stays for the program's loop.
    Script({});
    EXPECT_FALSE(TrackPopupMenu(popup, 0, 10, 10, 0, frame, nullptr));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));

    SetLastError(0);
    EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(frame), 0, 0, 0, 0, frame, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
    DestroyMenu(popup);
}

TEST_F(MenuTrackTest, PopupsDrawTheUncheckedImageInTheCheckColumn)
{
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 1, "&One\tCtrl+1");
    AppendMenu(popup, MF_STRING, 2, "&Two");
    AppendMenu(popup, MF_STRING | MF_CHECKED, 3, "T&hree");
    DWORD red[64];
    std::fill(std::begin(red), std::end(red), 0x00FF0000u);
    HBITMAP image = CreateBitmap(8, 8, 1, 32, red);
    ASSERT_NE(image, nullptr);
    SetMenuItemBitmaps(popup, 2, MF_BYCOMMAND, image, NULL);
    int row = GetSystemMetrics(SM_CYMENU) - 1;
    int checkX = 3 + (GetSystemMetrics(SM_CXMENUCHECK) + 6) / 2;
    COLORREF unchecked = 0;
    COLORREF plain = 0;
    COLORREF checkedBackground = 0;
    Script({[&] {
        HWND w = OpenPopups().at(0);
        unchecked = hl::WindowPixel(w, checkX, 3 + row + row / 2);
        plain = hl::WindowPixel(w, checkX, 3 + row / 2);
        checkedBackground = hl::WindowPixel(w, checkX - 6, 3 + 2 * row + 2);
        hl::TypeKey(VK_ESCAPE);
    }});
    TrackPopupMenu(popup, 0, 10, 10, 0, frame, nullptr);
    EXPECT_EQ(unchecked, RGB(255, 0, 0));
    EXPECT_EQ(plain, GetSysColor(COLOR_MENU));
    EXPECT_EQ(checkedBackground, GetSysColor(COLOR_MENU));
    DestroyMenu(popup);
    DeleteObject(image);
}

TEST_F(MenuTrackTest, DestroyingTheOwnerEndsTheMenu)
{
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 39, "&Hide");
    Script({[&] {
        DestroyWindow(frame);
        PostMessage(NULL, WM_NULL, 0, 0);
    }});
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 10, 10, 0, frame, nullptr), 0);
    EXPECT_TRUE(OpenPopups().empty());
    DestroyMenu(popup);
}

} // namespace
