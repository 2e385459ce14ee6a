#pragma once
// The operating-system version the program sees. It answers as a 4.0 system
// of the consumer family (platform id 1, build 950): the program's feature
// tests and the version it writes into stored headers depend on these values,
// not on the Linux system underneath.

#include "platform/base/Types.h"

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA OSVERSIONINFO;
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;
typedef OSVERSIONINFOA* LPOSVERSIONINFO;
static_assert(sizeof(OSVERSIONINFOA) == 148);

// Low byte the major version (4), next byte the minor version (0); the high
// bit is set for the platform-1 family and the other high bits are 0.
DWORD GetVersion();
// dwOSVersionInfoSize must be 148, else FALSE with ERROR_INSUFFICIENT_BUFFER.
// The build number holds the build (950) in its low word and the major and
// minor versions in its high word (0x0400); the service-pack text is empty.
BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInfo);
inline BOOL GetVersionEx(LPOSVERSIONINFO lpVersionInfo)
{
    return GetVersionExA(lpVersionInfo);
}
