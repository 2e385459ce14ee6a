// The in-place editor of wrapped text driven by real input on the headless
// back end: keys and characters through the message loop (with a frame whose
// single-key commands would take them), the mouse, the clipboard, and the
// host's frame around the editor.

#include "tests/text/KeyboardTestSupport.h"
#include "text/TextEditHost.h"
#include "text/TextOwner.h"
#include "text/WrapText.h"

#include "platform/base/GlobalMemory.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Command ids of the frame's key table: the design window's single keys.
constexpr WORD kCmdKeypadPlus = 1;
constexpr WORD kCmdPlus = 2;
constexpr WORD kCmdKeypadMinus = 3;
constexpr WORD kCmdMinus = 4;
constexpr WORD kCmdDelete = 5;
constexpr WORD kCmdSelectAll = 6;

class CKeyFrame : public CFrameWnd {
public:
    std::vector<UINT> m_commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        m_commands.push_back(LOWORD(wParam));
        return TRUE;
    }
};

// Something to stand for the drawing object: text only compares owners.
struct FakeOwner {
    int n = 0;
};

class TextEditTest : public texttest::KeyboardTest {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        // The owner here is a stand-in: the design model's answers (which
        // this program links for other tests) must not be asked about it.
        m_savedServices = GetTextOwnerServices();
        SetTextOwnerServices(TextOwnerServices{});
        m_pFrame = new CKeyFrame;
        ASSERT_TRUE(m_pFrame->Create(NULL, "Keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480)));
        ACCEL keys[] = {{FVIRTKEY, VK_ADD, kCmdKeypadPlus}, {FVIRTKEY, VK_OEM_PLUS, kCmdPlus},
            {FVIRTKEY, VK_SUBTRACT, kCmdKeypadMinus}, {FVIRTKEY, VK_OEM_MINUS, kCmdMinus},
            {FVIRTKEY, VK_DELETE, kCmdDelete}, {FVIRTKEY | FCONTROL, 'A', kCmdSelectAll}};
        m_pFrame->m_hAccelTable = ::CreateAcceleratorTable(keys, int(std::size(keys)));
        m_text = std::make_unique<CWrapText>(Owner());
        m_text->SetDefaultFont("Courier New", 12, 0, 0);
        m_text->SetColor(kBlack, 0, kWrapTextEnd);
    }

    void TearDown() override
    {
        m_host.reset();
        if (m_pFrame != nullptr && ::IsWindow(m_pFrame->m_hWnd)) {
            HACCEL hAccel = m_pFrame->m_hAccelTable;
            m_pFrame->DestroyWindow();
            ::DestroyAcceleratorTable(hAccel);
        }
        m_text.reset();
        SetTextOwnerServices(m_savedServices);
        platform::headless::Reset();
    }

    CDrawObj* Owner() { return reinterpret_cast<CDrawObj*>(&m_owner); }

    // Opens the editor on the text over rect of the frame, focused.
    CTextEditWnd& Open(const char* pszText, const CRect& rect = CRect(10, 10, 410, 210))
    {
        m_text->SetText(pszText);
        m_host = std::make_unique<CTextEditHost>(m_text.get(), Owner());
        EXPECT_TRUE(m_host->Create(rect, m_pFrame));
        m_host->SetFocus();
        Pump();
        return m_host->GetEditor();
    }

    CTextEditWnd& Editor() { return m_host->GetEditor(); }

    // Caret to a position through the keys alone.
    void CaretTo(int nPosition)
    {
        Key(VK_HOME, {VK_CONTROL});
        for (int i = 0; i < nPosition; ++i)
            Key(VK_RIGHT);
        ASSERT_EQ(Editor().GetCaretPosition(), nPosition);
    }

    std::pair<int, int> Sel() const
    {
        WORD wStart = 0;
        WORD wEnd = 0;
        m_text->GetSel(wStart, wEnd);
        if (wStart == kWrapNoSelection)
            return {-1, -1};
        return {wStart, wEnd};
    }

    // The screen point over the left part of a character of the first
    // visible lines.
    POINT ScreenPointOf(int nPosition, int dx = 1)
    {
        const WrapCaret caret = m_text->GetCaretPos(nPosition);
        POINT pt{caret.x + dx, caret.y - m_text->GetLineTop(Editor().GetFirstVisibleLine()) + caret.nHeight / 2};
        ::ClientToScreen(Editor().m_hWnd, &pt);
        return pt;
    }

    static void SetClipboardBlock(const void* pData, size_t nBytes)
    {
        ASSERT_TRUE(::OpenClipboard(NULL));
        ::EmptyClipboard();
        HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, nBytes);
        std::memcpy(::GlobalLock(hMem), pData, nBytes);
        ::GlobalUnlock(hMem);
        ::SetClipboardData(CF_TEXT, hMem);
        ::CloseClipboard();
    }

