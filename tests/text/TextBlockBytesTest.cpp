// The block text's record byte for byte: what a current design holds for a
// known block, the wide text against an independent encoder, and the values
// a damaged record brings into range.

#include "TextStoreSupport.h"

#include "app/DeviceColors.h"
#include "app/PrefData.h"
#include "platform/ui/User.h"
#include "text/TextBlock.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

using namespace text_store;

using TextBlockBytesTest = BlockStoreTest;

// The record of a block with every field at a chosen value, up to the text.
std::string Head(WORD wFlags, const std::string& face, double dScaleX = 1.5, double dScaleY = 0.5, long long nHeight = -24,
                 long long nFitted = -30)
{
    std::string out = U32(4) + U32(1) + U16(wFlags) + U32(9) + U32(3) + U32(6);
    out += U32(nHeight) + U32(0) + U32(0) + U32(0) + U32(400);
    out += U8(0) + U8(1) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0);
    out += Str(face);
    out += U32(nFitted) + U32(0x00336699) + F64(dScaleX) + F64(dScaleY);
    return out;
}

void Fill(CTextBlock& block)
{
    block.SetShape(4);
    block.m_nAlignment = 1;
    block.SetLayoutParams(3, 6, 9);
    block.m_logfont = LOGFONT{};
    block.m_logfont.lfHeight = -24;
    block.m_logfont.lfWeight = 400;
    block.m_logfont.lfUnderline = 1;
    std::strcpy(block.m_logfont.lfFaceName, "Arial");
    block.m_nFittedHeight = -30;
    block.m_crText = 0x00336699;
    block.m_dScaleX = 1.5;
    block.m_dScaleY = 0.5;
    block.SetGeometry(30, CRect(), CRect());
    block.SetColumns(2);
    block.m_crShadow = 0x00808080;
    block.m_nShadowX = -3;
    block.m_nShadowY = 4;
    block.m_nStoredValue4 = 0;
    block.m_nStoredValue5 = 1;
}

// What python's own code page tables make of 1252 bytes as UTF-16LE; empty
// when python cannot be run.
std::string PythonUtf16(const std::string& cp1252)
{
    std::string hex;
    char buf[3];
    for (unsigned char c : cp1252) {
        std::snprintf(buf, sizeof(buf), "%02x", c);
        hex += buf;
    }
    const std::string command = "/usr/bin/python3 -c \"import sys; sys.stdout.write(bytes.fromhex('" + hex +
                                "').decode('cp1252').encode('utf-16-le').hex())\" 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return std::string();
    std::string out;
    while (std::fgets(buf, sizeof(buf), pipe) != nullptr)
        out += buf;
    ::pclose(pipe);
    std::string bytes;
    for (size_t i = 0; i + 1 < out.size(); i += 2)
        bytes += static_cast<char>(std::stoi(out.substr(i, 2), nullptr, 16));
    return bytes;
}

TEST_F(TextBlockBytesTest, AVersion29HelloIsWrittenByteForByte)
{
    CTextBlock block(nullptr);
    Fill(block);
    block.SetText("Hello");
    const WORD wFlags = block.m_wFlags | TEXTBLOCK_UTF16;
    const std::string expected = Head(wFlags, "Arial") + U32(30) + U32(2) + U32(6) + U16('H') + U16('e') +
                                 U16('l') + U16('l') + U16('o') + U16(0) + U32(0x00808080) +
                                 "\xFD\xFF\xFF\xFF" + U32(4) + U32(0) + U32(1);
    EXPECT_EQ(Store(block), expected);
    // The flag is set in the block too, and reading gives the same block.
    EXPECT_EQ(block.m_wFlags, wFlags);
    CTextBlock back(nullptr);
    ASSERT_EQ(Load(back, expected), -1);
    EXPECT_STREQ(back.GetText(), "Hello");
    EXPECT_EQ(back.m_nShadowX, -3);
    EXPECT_EQ(Store(back), expected);
}

TEST_F(TextBlockBytesTest, WideTextMatchesAnIndependentEncoderBothWays)
{
    // Euro, trade mark, e acute, curly double and single quotes.
    const std::string text = "\x80 5\x99 caf\xE9 \x93quoted\x94 \x91single\x92";
    const std::string utf16 = PythonUtf16(text);
    if (utf16.empty())
        GTEST_SKIP() << "python3 is not available";
    ASSERT_EQ(utf16.size(), 2 * text.size());

    CTextBlock block(nullptr);
    Fill(block);
    block.SetText(text.c_str());
    const std::string bytes = Store(block);
    const std::string head = Head(block.m_wFlags, "Arial") + U32(30) + U32(2);
    ASSERT_EQ(bytes.compare(0, head.size(), head), 0);
    EXPECT_EQ(bytes.substr(head.size(), 4), U32(static_cast<long long>(text.size()) + 1));
    EXPECT_EQ(bytes.substr(head.size() + 4, utf16.size()), utf16);
    EXPECT_EQ(bytes.substr(head.size() + 4 + utf16.size(), 2), U16(0));

    // Python's bytes, stored by hand, read back as the same text.
    const std::string record = head + U32(static_cast<long long>(text.size()) + 1) + utf16 + U16(0) +
                               U32(0) + U32(0) + U32(0) + U32(0) + U32(1);
    CTextBlock back(nullptr);
    ASSERT_EQ(Load(back, record), -1);
    EXPECT_EQ(back.GetText().Std(), text);
}

