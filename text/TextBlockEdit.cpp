// In-place editing of block text: the caret, the selection, keys, the mouse
// and the clipboard. The block is edited where it is drawn, on its owner's
// view: the caret is the view's system caret, and every change redraws the
// owner so that the next paint lays the text out again.

#include "text/TextBlock.h"

#include "platform/base/CharClass.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/ClipboardText.h"
#include "platform/ui/User.h"
#include "text/TextBlockLines.h"
#include "text/TextOwner.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using textblock::IsLineBreak;
using textblock::LaidLine;
using textblock::SplitLaidLines;

// The longest text the editor lets typing and pasting make. Undo records
// keep positions in 16 bits, and wrapping adds soft breaks on top.
constexpr int kMaxEditLength = 30000;
// Margins come from files: kept to a sane width, as the drawing keeps them.
constexpr int kMaxMargin = 4096;
// The goal x of Up and Down after a change of the text: the next drawing
// may wrap the caret onto another line, so the goal is taken when Up or
// Down next needs it.
constexpr int kGoalPending = INT_MIN;

bool IsSoftBreak(char ch)
{
    return ch == '\r' || ch == '\f';
}

bool KeyHeld(int nVirtKey)
{
    return ::GetKeyState(nVirtKey) < 0;
}

CString WithoutSoftBreaks(const CString& str)
{
    CString result;
    const int n = str.GetLength();
    for (int i = 0; i < n; ++i) {
        if (!IsSoftBreak(str[i]))
            result += str[i];
    }
    return result;
}

// A position of the laid text as a position of the text without soft
// breaks, which stays valid however the text is wrapped later.
int PlainPosition(const CString& strLaid, int nPosition)
{
    int nPlain = 0;
    for (int i = 0; i < nPosition && i < strLaid.GetLength(); ++i) {
        if (!IsSoftBreak(strLaid[i]))
            ++nPlain;
    }
    return nPlain;
}

// Windows-1252 characters that can be shown: none of the C0 controls, DEL
// or the five code points the code page leaves undefined.
bool IsPrintable1252(UINT ch)
{
    if (ch < 32 || ch > 255 || ch == 127)
        return false;
    return ch != 0x81 && ch != 0x8D && ch != 0x8F && ch != 0x90 && ch != 0x9D;
}

// Clipboard text as the block holds it: LF alone ends a line (CR LF and a
// lone CR become one LF), a tab becomes a blank and other control
// characters go. At most nRoom characters are kept.
CString NormalisePasted(const CString& str, int nRoom)
{
    CString result;
    const int n = str.GetLength();
    for (int i = 0; i < n && result.GetLength() < nRoom; ++i) {
        const char ch = str[i];
        if (ch == '\r') {
            result += '\n';
            if (i + 1 < n && str[i + 1] == '\n')
                ++i;
        } else if (ch == '\n') {
            result += '\n';
        } else if (ch == '\t') {
            result += ' ';
        } else if (IsPrintable1252(BYTE(ch))) {
            result += ch;
        }
    }
    return result;
}

// ---- Word classes ------------------------------------------------------------------------------

// Blank, CR and form feed are white space; LF is a hard stop of its own.
enum class CharClass { White, HardStop, Word, Other };

CharClass ClassOf(char ch)
{
    if (ch == ' ' || ch == '\r' || ch == '\f')
        return CharClass::White;
    if (ch == '\n')
        return CharClass::HardStop;
    return ::IsCharAlphaNumeric(ch) ? CharClass::Word : CharClass::Other;
}

// ---- Lines as laid -----------------------------------------------------------------------------

// The line that holds a position: the last one starting at or before it.
size_t LineOf(const std::vector<LaidLine>& lines, int nPosition)
{
    auto it = std::upper_bound(lines.begin(), lines.end(), nPosition,
        [](int n, const LaidLine& line) { return n < line.nStart; });
    return it == lines.begin() ? 0 : size_t(it - lines.begin() - 1);
}

// ---- Geometry ----------------------------------------------------------------------------------

