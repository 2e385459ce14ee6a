// The object and arrange commands of a design view, sent as their menu
// items send them: stacking order, flipping, grouping, locking, rotating,
// the grid and guidelines, Select All, and the availability of the Arrange
// menu's items over many kinds of selection.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/DrawOleObj.h"
#include "model/UndoList.h"
#include "resources/resource.h"
#include "surface/RotateDlg.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"
#include "text/TextBlock.h"
#include "text/TextEditHost.h"

#include <map>
#include <string>

namespace surfacetest {
namespace {

class SurfaceArrangeTest : public SurfaceInputTest {
protected:
    void TearDown() override
    {
        thePrefs.GridSpacing = m_nSavedGridSpacing;
        SurfaceInputTest::TearDown();
    }

    // Named rectangles side by side, added in the order of the names.
    std::map<char, CDrawRect*> AddNamed(CSurface* pView, const std::string& names)
    {
        std::map<char, CDrawRect*> objects;
        int x = -400;
        for (char c : names) {
            objects[c] = AddRect(pView, CRect(x, 200, x + 80, 100));
            m_names[objects[c]] = c;
            x += 100;
        }
        return objects;
    }

    // The view's objects from bottom to top by their names.
    std::string Order(CSurface* pView)
    {
        std::string order;
        for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != NULL;)
            order += m_names[AsDrawObj(pView->GetObjects().GetNext(pos))];
        return order;
    }

    static void SelectOnly(CSurface* pView, std::initializer_list<CDrawObj*> objects)
    {
        pView->Select(NULL);
        for (CDrawObj* pObj : objects)
            pView->Select(pObj, TRUE);
    }

    static void Command(CSurface* pView, UINT nID) { pView->GetParentFrame()->SendMessage(WM_COMMAND, nID); }

    static CUndoList& Undo(CSurface* pView) { return pView->GetDocument()->GetUndoList(); }

    std::map<CDrawObj*, char> m_names;
    int m_nSavedGridSpacing = thePrefs.GridSpacing;
};

} // namespace

TEST_F(SurfaceArrangeTest, StackingCommandsMoveTheSelectionWithoutPassingEachOther)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    auto o = AddNamed(pView, "ABCD");
    ASSERT_EQ(Order(pView), "ABCD");

    SelectOnly(pView, {o['C'], o['B']});
    Command(pView, ID_ARRANGE_MOVE_DOWN);
    EXPECT_EQ(Order(pView), "BCAD");
    // Already at the bottom together: nothing moves.
    Command(pView, ID_ARRANGE_MOVE_DOWN);
    EXPECT_EQ(Order(pView), "BCAD");

    SelectOnly(pView, {o['B'], o['C']});
    Command(pView, ID_ARRANGE_MOVE_UP);
    EXPECT_EQ(Order(pView), "ABCD");
    Command(pView, ID_ARRANGE_MOVE_UP);
    EXPECT_EQ(Order(pView), "ADBC");
    Command(pView, ID_ARRANGE_MOVE_UP);
    EXPECT_EQ(Order(pView), "ADBC");

    SelectOnly(pView, {o['D'], o['A']});
    Command(pView, ID_ARRANGE_MOVE_FRONT);
    EXPECT_EQ(Order(pView), "BCAD");
    Command(pView, ID_ARRANGE_MOVE_BOTTOM);
    EXPECT_EQ(Order(pView), "ADBC");
    EXPECT_TRUE(pView->GetDocument()->IsModified());

    // Only part of the surface can change places.
    EXPECT_TRUE(IsEnabled(pView, ID_ARRANGE_MOVE_UP));
    SelectOnly(pView, {o['A'], o['B'], o['C'], o['D']});
    EXPECT_FALSE(IsEnabled(pView, ID_ARRANGE_MOVE_UP));
    o['D']->m_wFlags |= OBJ_FLAG_UNSELECTABLE;
    SelectOnly(pView, {o['A'], o['B']});
    EXPECT_TRUE(IsEnabled(pView, ID_ARRANGE_MOVE_DOWN));
    SelectOnly(pView, {o['A'], o['B'], o['C']});
    EXPECT_FALSE(IsEnabled(pView, ID_ARRANGE_MOVE_DOWN));
}

