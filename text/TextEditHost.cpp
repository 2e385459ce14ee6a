// The in-place editor of wrapped text: the framed host window and the editor
// child that lays the text out, draws it, keeps the caret and turns keys,
// characters and the mouse into changes of the text.

#include "text/TextEditHost.h"

#include "platform/base/GlobalMemory.h"
#include "platform/ui/ClipboardText.h"
#include "text/TextOwner.h"
#include "text/WrapText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The editor child's id inside the host, and the host's frame around it.
constexpr UINT kEditorId = 100;
constexpr int kFrameInset = 6;
// A press must move further than this, each way, before it drags a selection.
constexpr int kDragThreshold = 3;
// Up and Down look this far beyond the caret's line.
constexpr int kLineProbe = 4;
// The caret stands this much lower than the character cell it marks.
constexpr int kCaretDrop = 2;

// Both windows share one class: double clicks, full redraw on resize, and
// the I-beam over the text. Asked for each time, as the class may have been
// unregistered since.
LPCTSTR EditorClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(NULL, IDC_IBEAM), NULL, NULL);
}

// Editors that exist, so that a text can find the one open on its owner.
std::vector<CTextEditWnd*>& OpenEditors()
{
    static std::vector<CTextEditWnd*> s_editors;
    return s_editors;
}

bool KeyHeld(int nVirtKey)
{
    return ::GetKeyState(nVirtKey) < 0;
}

// The length the text has once InsertText has folded its line ends and tabs:
// CR LF and LF CR count once.
int NormalisedLength(const CString& str)
{
    const int n = str.GetLength();
    int nLength = 0;
    for (int i = 0; i < n; ++i) {
        const char ch = str[i];
        if ((ch == '\r' || ch == '\n') && i + 1 < n) {
            const char next = str[i + 1];
            if ((ch == '\r' && next == '\n') || (ch == '\n' && next == '\r'))
                ++i;
        }
        ++nLength;
    }
    return nLength;
}

// Keys whose press types a visible character on their own: letters,
// digits, signs, the space bar and the keypad's digits and signs.
bool KeyTypesPrintable(UINT nVirtKey)
{
    const UINT ch = ::MapVirtualKey(nVirtKey, MAPVK_VK_TO_CHAR);
    return ch >= 32 && ch != 127;
}

// Line breaks and the characters Windows-1252 can show; DEL and the five
// code points 1252 leaves undefined are never inserted.
bool IsTypedCharacter(UINT ch)
{
    if (ch == '\n')
        return true;
    if (ch < 32 || ch > 255 || ch == 127)
        return false;
    return ch != 0x81 && ch != 0x8D && ch != 0x8F && ch != 0x90 && ch != 0x9D;
}

} // namespace

// The editing state of one editor window.
struct TextEditState {
    CWrapText* pText = nullptr;
    BOOL bOwnsText = FALSE;
    BOOL bDragging = FALSE;
    WORD wAnchor = 0;          // the fixed end of a keyboard or mouse selection
    CPoint ptPress{0, 0};      // client point of the last left press
    BOOL bButtonDown = FALSE;  // the left button went down inside the window
    HWND hWndPrevCapture = NULL;
    // The caret as last placed, in client coordinates.
    int nCaretX = 0;
    int nCaretY = 0;
    int nCaretWidth = 1;
    int nCaretHeight = 24;
    int nCaret = 0;            // the position before which the caret stands
    BOOL bColorPending = FALSE;
    COLORREF crCurrent = 0;
    int nFirstLine = 0;
    COLORREF crBackground = 0;
};

// ---- CTextEditWnd ------------------------------------------------------------------------------

CTextEditWnd::CTextEditWnd(CWrapText* pText, CDrawObj* pOwner) : m_pState(new TextEditState)
{
    TextEditState& s = *m_pState;
    s.bOwnsText = pText == nullptr;
    s.pText = pText != nullptr ? pText : new CWrapText(pOwner);
    s.pText->m_bEditing = TRUE;
    s.crBackground = TextOwnerBackground(s.pText->GetOwner());
    s.pText->SetBackgroundColor(s.crBackground);
    s.crCurrent = s.pText->GetColorAt(0, FALSE);
    OpenEditors().push_back(this);
}

CTextEditWnd::~CTextEditWnd()
{
    // The window goes while the state is still here to answer its last
    // messages (focus loss destroys the caret).
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
    auto& editors = OpenEditors();
    editors.erase(std::remove(editors.begin(), editors.end(), this), editors.end());
    m_pState->pText->m_bEditing = FALSE;
    if (m_pState->bOwnsText)
        delete m_pState->pText;
    delete m_pState;
    m_pState = nullptr;
}

