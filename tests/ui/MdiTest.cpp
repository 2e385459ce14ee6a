#include "platform/base/Geometry.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Mdi.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr UINT kFirstChild = 0xFF00;

struct Activation {
    HWND target;
    HWND deactivated;
    HWND activated;
};

struct State {
    HWND client = NULL;
    std::vector<Activation> activations;
    std::vector<LPARAM> createParams;
};
State g;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefFrameProc(hwnd, g.client, msg, wParam, lParam);
}

// A pane filling a child's client, painted in the child's colour, as a
// view fills its frame.
LRESULT CALLBACK PaneProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r{};
        GetClientRect(hwnd, &r);
        // A stripe at the pane's left edge tells a moved pane from a
        // repainted one.
        HBRUSH brush = CreateSolidBrush(COLORREF(GetWindowLongPtr(GetParent(hwnd), GWLP_USERDATA)));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        RECT stripe{0, 0, 3, r.bottom};
        FillRect(dc, &stripe, HBRUSH(GetStockObject(BLACK_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND)
        return 1;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SIZE) {
        if (HWND pane = GetWindow(hwnd, GW_CHILD))
            MoveWindow(pane, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    // A child given a colour (GWLP_USERDATA) paints its client in it.
    if (msg == WM_PAINT && GetWindowLongPtr(hwnd, GWLP_USERDATA) != 0) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r{};
        GetClientRect(hwnd, &r);
        HBRUSH brush = CreateSolidBrush(COLORREF(GetWindowLongPtr(hwnd, GWLP_USERDATA)));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_MDIACTIVATE)
        g.activations.push_back(Activation{hwnd, HWND(wParam), HWND(lParam)});
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        auto* mcs = static_cast<MDICREATESTRUCT*>(cs->lpCreateParams);
        g.createParams.push_back(mcs ? mcs->lParam : -1);
    }
    return DefMDIChildProc(hwnd, msg, wParam, lParam);
}

