// Wrapped text on paper: printed through the view's own printing to the
// PDF-file printer and read back with pdftoppm. Its size follows the
// page's resolution, never the zoom of the screen, and a transfer shows it
// mirrored while a proof shows it as it reads.

#include "tests/surface/PrintedPageTestSupport.h"

#include "model/DrawRect.h"
#include "text/WrapText.h"

#include <algorithm>

namespace surfacetest {
namespace {

constexpr int kDpi = kPrintedDpi;

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
    return FontHeightAtOneInch(pszFace, [](CDC& dc) {
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        return int(tm.tmHeight);
    });
}

class WrapTextPrintTest : public PrintedPageTest {
protected:
    WrapTextPrintTest()
        : PrintedPageTest("wrapprint")
    {
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
};

TEST_F(WrapTextPrintTest, LinesAdvanceByTheFontsHeightOnPaperWhateverTheScreenZoom)
{
    AddText(CRect(-300, 300, 300, -300), "H\nH");
    m_pDoc->m_nProofValue = 1;
    const double dExpected = TextHeightAtOneInch("Arial");
    ASSERT_GT(dExpected, kDpi);
    ExpectLinesAdvanceWhateverTheZoom(dExpected);
}

TEST_F(WrapTextPrintTest, ATransferShowsTheTextMirroredAndAProofAsItReads)
{
    // A box well inside the printable area, mirrored or not.
    AddText(CRect(-100, 300, 100, 100), "L");
    Ppm proof, transfer;
    Ink read;
    ASSERT_NO_FATAL_FAILURE(PrintProofAndTransferOfL(proof, read, transfer));
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
