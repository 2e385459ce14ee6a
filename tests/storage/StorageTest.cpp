// IStorage and IStream behaviour: creation and open modes, share modes
// between opens and processes, transactions, commits that fail, names,
// elements and streams.

#include "platform/files/FileSystem.h"
#include "platform/files/SafeReplace.h"
#include "platform/storage/Storage.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <errno.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

using namespace storage_test;

namespace {

constexpr DWORD kCreate = 0x11021;        // transacted, create, deny write, write
constexpr DWORD kOpenWrite = 0x10012;     // transacted, exclusive, read-write
constexpr DWORD kReadExclusive = 0x10;    // read, exclusive
constexpr DWORD kReadDenyWrite = 0x20;    // read, deny write
constexpr DWORD kDirectWrite = 0x12;      // direct, exclusive, read-write
constexpr DWORD kStreamWrite = 0x1012;    // create, exclusive, read-write
constexpr DWORD kStreamRead = 0x10;

std::string ReadAll(IStream* stream)
{
    LARGE_INTEGER start {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return StreamBytes(stream);
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
        }
        closedir(dir);
    }
    return names;
}

class Storages : public files_test::FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        platform::InitFileSystem();
        m_dir = testing_support::MakeTempDir("stg");
        m_path = m_dir + "/design.shr";
        m_name = WinPath(m_path);
    }
    void TearDown() override
    {
        platform::SetReplaceWriteStepForTests(nullptr);
        FilesTest::TearDown();
    }

    HRESULT Open(DWORD mode, IStorage** out) { return StgOpenStorage(m_name.c_str(), nullptr, mode, nullptr, 0, out); }
    IStorage* OpenOk(DWORD mode)
    {
        IStorage* storage = nullptr;
        EXPECT_EQ(Open(mode, &storage), S_OK) << std::hex << mode;
        return storage;
    }
    static void Put(IStorage* storage, const char16_t* name, const std::string& bytes)
    {
        IStream* stream = nullptr;
        ASSERT_EQ(storage->CreateStream(name, kStreamWrite, 0, 0, &stream), S_OK);
        ASSERT_EQ(stream->Write(bytes.data(), ULONG(bytes.size()), nullptr), S_OK);
        stream->Release();
    }
    static std::string Get(IStorage* storage, const char16_t* name)
    {
        IStream* stream = nullptr;
        if (storage->OpenStream(name, nullptr, kStreamRead, 0, &stream) != S_OK)
            return "<missing>";
        std::string bytes = ReadAll(stream);
        stream->Release();
        return bytes;
    }
    // A committed file holding stream "A" = "one".
    void MakeFile()
    {
        IStorage* root = nullptr;
        ASSERT_EQ(StgCreateDocfile(m_name.c_str(), kCreate, 0, &root), S_OK);
        Put(root, u"A", "one");
        ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
        root->Release();
    }
    std::string FileStream(const char16_t* name)
    {
        IStorage* root = OpenOk(kReadExclusive);
        if (!root)
            return "<no file>";
        std::string bytes = Get(root, name);
        root->Release();
        return bytes;
    }

    std::string m_dir;
    std::string m_path;
    std::u16string m_name;
};

TEST_F(Storages, CreateMakesTheFileAtOnceAndHonoursCreateFlags)
{
    IStorage* root = nullptr;
    ASSERT_EQ(StgCreateDocfile(m_name.c_str(), kCreate, 0, &root), S_OK);
    EXPECT_FALSE(testing_support::ReadFileBytes(m_path).empty());
    Put(root, u"A", "one");
    root->Commit(STGC_DEFAULT);
    root->Release();

    EXPECT_EQ(StgCreateDocfile(m_name.c_str(), kCreate & ~STGM_CREATE, 0, &root), STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(FileStream(u"A"), "one");
    ASSERT_EQ(StgCreateDocfile(m_name.c_str(), kCreate, 0, &root), S_OK);
    root->Release();
    EXPECT_EQ(FileStream(u"A"), "<missing>");

    EXPECT_EQ(StgCreateDocfile(m_name.c_str(), STGM_CREATE | STGM_TRANSACTED | STGM_SHARE_EXCLUSIVE, 0, &root),
        STG_E_INVALIDFLAG) << "creating needs write access";
}

TEST_F(Storages, NullNameMakesATemporaryFileRemovedOnRelease)
{
    IStorage* root = nullptr;
    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root), S_OK);
    STATSTG stat;
    ASSERT_EQ(root->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    std::u16string name = stat.pwcsName;
    CoTaskMemFree(stat.pwcsName);
    EXPECT_EQ(StgIsStorageFile(name.c_str()), STG_E_SHAREVIOLATION) << "held exclusively";
    Put(root, u"Scratch", "x");
    root->Release();
    EXPECT_EQ(StgIsStorageFile(name.c_str()), STG_E_FILENOTFOUND);
}