BOOL CTextEditWnd::Create(const RECT& rect, DWORD dwStyle, CWnd* pParent, UINT nID)
{
    CWrapText* pText = m_pState->pText;
    pText->SetWordWrap(TRUE);
    if (!CreateEx(0, EditorClass(), "", dwStyle, rect, pParent, nID))
        return FALSE;
    pText->SetSize(std::max(0, int(rect.right - rect.left)), std::max(0, int(rect.bottom - rect.top)));
    return TRUE;
}

CWrapText* CTextEditWnd::GetText() const
{
    return m_pState != nullptr ? m_pState->pText : nullptr;
}

int CTextEditWnd::GetCaretIndex() const
{
    if (m_pState == nullptr)
        return 0;
    const CWrapText* pText = m_pState->pText;
    return pText->CharFromPoint(m_pState->nCaretX, m_pState->nCaretY + pText->GetLineTop(m_pState->nFirstLine));
}

int CTextEditWnd::GetCaretPosition() const
{
    return m_pState != nullptr ? m_pState->nCaret : 0;
}

int CTextEditWnd::GetFirstVisibleLine() const
{
    return m_pState != nullptr ? m_pState->nFirstLine : 0;
}

BOOL CTextEditWnd::IsColorPending() const
{
    return m_pState != nullptr && m_pState->bColorPending;
}

COLORREF CTextEditWnd::GetCurrentColor() const
{
    return m_pState != nullptr ? m_pState->crCurrent : 0;
}

// ---- Forwarders --------------------------------------------------------------------------------

void CTextEditWnd::InsertText(const CString& str, int nPosition)
{
    if (m_pState != nullptr)
        m_pState->pText->InsertText(str, nPosition);
}

CString CTextEditWnd::GetTextString() const
{
    return m_pState != nullptr ? m_pState->pText->GetText() : CString();
}

void CTextEditWnd::SetDefaultFont(LPCTSTR lpszFace, int nSize, int nCharSet, int nStyle)
{
    if (m_pState != nullptr)
        m_pState->pText->SetDefaultFont(lpszFace, nSize, nCharSet, nStyle);
}

void CTextEditWnd::SetDefaultColor(COLORREF cr)
{
    if (m_pState != nullptr)
        m_pState->pText->SetColor(cr, 0, kWrapTextEnd);
}

void CTextEditWnd::AddFontRun(LPCTSTR lpszFace, int nSize, int nStart, int nEnd, int nCharSet, int nStyle)
{
    if (m_pState != nullptr)
        m_pState->pText->AddFontRun(lpszFace, nSize, nStart, nEnd, nCharSet, nStyle);
}

void CTextEditWnd::SetColorRange(COLORREF cr, int nStart, int nEnd)
{
    if (m_pState != nullptr)
        m_pState->pText->SetColor(cr, nStart, nEnd);
}

void CTextEditWnd::SetSel(WORD wStart, WORD wEnd)
{
    if (m_pState != nullptr)
        m_pState->pText->SetSel(wStart, wEnd);
}

void CTextEditWnd::GetSel(WORD& wStart, WORD& wEnd) const
{
    wStart = kWrapNoSelection;
    wEnd = 0;
    if (m_pState != nullptr)
        m_pState->pText->GetSel(wStart, wEnd);
}

BOOL CTextEditWnd::HasSel() const
{
    return m_pState != nullptr && m_pState->pText->HasSel();
}

void CTextEditWnd::ClearSel()
{
    if (m_pState != nullptr)
        m_pState->pText->ClearSel();
}

// ---- Caret and layout --------------------------------------------------------------------------

namespace {

bool HasFocus(const CWnd* pWnd)
{
    return pWnd->m_hWnd != NULL && ::GetFocus() == pWnd->m_hWnd;
}

// The selection as a half-open range clamped to the text, or false.
bool SelectedRange(const CWrapText& text, int& nStart, int& nEnd)
{
    if (!text.HasSel())
        return false;
    WORD wStart = 0;
    WORD wEnd = 0;
    text.GetSel(wStart, wEnd);
    const int nLength = text.GetLength();
    nStart = std::min<int>(wStart, nLength);
    nEnd = std::min<int>(wEnd, nLength);
    if (nEnd < nStart)
        std::swap(nStart, nEnd);
    return nEnd > nStart;
}

// Caret geometry and hit testing read the line table: a text changed from
// outside since the last layout is laid out before they are asked.
void EnsureLaidOut(CTextEditWnd& editor)
{
    const CWrapText* pText = editor.GetText();
    if (pText != nullptr && pText->GetData()->m_bLayoutStale)
        editor.Relayout(nullptr);
}

} // namespace

