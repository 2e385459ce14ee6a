// Property sheets in wizard mode: the Back, Next and Finish buttons follow
// PSM_SETWIZBUTTONS, the pages decide where Back and Next go, Finish ends
// with ID_WIZFINISH, and a sheet may be ended while a page is activated.

#include "tests/framework/DialogTestSupport.h"

#include "platform/framework/PropertySheet.h"

#include <string>
#include <vector>

namespace dlgtest {
namespace {

class CWizardPage : public CPropertyPage {
public:
    CWizardPage(UINT nIDTemplate, DWORD buttons, std::vector<std::string>& log, const char* name)
        : CPropertyPage(nIDTemplate)
        , m_buttons(buttons)
        , m_log(log)
        , m_name(name)
    {
    }

    BOOL OnSetActive() override
    {
        m_log.push_back(m_name + ".SetActive");
        auto* pSheet = static_cast<CPropertySheet*>(GetParent());
        pSheet->SetWizardButtons(m_buttons);
        if (m_endOnActivation)
            pSheet->EndDialog(IDCANCEL);
        return CPropertyPage::OnSetActive();
    }
    LRESULT OnWizardNext() override
    {
        m_log.push_back(m_name + ".Next");
        return m_next;
    }
    LRESULT OnWizardBack() override
    {
        m_log.push_back(m_name + ".Back");
        return m_back;
    }
    BOOL OnWizardFinish() override
    {
        m_log.push_back(m_name + ".Finish");
        return m_allowFinish;
    }

    DWORD m_buttons;
    LRESULT m_next = 0;
    LRESULT m_back = 0;
    BOOL m_allowFinish = TRUE;
    bool m_endOnActivation = false;

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

class Wizard : public DialogFixture {
protected:
    std::vector<std::string> m_log;
    CWizardPage m_one{kPageOne, PSWIZB_NEXT, m_log, "one"};
    CWizardPage m_two{kPageTwo, PSWIZB_BACK | PSWIZB_NEXT, m_log, "two"};
    CWizardPage m_three{kPageThree, PSWIZB_BACK | PSWIZB_FINISH, m_log, "three"};
    CPropertySheet m_sheet{"Design Wizard"};