// A DC to measure the laid text with, in the view's pixels: the view's
// client DC when the owner has a view, else a memory DC of the screen. The
// block's font (made when it was last drawn) is selected while it lasts.
class CMeasureDC {
public:
    explicit CMeasureDC(CTextBlock& block)
    {
        const HWND hWnd = TextOwnerViewWindow(block.m_pOwner);
        if (hWnd != NULL)
            m_pClient = std::make_unique<CClientDC>(CWnd::FromHandle(hWnd));
        if (m_pClient != nullptr && m_pClient->GetSafeHdc() != NULL) {
            m_pDC = m_pClient.get();
        } else {
            m_memory.CreateCompatibleDC(nullptr);
            m_pDC = &m_memory;
        }
        if (block.m_pFont != nullptr && block.m_pFont->GetSafeHandle() != NULL)
            m_pOldFont = m_pDC->SelectObject(block.m_pFont);
    }
    ~CMeasureDC()
    {
        if (m_pOldFont != nullptr)
            m_pDC->SelectObject(m_pOldFont);
    }
    CMeasureDC(const CMeasureDC&) = delete;
    CMeasureDC& operator=(const CMeasureDC&) = delete;

    CDC& DC() { return *m_pDC; }
    BOOL IsViewDC() const { return m_pDC == m_pClient.get(); }

private:
    std::unique_ptr<CClientDC> m_pClient;
    CDC m_memory;
    CDC* m_pDC = nullptr;
    CFont* m_pOldFont = nullptr;
};

// Where the laid text stands on the view, in its pixels, as the block's
// plain text drawing lays it: columns side by side a fifth of an inch
// apart, lines one blank's height apart.
struct EditGeometry {
    CRect rect;
    int nLineHeight = 1;
    int nColumnWidth = 1;
    int nColumnStep = 1;
};

EditGeometry GeometryOf(CTextBlock& block, CMeasureDC& measure)
{
    EditGeometry g;
    CDC& dc = measure.DC();
    if (measure.IsViewDC()) {
        // The frame as the view maps it; the DC then measures in pixels.
        const int nSaved = dc.SaveDC();
        CRect rect = block.m_rectFrame;
        if (TextPrepareViewDC(block.m_pOwner, &dc))
            dc.LPtoDP(&rect);
        dc.RestoreDC(nSaved);
        rect.NormalizeRect();
        g.rect = rect;
    } else {
        g.rect = block.m_rectDevice.IsRectNull() ? block.m_rectFrame : block.m_rectDevice;
        g.rect.NormalizeRect();
    }
    g.nLineHeight = std::max<int>(1, dc.GetTextExtent(" ", 1).cy);
    g.nColumnWidth = block.GetColumnWidth(&dc, g.rect.Width());
    g.nColumnStep = std::max(1, g.nColumnWidth + (block.m_nColumns > 1 ? block.GetColumnGap(&dc) : 0));
    return g;
}

// The extents of every prefix of a line: dx[k] is the width of its first k
// characters (dx[0] = 0).
std::vector<int> PrefixExtents(CDC& dc, const CString& str, const LaidLine& line)
{
    const int nCount = line.nEnd - line.nStart;
    std::vector<int> dx(size_t(nCount) + 1, 0);
    if (nCount <= 0)
        return dx;
    int nFit = 0;
    SIZE size{};
    ::GetTextExtentExPoint(dc.GetSafeHdc(), static_cast<LPCTSTR>(str) + line.nStart, nCount, -1, &nFit, dx.data() + 1, &size);
    return dx;
}

// The x of a line's first character: the column's left plus what the
// alignment gives. Blanks at the ends count while editing, so the caret
// can stand behind them.
int LineLeft(const CTextBlock& block, const EditGeometry& g, const LaidLine& line, int nExtent)
{
    const int nLeft = g.rect.left + line.nColumn * g.nColumnStep;
    switch (block.m_nAlignment) {
    case 1:
        return nLeft + g.nColumnWidth - nExtent;
    case 2:
        return nLeft + (g.nColumnWidth - nExtent) / 2;
    default:
        return nLeft + std::clamp(block.m_nLeftMargin, 0, kMaxMargin);
    }
}

// The boundary of a line nearest to x; a tie goes to the later one.
int NearestBoundary(const std::vector<int>& dx, int nLeft, int x)
{
    int nBest = 0;
    int nBestDistance = std::abs(x - nLeft);
    for (size_t k = 1; k < dx.size(); ++k) {
        const int nDistance = std::abs(x - (nLeft + dx[k]));
        if (nDistance <= nBestDistance) {
            nBest = int(k);
            nBestDistance = nDistance;
        }
    }
    return nBest;
}

} // namespace

