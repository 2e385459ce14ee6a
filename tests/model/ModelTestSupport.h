#pragma once
// Shared set-up of the drawing document's tests: a headless program with the
// program's resources, documents made by their run-time classes (no window)
// or through a design template with the real surface frame and views, a
// view that records the update hints, and preferences restored after each
// test.

#include "tests/framework/FrameworkTestSupport.h"

#include "app/PrefData.h"
#include "app/PrintPrefData.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "model/SurfaceInfo.h"
#include "platform/gdi/PrinterDc.h"
#include "platform/services/Printers.h"
#include "platform/ui/CommDlgMisc.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"
#include "surface/SurfaceGlobals.h"
#include "tests/model/ObjectState.h"
#include "platform/files/HostPath.h"
#include "tests/support/TestHome.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <set>
#include <vector>

namespace modeltest {

// A view without a window that keeps every hint its document sends.
class CHintRecorder : public CView {
public:
    struct Hint {
        LPARAM lHint;
        CObject* pHint;
    };
    std::vector<Hint> m_hints;

    int Count(LPARAM lHint) const
    {
        int n = 0;
        for (const Hint& h : m_hints)
            n += h.lHint == lHint ? 1 : 0;
        return n;
    }

protected:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM lHint, CObject* pHint) override { m_hints.push_back({lHint, pHint}); }
    // The test owns it; no window ever deletes it.
    void PostNcDestroy() override {}
};

// Owns a windowless document of class Doc.
template <class Doc>
std::unique_ptr<Doc> MakeDoc()
{
    std::unique_ptr<Doc> pDoc(static_cast<Doc*>(Doc::CreateObject()));
    // The test deletes it; taking a recording view off must not close it.
    pDoc->m_bAutoDelete = FALSE;
    return pDoc;
}

class ModelTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        fwtest::FrameworkTest::SetUp();
        threadwick::RegisterResources();
        m_savedFlags = thePrefs.Flags;
        m_savedAddlFlags = thePrefs.AddlFlags;
        m_savedGrid = thePrefs.GridSpacing;
        m_savedPrinting = thePrintPrefs.Printing;
    }

    void TearDown() override
    {
        thePrefs.Flags = m_savedFlags;
        thePrefs.AddlFlags = m_savedAddlFlags;
        thePrefs.GridSpacing = m_savedGrid;
        thePrintPrefs.Printing = m_savedPrinting;
        CDrawDoc::SetPrinterUnavailableForTests(FALSE);
        platform::SetPrinterListProvider(nullptr);
        platform::SetPrinterDevModeProvider(nullptr);
        platform::SetPrinterMetricsProvider(nullptr);
        platform::SetPrinterSourceForTests(nullptr);
        fwtest::FrameworkTest::TearDown();
    }

    // A page-layout record of a kind: Letter portrait, one card the size of
    // the sheet, one tile, offsets and gaps unset.
    static DocQuickInfo Layout(int nKind)
    {
        DocQuickInfo info;
        InitDocQuickInfo(info);
        info[DocQuickInfo::Kind] = nKind;
        info[DocQuickInfo::Orientation] = 1;
        info[DocQuickInfo::SheetWidth] = 850;
        info[DocQuickInfo::SheetHeight] = 1100;
        info[DocQuickInfo::TilesAcross] = 1;
        info[DocQuickInfo::TilesDown] = 1;
        info[DocQuickInfo::CardWidth] = 850;
        info[DocQuickInfo::CardHeight] = 1100;
        info[DocQuickInfo::OffsetX] = -1;
        info[DocQuickInfo::OffsetY] = -1;
        info[DocQuickInfo::GapX] = -1;
        info[DocQuickInfo::GapY] = -1;
        return info;
    }

    WORD m_savedFlags = 0;
    WORD m_savedAddlFlags = 0;
    int m_savedGrid = 0;
    WORD m_savedPrinting = 0;
};

