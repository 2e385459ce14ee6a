// The edit control driven by messages, typed keys and the clipboard on the
// headless back end.

#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/internal/ListBoxShared.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace uitest;

namespace {

void PumpTranslated()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

class EditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::InstallListAndEditControls();
        parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
        Rec().handlers[parent] = [this](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
            if (msg == WM_COMMAND)
                codes.push_back(HIWORD(wParam));
            return false;
        };
    }
    void TearDown() override { platform::headless::Reset(); }

    HWND MakeEdit(DWORD style, const char* text = "", int height = 24)
    {
        return CreateWindowEx(WS_EX_CLIENTEDGE, "Edit", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, height,
            parent, HMENU(INT_PTR(5)), NULL, NULL);
    }

    static std::string Text(HWND edit)
    {
        char buffer[256] = {};
        GetWindowText(edit, buffer, sizeof buffer);
        return buffer;
    }

    static std::pair<DWORD, DWORD> Selection(HWND edit)
    {
        DWORD from = 0, to = 0;
        SendMessage(edit, EM_GETSEL, WPARAM(&from), LPARAM(&to));
        return {from, to};
    }

    static void Type(const std::string& text)
    {
        platform::headless::TypeText(text);
        PumpTranslated();
    }

    static void Key(UINT vk, UINT held = 0, BYTE character = 0)
    {
        if (held)
            platform::headless::KeyDown(held);
        platform::headless::TypeKey(vk, character);
        if (held)
            platform::headless::KeyUp(held);
        PumpTranslated();
    }

    int CountOf(int code) const { return int(std::count(codes.begin(), codes.end(), code)); }

    HWND parent = NULL;
    std::vector<int> codes;
};

TEST_F(EditTest, TypingInsertsAtTheCaretAndNotifiesEachChange)
{
    HWND edit = MakeEdit(ES_AUTOHSCROLL);
    SetFocus(edit);
    EXPECT_EQ(CountOf(EN_SETFOCUS), 1);
    Type("helo");
    Key(VK_LEFT);
    Type("l");
    EXPECT_EQ(Text(edit), "hello");
    EXPECT_EQ(CountOf(EN_CHANGE), 5);
    EXPECT_EQ(CountOf(EN_UPDATE), 5);
    Key(VK_HOME);
    Key(VK_DELETE);
    Key(VK_END);
    Key(VK_BACK);
    EXPECT_EQ(Text(edit), "ell");
    SetFocus(parent);
    EXPECT_EQ(CountOf(EN_KILLFOCUS), 1);
}

TEST_F(EditTest, ShiftArrowsSelectAndTypingReplacesTheSelection)
{
    HWND edit = MakeEdit(0, "abcdef");
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 1, 1);
    Key(VK_RIGHT, VK_SHIFT);
    Key(VK_RIGHT, VK_SHIFT);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(1), DWORD(3)));
    Type("X");
    EXPECT_EQ(Text(edit), "aXdef");
    Key(VK_HOME, VK_SHIFT);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(0), DWORD(2)));
}

TEST_F(EditTest, SetSelectionNormalisesItsEnds)
{
    HWND edit = MakeEdit(0, "abcdef");
    SendMessage(edit, EM_SETSEL, 4, 1);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(1), DWORD(4)));
    EXPECT_EQ(SendMessage(edit, EM_GETSEL, 0, 0), MAKELRESULT(1, 4));
    SendMessage(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(0), DWORD(6)));
    SendMessage(edit, EM_SETSEL, 2, 100);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(2), DWORD(6)));
    SendMessage(edit, EM_SETSEL, WPARAM(-1), 0);
    EXPECT_EQ(Selection(edit).first, Selection(edit).second);
}

TEST_F(EditTest, ReplaceSelectionKeepsToTheLimitAndReportsWhenFull)
{
    HWND edit = MakeEdit(0, "abc");
    SendMessage(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 5);
    SendMessage(edit, EM_SETSEL, 3, 3);
    SendMessage(edit, EM_REPLACESEL, TRUE, LPARAM("defgh"));
    EXPECT_EQ(Text(edit), "abcde");
    EXPECT_EQ(CountOf(EN_MAXTEXT), 1);
    SetFocus(edit);
    Type("z");
    EXPECT_EQ(Text(edit), "abcde");
    EXPECT_EQ(CountOf(EN_MAXTEXT), 2);
    // A single line takes what comes before a line break.
    SendMessage(edit, EM_SETSEL, 0, -1);
    SendMessage(edit, EM_REPLACESEL, TRUE, LPARAM("ab\r\ncd"));
    EXPECT_EQ(Text(edit), "ab");
    EXPECT_EQ(SendMessage(edit, EM_CANUNDO, 0, 0), TRUE);
    SendMessage(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), "abcde");
}

