#pragma once
// CTextBlock: the block (effect) text of a drawing object: one plain string
// in one font and one colour, laid into the object's frame in columns,
// rotated or bent into a warp shape. The object owns it through its
// CTextContentHolder; the block never owns its owner.
//
// The block's code lives in three files: TextBlock.cpp (state, setters,
// stored form, mail-merge fields), TextBlockLayout.cpp (font, wrapping,
// columns, fitting, rendering and the cache) and TextBlockEdit.cpp (caret,
// selection, keys, mouse and clipboard).
//
// Text stands below the design model: whatever the block needs of its owner
// (zoom, view, redraw, undo, merge source, fill) it asks through
// text/TextOwner.h, never through CDrawObj itself.
//
// Three control characters in the text carry layout: LF (10) is a hard line
// break the user typed, CR (13) a soft break that wrapping inserted and form
// feed (12) a column break that wrapping inserted. GetText, SetText and the
// clipboard drop CR and form feed, so only hard breaks leave the block.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CBitmap;
class CDC;
class CDrawObj;
class CFont;
class CRgn;
class CSurface;

// Bits of CTextBlock::m_wFlags.
#define TEXTBLOCK_AUTO_SIZE 0x0001      // the font size is chosen to fit the frame
#define TEXTBLOCK_RENDER_STALE 0x0002   // the cached rendering must be rebuilt
#define TEXTBLOCK_LAYOUT_STALE 0x0004   // the layout must be redone
#define TEXTBLOCK_MERGE_FIELDS 0x0008   // the text holds a mail-merge field
#define TEXTBLOCK_KEEP_PROPORTION 0x0010 // next fitting keeps the stored scales
#define TEXTBLOCK_UTF16 0x0020          // the text is stored as UTF-16
#define TEXTBLOCK_PRINTER_CACHE 0x0040  // the cache was made for a printer
#define TEXTBLOCK_NO_OUTLINES 0x0080    // no glyph outlines on the screen
#define TEXTBLOCK_SHADOW 0x0100         // the text has a shadow

// Limits the block keeps whatever a file or a caller hands it.
constexpr int kTextBlockMaxColumns = 5;
constexpr int kTextBlockMinPoints = 1;
constexpr int kTextBlockMaxPoints = 999;
constexpr int kTextBlockMaxFaceLength = 31;
// The farthest a field's closing '@' lies behind its opening one.
constexpr int kTextBlockMaxFieldSpan = 100;
// Characters a line may be broken after; a blank stays on the line it ends.
constexpr const char* kTextBlockBreakChars = " ;-?!)";

class CTextBlock : public CObject {
public:
    // ---- State and stored form (TextBlock.cpp) ----

    // Takes its font, colours, shadow and automatic size from the
    // preferences' default text format.
    explicit CTextBlock(CDrawObj* pOwner);
    // Drops the cache, the bitmap, the picture and the font.
    ~CTextBlock() override;
    CTextBlock(const CTextBlock&) = delete;
    CTextBlock& operator=(const CTextBlock&) = delete;

    // Takes every setting and the text of another block (its owner and
    // cached rendering stay this block's own): what a clone of the object
    // carries.
    void CopyFrom(const CTextBlock& other);

    // The text without CR and form-feed characters. SetText also removes
    // them, notes whether the text holds a mail-merge field ("@name@"),
    // drops the cache and marks the layout stale.
    CString GetText() const;
    void SetText(const CString& strText);
    // The text as laid, soft breaks (CR, form feed) included.
    const CString& GetLaidText() const { return m_strText; }
    // Replaces the laid text as it is (soft breaks kept), for the layout and
    // the editor; merge flag noted, caret and anchor clamped, nothing else.
    void SetLaidText(const CString& strText);
    int GetLength() const { return m_strText.GetLength(); }
    // Inserts at a position (into the laid text), or appends when it lies
    // past the end; drops the cache and marks the layout stale as SetText
    // does. Caret and anchor stay where they were.
    void InsertText(int nPosition, const CString& strText);
    // Caret = start clamped to 0..length; a negative end selects all
    // (caret 0, anchor length), else anchor = end clamped to the text.
    void SetSel(int nStart, int nEnd);

