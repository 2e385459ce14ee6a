#include "ArchiveTestSupport.h"

#include "platform/base/File.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

using namespace archive_test;

TEST(Archive, WritesScalarsLittleEndianAtTheirWindowsSizes)
{
    const std::string bytes = Store([](CArchive& ar) {
        ar << static_cast<BYTE>(0x12) << static_cast<WORD>(0x3456) << static_cast<LONG>(-2)
           << static_cast<DWORD>(0x89ABCDEF) << static_cast<short>(-3) << 'x' << 7 << static_cast<UINT>(9)
           << static_cast<COLORREF>(RGB(1, 2, 3)) << 1.5 << 2.0f;
    });
    const std::string expected = Bytes({0x12, 0x56, 0x34, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB, 0x89, 0xFD, 0xFF,
                                     'x', 7, 0, 0, 0, 9, 0, 0, 0, 1, 2, 3, 0})
        + Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) + Bytes({0, 0, 0, 0x40});
    EXPECT_EQ(bytes, expected);

    Load(bytes, [](CArchive& ar) {
        BYTE by;
        WORD w;
        LONG l;
        DWORD dw;
        short s;
        char ch;
        int i;
        UINT u;
        COLORREF cr;
        double d;
        float f;
        ar >> by >> w >> l >> dw >> s >> ch >> i >> u >> cr >> d >> f;
        EXPECT_EQ(by, 0x12);
        EXPECT_EQ(w, 0x3456);
        EXPECT_EQ(l, -2);
        EXPECT_EQ(dw, 0x89ABCDEFu);
        EXPECT_EQ(s, -3);
        EXPECT_EQ(ch, 'x');
        EXPECT_EQ(i, 7);
        EXPECT_EQ(u, 9u);
        EXPECT_EQ(cr, RGB(1, 2, 3));
        EXPECT_EQ(d, 1.5);
        EXPECT_EQ(f, 2.0f);
    });
}

TEST(Archive, WritesStringLengthPrefixesAtEachBoundary)
{
    struct Case {
        int length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65534, Bytes({0xFF, 0xFF, 0xFF}) + U32(65534)},
        {65535, Bytes({0xFF, 0xFF, 0xFF}) + U32(65535)},
        {70000, Bytes({0xFF, 0xFF, 0xFF}) + U32(70000)},
        {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const CString text(static_cast<char>('a' + c.length % 26), c.length);
        const std::string bytes = Store([&](CArchive& ar) { ar << text; });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
        EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix);
        EXPECT_EQ(bytes.substr(c.prefix.size()), text.Std());
        Load(bytes, [&](CArchive& ar) {
            CString back;
            ar >> back;
            EXPECT_TRUE(back == text);
            EXPECT_TRUE(ar.IsBufferEmpty());
        });
    }
}

TEST(Archive, StringKeepsZeroBytesAnd1252Characters)
{
    const CString text("a\0b\x80\xFF", 5);
    const std::string bytes = Store([&](CArchive& ar) { ar << text; });
    EXPECT_EQ(bytes, Bytes({5, 'a', 0, 'b', 0x80, 0xFF}));
    Load(bytes, [&](CArchive& ar) {
        CString back;
        ar >> back;
        EXPECT_EQ(back.GetLength(), 5);
        EXPECT_TRUE(back == text);
    });
}

TEST(Archive, ReadsUnicodeStringsAndConvertsThemTo1252)
{
    // 0xFF 0xFFFE marks UTF-16; "A€é" then a plain string to show the stream
    // position is right afterwards.
    const std::string shortForm = Bytes({0xFF, 0xFE, 0xFF, 3, 'A', 0, 0xAC, 0x20, 0xE9, 0, 2, 'o', 'k'});
    Load(shortForm, [](CArchive& ar) {
        CString text, next;
        ar >> text >> next;
        EXPECT_TRUE(text == "A\x80\xE9");
        EXPECT_TRUE(next == "ok");
    });

    // The UTF-16 length in its long forms, and a character 1252 lacks.
    std::string wordForm = Bytes({0xFF, 0xFE, 0xFF, 0xFF}) + U16(300);
    for (int i = 0; i < 300; ++i)
        wordForm += Bytes({'z', 0});
    Load(wordForm, [](CArchive& ar) {
        CString text;
        ar >> text;
        EXPECT_EQ(text.GetLength(), 300);
    });
    const std::string dwordForm = Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(1) + Bytes({0x16, 0x04});
    Load(dwordForm, [](CArchive& ar) {
        CString text;
        ar >> text;
        EXPECT_TRUE(text == "?");
    });
}

