#include "tests/model/ModelTestSupport.h"

#include "app/main/DesignerApp.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/GlobalMemory.h"
#include "platform/services/PrintServices.h"

#include <climits>

namespace modeltest {
namespace {

class DrawDocTest : public ModelTest {};

class CRecordingCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_nEnabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    int m_nEnabled = -1;
};

TEST_F(DrawDocTest, NewDocumentTakesItsDefaults)
{
    thePrefs.Flags = PREF_FLAG_GRID_LINES | PREF_FLAG_INCHES;
    thePrefs.GridSpacing = 250;
    auto pDoc = MakeDoc<CDrawDoc>();

    EXPECT_TRUE(pDoc->IsCompoundFile());
    EXPECT_EQ(pDoc->GetZoom(), 0);
    EXPECT_EQ(pDoc->m_nZoomCompanion, 1);
    EXPECT_EQ(pDoc->m_crMarginLine, COLORREF(0x0000FF));
    EXPECT_EQ(pDoc->m_crValueB, COLORREF(0x800000));
    EXPECT_EQ(pDoc->m_crValueD, COLORREF(0xFF0000));
    EXPECT_EQ(pDoc->GetPaperColor(), COLORREF(0xFFFFFF));
    EXPECT_EQ(pDoc->m_nFileVersion, 29);
    EXPECT_EQ(pDoc->m_nReservedIndex, -1);
    EXPECT_EQ(pDoc->m_nReserved8, 8);
    EXPECT_EQ(pDoc->m_nPrinterOrientation, 0);
    EXPECT_EQ(pDoc->GetGridSpacing(), 250);
    EXPECT_TRUE(pDoc->m_strDesignText.IsEmpty());
    EXPECT_EQ(pDoc->m_pMergeSource, nullptr);
    EXPECT_TRUE(pDoc->m_bNativeRecord);
    // Grid lines come from the preferences; 0x0200 is always set and 0x0002
    // never; the unset record's value 8 (0) asks for the rulers.
    EXPECT_EQ(pDoc->m_wDocFlags, DOC_FLAG_GRID_LINES | DOC_FLAG_0200 | DOC_FLAG_RULERS);
    EXPECT_EQ(pDoc->GetDocKind(), DOC_KIND_NONE);
    EXPECT_EQ(pDoc->GetSurfaceCount(), 0);
    EXPECT_EQ(pDoc->GetPrintPageCount(), 1);
    EXPECT_EQ(pDoc->GetSideCount(), 1);
    EXPECT_EQ(pDoc->GetKindResourceId(), 0u);
    EXPECT_EQ(pDoc->GetSurfaceHintId(), 0u);
}

TEST_F(DrawDocTest, CopiesTheApplicationsLayoutAndNormalisesValueEight)
{
    auto& app = MakeApp<CDesignerApp>();
    DocQuickInfo& current = app.GetDocQuickInfo();
    current = Layout(DOC_KIND_LABEL);
    current[DocQuickInfo::Rulers] = 7;
    current[DocQuickInfo::CardWidth] = 400;

    auto pDoc = MakeDoc<CGiftTagDoc>();
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::Kind], DOC_KIND_LABEL);
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::CardWidth], 400);
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::Rulers], 1);
    EXPECT_FALSE(pDoc->m_wDocFlags & DOC_FLAG_RULERS);
    // The application's record is copied, not shared.
    EXPECT_EQ(current[DocQuickInfo::Rulers], 7);

    current[DocQuickInfo::Rulers] = 0;
    auto pRulers = MakeDoc<CGiftTagDoc>();
    EXPECT_EQ(pRulers->GetQuickInfo()[DocQuickInfo::Rulers], 0);
    EXPECT_TRUE(pRulers->m_wDocFlags & DOC_FLAG_RULERS);
}