std::string Text(HWND hwnd)
{
    char buffer[256] = {};
    GetWindowText(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string ItemText(HMENU menu, int pos)
{
    char buffer[128] = {};
    GetMenuString(menu, UINT(pos), buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
}

// Lets the key state follow the injected keys.
void Drain()
{
    MSG m{};
    for (int i = 0; i < 1000 && PeekMessage(&m, NULL, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&m);
        DispatchMessage(&m);
    }
}

RECT ClientRectOnScreen(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, NULL, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT RectInParent(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(NULL, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class MdiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        g = State{};
        WNDCLASS wc{};
        wc.lpfnWndProc = FrameProc;
        wc.lpszClassName = "MdiTestFrame";
        RegisterClass(&wc);
        wc.lpfnWndProc = ChildProc;
        wc.lpszClassName = "MdiTestChild";
        RegisterClass(&wc);
        wc.lpfnWndProc = PaneProc;
        wc.lpszClassName = "MdiTestPane";
        RegisterClass(&wc);

        menu = CreateMenu();
        windowMenu = CreatePopupMenu();
        AppendMenu(windowMenu, MF_STRING, 57650, "&Cascade");
        AppendMenu(menu, MF_POPUP, UINT_PTR(windowMenu), "&Window");
        frame = CreateWindowEx(0, "MdiTestFrame", "App", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, NULL,
            menu, NULL, nullptr);
        CLIENTCREATESTRUCT ccs{windowMenu, kFirstChild};
        RECT r{};
        GetClientRect(frame, &r);
        g.client = CreateWindowEx(0, "MDIClient", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, r.right,
            r.bottom, frame, HMENU(0xE900), NULL, &ccs);
        client = g.client;
        ASSERT_TRUE(client);
    }

    HWND NewChild(const char* title, DWORD style = WS_VISIBLE, LPARAM lParam = 0)
    {
        return CreateMDIWindow("MdiTestChild", title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
            CW_USEDEFAULT, client, NULL, lParam);
    }

    HWND Active(BOOL* maximized = nullptr)
    {
        return HWND(SendMessage(client, WM_MDIGETACTIVE, 0, LPARAM(maximized)));
    }

    HWND frame = NULL;
    HWND client = NULL;
    HMENU menu = NULL;
    HMENU windowMenu = NULL;
};

TEST_F(MdiTest, ChildrenGetConsecutiveIdsForcedStylesAndCascadingDefaults)
{
    HWND a = NewChild("A", WS_VISIBLE | WS_POPUP, 11);
    HWND b = NewChild("B", WS_VISIBLE, 22);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(GetDlgCtrlID(a), int(kFirstChild));
    EXPECT_EQ(GetDlgCtrlID(b), int(kFirstChild + 1));
    EXPECT_EQ(GetParent(a), client);
    DWORD style = DWORD(GetWindowLongPtr(a, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
        DWORD(WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(GetWindowLongPtr(a, GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_EQ(g.createParams, (std::vector<LPARAM>{11, 22}));

    RECT ra = RectInParent(a);
    RECT rb = RectInParent(b);
    EXPECT_EQ(ra.left, 0);
    EXPECT_EQ(ra.top, 0);
    EXPECT_GT(rb.left, ra.left);
    EXPECT_EQ(rb.left - ra.left, rb.top - ra.top);
    EXPECT_EQ(rb.right - rb.left, ra.right - ra.left);

    // Ids stay consecutive when a child goes.
    HWND c = NewChild("C");
    SendMessage(client, WM_MDIDESTROY, WPARAM(a), 0);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(GetDlgCtrlID(b), int(kFirstChild));
    EXPECT_EQ(GetDlgCtrlID(c), int(kFirstChild + 1));
}

// Closing a window and opening another, again and again, keeps the new one
// where the closed one was; it never walks down the cascade.
TEST_F(MdiTest, AWindowOpenedAfterOneClosedTakesItsPlace)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    ASSERT_TRUE(a && b);
    const RECT rb = RectInParent(b);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        SendMessage(client, WM_MDIDESTROY, WPARAM(b), 0);
        b = NewChild("B");
        ASSERT_TRUE(b);
        const RECT again = RectInParent(b);
        EXPECT_EQ(again.left, rb.left);
        EXPECT_EQ(again.top, rb.top);
    }
    // With the first place free again, the next window goes there, and the
    // one after it past the two held places.
    SendMessage(client, WM_MDIDESTROY, WPARAM(a), 0);
    HWND c = NewChild("C");
    EXPECT_EQ(RectInParent(c).left, 0);
    EXPECT_EQ(RectInParent(c).top, 0);
    HWND d = NewChild("D");
    EXPECT_GT(RectInParent(d).top, rb.top);
    EXPECT_EQ(RectInParent(d).top - rb.top, rb.top);
}

TEST_F(MdiTest, ActivationTellsOldThenNewChildWithBothHandles)
{
    HWND a = NewChild("A");
    ASSERT_EQ(g.activations.size(), 1u);
    EXPECT_EQ(g.activations[0].target, a);
    EXPECT_EQ(g.activations[0].deactivated, HWND(NULL));
    EXPECT_EQ(g.activations[0].activated, a);

    HWND b = NewChild("B");
    g.activations.clear();
    SendMessage(client, WM_MDIACTIVATE, WPARAM(a), 0);
    ASSERT_EQ(g.activations.size(), 2u);
    EXPECT_EQ(g.activations[0].target, b);
    EXPECT_EQ(g.activations[1].target, a);
    for (const Activation& act : g.activations) {
        EXPECT_EQ(act.deactivated, b);
        EXPECT_EQ(act.activated, a);
    }
    BOOL maximized = TRUE;
    EXPECT_EQ(Active(&maximized), a);
    EXPECT_FALSE(maximized);

    // Activating the active child again says nothing.
    g.activations.clear();
    SendMessage(client, WM_MDIACTIVATE, WPARAM(a), 0);
    EXPECT_TRUE(g.activations.empty());
}

TEST_F(MdiTest, HiddenChildStaysInactiveUntilActivated)
{
    HWND a = NewChild("A", 0);
    EXPECT_FALSE(IsWindowVisible(a));
    EXPECT_EQ(Active(), HWND(NULL));
    ShowWindow(a, SW_SHOW);
    SendMessage(client, WM_MDIACTIVATE, WPARAM(a), 0);
    EXPECT_EQ(Active(), a);
}

TEST_F(MdiTest, ClickInAnInactiveChildActivatesIt)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    SendMessage(client, WM_MDITILE, MDITILE_VERTICAL, 0);
    ASSERT_EQ(Active(), b);
    RECT inner = ClientRectOnScreen(a);
    platform::headless::Click(inner.left + 5, inner.top + 5);
    Drain();
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(GetFocus(), a);

    // The caption works as well.
    RECT outer{};
    GetWindowRect(b, &outer);
    platform::headless::Click((outer.left + outer.right) / 2, outer.top + 8);
    Drain();
    EXPECT_EQ(Active(), b);
}

TEST_F(MdiTest, ClosingTheActiveChildActivatesTheNextAndTheLastLeavesNone)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    g.activations.clear();
    SendMessage(b, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(Active(), a);
    ASSERT_GE(g.activations.size(), 1u);
    EXPECT_EQ(g.activations.back().target, a);
    EXPECT_EQ(g.activations.back().deactivated, b);

    g.activations.clear();
    SendMessage(client, WM_MDIDESTROY, WPARAM(a), 0);
    EXPECT_EQ(Active(), HWND(NULL));
    ASSERT_EQ(g.activations.size(), 1u);
    EXPECT_EQ(g.activations[0].target, a);
    EXPECT_EQ(g.activations[0].deactivated, a);
    EXPECT_EQ(g.activations[0].activated, HWND(NULL));
}

TEST_F(MdiTest, MaximisedChildFillsClientTitlesFrameAndStaysMaximisedAcrossActivation)
{
    HWND a = NewChild("Doc1");
    HWND b = NewChild("Doc2");
    SendMessage(client, WM_MDIMAXIMIZE, WPARAM(b), 0);
    BOOL maximized = FALSE;
    EXPECT_EQ(Active(&maximized), b);
    EXPECT_TRUE(maximized);
    RECT inner = ClientRectOnScreen(b);
    RECT area = ClientRectOnScreen(client);
    EXPECT_TRUE(EqualRect(&inner, &area));
    EXPECT_EQ(Text(frame), "App - [Doc2]");

    SendMessage(client, WM_MDIACTIVATE, WPARAM(a), 0);
    EXPECT_TRUE(IsZoomed(a));
    EXPECT_FALSE(IsZoomed(b));
    EXPECT_EQ(Text(frame), "App - [Doc1]");

    // A title change of the maximised child shows in the frame; a new frame
    // title keeps the child's part.
    SetWindowText(a, "Renamed");
    EXPECT_EQ(Text(frame), "App - [Renamed]");
    SetWindowText(frame, "Program");
    EXPECT_EQ(Text(frame), "Program - [Renamed]");

    // A new child opens maximised in a maximised frame.
    HWND c = NewChild("Doc3");
    EXPECT_TRUE(IsZoomed(c));
    EXPECT_FALSE(IsZoomed(a));

    // The frame keeps following when the client is resized.
    MoveWindow(frame, 0, 0, 500, 400, TRUE);
    inner = ClientRectOnScreen(c);
    area = ClientRectOnScreen(client);
    EXPECT_TRUE(EqualRect(&inner, &area));

    SendMessage(client, WM_MDIRESTORE, WPARAM(c), 0);
    EXPECT_FALSE(IsZoomed(c));
    EXPECT_EQ(Text(frame), "Program");
}

TEST_F(MdiTest, MaximisedChildPutsItsSystemMenuAndButtonsInTheFrameMenuBar)
{
    HWND a = NewChild("Doc1");
    int plain = GetMenuItemCount(menu);
    SendMessage(client, WM_MDIMAXIMIZE, WPARAM(a), 0);
    ASSERT_EQ(GetMenuItemCount(menu), plain + 4);
    HMENU system = GetSubMenu(menu, 0);
    ASSERT_TRUE(system);
    EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_BITMAP);
    EXPECT_NE(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(GetMenuItemID(menu, plain + 1), UINT(SC_MINIMIZE));
    EXPECT_EQ(GetMenuItemID(menu, plain + 2), UINT(SC_RESTORE));
    EXPECT_EQ(GetMenuItemID(menu, plain + 3), UINT(SC_CLOSE));
    EXPECT_TRUE(GetMenuState(menu, plain + 3, MF_BYPOSITION) & MF_HELP);
    // The Window popup keeps its place among the frame's own items.
    EXPECT_EQ(GetSubMenu(menu, 1), windowMenu);

    // The buttons are the child's system commands.
    SendMessage(frame, WM_COMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(a));
    EXPECT_EQ(GetMenuItemCount(menu), plain);

    // They move with the menu, and go when the child closes.
    SendMessage(client, WM_MDIMAXIMIZE, WPARAM(a), 0);
    HMENU other = CreateMenu();
    AppendMenu(other, MF_STRING, 100, "&Other");
    SendMessage(client, WM_MDISETMENU, WPARAM(other), 0);
    EXPECT_EQ(GetMenuItemCount(menu), plain);
    EXPECT_EQ(GetMenuItemCount(other), 1 + 4);
    SendMessage(frame, WM_COMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(GetMenuItemCount(other), 1);
    SendMessage(client, WM_MDISETMENU, WPARAM(menu), 0);
    DestroyMenu(other);
}

TEST_F(MdiTest, ClosingMaximisedChildPassesMaximisedStateOnOrRestoresTitle)
{
    HWND a = NewChild("Doc1");
    HWND b = NewChild("Doc2");
    SendMessage(client, WM_MDIMAXIMIZE, WPARAM(b), 0);
    SendMessage(client, WM_MDIDESTROY, WPARAM(b), 0);
    BOOL maximized = FALSE;
    EXPECT_EQ(Active(&maximized), a);
    EXPECT_TRUE(maximized);
    EXPECT_EQ(Text(frame), "App - [Doc1]");
    SendMessage(client, WM_MDIDESTROY, WPARAM(a), 0);
    EXPECT_EQ(Text(frame), "App");
    // Text-less WM_SETTEXT composes the caption again instead of emptying it.
    SendMessage(frame, WM_SETTEXT, 0, 0);
    EXPECT_EQ(Text(frame), "App");
}

TEST_F(MdiTest, WindowMenuListsChildrenAndChecksTheActiveOne)
{
    int fixedItems = GetMenuItemCount(windowMenu);
    HWND a = NewChild("Alpha");
    HWND b = NewChild("Beta");
    ASSERT_EQ(GetMenuItemCount(windowMenu), fixedItems + 3);
    EXPECT_TRUE(GetMenuState(windowMenu, UINT(fixedItems), MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(ItemText(windowMenu, fixedItems + 1), "&1 Alpha");
    EXPECT_EQ(ItemText(windowMenu, fixedItems + 2), "&2 Beta");
    EXPECT_EQ(GetMenuItemID(windowMenu, fixedItems + 1), kFirstChild);
    EXPECT_TRUE(GetMenuState(windowMenu, kFirstChild + 1, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(windowMenu, kFirstChild, MF_BYCOMMAND) & MF_CHECKED);

    // Choosing an entry through the frame activates that child.
    SendMessage(frame, WM_COMMAND, kFirstChild, 0);
    EXPECT_EQ(Active(), a);
    EXPECT_TRUE(GetMenuState(windowMenu, kFirstChild, MF_BYCOMMAND) & MF_CHECKED);

    SetWindowText(b, "Gamma");
    EXPECT_EQ(ItemText(windowMenu, fixedItems + 2), "&2 Gamma");

    SendMessage(client, WM_MDIDESTROY, WPARAM(a), 0);
    ASSERT_EQ(GetMenuItemCount(windowMenu), fixedItems + 2);
    EXPECT_EQ(ItemText(windowMenu, fixedItems + 1), "&1 Gamma");
    SendMessage(client, WM_MDIDESTROY, WPARAM(b), 0);
    EXPECT_EQ(GetMenuItemCount(windowMenu), fixedItems);
}

TEST_F(MdiTest, SetMenuSwapsFrameMenuAndMovesTheList)
{
    NewChild("Alpha");
    HMENU other = CreateMenu();
    HMENU otherWindow = CreatePopupMenu();
    AppendMenu(otherWindow, MF_STRING, 57651, "&Tile");
    AppendMenu(other, MF_POPUP, UINT_PTR(otherWindow), "&Window");

    HMENU old = HMENU(SendMessage(client, WM_MDISETMENU, WPARAM(other), LPARAM(otherWindow)));
    EXPECT_EQ(old, menu);
    EXPECT_EQ(GetMenu(frame), other);
    EXPECT_EQ(GetMenuItemCount(windowMenu), 1);
    ASSERT_EQ(GetMenuItemCount(otherWindow), 3);
    EXPECT_EQ(ItemText(otherWindow, 2), "&1 Alpha");

    EXPECT_EQ(HMENU(SendMessage(client, WM_MDIREFRESHMENU, 0, 0)), other);
    EXPECT_EQ(GetMenuItemCount(otherWindow), 3);
    // Put the first menu back so the frame destroys it; the other one is ours.
    SendMessage(client, WM_MDISETMENU, WPARAM(menu), LPARAM(windowMenu));
    DestroyMenu(other);
}

TEST_F(MdiTest, TileAndCascadeGeometry)
{
    RECT area{};
    GetClientRect(client, &area);
    HWND a = NewChild("A");
    HWND b = NewChild("B");

    // Vertical tiling: side by side, each the full height.
    EXPECT_TRUE(SendMessage(client, WM_MDITILE, MDITILE_VERTICAL, 0));
    RECT ra = RectInParent(a);
    RECT rb = RectInParent(b);
    EXPECT_EQ(ra.top, 0);
    EXPECT_EQ(rb.top, 0);
    EXPECT_EQ(ra.bottom, area.bottom);
    EXPECT_EQ(std::min(ra.left, rb.left), 0);
    EXPECT_EQ(std::max(ra.right, rb.right), area.right);
    EXPECT_EQ(std::min(ra.right, rb.right), std::max(ra.left, rb.left));

    // Horizontal tiling: one above the other, each the full width.
    EXPECT_TRUE(SendMessage(client, WM_MDITILE, MDITILE_HORIZONTAL, 0));
    ra = RectInParent(a);
    rb = RectInParent(b);
    EXPECT_EQ(ra.left, 0);
    EXPECT_EQ(ra.right, area.right);
    EXPECT_EQ(std::min(ra.top, rb.top), 0);
    EXPECT_EQ(std::max(ra.bottom, rb.bottom), area.bottom);
    EXPECT_EQ(std::min(ra.bottom, rb.bottom), std::max(ra.top, rb.top));

    // Five windows tile in two columns of two and three.
    HWND c = NewChild("C");
    NewChild("D");
    NewChild("E");
    SendMessage(client, WM_MDITILE, MDITILE_VERTICAL, 0);
    std::vector<int> lefts;
    for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        RECT r = RectInParent(h);
        lefts.push_back(r.left);
    }
    EXPECT_EQ(std::count(lefts.begin(), lefts.end(), 0), 2);

    // Cascading: the active window ends on top, furthest from the corner,
    // each window one step further than the one below.
    EXPECT_TRUE(SendMessage(client, WM_MDICASCADE, 0, 0));
    HWND active = Active();
    RECT top = RectInParent(active);
    EXPECT_EQ(GetWindow(client, GW_CHILD), active);
    RECT next = RectInParent(GetWindow(active, GW_HWNDNEXT));
    EXPECT_GT(top.left, next.left);
    EXPECT_EQ(top.left - next.left, top.top - next.top);
    EXPECT_EQ(top.right - top.left, next.right - next.left);
    (void)c;

    // A maximised child is restored before arranging.
    SendMessage(client, WM_MDIMAXIMIZE, WPARAM(a), 0);
    SendMessage(client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
    EXPECT_FALSE(IsZoomed(a));
}

// What the MDI client area shows, children and their frames included.
std::vector<COLORREF> Shown(HWND client)
{
    RECT r{};
    GetClientRect(client, &r);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            pixels.push_back(platform::headless::WindowPixel(client, x, y) & 0xFFFFFF);
    return pixels;
}

TEST_F(MdiTest, ArrangedWindowsRepaintWhatTheyUncover)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    HWND c = NewChild("C");
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 220)};
    HWND children[] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        SetWindowLongPtr(children[i], GWLP_USERDATA, LONG_PTR(colours[i]));
        RECT r{};
        GetClientRect(children[i], &r);
        CreateWindowEx(0, "MdiTestPane", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, r.right, r.bottom, children[i], NULL,
            NULL, nullptr);
    }
    RECT area{};
    GetClientRect(client, &area);
    for (UINT how : {UINT(WM_MDICASCADE), UINT(MDITILE_HORIZONTAL), UINT(WM_MDICASCADE), UINT(MDITILE_VERTICAL),
             UINT(MDITILE_HORIZONTAL), UINT(WM_MDICASCADE)}) {
        SCOPED_TRACE(how);
        if (how == WM_MDICASCADE)
            SendMessage(client, WM_MDICASCADE, 0, 0);
        else
            SendMessage(client, WM_MDITILE, how, 0);
        Drain();
        UpdateWindow(frame);
        // What is on screen must be what a full repaint draws.
        const std::vector<COLORREF> arranged = Shown(client);
        RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const std::vector<COLORREF> repainted = Shown(client);
        ASSERT_EQ(arranged.size(), repainted.size());
        size_t nStale = 0;
        size_t nFirst = 0;
        for (size_t i = 0; i < arranged.size(); ++i) {
            if (arranged[i] != repainted[i] && nStale++ == 0)
                nFirst = i;
        }
        EXPECT_EQ(nStale, 0u) << "first stale pixel at " << nFirst % size_t(area.right) << ", "
                              << nFirst / size_t(area.right);
    }
}

TEST_F(MdiTest, NextVisitsEveryChildAndPreviousGoesBack)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    HWND c = NewChild("C");
    std::vector<HWND> seen;
    for (int i = 0; i < 3; ++i) {
        SendMessage(client, WM_MDINEXT, 0, 0);
        seen.push_back(Active());
    }
    EXPECT_EQ(seen, (std::vector<HWND>{b, a, c}));
    SendMessage(client, WM_MDINEXT, 0, 1);
    EXPECT_NE(Active(), c);
}

TEST_F(MdiTest, ControlF4ClosesAndControlF6ActivatesNext)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    platform::headless::KeyDown(VK_CONTROL);
    Drain();
    MSG msg{};
    msg.hwnd = b;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F6;
    EXPECT_TRUE(TranslateMDISysAccel(client, &msg));
    EXPECT_EQ(Active(), a);
    msg.wParam = VK_F4;
    EXPECT_TRUE(TranslateMDISysAccel(client, &msg));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(Active(), b);
    msg.wParam = 'A';
    EXPECT_FALSE(TranslateMDISysAccel(client, &msg));

    platform::headless::KeyUp(VK_CONTROL);
    Drain();
    msg.wParam = VK_F4;
    EXPECT_FALSE(TranslateMDISysAccel(client, &msg));
    EXPECT_TRUE(IsWindow(b));
}

TEST_F(MdiTest, FrameSizeResizesClientAndMinimisedChildrenLineUpAtTheBottom)
{
    MoveWindow(frame, 0, 0, 720, 330, TRUE);
    RECT fr{};
    GetClientRect(frame, &fr);
    RECT cr = RectInParent(client);
    EXPECT_TRUE(EqualRect(&fr, &cr));

    HWND a = NewChild("A");
    HWND b = NewChild("B");
    SendMessage(a, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SendMessage(b, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(a));
    RECT ra = RectInParent(a);
    RECT rb = RectInParent(b);
    RECT area{};
    GetClientRect(client, &area);
    EXPECT_EQ(ra.bottom, rb.bottom);
    EXPECT_LE(ra.bottom, area.bottom);
    EXPECT_GT(ra.bottom, area.bottom - 40);
    EXPECT_NE(ra.left, rb.left);

    // Minimised directly, a child still joins the row.
    HWND c = NewChild("C");
    ShowWindow(c, SW_MINIMIZE);
    RECT rc = RectInParent(c);
    EXPECT_EQ(rc.bottom, ra.bottom);
    EXPECT_NE(rc.left, ra.left);
    EXPECT_NE(rc.left, rb.left);

    // Arranging keeps them in one row from the left.
    SendMessage(client, WM_MDIICONARRANGE, 0, 0);
    std::vector<LONG> lefts{RectInParent(a).left, RectInParent(b).left, RectInParent(c).left};
    std::sort(lefts.begin(), lefts.end());
    EXPECT_EQ(lefts[0], 0);
    EXPECT_EQ(RectInParent(c).bottom, ra.bottom);
}

} // namespace
