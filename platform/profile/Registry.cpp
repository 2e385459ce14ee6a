#include "platform/profile/Registry.h"

#include "platform/profile/RegistryKey.h"
#include "platform/profile/RegistryStore.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// What a handle stands for: a key, whether its tree may be changed, and how
// deep below its root it lies (so that nothing deeper than the file allows
// can be created).
struct KeyRef {
    std::shared_ptr<RegistryKey> key;
    bool writable = false;
    size_t depth = 0;
};

// Open handles: slot index in the low 16 bits, a 14-bit generation above it
// and bit 30 as a tag. The values stay below the predefined keys and never
// equal NULL; a slot's generation changes each time it is freed, so a stale
// handle is recognised.
class HandleTable {
public:
    struct Slot {
        KeyRef ref;
        uint16_t generation = 1;
        bool used = false;
    };

    static HandleTable& Instance()
    {
        static HandleTable table;
        return table;
    }

    LONG Allocate(KeyRef ref, HKEY* out)
    {
        uint32_t index;
        if (!m_free.empty()) {
            index = m_free.back();
            m_free.pop_back();
        } else if (m_slots.size() < kMaxSlots) {
            index = static_cast<uint32_t>(m_slots.size());
            m_slots.emplace_back();
        } else {
            return ERROR_OUTOFMEMORY;
        }
        Slot& slot = m_slots[index];
        slot.ref = std::move(ref);
        slot.used = true;
        *out = reinterpret_cast<HKEY>(static_cast<uintptr_t>(kTag | (uint32_t(slot.generation) << 16) | index));
        return ERROR_SUCCESS;
    }

    Slot* Find(HKEY handle)
    {
        uintptr_t value = reinterpret_cast<uintptr_t>(handle);
        if ((value & ~uintptr_t(0x3FFFFFFF)) != kTag)
            return nullptr;
        size_t index = value & 0xFFFF;
        uint16_t generation = static_cast<uint16_t>((value >> 16) & kGenerationMask);
        if (index >= m_slots.size() || !m_slots[index].used || m_slots[index].generation != generation)
            return nullptr;
        return &m_slots[index];
    }

    bool Release(HKEY handle)
    {
        Slot* slot = Find(handle);
        if (!slot)
            return false;
        Free(*slot);
        m_free.push_back(static_cast<uint32_t>(slot - m_slots.data()));
        return true;
    }

    // Every handle given out so far becomes stale.
    void InvalidateAll()
    {
        m_free.clear();
        for (size_t i = 0; i < m_slots.size(); ++i) {
            if (m_slots[i].used)
                Free(m_slots[i]);
            m_free.push_back(static_cast<uint32_t>(i));
        }
    }

private:
    static constexpr uintptr_t kTag = 0x40000000;
    static constexpr uint16_t kGenerationMask = 0x3FFF;
    static constexpr size_t kMaxSlots = 0x10000;

    static void Free(Slot& slot)
    {
        slot.ref = KeyRef();
        slot.used = false;
        slot.generation = static_cast<uint16_t>(slot.generation % kGenerationMask + 1);
    }

    std::vector<Slot> m_slots;
    std::vector<uint32_t> m_free;
};

// An empty tree that nothing may change.
const std::shared_ptr<RegistryKey>& EmptyReadOnlyRoot()
{
    static const std::shared_ptr<RegistryKey> root = std::make_shared<RegistryKey>(std::string());
    return root;
}

// Finds what a handle stands for. A deleted key is refused unless asked for.
LONG Resolve(HKEY handle, KeyRef& out, bool allowDeleted = false)
{
    if (handle == HKEY_CURRENT_USER) {
        out = KeyRef{RegistryStore::Instance().CurrentUser(), true, 0};
        return ERROR_SUCCESS;
    }
    if (handle == HKEY_CLASSES_ROOT || handle == HKEY_LOCAL_MACHINE || handle == HKEY_USERS) {
        out = KeyRef{EmptyReadOnlyRoot(), false, 0};
        return ERROR_SUCCESS;
    }
    const auto* slot = HandleTable::Instance().Find(handle);
    if (!slot)
        return ERROR_INVALID_HANDLE;
    if (slot->ref.key->IsDeleted() && !allowDeleted)
        return ERROR_KEY_DELETED;
    out = slot->ref;
    return ERROR_SUCCESS;
}

