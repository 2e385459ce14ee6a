#pragma once
// CRegKeyHelper: one open registry key below HKEY_CURRENT_USER, for the code
// that keeps settings and kit lists in the registry (the application object
// builds one on the stack for the toolbar state; the kit finder keeps one on
// its kits key). It owns its key handle and closes it when destroyed or when
// another key is opened. Failures are reported by BOOL results or empty
// strings; nothing throws.

#include "platform/base/Object.h"
#include "platform/base/String.h"

class CRegKeyHelper : public CObject {
public:
    CRegKeyHelper();
    ~CRegKeyHelper() override;
    CRegKeyHelper(const CRegKeyHelper&) = delete;
    CRegKeyHelper& operator=(const CRegKeyHelper&) = delete;

    // Opens the key path, creating every missing level first. The outcome is
    // not reported: when the key cannot be had, the helper holds no key and
    // its later calls fail.
    void Ensure(LPCTSTR lpszPath);
    BOOL Open(LPCTSTR lpszSubKeyPath);
    BOOL DeleteSubKey(LPCTSTR lpszName);

    // The name of value nIndex with its data as text; both empty past the
    // last value or on failure. Names and data of any length are returned
    // whole, data by its stored length.
    CString EnumValue(DWORD nIndex, CString& strData);
    // Reads a value into a caller's buffer of at least 260 bytes, zero
    // terminated; FALSE when it is missing or does not fit with its zero.
    BOOL QueryValue(LPCTSTR lpszName, LPTSTR lpBuffer);
    BOOL QueryValue(LPCTSTR lpszName, CString& strValue);
    // Stores a REG_SZ value without its terminating zero.
    BOOL SetString(LPCTSTR lpszName, LPCTSTR lpszValue);

    HKEY GetKey() const { return m_hKey; }
    const CString& GetPath() const { return m_strPath; }

private:
    void CloseKey();

    HKEY m_hKey;
    CString m_strPath;
};

// Splits a registry key path at its backslashes, one component per call.
class CRegKeyPath : public CObject {
public:
    explicit CRegKeyPath(LPCTSTR lpszPath);
    // The next component; FALSE when nothing is left.
    BOOL Next(CString& strComponent);

private:
    CString m_strRest;
    BOOL m_bDone;
};

// When HKEY_CURRENT_USER\path exists, reads its first value into
// strFirstValue and returns whether that worked; otherwise creates every
// level of the path (persistent) and returns whether all of them were made.
BOOL CreateKeyPath(LPCTSTR lpszPath, CString& strFirstValue);
