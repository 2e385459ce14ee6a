// Modal property sheets on the headless back end: pages made on first
// activation, Apply enabled by SetModified, OK and Cancel through the
// pages, and EndDialog from outside.

#include "tests/framework/DialogTestSupport.h"

#include "platform/framework/DataExchange.h"
#include "platform/framework/PropertySheet.h"

#include <string>
#include <vector>

namespace dlgtest {
namespace {

// A page whose edit holds a number from 0 to 100 and which records the
// sheet's calls.
class CRecordingPage : public CPropertyPage {
public:
    CRecordingPage(UINT nIDTemplate, std::vector<std::string>& log, const char* name)
        : CPropertyPage(nIDTemplate)
        , m_log(log)
        , m_name(name)
    {
    }

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kPageEdit, m_value);
        DDV_MinMaxInt(pDX, m_value, 0, 100);
    }
    BOOL OnSetActive() override
    {
        m_log.push_back(m_name + ".SetActive");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        m_log.push_back(m_name + ".KillActive");
        return CPropertyPage::OnKillActive();
    }
    BOOL OnApply() override
    {
        m_log.push_back(m_name + ".Apply");
        return CPropertyPage::OnApply();
    }
    void OnOK() override { m_log.push_back(m_name + ".OK"); }
    void OnCancel() override { m_log.push_back(m_name + ".Cancel"); }
    BOOL OnQueryCancel() override { return m_allowCancel; }
    LRESULT OnQuerySiblings(WPARAM wParam, LPARAM) override { return wParam == 7 ? LRESULT(m_value) : 0; }

    int m_value = 10;
    BOOL m_allowCancel = TRUE;

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

class PropertySheet : public DialogFixture {
protected:
    std::vector<std::string> m_log;
    CRecordingPage m_first{kPageOne, m_log, "first"};
    CRecordingPage m_second{kPageTwo, m_log, "second"};
    CPropertySheet m_sheet{"Settings"};

    void SetUp() override
    {
        DialogFixture::SetUp();
        m_sheet.AddPage(&m_first);
        m_sheet.AddPage(&m_second);
    }
    HWND Button(int nID) const { return ::GetDlgItem(m_sheet.m_hWnd, nID); }
};

TEST_F(PropertySheet, MakesPagesOnFirstActivationUnderTheTabs)
{
    Script({[&] {
        ASSERT_TRUE(::IsWindow(m_sheet.m_hWnd));
        EXPECT_TRUE(m_sheet.IsKindOf(RUNTIME_CLASS(CPropertySheet)));
        EXPECT_EQ(std::string(ItemText(::GetParent(Button(IDOK)), IDOK)), "OK");
        char title[64] = {};
        ::GetWindowText(m_sheet.m_hWnd, title, int(sizeof title));
        EXPECT_STREQ(title, "Settings");
        CTabCtrl* tab = m_sheet.GetTabControl();
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(tab->GetItemCount(), 2);
        EXPECT_EQ(tab->GetCurSel(), 0);
        EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_first);
        ASSERT_NE(m_first.m_hWnd, HWND(NULL));
        EXPECT_EQ(m_second.m_hWnd, HWND(NULL));
        EXPECT_EQ(::GetParent(m_first.m_hWnd), m_sheet.m_hWnd);
        EXPECT_TRUE(GetWindowLong(m_first.m_hWnd, GWL_STYLE) & WS_CHILD);
        EXPECT_EQ(ItemText(m_first.m_hWnd, kPageEdit), "10");
        for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
            EXPECT_NE(Button(id), HWND(NULL)) << id;

        // The page sits inside the tab control's display area, and the
        // larger second page fits too.
        RECT tabRc{}, pageRc{};
        ::GetWindowRect(tab->m_hWnd, &tabRc);
        ::GetWindowRect(m_first.m_hWnd, &pageRc);
        EXPECT_GE(pageRc.left, tabRc.left);
        EXPECT_GE(pageRc.top, tabRc.top);
        EXPECT_LE(pageRc.right, tabRc.right);
        EXPECT_LE(pageRc.bottom, tabRc.bottom);
        RECT okRc{};
        ::GetWindowRect(Button(IDOK), &okRc);
        EXPECT_GE(okRc.top, tabRc.bottom);

        EXPECT_TRUE(m_sheet.SetActivePage(1));
        ASSERT_NE(m_second.m_hWnd, HWND(NULL));
        EXPECT_TRUE(::IsWindowVisible(m_second.m_hWnd));
        EXPECT_FALSE(::IsWindowVisible(m_first.m_hWnd));
        EXPECT_EQ(tab->GetCurSel(), 1);
        m_sheet.EndDialog(IDCANCEL);
    }});
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(m_log, (std::vector<std::string>{"first.SetActive", "first.KillActive", "second.SetActive"}));
    EXPECT_EQ(m_first.m_hWnd, HWND(NULL));
}

