// Page Setup: the layout each project kind gets from a choice of paper,
// orientation and label size; the sheet run on a design's working copy (OK
// changes it, Cancel leaves it); and the new-blank-design path, which opens
// a document of the chosen kind with the chosen layout.

#include "print/PageSetup.h"

#include "app/main/DocTemplates.h"
#include "controls/ChoiceGrid.h"
#include "model/DocQuickInfo.h"
#include "model/DrawDoc.h"
#include "platform/framework/PropertySheet.h"
#include "print/PageSetupSheet.h"
#include "resources/resource.h"
#include "tests/main/AppTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Q = DocQuickInfo;

DocQuickInfo Layout(int nKind, PaperSize paper, BOOL bLandscape, LONG cardW = kDefaultLabelWidth,
    LONG cardH = kDefaultLabelHeight, PageMargins margins = PageMargins{})
{
    DocQuickInfo info;
    InitDocQuickInfo(info);
    PageSetupChoice choice;
    choice.nKind = nKind;
    choice.paper = paper;
    choice.bLandscape = bLandscape;
    choice.nCardWidth = cardW;
    choice.nCardHeight = cardH;
    ApplyPageLayout(info, choice, margins);
    return info;
}

TEST(PageLayout, EachKindGetsItsSheetAndCard)
{
    struct Row {
        int kind;
        PaperSize paper;
        BOOL landscape;
        LONG orientation, sheetW, sheetH, cardW, cardH, centre;
    };
    const Row rows[] = {
        // Shirt transfers cover the printable part of the sheet.
        {0, PaperSize::Letter, FALSE, 1, 850, 1100, 800, 1050, 1},
        {0, PaperSize::A4, TRUE, 0, 1169, 827, 1119, 777, 1},
        {1, PaperSize::Letter, FALSE, 1, 850, 1100, 850, 1100, 0},
        {1, PaperSize::A4, TRUE, 0, 1169, 827, 1169, 827, 0},
        // A mouse pad is landscape whatever was asked.
        {2, PaperSize::Letter, FALSE, 0, 1100, 850, 925, 775, 1},
        {2, PaperSize::A4, TRUE, 0, 1169, 827, 925, 775, 1},
        {3, PaperSize::Letter, TRUE, 0, 1100, 850, 1100, 850, 0},
        {4, PaperSize::Letter, FALSE, 1, 850, 1100, 400, 200, 1},
        {5, PaperSize::A4, FALSE, 1, 827, 1169, 827, 1169, 0},
        // No kind, or a kind out of range, is a general project.
        {6, PaperSize::Letter, FALSE, 1, 850, 1100, 850, 1100, 0},
        {-1, PaperSize::Letter, FALSE, 1, 850, 1100, 850, 1100, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "kind " << r.kind);
        DocQuickInfo info = Layout(r.kind, r.paper, r.landscape);
        EXPECT_EQ(r.kind >= 0 && r.kind <= 5 ? r.kind : 5, info[Q::Kind]);
        EXPECT_EQ(0, info[Q::Unset]);
        EXPECT_EQ(r.orientation, info[Q::Orientation]);
        EXPECT_EQ(r.sheetW, info[Q::SheetWidth]);
        EXPECT_EQ(r.sheetH, info[Q::SheetHeight]);
        EXPECT_EQ(r.cardW, info[Q::CardWidth]);
        EXPECT_EQ(r.cardH, info[Q::CardHeight]);
        EXPECT_EQ(r.centre, info[Q::Centre]);
        EXPECT_EQ(1, info[Q::TilesAcross]);
        EXPECT_EQ(1, info[Q::TilesDown]);
        EXPECT_EQ(0, info[Q::Tiled]);
        // Offsets and gaps are left for the label set-up to fill.
        EXPECT_EQ(-1, info[Q::OffsetX]);
        EXPECT_EQ(-1, info[Q::GapX]);
    }
}

