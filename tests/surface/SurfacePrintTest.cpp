#include "tests/surface/SurfacePrintTestSupport.h"

#include "app/DcStateSaver.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Preview.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlgMisc.h"
#include "print/PrintState.h"
#include "resources/resource.h"
#include "tests/framework/PpmImage.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <stdexcept>

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

class SurfacePrintTest : public SurfacePrintFixture {
protected:
    void SetUp() override
    {
        SurfacePrintFixture::SetUp();
        m_pShirts = AddShirtTemplate();
    }

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

    // The mean position of the pixels near cr, or (-1, -1) without any.
    static std::pair<double, double> CentreOf(const Ppm& image, COLORREF cr)
    {
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const COLORREF c = image.At(x, y);
                if (std::abs(GetRValue(c) - GetRValue(cr)) < 32 && std::abs(GetGValue(c) - GetGValue(cr)) < 32
                    && std::abs(GetBValue(c) - GetBValue(cr)) < 32) {
                    sx += x;
                    sy += y;
                    ++n;
                }
            }
        }
        return n == 0 ? std::make_pair(-1.0, -1.0) : std::make_pair(sx / n, sy / n);
    }

    // Answers every file dialog of the printer with the next of the names,
    // every other dialog with OK (the Two-Sided dialog's side text is kept),
    // and every message box with nBoxAnswer, recording its text.
    void AnswerPasses(std::vector<std::string> names, int nBoxAnswer = IDOK, int nTwoSidedAnswer = IDOK)
    {
        const HWND hMain = m_pMain->GetSafeHwnd();
        m_nFiles = 0;
        platform::headless::SetIdleHandler([this, names, hMain, nTwoSidedAnswer]() {
            HWND hDlg = ::GetActiveWindow();
            if (hDlg == NULL || hDlg == hMain || ::GetDlgItem(hDlg, IDOK) == NULL)
                return false;
            int nButton = IDOK;
            if (::GetDlgItem(hDlg, edt1) != NULL) {
                const std::string name = m_nFiles < names.size() ? names[m_nFiles] : "extra.pdf";
                ++m_nFiles;
                ::SetDlgItemText(hDlg, edt1, PathOf(name));
            } else if (::GetDlgItem(hDlg, IDC_TWOSIDED_NEXT) != NULL) {
                m_twoSidedTexts.push_back(testing_support::ItemText(hDlg, IDC_TWOSIDED_NEXT));
                nButton = nTwoSidedAnswer;
            } else {
                ++m_nPrintDialogs;
            }
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nButton)));
            return true;
        });
        platform::SetAfxMessageBoxHandler([this, nBoxAnswer](LPCSTR text, UINT, UINT) {
            m_boxes.push_back(text);
            return nBoxAnswer;
        });
    }

    // A shirt whose front holds a black square and whose back a blue one,
    // printing one side per pass.
    CDrawDoc* NewShirtWithPause(CRecordingRect** ppFront, CRecordingRect** ppBack)
    {
        CDrawDoc* pDoc = NewDesign(m_pShirts);
        *ppFront = new CRecordingRect(CRect(100, 300, 200, 200));
        *ppBack = new CRecordingRect(CRect(-250, -100, -150, -200));
        (*ppBack)->m_logpen.lopnColor = RGB(0, 0, 255);
        (*ppBack)->m_logbrush.lbColor = RGB(0, 0, 255);
        pDoc->GetSurfaceView(0)->Add(*ppFront);
        pDoc->GetSurfaceView(1)->Add(*ppBack);
        pDoc->m_wSecondFlags |= CDrawDoc::PrintPauseBetweenSides;
        return pDoc;
    }

    CMultiDocTemplate* m_pShirts = nullptr;
    size_t m_nFiles = 0;
    int m_nPrintDialogs = 0;
    std::vector<std::string> m_boxes;
    std::vector<std::string> m_twoSidedTexts;
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