// Documents in windows: an MDI main frame and a template per kind.
class WindowModelTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        CWinApp& app = MakeApp();
        m_pMain = new CMDIFrameWnd;
        ASSERT_TRUE(m_pMain->Create(NULL, "Threadwick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1200, 1000)));
        if (m_pMain->m_hWndMDIClient == NULL) {
            ASSERT_TRUE(m_pMain->CreateClient(nullptr, nullptr));
        }
        app.m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
    }

    // A new untitled design of class pDocClass in its own frame.
    CDrawDoc* NewDesign(CRuntimeClass* pDocClass)
    {
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, pDocClass, RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CSurface));
        App()->AddDocTemplate(pTemplate);
        CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
        Pump();
        return dynamic_cast<CDrawDoc*>(pDoc);
    }

    static CSurface* ViewOf(CDrawDoc* pDoc, int n) { return pDoc->GetSurfaceView(n); }

    static int CountObjects(CSurface* pView, WORD wFlags = 0)
    {
        int n = 0;
        const CObList& objects = pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;) {
            auto* pObj = static_cast<CDrawObj*>(objects.GetNext(pos));
            n += (pObj->m_wFlags & wFlags) == wFlags ? 1 : 0;
        }
        return n;
    }

    CMDIFrameWnd* m_pMain = nullptr;
};

// A new general design in its frame with its first view shown at 100%,
// the surface's shared state reset before and after.
class DesignViewTest : public WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        ResetSurfaceGlobals();
        // The views these tests draw have the whole frame, without rulers.
        thePrefs.AddlFlags &= ~WORD(PREF_ADDL_RULERS);
        BeforeOpening();
        m_pDoc = NewDesign(RUNTIME_CLASS(CGeneralDoc));
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = ViewOf(m_pDoc, 0);
        ASSERT_NE(m_pView, nullptr);
        ASSERT_NE(m_pView->m_hWnd, nullptr);
        SetZoom(100);
    }
    void TearDown() override
    {
        ResetSurfaceGlobals();
        WindowModelTest::TearDown();
    }

    // Preferences a test wants set before the design opens; the base
    // restores them after the test.
    virtual void BeforeOpening() {}

    void SetZoom(int nZoom)
    {
        m_pDoc->SetZoom(nZoom);
        Pump();
        ASSERT_EQ(m_pView->GetZoom(), nZoom);
    }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
};

// A white bitmap of the view's client size, prepared as the view prepares
// its DC, drawn into through the view's mapping and read back in device
// pixels.
class ViewBitmap {
public:
    explicit ViewBitmap(CSurface* pView)
    {
        pView->GetClientRect(&m_client);
        CClientDC screen(pView);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, m_client.Width(), m_client.Height());
        m_pOld = m_dc.SelectObject(&m_bitmap);
        pView->OnPrepareDC(&m_dc, NULL);
        Clear();
    }
    ~ViewBitmap() { m_dc.SelectObject(m_pOld); }
    ViewBitmap(const ViewBitmap&) = delete;
    ViewBitmap& operator=(const ViewBitmap&) = delete;

    // Whitens the whole bitmap, whatever the mapping.
    void Clear()
    {
        const int nSaved = m_dc.SaveDC();
        m_dc.SetMapMode(MM_TEXT);
        m_dc.SetViewportOrg(0, 0);
        m_dc.SetWindowOrg(0, 0);
        m_dc.FillSolidRect(&m_client, RGB(255, 255, 255));
        m_dc.RestoreDC(nSaved);
    }
    CDC* Dc() { return &m_dc; }
    CPoint ToDevice(CPoint logical)
    {
        m_dc.LPtoDP(&logical);
        return logical;
    }
    CPoint ToDevice(int x, int y) { return ToDevice(CPoint(x, y)); }
    COLORREF At(CPoint device)
    {
        const int nSaved = m_dc.SaveDC();
        m_dc.SetMapMode(MM_TEXT);
        m_dc.SetViewportOrg(0, 0);
        m_dc.SetWindowOrg(0, 0);
        const COLORREF cr = m_dc.GetPixel(device.x, device.y) & 0xFFFFFF;
        m_dc.RestoreDC(nSaved);
        return cr;
    }
    COLORREF At(int x, int y) { return At(ToDevice(x, y)); }
    COLORREF AtLogical(CPoint logical) { return At(ToDevice(logical)); }
    // The pixels of a device rectangle, row by row.
    std::vector<COLORREF> Pixels(const CRect& device)
    {
        std::vector<COLORREF> out;
        for (int y = device.top; y < device.bottom; ++y)
            for (int x = device.left; x < device.right; ++x)
                out.push_back(At(CPoint(x, y)));
        return out;
    }
    // Around a logical point, within r device pixels.
    std::vector<COLORREF> Around(int x, int y, int r)
    {
        const CPoint c = ToDevice(x, y);
        return Pixels(CRect(c.x - r, c.y - r, c.x + r + 1, c.y + r + 1));
    }
    // The colours found around a logical point, within r device pixels.
    std::set<COLORREF> ColorsAround(CPoint logical, int r)
    {
        const std::vector<COLORREF> pixels = Around(logical.x, logical.y, r);
        return std::set<COLORREF>(pixels.begin(), pixels.end());
    }

