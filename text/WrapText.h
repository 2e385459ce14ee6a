#pragma once
// CWrapText and CWrapData: the word-wrapped rich text of a drawing object
// (text mode 0). The object owns its CWrapText, which owns one CWrapData
// holding the characters, the colour and font runs, the layout settings and
// the line table that the layout fills.
//
// The text never holds CR or tab: every way in normalises them (tabs become
// spaces, CR LF, LF CR and lone CR become LF). Positions are 16-bit in runs
// and selections, so a text holds at most kWrapMaxLength characters;
// kWrapTextEnd in a run stands for the end of the text.
//
// Runs (WrapTextRuns.h) cover inclusive ranges. Each list holds its specific
// runs in ascending order, never overlapping, then the default run
// (0..kWrapTextEnd); the value at a position is that of the first run that
// covers it. Font runs share font records, counted by reference.
//
// Layout (WrapLayout.cpp) breaks the text into lines of segments that fit
// the layout rectangle, in the pixels of the owner's zoom on the screen, or
// of the printer at zoom 100 on a printing DC.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDC;
class CDrawObj;
struct WrapColorRun;
struct WrapFontRun;
struct WrapFontRecord;
struct WrapLineTable;

// The position that stands for the end of the text in runs, and the
// selection start that means "no selection".
constexpr WORD kWrapTextEnd = 65000;
constexpr WORD kWrapNoSelection = 65535;
// The most characters a wrapped text holds: every position stays below the
// end mark.
constexpr int kWrapMaxLength = 64999;

// Style bits of a font run.
#define WRAP_STYLE_BOLD 0x0001
#define WRAP_STYLE_ITALIC 0x0002
#define WRAP_STYLE_UNDERLINE 0x0004
#define WRAP_STYLE_STRIKEOUT 0x0008

class CWrapData : public CObject {
    DECLARE_SERIAL(CWrapData)
public:
    CWrapData();
    ~CWrapData() override;
    CWrapData(const CWrapData&) = delete;
    CWrapData& operator=(const CWrapData&) = delete;

    // The layout settings (38 bytes), always stored; loaded only from
    // designs of version 25 on (DesignArchive.h), older ones keep the
    // defaults. A stored line spacing that is not finite or lies outside
    // 0.1..10 reads as 1.0.
    void Serialize(CArchive& ar) override;

    CString m_strText;
    CRect m_rectLayout{0, 0, 1, 1}; // the pixels of the layout (see above)
    WrapColorRun* m_pColorRuns = nullptr;     // owned list; null: no run at all
    WrapFontRun* m_pFontRuns = nullptr;       // owned list; null: no run at all
    WrapFontRun* m_pDefaultFontRun = nullptr; // the list's 0..kWrapTextEnd run
    int m_nLineCount = 0;
    WrapLineTable* m_pLines = nullptr;        // owned; null until a layout
    BOOL m_bWordWrap = TRUE;
    BOOL m_bHyphenate = FALSE;
    WORD m_wSelStart = kWrapNoSelection;
    WORD m_wSelEnd = 0;
    BOOL m_bLayoutStale = TRUE;
    WORD m_wJustification = 0; // 0 left, 1 right, 2 centre, 3 full
    double m_dLineSpacing = 1.0;
    COLORREF m_crBackground = 0; // draws selected characters
    CDrawObj* m_pOwner = nullptr; // not owned
};

// What GetCaretPos answers.
struct WrapCaret {
    int x = 0;
    int y = 0;
    int nHeight = 24;
    int nCharWidth = 1;
    int nBaselineShift = 0;
};

class CWrapText : public CObject {
    DECLARE_SERIAL(CWrapText)
public:
    explicit CWrapText(CDrawObj* pOwner = nullptr);
    ~CWrapText() override;
    CWrapText(const CWrapText&) = delete;
    CWrapText& operator=(const CWrapText&) = delete;

    // Takes the text, runs and settings of another (the owner stays): what a
    // clone of the object carries.
    void CopyFrom(const CWrapText& other);
    CDrawObj* GetOwner() const { return m_pData->m_pOwner; }

    // ---- Text (WrapText.cpp) -------------------------------------------------------------
    // Replaces the whole text, cut to kWrapMaxLength; the specific runs go,
    // the default runs stay.
    void SetText(const CString& strText);
    CString GetText() const;
    int GetLength() const;
    // The character, or a space at or past the end.
    char CharAt(int nPosition) const;
    // Inserts normalised text: -1 or a position at or past the end appends.
    // Runs grow as the character at the position's run does. FALSE (and a
    // beep, nothing inserted) when the text would pass kWrapMaxLength.
    BOOL InsertText(const CString& strText, int nPosition);
    BOOL InsertChar(char ch, int nPosition);
    // Removes first..last inclusive (negative last: the end; negative
    // first: 0). Removing everything keeps the first character's font and
    // colour as the defaults.
    void DeleteRange(int nFirst, int nLast);
    // Replaces first..last (inclusive) by the text; an empty range (last
    // below first) only inserts. Answers the position after the inserted
    // characters; -1 when the insertion was refused.
    int ReplaceText(const CString& strText, int nFirst, int nLast);