bool IsPredefined(HKEY handle)
{
    return handle == HKEY_CURRENT_USER || handle == HKEY_CLASSES_ROOT || handle == HKEY_LOCAL_MACHINE
        || handle == HKEY_USERS;
}

// Splits a subkey path at its backslashes; NULL or "" gives no components.
// One trailing backslash is allowed.
LONG SplitSubKey(LPCSTR subKey, size_t baseDepth, std::vector<std::string_view>& parts)
{
    parts.clear();
    if (!subKey || !*subKey)
        return ERROR_SUCCESS;
    std::string_view path(subKey);
    if (path.front() == '\\')
        return ERROR_BAD_PATHNAME;
    if (path.back() == '\\')
        path.remove_suffix(1);
    while (true) {
        size_t slash = path.find('\\');
        std::string_view part = path.substr(0, slash);
        if (part.empty())
            return ERROR_BAD_PATHNAME;
        if (part.size() > registrylimits::kMaxKeyName || baseDepth + parts.size() >= registrylimits::kMaxDepth)
            return ERROR_INVALID_PARAMETER;
        parts.push_back(part);
        if (slash == std::string_view::npos)
            return ERROR_SUCCESS;
        path.remove_prefix(slash + 1);
    }
}

// The key a handle names and the components of a subkey path below it.
LONG ResolvePath(HKEY hKey, LPCSTR subKey, KeyRef& base, std::vector<std::string_view>& parts)
{
    if (LONG rc = Resolve(hKey, base); rc != ERROR_SUCCESS)
        return rc;
    return SplitSubKey(subKey, base.depth, parts);
}

std::shared_ptr<RegistryKey> Walk(std::shared_ptr<RegistryKey> key, const std::vector<std::string_view>& parts,
    size_t count)
{
    for (size_t i = 0; i < count && key; ++i)
        key = key->FindSubkey(parts[i]);
    return key;
}

std::string_view ValueName(LPCSTR name)
{
    return name ? std::string_view(name) : std::string_view();
}

} // namespace

} // namespace platform

using platform::KeyRef;
using platform::RegistryKey;
using platform::RegistryStore;
using platform::registrylimits::kMaxValueData;
using platform::registrylimits::kMaxValueName;

LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, HKEY* phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    KeyRef base;
    std::vector<std::string_view> parts;
    if (LONG rc = platform::ResolvePath(hKey, lpSubKey, base, parts); rc != ERROR_SUCCESS)
        return rc;
    std::shared_ptr<RegistryKey> key = platform::Walk(base.key, parts, parts.size());
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    return platform::HandleTable::Instance().Allocate(KeyRef{key, base.writable, base.depth + parts.size()},
        phkResult);
}

