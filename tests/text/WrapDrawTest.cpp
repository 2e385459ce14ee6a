// Drawing of wrapped text, read back at probe points of memory bitmaps: run
// colours, the selection, turned and mirrored text drawn as outlines, the
// hyphen of a cut word and the lines that fit the box. 24-point Liberation
// Mono: 19 pixels a character, 37 high, ascent 27.

#include "text/WrapText.h"
#include "text/WrapTextRuns.h"

#include "platform/gdi/Dc.h"
#include "platform/ui/Headless.h"
#include "tests/support/MemoryCanvas.h"
#include "tests/text/CanvasInkSupport.h"

#include <gtest/gtest.h>

namespace {

using testing_support::MemoryCanvas;

constexpr const char* kMono = "Liberation Mono";
constexpr COLORREF kCanvas = RGB(1, 2, 3);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

using texttest::Ink;

// The pixels of a region that differ from the canvas colour (or, with
// crOnly, that are exactly that colour).
Ink InkIn(MemoryCanvas& canvas, const CRect& area, COLORREF crOnly = CLR_INVALID)
{
    return texttest::InkIn(canvas, area, kCanvas, crOnly);
}

// The column (or, with bRows, the row) of a region holding the most ink.
int Densest(MemoryCanvas& canvas, const CRect& area, bool bRows)
{
    int nBest = 0;
    int nMost = -1;
    for (int i = bRows ? area.top : area.left; i < (bRows ? area.bottom : area.right); ++i) {
        const CRect strip = bRows ? CRect(area.left, i, area.right, i + 1) : CRect(i, area.top, i + 1, area.bottom);
        const int n = InkIn(canvas, strip).nCount;
        if (n > nMost) {
            nMost = n;
            nBest = i;
        }
    }
    return nBest;
}

class WrapDrawTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::Reset(); }

    static void Prepare(CWrapText& text, const char* psz, int nPoints = 24)
    {
        text.SetText(psz);
        text.SetDefaultFont(kMono, nPoints, 1, 0);
        text.SetColor(RGB(0, 0, 0), 0, kWrapTextEnd);
    }
};

TEST_F(WrapDrawTest, RunsHaveTheirColoursAndTheSelectionTheBackgroundsOnItsInverse)
{
    // Words of 76 pixels, 95 apart.
    CWrapText text;
    Prepare(text, "HHHH HHHH HHHH");
    text.SetColor(kRed, 0, 3);
    text.SetColor(kBlue, 5, 8);
    text.SetBackgroundColor(RGB(255, 255, 0));
    text.SetSel(10, 14);
    MemoryCanvas canvas(300, 60);
    text.Draw(canvas.DC(), CRect(0, 0, 300, 60), 0, FALSE, FALSE);

    EXPECT_GT(InkIn(canvas, CRect(0, 0, 76, 60), kRed).nCount, 50);
    EXPECT_EQ(InkIn(canvas, CRect(0, 0, 76, 60), kBlue).nCount, 0);
    EXPECT_GT(InkIn(canvas, CRect(95, 0, 171, 60), kBlue).nCount, 50);
    EXPECT_EQ(InkIn(canvas, CRect(95, 0, 171, 60), kRed).nCount, 0);
    EXPECT_EQ(canvas.At(96, 1), kCanvas);
    // The selected word: yellow strokes on a blue cell, nothing black.
    EXPECT_EQ(canvas.At(191, 1), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(260, 34), RGB(0, 0, 255));
    EXPECT_GT(InkIn(canvas, CRect(190, 0, 266, 37), RGB(255, 255, 0)).nCount, 50);
    EXPECT_EQ(InkIn(canvas, CRect(190, 0, 266, 37), RGB(0, 0, 0)).nCount, 0);
    EXPECT_EQ(InkIn(canvas, CRect(0, 37, 300, 60)).nCount, 0);
}

