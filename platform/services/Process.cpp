#include "platform/services/Process.h"

#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/WindowsPath.h"
#include "platform/services/Spawn.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// A command line longer than Windows accepts is refused before any work.
constexpr size_t kMaxCommandLine = 32767;

bool IsExecutableFile(const std::string& hostPath, DWORD* error)
{
    struct stat st;
    if (hostPath.empty() || stat(hostPath.c_str(), &st) != 0) {
        *error = errno == ENOENT ? MissingFileError(hostPath) : ERROR_PATH_NOT_FOUND;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = S_ISDIR(st.st_mode) ? ERROR_ACCESS_DENIED : ERROR_BAD_EXE_FORMAT;
        return false;
    }
    if (access(hostPath.c_str(), X_OK) != 0) {
        *error = ERROR_ACCESS_DENIED;
        return false;
    }
    return true;
}

bool EndsWithExe(std::string_view path)
{
    return path.size() > 4 && EqualsNoCase(path.substr(path.size() - 4), ".exe");
}

bool HasFolderPart(std::string_view name)
{
    for (char c : name) {
        if (IsPathSeparator(c) || c == ':')
            return true;
    }
    return false;
}

// Where Windows looks for a program named without a folder: the program's
// own folder, the current folder, then PATH. The ".exe" that Windows adds to
// a bare name is tried by FindProgram's rule the other way round.
std::string SearchProgram(std::string_view name, DWORD* error)
{
    std::vector<std::string> folders = { WindowsPathFor(ProgramFolder()), CurrentWindowsFolder() };
    if (const char* path = getenv("PATH")) {
        std::string_view list = path;
        while (!list.empty()) {
            size_t colon = list.find(':');
            std::string_view entry = list.substr(0, colon);
            if (!entry.empty() && entry[0] == '/')
                folders.push_back(WindowsPathFor(entry));
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
    }
    DWORD firstError = ERROR_FILE_NOT_FOUND;
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        DWORD thisError = 0;
        std::string found = FindProgram(WithTrailingSeparator(folder) + std::string(name), &thisError);
        if (!found.empty())
            return found;
        if (thisError != ERROR_FILE_NOT_FOUND && thisError != ERROR_PATH_NOT_FOUND && firstError == ERROR_FILE_NOT_FOUND)
            firstError = thisError;
    }
    *error = firstError;
    return {};
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> args;
    size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };

    // The program path: quotes group, nothing is escaped.
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size())
        return args;
    std::string program;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"')
            quoted = !quoted;
        else if (isBlank(c) && !quoted)
            break;
        else
            program += c;
    }
    args.push_back(std::move(program));

    for (;;) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            break;
        std::string arg;
        quoted = false;
        while (i < line.size()) {
            char c = line[i];
            if (c == '\\') {
                size_t run = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++run;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    arg.append(run / 2, '\\');
                    if (run % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                    // With an even run the quote is handled as a delimiter
                    // on the next turn.
                } else {
                    arg.append(run, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            if (isBlank(c) && !quoted)
                break;
            arg += c;
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string FindProgram(std::string_view windowsPath, DWORD* error)
{
    DWORD ignored = 0;
    if (!error)
        error = &ignored;
    if (windowsPath.empty()) {
        *error = ERROR_FILE_NOT_FOUND;
        return {};
    }
    ResolvedPath resolved;
    if (!ResolvePath(windowsPath, resolved, error))
        return {};
    std::string host = resolved.ForReading();
    if (IsExecutableFile(host, error))
        return host;
    if (*error == ERROR_FILE_NOT_FOUND && EndsWithExe(windowsPath)) {
        // Programs of the Tools menu were named "x.exe"; the Linux build of
        // such a program is "x".
        ResolvedPath bare;
        DWORD bareError = 0;
        if (ResolvePath(windowsPath.substr(0, windowsPath.size() - 4), bare, &bareError)) {
            std::string bareHost = bare.ForReading();
            if (IsExecutableFile(bareHost, &bareError))
                return bareHost;
            if (bareError != ERROR_FILE_NOT_FOUND)
                *error = bareError;
        }
    }
    return {};
}

} // namespace platform

void GetStartupInfo(LPSTARTUPINFO lpStartupInfo)
{
    if (!lpStartupInfo)
        return;
    memset(lpStartupInfo, 0, sizeof *lpStartupInfo);
    lpStartupInfo->cb = sizeof *lpStartupInfo;
}

BOOL CreateProcess(LPCSTR lpApplicationName, LPSTR lpCommandLine, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*, BOOL,
    DWORD, LPVOID lpEnvironment, LPCSTR lpCurrentDirectory, LPSTARTUPINFO, LPPROCESS_INFORMATION lpProcessInformation)
{
    using namespace platform;
    if (lpProcessInformation)
        memset(lpProcessInformation, 0, sizeof *lpProcessInformation);
    // Nothing of the program's asks for an environment of its own; taking
    // one apart is left out rather than silently ignored.
    if (lpEnvironment || (!lpApplicationName && !lpCommandLine)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string_view commandLine = lpCommandLine ? std::string_view(lpCommandLine) : std::string_view();
    std::string_view applicationName = lpApplicationName ? std::string_view(lpApplicationName) : std::string_view();
    if (commandLine.size() > kMaxCommandLine || applicationName.size() > kMaxCommandLine) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    std::vector<std::string> args = SplitCommandLine(commandLine);
    DWORD error = 0;
    std::string program;
    if (lpApplicationName) {
        program = FindProgram(applicationName, &error);
        if (args.empty())
            args.push_back(std::string(applicationName));
    } else if (args.empty()) {
        error = ERROR_FILE_NOT_FOUND;
    } else if (HasFolderPart(args[0])) {
        program = FindProgram(args[0], &error);
    } else {
        program = SearchProgram(args[0], &error);
    }
    if (program.empty()) {
        SetLastError(error ? error : ERROR_FILE_NOT_FOUND);
        return FALSE;
    }

    std::string folder;
    if (lpCurrentDirectory && *lpCurrentDirectory) {
        folder = HostPathForReading(lpCurrentDirectory);
        struct stat st;
        if (folder.empty() || stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
    }

    // The new program sees its own path first, as Linux programs expect;
    // the rest of the arguments go as written, in UTF-8.
    std::vector<std::string> argv;
    argv.push_back(program);
    for (size_t n = 1; n < args.size(); ++n)
        argv.push_back(Utf8From1252(args[n]));

    SpawnResult spawned = SpawnDetached(program, argv, folder);
    if (spawned.pid <= 0) {
        SetLastError(StartErrorFromErrno(spawned.error));
        return FALSE;
    }
    if (lpProcessInformation) {
        lpProcessInformation->dwProcessId = static_cast<DWORD>(spawned.pid);
        lpProcessInformation->dwThreadId = static_cast<DWORD>(spawned.pid);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

UINT WinExec(LPCSTR lpCmdLine, UINT)
{
    if (!lpCmdLine)
        return ERROR_FILE_NOT_FOUND;
    std::string line = lpCmdLine;
    PROCESS_INFORMATION info;
    STARTUPINFO startup;
    GetStartupInfo(&startup);
    if (CreateProcess(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return 33;
    switch (GetLastError()) {
    case ERROR_PATH_NOT_FOUND:
        return ERROR_PATH_NOT_FOUND;
    case ERROR_BAD_EXE_FORMAT:
        return ERROR_BAD_FORMAT;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return 0;
    default:
        return ERROR_FILE_NOT_FOUND;
    }
}
