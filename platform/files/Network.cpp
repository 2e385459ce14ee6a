// Enumeration of the connected network drives: the remote entries of the
// drive table, each a letter with its "\\server\share".

#include "platform/files/DriveTable.h"
#include "platform/files/Drives.h"
#include "platform/files/HandleTable.h"

#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

using namespace platform;

namespace {

constexpr uint8_t kNetEnumTag = 4;

struct NetEnumeration {
    std::vector<std::pair<std::string, std::string>> connections; // "F:", "\\server\share"
    size_t next = 0;
};

std::mutex g_mutex;
HandleTable<NetEnumeration> g_enumerations(kNetEnumTag, 256);

uint64_t IdOf(HANDLE handle)
{
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
}

} // namespace

DWORD WNetOpenEnum(DWORD dwScope, DWORD dwType, DWORD, LPNETRESOURCE, LPHANDLE lphEnum)
{
    if (!lphEnum)
        return ERROR_INVALID_PARAMETER;
    *lphEnum = nullptr;
    if (dwScope != RESOURCE_CONNECTED)
        return ERROR_NOT_SUPPORTED;
    auto enumeration = std::make_unique<NetEnumeration>();
    if (dwType == RESOURCETYPE_ANY || dwType == RESOURCETYPE_DISK) {
        for (const DriveInfo& drive : CurrentDriveTable()->Drives()) {
            if (drive.type == DRIVE_REMOTE)
                enumeration->connections.emplace_back(std::string(1, drive.letter) + ":", drive.RemoteName());
        }
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    uint64_t id = g_enumerations.Add(std::move(enumeration));
    if (!id)
        return ERROR_NOT_ENOUGH_MEMORY;
    *lphEnum = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(id));
    return NO_ERROR;
}

DWORD WNetEnumResource(HANDLE hEnum, LPDWORD lpcCount, LPVOID lpBuffer, LPDWORD lpBufferSize)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    NetEnumeration* enumeration = g_enumerations.Get(IdOf(hEnum));
    if (!enumeration)
        return ERROR_INVALID_HANDLE;
    if (!lpcCount || !lpBufferSize || (!lpBuffer && *lpBufferSize > 0))
        return ERROR_INVALID_PARAMETER;
    if (enumeration->next >= enumeration->connections.size()) {
        *lpcCount = 0;
        return ERROR_NO_MORE_ITEMS;
    }

    // Records are packed from the front of the buffer and their strings from
    // the back, until the two would meet.
    char* base = static_cast<char*>(lpBuffer);
    size_t front = 0;
    size_t back = *lpBufferSize;
    DWORD wanted = *lpcCount;
    DWORD written = 0;
    while (written < wanted && enumeration->next < enumeration->connections.size()) {
        const auto& [local, remote] = enumeration->connections[enumeration->next];
        size_t strings = local.size() + 1 + remote.size() + 1;
        size_t need = sizeof(NETRESOURCE) + strings;
        if (front + need > back) {
            if (written == 0) {
                *lpBufferSize = static_cast<DWORD>(need);
                return ERROR_MORE_DATA;
            }
            break;
        }
        back -= remote.size() + 1;
        memcpy(base + back, remote.c_str(), remote.size() + 1);
        char* remoteText = base + back;
        back -= local.size() + 1;
        memcpy(base + back, local.c_str(), local.size() + 1);
        char* localText = base + back;

        NETRESOURCE record {};
        record.dwScope = RESOURCE_CONNECTED;
        record.dwType = RESOURCETYPE_DISK;
        record.dwDisplayType = RESOURCEDISPLAYTYPE_SHARE;
        record.dwUsage = 0;
        record.lpLocalName = localText;
        record.lpRemoteName = remoteText;
        memcpy(base + front, &record, sizeof record);
        front += sizeof record;
        ++written;
        ++enumeration->next;
    }
    *lpcCount = written;
    return NO_ERROR;
}

DWORD WNetCloseEnum(HANDLE hEnum)
{
    std::unique_ptr<NetEnumeration> enumeration;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        enumeration = g_enumerations.Remove(IdOf(hEnum));
    }
    return enumeration ? NO_ERROR : ERROR_INVALID_HANDLE;
}
