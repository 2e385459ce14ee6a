#include "app/StorageFile.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "tests/app/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using storage_test::ReadStreamBytes;
using storage_test::Wide;

class StorageFileTest : public storage_test::StorageTest {};

// Runs the call and returns the cause of the CFileException it threw, or -1.
template <typename F>
int FileExceptionCause(F&& call)
{
    try {
        call();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

TEST_F(StorageFileTest, AMissingFileStaysClosedAndUncreatedWhenRead)
{
    const std::string path = NewPath("imagedb.olv");
    CStorageFile file;
    file.SetPath(path.c_str(), nullptr);
    file.OpenForRead("Contents", TRUE);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetArchive(), nullptr);
    file.OpenForRead("Contents", FALSE);
    EXPECT_FALSE(file.IsOpen());
    file.CopyStream("Contents", "Copy");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(StgIsStorageFile(Wide(path).c_str()), STG_E_FILENOTFOUND);
}

TEST_F(StorageFileTest, MissingStreamOfAnExistingFileThrows)
{
    const std::string path = NewPath("imagedb.olv");
    storage_test::WriteCompoundFile(path, CLSID_NULL, {{"Contents", "x"}});
    CStorageFile file;
    file.SetPath(path.c_str(), nullptr);
    EXPECT_EQ(FileExceptionCause([&] { file.OpenForRead("Animals", TRUE); }), CFileException::fileNotFound);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(StorageFileTest, WritingCreatesTheFileAndCommitsOnClose)
{
    const std::string path = NewPath("imagedb.olv");
    CStorageFile file;
    file.SetPath(path.c_str(), nullptr);
    file.OpenForWrite("Contents", TRUE);
    ASSERT_TRUE(file.IsOpen());
    CArchive* pArchive = file.GetArchive();
    ASSERT_NE(pArchive, nullptr);
    *pArchive << DWORD(7);

    file.OpenForWrite("Contents", TRUE);
    EXPECT_EQ(file.GetArchive(), pArchive) << "the stream already open for writing stays as it is";
    *pArchive << DWORD(8);

    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(StgIsStorageFile(Wide(path).c_str()), S_OK);
    EXPECT_EQ(ReadStreamBytes(path, "Contents"), std::string("\x07\0\0\0\x08\0\0\0", 8));

    file.OpenForRead("Contents", TRUE);
    ASSERT_NE(file.GetArchive(), nullptr);
    DWORD a = 0, b = 0;
    *file.GetArchive() >> a >> b;
    EXPECT_EQ(a, 7u);
    EXPECT_EQ(b, 8u);
}

TEST_F(StorageFileTest, AnExistingStreamOpenedForWritingKeepsItsBytes)
{
    // Records are rewritten in place: only what is written changes.
    const std::string path = NewPath("imagedb.olv");
    storage_test::WriteCompoundFile(path, CLSID_NULL, {{"Animals", "0123456789"}});
    CStorageFile file;
    file.SetPath(path.c_str(), nullptr);
    file.OpenForWrite("Animals", FALSE);
    file.GetFile().Seek(4, CFile::begin);
    file.GetFile().Write("ab", 2);
    file.Close();
    EXPECT_EQ(ReadStreamBytes(path, "Animals"), "0123ab6789");
}

TEST_F(StorageFileTest, CopyStreamCopiesEveryByteAndNothingMore)
{
    const std::string path = NewPath("imagedb.olv");
    std::string source(2500, '\0'); // two full pieces of the copy and a part
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = char(i % 251);
    storage_test::WriteCompoundFile(path, CLSID_NULL,
        {{"Animals", source}, {"Longer", std::string(6000, 'L')}});
    CStorageFile file;
    file.SetPath(path.c_str(), nullptr);

    file.CopyStream("Animals", "Pets");
    file.CopyStream("Animals", "Longer");
    file.Close();
    EXPECT_EQ(ReadStreamBytes(path, "Pets"), source);
    EXPECT_EQ(ReadStreamBytes(path, "Longer"), source) << "the old tail of a longer target is gone";
    EXPECT_EQ(ReadStreamBytes(path, "Animals"), source);

    EXPECT_EQ(FileExceptionCause([&] { file.CopyStream("Birds", "Fowl"); }), CFileException::fileNotFound);
    file.Close();
    EXPECT_EQ(ReadStreamBytes(path, "Fowl"), "<no stream>");
}

TEST_F(StorageFileTest, DeleteStreamReportsWhetherTheStreamWentAway)
{
    const std::string path = NewPath("imagedb.olv");
    CStorageFile file;
    file.SetPath(path.c_str(), nullptr);
    EXPECT_FALSE(file.DeleteStream("Animals")) << "no file";

    storage_test::WriteCompoundFile(path, CLSID_NULL, {{"Animals", "a"}, {"Birds", "b"}});
    EXPECT_TRUE(file.DeleteStream("Animals"));
    EXPECT_FALSE(file.DeleteStream("Fish")) << "no such stream";
    file.Close();
    EXPECT_EQ(ReadStreamBytes(path, "Animals"), "<no stream>");
    EXPECT_EQ(ReadStreamBytes(path, "Birds"), "b");

    file.OpenForWrite("Birds", FALSE);
    EXPECT_FALSE(file.DeleteStream("Birds")) << "the stream open for writing is left alone";
    file.Close();
    EXPECT_EQ(ReadStreamBytes(path, "Birds"), "b");
}

TEST_F(StorageFileTest, SelectingAnotherStreamClosesTheOpenOne)
{
    const std::string path = NewPath("imagedb.olv");
    storage_test::WriteCompoundFile(path, CLSID_NULL, {{"Animals", "a"}, {"Birds", "b"}});
    CStorageFile file;
    file.SetPath(path.c_str(), nullptr);
    file.OpenForRead("Animals", FALSE);
    EXPECT_FALSE(file.SelectStream("Animals", FALSE));
    EXPECT_TRUE(file.SelectStream("animals", FALSE)) << "names are compared exactly";
    EXPECT_FALSE(file.IsOpen());

    file.OpenForWrite("Birds", FALSE);
    file.GetFile().Write("B", 1);
    EXPECT_TRUE(file.SelectStream("Birds", FALSE)) << "another mode closes, committing the write";
    EXPECT_EQ(ReadStreamBytes(path, "Birds"), "B");
}

} // namespace