TEST_F(EditTest, ClipboardRoundTripThroughCutAndPaste)
{
    HWND edit = MakeEdit(0, "one two");
    SendMessage(edit, EM_SETSEL, 4, 7);
    SendMessage(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), "one ");
    EXPECT_EQ(platform::headless::ClipboardText(), "two");
    SendMessage(edit, EM_SETSEL, 0, 0);
    SendMessage(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), "twoone ");
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 0, 3);
    Key('C', VK_CONTROL, 0x03);
    Key(VK_END);
    Key('V', VK_CONTROL, 0x16);
    EXPECT_EQ(Text(edit), "twoone two");
    // Text from another program arrives through the desktop clipboard.
    platform::headless::SetClipboardText("!");
    Key('V', VK_CONTROL, 0x16);
    EXPECT_EQ(Text(edit), "twoone two!");
}

TEST_F(EditTest, ReadOnlyRefusesChangesButCopies)
{
    HWND edit = MakeEdit(ES_READONLY, "fixed");
    SetFocus(edit);
    Type("x");
    Key(VK_BACK);
    SendMessage(edit, EM_SETSEL, 0, -1);
    SendMessage(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), "fixed");
    SendMessage(edit, WM_COPY, 0, 0);
    EXPECT_EQ(platform::headless::ClipboardText(), "fixed");
    SendMessage(edit, EM_SETREADONLY, FALSE, 0);
    EXPECT_EQ(GetWindowLongPtr(edit, GWL_STYLE) & ES_READONLY, 0);
    Type("!");
    EXPECT_EQ(Text(edit), "!");
}

TEST_F(EditTest, MultiLineCountsLinesAndMovesBetweenThem)
{
    HWND edit = MakeEdit(ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, "first\r\nsecond\r\nthird", 80);
    EXPECT_EQ(SendMessage(edit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessage(edit, EM_LINEFROMCHAR, 8, 0), 1);
    EXPECT_EQ(SendMessage(edit, EM_LINEINDEX, 2, 0), 15);
    EXPECT_EQ(SendMessage(edit, EM_LINELENGTH, 9, 0), 6);
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 2, 2);
    Key(VK_DOWN);
    EXPECT_EQ(SendMessage(edit, EM_LINEFROMCHAR, WPARAM(-1), 0), 1);
    Key(VK_END);
    Type("\r");
    EXPECT_EQ(Text(edit), "first\r\nsecond\r\n\r\nthird");
    // Backspace takes a whole line break.
    Key(VK_BACK);
    EXPECT_EQ(Text(edit), "first\r\nsecond\r\nthird");
    // Setting the text of a multi-line edit does not notify.
    int changes = CountOf(EN_CHANGE);
    SetWindowText(edit, "a");
    EXPECT_EQ(CountOf(EN_CHANGE), changes);
}

