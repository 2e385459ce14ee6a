// CDialog on the headless back end: modal and modeless life, the dialog
// manager's keys through the class layer, command routing and data
// exchange (the DDX/DDV cases are in DataExchangeTest.cpp).

#include "tests/framework/DialogTestSupport.h"

#include "platform/framework/Controls.h"
#include "platform/framework/DataExchange.h"
#include "platform/ui/User.h"

#include <memory>

namespace dlgtest {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const platform::DialogItemTemplate kDataItems[] = {
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, 80, 12, kTextEdit, "EDIT", "", 0},
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 25, 80, 12, kIntEdit, "EDIT", "", 0},
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 40, 80, 12, kRealEdit, "EDIT", "", 0},
    {kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 10, 55, 80, 10, kCheck, "BUTTON", "Check", 0},
    {kChild | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 0, 10, 70, 80, 10, kRadioPicture, "BUTTON", "Picture", 0},
    {kChild | BS_AUTORADIOBUTTON, 0, 0, 10, 82, 80, 10, kRadioColour, "BUTTON", "Colour", 0},
    {kChild | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 100, 10, 80, 60, kCombo, "COMBOBOX", "", 0},
    {kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0, 0, 100, 30, 80, 40, kList, "LISTBOX", "", 0},
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 100, 75, 80, 12, kUintEdit, "EDIT", "", 0},
    {kChild | SBS_HORZ, 0, 0, 100, 90, 80, 10, kScroll, "SCROLLBAR", "", 0},
    {kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 0, 40, 120, 50, 14, IDOK, "BUTTON", "OK", 0},
    {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 100, 120, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
};

const platform::DialogTemplate kDataTemplate = {false, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0, 0, 0, 0, 200, 140, "Data", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kDataItems,
    WORD(sizeof kDataItems / sizeof kDataItems[0])};

const platform::DialogItemTemplate kPageOneItems[] = {
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, 80, 12, kPageEdit, "EDIT", "", 0},
    {kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 10, 30, 80, 10, kPageCheck, "BUTTON", "Check", 0},
};
const platform::DialogItemTemplate kPageTwoItems[] = {
    {kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, 80, 12, kPageEdit, "EDIT", "", 0},
};

const platform::DialogTemplate kPageOneTemplate = {false, WS_CHILD | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 180, 90,
    "First", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kPageOneItems, 2};
const platform::DialogTemplate kPageTwoTemplate = {false, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 200, 100,
    "Second", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kPageTwoItems, 1};
const platform::DialogTemplate kPageThreeTemplate = {false, WS_CHILD | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 150, 60,
    "Third", nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kPageTwoItems, 1};

const platform::ResourceEntry kEntries[] = {
    {nullptr, 5, nullptr, WORD(kDataDialog), &kDataTemplate, DWORD(sizeof kDataTemplate)},
    {nullptr, 5, nullptr, WORD(kPageOne), &kPageOneTemplate, DWORD(sizeof kPageOneTemplate)},
    {nullptr, 5, nullptr, WORD(kPageTwo), &kPageTwoTemplate, DWORD(sizeof kPageTwoTemplate)},
    {nullptr, 5, nullptr, WORD(kPageThree), &kPageThreeTemplate, DWORD(sizeof kPageThreeTemplate)},
};

} // namespace

void RegisterDialogTemplates()
{
    static const platform::ResourceTable table{kEntries, sizeof kEntries / sizeof kEntries[0], nullptr, 0};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

void DialogFixture::SetUp()
{
    platform::headless::Reset();
    RegisterDialogTemplates();
    m_app = std::make_unique<CDialogTestApp>();
    platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
        m_prompts.push_back(text ? text : "");
        return IDOK;
    });
    auto steps = m_steps;
    platform::headless::SetIdleHandler([steps]() {
        if (steps->empty())
            return false;
        auto step = std::move(steps->front());
        steps->pop_front();
        step();
        return true;
    });
}

void DialogFixture::TearDown()
{
    platform::headless::SetIdleHandler(nullptr);
    m_app.reset();
    platform::SetAfxMessageBoxHandler({});
    m_steps->clear();
}

void DialogFixture::Script(std::vector<std::function<void()>> steps)
{
    m_steps->assign(steps.begin(), steps.end());
}

std::string ItemText(HWND hDlg, int nID)
{
    char buffer[256] = {};
    ::GetDlgItemText(hDlg, nID, buffer, int(sizeof buffer));
    return buffer;
}

void SetItemText(HWND hDlg, int nID, const char* text)
{
    ::SetDlgItemText(hDlg, nID, text);
}

void ClickButton(HWND hDlg, int nID)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
}

namespace {

// A dialog that records what happens to it.
class CTestDialog : public CDialog {
public:
    explicit CTestDialog(UINT nID = kDataDialog, CWnd* pParent = nullptr)
        : CDialog(nID, pParent)
    {
    }

