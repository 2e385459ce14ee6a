// The preview grids on real windows of the headless back end: a folder's
// files as cells, layout by width, scrolling, selection, the choice that
// ends the dialog, thumbnails made lazily for what is visible, and the
// Preview Options dialog.

#include "assist/PreviewGrid.h"
#include "assist/PreviewOptionsDlg.h"
#include "pictures/GalleryDB.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"
#include "tests/assist/AssistTestSupport.h"
#include "tests/support/TestData.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/ui/Headless.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <vector>

namespace assisttest {
namespace {

namespace fs = std::filesystem;

const char* const kPictures[] = {
    "bmp/src-pillow__hopper.bmp",
    "bmp/github-haraldk_TwelveMonkeys__blauesglas_24.bmp",
    "png/bin-libsixel-examples__basi0g08.png",
    "jpeg/bin-gdk-pixbuf-tests__dpi.jpeg",
};

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Le32(DWORD n)
{
    return std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)};
}

// A dialog that hosts a grid the way the pickers do: a scroll bar at its
// right edge, the grid beside it, the scroll bar's messages passed on.
class CGridHostDlg : public CDialog {
public:
    explicit CGridHostDlg(std::function<void(CGridHostDlg&)> onInit = nullptr)
        : CDialog(IDD_PREVIEW_OPTIONS, nullptr)
        , m_onInit(std::move(onInit))
    {
    }

    // Makes the scroll bar and a grid of cx x cy at (0, 0).
    template <class Grid, class... Args>
    Grid* MakeGrid(int cx, int cy, Args&&... args)
    {
        // The template's own controls would cover the grid's pixels.
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
            ::ShowWindow(hChild, SW_HIDE);
        m_scroll.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(cx, 0, cx + 16, cy), this, 408);
        auto pGrid = std::make_unique<Grid>(this, &m_scroll, std::forward<Args>(args)...);
        Grid* p = pGrid.get();
        if (!pGrid->Create(CRect(0, 0, cx, cy)))
            return nullptr;
        m_pGrid = std::move(pGrid);
        return p;
    }

    CPreviewGrid* Grid() const { return m_pGrid.get(); }
    CScrollBar m_scroll;
    int m_nSelChanges = 0;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        MoveWindow(0, 0, 700, 500);
        if (m_onInit)
            m_onInit(*this);
        return TRUE;
    }
    void PostNcDestroy() override { m_pGrid.reset(); }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == CPreviewGrid::kGridId && HIWORD(wParam) == CPreviewGrid::kNotifySelChange)
            ++m_nSelChanges;
        return CDialog::OnCommand(wParam, lParam);
    }
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*)
    {
        if (m_pGrid)
            m_pGrid->OnScrollBar(nSBCode, nPos);
    }
    DECLARE_MESSAGE_MAP()

private:
    std::function<void(CGridHostDlg&)> m_onInit;
    std::unique_ptr<CPreviewGrid> m_pGrid;
};

BEGIN_MESSAGE_MAP(CGridHostDlg, CDialog)
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

class PreviewGridTest : public AssistTest {
protected:
    void SetUp() override
    {
        AssistTest::SetUp();
        m_dir = testing_support::MakeTempDir("grid");
    }
    void TearDown() override
    {
        if (m_host.GetSafeHwnd() != NULL)
            m_host.DestroyWindow();
        AssistTest::TearDown();
    }

    CString Folder() const { return CString(platform::WindowsPathFor(m_dir).c_str()); }

    // Copies the testdata picture under a new name.
    void AddPicture(const char* source, const std::string& name)
    {
        fs::copy_file(fs::path(THREADWICK_TESTDATA_DIR) / source, fs::path(m_dir) / name,
            fs::copy_options::overwrite_existing);
    }
    // A design of the flat kind whose stored preview is the JPEG picture.
    void AddDesign(const std::string& name)
    {
        const std::string jpeg = ReadBytes(fs::path(THREADWICK_TESTDATA_DIR) / kPictures[3]);
        testing_support::WriteFileBytes(m_dir + "/" + name,
            Le32(DWORD(jpeg.size())) + jpeg + "x" + Le32(0) + "Bulletinarium V3.0");
    }

