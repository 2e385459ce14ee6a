// Line breaking, justification, spacing and the geometric queries of wrapped
// text. The face is Liberation Mono, whose characters all advance alike, so
// every break and offset below is worked out by hand: at 12 points (16
// pixels) a character is 10 pixels wide, the text height 18 and the ascent
// 13; at 24 points the height is 37 and the ascent 27.

#include "text/TextOwner.h"
#include "text/WrapText.h"
#include "text/WrapTextRuns.h"

#include "platform/gdi/Dc.h"
#include "platform/ui/Headless.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kMono = "Liberation Mono";

class WrapLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        // Some tests set the owner's answers of their own; the design
        // model's, which later tests of this program use, come back after.
        m_savedServices = GetTextOwnerServices();
        ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
    }
    void TearDown() override { SetTextOwnerServices(m_savedServices); }

    // A text in 12-point Liberation Mono laid out in a box of the width.
    void Prepare(CWrapText& text, const char* psz, int nWidth, BOOL bWordWrap = TRUE, BOOL bHyphenate = FALSE)
    {
        text.SetText(psz);
        text.SetDefaultFont(kMono, 12, 1, 0);
        text.SetWordWrap(bWordWrap);
        text.SetHyphenate(bHyphenate);
        text.SetSize(nWidth, 400);
        text.Layout(&m_dc);
    }

    static std::vector<int> LineStarts(const CWrapText& text)
    {
        std::vector<int> starts;
        for (int i = 0; i < text.GetLineCount(); ++i)
            starts.push_back(text.GetLineStart(i));
        return starts;
    }

    CDC m_dc;
    TextOwnerServices m_savedServices;
};

TEST_F(WrapLayoutTest, LinesBreakAsWordWrapAndHyphenationSay)
{
    // An 84-pixel box leaves 80 pixels, seven characters (a line holds what
    // ends before the limit); hyphenation keeps 10 for its mark: 74, still
    // seven.
    struct Case {
        const char* psz;
        int nWidth;
        BOOL bWordWrap;
        BOOL bHyphenate;
        std::vector<int> starts;
    };
    const Case cases[] = {
        // A word wider than the box stays whole on a line of its own...
        {"ab cdefghijklmnop qr", 84, TRUE, FALSE, {0, 3, 18}},
        // ...and is cut at the last character that fits without word wrap.
        {"ab cdefghijklmnop qr", 84, FALSE, FALSE, {0, 7, 14}},
        // A box narrower than one character still moves on, one per line.
        {"abc", 8, FALSE, FALSE, {0, 1, 2}},
        // Hyphenation cuts words wherever the line ends.
        {"abcdefghijklmnopqrstu", 84, FALSE, TRUE, {0, 7, 14}},
        {"ab cdefghij", 84, FALSE, TRUE, {0, 7}},
        {"ab cdefghij", 84, TRUE, TRUE, {0, 3}},
    };
    for (const Case& c : cases) {
        CWrapText text;
        Prepare(text, c.psz, c.nWidth, c.bWordWrap, c.bHyphenate);
        EXPECT_EQ(LineStarts(text), c.starts) << c.psz << " wrap " << c.bWordWrap << " hyphenate " << c.bHyphenate;
    }
    CWrapText text;
    Prepare(text, "ab cdefghijklmnop qr", 84);
    EXPECT_EQ(text.GetLineWidth(1), 150); // wider than the box, uncut
}

