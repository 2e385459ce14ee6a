// The colour and font runs of wrapped text: how they follow insertions and
// deletions, how a new run cuts, splits, joins or is dropped, range fonts,
// and the run string read from damaged designs.

#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "text/WrapText.h"
#include "text/WrapTextRuns.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class WrapRunsTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::Reset(); }
};

// The colour group of the run string without its brackets.
std::string Colors(const CWrapText& text)
{
    const std::string s = text.GetFormatString().Std();
    return s.substr(1, s.find("][") - 1);
}

std::string Fonts(const CWrapText& text)
{
    const std::string s = text.GetFormatString().Std();
    const size_t at = s.find("][") + 2;
    return s.substr(at, s.size() - at - 1);
}

// A text of n characters in black with the given colour runs.
void MakeText(CWrapText& text, int nLength, std::initializer_list<std::tuple<COLORREF, int, int>> runs)
{
    text.SetText(CString('x', nLength));
    text.SetColor(0, 0, kWrapTextEnd);
    for (const auto& [cr, s, e] : runs)
        text.SetColor(cr, s, e);
}

TEST_F(WrapRunsTest, TheRunStringsOfANewTextAndOfFiveRedCharacters)
{
    CWrapText text;
    CString fresh;
    fresh.Format("[(%lu,0,65000)][(Arial,1,0,24,0,65000)]", static_cast<unsigned long>(::GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_STREQ(text.GetFormatString(), fresh);
    EXPECT_STREQ(CWrapText::DefaultFormatString(), fresh);

    text.SetText("abcde");
    text.SetColor(RGB(0, 0, 0), 0, kWrapTextEnd);
    text.SetColor(RGB(255, 0, 0), 0, 4);
    EXPECT_STREQ(text.GetFormatString(), "[(255,0,4),(0,0,65000)][(Arial,1,0,24,0,65000)]");
}

TEST_F(WrapRunsTest, ReadsTheStoredExampleIntoItsCharacters)
{
    CWrapText text;
    text.SetText("abcde");
    text.SetFormatString("[(255,2,3),(0,0,65000)][(Arial,0,1,24,0,65000)]");
    const COLORREF expected[] = {0, 0, 255, 255, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(text.GetColorAt(i, FALSE), expected[i]) << i;
    CString face;
    int nSize = 0;
    int nCharSet = 0;
    int nStyle = 0;
    text.GetFontAt(4, face, nSize, nCharSet, nStyle);
    EXPECT_STREQ(face, "Arial");
    EXPECT_EQ(nSize, 24);
    EXPECT_EQ(nStyle, WRAP_STYLE_BOLD);
}

TEST_F(WrapRunsTest, InsertedCharactersTakeTheRunThatHeldTheirPosition)
{
    struct Case {
        int nAt;
        const char* insert;
        const char* expected;
    };
    // One red run over 2..3 of "xxxxxx".
    const Case cases[] = {
        {2, "A", "(255,2,4),(0,0,65000)"},   // at the run's start: it grows
        {3, "A", "(255,2,4),(0,0,65000)"},   // inside
        {4, "A", "(255,2,3),(0,0,65000)"},   // right after its end: it does not
        {1, "A", "(255,3,4),(0,0,65000)"},   // before: it moves
        {0, "ABC", "(255,5,6),(0,0,65000)"}, // several at once
        {-1, "A", "(255,2,3),(0,0,65000)"},  // appended
        {3, "A\r\nB", "(255,2,6),(0,0,65000)"}, // counted after normalising
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.insert + std::string(" at ") + std::to_string(c.nAt));
        CWrapText text;
        MakeText(text, 6, {{255, 2, 3}});
        EXPECT_TRUE(text.InsertText(c.insert, c.nAt));
        EXPECT_EQ(Colors(text), c.expected);
    }
    // The font runs follow the same rule, and one character does as a string.
    CWrapText text;
    text.SetText("xxxxxx");
    text.AddFontRun("Courier New", 12, 2, 3, 0, 0);
    EXPECT_TRUE(text.InsertChar('A', 2));
    EXPECT_EQ(Fonts(text), "(Courier New,0,0,12,2,4),(Arial,1,0,24,0,65000)");
}

TEST_F(WrapRunsTest, DeletingCutsTheRunsItOverlaps)
{
    struct Case {
        int nFirst;
        int nLast;
        const char* expected;
    };
    // One red run over 3..6 of ten characters.
    const Case cases[] = {
        {0, 1, "(255,1,4),(0,0,65000)"},  // wholly before: the run moves down
        {8, 9, "(255,3,6),(0,0,65000)"},  // wholly after: unchanged
        {2, 7, "(0,0,65000)"},            // the run lies inside: removed
        {3, 6, "(0,0,65000)"},            // exactly the run
        {5, 8, "(255,3,4),(0,0,65000)"},  // over the run's end
        {1, 4, "(255,1,2),(0,0,65000)"},  // over the run's start
        {4, 5, "(255,3,4),(0,0,65000)"},  // inside the run: it shrinks
        {-5, 0, "(255,2,5),(0,0,65000)"}, // a negative first is 0
        {6, -1, "(255,3,5),(0,0,65000)"}, // a negative last is the end
        {7, 3, "(255,3,6),(0,0,65000)"},  // backwards: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.nFirst) + ".." + std::to_string(c.nLast));
        CWrapText text;
        MakeText(text, 10, {{255, 3, 6}});
        text.DeleteRange(c.nFirst, c.nLast);
        EXPECT_EQ(Colors(text), c.expected);
    }
    // Runs of one colour brought together by a deletion become one.
    CWrapText text;
    MakeText(text, 10, {{255, 1, 2}, {255, 5, 6}});
    text.DeleteRange(3, 4);
    EXPECT_EQ(Colors(text), "(255,1,4),(0,0,65000)");
}

TEST_F(WrapRunsTest, ANewRunCutsSplitsJoinsOrIsDropped)
{
    struct Case {
        const char* name;
        std::initializer_list<std::tuple<COLORREF, int, int>> before;
        std::tuple<COLORREF, int, int> added;
        const char* expected;
    };
    const Case cases[] = {
        {"into a gap", {{1, 0, 1}}, {2, 4, 5}, "(1,0,1),(2,4,5),(0,0,65000)"},
        {"before the others", {{1, 6, 7}}, {2, 1, 2}, "(2,1,2),(1,6,7),(0,0,65000)"},
        {"splits the run it falls into", {{1, 2, 8}}, {2, 4, 5}, "(1,2,3),(2,4,5),(1,6,8),(0,0,65000)"},
        {"cuts both neighbours", {{1, 0, 3}, {3, 5, 8}}, {2, 2, 6}, "(1,0,1),(2,2,6),(3,7,8),(0,0,65000)"},
        {"removes the runs inside", {{1, 3, 3}, {3, 5, 5}}, {2, 2, 6}, "(2,2,6),(0,0,65000)"},
        {"joins the run before", {{1, 2, 3}}, {1, 4, 5}, "(1,2,5),(0,0,65000)"},
        {"joins the run after", {{1, 6, 8}}, {1, 4, 5}, "(1,4,8),(0,0,65000)"},
        {"joins both", {{1, 0, 1}, {1, 6, 8}}, {1, 2, 5}, "(1,0,8),(0,0,65000)"},
        {"dropped inside its own colour", {{1, 2, 8}}, {1, 3, 4}, "(1,2,8),(0,0,65000)"},
        {"dropped as the default", {{1, 0, 1}}, {0, 4, 5}, "(1,0,1),(0,0,65000)"},
        {"the default colour splits a run", {{1, 2, 8}}, {0, 4, 5}, "(1,2,3),(1,6,8),(0,0,65000)"},
        {"a new default leaves no run of its colour", {{1, 2, 3}, {2, 5, 6}}, {2, 0, 65000}, "(1,2,3),(2,0,65000)"},
        {"backwards: nothing", {{1, 2, 3}}, {2, 5, 4}, "(1,2,3),(0,0,65000)"},
        {"the whole range sets the default", {{1, 2, 3}}, {2, 0, 65000}, "(1,2,3),(2,0,65000)"},
        {"clamped to the end mark", {}, {2, 3, 70000}, "(2,3,65000),(0,0,65000)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWrapText text;
        MakeText(text, 10, c.before);
        const auto& [cr, s, e] = c.added;
        text.SetColor(cr, s, e);
        EXPECT_EQ(Colors(text), c.expected);
    }
}

TEST_F(WrapRunsTest, FontRangeChangesTheRangeOnlyAndTogglesStyles)
{
    CWrapText text;
    text.SetText("abcdefgh");
    text.AddFontRun("Courier New", 12, 2, 5, 0, WRAP_STYLE_ITALIC);
    const CString before = text.GetFormatString();

    text.SetFontRange(4, 6, "", 0, WRAP_STYLE_BOLD);
    struct Expected {
        const char* face;
        int nSize;
        int nStyle;
    };
    const Expected expected[] = {
        {"Arial", 24, 0}, {"Arial", 24, 0}, {"Courier New", 12, WRAP_STYLE_ITALIC}, {"Courier New", 12, WRAP_STYLE_ITALIC},
        {"Courier New", 12, WRAP_STYLE_ITALIC | WRAP_STYLE_BOLD}, {"Courier New", 12, WRAP_STYLE_ITALIC | WRAP_STYLE_BOLD},
        {"Arial", 24, WRAP_STYLE_BOLD}, {"Arial", 24, 0},
    };
    for (int i = 0; i < 8; ++i) {
        CString face;
        int nSize = 0;
        int nCharSet = 0;
        int nStyle = 0;
        text.GetFontAt(i, face, nSize, nCharSet, nStyle);
        EXPECT_STREQ(face, expected[i].face) << i;
        EXPECT_EQ(nSize, expected[i].nSize) << i;
        EXPECT_EQ(nStyle, expected[i].nStyle) << i;
    }
    // Toggling again gives back exactly the runs there were.
    text.SetFontRange(4, 6, "", 0, WRAP_STYLE_BOLD);
    EXPECT_STREQ(text.GetFormatString(), before);

    // A face and size replace those of every character in the range; a
    // negative size counts as its size.
    text.SetFontRange(0, 7, "Times New Roman", -18, 0);
    EXPECT_EQ(Fonts(text), "(Times New Roman,1,0,18,0,1),(Times New Roman,0,2,18,2,5),(Times New Roman,1,0,18,6,7),"
                           "(Arial,1,0,24,0,65000)");

    // An empty text changes its default font.
    CWrapText empty;
    empty.SetFontRange(0, 0, "", 30, WRAP_STYLE_UNDERLINE);
    EXPECT_EQ(Fonts(empty), "(Arial,1,4,30,0,65000)");
}

TEST_F(WrapRunsTest, DeletingEverythingKeepsTheLookOfTheFirstCharacter)
{
    CWrapText text;
    MakeText(text, 5, {{255, 0, 1}});
    text.AddFontRun("Courier New", 12, 0, 0, 0, WRAP_STYLE_BOLD);
    text.DeleteRange(0, -1);
    EXPECT_EQ(text.GetLength(), 0);
    EXPECT_STREQ(text.GetFormatString(), "[(255,0,65000)][(Courier New,0,1,12,0,65000)]");
    // What is typed next looks the same.
    text.InsertText("new", 0);
    EXPECT_EQ(text.GetColorAt(2, FALSE), 255u);
}

TEST_F(WrapRunsTest, FontRecordsAreSharedAndCounted)
{
    CWrapText text;
    text.SetText("0123456789");
    WrapFontRecord* pDefault = text.GetFontRecordAt(-1);
    ASSERT_NE(pDefault, nullptr);
    EXPECT_EQ(pDefault->nRefs, 1);

    text.AddFontRun("Courier New", 12, 0, 1, 0, 0);
    text.AddFontRun("Courier New", 12, 5, 6, 1, 0); // the character set is not compared
    WrapFontRecord* pCourier = text.GetFontRecordAt(0);
    ASSERT_NE(pCourier, nullptr);
    EXPECT_EQ(text.GetFontRecordAt(5), pCourier);
    EXPECT_EQ(pCourier->nRefs, 2);
    EXPECT_EQ(pCourier->nCharSet, 0);
    EXPECT_NE(pCourier->hFont, nullptr);

    // A split holds the record once more; removing runs lets it go again.
    text.AddFontRun("Arial", 24, 6, 6, 1, 0);
    EXPECT_EQ(pCourier->nRefs, 2);
    text.AddFontRun("Arial", 30, 0, 0, 1, 0);
    EXPECT_EQ(pCourier->nRefs, 2);
    text.AddFontRun("Times New Roman", 8, 3, 3, 1, 0);
    text.AddFontRun("Courier New", 12, 2, 4, 0, 0);
    EXPECT_EQ(Fonts(text), "(Arial,1,0,30,0,0),(Courier New,0,0,12,1,5),(Arial,1,0,24,0,65000)");
    EXPECT_EQ(pCourier->nRefs, 1);
    EXPECT_EQ(pDefault->nRefs, 1);

    // A default font made of an existing record shares it, and the run of
    // that font has nothing left to say.
    text.SetDefaultFont("Courier New", 12, 0, 0);
    EXPECT_EQ(text.GetFontRecordAt(-1), pCourier);
    EXPECT_EQ(pCourier->nRefs, 1);
    EXPECT_EQ(Fonts(text), "(Arial,1,0,30,0,0),(Courier New,0,0,12,0,65000)");
}

TEST_F(WrapRunsTest, ADamagedRunStringKeepsWhatWasReadAndNeverReadsPastItsEnd)
{
    struct Case {
        const char* name;
        const char* runs;
        const char* expected;
    };
    const std::string longFace(200, 'F');
    const std::string longRuns = "[(1,0,0)][(" + longFace + ",0,0,12,1,1)]";
    const std::string longExpected =
        "[(1,0,0),(0,0,65000)][(" + longFace.substr(0, 40) + ",0,0,12,1,1),(Arial,1,0,24,0,65000)]";
    const Case cases[] = {
        {"a missing ) ends the reading", "[(1,0,0),(2,1,1", "[(1,0,0),(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"in the font group too", "[(1,0,0)][(Courier New,0,0,12,1,1),(Times", 
            "[(1,0,0),(0,0,65000)][(Courier New,0,0,12,1,1),(Arial,1,0,24,0,65000)]"},
        {"short groups are skipped", "[(1,0),(2,1,1)][(Courier New,0,0,12)]",
            "[(2,1,1),(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"junk numbers are skipped", "[(x,0,0),(2,-1,1),(3,2,2)][(Courier New,a,0,12,1,1)]",
            "[(3,2,2),(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"a run backwards is skipped", "[(1,3,2),(2,1,1)]", "[(2,1,1),(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"positions are clamped to the end mark", "[(1,70000,99999999999),(2,3,4294967296)]",
            "[(2,3,65000),(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"sizes are clamped", "[(1,0,0)][(Courier New,0,0,100000,1,1),(Times,0,0,0,2,2)]",
            "[(1,0,0),(0,0,65000)][(Courier New,0,0,999,1,1),(Times,0,0,1,2,2),(Arial,1,0,24,0,65000)]"},
        {"the selection mark is no colour", "[(4294967295,1,1)]", "[(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"a font group without a face", "[(1,0,0)][(nothing)]", "[(1,0,0),(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"only an opening", "[", "[(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"no group", "abc", "[(0,0,65000)][(Arial,1,0,24,0,65000)]"},
        {"faces are cut to 40", longRuns.c_str(), longExpected.c_str()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWrapText text;
        text.SetText("abcdef");
        text.SetColor(0, 0, kWrapTextEnd);
        text.SetFormatString(c.runs);
        EXPECT_STREQ(text.GetFormatString(), c.expected);
    }
    // The font keeps 31 characters of a long face.
    CWrapText text;
    text.SetText("abc");
    text.SetFormatString(longRuns.c_str());
    LOGFONT lf{};
    ASSERT_NE(::GetObject(text.GetFontRecordAt(1)->hFont, sizeof(lf), &lf), 0);
    EXPECT_EQ(std::string(lf.lfFaceName), longFace.substr(0, 31));
}

TEST_F(WrapRunsTest, StoredRunsKeepTheirColourWhenTheDefaultChanged)
{
    // Black characters in a text whose default became red: reading the
    // string must not take them for the default it had before.
    CWrapText text;
    text.SetText("abcdef");
    text.SetColor(255, 0, kWrapTextEnd);
    text.SetColor(0, 2, 3);
    const CString runs = text.GetFormatString();
    EXPECT_STREQ(runs, "[(0,2,3),(255,0,65000)][(Arial,1,0,24,0,65000)]");

    CWrapText back;
    back.SetText(text.GetText());
    back.SetFormatString(runs);
    EXPECT_STREQ(back.GetFormatString(), runs);
    EXPECT_EQ(back.GetColorAt(2, FALSE), 0u);
    EXPECT_EQ(back.GetColorAt(4, FALSE), 255u);
}

TEST_F(WrapRunsTest, TheSelectionMarksItsColours)
{
    CWrapText text;
    MakeText(text, 6, {{255, 0, 5}});
    text.SetSel(2, 4);
    EXPECT_TRUE(text.HasSel());
    EXPECT_EQ(text.GetColorAt(1, TRUE), 255u);
    EXPECT_EQ(text.GetColorAt(2, TRUE), static_cast<COLORREF>(-1));
    EXPECT_EQ(text.GetColorAt(3, TRUE), static_cast<COLORREF>(-1));
    EXPECT_EQ(text.GetColorAt(4, TRUE), 255u);
    EXPECT_EQ(text.GetColorAt(3, FALSE), 255u);
    text.SetSel(3, 3);
    EXPECT_FALSE(text.HasSel());
    WORD wStart = 0;
    WORD wEnd = 1;
    text.GetSel(wStart, wEnd);
    EXPECT_EQ(wStart, kWrapNoSelection);
    EXPECT_EQ(wEnd, 0);
}

} // namespace