// The preview shows as many pages at once as the design calls for, not what
// an earlier preview left: a shirt's sides one at a time, the tiles of a
// tiled design two at a time.
TEST_F(SurfacePrintTest, PreviewShowsAsManyPagesAtOnceAsTheDesignCallsFor)
{
    auto* pTiles = new CMultiDocTemplate(
        IDR_DESIGNTYPE, RUNTIME_CLASS(CApparelDoc), RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
    App()->AddDocTemplate(pTiles);
    const auto pagesShown = [this](CDrawDoc* pDoc) -> UINT {
        // As the Two Page button of an earlier preview leaves it.
        App()->m_nNumPreviewPages = 2;
        FirstView(pDoc)->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
        CWnd* pPane = CWnd::FromHandlePermanent(::GetDlgItem(m_pMain->GetSafeHwnd(), AFX_IDW_PANE_FIRST));
        if (pPane == nullptr || !pPane->IsKindOf(RUNTIME_CLASS(CPreviewView)))
            return 0;
        auto* pPreview = static_cast<CPreviewView*>(pPane);
        const UINT nPages = pPreview->GetPageCount();
        pPreview->ClosePreview();
        Pump();
        return nPages;
    };
    CDrawDoc* pShirt = NewDesign(m_pShirts);
    ASSERT_EQ(pShirt->GetPrintPageCount(), 2);
    EXPECT_EQ(pagesShown(pShirt), 1u);

    CDrawDoc* pApparel = NewDesign(pTiles);
    DocQuickInfo info = pApparel->GetQuickInfo();
    info[DocQuickInfo::TilesAcross] = 2;
    info[DocQuickInfo::TilesDown] = 1;
    pApparel->SetQuickInfo(info);
    ASSERT_EQ(pApparel->GetPrintPageCount(), 2);
    EXPECT_EQ(pagesShown(pApparel), 2u);
    info[DocQuickInfo::TilesAcross] = 1;
    pApparel->SetQuickInfo(info);
    EXPECT_EQ(pagesShown(pApparel), 1u);
}

// A page whose drawing loses the printer DC's saved states ends the job
// there with a message: no later page is printed from a DC in an unknown
// state.
TEST_F(SurfacePrintTest, APageThatLosesTheDcsStateEndsTheJobThereAndSaysSo)
{
    // On its second page on paper it pops every state saved on the DC, as
    // drawing code that restores more than it saved would.
    class CStateLosingRect : public CRecordingRect {
    public:
        using CRecordingRect::CRecordingRect;
        void Draw(CDC* pDC) override
        {
            CRecordingRect::Draw(pDC);
            if (m_bLoseState && pDC->IsPrinting() && m_printed.size() == 2) {
                while (pDC->RestoreDC(-1)) {
                }
            }
        }
        BOOL m_bLoseState = TRUE;
    };
    auto* pTiles = new CMultiDocTemplate(
        IDR_DESIGNTYPE, RUNTIME_CLASS(CApparelDoc), RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
    App()->AddDocTemplate(pTiles);
    CDrawDoc* pDoc = NewDesign(pTiles);
    DocQuickInfo info = pDoc->GetQuickInfo();
    info[DocQuickInfo::TilesAcross] = 3;
    info[DocQuickInfo::TilesDown] = 1;
    pDoc->SetQuickInfo(info);
    ASSERT_EQ(pDoc->GetPrintPageCount(), 3);
    CSurface* pView = FirstView(pDoc);
    // Over every tile, so that each page draws it.
    auto* pObj = new CStateLosingRect(CRect(-20000, 20000, 20000, -20000));
    pView->Add(pObj);

    AnswerPasses({"tiles.pdf"});
    pView->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(pObj->m_printed.size(), 2u) << "the third page is not printed";
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0],
        "Printing has stopped: page 2 could not be drawn correctly, and the pages after it would print wrongly.");
    EXPECT_FALSE(g_bPrintError);
    EXPECT_TRUE(m_pMain->IsWindowEnabled());
    EXPECT_EQ(pObj->m_position, CRect(-20000, 20000, 20000, -20000));

    // The next job, whose pages keep the DC's state, prints every page.
    m_boxes.clear();
    pObj->m_printed.clear();
    pObj->m_bLoseState = FALSE;
    AnswerPasses({"again.pdf"});
    pView->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(pObj->m_printed.size(), 3u);
    EXPECT_TRUE(m_boxes.empty());
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

// A shirt that pauses between its sides prints its front in one pass and
// its back in the next, each where the one-pass sheet shows it and
// mirrored, asking once in between; afterwards nothing is left mirrored
// and the pass count is back outside printing.
TEST_F(SurfacePrintTest, PausedShirtPrintsFrontThenBackEachWhereTheOnePassSheetHasIt)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    CRecordingRect* pFrontObj = nullptr;
    CRecordingRect* pBackObj = nullptr;
    CDrawDoc* pDoc = NewShirtWithPause(&pFrontObj, &pBackObj);
    CSurface* pFront = pDoc->GetSurfaceView(0);
    ASSERT_TRUE(pFront->IsTransferPrint());
    CRect work;
    pFront->GetWorkArea(&work, 0);
    work.NormalizeRect();
    const int nAxis = work.left + work.right;
    const std::vector<BYTE> before = StoredDesign(pDoc);

    AnswerPasses({"front.pdf", "back.pdf"});
    pFront->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(m_nFiles, 2u);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], "Select OK to print the next page, Cancel to stop.");
    ASSERT_EQ(pFrontObj->m_printed.size(), 1u);
    ASSERT_EQ(pBackObj->m_printed.size(), 1u);
    EXPECT_EQ(pFrontObj->m_printed[0], CRect(nAxis - 100, 300, nAxis - 200, 200));
    EXPECT_EQ(pBackObj->m_printed[0], CRect(nAxis + 250, -100, nAxis + 150, -200));
    EXPECT_EQ(pDoc->m_nRemainingPasses, -1);
    EXPECT_EQ(pFrontObj->m_position, CRect(100, 300, 200, 200));
    EXPECT_EQ(pBackObj->m_position, CRect(-250, -100, -150, -200));
    EXPECT_TRUE(StoredDesign(pDoc) == before);
    EXPECT_TRUE(m_pMain->IsWindowEnabled());

    // The same design on one sheet, for the places.
    pDoc->m_wSecondFlags &= ~WORD(CDrawDoc::PrintPauseBetweenSides);
    AnswerPasses({"both.pdf"});
    pFront->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(m_boxes.size(), 1u) << "one pass asks nothing";

    Ppm front, back, both;
    ASSERT_TRUE(Render("front.pdf", front));
    ASSERT_TRUE(Render("back.pdf", back));
    ASSERT_TRUE(Render("both.pdf", both));
    const auto blackOnBoth = CentreOf(both, RGB(0, 0, 0));
    const auto blueOnBoth = CentreOf(both, RGB(0, 0, 255));
    ASSERT_GE(blackOnBoth.first, 0.0);
    ASSERT_GE(blueOnBoth.first, 0.0);
    const auto blackOnFront = CentreOf(front, RGB(0, 0, 0));
    EXPECT_NEAR(blackOnFront.first, blackOnBoth.first, 1.0);
    EXPECT_NEAR(blackOnFront.second, blackOnBoth.second, 1.0);
    EXPECT_EQ(CountNear(front, RGB(0, 0, 255)), 0) << "the back waits for its own pass";
    const auto blueOnBack = CentreOf(back, RGB(0, 0, 255));
    EXPECT_NEAR(blueOnBack.first, blueOnBoth.first, 1.0);
    EXPECT_NEAR(blueOnBack.second, blueOnBoth.second, 1.0);
    EXPECT_EQ(CountNear(back, RGB(0, 0, 0)), 0);
}