    // A modeless host with a grid of the size given; the grid is shown and
    // painted before this returns.
    CSavedDesignGrid* OpenGrid(int cx, int cy, int nLeafKind = kGridLeafPictures)
    {
        EXPECT_TRUE(m_host.Create(IDD_PREVIEW_OPTIONS, nullptr));
        m_host.ShowWindow(SW_SHOW);
        return m_host.MakeGrid<CSavedDesignGrid>(cx, cy, nLeafKind);
    }

    static void Paint(CPreviewGrid* pGrid)
    {
        pGrid->UpdateWindow();
        Pump();
    }

    static void Click(CPreviewGrid* pGrid, int nItem, UINT message = WM_LBUTTONDOWN)
    {
        const CPoint centre = pGrid->GetCellRect(nItem).CenterPoint();
        pGrid->SendMessage(message, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    }

    static void Key(CPreviewGrid* pGrid, UINT vk) { pGrid->SendMessage(WM_KEYDOWN, vk, 0); }

    int CachedCount(CPreviewGrid* pGrid) const
    {
        int n = 0;
        for (int i = 0; i < pGrid->GetItemCount(); ++i)
            n += pGrid->HasThumbnail(i) ? 1 : 0;
        return n;
    }

    std::string m_dir;
    CGridHostDlg m_host;
};

TEST_F(PreviewGridTest, FillsFromTheFolderByEveryPatternOnceAndSorted)
{
    REQUIRE_TESTDATA();
    AddPicture(kPictures[0], "Zebra.bmp");
    AddPicture(kPictures[1], "apple.BMP");
    AddPicture(kPictures[2], "mango.png");
    AddDesign("plan.pub");
    testing_support::WriteFileBytes(m_dir + "/notes.txt", "not a picture");
    fs::create_directory(fs::path(m_dir) / "sub.bmp");

    CSavedDesignGrid* pGrid = OpenGrid(400, 300);
    ASSERT_NE(pGrid, nullptr);
    // "*.BMP" repeats "*.bmp": each file is listed once; folders never.
    EXPECT_EQ(pGrid->FillFromFolder(Folder(), " *.bmp ;*.png;;*.BMP"), 3);
    EXPECT_EQ(pGrid->GetItemCount(), 3);
    EXPECT_EQ(pGrid->GetFilePath(0), Folder() + "\\apple.BMP");
    EXPECT_EQ(pGrid->GetFilePath(1), Folder() + "\\mango.png");
    EXPECT_EQ(pGrid->GetFilePath(2), Folder() + "\\Zebra.bmp");
    EXPECT_EQ(pGrid->GetCurSel(), -1);
    EXPECT_EQ(pGrid->GetCurrentFile(), "");

    EXPECT_TRUE(pGrid->SelectByName("ZEBRA.BMP"));
    EXPECT_EQ(pGrid->GetCurrentFile(), Folder() + "\\Zebra.bmp");
    EXPECT_FALSE(pGrid->SelectByName("missing.bmp"));

    // A refill and a reset each drop the selection and the count.
    EXPECT_EQ(pGrid->FillFromFolder(Folder() + "\\", "*.pub"), 1);
    EXPECT_EQ(pGrid->GetCurSel(), -1);
    pGrid->ResetItems();
    EXPECT_EQ(pGrid->GetItemCount(), 0);
    EXPECT_EQ(pGrid->FillFromFolder(Folder() + "\\nowhere", "*.bmp"), 0);
}

TEST_F(PreviewGridTest, ColumnsFollowTheWidthAndTheScrollBarScrollsRows)
{
    REQUIRE_TESTDATA();
    for (int i = 0; i < 20; ++i)
        AddPicture(kPictures[2], "p" + std::to_string(100 + i) + ".png");
    thePrefs.SetMulImgPrevFixedSize(64);
    CSavedDesignGrid* pGrid = OpenGrid(400, 200);
    ASSERT_NE(pGrid, nullptr);
    ASSERT_EQ(pGrid->FillFromFolder(Folder(), "*.png"), 20);
    const CSize cell = pGrid->GetCellSize();
    EXPECT_EQ(cell.cx, 64 + 12);
    EXPECT_EQ(pGrid->GetColumns(), 400 / cell.cx);

    pGrid->MoveWindow(0, 0, cell.cx * 2 + 5, 200);
    EXPECT_EQ(pGrid->GetColumns(), 2);
    pGrid->MoveWindow(0, 0, cell.cx - 10, 200);
    EXPECT_EQ(pGrid->GetColumns(), 1) << "a narrow grid keeps one column";

    pGrid->MoveWindow(0, 0, cell.cx * 4, cell.cy * 2);
    ASSERT_EQ(pGrid->GetColumns(), 4);
    // 20 items in rows of 4 are 5 rows; two show, so the top row runs 0..3.
    m_host.SendMessage(WM_VSCROLL, SB_LINEDOWN, LPARAM(m_host.m_scroll.m_hWnd));
    EXPECT_EQ(pGrid->GetTopRow(), 1);
    EXPECT_EQ(m_host.m_scroll.GetScrollPos(), 1);
    EXPECT_EQ(pGrid->GetCellRect(4).top, 0) << "the second row is at the top";
    m_host.SendMessage(WM_VSCROLL, SB_PAGEDOWN, LPARAM(m_host.m_scroll.m_hWnd));
    m_host.SendMessage(WM_VSCROLL, SB_PAGEDOWN, LPARAM(m_host.m_scroll.m_hWnd));
    EXPECT_EQ(pGrid->GetTopRow(), 3);
    m_host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1), LPARAM(m_host.m_scroll.m_hWnd));
    EXPECT_EQ(pGrid->GetTopRow(), 1);

    // Selecting below the screen scrolls to it.
    pGrid->SetCurSel(19);
    EXPECT_EQ(pGrid->GetTopRow(), 3);
    EXPECT_EQ(m_host.m_nSelChanges, 1);
}

