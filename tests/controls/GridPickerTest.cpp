// The grid picker on the headless back end: the colour grid's wrapping, its
// sixteen named colours and the custom colour, cell values from a separated
// list, the outline of a swatch close to the face colour, check mode's
// sixteen bits, and the popups: where they open and that any button-up
// closes them, a click outside keeping the value they opened with.

#include "controls/ColorPopupDlg.h"
#include "controls/GridPicker.h"
#include "controls/HatchStylePopupDlg.h"
#include "controls/LineStylePopupDlg.h"

#include "platform/framework/WinApp.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/controls/GridPickerSteps.h"
#include "tests/support/DialogDriver.h"

#include <vector>

namespace {

constexpr int kPlaceholder = 900;

// A window that keeps the WM_COMMAND messages its picker sends.
class CRecordingParent : public CWnd {
public:
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        commands.push_back(wParam);
        return TRUE;
    }
    std::vector<WPARAM> commands;
};

class GridPickerTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        MakeApp();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        FrameworkTest::TearDown();
    }

    // A picker over a 200 x 150 placeholder at (20, 30) of a parent window.
    CGridPicker* MakePicker(BOOL bGradient = FALSE)
    {
        EXPECT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)(COLOR_BTNFACE + 1)), "",
            WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
        ::CreateWindowEx(0, "STATIC", "", WS_CHILD | SS_LEFT, 20, 30, 200, 150, m_parent.m_hWnd,
            HMENU(INT_PTR(kPlaceholder)), NULL, NULL);
        auto* pPicker = new CGridPicker(bGradient);
        EXPECT_TRUE(pPicker->CreateOverControl(&m_parent, kPlaceholder, -1));
        return pPicker;
    }

    static void Key(CGridPicker* pPicker, UINT vk) { pPicker->SendMessage(WM_KEYDOWN, vk, 1); }

    CRecordingParent m_parent;
};

TEST_F(GridPickerTest, TakesThePlaceholdersPlaceAndId)
{
    CGridPicker* pPicker = MakePicker();
    EXPECT_EQ(kPlaceholder, pPicker->GetDlgCtrlID());
    CRect rc;
    pPicker->GetWindowRect(&rc);
    m_parent.ScreenToClient(&rc);
    EXPECT_EQ(CRect(20, 30, 220, 180), rc);
    // The placeholder gave its id away and the picker follows it in the tab
    // order.
    EXPECT_EQ(pPicker->m_hWnd, ::GetDlgItem(m_parent.m_hWnd, kPlaceholder));
    HWND hFirst = ::GetWindow(m_parent.m_hWnd, GW_CHILD);
    EXPECT_EQ(-1, ::GetDlgCtrlID(hFirst));
    EXPECT_EQ(pPicker->m_hWnd, ::GetWindow(hFirst, GW_HWNDNEXT));
}

TEST_F(GridPickerTest, ColorGridWrapsRoundWithTheArrowKeys)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->SetupColorCells(RGB(255, 255, 255), FALSE);
    ASSERT_EQ(15, pPicker->GetCurSel()); // white, the last named colour
    m_parent.commands.clear();
    Key(pPicker, VK_RIGHT);
    EXPECT_EQ(0, pPicker->GetCurSel());
    ASSERT_EQ(1u, m_parent.commands.size());
    EXPECT_EQ(MAKEWPARAM(kPlaceholder, CGridPicker::kNotifySelected), m_parent.commands[0]);
    Key(pPicker, VK_UP);
    EXPECT_EQ(12, pPicker->GetCurSel());
    Key(pPicker, VK_DOWN);
    EXPECT_EQ(0, pPicker->GetCurSel());
    Key(pPicker, VK_LEFT);
    EXPECT_EQ(15, pPicker->GetCurSel());
    // Moving copies the named colour into the custom one.
    EXPECT_EQ(RGB(255, 255, 255), pPicker->GetCustomColor());
    Key(pPicker, VK_DOWN);
    EXPECT_EQ(3, pPicker->GetCurSel());
    EXPECT_EQ(RGB(128, 128, 0), pPicker->GetCustomColor());
    // Space keeps the cell and posts code 0.
    m_parent.commands.clear();
    Key(pPicker, VK_SPACE);
    Pump();
    EXPECT_EQ(3, pPicker->GetCurSel());
    ASSERT_EQ(1u, m_parent.commands.size());
    EXPECT_EQ(MAKEWPARAM(kPlaceholder, CGridPicker::kNotifyChecked), m_parent.commands[0]);
}