// ---- Word and line boundaries ------------------------------------------------------------------

int CTextBlock::PrevWordStart(int nPosition) const
{
    const CString& str = m_strText;
    int p = std::clamp(nPosition, 0, str.GetLength());
    if (p == 0)
        return 0;
    --p;
    if (str[p] == '\n')
        return p;
    while (p > 0 && ClassOf(str[p]) == CharClass::White)
        --p;
    const CharClass cls = ClassOf(str[p]);
    if (cls == CharClass::HardStop)
        return p + 1;
    if (cls == CharClass::White)
        return p;
    while (p > 0 && ClassOf(str[p - 1]) == cls)
        --p;
    return p;
}

int CTextBlock::NextWordStart(int nPosition) const
{
    const CString& str = m_strText;
    const int n = str.GetLength();
    int p = std::clamp(nPosition, 0, n);
    if (p >= n)
        return n;
    const CharClass cls = ClassOf(str[p]);
    if (cls == CharClass::HardStop)
        return p + 1;
    if (cls != CharClass::White) {
        while (p < n && ClassOf(str[p]) == cls)
            ++p;
    }
    while (p < n && ClassOf(str[p]) == CharClass::White)
        ++p;
    return p;
}

int CTextBlock::LineStart(int nPosition) const
{
    int p = std::clamp(nPosition, 0, m_strText.GetLength());
    while (p > 0 && !IsLineBreak(m_strText[p - 1]))
        --p;
    return p;
}

int CTextBlock::LineEnd(int nPosition) const
{
    const int n = m_strText.GetLength();
    int p = std::clamp(nPosition, 0, n);
    while (p < n && !IsLineBreak(m_strText[p]))
        ++p;
    return p;
}

// ---- Beginning and ending ----------------------------------------------------------------------

BOOL CTextBlock::BeginEdit()
{
    if (m_bEditing || m_nAngle != 0 || m_nShape != 0)
        return FALSE;
    // Editing draws plain text, which cannot show a mirrored frame. The
    // frame is judged on the view's pixels, where the owner's flips show
    // as a frame whose edges lie the other way round; without a view the
    // last drawing's judgement stands.
    BOOL bMirrored = m_bMirrorH || m_bMirrorV;
    const HWND hWnd = TextOwnerViewWindow(m_pOwner);
    if (hWnd != NULL) {
        CRect rect = m_rectFrame;
        CClientDC dc(CWnd::FromHandle(hWnd));
        TextPrepareViewDC(m_pOwner, &dc);
        dc.LPtoDP(&rect);
        bMirrored = rect.left > rect.right || rect.top > rect.bottom;
    }
    if (bMirrored)
        return FALSE;

    m_bEditing = TRUE;
    m_bDragging = FALSE;
    m_bDropNextChar = FALSE;
    m_nCaret = 0;
    m_nAnchor = 0;
    m_nGoalX = 0;
    if (GetLaidText() == " ") {
        SetLaidText(CString());
        FreeCache();
    }
    m_nCaretMadeHeight = 0;
    if (hWnd != NULL)
        ::SetFocus(hWnd);
    UpdateCaret(TRUE);
    TextInvalidateOwner(m_pOwner);
    return TRUE;
}

void CTextBlock::EndEdit()
{
    if (!m_bEditing)
        return;
    m_bEditing = FALSE;
    m_bDragging = FALSE;
    m_bDropNextChar = FALSE;
    // The caret is the focused window's; one another window made since is
    // left alone.
    const HWND hWnd = TextOwnerViewWindow(m_pOwner);
    if (hWnd != NULL && ::GetFocus() == hWnd) {
        ::HideCaret(hWnd);
        ::DestroyCaret();
    }
    TextInvalidateOwner(m_pOwner);
}

// ---- Caret and hit testing ---------------------------------------------------------------------