    static void SetClipboardString(const std::string& text) { SetClipboardBlock(text.c_str(), text.size() + 1); }

    FakeOwner m_owner;
    TextOwnerServices m_savedServices;
    CKeyFrame* m_pFrame = nullptr; // deletes itself with its window
    std::unique_ptr<CWrapText> m_text;
    std::unique_ptr<CTextEditHost> m_host;
};

// ---- The host --------------------------------------------------------------------------------

TEST_F(TextEditTest, TheEditorSitsSixPixelsInsideTheHostAtCreationAndAfterResizing)
{
    Open("frame");
    auto childRect = [this] {
        CRect rc;
        Editor().GetWindowRect(&rc);
        m_host->ScreenToClient(&rc);
        return rc;
    };
    CRect rcHost;
    m_host->GetClientRect(&rcHost);
    EXPECT_EQ(childRect(), CRect(6, 6, rcHost.right - 6, rcHost.bottom - 6));
    EXPECT_EQ(Editor().GetDlgCtrlID(), 100);
    EXPECT_TRUE(m_host->GetStyle() & WS_CLIPCHILDREN);

    m_host->MoveWindow(20, 30, 300, 120);
    Pump();
    m_host->GetClientRect(&rcHost);
    EXPECT_EQ(childRect(), CRect(6, 6, rcHost.right - 6, rcHost.bottom - 6));
    // The text lays out over the editor's new size.
    EXPECT_EQ(m_text->GetData()->m_rectLayout, CRect(0, 0, rcHost.Width() - 12, rcHost.Height() - 12));

    // Focus given to the host goes on to the editor.
    m_pFrame->SetFocus();
    m_host->SetFocus();
    EXPECT_EQ(::GetFocus(), Editor().m_hWnd);

    // Smaller than its frame, the editor has no room left but still works.
    m_host->MoveWindow(20, 30, 8, 8);
    Pump();
    EXPECT_EQ(childRect().Size(), CSize(0, 0));
    Type("ab\r");
    Key(VK_DOWN);
    Key(VK_NEXT);
    EXPECT_EQ(m_text->GetText(), "ab\nframe");
}

TEST_F(TextEditTest, TheHostDrawsItsBevelledFrameAroundTheEditor)
{
    Open("");
    m_host->UpdateWindow();
    Editor().UpdateWindow();
    CRect rc;
    m_host->GetClientRect(&rc);
    const COLORREF crFace = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF crLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF crShadow = ::GetSysColor(COLOR_BTNSHADOW);
    const int x = rc.Width() / 2;
    const int y = rc.Height() / 2;
    // From the outer edge inwards: black, raised bevel, face, sunken bevel,
    // black, then the editor.
    const COLORREF topLeft[6] = {kBlack, crLight, crFace, crFace, crShadow, kBlack};
    const COLORREF bottomRight[6] = {kBlack, crShadow, crFace, crFace, crLight, kBlack};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(platform::headless::WindowPixel(m_host->m_hWnd, x, i), topLeft[i]);
        EXPECT_EQ(platform::headless::WindowPixel(m_host->m_hWnd, i, y), topLeft[i]);
        EXPECT_EQ(platform::headless::WindowPixel(m_host->m_hWnd, x, rc.bottom - 1 - i), bottomRight[i]);
        EXPECT_EQ(platform::headless::WindowPixel(m_host->m_hWnd, rc.right - 1 - i, y), bottomRight[i]);
    }
    // The editor shows the window colour of a text without a view.
    EXPECT_EQ(platform::headless::WindowPixel(m_host->m_hWnd, 6, y), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(platform::headless::WindowPixel(m_host->m_hWnd, rc.right - 7, y), ::GetSysColor(COLOR_WINDOW));
}