    // Height (points, negative: character height), face (cut to 31
    // characters) and character set into the LOGFONT; clears the automatic
    // size and marks rendering and layout stale.
    void SetFont(int nHeight, LPCTSTR lpszFaceName, BYTE nCharSet);
    // Angle brought into 0..359; both rectangles kept; layout stale.
    void SetGeometry(int nAngle, const CRect& rectShape, const CRect& rectFrame);
    // Columns brought into 1..kTextBlockMaxColumns.
    void SetColumns(int nColumns);
    void SetLayoutParams(int nLeftMargin, int nRightMargin, int nLayoutWord);
    // Warp-shape kind (0 none, 1..16); a change drops the cached rendering.
    void SetShape(int nShape);
    // The frame the text is laid in (logical units); drops the cache,
    // layout stale.
    void SetRect(const CRect& rect);
    // Drops the cached bitmap, picture and font: with the automatic size
    // the stale bits are cleared (fitting rebuilds), else both are set.
    void FreeCache();

    // The block's part of its object's record in a design. Storing always
    // writes the current form, the text as UTF-16 (flag TEXTBLOCK_UTF16 set)
    // where the platform has wide text, the exact text colour; loading
    // follows the design's version (DesignArchive.h) and the stored flag,
    // brings damaged values into range and drops trailing zero characters.
    // A record that ends early, or a UTF-16 count larger than the bytes
    // left, raises CArchiveException and leaves the block partly read; the
    // owner's angle is the holder's to set from m_nAngle.
    void Serialize(CArchive& ar) override;

    BOOL IsFixedSize() const { return (m_wFlags & TEXTBLOCK_AUTO_SIZE) != 0; }
    BOOL HasMergeFields() const { return (m_wFlags & TEXTBLOCK_MERGE_FIELDS) != 0; }
    BOOL HasShadow() const { return (m_wFlags & TEXTBLOCK_SHADOW) != 0; }

    // Where the first pair of unescaped '@' at most 100 characters apart
    // lies: TRUE with both positions, else FALSE and -1, -1.
    static BOOL FindMergeField(const CString& strText, int& nStart, int& nEnd);
    // The text with the merge escapes removed ("\@" gives '@', "\\" one
    // backslash, "\x" keeps its backslash, a lone final backslash goes).
    static CString UnescapeMergeText(const CString& strText);
    // The text with every field replaced by the owner's merge source's
    // text for its name (any case); an unknown name, or no source, puts the
    // field back as typed. The block's own text is not touched.
    CString ReplaceMergeFields(const CString& strText) const;

    // The colour the text (shadow) is drawn in on this DC: -1 gives the
    // window-text colour; a screen DC (or none) gets the nearest colour the
    // screen shows, a printer the exact one.
    COLORREF GetDrawTextColor(CDC* pDC) const;
    COLORREF GetDrawShadowColor(CDC* pDC) const;
    // Where the shadow goes, in device pixels of this DC: the stored
    // offsets are points, scaled like the font (the DC's pixels per inch
    // and, on a screen, the owner's zoom). (0, 0) without the shadow flag.
    // Drawing draws the text once in the shadow colour moved by this, then
    // the text itself.
    CSize GetShadowOffset(CDC* pDC) const;

    // ---- Layout, fitting and drawing (TextBlockLayout.cpp) ----

