// COleStreamFile under CArchive, memory streams, class ids of files and the
// OLE start-up stand-in.

#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileSystem.h"
#include "platform/storage/OleInit.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace storage_test;

namespace {

class StreamFiles : public files_test::FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        platform::InitFileSystem();
        m_dir = testing_support::MakeTempDir("olefile");
        m_path = m_dir + "/gallery.dat";
        m_name = WinPath(m_path);
        ASSERT_EQ(StgCreateDocfile(m_name.c_str(), 0x11021, 0, &m_root), S_OK);
    }
    void TearDown() override
    {
        if (m_root)
            m_root->Release();
        FilesTest::TearDown();
    }
    std::string m_dir;
    std::string m_path;
    std::u16string m_name;
    IStorage* m_root = nullptr;
};

TEST_F(StreamFiles, ArchiveRoundTripsThroughAStream)
{
    {
        COleStreamFile file;
        CFileException error;
        ASSERT_TRUE(file.CreateStream(m_root, "Doc Quick Info", 0x1012, &error));
        CArchive archive(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        archive << CString("A design") << 42 << 2.5;
        archive.Close();
        EXPECT_EQ(file.GetLength(), 1u + 8 + 4 + 8);
    }
    ASSERT_EQ(m_root->Commit(STGC_ONLYIFCURRENT), S_OK);
    m_root->Release();
    ASSERT_EQ(StgOpenStorage(m_name.c_str(), nullptr, 0x10, nullptr, 0, &m_root), S_OK);

    COleStreamFile file;
    ASSERT_TRUE(file.OpenStream(m_root, "doc quick info", 0x10));
    CArchive archive(&file, CArchive::load | CArchive::bNoFlushOnDelete);
    CString text;
    int number = 0;
    double real = 0;
    archive >> text >> number >> real;
    EXPECT_STREQ(text, "A design");
    EXPECT_EQ(number, 42);
    EXPECT_EQ(real, 2.5);
    EXPECT_EQ(file.GetPosition(), file.GetLength());
}

TEST_F(StreamFiles, StreamFailuresBecomeFileExceptions)
{
    COleStreamFile file;
    CFileException error;
    EXPECT_FALSE(file.OpenStream(m_root, "Missing", 0x10, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, STG_E_FILENOTFOUND);
    EXPECT_FALSE(file.CreateStream(m_root, "Bad:Name", 0x1012, &error));
    EXPECT_EQ(error.m_lOsError, STG_E_INVALIDNAME);

    ASSERT_TRUE(file.CreateStream(m_root, "Contents", 0x1012));
    file.Write("abcdef", 6);
    file.SetLength(4);
    EXPECT_EQ(file.GetLength(), 4u);
    EXPECT_EQ(file.Seek(-1, CFile::end), 3);
    auto causeOf = [](auto&& action) {
        try {
            action();
        } catch (CFileException* e) {
            int cause = e->m_cause;
            e->Delete();
            return cause;
        }
        return -1;
    };
    EXPECT_EQ(causeOf([&] { file.Seek(-10, CFile::begin); }), CFileException::badSeek);
    IStream* stream = file.Detach();
    ASSERT_NE(stream, nullptr);
    stream->Release();
    EXPECT_EQ(causeOf([&] { file.GetLength(); }), CFileException::invalidFile);

    ASSERT_TRUE(file.OpenStream(m_root, "Contents", 0x10));
    EXPECT_EQ(causeOf([&] { file.Write("x", 1); }), CFileException::accessDenied);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
    EXPECT_STREQ(buffer, "abcd");
}

TEST(MemoryStreams, GrowInGlobalMemoryAndFreeItWhenAsked)
{
    const size_t blocks = platform::GlobalBlockCount();
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    std::string bytes(10000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    for (size_t at = 0; at < bytes.size(); at += 100)
        ASSERT_EQ(stream->Write(bytes.data() + at, 100, nullptr), S_OK);
    STATSTG stat;
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, bytes.size());

    HGLOBAL memory = nullptr;
    ASSERT_EQ(GetHGlobalFromStream(stream, &memory), S_OK);
    ASSERT_GE(GlobalSize(memory), bytes.size());
    EXPECT_EQ(std::memcmp(GlobalLock(memory), bytes.data(), bytes.size()), 0);
    GlobalUnlock(memory);

    ULARGE_INTEGER size;
    size.QuadPart = 10;
    ASSERT_EQ(stream->SetSize(size), S_OK);
    size.QuadPart = 20;
    ASSERT_EQ(stream->SetSize(size), S_OK);
    LARGE_INTEGER start {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    IStream* clone = nullptr;
    ASSERT_EQ(stream->Clone(&clone), S_OK);
    stream->Release();
    EXPECT_EQ(StreamBytes(clone), bytes.substr(0, 10) + std::string(10, '\0')) << "grown again with zeros";
    clone->Release();
    EXPECT_EQ(platform::GlobalBlockCount(), blocks);

    HGLOBAL given = GlobalAlloc(GMEM_MOVEABLE, 5);
    std::memcpy(GlobalLock(given), "hello", 5);
    GlobalUnlock(given);
    ASSERT_EQ(CreateStreamOnHGlobal(given, FALSE, &stream), S_OK);
    EXPECT_EQ(StreamBytes(stream), "hello");
    stream->Release();
    EXPECT_EQ(GlobalFree(given), nullptr) << "still the caller's";
}

TEST_F(StreamFiles, ClassOfStorageAndFile)
{
    const CLSID kClass = { 0xCAFE0001, 0x1234, 0x5678, { 9, 8, 7, 6, 5, 4, 3, 2 } };
    ASSERT_EQ(WriteClassStg(m_root, kClass), S_OK);
    CLSID clsid;
    ASSERT_EQ(ReadClassStg(m_root, &clsid), S_OK);
    EXPECT_EQ(clsid, kClass);
    ASSERT_EQ(m_root->Commit(STGC_DEFAULT), S_OK);
    m_root->Release();
    m_root = nullptr;

    ASSERT_EQ(GetClassFile(m_name.c_str(), &clsid), S_OK);
    EXPECT_EQ(clsid, kClass);
    EXPECT_EQ(StgIsStorageFile(m_name.c_str()), S_OK);

    const std::string flat = m_dir + "/flat.shr";
    for (const char* bytes : { "", "\xD0\xCF\x11", "  Wishcraft V1  and more" }) {
        testing_support::WriteFileBytes(flat, bytes);
        EXPECT_EQ(StgIsStorageFile(WinPath(flat).c_str()), S_FALSE) << bytes;
        EXPECT_EQ(GetClassFile(WinPath(flat).c_str(), &clsid), MK_E_INVALIDEXTENSION) << bytes;
    }
    const std::u16string missing = WinPath(m_dir + "/missing.shr");
    EXPECT_EQ(StgIsStorageFile(missing.c_str()), STG_E_FILENOTFOUND);
    EXPECT_EQ(GetClassFile(missing.c_str(), &clsid), STG_E_FILENOTFOUND);
}

TEST(OleStartUp, SucceedsUnlessATestMakesItFail)
{
    EXPECT_TRUE(AfxOleInit());
    platform::SetOleInitFailsForTests(true);
    EXPECT_FALSE(AfxOleInit());
    platform::SetOleInitFailsForTests(false);
    EXPECT_TRUE(AfxOleInit());
    AfxOleTerm();
}

} // namespace
