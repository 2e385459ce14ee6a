// Aligning, centring, sizing alike and maximising the selection, and Tab
// through the objects, driven through the view's commands and keys on a
// letter page with quarter-inch margins: work area (-399, 524, 400, -525).

#include "tests/model/ContentTestSupport.h"
#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/UndoList.h"
#include "platform/files/FileSystem.h"
#include "surface/SurfaceGlobals.h"
#include "text/TextBlock.h"

#include <algorithm>
#include <string>
#include <vector>

namespace hl = platform::headless;

namespace surfacetest {
namespace {

// Rectangles compared as their four values, so that a failure shows them.
std::string Text(const CRect& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", "
        + std::to_string(r.bottom) + ")";
}

class SurfaceAlignTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        m_pView = NewView();
        ASSERT_NE(m_pView, nullptr);
        m_pDoc = m_pView->GetDocument();
        ASSERT_NE(m_pDoc, nullptr);
        m_pDoc->m_rectMargins = CRect(25, 25, 25, 25);
        m_pView->SetPageSize(850, 1100);
    }

    void Command(UINT nID)
    {
        m_pView->GetParentFrame()->SendMessage(WM_COMMAND, nID);
        Pump();
    }

    void SelectOnly(const std::vector<CDrawObj*>& objects) { m_pView->SelectObjects(objects, FALSE); }

    CUndoList& Undo() { return m_pDoc->GetUndoList(); }

    std::vector<CDrawObj*> Selected()
    {
        std::vector<CDrawObj*> out;
        CObList& sel = m_pView->GetSelection();
        for (POSITION pos = sel.GetHeadPosition(); pos != NULL;)
            out.push_back(AsDrawObj(sel.GetNext(pos)));
        return out;
    }

    CSurface* m_pView = nullptr;
    CDrawDoc* m_pDoc = nullptr;
};

TEST_F(SurfaceAlignTest, WorkAreaOfALetterPageWithQuarterInchMargins)
{
    CRect area;
    m_pView->GetWorkArea(&area, 0);
    EXPECT_EQ(Text(area), Text(CRect(-399, 524, 400, -525)));
}

TEST_F(SurfaceAlignTest, AlignObjectsMovesNormalAndReversedRectanglesAndUndoBringsThemBack)
{
    const CRect normal(100, 300, 300, 100);
    const CRect reversed(500, -100, 400, 0); // right of left, top below bottom
    const CRect locked(-300, -300, -200, -400);
    CDrawRect* pA = AddRect(m_pView, normal);
    CDrawRect* pB = AddRect(m_pView, reversed);
    CDrawRect* pL = AddRect(m_pView, locked);
    pL->m_wFlags |= OBJ_FLAG_LOCKED;
    struct Case {
        int nMode;
        int nCoord;
        int nExtent;
        CRect a;
        CRect b;
    };
    const Case cases[] = {
        {0, -200, 0, CRect(-200, 300, 0, 100), CRect(-100, -100, -200, 0)},
        {1, -50, 0, CRect(100, -50, 300, -250), CRect(500, -150, 400, -50)},
        {2, 0, 0, CRect(-200, 300, 0, 100), CRect(0, -100, -100, 0)},
        {3, -400, 0, CRect(100, -200, 300, -400), CRect(500, -400, 400, -300)},
        // Centred across [-300, -199] and down from 0 over -301: centres
        // -250 and -150 either way round.
        {4, -300, 101, CRect(-350, 300, -150, 100), CRect(-200, -100, -300, 0)},
        {5, 0, -301, CRect(100, -50, 300, -250), CRect(500, -200, 400, -100)},
        {6, 1000, 1000, normal, reversed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nMode);
        SelectOnly({pA, pB, pL});
        m_pView->AlignObjects(c.nMode, c.nCoord, c.nExtent);
        EXPECT_EQ(Text(pA->m_position), Text(c.a));
        EXPECT_EQ(Text(pB->m_position), Text(c.b));
        EXPECT_EQ(Text(pB->m_rectUnrotated), Text(c.b)) << "the unrotated rectangle goes along";
        EXPECT_EQ(Text(pL->m_position), Text(locked));
        EXPECT_EQ(Text(pL->m_rectUnrotated), Text(locked));
        EXPECT_EQ(Undo().GetUndoLabel(), "alignment");
        EXPECT_FALSE(Undo().CanRedo());
        ASSERT_TRUE(Undo().Undo(m_pDoc)) << "one step for the whole selection";
        EXPECT_EQ(Text(pA->m_position), Text(normal));
        EXPECT_EQ(Text(pB->m_position), Text(reversed));
        EXPECT_EQ(Text(pL->m_position), Text(locked));
    }
}

