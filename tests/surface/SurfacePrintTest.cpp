#include "tests/surface/SurfacePaintTestSupport.h"

#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Preview.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "tests/framework/PpmImage.h"
#include "tests/support/TestHome.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace surfacetest {
namespace {

// A filled black rectangle that records where it was each time it was
// drawn on paper.
class CRecordingRect : public CDrawRect {
public:
    explicit CRecordingRect(const CRect& rect)
        : CDrawRect(rect)
    {
        m_logpen.lopnStyle = PS_SOLID;
        m_logpen.lopnColor = RGB(0, 0, 0);
        m_bFill = TRUE;
        m_logbrush.lbStyle = BS_SOLID;
        m_logbrush.lbColor = RGB(0, 0, 0);
    }
    void Draw(CDC* pDC) override
    {
        if (pDC->IsPrinting())
            m_printed.push_back(m_position);
        CDrawRect::Draw(pDC);
    }
    std::vector<CRect> m_printed;
};

using Ppm = fwtest::PpmImage;
using fwtest::ReadPpm;

// The design as its file stores it, without the save's own counters.
std::vector<BYTE> StoredDesign(CDrawDoc* pDoc)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = pDoc;
        pDoc->Serialize(ar);
        ar.Close();
    }
    const ULONGLONG nLength = file.GetLength();
    BYTE* pData = file.Detach();
    std::vector<BYTE> bytes(pData, pData + nLength);
    free(pData);
    return bytes;
}

class SurfacePrintTest : public SurfacePaintTest {
protected:
    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        // Only the PDF-file printer, whatever the machine has.
        platform::SetPrinterListProvider(nullptr);
        m_dir = testing_support::MakeTempDir("surfaceprint");
        m_pShirts = AddShirtTemplate();
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
    std::string HostPathOf(const std::string& name) const { return m_dir + "/" + name; }

    // Prints the view's design to the PDF-file printer into the named file:
    // straight away, or through the print dialog (answered with OK) as the
    // Print command does. The number of dialogs answered.
    int PrintToPdf(CSurface* pView, const std::string& name, UINT nCommand = ID_FILE_PRINT_DIRECT)
    {
        return PrintViewToPdf(pView, PathOf(name), nCommand);
    }

    // The page rendered at 50 dpi.
    bool Render(const std::string& name, Ppm& image)
    {
        const std::string prefix = HostPathOf(name + "-page");
        const std::string command = "pdftoppm -r 50 -f 1 -l 1 '" + HostPathOf(name) + "' '" + prefix + "'";
        if (std::system(command.c_str()) != 0)
            return false;
        return ReadPpm(prefix + "-1.ppm", image);
    }

    // Renders "transfer.pdf" and "proof.pdf" and checks that the dark
    // object's middle on the transfer lies mirrored across nAxis (the work
    // area's left plus right, in design units): 150 - (axis - 150) units, at
    // 50 dpi half as many pixels, left of where the proof shows it.
    void ExpectTransferMirrorsProof(int nAxis, Ppm& transfer, Ppm& proof)
    {
        ASSERT_TRUE(Render("transfer.pdf", transfer));
        ASSERT_TRUE(Render("proof.pdf", proof));
        const double dTransfer = fwtest::DarkCentreX(transfer);
        const double dProof = fwtest::DarkCentreX(proof);
        ASSERT_GE(dTransfer, 0.0);
        ASSERT_GE(dProof, 0.0);
        EXPECT_NEAR(dProof - dTransfer, (300 - nAxis) / 2.0, 2.0);
    }

    static int CountNear(const Ppm& image, COLORREF cr)
    {
        int n = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const COLORREF c = image.At(x, y);
                n += std::abs(GetRValue(c) - GetRValue(cr)) < 32 && std::abs(GetGValue(c) - GetGValue(cr)) < 32
                        && std::abs(GetBValue(c) - GetBValue(cr)) < 32
                    ? 1
                    : 0;
            }
        }
        return n;
    }

    CMultiDocTemplate* m_pShirts = nullptr;
    std::string m_dir;
};