TEST(PageLayout, OutOfRangeValuesAreBroughtIntoRange)
{
    // Labels fit on the sheet and are never thinner than the least side.
    DocQuickInfo huge = Layout(4, PaperSize::Letter, FALSE, 5000, 1);
    EXPECT_EQ(850, huge[Q::CardWidth]);
    EXPECT_EQ(kMinLabelSide, huge[Q::CardHeight]);
    DocQuickInfo negative = Layout(4, PaperSize::Letter, TRUE, -400, -200);
    EXPECT_EQ(kMinLabelSide, negative[Q::CardWidth]);
    EXPECT_EQ(kMinLabelSide, negative[Q::CardHeight]);

}

TEST(PageLayout, ExistingLabelPlacementSurvivesUnlessTheKindChanges)
{
    DocQuickInfo info = Layout(4, PaperSize::Letter, FALSE);
    info[Q::OffsetX] = 30;
    info[Q::OffsetY] = 40;
    info[Q::GapX] = 5;
    info[Q::GapY] = 6;
    info[Q::Rulers] = 1;
    PageSetupChoice choice = ChoiceFromLayout(info, 4);
    choice.nCardWidth = 300;
    ApplyPageLayout(info, choice, PageMargins{});
    EXPECT_EQ(300, info[Q::CardWidth]);
    EXPECT_EQ(30, info[Q::OffsetX]);
    EXPECT_EQ(6, info[Q::GapY]);
    EXPECT_EQ(1, info[Q::Rulers]) << "values the sheet does not own are kept";

    choice.nKind = 5;
    ApplyPageLayout(info, choice, PageMargins{});
    EXPECT_EQ(-1, info[Q::OffsetX]);
    EXPECT_EQ(-1, info[Q::GapX]);
    EXPECT_EQ(0, info[Q::GapY]);
}

TEST(PageLayout, ChoiceReadBackFromALayoutIsTheChoice)
{
    for (int kind = 0; kind <= 5; ++kind) {
        for (PaperSize paper : {PaperSize::Letter, PaperSize::A4}) {
            for (BOOL landscape : {FALSE, TRUE}) {
                DocQuickInfo info = Layout(kind, paper, landscape, 325, 150);
                PageSetupChoice back = ChoiceFromLayout(info, kind);
                EXPECT_EQ(kind, back.nKind);
                EXPECT_EQ(paper, back.paper) << kind;
                EXPECT_EQ(landscape || kind == 2, back.bLandscape) << kind;
                if (kind == 4) {
                    EXPECT_EQ(325, back.nCardWidth);
                    EXPECT_EQ(150, back.nCardHeight);
                }
            }
        }
    }
    // A record that was never set up gives the kind's defaults.
    DocQuickInfo fresh;
    InitDocQuickInfo(fresh);
    PageSetupChoice defaults = ChoiceFromLayout(fresh, 2);
    EXPECT_TRUE(defaults.bLandscape);
    EXPECT_EQ(kDefaultLabelWidth, ChoiceFromLayout(fresh, 4).nCardWidth);
}

TEST(PageLayout, WithoutAPrinterMarginsAre25)
{
    ASSERT_EQ(nullptr, AfxGetApp());
    PageMargins margins = DefaultPrinterMargins();
    EXPECT_EQ(25, margins.left);
    EXPECT_EQ(25, margins.top);
    EXPECT_EQ(25, margins.right);
    EXPECT_EQ(25, margins.bottom);
    EXPECT_EQ(PaperSize::Letter, DefaultPaperSize());
}

// ---- The sheet ----------------------------------------------------------------------------------

// Runs one step per idle turn against the active window (the sheet).
void RunSteps(std::vector<std::function<void(HWND)>> steps)
{
    auto next = std::make_shared<size_t>(0);
    platform::headless::SetIdleHandler([steps = std::move(steps), next]() {
        HWND hSheet = ::GetActiveWindow();
        if (!hSheet || *next >= steps.size())
            return false;
        steps[(*next)++](hSheet);
        return true;
    });
}

