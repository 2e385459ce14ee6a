// Block text on paper: printed through the view's own printing to the
// PDF-file printer and read back with pdftoppm. Its lines follow the font's
// size on the page whatever the screen's zoom, a transfer shows it mirrored
// (its shadow too) while a proof shows it as it reads, and printing leaves
// the block's own text (its merge fields) as it was.

#include "tests/surface/PrintedPageTestSupport.h"

#include "model/DrawRect.h"
#include "print/MergeSource.h"
#include "text/TextBlock.h"

#include <algorithm>
#include <string>

namespace surfacetest {
namespace {

constexpr int kDpi = kPrintedDpi;

// The height of one line of the face at 72 points, in pixels at kDpi: the
// extent of a blank, as the block advances its lines.
double LineHeightAtOneInch(const char* pszFace)
{
    return FontHeightAtOneInch(pszFace, [](CDC& dc) { return int(dc.GetTextExtent(" ", 1).cy); });
}

class BlockTextPrintTest : public PrintedPageTest {
protected:
    BlockTextPrintTest()
        : PrintedPageTest("blockprint")
    {
    }

    // A block of black 72-point Arial, not fitted to its frame.
    CDrawRect* AddBlock(const CRect& rect, const char* pszText)
    {
        auto* pObj = new CDrawRect(rect);
        pObj->m_bOutline = FALSE;
        m_pView->Add(pObj);
        pObj->SetText(pszText, TRUE);
        CTextBlock* pBlock = pObj->GetTextBlock();
        pBlock->SetFont(-72, "Arial", 0);
        pBlock->m_crText = RGB(0, 0, 0);
        return pObj;
    }
};

TEST_F(BlockTextPrintTest, LinesAdvanceByTheFontsHeightOnPaperWhateverTheScreenZoom)
{
    AddBlock(CRect(-300, 300, 300, -300), "H\nH");
    m_pDoc->m_nProofValue = 1;
    const double dExpected = LineHeightAtOneInch("Arial");
    ASSERT_GT(dExpected, kDpi);
    ExpectLinesAdvanceWhateverTheZoom(dExpected);
}

TEST_F(BlockTextPrintTest, ATransferShowsTheBlockMirroredAndAProofAsItReads)
{
    AddBlock(CRect(-100, 300, 100, 100), "L");
    Ppm proof, transfer;
    Ink read;
    ASSERT_NO_FATAL_FAILURE(PrintProofAndTransferOfL(proof, read, transfer));
    const Ink mirrored = InkOf(transfer);
    ASSERT_GT(mirrored.count, 200);
    EXPECT_NEAR(mirrored.bounds.Width(), read.bounds.Width(), 3);
    EXPECT_NEAR(mirrored.bounds.Height(), read.bounds.Height(), 3);
    // Turned over left to right: the weight now right, still at the foot.
    EXPECT_GT(mirrored.x, mirrored.bounds.CenterPoint().x + 2);
    EXPECT_GT(mirrored.y, mirrored.bounds.CenterPoint().y + 2);
    // The screen's object is not left mirrored by the print.
    EXPECT_EQ(m_pView->GetObjects().GetCount(), 1);
    auto* pObj = static_cast<CDrawObj*>(m_pView->GetObjects().GetHead());
    EXPECT_EQ(pObj->m_rectUnrotated, CRect(-100, 300, 100, 100));
}

// Bounds of the pixels in the image's rows [y0, y1) that are dark, or with
// bRed those that are red.
CRect InkBounds(const Ppm& image, int y0, int y1, bool bRed)
{
    CRect bounds(image.width, y1, 0, y0);
    for (int y = y0; y < y1; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const COLORREF c = image.At(x, y);
            const bool bRedInk = GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80;
            if (bRed ? !bRedInk : !Dark(c))
                continue;
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.right = std::max<LONG>(bounds.right, x + 1);
            bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
        }
    }
    return bounds;
}

TEST_F(BlockTextPrintTest, ATransferTurnsTheShadowOverWithTheText)
{
    // Two shadowed blocks, one as it reads in the upper half of the page
    // and one the user mirrored in the lower. The proof shows both shadows
    // right of and below their text; the shirt shows the transfer turned
    // over again, so on the transfer they fall left of it.
    for (const BOOL bMirrored : {FALSE, TRUE}) {
        CDrawRect* pObj = AddBlock(bMirrored ? CRect(-100, -250, 100, -450) : CRect(-100, 400, 100, 200), "L");
        if (bMirrored)
            pObj->Flip(TRUE, FALSE);
        CTextBlock* pBlock = pObj->GetTextBlock();
        pBlock->m_wFlags |= TEXTBLOCK_SHADOW;
        pObj->m_wTextFlags |= OBJ_TEXT_SHADOW;
        pBlock->m_crShadow = RGB(255, 0, 0);
        pBlock->m_nShadowX = 6;
        pBlock->m_nShadowY = 6;
    }
    Ppm proof, transfer;
    m_pDoc->m_nProofValue = 1;
    ASSERT_TRUE(PrintAndRender("shadow-proof", proof));
    m_pDoc->m_nProofValue = 0;
    ASSERT_TRUE(PrintAndRender("shadow-transfer", transfer));
    for (const Ppm* pPage : {&proof, &transfer}) {
        const bool bTransfer = pPage == &transfer;
        for (const bool bUpper : {true, false}) {
            const std::string what = std::string(bTransfer ? "transfer" : "proof") + (bUpper ? ", upper" : ", lower");
            const int y0 = bUpper ? 0 : pPage->height / 2;
            const int y1 = bUpper ? pPage->height / 2 : pPage->height;
            const CRect text = InkBounds(*pPage, y0, y1, false);
            const CRect shadow = InkBounds(*pPage, y0, y1, true);
            ASSERT_GT(text.Width(), 20) << what;
            ASSERT_GT(shadow.Width(), 20) << what;
            EXPECT_GT(shadow.bottom, text.bottom + 3) << what;
            if (bTransfer)
                EXPECT_LT(shadow.left, text.left - 3) << what;
            else
                EXPECT_GT(shadow.right, text.right + 3) << what;
        }
    }
    // The screen's blocks keep their shadows where they were.
    for (POSITION pos = m_pView->GetObjects().GetHeadPosition(); pos != NULL;)
        EXPECT_EQ(static_cast<CDrawObj*>(m_pView->GetObjects().GetNext(pos))->GetTextBlock()->m_nShadowX, 6);
}

TEST_F(BlockTextPrintTest, PrintingFillsTheMergeFieldsAndLeavesTheBlocksTextAsTyped)
{
    CDrawRect* pObj = AddBlock(CRect(-400, 300, 400, 100), "Hi @name@");
    ASSERT_TRUE(pObj->HasMergeFields());
    m_pDoc->m_nProofValue = 1;
    // Without a source the field prints as typed.
    Ppm typed;
    ASSERT_TRUE(PrintAndRender("typed", typed));
    const Ink asTyped = InkOf(typed);
    ASSERT_GT(asTyped.count, 200);

    // With a tab-separated list the name (in any case) gives the record's
    // text.
    const std::string list = m_dir + "/list.txt";
    testing_support::WriteFileBytes(list, "Name\tCity\r\nZo\tOslo\r\n");
    auto* pSource = new CTextMergeSource(m_pDoc);
    pSource->SetFileName(platform::WindowsPathFor(list).c_str());
    delete m_pDoc->m_pMergeSource;
    m_pDoc->m_pMergeSource = pSource;
    Ppm merged;
    ASSERT_TRUE(PrintAndRender("merged", merged));
    const Ink filled = InkOf(merged);
    ASSERT_GT(filled.count, 100);
    EXPECT_LT(filled.bounds.Width(), asTyped.bounds.Width() * 3 / 4) << "\"Hi Zo\" is narrower than the field";
    EXPECT_EQ(pObj->GetText(), CString("Hi @name@"));
    EXPECT_TRUE(pObj->HasMergeFields());
}

} // namespace
} // namespace surfacetest