TEST_F(Storages, OpenModesAndTheirErrors)
{
    IStorage* root = nullptr;
    EXPECT_EQ(Open(kReadExclusive, &root), STG_E_FILENOTFOUND);
    EXPECT_EQ(StgOpenStorage(WinPath(m_dir + "/no/such.shr").c_str(), nullptr, kReadExclusive, nullptr, 0, &root),
        STG_E_PATHNOTFOUND);
    testing_support::WriteFileBytes(m_path, "a flat file, not a compound one");
    EXPECT_EQ(Open(kReadExclusive, &root), STG_E_FILEALREADYEXISTS);

    MakeFile();
    for (DWORD mode : { kOpenWrite, kReadExclusive, kReadDenyWrite, kDirectWrite, DWORD(STGM_READWRITE | STGM_SHARE_EXCLUSIVE) }) {
        root = OpenOk(mode);
        if (root) {
            STATSTG stat;
            EXPECT_EQ(root->Stat(&stat, STATFLAG_NONAME), S_OK);
            EXPECT_EQ(stat.grfMode, mode);
            EXPECT_EQ(Get(root, u"A"), "one");
            root->Release();
        }
    }
    // Direct opens must keep other writers out.
    EXPECT_EQ(Open(STGM_READWRITE | STGM_SHARE_DENY_WRITE, &root), STG_E_INVALIDFLAG);
    EXPECT_EQ(Open(STGM_READ | STGM_SHARE_DENY_NONE, &root), STG_E_INVALIDFLAG);
    EXPECT_EQ(Open(kOpenWrite | STGM_CREATE, &root), STG_E_INVALIDFLAG);
}

TEST_F(Storages, ConflictingOpensInThisProcessAreShareViolations)
{
    MakeFile();
    struct Case {
        DWORD first;
        DWORD second;
        HRESULT expected;
    } cases[] = {
        { kOpenWrite, kReadExclusive, STG_E_SHAREVIOLATION },
        { kReadExclusive, kReadDenyWrite, STG_E_SHAREVIOLATION },
        { kReadDenyWrite, kReadDenyWrite, S_OK },
        { kReadDenyWrite, kDirectWrite, STG_E_SHAREVIOLATION },
        { kDirectWrite, kOpenWrite, STG_E_SHAREVIOLATION },
    };
    for (const Case& c : cases) {
        IStorage* first = OpenOk(c.first);
        IStorage* second = nullptr;
        EXPECT_EQ(Open(c.second, &second), c.expected) << std::hex << c.first << " then " << c.second;
        if (second)
            second->Release();
        if (first)
            first->Release();
    }
    // A commit moves the lock to the new file.
    IStorage* writer = OpenOk(kOpenWrite);
    Put(writer, u"B", "two");
    ASSERT_EQ(writer->Commit(STGC_DEFAULT), S_OK);
    IStorage* other = nullptr;
    EXPECT_EQ(Open(kReadDenyWrite, &other), STG_E_SHAREVIOLATION);
    writer->Release();
    EXPECT_EQ(FileStream(u"B"), "two");
}

TEST_F(Storages, OpenInAnotherProcessIsAShareViolation)
{
    MakeFile();
    int ready[2];
    int done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        IStorage* root = nullptr;
        char byte = StgOpenStorage(m_name.c_str(), nullptr, kOpenWrite, nullptr, 0, &root) == S_OK ? 'y' : 'n';
        (void)!write(ready[1], &byte, 1);
        (void)!read(done[0], &byte, 1);
        _exit(0);
    }
    char opened = 0;
    ASSERT_EQ(read(ready[0], &opened, 1), 1);
    ASSERT_EQ(opened, 'y');
    IStorage* root = nullptr;
    EXPECT_EQ(Open(kReadDenyWrite, &root), STG_E_SHAREVIOLATION);
    (void)!write(done[1], "x", 1);
    int status = 0;
    waitpid(child, &status, 0);
    root = OpenOk(kReadDenyWrite);
    if (root)
        root->Release();
    for (int fd : { ready[0], ready[1], done[0], done[1] })
        close(fd);
}

