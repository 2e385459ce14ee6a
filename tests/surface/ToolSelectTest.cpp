// The selection tool by mouse messages: selecting, moving, sizing,
// duplicating, and what the undo list keeps of each.

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"
#include "surface/CursorSet.h"

#include <cmath>

namespace surfacetest {

TEST_F(ToolTest, ShiftClickAddsAndShiftDoubleClickTakesAway)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pLeft = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pRight = AddRect(pView, CRect(100, 200, 300, 0));
    const CPoint onLeft = ClientAt(pView, CPoint(-200, 100));
    const CPoint onRight = ClientAt(pView, CPoint(200, 100));

    Press(pView, onLeft);
    Release(pView, onLeft);
    EXPECT_EQ(pView->GetSingleSelection(), pLeft);
    Press(pView, onRight, MK_SHIFT);
    Release(pView, onRight, MK_SHIFT);
    EXPECT_EQ(SelectedCount(pView), 2);
    EXPECT_TRUE(pView->IsSelected(pLeft) && pView->IsSelected(pRight));

    // A double click with Shift deselects what lies under it instead of
    // opening it.
    Send(pView, WM_LBUTTONDBLCLK, onRight, MK_LBUTTON | MK_SHIFT);
    Release(pView, onRight, MK_SHIFT);
    EXPECT_EQ(pView->GetSingleSelection(), pLeft);

    // Without Shift a click elsewhere selects alone; on paper it clears.
    Press(pView, onRight);
    Release(pView, onRight);
    EXPECT_EQ(pView->GetSingleSelection(), pRight);
    // A press on paper also forgets every calendar cell a press had hit.
    pLeft->m_bCellHit = TRUE;
    pLeft->m_rectCell = CRect(-300, 200, -250, 150);
    const CPoint paper = ClientAt(pView, CPoint(0, -400));
    Press(pView, paper);
    Release(pView, paper);
    EXPECT_EQ(SelectedCount(pView), 0);
    EXPECT_FALSE(pLeft->m_bCellHit);
    EXPECT_TRUE(pLeft->m_rectCell.IsRectEmpty());
    EXPECT_EQ(Undo(pView).GetCount(), 0);
}

TEST_F(ToolTest, ALockedObjectIsSelectedButNeverMoved)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    const CRect position = pObj->m_position;
    const CRect unrotated = pObj->m_rectUnrotated;

    DragClient(pView, ClientAt(pView, CPoint(-200, 100)), ClientAt(pView, CPoint(0, -100)));
    EXPECT_EQ(pView->GetSingleSelection(), pObj);
    EXPECT_EQ(pObj->m_position, position);
    EXPECT_EQ(pObj->m_rectUnrotated, unrotated);
    EXPECT_EQ(Undo(pView).GetCount(), 0);
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);

    // Moved with an unlocked one, it still stays where it is.
    CDrawRect* pFree = AddRect(pView, CRect(100, 200, 300, 0));
    pView->Select(pFree, TRUE);
    ASSERT_EQ(SelectedCount(pView), 2);
    DragClient(pView, ClientAt(pView, CPoint(200, 100)), ClientAt(pView, CPoint(250, 50)));
    EXPECT_EQ(pObj->m_position, position);
    EXPECT_EQ(pObj->m_rectUnrotated, unrotated);
    EXPECT_NE(pFree->m_position, CRect(100, 200, 300, 0));
}

