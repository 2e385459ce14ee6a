#include "platform/base/GdiRecords.h"
#include "platform/base/ResourceTables.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/DialogManager.h"
#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

using platform::DialogItemTemplate;
using platform::DialogTemplate;

constexpr int kLabel = 100;
constexpr int kField = 101;
constexpr int kAlpha = 201;
constexpr int kBeta = 202;
constexpr int kGamma = 203;
constexpr int kCheck = 300;

struct DlgSeen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<DlgSeen> g_seen;
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> g_react;

INT_PTR CALLBACK RecordingDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back(DlgSeen{msg, wParam, lParam});
    if (g_react)
        return g_react(hDlg, msg, wParam, lParam);
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

std::vector<int> CommandsSeen()
{
    std::vector<int> ids;
    for (const DlgSeen& s : g_seen)
        if (s.message == WM_COMMAND)
            ids.push_back(LOWORD(s.wParam));
    return ids;
}

// Items of the dialog most tests use: a label for a field, a radio group,
// a check box and OK/Cancel. The field is a recording window.
std::vector<DialogItemTemplate> StandardItems(const char* fieldClass)
{
    return {
        {WS_VISIBLE | SS_LEFT, 0, 0, 5, 5, 40, 10, kLabel, "STATIC", "&Name:", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 0, 50, 5, 100, 12, kField, fieldClass, "", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 0, 5, 25, 60, 10, kAlpha, "BUTTON", "&Alpha", 0},
        {WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 0, 5, 37, 60, 10, kBeta, "BUTTON", "&Beta", 0},
        {WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 0, 5, 49, 60, 10, kGamma, "BUTTON", "&Gamma", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0, 0, 80, 25, 60, 10, kCheck, "BUTTON", "&Check", 0},
        {WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 0, 90, 95, 50, 14, IDOK, "BUTTON", "OK", 0},
        {WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 145, 95, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
    };
}

DialogTemplate MakeTemplate(const std::vector<DialogItemTemplate>& items, DWORD style)
{
    DialogTemplate t{};
    t.style = style | DS_SETFONT;
    t.x = 10;
    t.y = 10;
    t.cx = 200;
    t.cy = 115;
    t.caption = (style & WS_CAPTION) ? "Test dialog" : "";
    t.menuName = nullptr;
    t.className = "";
    t.pointSize = 8;
    t.weight = FW_NORMAL;
    t.faceName = "MS Sans Serif";
    t.items = items.data();
    t.count = WORD(items.size());
    return t;
}

constexpr DWORD kModelessStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        uitest::Rec().log.clear();
        uitest::Rec().handlers.clear();
        g_seen.clear();
        g_react = nullptr;
        items = StandardItems(uitest::TestClass());
        tmpl = MakeTemplate(items, kModelessStyle);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        g_react = nullptr;
    }

    HWND Create(LPARAM param = 0)
    {
        HWND h = CreateDialogIndirectParam(NULL, &tmpl, NULL, RecordingDlgProc, param);
        EXPECT_NE(h, nullptr);
        return h;
    }

    // The loop a modeless dialog's owner runs.
    void PumpDialog(HWND hDlg)
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
            if (msg.message == WM_QUIT)
                break;
            if (!IsDialogMessage(hDlg, &msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
        }
    }

    void Key(HWND hDlg, UINT vk)
    {
        platform::headless::TypeKey(vk);
        PumpDialog(hDlg);
    }

    std::vector<DialogItemTemplate> items;
    DialogTemplate tmpl{};
};