TEST_F(Storages, TransactedChangesReachTheFileOnlyOnCommit)
{
    MakeFile();
    const std::string before = testing_support::ReadFileBytes(m_path);
    IStorage* root = OpenOk(kOpenWrite);
    Put(root, u"A", "changed");
    Put(root, u"B", "new");
    EXPECT_EQ(testing_support::ReadFileBytes(m_path), before);
    root->Release();
    EXPECT_EQ(testing_support::ReadFileBytes(m_path), before) << "released without commit";

    root = OpenOk(kOpenWrite);
    Put(root, u"A", "changed");
    ASSERT_EQ(root->Commit(STGC_ONLYIFCURRENT), S_OK);
    root->Release();
    EXPECT_EQ(FileStream(u"A"), "changed");
}

TEST_F(Storages, RevertDropsChangesAndRevertsOpenElements)
{
    MakeFile();
    IStorage* root = OpenOk(kOpenWrite);
    IStream* stream = nullptr;
    ASSERT_EQ(root->CreateStream(u"B", kStreamWrite, 0, 0, &stream), S_OK);
    ASSERT_EQ(root->DestroyElement(u"A"), S_OK);
    ASSERT_EQ(root->Revert(), S_OK);
    EXPECT_EQ(stream->Write("x", 1, nullptr), STG_E_REVERTED);
    stream->Release();
    EXPECT_EQ(Get(root, u"A"), "one");
    EXPECT_EQ(Get(root, u"B"), "<missing>");
    root->Release();
}

bool WriteHalfThenFail(int fd, const void* data, size_t size)
{
    (void)!write(fd, data, size / 2);
    errno = EIO;
    return false;
}

TEST_F(Storages, FailedCommitLeavesTheOldFileByteForByte)
{
    MakeFile();
    const std::string before = testing_support::ReadFileBytes(m_path);
    IStorage* root = OpenOk(kOpenWrite);
    Put(root, u"A", std::string(50000, 'z'));
    platform::SetReplaceWriteStepForTests(WriteHalfThenFail);
    EXPECT_EQ(root->Commit(STGC_DEFAULT), STG_E_WRITEFAULT);
    platform::SetReplaceWriteStepForTests(nullptr);
    EXPECT_EQ(testing_support::ReadFileBytes(m_path), before);
    EXPECT_EQ(FolderEntries(m_dir), std::vector<std::string> { "design.shr" }) << "no temporary file left";

    // The changes are still there to commit again.
    ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    root->Release();
    EXPECT_EQ(FileStream(u"A"), std::string(50000, 'z'));
}

TEST_F(Storages, OnlyIfCurrentRefusesToOverwriteAnotherOpensCommit)
{
    MakeFile();
    const DWORD shared = STGM_TRANSACTED | STGM_READWRITE | STGM_SHARE_DENY_NONE;
    IStorage* first = OpenOk(shared);
    IStorage* second = OpenOk(shared);
    Put(first, u"A", "first");
    Put(second, u"A", "second");
    ASSERT_EQ(first->Commit(STGC_ONLYIFCURRENT), S_OK);
    EXPECT_EQ(second->Commit(STGC_ONLYIFCURRENT), STG_E_NOTCURRENT);
    EXPECT_EQ(second->Commit(STGC_OVERWRITE), S_OK);
    first->Release();
    second->Release();
    EXPECT_EQ(FileStream(u"A"), "second");
}

TEST_F(Storages, DirectOpenDestroysAndWritesOnRelease)
{
    MakeFile();
    IStorage* root = OpenOk(kDirectWrite);
    EXPECT_EQ(root->DestroyElement(u"A"), S_OK);
    EXPECT_EQ(root->DestroyElement(u"A"), STG_E_FILENOTFOUND);
    EXPECT_EQ(root->DestroyElement(u"Never there"), STG_E_FILENOTFOUND);
    root->Release();
    EXPECT_EQ(FileStream(u"A"), "<missing>");

    root = OpenOk(kReadDenyWrite);
    EXPECT_EQ(root->DestroyElement(u"A"), STG_E_ACCESSDENIED);
    root->Release();
}

