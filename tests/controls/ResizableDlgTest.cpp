// Resizable dialogs on the headless back end: the first-time size, stored
// placements that no longer fit the screen, the minimum tracking size, the
// maximise and minimise commands, the placement written when the dialog is
// destroyed and restored at the next opening, and the control layout.

#include "controls/ResizableDlg.h"

#include "app/Utilities.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <string>

namespace {

constexpr UINT kResizableDialog = 30630;
constexpr int kList = 1000;
constexpr const char* kValueName = "Kit Test Dialog";

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
const platform::DialogItemTemplate kItems[] = {
    {kChild | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0, 0, 7, 7, 140, 80, kList, "LISTBOX", "", 0},
    {kChild | BS_DEFPUSHBUTTON, 0, 0, 96, 94, 50, 14, IDOK, "BUTTON", "OK", 0},
    {kChild | BS_PUSHBUTTON, 0, 0, 40, 94, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
};
const platform::DialogTemplate kTemplate = {false,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT, 0, 0, 0, 0,
    154, 115, "Resizable", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kItems, 3};
const platform::ResourceEntry kEntries[] = {
    {nullptr, 5, nullptr, WORD(kResizableDialog), &kTemplate, DWORD(sizeof kTemplate)},
};
const platform::ResourceTable kTable{kEntries, 1, nullptr, 0};

// OK at the bottom right, Cancel before it, the list stretched to the
// right edge and down to the buttons.
class CTestResizableDlg : public CResizableDlg {
public:
    CTestResizableDlg()
        : CResizableDlg(kResizableDialog, nullptr)
    {
        InitLayout(kValueName, 90);
    }
    BOOL OnInitDialog() override
    {
        CResizableDlg::OnInitDialog();
        m_bRestoredDefault = m_layout.RestoreSize();
        m_bLimitMinSize = TRUE;
        return TRUE;
    }
    void RepositionControls() override
    {
        ++m_nRepositions;
        m_layout.MoveControl(IDOK, CDlgLayout::sideRight, CDlgLayout::kClientArea, FALSE);
        m_layout.MoveControl(IDOK, CDlgLayout::sideBottom, CDlgLayout::kClientArea, FALSE);
        m_layout.MoveControl(IDCANCEL, CDlgLayout::sideBefore, IDOK, TRUE);
        m_layout.MoveControl(IDCANCEL, CDlgLayout::sideBottom, CDlgLayout::kClientArea, FALSE);
        m_layout.SizeControl(kList, CDlgLayout::sideRight, CDlgLayout::kClientArea, FALSE);
        m_layout.SizeControl(kList, CDlgLayout::sideBottom, IDOK, FALSE);
    }
    BOOL m_bRestoredDefault = FALSE;
    int m_nRepositions = 0;
};

class ResizableDlgTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        MakeApp();
        App()->SetRegistryKey("Threadwick Tests");
        threadwick::RegisterResources();
        platform::RegisterResourceModule(platform::ResourceModule::Program, kTable);
    }

    CRect WindowRect(const CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        return rc;
    }
    CRect ChildRect(const CWnd& dlg, int nID)
    {
        CRect rc;
        ::GetWindowRect(::GetDlgItem(dlg.m_hWnd, nID), &rc);
        dlg.ScreenToClient(&rc);
        return rc;
    }
    void Store(const RECT& rcNormal, UINT showCmd = SW_SHOWNORMAL)
    {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        wp.showCmd = showCmd;
        wp.ptMinPosition = POINT{-1, -1};
        wp.ptMaxPosition = POINT{-1, -1};
        wp.rcNormalPosition = rcNormal;
        App()->WriteProfileString("Application", kValueName, FormatPlacementText(wp));
    }
    CSize TemplateSize()
    {
        CTestResizableDlg probe;
        probe.m_layout.m_strValueName.Empty();
        EXPECT_TRUE(probe.Create(kResizableDialog));
        CSize size = probe.m_layout.GetInitialSize();
        probe.DestroyWindow();
        return size;
    }
};

TEST_F(ResizableDlgTest, FirstOpeningTakesTheShareOfTheScreenAtItsCorner)
{
    CTestResizableDlg dlg;
    ASSERT_TRUE(dlg.Create(kResizableDialog));
    EXPECT_TRUE(dlg.m_bRestoredDefault);
    EXPECT_EQ(CRect(0, 0, 922, 691), WindowRect(dlg));
    EXPECT_FALSE(dlg.IsZoomed());
    dlg.DestroyWindow();
}

