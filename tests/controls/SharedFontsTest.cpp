// The program-wide caption fonts: the 18 faces, their heights at the
// screen's resolution, creation on first use and the bounds of the index.

#include "controls/SharedFonts.h"

#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"

#include <gtest/gtest.h>


namespace {

class SharedFontsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        ReleaseSharedFonts();
    }
    void TearDown() override { ReleaseSharedFonts(); }
};

TEST_F(SharedFontsTest, EighteenFacesFollowTheTableAtNinetySixDpi)
{
    struct Expected {
        LONG height;
        LONG weight;
    };
    // -MulDiv(points, 96, 72): 8 pt -> -11, 10 pt -> -13, 12 pt -> -16.
    const Expected groups[6] = {{-11, 400}, {-11, 700}, {-13, 400}, {-13, 700}, {-16, 400}, {-16, 700}};
    for (int n = 0; n < CFontA::kFontCount; ++n) {
        SCOPED_TRACE(n);
        CFont* pFont = GetSharedFont(n);
        ASSERT_NE(pFont, nullptr);
        LOGFONT lf{};
        ASSERT_NE(pFont->GetLogFont(&lf), 0);
        EXPECT_EQ(lf.lfHeight, groups[n / 3].height);
        EXPECT_EQ(lf.lfWeight, groups[n / 3].weight);
        EXPECT_EQ(lf.lfUnderline, n % 3 == 1 ? 1 : 0);
        EXPECT_EQ(lf.lfItalic, n % 3 == 2 ? 1 : 0);
        EXPECT_EQ(lf.lfPitchAndFamily, 0x22);
        EXPECT_EQ(lf.lfWidth, 0);
        EXPECT_EQ(lf.lfEscapement, 0);
        EXPECT_EQ(lf.lfCharSet, 0);
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    }
}

TEST_F(SharedFontsTest, HeightsFollowTheScreenResolutionWhenMade)
{
    LOGFONT lf{};
    ASSERT_TRUE(CFontA::BuildLogFont(0, 120, lf));
    EXPECT_EQ(lf.lfHeight, -13); // 8 * 120 / 72 = 13.3
    ASSERT_TRUE(CFontA::BuildLogFont(17, 120, lf));
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
}

TEST_F(SharedFontsTest, IndexOutsideTheTableGivesNoFont)
{
    EXPECT_EQ(GetSharedFont(-1), nullptr);
    EXPECT_EQ(GetSharedFont(18), nullptr);
    EXPECT_EQ(GetSharedFont(0x7FFFFFFF), nullptr);
    CFontA table;
    EXPECT_FALSE(table.CreateSharedFont(18));
    EXPECT_FALSE(table.CreateSharedFont(-1));
    EXPECT_EQ(table.GetFont(-5), nullptr);
    EXPECT_EQ(table.GetSize(), 18);
    LOGFONT lf{};
    EXPECT_FALSE(CFontA::BuildLogFont(18, 96, lf));
}

TEST_F(SharedFontsTest, FontIsMadeOnceAndKeptUntilReleased)
{
    CFont* pFirst = GetSharedFont(4);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(GetSharedFont(4), pFirst);
    EXPECT_NE(GetSharedFont(5), pFirst);
    HGDIOBJ handle = pFirst->GetSafeHandle();
    ReleaseSharedFonts();
    // The released font's handle is gone with it.
    LOGFONT lf{};
    EXPECT_EQ(::GetObject(handle, sizeof lf, &lf), 0);
    CFont* pAgain = GetSharedFont(4);
    ASSERT_NE(pAgain, nullptr);
    EXPECT_NE(pAgain->GetSafeHandle(), nullptr);
}

TEST_F(SharedFontsTest, SlotsStartEmptyAndRecreationReplacesTheFont)
{
    CFontA table;
    EXPECT_STREQ(table.GetRuntimeClass()->m_lpszClassName, "CFontA");
    ASSERT_EQ(table.GetSize(), 18);
    for (INT_PTR i = 0; i < table.GetSize(); ++i)
        EXPECT_EQ(table.GetAt(i), nullptr);
    ASSERT_TRUE(table.CreateSharedFont(7));
    CObject* pOld = table.GetAt(7);
    HGDIOBJ oldHandle = static_cast<CFont*>(pOld)->GetSafeHandle();
    ASSERT_TRUE(table.CreateSharedFont(7));
    EXPECT_NE(static_cast<CFont*>(table.GetAt(7))->GetSafeHandle(), oldHandle);
    LOGFONT lf{};
    EXPECT_EQ(::GetObject(oldHandle, sizeof lf, &lf), 0); // the replaced font was deleted
    EXPECT_EQ(table.GetFont(7), table.GetAt(7));
}

} // namespace
