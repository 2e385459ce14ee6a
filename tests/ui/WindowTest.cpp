#include "tests/ui/UiTestSupport.h"
#include "platform/ui/internal/Driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        Rec().ignored = {WM_NCHITTEST, WM_SETCURSOR, WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_SETFOCUS,
            WM_KILLFOCUS, WM_NCPAINT, WM_ERASEBKGND, WM_PAINT};
    }
    void TearDown() override { platform::headless::Reset(); }
};

TEST_F(WindowTest, CreationSendsTheDocumentedSequence)
{
    HWND top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(IsWindow(top));
    std::vector<UINT> seen = Rec().MessagesOf(top);
    ASSERT_GE(seen.size(), 7u);
    EXPECT_THAT(std::vector<UINT>(seen.begin(), seen.begin() + 7),
        ElementsAre(WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW));
    EXPECT_TRUE(IsWindowVisible(top));

    // A child: no WM_GETMINMAXINFO, the parent hears of it, and the
    // CREATESTRUCT carries what was asked for.
    Rec().Clear();
    CREATESTRUCT seenCreate{};
    HWND child = CreateWindowEx(WS_EX_CLIENTEDGE, TestClass(), "Name", WS_CHILD, 5, 6, 70, 80, top, (HMENU)42, NULL,
        (LPVOID)0x1234);
    ASSERT_TRUE(child);
    for (const Seen& s : Rec().log)
        if (s.hwnd == child && s.message == WM_CREATE)
            seenCreate = *reinterpret_cast<CREATESTRUCT*>(s.lParam);
    EXPECT_THAT(Rec().MessagesOf(child), ElementsAre(WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE));
    EXPECT_THAT(Rec().MessagesOf(top), ElementsAre(WM_PARENTNOTIFY));
    EXPECT_EQ(seenCreate.lpCreateParams, (LPVOID)0x1234);
    EXPECT_EQ(seenCreate.hwndParent, top);
    EXPECT_EQ(seenCreate.x, 5);
    EXPECT_EQ(seenCreate.cy, 80);
    EXPECT_EQ(GetDlgCtrlID(child), 42);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_EQ(GetParent(child), top);
}

TEST_F(WindowTest, CreateFailsForUnknownClassAndRefusingProcedures)
{
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL), (HWND)NULL);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CANNOT_FIND_WND_CLASS);
    EXPECT_EQ(CreateWindowEx(0, TestClass(), "", WS_CHILD, 0, 0, 10, 10, NULL, NULL, NULL, NULL), (HWND)NULL);

    // WM_CREATE answering -1 destroys the new window with the usual messages.
    WNDCLASS wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        Rec().log.push_back(Seen{h, m, w, l});
        return m == WM_CREATE ? -1 : DefWindowProc(h, m, w, l);
    };
    wc.lpszClassName = "Refuses";
    ASSERT_TRUE(RegisterClass(&wc));
    EXPECT_EQ(CreateWindowEx(0, "refuses", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL), (HWND)NULL);
    std::vector<UINT> seen = Rec().Messages();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2], (UINT)WM_DESTROY);
    EXPECT_EQ(seen.back(), (UINT)WM_NCDESTROY);
}

