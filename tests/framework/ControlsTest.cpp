// The control wrappers over real controls of a modeless dialog: the calls
// reach their controls, owner-drawn controls are drawn through reflection,
// and the wrappers know their run-time classes.

#include "tests/framework/DialogTestSupport.h"

#include "platform/framework/Controls.h"
#include "platform/ui/User.h"

#include <cstring>
#include <vector>

namespace dlgtest {
namespace {

class COwnerDrawButton : public CButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        ++m_nDraws;
        m_lastCtlId = lpDrawItemStruct->CtlID;
    }
    int m_nDraws = 0;
    UINT m_lastCtlId = 0;
};

// An owner-drawn list of numbers, kept sorted by CompareItem.
class CNumberList : public CListBox {
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        if (lpDrawItemStruct->itemID != UINT(-1))
            m_drawn.push_back(int(lpDrawItemStruct->itemData));
    }
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override { lpMeasureItemStruct->itemHeight = 15; }
    int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) override
    {
        ++m_nCompares;
        int a = int(lpCompareItemStruct->itemData1);
        int b = int(lpCompareItemStruct->itemData2);
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) override { m_deleted.push_back(int(lpDeleteItemStruct->itemData)); }

    std::vector<int> m_drawn;
    std::vector<int> m_deleted;
    int m_nCompares = 0;
};

class Controls : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        ASSERT_TRUE(m_host.Create(kDataDialog));
        m_host.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (m_host.m_hWnd)
            m_host.DestroyWindow();
        DialogFixture::TearDown();
    }
    CDialog m_host;
};

TEST_F(Controls, WrappersKnowTheirClasses)
{
    CButton button;
    CEdit edit;
    CListBox list;
    CComboBox combo;
    CScrollBar bar;
    ASSERT_TRUE(button.SubclassDlgItem(kCheck, &m_host));
    ASSERT_TRUE(edit.SubclassDlgItem(kTextEdit, &m_host));
    ASSERT_TRUE(list.SubclassDlgItem(kList, &m_host));
    ASSERT_TRUE(combo.SubclassDlgItem(kCombo, &m_host));
    ASSERT_TRUE(bar.SubclassDlgItem(kScroll, &m_host));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(edit.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(list.IsKindOf(RUNTIME_CLASS(CListBox)));
    EXPECT_TRUE(combo.IsKindOf(RUNTIME_CLASS(CComboBox)));
    EXPECT_TRUE(bar.IsKindOf(RUNTIME_CLASS(CScrollBar)));
    EXPECT_STREQ(RUNTIME_CLASS(CToolTipCtrl)->m_lpszClassName, "CToolTipCtrl");
    for (CWnd* w : {static_cast<CWnd*>(&button), static_cast<CWnd*>(&edit), static_cast<CWnd*>(&list),
             static_cast<CWnd*>(&combo), static_cast<CWnd*>(&bar)})
        w->UnsubclassWindow();
}

TEST_F(Controls, ButtonAndEditCallsReachTheirControls)
{
    CButton check;
    ASSERT_TRUE(check.SubclassDlgItem(kCheck, &m_host));
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    EXPECT_EQ(check.GetState() & 0x3, UINT(BST_CHECKED));
    EXPECT_EQ(check.GetButtonStyle(), UINT(BS_AUTOCHECKBOX));
    check.UnsubclassWindow();

    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 200, 80), &m_host, 900));
    edit.SetWindowText("first\r\nsecond line");
    EXPECT_EQ(edit.GetLineCount(), 2);
    char line[32] = {};
    EXPECT_EQ(edit.GetLine(1, line, int(sizeof line)), 11);
    EXPECT_STREQ(line, "second line");
    EXPECT_EQ(edit.GetLine(1, line, 4), 4);
    EXPECT_EQ(std::string(line, 4), "seco");
    EXPECT_EQ(edit.LineLength(edit.LineIndex(1)), 11);
    edit.SetSel(0, 5);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);
    edit.ReplaceSel("1st");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, CString("1st\r\nsecond line"));
    edit.SetModify(FALSE);
    EXPECT_FALSE(edit.GetModify());
    edit.LimitText(40);
    EXPECT_EQ(edit.GetLimitText(), 40u);
    edit.SetReadOnly(TRUE);
    EXPECT_TRUE(edit.GetStyle() & ES_READONLY);
}