// A shirt transfer prints both surfaces mirrored across the work area, and
// when the job has ended, with no screen paint in between, the design is
// exactly as before: its save has the same bytes.
TEST_F(SurfacePrintTest, TransferPrintsBothSurfacesMirroredAndLeavesTheDesignAsItWas)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    CDrawDoc* pDoc = NewDesign(m_pShirts);
    ASSERT_NE(pDoc, nullptr);
    CSurface* pFront = pDoc->GetSurfaceView(0);
    CSurface* pBack = pDoc->GetSurfaceView(1);
    ASSERT_NE(pFront, nullptr);
    ASSERT_NE(pBack, nullptr);
    auto* pFrontObj = new CRecordingRect(CRect(100, 300, 200, 200));
    auto* pBackObj = new CRecordingRect(CRect(100, -200, 200, -300));
    pBackObj->SetAngle(30.0);
    // Dark pixels on paper are the front object's alone.
    pBackObj->m_logpen.lopnColor = RGB(0, 0, 255);
    pBackObj->m_logbrush.lbColor = RGB(0, 0, 255);
    pFront->Add(pFrontObj);
    pBack->Add(pBackObj);
    ASSERT_TRUE(pFront->IsTransferPrint());
    CRect work;
    pFront->GetWorkArea(&work, 0);
    work.NormalizeRect();
    const int nAxis = work.left + work.right;

    const std::vector<BYTE> before = StoredDesign(pDoc);
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(before, StoredDesign(pDoc));

    PrintToPdf(pFront, "transfer.pdf");
    ASSERT_EQ(pFrontObj->m_printed.size(), 1u);
    ASSERT_EQ(pBackObj->m_printed.size(), 1u);
    EXPECT_EQ(pFrontObj->m_printed[0], CRect(nAxis - 100, 300, nAxis - 200, 200));
    EXPECT_EQ(pBackObj->m_printed[0], CRect(nAxis - 100, -200, nAxis - 200, -300));
    // Back as they were without a paint of either view.
    EXPECT_EQ(pFrontObj->m_position, CRect(100, 300, 200, 200));
    EXPECT_EQ(pBackObj->m_position, CRect(100, -200, 200, -300));
    EXPECT_DOUBLE_EQ(pBackObj->m_dAngle, 30.0);
    EXPECT_FALSE(pFront->m_bPrintingRecorded);
    EXPECT_FALSE(pBack->m_bPrintingRecorded);
    EXPECT_TRUE(StoredDesign(pDoc) == before);

    // As a proof it is not mirrored.
    pDoc->m_nProofValue = 1;
    ASSERT_FALSE(pFront->IsTransferPrint());
    PrintToPdf(pFront, "proof.pdf");
    ASSERT_EQ(pFrontObj->m_printed.size(), 2u);
    EXPECT_EQ(pFrontObj->m_printed[1], CRect(100, 300, 200, 200));
    EXPECT_EQ(pBackObj->m_printed[1], CRect(100, -200, 200, -300));

    // On paper both surfaces show; the front's object (the only black one)
    // lies 150 - (axis - 150) units, at 50 dpi half as many pixels, left of
    // where the proof shows it.
    Ppm transfer;
    Ppm proof;
    ASSERT_NO_FATAL_FAILURE(ExpectTransferMirrorsProof(nAxis, transfer, proof));
    EXPECT_GT(CountNear(transfer, RGB(0, 0, 255)), 100);
    EXPECT_GT(CountNear(proof, RGB(0, 0, 255)), 100);
}

// On paper a transfer shows the object mirrored: its middle lies
// 150 - (axis - 150) units, at 50 dpi half as many pixels, left of where
// the proof shows it.
TEST_F(SurfacePrintTest, TransferOnPaperIsTheProofMirroredAcrossTheWorkArea)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    pView->Add(new CRecordingRect(CRect(100, 300, 200, 200)));
    CRect work;
    pView->GetWorkArea(&work, 0);
    work.NormalizeRect();
    const int nAxis = work.left + work.right;

    pDoc->m_nProofValue = 0;
    PrintToPdf(pView, "transfer.pdf");
    pDoc->m_nProofValue = 1;
    PrintToPdf(pView, "proof.pdf");
    Ppm transfer;
    Ppm proof;
    ASSERT_NO_FATAL_FAILURE(ExpectTransferMirrorsProof(nAxis, transfer, proof));
}