void CTextBlock::UpdateCaret(BOOL bTakeGoal)
{
    m_nCaret = std::clamp(m_nCaret, 0, GetLength());
    m_nAnchor = std::clamp(m_nAnchor, 0, GetLength());
    if (!m_bEditing)
        return;
    CMeasureDC measure(*this);
    const EditGeometry g = GeometryOf(*this, measure);
    const std::vector<LaidLine> lines = SplitLaidLines(m_strText);
    const LaidLine& line = lines[LineOf(lines, m_nCaret)];
    const std::vector<int> dx = PrefixExtents(measure.DC(), m_strText, line);
    const int x = LineLeft(*this, g, line, dx.back()) + dx[size_t(std::min(m_nCaret, line.nEnd) - line.nStart)];
    const int y = g.rect.top + line.nRow * g.nLineHeight;
    if (bTakeGoal)
        m_nGoalX = x;
    // The system caret belongs to the focused window: while another has the
    // focus (a toolbar's edit field), that window's caret is left alone.
    const HWND hWnd = TextOwnerViewWindow(m_pOwner);
    m_nCaretHeight = g.nLineHeight;
    if (hWnd == NULL || ::GetFocus() != hWnd)
        return;
    // The caret is made again when its line's height is no longer the one
    // it was made with (a new font size, zoom or fitting, perhaps changed
    // while a dialog or a toolbar had the focus), or when it is not the
    // view's any more (a control that had the focus made its own).
    const BOOL bOurs = ::HideCaret(hWnd);
    if (!bOurs || m_nCaretMadeHeight != m_nCaretHeight) {
        if (bOurs)
            ::DestroyCaret();
        ::CreateCaret(hWnd, NULL, m_nCaretWidth, m_nCaretHeight);
        m_nCaretMadeHeight = m_nCaretHeight;
    }
    ::SetCaretPos(x, y);
    ::ShowCaret(hWnd);
}

int CTextBlock::CharFromPoint(CPoint point)
{
    CMeasureDC measure(*this);
    const EditGeometry g = GeometryOf(*this, measure);
    const std::vector<LaidLine> lines = SplitLaidLines(m_strText);
    const int nColumns = std::clamp(m_nColumns, 1, kTextBlockMaxColumns);
    int nColumn = 0;
    if (nColumns > 1)
        nColumn = std::clamp((point.x - g.rect.left) / g.nColumnStep, 0, nColumns - 1);
    // The column's lines; a column without text answers the text's end.
    auto first = std::find_if(lines.begin(), lines.end(), [&](const LaidLine& l) { return l.nColumn == nColumn; });
    if (first == lines.end())
        return GetLength();
    auto last = first;
    while (last + 1 != lines.end() && (last + 1)->nColumn == nColumn)
        ++last;
    const int dy = point.y - g.rect.top;
    const int nRow = dy < 0 ? 0 : dy / g.nLineHeight;
    if (nRow > last->nRow)
        return last->nEnd;
    const LaidLine& line = *(first + nRow);
    const std::vector<int> dx = PrefixExtents(measure.DC(), m_strText, line);
    return line.nStart + NearestBoundary(dx, LineLeft(*this, g, line, dx.back()), point.x);
}

// ---- Changing the text -------------------------------------------------------------------------

void CTextBlock::ReplaceSel(const CString& strText)
{
    const int nStart = GetSelStart();
    const int nEnd = GetSelEnd();
    const CString& str = m_strText;
    SetLaidText(str.Left(nStart) + strText + str.Mid(nEnd));
    m_nCaret = m_nAnchor = std::min(nStart + strText.GetLength(), GetLength());
}

CString CTextBlock::DeleteSel(BOOL bForward)
{
    const int n = GetLength();
    int nStart = GetSelStart();
    int nEnd = GetSelEnd();
    if (nStart == nEnd) {
        // A soft break goes with the character beyond it: alone, the next
        // wrapping would only put it back.
        if (bForward) {
            while (nEnd < n && IsSoftBreak(m_strText[nEnd]))
                ++nEnd;
            if (nEnd == n)
                return CString();
            ++nEnd;
        } else {
            while (nStart > 0 && IsSoftBreak(m_strText[nStart - 1]))
                --nStart;
            if (nStart == 0)
                return CString();
            --nStart;
        }
    }
    const CString strRemoved = m_strText.Mid(nStart, nEnd - nStart);
    SetLaidText(m_strText.Left(nStart) + m_strText.Mid(nEnd));
    m_nCaret = m_nAnchor = nStart;
    return strRemoved;
}