TEST_F(SurfaceArrangeTest, BackLayerObjectsSinkBelowAllOthersInReverseOrder)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    auto o = AddNamed(pView, "ABCD");
    o['A']->m_wFlags |= OBJ_FLAG_BACK_LAYER;
    o['C']->m_wFlags |= OBJ_FLAG_BACK_LAYER;
    pView->SinkBackLayerObjects();
    EXPECT_EQ(Order(pView), "CABD");

    // Moving an ordinary object down or to the bottom never puts it below
    // the back layer.
    SelectOnly(pView, {o['D']});
    Command(pView, ID_ARRANGE_MOVE_BOTTOM);
    EXPECT_EQ(Order(pView), "ACDB");
    SelectOnly(pView, {o['B']});
    Command(pView, ID_ARRANGE_MOVE_DOWN);
    EXPECT_EQ(Order(pView), "CABD");
}

TEST_F(SurfaceArrangeTest, UndoAndRedoBringObjectsBackInTheLayerTheyLeft)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    auto o = AddNamed(pView, "ABCD");
    SelectOnly(pView, {o['C'], o['A']});
    pView->DeleteSelection(TRUE);
    ASSERT_EQ(Order(pView), "BD");
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    // The restored objects are rebuilt: name them by their places.
    ASSERT_EQ(pView->GetObjects().GetCount(), 4);
    m_names[AsDrawObj(pView->GetObjects().GetHead())] = 'a';
    m_names[AsDrawObj(pView->GetObjects().GetAt(pView->GetObjects().FindIndex(2)))] = 'c';
    EXPECT_EQ(Order(pView), "aBcD");

    // A copy sent to the bottom comes back there when its creation is
    // undone and redone.
    SelectOnly(pView, {o['D']});
    Command(pView, ID_EDIT_DUPLICATE);
    m_names[AsDrawObj(pView->GetObjects().GetTail())] = 'd';
    Command(pView, ID_ARRANGE_MOVE_BOTTOM);
    ASSERT_EQ(Order(pView), "daBcD");
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(Order(pView), "aBcD");
    ASSERT_TRUE(Undo(pView).Redo(pView->GetDocument()));
    m_names[AsDrawObj(pView->GetObjects().GetHead())] = 'd';
    EXPECT_EQ(Order(pView), "daBcD");
}

TEST_F(SurfaceArrangeTest, FlippingASelectionIsOneStepThatUndoReverses)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pB = AddRect(pView, CRect(100, 300, 300, 100));
    SelectOnly(pView, {pA, pB});
    const int nSteps = Undo(pView).GetCount();

    ASSERT_TRUE(IsEnabled(pView, ID_ARRANGE_FLIP_HORZ));
    Command(pView, ID_ARRANGE_FLIP_HORZ);
    EXPECT_EQ(pA->m_position, CRect(-100, 200, -300, 0));
    EXPECT_EQ(pB->m_position, CRect(300, 300, 100, 100));
    EXPECT_TRUE(pA->m_bFlipX);
    EXPECT_EQ(Undo(pView).GetCount(), nSteps + 1);

    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(pA->m_position, CRect(-300, 200, -100, 0));
    EXPECT_EQ(pB->m_position, CRect(100, 300, 300, 100));
    EXPECT_FALSE(pA->m_bFlipX);
    EXPECT_FALSE(pB->m_bFlipX);
    ASSERT_TRUE(Undo(pView).Redo(pView->GetDocument()));
    EXPECT_EQ(pB->m_position, CRect(300, 300, 100, 100));
    EXPECT_TRUE(pB->m_bFlipX);

    SelectOnly(pView, {pA});
    Command(pView, ID_ARRANGE_FLIP_BOTH);
    EXPECT_EQ(pA->m_position, CRect(-300, 0, -100, 200));
    EXPECT_FALSE(pA->m_bFlipX);
    EXPECT_TRUE(pA->m_bFlipY);
}

