// The drawing tools by mouse messages: what a drag makes, what a click
// leaves, and the text tool.

#include "tests/surface/ToolTestSupport.h"

#include "app/FontHelpers.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "text/WrapText.h"

#include <cstdlib>
#include <memory>

namespace surfacetest {
namespace {

bool Near(LONG a, LONG b)
{
    // A client pixel is about one logical unit at 100 %; conversions round.
    return std::abs(a - b) <= 2;
}

// The undo list as a user sees it.
struct UndoState {
    int nCount;
    BOOL bCanUndo;
    BOOL bCanRedo;
    CString strUndo;
    CString strRedo;
    bool operator==(const UndoState& o) const
    {
        return nCount == o.nCount && bCanUndo == o.bCanUndo && bCanRedo == o.bCanRedo && strUndo == o.strUndo
            && strRedo == o.strRedo;
    }
};

UndoState StateOf(CUndoList& list)
{
    return {list.GetCount(), list.CanUndo(), list.CanRedo(), list.GetUndoLabel(), list.GetRedoLabel()};
}

} // namespace

TEST_F(ToolTest, EachDrawingToolMakesItsKindTheRightWayRoundWhicheverWayItIsDragged)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    const CPoint a = ClientAt(pView, CPoint(-200, 300));
    const CPoint b = ClientAt(pView, CPoint(100, -100));
    // The four directions: each corner of the box in turn is the press.
    const CPoint starts[4] = {a, CPoint(b.x, a.y), b, CPoint(a.x, b.y)};
    const CPoint ends[4] = {b, CPoint(a.x, b.y), a, CPoint(b.x, a.y)};
    const int shapes[] = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, kShapePolygon};
    for (int nShape : shapes) {
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(testing::Message() << "shape " << nShape << " direction " << i);
            SetCurrentShape(pView, nShape);
            const int nBefore = int(pView->GetObjects().GetCount());
            DragClient(pView, starts[i], ends[i]);
            ASSERT_EQ(int(pView->GetObjects().GetCount()), nBefore + 1);
            auto* pObj = dynamic_cast<CDrawRect*>(LastObject(pView));
            ASSERT_NE(pObj, nullptr);
            EXPECT_EQ(pObj->m_nShape, ShapeKindOfTool(nShape, FALSE));
            const CRect r = pObj->m_position;
            EXPECT_LT(r.left, r.right);
            EXPECT_GT(r.top, r.bottom);
            EXPECT_TRUE(Near(r.left, -200) && Near(r.right, 100) && Near(r.top, 300) && Near(r.bottom, -100))
                << r.left << "," << r.top << "," << r.right << "," << r.bottom;
            EXPECT_EQ(pObj->m_rectUnrotated, r);
            EXPECT_EQ(pView->GetSingleSelection(), pObj);
            // The tool stays for the next shape.
            EXPECT_EQ(g_nCurrentShape, nShape);
        }
    }
    // The polygon borrowed the rectangle tool only for its own drags.
    SetCurrentShape(pView, 0);
    DragClient(pView, a, b);
    EXPECT_EQ(static_cast<CDrawRect*>(LastObject(pView))->m_nShape, SHAPE_RECTANGLE);
}

TEST_F(ToolTest, ALineRunsFromThePressToTheRelease)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    const CPoint pts[4] = {CPoint(-200, 300), CPoint(100, 300), CPoint(100, -100), CPoint(-200, -100)};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        SetCurrentShape(pView, SHAPE_LINE);
        const CPoint from = pts[i];
        const CPoint to = pts[(i + 2) % 4];
        DragClient(pView, ClientAt(pView, from), ClientAt(pView, to));
        auto* pObj = dynamic_cast<CDrawRect*>(LastObject(pView));
        ASSERT_NE(pObj, nullptr);
        EXPECT_EQ(pObj->m_nShape, SHAPE_LINE);
        // The dragged end is the line's first corner, the press its second.
        const CRect r = pObj->m_position;
        EXPECT_TRUE(Near(r.right, from.x) && Near(r.top, from.y)) << r.right << "," << r.top;
        EXPECT_TRUE(Near(r.left, to.x) && Near(r.bottom, to.y)) << r.left << "," << r.bottom;
    }
}

