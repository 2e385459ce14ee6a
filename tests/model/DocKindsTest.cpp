#include "tests/model/ModelTestSupport.h"

#include "model/ProjectKinds.h"
#include "tests/app/StorageTestSupport.h"

#include <climits>
#include <cstring>

namespace modeltest {
namespace {

class DocKindsTest : public ModelTest {
protected:
    // A windowless document of the class with the layout and a surface list,
    // measured as if by a Letter printer with quarter-inch margins.
    template <class Doc>
    std::unique_ptr<Doc> Laid(const DocQuickInfo& info)
    {
        auto pDoc = MakeDoc<Doc>();
        pDoc->SetQuickInfo(info);
        pDoc->CreateSurfaceViews(pDoc->GetSurfaceCount());
        pDoc->m_sizePage = CSize(850, 1100);
        pDoc->m_rectMargins = CRect(25, 25, 25, 25);
        return pDoc;
    }
};

TEST_F(DocKindsTest, EachKindHasItsSurfacesPagesSidesAndIds)
{
    struct Kind {
        CRuntimeClass* pClass;
        const char* pszBase;
        int nKind;
        int nSurfaces;
        int nSides;
        UINT nResource;
        BOOL bTwoSided;
    };
    const Kind kinds[] = {
        {RUNTIME_CLASS(CTovellDoc), "CDrawDoc", 0, 2, 2, 470, TRUE},
        {RUNTIME_CLASS(CPostcardDoc), "CDrawDoc", 6, 2, 2, 470, TRUE},
        {RUNTIME_CLASS(CApparelDoc), "CDrawDoc", 1, 1, 1, 471, FALSE},
        {RUNTIME_CLASS(CMousepadDoc), "CDrawDoc", 2, 1, 1, 471, FALSE},
        {RUNTIME_CLASS(CCalendarDoc), "CDrawDoc", 3, 1, 1, 0, FALSE},
        {RUNTIME_CLASS(CGiftTagDoc), "CBusCardDoc", 4, 1, 1, 0, FALSE},
        {RUNTIME_CLASS(CGeneralDoc), "CDrawDoc", 5, 1, 1, 471, FALSE},
        {RUNTIME_CLASS(CPosterDoc), "CDrawDoc", 6, 1, 1, 471, FALSE},
        {RUNTIME_CLASS(CBusCardDoc), "CDrawDoc", 6, 1, 1, 0, FALSE},
    };
    for (const Kind& k : kinds) {
        std::unique_ptr<CDrawDoc> pDoc(dynamic_cast<CDrawDoc*>(k.pClass->CreateObject()));
        ASSERT_NE(pDoc, nullptr) << k.pClass->m_lpszClassName;
        pDoc->m_bAutoDelete = FALSE;
        const char* pszName = k.pClass->m_lpszClassName;
        EXPECT_STREQ(k.pClass->m_pBaseClass->m_lpszClassName, k.pszBase) << pszName;
        EXPECT_EQ(pDoc->GetDocKind(), k.nKind) << pszName;
        EXPECT_EQ(pDoc->GetSurfaceCount(), k.nSurfaces) << pszName;
        EXPECT_EQ(pDoc->GetSideCount(), k.nSides) << pszName;
        EXPECT_EQ(pDoc->GetPrintPageCount(), k.nSurfaces == 2 ? 2 : 1) << pszName;
        EXPECT_EQ(pDoc->GetKindResourceId(), k.nResource) << pszName;
        EXPECT_EQ(pDoc->GetSurfaceHintId(), k.bTwoSided ? 8016u : 0u) << pszName;
        EXPECT_EQ((pDoc->m_wDocFlags & DOC_FLAG_TWO_SIDED_KIND) != 0, k.bTwoSided) << pszName;
    }
}

TEST_F(DocKindsTest, PosterPagesAreItsTilesAndTilesOverlapByTheMargins)
{
    DocQuickInfo info = Layout(DOC_KIND_GENERAL);
    info[DocQuickInfo::TilesAcross] = 3;
    info[DocQuickInfo::TilesDown] = 2;
    auto pDoc = Laid<CGeneralDoc>(info);
    EXPECT_EQ(pDoc->GetPrintPageCount(), 6);
    EXPECT_EQ(pDoc->GetSurfaceSize(CSize(2400, 2000)), CSize(2300, 1950));

    info[DocQuickInfo::TilesAcross] = 1;
    info[DocQuickInfo::TilesDown] = 1;
    pDoc->SetQuickInfo(info);
    EXPECT_EQ(pDoc->GetPrintPageCount(), 1);
    EXPECT_EQ(pDoc->GetSurfaceSize(CSize(2400, 2000)), CSize(2400, 2000));

    // Margins wider than the tiles never leave a size of zero or less.
    info[DocQuickInfo::TilesAcross] = 4;
    pDoc->SetQuickInfo(info);
    pDoc->m_rectMargins = CRect(500, 0, 500, 0);
    EXPECT_EQ(pDoc->GetSurfaceSize(CSize(100, 100)), CSize(1, 100));
}

TEST_F(DocKindsTest, LabelLayoutCountsCardsAndCentresThem)
{
    DocQuickInfo info = Layout(DOC_KIND_LABEL);
    info[DocQuickInfo::CardWidth] = 400;
    info[DocQuickInfo::CardHeight] = 200;
    auto pDoc = Laid<CGiftTagDoc>(info);

    CRect margins(25, 25, 25, 25);
    EXPECT_EQ(pDoc->ComputeLabelSheetLayout(margins), CPoint(25, 25));
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::CardsAcross], 2);
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::CardsDown], 5);
    EXPECT_EQ(margins, CRect(25, 25, 25, 25));

    // Centred: 50 left over across and 100 down.
    info[DocQuickInfo::Centre] = 1;
    pDoc->SetQuickInfo(info);
    EXPECT_EQ(pDoc->ComputeLabelSheetLayout(margins), CPoint(0, -25));
    EXPECT_EQ(margins, CRect(0, 0, 0, 0));

    // A sheet narrower than one card still holds one.
    info[DocQuickInfo::Centre] = 0;
    info[DocQuickInfo::CardWidth] = 1000;
    info[DocQuickInfo::CardHeight] = 5000;
    pDoc->SetQuickInfo(info);
    margins = CRect(25, 25, 25, 25);
    pDoc->ComputeLabelSheetLayout(margins);
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::CardsAcross], 1);
    EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::CardsDown], 1);
}