TEST_F(WindowTest, DestroyGoesParentDestroyChildrenFirstForNcDestroy)
{
    HWND top = MakeTopLevel();
    HWND a = MakeChild(top, 1, RECT{0, 0, 10, 10});
    HWND b = MakeChild(a, 2, RECT{0, 0, 5, 5});
    Rec().Clear();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& s : Rec().log)
        if (s.message == WM_DESTROY || s.message == WM_NCDESTROY)
            order.emplace_back(s.hwnd, s.message);
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{top, WM_DESTROY}, {a, WM_DESTROY}, {b, WM_DESTROY},
                         {b, WM_NCDESTROY}, {a, WM_NCDESTROY}, {top, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(IsWindow(b));
    // A stale handle fails the Win32 way, even after its slot is reused.
    HWND again = MakeTopLevel();
    EXPECT_NE(again, top);
    RECT r;
    EXPECT_FALSE(GetWindowRect(top, &r));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(DestroyWindow(top));
    EXPECT_EQ(SendMessage(top, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_FALSE(IsWindow((HWND)0x12345678));
}

TEST_F(WindowTest, WindowMayDestroyItselfInsideItsOwnHandler)
{
    HWND top = MakeTopLevel();
    HWND child = MakeChild(top, 7, RECT{0, 0, 10, 10});
    int destroyedInside = 0;
    Rec().handlers[child] = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m == WM_USER) {
            destroyedInside = DestroyWindow(h);
            r = 5;
            return true;
        }
        // Destroying again from inside WM_DESTROY is harmless.
        if (m == WM_DESTROY)
            DestroyWindow(h);
        return false;
    };
    EXPECT_EQ(SendMessage(child, WM_USER, 0, 0), 5);
    EXPECT_TRUE(destroyedInside);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetWindow(top, GW_CHILD), (HWND)NULL);

    // A posted message to a window that died meanwhile is dropped.
    HWND other = MakeChild(top, 8, RECT{0, 0, 10, 10});
    PostMessage(other, WM_USER + 1, 0, 0);
    DestroyWindow(other);
    Rec().Clear();
    Pump();
    EXPECT_TRUE(Rec().MessagesOf(other).empty());
}

TEST_F(WindowTest, TreeWalkingAndZOrder)
{
    HWND top = MakeTopLevel();
    HWND first = MakeChild(top, 31001, RECT{0, 0, 10, 10});
    HWND second = MakeChild(top, 31001, RECT{0, 0, 10, 10});
    HWND third = MakeChild(top, 3, RECT{0, 0, 10, 10});
    // Children join at the bottom, so creation order is tab order.
    EXPECT_EQ(GetWindow(top, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(third, GW_HWNDPREV), second);
    EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), (HWND)NULL);
    EXPECT_EQ(GetWindow(second, GW_HWNDLAST), third);
    // Duplicate ids are allowed; GetDlgItem finds the first in Z order.
    EXPECT_EQ(GetDlgItem(top, 31001), first);

    SetWindowPos(third, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), third);
    SetWindowPos(third, first, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), third);
    SetWindowPos(first, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_HWNDLAST), top); // top-level list has one window
    EXPECT_EQ(GetWindow(second, GW_HWNDLAST), first);

    EXPECT_TRUE(IsChild(top, first));
    EXPECT_FALSE(IsChild(first, top));
    std::vector<HWND> children;
    EnumChildWindows(top, [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
    }, LPARAM(&children));
    EXPECT_EQ(children.size(), 3u);

    // Owned popups: GetParent gives the owner; they stay above it.
    HWND popup = CreateWindowEx(0, TestClass(), "Pop", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, first, NULL, NULL, NULL);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), top);
    EXPECT_EQ(GetParent(popup), top);
    BringWindowToTop(top);
    EXPECT_EQ(GetTopWindow(NULL), popup);
    std::vector<HWND> tops;
    EnumWindows([](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
    }, LPARAM(&tops));
    EXPECT_EQ(tops, (std::vector<HWND>{popup, top}));
    EXPECT_EQ(FindWindow(TestClass(), "Pop"), popup);
    // The owner takes its owned windows with it.
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(popup));
}

