// The check-list box: the selection shown as ticked boxes without a
// highlight, the focus rectangle beside the box, item heights from the
// font, and the same drawing through a real paint of the list.

#include "controls/CheckListBox.h"

#include "tests/controls/OwnerDrawTestSupport.h"

#include <vector>

namespace {

using kittest::MemoryCanvas;

// The pixels of one cell of the system check-box bitmap.
std::vector<COLORREF> BoxCell(int nColumn, int& cell)
{
    CBitmap boxes;
    EXPECT_TRUE(boxes.LoadOEMBitmap(OBM_CHECKBOXES));
    BITMAP bm{};
    boxes.GetBitmap(&bm);
    cell = bm.bmWidth / 4;
    MemoryCanvas canvas(bm.bmWidth, bm.bmHeight);
    CDC src;
    src.CreateCompatibleDC(&canvas.dc);
    CBitmap* old = src.SelectObject(&boxes);
    canvas.dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &src, 0, 0, SRCCOPY);
    src.SelectObject(old);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x)
            pixels.push_back(canvas.At(nColumn * cell + x, y));
    return pixels;
}

std::vector<COLORREF> Region(const CDC& dc, int left, int top, int size)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels.push_back(dc.GetPixel(left + x, top + y));
    return pixels;
}

class CheckListBoxTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        MakeApp();
        kittest::RegisterKitDialogs();
        ASSERT_TRUE(m_dlg.Create(kittest::kDialogId));
        ASSERT_TRUE(m_list.SubclassDlgItem(kittest::kListId, &m_dlg));
        m_list.AddString("Standard");
        m_list.AddString("Formatting");
        m_list.AddString("Tool Pad");
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        FrameworkTest::TearDown();
    }

    void Draw(MemoryCanvas& canvas, int nItem, UINT action, UINT state, const RECT& rc)
    {
        DRAWITEMSTRUCT dis = kittest::MakeDrawItem(canvas.dc, m_list.m_hWnd, nItem, action, state, rc);
        m_list.DrawItem(&dis);
    }

    CDialog m_dlg;
    CCheckLB m_list;
};

TEST_F(CheckListBoxTest, SelectedItemShowsTickedBoxAndNoHighlight)
{
    int cell = 0;
    std::vector<COLORREF> checked = BoxCell(1, cell);
    std::vector<COLORREF> unchecked = BoxCell(0, cell);
    ASSERT_EQ(13, cell);
    ASSERT_NE(checked, unchecked);

    MemoryCanvas canvas(160, 40);
    const CRect first(0, 0, 150, 19);
    const CRect second(0, 20, 150, 39);
    Draw(canvas, 0, ODA_DRAWENTIRE, ODS_SELECTED, first);
    Draw(canvas, 1, ODA_DRAWENTIRE, 0, second);

    // The box sits at left + 2, (19 - 13) / 2 + 2 below the item's top.
    EXPECT_EQ(checked, Region(canvas.dc, 2, 0 + 5, cell));
    EXPECT_EQ(unchecked, Region(canvas.dc, 2, 20 + 5, cell));
    EXPECT_EQ(0, canvas.Count(first, ::GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(0, canvas.Count(first, MemoryCanvas::kUntouched));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), canvas.At(145, 2));
    // The text is drawn right of the box.
    const CRect text(18, 0, 150, 19);
    EXPECT_LT(canvas.Count(text, ::GetSysColor(COLOR_WINDOW)), text.Width() * text.Height());
}

TEST_F(CheckListBoxTest, FocusRectangleStartsRightOfTheBox)
{
    const CRect rc(0, 0, 150, 18);
    MemoryCanvas plain(160, 20);
    Draw(plain, 0, ODA_DRAWENTIRE, 0, rc);
    MemoryCanvas focused(160, 20);
    Draw(focused, 0, ODA_DRAWENTIRE, 0, rc);
    Draw(focused, 0, ODA_FOCUS, ODS_FOCUS, rc);
    int changedLeft = 0;
    int changedAtEdge = 0;
    for (int y = 0; y < 18; ++y) {
        for (int x = 0; x < 16; ++x)
            changedLeft += plain.At(x, y) != focused.At(x, y) ? 1 : 0;
        changedAtEdge += plain.At(16, y) != focused.At(16, y) ? 1 : 0;
    }
    EXPECT_EQ(0, changedLeft);
    EXPECT_GT(changedAtEdge, 0);

    // A whole-item repaint of the caret item draws the same rectangle.
    MemoryCanvas repainted(160, 20);
    Draw(repainted, 0, ODA_DRAWENTIRE, ODS_FOCUS, rc);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 150; ++x)
            ASSERT_EQ(focused.At(x, y), repainted.At(x, y)) << x << "," << y;
}

TEST_F(CheckListBoxTest, ItemHeightFollowsTheFontButNeverDropsBelow14)
{
    CFont small;
    ASSERT_TRUE(small.CreateFont(-8, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    m_list.SetItemFont(&small);
    EXPECT_EQ(14, m_list.GetItemHeight());
    EXPECT_EQ(14, m_list.CListBox::GetItemHeight(0));

    CFont large;
    ASSERT_TRUE(large.CreateFont(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    CClientDC dc(&m_list);
    CFont* old = dc.SelectObject(&large);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(old);
    m_list.SetItemFont(&large);
    const int expected = int(tm.tmHeight + tm.tmExternalLeading + 1);
    EXPECT_GT(expected, 14);
    EXPECT_EQ(expected, m_list.GetItemHeight());
    EXPECT_EQ(expected, m_list.CListBox::GetItemHeight(0));
    MEASUREITEMSTRUCT mis{};
    m_list.MeasureItem(&mis);
    EXPECT_EQ(UINT(expected), mis.itemHeight);

    // Without a window there is nothing to measure with.
    CCheckLB detached;
    EXPECT_EQ(12, detached.GetItemHeight());
}

TEST_F(CheckListBoxTest, PaintedListShowsTheSelectionAsChecks)
{
    int cell = 0;
    std::vector<COLORREF> checked = BoxCell(1, cell);
    std::vector<COLORREF> unchecked = BoxCell(0, cell);
    m_list.SetSel(0, TRUE);
    m_list.SetSel(2, TRUE);
    EXPECT_GT(m_list.GetSel(0), 0);
    EXPECT_EQ(0, m_list.GetSel(1));
    m_list.Invalidate();
    m_list.UpdateWindow();

    CClientDC dc(&m_list);
    for (int i = 0; i < 3; ++i) {
        CRect rc;
        m_list.GetItemRect(i, &rc);
        int top = rc.top + (rc.Height() - cell) / 2 + 2;
        top = std::min(top, int(rc.bottom) - cell);
        EXPECT_EQ(i == 1 ? unchecked : checked, Region(dc, rc.left + 2, top, cell)) << "item " << i;
    }
}

} // namespace
