#include "text/WrapText.h"

#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

namespace {

class WrapTextTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::Reset(); }
};

TEST_F(WrapTextTest, ANewTextHasTheDefaultRunsAndSettings)
{
    CWrapText text;
    CString expected;
    expected.Format("[(%lu,0,65000)][(Arial,1,0,24,0,65000)]",
        static_cast<unsigned long>(::GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_STREQ(text.GetFormatString(), expected);
    EXPECT_EQ(text.GetLength(), 0);
    EXPECT_EQ(text.GetScale(), 1.0);
    EXPECT_EQ(text.GetJustification(), 0);
    EXPECT_TRUE(text.GetWordWrap());
    WORD wStart = 0;
    WORD wEnd = 1;
    text.GetSel(wStart, wEnd);
    EXPECT_EQ(wStart, kWrapNoSelection);
    EXPECT_EQ(wEnd, 0);
    CString strFace;
    int nSize = 0;
    int nCharSet = -1;
    int nStyle = -1;
    text.GetFontAt(-1, strFace, nSize, nCharSet, nStyle);
    EXPECT_STREQ(strFace, "Arial");
    EXPECT_EQ(nSize, 24);
    EXPECT_EQ(nStyle, 0);
    EXPECT_EQ(text.GetData()->m_rectLayout, CRect(0, 0, 1, 1));
    EXPECT_TRUE(text.GetData()->m_bLayoutStale);
}

TEST_F(WrapTextTest, LineEndsAndTabsAreNormalised)
{
    CWrapText text;
    text.SetText("a\r\nb\n\rc\rd\te\n\nf");
    EXPECT_STREQ(text.GetText(), "a\nb\nc\nd e\n\nf");
    EXPECT_EQ(text.GetLength(), 12);
    text.InsertText("X\r\n", 0);
    EXPECT_STREQ(text.GetText(), "X\na\nb\nc\nd e\n\nf");
    text.SetText("abc");
    text.InsertText("1", -1);
    text.InsertText("2", 99);
    text.InsertText("\t", 1);
    EXPECT_STREQ(text.GetText(), "a bc12");
}

TEST_F(WrapTextTest, TheRunStringComesBackAsStored)
{
    CWrapText text;
    text.SetText("hello");
    const CString runs = "[(255,2,3),(0,0,65000)][(Arial,0,1,24,0,65000)]";
    text.SetFormatString(runs);
    EXPECT_STREQ(text.GetFormatString(), runs);
    // An empty string changes nothing.
    text.SetFormatString("");
    EXPECT_STREQ(text.GetFormatString(), runs);
    // Range formatting waits for the runs: nothing changes until then.
    text.SetFontRange(0, 2, "Courier New", 12, WRAP_STYLE_BOLD);
    text.SetColor(RGB(0, 255, 0), 0, 65000);
    EXPECT_STREQ(text.GetFormatString(), runs);
    EXPECT_EQ(text.CalcSize(nullptr), CSize(0, 0));
}

} // namespace