TEST_F(DialogTest, CreatesControlsInDialogUnitsOfTheTemplateFont)
{
    HWND h = Create();
    HFONT font = HFONT(SendMessage(h, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);

    RECT cell{0, 0, 4, 8};
    MapDialogRect(h, &cell);
    EXPECT_EQ(cell.right, 6); // the average width of the classic 8-point face

    RECT expected{0, 0, 200, 115};
    MapDialogRect(h, &expected);
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);

    HWND ok = GetDlgItem(h, IDOK);
    ASSERT_NE(ok, nullptr);
    RECT okExpected{90, 95, 140, 109};
    MapDialogRect(h, &okExpected);
    RECT okRect;
    GetWindowRect(ok, &okRect);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    EXPECT_EQ(okRect.left - origin.x, okExpected.left);
    EXPECT_EQ(okRect.top - origin.y, okExpected.top);
    EXPECT_EQ(okRect.right - okRect.left, okExpected.right - okExpected.left);

    char name[32];
    GetClassName(GetDlgItem(h, kLabel), name, 32);
    EXPECT_STREQ(name, "Static");
    EXPECT_EQ(HFONT(SendMessage(ok, WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(GetDlgCtrlID(ok), IDOK);
    char text[32];
    GetWindowText(GetDlgItem(h, kAlpha), text, 32);
    EXPECT_STREQ(text, "&Alpha");
    EXPECT_TRUE(GetWindowLong(ok, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(h));
}

TEST_F(DialogTest, SendsFontThenInitDialogAndFocusesFirstTabStop)
{
    HWND h = Create(1234);
    size_t font = 0, init = 0;
    for (size_t i = 0; i < g_seen.size(); ++i) {
        if (g_seen[i].message == WM_SETFONT && !font)
            font = i + 1;
        if (g_seen[i].message == WM_INITDIALOG) {
            init = i + 1;
            EXPECT_EQ(HWND(g_seen[i].wParam), GetDlgItem(h, kField));
            EXPECT_EQ(g_seen[i].lParam, 1234);
        }
    }
    ASSERT_NE(font, 0u);
    ASSERT_NE(init, 0u);
    EXPECT_LT(font, init);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kField));
}

TEST_F(DialogTest, InitDialogReturningFalseKeepsTheFocusItChose)
{
    g_react = [](HWND hDlg, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg != WM_INITDIALOG)
            return FALSE;
        SetFocus(GetDlgItem(hDlg, IDCANCEL));
        return FALSE;
    };
    HWND h = Create();
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDCANCEL));
}

TEST_F(DialogTest, TabAndShiftTabWalkTheTabStopsAndWrap)
{
    HWND h = Create();
    const int forward[] = {kAlpha, kCheck, IDOK, IDCANCEL, kField};
    for (int id : forward) {
        Key(h, VK_TAB);
        EXPECT_EQ(GetFocus(), GetDlgItem(h, id)) << "expected " << id;
    }
    platform::headless::KeyDown(VK_SHIFT);
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDCANCEL));
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDOK));
    platform::headless::KeyUp(VK_SHIFT);
    PumpDialog(h);

    // A disabled or hidden control is passed over.
    EnableWindow(GetDlgItem(h, IDCANCEL), FALSE);
    ShowWindow(GetDlgItem(h, kField), SW_HIDE);
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kAlpha));
}

TEST_F(DialogTest, TabIntoRadioGroupLandsOnTheCheckedButton)
{
    HWND h = Create();
    CheckRadioButton(h, kAlpha, kGamma, kGamma);
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kGamma));
}

TEST_F(DialogTest, DialogPlacedInsideAnotherJoinsItsTabOrder)
{
    HWND h = Create();
    std::vector<DialogItemTemplate> innerItems = {
        {WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 2, 2, 40, 14, 1040, "BUTTON", "&Help", 0},
        {WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 2, 20, 40, 14, 1041, "BUTTON", "Read", 0},
    };
    DialogTemplate inner = MakeTemplate(innerItems, WS_CHILD | WS_VISIBLE | DS_CONTROL);
    inner.cx = 60;
    inner.cy = 40;
    HWND child = CreateDialogIndirectParam(NULL, &inner, h, RecordingDlgProc, 0);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(GetWindowLong(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

    SendMessage(h, WM_NEXTDLGCTL, WPARAM(GetDlgItem(h, IDCANCEL)), TRUE);
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(child, 1040));
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(child, 1041));
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kField));
    EXPECT_EQ(GetNextDlgTabItem(h, NULL, TRUE), GetDlgItem(child, 1041));
}