TEST_F(TextBlockBytesTest, DamagedValuesAreBroughtIntoRange)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double dScaleX, dScaleY;
        long long nHeight, nFitted;
        long long nAngle, nColumns;
        double dExpectedX, dExpectedY;
        int nExpectedHeight, nExpectedFitted, nExpectedAngle, nExpectedColumns;
    };
    const Case cases[] = {
        {2.5, 0.25, -24, -30, 30, 2, 2.5, 0.25, -24, -30, 30, 2},
        {nan, inf, 0, 0, 360, 0, 1.0, 1.0, -1, -1, 0, 1},
        {-inf, -2.0, 5000, -5000, -90, 6, 1.0, 1.0, 999, -999, 270, 5},
        {0.0, -0.0, 0x80000000LL, 0x7FFFFFFFLL, 0xFFFFFFFFLL, 0x7FFFFFFFLL, 1.0, 1.0, -999, 999, 359, 5},
        {1e-300, 1e300, 1, -1, 0x80000000LL, 0x80000000LL, 1e-300, 1e300, 1, -1, 232, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nHeight);
        const std::string record = Head(TEXTBLOCK_UTF16, "Arial", c.dScaleX, c.dScaleY, c.nHeight, c.nFitted) +
                                   U32(c.nAngle) + U32(c.nColumns) + U32(2) + U16('x') + U16(0) + U32(0) +
                                   U32(0) + U32(0) + U32(0) + U32(1);
        CTextBlock block(nullptr);
        ASSERT_EQ(Load(block, record), -1);
        EXPECT_EQ(block.m_dScaleX, c.dExpectedX);
        EXPECT_EQ(block.m_dScaleY, c.dExpectedY);
        EXPECT_EQ(block.m_logfont.lfHeight, c.nExpectedHeight);
        EXPECT_EQ(block.m_nFittedHeight, c.nExpectedFitted);
        EXPECT_EQ(block.m_nAngle, c.nExpectedAngle);
        EXPECT_EQ(block.m_nColumns, c.nExpectedColumns);
        EXPECT_STREQ(block.GetText(), "x");
    }

    // A face name far longer than a font's is cut to 31 characters.
    const std::string longFace(200, 'F');
    const std::string record = Head(TEXTBLOCK_UTF16, longFace) + U32(0) + U32(1) + U32(1) + U16(0) + U32(0) +
                               U32(0) + U32(0) + U32(0) + U32(1);
    CTextBlock block(nullptr);
    ASSERT_EQ(Load(block, record), -1);
    EXPECT_EQ(std::string(block.m_logfont.lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(block.GetLength(), 0);

    // More UTF-16 units than bytes left is damage, never a huge text.
    const std::string tooMany = Head(TEXTBLOCK_UTF16, "Arial") + U32(0) + U32(1) + U32(5) + U16('a') + U16(0);
    EXPECT_EQ(Load(block, tooMany), CArchiveException::endOfFile);
}

TEST_F(TextBlockBytesTest, TheExactColourIsStoredAndReadOnAPaletteScreen)
{
    // On an 8-bit screen the drawn colour is the nearest the screen shows,
    // but the design keeps what the user chose.
    platform::headless::SetScreen(800, 600, 8);
    const COLORREF crOdd = RGB(201, 101, 51);
    CTextBlock block(nullptr);
    Fill(block);
    block.m_crText = crOdd;
    block.SetText("c");
    std::string bytes = Store(block);
    const std::string head = Head(block.m_wFlags, "Arial");
    EXPECT_EQ(bytes.substr(head.size() - 20, 4), U32(crOdd));
    for (int round = 0; round < 3; ++round) {
        CTextBlock back(nullptr);
        ASSERT_EQ(Load(back, bytes), -1);
        EXPECT_EQ(back.m_crText, crOdd);
        bytes = Store(back);
    }
    EXPECT_EQ(bytes.substr(head.size() - 20, 4), U32(crOdd));

    EXPECT_NE(block.GetDrawTextColor(nullptr), crOdd);
    // The window-text colour stands for -1.
    block.m_crText = COLORREF(-1);
    EXPECT_EQ(block.GetDrawTextColor(nullptr), GetNearestScreenColor(::GetSysColor(COLOR_WINDOWTEXT), nullptr));
}

} // namespace