namespace {

// After the text changed: the document is modified, the next drawing lays
// the text out again (wrapping anew unless the size is fitted) and the
// owner is redrawn.
void TextChanged(CTextBlock& block)
{
    block.m_nGoalX = kGoalPending;
    block.FreeCache();
    TextSetOwnerModified(block.m_pOwner);
    TextInvalidateOwner(block.m_pOwner);
}

// Puts Windows-1252 text on the clipboard as CF_TEXT, replacing what it
// held. FALSE when the clipboard cannot be opened or the block not made.
BOOL PutOnClipboard(HWND hWndOwner, const CString& strText)
{
    if (!::OpenClipboard(hWndOwner))
        return FALSE;
    ::EmptyClipboard();
    BOOL bPlaced = FALSE;
    const SIZE_T nBytes = SIZE_T(strText.GetLength()) + 1;
    if (HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nBytes)) {
        if (void* p = ::GlobalLock(hMem)) {
            std::memcpy(p, static_cast<LPCTSTR>(strText), nBytes - 1);
            ::GlobalUnlock(hMem);
            bPlaced = ::SetClipboardData(CF_TEXT, hMem) != NULL;
        }
        if (!bPlaced)
            ::GlobalFree(hMem);
    }
    ::CloseClipboard();
    return bPlaced;
}

// What the Delete key does: removes the selection or the character after
// the caret, records the removal for undo and leaves the removed text on
// the clipboard. FALSE when nothing was removed.
BOOL DeleteForward(CTextBlock& block)
{
    const int nPlainStart = PlainPosition(block.GetLaidText(), block.GetSelStart());
    const CString strRemoved = WithoutSoftBreaks(block.DeleteSel(TRUE));
    if (strRemoved.IsEmpty())
        return FALSE;
    TextRecordTextRemoval(block.m_pOwner, strRemoved, nPlainStart);
    PutOnClipboard(TextOwnerViewWindow(block.m_pOwner), strRemoved);
    return TRUE;
}

} // namespace

// ---- Keys --------------------------------------------------------------------------------------

UINT CTextBlock::TranslateKey(UINT nVirtKey, BOOL bShift, BOOL bCapsLock, BOOL bCtrlAlt)
{
    if (bCtrlAlt) {
        switch (nVirtKey) {
        case VK_OEM_MINUS: return 0x96;  // en dash
        case VK_OEM_PLUS: return 0x97;   // em dash
        case VK_OEM_PERIOD: return 0x95; // bullet
        case '9': return 0x91;           // single quotation marks
        case '0': return 0x92;
        case VK_OEM_4: return 0x93;      // double quotation marks
        case VK_OEM_6: return 0x94;
        case VK_OEM_5: return 0x86;      // dagger
        case VK_OEM_2: return 0x87;      // double dagger
        case 'C': return 0xA9;           // copyright
        case 'R': return 0xAE;           // registered
        case 'T': return 0x99;           // trade mark
        default: return 0;
        }
    }
    // The keypad types what its keys show, whatever Shift and Num Lock say.
    if (nVirtKey >= VK_NUMPAD0 && nVirtKey <= VK_NUMPAD9)
        return '0' + (nVirtKey - VK_NUMPAD0);
    switch (nVirtKey) {
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: break;
    }
    const UINT ch = ::MapVirtualKey(nVirtKey, MAPVK_VK_TO_CHAR) & 0xFF;
    if (!IsPrintable1252(ch))
        return 0;
    if (ch >= 'A' && ch <= 'Z')
        return (bShift != bCapsLock) ? ch : ch - 'A' + 'a';
    if (!bShift)
        return ch;
    static constexpr char kShifted[][2] = {{'\'', '"'}, {',', '<'}, {'-', '_'}, {'.', '>'}, {'/', '?'}, {'0', ')'},
        {'1', '!'}, {'2', '@'}, {'3', '#'}, {'4', '$'}, {'5', '%'}, {'6', '^'}, {'7', '&'}, {'8', '*'}, {'9', '('},
        {';', ':'}, {'=', '+'}, {'[', '{'}, {'\\', '|'}, {']', '}'}, {'`', '~'}};
    for (const auto& pair : kShifted) {
        if (UINT(BYTE(pair[0])) == ch)
            return BYTE(pair[1]);
    }
    return ch;
}

BOOL CTextBlock::TakesKeyBeforeAccelerators(UINT nVirtKey) const
{
    if (!m_bEditing || KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU))
        return FALSE;
    const BOOL bCapsLock = (::GetKeyState(VK_CAPITAL) & 1) != 0;
    return TranslateKey(nVirtKey, KeyHeld(VK_SHIFT), bCapsLock, FALSE) != 0;
}

