#pragma once
// Drives and volumes as the program asks about them. The answers come from
// the drive table (DriveTable.h): C: is the Linux root; removable, optical
// and network mounts and test drives have further letters.

#include "platform/base/Types.h"

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6

#define FILE_CASE_SENSITIVE_SEARCH 0x00000001
#define FILE_CASE_PRESERVED_NAMES 0x00000002
#define FILE_UNICODE_ON_DISK 0x00000004
#define FILE_READ_ONLY_VOLUME 0x00080000

// The root is "X:\" (or "X:"), "\\server\share\", or null for the current
// drive. A letter without a drive gives DRIVE_NO_ROOT_DIR.
UINT GetDriveType(LPCSTR lpRootPathName);
#define GetDriveTypeA GetDriveType

// FALSE with ERROR_PATH_NOT_FOUND for a drive that does not exist,
// ERROR_NOT_READY for one whose medium is missing (its folder is gone), and
// ERROR_INSUFFICIENT_BUFFER when a buffer cannot hold its text and the zero.
BOOL GetVolumeInformation(LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer, DWORD nVolumeNameSize,
    LPDWORD lpVolumeSerialNumber, LPDWORD lpMaximumComponentLength, LPDWORD lpFileSystemFlags,
    LPSTR lpFileSystemNameBuffer, DWORD nFileSystemNameSize);
#define GetVolumeInformationA GetVolumeInformation

// Bit 0 is A:, bit 2 is C:.
DWORD GetLogicalDrives();
// "C:\", "D:\", ... each followed by a zero, then one more zero. The length
// written without the last zero, or, when the buffer is too small, the size
// it needs.
DWORD GetLogicalDriveStrings(DWORD nBufferLength, LPSTR lpBuffer);

// Connected network drives, enumerated from the remote entries of the drive
// table.
#define RESOURCE_CONNECTED 0x00000001
#define RESOURCE_GLOBALNET 0x00000002
#define RESOURCE_REMEMBERED 0x00000003
#define RESOURCETYPE_ANY 0x00000000
#define RESOURCETYPE_DISK 0x00000001
#define RESOURCETYPE_PRINT 0x00000002
#define RESOURCEUSAGE_CONNECTABLE 0x00000001
#define RESOURCEDISPLAYTYPE_GENERIC 0x00000000
#define RESOURCEDISPLAYTYPE_SHARE 0x00000003

struct NETRESOURCE {
    DWORD dwScope;
    DWORD dwType;
    DWORD dwDisplayType;
    DWORD dwUsage;
    LPSTR lpLocalName;  // "F:"
    LPSTR lpRemoteName; // "\\server\share"
    LPSTR lpComment;
    LPSTR lpProvider;
};
typedef NETRESOURCE* LPNETRESOURCE;
typedef NETRESOURCE NETRESOURCEA;

// Only RESOURCE_CONNECTED is answered (other scopes give ERROR_NOT_SUPPORTED);
// lpNetResource must be null. Results are NO_ERROR or an error code.
DWORD WNetOpenEnum(DWORD dwScope, DWORD dwType, DWORD dwUsage, LPNETRESOURCE lpNetResource, LPHANDLE lphEnum);
// *lpcCount in: how many are wanted (0xFFFFFFFF: as many as fit); out: how
// many were written. The strings follow the records in the buffer.
// ERROR_MORE_DATA with the size needed in *lpBufferSize when not even one
// record fits; ERROR_NO_MORE_ITEMS at the end.
DWORD WNetEnumResource(HANDLE hEnum, LPDWORD lpcCount, LPVOID lpBuffer, LPDWORD lpBufferSize);
DWORD WNetCloseEnum(HANDLE hEnum);
#define WNetOpenEnumA WNetOpenEnum
#define WNetEnumResourceA WNetEnumResource
