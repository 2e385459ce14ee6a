// Layout and fitting of block text, worked out by hand with 12-point
// Liberation Mono on a 96-dpi memory DC: 10 pixels a character, lines 18
// pixels apart; margins of 2 leave 4 pixels less for the text.

#include "text/TextBlock.h"

#include "app/PrefData.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kMono = "Liberation Mono";

class TextBlockLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        m_savedFlags = thePrefs.Flags;
        thePrefs.Flags = 0;
        ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
    }
    void TearDown() override { thePrefs.Flags = m_savedFlags; }

    // A block growing with its text (not fitted) in 12-point mono.
    void Prepare(CTextBlock& block, const char* pszText, int nPoints = 12)
    {
        block.SetFont(-nPoints, kMono, 0);
        block.SetText(pszText);
        block.MakeFont(&m_dc);
    }

    // The laid text with soft breaks shown: CR as '|', form feed as '#',
    // LF as '/'.
    static CString Shown(const CTextBlock& block)
    {
        CString shown;
        const CString& laid = block.GetLaidText();
        for (int i = 0; i < laid.GetLength(); ++i) {
            const char ch = laid[i];
            shown += ch == '\r' ? '|' : ch == '\f' ? '#' : ch == '\n' ? '/' : ch;
        }
        return shown;
    }

    CString Wrap(CTextBlock& block, int nWidth, int nHeight = 1000)
    {
        block.WrapLines(&m_dc, CRect(0, 0, nWidth, nHeight));
        return Shown(block);
    }

    CDC m_dc;
    WORD m_savedFlags = 0;
};

TEST_F(TextBlockLayoutTest, LinesBreakAfterTheLastBreakCharacterThatFits)
{
    CTextBlock block(nullptr);
    Prepare(block, "aaa bbb ccc");
    // 51 pixels take five characters: each line ends after its blank.
    EXPECT_STREQ(Wrap(block, 55), "aaa |bbb |ccc");
    // 71 take seven; the blank that overflows stays at the line's end.
    EXPECT_STREQ(Wrap(block, 75), "aaa bbb |ccc");
    // Wrapping again replaces the old soft breaks; wide enough, none.
    EXPECT_STREQ(Wrap(block, 500), "aaa bbb ccc");
    // GetText never shows the soft breaks.
    Wrap(block, 55);
    EXPECT_STREQ(block.GetText(), "aaa bbb ccc");

    // Each character of the break set ends a line; any other character is
    // cut at the one that overflows.
    for (const char ch : std::string(" ;-?!)")) {
        CString text = "aa";
        text += ch;
        text += "bbbb";
        Prepare(block, text);
        CString expected = "aa";
        expected += ch;
        expected += "|bbbb";
        EXPECT_STREQ(Wrap(block, 55), expected) << "break after '" << ch << "'";
    }
    Prepare(block, "aa,bbbb");
    EXPECT_STREQ(Wrap(block, 55), "aa,bb|bb");
    // Hard line breaks stay and start a new line of their own.
    Prepare(block, "aaa bbb\nccc");
    EXPECT_STREQ(Wrap(block, 55), "aaa |bbb/ccc");
}

TEST_F(TextBlockLayoutTest, OverflowGoesToTheNextColumnUntilTheLastColumn)
{
    CTextBlock block(nullptr);
    block.SetColumns(2);
    // 120 pixels in two columns: 19 apart, 50 wide, 46 for text (four
    // characters); 40 pixels hold two lines of 18.
    Prepare(block, "aaa bbb ccc ddd eee fff");
    EXPECT_EQ(block.GetColumnGap(&m_dc), 19);
    EXPECT_EQ(block.GetColumnWidth(&m_dc, 120), 50);
    EXPECT_STREQ(Wrap(block, 120, 40), "aaa |bbb #ccc |ddd |eee |fff");
    EXPECT_EQ(block.CountTextColumns(), 2);
    EXPECT_STREQ(block.NextColumnText(2), "ccc \rddd \reee \rfff");
    EXPECT_STREQ(block.NextColumnText(3), "");

    // A hard break at the column's end takes the column break behind it.
    Prepare(block, "a\nb\nc");
    EXPECT_STREQ(Wrap(block, 120, 40), "a/b/#c");

    // Three columns on 300 pixels at 96 dpi.
    block.SetColumns(3);
    EXPECT_EQ(block.GetColumnGap(&m_dc), 19);
    EXPECT_EQ(block.GetColumnWidth(&m_dc, 300), 87);
}

TEST_F(TextBlockLayoutTest, CaretAndAnchorStayOnTheirCharactersAcrossWrapping)
{
    CTextBlock block(nullptr);
    Prepare(block, "aaa bbb ccc");
    block.m_nCaret = 9;  // before the second 'c'
    block.m_nAnchor = 5; // before the second 'b'
    EXPECT_STREQ(Wrap(block, 55), "aaa |bbb |ccc");
    EXPECT_EQ(block.m_nCaret, 11);
    EXPECT_EQ(block.m_nAnchor, 6);
    EXPECT_STREQ(Wrap(block, 75), "aaa bbb |ccc");
    EXPECT_EQ(block.m_nCaret, 10);
    EXPECT_EQ(block.m_nAnchor, 5);
    // A caret at the start of a line that breaks stays at that start.
    block.m_nCaret = 9;
    EXPECT_STREQ(Wrap(block, 55), "aaa |bbb |ccc");
    EXPECT_EQ(block.m_nCaret, 10);
}

