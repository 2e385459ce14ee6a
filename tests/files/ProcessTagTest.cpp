#include "platform/files/ProcessTag.h"

#include "platform/files/UserFolders.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

using namespace platform;

namespace {

// The tag of a child process that has ended.
std::string TagOfEndedChild()
{
    int fds[2];
    if (pipe(fds) != 0)
        return std::string();
    pid_t pid = fork();
    if (pid == 0) {
        std::string tag = ProcessTag();
        (void)!write(fds[1], tag.data(), tag.size());
        _exit(0);
    }
    close(fds[1]);
    char text[64] = {};
    ssize_t n = read(fds[0], text, sizeof text - 1);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return n > 0 ? std::string(text, size_t(n)) : std::string();
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

TEST(ProcessTagTest, TagsTellRunningProcessesFromEndedOnes)
{
    std::string own = ProcessTag();
    EXPECT_EQ(own.substr(0, own.find('-')), std::to_string(getpid()));
    EXPECT_TRUE(IsTagOfRunningProcess(own));

    std::string ended = TagOfEndedChild();
    ASSERT_FALSE(ended.empty());
    EXPECT_FALSE(IsTagOfRunningProcess(ended));
    // Our own id with another start time: the id was reused.
    EXPECT_FALSE(IsTagOfRunningProcess(std::to_string(getpid()) + "-1"));
    // What cannot be read is never taken for an ended process.
    for (const char* odd : {"", "-", "12", "x-1", "1-", "-1", "99999999999999999999-1", "1-2-3"})
        EXPECT_TRUE(IsTagOfRunningProcess(odd)) << odd;
}

TEST(ProcessTagTest, RemovesOnlyFilesOfEndedProcesses)
{
    const std::string folder = TempDir() + "/tags";
    mkdir(folder.c_str(), 0700);
    const std::string ended = folder + "/~t." + TagOfEndedChild() + ".a1";
    const std::string running = folder + "/~t." + ProcessTag() + ".b2";
    const std::string untagged = folder + "/~t.notatag.c3";
    const std::string other = folder + "/other." + TagOfEndedChild() + ".d4";
    const std::string subfolder = folder + "/~t." + TagOfEndedChild() + ".e5";
    for (const std::string& path : {ended, running, untagged, other})
        std::ofstream(path) << "x";
    mkdir(subfolder.c_str(), 0700);

    EXPECT_EQ(RemoveFilesOfEndedProcesses(folder, "~t."), 1);
    EXPECT_FALSE(Exists(ended));
    EXPECT_TRUE(Exists(running));
    EXPECT_TRUE(Exists(untagged));
    EXPECT_TRUE(Exists(other));
    EXPECT_TRUE(Exists(subfolder));
    EXPECT_EQ(RemoveFilesOfEndedProcesses(folder + "/missing", "~t."), 0);
}

} // namespace