TEST_F(GridPickerTest, ArrowKeysWithoutCellsAreIgnored)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->SetupCells(IDB_HATCH_HORIZONTAL, 0, 3, 2, TRUE, FALSE);
    for (UINT vk : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})
        Key(pPicker, vk);
    EXPECT_EQ(-1, pPicker->GetCurSel());
    EXPECT_TRUE(m_parent.commands.empty());
}

TEST_F(GridPickerTest, NamedColorsAreTheSixteenOfTheTable)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->SetupColorCells(RGB(0, 0, 0), FALSE);
    const COLORREF expected[CGridPicker::kNamedColors] = {RGB(0, 0, 0), RGB(128, 0, 0), RGB(0, 128, 0),
        RGB(128, 128, 0), RGB(0, 0, 128), RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 128),
        RGB(192, 192, 192), RGB(255, 0, 0), RGB(0, 255, 28), RGB(255, 255, 0), RGB(0, 0, 255), RGB(255, 0, 255),
        RGB(0, 255, 255), RGB(255, 255, 255)};
    ASSERT_EQ(CGridPicker::kColorEntries, pPicker->GetColorCount());
    for (int i = 0; i < CGridPicker::kNamedColors; ++i)
        EXPECT_EQ(expected[i], pPicker->GetColorEntry(i)) << i;
    EXPECT_EQ(8, pPicker->LoadNamedColors(IDS_NAMED_COLORS_2, 8));

    // A list longer than the named entries stops before the custom colour.
    pPicker->SelectColor(RGB(1, 2, 3));
    EXPECT_EQ(2, pPicker->LoadNamedColors(";1,1,1,a;2,2,2,b;3,3,3,c;4,4,4,d;", 14));
    EXPECT_EQ(RGB(2, 2, 2), pPicker->GetColorEntry(15));
    EXPECT_EQ(RGB(1, 2, 3), pPicker->GetCustomColor());
    // Text after the last separator is not a field.
    EXPECT_EQ(1, pPicker->LoadNamedColors(";9,9,9,x;8,8,8,y", 0));
}

TEST_F(GridPickerTest, UnnamedColorShowsOnlyAsTheCustomColor)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->SetupColorCells(RGB(0, 0, 128), FALSE);
    EXPECT_EQ(4, pPicker->GetCurSel());
    m_parent.commands.clear();
    pPicker->SelectColor(RGB(10, 20, 30));
    EXPECT_EQ(-1, pPicker->GetCurSel());
    EXPECT_EQ(RGB(10, 20, 30), pPicker->GetCustomColor());
    // Pure green is not Lime, whose blue is 28.
    pPicker->SelectColor(RGB(0, 255, 0));
    EXPECT_EQ(-1, pPicker->GetCurSel());
    pPicker->SelectColor(RGB(0, 255, 28));
    EXPECT_EQ(10, pPicker->GetCurSel());
    EXPECT_TRUE(m_parent.commands.empty());
    // The custom colour stands for the "More..." button.
    EXPECT_EQ(pPicker->GetMoreRect(), pPicker->GetCellRect(CGridPicker::kCustomColor));
    EXPECT_FALSE(pPicker->GetMoreRect().IsRectEmpty());
}

TEST_F(GridPickerTest, CellValuesFromASeparatedList)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->SetupCells(IDB_HATCH_HORIZONTAL, 3, 3, 1, TRUE, FALSE);
    EXPECT_EQ(3, pPicker->SetCellValues(",10,20,30,"));
    pPicker->SetCurSel(20, FALSE);
    EXPECT_EQ(1, pPicker->GetCurSel());
    EXPECT_EQ(20, pPicker->GetSelectedValue());
    // A value no cell has leaves the selection alone.
    pPicker->SetCurSel(25, FALSE);
    EXPECT_EQ(1, pPicker->GetCurSel());
    // With notify the argument is an index.
    pPicker->SetCurSel(2, TRUE);
    EXPECT_EQ(30, pPicker->GetSelectedValue());

    EXPECT_EQ(2, pPicker->SetCellValues(",10,20,30"));
    pPicker->SetCurSel(20, FALSE);
    EXPECT_EQ(1, pPicker->GetCurSel());
    pPicker->SetCurSel(30, FALSE);
    EXPECT_EQ(1, pPicker->GetCurSel());

    // More fields than cells: the rest are ignored.
    EXPECT_EQ(3, pPicker->SetCellValues(";1;2;3;4;5;6;7;"));
    pPicker->SetCurSel(3, FALSE);
    EXPECT_EQ(2, pPicker->GetCurSel());
}

