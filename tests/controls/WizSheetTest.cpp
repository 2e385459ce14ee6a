// The wizard bases on the headless back end: the picture buttons that
// replace the property sheet's own, where they sit, how the wizard-button
// flags show and enable them, and the keys of a page (Enter in multi-line
// and single-line fields, Enter on a button, Esc), through real messages.

#include "controls/CustBtnSheet.h"
#include "controls/CustBtnWizPage.h"
#include "controls/PicButton.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/GoldenPicture.h"

#include <functional>
#include <vector>

namespace {

constexpr UINT kFirstPageId = 30711;
constexpr UINT kLastPageId = 30712;
constexpr int kNotesId = 100; // multi-line, wants Return
constexpr int kNameId = 101;  // single line
constexpr int kKitsId = 102;  // a push button of the page
constexpr int kTownId = 110;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const platform::DialogItemTemplate kFirstItems[] = {
    {kChild | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_WANTRETURN, 0, 0, 10, 10, 120, 40, kNotesId, "EDIT", "", 0},
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 60, 120, 12, kNameId, "EDIT", "", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 140, 60, 50, 14, kKitsId, "BUTTON", "Kits", 0},
};
const platform::DialogItemTemplate kLastItems[] = {
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, 120, 12, kTownId, "EDIT", "", 0},
};
const platform::DialogTemplate kFirstPage = {false, WS_CHILD | DS_SETFONT, 0, 0, 0, 0, 200, 100, "First", nullptr, 0,
    "", 8, 400, 0, 0, "MS Sans Serif", kFirstItems, 3};
const platform::DialogTemplate kLastPage = {false, WS_CHILD | DS_SETFONT, 0, 0, 0, 0, 200, 100, "Last", nullptr, 0, "",
    8, 400, 0, 0, "MS Sans Serif", kLastItems, 1};

void RegisterPages()
{
    static const platform::ResourceEntry entries[] = {
        {nullptr, 5, nullptr, WORD(kFirstPageId), &kFirstPage, DWORD(sizeof kFirstPage)},
        {nullptr, 5, nullptr, WORD(kLastPageId), &kLastPage, DWORD(sizeof kLastPage)},
    };
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    static const platform::ResourceTable table{entries, sizeof entries / sizeof entries[0], nullptr, 0};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

// A page that sets the wizard buttons a first or last page has, and counts
// the clicks of its Kits button and its finishes.
class CTestPage : public CCustBtnWizPage {
public:
    CTestPage(UINT nIDTemplate, DWORD dwButtons)
        : CCustBtnWizPage(nIDTemplate)
        , m_dwButtons(dwButtons)
    {
    }
    BOOL OnSetActive() override
    {
        if (auto* pSheet = dynamic_cast<CWizSheet*>(GetSheet()))
            pSheet->SetWizardButtons(m_dwButtons);
        return CCustBtnWizPage::OnSetActive();
    }
    BOOL OnWizardFinish() override
    {
        ++m_nFinishes;
        return CCustBtnWizPage::OnWizardFinish();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == kKitsId && HIWORD(wParam) == BN_CLICKED) {
            ++m_nKits;
            return TRUE;
        }
        return CCustBtnWizPage::OnCommand(wParam, lParam);
    }
    DWORD m_dwButtons;
    int m_nFinishes = 0;
    int m_nKits = 0;
};

class CTestSheet : public CCustBtnSheet {
public:
    CTestSheet()
        : CCustBtnSheet(0)
    {
    }
};

class WizSheetTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        threadwick::RegisterSupportResources();
        RegisterPages();
        MakeApp();
        m_sheet.AddPage(&m_first);
        m_sheet.AddPage(&m_last);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        if (m_sheet.m_hWnd)
            m_sheet.DestroyWindow();
        FrameworkTest::TearDown();
    }

    void Open()
    {
        ASSERT_TRUE(m_sheet.Create(nullptr));
        Pump();
    }
    HWND Button(UINT nID) const { return ::GetDlgItem(m_sheet.m_hWnd, int(nID)); }
    bool Shown(UINT nID) const { return ::IsWindowVisible(Button(nID)) != FALSE; }
    bool Enabled(UINT nID) const { return ::IsWindowEnabled(Button(nID)) != FALSE; }
    CRect ButtonRect(UINT nID) const
    {
        CRect rc;
        ::GetWindowRect(Button(nID), &rc);
        m_sheet.ScreenToClient(&rc);
        return rc;
    }
    // A key typed into the focused control, and what it caused.
    static void Type(UINT vk, BYTE ch)
    {
        platform::headless::TypeKey(vk, ch);
        Pump();
    }
    // Runs the sheet modally with the steps taken one by one whenever its
    // loop waits; a step answering false is tried again at the next wait.
    INT_PTR RunModal(std::vector<std::function<bool()>> steps)
    {
        size_t next = 0;
        platform::headless::SetIdleHandler([&]() {
            while (next < steps.size()) {
                if (!steps[next]())
                    return false;
                ++next;
                return true;
            }
            return false;
        });
        INT_PTR result = m_sheet.DoModal();
        platform::headless::SetIdleHandler(nullptr);
        return result;
    }

    CTestSheet m_sheet;
    CTestPage m_first{kFirstPageId, PSWIZB_NEXT};
    CTestPage m_last{kLastPageId, PSWIZB_BACK | PSWIZB_FINISH};
};

