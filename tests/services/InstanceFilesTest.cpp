// The files a running copy keeps in the run folder, and what a start does
// with those of copies that are gone.

#include "platform/services/LockFile.h"
#include "platform/services/RuntimeFolder.h"
#include "platform/services/SingleInstance.h"
#include "tests/services/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

using namespace platform;
using services_test::Signal;
using services_test::StartChild;
using services_test::WaitChild;

namespace {

std::string FileOf(const std::string& name, const char* extension)
{
    return RuntimeDir(nullptr) + "/" + RuntimeFileStem(name) + extension;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

TEST(InstanceFilesTest, ClosedFirstCopyLeavesNoFiles)
{
    const std::string name = "KQ Threadwick; files of a closed copy";
    SingleInstance first;
    ASSERT_EQ(first.Open(name), SingleInstance::Role::First);
    EXPECT_TRUE(Exists(FileOf(name, ".lock")));
    EXPECT_TRUE(Exists(FileOf(name, ".sock")));
    {
        SingleInstance second;
        EXPECT_EQ(second.Open(name), SingleInstance::Role::Second);
    }
    EXPECT_TRUE(Exists(FileOf(name, ".lock"))) << "a second copy removed the first one's lock";
    first.Close();
    EXPECT_FALSE(Exists(FileOf(name, ".lock")));
    EXPECT_FALSE(Exists(FileOf(name, ".sock")));

    // The next copy is first again, and so is one after it.
    SingleInstance next;
    EXPECT_EQ(next.Open(name), SingleInstance::Role::First);
}

TEST(InstanceFilesTest, StartRemovesFilesOfEndedCopiesOnly)
{
    const std::string ended = "KQ Threadwick; a copy that was killed";
    const std::string running = "KQ Threadwick; a copy still running";

    // A copy killed while first leaves its lock and socket files.
    pid_t killed = StartChild([&] {
        SingleInstance copy;
        if (copy.Open(ended) != SingleInstance::Role::First)
            return 1;
        _exit(0); // no destructors: as a crash
    });
    ASSERT_EQ(WaitChild(killed), 0);
    ASSERT_TRUE(Exists(FileOf(ended, ".lock")));
    ASSERT_TRUE(Exists(FileOf(ended, ".sock")));

    Signal opened;
    Signal done;
    pid_t alive = StartChild([&] {
        SingleInstance copy;
        if (copy.Open(running) != SingleInstance::Role::First)
            return 1;
        opened.Raise();
        done.Wait();
        return 0;
    });
    ASSERT_TRUE(opened.Wait());

    RemoveFilesOfEndedCopies();
    EXPECT_FALSE(Exists(FileOf(ended, ".lock")));
    EXPECT_FALSE(Exists(FileOf(ended, ".sock")));
    EXPECT_TRUE(Exists(FileOf(running, ".lock")));
    EXPECT_TRUE(Exists(FileOf(running, ".sock")));
    SingleInstance later;
    EXPECT_EQ(later.Open(running), SingleInstance::Role::Second);
    later.Close();

    done.Raise();
    EXPECT_EQ(WaitChild(alive), 0);
    EXPECT_FALSE(Exists(FileOf(running, ".lock")));
}

} // namespace