TEST_F(PropertySheet, SetModifiedEnablesApplyAndApplyRunsThePages)
{
    Script({[&] {
        EXPECT_FALSE(::IsWindowEnabled(Button(ID_APPLY_NOW)));
        m_first.SetModified(TRUE);
        EXPECT_TRUE(::IsWindowEnabled(Button(ID_APPLY_NOW)));
        m_first.SetModified(FALSE);
        EXPECT_FALSE(::IsWindowEnabled(Button(ID_APPLY_NOW)));

        SetItemText(m_first.m_hWnd, kPageEdit, "55");
        m_first.SetModified();
        m_log.clear();
        ClickButton(m_sheet.m_hWnd, ID_APPLY_NOW);
        EXPECT_EQ(m_log, (std::vector<std::string>{"first.KillActive", "first.Apply", "first.OK"}));
        EXPECT_EQ(m_first.m_value, 55);
        EXPECT_FALSE(m_first.IsModified());
        EXPECT_FALSE(::IsWindowEnabled(Button(ID_APPLY_NOW)));
        EXPECT_TRUE(::IsWindow(m_sheet.m_hWnd)) << "Apply keeps the sheet open";
        EXPECT_EQ(m_first.QuerySiblings(7, 0), 55);
        ClickButton(m_sheet.m_hWnd, IDCANCEL);
    }});
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
}

TEST_F(PropertySheet, OkRunsEveryMadePageAndEndsWithIdOk)
{
    Script({[&] {
        m_sheet.SetActivePage(&m_second);
        SetItemText(m_second.m_hWnd, kPageEdit, "77");
        m_log.clear();
        // Enter in the page's edit presses the sheet's default button.
        ::SetFocus(::GetDlgItem(m_second.m_hWnd, kPageEdit));
        platform::headless::TypeKey(VK_RETURN);
    }});
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
    EXPECT_EQ(m_log, (std::vector<std::string>{"second.KillActive", "first.Apply", "first.OK", "second.Apply",
                         "second.OK"}));
    EXPECT_EQ(m_second.m_value, 77);
}

TEST_F(PropertySheet, InvalidPageRefusesToBeLeft)
{
    Script({
        [&] {
            SetItemText(m_first.m_hWnd, kPageEdit, "500");
            EXPECT_FALSE(m_sheet.SetActivePage(1));
            EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
            ASSERT_EQ(m_prompts.size(), 1u);
            EXPECT_EQ(m_prompts[0], "Please enter an integer between 0 and 100.");
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(m_first.m_hWnd, kPageEdit));
            // Clicking OK is refused the same way.
            ClickButton(m_sheet.m_hWnd, IDOK);
        },
        [&] {
            EXPECT_TRUE(::IsWindow(m_sheet.m_hWnd));
            EXPECT_EQ(m_prompts.size(), 2u);
            // A tab click asks the page too.
            CTabCtrl* tab = m_sheet.GetTabControl();
            NMHDR hdr{tab->m_hWnd, UINT_PTR(AFX_IDC_TAB_CONTROL), UINT(TCN_SELCHANGING)};
            EXPECT_NE(::SendMessage(m_sheet.m_hWnd, WM_NOTIFY, AFX_IDC_TAB_CONTROL, LPARAM(&hdr)), 0);
            SetItemText(m_first.m_hWnd, kPageEdit, "50");
            EXPECT_EQ(::SendMessage(m_sheet.m_hWnd, WM_NOTIFY, AFX_IDC_TAB_CONTROL, LPARAM(&hdr)), 0);
            m_sheet.EndDialog(IDCANCEL);
        },
    });
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
}

