#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/base/StdioFile.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

// The CFileException cause that f raises; -1 when it raises none.
template <typename F>
int FileFailure(F&& f, CString* fileName = nullptr)
{
    try {
        f();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        if (fileName != nullptr)
            *fileName = e->m_strFileName;
        e->Delete();
        return cause;
    }
    return -1;
}

std::string WindowsForm(const std::string& linuxPath)
{
    std::string out = "C:" + linuxPath;
    for (char& ch : out) {
        if (ch == '/')
            ch = '\\';
    }
    return out;
}

} // namespace

TEST(File, WritesReadsSeeksAndResizes)
{
    const std::string path = MakeTempDir("file") + "/data.bin";
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary));
    file.Write("hello world", 11);
    EXPECT_EQ(file.GetLength(), 11u);
    EXPECT_EQ(file.GetPosition(), 11u);

    EXPECT_EQ(file.Seek(-5, CFile::end), 6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
    EXPECT_STREQ(buffer, "world");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u) << "at the end";

    EXPECT_EQ(file.Seek(2, CFile::begin), 2);
    EXPECT_EQ(file.Seek(1, CFile::current), 3);
    file.SeekToBegin();
    EXPECT_EQ(file.GetPosition(), 0u);
    EXPECT_EQ(file.SeekToEnd(), 11u);

    file.SetLength(5);
    EXPECT_EQ(file.GetLength(), 5u);
    file.SetLength(8);
    file.Flush();
    file.Close();
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    EXPECT_EQ(ReadFileBytes(path), std::string("hello\0\0\0", 8));
}

TEST(File, OpenModesCreateTruncateOrKeep)
{
    const std::string path = MakeTempDir("modes") + "/a.txt";
    WriteFileBytes(path, "0123456789");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        file.Write("ab", 2);
    }
    EXPECT_EQ(ReadFileBytes(path), "ab23456789");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("x", 1);
    }
    EXPECT_EQ(ReadFileBytes(path), "x");
    {
        // Read-only: writing fails with a file exception.
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
        EXPECT_EQ(FileFailure([&] { file.Write("y", 1); }), CFileException::invalidFile);
    }
}

TEST(File, ReportsOpenFailuresWithCauseAndName)
{
    const std::string dir = MakeTempDir("fail");
    const std::string missing = dir + "/missing.txt";
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ENOENT);
    EXPECT_TRUE(error.m_strFileName == missing.c_str());

    EXPECT_FALSE(file.Open((dir + "/no/such/dir/x").c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(file.Open(dir.c_str(), CFile::modeRead, &error)) << "a folder is not a file";
    EXPECT_FALSE(file.Open("", CFile::modeRead, &error));
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead)) << "no error record is fine";

    CString name;
    EXPECT_EQ(FileFailure([&] { CFile thrown(missing.c_str(), CFile::modeRead); }, &name),
        CFileException::fileNotFound);
    EXPECT_TRUE(name == missing.c_str());
    EXPECT_EQ(FileFailure([&] { CStdioFile thrown(missing.c_str(), CFile::modeRead); }),
        CFileException::fileNotFound);
}

TEST(File, SeekBeforeTheStartIsABadSeek)
{
    const std::string path = MakeTempDir("seek") + "/a";
    WriteFileBytes(path, "abc");
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_EQ(FileFailure([&] { file.Seek(-1, CFile::begin); }), CFileException::badSeek);
    EXPECT_EQ(FileFailure([&] { file.Seek(-10, CFile::end); }), CFileException::badSeek);
    EXPECT_EQ(file.GetPosition(), 0u);
}

TEST(File, NamesTheFileInWindowsForm)
{
    const std::string dir = MakeTempDir("names");
    const std::string path = dir + "/Report.Final.txt";
    WriteFileBytes(path, "x");
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_TRUE(file.GetFilePath() == WindowsForm(path).c_str()) << static_cast<LPCTSTR>(file.GetFilePath());
    EXPECT_TRUE(file.GetFileName() == "Report.Final.txt");
    EXPECT_TRUE(file.GetFileTitle() == "Report.Final");

    // The Windows form opens the same file.
    CFile again(WindowsForm(path).c_str(), CFile::modeRead);
    char ch = 0;
    EXPECT_EQ(again.Read(&ch, 1), 1u);
    EXPECT_EQ(ch, 'x');

    CFileStatus status;
    ASSERT_TRUE(file.GetStatus(status));
    EXPECT_EQ(status.m_size, 1);
    EXPECT_GT(status.m_mtime, 0);
    EXPECT_EQ(status.m_attribute & CFile::readOnly, 0);

    file.SetFilePath("C:\\elsewhere\\x.dat");
    EXPECT_TRUE(file.GetFileName() == "x.dat");
}

