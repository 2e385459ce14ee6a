// Block text as the drawing object holds it: the attribute record's block
// fields, in-place editing begun and ended by the object, the clipboard and
// the text-removal step going through the block's own selection, the
// object's natural size and its copies.

#include "tests/model/ModelTestSupport.h"

#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoList.h"
#include "platform/base/GlobalMemory.h"
#include "platform/ui/ClipboardText.h"
#include "platform/ui/User.h"
#include "text/TextBlock.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class BlockTextObjectTest : public modeltest::DesignViewTest {
protected:
    // A block-text object of the view, not fitted to its frame.
    CDrawRect* AddBlock(const CRect& rect, const char* pszText)
    {
        auto* pObj = new CDrawRect(rect);
        m_pDoc->AddObject(pObj, m_pView);
        pObj->SetText(pszText, TRUE);
        CTextBlock* pBlock = pObj->GetTextBlock();
        pBlock->SetFont(-20, "Arial", 0);
        pBlock->m_crText = RGB(0, 0, 0);
        return pObj;
    }

    CUndoList& Undo() { return m_pDoc->GetUndoList(); }

    static CString Clipboard()
    {
        CString strText;
        ReadClipboardText(NULL, strText);
        return strText;
    }

    static void PutOnClipboard(const char* pszText)
    {
        ASSERT_TRUE(::OpenClipboard(NULL));
        ::EmptyClipboard();
        const SIZE_T nBytes = std::strlen(pszText) + 1;
        HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, nBytes);
        std::memcpy(::GlobalLock(hMem), pszText, nBytes);
        ::GlobalUnlock(hMem);
        ::SetClipboardData(CF_TEXT, hMem);
        ::CloseClipboard();
    }
};

TEST_F(BlockTextObjectTest, TheRecordCarriesShadowFittingAlignmentColumnsShapeAndTurn)
{
    CDrawRect* pObj = AddBlock(CRect(-200, 200, 200, 0), "Hello");
    CTextBlock* pBlock = pObj->GetTextBlock();
    pBlock->m_wFlags |= TEXTBLOCK_SHADOW;
    pBlock->m_nAlignment = 2;
    pBlock->SetColumns(3);
    pBlock->SetShape(8);
    pBlock->m_nShadowX = -3;

    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    EXPECT_TRUE(attrs.m_bBlockText);
    EXPECT_EQ(attrs.m_wTextFlags & OBJ_TEXT_SHADOW, OBJ_TEXT_SHADOW);
    EXPECT_EQ(attrs.m_nTextFlag, 0);
    EXPECT_EQ(attrs.m_nTextValues[4], 2);
    EXPECT_EQ(attrs.m_nTextValues[CObjectAttributes::TextColumns], 3);
    EXPECT_EQ(attrs.m_nTextValues[CObjectAttributes::TextWarpShape], 8);
    EXPECT_EQ(attrs.m_wTextWords[0], WORD(0xFFFD));

    // Back the other way: shadow off, fitted, right aligned, turned by -90
    // (kept as 270), no shape; values out of range come in as the block
    // keeps them.
    attrs.m_wTextFlags &= ~WORD(OBJ_TEXT_SHADOW);
    attrs.m_nTextFlag = 1;
    attrs.m_nTextValues[4] = 1;
    attrs.m_nTextValues[CObjectAttributes::TextWarpShape] = 0;
    attrs.m_nTextValues[CObjectAttributes::TextColumns] = 9;
    attrs.m_nTextValues[CObjectAttributes::TextRotation] = -90;
    std::memset(attrs.m_logfont.lfFaceName, 'x', sizeof(attrs.m_logfont.lfFaceName));
    pObj->SetAttributes(attrs, FALSE, FALSE, FALSE, FALSE, FALSE);
    EXPECT_FALSE(pBlock->HasShadow());
    EXPECT_FALSE(pObj->m_wTextFlags & OBJ_TEXT_SHADOW);
    EXPECT_TRUE(pObj->IsBlockTextFixed());
    EXPECT_EQ(pBlock->m_nAlignment, 1);
    EXPECT_EQ(pBlock->m_nShape, 0);
    EXPECT_EQ(pObj->GetTextColumns(), kTextBlockMaxColumns);
    EXPECT_EQ(pObj->GetTextRotation(), 270);
    EXPECT_EQ(std::strlen(pBlock->m_logfont.lfFaceName), size_t(kTextBlockMaxFaceLength));
    // A fitted, turned or multi-column block shows no rotation handle.
    EXPECT_EQ(pObj->GetHandleCount(), 8);
    EXPECT_EQ(pObj->GetText(), CString("Hello"));
}