void CTextEditWnd::Relayout(CDC* pDC)
{
    if (m_pState == nullptr)
        return;
    const bool bFocused = HasFocus(this);
    if (bFocused) {
        ::HideCaret(m_hWnd);
        ::DestroyCaret();
    }
    CWrapText* pText = m_pState->pText;
    if (pDC != nullptr) {
        pText->Layout(pDC);
    } else if (m_hWnd != NULL) {
        CClientDC dc(this);
        pText->Layout(&dc);
    } else {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        pText->Layout(&dc);
    }
    m_pState->nCaret = std::clamp(m_pState->nCaret, 0, pText->GetLength());
    m_pState->nFirstLine = std::clamp(m_pState->nFirstLine, 0, std::max(0, pText->GetLineCount() - 1));
    PlaceCaret(bFocused ? CaretAction::Create : CaretAction::Move);
}

void CTextEditWnd::PlaceCaret(CaretAction action)
{
    TextEditState& s = *m_pState;
    const WrapCaret caret = s.pText->GetCaretPos(s.nCaret);
    s.nCaretWidth = 1;
    s.nCaretHeight = std::max(1, caret.nHeight);
    s.nCaretX = caret.x;
    s.nCaretY = caret.y - s.pText->GetLineTop(s.nFirstLine) + kCaretDrop;
    if (!HasFocus(this))
        return;
    if (action == CaretAction::Create)
        ::CreateCaret(m_hWnd, NULL, s.nCaretWidth, s.nCaretHeight);
    ::SetCaretPos(s.nCaretX, s.nCaretY);
    // A selection hides the caret for as long as it lasts.
    if (action == CaretAction::Create && !s.pText->HasSel())
        ::ShowCaret(m_hWnd);
}

// Scrolls so that the caret's line shows: up to it when it lies above the
// first visible line, down while its bottom reaches a client height below
// the first visible line's top. TRUE when the first visible line changed.
BOOL CTextEditWnd::ScrollToCaret()
{
    TextEditState& s = *m_pState;
    const CWrapText& text = *s.pText;
    const int nBefore = s.nFirstLine;
    const int nLine = text.LineOfChar(s.nCaret);
    if (nLine < s.nFirstLine) {
        s.nFirstLine = nLine;
    } else if (m_hWnd != NULL) {
        CRect rcClient;
        GetClientRect(&rcClient);
        const WrapCaret caret = text.GetCaretPos(s.nCaret);
        const int nBottom = caret.y + caret.nHeight;
        while (s.nFirstLine < nLine && nBottom - text.GetLineTop(s.nFirstLine) >= rcClient.Height())
            ++s.nFirstLine;
    }
    return s.nFirstLine != nBefore;
}

// ---- Commands ----------------------------------------------------------------------------------

BOOL CTextEditWnd::Copy(BOOL bCut)
{
    if (m_pState == nullptr)
        return FALSE;
    CWrapText& text = *m_pState->pText;
    int nStart = 0;
    int nEnd = 0;
    // Without a selection the clipboard keeps what the user had put there.
    if (!SelectedRange(text, nStart, nEnd))
        return FALSE;
    if (!::OpenClipboard(m_hWnd))
        return FALSE;
    ::EmptyClipboard();
    const CString strPart = text.GetText().Mid(nStart, nEnd - nStart);
    BOOL bPlaced = FALSE;
    const SIZE_T nBytes = SIZE_T(strPart.GetLength()) + 1;
    if (HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, nBytes)) {
        if (void* p = ::GlobalLock(hMem)) {
            std::memcpy(p, static_cast<LPCTSTR>(strPart), nBytes);
            ::GlobalUnlock(hMem);
            bPlaced = ::SetClipboardData(CF_TEXT, hMem) != NULL;
        }
        if (!bPlaced)
            ::GlobalFree(hMem);
    }
    ::CloseClipboard();
    if (bCut && bPlaced) {
        text.ClearSel();
        m_pState->nCaret = nStart;
        text.DeleteRange(nStart, nEnd - 1);
        Redraw();
    }
    return bPlaced;
}

