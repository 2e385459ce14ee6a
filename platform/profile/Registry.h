#pragma once
// The registry calls of Win32 over our own per-user key tree.
//
// HKEY_CURRENT_USER is the only tree with content: it is kept in the file
// "registry" of the configuration folder, loaded on first use. Changes are
// made in memory, where every later call sees them at once, and written to
// the file together (new file, then rename) by FlushRegistry: the class
// library flushes when its message loop has nothing to do and at exit,
// RegFlushKey flushes at once, and a process that ends through exit() or a
// return from main flushes what is left. So a value written by one run is
// there for the next, and a burst of changes costs one write; a process
// that is killed may lose its last burst, never the file.
//
// HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE and HKEY_USERS are empty and
// read-only: opening below them fails with ERROR_FILE_NOT_FOUND, creating or
// writing with ERROR_ACCESS_DENIED.
//
// Key and value names are compared without case (Windows-1252 case map) and
// keep the spelling they were created with. Values keep their bytes exactly:
// a REG_SZ written without its terminating zero reads back without it.
// Values enumerate in the order they were created; a rewritten value keeps
// its place.
//
// Handles are table ids with a generation: a closed or forged handle gives
// ERROR_INVALID_HANDLE, and a handle to a key deleted since it was opened
// gives ERROR_KEY_DELETED. Access masks are accepted and not enforced: there
// is one user and one tree. Changes that cannot be written to the file stay
// in memory for this run: the flush returns ERROR_CANTWRITE, says so once on
// stderr and is tried again after the next change.
//
// Bounds: key names up to 255 characters, 512 levels deep; value names up to
// 16,383 characters; value data up to 1 MiB (ERROR_INVALID_PARAMETER beyond).
// The program runs the registry from its one user-interface thread.

#include "platform/base/Types.h"

#include <string>

typedef DWORD REGSAM;
typedef LONG LSTATUS;

// Predefined keys, sign-extended as on 64-bit Windows.
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE 0x20019
#define KEY_ALL_ACCESS 0xF003F

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11

#define REG_OPTION_NON_VOLATILE 0x0000
#define REG_OPTION_VOLATILE 0x0001

#define REG_CREATED_NEW_KEY 0x0001
#define REG_OPENED_EXISTING_KEY 0x0002

// A NULL or empty lpSubKey opens a new handle to hKey itself. Volatile keys
// are kept like the others: the program relies on keys it creates lasting.
LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult);
LONG RegOpenKey(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult);
// Creates every missing level of lpSubKey. lpSecurityAttributes is ignored
// (any pointer type is accepted; callers pass NULL).
LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
    REGSAM samDesired, const void* lpSecurityAttributes, HKEY* phkResult, LPDWORD lpdwDisposition);
LONG RegCreateKey(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult);
LONG RegCloseKey(HKEY hKey);
// Writes every pending change of the tree the key belongs to before it
// returns: ERROR_SUCCESS, or ERROR_CANTWRITE when the file could not be
// replaced.
LONG RegFlushKey(HKEY hKey);

// Lengths of names are in characters without the terminator, of data in
// bytes. The class is always empty, the security descriptor size 0 and the
// last write time zero.
LONG RegQueryInfoKey(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
    LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
    LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime);

// ERROR_NO_MORE_ITEMS past the last entry. A name buffer too small for the
// name and its zero gives ERROR_MORE_DATA with the size left as it was; a
// data buffer too small gives ERROR_MORE_DATA with the size needed in
// *lpcbData. A NULL lpData with lpcbData asks for the size only.
LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPSTR lpClass,
    LPDWORD lpcchClass, FILETIME* lpftLastWriteTime);
LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
    LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);

// A NULL or empty name is the key's default value. The data comes back by
// its stored length, with no terminator added.
LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
    LPDWORD lpcbData);
// Stores exactly cbData bytes under the given type.
LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName);
// Deletes a key without subkeys; a key that has subkeys is refused with
// ERROR_ACCESS_DENIED. Handles open on the deleted key then answer
// ERROR_KEY_DELETED.
LONG RegDeleteKey(HKEY hKey, LPCSTR lpSubKey);

// The names the program's code spells with the ANSI suffix.
inline LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult)
{
    return RegOpenKeyEx(hKey, lpSubKey, ulOptions, samDesired, phkResult);
}
inline LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult)
{
    return RegOpenKey(hKey, lpSubKey, phkResult);
}
inline LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
    REGSAM samDesired, const void* lpSecurityAttributes, HKEY* phkResult, LPDWORD lpdwDisposition)
{
    return RegCreateKeyEx(hKey, lpSubKey, Reserved, lpClass, dwOptions, samDesired, lpSecurityAttributes, phkResult,
        lpdwDisposition);
}
inline LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult)
{
    return RegCreateKey(hKey, lpSubKey, phkResult);
}
inline LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
    LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
    LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime)
{
    return RegQueryInfoKey(hKey, lpClass, lpcchClass, lpReserved, lpcSubKeys, lpcbMaxSubKeyLen, lpcbMaxClassLen,
        lpcValues, lpcbMaxValueNameLen, lpcbMaxValueLen, lpcbSecurityDescriptor, lpftLastWriteTime);
}
inline LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
    LPSTR lpClass, LPDWORD lpcchClass, FILETIME* lpftLastWriteTime)
{
    return RegEnumKeyEx(hKey, dwIndex, lpName, lpcchName, lpReserved, lpClass, lpcchClass, lpftLastWriteTime);
}
inline LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
    LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    return RegEnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpReserved, lpType, lpData, lpcbData);
}
inline LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
    LPDWORD lpcbData)
{
    return RegQueryValueEx(hKey, lpValueName, lpReserved, lpType, lpData, lpcbData);
}
inline LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
    DWORD cbData)
{
    return RegSetValueEx(hKey, lpValueName, Reserved, dwType, lpData, cbData);
}
inline LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    return RegDeleteValue(hKey, lpValueName);
}
inline LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    return RegDeleteKey(hKey, lpSubKey);
}

namespace platform {

// True when the registry file was damaged or unreadable at load: it was set
// aside as "registry.bad" and this run started with an empty tree. Loads the
// registry when that has not happened yet.
bool RegistryLoadProblem();
// What was wrong with it (for the message the program shows), or empty.
std::string RegistryLoadProblemText();

// Host path of the registry file.
std::string RegistryFilePath();

// True when changes have been made that the file does not hold yet.
bool RegistryHasPendingChanges();
// Writes the pending changes now (nothing when there are none, or when they
// leave the tree as the file holds it): ERROR_SUCCESS, or ERROR_CANTWRITE
// with the file as it was and the changes still pending.
LONG FlushRegistry();
// For a message loop with nothing to do: the same, except that after a
// failed write it waits for the next change rather than trying again at
// every idle moment.
void FlushRegistryAtIdle();
// How many times this process has tried to replace the registry file
// (tests and measurements).
unsigned long RegistryFileWriteCount();

// Drops the in-memory tree with its pending changes and invalidates every
// open handle, so that the next call loads the file again as a new process
// would. Flush first to carry the changes into that "next run".
void ResetRegistryForTests();

} // namespace platform
