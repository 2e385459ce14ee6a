// When the registry file is written: once per flush of a burst of changes,
// at once for RegFlushKey, and never so that a crash or a full disk leaves
// it damaged.

#include "platform/files/SafeReplace.h"
#include "platform/files/UserFolders.h"
#include "platform/profile/Registry.h"
#include "tests/profile/ProfileTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kPrefs[] = "Software\\Velmora Technology\\Threadwick\\1.0\\Preferences";
constexpr int kCrashExitCode = 77;

LONG SetDword(const char* path, const char* name, DWORD value)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKey(HKEY_CURRENT_USER, path, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return rc;
}

// The value as this process sees it, or -1 when it is missing.
long GetDword(const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG rc = RegQueryValueEx(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? long(value) : -1;
}

// Whether the file, as it is on disk, holds the dword value.
bool FileHasDword(const char* name, DWORD value)
{
    char line[64];
    std::snprintf(line, sizeof line, "\n  value \"%s\" dword 0x%08x\n", name, unsigned(value));
    return testing_support::ReadFileBytes(profile_test::RegistryFile()).find(line) != std::string::npos;
}

// What else lies beside the registry file.
std::vector<std::string> Leftovers()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(platform::ConfigDir())) {
        std::string name = entry.path().filename().string();
        if (name.rfind(".registry.", 0) == 0)
            names.push_back(name);
    }
    return names;
}

// Writes the whole new file and then dies, as a process killed between
// writing and renaming would.
bool WriteThenDie(int fd, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t done = ::write(fd, bytes, size);
        if (done <= 0)
            ::_exit(1);
        bytes += done;
        size -= size_t(done);
    }
    ::_exit(kCrashExitCode);
}

bool DiskFull(int, const void*, size_t)
{
    errno = ENOSPC;
    return false;
}

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override { profile_test::StartWithEmptyRegistry(); }
    void TearDown() override
    {
        platform::SetReplaceWriteStepForTests(nullptr);
        profile_test::StartWithEmptyRegistry();
        for (const std::string& name : Leftovers())
            std::filesystem::remove(platform::ConfigDir() + "/" + name);
    }
};

TEST_F(RegistryStoreTest, RegistryWritesOncePerBurst)
{
    const unsigned long before = platform::RegistryFileWriteCount();
    for (DWORD i = 0; i < 30; ++i)
        ASSERT_EQ(SetDword(kPrefs, ("Value" + std::to_string(i)).c_str(), i), ERROR_SUCCESS);

    // Nothing is written yet, and this process reads its own changes.
    EXPECT_EQ(platform::RegistryFileWriteCount(), before);
    EXPECT_FALSE(std::filesystem::exists(profile_test::RegistryFile()));
    EXPECT_TRUE(platform::RegistryHasPendingChanges());
    EXPECT_EQ(GetDword(kPrefs, "Value29"), 29);

    ASSERT_EQ(platform::FlushRegistry(), ERROR_SUCCESS);
    EXPECT_EQ(platform::RegistryFileWriteCount(), before + 1);
    EXPECT_FALSE(platform::RegistryHasPendingChanges());
    EXPECT_TRUE(FileHasDword("Value0", 0));
    EXPECT_TRUE(FileHasDword("Value29", 29));

    // A flush with nothing new, or with changes that put back what the file
    // holds, writes nothing.
    platform::FlushRegistryAtIdle();
    ASSERT_EQ(SetDword(kPrefs, "Value3", 3), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(kPrefs, "Value4", 40), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(kPrefs, "Value4", 4), ERROR_SUCCESS);
    platform::FlushRegistryAtIdle();
    EXPECT_EQ(platform::RegistryFileWriteCount(), before + 1);
    EXPECT_FALSE(platform::RegistryHasPendingChanges());

    // A loaded file is the starting point too.
    profile_test::Reload();
    ASSERT_EQ(SetDword(kPrefs, "Value5", 5), ERROR_SUCCESS);
    ASSERT_EQ(platform::FlushRegistry(), ERROR_SUCCESS);
    EXPECT_EQ(platform::RegistryFileWriteCount(), before + 1);
}