    // Makes m_pFont for the DC: the LOGFONT's (or, fitted, the fitted)
    // height in points scaled to the DC's pixels and, on a screen, by the
    // owner's zoom, unless m_nFixedPixelHeight is set; at least one pixel.
    void MakeFont(CDC* pDC);
    // Makes the font on a memory DC the view prepared, before the owner
    // sizes itself to its text.
    void PrepareFont(CSurface* pView);
    // Extent of the laid text with the current font: the widest line (at
    // least nMinWidth by alignment when not fitted) plus the left margin,
    // by the lines (per column when there are several) times the height of
    // one blank.
    CSize MeasureText(CDC* pDC, int nMinWidth);
    // Height of one line (the extent of one blank) with the current font.
    int GetLineHeight(CDC* pDC);
    // Text of column nColumn (1-based): between the (n-1)-th and n-th form
    // feed; empty past the last.
    CString NextColumnText(int nColumn) const;
    // 1 + the form feeds, and 1 + the LF, CR and form feeds of the text.
    int CountTextColumns() const;
    int CountTextLines() const;
    // A fifth of an inch of the DC, and each column's width in a frame of
    // the given width: (width - gap * (n - 1)) / n. One column: the width.
    int GetColumnGap(CDC* pDC) const;
    int GetColumnWidth(CDC* pDC, int nFrameWidth) const;
    // Removes the soft breaks and inserts them anew for the frame
    // (device units); caret and anchor move with inserted characters.
    // Every line keeps at least one character.
    void WrapLines(CDC* pDC, const CRect& rectFrame);
    // Fits the font to the frame (device units) and answers the measured
    // size; updates the scales, the fitted height and the warp stretch.
    CSize FitText(CDC* pDC, const CRect& rectFrame);
    // Sizes the font so the text keeps its stored scales to the frame;
    // the height stops at 999 points.
    CSize KeepScale(CDC* pDC, const CRect& rectFrame);
    // 200 x 200 before a font was ever made; else the measured size with
    // the font made for the DC.
    CSize CalcSize(CDC* pDC);
    // The frame's corners turned about its centre by the angle into
    // m_ptCorners; answers the rectangle they span.
    CRect GetRotatedBounds();
    // Draws the block into its frame (SetRect first), from the cache when
    // it still serves, else through Render; a clip region, when given,
    // narrows the DC's clip (not on a print-preview DC).
    void Draw(CDC* pDC, CRgn* pClipRgn = nullptr);
    // Builds the rendering for the DC: plain text, glyph outlines, or a
    // (warped) cached bitmap or picture. Guarded against re-entry.
    void Render(CDC* pDC);
    // Copies the cached bitmap into the device frame, leaving the
    // destination where the bitmap is white.
    void DrawCachedBitmap(CDC* pDC);
    // Draws the columns' lines with text output calls into the device
    // rectangle; bMask draws black for a mask.
    void DrawPlainText(CDC* pDC, const CRect& rect, BOOL bMask = FALSE);
    // Draws the columns as glyph outlines; FALSE when a column failed.
    BOOL DrawGlyphText(CDC* pDC, const CRect& rect, BOOL bFlipH, BOOL bFlipV, int nShape);
    // Draws the text bent by the warp shape, as the glyph outlines bend it,
    // into a new cached bitmap of the device rectangle (white outside the
    // text's band, crBack inside it); FALSE when there is no shape, the
    // bitmap cannot be made or printing was cancelled.
    BOOL WarpBitmap(CDC* pDC, const CRect& rect, COLORREF crBack);
    // Whether plain text output may go to a printer (the preferences'
    // regular-text printing method).
    static BOOL IsPlainPrintingAllowed();

    // ---- Editing, caret, keys and clipboard (TextBlockEdit.cpp) ----

    // Starts in-place editing: refused while editing, with an angle, a
    // shape or a mirrored frame. Nonzero when editing began.
    BOOL BeginEdit();
    // Ends editing and dragging, hides the caret, redraws the owner.
    void EndEdit();
    BOOL IsEditing() const { return m_bEditing; }
    BOOL HasSelection() const { return m_nCaret != m_nAnchor; }
    int GetSelStart() const { return m_nCaret < m_nAnchor ? m_nCaret : m_nAnchor; }
    int GetSelEnd() const { return m_nCaret < m_nAnchor ? m_nAnchor : m_nCaret; }
    // Replaces the selection by the text; caret and anchor behind it.
    void ReplaceSel(const CString& strText);
    // Removes the selection, or with none the character after the caret
    // (bForward) or before it; answers the removed text (laid form).
    CString DeleteSel(BOOL bForward);