HWND Page(HWND hSheet, int nPage)
{
    ::SendMessage(hSheet, PSM_SETCURSEL, WPARAM(nPage), 0);
    return HWND(::SendMessage(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND Grid(HWND hPage, int nNumber)
{
    return ::GetDlgItem(hPage, int(CChoiceGrid::kFirstControlId) + nNumber);
}

CChoiceGrid* GridOf(HWND hPage, int nNumber)
{
    return dynamic_cast<CChoiceGrid*>(CWnd::FromHandlePermanent(Grid(hPage, nNumber)));
}

int Chosen(HWND hPage, int nNumber)
{
    CChoiceGrid* pGrid = GridOf(hPage, nNumber);
    return pGrid != nullptr ? pGrid->GetCurSel() : -2;
}

// A click of the mouse on a cell of a page's grid.
void ClickCell(HWND hPage, int nNumber, int nCell, bool bDouble = false)
{
    CChoiceGrid* pGrid = GridOf(hPage, nNumber);
    ASSERT_NE(nullptr, pGrid);
    POINT p = pGrid->GetCellRect(nCell).CenterPoint();
    ::ClientToScreen(pGrid->m_hWnd, &p);
    platform::headless::Click(p.x, p.y);
    if (bDouble)
        platform::headless::Click(p.x, p.y);
}

void Press(HWND hWnd, int nID)
{
    ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hWnd, nID)));
}

class PageSetupTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        apptest::TakePosted(MainWindow(), WM_COMMAND);
    }
};

TEST_F(PageSetupTest, OkChangesTheWorkingCopyAndCancelLeavesIt)
{
    DocQuickInfo copy = Layout(4, PaperSize::Letter, FALSE);
    const DocQuickInfo before = copy;

    BOOL kindEnabled = TRUE;
    RunSteps({
        [&](HWND h) { kindEnabled = ::IsWindowEnabled(Grid(Page(h, 0), kKindGridNumber)); },
        [&](HWND h) {
            HWND page = Page(h, 1);
            ClickCell(page, kPaperGridNumber, 1);
            ClickCell(page, kOrientationGridNumber, 1);
        },
        [&](HWND h) { ::SetDlgItemText(Page(h, 2), IDC_PS_CARD_WIDTH, "2.5"); },
        [&](HWND h) { Press(h, IDCANCEL); },
    });
    EXPECT_EQ(0, RunPageSetup(copy, m_app->m_pMainWnd));
    EXPECT_FALSE(kindEnabled) << "a design keeps its kind";
    for (int i = 0; i < Q::Count; ++i)
        EXPECT_EQ(before[i], copy[i]) << "value " << i;

    RunSteps({
        [&](HWND h) {
            HWND page = Page(h, 1);
            ClickCell(page, kPaperGridNumber, 1);
            ClickCell(page, kOrientationGridNumber, 1);
        },

        [&](HWND h) { ::SetDlgItemText(Page(h, 2), IDC_PS_CARD_WIDTH, "2.5"); },
        [&](HWND h) { Press(h, IDOK); },
    });
    EXPECT_EQ(IDOK, RunPageSetup(copy, m_app->m_pMainWnd));
    EXPECT_EQ(4, copy[Q::Kind]);
    EXPECT_EQ(0, copy[Q::Orientation]);
    EXPECT_EQ(1169, copy[Q::SheetWidth]);
    EXPECT_EQ(827, copy[Q::SheetHeight]);
    EXPECT_EQ(250, copy[Q::CardWidth]);
    EXPECT_EQ(200, copy[Q::CardHeight]);
}