    BOOL OnInitDialog() override
    {
        ++m_nInit;
        BOOL r = CDialog::OnInitDialog();
        if (m_nEndInInit)
            EndDialog(m_nEndInInit);
        if (m_focusOnInit) {
            GotoDlgCtrl(GetDlgItem(m_focusOnInit));
            return FALSE;
        }
        return r;
    }

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, kTextEdit, m_text);
        DDX_Text(pDX, kIntEdit, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 10);
    }

    afx_msg void OnCustom() { ++m_nCustom; }

    CString m_text = "start";
    int m_count = 5;
    int m_nInit = 0;
    int m_nCustom = 0;
    int m_nEndInInit = 0;
    int m_focusOnInit = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
    ON_COMMAND(1005, OnCustom)
END_MESSAGE_MAP()

// A plain owner window with a command handler of its own.
class COwnerWnd : public CWnd {
public:
    afx_msg void OnOwnerCommand() { ++m_nCommand; }
    int m_nCommand = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerWnd, CWnd)
    ON_COMMAND(0x8123, OnOwnerCommand)
END_MESSAGE_MAP()

bool CreateOwner(COwnerWnd& owner)
{
    // A class of the test's own: the window system forgets classes on reset.
    WNDCLASS wc{};
    wc.lpfnWndProc = ::DefWindowProc;
    wc.lpszClassName = "DialogTestOwner";
    ::RegisterClass(&wc);
    return owner.CreateEx(0, "DialogTestOwner", "Owner", WS_POPUP | WS_VISIBLE | WS_CAPTION, 50, 50, 400, 300, NULL,
               NULL)
        != FALSE;
}

using CDialogModal = DialogFixture;
using CDialogModeless = DialogFixture;

TEST_F(CDialogModal, MissingTemplateAnswersMinusOne)
{
    CTestDialog dlg(kMissingDialog);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_nInit, 0);
    EXPECT_EQ(dlg.m_hWnd, HWND(NULL));
}

