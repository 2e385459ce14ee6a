#pragma once
// The inside of a CWrapData, shared by the run upkeep (WrapText.cpp) and the
// layout (WrapLayout.cpp): run lists, shared font records and the line
// table. Nothing outside text/ includes this.

#include "text/WrapText.h"

#include <vector>

// One face, size and style, shared by every font run that uses it.
struct WrapFontRecord {
    CString strFace;       // at most 40 characters
    int nSize = 24;        // points
    int nHeight = 0;       // text metrics in the pixels the font was made for
    int nAscent = 0;
    int nDescent = 0;
    BYTE nCharSet = 1;
    int nStyle = 0;        // WRAP_STYLE_* bits
    HFONT hFont = NULL;    // owned; NULL when it could not be made
    int nRefs = 0;
};

struct WrapColorRun {
    WORD wStart = 0;
    WORD wEnd = 0; // inclusive
    COLORREF cr = 0;
    WrapColorRun* pNext = nullptr;
};

struct WrapFontRun {
    WORD wStart = 0;
    WORD wEnd = 0; // inclusive
    WrapFontRecord* pFont = nullptr; // counted
    WrapFontRun* pNext = nullptr;
};

// A stretch of one line drawn with one font and one colour.
struct WrapSegment {
    WORD wStart = 0;
    WORD wLength = 0;
    int x = 0;              // from the layout's left, before justification
    int y = 0;              // from the text's top, after baseline alignment
    int nBaselineShift = 0; // the line's greatest ascent less the font's
};

struct WrapLine {
    int nTop = 0; // 32-bit: tall texts at high zoom pass 32767
    std::vector<WrapSegment> segments;
};

struct WrapLineTable {
    std::vector<WrapLine> lines;
};

// The stock default font, for runs whose font could not be made.
HFONT WrapFallbackFont();
// The font a record draws with: its own, else the fallback.
inline HFONT WrapRecordFont(const WrapFontRecord* pRecord)
{
    return pRecord != nullptr && pRecord->hFont != NULL ? pRecord->hFont : WrapFallbackFont();
}
