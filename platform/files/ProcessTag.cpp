#include "platform/files/ProcessTag.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <vector>

namespace platform {

namespace {

// The start time of a process from /proc/<pid>/stat (field 22); false when
// the process does not exist or the file cannot be read.
bool StartTimeOf(long pid, unsigned long long& start)
{
    std::string path = "/proc/" + std::to_string(pid) + "/stat";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[1024];
    ssize_t n;
    do
        n = read(fd, text, sizeof text - 1);
    while (n < 0 && errno == EINTR);
    close(fd);
    if (n <= 0)
        return false;
    std::string_view stat(text, size_t(n));
    // The command name in parentheses may hold spaces and ')' itself; the
    // fields after the last ')' are plain numbers.
    size_t close = stat.rfind(')');
    if (close == std::string_view::npos)
        return false;
    std::string_view rest = stat.substr(close + 1);
    // After ')': state is field 3, so the start time is the 20th field here.
    for (int field = 0; field < 19; ++field) {
        size_t space = rest.find(' ', 1);
        if (space == std::string_view::npos)
            return false;
        rest = rest.substr(space);
    }
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), start);
    return error == std::errc() && end != rest.data();
}

bool ParseTag(std::string_view tag, long& pid, unsigned long long& start)
{
    size_t dash = tag.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 >= tag.size())
        return false;
    const char* first = tag.data();
    auto [pidEnd, pidError] = std::from_chars(first, first + dash, pid);
    auto [startEnd, startError] = std::from_chars(first + dash + 1, first + tag.size(), start);
    return pidError == std::errc() && pidEnd == first + dash && startError == std::errc()
        && startEnd == first + tag.size() && pid > 0;
}

} // namespace

std::string ProcessTag()
{
    // Worked out each time: a forked child is another process.
    long pid = long(getpid());
    unsigned long long start = 0;
    StartTimeOf(pid, start);
    return std::to_string(pid) + "-" + std::to_string(start);
}

bool IsTagOfRunningProcess(std::string_view tag)
{
    long pid = 0;
    unsigned long long start = 0;
    if (!ParseTag(tag, pid, start))
        return true;
    if (kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    unsigned long long now = 0;
    if (!StartTimeOf(pid, now))
        return kill(pid_t(pid), 0) == 0 || errno != ESRCH;
    // Another process has the id now; a zero start means ours was unknown.
    return start == 0 || now == start;
}

int RemoveFilesOfEndedProcesses(const std::string& folder, std::string_view prefix)
{
    std::vector<std::string> ended;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    // Enough for any number of copies a user runs; a bound all the same.
    constexpr size_t kMaxEntries = 100000;
    for (size_t seen = 0; seen < kMaxEntries; ++seen) {
        dirent* entry = readdir(dir);
        if (!entry)
            break;
        std::string_view name = entry->d_name;
        if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
            continue;
        std::string_view rest = name.substr(prefix.size());
        size_t dot = rest.find('.');
        if (dot == std::string_view::npos || IsTagOfRunningProcess(rest.substr(0, dot)))
            continue;
        ended.emplace_back(name);
    }
    closedir(dir);
    int removed = 0;
    for (const std::string& name : ended) {
        std::string path = folder + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace platform
