// Block text edited in place, driven by real key and mouse messages on the
// headless back end: a window standing for the design view forwards its
// keys, characters and mouse to the block, as the view does while a block
// is edited, and draws the block in its paint.

#include "tests/model/ModelTestSupport.h"
#include "tests/text/KeyboardTestSupport.h"

#include "model/TextContentHolder.h"
#include "model/UndoList.h"
#include "model/UndoRecording.h"
#include "text/TextBlock.h"
#include "text/TextOwner.h"

#include "platform/base/GlobalMemory.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The view the block is edited on. Painting draws the block into its frame
// unless a test keeps the laid text exactly as it set it.
class CBlockView : public CWnd {
public:
    CTextBlock* m_pBlock = nullptr;
    CRect m_rectFrame{20, 20, 320, 220};
    bool m_bDrawBlock = true;
    std::vector<BOOL> m_keysTaken;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        const UINT nRepCnt = LOWORD(lParam);
        const UINT nFlags = HIWORD(lParam);
        switch (message) {
        case WM_PAINT: {
            CPaintDC dc(this);
            CRect rc;
            GetClientRect(&rc);
            dc.FillSolidRect(&rc, RGB(255, 255, 255));
            if (m_pBlock != nullptr && m_bDrawBlock) {
                m_pBlock->SetRect(m_rectFrame);
                m_pBlock->Draw(&dc);
            }
            return 0;
        }
        case WM_KEYDOWN:
            m_keysTaken.push_back(m_pBlock->OnKeyDown(UINT(wParam), nRepCnt, nFlags));
            return 0;
        case WM_CHAR:
            m_pBlock->OnChar(UINT(wParam), nRepCnt, nFlags);
            return 0;
        case WM_LBUTTONDOWN:
            m_pBlock->OnLButtonDown(UINT(wParam), point);
            return 0;
        case WM_MOUSEMOVE:
            m_pBlock->OnMouseMove(UINT(wParam), point);
            return 0;
        case WM_LBUTTONUP:
            m_pBlock->EndDrag();
            return 0;
        case WM_LBUTTONDBLCLK:
            m_pBlock->OnLButtonDblClk(UINT(wParam), point);
            return 0;
        default:
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// What the block asked of its owner.
struct OwnerLog {
    HWND hWndView = NULL;
    int nModified = 0;
    int nRedraws = 0;
    std::vector<std::pair<std::string, int>> removals;
};

OwnerLog* g_pLog = nullptr;

class TextBlockEditTest : public texttest::KeyboardTest {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        m_savedServices = GetTextOwnerServices();
        g_pLog = &m_log;
        TextOwnerServices services;
        services.pfnViewWindow = [](CDrawObj*) { return g_pLog->hWndView; };
        services.pfnInvalidate = [](CDrawObj*) {
            ++g_pLog->nRedraws;
            ::InvalidateRect(g_pLog->hWndView, nullptr, FALSE);
        };
        services.pfnSetModified = [](CDrawObj*) { ++g_pLog->nModified; };
        services.pfnRecordTextRemoval = [](CDrawObj*, const CString& str, int nPosition) {
            g_pLog->removals.emplace_back(std::string(str), nPosition);
        };
        SetTextOwnerServices(services);

        m_block = std::make_unique<CTextBlock>(Owner());
        m_block->m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
        m_block->SetFont(-12, "Liberation Mono", DEFAULT_CHARSET);
        m_view = std::make_unique<CBlockView>();
        m_view->m_pBlock = m_block.get();
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_IBEAM), NULL, NULL);
        ASSERT_TRUE(m_view->CreateEx(0, lpszClass, "View", WS_POPUP | WS_VISIBLE, CRect(0, 0, 640, 480), nullptr, 0));
        m_log.hWndView = m_view->m_hWnd;
    }

    void TearDown() override
    {
        if (m_block != nullptr)
            m_block->EndEdit();
        if (m_view != nullptr && ::IsWindow(m_view->m_hWnd))
            m_view->DestroyWindow();
        m_view.reset();
        m_block.reset();
        SetTextOwnerServices(m_savedServices);
        g_pLog = nullptr;
        platform::headless::Reset();
    }

    CDrawObj* Owner() { return reinterpret_cast<CDrawObj*>(&m_ownerStandIn); }

    // Begins editing the text; laid as given when the view does not draw.
    void Edit(const char* pszText, bool bDraw = true)
    {
        m_view->m_bDrawBlock = bDraw;
        if (bDraw)
            m_block->SetText(pszText);
        else
            m_block->SetLaidText(pszText);
        ASSERT_TRUE(m_block->BeginEdit());
        Pump();
        m_log.nModified = 0;
        m_log.removals.clear();
    }

    void CaretTo(int nPosition)
    {
        Key(VK_HOME, {VK_CONTROL});
        for (int i = 0; i < nPosition; ++i)
            Key(VK_RIGHT);
        ASSERT_EQ(m_block->m_nCaret, nPosition);
    }

    std::string Laid() const { return std::string(m_block->GetLaidText()); }
    std::string Text() const { return std::string(m_block->GetText()); }
    std::pair<int, int> Sel() const { return {m_block->GetSelStart(), m_block->GetSelEnd()}; }

    // The caret's point on the screen, a little inside its line.
    POINT CaretOnScreen() const
    {
        POINT pt{};
        ::GetCaretPos(&pt);
        pt.y += 2;
        ::ClientToScreen(m_view->m_hWnd, &pt);
        return pt;
    }

    static void SetClipboardString(const std::string& text)
    {
        ASSERT_TRUE(::OpenClipboard(NULL));
        ::EmptyClipboard();
        HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(::GlobalLock(hMem), text.c_str(), text.size() + 1);
        ::GlobalUnlock(hMem);
        ::SetClipboardData(CF_TEXT, hMem);
        ::CloseClipboard();
    }

    int m_ownerStandIn = 0;
    OwnerLog m_log;
    TextOwnerServices m_savedServices;
    std::unique_ptr<CTextBlock> m_block;
    std::unique_ptr<CBlockView> m_view;
};

