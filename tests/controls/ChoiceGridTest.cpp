// The choice grid on the headless back end: its layout on units of a sixth
// of a cell, a one-row grid made square and centred, the arrow keys'
// wrapping, the selection mask's "none" bit and its last selectable cell,
// the double click confirming once, the one slot kept for no cells, and the
// caption font fit, which must end even when every caption is empty.

#include "controls/ChoiceGrid.h"

#include "pictures/MetafilePicture.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <vector>

namespace {

class CRecordingParent : public CWnd {
public:
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        commands.push_back(wParam);
        return TRUE;
    }
    std::vector<WPARAM> commands;
};

// Counts what the grid asks of its controller and, like the page-setup
// pages, selects the clicked cell.
class CCountingController : public CChoiceGrid::Controller {
public:
    using Controller::Controller;
    void OnClick(UINT, int nCell) override
    {
        ++clicks;
        m_pGrid->SetCurSel(nCell, TRUE);
    }
    void OnDoubleClick(UINT, int) override { ++doubleClicks; }
    int clicks = 0;
    int doubleClicks = 0;
};

class ChoiceGridTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        MakeApp();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)(COLOR_BTNFACE + 1)), "",
            WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, NULL, NULL));
    }

    std::unique_ptr<CChoiceGrid> MakeGrid(int nCells, int cx, int cy, WORD wFlags)
    {
        auto pGrid = std::make_unique<CChoiceGrid>(&m_parent, nCells, 0, 1);
        pGrid->SetFlags(wFlags);
        pGrid->SetWindowPos(NULL, 0, 0, cx, cy, SWP_NOZORDER);
        return pGrid;
    }

    static void Key(CChoiceGrid& grid, UINT vk) { grid.SendMessage(WM_KEYDOWN, vk, 1); }

    static void Mouse(CChoiceGrid& grid, UINT message, CPoint point)
    {
        grid.SendMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(point.x, point.y));
    }

    int PostedOks()
    {
        Pump();
        int n = 0;
        for (WPARAM w : m_parent.commands)
            n += w == IDOK ? 1 : 0;
        return n;
    }

    CRecordingParent m_parent;
};

