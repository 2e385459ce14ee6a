// Data exchange and validation between a dialog's members and its
// controls, on a modeless dialog made from the test template.

#include "tests/framework/DialogTestSupport.h"

#include "platform/base/Exception.h"
#include "platform/framework/Controls.h"
#include "platform/framework/DataExchange.h"
#include "platform/ui/User.h"

#include <clocale>
#include <string>

namespace dlgtest {
namespace {

class CDataDialog : public CDialog {
public:
    CDataDialog()
        : CDialog(kDataDialog)
    {
    }

    BOOL OnInitDialog() override
    {
        for (const char* s : {"Alpha", "Beta", "Gamma"}) {
            SendDlgItemMessage(kCombo, CB_ADDSTRING, 0, LPARAM(s));
            SendDlgItemMessage(kList, LB_ADDSTRING, 0, LPARAM(s));
        }
        ::SetScrollRange(::GetDlgItem(m_hWnd, kScroll), SB_CTL, 0, 100, FALSE);
        return CDialog::OnInitDialog();
    }

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDOK, m_okButton);
        DDX_Text(pDX, kTextEdit, m_text);
        DDV_MaxChars(pDX, m_text, 8);
        DDX_Text(pDX, kIntEdit, m_count);
        DDX_Text(pDX, kRealEdit, m_ratio);
        DDX_Check(pDX, kCheck, m_check);
        DDX_Radio(pDX, kRadioPicture, m_radio);
        if (m_byString) {
            DDX_CBString(pDX, kCombo, m_comboText);
            DDX_LBStringExact(pDX, kList, m_listText);
        } else {
            DDX_CBIndex(pDX, kCombo, m_comboIndex);
            DDX_LBIndex(pDX, kList, m_listIndex);
        }
        DDX_Text(pDX, kUintEdit, m_unsigned);
        DDX_Scroll(pDX, kScroll, m_scroll);
    }

    CButton m_okButton;
    CString m_text = "abc";
    int m_count = -12;
    double m_ratio = 2.5;
    int m_check = 1;
    int m_radio = 1;
    int m_comboIndex = 2;
    int m_listIndex = 1;
    CString m_comboText = "Be";
    CString m_listText = "gamma";
    UINT m_unsigned = 4000000000u;
    int m_scroll = 30;
    bool m_byString = false;
};

class DataExchange : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        ASSERT_TRUE(m_dlg.Create(kDataDialog));
        m_dlg.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
        std::setlocale(LC_NUMERIC, "C");
        DialogFixture::TearDown();
    }

    HWND Item(int nID) const { return ::GetDlgItem(m_dlg.m_hWnd, nID); }
    BOOL Checked(int nID) const { return BOOL(::SendMessage(Item(nID), BM_GETCHECK, 0, 0)); }
    void ExpectFailureOn(int nID, const char* prompt)
    {
        m_prompts.clear();
        EXPECT_FALSE(m_dlg.UpdateData(TRUE));
        ASSERT_EQ(m_prompts.size(), 1u) << prompt;
        EXPECT_EQ(m_prompts[0], prompt);
        EXPECT_EQ(::GetFocus(), Item(nID));
    }

    CDataDialog m_dlg;
};

