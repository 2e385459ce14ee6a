#include "app/ArchiveHelpers.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Runs a store through a memory file and returns the bytes written.
template <typename Fn>
std::string Store(Fn&& fn)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fn(ar);
        ar.Close();
    }
    DWORD length = file.GetLength();
    BYTE* bytes = file.Detach();
    std::string out(reinterpret_cast<const char*>(bytes), length);
    free(bytes);
    return out;
}

template <typename Fn>
void Load(const std::string& bytes, Fn&& fn)
{
    std::string copy = bytes;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    fn(ar);
}

TEST(ArchiveHelpers, PointsAndRectanglesAreLittleEndianWords)
{
    std::string bytes = Store([](CArchive& ar) {
        ArchiveWritePoint(ar, POINT{1, -2});
        ArchiveWriteRect(ar, RECT{0x01020304, -1, 5, 6});
        ArchiveWritePoint(ar, SIZE{7, 8});
    });
    const std::string expected("\x01\0\0\0\xFE\xFF\xFF\xFF"
                               "\x04\x03\x02\x01\xFF\xFF\xFF\xFF\x05\0\0\0\x06\0\0\0"
                               "\x07\0\0\0\x08\0\0\0",
        32);
    EXPECT_EQ(bytes, expected);

    Load(bytes, [](CArchive& ar) {
        POINT p;
        RECT r;
        SIZE s;
        ArchiveReadPoint(ar, p);
        ArchiveReadRect(ar, r);
        ArchiveReadPoint(ar, s);
        EXPECT_EQ(p.x, 1);
        EXPECT_EQ(p.y, -2);
        EXPECT_EQ(r.left, 0x01020304);
        EXPECT_EQ(r.top, -1);
        EXPECT_EQ(r.bottom, 6);
        EXPECT_EQ(s.cx, 7);
        EXPECT_EQ(s.cy, 8);
    });
}

LOGFONT SampleFont(const char* face)
{
    LOGFONT lf{};
    lf.lfHeight = -24;
    lf.lfWidth = 0;
    lf.lfEscapement = 900;
    lf.lfOrientation = 900;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    lf.lfUnderline = 0;
    lf.lfStrikeOut = 1;
    lf.lfCharSet = 2;
    lf.lfOutPrecision = 3;
    lf.lfClipPrecision = 4;
    lf.lfQuality = 5;
    lf.lfPitchAndFamily = 0x22;
    strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

TEST(ArchiveHelpers, FontIsFiveWordsEightBytesAndItsFaceName)
{
    LOGFONT lf = SampleFont("Arial");
    std::string bytes = Store([&](CArchive& ar) { ArchiveWriteLogFont(ar, lf); });
    ASSERT_EQ(bytes.size(), 20u + 8u + 1u + 5u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xE8\xFF\xFF\xFF", 4));
    EXPECT_EQ(bytes.substr(16, 4), std::string("\xBC\x02\0\0", 4));
    EXPECT_EQ(bytes.substr(20, 8), std::string("\x01\x00\x01\x02\x03\x04\x05\x22", 8));
    EXPECT_EQ(bytes.substr(28), std::string("\x05" "Arial"));

    LOGFONT back;
    memset(&back, 0xCC, sizeof(back));
    Load(bytes, [&](CArchive& ar) { ArchiveReadLogFont(ar, back); });
    EXPECT_EQ(memcmp(&lf, &back, sizeof(LOGFONT)), 0);
}

TEST(ArchiveHelpers, LongStoredFaceNameIsCutToFit)
{
    LOGFONT lf = SampleFont("x");
    std::string bytes = Store([&](CArchive& ar) {
        ArchiveWriteLogFont(ar, lf);
    });
    // Replace the stored name by one of 40 characters.
    bytes = bytes.substr(0, 28) + std::string(1, '\x28') + std::string(40, 'F');
    LOGFONT back{};
    Load(bytes, [&](CArchive& ar) { ArchiveReadLogFont(ar, back); });
    EXPECT_EQ(strlen(back.lfFaceName), 31u);
    EXPECT_EQ(back.lfFaceName[31], '\0');
}

TEST(ArchiveHelpers, ShortStreamRaisesEndOfFile)
{
    std::string bytes("\x01\0\0\0\x02\0", 6);
    bool raised = false;
    try {
        Load(bytes, [](CArchive& ar) {
            POINT p;
            ArchiveReadPoint(ar, p);
        });
    } catch (CArchiveException* e) {
        raised = e->m_cause == CArchiveException::endOfFile;
        e->Delete();
    }
    EXPECT_TRUE(raised);
}

TEST(ArchiveHelpers, SixteenBitRecordsWidenWithTheirSigns)
{
    POINTS small[2] = {{-1, 5}, {32767, -32768}};
    POINT wide[2];
    ConvertPoints16(small, wide, 2);
    EXPECT_EQ(wide[0].x, -1);
    EXPECT_EQ(wide[0].y, 5);
    EXPECT_EQ(wide[1].x, 32767);
    EXPECT_EQ(wide[1].y, -32768);

    LOGPEN16 pen16{0xFFFF, -3, 4, 0x00112233};
    LOGPEN pen;
    ConvertLogPen16(pen16, pen);
    EXPECT_EQ(pen.lopnStyle, 0xFFFFu);
    EXPECT_EQ(pen.lopnWidth.x, -3);
    EXPECT_EQ(pen.lopnWidth.y, 4);
    EXPECT_EQ(pen.lopnColor, 0x00112233u);

    LOGBRUSH16 brush16{0x8001, 0x00ABCDEF, -2};
    LOGBRUSH brush;
    ConvertLogBrush16(brush16, brush);
    EXPECT_EQ(brush.lbStyle, 0x8001u);
    EXPECT_EQ(brush.lbColor, 0x00ABCDEFu);
    EXPECT_EQ(static_cast<LONG_PTR>(brush.lbHatch), -2);
}

TEST(ArchiveHelpers, OldPageSetupRecordWidensToTwentyTwoWords)
{
    BYTE rec[kDocQuickInfo16Size];
    BYTE* p = rec;
    auto put16 = [&p](int v) {
        *p++ = static_cast<BYTE>(v & 0xFF);
        *p++ = static_cast<BYTE>((v >> 8) & 0xFF);
    };
    auto put32 = [&p](DWORD v) {
        for (int i = 0; i < 4; ++i)
            *p++ = static_cast<BYTE>(v >> (8 * i));
    };
    for (int i = 0; i < 7; ++i)
        put16(i == 1 ? -1 : i);
    put32(0x80000001u);
    for (int i = 8; i < 21; ++i)
        put16(-i);
    put32(0x12345678u);
    ASSERT_EQ(p - rec, kDocQuickInfo16Size);

    DWORD fields[kDocQuickInfoFields];
    ConvertDocQuickInfo16(rec, fields);
    EXPECT_EQ(fields[0], 0u);
    EXPECT_EQ(fields[1], 0xFFFFFFFFu);
    EXPECT_EQ(fields[6], 6u);
    EXPECT_EQ(fields[7], 0x80000001u);
    EXPECT_EQ(static_cast<LONG>(fields[8]), -8);
    EXPECT_EQ(static_cast<LONG>(fields[20]), -20);
    EXPECT_EQ(fields[21], 0x12345678u);
}

} // namespace
