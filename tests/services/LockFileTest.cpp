#include "platform/services/LockFile.h"

#include "platform/services/RuntimeFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

using namespace platform;

namespace {

std::string PathIn(const char* name)
{
    return RuntimeDir(nullptr) + "/" + name;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Opens in one process conflict as opens in two processes do, so each
// LockFile here stands for a copy of the program.
TEST(LockFileTest, RemovedLockIsNeverHeldTwiceUnderOneName)
{
    const std::string path = PathIn("removal-race.lock");
    unlink(path.c_str());
    LockFile ending;
    LockFile early;
    ASSERT_TRUE(ending.Open(path));
    ASSERT_TRUE(early.Open(path)); // opened before the removal, locks after it
    ASSERT_EQ(ending.TryLock(LockFile::Kind::Exclusive), LockFile::Result::Acquired);
    EXPECT_EQ(early.TryLock(LockFile::Kind::Exclusive), LockFile::Result::Busy);
    EXPECT_TRUE(ending.CloseAndRemove());
    EXPECT_FALSE(Exists(path));

    ASSERT_EQ(early.TryLock(LockFile::Kind::Exclusive), LockFile::Result::Acquired);
    EXPECT_TRUE(Exists(path)) << "the lock was taken on a file without a name";
    LockFile late;
    ASSERT_TRUE(late.Open(path));
    EXPECT_EQ(late.TryLock(LockFile::Kind::Exclusive), LockFile::Result::Busy);
    EXPECT_EQ(late.TryLock(LockFile::Kind::Shared), LockFile::Result::Busy);
    early.CloseAndRemove();
}

TEST(LockFileTest, OnlyAFreeLockFileIsRemovedWithItsCompanion)
{
    const std::string path = PathIn("removal-free.lock");
    const std::string socket = PathIn("removal-free.sock");
    std::ofstream(socket) << "socket";

    LockFile holder;
    ASSERT_TRUE(holder.Open(path));
    ASSERT_EQ(holder.TryLock(LockFile::Kind::Shared), LockFile::Result::Acquired);
    EXPECT_FALSE(LockFile::RemoveIfFree(path, socket));
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(Exists(socket));

    // A holder of a shared lock cannot remove it while another shares it.
    LockFile sharer;
    ASSERT_TRUE(sharer.Open(path));
    ASSERT_EQ(sharer.TryLock(LockFile::Kind::Shared), LockFile::Result::Acquired);
    EXPECT_FALSE(holder.CloseAndRemove());
    EXPECT_TRUE(Exists(path));

    sharer.Close();
    EXPECT_TRUE(LockFile::RemoveIfFree(path, socket));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(Exists(socket));
    // Nothing there: nothing made.
    EXPECT_FALSE(LockFile::RemoveIfFree(path));
    EXPECT_FALSE(Exists(path));
}

} // namespace
