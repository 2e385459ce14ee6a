#include "text/TextBlock.h"

#include "app/PrefData.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class TextBlockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedFlags = thePrefs.Flags;
        m_savedFont = thePrefs.DefaultFont;
        m_savedColor = thePrefs.DefaultTextColor;
        m_savedColor2 = thePrefs.DefaultTextColor2;
    }
    void TearDown() override
    {
        thePrefs.Flags = m_savedFlags;
        thePrefs.DefaultFont = m_savedFont;
        thePrefs.DefaultTextColor = m_savedColor;
        thePrefs.DefaultTextColor2 = m_savedColor2;
    }
    WORD m_savedFlags = 0;
    LOGFONT m_savedFont{};
    COLORREF m_savedColor = 0;
    COLORREF m_savedColor2 = 0;
};

TEST_F(TextBlockTest, ANewBlockTakesTheDefaultTextFormat)
{
    thePrefs.Flags = 0x0001;
    thePrefs.DefaultFont = LOGFONT{};
    thePrefs.DefaultFont.lfHeight = -36;
    std::strcpy(thePrefs.DefaultFont.lfFaceName, "Times New Roman");
    thePrefs.DefaultTextColor = RGB(10, 20, 30);
    thePrefs.DefaultTextColor2 = RGB(40, 50, 60);
    CTextBlock fitted(nullptr);
    EXPECT_EQ(fitted.m_wFlags, TEXTBLOCK_AUTO_SIZE);
    EXPECT_TRUE(fitted.IsFixedSize());
    EXPECT_EQ(fitted.m_logfont.lfHeight, -36);
    EXPECT_STREQ(fitted.m_logfont.lfFaceName, "Times New Roman");
    EXPECT_EQ(fitted.m_crText, RGB(10, 20, 30));
    EXPECT_EQ(fitted.m_crShadow, RGB(40, 50, 60));
    EXPECT_EQ(fitted.m_nColumns, 1);
    EXPECT_EQ(fitted.m_nLeftMargin, 2);
    EXPECT_EQ(fitted.m_nRightMargin, 2);
    EXPECT_EQ(fitted.m_nFittedHeight, -10);
    EXPECT_EQ(fitted.m_dScaleX, 1.0);
    EXPECT_EQ(fitted.GetLength(), 0);

    thePrefs.Flags = 0;
    CTextBlock growing(nullptr);
    EXPECT_EQ(growing.m_wFlags, TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
}

TEST_F(TextBlockTest, TextLosesCarriageReturnsAndFormFeedsAndNotesMergeFields)
{
    CTextBlock block(nullptr);
    block.SetText("Dear\r\n@Name@,\fthanks");
    EXPECT_STREQ(block.GetText(), "Dear\n@Name@,thanks");
    EXPECT_TRUE(block.m_wFlags & TEXTBLOCK_MERGE_FIELDS);
    EXPECT_TRUE(block.m_wFlags & TEXTBLOCK_LAYOUT_STALE);
    block.SetText("mail me\\@home@ok");
    EXPECT_FALSE(block.m_wFlags & TEXTBLOCK_MERGE_FIELDS);
    block.SetText("one @ sign");
    EXPECT_FALSE(block.m_wFlags & TEXTBLOCK_MERGE_FIELDS);

    struct Case {
        const char* pszText;
        int nStart, nEnd;
    };
    // The closing sign lies at most 100 characters after the opening one.
    const CString far = "@" + CString('x', 99) + "@";
    const CString tooFar = "@" + CString('x', 100) + "@";
    for (const Case& c : {Case{"@a@", 0, 2}, Case{"x\\\\@a@", 3, 5}, Case{"\\@\\@a@b@", 3, 5},
             Case{"\\@@a@", -1, -1}, Case{"no fields", -1, -1}}) {
        int nStart = 0;
        int nEnd = 0;
        CTextBlock::FindMergeField(c.pszText, nStart, nEnd);
        EXPECT_EQ(nStart, c.nStart) << c.pszText;
        EXPECT_EQ(nEnd, c.nEnd) << c.pszText;
    }
    int nStart = 0;
    int nEnd = 0;
    EXPECT_TRUE(CTextBlock::FindMergeField(far, nStart, nEnd));
    EXPECT_EQ(nEnd, 100);
    EXPECT_FALSE(CTextBlock::FindMergeField(tooFar, nStart, nEnd));
}

TEST_F(TextBlockTest, PlainSettersKeepTheirValuesInRange)
{
    CTextBlock block(nullptr);
    block.SetText("Hello");
    block.InsertText(5, " world");
    block.InsertText(-3, ">");
    block.InsertText(99, "!");
    EXPECT_STREQ(block.GetText(), ">Hello world!");

    // The caret goes to the start, the anchor to the end; a negative end
    // selects all with the caret at 0, and a negative start is 0.
    block.SetSel(2, 99);
    EXPECT_EQ(block.m_nCaret, 2);
    EXPECT_EQ(block.m_nAnchor, 13);
    block.SetSel(4, -1);
    EXPECT_EQ(block.m_nCaret, 0);
    EXPECT_EQ(block.m_nAnchor, 13);
    block.SetSel(-5, 3);
    EXPECT_EQ(block.m_nCaret, 0);
    EXPECT_EQ(block.m_nAnchor, 3);
    block.SetSel(99, 1);
    EXPECT_EQ(block.m_nCaret, 13);
    EXPECT_EQ(block.m_nAnchor, 1);

    block.SetGeometry(-90, CRect(0, 10, 10, 0), CRect(1, 2, 3, 4));
    EXPECT_EQ(block.m_nAngle, 270);
    block.SetGeometry(725, CRect(), CRect());
    EXPECT_EQ(block.m_nAngle, 5);
    block.SetColumns(0);
    EXPECT_EQ(block.m_nColumns, 1);
    block.SetColumns(3);
    EXPECT_EQ(block.m_nColumns, 3);
    block.SetColumns(6);
    EXPECT_EQ(block.m_nColumns, 5);

    block.m_wFlags = TEXTBLOCK_AUTO_SIZE | TEXTBLOCK_RENDER_STALE;
    block.FreeCache();
    EXPECT_EQ(block.m_wFlags, TEXTBLOCK_AUTO_SIZE);
    block.SetFont(-20, "Courier New", 2);
    EXPECT_FALSE(block.IsFixedSize());
    EXPECT_EQ(block.m_wFlags, TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE);
    EXPECT_EQ(block.m_logfont.lfHeight, -20);
    EXPECT_EQ(block.m_logfont.lfCharSet, 2);
    EXPECT_STREQ(block.m_logfont.lfFaceName, "Courier New");
    block.SetFont(-20, "A face name far longer than the thirty-two bytes a font has", 0);
    EXPECT_EQ(std::strlen(block.m_logfont.lfFaceName), sizeof(block.m_logfont.lfFaceName) - 1);

    // Point heights keep their sign within 1..999 points.
    block.SetFont(-5000, "Arial", 0);
    EXPECT_EQ(block.m_logfont.lfHeight, -999);
    block.SetFont(0, "Arial", 0);
    EXPECT_EQ(block.m_logfont.lfHeight, -1);
    block.SetFont(1200, "Arial", 0);
    EXPECT_EQ(block.m_logfont.lfHeight, 999);

    // Keys go nowhere while the block is not edited.
    EXPECT_FALSE(block.OnChar('a', 1, 0));
    EXPECT_STREQ(block.GetText(), ">Hello world!");
}

} // namespace