TEST_F(ToolTest, AMoveFollowsTheMouseAndUndoReturnsToTheExactStart)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    const CRect start = pObj->m_position;
    const CPoint press = ClientAt(pView, CPoint(-200, 100));

    // While dragged the object is a frame; the release leaves it filled.
    Press(pView, press);
    MoveTo(pView, press + CSize(40, 30));
    EXPECT_NE(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
    const CPoint offsetAtMove = LogicalAt(pView, press + CSize(40, 30)) - LogicalAt(pView, press);
    CRect moved = start;
    moved.OffsetRect(offsetAtMove);
    EXPECT_EQ(pObj->m_position, moved);

    // Released where no move went: the whole way counts.
    const CPoint release = press + CSize(90, -20);
    Release(pView, release);
    const CSize whole = LogicalAt(pView, release) - LogicalAt(pView, press);
    CRect expected = start;
    expected.OffsetRect(whole);
    EXPECT_EQ(pObj->m_position, expected);
    EXPECT_EQ(pObj->m_rectUnrotated, expected);
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
    ASSERT_EQ(Undo(pView).GetCount(), 1);
    EXPECT_EQ(Undo(pView).GetUndoLabel(), "move");

    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(pObj->m_position, start);
    EXPECT_EQ(pObj->m_rectUnrotated, start);
    ASSERT_TRUE(Undo(pView).Redo(pView->GetDocument()));
    EXPECT_EQ(pObj->m_position, expected);

    // A drag back to the press point records nothing.
    const CPoint there = ClientAt(pView, CPoint(expected.left + 50, expected.bottom + 50));
    Press(pView, there);
    MoveTo(pView, there + CSize(30, 30));
    MoveTo(pView, there);
    Release(pView, there);
    EXPECT_EQ(pObj->m_position, expected);
    EXPECT_EQ(Undo(pView).GetCount(), 1);
}

TEST_F(ToolTest, EscapeDuringAMoveLeavesTheObjectFilled)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    const CPoint press = ClientAt(pView, CPoint(-200, 100));
    Press(pView, press);
    MoveTo(pView, press + CSize(20, 20));
    ASSERT_NE(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
    FindTool(kShapeSelect)->OnCancel(pView);
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    Release(pView, press + CSize(20, 20));
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
}

TEST_F(ToolTest, DraggingAHandleSizesWithOneUndoStep)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    pView->Select(pObj);
    const CRect start = pObj->m_position;
    // Handle 5 is the upper right corner.
    const CPoint corner = ClientAt(pView, pObj->GetHandle(5));
    const CPoint to = corner + CSize(50, -40);
    DragClient(pView, corner, to);
    const CPoint target = LogicalAt(pView, to);
    EXPECT_EQ(pObj->m_position.left, start.left);
    EXPECT_EQ(pObj->m_position.bottom, start.bottom);
    EXPECT_EQ(pObj->m_position.right, target.x);
    EXPECT_EQ(pObj->m_position.top, target.y);
    EXPECT_EQ(pView->GetSingleSelection(), pObj);
    ASSERT_EQ(Undo(pView).GetCount(), 1);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(pObj->m_position, start);
}

TEST_F(ToolTest, AHandleOfOneOfSeveralSizesThemAllAlikeAndUndoesAsOne)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -200, 100));
    CDrawRect* pB = AddRect(pView, CRect(0, 300, 200, 0));
    pView->Select(pA);
    pView->Select(pB, TRUE);
    const CRect startA = pA->m_position;
    const CRect startB = pB->m_position;
    // The second object's upper right corner leads.
    const CPoint corner = ClientAt(pView, pB->GetHandle(5));
    DragClient(pView, corner, corner + CSize(40, -30));
    const CSize grown(pB->m_position.right - startB.right, pB->m_position.top - startB.top);
    EXPECT_NE(grown, CSize(0, 0));
    EXPECT_EQ(pB->m_position.right, LogicalAt(pView, corner + CSize(40, -30)).x);
    EXPECT_EQ(pA->m_position.right - startA.right, grown.cx);
    EXPECT_EQ(pA->m_position.top - startA.top, grown.cy);
    EXPECT_EQ(pA->m_position.left, startA.left);
    ASSERT_EQ(Undo(pView).GetCount(), 1);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(pA->m_position, startA);
    EXPECT_EQ(pB->m_position, startB);
}