// The job ends after the front however the front's pass ends short of the
// back: Cancel at the question, the printer's file dialog cancelled
// (refused), or Cancel in the Printing box (aborted, and no question).
// Each time the pass count and the view's print mode end outside printing.
TEST_F(SurfacePrintTest, EveryWayTheFrontEndsShortEndsTheJob)
{
    // Presses the Printing box's Cancel while it prints, when asked to.
    class CCancellingRect : public CRecordingRect {
    public:
        using CRecordingRect::CRecordingRect;
        void Draw(CDC* pDC) override
        {
            CRecordingRect::Draw(pDC);
            HWND hStatus = m_bCancel && pDC->IsPrinting() ? ::FindWindow(NULL, "Printing") : NULL;
            if (hStatus != NULL) {
                HWND hCancel = ::GetDlgItem(hStatus, IDCANCEL);
                ::PostMessage(hStatus, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(hCancel));
            }
        }
        BOOL m_bCancel = FALSE;
    };
    CRecordingRect* pUnused = nullptr;
    CRecordingRect* pBackObj = nullptr;
    CDrawDoc* pDoc = NewShirtWithPause(&pUnused, &pBackObj);
    CSurface* pFront = pDoc->GetSurfaceView(0);
    auto* pFrontObj = new CCancellingRect(CRect(-300, 300, -200, 200));
    pFront->Add(pFrontObj);
    auto expectEndedAfterFront = [&](size_t nFrontPrints) {
        EXPECT_EQ(pFrontObj->m_printed.size(), nFrontPrints);
        EXPECT_TRUE(pBackObj->m_printed.empty());
        EXPECT_EQ(pDoc->m_nRemainingPasses, -1);
        EXPECT_EQ(pFront->m_nPrintMode, 0);
        EXPECT_TRUE(m_pMain->IsWindowEnabled());
    };

    AnswerPasses({"front.pdf", "back.pdf"}, IDCANCEL);
    pFront->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_nFiles, 1u);
    EXPECT_TRUE(CPrintState::PassPrinted());
    EXPECT_FALSE(std::ifstream(HostPathOf("back.pdf")).good());
    expectEndedAfterFront(1);

    m_boxes.clear();
    int nCancelled = 0;
    platform::headless::SetIdleHandler([&nCancelled, hMain = m_pMain->GetSafeHwnd()]() {
        HWND hDlg = ::GetActiveWindow();
        if (hDlg == NULL || hDlg == hMain || ::GetDlgItem(hDlg, IDCANCEL) == NULL)
            return false;
        ++nCancelled;
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDCANCEL)));
        return true;
    });
    pFront->PrintDocument(NULL, 1);
    EXPECT_EQ(nCancelled, 1);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(CPrintState::IsRefused());
    EXPECT_FALSE(CPrintState::IsAborted());
    expectEndedAfterFront(1);

    pFrontObj->m_bCancel = TRUE;
    AnswerPasses({"cancelled.pdf", "back.pdf"});
    pFront->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(m_nFiles, 1u);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(CPrintState::IsAborted());
    expectEndedAfterFront(2);
}