// What a transfer changes on each kind of object, and that all of it comes
// back: rectangles, a polygon's own points, a turned shape's angle and a
// cropped picture's visible part.
TEST_F(SurfacePrintTest, MirroringGivesBackEveryValueItChanged)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    CRect work;
    pView->GetWorkArea(&work, 0);
    work.NormalizeRect();
    const int nAxis = work.left + work.right;

    auto* pPoly = new CDrawPoly(CRect(10, 60, 110, -40));
    for (const CPoint& pt : {CPoint(10, 10), CPoint(110, 60), CPoint(60, -40)})
        pPoly->AddPoint(pt);
    auto* pTurned = new CDrawRect(CRect(-200, 100, -100, 0));
    pTurned->SetAngle(30.0);
    auto* pPicture = new CDrawRect(CRect(100, -100, 300, -200));
    pPicture->m_pPicture = new CImage;
    // A raster handle the engine does not know: a picture that draws nothing.
    pPicture->m_pPicture->m_nHandle = 30000;
    pPicture->m_dCropLeft = 0.125;
    pPicture->m_dCropWidth = 0.5;
    ASSERT_TRUE(pPicture->HasPicture());
    for (CDrawObj* pObj : std::initializer_list<CDrawObj*>{pPoly, pTurned, pPicture})
        pView->Add(pObj);
    const std::vector<POINT> points(pPoly->GetPoints(), pPoly->GetPoints() + pPoly->GetPointCount());
    const CRect polyRect = pPoly->m_position;

    pView->BeginMirrorPrinting();
    ASSERT_EQ(pPoly->GetPointCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pPoly->GetPoints()[i].x, nAxis - points[size_t(i)].x);
        EXPECT_EQ(pPoly->GetPoints()[i].y, points[size_t(i)].y);
    }
    EXPECT_EQ(pPoly->m_position, CRect(nAxis - polyRect.left, polyRect.top, nAxis - polyRect.right, polyRect.bottom));
    EXPECT_EQ(pTurned->m_position, CRect(nAxis + 200, 100, nAxis + 100, 0));
    EXPECT_DOUBLE_EQ(pTurned->m_dAngle, 330.0);
    EXPECT_DOUBLE_EQ(pPicture->m_dCropLeft, 0.375);
    // A second printing paint mirrors nothing twice.
    pView->BeginMirrorPrinting();
    EXPECT_DOUBLE_EQ(pTurned->m_dAngle, 330.0);

    pView->EndMirrorPrinting();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(CPoint(pPoly->GetPoints()[i]), CPoint(points[size_t(i)]));
    EXPECT_EQ(pPoly->m_position, polyRect);
    EXPECT_EQ(pTurned->m_position, CRect(-200, 100, -100, 0));
    EXPECT_DOUBLE_EQ(pTurned->m_dAngle, 30.0);
    EXPECT_DOUBLE_EQ(pPicture->m_dCropLeft, 0.125);
}

// An object whose drawing fails on paper ends the job; the design is not left mirrored and the program takes input
// again.
TEST_F(SurfacePrintTest, AFailedPageLeavesNothingMirrored)
{
    class CFailingRect : public CRecordingRect {
    public:
        using CRecordingRect::CRecordingRect;
        void Draw(CDC* pDC) override
        {
            CRecordingRect::Draw(pDC);
            if (pDC->IsPrinting())
                AfxThrowResourceException();
        }
    };
    CDrawDoc* pDoc = NewDesign(m_pShirts);
    CSurface* pFront = pDoc->GetSurfaceView(0);
    CSurface* pBack = pDoc->GetSurfaceView(1);
    auto* pObj = new CFailingRect(CRect(100, 300, 200, 200));
    auto* pBackObj = new CRecordingRect(CRect(-300, 100, -250, 50));
    pFront->Add(pObj);
    pBack->Add(pBackObj);
    const std::vector<BYTE> before = StoredDesign(pDoc);

    PrintToPdf(pFront, "failed.pdf");
    ASSERT_EQ(pObj->m_printed.size(), 1u);
    EXPECT_NE(pObj->m_printed[0], CRect(100, 300, 200, 200));
    EXPECT_EQ(pObj->m_position, CRect(100, 300, 200, 200));
    EXPECT_EQ(pBackObj->m_position, CRect(-300, 100, -250, 50));
    EXPECT_FALSE(pFront->m_bPrintingRecorded);
    EXPECT_FALSE(pBack->m_bPrintingRecorded);
    EXPECT_TRUE(StoredDesign(pDoc) == before);
    EXPECT_TRUE(m_pMain->IsWindowEnabled());
}

