#include "platform/services/FileMapping.h"

#include "platform/files/FileApi.h"
#include "platform/files/FileOps.h"
#include "platform/files/HandleTable.h"
#include "platform/services/LockFile.h"
#include "platform/services/RuntimeFolder.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

using namespace platform;

namespace {

// Handle tag of named mappings; CloseHandle hands these to CloseFileMapping.
constexpr uint8_t kMappingTag = 0x6D;
// Another process holds a name exclusively only between testing it and
// turning its lock into a shared one; this bounds the wait for that.
constexpr int kSharedLockTries = 200;
constexpr auto kSharedLockPause = std::chrono::milliseconds(5);

// One per name in this process, shared by all of its handles here.
struct NamedMapping {
    LockFile lock;
};

struct MappingHandle {
    std::shared_ptr<NamedMapping> mapping;
};

std::mutex g_mutex;
HandleTable<MappingHandle> g_handles(kMappingTag, 4096);
std::map<std::string, std::weak_ptr<NamedMapping>> g_names;

uint64_t IdOf(HANDLE handle)
{
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
}

// Opens the name's lock file and holds it shared; *existed tells whether a
// holder was already there. False with the last error set.
bool OpenNamed(const std::string& name, NamedMapping& mapping, bool* existed)
{
    std::string folder = RuntimeDir(nullptr);
    if (folder.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (!mapping.lock.Open(folder + "/map-" + RuntimeFileStem(name) + ".lock")) {
        SetLastError(Win32ErrorFromErrno(errno));
        return false;
    }
    // An exclusive lock succeeds only when nobody holds the name; it is then
    // turned into a shared one without a gap, so that every holder keeps the
    // name alive and no one else can take it exclusively.
    switch (mapping.lock.TryLock(LockFile::Kind::Exclusive)) {
    case LockFile::Result::Acquired:
        *existed = false;
        break;
    case LockFile::Result::Busy:
        *existed = true;
        break;
    case LockFile::Result::Failed:
        SetLastError(Win32ErrorFromErrno(errno));
        return false;
    }
    for (int i = 0; i < kSharedLockTries; ++i) {
        switch (mapping.lock.TryLock(LockFile::Kind::Shared)) {
        case LockFile::Result::Acquired:
            return true;
        case LockFile::Result::Busy:
            break;
        case LockFile::Result::Failed:
            SetLastError(Win32ErrorFromErrno(errno));
            return false;
        }
        std::this_thread::sleep_for(kSharedLockPause);
    }
    // Someone keeps the name locked exclusively: it exists, but this handle
    // cannot keep it alive.
    return true;
}

} // namespace

HANDLE CreateFileMapping(HANDLE hFile, LPSECURITY_ATTRIBUTES, DWORD flProtect, DWORD dwMaximumSizeHigh,
    DWORD dwMaximumSizeLow, LPCSTR lpName)
{
    static std::once_flag registered;
    std::call_once(registered, [] { platform::RegisterHandleCloser(kMappingTag, platform::CloseFileMapping); });
    if (hFile != INVALID_HANDLE_VALUE || !lpName || !*lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return NULL;
    }
    if ((flProtect != PAGE_READONLY && flProtect != PAGE_READWRITE) || (dwMaximumSizeHigh == 0 && dwMaximumSizeLow == 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (strnlen(lpName, MAX_PATH + 1) > MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return NULL;
    }

    std::lock_guard<std::mutex> guard(g_mutex);
    std::string name = lpName;
    std::shared_ptr<NamedMapping> mapping = g_names[name].lock();
    bool existed = true;
    if (!mapping) {
        mapping = std::make_shared<NamedMapping>();
        if (!OpenNamed(name, *mapping, &existed)) {
            g_names.erase(name);
            return NULL;
        }
        g_names[name] = mapping;
    }
    uint64_t id = g_handles.Add(std::make_unique<MappingHandle>(MappingHandle { mapping }));
    if (!id) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return NULL;
    }
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(id));
}

namespace platform {

bool IsFileMappingHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_handles.Get(IdOf(handle)) != nullptr;
}

BOOL CloseFileMapping(HANDLE hMapping)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    std::unique_ptr<MappingHandle> handle = g_handles.Remove(IdOf(hMapping));
    if (!handle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The last handle here releases the lock, and with it the name unless
    // another process holds it too.
    handle.reset();
    for (auto it = g_names.begin(); it != g_names.end();)
        it = it->second.expired() ? g_names.erase(it) : std::next(it);
    return TRUE;
}

} // namespace platform
