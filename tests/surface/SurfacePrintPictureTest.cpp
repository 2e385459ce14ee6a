// Pictures on a transfer: a raster and a metafile picture printed through
// the view's print path come out mirrored on paper, not merely moved to the
// mirrored place, and the proof shows them the right way round.

#include "tests/surface/SurfacePaintTestSupport.h"

#include "model/DrawRect.h"
#include "pictures/Image.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "tests/framework/PpmImage.h"
#include "tests/support/TestHome.h"
#include "tests/support/EmfBuilder.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

using Ppm = fwtest::PpmImage;

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

// A 24-bit BMP, w x h, black in its left half and white in its right.
std::string HalfBlackBmp(int w, int h)
{
    const int stride = (w * 3 + 3) & ~3;
    std::string out = "BM";
    Put32(out, uint32_t(54 + stride * h));
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(h));
    Put32(out, 1 | (24u << 16));
    Put32(out, 0);
    Put32(out, uint32_t(stride * h));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            out.append(3, x < w / 2 ? '\0' : '\xff');
        out.append(size_t(stride - w * 3), '\0');
    }
    return out;
}

// An enhanced metafile 200 x 100 device units whose left half is a black
// rectangle: header, the stock black brush selected, the rectangle, end.
HENHMETAFILE HalfBlackEmf()
{
    testing_support::EmfBuilder emf;
    emf.Record(37, {0x80000004u});          // select the black brush
    emf.Record(38, {0x80000008u});          // and the null pen
    emf.Record(43, {0, 0, 100, 100});       // the left half
    return emf.Make(RECT{0, 0, 199, 99}, RECT{0, 0, 1999, 999}, 1);
}

class SurfacePrintPictureTest : public SurfacePaintTest {
protected:
    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        platform::SetPrinterListProvider(nullptr);
        m_dir = testing_support::MakeTempDir("surfaceprintpicture");
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SurfacePaintTest::TearDown();
    }

    CString PathOf(const std::string& name) const
    {
        return CString(platform::WindowsPathFor(m_dir + "/" + name).c_str());
    }

    // Prints the view's design to the PDF-file printer into the file.
    void PrintToPdf(CSurface* pView, const std::string& name) { PrintViewToPdf(pView, PathOf(name)); }

    // The middle column of the page's dark pixels at 50 dpi; -1 when none.
    double DarkCentre(const std::string& name)
    {
        const std::string prefix = m_dir + "/" + name + "-page";
        const std::string command = "pdftoppm -r 50 -f 1 -l 1 '" + m_dir + "/" + name + "' '" + prefix + "'";
        Ppm image;
        if (std::system(command.c_str()) != 0 || !fwtest::ReadPpm(prefix + "-1.ppm", image))
            return -2.0;
        return fwtest::DarkCentreX(image);
    }

    // Prints the picture as a transfer and as a proof. Its black half
    // covers x 100 .. 200 of the object at 100 .. 300, so mirrored across
    // the work area its middle lies (150 - (axis - 150)) / 2 pixels left of
    // the proof's; a picture only moved to the mirrored place would show
    // its black half 100 units (50 pixels) further left.
    void ExpectMirroredOnPaper(CImage* pPicture, bool bRenderedAgain)
    {
        CDrawDoc* pDoc = NewDesign();
        ASSERT_NE(pDoc, nullptr);
        CSurface* pView = FirstView(pDoc);
        auto* pObj = new CDrawRect(CRect(100, 300, 300, 200));
        pObj->m_pPicture = pPicture;
        // No outline: the dark pixels are the picture's alone.
        pObj->m_logpen.lopnStyle = PS_NULL;
        ASSERT_TRUE(pObj->HasPicture());
        pView->Add(pObj);
        CRect work;
        pView->GetWorkArea(&work, 0);
        work.NormalizeRect();
        const int nAxis = work.left + work.right;

        // A rendering for the screen: a raster picture is rendered again
        // for its mirrored place, a metafile draws itself mirrored.
        CClientDC screen(nullptr);
        pObj->m_bmpCache.CreateCompatibleBitmap(&screen, 4, 4);
        pView->BeginMirrorPrinting();
        EXPECT_EQ(pObj->m_bmpCache.GetSafeHandle() == NULL, bRenderedAgain);
        pView->EndMirrorPrinting();

        pDoc->m_nProofValue = 0;
        ASSERT_TRUE(pView->IsTransferPrint());
        PrintToPdf(pView, "transfer.pdf");
        pDoc->m_nProofValue = 1;
        PrintToPdf(pView, "proof.pdf");
        const double dTransfer = DarkCentre("transfer.pdf");
        const double dProof = DarkCentre("proof.pdf");
        ASSERT_GE(dTransfer, 0.0);
        ASSERT_GE(dProof, 0.0);
        EXPECT_NEAR(dProof - dTransfer, (300 - nAxis) / 2.0, 3.0);
        // Nothing stays mirrored.
        EXPECT_EQ(pObj->m_position, CRect(100, 300, 300, 200));
    }

    std::string m_dir;
};

TEST_F(SurfacePrintPictureTest, ARasterPictureIsMirroredOnATransfer)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    testing_support::WriteFileBytes(m_dir + "/half.bmp", HalfBlackBmp(40, 20));
    auto* pPicture = new CImage(PathOf("half.bmp"), CImage::kDefaultLoadMode);
    ASSERT_TRUE(pPicture->IsRaster());
    ExpectMirroredOnPaper(pPicture, true);
}

TEST_F(SurfacePrintPictureTest, AMetafilePictureIsMirroredOnATransfer)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    HENHMETAFILE hEmf = HalfBlackEmf();
    ASSERT_NE(hEmf, nullptr);
    auto* pPicture = new CImage;
    pPicture->SetEnhMetaFile(hEmf);
    ::DeleteEnhMetaFile(hEmf);
    ASSERT_EQ(pPicture->m_nHandle, kImageMetafile);
    ExpectMirroredOnPaper(pPicture, false);
}

} // namespace
} // namespace surfacetest
