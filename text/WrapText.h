#pragma once
// CWrapText and CWrapData: the word-wrapped rich text of a drawing object
// (text mode 0). The object owns its CWrapText, which owns one CWrapData
// holding the characters, the formatting runs and the layout settings.
//
// What is here is the plain state: the text (normalised: tabs become spaces,
// CR LF, LF CR and lone CR become LF), its length, line spacing,
// justification, word wrap and selection, and the run string, which is kept
// as the string it was given until the runs themselves exist (SetText
// keeps it: the runs are cut to a new text once they are real). Layout,
// drawing, per-range fonts and colours are not built yet: they answer
// neutrally (nothing drawn, empty size, the default font) and change
// nothing.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDC;
class CDrawObj;

// The position that stands for the end of the text in runs, and the
// selection start that means "no selection".
constexpr WORD kWrapTextEnd = 65000;
constexpr WORD kWrapNoSelection = 65535;

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

    // The layout settings (38 bytes), always stored; loaded only from
    // designs of version 25 on (DesignArchive.h), older ones keep the
    // defaults.
    void Serialize(CArchive& ar) override;

    CString m_strText;
    CRect m_rectLayout{0, 0, 1, 1}; // screen pixels at the current zoom
    // The colour and font runs in their stored string form; empty while the
    // text has only its default runs.
    CString m_strFormat;
    int m_nLineCount = 0;
    BOOL m_bWordWrap = TRUE;
    BOOL m_bHyphenate = FALSE;
    WORD m_wSelStart = kWrapNoSelection;
    WORD m_wSelEnd = 0;
    BOOL m_bLayoutStale = TRUE;
    WORD m_wJustification = 0; // 0 left, 1 right, 2 centre, 3 full
    double m_dLineSpacing = 1.0;
    COLORREF m_crBackground = 0;
    CDrawObj* m_pOwner = nullptr; // not owned
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

    // Replaces the whole text (normalised as above).
    void SetText(const CString& strText);
    CString GetText() const;
    int GetLength() const;
    // Inserts normalised text; -1 or a position at or past the end appends.
    void InsertText(const CString& strText, int nPosition);

    // The run string: what SetFormatString last stored, or the string of a
    // new text ("[(c,0,65000)][(Arial,1,0,24,0,65000)]" with c the
    // window-text colour). An empty string changes nothing.
    CString GetFormatString() const;
    void SetFormatString(const CString& strFormat);

    double GetScale() const;
    void SetScale(double dScale);
    WORD GetJustification() const;
    void SetJustification(WORD wJustification);
    BOOL GetWordWrap() const;
    void SetWordWrap(BOOL bWordWrap);
    // 16-bit positions; a start of 65535 means no selection.
    void GetSel(WORD& wStart, WORD& wEnd) const;
    void SetSel(WORD wStart, WORD wEnd);
    void ClearSel();

    // The font at a position (-1: the default font): face, size in points,
    // character set and style bits. Until runs exist every position has the
    // default font, Arial 24.
    void GetFontAt(int nPosition, CString& strFace, int& nSize, int& nCharSet, int& nStyle) const;
    // Per-range fonts and colours come with the runs: until then they change
    // nothing.
    void SetFontRange(int nFirst, int nLast, LPCTSTR lpszFace, int nSize, int nStyleMask);
    void SetColor(COLORREF crColor, int nStart, int nEnd);

    // The laid-out extent and drawing come with the layout: empty and
    // nothing until then.
    CSize CalcSize(CDC* pDC);
    void Draw(CDC* pDC, const CRect& rect);

    // The data's settings, then the text and the run string as archive
    // strings. Loading sets the text (normalised) and then the runs read,
    // which replace the text's own. A record that ends early raises
    // CArchiveException.
    void Serialize(CArchive& ar) override;

    CWrapData* GetData() const { return m_pData; }

    // The string of a new text's default runs.
    static CString DefaultFormatString();

    BOOL m_bEditing = FALSE;

private:
    static CString Normalize(const CString& strText);

    CWrapData* m_pData; // owned
};
