#include "app/DocStream.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "tests/app/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using storage_test::ReadStreamBytes;
using storage_test::Wide;

class DocStreamTest : public storage_test::StorageTest {};

// Runs the call and tells whether it threw the silent user exception.
template <typename F>
bool ThrowsUserException(F&& call)
{
    try {
        call();
    } catch (CUserException* e) {
        e->Delete();
        return true;
    }
    return false;
}

TEST_F(DocStreamTest, ReadingFromAMissingFileOrStreamThrows)
{
    const std::string path = NewPath("missing.shr");
    CDocStream stream;
    stream.SetFileStream(path.c_str(), "Doc Quick Info", nullptr);
    EXPECT_TRUE(ThrowsUserException([&] { stream.OpenForRead(TRUE); }));
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.GetLength(), 0u);

    stream.SetFileStream("", "Doc Quick Info", nullptr);
    EXPECT_TRUE(ThrowsUserException([&] { stream.OpenForRead(FALSE); }));

    storage_test::WriteCompoundFile(path, CLSID_NULL, {{"Contents", "x"}});
    stream.SetFileStream(path.c_str(), "Doc Quick Info", nullptr);
    EXPECT_TRUE(ThrowsUserException([&] { stream.OpenForRead(FALSE); }));
    EXPECT_EQ(stream.GetResult(), STG_E_FILENOTFOUND);
}

TEST_F(DocStreamTest, WritesThroughAnArchiveAndCommitsOnClose)
{
    const std::string path = NewPath("new.shr");
    CDocStream stream;
    stream.SetFileStream(path.c_str(), "Doc Quick Info", nullptr);
    stream.OpenForWrite(FALSE, TRUE);
    ASSERT_NE(stream.GetArchive(), nullptr);
    EXPECT_TRUE(stream.GetArchive()->IsStoring());
    *stream.GetArchive() << DWORD(2) << WORD(0x1234);
    stream.Close();
    EXPECT_EQ(stream.GetResult(), S_OK);
    EXPECT_EQ(stream.GetArchive(), nullptr);
    EXPECT_EQ(ReadStreamBytes(path, "Doc Quick Info"), std::string("\x02\0\0\0\x34\x12", 6));

    stream.SetFileStream(path.c_str(), "Doc Quick Info", nullptr);
    stream.OpenForRead(TRUE);
    EXPECT_EQ(stream.GetLength(), 6u);
    DWORD version = 0;
    WORD flags = 0;
    *stream.GetArchive() >> version >> flags;
    EXPECT_EQ(version, 2u);
    EXPECT_EQ(flags, 0x1234);
}

TEST_F(DocStreamTest, RewritingAStreamLeavesOnlyTheNewBytes)
{
    const std::string path = NewPath("rewrite.shr");
    storage_test::WriteCompoundFile(path, CLSID_NULL, {{"Surface Preview", std::string(5000, 'o')}});
    for (BOOL bReplace : {FALSE, TRUE}) {
        CDocStream stream;
        stream.SetFileStream(path.c_str(), "Surface Preview", nullptr);
        stream.OpenForWrite(bReplace, FALSE);
        stream.GetFile().Write(bReplace ? "replaced" : "new", bReplace ? 8 : 3);
        stream.Close();
        EXPECT_EQ(ReadStreamBytes(path, "Surface Preview"), bReplace ? "replaced" : "new");
    }
}

TEST_F(DocStreamTest, WorksOnAStorageTheCallerKeeps)
{
    const std::string path = NewPath("held.shr");
    IStorage* pStorage = nullptr;
    ASSERT_EQ(StgCreateDocfile(Wide(path).c_str(), STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                  &pStorage),
        S_OK);
    {
        CDocStream stream;
        stream.SetStorageStream(pStorage, "Surface Preview2", nullptr);
        stream.OpenForWrite(TRUE, FALSE);
        stream.GetFile().Write("pixels", 6);
        stream.Close();
        EXPECT_EQ(stream.GetResult(), S_OK);
    }
    // The caller's own reference is still good, and the stream was
    // committed into the storage.
    EXPECT_EQ(pStorage->AddRef(), 2u);
    pStorage->Release();
    IStream* pStream = nullptr;
    ASSERT_EQ(pStorage->OpenStream(u"Surface Preview2", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &pStream), S_OK);
    STATSTG stat {};
    pStream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, 6u);
    pStream->Release();
    pStorage->Release();
    EXPECT_EQ(ReadStreamBytes(path, "Surface Preview2"), "pixels") << "the close committed the root";
}

TEST_F(DocStreamTest, HoldsTheFileExclusivelyWhileOpen)
{
    const std::string path = NewPath("busy.shr");
    storage_test::WriteCompoundFile(path, CLSID_NULL, {{"Doc Quick Info", "abc"}});
    CDocStream writer;
    writer.SetFileStream(path.c_str(), "Doc Quick Info", nullptr);
    writer.OpenForWrite(FALSE, FALSE);

    CDocStream reader;
    reader.SetFileStream(path.c_str(), "Doc Quick Info", nullptr);
    EXPECT_TRUE(ThrowsUserException([&] { reader.OpenForRead(FALSE); }));
    EXPECT_EQ(reader.GetResult(), STG_E_SHAREVIOLATION);

    writer.Close();
    reader.SetFileStream(path.c_str(), "Doc Quick Info", nullptr);
    reader.OpenForRead(FALSE);
    EXPECT_TRUE(reader.IsOpen());
}

} // namespace