TEST_F(ResizableDlgTest, PlacementsThatDoNotFitTheScreenAreIgnored)
{
    const RECT unusable[] = {
        {0, 0, 1100, 500},        // wider than the screen
        {0, 0, 500, 800},         // taller
        {3000, 10, 3300, 210},    // left beyond the right edge by a larger screen
        {-400, 10, -100, 210},    // beyond the left edge
        {900, 600, 1200, 800},    // reaching past the bottom right corner
        {100, 100, 100, 300},     // empty
    };
    for (const RECT& rc : unusable) {
        Store(rc);
        CTestResizableDlg dlg;
        ASSERT_TRUE(dlg.Create(kResizableDialog));
        EXPECT_TRUE(dlg.m_bRestoredDefault) << rc.left << ',' << rc.right;
        EXPECT_EQ(CRect(0, 0, 922, 691), WindowRect(dlg)) << rc.left << ',' << rc.right;
        dlg.m_layout.m_strValueName.Empty(); // keep the stored text for the next case
        dlg.DestroyWindow();
    }

    Store(CRect(100, 50, 600, 450));
    CTestResizableDlg dlg;
    ASSERT_TRUE(dlg.Create(kResizableDialog));
    EXPECT_FALSE(dlg.m_bRestoredDefault);
    EXPECT_EQ(CRect(100, 50, 600, 450), WindowRect(dlg));
    dlg.DestroyWindow();
}

TEST_F(ResizableDlgTest, StoredPlacementNeverHidesMinimisesOrMaximises)
{
    for (UINT showCmd : {UINT(SW_HIDE), UINT(SW_SHOWMINIMIZED), UINT(SW_SHOWMAXIMIZED), UINT(SW_MINIMIZE), 77u}) {
        Store(CRect(100, 50, 600, 450), showCmd);
        CTestResizableDlg dlg;
        ASSERT_TRUE(dlg.Create(kResizableDialog));
        EXPECT_FALSE(dlg.m_bRestoredDefault) << showCmd;
        EXPECT_TRUE(dlg.IsWindowVisible()) << showCmd;
        EXPECT_FALSE(dlg.IsIconic()) << showCmd;
        EXPECT_FALSE(dlg.IsZoomed()) << showCmd;
        EXPECT_EQ(CRect(100, 50, 600, 450), WindowRect(dlg)) << showCmd;
        dlg.m_layout.m_strValueName.Empty();
        dlg.DestroyWindow();
    }
}

TEST_F(ResizableDlgTest, DefaultFollowsPercentAndScreen)
{
    platform::headless::SetScreen(800, 600);
    CDlgLayout layout("Other", 50);
    WINDOWPLACEMENT wp = layout.GetDefaultPlacement();
    EXPECT_EQ(UINT(SW_SHOWNORMAL), wp.showCmd);
    EXPECT_EQ(CRect(0, 0, 400, 300), CRect(wp.rcNormalPosition));
    layout.m_nPercent = 75; // 600 x 450 exactly; 33 % gives 264 x 198
    EXPECT_EQ(CRect(0, 0, 600, 450), CRect(layout.GetDefaultPlacement().rcNormalPosition));
    layout.m_nPercent = 33;
    EXPECT_EQ(CRect(0, 0, 264, 198), CRect(layout.GetDefaultPlacement().rcNormalPosition));
}