TEST_F(DocKindsTest, LabelSetUpDefaultsOffsetsAndExchangesThemOnceForLandscape)
{
    DocQuickInfo info = Layout(DOC_KIND_LABEL);
    info[DocQuickInfo::Tiled] = 1;
    auto pPortrait = Laid<CGiftTagDoc>(info);
    const DocQuickInfo& p = pPortrait->GetQuickInfo();
    EXPECT_EQ(p[DocQuickInfo::OffsetX], 72);
    EXPECT_EQ(p[DocQuickInfo::OffsetY], 53);
    EXPECT_EQ(p[DocQuickInfo::GapX], 0);
    EXPECT_EQ(p[DocQuickInfo::GapY], 0);
    EXPECT_TRUE(pPortrait->m_wDocFlags & DOC_FLAG_TILED);

    // The set-up runs twice while the surfaces are made, and again later:
    // landscape values stay exchanged.
    info[DocQuickInfo::Orientation] = 0;
    info[DocQuickInfo::Tiled] = 0;
    info[DocQuickInfo::GapX] = 10;
    info[DocQuickInfo::GapY] = 30;
    auto pLandscape = Laid<CGiftTagDoc>(info);
    pLandscape->CreatePageGuideLines();
    const DocQuickInfo& l = pLandscape->GetQuickInfo();
    EXPECT_EQ(l[DocQuickInfo::OffsetX], 53);
    EXPECT_EQ(l[DocQuickInfo::OffsetY], 72);
    EXPECT_EQ(l[DocQuickInfo::GapX], 30);
    EXPECT_EQ(l[DocQuickInfo::GapY], 10);
    EXPECT_FALSE(pLandscape->m_wDocFlags & DOC_FLAG_TILED);

    // A copy of the record turned back to portrait (as Page Setup hands it
    // back) is laid back once.
    DocQuickInfo turned = l;
    turned[DocQuickInfo::Orientation] = 1;
    pLandscape->SetQuickInfo(turned);
    pLandscape->CreatePageGuideLines();
    pLandscape->CreatePageGuideLines();
    EXPECT_EQ(pLandscape->GetQuickInfo()[DocQuickInfo::OffsetX], 72);
    EXPECT_EQ(pLandscape->GetQuickInfo()[DocQuickInfo::GapX], 10);
}

