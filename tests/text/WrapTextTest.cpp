#include "text/WrapText.h"

#include "platform/base/Arithmetic.h"
#include "platform/files/FileSystem.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "text/TextOwner.h"
#include "text/WrapTextRuns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
    // Range formatting changes the runs: the bold default toggles off in
    // the range, and a whole-text colour is the new default.
    text.SetFontRange(0, 2, "Courier New", 12, WRAP_STYLE_BOLD);
    text.SetColor(RGB(0, 255, 0), 0, 65000);
    EXPECT_STREQ(text.GetFormatString(), "[(255,2,3),(65280,0,65000)][(Courier New,0,0,12,0,2),(Arial,0,1,24,0,65000)]");
}

// The font height a record's font was made with.
LONG FontHeight(const WrapFontRecord* pRecord)
{
    LOGFONT lf{};
    if (pRecord == nullptr || ::GetObject(pRecord->hFont, sizeof(lf), &lf) == 0)
        return 0;
    return lf.lfHeight;
}

int g_nZoom = 100;

class WrapTextZoomTest : public WrapTextTest {
protected:
    void SetUp() override
    {
        WrapTextTest::SetUp();
        platform::InitFileSystem();
        m_previous = GetTextOwnerServices();
        TextOwnerServices services;
        services.pfnZoom = [](const CDrawObj*) { return g_nZoom; };
        SetTextOwnerServices(services);
    }
    void TearDown() override { SetTextOwnerServices(m_previous); }

private:
    TextOwnerServices m_previous;
};

TEST_F(WrapTextTest, TheTextHoldsAtMost64999Characters)
{
    CWrapText text;
    text.SetText(CString('a', 70000));
    EXPECT_EQ(text.GetLength(), kWrapMaxLength);

    text.SetText(CString('a', kWrapMaxLength - 2));
    text.SetColor(255, 0, kWrapTextEnd - 1);
    const CString runs = text.GetFormatString();
    // Refused whole, not cut to what fits.
    EXPECT_FALSE(text.InsertText("xyz", 5));
    EXPECT_EQ(text.GetLength(), kWrapMaxLength - 2);
    EXPECT_EQ(text.ReplaceText("xyz", 0, -1), -1);
    EXPECT_EQ(text.GetLength(), kWrapMaxLength - 2);
    EXPECT_STREQ(text.GetFormatString(), runs);
    // CR LF counts as the one character it becomes.
    EXPECT_TRUE(text.InsertText("\r\n", 0));
    EXPECT_TRUE(text.InsertChar('b', -1));
    EXPECT_EQ(text.GetLength(), kWrapMaxLength);
    EXPECT_FALSE(text.InsertChar('c', 0));
    // Replacing keeps within the limit by what it removes.
    EXPECT_EQ(text.ReplaceText("XY", 10, 11), 12);
    EXPECT_EQ(text.GetLength(), kWrapMaxLength);
    // A run stretched to the end stays at the end mark.
    EXPECT_EQ(text.GetColorAt(kWrapMaxLength - 1, FALSE), 255u);
}