TEST_F(ToolTest, TheRotationHandleTurnsOnlyInRotateMode)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    pView->Select(pObj);
    ASSERT_EQ(pObj->GetHandleCount(), 9);
    const CPoint handle = ClientAt(pView, pObj->GetHandle(kRotateHandle));
    ASSERT_EQ(pObj->HitTest(LogicalAt(pView, handle), pView, TRUE), kRotateHandle);

    // Without the rotate mode the handle is not there: the press misses it.
    pView->m_bRotateMode = FALSE;
    EXPECT_EQ(HitTestHandle(pObj, LogicalAt(pView, handle), pView), 0);
    Press(pView, handle);
    EXPECT_NE(GetSelectMode(), int(SelectModeSize));
    MoveTo(pView, handle + CSize(0, -80));
    Release(pView, handle + CSize(0, -80));
    EXPECT_EQ(pObj->GetRoundedAngle(), 0);

    pView->Select(pObj);
    pView->m_bRotateMode = TRUE;
    Press(pView, handle);
    EXPECT_EQ(GetSelectMode(), int(SelectModeSize));
    MoveTo(pView, handle + CSize(0, -80));
    Release(pView, handle + CSize(0, -80));
    EXPECT_NE(pObj->GetRoundedAngle(), 0);
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
    // The turn is one step back.
    ASSERT_EQ(Undo(pView).GetCount(), 1);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(pObj->GetRoundedAngle(), 0);

    // Text turns to the angle the handle was dragged to.
    CDrawRect* pText = AddRect(pView, CRect(100, 200, 300, 0));
    pText->SetText("Words", TRUE);
    pView->Select(pText);
    ASSERT_EQ(pText->GetHandleCount(), 9);
    const CPoint textHandle = ClientAt(pView, pText->GetHandle(kRotateHandle));
    Press(pView, textHandle);
    MoveTo(pView, textHandle + CSize(0, -80));
    Release(pView, textHandle + CSize(0, -80));
    EXPECT_NE(pText->GetTextRotation(), 0);
    EXPECT_EQ(pText->GetTextRotation(), pText->GetRoundedAngle());
}

// The drag sets the angle as the hand goes; the release must still lay the
// object out at that angle, or redoing the turn (which lays it out) gives
// back other bounds than the turn left.
TEST_F(ToolTest, AHandleTurnLeavesTheTurnedBoundsAndUndoRedoGivesThemBack)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    const CRect frame(-300, 200, -100, 0);
    CDrawRect* pObj = AddRect(pView, frame);
    // A line grouped with it is selected too and does not turn.
    CDrawRect* pLine = AddRect(pView, CRect(0, 200, 150, 50), SHAPE_LINE);
    pObj->m_wObjectWord = pLine->m_wObjectWord = 3;
    const CRect lineStart = pLine->m_position;
    for (const BOOL bWithLine : {FALSE, TRUE}) {
        SCOPED_TRACE(bWithLine ? "with a line" : "alone");
        Undo(pView).Clear();
        pView->Select(pObj);
        if (bWithLine)
            pView->Select(pLine, TRUE);
        pView->m_bRotateMode = TRUE;
        const CPoint handle = ClientAt(pView, pObj->GetHandle(kRotateHandle));
        const CPoint to = handle + CSize(90, bWithLine ? 150 : 130);
        Press(pView, handle);
        ASSERT_EQ(GetSelectMode(), int(SelectModeSize));
        MoveTo(pView, to);
        Release(pView, to);
        const int nAngle = pObj->GetRoundedAngle();
        ASSERT_NE(nAngle % 90, 0);
        EXPECT_EQ(pObj->m_rectUnrotated, frame);
        EXPECT_EQ(pObj->m_dAngle, double(nAngle));
        // The bounds of the frame turned by the angle: wider and taller
        // than the frame for a turn off the quarters.
        CDrawRect reference(frame);
        reference.RotateShape(nAngle);
        EXPECT_EQ(pObj->m_position, reference.m_position);
        const double dRadians = nAngle * 3.14159265358979 / 180;
        const double cx = 200 * std::fabs(std::cos(dRadians)) + 200 * std::fabs(std::sin(dRadians));
        EXPECT_NEAR(pObj->m_position.Width(), cx, 2.0);
        EXPECT_EQ(pLine->m_position, lineStart);

        const CRect turned = pObj->m_position;
        ASSERT_EQ(Undo(pView).GetCount(), 1);
        ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
        EXPECT_EQ(pObj->GetRoundedAngle(), 0);
        EXPECT_EQ(pObj->m_position, frame);
        ASSERT_TRUE(Undo(pView).Redo(pView->GetDocument()));
        EXPECT_EQ(pObj->m_dAngle, double(nAngle));
        EXPECT_EQ(pObj->m_position, turned);
        EXPECT_EQ(pObj->m_rectUnrotated, frame);
        // Back upright for the next round.
        ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    }
}