TEST_F(SurfaceArrangeTest, GroupingTakesTheFirstFreeNumberAndToggleUngroupsAWholeGroup)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pOne = AddRect(pView, CRect(-400, 400, -300, 300));
    CDrawRect* pThree = AddRect(pView, CRect(-200, 400, -100, 300));
    pOne->m_wObjectWord = 1;
    pThree->m_wObjectWord = 3;
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pB = AddRect(pView, CRect(100, 200, 300, 0));
    SelectOnly(pView, {pA, pB});
    const int nSteps = Undo(pView).GetCount();

    Command(pView, ID_ARRANGE_GROUP);
    EXPECT_EQ(pA->m_wObjectWord, 2);
    EXPECT_EQ(pB->m_wObjectWord, 2);
    EXPECT_EQ(Undo(pView).GetCount(), nSteps + 1);
    EXPECT_EQ(CheckOf(pView, ID_ARRANGE_TOGGLE_GROUPING), 1);

    // One group selected: Toggle Grouping ungroups it and leaves nothing
    // selected.
    Command(pView, ID_ARRANGE_TOGGLE_GROUPING);
    EXPECT_EQ(pA->m_wObjectWord, 0);
    EXPECT_EQ(pB->m_wObjectWord, 0);
    EXPECT_EQ(SelectedCount(pView), 0);

    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(pA->m_wObjectWord, 2);
    EXPECT_EQ(pB->m_wObjectWord, 2);

    // A group with an ungrouped object beside it is grouped anew.
    SelectOnly(pView, {pA, pOne});
    Command(pView, ID_ARRANGE_TOGGLE_GROUPING);
    EXPECT_EQ(pA->m_wObjectWord, pOne->m_wObjectWord);
    EXPECT_EQ(pB->m_wObjectWord, pOne->m_wObjectWord);
    EXPECT_EQ(pThree->m_wObjectWord, 3);
}

TEST_F(SurfaceArrangeTest, LockingUndoesOnlyWhatItChanged)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pB = AddRect(pView, CRect(100, 200, 300, 0));
    pB->m_wFlags |= OBJ_FLAG_LOCKED;
    SelectOnly(pView, {pA, pB});
    const int nSteps = Undo(pView).GetCount();

    Command(pView, ID_ARRANGE_LOCK);
    EXPECT_TRUE(pA->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(Undo(pView).GetCount(), nSteps + 1);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_FALSE(pA->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_TRUE(pB->m_wFlags & OBJ_FLAG_LOCKED) << "it was locked before the command";

    // Toggle locks a partly locked selection, then unlocks it.
    SelectOnly(pView, {pA, pB});
    Command(pView, ID_ARRANGE_TOGGLE_LOCKING);
    EXPECT_TRUE(pA->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(CheckOf(pView, ID_ARRANGE_TOGGLE_LOCKING), 1);
    Command(pView, ID_ARRANGE_TOGGLE_LOCKING);
    EXPECT_FALSE(pA->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_FALSE(pB->m_wFlags & OBJ_FLAG_LOCKED);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_TRUE(pA->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_TRUE(pB->m_wFlags & OBJ_FLAG_LOCKED);

    // Nothing to change: no step.
    const int nBefore = Undo(pView).GetCount();
    Command(pView, ID_ARRANGE_LOCK);
    EXPECT_EQ(Undo(pView).GetCount(), nBefore);
}

TEST_F(SurfaceArrangeTest, RotatingTheSelectionToZeroTurnsItAFullTurnAndTurnsEveryObject)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pB = AddRect(pView, CRect(100, 200, 300, 0));
    pA->RotateShape(30);
    ASSERT_EQ(pA->GetRoundedAngle(), 30);
    SelectOnly(pView, {pA, pB});

    // OK on the first object's own angle turns the others to it.
    std::string shown;
    testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [&](HWND hDlg) {
        shown = ItemText(hDlg, IDC_ROTATE_ANGLE);
        Click(hDlg, IDOK);
    })});
    Command(pView, ID_ARRANGE_ROTATE);
    EXPECT_EQ(shown, "30");
    EXPECT_EQ(pB->GetRoundedAngle(), 30);

    // 0 is a full turn, not "the angle of the rotation handle".
    testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, "0");
        Click(hDlg, IDOK);
    })});
    Command(pView, ID_ARRANGE_ROTATE);
    EXPECT_EQ(pA->GetRoundedAngle(), 0);
    EXPECT_EQ(pB->GetRoundedAngle(), 0);

    // Cancel and locked objects change nothing.
    pB->m_wFlags |= OBJ_FLAG_LOCKED;
    testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, "45");
        Click(hDlg, IDOK);
    })});
    pView->OnRotateSelection();
    EXPECT_EQ(pA->GetRoundedAngle(), 45);
    EXPECT_EQ(pB->GetRoundedAngle(), 0);
    testing_support::DriveActiveWindow({OnDialogWith(IDC_ROTATE_ANGLE, [](HWND hDlg) {
        ::SetDlgItemText(hDlg, IDC_ROTATE_ANGLE, "90");
        Click(hDlg, IDCANCEL);
    })});
    pView->OnRotateSelection();
    EXPECT_EQ(pA->GetRoundedAngle(), 45);
}