// ---- Beginning and ending ----------------------------------------------------------------------

TEST_F(TextBlockEditTest, EditingBeginsOnlyOnAnUnturnedUnshapedUnmirroredBlock)
{
    m_block->SetText(" ");
    m_block->SetRect(CRect(10, 10, 100, 60));
    m_block->SetGeometry(30, CRect(), CRect(10, 10, 100, 60));
    EXPECT_FALSE(m_block->BeginEdit());
    m_block->SetGeometry(0, CRect(), CRect(10, 10, 100, 60));
    m_block->SetShape(8);
    EXPECT_FALSE(m_block->BeginEdit());
    m_block->SetShape(0);
    // A flipped owner hands its frame in with the edges the other way round.
    m_block->SetRect(CRect(100, 10, 10, 60));
    EXPECT_FALSE(m_block->BeginEdit());
    m_block->SetRect(CRect(10, 60, 100, 10));
    EXPECT_FALSE(m_block->BeginEdit());
    EXPECT_FALSE(m_block->IsEditing());

    m_block->SetRect(CRect(10, 10, 100, 60));
    ASSERT_TRUE(m_block->BeginEdit());
    EXPECT_FALSE(m_block->BeginEdit()) << "already editing";
    // The single blank a new block holds goes, so typing starts afresh.
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(::GetFocus(), m_view->m_hWnd);

    m_block->EndEdit();
    EXPECT_FALSE(m_block->IsEditing());
    Key('A');
    EXPECT_EQ(Text(), "");
    ASSERT_FALSE(m_view->m_keysTaken.empty());
    EXPECT_FALSE(m_view->m_keysTaken.back()) << "keys go to the view's commands while not editing";
}

// ---- Typed characters --------------------------------------------------------------------------