TEST_F(BlockTextObjectTest, EditingBeginsOnlyOnAPlainBlockAndIsOneUndoStep)
{
    CDrawRect* pTurned = AddBlock(CRect(-200, 400, 200, 250), "Turned");
    pTurned->SetTextRotation(30, TRUE);
    const int nSteps = Undo().GetCount();
    pTurned->BeginTextEdit();
    EXPECT_FALSE(pTurned->IsTextEditActive());
    EXPECT_FALSE(pTurned->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(Undo().GetCount(), nSteps) << "a refused edit records nothing";

    CDrawRect* pObj = AddBlock(CRect(-200, 200, 200, 0), "Hello");
    m_pView->Select(pObj);
    pObj->BeginTextEdit();
    ASSERT_TRUE(pObj->IsTextEditActive());
    EXPECT_TRUE(pObj->GetTextBlock()->IsEditing());
    EXPECT_TRUE(pObj->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(Undo().GetCount(), nSteps + 1);
    EXPECT_EQ(::GetFocus(), m_pView->m_hWnd);

    // Typing goes through the object to its block.
    EXPECT_TRUE(pObj->TextSetSel(5, 5));
    EXPECT_TRUE(pObj->TextKeyDown(VK_RETURN, 1, 0));
    EXPECT_EQ(pObj->GetText(), CString("Hello\n"));

    pObj->EndTextEdit();
    EXPECT_FALSE(pObj->IsTextEditActive());
    EXPECT_FALSE(pObj->GetTextBlock()->IsEditing());
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(pObj->GetText(), CString("Hello\n"));
}

TEST_F(BlockTextObjectTest, DeleteIsUndoneAndRedoneThroughTheTextRemovalStep)
{
    CDrawRect* pObj = AddBlock(CRect(-300, 200, 300, 0), "Hello world");
    m_pView->Select(pObj);
    pObj->BeginTextEdit();
    ASSERT_TRUE(pObj->IsTextEditActive());
    pObj->TextSetSel(5, 11);
    ASSERT_TRUE(pObj->TextKeyDown(VK_DELETE, 1, 0));
    EXPECT_EQ(pObj->GetText(), CString("Hello"));
    EXPECT_EQ(Clipboard(), CString(" world"));
    EXPECT_EQ(Undo().GetUndoLabel(), CString("text removal"));
    const int nSteps = Undo().GetCount();

    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(pObj->GetText(), CString("Hello world"));
    EXPECT_TRUE(pObj->IsTextEditActive()) << "the text is put back where it is edited";
    ASSERT_TRUE(Undo().Redo(m_pDoc));
    EXPECT_EQ(pObj->GetText(), CString("Hello"));
    EXPECT_EQ(Undo().GetCount(), nSteps) << "undo and redo record no steps of their own";
    ASSERT_TRUE(Undo().Undo(m_pDoc));
    EXPECT_EQ(pObj->GetText(), CString("Hello world"));
}

TEST_F(BlockTextObjectTest, TheClipboardTakesTheSelectionWithoutSoftBreaks)
{
    CDrawRect* pObj = AddBlock(CRect(-300, 200, 300, 0), "ab");
    CTextBlock* pBlock = pObj->GetTextBlock();
    // As wrapping lays it: a soft break inside the selection.
    pBlock->SetLaidText("ab\rcd ef");
    pObj->TextSetSel(1, 6);
    ASSERT_TRUE(pObj->HasTextSelection());
    pObj->CopyText(FALSE);
    EXPECT_EQ(Clipboard(), CString("bcd "));
    EXPECT_EQ(pObj->GetText(), CString("abcd ef"));

    PutOnClipboard("XY");
    pObj->TextSetSel(0, 2);
    pObj->PasteText();
    EXPECT_EQ(pObj->GetText(), CString("XYcd ef"));
    EXPECT_TRUE(m_pDoc->IsModified());
}

TEST_F(BlockTextObjectTest, NaturalSizeIsTheFrameForColumnsAndTheMeasuredTextOtherwise)
{
    CDrawRect* pColumns = AddBlock(CRect(-300, 200, 300, 0), "One two three");
    pColumns->GetTextBlock()->SetColumns(3);
    EXPECT_EQ(pColumns->GetNaturalSize(), CSize(600, 200));

    CDrawRect* pShort = AddBlock(CRect(-300, -100, 300, -300), "Hi");
    CDrawRect* pLong = AddBlock(CRect(-300, -400, 300, -600), "Hi there, a longer line");
    const CSize shortSize = pShort->GetNaturalSize();
    const CSize longSize = pLong->GetNaturalSize();
    EXPECT_NE(shortSize, CSize(100, 100));
    EXPECT_GT(shortSize.cx, 0);
    EXPECT_GT(longSize.cx, shortSize.cx * 3);
    EXPECT_EQ(longSize.cy, shortSize.cy);

    // Growing to the text keeps the bottom-left corner and grows by the
    // measured size and 8 units.
    CDrawRect* pSmall = AddBlock(CRect(0, 20, 10, 0), "Hi there, a longer line");
    pSmall->SizeToText(m_pView);
    const CRect grown = pSmall->GetNormalizedPosition();
    EXPECT_EQ(grown.left, 0);
    EXPECT_EQ(grown.bottom, 0);
    EXPECT_EQ(grown.Width(), longSize.cx + 8);
}

TEST_F(BlockTextObjectTest, ACopyTakesTheBlockButNotItsEditing)
{
    CDrawRect* pObj = AddBlock(CRect(-200, 200, 200, 0), "Copy me");
    CTextBlock* pBlock = pObj->GetTextBlock();
    pBlock->m_nAlignment = 3;
    pBlock->SetColumns(2);
    m_pView->Select(pObj);
    pObj->BeginTextEdit();
    ASSERT_TRUE(pObj->IsTextEditActive());
    pObj->TextSetSel(0, 4);

    CDrawObj* pCopy = pObj->Clone(m_pDoc, m_pView);
    ASSERT_NE(pCopy, nullptr);
    const CTextBlock* pCopied = pCopy->GetTextBlock();
    ASSERT_NE(pCopied, nullptr);
    EXPECT_NE(pCopied, pBlock);
    EXPECT_EQ(pCopy->GetText(), CString("Copy me"));
    EXPECT_EQ(pCopied->m_nAlignment, 3);
    EXPECT_EQ(pCopied->m_nColumns, 2);
    EXPECT_FALSE(pCopy->IsTextEditActive());
    EXPECT_FALSE(pCopy->HasTextSelection());
    EXPECT_FALSE(pCopy->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_TRUE(pObj->IsTextEditActive());
}

TEST_F(BlockTextObjectTest, AColourChangeIsDrawnAnew)
{
    CDrawRect* pObj = AddBlock(CRect(-300, 200, 300, 0), "Colour");
    CTextBlock* pBlock = pObj->GetTextBlock();
    m_pView->UpdateWindow();
    Pump();
    pObj->SetBlockTextColor(RGB(255, 0, 0));
    EXPECT_EQ(pBlock->m_crText, RGB(255, 0, 0));
    EXPECT_EQ(pBlock->m_pCachedBitmap, nullptr);
    EXPECT_EQ(pBlock->m_pCachedPicture, nullptr);
}

} // namespace