BOOL CTextBlock::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    (void)nRepCnt;
    (void)nFlags;
    m_bDropNextChar = FALSE;
    if (!m_bEditing)
        return FALSE;
    const BOOL bShift = KeyHeld(VK_SHIFT);
    const BOOL bCtrl = KeyHeld(VK_CONTROL);
    const BOOL bAlt = KeyHeld(VK_MENU);
    const int nLength = GetLength();
    const int nOldCaret = m_nCaret;
    const int nOldAnchor = m_nAnchor;
    const BOOL bSelection = HasSelection();

    // Editing keys.
    switch (nChar) {
    case VK_BACK:
    case VK_DELETE: {
        BOOL bChanged = FALSE;
        if (nChar == VK_DELETE || bSelection)
            bChanged = DeleteForward(*this);
        else
            bChanged = !DeleteSel(FALSE).IsEmpty();
        m_bDropNextChar = nChar == VK_BACK;
        if (bChanged) {
            TextChanged(*this);
            UpdateCaret(FALSE);
        }
        return TRUE;
    }
    case VK_RETURN:
        if (GetLength() - (GetSelEnd() - GetSelStart()) >= kMaxEditLength) {
            ::MessageBeep(MB_OK);
        } else {
            ReplaceSel("\n");
            TextChanged(*this);
            UpdateCaret(FALSE);
        }
        m_bDropNextChar = TRUE;
        return TRUE;
    default:
        break;
    }

    // Movement keys.
    int nNew = m_nCaret;
    BOOL bTakeGoal = TRUE;
    switch (nChar) {
    case VK_END:
        if (bCtrl)
            nNew = nLength;
        else
            nNew = LineEnd(bShift ? m_nCaret : GetSelEnd());
        break;
    case VK_HOME:
        if (bCtrl)
            nNew = 0;
        else
            nNew = LineStart(bShift ? m_nCaret : GetSelStart());
        break;
    case VK_LEFT:
        if (bSelection && !bShift)
            nNew = GetSelStart();
        else if (bCtrl)
            nNew = PrevWordStart(m_nCaret);
        else
            nNew = std::max(0, m_nCaret - 1);
        break;
    case VK_RIGHT:
        if (bSelection && !bShift)
            nNew = GetSelEnd();
        else if (bCtrl)
            nNew = NextWordStart(m_nCaret);
        else
            nNew = std::min(nLength, m_nCaret + 1);
        break;
    case VK_UP:
    case VK_DOWN: {
        bTakeGoal = FALSE;
        if (m_nGoalX == kGoalPending)
            UpdateCaret(TRUE);
        const int nFrom = bShift ? m_nCaret : (nChar == VK_UP ? GetSelStart() : GetSelEnd());
        const std::vector<LaidLine> lines = SplitLaidLines(m_strText);
        const size_t nLine = LineOf(lines, nFrom);
        if ((nChar == VK_UP && nLine == 0) || (nChar == VK_DOWN && nLine + 1 >= lines.size()))
            return TRUE;
        const LaidLine& target = lines[nChar == VK_UP ? nLine - 1 : nLine + 1];
        CMeasureDC measure(*this);
        const EditGeometry g = GeometryOf(*this, measure);
        const std::vector<int> dx = PrefixExtents(measure.DC(), m_strText, target);
        nNew = target.nStart + NearestBoundary(dx, LineLeft(*this, g, target, dx.back()), m_nGoalX);
        break;
    }
    default: {
        // A typed character.
        if (bCtrl != bAlt)
            return FALSE;
        const BOOL bCapsLock = (::GetKeyState(VK_CAPITAL) & 1) != 0;
        const UINT ch = TranslateKey(nChar, bShift, bCapsLock, bCtrl && bAlt);
        if (ch == 0)
            return FALSE;
        if (GetLength() - (GetSelEnd() - GetSelStart()) >= kMaxEditLength) {
            ::MessageBeep(MB_OK);
        } else {
            ReplaceSel(CString(char(BYTE(ch))));
            TextChanged(*this);
            UpdateCaret(FALSE);
        }
        m_bDropNextChar = TRUE;
        return TRUE;
    }
    }

    m_nCaret = std::clamp(nNew, 0, nLength);
    if (!bShift)
        m_nAnchor = m_nCaret;
    UpdateCaret(bTakeGoal);
    const BOOL bHadSelection = nOldCaret != nOldAnchor;
    if ((bHadSelection || HasSelection()) && (m_nCaret != nOldCaret || m_nAnchor != nOldAnchor))
        TextInvalidateOwner(m_pOwner);
    return TRUE;
}