TEST_F(DrawDocTest, GridSpacingIsAbsoluteAndDefaultedUnlessFixed)
{
    struct Case {
        WORD wFlags;
        int nSpacing;
        int nExpected;
    };
    const Case cases[] = {
        {PREF_FLAG_INCHES, 0, 500},
        {0, 0, 393},
        {0, -250, 250},
        {PREF_FLAG_INCHES, 125, 125},
        // A fixed grid keeps a spacing of 0.
        {PREF_FLAG_DEFAULT_GRID, 0, 0},
        {0, INT_MIN, INT_MAX},
    };
    for (const Case& c : cases) {
        thePrefs.Flags = c.wFlags;
        thePrefs.GridSpacing = c.nSpacing;
        auto pDoc = MakeDoc<CDrawDoc>();
        EXPECT_EQ(pDoc->GetGridSpacing(), c.nExpected) << c.wFlags << " " << c.nSpacing;
        EXPECT_EQ((pDoc->m_wDocFlags & DOC_FLAG_FIXED_GRID) != 0, (c.wFlags & PREF_FLAG_DEFAULT_GRID) != 0);
    }
    // Set later, the spacing follows the same rule.
    thePrefs.Flags = 0;
    auto pDoc = MakeDoc<CDrawDoc>();
    pDoc->SetGridSpacing(-40);
    EXPECT_EQ(pDoc->GetGridSpacing(), 40);
    pDoc->SetGridSpacing(0);
    EXPECT_EQ(pDoc->GetGridSpacing(), 393);
}

TEST_F(DrawDocTest, LayoutRecordIsNormalisedWhenSet)
{
    auto pDoc = MakeDoc<CPosterDoc>();
    DocQuickInfo info = Layout(DOC_KIND_GENERAL);
    info[DocQuickInfo::Orientation] = 0;
    info[DocQuickInfo::SheetWidth] = 0;
    info[DocQuickInfo::SheetHeight] = -5;
    info[DocQuickInfo::CardWidth] = 0;
    info[DocQuickInfo::CardHeight] = 2000000;
    info[DocQuickInfo::TilesAcross] = 0;
    info[DocQuickInfo::TilesDown] = 100000;
    info[DocQuickInfo::Centre] = 9;
    info[DocQuickInfo::OffsetX] = -1;
    info[DocQuickInfo::GapX] = -30;
    pDoc->SetQuickInfo(info);

    const DocQuickInfo& q = pDoc->GetQuickInfo();
    // A landscape sheet without a size is Letter on its side; a card without
    // a size covers the sheet.
    EXPECT_EQ(q[DocQuickInfo::SheetWidth], 1100);
    EXPECT_EQ(q[DocQuickInfo::SheetHeight], 850);
    EXPECT_EQ(q[DocQuickInfo::CardWidth], 1100);
    EXPECT_EQ(q[DocQuickInfo::CardHeight], LAYOUT_MAX_SIZE);
    EXPECT_EQ(q[DocQuickInfo::TilesAcross], 1);
    EXPECT_EQ(q[DocQuickInfo::TilesDown], LAYOUT_MAX_TILES);
    EXPECT_EQ(q[DocQuickInfo::Centre], 1);
    EXPECT_EQ(q[DocQuickInfo::OffsetX], -1);
    EXPECT_EQ(q[DocQuickInfo::GapX], 0);
    EXPECT_EQ(pDoc->GetPrintPageCount(), LAYOUT_MAX_TILES);
}

TEST_F(DrawDocTest, ZoomIsClampedAndOnlyAChangeSendsHintTen)
{
    auto pDoc = MakeDoc<CDrawDoc>();
    CHintRecorder recorder;
    pDoc->AddView(&recorder);

    pDoc->SetZoom(0);
    EXPECT_EQ(pDoc->GetZoom(), 0);
    EXPECT_TRUE(recorder.m_hints.empty());

    pDoc->SetZoom(700);
    EXPECT_EQ(pDoc->GetZoom(), 500);
    EXPECT_EQ(recorder.Count(HINT_ZOOM_OR_SURFACE), 1);
    pDoc->SetZoom(500);
    pDoc->SetZoom(900);
    EXPECT_EQ(recorder.Count(HINT_ZOOM_OR_SURFACE), 1);

    pDoc->SetZoom(1);
    EXPECT_EQ(pDoc->GetZoom(), 1);
    pDoc->SetZoom(-20);
    EXPECT_EQ(pDoc->GetZoom(), 1);
    EXPECT_EQ(recorder.Count(HINT_ZOOM_OR_SURFACE), 2);

    pDoc->SetZoom(0);
    EXPECT_EQ(pDoc->GetZoom(), 0);
    EXPECT_EQ(recorder.Count(HINT_ZOOM_OR_SURFACE), 3);
    EXPECT_EQ(recorder.m_hints.size(), 3u);
}

