#pragma once
// INI files with the Win32 profile calls. A file name that is not a full
// Windows-form path is taken below the Windows folder (GetWindowsDirectory);
// paths go through the drive table, file names found without case. Section
// and key names are found without case; text is Windows-1252 bytes. Lines
// are "[section]" and "key=value" (blanks around the key and the value are
// dropped, one pair of matching quotes around a value too); lines starting
// with ';' are comments; other lines are ignored. Lines longer than 65,535
// bytes are cut there, and a file over 16 MiB is not read (as if it were
// unreadable: reads give the default, writes fail).
//
// Reads of a missing file give the default, with the last error
// ERROR_FILE_NOT_FOUND. Writes rewrite the whole file through a new file and
// a rename, keeping its other lines; they use CR LF line ends.

#include "platform/base/Types.h"

#include <string_view>

// The value of lpKeyName in section lpAppName, or lpDefault (less trailing
// blanks) when there is none. A NULL lpAppName lists the file's section
// names, a NULL lpKeyName the section's key names, each ending with a zero
// and the list with a second one. Returns the characters copied without the
// terminating zero; a value cut to fit gives nSize - 1, a list cut to fit
// nSize - 2.
DWORD GetPrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
    DWORD nSize, LPCSTR lpFileName);
// The value read as a number (see platform::ParseProfileInt); nDefault when
// the key is missing.
UINT GetPrivateProfileInt(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName);
// The section's "key=value" lines, each ending with a zero and the list with
// a second one; a list cut to fit returns nSize - 2.
DWORD GetPrivateProfileSection(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);
// Sets a key, creating the file and the section when needed. A NULL lpString
// deletes the key; a NULL lpKeyName deletes the whole section. Names and
// values may not hold line breaks, section names no ']'
// (ERROR_INVALID_PARAMETER).
BOOL WritePrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);

// The same on "win.ini" of the Windows folder.
DWORD GetProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString, DWORD nSize);
BOOL WriteProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString);

inline DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
    DWORD nSize, LPCSTR lpFileName)
{
    return GetPrivateProfileString(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize, lpFileName);
}
inline UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName)
{
    return GetPrivateProfileInt(lpAppName, lpKeyName, nDefault, lpFileName);
}
inline DWORD GetPrivateProfileSectionA(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName)
{
    return GetPrivateProfileSection(lpAppName, lpReturnedString, nSize, lpFileName);
}
inline BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName)
{
    return WritePrivateProfileString(lpAppName, lpKeyName, lpString, lpFileName);
}

namespace platform {

// A profile number: optional blanks and sign, then "0x" and hex digits or
// decimal digits, up to the first other character (wrapping past 32 bits);
// 0 when there are no digits.
UINT ParseProfileInt(std::string_view text);

} // namespace platform