BOOL CTextBlock::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    (void)nRepCnt;
    if (!m_bEditing)
        return FALSE;
    // A key the block took has typed its character already; the WM_CHAR
    // its translation makes (it carries the key's scan code) goes. Text
    // from a dead key or an input method comes without one.
    const BOOL bDrop = m_bDropNextChar && (nFlags & 0xFF) != 0;
    m_bDropNextChar = FALSE;
    if (bDrop)
        return TRUE;
    // What a key gives, the key handler types; characters come here only
    // for what no key gives, such as an accented letter from a dead key.
    const UINT ch = nChar & 0xFF;
    if (ch < 128 || !IsPrintable1252(ch))
        return TRUE;
    if (GetLength() - (GetSelEnd() - GetSelStart()) >= kMaxEditLength) {
        ::MessageBeep(MB_OK);
        return TRUE;
    }
    ReplaceSel(CString(char(BYTE(ch))));
    TextChanged(*this);
    UpdateCaret(FALSE);
    return TRUE;
}

// ---- Mouse -------------------------------------------------------------------------------------

BOOL CTextBlock::OnLButtonDown(UINT nFlags, CPoint point)
{
    (void)nFlags;
    if (!m_bEditing)
        return FALSE;
    const BOOL bHadSelection = HasSelection();
    m_nCaret = m_nAnchor = CharFromPoint(point);
    m_bDragging = TRUE;
    UpdateCaret(TRUE);
    if (bHadSelection)
        TextInvalidateOwner(m_pOwner);
    return TRUE;
}

BOOL CTextBlock::OnMouseMove(UINT nFlags, CPoint point)
{
    (void)nFlags;
    if (!m_bEditing || !m_bDragging)
        return FALSE;
    const int nNew = CharFromPoint(point);
    if (nNew != m_nCaret) {
        m_nCaret = nNew;
        UpdateCaret(TRUE);
        TextInvalidateOwner(m_pOwner);
    }
    return TRUE;
}

BOOL CTextBlock::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    (void)nFlags;
    if (!m_bEditing)
        return FALSE;
    const CString& str = m_strText;
    const int n = str.GetLength();
    int p = CharFromPoint(point);
    // At a line's end the word is the one before it.
    if (p > 0 && (p == n || IsLineBreak(str[p])))
        --p;
    int nStart = p;
    int nEnd = p;
    if (p < n && !IsLineBreak(str[p])) {
        const CharClass cls = ClassOf(str[p]);
        while (nStart > 0 && !IsLineBreak(str[nStart - 1]) && ClassOf(str[nStart - 1]) == cls)
            --nStart;
        while (nEnd < n && !IsLineBreak(str[nEnd]) && ClassOf(str[nEnd]) == cls)
            ++nEnd;
    }
    m_nAnchor = nStart;
    m_nCaret = nEnd;
    UpdateCaret(TRUE);
    TextInvalidateOwner(m_pOwner);
    return TRUE;
}

// ---- Clipboard ---------------------------------------------------------------------------------

BOOL CTextBlock::Copy(BOOL bCut)
{
    // Without a selection the clipboard keeps what the user had put there.
    if (!HasSelection())
        return FALSE;
    const CString strPart = WithoutSoftBreaks(m_strText.Mid(GetSelStart(), GetSelEnd() - GetSelStart()));
    if (!PutOnClipboard(TextOwnerViewWindow(m_pOwner), strPart))
        return FALSE;
    if (bCut && DeleteForward(*this)) {
        TextChanged(*this);
        if (m_bEditing)
            UpdateCaret(FALSE);
    }
    return TRUE;
}

BOOL CTextBlock::Paste()
{
    CString strClip;
    if (!ReadClipboardText(TextOwnerViewWindow(m_pOwner), strClip))
        return FALSE;
    const int nRoom = std::max(0, kMaxEditLength - (GetLength() - (GetSelEnd() - GetSelStart())));
    const CString strPaste = NormalisePasted(strClip, nRoom);
    if (strPaste.IsEmpty() && !HasSelection())
        return FALSE;
    ReplaceSel(strPaste);
    TextChanged(*this);
    if (m_bEditing)
        UpdateCaret(FALSE);
    return TRUE;
}