TEST_F(TextEditTest, TheEditorPaintsItsTextFromTheFirstVisibleLine)
{
    std::string text = "MMMM\n";
    for (int i = 0; i < 30; ++i)
        text += "\n";
    Open(text.c_str());
    m_text->SetColor(kRed, 0, 3);
    m_host->Redraw();
    auto redPixels = [this] {
        Editor().UpdateWindow();
        const WrapCaret caret = m_text->GetCaretPos(4);
        int nRed = 0;
        for (int y = 0; y < caret.nHeight; ++y)
            for (int x = 0; x < caret.x; ++x)
                nRed += platform::headless::WindowPixel(Editor().m_hWnd, x, y) == kRed;
        return nRed;
    };
    EXPECT_GT(redPixels(), 0);
    // Scrolled down, the red line is gone from the top.
    Key(VK_END, {VK_CONTROL});
    ASSERT_GT(Editor().GetFirstVisibleLine(), 0);
    EXPECT_EQ(redPixels(), 0);
    Key(VK_HOME, {VK_CONTROL});
    EXPECT_EQ(Editor().GetFirstVisibleLine(), 0);
    EXPECT_GT(redPixels(), 0);
}

TEST_F(TextEditTest, AnOpenEditorIsFoundByItsOwnerAndMarksTheTextAsEdited)
{
    EXPECT_EQ(FindTextEditor(Owner()), nullptr);
    Open("abc");
    EXPECT_EQ(FindTextEditor(Owner()), &Editor());
    EXPECT_TRUE(m_text->m_bEditing);
    EXPECT_TRUE(m_text->GetWordWrap());
    EXPECT_EQ(FindTextEditor(nullptr), nullptr);
    m_host.reset();
    EXPECT_EQ(FindTextEditor(Owner()), nullptr);
    EXPECT_FALSE(m_text->m_bEditing);

    // Without a text the editor makes its own for the owner.
    CTextEditHost own(nullptr, Owner());
    ASSERT_NE(own.GetEditor().GetText(), nullptr);
    EXPECT_EQ(own.GetEditor().GetText()->GetOwner(), Owner());
    EXPECT_EQ(FindTextEditor(Owner()), &own.GetEditor());
}

// ---- Keys ------------------------------------------------------------------------------------

// The height of the caret the window shows: the pixels of its column that
// showing it inverts.
int ShownCaretHeight(HWND hWnd)
{
    POINT pt{};
    if (!::GetCaretPos(&pt) || !::HideCaret(hWnd))
        return 0;
    CRect client;
    ::GetClientRect(hWnd, &client);
    std::vector<COLORREF> hidden;
    for (int y = 0; y < client.bottom; ++y)
        hidden.push_back(platform::headless::WindowPixel(hWnd, pt.x, y));
    ::ShowCaret(hWnd);
    int nHeight = 0;
    for (int y = 0; y < client.bottom; ++y)
        nHeight += platform::headless::WindowPixel(hWnd, pt.x, y) != hidden[size_t(y)] ? 1 : 0;
    return nHeight;
}

