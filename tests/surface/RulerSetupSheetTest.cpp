// Ruler Setup: the conversions behind it, and the sheet driven with real
// messages on a design's view.

#include "tests/surface/SurfaceTestSupport.h"

#include "resources/resource.h"
#include "surface/RulerSetupSheet.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"

#include <clocale>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

using namespace rulersetup;
using testing_support::DialogStep;

constexpr const char* kInvalidText = "Unable to set guideline; invalid position.";

DWORD Parsed(const char* pszText, BOOL bMetric, long nExtent)
{
    DWORD dw = 0xFFFFFFFF;
    EXPECT_EQ(ParsePosition(pszText, bMetric, nExtent, &dw), kValid) << pszText;
    return dw;
}

TEST(RulerSetupValues, SpacingChoiceThresholdsInBothUnits)
{
    const std::vector<std::pair<long, int>> cases = {{0, 0}, {98, 0}, {125, 0}, {126, 1}, {196, 1}, {250, 1},
        {251, 2}, {393, 2}, {500, 2}, {501, 3}, {787, 3}, {1000, 3}, {-393, 2}, {-126, 1}};
    for (auto [spacing, choice] : cases)
        EXPECT_EQ(SpacingChoice(spacing), choice) << spacing;
    // Every stored spacing opens on the choice that wrote it.
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SpacingChoice(SpacingFromChoice(i, FALSE)), i);
        EXPECT_EQ(SpacingChoice(SpacingFromChoice(i, TRUE)), i);
    }
    EXPECT_EQ(SpacingFromChoice(2, TRUE), 393);
    EXPECT_EQ(SpacingFromChoice(0, FALSE), 125);
    EXPECT_EQ(SpacingFromChoice(9, FALSE), 1000);
    EXPECT_EQ(SpacingFromChoice(-1, TRUE), 98);
}