TEST_F(GridPickerTest, CheckModeKeepsSixteenBits)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->m_bCheckMode = TRUE;
    pPicker->SetupCells(IDB_HATCH_HORIZONTAL, 20, 4, 5, TRUE, FALSE);
    pPicker->SetCellCheck(15, TRUE);
    EXPECT_TRUE(pPicker->IsCellChecked(15));
    pPicker->SetCellCheck(16, TRUE);
    pPicker->SetCellCheck(31, TRUE);
    EXPECT_FALSE(pPicker->IsCellChecked(16));
    for (int i = 0; i < 15; ++i)
        EXPECT_FALSE(pPicker->IsCellChecked(i)) << i;
    m_parent.commands.clear();
    pPicker->SetCurSel(3, TRUE);
    EXPECT_TRUE(pPicker->IsCellChecked(3));
    pPicker->SetCurSel(3, TRUE);
    EXPECT_FALSE(pPicker->IsCellChecked(3));
    // A cell past the mask becomes current but has no bit to toggle.
    pPicker->SetCurSel(18, TRUE);
    EXPECT_EQ(18, pPicker->GetCurSel());
    EXPECT_TRUE(pPicker->IsCellChecked(15));
    EXPECT_FALSE(pPicker->IsCellChecked(2));
    ASSERT_EQ(3u, m_parent.commands.size());
    for (WPARAM w : m_parent.commands)
        EXPECT_EQ(MAKEWPARAM(kPlaceholder, CGridPicker::kNotifyChecked), w);
}

TEST_F(GridPickerTest, MonthGridStopsAtItsCells)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->m_bMonthGrid = 1;
    pPicker->m_nLeadingBlanks = 40;
    pPicker->m_nDayCount = 31;
    pPicker->SetupCells(IDB_HATCH_VERTICAL, 12, 2, 6, TRUE, FALSE);
    EXPECT_EQ(12, pPicker->GetCellCount());
    Pump();
}

TEST_F(GridPickerTest, SwatchNearTheFaceColorIsOutlinedInBlack)
{
    ASSERT_EQ(RGB(192, 192, 192), ::GetSysColor(COLOR_BTNFACE));
    CGridPicker* pPicker = MakePicker();
    pPicker->SetupColorCells(RGB(0, 0, 0), FALSE);
    ASSERT_EQ(2, pPicker->LoadNamedColors(";200,200,200,Pale;255,0,0,Red;", 0));
    pPicker->SetCurSel(5, FALSE);
    pPicker->Invalidate();
    Pump();
    for (int i : {0, 1}) {
        CRect rc = pPicker->GetSwatchRect(i);
        ASSERT_GT(rc.Width(), 2);
        ASSERT_GT(rc.Height(), 2);
        auto at = [&](int x, int y) { return platform::headless::WindowPixel(pPicker->m_hWnd, x, y); };
        const COLORREF fill = pPicker->GetColorEntry(i);
        const COLORREF edge = i == 0 ? RGB(0, 0, 0) : fill;
        EXPECT_EQ(edge, at(rc.left, rc.top)) << i;
        EXPECT_EQ(edge, at(rc.right - 1, rc.bottom - 1)) << i;
        EXPECT_EQ(edge, at(rc.left + 1, rc.bottom - 1)) << i;
        EXPECT_EQ(fill, at(rc.left + 1, rc.top + 1)) << i;
    }
}