    void SetUp() override
    {
        DialogFixture::SetUp();
        m_sheet.AddPage(&m_one);
        m_sheet.AddPage(&m_two);
        m_sheet.AddPage(&m_three);
        m_sheet.SetWizardMode();
    }
    HWND Button(int nID) const { return ::GetDlgItem(m_sheet.m_hWnd, nID); }
    bool Usable(int nID) const { return ::IsWindowVisible(Button(nID)) && ::IsWindowEnabled(Button(nID)); }
};

TEST_F(Wizard, ButtonsFollowTheWizardFlags)
{
    Script({[&] {
        EXPECT_EQ(m_sheet.m_psh.dwFlags & PSH_WIZARD, DWORD(PSH_WIZARD));
        EXPECT_EQ(m_sheet.GetTabControl(), nullptr);
        EXPECT_EQ(Button(IDOK), HWND(NULL));
        EXPECT_NE(Button(IDCANCEL), HWND(NULL));
        // First page: PSWIZB_NEXT only.
        EXPECT_FALSE(::IsWindowEnabled(Button(ID_WIZBACK)));
        EXPECT_TRUE(Usable(ID_WIZNEXT));
        EXPECT_FALSE(::IsWindowVisible(Button(ID_WIZFINISH)));

        ClickButton(m_sheet.m_hWnd, ID_WIZNEXT);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_two);
        EXPECT_TRUE(Usable(ID_WIZBACK));
        EXPECT_TRUE(Usable(ID_WIZNEXT));

        ClickButton(m_sheet.m_hWnd, ID_WIZNEXT);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_three);
        EXPECT_TRUE(Usable(ID_WIZBACK));
        EXPECT_FALSE(::IsWindowVisible(Button(ID_WIZNEXT))) << "Finish takes Next's place";
        EXPECT_TRUE(Usable(ID_WIZFINISH));
        EXPECT_EQ(m_sheet.SendMessage(DM_GETDEFID), LRESULT(MAKELONG(ID_WIZFINISH, DC_HASDEFID)));

        // A disabled Finish is still shown.
        m_sheet.SetWizardButtons(PSWIZB_BACK | PSWIZB_DISABLEDFINISH);
        EXPECT_TRUE(::IsWindowVisible(Button(ID_WIZFINISH)));
        EXPECT_FALSE(::IsWindowEnabled(Button(ID_WIZFINISH)));
        ClickButton(m_sheet.m_hWnd, ID_WIZFINISH);
        EXPECT_TRUE(::IsWindow(m_sheet.m_hWnd)) << "a disabled Finish does nothing";

        ClickButton(m_sheet.m_hWnd, ID_WIZBACK);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_two);
        ClickButton(m_sheet.m_hWnd, ID_WIZNEXT);
        ClickButton(m_sheet.m_hWnd, ID_WIZFINISH);
    }});
    EXPECT_EQ(m_sheet.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(m_log, (std::vector<std::string>{"one.SetActive", "one.Next", "two.SetActive", "two.Next",
                         "three.SetActive", "three.Back", "two.SetActive", "two.Next", "three.SetActive",
                         "three.Finish"}));
}

TEST_F(Wizard, PagesChooseWhereBackAndNextGo)
{
    m_one.m_next = kPageThree; // skip the middle page
    m_three.m_back = kPageOne;
    Script({[&] {
        ClickButton(m_sheet.m_hWnd, ID_WIZNEXT);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_three);
        EXPECT_EQ(m_two.m_hWnd, HWND(NULL));
        ClickButton(m_sheet.m_hWnd, ID_WIZBACK);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_one);
        m_one.m_next = -1; // stay
        ClickButton(m_sheet.m_hWnd, ID_WIZNEXT);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_one);
        // Enter presses Next, the default button.
        ::SetFocus(::GetDlgItem(m_one.m_hWnd, kPageEdit));
        m_one.m_next = 0;
        platform::headless::TypeKey(VK_RETURN);
    },
        [&] {
            EXPECT_EQ(m_sheet.GetActivePage(), &m_two);
            m_three.m_allowFinish = FALSE;
            m_sheet.SetActivePage(2);
            ClickButton(m_sheet.m_hWnd, ID_WIZFINISH);
            EXPECT_TRUE(::IsWindow(m_sheet.m_hWnd)) << "the page refused to finish";
            m_sheet.PressButton(PSBTN_CANCEL);
        }});
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
}

TEST_F(Wizard, FinishTextReplacesNextAndBack)
{
    Script({[&] {
        m_sheet.SetFinishText("Done");
        EXPECT_TRUE(Usable(ID_WIZFINISH));
        EXPECT_EQ(ItemText(m_sheet.m_hWnd, ID_WIZFINISH), "Done");
        EXPECT_FALSE(::IsWindowVisible(Button(ID_WIZNEXT)));
        EXPECT_FALSE(::IsWindowVisible(Button(ID_WIZBACK)));
        m_sheet.PressButton(PSBTN_FINISH);
    }});
    EXPECT_EQ(m_sheet.DoModal(), ID_WIZFINISH);
}

TEST_F(Wizard, SheetEndedWhileItsFirstPageActivates)
{
    m_one.m_endOnActivation = true;
    bool ran = false;
    Script({[&] { ran = true; }});
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
    EXPECT_FALSE(ran);
    EXPECT_EQ(m_sheet.m_hWnd, HWND(NULL));
}

TEST_F(Wizard, SheetEndedFromOutsideWhileRunning)
{
    Script({[&] {
        ClickButton(m_sheet.m_hWnd, ID_WIZNEXT);
        // What a wake-up message handler of the main window does.
        m_sheet.EndDialog(IDCANCEL);
    }});
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(m_sheet.GetPageCount(), 3);
}

} // namespace
} // namespace dlgtest