TEST_F(DocKindsTest, TwoSidedSetUpClearsOffsetsAndTurnsTheLandscapeBack)
{
    struct Case {
        CRuntimeClass* pClass;
        LONG nOrientation;
        WORD wPrinting;
        int nBackAngle;
    };
    const Case cases[] = {
        {RUNTIME_CLASS(CTovellDoc), 0, 0, 180},
        // The shirt's back stays upright when the printing option is set.
        {RUNTIME_CLASS(CTovellDoc), 0, PRINT_PREF_OPTION, 0},
        {RUNTIME_CLASS(CTovellDoc), 1, 0, 0},
        // Any other kind always asks for the turn.
        {RUNTIME_CLASS(CPostcardDoc), 0, PRINT_PREF_OPTION, 180},
    };
    for (const Case& c : cases) {
        thePrintPrefs.Printing = c.wPrinting;
        std::unique_ptr<CDrawDoc> pDoc(dynamic_cast<CDrawDoc*>(c.pClass->CreateObject()));
        pDoc->m_bAutoDelete = FALSE;
        DocQuickInfo info = Layout(pDoc->GetDocKind());
        info[DocQuickInfo::Orientation] = c.nOrientation;
        info[DocQuickInfo::OffsetX] = 40;
        info[DocQuickInfo::GapY] = 12;
        info[DocQuickInfo::Tiled] = 1;
        pDoc->SetQuickInfo(info);
        pDoc->m_nCurrentSurface = 1;
        pDoc->CreateSurfaceViews(pDoc->GetSurfaceCount());

        ASSERT_EQ(pDoc->GetSurfaceInfoCount(), 2);
        EXPECT_EQ(pDoc->GetSurfaceInfo(0)->m_nAngle, 0);
        EXPECT_EQ(pDoc->GetSurfaceInfo(1)->m_nAngle, c.nBackAngle) << c.pClass->m_lpszClassName;
        EXPECT_EQ(pDoc->m_nCurrentSurface, 0);
        EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::OffsetX], 0);
        EXPECT_EQ(pDoc->GetQuickInfo()[DocQuickInfo::GapY], 0);
        EXPECT_TRUE(pDoc->m_wDocFlags & DOC_FLAG_TILED);
    }
}

TEST_F(DocKindsTest, SurfaceNamesComeFromTheSeparatedString)
{
    auto pShirt = MakeDoc<CTovellDoc>();
    EXPECT_EQ(pShirt->GetSurfaceName(0), CString());
    pShirt->CreateSurfaces();
    EXPECT_EQ(pShirt->GetSurfaceName(0), CString("Front"));
    EXPECT_EQ(pShirt->GetSurfaceName(1), CString("Back"));
    EXPECT_EQ(pShirt->GetSurfaceName(2), CString());
    EXPECT_EQ(pShirt->GetSurfaceName(-1), CString());
    EXPECT_FALSE(pShirt->SetSurfaceNames(65000));
    EXPECT_EQ(pShirt->GetSurfaceName(1), CString("Back"));

    // One surface: only the first name counts.
    auto pGeneral = MakeDoc<CGeneralDoc>();
    ASSERT_TRUE(pGeneral->SetSurfaceNames(IDS_SURFACE_NAMES));
    EXPECT_EQ(pGeneral->GetSurfaceName(0), CString("Front"));
    EXPECT_EQ(pGeneral->GetSurfaceName(1), CString());
}