TEST_F(WindowTest, LongsStylesIdsAndText)
{
    HWND top = MakeTopLevel();
    HWND child = MakeChild(top, 59648, RECT{0, 0, 10, 10}, WS_CHILD | WS_TABSTOP);
    EXPECT_TRUE(GetWindowLong(top, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(GetWindowLong(child, GWL_ID), 59648);
    SetWindowLong(child, GWL_ID, 59649);
    EXPECT_EQ(GetDlgCtrlID(child), 59649);

    Rec().Clear();
    LONG old = SetWindowLong(child, GWL_STYLE, WS_CHILD | WS_BORDER);
    EXPECT_EQ(old, LONG(WS_CHILD | WS_TABSTOP));
    EXPECT_THAT(Rec().MessagesOf(child), ElementsAre(WM_STYLECHANGING, WM_STYLECHANGED));
    EXPECT_EQ(DWORD(GetWindowLong(child, GWL_STYLE)), DWORD(WS_CHILD | WS_BORDER));

    SetWindowLongPtr(child, GWL_USERDATA, 0x5555);
    EXPECT_EQ(GetWindowLongPtr(child, GWL_USERDATA), 0x5555);
    EXPECT_EQ(GetWindowLong(child, 0), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_INDEX);

    // Dialogs keep their message result in the extra bytes.
    HWND dlg = CreateWindowEx(0, "#32770", "Dlg", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    SetWindowLongPtr(dlg, DWL_MSGRESULT, 77);
    EXPECT_EQ(GetWindowLongPtr(dlg, DWL_MSGRESULT), 77);

    char name[32];
    EXPECT_EQ(GetClassName(dlg, name, sizeof name), 6);
    EXPECT_STREQ(name, "#32770");
    HWND button = CreateWindowEx(0, "BUTTON", "OK", WS_CHILD, 0, 0, 10, 10, dlg, (HMENU)1, NULL, NULL);
    GetClassName(button, name, sizeof name);
    EXPECT_STREQ(name, "Button");

    SetWindowText(top, "Caf\xe9 design");
    char text[8];
    EXPECT_EQ(GetWindowTextLength(top), 11);
    EXPECT_EQ(GetWindowText(top, text, sizeof text), 7);
    EXPECT_STREQ(text, "Caf\xe9 de");
}

TEST_F(WindowTest, GeometryAndCoordinateMapping)
{
    HWND top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{100, 50, 500, 350});
    HWND child = MakeChild(top, 1, RECT{10, 20, 110, 70}, WS_CHILD | WS_VISIBLE | WS_BORDER);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.top, 70);
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 98); // one-pixel border on each side
    EXPECT_EQ(r.bottom, 48);
    POINT p{0, 0};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, 111);
    EXPECT_EQ(p.y, 71);
    ScreenToClient(top, &p);
    EXPECT_EQ(p.x, 11);
    POINT pts[1] = {{0, 0}};
    int packed = MapWindowPoints(child, top, pts, 1);
    EXPECT_EQ(pts[0].x, 11);
    EXPECT_EQ(pts[0].y, 21);
    EXPECT_EQ(SHORT(LOWORD(packed)), 11);

    Rec().Clear();
    MoveWindow(child, 30, 40, 60, 30, TRUE);
    std::vector<UINT> seen = Rec().MessagesOf(child);
    EXPECT_THAT(seen, ElementsAre(WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE));
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 130);
    EXPECT_EQ(r.right, 190);

    // WM_WINDOWPOSCHANGING may change what happens.
    Rec().handlers[child] = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT&) {
        if (m == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(l)->cx = 20;
        return false;
    };
    SetWindowPos(child, NULL, 0, 0, 200, 200, SWP_NOZORDER | SWP_NOMOVE);
    GetWindowRect(child, &r);
    EXPECT_EQ(r.right - r.left, 20);
    EXPECT_EQ(r.bottom - r.top, 200);

    // Moving the parent moves the child on the screen.
    MoveWindow(top, 0, 0, 400, 300, TRUE);
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(WindowFromPoint(POINT{35, 45}), child);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{5, 5}), top);
}

