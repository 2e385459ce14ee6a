#include "platform/base/Resources.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/String.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace platform {
namespace {

constexpr size_t kModuleCount = 2;

// Module handles look like load addresses; resource handles carry a tag in
// their high bits so that a handle from elsewhere (or a forged one) is
// recognised and refused.
constexpr uintptr_t kModuleBase[kModuleCount] = {0x00400000, 0x10000000};
constexpr uintptr_t kResourceTag = uintptr_t(0x7E5) << 20;
constexpr uintptr_t kResourceIndexMask = (uintptr_t(1) << 20) - 1;

struct ModuleTables {
    std::vector<const ResourceTable*> tables;
};

struct RegisteredEntry {
    const ResourceEntry* entry;
    size_t module;
};

struct Bundle {
    std::array<ModuleTables, kModuleCount> modules;
    // Every entry of every registered table, in registration order; a
    // resource handle is its index here.
    std::vector<RegisteredEntry> entries;
    HINSTANCE current = nullptr;
};

Bundle& TheBundle()
{
    static Bundle bundle;
    return bundle;
}

int ModuleIndex(HINSTANCE module)
{
    if (!module)
        return 0;
    auto value = reinterpret_cast<uintptr_t>(module);
    for (size_t i = 0; i < kModuleCount; ++i) {
        if (kModuleBase[i] == value)
            return static_cast<int>(i);
    }
    return -1;
}

// A resource name or type as asked for: an integer, or a name without case.
struct Key {
    bool isNumber = false;
    WORD number = 0;
    const char* name = nullptr;
};

bool ParseKey(LPCSTR text, Key& key)
{
    if (IS_INTRESOURCE(text)) {
        key.isNumber = true;
        key.number = static_cast<WORD>(reinterpret_cast<uintptr_t>(text));
        return true;
    }
    if (text[0] == '#') {
        unsigned long value = 0;
        const char* p = text + 1;
        if (*p == '\0')
            return false;
        for (; *p; ++p) {
            if (*p < '0' || *p > '9')
                return false;
            value = value * 10 + static_cast<unsigned long>(*p - '0');
            if (value > 0xFFFF)
                return false;
        }
        key.isNumber = true;
        key.number = static_cast<WORD>(value);
        return true;
    }
    key.name = text;
    return true;
}

char FoldAscii(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool SameName(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
            return false;
    }
    return *a == *b;
}

bool Matches(const Key& key, const char* name, WORD id)
{
    if (key.isNumber)
        return name == nullptr && id == key.number;
    return name != nullptr && SameName(key.name, name);
}

HRSRC MakeResourceHandle(size_t index)
{
    return reinterpret_cast<HRSRC>(kResourceTag | (index + 1));
}

const ResourceEntry* EntryFromHandle(const void* handle)
{
    auto value = reinterpret_cast<uintptr_t>(handle);
    if ((value & ~kResourceIndexMask) != kResourceTag)
        return nullptr;
    size_t index = value & kResourceIndexMask;
    const auto& entries = TheBundle().entries;
    if (index == 0 || index > entries.size())
        return nullptr;
    return entries[index - 1].entry;
}

// The handle of the first entry of a module matching (type, name), or null.
HRSRC Find(HINSTANCE module, LPCSTR lpName, LPCSTR lpType)
{
    int moduleIndex = ModuleIndex(module);
    Key name;
    Key type;
    if (moduleIndex < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!lpName || !lpType || !ParseKey(lpName, name) || !ParseKey(lpType, type)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    Bundle& bundle = TheBundle();
    bool typeSeen = false;
    for (size_t i = 0; i < bundle.entries.size(); ++i) {
        const ResourceEntry* entry = bundle.entries[i].entry;
        if (bundle.entries[i].module != static_cast<size_t>(moduleIndex)
            || !Matches(type, entry->typeName, entry->typeId))
            continue;
        typeSeen = true;
        if (Matches(name, entry->name, entry->id))
            return MakeResourceHandle(i);
    }
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

const void* FindData(HINSTANCE module, LPCSTR lpName, LPCSTR lpType)
{
    const ResourceEntry* entry = EntryFromHandle(Find(module, lpName, lpType));
    return entry ? entry->data : nullptr;
}

const StringEntry* FindStringEntry(HINSTANCE module, UINT nID)
{
    int moduleIndex = ModuleIndex(module);
    if (moduleIndex < 0 || nID > 0xFFFF)
        return nullptr;
    for (const ResourceTable* table : TheBundle().modules[moduleIndex].tables) {
        const StringEntry* first = table->strings;
        const StringEntry* last = table->strings + table->stringCount;
        const StringEntry* it = std::lower_bound(first, last, nID,
                                                 [](const StringEntry& e, UINT id) { return e.id < id; });
        if (it != last && it->id == nID)
            return it;
    }
    return nullptr;
}

} // namespace

void RegisterResourceModule(ResourceModule module, const ResourceTable& table)
{
    Bundle& bundle = TheBundle();
    auto& tables = bundle.modules[static_cast<size_t>(module)].tables;
    if (std::find(tables.begin(), tables.end(), &table) != tables.end())
        return;
    tables.push_back(&table);
    for (size_t i = 0; i < table.entryCount; ++i)
        bundle.entries.push_back({&table.entries[i], static_cast<size_t>(module)});
}

HINSTANCE GetResourceModuleHandle(ResourceModule module)
{
    return reinterpret_cast<HINSTANCE>(kModuleBase[static_cast<size_t>(module)]);
}

bool FindStringResource(HINSTANCE module, UINT nID, const char*& text, int& length)
{
    const StringEntry* entry = FindStringEntry(module, nID);
    if (!entry)
        return false;
    text = entry->text;
    length = entry->length;
    return true;
}

const MenuTemplate* FindMenuTemplate(HINSTANCE module, LPCSTR lpName)
{
    return static_cast<const MenuTemplate*>(FindData(module, lpName, RT_MENU));
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCSTR lpName)
{
    return static_cast<const DialogTemplate*>(FindData(module, lpName, RT_DIALOG));
}

const AcceleratorTable* FindAcceleratorTable(HINSTANCE module, LPCSTR lpName)
{
    return static_cast<const AcceleratorTable*>(FindData(module, lpName, RT_ACCELERATOR));
}

const ToolbarTemplate* FindToolbar(HINSTANCE module, LPCSTR lpName)
{
    return static_cast<const ToolbarTemplate*>(FindData(module, lpName, RT_TOOLBAR));
}

BOOL GetDocString(const CString& full, int index, CString& out)
{
    out.Empty();
    if (index < 0)
        return FALSE;
    std::string_view text = full.View();
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        size_t sep = text.find('\n', start);
        if (sep == std::string_view::npos)
            return FALSE;
        start = sep + 1;
    }
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
        end = text.size();
    out = CString(text.substr(start, end - start));
    return TRUE;
}

} // namespace platform