TEST_F(DocKindsTest, BasePagePlacesTheCardAtTheMarginsOrCentresIt)
{
    DocQuickInfo info = Layout(DOC_KIND_NONE);
    info[DocQuickInfo::CardWidth] = 800;
    info[DocQuickInfo::CardHeight] = 1000;
    auto pDoc = Laid<CDrawDoc>(info);
    pDoc->m_sizeCachedSurface = CSize(800, 1000);

    PagePrintInfo page;
    CRect margins(25, 25, 25, 25);
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.ptOrigin, CPoint(375, 475));
    EXPECT_EQ(page.rectPage, CRect(25, 25, 25, 25));
    EXPECT_TRUE(page.bFirstPage);

    info[DocQuickInfo::Centre] = 1;
    pDoc->SetQuickInfo(info);
    page.nPage = 2;
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.ptOrigin, CPoint(400, 525));
    EXPECT_EQ(margins, CRect(0, 0, 0, 0));
    EXPECT_FALSE(page.bFirstPage);
}

TEST_F(DocKindsTest, LabelPageStartsAtTheFirstCardOffset)
{
    DocQuickInfo info = Layout(DOC_KIND_LABEL);
    info[DocQuickInfo::CardWidth] = 400;
    info[DocQuickInfo::CardHeight] = 200;
    auto pDoc = Laid<CGiftTagDoc>(info);
    pDoc->m_sizeCachedSurface = CSize(400, 200);

    PagePrintInfo page;
    CRect margins(25, 25, 25, 25);
    pDoc->PreparePrintPage(0, page, margins);
    // Offsets 72, 53 from the unset record; two cards across, five down.
    EXPECT_EQ(page.ptOrigin, CPoint(200 + 72 - 25, 100 + 53 - 25));
    EXPECT_EQ(page.rectPage, CRect(72, 53, 0, 47));
    EXPECT_TRUE(page.bFirstPage);

    info[DocQuickInfo::Centre] = 1;
    pDoc->SetQuickInfo(info);
    pDoc->CreatePageGuideLines();
    margins = CRect(25, 25, 25, 25);
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.ptOrigin, CPoint(200, 125));
    EXPECT_EQ(page.rectPage, CRect(0, 0, 0, 0));
}

TEST_F(DocKindsTest, PosterPageIsOnePrintableTile)
{
    DocQuickInfo info = Layout(DOC_KIND_GENERAL);
    info[DocQuickInfo::TilesAcross] = 3;
    info[DocQuickInfo::TilesDown] = 2;
    auto pDoc = Laid<CGeneralDoc>(info);
    pDoc->m_sizeCachedSurface = pDoc->GetSurfaceSize(CSize(2000, 2000)); // 1900 x 1950

    PagePrintInfo page;
    page.nPage = 5; // second column, second row
    CRect margins(25, 25, 25, 25);
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.ptOrigin, CPoint(950 - 825, 975 - 1075));
    EXPECT_EQ(page.rectPage, CRect(825, -1075, 1625, -2125));
    EXPECT_TRUE(page.bPageIsArea);
    EXPECT_FALSE(page.bFirstPage);

    // A page number past the last tile prints the last tile.
    page.nPage = 99;
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.rectPage.left, 25 + 1600);
}