TEST_F(PreviewGridTest, ClicksAndArrowsSelect)
{
    REQUIRE_TESTDATA();
    for (int i = 0; i < 7; ++i)
        AddPicture(kPictures[2], "p" + std::to_string(i) + ".png");
    thePrefs.SetMulImgPrevFixedSize(64);
    CSavedDesignGrid* pGrid = OpenGrid(3 * 76, 400);
    ASSERT_NE(pGrid, nullptr);
    pGrid->FillFromFolder(Folder(), "*.png");
    ASSERT_EQ(pGrid->GetColumns(), 3);
    Paint(pGrid);

    Click(pGrid, 4);
    EXPECT_EQ(pGrid->GetCurrentFile(), Folder() + "\\p4.png");
    EXPECT_EQ(::GetFocus(), pGrid->m_hWnd);
    // A click on no cell keeps the selection.
    pGrid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3 * 76 - 30, 399));
    EXPECT_EQ(pGrid->GetCurSel(), 4);

    struct Move {
        UINT vk;
        int nExpected;
    } moves[] = {{VK_RIGHT, 5}, {VK_DOWN, 6}, {VK_UP, 3}, {VK_LEFT, 2}, {VK_UP, 0}, {VK_END, 6}, {VK_HOME, 0}};
    for (const Move& m : moves) {
        Key(pGrid, m.vk);
        EXPECT_EQ(pGrid->GetCurSel(), m.nExpected) << m.vk;
    }
    EXPECT_EQ(pGrid->GetResult(), CPreviewGrid::kResultNone) << "selecting is not choosing";
}