TEST_F(TextBlockEditTest, KeysTypeTheirCharactersOnceWithShiftCapsLockAndTheKeypad)
{
    Edit("", false);
    Key('A');
    Key('B', {VK_SHIFT});
    Key('2', {VK_SHIFT});
    Key(VK_OEM_MINUS);
    Key(VK_OEM_PLUS);
    Key(VK_OEM_7, {VK_SHIFT});
    Key(VK_SPACE);
    EXPECT_EQ(Text(), "aB@-=\" ");

    // Caps Lock turns letters to capitals and Shift turns them back; signs
    // follow Shift alone.
    Key(VK_CAPITAL);
    Key('C');
    Key('D', {VK_SHIFT});
    Key('1');
    Key('1', {VK_SHIFT});
    Key(VK_CAPITAL);
    Key('E');
    EXPECT_EQ(Text(), "aB@-=\" Cd1!e");
    EXPECT_GT(m_log.nModified, 0);

    m_block->SetSel(0, -1);
    for (UINT vk = VK_NUMPAD0; vk <= VK_NUMPAD9; ++vk)
        Key(vk);
    for (UINT vk : {VK_MULTIPLY, VK_ADD, VK_SUBTRACT, VK_DECIMAL, VK_DIVIDE})
        Key(vk);
    EXPECT_EQ(Text(), "0123456789*+-./");
}

TEST_F(TextBlockEditTest, CtrlAltKeysTypeTheTypographicCharacters)
{
    Edit("", false);
    const std::vector<std::pair<UINT, char>> table = {{VK_OEM_MINUS, '\x96'}, {VK_OEM_PLUS, '\x97'},
        {VK_OEM_PERIOD, '\x95'}, {'9', '\x91'}, {'0', '\x92'}, {VK_OEM_4, '\x93'}, {VK_OEM_6, '\x94'},
        {VK_OEM_5, '\x86'}, {VK_OEM_2, '\x87'}, {'C', '\xA9'}, {'R', '\xAE'}, {'T', '\x99'}};
    std::string expected;
    for (const auto& [vk, ch] : table) {
        Key(vk, {VK_CONTROL, VK_MENU});
        expected += ch;
    }
    EXPECT_EQ(Text(), expected);
    // Other keys type nothing with Ctrl and Alt, and Ctrl alone leaves keys
    // to the view's commands.
    m_view->m_keysTaken.clear();
    Key('Q', {VK_CONTROL, VK_MENU});
    Key('Q', {VK_CONTROL});
    EXPECT_EQ(Text(), expected);
    ASSERT_FALSE(m_view->m_keysTaken.empty());
    EXPECT_EQ(std::count(m_view->m_keysTaken.begin(), m_view->m_keysTaken.end(), TRUE), 0);
}

TEST_F(TextBlockEditTest, CharactersNoKeyGivesArriveOnceAndKeyCharactersAreNotDoubled)
{
    Edit("", false);
    Key('E');
    Type("\xE9");  // from a dead key or an input method: no key typed it
    Type("\x80");
    // Characters a key gives never come in through WM_CHAR alone, nor do
    // control characters or the code points 1252 leaves undefined.
    Type("x\x81");
    m_block->OnChar('y', 1, 0);
    m_block->OnChar(7, 1, 0);
    EXPECT_EQ(Text(), "e\xE9\x80x");
}

TEST_F(TextBlockEditTest, TypingReplacesTheSelectionAndEnterBreaksTheLine)
{
    Edit("Hello world", false);
    // A selection from before the start begins at the start.
    m_block->SetSel(-3, 5);
    EXPECT_EQ(Sel(), std::make_pair(0, 5));
    Key('T', {VK_SHIFT});
    Key(VK_RETURN);
    Key('X');
    EXPECT_EQ(Text(), "T\nx world");
    EXPECT_EQ(Sel(), std::make_pair(3, 3));
}

// ---- Movement ----------------------------------------------------------------------------------

TEST_F(TextBlockEditTest, ShiftRightSelectsAndRightWithoutShiftCollapsesToTheEnd)
{
    Edit("abcdefg", false);
    CaretTo(3);
    Key(VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(3, 4));
    Key(VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(3, 5));
    Key(VK_RIGHT);
    EXPECT_EQ(Sel(), std::make_pair(5, 5));
    // Left collapses to the start; Shift+Left stretches from the anchor.
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(3, 5));
    EXPECT_EQ(m_block->m_nCaret, 3);
    Key(VK_LEFT);
    EXPECT_EQ(Sel(), std::make_pair(3, 3));
}