TEST_F(WrapLayoutTest, JustificationSpreadsTheSlackOverTheSegments)
{
    // Four words of 110 pixels in a 120-pixel box: a slack of 10 over 3 gaps.
    struct Case {
        WORD wJustification;
        int offsets[4];
    };
    const Case cases[] = {
        {0, {0, 0, 0, 0}},
        {1, {10, 10, 10, 10}},
        {2, {5, 5, 5, 5}},
        {3, {0, 4, 7, 10}},
    };
    for (const Case& c : cases) {
        CWrapText text;
        text.SetJustification(c.wJustification);
        Prepare(text, "ab cd ef gh", 120);
        ASSERT_EQ(text.GetLineCount(), 1);
        int nSegments = 0;
        EXPECT_EQ(text.GetLineWidth(0, &nSegments), 110);
        EXPECT_EQ(nSegments, 4);
        for (int k = 0; k < 4; ++k) {
            const WrapCaret caret = text.GetCaretPos(3 * k);
            EXPECT_EQ(caret.x, 30 * k + c.offsets[k]) << "justification " << c.wJustification << " word " << k;
            // Hit testing sees the words where they are drawn.
            EXPECT_EQ(text.CharFromPoint(30 * k + c.offsets[k] + 2, 5), 3 * k);
        }
    }
    // A line break takes no room: a line ending in one aligns with the last.
    CWrapText text;
    text.SetJustification(1);
    Prepare(text, "ab\ncd", 120);
    EXPECT_EQ(text.GetCaretPos(0).x, 100);
    EXPECT_EQ(text.GetCaretPos(3).x, 100);
    EXPECT_EQ(text.CharFromPoint(50, 5), 0); // left of the text: the line's start
}

TEST_F(WrapLayoutTest, LinesAdvanceByTheTallestFontTimesTheSpacing)
{
    // 12-point Liberation Mono is 18 pixels high (truncation shows at 1.25);
    // 13-point DejaVu Sans Mono is 20.
    struct Case {
        const char* pszFace;
        int nPoints;
        int nHeight;
        double dSpacing;
        int nAdvance;
    };
    const Case cases[] = {
        {kMono, 12, 18, 1.0, 18},
        {kMono, 12, 18, 1.5, 27},
        {kMono, 12, 18, 1.25, 22},
        {"DejaVu Sans Mono", 13, 20, 1.5, 30},
        {"DejaVu Sans Mono", 13, 20, 1.25, 25},
    };
    for (const Case& c : cases) {
        CWrapText text;
        text.SetText("a\nb\nc");
        text.SetDefaultFont(c.pszFace, c.nPoints, 1, 0);
        text.SetScale(c.dSpacing);
        text.SetSize(200, 400);
        text.Layout(&m_dc);
        ASSERT_EQ(text.GetFontRecordAt(0)->nHeight, c.nHeight) << c.pszFace;
        EXPECT_EQ(text.GetLineTop(1), c.nAdvance) << c.pszFace << " " << c.dSpacing;
        EXPECT_EQ(text.GetLineTop(2), 2 * c.nAdvance) << c.pszFace << " " << c.dSpacing;
    }
}

TEST_F(WrapLayoutTest, MixedSizesShareABaseline)
{
    CWrapText text;
    text.SetText("aaa BBB\nc");
    text.SetDefaultFont(kMono, 12, 1, 0);
    text.AddFontRun(kMono, 24, 4, 6, 1, 0);
    text.SetSize(400, 400);
    text.Layout(&m_dc);
    ASSERT_EQ(text.GetLineCount(), 2);

    const WrapCaret small = text.GetCaretPos(1);
    EXPECT_EQ(small.y, 27 - 13);
    EXPECT_EQ(small.nBaselineShift, 27 - 13);
    EXPECT_EQ(small.x, 10);
    const WrapCaret big = text.GetCaretPos(5);
    EXPECT_EQ(big.y, 0);
    EXPECT_EQ(big.nHeight, 37);
    EXPECT_EQ(big.x, 40 + 19);
    EXPECT_EQ(big.nCharWidth, 19);
    // The next line starts below the tallest font of the first.
    EXPECT_EQ(text.GetLineTop(1), 37);
    EXPECT_EQ(text.GetCaretPos(8).y, 37);
}

TEST_F(WrapLayoutTest, CaretStandsAtTheStartOfTheLineAFinalBreakOpens)
{
    CWrapText text;
    Prepare(text, "ab\n", 200);
    const WrapCaret caret = text.GetCaretPos(3);
    EXPECT_EQ(caret.x, 0);
    EXPECT_EQ(caret.y, 18);
    // Without a final break the caret follows the last character.
    Prepare(text, "ab\ncd", 200);
    EXPECT_EQ(text.GetCaretPos(5).x, 20);
    EXPECT_EQ(text.GetCaretPos(99).x, 20);
}