TEST_F(PropertySheet, CancelAsksTheActivePageFirst)
{
    m_first.m_allowCancel = FALSE;
    Script({
        [&] {
            ClickButton(m_sheet.m_hWnd, IDCANCEL);
            EXPECT_TRUE(::IsWindowVisible(m_sheet.m_hWnd));
            m_first.m_allowCancel = TRUE;
            m_log.clear();
            ::PostMessage(m_sheet.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        },
    });
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(m_log, (std::vector<std::string>{"first.Cancel"}));
}

TEST_F(PropertySheet, OptionsOfTheHeaderShapeTheButtonsAndStartPage)
{
    m_sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_sheet.SetActivePage(1);
    m_sheet.SetTitle("Ruler", PSH_PROPTITLE);
    Script({[&] {
        EXPECT_EQ(Button(ID_APPLY_NOW), HWND(NULL));
        EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
        EXPECT_EQ(m_first.m_hWnd, HWND(NULL));
        char title[64] = {};
        ::GetWindowText(m_sheet.m_hWnd, title, int(sizeof title));
        EXPECT_STREQ(title, "Properties for Ruler");
        m_second.CancelToClose();
        EXPECT_FALSE(::IsWindowEnabled(Button(IDCANCEL)));
        EXPECT_EQ(ItemText(m_sheet.m_hWnd, IDOK), "Close");
        EXPECT_EQ(HWND(::SendMessage(m_sheet.m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0)), m_second.m_hWnd);
        m_sheet.PressButton(PSBTN_OK);
    }});
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
}

TEST_F(PropertySheet, TabsTurnThePagesByMouseAndKeyboard)
{
    Script({[&] {
        CTabCtrl* tab = m_sheet.GetTabControl();
        ASSERT_NE(tab, nullptr);
        RECT item{};
        ASSERT_TRUE(tab->GetItemRect(1, &item));
        POINT pt{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ::ClientToScreen(tab->m_hWnd, &pt);
        platform::headless::Click(pt.x, pt.y);
    },
        [&] {
            EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
            EXPECT_TRUE(::IsWindowVisible(m_second.m_hWnd));
            ::SetFocus(::GetDlgItem(m_second.m_hWnd, kPageEdit));
            platform::headless::KeyDown(VK_CONTROL);
            platform::headless::TypeKey(VK_TAB);
            platform::headless::KeyUp(VK_CONTROL);
        },
        [&] {
            EXPECT_EQ(m_sheet.GetActivePage(), &m_first);
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(m_first.m_hWnd, kPageEdit)) << "the focus left the hidden page";
            m_sheet.EndDialog(IDCANCEL);
        }});
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(m_log, (std::vector<std::string>{"first.SetActive", "first.KillActive", "second.SetActive",
                         "second.KillActive", "first.SetActive"}));
}

// A sheet that takes OK itself, as a program's sheet with its own buttons does.
class COwnOkSheet : public CPropertySheet {
public:
    COwnOkSheet()
        : CPropertySheet("Own")
    {
    }
    afx_msg void OnOwnOk()
    {
        ++m_nOk;
        EndDialog(IDOK);
    }
    int m_nOk = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnOkSheet, CPropertySheet)
    ON_COMMAND(IDOK, OnOwnOk)
END_MESSAGE_MAP()

TEST_F(PropertySheet, DerivedSheetTakesItsButtonsFirst)
{
    std::vector<std::string> log;
    CRecordingPage page(kPageOne, log, "page");
    COwnOkSheet sheet;
    sheet.AddPage(&page);
    Script({[&] {
        // The form a picture button's Enter sends: IDOK with no control.
        ::SendMessage(sheet.m_hWnd, WM_COMMAND, IDOK, 0);
    }});
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(sheet.m_nOk, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"page.SetActive"})) << "the built-in OK did not run";
}

TEST_F(PropertySheet, HelpAsksForTheActivePagesHelp)
{
    Script({[&] {
        m_sheet.SetActivePage(1);
        ClickButton(m_sheet.m_hWnd, IDHELP);
        m_sheet.EndDialog(IDCANCEL);
    }});
    m_sheet.DoModal();
    EXPECT_EQ(HelpAsked(), (std::vector<DWORD_PTR>{HID_BASE_RESOURCE + kPageTwo}));
}

TEST_F(PropertySheet, RemovedPageLeavesTheSheet)
{
    m_sheet.RemovePage(&m_first);
    EXPECT_EQ(m_sheet.GetPageCount(), 1);
    EXPECT_EQ(m_sheet.GetPage(0), &m_second);
    EXPECT_EQ(m_sheet.GetPageIndex(&m_first), -1);
}

} // namespace
} // namespace dlgtest
