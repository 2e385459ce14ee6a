// Block text on paper: printed through the view's own printing to the
// PDF-file printer and read back with pdftoppm. Its lines follow the font's
// size on the page whatever the screen's zoom, a transfer shows it mirrored
// while a proof shows it as it reads, and printing leaves the block's own
// text (its merge fields) as it was.

#include "tests/surface/SurfacePaintTestSupport.h"

#include "model/DrawRect.h"
#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "print/MergeSource.h"
#include "tests/framework/PpmImage.h"
#include "tests/support/TestHome.h"
#include "text/TextBlock.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

using Ppm = fwtest::PpmImage;

constexpr int kDpi = 100;

bool Dark(COLORREF c)
{
    return GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
}

// The first row of each band of rows holding dark pixels, top down.
std::vector<int> DarkBandTops(const Ppm& image)
{
    std::vector<int> tops;
    bool bInBand = false;
    for (int y = 0; y < image.height; ++y) {
        bool bDark = false;
        for (int x = 0; x < image.width && !bDark; ++x)
            bDark = Dark(image.At(x, y));
        if (bDark && !bInBand)
            tops.push_back(y);
        bInBand = bDark;
    }
    return tops;
}

struct Ink {
    CRect bounds;
    int count = 0;
    double x = 0;
    double y = 0;
};

Ink InkOf(const Ppm& image)
{
    Ink ink;
    ink.bounds = CRect(image.width, image.height, 0, 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!Dark(image.At(x, y)))
                continue;
            ++ink.count;
            ink.x += x;
            ink.y += y;
            ink.bounds.left = std::min<LONG>(ink.bounds.left, x);
            ink.bounds.top = std::min<LONG>(ink.bounds.top, y);
            ink.bounds.right = std::max<LONG>(ink.bounds.right, x + 1);
            ink.bounds.bottom = std::max<LONG>(ink.bounds.bottom, y + 1);
        }
    }
    if (ink.count > 0) {
        ink.x /= ink.count;
        ink.y /= ink.count;
    }
    return ink;
}

// The height of one line of the face at 72 points, in pixels at kDpi: the
// extent of a blank, as the block advances its lines.
double LineHeightAtOneInch(const char* pszFace)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    LOGFONT lf{};
    lf.lfHeight = -1000;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, pszFace, LF_FACESIZE - 1);
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* pOld = dc.SelectObject(&font);
    const CSize blank = dc.GetTextExtent(" ", 1);
    dc.SelectObject(pOld);
    return blank.cy * kDpi / 1000.0;
}

class BlockTextPrintTest : public SurfacePaintTest {
protected:
    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        platform::SetPrinterListProvider(nullptr);
        m_dir = testing_support::MakeTempDir("blockprint");
        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SurfacePaintTest::TearDown();
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

    bool PrintAndRender(const std::string& name, Ppm& image)
    {
        const CString path(platform::WindowsPathFor(m_dir + "/" + name + ".pdf").c_str());
        PrintViewToPdf(m_pView, path);
        const std::string prefix = m_dir + "/" + name;
        const std::string command = "pdftoppm -r " + std::to_string(kDpi) + " -f 1 -l 1 '" + prefix + ".pdf' '"
            + prefix + "' 2> /dev/null";
        return std::system(command.c_str()) == 0 && fwtest::ReadPpm(prefix + "-1.ppm", image);
    }

    std::string m_dir;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
};

TEST_F(BlockTextPrintTest, LinesAdvanceByTheFontsHeightOnPaperWhateverTheScreenZoom)
{
    AddBlock(CRect(-300, 300, 300, -300), "H\nH");
    m_pDoc->m_nProofValue = 1;
    const double dExpected = LineHeightAtOneInch("Arial");
    ASSERT_GT(dExpected, kDpi);
    for (int nZoom : {37, 200}) {
        SCOPED_TRACE(nZoom);
        m_pView->SetZoom(nZoom);
        Pump();
        Ppm page;
        ASSERT_TRUE(PrintAndRender("zoom" + std::to_string(nZoom), page));
        const std::vector<int> tops = DarkBandTops(page);
        ASSERT_EQ(tops.size(), 2u);
        EXPECT_NEAR(tops[1] - tops[0], dExpected, 2.0);
    }
}

TEST_F(BlockTextPrintTest, ATransferShowsTheBlockMirroredAndAProofAsItReads)
{
    AddBlock(CRect(-100, 300, 100, 100), "L");
    m_pDoc->m_nProofValue = 1;
    Ppm proof;
    ASSERT_TRUE(PrintAndRender("proof", proof));
    // An "L" as it reads has its weight left and at its foot.
    const Ink read = InkOf(proof);
    ASSERT_GT(read.count, 200);
    EXPECT_LT(read.x, read.bounds.CenterPoint().x - 2);
    EXPECT_GT(read.y, read.bounds.CenterPoint().y + 2);

    m_pDoc->m_nProofValue = 0;
    ASSERT_TRUE(m_pView->IsTransferPrint());
    Ppm transfer;
    ASSERT_TRUE(PrintAndRender("transfer", transfer));
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
