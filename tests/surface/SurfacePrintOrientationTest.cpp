// A design prints on a sheet turned its own way, whichever road prints it,
// while the application's printer keeps the orientation its user chose.
// Designs of every kind, laid out on Letter by the page set-up, carry a red
// square in each corner of their page; the PDF-file printer's pages are
// measured with pdfinfo and rendered with pdftoppm, each once per batch.

#include "tests/surface/SurfacePrintTestSupport.h"

#include "app/main/DesignerApp.h"
#include "model/DocKinds.h"
#include "model/DrawRect.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Preview.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlgMisc.h"
#include "print/PageSetup.h"
#include "print/PrintSetupDlg.h"
#include "print/PrintState.h"
#include "tests/framework/PpmImage.h"
#include "tests/support/TestHome.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace surfacetest {
namespace {

constexpr COLORREF kInk = RGB(255, 0, 0);
// The corner squares' side and their distance from the page's edges, in
// hundredths of an inch; pages are rendered at half that many pixels.
constexpr int kSquare = 60;
constexpr int kInset = 75;
constexpr int kRenderDpi = 50;

struct KindCase {
    const char* pszName;
    CRuntimeClass* pClass;
    int nKind;
    BOOL bLandscape;
};

// Every kind in each orientation it can take; the mouse pad is always
// landscape.
const KindCase kCases[] = {
    {"shirt-portrait", RUNTIME_CLASS(CTovellDoc), DOC_KIND_SHIRT, FALSE},
    {"shirt-landscape", RUNTIME_CLASS(CTovellDoc), DOC_KIND_SHIRT, TRUE},
    {"apparel-portrait", RUNTIME_CLASS(CApparelDoc), DOC_KIND_APPAREL, FALSE},
    {"apparel-landscape", RUNTIME_CLASS(CApparelDoc), DOC_KIND_APPAREL, TRUE},
    {"mousepad-landscape", RUNTIME_CLASS(CMousepadDoc), DOC_KIND_MOUSEPAD, TRUE},
    {"calendar-portrait", RUNTIME_CLASS(CCalendarDoc), DOC_KIND_CALENDAR, FALSE},
    {"calendar-landscape", RUNTIME_CLASS(CCalendarDoc), DOC_KIND_CALENDAR, TRUE},
    {"label-portrait", RUNTIME_CLASS(CGiftTagDoc), DOC_KIND_LABEL, FALSE},
    {"label-landscape", RUNTIME_CLASS(CGiftTagDoc), DOC_KIND_LABEL, TRUE},
    {"general-portrait", RUNTIME_CLASS(CGeneralDoc), DOC_KIND_GENERAL, FALSE},
    {"general-landscape", RUNTIME_CLASS(CGeneralDoc), DOC_KIND_GENERAL, TRUE},
};

bool IsInk(COLORREF c)
{
    return GetRValue(c) > 160 && GetGValue(c) < 96 && GetBValue(c) < 96;
}

// The bounds of the page's red pixels; empty without any.
CRect InkBounds(const fwtest::PpmImage& image)
{
    CRect bounds(image.width, image.height, 0, 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!IsInk(image.At(x, y)))
                continue;
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.right = std::max<LONG>(bounds.right, x + 1);
            bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
        }
    }
    return bounds.left < bounds.right ? bounds : CRect(0, 0, 0, 0);
}

int InkCount(const fwtest::PpmImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            n += IsInk(image.At(x, y)) ? 1 : 0;
    return n;
}

// A filled red rectangle without an outline of another colour.
CDrawRect* NewInkSquare(const CRect& rect)
{
    auto* pRect = new CDrawRect(rect);
    pRect->m_logpen.lopnStyle = PS_SOLID;
    pRect->m_logpen.lopnColor = kInk;
    pRect->m_bFill = TRUE;
    pRect->m_logbrush.lbStyle = BS_SOLID;
    pRect->m_logbrush.lbColor = kInk;
    return pRect;
}