TEST_F(PageSetupTest, FormatPageNamesTheSizeEachKindTakes)
{
    struct Case {
        int nKind;
        const char* note;
    };
    const Case cases[] = {
        {2, "A mouse pad is 9.25 x 7.75 in"},
        {4, "Labels of this size"},
        {5, "takes its size from the paper"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nKind);
        std::string note;
        RunSteps({
            [&](HWND h) {
                char text[256] = {};
                ::GetDlgItemText(Page(h, 2), IDC_PS_FORMAT_NOTE, text, sizeof text);
                note = text;
            },
            [&](HWND h) { Press(h, IDCANCEL); },
        });
        EXPECT_EQ(0, RunPageSetup(c.nKind, 0, FALSE, 0, 0, m_app->m_pMainWnd));
        EXPECT_NE(note.find(c.note), std::string::npos) << note;
    }
}

TEST_F(PageSetupTest, LabelSizeOffTheSheetKeepsTheSheetOpen)
{
    DocQuickInfo copy = Layout(4, PaperSize::Letter, FALSE);
    int boxes = 0;
    platform::SetAfxMessageBoxHandler([&](LPCSTR, UINT, UINT) {
        ++boxes;
        return IDOK;
    });
    BOOL stillOpen = FALSE;
    RunSteps({
        [&](HWND h) { ::SetDlgItemText(Page(h, 2), IDC_PS_CARD_HEIGHT, "40"); },
        [&](HWND h) { Press(h, IDOK); },
        [&](HWND h) {
            stillOpen = ::IsWindow(h);
            ::SetDlgItemText(Page(h, 2), IDC_PS_CARD_HEIGHT, "1.25");
        },
        [&](HWND h) { Press(h, IDOK); },
    });
    EXPECT_EQ(IDOK, RunPageSetup(copy, m_app->m_pMainWnd));
    platform::SetAfxMessageBoxHandler(nullptr);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(1, boxes);
    EXPECT_EQ(125, copy[Q::CardHeight]);
}

TEST_F(PageSetupTest, NewBlankDesignOpensTheChosenKindWithItsLayout)
{
    const int before = CountOpenDocuments();
    RunSteps({
        [&](HWND h) { EXPECT_EQ(0, Chosen(Page(h, 0), kKindGridNumber)); },
        [&](HWND h) { ClickCell(Page(h, 0), kKindGridNumber, 2); },
        [&](HWND h) {
            EXPECT_STREQ("Mouse pad", GridOf(Page(h, 0), kKindGridNumber)->GetSelectedText());
            // The mouse pad's orientation is not the user's to choose.
            HWND page = Page(h, 1);
            EXPECT_FALSE(::IsWindowEnabled(Grid(page, kOrientationGridNumber)));
            EXPECT_EQ(1, Chosen(page, kOrientationGridNumber));
        },
        [&](HWND h) { Press(h, IDOK); },
    });
    ASSERT_EQ(IDOK, RunPageSetup(0, 1, TRUE, 0, 0, m_app->m_pMainWnd));
    EXPECT_EQ(before + 1, CountOpenDocuments());
    const DocQuickInfo& app = m_app->GetDocQuickInfo();
    EXPECT_EQ(2, app[Q::Kind]);
    EXPECT_EQ(925, app[Q::CardWidth]);

    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(2);
    ASSERT_NE(nullptr, pTemplate);
    POSITION pos = pTemplate->GetFirstDocPosition();
    ASSERT_NE(nullptr, pos);
    auto* pDoc = dynamic_cast<CDrawDoc*>(pTemplate->GetNextDoc(pos));
    ASSERT_NE(nullptr, pDoc);
    EXPECT_EQ(2, pDoc->GetDocKind());
    EXPECT_EQ(925, pDoc->GetQuickInfo()[Q::CardWidth]);
    EXPECT_EQ(775, pDoc->GetQuickInfo()[Q::CardHeight]);
    EXPECT_EQ(0, pDoc->GetQuickInfo()[Q::Orientation]);
}