TEST_F(SurfaceArrangeTest, GridGuidelinesAndZoomItemsFollowTheDocument)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();

    // No spacing anywhere: half an inch.
    pDoc->m_nGridSpacing = 0;
    thePrefs.GridSpacing = 0;
    thePrefs.Flags = PREF_FLAG_GRID_LINES;
    Command(pView, ID_VIEW_GRID_LINES);
    EXPECT_EQ(pDoc->GetGridSpacing(), 500);
    EXPECT_TRUE(pDoc->m_wDocFlags & CSurface::DocShowGrid);
    EXPECT_TRUE(pDoc->m_wDocFlags & CSurface::DocSnapToGrid);
    EXPECT_EQ(CheckOf(pView, ID_VIEW_GRID_LINES), 1);
    thePrefs.Flags = 0;
    Command(pView, ID_VIEW_GRID_LINES);
    EXPECT_FALSE(pDoc->m_wDocFlags & CSurface::DocShowGrid);
    EXPECT_FALSE(pDoc->m_wDocFlags & CSurface::DocSnapToGrid);
    EXPECT_EQ(CheckOf(pView, ID_VIEW_GRID_LINES), 0);

    // A spacing from the preferences, taken as a distance.
    pDoc->m_nGridSpacing = 0;
    thePrefs.GridSpacing = -250;
    Command(pView, ID_VIEW_GRID_LINES);
    EXPECT_EQ(pDoc->GetGridSpacing(), 250);

    // Snapping to guidelines follows showing them.
    const WORD wBoth = CSurface::DocShowGuidelines | CSurface::DocSnapToGuidelines;
    pDoc->m_wDocFlags = WORD((pDoc->m_wDocFlags & ~wBoth) | CSurface::DocSnapToGuidelines);
    Command(pView, ID_VIEW_GUIDELINES);
    EXPECT_EQ(pDoc->m_wDocFlags & wBoth, wBoth);
    EXPECT_EQ(CheckOf(pView, ID_VIEW_GUIDELINES), 1);
    Command(pView, ID_VIEW_GUIDELINES);
    EXPECT_EQ(pDoc->m_wDocFlags & wBoth, 0);
    EXPECT_EQ(CheckOf(pView, ID_VIEW_GUIDELINES), 0);

    // Custom Zoom is checked for a zoom no other item names.
    EXPECT_EQ(CheckOf(pView, ID_VIEW_ZOOM_CUSTOM), 0);
    pDoc->SetZoom(120);
    Pump();
    EXPECT_EQ(CheckOf(pView, ID_VIEW_ZOOM_CUSTOM), 1);
    pDoc->SetZoom(ZOOM_FIT);
    Pump();
    EXPECT_EQ(CheckOf(pView, ID_VIEW_ZOOM_CUSTOM), 0);
    EXPECT_TRUE(IsEnabled(pView, ID_VIEW_ZOOM_AREA));
}

