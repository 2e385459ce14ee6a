#pragma once
// The application profile: the settings the class library's application
// object reads and writes by section and entry (GetProfileInt,
// WriteProfileString and the like forward here). After SetRegistryKey the
// profile is the registry key "Software\<registry key>\<profile name>" of
// HKEY_CURRENT_USER, with one subkey per section; section and entry names are
// stored exactly as the caller spells them and found again without case.
//
// Integers are REG_DWORD values, strings REG_SZ values stored with their
// terminating zero, binary data REG_BINARY values. Reads never create keys.
// Before SetRegistryKey there is no profile: reads give the default and
// writes return FALSE. The application object owns its one instance.

#include "platform/base/String.h"

#include <vector>

namespace platform {

// Where the recent-file list is kept: entries "File1" .. "File<n>".
inline constexpr const char* kRecentFileSection = "Recent File List";
inline constexpr const char* kRecentFileEntryStem = "File";

class AppProfile {
public:
    AppProfile();

    // The last level of the profile's key; "1.0" until set. A later
    // SetRegistryKey uses the name set at that time.
    void SetProfileName(LPCTSTR lpszProfileName);
    const CString& GetProfileName() const { return m_profileName; }

    // lpszRegistryKey may hold several levels ("Maker\Product").
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    const CString& GetRegistryKey() const { return m_registryKey; }
    // "Software\<registry key>\<profile name>" below HKEY_CURRENT_USER;
    // empty before SetRegistryKey.
    CString GetAppKeyPath() const;

    // A REG_DWORD value as it is; a REG_SZ value read as a number (decimal
    // or 0x hex, up to the first character that is not a digit; 0 when there
    // is no number); nDefault when the entry is missing.
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) const;
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);

    // The text of a string value up to its first zero; the default (empty
    // when NULL) when the entry is missing or not a string.
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr) const;
    // A NULL value deletes the entry; a NULL entry deletes the whole section.
    // Deleting what is not there returns FALSE.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);

    // *ppData is allocated with new[]; the caller deletes it with delete[].
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes) const;
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData, UINT nBytes);

    // The recent-file list: nSize entries, empty where nothing is stored.
    std::vector<CString> ReadRecentFileList(int nSize) const;
    // Replaces the stored list; empty entries are not written, and the
    // others keep their positions ("File<position + 1>").
    BOOL WriteRecentFileList(const std::vector<CString>& files);

private:
    CString SectionPath(LPCTSTR lpszSection) const;
    bool ReadValue(LPCTSTR lpszSection, LPCTSTR lpszEntry, DWORD& type, std::string& data) const;
    BOOL WriteValue(LPCTSTR lpszSection, LPCTSTR lpszEntry, DWORD type, const BYTE* data, DWORD size);

    CString m_registryKey;
    CString m_profileName;
};

} // namespace platform