private:
    CRect m_client;
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
};

// What the view's objects look like on paper: drawn by draw into the test
// printer's PDF at the view's page mapping and rendered by pdftoppm at
// nDpi. At() takes logical units (hundredths of an inch from the page's
// centre, y up); the printable area starts a quarter inch in.
class PrintedPage {
public:
    // FALSE (with the reason in m_strError) when it could not be printed
    // or rendered; pdftoppm missing is m_bNoRenderer.
    bool Print(CSurface* pView, const std::function<void(CDC*)>& draw, int nDpi)
    {
        if (std::system("pdftoppm -v > /dev/null 2>&1") != 0) {
            m_bNoRenderer = true;
            return false;
        }
        m_nDpi = nDpi;
        m_size = pView->GetPageSize();
        HDC hPrinter = ::CreateDC("WINSPOOL", "Test Printer", NULL, NULL);
        if (hPrinter == NULL)
            return Fail("no test printer");
        const std::string folder = testing_support::MakeTempDir("printed");
        const std::string pdf = platform::WindowsPathFor(folder + "/page.pdf");
        DOCINFO di{sizeof(DOCINFO), "Page", pdf.c_str(), nullptr, 0};
        if (::StartDoc(hPrinter, &di) <= 0 || ::StartPage(hPrinter) <= 0) {
            ::DeleteDC(hPrinter);
            return Fail("the page could not start");
        }
        {
            CDC dc;
            dc.Attach(hPrinter);
            dc.m_bPrinting = TRUE;
            pView->OnPrepareDC(&dc, nullptr);
            draw(&dc);
            dc.Detach();
        }
        const bool bEnded = ::EndPage(hPrinter) > 0 && ::EndDoc(hPrinter) > 0;
        ::DeleteDC(hPrinter);
        if (!bEnded)
            return Fail("the page could not end");
        m_nPdfBytes = std::filesystem::file_size(folder + "/page.pdf");
        const std::string command = "pdftoppm -r " + std::to_string(nDpi) + " '" + folder + "/page.pdf' '" + folder
            + "/page' 2> /dev/null";
        if (std::system(command.c_str()) != 0)
            return Fail("pdftoppm failed");
        const std::string bytes = testing_support::ReadFileBytes(folder + "/page-1.ppm");
        int nMax = 0;
        int nUsed = 0;
        if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &m_nWidth, &m_nHeight, &nMax, &nUsed) != 3 || nMax != 255)
            return Fail("not a P6 picture");
        const size_t start = size_t(nUsed) + 1;
        const size_t size = size_t(m_nWidth) * size_t(m_nHeight) * 3;
        if (bytes.size() < start + size)
            return Fail("the picture is cut short");
        m_rgb = bytes.substr(start, size);
        return true;
    }
    // The pixel at device (x, y) of the rendered page; white outside it.
    COLORREF Pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
            return RGB(255, 255, 255);
        const size_t i = (size_t(y) * size_t(m_nWidth) + size_t(x)) * 3;
        return RGB(BYTE(m_rgb[i]), BYTE(m_rgb[i + 1]), BYTE(m_rgb[i + 2]));
    }
    // The pixel under a logical point.
    COLORREF At(int x, int y) const
    {
        const int nMargin = m_nDpi / 4;
        return Pixel((x + m_size.cx / 2) * m_nDpi / 100 + nMargin, (m_size.cy / 2 - y) * m_nDpi / 100 + nMargin);
    }

    int m_nWidth = 0;
    int m_nHeight = 0;
    uintmax_t m_nPdfBytes = 0;
    bool m_bNoRenderer = false;
    std::string m_strError;

private:
    bool Fail(const char* pszWhy)
    {
        m_strError = pszWhy;
        return false;
    }
    int m_nDpi = 100;
    CSize m_size;
    std::string m_rgb;
};

} // namespace modeltest