TEST(Archive, RefusesLengthsAndCountsLargerThanWhatIsLeft)
{
    auto readString = [](CArchive& ar) {
        CString text;
        ar >> text;
    };
    // A length of 4 GiB with three bytes behind it must fail at once, not try
    // to allocate.
    EXPECT_EQ(LoadFailure(Bytes({0xFF, 0xFF, 0xFF}) + U32(0xFFFFFFFF) + "abc", readString),
        CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(0x7FFFFFFF) + "ab", readString),
        CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure(Bytes({10, 'a', 'b'}), readString), CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF}), readString), CArchiveException::generic);

    auto readCount = [](CArchive& ar) { ar.ReadCount(); };
    EXPECT_EQ(LoadFailure(Bytes({0xFF, 0xFF}) + U32(0xFFFFFFFF) + "x", readCount), CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure(U16(3) + "ab", readCount), CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure(U16(2) + "ab", readCount), -1);
}

TEST(Archive, ShortReadsOfValuesRaiseEndOfFile)
{
    EXPECT_EQ(LoadFailure(Bytes({1, 2, 3}), [](CArchive& ar) {
        DWORD dw;
        ar >> dw;
    }),
        CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure(Bytes({1, 2, 3, 4, 5, 6, 7}), [](CArchive& ar) {
        double d;
        ar >> d;
    }),
        CArchiveException::endOfFile);
    EXPECT_EQ(LoadFailure("", [](CArchive& ar) {
        BYTE b;
        ar >> b;
    }),
        CArchiveException::endOfFile);
    // Raw reads return what there is instead.
    Load(Bytes({1, 2, 3}), [](CArchive& ar) {
        char buffer[8];
        EXPECT_EQ(ar.Read(buffer, sizeof buffer), 3u);
        EXPECT_EQ(ar.Read(buffer, sizeof buffer), 0u);
    });
}

TEST(Archive, WritesCountsInTwoForms)
{
    const std::string bytes = Store([](CArchive& ar) {
        ar.WriteCount(0);
        ar.WriteCount(0xFFFE);
        ar.WriteCount(0xFFFF);
        ar.WriteCount(0x12345);
    });
    std::string expected = U16(0) + U16(0xFFFE) + U16(0xFFFF) + U32(0xFFFF) + U16(0xFFFF) + U32(0x12345);
    EXPECT_EQ(bytes, expected);
    // Pad so the counts are not larger than what is left.
    Load(bytes + std::string(0x12345, '\0'), [](CArchive& ar) {
        EXPECT_EQ(ar.ReadCount(), 0u);
        EXPECT_EQ(ar.ReadCount(), 0xFFFEu);
        EXPECT_EQ(ar.ReadCount(), 0xFFFFu);
        EXPECT_EQ(ar.ReadCount(), 0x12345u);
    });
}

TEST(Archive, RefusesTheWrongDirection)
{
    CMemFile file;
    CArchive storing(&file, CArchive::store);
    BYTE b;
    char buffer[4];
    EXPECT_TRUE(storing.IsStoring());
    EXPECT_FALSE(storing.IsLoading());
    try {
        storing >> b;
        FAIL() << "read from a storing archive";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::writeOnly);
        e->Delete();
    }

    CMemFile source;
    CArchive loading(&source, CArchive::load);
    EXPECT_TRUE(loading.IsLoading());
    try {
        loading.Write(buffer, 1);
        FAIL() << "write to a loading archive";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::readOnly);
        e->Delete();
    }
}

