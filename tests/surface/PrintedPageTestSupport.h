#pragma once
// Text on paper: a design printed through the view's own printing to the
// PDF-file printer, its first page rendered with pdftoppm and its dark ink
// measured.

#include "tests/surface/SurfacePaintTestSupport.h"

#include "platform/files/HostPath.h"
#include "platform/ui/CommDlgMisc.h"
#include "tests/framework/PpmImage.h"
#include "tests/support/TestHome.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace surfacetest {

using Ppm = fwtest::PpmImage;

// The resolution pages are rendered at: 72 points of text are kDpi pixels.
constexpr int kPrintedDpi = 100;

inline bool Dark(COLORREF c)
{
    return GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
}

// The first row of each band of rows holding dark pixels, top down.
inline std::vector<int> DarkBandTops(const Ppm& image)
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

inline Ink InkOf(const Ppm& image)
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

// Measures the normal-weight face at 1000 logical units; `measure` returns
// the height wanted at that size, which is scaled to 72 points at kPrintedDpi.
template <typename Measure>
double FontHeightAtOneInch(const char* pszFace, Measure measure)
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
    const int nHeight = measure(dc);
    dc.SelectObject(pOld);
    return nHeight * kPrintedDpi / 1000.0;
}

// A fresh design whose first view is printed into a temporary folder; skipped
// where pdftoppm is missing.
class PrintedPageTest : public SurfacePaintTest {
protected:
    explicit PrintedPageTest(const char* pszDirName)
        : m_pszDirName(pszDirName)
    {
    }

    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        platform::SetPrinterListProvider(nullptr);
        m_dir = testing_support::MakeTempDir(m_pszDirName);
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

    // Prints the design to the PDF-file printer, answering its file dialog,
    // and renders the page at kPrintedDpi.
    bool PrintAndRender(const std::string& name, Ppm& image)
    {
        const CString path(platform::WindowsPathFor(m_dir + "/" + name + ".pdf").c_str());
        PrintViewToPdf(m_pView, path);
        const std::string prefix = m_dir + "/" + name;
        const std::string command = "pdftoppm -r " + std::to_string(kPrintedDpi) + " -f 1 -l 1 '" + prefix
            + ".pdf' '" + prefix + "' 2> /dev/null";
        return std::system(command.c_str()) == 0 && fwtest::ReadPpm(prefix + "-1.ppm", image);
    }

    // With two lines on the page, printed at a small and a large screen
    // zoom: the second line's top lies dExpected pixels below the first's.
    void ExpectLinesAdvanceWhateverTheZoom(double dExpected)
    {
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

    // Prints a proof and then a transfer of a design holding an "L": the
    // proof reads as it is typed, its weight left and at its foot.
    void PrintProofAndTransferOfL(Ppm& proof, Ink& read, Ppm& transfer)
    {
        m_pDoc->m_nProofValue = 1;
        ASSERT_TRUE(PrintAndRender("proof", proof));
        read = InkOf(proof);
        ASSERT_GT(read.count, 200);
        EXPECT_LT(read.x, read.bounds.CenterPoint().x - 2);
        EXPECT_GT(read.y, read.bounds.CenterPoint().y + 2);

        m_pDoc->m_nProofValue = 0;
        ASSERT_TRUE(m_pView->IsTransferPrint());
        ASSERT_TRUE(PrintAndRender("transfer", transfer));
    }

    const char* m_pszDirName;
    std::string m_dir;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
};

} // namespace surfacetest