TEST(RulerSetupValues, PositionsShowWithAPointWhateverTheLocale)
{
    EXPECT_STREQ(FormatPosition(1000, FALSE), "1.00");
    EXPECT_STREQ(FormatPosition(1000, TRUE), "2.54");
    EXPECT_STREQ(FormatPosition(0, TRUE), "0.00");
    EXPECT_STREQ(FormatPosition(11000, FALSE), "11.00");
    // 393 thousandths are 998.22 thousandths of a cm, shown rounded first.
    EXPECT_STREQ(FormatPosition(393, TRUE), "1.00");

    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.utf8") == nullptr)
        GTEST_SKIP() << "no comma locale on this machine";
    EXPECT_STREQ(FormatPosition(1000, TRUE), "2.54");
    EXPECT_EQ(Parsed("2.54", TRUE, 1100), 1000u);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(RulerSetupValues, TypedPositionsAreReadAndBoundedByThePage)
{
    EXPECT_EQ(Parsed("2.54", TRUE, 1100), 1000u);
    EXPECT_EQ(Parsed("11", FALSE, 1100), 11000u);
    EXPECT_EQ(Parsed("0", FALSE, 1100), 0u);
    // Like "%lf": blanks before, anything after the number ignored.
    EXPECT_EQ(Parsed("  3in", FALSE, 1100), 3000u);
    EXPECT_EQ(Parsed("+1e0", FALSE, 1100), 1000u);
    // Decimal inches land on the nearest thousandth, not below it.
    EXPECT_EQ(Parsed("0.29", FALSE, 1100), 290u);
    EXPECT_EQ(Parsed("4.35", FALSE, 1100), 4350u);
    // Centimetres get half a centimetre's slack, but never leave the page.
    EXPECT_EQ(Parsed("27.94", TRUE, 1100), 11000u);
    EXPECT_EQ(Parsed("28.4", TRUE, 1100), 11000u);

    DWORD dw = 7;
    EXPECT_EQ(ParsePosition("", FALSE, 1100, &dw), kEmpty);
    for (const char* bad : {"11.01", "-1", "-0.001", "abc", ".", "--5", "+-5", "nan", "inf", "1e400", "28.5"})
        EXPECT_EQ(ParsePosition(bad, std::string(bad) == "28.5", 1100, &dw), kInvalid) << bad;
    EXPECT_EQ(dw, 7u);
    EXPECT_EQ(ParsePosition("1", FALSE, -50, &dw), kInvalid);
}

// ---- The sheet itself

HWND CurrentPage(HWND hSheet)
{
    return HWND(::SendMessage(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// A step on the Ruler Setup sheet once it is up; the action gets the sheet.
DialogStep OnSheet(std::function<void(HWND)> action)
{
    return [action](HWND hActive) {
        if (testing_support::WindowTitle(hActive) != "Ruler Setup")
            return false;
        action(hActive);
        return true;
    };
}

// A click on a page's button, radio or check box as the user makes it.
void ClickItem(HWND hSheet, int nID)
{
    ::SendMessage(::GetDlgItem(CurrentPage(hSheet), nID), BM_CLICK, 0, 0);
}

BOOL ShowPage(HWND hSheet, int nPage)
{
    return BOOL(::SendMessage(hSheet, PSM_SETCURSEL, WPARAM(nPage), 0));
}

bool Checked(HWND hSheet, int nID)
{
    return ::IsDlgButtonChecked(CurrentPage(hSheet), nID) == BST_CHECKED;
}

std::vector<std::string> ListItems(HWND hSheet)
{
    HWND hList = ::GetDlgItem(CurrentPage(hSheet), IDC_GUIDE_LIST);
    std::vector<std::string> items;
    const LRESULT n = ::SendMessage(hList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[64] = {};
        ::SendMessage(hList, LB_GETTEXT, WPARAM(i), LPARAM(text));
        items.push_back(text);
    }
    return items;
}

void TypeGuide(HWND hSheet, const char* pszText)
{
    ::SetDlgItemText(CurrentPage(hSheet), IDC_GUIDE_POSITION, pszText);
    ClickItem(hSheet, IDC_GUIDE_SET);
}

std::vector<DWORD> Guides(const CDWordArray& array)
{
    return std::vector<DWORD>(array.GetData(), array.GetData() + array.GetSize());
}

class RulerSetupSheetTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
        m_pView->SetPageSize(850, 1100);
        m_pDoc->m_wDocFlags &= WORD(~0x0703);
        m_pDoc->SetModifiedFlag(FALSE);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SurfaceTest::TearDown();
    }
    INT_PTR Run(int nPage, std::vector<DialogStep> steps)
    {
        testing_support::DriveActiveWindow(std::move(steps));
        return RunRulerSetup(m_pMain, m_pView, nPage);
    }
    static size_t Boxes() { return platform::headless::MessageBoxes().size(); }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
};

} // namespace

TEST_F(RulerSetupSheetTest, ApplyInCentimetresWritesSpacingUnitsAndTheFourFlags)
{
    m_pDoc->SetGridSpacing(126);
    bool bOpenedOnSecond = false;
    std::string secondText;
    bool bUnitsPageFirst = false;
    const INT_PTR nResult = Run(CRulerSetupSheet::PageUnits, {OnSheet([&](HWND hSheet) {
        bUnitsPageFirst = ::GetDlgItem(CurrentPage(hSheet), IDC_UNITS_CENTIMETERS) != NULL;
        ClickItem(hSheet, IDC_UNITS_CENTIMETERS);
        ShowPage(hSheet, 0);
        bOpenedOnSecond = Checked(hSheet, IDC_GRID_SPACING_1);
        secondText = ItemText(CurrentPage(hSheet), IDC_GRID_SPACING_1);
        ClickItem(hSheet, IDC_GRID_SPACING_2);
        ClickItem(hSheet, IDC_GRID_SHOW);
        ClickItem(hSheet, IDC_GRID_SNAP);
        ShowPage(hSheet, 1);
        ClickItem(hSheet, IDC_GUIDE_SHOW);
        ClickItem(hSheet, IDC_GUIDE_SNAP);
        Click(hSheet, ID_APPLY_NOW);
        Click(hSheet, IDCANCEL);
    })});
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_TRUE(bUnitsPageFirst);
    EXPECT_TRUE(bOpenedOnSecond);
    EXPECT_EQ(secondText, "1/&2 cm");
    // Applied before Cancel, so it stays.
    EXPECT_EQ(m_pDoc->GetGridSpacing(), 393);
    EXPECT_EQ(m_pDoc->m_wDocFlags & 0x0703, 0x0703);
    EXPECT_TRUE(m_pDoc->IsModified());
}

TEST_F(RulerSetupSheetTest, OkInInchesClearsTheFlagsAndWritesTheSpacing)
{
    m_pDoc->m_wDocFlags |= 0x0703;
    m_pDoc->SetGridSpacing(393);
    bool bThird = false;
    std::string firstText;
    const INT_PTR nResult = Run(CRulerSetupSheet::PageGrid, {OnSheet([&](HWND hSheet) {
        bThird = Checked(hSheet, IDC_GRID_SPACING_2);
        ShowPage(hSheet, 2);
        ClickItem(hSheet, IDC_UNITS_INCHES);
        ShowPage(hSheet, 0);
        firstText = ItemText(CurrentPage(hSheet), IDC_GRID_SPACING_0);
        ClickItem(hSheet, IDC_GRID_SPACING_1);
        ClickItem(hSheet, IDC_GRID_SHOW);
        ClickItem(hSheet, IDC_GRID_SNAP);
        ShowPage(hSheet, 1);
        ClickItem(hSheet, IDC_GUIDE_SHOW);
        ClickItem(hSheet, IDC_GUIDE_SNAP);
        Click(hSheet, IDOK);
    })});
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(bThird);
    EXPECT_EQ(firstText, "1/&8 inch");
    EXPECT_EQ(m_pDoc->GetGridSpacing(), 250);
    EXPECT_EQ(m_pDoc->m_wDocFlags & 0x0703, 0);
    EXPECT_TRUE(m_pDoc->IsModified());
}

TEST_F(RulerSetupSheetTest, GuidelinesFollowTheUnitsAndReachTheViewOnOk)
{
    m_pView->m_guidelines[0].RemoveAll();
    m_pView->m_guidelines[1].RemoveAll();
    m_pView->m_guidelines[1].Add(1000);
    std::vector<std::string> inches, cm, after;
    bool bVertical = false, bCmLabel = false, bInchLabelHidden = false, bShowChecked = false;
    const INT_PTR nResult = Run(CRulerSetupSheet::PageGuidelines, {OnSheet([&](HWND hSheet) {
        bVertical = Checked(hSheet, IDC_GUIDE_VERTICAL);
        inches = ListItems(hSheet);
        ShowPage(hSheet, 2);
        ClickItem(hSheet, IDC_UNITS_CENTIMETERS);
        ShowPage(hSheet, 1);
        cm = ListItems(hSheet);
        HWND hPage = CurrentPage(hSheet);
        bCmLabel = ::IsWindowVisible(::GetDlgItem(hPage, IDC_GUIDE_UNIT_CM)) != FALSE;
        bInchLabelHidden = ::IsWindowVisible(::GetDlgItem(hPage, IDC_GUIDE_UNIT_INCHES)) == FALSE;
        TypeGuide(hSheet, "2.54"); // already there
        TypeGuide(hSheet, "0.5");
        bShowChecked = Checked(hSheet, IDC_GUIDE_SHOW);
        after = ListItems(hSheet);
        // Horizontal guidelines are a list of their own.
        ClickItem(hSheet, IDC_GUIDE_HORIZONTAL);
        TypeGuide(hSheet, "1");
        Click(hSheet, IDOK);
    })});
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(bVertical);
    EXPECT_EQ(inches, std::vector<std::string>{"1.00"});
    EXPECT_EQ(cm, std::vector<std::string>{"2.54"});
    EXPECT_TRUE(bCmLabel);
    EXPECT_TRUE(bInchLabelHidden);
    EXPECT_TRUE(bShowChecked);
    EXPECT_EQ(after, (std::vector<std::string>{"0.50", "2.54"}));
    EXPECT_EQ(Guides(m_pView->m_guidelines[1]), (std::vector<DWORD>{197, 1000}));
    EXPECT_EQ(Guides(m_pView->m_guidelines[0]), std::vector<DWORD>{394});
    EXPECT_EQ(m_pDoc->m_wDocFlags & 0x0300, 0x0300);
}

TEST_F(RulerSetupSheetTest, PositionsBeyondThePageAreRefusedAndKeepThePage)
{
    m_pView->m_guidelines[0].RemoveAll();
    m_pView->m_guidelines[1].RemoveAll();
    const size_t nBoxes = Boxes();
    std::vector<std::string> accepted;
    BOOL bLeftWithBadText = TRUE, bStillGuidelines = FALSE, bDirectionKept = FALSE, bOkKeptOpen = FALSE;
    std::string keptText;
    const INT_PTR nResult = Run(CRulerSetupSheet::PageGuidelines, {OnSheet([&](HWND hSheet) {
        TypeGuide(hSheet, "11"); // the page is 11 inches high
        TypeGuide(hSheet, "11.01");
        keptText = ItemText(CurrentPage(hSheet), IDC_GUIDE_POSITION);
        bLeftWithBadText = ShowPage(hSheet, 0);
        bStillGuidelines = ::GetDlgItem(CurrentPage(hSheet), IDC_GUIDE_LIST) != NULL;
        ::SetDlgItemText(CurrentPage(hSheet), IDC_GUIDE_POSITION, "-1");
        ClickItem(hSheet, IDC_GUIDE_VERTICAL);
        bDirectionKept = Checked(hSheet, IDC_GUIDE_HORIZONTAL) && !Checked(hSheet, IDC_GUIDE_VERTICAL);
        accepted = ListItems(hSheet);
        Click(hSheet, IDOK);
        bOkKeptOpen = ::IsWindow(hSheet) && ::IsWindowVisible(hSheet);
        Click(hSheet, IDCANCEL);
    })});
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(accepted, std::vector<std::string>{"11.00"});
    EXPECT_EQ(keptText, "11.01");
    EXPECT_FALSE(bLeftWithBadText);
    EXPECT_TRUE(bStillGuidelines);
    EXPECT_TRUE(bDirectionKept);
    EXPECT_TRUE(bOkKeptOpen);
    // 11.01 at Set and at the page change; -1 at the direction change and
    // at OK.
    ASSERT_EQ(Boxes(), nBoxes + 4);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text, kInvalidText);
    // Cancel: nothing reached the design.
    EXPECT_EQ(m_pView->m_guidelines[0].GetSize(), 0);
    EXPECT_EQ(m_pDoc->m_wDocFlags & 0x0703, 0);
    EXPECT_FALSE(m_pDoc->IsModified());
}