TEST_F(DrawDocTest, PaperColourAndObjectChangesSendTheirHints)
{
    auto pDoc = MakeDoc<CDrawDoc>();
    CHintRecorder recorder;
    pDoc->AddView(&recorder);

    pDoc->SetPaperColor(RGB(255, 255, 255));
    EXPECT_TRUE(recorder.m_hints.empty());
    pDoc->SetPaperColor(RGB(10, 20, 30));
    ASSERT_EQ(recorder.m_hints.size(), 1u);
    EXPECT_EQ(recorder.m_hints[0].lHint, HINT_PAPER_COLOR);

    CDrawRect obj(CRect(0, 100, 100, 0));
    obj.Invalidate(); // no document yet: nothing happens
    EXPECT_EQ(recorder.m_hints.size(), 1u);
    obj.m_pDocument = pDoc.get();
    obj.Invalidate();
    ASSERT_EQ(recorder.m_hints.size(), 2u);
    EXPECT_EQ(recorder.m_hints[1].lHint, HINT_OBJECT);
    EXPECT_EQ(recorder.m_hints[1].pHint, &obj);
}

TEST_F(DrawDocTest, MeasuresTheDefaultPdfPrinterWithoutAnApplication)
{
    auto pDoc = MakeDoc<CTovellDoc>();
    DocQuickInfo info = Layout(DOC_KIND_SHIRT);
    info[DocQuickInfo::CardWidth] = 750;
    info[DocQuickInfo::CardHeight] = 1000;
    pDoc->SetQuickInfo(info);
    pDoc->UpdatePrinterMetrics();

    // A Letter sheet printed to a quarter inch of each edge.
    EXPECT_EQ(pDoc->m_sizePage, CSize(850, 1100));
    EXPECT_EQ(pDoc->m_rectMargins, CRect(25, 25, 25, 25));
    EXPECT_EQ(pDoc->m_nPrinterOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(pDoc->m_sizeCachedSurface, CSize(750, 1000));
}

TEST_F(DrawDocTest, MeasuresTheApplicationsPrinterAndWritesTheOrientation)
{
    platform::SetPrinterSourceForTests([](platform::PrinterQuery) {
        platform::PrinterDestination lab;
        lab.name = "lab";
        lab.isDefault = true;
        platform::PrinterSheet sheet;
        sheet.media = "A4";
        sheet.width = 210000;
        sheet.length = 297000;
        sheet.margins = platform::SheetMargins{12700, 12700, 12700, 12700};
        lab.sheet = sheet;
        return std::vector<platform::PrinterDestination>{lab};
    });
    platform::InstallPrinterServices();
    CWinApp& app = MakeApp();

    auto pDoc = MakeDoc<CTovellDoc>();
    pDoc->SetQuickInfo(Layout(DOC_KIND_SHIRT));
    pDoc->UpdatePrinterMetrics();
    EXPECT_NEAR(pDoc->m_sizePage.cx, 827, 1);
    EXPECT_NEAR(pDoc->m_sizePage.cy, 1169, 1);
    EXPECT_NEAR(pDoc->m_rectMargins.left, 50, 1);
    EXPECT_NEAR(pDoc->m_rectMargins.top, 50, 1);
    EXPECT_NEAR(pDoc->m_rectMargins.right, 50, 1);
    EXPECT_NEAR(pDoc->m_rectMargins.bottom, 50, 1);

    // A landscape design measures the sheet on its side; the application's
    // printer keeps the orientation the user chose.
    DocQuickInfo landscape = Layout(DOC_KIND_SHIRT);
    landscape[DocQuickInfo::Orientation] = 0;
    pDoc->SetQuickInfo(landscape);
    pDoc->UpdatePrinterMetrics();
    EXPECT_EQ(pDoc->m_nPrinterOrientation, DMORIENT_LANDSCAPE);
    EXPECT_NEAR(pDoc->m_sizePage.cx, 1169, 1);
    EXPECT_NEAR(pDoc->m_sizePage.cy, 827, 1);
    ASSERT_NE(app.m_hDevMode, HGLOBAL(NULL));
    auto* pDevMode = static_cast<DEVMODEA*>(GlobalLock(app.m_hDevMode));
    EXPECT_EQ(pDevMode->dmOrientation, DMORIENT_PORTRAIT);
    GlobalUnlock(app.m_hDevMode);
}

TEST_F(DrawDocTest, WithoutAPrinterTheMarginsAreAQuarterInch)
{
    CDrawDoc::SetPrinterUnavailableForTests(TRUE);
    auto pDoc = MakeDoc<CTovellDoc>();
    DocQuickInfo info = Layout(DOC_KIND_SHIRT);
    info[DocQuickInfo::SheetWidth] = 827;
    info[DocQuickInfo::SheetHeight] = 1169;
    pDoc->SetQuickInfo(info);
    pDoc->m_rectMargins = CRect(1, 2, 3, 4);
    pDoc->UpdatePrinterMetrics();
    EXPECT_EQ(pDoc->m_rectMargins, CRect(25, 25, 25, 25));
    // The design's own sheet stands for the printer's page.
    EXPECT_EQ(pDoc->m_sizePage, CSize(827, 1169));
    EXPECT_EQ(pDoc->m_nPrinterOrientation, 0);
}

TEST_F(DrawDocTest, OrientationIsWrittenOnlyForAKindAndADevModeThatTakesIt)
{
    auto pDoc = MakeDoc<CDrawDoc>();
    DEVMODEA dm{};
    dm.dmFields = DM_ORIENTATION;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    // No kind (6): the printer stays as it is.
    EXPECT_FALSE(pDoc->ApplyOrientation(&dm, DMORIENT_LANDSCAPE));
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);

    DocQuickInfo info = Layout(DOC_KIND_GENERAL);
    info[DocQuickInfo::Orientation] = 0;
    pDoc->SetQuickInfo(info);
    EXPECT_FALSE(pDoc->ApplyOrientation(nullptr));
    EXPECT_TRUE(pDoc->ApplyOrientation(&dm));
    EXPECT_EQ(dm.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_FALSE(pDoc->ApplyOrientation(&dm));
    EXPECT_TRUE(pDoc->ApplyOrientation(&dm, DMORIENT_PORTRAIT));
    EXPECT_EQ(pDoc->m_nPrinterOrientation, DMORIENT_PORTRAIT);

    dm.dmFields = 0;
    EXPECT_FALSE(pDoc->ApplyOrientation(&dm, DMORIENT_LANDSCAPE));
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
}

TEST_F(DrawDocTest, PrintableRectangleInDeviceUnitsFollowsTheFeedOffset)
{
    auto pDoc = MakeDoc<CDrawDoc>();
    pDoc->m_sizePage = CSize(850, 1100);
    pDoc->m_rectMargins = CRect(25, 50, 25, 50);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    const int dpiX = dc.GetDeviceCaps(LOGPIXELSX);
    const int dpiY = dc.GetDeviceCaps(LOGPIXELSY);

    PagePrintInfo info;
    info.ptFeedOffset = CPoint(100, 0);
    EXPECT_EQ(pDoc->GetPageRectDP(&dc, info), CRect(0, 0, MulDiv(800, dpiX, 100), MulDiv(1000, dpiY, 100)));
    // The DC's own mapping is left as it was.
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);

    pDoc->m_nPaperFeed = 2;
    EXPECT_EQ(pDoc->GetPageRectDP(&dc, info),
        CRect(MulDiv(100, dpiX, 100), 0, MulDiv(900, dpiX, 100), MulDiv(1000, dpiY, 100)));
}