TEST_F(WrapDrawTest, PlainTextIsTextOutputAtTheBoxCorner)
{
    CWrapText text;
    Prepare(text, "Hxg");
    MemoryCanvas drawn(120, 60);
    text.Draw(drawn.DC(), CRect(10, 5, 120, 60), 0, FALSE, FALSE);

    MemoryCanvas expected(120, 60);
    CDC* pDC = expected.DC();
    HGDIOBJ hOld = pDC->SelectObject(static_cast<HGDIOBJ>(WrapRecordFont(text.GetFontRecordAt(0))));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->TextOut(10, 5, "Hxg", 3);
    pDC->SelectObject(hOld);

    // While an editor works on the text, a turned text is drawn plainly too.
    MemoryCanvas editing(120, 60);
    text.m_bEditing = TRUE;
    text.Draw(editing.DC(), CRect(10, 5, 120, 60), 90, TRUE, FALSE);

    int nDiffer = 0;
    int nDifferEditing = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            nDiffer += drawn.At(x, y) != expected.At(x, y);
            nDifferEditing += editing.At(x, y) != expected.At(x, y);
        }
    }
    EXPECT_EQ(nDiffer, 0);
    EXPECT_EQ(nDifferEditing, 0);
    EXPECT_GT(InkIn(drawn, CRect(0, 0, 120, 60)).nCount, 100);
}

TEST_F(WrapDrawTest, AQuarterTurnIsDrawnInsideTheTurnedBox)
{
    CWrapText text;
    Prepare(text, "HHHH");
    MemoryCanvas canvas(300, 300);
    // Box 200 x 60 about (150, 150): turned, it spans x 120..180 and
    // y 50..250.
    text.Draw(canvas.DC(), CRect(50, 120, 250, 180), 90, FALSE, FALSE);

    const Ink ink = InkIn(canvas, CRect(0, 0, 300, 300));
    EXPECT_GT(ink.nCount, 200);
    EXPECT_GE(ink.bounds.left, 119);
    EXPECT_LE(ink.bounds.right, 181);
    EXPECT_GE(ink.bounds.top, 49);
    EXPECT_LE(ink.bounds.bottom, 251);
    // The text starts at the box's left, which turns to the bottom: it reads
    // upward from y 250 along the left of the turned box.
    EXPECT_GT(ink.bounds.top, 150);
    EXPECT_LT(ink.bounds.right, 160);
    EXPECT_GT(ink.bounds.bottom, 240);
}

TEST_F(WrapDrawTest, MirroredTextIsAMirrorImageAtTheFarSide)
{
    CWrapText text;
    Prepare(text, "L");
    const CRect box(0, 0, 200, 60);

    MemoryCanvas normal(200, 60);
    text.Draw(normal.DC(), box, 0, FALSE, FALSE);
    const Ink plain = InkIn(normal, box);
    ASSERT_GT(plain.nCount, 50);
    EXPECT_LT(plain.bounds.right, 20);
    EXPECT_LT(Densest(normal, plain.bounds, false), plain.bounds.CenterPoint().x);

    MemoryCanvas mirrored(200, 60);
    text.Draw(mirrored.DC(), box, 0, TRUE, FALSE);
    const Ink flipped = InkIn(mirrored, box);
    ASSERT_GT(flipped.nCount, 50);
    EXPECT_GT(flipped.bounds.left, 180);
    EXPECT_LE(flipped.bounds.right, 200);
    // The stem of the L stands on the right now.
    EXPECT_GT(Densest(mirrored, flipped.bounds, false), flipped.bounds.CenterPoint().x);
    EXPECT_NEAR(flipped.bounds.Width(), plain.bounds.Width(), 2);
    EXPECT_NEAR(flipped.nCount, plain.nCount, plain.nCount / 5);

    // Upside down: a T's bar is at the bottom of a glyph at the box's bottom.
    Prepare(text, "T");
    MemoryCanvas upright(200, 60);
    text.Draw(upright.DC(), box, 0, FALSE, FALSE);
    const Ink t = InkIn(upright, box);
    EXPECT_LT(Densest(upright, t.bounds, true), t.bounds.CenterPoint().y);
    MemoryCanvas upsideDown(200, 60);
    text.Draw(upsideDown.DC(), box, 0, FALSE, TRUE);
    const Ink tFlipped = InkIn(upsideDown, box);
    ASSERT_GT(tFlipped.nCount, 30);
    EXPECT_GT(Densest(upsideDown, tFlipped.bounds, true), tFlipped.bounds.CenterPoint().y);
    EXPECT_GT(tFlipped.bounds.top, 23);
    EXPECT_LT(tFlipped.bounds.right, 20);
}