TEST_F(Controls, ListAndComboCallsReachTheirControls)
{
    CListBox list;
    ASSERT_TRUE(list.SubclassDlgItem(kList, &m_host));
    EXPECT_EQ(list.AddString("one"), 0);
    EXPECT_EQ(list.AddString("two"), 1);
    EXPECT_EQ(list.InsertString(0, "zero"), 0);
    EXPECT_EQ(list.GetCount(), 3);
    int payload = 42;
    list.SetItemDataPtr(2, &payload);
    EXPECT_EQ(list.GetItemDataPtr(2), &payload);
    CString s;
    list.GetText(1, s);
    EXPECT_EQ(s, CString("one"));
    EXPECT_EQ(list.GetTextLen(2), 3);
    EXPECT_EQ(list.FindStringExact(-1, "TWO"), 2);
    EXPECT_EQ(list.SelectString(-1, "o"), 1);
    EXPECT_EQ(list.GetCurSel(), 1);

    // The second item's middle is item 1; below the last item is outside.
    RECT rc{};
    ASSERT_NE(list.GetItemRect(1, &rc), LB_ERR);
    BOOL outside = TRUE;
    EXPECT_EQ(list.ItemFromPoint(CPoint(rc.left + 2, (rc.top + rc.bottom) / 2), outside), 1u);
    EXPECT_FALSE(outside);
    RECT last{};
    list.GetItemRect(2, &last);
    EXPECT_EQ(list.ItemFromPoint(CPoint(2, last.bottom + 3), outside), 2u);
    EXPECT_TRUE(outside);
    list.DeleteString(0);
    EXPECT_EQ(list.GetCount(), 2);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.ItemFromPoint(CPoint(1, 1), outside), 0u);
    EXPECT_TRUE(outside);
    list.UnsubclassWindow();

    CComboBox combo;
    ASSERT_TRUE(combo.SubclassDlgItem(kCombo, &m_host));
    combo.AddString("red");
    combo.AddString("green");
    EXPECT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    combo.GetLBText(combo.GetCurSel(), s);
    EXPECT_EQ(s, CString("green"));
    EXPECT_EQ(combo.GetLBTextLen(0), 3);
    EXPECT_EQ(combo.FindString(-1, "gr"), 1);
    combo.SetItemData(0, 7);
    EXPECT_EQ(combo.GetItemData(0), DWORD_PTR(7));
    combo.ShowDropDown(TRUE);
    EXPECT_TRUE(combo.GetDroppedState());
    combo.ShowDropDown(FALSE);
    EXPECT_FALSE(combo.GetDroppedState());
    combo.UnsubclassWindow();
}

TEST_F(Controls, CommonControlWrappersReachTheirControls)
{
    CScrollBar bar;
    ASSERT_TRUE(bar.SubclassDlgItem(kScroll, &m_host));
    bar.SetScrollRange(0, 50, FALSE);
    SCROLLINFO info{};
    info.nPage = 11;
    info.fMask = SIF_PAGE;
    bar.SetScrollInfo(&info, FALSE);
    EXPECT_EQ(bar.GetScrollLimit(), 40);
    bar.SetScrollPos(45);
    EXPECT_EQ(bar.GetScrollPos(), 40);
    int lo = -1, hi = -1;
    bar.GetScrollRange(&lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 50);
    bar.UnsubclassWindow();

    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 150, 30), &m_host, 901));
    slider.SetRange(10, 20);
    slider.SetPos(25);
    EXPECT_EQ(slider.GetPos(), 20);
    slider.GetRange(lo, hi);
    EXPECT_EQ(lo, 10);
    EXPECT_EQ(hi, 20);
    slider.SetPageSize(4);
    EXPECT_EQ(slider.GetPageSize(), 4);

    CEdit buddy;
    ASSERT_TRUE(buddy.Create(WS_CHILD | WS_VISIBLE, CRect(0, 40, 60, 60), &m_host, 902));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, CRect(60, 40, 76, 60), &m_host, 903));
    spin.SetBuddy(&buddy);
    EXPECT_EQ(spin.GetBuddy(), &buddy);
    spin.SetRange(0, 9);
    EXPECT_EQ(spin.GetRange(), DWORD(MAKELONG(9, 0)));
    spin.SetPos(4);
    EXPECT_EQ(LOWORD(spin.GetPos()), 4);
    CString shown;
    buddy.GetWindowText(shown);
    EXPECT_EQ(shown, CString("4"));

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(0, 70, 150, 80), &m_host, 904));
    progress.SetRange32(0, 200);
    progress.SetPos(50);
    progress.SetStep(25);
    progress.StepIt();
    EXPECT_EQ(progress.GetPos(), 75);

    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 90, 200, 160), &m_host, 905));
    tabs.InsertItem(0, "One");
    tabs.InsertItem(1, "Two");
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.SetCurSel(1), 0);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    char text[16] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = int(sizeof text);
    ASSERT_TRUE(tabs.GetItem(1, &item));
    EXPECT_STREQ(text, "Two");

    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&m_host));
    EXPECT_TRUE(tips.AddTool(&buddy, "The value"));
    EXPECT_TRUE(tips.AddTool(&m_host, "Corner", CRect(0, 0, 10, 10), 7));
    EXPECT_EQ(tips.GetToolCount(), 2);
    tips.DelTool(&buddy);
    EXPECT_EQ(tips.GetToolCount(), 1);
    tips.DestroyWindow();
}

TEST_F(Controls, OwnerDrawnButtonDrawsThroughReflection)
{
    COwnerDrawButton button;
    ASSERT_TRUE(button.Create("Pic", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 40), &m_host, 906));
    button.RedrawWindow();
    EXPECT_GE(button.m_nDraws, 1);
    EXPECT_EQ(button.m_lastCtlId, 906u);
}

TEST_F(Controls, OwnerDrawnListAnswersThroughReflection)
{
    CNumberList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_SORT, CRect(0, 0, 100, 100), &m_host, 907));
    for (int n : {30, 10, 20})
        list.AddString(reinterpret_cast<LPCTSTR>(INT_PTR(n)));
    EXPECT_GT(list.m_nCompares, 0);
    EXPECT_EQ(list.GetItemData(0), DWORD_PTR(10));
    EXPECT_EQ(list.GetItemData(2), DWORD_PTR(30));
    EXPECT_EQ(list.GetItemHeight(0), 15);
    list.RedrawWindow();
    EXPECT_EQ(list.m_drawn, (std::vector<int>{10, 20, 30}));
    list.DeleteString(1);
    EXPECT_EQ(list.m_deleted, (std::vector<int>{20}));
    list.DestroyWindow();
}

} // namespace
} // namespace dlgtest