    // The editor's input handlers: nonzero when handled; nothing is while
    // not editing.
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnLButtonDown(UINT nFlags, CPoint point);
    BOOL OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnLButtonDblClk(UINT nFlags, CPoint point);
    // The owner ends a drag.
    void EndDrag() { m_bDragging = FALSE; }
    // The Windows-1252 character a virtual key types with the current
    // Shift, Caps Lock, Ctrl and Alt states; 0 for none.
    static UINT TranslateKey(UINT nVirtKey, BOOL bShift, BOOL bCapsLock, BOOL bCtrlAlt);
    // While editing: the key, pressed now without Ctrl or Alt, types a
    // printable character. The view hands such a key to its key handler
    // before any accelerator sees it (Plus, Minus and "=" are commands of
    // the design window otherwise).
    BOOL TakesKeyBeforeAccelerators(UINT nVirtKey) const;

    // Copies the selection (without CR and form feed) as CF_TEXT; with
    // bCut then deletes it. FALSE when the clipboard could not be opened.
    BOOL Copy(BOOL bCut);
    // Replaces the selection by the clipboard's CF_TEXT text.
    BOOL Paste();

    // Places the caret at m_nCaret; bTakeGoal takes the goal x from it.
    void UpdateCaret(BOOL bTakeGoal);
    // The character boundary under a point (device units).
    int CharFromPoint(CPoint point);
    // Word boundaries: the previous and next word start from a position.
    int PrevWordStart(int nPosition) const;
    int NextWordStart(int nPosition) const;
    // Start and end of the line that holds the position (breaks at LF, CR
    // and form feed).
    int LineStart(int nPosition) const;
    int LineEnd(int nPosition) const;

    // ---- Members ----

    CDrawObj* m_pOwner;     // not owned
    WORD m_wFlags = 0;
    int m_nShape = 0;        // 0 none, 1..16 a warp shape
    int m_nAlignment = 0;    // 0 left, 1 right, 2 centre, 3 full
    int m_nLayoutWord = 0;   // stored and exchanged, not used for layout
    int m_nLeftMargin = 2;
    int m_nRightMargin = 2;
    LOGFONT m_logfont{};     // lfHeight in points (negative: character height)
    int m_nFittedHeight = -10; // points (negative) fitting chose
    COLORREF m_crText = 0;   // exact colour; -1 the window-text colour
    COLORREF m_crShadow = 0; // -1 the window-text colour
    short m_nShadowX = 0;    // points
    short m_nShadowY = 0;
    int m_nRenderGuard = 0;  // set while Render builds the cache
    int m_nStoredValue4 = 0;
    int m_nStoredValue5 = 1;
    CRect m_rectFrame;       // logical units of the surface
    CRect m_rectShape;
    int m_nAngle = 0;        // whole degrees, 0..359
    POINT m_ptCorners[4]{};  // the frame's corners after rotation
    int m_nColumns = 1;      // 1..kTextBlockMaxColumns
    double m_dScaleX = 1.0;  // measured size / frame size, set by fitting
    double m_dScaleY = 1.0;

    // Layout and fitting state.
    int m_nFixedPixelHeight = 0; // nonzero: the font's pixel height (negative)
    int m_nFixedPixelBase = 0;   // LOGPIXELSY x zoom % of the DC that height was found on
    BOOL m_bFontMade = FALSE;    // a font was made at least once
    CFont* m_pFont = nullptr;    // owned; made for the last DC
    CRect m_rectDevice;          // the fitted frame in device units
    BOOL m_bMirrorH = FALSE;     // the frame as handed in was mirrored
    BOOL m_bMirrorV = FALSE;
    double m_dWarpStretchX = 1.0; // the warp shape's stretches
    double m_dWarpStretchY = 0.0;
    CBitmap* m_pCachedBitmap = nullptr; // owned
    CObject* m_pCachedPicture = nullptr; // owned picture for mirrored bitmaps

    // Editing state.
    int m_nCaret = 0;        // character index 0..length
    int m_nAnchor = 0;       // the selection's other end
    BOOL m_bEditing = FALSE;
    BOOL m_bDragging = FALSE;
    int m_nCaretHeight = 1;
    int m_nCaretWidth = 1;
    int m_nCaretMadeHeight = 0; // the height the view's caret was made with
    int m_nGoalX = 0;        // device x kept while moving up and down
    BOOL m_bDropNextChar = FALSE; // a WM_CHAR after a key the block took

private:
    CString m_strText;       // laid text: LF, CR and form feed included
};
