// The boxes, icon and title bar of design windows (MDI children) and of the
// main window: hit tests, the pressed look, minimising to a title bar at the
// bottom of the client and back, caption double clicks, and the system menu
// from the icon, Alt+minus and Alt+Space.

#include "tests/ui/FrameControlsFixture.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/SdlKeys.h"
#include "platform/ui/internal/Window.h"

#include <string>

namespace frametest {
namespace {

RECT BoxOf(HWND hwnd, int hit)
{
    platform::Window* w = platform::PeekWindowRecord(hwnd);
    return w ? platform::CaptionBoxRect(*w, hit) : RECT{0, 0, 0, 0};
}

// The pixel at a screen point of a window inside `top`.
COLORREF PixelAt(HWND top, POINT p)
{
    RECT r{};
    GetWindowRect(top, &r);
    return hl::WindowPixel(top, p.x - r.left, p.y - r.top, true);
}

std::string MenuText(HMENU menu, UINT id)
{
    char text[64] = {};
    GetMenuString(menu, id, text, int(sizeof text), MF_BYCOMMAND);
    return text;
}

// Alt+minus, the key for the active design window's system menu.
void PressAltMinus()
{
    hl::KeyDown(VK_MENU);
    hl::TypeKey(VK_OEM_MINUS);
    hl::KeyUp(VK_MENU);
}

using CaptionBoxesTest = FrameControlsTest;

TEST_F(CaptionBoxesTest, BoxesAndIconAreHitTestedWhereTheyAreDrawn)
{
    HWND doc = NewChild("Doc");
    RECT minBox = BoxOf(doc, HTMINBUTTON);
    RECT maxBox = BoxOf(doc, HTMAXBUTTON);
    RECT close = BoxOf(doc, HTCLOSE);
    RECT icon = BoxOf(doc, HTSYSMENU);
    ASSERT_FALSE(IsRectEmpty(&minBox));
    // Minimise and maximise side by side, the close box apart at the right.
    EXPECT_EQ(minBox.right, maxBox.left);
    EXPECT_GT(close.left, maxBox.right);
    EXPECT_LT(icon.right, minBox.left);
    EXPECT_EQ(HitAt(doc, Center(minBox)), HTMINBUTTON);
    EXPECT_EQ(HitAt(doc, Center(maxBox)), HTMAXBUTTON);
    EXPECT_EQ(HitAt(doc, Center(close)), HTCLOSE);
    EXPECT_EQ(HitAt(doc, Center(icon)), HTSYSMENU);
    EXPECT_EQ(HitAt(doc, POINT{minBox.left - 3, minBox.top + 2}), HTCAPTION);
    EXPECT_EQ(HitAt(doc, POINT{maxBox.right, maxBox.top + 2}), HTCAPTION) << "the gap before the close box";

    // A window with only a minimise box shows both, the other one greyed and
    // dead; a tool window and a dialog frame show no boxes and no icon.
    HWND minOnly = CreateWindowEx(0, "FrameControlsChild", "Min", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
        400, 300, 200, 100, NULL, NULL, NULL, nullptr);
    EXPECT_EQ(HitAt(minOnly, Center(BoxOf(minOnly, HTMINBUTTON))), HTMINBUTTON);
    EXPECT_EQ(HitAt(minOnly, Center(BoxOf(minOnly, HTMAXBUTTON))), HTCAPTION);
    HWND tool = CreateWindowEx(WS_EX_TOOLWINDOW, "FrameControlsChild", "Tool",
        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE, 400, 50, 200, 100, NULL, NULL,
        NULL, nullptr);
    RECT toolMin = BoxOf(tool, HTMINBUTTON);
    RECT toolIcon = BoxOf(tool, HTSYSMENU);
    EXPECT_TRUE(IsRectEmpty(&toolMin));
    EXPECT_TRUE(IsRectEmpty(&toolIcon));
    RECT tr = ScreenRect(tool);
    EXPECT_EQ(HitAt(tool, POINT{tr.left + 6, tr.top + 8}), HTCAPTION);
}

TEST_F(CaptionBoxesTest, BoxLooksPressedWhileHeldAndActsOnlyWhenLetGoOverIt)
{
    HWND doc = NewChild("Doc");
    Drain();
    RECT minBox = BoxOf(doc, HTMINBUTTON);
    POINT corner{minBox.left, minBox.top};
    COLORREF raised = PixelAt(frame, corner);
    COLORREF held = CLR_INVALID;
    COLORREF heldOff = CLR_INVALID;
    POINT at = Center(minBox);
    Script({
        [&] { hl::PressMouse(0, at.x, at.y); },
        [&] {
            held = PixelAt(frame, corner);
            hl::MoveMouse(at.x - 40, at.y); // off the box: it comes up
        },
        [&] {
            heldOff = PixelAt(frame, corner);
            hl::ReleaseMouse(0, at.x - 40, at.y);
        },
    });
    RunProgramLoop();
    EXPECT_EQ(held, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(heldOff, raised);
    EXPECT_FALSE(IsIconic(doc)) << "let go away from the box";
    EXPECT_TRUE(Only(doc, {WM_SYSCOMMAND}).empty());
    EXPECT_EQ(GetCapture(), nullptr);

    // Let go over it, it minimises with the point of the release.
    ClickAt(at);
    Drain();
    EXPECT_TRUE(IsIconic(doc));
    auto commands = Only(doc, {WM_SYSCOMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam & 0xFFF0, WPARAM(SC_MINIMIZE));
    EXPECT_EQ(commands[0].lParam, MAKELPARAM(at.x, at.y));
}

TEST_F(CaptionBoxesTest, MinimisedWindowsAreTitleBarsAlongTheBottomAndComeBack)
{
    HWND a = NewChild("Alpha", 20, 10);
    HWND b = NewChild("Beta", 60, 40);
    RECT normalA = RectInParent(a);
    ClickAt(Center(BoxOf(a, HTMINBUTTON)));
    Drain();
    ClickAt(Center(BoxOf(b, HTMINBUTTON)));
    Drain();
    ASSERT_TRUE(IsIconic(a));
    ASSERT_TRUE(IsIconic(b));
    RECT area{};
    GetClientRect(client, &area);
    RECT ra = RectInParent(a);
    RECT rb = RectInParent(b);
    // Title bars the minimised size, side by side on the client's bottom row.
    EXPECT_EQ(ra.right - ra.left, GetSystemMetrics(SM_CXMINIMIZED));
    EXPECT_EQ(ra.bottom - ra.top, GetSystemMetrics(SM_CYMINIMIZED));
    EXPECT_EQ(ra.bottom, rb.bottom);
    EXPECT_LE(ra.bottom, area.bottom);
    EXPECT_GT(ra.bottom, area.bottom - GetSystemMetrics(SM_CYMINIMIZED) - 4);
    EXPECT_GE(std::abs(ra.left - rb.left), GetSystemMetrics(SM_CXMINIMIZED));
    // All caption: no client area, its title, and boxes that now restore.
    RECT inside{};
    GetClientRect(a, &inside);
    EXPECT_TRUE(IsRectEmpty(&inside));
    RECT screenA = ScreenRect(a);
    EXPECT_EQ(HitAt(a, POINT{screenA.left + 40, screenA.top + 1}), HTCAPTION);
    RECT restoreBox = BoxOf(a, HTMINBUTTON);
    ASSERT_FALSE(IsRectEmpty(&restoreBox));
    EXPECT_EQ(HitAt(a, Center(restoreBox)), HTMINBUTTON);
    EXPECT_EQ(restoreBox.bottom - restoreBox.top, GetSystemMetrics(SM_CYMINIMIZED) - 2 * GetSystemMetrics(SM_CYDLGFRAME) - 5);

    // A smaller frame keeps them on the client's new bottom row.
    MoveWindow(frame, 0, 0, 640, 400, TRUE);
    Drain();
    GetClientRect(client, &area);
    EXPECT_EQ(RectInParent(a).bottom, RectInParent(b).bottom);
    EXPECT_LE(RectInParent(a).bottom, area.bottom);
    EXPECT_GT(RectInParent(a).bottom, area.bottom - GetSystemMetrics(SM_CYMINIMIZED) - 4);
    rb = RectInParent(b);

    // Its first box restores it where it was.
    ClickAt(Center(BoxOf(a, HTMINBUTTON)));
    Drain();
    EXPECT_FALSE(IsIconic(a));
    RECT back = RectInParent(a);
    EXPECT_TRUE(EqualRect(&back, &normalA));
    EXPECT_EQ(Only(a, {WM_SYSCOMMAND}).back().wParam & 0xFFF0, WPARAM(SC_RESTORE));

    // A double click on the title bar restores too, and the maximise box of a
    // title bar maximises.
    POINT onB{rb.left + 40, rb.top + 8};
    MapWindowPoints(client, NULL, &onB, 1);
    ClickAt(onB);
    ClickAt(onB);
    Drain();
    EXPECT_FALSE(IsIconic(b));
    RECT normalB{60, 40, 360, 240};
    RECT nowB = RectInParent(b);
    EXPECT_TRUE(EqualRect(&nowB, &normalB));
    ClickAt(Center(BoxOf(b, HTMINBUTTON)));
    Drain();
    ASSERT_TRUE(IsIconic(b));
    ClickAt(Center(BoxOf(b, HTMAXBUTTON)));
    Drain();
    EXPECT_TRUE(IsZoomed(b));
    BOOL maximized = FALSE;
    EXPECT_EQ(HWND(SendMessage(client, WM_MDIGETACTIVE, 0, LPARAM(&maximized))), b);
    EXPECT_TRUE(maximized);
}

TEST_F(CaptionBoxesTest, CaptionDoubleClickMaximisesDesignWindowsAndTogglesTheMainWindow)
{
    HWND doc = NewChild("Doc");
    ClickAt(CaptionPoint(doc));
    ClickAt(CaptionPoint(doc));
    Drain();
    EXPECT_TRUE(IsZoomed(doc));
    auto commands = Only(doc, {WM_SYSCOMMAND});
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back().wParam & 0xFFF0, WPARAM(SC_MAXIMIZE));
    // Restored from the frame's menu bar, the first click of a double click
    // on its caption does not move it.
    SendMessage(frame, WM_COMMAND, SC_RESTORE, 0);
    ASSERT_FALSE(IsZoomed(doc));
    RECT before = ScreenRect(doc);
    ClickAt(CaptionPoint(doc));
    Drain();
    RECT after = ScreenRect(doc);
    EXPECT_TRUE(EqualRect(&before, &after));

    // Far apart in time the two clicks are two clicks.
    clock.Advance(2000);
    ClickAt(CaptionPoint(doc));
    Drain();
    EXPECT_FALSE(IsZoomed(doc));

    // A double click on the main window's caption, where it is now.
    auto doubleClickMainCaption = [&] {
        RECT now = ScreenRect(frame);
        POINT onMain{now.left + 200, now.top + GetSystemMetrics(SM_CYFRAME) + 8};
        clock.Advance(2000);
        ClickAt(onMain);
        ClickAt(onMain);
        Drain();
    };
    RECT main = ScreenRect(frame);
    doubleClickMainCaption();
    EXPECT_TRUE(IsZoomed(frame));
    doubleClickMainCaption();
    EXPECT_FALSE(IsZoomed(frame));
    RECT restored = ScreenRect(frame);
    EXPECT_TRUE(EqualRect(&restored, &main));
}

TEST_F(CaptionBoxesTest, AltMinusOpensTheDesignWindowsSystemMenuEnabledByState)
{
    HWND doc = NewChild("Doc");
    HWND view = CreateWindowEx(0, "FrameControlsChild", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, doc, HMENU(1),
        NULL, nullptr);
    SetFocus(view);
    HMENU system = GetSystemMenu(doc, FALSE);
    ASSERT_TRUE(system);
    EXPECT_EQ(MenuText(system, SC_CLOSE), "&Close\tCtrl+F4");
    EXPECT_NE(GetMenuState(system, SC_NEXTWINDOW, MF_BYCOMMAND), UINT(-1));
    UINT restore = 0;
    UINT move = 0;
    UINT maximize = 0;
    Script({
        PressAltMinus,
        [&] {
            restore = GetMenuState(system, SC_RESTORE, MF_BYCOMMAND);
            move = GetMenuState(system, SC_MOVE, MF_BYCOMMAND);
            maximize = GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND);
            hl::TypeKey('N'); // Mi&nimize
        },
    });
    RunProgramLoop();
    auto popups = Only(doc, {WM_INITMENUPOPUP});
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(HMENU(popups[0].wParam), system);
    EXPECT_EQ(HIWORD(popups[0].lParam), 1) << "a system menu";
    EXPECT_TRUE(restore & MF_GRAYED);
    EXPECT_FALSE(move & MF_GRAYED);
    EXPECT_FALSE(maximize & MF_GRAYED);
    EXPECT_TRUE(IsIconic(doc));
    EXPECT_TRUE(Only(frame, {WM_INITMENUPOPUP}).empty()) << "the frame's own menus stay shut";

    // Minimised, Restore is on and Minimize off; Restore from the menu.
    SetFocus(doc);
    Script({
        PressAltMinus,
        [&] {
            restore = GetMenuState(system, SC_RESTORE, MF_BYCOMMAND);
            maximize = GetMenuState(system, SC_MINIMIZE, MF_BYCOMMAND);
            hl::TypeKey('R');
        },
    });
    RunProgramLoop();
    EXPECT_FALSE(restore & MF_GRAYED);
    EXPECT_TRUE(maximize & MF_GRAYED);
    EXPECT_FALSE(IsIconic(doc));
}

TEST_F(CaptionBoxesTest, IconClickOpensTheSystemMenuOfItsWindowAndADoubleClickCloses)
{
    HWND doc = NewChild("Doc");
    HMENU frameSystem = GetSystemMenu(frame, FALSE);
    EXPECT_EQ(MenuText(frameSystem, SC_CLOSE), "&Close\tAlt+F4");
    POINT docIcon = Center(BoxOf(doc, HTSYSMENU));
    POINT mainIcon = Center(BoxOf(frame, HTSYSMENU));
    Script({
        [&] { ClickAt(docIcon); },
        [] { hl::TypeKey(VK_ESCAPE); },
        [&] {
            clock.Advance(2000);
            ClickAt(mainIcon);
        },
        [] { hl::TypeKey(VK_ESCAPE); },
        // Alt+Space is the main window's menu even from a design window.
        [&] {
            SetFocus(doc);
            hl::KeyDown(VK_MENU);
            hl::TypeKey(VK_SPACE);
            hl::KeyUp(VK_MENU);
        },
        [] { hl::TypeKey(VK_ESCAPE); },
    });
    RunProgramLoop();
    auto docPopups = Only(doc, {WM_INITMENUPOPUP});
    ASSERT_EQ(docPopups.size(), 1u);
    EXPECT_EQ(HMENU(docPopups[0].wParam), GetSystemMenu(doc, FALSE));
    auto mainPopups = Only(frame, {WM_INITMENUPOPUP});
    ASSERT_EQ(mainPopups.size(), 2u);
    EXPECT_EQ(HMENU(mainPopups[0].wParam), frameSystem);
    EXPECT_EQ(HMENU(mainPopups[1].wParam), frameSystem);
    EXPECT_TRUE(IsWindow(doc));

    // A double click on the icon: the first click opens the menu, the
    // second, on the icon again, closes the window.
    clock.Advance(2000);
    Script({
        [&] { ClickAt(docIcon); },
        [&] {
            clock.Advance(100);
            ClickAt(docIcon);
        },
    });
    RunProgramLoop();
    EXPECT_FALSE(IsWindow(doc));
}

// The desktop gives no text for Alt with a key, so the back end names the
// character itself: Alt+minus must reach the window as a '-'.
TEST(CaptionBoxesKeysTest, AltMinusTypesTheMinusThatOpensTheSystemMenu)
{
    EXPECT_EQ(platform::CharacterForKey(VK_OEM_MINUS, platform::KeyModifiers::Alt), '-');
    EXPECT_EQ(platform::CharacterForKey(VK_OEM_MINUS, platform::KeyModifiers::None), 0);
}

} // namespace
} // namespace frametest