TEST_F(SurfaceAlignTest, AlignCommandsTakeTheWorkAreaForOneObjectAndTheFirstSelectedForSeveral)
{
    CDrawRect* pA = AddRect(m_pView, CRect(100, 300, 300, 100));
    CDrawRect* pB = AddRect(m_pView, CRect(0, -50, -60, 50)); // reversed both ways
    struct Case {
        UINT nID;
        CRect alone; // pA alone
        CRect b;     // pB with pA selected first
    };
    const Case cases[] = {
        {ID_ARRANGE_ALIGN_LEFT, CRect(-399, 300, -199, 100), CRect(160, -50, 100, 50)},
        {ID_ARRANGE_ALIGN_RIGHT, CRect(200, 300, 400, 100), CRect(300, -50, 240, 50)},
        {ID_ARRANGE_ALIGN_TOP, CRect(100, 524, 300, 324), CRect(0, 200, -60, 300)},
        {ID_ARRANGE_ALIGN_BOTTOM, CRect(100, -325, 300, -525), CRect(0, 100, -60, 200)},
        {ID_ARRANGE_ALIGN_HCENTER, CRect(-100, 300, 100, 100), CRect(230, -50, 170, 50)},
        {ID_ARRANGE_ALIGN_VCENTER, CRect(100, 100, 300, -100), CRect(0, 150, -60, 250)},
    };
    const CRect a0 = pA->m_position;
    const CRect b0 = pB->m_position;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nID);
        // The centring commands are offered for two or more; the handler
        // itself still takes one.
        SelectOnly({pA});
        m_pView->OnCmdMsg(c.nID, CN_COMMAND, nullptr, nullptr);
        EXPECT_EQ(Text(pA->m_position), Text(c.alone));
        pA->MoveTo(a0, m_pView);

        SelectOnly({pA, pB});
        Command(c.nID);
        EXPECT_EQ(Text(pA->m_position), Text(a0)) << "the first selected object is the reference";
        EXPECT_EQ(Text(pB->m_position), Text(c.b));
        pB->MoveTo(b0, m_pView);
    }
}

TEST_F(SurfaceAlignTest, SameSizeGrowsOrShrinksAboutTheCentreKeepingEachOrientation)
{
    CDrawRect* pRef = AddRect(m_pView, CRect(0, 200, 100, 0));       // 100 x 200
    CDrawRect* pB = AddRect(m_pView, CRect(400, -100, 200, -300));   // reversed across
    CDrawRect* pC = AddRect(m_pView, CRect(500, 400, 560, 500));     // reversed down
    CDrawRect* pLocked = AddRect(m_pView, CRect(-400, 0, -300, -50));
    pLocked->m_wFlags |= OBJ_FLAG_LOCKED;
    CDrawRect* pTurned = AddRect(m_pView, CRect(-400, 400, -300, 300));
    pTurned->SetAngle(30);
    const CRect turned = pTurned->m_position;

    SelectOnly({pRef, pB, pC, pLocked, pTurned});
    EXPECT_FALSE(IsEnabled(m_pView, ID_ARRANGE_SAME_WIDTH));
    m_pView->OnSameWidth();
    EXPECT_EQ(Text(pB->m_position), Text(CRect(350, -100, 250, -300)));
    EXPECT_EQ(Text(pC->m_position), Text(CRect(480, 400, 580, 500)));
    EXPECT_EQ(Text(pRef->m_position), Text(CRect(0, 200, 100, 0)));
    EXPECT_EQ(Text(pLocked->m_position), Text(CRect(-400, 0, -300, -50)));
    EXPECT_EQ(Text(pTurned->m_position), Text(turned));

    pLocked->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);
    SelectOnly({pRef, pB, pC, pLocked});
    const int nSteps = Undo().GetCount();
    Command(ID_ARRANGE_SAME_BOTH);
    EXPECT_EQ(Text(pB->m_position), Text(CRect(350, -100, 250, -300))) << "already that size";
    EXPECT_EQ(Text(pC->m_position), Text(CRect(480, 350, 580, 550)));
    EXPECT_EQ(Text(pLocked->m_position), Text(CRect(-400, 75, -300, -125)));
    EXPECT_EQ(Undo().GetCount(), nSteps + 1);
    EXPECT_EQ(Undo().GetUndoLabel(), "Same Size");
    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(Text(pC->m_position), Text(CRect(480, 400, 580, 500)));
    EXPECT_EQ(Text(pLocked->m_position), Text(CRect(-400, 0, -300, -50)));

    // One object has nothing to be like.
    SelectOnly({pB});
    const int nBefore = Undo().GetCount();
    m_pView->OnSameBoth();
    EXPECT_EQ(Text(pB->m_position), Text(CRect(350, -100, 250, -300)));
    EXPECT_EQ(Undo().GetCount(), nBefore);
}