TEST_F(WrapLayoutTest, CharFromPointTakesThePositionAfterACharactersRightHalf)
{
    CWrapText text;
    Prepare(text, "abcdef\ngh", 200);
    struct Case {
        int x;
        int y;
        int nPosition;
    };
    const Case cases[] = {
        {4, 5, 0},
        {5, 5, 1},   // 5 of "a"'s 10 pixels left: the right half
        {15, 5, 2},
        {59, 5, 6},
        {500, 5, 6}, // right of the line: before its break
        {-20, 5, 0},
        {3, -40, 0}, // above the text: the first line
        {12, 18, 8}, // the second line starts at its top
        {15, 900, 9}, // below the text: the last line
    };
    for (const Case& c : cases)
        EXPECT_EQ(text.CharFromPoint(c.x, c.y), c.nPosition) << c.x << "," << c.y;
}

TEST_F(WrapLayoutTest, LineQueriesPastTheEndStayInside)
{
    // A line break ends its line and belongs to it, but not to its end.
    CWrapText text;
    Prepare(text, "ab\n\ncd\n", 200);
    EXPECT_EQ(LineStarts(text), (std::vector<int> {0, 3, 4}));
    EXPECT_EQ(text.GetLineEnd(0), 2);
    EXPECT_EQ(text.GetLineEnd(1), 3);
    EXPECT_EQ(text.GetLineEnd(2), 6);

    Prepare(text, "ab\ncd", 200);
    EXPECT_EQ(text.GetLineCount(), 2);
    EXPECT_EQ(text.CalcSize(&m_dc), CSize(20, 36));
    EXPECT_EQ(text.GetLineTop(5), 18 + 18);
    EXPECT_EQ(text.LineOfChar(99), 1);
    EXPECT_EQ(text.LineOfChar(2), 0);
    EXPECT_EQ(text.LineOfChar(3), 1);
    EXPECT_EQ(text.GetLineStart(9), 3);
    EXPECT_EQ(text.GetLineStart(-3), 0);
    EXPECT_EQ(text.GetLineEnd(9), 5);
    int nSegments = -1;
    EXPECT_EQ(text.GetLineWidth(9, &nSegments), 0);
    EXPECT_EQ(nSegments, 0);

    // An empty text has no lines, and every query answers from the defaults.
    CWrapText empty;
    Prepare(empty, "", 200);
    EXPECT_EQ(empty.GetLineCount(), 0);
    EXPECT_EQ(empty.LineOfChar(3), 0);
    EXPECT_EQ(empty.GetLineStart(0), 0);
    EXPECT_EQ(empty.GetLineEnd(2), 0);
    EXPECT_EQ(empty.CharFromPoint(50, 50), 0);
    const WrapCaret caret = empty.GetCaretPos(0);
    EXPECT_EQ(caret.x, 0);
    EXPECT_EQ(caret.y, 0);
    EXPECT_EQ(caret.nHeight, 18);
    EXPECT_EQ(caret.nCharWidth, 1);
}

TEST_F(WrapLayoutTest, SegmentsEndAtColourAndSelectionEdges)
{
    CWrapText text;
    text.SetText("abcdefgh");
    text.SetDefaultFont(kMono, 12, 1, 0);
    text.SetColor(RGB(255, 0, 0), 2, 3);
    text.SetSel(5, 7);
    text.SetSize(300, 100);
    text.Layout(&m_dc);
    int nSegments = 0;
    EXPECT_EQ(text.GetLineWidth(0, &nSegments), 80);
    // 0-1, 2-3 red, 4, 5-6 selected, 7.
    EXPECT_EQ(nSegments, 5);
    EXPECT_FALSE(text.GetData()->m_bLayoutStale);
}