TEST_F(ToolTest, CtrlDragDuplicatesTheSelectionIntoFreshGroupsAsOneStep)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -200, 100));
    CDrawRect* pB = AddRect(pView, CRect(-150, 200, -50, 100));
    CDrawRect* pC = AddRect(pView, CRect(0, 200, 100, 100));
    CDrawRect* pOther = AddRect(pView, CRect(0, -200, 100, -300));
    pA->m_wObjectWord = 3;
    pB->m_wObjectWord = 3;
    pOther->m_wObjectWord = 4;
    pView->Select(pA);
    pView->Select(pB, TRUE);
    pView->Select(pC, TRUE);

    // A Ctrl+click: the copies lie 0.15 inch right and down.
    const CPoint onA = ClientAt(pView, CPoint(-250, 150));
    Press(pView, onA, MK_CONTROL);
    Release(pView, onA, MK_CONTROL);
    ASSERT_EQ(int(pView->GetObjects().GetCount()), 7);
    ASSERT_EQ(SelectedCount(pView), 3);
    EXPECT_FALSE(pView->IsSelected(pA) || pView->IsSelected(pB) || pView->IsSelected(pC));
    std::vector<CDrawObj*> copies;
    for (POSITION pos = pView->GetSelection().GetHeadPosition(); pos != NULL;)
        copies.push_back(static_cast<CDrawObj*>(pView->GetSelection().GetNext(pos)));
    const CDrawRect* originals[3] = {pA, pB, pC};
    for (int i = 0; i < 3; ++i) {
        CRect expected = originals[i]->m_position;
        expected.OffsetRect(15, -15);
        EXPECT_EQ(copies[i]->m_position, expected) << i;
    }
    // The grouped pair forms a new group of its own, none that exists.
    EXPECT_EQ(copies[0]->m_wObjectWord, copies[1]->m_wObjectWord);
    EXPECT_NE(copies[0]->m_wObjectWord, 0);
    EXPECT_NE(copies[0]->m_wObjectWord, 3);
    EXPECT_NE(copies[0]->m_wObjectWord, 4);
    EXPECT_EQ(copies[2]->m_wObjectWord, 0);
    EXPECT_EQ(pA->m_wObjectWord, 3);

    ASSERT_EQ(Undo(pView).GetCount(), 1);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(int(pView->GetObjects().GetCount()), 4);

    // A Ctrl+drag moves the copies on from there.
    pView->Select(pC);
    const CPoint onC = ClientAt(pView, CPoint(50, 150));
    DragClient(pView, onC, onC + CSize(30, 0), MK_CONTROL);
    ASSERT_EQ(int(pView->GetObjects().GetCount()), 5);
    CDrawObj* pCopy = pView->GetSingleSelection();
    ASSERT_NE(pCopy, nullptr);
    EXPECT_NE(pCopy, pC);
    const CSize drag = LogicalAt(pView, onC + CSize(30, 0)) - LogicalAt(pView, onC);
    CRect expected = pC->m_position;
    expected.OffsetRect(15 + drag.cx, -15 + drag.cy);
    EXPECT_EQ(pCopy->m_position, expected);
    EXPECT_EQ(pC->m_position, CRect(0, 200, 100, 100));
}