TEST_F(EditTest, MultiLineWithoutAutoHScrollWrapsWordsOnTheScreenOnly)
{
    const char* text = "one two three four five six seven eight nine ten eleven twelve";
    HWND edit = MakeEdit(ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, text, 80);
    RECT format{};
    SendMessage(edit, EM_GETRECT, 0, LPARAM(&format));
    const int width = format.right - format.left;
    const LRESULT nLines = SendMessage(edit, EM_GETLINECOUNT, 0, 0);
    EXPECT_GE(nLines, 2);
    EXPECT_EQ(Text(edit), text) << "wrapping puts no breaks into the text";

    HDC dc = GetDC(edit);
    HGDIOBJ font = HGDIOBJ(SendMessage(edit, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font != NULL ? font : GetStockObject(DEFAULT_GUI_FONT));
    const std::string all = text;
    for (LRESULT line = 0; line < nLines; ++line) {
        SCOPED_TRACE(line);
        const size_t start = size_t(SendMessage(edit, EM_LINEINDEX, WPARAM(line), 0));
        const size_t length = size_t(SendMessage(edit, EM_LINELENGTH, WPARAM(start), 0));
        std::string shown = all.substr(start, length);
        // Lines break after a blank, never inside a word that fits.
        if (line > 0) {
            EXPECT_EQ(all[start - 1], ' ');
        }
        while (!shown.empty() && shown.back() == ' ')
            shown.pop_back();
        SIZE size{};
        GetTextExtentPoint32(dc, shown.c_str(), int(shown.size()), &size);
        EXPECT_LE(size.cx, width) << shown;
    }
    SelectObject(dc, old);
    ReleaseDC(edit, dc);

    // A word longer than the line is broken inside; a hard break still
    // starts a line.
    SetWindowText(edit, (std::string(60, 'w') + "\r\nend").c_str());
    EXPECT_GT(SendMessage(edit, EM_GETLINECOUNT, 0, 0), 2);
    const LRESULT last = SendMessage(edit, EM_GETLINECOUNT, 0, 0) - 1;
    EXPECT_EQ(SendMessage(edit, EM_LINEINDEX, WPARAM(last), 0), 62);

    // Typing at the end goes on on a new line once the line is full.
    SetWindowText(edit, "");
    SetFocus(edit);
    Type("alpha beta gamma delta epsilon zeta eta theta");
    EXPECT_GT(SendMessage(edit, EM_LINEFROMCHAR, WPARAM(-1), 0), 0);
    EXPECT_EQ(Text(edit), "alpha beta gamma delta epsilon zeta eta theta");

    // With ES_AUTOHSCROLL the line scrolls instead.
    HWND scrolling = MakeEdit(ES_MULTILINE | ES_AUTOHSCROLL, text, 80);
    EXPECT_EQ(SendMessage(scrolling, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditTest, DialogCodesAskForEnterOnlyWhenWanted)
{
    HWND single = MakeEdit(0);
    HWND multi = MakeEdit(ES_MULTILINE | ES_WANTRETURN, "", 60);
    HWND plainMulti = MakeEdit(ES_MULTILINE, "", 60);
    MSG enter{};
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    LRESULT base = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    EXPECT_EQ(SendMessage(single, WM_GETDLGCODE, VK_RETURN, LPARAM(&enter)), base);
    EXPECT_EQ(SendMessage(plainMulti, WM_GETDLGCODE, VK_RETURN, LPARAM(&enter)), base);
    EXPECT_EQ(SendMessage(multi, WM_GETDLGCODE, VK_RETURN, LPARAM(&enter)), base | DLGC_WANTMESSAGE);
    EXPECT_EQ(SendMessage(multi, WM_GETDLGCODE, 0, 0), base);
}

TEST_F(EditTest, MouseDragSelectsAndPlacesTheCaret)
{
    HWND edit = MakeEdit(0, "wide text here");
    RECT r;
    GetClientRect(edit, &r);
    POINT from{1, r.bottom / 2};
    POINT to{r.right - 2, r.bottom / 2};
    ClientToScreen(edit, &from);
    ClientToScreen(edit, &to);
    platform::headless::PressMouse(0, from.x, from.y);
    platform::headless::MoveMouse(to.x, to.y);
    platform::headless::ReleaseMouse(0, to.x, to.y);
    PumpTranslated();
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(0), DWORD(14)));
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_GT(caret.x, 20);
}

TEST_F(EditTest, NumberAndPasswordStyles)
{
    HWND number = MakeEdit(ES_NUMBER);
    SetFocus(number);
    Type("4a2");
    EXPECT_EQ(Text(number), "42");
    HWND password = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 10, 50, 200, 24, parent,
        HMENU(INT_PTR(6)), NULL, NULL);
    SetFocus(password);
    Type("secret");
    EXPECT_EQ(Text(password), "secret");
    // The letters never reach the clipboard.
    platform::headless::SetClipboardText("before");
    SendMessage(password, EM_SETSEL, 0, -1);
    SendMessage(password, WM_COPY, 0, 0);
    EXPECT_EQ(platform::headless::ClipboardText(), "before");
}

TEST_F(EditTest, PaintsTheSelectionInTheHighlightColour)
{
    HWND edit = MakeEdit(0, "MMMMMMMM");
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 0, -1);
    UpdateWindow(edit);
    RECT r;
    GetClientRect(edit, &r);
    EXPECT_EQ(platform::headless::WindowPixel(edit, 4, r.bottom / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(platform::headless::WindowPixel(edit, r.right - 3, r.bottom / 2), GetSysColor(COLOR_WINDOW));
}

} // namespace