TEST_F(TextBlockEditTest, HomeAndEndStopAtSoftAndHardBreaks)
{
    // "two " was wrapped to a line of its own; LF ends the third line.
    Edit("one \rtwo \rthree\nfour", false);
    CaretTo(6);
    Key(VK_HOME);
    EXPECT_EQ(m_block->m_nCaret, 5);
    Key(VK_END);
    EXPECT_EQ(m_block->m_nCaret, 9);
    CaretTo(12);
    Key(VK_END);
    EXPECT_EQ(m_block->m_nCaret, 15);
    Key(VK_HOME);
    EXPECT_EQ(m_block->m_nCaret, 10);
    // Without Shift, End starts from the selection's end and Home from its
    // start.
    m_block->SetSel(12, 2);
    Key(VK_END);
    EXPECT_EQ(Sel(), std::make_pair(15, 15));
    m_block->SetSel(12, 2);
    Key(VK_HOME);
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
}

TEST_F(TextBlockEditTest, CtrlLeftAndRightMoveByWords)
{
    Edit("Hello, world  foo\nbar", false);
    std::vector<int> stops;
    for (int i = 0; i < 6; ++i) {
        Key(VK_RIGHT, {VK_CONTROL});
        stops.push_back(m_block->m_nCaret);
    }
    EXPECT_EQ(stops, (std::vector<int>{5, 7, 14, 17, 18, 21}));
    stops.clear();
    for (int i = 0; i < 7; ++i) {
        Key(VK_LEFT, {VK_CONTROL});
        stops.push_back(m_block->m_nCaret);
    }
    EXPECT_EQ(stops, (std::vector<int>{18, 17, 14, 7, 5, 0, 0}));
}

TEST_F(TextBlockEditTest, UpAndDownKeepTheGoalX)
{
    Edit("abcdefgh\rab\rabcdefgh\nx", false);
    CaretTo(6);
    Key(VK_DOWN);
    EXPECT_EQ(m_block->m_nCaret, 11) << "the short line's end";
    Key(VK_DOWN);
    EXPECT_EQ(m_block->m_nCaret, 18) << "back under the sixth character";
    Key(VK_DOWN);
    EXPECT_EQ(m_block->m_nCaret, 22);
    Key(VK_DOWN);
    EXPECT_EQ(m_block->m_nCaret, 22) << "nothing below the last line";
    Key(VK_UP);
    EXPECT_EQ(m_block->m_nCaret, 18);
    Key(VK_UP, {VK_SHIFT});
    EXPECT_EQ(Sel(), std::make_pair(11, 18));
    Key(VK_UP);
    EXPECT_EQ(m_block->m_nCaret, 6) << "Up starts from the selection's start";
    Key(VK_UP);
    EXPECT_EQ(m_block->m_nCaret, 6) << "nothing above the first line";
    // A horizontal move takes a new goal.
    Key(VK_LEFT);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(m_block->m_nCaret, 17);
}

// ---- Removing ----------------------------------------------------------------------------------

TEST_F(TextBlockEditTest, BackspaceAtTheStartAndDeleteAtTheEndChangeNothing)
{
    Edit("abc", false);
    SetClipboardString("kept");
    Key(VK_BACK);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(m_log.nModified, 0);
    Key(VK_END, {VK_CONTROL});
    Key(VK_DELETE);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(m_log.nModified, 0);
    EXPECT_TRUE(m_log.removals.empty());
    EXPECT_EQ(ClipboardString(), "kept");
    Key(VK_BACK);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(m_log.nModified, 1);
    EXPECT_EQ(ClipboardString(), "kept") << "Backspace leaves the clipboard";
    EXPECT_TRUE(m_log.removals.empty());
}