TEST(File, RenamesAndRemovesOrSaysWhyNot)
{
    const std::string dir = MakeTempDir("rename");
    WriteFileBytes(dir + "/a", "1");
    WriteFileBytes(dir + "/b", "2");
    CFile::Rename((dir + "/a").c_str(), (dir + "/b").c_str());
    EXPECT_EQ(ReadFileBytes(dir + "/b"), "1") << "replaces the target";
    CFile::Remove((dir + "/b").c_str());

    CString name;
    EXPECT_EQ(FileFailure([&] { CFile::Remove((dir + "/b").c_str()); }, &name), CFileException::fileNotFound);
    EXPECT_TRUE(name == (dir + "/b").c_str());
    EXPECT_EQ(FileFailure([&] { CFile::Rename((dir + "/a").c_str(), (dir + "/c").c_str()); }),
        CFileException::fileNotFound);
}

TEST(File, GoesThroughTheInstalledHostFiles)
{
    // Records the calls and passes opening and closing to the plain host.
    struct Recording : platform::HostFiles {
        platform::HostFiles* plain = nullptr;
        std::vector<std::string> calls;
        int Open(const char* path, UINT flags, platform::HostError* error) override
        {
            calls.push_back(std::string("open ") + path);
            return plain->Open(path, flags, error);
        }
        void Close(int fd) override
        {
            calls.push_back("close");
            plain->Close(fd);
        }
        bool Remove(const char*, platform::HostError* error) override
        {
            error->cause = platform::filecause::sharingViolation;
            return false;
        }
        bool Rename(const char*, const char*, platform::HostError*) override { return true; }
        std::string FullPath(const char*) override { return "C:\\mapped\\name.txt"; }
    };
    const std::string path = MakeTempDir("host") + "/f";
    WriteFileBytes(path, "");

    Recording host;
    host.plain = &platform::GetHostFiles();
    platform::SetHostFiles(&host);
    {
        CFile file(path.c_str(), CFile::modeRead);
        EXPECT_TRUE(file.GetFilePath() == "C:\\mapped\\name.txt");
    }
    EXPECT_EQ(FileFailure([] { CFile::Remove("C:\\x"); }), CFileException::sharingViolation);
    platform::SetHostFiles(nullptr);
    EXPECT_EQ(&platform::GetHostFiles(), host.plain);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"open " + path, "close"}));
}

TEST(File, MapsErrnoToCauses)
{
    EXPECT_EQ(platform::FileCauseFromErrno(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(platform::FileCauseFromErrno(ENOTDIR), CFileException::badPath);
    EXPECT_EQ(platform::FileCauseFromErrno(EACCES), CFileException::accessDenied);
    EXPECT_EQ(platform::FileCauseFromErrno(EROFS), CFileException::accessDenied);
    EXPECT_EQ(platform::FileCauseFromErrno(EMFILE), CFileException::tooManyOpenFiles);
    EXPECT_EQ(platform::FileCauseFromErrno(ENOSPC), CFileException::diskFull);
    EXPECT_EQ(platform::FileCauseFromErrno(EBADF), CFileException::invalidFile);
    EXPECT_EQ(platform::FileCauseFromErrno(EIO), CFileException::hardIO);
    EXPECT_EQ(platform::FileCauseFromErrno(EXDEV), CFileException::generic);
}

TEST(StdioFile, ReadsLinesWithEitherEnding)
{
    const std::string path = MakeTempDir("stdio") + "/lines.txt";
    WriteFileBytes(path, "one\r\ntwo\n\nlast");
    CStdioFile file(path.c_str(), CFile::modeRead | CFile::typeText);
    std::vector<std::string> lines;
    CString line;
    while (file.ReadString(line))
        lines.push_back(line.Std());
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "last"}));
    EXPECT_TRUE(line.IsEmpty());

    // Binary mode keeps the carriage return.
    CStdioFile binary(path.c_str(), CFile::modeRead | CFile::typeBinary);
    ASSERT_TRUE(binary.ReadString(line));
    EXPECT_TRUE(line == "one\r");
}

TEST(StdioFile, MixesLinesWithRecordAccess)
{
    const std::string path = MakeTempDir("stdiomix") + "/t.txt";
    WriteFileBytes(path, "alpha\nbeta\ngamma\n");
    CStdioFile file(path.c_str(), CFile::modeReadWrite);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(file.GetPosition(), 6u) << "the read-ahead is not counted";
    char four[4];
    EXPECT_EQ(file.Read(four, 4), 4u);
    EXPECT_EQ(std::string(four, 4), "beta");
    file.Write("!", 1); // lands where the reading stopped
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_TRUE(line == "gamma");
    file.Seek(0, CFile::begin);
    file.WriteString("ALPHA\n");
    file.Close();
    EXPECT_EQ(ReadFileBytes(path), "ALPHA\nbeta!gamma\n");
}