TEST_F(TextEditTest, TheCaretTakesItsLinesHeightAfterAFormatChangeFromOutside)
{
    // The caret after a blank, where the column it stands on is white.
    CTextEditWnd& editor = Open("Size ");
    Key(VK_END, {VK_CONTROL});
    const HWND hWnd = editor.m_hWnd;
    auto lineHeight = [&] { return m_text->GetCaretPos(m_text->GetLength()).nHeight; };
    ASSERT_EQ(ShownCaretHeight(hWnd), lineHeight());

    // The format panel and the commands change the text itself, then the
    // editor repaints (in the view) or gets the focus back (from a toolbar
    // or a dialog's edit field, which makes a caret of its own).
    HWND hEdit = ::CreateWindowEx(0, "EDIT", "", WS_POPUP | WS_VISIBLE, 500, 400, 100, 30, NULL, NULL, NULL, NULL);
    ASSERT_NE(hEdit, nullptr);
    editor.SetFocus();
    Pump();
    for (const int nSize : {8, 28, 14}) {
        SCOPED_TRACE(testing::Message() << nSize << " points");
        for (const bool bElsewhere : {false, true}) {
            SCOPED_TRACE(bElsewhere ? "from another window" : "in the editor");
            if (bElsewhere) {
                ::SetFocus(hEdit);
                Pump();
            }
            m_text->AddFontRun("Courier New", nSize, 0, m_text->GetLength() - 1, 0, 0);
            m_text->SetDefaultFont("Courier New", nSize, 0, 0);
            if (bElsewhere)
                editor.SetFocus();
            else
                editor.Invalidate(FALSE);
            Pump();
            EXPECT_EQ(ShownCaretHeight(hWnd), lineHeight());
        }
    }
    ::DestroyWindow(hEdit);
}

