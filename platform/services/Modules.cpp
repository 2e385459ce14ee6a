#include "platform/services/Modules.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/WindowsPath.h"
#include "platform/imaging/CgmImport.h"
#include "platform/services/Sound.h"

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

namespace {

struct ModuleExport {
    const char* name;
    FARPROC proc;
};

struct BuiltInModule {
    const char* fileName;
    std::vector<ModuleExport> exports;
    // The module whose resources stand for the library's own: its handle
    // is the resource module's, so that FindResource and LoadBitmap with
    // the library's handle find them.
    bool hasResources = false;
};

// The exports other modules offer come here as the program starts to call
// them; a module listed with none still loads, as its file is present.
const std::vector<BuiltInModule>& Modules()
{
    static const std::vector<BuiltInModule> modules = {
        { "sndkit32.dll", { { "dllPlaySound", reinterpret_cast<FARPROC>(&DllPlaySound) } } },
        { "kqawr321.dll", {}, true },
        { "kqawm321.dll", {} },
        { "cgmolv32.flt",
            { { "GetFilterInfo", reinterpret_cast<FARPROC>(&CgmGetFilterInfo) },
                { "ImportGr", reinterpret_cast<FARPROC>(&CgmImportGr) } } },
    };
    return modules;
}

struct LoadState {
    int count = 0;
    uint32_t generation = 1;
};

struct ModuleTable {
    std::mutex lock;
    std::vector<LoadState> states;
};

ModuleTable& Table()
{
    static ModuleTable table;
    return table;
}

constexpr size_t kMaxModulePath = 4 * MAX_PATH;

// A handle holds the module's index and the generation of its loading, so
// a handle kept after the last FreeLibrary is refused.
HMODULE MakeHandle(size_t index, uint32_t generation)
{
    uintptr_t value = ((uintptr_t(generation & 0xFFFFFF) << 8) | uintptr_t(index + 1)) << 4;
    return reinterpret_cast<HMODULE>(value);
}

HMODULE SupportHandle()
{
    return reinterpret_cast<HMODULE>(GetResourceModuleHandle(ResourceModule::Support));
}

// The index of the loaded module a handle names; -1 when it names none.
int LoadedIndex(ModuleTable& table, HMODULE handle)
{
    if (handle != nullptr && handle == SupportHandle()) {
        const std::vector<BuiltInModule>& modules = Modules();
        for (size_t i = 0; i < modules.size() && i < table.states.size(); ++i) {
            if (modules[i].hasResources && table.states[i].count > 0)
                return static_cast<int>(i);
        }
        return -1;
    }
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value & 0xF)
        return -1;
    value >>= 4;
    size_t index = (value & 0xFF);
    if (index == 0 || index > table.states.size())
        return -1;
    const LoadState& state = table.states[index - 1];
    if (state.count == 0 || (state.generation & 0xFFFFFF) != (value >> 8))
        return -1;
    return static_cast<int>(index - 1);
}

int FindModule(std::string_view fileName)
{
    const std::vector<BuiltInModule>& modules = Modules();
    for (size_t i = 0; i < modules.size(); ++i) {
        if (EqualsNoCase(fileName, modules[i].fileName))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

int BuiltInModuleLoadCount(std::string_view fileName)
{
    int index = FindModule(fileName);
    if (index < 0)
        return 0;
    ModuleTable& table = Table();
    std::lock_guard guard(table.lock);
    return static_cast<size_t>(index) < table.states.size() ? table.states[index].count : 0;
}

} // namespace platform

HMODULE LoadLibrary(LPCSTR lpLibFileName)
{
    using namespace platform;
    if (!lpLibFileName || !*lpLibFileName || strlen(lpLibFileName) > kMaxModulePath) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return NULL;
    }
    // As on Windows, a name without an extension means a ".dll".
    std::string path = lpLibFileName;
    if (PathFileName(path).find('.') == std::string_view::npos)
        path += ".dll";
    ResolvedPath resolved;
    DWORD error = 0;
    int index = -1;
    if (ResolvePath(path, resolved, &error) && LookUpBuiltInFile(resolved.host) == BuiltInFile::Present)
        index = FindModule(PathFileName(path));
    if (index < 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return NULL;
    }
    ModuleTable& table = Table();
    std::lock_guard guard(table.lock);
    if (table.states.size() < Modules().size())
        table.states.resize(Modules().size());
    LoadState& state = table.states[index];
    ++state.count;
    SetLastError(ERROR_SUCCESS);
    // The support module's resources outlive the last FreeLibrary (they are
    // constants), but GetProcAddress and FreeLibrary refuse the handle then.
    if (Modules()[static_cast<size_t>(index)].hasResources)
        return SupportHandle();
    return MakeHandle(static_cast<size_t>(index), state.generation);
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    using namespace platform;
    ModuleTable& table = Table();
    std::lock_guard guard(table.lock);
    int index = LoadedIndex(table, hModule);
    if (index < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return NULL;
    }
    // A "name" below 0x10000 is an ordinal.
    if (reinterpret_cast<uintptr_t>(lpProcName) >= 0x10000) {
        for (const ModuleExport& entry : Modules()[index].exports) {
            if (strcmp(entry.name, lpProcName) == 0) {
                SetLastError(ERROR_SUCCESS);
                return entry.proc;
            }
        }
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return NULL;
}

BOOL FreeLibrary(HMODULE hLibModule)
{
    using namespace platform;
    ModuleTable& table = Table();
    std::lock_guard guard(table.lock);
    int index = LoadedIndex(table, hLibModule);
    if (index < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    LoadState& state = table.states[index];
    if (--state.count == 0)
        ++state.generation;
    return TRUE;
}