TEST_F(DrawDocTest, FoldingInstructionsKeepTheDesignUnmodified)
{
    auto pDoc = MakeDoc<CDrawDoc>();
    pDoc->SetModifiedFlag(TRUE);
    EXPECT_TRUE(pDoc->IsModified());
    pDoc->m_wDocFlags |= DOC_FLAG_FOLDING;
    pDoc->SetModifiedFlag(TRUE);
    EXPECT_FALSE(pDoc->IsModified());
}

TEST_F(DrawDocTest, TitleCarriesItsSuffixesOnce)
{
    auto pDoc = MakeDoc<CDrawDoc>();
    pDoc->SetTitle("Shirt1");
    pDoc->m_strDesignText = "For Ann";
    pDoc->UpdateTitle();
    pDoc->UpdateTitle();
    EXPECT_EQ(pDoc->GetTitle(), CString("Shirt1 (For Ann)"));

    pDoc->m_wDocFlags |= DOC_FLAG_PREDESIGNED;
    pDoc->m_strDesignText.Empty();
    pDoc->UpdateTitle();
    EXPECT_EQ(pDoc->GetTitle(), CString("Shirt1 <predesigned>"));

    pDoc->m_wDocFlags |= DOC_FLAG_FOLDING;
    pDoc->UpdateTitle();
    EXPECT_EQ(pDoc->GetTitle(), CString("Shirt1 <folding instructions>"));
    EXPECT_FALSE(pDoc->IsLogo());

    pDoc->SetTitle("(Logo) Acme");
    EXPECT_TRUE(pDoc->IsLogo());
}