TEST_F(TextEditTest, NavigationKeysMoveTheCaretAndShiftStretchesTheSelection)
{
    // Lines: "hello world\n" 0..11, "second line\n" 12..23, "third" 24..28.
    Open("hello world\nsecond line\nthird");
    ASSERT_EQ(m_text->GetLineCount(), 3);
    struct Case {
        const char* name;
        int nFrom;
        UINT vk;
        std::vector<UINT> held;
        int nCaret;
        std::pair<int, int> sel;
    };
    const std::pair<int, int> none{-1, -1};
    const Case cases[] = {
        {"right", 0, VK_RIGHT, {}, 1, none},
        {"left at the start", 0, VK_LEFT, {}, 0, none},
        {"right at the end", 29, VK_RIGHT, {}, 29, none},
        {"ctrl right into a word", 0, VK_RIGHT, {VK_CONTROL}, 5, none},
        {"ctrl right over a space", 5, VK_RIGHT, {VK_CONTROL}, 11, none},
        {"ctrl left inside a word", 11, VK_LEFT, {VK_CONTROL}, 6, none},
        {"ctrl left over a space", 6, VK_LEFT, {VK_CONTROL}, 0, none},
        {"home", 15, VK_HOME, {}, 12, none},
        {"end stops before the line break", 15, VK_END, {}, 23, none},
        {"ctrl home", 15, VK_HOME, {VK_CONTROL}, 0, none},
        {"ctrl end", 15, VK_END, {VK_CONTROL}, 29, none},
        {"down", 2, VK_DOWN, {}, 14, none},
        {"up", 14, VK_UP, {}, 2, none},
        {"up on the first line", 2, VK_UP, {}, 2, none},
        {"down on the last line", 26, VK_DOWN, {}, 26, none},
        {"shift right", 3, VK_RIGHT, {VK_SHIFT}, 4, {3, 4}},
        {"shift end", 3, VK_END, {VK_SHIFT}, 11, {3, 11}},
        {"shift ctrl left", 8, VK_LEFT, {VK_SHIFT, VK_CONTROL}, 6, {6, 8}},
        {"shift up", 14, VK_UP, {VK_SHIFT}, 2, {2, 14}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaretTo(c.nFrom);
        Key(c.vk, c.held);
        EXPECT_EQ(Editor().GetCaretPosition(), c.nCaret);
        EXPECT_EQ(Sel(), c.sel);
        EXPECT_EQ(m_text->GetText(), "hello world\nsecond line\nthird");
    }
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(TextEditTest, ASelectionGrowsFromItsAnchorAndCollapsesToItsEnds)
{
    Open("hello world");
    CaretTo(4);
    Key(VK_RIGHT, {VK_SHIFT});
    Key(VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(4, 6));
    // Back across the anchor: the anchor stays the fixed end.
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(3, 4));
    Key(VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(-1, -1));

    Key(VK_END, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(4, 11));
    Key(VK_LEFT);
    EXPECT_EQ(Editor().GetCaretPosition(), 4);
    EXPECT_EQ(Sel(), std::make_pair(-1, -1));
    Key(VK_END, {VK_SHIFT});
    Key(VK_RIGHT);
    EXPECT_EQ(Editor().GetCaretPosition(), 11);
    EXPECT_EQ(Sel(), std::make_pair(-1, -1));

    // A selection set from outside grows from its end away from the caret.
    Editor().SetSel(2, 11);
    Key(VK_LEFT, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(2, 10));
}

TEST_F(TextEditTest, BackspaceAndDeleteRemoveOneCharacterOrTheSelection)
{
    Open("abcdef");
    CaretTo(0);
    Key(VK_BACK);
    EXPECT_EQ(m_text->GetText(), "abcdef");
    Key(VK_END, {VK_CONTROL});
    Key(VK_DELETE);
    EXPECT_EQ(m_text->GetText(), "abcdef");

    Key(VK_BACK);
    EXPECT_EQ(m_text->GetText(), "abcde");
    EXPECT_EQ(Editor().GetCaretPosition(), 5);
    CaretTo(1);
    Key(VK_DELETE);
    EXPECT_EQ(m_text->GetText(), "acde");
    EXPECT_EQ(Editor().GetCaretPosition(), 1);

    Key(VK_RIGHT, {VK_SHIFT});
    Key(VK_RIGHT, {VK_SHIFT});
    Key(VK_BACK);
    EXPECT_EQ(m_text->GetText(), "ae");
    EXPECT_EQ(Editor().GetCaretPosition(), 1);
    EXPECT_EQ(Sel(), std::make_pair(-1, -1));
    // The frame's Delete command never saw the key.
    EXPECT_TRUE(m_pFrame->m_commands.empty());
}

TEST_F(TextEditTest, CtrlASelectsEverythingWithTheCaretAtTheEnd)
{
    Open("one two");
    CaretTo(2);
    Key('A', {VK_CONTROL});
    EXPECT_EQ(Sel(), std::make_pair(0, 7));
    EXPECT_EQ(Editor().GetCaretPosition(), 7);
    EXPECT_EQ(m_text->GetText(), "one two");
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    // Typing replaces the whole selection.
    Type("x");
    EXPECT_EQ(m_text->GetText(), "x");
}

TEST_F(TextEditTest, PageDownAndUpMoveAboutAClientHeightAndScrollTheCaretIntoView)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(10 + i) + "\n";
    Open(text.c_str());
    CRect rcClient;
    Editor().GetClientRect(&rcClient);
    ASSERT_GT(m_text->GetLineCount(), 30);
    ASSERT_GT(m_text->GetLineTop(1), 0);

    CaretTo(0);
    Key(VK_NEXT);
    const int nLine = m_text->LineOfChar(Editor().GetCaretPosition());
    // The line under a point one client height and 4 pixels down.
    int nExpected = 0;
    while (m_text->GetLineTop(nExpected + 1) < rcClient.Height() + 4)
        ++nExpected;
    EXPECT_EQ(nLine, nExpected);
    EXPECT_EQ(Editor().GetCaretPosition(), m_text->GetLineStart(nLine));
    // The caret's line shows in the window.
    const int nFirst = Editor().GetFirstVisibleLine();
    EXPECT_GT(nFirst, 0);
    EXPECT_LT(m_text->GetLineTop(nLine + 1) - m_text->GetLineTop(nFirst), rcClient.Height());

    Key(VK_PRIOR);
    EXPECT_EQ(m_text->LineOfChar(Editor().GetCaretPosition()), 0);
    EXPECT_EQ(Editor().GetFirstVisibleLine(), 0);
    Key(VK_PRIOR);
    EXPECT_EQ(Editor().GetCaretPosition(), 0);
}

