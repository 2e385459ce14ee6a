// The text tool's road through real mouse messages: a box is dragged, a
// click into it opens its editor, what is typed lands in the box's wrapped
// text, and a click outside ends the edit.

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"
#include "text/TextEditHost.h"
#include "text/WrapText.h"

namespace surfacetest {
namespace {

using WrapTextToolTest = ToolTest;

TEST_F(WrapTextToolTest, ABoxDrawnWithTheTextToolIsTypedIntoInPlace)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    SetCurrentShape(pView, kShapeText);
    DragClient(pView, ClientAt(pView, CPoint(-200, 300)), ClientAt(pView, CPoint(200, 100)));
    ASSERT_EQ(int(pView->GetObjects().GetCount()), 1);
    CDrawObj* pBox = LastObject(pView);
    ASSERT_TRUE(pBox->HasWrappedText());
    EXPECT_FALSE(pBox->IsTextEditActive());

    // A click into the box with the text tool edits it.
    SetCurrentShape(pView, kShapeText);
    const CPoint inside = ClientAt(pView, CPoint(0, 200));
    Press(pView, inside);
    Release(pView, inside);
    ASSERT_EQ(int(pView->GetObjects().GetCount()), 1) << "no second box";
    ASSERT_TRUE(pBox->IsTextEditActive());
    ASSERT_NE(pBox->m_pTextEditor, nullptr);
    const HWND hFocus = ::GetFocus();
    ASSERT_TRUE(hFocus == pBox->m_pTextEditor->m_hWnd || ::IsChild(pBox->m_pTextEditor->m_hWnd, hFocus));
    for (const char* p = "Hello\rwide-world = fine"; *p != '\0'; ++p)
        ::SendMessage(hFocus, WM_CHAR, static_cast<BYTE>(*p), 1);
    Pump();
    EXPECT_EQ(pBox->GetText(), CString("Hello\nwide-world = fine"));

    // A click on the paper outside ends the edit and keeps the text.
    const int nSteps = Undo(pView).GetCount();
    const CPoint outside = ClientAt(pView, CPoint(-400, -300));
    Press(pView, outside);
    Release(pView, outside);
    EXPECT_FALSE(pBox->IsTextEditActive());
    EXPECT_FALSE(pBox->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(pBox->GetText(), CString("Hello\nwide-world = fine"));
    EXPECT_EQ(Undo(pView).GetCount(), nSteps);
    // The edit is one step: undone, the box is empty again.
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_TRUE(pBox->GetText().IsEmpty());
}

} // namespace
} // namespace surfacetest
