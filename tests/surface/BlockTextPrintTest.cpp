// Block text on paper: printed through the view's own printing to the
// PDF-file printer and read back with pdftoppm. Its lines follow the font's
// size on the page whatever the screen's zoom, a transfer shows it mirrored
// (its shadow too) while a proof shows it as it reads, printing leaves the
// block's own text (its merge fields) as it was, and shaped and mirrored
// text is printed as a picture when glyph text is switched off.

#include "tests/surface/PrintedPageTestSupport.h"

#include "app/PrintPrefData.h"
#include "model/DrawRect.h"
#include "print/MergeSource.h"
#include "text/TextBlock.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
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

// What a PDF's pages are made of: its image objects and the paths its
// content streams fill (glyph outlines are filled paths).
struct PdfMakeup {
    int images = -1;
    int fills = -1;
};

// Reads every PDF with one run of python3: the images are the objects of
// subtype Image, the fills the fill operators of the decompressed streams
// that are not images.
std::map<std::string, PdfMakeup> ReadPdfMakeups(const std::string& dir, const std::vector<std::string>& names)
{
    const std::string script = dir + "/makeup.py";
    std::ofstream(script) << R"(import re, sys, zlib
for path in sys.argv[1:]:
    data = open(path, 'rb').read()
    images = fills = 0
    for m in re.finditer(rb'obj\s*<<(.*?)>>\s*stream\r?\n', data, re.S):
        head = m.group(1)
        end = data.find(b'endstream', m.end())
        if re.search(rb'/Subtype\s*/Image', head):
            images += 1
            continue
        body = data[m.end():end]
        if b'/FlateDecode' in head:
            try:
                body = zlib.decompress(body)
            except zlib.error:
                continue
        fills += len(re.findall(rb'(?<![^\s])(?:f\*?|B\*?|b\*?)(?![^\s])', body))
    print(path, images, fills)
)";
    std::string command = "python3 '" + script + "'";
    for (const std::string& name : names)
        command += " '" + dir + "/" + name + ".pdf'";
    command += " > '" + dir + "/makeup.txt'";
    std::map<std::string, PdfMakeup> result;
    if (std::system(command.c_str()) != 0)
        return result;
    std::ifstream lines(dir + "/makeup.txt");
    std::string path;
    PdfMakeup makeup;
    while (lines >> path >> makeup.images >> makeup.fills)
        result[path.substr(dir.size() + 1, path.size() - dir.size() - 5)] = makeup;
    return result;
}

TEST_F(BlockTextPrintTest, GlyphTextOffPrintsShapedAndMirroredTextAsAPictureAndOnAsOutlines)
{
    if (std::system("command -v python3 > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    // A block bent into a warp shape and one the user turned over.
    CDrawRect* pShaped = AddBlock(CRect(-250, 300, 250, 100), "Arch");
    pShaped->GetTextBlock()->SetShape(8);
    CDrawRect* pMirrored = AddBlock(CRect(-150, -50, 150, -250), "Fg");
    pMirrored->Flip(TRUE, FALSE);
    m_pDoc->m_nProofValue = 1;

    // The shaped-text bits as the Printing page stores its automatic
    // choice and its method 1.
    constexpr WORD kShapedMask =
        PRINT_PREF_SHAPED_AUTO | PRINT_PREF_SHAPED_METHOD1 | PRINT_PREF_SHAPED_METHOD | PRINT_PREF_SHAPED_METHOD3;
    const WORD wSaved = thePrintPrefs.Printing;
    const WORD wOther = WORD(CPrintPrefData::kDefaultPrinting & ~kShapedMask);
    Ppm off, on;
    thePrintPrefs.Printing = WORD(wOther | PRINT_PREF_SHAPED_METHOD1 | PRINT_PREF_SHAPED_METHOD);
    const bool bOff = PrintAndRender("glyphs-off", off);
    thePrintPrefs.Printing = WORD(wOther | PRINT_PREF_SHAPED_AUTO);
    const bool bOn = PrintAndRender("glyphs-on", on);
    thePrintPrefs.Printing = wSaved;
    ASSERT_TRUE(bOff);
    ASSERT_TRUE(bOn);

    std::map<std::string, PdfMakeup> makeups = ReadPdfMakeups(m_dir, {"glyphs-off", "glyphs-on"});
    ASSERT_EQ(makeups.size(), 2u);
    // Off: each block is a picture, and nothing is filled as a path.
    EXPECT_GE(makeups["glyphs-off"].images, 2);
    EXPECT_EQ(makeups["glyphs-off"].fills, 0);
    // On: the glyphs are filled outlines, and there is no picture.
    EXPECT_EQ(makeups["glyphs-on"].images, 0);
    EXPECT_GT(makeups["glyphs-on"].fills, 0);

    // Both ways the page shows the same text in the same place.
    const Ink pictured = InkOf(off);
    const Ink outlined = InkOf(on);
    ASSERT_GT(outlined.count, 1000);
    EXPECT_NEAR(pictured.count, outlined.count, outlined.count / 5);
    EXPECT_NEAR(pictured.bounds.left, outlined.bounds.left, 4);
    EXPECT_NEAR(pictured.bounds.top, outlined.bounds.top, 4);
    EXPECT_NEAR(pictured.bounds.right, outlined.bounds.right, 4);
    EXPECT_NEAR(pictured.bounds.bottom, outlined.bounds.bottom, 4);
}

} // namespace
} // namespace surfacetest