// ---- Characters ------------------------------------------------------------------------------

TEST_F(TextEditTest, SignKeysTypeIntoTheTextInsteadOfTheFramesCommands)
{
    Open("");
    Key(VK_OEM_MINUS);
    Key(VK_OEM_PLUS);
    Key(VK_ADD);
    Key(VK_SUBTRACT);
    Key(VK_OEM_PLUS, {VK_SHIFT});
    Key('A');
    Key(VK_SPACE);
    Key('1', {VK_SHIFT}, '!');
    EXPECT_EQ(m_text->GetText(), "-=+-+a !");
    CaretTo(0);
    Key(VK_DELETE);
    EXPECT_EQ(m_text->GetText(), "=+-+a !");
    EXPECT_TRUE(m_pFrame->m_commands.empty());

    // Without the editor's focus the same keys are the frame's commands.
    m_pFrame->SetFocus();
    Key(VK_ADD);
    Key(VK_OEM_MINUS);
    Key(VK_DELETE);
    EXPECT_EQ(m_pFrame->m_commands, (std::vector<UINT>{kCmdKeypadPlus, kCmdMinus, kCmdDelete}));
    EXPECT_EQ(m_text->GetText(), "=+-+a !");
}

TEST_F(TextEditTest, CharactersAbove127AreTypedAndControlCharactersAreNot)
{
    Open("");
    Type("\xE9");             // é from an input method
    Key(VK_OEM_1, {}, 0xFC);  // ü from another layout's key
    Type("\x80");             // €
    Editor().SendMessage(WM_CHAR, 127);
    Editor().SendMessage(WM_CHAR, 0x81);
    Editor().SendMessage(WM_CHAR, 1);
    Editor().SendMessage(WM_CHAR, '\t');
    Key(VK_RETURN);
    Type("z");
    EXPECT_EQ(m_text->GetText(), "\xE9\xFC\x80\nz");
    EXPECT_EQ(Editor().GetCaretPosition(), 5);
}

TEST_F(TextEditTest, TypedCharactersTakeTheLookOfTheCharacterBeforeThem)
{
    Open("ab");
    m_text->SetColor(kRed, 1, 1);
    m_text->AddFontRun("Courier New", 20, 1, 1, 0, WRAP_STYLE_BOLD);
    CaretTo(2);
    Type("c");
    EXPECT_EQ(m_text->GetColorAt(2, FALSE), kRed);
    CString strFace;
    int nSize = 0;
    int nCharSet = 0;
    int nStyle = 0;
    m_text->GetFontAt(2, strFace, nSize, nCharSet, nStyle);
    EXPECT_EQ(nSize, 20);
    EXPECT_EQ(nStyle, WRAP_STYLE_BOLD);
    // At position 1 the model is the first character.
    CaretTo(1);
    Type("x");
    EXPECT_EQ(m_text->GetText(), "axbc");
    EXPECT_EQ(m_text->GetColorAt(1, FALSE), kBlack);
    m_text->GetFontAt(1, strFace, nSize, nCharSet, nStyle);
    EXPECT_EQ(nSize, 12);
}

