#include "platform/profile/AppProfile.h"

#include "platform/profile/PrivateProfile.h"
#include "platform/profile/Registry.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace platform {

namespace {

// Closes a key handle at the end of a scope.
class KeyHolder {
public:
    KeyHolder() = default;
    KeyHolder(const KeyHolder&) = delete;
    KeyHolder& operator=(const KeyHolder&) = delete;
    ~KeyHolder()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

std::string_view UpToZero(const std::string& data)
{
    return std::string_view(data.data(), std::min(data.size(), data.find('\0')));
}

CString RecentFileEntry(size_t index)
{
    return CString((std::string(kRecentFileEntryStem) + std::to_string(index + 1)).c_str());
}

} // namespace

AppProfile::AppProfile()
    : m_profileName("1.0")
{
}

void AppProfile::SetProfileName(LPCTSTR lpszProfileName)
{
    m_profileName = lpszProfileName ? lpszProfileName : "";
}

void AppProfile::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_registryKey = lpszRegistryKey ? lpszRegistryKey : "";
}

CString AppProfile::GetAppKeyPath() const
{
    if (m_registryKey.IsEmpty())
        return CString();
    return CString("Software\\") + m_registryKey + "\\" + m_profileName;
}

CString AppProfile::SectionPath(LPCTSTR lpszSection) const
{
    if (m_registryKey.IsEmpty() || !lpszSection)
        return CString();
    return GetAppKeyPath() + "\\" + lpszSection;
}

bool AppProfile::ReadValue(LPCTSTR lpszSection, LPCTSTR lpszEntry, DWORD& type, std::string& data) const
{
    CString path = SectionPath(lpszSection);
    if (path.IsEmpty() || !lpszEntry)
        return false;
    KeyHolder key;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (RegQueryValueEx(key.Get(), lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    if (RegQueryValueEx(key.Get(), lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(data.data()), &size)
        != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

BOOL AppProfile::WriteValue(LPCTSTR lpszSection, LPCTSTR lpszEntry, DWORD type, const BYTE* data, DWORD size)
{
    CString path = SectionPath(lpszSection);
    if (path.IsEmpty() || !lpszEntry)
        return FALSE;
    KeyHolder key;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr,
            key.Out(), nullptr)
        != ERROR_SUCCESS)
        return FALSE;
    return RegSetValueEx(key.Get(), lpszEntry, 0, type, data, size) == ERROR_SUCCESS;
}

UINT AppProfile::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) const
{
    DWORD type = 0;
    std::string data;
    if (!ReadValue(lpszSection, lpszEntry, type, data))
        return static_cast<UINT>(nDefault);
    if (type == REG_DWORD && data.size() == 4) {
        DWORD value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(data[static_cast<size_t>(i)]);
        return value;
    }
    if (IsStringType(type))
        return ParseProfileInt(UpToZero(data));
    return 0;
}

BOOL AppProfile::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    DWORD value = static_cast<DWORD>(nValue);
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
        static_cast<BYTE>(value >> 24)};
    return WriteValue(lpszSection, lpszEntry, REG_DWORD, bytes, sizeof(bytes));
}

CString AppProfile::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) const
{
    DWORD type = 0;
    std::string data;
    if (!ReadValue(lpszSection, lpszEntry, type, data) || !IsStringType(type))
        return CString(lpszDefault ? lpszDefault : "");
    return CString(UpToZero(data));
}

BOOL AppProfile::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    CString path = SectionPath(lpszSection);
    if (path.IsEmpty())
        return FALSE;
    if (!lpszEntry) {
        KeyHolder appKey;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, GetAppKeyPath(), 0, KEY_WRITE, appKey.Out()) != ERROR_SUCCESS)
            return FALSE;
        return RegDeleteKey(appKey.Get(), lpszSection) == ERROR_SUCCESS;
    }
    if (!lpszValue) {
        KeyHolder key;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_WRITE, key.Out()) != ERROR_SUCCESS)
            return FALSE;
        return RegDeleteValue(key.Get(), lpszEntry) == ERROR_SUCCESS;
    }
    // Stored with its terminating zero, as strings written by the class
    // library always are.
    return WriteValue(lpszSection, lpszEntry, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
        static_cast<DWORD>(std::strlen(lpszValue) + 1));
}

BOOL AppProfile::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes) const
{
    if (!ppData || !pBytes)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    DWORD type = 0;
    std::string data;
    if (!ReadValue(lpszSection, lpszEntry, type, data) || type != REG_BINARY)
        return FALSE;
    *ppData = new BYTE[data.empty() ? 1 : data.size()];
    std::memcpy(*ppData, data.data(), data.size());
    *pBytes = static_cast<UINT>(data.size());
    return TRUE;
}

BOOL AppProfile::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData, UINT nBytes)
{
    return WriteValue(lpszSection, lpszEntry, REG_BINARY, pData, nBytes);
}

std::vector<CString> AppProfile::ReadRecentFileList(int nSize) const
{
    std::vector<CString> files;
    for (int i = 0; i < nSize; ++i)
        files.push_back(GetProfileString(kRecentFileSection, RecentFileEntry(static_cast<size_t>(i))));
    return files;
}

BOOL AppProfile::WriteRecentFileList(const std::vector<CString>& files)
{
    if (m_registryKey.IsEmpty())
        return FALSE;
    // Entries dropped from the list must not survive in the profile.
    WriteProfileString(kRecentFileSection, nullptr, nullptr);
    BOOL ok = TRUE;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i].IsEmpty() && !WriteProfileString(kRecentFileSection, RecentFileEntry(i), files[i]))
            ok = FALSE;
    }
    return ok;
}

} // namespace platform
