#pragma once
// The lines of block text as laid, shared by its layout and its editing so
// that the caret moves over the very lines the drawing shows.

#include "platform/base/String.h"

#include <vector>

namespace textblock {

inline bool IsLineBreak(char ch)
{
    return ch == '\n' || ch == '\r' || ch == '\f';
}

// One line of the laid text: its characters [nStart, nEnd), what ended it
// (0 at the end of the text), the column it stands in (0-based, one more
// after each form feed) and its row there.
struct LaidLine {
    int nStart;
    int nEnd;
    char chEnd;
    int nColumn;
    int nRow;
};

// The lines of a text at LF, CR and form feed. A form feed right behind an
// LF only moves on to the next column: it starts no line of its own, and the
// position between the two belongs to the LF's line.
inline std::vector<LaidLine> SplitLaidLines(const CString& str)
{
    std::vector<LaidLine> lines;
    const int n = str.GetLength();
    int nStart = 0;
    int nColumn = 0;
    int nRow = 0;
    for (int i = 0; i < n; ++i) {
        const char ch = str[i];
        if (!IsLineBreak(ch))
            continue;
        if (ch == '\f' && i > 0 && str[i - 1] == '\n') {
            ++nColumn;
            nRow = 0;
            nStart = i + 1;
            continue;
        }
        lines.push_back(LaidLine{nStart, i, ch, nColumn, nRow});
        if (ch == '\f') {
            ++nColumn;
            nRow = 0;
        } else {
            ++nRow;
        }
        nStart = i + 1;
    }
    lines.push_back(LaidLine{nStart, n, '\0', nColumn, nRow});
    return lines;
}

} // namespace textblock