TEST_F(SurfaceAlignTest, CenterOnPageMovesTheBoundsToTheOriginAsOneStepAndNothingWhenCentred)
{
    CDrawRect* pA = AddRect(m_pView, CRect(100, 300, 300, 100));
    SelectOnly({pA});
    const int nSteps = Undo().GetCount();
    Command(ID_ARRANGE_CENTER_PAGE);
    EXPECT_EQ(Text(pA->m_position), Text(CRect(-100, 100, 100, -100)));
    EXPECT_EQ(Undo().GetCount(), nSteps + 1);

    Command(ID_ARRANGE_CENTER_PAGE);
    EXPECT_EQ(Undo().GetCount(), nSteps + 1) << "already centred: no step";

    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(Text(pA->m_position), Text(CRect(100, 300, 300, 100)));

    // One direction only, and the bounds of several objects.
    CDrawRect* pB = AddRect(m_pView, CRect(-100, 0, 0, -100));
    SelectOnly({pA, pB});
    Command(ID_ARRANGE_CENTER_HORZ);
    EXPECT_EQ(Text(pA->m_position), Text(CRect(0, 300, 200, 100)));
    EXPECT_EQ(Text(pB->m_position), Text(CRect(-200, 0, -100, -100)));
    Command(ID_ARRANGE_CENTER_VERT);
    EXPECT_EQ(Text(pA->m_position), Text(CRect(0, 200, 200, 0)));
    EXPECT_EQ(Text(pB->m_position), Text(CRect(-200, -100, -100, -200)));
}

TEST_F(SurfaceAlignTest, MaximizeKeepsAPicturesProportionsWithCtrlAndFillsTheWorkAreaWithout)
{
    platform::InitFileSystem();
    // A work area of exactly 800 x 1000: (-399, 499, 401, -501).
    m_pDoc->m_rectMargins = CRect(0, 0, 0, 0);
    m_pView->SetPageSize(801, 1001);
    const CRect start(-50, 50, 50, 0);
    auto* pObj = new CDrawRect(start);
    pObj->SetPictureFile(contenttest::WriteBmp("wide.bmp", 200, 100), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
    ASSERT_TRUE(pObj->HasPicture());
    ASSERT_EQ(pObj->GetNaturalSize(), CSize(200, 100));
    m_pView->Add(pObj);
    pObj->m_wFlags &= WORD(~(OBJ_FLAG_NATURAL_SIZE | OBJ_FLAG_FREE_PROPORTIONS));
    SelectOnly({pObj});
    ASSERT_TRUE(IsEnabled(m_pView, ID_ARRANGE_MAXIMIZE));

    const int nSteps = Undo().GetCount();
    hl::KeyDown(VK_CONTROL);
    Pump();
    m_pView->OnMaximizeSelection();
    hl::KeyUp(VK_CONTROL);
    Pump();
    EXPECT_EQ(Text(pObj->m_position), Text(CRect(-399, 199, 399, -199))) << "798 x 398, centred on the page";
    EXPECT_TRUE(pObj->m_wFlags & OBJ_FLAG_NATURAL_SIZE);
    EXPECT_FALSE(pObj->m_wFlags & (OBJ_FLAG_FREE_PROPORTIONS | OBJ_FLAG_CROP_MOVE));
    EXPECT_EQ(Undo().GetCount(), nSteps + 1) << "the centring is part of the one step";
    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(Text(pObj->m_position), Text(start));

    pObj->m_wFlags &= WORD(~OBJ_FLAG_NATURAL_SIZE);
    // A reversed rectangle stays reversed.
    pObj->MoveTo(CRect(50, 50, -50, 0), m_pView);
    Command(ID_ARRANGE_MAXIMIZE);
    EXPECT_EQ(Text(pObj->m_position), Text(CRect(400, 498, -398, -500))) << "the work area less 1 on each side";
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_NATURAL_SIZE);
}