LONG RegOpenKey(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    if (!lpSubKey || !*lpSubKey) {
        // The same handle comes back, as documented for this older call.
        KeyRef base;
        if (LONG rc = platform::Resolve(hKey, base); rc != ERROR_SUCCESS)
            return rc;
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    return RegOpenKeyEx(hKey, lpSubKey, 0, KEY_ALL_ACCESS, phkResult);
}

LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD dwOptions, REGSAM, const void*,
    HKEY* phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (dwOptions & ~DWORD(REG_OPTION_VOLATILE))
        return ERROR_INVALID_PARAMETER;
    KeyRef base;
    std::vector<std::string_view> parts;
    if (LONG rc = platform::ResolvePath(hKey, lpSubKey, base, parts); rc != ERROR_SUCCESS)
        return rc;

    std::shared_ptr<RegistryKey> key = base.key;
    bool created = false;
    for (std::string_view part : parts) {
        std::shared_ptr<RegistryKey> next = key->FindSubkey(part);
        if (!next) {
            if (!base.writable)
                return ERROR_ACCESS_DENIED;
            next = key->AddSubkey(part);
            created = true;
        }
        key = std::move(next);
    }
    if (created)
        RegistryStore::Instance().MarkChanged();
    if (LONG rc = platform::HandleTable::Instance().Allocate(KeyRef{key, base.writable, base.depth + parts.size()},
            phkResult);
        rc != ERROR_SUCCESS)
        return rc;
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegCreateKey(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult)
{
    return RegCreateKeyEx(hKey, lpSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, phkResult,
        nullptr);
}

LONG RegCloseKey(HKEY hKey)
{
    if (platform::IsPredefined(hKey))
        return ERROR_SUCCESS;
    return platform::HandleTable::Instance().Release(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegFlushKey(HKEY hKey)
{
    KeyRef ref;
    if (LONG rc = platform::Resolve(hKey, ref); rc != ERROR_SUCCESS)
        return rc;
    // The whole tree is one file: flushing any key of it writes them all.
    if (!ref.writable)
        return ERROR_SUCCESS;
    return RegistryStore::Instance().Flush();
}

LONG RegQueryInfoKey(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
    LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
    LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime)
{
    KeyRef ref;
    if (LONG rc = platform::Resolve(hKey, ref); rc != ERROR_SUCCESS)
        return rc;
    const RegistryKey& key = *ref.key;
    if (lpClass && lpcchClass && *lpcchClass > 0)
        lpClass[0] = '\0';
    if (lpcchClass)
        *lpcchClass = 0;
    size_t maxSubKey = 0;
    for (size_t i = 0; i < key.SubkeyCount(); ++i)
        maxSubKey = std::max(maxSubKey, key.SubkeyAt(i)->Name().size());
    size_t maxName = 0;
    size_t maxData = 0;
    for (size_t i = 0; i < key.ValueCount(); ++i) {
        maxName = std::max(maxName, key.ValueAt(i).name.size());
        maxData = std::max(maxData, key.ValueAt(i).data.size());
    }
    if (lpcSubKeys)
        *lpcSubKeys = static_cast<DWORD>(key.SubkeyCount());
    if (lpcbMaxSubKeyLen)
        *lpcbMaxSubKeyLen = static_cast<DWORD>(maxSubKey);
    if (lpcbMaxClassLen)
        *lpcbMaxClassLen = 0;
    if (lpcValues)
        *lpcValues = static_cast<DWORD>(key.ValueCount());
    if (lpcbMaxValueNameLen)
        *lpcbMaxValueNameLen = static_cast<DWORD>(maxName);
    if (lpcbMaxValueLen)
        *lpcbMaxValueLen = static_cast<DWORD>(maxData);
    if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass,
    LPDWORD lpcchClass, FILETIME* lpftLastWriteTime)
{
    if (!lpName || !lpcchName)
        return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = platform::Resolve(hKey, ref); rc != ERROR_SUCCESS)
        return rc;
    if (dwIndex >= ref.key->SubkeyCount())
        return ERROR_NO_MORE_ITEMS;
    const std::string& name = ref.key->SubkeyAt(dwIndex)->Name();
    if (name.size() + 1 > *lpcchName)
        return ERROR_MORE_DATA;
    std::memcpy(lpName, name.data(), name.size());
    lpName[name.size()] = '\0';
    *lpcchName = static_cast<DWORD>(name.size());
    if (lpClass && lpcchClass && *lpcchClass > 0)
        lpClass[0] = '\0';
    if (lpcchClass)
        *lpcchClass = 0;
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
    LPBYTE lpData, LPDWORD lpcbData)
{
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = platform::Resolve(hKey, ref); rc != ERROR_SUCCESS)
        return rc;
    if (dwIndex >= ref.key->ValueCount())
        return ERROR_NO_MORE_ITEMS;
    const platform::RegistryValue& value = ref.key->ValueAt(dwIndex);
    if (value.name.size() + 1 > *lpcchValueName)
        return ERROR_MORE_DATA;
    std::memcpy(lpValueName, value.name.data(), value.name.size());
    lpValueName[value.name.size()] = '\0';
    *lpcchValueName = static_cast<DWORD>(value.name.size());
    if (lpType)
        *lpType = value.type;
    if (!lpcbData)
        return ERROR_SUCCESS;
    DWORD size = static_cast<DWORD>(value.data.size());
    if (lpData && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData)
        std::memcpy(lpData, value.data.data(), size);
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = platform::Resolve(hKey, ref); rc != ERROR_SUCCESS)
        return rc;
    const platform::RegistryValue* value = ref.key->FindValue(platform::ValueName(lpValueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = value->type;
    if (!lpcbData)
        return ERROR_SUCCESS;
    DWORD size = static_cast<DWORD>(value->data.size());
    if (lpData && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData)
        std::memcpy(lpData, value->data.data(), size);
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    KeyRef ref;
    if (LONG rc = platform::Resolve(hKey, ref); rc != ERROR_SUCCESS)
        return rc;
    if (!ref.writable)
        return ERROR_ACCESS_DENIED;
    std::string_view name = platform::ValueName(lpValueName);
    if (name.size() > kMaxValueName || (!lpData && cbData > 0) || cbData > kMaxValueData)
        return ERROR_INVALID_PARAMETER;
    std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    ref.key->SetValue(name, dwType, std::move(data));
    RegistryStore::Instance().MarkChanged();
    return ERROR_SUCCESS;
}

LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName)
{
    KeyRef ref;
    if (LONG rc = platform::Resolve(hKey, ref); rc != ERROR_SUCCESS)
        return rc;
    if (!ref.key->RemoveValue(platform::ValueName(lpValueName)))
        return ERROR_FILE_NOT_FOUND;
    RegistryStore::Instance().MarkChanged();
    return ERROR_SUCCESS;
}

LONG RegDeleteKey(HKEY hKey, LPCSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    KeyRef base;
    std::vector<std::string_view> parts;
    if (LONG rc = platform::ResolvePath(hKey, lpSubKey, base, parts); rc != ERROR_SUCCESS)
        return rc;
    if (parts.empty())
        return ERROR_BAD_PATHNAME;
    std::shared_ptr<RegistryKey> parent = platform::Walk(base.key, parts, parts.size() - 1);
    std::shared_ptr<RegistryKey> target = parent ? parent->FindSubkey(parts.back()) : nullptr;
    if (!target)
        return ERROR_FILE_NOT_FOUND;
    if (!base.writable || target->SubkeyCount() > 0)
        return ERROR_ACCESS_DENIED;
    parent->RemoveSubkey(parts.back());
    RegistryStore::Instance().MarkChanged();
    return ERROR_SUCCESS;
}

namespace platform {

bool RegistryLoadProblem()
{
    return RegistryStore::Instance().HasLoadProblem();
}

std::string RegistryLoadProblemText()
{
    return RegistryStore::Instance().LoadProblemText();
}

std::string RegistryFilePath()
{
    return RegistryStore::FilePath();
}

bool RegistryHasPendingChanges()
{
    return RegistryStore::Instance().HasPendingChanges();
}

LONG FlushRegistry()
{
    return RegistryStore::Instance().Flush();
}

void FlushRegistryAtIdle()
{
    RegistryStore::Instance().FlushAtIdle();
}

unsigned long RegistryFileWriteCount()
{
    return RegistryStore::Instance().FileWriteCount();
}

void ResetRegistryForTests()
{
    HandleTable::Instance().InvalidateAll();
    RegistryStore::Instance().Reset();
}

} // namespace platform