// The sheets of one printed file: the media box of each page, in points.
using MediaBoxes = std::vector<CSize>;

// A file printed from a design, with the design's orientation and page size.
struct PrintedFile {
    std::string name;
    BOOL bLandscape;
    CSize page;
};

class SurfacePrintOrientationTest : public SurfacePrintFixture {
protected:
    void SetUp() override
    {
        SurfacePrintFixture::SetUp();
        if (std::system("command -v pdftoppm > /dev/null 2>&1 && command -v pdfinfo > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "pdftoppm and pdfinfo (poppler-utils) are not installed";
    }

    CMultiDocTemplate* TemplateOf(CRuntimeClass* pClass)
    {
        CMultiDocTemplate*& pTemplate = m_templates[pClass];
        if (pTemplate == nullptr) {
            pTemplate =
                new CMultiDocTemplate(IDR_DESIGNTYPE, pClass, RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
            App()->AddDocTemplate(pTemplate);
        }
        return pTemplate;
    }

    // A new design of the case's kind laid out on Letter as the page set-up
    // lays it (a label sheet holds one large card), with a red square in
    // each corner of its first surface's page.
    CDrawDoc* NewDesignOf(const KindCase& kind)
    {
        CDrawDoc* pDoc = NewDesign(TemplateOf(kind.pClass));
        if (pDoc == nullptr)
            return nullptr;
        DocQuickInfo info = pDoc->GetQuickInfo();
        PageSetupChoice choice;
        choice.nKind = kind.nKind;
        choice.paper = PaperSize::Letter;
        choice.bLandscape = kind.bLandscape;
        choice.nCardWidth = kind.bLandscape ? 800 : 600;
        choice.nCardHeight = kind.bLandscape ? 600 : 800;
        ApplyPageLayout(info, choice, PageMargins{});
        pDoc->SetQuickInfo(info);
        pDoc->UpdatePrinterMetrics();
        pDoc->CreatePageGuideLines();
        Pump();
        CSurface* pView = pDoc->GetSurfaceView(0);
        const CSize page = PageSizeOf(pDoc);
        const int x = page.cx / 2 - kInset;
        const int y = page.cy / 2 - kInset;
        for (const CPoint& corner : {CPoint(-x, y), CPoint(x - kSquare, y), CPoint(-x, -y + kSquare),
                 CPoint(x - kSquare, -y + kSquare)})
            pView->Add(NewInkSquare(CRect(corner.x, corner.y, corner.x + kSquare, corner.y - kSquare)));
        return pDoc;
    }

    static CSize PageSizeOf(CDrawDoc* pDoc)
    {
        CRect page;
        pDoc->GetSurfaceView(0)->GetPageRect(&page);
        page.NormalizeRect();
        return page.Size();
    }

    // Answers every dialog of a print: the printer's file dialog with the
    // next of the names, every other dialog and every message box with OK.
    void AnswerPrintDialogs(std::vector<std::string> names)
    {
        const HWND hMain = m_pMain->GetSafeHwnd();
        m_nFiles = 0;
        m_boxes.clear();
        platform::headless::SetIdleHandler([this, names, hMain]() {
            HWND hDlg = ::GetActiveWindow();
            if (hDlg == NULL || hDlg == hMain || ::GetDlgItem(hDlg, IDOK) == NULL)
                return false;
            if (::GetDlgItem(hDlg, edt1) != NULL) {
                const std::string name = m_nFiles < names.size() ? names[m_nFiles] : "extra.pdf";
                ++m_nFiles;
                ::SetDlgItemText(hDlg, edt1, PathOf(name));
            }
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
            return true;
        });
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
    }

    // The media boxes of every page of each file, from one run of pdfinfo
    // over all of them.
    std::map<std::string, MediaBoxes> MediaBoxesOf(const std::vector<std::string>& names)
    {
        std::string command = "cd '" + m_dir + "' && for f in";
        for (const std::string& name : names)
            command += " '" + name + "'";
        command += "; do echo \"FILE $f\"; pdfinfo -f 1 -l 99 -box \"$f\" 2> /dev/null; done > boxes.txt";
        std::map<std::string, MediaBoxes> boxes;
        if (std::system(command.c_str()) != 0)
            return boxes;
        std::ifstream in(m_dir + "/boxes.txt");
        std::string line;
        std::string file;
        while (std::getline(in, line)) {
            if (line.rfind("FILE ", 0) == 0) {
                file = line.substr(5);
                boxes[file];
                continue;
            }
            int nPage = 0;
            double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            if (std::sscanf(line.c_str(), "Page %d MediaBox: %lf %lf %lf %lf", &nPage, &x1, &y1, &x2, &y2) == 5)
                boxes[file].push_back(CSize(int(std::lround(x2 - x1)), int(std::lround(y2 - y1))));
        }
        return boxes;
    }

    // The first page of each file rendered, from one run of a shell over
    // all of them.
    std::map<std::string, fwtest::PpmImage> RenderedPages(const std::vector<std::string>& names)
    {
        std::string command = "cd '" + m_dir + "' && for f in";
        for (const std::string& name : names)
            command += " '" + name + "'";
        command += "; do pdftoppm -r " + std::to_string(kRenderDpi) + " -f 1 -l 1 \"$f\" \"$f-page\" || exit 1; done";
        std::map<std::string, fwtest::PpmImage> pages;
        if (std::system(command.c_str()) != 0)
            return pages;
        for (const std::string& name : names) {
            fwtest::PpmImage image;
            if (fwtest::ReadPpm(m_dir + "/" + name + "-page-1.ppm", image))
                pages[name] = image;
        }
        return pages;
    }

    // Each file's every sheet is Letter turned the design's way, and its
    // first page shows the four corner squares whole: their ink spans the
    // page less the insets, nothing of it at the sheet's edge.
    void ExpectSheetsHoldTheirDesigns(const std::vector<PrintedFile>& files)
    {
        std::vector<std::string> names;
        for (const PrintedFile& file : files)
            names.push_back(file.name);
        const auto boxes = MediaBoxesOf(names);
        const auto rendered = RenderedPages(names);
        for (const PrintedFile& file : files) {
            SCOPED_TRACE(file.name);
            const auto box = boxes.find(file.name);
            ASSERT_NE(box, boxes.end());
            ASSERT_FALSE(box->second.empty()) << "pdfinfo read no page";
            const std::pair<LONG, LONG> letter = file.bLandscape ? std::make_pair(792, 612) : std::make_pair(612, 792);
            for (const CSize& sheet : box->second)
                EXPECT_EQ(std::make_pair(sheet.cx, sheet.cy), letter) << "points across and down";
            const auto page = rendered.find(file.name);
            ASSERT_NE(page, rendered.end());
            const fwtest::PpmImage& image = page->second;
            const CRect ink = InkBounds(image);
            ASSERT_FALSE(ink.IsRectEmpty()) << "no ink on the page";
            EXPECT_NEAR(ink.Width(), (file.page.cx - 2 * kInset) * kRenderDpi / 100.0, 2.0);
            EXPECT_NEAR(ink.Height(), (file.page.cy - 2 * kInset) * kRenderDpi / 100.0, 2.0);
            EXPECT_GT(ink.left, 0);
            EXPECT_GT(ink.top, 0);
            EXPECT_LT(ink.right, image.width);
            EXPECT_LT(ink.bottom, image.height);
            // Each square is whole, not cut by the sheet or the printable
            // area (its outline makes it a pixel wider).
            const double dSide = kSquare * kRenderDpi / 100.0 + 1;
            EXPECT_NEAR(InkCount(image), 4 * dSide * dSide, 4 * dSide * 2.0) << "the four squares' pixels";
            // A page the size of the sheet lies on it edge to edge: its far
            // squares as far from the far sides as its near ones from the
            // near sides.
            const CSize sheet = file.bLandscape ? CSize(1100, 850) : CSize(850, 1100);
            if (file.page == sheet) {
                const double dInset = kInset * kRenderDpi / 100.0;
                EXPECT_NEAR(ink.left, dInset, 2.0);
                EXPECT_NEAR(ink.top, dInset, 2.0);
                EXPECT_NEAR(image.width - ink.right, dInset, 2.0);
                EXPECT_NEAR(image.height - ink.bottom, dInset, 2.0);
            }
        }
    }

    // Whether the application's printer is landscape.
    BOOL AppPrinterLandscape()
    {
        CDC dc;
        if (!App()->CreatePrinterDC(dc))
            return FALSE;
        return dc.GetDeviceCaps(PHYSICALWIDTH) > dc.GetDeviceCaps(PHYSICALHEIGHT);
    }

    // Runs Print Setup, landscape chosen when asked, closed with nButton;
    // whether it opened on landscape.
    BOOL RunPrintSetup(int nButton, BOOL bChooseLandscape = FALSE)
    {
        BOOL bLandscape = FALSE;
        bool bSeen = false;
        platform::headless::SetIdleHandler([&]() {
            HWND h = ::GetActiveWindow();
            if (bSeen || h == NULL || ::GetDlgItem(h, PD_ID_LANDSCAPE) == NULL)
                return false;
            bLandscape = ::IsDlgButtonChecked(h, PD_ID_LANDSCAPE) == BST_CHECKED;
            if (bChooseLandscape)
                ::CheckRadioButton(h, PD_ID_PORTRAIT, PD_ID_LANDSCAPE, PD_ID_LANDSCAPE);
            ::PostMessage(h, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), LPARAM(::GetDlgItem(h, nButton)));
            bSeen = true;
            return true;
        });
        CPrintSetupDlg dlg(m_pMain);
        EXPECT_EQ(dlg.DoModal(), nButton);
        platform::headless::SetIdleHandler(nullptr);
        EXPECT_TRUE(bSeen) << "Print Setup did not show";
        return bLandscape;
    }

    std::map<CRuntimeClass*, CMultiDocTemplate*> m_templates;
    size_t m_nFiles = 0;
    std::vector<std::string> m_boxes;
};

// Print, from the view and from the menu, puts every kind's page on a sheet
// of its own orientation, whole; the application's printer and Print Setup
// stay portrait, as the user left them.
TEST_F(SurfacePrintOrientationTest, PrintPutsEveryKindOnASheetOfItsOwnOrientation)
{
    ASSERT_FALSE(AppPrinterLandscape());
    std::vector<PrintedFile> files;
    bool bFromMenu = false;
    for (const KindCase& kind : kCases) {
        SCOPED_TRACE(kind.pszName);
        CDrawDoc* pDoc = NewDesignOf(kind);
        ASSERT_NE(pDoc, nullptr);
        const std::string name = std::string(kind.pszName) + ".pdf";
        AnswerPrintDialogs({name});
        // The newest design is the active one, which the menu's Print reaches.
        if (bFromMenu)
            m_pMain->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
        else
            FirstView(pDoc)->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
        bFromMenu = !bFromMenu;
        EXPECT_EQ(m_nFiles, 1u);
        EXPECT_TRUE(m_boxes.empty());
        files.push_back({name, kind.bLandscape, PageSizeOf(pDoc)});
        pDoc->OnCloseDocument();
        Pump();
    }
    ExpectSheetsHoldTheirDesigns(files);
    EXPECT_FALSE(AppPrinterLandscape());
    EXPECT_FALSE(RunPrintSetup(IDCANCEL));
}

// Print Preview lays a landscape design on a landscape sheet and its Print
// prints it so; with the user's printer turned to landscape, a portrait
// design previews and prints portrait, and Print Setup still shows the
// user's landscape.
TEST_F(SurfacePrintOrientationTest, PreviewAndItsPrintTakeTheDesignsOrientation)
{
    const KindCase kinds[] = {kCases[10], kCases[9]};
    std::vector<PrintedFile> files;
    for (const KindCase& kind : kinds) {
        SCOPED_TRACE(kind.pszName);
        if (!kind.bLandscape)
            RunPrintSetup(IDOK, TRUE);
        ASSERT_EQ(AppPrinterLandscape(), !kind.bLandscape);
        CDrawDoc* pDoc = NewDesignOf(kind);
        ASSERT_NE(pDoc, nullptr);
        CSurface* pView = FirstView(pDoc);

        pView->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
        CWnd* pPane = CWnd::FromHandlePermanent(::GetDlgItem(m_pMain->GetSafeHwnd(), AFX_IDW_PANE_FIRST));
        ASSERT_NE(pPane, nullptr);
        ASSERT_TRUE(pPane->IsKindOf(RUNTIME_CLASS(CPreviewView)));
        auto* pPreview = static_cast<CPreviewView*>(pPane);
        const HDC hPrinter = pPreview->GetPrintInfo()->m_pPD->m_pd.hDC;
        ASSERT_NE(hPrinter, HDC(NULL));
        EXPECT_EQ(::GetDeviceCaps(hPrinter, PHYSICALWIDTH) > ::GetDeviceCaps(hPrinter, PHYSICALHEIGHT),
            bool(kind.bLandscape));
        pPane->UpdateWindow();

        const std::string name = std::string("preview-") + kind.pszName + ".pdf";
        AnswerPrintDialogs({name});
        pPreview->SendMessage(WM_COMMAND, AFX_ID_PREVIEW_PRINT, 0);
        Pump();
        EXPECT_EQ(m_nFiles, 1u);
        files.push_back({name, kind.bLandscape, PageSizeOf(pDoc)});
        EXPECT_EQ(AppPrinterLandscape(), !kind.bLandscape);
        pDoc->OnCloseDocument();
        Pump();
    }
    ExpectSheetsHoldTheirDesigns(files);
    EXPECT_TRUE(RunPrintSetup(IDCANCEL));
}

// A shirt printed one side per pass takes its orientation into every pass,
// through the print routine other parts call as through the view's own
// printing, and leaves the user's printer as it was.
TEST_F(SurfacePrintOrientationTest, EveryPassOfATwoSidedPrintTakesTheDesignsOrientation)
{
    std::vector<PrintedFile> files;
    for (const KindCase& kind : {kCases[1], kCases[0]}) {
        SCOPED_TRACE(kind.pszName);
        CDrawDoc* pDoc = NewDesignOf(kind);
        ASSERT_NE(pDoc, nullptr);
        // The back carries its own squares, at the same places.
        CSurface* pFront = pDoc->GetSurfaceView(0);
        CSurface* pBack = pDoc->GetSurfaceView(1);
        ASSERT_NE(pBack, nullptr);
        for (POSITION pos = pFront->GetObjects().GetHeadPosition(); pos != NULL;) {
            auto* pObj = static_cast<CDrawObj*>(pFront->GetObjects().GetNext(pos));
            pBack->Add(NewInkSquare(pObj->m_position));
        }
        pDoc->m_wSecondFlags |= CDrawDoc::PrintPauseBetweenSides;
        ASSERT_EQ(pDoc->GetPrintPassCount(), 2);

        const std::string front = std::string("front-") + kind.pszName + ".pdf";
        const std::string back = std::string("back-") + kind.pszName + ".pdf";
        AnswerPrintDialogs({front, back});
        if (kind.bLandscape)
            PrintInActiveSurface(pDoc, 1);
        else
            pFront->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
        EXPECT_EQ(m_nFiles, 2u);
        EXPECT_EQ(m_boxes.size(), 1u) << "one question between the passes";
        for (const std::string& name : {front, back})
            files.push_back({name, kind.bLandscape, PageSizeOf(pDoc)});
        pDoc->OnCloseDocument();
        Pump();
    }
    ExpectSheetsHoldTheirDesigns(files);
    EXPECT_FALSE(AppPrinterLandscape());
    EXPECT_FALSE(RunPrintSetup(IDCANCEL));
}

} // namespace
} // namespace surfacetest
