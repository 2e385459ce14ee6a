#include "platform/base/Version.h"

#include <cstring>

namespace {

constexpr DWORD kMajor = 4;
constexpr DWORD kMinor = 0;
constexpr DWORD kBuild = 950;

} // namespace

DWORD GetVersion()
{
    return 0x80000000u | (kMinor << 8) | kMajor;
}

BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInfo)
{
    if (!lpVersionInfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lpVersionInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    lpVersionInfo->dwMajorVersion = kMajor;
    lpVersionInfo->dwMinorVersion = kMinor;
    lpVersionInfo->dwBuildNumber = (((kMajor << 8) | kMinor) << 16) | kBuild;
    lpVersionInfo->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    std::memset(lpVersionInfo->szCSDVersion, 0, sizeof lpVersionInfo->szCSDVersion);
    return TRUE;
}