TEST_F(ToolTest, AClickWithADrawingToolLeavesNoObjectAndTheUndoListAsItWas)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pOld = AddRect(pView, CRect(-300, 200, -100, 0));
    // A step to undo and, undone, one to redo: both must stay.
    SetCurrentShape(pView, 2);
    DragClient(pView, ClientAt(pView, CPoint(100, 300)), ClientAt(pView, CPoint(300, 100)));
    SetCurrentShape(pView, 1);
    DragClient(pView, ClientAt(pView, CPoint(100, -100)), ClientAt(pView, CPoint(300, -300)));
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    const UndoState before = StateOf(Undo(pView));
    ASSERT_TRUE(before.bCanRedo);
    const int nObjects = int(pView->GetObjects().GetCount());

    pView->GetDocument()->SetModifiedFlag(FALSE);
    SetCurrentShape(pView, 0);
    const CPoint empty = ClientAt(pView, CPoint(0, -400));
    Press(pView, empty);
    Release(pView, empty);
    EXPECT_EQ(int(pView->GetObjects().GetCount()), nObjects);
    EXPECT_FALSE(pView->GetDocument()->IsModified());
    EXPECT_TRUE(StateOf(Undo(pView)) == before);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_EQ(SelectedCount(pView), 0);

    // On an object the click selects it, and still adds nothing.
    SetCurrentShape(pView, 0);
    const CPoint onOld = ClientAt(pView, CPoint(-200, 100));
    Press(pView, onOld);
    Release(pView, onOld);
    EXPECT_EQ(int(pView->GetObjects().GetCount()), nObjects);
    EXPECT_EQ(pView->GetSingleSelection(), pOld);
    EXPECT_TRUE(StateOf(Undo(pView)) == before);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
}

TEST_F(ToolTest, ADragKeepsTheDrawingToolUnlessThePreferencesSayOtherwise)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    SetCurrentShape(pView, 2);
    DragClient(pView, ClientAt(pView, CPoint(-100, 100)), ClientAt(pView, CPoint(100, -100)));
    EXPECT_EQ(g_nCurrentShape, 2);
    EXPECT_EQ(Undo(pView).GetCount(), 1);
    EXPECT_EQ(Undo(pView).GetUndoLabel(), "object creation");

    thePrefs.Flags |= PREF_FLAG_RESET_TOOL;
    DragClient(pView, ClientAt(pView, CPoint(-300, 100)), ClientAt(pView, CPoint(-200, -100)));
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_EQ(int(pView->GetObjects().GetCount()), 2);

    // Undo takes the last shape away whole.
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(int(pView->GetObjects().GetCount()), 1);
}

TEST_F(ToolTest, TheTextToolEditsTextObjectsAndDrawsEmptyBoxesElsewhere)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-300, 200, -100, 0));
    pText->SetText("Hello", TRUE);
    ASSERT_TRUE(pText->HasText());

    SetCurrentShape(pView, kShapeText);
    const CPoint onText = ClientAt(pView, CPoint(-200, 100));
    Press(pView, onText);
    EXPECT_EQ(int(pView->GetObjects().GetCount()), 1) << "no new object over text";
    EXPECT_EQ(pView->GetSingleSelection(), pText);
    EXPECT_EQ(GetSelectMode(), int(SelectModeText));
    Release(pView, onText);
    EXPECT_TRUE(pText->IsTextEditActive());
    pText->EndTextEdit();
    const int nSteps = Undo(pView).GetCount();

    SetCurrentShape(pView, kShapeText);
    DragClient(pView, ClientAt(pView, CPoint(100, 300)), ClientAt(pView, CPoint(300, 100)));
    ASSERT_EQ(int(pView->GetObjects().GetCount()), 2);
    CDrawObj* pBox = LastObject(pView);
    EXPECT_NE(pBox, pText);
    EXPECT_TRUE(pBox->GetText().IsEmpty());
    // An empty wrapped text in the program's face at 12 points.
    ASSERT_TRUE(pBox->HasWrappedText());
    CString strFace;
    int nSize = 0;
    int nCharSet = 0;
    int nStyle = 0;
    pBox->m_pWrapText->GetFontAt(-1, strFace, nSize, nCharSet, nStyle);
    EXPECT_EQ(strFace, CString(g_defaultFaceName));
    EXPECT_EQ(nSize, 12);
    EXPECT_EQ(nStyle, 0);
    // The box keeps the size it was dragged to.
    EXPECT_TRUE(Near(pBox->m_position.left, 100) && Near(pBox->m_position.right, 300));
    EXPECT_TRUE(Near(pBox->m_position.top, 300) && Near(pBox->m_position.bottom, 100));
    EXPECT_EQ(Undo(pView).GetCount(), nSteps + 1);
    EXPECT_EQ(Undo(pView).GetUndoLabel(), "object creation");
}