// A postcard goes back in turned over: between its sides the Two-Sided
// Printing dialog names the side that comes next, and its Cancel stops.
TEST_F(SurfacePrintTest, PostcardPausesWithTheTwoSidedDialogNamingTheBack)
{
    auto* pCards = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CPostcardDoc), RUNTIME_CLASS(CSurfaceFrame),
        RUNTIME_CLASS(CSurface));
    App()->AddDocTemplate(pCards);
    CDrawDoc* pDoc = NewDesign(pCards);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(pDoc->GetTwoSidedMethod(), 2);
    auto* pFrontObj = new CRecordingRect(CRect(-50, 50, 50, -50));
    auto* pBackObj = new CRecordingRect(CRect(-50, 50, 50, -50));
    pDoc->GetSurfaceView(0)->Add(pFrontObj);
    pDoc->GetSurfaceView(1)->Add(pBackObj);
    pDoc->m_wSecondFlags |= CDrawDoc::PrintPauseBetweenSides;

    AnswerPasses({"card-front.pdf", "card-back.pdf"});
    pDoc->GetSurfaceView(0)->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_TRUE(m_boxes.empty());
    ASSERT_EQ(m_twoSidedTexts.size(), 1u);
    EXPECT_EQ(m_twoSidedTexts[0], "Next to print: the Back.");
    EXPECT_EQ(pFrontObj->m_printed.size(), 1u);
    EXPECT_EQ(pBackObj->m_printed.size(), 1u);

    m_twoSidedTexts.clear();
    m_nFiles = 0;
    AnswerPasses({"card-front2.pdf", "card-back2.pdf"}, IDOK, IDCANCEL);
    pDoc->GetSurfaceView(0)->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(m_twoSidedTexts.size(), 1u);
    EXPECT_EQ(m_nFiles, 1u);
    EXPECT_EQ(pBackObj->m_printed.size(), 1u) << "the back was not printed again";
    EXPECT_EQ(pDoc->m_nRemainingPasses, -1);
}