TEST_F(ResizableDlgTest, MinimumTrackingSizeIsTheFirstSize)
{
    CSize first = TemplateSize();
    ASSERT_GT(first.cx, 0);

    CTestResizableDlg dlg;
    ASSERT_TRUE(dlg.Create(kResizableDialog));
    EXPECT_EQ(first, dlg.m_layout.GetInitialSize());
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = POINT{1, 1};
    dlg.SendMessage(WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    EXPECT_EQ(first.cx, mmi.ptMinTrackSize.x);
    EXPECT_EQ(first.cy, mmi.ptMinTrackSize.y);

    // Sizing it smaller, as a drag of its frame does, stops at that size.
    dlg.MoveWindow(0, 0, first.cx - 40, first.cy - 30);
    EXPECT_EQ(first, WindowRect(dlg).Size());
    dlg.MoveWindow(0, 0, first.cx - 40, first.cy + 30);
    EXPECT_EQ(CSize(first.cx, first.cy + 30), WindowRect(dlg).Size());

    // Without the limit the window system's own minimum stays.
    dlg.m_bLimitMinSize = FALSE;
    mmi.ptMinTrackSize = POINT{1, 1};
    dlg.SendMessage(WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    EXPECT_EQ(1, mmi.ptMinTrackSize.x);
    dlg.MoveWindow(0, 0, first.cx - 40, first.cy - 30);
    EXPECT_EQ(CSize(first.cx - 40, first.cy - 30), WindowRect(dlg).Size());
    dlg.DestroyWindow();
}

TEST_F(ResizableDlgTest, MaximiseFillsTheScreenAndMinimiseGoesBackToTheFirstSize)
{
    CSize first = TemplateSize();
    CTestResizableDlg dlg;
    ASSERT_TRUE(dlg.Create(kResizableDialog));
    dlg.ShowWindow(SW_SHOW);

    dlg.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_EQ(CRect(0, 0, 1024, 768), WindowRect(dlg));
    EXPECT_FALSE(dlg.IsZoomed());
    EXPECT_TRUE(dlg.IsWindowVisible());

    dlg.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(dlg.IsIconic());
    CRect rc = WindowRect(dlg);
    EXPECT_EQ(first, rc.Size());
    EXPECT_EQ(1024 / 2 - first.cx / 2, rc.left);
    EXPECT_EQ(768 / 2 - first.cy / 2, rc.top);

    // Other commands keep their usual meaning.
    dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    dlg.DestroyWindow();
}

TEST_F(ResizableDlgTest, PlacementIsSavedOnDestroyAndRestored)
{
    {
        CTestResizableDlg dlg;
        ASSERT_TRUE(dlg.Create(kResizableDialog));
        dlg.MoveWindow(50, 40, 600, 400);
        dlg.DestroyWindow();
    }
    CString stored = App()->GetProfileString("Application", kValueName);
    WINDOWPLACEMENT wp{};
    ASSERT_EQ(8, ParsePlacementText(stored, wp)) << stored;
    EXPECT_EQ(CRect(50, 40, 650, 440), CRect(wp.rcNormalPosition));

    CTestResizableDlg again;
    ASSERT_TRUE(again.Create(kResizableDialog));
    EXPECT_FALSE(again.m_bRestoredDefault);
    EXPECT_EQ(CRect(50, 40, 650, 440), WindowRect(again));
    again.DestroyWindow();
}

TEST_F(ResizableDlgTest, ControlsKeepTheirMarginsAfterEachResize)
{
    CTestResizableDlg dlg;
    ASSERT_TRUE(dlg.Create(kResizableDialog));
    CRect okBefore = ChildRect(dlg, IDOK);
    int repositions = dlg.m_nRepositions;
    dlg.MoveWindow(0, 0, 700, 500);
    EXPECT_GT(dlg.m_nRepositions, repositions);

    CRect client;
    dlg.GetClientRect(&client);
    CRect ok = ChildRect(dlg, IDOK);
    CRect cancel = ChildRect(dlg, IDCANCEL);
    CRect list = ChildRect(dlg, kList);
    EXPECT_EQ(okBefore.Size(), ok.Size());
    EXPECT_EQ(client.right - 8, ok.right);
    EXPECT_EQ(client.bottom - 8, ok.bottom);
    EXPECT_EQ(ok.left - 8, cancel.right);
    EXPECT_EQ(ok.bottom, cancel.bottom);
    EXPECT_EQ(client.right - 8, list.right);
    EXPECT_EQ(ok.top - 8, list.bottom);
    dlg.DestroyWindow();
}

TEST_F(ResizableDlgTest, AnchorPointsFollowTheTable)
{
    CTestResizableDlg dlg;
    ASSERT_TRUE(dlg.Create(kResizableDialog));
    CRect a = ChildRect(dlg, IDOK);
    CRect client;
    dlg.GetClientRect(&client);
    struct Case {
        int side;
        BOOL flag;
        CPoint control;
        CPoint area;
    };
    const Case cases[] = {
        {0, TRUE, {a.left, a.top}, {0, 0}},
        {0, FALSE, {a.right, a.top}, {0, 0}},
        {1, TRUE, {a.right, a.top}, {client.right, 0}},
        {1, FALSE, {a.left, a.top}, {client.right, 0}},
        {2, TRUE, {a.left, a.top}, {0, 0}},
        {2, FALSE, {a.left, a.bottom}, {0, 0}},
        {3, TRUE, {a.left, a.bottom}, {0, client.bottom}},
        {3, FALSE, {a.left, a.top}, {0, client.bottom}},
        {4, TRUE, {a.right, a.top}, {client.right, 0}},
        {4, FALSE, {a.right, a.top}, {client.right, 0}},
        {7, TRUE, {a.left, a.top}, {0, 0}},
    };
    for (const Case& c : cases) {
        CPoint pt;
        ASSERT_TRUE(dlg.m_layout.GetAnchorPoint(c.side, IDOK, c.flag, pt));
        EXPECT_EQ(c.control, pt) << c.side << ' ' << c.flag;
        ASSERT_TRUE(dlg.m_layout.GetAnchorPoint(c.side, CDlgLayout::kClientArea, c.flag, pt));
        EXPECT_EQ(c.area, pt) << c.side << ' ' << c.flag;
    }
    CPoint pt;
    EXPECT_FALSE(dlg.m_layout.GetAnchorPoint(1, 4242, FALSE, pt));

    // Moving after the anchor, and sides that leave a control where it is.
    CRect list = ChildRect(dlg, kList);
    dlg.m_layout.MoveControl(IDCANCEL, CDlgLayout::sideAfter, kList, FALSE);
    EXPECT_EQ(list.right + 8, ChildRect(dlg, IDCANCEL).left);
    CRect cancel = ChildRect(dlg, IDCANCEL);
    dlg.m_layout.MoveControl(IDCANCEL, CDlgLayout::sideTop, kList, FALSE);
    dlg.m_layout.SizeControl(IDCANCEL, CDlgLayout::sideAfter, kList, FALSE);
    EXPECT_EQ(cancel, ChildRect(dlg, IDCANCEL));
    dlg.DestroyWindow();
}

} // namespace