TEST_F(CDialogModal, OkSavesTheDataAndAnswersIdOk)
{
    CTestDialog dlg;
    HWND seen = NULL;
    Script({[&] {
        seen = dlg.m_hWnd;
        EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
        EXPECT_EQ(ItemText(dlg.m_hWnd, kTextEdit), "start");
        SetItemText(dlg.m_hWnd, kTextEdit, "typed");
        ClickButton(dlg.m_hWnd, IDOK);
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nInit, 1);
    EXPECT_EQ(dlg.m_text, CString("typed"));
    EXPECT_FALSE(::IsWindow(seen));
    EXPECT_EQ(dlg.m_hWnd, HWND(NULL));
}

TEST_F(CDialogModal, FailedValidationKeepsTheDialogOpenOnTheField)
{
    CTestDialog dlg;
    Script({
        [&] {
            SetItemText(dlg.m_hWnd, kIntEdit, "42");
            ClickButton(dlg.m_hWnd, IDOK);
        },
        [&] {
            ASSERT_TRUE(::IsWindow(dlg.m_hWnd));
            EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
            ASSERT_EQ(m_prompts.size(), 1u);
            EXPECT_EQ(m_prompts[0], "Please enter an integer between 1 and 10.");
            HWND edit = ::GetDlgItem(dlg.m_hWnd, kIntEdit);
            EXPECT_EQ(::GetFocus(), edit);
            DWORD start = 0, end = 0;
            ::SendMessage(edit, EM_GETSEL, WPARAM(&start), LPARAM(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, 2u);
            SetItemText(dlg.m_hWnd, kIntEdit, "7");
            ClickButton(dlg.m_hWnd, IDOK);
        },
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_count, 7);
}

TEST_F(CDialogModal, EnterPressesTheDefaultButton)
{
    CTestDialog dlg;
    Script({[&] {
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, kTextEdit));
        platform::headless::TypeKey(VK_RETURN);
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);

    CTestDialog other;
    Script({[&] {
        other.SetDefID(IDCANCEL);
        EXPECT_EQ(other.GetDefID(), DWORD(MAKELONG(IDCANCEL, DC_HASDEFID)));
        platform::headless::TypeKey(VK_RETURN);
    }});
    EXPECT_EQ(other.DoModal(), IDCANCEL);
}

TEST_F(CDialogModal, EscapePostedToTheDialogCancels)
{
    CTestDialog dlg;
    Script({[&] {
        SetItemText(dlg.m_hWnd, kTextEdit, "discarded");
        ::PostMessage(dlg.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_text, CString("start"));
}

TEST_F(CDialogModal, CommandWithTheDefaultIdMarkerIsACommand)
{
    // The answer of DM_GETDEFID (high word DC_HASDEFID) sent on as wParam
    // with lParam 0 still names the command in its low word.
    CTestDialog dlg;
    Script({[&] {
        ::SendMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(1005, DC_HASDEFID), 0);
        EXPECT_EQ(dlg.m_nCustom, 1);
        ::SendMessage(dlg.m_hWnd, WM_COMMAND, WPARAM(dlg.GetDefID()), 0);
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(CDialogModal, EndDialogFromOutsideEndsTheLoop)
{
    COwnerWnd owner;
    ASSERT_TRUE(CreateOwner(owner));
    CTestDialog dlg(kDataDialog, &owner);
    Script({[&] {
        EXPECT_FALSE(::IsWindowEnabled(owner.m_hWnd));
        EXPECT_EQ(::GetParent(dlg.m_hWnd), owner.m_hWnd);
        dlg.EndDialog(77);
    }});
    EXPECT_EQ(dlg.DoModal(), 77);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    owner.DestroyWindow();
}

TEST_F(CDialogModal, EndDialogDuringInitialisationSkipsTheLoop)
{
    CTestDialog dlg;
    dlg.m_nEndInInit = 55;
    bool ran = false;
    Script({[&] { ran = true; }});
    EXPECT_EQ(dlg.DoModal(), 55);
    EXPECT_FALSE(ran);
}

TEST_F(CDialogModal, QuitEndsTheLoopAndIsPostedAgain)
{
    CTestDialog dlg;
    Script({[&] { ::PostQuitMessage(3); }});
    EXPECT_EQ(dlg.DoModal(), -1);
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(3));
}

TEST_F(CDialogModal, CommandsTheDialogDoesNotHandleReachTheOwner)
{
    COwnerWnd owner;
    ASSERT_TRUE(CreateOwner(owner));
    CTestDialog dlg(kDataDialog, &owner);
    Script({[&] {
        ::SendMessage(dlg.m_hWnd, WM_COMMAND, 0x8123, 0);
        dlg.EndDialog(IDCANCEL);
    }});
    dlg.DoModal();
    EXPECT_EQ(owner.m_nCommand, 1);
    owner.DestroyWindow();
}

TEST_F(CDialogModeless, HelpIsTheTemplatesContext)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(kDataDialog));
    EXPECT_EQ(dlg.SendMessage(WM_HELPHITTEST), LRESULT(HID_BASE_RESOURCE + kDataDialog));
    EXPECT_TRUE(dlg.SendMessage(WM_COMMANDHELP));
    dlg.SetHelpID(0);
    EXPECT_FALSE(dlg.SendMessage(WM_COMMANDHELP)) << "no context: the owner answers instead";
    EXPECT_EQ(HelpAsked(), (std::vector<DWORD_PTR>{HID_BASE_RESOURCE + kDataDialog}));
}

TEST_F(CDialogModeless, InitialFocusFollowsOnInitDialogsAnswer)
{
    CTestDialog first;
    ASSERT_TRUE(first.Create(kDataDialog));
    first.ShowWindow(SW_SHOW);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(first.m_hWnd, kTextEdit));
    first.DestroyWindow();

    CTestDialog second;
    second.m_focusOnInit = kUintEdit;
    ASSERT_TRUE(second.Create(kDataDialog));
    second.ShowWindow(SW_SHOW);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(second.m_hWnd, kUintEdit));
}

TEST_F(CDialogModeless, IsAttachedBeforeInitialisationAndNavigates)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(kDataDialog));
    EXPECT_EQ(dlg.m_nInit, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWnd), &dlg);
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_EQ(ItemText(dlg.m_hWnd, kIntEdit), "5");
    dlg.ShowWindow(SW_SHOW);
    dlg.GotoDlgCtrl(dlg.GetDlgItem(kRealEdit));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, kRealEdit));
    dlg.NextDlgCtrl();
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, kCheck));
    dlg.PrevDlgCtrl();
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, kRealEdit));

    // Dialog units follow the dialog's own font, as the dialog manager's.
    RECT rc{0, 0, 4, 8};
    dlg.MapDialogRect(&rc);
    RECT same{0, 0, 4, 8};
    ::MapDialogRect(dlg.m_hWnd, &same);
    EXPECT_EQ(rc.right, same.right);
    EXPECT_EQ(rc.bottom, same.bottom);
    EXPECT_GT(rc.right, 0);

    // The dialog's keys go through the dialog manager in PreTranslateMessage.
    MSG tab{};
    tab.hwnd = ::GetFocus();
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    EXPECT_TRUE(dlg.PreTranslateMessage(&tab));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg.m_hWnd, kCheck));

    dlg.EndDialog(IDOK); // modeless: hidden, not destroyed
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
}

TEST_F(CDialogModeless, CreateIndirectAndModalIndirectUseTheTemplate)
{
    CTestDialog modeless(0);
    ASSERT_TRUE(modeless.CreateIndirect(&kDataTemplate));
    EXPECT_NE(::GetDlgItem(modeless.m_hWnd, kTextEdit), HWND(NULL));
    modeless.DestroyWindow();

    CTestDialog modal(0);
    ASSERT_TRUE(modal.InitModalIndirect(&kDataTemplate));
    Script({[&] { ClickButton(modal.m_hWnd, IDCANCEL); }});
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
}

} // namespace

} // namespace dlgtest
