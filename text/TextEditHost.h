#pragma once
// The in-place editor of a drawing object's wrapped text. CTextEditHost is
// a small framed window over the object; its child CTextEditWnd shows the
// text word-wrapped and takes keys, characters and the mouse. Both work on
// the object's CWrapText directly. The object creates the host when editing
// begins and deletes it when editing ends.

#include "platform/framework/Afx.h"

class CDrawObj;
class CWrapText;
struct TextEditState;

class CTextEditWnd : public CWnd {
public:
    // Edits pText, or a new CWrapText of pOwner's when pText is null (the
    // editor then owns it). The text is marked as being edited while the
    // editor exists.
    CTextEditWnd(CWrapText* pText, CDrawObj* pOwner);
    ~CTextEditWnd() override;

    // Turns word wrap on, makes the window and sizes the layout to it.
    BOOL Create(const RECT& rect, DWORD dwStyle, CWnd* pParent, UINT nID);

    CWrapText* GetText() const;
    // The position under the caret's point.
    int GetCaretIndex() const;
    int GetCaretPosition() const; // the caret index as kept
    // Puts the caret before the character at nPosition (clamped to the
    // text) and clears the selection.
    void SetCaretPosition(int nPosition);
    int GetFirstVisibleLine() const;
    BOOL IsColorPending() const;
    COLORREF GetCurrentColor() const;

    // Forwarders to the text.
    void InsertText(const CString& str, int nPosition);
    CString GetTextString() const;
    void SetDefaultFont(LPCTSTR lpszFace, int nSize, int nCharSet, int nStyle);
    void SetDefaultColor(COLORREF cr);
    void AddFontRun(LPCTSTR lpszFace, int nSize, int nStart, int nEnd, int nCharSet, int nStyle);
    void SetColorRange(COLORREF cr, int nStart, int nEnd);
    void SetSel(WORD wStart, WORD wEnd);
    void GetSel(WORD& wStart, WORD& wEnd) const;
    BOOL HasSel() const;
    void ClearSel();

    // What the host's commands do.
    BOOL Copy(BOOL bCut);
    BOOL Paste();
    void SelectAll();
    BOOL DeleteSelection();
    void SetSelColor(COLORREF cr);
    // Lays out and places the caret (a client DC when pDC is null).
    void Relayout(CDC* pDC);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Create makes the system caret anew (after focus or a layout), Move
    // only puts it at the caret index's place.
    enum class CaretAction { Create, Move };
    void PlaceCaret(CaretAction action);
    BOOL ScrollToCaret();
    void Redraw();
    void HandleKey(UINT nVirtKey);
    void HandleChar(UINT ch);
    int DownFrom(int x, int y, int nOld) const;
    bool ExtendSelection(int nOld, int nNew, bool bShift);
    int CharAtClientPoint(CPoint point);
    void HandleLeftDown(CPoint point);
    void HandleMouseMove(CPoint point);
    void HandleLeftUp();
    void HandleDoubleClick(CPoint point);

    TextEditState* m_pState; // owned
};

class CTextEditHost : public CWnd {
public:
    CTextEditHost(CWrapText* pText, CDrawObj* pOwner);
    ~CTextEditHost() override;

    // A bordered child (or popup without a parent) over rect, the editor at
    // (6, 6) sized to the host less 12 each way.
    BOOL Create(const RECT& rect, CWnd* pParent);

    // Puts the selected characters on the clipboard as CF_TEXT (and with
    // bCut deletes them). Without a selection nothing happens and the
    // clipboard keeps what it held: FALSE.
    BOOL Copy(BOOL bCut);
    // Inserts the clipboard's CF_TEXT at the caret, replacing a selection.
    BOOL Paste();
    void SelectAll();
    BOOL DeleteSelection();
    BOOL HasSelection() const;
    // The colour of the next typed character and of the selected ones.
    void SetSelColor(COLORREF crColor);
    void Redraw(CDC* pDC = nullptr);

    CTextEditWnd& GetEditor() { return m_editor; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CTextEditWnd m_editor;
};

// The editor open on an object's text, if any: the text hides and shows
// its caret through it when a selection comes and goes.
CTextEditWnd* FindTextEditor(const CDrawObj* pOwner);