TEST_F(GridPickerTest, HatchCellsDrawTheirBlackPixelsInTheTextColor)
{
    CGridPicker* pPicker = MakePicker();
    pPicker->SetupCells(IDB_HATCH_HORIZONTAL, 6, 3, 2, TRUE, FALSE);
    pPicker->Invalidate();
    Pump();
    CRect rc = pPicker->GetCellRect(0);
    int text = 0;
    int other = 0;
    for (int y = rc.top + 3; y < rc.bottom - 3; ++y)
        for (int x = rc.left + 3; x < rc.right - 3; ++x) {
            COLORREF c = platform::headless::WindowPixel(pPicker->m_hWnd, x, y);
            if (c == ::GetSysColor(COLOR_BTNTEXT))
                ++text;
            else if (c != ::GetSysColor(COLOR_BTNFACE))
                ++other;
        }
    EXPECT_GT(text, 20);
    EXPECT_EQ(0, other);
}

TEST(GridPopupPlacementTest, OpensBelowAndLeftUnlessThatLeavesTheParent)
{
    const CRect bounds(0, 0, 400, 300);
    const CSize size(100, 120);
    // Room below: right edges and tops meet.
    EXPECT_EQ(CRect(150, 50, 250, 170), CGridPopupDlg::PlacePopup(CRect(200, 50, 250, 70), size, bounds));
    // Too low: left edges and bottoms meet.
    EXPECT_EQ(CRect(200, 150, 300, 270), CGridPopupDlg::PlacePopup(CRect(200, 250, 250, 270), size, bounds));
    // The bottom edge exactly on the parent's still fits.
    EXPECT_EQ(CRect(150, 180, 250, 300), CGridPopupDlg::PlacePopup(CRect(200, 180, 250, 200), size, bounds));
}

class GridPopupTest : public GridPickerTest {
protected:
    static CGridPicker* ActivePicker(HWND hActive) { return testing_support::ActivePicker(hActive); }
    static testing_support::DialogStep ClickCell(int nCell) { return testing_support::PickGridCell(nCell); }

    static testing_support::DialogStep ClickScreen(int x, int y)
    {
        return [x, y](HWND hActive) {
            if (ActivePicker(hActive) == nullptr)
                return false;
            platform::headless::PressMouse(0, x, y);
            platform::headless::ReleaseMouse(0, x, y);
            return true;
        };
    }
};

TEST_F(GridPopupTest, ColorPopupClosesOnAClickOutsideWithTheColorUnchanged)
{
    CColorPopupDlg popup(CRect(300, 100, 340, 120), nullptr);
    popup.m_crColor = RGB(0, 128, 0);
    testing_support::DriveActiveWindow({ClickScreen(900, 700)});
    EXPECT_EQ(IDOK, popup.DoModal());
    EXPECT_EQ(RGB(0, 128, 0), popup.m_crColor);
    EXPECT_FALSE(popup.m_bGradientChosen);
    EXPECT_EQ(HWND(NULL), ::GetCapture());

    // An unnamed colour survives the same way.
    popup.m_crColor = RGB(1, 2, 3);
    testing_support::DriveActiveWindow({ClickScreen(5, 5)});
    EXPECT_EQ(IDOK, popup.DoModal());
    EXPECT_EQ(RGB(1, 2, 3), popup.m_crColor);
}

TEST_F(GridPopupTest, ColorPopupTakesTheClickedColor)
{
    CColorPopupDlg popup(CRect(300, 100, 340, 120), nullptr);
    popup.m_crColor = RGB(0, 128, 0);
    CRect placed;
    testing_support::DriveActiveWindow({
        [&placed](HWND hActive) {
            ::GetWindowRect(hActive, &placed);
            return true;
        },
        ClickCell(9),
    });
    EXPECT_EQ(IDOK, popup.DoModal());
    EXPECT_EQ(RGB(255, 0, 0), popup.m_crColor);
    // Right edge on the button's right edge, top on its top.
    EXPECT_EQ(340, placed.right);
    EXPECT_EQ(100, placed.top);
}

TEST_F(GridPopupTest, ColorPopupFlipsAtTheScreensBottom)
{
    CColorPopupDlg popup(CRect(300, 740, 340, 760), nullptr);
    CRect placed;
    testing_support::DriveActiveWindow({
        [&placed](HWND hActive) {
            ::GetWindowRect(hActive, &placed);
            return true;
        },
        ClickScreen(0, 0),
    });
    EXPECT_EQ(IDOK, popup.DoModal());
    EXPECT_EQ(300, placed.left);
    EXPECT_EQ(760, placed.bottom);
}