TEST_F(DocKindsTest, TwoSidedPageOffsetsFollowThePaperFeed)
{
    DocQuickInfo info = Layout(DOC_KIND_SHIRT);
    info[DocQuickInfo::CardWidth] = 800;
    info[DocQuickInfo::CardHeight] = 1000;
    auto pDoc = Laid<CTovellDoc>(info);
    pDoc->m_sizeCachedSurface = CSize(800, 1000);
    pDoc->m_sizePage = CSize(900, 1200);

    struct Case {
        LONG nFeed;
        int nSurface;
        CPoint ptOffset;
    };
    // Portrait sheet 850 wide on a printer page 900 wide; the layout origin
    // is the 25 margin.
    const Case cases[] = {
        {1, 0, CPoint(25, 0)},
        {1, 1, CPoint(0, 0)},
        {2, 0, CPoint(0, 0)},
        {2, 1, CPoint(-25, 0)},
        {0, 0, CPoint(50, 0)},
        {0, 1, CPoint(25, 0)},
    };
    thePrintPrefs.Printing = 0;
    for (const Case& c : cases) {
        pDoc->m_nPaperFeed = c.nFeed;
        PagePrintInfo page;
        page.nPage = 2;
        CRect margins(25, 25, 25, 25);
        pDoc->PreparePrintPage(c.nSurface, page, margins);
        EXPECT_EQ(page.ptFeedOffset, c.ptOffset) << c.nFeed << " " << c.nSurface;
        EXPECT_EQ(page.ptOrigin, CPoint(375, 475));
        EXPECT_EQ(page.bFirstPage, c.nSurface == 1);
    }

    // Landscape: the feed moves the page down instead.
    info[DocQuickInfo::Orientation] = 0;
    pDoc->SetQuickInfo(info);
    pDoc->m_nPaperFeed = 2;
    PagePrintInfo page;
    CRect margins(25, 25, 25, 25);
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.ptFeedOffset, CPoint(0, 100));
}

TEST_F(DocKindsTest, TwoSidedPageWithoutFeedOffsetsPlacesTheOriginOnTheSheet)
{
    thePrintPrefs.Printing = PRINT_PREF_OPTION; // the shirt then takes no feed offset
    DocQuickInfo info = Layout(DOC_KIND_SHIRT);
    info[DocQuickInfo::CardWidth] = 800;
    info[DocQuickInfo::CardHeight] = 500;
    auto pDoc = Laid<CTovellDoc>(info);
    pDoc->m_sizeCachedSurface = CSize(800, 500);

    struct Case {
        LONG nFeed;
        int nSurface;
        CPoint ptOrigin;
    };
    const Case cases[] = {
        {1, 0, CPoint(425 - 25, 250 - 25)},
        {2, 0, CPoint(450 - 25, 250 - 25)},
        {2, 1, CPoint(400 - 25, 250 - 25)},
        {0, 0, CPoint(400 - 25, 250 - 25)},
        // The back of a portrait sheet sits at the foot of the last whole card.
        {0, 1, CPoint(400 - 25, 1100 - 250 - 100 - 25)},
    };
    for (const Case& c : cases) {
        pDoc->m_nPaperFeed = c.nFeed;
        PagePrintInfo page;
        CRect margins(25, 25, 25, 25);
        pDoc->PreparePrintPage(c.nSurface, page, margins);
        EXPECT_EQ(page.ptOrigin, c.ptOrigin) << c.nFeed << " " << c.nSurface;
        EXPECT_EQ(page.ptFeedOffset, CPoint(0, 0));
    }

    // A sheet smaller than six inches each way is placed on Letter.
    info[DocQuickInfo::SheetWidth] = 500;
    info[DocQuickInfo::SheetHeight] = 400;
    pDoc->SetQuickInfo(info);
    pDoc->m_nPaperFeed = 1;
    PagePrintInfo page;
    CRect margins(25, 25, 25, 25);
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.ptOrigin.x, 425 - 25);
}

TEST_F(DocKindsTest, TurnedBackExchangesItsMarginsAndTiledSheetsStopEarly)
{
    thePrintPrefs.Printing = 0;
    DocQuickInfo info = Layout(DOC_KIND_SHIRT);
    info[DocQuickInfo::Orientation] = 0;
    auto pDoc = Laid<CTovellDoc>(info);
    ASSERT_EQ(pDoc->GetSurfaceInfo(1)->m_nAngle, 180);
    pDoc->m_nPaperFeed = 0;

    PagePrintInfo page;
    CRect margins(10, 20, 30, 40);
    pDoc->PreparePrintPage(1, page, margins);
    EXPECT_EQ(page.rectPage, CRect(30, 40, 10, 20));

    info[DocQuickInfo::Tiled] = 1;
    pDoc->SetQuickInfo(info);
    pDoc->m_sizePage = CSize(1300, 900);
    pDoc->PreparePrintPage(0, page, margins);
    EXPECT_EQ(page.ptFeedOffset, CPoint(0, 0));
}

