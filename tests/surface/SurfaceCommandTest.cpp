#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/UndoList.h"
#include "surface/SurfaceGlobals.h"

namespace hl = platform::headless;

namespace surfacetest {

TEST_F(SurfaceInputTest, ToolCommandsChooseTheirShapeAndCheckTheirItem)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CFrameWnd* pFrame = pView->GetParentFrame();
    struct Case {
        UINT nID;
        int nShape;
    };
    const Case cases[] = {
        {ID_DRAW_RECT, 0}, {ID_TOOL_DRAW_RECT, 0}, {ID_DRAW_ROUNDRECT, 1}, {ID_TOOL_DRAW_ROUNDRECT, 1},
        {ID_DRAW_ELLIPSE, 2}, {ID_TOOL_DRAW_ELLIPSE, 2}, {ID_DRAW_LINE, 3}, {ID_TOOL_DRAW_LINE, 3},
        {ID_DRAW_POLYGON_TOOL, kShapePolygon}, {ID_DRAW_POLYGON, kShapePolygon}, {ID_TOOL_DRAW_POLYGON, kShapePolygon},
        {ID_ARRANGE_SELECT_TOOL, kShapeSelect},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nID);
        pFrame->SendMessage(WM_COMMAND, c.nID);
        EXPECT_EQ(g_nCurrentShape, c.nShape);
        EXPECT_EQ(CheckOf(pView, c.nID), 1);
        EXPECT_EQ(CheckOf(pView, c.nShape == kShapeSelect ? ID_DRAW_RECT : ID_ARRANGE_SELECT_TOOL), 0);
    }
}

TEST_F(SurfaceInputTest, EditTextToolPlacesTextAndCountsATextEditAsTheSelectionTool)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 300, 100));
    pText->SetText("Hello", TRUE);

    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_TEXT_TOOL);
    EXPECT_EQ(g_nCurrentShape, kShapeText);
    EXPECT_TRUE(IsTextEditMode());
    EXPECT_EQ(GetSelectMode(), SelectModeRubberBand);
    EXPECT_EQ(CheckOf(pView, ID_DRAW_TEXT_TOOL), 1);

    // Typing into an object is the selection tool's work.
    pView->Select(pText);
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_EDIT_SELECTION_TEXT);
    ASSERT_TRUE(pText->IsTextEditActive());
    EXPECT_EQ(CheckOf(pView, ID_DRAW_TEXT_TOOL), 0);
}

TEST_F(SurfaceInputTest, EscapeCancelsTheToolAndDeselectsTheSingleObject)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    pView->Select(pObj);
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_ELLIPSE);
    ASSERT_EQ(g_nCurrentShape, 2);

    Key(VK_ESCAPE);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_EQ(SelectedCount(pView), 0);
    EXPECT_EQ(pView->GetObjects().GetCount(), 1);
}

TEST_F(SurfaceInputTest, BandSelectTakesExactlyTheObjectsInsideAndCancelDeletesNothing)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    CDrawRect* pInside = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pAcross = AddRect(pView, CRect(-150, -100, 100, -300));
    CDrawRect* pOutside = AddRect(pView, CRect(200, 200, 300, 100));
    pView->Select(pOutside);

    // The band the selection tool left: client points of its corners.
    CPoint a(-320, 220), b(0, -50);
    pView->LPtoDPPoint(&a);
    pView->LPtoDPPoint(&b);
    g_downPoint = b;
    g_lastPoint = a;
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_BAND_SELECT);
    ASSERT_EQ(SelectedCount(pView), 1);
    EXPECT_EQ(pView->GetSelection().GetHead(), pInside);

    pView->Select(pAcross, TRUE);
    const int nSteps = pDoc->GetUndoList().GetCount();
    EXPECT_TRUE(IsEnabled(pView, ID_BAND_CANCEL));
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_BAND_CANCEL);
    EXPECT_EQ(pView->GetObjects().GetCount(), 3);
    EXPECT_EQ(SelectedCount(pView), 2);
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps);
}

TEST_F(SurfaceInputTest, NudgeCommandsAreDisabledWithALockedObjectSelected)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    CDrawRect* pLocked = AddRect(pView, CRect(100, 200, 300, 0));
    pLocked->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_FALSE(IsEnabled(pView, ID_NUDGE_UP));
    pView->Select(pObj);
    EXPECT_TRUE(IsEnabled(pView, ID_NUDGE_RIGHT_BIG));

    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_NUDGE_DOWN);
    EXPECT_EQ(pObj->m_position, CRect(-300, 199, -100, -1));

    pView->Select(pLocked, TRUE);
    EXPECT_FALSE(IsEnabled(pView, ID_NUDGE_UP));
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_NUDGE_DOWN);
    EXPECT_EQ(pObj->m_position, CRect(-300, 199, -100, -1));
}

} // namespace surfacetest

namespace surfacetest {

TEST_F(SurfaceInputTest, DiagnosticCornerTakesItsPressesAndNeverMakesTheDesignLookSaved)
{
    thePrefs.AddlFlags = PREF_ADDL_SWITCH_I;
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
    pView->Select(pObj);
    const WORD wFlags = pDoc->m_wDocFlags;

    // The first box would edit the object's properties: the press goes
    // nowhere else.
    CPoint corner(10, 10);
    pView->ClientToScreen(&corner);
    m_clock.Advance(kApart);
    hl::Click(corner.x, corner.y);
    Pump();
    EXPECT_EQ(SelectedCount(pView), 1);

    // The second box switches the flag 0x0040; the third takes turns.
    const CPoint boxes[] = {CPoint(10, 40), CPoint(10, 60), CPoint(10, 60), CPoint(10, 90)};
    WORD wLast = wFlags;
    for (CPoint box : boxes) {
        pView->ClientToScreen(&box);
        m_clock.Advance(kApart);
        hl::Click(box.x, box.y);
        Pump();
        EXPECT_EQ(pDoc->m_wDocFlags & DOC_FLAG_FOLDING, 0);
        EXPECT_EQ(SelectedCount(pView), 1);
        wLast = pDoc->m_wDocFlags;
    }
    EXPECT_NE(wLast & DOC_FLAG_PREDESIGNED, wFlags & DOC_FLAG_PREDESIGNED);
    pDoc->SetModifiedFlag(TRUE);
    EXPECT_TRUE(pDoc->IsModified());
}

} // namespace surfacetest