TEST_F(WrapDrawTest, OnPaperAReversedBoxMirrorsAsTheFlagsDo)
{
    CWrapText text;
    Prepare(text, "L");
    struct Case {
        CRect rect;
        BOOL bMirrorX;
        bool bMirrored;
    };
    const Case cases[] = {
        {CRect(0, 0, 200, 60), FALSE, false},
        {CRect(200, 0, 0, 60), FALSE, true},
        {CRect(0, 0, 200, 60), TRUE, true},
    };
    for (const Case& c : cases) {
        MemoryCanvas canvas(200, 60);
        canvas.DC()->m_bPrinting = TRUE;
        text.Draw(canvas.DC(), c.rect, 0, c.bMirrorX, FALSE);
        canvas.DC()->m_bPrinting = FALSE;
        const Ink ink = InkIn(canvas, CRect(0, 0, 200, 60));
        ASSERT_GT(ink.nCount, 30);
        EXPECT_EQ(ink.bounds.left > 100, c.bMirrored) << c.rect.left << " " << c.bMirrorX;
    }
}

TEST_F(WrapDrawTest, CutWordsButTheLastLineEndWithAHyphen)
{
    // 12-point characters are 10 pixels wide; the box leaves room for 7 and
    // the mark.
    CWrapText text;
    Prepare(text, "abcdefghijklmnopqrstu", 12);
    text.SetWordWrap(FALSE);
    text.SetHyphenate(TRUE);
    MemoryCanvas canvas(100, 100);
    text.Draw(canvas.DC(), CRect(0, 0, 84, 100), 0, FALSE, FALSE);
    ASSERT_EQ(text.GetLineCount(), 3);
    for (int nLine = 0; nLine < 3; ++nLine) {
        const Ink mark = InkIn(canvas, CRect(70, 18 * nLine, 80, 18 * nLine + 18));
        if (nLine < 2)
            EXPECT_GT(mark.nCount, 2) << nLine;
        else
            EXPECT_EQ(mark.nCount, 0);
    }
}

TEST_F(WrapDrawTest, OnlyLinesThatFitTheBoxAreDrawnFromTheFirstAsked)
{
    // 12 points: lines of 18 pixels at 0, 18 and 36 in a 40-pixel box.
    CWrapText text;
    Prepare(text, "H\nH\nH", 12);
    MemoryCanvas canvas(100, 100);
    text.Draw(canvas.DC(), CRect(0, 0, 100, 40), 0, FALSE, FALSE);
    EXPECT_GT(InkIn(canvas, CRect(0, 0, 100, 18)).nCount, 0);
    EXPECT_GT(InkIn(canvas, CRect(0, 18, 100, 36)).nCount, 0);
    EXPECT_EQ(InkIn(canvas, CRect(0, 36, 100, 100)).nCount, 0);

    MemoryCanvas scrolled(100, 100);
    text.Draw(scrolled.DC(), CRect(0, 0, 100, 40), 1, 0, FALSE, FALSE);
    EXPECT_GT(InkIn(scrolled, CRect(0, 18, 100, 36)).nCount, 0);
    EXPECT_EQ(InkIn(scrolled, CRect(0, 36, 100, 100)).nCount, 0);

    // A first line past the last draws nothing.
    MemoryCanvas past(100, 100);
    text.Draw(past.DC(), CRect(0, 0, 100, 40), 3, 0, FALSE, FALSE);
    EXPECT_EQ(InkIn(past, CRect(0, 0, 100, 100)).nCount, 0);

    // The text is laid out in the box it is drawn into, normalised.
    Prepare(text, "ab cd", 12);
    text.Draw(past.DC(), CRect(0, 0, 44, 100), 0, FALSE, FALSE);
    EXPECT_EQ(text.GetLineCount(), 2);
    text.Draw(past.DC(), CRect(100, 0, 0, 100), 0, FALSE, FALSE);
    EXPECT_EQ(text.GetLineCount(), 1);
}


} // namespace
