#include "app/RegKeyHelper.h"

#include "platform/profile/Registry.h"

#include <algorithm>
#include <vector>

namespace {
// Query value, set value, create subkey and read control: enough to probe a
// path and read its first value.
constexpr REGSAM kProbeAccess = 0x20007;
// Set value, create subkey and read control: enough to create a path.
constexpr REGSAM kCreateAccess = 0x20006;
constexpr DWORD kBufferSize = 260;
} // namespace

CRegKeyHelper::CRegKeyHelper()
    : m_hKey(nullptr)
{
}

CRegKeyHelper::~CRegKeyHelper()
{
    CloseKey();
}

void CRegKeyHelper::CloseKey()
{
    if (m_hKey) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

void CRegKeyHelper::Ensure(LPCTSTR lpszPath)
{
    m_strPath = lpszPath;
    if (Open(lpszPath))
        return;
    CString firstValue;
    CreateKeyPath(lpszPath, firstValue);
    Open(lpszPath);
}

BOOL CRegKeyHelper::Open(LPCTSTR lpszSubKeyPath)
{
    CloseKey();
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, lpszSubKeyPath, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return FALSE;
    m_hKey = hKey;
    return TRUE;
}

BOOL CRegKeyHelper::DeleteSubKey(LPCTSTR lpszName)
{
    if (!m_hKey)
        return FALSE;
    return RegDeleteKey(m_hKey, lpszName) == ERROR_SUCCESS;
}

CString CRegKeyHelper::EnumValue(DWORD nIndex, CString& strData)
{
    strData.Empty();
    if (!m_hKey)
        return CString();

    // Size the buffers from the key itself so that long names and data come
    // back whole rather than failing at a fixed 260 bytes.
    DWORD cchMaxName = 0;
    DWORD cbMaxData = 0;
    if (RegQueryInfoKey(m_hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
            &cchMaxName, &cbMaxData, nullptr, nullptr) != ERROR_SUCCESS)
        return CString();
    std::vector<char> name(std::max<DWORD>(cchMaxName, kBufferSize) + 1);
    std::vector<BYTE> data(std::max<DWORD>(cbMaxData, kBufferSize) + 1);
    DWORD cchName = static_cast<DWORD>(name.size());
    DWORD cbData = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValue(m_hKey, nIndex, name.data(), &cchName, nullptr, &type, data.data(), &cbData) != ERROR_SUCCESS)
        return CString();

    // The data is taken by its stored length: a string stored without its
    // terminator must not run on into whatever follows it.
    int length = static_cast<int>(std::min<DWORD>(cbData, static_cast<DWORD>(data.size())));
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        while (length > 0 && data[length - 1] == 0)
            --length;
    }
    strData = CString(reinterpret_cast<const char*>(data.data()), length);
    return CString(name.data(), static_cast<int>(std::min<DWORD>(cchName, static_cast<DWORD>(name.size()))));
}

BOOL CRegKeyHelper::QueryValue(LPCTSTR lpszName, LPTSTR lpBuffer)
{
    if (!lpBuffer)
        return FALSE;
    lpBuffer[0] = '\0';
    CString value;
    if (!QueryValue(lpszName, value) || value.GetLength() >= static_cast<int>(kBufferSize))
        return FALSE;
    value.Std().copy(lpBuffer, static_cast<size_t>(value.GetLength()));
    lpBuffer[value.GetLength()] = '\0';
    return TRUE;
}

BOOL CRegKeyHelper::QueryValue(LPCTSTR lpszName, CString& strValue)
{
    strValue.Empty();
    if (!m_hKey)
        return FALSE;
    DWORD type = 0;
    DWORD cbData = 0;
    if (RegQueryValueEx(m_hKey, lpszName, nullptr, &type, nullptr, &cbData) != ERROR_SUCCESS)
        return FALSE;
    std::vector<BYTE> data(cbData + 1);
    if (RegQueryValueEx(m_hKey, lpszName, nullptr, &type, data.data(), &cbData) != ERROR_SUCCESS)
        return FALSE;
    int length = static_cast<int>(cbData);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        while (length > 0 && data[length - 1] == 0)
            --length;
    }
    strValue = CString(reinterpret_cast<const char*>(data.data()), length);
    return TRUE;
}

BOOL CRegKeyHelper::SetString(LPCTSTR lpszName, LPCTSTR lpszValue)
{
    if (!m_hKey)
        return FALSE;
    CString value(lpszValue ? lpszValue : "");
    return RegSetValueEx(m_hKey, lpszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCTSTR>(value)),
               static_cast<DWORD>(value.GetLength()))
        == ERROR_SUCCESS;
}

CRegKeyPath::CRegKeyPath(LPCTSTR lpszPath)
    : m_strRest(lpszPath ? lpszPath : "")
    , m_bDone(m_strRest.IsEmpty())
{
}

BOOL CRegKeyPath::Next(CString& strComponent)
{
    if (m_bDone)
        return FALSE;
    int slash = m_strRest.Find('\\');
    if (slash < 0) {
        strComponent = m_strRest;
        m_strRest.Empty();
        m_bDone = TRUE;
    } else {
        strComponent = m_strRest.Left(slash);
        m_strRest = m_strRest.Mid(slash + 1);
        m_bDone = m_strRest.IsEmpty();
    }
    return TRUE;
}

BOOL CreateKeyPath(LPCTSTR lpszPath, CString& strFirstValue)
{
    strFirstValue.Empty();
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, lpszPath, 0, kProbeAccess, &hKey) == ERROR_SUCCESS) {
        DWORD cbMaxData = 0;
        BOOL ok = FALSE;
        if (RegQueryInfoKey(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                &cbMaxData, nullptr, nullptr)
            == ERROR_SUCCESS) {
            char name[128];
            DWORD cchName = sizeof(name);
            std::vector<BYTE> data(cbMaxData + 1);
            DWORD cbData = cbMaxData + 1;
            DWORD type = 0;
            if (RegEnumValue(hKey, 0, name, &cchName, nullptr, &type, data.data(), &cbData) == ERROR_SUCCESS) {
                int length = static_cast<int>(cbData);
                while (length > 0 && data[length - 1] == 0)
                    --length;
                strFirstValue = CString(reinterpret_cast<const char*>(data.data()), length);
                ok = TRUE;
            }
        }
        RegCloseKey(hKey);
        return ok;
    }

    // Create level by level. The keys are made persistent: the kit list kept
    // under them must survive a restart.
    HKEY hCurrent = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, kCreateAccess, &hCurrent) != ERROR_SUCCESS)
        return FALSE;
    CRegKeyPath path(lpszPath);
    CString component;
    BOOL ok = TRUE;
    while (ok && path.Next(component)) {
        HKEY hNext = nullptr;
        if (RegCreateKeyEx(hCurrent, component, 0, nullptr, REG_OPTION_NON_VOLATILE, kCreateAccess, nullptr, &hNext,
                nullptr)
            != ERROR_SUCCESS) {
            ok = FALSE;
            break;
        }
        RegCloseKey(hCurrent);
        hCurrent = hNext;
    }
    RegCloseKey(hCurrent);
    return ok;
}
