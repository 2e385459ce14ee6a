#include "platform/base/HostFiles.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ShareLock.h"
#include "tests/files/FilesTestSupport.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using namespace files_test;
namespace ff = platform::fileflags;

namespace {

class ShareModes : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        InitFileSystem();
        m_path = testing_support::MakeTempDir("share") + "/design.shr";
        testing_support::WriteFileBytes(m_path, "original");
    }
    int Open(UINT flags, int* cause = nullptr)
    {
        HostError error;
        int fd = GetHostFiles().Open(Win(m_path).c_str(), flags, &error);
        if (cause)
            *cause = error.cause;
        return fd;
    }
    std::string m_path;
};

TEST_F(ShareModes, ModesConflictAsWindowsDefinesThem)
{
    struct Case {
        UINT first;
        UINT second;
        bool allowed;
    } cases[] = {
        { ff::modeRead | ff::shareExclusive, ff::modeRead | ff::shareDenyNone, false },
        { ff::modeRead | ff::shareDenyWrite, ff::modeRead | ff::shareDenyWrite, true },
        { ff::modeRead | ff::shareDenyWrite, ff::modeReadWrite | ff::shareDenyNone, false },
        { ff::modeReadWrite | ff::shareDenyNone, ff::modeRead | ff::shareDenyWrite, false },
        { ff::modeRead | ff::shareDenyNone, ff::modeWrite | ff::shareDenyNone, true },
        { ff::modeRead | ff::shareCompat, ff::modeReadWrite | ff::shareCompat, true },
        { ff::modeWrite | ff::shareDenyRead, ff::modeRead | ff::shareDenyNone, false },
        { ff::modeWrite | ff::shareDenyRead, ff::modeWrite | ff::shareDenyNone, true },
    };
    for (const Case& c : cases) {
        int first = Open(c.first);
        ASSERT_GE(first, 0);
        int cause = 0;
        int second = Open(c.second, &cause);
        EXPECT_EQ(second >= 0, c.allowed) << std::hex << c.first << " then " << c.second;
        if (second >= 0)
            GetHostFiles().Close(second);
        else
            EXPECT_EQ(cause, filecause::sharingViolation);
        GetHostFiles().Close(first);
    }
}

TEST_F(ShareModes, RefusedOpenDoesNotTruncateTheHeldFile)
{
    int holder = Open(ff::modeRead | ff::shareDenyWrite);
    ASSERT_GE(holder, 0);
    int cause = 0;
    EXPECT_LT(Open(ff::modeCreate | ff::modeWrite | ff::shareExclusive, &cause), 0);
    EXPECT_EQ(cause, filecause::sharingViolation);
    EXPECT_EQ(testing_support::ReadFileBytes(m_path), "original");
    GetHostFiles().Close(holder);

    // Once released, the same open succeeds and truncates.
    int writer = Open(ff::modeCreate | ff::modeWrite | ff::shareExclusive);
    ASSERT_GE(writer, 0);
    GetHostFiles().Close(writer);
    EXPECT_EQ(testing_support::ReadFileBytes(m_path), "");
}

TEST_F(ShareModes, CreateFileHonoursTheSameTable)
{
    int holder = Open(ff::modeReadWrite | ff::shareExclusive);
    ASSERT_GE(holder, 0);
    HANDLE h = CreateFile(Win(m_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    GetHostFiles().Close(holder);

    h = CreateFile(Win(m_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int cause = 0;
    EXPECT_LT(Open(ff::modeWrite | ff::shareDenyNone, &cause), 0);
    EXPECT_GE(holder = Open(ff::modeRead | ff::shareDenyWrite), 0);
    GetHostFiles().Close(holder);
    EXPECT_TRUE(CloseHandle(h));
}

// A second process holds the file: the child opens it through the share
// lock and waits until the parent closes the pipe.
class OtherProcess {
public:
    OtherProcess(const std::string& path, ShareMode mode)
    {
        int ready[2];
        int release[2];
        if (pipe(ready) != 0 || pipe(release) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(ready[0]);
            close(release[1]);
            int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
            ShareLock lock;
            char result = (fd >= 0 && lock.Acquire(fd, mode) == ShareLock::Result::Held) ? 'y' : 'n';
            (void)!write(ready[1], &result, 1);
            char ignored;
            (void)!read(release[0], &ignored, 1);
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        m_release = release[1];
        char result = 'n';
        m_holding = read(ready[0], &result, 1) == 1 && result == 'y';
        close(ready[0]);
    }
    ~OtherProcess() { Finish(); }
    void Finish()
    {
        if (m_release >= 0) {
            close(m_release);
            m_release = -1;
        }
        if (m_pid > 0) {
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_pid = -1;
        }
    }
    bool Holding() const { return m_holding; }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_holding = false;
};

TEST_F(ShareModes, AnotherProcessExclusiveOpenIsRespected)
{
    ShareMode exclusive;
    exclusive.read = exclusive.write = exclusive.denyRead = exclusive.denyWrite = true;
    OtherProcess other(m_path, exclusive);
    ASSERT_TRUE(other.Holding());

    int cause = 0;
    EXPECT_LT(Open(ff::modeRead | ff::shareDenyNone, &cause), 0);
    EXPECT_EQ(cause, filecause::sharingViolation);
    EXPECT_EQ(CreateFile(Win(m_path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);

    other.Finish();
    int fd = Open(ff::modeRead | ff::shareDenyNone);
    EXPECT_GE(fd, 0);
    GetHostFiles().Close(fd);
}

TEST_F(ShareModes, AnotherProcessDenyingWritesStillAllowsReaders)
{
    ShareMode reader;
    reader.read = reader.denyWrite = true;
    OtherProcess other(m_path, reader);
    ASSERT_TRUE(other.Holding());

    int fd = Open(ff::modeRead | ff::shareDenyWrite);
    EXPECT_GE(fd, 0);
    GetHostFiles().Close(fd);
    EXPECT_LT(Open(ff::modeReadWrite | ff::shareDenyNone), 0);
}

TEST_F(ShareModes, ProcessRefusedWhileThisProcessHoldsTheFile)
{
    int holder = Open(ff::modeReadWrite | ff::shareExclusive);
    ASSERT_GE(holder, 0);
    ShareMode reader;
    reader.read = true;
    OtherProcess refused(m_path, reader);
    EXPECT_FALSE(refused.Holding());
    refused.Finish();
    GetHostFiles().Close(holder);

    OtherProcess allowed(m_path, reader);
    EXPECT_TRUE(allowed.Holding());
}

} // namespace