TEST_F(DrawDocTest, AFailedSaveLeavesAPredesignedDesignPredesigned)
{
    thePrefs.AddlFlags = 0;
    auto pDoc = MakeDoc<CDrawDoc>();
    pDoc->m_wDocFlags |= DOC_FLAG_PREDESIGNED | DOC_FLAG_FOLDING;
    // The library's path is never written over: the user is asked for a
    // name, which nobody gives here.
    EXPECT_FALSE(pDoc->DoSave("C:\\designs\\library.shr"));
    EXPECT_TRUE(pDoc->m_bSavedAsPredesigned);
    EXPECT_TRUE(pDoc->m_wDocFlags & DOC_FLAG_PREDESIGNED);
    EXPECT_FALSE(pDoc->m_wDocFlags & DOC_FLAG_FOLDING);
}

TEST_F(DrawDocTest, SaveAndSaveAsAreOffered)
{
    auto pDoc = MakeDoc<CTovellDoc>();
    for (UINT nID : {UINT(ID_FILE_SAVE), UINT(ID_FILE_SAVE_AS)}) {
        CRecordingCmdUI ui;
        ui.m_nID = nID;
        ui.DoUpdate(pDoc.get(), TRUE);
        EXPECT_NE(ui.m_nEnabled, 0) << nID;
    }
}

TEST_F(DrawDocTest, LinesDrawTheirDiagonalAndOtherShapesTheirOutline)
{
    HDC hScreen = ::GetDC(NULL);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(CDC::FromHandle(hScreen)));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(CDC::FromHandle(hScreen), 40, 40));
    ::ReleaseDC(NULL, hScreen);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));

    CDrawRect line(CRect(5, 10, 35, 10), SHAPE_LINE);
    line.Draw(&dc);
    EXPECT_EQ(dc.GetPixel(20, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(dc.GetPixel(20, 11) & 0xFFFFFF, 0xFFFFFFu);

    // A shape draws its frame and leaves the inside alone.
    CDrawRect frame(CRect(5, 35, 35, 20));
    frame.Draw(&dc);
    EXPECT_EQ(dc.GetPixel(5, 28) & 0xFFFFFF, 0u);
    EXPECT_EQ(dc.GetPixel(20, 28) & 0xFFFFFF, 0xFFFFFFu);

    // Without its outline nothing is drawn.
    CDrawRect hidden(CRect(0, 2, 40, 2), SHAPE_LINE);
    hidden.m_bOutline = FALSE;
    hidden.Draw(&dc);
    EXPECT_EQ(dc.GetPixel(20, 2) & 0xFFFFFF, 0xFFFFFFu);
    dc.SelectObject(pOld);
}

TEST_F(DrawDocTest, PageOrderAndDuplexFollowTheKind)
{
    auto pGeneral = MakeDoc<CDrawDoc>();
    CDWordArray order;
    pGeneral->AllocPageArray(order);
    ASSERT_EQ(order.GetSize(), 1);
    EXPECT_EQ(order[0], 0u);
    pGeneral->m_wDocFlags |= DOC_FLAG_DUPLEX;
    pGeneral->SetDuplexFlag();
    EXPECT_FALSE(pGeneral->m_wDocFlags & DOC_FLAG_DUPLEX);

    auto pShirt = MakeDoc<CTovellDoc>();
    pShirt->AllocPageArray(order);
    ASSERT_EQ(order.GetSize(), 2);
    EXPECT_EQ(order[1], 1u);
    pShirt->SetDuplexFlag();
    EXPECT_TRUE(pShirt->m_wDocFlags & DOC_FLAG_DUPLEX);
}

} // namespace
} // namespace modeltest