TEST_F(TextEditTest, AColourChosenForAnEmptyTextBecomesItsColour)
{
    Open("");
    m_host->SetSelColor(kRed);
    EXPECT_TRUE(Editor().IsColorPending());
    EXPECT_EQ(Editor().GetCurrentColor(), kRed);
    Type("ab");
    EXPECT_EQ(m_text->GetColorAt(0, FALSE), kRed);
    EXPECT_EQ(m_text->GetColorAt(1, FALSE), kRed);
    EXPECT_NE(m_text->GetFormatString().Find("(255,0,65000)"), -1);
    // A move over a text clears the pending colour; typing then follows
    // the character before the caret again.
    Key(VK_LEFT);
    EXPECT_FALSE(Editor().IsColorPending());
}

TEST_F(TextEditTest, ColouringASelectionColoursExactlyItsCharacters)
{
    Open("abcdefg");
    Editor().SetSel(2, 5);
    m_host->SetSelColor(kRed);
    const COLORREF expected[7] = {kBlack, kBlack, kRed, kRed, kRed, kBlack, kBlack};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(m_text->GetColorAt(i, FALSE), expected[i]) << i;
}

// ---- Clipboard -------------------------------------------------------------------------------

TEST_F(TextEditTest, PastingCrLfTextLeavesTheCaretRightAfterIt)
{
    Open("XY");
    CaretTo(1);
    SetClipboardString("ab\r\ncd");
    EXPECT_TRUE(m_host->Paste());
    EXPECT_EQ(m_text->GetText(), "Xab\ncdY");
    EXPECT_EQ(Editor().GetCaretPosition(), 6);
    Type("Z");
    EXPECT_EQ(m_text->GetText(), "Xab\ncdZY");

    // Over a selection, the selection goes first.
    Key('A', {VK_CONTROL});
    SetClipboardString("q");
    EXPECT_TRUE(m_host->Paste());
    EXPECT_EQ(m_text->GetText(), "q");
    EXPECT_EQ(Editor().GetCaretPosition(), 1);

    // A block without its zero is read up to its size.
    const char raw[3] = {'r', 's', 't'};
    SetClipboardBlock(raw, sizeof raw);
    EXPECT_TRUE(m_host->Paste());
    EXPECT_EQ(m_text->GetText(), "qrst");
}

TEST_F(TextEditTest, APasteThatWouldOverfillTheTextChangesNothing)
{
    Open("");
    m_text->SetText(CString('a', kWrapMaxLength - 5));
    Editor().SetSel(0, 10);
    SetClipboardString(std::string(20, 'b'));
    EXPECT_FALSE(m_host->Paste());
    EXPECT_EQ(m_text->GetLength(), kWrapMaxLength - 5);
    EXPECT_EQ(Sel(), std::make_pair(0, 10));
    // Replacing enough of it lets the same paste in.
    Editor().SetSel(0, 100);
    EXPECT_TRUE(m_host->Paste());
    EXPECT_EQ(m_text->GetLength(), kWrapMaxLength - 5 - 100 + 20);
}

TEST_F(TextEditTest, CopyWithoutASelectionKeepsTheClipboard)
{
    Open("hello world");
    SetClipboardString("keep");
    EXPECT_FALSE(m_host->Copy(FALSE));
    EXPECT_FALSE(m_host->Copy(TRUE));
    EXPECT_EQ(ClipboardString(), "keep");
    EXPECT_EQ(m_text->GetText(), "hello world");

    Editor().SetSel(0, 5);
    EXPECT_TRUE(m_host->HasSelection());
    EXPECT_TRUE(m_host->Copy(FALSE));
    EXPECT_EQ(ClipboardString(), "hello");
    EXPECT_EQ(m_text->GetText(), "hello world");

    Editor().SetSel(5, 11);
    EXPECT_TRUE(m_host->Copy(TRUE));
    EXPECT_EQ(ClipboardString(), " world");
    EXPECT_EQ(m_text->GetText(), "hello");
    EXPECT_FALSE(m_host->HasSelection());
    EXPECT_EQ(Editor().GetCaretPosition(), 5);

    Editor().SetSel(1, 3);
    EXPECT_TRUE(m_host->DeleteSelection());
    EXPECT_EQ(m_text->GetText(), "hlo");
    EXPECT_FALSE(m_host->DeleteSelection());
}