TEST_F(SurfaceAlignTest, MaximizeStretchesWhatHasNoNaturalSize)
{
    // Columns of block text take their frame as their size, here none wide.
    CDrawRect* pText = AddRect(m_pView, CRect(0, 100, 0, 0));
    pText->SetText("Columns", TRUE);
    ASSERT_NE(pText->GetTextBlock(), nullptr);
    pText->GetTextBlock()->m_nColumns = 2;
    ASSERT_LE(pText->GetNaturalSize().cx, 0);
    pText->m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
    SelectOnly({pText});
    m_pView->OnMaximizeSelection();
    EXPECT_EQ(Text(pText->m_position), Text(CRect(-398, 523, 399, -524)));
}

TEST_F(SurfaceAlignTest, UpdateHandlersFollowTheSelection)
{
    CDrawRect* pA = AddRect(m_pView, CRect(0, 100, 100, 0));
    CDrawRect* pB = AddRect(m_pView, CRect(200, 100, 300, 0));
    CDrawRect* pLocked = AddRect(m_pView, CRect(400, 100, 500, 0));
    pLocked->m_wFlags |= OBJ_FLAG_LOCKED;
    CDrawRect* pLine = AddRect(m_pView, CRect(0, -100, 100, -200), SHAPE_LINE);
    CDrawRect* pLine2 = AddRect(m_pView, CRect(200, -100, 300, -200), SHAPE_LINE);
    CDrawRect* pTurned = AddRect(m_pView, CRect(400, -100, 500, -200));
    pTurned->SetAngle(45);
    CDrawRect* pCalendar = AddRect(m_pView, CRect(-400, 400, -100, 100));
    pCalendar->m_nCalendarStart = 2460000;
    CDrawRect* pCellHit = AddRect(m_pView, CRect(-400, 0, -100, -300));
    pCellHit->m_nCalendarStart = 2460000;
    pCellHit->m_bCellHit = TRUE;

    enum : int { Edges, Centres, Other, Same, Maximize, Center, Count };
    const UINT ids[Count] = {ID_ARRANGE_ALIGN_LEFT, ID_ARRANGE_ALIGN_HCENTER, ID_ARRANGE_ALIGN_OTHER,
        ID_ARRANGE_SAME_WIDTH, ID_ARRANGE_MAXIMIZE, ID_ARRANGE_CENTER_PAGE};
    struct Case {
        const char* pszName;
        std::vector<CDrawObj*> selection;
        bool bEnabled[Count]; // Edges, Centres, Other, Same, Maximize, Center
    };
    const Case cases[] = {
        {"nothing", {}, {false, false, false, false, false, false}},
        {"one", {pA}, {true, false, false, false, true, true}},
        {"one locked", {pLocked}, {false, false, false, false, false, false}},
        {"two", {pA, pB}, {true, true, true, true, false, true}},
        {"two, one locked", {pA, pLocked}, {false, false, false, false, false, false}},
        {"a line first", {pLine, pA}, {true, true, true, false, false, true}},
        {"only lines besides the first", {pA, pLine, pLine2}, {true, true, true, false, false, true}},
        {"a turned one among them", {pA, pTurned}, {true, true, true, false, false, true}},
        {"one turned", {pTurned}, {true, false, false, false, false, true}},
        {"one line", {pLine}, {true, false, false, false, false, true}},
        {"one calendar", {pCalendar}, {true, false, false, false, true, true}},
        {"a calendar with a hit cell", {pCellHit}, {true, false, false, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        SelectOnly(c.selection);
        if (c.selection.empty())
            m_pView->Select(NULL);
        ASSERT_EQ(SelectedCount(m_pView), static_cast<int>(c.selection.size()));
        for (int i = 0; i < Count; ++i)
            EXPECT_EQ(IsEnabled(m_pView, ids[i]) != FALSE, c.bEnabled[i]) << ids[i];
        EXPECT_EQ(IsEnabled(m_pView, ID_ARRANGE_ALIGN_BOTTOM), IsEnabled(m_pView, ID_ARRANGE_ALIGN_LEFT));
        EXPECT_EQ(IsEnabled(m_pView, ID_ARRANGE_ALIGN_VCENTER), IsEnabled(m_pView, ID_ARRANGE_ALIGN_HCENTER));
        EXPECT_EQ(IsEnabled(m_pView, ID_ARRANGE_SAME_BOTH), IsEnabled(m_pView, ID_ARRANGE_SAME_WIDTH));
        EXPECT_EQ(IsEnabled(m_pView, ID_ARRANGE_CENTER_VERT), IsEnabled(m_pView, ID_ARRANGE_CENTER_PAGE));
        EXPECT_EQ(IsEnabled(m_pView, ID_EDIT_SELECTION_TEXT), IsEnabled(m_pView, ID_ARRANGE_MAXIMIZE));
    }
}

TEST_F(SurfaceAlignTest, TabWalksTheObjectsInReadingOrderWithAGroupAsOneStopAndWrapsRound)
{
    // Reading order: A, B on the first row, then the group (G1 left of G2)
    // with D below it, then the group H (H1, H2) last.
    CDrawRect* pD = AddRect(m_pView, CRect(-300, 100, -200, 0));
    CDrawRect* pG2 = AddRect(m_pView, CRect(100, 200, 200, 150));
    CDrawRect* pG1 = AddRect(m_pView, CRect(-100, 200, 0, 150));
    CDrawRect* pB = AddRect(m_pView, CRect(100, 400, 200, 300));
    CDrawRect* pA = AddRect(m_pView, CRect(-100, 400, 0, 300));
    CDrawRect* pH2 = AddRect(m_pView, CRect(200, -200, 300, -300));
    CDrawRect* pH1 = AddRect(m_pView, CRect(-300, -200, -200, -300));
    CDrawRect* pHidden = AddRect(m_pView, CRect(-400, 500, -300, 450));
    pHidden->m_wFlags |= OBJ_FLAG_UNSELECTABLE;
    pG1->m_wObjectWord = pG2->m_wObjectWord = 7;
    pH1->m_wObjectWord = pH2->m_wObjectWord = 3;

    m_pView->Select(NULL);
    const std::vector<CDrawObj*> forward[] = {{pA}, {pB}, {pG1, pG2}, {pD}, {pH1, pH2}, {pA}};
    for (const auto& expected : forward) {
        Key(VK_TAB);
        std::vector<CDrawObj*> got = Selected();
        std::sort(got.begin(), got.end());
        std::vector<CDrawObj*> want = expected;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want);
    }
    // From the first object back to the last group, then on backwards.
    const std::vector<CDrawObj*> backward[] = {{pH1, pH2}, {pD}, {pG1, pG2}, {pB}};
    for (const auto& expected : backward) {
        Key(VK_TAB, Shift);
        std::vector<CDrawObj*> got = Selected();
        std::sort(got.begin(), got.end());
        std::vector<CDrawObj*> want = expected;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want);
    }
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
}