TEST_F(Storages, StreamCreationAndOpeningModes)
{
    MakeFile();
    IStorage* root = OpenOk(kOpenWrite);
    IStream* stream = nullptr;
    EXPECT_EQ(root->CreateStream(u"A", STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream), STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(root->OpenStream(u"Missing", nullptr, kStreamRead, 0, &stream), STG_E_FILENOTFOUND);
    EXPECT_EQ(root->OpenStream(u"A", nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, 0, &stream), STG_E_INVALIDFLAG);
    EXPECT_EQ(root->OpenStream(u"A", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED, 0, &stream),
        STG_E_INVALIDFUNCTION);

    ASSERT_EQ(root->OpenStream(u"A", nullptr, kStreamRead, 0, &stream), S_OK);
    IStream* again = nullptr;
    EXPECT_EQ(root->OpenStream(u"A", nullptr, kStreamRead, 0, &again), STG_E_ACCESSDENIED) << "already open";
    EXPECT_EQ(stream->Write("x", 1, nullptr), STG_E_ACCESSDENIED) << "opened for reading";
    stream->Release();

    // 0x11 opens for writing only; 0x1011 replaces the stream.
    ASSERT_EQ(root->OpenStream(u"A", nullptr, 0x11, 0, &stream), S_OK);
    char byte;
    EXPECT_EQ(stream->Read(&byte, 1, nullptr), STG_E_ACCESSDENIED);
    stream->Release();
    ASSERT_EQ(root->CreateStream(u"A", 0x1011, 0, 0, &stream), S_OK);
    stream->Release();
    EXPECT_EQ(Get(root, u"A"), "");
    root->Release();

    root = OpenOk(kReadExclusive);
    EXPECT_EQ(root->CreateStream(u"B", kStreamWrite, 0, 0, &stream), STG_E_ACCESSDENIED);
    EXPECT_EQ(root->OpenStream(u"A", nullptr, 0x12, 0, &stream), STG_E_ACCESSDENIED);
    root->Release();
}

TEST_F(Storages, NamesCompareWithoutCaseAndRefuseReservedCharacters)
{
    MakeFile();
    IStorage* root = OpenOk(kOpenWrite);
    Put(root, u"Contents", "c");
    Put(root, u"\u00e9t\u00e9 \u00ff \u03b1", "accented");
    EXPECT_EQ(Get(root, u"CONTENTS"), "c");
    EXPECT_EQ(Get(root, u"\u00c9T\u00c9 \u0178 \u0391"), "accented");
    EXPECT_EQ(Get(root, u"\u00b5"), "<missing>");
    IStream* stream = nullptr;
    EXPECT_EQ(root->CreateStream(u"contents", STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream), STG_E_FILEALREADYEXISTS);

    const std::u16string longest(31, u'n');
    Put(root, longest.c_str(), "31");
    EXPECT_EQ(Get(root, longest.c_str()), "31");
    for (const std::u16string& bad : { longest + u"n", std::u16string(u""), std::u16string(u"a\\b"),
             std::u16string(u"a/b"), std::u16string(u"a:b"), std::u16string(u"a!b"), std::u16string(1, char16_t(0xD800)) }) {
        EXPECT_EQ(root->CreateStream(bad.c_str(), kStreamWrite, 0, 0, &stream), STG_E_INVALIDNAME);
        EXPECT_EQ(root->OpenStream(bad.c_str(), nullptr, kStreamRead, 0, &stream), STG_E_INVALIDNAME);
    }
    root->Release();
}

TEST_F(Storages, StreamReadWriteSeekAndSize)
{
    MakeFile();
    IStorage* root = OpenOk(kOpenWrite);
    IStream* stream = nullptr;
    ASSERT_EQ(root->CreateStream(u"S", kStreamWrite, 0, 0, &stream), S_OK);
    ULONG n = 0;
    ASSERT_EQ(stream->Write("0123456789", 10, &n), S_OK);
    EXPECT_EQ(n, 10u);

    LARGE_INTEGER move;
    ULARGE_INTEGER position;
    move.QuadPart = 2;
    ASSERT_EQ(stream->Seek(move, STREAM_SEEK_SET, &position), S_OK);
    char text[16] = {};
    ASSERT_EQ(stream->Read(text, 3, &n), S_OK);
    EXPECT_EQ(std::string(text, n), "234");
    move.QuadPart = -1;
    ASSERT_EQ(stream->Seek(move, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 9u);
    move.QuadPart = -100;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_CUR, &position), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(move, 7, &position), STG_E_INVALIDFUNCTION);

    // Shortening drops the tail; a write past the end leaves zeros between.
    ULARGE_INTEGER size;
    size.QuadPart = 4;
    ASSERT_EQ(stream->SetSize(size), S_OK);
    move.QuadPart = 6;
    stream->Seek(move, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(stream->Write("X", 1, nullptr), S_OK);
    EXPECT_EQ(ReadAll(stream), std::string("0123\0\0X", 7));
    STATSTG stat;
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 7u);
    EXPECT_EQ(std::u16string(stat.pwcsName), u"S");
    EXPECT_EQ(stat.type, DWORD(STGTY_STREAM));
    CoTaskMemFree(stat.pwcsName);

    // A clone has its own position over the same bytes; CopyTo copies from
    // the current position.
    move.QuadPart = 1;
    stream->Seek(move, STREAM_SEEK_SET, nullptr);
    IStream* clone = nullptr;
    ASSERT_EQ(stream->Clone(&clone), S_OK);
    IStream* target = nullptr;
    ASSERT_EQ(root->CreateStream(u"T", kStreamWrite, 0, 0, &target), S_OK);
    ULARGE_INTEGER all, read, written;
    all.QuadPart = ~0ull;
    ASSERT_EQ(clone->CopyTo(target, all, &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 6u);
    EXPECT_EQ(ReadAll(target), std::string("123\0\0X", 6));
    clone->Release();
    target->Release();
    stream->Release();
    root->Release();
}

TEST_F(Storages, SubStoragesKeepClassesAndCommitIntoTheirParent)
{
    const CLSID kClass = { 0x12345678, 0x9ABC, 0xDEF0, { 1, 2, 3, 4, 5, 6, 7, 8 } };
    MakeFile();
    IStorage* root = OpenOk(kOpenWrite);
    IStorage* sub = nullptr;
    const DWORD subMode = STGM_TRANSACTED | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
    ASSERT_EQ(root->CreateStorage(u"XSTOR1", subMode | STGM_CREATE, 0, 0, &sub), S_OK);
    Put(sub, u"Dropped", "x");
    sub->Release();
    ASSERT_EQ(root->OpenStorage(u"xstor1", nullptr, subMode, nullptr, 0, &sub), S_OK);
    EXPECT_EQ(Get(sub, u"Dropped"), "<missing>") << "released without commit";
    Put(sub, u"Kept", "k");
    ASSERT_EQ(sub->SetClass(kClass), S_OK);
    IStorage* twice = nullptr;
    EXPECT_EQ(root->OpenStorage(u"XSTOR1", nullptr, subMode, nullptr, 0, &twice), STG_E_ACCESSDENIED);
    ASSERT_EQ(sub->Commit(STGC_DEFAULT), S_OK);
    sub->Release();
    ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    root->Release();

    root = OpenOk(kReadExclusive);
    ASSERT_EQ(root->OpenStorage(u"XSTOR1", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub), S_OK);
    EXPECT_EQ(Get(sub, u"Kept"), "k");
    CLSID clsid;
    ASSERT_EQ(ReadClassStg(sub, &clsid), S_OK);
    EXPECT_EQ(clsid, kClass);
    sub->Release();
    EXPECT_EQ(root->OpenStorage(u"A", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub), STG_E_FILENOTFOUND)
        << "a stream is not a storage";
    root->Release();
}

TEST_F(Storages, EnumerationGivesNamesTypesSizesAndClasses)
{
    MakeFile();
    IStorage* root = OpenOk(kOpenWrite);
    IStorage* sub = nullptr;
    ASSERT_EQ(root->CreateStorage(u"Embedding 1", kStreamWrite, 0, 0, &sub), S_OK);
    const CLSID kClass = { 1, 2, 3, { 4, 5, 6, 7, 8, 9, 10, 11 } };
    sub->SetClass(kClass);
    sub->Release();
    IEnumSTATSTG* elements = nullptr;
    ASSERT_EQ(root->EnumElements(0, nullptr, 0, &elements), S_OK);
    STATSTG stats[3];
    ULONG fetched = 0;
    EXPECT_EQ(elements->Next(3, stats, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(std::u16string(stats[0].pwcsName), u"A");
    EXPECT_EQ(stats[0].type, DWORD(STGTY_STREAM));
    EXPECT_EQ(stats[0].cbSize.QuadPart, 3u);
    EXPECT_EQ(std::u16string(stats[1].pwcsName), u"Embedding 1");
    EXPECT_EQ(stats[1].type, DWORD(STGTY_STORAGE));
    EXPECT_EQ(stats[1].clsid, kClass);
    for (ULONG i = 0; i < fetched; ++i)
        CoTaskMemFree(stats[i].pwcsName);
    elements->Release();

    STATSTG stat;
    ASSERT_EQ(root->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(std::u16string(stat.pwcsName), m_name);
    EXPECT_EQ(stat.type, DWORD(STGTY_STORAGE));
    CoTaskMemFree(stat.pwcsName);
    root->Release();
}

TEST_F(Storages, CopyMoveAndRenameElements)
{
    MakeFile();
    IStorage* root = OpenOk(kOpenWrite);
    IStorage* sub = nullptr;
    ASSERT_EQ(root->CreateStorage(u"Sub", kStreamWrite, 0, 0, &sub), S_OK);
    Put(sub, u"Inner", "inner");
    sub->Release();
    Put(root, u"B", "bee");

    IStorage* copy = nullptr;
    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &copy), S_OK);
    ASSERT_EQ(root->CopyTo(0, nullptr, nullptr, copy), S_OK);
    EXPECT_EQ(Listing(copy, WithClassIds::Yes), Listing(root, WithClassIds::Yes));
    copy->Release();

    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &copy), S_OK);
    OLECHAR bee[] = u"B";
    OLECHAR* exclude[] = { bee, nullptr };
    ASSERT_EQ(root->CopyTo(1, &IID_IStorage, exclude, copy), S_OK);
    EXPECT_EQ(Get(copy, u"A"), "one");
    EXPECT_EQ(Get(copy, u"B"), "<missing>");
    IStorage* none = nullptr;
    EXPECT_EQ(copy->OpenStorage(u"Sub", nullptr, kStreamRead, nullptr, 0, &none), STG_E_FILENOTFOUND);
    copy->Release();

    ASSERT_EQ(root->OpenStorage(u"Sub", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub), S_OK);
    EXPECT_EQ(root->CopyTo(0, nullptr, nullptr, sub), STG_E_ACCESSDENIED) << "into itself";
    ASSERT_EQ(root->MoveElementTo(u"B", sub, u"Moved", STGMOVE_MOVE), S_OK);
    ASSERT_EQ(root->MoveElementTo(u"A", sub, u"Copied", STGMOVE_COPY), S_OK);
    EXPECT_EQ(Get(sub, u"Moved"), "bee");
    EXPECT_EQ(Get(sub, u"Copied"), "one");
    EXPECT_EQ(Get(root, u"B"), "<missing>");
    EXPECT_EQ(Get(root, u"A"), "one");

    EXPECT_EQ(sub->RenameElement(u"Moved", u"Copied"), STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(sub->RenameElement(u"Nothing", u"Else"), STG_E_FILENOTFOUND);
    ASSERT_EQ(sub->RenameElement(u"Moved", u"Renamed"), S_OK);
    EXPECT_EQ(Get(sub, u"Renamed"), "bee");
    sub->Release();
    root->Release();
}

TEST_F(Storages, ElementsNobodyOpensSurviveASaveUnchanged)
{
    const std::string source = std::string(THREADWICK_TESTDATA_DIR) + "/cfb/src-graphicsmagick__input_256.fpx";
    const std::string original = testing_support::ReadFileBytes(source);
    if (original.empty())
        GTEST_SKIP() << "no test data";
    testing_support::WriteFileBytes(m_path, original);
    IStorage* root = OpenOk(kReadExclusive);
    std::string before = Listing(root, WithClassIds::Yes);
    root->Release();

    root = OpenOk(kOpenWrite);
    Put(root, u"Added", "new");
    ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    ASSERT_EQ(root->DestroyElement(u"Added"), S_OK);
    ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    root->Release();
    EXPECT_NE(testing_support::ReadFileBytes(m_path), original) << "written anew";
    root = OpenOk(kReadExclusive);
    EXPECT_EQ(Listing(root, WithClassIds::Yes), before);
    root->Release();
}

TEST_F(Storages, ManyElementsInOneStorageRoundTrip)
{
    IStorage* root = nullptr;
    ASSERT_EQ(StgCreateDocfile(m_name.c_str(), kCreate, 0, &root), S_OK);
    for (int i = 0; i < 1500; ++i)
        Put(root, (u"Surface Preview" + Wide(std::to_string(i))).c_str(), std::to_string(i));
    ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    root->Release();
    root = OpenOk(kReadExclusive);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Get(root, u"Surface Preview1499"), "1499");
    IEnumSTATSTG* elements = nullptr;
    ASSERT_EQ(root->EnumElements(0, nullptr, 0, &elements), S_OK);
    EXPECT_EQ(elements->Skip(1500), S_OK);
    EXPECT_EQ(elements->Skip(1), S_FALSE);
    elements->Release();
    root->Release();
}

} // namespace