TEST_F(PageSetupTest, CancelledNewDesignCreatesNothing)
{
    const int before = CountOpenDocuments();
    const DocQuickInfo appBefore = m_app->GetDocQuickInfo();
    RunSteps({[&](HWND h) { Press(h, IDCANCEL); }});
    EXPECT_EQ(0, RunPageSetup(4, 1, TRUE, 0, 0, m_app->m_pMainWnd));
    EXPECT_EQ(before, CountOpenDocuments());
    for (int i = 0; i < Q::Count; ++i)
        EXPECT_EQ(appBefore[i], m_app->GetDocQuickInfo()[i]);
}

// The arrow keys move the choice within a grid, and a double click on a
// cell chooses it and confirms the sheet.
TEST_F(PageSetupTest, GridsChooseByKeyAndConfirmByDoubleClick)
{
    DocQuickInfo copy = Layout(5, PaperSize::Letter, FALSE);
    int nAfterKeys = -1;
    std::string sizeBefore;
    std::string sizeAfter;
    auto designSize = [](HWND hPage) {
        char text[64] = {};
        ::GetDlgItemText(hPage, IDC_PS_DESIGN_SIZE, text, sizeof text);
        return std::string(text);
    };
    RunSteps({
        [&](HWND h) {
            HWND page = Page(h, 1);
            sizeBefore = designSize(page);
            ::SetFocus(Grid(page, kPaperGridNumber));
            ::SendMessage(Grid(page, kPaperGridNumber), WM_KEYDOWN, VK_RIGHT, 1);
            nAfterKeys = Chosen(page, kPaperGridNumber);
            sizeAfter = designSize(page);
        },
        [&](HWND h) { ClickCell(Page(h, 1), kOrientationGridNumber, 1, true); },
    });
    EXPECT_EQ(IDOK, RunPageSetup(copy, m_app->m_pMainWnd));
    EXPECT_EQ(1, nAfterKeys);
    EXPECT_NE(sizeBefore, sizeAfter) << "the size line follows the paper";
    EXPECT_EQ(5, copy[Q::Kind]);
    EXPECT_EQ(1169, copy[Q::SheetWidth]) << "A4 across";
    EXPECT_EQ(827, copy[Q::SheetHeight]);
}

// A click on a page's control must reach that control, on every page and
// after switching pages, not the tab control that spans the page area.
TEST_F(PageSetupTest, ClicksOnEachPageReachItsControls)
{
    struct Probe {
        int nPage;
        int nID;
    };
    constexpr int kGrids = int(CChoiceGrid::kFirstControlId);
    const Probe probes[] = {{0, kGrids + kKindGridNumber}, {1, kGrids + kPaperGridNumber},
        {1, kGrids + kOrientationGridNumber}, {2, IDC_PS_CARD_WIDTH}, {0, kGrids + kKindGridNumber}};
    std::vector<std::function<void(HWND)>> steps;
    for (const Probe& probe : probes) {
        steps.push_back([probe](HWND h) {
            // Bring the page forward through its tab, as a user does.
            ::SendMessage(h, PSM_SETCURSEL, WPARAM(probe.nPage), 0);
        });
        steps.push_back([probe](HWND h) {
            HWND control = ::GetDlgItem(Page(h, probe.nPage), probe.nID);
            ASSERT_NE(HWND(NULL), control);
            RECT rect{};
            ::GetWindowRect(control, &rect);
            platform::headless::Click((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        });
        steps.push_back([probe](HWND h) {
            HWND control = ::GetDlgItem(Page(h, probe.nPage), probe.nID);
            EXPECT_EQ(control, ::GetFocus()) << "page " << probe.nPage << " control " << probe.nID;
        });
    }
    steps.push_back([](HWND h) { Press(h, IDCANCEL); });
    RunSteps(std::move(steps));
    EXPECT_EQ(0, RunPageSetup(4, 1, FALSE, 0, 0, m_app->m_pMainWnd));
}

} // namespace