TEST_F(TextBlockLayoutTest, EveryLineTakesACharacterHoweverNarrowTheColumn)
{
    CTextBlock block(nullptr);
    // A frame narrower than one character.
    Prepare(block, "abc");
    EXPECT_STREQ(Wrap(block, 5), "a|b|c");
    // Ten columns become five; in 20 pixels they have a negative width,
    // and one line each of 18 pixels: the last column takes the rest.
    block.SetColumns(10);
    Prepare(block, "abcdef");
    EXPECT_STREQ(Wrap(block, 20, 18), "a#b#c#d#e|f");
    // A long word without any break character in a zero-width frame.
    Prepare(block, CString('x', 2000));
    block.SetColumns(1);
    Wrap(block, 0, 0);
    EXPECT_EQ(block.GetLength(), 3999);
}

TEST_F(TextBlockLayoutTest, MeasuringCountsLinesPerColumnAndAddsTheLeftMargin)
{
    CTextBlock block(nullptr);
    Prepare(block, "aaaa\nbb\ncc");
    EXPECT_EQ(block.MeasureText(&m_dc, 0), CSize(42, 54));
    EXPECT_EQ(block.CountTextLines(), 3);
    // The minimum width counts by alignment: right and full take it, centre
    // half of what is missing, left nothing.
    block.m_nAlignment = 1;
    EXPECT_EQ(block.MeasureText(&m_dc, 100).cx, 102);
    block.m_nAlignment = 2;
    EXPECT_EQ(block.MeasureText(&m_dc, 100).cx, 72);
    block.m_nAlignment = 0;
    EXPECT_EQ(block.MeasureText(&m_dc, 100).cx, 42);
    // Three columns: ceil(3 / 3) lines high, and three widest lines wide
    // with two gaps of 19 between them.
    block.SetColumns(3);
    EXPECT_EQ(block.MeasureText(&m_dc, 0), CSize(3 * 40 + 2 * 19 + 2, 18));
    // A column break behind a hard break adds no line.
    block.SetLaidText("aa\n\fbb");
    EXPECT_EQ(block.CountTextLines(), 2);
    EXPECT_EQ(block.CountTextColumns(), 2);
}

TEST_F(TextBlockLayoutTest, FittingStopsAtTheExactFitElseTakesTheLargestSizeThatFits)
{
    CTextBlock block(nullptr);
    Prepare(block, "aaaa");
    block.m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    // "aaaa" at 12 points is 40 + 2 wide and 18 high: only 12 points gives
    // exactly that.
    EXPECT_EQ(block.FitText(&m_dc, CRect(0, 0, 42, 18)), CSize(42, 18));
    EXPECT_EQ(block.m_nFittedHeight, -12);
    EXPECT_DOUBLE_EQ(block.m_dScaleX, 1.0);

    for (const CRect& frame : {CRect(0, 0, 47, 20), CRect(0, 0, 300, 40), CRect(10, 10, 610, 810)}) {
        const CSize size = block.FitText(&m_dc, frame);
        EXPECT_LE(size.cx, frame.Width());
        EXPECT_LE(size.cy, frame.Height());
        const int nPoints = -block.m_nFittedHeight;
        block.m_nFittedHeight = -(nPoints + 1);
        block.MakeFont(&m_dc);
        const CSize bigger = block.MeasureText(&m_dc, 0);
        EXPECT_TRUE(bigger.cx > frame.Width() || bigger.cy > frame.Height()) << nPoints << " points";
    }
    // A frame of no width or height answers 1 x 1.
    EXPECT_EQ(block.FitText(&m_dc, CRect(5, 5, 5, 80)), CSize(1, 1));
    EXPECT_EQ(block.FitText(&m_dc, CRect(5, 5, 80, 5)), CSize(1, 1));
}

TEST_F(TextBlockLayoutTest, AFittedBlockSpreadsItsLinesOverItsColumns)
{
    CTextBlock block(nullptr);
    Prepare(block, "a\nb\nc\nd\ne\nf");
    block.m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    block.SetColumns(3);
    block.FitText(&m_dc, CRect(0, 0, 300, 100));
    EXPECT_STREQ(Shown(block), "a/b/#c/d/#e/f");
    EXPECT_STREQ(block.GetText(), "a\nb\nc\nd\ne\nf");
}