TEST_F(WrapLayoutTest, EveryCharacterLandsInOneSegmentInOrder)
{
    // Random texts, runs, selections, settings and boxes: the segments must
    // cover the text exactly, lines must go down, and the queries must stay
    // inside the text.
    unsigned seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(n));
    };
    const char alphabet[] = "abc  -.\nWMi\xe9";
    for (int nRound = 0; nRound < 200; ++nRound) {
        std::string str;
        for (int i = next(120); i > 0; --i)
            str += alphabet[next(sizeof(alphabet) - 1)];
        CWrapText text;
        text.SetText(str.c_str());
        const int nLength = text.GetLength();
        text.SetDefaultFont(kMono, 6 + next(30), 1, next(16));
        for (int i = next(4); i > 0 && nLength > 0; --i) {
            const int nStart = next(nLength);
            text.AddFontRun(kMono, 6 + next(40), nStart, nStart + next(10), 1, next(16));
            text.SetColor(RGB(next(255), 0, 0), next(nLength), nLength);
        }
        if (nLength > 1 && next(2) == 0)
            text.SetSel(static_cast<WORD>(next(nLength)), static_cast<WORD>(nLength));
        text.SetWordWrap(next(2));
        text.SetHyphenate(next(2));
        text.SetJustification(static_cast<WORD>(next(4)));
        text.SetScale(0.5 + next(4) * 0.5);
        text.SetSize(next(300), 200);
        text.Layout(&m_dc);

        int nExpected = 0;
        int nTop = -1;
        for (const WrapLine& line : text.GetData()->m_pLines->lines) {
            EXPECT_GT(line.nTop, nTop);
            nTop = line.nTop;
            ASSERT_FALSE(line.segments.empty());
            for (const WrapSegment& segment : line.segments) {
                ASSERT_EQ(segment.wStart, nExpected) << "round " << nRound;
                ASSERT_GT(segment.wLength, 0);
                nExpected += segment.wLength;
            }
        }
        EXPECT_EQ(nExpected, nLength) << "round " << nRound;
        for (int i = 0; i <= nLength; ++i) {
            const int nLine = text.LineOfChar(i);
            EXPECT_LE(text.GetLineStart(nLine), i);
            const WrapCaret caret = text.GetCaretPos(i);
            const int nHit = text.CharFromPoint(caret.x + 1, caret.y + 1);
            EXPECT_GE(nHit, 0);
            EXPECT_LE(nHit, nLength);
        }
    }
}

TEST_F(WrapLayoutTest, TallTextsAtHighZoomKeepTheirLineTops)
{
    // 72 points at 500 % is a 480-pixel font: 300 lines pass 32767 pixels
    // long before the last.
    TextOwnerServices services;
    services.pfnZoom = [](const CDrawObj*) { return 500; };
    SetTextOwnerServices(services);

    std::string str;
    for (int i = 0; i < 299; ++i)
        str += "a\n";
    str += "zz";
    CWrapText text;
    text.SetText(str.c_str());
    text.SetDefaultFont(kMono, 72, 1, 0);
    text.SetSize(2000, 1000);
    text.Layout(&m_dc);
    ASSERT_EQ(text.GetLineCount(), 300);
    const WrapFontRecord* pRecord = text.GetFontRecordAt(0);
    ASSERT_NE(pRecord, nullptr);
    const int nHeight = pRecord->nHeight;
    EXPECT_GT(nHeight, 500);
    const int nTop = text.GetLineTop(299);
    EXPECT_EQ(nTop, 299 * nHeight);
    EXPECT_GT(nTop, 32767);

    const int nWidth = text.GetLineWidth(299) / 2;
    EXPECT_EQ(text.CharFromPoint(nWidth / 4, nTop + 10), 598);
    EXPECT_EQ(text.CharFromPoint(nWidth - 1, nTop + nHeight - 1), 599);
    EXPECT_EQ(text.CharFromPoint(nWidth / 4, nTop - 1), 596);
    EXPECT_EQ(text.LineOfChar(599), 299);
    EXPECT_EQ(text.GetCaretPos(599).y, nTop);
    EXPECT_EQ(text.GetCaretPos(599).x, nWidth);
}

} // namespace
