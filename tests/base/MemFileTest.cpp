#include "ArchiveTestSupport.h"

#include "platform/base/GlobalMemory.h"
#include "platform/base/MemFile.h"
#include "platform/base/SharedFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using archive_test::FileBytes;

TEST(MemFile, GrowsAsItIsWrittenAndReadsBack)
{
    CMemFile file(16);
    std::string data;
    for (int i = 0; i < 100; ++i)
        data += static_cast<char>(i);
    file.Write(data.data(), 10);
    file.Write(data.data() + 10, 90);
    EXPECT_EQ(file.GetLength(), 100u);
    EXPECT_EQ(FileBytes(file), data);

    char buffer[200];
    EXPECT_EQ(file.Seek(95, CFile::begin), 95);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
}

TEST(MemFile, SeekingPastTheEndThenWritingFillsWithZeros)
{
    CMemFile file;
    file.Write("ab", 2);
    EXPECT_EQ(file.Seek(3, CFile::end), 5);
    EXPECT_EQ(file.GetLength(), 2u) << "seeking alone does not extend";
    file.Write("z", 1);
    EXPECT_EQ(FileBytes(file), std::string("ab\0\0\0z", 6));

    file.SetLength(8);
    EXPECT_EQ(FileBytes(file), std::string("ab\0\0\0z\0\0", 8));
    file.Seek(0, CFile::end);
    file.SetLength(1);
    EXPECT_EQ(file.GetPosition(), 1u) << "the position follows a shortened end";

    try {
        file.Seek(-2, CFile::current);
        FAIL() << "seek before the start";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::badSeek);
        e->Delete();
    }
}

TEST(MemFile, AttachedFixedBufferIsTheFileAndDoesNotGrow)
{
    BYTE buffer[4] = {'w', 'x', 'y', 'z'};
    CMemFile file(buffer, sizeof buffer);
    EXPECT_EQ(file.GetLength(), 4u);
    EXPECT_EQ(FileBytes(file), "wxyz");
    file.SeekToBegin();
    file.Write("AB", 2);
    EXPECT_EQ(buffer[0], 'A') << "written in place";
    file.Seek(0, CFile::end);
    try {
        file.Write("!", 1);
        FAIL() << "a fixed buffer cannot grow";
    } catch (CMemoryException* e) {
        e->Delete();
    }
    EXPECT_EQ(file.GetLength(), 4u);
    EXPECT_EQ(file.Detach(), buffer);
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(MemFile, AttachedGrowingBufferStartsEmptyAndLeavesTheCallersMemory)
{
    BYTE buffer[4] = {1, 2, 3, 4};
    CMemFile file;
    file.Attach(buffer, sizeof buffer, 8);
    EXPECT_EQ(file.GetLength(), 0u);
    file.Write("abc", 3);
    EXPECT_EQ(buffer[0], 'a');
    file.Write("defgh", 5); // outgrows the caller's buffer
    EXPECT_EQ(FileBytes(file), "abcdefgh");
    BYTE* own = file.Detach();
    ASSERT_NE(own, buffer);
    EXPECT_EQ(std::memcmp(own, "abcdefgh", 8), 0);
    std::free(own); // detached memory is the caller's
}

TEST(MemFile, DetachHandsOverTheBuffer)
{
    CMemFile file;
    file.Write("data", 4);
    const DWORD length = file.GetLength();
    BYTE* p = file.Detach();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p), length), "data");
    std::free(p);
    file.Write("again", 5);
    EXPECT_EQ(FileBytes(file), "again");
}

TEST(SharedFile, HandsItsContentsOnAsAGlobalBlock)
{
    const size_t blocksBefore = platform::GlobalBlockCount();
    HGLOBAL hMem = nullptr;
    {
        CSharedFile file;
        std::string data(5000, 'k');
        file.Write(data.data(), static_cast<UINT>(data.size()));
        EXPECT_EQ(file.GetLength(), 5000u);
        hMem = file.Detach();
        EXPECT_EQ(file.GetLength(), 0u);
    }
    ASSERT_NE(hMem, nullptr);
    EXPECT_GE(GlobalSize(hMem), 5000u);
    EXPECT_EQ(GlobalSize(hMem) % 4096, 0u) << "grows by 4096";
    const char* p = static_cast<const char*>(GlobalLock(hMem));
    EXPECT_EQ(std::string(p, 5000), std::string(5000, 'k'));
    GlobalUnlock(hMem);

    // Read it back through SetHandle; without growth, writing past the end fails.
    {
        CSharedFile reader;
        reader.SetHandle(hMem, FALSE);
        EXPECT_EQ(reader.GetLength(), GlobalSize(hMem));
        char first[3];
        EXPECT_EQ(reader.Read(first, 3), 3u);
        EXPECT_EQ(std::string(first, 3), "kkk");
        reader.Seek(0, CFile::end);
        try {
            reader.Write("x", 1);
            FAIL() << "may not grow";
        } catch (CMemoryException* e) {
            e->Delete();
        }
        EXPECT_EQ(reader.Detach(), hMem);
    }
    EXPECT_EQ(platform::GlobalBlockCount(), blocksBefore + 1);
    GlobalFree(hMem);

    // A file that is not detached frees its block.
    {
        CSharedFile file;
        file.Write("x", 1);
        EXPECT_EQ(platform::GlobalBlockCount(), blocksBefore + 1);
    }
    EXPECT_EQ(platform::GlobalBlockCount(), blocksBefore);
}

TEST(SharedFile, CarriesAnArchive)
{
    CSharedFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << CString("clip") << static_cast<DWORD>(5);
    }
    HGLOBAL hMem = file.Detach();
    CSharedFile reader;
    reader.SetHandle(hMem);
    CArchive ar(&reader, CArchive::load);
    CString text;
    DWORD n;
    ar >> text >> n;
    EXPECT_TRUE(text == "clip");
    EXPECT_EQ(n, 5u);
}