TEST(Archive, FlushesOnDeleteUnlessToldNotTo)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<DWORD>(1);
        EXPECT_EQ(file.GetLength(), 0u) << "buffered until flushed";
    }
    EXPECT_EQ(file.GetLength(), 4u);

    CMemFile other;
    {
        CArchive ar(&other, CArchive::store | CArchive::bNoFlushOnDelete);
        ar << static_cast<DWORD>(1);
    }
    EXPECT_EQ(other.GetLength(), 0u);

    CMemFile aborted;
    {
        CArchive ar(&aborted, CArchive::store);
        ar << static_cast<DWORD>(1);
        ar.Abort();
        EXPECT_EQ(ar.GetFile(), nullptr);
    }
    EXPECT_EQ(aborted.GetLength(), 0u);
}

TEST(Archive, LoadingFlushGivesTheFileItsLogicalPosition)
{
    std::string data(1000, 'q');
    data[0] = 7;
    Load(data, [](CArchive& ar) {
        BYTE b;
        ar >> b;
        EXPECT_EQ(b, 7);
        EXPECT_FALSE(ar.IsBufferEmpty());
        EXPECT_EQ(ar.GetBytesRemaining(), 999u);
        ar.Flush();
        EXPECT_TRUE(ar.IsBufferEmpty());
        EXPECT_EQ(ar.GetFile()->GetPosition(), 1u);
        EXPECT_EQ(ar.GetBytesRemaining(), 999u);
    });
}

TEST(Archive, MovesBlocksLargerThanItsBufferBothWays)
{
    std::string big(10000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, 128);
        ar << static_cast<BYTE>(1);
        ar.Write(big.data(), static_cast<UINT>(big.size()));
        ar << static_cast<WORD>(0xBEEF);
    }
    std::string bytes = FileBytes(file);
    ASSERT_EQ(bytes.size(), 10003u);
    EXPECT_EQ(bytes.substr(1, big.size()), big);

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 128);
    BYTE b;
    WORD w;
    ar >> b;
    std::string back(big.size(), '\0');
    EXPECT_EQ(ar.Read(back.data(), 50), 50u);
    EXPECT_EQ(ar.Read(back.data() + 50, static_cast<UINT>(big.size() - 50)), big.size() - 50);
    ar >> w;
    EXPECT_EQ(back, big);
    EXPECT_EQ(w, 0xBEEF);
    EXPECT_EQ(ar.GetBytesRemaining(), 0u);
}

TEST(Archive, ReadsAndWritesTextLines)
{
    const std::string bytes = Store([](CArchive& ar) {
        ar.WriteString("one\r\ntwo\n");
        ar.WriteString("three");
    });
    EXPECT_EQ(bytes, "one\r\ntwo\nthree");
    Load(bytes, [](CArchive& ar) {
        CString line;
        ASSERT_TRUE(ar.ReadString(line));
        EXPECT_TRUE(line == "one");
        ASSERT_TRUE(ar.ReadString(line));
        EXPECT_TRUE(line == "two");
        ASSERT_TRUE(ar.ReadString(line));
        EXPECT_TRUE(line == "three");
        EXPECT_FALSE(ar.ReadString(line));
        EXPECT_TRUE(line.IsEmpty());
    });
}

TEST(Archive, WorksOverADiskFile)
{
    const std::string path = testing_support::MakeTempDir("archive") + "/data.bin";
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        EXPECT_EQ(ar.GetFile(), &file);
        ar << CString("hello") << static_cast<DWORD>(42);
        ar.Close();
    }
    EXPECT_EQ(testing_support::ReadFileBytes(path), Bytes({5, 'h', 'e', 'l', 'l', 'o', 42, 0, 0, 0}));

    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CString text;
    DWORD n;
    ar >> text >> n;
    EXPECT_TRUE(text == "hello");
    EXPECT_EQ(n, 42u);
    EXPECT_TRUE(ar.m_strFileName == file.GetFilePath());
}