TEST_F(SurfaceArrangeTest, SelectAllSelectsTheObjectsOrTheEditedText)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_SELECT_ALL));
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pFixed = AddRect(pView, CRect(100, 200, 300, 0));
    pFixed->m_wFlags |= OBJ_FLAG_UNSELECTABLE;
    CDrawRect* pText = AddRect(pView, CRect(-300, -100, 300, -300));
    pText->SetText("Hello world", FALSE);
    Command(pView, ID_EDIT_SELECT_ALL);
    EXPECT_EQ(SelectedCount(pView), 2);
    EXPECT_TRUE(pView->IsSelected(pA));
    EXPECT_FALSE(pView->IsSelected(pFixed));
    // The Clear item takes one object at a time (the Delete key takes all).
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_CLEAR));
    SelectOnly(pView, {pA});
    EXPECT_TRUE(IsEnabled(pView, ID_EDIT_CLEAR));

    // While wrapped text is edited, Select All takes its characters and
    // Clear deletes them.
    SelectOnly(pView, {pText});
    Command(pView, ID_EDIT_SELECTION_TEXT);
    ASSERT_TRUE(pText->IsTextEditActive());
    ASSERT_NE(pText->m_pTextEditor, nullptr);
    Command(pView, ID_EDIT_SELECT_ALL);
    EXPECT_EQ(SelectedCount(pView), 1);
    EXPECT_TRUE(pText->HasTextSelection());
    pView->DeleteSelection(TRUE);
    EXPECT_EQ(pView->GetObjects().GetCount(), 3);
    EXPECT_TRUE(pText->m_pTextEditor->GetEditor().GetTextString().IsEmpty());
}

TEST_F(SurfaceArrangeTest, FittingMovesAnObjectJustInsideTheWorkArea)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    // A Letter sheet upright with margins of a quarter inch.
    pView->SetPageSize(850, 1100);
    pView->GetDocument()->m_rectMargins = CRect(25, 25, 25, 25);
    CRect area;
    pView->GetWorkArea(&area);
    ASSERT_EQ(area, CRect(-399, 524, 400, -525));
    struct Case {
        CRect rect;
        CRect expected;
    };
    const Case cases[] = {
        {CRect(-100, 100, 100, 0), CRect(-100, 100, 100, 0)},   // inside: stays
        {CRect(300, 100, 500, 0), CRect(199, 100, 399, 0)},     // past the right edge
        {CRect(500, 100, 300, 0), CRect(399, 100, 199, 0)},     // the same, reversed
        {CRect(-600, 100, -500, 0), CRect(-399, 100, -299, 0)}, // past the left edge
        {CRect(0, 700, 100, 600), CRect(0, 523, 100, 423)},     // above the top
        {CRect(0, -600, 100, -700), CRect(0, -425, 100, -525)}, // below the bottom
        // Wider than the area: centred on it, never pushed past its centre.
        {CRect(-500, 100, 1500, 0), CRect(-1000, 100, 1000, 0)},
        {CRect(-1000, 100, 1000, 0), CRect(-1000, 100, 1000, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.rect));
        CDrawRect* pObj = AddRect(pView, c.rect);
        pView->FitObjectToWorkArea(pObj);
        const CRect& r = pObj->m_position;
        EXPECT_EQ(r, c.expected) << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom;
    }
}

TEST_F(SurfaceArrangeTest, DuplicateAndZoomAreaDoWhatTheirItemsSay)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_DUPLICATE));
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    SelectOnly(pView, {pA});
    Command(pView, ID_EDIT_DUPLICATE);
    ASSERT_EQ(pView->GetObjects().GetCount(), 2);
    EXPECT_EQ(AsDrawObj(pView->GetObjects().GetTail())->m_position, CRect(-285, 185, -85, -15));

    const size_t nBoxes = platform::headless::MessageBoxes().size();
    Command(pView, ID_VIEW_ZOOM_AREA);
    ASSERT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text, "This function is not yet implemented");
    EXPECT_EQ(pView->GetObjects().GetCount(), 2);
}

