// A multi-line edit without ES_AUTOHSCROLL wraps its words at its width:
// the line messages, the caret, the mouse, scrolling and painting all go by
// the wrapped lines while the text keeps only its own breaks.

#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/internal/ListBoxShared.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;

namespace {

const std::string kSentence = "The quick brown fox jumps over the lazy dog while seven wizards quietly box "
                              "jackdaws beside a frozen lake";

class EditWrapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::InstallListAndEditControls();
        parent = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 600, 400});
    }
    void TearDown() override
    {
        platform::headless::Reset();
        for (HFONT font : fonts)
            DeleteObject(font);
    }

    HWND MakeEdit(DWORD style, const std::string& text, int width = 200, int height = 120)
    {
        edit = CreateWindowEx(0, "Edit", text.c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE | style, 10, 10, width,
            height, parent, HMENU(INT_PTR(7)), NULL, NULL);
        SendMessage(edit, EM_GETRECT, 0, LPARAM(&fr));
        return edit;
    }

    HFONT MakeFont(int height)
    {
        fonts.push_back(CreateFont(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
        return fonts.back();
    }

    // Text width and line height in the edit's font.
    int Width(const std::string& text) const { return Measure(text).cx; }
    int LineHeight() const { return Measure("X").cy; }
    SIZE Measure(const std::string& text) const
    {
        HDC dc = GetDC(edit);
        HGDIOBJ font = HGDIOBJ(SendMessage(edit, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        SIZE size{};
        GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(edit, dc);
        return size;
    }

    std::vector<size_t> Starts() const
    {
        std::vector<size_t> starts;
        for (LRESULT line = 0; line < SendMessage(edit, EM_GETLINECOUNT, 0, 0); ++line)
            starts.push_back(size_t(SendMessage(edit, EM_LINEINDEX, WPARAM(line), 0)));
        return starts;
    }

    // Lines filled word by word as a reader would: a word joins the line
    // when the line, without its last blank, still fits.
    std::vector<size_t> GreedyStarts(const std::string& text) const
    {
        std::vector<size_t> starts{0};
        for (size_t at = 0; at < text.size();) {
            size_t space = text.find(' ', at);
            size_t wordEnd = space == std::string::npos ? text.size() : space;
            if (at > starts.back() && Width(text.substr(starts.back(), wordEnd - starts.back())) > fr.right - fr.left)
                starts.push_back(at);
            at = wordEnd + 1;
        }
        return starts;
    }

    static POINT Caret()
    {
        POINT p{};
        GetCaretPos(&p);
        return p;
    }

    DWORD CaretOffset() const
    {
        DWORD from = 0, to = 0;
        SendMessage(edit, EM_GETSEL, WPARAM(&from), LPARAM(&to));
        return to;
    }

    static void Key(UINT vk, UINT held = 0)
    {
        if (held)
            platform::headless::KeyDown(held);
        platform::headless::TypeKey(vk);
        if (held)
            platform::headless::KeyUp(held);
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    void ClickAt(int x, int y) const
    {
        POINT p{x, y};
        ClientToScreen(edit, &p);
        platform::headless::Click(p.x, p.y);
        Pump();
    }

    HWND parent = NULL;
    HWND edit = NULL;
    RECT fr{}; // the format rectangle
    std::vector<HFONT> fonts;
};

TEST_F(EditWrapTest, LongSentenceBreaksAtBlanksUnlessTheEditScrollsSideways)
{
    MakeEdit(0, kSentence);
    std::vector<size_t> starts = Starts();
    EXPECT_EQ(starts, GreedyStarts(kSentence));
    ASSERT_GE(starts.size(), 3u);
    char text[256] = {};
    GetWindowText(edit, text, sizeof text);
    EXPECT_EQ(text, kSentence) << "no breaks go into the text";
    for (size_t line = 1; line < starts.size(); ++line) {
        // A line counts its text up to the next line, blank included.
        EXPECT_EQ(size_t(SendMessage(edit, EM_LINELENGTH, starts[line - 1], 0)), starts[line] - starts[line - 1]);
        EXPECT_EQ(SendMessage(edit, EM_LINEFROMCHAR, starts[line], 0), LRESULT(line));
        EXPECT_EQ(SendMessage(edit, EM_LINEFROMCHAR, starts[line] - 1, 0), LRESULT(line - 1));
    }

    MakeEdit(ES_AUTOHSCROLL, kSentence);
    EXPECT_EQ(SendMessage(edit, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessage(edit, EM_LINELENGTH, 0, 0), LRESULT(kSentence.size()));
}

TEST_F(EditWrapTest, CaretKeysAndClicksGoByTheShownLines)
{
    MakeEdit(0, kSentence);
    SetFocus(edit);
    const int lh = LineHeight();
    std::vector<size_t> starts = Starts();
    ASSERT_GE(starts.size(), 3u);

    // The start of the second line shows there, not at the end of the first.
    SendMessage(edit, EM_SETSEL, starts[1], starts[1]);
    EXPECT_EQ(Caret().x, fr.left);
    EXPECT_EQ(Caret().y, fr.top + lh);
    // End stays on the first line, before the blank it broke at; Right goes
    // over the blank to the next line.
    SendMessage(edit, EM_SETSEL, 2, 2);
    Key(VK_END);
    EXPECT_EQ(CaretOffset(), DWORD(starts[1] - 1));
    EXPECT_EQ(Caret().x, fr.left + Width(kSentence.substr(0, starts[1] - 1)));
    EXPECT_EQ(Caret().y, fr.top);
    Key(VK_RIGHT);
    EXPECT_EQ(CaretOffset(), DWORD(starts[1]));
    EXPECT_EQ(Caret().y, fr.top + lh);
    // Down and Up keep the column; Shift+End selects the rest of one line.
    SendMessage(edit, EM_SETSEL, 1, 1);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(SendMessage(edit, EM_LINEFROMCHAR, WPARAM(-1), 0), 2);
    EXPECT_EQ(Caret().y, fr.top + 2 * lh);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(CaretOffset(), 1u);
    SendMessage(edit, EM_SETSEL, starts[1], starts[1]);
    Key(VK_END, VK_SHIFT);
    EXPECT_EQ(SendMessage(edit, EM_GETSEL, 0, 0), MAKELRESULT(starts[1], starts[2] - 1));

    // Clicks: the left edge of the second row, its second word, beyond the
    // end of the first row (the end of that line), below the text.
    ClickAt(fr.left, fr.top + lh + lh / 2);
    EXPECT_EQ(CaretOffset(), DWORD(starts[1]));
    size_t second = kSentence.find(' ', starts[1]) + 1;
    ClickAt(fr.left + Width(kSentence.substr(starts[1], second - starts[1])) + 1, fr.top + lh + 1);
    EXPECT_EQ(CaretOffset(), DWORD(second));
    ClickAt(fr.right - 1, fr.top + 1);
    EXPECT_EQ(CaretOffset(), DWORD(starts[1] - 1));
    EXPECT_EQ(Caret().y, fr.top);
    ClickAt(fr.left, fr.bottom - 2);
    EXPECT_EQ(SendMessage(edit, EM_LINEFROMCHAR, WPARAM(-1), 0), LRESULT(starts.size() - 1));
}

TEST_F(EditWrapTest, SecondLineIsPaintedOnTheSecondRow)
{
    MakeEdit(0, kSentence);
    UpdateWindow(edit);
    std::vector<size_t> starts = Starts();
    ASSERT_GE(starts.size(), 3u);
    const int lh = LineHeight();

    // The same line drawn by hand into a memory bitmap.
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, fr.right, fr.top + 2 * lh);
    ReleaseDC(NULL, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT all{0, 0, fr.right, fr.top + 2 * lh};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const std::string second = kSentence.substr(starts[1], starts[2] - starts[1]);
    TextOut(dc, fr.left, fr.top + lh, second.c_str(), int(second.size()));

    int differing = 0;
    int inked = 0;
    for (int y = fr.top + lh; y < fr.top + 2 * lh; ++y) {
        for (int x = fr.left; x < fr.right; ++x) {
            COLORREF expected = GetPixel(dc, x, y);
            differing += platform::headless::WindowPixel(edit, x, y) != expected;
            inked += expected != GetSysColor(COLOR_WINDOW);
        }
    }
    EXPECT_GT(inked, 20) << "the line has letters";
    EXPECT_EQ(differing, 0);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(EditWrapTest, WordWiderThanTheEditBreaksAtTheWidth)
{
    const std::string text = "a " + std::string(120, 'm') + " b";
    MakeEdit(0, text);
    std::vector<size_t> starts = Starts();
    ASSERT_GE(starts.size(), 4u);
    EXPECT_EQ(starts[1], 2u) << "the long word starts its own line";
    for (size_t line = 1; line + 2 < starts.size(); ++line) {
        std::string shown = text.substr(starts[line], starts[line + 1] - starts[line]);
        EXPECT_LE(Width(shown), fr.right - fr.left);
        EXPECT_GT(Width(shown + "m"), fr.right - fr.left) << "as much of the word as fits";
    }
    EXPECT_EQ(text.substr(starts.back()), "b");

    // End on a line broken inside the word stays at that line's end.
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, starts[1] + 1, starts[1] + 1);
    Key(VK_END);
    EXPECT_EQ(CaretOffset(), DWORD(starts[2]));
    EXPECT_EQ(Caret().y, fr.top + LineHeight());
    EXPECT_EQ(Caret().x, fr.left + Width(text.substr(starts[1], starts[2] - starts[1])));
    EXPECT_EQ(SendMessage(edit, EM_LINEINDEX, WPARAM(-1), 0), LRESULT(starts[1]));
    Key(VK_HOME);
    EXPECT_EQ(CaretOffset(), DWORD(starts[1]));
}

TEST_F(EditWrapTest, NewFontOrWidthReWraps)
{
    MakeEdit(0, kSentence, 260, 200);
    SendMessage(edit, WM_SETFONT, WPARAM(MakeFont(12)), TRUE);
    const size_t small = Starts().size();
    SendMessage(edit, WM_SETFONT, WPARAM(MakeFont(24)), TRUE);
    std::vector<size_t> large = Starts();
    EXPECT_GT(large.size(), small);
    EXPECT_EQ(large, GreedyStarts(kSentence));
    SetWindowPos(edit, NULL, 0, 0, 560, 200, SWP_NOMOVE | SWP_NOZORDER);
    SendMessage(edit, EM_GETRECT, 0, LPARAM(&fr));
    std::vector<size_t> wide = Starts();
    EXPECT_LT(wide.size(), large.size());
    EXPECT_EQ(wide, GreedyStarts(kSentence));
}

TEST_F(EditWrapTest, VerticalScrollingGoesByWrappedLines)
{
    std::string text;
    for (int i = 0; i < 6; ++i)
        text += kSentence + " ";
    MakeEdit(WS_VSCROLL | ES_AUTOVSCROLL, text, 200, 60);
    const int count = int(SendMessage(edit, EM_GETLINECOUNT, 0, 0));
    const int rows = (fr.bottom - fr.top) / LineHeight();
    ASSERT_GT(count, rows + 2);
    auto first = [this] { return int(SendMessage(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); };

    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(edit, SB_VERT, &si));
    EXPECT_EQ(si.nMax, count - 1);
    EXPECT_EQ(si.nPage, UINT(rows));
    SendMessage(edit, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(first(), 1);
    SendMessage(edit, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(first(), count - rows);
    EXPECT_EQ(GetScrollPos(edit, SB_VERT), count - rows);
    SendMessage(edit, WM_VSCROLL, SB_TOP, 0);
    SendMessage(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
    EXPECT_EQ(first(), 3);

    // Page Down moves view and caret a page; the caret at the end brings
    // the last wrapped line into view.
    SetFocus(edit);
    SendMessage(edit, WM_VSCROLL, SB_TOP, 0);
    Key(VK_NEXT);
    EXPECT_EQ(first(), rows);
    EXPECT_EQ(SendMessage(edit, EM_LINEFROMCHAR, WPARAM(-1), 0), rows);
    Key(VK_END, VK_CONTROL);
    EXPECT_EQ(first(), count - rows);
    EXPECT_EQ(Caret().y, fr.top + (rows - 1) * LineHeight());

    // A short text keeps the bar (so the lines keep their width).
    SetWindowText(edit, "one line");
    ASSERT_TRUE(GetScrollInfo(edit, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 0);
    EXPECT_EQ(first(), 0);
    EXPECT_TRUE(GetWindowLongPtr(edit, GWL_STYLE) & WS_VSCROLL);
}

} // namespace
