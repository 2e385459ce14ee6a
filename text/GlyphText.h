#pragma once
// Text drawn as filled glyph outlines: the 16.16 fixed-point helpers, the
// conversion of a GGO_NATIVE outline into polygons, and CGlyphTextRenderer,
// which lays one column of block text into a frame (straight or between a
// warp shape's bounds), turns it about the frame's centre and fills it.
// Wrapped text uses the same conversion and decorations for its rotated and
// mirrored drawing.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/String.h"

#include <functional>
#include <vector>

class CDC;
class CDrawObj;
class CWarpShape;

// ---- 16.16 fixed point (a signed 32-bit value, the fraction in the low word) --------------
LONG FixedAdd(LONG a, LONG b);
// (a + b) / 2 and (a + 2b + c) / 4, summed in 64 bits, signed division.
LONG FixedAverage(LONG a, LONG b);
LONG FixedQuadMidpoint(LONG a, LONG b, LONG c);
LONG DoubleToFixed(double d);
LONG FixedFromStruct(const FIXED& f);
FIXED FixedToStruct(LONG l);
// Each coordinate less one half, rounded by FixedToInt.
POINT FixedPointToPoint(const POINTFX& pt);
void MakeIdentityMat2(MAT2& mat);

// The polygons of one glyph: contour point counts and the points, in the
// glyph's own coordinates (y up from the baseline). Growable: a complex
// glyph is never cut.
struct GlyphPolygons {
    std::vector<int> counts;
    std::vector<POINT> points;
    void Clear()
    {
        counts.clear();
        points.clear();
    }
};

// Walks a GGO_NATIVE buffer of cb bytes: only TT_POLYGON_TYPE headers are
// read (others skipped by their size); lines append their points, quadratic
// splines are flattened at depth 4. Each contour ends with its start point
// and a copy of its first point. FALSE for a record that runs past its
// polygon or the buffer, or a header too small to hold itself. The points
// are whole pixels as FixedPointToPoint makes them, or with nFractionBits
// (at most 8) in units of 1 / 2^nFractionBits pixel.
BOOL OutlineToPolygons(const BYTE* pBuffer, DWORD cb, GlyphPolygons& polygons, int nFractionBits = 0);

// Reads a character's outline with the font selected on a memory DC
// compatible with the screen (identity matrix). A blank gives no points and
// TRUE; metrics receive the glyph's metrics (a zero black-box width replaced
// by the cell increment). FALSE when the outline cannot be read.
BOOL LoadGlyphPolygons(HFONT hFont, UINT nChar, GLYPHMETRICS& metrics, GlyphPolygons& polygons);

// The polygons to fill for many characters of one font (not owned; it
// must outlive the reader): LoadGlyphPolygons' polygons with the repeats of
// a point dropped (a contour keeps two points at least), which fill the
// same pixels. The memory DC and the outline buffer are made once, and
// outlines already flattened are kept between readers.
class CGlyphReader {
public:
    explicit CGlyphReader(HFONT hFont);
    ~CGlyphReader();
    CGlyphReader(const CGlyphReader&) = delete;
    CGlyphReader& operator=(const CGlyphReader&) = delete;
    BOOL Load(UINT nChar, GLYPHMETRICS& metrics, GlyphPolygons& polygons);

private:
    HDC m_hDC;
    HGDIOBJ m_hOldFont = NULL;
    std::vector<BYTE> m_buffer;
};

// Fills the polygons: Polygon for one contour, PolyPolygon (so holes stay
// open) for more.
void FillGlyphPolygons(CDC* pDC, const GlyphPolygons& polygons);

// The underline and strike-out bands of one character, run on across the
// gaps between characters: what block text and rotated wrapped text draw.
struct GlyphDecorations {
    int nUnderlinePosition = 0;
    int nThickness = 0; // the larger of the underline and strike-out thickness
    int nStrikeoutPosition = 0;
    int nStrikeoutThickness = 0;
    // The mapped top-right and bottom-right corners of each band's last
    // piece; bStarted false at a line's first character.
    POINT underline[2] = {};
    POINT strikeout[2] = {};
    BOOL bStarted = FALSE;
    // Whether the font is underlined or struck out (its text metrics).
    BOOL bUnderline = FALSE;
    BOOL bStrikeout = FALSE;
    // Reads the outline text metrics of the font (all zero without them).
    void Read(HFONT hFont);

    // How to use it: Read once per font, clear bStarted at the start of
    // each line, then call DrawCharacter for every character of the line
    // (blanks too, so that the bands run under them) with the brush to fill
    // them selected and no pen. map places points given in the glyph's own
    // coordinates (y up from the baseline, x from the pen position) where
    // the caller draws that glyph, before any turn; the bands are then
    // turned about pivot by angle degrees (RotatePoints) and filled with
    // Polygon. The offsets move each band's y in the glyph's coordinates.
    // Nothing is drawn for a band whose flag is off.
    using MapFunction = std::function<void(POINT* pPoints, int nCount)>;
    void DrawCharacter(CDC* pDC, const GLYPHMETRICS& metrics, int nUnderlineOffset, int nStrikeoutOffset,
        const MapFunction& map, POINT pivot, double angle);

private:
    enum class Band { Underline, Strikeout };
    void DrawBand(CDC* pDC, Band band, const GLYPHMETRICS& metrics, int nOffset, const MapFunction& map, POINT pivot,
        double angle);
};

// A column of bent text as CGlyphTextRenderer lays it before the warp
// shape bends it: each line (trimmed for its alignment) at its x and y
// from the text's top-left corner, and for a justified line the extra
// width to spread over its break characters. The text is the widest line
// wide and the sum of the line heights high; the shape stretches that
// rectangle over the frame. Measured with the font selected on pDC.
struct WarpedTextLine {
    CString text;
    int x = 0;
    int y = 0;
    int nExtra = 0;
    int nBreaks = 0;
};
struct WarpedTextLayout {
    std::vector<WarpedTextLine> lines;
    CSize size;
};
WarpedTextLayout LayWarpedText(CDC* pDC, const CString& strText, int nAlignment, BOOL bJustifyLastLine);

class CGlyphTextRenderer {
public:
    explicit CGlyphTextRenderer(CDrawObj* pOwner = nullptr);
    ~CGlyphTextRenderer();
    CGlyphTextRenderer(const CGlyphTextRenderer&) = delete;
    CGlyphTextRenderer& operator=(const CGlyphTextRenderer&) = delete;

    // Glyphs are filled with the object's fill instead of the text colour.
    void SetFillObject(CDrawObj* pObject);
    // The font whose outlines are drawn (not owned); selected on the DC by
    // the caller as well.
    void SetFont(HFONT hFont);
    // Nonzero on success; zero only when the outline metrics cannot be had.
    int Setup(CDC* pDC, int nLeft, int nTop, int nRight, int nBottom, const CString& strText, int nAngle, BOOL bFlipH,
        BOOL bFlipV, int nAlignment, BOOL bJustifyLastLine, int nShapeKind);
    // Draws the column; nonzero when every glyph could be drawn.
    int Draw();

    // The frame after Setup (aligned when there is no shape) and the
    // measured text.
    CRect GetFrame() const;
    CSize GetTextSize() const;

private:
    struct State;
    State* m_pState; // owned
};