HRSRC FindResource(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    return platform::Find(hModule, lpName, lpType);
}

HRSRC FindResourceEx(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD)
{
    return platform::Find(hModule, lpName, lpType);
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo)
{
    if (platform::ModuleIndex(hModule) < 0 || !platform::EntryFromHandle(hResInfo)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The loaded resource is named by the same tagged index as its handle.
    return reinterpret_cast<HGLOBAL>(hResInfo);
}

LPVOID LockResource(HGLOBAL hResData)
{
    const platform::ResourceEntry* entry = platform::EntryFromHandle(hResData);
    return entry ? const_cast<void*>(entry->data) : nullptr;
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo)
{
    const platform::ResourceEntry* entry = platform::EntryFromHandle(hResInfo);
    if (platform::ModuleIndex(hModule) < 0 || !entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return entry->size;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE; // the system's answer for a resource that needs no freeing
}

int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    const char* text = nullptr;
    int length = 0;
    if (!platform::FindStringResource(hInstance, uID, text, length)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        if (lpBuffer && cchBufferMax > 0)
            lpBuffer[0] = '\0';
        return 0;
    }
    if (!lpBuffer || cchBufferMax <= 0)
        return 0;
    int count = std::min(length, cchBufferMax - 1);
    std::memcpy(lpBuffer, text, static_cast<size_t>(count));
    lpBuffer[count] = '\0';
    return count;
}

HINSTANCE AfxGetResourceHandle()
{
    platform::Bundle& bundle = platform::TheBundle();
    return bundle.current ? bundle.current : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    platform::TheBundle().current = hInstResource;
}

HINSTANCE AfxGetInstanceHandle()
{
    return platform::GetResourceModuleHandle(platform::ResourceModule::Program);
}

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    HINSTANCE candidates[] = {
        AfxGetResourceHandle(),
        AfxGetInstanceHandle(),
        platform::GetResourceModuleHandle(platform::ResourceModule::Support),
    };
    DWORD lastError = GetLastError();
    for (HINSTANCE module : candidates) {
        if (platform::Find(module, lpszName, lpszType)) {
            SetLastError(lastError);
            return module;
        }
    }
    SetLastError(lastError);
    return AfxGetResourceHandle();
}