TEST_F(DialogTest, EditFieldGetsItsTextSelectedAndKeepsTypedLetters)
{
    items = StandardItems("EDIT");
    items[1].text = "hello";
    tmpl = MakeTemplate(items, kModelessStyle);
    HWND h = Create();
    HWND edit = GetDlgItem(h, kField);
    ASSERT_EQ(GetFocus(), edit);
    DWORD start = 0, end = 0;
    SendMessage(edit, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
    // A letter that is also a mnemonic goes into the field.
    Key(h, 'C');
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(IsDlgButtonChecked(h, kCheck), UINT(BST_UNCHECKED));
    Key(h, VK_RETURN);
    EXPECT_EQ(CommandsSeen().back(), IDOK);
    // With Alt it is a mnemonic again.
    platform::headless::KeyDown(VK_MENU);
    Key(h, 'C');
    platform::headless::KeyUp(VK_MENU);
    PumpDialog(h);
    EXPECT_EQ(IsDlgButtonChecked(h, kCheck), UINT(BST_CHECKED));
}

// A field reached by Tab or by its label's letter shows its whole text
// chosen, the field of a drop-down combo box too; Ctrl+A chooses it all.
TEST_F(DialogTest, FieldsReachedFromTheKeyboardHaveTheirTextSelectedAndCtrlASelectsAll)
{
    for (bool combo : {false, true}) {
        SCOPED_TRACE(combo ? "combo box" : "edit");
        items = StandardItems(combo ? "COMBOBOX" : "EDIT");
        if (combo)
            items[1].style |= CBS_DROPDOWN;
        tmpl = MakeTemplate(items, kModelessStyle);
        HWND h = Create();
        HWND field = GetDlgItem(h, kField);
        if (combo) {
            SendMessage(field, CB_ADDSTRING, 0, LPARAM("hello"));
            SendMessage(field, CB_SETCURSEL, 0, 0);
            field = GetWindow(field, GW_CHILD);
        } else {
            SetWindowText(field, "hello");
        }
        auto selection = [field] {
            DWORD start = 0, end = 0;
            SendMessage(field, EM_GETSEL, WPARAM(&start), LPARAM(&end));
            return std::make_pair(start, end);
        };
        const std::pair<DWORD, DWORD> all(0, 5);

        SendMessage(h, WM_NEXTDLGCTL, WPARAM(GetDlgItem(h, IDCANCEL)), TRUE);
        SendMessage(field, EM_SETSEL, 5, 5);
        Key(h, VK_TAB);
        ASSERT_EQ(GetFocus(), field);
        EXPECT_EQ(selection(), all);

        SendMessage(h, WM_NEXTDLGCTL, WPARAM(GetDlgItem(h, IDCANCEL)), TRUE);
        SendMessage(field, EM_SETSEL, 5, 5);
        platform::headless::KeyDown(VK_MENU);
        Key(h, 'N');
        platform::headless::KeyUp(VK_MENU);
        ASSERT_EQ(GetFocus(), field);
        EXPECT_EQ(selection(), all);

        SendMessage(field, EM_SETSEL, 5, 5);
        platform::headless::KeyDown(VK_CONTROL);
        platform::headless::TypeKey('A', 0x01);
        platform::headless::KeyUp(VK_CONTROL);
        PumpDialog(h);
        EXPECT_EQ(selection(), all);
        char text[16] = {};
        GetWindowText(field, text, int(sizeof text));
        EXPECT_STREQ(text, "hello");
        DestroyWindow(h);
    }
}

TEST_F(DialogTest, ArrowsStayInTheGroupAndCheckAutoRadioButtons)
{
    HWND h = Create();
    SendMessage(h, WM_NEXTDLGCTL, WPARAM(GetDlgItem(h, kAlpha)), TRUE);
    Key(h, VK_DOWN);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kBeta));
    EXPECT_EQ(IsDlgButtonChecked(h, kBeta), UINT(BST_CHECKED));
    Key(h, VK_RIGHT);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kGamma));
    EXPECT_EQ(IsDlgButtonChecked(h, kBeta), UINT(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(h, kGamma), UINT(BST_CHECKED));
    Key(h, VK_DOWN); // wraps inside the group, not on to the check box
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kAlpha));
    Key(h, VK_UP);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kGamma));

    EXPECT_EQ(GetNextDlgGroupItem(h, GetDlgItem(h, kCheck), FALSE), GetDlgItem(h, kCheck));
    EXPECT_EQ(GetNextDlgGroupItem(h, GetDlgItem(h, IDOK), FALSE), GetDlgItem(h, IDCANCEL));
}

