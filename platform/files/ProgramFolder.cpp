#include "platform/files/ProgramFolder.h"

#include "platform/files/HostPath.h"
#include "platform/files/WindowsPath.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <optional>

namespace platform {

namespace {

std::mutex g_mutex;
std::string g_testFolder;
std::optional<bool> g_writable;
std::string g_probedFolder;

std::string ExecutablePath()
{
    std::string exe = ExecutableHostPath();
    return exe.empty() ? std::string("/threadwick") : exe;
}

std::string Canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    std::string out = realpath(path.c_str(), resolved) ? std::string(resolved) : path;
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

// Every path lookup asks for the folder, so it is worked out once.
std::string FolderLocked()
{
    if (!g_testFolder.empty())
        return g_testFolder;
    static const std::string folder = [] {
        const char* env = getenv("THREADWICK_PROGRAM_DIR");
        if (env && env[0] == '/')
            return Canonical(env);
        std::string exe = ExecutablePath();
        size_t slash = exe.rfind('/');
        return slash == 0 || slash == std::string::npos ? std::string("/") : Canonical(exe.substr(0, slash));
    }();
    return folder;
}

bool ProbeWritable(const std::string& folder)
{
    static unsigned counter = 0;
    std::string probe = folder + "/.threadwick-probe-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

// The built-in support modules, by their path below the program folder.
struct BuiltInEntry {
    const char* relativePath;
    BuiltInFile presence;
};
constexpr BuiltInEntry kBuiltIns[] = {
    { "support/kqawm321.dll", BuiltInFile::Present },
    { "support/kqawr321.dll", BuiltInFile::Present },
    { "support/sndkit32.dll", BuiltInFile::Present },
    { "support/cgmolv32.flt", BuiltInFile::Present },
};

} // namespace

std::string ProgramFolder()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return FolderLocked();
}

std::string ExecutableHostPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || size_t(n) >= sizeof buffer)
        return {};
    return std::string(buffer, static_cast<size_t>(n));
}

std::string ProgramFilePath()
{
    std::string exe = ExecutablePath();
    std::string name = exe.substr(exe.rfind('/') + 1);
    std::string folder = ProgramFolder();
    return folder == "/" ? "/" + name : folder + "/" + name;
}

void SetProgramFolderForTests(const std::string& hostFolder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_testFolder = hostFolder.empty() ? std::string() : Canonical(hostFolder);
    g_probedFolder.clear();
}

bool IsProgramFolderWritable()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_writable)
        return *g_writable;
    static bool probed = false;
    static bool answer = false;
    std::string folder = FolderLocked();
    if (!probed || g_probedFolder != folder) {
        answer = ProbeWritable(folder);
        g_probedFolder = folder;
        probed = true;
    }
    return answer;
}

void SetProgramFolderWritable(bool writable)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_writable = writable;
}

void ResetProgramFolderWritable()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_writable.reset();
    g_probedFolder.clear();
}

BuiltInFile LookUpBuiltInFile(std::string_view hostPath)
{
    std::string folder = ProgramFolder();
    std::string prefix = folder == "/" ? folder : folder + "/";
    if (hostPath.size() <= prefix.size() || hostPath.substr(0, prefix.size()) != prefix)
        return BuiltInFile::NotListed;
    std::string_view relative = hostPath.substr(prefix.size());
    for (const BuiltInEntry& entry : kBuiltIns) {
        if (EqualsNoCase(relative, entry.relativePath))
            return entry.presence;
    }
    return BuiltInFile::NotListed;
}

} // namespace platform

DWORD GetModuleFileName(HMODULE, LPSTR lpFilename, DWORD nSize)
{
    std::string path = platform::WindowsPathFor(platform::ProgramFilePath());
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize) {
        memcpy(lpFilename, path.c_str(), path.size() + 1);
        SetLastError(ERROR_SUCCESS);
        return static_cast<DWORD>(path.size());
    }
    memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}