TEST_F(ChoiceGridTest, CreatesAChildWithItsNumbersIdAndTheDefaultFlags)
{
    CChoiceGrid grid(&m_parent, 0, 0, 3);
    EXPECT_EQ(int(CChoiceGrid::kFirstControlId + 3), grid.GetDlgCtrlID());
    EXPECT_EQ(WS_CHILD | WS_VISIBLE | WS_TABSTOP, grid.GetStyle() & (WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    EXPECT_EQ(CChoiceGrid::kTextBand | CChoiceGrid::kDblClkConfirms, grid.GetFlags());
    EXPECT_EQ(-1, grid.GetCurSel());
}

TEST_F(ChoiceGridTest, SixCellsInTwoRowsLayOutOnSixthsOfACell)
{
    auto pGrid = MakeGrid(6, 400, 300, 0);
    pGrid->ComputeCellRects(2, 6, 400, 300);
    EXPECT_EQ(3, pGrid->GetColumns());
    // 400 / 19 = 21 and 300 / 13 = 23 pixels a unit; a cell is five units.
    EXPECT_EQ(CRect(21, 23, 126, 138), pGrid->GetCellRect(0));
    EXPECT_EQ(CRect(147, 23, 252, 138), pGrid->GetCellRect(1));
    EXPECT_EQ(CRect(273, 161, 378, 276), pGrid->GetCellRect(5));
    EXPECT_TRUE(pGrid->GetBandRect().IsRectEmpty());
}

TEST_F(ChoiceGridTest, OneRowGridGetsSquareCellsCentred)
{
    // Wide: units of 30 x 20 become 20 x 20, and the columns' lost width is
    // shared on both sides.
    auto pGrid = MakeGrid(3, 570, 140, 0);
    pGrid->ComputeCellRects(1, 3, 570, 140);
    EXPECT_EQ(CRect(110, 20, 210, 120), pGrid->GetCellRect(0));
    EXPECT_EQ(CRect(350, 20, 450, 120), pGrid->GetCellRect(2));
    const int leftGap = pGrid->GetCellRect(0).left;
    const int rightGap = 570 - pGrid->GetCellRect(2).right;
    EXPECT_LT(std::abs(leftGap - rightGap), 20);

    // Tall: units of 10 x 42 become 10 x 10, centred vertically.
    pGrid->ComputeCellRects(1, 3, 190, 300);
    EXPECT_EQ(CRect(10, 125, 60, 175), pGrid->GetCellRect(0));
}

TEST_F(ChoiceGridTest, BandTakesOneAndAHalfLinesUnderTheCells)
{
    auto pGrid = MakeGrid(6, 400, 300, CChoiceGrid::kTextBand);
    pGrid->ComputeCellRects(2, 6, 400, 300);
    const CRect band = pGrid->GetBandRect();
    EXPECT_EQ(pGrid->GetCellRect(5).bottom + 3, band.top);
    EXPECT_EQ(CRect(0, band.top, 400, 300), band);
    EXPECT_LT(pGrid->GetCellRect(5).bottom, 276);
}

TEST_F(ChoiceGridTest, ArrowKeysWrapAndAreIgnoredWithoutCells)
{
    auto pGrid = MakeGrid(6, 400, 300, 0);
    pGrid->ComputeCellRects(2, 6, 400, 300);
    struct Step {
        int from;
        UINT vk;
        int to;
    };
    const Step steps[] = {{4, VK_DOWN, 1}, {1, VK_UP, 4}, {0, VK_LEFT, 5}, {5, VK_RIGHT, 0}, {2, VK_DOWN, 5}};
    for (const Step& step : steps) {
        pGrid->SetCurrent(step.from, FALSE);
        Key(*pGrid, step.vk);
        EXPECT_EQ(step.to, pGrid->GetCurrent()) << "from " << step.from << " key " << step.vk;
    }
    pGrid->SetCurrent(3, FALSE);
    Key(*pGrid, 'A');
    EXPECT_EQ(3, pGrid->GetCurrent());

    pGrid->SetCellCount(0);
    for (UINT vk : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})
        Key(*pGrid, vk);
    EXPECT_EQ(-1, pGrid->GetCurrent());
}

TEST_F(ChoiceGridTest, SingleChoiceHasNoneUntilACellIsSelected)
{
    auto pGrid = MakeGrid(16, 400, 300, CChoiceGrid::kCaptions);
    EXPECT_EQ(-1, pGrid->GetCurSel());
    EXPECT_TRUE(pGrid->GetSelectedText().IsEmpty());
    pGrid->SetCurSel(2, TRUE);
    EXPECT_EQ(2, pGrid->GetCurSel());
    pGrid->SetCurSel(14, TRUE);
    EXPECT_EQ(14, pGrid->GetCurSel());
    // Cell 15's bit is the mask's "none"; it cannot be selected.
    pGrid->SetCurSel(15, TRUE);
    EXPECT_EQ(14, pGrid->GetCurSel());
    pGrid->SetCurSel(-1, TRUE);
    EXPECT_EQ(-1, pGrid->GetCurSel());
    EXPECT_TRUE(pGrid->GetSelectedText().IsEmpty());
}

TEST_F(ChoiceGridTest, MultipleChoiceTogglesCells)
{
    auto pGrid = MakeGrid(16, 400, 300, CChoiceGrid::kMultiple);
    pGrid->SetCurSel(1, FALSE);
    pGrid->SetCurSel(14, FALSE);
    pGrid->SetCurSel(15, FALSE);
    EXPECT_TRUE(pGrid->IsCellSelected(1));
    EXPECT_TRUE(pGrid->IsCellSelected(14));
    EXPECT_FALSE(pGrid->IsCellSelected(15));
    EXPECT_FALSE(pGrid->IsCellSelected(0));
    pGrid->SetCurSel(1, FALSE);
    EXPECT_FALSE(pGrid->IsCellSelected(1));
    pGrid->SetCurSel(-1, FALSE);
    EXPECT_FALSE(pGrid->IsCellSelected(14));
    // Multiple choice answers the current cell.
    pGrid->SetCurrent(7, FALSE);
    EXPECT_EQ(7, pGrid->GetCurSel());
}

TEST_F(ChoiceGridTest, DoubleClickConfirmsOnceAndSkipsItsButtonUp)
{
    auto pGrid = MakeGrid(6, 400, 300, CChoiceGrid::kDblClkConfirms);
    auto* pController = new CCountingController(pGrid.get());
    pGrid->SetController(pController);
    pGrid->ComputeCellRects(2, 6, 400, 300);
    const CPoint inCell1 = pGrid->GetCellRect(1).CenterPoint();

    Mouse(*pGrid, WM_LBUTTONDOWN, inCell1);
    Mouse(*pGrid, WM_LBUTTONUP, inCell1);
    Mouse(*pGrid, WM_LBUTTONDBLCLK, inCell1);
    Mouse(*pGrid, WM_LBUTTONUP, inCell1);
    EXPECT_EQ(1, pController->clicks);
    EXPECT_EQ(1, pController->doubleClicks);
    EXPECT_EQ(1, PostedOks());
    EXPECT_EQ(1, pGrid->GetCurSel());
    EXPECT_EQ(1, pGrid->GetCurrent());

    // The next click counts again; a double click off the cells confirms
    // nothing.
    Mouse(*pGrid, WM_LBUTTONDOWN, inCell1);
    Mouse(*pGrid, WM_LBUTTONUP, inCell1);
    EXPECT_EQ(2, pController->clicks);
    Mouse(*pGrid, WM_LBUTTONDBLCLK, CPoint(1, 1));
    Mouse(*pGrid, WM_LBUTTONUP, CPoint(1, 1));
    EXPECT_EQ(1, PostedOks());
}

TEST_F(ChoiceGridTest, ClickConfirmsWhenAskedAndOnlyOnTheCellPressed)
{
    auto pGrid = MakeGrid(6, 400, 300, CChoiceGrid::kClickConfirms);
    pGrid->SetController(new CCountingController(pGrid.get()));
    pGrid->ComputeCellRects(2, 6, 400, 300);
    Mouse(*pGrid, WM_LBUTTONDOWN, pGrid->GetCellRect(0).CenterPoint());
    Mouse(*pGrid, WM_LBUTTONUP, pGrid->GetCellRect(2).CenterPoint());
    EXPECT_EQ(0, PostedOks());
    EXPECT_EQ(-1, pGrid->GetCurSel());
    Mouse(*pGrid, WM_LBUTTONDOWN, pGrid->GetCellRect(2).CenterPoint());
    Mouse(*pGrid, WM_LBUTTONUP, pGrid->GetCellRect(2).CenterPoint());
    EXPECT_EQ(1, PostedOks());
    EXPECT_EQ(2, pGrid->GetCurSel());
}

TEST_F(ChoiceGridTest, NoCellsStillKeepOneSlotWithoutCaption)
{
    auto pGrid = MakeGrid(3, 400, 300, CChoiceGrid::kCaptions);
    pGrid->SetCurSel(2, FALSE);
    pGrid->SetCellCount(0);
    EXPECT_EQ(0, pGrid->GetCellCount());
    EXPECT_EQ(-1, pGrid->GetCurSel());
    EXPECT_TRUE(pGrid->GetCellText(0).IsEmpty());
    pGrid->SetCellRect(0, CRect(1, 2, 3, 4));
    EXPECT_EQ(CRect(1, 2, 3, 4), pGrid->GetCellRect(0));
    pGrid->SetCellPicture(0, new CMetafilePicture(0, 0, 10, 10, IDR_METAFILE_STAR, nullptr, 0));
    EXPECT_NE(nullptr, pGrid->GetCellPicture(0));

    // Fewer cells keep a selection below the count, else select the first.
    pGrid->SetCellCount(4);
    pGrid->SetCurSel(3, FALSE);
    pGrid->SetCellCount(5);
    EXPECT_EQ(3, pGrid->GetCurSel());
    pGrid->SetCellCount(2);
    EXPECT_EQ(0, pGrid->GetCurSel());
}

TEST_F(ChoiceGridTest, CellsLoadedFromResourcesTakeTheirNamesAsCaptions)
{
    auto pGrid = MakeGrid(1, 400, 200, CChoiceGrid::kCaptions | CChoiceGrid::kTextBand);
    const UINT order[] = {30, 31, 32};
    pGrid->ArrangeCells(IDR_METAFILE_STAR, IDR_METAFILE_CIRCLE, 1, nullptr, order);
    ASSERT_EQ(3, pGrid->GetCellCount());
    EXPECT_STREQ("Star", pGrid->GetCellText(0));
    EXPECT_STREQ("Circle", pGrid->GetCellText(2));
    EXPECT_EQ(31u, pGrid->GetCellId(1));
    ASSERT_NE(nullptr, pGrid->GetCellPicture(1));
    EXPECT_TRUE(pGrid->GetCellPicture(1)->HasPicture());
    // The picture sits inside its cell.
    CRect inner(pGrid->GetCellPicture(1)->GetFrameRect());
    CRect cell = pGrid->GetCellRect(1);
    EXPECT_TRUE(cell.PtInRect(inner.TopLeft()));
    EXPECT_LT(inner.Width(), cell.Width());
    // The font grew from 7 pixels but never past the caption box.
    const int nHeight = -pGrid->GetCaptionHeight();
    EXPECT_GE(nHeight, 7);
    EXPECT_LE(nHeight, pGrid->GetCaptionBox().cy);

    pGrid->SetCurSel(1, TRUE);
    EXPECT_STREQ("Heart", pGrid->GetSelectedText());
    EXPECT_TRUE(pGrid->GetCellText(7).IsEmpty());
}

TEST_F(ChoiceGridTest, CaptionFitEndsWithEmptyCaptions)
{
    auto pGrid = MakeGrid(4, 400, 300, CChoiceGrid::kCaptions);
    pGrid->ComputeCellRects(2, 4, 400, 300);
    const int nBox = pGrid->GetCaptionBox().cy;
    ASSERT_GT(nBox, 7);
    // Empty captions fit at every size; the growth stops within the box.
    const int nFitted = -pGrid->FitCaptionFont();
    EXPECT_GT(nFitted, 7);
    EXPECT_LE(nFitted, nBox);
    // A box too small for the smallest size keeps the stored height.
    auto pFlat = MakeGrid(4, 400, 300, 0);
    pFlat->ComputeCellRects(2, 4, 400, 300);
    EXPECT_EQ(CChoiceGrid::kDefaultCaptionHeight, pFlat->FitCaptionFont());
}

TEST_F(ChoiceGridTest, SelectedCellIsFramedInTheHighlightWhileFocused)
{
    auto pGrid = MakeGrid(6, 400, 300, 0);
    pGrid->SetController(new CCountingController(pGrid.get()));
    pGrid->ComputeCellRects(2, 6, 400, 300);
    pGrid->SetFocus();
    pGrid->SetCurSel(4, TRUE);
    pGrid->UpdateWindow();
    const CRect cell = pGrid->GetCellRect(4);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT),
        platform::headless::WindowPixel(pGrid->m_hWnd, cell.left, cell.top + cell.Height() / 2));
    EXPECT_EQ(face, platform::headless::WindowPixel(pGrid->m_hWnd, cell.left - 3, cell.top + cell.Height() / 2));
    const CRect other = pGrid->GetCellRect(0);
    EXPECT_EQ(face, platform::headless::WindowPixel(pGrid->m_hWnd, other.left, other.top + other.Height() / 2));

    m_parent.SetFocus();
    pGrid->UpdateWindow();
    EXPECT_EQ(::GetSysColor(COLOR_GRAYTEXT),
        platform::headless::WindowPixel(pGrid->m_hWnd, cell.left, cell.top + cell.Height() / 2));
}

} // namespace