TEST_F(SurfaceArrangeTest, ArrangeItemsAreAvailableForTheSelectionsTheyCanChange)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    auto rect = [&](int n) { return AddRect(pView, CRect(-400 + 60 * n, 200, -350 + 60 * n, 150)); };
    CDrawRect* pR1 = rect(0);
    CDrawRect* pR2 = rect(1);
    CDrawRect* pG1a = rect(2);
    CDrawRect* pG1b = rect(3);
    CDrawRect* pG2 = rect(4);
    pG1a->m_wObjectWord = pG1b->m_wObjectWord = 5;
    pG2->m_wObjectWord = 6;
    CDrawRect* pLocked1 = rect(5);
    CDrawRect* pLocked2 = rect(6);
    pLocked1->m_wFlags |= OBJ_FLAG_LOCKED;
    pLocked2->m_wFlags |= OBJ_FLAG_LOCKED;
    CDrawRect* pLine = AddRect(pView, CRect(-400, 0, -200, -100), SHAPE_LINE);
    CDrawRect* pCalendar = rect(7);
    pCalendar->m_nCalendarStart = 2460436;
    CDrawRect* pCellHit = rect(8);
    pCellHit->m_nCalendarStart = 2460436;
    pCellHit->m_bCellHit = TRUE;
    auto* pOle = new CDrawOleObj(CRect(0, 0, 100, -100));
    pView->Add(pOle);
    CDrawRect* pTurned = rect(9);
    pTurned->RotateShape(30);
    CDrawRect* pColumns = AddRect(pView, CRect(100, 0, 400, -200));
    pColumns->SetText("two columns", TRUE);
    ASSERT_NE(pColumns->GetTextBlock(), nullptr);
    pColumns->GetTextBlock()->m_nColumns = 2;

    // Columns: Group, Ungroup, Toggle Grouping (enabled, checked), Lock,
    // Unlock, Toggle Locking (enabled, checked), Flip, Move Up, Duplicate,
    // Rotate, Scale.
    struct Case {
        const char* pszName;
        std::vector<CDrawObj*> selection;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"nothing", {}, "0000000000000"},
        {"one shape", {pR1}, "0000101011111"},
        {"two shapes", {pR1, pR2}, "1010101011111"},
        {"one group", {pG1a}, "0111101011111"},
        {"two groups", {pG1a, pG2}, "1010101011111"},
        {"one of two locked", {pR1, pLocked1}, "1010101000100"},
        {"all locked", {pLocked1, pLocked2}, "1010011100100"},
        {"a line alone", {pLine}, "0000101011101"},
        {"a line and a shape", {pLine, pR1}, "1010101011111"},
        {"a calendar", {pCalendar}, "0000101001101"},
        {"a calendar with a hit cell", {pCellHit}, "0000001001101"},
        {"an embedded object", {pOle}, "0000101001101"},
        {"a turned shape", {pTurned}, "0000101001110"},
        {"text in columns", {pColumns}, "0000101001101"},
    };
    const UINT items[] = {ID_ARRANGE_GROUP, ID_ARRANGE_UNGROUP, ID_ARRANGE_TOGGLE_GROUPING, 0, ID_ARRANGE_LOCK,
        ID_ARRANGE_UNLOCK, ID_ARRANGE_TOGGLE_LOCKING, 0, ID_ARRANGE_FLIP_HORZ, ID_ARRANGE_MOVE_UP, ID_EDIT_DUPLICATE,
        ID_ARRANGE_ROTATE, ID_ARRANGE_SCALE};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        pView->Select(NULL);
        for (CDrawObj* pObj : c.selection)
            pView->Select(pObj, TRUE);
        std::string got;
        for (size_t i = 0; i < std::size(items); ++i) {
            if (items[i] == 0) {
                // The check of the item before it.
                got += CheckOf(pView, items[i - 1]) == 1 ? '1' : '0';
                continue;
            }
            got += IsEnabled(pView, items[i]) ? '1' : '0';
        }
        EXPECT_EQ(got, c.pszExpected);
    }
    // Flip looks at each object's turn and each object's lock.
    SelectOnly(pView, {pR1, pTurned});
    EXPECT_FALSE(IsEnabled(pView, ID_ARRANGE_FLIP_VERT));
    SelectOnly(pView, {pR1});
    EXPECT_TRUE(IsEnabled(pView, ID_ARRANGE_FLIP_BOTH));
}

} // namespace surfacetest
