// The block text's stored form: what is stored reads back equal and stores
// the same bytes again, older designs read only the fields they have, the
// text comes as UTF-16 or as an archive string by the stored flag, and a
// damaged record raises the archive exception.

#include "TextStoreSupport.h"

#include "app/PrefData.h"
#include "text/TextBlock.h"

#include <cstring>

namespace {

using namespace text_store;

// The fields of a hand-made record, and its bytes as a design of a given
// version holds them; the text part is given already encoded.
struct Record {
    DWORD nShape = 3;
    DWORD nAlignment = 2;
    WORD wFlags = TEXTBLOCK_RENDER_STALE | TEXTBLOCK_LAYOUT_STALE | TEXTBLOCK_UTF16 | TEXTBLOCK_SHADOW;
    DWORD nLayoutWord = 7;
    DWORD nLeft = 4;
    DWORD nRight = 5;
    std::string strFace = "Times New Roman";
    DWORD nAngle = 45;
    DWORD nColumns = 2;
    std::string text = U32(4) + U16('A') + U16(0xE9) + U16(0x20AC) + U16(0); // "A", e acute, euro sign
    long long nShadowX = -3;
    long long nShadowY = 6;

    std::string Bytes(int nVersion) const
    {
        std::string out = U32(nShape) + U32(nAlignment) + U16(wFlags) + U32(nLayoutWord) + U32(nLeft) + U32(nRight);
        out += U32(-28) + U32(0) + U32(0) + U32(0) + U32(700);
        out += U8(1) + U8(0) + U8(1) + U8(2) + U8(3) + U8(2) + U8(1) + U8(34);
        out += Str(strFace);
        out += U32(-22) + U32(0x00030201) + F64(1.5) + F64(0.75);
        if (nVersion > 10)
            out += U32(nAngle) + U32(nColumns);
        out += text;
        if (nVersion > 13)
            out += U32(0x00A0B0C0);
        if (nVersion > 15)
            out += U32(nShadowX) + U32(nShadowY);
        if (nVersion >= 24)
            out += U32(11) + U32(12);
        return out;
    }
};

using TextStoreBlockTest = BlockStoreTest;

void Fill(CTextBlock& block)
{
    block.SetShape(5);
    block.m_nAlignment = 3;
    block.SetLayoutParams(6, 8, 0x1234);
    block.m_logfont = LOGFONT{};
    block.m_logfont.lfHeight = -40;
    block.m_logfont.lfWidth = 12;
    block.m_logfont.lfEscapement = 900;
    block.m_logfont.lfOrientation = 450;
    block.m_logfont.lfWeight = 700;
    block.m_logfont.lfItalic = 1;
    block.m_logfont.lfStrikeOut = 1;
    block.m_logfont.lfCharSet = 2;
    block.m_logfont.lfQuality = 4;
    block.m_logfont.lfPitchAndFamily = 0x22;
    std::strcpy(block.m_logfont.lfFaceName, "Courier New");
    block.m_nFittedHeight = -17;
    block.m_crText = RGB(200, 100, 50);
    block.m_crShadow = 0xFFFFFFFF;
    block.m_nShadowX = -5;
    block.m_nShadowY = 32767;
    block.m_nStoredValue4 = -9;
    block.m_nStoredValue5 = 77;
    block.m_dScaleX = 1.25;
    block.m_dScaleY = 0.5;
    block.SetGeometry(-90, CRect(0, 0, 10, 10), CRect(0, 0, 10, 10));
    block.SetColumns(3);
    block.SetText("Dear @Name@,\nsee you \xE9t\xE9 \x80");
}

TEST_F(TextStoreBlockTest, StoresTheCurrentFormAndReadsItBackEqual)
{
    // What the block reads field by field (below) it stores again as the
    // same bytes, so the writer keeps the reader's order.
    const Record record;
    CTextBlock loaded(nullptr);
    ASSERT_EQ(Load(loaded, record.Bytes(29)), -1);
    EXPECT_EQ(Store(loaded), record.Bytes(29));

    CTextBlock block(nullptr);
    Fill(block);
    const std::string bytes = Store(block);
    // The wide text is flagged in the block itself as well as in the record.
    EXPECT_TRUE(block.m_wFlags & TEXTBLOCK_UTF16);
    CTextBlock back(nullptr);
    ULONGLONG nLeft = 99;
    ASSERT_EQ(Load(back, bytes, &nLeft), -1);
    EXPECT_EQ(nLeft, 0u);
    EXPECT_EQ(Store(back), bytes);
    EXPECT_EQ(0, std::memcmp(&back.m_logfont, &block.m_logfont, sizeof(LOGFONT)));
    EXPECT_STREQ(back.GetText(), block.GetText());
    EXPECT_EQ(back.m_nAngle, 270);
    EXPECT_EQ(back.m_nColumns, 3);
    EXPECT_EQ(back.m_nShadowX, -5);
    EXPECT_EQ(back.m_crShadow, 0xFFFFFFFFu);
    EXPECT_EQ(back.m_dScaleX, 1.25);
    EXPECT_TRUE(back.m_wFlags & TEXTBLOCK_MERGE_FIELDS);

    // Five characters are stored as a count of 6 and 12 bytes.
    block.SetText("Hello");
    const std::string hello = U32(6) + U16('H') + U16('e') + U16('l') + U16('l') + U16('o') + U16(0);
    EXPECT_NE(Store(block).find(hello), std::string::npos);
}

TEST_F(TextStoreBlockTest, OlderDesignsReadOnlyTheFieldsTheyHave)
{
    struct Case {
        int nVersion;
        bool bAngle;   // angle and columns
        bool bShadow;  // shadow colour
        bool bOffsets; // shadow offsets
        bool bValues;  // stored values 4 and 5
    };
    const Case cases[] = {
        {7, false, false, false, false},
        {10, false, false, false, false},
        {11, true, false, false, false},
        {13, true, false, false, false},
        {14, true, true, false, false},
        {15, true, true, false, false},
        {16, true, true, true, false},
        {23, true, true, true, false},
        {24, true, true, true, true},
        {29, true, true, true, true},
    };
    const Record record;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nVersion);
        SetVersion(c.nVersion);
        CTextBlock block(nullptr);
        const COLORREF crShadowBefore = block.m_crShadow;
        const short nShadowXBefore = block.m_nShadowX;
        ULONGLONG nLeft = 99;
        ASSERT_EQ(Load(block, record.Bytes(c.nVersion), &nLeft), -1);
        EXPECT_EQ(nLeft, 0u);
        EXPECT_EQ(block.m_nShape, 3);
        EXPECT_EQ(block.m_nAlignment, 2);
        EXPECT_EQ(block.m_nLayoutWord, 7);
        EXPECT_EQ(block.m_nRightMargin, 5);
        EXPECT_EQ(block.m_logfont.lfHeight, -28);
        EXPECT_EQ(block.m_logfont.lfPitchAndFamily, 34);
        EXPECT_STREQ(block.m_logfont.lfFaceName, "Times New Roman");
        EXPECT_EQ(block.m_nFittedHeight, -22);
        EXPECT_EQ(block.m_crText, 0x00030201u);
        EXPECT_EQ(block.m_dScaleY, 0.75);
        EXPECT_STREQ(block.GetText(), "A\xE9\x80");
        EXPECT_EQ(block.m_nAngle, c.bAngle ? 45 : 0);
        EXPECT_EQ(block.m_nColumns, c.bAngle ? 2 : 1);
        EXPECT_EQ(block.m_crShadow, c.bShadow ? 0x00A0B0C0u : crShadowBefore);
        EXPECT_EQ(block.m_nShadowX, c.bOffsets ? -3 : nShadowXBefore);
        EXPECT_EQ(block.m_nStoredValue4, c.bValues ? 11 : 0);
        EXPECT_EQ(block.m_nStoredValue5, c.bValues ? 12 : 1);
    }
}