TEST_F(SurfaceAlignTest, TabEndsTheTextBeingTypedAndGoesOnWithTheSelectionTool)
{
    CDrawRect* pText = AddRect(m_pView, CRect(-300, 300, 300, 100));
    pText->SetText("Hello", TRUE);
    CDrawRect* pBelow = AddRect(m_pView, CRect(-300, 0, 300, -100));
    m_pView->Select(pText);
    Command(ID_EDIT_SELECTION_TEXT);
    ASSERT_TRUE(pText->IsTextEditActive());

    Command(ID_ARRANGE_SELECT_NEXT);
    EXPECT_FALSE(pText->IsTextEditActive());
    EXPECT_FALSE(pText->m_wFlags & OBJ_FLAG_LOCKED) << "the edit's lock went with it";
    EXPECT_EQ(Selected(), std::vector<CDrawObj*>{pBelow});
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
}

TEST_F(SurfaceAlignTest, TabWithNothingSelectedStartsAtEitherEndAndDoesNothingOnAnEmptySurface)
{
    m_pView->OnSelectNext();
    EXPECT_EQ(SelectedCount(m_pView), 0);
    CDrawRect* pTop = AddRect(m_pView, CRect(0, 300, 100, 200));
    CDrawRect* pBottom = AddRect(m_pView, CRect(0, -200, 100, -300));
    m_pView->Select(NULL);
    m_pView->OnSelectPrev();
    EXPECT_EQ(Selected(), std::vector<CDrawObj*>{pBottom});
    m_pView->Select(NULL);
    m_pView->OnSelectNext();
    EXPECT_EQ(Selected(), std::vector<CDrawObj*>{pTop});
}

} // namespace
} // namespace surfacetest