// ---- Mouse -----------------------------------------------------------------------------------

TEST_F(TextEditTest, AClickPutsTheCaretAndOnlyADragOfFourPixelsSelects)
{
    Open("hello world");
    POINT pt = ScreenPointOf(3);
    platform::headless::Click(pt.x, pt.y);
    Pump();
    EXPECT_EQ(Editor().GetCaretPosition(), 3);
    // The caret stands 2 pixels below the top of the character it precedes.
    const WrapCaret caret = m_text->GetCaretPos(3);
    POINT ptCaret{};
    ASSERT_TRUE(::GetCaretPos(&ptCaret));
    EXPECT_EQ(ptCaret.x, caret.x);
    EXPECT_EQ(ptCaret.y, caret.y + 2);
    EXPECT_EQ(Editor().GetCaretIndex(), 3);

    // Away from the click, so that the press is not a double click.
    pt = ScreenPointOf(5);
    platform::headless::PressMouse(0, pt.x, pt.y);
    platform::headless::MoveMouse(pt.x + 3, pt.y + 3);
    platform::headless::ReleaseMouse(0, pt.x + 3, pt.y + 3);
    Pump();
    EXPECT_EQ(Sel(), std::make_pair(-1, -1));

    // Backwards from the anchor the selection ends at it.
    POINT from = ScreenPointOf(6);
    POINT to = ScreenPointOf(2);
    platform::headless::PressMouse(0, from.x, from.y);
    platform::headless::MoveMouse(to.x, to.y);
    platform::headless::ReleaseMouse(0, to.x, to.y);
    Pump();
    EXPECT_EQ(Sel(), std::make_pair(2, 6));
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(TextEditTest, ADragPastTheEndSelectsUpToTheEnd)
{
    Open("hello world");
    CRect rcClient;
    Editor().GetClientRect(&rcClient);
    POINT from = ScreenPointOf(0);
    POINT to{rcClient.right - 2, rcClient.bottom - 2};
    Editor().ClientToScreen(&to);
    platform::headless::PressMouse(0, from.x, from.y);
    platform::headless::MoveMouse(to.x, to.y);
    Pump();
    EXPECT_EQ(::GetCapture(), Editor().m_hWnd);
    platform::headless::ReleaseMouse(0, to.x, to.y);
    Pump();
    EXPECT_EQ(Sel(), std::make_pair(0, 11));
    EXPECT_TRUE(m_host->Copy(FALSE));
    EXPECT_EQ(ClipboardString(), "hello world");
}

TEST_F(TextEditTest, ADoubleClickSelectsTheWordAtOrBesideTheBreak)
{
    // "hello, world": a word, two break characters, a word.
    Open("hello, world");
    struct Case {
        const char* name;
        int nAt;
        std::pair<int, int> sel;
    };
    const Case cases[] = {
        {"inside a word", 1, {0, 5}},
        {"on the comma after a word", 5, {0, 5}},
        {"on the space before a word", 6, {7, 12}},
        {"on a word's last character", 11, {7, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        POINT pt = ScreenPointOf(c.nAt);
        platform::headless::Click(pt.x, pt.y);
        platform::headless::Click(pt.x, pt.y);
        Pump();
        EXPECT_EQ(Sel(), c.sel);
        // Let the next pair of clicks start afresh.
        platform::headless::Click(pt.x, pt.y + 200);
        Pump();
    }
    // At the end: the word before it.
    CRect rcClient;
    Editor().GetClientRect(&rcClient);
    POINT end = ScreenPointOf(11, 0);
    end.x += 40;
    platform::headless::Click(end.x, end.y);
    platform::headless::Click(end.x, end.y);
    Pump();
    EXPECT_EQ(Sel(), std::make_pair(7, 12));
}

} // namespace
