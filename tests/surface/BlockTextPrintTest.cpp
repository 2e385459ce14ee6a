// Block text on paper: printed through the view's own printing to the
// PDF-file printer and read back with pdftoppm. Its lines follow the font's
// size on the page whatever the screen's zoom, a transfer shows it mirrored
// while a proof shows it as it reads, and printing leaves the block's own
// text (its merge fields) as it was.

#include "tests/surface/PrintedPageTestSupport.h"

#include "model/DrawRect.h"
#include "print/MergeSource.h"
#include "text/TextBlock.h"

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