TEST_F(PreviewGridTest, DoubleClickChoosesAndEndsTheDialogWithOk)
{
    REQUIRE_TESTDATA();
    AddPicture(kPictures[0], "one.bmp");
    AddPicture(kPictures[1], "two.bmp");
    CSavedDesignGrid* pGrid = nullptr;
    CGridHostDlg dlg([&](CGridHostDlg& host) {
        pGrid = host.MakeGrid<CSavedDesignGrid>(400, 300, kGridLeafPictures);
        ASSERT_NE(pGrid, nullptr);
        pGrid->FillFromFolder(Folder(), "*.bmp");
    });
    int nResult = 0;
    CString chosen;
    Drive({[&](HWND) {
        Click(pGrid, 1, WM_LBUTTONDBLCLK);
        nResult = pGrid->GetResult();
        chosen = pGrid->GetCurrentFile();
        return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(nResult, CPreviewGrid::kResultChosen);
    EXPECT_EQ(chosen, Folder() + "\\two.bmp");

    // Leaving without a double click: the grid's result stays 2.
    CGridHostDlg dlg2([&](CGridHostDlg& host) {
        pGrid = host.MakeGrid<CSavedDesignGrid>(400, 300, kGridLeafPictures);
        ASSERT_NE(pGrid, nullptr);
        pGrid->FillFromFolder(Folder(), "*.bmp");
    });
    Drive({[&](HWND hDlg) {
        Click(pGrid, 0);
        // A double click on no cell chooses nothing.
        pGrid->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(399, 299));
        nResult = pGrid->GetResult();
        ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
        return true;
    }});
    EXPECT_EQ(dlg2.DoModal(), IDCANCEL);
    EXPECT_EQ(nResult, CPreviewGrid::kResultNone);
}

TEST_F(PreviewGridTest, ThumbnailsAreMadeOnlyForVisibleCellsAfterPainting)
{
    REQUIRE_TESTDATA();
    for (int i = 0; i < 120; ++i)
        AddPicture(kPictures[i % 3], "p" + std::to_string(1000 + i) + (i % 3 == 2 ? ".png" : ".bmp"));
    thePrefs.SetMulImgPrevFixedSize(64);
    thePrefs.SetPreviewImage(1);
    CSavedDesignGrid* pGrid = OpenGrid(400, 400);
    ASSERT_NE(pGrid, nullptr);
    ASSERT_EQ(pGrid->FillFromFolder(Folder(), "*.bmp;*.png"), 120);
    const CSize cell = pGrid->GetCellSize();
    // Four columns, two whole rows and part of a third.
    pGrid->MoveWindow(0, 0, cell.cx * 4, cell.cy * 2 + cell.cy / 2);
    EXPECT_EQ(pGrid->GetThumbnailsMade(), 0) << "nothing is decoded before the grid draws";

    Paint(pGrid);
    EXPECT_EQ(pGrid->GetThumbnailsMade(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(pGrid->HasThumbnail(i)) << i;
    EXPECT_FALSE(pGrid->HasThumbnail(12));

    // Scrolling makes the new row's thumbnails and keeps the ones seen.
    pGrid->OnScrollBar(SB_LINEDOWN, 0);
    Paint(pGrid);
    EXPECT_EQ(pGrid->GetThumbnailsMade(), 16);
    EXPECT_TRUE(pGrid->HasThumbnail(0));
    pGrid->OnScrollBar(SB_LINEUP, 0);
    Paint(pGrid);
    EXPECT_EQ(pGrid->GetThumbnailsMade(), 16);

    // Through the whole folder the cache never holds more than the screen
    // and its slack.
    for (int nRow = 0; nRow < 30; ++nRow) {
        pGrid->OnScrollBar(SB_LINEDOWN, 0);
        Paint(pGrid);
        EXPECT_LE(CachedCount(pGrid), 12 + CPreviewGrid::kCacheSlack);
    }
    EXPECT_EQ(pGrid->GetThumbnailsMade(), 120);
    EXPECT_TRUE(pGrid->HasThumbnail(119));
}

TEST_F(PreviewGridTest, DesignsShowTheirStoredPreviewAndPicturesTheirThumbnail)
{
    REQUIRE_TESTDATA();
    AddDesign("plan.pub");
    AddPicture(kPictures[0], "hopper.pub");
    CSavedDesignGrid* pGrid = OpenGrid(400, 300, kGridLeafDesigns);
    ASSERT_NE(pGrid, nullptr);
    EXPECT_FALSE(pGrid->GetPictures());
    ASSERT_EQ(pGrid->FillFromFolder(Folder(), "*.pub"), 2);
    Paint(pGrid);
    EXPECT_FALSE(pGrid->HasThumbnail(0)) << "a picture under a design's name has no stored preview";
    EXPECT_TRUE(pGrid->HasThumbnail(1));

    // The design-or-picture switch decides how the same files are read.
    pGrid->SetPictures(TRUE);
    pGrid->FillFromFolder(Folder(), "*.pub");
    Paint(pGrid);
    EXPECT_TRUE(pGrid->HasThumbnail(0));
    EXPECT_FALSE(pGrid->HasThumbnail(1));
}

TEST_F(PreviewGridTest, TheGalleryGridNamesAndDrawsTheCategorysRecords)
{
    REQUIRE_TESTDATA();
    AddPicture(kPictures[0], "hopper.bmp");
    AddPicture(kPictures[2], "grey.png");
    const CString dbPath = Folder() + "\\imagedb.olv";
    CGalleryDB db(dbPath);
    db.AddCategoryName("Animals");
    ASSERT_TRUE(db.WriteCategoryNames());
    ASSERT_TRUE(db.AddPicture("Animals", Folder() + "\\hopper.bmp", ""));
    ASSERT_TRUE(db.AddPicture("Animals", Folder() + "\\grey.png", ""));
    int nCount = 0;
    ASSERT_TRUE(db.OpenCategory("Animals", FALSE, &nCount));
    ASSERT_EQ(nCount, 2);

    ASSERT_TRUE(m_host.Create(IDD_PREVIEW_OPTIONS, nullptr));
    m_host.ShowWindow(SW_SHOW);
    CCdDesignGrid* pGrid = m_host.MakeGrid<CCdDesignGrid>(400, 300, &db);
    ASSERT_NE(pGrid, nullptr);
    pGrid->SetItemCount(nCount);
    Paint(pGrid);
    EXPECT_TRUE(pGrid->HasThumbnail(0));
    EXPECT_TRUE(pGrid->HasThumbnail(1));
    EXPECT_EQ(pGrid->GetCurrentFile(), "");
    Click(pGrid, 1);
    EXPECT_EQ(pGrid->GetCurrentFile(), Folder() + "\\grey.png");
}

// Pixels of the cell's picture box that differ from the window's colour.
int PaintedInBox(CPreviewGrid* pGrid, int nItem)
{
    const CRect cell = pGrid->GetCellRect(nItem);
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    int n = 0;
    for (int y = cell.top + 8; y < cell.top + 6 + pGrid->GetPreviewSize() - 2; ++y)
        for (int x = cell.left + 8; x < cell.right - 8; ++x)
            n += platform::headless::WindowPixel(pGrid->m_hWnd, x, y) != background ? 1 : 0;
    return n;
}

TEST_F(PreviewGridTest, CellsDrawTheirThumbnailOrOnlyTheirNameAndMarkTheSelection)
{
    REQUIRE_TESTDATA();
    AddPicture(kPictures[0], "a.bmp");
    AddPicture(kPictures[1], "b.bmp");
    testing_support::WriteFileBytes(m_dir + "/c.bmp", "not a picture at all");
    thePrefs.SetMulImgPrevFixedSize(64);
    CSavedDesignGrid* pGrid = OpenGrid(400, 300);
    ASSERT_NE(pGrid, nullptr);
    pGrid->FillFromFolder(Folder(), "*.bmp");
    pGrid->SetCurSel(1);
    Paint(pGrid);
    EXPECT_GT(PaintedInBox(pGrid, 0), 64 * 64 / 2);
    EXPECT_GT(PaintedInBox(pGrid, 1), 64 * 64 / 2);
    EXPECT_EQ(PaintedInBox(pGrid, 2), 0) << "a file that does not load keeps an empty frame";
    // The selected cell's name sits on the selection colour.
    const CRect selected = pGrid->GetCellRect(1);
    const COLORREF mark = platform::headless::WindowPixel(pGrid->m_hWnd, selected.left + 4, selected.bottom - 4);
    EXPECT_TRUE(mark == ::GetSysColor(COLOR_HIGHLIGHT) || mark == ::GetSysColor(COLOR_BTNFACE));
    const CRect other = pGrid->GetCellRect(0);
    EXPECT_EQ(platform::headless::WindowPixel(pGrid->m_hWnd, other.left + 4, other.bottom - 4), ::GetSysColor(COLOR_WINDOW));

    // Pictures off: names only, and the choice is stored.
    pGrid->SetShowImages(FALSE);
    EXPECT_EQ(CPrefData::GetPreviewImage(), 0);
    Paint(pGrid);
    EXPECT_EQ(PaintedInBox(pGrid, 0), 0);
    // Preview Now draws the screen's pictures once, without turning them on.
    pGrid->RedrawImages();
    Paint(pGrid);
    EXPECT_GT(PaintedInBox(pGrid, 0), 64 * 64 / 2);
    EXPECT_EQ(CPrefData::GetPreviewImage(), 0);
}

// Files a grid cannot preview: empty ones, damaged ones. A metafile is not
// one of them, though the picture library cannot read it.
TEST_F(PreviewGridTest, FilesThatCannotBePreviewedKeepAnEmptyFrameSilentlyAndAreTriedOnce)
{
    REQUIRE_TESTDATA();
    testing_support::WriteFileBytes(m_dir + "/a-empty.jpg", "");
    testing_support::WriteFileBytes(m_dir + "/b-empty.png", "");
    testing_support::WriteFileBytes(m_dir + "/c-damaged.jpg", std::string("\xFF\xD8\xFF\xE0 not the rest", 17));
    AddPicture("wmf/bin-libreoffice-dev-doc__fish.wmf", "d-fish.wmf");
    AddPicture(kPictures[0], "e-hopper.bmp");
    thePrefs.SetMulImgPrevFixedSize(64);
    thePrefs.SetPreviewImage(1);
    CSavedDesignGrid* pGrid = OpenGrid(600, 300);
    ASSERT_NE(pGrid, nullptr);
    ASSERT_EQ(pGrid->FillFromFolder(Folder(), "*.jpg;*.png;*.wmf;*.bmp"), 5);
    const size_t nBoxes = platform::headless::MessageBoxes().size();
    Paint(pGrid);
    EXPECT_EQ(platform::headless::MessageBoxes().size(), nBoxes);
    EXPECT_EQ(pGrid->GetThumbnailsMade(), 5);
    EXPECT_FALSE(pGrid->HasThumbnail(0));
    EXPECT_FALSE(pGrid->HasThumbnail(1));
    EXPECT_FALSE(pGrid->HasThumbnail(2));
    EXPECT_TRUE(pGrid->HasThumbnail(3)) << "a metafile is previewed";
    EXPECT_GT(PaintedInBox(pGrid, 3), 0);
    EXPECT_TRUE(pGrid->HasThumbnail(4));
    EXPECT_EQ(PaintedInBox(pGrid, 0), 0);

    // Painting again tries none of them again.
    pGrid->Invalidate(FALSE);
    Paint(pGrid);
    EXPECT_EQ(pGrid->GetThumbnailsMade(), 5);
    EXPECT_EQ(platform::headless::MessageBoxes().size(), nBoxes);
}

// A grid whose thumbnails run the message queue while they are made, as a
// message box or a wait would, and that may throw.
class CBusyGrid : public CSavedDesignGrid {
public:
    using CSavedDesignGrid::CSavedDesignGrid;
    int m_nDepth = 0;
    int m_nDeepest = 0;
    std::vector<int> m_items;
    BOOL m_bThrow = FALSE;

protected:
    std::unique_ptr<CImage> MakeThumbnail(int nItem, int nSize) override
    {
        ++m_nDepth;
        m_nDeepest = std::max(m_nDeepest, m_nDepth);
        m_items.push_back(nItem);
        if (m_nDepth == 1) {
            Invalidate(FALSE);
            AfxPumpMessagesUntilIdle();
        }
        auto pImage = CSavedDesignGrid::MakeThumbnail(nItem, nSize);
        --m_nDepth;
        if (m_bThrow)
            AfxThrowUserException();
        return pImage;
    }
};

TEST_F(PreviewGridTest, ALoopRunWhileAThumbnailIsMadeStartsNoOtherAndAThrowLeavesTheCellEmpty)
{
    REQUIRE_TESTDATA();
    for (int i = 0; i < 4; ++i)
        AddPicture(kPictures[i % 2], "p" + std::to_string(i) + ".bmp");
    thePrefs.SetMulImgPrevFixedSize(64);
    thePrefs.SetPreviewImage(1);
    ASSERT_TRUE(m_host.Create(IDD_PREVIEW_OPTIONS, nullptr));
    m_host.ShowWindow(SW_SHOW);
    CBusyGrid* pGrid = m_host.MakeGrid<CBusyGrid>(600, 300, kGridLeafPictures);
    ASSERT_NE(pGrid, nullptr);
    ASSERT_EQ(pGrid->FillFromFolder(Folder(), "*.bmp"), 4);
    Paint(pGrid);
    EXPECT_EQ(pGrid->m_nDeepest, 1);
    EXPECT_EQ(pGrid->m_items, (std::vector<int>{0, 1, 2, 3})) << "each cell once, in order";
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(pGrid->HasThumbnail(i)) << i;

    // A thumbnail that throws leaves its cell empty and the grid going.
    pGrid->m_bThrow = TRUE;
    pGrid->m_items.clear();
    pGrid->FillFromFolder(Folder(), "*.bmp");
    Paint(pGrid);
    EXPECT_EQ(pGrid->m_items, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(pGrid->HasThumbnail(0));
    EXPECT_FALSE(pGrid->HasThumbnail(3));
}

class PreviewOptionsTest : public AssistTest {};

TEST_F(PreviewOptionsTest, OkStoresTheChosenSizeAndCancelKeepsTheOld)
{
    struct Case {
        int nButton;
        int nExpected;
    } cases[] = {{IDC_PREVIEW_SMALL, 64}, {IDC_PREVIEW_LARGE, 160}, {IDC_PREVIEW_MEDIUM, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nExpected);
        CPreviewOptionsDlg dlg;
        Drive({[&](HWND hDlg) {
                  ::SendDlgItemMessage(hDlg, c.nButton, BM_CLICK, 0, 0);
                  return true;
              },
            Press(IDOK)});
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.GetPreviewSize(), c.nExpected);
        EXPECT_EQ(CPrefData::GetMulImgPrevFixedSize(), c.nExpected);
    }

    // A stored size that is none of the three opens as medium; Cancel keeps it.
    CPrefData::SetMulImgPrevFixedSize(77);
    bool mediumChecked = false;
    CPreviewOptionsDlg cancelled;
    Drive({[&](HWND hDlg) {
              mediumChecked = ::IsDlgButtonChecked(hDlg, IDC_PREVIEW_MEDIUM) == BST_CHECKED;
              ::SendDlgItemMessage(hDlg, IDC_PREVIEW_LARGE, BM_CLICK, 0, 0);
              return true;
          },
        Press(IDCANCEL)});
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_TRUE(mediumChecked);
    EXPECT_EQ(CPrefData::GetMulImgPrevFixedSize(), 77);
}

} // namespace
} // namespace assisttest