TEST_F(TextBlockEditTest, DeleteRecordsTheRemovalAndLeavesItOnTheClipboard)
{
    // The position is counted without soft breaks, which wrapping moves.
    Edit("one \rtwo three", false);
    m_block->SetSel(9, 13);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), "one two e");
    EXPECT_EQ(ClipboardString(), "thre");
    ASSERT_EQ(m_log.removals.size(), 1u);
    EXPECT_EQ(m_log.removals[0], std::make_pair(std::string("thre"), 8));

    // Without a selection the character after the caret goes; a soft break
    // goes with it rather than alone.
    CaretTo(4);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), "one wo e");
    EXPECT_EQ(ClipboardString(), "t");
    EXPECT_EQ(m_log.removals.back(), std::make_pair(std::string("t"), 4));
    // Backspace of a selection removes it as Delete does.
    m_block->SetSel(0, 3);
    Key(VK_BACK);
    EXPECT_EQ(Text(), " wo e");
    EXPECT_EQ(ClipboardString(), "one");
    EXPECT_EQ(m_log.removals.size(), 3u);
}

// ---- Clipboard ---------------------------------------------------------------------------------

TEST_F(TextBlockEditTest, CopyingAcrossSoftBreaksLeavesNoCrAndCutDeletes)
{
    Edit("first \rsecond\fthird\nfourth", false);
    m_block->SetSel(2, 19);
    ASSERT_TRUE(m_block->Copy(FALSE));
    EXPECT_EQ(ClipboardString(), "rst secondthird");
    EXPECT_EQ(Laid(), "first \rsecond\fthird\nfourth");

    m_block->SetSel(17, 23);
    ASSERT_TRUE(m_block->Copy(TRUE));
    EXPECT_EQ(ClipboardString(), "rd\nfou");
    EXPECT_EQ(Text(), "first secondthirth");
    EXPECT_EQ(m_log.removals.size(), 1u);

    // Without a selection the clipboard keeps what it held.
    m_block->SetSel(3, 3);
    EXPECT_FALSE(m_block->Copy(FALSE));
    EXPECT_EQ(ClipboardString(), "rd\nfou");
}

TEST_F(TextBlockEditTest, PasteReplacesTheSelectionWithLineEndsFolded)
{
    Edit("Hello world", false);
    SetClipboardString("big\r\nnew\rline\ttab\x01");
    m_block->SetSel(6, 11);
    ASSERT_TRUE(m_block->Paste());
    EXPECT_EQ(Text(), "Hello big\nnew\nline tab");
    EXPECT_EQ(Sel(), std::make_pair(22, 22));
    EXPECT_GT(m_log.nModified, 0);

    // A clipboard without text pastes nothing.
    ASSERT_TRUE(::OpenClipboard(m_view->m_hWnd));
    ::EmptyClipboard();
    ::CloseClipboard();
    EXPECT_FALSE(m_block->Paste());
    EXPECT_EQ(Text(), "Hello big\nnew\nline tab");
}

TEST_F(TextBlockEditTest, ALongPasteWrapsAndFitsWithoutHanging)
{
    Edit("");
    std::string text;
    while (text.size() < 10000)
        text += "word ";
    SetClipboardString(text);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(m_block->Paste());
    Pump();
    m_view->UpdateWindow();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(Text(), text);
    EXPECT_NE(Laid().find('\r'), std::string::npos) << "wrapped into the frame";
    EXPECT_LT(seconds, 20.0);

    // A paste is cut to what the editor keeps rather than growing the text
    // without bound.
    SetClipboardString(std::string(40000, 'z'));
    m_view->m_bDrawBlock = false;
    m_block->SetSel(0, -1);
    ASSERT_TRUE(m_block->Paste());
    EXPECT_LT(m_block->GetLength(), 40000);
    EXPECT_GT(m_block->GetLength(), 10000);

    // A fitted block takes the long text by its font size instead.
    m_block->EndEdit();
    m_block->SetText("");
    m_block->m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    Edit("");
    SetClipboardString(text);
    ASSERT_TRUE(m_block->Paste());
    Pump();
    m_view->UpdateWindow();
    EXPECT_EQ(Text(), text);
    EXPECT_LT(m_block->m_nFittedHeight, 0);
    EXPECT_GE(m_block->m_nFittedHeight, -kTextBlockMaxPoints);
}