TEST_F(WindowTest, ShowStatesAndPlacement)
{
    HWND top = MakeTopLevel(WS_OVERLAPPEDWINDOW, RECT{10, 20, 310, 220});
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_FALSE(ShowWindow(top, SW_SHOWNOACTIVATE));
    EXPECT_TRUE(IsWindowVisible(top));

    Rec().Clear();
    ShowWindow(top, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(top));
    bool sawMaximizedSize = false;
    for (const Seen& s : Rec().log)
        if (s.hwnd == top && s.message == WM_SIZE && s.wParam == SIZE_MAXIMIZED)
            sawMaximizedSize = true;
    EXPECT_TRUE(sawMaximizedSize);
    RECT r;
    GetClientRect(top, &r);
    EXPECT_GE(r.right, 1000);

    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ASSERT_TRUE(GetWindowPlacement(top, &wp));
    EXPECT_EQ(wp.showCmd, (UINT)SW_SHOWMAXIMIZED);
    EXPECT_EQ(wp.rcNormalPosition.left, 10);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 220);

    ShowWindow(top, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(top));
    EXPECT_FALSE(IsZoomed(top));
    ShowWindow(top, SW_RESTORE);
    // Restoring a window minimised from maximised brings it back maximised.
    EXPECT_TRUE(IsZoomed(top));
    ShowWindow(top, SW_SHOWNORMAL);
    GetWindowRect(top, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 310);

    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = RECT{40, 50, 240, 150};
    ASSERT_TRUE(SetWindowPlacement(top, &wp));
    GetWindowRect(top, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.bottom, 150);
    wp.length = 0;
    EXPECT_FALSE(SetWindowPlacement(top, &wp));

    Rec().Clear();
    EXPECT_TRUE(ShowWindow(top, SW_HIDE));
    EXPECT_EQ(Rec().MessagesOf(top).front(), (UINT)WM_SHOWWINDOW);
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_FALSE(ShowWindow(top, SW_HIDE));
}

TEST_F(WindowTest, EnableSendsWmEnableOnlyOnChange)
{
    HWND top = MakeTopLevel();
    Rec().Clear();
    EXPECT_FALSE(EnableWindow(top, FALSE));
    EXPECT_TRUE(EnableWindow(top, FALSE));
    EXPECT_FALSE(IsWindowEnabled(top));
    EXPECT_TRUE(EnableWindow(top, TRUE));
    EXPECT_THAT(Rec().MessagesOf(top), ElementsAre(WM_ENABLE, WM_ENABLE));
    EXPECT_TRUE(IsWindowEnabled(top));
}

TEST_F(WindowTest, MessageBoxDisablesOwnerAndTakesInjectedAnswers)
{
    HWND top = MakeTopLevel();
    HWND child = MakeChild(top, 1, RECT{0, 0, 10, 10});
    platform::headless::PushMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBox(child, "Save changes?", "Threadwick", MB_YESNOCANCEL), IDNO);
    // Without an injected answer, the default button answers.
    EXPECT_EQ(MessageBox(child, "Again?", NULL, MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBox(NULL, "Done", "T", MB_OK), IDOK);
    const auto& boxes = platform::headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].owner, top);
    EXPECT_EQ(boxes[0].text, "Save changes?");
    EXPECT_EQ(boxes[1].caption, "Error");
    EXPECT_TRUE(IsWindowEnabled(top));
}

TEST_F(WindowTest, MetricsColoursAndDialogUnits)
{
    platform::headless::SetScreen(1920, 1080);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXCURSOR), 32);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), (HBRUSH)NULL);
    EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(8, 16));
    HWND dlg = CreateWindowEx(0, "#32770", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    RECT r{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(dlg, &r));
    EXPECT_EQ(r.right, 8);
    EXPECT_EQ(r.bottom, 16);
}

TEST_F(WindowTest, BackendNameChoice)
{
    std::string error;
    EXPECT_EQ(platform::ChooseBackendName(nullptr, true, error), "sdl");
    EXPECT_EQ(platform::ChooseBackendName("", false, error), "headless");
    EXPECT_EQ(platform::ChooseBackendName("headless", true, error), "headless");
    EXPECT_EQ(platform::ChooseBackendName("x11", true, error), "");
    EXPECT_NE(error.find("x11"), std::string::npos);
}

} // namespace