TEST_F(RulerSetupSheetTest, ClearAndClearAllWorkOnTheSortedList)
{
    m_pView->m_guidelines[0].RemoveAll();
    for (DWORD dw : {3000u, 1000u, 2000u})
        m_pView->m_guidelines[0].Add(dw);
    std::vector<std::string> sorted, afterClear, afterAll;
    bool bClearAllDisabled = false;
    Run(CRulerSetupSheet::PageGuidelines, {OnSheet([&](HWND hSheet) {
        sorted = ListItems(hSheet);
        HWND hList = ::GetDlgItem(CurrentPage(hSheet), IDC_GUIDE_LIST);
        ::SendMessage(hList, LB_SETCURSEL, 1, 0);
        ClickItem(hSheet, IDC_GUIDE_CLEAR);
        afterClear = ListItems(hSheet);
        Click(hSheet, ID_APPLY_NOW);
        ClickItem(hSheet, IDC_GUIDE_CLEAR_ALL);
        afterAll = ListItems(hSheet);
        bClearAllDisabled = !::IsWindowEnabled(::GetDlgItem(CurrentPage(hSheet), IDC_GUIDE_CLEAR_ALL));
        Click(hSheet, IDCANCEL);
    })});
    EXPECT_EQ(sorted, (std::vector<std::string>{"1.00", "2.00", "3.00"}));
    EXPECT_EQ(afterClear, (std::vector<std::string>{"1.00", "3.00"}));
    EXPECT_TRUE(afterAll.empty());
    EXPECT_TRUE(bClearAllDisabled);
    // Applied after Clear, cancelled after Clear All.
    EXPECT_EQ(Guides(m_pView->m_guidelines[0]), (std::vector<DWORD>{1000, 3000}));
}

TEST_F(RulerSetupSheetTest, TheFrameOpensGridFromTheMenuAndUnitsFromTheRuler)
{
    CSurfaceFrame* pFrame = FrameOf(m_pDoc);
    ASSERT_NE(pFrame, nullptr);
    std::vector<bool> pages;
    auto probe = [&pages](int nID) {
        return OnSheet([&pages, nID](HWND hSheet) {
            pages.push_back(::GetDlgItem(CurrentPage(hSheet), nID) != NULL);
            Click(hSheet, IDCANCEL);
        });
    };
    testing_support::DriveActiveWindow({probe(IDC_GRID_SPACING_0)});
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_RULER_SETUP, 0);
    testing_support::DriveActiveWindow({probe(IDC_UNITS_INCHES)});
    pFrame->SendMessage(WM_COMMAND, ID_RULER_PROPERTIES, 0);
    EXPECT_EQ(pages, (std::vector<bool>{true, true}));
    EXPECT_FALSE(m_pDoc->IsModified());
}

TEST_F(RulerSetupSheetTest, NoDesignNoSheet)
{
    EXPECT_EQ(RunRulerSetup(m_pMain, nullptr, 0), IDCANCEL);
}

} // namespace surfacetest