BOOL CTextEditWnd::Paste()
{
    if (m_pState == nullptr)
        return FALSE;
    CString strPaste;
    if (!ReadClipboardText(m_hWnd, strPaste) || strPaste.IsEmpty())
        return FALSE;
    CWrapText& text = *m_pState->pText;
    int nStart = m_pState->nCaret;
    int nEnd = nStart;
    const bool bSelection = SelectedRange(text, nStart, nEnd);
    // A paste that cannot go in whole leaves the selection where it was.
    if (text.GetLength() - (nEnd - nStart) + NormalisedLength(strPaste) > kWrapMaxLength) {
        ::MessageBeep(MB_OK);
        return FALSE;
    }
    if (bSelection) {
        text.ClearSel();
        text.DeleteRange(nStart, nEnd - 1);
        m_pState->nCaret = nStart;
    }
    const int nCaret = std::clamp(m_pState->nCaret, 0, text.GetLength());
    const int nBefore = text.GetLength();
    if (!text.InsertText(strPaste, nCaret)) {
        Redraw();
        return FALSE;
    }
    m_pState->nCaret = nCaret + (text.GetLength() - nBefore);
    Relayout(nullptr);
    ScrollToCaret();
    PlaceCaret(CaretAction::Move);
    Invalidate(FALSE);
    return TRUE;
}