TEST_F(ToolTest, EditTextWithABandPlacesNewTextAndReturnsToTheSelectionTool)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pOld = AddRect(pView, CRect(-300, 200, -100, 0));
    pView->Select(pOld);
    SetTextEditMode(TRUE);
    SetSelectMode(SelectModeRubberBand);
    SetCurrentShape(pView, kShapeText);

    // A band of a few pixels grows to hold a line of text.
    const CPoint from = ClientAt(pView, CPoint(100, 300));
    DragClient(pView, from, from + CSize(3, 2));
    ASSERT_EQ(int(pView->GetObjects().GetCount()), 2);
    CDrawObj* pNew = LastObject(pView);
    EXPECT_EQ(pNew->GetText(), "New text block.");
    EXPECT_EQ(pView->GetSingleSelection(), pNew);
    const CRect r = pNew->m_position;
    EXPECT_LT(r.left, r.right);
    EXPECT_GT(r.top, r.bottom);
    EXPECT_GT(r.Width(), 3);
    EXPECT_GT(r.top - r.bottom, 2);
    EXPECT_TRUE(Near(r.left, 100) && Near(r.top, 300));
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    EXPECT_FALSE(IsTextEditMode());
    // The new text is recorded: undoing everything takes it away.
    while (Undo(pView).Undo(pView->GetDocument())) {
    }
    EXPECT_EQ(int(pView->GetObjects().GetCount()), 1);
    EXPECT_GE(m_pMain->Count(WM_SURFACE_SELCHANGED), 1);
}

TEST_F(ToolTest, NewTextTakesThePreferredFormatAndOnlyTheTextToolsBlockIsPlain)
{
    const LOGFONT savedFont = thePrefs.DefaultFont;
    const COLORREF savedColor = thePrefs.DefaultTextColor;
    thePrefs.Flags |= 0x0001; // new text is block text
    thePrefs.AddlFlags |= PREF_ADDL_TEXT_FORMAT_FLAG;
    thePrefs.DefaultFont.lfWeight = FW_BOLD;
    thePrefs.DefaultFont.lfItalic = TRUE;
    thePrefs.DefaultFont.lfUnderline = TRUE;
    thePrefs.DefaultTextColor = RGB(10, 20, 30);

    const std::unique_ptr<CDrawObj> pPasted(
        MakeTextObject(CRect(0, 100, 200, 0), "pasted", NewTextFont::Default));
    const std::unique_ptr<CDrawObj> pTyped(MakeTextObject(CRect(0, 100, 200, 0), "typed", NewTextFont::Plain));
    thePrefs.DefaultFont = savedFont;
    thePrefs.DefaultTextColor = savedColor;

    CObjectAttributes pasted;
    pPasted->GetAttributes(pasted);
    CObjectAttributes typed;
    pTyped->GetAttributes(typed);
    EXPECT_EQ(pPasted->GetText(), CString("pasted"));
    EXPECT_EQ(pTyped->GetText(), CString("typed"));
    for (const CObjectAttributes* pAttrs : {&pasted, &typed}) {
        EXPECT_TRUE(pAttrs->m_bHasText);
        EXPECT_TRUE(pAttrs->m_bBlockText);
        EXPECT_NE(pAttrs->m_wTextFlags & OBJ_TEXT_SHADOW, 0);
        EXPECT_EQ(pAttrs->m_crText, RGB(10, 20, 30));
    }
    // Pasted text keeps the preferred face as it is; a block the text tool
    // draws starts plain.
    EXPECT_EQ(pasted.m_logfont.lfWeight, FW_BOLD);
    EXPECT_TRUE(pasted.m_logfont.lfItalic);
    EXPECT_TRUE(pasted.m_logfont.lfUnderline);
    EXPECT_EQ(typed.m_logfont.lfWeight, FW_NORMAL);
    EXPECT_FALSE(typed.m_logfont.lfItalic);
    EXPECT_FALSE(typed.m_logfont.lfUnderline);
}

} // namespace surfacetest