TEST_F(ToolTest, TheGroupsOfCopiesAreTheNextFreeNumbers)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(0, 100, 100, 0));
    CDrawRect* pB = AddRect(pView, CRect(0, 100, 100, 0));
    CDrawRect* pC = AddRect(pView, CRect(0, 100, 100, 0));
    pA->m_wObjectWord = 1;
    pB->m_wObjectWord = 2;
    pC->m_wObjectWord = 4;
    EXPECT_EQ(pView->NextFreeGroupNumber(0), 3);
    EXPECT_EQ(pView->NextFreeGroupNumber(3), 5);
    EXPECT_EQ(pView->NextFreeGroupNumber(0xFFFF), 0);

    CObList list;
    list.AddTail(pC);
    list.AddTail(pA);
    list.AddTail(pC);
    std::vector<WORD> table;
    EXPECT_FALSE(CollectGroupNumbers(list, table));
    EXPECT_EQ(table, (std::vector<WORD>{4, 1}));
    pB->m_wObjectWord = 0;
    list.AddTail(pB);
    EXPECT_TRUE(CollectGroupNumbers(list, table));

    // Put into drawing order, what is not on the surface stays in front.
    CDrawRect stranger(CRect(0, 0, 1, 1));
    CObList order;
    order.AddTail(pC);
    order.AddTail(&stranger);
    order.AddTail(pA);
    pView->SortInListOrder(order);
    ASSERT_EQ(order.GetCount(), 3);
    EXPECT_EQ(order.GetHead(), &stranger);
    EXPECT_EQ(order.GetAt(order.FindIndex(1)), pA);
    EXPECT_EQ(order.GetTail(), pC);
}


TEST_F(ToolTest, DeselectAllEmptiesTheSelectionAndRepaintsAtOnce)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pB = AddRect(pView, CRect(100, 200, 300, 0));
    pView->Select(pA);
    pView->Select(pB, TRUE);
    Pump();
    pView->DeselectAllAndRedraw();
    EXPECT_EQ(SelectedCount(pView), 0);
    EXPECT_EQ(int(pView->GetObjects().GetCount()), 2);
    // Nothing is left to paint: the redraw happened before the call ended.
    EXPECT_FALSE(::GetUpdateRect(pView->m_hWnd, NULL, FALSE));
}

TEST_F(ToolTest, TheCursorSaysWhatAPressWouldDo)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    theCursorSet.Load();
    CDrawRect* pA = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pText = AddRect(pView, CRect(100, 200, 300, 0));
    pText->SetText("Words", TRUE);
    auto hoverAt = [&](CPoint logical) {
        Send(pView, WM_MOUSEMOVE, ClientAt(pView, logical), 0);
        return ::GetCursor();
    };
    const HCURSOR hArrow = ::LoadCursor(NULL, IDC_ARROW);

    EXPECT_EQ(hoverAt(CPoint(-200, 100)), theCursorSet.GetResourceCursor(kCursorObject));
    EXPECT_EQ(hoverAt(CPoint(0, -400)), hArrow);
    pView->Select(pA);
    EXPECT_EQ(hoverAt(CPoint(-200, 100)), theCursorSet.GetResourceCursor(kCursorMove));
    // Over a handle, the handle's own cursor.
    EXPECT_EQ(hoverAt(pA->GetHandle(4)), pA->GetHandleCursor(4));

    SetCurrentShape(pView, 2);
    EXPECT_EQ(hoverAt(CPoint(-200, 100)), ::LoadCursor(NULL, IDC_CROSS));
    SetCurrentShape(pView, kShapeText);
    EXPECT_EQ(hoverAt(CPoint(200, 100)), theCursorSet.GetCursor(CCursorSet::kIBeamSlot));
    EXPECT_EQ(hoverAt(CPoint(0, -400)), ::LoadCursor(NULL, IDC_CROSS));
}

} // namespace surfacetest