// Print preview draws the transfer as it prints; closing the preview gives
// the objects their own places back.
TEST_F(SurfacePrintTest, ClosingThePreviewOfATransferLeavesTheDesignAsItWas)
{
    CDrawDoc* pDoc = NewDesign(m_pShirts);
    CSurface* pFront = pDoc->GetSurfaceView(0);
    CSurface* pBack = pDoc->GetSurfaceView(1);
    auto* pObj = new CRecordingRect(CRect(100, 300, 200, 200));
    pFront->Add(pObj);
    pBack->Add(new CRecordingRect(CRect(-300, 100, -250, 50)));
    const std::vector<BYTE> before = StoredDesign(pDoc);

    pFront->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    CWnd* pPane = CWnd::FromHandlePermanent(::GetDlgItem(m_pMain->GetSafeHwnd(), AFX_IDW_PANE_FIRST));
    ASSERT_NE(pPane, nullptr);
    ASSERT_TRUE(pPane->IsKindOf(RUNTIME_CLASS(CPreviewView)));
    pPane->UpdateWindow();
    ASSERT_FALSE(pObj->m_printed.empty());
    EXPECT_NE(pObj->m_printed.back(), CRect(100, 300, 200, 200));

    static_cast<CPreviewView*>(pPane)->ClosePreview();
    Pump();
    EXPECT_EQ(pObj->m_position, CRect(100, 300, 200, 200));
    EXPECT_FALSE(pFront->m_bPrintingRecorded);
    EXPECT_FALSE(pBack->m_bPrintingRecorded);
    EXPECT_TRUE(StoredDesign(pDoc) == before);
}

// Print asks for the printer first and then, for the PDF-file printer, for
// the file.
TEST_F(SurfacePrintTest, PrintRunsThePrintDialogAndPrintsThePage)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    auto* pObj = new CRecordingRect(CRect(-100, 100, 100, -100));
    pView->Add(pObj);
    EXPECT_EQ(PrintToPdf(pView, "dialog.pdf", ID_FILE_PRINT), 2);
    EXPECT_EQ(pObj->m_printed.size(), 1u);
    EXPECT_TRUE(std::ifstream(HostPathOf("dialog.pdf")).good());
    EXPECT_TRUE(m_pMain->IsWindowEnabled());
}

// On paper there is no grid, no guideline, no handle, no printer margin and
// no shadow: only the paper and the objects.
TEST_F(SurfacePrintTest, PaperShowsOnlyThePaperAndTheObjects)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    pView->SetFocus();
    pDoc->m_wDocFlags |= 0x0400 | 0x0200;
    pDoc->SetGridSpacing(500);
    pView->m_guidelines[0].Add(2000);
    pView->m_guidelines[1].Add(3000);
    pView->m_maxWorkSize = CSize(300, 300);
    auto* pObj = new CRecordingRect(CRect(-100, 100, 100, -100));
    pView->Add(pObj);
    pView->Select(pObj);
    PaintFocused(pView);
    PrintToPdf(pView, "plain.pdf");
    ASSERT_EQ(pObj->m_printed.size(), 1u);
    EXPECT_EQ(pObj->m_printed[0], CRect(-100, 100, 100, -100));

    Ppm page;
    ASSERT_TRUE(Render("plain.pdf", page));
    int nColoured = 0; // anything not grey: guidelines, handles, margin, work area
    int nGridGrey = 0;
    int nShadow = 0;
    int nDark = 0;
    auto near = [](int a, int b) { return std::abs(a - b) <= 12; };
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) {
            const COLORREF c = page.At(x, y);
            const int r = GetRValue(c);
            const int g = GetGValue(c);
            const int b = GetBValue(c);
            if (std::abs(r - g) > 24 || std::abs(g - b) > 24 || std::abs(r - b) > 24)
                ++nColoured;
            else if (near(r, GetRValue(CSurface::kGridColor)))
                ++nGridGrey;
            else if (near(r, GetRValue(CSurface::kShadowColor)))
                ++nShadow;
            else if (r < 32)
                ++nDark;
        }
    }
    EXPECT_EQ(nColoured, 0);
    // Edges of the black square may shade a few pixels.
    EXPECT_LT(nGridGrey, 60);
    EXPECT_LT(nShadow, 60);
    // The 2-inch square at 50 dpi.
    EXPECT_GT(nDark, 90 * 90);
}

} // namespace
} // namespace surfacetest