TEST_F(DocKindsTest, ValuesWrittenStraightIntoTheRecordNeverDivideByZeroOrOverflow)
{
    for (CRuntimeClass* pClass : {RUNTIME_CLASS(CTovellDoc), RUNTIME_CLASS(CGeneralDoc), RUNTIME_CLASS(CGiftTagDoc),
             RUNTIME_CLASS(CDrawDoc)}) {
        std::unique_ptr<CDrawDoc> pDoc(dynamic_cast<CDrawDoc*>(pClass->CreateObject()));
        pDoc->m_bAutoDelete = FALSE;
        pDoc->CreateSurfaceViews(pDoc->GetSurfaceCount());
        for (LONG nBad : {LONG(0), LONG(-1), LONG(INT_MIN), LONG(INT_MAX)}) {
            // As a reader that skipped the checks would leave it.
            for (LONG& value : pDoc->m_quickInfo.values)
                value = nBad;
            pDoc->m_quickInfo[DocQuickInfo::Kind] = 0;
            for (UINT nPage : {0u, 1u, 7u}) {
                PagePrintInfo page;
                page.nPage = nPage;
                CRect margins(25, 25, 25, 25);
                pDoc->PreparePrintPage(nPage % 2, page, margins);
            }
            CRect margins(25, 25, 25, 25);
            pDoc->ComputeLabelSheetLayout(margins);
            EXPECT_GE(pDoc->m_quickInfo[DocQuickInfo::CardsAcross], 1);
            EXPECT_GE(pDoc->GetPrintPageCount(), 1);
            EXPECT_LE(pDoc->GetPrintPageCount(), LAYOUT_MAX_TILES * LAYOUT_MAX_TILES);
            pDoc->CreatePageGuideLines();
            pDoc->UpdatePrinterMetrics();
            EXPECT_GE(pDoc->m_sizeCachedSurface.cx, 1);
        }
    }
}

class IdentifyDocumentFileTest : public storage_test::StorageTest {};

TEST_F(IdentifyDocumentFileTest, KnowsEachKindByItsClassId)
{
    for (int nKind = 0; nKind < kDocKindCount; ++nKind) {
        const std::string path = NewPath("design.shr");
        storage_test::WriteCompoundFile(path, GetDocKindClassId(nKind).clsid, {{"Contents", "x"}});
        EXPECT_EQ(IdentifyDocumentFile(path.c_str()), nKind);
        const std::string alt = NewPath("alt.shr");
        storage_test::WriteCompoundFile(alt, GetDocKindAltClassId(nKind), {});
        EXPECT_EQ(IdentifyDocumentFile(alt.c_str()), nKind);
    }
}

TEST_F(IdentifyDocumentFileTest, AnythingElseIsNoKind)
{
    const std::string dir = testing_support::MakeTempDir("kinds");
    testing_support::WriteFileBytes(dir + "/plain.txt", "Just some text\r\n");
    EXPECT_EQ(IdentifyDocumentFile(platform::WindowsPathFor(dir + "/plain.txt").c_str()), DOC_KIND_NONE);

    CLSID other;
    std::memset(&other, 0x5A, sizeof other);
    const std::string path = NewPath("other.shr");
    storage_test::WriteCompoundFile(path, other, {});
    EXPECT_EQ(IdentifyDocumentFile(path.c_str()), DOC_KIND_NONE);

    EXPECT_EQ(IdentifyDocumentFile(NewPath("missing.shr").c_str()), DOC_KIND_NONE);
    EXPECT_EQ(IdentifyDocumentFile(nullptr), DOC_KIND_NONE);
}

} // namespace
} // namespace modeltest
