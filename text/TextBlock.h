#pragma once
// CTextBlock: the block (effect) text of a drawing object: one plain string
// in one font and one colour, laid into the object's frame in columns,
// rotated or bent into a warp shape. The object owns it through its
// CTextContentHolder; the block never owns its owner.
//
// What is here is the block's state and its plain setters. Layout, fitting,
// drawing and in-place editing are not built yet: CalcSize answers an empty
// size, Draw draws nothing and the input handlers answer "not handled", so
// callers behave as for an empty block until then.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDC;
class CDrawObj;
class CSurface;

// Bits of CTextBlock::m_wFlags.
#define TEXTBLOCK_AUTO_SIZE 0x0001      // the font size is chosen to fit the frame
#define TEXTBLOCK_RENDER_STALE 0x0002   // the cached rendering must be rebuilt
#define TEXTBLOCK_LAYOUT_STALE 0x0004   // the layout must be redone
#define TEXTBLOCK_MERGE_FIELDS 0x0008   // the text holds a mail-merge field
#define TEXTBLOCK_KEEP_PROPORTION 0x0010
#define TEXTBLOCK_UTF16 0x0020
#define TEXTBLOCK_PRINTER_CACHE 0x0040
#define TEXTBLOCK_NO_OUTLINES 0x0080
#define TEXTBLOCK_SHADOW 0x0100

class CTextBlock : public CObject {
public:
    // Takes its font, colours, shadow and automatic size from the
    // preferences' default text format.
    explicit CTextBlock(CDrawObj* pOwner);
    ~CTextBlock() override;
    CTextBlock(const CTextBlock&) = delete;
    CTextBlock& operator=(const CTextBlock&) = delete;

    // Takes every setting and the text of another block (its owner and
    // cached rendering stay this block's own): what a clone of the object
    // carries.
    void CopyFrom(const CTextBlock& other);

    // The text without CR and form-feed characters. SetText also removes
    // them and notes whether the text holds a mail-merge field ("@name@").
    CString GetText() const;
    void SetText(const CString& strText);
    // Inserts at a character position (clamped to 0..length).
    void InsertText(int nPosition, const CString& strText);
    int GetLength() const { return m_strText.GetLength(); }

    // Height, face and character set into the LOGFONT; clears the automatic
    // size and marks rendering and layout stale.
    void SetFont(int nHeight, LPCTSTR lpszFaceName, BYTE nCharSet);
    // Start and end clamped to the text; a negative end selects all.
    void SetSel(int nStart, int nEnd);
    // Angle brought into 0..359; both rectangles kept; layout stale.
    void SetGeometry(int nAngle, const CRect& rectShape, const CRect& rectFrame);
    // At least one column.
    void SetColumns(int nColumns);
    void SetLayoutParams(int nLeftMargin, int nRightMargin, int nLayoutWord);
    // Warp-shape kind (0 none); a change drops the cached rendering.
    void SetShape(int nShape);
    // The frame the text is laid in; drops the cache, layout stale.
    void SetRect(const CRect& rect);
    // Drops the cached rendering: with the automatic size the stale bits are
    // cleared (fitting rebuilds), else both are set.
    void FreeCache();

    // Selects the view's fonts for measuring; nothing until the layout
    // exists.
    void PrepareFont(CSurface* pView);
    // The laid text's extent; empty until the layout exists.
    CSize CalcSize(CDC* pDC);
    // Draws the laid text; nothing until the layout exists.
    void Draw(CDC* pDC, const CRect* pClip);

    // The editor's input handlers: nonzero when handled, which nothing is
    // until in-place editing exists.
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnLButtonDown(UINT nFlags, CPoint point);
    BOOL OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnLButtonDblClk(UINT nFlags, CPoint point);

    // The block's part of its object's record in a design. Storing always
    // writes the current form, the text as UTF-16 (flag TEXTBLOCK_UTF16 set)
    // where the platform has wide text; loading follows the design's
    // version (DesignArchive.h) and the stored flag. A record that ends
    // early raises CArchiveException and leaves the block partly read; the
    // owner's angle is the holder's to set from m_nAngle.
    void Serialize(CArchive& ar) override;

    BOOL IsFixedSize() const { return (m_wFlags & TEXTBLOCK_AUTO_SIZE) != 0; }

    // Where the first pair of unescaped '@' at most 100 characters apart
    // lies: TRUE with both positions, else FALSE and -1, -1.
    static BOOL FindMergeField(const CString& strText, int& nStart, int& nEnd);

    CDrawObj* m_pOwner;     // not owned
    WORD m_wFlags = 0;
    int m_nShape = 0;        // 0 none, 1..16 a warp shape
    int m_nAlignment = 0;    // 0 left, 1 right, 2 centre, 3 full
    int m_nLayoutWord = 0;
    int m_nLeftMargin = 2;
    int m_nRightMargin = 2;
    LOGFONT m_logfont{};
    int m_nFittedHeight = -10;
    COLORREF m_crText = 0;   // -1 the window-text colour
    COLORREF m_crShadow = 0; // -1 the window-text colour
    short m_nShadowX = 0;
    short m_nShadowY = 0;
    int m_nStoredValue4 = 0;
    int m_nStoredValue5 = 1;
    CRect m_rectFrame;
    CRect m_rectShape;
    int m_nAngle = 0;        // whole degrees, 0..359
    int m_nColumns = 1;
    double m_dScaleX = 1.0;
    double m_dScaleY = 1.0;
    int m_nCaret = 0;
    int m_nAnchor = 0;
    BOOL m_bEditing = FALSE;

private:
    CString m_strText;
};