TEST_F(DialogTest, EnterSendsTheDefaultIdAndEscapeSendsCancel)
{
    HWND h = Create();
    ASSERT_EQ(GetFocus(), GetDlgItem(h, kField));
    EXPECT_EQ(SendMessage(h, DM_GETDEFID, 0, 0), LRESULT(MAKELONG(IDOK, DC_HASDEFID)));
    Key(h, VK_RETURN);
    Key(h, VK_ESCAPE);
    // An Esc key posted by the program goes the same way.
    PostMessage(GetDlgItem(h, kField), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpDialog(h);
    EXPECT_EQ(CommandsSeen(), (std::vector<int>{IDOK, IDCANCEL, IDCANCEL}));

    g_seen.clear();
    SendMessage(h, DM_SETDEFID, kCheck, 0);
    EXPECT_EQ(SendMessage(h, DM_GETDEFID, 0, 0), LRESULT(MAKELONG(kCheck, DC_HASDEFID)));
    EXPECT_EQ(GetWindowLong(GetDlgItem(h, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    Key(h, VK_RETURN);
    EXPECT_EQ(CommandsSeen(), (std::vector<int>{kCheck}));

    // A disabled default button gives nothing.
    g_seen.clear();
    EnableWindow(GetDlgItem(h, kCheck), FALSE);
    Key(h, VK_RETURN);
    EXPECT_TRUE(CommandsSeen().empty());
}

TEST_F(DialogTest, DefaultButtonFollowsFocusBetweenPushButtons)
{
    HWND h = Create();
    HWND ok = GetDlgItem(h, IDOK);
    HWND cancel = GetDlgItem(h, IDCANCEL);
    auto type = [](HWND b) { return GetWindowLong(b, GWL_STYLE) & BS_TYPEMASK; };

    SendMessage(h, WM_NEXTDLGCTL, WPARAM(cancel), TRUE);
    EXPECT_EQ(type(cancel), BS_DEFPUSHBUTTON);
    EXPECT_EQ(type(ok), BS_PUSHBUTTON);
    EXPECT_EQ(SendMessage(cancel, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
    Key(h, VK_RETURN);

    // Leaving the push buttons gives the default back to the dialog's own.
    SendMessage(h, WM_NEXTDLGCTL, WPARAM(GetDlgItem(h, kField)), TRUE);
    EXPECT_EQ(type(cancel), BS_PUSHBUTTON);
    EXPECT_EQ(type(ok), BS_DEFPUSHBUTTON);
    Key(h, VK_RETURN);
    EXPECT_EQ(CommandsSeen(), (std::vector<int>{IDCANCEL, IDOK}));
    EXPECT_EQ(LOWORD(SendMessage(h, DM_GETDEFID, 0, 0)), IDOK);

    // A mouse press moves it too.
    POINT pt{2, 2};
    ClientToScreen(cancel, &pt);
    platform::headless::Click(pt.x, pt.y);
    PumpDialog(h);
    EXPECT_EQ(type(cancel), BS_DEFPUSHBUTTON);
    EXPECT_EQ(CommandsSeen().back(), IDCANCEL);
}

TEST_F(DialogTest, MnemonicsFocusOrClickTheirControl)
{
    HWND h = Create();
    SendMessage(h, WM_NEXTDLGCTL, WPARAM(GetDlgItem(h, IDOK)), TRUE);
    Key(h, 'N'); // the label hands on to the field after it
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kField));
    Key(h, 'C');
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kCheck));
    EXPECT_EQ(IsDlgButtonChecked(h, kCheck), UINT(BST_CHECKED));
    Key(h, 'B');
    EXPECT_EQ(GetFocus(), GetDlgItem(h, kBeta));
    EXPECT_EQ(IsDlgButtonChecked(h, kBeta), UINT(BST_CHECKED));
    EXPECT_EQ(CommandsSeen(), (std::vector<int>{kCheck, kBeta}));
}

TEST_F(DialogTest, ControlsThatWantKeysGetThem)
{
    HWND h = Create();
    HWND field = GetDlgItem(h, kField);
    UINT answer = DLGC_WANTTAB;
    uitest::Rec().handlers[field] = [&answer](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != WM_GETDLGCODE)
            return false;
        r = answer;
        return true;
    };
    uitest::Rec().Clear();
    Key(h, VK_TAB);
    EXPECT_EQ(GetFocus(), field);
    answer = DLGC_WANTARROWS | DLGC_WANTCHARS;
    Key(h, VK_DOWN);
    Key(h, 'N');
    EXPECT_EQ(GetFocus(), field);
    answer = DLGC_WANTALLKEYS;
    Key(h, VK_RETURN);
    EXPECT_TRUE(CommandsSeen().empty());
    // Alt with a mnemonic is the dialog's all the same.
    platform::headless::KeyDown(VK_MENU);
    Key(h, 'C');
    platform::headless::KeyUp(VK_MENU);
    PumpDialog(h);
    EXPECT_EQ(IsDlgButtonChecked(h, kCheck), UINT(BST_CHECKED));
    EXPECT_EQ(CommandsSeen(), (std::vector<int>{kCheck}));

    std::vector<WPARAM> keys;
    for (const uitest::Seen& s : uitest::Rec().log)
        if (s.hwnd == field && s.message == WM_KEYDOWN)
            keys.push_back(s.wParam);
    EXPECT_EQ(keys, (std::vector<WPARAM>{VK_TAB, VK_DOWN, 'N', VK_RETURN}));
}

WNDPROC g_originalButtonProc = nullptr;
std::vector<UINT> g_subclassSeen;

LRESULT CALLBACK PictureButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_subclassSeen.push_back(msg);
    if (msg == WM_GETDLGCODE)
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_WANTALLKEYS;
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        HWND dlg = GetParent(hwnd);
        LRESULT def = SendMessage(dlg, DM_GETDEFID, 0, 0);
        if (HIWORD(def) == DC_HASDEFID)
            SendMessage(dlg, WM_COMMAND, WPARAM(LOWORD(def)), 0);
        return 0;
    }
    return CallWindowProc(g_originalButtonProc, hwnd, msg, wParam, lParam);
}

