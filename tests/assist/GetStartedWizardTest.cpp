// The Design Wizard: three pages, the kind chosen on the first, the text on
// the second, a pre-made design on the third; Finish gives the choice and
// Cancel gives no kind.

#include "assist/GetStartedWizard.h"

#include "assist/LauncherDlg.h"
#include "resources/resource.h"
#include "tests/assist/AssistTestSupport.h"

namespace assisttest {
namespace {

HWND CurrentPage(HWND hSheet)
{
    return HWND(::SendMessage(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// A step that presses a wizard button once the given page is showing.
Step PressOn(int nPageTemplateControl, int nButton)
{
    return [nPageTemplateControl, nButton](HWND hSheet) {
        if (::GetDlgItem(CurrentPage(hSheet), nPageTemplateControl) == NULL)
            return false;
        ::PostMessage(hSheet, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
        return true;
    };
}

class GetStartedWizardTest : public AssistTest {};

TEST_F(GetStartedWizardTest, FinishGivesTheKindChosenOnThePageOne)
{
    CGetStartedWizard wizard(IDS_DESIGN_WIZARD_CAPTION);
    CString text = "Team 2026";
    wizard.m_page2.SetText(&text);
    CString caption;
    Drive({
        [&caption](HWND hSheet) {
            char buffer[64] = {};
            ::GetWindowText(hSheet, buffer, sizeof buffer);
            caption = buffer;
            ::SendDlgItemMessage(CurrentPage(hSheet), IDC_GETSTART_KINDS, LB_SETCURSEL, 3, 0);
            return true;
        },
        PressOn(IDC_GETSTART_KINDS, ID_WIZNEXT),
        [](HWND hSheet) {
            HWND hPage = CurrentPage(hSheet);
            char buffer[64] = {};
            ::GetDlgItemText(hPage, IDC_GETSTART_TEXT, buffer, sizeof buffer);
            if (CString(buffer) != "Team 2026")
                return false;
            ::SetDlgItemText(hPage, IDC_GETSTART_TEXT, "Go team");
            return true;
        },
        PressOn(IDC_GETSTART_TEXT, ID_WIZNEXT),
        PressOn(IDC_GETSTART_DESIGNS, ID_WIZFINISH),
    });
    EXPECT_EQ(ID_WIZFINISH, wizard.DoModal());
    EXPECT_EQ(caption, "Design Wizard");
    EXPECT_EQ(wizard.m_nChosenKind, 3);
    EXPECT_EQ(wizard.m_nChosenValue, LAUNCH_BLANK);
    EXPECT_EQ(text, "Go team");
}

TEST_F(GetStartedWizardTest, TheTextPageTakesTheKeysOnceShown)
{
    CGetStartedWizard wizard(IDS_DESIGN_WIZARD_CAPTION);
    bool bTextHasFocus = false;
    Drive({
        // Next pressed from the keyboard (Alt+N) leaves the focus on the button.
        [](HWND hSheet) {
            if (::GetDlgItem(CurrentPage(hSheet), IDC_GETSTART_KINDS) == NULL)
                return false;
            ::SetFocus(::GetDlgItem(hSheet, ID_WIZNEXT));
            ::PostMessage(hSheet, WM_COMMAND, MAKEWPARAM(ID_WIZNEXT, BN_CLICKED), 0);
            return true;
        },
        [&bTextHasFocus](HWND hSheet) {
            HWND hText = ::GetDlgItem(CurrentPage(hSheet), IDC_GETSTART_TEXT);
            if (hText == NULL)
                return false;
            bTextHasFocus = ::GetFocus() == hText;
            ::PostMessage(hSheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
    });
    EXPECT_EQ(IDCANCEL, wizard.DoModal());
    EXPECT_TRUE(bTextHasFocus);
}

TEST_F(GetStartedWizardTest, CancelGivesNoKind)
{
    CGetStartedWizard wizard(IDS_DESIGN_WIZARD_CAPTION);
    wizard.SetStartOptions(2, 0);
    Drive({PressOn(IDC_GETSTART_KINDS, ID_WIZNEXT), PressOn(IDC_GETSTART_TEXT, IDCANCEL)});
    EXPECT_EQ(IDCANCEL, wizard.DoModal());
    EXPECT_EQ(wizard.m_nChosenKind, 6);
}

TEST_F(GetStartedWizardTest, StartKindIsPreselectedAndPremadeDesignsOfThatKindAreOffered)
{
    CGetStartedWizard wizard(IDS_DESIGN_WIZARD_CAPTION);
    wizard.SetStartOptions(1, 0);
    wizard.m_premadeDesigns.push_back({0, "Shirt one", "C:\\d\\s1.shr"});
    wizard.m_premadeDesigns.push_back({1, "Cap", "C:\\d\\cap.apl"});
    wizard.m_page3.AddItem(1, "Companion item");
    int nListed = -1;
    Drive({
        PressOn(IDC_GETSTART_KINDS, ID_WIZNEXT),
        PressOn(IDC_GETSTART_TEXT, ID_WIZNEXT),
        [&nListed](HWND hSheet) {
            HWND hList = ::GetDlgItem(CurrentPage(hSheet), IDC_GETSTART_DESIGNS);
            if (hList == NULL)
                return false;
            nListed = int(::SendMessage(hList, LB_GETCOUNT, 0, 0));
            // Entry 0 is "none"; pick the cap.
            const int nCap = int(::SendMessage(hList, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Cap")));
            ::SendMessage(hList, LB_SETCURSEL, WPARAM(nCap), 0);
            return nCap > 0;
        },
        PressOn(IDC_GETSTART_DESIGNS, ID_WIZFINISH),
    });
    EXPECT_EQ(ID_WIZFINISH, wizard.DoModal());
    EXPECT_EQ(nListed, 3); // none, the companion item and the cap; not the shirt
    EXPECT_EQ(wizard.m_nChosenKind, 1);
    EXPECT_EQ(wizard.m_nChosenValue, LAUNCH_PREDESIGNED);
    EXPECT_EQ(wizard.m_strChosenPath, "C:\\d\\cap.apl");
}

TEST_F(GetStartedWizardTest, PresetTextFillsAnEmptyTextPage)
{
    CGetStartedWizard wizard(IDS_DESIGN_WIZARD_CAPTION);
    wizard.m_strPresetText = "Happy birthday";
    CString seen;
    Drive({
        PressOn(IDC_GETSTART_KINDS, ID_WIZNEXT),
        [&seen](HWND hSheet) {
            char buffer[64] = {};
            if (!::GetDlgItemText(CurrentPage(hSheet), IDC_GETSTART_TEXT, buffer, sizeof buffer))
                return false;
            seen = buffer;
            return true;
        },
        Press(IDCANCEL),
    });
    wizard.DoModal();
    EXPECT_EQ(seen, "Happy birthday");
}

TEST_F(GetStartedWizardTest, ThirdPageListIsBounded)
{
    CGetStart3 page;
    for (int n = 0; n < kMaxPremadeDesigns + 10; ++n)
        page.AddItem(0, "x");
    EXPECT_EQ(page.GetItemCount(), kMaxPremadeDesigns);
}

} // namespace
} // namespace assisttest
