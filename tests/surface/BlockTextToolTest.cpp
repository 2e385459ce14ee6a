// Block text placed with the Edit Text tool and typed into on the design
// window, through real key and mouse messages: the block has no window of
// its own, so the view hands it the keys before the design window's
// single-key commands take them, and the presses that land in it.

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"
#include "resources/resource.h"
#include "text/TextBlock.h"

#include <initializer_list>

namespace surfacetest {
namespace {

constexpr WORD kNewTextIsBlock = 0x0001;

class BlockTextToolTest : public ToolTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        // Built-in preferences place block text; the base clears the flags.
        thePrefs.Flags |= kNewTextIsBlock;
    }

    static void Key(UINT vk, std::initializer_list<UINT> held = {})
    {
        for (UINT h : held)
            platform::headless::KeyDown(h);
        platform::headless::TypeKey(vk);
        for (auto it = std::rbegin(held); it != std::rend(held); ++it)
            platform::headless::KeyUp(*it);
        Pump();
    }

    // Places a block with the Edit Text tool over the band between two
    // logical points; the new object, being typed into.
    CDrawObj* PlaceBlock(CSurface* pView, CPoint from, CPoint to)
    {
        pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_TEXT_TOOL);
        EXPECT_TRUE(IsTextEditMode());
        DragClient(pView, ClientAt(pView, from), ClientAt(pView, to));
        Pump();
        return LastObject(pView);
    }
};

TEST_F(BlockTextToolTest, EditTextPlacesABlockThatTheKeysTypeInto)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    // An object under the new one: "-" and "=" are the window's keys for
    // moving the selection a layer down and up.
    auto* pUnder = new CDrawRect(CRect(-400, 400, 400, -400));
    pView->Add(pUnder);

    CDrawObj* pObj = PlaceBlock(pView, CPoint(-300, 300), CPoint(300, 100));
    ASSERT_NE(pObj, pUnder);
    ASSERT_TRUE(pObj->m_bBlockText);
    EXPECT_EQ(pObj->GetText(), CString("New text block."));
    ASSERT_TRUE(pObj->IsTextEditActive()) << "typing begins at once";
    EXPECT_EQ(pView->GetTextEditObject(), pObj);
    EXPECT_EQ(::GetFocus(), pView->m_hWnd);

    Key(VK_END, {VK_CONTROL});
    for (int i = 0; i < 6; ++i)
        Key(VK_BACK);
    platform::headless::TypeText("Sale");
    Key('T', {VK_CONTROL, VK_MENU});
    Key(VK_RETURN);
    Key(VK_OEM_MINUS);
    Key('5');
    Key('0');
    Key('5', {VK_SHIFT});
    Key(VK_OEM_PLUS);
    EXPECT_EQ(pObj->GetText(), CString("New text Sale\x99\n-50%="));
    EXPECT_EQ(pView->GetObjects().GetTail(), pObj) << "no key moved the block a layer";
    // Keypad digits type too.
    Key(VK_NUMPAD7);
    EXPECT_EQ(pObj->GetText(), CString("New text Sale\x99\n-50%=7"));

    Key(VK_ESCAPE);
    EXPECT_FALSE(pObj->IsTextEditActive());
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(pObj->GetText(), CString("New text Sale\x99\n-50%=7"));
}

TEST_F(BlockTextToolTest, PressesInTheEditedBlockMoveItsCaretAndAPressOutsideEndsTheEdit)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawObj* pObj = PlaceBlock(pView, CPoint(-300, 300), CPoint(300, 100));
    ASSERT_NE(pObj, nullptr);
    ASSERT_TRUE(pObj->IsTextEditActive());
    CTextBlock* pBlock = pObj->GetTextBlock();
    pView->UpdateWindow();
    Pump();

    // The whole text dragged over from its end to its start.
    Key(VK_END, {VK_CONTROL});
    const int nLength = pBlock->GetLength();
    ASSERT_EQ(pBlock->m_nCaret, nLength);
    CRect frame = pObj->m_rectUnrotated;
    pView->LPtoDPRect(&frame);
    frame.NormalizeRect();
    const CPoint start(frame.left + 1, frame.top + 2);
    Press(pView, start);
    EXPECT_TRUE(pObj->IsTextEditActive()) << "a press in the text keeps editing";
    EXPECT_EQ(pBlock->m_nCaret, 0);
    EXPECT_EQ(int(pView->GetObjects().GetCount()), 1) << "no band, no new object";
    MoveTo(pView, CPoint(frame.right - 1, frame.top + 2));
    Release(pView, CPoint(frame.right - 1, frame.top + 2));
    EXPECT_TRUE(pObj->HasTextSelection());
    EXPECT_FALSE(pBlock->m_bDragging);
    EXPECT_EQ(pBlock->m_nAnchor, 0);

    // A press on the paper outside ends it.
    const CPoint outside = ClientAt(pView, CPoint(-400, -300));
    Press(pView, outside);
    Release(pView, outside);
    EXPECT_FALSE(pObj->IsTextEditActive());
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_LOCKED);
}

} // namespace
} // namespace surfacetest