TEST_F(DialogTest, SubclassedTemplateButtonRunsFirstWithTheClassProcedureAsDefault)
{
    HWND h = Create();
    HWND cancel = GetDlgItem(h, IDCANCEL);
    g_originalButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(cancel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureButtonProc)));
    ASSERT_NE(g_originalButtonProc, nullptr);
    g_subclassSeen.clear();

    SendMessage(h, WM_NEXTDLGCTL, WPARAM(cancel), TRUE);
    EXPECT_EQ(GetFocus(), cancel);
    EXPECT_NE(std::count(g_subclassSeen.begin(), g_subclassSeen.end(), UINT(WM_SETFOCUS)), 0);
    // It asks for every key: Enter reaches it and it answers with the
    // dialog's default id.
    Key(h, VK_RETURN);
    EXPECT_EQ(CommandsSeen(), (std::vector<int>{IDOK}));
    // The class procedure still does the rest.
    SendMessage(cancel, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(SendMessage(cancel, BM_GETSTATE, 0, 0) & BST_PUSHED);
}

TEST_F(DialogTest, CloseBecomesCancelAndProcedureResultsComeFromMsgResult)
{
    g_react = [](HWND hDlg, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg == WM_USER + 50) {
            SetWindowLongPtr(hDlg, DWLP_MSGRESULT, 99);
            return TRUE;
        }
        if (msg == WM_CTLCOLORDLG)
            return INT_PTR(GetStockObject(WHITE_BRUSH));
        return msg == WM_INITDIALOG;
    };
    HWND h = Create();
    EXPECT_EQ(SendMessage(h, WM_USER + 50, 0, 0), 99);
    EXPECT_EQ(SendMessage(h, WM_CTLCOLORDLG, 0, 0), LRESULT(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetWindowLongPtr(h, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(RecordingDlgProc));

    SendMessage(h, WM_CLOSE, 0, 0);
    PumpDialog(h);
    EXPECT_EQ(CommandsSeen(), (std::vector<int>{IDCANCEL}));
    EXPECT_TRUE(IsWindow(h));
}

TEST_F(DialogTest, ItemHelpersReachControlsById)
{
    HWND h = Create();
    EXPECT_TRUE(SetDlgItemInt(h, kField, UINT(-42), TRUE));
    BOOL ok = FALSE;
    EXPECT_EQ(int(GetDlgItemInt(h, kField, &ok, TRUE)), -42);
    EXPECT_TRUE(ok);
    GetDlgItemInt(h, kField, &ok, FALSE);
    EXPECT_FALSE(ok);

    struct Case {
        const char* text;
        BOOL translated;
        UINT value;
    };
    const Case cases[] = {
        {" 17 ", TRUE, 17}, {"4294967295", TRUE, 4294967295u}, {"4294967296", FALSE, 0}, {"12a", FALSE, 0},
        {"", FALSE, 0}, {"-", FALSE, 0},
    };
    for (const Case& c : cases) {
        SetDlgItemText(h, kField, c.text);
        EXPECT_EQ(GetDlgItemInt(h, kField, &ok, FALSE), c.value) << c.text;
        EXPECT_EQ(ok, c.translated) << c.text;
    }
    SetDlgItemText(h, kField, "2147483648");
    GetDlgItemInt(h, kField, &ok, TRUE);
    EXPECT_FALSE(ok);

    char text[8];
    SetDlgItemText(h, kField, "abcdefghij");
    EXPECT_EQ(GetDlgItemText(h, kField, text, 8), 7u);
    EXPECT_STREQ(text, "abcdefg");

    CheckRadioButton(h, kAlpha, kGamma, kBeta);
    EXPECT_EQ(IsDlgButtonChecked(h, kAlpha), UINT(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(h, kBeta), UINT(BST_CHECKED));
    CheckDlgButton(h, kCheck, BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessage(h, kCheck, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessage(h, 999, BM_GETCHECK, 0, 0), 0);
    EXPECT_FALSE(CheckDlgButton(h, 999, BST_CHECKED));
}

TEST_F(DialogTest, MissingTemplateOrControlClassFails)
{
    EXPECT_EQ(CreateDialogParam(NULL, MAKEINTRESOURCE(65000), NULL, RecordingDlgProc, 0), nullptr);
    EXPECT_EQ(DialogBoxParam(NULL, MAKEINTRESOURCE(65000), NULL, RecordingDlgProc, 0), -1);
    items.push_back({WS_VISIBLE, 0, 0, 1, 1, 5, 5, 7, "NoSuchClass", "", 0});
    tmpl = MakeTemplate(items, kModelessStyle);
    EXPECT_EQ(CreateDialogIndirectParam(NULL, &tmpl, NULL, RecordingDlgProc, 0), nullptr);
}

// ---- Modal dialogs ------------------------------------------------------------------------

class ModalDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        owner = uitest::MakeTopLevel();
        tmpl = MakeTemplate(items, WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    }
    HWND owner = NULL;
    HWND dialog = NULL;
    bool ownerEnabledInside = true;
};

TEST_F(ModalDialogTest, RunsItsOwnLoopWithTheOwnerDisabledAndReturnsEndDialogResult)
{
    g_react = [this](HWND hDlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG)
            dialog = hDlg;
        if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
            EndDialog(hDlg, 77);
        return msg == WM_INITDIALOG;
    };
    int idles = 0;
    platform::headless::SetIdleHandler([&]() {
        if (idles++ > 0)
            return false;
        ownerEnabledInside = IsWindowEnabled(owner);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kField));
        platform::headless::TypeKey(VK_ESCAPE);
        return true;
    });
    INT_PTR result = DialogBoxIndirectParam(NULL, &tmpl, owner, RecordingDlgProc, 0);
    EXPECT_EQ(result, 77);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(ModalDialogTest, EndDialogFromOutsideAndPostedEscapeBothEndTheLoop)
{
    // Captionless, ended by a call that does not come from its own messages.
    tmpl = MakeTemplate(items, WS_POPUP | WS_BORDER);
    g_react = [this](HWND hDlg, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG)
            dialog = hDlg;
        return msg == WM_INITDIALOG;
    };
    platform::headless::SetIdleHandler([this]() {
        if (!IsWindow(dialog))
            return false;
        EndDialog(dialog, 5);
        return true;
    });
    EXPECT_EQ(DialogBoxIndirectParam(NULL, &tmpl, owner, RecordingDlgProc, 0), 5);
    EXPECT_TRUE(IsWindowEnabled(owner));

    // A posted Esc key down, to the dialog itself.
    g_seen.clear();
    g_react = [this](HWND hDlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG)
            dialog = hDlg;
        if (msg == WM_COMMAND)
            EndDialog(hDlg, LOWORD(wParam));
        return msg == WM_INITDIALOG;
    };
    bool posted = false;
    platform::headless::SetIdleHandler([&]() {
        if (posted)
            return false;
        posted = true;
        PostMessage(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
        return true;
    });
    EXPECT_EQ(DialogBoxIndirectParam(NULL, &tmpl, owner, RecordingDlgProc, 0), IDCANCEL);
}

TEST_F(ModalDialogTest, EndDialogDuringInitReturnsWithoutShowing)
{
    g_react = [](HWND hDlg, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG)
            EndDialog(hDlg, 9);
        if (msg == WM_SHOWWINDOW && wParam)
            ADD_FAILURE() << "shown";
        return msg == WM_INITDIALOG;
    };
    EXPECT_EQ(DialogBoxIndirectParam(NULL, &tmpl, owner, RecordingDlgProc, 0), 9);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ModalDialogTest, QuitLeavesTheLoopAndStaysForTheOuterLoop)
{
    platform::headless::SetIdleHandler([]() {
        PostQuitMessage(3);
        platform::headless::SetIdleHandler(nullptr);
        return true;
    });
    DialogBoxIndirectParam(NULL, &tmpl, owner, RecordingDlgProc, 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

} // namespace