TEST_F(WrapTextTest, ReplaceAnswersThePositionAfterTheNewCharacters)
{
    struct Case {
        const char* insert;
        int nFirst;
        int nLast;
        const char* expected;
        int nAnswer;
    };
    const Case cases[] = {
        {"XYZ", 1, 2, "aXYZd", 4},
        {"", 1, 2, "ad", 1},
        {"", 0, -1, "abcd", 0}, // an empty range deletes nothing
        {"X", 2, 1, "abXcd", 3}, // an empty range only inserts
        {"X\r\nY", 3, 3, "abcX\nY", 6},
        {"Z", 3, 99, "abcZ", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        CWrapText text;
        text.SetText("abcd");
        EXPECT_EQ(text.ReplaceText(c.insert, c.nFirst, c.nLast), c.nAnswer);
        EXPECT_STREQ(text.GetText(), c.expected);
    }
    // The new characters take the look of the first one replaced.
    CWrapText text;
    text.SetText("abcd");
    text.SetColor(0, 0, kWrapTextEnd);
    text.SetColor(255, 1, 2);
    text.ReplaceText("XYZ", 1, 2);
    EXPECT_STREQ(text.GetFormatString(), "[(255,1,3),(0,0,65000)][(Arial,1,0,24,0,65000)]");
}

TEST_F(WrapTextTest, AClonedTextHasItsOwnRunsAndFonts)
{
    CWrapText text;
    text.SetText("abcdef");
    text.SetColor(255, 1, 2);
    text.AddFontRun("Courier New", 12, 3, 4, 0, WRAP_STYLE_BOLD);
    text.SetScale(1.5);
    CWrapText copy;
    copy.CopyFrom(text);
    EXPECT_STREQ(copy.GetText(), "abcdef");
    EXPECT_STREQ(copy.GetFormatString(), text.GetFormatString());
    EXPECT_EQ(copy.GetScale(), 1.5);
    EXPECT_NE(copy.GetFontRecordAt(3), text.GetFontRecordAt(3));
    EXPECT_NE(copy.GetFontRecordAt(3)->hFont, nullptr);
    text.DeleteRange(0, -1);
    EXPECT_EQ(copy.GetLength(), 6);
    EXPECT_EQ(copy.GetFontRecordAt(4)->nSize, 12);
}

TEST_F(WrapTextTest, LineSpacingOutsideItsRangeIsOne)
{
    CWrapText text;
    for (double d : {0.05, 10.5, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        text.SetScale(1.5);
        text.SetScale(d);
        EXPECT_EQ(text.GetScale(), 1.0) << d;
    }
    text.SetScale(0.1);
    EXPECT_EQ(text.GetScale(), 0.1);
    text.SetScale(10.0);
    EXPECT_EQ(text.GetScale(), 10.0);
}

TEST_F(WrapTextTest, AFontThatCannotBeMadeKeepsItsRecordAndDrawsWithTheStockFont)
{
    CWrapText text;
    text.SetText("abc");
    text.AddFontRun("Courier New", 12, 1, 1, 0, 0);
    WrapFontRecord* pRecord = text.GetFontRecordAt(1);
    ASSERT_NE(pRecord, nullptr);
    ::DeleteObject(pRecord->hFont);
    pRecord->hFont = NULL;
    EXPECT_NE(WrapRecordFont(pRecord), nullptr);
    EXPECT_EQ(WrapRecordFont(pRecord), WrapFallbackFont());
    EXPECT_EQ(WrapRecordFont(nullptr), WrapFallbackFont());
    // Its face is still stored.
    EXPECT_STREQ(text.GetFormatString(), "[(0,0,65000)][(Courier New,0,0,12,1,1),(Arial,1,0,24,0,65000)]");
}

TEST_F(WrapTextZoomTest, ScreenFontsFollowTheZoomAndPrinterFontsThePrintersResolution)
{
    CWrapText text;
    text.SetText("abc");
    HDC hScreen = ::CreateCompatibleDC(NULL);
    const int nScreenY = ::GetDeviceCaps(hScreen, LOGPIXELSY);
    ::DeleteDC(hScreen);

    g_nZoom = 200;
    text.RefreshFonts(nullptr);
    const WrapFontRecord* pRecord = text.GetFontRecordAt(-1);
    EXPECT_EQ(FontHeight(pRecord), -MulDiv(48, nScreenY, 72));
    const int nScreenHeight = pRecord->nHeight;
    EXPECT_GT(nScreenHeight, MulDiv(48, nScreenY, 72));
    EXPECT_GT(pRecord->nAscent, pRecord->nDescent);

    // A printer DC: its own resolution, the screen's zoom left out.
    CDC printer;
    ASSERT_TRUE(printer.Attach(::CreateDC("WINSPOOL", "Test Printer", NULL, NULL)));
    const int nPrinterY = printer.GetDeviceCaps(LOGPIXELSY);
    ASSERT_GT(nPrinterY, 2 * nScreenY);
    text.RefreshFonts(&printer);
    EXPECT_EQ(FontHeight(pRecord), -MulDiv(24, nPrinterY, 72));
    EXPECT_NEAR(pRecord->nHeight, MulDiv(nScreenHeight, nPrinterY, 2 * nScreenY), 3);
    ::DeleteDC(printer.Detach());

    // A preview: a screen-resolution DC marked as printing.
    CDC preview;
    ASSERT_TRUE(preview.CreateCompatibleDC(nullptr));
    preview.m_bPrinting = TRUE;
    text.RefreshFonts(&preview);
    EXPECT_EQ(FontHeight(pRecord), -MulDiv(24, nScreenY, 72));

    g_nZoom = 50;
    text.RefreshFonts(nullptr);
    EXPECT_EQ(FontHeight(pRecord), -MulDiv(12, nScreenY, 72));
    g_nZoom = 100;
}

TEST_F(WrapTextTest, OwnerServicesFallBackWithoutARegistrationAndGuardTheZoom)
{
    const TextOwnerServices previous = GetTextOwnerServices();
    SetTextOwnerServices(TextOwnerServices{});
    EXPECT_EQ(TextOwnerZoom(nullptr), 100);
    EXPECT_EQ(TextOwnerBackground(nullptr), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(TextCreateWarpShape(3, CRect(0, 0, 10, 10), nullptr, FALSE), nullptr);
    EXPECT_FALSE(TextPaintOwnerFill(nullptr, nullptr, CRect(0, 0, 10, 10)));

    static int s_nZoom = 0;
    TextOwnerServices services;
    services.pfnZoom = [](const CDrawObj*) { return s_nZoom; };
    services.pfnBackground = [](const CDrawObj*) { return RGB(1, 2, 3); };
    SetTextOwnerServices(services);
    for (int nZoom : {0, -50, 10001}) {
        s_nZoom = nZoom;
        EXPECT_EQ(TextOwnerZoom(nullptr), 100) << nZoom;
    }
    s_nZoom = 37;
    EXPECT_EQ(TextOwnerZoom(nullptr), 37);
    // A new text draws its selection on the view's background.
    CWrapText text;
    EXPECT_EQ(text.GetData()->m_crBackground, RGB(1, 2, 3));
    SetTextOwnerServices(previous);
}

} // namespace