TEST_F(GridPopupTest, MoreOpensTheColorChooserAndItsColorIsTaken)
{
    CColorPopupDlg popup(CRect(300, 100, 340, 120), nullptr);
    popup.m_crColor = RGB(0, 128, 0);
    CSize shrunk(-1, -1);
    testing_support::DriveActiveWindow({
        [](HWND hActive) {
            CGridPicker* pPicker = ActivePicker(hActive);
            if (pPicker == nullptr)
                return false;
            CPoint pt = pPicker->GetMoreRect().CenterPoint();
            pPicker->ClientToScreen(&pt);
            platform::headless::PressMouse(0, pt.x, pt.y);
            platform::headless::ReleaseMouse(0, pt.x, pt.y);
            return true;
        },
        [&shrunk, &popup](HWND hActive) {
            if (::GetDlgItem(hActive, COLOR_RED) == NULL)
                return false;
            CRect rc;
            popup.GetWindowRect(&rc);
            shrunk = rc.Size();
            ::SetDlgItemInt(hActive, COLOR_RED, 10, FALSE);
            ::SetDlgItemInt(hActive, COLOR_GREEN, 20, FALSE);
            ::SetDlgItemInt(hActive, COLOR_BLUE, 30, FALSE);
            ::PostMessage(hActive, WM_COMMAND, IDOK, 0);
            return true;
        },
    });
    EXPECT_EQ(IDOK, popup.DoModal());
    EXPECT_EQ(RGB(10, 20, 30), popup.m_crColor);
    // The popup made way for the chooser.
    EXPECT_EQ(CSize(0, 0), shrunk);
}

TEST_F(GridPopupTest, HatchPopupFlipsAtItsParentsEdge)
{
    ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
    CRect placed;
    auto shoot = [&placed](HWND hActive) {
        if (ActivePicker(hActive) == nullptr)
            return false;
        ::GetWindowRect(hActive, &placed);
        platform::headless::PressMouse(0, 1000, 700);
        platform::headless::ReleaseMouse(0, 1000, 700);
        return true;
    };
    CHatchStylePopupDlg low(CRect(200, 250, 250, 270), &m_parent);
    testing_support::DriveActiveWindow({shoot});
    EXPECT_EQ(IDOK, low.DoModal());
    EXPECT_EQ(200, placed.left);
    EXPECT_EQ(270, placed.bottom);

    CHatchStylePopupDlg high(CRect(200, 20, 250, 40), &m_parent);
    testing_support::DriveActiveWindow({shoot});
    EXPECT_EQ(IDOK, high.DoModal());
    EXPECT_EQ(250, placed.right);
    EXPECT_EQ(20, placed.top);
}

TEST_F(GridPopupTest, StylePopupsGiveTheClickedStyleOrKeepTheirs)
{
    CHatchStylePopupDlg hatch(CRect(300, 100, 340, 120), nullptr);
    hatch.m_nValue = 3;
    testing_support::DriveActiveWindow({ClickScreen(1000, 10)});
    EXPECT_EQ(IDOK, hatch.DoModal());
    EXPECT_EQ(3, hatch.m_nValue);
    testing_support::DriveActiveWindow({ClickCell(5)});
    EXPECT_EQ(IDOK, hatch.DoModal());
    EXPECT_EQ(5, hatch.m_nValue);

    CLineStylePopupDlg line(CRect(300, 100, 340, 120), nullptr);
    line.m_nValue = 0;
    testing_support::DriveActiveWindow({ClickCell(4)});
    EXPECT_EQ(IDOK, line.DoModal());
    EXPECT_EQ(4, line.m_nValue);
    // Escape cancels and keeps the value.
    testing_support::DriveActiveWindow({[](HWND hActive) {
        if (ActivePicker(hActive) == nullptr)
            return false;
        platform::headless::TypeKey(VK_ESCAPE);
        return true;
    }});
    EXPECT_EQ(IDCANCEL, line.DoModal());
    EXPECT_EQ(4, line.m_nValue);
}

} // namespace
