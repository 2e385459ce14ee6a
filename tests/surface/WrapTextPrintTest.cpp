// Wrapped text on paper: printed through the view's own printing to the
// PDF-file printer and read back with pdftoppm. Its size follows the
// page's resolution, never the zoom of the screen, and a transfer shows it
// mirrored while a proof shows it as it reads.

#include "tests/surface/SurfacePaintTestSupport.h"

#include "model/DrawRect.h"
#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "tests/framework/PpmImage.h"
#include "tests/support/TestHome.h"
#include "text/WrapText.h"

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

// The page's dark pixels: their bounds, their number and their middle.
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

// The transfer's ink is the proof's turned over left to right: nearly every
// dark pixel of the proof has one, within a pixel, at its mirrored place.
void ExpectMirrorImage(const Ppm& proof, const Ppm& transfer)
{
    const CRect p = InkOf(proof).bounds;
    const CRect t = InkOf(transfer).bounds;
    ASSERT_GT(p.Width(), 10);
    EXPECT_NEAR(t.Width(), p.Width(), 2);
    EXPECT_NEAR(t.Height(), p.Height(), 2);
    EXPECT_NEAR(t.top, p.top, 2);
    int nDark = 0;
    int nMatched = 0;
    for (int y = p.top; y < p.bottom; ++y) {
        for (int x = p.left; x < p.right; ++x) {
            if (!Dark(proof.At(x, y)))
                continue;
            ++nDark;
            const int mx = t.right - 1 - (x - p.left);
            const int my = t.top + (y - p.top);
            bool bNear = false;
            for (int dy = -1; dy <= 1 && !bNear; ++dy)
                for (int dx = -1; dx <= 1 && !bNear; ++dx)
                    bNear = Dark(transfer.At(std::clamp(mx + dx, 0, transfer.width - 1),
                        std::clamp(my + dy, 0, transfer.height - 1)));
            nMatched += bNear ? 1 : 0;
        }
    }
    EXPECT_GT(nMatched, nDark * 95 / 100);
}

// The text height of the face at 72 points, in pixels at kDpi: 72 points
// are an inch, so the em is kDpi pixels.
double TextHeightAtOneInch(const char* pszFace)
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
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(pOld);
    return tm.tmHeight * kDpi / 1000.0;
}

class WrapTextPrintTest : public SurfacePaintTest {
protected:
    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        platform::SetPrinterListProvider(nullptr);
        m_dir = testing_support::MakeTempDir("wrapprint");
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

    CDrawRect* AddText(const CRect& rect, const char* pszText)
    {
        auto* pObj = new CDrawRect(rect);
        pObj->m_bOutline = FALSE;
        m_pView->Add(pObj);
        pObj->SetText(pszText, FALSE);
        pObj->m_pWrapText->SetDefaultFont("Arial", 72, 1, 0);
        pObj->m_pWrapText->SetColor(RGB(0, 0, 0), 0, kWrapTextEnd);
        return pObj;
    }

    // Prints the design to the PDF-file printer, answering its file dialog,
    // and renders the page at kDpi.
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

TEST_F(WrapTextPrintTest, LinesAdvanceByTheFontsHeightOnPaperWhateverTheScreenZoom)
{
    AddText(CRect(-300, 300, 300, -300), "H\nH");
    m_pDoc->m_nProofValue = 1;
    const double dExpected = TextHeightAtOneInch("Arial");
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

TEST_F(WrapTextPrintTest, ATransferShowsTheTextMirroredAndAProofAsItReads)
{
    // A box well inside the printable area, mirrored or not.
    AddText(CRect(-100, 300, 100, 100), "L");
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
    ExpectMirrorImage(proof, transfer);
}

// The mirror turns the text the other way about: a transfer of turned text
// is still the proof turned over.
TEST_F(WrapTextPrintTest, ATransferOfTurnedTextIsTheProofsMirrorImage)
{
    // A line of 72 points needs more than an inch of height to be drawn.
    CDrawRect* pObj = AddText(CRect(-150, 275, 150, 125), "LF");
    pObj->SetAngle(90.0);
    pObj->SetTextRotation(90, TRUE);
    m_pDoc->m_nProofValue = 1;
    Ppm proof;
    ASSERT_TRUE(PrintAndRender("proof", proof));
    m_pDoc->m_nProofValue = 0;
    Ppm transfer;
    ASSERT_TRUE(PrintAndRender("transfer", transfer));
    ExpectMirrorImage(proof, transfer);
}

} // namespace
} // namespace surfacetest