void CTextEditWnd::SetCaretPosition(int nPosition)
{
    if (m_pState == nullptr)
        return;
    CWrapText& text = *m_pState->pText;
    text.ClearSel();
    m_pState->nCaret = std::clamp(nPosition, 0, text.GetLength());
    m_pState->wAnchor = WORD(m_pState->nCaret);
    Relayout(nullptr);
    ScrollToCaret();
    PlaceCaret(CaretAction::Move);
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CTextEditWnd::SelectAll()
{
    if (m_pState == nullptr)
        return;
    CWrapText& text = *m_pState->pText;
    const int nLength = text.GetLength();
    m_pState->wAnchor = 0;
    m_pState->nCaret = nLength;
    text.SetSel(0, WORD(nLength));
    Relayout(nullptr);
    ScrollToCaret();
    PlaceCaret(CaretAction::Move);
    Invalidate(FALSE);
}

BOOL CTextEditWnd::DeleteSelection()
{
    if (m_pState == nullptr)
        return FALSE;
    CWrapText& text = *m_pState->pText;
    int nStart = 0;
    int nEnd = 0;
    if (!SelectedRange(text, nStart, nEnd)) {
        text.ClearSel();
        return FALSE;
    }
    text.ClearSel();
    m_pState->nCaret = nStart;
    text.DeleteRange(nStart, nEnd - 1);
    Redraw();
    return TRUE;
}

void CTextEditWnd::SetSelColor(COLORREF cr)
{
    if (m_pState == nullptr)
        return;
    m_pState->crCurrent = cr;
    m_pState->bColorPending = TRUE;
    int nStart = 0;
    int nEnd = 0;
    if (SelectedRange(*m_pState->pText, nStart, nEnd))
        m_pState->pText->SetColor(cr, nStart, nEnd - 1);
    Redraw();
}

void CTextEditWnd::Redraw()
{
    Relayout(nullptr);
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

// ---- Keys --------------------------------------------------------------------------------------

namespace {

// Where Ctrl+Left lands: back over break characters, then to the first
// character of the word before them.
int WordStartBefore(const CWrapText& text, int nPosition)
{
    while (nPosition > 0 && text.IsBreakChar(text.CharAt(nPosition)))
        --nPosition;
    while (nPosition > 0 && !text.IsBreakChar(text.CharAt(nPosition - 1)))
        --nPosition;
    return nPosition;
}

// Where Ctrl+Right lands: forward over break characters, then over the word
// after them.
int WordEndAfter(const CWrapText& text, int nPosition)
{
    const int nLength = text.GetLength();
    while (nPosition < nLength && text.IsBreakChar(text.CharAt(nPosition)))
        ++nPosition;
    while (nPosition < nLength && !text.IsBreakChar(text.CharAt(nPosition)))
        ++nPosition;
    return nPosition;
}

} // namespace

void CTextEditWnd::HandleKey(UINT nVirtKey)
{
    TextEditState& s = *m_pState;
    CWrapText& text = *s.pText;
    const bool bShift = KeyHeld(VK_SHIFT);
    const bool bControl = KeyHeld(VK_CONTROL);
    const int nLength = text.GetLength();
    const int nOld = std::clamp(s.nCaret, 0, nLength);
    int nSelStart = 0;
    int nSelEnd = 0;
    const bool bSelection = SelectedRange(text, nSelStart, nSelEnd);

    if (nVirtKey == VK_BACK || nVirtKey == VK_DELETE) {
        bool bChanged = false;
        if (bSelection) {
            text.ClearSel();
            s.nCaret = nSelStart;
            text.DeleteRange(nSelStart, nSelEnd - 1);
            bChanged = true;
        } else if (nVirtKey == VK_BACK && nOld > 0) {
            text.DeleteRange(nOld - 1, nOld - 1);
            s.nCaret = nOld - 1;
            bChanged = true;
        } else if (nVirtKey == VK_DELETE && nOld < nLength) {
            text.DeleteRange(nOld, nOld);
            bChanged = true;
        }
        if (bChanged) {
            Relayout(nullptr);
            ScrollToCaret();
            PlaceCaret(CaretAction::Move);
            Invalidate(FALSE);
        }
        return;
    }

    EnsureLaidOut(*this);
    CRect rcClient(0, 0, 0, 0);
    if (m_hWnd != NULL)
        GetClientRect(&rcClient);
    const WrapCaret caret = text.GetCaretPos(nOld);
    const bool bFirstLine = text.LineOfChar(nOld) == 0;
    int nNew = nOld;
    switch (nVirtKey) {
    case VK_LEFT:
        if (!bShift && bSelection) {
            nNew = nSelStart;
        } else {
            nNew = std::max(0, nOld - 1);
            if (bControl)
                nNew = WordStartBefore(text, nNew);
        }
        break;
    case VK_RIGHT:
        if (!bShift && bSelection) {
            nNew = nSelEnd;
        } else {
            nNew = std::min(nLength, nOld + 1);
            if (bControl)
                nNew = WordEndAfter(text, nNew);
        }
        break;
    case VK_UP:
        if (!bFirstLine)
            nNew = text.CharFromPoint(caret.x, caret.y - kLineProbe);
        break;
    case VK_PRIOR:
        if (!bFirstLine)
            nNew = text.CharFromPoint(caret.x, caret.y - kLineProbe - rcClient.Height());
        break;
    case VK_DOWN:
        nNew = DownFrom(caret.x, caret.y + caret.nHeight + kLineProbe, nOld);
        break;
    case VK_NEXT:
        nNew = DownFrom(caret.x, caret.y + rcClient.Height() + kLineProbe, nOld);
        break;
    case VK_HOME:
        nNew = bControl ? 0 : text.GetLineStart(text.LineOfChar(nOld));
        break;
    case VK_END:
        nNew = bControl ? nLength : text.GetLineEnd(text.LineOfChar(nOld));
        break;
    default:
        return; // the character itself comes as WM_CHAR
    }
    nNew = std::clamp(nNew, 0, nLength);

    if (nLength > 0)
        s.bColorPending = FALSE;
    const int nFirstBefore = s.nFirstLine;
    const bool bSelectionChanged = ExtendSelection(nOld, nNew, bShift);
    s.nCaret = nNew;
    if (bSelectionChanged)
        Relayout(nullptr);
    ScrollToCaret();
    PlaceCaret(CaretAction::Move);
    if (bSelectionChanged || s.nFirstLine != nFirstBefore)
        Invalidate(FALSE);
}

// The position below the caret, for Down and Page Down. Below the last line
// the caret stays where it is rather than falling to the text's start.
int CTextEditWnd::DownFrom(int x, int y, int nOld) const
{
    const CWrapText& text = *m_pState->pText;
    const int nLines = text.GetLineCount();
    if (nLines == 0)
        return nOld;
    if (y >= text.GetLineTop(nLines))
        return text.LineOfChar(nOld) >= nLines - 1 ? nOld : text.CharFromPoint(x, text.GetLineTop(nLines - 1) + 1);
    return text.CharFromPoint(x, y);
}

// With Shift a move stretches the selection from the anchor; without, it
// drops any selection. TRUE when the selection changed.
bool CTextEditWnd::ExtendSelection(int nOld, int nNew, bool bShift)
{
    TextEditState& s = *m_pState;
    CWrapText& text = *s.pText;
    WORD wStart = 0;
    WORD wEnd = 0;
    text.GetSel(wStart, wEnd);
    const bool bHad = text.HasSel();
    if (!bShift) {
        if (bHad)
            text.ClearSel();
        return bHad;
    }
    // A selection made from outside leaves no anchor of its own: its end
    // away from the caret stays fixed.
    if (!bHad)
        s.wAnchor = WORD(nOld);
    else if (s.wAnchor != wStart && s.wAnchor != wEnd)
        s.wAnchor = nOld == wStart ? wEnd : wStart;
    const int nAnchor = s.wAnchor;
    text.SetSel(WORD(std::min(nAnchor, nNew)), WORD(std::max(nAnchor, nNew)));
    WORD wStartAfter = 0;
    WORD wEndAfter = 0;
    text.GetSel(wStartAfter, wEndAfter);
    return wStartAfter != wStart || wEndAfter != wEnd || bHad != bool(text.HasSel());
}

// ---- Characters --------------------------------------------------------------------------------

void CTextEditWnd::HandleChar(UINT ch)
{
    TextEditState& s = *m_pState;
    CWrapText& text = *s.pText;
    if (ch == '\r')
        ch = '\n';
    if (ch == 27) {
        if (text.HasSel()) {
            text.ClearSel();
            Redraw();
        }
        return;
    }
    if (!IsTypedCharacter(ch))
        return;

    int nSelStart = 0;
    int nSelEnd = 0;
    const bool bSelection = SelectedRange(text, nSelStart, nSelEnd);
    if (text.GetLength() - (nSelEnd - nSelStart) + 1 > kWrapMaxLength) {
        ::MessageBeep(MB_OK);
        return;
    }
    // The new character looks like the first selected one, or like the one
    // before the caret; a colour the user chose wins.
    const int nCaret = std::clamp(s.nCaret, 0, text.GetLength());
    const int nModel = bSelection ? nSelStart : std::max(0, nCaret - 1);
    CString strFace;
    int nSize = 0;
    int nCharSet = 0;
    int nStyle = 0;
    text.GetFontAt(nModel, strFace, nSize, nCharSet, nStyle);
    const COLORREF crColor = s.bColorPending ? s.crCurrent : text.GetColorAt(nModel, FALSE);

    if (bSelection) {
        text.ClearSel();
        text.DeleteRange(nSelStart, nSelEnd - 1);
        s.nCaret = nSelStart;
    }
    s.nCaret = std::clamp(s.nCaret, 0, text.GetLength());
    if (text.GetLength() == 0 && s.bColorPending)
        text.SetColor(s.crCurrent, 0, kWrapTextEnd);
    const int nAt = s.nCaret;
    if (!text.InsertChar(char(BYTE(ch)), nAt)) {
        Redraw();
        return;
    }
    text.AddFontRun(strFace, nSize, nAt, nAt, nCharSet, nStyle);
    text.SetColor(crColor, nAt, nAt);
    Relayout(nullptr);
    s.nCaret = nAt + 1;
    ScrollToCaret();
    PlaceCaret(CaretAction::Move);
    Invalidate(FALSE);
}

// ---- Mouse -------------------------------------------------------------------------------------

int CTextEditWnd::CharAtClientPoint(CPoint point)
{
    EnsureLaidOut(*this);
    const CWrapText& text = *m_pState->pText;
    return std::clamp(text.CharFromPoint(point.x, point.y + text.GetLineTop(m_pState->nFirstLine)), 0, text.GetLength());
}

void CTextEditWnd::HandleLeftDown(CPoint point)
{
    TextEditState& s = *m_pState;
    s.nCaret = CharAtClientPoint(point);
    s.ptPress = point;
    s.bButtonDown = TRUE;
    if (!HasFocus(this))
        SetFocus(); // places and shows the caret
    if (s.pText->HasSel()) {
        s.pText->ClearSel();
        Redraw();
    } else {
        PlaceCaret(CaretAction::Move);
    }
}

void CTextEditWnd::HandleMouseMove(CPoint point)
{
    TextEditState& s = *m_pState;
    CRect rcClient;
    GetClientRect(&rcClient);
    if (!rcClient.PtInRect(point) || !s.bButtonDown)
        return;
    CWrapText& text = *s.pText;
    if (!s.bDragging) {
        if (std::abs(point.x - s.ptPress.x) <= kDragThreshold && std::abs(point.y - s.ptPress.y) <= kDragThreshold)
            return;
        s.bDragging = TRUE;
        text.SetSel(WORD(s.nCaret), WORD(s.nCaret));
        s.wAnchor = WORD(std::clamp(s.nCaret, 0, text.GetLength()));
        s.hWndPrevCapture = ::SetCapture(m_hWnd);
    }
    WORD wStart = 0;
    WORD wEnd = 0;
    text.GetSel(wStart, wEnd);
    const int p = CharAtClientPoint(point);
    const int nAnchor = s.wAnchor;
    // The character under the point is taken in, but never past the end.
    if (p < nAnchor)
        text.SetSel(WORD(p), WORD(nAnchor));
    else
        text.SetSel(WORD(nAnchor), WORD(std::min(p + 1, text.GetLength())));
    WORD wStartAfter = 0;
    WORD wEndAfter = 0;
    text.GetSel(wStartAfter, wEndAfter);
    if (wStartAfter != wStart || wEndAfter != wEnd)
        Redraw();
}

void CTextEditWnd::HandleLeftUp()
{
    TextEditState& s = *m_pState;
    const BOOL bDragged = s.bDragging;
    s.bDragging = FALSE;
    s.bButtonDown = FALSE;
    if (!bDragged || ::GetCapture() != m_hWnd)
        return;
    ::ReleaseCapture();
    const HWND hWndPrev = s.hWndPrevCapture;
    s.hWndPrevCapture = NULL;
    if (hWndPrev != NULL && hWndPrev != m_hWnd && ::IsWindow(hWndPrev))
        ::SetCapture(hWndPrev);
}

void CTextEditWnd::HandleDoubleClick(CPoint point)
{
    TextEditState& s = *m_pState;
    CWrapText& text = *s.pText;
    text.ClearSel();
    const int nLength = text.GetLength();
    const int p = CharAtClientPoint(point);
    auto isWord = [&](int i) { return i >= 0 && i < nLength && !text.IsBreakChar(text.CharAt(i)); };
    int nStart = p;
    int nEnd = p;
    if (isWord(p)) {
        while (isWord(nStart - 1))
            --nStart;
        while (isWord(nEnd))
            ++nEnd;
    } else if (isWord(p - 1)) {
        // On a break character or at the end: the word that ends here...
        while (isWord(nStart - 1))
            --nStart;
    } else if (isWord(p + 1)) {
        // ...or else the one that starts right after.
        nStart = nEnd = p + 1;
        while (isWord(nEnd))
            ++nEnd;
    }
    if (nEnd > nStart) {
        s.wAnchor = WORD(nStart);
        text.SetSel(WORD(nStart), WORD(nEnd));
    }
    Redraw();
}

// ---- Messages ----------------------------------------------------------------------------------

BOOL CTextEditWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_pState == nullptr || pMsg->hwnd != m_hWnd)
        return CWnd::PreTranslateMessage(pMsg);
    const bool bControl = KeyHeld(VK_CONTROL);
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_CHAR) && bControl
        && (pMsg->wParam == 'A' || pMsg->wParam == 'a')) {
        SelectAll();
        return TRUE;
    }
    if (pMsg->message == WM_KEYDOWN) {
        // The design window's single-key commands (Plus, Minus, "=" and
        // Delete) would take these keys before the text sees them; the
        // editor answers them itself. A key that types a character is
        // translated first so that its WM_CHAR follows.
        const UINT nVirtKey = UINT(pMsg->wParam);
        if (nVirtKey == VK_DELETE) {
            SendMessage(WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
        if (!bControl && !KeyHeld(VK_MENU) && KeyTypesPrintable(nVirtKey)) {
            ::TranslateMessage(pMsg);
            SendMessage(WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

LRESULT CTextEditWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pState == nullptr)
        return CWnd::WindowProc(message, wParam, lParam);
    TextEditState& s = *m_pState;
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        const bool bFocused = HasFocus(this);
        if (bFocused)
            ::HideCaret(m_hWnd);
        CRect rcClient;
        GetClientRect(&rcClient);
        dc.FillSolidRect(&rcClient, s.crBackground);
        s.pText->Draw(&dc, rcClient, s.nFirstLine, 0, FALSE, FALSE);
        if (bFocused) {
            // The drawing laid the text out as it is now: a format changed
            // from outside the editor (the format panel, a command) may have
            // given the caret's line another height, which the caret takes.
            const WrapCaret caret = s.pText->GetCaretPos(std::clamp(s.nCaret, 0, s.pText->GetLength()));
            if (std::max(1, caret.nHeight) != s.nCaretHeight) {
                ::DestroyCaret();
                PlaceCaret(CaretAction::Create);
            } else {
                ::ShowCaret(m_hWnd);
            }
        }
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE; // painting fills the whole client area
    case WM_SIZE:
        s.pText->SetSize(LOWORD(lParam), HIWORD(lParam));
        Relayout(nullptr);
        return 0;
    case WM_SETFOCUS:
        // The text may have changed its look while another window had the
        // focus: the caret is made for the text as it is now.
        EnsureLaidOut(*this);
        PlaceCaret(CaretAction::Create);
        return 0;
    case WM_KILLFOCUS:
        ::HideCaret(m_hWnd);
        ::DestroyCaret();
        return 0;
    case WM_KEYDOWN:
        HandleKey(UINT(wParam));
        return 0;
    case WM_CHAR:
        HandleChar(UINT(wParam) & 0xFF);
        return 0;
    case WM_LBUTTONDOWN:
        HandleLeftDown(point);
        return 0;
    case WM_MOUSEMOVE:
        HandleMouseMove(point);
        return 0;
    case WM_LBUTTONUP:
        HandleLeftUp();
        return 0;
    case WM_LBUTTONDBLCLK:
        HandleDoubleClick(point);
        return 0;
    case WM_CAPTURECHANGED:
        if (HWND(lParam) != m_hWnd)
            s.bDragging = FALSE;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- CTextEditHost -----------------------------------------------------------------------------

CTextEditHost::CTextEditHost(CWrapText* pText, CDrawObj* pOwner) : m_editor(pText, pOwner) {}

CTextEditHost::~CTextEditHost()
{
    // Host and editor windows go while both objects can still answer.
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CTextEditHost::Create(const RECT& rect, CWnd* pParent)
{
    const DWORD dwStyle = (pParent != nullptr ? WS_CHILD : WS_POPUP) | WS_BORDER | WS_VISIBLE | WS_CLIPSIBLINGS;
    return CreateEx(0, EditorClass(), "", dwStyle, rect, pParent, 0);
}

BOOL CTextEditHost::Copy(BOOL bCut)
{
    return m_editor.Copy(bCut);
}

BOOL CTextEditHost::Paste()
{
    return m_editor.Paste();
}

void CTextEditHost::SelectAll()
{
    m_editor.SelectAll();
}

BOOL CTextEditHost::DeleteSelection()
{
    return m_editor.DeleteSelection();
}

BOOL CTextEditHost::HasSelection() const
{
    return m_editor.HasSel();
}

void CTextEditHost::SetSelColor(COLORREF crColor)
{
    m_editor.SetSelColor(crColor);
}

void CTextEditHost::Redraw(CDC* pDC)
{
    m_editor.Relayout(pDC);
    if (m_editor.m_hWnd != NULL)
        m_editor.Invalidate(FALSE);
}

namespace {

// The frame around the editor: black on the outer edge and 5 pixels in, a
// raised bevel inside the outer line and a sunken one outside the inner.
void DrawHostFrame(CDC& dc, const CRect& rc)
{
    const COLORREF crFace = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF crLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF crShadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF crBlack = RGB(0, 0, 0);
    dc.FillSolidRect(&rc, crFace);
    CRect rcOuter = rc;
    dc.Draw3dRect(&rcOuter, crBlack, crBlack);
    rcOuter.DeflateRect(1, 1);
    dc.Draw3dRect(&rcOuter, crLight, crShadow);
    CRect rcInner = rc;
    rcInner.DeflateRect(4, 4);
    dc.Draw3dRect(&rcInner, crShadow, crLight);
    rcInner.DeflateRect(1, 1);
    dc.Draw3dRect(&rcInner, crBlack, crBlack);
}

} // namespace

LRESULT CTextEditHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
        if (lResult == -1)
            return -1;
        ModifyStyle(0, WS_CLIPCHILDREN);
        CRect rc;
        GetClientRect(&rc);
        const CRect rcEditor(kFrameInset, kFrameInset, kFrameInset + std::max(0, rc.Width() - 2 * kFrameInset),
            kFrameInset + std::max(0, rc.Height() - 2 * kFrameInset));
        if (!m_editor.Create(rcEditor, WS_CHILD | WS_VISIBLE, this, kEditorId))
            return -1;
        return 0;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && m_editor.m_hWnd != NULL) {
            m_editor.SetWindowPos(nullptr, 0, 0, std::max(0, int(LOWORD(lParam)) - 2 * kFrameInset),
                std::max(0, int(HIWORD(lParam)) - 2 * kFrameInset), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_SETFOCUS:
        if (m_editor.m_hWnd != NULL)
            m_editor.SetFocus();
        return 0;
    case WM_ERASEBKGND: {
        CRect rc;
        GetClientRect(&rc);
        DrawHostFrame(*CDC::FromHandle(HDC(wParam)), rc);
        return TRUE;
    }
    case WM_PAINT: {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        DrawHostFrame(dc, rc);
        return 0;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- Lookup ------------------------------------------------------------------------------------

CTextEditWnd* FindTextEditor(const CDrawObj* pOwner)
{
    if (pOwner == nullptr)
        return nullptr;
    for (CTextEditWnd* pEditor : OpenEditors()) {
        const CWrapText* pText = pEditor->GetText();
        if (pText != nullptr && pText->GetOwner() == pOwner)
            return pEditor;
    }
    return nullptr;
}