TEST_F(TextBlockLayoutTest, KeepScaleFindsTheStoredProportionAndStopsAt999Points)
{
    CTextBlock block(nullptr);
    Prepare(block, "aaaa");
    block.m_dScaleX = 0.5;
    block.m_dScaleY = 0.5;
    const CSize size = block.KeepScale(&m_dc, CRect(0, 0, 200, 100));
    EXPECT_LE(size.cx, 100);
    EXPECT_LE(size.cy, 50);
    // One pixel more breaks the proportion.
    block.m_nFixedPixelHeight -= 1;
    block.MakeFont(&m_dc);
    const CSize bigger = block.MeasureText(&m_dc, 0);
    EXPECT_TRUE(bigger.cx > 100 || bigger.cy > 50);

    // Fitting with the keep flag uses it once, instead of wrapping.
    block.m_nFixedPixelHeight = 0;
    block.m_wFlags |= TEXTBLOCK_KEEP_PROPORTION | TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE;
    block.FitText(&m_dc, CRect(0, 0, 200, 100));
    EXPECT_FALSE(block.m_wFlags & TEXTBLOCK_KEEP_PROPORTION);
    EXPECT_NE(block.m_nFixedPixelHeight, 0);

    // A huge stored scale grows the font only to 999 points (1332 pixels).
    block.m_nFixedPixelHeight = 0;
    block.m_dScaleX = 1e9;
    block.m_dScaleY = 1e9;
    block.KeepScale(&m_dc, CRect(0, 0, 10, 10));
    EXPECT_EQ(block.m_nFixedPixelHeight, -1332);
}

TEST_F(TextBlockLayoutTest, RotatedBoundsSpanTheTurnedCornersInEveryQuadrant)
{
    CTextBlock block(nullptr);
    const CRect frame(0, 0, 100, 50);
    block.SetGeometry(0, frame, frame);
    EXPECT_EQ(block.GetRotatedBounds(), frame);

    // Half sizes of the turned 100 x 50 frame about (50, 25).
    for (int nAngle : {30, 120, 210, 300, 90, 180, 270}) {
        block.SetGeometry(nAngle, frame, frame);
        const double a = nAngle * 3.14159265358979 / 180.0;
        const double hw = 50 * std::fabs(std::cos(a)) + 25 * std::fabs(std::sin(a));
        const double hh = 50 * std::fabs(std::sin(a)) + 25 * std::fabs(std::cos(a));
        const CRect bounds = block.GetRotatedBounds();
        EXPECT_NEAR(bounds.left, 50 - hw, 1.01) << nAngle;
        EXPECT_NEAR(bounds.right, 50 + hw, 1.01) << nAngle;
        EXPECT_NEAR(bounds.top, 25 - hh, 1.01) << nAngle;
        EXPECT_NEAR(bounds.bottom, 25 + hh, 1.01) << nAngle;
    }
    // A frame that is upside down keeps its orientation.
    const CRect flipped(0, 50, 100, 0);
    block.SetGeometry(30, flipped, flipped);
    const CRect bounds = block.GetRotatedBounds();
    EXPECT_GT(bounds.top, bounds.bottom);
    EXPECT_LT(bounds.left, bounds.right);
    // 360 is no turn at all.
    block.m_nAngle = 360;
    EXPECT_EQ(block.GetRotatedBounds(), flipped);
    EXPECT_EQ(block.m_nAngle, 0);
}

TEST_F(TextBlockLayoutTest, SizeForTheOwnerFollowsTheFontOnceMade)
{
    CTextBlock block(nullptr);
    block.SetFont(-12, kMono, 0);
    block.SetText("aaaa");
    EXPECT_EQ(block.CalcSize(&m_dc), CSize(200, 200));
    block.MakeFont(&m_dc);
    EXPECT_EQ(block.CalcSize(&m_dc), CSize(42, 18));
    // Sizes from a file that are no sizes still make a font of 1..999
    // points.
    block.m_logfont.lfHeight = 0;
    block.MakeFont(&m_dc);
    EXPECT_GT(block.CalcSize(&m_dc).cy, 0);
    block.m_logfont.lfHeight = -100000;
    block.MakeFont(&m_dc);
    EXPECT_LE(block.CalcSize(&m_dc).cy, 1600);
}

} // namespace

namespace {

TEST_F(TextBlockLayoutTest, TenThousandCharactersWrapAndFitWithoutHanging)
{
    CString text;
    while (text.GetLength() < 10000)
        text += "sale on shirts and mugs now ";
    CTextBlock block(nullptr);
    Prepare(block, text);
    // Wrapped into a narrow frame: every line holds at most nine characters
    // and the blank that ends it.
    block.WrapLines(&m_dc, CRect(0, 0, 95, 1000000));
    const CString& laid = block.GetLaidText();
    int nLongest = 0;
    int nRun = 0;
    for (int i = 0; i < laid.GetLength(); ++i) {
        nRun = laid[i] == '\r' ? 0 : nRun + 1;
        nLongest = std::max(nLongest, nRun);
    }
    EXPECT_LE(nLongest, 10);
    EXPECT_STREQ(block.GetText(), text);
    // Fitted to a frame, one hard line of it: the smallest size it is.
    block.m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    const CSize size = block.FitText(&m_dc, CRect(0, 0, 600, 400));
    EXPECT_EQ(block.m_nFittedHeight, -1);
    EXPECT_GT(size.cx, 600);
}

} // namespace