    // ---- Runs (WrapText.cpp) -------------------------------------------------------------
    // start 0 with end kWrapTextEnd sets the default colour (or font).
    void SetColor(COLORREF crColor, int nStart, int nEnd);
    void SetDefaultFont(LPCTSTR lpszFace, int nSize, int nCharSet, int nStyle);
    void AddFontRun(LPCTSTR lpszFace, int nSize, int nStart, int nEnd, int nCharSet, int nStyle);
    // Inside first..last every character takes the face (empty: its own)
    // and size (0: its own) and has its style bits toggled by the mask.
    void SetFontRange(int nFirst, int nLast, LPCTSTR lpszFace, int nSize, int nStyleMask);
    // The font at a position (-1: the default font): face, size in points,
    // character set and style bits; "Arial", 24, 0, 0 without any font.
    void GetFontAt(int nPosition, CString& strFace, int& nSize, int& nCharSet, int& nStyle) const;
    // The colour at a position; with bMarkSelection, (COLORREF)-1 inside the
    // selection.
    COLORREF GetColorAt(int nPosition, BOOL bMarkSelection) const;
    // The run string of the design file. Reading is bounded: a malformed
    // group ends it with the runs read so far, a bad run is skipped. An
    // empty string changes nothing; runs add to those already held.
    CString GetFormatString() const;
    void SetFormatString(const CString& strFormat);
    // The run string of a new text ("[(c,0,65000)][(Arial,1,0,24,0,65000)]").
    static CString DefaultFormatString();
    // The font record of a position (-1: the default run's); null when no
    // run covers it. Layout and drawing select its font.
    WrapFontRecord* GetFontRecordAt(int nPosition) const;
    // Gives every font record a new font: on a printing DC (preview
    // included) at its LOGPIXELSY and zoom 100, else at the screen's
    // LOGPIXELSY and the owner's zoom. A font that cannot be made keeps its
    // record and draws with the stock default font.
    void RefreshFonts(CDC* pDC);

    // ---- Settings and selection (WrapText.cpp) -------------------------------------------
    double GetScale() const;
    void SetScale(double dScale);
    WORD GetJustification() const;
    void SetJustification(WORD wJustification);
    BOOL GetWordWrap() const;
    void SetWordWrap(BOOL bWordWrap);
    BOOL GetHyphenate() const;
    void SetHyphenate(BOOL bHyphenate);
    // The layout rectangle becomes 0, 0, width, height.
    void SetSize(int nWidth, int nHeight);
    BOOL NeedsLayout(int nWidth, int nHeight) const;
    // 16-bit positions; a start of 65535 means no selection. Equal values
    // clear it. Making a selection hides the caret of an editor open on the
    // owner; clearing it shows the caret again.
    void GetSel(WORD& wStart, WORD& wEnd) const;
    void SetSel(WORD wStart, WORD wEnd);
    BOOL HasSel() const;
    void ClearSel();
    void SetBackgroundColor(COLORREF cr);

    // ---- Layout and drawing (WrapLayout.cpp) ---------------------------------------------
    // Rebuilds the line table, measuring with the DC.
    void Layout(CDC* pDC);
    // Lays out (in rect's size) and draws from line nFirstLine into rect;
    // nAngle is the owner's rotation in degrees. The mirror flags mean
    // "shows mirrored"; on a printer DC a rectangle handed over reversed
    // (left > right, top > bottom) mirrors as well. Turned or mirrored text
    // is drawn as glyph outlines unless an editor works on it.
    void Draw(CDC* pDC, const CRect& rect, int nAngle, BOOL bMirrorX, BOOL bMirrorY);
    void Draw(CDC* pDC, const CRect& rect, int nFirstLine, int nAngle, BOOL bMirrorX, BOOL bMirrorY);
    // The laid-out extent: the widest line and the bottom of the last one.
    CSize CalcSize(CDC* pDC);
    int GetLineCount() const;
    int GetLineTop(int nLine) const;
    int LineOfChar(int nPosition) const;
    int GetLineStart(int nLine) const;
    int GetLineEnd(int nLine) const;
    // The line's width; pnSegments receives its number of segments.
    int GetLineWidth(int nLine, int* pnSegments = nullptr) const;
    WrapCaret GetCaretPos(int nPosition) const;
    int CharFromPoint(int x, int y) const;
    virtual BOOL IsBreakChar(char ch) const;

    // ---- Stored form (WrapText.cpp) ------------------------------------------------------
    // The data's settings, then the text and the run string as archive
    // strings. Loading sets the text and then the runs read, which replace
    // the text's own. A record that ends early, or a text longer than
    // kWrapMaxLength, raises CArchiveException.
    void Serialize(CArchive& ar) override;

    CWrapData* GetData() const { return m_pData; }

    BOOL m_bEditing = FALSE; // an editor works on the text: plain text output

private:
    CWrapData* m_pData; // owned
};
