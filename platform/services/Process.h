#pragma once
// Starting other programs: CreateProcess and WinExec over posix_spawn. No
// shell is involved; a command line is split into arguments by the Windows
// rules (SplitCommandLine) and each argument goes to the program as UTF-8.
// Program paths are Windows paths taken through the drive table; a path
// ending in ".exe" also finds a Linux program of the same name without it.
//
// A started program runs on its own: it is reaped when it ends, and no
// process or thread handle is kept (the handles in PROCESS_INFORMATION are
// null; the ids are the Linux process id).

#include "platform/base/Types.h"

#include <string>
#include <string_view>
#include <vector>

struct SECURITY_ATTRIBUTES;

struct STARTUPINFO {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
typedef STARTUPINFO STARTUPINFOA;
typedef STARTUPINFO* LPSTARTUPINFO;
typedef STARTUPINFO* LPSTARTUPINFOA;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

// The start-up information this process was given: cb set, everything else
// zero (a Linux program gets no window placement from its parent).
void GetStartupInfo(LPSTARTUPINFO lpStartupInfo);
#define GetStartupInfoA GetStartupInfo

// lpApplicationName names the program (searched nowhere: a relative name is
// taken against the current folder); when it is NULL the first argument of
// lpCommandLine is the program, looked for in the program folder, the
// current folder and PATH. The arguments are lpCommandLine's, or just the
// program's name when there is none. lpEnvironment must be NULL (the new
// program inherits ours). Creation flags, security attributes and the
// start-up information are accepted and not used. FALSE with the last
// error: ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED,
// ERROR_BAD_EXE_FORMAT, ERROR_INVALID_PARAMETER, ERROR_DIRECTORY.
BOOL CreateProcess(LPCSTR lpApplicationName, LPSTR lpCommandLine, SECURITY_ATTRIBUTES* lpProcessAttributes,
    SECURITY_ATTRIBUTES* lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment,
    LPCSTR lpCurrentDirectory, LPSTARTUPINFO lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation);
#define CreateProcessA CreateProcess

// Above 31 when the program was started; else 0 (no memory),
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or ERROR_BAD_FORMAT.
UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow);

namespace platform {

// A command line split as the C runtime of Windows splits it into argv:
// spaces and tabs separate; double quotes group and are removed; 2n
// backslashes before a quote give n backslashes and the quote groups, 2n+1
// give n backslashes and a literal quote; "" inside quotes is a literal
// quote; other backslashes are literal. The first argument is the program
// path, where quotes only group and backslashes are always literal.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The Linux program a Windows program path names: the resolved path when it
// is an executable file, else (for a name ending in ".exe") the same path
// without the extension. Empty with *error set to a Win32 error otherwise.
std::string FindProgram(std::string_view windowsPath, DWORD* error);

} // namespace platform
