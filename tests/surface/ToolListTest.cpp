// The tool list, the shape a tool draws, and what a change of tool does to
// the frame's menus, the text placement and a text edit.

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"

#include <iterator>

namespace surfacetest {

TEST(ToolListTest, EveryShapeHasItsToolAndThePolygonBorrowsTheRectangleTool)
{
    // The selection tool first, then the drawing tools in the tool pad's
    // order of old, then the crop and zoom tools.
    const int order[] = {kShapeSelect, 0, 1, 2, 4, 3, 13, 6, 7, 8, 9, 10, 5, 12, 11, 14, kShapeText, kShapeCrop, 19};
    ASSERT_EQ(g_toolList.size(), std::size(order));
    for (size_t i = 0; i < g_toolList.size(); ++i)
        EXPECT_EQ(g_toolList[i]->m_nShape, order[i]) << i;
    EXPECT_EQ(FindTool(kShapeSelect), &g_selectionTool);

    CSurfaceTool* pPolygon = FindTool(kShapePolygon);
    ASSERT_NE(pPolygon, nullptr);
    EXPECT_EQ(pPolygon->m_nShape, 0);
    EXPECT_TRUE(pPolygon->m_bPolygon);
    EXPECT_EQ(FindTool(0), pPolygon);
    EXPECT_FALSE(pPolygon->m_bPolygon) << "the next lookup clears the flag";
    // Any other lookup clears it as well, even one that finds nothing.
    FindTool(kShapePolygon);
    EXPECT_EQ(FindTool(42), nullptr);
    EXPECT_FALSE(pPolygon->m_bPolygon);
    EXPECT_EQ(FindTool(-1), nullptr);
    for (int nShape : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, kShapeText}) {
        CSurfaceTool* pTool = FindTool(nShape);
        ASSERT_NE(pTool, nullptr) << nShape;
        EXPECT_EQ(pTool->m_nShape, nShape);
        EXPECT_NE(dynamic_cast<CShapeTool*>(pTool), nullptr) << nShape;
    }
}

class ToolShapeChangeTest : public ToolTest {};

TEST_F(ToolShapeChangeTest, TheCropToolGreysTheMenusUntilAnotherToolIsChosen)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    GiveMainAMenu();
    CDrawRect* pObj = AddRect(pView, CRect(-100, 100, 100, -100));
    pView->Select(pObj);

    SetCurrentShape(pView, kShapeCrop);
    EXPECT_EQ(g_nCurrentShape, kShapeCrop);
    EXPECT_TRUE(pObj->m_bCropMode);
    EXPECT_TRUE(Greyed(0));
    EXPECT_TRUE(Greyed(1));
    EXPECT_FALSE(Greyed(2)) << "Help stays";

    SetCurrentShape(pView, 2);
    EXPECT_FALSE(Greyed(0));
    EXPECT_FALSE(Greyed(1));

    // The model's own way back from the crop tool gives the menus back too.
    SetCurrentShape(pView, kShapeCrop);
    ASSERT_TRUE(Greyed(0));
    SetCurrentShape(kShapeSelect);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_FALSE(Greyed(0));

    // So does Escape, through the tool's cancel.
    SetCurrentShape(pView, kShapeCrop);
    FindTool(kShapeSelect)->OnCancel(pView);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_FALSE(Greyed(1));

    // A bar of one menu is left alone.
    HMENU hOne = ::CreateMenu();
    ::AppendMenu(hOne, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), "&Only");
    ::SetMenu(m_pMain->m_hWnd, hOne);
    EnableFrameMenus(FALSE);
    EXPECT_FALSE(::GetMenuState(hOne, 0, MF_BYPOSITION) & MF_GRAYED);
    ::SetMenu(m_pMain->m_hWnd, m_hBar);
    ::DestroyMenu(hOne);
}

TEST_F(ToolShapeChangeTest, LeavingTheTextToolEndsTheEditAndTheTextPlacement)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-100, 100, 100, -100));
    pText->SetText("Words", TRUE);
    pView->Select(pText);

    SetTextEditMode(TRUE);
    SetCurrentShape(pView, kShapeText);
    EXPECT_TRUE(IsTextEditMode()) << "the text tool keeps the placement";
    pText->BeginTextEdit();
    ASSERT_TRUE(pText->IsTextEditActive());
    // Choosing the same tool again changes nothing.
    SetCurrentShape(pView, kShapeText);
    EXPECT_TRUE(pText->IsTextEditActive());

    SetCurrentShape(pView, 1);
    EXPECT_FALSE(IsTextEditMode());
    EXPECT_FALSE(pText->IsTextEditActive());
    EXPECT_EQ(g_nCurrentShape, 1);
}

TEST_F(ToolShapeChangeTest, AMovedShapeIsAFrameOnlyWhileItIsDragged)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = AddRect(pView, CRect(-100, 100, 100, -100));
    pObj->m_bFill = TRUE;
    const CPoint press = ClientAt(pView, CPoint(0, 0));
    Press(pView, press);
    MoveTo(pView, press + CSize(25, 10));
    EXPECT_TRUE(pObj->IsDragFrame());
    Release(pView, press + CSize(25, 10));
    EXPECT_FALSE(pObj->IsDragFrame());
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);

    // With the preference for filled moves it is never a frame.
    thePrefs.Flags |= PREF_FLAG_MOVE_FILLED;
    Press(pView, press);
    MoveTo(pView, press + CSize(-25, -10));
    EXPECT_FALSE(pObj->IsDragFrame());
    Release(pView, press + CSize(-25, -10));
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
}

} // namespace surfacetest