// ---- Where the caret stands ---------------------------------------------------------------------

// The caret's place for a position of the text, in the view's client area.
POINT CaretAt(CTextBlock& block, int nPosition)
{
    block.SetSel(nPosition, nPosition);
    block.UpdateCaret(TRUE);
    POINT pt{};
    ::GetCaretPos(&pt);
    return pt;
}

bool IsBlack(HWND hWnd, int x, int y)
{
    return platform::headless::WindowPixel(hWnd, x, y) == RGB(0, 0, 0);
}

TEST_F(TextBlockEditTest, TheCaretStandsAtTheEdgesOfTheDrawnSelectionInEveryAlignmentAndColumn)
{
    // Blanks draw nothing but the selection's black ground, so its edges
    // show exactly where the drawing put the characters.
    struct Case {
        int nAlignment;
        int nColumns;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 1}, Case{2, 1}, Case{0, 2}, Case{1, 2}}) {
        SCOPED_TRACE(testing::Message() << "alignment " << c.nAlignment << ", columns " << c.nColumns);
        m_block->EndEdit();
        m_block->m_nAlignment = c.nAlignment;
        m_block->SetColumns(c.nColumns);
        // Eight lines fit the frame's height; twenty spill into a second
        // column, which holds the last line.
        std::string lines = "      ";
        for (int i = 1; i < (c.nColumns == 2 ? 20 : 8); ++i)
            lines += "\n      ";
        Edit(lines.c_str());
        const int nLineStart = m_block->GetLength() - 6;
        ASSERT_EQ(std::string(m_block->GetLaidText()).find('\f') != std::string::npos, c.nColumns == 2);
        const POINT a = CaretAt(*m_block, nLineStart + 2);
        const POINT b = CaretAt(*m_block, nLineStart + 4);
        if (c.nColumns == 2) {
            EXPECT_GT(a.x, m_view->m_rectFrame.CenterPoint().x);
        }
        m_block->SetSel(nLineStart + 2, nLineStart + 4);
        m_view->Invalidate(FALSE);
        Pump();
        const HWND hWnd = m_view->m_hWnd;
        const int y = a.y + m_block->m_nCaretHeight / 2;
        // The caret would invert the pixels it stands on.
        ::HideCaret(hWnd);
        EXPECT_FALSE(IsBlack(hWnd, a.x - 1, y));
        EXPECT_TRUE(IsBlack(hWnd, a.x, y));
        EXPECT_TRUE(IsBlack(hWnd, b.x - 1, y));
        EXPECT_FALSE(IsBlack(hWnd, b.x, y));
        ::ShowCaret(hWnd);

        // A click just inside the selection's left edge finds its start.
        POINT click{a.x + 1, y};
        ::ClientToScreen(hWnd, &click);
        platform::headless::Click(click.x, click.y);
        Pump();
        EXPECT_EQ(Sel(), std::make_pair(nLineStart + 2, nLineStart + 2));
    }
}

// The height of the caret the window shows: the pixels of its column that
// showing it inverts.
int ShownCaretHeight(HWND hWnd)
{
    POINT pt{};
    if (!::GetCaretPos(&pt))
        return 0;
    CRect client;
    ::GetClientRect(hWnd, &client);
    std::vector<COLORREF> hidden;
    if (!::HideCaret(hWnd))
        return 0;
    for (int y = 0; y < client.bottom; ++y)
        hidden.push_back(platform::headless::WindowPixel(hWnd, pt.x, y));
    ::ShowCaret(hWnd);
    int nHeight = 0;
    for (int y = 0; y < client.bottom; ++y)
        nHeight += platform::headless::WindowPixel(hWnd, pt.x, y) != hidden[size_t(y)] ? 1 : 0;
    return nHeight;
}