TEST_F(WizSheetTest, PictureButtonsReplaceTheSheetsOwn)
{
    Open();
    for (UINT nID : {UINT(IDCANCEL), UINT(ID_WIZBACK), UINT(ID_WIZNEXT), UINT(ID_WIZFINISH), UINT(IDHELP)})
        EXPECT_EQ(HWND(NULL), Button(nID)) << nID;
    UINT ids[5] = {};
    m_sheet.GetWizardButtonIds(ids[0], ids[1], ids[2], ids[3], ids[4]);
    EXPECT_EQ(168u, ids[0]);
    EXPECT_EQ(172u, ids[4]);
    for (UINT nID : {168u, 169u, 170u, 171u, 172u}) {
        auto* pButton = dynamic_cast<CPicButton*>(CWnd::FromHandlePermanent(Button(nID)));
        ASSERT_NE(nullptr, pButton) << nID;
        EXPECT_EQ(CSize(52, 24), pButton->GetBitmapSize()) << nID;
        EXPECT_EQ(RGB(192, 192, 192), pButton->m_crFace);
    }
    // The base sheet names the property sheet's buttons.
    CWizSheet plain(0);
    plain.GetWizardButtonIds(ids[0], ids[1], ids[2], ids[3], ids[4]);
    EXPECT_EQ(UINT(ID_WIZBACK), ids[0]);
    EXPECT_EQ(0u, ids[3]);
    EXPECT_EQ(UINT(IDCANCEL), ids[4]);
    EXPECT_TRUE(plain.IsWizard());
}

TEST_F(WizSheetTest, ButtonsLineUpAtTheBottomRight)
{
    Open();
    // A known sheet size: client 400 x 250.
    CRect client(0, 0, 400, 250);
    ::AdjustWindowRectEx(&client, m_sheet.GetStyle(), FALSE, m_sheet.GetExStyle());
    m_sheet.SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(), SWP_NOMOVE | SWP_NOZORDER);
    m_sheet.LayoutCustomButtons();
    EXPECT_EQ(CRect(340, 218, 392, 242), ButtonRect(171));
    EXPECT_EQ(CRect(280, 218, 332, 242), ButtonRect(172));
    EXPECT_EQ(CRect(220, 218, 272, 242), ButtonRect(170));
    EXPECT_EQ(CRect(160, 218, 212, 242), ButtonRect(169));
    EXPECT_EQ(CRect(100, 218, 152, 242), ButtonRect(168));
}