TEST_F(DataExchange, LoadingShowsEveryMember)
{
    EXPECT_EQ(ItemText(m_dlg.m_hWnd, kTextEdit), "abc");
    EXPECT_EQ(ItemText(m_dlg.m_hWnd, kIntEdit), "-12");
    EXPECT_EQ(ItemText(m_dlg.m_hWnd, kRealEdit), "2.5");
    EXPECT_EQ(ItemText(m_dlg.m_hWnd, kUintEdit), "4000000000");
    EXPECT_EQ(Checked(kCheck), BST_CHECKED);
    // Index 1 of the group is the second button in tab order: 589.
    EXPECT_EQ(Checked(kRadioPicture), BST_UNCHECKED);
    EXPECT_EQ(Checked(kRadioColour), BST_CHECKED);
    EXPECT_EQ(::SendMessage(Item(kCombo), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(::SendMessage(Item(kList), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(::GetScrollPos(Item(kScroll), SB_CTL), 30);
    // DDV_MaxChars limits the edit while loading.
    EXPECT_EQ(::SendMessage(Item(kTextEdit), EM_GETLIMITTEXT, 0, 0), 8);
}

TEST_F(DataExchange, SavingReadsEveryControl)
{
    SetItemText(m_dlg.m_hWnd, kTextEdit, "typed");
    SetItemText(m_dlg.m_hWnd, kIntEdit, "  +7 ");
    SetItemText(m_dlg.m_hWnd, kRealEdit, "-0.125");
    SetItemText(m_dlg.m_hWnd, kUintEdit, "4294967295");
    ::SendMessage(Item(kCheck), BM_SETCHECK, BST_UNCHECKED, 0);
    ::CheckRadioButton(m_dlg.m_hWnd, kRadioColour, kRadioPicture, kRadioPicture);
    ::SendMessage(Item(kCombo), CB_SETCURSEL, 0, 0);
    ::SendMessage(Item(kList), LB_SETCURSEL, 2, 0);
    ::SetScrollPos(Item(kScroll), SB_CTL, 64, FALSE);

    ASSERT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_text, CString("typed"));
    EXPECT_EQ(m_dlg.m_count, 7);
    EXPECT_DOUBLE_EQ(m_dlg.m_ratio, -0.125);
    EXPECT_EQ(m_dlg.m_unsigned, 4294967295u);
    EXPECT_EQ(m_dlg.m_check, 0);
    EXPECT_EQ(m_dlg.m_radio, 0);
    EXPECT_EQ(m_dlg.m_comboIndex, 0);
    EXPECT_EQ(m_dlg.m_listIndex, 2);
    EXPECT_EQ(m_dlg.m_scroll, 64);
    EXPECT_TRUE(m_prompts.empty());
}

TEST_F(DataExchange, RadioGroupWithNothingCheckedIsMinusOne)
{
    ::SendMessage(Item(kRadioColour), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_radio, -1);

    m_dlg.m_radio = 0;
    ASSERT_TRUE(m_dlg.UpdateData(FALSE));
    EXPECT_EQ(Checked(kRadioPicture), BST_CHECKED);
    EXPECT_EQ(Checked(kRadioColour), BST_UNCHECKED);
    m_dlg.m_radio = -1;
    ASSERT_TRUE(m_dlg.UpdateData(FALSE));
    EXPECT_EQ(Checked(kRadioPicture), BST_UNCHECKED);
    EXPECT_EQ(Checked(kRadioColour), BST_UNCHECKED);
}

TEST_F(DataExchange, BadNumbersShowTheirPromptAndFocusTheField)
{
    SetItemText(m_dlg.m_hWnd, kIntEdit, "12x");
    ExpectFailureOn(kIntEdit, "Please enter an integer.");
    DWORD start = 0, end = 0;
    ::SendMessage(Item(kIntEdit), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);

    SetItemText(m_dlg.m_hWnd, kIntEdit, "99999999999");
    ExpectFailureOn(kIntEdit, "Please enter an integer.");
    SetItemText(m_dlg.m_hWnd, kIntEdit, "3");

    SetItemText(m_dlg.m_hWnd, kRealEdit, "1,5");
    ExpectFailureOn(kRealEdit, "Please enter a number.");
    SetItemText(m_dlg.m_hWnd, kRealEdit, "");
    ExpectFailureOn(kRealEdit, "Please enter a number.");
    SetItemText(m_dlg.m_hWnd, kRealEdit, "1e3");

    SetItemText(m_dlg.m_hWnd, kUintEdit, "-3");
    ExpectFailureOn(kUintEdit, "Please enter a positive integer.");
    SetItemText(m_dlg.m_hWnd, kUintEdit, "4294967296");
    ExpectFailureOn(kUintEdit, "Please enter a positive integer.");
    SetItemText(m_dlg.m_hWnd, kUintEdit, "0");

    EXPECT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_count, 3);
    EXPECT_DOUBLE_EQ(m_dlg.m_ratio, 1000.0);
    EXPECT_EQ(m_dlg.m_unsigned, 0u);
}

TEST_F(DataExchange, TooLongTextIsRefused)
{
    // The edit limit stops typing, not programmatic text.
    SetItemText(m_dlg.m_hWnd, kTextEdit, "abcdefghij");
    ExpectFailureOn(kTextEdit, "Please enter no more than 8 characters.");
}

TEST_F(DataExchange, NumbersUseAPointWhateverTheLocale)
{
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale installed";
    m_dlg.m_ratio = 1234.5;
    ASSERT_TRUE(m_dlg.UpdateData(FALSE));
    EXPECT_EQ(ItemText(m_dlg.m_hWnd, kRealEdit), "1234.5");
    SetItemText(m_dlg.m_hWnd, kRealEdit, "3.25");
    ASSERT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_DOUBLE_EQ(m_dlg.m_ratio, 3.25);
}

TEST_F(DataExchange, StringsSelectMatchingEntries)
{
    m_dlg.m_byString = true;
    ASSERT_TRUE(m_dlg.UpdateData(FALSE));
    // "Be" selects the entry it begins; the exact list form needs the whole
    // entry, without case.
    EXPECT_EQ(::SendMessage(Item(kCombo), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(::SendMessage(Item(kList), LB_GETCURSEL, 0, 0), 2);

    m_dlg.m_listText = "Gam";
    ::SendMessage(Item(kList), LB_SETCURSEL, 0, 0);
    ASSERT_TRUE(m_dlg.UpdateData(FALSE));
    EXPECT_EQ(::SendMessage(Item(kList), LB_GETCURSEL, 0, 0), 0) << "a partial text leaves the selection";

    ::SendMessage(Item(kCombo), CB_SETCURSEL, 2, 0);
    ASSERT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_comboText, CString("Gamma"));
    EXPECT_EQ(m_dlg.m_listText, CString("Alpha"));
}

TEST_F(DataExchange, ControlIsSubclassedOnce)
{
    ASSERT_EQ(m_dlg.m_okButton.m_hWnd, Item(IDOK));
    EXPECT_EQ(CWnd::FromHandlePermanent(Item(IDOK)), &m_dlg.m_okButton);
    EXPECT_TRUE(m_dlg.m_okButton.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_TRUE(m_dlg.UpdateData(FALSE));
    EXPECT_EQ(m_dlg.m_okButton.m_hWnd, Item(IDOK));
}

// Validation of each type, straight on a CDataExchange.
class Validation : public DataExchange {
protected:
    bool Passes(const std::function<void(CDataExchange*)>& check)
    {
        CDataExchange dx(&m_dlg, TRUE);
        dx.PrepareEditCtrl(kIntEdit);
        try {
            check(&dx);
        } catch (CUserException* e) {
            e->Delete();
            return false;
        }
        return true;
    }
};

TEST_F(Validation, RangesAcceptTheirLimitsAndNameThemWhenRefusing)
{
    EXPECT_TRUE(Passes([](CDataExchange* dx) { DDV_MinMaxInt(dx, -5, -5, 5); }));
    EXPECT_TRUE(Passes([](CDataExchange* dx) { DDV_MinMaxUInt(dx, 10u, 0u, 10u); }));
    EXPECT_TRUE(Passes([](CDataExchange* dx) { DDV_MinMaxDouble(dx, 0.5, 0.5, 0.75); }));
    EXPECT_TRUE(m_prompts.empty());

    EXPECT_FALSE(Passes([](CDataExchange* dx) { DDV_MinMaxLong(dx, -6L, -5L, 5L); }));
    EXPECT_FALSE(Passes([](CDataExchange* dx) { DDV_MinMaxDWord(dx, 4000000000u, 0u, 3000000000u); }));
    EXPECT_FALSE(Passes([](CDataExchange* dx) { DDV_MinMaxByte(dx, BYTE(200), BYTE(1), BYTE(100)); }));
    EXPECT_FALSE(Passes([](CDataExchange* dx) { DDV_MinMaxShort(dx, short(0), short(1), short(9)); }));
    EXPECT_FALSE(Passes([](CDataExchange* dx) { DDV_MinMaxDouble(dx, 0.8, 0.5, 0.75); }));
    EXPECT_FALSE(Passes([](CDataExchange* dx) { DDV_MinMaxFloat(dx, -1.0f, 0.0f, 2.5f); }));
    ASSERT_EQ(m_prompts.size(), 6u);
    EXPECT_EQ(m_prompts[0], "Please enter an integer between -5 and 5.");
    EXPECT_EQ(m_prompts[1], "Please enter an integer between 0 and 3000000000.");
    EXPECT_EQ(m_prompts[2], "Please enter an integer between 1 and 100.");
    EXPECT_EQ(m_prompts[3], "Please enter an integer between 1 and 9.");
    EXPECT_EQ(m_prompts[4], "Please enter a number between 0.5 and 0.75.");
    EXPECT_EQ(m_prompts[5], "Please enter a number between 0 and 2.5.");
    EXPECT_EQ(::GetFocus(), Item(kIntEdit));
}

TEST_F(Validation, LoadingNeverRefuses)
{
    CDataExchange dx(&m_dlg, FALSE);
    dx.PrepareEditCtrl(kIntEdit);
    DDV_MinMaxInt(&dx, 99, 1, 10);
    DDV_MinMaxDouble(&dx, -1.0, 0.0, 1.0);
    EXPECT_TRUE(m_prompts.empty());
}

TEST_F(Validation, MissingControlFailsTheExchange)
{
    CDataExchange dx(&m_dlg, TRUE);
    bool failed = false;
    try {
        dx.PrepareCtrl(4242);
    } catch (CUserException* e) {
        e->Delete();
        failed = true;
    }
    EXPECT_TRUE(failed);
}

} // namespace
} // namespace dlgtest