TEST_F(TextBlockEditTest, TheCaretTakesItsLinesHeightAfterTheFontSizeChanges)
{
    // The caret after a blank, where the column it stands on is white.
    Edit("Size ");
    Key(VK_END, {VK_CONTROL});
    const HWND hWnd = m_view->m_hWnd;
    auto lineHeight = [&] {
        CClientDC dc(m_view.get());
        return m_block->GetLineHeight(&dc);
    };
    ASSERT_EQ(ShownCaretHeight(hWnd), lineHeight());

    // Another window (a toolbar's size box, a dialog's edit field, which
    // makes a caret of its own) has the focus while the size changes and
    // the view repaints; back in the view, the caret is the view's, as tall
    // as the new line.
    HWND hEdit = ::CreateWindowEx(0, "EDIT", "", WS_POPUP | WS_VISIBLE, 500, 400, 100, 30, NULL, NULL, NULL, NULL);
    HWND hList = ::CreateWindowEx(0, "LISTBOX", "", WS_POPUP | WS_VISIBLE, 500, 300, 100, 60, NULL, NULL, NULL, NULL);
    ASSERT_NE(hEdit, nullptr);
    ASSERT_NE(hList, nullptr);
    ::SetFocus(hWnd);
    Pump();
    for (const int nPoints : {6, 20, 9}) {
        SCOPED_TRACE(testing::Message() << nPoints << " points");
        for (const HWND hElsewhere : {HWND(NULL), hEdit, hList}) {
            const bool bElsewhere = hElsewhere != NULL;
            SCOPED_TRACE(!bElsewhere ? "changed in the view" : hElsewhere == hEdit ? "from an edit" : "from a list");
            if (bElsewhere)
                ::SetFocus(hElsewhere);
            m_block->SetFont(-nPoints, "Liberation Mono", DEFAULT_CHARSET);
            ::InvalidateRect(hWnd, nullptr, FALSE);
            Pump();
            if (bElsewhere) {
                ::SetFocus(hWnd);
                Pump();
                // The next move of the caret, a paint from the cache or
                // a key, places it.
                Key(VK_END);
            }
            EXPECT_EQ(m_block->m_nCaretHeight, lineHeight());
            EXPECT_EQ(ShownCaretHeight(hWnd), lineHeight());
            m_block->SetFont(-12, "Liberation Mono", DEFAULT_CHARSET);
            ::InvalidateRect(hWnd, nullptr, FALSE);
            Pump();
        }
    }
    ::DestroyWindow(hEdit);
    ::DestroyWindow(hList);
}

// ---- Mouse -------------------------------------------------------------------------------------

TEST_F(TextBlockEditTest, ClicksDragsAndDoubleClicksFindTheCharactersUnderThePoint)
{
    Edit("alpha beta\ngamma delta");
    CaretTo(8);
    const POINT at8 = CaretOnScreen();
    CaretTo(14);
    const POINT at14 = CaretOnScreen();
    Key(VK_HOME, {VK_CONTROL});

    platform::headless::PressMouse(0, at8.x, at8.y);
    platform::headless::MoveMouse(at14.x, at14.y);
    platform::headless::ReleaseMouse(0, at14.x, at14.y);
    Pump();
    EXPECT_EQ(m_block->m_nAnchor, 8);
    EXPECT_EQ(m_block->m_nCaret, 14);
    // After the button is let go the mouse no longer selects.
    platform::headless::MoveMouse(at8.x, at8.y);
    Pump();
    EXPECT_EQ(m_block->m_nCaret, 14);

    platform::headless::Click(at14.x, at14.y);
    Pump();
    EXPECT_EQ(Sel(), std::make_pair(14, 14));
    platform::headless::Click(at14.x, at14.y);
    Pump();
    EXPECT_EQ(Sel(), std::make_pair(11, 16)) << "gamma";

    // Below the last line lies the end of the text.
    platform::headless::Click(at8.x, at8.y + 150);
    Pump();
    EXPECT_EQ(Sel(), std::make_pair(22, 22));
}

// ---- Undo in a design ---------------------------------------------------------------------------

class BlockEditUndoTest : public modeltest::DesignViewTest {
protected:
    void SetUp() override
    {
        DesignViewTest::SetUp();
        g_bUndoRecordingOff = FALSE;
    }
    void TearDown() override
    {
        m_loose.reset();
        DesignViewTest::TearDown();
    }

