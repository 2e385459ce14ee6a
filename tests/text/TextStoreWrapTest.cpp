// The wrapped text's stored form: the layout settings (from version 25),
// the text and the run string, which comes back exactly as it was read.

#include "TextStoreSupport.h"

#include "platform/ui/User.h"
#include "text/WrapText.h"

#include <limits>

namespace {

using namespace text_store;

const char kRuns[] = "[(255,2,3),(0,0,65000)][(Courier New,0,1,12,0,2),(Arial,1,0,24,0,65000)]";

std::string Settings(int left, int top, int right, int bottom, DWORD wrap, DWORD hyphenate, DWORD stale, WORD just,
    double spacing)
{
    return U32(left) + U32(top) + U32(right) + U32(bottom) + U32(wrap) + U32(hyphenate) + U32(stale) + U16(just)
        + F64(spacing);
}

using TextStoreWrapTest = StoreTest;

TEST_F(TextStoreWrapTest, StoresSettingsTextAndRunsAndReadsThemBackEqual)
{
    CWrapText text;
    text.SetText("Hello\r\nworld");
    text.SetFormatString(kRuns);
    text.SetScale(1.5);
    text.SetJustification(2);
    text.SetWordWrap(FALSE);
    text.GetData()->m_rectLayout = CRect(-3, 4, 250, 90);
    text.GetData()->m_bHyphenate = TRUE;

    const std::string bytes = Store(text);
    EXPECT_EQ(bytes, Settings(-3, 4, 250, 90, 0, 1, 1, 2, 1.5) + Str("Hello\nworld") + Str(kRuns));

    CWrapText back;
    ULONGLONG nLeft = 99;
    ASSERT_EQ(Load(back, bytes, &nLeft), -1);
    EXPECT_EQ(nLeft, 0u);
    EXPECT_STREQ(back.GetText(), "Hello\nworld");
    EXPECT_STREQ(back.GetFormatString(), kRuns);
    EXPECT_EQ(back.GetScale(), 1.5);
    EXPECT_EQ(back.GetJustification(), 2);
    EXPECT_FALSE(back.GetWordWrap());
    EXPECT_TRUE(back.GetData()->m_bHyphenate);
    EXPECT_EQ(back.GetData()->m_rectLayout, CRect(-3, 4, 250, 90));
    EXPECT_EQ(Store(back), bytes);

    // A text read is laid out afresh, whatever state it was stored in.
    std::string laidOut = bytes;
    laidOut[24] = 0;
    CWrapText fresh;
    ASSERT_EQ(Load(fresh, laidOut), -1);
    EXPECT_TRUE(fresh.GetData()->m_bLayoutStale);
}

TEST_F(TextStoreWrapTest, ANewTextStoresItsDefaultRuns)
{
    CWrapText text;
    CString runs;
    runs.Format("[(%lu,0,65000)][(Arial,1,0,24,0,65000)]", static_cast<unsigned long>(::GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(Store(text), Settings(0, 0, 1, 1, 1, 0, 1, 0, 1.0) + Str("") + Str(runs.Std()));
}

TEST_F(TextStoreWrapTest, DesignsBeforeVersion25HaveNoLayoutSettings)
{
    for (int nVersion : {7, 24}) {
        SCOPED_TRACE(nVersion);
        SetVersion(nVersion);
        CWrapText text;
        ULONGLONG nLeft = 99;
        ASSERT_EQ(Load(text, Str("a\tb\r\nc") + Str(kRuns), &nLeft), -1);
        EXPECT_EQ(nLeft, 0u);
        EXPECT_STREQ(text.GetText(), "a b\nc");
        EXPECT_STREQ(text.GetFormatString(), kRuns);
        EXPECT_TRUE(text.GetWordWrap());
        EXPECT_EQ(text.GetJustification(), 0);
        EXPECT_EQ(text.GetScale(), 1.0);
        EXPECT_EQ(text.GetData()->m_rectLayout, CRect(0, 0, 1, 1));
    }
    SetVersion(25);
    CWrapText text;
    ASSERT_EQ(Load(text, Settings(0, 0, 9, 9, 1, 0, 1, 3, 2.0) + Str("x") + Str(kRuns)), -1);
    EXPECT_EQ(text.GetJustification(), 3);
    EXPECT_EQ(text.GetScale(), 2.0);
}

TEST_F(TextStoreWrapTest, StoredRunsReplaceTheTextsOwnAndAnEmptyRunStringGivesTheDefaults)
{
    CWrapText text;
    text.SetText("old");
    text.SetFormatString("[(255,0,1),(0,0,65000)][(Arial,1,0,24,0,65000)]");
    ASSERT_EQ(Load(text, Settings(0, 0, 1, 1, 1, 0, 1, 0, 1.0) + Str("new") + Str("")), -1);
    EXPECT_STREQ(text.GetText(), "new");
    EXPECT_STREQ(text.GetFormatString(), CWrapText::DefaultFormatString());
}

TEST_F(TextStoreWrapTest, DamagedRecordsRaiseTheArchiveException)
{
    CWrapText text;
    text.SetText(CString('z', 300));
    text.SetFormatString(kRuns);
    const std::string bytes = Store(text);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CWrapText back;
        ASSERT_EQ(Load(back, bytes.substr(0, n)), CArchiveException::endOfFile) << n;
    }
    const std::string settings = Settings(0, 0, 1, 1, 1, 0, 1, 0, 1.0);
    for (const std::string& huge : {U8(255) + U16(0xFFFF) + U32(0xFFFFFFF0), U8(255) + U16(0xFFFD) + "ab"}) {
        CWrapText back;
        EXPECT_EQ(Load(back, settings + huge), CArchiveException::endOfFile);
        EXPECT_EQ(Load(back, settings + Str("ok") + huge), CArchiveException::endOfFile);
    }
    EXPECT_EQ(LoadDamagedCopies(bytes, 3000, [] { return std::make_unique<CWrapText>(); }), 0);
}

TEST_F(TextStoreWrapTest, AStoredLineSpacingOutsideItsRangeReadsAsOne)
{
    for (double d : {0.0, 0.09, 10.01, -2.0, std::numeric_limits<double>::quiet_NaN(),
             -std::numeric_limits<double>::infinity()}) {
        CWrapText text;
        ASSERT_EQ(Load(text, Settings(0, 0, 9, 9, 1, 0, 1, 0, d) + Str("x") + Str(kRuns)), -1) << d;
        EXPECT_EQ(text.GetScale(), 1.0) << d;
    }
    CWrapText text;
    ASSERT_EQ(Load(text, Settings(0, 0, 9, 9, 1, 0, 1, 0, 0.1) + Str("x") + Str(kRuns)), -1);
    EXPECT_EQ(text.GetScale(), 0.1);
}

TEST_F(TextStoreWrapTest, ATextLongerThanPositionsReachIsDamaged)
{
    const std::string settings = Settings(0, 0, 9, 9, 1, 0, 1, 0, 1.0);
    CWrapText text;
    text.SetText("kept");
    EXPECT_EQ(Load(text, settings + Str(std::string(kWrapMaxLength + 1, 'a')) + Str(kRuns)),
        CArchiveException::generic);
    EXPECT_STREQ(text.GetText(), "kept");
    // At the limit it loads, and line ends count as they are kept.
    EXPECT_EQ(Load(text, settings + Str(std::string(kWrapMaxLength, 'a')) + Str(kRuns)), -1);
    EXPECT_EQ(text.GetLength(), kWrapMaxLength);
    EXPECT_EQ(Load(text, settings + Str(std::string(kWrapMaxLength - 1, 'a') + "\r\n") + Str(kRuns)), -1);
    EXPECT_EQ(text.GetLength(), kWrapMaxLength);
}

TEST_F(TextStoreWrapTest, DamagedRunStringsLoadWithTheRunsRead)
{
    const std::string settings = Settings(0, 0, 9, 9, 1, 0, 1, 0, 1.0);
    for (const std::string& runs : {std::string("[(255,1,2),(0,0,65000)][(Arial,1,0,24,0,65000"),
             std::string("[(255,1,2),(0,0,65000)][(Arial"), std::string("[(255,1,2),(0,0"),
             std::string("[(255,1,2),(0,0,65000)][(,,,,,,)]")}) {
        SCOPED_TRACE(runs);
        CWrapText text;
        ASSERT_EQ(Load(text, settings + Str("abcd") + Str(runs)), -1);
        EXPECT_EQ(text.GetColorAt(1, FALSE), 255u);
        EXPECT_EQ(text.GetColorAt(2, FALSE), 255u);
        EXPECT_STREQ(text.GetText(), "abcd");
    }
}

} // namespace