TEST_F(RegistryStoreTest, RegFlushKeyWritesAtOnce)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, kPrefs, &key), ERROR_SUCCESS);
    DWORD value = 7;
    ASSERT_EQ(RegSetValueEx(key, "Flags", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
        ERROR_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(profile_test::RegistryFile()));
    EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
    EXPECT_TRUE(FileHasDword("Flags", 7));
    RegCloseKey(key);

    // The empty read-only roots have nothing to write.
    const unsigned long before = platform::RegistryFileWriteCount();
    EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(RegFlushKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(platform::RegistryFileWriteCount(), before);
}

TEST_F(RegistryStoreTest, CrashBetweenWriteAndRenameLeavesTheOldFileWhole)
{
    ASSERT_EQ(SetDword(kPrefs, "Flags", 1), ERROR_SUCCESS);
    ASSERT_EQ(platform::FlushRegistry(), ERROR_SUCCESS);
    const std::string before = testing_support::ReadFileBytes(profile_test::RegistryFile());
    ASSERT_EQ(SetDword(kPrefs, "Flags", 2), ERROR_SUCCESS);

    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        platform::SetReplaceWriteStepForTests(WriteThenDie);
        platform::FlushRegistry();
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), kCrashExitCode) << "the child died where it was meant to";

    // The old file is there, whole; the new one lies beside it, complete
    // but never renamed.
    EXPECT_EQ(testing_support::ReadFileBytes(profile_test::RegistryFile()), before);
    std::vector<std::string> leftovers = Leftovers();
    ASSERT_EQ(leftovers.size(), 1u);
    const std::string leftover = platform::ConfigDir() + "/" + leftovers[0];
    EXPECT_NE(testing_support::ReadFileBytes(leftover).find("\"Flags\" dword 0x00000002"), std::string::npos);

    // The next start reads the old file without complaint, and its next
    // flush succeeds.
    platform::ResetRegistryForTests();
    EXPECT_FALSE(platform::RegistryLoadProblem());
    EXPECT_EQ(GetDword(kPrefs, "Flags"), 1);
    ASSERT_EQ(SetDword(kPrefs, "Flags", 3), ERROR_SUCCESS);
    ASSERT_EQ(platform::FlushRegistry(), ERROR_SUCCESS);
    EXPECT_TRUE(FileHasDword("Flags", 3));

    // A leftover too old to be another copy's write in progress is removed
    // by the start after.
    EXPECT_EQ(Leftovers().size(), 1u) << "a fresh one may be another copy's";
    struct timeval old[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimes(leftover.c_str(), old), 0);
    profile_test::Reload();
    EXPECT_EQ(GetDword(kPrefs, "Flags"), 3);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(RegistryStoreTest, FailedWriteKeepsTheFileAndTheChanges)
{
    ASSERT_EQ(SetDword(kPrefs, "Flags", 1), ERROR_SUCCESS);
    ASSERT_EQ(platform::FlushRegistry(), ERROR_SUCCESS);
    const std::string before = testing_support::ReadFileBytes(profile_test::RegistryFile());

    platform::SetReplaceWriteStepForTests(DiskFull);
    ASSERT_EQ(SetDword(kPrefs, "Flags", 2), ERROR_SUCCESS);
    const unsigned long count = platform::RegistryFileWriteCount();
    EXPECT_EQ(platform::FlushRegistry(), ERROR_CANTWRITE);
    EXPECT_TRUE(platform::RegistryHasPendingChanges());
    EXPECT_EQ(testing_support::ReadFileBytes(profile_test::RegistryFile()), before);
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(GetDword(kPrefs, "Flags"), 2);

    // Idle moments do not hammer a failing disk; the next change tries again.
    platform::FlushRegistryAtIdle();
    platform::FlushRegistryAtIdle();
    EXPECT_EQ(platform::RegistryFileWriteCount(), count + 1);
    platform::SetReplaceWriteStepForTests(nullptr);
    ASSERT_EQ(SetDword(kPrefs, "Other", 5), ERROR_SUCCESS);
    platform::FlushRegistryAtIdle();
    EXPECT_EQ(platform::RegistryFileWriteCount(), count + 2);
    EXPECT_FALSE(platform::RegistryHasPendingChanges());
    EXPECT_TRUE(FileHasDword("Flags", 2));
    EXPECT_TRUE(FileHasDword("Other", 5));
}

} // namespace