TEST_F(WizSheetTest, WizardButtonFlagsShowAndEnableTheButtons)
{
    Open();
    m_sheet.SetWizardButtons(PSWIZB_NEXT);
    EXPECT_EQ(DWORD(PSWIZB_NEXT), m_sheet.GetWizardButtonFlags());
    EXPECT_FALSE(Shown(168));
    EXPECT_TRUE(Shown(169));
    EXPECT_TRUE(Enabled(169));
    EXPECT_FALSE(Shown(170));

    m_sheet.SetWizardButtons(PSWIZB_NEXT | CWizSheet::kShowDisabledBack);
    EXPECT_TRUE(Shown(168));
    EXPECT_FALSE(Enabled(168));
    EXPECT_TRUE(Enabled(169));
    EXPECT_FALSE(Shown(170));

    m_sheet.SetWizardButtons(PSWIZB_BACK | PSWIZB_DISABLEDFINISH);
    EXPECT_TRUE(Enabled(168));
    EXPECT_FALSE(Shown(169));
    EXPECT_TRUE(Shown(170));
    EXPECT_FALSE(Enabled(170));

    // The message alone, as a page may send it, does the same.
    m_sheet.SendMessage(PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    EXPECT_FALSE(Shown(168));
    EXPECT_TRUE(Shown(169));
}

TEST_F(WizSheetTest, EnterInAFieldThatWantsReturnStaysOnThePage)
{
    Open();
    ASSERT_EQ(0, m_sheet.GetActiveIndex());
    ::SetFocus(::GetDlgItem(m_first.m_hWnd, kNotesId));
    Type('A', 'a');
    Type(VK_RETURN, '\r');
    Type('B', 'b');
    Pump();
    EXPECT_EQ(0, m_sheet.GetActiveIndex());
    char text[32] = {};
    ::GetDlgItemText(m_first.m_hWnd, kNotesId, text, sizeof text);
    EXPECT_STREQ("a\r\nb", text);
}

TEST_F(WizSheetTest, EnterInASingleLineFieldGoesToTheNextPage)
{
    Open();
    ::SetFocus(::GetDlgItem(m_first.m_hWnd, kNameId));
    Type(VK_RETURN, '\r');
    EXPECT_EQ(1, m_sheet.GetActiveIndex());
    EXPECT_TRUE(Shown(168));
    EXPECT_FALSE(Shown(169));
    EXPECT_TRUE(Shown(170));
}

TEST_F(WizSheetTest, EnterOnAFocusedButtonPressesItOnce)
{
    Open();
    ::SetFocus(::GetDlgItem(m_first.m_hWnd, kKitsId));
    Type(VK_RETURN, '\r');
    EXPECT_EQ(1, m_first.m_nKits);
    EXPECT_EQ(0, m_sheet.GetActiveIndex());

    // A picture button of the sheet: Back on the last page goes back, once.
    m_sheet.SetActivePage(1);
    Pump();
    ASSERT_EQ(1, m_sheet.GetActiveIndex());
    ::SetFocus(Button(168));
    Type(VK_RETURN, '\r');
    EXPECT_EQ(0, m_sheet.GetActiveIndex());
}

TEST_F(WizSheetTest, NextOnTheLastPageFinishes)
{
    m_sheet.SetActivePage(1);
    INT_PTR result = RunModal({
        [&]() {
            if (!m_last.m_hWnd || !::IsWindowVisible(m_last.m_hWnd))
                return false;
            // Next is disabled and hidden; the command still finishes.
            EXPECT_FALSE(Enabled(169));
            m_sheet.PostMessage(WM_COMMAND, MAKEWPARAM(169, BN_CLICKED), 0);
            return true;
        },
    });
    EXPECT_EQ(ID_WIZFINISH, result);
    EXPECT_EQ(1, m_last.m_nFinishes);
}

TEST_F(WizSheetTest, EscapeOnAPageCancels)
{
    INT_PTR result = RunModal({
        [&]() {
            HWND hName = m_first.m_hWnd ? ::GetDlgItem(m_first.m_hWnd, kNameId) : NULL;
            if (!hName || !::IsWindowVisible(hName))
                return false;
            ::SetFocus(hName);
            platform::headless::TypeKey(VK_ESCAPE, 27);
            return true;
        },
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(0, m_first.m_nFinishes);
}

TEST_F(WizSheetTest, KeysOfAPageAsCommands)
{
    Open();
    HWND hNotes = ::GetDlgItem(m_first.m_hWnd, kNotesId);
    HWND hName = ::GetDlgItem(m_first.m_hWnd, kNameId);
    HWND hKits = ::GetDlgItem(m_first.m_hWnd, kKitsId);
    EXPECT_EQ(172u, CCustBtnWizPage::KeyCommand(VK_ESCAPE, hNotes));
    EXPECT_EQ(0u, CCustBtnWizPage::KeyCommand(VK_RETURN, hNotes));
    EXPECT_EQ(169u, CCustBtnWizPage::KeyCommand(VK_RETURN, hName));
    EXPECT_EQ(UINT(kKitsId), CCustBtnWizPage::KeyCommand(VK_RETURN, hKits));
    EXPECT_EQ(169u, CCustBtnWizPage::KeyCommand(VK_RETURN, m_first.m_hWnd));
    EXPECT_EQ(0u, CCustBtnWizPage::KeyCommand(VK_RETURN, NULL));
    EXPECT_EQ(0u, CCustBtnWizPage::KeyCommand(VK_TAB, hName));
}

TEST_F(WizSheetTest, LastPageLooksAsItDid)
{
    m_sheet.SetActivePage(1);
    Open();
    ::RedrawWindow(m_sheet.m_hWnd, nullptr, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testing_support::ExpectLooksAsBefore(m_sheet.m_hWnd, "controls", "wizard-last-page.png");
}

} // namespace