    CDrawRect* AddBlockText(const char* pszText, bool bInDocument)
    {
        auto* pObj = new CDrawRect(CRect(100, 400, 600, 100), SHAPE_RECTANGLE);
        if (bInDocument)
            m_pDoc->AddObject(pObj, m_pView);
        else
            m_loose.reset(pObj);
        pObj->m_bBlockText = TRUE;
        pObj->m_pTextHolder = new CTextContentHolder(pObj);
        CTextBlock* pBlock = pObj->m_pTextHolder->GetBlock();
        pBlock->SetText(pszText);
        pBlock->SetRect(CRect(100, 400, 600, 100));
        return pObj;
    }

    std::unique_ptr<CDrawRect> m_loose;
};

TEST_F(BlockEditUndoTest, DeleteIsUndoneThroughTheTextRemovalRecordAndLeavesItsText)
{
    CDrawRect* pObj = AddBlockText("Hello big world", true);
    CTextBlock* pBlock = pObj->m_pTextHolder->GetBlock();
    ASSERT_TRUE(pBlock->BeginEdit());
    m_pDoc->SetModifiedFlag(FALSE);
    const int nStepsBefore = m_pDoc->GetUndoList().GetCount();
    pBlock->SetSel(5, 9);
    EXPECT_TRUE(pBlock->OnKeyDown(VK_DELETE, 1, 0));
    EXPECT_STREQ(pBlock->GetText(), "Hello world");
    EXPECT_TRUE(m_pDoc->IsModified());
    ASSERT_EQ(m_pDoc->GetUndoList().GetCount(), nStepsBefore + 1);
    EXPECT_EQ(m_pDoc->GetUndoList().GetUndoLabel(), "text removal");
    pBlock->EndEdit();

    ASSERT_TRUE(m_pDoc->GetUndoList().Undo(m_pDoc));
    EXPECT_STREQ(pBlock->GetText(), "Hello big world");
    ASSERT_TRUE(::OpenClipboard(NULL));
    HANDLE hData = ::GetClipboardData(CF_TEXT);
    ASSERT_NE(hData, nullptr);
    EXPECT_STREQ(static_cast<const char*>(::GlobalLock(hData)), " big");
    ::GlobalUnlock(hData);
    ::CloseClipboard();
}

TEST_F(BlockEditUndoTest, TheCaretStartsAtTheFramesCornerOnTheDesignViewAtEveryZoom)
{
    CDrawRect* pObj = AddBlockText("", true);
    CTextBlock* pBlock = pObj->m_pTextHolder->GetBlock();
    ASSERT_TRUE(pBlock->BeginEdit());
    for (int nZoom : {100, 200, 37}) {
        SetZoom(nZoom);
        Pump();
        pBlock->UpdateCaret(TRUE);
        CRect frame = pBlock->m_rectFrame;
        m_pView->LPtoDPRect(&frame);
        POINT pt{};
        ASSERT_EQ(::GetFocus(), m_pView->m_hWnd);
        ::GetCaretPos(&pt);
        EXPECT_EQ(pt.x, frame.left + pBlock->m_nLeftMargin) << "zoom " << nZoom;
        EXPECT_EQ(pt.y, frame.top) << "zoom " << nZoom;
    }
    pBlock->EndEdit();
}

TEST_F(BlockEditUndoTest, DeleteInAnObjectWithoutADocumentRecordsNothing)
{
    CDrawRect* pObj = AddBlockText("abc", false);
    CTextBlock* pBlock = pObj->m_pTextHolder->GetBlock();
    ASSERT_TRUE(pBlock->BeginEdit());
    const int nStepsBefore = m_pDoc->GetUndoList().GetCount();
    EXPECT_TRUE(pBlock->OnKeyDown(VK_DELETE, 1, 0));
    EXPECT_STREQ(pBlock->GetText(), "bc");
    EXPECT_EQ(m_pDoc->GetUndoList().GetCount(), nStepsBefore);
    pBlock->EndEdit();
}

} // namespace