// A failure that escapes the print loop still gives the view back its own
// document and print mode, the design its objects' own places and the main
// window its input.
TEST_F(SurfacePrintTest, AnEscapingFailureLeavesTheViewOnItsOwnDocumentAndTheMainWindowEnabled)
{
    class CThrowingRect : public CRecordingRect {
    public:
        using CRecordingRect::CRecordingRect;
        void Draw(CDC* pDC) override
        {
            CRecordingRect::Draw(pDC);
            if (pDC->IsPrinting())
                throw std::runtime_error("printer gone");
        }
    };
    CDrawDoc* pOwn = NewDesign();
    CSurface* pView = FirstView(pOwn);
    CDrawDoc* pShirt = NewDesign(m_pShirts);
    auto* pObj = new CThrowingRect(CRect(100, 300, 200, 200));
    // Off the sheet: the page marks it as not printed while it draws.
    auto* pAway = new CRecordingRect(CRect(5000, 5000, 5100, 4900));
    pShirt->GetSurfaceView(0)->Add(pAway);
    pShirt->GetSurfaceView(0)->Add(pObj);
    const WORD wAwayFlags = pAway->m_wFlags;
    pShirt->m_wSecondFlags |= CDrawDoc::PrintPauseBetweenSides;

    AnswerPasses({"thrown.pdf"});
    EXPECT_THROW(pView->PrintDocument(pShirt, 1), std::runtime_error);
    ASSERT_EQ(pObj->m_printed.size(), 1u);
    EXPECT_NE(pObj->m_printed[0], CRect(100, 300, 200, 200)) << "it was printed as a transfer";
    EXPECT_EQ(pView->GetDocument(), pOwn);
    EXPECT_EQ(pView->m_pDocOverride, nullptr);
    EXPECT_EQ(pView->m_nPrintMode, 0);
    EXPECT_EQ(pShirt->m_nRemainingPasses, -1);
    EXPECT_EQ(pObj->m_position, CRect(100, 300, 200, 200));
    EXPECT_EQ(pAway->m_wFlags, wAwayFlags) << "no page's mark stays on an object";
    EXPECT_TRUE(CPrintState::IsAborted());
    EXPECT_TRUE(m_boxes.empty()) << "no pass follows a failed one";
    EXPECT_TRUE(m_pMain->IsWindowEnabled());
}

// Print from the menu reaches the design view through the main window and
// prints the design once, after the print dialog and the file name.
TEST_F(SurfacePrintTest, PrintFromTheMenuPrintsOnce)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    ASSERT_EQ(GetActiveSurface(), pView);
    auto* pObj = new CRecordingRect(CRect(-100, 100, 100, -100));
    pView->Add(pObj);
    AnswerPasses({"menu.pdf"});
    m_pMain->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
    EXPECT_EQ(m_nPrintDialogs, 1);
    EXPECT_EQ(m_nFiles, 1u);
    EXPECT_EQ(pObj->m_printed.size(), 1u);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(std::ifstream(HostPathOf("menu.pdf")).good());
    EXPECT_FALSE(CPrintState::IsRefused());
    EXPECT_FALSE(CPrintState::IsAborted());
    EXPECT_EQ(pView->GetDocument(), pDoc);
}

} // namespace
} // namespace surfacetest