TEST_F(TextStoreBlockTest, TextWithoutTheWideFlagIsAnArchiveString)
{
    for (size_t nLength : {size_t(0), size_t(5), size_t(254), size_t(255), size_t(300)}) {
        SCOPED_TRACE(nLength);
        std::string text(nLength, 'x');
        if (nLength > 0)
            text[0] = '\xE9';
        Record record;
        record.wFlags = TEXTBLOCK_AUTO_SIZE;
        record.text = Str(text);
        CTextBlock block(nullptr);
        ULONGLONG nLeft = 99;
        ASSERT_EQ(Load(block, record.Bytes(29), &nLeft), -1);
        EXPECT_EQ(nLeft, 0u);
        EXPECT_EQ(block.GetText().Std(), text);
        EXPECT_FALSE(block.m_wFlags & TEXTBLOCK_UTF16);
        // Storing again gives the wide form.
        CTextBlock again(nullptr);
        ASSERT_EQ(Load(again, Store(block)), -1);
        EXPECT_EQ(again.GetText().Std(), text);
        EXPECT_TRUE(again.m_wFlags & TEXTBLOCK_UTF16);
    }
}

TEST_F(TextStoreBlockTest, WideTextLosesItsTrailingZerosWhateverTheHeaderSays)
{
    struct Case {
        std::string units;
        LONG nHeaderValue;
        const char* pszExpected;
    };
    const Case cases[] = {
        {U32(3) + U16('a') + U16('b') + U16(0), 0, "ab"},
        {U32(3) + U16('a') + U16('b') + U16(0), 1, "ab"},
        {U32(4) + U16('a') + U16('b') + U16(0) + U16(0), 1, "ab"},
        // Without a terminating zero no character is lost.
        {U32(3) + U16('a') + U16('b') + U16('c'), 0, "abc"},
        {U32(3) + U16('a') + U16('b') + U16('c'), 1, "abc"},
        {U32(0), 0, ""},
        {U32(1) + U16(0), 1, ""},
        {U32(2) + U16(0) + U16(0), 0, ""},
        // A character the code page lacks becomes a question mark.
        {U32(2) + U16(0x4E2D) + U16(0), 0, "?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszExpected);
        SetVersion(29, c.nHeaderValue);
        Record record;
        record.text = c.units;
        CTextBlock block(nullptr);
        ASSERT_EQ(Load(block, record.Bytes(29)), -1);
        EXPECT_STREQ(block.GetText(), c.pszExpected);
        EXPECT_EQ(block.GetLength(), static_cast<int>(std::strlen(c.pszExpected)));
    }

    // A zero inside the text is kept with what follows it.
    SetVersion(29, 0);
    Record record;
    record.text = U32(4) + U16('a') + U16(0) + U16('b') + U16(0);
    CTextBlock block(nullptr);
    ASSERT_EQ(Load(block, record.Bytes(29)), -1);
    EXPECT_EQ(block.GetText().Std(), std::string("a\0b", 3));
}

TEST_F(TextStoreBlockTest, StoredAngleAndColumnsKeepTheBlocksRules)
{
    struct Case {
        long long nAngle, nColumns;
        int nExpectedAngle, nExpectedColumns;
    };
    for (const Case& c : {Case{360, 0, 0, 1}, Case{-90, -4, 270, 1}, Case{725, 7, 5, 5}, Case{0x80000000LL, 1, 232, 1}}) {
        SCOPED_TRACE(c.nAngle);
        Record record;
        record.nAngle = static_cast<DWORD>(c.nAngle);
        record.nColumns = static_cast<DWORD>(c.nColumns);
        CTextBlock block(nullptr);
        ASSERT_EQ(Load(block, record.Bytes(29)), -1);
        EXPECT_EQ(block.m_nAngle, c.nExpectedAngle);
        EXPECT_EQ(block.m_nColumns, c.nExpectedColumns);
    }
}

TEST_F(TextStoreBlockTest, DamagedRecordsRaiseTheArchiveException)
{
    CTextBlock block(nullptr);
    Fill(block);
    const std::string bytes = Store(block);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CTextBlock back(nullptr);
        ASSERT_EQ(Load(back, bytes.substr(0, n)), CArchiveException::endOfFile) << n;
    }

    // Counts and lengths far beyond the bytes left allocate nothing.
    for (DWORD nCount : {DWORD(0x7FFFFFFF), DWORD(0xFFFFFFFF), DWORD(0x40000000)}) {
        Record record;
        record.text = U32(nCount) + U16('a');
        CTextBlock back(nullptr);
        EXPECT_EQ(Load(back, record.Bytes(29)), CArchiveException::endOfFile) << nCount;
    }
    Record record;
    record.wFlags = 0;
    record.text = U8(255) + U16(0xFFFF) + U32(0x7FFFFFF0) + "abc";
    CTextBlock back(nullptr);
    EXPECT_EQ(Load(back, record.Bytes(29)), CArchiveException::endOfFile);
    record.strFace = std::string(300, 'F');
    record.text = Str("ok");
    EXPECT_EQ(Load(back, record.Bytes(29)), -1);
    EXPECT_EQ(std::strlen(back.m_logfont.lfFaceName), sizeof(back.m_logfont.lfFaceName) - 1);

    // Randomly damaged records of the wide and the byte form.
    const auto make = [] { return std::make_unique<CTextBlock>(nullptr); };
    EXPECT_EQ(LoadDamagedCopies(bytes, 3000, make), 0);
    record.strFace = "Arial";
    EXPECT_EQ(LoadDamagedCopies(record.Bytes(29), 3000, make), 0);
}

} // namespace
